// Language packs from UTF-8 sources: the exact bytes, the refusals (each naming the
// source line, no pack written) and the read-back that guards the reader's hazards.
#include "tools/packtool/KmpLanguage.h"

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{
const char* g_pHeaders = "NAME=English\nCODE=en\nFLAGS=0\nSPECIAL_CHARS=0\n";
const char* g_pSignatures = "# id and conversions\n1 %d\n2 %s %s\n36 %s\n";

// The UTF-16LE bytes of an ASCII or UTF-16 text.
std::string Utf16(const std::u16string& strText)
{
    std::string strOut;
    for (char16_t u : strText)
    {
        strOut += static_cast<char>(u & 0xFF);
        strOut += static_cast<char>(u >> 8);
    }
    return strOut;
}

class CKmpLanguage : public ::testing::Test
{
protected:
    // Builds a pack from the source text; the tool's error ("" on success).
    std::string Build(const std::string& strSource)
    {
        EXPECT_TRUE(WriteTestFile(m_Dir.File("src.txt"), strSource));
        EXPECT_TRUE(WriteTestFile(m_Dir.File("sig.txt"), g_pSignatures));
        std::string strError;
        return KmpBuildLanguagePack(m_Dir.File("src.txt"), m_Dir.File("sig.txt"), m_Dir.File("lang_en.kmp"),
                                    strError)
                   ? ""
                   : strError;
    }
    std::string ItemText(const std::string& strPack)
    {
        CKorvelMediaPack pack;
        CKorvelMediaPackItem item;
        if (pack.Startup(CKorvelString(m_Dir.File(strPack).c_str()), CKorvelString()) != KE_OK ||
            item.Open(pack, CKorvelString(), 0) != KE_OK)
            return "<unreadable>";
        std::string strData(item.GetSize(), '\0');
        item.GetFile().Read(&strData[0], item.GetSize());
        return strData;
    }

    CTestTempDir m_Dir;
};
} // namespace

TEST_F(CKmpLanguage, WritesEveryNumberAsUtf16WithCrLfAndTheSameBytesEachTime)
{
    const std::string strSource =
        std::string("# comment\n") + g_pHeaders +
        "0=Zero\n1=%d s left\n2=%s v%s\n4=Caf\xC3\xA9 \xE2\x80\xA6 \xF0\x9F\x98\x80\n"
        "5=Two\\nlines, 100%% sure\n\n36=Hi %s\n";
    ASSERT_EQ(Build(strSource), "");
    std::u16string strWanted =
        u"NAME=English\r\nCODE=en\r\nFLAGS=0\r\nSPECIAL_CHARS=0\r\n0=Zero\r\n1=%d s left\r\n"
        u"2=%s v%s\r\n3=\r\n4=Caf\u00E9 \u2026 \xD83D\xDE00\r\n5=Two\\nlines, 100%% sure\r\n";
    for (int i = 6; i < 36; ++i)
    {
        const std::string strNumber = std::to_string(i);
        strWanted += std::u16string(strNumber.begin(), strNumber.end()) + u"=\r\n";
    }
    strWanted += u"36=Hi %s\r\n";
    EXPECT_EQ(ItemText("lang_en.kmp"), Utf16(strWanted));

    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(CKorvelString(m_Dir.File("lang_en.kmp").c_str()), CKorvelString()), KE_OK);
    ASSERT_EQ(pack.GetItemCount(), 1u);
    EXPECT_EQ(pack.GetItemInfo(0)->strName.Compare(CKorvelString("/lang_en.txt")), 0);
    pack.Shutdown();

    const std::vector<uint8_t> aFirst = ReadTestFile(m_Dir.File("lang_en.kmp"));
    ASSERT_EQ(Build(strSource), "");
    EXPECT_EQ(ReadTestFile(m_Dir.File("lang_en.kmp")), aFirst);
}

