// The screen service on the headless back end: the start-up calls of the
// application, window properties, screen events and failure injection.
#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>

#include "Platform/PlatformTestEvents.h"
#include "PlatformControl.h"
#include "PlatformScreen.h"

namespace
{

using namespace plat;

class CPlatformScreen : public CHeadlessPlatformTest
{
protected:
    void SetUp() override
    {
        unsetenv("KORVEL_DISPLAY_SIZE");
        CHeadlessPlatformTest::SetUp();
    }
    void TearDown() override
    {
        if (m_pContext)
            screen_destroy_context(m_pContext);
        CHeadlessPlatformTest::TearDown();
        unsetenv("KORVEL_DISPLAY_SIZE");
    }
    void OpenWindow()
    {
        ASSERT_EQ(screen_create_context(&m_pContext, SCREEN_APPLICATION_CONTEXT), 0);
        ASSERT_EQ(screen_create_window(&m_pWindow, m_pContext), 0);
    }

    screen_context_t m_pContext = nullptr;
    screen_window_t m_pWindow = nullptr;
};

// The application's start-up, call for call, and what each call answers.
TEST_F(CPlatformScreen, ApplicationStartupSequence)
{
    SetDisplaySize(800, 480);
    ASSERT_EQ(screen_create_context(&m_pContext, SCREEN_APPLICATION_CONTEXT), 0);
    int iCount = 0;
    ASSERT_EQ(screen_get_context_property_iv(m_pContext, SCREEN_PROPERTY_DISPLAY_COUNT, &iCount), 0);
    ASSERT_EQ(iCount, 1);
    screen_display_t aDisplays[1] = {nullptr};
    ASSERT_EQ(screen_get_context_property_pv(m_pContext, SCREEN_PROPERTY_DISPLAYS, (void**)aDisplays), 0);
    ASSERT_NE(aDisplays[0], nullptr);

    ASSERT_EQ(screen_create_window(&m_pWindow, m_pContext), 0);
    const int iFormat = SCREEN_FORMAT_RGBX8888, iUsage = 0x220;
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_FORMAT, &iFormat), 0);
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_USAGE, &iUsage), 0);
    int aSize[2] = {0, 0};
    EXPECT_EQ(screen_get_display_property_iv(aDisplays[0], SCREEN_PROPERTY_SIZE, aSize), 0);
    EXPECT_EQ(aSize[0], 800);
    EXPECT_EQ(aSize[1], 480);
    screen_display_mode_t mode = {};
    EXPECT_EQ(screen_get_display_property_pv(aDisplays[0], SCREEN_PROPERTY_MODE, (void**)&mode), 0);
    EXPECT_EQ(mode.width * 1000 + mode.height, 800480u);
    int aBuffer[2] = {0, 0};
    EXPECT_EQ(screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aBuffer), 0);
    EXPECT_EQ(aBuffer[0], 800) << "buffers start at the display size";
    EXPECT_EQ(aBuffer[1], 480);
    const int aPortrait[2] = {480, 800}, iAngle = 90;
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aPortrait), 0);
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_ROTATION, &iAngle), 0);
    EXPECT_EQ(screen_create_window_buffers(m_pWindow, 2), 0);
    EXPECT_EQ(screen_request_events(m_pContext), 0);

    int aWindowSize[2] = {0, 0};
    EXPECT_EQ(screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_SIZE, aWindowSize), 0);
    EXPECT_EQ(aWindowSize[0], 480) << "the window follows its buffers";
    EXPECT_EQ(aWindowSize[1], 800);

    std::vector<std::string> aCalls;
    for (const sPlatformCall& call : GetCallLog())
        aCalls.push_back(call.ToString());
    const std::vector<std::string> aExpected = {
        "bps_initialize()",
        "screen_create_context(0)",
        "screen_get_context_property_iv(59)",
        "screen_get_context_property_pv(60)",
        "screen_create_window()",
        "screen_set_window_property_iv(14, 9)",
        "screen_set_window_property_iv(48, 544)",
        "screen_get_display_property_iv(40)",
        "screen_get_display_property_pv(90)",
        "screen_get_window_property_iv(5)",
        "screen_set_window_property_iv(5, 480, 800)",
        "screen_set_window_property_iv(38, 90)",
        "screen_create_window_buffers(2)",
        "screen_request_events()",
    };
    std::vector<std::string> aStartup(aCalls.begin(),
                                      aCalls.begin() + std::min(aCalls.size(), aExpected.size()));
    EXPECT_EQ(aStartup, aExpected);
}

