// The network session: life cycle, connect and disconnect, the status word, the
// observer sets, the per-frame timers and the static helpers.
#include "Framework/Session/VornNetworkSession.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "Framework/Session/VornLobby.h"
#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornLanguage.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelThread.h"

template <class T> void CVornNetworkSession::CObserverSet<T>::Remove(T* p)
{
    int iAt = -1;
    this->SearchBy([](T* a, T* b) { return a < b ? -1 : (b < a ? 1 : 0); }, p, iAt);
    if (iAt < 0 || iAt >= this->m_iCount || this->m_pData[iAt] != p)
        return;
    for (int i = iAt; i < this->m_iCount - 1; ++i)
        this->m_pData[i] = this->m_pData[i + 1];
    this->SetSize(this->m_iCount - 1);
}

// ---- life cycle

CVornNetworkSession::CVornNetworkSession()
    : m_pApplication(nullptr), m_pLobbyEngine(nullptr), m_pGameEngine(nullptr), m_pLobby(nullptr),
      m_pGameMessageBuffer(new (std::nothrow) unsigned char[CASN1::MAX_GAME_MESSAGE_PAYLOAD]), m_uStatus(0),
      m_pLoginObserver(nullptr), m_GameSocketObserver(this), m_iOwnUserId(0), m_llGameSessionId(0),
      m_iGameStartFlag(0), m_iRelease(0), m_fLoginTimer(-1.0f), m_fImageTimer(-1.0f),
      m_pfnImageCallback(nullptr), m_pImageUserData(nullptr), m_iImagePending(0), m_iChallengeId(-1),
      m_iInQueue(0), m_fLobbySilence(0.0f), m_uDelivering(0), m_uShutDown(0), m_auGeneration{0, 0},
      m_uDisconnectSleepMs(500), m_uListenerSerial(0)
{
}

CVornNetworkSession::~CVornNetworkSession()
{
    ReleaseEngines();
    if (m_pLobby)
    {
        m_pLobby->Shutdown();
        delete m_pLobby;
    }
    for (sREASSEMBLY& record : m_aRecords)
        delete[] record.m_pBuffer;
    delete[] m_pGameMessageBuffer;
}

void CVornNetworkSession::ReleaseEngines()
{
    CSocketEngine* apEngines[2] = {m_pGameEngine, m_pLobbyEngine};
    m_pGameEngine = nullptr;
    m_pLobbyEngine = nullptr;
    for (CSocketEngine* pEngine : apEngines)
        if (pEngine)
        {
            pEngine->Shutdown();
            delete pEngine;
        }
}

KE_RETVAL CVornNetworkSession::Startup(CKestrolundApplication* pApplication, StatusObserver* pObserver)
{
    if (!pApplication)
        return 0;
    m_pApplication = pApplication;
    m_uShutDown = 0;
    for (sREASSEMBLY& record : m_aRecords)
    {
        delete[] record.m_pBuffer;
        record = sREASSEMBLY();
        record.m_pBuffer = new (std::nothrow) unsigned char[REASSEMBLY_SIZE];
        if (!record.m_pBuffer)
            return KE_ERR_OUTOFMEMORY;
        record.m_iCapacity = REASSEMBLY_SIZE;
    }
    if (!m_pGameMessageBuffer)
        return KE_ERR_OUTOFMEMORY;

    ReleaseEngines();
    m_pLobbyEngine = new (std::nothrow) CSocketEngine;
    m_pGameEngine = new (std::nothrow) CSocketEngine;
    if (!m_pLobbyEngine || !m_pGameEngine)
    {
        ReleaseEngines();
        return KE_ERR_OUTOFMEMORY;
    }
    if (m_pLobbyEngine->Startup(pApplication, this) != 1 ||
        m_pGameEngine->Startup(pApplication, &m_GameSocketObserver) != 1)
    {
        ReleaseEngines();
        return KE_ERR_NOTSTARTED;
    }

    m_iRelease = 0;
    m_llGameSessionId = 0;
    m_iGameStartFlag = 0;
    UpdateHttpQuery();
    m_uStatus = 0;
    AddStatusObserver(pObserver);
    m_iInQueue = 0;
    m_pLoginObserver = nullptr;

    delete m_pLobby;
    m_pLobby = new (std::nothrow) CVornLobby;
    if (!m_pLobby)
    {
        ReleaseEngines();
        return KE_ERR_OUTOFMEMORY;
    }
    IVornGameState* pGame = pApplication->GetGameState();
    const KE_RETVAL iResult =
        m_pLobby->Startup(pGame ? pGame->GetMinPlayerCount() : 0, pGame ? pGame->GetMaxPlayerCount() : 0);
    if (iResult != KE_OK)
    {
        ReleaseEngines();
        delete m_pLobby;
        m_pLobby = nullptr;
    }
    return iResult;
}

