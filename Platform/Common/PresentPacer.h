// Holds presenting to the display's rate where the driver does not: after a present
// that came sooner than one refresh period after the previous one's deadline, waits
// out the rest on the given clock.
#pragma once

#include <cstdint>

namespace plat
{

class IPlatformClock;

class CPresentPacer
{
public:
    // uPeriodTicks 0 never waits.
    explicit CPresentPacer(uint64_t uPeriodTicks) : m_uPeriodTicks(uPeriodTicks) {}

    // Called right after each present.
    void AfterPresent(IPlatformClock& clock);

private:
    uint64_t m_uPeriodTicks;
    uint64_t m_uDeadline = 0;
    bool m_bStarted = false;
};

} // namespace plat
