// The session without a server: the status word, the observer sets, the digests and
// generated passwords, the HTTP query, and the framing fed straight into the engine
// observers (every cut of a stream, the largest game message, lengths it refuses).
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/asn1/ASN1.h"
#include "support/SessionServerTest.h"
#include "support/TestGameState.h"
#include "support/TestText.h"

namespace
{

typedef std::vector<unsigned char> Bytes;

// Logs status calls with the observer's number, to see the order the set keeps.
class COrderedObserver : public ::CVornNetworkSession::StatusObserver
{
public:
    COrderedObserver(std::vector<std::string>& log, int iNumber) : m_Log(log), m_iNumber(iNumber) {}
    void OnLobbyStatusChanged(::CVornNetworkSession*, unsigned int u) override
    {
        m_Log.push_back(std::to_string(m_iNumber) + ":lobby " + std::to_string(u));
    }
    void OnGameStatusChanged(::CVornNetworkSession*, unsigned int u) override
    {
        m_Log.push_back(std::to_string(m_iNumber) + ":game " + std::to_string(u));
    }
    void OnNotification(::CVornNetworkSession*, int, int, const CKorvelString&) override {}

private:
    std::vector<std::string>& m_Log;
    int m_iNumber;
};

TEST(CVornNetworkSession, StatusChangesTellOnlyTheByteThatChanged)
{
    ::CVornNetworkSession session;
    std::vector<std::string> log;
    COrderedObserver observer(log, 0);
    session.AddStatusObserver(&observer);
    struct sCASE
    {
        unsigned int uWord;
        std::vector<std::string> aCalls;
    };
    const sCASE aCases[] = {
        {0x000, {}},
        {0x002, {"0:lobby 2"}},
        {0x102, {"0:game 256"}},
        {0x102, {}},
        {0x005, {"0:lobby 5", "0:game 0"}},
        {0x105, {"0:game 256"}},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.uWord);
        log.clear();
        session.SetStatus(c.uWord);
        EXPECT_EQ(log, c.aCalls);
        EXPECT_EQ(session.GetStatus(), c.uWord);
    }
    log.clear();
    session.SetGameStatus(0);
    session.SetLobbyStatus(3);
    EXPECT_EQ(log, (std::vector<std::string>{"0:game 0", "0:lobby 3"}));
}

TEST(CVornNetworkSession, ObserverSetsKeepPointerOrderAndDuplicates)
{
    ::CVornNetworkSession session;
    std::vector<std::string> log;
    std::vector<COrderedObserver> observers;
    for (int i = 0; i < 3; ++i)
        observers.emplace_back(log, i); // ascending addresses in one block
    session.AddStatusObserver(&observers[2]);
    session.AddStatusObserver(&observers[0]);
    session.AddStatusObserver(&observers[1]);
    session.AddStatusObserver(&observers[0]);
    session.AddStatusObserver(nullptr);
    session.SetLobbyStatus(1);
    EXPECT_EQ(log, (std::vector<std::string>{"0:lobby 1", "0:lobby 1", "1:lobby 1", "2:lobby 1"}));

    log.clear();
    session.RemoveStatusObserver(&observers[0]);
    session.RemoveStatusObserver(&observers[1]);
    session.RemoveStatusObserver(&observers[1]); // absent now
    session.SetLobbyStatus(2);
    EXPECT_EQ(log, (std::vector<std::string>{"0:lobby 2", "2:lobby 2"}));
}

TEST(CVornNetworkSession, PasswordHashAndGeneratedPasswords)
{
    EXPECT_EQ(
        Narrow(::CVornNetworkSession::GeneratePasswordHash(CKorvelString("secret"), CKorvelString("k3y9"))),
        "8b0d8892a73653d81ca7ae49cc4c9be0");
    const std::string strAlphabet = "AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz0123456789-_";
    for (unsigned int uSeed = 0; uSeed < 50; ++uSeed)
    {
        const std::string strFixed = Narrow(::CVornNetworkSession::GenerateRandomPassword(6, 6, uSeed));
        EXPECT_EQ(strFixed.size(), 6u);
        EXPECT_EQ(strFixed.find_first_not_of(strAlphabet), std::string::npos) << strFixed;
        const size_t uRanged = ::CVornNetworkSession::GenerateRandomPassword(4, 9, uSeed).GetLength();
        EXPECT_GE(uRanged, 4u);
        EXPECT_LE(uRanged, 9u);
    }
}

// A started application whose session is real, without a server.
class CStartedSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_App.WritePacks(false));
        ASSERT_EQ(m_App.Start(), KE_OK);
        ASSERT_TRUE(m_App.RunSplash());
        m_pSession = m_App.GetNetworkSession();
        ASSERT_NE(m_pSession, nullptr);
        m_pSession->AddGameObserver(&m_Rec);
        m_pSession->AddStatusObserver(&m_Rec);
    }
    // Feeds the stream to one connection's observer in pieces that end at the cuts.
    void Feed(bool bGame, const Bytes& stream, const std::vector<size_t>& aCuts)
    {
        size_t uFrom = 0;
        std::vector<size_t> aEnds = aCuts;
        aEnds.push_back(stream.size());
        for (size_t uTo : aEnds)
        {
            if (uTo <= uFrom)
                continue;
            if (bGame)
                m_pSession->GameSocketEngineDataReceived(stream.data() + uFrom,
                                                         static_cast<int>(uTo - uFrom));
            else
                m_pSession->SocketEngineDataReceived(stream.data() + uFrom, static_cast<int>(uTo - uFrom));
            uFrom = uTo;
        }
    }
    static Bytes Chat(const char* pText, int iSender)
    {
        ::CVornNetworkSession::sCHATMSG chat;
        chat.m_iType = 2;
        chat.m_strText.Set(pText);
        chat.m_iSender = iSender;
        CASN1ChatMessage message(chat);
        Bytes bytes(message.Encode(nullptr, 0));
        message.Encode(bytes.data(), static_cast<int>(bytes.size()));
        return bytes;
    }
    static Bytes GameMessage(const Bytes& payload)
    {
        // Built by hand: the writer refuses payloads above the limit.
        Bytes content = {0x80};
        unsigned char aLength[8];
        int iHeader = CASN1::EncodeLength(aLength, static_cast<int>(payload.size()));
        content.insert(content.end(), aLength, aLength + iHeader);
        content.insert(content.end(), payload.begin(), payload.end());
        Bytes message = {0xAD};
        iHeader = CASN1::EncodeLength(aLength, static_cast<int>(content.size()));
        message.insert(message.end(), aLength, aLength + iHeader);
        message.insert(message.end(), content.begin(), content.end());
        return message;
    }

    CSessionRecorder m_Rec;
    CSessionTestApplication m_App;
    ::CVornNetworkSession* m_pSession = nullptr;
};

