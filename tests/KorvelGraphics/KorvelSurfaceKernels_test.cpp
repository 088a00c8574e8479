#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
typedef CKorvelSurface::BLEND_HORLINE_PARAMS BlendParams;

BlendParams Blend(const void* src, void* dst, int count, unsigned int argb, unsigned int flags = 0,
                  const unsigned char* alpha = nullptr, unsigned int key = 0)
{
    return BlendParams{src,         dst, alpha, count, argb >> 24, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF,
                       argb & 0xFF, key, flags};
}
} // namespace

TEST(CKorvelSurfaceKernels, Blend16MirrorsWithinTheSpan)
{
    CKorvelSurface k;
    const unsigned short src[3] = {0x0001, 0x0002, 0x0003};
    unsigned short dst[5] = {0x1111, 0, 0, 0, 0x2222}; // guards on both sides
    k.Horline_Blend_16(Blend(src, dst + 1, 3, 0xFFFFFFFF, 4));
    EXPECT_EQ(0x1111, dst[0]);
    EXPECT_EQ(0x2222, dst[4]);
    // Blue 1..3 widens to 8..24 and comes back as (255 x 8 >> 8) >> 3 = 0, 1, 2.
    EXPECT_EQ(2, dst[1]);
    EXPECT_EQ(1, dst[2]);
    EXPECT_EQ(0, dst[3]);
}

TEST(CKorvelSurfaceKernels, Blend16Values)
{
    CKorvelSurface k;
    const unsigned short src[2] = {0xFFFF, 0xFFFF};
    unsigned short dst[2] = {0x1234, 0x0000};
    const unsigned char zeros[2] = {0, 0};
    k.Horline_Blend_16(Blend(src, dst, 2, 0xFFFFFFFF, 0, zeros));
    EXPECT_EQ(0x1234, dst[0]);
    // Opaque, white tint, full global alpha: channels x 255 / 256.
    k.Horline_Blend_16(Blend(src, dst, 2, 0xFFFFFFFF));
    EXPECT_EQ(0xF7DE, dst[0]);
    // Global alpha 128 over black halves without a rounding term.
    dst[1] = 0;
    k.Horline_Blend_16(Blend(src + 1, dst + 1, 1, 0x80FFFFFF));
    EXPECT_EQ(0x7BEF, dst[1]);
    // A keyed source pixel is skipped.
    dst[0] = 0x1234;
    k.Horline_Blend_16(Blend(src, dst, 1, 0xFFFFFFFF, 1, nullptr, 0xFFFF));
    EXPECT_EQ(0x1234, dst[0]);
}

TEST(CKorvelSurfaceKernels, Blend32AlphaByteAndKey)
{
    CKorvelSurface k;
    const unsigned int src[3] = {0x80402010, 0x00FFFFFF, 0xFF123456};
    unsigned int dst[3] = {0xFF204060, 0xAABBCCDD, 0x01020304};
    k.Horline_Blend_32(Blend(src, dst, 3, 0xFFFFFFFF, 1, nullptr, 0x123456));
    // inv = 127: red 0x40 x 255 >> 8 + 0x20 x 127 >> 8 = 63 + 15, and so on.
    EXPECT_EQ(0x804E3E3Eu, dst[0]);
    EXPECT_EQ(0xAABBCCDDu, dst[1]); // alpha 0
    EXPECT_EQ(0x01020304u, dst[2]); // keyed whatever its alpha
    // Global alpha 0 keeps the colour and ORs the source alpha in.
    unsigned int d2 = 0x00102030;
    k.Horline_Blend_32(Blend(src, &d2, 1, 0x00FFFFFF));
    EXPECT_EQ(0x80102030u, d2);
}

TEST(CKorvelSurfaceKernels, BlendColourMovesTowardTheColourAndKeepsAlpha)
{
    CKorvelSurface k;
    unsigned int d32[2] = {0x7FC80001, 0xFF000000};
    k.Horline_Blend_Color_32(Blend(nullptr, d32, 2, 0x80000000));
    // 200 + (128 x -200 >> 8) = 100; 1 + (128 x -1 >> 8) = 0 (rounds toward minus infinity).
    EXPECT_EQ(0x7F640000u, d32[0]);
    EXPECT_EQ(0xFF000000u, d32[1]);
    unsigned short d16[1] = {0x0000};
    k.Horline_Blend_Color_16(Blend(nullptr, d16, 1, 0xFFFFFFFF));
    EXPECT_EQ(0xFFFF, d16[0]); // 0 + 255 x 255 >> 8 = 254 in every channel
    unsigned char d8[1] = {0};
    k.Horline_Blend_Color_8(Blend(nullptr, d8, 1, 0xFFFFFFFF));
    EXPECT_EQ(0xFF, d8[0]);
}

