// The application's stack of states, its frame and the input dispatch, on the test
// application; frames are driven by OnFlip with set frame times.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <memory>

#include "Framework/Lobby/VornMenuState.h"
#include "support/GlTestContext.h"
#include "support/TestKestrolundApplication.h"
#include "tests/Framework/Shell/ShellTestState.h"

namespace
{

const float FRAME = 0.1f;

// Named after the class under test; the class itself is ::CKestrolundApplication here.
class CKestrolundApplication : public ::testing::Test
{
protected:
    // States added to an application that was not started: the stack alone.
    CShellTestState* Add(const char* pName)
    {
        CShellTestState* pState = new CShellTestState(m_App.m_Log, pName);
        EXPECT_EQ(m_App.AddState(pState), KE_OK);
        return pState;
    }
    std::vector<std::string> Order() const
    {
        std::vector<std::string> aNames;
        for (int i = 0; i < m_App.GetStateCount(); ++i)
            aNames.push_back(m_App.GetState(i) == m_pA ? "a" : m_App.GetState(i) == m_pB ? "b" : "c");
        return aNames;
    }
    int At(const std::string& strEntry) const { return m_App.m_Log.Find(strEntry); }
    // The application started through the splash, with the test lobby in front.
    void StartThroughSplash()
    {
        ASSERT_TRUE(m_App.WritePacks());
        ASSERT_EQ(m_App.Start(), KE_OK);
        ASSERT_TRUE(m_App.RunSplash());
        m_App.m_Log.Clear();
    }
    // 0xRRGGBB of a back-buffer pixel, y from the top.
    static unsigned int Rgb(int iX, int iY)
    {
        const uint32_t uPixel = ReadGlPixel(iX, iY, CTestKestrolundApplication::HEIGHT);
        return unsigned(PixelR(uPixel)) << 16 | unsigned(PixelG(uPixel)) << 8 | unsigned(PixelB(uPixel));
    }

