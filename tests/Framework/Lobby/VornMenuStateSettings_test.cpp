// The lobby's settings page and the language chooser: toggles and sliders write the
// application's settings and show them again, the notification bits flip, the about text,
// and the chooser over packs the lobby server offers.
// KORVEL_GL_TEST
#include "VornMenuStateTest.h"

#include <filesystem>
#include <set>

#include "Framework/Shell/VornLanguage.h"
#include "Framework/UI/Slider.h"
#include "support/TestShellPacks.h"

using namespace menu_state_test;

namespace
{

typedef KE_RETVAL (*Handler)(CWidget*, void*);

class CVornMenuState : public CMenuStateTest
{
protected:
    template <class T> T* Make()
    {
        T* pWidget = new T;
        pWidget->Startup(&m_App, &m_App, CKorvelRect<int>(0, 0, 100, 20));
        m_aOwned.emplace_back(pWidget);
        return pWidget;
    }
    void Run(Handler pfn, CWidget* pSender) { pfn(pSender, Lobby()); }
    void TearDown() override
    {
        for (auto& p : m_aOwned)
            p->Shutdown();
        m_aOwned.clear();
        CMenuStateTest::TearDown();
    }
    // Every file under the test's folder but the server's log, by path.
    std::set<std::string> Files() const
    {
        std::set<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_App.Dir()))
            if (entry.is_regular_file() && entry.path().filename() != "server.jsonl")
                files.insert(entry.path().string());
        return files;
    }
    std::vector<std::unique_ptr<CWidget>> m_aOwned;
};

TEST_F(CVornMenuState, SoundAndMusicTogglesWriteTheSettingAndTheTwoSoundTogglesAgree)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    CToggleButton* pEffects = Make<CToggleButton>();
    CToggleButton* pMute = FindAs<CToggleButton>("setting_mute");
    ASSERT_NE(pMute, nullptr);
    Run(&::CVornMenuState::actionInitSounds, pMute);
    ASSERT_EQ(pMute->GetToggled(), 1u);

    pEffects->SetToggled(0);
    Run(&::CVornMenuState::actionToggleSoundEffects, pEffects);
    EXPECT_EQ(m_App.IsSoundMute(), 1u);
    EXPECT_EQ(pMute->GetToggled(), 0u) << "the other sound toggle follows";
    pMute->SetToggled(1);
    Run(&::CVornMenuState::actionToggleSounds, pMute);
    EXPECT_EQ(m_App.IsSoundMute(), 0u);
    Run(&::CVornMenuState::actionInitSoundEffects, pEffects);
    EXPECT_EQ(pEffects->GetToggled(), 1u);

    CToggleButton* pMusic = Make<CToggleButton>();
    pMusic->SetToggled(0);
    Run(&::CVornMenuState::actionToggleMusic, pMusic);
    EXPECT_EQ(m_App.IsMusicMute(), 1u);
    pMusic->SetToggled(1);
    Run(&::CVornMenuState::actionInitMusic, pMusic);
    EXPECT_EQ(pMusic->GetToggled(), 0u);

    CToggleButton* pVibration = Make<CToggleButton>();
    Run(&::CVornMenuState::actionInitVibration, pVibration);
    EXPECT_FALSE(pVibration->GetVisible()) << "the lobby offers no vibration setting";
    EXPECT_EQ(m_App.GetVibrations(), 0u) << "the layout has no vibration toggle";

    // A sender of another type changes nothing.
    Run(&::CVornMenuState::actionToggleSounds, Make<CSlider>());
    EXPECT_EQ(m_App.IsSoundMute(), 0u);
}

