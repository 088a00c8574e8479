// What the network session does with each whole message: the lobby dispatcher, the
// game dispatcher, the connect and login answers, the queue and the match start.
#include "Framework/Session/VornNetworkSession.h"

#include <cstdio>

#include "Framework/Session/VornLobby.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/Shell/KestrolundApplication.h"

// ---- dispatchers

void CVornNetworkSession::HandleMessage(const unsigned char* pData, int iSize)
{
    if (iSize < 1)
        return;
    m_fLobbySilence = 0.0f;
    switch (CASN1::GetMessageID(pData, iSize))
    {
    case eMSG_CONNECT_ACK:
        HandleConnectACK(pData, iSize);
        break;
    case eMSG_LOGIN_ACK:
        HandleLoginACK(pData, iSize);
        break;
    case eMSG_QUEUE_UPDATE:
        HandleQueueUpdate(pData, iSize);
        break;
    case eMSG_GAME_START:
        if (!m_pGameEngine || !m_pGameEngine->IsConnected(0))
            HandleGameStartMessage(pData, iSize, true);
        break;
    case eMSG_KEY_VALUE:
        HandleKeyValue(pData, iSize);
        break;
    case eMSG_ALIVE:
        HandleAlive(m_pLobbyEngine, pData, iSize);
        break;
    case eMSG_RANDOM_KEY:
        HandleRandomKey(pData, iSize);
        break;
    case eMSG_CHAT_MESSAGE:
        HandleChatMessage(pData, iSize);
        break;
    case eMSG_REMATCH_RECEIVED:
    {
        eMESSAGE_ID eId = eMSG_REMATCH_RECEIVED;
        int iValue = 0;
        CASN1ShortIntMessage message(eId, iValue);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnRematchReceived(iValue); });
        break;
    }
    case eMSG_AVAILABLE_ITEM_DATAS:
    case eMSG_SHOP_ITEM_GROUPS:
    case eMSG_SHOP_ITEMS:
        HandleShopAnswer(CASN1::GetMessageID(pData, iSize), pData, iSize);
        break;
    case eMSG_CONFIRM_USER_NAME_ACK:
        HandleConfirmAnswer(pData, iSize, false);
        break;
    case eMSG_CONFIRM_EMAIL_ACK:
        HandleConfirmAnswer(pData, iSize, true);
        break;
    default:
        HandleLobbyPageMessage(CASN1::GetMessageID(pData, iSize), pData, iSize);
        break;
    }
}

void CVornNetworkSession::HandleGameMessage(const unsigned char* pData, int iSize)
{
    if (iSize < 1)
        return;
    switch (CASN1::GetMessageID(pData, iSize))
    {
    case eMSG_GAME_START:
        HandleGameStartMessage(pData, iSize, false);
        break;
    case eMSG_GAME_MESSAGE:
    {
        int iCount = 0;
        if (m_pGameMessageBuffer &&
            CASN1::DecodeGameMessage(pData, m_pGameMessageBuffer, CASN1::MAX_GAME_MESSAGE_PAYLOAD, iCount,
                                     iSize) == KE_OK)
        {
            const unsigned int uCount = static_cast<unsigned int>(iCount);
            Notify(m_GameObservers,
                   [&](GameObserver* p) { p->OnGameMessage(this, m_pGameMessageBuffer, uCount); });
        }
        break;
    }
    case eMSG_ALIVE:
        HandleAlive(m_pGameEngine, pData, iSize);
        break;
    case eMSG_GAME_DISCONNECT:
    {
        long long llSession = 0;
        int iPlayer = 0;
        if (CASN1::DecodeGameDisconnect(pData, llSession, iPlayer, iSize) == KE_OK &&
            llSession == m_llGameSessionId)
            Notify(m_GameObservers, [&](GameObserver* p) { p->OnPlayerDisconnected(this, iPlayer); });
        break;
    }
    default:
        HandleMessage(pData, iSize);
        break;
    }
}

// ---- connect and login answers

void CVornNetworkSession::HandleConnectACK(const unsigned char* pData, int iSize)
{
    CKorvelString strError, strText;
    int iResult = 0, iRelease = 0;
    CASN1ConnectACK message(strError, iResult, strText, iRelease);
    if (!message.Decode(pData, iSize))
        return;
    if (iRelease > 0)
    {
        m_iRelease = iRelease;
        UpdateHttpQuery();
    }
    if (iResult >= 0)
    {
        SetLobbyStatus(LOBBY_ACCEPTED);
        return;
    }
    if (!m_pLoginObserver)
    {
        Disconnect();
        return;
    }
    if (iResult == -3)
    {
        unsigned short aHost[256];
        int iPort = 0;
        if (strText.GetLength() <= 255 && strText.Find(':', 0) >= 0 &&
            strText.ScanBounded(256, L"%s:%d", aHost, &iPort) == 2)
        {
            // The connection stays as it is; the lobby moves to the new address.
            m_pApplication->Redirect(CKorvelString(aHost), iPort);
            return;
        }
        Disconnect();
        return;
    }
    // No answer of a login can come on this connection any more.
    LoginObserver* pObserver = TakeLoginObserver();
    if (iResult == -1)
        pObserver->OnNewVersionAvailable(this, strText);
    else
        pObserver->OnLoginError(this, strError);
    if (!m_uShutDown)
        Disconnect();
}

