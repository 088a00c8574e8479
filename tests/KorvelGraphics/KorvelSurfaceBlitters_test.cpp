#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

TEST(CKorvelSurfaceBlitters, EmptyRectangleWritesNothing)
{
    CTestSurface src(4, 4, KE_SURFACE_ARGB8888), dst(4, 4, KE_SURFACE_ARGB8888);
    src.Fill(0xFFFFFFFF, nullptr);
    dst.Fill(0, nullptr);
    CKorvelRect<int> r(1, 1, 1, 3);
    EXPECT_EQ(KE_OK, dst.Draw_32(0, 0, &src, r, 0));
    r.Set(0, 2, 4, 2);
    EXPECT_EQ(KE_OK, dst.Draw_32(0, 0, &src, r, 2));
    EXPECT_EQ(0u, dst.GetPixel(0, 0));
}

TEST(CKorvelSurfaceBlitters, Draw32FlipMirrorAndBlend)
{
    CTestSurface src(3, 2, KE_SURFACE_ARGB8888), dst(3, 2, KE_SURFACE_ARGB8888);
    FillCoordinates(src, 0xAA000000);
    CKorvelRect<int> r(0, 0, 3, 2);
    dst.Draw_32(0, 0, &src, r, 8);
    EXPECT_EQ(0xAA000100u, dst.GetPixel(0, 0)); // the last source row on top
    dst.Draw_32(0, 0, &src, r, 4);
    EXPECT_EQ((std::vector<unsigned int>{0xAA000002, 0xAA000001, 0xAA000000}), RowPixels(dst, 0));

    CTestSurface white(1, 1, KE_SURFACE_ARGB8888), black(1, 1, KE_SURFACE_ARGB8888);
    white.SetPixel(0, 0, 0xFFFFFFFF);
    black.SetPixel(0, 0, 0);
    CKorvelRect<int> one(0, 0, 1, 1);
    black.Draw_32(0, 0, &white, one, 2);
    EXPECT_EQ(0x7F7F7F7Fu, black.GetPixel(0, 0));
    // Keyed and blended: only the colour bits of the source take part.
    black.SetPixel(0, 0, 0xFE000000);
    white.SetColorKey(0x123456);
    black.Draw_32(0, 0, &white, one, 1 | 2);
    EXPECT_EQ(0x7F7F7F7Fu, black.GetPixel(0, 0));
}

TEST(CKorvelSurfaceBlitters, Draw32AlphaOnlyAndKeyedPaths)
{
    CTestSurface src(2, 1, KE_SURFACE_ARGB8888), dst(2, 1, KE_SURFACE_ARGB8888);
    src.SetPixel(0, 0, 0x80123456);
    src.SetPixel(1, 0, 0x40ABCDEF);
    src.SetColorKey(0x123456);
    CKorvelRect<int> r(0, 0, 2, 1);
    dst.SetPixel(0, 0, 0xFF000000);
    dst.SetPixel(1, 0, 0xFF000000);
    dst.Draw_32(0, 0, &src, r, 0x400 | 4); // alpha only; the mirror does not apply here
    EXPECT_EQ(0x80000000u, dst.GetPixel(0, 0));
    EXPECT_EQ(0x40000000u, dst.GetPixel(1, 0));
    // With the key, 0x400 is ignored and unkeyed pixels are copied whole.
    dst.Draw_32(0, 0, &src, r, 0x400 | 1);
    EXPECT_EQ(0x80000000u, dst.GetPixel(0, 0));
    EXPECT_EQ(0x40ABCDEFu, dst.GetPixel(1, 0));
}

TEST(CKorvelSurfaceBlitters, Draw16BlendKeyAndPlanes)
{
    CTestSurface src(2, 1, KE_SURFACE_RGB565), dst(2, 1, KE_SURFACE_RGB565);
    src.SetPixel(0, 0, 0xFFFF);
    src.SetPixel(1, 0, 0xFFFF);
    dst.Fill(0, nullptr);
    CKorvelRect<int> r(0, 0, 2, 1);
    dst.Draw_16(0, 0, &src, r, 0x400); // no planes: nothing at all
    EXPECT_EQ(0u, dst.GetPixel(0, 0));
    dst.Draw_16(0, 0, &src, r, 2);
    EXPECT_EQ(0x7BEFu, dst.GetPixel(0, 0));

    src.CreateAlphaChannel();
    dst.CreateAlphaChannel();
    src.GetAlphaChannel()[0] = 10;
    src.GetAlphaChannel()[1] = 20;
    src.SetPixel(0, 0, 0x1234);
    src.SetColorKey(0x1234);
    dst.Fill(0, nullptr);
    // The plane goes first whatever the key says, mirrored with flag 4.
    dst.Draw_16(0, 0, &src, r, 1 | 4);
    EXPECT_EQ(20, dst.GetAlphaChannel()[0]);
    EXPECT_EQ(10, dst.GetAlphaChannel()[1]);
    EXPECT_EQ(0xFFFFu, dst.GetPixel(0, 0));
    EXPECT_EQ(0u, dst.GetPixel(1, 0)); // keyed
    dst.Fill(0, nullptr);
    dst.Draw_16(0, 0, &src, r, 0x400); // with planes: the plane only
    EXPECT_EQ(10, dst.GetAlphaChannel()[0]);
    EXPECT_EQ(0u, dst.GetPixel(1, 0));
}

TEST(CKorvelSurfaceBlitters, Draw24Blend)
{
    CTestSurface src(1, 1, KE_SURFACE_RGB888), dst(1, 1, KE_SURFACE_RGB888);
    src.SetPixel(0, 0, 0x304050);
    dst.SetPixel(0, 0, 0x102030);
    CKorvelRect<int> r(0, 0, 1, 1);
    dst.Draw_24(0, 0, &src, r, 2);
    EXPECT_EQ(0x203040u, dst.GetPixel(0, 0));
}

TEST(CKorvelSurfaceBlitters, Draw8CheckerboardForHalfBlend)
{
    CTestSurface src(4, 2, KE_SURFACE_P8), dst(4, 2, KE_SURFACE_P8);
    src.Fill(0xFFFFFFFF, nullptr);
    dst.Fill(0, nullptr);
    CKorvelRect<int> r(0, 0, 4, 2);
    dst.Draw_8(0, 0, &src, r, 2);
    EXPECT_EQ((std::vector<unsigned int>{0xFF, 0, 0xFF, 0}), RowPixels(dst, 0));
    EXPECT_EQ((std::vector<unsigned int>{0, 0xFF, 0, 0xFF}), RowPixels(dst, 1));
}
