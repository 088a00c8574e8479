// EGL start-up on a headless window, in the application's order and with its
// attribute list: an RGBX pbuffer of the window's buffer size that GL draws into.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <GLES2/gl2.h>
#include <gtest/gtest.h>
#include <vector>

#include "PlatformControl.h"
#include "PlatformEgl.h"
#include "PlatformScreen.h"

namespace {

using namespace plat;

// The application's attribute list: minimums, a window surface and ES 2.
const EGLint g_aEngineConfig[] = {EGL_RED_SIZE,     5, EGL_GREEN_SIZE, 6, EGL_BLUE_SIZE, 5, EGL_ALPHA_SIZE, 0,
                                  EGL_DEPTH_SIZE,   8, EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE,
                                  EGL_OPENGL_ES2_BIT, EGL_NONE};

class HeadlessEgl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetPlatform(eBackend::Headless);
        ASSERT_EQ(screen_create_context(&m_pContext, SCREEN_APPLICATION_CONTEXT), 0);
        ASSERT_EQ(screen_create_window(&m_pWindow, m_pContext), 0);
        const int aSize[2] = {96, 64};
        ASSERT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize), 0);
    }
    void TearDown() override
    {
        if (m_pDisplay != EGL_NO_DISPLAY)
        {
            eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            if (m_pEglContext != EGL_NO_CONTEXT)
                eglDestroyContext(m_pDisplay, m_pEglContext);
            if (m_pSurface != EGL_NO_SURFACE)
                eglDestroySurface(m_pDisplay, m_pSurface);
            eglTerminate(m_pDisplay);
        }
        screen_destroy_context(m_pContext);
    }
    // The application's start-up steps up to the config.
    void StartDisplay()
    {
        m_pDisplay = plat::eglGetDisplay(EGL_DEFAULT_DISPLAY);
        ASSERT_NE(m_pDisplay, EGL_NO_DISPLAY);
        EGLint iMajor = 0, iMinor = 0;
        ASSERT_TRUE(eglInitialize(m_pDisplay, &iMajor, &iMinor));
        ASSERT_TRUE(eglBindAPI(EGL_OPENGL_ES_API));
        EGLint iFound = 0;
        ASSERT_TRUE(plat::eglChooseConfig(m_pDisplay, g_aEngineConfig, &m_pConfig, 1, &iFound));
        ASSERT_EQ(iFound, 1);
    }

    screen_context_t m_pContext = nullptr;
    screen_window_t m_pWindow = nullptr;
    EGLDisplay m_pDisplay = EGL_NO_DISPLAY;
    EGLConfig m_pConfig = nullptr;
    EGLContext m_pEglContext = EGL_NO_CONTEXT;
    EGLSurface m_pSurface = EGL_NO_SURFACE;
};

TEST_F(HeadlessEgl, WindowSurfaceIsAnRgbxPbufferOfTheBufferSizeThatDraws)
{
    StartDisplay();
    EGLint aSizes[4] = {};
    const EGLint aAttribs[4] = {EGL_RED_SIZE, EGL_GREEN_SIZE, EGL_BLUE_SIZE, EGL_ALPHA_SIZE};
    for (int i = 0; i < 4; ++i)
        eglGetConfigAttrib(m_pDisplay, m_pConfig, aAttribs[i], &aSizes[i]);
    EXPECT_EQ(aSizes[0], 8);
    EXPECT_EQ(aSizes[1], 8);
    EXPECT_EQ(aSizes[2], 8);
    EXPECT_EQ(aSizes[3], 0) << "no alpha, as on X11";

    const EGLint aContext[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    m_pEglContext = eglCreateContext(m_pDisplay, m_pConfig, EGL_NO_CONTEXT, aContext);
    ASSERT_NE(m_pEglContext, EGL_NO_CONTEXT);
    m_pSurface = plat::eglCreateWindowSurface(m_pDisplay, m_pConfig, m_pWindow, nullptr);
    ASSERT_NE(m_pSurface, EGL_NO_SURFACE);
    ASSERT_TRUE(eglMakeCurrent(m_pDisplay, m_pSurface, m_pSurface, m_pEglContext));
    EGLint iWidth = 0, iHeight = 0;
    eglQuerySurface(m_pDisplay, m_pSurface, EGL_WIDTH, &iWidth);
    eglQuerySurface(m_pDisplay, m_pSurface, EGL_HEIGHT, &iHeight);
    EXPECT_EQ(iWidth, 96);
    EXPECT_EQ(iHeight, 64);

    GLint iAlphaBits = -1;
    glGetIntegerv(GL_ALPHA_BITS, &iAlphaBits);
    EXPECT_EQ(iAlphaBits, 0);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 10, 10);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    std::vector<unsigned char> aPixels(96 * 64 * 4);
    glReadPixels(0, 0, 96, 64, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
    const unsigned char* pCorner = &aPixels[0];          // bottom-left
    const unsigned char* pOther = &aPixels[(63 * 96 + 95) * 4]; // top-right
    EXPECT_EQ(pCorner[0], 0);
    EXPECT_EQ(pCorner[2], 255);
    EXPECT_EQ(pOther[0], 255);
    EXPECT_EQ(pOther[2], 0);
    EXPECT_EQ(pOther[3], 255) << "no alpha channel reads as opaque";
    EXPECT_TRUE(eglSwapBuffers(m_pDisplay, m_pSurface)) << "presenting a headless window is harmless";

    const std::vector<std::string> aExpected = {"eglGetDisplay", "eglChooseConfig", "eglCreateWindowSurface"};
    std::vector<std::string> aEgl;
    for (const std::string& strName : GetCallNames())
        if (strName.rfind("egl", 0) == 0)
            aEgl.push_back(strName);
    EXPECT_EQ(aEgl, aExpected);
}

TEST_F(HeadlessEgl, ConfigCountWithoutAnArray)
{
    StartDisplay();
    EGLint iCount = 0;
    ASSERT_TRUE(plat::eglChooseConfig(m_pDisplay, g_aEngineConfig, nullptr, 0, &iCount));
    EXPECT_GE(iCount, 1);
    EXPECT_FALSE(plat::eglChooseConfig(m_pDisplay, g_aEngineConfig, &m_pConfig, 1, nullptr));
}

TEST_F(HeadlessEgl, InjectedFailuresGiveTheEglFailureValues)
{
    FailCall("eglGetDisplay");
    EXPECT_EQ(plat::eglGetDisplay(EGL_DEFAULT_DISPLAY), EGL_NO_DISPLAY);
    StartDisplay();
    FailCall("eglChooseConfig");
    EGLint iFound = 0;
    EXPECT_FALSE(plat::eglChooseConfig(m_pDisplay, g_aEngineConfig, &m_pConfig, 1, &iFound));
    FailCall("eglCreateWindowSurface");
    EXPECT_EQ(plat::eglCreateWindowSurface(m_pDisplay, m_pConfig, m_pWindow, nullptr), EGL_NO_SURFACE);
    EXPECT_EQ(plat::eglCreateWindowSurface(m_pDisplay, m_pConfig, nullptr, nullptr), EGL_NO_SURFACE)
        << "no window, no surface";
}

} // namespace
