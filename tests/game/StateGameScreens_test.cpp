// The game's screens together on the root state, driven by touches only: the training
// road (with a fake match that reports a win) and the film. The quick-play road is in
// the connecting screen's tests.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "game/MoxMenuState.h"
#include "game/MoxTrainingState.h"
#include "tests/Framework/ShellTestStats.h"
#include "tests/game/GameScreenTest.h"

namespace
{

class CStateGameScreens : public CGameScreenTest
{
protected:
    CMoxButton* MenuButton(int iID)
    {
        ::CMoxMenuState* pMenu = ScreenAs<::CMoxMenuState>();
        return pMenu ? pMenu->m_pButtons->GetButtonByID(iID) : nullptr;
    }
    bool ShowsOnly(const char* pScreen)
    {
        return RunUntil([&] { return Screens() == std::vector<std::string>({pScreen}); }, 150);
    }
};

TEST_F(CStateGameScreens, TheTrainingRoadOpensTheNextScene)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    Tap(Centre(MenuButton(::CMoxMenuState::BUTTON_TRAINING)));
    ASSERT_TRUE(ShowsOnly("6"));
    ::CMoxTrainingState* pChooser = ScreenAs<::CMoxTrainingState>();
    const CKorvelVector2 first = Centre(pChooser->m_pButtons->GetAt(0));
    Tap(first); // only shortens the welcome
    ASSERT_TRUE(RunUntil([&] { return pChooser->m_fMessageTime < 0.0f; }, 60));
    m_Fakes.log.Clear();
    Tap(first);
    ASSERT_TRUE(ShowsOnly("3"));
    EXPECT_EQ(m_Fakes.log.Count("play.LoadGame(0,0,0,0"), 1);
    EXPECT_EQ(m_Fakes.log.Count("play.SetPlayState(7)"), 1);
    // The match is won and its continue pressed.
    m_Fakes.pPlay->Leave(STATE_TRAINING, 1);
    ASSERT_TRUE(ShowsOnly("6"));
    pChooser = ScreenAs<::CMoxTrainingState>();
    EXPECT_EQ(pChooser->m_pButtons->GetAt(1)->m_bDimmed, 0u);
    EXPECT_EQ(pChooser->m_pButtons->GetAt(2)->m_bDimmed, 1u);
    EXPECT_LE(pChooser->m_fMessageTime, 0.0f) << "no welcome any more";
    EXPECT_EQ(StoredSettings().count("scene_0_cleared"), 1u);
    Tap(Centre(pChooser->m_pButtons->GetButtonByID(::CMoxTrainingState::BUTTON_BACK)));
    ASSERT_TRUE(ShowsOnly("1"));
}

TEST_F(CStateGameScreens, TheFilmRoadReloadsTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    Tap(Centre(MenuButton(::CMoxMenuState::BUTTON_INTRO)));
    ASSERT_TRUE(ShowsOnly("5"));
    Run(60000);
    ASSERT_TRUE(ShowsOnly("1"));
    EXPECT_EQ(m_pGame->GetContext().psrfGameTextures[11], nullptr) << "the film gave back its pictures";
    // The menu loads the game's resources again, one a frame.
    ASSERT_TRUE(RunUntil([&] { return ScreenAs<::CMoxMenuState>()->ControlsReady() != 0; }, 200));
    EXPECT_NE(m_pGame->GetContext().psrfGameTextures[11], nullptr);
}

} // namespace
