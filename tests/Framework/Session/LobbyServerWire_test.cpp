// The client's codec and socket engine against the project's own lobby and game
// server (tools/lobby_server), started as a child process on loopback ports. Only
// the client's message classes and hand-built writers and readers touch the bytes;
// the server runs in strict mode and its log must hold no violation at the end.
//
// Sections: client connection - login helpers - tests.
#include "Framework/Session/asn1_hile.h"
#include "Framework/Shell/GenerateMD5.h"
#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "SocketEngine/SocketEngine.h"
#include "support/LobbyServerProcess.h"
#include "support/TestTempDir.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
typedef std::vector<unsigned char> Bytes;

const int APP_ID = 64;

// ---------------------------------------------------------- client connection

// Runs the frames that drive every engine's Update.
class CFrameApplication : public IKorvelApplication
{
public:
    void OnFlip() override {}
    void Frame() { UpdateRunnables(0.016f); }
};

// One socket engine and the whole messages cut from what it received, in order.
class CWireConnection : public ISocketEngineObserver
{
public:
    explicit CWireConnection(CFrameApplication& app) { m_Engine.Startup(&app, this); }
    ~CWireConnection() override
    {
        m_Engine.Disconnect(0, 1);
        m_Engine.Shutdown();
    }

    void SocketEngineNotify(KE_SOCKETCODES code, int) override
    {
        if (code == KE_SOCKET_CONNECTED)
            m_bConnected = true;
        else
            m_bFailed = true;
    }
    void SocketEngineDataReceived(unsigned char const* data, int size) override
    {
        m_aStream.insert(m_aStream.end(), data, data + size);
        for (;;)
        {
            const int iLength = CASN1::GetMessageLength(m_aStream.data(), (int)m_aStream.size());
            if (iLength == CASN1::eMSGLEN_MALFORMED)
                m_bFailed = true;
            if (iLength <= 0 || iLength > (int)m_aStream.size())
                return;
            m_aMessages.emplace_back(m_aStream.begin(), m_aStream.begin() + iLength);
            m_aStream.erase(m_aStream.begin(), m_aStream.begin() + iLength);
        }
    }

    void Send(const Bytes& message) { m_Engine.Send(message.data(), (int)message.size()); }

    // Takes the first received message with this id; an empty result when none came.
    Bytes Take(int iId)
    {
        for (size_t i = 0; i < m_aMessages.size(); ++i)
            if (CASN1::GetMessageID(m_aMessages[i].data(), (int)m_aMessages[i].size()) == iId)
            {
                Bytes message = m_aMessages[i];
                m_aMessages.erase(m_aMessages.begin() + (long)i);
                return message;
            }
        return Bytes();
    }
    bool Has(int iId) const
    {
        for (const Bytes& message : m_aMessages)
            if (CASN1::GetMessageID(message.data(), (int)message.size()) == iId)
                return true;
        return false;
    }

    CSocketEngine m_Engine;
    bool m_bConnected = false;
    bool m_bFailed = false;
    std::vector<Bytes> m_aMessages;

private:
    Bytes m_aStream;
};

