#include "Platform/Music/MusicEvents.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "Platform/Common/CallLog.h"
#include "PlatformBps.h"

namespace plat
{
namespace
{

struct sREQUEST
{
    int m_iHandle;
    std::string m_strName;
    void* m_pUserData;
    mmr_context_t* m_pContext; // null until a context of the name exists
};

struct sCONTEXT_ENTRY
{
    mmr_context_t* m_pContext;
    std::string m_strName;
};

struct sREGISTRY
{
    std::mutex m_Lock;
    std::vector<sREQUEST> m_aRequests;
    std::vector<sCONTEXT_ENTRY> m_aContexts; // oldest first
    int m_iNextHandle = 1;
};

sREGISTRY& Registry()
{
    static sREGISTRY* s_pRegistry = new sREGISTRY; // contexts may outlive static destruction order
    return *s_pRegistry;
}

const sMusicEvent* EventOf(bps_event_t* pEvent)
{
    if (!pEvent || bps_event_get_domain(pEvent) != mmrenderer_get_domain())
        return nullptr;
    return static_cast<const sMusicEvent*>(bps_event_get_payload(pEvent));
}

} // namespace

void MusicRegisterContext(mmr_context_t* pContext, const std::string& strName)
{
    sREGISTRY& r = Registry();
    std::lock_guard<std::mutex> guard(r.m_Lock);
    r.m_aContexts.push_back({pContext, strName});
    for (sREQUEST& request : r.m_aRequests)
        if (!request.m_pContext && request.m_strName == strName)
            request.m_pContext = pContext;
}

void MusicUnregisterContext(mmr_context_t* pContext)
{
    sREGISTRY& r = Registry();
    std::lock_guard<std::mutex> guard(r.m_Lock);
    r.m_aContexts.erase(std::remove_if(r.m_aContexts.begin(), r.m_aContexts.end(),
                                       [&](const sCONTEXT_ENTRY& e) { return e.m_pContext == pContext; }),
                        r.m_aContexts.end());
    for (sREQUEST& request : r.m_aRequests)
        if (request.m_pContext == pContext)
            request.m_pContext = nullptr;
}

int MusicPostEvent(mmr_context_t* pContext, const std::string& strName, int iCode, sMusicEvent event)
{
    std::vector<void*> aTargets;
    {
        sREGISTRY& r = Registry();
        std::lock_guard<std::mutex> guard(r.m_Lock);
        for (const sREQUEST& request : r.m_aRequests)
            if (request.m_strName == strName && (!pContext || request.m_pContext == pContext))
                aTargets.push_back(request.m_pUserData);
    }
    int iPosted = 0;
    for (void* pUserData : aTargets)
    {
        auto pPayload = std::make_shared<sMusicEvent>(event);
        pPayload->m_pUserData = pUserData;
        if (bps_post_event(mmrenderer_get_domain(), iCode, pPayload) == BPS_SUCCESS)
            ++iPosted;
    }
    return iPosted;
}

void MusicResetRequests()
{
    sREGISTRY& r = Registry();
    std::lock_guard<std::mutex> guard(r.m_Lock);
    r.m_aRequests.clear();
}

int mmrenderer_request_events(const char* pszContextName, int iFlags, void* pUserData)
{
    if (RecordCall("mmrenderer_request_events", {iFlags}) || !pszContextName)
        return -1;
    sREGISTRY& r = Registry();
    std::lock_guard<std::mutex> guard(r.m_Lock);
    sREQUEST request = {r.m_iNextHandle++, pszContextName, pUserData, nullptr};
    for (const sCONTEXT_ENTRY& entry : r.m_aContexts)
        if (entry.m_strName == request.m_strName)
            request.m_pContext = entry.m_pContext; // the newest one wins
    r.m_aRequests.push_back(request);
    return request.m_iHandle;
}

int mmrenderer_stop_events(int iRequest)
{
    if (RecordCall("mmrenderer_stop_events", {iRequest}))
        return -1;
    sREGISTRY& r = Registry();
    std::lock_guard<std::mutex> guard(r.m_Lock);
    const auto it = std::find_if(r.m_aRequests.begin(), r.m_aRequests.end(),
                                 [&](const sREQUEST& request) { return request.m_iHandle == iRequest; });
    if (it == r.m_aRequests.end())
        return -1;
    r.m_aRequests.erase(it);
    return 0;
}

int mmrenderer_get_domain()
{
    static const int s_iDomain = bps_register_domain();
    return s_iDomain;
}

void* mmrenderer_event_get_userdata(bps_event_t* pEvent)
{
    const sMusicEvent* pMusic = EventOf(pEvent);
    return pMusic ? pMusic->m_pUserData : nullptr;
}

mmr_state_t mmrenderer_event_get_state(bps_event_t* pEvent)
{
    const sMusicEvent* pMusic = EventOf(pEvent);
    return pMusic ? pMusic->m_eState : MMR_STATE_DESTROYED;
}

const mmr_error_info_t* mmrenderer_event_get_error(bps_event_t* pEvent)
{
    const sMusicEvent* pMusic = EventOf(pEvent);
    return pMusic && pMusic->m_bError ? &pMusic->m_Error : nullptr;
}

const char* mmrenderer_event_get_error_position(bps_event_t* pEvent)
{
    const sMusicEvent* pMusic = EventOf(pEvent);
    return pMusic && pMusic->m_bError ? pMusic->m_strErrorPosition.c_str() : nullptr;
}

const char* mmrenderer_event_get_position(bps_event_t* pEvent)
{
    const sMusicEvent* pMusic = EventOf(pEvent);
    return pMusic && !pMusic->m_strPosition.empty() ? pMusic->m_strPosition.c_str() : nullptr;
}

} // namespace plat
