#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

TEST(CKorvelSurfaceStretch, DoublesWithMirrorAndFlip)
{
    CTestSurface src(2, 2, KE_SURFACE_ARGB8888), dst(4, 4, KE_SURFACE_ARGB8888);
    FillCoordinates(src, 0xFF000000);
    dst.DrawStretched(nullptr, src, nullptr, 0);
    EXPECT_EQ((std::vector<unsigned int>{0xFF000000, 0xFF000000, 0xFF000001, 0xFF000001}), RowPixels(dst, 1));
    EXPECT_EQ(0xFF000101u, dst.GetPixel(3, 3));
    dst.DrawStretched(nullptr, src, nullptr, 4 | 8);
    EXPECT_EQ((std::vector<unsigned int>{0xFF000101, 0xFF000101, 0xFF000100, 0xFF000100}), RowPixels(dst, 0));
}

TEST(CKorvelSurfaceStretch, DestinationClipCutsTheSourceByTheRatio)
{
    CTestSurface src(8, 1, KE_SURFACE_ARGB8888), dst(8, 1, KE_SURFACE_ARGB8888);
    FillCoordinates(src, 0xFF000000);
    dst.Fill(0, nullptr);
    CKorvelRect<int> d(-8, 0, 8, 1); // 2x: 8 of 16 columns are off the left edge
    dst.DrawStretched(&d, src, nullptr, 0);
    EXPECT_EQ((std::vector<unsigned int>{0xFF000004, 0xFF000004, 0xFF000005, 0xFF000005, 0xFF000006,
                                         0xFF000006, 0xFF000007, 0xFF000007}),
              RowPixels(dst, 0));
    dst.DrawStretched(&d, src, nullptr, 4);
    EXPECT_EQ(0xFF000003u, dst.GetPixel(0, 0));
    EXPECT_EQ(0xFF000000u, dst.GetPixel(7, 0));
    // A source rectangle partly outside the source is cut first.
    CKorvelRect<int> s(-8, 0, 8, 1);
    CKorvelRect<int> whole(0, 0, 8, 1);
    dst.Fill(0, nullptr);
    dst.DrawStretched(&whole, src, &s, 0);
    EXPECT_EQ(0u, dst.GetPixel(3, 0));
    EXPECT_EQ(0xFF000000u, dst.GetPixel(4, 0));
    EXPECT_EQ(0xFF000006u, dst.GetPixel(7, 0));
}

TEST(CKorvelSurfaceStretch, BoxShrinkAverages)
{
    CTestSurface src(4, 1, KE_SURFACE_ARGB8888), dst(2, 1, KE_SURFACE_ARGB8888);
    src.SetPixel(0, 0, 0xFF000000);
    src.SetPixel(1, 0, 0xFF000000);
    src.SetPixel(2, 0, 0xFFFFFFFF);
    src.SetPixel(3, 0, 0xFFFFFFFF);
    dst.DrawStretched(nullptr, src, nullptr, 0x20);
    // Boxes are (width + 1) / 2 + 1 = 3 columns: 0..2 and 2..3 (column 4 is outside).
    EXPECT_EQ(0xFF555555u, dst.GetPixel(0, 0));
    EXPECT_EQ(0xFFFFFFFFu, dst.GetPixel(1, 0));
    // 8-bit destinations sample instead.
    CTestSurface s8(4, 1, KE_SURFACE_P8), d8a(2, 1, KE_SURFACE_P8), d8b(2, 1, KE_SURFACE_P8);
    FillNoise(s8, 3);
    d8a.DrawStretched(nullptr, s8, nullptr, 0x20);
    d8b.DrawStretched(nullptr, s8, nullptr, 0);
    EXPECT_EQ(HashSurface(d8a), HashSurface(d8b));
}

TEST(CKorvelSurfaceStretch, BlendedAndAlphaKernelsPerDepth)
{
    CTestSurface src(1, 1, KE_SURFACE_ARGB8888), dst(2, 1, KE_SURFACE_ARGB8888);
    src.SetPixel(0, 0, 0x80808080);
    dst.Fill(0xFF000000, nullptr);
    dst.DrawStretchedBlended(nullptr, src, nullptr, 0xFFFFFFFF, 0);
    EXPECT_EQ(0x807F7F7Fu, dst.GetPixel(1, 0)); // 255 x 128 >> 8, alpha from the source
    // Copy-alpha only.
    dst.Fill(0xFF112233, nullptr);
    dst.DrawStretched(nullptr, src, nullptr, 0x400);
    EXPECT_EQ(0x80112233u, dst.GetPixel(0, 0));

    // 16-bit with planes: flag 0x400 stretches the plane only.
    CTestSurface s16(1, 1, KE_SURFACE_RGB565, true), d16(3, 1, KE_SURFACE_RGB565, true);
    s16.SetPixel(0, 0, 0xFFFF);
    s16.GetAlphaChannel()[0] = 77;
    d16.Fill(0, nullptr);
    d16.DrawStretched(nullptr, s16, nullptr, 0x400);
    EXPECT_EQ(77, d16.GetAlphaChannel()[2]);
    EXPECT_EQ(0u, d16.GetPixel(2, 0));
    // Tinted: the alpha kernel; 12-bit destinations have none and stay as they are.
    d16.DrawStretchedBlended(nullptr, s16, nullptr, 0xFF000000, 0);
    EXPECT_EQ(0u, d16.GetPixel(1, 0));
    CTestSurface s444(1, 1, KE_SURFACE_RGB444), d444(2, 1, KE_SURFACE_RGB444);
    s444.SetPixel(0, 0, 0xFFF);
    d444.Fill(0, nullptr);
    d444.DrawStretchedBlended(nullptr, s444, nullptr, 0x80FFFFFF, 0);
    EXPECT_EQ(0u, d444.GetPixel(0, 0));
}
