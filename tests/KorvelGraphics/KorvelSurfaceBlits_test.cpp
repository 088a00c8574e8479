#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
// A 32 x 32 source whose pixel value is its column (and row above).
struct sCOORD_SCENE
{
    CTestSurface src{32, 32, KE_SURFACE_ARGB8888};
    CTestSurface dst{64, 64, KE_SURFACE_ARGB8888};
    sCOORD_SCENE()
    {
        FillCoordinates(src, 0xFF000000);
        dst.Fill(0, nullptr);
    }
};
} // namespace

TEST(CKorvelSurfaceBlits, ClipAtNegativePositionsWithAndWithoutMirror)
{
    sCOORD_SCENE s;
    s.dst.Draw(-10, 0, s.src, nullptr, 0);
    EXPECT_EQ(0xFF00000Au, s.dst.GetPixel(0, 0));
    EXPECT_EQ(0xFF00001Fu, s.dst.GetPixel(21, 0));
    EXPECT_EQ(0u, s.dst.GetPixel(22, 0));
    s.dst.Draw(-10, 0, s.src, nullptr, 4);
    EXPECT_EQ(0xFF000015u, s.dst.GetPixel(0, 0)); // column 21
    EXPECT_EQ(0xFF000000u, s.dst.GetPixel(21, 0));
    // The same on the vertical axis with flag 8.
    s.dst.Fill(0, nullptr);
    s.dst.Draw(0, -5, s.src, nullptr, 8);
    EXPECT_EQ(0xFF001A00u, s.dst.GetPixel(0, 0)); // row 26 = 31 - 5
    EXPECT_EQ(0xFF000000u, s.dst.GetPixel(0, 26));
    EXPECT_EQ(0u, s.dst.GetPixel(0, 27));
}

TEST(CKorvelSurfaceBlits, MirroredCutOfASubRectangleIsSymmetric)
{
    sCOORD_SCENE s;
    CKorvelRect<int> sub(8, 0, 24, 1);
    // 8 of the 16 columns fit at x = 56.
    s.dst.Draw(56, 0, s.src, &sub, 0);
    EXPECT_EQ(0xFF000008u, s.dst.GetPixel(56, 0));
    EXPECT_EQ(0xFF00000Fu, s.dst.GetPixel(63, 0));
    // Mirrored, the visible half shows the sub-rectangle's right half, back to front.
    s.dst.Draw(56, 0, s.src, &sub, 4);
    EXPECT_EQ(0xFF000017u, s.dst.GetPixel(56, 0));
    EXPECT_EQ(0xFF000010u, s.dst.GetPixel(63, 0));
    // The left edge, mirrored: the overhang comes off the right side of the sub-rectangle.
    s.dst.Draw(-4, 0, s.src, &sub, 4);
    EXPECT_EQ(0xFF000013u, s.dst.GetPixel(0, 0));
    EXPECT_EQ(0xFF000008u, s.dst.GetPixel(11, 0));
}

TEST(CKorvelSurfaceBlits, SourceRectangleIsCutToTheSource)
{
    sCOORD_SCENE s;
    CKorvelRect<int> big(-5, -3, 40, 40);
    EXPECT_EQ(KE_OK, s.dst.Draw(10, 10, s.src, &big, 0));
    EXPECT_EQ(0xFF000000u, s.dst.GetPixel(15, 13)); // source (0, 0) moved with the cut
    EXPECT_EQ(0xFF001F1Fu, s.dst.GetPixel(46, 44));
    EXPECT_EQ(0u, s.dst.GetPixel(47, 44));
    EXPECT_EQ(0u, s.dst.GetPixel(14, 13));
    s.dst.Fill(0, nullptr);
    s.dst.Draw(10, 10, s.src, &big, 4);
    EXPECT_EQ(0xFF00001Fu, s.dst.GetPixel(18, 13)); // 8 columns of overhang on the right come off the left
    CKorvelRect<int> away(100, 100, 120, 120);
    EXPECT_EQ(KE_OK, s.dst.Draw(0, 0, s.src, &away, 0));
    // Flag 0x10 is not trusted with memory: still clipped to the surface.
    EXPECT_EQ(KE_OK, s.dst.Draw(50, 50, s.src, nullptr, 0x10));
    EXPECT_EQ(0xFF000D0Du, s.dst.GetPixel(63, 63));
}

TEST(CKorvelSurfaceBlits, CentringWholeCopyAndSourceAlphaFallback)
{
    sCOORD_SCENE s;
    CKorvelRect<int> sub(0, 0, 10, 6);
    s.dst.Draw(999, -999, s.src, &sub, 0x300);
    EXPECT_EQ(0xFF000000u, s.dst.GetPixel(27, 29));
    EXPECT_EQ(0u, s.dst.GetPixel(26, 29));

    CTestSurface a(4, 4, KE_SURFACE_RGB565), b(4, 4, KE_SURFACE_RGB565);
    FillNoise(a, 7);
    b.Draw(0, 0, a, nullptr, 0);
    EXPECT_EQ(HashSurface(a), HashSurface(b));
    // 0x80 from a 16-bit source without a plane is a plain draw.
    b.Fill(0, nullptr);
    b.Draw(0, 0, a, nullptr, 0x80);
    EXPECT_EQ(HashSurface(a), HashSurface(b));
}

