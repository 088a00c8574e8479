// The application object's initialisation: the user settings with their defaults and
// migrations, the device id, the theme fallback, the packs the start needs, the
// hand-over after the splash, and the session reset.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "Framework/Lobby/VornMenuState.h"
#include "Framework/UI/Theme.h"
#include "PlatformDeviceInfoControl.h"
#include "PlatformNetStatusControl.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestMedia.h"
#include "support/TestShellPacks.h"
#include "support/TestWorkingDir.h"
#include "tests/Framework/Shell/ShellTestStats.h"

namespace
{

// Runs one start in the application's folder and gives its stored settings.
std::map<std::string, std::string> StartAndRead(CTestKestrolundApplication& app)
{
    EXPECT_TRUE(app.WritePacks(false));
    EXPECT_EQ(app.Start(), KE_OK);
    return StoredSettings();
}

TEST(CKestrolundApplication, AFirstStartStoresEveryUserSettingWithItsDefault)
{
    CTestKestrolundApplication app;
    const auto stored = StartAndRead(app);
    const std::map<std::string, std::string> expected = {{"__Vorn_Sounds_Mute", "0"},
                                                         {"__Vorn_Sounds_Volume", "80"},
                                                         {"__Vorn_Music_Mute", "0"},
                                                         {"__Vorn_Music_Volume", "80"},
                                                         {"__Vorn_Vibrations", "1"},
                                                         {"__Vorn_TimesLaunched", "1"},
                                                         {"__Vorn_ThemeName", "kestrolund-white"},
                                                         {"__Vorn_NotificationFilter", "1"}};
    for (const auto& setting : expected)
    {
        ASSERT_TRUE(stored.count(setting.first)) << setting.first;
        EXPECT_EQ(stored.at(setting.first), setting.second) << setting.first;
    }
    EXPECT_EQ(app.GetNotificationFilter(), 1u);
}

TEST(CKestrolundApplication, AStoredVolumeBelowZeroIsMigratedAndStoredBack)
{
    struct sCASE
    {
        int iStored, iApplied;
    };
    const sCASE aCases[] = {{-2000, 80}, {-10000, 0}, {55, 55}, {150, 100}};
    for (const sCASE& c : aCases)
    {
        CTestKestrolundApplication app;
        StoreIntSettings({{"__Vorn_Music_Volume", c.iStored}, {"__Vorn_Sounds_Volume", c.iStored}});
        const auto stored = StartAndRead(app);
        SCOPED_TRACE(c.iStored);
        EXPECT_EQ(app.GetMusicVolume(), c.iApplied);
        EXPECT_EQ(app.GetSoundVolume(), c.iApplied) << "applied to the sound engine";
        EXPECT_EQ(stored.at("__Vorn_Music_Volume"), std::to_string(c.iApplied));
        EXPECT_EQ(stored.at("__Vorn_Sounds_Volume"), std::to_string(c.iApplied));
    }
}

TEST(CKestrolundApplication, ASecondStartCountsTheLaunchAndKeepsTheRest)
{
    std::string strStats;
    {
        CTestKestrolundApplication first;
        ASSERT_TRUE(first.WritePacks(false));
        ASSERT_EQ(first.Start(), KE_OK);
        first.SetMusicVolume(33);
        first.MuteSound(1);
        first.Exit();
        first.Frame(0.1f); // ends the run: the store is written
        strStats = CTestWorkingDir::Get(first.DataFile("stats.dat"));
    }
    CTestKestrolundApplication second;
    std::filesystem::create_directories(second.DataFile(""));
    ASSERT_TRUE(WriteTestFile(second.DataFile("stats.dat"), strStats));
    const auto stored = StartAndRead(second);
    EXPECT_EQ(stored.at("__Vorn_TimesLaunched"), "2");
    EXPECT_EQ(stored.at("__Vorn_Music_Volume"), "33");
    EXPECT_EQ(stored.at("__Vorn_Sounds_Mute"), "1");
    EXPECT_EQ(second.IsSoundMute(), 1u);
}

TEST(CKestrolundApplication, WithoutADeviceIdAFirstStartMakesOneThatLaterStartsKeep)
{
    std::string strId, strStats;
    {
        CTestKestrolundApplication first;
        strId = StartAndRead(first)["__Vorn_UID"];
        strStats = CTestWorkingDir::Get(first.DataFile("stats.dat"));
    }
    ASSERT_EQ(strId.size(), 34u);
    EXPECT_EQ(strId.substr(0, 2), "f0");
    EXPECT_EQ(strId.substr(32), "0f");
    EXPECT_EQ(strId.find_first_not_of("0123456789abcdef"), std::string::npos);
    // Both halves come from the entropy source, not from one reseeded sequence.
    EXPECT_NE(strId.substr(2, 15), strId.substr(17, 15));

    CTestKestrolundApplication again;
    std::filesystem::create_directories(again.DataFile(""));
    ASSERT_TRUE(WriteTestFile(again.DataFile("stats.dat"), strStats));
    EXPECT_EQ(StartAndRead(again)["__Vorn_UID"], strId);

    CTestKestrolundApplication other;
    EXPECT_NE(StartAndRead(other)["__Vorn_UID"], strId) << "another fresh data folder gets another id";
}

TEST(CKestrolundApplication, WithADeviceIdNoIdIsStored)
{
    CTestKestrolundApplication app;
    plat::DeviceInfoControlSetIdentifyingData(0, 0, 12, 345);
    const auto stored = StartAndRead(app);
    EXPECT_EQ(stored.count("__Vorn_UID"), 0u);
}

TEST(CKestrolundApplication, AThemeThatCannotStartFallsBackToTheDefault)
{
    CTestKestrolundApplication app;
    app.m_FailingThemes = {"kestrolund-dark"};
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Start(), KE_OK);
    app.m_Log.Clear();

