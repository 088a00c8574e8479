// The X11 back end under Xvfb: the window and its size, an EGL window surface on
// it in the application's order, real X input (synthesized with XTest from a
// second connection) arriving as screen and navigator events, and a size that another
// client gives the window reaching the application.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "Platform/PlatformTestEgl.h"
#include "Platform/PlatformTestEvents.h"
#include "PlatformControl.h"
#include "PlatformScreen.h"
#include "support/InputTestApplication.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace
{

using namespace plat;

bool IsPointer(const sSeenEvent& seen)
{
    return seen.m_iDomain == screen_get_domain() && seen.m_iType == SCREEN_EVENT_POINTER;
}

bool IsKey(const sSeenEvent& seen)
{
    return seen.m_iDomain == screen_get_domain() && seen.m_iType == SCREEN_EVENT_KEYBOARD;
}

std::vector<sSeenEvent> Only(const std::vector<sSeenEvent>& aSeen, bool (*fnKeep)(const sSeenEvent&))
{
    std::vector<sSeenEvent> aKept;
    for (const sSeenEvent& seen : aSeen)
        if (fnKeep(seen))
            aKept.push_back(seen);
    return aKept;
}

class CX11Window : public ::testing::Test
{
protected:
    // One connection for the whole suite: an X server resets when its last client
    // leaves and refuses connections meanwhile.
    static void SetUpTestSuite() { g_pTester = XOpenDisplay(nullptr); }
    static void TearDownTestSuite()
    {
        if (g_pTester)
            XCloseDisplay(g_pTester);
        g_pTester = nullptr;
    }
    void SetUp() override
    {
        ResetPlatform(eBackend::X11);
        setenv("KORVEL_DISPLAY_SIZE", "800x480", 1);
        m_pTester = g_pTester;
        ASSERT_NE(m_pTester, nullptr) << "needs an X server (run under xvfb-run)";
        bps_initialize();
        navigator_request_events(0);
        ASSERT_EQ(screen_create_context(&m_pContext, SCREEN_APPLICATION_CONTEXT), 0);
        ASSERT_EQ(screen_create_window(&m_pWindow, m_pContext), 0);
        ASSERT_EQ(screen_request_events(m_pContext), 0);
        m_uWindow = GetNativeWindow(m_pWindow);
        ASSERT_NE(m_uWindow, 0u);
        // The map arrives as full screen and gives the window the keyboard focus.
        bool bMapped = false;
        EventsUntil([](const sSeenEvent& seen) { return seen.m_iWindowState == 0; }, bMapped);
        ASSERT_TRUE(bMapped);
    }
    void TearDown() override
    {
        if (m_pContext)
            screen_destroy_context(m_pContext);
        bps_shutdown();
        unsetenv("KORVEL_DISPLAY_SIZE");
    }
    void GetXSize(int& iWidth, int& iHeight)
    {
        XWindowAttributes attributes = {};
        XGetWindowAttributes(m_pTester, Window(m_uWindow), &attributes);
        iWidth = attributes.width;
        iHeight = attributes.height;
    }
    void Button(unsigned int uButton, bool bPress)
    {
        XTestFakeButtonEvent(m_pTester, uButton, bPress ? True : False, CurrentTime);
        XFlush(m_pTester);
    }
    void MoveTo(int iX, int iY)
    {
        // The window sits at the root's origin: root and window coordinates agree.
        XTestFakeMotionEvent(m_pTester, DefaultScreen(m_pTester), iX, iY, CurrentTime);
        XFlush(m_pTester);
    }
    void Key(KeySym uKeySym, bool bPress)
    {
        XTestFakeKeyEvent(m_pTester, XKeysymToKeycode(m_pTester, uKeySym), bPress ? True : False,
                          CurrentTime);
        XFlush(m_pTester);
    }
    std::vector<sSeenEvent> PointerEventsUntilRelease()
    {
        bool bFound = false;
        const std::vector<sSeenEvent> aSeen = EventsUntil(
            [](const sSeenEvent& seen) { return IsPointer(seen) && seen.m_iButtons == 0; }, bFound);
        EXPECT_TRUE(bFound) << "no release arrived";
        return Only(aSeen, IsPointer);
    }

    static Display* g_pTester;
    Display* m_pTester = nullptr; // the test's own connection, as another client
    screen_context_t m_pContext = nullptr;
    screen_window_t m_pWindow = nullptr;
    unsigned long m_uWindow = 0;
};

Display* CX11Window::g_pTester = nullptr;

TEST_F(CX11Window, OpensAtTheConfiguredSizeAndFollowsTheBufferSize)
{
    int iWidth = 0, iHeight = 0;
    GetXSize(iWidth, iHeight);
    EXPECT_EQ(iWidth, 800);
    EXPECT_EQ(iHeight, 480);
    char* pszTitle = nullptr;
    ASSERT_NE(XFetchName(m_pTester, Window(m_uWindow), &pszTitle), 0);
    EXPECT_STREQ(pszTitle, "Korvel");
    XFree(pszTitle);
    screen_display_t aDisplays[1] = {nullptr};
    screen_get_context_property_pv(m_pContext, SCREEN_PROPERTY_DISPLAYS, (void**)aDisplays);
    int aSize[2] = {0, 0};
    screen_get_display_property_iv(aDisplays[0], SCREEN_PROPERTY_SIZE, aSize);
    EXPECT_EQ(aSize[0], 800);
    EXPECT_EQ(aSize[1], 480);

    const int aBuffer[2] = {480, 640};
    ASSERT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aBuffer), 0);
    GetXSize(iWidth, iHeight);
    EXPECT_EQ(iWidth, 480);
    EXPECT_EQ(iHeight, 640);
}

