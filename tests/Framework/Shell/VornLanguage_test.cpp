#include "Framework/Shell/VornLanguage.h"

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/VornLanguageText.h"
#include "Framework/Shell/VornStatistics.h"

#include "support/StringUnits.h"
#include "support/TestPack.h"
#include "support/TestVornApplication.h"
#include "support/TestWorkingDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
CKorvelString S(const char16_t* p)
{
    return FromUnits(p);
}

// A pack text: the headers given (each "KEY=value" without its line end) and the lines.
std::u16string PackText(const std::vector<std::u16string>& aHeaders,
                        const std::vector<std::u16string>& aLines)
{
    std::u16string text;
    for (const std::u16string& line : aHeaders)
        text += line + u"\r\n";
    for (const std::u16string& line : aLines)
        text += line + u"\r\n";
    return text;
}

std::u16string Header(const std::u16string& name, const std::u16string& code,
                      const std::u16string& flags = u"0", int iSpecial = 0)
{
    return u"NAME=" + name + u"\r\nCODE=" + code + u"\r\nFLAGS=" + flags + u"\r\nSPECIAL_CHARS=" +
           (iSpecial ? u"1" : u"0");
}

// Pack bytes whose first item is the text in UTF-16LE.
std::string PackBytes(const std::u16string& text)
{
    std::string strBytes;
    for (char16_t c : text)
        PutTestU16(strBytes, c);
    return TestPackBytes({{"/text.txt", strBytes}, {"/other.txt", "unused"}});
}

std::string DigestOf(const std::string& strBytes)
{
    CVornMD5 md5;
    md5.MD5(reinterpret_cast<const unsigned char*>(strBytes.data()),
            static_cast<unsigned int>(strBytes.size()));
    CKorvelString strDigest;
    md5.GetDigestStr(strDigest);
    std::u16string units = Units(strDigest);
    return std::string(units.begin(), units.end());
}

std::vector<std::u16string> All(const CKorvelArray<CKorvelString>& aTexts)
{
    std::vector<std::u16string> aOut;
    for (int i = 0; i < aTexts.GetCount(); ++i)
        aOut.push_back(Units(aTexts[i]));
    return aOut;
}

// Named after the class under test; the class itself is ::CVornLanguage here.
class CVornLanguage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_App.m_pStatistics = &m_Statistics;
        m_App.m_pLanguage = &m_Language;
    }
    void AppPack(const char* pszCode, const std::u16string& text)
    {
        CTestWorkingDir::Put(m_App.AppFile(std::string("vornlanguage_") + pszCode + ".kmp"), PackBytes(text));
    }
    std::string DataPack(const char* pszCode, const std::u16string& text)
    {
        const std::string strBytes = PackBytes(text);
        CTestWorkingDir::Put(m_App.DataFile(std::string("vornlanguage_") + pszCode + ".kmp"), strBytes);
        return strBytes;
    }
    // The texts of one English pack with these lines.
    std::vector<std::u16string> TextsOf(const std::vector<std::u16string>& aLines)
    {
        AppPack("en", PackText({Header(u"English", u"en")}, aLines));
        ::CVornLanguage language;
        EXPECT_EQ(language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
        std::vector<std::u16string> aTexts;
        for (int i = 0; i < language.GetTextCount(); ++i)
            aTexts.push_back(Units(language.GetText(i)));
        return aTexts;
    }
    std::u16string Stored()
    {
        CVornStatisticsProperty* pProperty = m_Statistics.GetProperty(S(u"__Vorn_Language_vornlanguage"));
        return pProperty ? Units(pProperty->m_strStringValue) : u"(none)";
    }

    CTestVornApplication m_App;
    CVornStatistics m_Statistics;
    ::CVornLanguage m_Language;
};

