// The application object's operations that reach back into the session and the lobby:
// toasts, chat, results and rematch, log-out, lobby pages, advertisements and the lobby's
// answers to the game.
#include "Framework/Shell/KestrolundApplication.h"

#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornStatistics.h"

// ---- toasts

void CKestrolundApplication::OnNotification(CVornNetworkSession*, int, int iType,
                                            const CKorvelString& strText)
{
    ShowToastNotification(nullptr, strText, 0.0f, iType);
}

void CKestrolundApplication::ShowToastNotification(CKorvelSurface*, const CKorvelString& strText,
                                                   float fSeconds, int iType)
{
    if (m_uNotificationFilter && (iType == 1 || iType == 2))
    {
        const unsigned int uInMatch = m_pLobbyState && m_pLobbyState->IsInMatch();
        if (((m_uNotificationFilter & FILTER_INGAME) && uInMatch) ||
            (m_uNotificationFilter & FILTER_USER_TRIGGERED))
            return;
    }
    if (!m_pToast)
        return;
    m_pToast->Add(strText, iType, fSeconds);
    if (m_pDevice)
        m_pDevice->Vibrate(CVornDevice::VIBRA_SHORT);
}

void CKestrolundApplication::SetNotificationFilter(unsigned int uBits)
{
    m_uNotificationFilter = uBits;
    if (!m_pStatistics)
        return;
    const CKorvelString strName("__Vorn_NotificationFilter");
    CVornStatisticsProperty* pProperty = m_pStatistics->FindOrAddProperty(strName);
    if (pProperty && pProperty->m_iIntValue != static_cast<int>(uBits))
        pProperty->SetInt(static_cast<int>(uBits));
}

// ---- the lobby's answers to the game; none without a lobby

const CKorvelString& CKestrolundApplication::GetVornUserName()
{
    static const CKorvelString s_strNone;
    return m_pLobbyState ? m_pLobbyState->GetCurrentUserName() : s_strNone;
}

const CKorvelArray<CVornApplication::sItemData>& CKestrolundApplication::GetItems()
{
    static const CKorvelArray<sItemData> s_None;
    return m_pLobbyState ? m_pLobbyState->GetItems() : s_None;
}

void CKestrolundApplication::GetItemFile(int iFileId, CKorvelString& strPath)
{
    if (m_pLobbyState)
        m_pLobbyState->GetItemFile(iFileId, strPath);
}

void CKestrolundApplication::UseItem(int iItemId, int iValue)
{
    if (m_pLobbyState)
        m_pLobbyState->UseItem(iItemId, iValue);
}

void CKestrolundApplication::GetVornArea(CKorvelRect<int>& rect)
{
    if (m_pLobbyState)
        m_pLobbyState->GetVornArea(rect);
    else
        rect = CKorvelRect<int>();
}

unsigned int CKestrolundApplication::IsGuestLogin()
{
    return m_pLobbyState ? m_pLobbyState->IsGuestLogin() : 0;
}

unsigned int CKestrolundApplication::IsLoggedIn()
{
    return m_pLobbyState ? m_pLobbyState->IsLoggedIn() : 0;
}

void CKestrolundApplication::OnGameplayEnd(unsigned int uLeave)
{
    if (m_pLobbyState)
        m_pLobbyState->OnGameplayEnd(uLeave);
}

void CKestrolundApplication::QuickExit()
{
    if (m_pLobbyState)
        m_pLobbyState->QuickExit();
}

void CKestrolundApplication::Redirect(const CKorvelString& strHost, int iPort)
{
    if (m_pLobbyState)
        m_pLobbyState->Redirect(strHost, iPort);
}

void CKestrolundApplication::RefillItem(int iItemId)
{
    if (m_pLobbyState)
        m_pLobbyState->ShowRefillDialog(iItemId);
}

void CKestrolundApplication::ExitChat()
{
    if (m_pLobbyState)
        m_pLobbyState->ExitChat();
}

void CKestrolundApplication::OnGameEnd()
{
    if (m_pLobbyState)
        m_pLobbyState->OnGameEnd();
}

// ---- chat

void CKestrolundApplication::OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived)
{
    if (m_pLobbyState)
        m_pLobbyState->OnChatMessage(pMessage, uReceived);
}

void CKestrolundApplication::SendChatMessage(const CKorvelString& strText,
                                             CVornNetworkSession::eCHAT_MSGTYPE eType)
{
    if (!m_pNetworkSession)
        return;
    CVornNetworkSession::sCHATMSG message;
    message.m_iType = eType;
    message.m_strText = strText;
    message.m_iSender = m_pNetworkSession->GetOwnUserId();
    m_pNetworkSession->SendChatMsg(&message);
    if (m_pLobbyState)
        m_pLobbyState->UpdateChatBacklog(&message, 0);
}

void CKestrolundApplication::SendChatMessage(CVornNetworkSession::eCHAT_MSGTYPE eType)
{
    SendChatMessage(CKorvelString(), eType);
}

// ---- results and rematch