TEST_F(CX11Window, DisplayIsNoLargerThanTheXScreen)
{
    screen_context_t pLarge = nullptr;
    SetDisplaySize(5000, 4000);
    ASSERT_EQ(screen_create_context(&pLarge, 0), 0);
    screen_display_t aDisplays[1] = {nullptr};
    screen_get_context_property_pv(pLarge, SCREEN_PROPERTY_DISPLAYS, (void**)aDisplays);
    screen_display_mode_t mode = {};
    screen_get_display_property_pv(aDisplays[0], SCREEN_PROPERTY_MODE, (void**)&mode);
    EXPECT_EQ(int(mode.width), DisplayWidth(m_pTester, DefaultScreen(m_pTester)));
    EXPECT_EQ(int(mode.height), DisplayHeight(m_pTester, DefaultScreen(m_pTester)));
    screen_destroy_context(pLarge);
}

TEST_F(CX11Window, EglWindowSurfaceDrawsIntoTheWindow)
{
    const int aBuffer[2] = {320, 200};
    screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aBuffer);
    CEngineEgl egl;
    ASSERT_EQ(egl.Start(m_pWindow), "");
    EXPECT_EQ(egl.SurfaceSize(EGL_WIDTH), 320);
    EXPECT_EQ(egl.SurfaceSize(EGL_HEIGHT), 200);
    const std::array<GLint, 4> aRgbx = {8, 8, 8, 0};
    EXPECT_EQ(CEngineEgl::ChannelBits(), aRgbx) << "RGBX, like the headless back end";
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char aPixel[4] = {};
    glReadPixels(160, 100, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, aPixel);
    EXPECT_EQ(aPixel[0], 0);
    EXPECT_EQ(aPixel[1], 255);
    EXPECT_TRUE(eglSwapBuffers(egl.m_pDisplay, egl.m_pSurface));
}

TEST_F(CX11Window, PresentsAreHeldToTheRefreshRateUnlessTurnedOff)
{
    CManualClock clock;
    {
        CEngineEgl egl;
        ASSERT_EQ(egl.Start(m_pWindow), "");
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(plat::eglSwapBuffers(egl.m_pDisplay, egl.m_pSurface, clock));
    }
    ASSERT_EQ(clock.m_aSleeps.size(), 3u) << "Xvfb returns at once: every present after the first waits";
    for (unsigned int uSleep : clock.m_aSleeps)
        EXPECT_TRUE(uSleep > 0 && uSleep <= 50) << uSleep << " ms is no refresh period";

    // Read when a context connects.
    clock.m_aSleeps.clear();
    setenv("KORVEL_NO_PRESENT_WAIT", "1", 1);
    screen_context_t pUnpaced = nullptr;
    screen_window_t pWindow = nullptr;
    ASSERT_EQ(screen_create_context(&pUnpaced, SCREEN_APPLICATION_CONTEXT), 0);
    unsetenv("KORVEL_NO_PRESENT_WAIT");
    ASSERT_EQ(screen_create_window(&pWindow, pUnpaced), 0);
    {
        CEngineEgl egl;
        ASSERT_EQ(egl.Start(pWindow), "");
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(plat::eglSwapBuffers(egl.m_pDisplay, egl.m_pSurface, clock));
    }
    EXPECT_TRUE(clock.m_aSleeps.empty());
    screen_destroy_context(pUnpaced);
}

