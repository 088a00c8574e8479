// Implements EGL surfaces for headless windows: a surfaceless display and a pbuffer per window.
// Leaves out resizing: a pbuffer keeps the size the window had when it was made.
#include "Platform/Headless/HeadlessEgl.h"

#include <EGL/eglext.h>
#include <atomic>
#include <vector>

namespace plat
{

namespace
{

std::atomic<EGLDisplay> g_pSurfacelessDisplay{EGL_NO_DISPLAY};

EGLint ConfigAttrib(EGLDisplay display, EGLConfig config, EGLint iAttrib)
{
    EGLint iValue = 0;
    eglGetConfigAttrib(display, config, iAttrib, &iValue);
    return iValue;
}

// The X11 windows are RGBX 8888; headless uses the same so that drawing that
// depends on the channel sizes behaves alike.
bool IsRgbx8888(EGLDisplay display, EGLConfig config)
{
    return ConfigAttrib(display, config, EGL_RED_SIZE) == 8 &&
           ConfigAttrib(display, config, EGL_GREEN_SIZE) == 8 &&
           ConfigAttrib(display, config, EGL_BLUE_SIZE) == 8 &&
           ConfigAttrib(display, config, EGL_ALPHA_SIZE) == 0;
}

} // namespace

EGLDisplay GetSurfacelessDisplay()
{
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY)
        g_pSurfacelessDisplay = display;
    return display;
}

bool IsSurfacelessDisplay(EGLDisplay display)
{
    return display != EGL_NO_DISPLAY && display == g_pSurfacelessDisplay.load();
}

EGLBoolean ChoosePbufferConfig(EGLDisplay display, const EGLint* pAttribs, EGLConfig* pConfigs,
                               EGLint iConfigSize, EGLint* pNumConfig)
{
    if (!pNumConfig)
        return ::eglChooseConfig(display, pAttribs, pConfigs, iConfigSize,
                                 pNumConfig); // EGL reports the error
    // The surfaceless platform has no window configs.
    std::vector<EGLint> aAttribs;
    for (const EGLint* p = pAttribs; p && *p != EGL_NONE; p += 2)
    {
        EGLint iValue = p[1];
        if (p[0] == EGL_SURFACE_TYPE && iValue != EGL_DONT_CARE && (iValue & EGL_WINDOW_BIT))
            iValue = (iValue & ~EGL_WINDOW_BIT) | EGL_PBUFFER_BIT;
        aAttribs.push_back(p[0]);
        aAttribs.push_back(iValue);
    }
    aAttribs.push_back(EGL_NONE);
    EGLint iCount = 0;
    if (!::eglChooseConfig(display, aAttribs.data(), nullptr, 0, &iCount))
        return EGL_FALSE;
    std::vector<EGLConfig> aAll(iCount > 0 ? iCount : 1);
    if (!::eglChooseConfig(display, aAttribs.data(), aAll.data(), iCount, &iCount))
        return EGL_FALSE;
    aAll.resize(iCount);
    std::vector<EGLConfig> aChosen;
    for (EGLConfig config : aAll)
        if (IsRgbx8888(display, config))
            aChosen.push_back(config);
    if (aChosen.empty())
        aChosen = aAll;
    if (!pConfigs)
    {
        *pNumConfig = EGLint(aChosen.size());
        return EGL_TRUE;
    }
    EGLint iCopied = 0;
    for (; iCopied < iConfigSize && iCopied < EGLint(aChosen.size()); ++iCopied)
        pConfigs[iCopied] = aChosen[iCopied];
    *pNumConfig = iCopied;
    return EGL_TRUE;
}

EGLSurface CreatePbufferSurface(EGLDisplay display, EGLConfig config, int iWidth, int iHeight)
{
    const EGLint aAttribs[] = {EGL_WIDTH, iWidth, EGL_HEIGHT, iHeight, EGL_NONE};
    return eglCreatePbufferSurface(display, config, aAttribs);
}

} // namespace plat
