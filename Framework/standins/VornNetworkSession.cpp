// Stand-in until the session lands: an offline session. It keeps the application and
// its status observer, reports status 0, keeps an empty player list sized by the game,
// and sends nothing.
#include "Framework/VornNetworkSession.h"

#include "Framework/KestrolundApplication.h"
#include "Framework/VornGameState.h"
#include "Framework/VornLobby.h"

CVornNetworkSession::CVornNetworkSession() : m_pApplication(nullptr), m_pLobby(nullptr), m_uStatus(0) {}

CVornNetworkSession::~CVornNetworkSession()
{
    delete m_pLobby;
}

KE_RETVAL CVornNetworkSession::Startup(CKestrolundApplication* pApplication, StatusObserver* pObserver)
{
    if (!pApplication)
        return 0;
    m_pApplication = pApplication;
    m_uStatus = 0;
    AddStatusObserver(pObserver);
    delete m_pLobby;
    m_pLobby = new CVornLobby;
    IVornGameState* pGame = pApplication->GetGameState();
    return m_pLobby->Startup(pGame ? pGame->GetMinPlayerCount() : 0, pGame ? pGame->GetMaxPlayerCount() : 0);
}

void CVornNetworkSession::Shutdown()
{
    if (m_pLobby)
        m_pLobby->Shutdown();
    delete m_pLobby;
    m_pLobby = nullptr;
    m_StatusObservers.Clear();
    m_uStatus = 0;
    m_pApplication = nullptr;
}

void CVornNetworkSession::Update(float) {}

void CVornNetworkSession::AddStatusObserver(StatusObserver* pObserver)
{
    if (pObserver)
        m_StatusObservers.Add(pObserver);
}

void CVornNetworkSession::RemoveStatusObserver(StatusObserver* pObserver)
{
    m_StatusObservers.Remove(pObserver);
}

void CVornNetworkSession::AddLobbyObserver(LobbyObserver*) {}
void CVornNetworkSession::RemoveLobbyObserver(LobbyObserver*) {}
void CVornNetworkSession::AddGameObserver(GameObserver*) {}
void CVornNetworkSession::RemoveGameObserver(GameObserver*) {}
void CVornNetworkSession::AddAdvertisementObserver(AdvertisementObserver*) {}
void CVornNetworkSession::RemoveAdvertisementObserver(AdvertisementObserver*) {}

unsigned int CVornNetworkSession::GetStatus()
{
    return m_uStatus;
}

CVornLobby* CVornNetworkSession::GetLobby()
{
    return m_pLobby;
}

int CVornNetworkSession::GetOwnUserId()
{
    return 0;
}

int CVornNetworkSession::GetRelease()
{
    return 0;
}

const CKorvelString& CVornNetworkSession::GetHttpQuery()
{
    return m_strEmpty;
}

const CKorvelString& CVornNetworkSession::GetLoginCheck()
{
    return m_strEmpty;
}

const CKorvelString& CVornNetworkSession::GetLoginToken()
{
    return m_strEmpty;
}

unsigned int CVornNetworkSession::IsDelivering()
{
    return 0;
}

void CVornNetworkSession::DisconnectGame() {}
void CVornNetworkSession::RegisterInGameQueue(int, int) {}
void CVornNetworkSession::UnregisterFromGameQueue() {}
void CVornNetworkSession::SendGameEnd(const CKorvelArray<int>&, const CKorvelArray<int>&, unsigned int) {}
void CVornNetworkSession::SendRematch(unsigned int) {}
void CVornNetworkSession::SendChatMsg(const sCHATMSG*) {}
void CVornNetworkSession::SendChangeLanguage(const CKorvelString&) {}
void CVornNetworkSession::SendGameMsg(const unsigned char*, unsigned int, unsigned int, unsigned int) {}