// Runs frames until the condition holds or the time is up.
template <class F> bool PumpUntil(CFrameApplication& app, F condition, int timeoutMs = TEST_WAIT_LIMIT_MS)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end)
    {
        app.Frame();
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// Waits for a message of this id on the connection and takes it.
Bytes Await(CFrameApplication& app, CWireConnection& connection, int iId)
{
    PumpUntil(app, [&] { return connection.Has(iId) || connection.m_bFailed; });
    return connection.Take(iId);
}

bool Open(CFrameApplication& app, CWireConnection& connection, const char* pHost, unsigned int uPort)
{
    if (connection.m_Engine.Connect(CKorvelString(pHost), uPort, nullptr) != 1)
        return false;
    return PumpUntil(app, [&] { return connection.m_bConnected || connection.m_bFailed; }) &&
           connection.m_bConnected;
}

// A hand-built writer's message: measured, then written.
template <class F> Bytes Build(F write)
{
    const int iSize = write(nullptr, 0);
    Bytes message((size_t)iSize);
    if (iSize <= 0 || write(message.data(), iSize) != iSize)
        return Bytes();
    return message;
}

// A class or descriptor message's encoding: measured, then written.
template <class M> Bytes Encode(M& message)
{
    const unsigned int uSize = message.Encode(nullptr, 0);
    Bytes bytes(uSize);
    if (uSize == 0 || message.Encode(bytes.data(), (int)uSize) != uSize)
        return Bytes();
    return bytes;
}

// -------------------------------------------------------------- login helpers

struct sLOGIN
{
    int iUserId = -1;
    CKorvelString strToken;
    CKorvelString strName;
};

std::string Narrow(const CKorvelString& strText)
{
    std::string strOut((size_t)strText.GetLength() + 1, '\0');
    strText.MakeAnsi(&strOut[0]);
    strOut.resize((size_t)strText.GetLength());
    return strOut;
}

std::vector<unsigned short> Units(const CKorvelString& strText)
{
    const unsigned short* pUnits = strText.GetBuffer();
    return pUnits ? std::vector<unsigned short>(pUnits, pUnits + strText.GetLength())
                  : std::vector<unsigned short>();
}

// Connects, then Connection with the values the session sends; the ConnectACK's result
// and release.
void Identify(CFrameApplication& app, CWireConnection& lobby, unsigned int uPort, int& iResult, int& iRelease)
{
    ASSERT_TRUE(Open(app, lobby, "127.0.0.1", uPort));
    const CKorvelString strIdent("standalone-id:64;full-version:1;standalone-version:1.62;opengl:1;"
                                 "user-agent:UA;frame-version:2.05;lang_code:en");
    lobby.Send(Build(
        [&](unsigned char* pBuf, int iSize)
        {
            return CASN1::CreateConnection(pBuf, 1, 1280, 768, CKorvelString("M1"), CKorvelString("1.0"), 1,
                                           1, CKorvelString("0.0.0.0"), CKorvelString("0.0.0.0"), 25,
                                           strIdent, CKorvelString("bb"), CKorvelString("D1"), 1,
                                           CKorvelString("OS"), 0, 13, iSize);
        }));
    const Bytes ack = Await(app, lobby, eMSG_CONNECT_ACK);
    ASSERT_FALSE(ack.empty()) << "no ConnectACK";
    CKorvelString strError, strText;
    CASN1ConnectACK decoder(strError, iResult, strText, iRelease);
    EXPECT_EQ(decoder.Decode(ack.data(), (int)ack.size()), ack.size());
    EXPECT_EQ(strError.GetLength(), 0);
}

// Login with a user name and hash; the LoginACK's fields.
void Login(CFrameApplication& app, CWireConnection& lobby, const CKorvelString& strUser,
           const CKorvelString& strHash, sLOGIN& login)
{
    lobby.Send(Build([&](unsigned char* pBuf, int iSize)
                     { return CASN1::CreateLogin(pBuf, strUser, strHash, 1, CKorvelString(""), iSize); }));
    const Bytes ack = Await(app, lobby, eMSG_LOGIN_ACK);
    ASSERT_FALSE(ack.empty()) << "no LoginACK";
    CKorvelString strText2, strText3;
    int iValue = -1;
    ASSERT_EQ(CASN1::DecodeLoginACK(ack.data(), login.iUserId, login.strToken, strText2, strText3, iValue,
                                    login.strName, (int)ack.size()),
              KE_OK);
}

// Guest login with the guest counter as the password.
void LoginGuest(CFrameApplication& app, CWireConnection& lobby, int iCounter, sLOGIN& login)
{
    Login(app, lobby, CKorvelString("guest"), CKorvelString(std::to_string(iCounter).c_str()), login);
}

void ConnectAndLogin(CFrameApplication& app, CWireConnection& lobby, unsigned int uPort, int iCounter,
                     sLOGIN& login)
{
    int iResult = -99, iRelease = 0;
    Identify(app, lobby, uPort, iResult, iRelease);
    ASSERT_GE(iResult, 0);
    LoginGuest(app, lobby, iCounter, login);
}

// One item-list round on the lobby: GetShopItemGroups, then GetShopItems for what it
// announced; the flags of both answers.
void ItemListRound(CFrameApplication& app, CWireConnection& lobby, int iFlags, int& iGroupFlags,
                   int& iItemFlags)
{
    eMESSAGE_ID eGet = eMSG_GET_SHOP_ITEM_GROUPS;
    int iRequest = iFlags;
    CASN1ShortIntMessage getGroups(eGet, iRequest);
    lobby.Send(Encode(getGroups));
    const Bytes groups = Await(app, lobby, eMSG_SHOP_ITEM_GROUPS);
    CKorvelArray<CASN1ShopItemGroups::sGroupData> aGroups;
    CASN1ShopItemGroups groupsDecoder(iGroupFlags, aGroups);
    ASSERT_EQ(groupsDecoder.Decode(groups.data(), (int)groups.size()), groups.size());
    ASSERT_EQ(aGroups.GetCount(), 0);

    eMESSAGE_ID eItems = eMSG_GET_SHOP_ITEMS;
    int iCount = 100, iStart = 0;
    CASN1ShortInt3Message getItems(eItems, iRequest, iCount, iStart);
    lobby.Send(Encode(getItems));
    const Bytes items = Await(app, lobby, eMSG_SHOP_ITEMS);
    CKorvelArray<CASN1ShopItems::sItemData> aItems;
    int iItemStart = -1;
    CASN1ShopItems itemsDecoder(iItemFlags, iItemStart, aItems);
    ASSERT_EQ(itemsDecoder.Decode(items.data(), (int)items.size()), items.size());
    EXPECT_EQ(iItemStart, 0);
    EXPECT_EQ(aItems.GetCount(), 0);
}

// Frees the player records a GameStart reader made.
struct sSTART
{
    sGAME_START_INFO info;
    ~sSTART()
    {
        for (int i = 0; i < info.m_aPlayers.GetCount(); ++i)
            delete static_cast<sPLAYER*>(info.m_aPlayers[i]);
    }
    const sPLAYER& Player(int i) const { return *static_cast<const sPLAYER*>(info.m_aPlayers[i]); }
};

void DecodeStart(const Bytes& message, sSTART& start)
{
    ASSERT_FALSE(message.empty()) << "no GameStart";
    ASSERT_EQ(CASN1::DecodeGameStart(message.data(), &start.info, (int)message.size()), KE_OK);
}

Bytes Pattern(size_t size, unsigned int seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = (unsigned char)((i * 131 + size_t{seed} * 7 + (i >> 8)) & 0xFF);
    return bytes;
}

} // namespace

