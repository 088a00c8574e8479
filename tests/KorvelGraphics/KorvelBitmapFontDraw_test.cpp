// Text on the GL screen target: batches, colours, alignment and what reaches the screen.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <gtest/gtest.h>

#include "FontGlTestHelpers.h"

namespace
{
class CKorvelBitmapFontDraw : public CFontGlTest
{
protected:
    void SetUp() override
    {
        CFontGlTest::SetUp();
        ASSERT_EQ(LoadTestFont(), KE_OK);
        Clear();
    }
    void TearDown() override
    {
        m_Record.DeleteBatches();
        CFontGlTest::TearDown();
    }
    void Draw(const wchar_t* pText, unsigned int uColor, unsigned int uFlags = 0,
              CKorvelRect<int> rect = CKorvelRect<int>(100, 100, 400, 300))
    {
        m_Record.DeleteBatches();
        m_Font.DrawText(rect, *m_pExt, CKorvelString(pText), uColor, uFlags, &m_Record);
    }
    int Batches() const { return m_Record.aBatches.GetCount(); }
    const ::CKorvelBitmapFont::SKE_TEXT_BATCH& Batch(int i) const { return *m_Record.aBatches[i]; }

    ::CKorvelBitmapFont::SKE_PRERENDERED_TEXT m_Record;
};
} // namespace

TEST_F(CKorvelBitmapFontDraw, TagsSplitBatchesAndColourTheGlyphs)
{
    Draw(L"AB$COLOR=0xFF00FF00CD", 0xFFFF0000);
    ASSERT_EQ(Batches(), 2);
    EXPECT_EQ(Batch(0).uColor, 0xFFFF0000u);
    EXPECT_EQ(Batch(0).iGlyphs, 2);
    EXPECT_EQ(Batch(1).uColor, 0xFF00FF00u);
    EXPECT_EQ(Batch(1).iGlyphs, 2);
    EXPECT_EQ(Batch(0).uTexture, m_Font.GetPage(0)->uTexture);
    EXPECT_EQ(m_Record.uColor, 0xFFFF0000u);
    EXPECT_EQ(m_Record.pTarget, m_pExt);
    // A at 100, B at 110, C at 120, D at 130; glyphs 8 x 8 from the top.
    EXPECT_EQ(Rgb(104, 104), 0xFF0000u);
    EXPECT_EQ(Rgb(114, 104), 0xFF0000u);
    EXPECT_EQ(Rgb(124, 104), 0x00FF00u);
    EXPECT_EQ(Rgb(134, 107), 0x00FF00u);
    EXPECT_EQ(Rgb(109, 104), 0x000000u); // the gap between glyphs
    EXPECT_EQ(Rgb(104, 109), 0x000000u); // below them
}

TEST_F(CKorvelBitmapFontDraw, BatchesHoldAtMost64GlyphsOfOnePage)
{
    Draw(std::wstring(70, L'A').c_str(), 0xFFFFFFFF, 0, CKorvelRect<int>(0, 0, 800, 600));
    ASSERT_EQ(Batches(), 2);
    EXPECT_EQ(Batch(0).iGlyphs, 64);
    EXPECT_EQ(Batch(1).iGlyphs, 6);
    EXPECT_EQ(Batch(1).auIndices[5], 3);
    EXPECT_EQ(Batch(0).auIndices[6 * 63 + 5], 4 * 63 + 3);

    Draw(L"AEAE", 0xFFFFFFFF);
    ASSERT_EQ(Batches(), 4);
    EXPECT_EQ(Batch(1).uTexture, m_Font.GetPage(1)->uTexture);
    EXPECT_EQ(Rgb(114, 104), 0xFFFFFFu); // E from the second page
}

TEST_F(CKorvelBitmapFontDraw, HalfCoverageScalesThePremultipliedColour)
{
    Draw(L"H", 0xFFFFFFFF);
    const unsigned int u = Rgb(103, 103);
    EXPECT_NEAR(int(u & 0xFF), 128, 2);
    Clear();
    Draw(L"A", 0x80FFFFFF);
    EXPECT_NEAR(int(Rgb(103, 103) & 0xFF), 128, 2);
}

TEST_F(CKorvelBitmapFontDraw, NothingForEmptyTextOutsideClipOrNoAlpha)
{
    Draw(L"", 0xFFFFFFFF);
    EXPECT_EQ(Batches(), 0);
    Draw(L"AB", 0xFFFFFFFF, 0, CKorvelRect<int>(900, 700, 1000, 800));
    EXPECT_EQ(Batches(), 0);
    EXPECT_EQ(m_Record.pTarget, nullptr);
    Draw(L"AB", 0x00FFFFFF);
    EXPECT_EQ(Batches(), 0);
    EXPECT_EQ(Rgb(104, 104), 0u);
}

