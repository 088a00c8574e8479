// Delivery to the opponent on the real root state and the manual clock: one event in
// flight, the next only after the front one's acknowledgement, the resend after 10 s,
// acknowledgements that wait or are dropped, and nothing at all in training.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "tests/game/PlayStateFixture.h"

namespace
{
// The root state whose game messages are kept instead of going to the session.
class CRecordingGame : public CStateGame
{
public:
    void SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int uArg3,
                     unsigned int uArg4) override
    {
        m_aSent.emplace_back(pData, pData + uSize);
        m_aArgs.push_back(uArg3 | uArg4);
    }
    std::vector<std::vector<uint8_t>> m_aSent;
    std::vector<unsigned int> m_aArgs;
};

class CMoxPlayStateSending : public CPlayStateTest
{
protected:
    void SetUp() override
    {
        CPlayStateTest::SetUp();
        m_pRecording = new CRecordingGame();
        ASSERT_NO_FATAL_FAILURE(StartPlay(m_pRecording));
        // A network match runs inside a game session; without one the screen leaves.
        m_pGame->m_bSessionEnded = 0;
    }
    // The identifiers of the messages sent so far, in order.
    std::vector<int> SentIds()
    {
        std::vector<int> a;
        for (const std::vector<uint8_t>& m : m_pRecording->m_aSent)
            a.push_back(m.size() >= 12 ? int(MoxGetI32(m.data(), MoxField::ID)) : -1);
        return a;
    }
    // Writes a ready event (sent alone) and gives its identifier.
    int WriteOne()
    {
        m_pPlay->PlayerReady(0);
        return Counter();
    }
    void Acknowledge(int iId)
    {
        sMoxEventBytes ack(EVENT_ACK, iId, -1);
        m_pPlay->m_pAckEvents->AddEvent(EVENT_ACK, ack.m_aBytes, ack.m_iSize, 0);
    }

    CRecordingGame* m_pRecording = nullptr;
};

TEST_F(CMoxPlayStateSending, OneEventIsInFlightAndOnlyItsAcknowledgementLetsTheNextGo)
{
    const int a = WriteOne(), b = WriteOne(), c = WriteOne();
    Step();
    EXPECT_EQ(SentIds(), std::vector<int>({a}));
    EXPECT_EQ(m_pRecording->m_aSent[0].size(), 16u);
    EXPECT_EQ(m_pRecording->m_aArgs[0], 0u);
    EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetNumEvents(), 3);

    // The third one's acknowledgement waits behind the front event.
    Acknowledge(c);
    Step();
    EXPECT_EQ(SentIds(), std::vector<int>({a}));
    EXPECT_EQ(m_pPlay->m_pAckEvents->GetNumEvents(), 1);

    Acknowledge(a);
    Step();
    EXPECT_EQ(SentIds(), std::vector<int>({a, b}));
    EXPECT_EQ(m_pPlay->m_pAckEvents->GetNumEvents(), 1);

    // b's acknowledgement sends c, whose waiting one finishes it in the same frame.
    Acknowledge(b);
    Step();
    EXPECT_EQ(SentIds(), std::vector<int>({a, b, c}));
    EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetNumEvents(), 0);
    EXPECT_EQ(m_pPlay->m_pAckEvents->GetNumEvents(), 0);

    // With nothing to send, stray acknowledgements are dropped.
    Acknowledge(77);
    Acknowledge(78);
    Step();
    EXPECT_EQ(m_pPlay->m_pAckEvents->GetNumEvents(), 0);
    EXPECT_EQ(SentIds().size(), 3u);
}

TEST_F(CMoxPlayStateSending, TheFrontEventIsSentAgainOnlyAfterMoreThanTenSeconds)
{
    const int a = WriteOne();
    const int b = WriteOne();
    Step();
    ASSERT_EQ(SentIds(), std::vector<int>({a}));
    Frame(10000);
    EXPECT_EQ(SentIds(), std::vector<int>({a})) << "exactly 10,000 ms is not enough";
    Step();
    EXPECT_EQ(SentIds(), std::vector<int>({a, a})) << "the resend is the front event, not the next";
    Frame(5000);
    EXPECT_EQ(SentIds().size(), 2u);
    Acknowledge(a);
    Step();
    EXPECT_EQ(SentIds(), std::vector<int>({a, a, b}));
}

TEST_F(CMoxPlayStateSending, TrainingSendsNothingAndKeepsBothQueuesEmpty)
{
    m_pPlay->SetSinglePlayerMode(1);
    WriteOne();
    WriteOne();
    Acknowledge(5);
    for (int i = 0; i < 3; ++i)
    {
        Step();
        EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetNumEvents(), 0);
        EXPECT_EQ(m_pPlay->m_pAckEvents->GetNumEvents(), 0);
    }
    Frame(20000);
    EXPECT_TRUE(m_pRecording->m_aSent.empty());
}
} // namespace
