// Draws between surfaces of different formats go through the colour values. The
// sanitizers watch that no source row is read with the wrong stride.
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
// What a converting copy must give: MakeColor of GetPixelDIB, pixel by pixel.
void ExpectConverted(CKorvelSurface& dst, int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect)
{
    for (int j = rect.top; j < rect.bottom; ++j)
        for (int i = rect.left; i < rect.right; ++i)
            ASSERT_EQ(dst.MakeColor(src.GetPixelDIB(i, j)), dst.GetPixel(x + i - rect.left, y + j - rect.top))
                << "source pixel " << i << ", " << j;
}
} // namespace

TEST(CKorvelSurfaceConvert, EveryReadableSourceIntoEveryWritableDestination)
{
    const eKET_SURFACEFORMAT sources[] = {KE_SURFACE_P8, KE_SURFACE_RGB565, KE_SURFACE_ARGB8888,
                                          KE_SURFACE_ABGR8888};
    const eKET_SURFACEFORMAT targets[] = {KE_SURFACE_P8, KE_SURFACE_RGB565, KE_SURFACE_RGB888,
                                          KE_SURFACE_ARGB8888, KE_SURFACE_ABGR8888};
    for (eKET_SURFACEFORMAT sf : sources)
        for (eKET_SURFACEFORMAT df : targets)
        {
            if (sf == df)
                continue;
            SCOPED_TRACE(testing::Message() << "source " << sf << " destination " << df);
            CTestSurface src(13, 7, sf, sf == KE_SURFACE_RGB565), dst(20, 9, df);
            FillNoise(src, 100 + sf);
            dst.Fill(0, nullptr);
            // A source rectangle that hangs over the source's right and bottom edges.
            CKorvelRect<int> rect(3, 2, 30, 30);
            ASSERT_EQ(KE_OK, dst.Draw(1, 1, src, &rect, 0));
            ExpectConverted(dst, 1, 1, src, CKorvelRect<int>(3, 2, 13, 7));
            EXPECT_EQ(0u, dst.GetPixel(11, 1) & (df == KE_SURFACE_P8 ? 0xFF : 0xFFFFFF));
        }
}

TEST(CKorvelSurfaceConvert, FlagsOnAConvertingCopy)
{
    CTestSurface src(3, 1, KE_SURFACE_ARGB8888), dst(3, 1, KE_SURFACE_RGB565);
    src.SetPixel(0, 0, 0xFFFF0000);
    src.SetPixel(1, 0, 0xFF00FF00);
    src.SetPixel(2, 0, 0x120000FF);
    src.SetColorKey(0x00FF00);
    dst.Fill(0, nullptr);
    dst.Draw(0, 0, src, nullptr, 1 | 4);
    EXPECT_EQ(0x001Fu, dst.GetPixel(0, 0));
    EXPECT_EQ(0u, dst.GetPixel(1, 0)); // keyed
    EXPECT_EQ(0xF800u, dst.GetPixel(2, 0));
    dst.Draw(0, 0, src, nullptr, 2);
    EXPECT_EQ(0x7800u, dst.GetPixel(0, 0) & 0xF800); // half of red, half of the blue already there
    EXPECT_EQ(0x000Fu, dst.GetPixel(0, 0) & 0x001F);

    // Alpha follows: into a 32-bit destination through MakeColor, into a plane as bytes.
    CTestSurface s16(1, 1, KE_SURFACE_RGB565, true), d32(1, 1, KE_SURFACE_ABGR8888);
    s16.SetPixel(0, 0, 0xF800);
    s16.GetAlphaChannel()[0] = 0x40;
    d32.Draw(0, 0, s16, nullptr, 0);
    EXPECT_EQ(0x400000F8u, d32.GetPixel(0, 0));
    CTestSurface d16(1, 1, KE_SURFACE_RGB565, true), s32(1, 1, KE_SURFACE_ARGB8888);
    s32.SetPixel(0, 0, 0x33FFFFFF);
    d16.Draw(0, 0, s32, nullptr, 0x400);
    EXPECT_EQ(0x33, d16.GetAlphaChannel()[0]);
}

TEST(CKorvelSurfaceConvert, AlphaDrawFromAnotherFormat)
{
    // A premultiplied 32-bit source over a 5-6-5 surface: the 16-bit alpha rule applies.
    CTestSurface src(1, 1, KE_SURFACE_ABGR8888), dst(1, 1, KE_SURFACE_RGB565);
    src.SetPixel(0, 0, 0x80000080); // red 0x80 at alpha 0x80 (bytes R, G, B, A)
    dst.SetPixel(0, 0, 0x001F);     // blue
    dst.Draw(0, 0, src, nullptr, 0x80);
    // red 128 -> 16, blue 248 x 127 >> 8 = 123 -> 15.
    EXPECT_EQ((16u << 11) | 15u, dst.GetPixel(0, 0));

    // The colour key is the source's colour, found again in the converted copy.
    CTestSurface key(2, 1, KE_SURFACE_ARGB8888), d2(2, 1, KE_SURFACE_RGB565);
    key.SetPixel(0, 0, 0xFF00FF00);
    key.SetPixel(1, 0, 0xFFFF0000);
    key.SetColorKey(0x00FF00);
    d2.Fill(0, nullptr);
    d2.Draw(0, 0, key, nullptr, 0x80 | 1);
    EXPECT_EQ(0u, d2.GetPixel(0, 0));
    EXPECT_EQ(0xF800u, d2.GetPixel(1, 0));
}

TEST(CKorvelSurfaceConvert, FormatsWithoutColourValuesAreRefused)
{
    CTestSurface s24(2, 2, KE_SURFACE_RGB888), s444(2, 2, KE_SURFACE_RGB444), d32(2, 2, KE_SURFACE_ARGB8888);
    EXPECT_EQ(KE_ERR_DECODE, d32.Draw(0, 0, s24, nullptr, 0));
    EXPECT_EQ(KE_ERR_DECODE, s444.Draw(0, 0, d32, nullptr, 0));
    EXPECT_EQ(KE_ERR_DECODE, s444.DrawStretched(nullptr, d32, nullptr, 0));
}