TEST_F(CVornMenuState, SlidersStoreWholePercentsAndShowTheStoredVolume)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    CSlider* pSlider = Make<CSlider>();
    const struct
    {
        Handler pfnSet;
        Handler pfnGet;
        int (CKestrolundApplication::*pfnVolume)();
        void (CKestrolundApplication::*pfnSetVolume)(int);
    } aCases[] = {
        {&::CVornMenuState::actionSetSoundVolume, &::CVornMenuState::actionGetSoundVolume,
         &CKestrolundApplication::GetSoundVolume, &CKestrolundApplication::SetSoundVolume},
        {&::CVornMenuState::actionSetMusicVolume, &::CVornMenuState::actionGetMusicVolume,
         &CKestrolundApplication::GetMusicVolume, &CKestrolundApplication::SetMusicVolume},
    };
    for (const auto& c : aCases)
    {
        // Truncated: a slider between two whole percents keeps the lower.
        for (float fValue : {0.555f, 0.559f})
        {
            pSlider->SetValue(fValue);
            Run(c.pfnSet, pSlider);
            EXPECT_EQ((m_App.*c.pfnVolume)(), 55) << fValue;
        }
        (m_App.*c.pfnSetVolume)(80);
        Run(c.pfnGet, pSlider);
        EXPECT_NEAR(pSlider->GetValue(), 0.8f, 1e-4f);
        // Showing the page sets the slider, which reports a change: the volume must stay.
        for (int iVolume = 0; iVolume <= 100; ++iVolume)
        {
            (m_App.*c.pfnSetVolume)(iVolume);
            Run(c.pfnGet, pSlider);
            Run(c.pfnSet, pSlider);
            EXPECT_EQ((m_App.*c.pfnVolume)(), iVolume);
        }
    }
}

TEST_F(CVornMenuState, NotificationTogglesFlipTheirBitAndTheInitActionsShowIt)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    CToggleButton* pToggle = Make<CToggleButton>();
    const struct
    {
        Handler pfnToggle;
        Handler pfnInit;
        unsigned int uBit;
    } aCases[] = {
        {&::CVornMenuState::actionToggleNotificationsIngame,
         &::CVornMenuState::actionInitNotificationFilterIngame, 1},
        {&::CVornMenuState::actionToggleNotificationsUserTriggered,
         &::CVornMenuState::actionInitNotificationFilterUserTriggered, 2},
        {&::CVornMenuState::actionToggleNotificationsChallenges,
         &::CVornMenuState::actionInitNotificationFilterChallenges, 4},
    };
    for (const auto& c : aCases)
    {
        const unsigned int uBefore = m_App.GetNotificationFilter();
        Run(c.pfnToggle, pToggle);
        EXPECT_EQ(m_App.GetNotificationFilter(), uBefore ^ c.uBit);
        Run(c.pfnInit, pToggle);
        EXPECT_EQ(pToggle->GetToggled(), (uBefore & c.uBit) ? 1u : 0u) << c.uBit;
        Run(c.pfnToggle, pToggle);
        EXPECT_EQ(m_App.GetNotificationFilter(), uBefore) << "twice restores the filter";
        Run(c.pfnInit, pToggle);
        EXPECT_EQ(pToggle->GetToggled(), (uBefore & c.uBit) ? 0u : 1u);
    }
}

TEST_F(CVornMenuState, TheAboutTextGivesTheGamesNameFirstAndItsVersionSecond)
{
    m_Texts[2] = "%s version %s";
    ASSERT_NO_FATAL_FAILURE(Start());
    CTextWidget* pText = Make<CTextWidget>();
    Run(&::CVornMenuState::actionAboutGameInfoOnShow, pText);
    EXPECT_EQ(Narrow(pText->GetText()),
              Narrow(m_App.m_pGame->GetAppName()) + " version " + Narrow(m_App.m_pGame->GetAppVersion()));
    Run(&::CVornMenuState::actionUpdateSettingsLanguageLabel, pText);
    EXPECT_EQ(Narrow(pText->GetText()), "English");
}

