// The stand-in's control: call log, failure counts and reset.
#include <gtest/gtest.h>

#include "PlatformControl.h"
#include "PlatformNavigator.h"

namespace
{

using namespace plat;

TEST(PlatformControl, FailureCountsDownAndZeroClears)
{
    ResetPlatform(eBackend::Headless);
    FailCall("navigator_rotation_lock", 2);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_FAILURE);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_FAILURE);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_SUCCESS);
    FailCall("navigator_rotation_lock", -1);
    FailCall("navigator_rotation_lock", 0);
    EXPECT_EQ(navigator_rotation_lock(true), BPS_SUCCESS);
    FailCall("navigator_set_orientation", -1);
    ResetPlatform(eBackend::Headless);
    EXPECT_EQ(navigator_set_orientation(0, nullptr), BPS_SUCCESS) << "reset clears failures";
    EXPECT_EQ(GetCallLog().size(), 1u) << "reset clears the log";
}

TEST(PlatformControl, X11WithoutAServerFailsToCreateAContext)
{
    ResetPlatform(eBackend::X11); // these tests run with no DISPLAY
    screen_context_t pContext = nullptr;
    EXPECT_EQ(screen_create_context(&pContext, 0), -1);
    EXPECT_EQ(pContext, nullptr);
    ResetPlatform(eBackend::Headless);
}

} // namespace
