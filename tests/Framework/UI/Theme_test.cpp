// Themes: colour files read from theme packs, the write folder before the shipped packs,
// the pack digest, and the application's theme changes on the real theme.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/UI/Theme.h"
#include "support/TestKestrolundApplication.h"
#include "tests/Framework/UI/UiLoaderTest.h"

namespace
{
std::string ThemePack(const std::string& strName, const std::string& strColors)
{
    return TestPackBytes({{"/theme_" + strName + ".xml",
                           Quoted("<theme><config type='color'>" + strColors + "</config></theme>")}});
}

std::string Md5Of(const std::string& strBytes)
{
    CVornMD5 md5;
    md5.MD5(reinterpret_cast<const unsigned char*>(strBytes.data()),
            static_cast<unsigned int>(strBytes.size()));
    CKorvelString strDigest;
    md5.GetDigestStr(strDigest);
    return Text(strDigest);
}

// The colour of that name, or "none".
std::string ColorOf(const CVornTheme& theme, const char* pName)
{
    unsigned int uColor = 0xDEADBEEF;
    if (!theme.GetColorByName(CKorvelString(pName), uColor))
        return uColor == 0xDEADBEEF ? "none" : "changed";
    char aText[16];
    std::snprintf(aText, sizeof(aText), "%08x", uColor);
    return aText;
}
} // namespace

TEST(CVornTheme, ColourFilesGiveOpaqueShortValuesAndSkipWhatTheyCannotName)
{
    CUiTestApp app;
    const std::string strFile =
        "<THEME>"
        "<config type='Color'><color id='red' value='ff0000'/><color id='half' value='80ff0000'/>"
        "<color id='faint' value='0aff0000'/><color id='short' value='fff'/><color id='bad' value='zz'/>"
        "<color id='' value='ff'/><color value='ff'/><color id='twice' value='1'/><color id='twice' "
        "value='2'/>"
        "<skipped id='listed' value='ff'/></config>"
        "<config type='sizes'><color id='other' value='ff'/></config>"
        "<config type='color'><color id='later' value='00ff00'/></config>"
        "</THEME>";
    ASSERT_TRUE(
        WriteTestFile(app.AppFile("vorntheme_t.kmp"), TestPackBytes({{"/theme_t.xml", Quoted(strFile)}})));
    CVornTheme theme;
    ASSERT_EQ(theme.Startup(&app, S("t")), KE_OK);
    struct sCASE
    {
        const char* pName;
        const char* pColor;
    };
    // Every element after the first "color" counts as a colour, whatever its name.
    const sCASE aCases[] = {{"red", "ffff0000"},    {"half", "80ff0000"}, {"faint", "ffff0000"},
                            {"short", "ff000fff"},  {"bad", "00000000"},  {"twice", "ff000002"},
                            {"listed", "ff0000ff"}, {"other", "none"},    {"later", "ff00ff00"},
                            {"Red", "none"}};
    for (const sCASE& c : aCases)
        EXPECT_EQ(ColorOf(theme, c.pName), c.pColor) << c.pName;
    EXPECT_EQ(theme.GetColors().GetCount(), 8);
    CKorvelString strFilename;
    theme.GetFilename(strFilename);
    EXPECT_EQ(Text(strFilename), "theme_t.xml");

    theme.Shutdown();
    EXPECT_EQ(theme.GetColors().GetCount(), 0);
}

TEST(CVornTheme, TheWriteFolderPackComesFirstForColoursAndDigest)
{
    const std::string strShipped = ThemePack("w", "<color id='c' value='ff0000'/>");
    const std::string strDownloaded = ThemePack("w", "<color id='c' value='00ff00'/>");
    {
        CUiTestApp app;
        ASSERT_TRUE(WriteTestFile(app.AppFile("vorntheme_w.kmp"), strShipped));
        ASSERT_TRUE(WriteTestFile(app.DataFile("vorntheme_w.kmp"), strDownloaded));
        CVornTheme theme;
        ASSERT_EQ(theme.Startup(&app, S("w")), KE_OK);
        EXPECT_EQ(ColorOf(theme, "c"), "ff00ff00");
        EXPECT_EQ(Text(theme.GetMD5()), Md5Of(strDownloaded));

        ASSERT_EQ(std::remove(app.DataFile("vorntheme_w.kmp").c_str()), 0);
        EXPECT_EQ(Text(theme.GetMD5()), Md5Of(strShipped));
        ASSERT_EQ(std::remove(app.AppFile("vorntheme_w.kmp").c_str()), 0);
        EXPECT_EQ(theme.GetMD5().GetLength(), 0);
    }
    CUiTestApp app;
    ASSERT_TRUE(WriteTestFile(app.AppFile("vorntheme_w.kmp"), strShipped));
    CVornTheme shipped;
    ASSERT_EQ(shipped.Startup(&app, S("w")), KE_OK);
    EXPECT_EQ(ColorOf(shipped, "c"), "ffff0000");

    CVornTheme missing;
    EXPECT_EQ(missing.Startup(&app, S("nowhere")), KE_ERR_NOTFOUND);
    EXPECT_EQ(missing.GetColors().GetCount(), 0);
    EXPECT_EQ(missing.GetMD5().GetLength(), 0);
}

