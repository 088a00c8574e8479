// The session cutting the lobby stream into messages (the server writing in pieces,
// several messages at once, lengths the session refuses, chat texts beyond its limit) and
// its timers driven by the frame time: keep-alive, lobby silence and the login time-out.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <cctype>

#include "support/SessionServerTest.h"
#include "support/TestText.h"

namespace
{

class CVornNetworkSession : public CSessionServerTest
{
protected:
    unsigned int Lobby() { return Session()->GetStatus() & 0xFF; }
    // A ChatMessage {2, text, 7} for the application.
    static std::string ChatArgs(const std::string& strText)
    {
        return "[2, " + CTestJson::Quote(strText) + ", 7]";
    }
    std::vector<long long> AliveValuesIn() const
    {
        std::vector<long long> aValues;
        for (const CTestJson& fields : In("Alive"))
            aValues.push_back(fields["value"].Int());
        return aValues;
    }
};

TEST_F(CVornNetworkSession, MessagesWrittenInPiecesArriveOnceAndWhole)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_pControl->Hold(2);
    ASSERT_EQ(Session()->Connect(CKorvelString("127.0.0.1"),
                                 static_cast<unsigned short>(m_pServer->LobbyPort()), &m_Rec),
              1);
    ASSERT_TRUE(WaitFor([this] { return In("Connection").size() == 1; }));
    m_pControl->Chunk("L1", {1});
    m_pControl->Release(2);
    ASSERT_TRUE(WaitFor([this] { return Lobby() == 3; }));
    ASSERT_TRUE(Session()->Login(CKorvelString("guest"), CKorvelString("0"), &m_Rec));
    ASSERT_TRUE(WaitFor([this] { return Lobby() == 5; }));
    EXPECT_EQ(m_Rec.With("OnLoggedIn"), (std::vector<std::string>{"OnLoggedIn(1001,guest1001,t1001,,,0)"}));

    // Long length forms (one and two length bytes) cut at every size from 1 to 8. A chat
    // text longer than the session takes in is dropped, with one line on the terminal.
    const std::string strMedium(200, 'm');
    const std::string strLong(::CVornNetworkSession::MAX_CHAT_TEXT, 'l');
    m_pControl->Chunk("L1", {1, 2, 3, 4, 5, 6, 7, 8});
    testing::internal::CaptureStderr();
    m_pControl->Send("L1", "chat_message", ChatArgs(strMedium));
    m_pControl->Send("L1", "chat_message", ChatArgs(strLong + "l"));
    m_pControl->Send("L1", "chat_message", ChatArgs(strLong));
    m_pControl->Send("L1", "chat_message", ChatArgs(strLong + "ll"));
    m_pControl->Send("L1", "chat_message", ChatArgs("short"));
    ASSERT_TRUE(WaitFor([this] { return m_App.m_aChat.size() == 3; }));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "session: chat texts longer than 1000 characters are dropped\n");
    EXPECT_EQ(m_App.m_aChat,
              (std::vector<std::string>{"2," + strMedium + ",7,1", "2," + strLong + ",7,1", "2,short,7,1"}));

    // Two messages in one write, in order: ChatMessage {2, "a", 7} and {2, "b", 8}.
    m_pControl->Chunk("L1", {});
    m_App.m_aChat.clear();
    m_pControl->SendHex("L1", "BF4009800102810161820107"
                              "BF4009800102810162820108");
    ASSERT_TRUE(WaitFor([this] { return m_App.m_aChat.size() == 2; }));
    EXPECT_EQ(m_App.m_aChat, (std::vector<std::string>{"2,a,7,1", "2,b,8,1"}));
    Settle();
    EXPECT_EQ(Lobby(), 5u);
}

