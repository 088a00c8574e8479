// Font descriptions: parsing, failure codes, the lookup table and the queries.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <gtest/gtest.h>

#include "support/TestFont.h"

namespace
{
const std::vector<sTestGlyph> g_aTwoGlyphs = {{65, 0, 0, 5, 7, 0, 2, 6, 0}, {66, 6, 0, 5, 7, 1, 2, 7, 0}};

struct sLOADED
{
    explicit sLOADED(const std::string& strXml) { iResult = StartupFromXml(font, strXml); }
    ~sLOADED() { font.Shutdown(); }
    CKorvelBitmapFont font;
    KE_RETVAL iResult;
};

std::string Replace(std::string s, const std::string& strFrom, const std::string& strTo)
{
    s.replace(s.find(strFrom), strFrom.size(), strTo);
    return s;
}
} // namespace

TEST(CKorvelBitmapFont, ReadsLineHeightPagesAndGlyphs)
{
    std::string strXml = Replace(TestFontXml(12, g_aTwoGlyphs, 2), "bold=\"0\"", "bold=\"1\"");
    sLOADED f(strXml);
    ASSERT_EQ(f.iResult, KE_OK);
    EXPECT_EQ(f.font.GetLineHeight(), 12u);
    EXPECT_EQ(f.font.GetBold(), 1);
    ASSERT_EQ(f.font.GetPageCount(), 2);
    EXPECT_TRUE(f.font.GetPage(1)->strFile.IsEqual(CKorvelString("testfont_1.png")));
    EXPECT_EQ(f.font.GetPage(0)->pSurface, nullptr);
    EXPECT_EQ(f.font.GetPage(0)->uTexture, 0u);
    const CKorvelBitmapFont::SKE_BMFONT_CHAR* pB = f.font.GetCharInfo(66);
    ASSERT_NE(pB, nullptr);
    EXPECT_EQ(pB->iX, 6);
    EXPECT_EQ(pB->iWidth, 5);
    EXPECT_EQ(pB->iXOffset, 1);
    EXPECT_EQ(pB->iYOffset, 2);
    EXPECT_EQ(pB->iXAdvance, 7);
    EXPECT_EQ(pB->iIndex, 1);

    // Numbers no page could need are cut to the metric range, either way, from just past it on.
    const int iMax = CKorvelBitmapFont::MAX_METRIC;
    sLOADED huge(TestFontXml(iMax + 1, {{65, 0, 0, 5, 7, iMax + 1, -iMax - 1, 2000000000, 0},
                                        {66, 6, 0, 5, 7, -2000000000, 2000000000, -iMax - 1, 0}}));
    ASSERT_EQ(huge.iResult, KE_OK);
    EXPECT_EQ(huge.font.GetLineHeight(), static_cast<unsigned int>(iMax));
    const CKorvelBitmapFont::SKE_BMFONT_CHAR* pHugeA = huge.font.GetCharInfo(65);
    const CKorvelBitmapFont::SKE_BMFONT_CHAR* pHugeB = huge.font.GetCharInfo(66);
    ASSERT_NE(pHugeA, nullptr);
    ASSERT_NE(pHugeB, nullptr);
    EXPECT_EQ(pHugeA->iXOffset, iMax);
    EXPECT_EQ(pHugeA->iYOffset, -iMax);
    EXPECT_EQ(pHugeA->iXAdvance, iMax);
    EXPECT_EQ(pHugeB->iXOffset, -iMax);
    EXPECT_EQ(pHugeB->iYOffset, iMax);
    EXPECT_EQ(pHugeB->iXAdvance, -iMax);
}

TEST(CKorvelBitmapFont, RefusesDescriptionsWithoutTheRequiredParts)
{
    const std::string strGood = TestFontXml(12, g_aTwoGlyphs);
    EXPECT_EQ(sLOADED(Replace(strGood, "<common lineHeight=\"12\" base=\"8\"/>", "")).iResult,
              KE_ERR_NOTFOUND);
    EXPECT_EQ(sLOADED(Replace(strGood, "lineHeight=\"12\"", "lineHeight=\"0\"")).iResult, KE_ERR_NOTFOUND);
    EXPECT_EQ(sLOADED(Replace(strGood, "lineHeight=\"12\"", "")).iResult, KE_ERR_NOTFOUND);
    EXPECT_EQ(sLOADED(Replace(strGood, "<page id=\"0\" file=\"testfont_0.png\"/>", "")).iResult,
              KE_ERR_NOTFOUND);
    EXPECT_EQ(sLOADED("<font><common lineHeight=\"3\"/><pages><page file=\"a\"/></pages></font>").iResult,
              KE_ERR_NOTFOUND);
    EXPECT_EQ(sLOADED(Replace(strGood, "count=\"2\"", "count=\"0\"")).iResult, KE_ERR_BADDATA);
    EXPECT_EQ(sLOADED(Replace(strGood, "count=\"2\"", "")).iResult, KE_ERR_BADDATA);
    EXPECT_EQ(sLOADED("not xml at all").iResult, KE_ERR_NOTFOUND);
}

