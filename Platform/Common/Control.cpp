// Test control of the stand-in: back-end choice, reset and event injection.
#include "PlatformControl.h"

#include "Platform/Common/CallLog.h"
#include "Platform/Common/EventQueue.h"
#include "Platform/Common/ScreenObjects.h"
#include "Platform/DeviceInfo/DeviceDigest.h"
#include "PlatformNavigator.h"

namespace plat
{

std::unique_ptr<IPlatformBackend> CreateBackend(eBackend eKind)
{
    return eKind == eBackend::Headless ? CreateHeadlessBackend() : CreateX11Backend();
}

void ResetPlatform(eBackend eKind)
{
    ResetEventQueue();
    ResetCallLog();
    ResetScreenSettings();
    ResetDeviceInfo();
    ResetInvokedAddresses();
    SelectBackend(eKind);
}

int InjectPointer(int iButtons, int iX, int iY)
{
    return PostScreenEvent(_screen_event{SCREEN_EVENT_POINTER, iButtons, {iX, iY}, 0, 0, 0, 0});
}

int InjectKey(int iKeySym, int iKeyFlags)
{
    return PostScreenEvent(_screen_event{SCREEN_EVENT_KEYBOARD, 0, {0, 0}, iKeyFlags, iKeySym, 0, 0});
}

int InjectTouch(int iType, int iTouchId, int iX, int iY)
{
    if (iType < SCREEN_EVENT_MTOUCH_TOUCH || iType > SCREEN_EVENT_MTOUCH_RELEASE)
        return BPS_FAILURE;
    return PostScreenEvent(_screen_event{iType, 0, {iX, iY}, 0, 0, iTouchId, 0});
}

int InjectNavigatorExit()
{
    return PostNavigatorEvent(NAVIGATOR_EXIT, 0);
}

int InjectWindowState(int iState)
{
    return PostNavigatorEvent(NAVIGATOR_WINDOW_STATE, iState);
}

int InjectWindowInactive()
{
    return PostNavigatorEvent(NAVIGATOR_WINDOW_INACTIVE, 0);
}

int InjectVirtualKeyboard(int iCode)
{
    return bps_post_event(kDomainVirtualKeyboard, iCode);
}

} // namespace plat
