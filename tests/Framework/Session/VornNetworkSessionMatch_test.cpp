// Two sessions on one application meet through the server's quick-play queue and play:
// the game connection, the item-list rounds that release GameReady, the game start,
// game messages both ways, chat, the end, rematch and refusal, a game connection the
// server closes, and the application replacing its session from inside a delivery.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <set>

#include "Framework/Session/VornLobby.h"
#include "Framework/Session/VornPlayer.h"
#include "support/SessionServerTest.h"
#include "support/TestText.h"

namespace
{

typedef std::vector<unsigned char> Bytes;

// The game's payload number i: a size and bytes that tell every message apart.
Bytes Payload(int i, int iSize)
{
    Bytes payload(static_cast<size_t>(iSize));
    for (size_t k = 0; k < payload.size(); ++k)
        payload[k] = static_cast<unsigned char>(i * 7 + static_cast<int>(k) * 13);
    return payload;
}

class CVornNetworkSession : public CSessionServerTest
{
protected:
    // Answers the in-game item rounds as the lobby state does, which releases GameReady.
    static void AnswerItemRounds(CSessionRecorder& recorder, ::CVornNetworkSession* pSession)
    {
        recorder.m_fnHook = [pSession](::CVornNetworkSession*, const std::string& strLine)
        {
            if (strLine == "OnShopItemGroups(1025,0)")
                pSession->SendGetShopItems(0x401, 100, 0);
            else if (strLine == "OnShopItems(1025,0,0)")
                pSession->SendGameReady();
        };
    }
    // Both logged in as guests, A queued first (the master), both in the match.
    void PlayToGameStart(::CVornNetworkSession* pA, ::CVornNetworkSession* pB)
    {
        const int iStartsA = m_Rec.Count("OnGameStart"), iStartsB = m_Rec2.Count("OnGameStart");
        const size_t uQueued = In("QueueRegisterIn").size();
        pA->RegisterInGameQueue(1, 2);
        ASSERT_TRUE(WaitFor([&] { return In("QueueRegisterIn").size() == uQueued + 1; }));
        pB->RegisterInGameQueue(1, 2);
        ASSERT_TRUE(WaitFor(
            [&] { return m_Rec.Count("OnGameStart") > iStartsA && m_Rec2.Count("OnGameStart") > iStartsB; }));
    }
    static std::vector<int> LobbyIds(::CVornNetworkSession* pSession)
    {
        std::vector<int> aIds;
        CVornLobby* pLobby = pSession->GetLobby();
        for (int i = 0; pLobby && i < pLobby->GetPlayerCount(); ++i)
            aIds.push_back(pLobby->GetPlayer(i)->m_iUserId);
        return aIds;
    }
    static std::vector<std::string> Ending(const std::vector<std::string>& aLines, size_t uCount)
    {
        return std::vector<std::string>(aLines.end() - static_cast<long>(std::min(uCount, aLines.size())),
                                        aLines.end());
    }
};

TEST_F(CVornNetworkSession, TwoSessionsMeetPlayChatEndAndRefuseARematch)
{
    // A thousand game messages each way at once, far past the relay's budget per connection,
    // which this test is not about.
    ASSERT_NO_FATAL_FAILURE(Start({"--relay-rate", "100000"}));
    ::CVornNetworkSession* pA = Session();
    ::CVornNetworkSession* pB = AddSession(m_Rec2);
    ASSERT_EQ(LoginGuest(pA, m_Rec), 1001);
    ASSERT_EQ(LoginGuest(pB, m_Rec2), 1002);

    // The item rounds after the login, flags echoed.
    pA->SendGetShopItemGroups(0x201);
    pA->SendGetShopItems(0x201, 100, 0);
    pA->SendGetAvailableShopItemDatas();
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnAvailableShopItemDatas") == 1; }));
    EXPECT_EQ(m_Rec.With("OnShop"),
              (std::vector<std::string>{"OnShopItemGroups(513,0)", "OnShopItems(513,0,0)"}));

    AnswerItemRounds(m_Rec, pA);
    AnswerItemRounds(m_Rec2, pB);
    ASSERT_NO_FATAL_FAILURE(PlayToGameStart(pA, pB));
    EXPECT_EQ(m_Rec.With("OnGameStart"), std::vector<std::string>{"OnGameStart(1001,1)"});
    EXPECT_EQ(m_Rec2.With("OnGameStart"), std::vector<std::string>{"OnGameStart(1002,0)"});
    EXPECT_EQ(LobbyIds(pA), (std::vector<int>{1001, 1002}));
    EXPECT_EQ(LobbyIds(pB), LobbyIds(pA));
    EXPECT_EQ(pA->GetStatus(), 0x105u);
    EXPECT_EQ(m_Rec.With("OnGameStatusChanged"), std::vector<std::string>{"OnGameStatusChanged(256)"});
    EXPECT_EQ(pA->IsInGameQueue(), 0u);
    const std::vector<CTestJson> aReady = In("GameReady");
    ASSERT_EQ(aReady.size(), 2u);

    // 1,000 payloads each way, one of the largest size; B's side arrives in odd pieces.
    m_pControl->Chunk(sLOBBY_TARGET::Game(1002), {1000, 3, 7});
    const int iCount = 1000;
    for (int i = 0; i < iCount; ++i)
    {
        const Bytes a = Payload(i, i == 500 ? 65552 : 12 + i % 40);
        const Bytes b = Payload(i + 1, 12 + i % 37);
        pA->SendGameMsg(a.data(), static_cast<unsigned int>(a.size()), 0, 0);
        pB->SendGameMsg(b.data(), static_cast<unsigned int>(b.size()), 0, 0);
    }
    const Bytes tooLarge(65553, 1);
    pA->SendGameMsg(tooLarge.data(), static_cast<unsigned int>(tooLarge.size()), 0, 0);
    ASSERT_TRUE(WaitFor(
        [&] { return m_Rec.m_aGameMessages.size() == iCount && m_Rec2.m_aGameMessages.size() == iCount; }))
        << m_Rec.m_aGameMessages.size() << " " << m_Rec2.m_aGameMessages.size();
    m_pControl->Chunk(sLOBBY_TARGET::Game(1002), {});
    for (int i = 0; i < iCount; ++i)
    {
        ASSERT_EQ(m_Rec2.m_aGameMessages[static_cast<size_t>(i)], Payload(i, i == 500 ? 65552 : 12 + i % 40))
            << i;
        ASSERT_EQ(m_Rec.m_aGameMessages[static_cast<size_t>(i)], Payload(i + 1, 12 + i % 37)) << i;
    }
    Settle();
    EXPECT_EQ(In("GameMessage").size(), 2u * iCount);

    // Chat: the sender hears its own line as sent, the other as received.
    ::CVornNetworkSession::sCHATMSG chat;
    chat.m_iType = ::CVornNetworkSession::CHAT_LINE;
    chat.m_strText.Set("hello");
    chat.m_iSender = 1001;
    pA->SendChatMsg(&chat);
    ASSERT_TRUE(WaitFor([this] { return m_App.m_aChat.size() == 2; }));
    EXPECT_EQ(m_App.m_aChat, (std::vector<std::string>{"2,hello,1001,0", "2,hello,1001,1"}));

    // The end, a rematch both want, and a GameDisconnect of another session ignored.
    const CKorvelArray<int> aIds = []
    {
        CKorvelArray<int> a;
        a.Add(1001);
        a.Add(1002);
        return a;
    }();
    const CKorvelArray<int> aRanks = []
    {
        CKorvelArray<int> a;
        a.Add(1);
        a.Add(2);
        return a;
    }();
    pA->SendGameEnd(aIds, aRanks, 0);
    pB->SendGameEnd(aIds, aRanks, 0);
    ASSERT_TRUE(WaitFor([this] { return m_pServer->Lines("match_result").size() == 1; }));
    pA->SendRematch(1);
    pB->SendRematch(1);
    ASSERT_TRUE(WaitFor(
        [this] { return m_Rec.Count("OnRematchReceived") == 1 && m_Rec2.Count("OnRematchReceived") == 1; }));
    EXPECT_EQ(m_Rec.With("OnRematchReceived"), std::vector<std::string>{"OnRematchReceived(3)"});
    // The rematch starts as the first match did: GameReady from both, GameStart to both.
    pA->SendGameReady();
    pB->SendGameReady();
    ASSERT_TRUE(
        WaitFor([this] { return m_Rec.Count("OnGameStart") == 2 && m_Rec2.Count("OnGameStart") == 2; }));
    m_pControl->Send(sLOBBY_TARGET::Game(1002), "game_disconnect",
                     "[" + std::to_string(pB->GetGameSessionId() + 100) + ", 1001]");

    // A refuses the next one: its game connection closes and its lobby empties.
    pA->SendRematch(0);
    EXPECT_EQ(pA->GetStatus(), 0x005u);
    EXPECT_EQ(pA->GetLobby()->GetPlayerCount(), 0);
    ASSERT_TRUE(WaitFor([this] { return m_Rec2.Count("OnPlayerDisconnected") == 1; }));
    EXPECT_EQ(m_Rec2.With("OnPlayerDisconnected"), std::vector<std::string>{"OnPlayerDisconnected(1001)"});
    const std::vector<CTestJson> aRematch = In("Rematch");
    ASSERT_EQ(aRematch.size(), 3u);
    EXPECT_EQ(aRematch.back()["wish"].Int(), 0);
    EXPECT_EQ(In("GameEnd").size(), 2u);
}

TEST_F(CVornNetworkSession, AClosedGameConnectionAndTheLobbysGameStartsAroundIt)
{
    ASSERT_NO_FATAL_FAILURE(Start({"--queue-updates"}));
    ::CVornNetworkSession* pA = Session();
    ::CVornNetworkSession* pB = AddSession(m_Rec2);
    ASSERT_EQ(LoginGuest(pA, m_Rec), 1001);
    ASSERT_EQ(LoginGuest(pB, m_Rec2), 1002);
    AnswerItemRounds(m_Rec2, pB);
    // A's answers, plus the lobby as A's observers see it when the queue update comes.
    std::vector<int> aLobbyAtQueueUpdate;
    m_Rec.m_fnHook = [&](::CVornNetworkSession*, const std::string& strLine)
    {
        if (strLine.compare(0, 13, "OnQueueUpdate") == 0)
            aLobbyAtQueueUpdate = LobbyIds(pA);
        else if (strLine == "OnShopItemGroups(1025,0)")
            pA->SendGetShopItems(0x401, 100, 0);
        else if (strLine == "OnShopItems(1025,0,0)")
            pA->SendGameReady();
    };
    ASSERT_NO_FATAL_FAILURE(PlayToGameStart(pA, pB));
    EXPECT_EQ(m_Rec.With("OnQueueUpdate"), std::vector<std::string>{"OnQueueUpdate(0,64,0)"});
    EXPECT_EQ(aLobbyAtQueueUpdate, (std::vector<int>{1001, 1002}));
    const long long llSession = pA->GetGameSessionId();

    // Thirty seconds without data: Alive(-1) on both connections of both sessions; the
    // server's echoes are not answered.
    Frame(30.5f);
    // A probe's answer follows the keep-alives sent before it, so the server has echoed them
    // all by then; a second probe's answer follows whatever the echoes drew.
    const sLOBBY_TARGET aConnections[] = {sLOBBY_TARGET::Lobby(1001), sLOBBY_TARGET::Lobby(1002),
                                          sLOBBY_TARGET::Game(1001), sLOBBY_TARGET::Game(1002)};
    for (const sLOBBY_TARGET& target : aConnections)
        ASSERT_TRUE(WaitForHandled(target));
    auto keepAlives = [this]
    {
        std::multiset<std::string> connections;
        for (const std::string& strLine : m_pServer->Lines("in"))
        {
            CTestJson line;
            std::string strError;
            if (CTestJson::Parse(strLine, line, strError) && line["name"].String() == "Alive" &&
                line["fields"]["value"].Int() < 0)
            {
                EXPECT_EQ(line["fields"]["value"].Int(), -1);
                connections.insert(line["conn"].String());
            }
        }
        return connections;
    };
    const std::multiset<std::string> sent = keepAlives();
    for (const sLOBBY_TARGET& target : aConnections)
        ASSERT_TRUE(WaitForHandled(target));
    EXPECT_EQ(keepAlives(), sent);
    EXPECT_EQ(std::set<std::string>(sent.begin(), sent.end()),
              (std::set<std::string>{"G1", "G2", "L1", "L2"}));

    // The lobby's GameStart while the game connection stands changes nothing.
    m_pControl->Send(sLOBBY_TARGET::Lobby(1001), "game_start",
                     "[77, [[5, \"x\"], [6, \"y\"]], 1, \"127.0.0.1:1\"]");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(1001)));
    EXPECT_EQ(pA->GetGameSessionId(), llSession);
    EXPECT_EQ(LobbyIds(pA), (std::vector<int>{1001, 1002}));
    EXPECT_EQ(pA->GetStatus() & 0xFF00, 0x100u);

    // The server closes A's game connection: game status 0, B hears A left.
    m_pControl->Close(sLOBBY_TARGET::Game(1001));
    ASSERT_TRUE(WaitFor([pA] { return (pA->GetStatus() & 0xFF00) == 0; }));
    EXPECT_EQ(Ending(m_Rec.With("OnGameStatusChanged"), 1),
              std::vector<std::string>{"OnGameStatusChanged(0)"});
    ASSERT_TRUE(WaitFor([this] { return m_Rec2.Count("OnPlayerDisconnected") == 1; }));

    // A new pairing connects again and plays.
    pB->DisconnectGame();
    ASSERT_NO_FATAL_FAILURE(PlayToGameStart(pA, pB));
    EXPECT_NE(pA->GetGameSessionId(), llSession);
    const Bytes payload = Payload(3, 20);
    pA->SendGameMsg(payload.data(), static_cast<unsigned int>(payload.size()), 0, 0);
    ASSERT_TRUE(WaitFor([this] { return m_Rec2.m_aGameMessages.size() == 1; }));
    EXPECT_EQ(m_Rec2.m_aGameMessages[0], payload);

    // A game server address without ':' is a host on port 0: the connect fails, and the
    // match that cannot be played ends the session as a lost one (the server then ends the
    // match for the opponent).
    pA->DisconnectGame();
    EXPECT_EQ(pA->GameConnectionFailed(), 0u);
    m_pControl->Send(sLOBBY_TARGET::Lobby(1001), "game_start",
                     "[99, [[1001, \"a\"], [1002, \"b\"]], 1, \"127.0.0.1\"]");
    ASSERT_TRUE(WaitFor([pA] { return pA->GetGameSessionId() == 99; }));
    ASSERT_TRUE(WaitFor([pA] { return pA->GetStatus() == 0u; }));
    EXPECT_EQ(pA->GameConnectionFailed(), 1u);
    EXPECT_EQ(Ending(m_Rec.With("OnLobbyStatusChanged"), 1),
              std::vector<std::string>{"OnLobbyStatusChanged(0)"});
}