TEST_F(CVornMenuState, TheChooserListsTheServersLanguagesAndSwitchesToTheChosenOne)
{
    const std::string strFolder = m_App.Dir() + "/served";
    std::filesystem::create_directories(strFolder);
    for (const auto& pack : {std::make_pair("Zarabic", "ar-sa"), std::make_pair("Suomi", "fi")})
    {
        std::vector<std::string> aTexts;
        for (int i = 0; i < 40; ++i)
            aTexts.push_back(std::string(pack.second) + " " + std::to_string(i));
        ASSERT_TRUE(WriteTestFile(strFolder + "/vornlanguage_" + pack.second + ".kmp",
                                  TestLanguagePackBytes(pack.first, pack.second, aTexts)));
    }
    // The shipped English pack as it is: nothing to fetch.
    ASSERT_TRUE(WriteTestFile(strFolder + "/vornlanguage_en.kmp",
                              TestLanguagePackBytes("English", "en", LanguageTexts())));
    ASSERT_NO_FATAL_FAILURE(Start({"--language-dir", strFolder}));
    ASSERT_TRUE(WaitForStart());
    ::CVornMenuState::actionGuestLogin(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
    ASSERT_TRUE(WaitForMessage("GetAvailableLanguages"));
    const size_t uAsked = In("GetAvailableLanguages").size();
    ::CVornMenuState::actionGetLanguages(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return In("GetAvailableLanguages").size() == uAsked + 1; }));
    // Both missing packs are asked for (a slow machine may see the login's own list answer
    // late and ask twice).
    ASSERT_TRUE(WaitFor([&] { return In("GetLanguagePack").size() >= 2; }));
    ASSERT_TRUE(WaitFor(
        [&]
        {
            return std::filesystem::exists(m_App.DataFile("vornlanguage_fi.kmp")) &&
                   std::filesystem::exists(m_App.DataFile("vornlanguage_ar-sa.kmp"));
        }));
    ASSERT_TRUE(WaitForLobbyQuiet());
    for (const CTestJson& asked : In("GetLanguagePack"))
        EXPECT_NE(asked["a"].String(), "en");

    Lobby()->SwitchToPage(CKorvelString("startup_language_chooser"), 1);
    ::CVornMenuState::actionShowLanguageChooser(Find("language_list"), Lobby());
    std::vector<std::string> aNames;
    for (int i = 0; i < Lobby()->GetLanguageNames().GetCount(); ++i)
        aNames.push_back(Narrow(Lobby()->GetLanguageNames()[i]));
    EXPECT_EQ(aNames, (std::vector<std::string>{"Zarabic", "English", "Suomi"}));
    EXPECT_EQ(Lobby()->GetSelectedLanguage(), 1) << "the current language";

    // The rows appear as the list lays itself out; pick the Finnish one.
    auto Row = [&](const std::string& strName) -> CWidget*
    {
        CKorvelArray<CWidget*>& aRows = Find("language_list")->GetWidgets();
        for (int iRow = 0; iRow < aRows.GetCount(); ++iRow)
        {
            CTextWidget* pName =
                widget_cast<CTextWidget*>(aRows[iRow]->FindWidget(CKorvelString("language-name"), -1));
            if (pName && Narrow(pName->GetText()) == strName)
                return aRows[iRow];
        }
        return nullptr;
    };
    // The languages whose rows show the mark.
    auto Marked = [&]
    {
        std::vector<std::string> aMarked;
        for (const std::string& strName : aNames)
        {
            CWidget* pRow = Row(strName);
            CWidget* pMark = pRow ? pRow->FindWidget(CKorvelString("selected"), -1) : nullptr;
            if (pMark && pMark->GetVisible())
                aMarked.push_back(strName);
        }
        return aMarked;
    };
    auto PickSuomi = [&]
    {
        for (int i = 0; i < 20 && !Row("Suomi"); ++i)
        {
            Frame(0.05f);
            Lobby()->Draw();
        }
        ASSERT_NE(Row("Suomi"), nullptr);
        ::CVornMenuState::actionSelectLanguageItem(
            Row("Suomi")->FindWidget(CKorvelString("select-button"), -1), Lobby());
    };
    ASSERT_NO_FATAL_FAILURE(PickSuomi());
    EXPECT_EQ(Lobby()->GetSelectedLanguage(), 2);
    EXPECT_EQ(Marked(), std::vector<std::string>{"Suomi"});
    // A resize keeps the pick, marked and chosen, and asks the server for nothing.
    ASSERT_TRUE(WaitForLoginRounds());
    const size_t uHeard = Heard();
    m_App.OnScreenChanged(480, 320);
    Frame(0.02f);
    EXPECT_EQ(Lobby()->GetSelectedLanguage(), 2);
    EXPECT_EQ(Marked(), std::vector<std::string>{"Suomi"});
    EXPECT_EQ(AskedSince(uHeard), PromotionsAskedAgain(1));
    // Shown anew, the chooser starts from the current language again; the player picks again.
    ::CVornMenuState::actionShowLanguageChooser(Find("language_list"), Lobby());
    EXPECT_EQ(Lobby()->GetSelectedLanguage(), 1);
    ASSERT_NO_FATAL_FAILURE(PickSuomi());
    // The first row's pick is kept too.
    ::CVornMenuState::actionSelectLanguageItem(Row("Zarabic")->FindWidget(CKorvelString("select-button"), -1),
                                               Lobby());
    m_App.OnScreenChanged(640, 400);
    Frame(0.02f);
    EXPECT_EQ(Lobby()->GetSelectedLanguage(), 0);
    EXPECT_EQ(Marked(), std::vector<std::string>{"Zarabic"});
    ::CVornMenuState::actionShowLanguageChooser(Find("language_list"), Lobby());
    ASSERT_NO_FATAL_FAILURE(PickSuomi());

    // From the settings (a button outside the first-launch page): the language changes and
    // nothing more happens, no new login and no other page.
    CButton* pChoose = Make<CButton>();
    const std::string strPage = PageName();
    ::CVornMenuState::actionChooseLanguage(pChoose, Lobby());
    ASSERT_TRUE(WaitFor([&] { return In("ChangeLanguageMessage").size() == 1; }));
    EXPECT_EQ(In("ChangeLanguageMessage")[0]["language"].String(), "fi");
    EXPECT_EQ(Narrow(m_App.GetLanguage()->GetText(5)), "fi 5");
    EXPECT_EQ(Lobby()->GetLanguageNames().GetCount(), 0);
    EXPECT_EQ(PageName(), strPage);

    // The names are gone: a second press does nothing.
    ::CVornMenuState::actionChooseLanguage(pChoose, Lobby());
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(In("Login").size(), 1u);
    EXPECT_EQ(In("ChangeLanguageMessage").size(), 1u);
}

