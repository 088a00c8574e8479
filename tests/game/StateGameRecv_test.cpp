// The receive side of the delivery on one instance of the match harness, fed by hand:
// what is answered, what is applied, what is remembered.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <vector>

#include "game/MoxEvent.h"
#include "game/MoxEventWire.h"
#include "game/MoxPlayState.h"
#include "support/MatchHarness.h"

namespace
{
std::vector<uint8_t> Message(int iType, int iId, int iTime, int iSize)
{
    std::vector<uint8_t> a(size_t(iSize > 0 ? iSize : 0), 0);
    unsigned char aHeader[12] = {};
    aHeader[0] = uint8_t(iType);
    MoxPutI32(aHeader, MoxField::ID, iId);
    MoxPutI32(aHeader, MoxField::TIME, iTime);
    for (size_t u = 0; u < a.size() && u < 12; ++u)
        a[u] = aHeader[u];
    return a;
}

int DamageSize()
{
    return MoxEventForm(EVENT_PLAYER_DAMAGE)->iSize;
}

class CStateGameRecv : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_Harness.Start(3)); }
    void StartMatch()
    {
        m_Harness.StartMatch();
        for (int i = 0; i < 300 && !(m_Harness.Play(0)->m_bStarted && m_Harness.Play(1)->m_bStarted); ++i)
            m_Harness.Frame();
        ASSERT_TRUE(m_Harness.Play(kB)->m_bStarted);
        m_iLocal = Play().m_pLocalEvents->GetNumEvents();
        m_uSent = m_Harness.m_aLink[kB].aSentBytes.size();
    }
    void Receive(const std::vector<uint8_t>& a)
    {
        m_Harness.Game(kB).RecvGameMsg(a.data(), (unsigned int)a.size());
    }
    CMoxPlayState& Play() { return *m_Harness.Play(kB); }
    // The identifiers B acknowledged since the match started.
    std::vector<int> Acks()
    {
        std::vector<int> a;
        const auto& sent = m_Harness.m_aLink[kB].aSentBytes;
        for (size_t u = m_uSent; u < sent.size(); ++u)
            if (sent[u].size() == 12 && sent[u][0] == EVENT_ACK)
                a.push_back(MoxGetI32(sent[u].data(), MoxField::ID));
        return a;
    }
    int NewLocal() { return Play().m_pLocalEvents->GetNumEvents() - m_iLocal; }

    static const int kB = CMatchHarness::SIDE_B;
    CMatchHarness m_Harness;
    int m_iLocal = 0;
    size_t m_uSent = 0;
};

TEST_F(CStateGameRecv, ARepeatIsAnsweredAgainAndAppliedOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Receive(Message(EVENT_PLAYER_DAMAGE, 900001, -1, DamageSize()));
    Receive(Message(EVENT_PLAYER_DAMAGE, 900001, -1, DamageSize()));
    EXPECT_EQ(NewLocal(), 1);
    EXPECT_EQ(Acks(), (std::vector<int>{900001, 900001}));
}

TEST_F(CStateGameRecv, AnIdentifierPushedOutByNewerOnesIsAppliedAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Receive(Message(EVENT_PLAYER_DAMAGE, 800000, -1, DamageSize()));
    for (int i = 1; i <= 101; ++i)
        Receive(Message(EVENT_PLAYER_DAMAGE, 800000 + i, -1, DamageSize()));
    EXPECT_LE(Play().m_aReceivedIds.GetCount(), 101);
    Receive(Message(EVENT_PLAYER_DAMAGE, 800000, -1, DamageSize()));
    EXPECT_EQ(NewLocal(), 103);
    // One still remembered is not.
    Receive(Message(EVENT_PLAYER_DAMAGE, 800101, -1, DamageSize()));
    EXPECT_EQ(NewLocal(), 103);
    EXPECT_EQ(Acks().size(), 104u);
}

TEST_F(CStateGameRecv, WhatIsAnsweredAndWhatIsTaken)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    const int iPlayback = Play().m_pPlaybackEvents->GetNumEvents();
    const int iAcks = Play().m_pAckEvents->GetNumEvents();
    struct sCase
    {
        const char* pName;
        std::vector<uint8_t> aBytes;
        bool bAnswered;
    };
    const sCase aCases[] = {
        {"time stamp -5", Message(EVENT_PLAYER_DAMAGE, 700001, -5, DamageSize()), false},
        {"unknown type", Message(99, 700002, -1, 40), true},
        {"known type cut short", Message(EVENT_PLAYER_DAMAGE, 700003, -1, DamageSize() - 1), true},
        {"turn pack without its ends", Message(EVENT_TURN_PACK, 700004, -1, 17), true},
        {"shorter than a header", Message(EVENT_PLAYER_DAMAGE, 700005, -1, 11), false},
        {"longer than the network's largest", Message(EVENT_PLAYER_DAMAGE, 700006, -1, 65553), false},
    };
    for (const sCase& c : aCases)
    {
        const size_t uBefore = Acks().size();
        Receive(c.aBytes);
        EXPECT_EQ(Acks().size() - uBefore, c.bAnswered ? 1u : 0u) << c.pName;
    }
    EXPECT_EQ(NewLocal(), 0);
    EXPECT_EQ(Play().m_pPlaybackEvents->GetNumEvents(), iPlayback);
    // The cut-short one is not remembered: whole, it is taken.
    Receive(Message(EVENT_PLAYER_DAMAGE, 700003, -1, DamageSize()));
    EXPECT_EQ(NewLocal(), 1);
    // A time stamp goes to the playback queue with the record; an acknowledgement waits
    // for the delivery unanswered.
    const size_t uBefore = Acks().size();
    Receive(Message(EVENT_PLAYER_DAMAGE, 700007, 1500, DamageSize()));
    ASSERT_EQ(Play().m_pPlaybackEvents->GetNumEvents(), iPlayback + 1);
    EXPECT_EQ(Play().m_pPlaybackEvents->GetEvent(iPlayback)->m_iTimeStamp, 1500);
    Receive(Message(EVENT_ACK, 42, -1, 12));
    EXPECT_EQ(Play().m_pAckEvents->GetNumEvents(), iAcks + 1);
    EXPECT_EQ(Acks().size() - uBefore, 1u);
}

TEST_F(CStateGameRecv, WithoutAMatchScreenNothingIsAnswered)
{
    Receive(Message(EVENT_PLAYER_DAMAGE, 600001, -1, DamageSize()));
    EXPECT_TRUE(m_Harness.m_aLink[kB].aSentBytes.empty());
}
} // namespace
