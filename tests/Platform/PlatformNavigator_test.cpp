// The navigator and the virtual keyboard: their events and recorded requests.
#include <gtest/gtest.h>

#include "Platform/PlatformTestEvents.h"
#include "PlatformControl.h"
#include "PlatformNavigator.h"
#include "PlatformVirtualKeyboard.h"

namespace
{

using namespace plat;

class CPlatformNavigator : public CHeadlessPlatformTest
{
};
using PlatformVirtualKeyboard = CPlatformNavigator;

TEST_F(CPlatformNavigator, InjectedEventsCarryTheCodesAndStatesTheApplicationReads)
{
    EXPECT_EQ(InjectNavigatorExit(), BPS_FAILURE) << "not requested yet";
    ASSERT_EQ(navigator_request_events(0), BPS_SUCCESS);
    ASSERT_EQ(InjectWindowState(NAVIGATOR_WINDOW_THUMBNAIL), BPS_SUCCESS);
    ASSERT_EQ(InjectWindowState(NAVIGATOR_WINDOW_FULLSCREEN), BPS_SUCCESS);
    ASSERT_EQ(InjectWindowInactive(), BPS_SUCCESS);
    ASSERT_EQ(InjectNavigatorExit(), BPS_SUCCESS);

    const std::vector<sSeenEvent> aSeen = DrainEvents();
    ASSERT_EQ(aSeen.size(), 4u);
    for (const sSeenEvent& seen : aSeen)
    {
        EXPECT_EQ(seen.m_iDomain, navigator_get_domain());
        EXPECT_NE(seen.m_iDomain, screen_get_domain());
        EXPECT_EQ(seen.m_iType, -1) << "no screen event inside";
    }
    EXPECT_EQ(aSeen[0].m_iCode, 3);
    EXPECT_EQ(aSeen[0].m_iWindowState, 1);
    EXPECT_EQ(aSeen[1].m_iCode, 3);
    EXPECT_EQ(aSeen[1].m_iWindowState, 0);
    EXPECT_EQ(aSeen[2].m_iCode, 11);
    EXPECT_EQ(aSeen[2].m_iWindowState, -1) << "only window-state events have a state";
    EXPECT_EQ(aSeen[3].m_iCode, 2);
}

TEST_F(CPlatformNavigator, RequestsAreRecordedWithTheirArguments)
{
    navigator_rotation_lock(true);
    navigator_rotation_lock(false);
    char* pszId = reinterpret_cast<char*>(0x1);
    EXPECT_EQ(navigator_set_orientation(90, &pszId), BPS_SUCCESS);
    EXPECT_EQ(pszId, nullptr);
    EXPECT_EQ(navigator_set_orientation(0, nullptr), BPS_SUCCESS);
    EXPECT_EQ(navigator_set_orientation(45, nullptr), BPS_FAILURE);

    std::vector<std::string> aCalls;
    for (const sPlatformCall& call : GetCallLog())
        aCalls.push_back(call.ToString());
    const std::vector<std::string> aExpected = {"bps_initialize()",
                                                "navigator_rotation_lock(1)",
                                                "navigator_rotation_lock(0)",
                                                "navigator_set_orientation(90)",
                                                "navigator_set_orientation(0)",
                                                "navigator_set_orientation(45)"};
    EXPECT_EQ(aCalls, aExpected);
}

TEST_F(CPlatformNavigator, FailedRequestForEventsLeavesThemOff)
{
    FailCall("navigator_request_events");
    EXPECT_EQ(navigator_request_events(0), BPS_FAILURE);
    EXPECT_EQ(InjectNavigatorExit(), BPS_FAILURE);
    FailCall("virtualkeyboard_request_events");
    EXPECT_EQ(virtualkeyboard_request_events(0), BPS_FAILURE);
    EXPECT_EQ(InjectVirtualKeyboard(VIRTUALKEYBOARD_EVENT_VISIBLE), BPS_FAILURE);
}

TEST_F(PlatformVirtualKeyboard, CallsAreRecordedAndEventsArriveInTheirOwnDomain)
{
    EXPECT_EQ(virtualkeyboard_request_events(0), BPS_SUCCESS);
    virtualkeyboard_change_options(0, 0);
    virtualkeyboard_show();
    virtualkeyboard_hide();
    std::vector<std::string> aCalls;
    for (const sPlatformCall& call : GetCallLog())
        aCalls.push_back(call.ToString());
    const std::vector<std::string> aExpected = {"bps_initialize()", "virtualkeyboard_request_events(0)",
                                                "virtualkeyboard_change_options(0, 0)",
                                                "virtualkeyboard_show()", "virtualkeyboard_hide()"};
    EXPECT_EQ(aCalls, aExpected);

    ASSERT_EQ(InjectVirtualKeyboard(VIRTUALKEYBOARD_EVENT_HIDDEN), BPS_SUCCESS);
    const std::vector<sSeenEvent> aSeen = DrainEvents();
    ASSERT_EQ(aSeen.size(), 1u);
    EXPECT_EQ(aSeen[0].m_iDomain, virtualkeyboard_get_domain());
    EXPECT_NE(aSeen[0].m_iDomain, navigator_get_domain());
    EXPECT_EQ(aSeen[0].m_iCode, VIRTUALKEYBOARD_EVENT_HIDDEN);
}

} // namespace
