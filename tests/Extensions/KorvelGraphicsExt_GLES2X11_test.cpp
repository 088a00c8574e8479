// The GL screen target on a real X window (under Xvfb): start-up through the
// application, a frame drawn, read back and presented; a frame the window was resized under,
// while it was drawn and while it was presented.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "Extensions/KorvelGraphicsExt_GLES2.h"

#include <gtest/gtest.h>

#include <chrono>
#include <dlfcn.h>
#include <functional>
#include <utility>

#include "support/GlTestContext.h"
#include "support/TestApplication.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
// Run by the present below, between the look at the window and the frame's hand-over.
std::function<void()> g_OnPresent;
// Whether the X server serves other clients, as this process's grabs have it.
bool g_bOthersServed = true;
// Whether the last wait for the frame's drawing came while other clients were served.
bool g_bDrawnBeforeHold = false;

template <typename T> T Next(const char* pszName)
{
    return reinterpret_cast<T>(dlsym(RTLD_NEXT, pszName));
}
} // namespace

extern "C" EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    if (g_OnPresent)
        std::exchange(g_OnPresent, nullptr)();
    return Next<EGLBoolean (*)(EGLDisplay, EGLSurface)>("eglSwapBuffers")(display, surface);
}

extern "C" EGLBoolean eglWaitClient()
{
    g_bDrawnBeforeHold = g_bOthersServed;
    return Next<EGLBoolean (*)()>("eglWaitClient")();
}

extern "C" int XGrabServer(Display* pDisplay)
{
    g_bOthersServed = false;
    return Next<int (*)(Display*)>("XGrabServer")(pDisplay);
}

extern "C" int XUngrabServer(Display* pDisplay)
{
    g_bOthersServed = true;
    return Next<int (*)(Display*)>("XUngrabServer")(pDisplay);
}

