// The screen service's objects and the interface of the window-system back ends.
#pragma once

#include <EGL/egl.h>
#include <cstdint>
#include <memory>

#include "PlatformControl.h"
#include "PlatformScreen.h"

namespace plat
{

struct _screen_event
{
    int m_iType;
    int m_iButtons;
    int m_aPosition[2];
    int m_iKeyFlags;
    int m_iKeySym;
    int m_iTouchId;
    int m_iProperty; // property events: the property that changed
};

// Payload of navigator events.
struct sNavigatorEvent
{
    int m_iWindowState;
};

// Posting through the event service (BPS_FAILURE when the domain is not requested).
int PostScreenEvent(const _screen_event& event);
int PostNavigatorEvent(int iCode, int iWindowState);

class IPlatformBackend
{
public:
    virtual ~IPlatformBackend() = default;
    // Connects to the window system and may shrink the display size to what it
    // has; 0 or an errno value.
    virtual int Open(int aDisplaySize[2]) = 0;
    // The window's buffer size is set; 0 or an errno value.
    virtual int CreateWindow(_screen_window& window) = 0;
    virtual void DestroyWindow(_screen_window& window) = 0;
    virtual void ResizeWindow(_screen_window& window) = 0;
    // Turns waiting window-system input into events; never blocks. A window the window
    // system gave another size takes it as its buffer size and a property event says so.
    virtual void Pump() = 0;
    virtual EGLDisplay GetEglDisplay(void* pNativeDisplay) = 0;
    virtual EGLSurface CreateEglSurface(EGLDisplay display, EGLConfig config, _screen_window& window,
                                        const EGLint* pAttribs) = 0;
    // The refresh period (in monotonic nanoseconds) that presenting on its window
    // surfaces keeps to; 0 presents at once.
    virtual uint64_t PresentPeriodTicks() const { return 0; }
    // While held, the window system serves no other client, so no window changes size.
    virtual void HoldOtherClients(bool /*bHold*/) {}
};

// An unconnected back end of the kind; the EGL calls use one when no context exists.
std::unique_ptr<IPlatformBackend> CreateBackend(eBackend eKind);
std::unique_ptr<IPlatformBackend> CreateX11Backend();
std::unique_ptr<IPlatformBackend> CreateHeadlessBackend();

struct _screen_display
{
    _screen_context* m_pContext;
};

struct _screen_context
{
    eBackend m_eKind;
    std::unique_ptr<IPlatformBackend> m_pBackend;
    _screen_display m_Display;
    int m_aDisplaySize[2];
    bool m_bEventsRequested;
};

struct _screen_window
{
    _screen_context* m_pContext;
    int m_aBufferSize[2];
    int m_iFormat;
    int m_iUsage;
    int m_iRotation;
    int m_iBufferCount;
    unsigned long m_uNativeWindow; // X window id, 0 headless
};

// The oldest live context, or null.
_screen_context* FirstContext();
bool IsLiveWindow(screen_window_t window);

// Configuration read by contexts created afterwards.
void ResetScreenSettings();
const std::string& WindowTitle();

} // namespace plat
