// What the network session sends: connection and login, keep-alive, content and shop
// requests, the queue, and the match's messages. Every sender builds one message and
// hands it to its engine; a guard that fails sends nothing and keeps nothing pending.
#include "Framework/Session/VornNetworkSession.h"

#include <climits>
#include <cstdio>

#include "Framework/Session/VornLobby.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/UI/Theme.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

namespace
{
// The framework version the client names in its identification and its GameReady.
const char* const FRAMEWORK_VERSION = "2.05";
} // namespace

void CVornNetworkSession::LogNotSent(const char* pWhat)
{
    std::fprintf(stderr, "session: %s not sent\n", pWhat);
}

unsigned int CVornNetworkSession::IsLobbyUp()
{
    return m_pLobbyEngine && m_pLobbyEngine->IsConnected(1) ? 1 : 0;
}

unsigned int CVornNetworkSession::IsGameUp()
{
    return m_pGameEngine && m_pGameEngine->IsConnected(0) ? 1 : 0;
}

// ---- connection and login

void CVornNetworkSession::SendConnection()
{
    if (!m_pLobbyEngine || !m_pApplication)
        return;
    CVornDevice::sDEVICEINFO info;
    if (CVornDevice* pDevice = m_pApplication->GetDevice())
        info = pDevice->GetDeviceInfo();
    CKorvelString strLanguage;
    CVornLanguage* pLanguage = m_pApplication->GetLanguage();
    if (pLanguage && pLanguage->GetCurrentLanguage())
        strLanguage = pLanguage->GetCurrentLanguage()->m_strCode;
    const CKorvelString strVersion = m_pApplication->GetAppVersion();
    CKorvelString strIdentification;
    strIdentification.Format(
        L"standalone-id:%d;full-version:%d;standalone-version:%s;opengl:%d;user-agent:%s;"
        L"frame-version:%s;lang_code:%s",
        m_pApplication->GetAppId(), 1, strVersion.GetBuffer(), 1, info.m_strUserAgent.GetBuffer(),
        CKorvelString(FRAMEWORK_VERSION).GetBuffer(), strLanguage.GetBuffer());
    IKorvelGraphicsContext* pBack = m_pApplication->GetBack();
    const int iWidth = pBack ? pBack->GetWidth() : 0;
    const int iHeight = pBack ? pBack->GetHeight() : 0;
    const CKorvelString strReseller = m_pApplication->GetResellerId();
    const CKorvelString strAddress("0.0.0.0");
    SendWritten(m_pLobbyEngine, "Connection",
                [&](unsigned char* pBuf, int iSize)
                {
                    return CASN1::CreateConnection(pBuf, 1, iWidth, iHeight, info.m_strModel,
                                                   info.m_strOSVersion, 1, 1, strAddress, strAddress, 25,
                                                   strIdentification, strReseller, info.m_strIMEI, 1,
                                                   info.m_strOSName, 0, 13, iSize);
                });
}

unsigned int CVornNetworkSession::RequestCredentials(const CKorvelString& strUserName,
                                                     LoginObserver* pObserver)
{
    if (!m_pLobbyEngine || (m_pLoginObserver && m_pLoginObserver != pObserver))
        return 0;
    m_pLoginObserver = pObserver;
    SendWritten(m_pLobbyEngine, "GetRandomKey",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateGetRandomKey(pBuf, strUserName, iSize); });
    return 1;
}

unsigned int CVornNetworkSession::Login(const CKorvelString& strUserName, const CKorvelString& strHash,
                                        LoginObserver* pObserver)
{
    if (!(m_uStatus & 0xFF) || !m_pLobbyEngine)
        return 0;
    m_pLoginObserver = pObserver;
    SetLobbyStatus(LOBBY_LOGIN_SENT);
    m_fLoginTimer = 0.0f;
    const CKorvelString strEmpty;
    SendWritten(m_pLobbyEngine, "Login",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateLogin(pBuf, strUserName, strHash, 1, strEmpty, iSize); });
    return 1;
}

unsigned int CVornNetworkSession::LoginExternal(int iLoginType, const CKorvelString& strId,
                                                const CKorvelString& strToken, const CKorvelString& strText,
                                                const CKorvelString& strEmail, LoginObserver* pObserver)
{
    if (!(m_uStatus & 0xFF) || !m_pLobbyEngine)
        return 0;
    m_pLoginObserver = pObserver;
    SetLobbyStatus(LOBBY_LOGIN_SENT);
    m_fLoginTimer = 0.0f;
    CASN1ExternalLogin message(iLoginType, strId, strToken, strText, strEmail);
    if (message.Send(*m_pLobbyEngine) != KE_OK)
        LogNotSent("ExternalLogin");
    return 1;
}

void CVornNetworkSession::SendRegisterUser(const CKorvelString& a, const CKorvelString& b,
                                           const CKorvelString& c, const CKorvelString& d,
                                           const CKorvelString& e, int f)
{
    SendWritten(m_pLobbyEngine, "RegisterUser",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateRegisterUser(pBuf, a, b, c, d, e, f, iSize); });
}

