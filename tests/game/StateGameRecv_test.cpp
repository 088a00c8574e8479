// The receive side of the delivery on one instance of the match harness, fed by hand:
// what is answered, what is applied, what is remembered.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/MoxEvent.h"
#include "game/MoxEventWire.h"
#include "game/MoxGameMessage.h"
#include "game/MoxPlayState.h"
#include "game/MoxScene.h"
#include "game/MoxTurnPack.h"
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

const int kFire = 1;          // the selected action
const float kKillAim = 0.12f; // on the harness's floor: A's shot that drops B into the water

int DamageSize()
{
    return MoxEventForm(EVENT_PLAYER_DAMAGE)->iSize;
}

// One point of damage to that player, played back at the turn's start.
std::vector<uint8_t> Damage(int iId, int iPlayer)
{
    std::vector<uint8_t> a = Message(EVENT_PLAYER_DAMAGE, iId, 0, DamageSize());
    a[MoxField::DAMAGE_PLAYER] = uint8_t(iPlayer);
    MoxPutI32(a.data(), MoxField::DAMAGE_AMOUNT, 1);
    return a;
}

// A turn pack of that size: the events first, each behind its type byte, then filler
// bytes, then the last event ending right before the two end bytes.
std::vector<uint8_t> Pack(int iId, size_t uSize, const std::vector<std::vector<uint8_t>>& aEvents,
                          const std::vector<uint8_t>& aLast)
{
    std::vector<uint8_t> a = Message(EVENT_TURN_PACK, iId, -1, TURN_PACK_HEADER);
    for (const std::vector<uint8_t>& e : aEvents)
    {
        a.push_back(e[0]);
        a.insert(a.end(), e.begin(), e.end());
    }
    a.resize(uSize - 3 - aLast.size(), 0); // type 0 is no event: stepped over byte by byte
    a.push_back(aLast[0]);
    a.insert(a.end(), aLast.begin(), aLast.end());
    a.push_back(TURN_PACK_END);
    a.push_back(TURN_PACK_END);
    return a;
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
    struct sCASE
    {
        const char* pName;
        std::vector<uint8_t> aBytes;
        bool bAnswered;
    };
    const sCASE aCases[] = {
        {"time stamp -5", Message(EVENT_PLAYER_DAMAGE, 700001, -5, DamageSize()), false},
        {"unknown type", Message(99, 700002, -1, 40), true},
        {"known type cut short", Message(EVENT_PLAYER_DAMAGE, 700003, -1, DamageSize() - 1), true},
        {"turn pack without its ends", Message(EVENT_TURN_PACK, 700004, -1, 17), true},
        {"shorter than a header", Message(EVENT_PLAYER_DAMAGE, 700005, -1, 11), false},
        {"longer than the network's largest", Message(EVENT_PLAYER_DAMAGE, 700006, -1, 65553), false},
    };
    for (const sCASE& c : aCases)
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
    // A turn's first moment is stamped 0: played back like any other.
    Receive(Message(EVENT_PLAYER_DAMAGE, 700008, 0, DamageSize()));
    ASSERT_EQ(Play().m_pPlaybackEvents->GetNumEvents(), iPlayback + 2);
    EXPECT_EQ(Play().m_pPlaybackEvents->GetEvent(iPlayback + 1)->m_iTimeStamp, 0);
    Receive(Message(EVENT_ACK, 42, -1, 12));
    EXPECT_EQ(Play().m_pAckEvents->GetNumEvents(), iAcks + 1);
    EXPECT_EQ(Acks().size() - uBefore, 2u);
}

TEST_F(CStateGameRecv, ATurnPackOutsideTheOpponentsTurnIsAnsweredAndNotUnpacked)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    ASSERT_EQ(Play().m_ePlayState, PLAYSTATE_OWN_TURN);
    const int iPlayback = Play().m_pPlaybackEvents->GetNumEvents();
    Receive(Pack(500001, 200, {Damage(500002, 0)}, Damage(500003, 0)));
    for (int i = 0; i < 5; ++i)
        m_Harness.Frame();
    EXPECT_EQ(Acks(), (std::vector<int>{500001}));
    EXPECT_EQ(Play().m_bTurnPackReceived, 0u);
    EXPECT_EQ(Play().m_pPlaybackEvents->GetNumEvents(), iPlayback);
    EXPECT_EQ(Play().m_pLiveScene->m_Players[0].m_iHealth, 100);
}