// ---- the application replaces its session from inside the session's own delivery

class CVornNetworkSessionReentry : public CVornNetworkSession
{
protected:
    // Resets the application's session from the first observer line that begins so.
    void ResetOn(const std::string& strPrefix)
    {
        m_Rec.m_fnHook = [this, strPrefix](::CVornNetworkSession* pSession, const std::string& strLine)
        {
            if (strLine.compare(0, strPrefix.size(), strPrefix) != 0 || m_pOld)
                return;
            m_pOld = pSession;
            m_uDeliveringThen = pSession->IsDelivering();
            m_App.ResetNetworkSession();
            m_iRetiredThen = m_App.m_RetiredSessions.GetCount();
        };
    }
    // After the reset: the old session was kept past its delivery, is gone after the
    // application's frame, and the new one connects and logs in.
    void ExpectReplacedAndUsable()
    {
        ASSERT_NE(m_pOld, nullptr);
        EXPECT_EQ(m_uDeliveringThen, 1u);
        EXPECT_NE(Session(), m_pOld);
        EXPECT_EQ(m_iRetiredThen, 1);
        Frame();
        EXPECT_EQ(m_App.m_RetiredSessions.GetCount(), 0);
        Observe(Session(), m_Rec2);
        EXPECT_GT(LoginGuest(Session(), m_Rec2), 0);
    }

