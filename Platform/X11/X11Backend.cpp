// Implements X11: an X window per screen window; mouse, keys as screen events; map/unmap/close as navigator;
// a size the window manager gives the window becomes its buffer size and a property event.
// Leaves out multi-touch (injected instead), focus changes and turning for rotation.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/Common/ScreenObjects.h"
#include "Platform/X11/X11Input.h"
#include "PlatformNavigator.h"

// Xlib last: its macros (None, Bool, Status) must not meet other headers.
#include <EGL/eglext.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

namespace plat
{

namespace
{

const int DEFAULT_REFRESH_HZ = 60;
const uint64_t TICKS_PER_SECOND = 1000000000;

// The screen's refresh rate as the X server reports it; the default where it gives none.
int RefreshRate(Display* pDisplay)
{
    int iEventBase = 0, iErrorBase = 0;
    if (!XRRQueryExtension(pDisplay, &iEventBase, &iErrorBase))
        return DEFAULT_REFRESH_HZ;
    XRRScreenConfiguration* pConfig = XRRGetScreenInfo(pDisplay, DefaultRootWindow(pDisplay));
    if (!pConfig)
        return DEFAULT_REFRESH_HZ;
    const int iRate = XRRConfigCurrentRate(pConfig);
    XRRFreeScreenConfigInfo(pConfig);
    return iRate > 0 ? iRate : DEFAULT_REFRESH_HZ;
}

bool PresentWaitOff()
{
    const char* pszValue = std::getenv("KORVEL_NO_PRESENT_WAIT");
    return pszValue && *pszValue && std::strcmp(pszValue, "0") != 0;
}

// Xlib's own handler ends the process; a stray error (a focus request racing an
// unmap, a window already gone) is not worth that.
int ReportXError(Display* pDisplay, XErrorEvent* pError)
{
    char szText[128] = {};
    XGetErrorText(pDisplay, pError->error_code, szText, sizeof(szText));
    std::fprintf(stderr, "X error ignored: %s (request %d)\n", szText, int(pError->request_code));
    return 0;
}

void PostPointer(int iButtons, int iX, int iY)
{
    PostScreenEvent(_screen_event{SCREEN_EVENT_POINTER, iButtons, {iX, iY}, 0, 0, 0, 0});
}

class CX11Backend : public IPlatformBackend
{
public:
    ~CX11Backend() override
    {
        // Mesa keeps using the connection until its display is terminated.
        if (m_pEglDisplay != EGL_NO_DISPLAY)
            eglTerminate(m_pEglDisplay);
        if (m_pDisplay)
            XCloseDisplay(m_pDisplay);
    }

    int Open(int* aDisplaySize) override
    {
        m_pDisplay = XOpenDisplay(nullptr);
        if (!m_pDisplay)
            return ENODEV;
        XSetErrorHandler(ReportXError);
        const int iScreen = DefaultScreen(m_pDisplay);
        aDisplaySize[0] = std::min(aDisplaySize[0], DisplayWidth(m_pDisplay, iScreen));
        aDisplaySize[1] = std::min(aDisplaySize[1], DisplayHeight(m_pDisplay, iScreen));
        m_uWmProtocols = XInternAtom(m_pDisplay, "WM_PROTOCOLS", False);
        m_uWmDeleteWindow = XInternAtom(m_pDisplay, "WM_DELETE_WINDOW", False);
        m_uPresentPeriod = PresentWaitOff() ? 0 : TICKS_PER_SECOND / uint64_t(RefreshRate(m_pDisplay));
        return 0;
    }

    int CreateWindow(_screen_window& window) override
    {
        const int iScreen = DefaultScreen(m_pDisplay);
        const Window uWindow =
            XCreateSimpleWindow(m_pDisplay, RootWindow(m_pDisplay, iScreen), 0, 0,
                                unsigned(window.m_aBufferSize[0]), unsigned(window.m_aBufferSize[1]), 0,
                                BlackPixel(m_pDisplay, iScreen), BlackPixel(m_pDisplay, iScreen));
        if (!uWindow)
            return EIO;
        XStoreName(m_pDisplay, uWindow, WindowTitle().c_str());
        // Desktops group and match windows by class: the executable's name, as the ICCCM asks.
        std::string strClass = program_invocation_short_name;
        XClassHint classHint = {&strClass[0], &strClass[0]};
        XSetClassHint(m_pDisplay, uWindow, &classHint);
        Atom uDelete = m_uWmDeleteWindow;
        XSetWMProtocols(m_pDisplay, uWindow, &uDelete, 1);
        SetSizeHints(uWindow, window);
        XSelectInput(m_pDisplay, uWindow,
                     KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | ButtonMotionMask |
                         StructureNotifyMask);
        XMapWindow(m_pDisplay, uWindow);
        // EGL may reach the window through another connection: the server must know it first.
        XSync(m_pDisplay, False);
        window.m_uNativeWindow = uWindow;
        m_aWindows.push_back(&window);
        return 0;
    }

    void DestroyWindow(_screen_window& window) override
    {
        m_aWindows.erase(std::remove(m_aWindows.begin(), m_aWindows.end(), &window), m_aWindows.end());
        XDestroyWindow(m_pDisplay, window.m_uNativeWindow);
        XSync(m_pDisplay, False);
        window.m_uNativeWindow = 0;
    }