TEST(CKorvelSurfaceKernels, Blend8GoesThroughThePalette)
{
    CKorvelSurface k;
    const unsigned char src[2] = {0xFF, 0xE0}; // white, red
    unsigned char dst[2] = {0x00, 0x1F};
    const unsigned char alpha[2] = {255, 0};
    k.Horline_Blend_8(Blend(src, dst, 2, 0xFFFFFFFF, 0, alpha));
    EXPECT_EQ(0xFF, dst[0]); // 254 in every channel maps back to white
    EXPECT_EQ(0x1F, dst[1]);
    // The key is a palette colour.
    dst[0] = 0;
    k.Horline_Blend_8(Blend(src + 1, dst, 1, 0xFFFFFFFF, 1, nullptr, 0xFF0000));
    EXPECT_EQ(0, dst[0]);
}

TEST(CKorvelSurfaceKernels, LightnessPerDepth)
{
    CKorvelSurface k;
    unsigned short d16[1] = {0xFFFF};
    k.Horline_SetLightness_16(d16, 1, 128, 128, 128);
    EXPECT_EQ(0x7BEF, d16[0]);
    unsigned int d32[1] = {0x80FF8040};
    k.Horline_SetLightness_32(d32, 1, 255, 128, 0);
    EXPECT_EQ(0x80FE4000u, d32[0]);
    unsigned char d8[1] = {0xFF};
    k.Horline_SetLightness_8(d8, 1, 0, 0, 0);
    EXPECT_EQ(0, d8[0]);
    k.Horline_SetLightness_32(d32, 0, 0, 0, 0);
    EXPECT_EQ(0x80FE4000u, d32[0]);
}

TEST(CKorvelSurfaceKernels, GouraudRows)
{
    CKorvelSurface k;
    unsigned int d32[5] = {0xAA000000, 0xBB000000, 0xCC000000, 0xDD000000, 0x11111111};
    k.Horline_Gouraud_32(d32, 4, 4, 0, 0, 0, 255 * 65535, 0, 0);
    EXPECT_EQ(0xAA000000u, d32[0]);
    EXPECT_EQ(0xBB3F0000u, d32[1]);
    EXPECT_EQ(0xCC7F0000u, d32[2]);
    EXPECT_EQ(0xDDBF0000u, d32[3]);
    EXPECT_EQ(0x11111111u, d32[4]);
    unsigned short d16[2];
    k.Horline_Gouraud_16(d16, 2, 2, 255 * 65535, 255 * 65535, 255 * 65535, 255 * 65535, 255 * 65535,
                         255 * 65535);
    EXPECT_EQ(0xFFFF, d16[0]);
    unsigned char d8[1];
    k.Horline_Gouraud_8(d8, 1, 1, 255 * 65535, 255 * 65535, 255 * 65535, 0, 0, 0);
    EXPECT_EQ(0xFF, d8[0]);
}

TEST(CKorvelSurfaceKernels, FillsAndCopies)
{
    unsigned char d24[6] = {1, 1, 1, 1, 1, 1};
    CKorvelSurface::HorlineFill_24(d24, 1, 0x123456);
    EXPECT_EQ(0x12, d24[0]);
    EXPECT_EQ(0x34, d24[1]);
    EXPECT_EQ(0x56, d24[2]);
    EXPECT_EQ(1, d24[3]);
    unsigned short d16[2] = {0, 7};
    CKorvelSurface::HorlineFill_16(d16, 1, 0xABCD1234);
    EXPECT_EQ(0x1234, d16[0]);
    EXPECT_EQ(7, d16[1]);
    unsigned int d32[1] = {5};
    CKorvelSurface::HorlineFill_32(d32, 0, 9);
    EXPECT_EQ(5u, d32[0]);
    unsigned char d8[2] = {0, 0};
    CKorvelSurface::HorlineFill_8(d8, 2, 0x1FF);
    EXPECT_EQ(0xFF, d8[1]);

    const unsigned int pal[2] = {0x00FF8040, 0x00123456};
    const unsigned char idx[2] = {0, 1};
    unsigned short c16[2];
    CKorvelSurface::HorlineCopy_8to16(idx, reinterpret_cast<unsigned char*>(c16), pal, 2);
    EXPECT_EQ((31 << 11) | (32 << 5) | 8, c16[0]);
    CKorvelSurface::HorlineCopy_8to12(idx, reinterpret_cast<unsigned char*>(c16), pal, 2);
    EXPECT_EQ(0xF84, c16[0]);
    unsigned int c32[2];
    CKorvelSurface::HorlineCopy_8to32(idx, reinterpret_cast<unsigned char*>(c32), pal, 2);
    EXPECT_EQ(0x123456u, c32[1]);

    unsigned char img[2][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    unsigned char out[2][3] = {};
    CKorvelSurface::CopyImageHorlines(2, out, 3, img, 4);
    EXPECT_EQ(7, out[1][2]);
    CKorvelSurface::CopyImageHorlines(0, out, 3, nullptr, 4);
}
