// Two game instances in one process play whole matches over the fake transport.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "game/MoxPlayState.h"
#include "support/MatchHarness.h"

namespace
{
const int kJump = 0; // the selected action of a jump

sMatchTurn Act(int iAction, float x, float y)
{
    sMatchTurn turn;
    turn.bWait = false;
    turn.iAction = iAction;
    turn.fAimX = x;
    turn.fAimY = y;
    return turn;
}

class CStateGameNetworkedMatch : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_Harness.Start(7)); }

    void ExpectAgreement()
    {
        EXPECT_EQ(m_Harness.CompareLogs(), "") << m_Harness.Report();
        ASSERT_NE(m_Harness.Play(0), nullptr);
        ASSERT_NE(m_Harness.Play(1), nullptr);
        EXPECT_EQ(m_Harness.Play(0)->m_iResult, m_Harness.Play(1)->m_iResult);
    }
    // Neither side's delivery sent an event twice.
    void ExpectNoResend()
    {
        for (int i = 0; i < 2; ++i)
            for (const auto& sends : m_Harness.m_aLink[i].aSendTimes)
                EXPECT_EQ(sends.second.size(), 1u) << "side " << i << " event " << sends.first;
    }
    // Every resend of an event more than 10 s after its previous send.
    void ExpectPatientResends()
    {
        for (int i = 0; i < 2; ++i)
            for (const auto& sends : m_Harness.m_aLink[i].aSendTimes)
                for (size_t u = 1; u < sends.second.size(); ++u)
                    EXPECT_GT(sends.second[u] - sends.second[u - 1], 10000u) << "side " << i << " event " << sends.first;
    }
    void ExpectReported(int iSide, std::vector<int> aRanks, unsigned int uLeaving)
    {
        const auto& results = m_Harness.Game(iSide).m_aResults;
        ASSERT_EQ(results.size(), 1u) << iSide;
        EXPECT_EQ(results[0].aPlayers, (std::vector<int>{CMatchHarness::USER_A, CMatchHarness::USER_B})) << iSide;
        EXPECT_EQ(results[0].aResults, aRanks) << iSide;
        EXPECT_EQ(results[0].uLeaving, uLeaving) << iSide;
    }
    // A jumps on the spot every turn; B only lets its clock run out.
    void ScriptTimeOuts()
    {
        for (int i = 0; i < 10; ++i)
            m_Harness.m_aScript[CMatchHarness::SIDE_A].push_back(Act(kJump, 0.0f, 0.01f));
    }

    CMatchHarness m_Harness;
};

TEST_F(CStateGameNetworkedMatch, BNeverActingLosesByTimeOuts)
{
    ScriptTimeOuts();
    m_Harness.StartMatch();
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectAgreement();
    ExpectNoResend();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(m_Harness.Play(i)->m_ePlayState, PLAYSTATE_GAME_OVER) << i;
    ExpectReported(CMatchHarness::SIDE_A, {1, 2}, 0);
    ExpectReported(CMatchHarness::SIDE_B, {1, 2}, 0);
}

TEST_F(CStateGameNetworkedMatch, ALeavingGivesBTheWin)
{
    m_Harness.StartMatch();
    for (int i = 0; i < 300 && !(m_Harness.Play(0)->m_bStarted && m_Harness.Play(1)->m_bStarted); ++i)
        m_Harness.Frame();
    m_Harness.Play(CMatchHarness::SIDE_A)->LeaveGame();
    for (int i = 0; i < 30; ++i)
        m_Harness.Frame();
    m_Harness.Disconnect(CMatchHarness::SIDE_B);
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectReported(CMatchHarness::SIDE_A, {2, 1}, 1);
    // B took A's game end before the server's word: it reports itself the winner.
    for (const auto& results : m_Harness.Game(CMatchHarness::SIDE_B).m_aResults)
        EXPECT_EQ(results.aResults, (std::vector<int>{2, 1}));
    EXPECT_EQ(m_Harness.Play(CMatchHarness::SIDE_B)->m_bOpponentLeft, 1u);
    EXPECT_EQ(m_Harness.Play(CMatchHarness::SIDE_B)->m_iResult, 1);
}