    ::CVornNetworkSession* m_pOld = nullptr;
    unsigned int m_uDeliveringThen = 0;
    int m_iRetiredThen = 0;
};

TEST_F(CVornNetworkSessionReentry, FromAQueueUpdateWithMoreMessagesInTheSameWrite)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(LoginGuest(Session(), m_Rec), 1001);
    ResetOn("OnQueueUpdate");
    // QueueUpdate {[], 0, 64, -1}, then a ChatMessage the old session must not deliver.
    m_pControl->SendHex(sLOBBY_TARGET::Lobby(1001), "A80BA0008101008201408301FF"
                                                    "BF4009800102810161820107");
    ASSERT_TRUE(WaitFor([this] { return m_pOld != nullptr; }));
    EXPECT_EQ(m_Rec.With("OnQueueUpdate"), std::vector<std::string>{"OnQueueUpdate(0,64,-1)"});
    ASSERT_NO_FATAL_FAILURE(ExpectReplacedAndUsable());
    Settle();
    EXPECT_EQ(m_App.m_aChat, std::vector<std::string>());
    EXPECT_EQ(m_App.m_iSessionsMade, 2);
}

TEST_F(CVornNetworkSessionReentry, FromTheEmailConfirmation)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(ConnectLobby(Session(), m_Rec));
    Session()->SendConfirmUserName(CKorvelString("newbie"), &m_Rec);
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnUserNameConfirmed") == 1; }));
    const std::string strLine = m_Rec.With("OnUserNameConfirmed")[0];
    const CKorvelString strKey(strLine.substr(22, strLine.size() - 23).c_str());
    ResetOn("OnEmailConfirmed");
    Session()->SendConfirmEmail(CKorvelString("newbie"), CKorvelString(),
                                ::CVornNetworkSession::GeneratePasswordHash(CKorvelString("pw1234"), strKey),
                                0, CKorvelString(), CKorvelString(), &m_Rec);
    ASSERT_TRUE(WaitFor([this] { return m_pOld != nullptr; }));
    EXPECT_EQ(m_Rec.With("OnEmailConfirmed"), std::vector<std::string>{"OnEmailConfirmed(0,newbie)"});
    ASSERT_NO_FATAL_FAILURE(ExpectReplacedAndUsable());
}

} // namespace