// -------------------------------------------------------------------- tests

// Connection answered by an accepting ConnectACK; a guest login answered with a fresh
// user id, its token and the guest's name; the server saw nothing the client's writers
// would not produce.
TEST(CASN1, GuestLoginAgainstLobbyServer)
{
    CTestTempDir dir;
    CLobbyServerProcess server(dir.File("server.jsonl"));
    ASSERT_TRUE(server.Start()) << "lobby server did not start";
    {
        CFrameApplication app;
        CWireConnection lobby(app);
        int iResult = -99, iRelease = 0;
        Identify(app, lobby, server.LobbyPort(), iResult, iRelease);
        EXPECT_EQ(iResult, 0);
        EXPECT_EQ(iRelease, 1);

        sLOGIN login;
        LoginGuest(app, lobby, 0, login);
        EXPECT_GE(login.iUserId, 1001);
        const std::string strId = std::to_string(login.iUserId);
        EXPECT_EQ(Narrow(login.strToken), "t" + strId);
        EXPECT_EQ(Narrow(login.strName), "guest" + strId);

        // What the session sends after a login: languages, the item-list round after
        // login (with the item-data check its end arms, and the round that follows),
        // the two image requests and the theme request. Only the item lists are answered.
        CASN1_Message languages(eMSG_GET_AVAILABLE_LANGUAGES);
        lobby.Send(Encode(languages));
        int iGroupFlags = 0, iItemFlags = 0;
        ItemListRound(app, lobby, 0x201, iGroupFlags, iItemFlags);
        EXPECT_EQ(iGroupFlags, 0x201);
        EXPECT_EQ(iItemFlags, 0x201);
        eMESSAGE_ID eDatas = eMSG_GET_AVAILABLE_SHOP_ITEM_DATAS;
        CASN1ShortMessage getDatas(eDatas);
        lobby.Send(Encode(getDatas));
        const Bytes datas = Await(app, lobby, eMSG_AVAILABLE_ITEM_DATAS);
        CKorvelArray<CASN1AvailableItemDatas::sItemData> aDatas;
        CASN1AvailableItemDatas datasDecoder(aDatas);
        ASSERT_EQ(datasDecoder.Decode(datas.data(), (int)datas.size()), datas.size());
        EXPECT_EQ(aDatas.GetCount(), 0);
        ItemListRound(app, lobby, 0x801, iGroupFlags, iItemFlags);
        EXPECT_EQ(iItemFlags, 0x801);
        for (const char* pImage : {"moregames", "tournaments"})
        {
            CASN1String2Message image(eMSG_GET_IMAGE_AND_LINK, CKorvelString(pImage), CKorvelString(""));
            lobby.Send(Encode(image));
        }
        CKorvelString strTheme("d41d8cd98f00b204e9800998ecf8427e");
        CASN1GetThemePack theme(strTheme);
        lobby.Send(Encode(theme));

        // The keep-alive comes back unchanged.
        lobby.Send(Build([](unsigned char* pBuf, int iSize) { return CASN1::CreateAlive(pBuf, -1, iSize); }));
        const Bytes alive = Await(app, lobby, eMSG_ALIVE);
        int iAlive = 0;
        EXPECT_EQ(CASN1::DecodeAlive(alive.data(), iAlive, (int)alive.size()), KE_OK);
        EXPECT_EQ(iAlive, -1);

        CKorvelString strKey("guestLogin"), strValue;
        CASN1GetKeyValue getKey(strKey);
        lobby.Send(Encode(getKey));
        const Bytes answer = Await(app, lobby, eMSG_KEY_VALUE);
        CKorvelString strGotKey;
        CASN1KeyValue keyValue(strGotKey, strValue);
        ASSERT_EQ(keyValue.Decode(answer.data(), (int)answer.size()), answer.size());
        EXPECT_EQ(Narrow(strGotKey), "guestLogin");
        EXPECT_EQ(Narrow(strValue), "1");
        EXPECT_FALSE(lobby.m_bFailed);
        unsigned char aLogout[3];
        lobby.Send(Bytes(aLogout, aLogout + CASN1::CreateLogout(aLogout)));
        PumpUntil(
            app, [] { return false; }, 200);
    }
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(server.Complaints(), std::vector<std::string>());
}