TEST_F(CStateGameNetworkedMatch, ALostConnectionEndsTheMatchOnBoth)
{
    m_Harness.StartMatch();
    for (int i = 0; i < 300 && !(m_Harness.Play(0)->m_bStarted && m_Harness.Play(1)->m_bStarted); ++i)
        m_Harness.Frame();
    m_Harness.Disconnect(-1);
    ASSERT_TRUE(m_Harness.RunMatch());
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(m_Harness.Play(i)->m_ePlayState, PLAYSTATE_GAME_OVER) << i;
        EXPECT_EQ(m_Harness.Play(i)->m_bEndSettled, 1u) << i;
        EXPECT_EQ(m_Harness.Play(i)->m_bEndScreen, 1u) << i;
    }
}

// Loss, duplicates and delays that let copies overtake, on irregular frames.
class CStateGameNetworkedMatchLossy : public CStateGameNetworkedMatch, public ::testing::WithParamInterface<unsigned int>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Harness.Start(GetParam()));
        for (sMatchLink& link : m_Harness.m_aLink)
        {
            link.fLoss = 0.2;
            link.fDuplicate = 0.2;
            link.uDelayMin = 0;
            link.uDelayMax = 2000;
        }
        m_Harness.m_bIrregularFrames = true;
    }
};

TEST_P(CStateGameNetworkedMatchLossy, TimeOutsAgreeOnAPoorNetwork)
{
    ScriptTimeOuts();
    m_Harness.StartMatch();
    ASSERT_TRUE(m_Harness.RunMatch(3600000));
    ExpectAgreement();
    ExpectPatientResends();
    EXPECT_GT(m_Harness.m_aLink[0].iDuplicated + m_Harness.m_aLink[1].iDuplicated, 0);
    EXPECT_GT(m_Harness.m_aLink[0].iLost + m_Harness.m_aLink[1].iLost, 0);
    ExpectReported(CMatchHarness::SIDE_A, {1, 2}, 0);
    ExpectReported(CMatchHarness::SIDE_B, {1, 2}, 0);
}

// Bytes no device should send, between the real messages both ways.
TEST_F(CStateGameNetworkedMatch, MalformedTrafficChangesNothing)
{
    auto Raw = [](int iType, int iSize, std::vector<std::pair<int, uint8_t>> aBytes) {
        static int s_iId = 5000000;
        std::vector<uint8_t> a(size_t(iSize), 0);
        const int iId = ++s_iId;
        const int aHeader[3] = {iType, iId, -1};
        for (int k = 0; k < 12 && k < iSize; ++k)
            a[size_t(k)] = uint8_t(aHeader[k / 4] >> (8 * (k % 4)));
        for (const auto& b : aBytes)
            if (b.first < iSize)
                a[size_t(b.first)] = b.second;
        return a;
    };
    const std::vector<std::vector<uint8_t>> aJunk = {
        {27, 0, 0},                                      // shorter than a header
        Raw(27, 20, {}),                                 // cut short
        Raw(99, 30, {}),                                 // unknown
        Raw(27, 24, {{8, 0xFB}}),                        // time stamp -5 (low byte)
        Raw(27, 24, {{12, 0xFF}}),                       // player -1
        Raw(21, 16, {{12, 2}}),                          // player 2
        Raw(23, 28, {{12, 127}}),                        // player 127
        Raw(33, 16, {{14, 0xFF}}),                       // slot -1
        Raw(33, 16, {{14, 32}}),                         // slot 32
        Raw(77, 64, {{13, 127}}),                        // item count 127
        Raw(30, 16, {{13, 9}}),                          // projectile type 9
        Raw(43, 40, {{12, 1}, {16, 27}}),                // a pack whose last event is cut
        Raw(43, 40, {{16, 99}, {17, 24}}),               // a pack with a mismatched inner type
    };
    ScriptTimeOuts();
    m_Harness.StartMatch();
    size_t u = 0;
    for (int i = 0; i < 2000 && u < aJunk.size() * 2; ++i)
    {
        m_Harness.Frame();
        if (i % 40 == 20)
        {
            m_Harness.Inject(u % 2, aJunk[u / 2]);
            ++u;
        }
    }
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectAgreement();
    ExpectReported(CMatchHarness::SIDE_A, {1, 2}, 0);
    ExpectReported(CMatchHarness::SIDE_B, {1, 2}, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, CStateGameNetworkedMatchLossy, ::testing::Values(11u, 23u, 37u));
} // namespace
