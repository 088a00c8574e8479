#include "Platform/Common/PresentPacer.h"

#include "PlatformClock.h"

namespace plat
{

namespace
{
const uint64_t TICKS_PER_MS = 1000000;
// A present this close to its time counts as on time: a display a little faster than the
// whole number of hertz it reports never makes presenting wait (and miss its refresh). Small
// enough that no second holds more than one present per period plus one.
const uint64_t ON_TIME_TICKS = 250000;
} // namespace

void CPresentPacer::AfterPresent(IPlatformClock& clock)
{
    if (!m_uPeriodTicks)
        return;
    const uint64_t uNow = clock.GetTicks();
    if (m_bStarted && uNow + ON_TIME_TICKS < m_uDeadline)
    {
        // Rounded up to whole milliseconds; the next deadline keeps the cadence, so the
        // rounding does not add up to a slower rate.
        clock.Sleep(unsigned((m_uDeadline - uNow + TICKS_PER_MS - 1) / TICKS_PER_MS));
        m_uDeadline += m_uPeriodTicks;
    }
    else
    {
        // On time, late or first: the cadence starts again from now instead of catching up
        // in a burst.
        m_uDeadline = uNow + m_uPeriodTicks;
    }
    m_bStarted = true;
}

} // namespace plat