    app.ChangeTheme(CKorvelString("kestrolund-dark"));
    ASSERT_EQ(app.GetTheme(), app.m_pTestTheme);
    EXPECT_EQ(app.m_pTestTheme->m_strName, "kestrolund-white");
    EXPECT_EQ(
        app.m_Log.With("theme."),
        (std::vector<std::string>{"theme.Shutdown(kestrolund-white)", "theme.Startup(kestrolund-dark)",
                                  "theme.Shutdown(kestrolund-dark)", "theme.Startup(kestrolund-white)"}));
    EXPECT_EQ(app.m_Log.Count("toast.OnThemeChanged"), 1);
    EXPECT_EQ(StoredSettings().at("__Vorn_ThemeName"), "kestrolund-white")
        << "written at the exit at the latest";
}

TEST(CKestrolundApplication, AStoredThemeThatFailsWithTheDefaultKeepsTheFailedTheme)
{
    CTestKestrolundApplication app;
    app.m_FailingThemes = {"kestrolund-white", "kestrolund-dark"};
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Start(), KE_OK);
    app.ChangeTheme(CKorvelString("kestrolund-dark"));
    ASSERT_NE(app.GetTheme(), nullptr);
    EXPECT_EQ(app.m_pTestTheme->m_strName, "kestrolund-white") << "the last theme tried stays current";
    EXPECT_EQ(app.m_Log.Count("toast.OnThemeChanged"), 0);
}

TEST(CKestrolundApplication, AMissingPackStopsTheStartAndSaysWhich)
{
    struct sCASE
    {
        const char* pRemove;
        KE_RETVAL iResult;
    };
    const sCASE aCases[] = {{"vornsounds.kmp", KE_ERR_NOTFOUND},
                            {"vornlayouts.kmp", KE_ERR_NOTFOUND},
                            {"vornfonts_240.kmp", KE_ERR_NOTFOUND},
                            {"vornlanguage_en.kmp", KE_ERR_NOTFOUND}};
    for (const sCASE& c : aCases)
    {
        CTestKestrolundApplication app;
        ASSERT_TRUE(app.WritePacks(false));
        ASSERT_EQ(std::remove(app.AppFile(c.pRemove).c_str()), 0);
        testing::internal::CaptureStderr();
        EXPECT_EQ(app.Start(), c.iResult) << c.pRemove;
        const std::string strErr = testing::internal::GetCapturedStderr();
        const std::string strName =
            std::string(c.pRemove).substr(0, std::string(c.pRemove).find_first_of("_."));
        EXPECT_NE(strErr.find(strName), std::string::npos) << strErr;
        EXPECT_EQ(app.GetStateCount(), 0) << "no splash";
    }
}

