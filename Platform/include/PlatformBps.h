// Platform event service: one queue of events from the screen, the navigator,
// the virtual keyboard and the other platform services. Every call returns
// BPS_SUCCESS (0) or BPS_FAILURE (-1).
//
// The queue is thread-safe: any thread may post. Events are owned by the service;
// an event returned by bps_get_event stays valid until the next bps_get_event.
#pragma once

#include <memory>

namespace plat
{

struct bps_event_t; // opaque

enum : int
{
    BPS_SUCCESS = 0,
    BPS_FAILURE = -1
};

// Nested: every bps_initialize needs a bps_shutdown; the last one empties the queue.
int bps_initialize();
void bps_shutdown();

// Takes the next event. With the queue empty it returns BPS_SUCCESS and a null
// event (timeout 0), or waits up to iTimeoutMs (negative: for ever). Called from
// the thread that uses the screen service: it also reads the window system's input.
int bps_get_event(bps_event_t** ppEvent, int iTimeoutMs);
// Whether an event waits to be taken: 1 or 0, not a result code. The window system's input
// is read first, as bps_get_event reads it; the event stays in the queue.
int bps_event_pending();

int bps_event_get_domain(bps_event_t* pEvent);
int bps_event_get_code(bps_event_t* pEvent);

// For the stand-in's own services (the music renderer posts from its thread):
// a fresh domain number, and posting an event with a payload that the event owns
// and releases after the reader has moved on.
int bps_register_domain();
int bps_post_event(int iDomain, int iCode, std::shared_ptr<const void> pPayload = nullptr);
const void* bps_event_get_payload(bps_event_t* pEvent);

} // namespace plat
