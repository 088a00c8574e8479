#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
int CountSet(CKorvelSurface& s)
{
    int n = 0;
    for (int y = 0; y < s.GetHeight(); ++y)
        for (int x = 0; x < s.GetWidth(); ++x)
            n += s.GetPixel(x, y) != 0;
    return n;
}
} // namespace

TEST(CKorvelSurfaceLine, SolidRunsPerRow)
{
    CTestSurface s(12, 8, KE_SURFACE_RGB565);
    s.Fill(0, nullptr);
    s.Line(0, 5, 9, 5, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(0xFFFFu, s.GetPixel(0, 5));
    EXPECT_EQ(0xFFFFu, s.GetPixel(8, 5));
    EXPECT_EQ(0u, s.GetPixel(9, 5)); // the end column is excluded
    EXPECT_EQ(9, CountSet(s));
    s.Fill(0, nullptr);
    s.Line(3, 0, 3, 4, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(5, CountSet(s));
    EXPECT_EQ(0xFFFFu, s.GetPixel(3, 4));
    // A diagonal: one column per row.
    s.Fill(0, nullptr);
    s.Line(0, 0, 4, 3, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(0xFFFFu, s.GetPixel(0, 0));
    EXPECT_EQ(0xFFFFu, s.GetPixel(3, 3));
    EXPECT_EQ(4, CountSet(s));
}

TEST(CKorvelSurfaceLine, ClippingAndRowLimit)
{
    CTestSurface s(10, 10, KE_SURFACE_ARGB8888);
    s.Fill(0, nullptr);
    EXPECT_EQ(KE_OK, s.Line(-5, -5, -1, 20, 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(0, CountSet(s));
    CKorvelRect<int> clip(2, 2, 6, 6);
    s.SetClipRect(&clip);
    s.Line(0, 3, 10, 3, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(4, CountSet(s));
    s.SetClipRect(nullptr);
    s.Fill(0, nullptr);
    // 1001 rows are cut to 20, so x advances by 20 / 20 per row.
    s.Line(0, 0, 20, 1000, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(0xFFFFFFFFu, s.GetPixel(9, 9));
    EXPECT_EQ(0u, s.GetPixel(8, 9));
    EXPECT_EQ(KE_OK, CKorvelSurface().Line(0, 0, 1, 1, 0, 0)); // all of it clipped away
}

TEST(CKorvelSurfaceLine, GradientLines)
{
    CTestSurface s(4, 1, KE_SURFACE_ARGB8888);
    s.Fill(0x80000000, nullptr);
    s.Line(0, 0, 4, 0, 0xFF000000, 0xFFFF0000);
    // One row: the run of 4 spreads the row's whole step; the alpha byte stays.
    EXPECT_EQ((std::vector<unsigned int>{0x80000000, 0x803F0000, 0x807F0000, 0x80BF0000}), RowPixels(s, 0));
    CTestSurface s7(2, 1, KE_SURFACE_ABGR8888);
    s7.Fill(0, nullptr);
    s7.Line(0, 0, 2, 0, 0xFF0000FF, 0xFF0000FE);
    EXPECT_EQ(0x00FF0000u, s7.GetPixel(0, 0)); // blue in byte 2 for the red-low format

    CTestSurface s16(2, 1, KE_SURFACE_RGB565), s8(2, 1, KE_SURFACE_P8), s24(2, 1, KE_SURFACE_RGB888);
    for (CKorvelSurface* p : {static_cast<CKorvelSurface*>(&s16), static_cast<CKorvelSurface*>(&s8),
                              static_cast<CKorvelSurface*>(&s24)})
    {
        p->Fill(0, nullptr);
        p->Line(0, 0, 2, 0, 0xFFFFFFFF, 0xFFFFFFFE);
    }
    EXPECT_EQ(0xFFFFu, s16.GetPixel(0, 0));
    EXPECT_EQ(0xFFu, s8.GetPixel(0, 0));
    EXPECT_EQ(0u, s24.GetPixel(0, 0)); // no gradient lines at 24 bits
}