TEST(CKorvelBitmapFont, CountDecidesHowManyRecordsAreFilled)
{
    std::vector<sTestGlyph> three = g_aTwoGlyphs;
    three.push_back({67, 12, 0, 5, 7, 0, 2, 6, 0});
    sLOADED capped(Replace(TestFontXml(10, three), "count=\"3\"", "count=\"2\""));
    ASSERT_EQ(capped.iResult, KE_OK);
    EXPECT_EQ(capped.font.GetCharCount(), 2);
    EXPECT_EQ(capped.font.GetCharInfo(67), nullptr);

    sLOADED padded(Replace(TestFontXml(10, {g_aTwoGlyphs[0]}), "count=\"1\"", "count=\"3\""));
    ASSERT_EQ(padded.iResult, KE_OK);
    EXPECT_EQ(padded.font.GetCharCount(), 3);
    const CKorvelBitmapFont::SKE_BMFONT_CHAR* pZero = padded.font.GetCharInfo(0);
    ASSERT_NE(pZero, nullptr);
    EXPECT_EQ(pZero->iIndex, 1); // the first unfilled record
    EXPECT_EQ(pZero->iXAdvance, 0);

    // An absurd count is cut instead of allocating gigabytes.
    sLOADED huge(Replace(TestFontXml(10, g_aTwoGlyphs), "count=\"2\"", "count=\"2000000000\""));
    ASSERT_EQ(huge.iResult, KE_OK);
    EXPECT_EQ(huge.font.GetCharCount(), CKorvelBitmapFont::MAX_CHARS);
}

TEST(CKorvelBitmapFont, MissingAttributesTakeTheirDefaults)
{
    sLOADED f("<font><common lineHeight=\"9\"/><pages><page file=\"p.png\"/></pages>"
              "<chars count=\"1\"><char id=\"70\"/></chars></font>");
    ASSERT_EQ(f.iResult, KE_OK);
    const CKorvelBitmapFont::SKE_BMFONT_CHAR* p = f.font.GetCharInfo(70);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->iX, -1);
    EXPECT_EQ(p->iHeight, -1);
    EXPECT_EQ(p->iXAdvance, 0);
    EXPECT_EQ(p->iPage, 0);
    EXPECT_EQ(f.font.GetBold(), 0);
}

TEST(CKorvelBitmapFont, GlyphsOnPagesTheFontLacksAreDropped)
{
    sLOADED f(TestFontXml(
        10, {{65, 0, 0, 5, 7, 0, 2, 6, 3}, {66, 0, 0, 5, 7, 0, 2, 6, -1}, {67, 0, 0, 5, 7, 0, 2, 6, 0}}));
    ASSERT_EQ(f.iResult, KE_OK);
    EXPECT_EQ(f.font.GetCharInfo(65), nullptr);
    EXPECT_EQ(f.font.GetCharInfo(66), nullptr);
    ASSERT_NE(f.font.GetCharInfo(67), nullptr);
    EXPECT_EQ(f.font.GetCharInfo(67)->iIndex, 0);
}

TEST(CKorvelBitmapFont, LookupFindsTheFirstRecordOfAnIdAndSearchesAbove255)
{
    sLOADED f(TestFontXml(10, {{65, 1, 0, 5, 7, 0, 2, 6, 0},
                               {0x20AC, 2, 0, 5, 7, 0, 2, 8, 0},
                               {65, 3, 0, 5, 7, 0, 2, 9, 0},
                               {0x20AC, 4, 0, 5, 7, 0, 2, 8, 0}}));
    ASSERT_EQ(f.iResult, KE_OK);
    EXPECT_EQ(f.font.GetCharInfo(65)->iX, 1);
    EXPECT_EQ(f.font.GetCharInfo(0x20AC)->iX, 2);
    EXPECT_EQ(f.font.GetCharInfo(0x263A), nullptr);
    EXPECT_EQ(f.font.GetCharInfo(66), nullptr);
}

TEST(CKorvelBitmapFont, Queries)
{
    sLOADED f(TestFontXml(10, g_aTwoGlyphs));
    f.font.SetFontScale(1.5f);
    EXPECT_EQ(f.font.GetLineHeight(), 15u);
    f.font.SetFontScale(0.95f);
    EXPECT_EQ(f.font.GetLineHeight(), 9u);
    EXPECT_EQ(f.font.HasUnknownChars(CKorvelString(L"caf\u00e9")), 0);
    EXPECT_EQ(f.font.HasUnknownChars(CKorvelString(L"5 \u20ac")), 1);
}
