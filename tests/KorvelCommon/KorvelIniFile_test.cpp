#include "KorvelCommon/KorvelIniFile.h"
#include "KorvelCommon/KorvelString.h"
#include "support/TestText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// An INI reader over a private copy of the text, as the settings object opens it.
class CIniText
{
public:
    explicit CIniText(const std::string& strText) : m_aBytes(strText.begin(), strText.end())
    {
        if (!m_aBytes.empty())
        {
            EXPECT_EQ(m_Ini.OpenFromMemory(m_aBytes.data(), static_cast<unsigned int>(m_aBytes.size()),
                                           CKorvelFile::FLAG_READ),
                      KE_OK);
        }
    }
    CKorvelIniFile& operator*() { return m_Ini; }
    CKorvelIniFile* operator->() { return &m_Ini; }

    std::vector<std::string> Lines()
    {
        std::vector<std::string> aLines;
        CKorvelString strLine;
        while (m_Ini.ReadString(strLine))
            aLines.push_back(Narrow(strLine));
        EXPECT_EQ(strLine.GetLength(), 0);
        return aLines;
    }

private:
    std::vector<char> m_aBytes;
    CKorvelIniFile m_Ini;
};

const char* g_pSettings = "; settings\r\n"
                          "[GRAPHICS]\r\n"
                          "resx=1024\r\n"
                          "resy=600\r\n"
                          "[AUDIO]\r\n"
                          "frequency=22050\r\n"
                          "volume=0.75\r\n"
                          "[NETWORK]\r\n"
                          "server=\"lobby.example\"\r\n"
                          "port=5000\r\n"
                          "name=Bob\r\n"
                          "title=\"open to the end\r\n";
} // namespace