void CVornNetworkSession::Shutdown()
{
    if (m_pLobby)
        m_pLobby->Shutdown();
    Disconnect();
    m_uShutDown = 1;
    if (m_uDelivering)
    {
        // An engine's Update and this session's parsing are still on the stack: the
        // engines stop and leave the frame now, the objects go with the destructor.
        if (m_pGameEngine)
            m_pGameEngine->Shutdown();
        if (m_pLobbyEngine)
            m_pLobbyEngine->Shutdown();
    }
    else
    {
        delete m_pLobby;
        m_pLobby = nullptr;
        ReleaseEngines();
        for (sREASSEMBLY& record : m_aRecords)
        {
            delete[] record.m_pBuffer;
            record = sREASSEMBLY();
        }
    }
    m_uStatus = 0;
    m_StatusObservers.SetSize(0);
    m_LobbyObservers.SetSize(0);
    m_GameObservers.SetSize(0);
    m_AdvertisementObservers.SetSize(0);
    m_pLoginObserver = nullptr;
    m_pApplication = nullptr;
}

// ---- connections

int CVornNetworkSession::Connect(const CKorvelString& strHost, unsigned short uPort, LoginObserver* pObserver)
{
    if (!m_pLobbyEngine || m_uShutDown || !m_pApplication)
        return 0;
    if (m_pLobbyEngine->IsConnected(0))
        Disconnect();
    m_pLobbyEngine->Shutdown();
    m_pLobbyEngine->Startup(m_pApplication, this);
    CloseChannel(CHANNEL_LOBBY);
    m_fLobbySilence = 0.0f;
    std::vector<char> acHost(size_t(strHost.MakeUTF8(nullptr)) + 1, '\0');
    strHost.MakeUTF8(acHost.data());
    m_strLobbyAddress = std::string(acHost.data()) + ":" + std::to_string(uPort);
    SetLobbyStatus(LOBBY_CONNECTING);
    m_pLoginObserver = pObserver;
    return m_pLobbyEngine->Connect(strHost, uPort, m_pApplication->GetNetConnection());
}

void CVornNetworkSession::Disconnect()
{
    DisconnectGame();
    DisconnectLobby();
}

void CVornNetworkSession::DisconnectGame()
{
    if (m_pGameEngine && m_pGameEngine->IsConnected(0))
        m_pGameEngine->Disconnect(0, 0);
    CloseChannel(CHANNEL_GAME);
    SetGameStatus(0);
}

void CVornNetworkSession::DisconnectLobby()
{
    if (!m_pLobbyEngine || !m_pLobbyEngine->IsConnected(0))
        return;
    m_pLobbyEngine->Disconnect(0, 0);
    CloseChannel(CHANNEL_LOBBY);
    if (m_uDisconnectSleepMs)
        IKorvelThread::Sleep(m_uDisconnectSleepMs);
    SetLobbyStatus(LOBBY_DISCONNECTED);
}

void CVornNetworkSession::CloseChannel(int iChannel)
{
    ++m_auGeneration[iChannel];
    ClearRecord(iChannel);
}

// ---- status

