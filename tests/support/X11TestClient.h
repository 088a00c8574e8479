// What the end-to-end X11 tests do from a second X connection: wait for the application,
// click into its window with XTest, and send the window manager's close message. Header
// only; link with Xlib and XTest (the platform library brings both).
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "PlatformControl.h"
#include "support/WaitLimit.h"

// Polls until the condition holds; false after the time limit.
inline bool TestWaitFor(const std::function<bool()>& fnDone, int iSeconds = int(TEST_WAIT_LIMIT.count()))
{
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(iSeconds);
    while (!fnDone())
    {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A press and release of button 1 at root coordinates (the windows sit at the root's origin).
inline void TestX11Click(Display* pDisplay, int iX, int iY)
{
    XTestFakeMotionEvent(pDisplay, DefaultScreen(pDisplay), iX, iY, CurrentTime);
    XTestFakeButtonEvent(pDisplay, 1, True, CurrentTime);
    XTestFakeButtonEvent(pDisplay, 1, False, CurrentTime);
    XFlush(pDisplay);
}

// WM_DELETE_WINDOW, as the window manager sends it when the user closes the window.
inline void TestX11Close(Display* pDisplay, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(pDisplay, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(pDisplay, window, False, NoEventMask, &event);
    XFlush(pDisplay);
}

// The whole visit of the other client: waits until fnReady, runs fnLook (may be empty),
// clicks at (iX, iY), waits until fnDone, and closes the window. False when the display
// cannot be opened (the application is then told to exit) or a wait ran out.
inline bool TestX11ClickAndClose(unsigned long uWindow, const std::function<bool()>& fnReady,
                                 const std::function<void(Display*, Window)>& fnLook, int iX, int iY,
                                 const std::function<bool()>& fnDone)
{
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
    {
        plat::InjectNavigatorExit();
        return false;
    }
    const Window window = Window(uWindow);
    bool bInTime = TestWaitFor(fnReady);
    if (bInTime)
    {
        if (fnLook)
            fnLook(pDisplay, window);
        TestX11Click(pDisplay, iX, iY);
    }
    bInTime = TestWaitFor(fnDone) && bInTime;
    TestX11Close(pDisplay, window);
    XCloseDisplay(pDisplay);
    return bInTime;
}
