// The application object as the session's status, lobby, game and advertisement
// observer: it keeps the connection flags and the rematch bookkeeping and hands each
// event on to the lobby state, the game or the advertisement overlay.
#include "Framework/Shell/KestrolundApplication.h"

#include <cstdio>
#include <string>

#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Session/VornNetworkSession.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornStatistics.h"

namespace
{
// Game status while the game socket is up.
const unsigned int GAME_STATUS_CONNECTED = 256;
} // namespace

// ---- status observer

// One line on the terminal when the lobby connects, and one when it cannot be reached;
// retries that fail again say nothing more.
void CKestrolundApplication::ReportLobbyConnection(CVornNetworkSession* pSession, unsigned int uStatus)
{
    const std::string strAddress = pSession ? pSession->GetLobbyAddress() : std::string();
    if (uStatus == CVornNetworkSession::LOBBY_CONNECTING)
        m_uLobbyAttempt = 1;
    else if (uStatus == CVornNetworkSession::LOBBY_SOCKET_UP)
    {
        if (m_eLobbyReport != LOBBY_REPORT_CONNECTED)
            std::printf("Connected to the lobby server at %s.\n", strAddress.c_str());
        m_eLobbyReport = LOBBY_REPORT_CONNECTED;
        m_uLobbyAttempt = 0;
    }
    else if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED && m_uLobbyAttempt)
    {
        if (m_eLobbyReport != LOBBY_REPORT_UNREACHABLE)
            std::printf("No lobby server answers at %s: the game runs offline until one does.\n",
                        strAddress.c_str());
        m_eLobbyReport = LOBBY_REPORT_UNREACHABLE;
        m_uLobbyAttempt = 0;
    }
    std::fflush(stdout);
}

void CKestrolundApplication::OnLobbyStatusChanged(CVornNetworkSession* pSession, unsigned int uStatus)
{
    ReportLobbyConnection(pSession, uStatus);
    const bool bLobbyInFront = m_pLobbyState && GetFrontState() == m_pLobbyState;
    if (uStatus == 0)
    {
        m_uLobbyConnected = 0;
        // A log-out reconnects at once; the advertisement stays for that.
        if (!m_uLoggingOut && m_pAdvertisement)
            m_pAdvertisement->SetVisible(0);
        if (bLobbyInFront && m_pGameState)
            m_pGameState->LobbyDisconnect(m_uLoggingOut);
    }
    else if (uStatus == 1)
        m_uLobbyConnected = 1;
    if (bLobbyInFront)
        m_pLobbyState->OnLobbyStatusChanged(uStatus);
}

void CKestrolundApplication::OnGameStatusChanged(CVornNetworkSession*, unsigned int uStatus)
{
    const bool bLobbyInFront = m_pLobbyState && GetFrontState() == m_pLobbyState;
    if (uStatus == 0)
    {
        m_uInGameSession = 0;
        if (bLobbyInFront && m_pGameState)
            m_pGameState->GameDisconnect(m_uLoggingOut || m_uResultsSent ? 1 : 0);
    }
    else if (uStatus == GAME_STATUS_CONNECTED)
        m_uInGameSession = 1;
    if (bLobbyInFront)
        m_pLobbyState->OnGameStatusChanged(uStatus);
    if (m_pStatistics)
        m_pStatistics->WriteStatistics();
}

// ---- lobby observer: handed on to the lobby state

void CKestrolundApplication::OnQueueUpdate(CVornNetworkSession* pSession, int iQueueField, int iAppId,
                                           int iStatus)
{
    if (m_pLobbyState && iAppId == GetAppId())
        m_pLobbyState->OnQueueUpdate(pSession, iQueueField, iAppId, iStatus);
}

void CKestrolundApplication::OnQueueCancelled(CVornNetworkSession*) {}

void CKestrolundApplication::OnGameSessionInfoReceived(CVornNetworkSession* pSession, int iValue,
                                                       const sGAME_SESSION& session)
{
    if (m_pLobbyState)
        m_pLobbyState->OnGameSessionInfoReceived(pSession, iValue, session);
}

