#include "support/TestShellPacks.h"

#include "support/TestFont.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

const char* const TEST_NO_NETWORK_TEXT = "No network";

unsigned int TestIntroFrameColour(int iFrame)
{
    // Distinct, bright enough that half of it is still told apart from black.
    return 0x204060u + static_cast<unsigned int>(iFrame) * 0x0C0A08u;
}

std::string TestLanguagePackBytes(const std::string& strName, const std::string& strCode,
                                  const std::vector<std::string>& aTexts)
{
    std::string strText = "NAME=" + strName + "\r\nCODE=" + strCode + "\r\nFLAGS=0\r\nSPECIAL_CHARS=0\r\n";
    for (size_t u = 0; u < aTexts.size(); ++u)
        strText += std::to_string(u) + "=" + aTexts[u] + "\r\n";
    std::string strUnits;
    for (unsigned char c : strText)
    {
        strUnits += static_cast<char>(c);
        strUnits += '\0';
    }
    return TestPackBytes({{"/" + strCode + ".txt", strUnits}});
}

std::vector<std::string> TestFrameworkTexts()
{
    return {"Loading", "Welcome", "Error", TEST_NO_NETWORK_TEXT};
}

namespace
{
std::string Bytes(const std::vector<uint8_t>& aBytes)
{
    return std::string(aBytes.begin(), aBytes.end());
}

std::string WavBytes()
{
    CTestTempDir dir;
    std::vector<int16_t> aSamples(2205 * 2);
    for (size_t u = 0; u < aSamples.size(); ++u)
        aSamples[u] = static_cast<int16_t>((u / 2) % 40 < 20 ? 6000 : -6000);
    WriteTestWav(dir.File("w.wav"), 2, 44100, 16, aSamples);
    return Bytes(ReadTestFile(dir.File("w.wav")));
}

std::string OneColourJpeg(int iWidth, int iHeight, unsigned int uRgb)
{
    std::vector<uint8_t> aRGB(static_cast<size_t>(iWidth) * iHeight * 3);
    for (size_t u = 0; u < aRGB.size(); u += 3)
    {
        aRGB[u] = static_cast<uint8_t>(uRgb >> 16);
        aRGB[u + 1] = static_cast<uint8_t>(uRgb >> 8);
        aRGB[u + 2] = static_cast<uint8_t>(uRgb);
    }
    return Bytes(EncodeTestJpeg(iWidth, iHeight, aRGB));
}

std::string OnePixelPng()
{
    CTestTempDir dir;
    WriteTestPng(dir.File("p.png"), 1, 1, {255, 255, 255, 255});
    return Bytes(ReadTestFile(dir.File("p.png")));
}

bool WritePack(const std::string& strPath, const std::string& strBytes)
{
    return WriteTestFile(strPath, strBytes);
}
} // namespace

TestPackItems TestIntroPackItems(int iWidth, int iHeight, bool bWithSound)
{
    TestPackItems items;
    for (int i = 0; i < 12; ++i)
        items.push_back({"/kestrolund_logo" + std::to_string(i + 1) + ".jpg",
                         OneColourJpeg(iWidth, iHeight, TestIntroFrameColour(i))});
    if (bWithSound)
        items.push_back({"/vl-welcome.wav", WavBytes()});
    return items;
}

bool WriteShellStartupPacks(const std::string& strAppFolder, int iWidth, int iHeight, bool bIntro)
{
    const std::string strDir = strAppFolder + "/";
    const std::vector<sTestGlyph> glyphs = {{'A', 0, 0, 8, 8, 0, 0, 10, 0}, {' ', 0, 0, 0, 0, 0, 0, 10, 0}};
    const std::string strPage =
        Bytes(TestPagePng(16, 16, [](int x, int y) { return x < 8 && y < 8 ? 255 : 0; }));
    bool bOk = WritePack(strDir + "vornsounds.kmp", TestPackBytes({{"/vl-click.wav", WavBytes()}}));
    bOk = WritePack(strDir + "vornlayouts.kmp", TestPackBytes({{"/menu_root.xml", "<menu_root/>\n"}})) && bOk;
    bOk = WritePack(strDir + "vornfonts_240.kmp",
                    TestPackBytes({{"/main-b.fnt", TestFontXml(12, glyphs, 1, "main-b")},
                                   {"/main-b_0.png", strPage}})) &&
          bOk;
    bOk = WritePack(strDir + "vornlobby_240.kmp", TestPackBytes({{"/lobby_dot.png", OnePixelPng()}})) && bOk;
    bOk = WritePack(strDir + "vornlanguage_en.kmp",
                    TestLanguagePackBytes("English", "en", TestFrameworkTexts())) &&
          bOk;
    if (bIntro)
        bOk = WritePack(strDir + "vornintro.kmp", TestPackBytes(TestIntroPackItems(iWidth, iHeight))) && bOk;
    return bOk;
}

bool WriteLobbyStubLayout(const std::string& strAppFolder)
{
    static const char* const LAYOUT =
        "<menu><area width=\"320\" height=\"240\" name=\"root\">"
        "<element name=\"menu_root\" type=\"page_layout\"><size w=\"1.0\" h=\"1.0\"/></element>"
        "<element name=\"vorn_button_root\" type=\"widget\">"
        "<element name=\"vorn_button\" type=\"button\"><size w=\"0.1\" h=\"0.1\"/></element></element>"
        "<element name=\"shop_page_list\" type=\"infinite_list\"/>"
        "<element name=\"my_items_page_list\" type=\"infinite_list\"/>"
        "<element name=\"confirm_buy_dialog_ingame\" type=\"widget\"/>"
        "</area></menu>";
    return WriteTestFile(strAppFolder + "/vornlayouts.kmp", TestPackBytes({{"/menu_root.xml", LAYOUT}}));
}