TEST_F(CX11Window, PressDragAndReleaseArriveWithTheMaskAfterEachEvent)
{
    MoveTo(100, 100); // no button held: no event
    Button(1, true);
    MoveTo(150, 120);
    Button(1, false);
    const std::vector<sSeenEvent> aPointer = PointerEventsUntilRelease();
    ASSERT_GE(aPointer.size(), 3u);
    EXPECT_EQ(aPointer.front().m_iButtons, SCREEN_LEFT_MOUSE_BUTTON);
    EXPECT_EQ(aPointer.front().m_aPosition[0], 100);
    EXPECT_EQ(aPointer.front().m_aPosition[1], 100);
    const sSeenEvent& drag = aPointer[aPointer.size() - 2];
    EXPECT_EQ(drag.m_iButtons, SCREEN_LEFT_MOUSE_BUTTON);
    EXPECT_EQ(drag.m_aPosition[0], 150);
    EXPECT_EQ(drag.m_aPosition[1], 120);
    EXPECT_EQ(aPointer.back().m_iButtons, 0) << "the release reports the button up";
    EXPECT_EQ(aPointer.back().m_aPosition[0], 150);
}

TEST_F(CX11Window, RightAndMiddleButtonsGiveTheirMasksAndTheWheelNothing)
{
    MoveTo(50, 60);
    Button(3, true);
    Button(3, false);
    std::vector<sSeenEvent> aPointer = PointerEventsUntilRelease();
    ASSERT_EQ(aPointer.size(), 2u);
    EXPECT_EQ(aPointer[0].m_iButtons, SCREEN_RIGHT_MOUSE_BUTTON);

    Button(1, true);
    Button(4, true); // wheel turns during a drag must not end it
    Button(4, false);
    Button(5, true);
    Button(5, false);
    Button(2, true);
    Button(2, false);
    Button(1, false);
    aPointer = PointerEventsUntilRelease();
    ASSERT_EQ(aPointer.size(), 4u);
    EXPECT_EQ(aPointer[0].m_iButtons, SCREEN_LEFT_MOUSE_BUTTON);
    EXPECT_EQ(aPointer[1].m_iButtons, SCREEN_LEFT_MOUSE_BUTTON | SCREEN_MIDDLE_MOUSE_BUTTON);
    EXPECT_EQ(aPointer[2].m_iButtons, SCREEN_LEFT_MOUSE_BUTTON);
    EXPECT_EQ(aPointer[3].m_iButtons, 0);
}

TEST_F(CX11Window, KeysArriveWithTheirPlatformSymbols)
{
    MoveTo(10, 10);
    Key(XK_a, true);
    Key(XK_a, false);
    Key(XK_Left, true);
    Key(XK_Left, false);
    Key(XK_Shift_L, true);
    Key(XK_b, true);
    Key(XK_b, false);
    Key(XK_Shift_L, false);
    Key(XK_BackSpace, true);
    bool bFound = false;
    const std::vector<sSeenEvent> aKeys = Only(
        EventsUntil([](const sSeenEvent& seen) { return IsKey(seen) && seen.m_iKeySym == 0xF008; }, bFound),
        IsKey);
    ASSERT_TRUE(bFound);
    Key(XK_BackSpace, false);
    std::vector<std::pair<int, int>> aSymFlags;
    for (const sSeenEvent& seen : aKeys)
        aSymFlags.emplace_back(seen.m_iKeySym, seen.m_iKeyFlags);
    const std::vector<std::pair<int, int>> aExpected = {{'a', 1},    {'a', 0},    {0xF051, 1},
                                                        {0xF051, 0}, {0xF0E1, 1}, {'B', 1},
                                                        {'B', 0},    {0xF0E1, 0}, {0xF008, 1}};
    EXPECT_EQ(aSymFlags, aExpected);
}

