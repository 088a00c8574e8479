// The window-system steps of EGL start-up, handed to the back end of the screen
// context (or of the selected kind when there is no context yet).
#include "PlatformEgl.h"

#include <map>

#include "Platform/Common/CallLog.h"
#include "Platform/Common/FrameLog.h"
#include "Platform/Common/PresentPacer.h"
#include "Platform/Common/ScreenObjects.h"
#include "Platform/Headless/HeadlessEgl.h"

namespace plat
{

namespace
{

struct CPacedSurface
{
    CPresentPacer m_Pacer;
    bool m_bIntervalAsked;
};

// Window surfaces whose back end holds presenting to the display's rate. A handle that
// EGL hands out again is replaced when its new surface is made.
std::map<EGLSurface, CPacedSurface>& PacedSurfaces()
{
    static std::map<EGLSurface, CPacedSurface> s_Surfaces;
    return s_Surfaces;
}

// No other client of the window system is served while one lives (when asked to hold).
class CHeldWindows
{
public:
    explicit CHeldWindows(bool bHold) : m_pContext(bHold ? FirstContext() : nullptr)
    {
        if (m_pContext)
            m_pContext->m_pBackend->HoldOtherClients(true);
    }
    ~CHeldWindows()
    {
        if (m_pContext)
            m_pContext->m_pBackend->HoldOtherClients(false);
    }
    CHeldWindows(const CHeldWindows&) = delete;
    CHeldWindows& operator=(const CHeldWindows&) = delete;

private:
    _screen_context* m_pContext;
};

} // namespace

EGLDisplay eglGetDisplay(void* pNativeDisplay)
{
    if (RecordCall("eglGetDisplay"))
        return EGL_NO_DISPLAY;
    if (_screen_context* pContext = FirstContext())
        return pContext->m_pBackend->GetEglDisplay(pNativeDisplay);
    return CreateBackend(GetSelectedBackend())->GetEglDisplay(pNativeDisplay);
}

EGLBoolean eglChooseConfig(EGLDisplay display, const EGLint* pAttribs, EGLConfig* pConfigs,
                           EGLint iConfigSize, EGLint* pNumConfig)
{
    if (RecordCall("eglChooseConfig"))
        return EGL_FALSE;
    if (IsSurfacelessDisplay(display))
        return ChoosePbufferConfig(display, pAttribs, pConfigs, iConfigSize, pNumConfig);
    return ::eglChooseConfig(display, pAttribs, pConfigs, iConfigSize, pNumConfig);
}

EGLSurface eglCreateWindowSurface(EGLDisplay display, EGLConfig config, screen_window_t window,
                                  const EGLint* pAttribs)
{
    if (RecordCall("eglCreateWindowSurface"))
        return EGL_NO_SURFACE;
    if (!IsLiveWindow(window))
        return EGL_NO_SURFACE;
    IPlatformBackend& backend = *window->m_pContext->m_pBackend;
    const EGLSurface surface = backend.CreateEglSurface(display, config, *window, pAttribs);
    PacedSurfaces().erase(surface);
    if (surface != EGL_NO_SURFACE)
        if (const uint64_t uPeriod = backend.PresentPeriodTicks())
            PacedSurfaces().emplace(surface, CPacedSurface{CPresentPacer(uPeriod), false});
    return surface;
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface, IPlatformClock& clock,
                          const std::function<bool()>& bFits)
{
    const auto it = PacedSurfaces().find(surface);
    if (it != PacedSurfaces().end() && !it->second.m_bIntervalAsked)
    {
        // Only possible while the surface is current, which presenting needs anyway.
        eglSwapInterval(display, 1);
        it->second.m_bIntervalAsked = true;
    }
    EGLBoolean bResult = EGL_TRUE;
    // The frame is drawn before other clients are held: a software rasterizer draws it at the
    // swap, and on a loaded machine that took seconds in which no other window was served.
    if (bFits)
        ::eglWaitClient();
    {
        CHeldWindows held(bFits != nullptr);
        if (bFits && !bFits())
            return EGL_TRUE;
        bResult = ::eglSwapBuffers(display, surface);
    }
    if (it != PacedSurfaces().end())
        it->second.m_Pacer.AfterPresent(clock);
    LogPresent();
    return bResult;
}

} // namespace plat
