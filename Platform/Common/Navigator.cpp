// The navigator: window-state and exit events, orientation requests recorded.
#include "PlatformNavigator.h"

#include "Platform/Common/CallLog.h"
#include "Platform/Common/EventQueue.h"
#include "Platform/Common/ScreenObjects.h"

namespace plat
{

int navigator_request_events(int iFlags)
{
    if (RecordCall("navigator_request_events", {iFlags}))
        return BPS_FAILURE;
    SetDomainRequested(kDomainNavigator, true);
    WatchExitSignals();
    return BPS_SUCCESS;
}

int navigator_rotation_lock(bool bLocked)
{
    return RecordCall("navigator_rotation_lock", {bLocked ? 1 : 0}) ? BPS_FAILURE : BPS_SUCCESS;
}

int navigator_set_orientation(int iAngle, char** ppszId)
{
    if (RecordCall("navigator_set_orientation", {iAngle}))
        return BPS_FAILURE;
    if (iAngle != 0 && iAngle != 90 && iAngle != 180 && iAngle != 270)
        return BPS_FAILURE;
    if (ppszId)
        *ppszId = nullptr; // the request completes at once: no id to wait for
    return BPS_SUCCESS;
}

int navigator_get_domain()
{
    return kDomainNavigator;
}

int navigator_event_get_window_state(bps_event_t* pEvent)
{
    if (!pEvent || pEvent->m_iDomain != kDomainNavigator || pEvent->m_iCode != NAVIGATOR_WINDOW_STATE ||
        !pEvent->m_pPayload)
        return -1;
    return static_cast<const sNavigatorEvent*>(pEvent->m_pPayload.get())->m_iWindowState;
}

int PostNavigatorEvent(int iCode, int iWindowState)
{
    return bps_post_event(kDomainNavigator, iCode,
                          std::make_shared<const sNavigatorEvent>(sNavigatorEvent{iWindowState}));
}

} // namespace plat
