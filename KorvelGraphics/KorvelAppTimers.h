// The application's timers: each fires OnTimer(id) when its interval has passed
// since its last firing; the frame loop lets at most one fire per frame.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelTimer.h"

#include <cstdint>

struct SKE_APPTIMER
{
    CKorvelTimer m_Timer; // started when the record is made
    int m_iId = 0;
    uint32_t m_uLastTick = 0; // milliseconds of the last firing (or of the start)
    uint32_t m_uInterval = 0; // milliseconds
};

class CKorvelAppTimers
{
public:
    CKorvelAppTimers() {}
    ~CKorvelAppTimers() { Clear(); }
    CKorvelAppTimers(const CKorvelAppTimers&) = delete;
    CKorvelAppTimers& operator=(const CKorvelAppTimers&) = delete;

    // Adds a timer that first fires one interval after uNowMs; identifiers may repeat.
    void Start(int iId, int iIntervalMs, uint32_t uNowMs);
    // Deletes the first timer with that identifier, if any.
    void Stop(int iId);
    // Scans in start order for the first timer due at uNowMs; that one takes uNowMs as
    // its last firing and its identifier is returned in iId. False when none is due.
    // A timer that is late fires once, without catching up.
    bool TakeDue(uint32_t uNowMs, int& iId);
    void Clear();
    int GetCount() const { return m_Timers.GetCount(); }

private:
    CKorvelPtrArray m_Timers; // owned SKE_APPTIMER
};
