// The application's event pump on the headless platform: listeners, translation of
// pointer, keyboard and touch events, the navigator, dispatch rules and orientation.
// KORVEL_GL_TEST (start-up brings up the GL screen target; Mesa leaves bytes behind)
//
// Sections: fixture - listeners - pointer - touch - keyboard - navigator and loop -
// dispatch rules - orientation.
#include "KorvelGraphics/KorvelApplication.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>

#include "KorvelCommon/KorvelUsabilityDataCollection.h"
#include "KorvelInput/KorvelInput.h"
#include "PlatformNavigator.h"
#include "PlatformVirtualKeyboard.h"
#include "support/InputTestApplication.h"

namespace
{

using Calls = std::vector<std::string>;

// ------------------------------------------------------------------- fixture

class IKorvelApplicationEvents : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(m_App.StartHeadless(), KE_OK); }
    void TearDown() override { g_KEAppGlobalFlags = 0; }

    CHeadlessPlatform m_Platform; // before the application, whose back end it picks
    CInputApplication m_App;
};

class CListener : public IKorvelEventListener_Blackberry
{
public:
    explicit CListener(int iResult) : m_iResult(iResult) {}
    int ProcessEvent(plat::bps_event_t*) override
    {
        ++m_iSeen;
        if (m_pApp && m_pAdd)
        {
            m_pApp->AddEventListener(m_pAdd);
            m_pAdd = nullptr;
        }
        return m_iResult;
    }
    int m_iResult;
    int m_iSeen = 0;
    IKorvelApplication* m_pApp = nullptr;
    CKorvelEventListener* m_pAdd = nullptr;
};

// ----------------------------------------------------------------- listeners

TEST_F(IKorvelApplicationEvents, AConsumingListenerKeepsTheEventFromTheApplicationButNotFromOtherListeners)
{
    CListener first(0), consuming(1), later(0), added(0);
    first.m_pApp = &m_App;
    first.m_pAdd = &added; // registered during the event: sees it too
    m_App.AddEventListener(&first);
    m_App.AddEventListener(&consuming);
    m_App.AddEventListener(&later);
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 10, 20);
    m_App.Drain();
    EXPECT_EQ(first.m_iSeen, 1);
    EXPECT_EQ(consuming.m_iSeen, 1);
    EXPECT_EQ(later.m_iSeen, 1);
    EXPECT_EQ(added.m_iSeen, 1);
    EXPECT_TRUE(m_App.m_aInput.empty());

    m_App.RemoveEventListener(&consuming);
    m_App.RemoveEventListener(&consuming); // absent: nothing
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 10, 20);
    m_App.Drain();
    EXPECT_EQ(later.m_iSeen, 2);
    EXPECT_EQ(m_App.PixelInput(), Calls{"down 0 10,20"});
}

TEST_F(IKorvelApplicationEvents, ListenersAlsoSeeEventsOfOtherDomains)
{
    CListener listener(0);
    m_App.AddEventListener(&listener);
    plat::virtualkeyboard_request_events(0);
    plat::InjectVirtualKeyboard(plat::VIRTUALKEYBOARD_EVENT_VISIBLE);
    m_App.Drain();
    EXPECT_EQ(listener.m_iSeen, 1);
    EXPECT_TRUE(m_App.m_aInput.empty());
}

// ------------------------------------------------------------------- pointer

TEST_F(IKorvelApplicationEvents, PointerPressDragAndReleaseInPixelsAndFractions)
{
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 80, 60);
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 400, 300);
    plat::InjectPointer(0, 400, 310);
    plat::InjectPointer(0, 500, 310); // nothing held: no event
    m_App.Drain();
    EXPECT_EQ(m_App.m_aInput, (Calls{"down 0 80,60", "down 0 0.1000,0.1000", "drag 0 400,300",
                                     "drag 0 0.5000,0.5000", "up 0 400,310", "up 0 0.5000,0.5167"}));
    int iX = 0, iY = 0;
    m_App.GetMousePos(iX, iY);
    EXPECT_EQ(iX, 400);
    EXPECT_EQ(iY, 310);
    EXPECT_EQ(m_App.GetMouseButton(0), 0);
}

TEST_F(IKorvelApplicationEvents, RightAndMiddleButtonsAndReleaseOfTheHighestHeld)
{
    plat::InjectPointer(plat::SCREEN_RIGHT_MOUSE_BUTTON, 1, 1);
    plat::InjectPointer(plat::SCREEN_MIDDLE_MOUSE_BUTTON, 2, 2);
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 3, 3);
    m_App.Drain();
    EXPECT_EQ(m_App.GetMouseButton(0) + m_App.GetMouseButton(1) + m_App.GetMouseButton(2), 3);
    // Several buttons (or none) release one held button per event, index 2 first.
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON | plat::SCREEN_RIGHT_MOUSE_BUTTON, 4, 4);
    plat::InjectPointer(0, 5, 5);
    plat::InjectPointer(0, 6, 6);
    plat::InjectPointer(0, 7, 7);
    m_App.Drain();
    EXPECT_EQ(m_App.PixelInput(),
              (Calls{"down 1 1,1", "down 2 2,2", "down 0 3,3", "up 2 4,4", "up 1 5,5", "up 0 6,6"}));
    EXPECT_EQ(m_App.GetMouseButton(-1), 0);
    EXPECT_EQ(m_App.GetMouseButton(8), 0);
}

