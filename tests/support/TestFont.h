// Bitmap fonts for tests: descriptions written as text and read with the engine's XML
// tree, and page images as PNG bytes. Header only.
#pragma once

#include <string>
#include <vector>

#include "KorvelCommon/KorvelXMLDataNode.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

struct sTestGlyph
{
    int iId, iX, iY, iWidth, iHeight, iXOffset, iYOffset, iXAdvance, iPage;
};

// A ".fnt" description with the given glyphs on pages "<stem>_0.png", "<stem>_1.png", ...
inline std::string TestFontXml(int iLineHeight, const std::vector<sTestGlyph>& glyphs, int iPages = 1,
                               const std::string& strStem = "testfont")
{
    std::string s = "<?xml version=\"1.0\"?>\n<font>\n<info face=\"Test\" size=\"8\" bold=\"0\"/>\n";
    s += "<common lineHeight=\"" + std::to_string(iLineHeight) + "\" base=\"8\"/>\n<pages>\n";
    for (int p = 0; p < iPages; ++p)
        s += "<page id=\"" + std::to_string(p) + "\" file=\"" + strStem + "_" + std::to_string(p) +
             ".png\"/>\n";
    s += "</pages>\n<chars count=\"" + std::to_string(glyphs.size()) + "\">\n";
    for (const sTestGlyph& g : glyphs)
        s += "<char id=\"" + std::to_string(g.iId) + "\" x=\"" + std::to_string(g.iX) + "\" y=\"" +
             std::to_string(g.iY) + "\" width=\"" + std::to_string(g.iWidth) + "\" height=\"" +
             std::to_string(g.iHeight) + "\" xoffset=\"" + std::to_string(g.iXOffset) + "\" yoffset=\"" +
             std::to_string(g.iYOffset) + "\" xadvance=\"" + std::to_string(g.iXAdvance) + "\" page=\"" +
             std::to_string(g.iPage) + "\"/>\n";
    return s + "</chars>\n</font>\n";
}

// Startup(root) of a description given as text (no pages are loaded).
inline KE_RETVAL StartupFromXml(CKorvelBitmapFont& font, std::string strXml)
{
    CKorvelXMLDataNode root;
    root.StartupFromData(reinterpret_cast<signed char*>(&strXml[0]),
                         static_cast<unsigned int>(strXml.size()));
    const KE_RETVAL iResult = font.Startup(root);
    root.Shutdown();
    return iResult;
}

// PNG bytes of a page: white with alpha = coverage(x, y).
template <class F> std::vector<uint8_t> TestPagePng(int iWidth, int iHeight, F coverage)
{
    std::vector<uint8_t> aRGBA(static_cast<size_t>(iWidth) * iHeight * 4);
    for (int y = 0; y < iHeight; ++y)
        for (int x = 0; x < iWidth; ++x)
        {
            uint8_t* p = &aRGBA[(static_cast<size_t>(y) * iWidth + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = static_cast<uint8_t>(coverage(x, y));
        }
    CTestTempDir dir;
    WriteTestPng(dir.File("page.png"), iWidth, iHeight, aRGBA);
    return ReadTestFile(dir.File("page.png"));
}
