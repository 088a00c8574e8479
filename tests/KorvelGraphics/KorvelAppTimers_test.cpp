#include "KorvelGraphics/KorvelAppTimers.h"

#include <gtest/gtest.h>

namespace
{

TEST(CKorvelAppTimers, StopRemovesTheFirstWithThatIdentifier)
{
    CKorvelAppTimers timers;
    timers.Start(7, 10, 0);
    timers.Start(7, 20, 0);
    timers.Stop(3); // none: nothing
    EXPECT_EQ(timers.GetCount(), 2);
    timers.Stop(7);
    ASSERT_EQ(timers.GetCount(), 1);
    int iId = 0;
    EXPECT_FALSE(timers.TakeDue(15, iId));
    EXPECT_TRUE(timers.TakeDue(20, iId));
    timers.Clear();
    EXPECT_EQ(timers.GetCount(), 0);
}

TEST(CKorvelAppTimers, IntervalsRunAcrossTheWrapOfTheMillisecondCount)
{
    CKorvelAppTimers timers;
    timers.Start(1, 100, 0xFFFFFFC0u);
    int iId = 0;
    EXPECT_FALSE(timers.TakeDue(0x10, iId));
    EXPECT_TRUE(timers.TakeDue(0x24, iId));
}

} // namespace
