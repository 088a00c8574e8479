// EGL start-up on a headless window, in the application's order and with its
// attribute list: an RGBX pbuffer of the window's buffer size that GL draws into.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>
#include <vector>

#include "Platform/PlatformTestEgl.h"
#include "PlatformControl.h"
#include "PlatformScreen.h"
#include "support/InputTestApplication.h"

namespace
{

using namespace plat;

const std::array<GLint, 4> g_aRgbx = {8, 8, 8, 0};

class CHeadlessEgl : public ::testing::Test
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
        m_Egl.Release();
        screen_destroy_context(m_pContext);
    }

    screen_context_t m_pContext = nullptr;
    screen_window_t m_pWindow = nullptr;
    CEngineEgl m_Egl;
};

TEST_F(CHeadlessEgl, WindowSurfaceIsAnRgbxPbufferOfTheBufferSizeThatDraws)
{
    ASSERT_EQ(m_Egl.Start(m_pWindow), "");
    std::array<EGLint, 4> aConfigBits = {};
    const EGLint aAttribs[4] = {EGL_RED_SIZE, EGL_GREEN_SIZE, EGL_BLUE_SIZE, EGL_ALPHA_SIZE};
    for (int i = 0; i < 4; ++i)
        eglGetConfigAttrib(m_Egl.m_pDisplay, m_Egl.m_pConfig, aAttribs[i], &aConfigBits[i]);
    EXPECT_EQ(aConfigBits, g_aRgbx) << "exact 8-8-8 without alpha, as on X11";
    EXPECT_EQ(CEngineEgl::ChannelBits(), g_aRgbx);
    EXPECT_EQ(m_Egl.SurfaceSize(EGL_WIDTH), 96);
    EXPECT_EQ(m_Egl.SurfaceSize(EGL_HEIGHT), 64);

    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 10, 10);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    std::vector<unsigned char> aPixels(size_t{96} * 64 * 4);
    glReadPixels(0, 0, 96, 64, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
    const unsigned char* pCorner = &aPixels[0];                         // bottom-left
    const unsigned char* pOther = &aPixels[(size_t{63} * 96 + 95) * 4]; // top-right
    EXPECT_EQ(pCorner[0], 0);
    EXPECT_EQ(pCorner[2], 255);
    EXPECT_EQ(pOther[0], 255);
    EXPECT_EQ(pOther[2], 0);
    EXPECT_EQ(pOther[3], 255) << "no alpha channel reads as opaque";
    CManualClock clock;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(plat::eglSwapBuffers(m_Egl.m_pDisplay, m_Egl.m_pSurface, clock))
            << "presenting a headless window is harmless";
    EXPECT_TRUE(clock.m_aSleeps.empty()) << "headless presents never wait";

    const std::vector<std::string> aExpected = {"eglGetDisplay", "eglChooseConfig", "eglCreateWindowSurface"};
    std::vector<std::string> aEgl;
    for (const std::string& strName : GetCallNames())
        if (strName.rfind("egl", 0) == 0)
            aEgl.push_back(strName);
    EXPECT_EQ(aEgl, aExpected);
}

TEST_F(CHeadlessEgl, ConfigCountWithoutAnArray)
{
    ASSERT_EQ(m_Egl.Start(m_pWindow), "");
    const EGLint aAttribs[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_NONE};
    EGLint iCount = 0;
    ASSERT_TRUE(plat::eglChooseConfig(m_Egl.m_pDisplay, aAttribs, nullptr, 0, &iCount));
    EXPECT_GE(iCount, 1);
    EGLConfig pConfig = nullptr;
    EXPECT_FALSE(plat::eglChooseConfig(m_Egl.m_pDisplay, aAttribs, &pConfig, 1, nullptr));
}

TEST_F(CHeadlessEgl, InjectedFailuresStopStartupAtThatStep)
{
    for (const char* pszStep : {"eglGetDisplay", "eglChooseConfig", "eglCreateWindowSurface"})
    {
        FailCall(pszStep);
        EXPECT_EQ(m_Egl.Start(m_pWindow), pszStep);
        m_Egl.Release();
    }
    EXPECT_EQ(m_Egl.Start(nullptr), "eglCreateWindowSurface") << "no window, no surface";
}

} // namespace
