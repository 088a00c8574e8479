// Reading the music renderer's events off the platform event queue in tests.
// Header only.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "PlatformBps.h"
#include "PlatformMmr.h"

struct sSeenMusicEvent
{
    int m_iCode;
    plat::mmr_state_t m_eState;
    std::string m_strPosition; // "" when none
    int m_iError;              // -1 without an error record
    void* m_pUserData;
};

// Takes queued events (waiting up to iTimeoutMs in all) until one satisfies
// fnDone; returns the renderer's events seen, in order. Other events are dropped.
inline std::vector<sSeenMusicEvent> TakeMusicEvents(int iTimeoutMs,
                                                    const std::function<bool(const sSeenMusicEvent&)>& fnDone)
{
    std::vector<sSeenMusicEvent> aSeen;
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(iTimeoutMs);
    while (std::chrono::steady_clock::now() < tEnd)
    {
        plat::bps_event_t* pEvent = nullptr;
        if (plat::bps_get_event(&pEvent, 20) != plat::BPS_SUCCESS || !pEvent)
            continue;
        if (plat::bps_event_get_domain(pEvent) != plat::mmrenderer_get_domain())
            continue;
        const plat::mmr_error_info_t* pError = plat::mmrenderer_event_get_error(pEvent);
        const char* pszPosition = plat::mmrenderer_event_get_position(pEvent);
        aSeen.push_back({plat::bps_event_get_code(pEvent), plat::mmrenderer_event_get_state(pEvent),
                         pszPosition ? pszPosition : "", pError ? static_cast<int>(pError->error_code) : -1,
                         plat::mmrenderer_event_get_userdata(pEvent)});
        if (fnDone(aSeen.back()))
            break;
    }
    return aSeen;
}

inline bool IsTrackEnd(const sSeenMusicEvent& event)
{
    return event.m_eState == plat::MMR_STATE_STOPPED && event.m_iError == plat::MMR_ERROR_NONE;
}
