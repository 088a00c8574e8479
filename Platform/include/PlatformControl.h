// Control of the platform stand-in for tests and start-up: the back end, the
// display size, event injection, the call log and failure injection.
//
// Back ends: X11 (the default) opens a real window per screen window; Headless
// has no window system and takes input only from the injection calls below.
// Injection works on both (X11 cannot fake multi-touch). The display size comes
// from SetDisplaySize, else from KORVEL_DISPLAY_SIZE ("1280x720"), else 1024x600.
#pragma once

#include <string>
#include <vector>

#include "PlatformScreen.h"

namespace plat
{

enum class eBackend
{
    X11,
    Headless
};

// For screen contexts created afterwards.
void SelectBackend(eBackend eKind);
eBackend GetSelectedBackend();

// Back to a clean state with the given back end: event queue, call log, failures,
// display size and title emptied, device information from the host again, the
// opened addresses forgotten. Live contexts and windows are left alone.
void ResetPlatform(eBackend eKind);

// 0, 0 returns to the environment or the default.
void SetDisplaySize(int iWidth, int iHeight);
// Title of X windows created afterwards.
void SetWindowTitle(const std::string& strTitle);
// The X window id of a screen window; 0 headless.
unsigned long GetNativeWindow(screen_window_t window);

// Injection: posts the event as if the platform had produced it. Screen events
// need a context that requested events, navigator events navigator_request_events;
// otherwise they are dropped and the result is BPS_FAILURE.
int InjectPointer(int iButtons, int iX, int iY);
int InjectKey(int iKeySym, int iKeyFlags = SCREEN_KEY_FLAG_DOWN);
int InjectTouch(int iType, int iTouchId, int iX, int iY); // iType 100, 101 or 102
int InjectNavigatorExit();
int InjectWindowState(int iState);
int InjectWindowInactive();
int InjectVirtualKeyboard(int iCode);

// One platform call as made: its name and the integer arguments that matter
// (property numbers and values, flags, counts, angles).
struct sPlatformCall
{
    std::string m_strName;
    std::vector<long long> m_aArgs;
    bool m_bFailed;
    // "name(a, b)".
    std::string ToString() const;
};

// Every call to the services in order, except the per-event reads
// (bps_get_event, bps_event_get_*, screen_event_*, *_get_domain and the like).
std::vector<sPlatformCall> GetCallLog();
std::vector<std::string> GetCallNames();
int CountCalls(const std::string& strName);
void ClearCallLog();

// The next iTimes calls of that name fail (-1: every call until cleared). A failed
// call changes nothing but setting a created handle to null. Also applies to bps_get_event and
// screen_get_event_property_iv.
void FailCall(const std::string& strName, int iTimes = 1);
void ClearCallFailures();

} // namespace plat
