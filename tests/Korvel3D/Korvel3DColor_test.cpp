#include "Korvel3D/Korvel3DColor.h"

#include <gtest/gtest.h>

#include <limits>
#include <type_traits>

static_assert(sizeof(CKorvel3DColor) == 16, "four floats, nothing else");
static_assert(std::is_trivially_copyable<CKorvel3DColor>::value, "copied by value");

namespace
{
void ExpectColor(const CKorvel3DColor& c, float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}
} // namespace

TEST(CKorvel3DColor, UnpacksArgbWordAndPacksItBack)
{
    CKorvel3DColor c(0x80FF4000u);
    ExpectColor(c, 1.0f, 0.2509804f, 0.0f, 0.5019608f);
    EXPECT_EQ(c.Get8888(), 0x80FF4000u);
}

TEST(CKorvel3DColor, EveryByteValueSurvivesInEveryChannel)
{
    for (unsigned int v = 0; v < 256; ++v)
    {
        unsigned int word = (v << 24) | ((255 - v) << 16) | (((v * 7) & 0xFF) << 8) | (v ^ 0x5A);
        ASSERT_EQ(CKorvel3DColor(word).Get8888(), word) << std::hex << word;
    }
}

TEST(CKorvel3DColor, PackersPlaceFieldsAndDropLowBits)
{
    CKorvel3DColor white(1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(white.Get8888(), 0xFFFFFFFFu);
    EXPECT_EQ(white.Get565(), 0xFFFF);
    EXPECT_EQ(white.Get555(), 0x7FFF);
    EXPECT_EQ(white.Get444(), 0x0FFF);

    CKorvel3DColor c(0xFF123456u);
    EXPECT_EQ(c.Get565(), (2 << 11) | (13 << 5) | 10);
    EXPECT_EQ(c.Get555(), (2 << 10) | (6 << 5) | 10);
    EXPECT_EQ(c.Get444(), (1 << 8) | (3 << 4) | 5);

    CKorvel3DColor half(0.5f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(half.Get8888(), 127u << 16); // 127.5 truncated
    EXPECT_EQ(half.Get565() >> 11, 15);
}

TEST(CKorvel3DColor, OutOfRangeChannelsStayInTheirOwnField)
{
    EXPECT_EQ(CKorvel3DColor(2.0f, 0.0f, 0.0f, 0.0f).Get8888(), 0x00FF0000u);
    EXPECT_EQ(CKorvel3DColor(-0.5f, 1.0f, 0.0f, 1.0f).Get8888(), 0xFF00FF00u);
    EXPECT_EQ(CKorvel3DColor(0.0f, 3.0f, 0.0f, 0.0f).Get565(), 63 << 5);
    EXPECT_EQ(CKorvel3DColor(0.0f, 0.0f, -1.0f, 0.0f).Get555(), 0);
    EXPECT_EQ(CKorvel3DColor(1e30f, 0.0f, 0.0f, 0.0f).Get444(), 0x0F00);
    float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(CKorvel3DColor(nan, 1.0f, 1.0f, 1.0f).Get8888(), 0xFF00FFFFu);
}

TEST(CKorvel3DColor, ChannelArithmetic)
{
    CKorvel3DColor r;
    r.Negative(CKorvel3DColor(0.2f, 0.4f, 1.0f, 0.3f));
    ExpectColor(r, 0.8f, 0.6f, 0.0f, 0.3f);
    r.Blend(CKorvel3DColor(1.0f, 0.5f, 0.0f, 1.0f), CKorvel3DColor(0.5f, 0.5f, 0.5f, 0.5f));
    ExpectColor(r, 0.5f, 0.25f, 0.0f, 0.5f);

    CKorvel3DColor a(0.0f, 0.2f, 0.4f, 1.0f), b(1.0f, 0.4f, 0.0f, 0.0f);
    r.Lerp(a, b, 1.5f); // t is not clamped
    ExpectColor(r, 1.5f, 0.5f, -0.2f, -0.5f);
    r.Add(a, b);
    ExpectColor(r, 1.0f, 0.6f, 0.4f, 1.0f);
    r.Sub(a, b);
    ExpectColor(r, -1.0f, -0.2f, 0.4f, 1.0f);

    const CKorvel3DColor* none = nullptr;
    ExpectColor(CKorvel3DColor(none), 0.0f, 0.0f, 0.0f, 0.0f);
    ExpectColor(CKorvel3DColor(&b), 1.0f, 0.4f, 0.0f, 0.0f);
}