namespace
{

TEST(CKorvelGraphicsExt_GLES2, DrawsAndPresentsOnAnXWindow)
{
    unsetenv("ORIENTATION");
    plat::ResetPlatform(plat::eBackend::X11);
    plat::SetDisplaySize(640, 480);
    CTestApplication app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    EXPECT_NE(plat::GetNativeWindow(app.GetWindow()), 0u);
    auto* pExt = static_cast<CKorvelGraphicsExt_GLES2*>(app.GetGraphicsExtension());
    ASSERT_NE(pExt, nullptr);
    EXPECT_EQ(pExt->GetWidth(), 640);
    EXPECT_EQ(pExt->GetBackColorBits(0), 8);
    EXPECT_EQ(pExt->GetBackColorBits(1), 8);
    EXPECT_EQ(pExt->GetBackColorBits(2), 8);

    pExt->Fill(0xFF000000, nullptr);
    pExt->GradientFill(0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, nullptr);
    const uint32_t uPixel = ReadGlPixel(320, 240, 480);
    EXPECT_EQ(PixelR(uPixel), 255);
    EXPECT_EQ(PixelG(uPixel), 0);
    EXPECT_EQ(pExt->Extension_Flip(), EGL_TRUE);
    app.DoFlip();
    EXPECT_EQ(app.m_iFlips, 1);
}

class CFollowingApplication : public CTestApplication
{
public:
    using IKorvelApplication::DrainPlatformEvents;
};

// Waits for the X server to have handled what the current surface's connection sent: EGL asks
// the server for the window's size.
void SyncSurface()
{
    EGLint iWidth = 0;
    eglQuerySurface(eglGetCurrentDisplay(), eglGetCurrentSurface(EGL_DRAW), EGL_WIDTH, &iWidth);
}

// Another client resizes the window while a frame is drawn, as a tiling window manager does:
// that frame, drawn for the old size, is not shown (it would sit in a corner beside pixels
// nothing drew); the next, drawn once the application followed, covers the new size. Both
// sides change, then the width alone. Followed before a frame is drawn, that frame fits and
// is shown at once.
TEST(CKorvelGraphicsExt_GLES2, AFrameTheWindowWasResizedUnderIsNotShownAndTheNextCoversTheNewSize)
{
    const int aaNewSizes[][2] = {{800, 560}, {900, 560}, {960, 600}};
    const int FOLLOWED_FIRST = 2;
    const int NEW_WIDTH = aaNewSizes[FOLLOWED_FIRST][0], NEW_HEIGHT = aaNewSizes[FOLLOWED_FIRST][1];
    const unsigned int OLD_RGB = 0x00FF00u, NEW_RGB = 0x0000FFu;
    const int FOLLOW_GUARD_SECONDS = 30; // against hanging, not a measurement
    unsetenv("ORIENTATION");
    plat::ResetPlatform(plat::eBackend::X11);
    plat::SetDisplaySize(640, 480);
    CFollowingApplication app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    auto* pExt = static_cast<CKorvelGraphicsExt_GLES2*>(app.GetGraphicsExtension());
    Display* pTester = XOpenDisplay(nullptr);
    ASSERT_NE(pTester, nullptr);
    const Window uWindow = Window(plat::GetNativeWindow(app.GetWindow()));
    auto Shown = [&](int iX, int iY)
    {
        XImage* pImage = XGetImage(pTester, uWindow, iX, iY, 1, 1, AllPlanes, ZPixmap);
        const unsigned int uPixel = pImage ? unsigned(XGetPixel(pImage, 0, 0) & 0xFFFFFFu) : 0u;
        if (pImage)
            XDestroyImage(pImage);
        return uPixel;
    };

    pExt->Fill(0xFF000000u | OLD_RGB, nullptr);
    pExt->Extension_Flip();
    for (const auto& aiSize : aaNewSizes)
    {
        const int iWidth = aiSize[0], iHeight = aiSize[1];
        SCOPED_TRACE(testing::Message() << iWidth << "x" << iHeight);
        const bool bWhileDrawn = &aiSize != &aaNewSizes[FOLLOWED_FIRST];
        if (bWhileDrawn)
            pExt->Fill(0xFF000000u | OLD_RGB, nullptr); // the frame in hand
        XResizeWindow(pTester, uWindow, iWidth, iHeight);
        XSync(pTester, False);
        if (bWhileDrawn)
        {
            pExt->Extension_Flip();
            SyncSurface();
            EXPECT_NE(Shown(10, 10), OLD_RGB) << "the old frame in the corner";
        }

        const auto tGuard = std::chrono::steady_clock::now() + std::chrono::seconds(FOLLOW_GUARD_SECONDS);
        while (pExt->GetWidth() != iWidth && std::chrono::steady_clock::now() < tGuard)
            app.DrainPlatformEvents();
        ASSERT_EQ(pExt->GetWidth(), iWidth);
        ASSERT_EQ(pExt->GetHeight(), iHeight);
        pExt->Fill(0xFF000000u | NEW_RGB, nullptr);
        pExt->Extension_Flip();
        SyncSurface();
        for (const int iX : {0, iWidth - 1})
            for (const int iY : {0, iHeight - 1})
                EXPECT_EQ(Shown(iX, iY), NEW_RGB) << iX << "," << iY;
    }

    // The window grows after the frame was found to fit, before it is handed over. Had the
    // server served the resize first, the frame (padded to the driver's tile size) would
    // land in the grown window; it must land in the window it was drawn for, which the
    // resize then clears.
    const int GROWN_WIDTH = 1000, GROWN_HEIGHT = 700;
    g_bDrawnBeforeHold = false;
    g_OnPresent = [&]
    {
        // Drawn before the hold: the other clients wait for the hand-over only.
        EXPECT_TRUE(g_bDrawnBeforeHold);
        XResizeWindow(pTester, uWindow, GROWN_WIDTH, GROWN_HEIGHT);
        if (g_bOthersServed)
            XSync(pTester, False);
        else
            XFlush(pTester); // waits for the present: a sync would never return
    };
    pExt->Fill(0xFF000000u | NEW_RGB, nullptr);
    pExt->Extension_Flip();
    EXPECT_FALSE(g_OnPresent) << "no present";
    XSync(pTester, False);
    SyncSurface();
    for (const int iX : {0, NEW_WIDTH + 10})
        for (const int iY : {0, NEW_HEIGHT + 10})
            EXPECT_EQ(Shown(iX, iY), 0u) << iX << "," << iY;

    // Never followed, the grown window still gets a frame once enough were left out, with no
    // pixel nothing drew; the clip set before the new surface still holds on it.
    const CKorvelRect<int> clip(100, 100, 300, 300);
    pExt->SetClipRect(&clip);
    const int iLeftOut = CKorvelGraphicsExt_GLES2::MAX_FRAMES_LEFT_OUT;
    int iFlips = 0;
    for (g_OnPresent = [] {}; g_OnPresent && iFlips <= iLeftOut; ++iFlips)
    {
        pExt->Fill(0xFF000000u | NEW_RGB, nullptr);
        pExt->Extension_Flip();
    }
    EXPECT_FALSE(g_OnPresent) << "no present";
    EXPECT_EQ(iFlips, iLeftOut + 1);
    SyncSurface();
    EXPECT_EQ(Shown(0, 0), 0u);
    // GL counts rows from the bottom of the grown window, the clip from the top of the old size.
    EXPECT_EQ(Shown(200, GROWN_HEIGHT - NEW_HEIGHT + 200), NEW_RGB);
    XCloseDisplay(pTester);
}

} // namespace