// --------------------------------------------------------------------- touch

TEST_F(IKorvelApplicationEvents, TouchesAreButtonsByTheirIdentifier)
{
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_TOUCH, 3, 10, 10);
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_TOUCH, 3, 11, 11); // already held: nothing
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_MOVE, 3, 12, 12);
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_MOVE, 5, 20, 20); // a move before any press is the press
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_RELEASE, 3, 13, 13);
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_RELEASE, 3, 14, 14); // not held: nothing
    m_App.Drain();
    EXPECT_EQ(m_App.PixelInput(), (Calls{"down 3 10,10", "drag 3 12,12", "down 5 20,20", "up 3 13,13"}));
    EXPECT_EQ(m_App.GetMouseButton(5), 1);
}

TEST_F(IKorvelApplicationEvents, TouchIdentifiersBeyondTheButtonTableAreIgnored)
{
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_TOUCH, 8, 10, 10);
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_TOUCH, 1000000, 10, 10);
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_MOVE, -1, 10, 10);
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_TOUCH, 7, 30, 40);
    m_App.Drain();
    EXPECT_EQ(m_App.PixelInput(), Calls{"down 7 30,40"});
    int iX = 0, iY = 0;
    m_App.GetMousePos(iX, iY);
    EXPECT_EQ(iX, 30);
}

// ------------------------------------------------------------------ keyboard

TEST_F(IKorvelApplicationEvents, KeysGiveEngineCodesAndPrintableOnesCharacters)
{
    plat::InjectKey('a');
    plat::InjectKey('~');
    plat::InjectKey(0xE9); // a Latin-1 letter
    m_App.Drain();
    EXPECT_EQ(m_App.m_aInput, (Calls{"key 15", "char 97", "key 255", "char 126", "key 255", "char 233"}));
    EXPECT_EQ(m_App.GetKeybButtons()[KET_KEY_A], 1);
}

TEST_F(IKorvelApplicationEvents, OfThePlatformsOwnKeysOnlyEditingKeysTypeCharacters)
{
    plat::InjectKey(0xF008); // backspace
    plat::InjectKey(0xF009); // tab
    plat::InjectKey(0xF00D); // enter
    plat::InjectKey(0xF08D); // keypad enter
    m_App.Drain();
    EXPECT_EQ(m_App.m_aInput,
              (Calls{"key 130", "char 8", "key 85", "char 9", "key 14", "char 13", "key 125", "char 13"}));

    m_App.m_aInput.clear();
    for (int iSym : {0xF051, 0xF0E1, 0xF0E2, 0xF0E3, 0xF01B, 0xF0FF, 0xF0BE})
        plat::InjectKey(iSym);
    m_App.Drain();
    EXPECT_EQ(m_App.m_aInput, (Calls{"key 10", "key 80", "key 81", "key 78", "key 75", "key 111", "key 51"}));
}

TEST_F(IKorvelApplicationEvents, AKeyWithoutTheDownFlagIsARelease)
{
    plat::InjectKey(0xF051);
    m_App.Drain();
    EXPECT_EQ(m_App.GetKeybButtons()[KET_KEY_LEFT], 1);
    plat::InjectKey(0xF051, 0);
    m_App.Drain();
    EXPECT_EQ(m_App.GetKeybButtons()[KET_KEY_LEFT], 0);
    EXPECT_EQ(m_App.m_aInput, Calls{"key 10"});
}

// --------------------------------------------------------- navigator and loop

TEST_F(IKorvelApplicationEvents, AnExitEndsTheLoopAfterTheEventsAlreadyQueued)
{
    plat::InjectNavigatorExit();
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 5, 6);
    EXPECT_EQ(m_App.Run(), 0);
    EXPECT_EQ(m_App.PixelInput(), Calls{"down 0 5,6"});
    EXPECT_EQ(m_App.m_iFlips, 0);
    EXPECT_EQ(m_App.m_iExits, 1);
    EXPECT_FALSE(m_App.IsStarted());
    EXPECT_EQ(m_App.GetWindow(), nullptr);
}