TEST(CKorvelIniFile, AnyRunOfLineEndsIsOneLineEnd)
{
    EXPECT_EQ(CIniText("a\r\n\r\n\r\nb").Lines(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(CIniText("\n\nfirst\rsecond\n").Lines(), (std::vector<std::string>{"", "first", "second"}));
    EXPECT_EQ(CIniText("").Lines(), std::vector<std::string>{});

    // A last line without a line end is read once.
    CIniText ini("[S]\nkey=\"v\"");
    EXPECT_EQ(Narrow(ini->GetStringValue(S("S"), S("key"), S("d"))), "v");
    CKorvelString strLine;
    EXPECT_EQ(ini->ReadString(strLine), 0);
    EXPECT_EQ(Narrow(ini->GetStringValue(S("S"), S("absent"), S("d"))), "d");
}

TEST(CKorvelIniFile, NulBytesAndOverlongLinesAreSteppedOver)
{
    std::string strNul("a\0b\0\0c\n", 7);
    EXPECT_EQ(CIniText(strNul).Lines(), (std::vector<std::string>{"a", "b", "", "c"}));

    std::string strLong(4000, 'x');
    std::vector<std::string> aLines = CIniText("k=1\n" + strLong + "\nport=7\n").Lines();
    ASSERT_EQ(aLines.size(), 3u);
    EXPECT_EQ(aLines[1], strLong.substr(0, CKorvelIniFile::LINE_BUFFER));
    EXPECT_EQ(aLines[2], "port=7");
    // An over-long last line without a line end also ends the data.
    EXPECT_EQ(CIniText("a\n" + strLong).Lines().size(), 2u);
}

TEST(CKorvelIniFile, SectionsAreFoundByContainment)
{
    CIniText ini("[GRAPHICS2]\nresx=1\n[GRAPHICS]\nresx=2\n");
    EXPECT_EQ(ini->GetIntValue(S("GRAPHICS"), S("resx"), 0), 1);
    EXPECT_EQ(ini->GetIntValue(S("GRAPH"), S("resx"), 0), 1);
    EXPECT_EQ(ini->SeekToSection(S("")), 0);
    EXPECT_EQ(ini->SeekToSection(S("SOUND")), 0);
    EXPECT_EQ(ini->GetIntValue(S("SOUND"), S("resx"), -1), -1);
    // A bracket line without ']' is no header.
    EXPECT_EQ(CIniText("[OPEN\nx=1\n")->SeekToSection(S("OPEN")), 0);
}

TEST(CKorvelIniFile, NumericKeysAreFollowedByTheEqualsSign)
{
    CIniText ini(g_pSettings);
    EXPECT_EQ(ini->GetIntValue(S("GRAPHICS"), S("resx"), 0), 1024);
    EXPECT_EQ(ini->GetIntValue(S("GRAPHICS"), S("res"), 7), 7);
    EXPECT_EQ(CIniText("[G]\nxres=5\n")->GetIntValue(S("G"), S("res"), 0), 5);
    // The number after the line's first '='.
    EXPECT_EQ(CIniText("[N]\na=1 port=2\n")->GetIntValue(S("N"), S("port"), 0), 1);
    EXPECT_FLOAT_EQ(ini->GetFloatValue(S("AUDIO"), S("volume"), 0.0f), 0.75f);
    EXPECT_EQ(ini->GetIntValue(S("AUDIO"), S(""), 3), 3);
    // A numberless value is what the scanner leaves.
    EXPECT_EQ(CIniText("[N]\nport=none\n")->GetIntValue(S("N"), S("port"), 42), 0);
}

TEST(CKorvelIniFile, NumericSearchesRunOnAndAnEmptySectionRepeatsTheLast)
{
    CIniText ini(g_pSettings);
    EXPECT_EQ(ini->GetIntValue(S("GRAPHICS"), S("port"), 0), 5000);
    int iValue = 9;
    ini->SeekToSection(S("NETWORK"));
    EXPECT_EQ(ini->FindIntValue(S("resx"), iValue), 0);
    EXPECT_EQ(iValue, 9);

    // An empty section searches the last section again.
    CIniText fresh(g_pSettings);
    EXPECT_EQ(fresh->GetIntValue(S(""), S("resx"), 0), 1024); // from the start before any section
    EXPECT_EQ(fresh->GetIntValue(S("NETWORK"), S("port"), 0), 5000);
    EXPECT_EQ(fresh->GetIntValue(S(""), S("port"), 0), 5000);
    EXPECT_EQ(fresh->GetIntValue(S(""), S("resx"), 0), 0);
}

TEST(CKorvelIniFile, StringKeysArePrefixesWithQuotedValues)
{
    CIniText ini(g_pSettings);
    EXPECT_EQ(Narrow(ini->GetStringValue(S("NETWORK"), S("server"), S("d"))), "lobby.example");
    EXPECT_EQ(Narrow(ini->GetStringValue(S("NETWORK"), S("serv"), S("d"))), "lobby.example");
    EXPECT_EQ(Narrow(ini->GetStringValue(S("NETWORK"), S("name"), S("d"))), "d");
    EXPECT_EQ(Narrow(ini->GetStringValue(S("NETWORK"), S("title"), S("d"))), "open to the end");
    // The search stops at the next section, and at any line holding '['.
    EXPECT_EQ(Narrow(ini->GetStringValue(S("AUDIO"), S("server"), S("d"))), "d");
    EXPECT_EQ(Narrow(CIniText("[S]\nnote=a[1]\nname=\"x\"\n")->GetStringValue(S("S"), S("name"), S("d"))),
              "d");
    // An empty key takes the first line that is no comment.
    EXPECT_EQ(Narrow(CIniText("[S]\n;c\nany=\"v\"\n")->GetStringValue(S("S"), S(""), S("d"))), "v");
}

TEST(CKorvelIniFile, CommentsAndAClosedFile)
{
    CIniText ini("[N]\n;port=1\n//port=2\n#port=3\n");
    EXPECT_EQ(ini->GetIntValue(S("N"), S("port"), 0), 3);
    CIniText strings("[N]\n;name=\"a\"\n//name=\"b\"\nname=\"c\"\n");
    EXPECT_EQ(Narrow(strings->GetStringValue(S("N"), S("name"), S("d"))), "c");

    // A closed file gives the defaults.
    CKorvelIniFile* pIni = CKorvelIniFile::New();
    ASSERT_NE(pIni, nullptr);
    EXPECT_EQ(pIni->GetIntValue(S("A"), S("b"), 5), 5);
    EXPECT_EQ(pIni->GetIntValue(S(""), S("b"), 6), 6);
    EXPECT_EQ(Narrow(pIni->GetStringValue(S("A"), S("b"), S("x"))), "x");
    delete pIni;
}
