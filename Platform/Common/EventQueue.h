// The event record of the event service and the domains of the stand-in's own
// services.
#pragma once

#include <memory>

#include "PlatformBps.h"

namespace plat
{

struct bps_event_t
{
    int m_iDomain;
    int m_iCode;
    std::shared_ptr<const void> m_pPayload;
};

enum : int
{
    kDomainScreen = 1,
    kDomainNavigator = 2,
    kDomainVirtualKeyboard = 3
};

// Events of these three domains are delivered only while requested: screen events
// count one request per context, the other two are on or off.
void AddDomainRequest(int iDomain, int iDelta);
void SetDomainRequested(int iDomain, bool bRequested);

// Empties the queue and forgets initialisation and the navigator and keyboard requests.
void ResetEventQueue();

// Lets the window-system back ends turn their input into events (main thread).
void PumpContexts();

// SIGTERM, SIGINT and SIGHUP end the program as its window's close button does: the next
// bps_get_event delivers a navigator exit. A second signal ends it at once.
void WatchExitSignals();
// True once for every exit signal that came since the last call.
bool TakeExitSignal();

} // namespace plat
