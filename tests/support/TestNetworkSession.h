// A network session that talks to no server: its status, own id, release, texts and
// lobby players are set by the test, every call is recorded, and the test fires the
// observers' callbacks through Deliver, during which IsDelivering() is 1.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Framework/Session/VornNetworkSession.h"
#include "support/TestCallLog.h"

class CTestNetworkSession : public CVornNetworkSession
{
public:
    // What the session answers; set before the application creates it.
    struct sScript
    {
        unsigned int uStatus = 0;
        int iOwnUserId = 0;
        int iRelease = 0;
        std::string strHttpQuery, strLoginCheck, strLoginToken;
        std::vector<std::pair<int, std::string>> aPlayers; // user id, name
        KE_RETVAL iStartupResult = KE_OK;
    };

    CTestNetworkSession(CTestCallLog& log, const sScript& script);
    ~CTestNetworkSession() override;

    // Runs the callback as the session's own delivery would: IsDelivering() is 1 inside,
    // and the session touches its own state after the callback returns.
    void Deliver(const std::function<void()>& fnCallback);

    KE_RETVAL Startup(CKestrolundApplication* pApplication, StatusObserver* pObserver) override;
    void Shutdown() override;
    void Update(float fSeconds) override;
    void AddStatusObserver(StatusObserver* pObserver) override;
    void RemoveStatusObserver(StatusObserver* pObserver) override;
    void AddLobbyObserver(LobbyObserver* pObserver) override;
    void RemoveLobbyObserver(LobbyObserver* pObserver) override;
    void AddGameObserver(GameObserver* pObserver) override;
    void RemoveGameObserver(GameObserver* pObserver) override;
    void AddAdvertisementObserver(AdvertisementObserver* pObserver) override;
    void RemoveAdvertisementObserver(AdvertisementObserver* pObserver) override;
    unsigned int GetStatus() override { return m_Script.uStatus; }
    CVornLobby* GetLobby() override { return m_pOwnLobby; }
    int GetOwnUserId() override { return m_Script.iOwnUserId; }
    int GetRelease() override { return m_Script.iRelease; }
    const CKorvelString& GetHttpQuery() override { return m_strHttpQuery; }
    const CKorvelString& GetLoginCheck() override { return m_strLoginCheck; }
    const CKorvelString& GetLoginToken() override { return m_strLoginToken; }
    unsigned int IsDelivering() override { return m_uDelivering; }
    void DisconnectGame() override;
    void RegisterInGameQueue(int iType, int iMaxPlayers) override;
    void UnregisterFromGameQueue() override;
    void SendGameEnd(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                     unsigned int uLeaving) override;
    void SendRematch(unsigned int uAccept) override;
    void SendChatMsg(const sCHATMSG* pMessage) override;
    void SendChangeLanguage(const CKorvelString& strCode) override;
    void SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int, unsigned int) override;

    sScript m_Script;
    CKestrolundApplication* m_pApplication = nullptr;
    std::vector<StatusObserver*> m_aStatusObservers;
    std::vector<LobbyObserver*> m_aLobbyObservers;
    std::vector<GameObserver*> m_aGameObservers;
    std::vector<AdvertisementObserver*> m_aAdvertisementObservers;
    unsigned int m_uShutDown = 0;

private:
    template <class T> void Track(std::vector<T*>& aList, T* pObserver, const char* pWhat, bool bAdd);

    CTestCallLog& m_Log;
    CVornLobby* m_pOwnLobby = nullptr;
    unsigned int m_uDelivering = 0;
    CKorvelString m_strHttpQuery, m_strLoginCheck, m_strLoginToken;
};
