// The training chooser on the root state with a real statistics store in the run
// folder's data/: the locks, the welcome and completion messages and the choice.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxTrainingState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "support/GlTestContext.h"
#include "tests/Framework/Shell/ShellTestStats.h"
#include "tests/game/GameScreenTest.h"

namespace
{

class CMoxTrainingState : public CGameScreenTest
{
protected:
    // The chooser with the first iCleared scenes cleared.
    void OpenChooser(int iCleared = 0)
    {
        if (!m_pGame)
        {
            ASSERT_NO_FATAL_FAILURE(StartScreens());
        }
        for (int i = 0; i < iCleared; ++i)
            m_pGame->SetSceneCleared(i);
        m_pGame->RemoveStates();
        while (!m_pGame->m_bResourcesLoaded)
            m_pGame->PreloadResources(1);
        m_pGame->AddState(STATE_TRAINING);
        ASSERT_NE(Chooser(), nullptr);
        Run();
    }
    ::CMoxTrainingState* Chooser() { return ScreenAs<::CMoxTrainingState>(); }
    CMoxButton* Scene(int i) { return Chooser()->m_pButtons->GetAt(i); }
    // The scene numbers that take touches once the message is gone.
    std::vector<int> Open()
    {
        std::vector<int> aOpen;
        for (int i = 0; i < TRAINING_SCENE_COUNT; ++i)
            if (!Scene(i)->m_bDimmed)
                aOpen.push_back(i + 1);
        return aOpen;
    }
};

TEST_F(CMoxTrainingState, ANewPlayerSeesSceneOneOpenAndTheWelcome)
{
    ASSERT_NO_FATAL_FAILURE(OpenChooser());
    EXPECT_EQ(Open(), std::vector<int>({1}));
    EXPECT_EQ(Chooser()->m_bProgress, 0u);
    EXPECT_GT(Chooser()->m_fMessageTime, 4.9f);
    // The grid: u = 40, five columns 80 apart, three rows 84 apart.
    EXPECT_FLOAT_EQ(Scene(0)->m_vPosition.x, 240.0f);
    EXPECT_FLOAT_EQ(Scene(0)->m_vPosition.y, 240.0f);
    EXPECT_FLOAT_EQ(Scene(14)->m_vPosition.x, 560.0f);
    EXPECT_FLOAT_EQ(Scene(14)->m_vPosition.y, 408.0f);
    EXPECT_EQ(Narrow(Scene(14)->m_strLabel), "15");
    // The message runs five seconds, then every open scene takes touches.
    EXPECT_EQ(Scene(0)->m_bEnabled, 0u);
    Run(4000);
    EXPECT_GT(Chooser()->m_fMessageTime, 0.0f) << "one step a frame after a stall";
    RunUntil([&] { return Chooser()->m_fMessageTime < 0.0f; }, 200);
    EXPECT_EQ(Scene(0)->m_bEnabled, 1u);

    // Every window shape, the widest too, lays the tiles and the exit out anew: each whole on
    // the screen, none over another, and clear of the title picture's pedestals with their
    // flomps (centred on w / 2 -+ 0.61 h, 0.13 h to each side, from 0.3 h to 0.7 h).
    for (const auto& area :
         std::vector<std::pair<float, float>>{{1580, 700}, {1400, 600}, {1280, 720}, {800, 480}, {600, 1024}})
    {
        const float w = area.first, h = area.second;
        SCOPED_TRACE(std::to_string(int(w)) + "x" + std::to_string(int(h)));
        m_pGame->OnScreenChanged(int(w), int(h));
        const int iCount = Chooser()->m_pButtons->GetCount();
        ASSERT_EQ(iCount, TRAINING_SCENE_COUNT + 1);
        for (int a = 0; a < iCount; ++a)
        {
            const CKorvelVector2 p = Scene(a)->m_vPosition;
            const float r = Scene(a)->m_vHalfSize.x;
            SCOPED_TRACE(a);
            EXPECT_TRUE(p.x - r >= 0.0f && p.x + r <= w && p.y - r >= 0.0f && p.y + r <= h);
            for (float fSide : {-1.0f, 1.0f})
            {
                const float x = 0.5f * w + fSide * 0.61f * h;
                EXPECT_TRUE(p.x + r <= x - 0.13f * h || p.x - r >= x + 0.13f * h || p.y + r <= 0.3f * h ||
                            p.y - r >= 0.7f * h)
                    << "over a pedestal";
            }
            for (int b = a + 1; b < iCount; ++b)
            {
                const CKorvelVector2 q = Scene(b)->m_vPosition;
                const float s = Scene(b)->m_vHalfSize.x;
                // Neighbouring tiles touch: a column's pitch is a tile's width.
                const float fTouch = r + s - 0.5f;
                EXPECT_TRUE(std::fabs(p.x - q.x) >= fTouch || std::fabs(p.y - q.y) >= fTouch) << "over " << b;
            }
        }
    }
}

TEST_F(CMoxTrainingState, ATouchDuringTheMessageShortensItAndChoosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(OpenChooser());
    const CKorvelVector2 first = Centre(Scene(0));
    Tap(first, 0);
    EXPECT_LE(Chooser()->m_fMessageTime, 1.0f);
    EXPECT_GT(Chooser()->m_fMessageTime, 0.9f);
    EXPECT_EQ(Chooser()->m_bLeaving, 0u);
    ASSERT_TRUE(RunUntil([&] { return Chooser()->m_fMessageTime < 0.0f; }, 40)) << "within about a second";
    m_Fakes.log.Clear();
    Tap(first);
    ASSERT_TRUE(RunUntil([&] { return Screens() == std::vector<std::string>({"3"}); }, 100));
    EXPECT_EQ(m_Fakes.log.Count("play.LoadGame(0,0,0,0"), 1);
}

TEST_F(CMoxTrainingState, ClearingASceneOpensTheNextOnly)
{
    const struct
    {
        std::vector<int> aClear; // added to what the cases before cleared
        std::vector<int> aOpen;
        bool bWelcome;
    } cases[] = {
        {{4}, {1, 6}, true},
        {{0}, {1, 2, 6}, false},
        {{1, 2, 3, 5, 6}, {1, 2, 3, 4, 5, 6, 7, 8}, false},
        {{7, 8, 9, 10, 11, 12, 13}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, false},
    };
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.aOpen.size());
        for (int i : c.aClear)
            m_pGame->SetSceneCleared(i);
        ASSERT_NO_FATAL_FAILURE(OpenChooser());
        EXPECT_EQ(Open(), c.aOpen);
        EXPECT_EQ(Chooser()->m_bProgress, c.bWelcome ? 0u : 1u);
        EXPECT_EQ(Chooser()->m_fMessageTime > 0.0f, c.bWelcome);
    }
}