void CVornNetworkSession::SendRegisterEmail(const CKorvelString& strText1, const CKorvelString& strText2,
                                            LoginObserver* pObserver)
{
    if (!m_pLobbyEngine)
        return;
    m_pLoginObserver = pObserver;
    SendWritten(m_pLobbyEngine, "RegisterEmail",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateRegisterEmail(pBuf, strText1, strText2, iSize); });
}

unsigned int CVornNetworkSession::SendBindAccount(int a, const CKorvelString& t1, const CKorvelString& t2,
                                                  const CKorvelString& t3, const CKorvelString& t4, int b,
                                                  LoginObserver* pObserver)
{
    if (!(m_uStatus & 0xFF) || !m_pLobbyEngine)
        return 0;
    m_pLoginObserver = pObserver;
    SendWritten(m_pLobbyEngine, "BindAccount",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateBindAccount(pBuf, a, t1, t2, t3, t4, b, iSize); });
    return 1;
}

void CVornNetworkSession::SendConfirmUserName(const CKorvelString& strUserName, LoginObserver* pObserver)
{
    if ((m_pLoginObserver && m_pLoginObserver != pObserver) || !IsLobbyUp())
        return;
    m_pLoginObserver = pObserver;
    CASN1ConfirmUserName message(strUserName);
    if (message.Send(*m_pLobbyEngine) != KE_OK)
        LogNotSent("ConfirmUserName");
}

void CVornNetworkSession::SendConfirmEmail(const CKorvelString& strName, const CKorvelString& strEmail,
                                           const CKorvelString& strHash, int iLoginType,
                                           const CKorvelString& strToken, const CKorvelString& strExternalId,
                                           LoginObserver* pObserver)
{
    if ((m_pLoginObserver && m_pLoginObserver != pObserver) || !IsLobbyUp())
        return;
    m_pLoginObserver = pObserver;
    CASN1ConfirmEmail message(strName, strEmail, strHash, iLoginType, strToken, strExternalId);
    if (message.Send(*m_pLobbyEngine) != KE_OK)
        LogNotSent("ConfirmEmail");
}

void CVornNetworkSession::Logout()
{
    if (!m_pLobbyEngine || !m_pLobbyEngine->IsConnected(0) || (m_uStatus & 0xFF) <= LOBBY_ACCEPTED)
        return;
    SendWritten(m_pLobbyEngine, "Logout",
                [](unsigned char* pBuf, int) { return pBuf ? CASN1::CreateLogout(pBuf) : 3; });
}

// ---- keep-alive and content

void CVornNetworkSession::SendAlive()
{
    unsigned char aAlive[8];
    const int iSize = CASN1::CreateAlive(aAlive, -1, static_cast<int>(sizeof(aAlive)));
    if (iSize <= 0)
        return;
    if (IsLobbyUp())
        m_pLobbyEngine->Send(aAlive, iSize);
    if (!m_uShutDown && IsGameUp())
        m_pGameEngine->Send(aAlive, iSize);
}

void CVornNetworkSession::SendGetAvailableLanguages()
{
    if (!IsLobbyUp())
        return;
    CASN1_Message message(eMSG_GET_AVAILABLE_LANGUAGES);
    if (message.Send(*m_pLobbyEngine) != KE_OK)
        LogNotSent("GetAvailableLanguages");
}

void CVornNetworkSession::SendGetThemePack()
{
    if (!IsLobbyUp())
        return;
    // The current theme's digest; the empty text asks as a client without a theme pack.
    CVornTheme* pTheme = m_pApplication ? m_pApplication->GetTheme() : nullptr;
    CKorvelString strDigest = pTheme ? pTheme->GetMD5() : CKorvelString();
    CASN1GetThemePack message(strDigest);
    if (message.Send(*m_pLobbyEngine) != KE_OK)
        LogNotSent("GetThemePack");
}

void CVornNetworkSession::SendGetKeyValue(const CKorvelString& strKey, KeyValueCallback pfnCallback,
                                          void* pUserData)
{
    if (!IsLobbyUp())
        return;
    CASN1GetKeyValue message(strKey);
    if (message.Send(*m_pLobbyEngine) != KE_OK)
    {
        LogNotSent("GetKeyValue");
        return;
    }
    if (pfnCallback && pUserData)
    {
        KeyValueCallbackEntry entry;
        entry.m_pfnCallback = pfnCallback;
        entry.m_pUserData = pUserData;
        m_KeyValueCallbacks.Add(strKey, entry);
    }
}

void CVornNetworkSession::SendChangeLanguage(const CKorvelString& strCode)
{
    if (!IsLobbyUp())
        return;
    CASN1ChangeLanguageMessage message(strCode);
    if (message.Send(*m_pLobbyEngine) != KE_OK)
        LogNotSent("ChangeLanguage");
}

// ---- queue and shop

void CVornNetworkSession::RegisterInGameQueue(int iType, int iMaxPlayers)
{
    if (!m_pLobbyEngine || !m_pApplication)
        return;
    if (m_iInQueue)
        UnregisterFromGameQueue();
    const int iAppId = m_pApplication->GetAppId();
    SendWritten(m_pLobbyEngine, "QueueRegisterIn",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateQueueRegisterIn(pBuf, iAppId, iType, iMaxPlayers, iSize); });
    m_iInQueue = 1;
}

