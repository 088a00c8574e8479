// The framework's bodies of the game-state interface: the game reaches the network
// session, the lobby and the achievements through the application it was given.
#include "Framework/Shell/VornGameState.h"

#include "AchievementStation/VornAchievement.h"
#include "AchievementStation/VornAchievementGame.h"
#include "AchievementStation/VornAchievementStation.h"
#include "Framework/Session/VornLobby.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "KorvelCommon/KorvelTimer.h"

namespace
{
// Lobby status bit set while the lobby connection is up.
const unsigned int STATUS_LOBBY_UP = 1;
// The framework's text for a quick play that found nobody free to play.
const int TEXT_NOBODY_FREE = 4;

// The shell application, its session and the session's player list; null before
// _SetApp, before the session exists, or for another kind of application.
CKestrolundApplication* Shell(CVornApplication* pApplication)
{
    return dynamic_cast<CKestrolundApplication*>(pApplication);
}

CVornNetworkSession* Session(CVornApplication* pApplication)
{
    CKestrolundApplication* pShell = Shell(pApplication);
    return pShell ? pShell->GetNetworkSession() : nullptr;
}

CVornLobby* SessionLobby(CVornApplication* pApplication)
{
    CVornNetworkSession* pSession = Session(pApplication);
    return pSession ? pSession->GetLobby() : nullptr;
}

CVornAchievement* FindAchievement(CVornApplication* pApplication, int iGameId, int iId)
{
    CVornAchievementStation* pStation = pApplication ? pApplication->GetAchievementStation() : nullptr;
    CVornAchievementGame* pGame = pStation ? pStation->GetGame(iGameId) : nullptr;
    return pGame ? pGame->GetAchievement(iId) : nullptr;
}
} // namespace

KE_RETVAL IVornGameState::OnLanguageChanged(const CKorvelString& strCode)
{
    if (!m_pLanguage)
        return KE_ERR_NOTSTARTED;
    return m_pLanguage->SetCurrentLanguage(strCode);
}

CKorvelString IVornGameState::GetResellerId() const
{
    return CKorvelString("bb");
}

CKorvelString IVornGameState::GetAppSecret() const
{
    return CKorvelString();
}

void IVornGameState::QuickPlay()
{
    CKestrolundApplication* pShell = Shell(m_pApplication);
    if (pShell)
        pShell->ExitChat();
    CVornNetworkSession* pSession = Session(m_pApplication);
    if (pSession)
    {
        pSession->DisconnectGame();
        if (pSession->GetStatus() & STATUS_LOBBY_UP)
        {
            pSession->RegisterInGameQueue(1, GetMaxPlayerCount());
            return;
        }
    }
    CancelledQuickPlay();
    // The connection is down, the player did not log out: "Remember me" stays.
    if (pShell)
        pShell->LogoutKeepingLogin();
    else if (m_pApplication)
        m_pApplication->Logout(1);
}

void IVornGameState::QuickExit()
{
    if (m_pApplication)
        m_pApplication->QuickExit();
}

void IVornGameState::CancelQuickPlay()
{
    if (CVornNetworkSession* pSession = Session(m_pApplication))
        pSession->UnregisterFromGameQueue();
}

void IVornGameState::QuickPlayFoundNobody()
{
    CKestrolundApplication* pShell = Shell(m_pApplication);
    CVornLanguage* pLanguage = pShell ? pShell->GetLanguage() : nullptr;
    if (pLanguage)
        pShell->ShowToastNotification(nullptr, pLanguage->GetText(TEXT_NOBODY_FREE), 0.0f, 0);
}

void IVornGameState::SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int uArg3,
                                 unsigned int uArg4)
{
    if (CVornNetworkSession* pSession = Session(m_pApplication))
        pSession->SendGameMsg(pData, uSize, uArg3, uArg4);
}

void IVornGameState::SendResults(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                                 unsigned int uLeaving)
{
    if (CKestrolundApplication* pShell = Shell(m_pApplication))
        pShell->SendResults(aPlayers, aResults, uLeaving);
}

CKorvelString IVornGameState::GetHttpQuery()
{
    CVornNetworkSession* pSession = Session(m_pApplication);
    return pSession ? CKorvelString(pSession->GetHttpQuery()) : CKorvelString();
}

int IVornGameState::GetPlayerId()
{
    CVornNetworkSession* pSession = Session(m_pApplication);
    return pSession ? pSession->GetOwnUserId() : -1;
}

int IVornGameState::GetPlayerCount()
{
    CVornLobby* pLobby = SessionLobby(m_pApplication);
    return pLobby ? pLobby->GetPlayerCount() : 0;
}

CVornPlayer* IVornGameState::GetPlayer(int iIndex)
{
    // The lobby may know fewer players than the game asks for: outside its list is null.
    CVornLobby* pLobby = SessionLobby(m_pApplication);
    if (!pLobby || iIndex < 0 || iIndex >= pLobby->GetPlayerCount())
        return nullptr;
    return pLobby->GetPlayer(iIndex);
}

unsigned int IVornGameState::Achieve(int iId)
{
    CVornAchievement* pAchievement = FindAchievement(m_pApplication, GetAppId(), iId);
    if (!pAchievement)
        return 0;
    if (pAchievement->GetAchieved())
        return 1;
    pAchievement->SetAchieved(1);
    CKorvelDateTime now;
    now.Current();
    pAchievement->SetTime(&now);
    m_pApplication->GetAchievementStation()->WriteAchievementData();
    return 1;
}

unsigned int IVornGameState::GetAchieved(int iId)
{
    CVornAchievement* pAchievement = FindAchievement(m_pApplication, GetAppId(), iId);
    return pAchievement ? pAchievement->GetAchieved() : 0;
}