TEST_F(CMoxTrainingState, TheCompletionMessageShowsOnce)
{
    ASSERT_NO_FATAL_FAILURE(OpenChooser(15));
    EXPECT_GT(Chooser()->m_fMessageTime, 4.9f);
    EXPECT_EQ(Chooser()->m_bProgress, 1u);
    EXPECT_EQ(StoredSettings().count("showedtrainingcomplete"), 1u) << "written at once";
    ASSERT_NO_FATAL_FAILURE(OpenChooser());
    EXPECT_EQ(Chooser()->m_fMessageTime, -1.0f);
}

TEST_F(CMoxTrainingState, TheBackActionLeavesForTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(OpenChooser());
    Chooser()->OnBackButton();
    ASSERT_TRUE(RunUntil([&] { return Screens() == std::vector<std::string>({"1"}); }, 100));
}

TEST_F(CMoxTrainingState, WithoutTheGameFontTheMessageShowsWithoutText)
{
    ASSERT_TRUE(WriteTestFile(m_App.AppFile("dataUI.kmp"), TestPackBytes({{"/other.txt", "x"}})));
    ASSERT_NO_FATAL_FAILURE(OpenChooser());
    ASSERT_EQ(m_pGame->GetContext().pfntGameFonts, nullptr);
    RunFrames(5);
    EXPECT_GT(Chooser()->m_fMessageTime, 0.0f);
    // Dimmed by f + 0.4 = 0.75 all over, with no band and no text.
    const uint32_t uCorner = ReadGlPixel(5, 595, 600);
    const unsigned int uTitle = GameTestTextureColour(TEXTURE_TITLE);
    const int iDimmed = int((uTitle >> 16) & 0xFF) * 3 / 4; // a quarter darker, in whole steps
    EXPECT_NEAR(PixelR(uCorner), iDimmed, 2);
}

// Checked by eye (KORVEL_GOLDEN_DIR=<folder> writes the frame there).
TEST_F(CMoxTrainingState, GoldenFrame)
{
    ASSERT_NO_FATAL_FAILURE(OpenChooser());
    RunFrames(5);
    // The title, stars, fifteen numbered buttons (2 to 15 dimmed), back, the dimmed screen,
    // the darker band and the two welcome lines.
    EXPECT_EQ(GameFrameHash("training"), 3494450746u);
}

} // namespace
