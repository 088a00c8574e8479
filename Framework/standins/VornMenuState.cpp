// Stand-in until the lobby lands: hosts the game as the lobby does, with no lobby of
// its own. Frames, input, keys, screen and language changes go to the game; the match
// start and end set and clear the in-match flag; nobody is logged in.
#include "Framework/VornMenuState.h"

#include "Framework/KestrolundApplication.h"
#include "Framework/VornGameState.h"

CVornMenuState::CVornMenuState() : m_pApplication(nullptr), m_pGame(nullptr), m_uInMatch(0) {}

CVornMenuState::~CVornMenuState() {}

KE_RETVAL CVornMenuState::Startup(CVornApplication* pApplication)
{
    m_pApplication = static_cast<CKestrolundApplication*>(pApplication);
    IVornGameState* pGame = m_pApplication ? m_pApplication->GetGameState() : nullptr;
    if (!pGame)
        return KE_ERR_INVALIDARG;
    const KE_RETVAL iResult = pGame->Startup(pApplication);
    if (iResult != KE_OK)
        return iResult;
    m_pGame = pGame;
    m_pGame->_SetApp(pApplication);
    return KE_OK;
}

void CVornMenuState::Shutdown()
{
    if (!m_pGame)
        return;
    m_pGame->Shutdown();
    delete m_pGame;
    m_pGame = nullptr;
}

void CVornMenuState::Activate()
{
    if (m_pGame)
        m_pGame->Activate();
}

void CVornMenuState::Deactivate()
{
    if (m_pGame)
        m_pGame->Deactivate();
}

unsigned int CVornMenuState::Update(float fSeconds)
{
    if (m_pGame)
        m_pGame->Update(fSeconds);
    return 1;
}

void CVornMenuState::Draw()
{
    if (m_pGame)
        m_pGame->Draw();
}

unsigned int CVornMenuState::OnScreenChanged(int iWidth, int iHeight)
{
    return m_pGame ? m_pGame->OnScreenChanged(iWidth, iHeight) : 1;
}

unsigned int CVornMenuState::OnMouseButton(unsigned int uButton, int iX, int iY)
{
    if (m_pGame)
        m_pGame->OnMouseButton(uButton, iX, iY);
    return 1;
}

unsigned int CVornMenuState::OnMouseDrag(unsigned int uButton, int iX, int iY)
{
    if (m_pGame)
        m_pGame->OnMouseDrag(uButton, iX, iY);
    return 1;
}

unsigned int CVornMenuState::OnMouseButtonUp(unsigned int uButton, int iX, int iY)
{
    if (m_pGame)
        m_pGame->OnMouseButtonUp(uButton, iX, iY);
    return 1;
}

unsigned int CVornMenuState::OnMouseWheel(int iDelta, int iX, int iY)
{
    if (m_pGame)
        m_pGame->OnMouseWheel(iDelta, iX, iY);
    return 1;
}

unsigned int CVornMenuState::OnKeyDown(eKET_KEYCODE eKey)
{
    if (m_pGame)
        m_pGame->OnKeyDown(eKey);
    return 1;
}

unsigned int CVornMenuState::OnChar(unsigned short uChar)
{
    if (m_pGame)
        m_pGame->OnChar(uChar);
    return 1;
}

KE_RETVAL CVornMenuState::OnLanguageChanged(const CKorvelString& strCode)
{
    return m_pGame ? m_pGame->OnLanguageChanged(strCode) : KE_OK;
}

unsigned int CVornMenuState::OnThemeChanged()
{
    return 1;
}

