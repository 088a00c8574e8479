// Text layout without GL: tags, line breaks, wrapping and measuring.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <gtest/gtest.h>

#include "support/TestFont.h"

namespace
{
// a: advance 5, x offset 1; b: 6; c: 4; blank: 3; F: 2 (so that tags drawn as text have width).
const std::vector<sTestGlyph> g_aGlyphs = {{'a', 0, 0, 4, 6, 1, 2, 5, 0},
                                           {'b', 5, 0, 5, 8, 0, 0, 6, 0},
                                           {'c', 11, 0, 3, 6, 0, 2, 4, 0},
                                           {' ', 0, 0, 0, 0, 0, 0, 3, 0},
                                           {'F', 15, 0, 2, 8, 0, 0, 2, 0}};

class CKorvelBitmapFontLayout : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(StartupFromXml(m_Font, TestFontXml(10, g_aGlyphs)), KE_OK); }
    void TearDown() override { m_Font.Shutdown(); }

    CKorvelRect<int> Calc(const wchar_t* pText, int iWidth)
    {
        CKorvelRect<int> r(10, 20, 10 + iWidth, 0);
        m_Font.CalcRect(r, CKorvelString(pText));
        return r;
    }
    // Right and bottom edges of the measured rectangle.
    std::pair<int, int> Corner(const wchar_t* pText, int iWidth)
    {
        const CKorvelRect<int> r = Calc(pText, iWidth);
        return {r.right, r.bottom};
    }
    std::wstring Scan(const wchar_t* pText, int iWidth, unsigned int uFlags)
    {
        CKorvelString strOut;
        m_Font.ScanForLineFeeds(CKorvelString(pText), strOut, CKorvelRect<int>(0, 0, iWidth, 100), uFlags);
        std::wstring out;
        for (int i = 0; i < strOut.GetLength(); ++i)
            out += static_cast<wchar_t>(strOut.GetBuffer()[i]);
        return out;
    }

    CKorvelBitmapFont m_Font;
};
} // namespace

TEST_F(CKorvelBitmapFontLayout, TextWidthAddsAdvancesLessTheFirstOffset)
{
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L"ab"), 0), 11);
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L""), 0), 0);
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L"b?b"), 0), 13); // no glyph for '?'
    m_Font.SetFontScale(2.0f);
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L"ab"), 0), 21);
}

TEST_F(CKorvelBitmapFontLayout, TextWidthOfLinesAndTags)
{
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L"a\nbb"), 0), 17);
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L"a\nbb"), KE_TEXT_MULTILINE), 12);
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L"a$COLOR=0xFF00FF00b"), 0), 11);
    EXPECT_EQ(m_Font.GetTextWidth(CKorvelString(L"a$COLOR=0xFF00FF00b"), KE_TEXT_NOTAGS), 19);
}

TEST_F(CKorvelBitmapFontLayout, ParsesColourTags)
{
    unsigned int uColor = 0x12345678;
    EXPECT_EQ(m_Font.ParseTextTags(CKorvelString(L"x$COLOR=0xFF00FF00y"), 1, &uColor), 16);
    EXPECT_EQ(uColor, 0xFF00FF00u);
    EXPECT_EQ(m_Font.ParseTextTags(CKorvelString(L"x$COLOR=0xFF00FF00y"), 0, &uColor), 0);
    EXPECT_EQ(m_Font.ParseTextTags(CKorvelString(L"$COLOR=0x"), 0, nullptr), 16);
    // Short at the end: the digits there are taken; none leaves the colour alone.
    EXPECT_EQ(m_Font.ParseTextTags(CKorvelString(L"$COLOR=0xAB"), 0, &uColor), 16);
    EXPECT_EQ(uColor, 0xABu);
    EXPECT_EQ(m_Font.ParseTextTags(CKorvelString(L"$COLOR=0x"), 0, &uColor), 16);
    EXPECT_EQ(uColor, 0xABu);
    EXPECT_EQ(m_Font.ParseTextTags(CKorvelString(L"$COLOR=0"), 0, &uColor), 0);
}

TEST_F(CKorvelBitmapFontLayout, NextLineSkipsLeadingBreaks)
{
    CKorvelString strLine;
    m_Font.GetNextLine(CKorvelString(L"\n\nab\ncd"), 0, strLine);
    EXPECT_TRUE(strLine.IsEqual(CKorvelString(L"ab")));
    m_Font.GetNextLine(CKorvelString(L"\n\nab\ncd"), 4, strLine);
    EXPECT_TRUE(strLine.IsEqual(CKorvelString(L"cd")));
    m_Font.GetNextLine(CKorvelString(L"ab\n"), 2, strLine);
    EXPECT_EQ(strLine.GetLength(), 0);
}

TEST_F(CKorvelBitmapFontLayout, ScanBreaksAtTheLastBlankOnlyWhenMultiLine)
{
    EXPECT_EQ(Scan(L"ab ab", 15, KE_TEXT_MULTILINE), L"ab\nab");
    EXPECT_EQ(Scan(L"ab ab", 15, 0), L"ab ab");
    EXPECT_EQ(Scan(L"a\nb", 15, 0), L"a b");
    EXPECT_EQ(Scan(L"a\nb", 15, KE_TEXT_MULTILINE), L"a\nb");
    EXPECT_EQ(Scan(L"ab ab ab", 25, KE_TEXT_MULTILINE), L"ab ab\nab");
    // A word longer than the line has no blank to break at.
    EXPECT_EQ(Scan(L"ababab", 15, KE_TEXT_MULTILINE), L"ababab");
}

TEST_F(CKorvelBitmapFontLayout, CalcRectWrapsWordsAndCountsLines)
{
    CKorvelRect<int> r = Calc(L"ab ab", 15);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 25); // the full width after a wrap
    EXPECT_EQ(r.bottom, 40);
    EXPECT_EQ(Corner(L"ab", 100), std::make_pair(21, 30));
    EXPECT_EQ(Corner(L"a\n\nbb", 100), std::make_pair(22, 50));
    EXPECT_EQ(Corner(L"a$COLOR=0xFF00FF00b", 100), std::make_pair(21, 30)) << "tags take no room";
    m_Font.SetFontScale(1.5f);
    EXPECT_EQ(Corner(L"ab\nb", 100), std::make_pair(26, 50));
}

TEST_F(CKorvelBitmapFontLayout, CarriageReturnLineFeedIsOneLineBreak)
{
    EXPECT_EQ(Calc(L"a\r\nb", 100).bottom, 40);
    EXPECT_EQ(Calc(L"a\rb", 100).bottom, 40);
    EXPECT_EQ(Calc(L"a\n\rb", 100).bottom, 50);
}
