#include "KorvelGraphics/KorvelSurface.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
typedef CKorvelSurface::ZOOM_PARAMS ZoomParams;

ZoomParams Zoom(const void* src, void* dst, int srcWidth, int count, unsigned int argb = 0xFFFFFFFF,
                unsigned int flags = 0, const unsigned char* srcAlpha = nullptr,
                unsigned char* dstAlpha = nullptr, unsigned int key = 0)
{
    const unsigned int a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return ZoomParams{src, dst, srcWidth, count, key, srcAlpha, dstAlpha, a, r, g, b, flags};
}
} // namespace

TEST(CKorvelSurfaceZoom, IndexSequences)
{
    CKorvelSurface k;
    const unsigned short src[3] = {10, 11, 12};
    unsigned short dst[7];
    k.Horline_Zoom_16(Zoom(src, dst, 2, 4));
    EXPECT_EQ((std::vector<unsigned short>{10, 10, 11, 11}), std::vector<unsigned short>(dst, dst + 4));
    // Mirrored: the source pointer at the span's last pixel, width negative.
    k.Horline_Zoom_16(Zoom(src + 1, dst, -2, 4));
    EXPECT_EQ((std::vector<unsigned short>{11, 11, 10, 10}), std::vector<unsigned short>(dst, dst + 4));
    // 3 onto 7: step 28086, indices 0 0 0 1 1 2 2.
    k.Horline_Zoom_16(Zoom(src, dst, 3, 7));
    EXPECT_EQ((std::vector<unsigned short>{10, 10, 10, 11, 11, 12, 12}),
              std::vector<unsigned short>(dst, dst + 7));
    // Shrinking 3 onto 2: indices 0 1.
    const unsigned int src32[3] = {1, 2, 3};
    unsigned int dst32[2] = {};
    k.Horline_Zoom_32(Zoom(src32, dst32, 3, 2));
    EXPECT_EQ(1u, dst32[0]);
    EXPECT_EQ(2u, dst32[1]);
    const unsigned char src8[2] = {4, 5};
    unsigned char dst8[3] = {9, 9, 9};
    k.Horline_Zoom_8(Zoom(src8, dst8, 2, 0));
    EXPECT_EQ(9, dst8[0]);
}

TEST(CKorvelSurfaceZoom, KeyedCopiesLeaveKeyedPixels)
{
    CKorvelSurface k;
    const unsigned int src[2] = {0xFF123456, 0x00ABCDEF};
    unsigned int dst[2] = {7, 7};
    k.Horline_Zoom_CC_32(Zoom(src, dst, 2, 2, 0xFFFFFFFF, 1, nullptr, nullptr, 0x123456));
    EXPECT_EQ(7u, dst[0]);
    EXPECT_EQ(0x00ABCDEFu, dst[1]);
    const unsigned short s16[2] = {0x1234, 0x5678};
    unsigned short d16[2] = {1, 1};
    k.Horline_Zoom_CC_16(Zoom(s16, d16, 2, 2, 0xFFFFFFFF, 1, nullptr, nullptr, 0x5678));
    EXPECT_EQ(0x1234, d16[0]);
    EXPECT_EQ(1, d16[1]);
    const unsigned char s8[1] = {3};
    unsigned char d8[2] = {1, 1};
    k.Horline_Zoom_CC_8(Zoom(s8, d8, 1, 2, 0xFFFFFFFF, 1, nullptr, nullptr, 3));
    EXPECT_EQ(1, d8[1]);
}

TEST(CKorvelSurfaceZoom, CopyAlphaOnly)
{
    CKorvelSurface k;
    const unsigned int src[1] = {0x80FFFFFF};
    unsigned int dst[2] = {0x11223344, 0xFF000000};
    k.Horline_Zoom_Copy_Alpha_32(Zoom(src, dst, 1, 2));
    EXPECT_EQ(0x80223344u, dst[0]);
    EXPECT_EQ(0x80000000u, dst[1]);
    const unsigned char srcPlane[2] = {10, 20};
    unsigned char dstPlane[4] = {};
    const unsigned short pixels[2] = {};
    unsigned short dstPixels[4] = {5, 5, 5, 5};
    k.Horline_Zoom_Copy_Alpha_16(Zoom(pixels, dstPixels, 2, 4, 0xFFFFFFFF, 0x400, srcPlane, dstPlane));
    EXPECT_EQ(10, dstPlane[1]);
    EXPECT_EQ(20, dstPlane[2]);
    EXPECT_EQ(5, dstPixels[0]); // colours untouched
}

TEST(CKorvelSurfaceZoom, AlphaKernels)
{
    CKorvelSurface k;
    // 16-bit: alpha from the row; 0 skips. Without a row: a tinted copy.
    const unsigned short s16[2] = {0xFFFF, 0xFFFF};
    unsigned short d16[2] = {0x1234, 0x0000};
    const unsigned char alpha[2] = {0, 255};
    k.Horline_Zoom_Alpha_16(Zoom(s16, d16, 2, 2, 0xFFFFFFFF, 0x80, alpha));
    EXPECT_EQ(0x1234, d16[0]);
    EXPECT_EQ(0xF7DE, d16[1]);
    d16[0] = 0xFFFF;
    k.Horline_Zoom_Alpha_16(Zoom(s16, d16, 1, 1, 0xFF000000));
    EXPECT_EQ(0x0000, d16[0]); // black tint, opaque

    // 32-bit: flag 0x80 takes the top byte; without it the source is opaque.
    const unsigned int s32[1] = {0x00FFFFFF};
    unsigned int d32[1] = {0x11223344};
    k.Horline_Zoom_Alpha_32(Zoom(s32, d32, 1, 1, 0xFFFFFFFF, 0x80));
    EXPECT_EQ(0x11223344u, d32[0]);
    k.Horline_Zoom_Alpha_32(Zoom(s32, d32, 1, 1, 0xFFFFFFFF, 0));
    EXPECT_EQ(0xFFFEFEFEu, d32[0]);
    k.Horline_Zoom_Alpha_32(Zoom(s32, d32, 1, 1, 0x00FFFFFF, 0));
    EXPECT_EQ(0xFFFEFEFEu, d32[0]); // global alpha 0 writes nothing

    const unsigned char s8[1] = {0xFF};
    unsigned char d8[1] = {0};
    k.Horline_Zoom_Alpha_8(Zoom(s8, d8, 1, 1, 0xFF000000));
    EXPECT_EQ(0, d8[0]);
    k.Horline_Zoom_Alpha_8(Zoom(s8, d8, 1, 1, 0xFFFFFFFF));
    EXPECT_EQ(0xFF, d8[0]);
}
