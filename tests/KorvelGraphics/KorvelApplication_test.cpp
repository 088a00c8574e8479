// The application base on the headless platform: construction, start-up with its
// orientation rules and failures, the loop's end, clean-up, modes and palette.
// Start-up brings up the GL screen target on Mesa.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
//
// Sections: fixture - construction - start-up - loop and shutdown - back buffer -
// modes and palette - runnables.
#include "KorvelGraphics/KorvelApplication.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PlatformNavigator.h"
#include "support/TestApplication.h"

namespace
{

// ------------------------------------------------------------------- fixture

// Named after the class under test; the class itself is ::IKorvelApplication here.
class IKorvelApplication : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetHeadlessPlatform();
        g_KEAppGlobalFlags = 1;
    }
    void TearDown() override
    {
        unsetenv("ORIENTATION");
        g_KEAppGlobalFlags = 0;
    }

    // The logged platform calls as "name(args)", from the first one named strFrom on.
    static std::vector<std::string> Calls(const std::string& strFrom = "")
    {
        std::vector<std::string> aCalls;
        for (const plat::sPlatformCall& call : plat::GetCallLog())
            if (!aCalls.empty() || strFrom.empty() || call.m_strName == strFrom)
                aCalls.push_back(call.ToString());
        return aCalls;
    }

    // Buffer size that start-up gives the window at the angle ("" leaves it unset).
    static std::pair<int, int> StartedSize(const char* pszAngle, KE_RETVAL* pResult = nullptr)
    {
        if (*pszAngle)
            setenv("ORIENTATION", pszAngle, 1);
        else
            unsetenv("ORIENTATION");
        CTestApplication app;
        SKE_DISPLAYMODE mode = {};
        const KE_RETVAL iResult = app.Startup(nullptr, &mode);
        if (pResult)
            *pResult = iResult;
        return {mode.iWidth, mode.iHeight};
    }
};

// --------------------------------------------------------------- construction

TEST_F(IKorvelApplication, ConstructionStartsThePlatformServicesInOrder)
{
    {
        CTestApplication app;
        const std::vector<std::string> aExpected = {
            "screen_create_context(0)",           "bps_initialize()",
            "screen_get_context_property_iv(59)", "screen_get_context_property_pv(60)",
            "navigator_rotation_lock(1)",         "img_lib_attach()"};
        EXPECT_EQ(Calls(), aExpected);
        ASSERT_NE(app.GetGraphicsExtension(), nullptr);
        EXPECT_EQ(app.GetBack(), app.GetGraphicsExtension());
        EXPECT_EQ(app.GetBack()->GetContextType(), KE_CONTEXT_GLES2);
        plat::ClearCallLog();
    }
    const std::vector<std::string> aExpected = {"img_lib_detach()", "screen_stop_events()", "bps_shutdown()",
                                                "screen_destroy_context()"};
    EXPECT_EQ(Calls(), aExpected);
}

TEST_F(IKorvelApplication, AnyOfTheLowThreeGlobalFlagsLocksTheRotation)
{
    for (unsigned int uFlags : {1u, 2u, 4u, 8u, 0u})
    {
        g_KEAppGlobalFlags = uFlags;
        plat::ClearCallLog();
        CTestApplication app;
        EXPECT_EQ(::IKorvelApplication::GetGlobalFlags(), uFlags);
        const bool bLocked = (uFlags & 7) != 0;
        EXPECT_EQ(plat::CountCalls("navigator_rotation_lock"), 1);
        EXPECT_EQ(Calls("navigator_rotation_lock").front(),
                  bLocked ? "navigator_rotation_lock(1)" : "navigator_rotation_lock(0)");
    }
}

// ------------------------------------------------------------------ start-up

TEST_F(IKorvelApplication, StartupMakesThePlatformCallsInOrderWithTheirValues)
{
    CTestApplication app;
    plat::ClearCallLog();
    SKE_DISPLAYMODE mode = {};
    ASSERT_EQ(app.Startup(nullptr, &mode), KE_OK);
    const std::vector<std::string> aExpected = {"screen_create_window()",
                                                "screen_set_window_property_iv(14, 9)",
                                                "screen_set_window_property_iv(48, 544)",
                                                "screen_get_display_property_iv(40)",
                                                "screen_get_display_property_pv(90)",
                                                "screen_get_window_property_iv(5)",
                                                "screen_set_window_property_iv(5, 800, 600)",
                                                "screen_set_window_property_iv(38, 0)",
                                                "screen_create_window_buffers(2)",
                                                "screen_request_events()",
                                                "navigator_request_events(0)",
                                                "screen_get_window_property_iv(40)",
                                                "eglGetDisplay()",
                                                "eglChooseConfig()",
                                                "eglCreateWindowSurface()"};
    EXPECT_EQ(Calls(), aExpected);
    EXPECT_EQ(mode.iWidth, 800);
    EXPECT_EQ(mode.iHeight, 600);
    EXPECT_EQ(mode.uFlags, KE_DISPLAYMODE_STARTUP);
    EXPECT_EQ(mode.eFormat, KE_SURFACE_ABGR8888);
    EXPECT_EQ(app.m_iInitDone, 1);
    EXPECT_TRUE(app.IsStarted());
    EXPECT_EQ(app.GetBack()->GetWidth(), 800);
    EXPECT_EQ(app.GetBack()->GetHeight(), 600);
}

