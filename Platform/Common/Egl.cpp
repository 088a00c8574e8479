// The window-system steps of EGL start-up, handed to the back end of the screen
// context (or of the selected kind when there is no context yet).
#include "PlatformEgl.h"

#include "Platform/Common/CallLog.h"
#include "Platform/Common/ScreenObjects.h"
#include "Platform/Headless/HeadlessEgl.h"

namespace plat
{

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
    return window->m_pContext->m_pBackend->CreateEglSurface(display, config, *window, pAttribs);
}

} // namespace plat