void CVornNetworkSession::SetStatus(unsigned int uStatus)
{
    const unsigned int uOld = m_uStatus;
    if (uStatus == uOld)
        return;
    m_uStatus = uStatus;
    if ((uOld ^ uStatus) & 0xFF)
        Notify(m_StatusObservers, [&](StatusObserver* p) { p->OnLobbyStatusChanged(this, uStatus & 0xFF); });
    if ((uOld ^ uStatus) & 0xFF00)
        Notify(m_StatusObservers, [&](StatusObserver* p) { p->OnGameStatusChanged(this, uStatus & 0xFF00); });
}

void CVornNetworkSession::SetLobbyStatus(unsigned int uLobby)
{
    SetStatus((m_uStatus & ~0xFFu) | (uLobby & 0xFF));
}

void CVornNetworkSession::SetGameStatus(unsigned int uGame)
{
    SetStatus((m_uStatus & ~0xFF00u) | (uGame & 0xFF00));
}

// ---- observers

void CVornNetworkSession::AddStatusObserver(StatusObserver* pObserver)
{
    if (pObserver)
        m_StatusObservers.Add(pObserver);
}

void CVornNetworkSession::RemoveStatusObserver(StatusObserver* pObserver)
{
    m_StatusObservers.Remove(pObserver);
}

void CVornNetworkSession::AddLobbyObserver(LobbyObserver* pObserver)
{
    if (pObserver)
        m_LobbyObservers.Add(pObserver);
}

void CVornNetworkSession::RemoveLobbyObserver(LobbyObserver* pObserver)
{
    m_LobbyObservers.Remove(pObserver);
}

void CVornNetworkSession::AddGameObserver(GameObserver* pObserver)
{
    if (pObserver)
        m_GameObservers.Add(pObserver);
}

void CVornNetworkSession::RemoveGameObserver(GameObserver* pObserver)
{
    m_GameObservers.Remove(pObserver);
}

void CVornNetworkSession::AddAdvertisementObserver(AdvertisementObserver* pObserver)
{
    if (pObserver)
        m_AdvertisementObservers.Add(pObserver);
}

void CVornNetworkSession::RemoveAdvertisementObserver(AdvertisementObserver* pObserver)
{
    m_AdvertisementObservers.Remove(pObserver);
}

// ---- getters

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
    return m_iOwnUserId;
}

int CVornNetworkSession::GetRelease()
{
    return m_iRelease;
}

const CKorvelString& CVornNetworkSession::GetHttpQuery()
{
    return m_strHttpQuery;
}

const CKorvelString& CVornNetworkSession::GetLoginToken()
{
    return m_strLoginToken;
}

unsigned int CVornNetworkSession::IsDelivering()
{
    return m_uDelivering ? 1 : 0;
}

unsigned int CVornNetworkSession::GetLobbyPort()
{
    return m_pLobbyEngine && m_pLobbyEngine->IsConnected(0) ? m_pLobbyEngine->GetPort() : 0;
}

const CKorvelString& CVornNetworkSession::Text(int iNumber) const
{
    static const CKorvelString s_strNone;
    CVornLanguage* pLanguage = m_pApplication ? m_pApplication->GetLanguage() : nullptr;
    return pLanguage ? pLanguage->GetText(iNumber) : s_strNone;
}

void CVornNetworkSession::UpdateHttpQuery()
{
    if (!m_pApplication)
        return;
    const CKorvelString strReseller = m_pApplication->GetResellerId();
    if (m_iRelease)
        m_strHttpQuery.Format(L"&game=%d&release=%d&rid=%s", m_pApplication->GetAppId(), m_iRelease,
                              strReseller.GetBuffer());
    else
        m_strHttpQuery.Format(L"&game=%d&rid=%s", m_pApplication->GetAppId(), strReseller.GetBuffer());
}

