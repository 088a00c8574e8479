// Reading the platform event service in tests: every property of an event copied
// out, so that a test can compare it after the service has moved on.
#pragma once

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "PlatformControl.h"
#include "PlatformNavigator.h"
#include "PlatformScreen.h"
#include "support/WaitLimit.h"

// A clean headless platform with the event service initialised.
class CHeadlessPlatformTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::ResetPlatform(plat::eBackend::Headless);
        ASSERT_EQ(plat::bps_initialize(), plat::BPS_SUCCESS);
    }
    void TearDown() override { plat::bps_shutdown(); }
};

struct sSeenEvent
{
    int m_iDomain = -1;
    int m_iCode = -1;
    int m_iType = -1; // screen events
    int m_iButtons = -1;
    int m_aPosition[2] = {-1, -1};
    int m_iKeyFlags = -1;
    int m_iKeySym = -1;
    int m_iTouchId = -1;
    int m_iWindowState = -1; // navigator window-state events
};

inline sSeenEvent DescribeEvent(plat::bps_event_t* pEvent)
{
    sSeenEvent seen;
    seen.m_iDomain = plat::bps_event_get_domain(pEvent);
    seen.m_iCode = plat::bps_event_get_code(pEvent);
    seen.m_iWindowState = plat::navigator_event_get_window_state(pEvent);
    if (plat::screen_event_t pScreen = plat::screen_event_get_event(pEvent))
    {
        plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_TYPE, &seen.m_iType);
        plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_BUTTONS, &seen.m_iButtons);
        plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_SOURCE_POSITION, seen.m_aPosition);
        plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_KEY_FLAGS, &seen.m_iKeyFlags);
        plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_KEY_SYM, &seen.m_iKeySym);
        plat::screen_get_event_property_iv(pScreen, plat::SCREEN_PROPERTY_TOUCH_ID, &seen.m_iTouchId);
    }
    return seen;
}

// Every event waiting now, as the engine drains them (timeout 0 until none).
inline std::vector<sSeenEvent> DrainEvents()
{
    std::vector<sSeenEvent> aSeen;
    plat::bps_event_t* pEvent = nullptr;
    while (plat::bps_get_event(&pEvent, 0) == plat::BPS_SUCCESS && pEvent)
        aSeen.push_back(DescribeEvent(pEvent));
    return aSeen;
}

// Events until one matches (included) or the time is up; bFound tells which. The time only
// guards against a hang: the X server shares a loaded machine too.
inline std::vector<sSeenEvent> EventsUntil(const std::function<bool(const sSeenEvent&)>& fnMatch,
                                           bool& bFound, int iTimeoutMs = TEST_WAIT_LIMIT_MS)
{
    std::vector<sSeenEvent> aSeen;
    bFound = false;
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(iTimeoutMs);
    while (!bFound && std::chrono::steady_clock::now() < tEnd)
    {
        plat::bps_event_t* pEvent = nullptr;
        if (plat::bps_get_event(&pEvent, 20) != plat::BPS_SUCCESS || !pEvent)
            continue;
        aSeen.push_back(DescribeEvent(pEvent));
        bFound = fnMatch(aSeen.back());
    }
    return aSeen;
}