void CVornNetworkSession::UnregisterFromGameQueue()
{
    if (!m_pLobbyEngine || !m_iInQueue || !m_pApplication)
        return;
    const int iAppId = m_pApplication->GetAppId();
    SendWritten(m_pLobbyEngine, "QueueUnregisterFrom",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateQueueUnregisterFrom(pBuf, iAppId, iSize); });
    m_iInQueue = 0;
}

void CVornNetworkSession::SendGetShopItemGroups(int iFlags)
{
    if (!IsLobbyUp())
        return;
    eMESSAGE_ID eId = eMSG_GET_SHOP_ITEM_GROUPS;
    CASN1ShortIntMessage message(eId, iFlags);
    SendDescriptor(m_pLobbyEngine, "GetShopItemGroups", message);
}

void CVornNetworkSession::SendGetShopItems(int iFlags, int iCount, int iStart)
{
    if (!IsLobbyUp())
        return;
    eMESSAGE_ID eId = eMSG_GET_SHOP_ITEMS;
    CASN1ShortInt3Message message(eId, iFlags, iCount, iStart);
    SendDescriptor(m_pLobbyEngine, "GetShopItems", message);
}

void CVornNetworkSession::SendGetAvailableShopItemDatas()
{
    if (!IsLobbyUp())
        return;
    eMESSAGE_ID eId = eMSG_GET_AVAILABLE_SHOP_ITEM_DATAS;
    CASN1ShortMessage message(eId);
    SendDescriptor(m_pLobbyEngine, "GetAvailableShopItemDatas", message);
}

// ---- the match

void CVornNetworkSession::SendGameReady()
{
    if (!m_pGameEngine || !m_pApplication)
        return;
    int iOne = 1;
    long long llSession = m_llGameSessionId;
    int iPlayers = m_pLobby ? m_pLobby->GetPlayerCount() : 0;
    int iStart = m_iGameStartFlag ? 1 : 0;
    int iUserId = m_iOwnUserId;
    int iAppId = m_pApplication->GetAppId();
    CASN1GameReady message(iOne, llSession, iPlayers, iStart, iUserId, iAppId,
                           CKorvelString(FRAMEWORK_VERSION));
    if (message.Send(*m_pGameEngine) != KE_OK)
        LogNotSent("GameReady");
}

void CVornNetworkSession::SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int,
                                      unsigned int)
{
    if (!IsGameUp())
        return;
    // CreateGameMessage refuses a payload the other side could not take.
    const int iCount = uSize > static_cast<unsigned int>(INT_MAX) ? -1 : static_cast<int>(uSize);
    SendWritten(m_pGameEngine, "GameMessage",
                [&](unsigned char* pBuf, int iSize)
                { return iCount < 0 ? 0 : CASN1::CreateGameMessage(pBuf, pData, iCount, iSize); });
}

void CVornNetworkSession::SendRematch(unsigned int uAccept)
{
    if (!IsGameUp())
        return;
    long long llSession = m_llGameSessionId;
    int iWish = uAccept ? 1 : 0;
    int iOne = 1;
    CASN1RematchMessage message(llSession, iWish, iOne);
    SendDescriptor(m_pGameEngine, "Rematch", message);
    if (!iWish)
    {
        DisconnectGame();
        if (m_pLobby)
            m_pLobby->Clear();
    }
}

void CVornNetworkSession::SendGameEnd(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                                      unsigned int uLeaving)
{
    if (!IsGameUp() || !m_pApplication)
        return;
    IVornGameState* pGame = m_pApplication->GetGameState();
    const int iAppId = pGame ? pGame->GetAppId() : m_pApplication->GetAppId();
    CKorvelPtrArray aRecords;
    for (int i = 0; i < aPlayers.GetCount(); ++i)
    {
        sPLAYER* pPlayer = new (std::nothrow) sPLAYER;
        if (pPlayer)
            pPlayer->m_iUserId = aPlayers[i];
        if (!pPlayer || aRecords.Add(pPlayer) < 0)
        {
            delete pPlayer;
            FreePlayers(aRecords);
            LogNotSent("GameEnd");
            return;
        }
    }
    const long long llSession = m_llGameSessionId;
    SendWritten(
        m_pGameEngine, "GameEnd",
        [&](unsigned char* pBuf, int iSize)
        { return CASN1::CreateGameEnd(pBuf, llSession, iAppId, 0, &aRecords, aResults, uLeaving, iSize); });
    FreePlayers(aRecords);
}

void CVornNetworkSession::SendChatMsg(const sCHATMSG* pMessage)
{
    if (!pMessage || !m_pGameEngine || !m_pGameEngine->IsConnected(1) || !m_pApplication)
        return;
    sCHATMSG chat = *pMessage;
    CASN1ChatMessage message(chat);
    if (message.Send(*m_pGameEngine) != KE_OK)
    {
        LogNotSent("ChatMessage");
        return;
    }
    m_pApplication->OnChatMessage(&chat, 0);
}