TEST_F(CVornNetworkSession, LengthsThatCanNeverBeReadCloseTheLobbyConnection)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    struct sCASE
    {
        const char* pWhy;
        const char* pHex;
    };
    const sCASE aCases[] = {
        {"a declared total above 16 MiB", "A58401000000AA"},
        {"a length field of five bytes", "A5850000000001"},
        {"an identifier of three bytes", "BF81010100"},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pWhy);
        m_Rec.m_aLines.clear();
        ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
        const CTestJson answer = m_pControl->Connections();
        const std::string strConn = answer["connections"][answer["connections"].Size() - 1]["conn"].String();
        m_pControl->SendHex(strConn, c.pHex);
        ASSERT_TRUE(WaitFor([this] { return Lobby() == 0; }));
        EXPECT_EQ(m_Rec.LobbyStatuses().back(), 0u);
        EXPECT_EQ(Session()->GetLobbyPort(), 0u);
    }
}

TEST_F(CVornNetworkSession, KeepAliveAndItsEcho)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    // Thirty seconds without data: Alive(-1); the server's echo of it is not answered.
    Frame(29.0f);
    Settle();
    EXPECT_EQ(AliveValuesIn(), std::vector<long long>());
    Frame(1.5f);
    ASSERT_TRUE(WaitFor([this] { return In("Alive").size() == 1; }));
    Settle();
    EXPECT_EQ(AliveValuesIn(), std::vector<long long>{-1});

    // The server's probe Alive(0) comes back byte for byte.
    const CTestJson sent = m_pControl->Send("L1", "alive", "[0]");
    ASSERT_TRUE(WaitFor([this] { return In("Alive").size() == 2; }));
    EXPECT_EQ(AliveValuesIn(), (std::vector<long long>{-1, 0}));
    std::string strHex = sent["hex"].String();
    for (char& c : strHex)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(strHex, "BF2C03800100");
    EXPECT_EQ(Lobby(), 5u);
}

TEST_F(CVornNetworkSession, ASilentLobbyIsClosedAfterSixtySeconds)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    m_pControl->Hold(44);
    Frame(31.0f);
    Settle();
    EXPECT_EQ(Lobby(), 5u);
    Frame(29.5f);
    EXPECT_EQ(Lobby(), 0u);
    EXPECT_EQ(m_Rec.LobbyStatuses().back(), 0u);
}

// Forty seconds of silence, one message from the server, forty more: still connected; the
// sixty seconds count from the last message.
TEST_F(CVornNetworkSession, ALobbyMessageRestartsTheSilence)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    m_pControl->Hold(44);
    Frame(40.0f);
    ASSERT_TRUE(WaitFor([this] { return In("Alive").size() == 1; })); // the client's keep-alive
    m_pControl->Send("L1", "alive", "[0]");
    ASSERT_TRUE(WaitFor([this] { return In("Alive").size() == 2; })); // the probe taken and answered
    Frame(40.0f);
    Settle();
    EXPECT_EQ(Lobby(), 5u);
    Frame(20.5f);
    EXPECT_EQ(Lobby(), 0u);
}

TEST_F(CVornNetworkSession, TheLoginTimesOutOnceAndALateAnswerIsIgnored)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(ConnectLobby(Session(), m_Rec));
    m_pControl->Hold(6);
    ASSERT_TRUE(Session()->Login(CKorvelString("guest"), CKorvelString("0"), &m_Rec));
    ASSERT_TRUE(WaitFor([this] { return In("Login").size() == 1; }));
    for (int i = 0; i < 3; ++i)
        Frame(13.0f);
    Settle();
    EXPECT_EQ(m_Rec.Count("OnLoginError"), 0);
    Frame(1.0f); // 40.0 s
    EXPECT_EQ(m_Rec.With("OnLoginError"),
              (std::vector<std::string>{"OnLoginError(" + SessionText(12) + ")"}));
    Frame(1.0f);
    m_pControl->Release(6);
    ASSERT_TRUE(WaitForHandled("L1"));
    EXPECT_EQ(m_Rec.Count("OnLoginError"), 1);
    EXPECT_EQ(m_Rec.Count("OnLoggedIn"), 0);
    EXPECT_EQ(Lobby(), 4u);
}

} // namespace