class CVornNetworkSessionStarted : public CStartedSession
{
};

TEST_F(CVornNetworkSessionStarted, LoginCheckAndQueryFromTheApplicationsIdentity)
{
    EXPECT_EQ(Narrow(m_pSession->GetHttpQuery()), "&game=64&rid=bb");
    CKorvelString strExpected;
    strExpected.Format(L"0%s%s0", CKorvelString(CTestGameState::SECRET).GetBuffer(),
                       m_App.GetDevice()->GetDeviceInfo().m_strIMEI.GetBuffer());
    GenerateMD5(strExpected);
    EXPECT_EQ(Narrow(m_pSession->GetLoginCheck()), Narrow(strExpected));
    EXPECT_EQ(m_pSession->GetLoginCheck().GetLength(), 32);
    EXPECT_EQ(m_pSession->Startup(nullptr, nullptr), 0);
}

TEST_F(CVornNetworkSessionStarted, EveryCutOfAStreamDeliversEachMessageOnceInOrder)
{
    Bytes stream = Chat("first", 7);
    const Bytes second = Chat(std::string(300, 'x').c_str(), 8); // a long length form
    stream.insert(stream.end(), second.begin(), second.end());
    std::vector<std::string> aExpected = {"2,first,7,1", "2," + std::string(300, 'x') + ",8,1"};
    for (size_t uCut = 1; uCut < stream.size(); ++uCut)
    {
        SCOPED_TRACE(uCut);
        m_App.m_aChat.clear();
        Feed(false, stream, {uCut});
        ASSERT_EQ(m_App.m_aChat, aExpected);
    }
    // One byte at a time.
    m_App.m_aChat.clear();
    std::vector<size_t> aEvery;
    for (size_t u = 1; u < stream.size(); ++u)
        aEvery.push_back(u);
    Feed(false, stream, aEvery);
    EXPECT_EQ(m_App.m_aChat, aExpected);
}

TEST_F(CVornNetworkSessionStarted, GameMessagesUpToTheLimitArriveAndLargerOnesAreRefused)
{
    Bytes largest(CASN1::MAX_GAME_MESSAGE_PAYLOAD);
    for (size_t u = 0; u < largest.size(); ++u)
        largest[u] = static_cast<unsigned char>(u * 31 + 5);
    const Bytes small = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Bytes stream = GameMessage(largest);
    const Bytes tail = GameMessage(small);
    stream.insert(stream.end(), tail.begin(), tail.end());
    Feed(true, stream, {3, 40000, 65536, stream.size() - 5});
    ASSERT_EQ(m_Rec.m_aGameMessages.size(), 2u);
    EXPECT_TRUE(m_Rec.m_aGameMessages[0] == largest);
    EXPECT_EQ(m_Rec.m_aGameMessages[1], small);

    // One byte over: no call, and the next message on the connection still arrives.
    m_Rec.m_aGameMessages.clear();
    Bytes over = GameMessage(Bytes(CASN1::MAX_GAME_MESSAGE_PAYLOAD + 1, 9));
    over.insert(over.end(), tail.begin(), tail.end());
    Feed(true, over, {100, 70000});
    ASSERT_EQ(m_Rec.m_aGameMessages.size(), 1u);
    EXPECT_EQ(m_Rec.m_aGameMessages[0], small);
}

TEST_F(CVornNetworkSessionStarted, UnreadableLengthsDropTheRestOfTheConnectionsData)
{
    const Bytes chat = Chat("after", 3);
    struct sCASE
    {
        const char* pWhy;
        Bytes header;
    };
    const sCASE aCases[] = {
        {"above 16 MiB", {0xBF, 0x40, 0x84, 0x01, 0x00, 0x00, 0x01}},
        {"five length bytes", {0xA5, 0x85, 0x00, 0x00, 0x00, 0x00, 0x01}},
        {"2^31 or more", {0xA5, 0x84, 0x80, 0x00, 0x00, 0x00}},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pWhy);
        for (bool bSplit : {false, true})
        {
            m_App.m_aChat.clear();
            Bytes stream = c.header;
            stream.insert(stream.end(), chat.begin(), chat.end());
            Feed(false, stream, bSplit ? std::vector<size_t>{2} : std::vector<size_t>{});
            EXPECT_EQ(m_App.m_aChat, std::vector<std::string>());
            // The next chunk starts clean.
            Feed(false, chat, {});
            EXPECT_EQ(m_App.m_aChat, std::vector<std::string>{"2,after,3,1"});
        }
    }
}

} // namespace