TEST(CKestrolundApplication, TheSplashHandsOverToTheLobbyWithTheSessionObserved)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    EXPECT_EQ(app.GetNetworkSession(), nullptr) << "no session during the splash";
    ASSERT_TRUE(app.RunSplash());
    ASSERT_NE(app.m_pTestSession, nullptr);
    EXPECT_EQ(app.GetNetworkSession(), app.m_pTestSession);
    EXPECT_EQ(app.m_Log.With("session.Add"),
              (std::vector<std::string>{"session.AddStatusObserver()", "session.AddLobbyObserver()",
                                        "session.AddGameObserver()", "session.AddAdvertisementObserver()"}));
    EXPECT_EQ(app.GetStateCount(), 1) << "the splash removed itself";
    EXPECT_EQ(app.GetLobbyState(), app.m_pTestLobby);
    EXPECT_EQ(app.m_pGame->GetApplication(), &app) << "the lobby handed the game the application";
    EXPECT_EQ(app.m_Log.Count("toast.Add"), 0) << "the network is there";
}

TEST(CKestrolundApplication, WithoutANetworkTheLobbyStillComesAndAToastSaysSo)
{
    CTestKestrolundApplication app;
    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_UNAVAILABLE);
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_TRUE(app.RunSplash());
    EXPECT_NE(app.GetLobbyState(), nullptr);
    EXPECT_EQ(app.m_Log.With("toast.Add"),
              (std::vector<std::string>{"toast.Add(" + std::string(TEST_NO_NETWORK_TEXT) + ",0,0.000000)"}));
}

TEST(CKestrolundApplication, ASessionThatCannotStartKeepsTheLobbyAwayAndAFailedResetEnds)
{
    CTestKestrolundApplication app;
    app.m_SessionScript.iStartupResult = KE_ERR_DEVICE;
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Start(), KE_OK);
    EXPECT_EQ(app.IntroStateComplete(), KE_ERR_DEVICE);
    EXPECT_EQ(app.GetLobbyState(), nullptr);

    EXPECT_EQ(app.ResetNetworkSession(), KE_ERR_DEVICE);
    EXPECT_EQ(app.m_uExit, 1u);
}

TEST(CKestrolundApplication, AResetFromInsideTheSessionsDeliveryDeletesTheOldSessionOneFrameLater)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_TRUE(app.RunSplash());
    CTestNetworkSession* pOld = app.m_pTestSession;
    app.m_Log.Clear();

    pOld->Deliver([&app] { app.ResetNetworkSession(); });
    EXPECT_EQ(app.m_Log.Count("session.Shutdown"), 1) << "shut down at once";
    EXPECT_EQ(app.m_Log.Count("session.~"), 0) << "not deleted while its code runs";
    EXPECT_EQ(app.m_Log.Count("session.Delivered"), 1);
    EXPECT_NE(app.GetNetworkSession(), pOld);
    EXPECT_EQ(app.GetNetworkSession(), app.m_pTestSession);
    EXPECT_EQ(app.m_Log.Count("session.AddLobbyObserver"), 1) << "the new session is observed";

    app.Frame(0.1f);
    EXPECT_EQ(app.m_Log.Count("session.~"), 1) << "deleted at the next frame";
    EXPECT_LT(app.m_Log.Find("session.~"), app.m_Log.Find("session.Update"));

    // Outside a delivery the old session goes at once.
    app.m_Log.Clear();
    app.ResetNetworkSession();
    EXPECT_EQ(app.m_Log.Count("session.~"), 1);
}

TEST(CKestrolundApplication, ASessionStillWaitingIsDeletedAtTheExit)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_TRUE(app.RunSplash());
    app.m_pTestSession->Deliver([&app] { app.ResetNetworkSession(); });
    app.m_Log.Clear();
    app.OnExit();
    EXPECT_EQ(app.m_Log.Count("session.~"), 2);
    EXPECT_EQ(app.m_RetiredSessions.GetCount(), 0);
}

TEST(CKestrolundApplication, ALanguageChangeReachesTheSessionAndEveryState)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks());
    ASSERT_TRUE(WriteTestFile(app.AppFile("vornlanguage_fi.kmp"),
                              TestLanguagePackBytes("Suomi", "fi", {"a", "b", "c", "d"})));
    ASSERT_EQ(app.Start(), KE_OK);
    app.ChangeLanguage(CKorvelString("fi"));
    EXPECT_EQ(app.m_Log.Count("session."), 0) << "nothing happens before the session exists";
    ASSERT_TRUE(app.RunSplash());
    app.m_Log.Clear();
    app.ChangeLanguage(CKorvelString("fi"));
    EXPECT_EQ(app.m_Log.With("session.SendChangeLanguage"),
              (std::vector<std::string>{"session.SendChangeLanguage(fi)"}));
    EXPECT_EQ(app.m_Log.Count("lobby.OnLanguageChanged(fi)"), 1);
    EXPECT_EQ(StoredSettings().at("__Vorn_Language_vornlanguage"), "fi");
}

} // namespace