TEST_F(IKorvelApplication, TurnedAnglesGiveTheBufferTheOtherOrientation)
{
    EXPECT_EQ(StartedSize("0"), std::make_pair(800, 600));
    EXPECT_EQ(StartedSize("180"), std::make_pair(800, 600));
    EXPECT_EQ(StartedSize("90"), std::make_pair(600, 800));
    EXPECT_EQ(StartedSize("270"), std::make_pair(600, 800));
    EXPECT_EQ(StartedSize(""), std::make_pair(800, 600)) << "unset is the upright screen";

    ResetHeadlessPlatform(480, 640); // a portrait display
    EXPECT_EQ(StartedSize("0"), std::make_pair(480, 640));
    EXPECT_EQ(StartedSize("90"), std::make_pair(640, 480));

    ResetHeadlessPlatform(500, 500); // square: nothing to turn
    EXPECT_EQ(StartedSize("90"), std::make_pair(500, 500));

    // Not a quarter turn: start-up fails and gives the window up.
    plat::ClearCallLog();
    KE_RETVAL iResult = -1;
    StartedSize("45", &iResult);
    EXPECT_EQ(iResult, 0);
    EXPECT_EQ(plat::CountCalls("screen_destroy_window"), 1);
    EXPECT_EQ(plat::CountCalls("screen_create_window_buffers"), 0);
}

