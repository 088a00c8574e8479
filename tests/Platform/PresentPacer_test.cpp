// Presenting held to the display's rate on the frame loop's clock, moved by hand.
#include <gtest/gtest.h>

#include "Platform/Common/PresentPacer.h"
#include "support/InputTestApplication.h"

namespace
{

using plat::CPresentPacer;

const uint64_t PERIOD_60HZ = 1000000000ull / 60;
const uint64_t TICKS_PER_MS = 1000000;

TEST(CPresentPacer, WaitsOutTheRestOfAPeriodOnlyForPresentsThatComeSooner)
{
    CManualClock clock;
    CPresentPacer pacer(PERIOD_60HZ);
    pacer.AfterPresent(clock);
    EXPECT_TRUE(clock.m_aSleeps.empty()) << "the first present has nothing to wait for";

    clock.Advance(5);
    pacer.AfterPresent(clock);
    ASSERT_EQ(clock.m_aSleeps.size(), 1u);
    EXPECT_EQ(clock.m_aSleeps[0], 12u) << "16.7 ms after the first, rounded up";

    clock.m_aSleeps.clear();
    clock.Advance(40); // a slow frame: presents at once and starts the cadence again
    pacer.AfterPresent(clock);
    clock.Advance(17);
    pacer.AfterPresent(clock);
    // A hair early, as from a display a little faster than the rate it reports.
    clock.m_uNow += PERIOD_60HZ - 100000;
    pacer.AfterPresent(clock);
    EXPECT_TRUE(clock.m_aSleeps.empty());

    // Back to back for a second: the rounding up does not slow the rate, nor does
    // anything let more than one present through per period.
    const uint64_t uStart = clock.GetTicks();
    for (int i = 0; i < 60; ++i)
        pacer.AfterPresent(clock);
    const uint64_t uElapsed = clock.GetTicks() - uStart;
    EXPECT_GE(uElapsed, 60 * PERIOD_60HZ - TICKS_PER_MS);
    EXPECT_LE(uElapsed, 60 * PERIOD_60HZ + TICKS_PER_MS);
}

TEST(CPresentPacer, NoPeriodNeverWaits)
{
    CManualClock clock;
    CPresentPacer pacer(0);
    for (int i = 0; i < 3; ++i)
        pacer.AfterPresent(clock);
    EXPECT_TRUE(clock.m_aSleeps.empty());
}

} // namespace
