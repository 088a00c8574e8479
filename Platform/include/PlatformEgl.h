// The four EGL steps that depend on the window system. The engine calls these
// (qualified with plat::) and every other EGL function directly.
//
// On X11 they reach the X server of the screen context and the window's X window.
// Headless there is no window system: the display is Mesa's surfaceless platform,
// window configs are asked for as pbuffer configs (exact 8-8-8, alpha 0, the
// format of the X11 windows), and a window surface is a pbuffer of the window's
// buffer size.
//
// Presenting on X11 asks for a swap interval of 1 and, where the driver returns
// sooner (Xvfb, software rendering), waits out the rest of the display's refresh
// period on the caller's clock; KORVEL_NO_PRESENT_WAIT=1 turns both off. Headless
// presents at once.
//
// A window another client resizes between the look at its size and the present would show
// the old frame in a corner beside pixels nothing drew: on X11 the server serves no other
// client from the look until the frame is handed over.
#pragma once

#include <EGL/egl.h>

#include <functional>

#include "PlatformScreen.h"

namespace plat
{

class IPlatformClock;

EGLDisplay eglGetDisplay(void* pNativeDisplay);
EGLBoolean eglChooseConfig(EGLDisplay display, const EGLint* pAttribs, EGLConfig* pConfigs,
                           EGLint iConfigSize, EGLint* pNumConfig);
EGLSurface eglCreateWindowSurface(EGLDisplay display, EGLConfig config, screen_window_t window,
                                  const EGLint* pAttribs);
// Presents when bFits, asked while the window keeps its size, says the frame fits its
// window (always without it); EGL_TRUE also when it is left out.
EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface, IPlatformClock& clock,
                          const std::function<bool()>& bFits = nullptr);

} // namespace plat
