// EGL without a window system: Mesa's surfaceless platform and pbuffers.
#pragma once

#include <EGL/egl.h>

namespace plat
{

EGLDisplay GetSurfacelessDisplay();
bool IsSurfacelessDisplay(EGLDisplay display);
// eglChooseConfig with window configs asked for as pbuffer configs, exact
// 8-8-8 alpha 0 first.
EGLBoolean ChoosePbufferConfig(EGLDisplay display, const EGLint* pAttribs, EGLConfig* pConfigs,
                               EGLint iConfigSize, EGLint* pNumConfig);
EGLSurface CreatePbufferSurface(EGLDisplay display, EGLConfig config, int iWidth, int iHeight);

} // namespace plat
