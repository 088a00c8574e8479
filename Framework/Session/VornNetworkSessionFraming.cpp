// The network session's side of both socket engines: their events, and cutting each
// connection's byte stream into whole messages for the dispatchers.
#include "Framework/Session/VornNetworkSession.h"

#include <cstdio>
#include <cstring>

#include "Framework/Shell/KestrolundApplication.h"

namespace
{
// A connection ended by its own full send queue says so: the player only sees it lost.
void LogSendQueueFull(const char* pConnection, int iDetail)
{
    if (iDetail == KE_SOCKETDETAIL_SENDQUEUE)
        std::fprintf(stderr,
                     "session: the %s connection ended: more messages waited to be sent than it holds\n",
                     pConnection);
}
} // namespace

// ---- engine events

void CVornNetworkSession::GameSocketObserver::SocketEngineNotify(KE_SOCKETCODES code, int detail)
{
    m_pSession->GameSocketEngineNotify(code, detail);
}

void CVornNetworkSession::GameSocketObserver::SocketEngineDataReceived(unsigned char const* data, int size)
{
    m_pSession->GameSocketEngineDataReceived(data, size);
}

void CVornNetworkSession::SocketEngineNotify(KE_SOCKETCODES code, int detail)
{
    if (m_uShutDown || !m_pApplication)
        return;
    LogSendQueueFull("lobby", detail);
    CDeliveryScope scope(*this);
    switch (code)
    {
    case KE_SOCKET_CONNECTED:
        SendConnection();
        SetLobbyStatus(LOBBY_SOCKET_UP);
        break;
    case KE_SOCKET_CANNOTCONNECT:
    {
        Disconnect();
        SetLobbyStatus(LOBBY_DISCONNECTED);
        // No answer can come on a connection that never stood.
        LoginObserver* pObserver = TakeLoginObserver();
        if (pObserver && !m_uShutDown)
            pObserver->OnLoginError(this, Text(3));
        break;
    }
    default:
        Disconnect();
        SetLobbyStatus(LOBBY_DISCONNECTED);
        break;
    }
}

void CVornNetworkSession::GameSocketEngineNotify(KE_SOCKETCODES code, int detail)
{
    if (m_uShutDown || !m_pApplication)
        return;
    LogSendQueueFull("game", detail);
    CDeliveryScope scope(*this);
    const unsigned int uConnecting = m_uGameConnecting;
    m_uGameConnecting = 0;
    if (code == KE_SOCKET_CONNECTED)
    {
        SendGetShopItemGroups(SHOP_IN_GAME_CONNECTED | SHOP_LIST_MY_ITEMS);
        SetGameStatus(GAME_SOCKET_UP);
    }
    else
    {
        // Every failure ends the game connection: an engine whose threads are gone
        // must not count as connected, or no later match could start.
        DisconnectGame();
        // A match whose connection never stood cannot be played: the session ends as a
        // lost one, which also tells the server, and so the opponent, that the match is over.
        if (uConnecting)
        {
            m_uGameConnectFailed = 1;
            Disconnect();
        }
    }
}

void CVornNetworkSession::SocketEngineDataReceived(unsigned char const* data, int size)
{
    if (m_uShutDown || !m_pApplication)
        return;
    CDeliveryScope scope(*this);
    ParseMessage(CHANNEL_LOBBY, data, size, &CVornNetworkSession::HandleMessage);
}

void CVornNetworkSession::GameSocketEngineDataReceived(unsigned char const* data, int size)
{
    if (m_uShutDown || !m_pApplication)
        return;
    CDeliveryScope scope(*this);
    ParseMessage(CHANNEL_GAME, data, size, &CVornNetworkSession::HandleGameMessage);
}

// ---- framing

void CVornNetworkSession::ClearRecord(int iChannel)
{
    m_aRecords[iChannel].m_iHeld = 0;
    m_aRecords[iChannel].m_iPartial = 0;
}

void CVornNetworkSession::DropChannel(int iChannel)
{
    if (iChannel == CHANNEL_LOBBY)
    {
        // A login waiting for its answer hears at once that none will come, before the
        // status observers hear of the closed connection (and would try again).
        if (LoginObserver* pObserver = TakeLoginObserver())
        {
            pObserver->OnLoginError(this, Text(TEXT_CONNECTION_LOST));
            if (m_uShutDown)
                return;
        }
        Disconnect();
        SetLobbyStatus(LOBBY_DISCONNECTED);
    }
    else
        DisconnectGame();
    CloseChannel(iChannel);
}

