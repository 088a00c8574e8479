// A lobby state without a lobby: it hosts the game as the lobby does (starts it, hands
// it the application, passes frames, input, keys, screen and language changes to it and
// deletes it at shut-down), records every call, and answers the login state, user name,
// Vorn area and items the test sets.
#pragma once

#include <functional>
#include <string>

#include "Framework/Lobby/VornMenuState.h"
#include "support/TestCallLog.h"

class CTestMenuState : public CVornMenuState
{
public:
    struct sScript
    {
        unsigned int uLoggedIn = 0;
        unsigned int uGuest = 1;
        std::string strUserName;
        CKorvelRect<int> rcVornArea;
        KE_RETVAL iStartupResult = KE_OK;
        unsigned int uTakesInput = 1;
    };

    CTestMenuState(CTestCallLog& log, const sScript& script) : m_Script(script), m_Log(log) {}
    ~CTestMenuState() override;

    KE_RETVAL Startup(CVornApplication* pApplication) override;
    void Shutdown() override;
    void Activate() override;
    void Deactivate() override;
    unsigned int Update(float fSeconds) override;
    void Draw() override;
    unsigned int OnScreenChanged(int iWidth, int iHeight) override;
    unsigned int OnFocusChange(unsigned int uFocus) override;
    unsigned int OnMouseButton(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseDrag(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseButtonUp(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseWheel(int iDelta, int iX, int iY) override;
    unsigned int OnKeyDown(eKET_KEYCODE eKey) override;
    unsigned int OnChar(unsigned short uChar) override;
    KE_RETVAL OnLanguageChanged(const CKorvelString& strCode) override;
    KE_RETVAL OnRestoreResources() override;
    KE_RETVAL OnReleaseResources() override;

    unsigned int OnThemeChanged() override;
    void OnChallengeReceived(CVornNetworkSession*, int, const CKorvelString&, const CKorvelString&, int,
                             int) override;
    void OnChallengeResponse(CVornNetworkSession*, int, const CKorvelString&, const CKorvelString&,
                             int) override;
    void OnChallengeImageReceived(CVornNetworkSession*, int, unsigned char*, int) override;
    void OnRematchReceived(int) override;
    void OnQueueUpdate(CVornNetworkSession*, int, int, int) override;
    void OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&) override;
    void OnShopItemData(int, int, unsigned char*, int, int) override;
    void OnWalletBalance(int) override;
    void OnShopItemGroups(int, const CKorvelArray<CASN1ShopItemGroups::sGroupData>&) override;
    void OnShopItems(int, int, const CKorvelArray<CASN1ShopItems::sItemData>&) override;
    void OnShopItemImage(int, int, unsigned char*, int) override;
    void OnBuyItemResponce(int, int, const CKorvelString&,
                           const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&) override;
    void OnConfirmBuyItemResponce(int, int, const CKorvelString&) override;
    void OnUpdateItemStateResponse(int, int, const CKorvelString&, int) override;
    void OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&) override;
    void OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) override;
    void OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int) override;
    void OnTournamentScores(CKorvelArray<CKorvelString>&, CKorvelArray<CASN1TournamentScores::sData>&,
                            int) override;
    void OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                        const CKorvelString&, const CKorvelString&) override;
    void OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived) override;
    void OnLobbyStatusChanged(unsigned int uStatus) override;
    void OnGameStatusChanged(unsigned int uStatus) override;
    void OnBuddyRequest(CVornNetworkSession*, int, CVornNetworkSession::LobbyObserver::EBuddyRequestType,
                        CVornNetworkSession::LobbyObserver::EBuddyRequestAction, const CKorvelString&,
                        const CKorvelString&) override;
    void OnGameSessionInfoReceived(CVornNetworkSession*, int, const sGAME_SESSION&) override;

    unsigned int IsLoggedIn() override;
    void SwitchToPage(CKorvelString strPage, unsigned int uShowMenu) override;
    void ExitChat() override;
    void QuickExit() override;
    void SetChatButtonVisibility(unsigned int uVisible) override;
    void UpdateChatBacklog(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived) override;
    void GetVornArea(CKorvelRect<int>& rcArea) override;
    void ShowRefillDialog(int iItemId) override;
    void UseItem(int iItemId, int iValue) override;
    void GetItemFile(int iItemId, CKorvelString& strPath) override;
    CKorvelArray<CVornApplication::sItemData>& GetItems() override;
    void OnGameplayEnd(unsigned int uLeave) override;
    void OnGameStart() override;
    void OnGameEnd() override;
    unsigned int IsInMatch() override;

    void Relogin() override;
    void Logout() override;
    void OnLogout() override;
    const CKorvelString& GetCurrentUserName() const override;
    unsigned int IsGuestLogin() const override;
    void Redirect(const CKorvelString& strHost, int iPort) override;

    sScript m_Script;
    IVornGameState* m_pGame = nullptr; // owned once started
    unsigned int m_uInMatch = 0;
    // Runs inside Logout and Relogin, as the session's answers to them may.
    std::function<void()> m_fnDuringLogin;
    CKorvelArray<CVornApplication::sItemData> m_aItems;
    // Where the item packs lie: two games in one process share one working folder.
    std::string m_strItemFolder;

private:
    void Log(const char* pWhat, const std::string& strArgs = "") { m_Log.Add("lobby", pWhat, strArgs); }

    CTestCallLog& m_Log;
    CKorvelString m_strUserName;
};
