#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

TEST(CKorvelSurfaceFills, FillWholeAndRectangleWithThePlane)
{
    CTestSurface s(4, 3, KE_SURFACE_RGB565, true);
    FillNoise(s, 1);
    EXPECT_EQ(KE_OK, s.Fill(0, nullptr));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(0, s.GetAlphaChannel()[i]);
    EXPECT_EQ(0u, s.GetPixel(3, 2));

    CKorvelRect<int> r(1, 1, 9, 9);
    s.Fill(0x80FF0000, &r);
    EXPECT_EQ(0xF800u, s.GetPixel(3, 2));
    EXPECT_EQ(0u, s.GetPixel(0, 1));
    EXPECT_EQ(0x80, s.GetAlphaChannel()[1 * 4 + 1]);
    EXPECT_EQ(0, s.GetAlphaChannel()[0]);

    CKorvelRect<int> left(-9, 0, -1, 3);
    EXPECT_EQ(KE_OK, s.Fill(0xFFFFFFFF, &left));
    EXPECT_EQ(0u, s.GetPixel(0, 0));
    EXPECT_EQ(KE_ERR_NOTSTARTED, CKorvelSurface().Fill(0, nullptr));
    // Fill is not bounded by the clip rectangle.
    CKorvelRect<int> clip(0, 0, 1, 1);
    s.SetClipRect(&clip);
    s.Fill(0xFF0000FF, nullptr);
    EXPECT_EQ(0x001Fu, s.GetPixel(3, 2));
    EXPECT_EQ(0xFF, s.GetAlphaChannel()[11]);
}

TEST(CKorvelSurfaceFills, FillPacksPerFormat)
{
    CTestSurface s24(2, 1, KE_SURFACE_RGB888), s8(2, 1, KE_SURFACE_P8), s7(2, 1, KE_SURFACE_ABGR8888);
    s24.Fill(0xFF123456, nullptr);
    EXPECT_EQ(0x123456u, s24.GetPixel(1, 0));
    s8.Fill(0xFFFF0000, nullptr);
    EXPECT_EQ(0xE0u, s8.GetPixel(1, 0));
    CKorvelRect<float> half(0.5f, 0.0f, 1.0f, 1.0f);
    s7.Fill(0, nullptr);
    s7.Fill(0x80102030, &half);
    EXPECT_EQ(0u, s7.GetPixel(0, 0));
    EXPECT_EQ(0x80302010u, s7.GetPixel(1, 0));
}

TEST(CKorvelSurfaceFills, BlendFillAndFade)
{
    CTestSurface s(2, 2, KE_SURFACE_ARGB8888);
    s.Fill(0x7FC80001, nullptr);
    EXPECT_EQ(KE_OK, s.BlendFill(0x00FFFFFF, nullptr));
    EXPECT_EQ(0x7FC80001u, s.GetPixel(0, 0));
    CKorvelRect<int> clip(1, 0, 2, 2);
    s.SetClipRect(&clip);
    s.BlendFill(0x80000000, nullptr);
    EXPECT_EQ(0x7F640000u, s.GetPixel(1, 1)); // towards black, alpha kept
    EXPECT_EQ(0x7FC80001u, s.GetPixel(0, 1)); // outside the clip
    s.SetClipRect(nullptr);

    s.Fill(0x80FF8040, nullptr);
    s.Fade(nullptr, 1.0f);
    EXPECT_EQ(0x80FE7F3Fu, s.GetPixel(0, 0));
    s.Fill(0x80FF8040, nullptr);
    s.Fade(nullptr, 0.5f); // v = 127 x 255 >> 8 = 126
    EXPECT_EQ(0x807D3F1Fu, s.GetPixel(0, 0));
    s.Fade(nullptr, -3.0f);
    EXPECT_EQ(0x80000000u, s.GetPixel(0, 0));

    CTestSurface s16(1, 1, KE_SURFACE_RGB565), s24(1, 1, KE_SURFACE_RGB888);
    s16.SetPixel(0, 0, 0xFFFF);
    s16.Fade(nullptr, 0.5f);
    EXPECT_EQ((15u << 11) | (31u << 5) | 15u, s16.GetPixel(0, 0));
    EXPECT_EQ(KE_ERR_DECODE, s24.Fade(nullptr, 0.5f));
    EXPECT_EQ(KE_ERR_DECODE, s24.BlendFill(0xFFFFFFFF, nullptr));
}

