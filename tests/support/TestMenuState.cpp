#include "support/TestMenuState.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "support/TestText.h"

namespace
{
std::string Xy(int iX, int iY)
{
    return std::to_string(iX) + "," + std::to_string(iY);
}
} // namespace

CTestMenuState::~CTestMenuState()
{
    Log("~");
}

KE_RETVAL CTestMenuState::Startup(CVornApplication* pApplication)
{
    Log("Startup");
    if (m_Script.iStartupResult != KE_OK)
        return m_Script.iStartupResult;
    IVornGameState* pGame = static_cast<CKestrolundApplication*>(pApplication)->GetGameState();
    if (pGame)
    {
        const KE_RETVAL iResult = pGame->Startup(pApplication);
        if (iResult != KE_OK)
            return iResult;
        m_pGame = pGame;
        m_pGame->_SetApp(pApplication);
    }
    m_strUserName.Set(m_Script.strUserName.c_str());
    return KE_OK;
}

void CTestMenuState::Shutdown()
{
    Log("Shutdown");
    if (!m_pGame)
        return;
    m_pGame->Shutdown();
    delete m_pGame;
    m_pGame = nullptr;
}

void CTestMenuState::Activate()
{
    Log("Activate");
    if (m_pGame)
        m_pGame->Activate();
}

void CTestMenuState::Deactivate()
{
    Log("Deactivate");
    if (m_pGame)
        m_pGame->Deactivate();
}

unsigned int CTestMenuState::Update(float fSeconds)
{
    Log("Update", std::to_string(fSeconds));
    if (m_pGame)
        m_pGame->Update(fSeconds);
    return 1;
}

void CTestMenuState::Draw()
{
    Log("Draw");
    if (m_pGame)
        m_pGame->Draw();
}

unsigned int CTestMenuState::OnScreenChanged(int iWidth, int iHeight)
{
    Log("OnScreenChanged", Xy(iWidth, iHeight));
    return m_pGame ? m_pGame->OnScreenChanged(iWidth, iHeight) : 1;
}

unsigned int CTestMenuState::OnFocusChange(unsigned int uFocus)
{
    Log("OnFocusChange", std::to_string(uFocus));
    return 1;
}

unsigned int CTestMenuState::OnMouseButton(unsigned int uButton, int iX, int iY)
{
    Log("OnMouseButton", Xy(iX, iY));
    if (m_pGame)
        m_pGame->OnMouseButton(uButton, iX, iY);
    return m_Script.uTakesInput;
}

unsigned int CTestMenuState::OnMouseDrag(unsigned int uButton, int iX, int iY)
{
    Log("OnMouseDrag", Xy(iX, iY));
    if (m_pGame)
        m_pGame->OnMouseDrag(uButton, iX, iY);
    return m_Script.uTakesInput;
}

unsigned int CTestMenuState::OnMouseButtonUp(unsigned int uButton, int iX, int iY)
{
    Log("OnMouseButtonUp", Xy(iX, iY));
    if (m_pGame)
        m_pGame->OnMouseButtonUp(uButton, iX, iY);
    return m_Script.uTakesInput;
}

unsigned int CTestMenuState::OnMouseWheel(int iDelta, int iX, int iY)
{
    Log("OnMouseWheel", std::to_string(iDelta));
    if (m_pGame)
        m_pGame->OnMouseWheel(iDelta, iX, iY);
    return m_Script.uTakesInput;
}

unsigned int CTestMenuState::OnKeyDown(eKET_KEYCODE eKey)
{
    Log("OnKeyDown", std::to_string(static_cast<int>(eKey)));
    if (m_pGame)
        m_pGame->OnKeyDown(eKey);
    return m_Script.uTakesInput;
}

unsigned int CTestMenuState::OnChar(unsigned short uChar)
{
    Log("OnChar", std::to_string(uChar));
    if (m_pGame)
        m_pGame->OnChar(uChar);
    return m_Script.uTakesInput;
}

KE_RETVAL CTestMenuState::OnLanguageChanged(const CKorvelString& strCode)
{
    Log("OnLanguageChanged", Narrow(strCode));
    return m_pGame ? m_pGame->OnLanguageChanged(strCode) : KE_OK;
}

KE_RETVAL CTestMenuState::OnRestoreResources()
{
    Log("OnRestoreResources");
    return KE_OK;
}

KE_RETVAL CTestMenuState::OnReleaseResources()
{
    Log("OnReleaseResources");
    return KE_OK;
}

unsigned int CTestMenuState::OnThemeChanged()
{
    Log("OnThemeChanged");
    return 1;
}

void CTestMenuState::OnChallengeReceived(CVornNetworkSession*, int iId, const CKorvelString& strName,
                                         const CKorvelString&, int, int)
{
    Log("OnChallengeReceived", std::to_string(iId) + "," + Narrow(strName));
}

