// The game's screens together on the root state, driven by touches only: the training
// road through the real match on the shipped first scene, and the film. The quick-play road is in
// the connecting screen's tests.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "KorvelCommon/KorvelMath.h"
#include "game/MoxMenuState.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxTrainingState.h"
#include "tests/Framework/Shell/ShellTestStats.h"
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
    // The shipped scenes and the real match screen.
    const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
    const std::string strScenes = std::string(pBinary ? pBinary : ".") + "/run/app/native/dataScenes.kmp";
    ASSERT_TRUE(std::filesystem::exists(strScenes)) << strScenes;
    std::filesystem::copy_file(strScenes, m_App.AppFile("dataScenes.kmp"),
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [] { return new CMoxPlayState(); };
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    Tap(Centre(MenuButton(::CMoxMenuState::BUTTON_TRAINING)));
    ASSERT_TRUE(ShowsOnly("6"));
    ::CMoxTrainingState* pChooser = ScreenAs<::CMoxTrainingState>();
    const CKorvelVector2 first = Centre(pChooser->m_pButtons->GetAt(0));
    Tap(first); // only shortens the welcome
    ASSERT_TRUE(RunUntil([&] { return pChooser->m_fMessageTime < 0.0f; }, 60));
    Tap(first);
    ASSERT_TRUE(ShowsOnly("3"));
    CMoxPlayState* pPlay = ScreenAs<CMoxPlayState>();
    ASSERT_NE(pPlay, nullptr);
    EXPECT_EQ(pPlay->m_bSinglePlayer, 1u);
    EXPECT_EQ(pPlay->GetCurrentSceneIndex(), 0);

    // The count-down ends on the own turn; the flomps settle on their towers.
    ASSERT_TRUE(RunUntil([&] { return pPlay->m_bStarted != 0; }, 300));
    ASSERT_EQ(pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
    RunFrames(60);
    CPlayer& own = pPlay->m_pLiveScene->m_Players[0];
    CPlayer& master = pPlay->m_pLiveScene->m_Players[1];

    // The jump lesson: a pull down and to the left from the flomp, 29 degrees under the
    // horizon (the jump clears the master's head from 30 on), whose aim is 0.36 long (a quarter of the width
    // per unit, 0.75 of the pull beyond the grab radius); the flomp leaves the other way.
    CKorvelVector2 flomp;
    m_pGame->GetRenderer()->m_Camera.WorldToScreen(own.m_pBody->m_vPosition, &flomp);
    m_pGame->OnMouseButton(0, int(std::lround(flomp.x)), int(std::lround(flomp.y)));
    Run();
    ASSERT_EQ(pPlay->m_bAiming, 1u);
    m_pGame->GetRenderer()->m_Camera.WorldToScreen(own.m_pBody->m_vPosition, &flomp);
    const float fPull = own.m_vStretchPad.x + 0.36f * 200.0f / 0.75f;
    const float fAngle = 29.0f * KE_PI / 180.0f;
    const int x = int(std::lround(flomp.x - fPull * std::cos(fAngle)));
    const int y = int(std::lround(flomp.y + fPull * std::sin(fAngle)));
    m_pGame->OnMouseDrag(0, x, y);
    Run();
    EXPECT_NEAR(own.m_vAim.Length(), 0.36f, 0.01f);
    m_pGame->OnMouseButtonUp(0, x, y);
    Run();

    // The master drowns, the match is won and its continue leads back to the chooser.
    ASSERT_TRUE(RunUntil([&] { return pPlay->m_ePlayState == PLAYSTATE_GAME_OVER; }, 1000));
    EXPECT_EQ(master.m_bAlive, 0);
    EXPECT_EQ(own.m_bAlive, 1);
    CMoxButton* pContinue = pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_CONTINUE);
    ASSERT_TRUE(RunUntil([&] { return pContinue->m_bVisible != 0; }, 300));
    Tap(Centre(pContinue));
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
