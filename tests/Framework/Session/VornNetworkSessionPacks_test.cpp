// Language and theme packs from the lobby server: the list, the download, the file in
// the data folder, the language and theme changes that follow, the theme digest that
// decides whether a theme pack comes, and packs whose names or files cannot be taken.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <set>

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/VornLanguage.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "support/SessionServerTest.h"
#include "support/TestMedia.h"
#include "support/TestShellPacks.h"
#include "support/TestText.h"

namespace
{

std::vector<std::string> Texts(const std::string& strPrefix)
{
    std::vector<std::string> aTexts;
    for (int i = 0; i < 40; ++i)
        aTexts.push_back(strPrefix + std::to_string(i));
    return aTexts;
}

// Every file under the folder (paths relative to it), but the server's log.
void ListFiles(const std::string& strFolder, const std::string& strPrefix, std::set<std::string>& files)
{
    DIR* pDir = opendir(strFolder.c_str());
    if (!pDir)
        return;
    while (dirent* pEntry = readdir(pDir))
    {
        const std::string strName = pEntry->d_name;
        if (strName == "." || strName == ".." || strName == "server.jsonl")
            continue;
        struct stat info;
        const std::string strPath = strFolder + "/" + strName;
        if (stat(strPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            ListFiles(strPath, strPrefix + strName + "/", files);
        else
            files.insert(strPrefix + strName);
    }
    closedir(pDir);
}

class CVornNetworkSession : public CSessionServerTest
{
protected:
    void TearDown() override
    {
        if (m_App.m_pGame)
            m_App.m_pGame->m_pLanguage = nullptr;
        CSessionServerTest::TearDown();
    }
    std::string ServerFolder(const std::string& strName)
    {
        const std::string strFolder = m_App.Dir() + "/" + strName;
        mkdir(strFolder.c_str(), 0755);
        return strFolder;
    }
    // A German pack for the server's language folder; its options.
    std::vector<std::string> ServeGerman()
    {
        m_strGerman = TestLanguagePackBytes("Deutsch", "de", Texts("Text "));
        const std::string strFolder = ServerFolder("languages");
        EXPECT_TRUE(WriteTestFile(strFolder + "/vornlanguage_de.kmp", m_strGerman));
        return {"--language-dir", strFolder};
    }
    std::set<std::string> Files()
    {
        std::set<std::string> files;
        ListFiles(m_App.Dir(), "", files);
        return files;
    }
    std::string Data(const std::string& strName) { return m_App.DataFile(strName); }
    std::string ReadText(const std::string& strPath)
    {
        const std::vector<uint8_t> aBytes = ReadTestFile(strPath);
        return std::string(aBytes.begin(), aBytes.end());
    }

    // The application's own theme, its shipped pack and the server's pack of the same name;
    // the server started with them.
    void StartThemed(const std::string& strShipped, const std::string& strServed)
    {
        m_App.m_bRealTheme = true;
        ASSERT_TRUE(WriteTestFile(m_App.AppFile("vorntheme_kestrolund-white.kmp"), strShipped));
        const std::string strFolder = ServerFolder("themes");
        ASSERT_TRUE(WriteTestFile(strFolder + "/vorntheme_kestrolund-white.kmp", strServed));
        ASSERT_NO_FATAL_FAILURE(Start({"--theme-dir", strFolder, "--theme", "kestrolund-white"}));
        ASSERT_NE(m_App.GetTheme(), nullptr);
        ASSERT_EQ(Narrow(m_App.GetTheme()->GetName()), "kestrolund-white");
    }
    // The current theme's colour "c", 0 when it has none.
    unsigned int ThemeColor()
    {
        unsigned int uColor = 0;
        return m_App.GetTheme() && m_App.GetTheme()->GetColorByName(CKorvelString("c"), uColor) ? uColor : 0;
    }
    // The messages of that name the server sent.
    size_t Sent(const std::string& strName) const
    {
        size_t n = 0;
        for (const std::string& strLine : m_pServer->Lines("out"))
            n += strLine.find("\"name\": \"" + strName + "\"") != std::string::npos;
        return n;
    }

    std::string m_strGerman;
    std::unique_ptr<CVornLanguage> m_pGameLanguage;
};

// A theme pack whose colour file gives "c" the value.
std::string ThemeBytes(const std::string& strValue)
{
    return TestPackBytes(
        {{"/theme_kestrolund-white.xml",
          "<theme><config type=\"color\"><color id=\"c\" value=\"" + strValue + "\"/></config></theme>"}});
}

std::string Digest(const std::string& strBytes)
{
    CVornMD5 md5;
    md5.MD5(reinterpret_cast<const unsigned char*>(strBytes.data()),
            static_cast<unsigned int>(strBytes.size()));
    CKorvelString strDigest;
    md5.GetDigestStr(strDigest);
    return Narrow(strDigest);
}

TEST_F(CVornNetworkSession, ALanguagePackIsFetchedWrittenWholeAndReadAgain)
{
    ASSERT_NO_FATAL_FAILURE(Start(ServeGerman()));
    const int iUser = LoginGuest(Session(), m_Rec);
    ASSERT_GT(iUser, 0);
    ASSERT_TRUE(WaitFor([&] { return ReadText(Data("vornlanguage_de.kmp")) == m_strGerman; }));
    // A language change the pack would have sent has reached the server by then.
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iUser)));
    ASSERT_EQ(In("GetLanguagePack").size(), 1u);
    EXPECT_EQ(In("GetLanguagePack")[0]["a"].String(), "de");
    EXPECT_EQ(In("GetLanguagePack")[0]["b"].String(), "vornlanguage");
    // Read again: the language knows the server's pack now; English stays current.
    CVornLanguage* pLanguage = m_App.GetLanguage();
    EXPECT_FALSE(pLanguage->CheckUpdateNeed(CKorvelString("de"), CKorvelString(Digest(m_strGerman).c_str())));
    EXPECT_EQ(Narrow(pLanguage->GetCurrentLanguage()->m_strCode), "en");
    EXPECT_TRUE(In("ChangeLanguageMessage").empty());
    EXPECT_FALSE(CKorvelFile::FileExists(CKorvelString(Data("vornlanguage_de.kmp.tmp").c_str())));
}