TEST_F(CPlatformScreen, DisplaySizeComesFromTheEnvironmentWhenWellFormed)
{
    setenv("KORVEL_DISPLAY_SIZE", "1280x720", 1);
    OpenWindow();
    int aSize[2] = {0, 0};
    screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize);
    EXPECT_EQ(aSize[0], 1280);
    EXPECT_EQ(aSize[1], 720);
    screen_destroy_context(m_pContext);

    for (const char* pszBad : {"1280", "x720", "0x600", "1280x720junk", "-5x10", "99999x600", ""})
    {
        setenv("KORVEL_DISPLAY_SIZE", pszBad, 1);
        OpenWindow();
        screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize);
        EXPECT_EQ(aSize[0], 1024) << pszBad;
        EXPECT_EQ(aSize[1], 600) << pszBad;
        screen_destroy_context(m_pContext);
    }
    m_pContext = nullptr;
}

TEST_F(CPlatformScreen, BadValuesAndHandlesAreRefused)
{
    OpenWindow();
    const int iBadAngle = 45, aZero[2] = {0, 600}, aHuge[2] = {100000, 600}, iAny = 1;
    errno = 0;
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_ROTATION, &iBadAngle), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aZero), -1);
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aHuge), -1);
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, 12345, &iAny), -1);
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_FORMAT, nullptr), -1);
    int aSize[2] = {0, 0};
    screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize);
    EXPECT_EQ(aSize[0], 1024) << "a refused size changes nothing";
    EXPECT_EQ(screen_get_context_property_iv(m_pContext, SCREEN_PROPERTY_DISPLAYS, aSize), -1);
    EXPECT_EQ(screen_create_window_buffers(m_pWindow, 0), -1);

    // Destroyed handles are refused, not used; a context takes its windows with it.
    ASSERT_EQ(screen_destroy_window(m_pWindow), 0);
    EXPECT_EQ(screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize), -1);
    EXPECT_EQ(screen_destroy_window(m_pWindow), -1);
    ASSERT_EQ(screen_create_window(&m_pWindow, m_pContext), 0);
    ASSERT_EQ(screen_destroy_context(m_pContext), 0);
    EXPECT_EQ(screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize), -1);
    EXPECT_EQ(screen_destroy_context(m_pContext), -1);
    m_pContext = nullptr;
}

TEST_F(CPlatformScreen, InjectedEventsCarryThePropertiesTheApplicationReads)
{
    OpenWindow();
    screen_request_events(m_pContext);
    ASSERT_EQ(InjectPointer(SCREEN_LEFT_MOUSE_BUTTON, 10, 20), BPS_SUCCESS);
    ASSERT_EQ(InjectKey(SCREEN_KEYSYM_BACKSPACE), BPS_SUCCESS);
    ASSERT_EQ(InjectKey('a', 0), BPS_SUCCESS);
    ASSERT_EQ(InjectTouch(SCREEN_EVENT_MTOUCH_TOUCH, 3, 100, 200), BPS_SUCCESS);
    ASSERT_EQ(InjectTouch(SCREEN_EVENT_MTOUCH_MOVE, 3, 101, 201), BPS_SUCCESS);
    ASSERT_EQ(InjectTouch(SCREEN_EVENT_MTOUCH_RELEASE, 3, 102, 202), BPS_SUCCESS);
    EXPECT_EQ(InjectTouch(SCREEN_EVENT_POINTER, 3, 0, 0), BPS_FAILURE) << "not a touch type";

    const std::vector<sSeenEvent> aSeen = DrainEvents();
    ASSERT_EQ(aSeen.size(), 6u);
    for (const sSeenEvent& seen : aSeen)
        EXPECT_EQ(seen.m_iDomain, screen_get_domain());
    EXPECT_EQ(aSeen[0].m_iType, SCREEN_EVENT_POINTER);
    EXPECT_EQ(aSeen[0].m_iButtons, 1);
    EXPECT_EQ(aSeen[0].m_aPosition[0], 10);
    EXPECT_EQ(aSeen[0].m_aPosition[1], 20);
    EXPECT_EQ(aSeen[0].m_iKeySym, -1) << "a pointer event has no key symbol";
    EXPECT_EQ(aSeen[1].m_iType, SCREEN_EVENT_KEYBOARD);
    EXPECT_EQ(aSeen[1].m_iKeyFlags, SCREEN_KEY_FLAG_DOWN);
    EXPECT_EQ(aSeen[1].m_iKeySym, 0xF008);
    EXPECT_EQ(aSeen[1].m_aPosition[0], -1) << "a key has no position";
    EXPECT_EQ(aSeen[2].m_iKeyFlags, 0);
    EXPECT_EQ(aSeen[2].m_iKeySym, 'a');
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(aSeen[3 + i].m_iType, SCREEN_EVENT_MTOUCH_TOUCH + i);
        EXPECT_EQ(aSeen[3 + i].m_iTouchId, 3);
        EXPECT_EQ(aSeen[3 + i].m_aPosition[0], 100 + i);
        EXPECT_EQ(aSeen[3 + i].m_aPosition[1], 200 + i);
        EXPECT_EQ(aSeen[3 + i].m_iButtons, -1) << "touches have no button mask";
    }
}

