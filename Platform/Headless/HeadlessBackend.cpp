// Implements the headless back end: a window is its size and properties, events come only from injection.
// Leaves out any window system: nothing is shown and no real input is read.
#include "Platform/Common/ScreenObjects.h"
#include "Platform/Headless/HeadlessEgl.h"

namespace plat
{

namespace
{

class CHeadlessBackend : public IPlatformBackend
{
public:
    int Open(int* /*aDisplaySize*/) override { return 0; }
    int CreateWindow(_screen_window& /*window*/) override { return 0; }
    void DestroyWindow(_screen_window& /*window*/) override {}
    void ResizeWindow(_screen_window& /*window*/) override {}
    void Pump() override {}
    EGLDisplay GetEglDisplay(void* /*pNativeDisplay*/) override { return GetSurfacelessDisplay(); }
    EGLSurface CreateEglSurface(EGLDisplay display, EGLConfig config, _screen_window& window,
                                const EGLint* /*pAttribs*/) override
    {
        return CreatePbufferSurface(display, config, window.m_aBufferSize[0], window.m_aBufferSize[1]);
    }
};

} // namespace

std::unique_ptr<IPlatformBackend> CreateHeadlessBackend()
{
    return std::make_unique<CHeadlessBackend>();
}

} // namespace plat
