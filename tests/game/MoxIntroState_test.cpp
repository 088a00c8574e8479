// The intro film on the root state: the strip moves by game time and stops with the
// last picture centred, holds, fades and hands over to the menu; skipping; the overlay's
// frames; the surfaces it takes and gives back.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxIntroState.h"

#include <gtest/gtest.h>

#include "tests/game/GameScreenTest.h"

namespace
{

class CMoxIntroState : public CGameScreenTest
{
protected:
    // The intro made as the root state makes it after the menu: nothing else loaded.
    ::CMoxIntroState* OpenIntro()
    {
        m_pGame->RemoveStates();
        m_pGame->UnloadResources(0);
        m_pGame->AddState(STATE_INTRO);
        return Intro();
    }
    ::CMoxIntroState* Intro() { return ScreenAs<::CMoxIntroState>(); }
    static float CentreX(const float* rc) { return 0.5f * (rc[0] + rc[2]); }
};

TEST_F(CMoxIntroState, TheStripMovesByGameTimeNotByFramesAndKeepsItsCourseThroughAResize)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    ::CMoxIntroState* pIntro = OpenIntro();
    ASSERT_NE(pIntro, nullptr);
    const float W = 960.0f; // 1.6 x 600
    EXPECT_FLOAT_EQ(pIntro->m_aafPictures[0][0], 800.0f);
    EXPECT_FLOAT_EQ(pIntro->m_aafPictures[3][0], 800.0f + 3.0f * W);
    EXPECT_FLOAT_EQ(pIntro->m_aafPictures[3][1], 60.0f);
    EXPECT_FLOAT_EQ(pIntro->m_aafPictures[3][3], 540.0f);
    // Ten short frames and one long frame of the same time move it alike.
    for (int i = 0; i < 10; ++i)
        Run(100);
    const float fAfterShort = pIntro->m_aafPictures[0][0];
    EXPECT_NEAR(fAfterShort, 800.0f - 0.23f * W, 0.01f);
    Run(1000);
    EXPECT_NEAR(pIntro->m_aafPictures[0][0], fAfterShort - 0.23f * W, 0.01f);

    // A larger window: the strip takes the new size, as far along in picture widths.
    m_pGame->OnScreenChanged(1000, 700);
    const float W2 = 1120.0f; // 1.6 x 700
    EXPECT_NEAR(pIntro->m_aafPictures[0][0], 1000.0f - 2.0f * 0.23f * W2, 0.05f);
    EXPECT_NEAR(pIntro->m_aafPictures[3][0], pIntro->m_aafPictures[0][0] + 3.0f * W2, 0.05f);
    EXPECT_FLOAT_EQ(pIntro->m_aafPictures[3][1], 70.0f);
    EXPECT_FLOAT_EQ(pIntro->m_aafPictures[3][3], 630.0f);
    EXPECT_FLOAT_EQ(pIntro->m_afOverlay[2], 1000.0f);
    EXPECT_FLOAT_EQ(pIntro->m_afOverlay[3], 700.0f);
    // One frame of a minute runs the strip to its end, in the middle of the new size.
    Run(60000);
    EXPECT_EQ(pIntro->m_bStopped, 1u);
    EXPECT_FLOAT_EQ(CentreX(pIntro->m_aafPictures[10]), 500.0f);
    // Stopped, it stays centred through another change.
    m_pGame->OnScreenChanged(800, 600);
    EXPECT_FLOAT_EQ(CentreX(pIntro->m_aafPictures[10]), 400.0f);
    EXPECT_FLOAT_EQ(CentreX(pIntro->m_aafPictures[9]), 400.0f - W);
}

TEST_F(CMoxIntroState, TheLastPictureEndsExactlyCentredOnEveryScreen)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    const int sizes[][2] = {{800, 600}, {1024, 600}, {1280, 800}, {600, 1024}};
    for (const auto& size : sizes)
    {
        SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]));
        m_pGame->OnScreenChanged(size[0], size[1]);
        ::CMoxIntroState* pIntro = OpenIntro();
        RunFrames(3);
        ASSERT_EQ(pIntro->m_bStopped, 0u);
        Run(120000);
        ASSERT_EQ(pIntro->m_bStopped, 1u);
        const float W = 1.6f * float(size[1]);
        for (int k = 0; k < INTRO_TEXTURE_COUNT; ++k)
        {
            const float* rc = pIntro->m_aafPictures[10 - k];
            EXPECT_FLOAT_EQ(CentreX(rc), 0.5f * float(size[0]) - float(k) * W) << k;
        }
    }
}