TEST_F(CKmpLanguage, RefusesSourcesNamingTheLineAndWritesNoPack)
{
    const std::string strTexts = "0=a\n1=%d\n2=%s %s\n36=%s\n";
    const struct
    {
        std::string strSource, strError;
    } aCases[] = {
        {std::string(g_pHeaders) + "0=a\n1=%d\n2=%s %s\n36=Hi %d\n",
         "src.txt:8: text 36 has the conversions %d"},
        {std::string(g_pHeaders) + "0=a\r\n1=%d\n", "src.txt:5: text 0 holds a CR"},
        {"CODE=en\nNAME=English\nFLAGS=0\nSPECIAL_CHARS=0\n" + strTexts,
         "src.txt:1: expected the header NAME"},
        {"NAME=English\nCODE=en\nFLAGS=0\n" + strTexts, "src.txt:4: expected the header SPECIAL_CHARS"},
        {"NAME=English\nCODE=en\nFLAGS=0\nSPECIAL_CHARS=0\nFLAGS=1\n" + strTexts,
         "src.txt:5: 'FLAGS' is not a text"},
        {"NAME=English\nCODE=en\nFLAGS=\nSPECIAL_CHARS=0\n" + strTexts,
         "src.txt:3: the header FLAGS needs a value"},
        {"NAME=English\nCODE=en\nFLAGS=0\nSPECIAL_CHARS=no\n" + strTexts,
         "src.txt:4: the header SPECIAL_CHARS must be a number"},
        {std::string(g_pHeaders) + "0=a\n0=b\n", "src.txt:6: text 0 is written twice"},
        {std::string(g_pHeaders) + "0=a\n3=c\n1=%d\n", "src.txt:7: text 1 comes after text 3"},
        {std::string(g_pHeaders) + "0=a\n01=%d\n", "src.txt:6: '01' is not a text number"},
        {std::string(g_pHeaders) + "0=all 100%\n", "src.txt:5: text 0 has a '%' that is no conversion"},
        {std::string(g_pHeaders) + "0=Hi %s\n",
         "src.txt:5: text 0 has the conversions %s but is formatted with none"},
        {std::string(g_pHeaders) + "0=a\n1=%d\n2=%s %s\n", "text 36 is missing; it is formatted with %s"},
        {std::string(g_pHeaders) + "0=caf\xE9\n", "src.txt:5: text 0 is not valid UTF-8"},
        {std::string(g_pHeaders) + "0=tab\there\n", "src.txt:5: text 0 holds the control character 9"},
        {std::string(g_pHeaders) + "just words\n", "src.txt:5: expected NAME=value or N=text"},
        {std::string(g_pHeaders), "no texts"},
        // The reader finds texts by "N=" and the headers by scanning for their letters:
        // sources that would read back differently are refused.
        {"NAME=Test0=x\nCODE=en\nFLAGS=0\nSPECIAL_CHARS=0\n" + strTexts,
         "text 0 does not read back as written"},
        {"NAME=CODE=fi\nCODE=en\nFLAGS=0\nSPECIAL_CHARS=0\n" + strTexts,
         "the header CODE does not read back"}};
    for (const auto& c : aCases)
    {
        EXPECT_NE(Build(c.strSource).find(c.strError), std::string::npos) << c.strError << "\n"
                                                                          << Build(c.strSource);
        EXPECT_TRUE(ReadTestFile(m_Dir.File("lang_en.kmp")).empty()) << c.strError;
    }
}

TEST_F(CKmpLanguage, SignatureListsAreCheckedToo)
{
    std::map<int, std::vector<std::string>> mapSignatures;
    std::string strError;
    ASSERT_TRUE(KmpReadSignatures("# x\n\n2 %s %s\n186 %d\n", "sig.txt", mapSignatures, strError))
        << strError;
    EXPECT_EQ(mapSignatures[2], (std::vector<std::string>{"%s", "%s"}));
    for (const char* pBad : {"2\n", "2 %s\n2 %d\n", "x %s\n", "2 %s%d\n", "2 s\n"})
    {
        mapSignatures.clear();
        EXPECT_FALSE(KmpReadSignatures(pBad, "sig.txt", mapSignatures, strError)) << pBad;
        EXPECT_EQ(strError.rfind("sig.txt:", 0), 0u) << strError;
    }
}

// The real framework source, changed as a translator might get it wrong, through the program.
TEST_F(CKmpLanguage, TheToolRefusesBrokenCopiesOfTheFrameworkTexts)
{
    const std::string strSourceDir = TestSourceDir() + "/assets/src/lang/";
    std::vector<uint8_t> aSource = ReadTestFile(strSourceDir + "vornlanguage_en.txt");
    const std::string strSource(aSource.begin(), aSource.end());
    ASSERT_NE(strSource.find("\n36=Welcome, %s!\n"), std::string::npos);
    auto Replaced = [&](const std::string& strFrom, const std::string& strTo)
    {
        std::string strCopy = strSource;
        strCopy.replace(strCopy.find(strFrom), strFrom.size(), strTo);
        return strCopy;
    };
    auto LineOf = [&](const std::string& strText, const std::string& strNeedle)
    {
        return std::to_string(1 + std::count(strText.begin(),
                                             strText.begin() + static_cast<long>(strText.find(strNeedle)),
                                             '\n'));
    };
    const std::string strPercent = Replaced("36=Welcome, %s!", "36=Welcome, %d!");
    const std::string strCr = Replaced("37=%s challenges you", "37=%s challenges\ryou");
    const std::string strOrder = Replaced("CODE=en\nFLAGS=0", "FLAGS=0\nCODE=en");
    const struct
    {
        std::string strText, strError;
    } aCases[] = {{strPercent, "copy.txt:" + LineOf(strPercent, "36=") + ": text 36 has the conversions %d"},
                  {strCr, "copy.txt:" + LineOf(strCr, "37=") + ": text 37 holds a CR"},
                  {strOrder, "copy.txt:" + LineOf(strOrder, "FLAGS=") + ": expected the header CODE"}};
    for (const auto& c : aCases)
    {
        ASSERT_TRUE(WriteTestFile(m_Dir.File("copy.txt"), c.strText));
        const std::string strCommand = std::string(KMPTOOL_PATH) + " lang " + m_Dir.File("copy.txt") + " " +
                                       m_Dir.File("out.kmp") + " --signatures " + strSourceDir +
                                       "signatures.txt 2>" + m_Dir.File("err.txt");
        const int iStatus = std::system(strCommand.c_str());
        EXPECT_TRUE(WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 1);
        std::vector<uint8_t> aErr = ReadTestFile(m_Dir.File("err.txt"));
        EXPECT_NE(std::string(aErr.begin(), aErr.end()).find(c.strError), std::string::npos) << c.strError;
        EXPECT_TRUE(ReadTestFile(m_Dir.File("out.kmp")).empty());
    }
}
