// A fixed sequence of draws from seeded noise, per pixel format, hashed (FNV-1a) after
// each step. The hashes lock the arithmetic of every path in: a change to any kernel
// shows up here as the first step whose hash moved.
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/SurfaceTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace
{
std::vector<uint32_t> RunSequence(eKET_SURFACEFORMAT eFormat)
{
    const bool bPlane = eFormat != KE_SURFACE_ARGB8888 && eFormat != KE_SURFACE_ABGR8888;
    CTestSurface dst(61, 47, eFormat, bPlane), src(23, 19, eFormat, bPlane);
    // A second source in another format, for the converting paths.
    CTestSurface other(17, 13, eFormat == KE_SURFACE_ARGB8888 ? KE_SURFACE_RGB565 : KE_SURFACE_ARGB8888);
    FillNoise(dst, 1);
    FillNoise(src, 2);
    FillNoise(other, 3);
    src.SetColorKey(src.GetPixel(5, 5));
    other.SetColorKey(other.GetPixel(2, 2));
    CKorvelRect<int> clip(3, 2, 58, 44);
    dst.SetClipRect(&clip);

    std::vector<uint32_t> hashes;
    auto step = [&hashes, &dst]() { hashes.push_back(HashSurface(dst)); };
    CKorvelRect<int> sub(2, 3, 21, 17), big(-4, -4, 30, 30), d1(-10, 5, 40, 60), d2(7, 9, 20, 15);
    dst.Draw(-5, -3, src, nullptr, 0);
    step();
    dst.Draw(40, 30, src, &sub, 1 | 4);
    step();
    dst.Draw(10, 12, src, &big, 2 | 8);
    step();
    dst.Draw(20, 5, src, nullptr, 0x80 | 1);
    step();
    dst.Draw(30, 20, other, &big, 0);
    step();
    dst.Draw(-3, 25, other, nullptr, 0x80 | 4);
    step();
    dst.DrawBlended(12, 12, src, &sub, 0xC0FF8020, 1 | 4);
    step();
    dst.DrawStretched(&d1, src, &sub, 4 | 8);
    step();
    dst.DrawStretched(&d2, src, &big, 0x20);
    step();
    dst.DrawStretchedBlended(&d2, src, nullptr, 0x90A0B0C0, 1);
    step();
    dst.DrawStretched(&d1, other, nullptr, 0x80);
    step();
    dst.DrawRotated(30, 23, src, 0.7f, 15, 1 | 2);
    step();
    dst.DrawRotated(0, 0, other, -2.1f, 12, 0x300);
    step();
    dst.BlendFill(0x60204080, &sub);
    step();
    dst.Fade(&d1, 0.6f);
    step();
    dst.GradientFill(0xFF102030, 0xFFF0E0D0, 0xFF00FF00, 0xFFFF00FF, &d2);
    step();
    dst.RadialGradientFill(0xFF203040, 0xFFFFF0E0, 0.9f, &d1);
    step();
    dst.Line(-5, 3, 70, 40, 0xFFFF0000, 0xFF0000FF);
    dst.Line(50, -10, 10, 90, 0xFF00FF00, 0xFF00FF00);
    step();
    dst.Fill(0x80C0D0E0, &d2);
    step();
    dst.Negate();
    step();
    return hashes;
}

void ExpectGolden(eKET_SURFACEFORMAT eFormat, const std::vector<uint32_t>& expected)
{
    std::vector<uint32_t> got = RunSequence(eFormat);
    std::string dump;
    for (uint32_t h : got)
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08X, ", h);
        dump += buf;
    }
    ASSERT_EQ(expected.size(), got.size()) << dump;
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(expected[i], got[i]) << "step " << i << "; all: " << dump;
}
} // namespace

// Expected hashes after each step, per format.
TEST(CKorvelSurfaceGolden, EveryFormat)
{
    const struct
    {
        eKET_SURFACEFORMAT eFormat;
        std::vector<uint32_t> aHashes;
    } aCases[] = {
        {KE_SURFACE_P8, {0xC67FF3E6, 0xD211C827, 0xFA4C2B38, 0xF0BE1E52, 0x1579CCB8, 0x2346B441, 0x2FCDCE4E,
                         0x036F9406, 0x7294E130, 0xB41C79E8, 0x621E70C2, 0x3E166985, 0x24CFB7ED, 0x9075D5C0,
                         0x9117165D, 0xBC808D9F, 0x42D08339, 0x587C99D1, 0xB04FAF97, 0xB04FAF97}},
        {KE_SURFACE_RGB565,
         {0xE928972C, 0x0FF4F8ED, 0x7173A6BF, 0xE7470D08, 0xA1237B8C, 0x7637EDB8, 0x998C9FEA,
          0x8A6558AC, 0x93D85270, 0xA81E1635, 0x06E93935, 0x2BDE5D22, 0x15991ADA, 0x73E45925,
          0xF3B48D0F, 0x92152F1B, 0xC7ADAB86, 0xED5AE100, 0x540BEE99, 0xF9B9DDA7}},
        {KE_SURFACE_RGB888,
         {0xA2FFC2C8, 0x47CB42E6, 0xCEFF2D17, 0x66A76F5F, 0xEFD8B0B8, 0xA5AFF2BB, 0xA5AFF2BB,
          0xA5AFF2BB, 0x78BE3412, 0x78BE3412, 0x78BE3412, 0x97DC0226, 0x7A0CDDFD, 0x7A0CDDFD,
          0x7A0CDDFD, 0x7A0CDDFD, 0xB3219017, 0xD263E2CC, 0xBA2BCFE2, 0x68679D55}},
        {KE_SURFACE_ARGB8888,
         {0xAF9524B8, 0x60E59911, 0x2A358B29, 0x6E126093, 0x57632463, 0x68C0B586, 0xC2EB30ED,
          0xBDE45FE2, 0x9803FC98, 0x424B166F, 0xCE367A6B, 0x78CB8E3C, 0xF63392A5, 0x4A2BFE12,
          0x7F76B8A5, 0x304DCE86, 0x45FB392E, 0xDBE87EC5, 0x3C1B60BD, 0x8126AA8C}},
        {KE_SURFACE_ABGR8888,
         {0xAF9524B8, 0x60E59911, 0x2A358B29, 0x6E126093, 0x25D26E9F, 0xD80A1BE2, 0xE6305948,
          0x150E05BF, 0x66611FB9, 0xEEDBA6EA, 0x89CEE35F, 0x93E5FF6C, 0xCD6C75B9, 0xD76BE8B8,
          0x6B6D5C55, 0xC96A70A8, 0xEDB1CD04, 0xD41A0FCC, 0xBBBA0560, 0xBCD4DDDD}},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(int(c.eFormat));
        ExpectGolden(c.eFormat, c.aHashes);
    }
}