bool CVornNetworkSession::Deliver(int iChannel, MessageHandler pfnHandler, const unsigned char* pData,
                                  int iSize)
{
    const unsigned int uGeneration = m_auGeneration[iChannel];
    (this->*pfnHandler)(pData, iSize);
    return !m_uShutDown && uGeneration == m_auGeneration[iChannel];
}

namespace
{
// Resizes the record's buffer keeping what it holds; false without memory.
bool Resize(unsigned char*& pBuffer, int& iCapacity, int iHeld, int iNewCapacity)
{
    unsigned char* pNew = new (std::nothrow) unsigned char[iNewCapacity];
    if (!pNew)
        return false;
    if (iHeld > 0)
        std::memcpy(pNew, pBuffer, static_cast<size_t>(iHeld));
    delete[] pBuffer;
    pBuffer = pNew;
    iCapacity = iNewCapacity;
    return true;
}
} // namespace

void CVornNetworkSession::ParseMessage(int iChannel, const unsigned char* pData, int iSize,
                                       MessageHandler pfnHandler)
{
    sREASSEMBLY& record = m_aRecords[iChannel];
    if (!record.m_pBuffer || !pData || iSize <= 0)
        return;
    int iPos = 0;
    while (iPos < iSize)
    {
        const int iLeft = iSize - iPos;
        if (!record.m_iPartial)
        {
            const int iLength = CASN1::GetMessageLength(pData + iPos, iLeft);
            if (iLength == CASN1::eMSGLEN_MALFORMED || iLength > MAX_MESSAGE_SIZE)
            {
                DropChannel(iChannel);
                return;
            }
            if (iLength == CASN1::eMSGLEN_NEEDMORE || iLength > iLeft)
            {
                // Keep the start of the message, header bytes included.
                if (iLeft > record.m_iCapacity && !Resize(record.m_pBuffer, record.m_iCapacity, 0, iLeft))
                {
                    DropChannel(iChannel);
                    return;
                }
                std::memcpy(record.m_pBuffer, pData + iPos, static_cast<size_t>(iLeft));
                record.m_iHeld = iLeft;
                record.m_iPartial = 1;
                return;
            }
            if (!Deliver(iChannel, pfnHandler, pData + iPos, iLength))
                return;
            iPos += iLength;
            continue;
        }

        // The header may still be incomplete: complete it a byte at a time.
        int iTotal = CASN1::GetMessageLength(record.m_pBuffer, record.m_iHeld);
        while (iTotal == CASN1::eMSGLEN_NEEDMORE && iPos < iSize && record.m_iHeld < record.m_iCapacity)
        {
            record.m_pBuffer[record.m_iHeld++] = pData[iPos++];
            iTotal = CASN1::GetMessageLength(record.m_pBuffer, record.m_iHeld);
        }
        if (iTotal == CASN1::eMSGLEN_NEEDMORE)
            return;
        if (iTotal < 0 || iTotal > MAX_MESSAGE_SIZE)
        {
            DropChannel(iChannel);
            return;
        }
        if (iTotal > record.m_iCapacity)
        {
            if (!Resize(record.m_pBuffer, record.m_iCapacity, record.m_iHeld, iTotal))
            {
                DropChannel(iChannel);
                return;
            }
        }
        else if (iTotal < REASSEMBLY_SIZE && record.m_iCapacity > REASSEMBLY_SIZE &&
                 !Resize(record.m_pBuffer, record.m_iCapacity, record.m_iHeld, REASSEMBLY_SIZE))
        {
            DropChannel(iChannel);
            return;
        }
        const int iTake = iTotal - record.m_iHeld < iSize - iPos ? iTotal - record.m_iHeld : iSize - iPos;
        if (iTake > 0)
        {
            std::memcpy(record.m_pBuffer + record.m_iHeld, pData + iPos, static_cast<size_t>(iTake));
            record.m_iHeld += iTake;
            iPos += iTake;
        }
        if (record.m_iHeld < iTotal)
            return;
        if (!Deliver(iChannel, pfnHandler, record.m_pBuffer, iTotal))
            return;
        ClearRecord(iChannel);
    }
}
