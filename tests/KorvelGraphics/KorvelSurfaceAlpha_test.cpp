#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

TEST(CKorvelSurface, AlphaPlaneOnlyBelow32Bits)
{
    CTestSurface s32(2, 2, KE_SURFACE_ARGB8888);
    EXPECT_EQ(KE_ERR_DECODE, s32.CreateAlphaChannel());
    EXPECT_EQ(KE_ERR_NOTSTARTED, CKorvelSurface().CreateAlphaChannel());
    CTestSurface s16(2, 2, KE_SURFACE_RGB565);
    EXPECT_EQ(KE_OK, s16.CreateAlphaChannel());
    EXPECT_NE(nullptr, s16.GetAlphaChannel());
    s16.ReleaseAlphaChannel();
    EXPECT_EQ(nullptr, s16.GetAlphaChannel());
}

TEST(CKorvelSurface, ApplyAlphaChannelPremultiplies565AndFillsThePlane)
{
    CTestSurface s(2, 1, KE_SURFACE_RGB565);
    s.SetPixel(0, 0, 0xFFFF);
    s.SetPixel(1, 0, 0xFFFF);
    const unsigned char alpha[2] = {128, 255};
    SKE_SURFACEDESC desc = {2, 1, 2, KE_SURFACE_P8, 0, 1};
    ASSERT_EQ(KE_OK, s.ApplyAlphaChannel(desc, alpha));
    EXPECT_EQ(0x7BEFu, s.GetPixel(0, 0)); // (128 x 248) & 0xF800 | 31 << 5 | 15
    EXPECT_EQ(0xFFFFu, s.GetPixel(1, 0));
    EXPECT_EQ(128, s.GetAlphaChannel()[0]);
    EXPECT_EQ(255, s.GetAlphaChannel()[1]);

    // 32 bits: the alpha byte is written; rows of the alpha image are desc.iPitch apart.
    CTestSurface s32(3, 2, KE_SURFACE_ARGB8888);
    s32.SetPixel(0, 1, 0xFF804020);
    s32.SetPixel(1, 1, 0x12345678);
    s32.SetPixel(2, 1, 0xFFFFFFFF);
    const unsigned char alpha32[16] = {9, 9, 9, 9, 9, 9, 9, 9, 0x80, 255, 0, 9, 9, 9, 9, 9};
    SKE_SURFACEDESC desc32 = {3, 2, 8, KE_SURFACE_P8, 0, 1};
    ASSERT_EQ(KE_OK, s32.ApplyAlphaChannel(desc32, alpha32));
    // Alpha 255 keeps the word, own top byte included.
    EXPECT_EQ((std::vector<unsigned int>{0x80402010, 0x12345678, 0}), RowPixels(s32, 1));
}

TEST(CKorvelSurface, ApplyAlphaChannelRefusesOtherFormatsAndSizes)
{
    CTestSurface s(2, 2, KE_SURFACE_RGB565);
    s.Fill(0xFFFFFFFF, nullptr);
    const unsigned char alpha[4] = {0, 0, 0, 0};
    SKE_SURFACEDESC desc = {1, 2, 1, KE_SURFACE_P8, 0, 1};
    EXPECT_EQ(KE_ERR_BADDATA, s.ApplyAlphaChannel(desc, alpha));
    desc.eFormat = KE_SURFACE_RGB565;
    EXPECT_EQ(KE_ERR_DECODE, s.ApplyAlphaChannel(desc, alpha));
    desc = {2, 2, 2, KE_SURFACE_P8, 0, 1};
    EXPECT_EQ(KE_ERR_INVALIDARG, s.ApplyAlphaChannel(desc, nullptr));
    EXPECT_EQ(0xFFFFu, s.GetPixel(0, 0));
    EXPECT_EQ(nullptr, s.GetAlphaChannel());
}

