#include "support/TestNetworkSession.h"

#include <algorithm>

#include "Framework/Session/VornLobby.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "support/TestText.h"

namespace
{
template <class T> void Erase(std::vector<T*>& aList, T* pItem)
{
    auto it = std::find(aList.begin(), aList.end(), pItem);
    if (it != aList.end())
        aList.erase(it);
}

std::string Ints(const CKorvelArray<int>& aValues)
{
    std::string strOut;
    for (int i = 0; i < aValues.GetCount(); ++i)
        strOut += (i ? " " : "") + std::to_string(aValues[i]);
    return strOut;
}
} // namespace

CTestNetworkSession::CTestNetworkSession(CTestCallLog& log, const sScript& script)
    : m_Script(script), m_Log(log), m_strHttpQuery(script.strHttpQuery.c_str()),
      m_strLoginCheck(script.strLoginCheck.c_str()), m_strLoginToken(script.strLoginToken.c_str())
{
}

CTestNetworkSession::~CTestNetworkSession()
{
    m_Log.Add("session", "~");
    delete m_pOwnLobby;
}

void CTestNetworkSession::Deliver(const std::function<void()>& fnCallback)
{
    m_uDelivering = 1;
    fnCallback();
    // Touches the session after the callback: a session deleted inside it would fail here.
    m_uDelivering = 0;
    m_Log.Add("session", "Delivered");
}

KE_RETVAL CTestNetworkSession::Startup(CKestrolundApplication* pApplication, StatusObserver* pObserver)
{
    m_Log.Add("session", "Startup");
    if (m_Script.iStartupResult != KE_OK)
        return m_Script.iStartupResult;
    m_pApplication = pApplication;
    AddStatusObserver(pObserver);
    m_pOwnLobby = new CVornLobby;
    IVornGameState* pGame = pApplication ? pApplication->GetGameState() : nullptr;
    m_pOwnLobby->Startup(pGame ? pGame->GetMinPlayerCount() : 0, pGame ? pGame->GetMaxPlayerCount() : 0);
    for (const auto& player : m_Script.aPlayers)
    {
        CVornPlayer* pPlayer = new CVornPlayer;
        pPlayer->m_iUserId = player.first;
        pPlayer->m_strName.Set(player.second.c_str());
        if (!m_pOwnLobby->AddPlayer(pPlayer))
            delete pPlayer;
    }
    return KE_OK;
}

void CTestNetworkSession::Shutdown()
{
    m_Log.Add("session", "Shutdown");
    m_uShutDown = 1;
    m_aStatusObservers.clear();
    m_aLobbyObservers.clear();
    m_aGameObservers.clear();
    m_aAdvertisementObservers.clear();
    delete m_pOwnLobby;
    m_pOwnLobby = nullptr;
}

void CTestNetworkSession::Update(float)
{
    m_Log.Add("session", "Update");
}

template <class T>
void CTestNetworkSession::Track(std::vector<T*>& aList, T* pObserver, const char* pWhat, bool bAdd)
{
    m_Log.Add("session", pWhat);
    if (bAdd)
        aList.push_back(pObserver);
    else
        Erase(aList, pObserver);
}

void CTestNetworkSession::AddStatusObserver(StatusObserver* p)
{
    Track(m_aStatusObservers, p, "AddStatusObserver", true);
}
void CTestNetworkSession::RemoveStatusObserver(StatusObserver* p)
{
    Track(m_aStatusObservers, p, "RemoveStatusObserver", false);
}
void CTestNetworkSession::AddLobbyObserver(LobbyObserver* p)
{
    Track(m_aLobbyObservers, p, "AddLobbyObserver", true);
}
void CTestNetworkSession::RemoveLobbyObserver(LobbyObserver* p)
{
    Track(m_aLobbyObservers, p, "RemoveLobbyObserver", false);
}
void CTestNetworkSession::AddGameObserver(GameObserver* p)
{
    Track(m_aGameObservers, p, "AddGameObserver", true);
}
void CTestNetworkSession::RemoveGameObserver(GameObserver* p)
{
    Track(m_aGameObservers, p, "RemoveGameObserver", false);
}
void CTestNetworkSession::AddAdvertisementObserver(AdvertisementObserver* p)
{
    Track(m_aAdvertisementObservers, p, "AddAdvertisementObserver", true);
}
void CTestNetworkSession::RemoveAdvertisementObserver(AdvertisementObserver* p)
{
    Track(m_aAdvertisementObservers, p, "RemoveAdvertisementObserver", false);
}

void CTestNetworkSession::DisconnectGame()
{
    m_Log.Add("session", "DisconnectGame");
}

void CTestNetworkSession::RegisterInGameQueue(int iType, int iMaxPlayers)
{
    m_Log.Add("session", "RegisterInGameQueue", std::to_string(iType) + "," + std::to_string(iMaxPlayers));
}

void CTestNetworkSession::UnregisterFromGameQueue()
{
    m_Log.Add("session", "UnregisterFromGameQueue");
}

void CTestNetworkSession::SendGameEnd(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                                      unsigned int uLeaving)
{
    m_Log.Add("session", "SendGameEnd",
              Ints(aPlayers) + "," + Ints(aResults) + "," + std::to_string(uLeaving));
}

void CTestNetworkSession::SendRematch(unsigned int uAccept)
{
    m_Log.Add("session", "SendRematch", std::to_string(uAccept));
}

void CTestNetworkSession::SendChatMsg(const sCHATMSG* pMessage)
{
    m_Log.Add("session", "SendChatMsg",
              pMessage ? std::to_string(pMessage->m_iType) + "," + Narrow(pMessage->m_strText) + "," +
                             std::to_string(pMessage->m_iSender)
                       : std::string("null"));
}

void CTestNetworkSession::SendChangeLanguage(const CKorvelString& strCode)
{
    m_Log.Add("session", "SendChangeLanguage", Narrow(strCode));
}

void CTestNetworkSession::SendGameMsg(const unsigned char*, unsigned int uSize, unsigned int, unsigned int)
{
    m_Log.Add("session", "SendGameMsg", std::to_string(uSize));
}
