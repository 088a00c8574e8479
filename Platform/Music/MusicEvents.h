// The renderer's event requests and the events it posts into the platform
// event service.
#pragma once

#include <string>

#include "PlatformMmr.h"

namespace plat
{

// What one renderer event carries.
struct sMusicEvent
{
    void* m_pUserData = nullptr;
    mmr_state_t m_eState = MMR_STATE_IDLE;
    std::string m_strPosition; // empty: none
    bool m_bError = false;
    mmr_error_info_t m_Error = {};
    std::string m_strErrorPosition;
};

// Live contexts, so that a request binds to the newest context of its name.
void MusicRegisterContext(mmr_context_t* pContext, const std::string& strName);
void MusicUnregisterContext(mmr_context_t* pContext);

// Posts the event to every request bound to the context (or, with a null
// context, to every request for the name); returns how many were posted.
int MusicPostEvent(mmr_context_t* pContext, const std::string& strName, int iCode, sMusicEvent event);

// Forgets every request (tests).
void MusicResetRequests();

} // namespace plat