TEST_F(CKorvelBitmapFontDraw, ClipIsTheTargetClipWithinTheRectangle)
{
    m_Record.DeleteBatches();
    m_Font.DrawText(10, 10, *m_pExt, CKorvelString(L"A"), 0xFFFFFFFF, 0, &m_Record);
    EXPECT_EQ(m_Record.rcClip.left, 10);
    EXPECT_EQ(m_Record.rcClip.top, 10);
    EXPECT_EQ(m_Record.rcClip.right, 800);
    EXPECT_EQ(m_Record.rcClip.bottom, 600);
    // Glyphs beyond the rectangle's right edge are cut by the scissor.
    Clear();
    Draw(L"AB", 0xFFFFFFFF, 0, CKorvelRect<int>(100, 100, 113, 300));
    EXPECT_EQ(Rgb(111, 104), 0xFFFFFFu);
    EXPECT_EQ(Rgb(114, 104), 0u);
    EXPECT_EQ(m_pExt->m_rcClip.right, 800); // the target's clip comes back
}

TEST_F(CKorvelBitmapFontDraw, AlignsAndCentresLines)
{
    // "AB" is 1 + 20 = 21 pixels wide.
    Draw(L"AB", 0xFFFFFFFF, KE_TEXT_RIGHT, CKorvelRect<int>(100, 100, 200, 200));
    EXPECT_EQ(Rgb(180, 104), 0xFFFFFFu);
    EXPECT_EQ(Rgb(178, 104), 0u);
    Clear();
    // Centred: 100 + 50 - 10 = 140; vertically 100 + 50 - 6 = 144.
    Draw(L"AB", 0xFFFFFFFF, 0x100 | 0x200 | KE_TEXT_RIGHT, CKorvelRect<int>(100, 100, 200, 200));
    EXPECT_EQ(Rgb(140, 144), 0xFFFFFFu);
    EXPECT_EQ(Rgb(139, 144), 0u);
    EXPECT_EQ(Rgb(140, 143), 0u);
}

TEST_F(CKorvelBitmapFontDraw, MultiLineTextWrapsAndBreaks)
{
    // Wraps after "AB " in a 40-pixel rectangle; the second line is 12 pixels lower.
    Draw(L"AB CD", 0xFFFFFFFF, KE_TEXT_MULTILINE, CKorvelRect<int>(100, 100, 140, 300));
    EXPECT_EQ(Rgb(104, 116), 0xFFFFFFu); // C
    EXPECT_EQ(Rgb(124, 104), 0u);
    Clear();
    Draw(L"A\r\nB", 0xFFFFFFFF, KE_TEXT_MULTILINE);
    EXPECT_EQ(Rgb(104, 116), 0xFFFFFFu); // one line break, not two
    Clear();
    // Without multi-line the line feed is a blank.
    Draw(L"A\nB", 0xFFFFFFFF);
    EXPECT_EQ(Rgb(124, 104), 0xFFFFFFu);
}

TEST_F(CKorvelBitmapFontDraw, FirstBatchAlwaysSetsItsColour)
{
    Draw(L"A", 0xFFFF0000);
    // The text begins with a transparent tag: nothing may show in the previous colour.
    Draw(L"$COLOR=0x00000000A", 0xFFFF0000, 0, CKorvelRect<int>(200, 100, 400, 300));
    ASSERT_EQ(Batches(), 1);
    EXPECT_EQ(Batch(0).uColor, 0u);
    EXPECT_EQ(Rgb(204, 104), 0u);
    EXPECT_EQ(Rgb(104, 104), 0xFF0000u);
}

TEST_F(CKorvelBitmapFontDraw, PrerenderedTextDrawsAgainAndTextModeBrackets)
{
    Draw(L"AB", 0xFF0000FF);
    Clear();
    m_Font.BeginText(*m_pExt);
    EXPECT_TRUE(m_Font.IsInTextMode());
    m_Font.DrawTextPrerendered(m_Record);
    EXPECT_TRUE(m_Font.IsInTextMode());
    m_Font.EndText(*m_pExt);
    EXPECT_FALSE(m_Font.IsInTextMode());
    EXPECT_EQ(Rgb(114, 104), 0x0000FFu);
}

TEST_F(CKorvelBitmapFontDraw, ScaleGrowsGlyphsAndAdvances)
{
    m_Font.SetFontScale(2.0f);
    Draw(L"AB", 0xFFFFFFFF);
    EXPECT_EQ(Rgb(113, 113), 0xFFFFFFu); // A is 16 x 16
    EXPECT_EQ(Rgb(117, 104), 0u);
    EXPECT_EQ(Rgb(121, 104), 0xFFFFFFu); // B starts at 120
}

TEST_F(CKorvelBitmapFontDraw, ReleasedFontDrawsNothingUntilRestored)
{
    m_Font.Release();
    Draw(L"AB", 0xFFFFFFFF);
    EXPECT_EQ(Batches(), 0);
    m_Font.Restore();
    Draw(L"AB", 0xFFFFFFFF);
    EXPECT_EQ(Rgb(104, 104), 0xFFFFFFu);
}

TEST_F(CKorvelBitmapFontDraw, BuiltInFontDrawsOnScreen)
{
    ::CKorvelBitmapFont builtin;
    builtin.Startup(m_pApp.get());
    builtin.DrawText(CKorvelRect<int>(300, 300, 500, 400), *m_pExt, CKorvelString(L"Hi!"), 0xFFFFFFFF, 0,
                     nullptr);
    int iLit = 0;
    for (int y = 300; y < 310; ++y)
        for (int x = 300; x < 320; ++x)
            iLit += (Rgb(x, y) & 0xFF) > 100;
    builtin.Shutdown();
    EXPECT_GT(iLit, 10);
}
