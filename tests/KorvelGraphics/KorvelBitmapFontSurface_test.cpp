// Text drawn into software surfaces from the pages' coverage bytes.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <gtest/gtest.h>

#include "FontGlTestHelpers.h"
#include "SurfaceTestHelpers.h"

namespace
{
class CKorvelBitmapFontSurface : public CFontGlTest
{
protected:
    void SetUp() override
    {
        CFontGlTest::SetUp();
        ASSERT_EQ(LoadTestFont(), KE_OK);
    }
    void TearDown() override
    {
        m_Record.DeleteBatches();
        CFontGlTest::TearDown();
    }
    void Draw(CKorvelSurface& surface, const wchar_t* pText, unsigned int uColor, unsigned int uFlags = 0,
              int x = 10, int y = 10)
    {
        m_Record.DeleteBatches();
        m_Font.DrawText(CKorvelRect<int>(x, y, surface.GetWidth(), surface.GetHeight()), surface,
                        CKorvelString(pText), uColor, uFlags, &m_Record);
    }

    ::CKorvelBitmapFont::SKE_PRERENDERED_TEXT m_Record;
};
} // namespace

TEST_F(CKorvelBitmapFontSurface, SolidGlyphsInTagColours)
{
    CTestSurface s(64, 32, KE_SURFACE_ARGB8888);
    s.Fill(0xFF000000, nullptr);
    Draw(s, L"AB$COLOR=0xFF00FF00C", 0xFFFF0000);
    ASSERT_EQ(m_Record.aBatches.GetCount(), 3); // one entry per glyph
    EXPECT_EQ(m_Record.aBatches[2]->uColor, 0xFF00FF00u);
    EXPECT_EQ(s.GetPixel(12, 12), 0x00FF0000u); // solid text writes no alpha
    EXPECT_EQ(s.GetPixel(22, 17), 0x00FF0000u);
    EXPECT_EQ(s.GetPixel(32, 12), 0x0000FF00u);
    EXPECT_EQ(s.GetPixel(18, 12), 0xFF000000u); // gap
    EXPECT_EQ(s.GetPixel(12, 18), 0xFF000000u); // below
}

TEST_F(CKorvelBitmapFontSurface, PacksTheColourForEachFormat)
{
    const struct
    {
        eKET_SURFACEFORMAT eFormat;
        unsigned int uColor, uPixel;
    } aCases[] = {{KE_SURFACE_ABGR8888, 0xFF102030, 0x00302010},
                  {KE_SURFACE_RGB565, 0xFFFF8040, (31u << 11) | (32u << 5) | 8u},
                  {KE_SURFACE_RGB444, 0xFFFF8040, 0xF84},
                  {KE_SURFACE_P8, 0xFFFF0000, 0xE0},
                  {KE_SURFACE_RGB888, 0xFFFFFFFF, 0}}; // 24-bit surfaces get no text
    for (const auto& c : aCases)
    {
        CTestSurface s(64, 32, c.eFormat);
        s.Fill(0xFF000000, nullptr);
        Draw(s, L"A", c.uColor);
        EXPECT_EQ(s.GetPixel(12, 12), c.uPixel) << c.eFormat;
    }
}

TEST_F(CKorvelBitmapFontSurface, BlendedTextMixesByCoverageAndAlpha)
{
    CTestSurface s(64, 32, KE_SURFACE_ARGB8888);
    s.Fill(0xFF000000, nullptr);
    Draw(s, L"AH", 0x80FFFFFF, 0x80);
    EXPECT_EQ(s.GetPixel(12, 12), 0xFF7F7F7Fu);         // 255 x 255 x 128 >> 16; alpha kept
    EXPECT_NEAR(int(s.GetPixel(22, 12) & 0xFF), 63, 1); // half coverage
    CTestSurface s16(64, 32, KE_SURFACE_RGB565);
    s16.Fill(0xFF000000, nullptr);
    Draw(s16, L"A", 0xFFFFFFFF, 0x80);
    EXPECT_EQ(s16.GetPixel(12, 12) >> 11, 31u);
}

TEST_F(CKorvelBitmapFontSurface, GlyphsAreClippedAndTheirCoverageFollows)
{
    CTestSurface s(64, 32, KE_SURFACE_ARGB8888);
    s.Fill(0xFF000000, nullptr);
    const CKorvelRect<int> clip(12, 12, 16, 16);
    s.SetClipRect(&clip);
    Draw(s, L"AH", 0xFFFFFFFF);
    ASSERT_EQ(m_Record.aBatches.GetCount(), 1); // H lies right of the clip
    EXPECT_EQ(m_Record.aBatches[0]->iWidth, 4);
    EXPECT_EQ(m_Record.aBatches[0]->iHeight, 4);
    EXPECT_EQ(s.GetPixel(12, 12), 0x00FFFFFFu);
    EXPECT_EQ(s.GetPixel(15, 15), 0x00FFFFFFu);
    EXPECT_EQ(s.GetPixel(11, 12), 0xFF000000u);
    EXPECT_EQ(s.GetPixel(16, 12), 0xFF000000u);
    EXPECT_EQ(s.GetPixel(12, 16), 0xFF000000u);
}

TEST_F(CKorvelBitmapFontSurface, DroppedGlyphsStillMoveThePen)
{
    CTestSurface s(64, 32, KE_SURFACE_ARGB8888);
    s.Fill(0xFF000000, nullptr);
    const CKorvelRect<int> clip(20, 0, 64, 32);
    s.SetClipRect(&clip);
    m_Record.DeleteBatches();
    m_Font.DrawText(CKorvelRect<int>(10, 10, 64, 32), s, CKorvelString(L"AB"), 0xFFFFFFFF, 0, &m_Record);
    ASSERT_EQ(m_Record.aBatches.GetCount(), 1);
    EXPECT_EQ(m_Record.aBatches[0]->iX, 20);
    EXPECT_EQ(s.GetPixel(20, 12), 0x00FFFFFFu);
}

TEST_F(CKorvelBitmapFontSurface, WithoutClippingGlyphsStillStayInsideTheSurface)
{
    CTestSurface s(64, 32, KE_SURFACE_ARGB8888);
    s.Fill(0xFF000000, nullptr);
    const CKorvelRect<int> clip(0, 0, 50, 30); // touches the text's rectangle
    s.SetClipRect(&clip);
    Draw(s, L"AAA", 0xFFFFFFFF, 0x10, 50, 28);
    EXPECT_EQ(s.GetPixel(63, 31), 0x00FFFFFFu); // beyond the clip, inside the surface
    EXPECT_EQ(m_Record.aBatches.GetCount(), 2);
    EXPECT_EQ(m_Record.aBatches[0]->iWidth, 8);
    EXPECT_EQ(m_Record.aBatches[1]->iWidth, 4);
    EXPECT_EQ(m_Record.aBatches[1]->iHeight, 4);
}

TEST_F(CKorvelBitmapFontSurface, GlyphsOutsideTheirPageAreSkipped)
{
    CTestSurface s(64, 32, KE_SURFACE_ARGB8888);
    s.Fill(0xFF000000, nullptr);
    Draw(s, L"ZA", 0xFFFFFFFF);
    ASSERT_EQ(m_Record.aBatches.GetCount(), 1);
    EXPECT_EQ(m_Record.aBatches[0]->iX, 20); // the pen still moved past Z
}
