// The application object's exit: the shut-down order of everything it owns, every member
// null afterwards, and the statistics store written last.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornStatistics.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestMedia.h"
#include "support/TestShellPacks.h"
#include "tests/Framework/Shell/ShellTestState.h"
#include "tests/Framework/Shell/ShellTestStats.h"

namespace
{

TEST(CKestrolundApplication, TheExitShutsEverythingDownInItsOrder)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_TRUE(app.RunSplash());
    app.AddState(new CShellTestState(app.m_Log, "behind"));
    app.ShowNotification(new CTestNotification(app.m_Log));
    app.m_Log.Clear();

    app.Exit();
    app.Frame(0.1f);
    ASSERT_FALSE(app.IsStarted());

    std::vector<std::string> aOrder;
    for (const std::string& strEntry : app.m_Log.Entries())
        if (strEntry.find(".Shutdown") != std::string::npos ||
            strEntry.find(".Deactivate") != std::string::npos)
            aOrder.push_back(strEntry);
    EXPECT_EQ(aOrder, (std::vector<std::string>{"theme.Shutdown(kestrolund-white)", "session.Shutdown()",
                                                "notification.Shutdown()", "toast.Shutdown()",
                                                "lobby.Deactivate()", "game.Deactivate()", "lobby.Shutdown()",
                                                "game.Shutdown()", "behind.Shutdown()"}));
    EXPECT_LT(app.m_Log.Find("session.~"), app.m_Log.Find("notification.Shutdown"));
    EXPECT_LT(app.m_Log.Find("lobby.~"), app.m_Log.Find("behind.Shutdown"));

    EXPECT_EQ(app.GetTheme(), nullptr);
    EXPECT_EQ(app.GetNetworkSession(), nullptr);
    EXPECT_EQ(app.GetNetConnection(), nullptr);
    EXPECT_EQ(app.GetAdvertisement(), nullptr);
    EXPECT_EQ(app.GetToast(), nullptr);
    EXPECT_EQ(app.GetLobbyState(), nullptr);
    EXPECT_EQ(app.GetStateCount(), 0);
    EXPECT_EQ(app.GetDevice(), nullptr);
    EXPECT_EQ(app.GetLanguage(), nullptr);
    EXPECT_EQ(app.GetSoundEngine(), nullptr);
    EXPECT_EQ(app.GetMusicPlayer(), nullptr);
    EXPECT_EQ(app.GetStatistics(), nullptr);
    EXPECT_EQ(app.GetAchievementStation(), nullptr);
    EXPECT_EQ(app.m_pLogoSurface, nullptr);
}

TEST(CKestrolundApplication, TheStoreWrittenLastHoldsTheLanguageSavedBeforeIt)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks());
    ASSERT_TRUE(WriteTestFile(app.AppFile("vornlanguage_fi.kmp"),
                              TestLanguagePackBytes("Suomi", "fi", {"a", "b", "c", "d"})));
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_EQ(app.GetLanguage()->SetCurrentLanguage(CKorvelString("fi")), KE_OK);
    // The store in memory forgets the choice; only the language's save at the exit
    // puts it back before the store is written.
    app.GetStatistics()
        ->GetProperty(CKorvelString("__Vorn_Language_vornlanguage"))
        ->SetString(CKorvelString("en"));
    app.GetStatistics()->AddProperty(CKorvelString("written_at_exit"))->SetInt(7);
    app.Exit();
    app.Frame(0.1f);

    const auto stored = StoredSettings();
    EXPECT_EQ(stored.at("__Vorn_Language_vornlanguage"), "fi");
    EXPECT_EQ(stored.at("written_at_exit"), "7");
}

} // namespace