void CVornNetworkSession::HandleLoginACK(const unsigned char* pData, int iSize)
{
    if (!m_pLoginObserver)
        return;
    m_fLoginTimer = -1.0f;
    LoginObserver* pObserver = TakeLoginObserver();
    int iUserId = -6, iValue = 0;
    CKorvelString strToken, strText2, strText3, strUserName;
    if (CASN1::DecodeLoginACK(pData, iUserId, strToken, strText2, strText3, iValue, strUserName, iSize) !=
        KE_OK)
        iUserId = iUserId < 0 ? iUserId : -6; // a broken answer is no login
    m_iLoginResult = iUserId;
    if (iUserId >= 0)
    {
        m_iOwnUserId = iUserId;
        m_strLoginToken = strToken;
        SendGetAvailableLanguages();
        SetLobbyStatus(LOBBY_LOGGED_IN);
        if (m_uShutDown)
            return;
        pObserver->OnLoggedIn(this, iUserId, strUserName, m_strLoginToken, strText2, strText3, iValue);
        if (!m_uShutDown)
            SendGetThemePack();
        return;
    }
    switch (iUserId)
    {
    case LOGIN_ACCOUNT_IN_USE:
    case -1:
        pObserver->OnLoginError(this, strToken);
        break;
    case -7:
        pObserver->OnLoginError(this, Text(32));
        break;
    case -4:
        pObserver->OnLoginError(this, Text(31));
        break;
    case -3:
    case -2:
        pObserver->OnLoginError(this, Text(18));
        break;
    default:
        pObserver->OnLoginError(this, Text(12));
        break;
    }
}

void CVornNetworkSession::HandleRandomKey(const unsigned char* pData, int iSize)
{
    if (!m_pLoginObserver)
        return;
    LoginObserver* pObserver = TakeLoginObserver();
    CKorvelString strKey, strText;
    if (CASN1::DecodeRandomKey(pData, strKey, strText, iSize) == KE_OK && strKey.GetLength() > 0)
        pObserver->OnReceiveRandomKey(this, strKey);
    else
        pObserver->OnLoginError(this, Text(18));
}

void CVornNetworkSession::HandleConfirmAnswer(const unsigned char* pData, int iSize, bool bEmail)
{
    if (!m_pLoginObserver)
        return;
    LoginObserver* pObserver = TakeLoginObserver();
    int iResult = 0;
    CKorvelString strText;
    if (bEmail)
    {
        CASN1ConfirmEmailACK message(iResult, strText);
        if (message.Decode(pData, iSize))
            pObserver->OnEmailConfirmed(this, iResult, strText);
    }
    else
    {
        CASN1ConfirmUserNameACK message(iResult, strText);
        if (message.Decode(pData, iSize))
            pObserver->OnUserNameConfirmed(this, iResult, strText);
    }
}

// ---- other lobby messages

void CVornNetworkSession::HandleKeyValue(const unsigned char* pData, int iSize)
{
    CKorvelString strKey, strValue;
    CASN1KeyValue message(strKey, strValue);
    if (!message.Decode(pData, iSize))
        return;
    const int iAt = m_KeyValueCallbacks.Find(strKey);
    if (iAt < 0)
        return;
    // A copy: the callback may register or drop entries.
    const KeyValueCallbackEntry entry = m_KeyValueCallbacks.GetAt(iAt).m_Second;
    if (entry.m_pfnCallback)
    {
        CDeliveryScope scope(*this);
        entry.m_pfnCallback(strKey, strValue, entry.m_pUserData);
    }
}

void CVornNetworkSession::HandleAlive(CSocketEngine* pEngine, const unsigned char* pData, int iSize)
{
    int iValue = -1;
    // A negative value is this client's own keep-alive coming back: never answered.
    if (pEngine && CASN1::DecodeAlive(pData, iValue, iSize) == KE_OK && iValue >= 0)
        pEngine->Send(pData, iSize);
}

void CVornNetworkSession::HandleChatMessage(const unsigned char* pData, int iSize)
{
    sCHATMSG* pChat = new (std::nothrow) sCHATMSG;
    if (!pChat)
        return;
    CASN1ChatMessage message(*pChat);
    const bool bDecoded = message.Decode(pData, iSize);
    if (bDecoded && pChat->m_strText.GetLength() > MAX_CHAT_TEXT)
    {
        if (!m_uLongChatDropped)
            std::fprintf(stderr, "session: chat texts longer than %d characters are dropped\n",
                         MAX_CHAT_TEXT);
        m_uLongChatDropped = 1;
    }
    else if (bDecoded && m_pApplication)
    {
        CDeliveryScope scope(*this);
        m_pApplication->OnChatMessage(pChat, 1);
    }
    delete pChat;
}