namespace
{
// The early rematch answer as it is remembered until the results are sent.
enum
{
    REMATCH_ACCEPT = 1,
    REMATCH_LEAVING = 2
};
} // namespace

void CKestrolundApplication::SendResults(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                                         unsigned int uLeaving)
{
    m_uResultsSent = 1;
    if (m_pNetworkSession)
        m_pNetworkSession->SendGameEnd(aPlayers, aResults, uLeaving);
    if (m_pLobbyState)
        m_pLobbyState->SetChatButtonVisibility(1);
    if (uLeaving)
    {
        Rematch(0, 1);
        OnGameEnd();
        return;
    }
    if (m_iRematchAnswer < 0)
        return;
    const unsigned int uAccept = (m_iRematchAnswer & REMATCH_ACCEPT) ? 1 : 0;
    Rematch(uAccept, (m_iRematchAnswer & REMATCH_LEAVING) ? 1 : 0);
    if (!uAccept)
        OnGameEnd();
    m_iRematchAnswer = -1;
}

void CKestrolundApplication::Rematch(unsigned int uAccept, unsigned int uLeaving)
{
    if (!m_uResultsSent)
    {
        // The game has not reported the match's end yet: SendResults sends the answer.
        if (m_iRematchAnswer < 0)
            m_iRematchAnswer = (uAccept ? REMATCH_ACCEPT : 0) | (uLeaving ? REMATCH_LEAVING : 0);
        return;
    }
    if (m_pLobbyState)
        m_pLobbyState->SetChatButtonVisibility(0);
    if (uAccept)
    {
        SendChatMessage(CVornNetworkSession::CHAT_REMATCH_REQUEST);
        if (m_pNetworkSession)
            m_pNetworkSession->SendRematch(uAccept);
    }
    else
    {
        SendChatMessage(uLeaving ? CVornNetworkSession::CHAT_LEFT
                                 : CVornNetworkSession::CHAT_REMATCH_DECLINED);
        if (m_pNetworkSession)
            m_pNetworkSession->SendRematch(0);
        OnGameEnd();
    }
    m_uResultsSent = 0;
}

// ---- log-out

void CKestrolundApplication::LogoutKeepingLogin()
{
    m_uKeepLogin = 1;
    Logout(1);
    m_uKeepLogin = 0;
}

void CKestrolundApplication::Logout(unsigned int uFull)
{
    if (m_uLoggingOut)
        return;
    // Played offline there is no session to end: the way out is the login page.
    if (uFull && m_pLobbyState && !IsLoggedIn() &&
        m_pLobbyState->GetLoginStatus() == CLoginController::STATUS_LOGGED_OUT)
    {
        m_pLobbyState->OnLogout();
        return;
    }
    // The music stops, but the player's own mute choice is what the store keeps.
    CVornStatisticsProperty* pMute =
        m_pStatistics ? m_pStatistics->GetProperty(CKorvelString("__Vorn_Music_Mute")) : nullptr;
    const unsigned int uStoredMute = pMute ? pMute->m_uBoolValue : 0;
    MuteMusic(1);
    if (pMute)
        pMute->SetBool(uStoredMute);

    m_uLoggingOut = 1;
    if (m_pLobbyState)
    {
        if (uFull)
        {
            // The player left: the next start must not log in as this player again (on a
            // shared computer the next person would play under this name).
            if (!m_uKeepLogin)
                m_pLobbyState->SetAutoLogin(0);
            m_pLobbyState->Logout();
        }
        else
            m_pLobbyState->Relogin();
    }
    m_uLoggingOut = 0;
    if (m_pLobbyState)
        FocusState(m_pLobbyState);
}

void CKestrolundApplication::Relogin()
{
    if (m_uLoggingOut)
        return;
    m_uLoggingOut = 1;
    if (m_pLobbyState)
        m_pLobbyState->Relogin();
    m_uLoggingOut = 0;
    if (m_pLobbyState)
        FocusState(m_pLobbyState);
}

// ---- lobby pages and advertisements

void CKestrolundApplication::SwitchToPage(eCLIENTPAGE ePage)
{
    static const char* const s_apPages[] = {"chat_root", "shop_root", "me_root", "players_root",
                                            "settings_root"};
    const int iPage = static_cast<int>(ePage);
    if (iPage < 0 || iPage >= static_cast<int>(sizeof(s_apPages) / sizeof(s_apPages[0])))
        return;
    // A guest has no shop, profile, players or settings.
    if (iPage > CLIENTPAGE_CHAT && IsGuestLogin())
        return;
    if (m_pLobbyState && m_pLobbyState->IsInMatch())
        m_pLobbyState->SwitchToPage(CKorvelString(s_apPages[iPage]), 1);
}

void CKestrolundApplication::ShowAdvertisement(unsigned int uExitAd)
{
    if (m_pAdvertisement)
    {
        if (uExitAd)
            m_pAdvertisement->ShowExitAd();
        else
            m_pAdvertisement->SetVisible(1);
    }
    else if (uExitAd)
        Exit();
}
