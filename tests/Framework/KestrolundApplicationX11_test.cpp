// End to end under Xvfb: the process entry starts the real application (the neighbours'
// stand-in bodies, no test doubles) with a test game in a folder of generated packs; the
// splash runs, the stand-in lobby hosts the game, a click made with XTest from another
// connection reaches the game at its position, the window manager's close message ends
// the run, and the statistics store counts the launches.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelCommon/KorvelEntry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "Framework/KestrolundApplication.h"
#include "PlatformControl.h"
#include "PlatformDeviceInfoControl.h"
#include "PlatformMmrControl.h"
#include "PlatformNetStatusControl.h"
#include "PlatformPcmControl.h"
#include "support/TestGameState.h"
#include "support/TestShellPacks.h"
#include "support/TestTempDir.h"
#include "tests/Framework/ShellTestStats.h"

namespace
{

const int WIDTH = 320, HEIGHT = 240;
const int CLICK_X = 120, CLICK_Y = 90;

struct sRun
{
    std::atomic<int> iGameDraws{0};
    std::atomic<int> iClickX{-1}, iClickY{-1};
    std::atomic<bool> bClicked{false};
    unsigned long uWindow = 0;
    bool bTimedOut = false;
    std::thread tester;
};

sRun* g_pRun = nullptr;

// The test game, telling the other thread what reached it.
class CWatchedGame : public CTestGameState
{
public:
    void Draw() override
    {
        CTestGameState::Draw();
        ++g_pRun->iGameDraws;
    }
    unsigned int OnMouseButton(unsigned int uButton, int iX, int iY) override
    {
        g_pRun->iClickX = iX;
        g_pRun->iClickY = iY;
        g_pRun->bClicked = true;
        return CTestGameState::OnMouseButton(uButton, iX, iY);
    }
};

bool WaitFor(const std::function<bool()>& fnDone)
{
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fnDone())
    {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Another X client: waits for the game to be drawn, clicks into the window, closes it.
void Tester(sRun& run)
{
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
    {
        run.bTimedOut = true;
        plat::InjectNavigatorExit();
        return;
    }
    const Window window = Window(run.uWindow);
    if (WaitFor([&run] { return run.iGameDraws.load() >= 3; }))
    {
        // The window sits at the root's origin: root and window coordinates agree.
        XTestFakeMotionEvent(pDisplay, DefaultScreen(pDisplay), CLICK_X, CLICK_Y, CurrentTime);
        XTestFakeButtonEvent(pDisplay, 1, True, CurrentTime);
        XTestFakeButtonEvent(pDisplay, 1, False, CurrentTime);
        XFlush(pDisplay);
    }
    if (!WaitFor([&run] { return run.bClicked.load(); }))
        run.bTimedOut = true;

    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(pDisplay, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(pDisplay, window, False, NoEventMask, &event);
    XFlush(pDisplay);
    XCloseDisplay(pDisplay);
}

} // namespace

unsigned int KorvelAppGlobalFlags()
{
    return 1;
}

IKorvelApplication* InitKorvelApp(void* pHandle)
{
    CKestrolundApplication* pApplication = new CKestrolundApplication;
    CWatchedGame* pGame = new CWatchedGame;
    if (pApplication->Startup(pHandle, 800, 600, pGame) != KE_OK)
    {
        delete pApplication;
        delete pGame;
        return nullptr;
    }
    g_pRun->uWindow = plat::GetNativeWindow(pApplication->GetWindow());
    g_pRun->tester = std::thread(Tester, std::ref(*g_pRun));
    return pApplication;
}

namespace
{

class CKestrolundApplicationX11 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char acDir[4096];
        m_strPrevious = getcwd(acDir, sizeof(acDir)) ? acDir : ".";
        std::filesystem::create_directories(m_Dir.Path() + "/app/native");
        ASSERT_EQ(chdir(m_Dir.Path().c_str()), 0);
        ASSERT_TRUE(WriteShellStartupPacks(m_Dir.Path() + "/app/native", WIDTH, HEIGHT));
        setenv("KORVEL_NO_BROWSER", "1", 1);
    }
    void TearDown() override
    {
        plat::PcmControlReset();
        plat::MmrControlReset();
        plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_HOST);
        EXPECT_EQ(chdir(m_strPrevious.c_str()), 0);
    }
    // One run of the process entry.
    void RunOnce()
    {
        plat::ResetPlatform(plat::eBackend::X11);
        plat::SetDisplaySize(WIDTH, HEIGHT);
        unsetenv("ORIENTATION");
        plat::DeviceInfoControlUseHost("/nonexistent/machine-id");
        plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_AVAILABLE);
        plat::PcmControlReset();
        plat::PcmControlUseCaptureSink(true);
        plat::MmrControlReset();
        plat::MmrControlUseCaptureOutput(true);
        sRun run;
        g_pRun = &run;
        EXPECT_EQ(KorvelProcessEntry(), 0);
        if (run.tester.joinable())
            run.tester.join();
        g_pRun = nullptr;
        g_KEAppGlobalFlags = 0;

        ASSERT_NE(run.uWindow, 0u) << "the application did not start";
        EXPECT_FALSE(run.bTimedOut);
        EXPECT_GE(run.iGameDraws.load(), 3) << "the lobby hosted the game after the splash";
        EXPECT_EQ(run.iClickX.load(), CLICK_X);
        EXPECT_EQ(run.iClickY.load(), CLICK_Y);
    }

    CTestTempDir m_Dir;
    std::string m_strPrevious;
};

TEST_F(CKestrolundApplicationX11, RunsTheSplashHostsTheGameTakesAClickAndCountsLaunches)
{
    ASSERT_NO_FATAL_FAILURE(RunOnce());
    EXPECT_EQ(StoredSettings()["__Vorn_TimesLaunched"], "1");
    ASSERT_NO_FATAL_FAILURE(RunOnce());
    EXPECT_EQ(StoredSettings()["__Vorn_TimesLaunched"], "2");
}

} // namespace
