// Navigator service: the application's window state and exit requests arrive as
// events of the navigator domain; orientation and rotation-lock requests are
// recorded. Calls return BPS_SUCCESS or BPS_FAILURE.
#pragma once

#include "PlatformBps.h"

namespace plat
{

// Event codes of the navigator domain.
enum : int
{
    NAVIGATOR_EXIT = 2,
    NAVIGATOR_WINDOW_STATE = 3,
    NAVIGATOR_WINDOW_INACTIVE = 11
};

// Window states carried by NAVIGATOR_WINDOW_STATE.
enum : int
{
    NAVIGATOR_WINDOW_FULLSCREEN = 0,
    NAVIGATOR_WINDOW_THUMBNAIL = 1,
    NAVIGATOR_WINDOW_INVISIBLE = 2
};

// Navigator events reach the event service only after this call.
int navigator_request_events(int iFlags);
int navigator_rotation_lock(bool bLocked);
// ppszId may be null.
int navigator_set_orientation(int iAngle, char** ppszId);
int navigator_get_domain();
// The state of a NAVIGATOR_WINDOW_STATE event; -1 for any other event.
int navigator_event_get_window_state(bps_event_t* pEvent);

// Opens the address in the browser. Only "http:" and "https:" addresses are opened
// (others are refused with BPS_FAILURE); the X11 back end hands them to xdg-open,
// the headless one opens nothing, and KORVEL_NO_BROWSER=1 switches opening off.
// Every call is recorded. ppszError may be null; it is set to null.
int navigator_invoke(const char* pszAddress, char** ppszError);

} // namespace plat