void CTestMenuState::OnChallengeResponse(CVornNetworkSession*, int iId, const CKorvelString&,
                                         const CKorvelString&, int iAnswer)
{
    Log("OnChallengeResponse", std::to_string(iId) + "," + std::to_string(iAnswer));
}

void CTestMenuState::OnChallengeImageReceived(CVornNetworkSession*, int iId, unsigned char*, int iSize)
{
    Log("OnChallengeImageReceived", std::to_string(iId) + "," + std::to_string(iSize));
}

void CTestMenuState::OnRematchReceived(int iValue)
{
    Log("OnRematchReceived", std::to_string(iValue));
}

void CTestMenuState::OnQueueUpdate(CVornNetworkSession*, int iA, int iB, int iC)
{
    Log("OnQueueUpdate", std::to_string(iA) + "," + std::to_string(iB) + "," + std::to_string(iC));
}

void CTestMenuState::OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>& aItems)
{
    Log("OnAvailableShopItemDatas", std::to_string(aItems.GetCount()));
}

void CTestMenuState::OnShopItemData(int iItemId, int iOffset, unsigned char*, int iSize, int iRemaining)
{
    Log("OnShopItemData", std::to_string(iItemId) + "," + std::to_string(iOffset) + "," +
                              std::to_string(iSize) + "," + std::to_string(iRemaining));
}

void CTestMenuState::OnWalletBalance(int iBalance)
{
    Log("OnWalletBalance", std::to_string(iBalance));
}

void CTestMenuState::OnShopItemGroups(int iFlags,
                                      const CKorvelArray<CASN1ShopItemGroups::sGroupData>& aGroups)
{
    Log("OnShopItemGroups", std::to_string(iFlags) + "," + std::to_string(aGroups.GetCount()));
}

void CTestMenuState::OnShopItems(int iFlags, int iStart,
                                 const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    Log("OnShopItems",
        std::to_string(iFlags) + "," + std::to_string(iStart) + "," + std::to_string(aItems.GetCount()));
}

void CTestMenuState::OnShopItemImage(int iItemId, int iIndex, unsigned char*, int iSize)
{
    Log("OnShopItemImage",
        std::to_string(iItemId) + "," + std::to_string(iIndex) + "," + std::to_string(iSize));
}

void CTestMenuState::OnBuyItemResponce(int iItemId, int iResult, const CKorvelString& strText,
                                       const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>& aPlayers)
{
    Log("OnBuyItemResponce", std::to_string(iItemId) + "," + std::to_string(iResult) + "," + Narrow(strText) +
                                 "," + std::to_string(aPlayers.GetCount()));
}

void CTestMenuState::OnConfirmBuyItemResponce(int iItemId, int iResult, const CKorvelString& strText)
{
    Log("OnConfirmBuyItemResponce",
        std::to_string(iItemId) + "," + std::to_string(iResult) + "," + Narrow(strText));
}

void CTestMenuState::OnUpdateItemStateResponse(int iItemId, int iResult, const CKorvelString& strText,
                                               int iState)
{
    Log("OnUpdateItemStateResponse", std::to_string(iItemId) + "," + std::to_string(iResult) + "," +
                                         Narrow(strText) + "," + std::to_string(iState));
}

void CTestMenuState::OnPlayerGiftItems(int iPlayerId, CKorvelString& strName,
                                       const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    Log("OnPlayerGiftItems",
        std::to_string(iPlayerId) + "," + Narrow(strName) + "," + std::to_string(aItems.GetCount()));
}

void CTestMenuState::OnConfirmBuyPlayerItemsResponse(int iItemId, int iResult, CKorvelString& strText)
{
    Log("OnConfirmBuyPlayerItemsResponse",
        std::to_string(iItemId) + "," + std::to_string(iResult) + "," + Narrow(strText));
}

void CTestMenuState::OnAchievementList(int iA, int iB, int iC,
                                       CKorvelArray<CASN1AchievementList::sData>& aList, int iD)
{
    Log("OnAchievementList", std::to_string(iA) + "," + std::to_string(iB) + "," + std::to_string(iC) + "," +
                                 std::to_string(aList.GetCount()) + "," + std::to_string(iD));
}

void CTestMenuState::OnTournamentScores(CKorvelArray<CKorvelString>& aNames,
                                        CKorvelArray<CASN1TournamentScores::sData>& aScores, int iValue)
{
    Log("OnTournamentScores", std::to_string(aNames.GetCount()) + "," + std::to_string(aScores.GetCount()) +
                                  "," + std::to_string(iValue));
}