    CTestKestrolundApplication m_App;
    CShellTestState* m_pA = nullptr;
    CShellTestState* m_pB = nullptr;
    CShellTestState* m_pC = nullptr;
};

TEST_F(CKestrolundApplication, AStateAddedBehindWaitsUntilFocusedAtTheNextFrame)
{
    m_pA = Add("a");
    m_pB = Add("b");
    EXPECT_EQ(m_App.m_Log.Count("a.Activate"), 1);
    EXPECT_EQ(m_App.m_Log.Count("b.Activate"), 0) << "a state behind the front is not activated";

    EXPECT_EQ(m_App.FocusState(m_pB), 1u);
    EXPECT_EQ(m_App.m_Log.Count("b.Activate"), 0) << "focusing waits for the next frame";
    EXPECT_EQ(Order(), (std::vector<std::string>{"a", "b"}));

    m_App.Frame(FRAME);
    EXPECT_EQ(Order(), (std::vector<std::string>{"b", "a"}));
    ASSERT_GE(At("b.Activate"), 0);
    EXPECT_LT(At("a.Deactivate"), At("b.Activate"));
    EXPECT_LT(At("b.Activate"), At("b.Update"));
    EXPECT_EQ(m_App.m_Log.Count("b.Draw"), 1);
    EXPECT_EQ(m_App.m_Log.Count("a.Draw"), 0) << "only the front state is drawn";
}

TEST_F(CKestrolundApplication, AFrontStateThatAsksForRemovalGoesAndTheNextIsActivatedBeforeAnyUpdate)
{
    m_pA = Add("a");
    m_pB = Add("b");
    m_pA->Remove();
    m_App.Frame(FRAME);

    EXPECT_EQ(m_App.GetStateCount(), 1);
    EXPECT_EQ(m_App.GetState(0), m_pB);
    EXPECT_EQ(m_App.m_Log.Count("a.Update"), 0);
    const int iGone = At("a.~");
    ASSERT_GE(iGone, 0);
    EXPECT_LT(At("a.Deactivate"), At("a.Shutdown"));
    EXPECT_LT(At("a.Shutdown"), iGone);
    EXPECT_LT(iGone, At("b.Activate"));
    EXPECT_LT(At("b.Activate"), At("b.Update"));
}

TEST_F(CKestrolundApplication, StatesThatExitInOneFrameWaitAtTheBackInTheirOrder)
{
    m_pA = Add("a");
    m_pB = Add("b");
    m_pC = Add("c");
    m_pA->Exit();
    m_pB->Exit();
    m_App.Frame(FRAME);

    EXPECT_EQ(Order(), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_FALSE(m_pA->GetExit()) << "the exit flag is cleared";
    EXPECT_FALSE(m_pB->GetExit());
    EXPECT_EQ(m_App.m_Log.Count("c.Activate"), 1);
    EXPECT_EQ(m_App.m_Log.Count("a.~") + m_App.m_Log.Count("b.~"), 0) << "exited states stay alive";
    EXPECT_LT(At("c.Activate"), At("c.Update"));
}

TEST_F(CKestrolundApplication, UpdatesRunFromTheFrontUntilOneStopsThem)
{
    m_pA = Add("a");
    m_pB = Add("b");
    m_pC = Add("c");
    m_pB->m_uUpdateResult = 1;
    m_App.Frame(FRAME);
    EXPECT_EQ(m_App.m_Log.Count("a.Update"), 1);
    EXPECT_EQ(m_App.m_Log.Count("b.Update"), 1);
    EXPECT_EQ(m_App.m_Log.Count("c.Update"), 0);
}

TEST_F(CKestrolundApplication, AStateRemovedAfterFocusStateIsNotFocused)
{
    m_pA = Add("a");
    m_pB = Add("b");
    m_App.FocusState(m_pB);
    EXPECT_EQ(m_App.RemoveState(m_pB), 1u);
    m_pB = nullptr;
    // Another state may now live where the removed one was; it must not jump forward.
    m_pC = Add("c");
    m_App.Frame(FRAME);

    EXPECT_EQ(Order(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(m_App.m_Log.Count("a.Deactivate"), 0);
    EXPECT_EQ(m_App.m_Log.Count("c.Activate"), 0);
}

TEST_F(CKestrolundApplication, FailingStartsAndUnknownStatesChangeNothing)
{
    m_pA = Add("a");
    CShellTestState* pFailing = new CShellTestState(m_App.m_Log, "x");
    pFailing->m_iStartupResult = KE_ERR_NOTFOUND;
    EXPECT_EQ(m_App.AddState(pFailing), KE_ERR_NOTFOUND);
    EXPECT_EQ(m_App.m_Log.Count("x.~"), 1) << "a state that does not start is deleted";
    EXPECT_EQ(m_App.GetStateCount(), 1);

    CShellTestState stranger(m_App.m_Log, "s");
    EXPECT_EQ(m_App.RemoveState(&stranger), 0u);
    EXPECT_EQ(m_App.FocusStateChange(&stranger), 0u);
    EXPECT_EQ(m_App.FocusStateChange(m_pA), 1u) << "already in front";
    EXPECT_EQ(m_App.m_Log.Count("a.Deactivate"), 0);
}

TEST_F(CKestrolundApplication, InputGoesToTheStatesFromTheFrontUntilOneTakesIt)
{
    m_pA = Add("a");
    m_pB = Add("b");
    m_pA->m_uTakesInput = 0;
    m_App.OnMouseButton(0, 5, 6);
    m_App.OnKeyDown(KET_KEY_BACK);
    EXPECT_EQ(m_App.m_Log.With("a.On"), (std::vector<std::string>{"a.OnMouseButton()", "a.OnKeyDown()"}));
    EXPECT_EQ(m_App.m_Log.With("b.On"), (std::vector<std::string>{"b.OnMouseButton()", "b.OnKeyDown()"}));

    m_pA->m_uTakesInput = 1;
    m_App.m_Log.Clear();
    m_App.OnMouseButtonUp(0, 5, 6);
    m_App.OnMouseDrag(0, 5, 6);
    EXPECT_EQ(m_App.m_Log.Count("b."), 0);

    m_App.m_Log.Clear();
    m_App.OnScreenChanged(CTestKestrolundApplication::WIDTH, CTestKestrolundApplication::HEIGHT);
    EXPECT_EQ(m_App.m_Log.Entries(), (std::vector<std::string>{"a.OnScreenChanged()"}))
        << "only the front state hears of the screen";
}

TEST_F(CKestrolundApplication, ShownNotificationsAreOwnedAndGoFirstWithInput)
{
    m_pA = Add("a");
    CTestNotification* pNotification = new CTestNotification(m_App.m_Log);
    m_App.ShowNotification(pNotification);
    pNotification->m_uVisible = 1;
    m_App.OnMouseButton(0, 1, 2);
    EXPECT_EQ(m_App.m_Log.Count("notification.OnMouseButton(1,2)"), 1);
    EXPECT_EQ(m_App.m_Log.Count("a.OnMouseButton"), 0);

    m_App.Frame(FRAME);
    EXPECT_LT(m_App.m_Log.Find("notification.Update"), m_App.m_Log.Find("a.Update"));
    EXPECT_LT(m_App.m_Log.Find("a.Draw"), m_App.m_Log.Find("notification.Draw"));

    pNotification->Remove();
    m_App.Frame(FRAME);
    EXPECT_EQ(m_App.m_Log.Count("notification.~"), 1) << "a notification that asks for removal is deleted";
}

TEST_F(CKestrolundApplication, ATakenPressOnAVisibleToastNeverReachesTheStates)
{
    ASSERT_NO_FATAL_FAILURE(StartThroughSplash());
    struct sCASE
    {
        unsigned int uVisible;
        int iType;
        int iToast, iLobby, iPage;
    };
    const sCASE aCases[] = {
        {0, 1, 0, 1, 0},  // hidden: the states get it
        {1, 1, 1, 0, 0},  // a message toast takes it
        {1, -2, 1, 0, 1}, // a challenge toast opens the challenge page
    };
    for (const sCASE& c : aCases)
    {
        m_App.m_Log.Clear();
        m_App.m_pTestToast->m_uVisible = c.uVisible;
        m_App.m_pTestToast->m_iType = c.iType;
        m_App.OnMouseButton(0, 30, 40);
        m_App.OnMouseButtonUp(0, 30, 40);
        SCOPED_TRACE(c.iType);
        EXPECT_EQ(m_App.m_Log.Count("toast.OnMouseButton(30,40)"), c.iToast);
        EXPECT_EQ(m_App.m_Log.Count("toast.OnMouseButtonUp(30,40)"), c.iToast);
        EXPECT_EQ(m_App.m_Log.Count("lobby.OnMouseButton(30,40)"), c.iLobby);
        EXPECT_EQ(m_App.m_Log.Count("lobby.OnMouseButtonUp(30,40)"), c.iLobby);
        EXPECT_EQ(m_App.m_Log.Count("game.OnMouseButton(0,30,40)"), c.iLobby)
            << "the lobby passes it to the game";
        EXPECT_EQ(m_App.m_Log.Count("lobby.SwitchToPage(challenge_received,1)"), c.iPage);
    }
}

TEST_F(CKestrolundApplication, AfterAContextLossTheFirstFrameShowsOnlyTheBackgroundAndTheSecondRestores)
{
    ASSERT_NO_FATAL_FAILURE(StartThroughSplash());
    const int W = CTestKestrolundApplication::WIDTH, H = CTestKestrolundApplication::HEIGHT;
    EXPECT_EQ(m_App.OnRestoreResources(), KE_OK);
    m_App.m_Log.Clear();

    m_App.Frame(FRAME);
    EXPECT_EQ(m_App.m_Log.Count("lobby."), 0) << "no state runs in the background frame";
    EXPECT_EQ(m_App.m_Log.Count("game."), 0);
    EXPECT_EQ(Rgb(W / 2, H / 2), 0u);
    EXPECT_EQ(Rgb(W - 60, H - 28), 0u) << "just left of the logo";
    // The logo's centre, at the bottom-right corner, is drawn on the black.
    EXPECT_NE(Rgb(W - 28, H - 28), 0u);
    EXPECT_EQ(m_App.m_pLogoSurface, nullptr) << "the logo is loaded again each time";

    m_App.Frame(FRAME);
    EXPECT_EQ(m_App.m_Log.Count("lobby.OnRestoreResources"), 1);
    EXPECT_EQ(m_App.m_Log.Count("game.OnRestoreResources"), 1);
    EXPECT_EQ(m_App.m_Log.Count("lobby.Update"), 0);

    m_App.Frame(FRAME);
    EXPECT_EQ(m_App.m_Log.Count("lobby.Update"), 1);
    EXPECT_EQ(m_App.m_uRestorePhase, 0u);
    EXPECT_EQ(Rgb(W / 2, H / 2), CTestGameState::DRAW_COLOUR & 0xFFFFFF);
}

TEST_F(CKestrolundApplication, AnEmptyStackEndsTheApplicationAtTheEndOfThatFrame)
{
    ASSERT_NO_FATAL_FAILURE(StartThroughSplash());
    ASSERT_EQ(m_App.RemoveState(m_App.GetLobbyState()), 1u);
    EXPECT_EQ(m_App.GetLobbyState(), nullptr);
    EXPECT_TRUE(m_App.IsStarted());
    m_App.Frame(FRAME);
    EXPECT_EQ(m_App.m_uExit, 1u);
    EXPECT_FALSE(m_App.IsStarted()) << "the engine was shut down";
    EXPECT_EQ(m_App.m_Log.Count("toast.Shutdown"), 1) << "and the application's exit ran";
    EXPECT_LT(m_App.m_Log.Find("toast.Update"), m_App.m_Log.Find("toast.Shutdown"));
}

TEST_F(CKestrolundApplication, TheFrameRunsTheSessionAndTheOverlaysAroundTheStates)
{
    ASSERT_NO_FATAL_FAILURE(StartThroughSplash());
    m_App.Frame(FRAME);
    const int iSession = m_App.m_Log.Find("session.Update");
    const int iToast = m_App.m_Log.Find("toast.Update");
    const int iLobby = m_App.m_Log.Find("lobby.Update");
    const int iDraw = m_App.m_Log.Find("lobby.Draw");
    const int iToastDraw = m_App.m_Log.Find("toast.Draw");
    ASSERT_GE(iSession, 0);
    EXPECT_LT(iSession, iToast);
    EXPECT_LT(iToast, iLobby);
    EXPECT_LT(iLobby, iDraw);
    EXPECT_LT(iDraw, iToastDraw);
}

TEST_F(CKestrolundApplication, FocusReachesTheGameEvenWhileTheLobbyHoldsIt)
{
    ASSERT_NO_FATAL_FAILURE(StartThroughSplash());
    m_App.OnFocusChange(0);
    EXPECT_EQ(m_App.m_Log.Count("game.OnFocusChange(0)"), 1);
    EXPECT_EQ(m_App.m_Log.Count("lobby.OnFocusChange(0)"), 1);
    EXPECT_LT(m_App.m_Log.Find("game.OnFocusChange"), m_App.m_Log.Find("lobby.OnFocusChange"));
}

} // namespace