TEST_F(CVornLanguage, NumberedLinesGiveTheTextsGapsStayEmpty)
{
    struct sCASE
    {
        const char* m_pszName;
        std::vector<std::u16string> m_aLines;
        std::vector<std::u16string> m_aTexts;
    };
    std::vector<std::u16string> aUpToTwelve = {u"0=zero", u"1=one"};
    std::vector<std::u16string> aExpectedTwelve = {u"zero", u"one", u""};
    for (int i = 3; i <= 12; ++i)
    {
        const std::u16string number = Units(FromUnits(std::u16string(1, u'0' + i % 10)));
        aUpToTwelve.push_back((i >= 10 ? u"1" : u"") + number + u"=text " + (i >= 10 ? u"1" : u"") + number);
        aExpectedTwelve.push_back(u"text " + aUpToTwelve.back().substr(aUpToTwelve.back().find(u' ') + 1));
    }
    const sCASE aCases[] = {
        {"a gap", {u"0=a", u"1=b", u"3=d"}, {u"a", u"b", u"", u"d"}},
        {"backslash n", {u"0=two\\nlines", u"1=\\n"}, {u"two\nlines", u"\n"}},
        {"empty values", {u"0=", u"1=", u"2=x"}, {u"", u"", u"x"}},
        // A missing "2=" is not found inside "12=".
        {"2 missing before 12", aUpToTwelve, aExpectedTwelve},
        // Nor inside a text.
        {"key inside a text", {u"0=a", u"1=see 2=inside", u"3=c"}, {u"a", u"see 2=inside", u"", u"c"}},
        // A stray digit after the last line ends the search.
        {"stray digit", {u"0=a", u"1=b", u"2=c", u"0"}, {u"a", u"b", u"c"}},
        {"texts with digits", {u"0=room 42", u"1=7 days"}, {u"room 42", u"7 days"}},
        {"last line without its end", {u"0=a"}, {u"a"}},
    };
    for (const sCASE& c : aCases)
        EXPECT_EQ(TextsOf(c.m_aLines), c.m_aTexts) << c.m_pszName;

    // A line without "\r\n" at the very end is not taken.
    AppPack("en", PackText({Header(u"English", u"en")}, {u"0=a"}) + u"1=unterminated");
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
    EXPECT_EQ(m_Language.GetTextCount(), 1);
}

TEST_F(CVornLanguage, NumbersWithoutATextGiveThePlaceholder)
{
    EXPECT_EQ(Units(m_Language.GetText(0)), u"X-X");
    EXPECT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_ERR_NOTFOUND);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"X-X");

    AppPack("en", PackText({Header(u"English", u"en")}, {u"0=a", u"1=b"}));
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetText(1)), u"b");
    for (int iNumber : {-1, 2, 1000000})
        EXPECT_EQ(Units(m_Language.GetText(iNumber)), u"X-X") << iNumber;
}

TEST_F(CVornLanguage, AStrayNumberFarBeyondTheTextEndsTheSearch)
{
    const std::vector<std::u16string> aTexts = TextsOf({u"0=a", u"99999999999999"});
    ASSERT_GE(aTexts.size(), 1u);
    EXPECT_LE(aTexts.size(), PackText({Header(u"English", u"en")}, {u"0=a", u"99999999999999"}).size() + 1);
    EXPECT_EQ(aTexts[0], u"a");
}

TEST_F(CVornLanguage, TheDataFolderCopyWinsAndItsDigestDecidesUpdates)
{
    AppPack("en", PackText({Header(u"English", u"en")}, {u"0=shipped"}));
    const std::string strData = DataPack("en", PackText({Header(u"English", u"en")}, {u"0=downloaded"}));
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"downloaded");
    const std::string strDigest = DigestOf(strData);
    ASSERT_EQ(strDigest.size(), 32u);
    EXPECT_EQ(Units(m_Language.GetCurrentLanguage()->m_strDigest),
              std::u16string(strDigest.begin(), strDigest.end()));

    const CKorvelString strKnown(strDigest.c_str());
    EXPECT_FALSE(m_Language.CheckUpdateNeed(S(u"en"), strKnown));
    EXPECT_FALSE(m_Language.CheckUpdateNeed(S(u"EN"), strKnown));
    CKorvelString strUpper = strKnown;
    strUpper.MakeUpper();
    EXPECT_TRUE(m_Language.CheckUpdateNeed(S(u"en"), strUpper)) << "digests compare exactly";
    EXPECT_TRUE(m_Language.CheckUpdateNeed(S(u"fi"), strKnown));

    // A new download of the current language is read and activated again.
    const std::string strNew =
        DataPack("en", PackText({Header(u"English", u"en")}, {u"0=updated", u"1=more"}));
    EXPECT_EQ(m_Language.UpdateLanguage(S(u"en")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetText(1)), u"more");
    EXPECT_TRUE(m_Language.CheckUpdateNeed(S(u"en"), strKnown));
    EXPECT_FALSE(m_Language.CheckUpdateNeed(S(u"en"), CKorvelString(DigestOf(strNew).c_str())));

    // A download of another language joins the list without changing the texts.
    DataPack("fi", PackText({Header(u"Suomi", u"fi")}, {u"0=suomeksi"}));
    EXPECT_EQ(m_Language.UpdateLanguage(S(u"fi")), KE_OK);
    EXPECT_EQ(m_Language.GetLanguageCount(), 2);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"updated");
    EXPECT_EQ(m_Language.UpdateLanguage(S(u"de")), KE_ERR_NOTFOUND);
}