TEST(CKorvelSurfaceBlits, AlphaDraw32)
{
    CTestSurface src(3, 1, KE_SURFACE_ARGB8888), dst(3, 1, KE_SURFACE_ARGB8888);
    src.SetPixel(0, 0, 0x80402010);
    src.SetPixel(1, 0, 0x00FFFFFF);
    src.SetPixel(2, 0, 0xFF123456);
    for (int x = 0; x < 3; ++x)
        dst.SetPixel(x, 0, 0x7F204060);
    dst.Draw(0, 0, src, nullptr, 0x80);
    // inv = 127: 0x40 + 0x20 x 127 >> 8 = 0x4F; 0x20 + 0x3F; 0x10 + 0x2F; alpha kept.
    EXPECT_EQ(0x7F4F3F3Fu, dst.GetPixel(0, 0));
    EXPECT_EQ(0x7F204060u, dst.GetPixel(1, 0));
    EXPECT_EQ(0x7F123456u, dst.GetPixel(2, 0));
    // Mirrored and keyed.
    src.SetColorKey(0x402010);
    dst.SetPixel(2, 0, 0);
    dst.Draw(0, 0, src, nullptr, 0x80 | 1 | 4);
    EXPECT_EQ(0x7F123456u, dst.GetPixel(0, 0));
    EXPECT_EQ(0u, dst.GetPixel(2, 0));
}

TEST(CKorvelSurfaceBlits, AlphaDrawBelow32BitsUsesThePlane)
{
    CTestSurface src(2, 1, KE_SURFACE_RGB565, true), dst(2, 1, KE_SURFACE_RGB565);
    src.SetPixel(0, 0, 0x8410); // 128, 128, 128 premultiplied by alpha 128
    src.SetPixel(1, 0, 0x1234);
    src.GetAlphaChannel()[0] = 128;
    src.GetAlphaChannel()[1] = 0;
    dst.Fill(0xFFFFFFFF, nullptr);
    dst.Draw(0, 0, src, nullptr, 0x80);
    // 128 + 248 x 127 >> 8 = 251 -> 31; green 128 + 252 x 127 >> 8 = 253 -> 63.
    EXPECT_EQ(0xFFFFu, dst.GetPixel(0, 0));
    EXPECT_EQ(0xFFFFu, dst.GetPixel(1, 0));
    dst.Fill(0, nullptr);
    dst.Draw(0, 0, src, nullptr, 0x80);
    EXPECT_EQ(0x8410u, dst.GetPixel(0, 0));

    CTestSurface p(1, 1, KE_SURFACE_P8, true), q(1, 1, KE_SURFACE_P8);
    p.SetPixel(0, 0, 0xFF);
    p.GetAlphaChannel()[0] = 255;
    q.SetPixel(0, 0, 0);
    q.Draw(0, 0, p, nullptr, 0x80);
    EXPECT_EQ(0xFFu, q.GetPixel(0, 0));

    CTestSurface s24(1, 1, KE_SURFACE_RGB888, true), d24(1, 1, KE_SURFACE_RGB888);
    s24.SetPixel(0, 0, 0xABCDEF);
    s24.SetColorKey(0xABCDEF);
    d24.SetPixel(0, 0, 1);
    d24.Draw(0, 0, s24, nullptr, 0x80 | 1); // a keyed copy at 24 bits
    EXPECT_EQ(1u, d24.GetPixel(0, 0));
}

TEST(CKorvelSurfaceBlits, DrawBlendedTintsAndFades)
{
    CTestSurface src(2, 1, KE_SURFACE_ARGB8888), dst(2, 1, KE_SURFACE_ARGB8888);
    src.SetPixel(0, 0, 0xFFFFFFFF);
    src.SetPixel(1, 0, 0xFF000000);
    dst.Fill(0x11223344, nullptr);
    EXPECT_EQ(KE_OK, dst.DrawBlended(0, 0, src, nullptr, 0x00FFFFFF, 0));
    EXPECT_EQ(0x11223344u, dst.GetPixel(0, 0));
    dst.DrawBlended(0, 0, src, nullptr, 0xFF800000, 4);
    EXPECT_EQ(0xFF000000u, dst.GetPixel(0, 0)); // mirrored: the black pixel
    EXPECT_EQ(0xFF7F0000u, dst.GetPixel(1, 0)); // white tinted by 0x80 red
    CTestSurface s24(1, 1, KE_SURFACE_RGB888);
    EXPECT_EQ(KE_ERR_DECODE, s24.DrawBlended(0, 0, src, nullptr, 0xFFFFFFFF, 0));

    // 16-bit with the source plane, flipped rows.
    CTestSurface s16(1, 2, KE_SURFACE_RGB565, true), d16(1, 2, KE_SURFACE_RGB565);
    s16.SetPixel(0, 0, 0xFFFF);
    s16.SetPixel(0, 1, 0xFFFF);
    s16.GetAlphaChannel()[0] = 255;
    s16.GetAlphaChannel()[1] = 0;
    d16.Fill(0, nullptr);
    d16.DrawBlended(0, 0, s16, nullptr, 0xFFFFFFFF, 8);
    EXPECT_EQ(0u, d16.GetPixel(0, 0));
    EXPECT_EQ(0xF7DEu, d16.GetPixel(0, 1));
}
