// The application's EGL start-up and release on a screen window, step for step
// as the GL screen target makes them, for the back ends' EGL tests.
#pragma once

#include <EGL/egl.h>
#include <GLES2/gl2.h>
#include <array>
#include <string>

#include "PlatformEgl.h"

class CEngineEgl
{
public:
    ~CEngineEgl() { Release(); }

    // "" when every step worked, else the name of the step that failed; what was
    // made before it stays until Release, as in the application.
    std::string Start(plat::screen_window_t window)
    {
        // clang-format off
        static const EGLint s_aConfig[] = {EGL_RED_SIZE, 5, EGL_GREEN_SIZE, 6, EGL_BLUE_SIZE, 5, EGL_ALPHA_SIZE, 0,
                                           EGL_DEPTH_SIZE, 8, EGL_SURFACE_TYPE, EGL_WINDOW_BIT,
                                           EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_NONE};
        // clang-format on
        static const EGLint s_aContext[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
        m_pDisplay = plat::eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (m_pDisplay == EGL_NO_DISPLAY)
            return "eglGetDisplay";
        EGLint iMajor = 0, iMinor = 0, iFound = 0;
        if (!eglInitialize(m_pDisplay, &iMajor, &iMinor))
            return "eglInitialize";
        if (!eglBindAPI(EGL_OPENGL_ES_API))
            return "eglBindAPI";
        if (!plat::eglChooseConfig(m_pDisplay, s_aConfig, &m_pConfig, 1, &iFound) || iFound == 0)
            return "eglChooseConfig";
        m_pContext = eglCreateContext(m_pDisplay, m_pConfig, EGL_NO_CONTEXT, s_aContext);
        if (m_pContext == EGL_NO_CONTEXT)
            return "eglCreateContext";
        m_pSurface = plat::eglCreateWindowSurface(m_pDisplay, m_pConfig, window, nullptr);
        if (m_pSurface == EGL_NO_SURFACE)
            return "eglCreateWindowSurface";
        if (!eglMakeCurrent(m_pDisplay, m_pSurface, m_pSurface, m_pContext))
            return "eglMakeCurrent";
        return "";
    }

    // The application's release order; tears down what exists.
    void Release()
    {
        if (m_pDisplay == EGL_NO_DISPLAY)
            return;
        if (m_pSurface != EGL_NO_SURFACE)
            eglSwapBuffers(m_pDisplay, m_pSurface);
        eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (m_pContext != EGL_NO_CONTEXT)
            eglDestroyContext(m_pDisplay, m_pContext);
        if (m_pSurface != EGL_NO_SURFACE)
            eglDestroySurface(m_pDisplay, m_pSurface);
        eglTerminate(m_pDisplay);
        m_pDisplay = EGL_NO_DISPLAY;
        m_pContext = EGL_NO_CONTEXT;
        m_pSurface = EGL_NO_SURFACE;
        m_pConfig = nullptr;
    }

    EGLint SurfaceSize(EGLint iWhich) const
    {
        EGLint iValue = 0;
        eglQuerySurface(m_pDisplay, m_pSurface, iWhich, &iValue);
        return iValue;
    }

    // Red, green, blue and alpha bits of the current drawing buffer.
    static std::array<GLint, 4> ChannelBits()
    {
        std::array<GLint, 4> aBits = {-1, -1, -1, -1};
        glGetIntegerv(GL_RED_BITS, &aBits[0]);
        glGetIntegerv(GL_GREEN_BITS, &aBits[1]);
        glGetIntegerv(GL_BLUE_BITS, &aBits[2]);
        glGetIntegerv(GL_ALPHA_BITS, &aBits[3]);
        return aBits;
    }

    EGLDisplay m_pDisplay = EGL_NO_DISPLAY;
    EGLConfig m_pConfig = nullptr;
    EGLContext m_pContext = EGL_NO_CONTEXT;
    EGLSurface m_pSurface = EGL_NO_SURFACE;
};