TEST_F(CVornNetworkSession, TheCurrentLanguagesNewPackChangesTheLanguage)
{
    // An older German pack shipped with the application, and German chosen.
    ASSERT_TRUE(WriteTestFile(m_App.AppFile("vornlanguage_de.kmp"),
                              TestLanguagePackBytes("Deutsch", "de", Texts("alt "))));
    ASSERT_NO_FATAL_FAILURE(Start(ServeGerman()));
    CVornLanguage* pLanguage = m_App.GetLanguage();
    ASSERT_EQ(pLanguage->SetCurrentLanguage(CKorvelString("de")), KE_OK);
    ASSERT_EQ(Narrow(pLanguage->GetText(5)), "alt 5");
    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    ASSERT_TRUE(WaitFor([this] { return In("ChangeLanguageMessage").size() == 1; }));
    EXPECT_EQ(In("ChangeLanguageMessage")[0]["language"].String(), "de");
    EXPECT_EQ(Narrow(pLanguage->GetText(5)), "Text 5");
    EXPECT_EQ(ReadText(Data("vornlanguage_de.kmp")), m_strGerman);
}

TEST_F(CVornNetworkSession, AGamePackGoesToTheGamesOwnLanguage)
{
    const std::string strFolder = ServerFolder("languages");
    const std::string strFrench = TestLanguagePackBytes("Francais", "fr", Texts("texte "));
    ASSERT_TRUE(WriteTestFile(strFolder + "/game_fr.kmp", strFrench));
    ASSERT_NO_FATAL_FAILURE(Start({"--language-dir", strFolder}));
    m_pGameLanguage.reset(new CVornLanguage);
    m_pGameLanguage->Startup(&m_App, CKorvelString("quorvalintext"));
    m_App.m_pGame->m_pLanguage = m_pGameLanguage.get();
    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    ASSERT_TRUE(WaitFor([&] { return ReadText(Data("quorvalintext_fr.kmp")) == strFrench; }));
    EXPECT_EQ(In("GetLanguagePack")[0]["b"].String(), "game");
    EXPECT_FALSE(
        m_pGameLanguage->CheckUpdateNeed(CKorvelString("fr"), CKorvelString(Digest(strFrench).c_str())));
    EXPECT_TRUE(m_App.GetLanguage()->CheckUpdateNeed(CKorvelString("fr"), CKorvelString("")));
    EXPECT_FALSE(CKorvelFile::FileExists(CKorvelString(Data("game_fr.kmp").c_str())));
}

TEST_F(CVornNetworkSession, PacksWhoseNamesCouldLeaveTheDataFolderWriteNothing)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const int iUser = LoginGuest(Session(), m_Rec);
    ASSERT_GT(iUser, 0);
    Settle();
    const std::set<std::string> before = Files();
    const int iThemes = m_App.m_Log.Count("theme.Startup");
    const char* const apSends[][2] = {
        {"language_pack", R"(["vornlanguage", "../x", "", 3, {"hex": "414243"}])"},
        {"language_pack", R"(["vornlanguage", "a/b", "", 3, {"hex": "414243"}])"},
        {"language_pack", R"(["vornlanguage", "", "", 3, {"hex": "414243"}])"},
        {"language_pack",
         R"(["vornlanguage", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "", 3, {"hex": "414243"}])"},
        {"theme_pack", R"(["../evil", "", {"hex": "414243"}])"},
        {"theme_pack", R"(["a/b", "", {"hex": "414243"}])"},
        {"theme_pack", R"(["", "", {"hex": "414243"}])"},
    };
    for (const auto& send : apSends)
        m_pControl->Send(sLOBBY_TARGET::Lobby(iUser), send[0], send[1]);
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iUser)));
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(m_App.m_Log.Count("theme.Startup"), iThemes);
    EXPECT_EQ((Session()->GetStatus() & 0xFF), 5u);
}

