// The virtual keyboard: calls recorded for the text input's checks; its events.
#include <gtest/gtest.h>

#include "Platform/PlatformTestEvents.h"
#include "PlatformControl.h"
#include "PlatformVirtualKeyboard.h"

namespace
{

using namespace plat;

TEST(PlatformVirtualKeyboard, CallsAreRecordedInOrder)
{
    ResetPlatform(eBackend::Headless);
    EXPECT_EQ(virtualkeyboard_request_events(0), BPS_SUCCESS);
    virtualkeyboard_change_options(0, 0);
    virtualkeyboard_show();
    virtualkeyboard_hide();
    virtualkeyboard_show();
    const std::vector<std::string> aExpected = {"virtualkeyboard_request_events",
                                                "virtualkeyboard_change_options", "virtualkeyboard_show",
                                                "virtualkeyboard_hide", "virtualkeyboard_show"};
    EXPECT_EQ(GetCallNames(), aExpected);
    EXPECT_EQ(GetCallLog()[1].ToString(), "virtualkeyboard_change_options(0, 0)");
    EXPECT_EQ(CountCalls("virtualkeyboard_show"), 2);
}

TEST(PlatformVirtualKeyboard, RequestForEventsCanFail)
{
    ResetPlatform(eBackend::Headless);
    FailCall("virtualkeyboard_request_events");
    EXPECT_EQ(virtualkeyboard_request_events(0), BPS_FAILURE);
    EXPECT_EQ(InjectVirtualKeyboard(VIRTUALKEYBOARD_EVENT_VISIBLE), BPS_FAILURE);
}

TEST(PlatformVirtualKeyboard, InjectedEventsArriveInTheirOwnDomain)
{
    ResetPlatform(eBackend::Headless);
    bps_initialize();
    virtualkeyboard_request_events(0);
    ASSERT_EQ(InjectVirtualKeyboard(VIRTUALKEYBOARD_EVENT_HIDDEN), BPS_SUCCESS);
    const std::vector<sSeenEvent> aSeen = DrainEvents();
    ASSERT_EQ(aSeen.size(), 1u);
    EXPECT_EQ(aSeen[0].m_iDomain, virtualkeyboard_get_domain());
    EXPECT_NE(aSeen[0].m_iDomain, screen_get_domain());
    EXPECT_NE(aSeen[0].m_iDomain, navigator_get_domain());
    EXPECT_EQ(aSeen[0].m_iCode, VIRTUALKEYBOARD_EVENT_HIDDEN);
    bps_shutdown();
}

} // namespace