// What the session does with a downloaded theme: the pack is written into the write folder
// (perhaps over an earlier download) and the theme is started again.
TEST(CVornTheme, ADownloadedPackIsReadAfreshAndHidesTheShippedOne)
{
    CUiTestApp app;
    ASSERT_TRUE(
        WriteTestFile(app.AppFile("vorntheme_w.kmp"), ThemePack("w", "<color id='c' value='ff0000'/>")));
    auto colorAfterStart = [&app]()
    {
        CVornTheme theme;
        EXPECT_EQ(theme.Startup(&app, S("w")), KE_OK);
        return ColorOf(theme, "c");
    };
    EXPECT_EQ(colorAfterStart(), "ffff0000");
    ASSERT_TRUE(
        WriteTestFile(app.DataFile("vorntheme_w.kmp"), ThemePack("w", "<color id='c' value='00ff00'/>")));
    EXPECT_EQ(colorAfterStart(), "ff00ff00") << "the shipped pack listed first does not hide the download";
    ASSERT_TRUE(WriteTestFile(app.DataFile("vorntheme_w.kmp"),
                              ThemePack("w", "<color id='other' value='1'/><color id='c' value='0000ff'/>")));
    EXPECT_EQ(colorAfterStart(), "ff0000ff") << "a replaced download is read from its new bytes";
    int iListed = 0;
    for (int i = 0; i < app.m_aPacks.GetCount(); ++i)
        iListed += Text(app.m_aPacks[i]->m_strPath).find("vorntheme_w.kmp") != std::string::npos;
    EXPECT_EQ(iListed, 1);
}

TEST(CVornTheme, AddedColoursReplaceByNameAndGetAnAlphaWhenTheyHaveNone)
{
    CVornTheme theme;
    struct sCASE
    {
        const char* pName;
        unsigned int uValue;
        const char* pStored;
    };
    const sCASE aCases[] = {{"a", 0x00123456, "ff123456"},
                            {"b", 0x0F123456, "ff123456"},
                            {"c", 0x10123456, "10123456"},
                            {"a", 0x80000000, "80000000"},
                            {"zero", 0, "00000000"}};
    for (const sCASE& c : aCases)
        theme.AddColorConfig({CKorvelString(c.pName), c.uValue});
    EXPECT_EQ(theme.GetColors().GetCount(), 4);
    for (const sCASE& c : aCases)
    {
        if (std::string(c.pName) == "a" && c.uValue != 0x80000000)
            continue; // replaced by the later "a"
        EXPECT_EQ(ColorOf(theme, c.pName), c.pStored) << c.pName;
    }
}

namespace
{
class CThemedApplication : public CTestKestrolundApplication
{
public:
    int CountPacks(const std::string& strEnd)
    {
        int n = 0;
        for (int i = 0; i < m_aPacks.GetCount(); ++i)
        {
            std::string strPath = Text(m_aPacks[i]->m_strPath);
            n += strPath.size() >= strEnd.size() &&
                 strPath.compare(strPath.size() - strEnd.size(), strEnd.size(), strEnd) == 0;
        }
        return n;
    }

protected:
    CVornTheme* CreateTheme() override { return new CVornTheme; }
};
} // namespace

TEST(CVornTheme, TheApplicationFallsBackToTheDefaultThemeAndListsEachPackOnce)
{
    CThemedApplication app;
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_TRUE(WriteTestFile(app.AppFile("vorntheme_kestrolund-white.kmp"),
                              ThemePack("kestrolund-white", "<color id='c' value='ffffff'/>")));
    ASSERT_TRUE(WriteTestFile(app.AppFile("vorntheme_dark.kmp"),
                              ThemePack("dark", "<color id='c' value='101010'/>")));
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_NE(app.GetTheme(), nullptr);
    EXPECT_EQ(Text(app.GetTheme()->GetName()), "kestrolund-white");

    app.ChangeTheme(S("dark"));
    EXPECT_EQ(ColorOf(*app.GetTheme(), "c"), "ff101010");
    app.ChangeTheme(S("missing"));
    EXPECT_EQ(Text(app.GetTheme()->GetName()), "kestrolund-white");
    EXPECT_EQ(ColorOf(*app.GetTheme(), "c"), "ffffffff");
    app.ChangeTheme(S("dark"));
    app.ChangeTheme(S("kestrolund-white"));
    app.ChangeTheme(S("dark"));
    EXPECT_EQ(app.CountPacks("/vorntheme_dark.kmp"), 1);
    EXPECT_EQ(app.CountPacks("/vorntheme_kestrolund-white.kmp"), 1);
}