// The largest message the network carries, taken by the side watching the other's turn.
TEST_F(CStateGameRecv, AFullSizePackIsUnpackedAndReplayedWithinItsBounds)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    const int kA = CMatchHarness::SIDE_A;
    CMoxPlayState& watcher = *m_Harness.Play(kA);
    ASSERT_EQ(watcher.m_ePlayState, PLAYSTATE_OPPONENT_TURN);
    const size_t uSent = m_Harness.m_aLink[kA].aSentBytes.size();
    const std::vector<uint8_t> aPack =
        Pack(400001, MOX_RECV_MAX_SIZE, {Damage(400002, 1), Damage(400003, 1), Damage(400004, 1)},
             Damage(400005, 1));
    ASSERT_EQ(aPack.size(), 65552u);
    m_Harness.Game(kA).RecvGameMsg(aPack.data(), (unsigned int)aPack.size());
    ASSERT_GT(m_Harness.m_aLink[kA].aSentBytes.size(), uSent);
    const std::vector<uint8_t>& ack = m_Harness.m_aLink[kA].aSentBytes[uSent];
    EXPECT_EQ(ack.size(), 12u);
    EXPECT_EQ(MoxGetI32(ack.data(), MoxField::ID), 400001);
    for (int i = 0; i < 30; ++i)
        m_Harness.Frame();
    EXPECT_EQ(watcher.m_bTurnPackReceived, 1u);
    // The four events, the last one ending right at the end bytes, and nothing more.
    EXPECT_EQ(watcher.m_pLiveScene->m_Players[1].m_iHealth, 96);
    EXPECT_EQ(watcher.m_pLiveScene->m_Players[0].m_iHealth, 100);
}

// A peer that floods B with messages no real opponent sends: B takes in exactly its budget at
// once and no more, keeps no more acknowledgements than that, answers at most the budget a
// second however long the flood, tells of it in a line now and then instead of a line each;
// the match then plays on to the end that both agree on.
TEST_F(CStateGameRecv, AFloodIsTakenInNoFasterThanTheBudgetAndTheMatchPlaysOn)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    const int kUnknown = 99;
    const int kFloodFrames = 150;
    const int kPerFrame = 500;
    int iId = 300000;
    m_Harness.m_Clock.Advance(1000); // a quiet second: the whole budget is there
    ::testing::internal::CaptureStderr();

    for (int i = 0; i < MOX_RECV_BUDGET; ++i)
        Receive(Message(kUnknown, iId++, -1, 12));
    EXPECT_EQ(Acks().size(), size_t(MOX_RECV_BUDGET)) << "exactly the budget: every one answered";
    Receive(Message(kUnknown, iId++, -1, 12));
    Receive(Message(EVENT_PLAYER_DAMAGE, 300000 - 1, -1, DamageSize()));
    EXPECT_EQ(Acks().size(), size_t(MOX_RECV_BUDGET)) << "one past the budget: not answered";
    EXPECT_EQ(NewLocal(), 0) << "nor applied: lost on the way";

    // A second's worth of acknowledgements each second, and no frame to consume them.
    uint64_t uFloodMs = 0;
    for (int iSecond = 0; iSecond < 4; ++iSecond)
    {
        m_Harness.m_Clock.Advance(1000);
        uFloodMs += 1000;
        for (int i = 0; i < MOX_RECV_BUDGET; ++i)
            Receive(Message(EVENT_ACK, iId++, -1, 12));
    }
    EXPECT_EQ(Play().m_pAckEvents->GetNumEvents(), MOX_RECV_BUDGET);

    const size_t uBefore = Acks().size();
    for (int iFrame = 0; iFrame < kFloodFrames; ++iFrame)
    {
        for (int i = 0; i < kPerFrame; ++i)
            Receive(Message(kUnknown, iId++, -1, 12));
        m_Harness.Frame(33);
        uFloodMs += 33;
    }
    EXPECT_LE(Acks().size() - uBefore, size_t(MOX_RECV_BUDGET + MOX_RECV_BUDGET * uFloodMs / 1000));
    EXPECT_EQ(NewLocal(), 0);

    const std::string strErrors = ::testing::internal::GetCapturedStderr();
    const size_t uLines = size_t(std::count(strErrors.begin(), strErrors.end(), '\n'));
    EXPECT_GE(uLines, 1u) << "the flood is told";
    EXPECT_LE(uLines, size_t(1 + uFloodMs / MOX_RECV_REPORT_MS)) << strErrors.substr(0, 2000);

    // B (first) misses into the water, A's first shot drops B into it.
    m_Harness.m_aScript[CMatchHarness::SIDE_B] = {sMatchTurn{false, kFire, -0.15f, -0.25f}};
    m_Harness.m_aScript[CMatchHarness::SIDE_A] = {sMatchTurn{false, kFire, -kKillAim, -kKillAim}};
    ASSERT_TRUE(m_Harness.RunMatch()) << m_Harness.Report();
    EXPECT_EQ(m_Harness.CompareLogs(), "") << m_Harness.Report();
    for (int iSide = 0; iSide < 2; ++iSide)
    {
        EXPECT_EQ(m_Harness.Play(iSide)->m_ePlayState, PLAYSTATE_GAME_OVER) << iSide;
        EXPECT_EQ(m_Harness.Play(iSide)->m_iResult, 0) << "A won, side " << iSide;
    }
}

TEST_F(CStateGameRecv, WithoutAMatchScreenNothingIsAnswered)
{
    Receive(Message(EVENT_PLAYER_DAMAGE, 600001, -1, DamageSize()));
    EXPECT_TRUE(m_Harness.m_aLink[kB].aSentBytes.empty());
}
} // namespace