TEST_F(IKorvelApplication, AFailingPlatformCallEndsStartupWithZero)
{
    for (const char* pszCall : {"screen_create_window", "screen_get_display_property_pv",
                                "screen_create_window_buffers", "navigator_request_events"})
    {
        plat::ClearCallLog();
        plat::FailCall(pszCall);
        CTestApplication app;
        SKE_DISPLAYMODE mode = {};
        EXPECT_EQ(app.Startup(nullptr, &mode), 0) << pszCall;
        EXPECT_EQ(app.m_iInitDone, 0);
        EXPECT_EQ(app.GetWindow(), nullptr);
        EXPECT_EQ(mode.uFlags, 0u) << "the mode is filled in only on the way to the drawing target";
        EXPECT_EQ(plat::CountCalls("screen_destroy_window"),
                  std::string(pszCall) == "screen_create_window" ? 0 : 1);
    }

    ResetHeadlessPlatform();
    plat::FailCall("eglChooseConfig"); // the drawing target's result is passed on
    CTestApplication target;
    EXPECT_EQ(target.StartHeadless(), KE_ERR_DEVICE);
    EXPECT_EQ(target.m_iInitDone, 0);

    ResetHeadlessPlatform();
    plat::FailCall("screen_get_context_property_iv"); // no display
    CTestApplication headless;
    SKE_DISPLAYMODE mode = {};
    EXPECT_EQ(headless.Startup(nullptr, &mode), 0);
    EXPECT_EQ(plat::CountCalls("screen_create_window"), 0);
    EXPECT_EQ(headless.Startup(nullptr, nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(headless.StartupFromHwnd(nullptr, nullptr, nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(headless.InitFullScreen(nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(headless.InitWindowed(nullptr), KE_ERR_INVALIDARG);
}

TEST_F(IKorvelApplication, AFailedInitDoneExitsOnceCleansUpAndIsReturned)
{
    CTestApplication app;
    app.m_iInitDoneResult = KE_ERR_NOTSTARTED;
    EXPECT_EQ(app.StartHeadless(), KE_ERR_NOTSTARTED);
    EXPECT_EQ(app.m_iExits, 1);
    EXPECT_FALSE(app.IsStarted());
    EXPECT_FALSE(app.IsActive());
    EXPECT_EQ(app.GetWindow(), nullptr);
    EXPECT_EQ(app.GetGraphicsExtension(), nullptr);
    EXPECT_EQ(plat::CountCalls("screen_destroy_window"), 1);
}

TEST_F(IKorvelApplication, ATitleSetBeforeStartupIsKeptAndAnEmptyOneNamed)
{
    CTestApplication named;
    named.SetAppTitle("Flight");
    ASSERT_EQ(named.StartHeadless(), KE_OK);
    EXPECT_TRUE(named.GetAppTitle().IsEqual(CKorvelString("Flight")));
    named.CleanUp();

    CTestApplication unnamed;
    ASSERT_EQ(unnamed.StartHeadless(), KE_OK);
    EXPECT_TRUE(unnamed.GetAppTitle().IsEqual(CKorvelString("KorvelApplication")));
}

// ------------------------------------------------------ loop and shutdown

TEST_F(IKorvelApplication, AScreenChangeResizesTheDrawingTarget)
{
    CTestApplication app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    app.OnScreenChanged(640, 480);
    EXPECT_EQ(app.GetBack()->GetWidth(), 640);
    EXPECT_EQ(app.GetBack()->GetHeight(), 480);
    EXPECT_EQ(app.GetWindowRect().right, 800) << "the rectangles follow the window";
}

TEST_F(IKorvelApplication, CleanUpTwiceReleasesEverythingOnce)
{
    CTestApplication app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    app.Shutdown();
    EXPECT_EQ(app.m_iExits, 1);
    app.CleanUp();
    EXPECT_EQ(plat::CountCalls("screen_destroy_window"), 1);
    EXPECT_EQ(app.GetWindow(), nullptr);
    EXPECT_EQ(app.GetGraphicsExtension(), nullptr);
    EXPECT_EQ(app.GetDisplayMode().iWidth, 0);
    EXPECT_EQ(app.GetPalette(), nullptr);

    CTestApplication closed;
    ASSERT_EQ(closed.StartHeadless(), KE_OK);
    closed.Close();
    EXPECT_EQ(closed.m_iExits, 1);
    EXPECT_EQ(closed.GetWindow(), nullptr);
}

// --------------------------------------------------------------- back buffer

TEST_F(IKorvelApplication, WithoutAGraphicsExtensionASoftwareBackBufferIsTheTarget)
{
    CTestApplication app;
    app.CleanUp(); // the GL target is gone for good
    ASSERT_EQ(app.GetGraphicsExtension(), nullptr);
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    IKorvelGraphicsContext* pBack = app.GetBack();
    EXPECT_EQ(pBack->GetContextType(), KE_CONTEXT_SURFACE);
    EXPECT_EQ(pBack->GetWidth(), 800);

    app.m_rcWindow.Set(0, 0, 101, 50); // odd widths are rounded down
    EXPECT_EQ(app.CreateBackBuffer(KE_SURFACE_RGB565), KE_OK);
    EXPECT_EQ(pBack->GetWidth(), 100);
    EXPECT_EQ(pBack->GetHeight(), 50);
    EXPECT_EQ(pBack->GetFormat(), KE_SURFACE_RGB565);
    EXPECT_EQ(app.CreateBackBuffer(KE_SURFACE_ABGR8888), KE_OK);
    EXPECT_EQ(pBack->GetFormat(), KE_SURFACE_RGB565) << "the same size keeps the buffer as it is";
    app.DoFlip(); // presents through the empty flip routine
    EXPECT_EQ(app.m_iFlips, 1);
    EXPECT_EQ(app.OnRestoreResources(), KE_OK) << "nothing to restore";
    EXPECT_EQ(app.GetPalette(), nullptr);

    app.CleanUp();
    SKE_DISPLAYMODE mode = {0, 0, KE_SURFACE_P8, 0, 1, 0};
    ASSERT_EQ(app.Startup(nullptr, &mode), KE_OK);
    EXPECT_EQ(app.GetBack()->GetFormat(), KE_SURFACE_P8);
    EXPECT_NE(app.GetPalette(), nullptr) << "an 8-bit target gets the default palette";
}

// ---------------------------------------------------------- modes and palette

TEST_F(IKorvelApplication, ModeAndDepthTables)
{
    const int aiBits[] = {0, 8, 16, 16, 16, 24, 32, 32, 0};
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(::IKorvelApplication::ModeToBPP(eKET_SURFACEFORMAT(i)), aiBits[i]) << i;
    const int aiModes[][2] = {{8, 1}, {14, 2}, {15, 3}, {16, 4}, {24, 7}, {32, 7}, {12, -1}};
    for (const auto& mode : aiModes)
        EXPECT_EQ(::IKorvelApplication::BPPToMode(mode[0]), mode[1]) << mode[0];
    EXPECT_EQ(::IKorvelApplication::GetDefaultDisplayFormat(), KE_SURFACE_ABGR8888);
    CKorvelString strText;
    ::IKorvelApplication::KorvelErrorToText(KE_ERR_FILEOPEN, strText);
    EXPECT_TRUE(strText.IsEqual(CKorvelString("Error: 10")));
}

TEST_F(IKorvelApplication, DisplayModesComeFromTheDisplaySize)
{
    CTestApplication app;
    CKorvelPtrArray modes;
    app.GetDisplayModes(&modes);
    app.GetDisplayModes(nullptr);
    ASSERT_EQ(modes.GetCount(), 1);
    const SKE_DISPLAYMODE* pMode = static_cast<SKE_DISPLAYMODE*>(modes[0]);
    EXPECT_EQ(pMode->iWidth, 800);
    EXPECT_EQ(pMode->iHeight, 600);
    EXPECT_EQ(pMode->eFormat, KE_SURFACE_ABGR8888);
    ::IKorvelApplication::ReleaseDisplayModes(&modes);
    EXPECT_EQ(modes.GetCount(), 0);

    SKE_DISPLAYMODE kept = {12, 34, KE_SURFACE_P8, 5, 1, 0x20};
    plat::FailCall("screen_get_display_property_iv");
    app.GetDefaultDisplayMode(kept);
    EXPECT_EQ(kept.iWidth, 12) << "an unreadable size leaves width and height";
    EXPECT_EQ(kept.iHeight, 34);
    EXPECT_EQ(kept.eFormat, KE_SURFACE_ABGR8888);
    EXPECT_EQ(kept.uFlags, 0u);
}

TEST_F(IKorvelApplication, DefaultPaletteAndItsLookupTable)
{
    CTestApplication app;
    EXPECT_EQ(app.GetPalette(), nullptr);
    const unsigned char* pLookup = app.GetPaletteLookupTable();
    ASSERT_NE(pLookup, nullptr);
    const unsigned int* pPalette = app.GetPalette();
    ASSERT_NE(pPalette, nullptr);
    EXPECT_EQ(pPalette[0xE0], 0xFF0000u);                      // red 7
    EXPECT_EQ(pPalette[0x49], (72u << 16) | (72u << 8) | 85u); // 2, 2, 1
    EXPECT_EQ(pLookup[0xFFF], 255) << "4-4-4 white is nearest to palette white";
    EXPECT_EQ(pLookup[0xF00], 0xE0);
}

TEST_F(IKorvelApplication, AGivenPaletteIsCopiedAndLookedUp)
{
    CTestApplication app;
    unsigned int auColours[256];
    for (unsigned int i = 0; i < 256; ++i)
        auColours[i] = i * 0x010101u; // grey ramp
    app.SetPalette(auColours);
    EXPECT_EQ(app.GetPalette()[77], 77u * 0x010101u);
    EXPECT_EQ(app.GetPaletteLookupTable()[0x888], 0x80);
}

// ---------------------------------------------------------------- runnables

class CCounter : public IKorvelRunnable
{
public:
    void Update(float fSeconds) override
    {
        m_afSeconds.push_back(fSeconds);
        if (m_pApp && m_pAdd)
        {
            m_pApp->AddRunnable(m_pAdd);
            m_pAdd = nullptr;
        }
    }
    std::vector<float> m_afSeconds;
    CTestApplication* m_pApp = nullptr;
    IKorvelRunnable* m_pAdd = nullptr;
};

TEST_F(IKorvelApplication, RunnablesRunEachFrameWhileRegistered)
{
    CTestApplication app;
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    CCounter first, added, absent;
    first.m_pApp = &app;
    first.m_pAdd = &added;
    app.AddRunnable(&first);
    EXPECT_EQ(first.m_uRegistered, 1u);
    app.RemoveRunnable(&absent);
    EXPECT_EQ(absent.m_uRegistered, 0u);

    app.DoFlip();
    ASSERT_EQ(first.m_afSeconds.size(), 1u);
    EXPECT_EQ(added.m_afSeconds.size(), 1u) << "added during the frame, run in it";
    EXPECT_EQ(added.m_afSeconds[0], app.GetFrameTime());

    app.RemoveRunnable(&first);
    EXPECT_EQ(first.m_uRegistered, 0u);
    app.DoFlip();
    EXPECT_EQ(first.m_afSeconds.size(), 1u);
    EXPECT_EQ(added.m_afSeconds.size(), 2u);

    app.CleanUp();
    EXPECT_EQ(added.m_uRegistered, 0u) << "clean-up empties the list";
}

} // namespace
