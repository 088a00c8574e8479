// The lobby state: pushed when the splash ends, it holds the game's root state and lays
// the online lobby over it. The application forwards the session's callbacks to it.
#pragma once

#include "Framework/LoginController.h"
#include "Framework/VornApplication.h"
#include "Framework/VornNetworkSession.h"
#include "Framework/VornState.h"
#include "KorvelCommon/KorvelRect.h"

class CKestrolundApplication;
class IVornGameState;

class CVornMenuState : public IVornState, public CLoginController
{
public:
    CVornMenuState();
    ~CVornMenuState() override;

    // Starts the game state, then hands it the application.
    KE_RETVAL Startup(CVornApplication* pApplication) override;
    // Shuts the game state down and deletes it.
    void Shutdown() override;
    void Activate() override;
    void Deactivate() override;
    unsigned int Update(float fSeconds) override;
    void Draw() override;
    unsigned int OnScreenChanged(int iWidth, int iHeight) override;
    unsigned int OnMouseButton(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseDrag(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseButtonUp(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseWheel(int iDelta, int iX, int iY) override;
    unsigned int OnKeyDown(eKET_KEYCODE eKey) override;
    unsigned int OnChar(unsigned short uChar) override;
    KE_RETVAL OnLanguageChanged(const CKorvelString& strCode) override;

    virtual unsigned int OnThemeChanged();
    virtual void OnChallengeReceived(CVornNetworkSession* pSession, int, const CKorvelString&,
                                     const CKorvelString&, int, int);
    virtual void OnChallengeResponse(CVornNetworkSession* pSession, int, const CKorvelString&,
                                     const CKorvelString&, int);
    virtual void OnChallengeImageReceived(CVornNetworkSession* pSession, int, unsigned char*, int);
    virtual void OnRematchReceived(int);
    virtual void OnQueueUpdate(CVornNetworkSession* pSession, int, int, int);
    virtual void OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&);
    virtual void OnShopItemData(int, int, unsigned char*, int, int);
    virtual void OnWalletBalance(int);
    virtual void OnShopItemGroups(int, const CKorvelArray<CASN1ShopItemGroups::sGroupData>&);
    virtual void OnShopItems(int, int, const CKorvelArray<CASN1ShopItems::sItemData>&);
    virtual void OnShopItemImage(int, int, unsigned char*, int);
    virtual void OnBuyItemResponce(int, int, const CKorvelString&,
                                   const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&);
    virtual void OnConfirmBuyItemResponce(int, int, const CKorvelString&);
    virtual void OnUpdateItemStateResponse(int, int, const CKorvelString&, int);
    virtual void OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&);
    virtual void OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&);
    virtual void OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int);
    virtual void OnTournamentScores(CKorvelArray<CKorvelString>&, CKorvelArray<CASN1TournamentScores::sData>&,
                                    int);
    virtual void OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                                const CKorvelString&, const CKorvelString&);
    virtual void OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived);
    using CLoginController::OnGameStatusChanged;
    using CLoginController::OnLobbyStatusChanged;
    virtual void OnLobbyStatusChanged(unsigned int uStatus);
    virtual void OnGameStatusChanged(unsigned int uStatus);
    virtual void OnBuddyRequest(CVornNetworkSession* pSession, int,
                                CVornNetworkSession::LobbyObserver::EBuddyRequestType,
                                CVornNetworkSession::LobbyObserver::EBuddyRequestAction, const CKorvelString&,
                                const CKorvelString&);
    virtual void OnGameSessionInfoReceived(CVornNetworkSession* pSession, int, const sGAME_SESSION&);

    virtual unsigned int IsLoggedIn();
    // An empty name changes nothing.
    virtual void SwitchToPage(CKorvelString strPage, unsigned int uShowMenu);
    virtual void ExitChat();
    virtual void QuickExit();
    virtual void SetChatButtonVisibility(unsigned int uVisible);
    virtual void UpdateChatBacklog(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived);
    virtual void GetVornArea(CKorvelRect<int>& rcArea);
    virtual void ShowRefillDialog(int iItemId);
    virtual void UseItem(int iItemId, int iValue);
    virtual void GetItemFile(int iItemId, CKorvelString& strPath);
    virtual CKorvelArray<CVornApplication::sItemData>& GetItems();
    // 0 opens the post-game chat over the game; non-zero leaves it.
    virtual void OnGameplayEnd(unsigned int uLeave);
    // Enters the match view and sets the in-match flag.
    virtual void OnGameStart();
    // Leaves the match view, clears the flag and tells the game its session ended.
    virtual void OnGameEnd();
    // The in-match flag.
    virtual unsigned int IsInMatch();

    // ---- the login controller's reports
    using CLoginController::OnLoginError;
    void OnLoginSuccessful(const CKorvelString& strUserName, const CKorvelString& strSecond,
                           unsigned int uJustRegistered) override;
    void OnLoginError(const CKorvelString& strTitle, const CKorvelString& strMessage, int iFlags,
                      const CKorvelString* pUpdateLink) override;
    void OnLoginCancelled() override;
    void OnLoginNewVersion(const CKorvelString& strLink) override;
    void OnLogout() override;
    void OnUserNameValidated(unsigned int uOk, const CKorvelString& strMessage) override;
    void OnAutoRelogin() override;
    void ForwardToGoogleLogin() override;

private:
    CKestrolundApplication* m_pApplication;
    IVornGameState* m_pGame; // owned once started
    unsigned int m_uInMatch;
    CKorvelArray<CVornApplication::sItemData> m_Items;
};