TEST_F(CVornMenuState, PackNamesFromTheServerThatLeadOutOfTheDataFolderWriteNothing)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    ::CVornMenuState::actionGuestLogin(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
    ASSERT_TRUE(WaitForMessage("GetThemePack"));
    ASSERT_TRUE(WaitForLobbyQuiet());
    // With these folders an unchecked "../../../x" would resolve to the application's
    // folder, beside the data folder.
    ASSERT_TRUE(std::filesystem::create_directories(m_App.DataFile("vornlanguage_..")));
    ASSERT_TRUE(std::filesystem::create_directories(m_App.DataFile("vorntheme_..")));
    const std::set<std::string> before = Files();
    const int iThemes = m_App.m_Log.Count("theme.Startup");

    // The list offers them; the lobby's "get_languages" asks again and the packs follow.
    const int iUser = Session()->GetOwnUserId();
    const char* const apCodes[] = {"../x", "../../../x"};
    std::string strList;
    for (const char* pCode : apCodes)
        strList +=
            std::string(strList.empty() ? "" : ", ") + "[\"" + pCode + "\", \"vornlanguage\", \"d\", 3]";
    ::CVornMenuState::actionGetLanguages(nullptr, Lobby());
    m_pControl->Send(sLOBBY_TARGET::Lobby(iUser), "available_languages_list", "[[" + strList + "]]");
    for (const char* pCode : apCodes)
    {
        const std::string strCode = pCode;
        m_pControl->Send(sLOBBY_TARGET::Lobby(iUser), "language_pack",
                         "[\"vornlanguage\", \"" + strCode + "\", \"\", 3, {\"hex\": \"414243\"}]");
        m_pControl->Send(sLOBBY_TARGET::Lobby(iUser), "theme_pack",
                         "[\"" + strCode + "\", \"\", {\"hex\": \"414243\"}]");
    }
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(m_App.m_Log.Count("theme.Startup"), iThemes);
    EXPECT_TRUE(In("ChangeLanguageMessage").empty());
    EXPECT_NE(Lobby()->IsLoggedIn(), 0u);

    Lobby()->SwitchToPage(CKorvelString("startup_language_chooser"), 1);
    ::CVornMenuState::actionShowLanguageChooser(Find("language_list"), Lobby());
    ASSERT_EQ(Lobby()->GetLanguageNames().GetCount(), 1);
    EXPECT_EQ(Narrow(Lobby()->GetLanguageNames()[0]), "English");
}

} // namespace
