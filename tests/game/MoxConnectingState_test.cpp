// The connecting screen on the root state: the countdown, the time-out and the cancel.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxConnectingState.h"

#include <gtest/gtest.h>

#include "game/MoxMenuState.h"
#include "tests/game/GameScreenTest.h"

namespace
{

class CMoxConnectingState : public CGameScreenTest
{
protected:
    // The menu's play button pressed: the connecting screen waits in the queue.
    void StartConnecting()
    {
        ASSERT_NO_FATAL_FAILURE(StartSession());
        ASSERT_NO_FATAL_FAILURE(StartScreens());
        ASSERT_NO_FATAL_FAILURE(OpenMenu());
        ::CMoxMenuState* pMenu = ScreenAs<::CMoxMenuState>();
        ASSERT_NE(pMenu, nullptr);
        Tap(Centre(pMenu->m_pButtons->GetButtonByID(::CMoxMenuState::BUTTON_PLAY)));
        ASSERT_TRUE(RunUntil([&] { return Connecting() != nullptr; }, 100));
        ASSERT_EQ(m_App.m_Log.Count("session.RegisterInGameQueue"), 1);
    }
    ::CMoxConnectingState* Connecting() { return ScreenAs<::CMoxConnectingState>(); }
    int Cancels() { return m_App.m_Log.Count("session.UnregisterFromGameQueue"); }
};

TEST_F(CMoxConnectingState, CountsDownFromTenToOneAndNeverShowsZero)
{
    const struct
    {
        float fWaited;
        int iShown;
    } cases[] = {{0.0f, 10}, {1.5f, 10},  {2.5f, 9},  {10.0f, 6}, {17.9f, 2},
                 {18.1f, 1}, {19.99f, 1}, {20.0f, 1}, {35.0f, 1}, {-3.0f, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(::CMoxConnectingState::Countdown(c.fWaited), c.iShown) << c.fWaited;

    ASSERT_NO_FATAL_FAILURE(StartConnecting());
    EXPECT_EQ(Connecting()->m_iCountdown, 10);
    Run(9000);
    EXPECT_EQ(Connecting()->m_iCountdown, 6) << "the screen counts by the root state's clock";
}

TEST_F(CMoxConnectingState, AfterTwentySecondsItLeavesTheQueueOnEveryUpdateUntilRemoved)
{
    ASSERT_NO_FATAL_FAILURE(StartConnecting());
    ::CMoxConnectingState* pScreen = Connecting();
    const CKorvelVector2 cancel = Centre(pScreen->m_pButtons->GetButtonByID(0));
    for (int i = 0; i < 19; ++i)
        Run(1000);
    EXPECT_EQ(Cancels(), 0);
    // Held on the cancel button the screen stays busy past the time-out.
    m_pGame->OnMouseButton(0, int(cancel.x), int(cancel.y));
    RunFrames(10);
    ASSERT_EQ(Connecting(), pScreen);
    Run(1000); // one step of this frame past 20 s
    EXPECT_EQ(Cancels(), 1);
    RunFrames(3);
    EXPECT_EQ(Cancels(), 4);
    EXPECT_EQ(Connecting(), pScreen);
    EXPECT_EQ(pScreen->m_iCountdown, 1);
    // Let go away from the button: nothing is pressed, the screen goes.
    m_pGame->OnMouseDrag(0, 5, 5);
    m_pGame->OnMouseButtonUp(0, 5, 5);
    ASSERT_TRUE(RunUntil([&] { return Connecting() == nullptr; }, 100));
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));
}

TEST_F(CMoxConnectingState, ACancelReturnsToTheMenuOnceTheButtonHasGrownBack)
{
    ASSERT_NO_FATAL_FAILURE(StartConnecting());
    ::CMoxConnectingState* pScreen = Connecting();
    const CKorvelVector2 cancel = Centre(pScreen->m_pButtons->GetButtonByID(0));
    EXPECT_FLOAT_EQ(cancel.x, 400.0f);
    m_pGame->OnMouseButton(0, int(cancel.x), int(cancel.y));
    RunFrames(5);
    m_pGame->OnMouseButtonUp(0, int(cancel.x), int(cancel.y));
    Run();
    EXPECT_EQ(Cancels(), 1);
    EXPECT_EQ(pScreen->m_bLeaving, 1u);
    EXPECT_EQ(Connecting(), pScreen) << "the button still grows back";
    EXPECT_NE(pScreen->m_pButtons->GetButtonByID(0)->m_eState, BUTTON_IDLE);
    ASSERT_TRUE(RunUntil([&] { return Connecting() == nullptr; }, 100));
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));
    EXPECT_EQ(Cancels(), 1);

    // The screen's back action cancels the same way.
    m_pGame->AddState(STATE_CONNECTING);
    m_pGame->RemoveState(STATE_MENU);
    Connecting()->OnBackButton();
    Run();
    EXPECT_EQ(Cancels(), 2);
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));
}

TEST_F(CMoxConnectingState, AMatchCancelledByTheLobbyFollowsTheNextState)
{
    ASSERT_NO_FATAL_FAILURE(StartConnecting());
    m_pGame->CancelledQuickPlay();
    Run();
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));
}

// Checked by eye (KORVEL_GOLDEN_DIR=<folder> writes the frame there).
TEST_F(CMoxConnectingState, GoldenFrame)
{
    ASSERT_NO_FATAL_FAILURE(StartConnecting());
    Run(4000);
    // The dimmed title, stars, the loader with "9" over it, the waiting text, the cancel button.
    EXPECT_EQ(GameFrameHash("connecting"), 1423109885u);
}

} // namespace
