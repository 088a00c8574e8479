// Two game instances in one process play whole matches over the fake transport.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "game/MoxPlayState.h"
#include "support/MatchHarness.h"

namespace
{
class CStateGameNetworkedMatch : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_Harness.Start(7)); }

    // Both logs agree and neither side's delivery sent anything twice.
    void ExpectCleanAgreement()
    {
        EXPECT_EQ(m_Harness.CompareLogs(), "") << m_Harness.Report();
        for (int i = 0; i < 2; ++i)
            for (const auto& sends : m_Harness.m_aLink[i].aSendTimes)
                EXPECT_EQ(sends.second.size(), 1u) << "side " << i << " event " << sends.first;
    }

    CMatchHarness m_Harness;
};

TEST_F(CStateGameNetworkedMatch, BNeverActingLosesByTimeOuts)
{
    m_Harness.StartMatch();
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectCleanAgreement();
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_NE(m_Harness.Play(i), nullptr);
        EXPECT_EQ(m_Harness.Play(i)->m_ePlayState, PLAYSTATE_GAME_OVER) << i;
    }
}
} // namespace