TEST(CKorvelSurfaceFills, GradientFill)
{
    CTestSurface s(4, 2, KE_SURFACE_ARGB8888);
    s.Fill(0x12000000, nullptr);
    // Red from left to right; the kernels step by (end - start) / width.
    s.GradientFill(0xFF000000, 0xFFFF0000, 0xFFFF0000, 0xFF000000, nullptr);
    EXPECT_EQ((std::vector<unsigned int>{0x12000000, 0x123F0000, 0x127F0000, 0x12BF0000}), RowPixels(s, 1));
    // Four equal colours: the colour, short by the fixed point's rounding.
    s.GradientFill(0xFF102030, 0xFF102030, 0xFF102030, 0xFF102030, nullptr);
    EXPECT_EQ(0x120F1F2Fu, s.GetPixel(3, 1));
    // Red and blue change places for the red-low format.
    CTestSurface s7(1, 1, KE_SURFACE_ABGR8888);
    s7.SetPixel(0, 0, 0);
    s7.GradientFill(0xFF800000, 0xFF800000, 0xFF800000, 0xFF800000, nullptr);
    EXPECT_EQ(0x0000007Fu, s7.GetPixel(0, 0));
    // Vertical ramp on 16 bits, starting left of the surface.
    CTestSurface s16(2, 4, KE_SURFACE_RGB565);
    s16.Fill(0, nullptr);
    CKorvelRect<int> r(-2, 0, 2, 4);
    s16.GradientFill(0xFF0000FF, 0xFF0000FF, 0xFF000000, 0xFF000000, &r);
    // Blue 255 x 65535 steps down by a quarter of that per row: 31, 23, 15, 7.
    EXPECT_EQ((std::vector<unsigned int>{31, 31}), RowPixels(s16, 0));
    EXPECT_EQ(23u, s16.GetPixel(0, 1));
    EXPECT_EQ(7u, s16.GetPixel(1, 3));
    EXPECT_EQ(KE_ERR_DECODE, CTestSurface(1, 1, KE_SURFACE_RGB555).GradientFill(0, 0, 0, 0, nullptr));
}

TEST(CKorvelSurfaceFills, RadialGradient)
{
    CTestSurface s(64, 32, KE_SURFACE_ARGB8888);
    s.RadialGradientFill(0x00000000, 0x00FFFFFF, 1.0f, nullptr);
    // t = 255 at the centre: 0 + 255 x 255 >> 8 = 254; alpha set opaque inside the disc.
    EXPECT_EQ(0xFFFEFEFEu, s.GetPixel(32, 16));
    EXPECT_EQ(0u, s.GetPixel(32, 0));  // distance 16 = radius: outside
    EXPECT_EQ(0u, s.GetPixel(15, 16)); // distance 17
    EXPECT_NE(0u, s.GetPixel(32, 1));
    unsigned int mid = s.GetPixel(40, 16) & 0xFF; // distance 8: t = 127
    EXPECT_EQ(126u, mid);

    CTestSurface s24(8, 8, KE_SURFACE_RGB888);
    s24.RadialGradientFill(0xFF102030, 0xFFFFFFFF, 1.0f, nullptr);
    EXPECT_EQ(0x102030u, s24.GetPixel(4, 4)); // the plain fill only
    CTestSurface s16(8, 8, KE_SURFACE_RGB565);
    CKorvelRect<int> off(-4, -4, 4, 4);
    s16.Fill(0, nullptr);
    s16.RadialGradientFill(0xFF000000, 0xFFFFFFFF, 1.0f, &off);
    EXPECT_EQ((30u << 11) | (62u << 5) | 30u, s16.GetPixel(0, 0)); // the area's centre
    EXPECT_EQ(0u, s16.GetPixel(5, 5));
}

TEST(CKorvelSurfaceFills, PaletteSurfacesGoThroughTheLookupTable)
{
    CTestSurface s(4, 1, KE_SURFACE_P8);
    s.Fill(0xFFFFFFFF, nullptr);
    s.BlendFill(0xFF000000, nullptr); // 255 + (255 x -255 >> 8) = 0 per channel
    EXPECT_EQ(0u, s.GetPixel(0, 0));
    s.Fill(0xFFFFFFFF, nullptr);
    s.Fade(nullptr, 0.0f);
    EXPECT_EQ(0u, s.GetPixel(3, 0));
    // Red from left to right over four pixels: 0, 63, 127, 191 -> palette reds 0, 1, 3, 5.
    s.GradientFill(0xFF000000, 0xFFFF0000, 0xFFFF0000, 0xFF000000, nullptr);
    EXPECT_EQ((std::vector<unsigned int>{0x00, 0x20, 0x60, 0xA0}), RowPixels(s, 0));
    s.RadialGradientFill(0xFF000000, 0xFFFFFFFF, 2.0f, nullptr);
    EXPECT_EQ(0xFFu, s.GetPixel(2, 0)); // the centre
}