TEST_F(CVornLanguage, HeadersGiveNamesFlagsAndTheChooserList)
{
    AppPack("es", PackText({u"NAME=Espa\u00f1ol", u"CODE=es", u"SPECIAL_CHARS=0"}, {u"0=hola"}));
    AppPack("ar-sa", PackText({Header(u"\u0627\u0644\u0639\u0631\u0628\u064a\u0629", u"ar-sa",
                                      u"KE_TEXT_RIGHT_TO_LEFT KE_BLT_CENTER_Y", 1)},
                              {u"0=\u0645\u0631\u062d\u0628\u0627"}));
    AppPack("en", PackText({Header(u"English", u"en", u"KE_TEXT_RIGHT")}, {u"0=hello"}));
    AppPack("fi", u"no header here\r\n0=x\r\n");
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);

    // The fixed order of codes, not the order of the files; a pack without NAME= is not listed.
    ASSERT_EQ(m_Language.GetLanguageCount(), 3);
    EXPECT_EQ(Units(m_Language.GetLanguageInfo(0)->m_strCode), u"en");
    EXPECT_EQ(Units(m_Language.GetLanguageInfo(1)->m_strCode), u"ar-sa");
    EXPECT_EQ(m_Language.GetLanguageInfo(0)->m_uTextFlags, 0x40000u);
    EXPECT_EQ(m_Language.GetLanguageInfo(1)->m_uTextFlags, 0x800000u | 0x40000u | 0x200u);
    // Read after the right-to-left pack, a pack without FLAGS has none.
    EXPECT_EQ(m_Language.GetLanguageInfo(2)->m_uTextFlags, 0u);
    EXPECT_EQ(Units(m_Language.GetArabicName()), u"\u0627\u0644\u0639\u0631\u0628\u064a\u0629");

    CKorvelArray<CKorvelString> aNames, aCodes;
    m_Language.GetLanguageNames(aNames);
    EXPECT_EQ(m_Language.GetLanguageCodes(aCodes), 2);
    EXPECT_EQ(All(aNames), (std::vector<std::u16string>{u"English", u"Espa\u00f1ol"}));
    EXPECT_EQ(All(aCodes), (std::vector<std::u16string>{u"en", u"es"}));
    EXPECT_EQ(Units(m_Language.GetLanguageCodeByName(S(u"ESPA\u00d1OL"))), u"es");
    EXPECT_EQ(Units(m_Language.GetLanguageCodeByName(S(u"english"))), u"en");
    EXPECT_EQ(Units(m_Language.GetLanguageCodeByName(S(u"Deutsch"))), u"");

    // Hidden from the chooser, still selectable by code; by name too.
    EXPECT_EQ(m_Language.SetCurrentLanguage(S(u"AR-SA")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"\u0645\u0631\u062d\u0628\u0627");
    EXPECT_EQ(m_Language.SetCurrentLanguage(S(u"espa\u00f1ol")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"hola");
    EXPECT_EQ(m_Language.SetCurrentLanguage(S(u"fi")), KE_ERR_NOTFOUND);
    EXPECT_EQ(Units(m_Language.GetCurrentLanguage()->m_strCode), u"es");
}

TEST_F(CVornLanguage, LongHeaderValuesAreReadWhole)
{
    const std::u16string longName(5000, u'\u00e5');
    AppPack("en",
            PackText({Header(longName, u"en", u"KE_BLT_CENTER_Y" + std::u16string(6000, u'x'))}, {u"0=a"}));
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetCurrentLanguage()->m_strName), longName);
    EXPECT_EQ(m_Language.GetCurrentLanguage()->m_uTextFlags, 0x200u);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"a");
}