const CKorvelString& CVornNetworkSession::GetLoginCheck()
{
    static CKorvelString s_strCheck;
    s_strCheck.Reset();
    if (!m_pApplication)
        return s_strCheck;
    IVornGameState* pGame = m_pApplication->GetGameState();
    const CKorvelString strSecret = pGame ? pGame->GetAppSecret() : CKorvelString();
    CVornDevice* pDevice = m_pApplication->GetDevice();
    const CKorvelString strDevice = pDevice ? pDevice->GetDeviceInfo().m_strIMEI : CKorvelString();
    s_strCheck.Format(L"%d%s%s%s%d", m_iOwnUserId, strSecret.GetBuffer(), m_strLoginToken.GetBuffer(),
                      strDevice.GetBuffer(), m_iRelease);
    GenerateMD5(s_strCheck);
    return s_strCheck;
}

// ---- static helpers

CKorvelString CVornNetworkSession::GeneratePasswordHash(const CKorvelString& strPassword,
                                                        const CKorvelString& strKey)
{
    CKorvelString strText(strPassword);
    strText.Add(strKey);
    GenerateMD5(strText);
    return strText;
}

CKorvelString CVornNetworkSession::GenerateRandomPassword(int iMin, int iMax, unsigned int uSeed)
{
    static const char s_aAlphabet[] = "AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz0123456789-_";
    CKorvelString strResult;
    std::srand(static_cast<unsigned int>(std::time(nullptr)) + uSeed);
    const int iSpan = iMax - iMin + 1;
    const int iLength = iMin + (iSpan > 0 ? std::rand() % iSpan : 0);
    if (iLength <= 0)
        return strResult;
    char* pText = new (std::nothrow) char[iLength + 1];
    if (!pText)
        return strResult;
    for (int i = 0; i < iLength; ++i)
        pText[i] = s_aAlphabet[std::rand() % 64];
    pText[iLength] = 0;
    strResult.Set(pText);
    delete[] pText;
    return strResult;
}

// ---- timers

void CVornNetworkSession::Update(float fSeconds)
{
    if (m_uShutDown || !m_pApplication)
        return;
    CDeliveryScope scope(*this);

    m_fLobbySilence += fSeconds;
    if (m_fLobbySilence > LOBBY_SILENCE_SECONDS)
    {
        m_fLobbySilence = 0.0f;
        Disconnect();
    }

    // Screens whose files could not be opened have no buttons: the session ends as a lost
    // one, so the player is told and the server ends a match or pairing for the opponent.
    if (CKorvelFile::TakeDescriptorShortage() && (m_uStatus & 0xFF) != LOBBY_DISCONNECTED)
    {
        m_uFileOpenFailed = 1;
        Disconnect();
        if (m_uShutDown)
            return;
    }

    if (m_fLoginTimer >= 0.0f)
    {
        if (!m_pLoginObserver)
            m_fLoginTimer = -1.0f;
        else if ((m_fLoginTimer += fSeconds) >= LOGIN_TIMEOUT_SECONDS)
        {
            // The observer goes first: a LoginACK after the error must not log in.
            m_fLoginTimer = -1.0f;
            LoginObserver* pObserver = TakeLoginObserver();
            pObserver->OnLoginError(this, Text(12));
            if (m_uShutDown)
                return;
        }
    }

    if (m_fImageTimer >= 0.0f)
    {
        if (!m_pfnImageCallback)
            m_fImageTimer = -1.0f;
        else if ((m_fImageTimer += fSeconds) >= IMAGE_TIMEOUT_SECONDS)
        {
            m_fImageTimer = -1.0f;
            PlayerImageCallback pfnCallback = m_pfnImageCallback;
            void* pUserData = m_pImageUserData;
            const CKorvelString strName(m_strImageName);
            m_pfnImageCallback = nullptr;
            m_iImagePending = 0;
            pfnCallback(nullptr, strName, pUserData);
            if (m_uShutDown)
                return;
        }
    }

    if (m_pLobbyEngine && m_pLobbyEngine->LastMessageTimerExpired())
        SendAlive();
    if (!m_uShutDown && m_pGameEngine && m_pGameEngine->LastMessageTimerExpired())
        SendAlive();
}

CVornNetworkSession::LoginObserver* CVornNetworkSession::TakeLoginObserver()
{
    LoginObserver* pObserver = m_pLoginObserver;
    m_pLoginObserver = nullptr;
    m_iLoginResult = 0;
    return pObserver;
}