void CKestrolundApplication::OnBuddyRequest(CVornNetworkSession* pSession, int iPlayerId,
                                            EBuddyRequestType eType, EBuddyRequestAction eAction,
                                            const CKorvelString& strName, const CKorvelString& strText)
{
    if (m_pLobbyState)
        m_pLobbyState->OnBuddyRequest(pSession, iPlayerId, eType, eAction, strName, strText);
}

void CKestrolundApplication::OnChallengeReceived(CVornNetworkSession* pSession, int iPlayerId,
                                                 const CKorvelString& strName, const CKorvelString& strText,
                                                 int iRank, int iScore)
{
    if (m_pLobbyState && !(m_uNotificationFilter & FILTER_CHALLENGES))
        m_pLobbyState->OnChallengeReceived(pSession, iPlayerId, strName, strText, iRank, iScore);
}

void CKestrolundApplication::OnChallengeResponse(CVornNetworkSession* pSession, int iPlayerId,
                                                 const CKorvelString& strName, const CKorvelString& strText,
                                                 int iAnswer)
{
    if (m_pLobbyState && !(m_uNotificationFilter & FILTER_CHALLENGES))
        m_pLobbyState->OnChallengeResponse(pSession, iPlayerId, strName, strText, iAnswer);
}

void CKestrolundApplication::OnChallengeImageReceived(CVornNetworkSession* pSession, int iPlayerId,
                                                      unsigned char* pImage, int iSize)
{
    if (m_pLobbyState && !(m_uNotificationFilter & FILTER_CHALLENGES))
        m_pLobbyState->OnChallengeImageReceived(pSession, iPlayerId, pImage, iSize);
}

void CKestrolundApplication::OnRematchReceived(int iFlags)
{
    if (m_pLobbyState)
        m_pLobbyState->OnRematchReceived(iFlags);
}

void CKestrolundApplication::OnAvailableShopItemDatas(
    const CKorvelArray<CASN1AvailableItemDatas::sItemData>& aItems)
{
    if (m_pLobbyState)
        m_pLobbyState->OnAvailableShopItemDatas(aItems);
}

void CKestrolundApplication::OnShopItemData(int iItemId, int iFileId, unsigned char* pData, int iSize,
                                            int iValue)
{
    if (m_pLobbyState)
        m_pLobbyState->OnShopItemData(iItemId, iFileId, pData, iSize, iValue);
}

void CKestrolundApplication::OnWalletBalance(int iBalance)
{
    if (m_pLobbyState)
        m_pLobbyState->OnWalletBalance(iBalance);
}

void CKestrolundApplication::OnShopItemGroups(int iValue,
                                              const CKorvelArray<CASN1ShopItemGroups::sGroupData>& aGroups)
{
    if (m_pLobbyState)
        m_pLobbyState->OnShopItemGroups(iValue, aGroups);
}

void CKestrolundApplication::OnShopItems(int iA, int iB,
                                         const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    if (m_pLobbyState)
        m_pLobbyState->OnShopItems(iA, iB, aItems);
}

void CKestrolundApplication::OnShopItemImage(int iA, int iB, unsigned char* pImage, int iSize)
{
    if (m_pLobbyState)
        m_pLobbyState->OnShopItemImage(iA, iB, pImage, iSize);
}

void CKestrolundApplication::OnBuyItemResponce(
    int iItemId, int iResult, const CKorvelString& strText,
    const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>& aPlayers)
{
    if (m_pLobbyState)
        m_pLobbyState->OnBuyItemResponce(iItemId, iResult, strText, aPlayers);
}

void CKestrolundApplication::OnConfirmBuyItemResponce(int iItemId, int iResult, const CKorvelString& strText)
{
    if (m_pLobbyState)
        m_pLobbyState->OnConfirmBuyItemResponce(iItemId, iResult, strText);
}