void CVornMenuState::OnChallengeReceived(CVornNetworkSession*, int, const CKorvelString&,
                                         const CKorvelString&, int, int)
{
}
void CVornMenuState::OnChallengeResponse(CVornNetworkSession*, int, const CKorvelString&,
                                         const CKorvelString&, int)
{
}
void CVornMenuState::OnChallengeImageReceived(CVornNetworkSession*, int, unsigned char*, int) {}
void CVornMenuState::OnRematchReceived(int) {}
void CVornMenuState::OnQueueUpdate(CVornNetworkSession*, int, int, int) {}
void CVornMenuState::OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&) {}
void CVornMenuState::OnShopItemData(int, int, unsigned char*, int, int) {}
void CVornMenuState::OnWalletBalance(int) {}
void CVornMenuState::OnShopItemGroups(int, const CKorvelArray<CASN1ShopItemGroups::sGroupData>&) {}
void CVornMenuState::OnShopItems(int, int, const CKorvelArray<CASN1ShopItems::sItemData>&) {}
void CVornMenuState::OnShopItemImage(int, int, unsigned char*, int) {}
void CVornMenuState::OnBuyItemResponce(int, int, const CKorvelString&,
                                       const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&)
{
}
void CVornMenuState::OnConfirmBuyItemResponce(int, int, const CKorvelString&) {}
void CVornMenuState::OnUpdateItemStateResponse(int, int, const CKorvelString&, int) {}
void CVornMenuState::OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&) {}
void CVornMenuState::OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) {}
void CVornMenuState::OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int) {}
void CVornMenuState::OnTournamentScores(CKorvelArray<CKorvelString>&,
                                        CKorvelArray<CASN1TournamentScores::sData>&, int)
{
}
void CVornMenuState::OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                                    const CKorvelString&, const CKorvelString&)
{
}
void CVornMenuState::OnChatMessage(CVornNetworkSession::sCHATMSG*, unsigned int) {}
void CVornMenuState::OnLobbyStatusChanged(unsigned int) {}
void CVornMenuState::OnGameStatusChanged(unsigned int) {}
void CVornMenuState::OnBuddyRequest(CVornNetworkSession*, int,
                                    CVornNetworkSession::LobbyObserver::EBuddyRequestType,
                                    CVornNetworkSession::LobbyObserver::EBuddyRequestAction,
                                    const CKorvelString&, const CKorvelString&)
{
}
void CVornMenuState::OnGameSessionInfoReceived(CVornNetworkSession*, int, const sGAME_SESSION&) {}

unsigned int CVornMenuState::IsLoggedIn()
{
    return 0;
}

void CVornMenuState::SwitchToPage(CKorvelString, unsigned int) {}
void CVornMenuState::ExitChat() {}
void CVornMenuState::QuickExit() {}
void CVornMenuState::SetChatButtonVisibility(unsigned int) {}
void CVornMenuState::UpdateChatBacklog(CVornNetworkSession::sCHATMSG*, unsigned int) {}

void CVornMenuState::GetVornArea(CKorvelRect<int>& rcArea)
{
    rcArea = CKorvelRect<int>();
}

void CVornMenuState::ShowRefillDialog(int) {}
void CVornMenuState::UseItem(int, int) {}
void CVornMenuState::GetItemFile(int, CKorvelString&) {}

CKorvelArray<CVornApplication::sItemData>& CVornMenuState::GetItems()
{
    return m_Items;
}

void CVornMenuState::OnGameplayEnd(unsigned int) {}

void CVornMenuState::OnGameStart()
{
    m_uInMatch = 1;
}

void CVornMenuState::OnGameEnd()
{
    m_uInMatch = 0;
    if (m_pGame)
        m_pGame->GameSessionEnded();
}

unsigned int CVornMenuState::IsInMatch()
{
    return m_uInMatch;
}

// The login controller's reports: nothing to show without the lobby's pages.
void CVornMenuState::OnLoginSuccessful(const CKorvelString&, const CKorvelString&, unsigned int) {}
void CVornMenuState::OnLoginError(const CKorvelString&, const CKorvelString&, int, const CKorvelString*) {}
void CVornMenuState::OnLoginCancelled() {}
void CVornMenuState::OnLoginNewVersion(const CKorvelString&) {}
void CVornMenuState::OnLogout() {}
void CVornMenuState::OnUserNameValidated(unsigned int, const CKorvelString&) {}
void CVornMenuState::OnAutoRelogin() {}
void CVornMenuState::ForwardToGoogleLogin() {}
