// The event service: a thread-safe queue, the reader's current event, domain
// numbers and the delivery gates of the screen, navigator and keyboard domains.
#include "Platform/Common/EventQueue.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "Platform/Common/CallLog.h"
#include "Platform/Common/ScreenObjects.h"
#include "PlatformNavigator.h"

namespace plat
{

namespace
{

enum : int
{
    kFirstFreeDomain = 16,
    kWaitSliceMs = 10 // a waiting reader still pumps the window system this often
};

struct sQUEUE_STATE
{
    std::mutex m_Lock;
    std::condition_variable m_Posted;
    std::deque<std::unique_ptr<bps_event_t>> m_aEvents;
    std::unique_ptr<bps_event_t> m_pCurrent; // valid until the next bps_get_event
    int m_iInitCount = 0;
    std::atomic<int> m_aRequests[kDomainVirtualKeyboard + 1] = {};
    std::atomic<int> m_iNextDomain{kFirstFreeDomain};
};

sQUEUE_STATE& Queue()
{
    static sQUEUE_STATE s_State;
    return s_State;
}

bool IsGatedDomain(int iDomain)
{
    return iDomain >= kDomainScreen && iDomain <= kDomainVirtualKeyboard;
}

} // namespace

void AddDomainRequest(int iDomain, int iDelta)
{
    if (IsGatedDomain(iDomain))
        Queue().m_aRequests[iDomain] += iDelta;
}

void SetDomainRequested(int iDomain, bool bRequested)
{
    if (IsGatedDomain(iDomain))
        Queue().m_aRequests[iDomain] = bRequested ? 1 : 0;
}

void ResetEventQueue()
{
    sQUEUE_STATE& queue = Queue();
    std::lock_guard<std::mutex> guard(queue.m_Lock);
    queue.m_aEvents.clear();
    queue.m_pCurrent.reset();
    queue.m_iInitCount = 0;
    queue.m_aRequests[kDomainNavigator] = 0;
    queue.m_aRequests[kDomainVirtualKeyboard] = 0;
}

int bps_initialize()
{
    if (RecordCall("bps_initialize"))
        return BPS_FAILURE;
    sQUEUE_STATE& queue = Queue();
    std::lock_guard<std::mutex> guard(queue.m_Lock);
    ++queue.m_iInitCount;
    return BPS_SUCCESS;
}

void bps_shutdown()
{
    if (RecordCall("bps_shutdown"))
        return;
    sQUEUE_STATE& queue = Queue();
    std::lock_guard<std::mutex> guard(queue.m_Lock);
    if (queue.m_iInitCount > 0 && --queue.m_iInitCount == 0)
    {
        queue.m_aEvents.clear();
        queue.m_pCurrent.reset();
    }
}

int bps_get_event(bps_event_t** ppEvent, int iTimeoutMs)
{
    if (!ppEvent)
        return BPS_FAILURE;
    *ppEvent = nullptr;
    if (ShouldFail("bps_get_event"))
        return BPS_FAILURE;
    sQUEUE_STATE& queue = Queue();
    {
        std::lock_guard<std::mutex> guard(queue.m_Lock);
        if (queue.m_iInitCount == 0)
            return BPS_FAILURE;
        queue.m_pCurrent.reset();
    }
    const auto tDeadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(iTimeoutMs, 0));
    for (;;)
    {
        if (TakeExitSignal())
            PostNavigatorEvent(NAVIGATOR_EXIT, 0);
        PumpContexts(); // posts, so it runs outside the lock
        std::unique_lock<std::mutex> lock(queue.m_Lock);
        if (!queue.m_aEvents.empty())
        {
            queue.m_pCurrent = std::move(queue.m_aEvents.front());
            queue.m_aEvents.pop_front();
            *ppEvent = queue.m_pCurrent.get();
            return BPS_SUCCESS;
        }
        const auto tNow = std::chrono::steady_clock::now();
        if (iTimeoutMs == 0 || (iTimeoutMs > 0 && tNow >= tDeadline))
            return BPS_SUCCESS;
        auto tSlice = std::chrono::milliseconds(kWaitSliceMs);
        if (iTimeoutMs > 0)
            tSlice =
                std::min(tSlice, std::chrono::duration_cast<std::chrono::milliseconds>(tDeadline - tNow) +
                                     std::chrono::milliseconds(1));
        queue.m_Posted.wait_for(lock, tSlice);
    }
}

int bps_event_pending()
{
    PumpContexts();
    sQUEUE_STATE& queue = Queue();
    std::lock_guard<std::mutex> guard(queue.m_Lock);
    return queue.m_iInitCount > 0 && !queue.m_aEvents.empty() ? 1 : 0;
}

int bps_event_get_domain(bps_event_t* pEvent)
{
    return pEvent ? pEvent->m_iDomain : BPS_FAILURE;
}

int bps_event_get_code(bps_event_t* pEvent)
{
    return pEvent ? pEvent->m_iCode : BPS_FAILURE;
}

int bps_register_domain()
{
    return Queue().m_iNextDomain++;
}

int bps_post_event(int iDomain, int iCode, std::shared_ptr<const void> pPayload)
{
    sQUEUE_STATE& queue = Queue();
    if (IsGatedDomain(iDomain) && queue.m_aRequests[iDomain] <= 0)
        return BPS_FAILURE;
    auto pEvent = std::make_unique<bps_event_t>(bps_event_t{iDomain, iCode, std::move(pPayload)});
    {
        std::lock_guard<std::mutex> guard(queue.m_Lock);
        queue.m_aEvents.push_back(std::move(pEvent));
    }
    queue.m_Posted.notify_all();
    return BPS_SUCCESS;
}

const void* bps_event_get_payload(bps_event_t* pEvent)
{
    return pEvent ? pEvent->m_pPayload.get() : nullptr;
}

} // namespace plat