// Two guests join quick play: both get the same GameStart with one master, connect to
// the game server, release GameReady through the in-game item-list round, get the
// game server's GameStart, and a game message each way arrives byte for byte.
TEST(CASN1, QuickPlayMatchRelaysGameMessages)
{
    CTestTempDir dir;
    CLobbyServerProcess server(dir.File("server.jsonl"));
    ASSERT_TRUE(server.Start()) << "lobby server did not start";
    {
        CFrameApplication app;
        std::unique_ptr<CWireConnection> apLobby[2] = {std::make_unique<CWireConnection>(app),
                                                       std::make_unique<CWireConnection>(app)};
        std::unique_ptr<CWireConnection> apGame[2] = {std::make_unique<CWireConnection>(app),
                                                      std::make_unique<CWireConnection>(app)};
        sLOGIN aLogin[2];
        for (int i = 0; i < 2; ++i)
        {
            ConnectAndLogin(app, *apLobby[i], server.LobbyPort(), i, aLogin[i]);
            ASSERT_GE(aLogin[i].iUserId, 0);
        }
        ASSERT_NE(aLogin[0].iUserId, aLogin[1].iUserId);

        for (int i = 0; i < 2; ++i)
            apLobby[i]->Send(Build([](unsigned char* pBuf, int iSize)
                                   { return CASN1::CreateQueueRegisterIn(pBuf, APP_ID, 0, 2, iSize); }));
        sSTART aLobbyStart[2];
        for (int i = 0; i < 2; ++i)
            DecodeStart(Await(app, *apLobby[i], eMSG_GAME_START), aLobbyStart[i]);
        if (HasFatalFailure())
            return;

        int iMasters = 0;
        for (int i = 0; i < 2; ++i)
        {
            const sGAME_START_INFO& info = aLobbyStart[i].info;
            EXPECT_EQ(info.m_llSessionId, aLobbyStart[0].info.m_llSessionId);
            ASSERT_EQ(info.m_aPlayers.GetCount(), 2);
            EXPECT_EQ(info.m_iFlag1, info.m_iFlag2);
            iMasters += info.m_iFlag1 != 0;
            // Both get the players in one order (the joiners' order, which the test
            // does not fix), each with the id and name of its login.
            for (int p = 0; p < 2; ++p)
            {
                const sPLAYER& player = aLobbyStart[i].Player(p);
                EXPECT_EQ(player.m_iUserId, aLobbyStart[0].Player(p).m_iUserId);
                const int iWho = player.m_iUserId == aLogin[0].iUserId ? 0 : 1;
                EXPECT_EQ(player.m_iUserId, aLogin[iWho].iUserId);
                EXPECT_EQ(Narrow(player.m_strName), Narrow(aLogin[iWho].strName));
            }
            EXPECT_EQ(Narrow(info.m_strServer), "127.0.0.1:" + std::to_string(server.GamePort()));
        }
        EXPECT_EQ(iMasters, 1);
        // The lobby's queue timer may still leave the queue after the pairing.
        apLobby[0]->Send(Build([](unsigned char* pBuf, int iSize)
                               { return CASN1::CreateQueueUnregisterFrom(pBuf, APP_ID, iSize); }));

        // The address is split at its first ':' as the session does.
        for (int i = 0; i < 2; ++i)
        {
            const std::string strServer = Narrow(aLobbyStart[i].info.m_strServer);
            const size_t colon = strServer.find(':');
            ASSERT_NE(colon, std::string::npos);
            ASSERT_TRUE(Open(app, *apGame[i], strServer.substr(0, colon).c_str(),
                             (unsigned int)atoi(strServer.c_str() + colon + 1)));
        }

        // The game connection being up starts the in-game item-list round; its
        // ShopItems answer is what sends GameReady.
        for (int i = 0; i < 2; ++i)
        {
            int iGroupFlags = 0, iItemFlags = 0;
            ItemListRound(app, *apLobby[i], 0x401, iGroupFlags, iItemFlags);
            EXPECT_EQ(iGroupFlags, 0x401);
            EXPECT_EQ(iItemFlags, 0x401);
            int iOne = 1, iCount = 2, iFlag = aLobbyStart[i].info.m_iFlag1 != 0 ? 1 : 0, iAppId = APP_ID;
            long long llSession = aLobbyStart[i].info.m_llSessionId;
            CASN1GameReady ready(iOne, llSession, iCount, iFlag, aLogin[i].iUserId, iAppId,
                                 CKorvelString("2.05"));
            ASSERT_EQ(ready.Send(apGame[i]->m_Engine), KE_OK);
        }

        sSTART aGameStart[2];
        for (int i = 0; i < 2; ++i)
        {
            DecodeStart(Await(app, *apGame[i], eMSG_GAME_START), aGameStart[i]);
            if (HasFatalFailure())
                return;
            EXPECT_EQ(aGameStart[i].info.m_llSessionId, aLobbyStart[i].info.m_llSessionId);
            EXPECT_EQ(aGameStart[i].info.m_iFlag1, aLobbyStart[i].info.m_iFlag1);
            ASSERT_EQ(aGameStart[i].info.m_aPlayers.GetCount(), 2);
            EXPECT_EQ(aGameStart[i].Player(0).m_iUserId, aLobbyStart[i].Player(0).m_iUserId);
        }

        // A payload with a two-byte length form, larger than one loopback chunk may
        // carry, one way; an event of the short form the other way.
        const Bytes aPayload[2] = {Pattern(20000, 1), Pattern(18, 2)};
        for (int i = 0; i < 2; ++i)
            apGame[i]->Send(Build(
                [&](unsigned char* pBuf, int iSize) {
                    return CASN1::CreateGameMessage(pBuf, aPayload[i].data(), (int)aPayload[i].size(), iSize);
                }));
        for (int i = 0; i < 2; ++i)
        {
            const Bytes message = Await(app, *apGame[i], eMSG_GAME_MESSAGE);
            ASSERT_FALSE(message.empty()) << "no GameMessage for client " << i;
            Bytes received(32768);
            int iCount = 0;
            ASSERT_EQ(CASN1::DecodeGameMessage(message.data(), received.data(), (int)received.size(), iCount,
                                               (int)message.size()),
                      KE_OK);
            received.resize((size_t)iCount);
            EXPECT_EQ(received, aPayload[1 - i]);
        }
        // The keep-alive is echoed on the game connection too.
        apGame[0]->Send(
            Build([](unsigned char* pBuf, int iSize) { return CASN1::CreateAlive(pBuf, -1, iSize); }));
        const Bytes alive = Await(app, *apGame[0], eMSG_ALIVE);
        int iAlive = 0;
        EXPECT_EQ(CASN1::DecodeAlive(alive.data(), iAlive, (int)alive.size()), KE_OK);
        EXPECT_EQ(iAlive, -1);

        // Chat goes out with the sender's id: the empty line every client sends when
        // the match starts, and a line with a character beyond ASCII.
        const CKorvelString astrChat[2] = {CKorvelString(L"well played \u00e9"), CKorvelString("")};
        for (int i = 0; i < 2; ++i)
        {
            int iType = i == 0 ? 2 : 0;
            CKorvelString strText(astrChat[i]);
            CASN1ChatMessage chat(iType, strText, aLogin[i].iUserId);
            ASSERT_EQ(chat.Send(apGame[i]->m_Engine), KE_OK);
        }
        for (int i = 0; i < 2; ++i)
        {
            const Bytes message = Await(app, *apGame[i], eMSG_CHAT_MESSAGE);
            sCHATMSG chat;
            CASN1ChatMessage decoder(chat);
            ASSERT_EQ(decoder.Decode(message.data(), (int)message.size()), message.size());
            EXPECT_EQ(chat.m_iType, i == 1 ? 2 : 0);
            EXPECT_EQ(chat.m_iSender, aLogin[1 - i].iUserId);
            EXPECT_EQ(Units(chat.m_strText), Units(astrChat[1 - i]));
        }

        // Both report the same ranking; then both wish a rematch.
        CKorvelArray<int> aRanks;
        aRanks.Add(1);
        aRanks.Add(2);
        for (int i = 0; i < 2; ++i)
            apGame[i]->Send(Build(
                [&](unsigned char* pBuf, int iSize)
                {
                    return CASN1::CreateGameEnd(pBuf, aGameStart[i].info.m_llSessionId, APP_ID, 0,
                                                &aGameStart[i].info.m_aPlayers, aRanks, 0, iSize);
                }));
        for (int i = 0; i < 2; ++i)
        {
            long long llSession = aGameStart[i].info.m_llSessionId;
            int iWish = 1, iOne = 1;
            CASN1RematchMessage rematch(llSession, iWish, iOne);
            apGame[i]->Send(Encode(rematch));
        }
        for (int i = 0; i < 2; ++i)
        {
            const Bytes message = Await(app, *apGame[i], eMSG_REMATCH_RECEIVED);
            eMESSAGE_ID eId = eMSG_CONNECTION;
            int iWish = 0;
            CASN1ShortIntMessage decoder(eId, iWish);
            ASSERT_EQ(decoder.Decode(message.data(), (int)message.size()), message.size());
            EXPECT_EQ(iWish & 2, 2);
        }
        // One player closing its game connection is reported to the other.
        apGame[0]->m_Engine.Disconnect(0, 1);
        const Bytes gone = Await(app, *apGame[1], eMSG_GAME_DISCONNECT);
        long long llGoneSession = -1;
        int iGonePlayer = -1;
        ASSERT_EQ(CASN1::DecodeGameDisconnect(gone.data(), llGoneSession, iGonePlayer, (int)gone.size()),
                  KE_OK);
        EXPECT_EQ(llGoneSession, aGameStart[1].info.m_llSessionId);
        EXPECT_EQ(iGonePlayer, aLogin[0].iUserId);
        for (int i = 0; i < 2; ++i)
        {
            EXPECT_FALSE(apLobby[i]->m_bFailed);
            EXPECT_FALSE(apGame[i]->m_bFailed);
        }
    }
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(server.Complaints(), std::vector<std::string>());
    const std::vector<std::string> aResults = server.Lines("match_result");
    ASSERT_EQ(aResults.size(), 1u);
    EXPECT_NE(aResults[0].find("\"agreed\": true"), std::string::npos) << aResults[0];
}