    void ResizeWindow(_screen_window& window) override
    {
        SetSizeHints(window.m_uNativeWindow, window);
        XResizeWindow(m_pDisplay, window.m_uNativeWindow, unsigned(window.m_aBufferSize[0]),
                      unsigned(window.m_aBufferSize[1]));
        XSync(m_pDisplay, False);
    }

    void Pump() override
    {
        while (XPending(m_pDisplay) > 0)
        {
            XEvent event;
            XNextEvent(m_pDisplay, &event);
            if (_screen_window* pWindow = WindowOf(event.xany.window))
                Translate(event, *pWindow);
        }
    }

    EGLDisplay GetEglDisplay(void* pNativeDisplay) override
    {
        if (!m_pDisplay)
            return ::eglGetDisplay(static_cast<EGLNativeDisplayType>(pNativeDisplay));
        m_pEglDisplay = eglGetPlatformDisplay(EGL_PLATFORM_X11_KHR, m_pDisplay, nullptr);
        return m_pEglDisplay;
    }

    EGLSurface CreateEglSurface(EGLDisplay display, EGLConfig config, _screen_window& window,
                                const EGLint* pAttribs) override
    {
        return ::eglCreateWindowSurface(display, config, EGLNativeWindowType(window.m_uNativeWindow),
                                        pAttribs);
    }

    uint64_t PresentPeriodTicks() const override { return m_uPresentPeriod; }

    // EGL sends on this connection too, so its requests are served under the grab.
    void HoldOtherClients(bool bHold) override
    {
        if (bHold)
            XGrabServer(m_pDisplay);
        else
            XUngrabServer(m_pDisplay);
        // Sent now: the grab must not outlast the present by a frame's wait.
        XFlush(m_pDisplay);
    }

private:
    // The window manager is asked to keep the size the application chose (minimum = maximum);
    // one that resizes it anyway (a tiling one) is followed.
    void SetSizeHints(Window uWindow, const _screen_window& window)
    {
        XSizeHints hints = {};
        hints.flags = USPosition | PMinSize | PMaxSize;
        hints.min_width = hints.max_width = window.m_aBufferSize[0];
        hints.min_height = hints.max_height = window.m_aBufferSize[1];
        XSetWMNormalHints(m_pDisplay, uWindow, &hints);
    }

    _screen_window* WindowOf(Window uWindow) const
    {
        for (_screen_window* pWindow : m_aWindows)
            if (pWindow->m_uNativeWindow == uWindow)
                return pWindow;
        return nullptr;
    }

    void Translate(XEvent& event, _screen_window& window)
    {
        switch (event.type)
        {
        case ConfigureNotify:
            // Moves change nothing; the window's own resize requests arrive here at the size
            // already set.
            if (event.xconfigure.width != window.m_aBufferSize[0] ||
                event.xconfigure.height != window.m_aBufferSize[1])
            {
                window.m_aBufferSize[0] = event.xconfigure.width;
                window.m_aBufferSize[1] = event.xconfigure.height;
                PostScreenEvent(
                    _screen_event{SCREEN_EVENT_PROPERTY, 0, {0, 0}, 0, 0, 0, SCREEN_PROPERTY_SIZE});
            }
            break;
        case ButtonPress:
        case ButtonRelease:
            if (ButtonMaskOfXButton(event.xbutton.button))
                PostPointer(
                    ButtonMaskAfter(event.xbutton.state, event.xbutton.button, event.type == ButtonPress),
                    event.xbutton.x, event.xbutton.y);
            break;
        case MotionNotify:
            PostPointer(ButtonMaskOfXState(event.xmotion.state), event.xmotion.x, event.xmotion.y);
            break;
        case KeyPress:
        case KeyRelease:
        {
            char szText[8];
            KeySym uKeySym = NoSymbol;
            XLookupString(&event.xkey, szText, sizeof(szText), &uKeySym, nullptr);
            if (const int iSym = KeySymOfXKeySym(uKeySym, event.xkey.state))
                PostScreenEvent(_screen_event{SCREEN_EVENT_KEYBOARD,
                                              0,
                                              {0, 0},
                                              event.type == KeyPress ? SCREEN_KEY_FLAG_DOWN : 0,
                                              iSym,
                                              0,
                                              0});
            break;
        }
        case ClientMessage:
            if (event.xclient.message_type == m_uWmProtocols && event.xclient.format == 32 &&
                Atom(event.xclient.data.l[0]) == m_uWmDeleteWindow)
                PostNavigatorEvent(NAVIGATOR_EXIT, 0);
            break;
        case MapNotify:
            // Without a window manager focus follows the pointer: typed keys would go astray.
            XSetInputFocus(m_pDisplay, event.xmap.window, RevertToParent, CurrentTime);
            XSync(m_pDisplay, False); // processed now, not after a later unmap
            PostNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_FULLSCREEN);
            break;
        case UnmapNotify:
            PostNavigatorEvent(NAVIGATOR_WINDOW_STATE, NAVIGATOR_WINDOW_THUMBNAIL);
            break;
        default: // focus changes are ignored: under Xvfb focus follows the pointer
            break;
        }
    }

    Display* m_pDisplay = nullptr;
    EGLDisplay m_pEglDisplay = EGL_NO_DISPLAY;
    Atom m_uWmProtocols = 0;
    Atom m_uWmDeleteWindow = 0;
    uint64_t m_uPresentPeriod = 0;
    std::vector<_screen_window*> m_aWindows;
};

} // namespace

std::unique_ptr<IPlatformBackend> CreateX11Backend()
{
    return std::make_unique<CX11Backend>();
}

} // namespace plat
