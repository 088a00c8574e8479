// A headless 800 x 600 application with a GL screen target, and a test font loaded from a
// media pack on it. Header only.
#pragma once

#include <gtest/gtest.h>

#include <GLES2/gl2.h>
#include <memory>
#include <string>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "support/GlTestContext.h"
#include "support/TestApplication.h"
#include "support/TestFont.h"
#include "support/TestPack.h"

// Page 0 (64 x 16): solid 8 x 8 glyphs A, B, C, D side by side, a half-covered H at
// (32, 0), and a Z whose rectangle leaves the page; page 1 (16 x 16): solid E. Every
// advance is 10, offsets 0, line height 12.
inline std::vector<sTestGlyph> TestFontGlyphs()
{
    return {{'A', 0, 0, 8, 8, 0, 0, 10, 0},  {'B', 8, 0, 8, 8, 0, 0, 10, 0},  {'C', 16, 0, 8, 8, 0, 0, 10, 0},
            {'D', 24, 0, 8, 8, 0, 0, 10, 0}, {'H', 32, 0, 8, 8, 0, 0, 10, 0}, {' ', 0, 0, 0, 0, 0, 0, 10, 0},
            {'E', 0, 0, 8, 8, 0, 0, 10, 1},  {'Z', 60, 12, 8, 8, 0, 0, 10, 0}};
}

inline TestPackItems TestFontPackItems()
{
    return {{"/tf.fnt", TestFontXml(12, TestFontGlyphs(), 2, "tf")},
            {"/tf_0.png",
             []
             {
                 auto png = TestPagePng(
                     64, 16, [](int x, int y) { return y < 8 && x < 40 ? (x < 32 ? 255 : 128) : 0; });
                 return std::string(png.begin(), png.end());
             }()},
            {"/tf_1.png", []
             {
                 auto png = TestPagePng(16, 16, [](int x, int y) { return x < 8 && y < 8 ? 255 : 0; });
                 return std::string(png.begin(), png.end());
             }()}};
}

class CFontGlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetHeadlessPlatform(800, 600);
        m_pApp = std::make_unique<CTestApplication>();
        ASSERT_EQ(m_pApp->StartHeadless(), KE_OK);
        m_pExt = static_cast<::CKorvelGraphicsExt_GLES2*>(m_pApp->GetGraphicsExtension());
        ASSERT_NE(m_pExt, nullptr);
    }
    void TearDown() override
    {
        m_Font.Shutdown();
        m_Pack.Shutdown();
        m_pApp.reset();
    }

    // Writes the items as a pack and opens it (a key scrambles the items).
    void OpenPack(const TestPackItems& items, const std::string& strKey = "")
    {
        WriteTestFile(m_Dir.File("fonts.kmp"), TestPackBytes(items, strKey));
        ASSERT_EQ(
            m_Pack.Startup(CKorvelString(m_Dir.File("fonts.kmp").c_str()), CKorvelString(strKey.c_str())),
            KE_OK);
    }
    KE_RETVAL LoadTestFont(unsigned int uFlags = 0)
    {
        OpenPack(TestFontPackItems());
        return m_Font.Startup(m_pApp.get(), m_Pack, CKorvelString("tf.fnt"), uFlags);
    }
    void Clear() { m_pExt->Fill(0xFF000000, nullptr); }
    // 0xRRGGBB of a screen pixel, y from the top.
    static unsigned int Rgb(int x, int y)
    {
        const uint32_t u = ReadGlPixel(x, y, 600);
        return unsigned(PixelR(u)) << 16 | unsigned(PixelG(u)) << 8 | unsigned(PixelB(u));
    }

    CTestTempDir m_Dir;
    std::unique_ptr<CTestApplication> m_pApp;
    ::CKorvelGraphicsExt_GLES2* m_pExt = nullptr;
    CKorvelMediaPack m_Pack;
    CKorvelBitmapFont m_Font;
};