void CTestMenuState::OnImageAndLink(const CKorvelString& strName, int iSize, const unsigned char*,
                                    const CKorvelString& strLink, const CKorvelString&, const CKorvelString&)
{
    Log("OnImageAndLink", Narrow(strName) + "," + std::to_string(iSize) + "," + Narrow(strLink));
}

void CTestMenuState::OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived)
{
    Log("OnChatMessage", (pMessage ? std::to_string(pMessage->m_iType) + "," + Narrow(pMessage->m_strText) +
                                         "," + std::to_string(pMessage->m_iSender)
                                   : std::string("null")) +
                             "," + std::to_string(uReceived));
}

void CTestMenuState::OnLobbyStatusChanged(unsigned int uStatus)
{
    Log("OnLobbyStatusChanged", std::to_string(uStatus));
}

void CTestMenuState::OnGameStatusChanged(unsigned int uStatus)
{
    Log("OnGameStatusChanged", std::to_string(uStatus));
}

void CTestMenuState::OnBuddyRequest(CVornNetworkSession*, int iPlayerId,
                                    CVornNetworkSession::LobbyObserver::EBuddyRequestType eType,
                                    CVornNetworkSession::LobbyObserver::EBuddyRequestAction eAction,
                                    const CKorvelString& strName, const CKorvelString&)
{
    Log("OnBuddyRequest", std::to_string(iPlayerId) + "," + std::to_string(static_cast<int>(eType)) + "," +
                              std::to_string(static_cast<int>(eAction)) + "," + Narrow(strName));
}

void CTestMenuState::OnGameSessionInfoReceived(CVornNetworkSession*, int iValue, const sGAME_SESSION&)
{
    Log("OnGameSessionInfoReceived", std::to_string(iValue));
}

unsigned int CTestMenuState::IsLoggedIn()
{
    return m_Script.uLoggedIn;
}

void CTestMenuState::SwitchToPage(CKorvelString strPage, unsigned int uShowMenu)
{
    Log("SwitchToPage", Narrow(strPage) + "," + std::to_string(uShowMenu));
}

void CTestMenuState::ExitChat()
{
    Log("ExitChat");
}

void CTestMenuState::QuickExit()
{
    Log("QuickExit");
}

void CTestMenuState::SetChatButtonVisibility(unsigned int uVisible)
{
    Log("SetChatButtonVisibility", std::to_string(uVisible));
}

void CTestMenuState::UpdateChatBacklog(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived)
{
    Log("UpdateChatBacklog", (pMessage ? std::to_string(pMessage->m_iType) + "," + Narrow(pMessage->m_strText)
                                       : std::string("null")) +
                                 "," + std::to_string(uReceived));
}

void CTestMenuState::GetVornArea(CKorvelRect<int>& rcArea)
{
    rcArea = m_Script.rcVornArea;
}

void CTestMenuState::ShowRefillDialog(int iItemId)
{
    Log("ShowRefillDialog", std::to_string(iItemId));
}

void CTestMenuState::UseItem(int iItemId, int iValue)
{
    Log("UseItem", std::to_string(iItemId) + "," + std::to_string(iValue));
}

void CTestMenuState::GetItemFile(int iItemId, CKorvelString& strPath)
{
    Log("GetItemFile", std::to_string(iItemId));
    strPath.Set((m_strItemFolder + "data_64_" + std::to_string(iItemId) + ".kmp").c_str());
}

CKorvelArray<CVornApplication::sItemData>& CTestMenuState::GetItems()
{
    return m_aItems;
}

void CTestMenuState::OnGameplayEnd(unsigned int uLeave)
{
    Log("OnGameplayEnd", std::to_string(uLeave));
}

void CTestMenuState::OnGameStart()
{
    Log("OnGameStart");
    m_uInMatch = 1;
}

void CTestMenuState::OnGameEnd()
{
    Log("OnGameEnd");
    m_uInMatch = 0;
    if (m_pGame)
        m_pGame->GameSessionEnded();
}

unsigned int CTestMenuState::IsInMatch()
{
    return m_uInMatch;
}

void CTestMenuState::Relogin()
{
    Log("Relogin");
    if (m_fnDuringLogin)
        m_fnDuringLogin();
}

void CTestMenuState::Logout()
{
    Log("Logout");
    if (m_fnDuringLogin)
        m_fnDuringLogin();
}

void CTestMenuState::OnLogout()
{
    Log("OnLogout");
    CVornMenuState::OnLogout();
}

const CKorvelString& CTestMenuState::GetCurrentUserName() const
{
    return m_strUserName;
}

unsigned int CTestMenuState::IsGuestLogin() const
{
    return m_Script.uGuest;
}

void CTestMenuState::Redirect(const CKorvelString& strHost, int iPort)
{
    Log("Redirect", Narrow(strHost) + "," + std::to_string(iPort));
}