TEST_F(IKorvelApplicationEvents, WindowStatesAndInactivityMoveTheFocus)
{
    plat::InjectWindowState(plat::NAVIGATOR_WINDOW_INVISIBLE);  // state 2: nothing
    plat::InjectWindowState(plat::NAVIGATOR_WINDOW_FULLSCREEN); // already active: nothing
    plat::InjectWindowInactive();
    plat::InjectWindowInactive(); // already inactive: nothing
    plat::InjectWindowState(plat::NAVIGATOR_WINDOW_FULLSCREEN);
    plat::InjectWindowState(plat::NAVIGATOR_WINDOW_THUMBNAIL);
    m_App.Drain();
    EXPECT_EQ(m_App.m_aFocus, (std::vector<unsigned int>{0, 1, 0}));
    EXPECT_FALSE(m_App.IsActive());
}

TEST_F(IKorvelApplicationEvents, WhileInactiveTheLoopDoesNotSpin)
{
    plat::InjectWindowInactive();
    std::atomic<bool> bDone{false};
    std::thread closer(
        [&bDone]
        {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            plat::InjectNavigatorExit();
            bDone = true;
        });
    timespec cpuStart, cpuEnd;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
    m_App.Run();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
    closer.join();
    EXPECT_TRUE(bDone);
    double dCpu = double(cpuEnd.tv_sec - cpuStart.tv_sec) + 1e-9 * double(cpuEnd.tv_nsec - cpuStart.tv_nsec);
    EXPECT_LT(dCpu, 0.25) << "CPU seconds of the loop over one second while inactive";
    EXPECT_EQ(m_App.m_iFlips, 0);
}

// ----------------------------------------------------------- dispatch rules

TEST_F(IKorvelApplicationEvents, WhileInactiveEventsChangeNoStateButAreRecorded)
{
    CKorvelUsabilityDataCollection recording;
    recording.Startup(&m_App);
    m_App.StartUsabilityDataCollection(recording);
    recording.AddFrame(0.1f);
    m_App.SetActive(0);
    plat::InjectKey('a');
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 5, 5);
    m_App.Drain();
    EXPECT_TRUE(m_App.m_aInput.empty());
    EXPECT_EQ(m_App.GetKeybButtons()[KET_KEY_A], 0);
    EXPECT_EQ(m_App.GetMouseButton(0), 0);
    EXPECT_EQ(recording.GetFrameEventCount(0), 3u); // key down, character, press
    m_App.StopUsabilityDataCollection();
    recording.Shutdown();
}

TEST_F(IKorvelApplicationEvents, ModalModeHoldsBackAllInput)
{
    m_App.SetModalDialogMode(1);
    plat::InjectKey('a');
    plat::InjectTouch(plat::SCREEN_EVENT_MTOUCH_TOUCH, 0, 1, 1);
    m_App.Drain();
    EXPECT_TRUE(m_App.m_aInput.empty());
    EXPECT_EQ(m_App.GetMouseButton(0), 0);
    m_App.SetModalDialogMode(0);
    plat::InjectKey('a');
    m_App.Drain();
    EXPECT_EQ(m_App.m_aInput, (Calls{"key 15", "char 97"}));
}

TEST_F(IKorvelApplicationEvents, WheelEventsAddUpAndUnknownTypesCallNothing)
{
    CKorvelEvent wheel = CInputApplication::Event(KET_EVENT_WHEEL, 0, 40, 30);
    wheel.m_iWheel = 120;
    m_App.ProcessEvent(wheel);
    wheel.m_iWheel = -40;
    m_App.ProcessEvent(wheel);
    m_App.ProcessEvent(CInputApplication::Event(8));
    m_App.ProcessEvent(CInputApplication::Event(KET_EVENT_NONE));
    EXPECT_EQ(m_App.m_aInput, (Calls{"wheel 120 40,30", "wheel 120 0.0500,0.0500", "wheel -40 40,30",
                                     "wheel -40 0.0500,0.0500"}));
    EXPECT_EQ(m_App.GetMouseWheelAngle(), 80);
}

// --------------------------------------------------------------- orientation

TEST_F(IKorvelApplicationEvents, OrientationFollowsTheTargetAndAsksTheNavigatorToTurn)
{
    EXPECT_EQ(m_App.GetScreenOrientation(), KE_ORIENTATION_LANDSCAPE);
    plat::ClearCallLog();
    EXPECT_EQ(m_App.SetScreenOrientation(KE_ORIENTATION_LANDSCAPE), KE_OK);
    EXPECT_EQ(plat::CountCalls("navigator_set_orientation"), 0);

    EXPECT_EQ(m_App.SetScreenOrientation(KE_ORIENTATION_PORTRAIT), KE_OK);
    ASSERT_EQ(plat::CountCalls("navigator_set_orientation"), 1);
    EXPECT_EQ(plat::GetCallLog().back().ToString(), "navigator_set_orientation(90)");
    EXPECT_EQ(m_App.GetDisplayMode().iWidth, 600);
    EXPECT_EQ(m_App.GetDisplayMode().iHeight, 800);

    g_KEAppGlobalFlags = 4;
    EXPECT_EQ(m_App.SetScreenOrientation(KE_ORIENTATION_PORTRAIT), KE_ERR_DEVICE);
}

} // namespace