TEST_F(CX11Window, WindowManagerCloseBecomesNavigatorExit)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(m_uWindow);
    event.xclient.message_type = XInternAtom(m_pTester, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(m_pTester, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    ASSERT_NE(XSendEvent(m_pTester, Window(m_uWindow), False, NoEventMask, &event), 0);
    XFlush(m_pTester);
    bool bFound = false;
    EventsUntil([](const sSeenEvent& seen)
                { return seen.m_iDomain == navigator_get_domain() && seen.m_iCode == 2; },
                bFound);
    EXPECT_TRUE(bFound);
}

TEST_F(CX11Window, UnmapAndMapGiveThumbnailAndFullScreen)
{
    XUnmapWindow(m_pTester, Window(m_uWindow));
    XFlush(m_pTester);
    bool bFound = false;
    EventsUntil([](const sSeenEvent& seen) { return seen.m_iWindowState == 1; }, bFound);
    EXPECT_TRUE(bFound);
    XMapWindow(m_pTester, Window(m_uWindow));
    XFlush(m_pTester);
    EventsUntil([](const sSeenEvent& seen) { return seen.m_iWindowState == 0; }, bFound);
    EXPECT_TRUE(bFound);
}

// Runs the step until it reports the state it waits for; false after a guard time that is
// never a measurement, only against hanging.
bool PollUntil(const std::function<bool()>& fnStep)
{
    const auto tEnd = std::chrono::steady_clock::now() + TEST_WAIT_LIMIT;
    while (!fnStep())
    {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// An application whose window another client resizes, as a tiling window manager does
// whatever the size hints say.
class CResizedApplication : public CInputApplication
{
public:
    void OnScreenChanged(int iWidth, int iHeight) override
    {
        IKorvelApplication::OnScreenChanged(iWidth, iHeight);
        m_aInput.push_back("screen " + std::to_string(iWidth) + "," + std::to_string(iHeight));
    }
    bool DrainUntil(const std::string& strCall)
    {
        return PollUntil(
            [&]
            {
                Drain();
                return std::count(m_aInput.begin(), m_aInput.end(), strCall) > 0;
            });
    }
};

TEST_F(CX11Window, ASizeTheWindowSystemGivesReachesTheApplicationsScreenChange)
{
    const int NEW_WIDTH = 640, NEW_HEIGHT = 400;
    const unsigned int CORNER_RGB = 0x20C040u; // filled into the new size's top right corner
    CResizedApplication app;
    SKE_DISPLAYMODE mode = {};
    ASSERT_EQ(app.Startup(nullptr, &mode), KE_OK);
    const Window uWindow = Window(GetNativeWindow(app.GetWindow()));
    app.GetGraphicsExtension()->Extension_Flip(); // the loop has presented at the old size
    XResizeWindow(m_pTester, uWindow, NEW_WIDTH, NEW_HEIGHT);
    XFlush(m_pTester);
    ASSERT_TRUE(app.DrainUntil("screen 640,400"));
    EXPECT_EQ(app.GetBack()->GetWidth(), NEW_WIDTH);
    EXPECT_EQ(app.GetBack()->GetHeight(), NEW_HEIGHT);

    // What is drawn at the new size's top right is where the window shows it, once the X
    // server has taken a frame from the application's connection.
    const CKorvelRect<int> rcCorner(NEW_WIDTH - 20, 0, NEW_WIDTH, 20);
    EXPECT_TRUE(PollUntil(
        [&]
        {
            app.GetBack()->Fill(0xFF000000u, static_cast<const CKorvelRect<int>*>(nullptr));
            app.GetBack()->Fill(0xFF000000u | CORNER_RGB, &rcCorner);
            app.GetGraphicsExtension()->Extension_Flip();
            XImage* pImage = XGetImage(m_pTester, uWindow, NEW_WIDTH - 10, 10, 1, 1, AllPlanes, ZPixmap);
            const unsigned long uPixel = pImage ? XGetPixel(pImage, 0, 0) & 0xFFFFFFu : 0;
            if (pImage)
                XDestroyImage(pImage);
            return uPixel == CORNER_RGB;
        }));

    // A press there reads in the same size: the pointer's normalised place is 630 / 640.
    MoveTo(NEW_WIDTH - 10, 10);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(app.DrainUntil("up 0 630,10"));
    EXPECT_EQ(std::count(app.m_aInput.begin(), app.m_aInput.end(), "down 0 0.9844,0.0250"), 1);

    // A move, or a size it already has, changes nothing.
    XMoveWindow(m_pTester, uWindow, 5, 5);
    XResizeWindow(m_pTester, uWindow, NEW_WIDTH, NEW_HEIGHT);
    XResizeWindow(m_pTester, uWindow, NEW_WIDTH + 1, NEW_HEIGHT);
    XFlush(m_pTester);
    ASSERT_TRUE(app.DrainUntil("screen 641,400"));
    EXPECT_EQ(std::count_if(app.m_aInput.begin(), app.m_aInput.end(),
                            [](const std::string& strCall) { return strCall.rfind("screen", 0) == 0; }),
              2);
}

TEST_F(CX11Window, InjectionWorksBesideRealInput)
{
    ASSERT_EQ(InjectTouch(SCREEN_EVENT_MTOUCH_TOUCH, 2, 30, 40), BPS_SUCCESS);
    bool bFound = false;
    EventsUntil([](const sSeenEvent& seen) { return seen.m_iType == SCREEN_EVENT_MTOUCH_TOUCH; }, bFound);
    EXPECT_TRUE(bFound);
}

} // namespace