void CVornNetworkSession::HandleShopAnswer(int iId, const unsigned char* pData, int iSize)
{
    if (iId == eMSG_AVAILABLE_ITEM_DATAS)
    {
        CKorvelArray<CASN1AvailableItemDatas::sItemData> aItems;
        CASN1AvailableItemDatas message(aItems);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnAvailableShopItemDatas(aItems); });
    }
    else if (iId == eMSG_SHOP_ITEM_GROUPS)
    {
        int iFlags = 0;
        CKorvelArray<CASN1ShopItemGroups::sGroupData> aGroups;
        CASN1ShopItemGroups message(iFlags, aGroups);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnShopItemGroups(iFlags, aGroups); });
    }
    else
    {
        int iFlags = 0, iStart = 0;
        CKorvelArray<CASN1ShopItems::sItemData> aItems;
        CASN1ShopItems message(iFlags, iStart, aItems);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnShopItems(iFlags, iStart, aItems); });
    }
}

// ---- queue and match start

void CVornNetworkSession::FreePlayers(CKorvelPtrArray& aPlayers)
{
    for (int i = 0; i < aPlayers.GetCount(); ++i)
        delete static_cast<sPLAYER*>(aPlayers[i]);
    aPlayers.Clear();
}

void CVornNetworkSession::RebuildLobby(CKorvelPtrArray& aPlayers)
{
    if (m_pLobby)
    {
        m_pLobby->Clear();
        for (int i = 0; i < aPlayers.GetCount(); ++i)
        {
            const sPLAYER& record = *static_cast<sPLAYER*>(aPlayers[i]);
            CVornPlayer* pPlayer = m_pLobby->FindPlayerById(record.m_iUserId);
            const bool bNew = pPlayer == nullptr;
            if (bNew)
                pPlayer = new (std::nothrow) CVornPlayer;
            if (!pPlayer)
                continue;
            pPlayer->UpdateFields(record);
            pPlayer->m_iSeat = i;
            // A full lobby refuses the player: it is not kept anywhere then.
            if (bNew && !m_pLobby->AddPlayer(pPlayer))
                delete pPlayer;
        }
    }
    FreePlayers(aPlayers);
}

void CVornNetworkSession::HandleQueueUpdate(const unsigned char* pData, int iSize)
{
    CKorvelPtrArray aPlayers;
    int iQueueField = -1, iAppId = -1, iStatus = -1;
    if (CASN1::DecodeQueueUpdate(pData, &aPlayers, iQueueField, iAppId, iStatus, iSize) != KE_OK)
    {
        FreePlayers(aPlayers);
        return;
    }
    if (iStatus >= 0)
        RebuildLobby(aPlayers);
    else
        FreePlayers(aPlayers);
    Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnQueueUpdate(this, iQueueField, iAppId, iStatus); });
}

void CVornNetworkSession::HandleGameStartMessage(const unsigned char* pData, int iSize, bool bConnect)
{
    sGAME_START_INFO info;
    if (CASN1::DecodeGameStart(pData, &info, iSize) != KE_OK)
    {
        FreePlayers(info.m_aPlayers);
        return;
    }
    if (bConnect)
    {
        GameStart(info);
        return;
    }
    RebuildLobby(info.m_aPlayers);
    m_iGameStartFlag = info.m_iFlag1;
    const unsigned int uStart = static_cast<unsigned int>(m_iGameStartFlag);
    const int iUserId = m_iOwnUserId;
    Notify(m_GameObservers, [&](GameObserver* p) { p->OnGameStart(this, iUserId, uStart); });
}

void CVornNetworkSession::GameStart(sGAME_START_INFO& info)
{
    RebuildLobby(info.m_aPlayers);
    CKorvelString strHost(info.m_strServer);
    int iPort = 0;
    const int iColon = info.m_strServer.Find(':', 0);
    if (iColon >= 0)
    {
        strHost = info.m_strServer.Mid(0, iColon);
        const CKorvelString strPort = info.m_strServer.Mid(iColon + 1, -1);
        if (strPort.GetLength() == 0 || strPort.Scan(L"%d", &iPort) != 1)
            iPort = 0;
    }
    m_llGameSessionId = info.m_llSessionId;
    if (!m_pGameEngine || !m_pApplication)
        return;
    CloseChannel(CHANNEL_GAME);
    m_uGameConnecting = 1;
    if (m_pGameEngine->Connect(strHost, static_cast<unsigned int>(iPort) & 0xFFFF,
                               m_pApplication->GetNetConnection()) == 1)
    {
        m_iInQueue = 0;
        m_iGameStartFlag = info.m_iFlag1;
    }
}
