#include "support/GlTestContext.h"

#include <EGL/eglext.h>
#include <GLES2/gl2.h>
#include <vector>

CGlTestContext::CGlTestContext(int iWidth, int iHeight, int iRedBits, int iGreenBits, int iBlueBits,
                               int iAlphaBits)
    : m_iWidth(iWidth), m_iHeight(iHeight)
{
    m_pDisplay = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint iMajor = 0, iMinor = 0;
    if (m_pDisplay == EGL_NO_DISPLAY || !eglInitialize(m_pDisplay, &iMajor, &iMinor))
    {
        m_strError = "eglInitialize failed on the surfaceless platform";
        return;
    }
    eglBindAPI(EGL_OPENGL_ES_API);
    const EGLint aAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT,
                               EGL_NONE};
    EGLint iCount = 0;
    eglChooseConfig(m_pDisplay, aAttribs, nullptr, 0, &iCount);
    std::vector<EGLConfig> aConfigs(iCount > 0 ? iCount : 1);
    eglChooseConfig(m_pDisplay, aAttribs, aConfigs.data(), iCount, &iCount);
    // The surfaceless platform lists 10/10/10 first; tests need exact channel sizes.
    for (EGLint i = 0; i < iCount && !m_pConfig; ++i)
    {
        EGLint r = 0, g = 0, b = 0, a = 0;
        eglGetConfigAttrib(m_pDisplay, aConfigs[i], EGL_RED_SIZE, &r);
        eglGetConfigAttrib(m_pDisplay, aConfigs[i], EGL_GREEN_SIZE, &g);
        eglGetConfigAttrib(m_pDisplay, aConfigs[i], EGL_BLUE_SIZE, &b);
        eglGetConfigAttrib(m_pDisplay, aConfigs[i], EGL_ALPHA_SIZE, &a);
        if (r == iRedBits && g == iGreenBits && b == iBlueBits && a == iAlphaBits)
            m_pConfig = aConfigs[i];
    }
    if (!m_pConfig)
    {
        m_strError = "no EGL config with the asked channel sizes";
        return;
    }
    const EGLint aSurface[] = {EGL_WIDTH, iWidth, EGL_HEIGHT, iHeight, EGL_NONE};
    m_pSurface = eglCreatePbufferSurface(m_pDisplay, m_pConfig, aSurface);
    const EGLint aContext[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    m_pContext = eglCreateContext(m_pDisplay, m_pConfig, EGL_NO_CONTEXT, aContext);
    if (m_pSurface == EGL_NO_SURFACE || m_pContext == EGL_NO_CONTEXT || !MakeCurrent())
    {
        m_strError = "could not create a current pbuffer context";
        if (m_pContext != EGL_NO_CONTEXT)
            eglDestroyContext(m_pDisplay, m_pContext);
        m_pContext = EGL_NO_CONTEXT;
    }
}

CGlTestContext::~CGlTestContext()
{
    if (m_pDisplay == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_pContext != EGL_NO_CONTEXT)
        eglDestroyContext(m_pDisplay, m_pContext);
    if (m_pSurface != EGL_NO_SURFACE)
        eglDestroySurface(m_pDisplay, m_pSurface);
    eglTerminate(m_pDisplay);
}

bool CGlTestContext::MakeCurrent()
{
    return eglMakeCurrent(m_pDisplay, m_pSurface, m_pSurface, m_pContext) == EGL_TRUE;
}

uint32_t CGlTestContext::ReadPixel(int iX, int iY) const
{
    return ReadGlPixel(iX, iY, m_iHeight);
}

uint32_t ReadGlPixel(int iX, int iY, int iHeight)
{
    uint8_t aPixel[4] = {0, 0, 0, 0};
    glReadPixels(iX, iHeight - 1 - iY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, aPixel);
    return uint32_t(aPixel[0]) | uint32_t(aPixel[1]) << 8 | uint32_t(aPixel[2]) << 16 |
           uint32_t(aPixel[3]) << 24;
}
