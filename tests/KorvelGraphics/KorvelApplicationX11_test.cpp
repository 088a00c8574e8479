// End to end under Xvfb: the process entry starts a test application in an X window,
// the loop draws frames with the GL screen target, a click made with XTest from
// another connection arrives, and the window manager's close message ends it all.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelCommon/KorvelEntry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "support/InputTestApplication.h"
#include "support/X11TestClient.h"

namespace
{

const unsigned int FILL_COLOUR = 0xFF2080C0u; // drawn every frame
const int CLICK_X = 200, CLICK_Y = 150;

struct sRUN
{
    std::atomic<int> iFrames{0};
    std::atomic<bool> bClicked{false};
    std::atomic<bool> bReleased{false};
    unsigned long uWindow = 0;
    std::vector<std::string> aInput; // read after the run
    int iExits = 0;
    bool bDeleted = false;
    // What the other client found.
    bool bTimedOut = false;
    unsigned long uPixel = 0;
    std::thread tester;
};

sRUN* g_pRun = nullptr;

class CClickApplication : public CInputApplication
{
public:
    CClickApplication()
    {
        m_fnOnFlip = [this]
        {
            GetBack()->Fill(FILL_COLOUR, nullptr);
            ++g_pRun->iFrames;
        };
    }
    ~CClickApplication() override
    {
        g_pRun->aInput = m_aInput;
        g_pRun->bDeleted = true;
    }
    void OnMouseButton(unsigned int uIndex, int iX, int iY) override
    {
        CInputApplication::OnMouseButton(uIndex, iX, iY);
        g_pRun->bClicked = true;
    }
    void OnMouseButtonUp(unsigned int uIndex, int iX, int iY) override
    {
        CInputApplication::OnMouseButtonUp(uIndex, iX, iY);
        g_pRun->bReleased = true;
    }
    void OnExit() override { ++g_pRun->iExits; }
};

// Another X client: looks at the window, clicks into it and closes it.
void Tester(sRUN& run)
{
    const auto fnLook = [&run](Display* pDisplay, Window window)
    {
        XImage* pImage = XGetImage(pDisplay, window, CLICK_X, CLICK_Y, 1, 1, AllPlanes, ZPixmap);
        if (pImage)
        {
            run.uPixel = XGetPixel(pImage, 0, 0);
            XDestroyImage(pImage);
        }
    };
    run.bTimedOut = !TestX11ClickAndClose(
        run.uWindow, [&run] { return run.iFrames.load() >= 5; }, fnLook, CLICK_X, CLICK_Y,
        [&run] { return run.bReleased.load(); });
}

} // namespace

unsigned int KorvelAppGlobalFlags()
{
    return 1;
}

IKorvelApplication* InitKorvelApp(void* pHandle)
{
    CClickApplication* pApplication = new CClickApplication;
    SKE_DISPLAYMODE mode = {800, 600, KE_SURFACE_COMPATIBLE, 0, 0, 0};
    if (pApplication->Startup(pHandle, &mode) != KE_OK)
    {
        delete pApplication;
        return nullptr;
    }
    g_pRun->uWindow = plat::GetNativeWindow(pApplication->GetWindow());
    g_pRun->tester = std::thread(Tester, std::ref(*g_pRun));
    return pApplication;
}

namespace
{

TEST(IKorvelApplicationX11, DrawsTakesAClickAndEndsOnTheWindowManagersClose)
{
    plat::ResetPlatform(plat::eBackend::X11);
    plat::SetDisplaySize(800, 600);
    unsetenv("ORIENTATION");
    sRUN run;
    g_pRun = &run;
    EXPECT_EQ(KorvelProcessEntry(), 0);
    if (run.tester.joinable())
        run.tester.join();
    g_pRun = nullptr;
    g_KEAppGlobalFlags = 0;

    ASSERT_NE(run.uWindow, 0u) << "the application did not start";
    EXPECT_FALSE(run.bTimedOut);
    EXPECT_GE(run.iFrames.load(), 5);
    // The X window shows the colour the GL target filled (24-bit visual: 0xRRGGBB).
    EXPECT_EQ(run.uPixel & 0xFFFFFFu, FILL_COLOUR & 0xFFFFFFu);
    ASSERT_GE(run.aInput.size(), 4u);
    EXPECT_EQ(run.aInput[0], "down 0 200,150");
    EXPECT_EQ(run.aInput[1], "down 0 0.2500,0.2500");
    EXPECT_EQ(run.aInput[2], "up 0 200,150");
    EXPECT_EQ(run.iExits, 1);
    EXPECT_TRUE(run.bDeleted);
}

} // namespace