TEST_F(CVornLanguage, TheChoiceIsStoredOnlyInAnExistingPropertyAndFallsBackToEnglish)
{
    AppPack("en", PackText({Header(u"English", u"en")}, {u"0=hello"}));
    AppPack("de", PackText({Header(u"Deutsch", u"de")}, {u"0=hallo"}));

    // First start: the property is made with "en".
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
    EXPECT_EQ(Stored(), u"en");
    EXPECT_EQ(m_Language.SetCurrentLanguage(S(u"de")), KE_OK);
    EXPECT_EQ(Stored(), u"de");
    ::CVornStatistics onDisk;
    ASSERT_EQ(onDisk.ReadStatistics(), KE_OK);
    EXPECT_EQ(Units(onDisk.GetProperty(S(u"__Vorn_Language_vornlanguage"))->m_strStringValue), u"de");

    // The stored choice is activated on the next start.
    m_Language.Shutdown();
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"hallo");

    // Without the property nothing is saved.
    delete m_Statistics.GetProperty(0);
    m_Statistics.RemoveProperty(0);
    const std::string strBefore = CTestWorkingDir::Get(m_App.DataFile("stats.dat"));
    EXPECT_EQ(m_Language.SetCurrentLanguage(S(u"en")), KE_OK);
    EXPECT_EQ(Stored(), u"(none)");
    EXPECT_EQ(CTestWorkingDir::Get(m_App.DataFile("stats.dat")), strBefore);

    // A stored language whose pack has gone activates English.
    m_Statistics.AddProperty(S(u"__Vorn_Language_vornlanguage"))->SetString(S(u"fi"));
    m_Language.Shutdown();
    ASSERT_EQ(m_Language.Startup(&m_App, S(u"vornlanguage")), KE_OK);
    EXPECT_EQ(Units(m_Language.GetText(0)), u"hello");
    EXPECT_EQ(Stored(), u"en");
}

TEST(ReadLanguageHeader, AbsentLinesLeaveTheirFieldsEmpty)
{
    struct sCASE
    {
        const char* m_pszName;
        std::u16string m_Text;
        int m_iResult;
        std::u16string m_Name, m_Code;
        unsigned int m_uFlags, m_uSpecial;
    };
    const sCASE aCases[] = {
        {"all", u"NAME=N\r\nCODE=c\r\nFLAGS=KE_TEXT_RIGHT\r\nSPECIAL_CHARS=2\r\n", 1, u"N", u"c", 0x40000, 1},
        {"no name", u"CODE=c\r\n", 4, u"", u"", 0, 0},
        // Digits of the texts are no SPECIAL_CHARS value.
        {"name only", u"NAME=N\r\n0=KE_TEXT_RIGHT 12\r\n", 1, u"N", u"", 0, 0},
        {"special zero", u"NAME=N\r\nSPECIAL_CHARS=0\r\n1=5\r\n", 1, u"N", u"", 0, 0},
        {"empty name", u"NAME=\r\nCODE=c\r\n", 1, u"CODE=c", u"c", 0, 0},
    };
    for (const sCASE& c : aCases)
    {
        sLANGUAGE_HEADER header;
        header.m_uTextFlags = 7;
        EXPECT_EQ(ReadLanguageHeader(FromUnits(c.m_Text), header), c.m_iResult) << c.m_pszName;
        EXPECT_EQ(Units(header.m_strName), c.m_Name) << c.m_pszName;
        EXPECT_EQ(Units(header.m_strCode), c.m_Code) << c.m_pszName;
        EXPECT_EQ(header.m_uTextFlags, c.m_uFlags) << c.m_pszName;
        EXPECT_EQ(header.m_uSpecialChars, c.m_uSpecial) << c.m_pszName;
    }
}

} // namespace