// Account login: the random key for the name, then Login with the MD5 of password and
// key; a wrong hash is refused with its text in the token field, and the connection
// stays usable for the right one.
TEST(CASN1, AccountLoginWithRandomKey)
{
    CTestTempDir dir;
    CLobbyServerProcess server(dir.File("server.jsonl"));
    ASSERT_TRUE(server.Start({"--account", "alice:secret"})) << "lobby server did not start";
    {
        CFrameApplication app;
        CWireConnection lobby(app);
        int iResult = -99, iRelease = 0;
        Identify(app, lobby, server.LobbyPort(), iResult, iRelease);
        ASSERT_GE(iResult, 0);

        const CKorvelString strUser("alice");
        lobby.Send(Build([&](unsigned char* pBuf, int iSize)
                         { return CASN1::CreateGetRandomKey(pBuf, strUser, iSize); }));
        const Bytes answer = Await(app, lobby, eMSG_RANDOM_KEY);
        CKorvelString strKey, strSecond;
        ASSERT_EQ(CASN1::DecodeRandomKey(answer.data(), strKey, strSecond, (int)answer.size()), KE_OK);
        ASSERT_GT(strKey.GetLength(), 0);

        for (const char* pPassword : {"wrong", "secret"})
        {
            const std::string strSalted = pPassword + Narrow(strKey);
            CVornMD5 md5;
            md5.MD5(reinterpret_cast<const unsigned char*>(strSalted.data()), (unsigned int)strSalted.size());
            CKorvelString strHash;
            md5.GetDigestStr(strHash);
            sLOGIN login;
            Login(app, lobby, strUser, strHash, login);
            if (HasFatalFailure())
                return;
            if (std::string(pPassword) == "wrong")
            {
                EXPECT_EQ(login.iUserId, -1);
                EXPECT_GT(login.strToken.GetLength(), 0);
            }
            else
            {
                EXPECT_GE(login.iUserId, 1001);
                EXPECT_EQ(Narrow(login.strName), "alice");
            }
        }
        EXPECT_FALSE(lobby.m_bFailed);
    }
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(server.Complaints(), std::vector<std::string>());
}