TEST_F(CMoxIntroState, HoldsFadesAndHandsOverToTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    ::CMoxIntroState* pIntro = OpenIntro();
    EXPECT_NE(Narrow(m_App.m_strMusicName).find("FlompIntro.mp3"), std::string::npos);
    Run(60000);
    ASSERT_EQ(pIntro->m_bStopped, 1u);
    // Steps of 33 ms take the fade from 1.5 down by a third a second.
    RunFrames(44);
    EXPECT_GT(pIntro->m_fFade, 1.0f) << "still held at 1.45 s";
    RunFrames(2);
    EXPECT_LT(pIntro->m_fFade, 1.0f) << "fading at 1.52 s";
    RunFrames(136 - 46);
    EXPECT_EQ(pIntro->m_bFadeDone, 0u);
    Run();
    EXPECT_EQ(pIntro->m_bFadeDone, 1u) << "done at 4.52 s";
    EXPECT_EQ(pIntro->m_bFinished, 1u);
    EXPECT_EQ(Narrow(m_App.m_strMusicName), "");
    ASSERT_TRUE(RunUntil([&] { return Screens() == std::vector<std::string>({"1"}); }, 100));
}

TEST_F(CMoxIntroState, ATouchFromTheStartDoesNotSkipALaterPressDoes)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    ::CMoxIntroState* pIntro = OpenIntro();
    const CKorvelVector2 skip = Centre(pIntro->m_pButtons->GetButtonByID(::CMoxIntroState::BUTTON_SKIP));
    EXPECT_FLOAT_EQ(skip.y, 600.0f - 1.2f * 40.0f);
    m_pGame->OnMouseButton(0, int(skip.x), int(skip.y));
    RunFrames(5);
    m_pGame->OnMouseButtonUp(0, int(skip.x), int(skip.y));
    RunFrames(10);
    EXPECT_EQ(pIntro->m_bFinished, 0u);
    EXPECT_EQ(Intro(), pIntro);
    m_pGame->OnMouseButton(0, int(skip.x), int(skip.y));
    RunFrames(5);
    m_pGame->OnMouseButtonUp(0, int(skip.x), int(skip.y));
    Run();
    EXPECT_EQ(pIntro->m_bFinished, 1u);
    EXPECT_EQ(pIntro->GetNextStateID(), STATE_MENU);
    EXPECT_EQ(Intro(), pIntro) << "the button grows back first";
    ASSERT_TRUE(RunUntil([&] { return Screens() == std::vector<std::string>({"1"}); }, 100));
    // The back action skips too.
    ASSERT_NE(OpenIntro(), nullptr);
    Intro()->OnBackButton();
    Run();
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));
}

TEST_F(CMoxIntroState, ASecondShowingGoesOnWithTheOverlaysFrames)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    OpenIntro();
    Run(1500);
    EXPECT_EQ(Intro()->m_iOverlayFrame, 15);
    Intro()->OnBackButton();
    Run();
    ::CMoxIntroState* pAgain = OpenIntro();
    Run(300);
    EXPECT_EQ(pAgain->m_iOverlayFrame, 18);
    EXPECT_FLOAT_EQ(m_pGame->GetContext().m_fIntroFrameAccumulator, 18.0f);
    // Another game has a film of its own.
    ::CStateGame other;
    other.SetClock(&m_Clock);
    ASSERT_EQ(other.Startup(&m_App), KE_OK);
    EXPECT_EQ(other.GetContext().m_fIntroFrameAccumulator, 0.0f);
    other.Shutdown();
}

TEST_F(CMoxIntroState, GivesBackEverySurfaceItTook)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    m_pGame->UnloadResources(0);
    const char* const apNames[] = {"Kuva01.jpg", "Kuva11.jpg", "torch.png",
                                   "exits.png",  "muteon.png", "volumezlider.png"};
    for (const char* pName : apNames)
        ASSERT_EQ(SurfaceRefs(pName), 0) << pName;
    ::CMoxIntroState* pIntro = OpenIntro();
    for (const char* pName : apNames)
        EXPECT_EQ(SurfaceRefs(pName), 1) << pName;
    EXPECT_EQ(pIntro->m_iLoadedCount, INTRO_TEXTURE_COUNT);
    // A lost graphics context: given back and taken again, once each.
    m_pGame->OnReleaseResources();
    EXPECT_EQ(SurfaceRefs("Kuva01.jpg"), 0);
    m_pGame->OnRestoreResources();
    for (const char* pName : apNames)
        EXPECT_EQ(SurfaceRefs(pName), 1) << pName;
    pIntro->OnBackButton();
    RunFrames(2);
    ASSERT_EQ(Screens(), std::vector<std::string>({"1"}));
    m_pGame->RemoveStates();
    m_pGame->UnloadResources(0);
    for (const char* pName : apNames)
        EXPECT_EQ(SurfaceRefs(pName), 0) << pName;
}

// Checked by eye (KORVEL_GOLDEN_DIR=<folder> writes the frame there).
TEST_F(CMoxIntroState, GoldenFrame)
{
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    OpenIntro();
    Run(8000);
    RunFrames(3);
    // Pictures 1 to 3 sliding through, the torch overlay at full strength, the skip button.
    EXPECT_EQ(Intro()->m_iOverlayPhase, 2);
    EXPECT_EQ(GameFrameHash("intro"), 95362417u);
}

} // namespace