TEST_F(CVornNetworkSession, AFailedReplacementKeepsTheOldStateAndLeavesNoTemporaryFile)
{
    ASSERT_NO_FATAL_FAILURE(Start(ServeGerman()));
    // A folder where the pack goes: the rename over it fails.
    ASSERT_EQ(mkdir(Data("vornlanguage_de.kmp").c_str(), 0755), 0);
    const std::set<std::string> before = Files();
    const int iUser = LoginGuest(Session(), m_Rec);
    ASSERT_GT(iUser, 0);
    // Checked once the pack has been handled: the attempt to put it in place has ended.
    ASSERT_TRUE(WaitFor([this] { return Sent("LanguagePack") == 1; }));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iUser)));
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(m_App.GetLanguage()->CheckUpdateNeed(CKorvelString("de"),
                                                     CKorvelString(Digest(m_strGerman).c_str())));
    EXPECT_TRUE(In("ChangeLanguageMessage").empty());
}

TEST_F(CVornNetworkSession, AThemePackReplacesTheFileAndChangesTheTheme)
{
    const std::string strFolder = ServerFolder("themes");
    const std::string strNew = TestPackBytes({{"colours.txt", "new colours"}});
    ASSERT_TRUE(WriteTestFile(strFolder + "/vorntheme_testtheme.kmp", strNew));
    ASSERT_NO_FATAL_FAILURE(Start({"--theme-dir", strFolder, "--theme", "testtheme"}));
    const std::string strPath = Data("vorntheme_testtheme.kmp");
    ASSERT_TRUE(WriteTestFile(strPath, TestPackBytes({{"colours.txt", "old"}})));

    // The old file in use: an open pack and the resource manager's registration.
    const CKorvelString strPackPath(strPath.c_str());
    CKorvelMediaPack open;
    ASSERT_EQ(open.Startup(strPackPath, CKorvelString()), KE_OK);
    ASSERT_TRUE(m_App.AddPack(strPackPath, 1, 1));

    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    ASSERT_TRUE(WaitFor([&] { return ReadText(strPath) == strNew; }));
    Settle();
    EXPECT_EQ(m_App.m_Log.With("theme.Startup").back(), "theme.Startup(testtheme)");
    EXPECT_FALSE(m_App.HavePack(strPackPath));
    char aOld[4] = {};
    ASSERT_EQ(open.SeekToItem(CKorvelString("colours.txt"), 0), 3u);
    ASSERT_EQ(open.GetFile()->Read(aOld, 3), 3u);
    EXPECT_EQ(std::string(aOld, 3), "old");
    open.Shutdown();
}

TEST_F(CVornNetworkSession, TheThemeDigestOfTheCurrentPackBringsNoPack)
{
    const std::string strShipped = ThemeBytes("ff0000");
    ASSERT_NO_FATAL_FAILURE(StartThemed(strShipped, strShipped));
    const int iUser = LoginGuest(Session(), m_Rec);
    ASSERT_GT(iUser, 0);
    ASSERT_TRUE(WaitFor([this] { return In("GetThemePack").size() == 1; }));
    // A pack the server answered with has been handled by then.
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iUser)));
    EXPECT_EQ(In("GetThemePack")[0]["theme"].String(), Digest(strShipped));
    EXPECT_EQ(Sent("ThemePack"), 0u);
    EXPECT_FALSE(CKorvelFile::FileExists(CKorvelString(Data("vorntheme_kestrolund-white.kmp").c_str())));
    EXPECT_EQ(ThemeColor(), 0xFFFF0000u);
}

TEST_F(CVornNetworkSession, AnotherThemeDigestBringsThePackAndItsColours)
{
    const std::string strShipped = ThemeBytes("ff0000"), strServed = ThemeBytes("00ff00");
    ASSERT_NO_FATAL_FAILURE(StartThemed(strShipped, strServed));
    EXPECT_EQ(ThemeColor(), 0xFFFF0000u);
    ASSERT_GT(LoginGuest(Session(), m_Rec), 0);
    ASSERT_TRUE(WaitFor([this] { return ThemeColor() == 0xFF00FF00u; }));
    Settle();
    ASSERT_EQ(In("GetThemePack").size(), 1u);
    EXPECT_EQ(In("GetThemePack")[0]["theme"].String(), Digest(strShipped));
    EXPECT_EQ(Sent("ThemePack"), 1u);
    EXPECT_EQ(ReadText(Data("vorntheme_kestrolund-white.kmp")), strServed);
    // The downloaded pack is the current one now, so its digest is what the next login sends.
    EXPECT_EQ(Narrow(m_App.GetTheme()->GetMD5()), Digest(strServed));
}

} // namespace