TEST_F(CPlatformScreen, ScreenEventsFlowOnlyWhileRequested)
{
    OpenWindow();
    EXPECT_EQ(InjectPointer(1, 0, 0), BPS_FAILURE);
    screen_request_events(m_pContext);
    EXPECT_EQ(InjectPointer(1, 0, 0), BPS_SUCCESS);
    screen_stop_events(m_pContext);
    EXPECT_EQ(InjectPointer(1, 0, 0), BPS_FAILURE);
    EXPECT_EQ(DrainEvents().size(), 1u);
    // A context destroyed while requesting takes its request with it.
    screen_request_events(m_pContext);
    screen_destroy_context(m_pContext);
    m_pContext = nullptr;
    EXPECT_EQ(InjectPointer(1, 0, 0), BPS_FAILURE);

    bps_post_event(bps_register_domain(), 1);
    bps_event_t* pEvent = nullptr;
    ASSERT_EQ(bps_get_event(&pEvent, 0), BPS_SUCCESS);
    EXPECT_EQ(screen_event_get_event(pEvent), nullptr) << "another domain's event holds no screen event";
    int iType = 0;
    EXPECT_EQ(screen_get_event_property_iv(nullptr, SCREEN_PROPERTY_TYPE, &iType), -1);
}

TEST_F(CPlatformScreen, FailureInjectionMakesTheNamedCallFailOnce)
{
    FailCall("screen_create_context");
    m_pContext = reinterpret_cast<screen_context_t>(0x1);
    EXPECT_EQ(screen_create_context(&m_pContext, 0), -1);
    EXPECT_EQ(m_pContext, nullptr);
    EXPECT_EQ(screen_create_context(nullptr, 0), -1);
    ASSERT_EQ(screen_create_context(&m_pContext, 0), 0);
    ClearCallLog();
    FailCall("screen_create_window");
    m_pWindow = reinterpret_cast<screen_window_t>(0x1);
    EXPECT_EQ(screen_create_window(&m_pWindow, m_pContext), -1);
    EXPECT_EQ(m_pWindow, nullptr);
    EXPECT_EQ(screen_create_window(&m_pWindow, m_pContext), 0) << "only the next call fails";

    FailCall("screen_set_window_property_iv", -1);
    const int aSize[2] = {640, 480};
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize), -1);
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize), -1);
    int aRead[2] = {0, 0};
    screen_get_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aRead);
    EXPECT_EQ(aRead[0], 1024) << "a failed call changes nothing";
    ClearCallFailures();
    EXPECT_EQ(screen_set_window_property_iv(m_pWindow, SCREEN_PROPERTY_BUFFER_SIZE, aSize), 0);

    const std::vector<sPlatformCall> aLog = GetCallLog();
    int iFailed = 0;
    for (const sPlatformCall& call : aLog)
        iFailed += call.m_bFailed;
    EXPECT_EQ(iFailed, 3);
}

} // namespace