// Messages the server sends only when a test asks through its control channel, each
// read by the client's own reader to the values sent: a notification cut into one-byte
// pieces, a queue update that asks for a re-login, and a login answer with an error.
TEST(CASN1, ControlChannelMessagesReachTheClientReaders)
{
    CTestTempDir dir;
    CLobbyServerProcess server(dir.File("server.jsonl"));
    ASSERT_TRUE(server.Start()) << "lobby server did not start";
    {
        CFrameApplication app;
        CWireConnection lobby(app);
        sLOGIN login;
        ConnectAndLogin(app, lobby, server.LobbyPort(), 0, login);
        ASSERT_GE(login.iUserId, 0);
        CLobbyServerControl control(server.ControlPort());
        ASSERT_TRUE(control.IsConnected());
        const sLOBBY_TARGET target = sLOBBY_TARGET::Lobby(login.iUserId);

        control.Chunk(target, {1});
        control.Send(target, "notification", "[7, \"Server restarts in 5 min \\u00e9\", -2]");
        const Bytes notification = Await(app, lobby, eMSG_NOTIFICATION);
        ASSERT_FALSE(notification.empty()) << "no Notification";
        int iFirst = 0, iSecond = 0;
        CKorvelString strText;
        CASN1Notification notificationDecoder(iFirst, strText, iSecond);
        ASSERT_EQ(notificationDecoder.Decode(notification.data(), (int)notification.size()),
                  notification.size());
        EXPECT_EQ(iFirst, 7);
        EXPECT_EQ(iSecond, -2);
        EXPECT_EQ(Units(strText), Units(CKorvelString(L"Server restarts in 5 min \u00e9")));
        control.Chunk(target, {});

        const std::string strPlayers = "[[" + std::to_string(login.iUserId) + ", " +
                                       CTestJson::Quote(Narrow(login.strName)) + "], [4242, \"rival\"]]";
        control.Send(target, "queue_update", "[" + strPlayers + ", 0, " + std::to_string(APP_ID) + ", -1]");
        const Bytes update = Await(app, lobby, eMSG_QUEUE_UPDATE);
        ASSERT_FALSE(update.empty()) << "no QueueUpdate";
        CKorvelPtrArray aPlayers;
        int a = -9, b = -9, c = -9;
        EXPECT_EQ(CASN1::DecodeQueueUpdate(update.data(), &aPlayers, a, b, c, (int)update.size()), KE_OK);
        EXPECT_EQ(a, 0);
        EXPECT_EQ(b, APP_ID);
        EXPECT_EQ(c, -1);
        ASSERT_EQ(aPlayers.GetCount(), 2);
        const sPLAYER* apPlayer[2] = {static_cast<sPLAYER*>(aPlayers[0]), static_cast<sPLAYER*>(aPlayers[1])};
        EXPECT_EQ(apPlayer[0]->m_iUserId, login.iUserId);
        EXPECT_EQ(Narrow(apPlayer[0]->m_strName), Narrow(login.strName));
        EXPECT_EQ(apPlayer[1]->m_iUserId, 4242);
        EXPECT_EQ(Narrow(apPlayer[1]->m_strName), "rival");
        for (const sPLAYER* pPlayer : apPlayer)
            delete pPlayer;

        control.Send(target, "login_ack_error", "[-4, \"Account blocked\"]");
        const Bytes ack = Await(app, lobby, eMSG_LOGIN_ACK);
        ASSERT_FALSE(ack.empty()) << "no LoginACK";
        sLOGIN refused;
        CKorvelString strText2, strText3;
        int iValue = -1;
        EXPECT_EQ(CASN1::DecodeLoginACK(ack.data(), refused.iUserId, refused.strToken, strText2, strText3,
                                        iValue, refused.strName, (int)ack.size()),
                  KE_OK);
        EXPECT_EQ(refused.iUserId, -4);
        EXPECT_EQ(Narrow(refused.strToken), "Account blocked");
        EXPECT_FALSE(lobby.m_bFailed);
    }
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(server.Complaints(), std::vector<std::string>());
}
