// End to end under Xvfb: the process entry starts the real application (the neighbours'
// stand-in bodies, no test doubles) with a test game in a folder of generated packs; the
// splash runs, the lobby hosts the game (its layout keeps an in-game dialog open, so the
// game stays in front), a click made with XTest from another connection reaches the game
// at its position, the window manager's close message ends
// the run, and the statistics store counts the launches.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelCommon/KorvelEntry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "Framework/Shell/KestrolundApplication.h"
#include "PlatformControl.h"
#include "support/TestGameState.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestShellPacks.h"
#include "support/TestWorkingDir.h"
#include "support/X11TestClient.h"
#include "tests/Framework/Shell/ShellTestStats.h"

namespace
{

const int WIDTH = 320, HEIGHT = 240;
const int CLICK_X = 120, CLICK_Y = 90;

struct sRUN
{
    std::atomic<int> iGameDraws{0};
    std::atomic<int> iClickX{-1}, iClickY{-1};
    std::atomic<bool> bClicked{false};
    unsigned long uWindow = 0;
    bool bTimedOut = false;
    std::thread tester;
};

sRUN* g_pRun = nullptr;

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

// Another X client: waits for the game to be drawn, clicks into the window, closes it.
void Tester(sRUN& run)
{
    run.bTimedOut = !TestX11ClickAndClose(
        run.uWindow, [&run] { return run.iGameDraws.load() >= 3; }, nullptr, CLICK_X, CLICK_Y,
        [&run] { return run.bClicked.load(); });
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
        std::filesystem::create_directories(m_Dir.Path() + "/app/native");
        ASSERT_TRUE(WriteShellStartupPacks(m_Dir.Path() + "/app/native", WIDTH, HEIGHT));
        ASSERT_TRUE(WriteLobbyStubLayout(m_Dir.Path() + "/app/native"));
        setenv("KORVEL_NO_BROWSER", "1", 1);
    }
    void TearDown() override { ReleaseTestShellPlatform(); }
    // One run of the process entry.
    void RunOnce()
    {
        PrepareTestShellPlatform(plat::eBackend::X11, WIDTH, HEIGHT);
        sRUN run;
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

    CTestWorkingDir m_Dir;
};

TEST_F(CKestrolundApplicationX11, RunsTheSplashHostsTheGameTakesAClickAndCountsLaunches)
{
    ASSERT_NO_FATAL_FAILURE(RunOnce());
    EXPECT_EQ(StoredSettings()["__Vorn_TimesLaunched"], "1");
    ASSERT_NO_FATAL_FAILURE(RunOnce());
    EXPECT_EQ(StoredSettings()["__Vorn_TimesLaunched"], "2");
}

} // namespace
