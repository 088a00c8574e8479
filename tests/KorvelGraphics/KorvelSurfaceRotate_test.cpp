#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
const unsigned int kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// 20 x 10: the top five rows red, the bottom five blue. With radius 14 the source's
// width spans 20 pixels, one source pixel per destination pixel.
struct sHALVES
{
    CTestSurface src{20, 10, KE_SURFACE_ARGB8888};
    CTestSurface dst{40, 40, KE_SURFACE_ARGB8888};
    sHALVES()
    {
        CKorvelRect<int> top(0, 0, 20, 5), bottom(0, 5, 20, 10);
        src.Fill(kRed, &top);
        src.Fill(kBlue, &bottom);
        dst.Fill(0, nullptr);
    }
};
} // namespace

TEST(CKorvelSurfaceRotate, UnturnedNonSquareSourceIsCentredOnItsOwnMiddle)
{
    sHALVES h;
    EXPECT_EQ(KE_OK, h.dst.DrawRotated(20, 20, h.src, 0.0f, 14, 0));
    EXPECT_EQ(kRed, h.dst.GetPixel(20, 15));
    EXPECT_EQ(kRed, h.dst.GetPixel(20, 19));
    EXPECT_EQ(kBlue, h.dst.GetPixel(20, 20));
    EXPECT_EQ(kBlue, h.dst.GetPixel(20, 25));
    // Five rows up and down from the middle is all the source has.
    EXPECT_EQ(0u, h.dst.GetPixel(20, 14));
    EXPECT_EQ(0u, h.dst.GetPixel(20, 26));
}

TEST(CKorvelSurfaceRotate, QuarterTurnPutsTheTopOnTheRight)
{
    sHALVES h;
    h.dst.DrawRotated(20, 20, h.src, KE_HALF_PI, 14, 0);
    EXPECT_EQ(kRed, h.dst.GetPixel(23, 20));
    EXPECT_EQ(kBlue, h.dst.GetPixel(17, 20));
    EXPECT_EQ(0u, h.dst.GetPixel(30, 20));
}

TEST(CKorvelSurfaceRotate, FlagsCentringAndEdges)
{
    sHALVES h;
    EXPECT_EQ(KE_OK, h.dst.DrawRotated(20, 20, h.src, 0.3f, 0, 0));
    EXPECT_EQ(KE_OK, h.dst.DrawRotated(-100, 20, h.src, 0.3f, 10, 0));
    EXPECT_EQ(0u, h.dst.GetPixel(20, 20));
    h.src.SetColorKey(kBlue & 0xFFFFFF);
    h.dst.DrawRotated(0, 0, h.src, 0.0f, 14, 0x100 | 0x200 | 1);
    EXPECT_EQ(kRed, h.dst.GetPixel(20, 19));
    EXPECT_EQ(0u, h.dst.GetPixel(20, 20)); // keyed
    h.dst.Fill(0xFF000000, nullptr);
    h.dst.DrawRotated(20, 20, h.src, 0.0f, 14, 2);
    EXPECT_EQ(0xFE7F0000u, h.dst.GetPixel(20, 19)); // halves through the mask 0xFEFEFEFE
    // Drawing at the very edge stays inside the surface.
    h.dst.DrawRotated(39, 39, h.src, 0.7f, 30, 0);
    h.dst.DrawRotated(0, 0, h.src, -2.0f, 30, 0);
}

TEST(CKorvelSurfaceRotate, PaletteHalfBlendIsACheckerboard)
{
    CTestSurface src(8, 8, KE_SURFACE_P8), dst(16, 16, KE_SURFACE_P8);
    src.Fill(0xFFFFFFFF, nullptr);
    dst.Fill(0, nullptr);
    dst.DrawRotated(8, 8, src, 0.0f, 6, 2);
    int written = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            if ((x + y) & 1)
                EXPECT_EQ(0u, dst.GetPixel(x, y));
            else
                written += dst.GetPixel(x, y) == 0xFF;
        }
    EXPECT_GT(written, 10);
}

TEST(CKorvelSurfaceRotate, OtherFormatsAndSourceConversion)
{
    sHALVES h;
    CTestSurface d565(40, 40, KE_SURFACE_RGB565), d24(40, 40, KE_SURFACE_RGB888);
    d565.Fill(0, nullptr);
    d24.Fill(0, nullptr);
    d565.DrawRotated(20, 20, h.src, 0.0f, 14, 0);
    d24.DrawRotated(20, 20, h.src, 0.0f, 14, 0);
    EXPECT_EQ(0xF800u, d565.GetPixel(20, 19));
    EXPECT_EQ(0x001Fu, d565.GetPixel(20, 20));
    EXPECT_EQ(0xFF0000u, d24.GetPixel(20, 19));
    CTestSurface s565(20, 10, KE_SURFACE_RGB565);
    s565.Draw(0, 0, h.src, nullptr, 0);
    d565.Fill(0, nullptr);
    d565.DrawRotated(20, 20, s565, 0.0f, 14, 2);
    EXPECT_EQ(0x7800u, d565.GetPixel(20, 19)); // (0xF800 & 0xF7DE) >> 1
}