TEST(CKorvelSurface, ApplyAlphaChannelFromAMaskTakesItsBlueChannel)
{
    CTestSurface s(2, 1, KE_SURFACE_ABGR8888);
    s.Fill(0xFFFFFFFF, nullptr);
    CTestSurface mask(2, 1, KE_SURFACE_ARGB8888);
    mask.SetPixel(0, 0, 0xFF000040);
    mask.SetPixel(1, 0, 0xFF0000FF);
    ASSERT_EQ(KE_OK, s.ApplyAlphaChannel(mask));
    EXPECT_EQ(0x403F3F3Fu, s.GetPixel(0, 0));
    EXPECT_EQ(0xFFFFFFFFu, s.GetPixel(1, 0));
    CTestSurface other(3, 1, KE_SURFACE_ARGB8888);
    EXPECT_EQ(KE_ERR_INVALIDARG, s.ApplyAlphaChannel(other));

    // 8-bit, 12-, 15- and 24-bit colours are premultiplied in their own layout.
    CTestSurface s24(1, 1, KE_SURFACE_RGB888);
    s24.SetPixel(0, 0, 0xFF8040);
    CTestSurface m1(1, 1, KE_SURFACE_ARGB8888);
    m1.SetPixel(0, 0, 0x80);
    ASSERT_EQ(KE_OK, s24.ApplyAlphaChannel(m1));
    EXPECT_EQ(0x7F4020u, s24.GetPixel(0, 0));
    EXPECT_EQ(0x80, s24.GetAlphaChannel()[0]);
    CTestSurface s555(1, 1, KE_SURFACE_RGB555);
    s555.SetPixel(0, 0, 0x7FFF);
    ASSERT_EQ(KE_OK, s555.ApplyAlphaChannel(m1));
    EXPECT_EQ((15u << 10) | (15u << 5) | 15u, s555.GetPixel(0, 0));
}

TEST(CKorvelSurface, AlphaToGrayscaleValue)
{
    CTestSurface s32(2, 1, KE_SURFACE_ARGB8888);
    s32.SetPixel(0, 0, 0x00102030);
    s32.SetPixel(1, 0, 0x11FFFFFF);
    EXPECT_EQ(KE_OK, s32.AlphaToGrayscaleValue(CKorvelRect<int>(-4, -4, 1, 9)));
    EXPECT_EQ(0x20102030u, s32.GetPixel(0, 0));
    EXPECT_EQ(0x11FFFFFFu, s32.GetPixel(1, 0));

    CTestSurface s16(1, 1, KE_SURFACE_RGB565);
    s16.SetPixel(0, 0, 0xFFFF);
    EXPECT_EQ(KE_OK, s16.AlphaToGrayscaleValue(CKorvelRect<int>(0, 0, 1, 1)));
    ASSERT_NE(nullptr, s16.GetAlphaChannel());
    EXPECT_EQ((248 + 252 + 248) / 3, s16.GetAlphaChannel()[0]);

    // A rectangle off the surface still creates the plane but changes no pixel.
    CTestSurface far(1, 1, KE_SURFACE_RGB565);
    EXPECT_EQ(KE_OK, far.AlphaToGrayscaleValue(CKorvelRect<int>(5, 5, 9, 9)));
    EXPECT_NE(nullptr, far.GetAlphaChannel());
    EXPECT_EQ(KE_ERR_NOTSTARTED, CKorvelSurface().AlphaToGrayscaleValue(CKorvelRect<int>()));
}

TEST(CKorvelSurface, NegateComplementsColourBitsOnly)
{
    CTestSurface s32(2, 1, KE_SURFACE_ARGB8888);
    s32.SetPixel(0, 0, 0xFF102030);
    s32.SetPixel(1, 0, 0x00FFFFFF);
    s32.Negate();
    EXPECT_EQ(0xFFEFDFCFu, s32.GetPixel(0, 0)); // opaque stays opaque
    EXPECT_EQ(0x00000000u, s32.GetPixel(1, 0));

    // Nine bytes: the last one is not skipped.
    CTestSurface s24(3, 1, KE_SURFACE_RGB888);
    for (int x = 0; x < 3; ++x)
        s24.SetPixel(x, 0, 0x0F0F0F);
    s24.Negate();
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(0xF0F0F0u, s24.GetPixel(x, 0));

    CTestSurface s555(1, 1, KE_SURFACE_RGB555);
    s555.SetPixel(0, 0, 0x0000);
    s555.Negate();
    EXPECT_EQ(0x7FFFu, s555.GetPixel(0, 0));

    CTestSurface s8(2, 1, KE_SURFACE_P8);
    s8.SetPixel(0, 0, 0x12);
    s8.Negate();
    EXPECT_EQ(0x12u, s8.GetPixel(0, 0));
}
