// The root state with the real match screen: the training hand-over and the scene marked
// cleared when a won training match is removed.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <string>

#include "tests/game/PlayFlowFixture.h"

namespace
{
class CStateGameMatch : public CPlayFlowTest
{
};

TEST_F(CStateGameMatch, TheHandOverStartsTheChosenTrainingSceneInTheOwnTurn)
{
    ASSERT_NO_FATAL_FAILURE(HandOver(4));
    EXPECT_EQ(m_pPlay->m_bSinglePlayer, 1u);
    EXPECT_EQ(m_pPlay->GetCurrentSceneIndex(), 4);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
    EXPECT_EQ(m_pPlay->m_iOwnPlayer, 0);
    EXPECT_EQ(m_pPlay->m_iTurnPlayer, 0);
    EXPECT_EQ(m_pPlay->m_bMaster, 1u);
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"3"}));
}

TEST_F(CStateGameMatch, AWonTrainingMatchMarksExactlyItsScene)
{
    ASSERT_NO_FATAL_FAILURE(HandOver(7));
    HoldBoth();
    FramesUntil([&] { return m_pPlay->m_bStarted != 0; });
    ASSERT_LT(EndTrainingRound(true, false), 500);
    m_pPlay->OnBackButton();
    FramesUntil([&] { return m_pGame->GetState(STATE_PLAY) == nullptr; }, 100);
    m_pPlay = nullptr;
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"6"}));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(Setting(("scene_" + std::to_string(i) + "_cleared").c_str()) == 1u, i == 7) << i;
}
} // namespace