void CKestrolundApplication::OnUpdateItemStateResponse(int iItemId, int iResult, const CKorvelString& strText,
                                                       int iState)
{
    if (m_pLobbyState)
        m_pLobbyState->OnUpdateItemStateResponse(iItemId, iResult, strText, iState);
}

void CKestrolundApplication::OnPlayerGiftItems(int iPlayerId, CKorvelString& strName,
                                               const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    if (m_pLobbyState)
        m_pLobbyState->OnPlayerGiftItems(iPlayerId, strName, aItems);
}

void CKestrolundApplication::OnConfirmBuyPlayerItemsResponse(int iItemId, int iResult, CKorvelString& strText)
{
    if (m_pLobbyState)
        m_pLobbyState->OnConfirmBuyPlayerItemsResponse(iItemId, iResult, strText);
}

void CKestrolundApplication::OnAchievementList(int iA, int iB, int iC,
                                               CKorvelArray<CASN1AchievementList::sData>& aList, int iD)
{
    if (m_pLobbyState)
        m_pLobbyState->OnAchievementList(iA, iB, iC, aList, iD);
}

void CKestrolundApplication::OnTournamentScores(CKorvelArray<CKorvelString>& aNames,
                                                CKorvelArray<CASN1TournamentScores::sData>& aScores,
                                                int iValue)
{
    if (m_pLobbyState)
        m_pLobbyState->OnTournamentScores(aNames, aScores, iValue);
}

void CKestrolundApplication::OnImageAndLink(const CKorvelString& strName, int iSize,
                                            const unsigned char* pImage, const CKorvelString& strLink,
                                            const CKorvelString& strA, const CKorvelString& strB)
{
    if (m_pLobbyState)
        m_pLobbyState->OnImageAndLink(strName, iSize, pImage, strLink, strA, strB);
}

// ---- game observer

void CKestrolundApplication::OnGameMessage(CVornNetworkSession*, unsigned char* pData, unsigned int uSize)
{
    if (m_pGameState)
        m_pGameState->RecvGameMsg(pData, uSize);
}

void CKestrolundApplication::OnGameStart(CVornNetworkSession*, int, unsigned int uStart)
{
    m_iRematchAnswer = -1;
    if (m_pLobbyState)
        m_pLobbyState->OnGameStart();
    if (m_pGameState)
        m_pGameState->StartGame(uStart);
    if (m_pDevice)
        m_pDevice->Vibrate(CVornDevice::VIBRA_SHORT);
}

void CKestrolundApplication::OnPlayerDisconnected(CVornNetworkSession*, int iPlayerId)
{
    if (!m_pGameState || iPlayerId == m_pGameState->GetPlayerId())
        return;
    CVornNetworkSession::sCHATMSG message;
    message.m_iType = CVornNetworkSession::CHAT_LEFT;
    message.m_iSender = iPlayerId;
    OnChatMessage(&message, 1);
    m_pGameState->OpponentLeft(iPlayerId);
}

// ---- advertisement observer

void CKestrolundApplication::OnAdvertisement(const CKorvelString& strFirstText, const CKorvelString& strLink,
                                             int iImageSize, const unsigned char* pImage, int iIntervalMs,
                                             int iDisplayMs, const CKorvelArray<int>& aFrameMs,
                                             const CKorvelString& strOkLink, int iFlags,
                                             const CKorvelString& strTitle, const CKorvelString& strTitleLink)
{
    if (!m_pAdvertisement)
    {
        CVornAdvertisement* pAdvertisement = CreateAdvertisement();
        if (!pAdvertisement)
            return;
        if (pAdvertisement->Startup(this) != KE_OK)
        {
            // The next advertisement tries again.
            pAdvertisement->Shutdown();
            delete pAdvertisement;
            return;
        }
        m_pAdvertisement = pAdvertisement;
    }
    m_pAdvertisement->DisplayAd(strFirstText, strLink, iImageSize, pImage, iIntervalMs, iDisplayMs, aFrameMs,
                                strOkLink, iFlags, strTitle, strTitleLink);
}
