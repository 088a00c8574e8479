// Decoding generated PNG and JPEG images into surfaces of every format: premultiplied
// colour, alpha planes, reuse of a surface of the same size, scaling, and damaged data.
#include "KorvelGraphics/KorvelSurfaceLoader.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "PlatformControl.h"
#include "support/TestApplication.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

namespace
{

// A PNG in memory from R, G, B, A bytes.
std::vector<uint8_t> Png(int iWidth, int iHeight, const std::vector<uint8_t>& aRGBA, bool bAlpha = true)
{
    CTestTempDir dir;
    EXPECT_TRUE(WriteTestPng(dir.File("i.png"), iWidth, iHeight, aRGBA, bAlpha));
    return ReadTestFile(dir.File("i.png"));
}

// A white pixel at half alpha beside an opaque colour.
const std::vector<uint8_t> g_aTwoPixels = {255, 255, 255, 128, 10, 200, 30, 255};

KE_RETVAL LoadInto(CKorvelSurface& surface, std::vector<uint8_t> aData, eKET_SURFACEFORMAT eFormat,
                   int iWidth = 0, int iHeight = 0)
{
    SKE_SURFACEDESC desc = {iWidth, iHeight, 0, eFormat, 0, 0};
    return surface.LoadFromMemory(nullptr, aData.data(), static_cast<unsigned int>(aData.size()), &desc);
}

std::vector<uint8_t> PixelBytes(CKorvelSurface& surface)
{
    SKE_SURFACEDESC d;
    const uint8_t* p = static_cast<const uint8_t*>(surface.Lock(&d, 1));
    return std::vector<uint8_t>(p, p + static_cast<ptrdiff_t>(d.iPitch) * d.iHeight);
}

TEST(CKorvelSurfaceLoader, PngColourIsPremultipliedInEveryThirtyTwoBitOrder)
{
    CKorvelSurface surface;
    ASSERT_EQ(LoadInto(surface, Png(2, 1, g_aTwoPixels), KE_SURFACE_ABGR8888), KE_OK);
    EXPECT_EQ(surface.GetFormat(), KE_SURFACE_ABGR8888);
    EXPECT_EQ(PixelBytes(surface), (std::vector<uint8_t>{128, 128, 128, 128, 10, 200, 30, 255}));
    EXPECT_EQ(surface.GetAlphaChannel(), nullptr);
    EXPECT_EQ(surface.GetTexture(), 0u) << "no texture without flag 2";
    surface.Shutdown();

    ASSERT_EQ(LoadInto(surface, Png(2, 1, g_aTwoPixels), KE_SURFACE_ARGB8888), KE_OK);
    EXPECT_EQ(PixelBytes(surface), (std::vector<uint8_t>{128, 128, 128, 128, 30, 200, 10, 255}));
    surface.Shutdown();
}

TEST(CKorvelSurfaceLoader, SixteenBitSurfacesGetAnAlphaPlane)
{
    CKorvelSurface surface;
    ASSERT_EQ(LoadInto(surface, Png(2, 1, g_aTwoPixels), KE_SURFACE_RGB565), KE_OK);
    ASSERT_NE(surface.GetAlphaChannel(), nullptr);
    EXPECT_EQ(surface.GetAlphaChannel()[0], 128);
    EXPECT_EQ(surface.GetAlphaChannel()[1], 255);
    EXPECT_EQ(surface.GetPixel(0, 0), (16u << 11) | (32u << 5) | 16u) << "128 premultiplied, packed 5-6-5";
    EXPECT_EQ(surface.GetPixel(1, 0), (1u << 11) | (50u << 5) | 3u);
    surface.Shutdown();

    // Every decoded image counts as having alpha: an opaque one gets a plane of 255.
    ASSERT_EQ(LoadInto(surface, Png(10, 10, std::vector<uint8_t>(400, 90), false), KE_SURFACE_RGB565), KE_OK);
    ASSERT_NE(surface.GetAlphaChannel(), nullptr);
    EXPECT_EQ(std::vector<uint8_t>(surface.GetAlphaChannel(), surface.GetAlphaChannel() + 100),
              std::vector<uint8_t>(100, 255));
    surface.Shutdown();
}

TEST(CKorvelSurfaceLoader, OtherFormatsPackThePremultipliedColour)
{
    // Opaque (40, 130, 250) beside transparent white, which becomes black.
    const std::vector<uint8_t> aPixels = {40, 130, 250, 255, 255, 255, 255, 0};
    CKorvelSurface surface;
    ASSERT_EQ(LoadInto(surface, Png(2, 1, aPixels), KE_SURFACE_RGB888), KE_OK);
    EXPECT_EQ(PixelBytes(surface), (std::vector<uint8_t>{40, 130, 250, 0, 0, 0}))
        << "24-bit pixels are written";
    surface.Shutdown();

    ASSERT_EQ(LoadInto(surface, Png(2, 1, aPixels), KE_SURFACE_RGB555), KE_OK);
    EXPECT_EQ(surface.GetPixel(0, 0), (5u << 10) | (16u << 5) | 31u);
    EXPECT_EQ(surface.GetAlphaChannel()[1], 0);
    surface.Shutdown();

    ASSERT_EQ(LoadInto(surface, Png(2, 1, aPixels), KE_SURFACE_RGB444), KE_OK);
    EXPECT_EQ(surface.GetPixel(0, 0), 0x28Fu);
    surface.Shutdown();

    ASSERT_EQ(LoadInto(surface, Png(2, 1, aPixels), KE_SURFACE_P8), KE_OK);
    const unsigned char* pLookup = CKorvelPaletteProvider::GetLookupTable(nullptr);
    ASSERT_NE(pLookup, nullptr);
    EXPECT_EQ(surface.GetPixel(0, 0), pLookup[0x28F]);
    EXPECT_EQ(surface.GetPixel(1, 0), pLookup[0]);
    EXPECT_EQ(surface.GetAlphaChannel()[1], 0);
    surface.Shutdown();
}

TEST(CKorvelSurfaceLoader, EveryPngColourTypeLoadsIntoFormatsFourSixAndSeven)
{
    // Each image holds one pixel: (200, 100, 40) at alpha 102 where the type has alpha,
    // else opaque; grey images hold 160.
    struct sCASE
    {
        const char* m_pszName;
        sTestPngLayout m_Layout;
        unsigned int m_uArgb; // premultiplied, as a 32-bit surface stores it
    };
    const sCASE aCases[] = {
        {"grey", {1, 1, PNG_COLOR_TYPE_GRAY, 8, {160}}, 0xFFA0A0A0},
        {"grey 16", {1, 1, PNG_COLOR_TYPE_GRAY, 16, {160, 160}}, 0xFFA0A0A0},
        {"grey alpha", {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {160, 102}}, 0x66404040},
        {"rgb", {1, 1, PNG_COLOR_TYPE_RGB, 8, {200, 100, 40}}, 0xFFC86428},
        {"rgba", {1, 1, PNG_COLOR_TYPE_RGBA, 8, {200, 100, 40, 102}}, 0x66502810},
        {"palette",
         {1, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x10}, {0, 0, 0, 200, 100, 40}, {255, 102}},
         0x66502810},
        {"rgba interlaced", {1, 1, PNG_COLOR_TYPE_RGBA, 8, {200, 100, 40, 102}, {}, {}, true}, 0x66502810},
    };
    for (const sCASE& c : aCases)
        for (eKET_SURFACEFORMAT eFormat : {KE_SURFACE_RGB565, KE_SURFACE_ARGB8888, KE_SURFACE_ABGR8888})
        {
            SCOPED_TRACE(std::string(c.m_pszName) + " into " + std::to_string(int(eFormat)));
            CKorvelSurface surface;
            ASSERT_EQ(LoadInto(surface, EncodeTestPng(c.m_Layout), eFormat), KE_OK);
            ASSERT_EQ(surface.GetFormat(), eFormat);
            unsigned int uExpected = c.m_uArgb;
            if (eFormat == KE_SURFACE_RGB565) // 5-6-5 colour read back with its low bits clear
                uExpected &= 0xFFF8FCF8;
            EXPECT_EQ(surface.GetPixelDIB(0, 0), uExpected);
            surface.Shutdown();
        }
}

TEST(CKorvelSurfaceLoader, JpegDecodesOpaque)
{
    std::vector<uint8_t> aRGB;
    for (int i = 0; i < 16 * 16; ++i)
        aRGB.insert(aRGB.end(), {200, 100, 50});
    CKorvelSurface surface;
    ASSERT_EQ(LoadInto(surface, EncodeTestJpeg(16, 16, aRGB), KE_SURFACE_ABGR8888), KE_OK);
    ASSERT_EQ(surface.GetWidth(), 16);
    const unsigned int argb = surface.GetPixelDIB(7, 9);
    EXPECT_EQ(argb >> 24, 255u);
    EXPECT_NEAR(int((argb >> 16) & 255), 200, 3);
    EXPECT_NEAR(int((argb >> 8) & 255), 100, 3);
    EXPECT_NEAR(int(argb & 255), 50, 3);
    surface.Shutdown();
}

TEST(CKorvelSurfaceLoader, ASurfaceOfTheImagesSizeKeepsItsFormat)
{
    CKorvelSurface surface;
    SKE_SURFACEDESC desc = {2, 1, 0, KE_SURFACE_RGB565, 0, 0};
    ASSERT_EQ(surface.Create(nullptr, desc), KE_OK);
    ASSERT_EQ(LoadInto(surface, Png(2, 1, g_aTwoPixels), KE_SURFACE_ABGR8888), KE_OK);
    EXPECT_EQ(surface.GetFormat(), KE_SURFACE_RGB565);
    EXPECT_EQ(surface.GetPixel(1, 0), (1u << 11) | (50u << 5) | 3u);
    surface.Shutdown();
}

TEST(CKorvelSurfaceLoader, ARequestedSizeScalesTheImage)
{
    CKorvelSurface surface;
    std::vector<uint8_t> aPixels(size_t{4} * 4 * 4, 255);
    ASSERT_EQ(LoadInto(surface, Png(4, 4, aPixels), KE_SURFACE_ABGR8888, 8, 0), KE_OK);
    EXPECT_EQ(surface.GetWidth(), 8);
    EXPECT_EQ(surface.GetHeight(), 4) << "height 0 keeps the image's";
    EXPECT_EQ(surface.GetPixelDIB(7, 3), 0xFFFFFFFFu);
    ASSERT_EQ(LoadInto(surface, Png(4, 4, aPixels), KE_SURFACE_ABGR8888, 2, 2), KE_OK);
    EXPECT_EQ(surface.GetWidth(), 2);
    EXPECT_EQ(LoadInto(surface, Png(4, 4, aPixels), KE_SURFACE_ABGR8888, -3, 2), KE_ERR_DECODE);
    surface.Shutdown();
}

TEST(CKorvelSurfaceLoader, DamagedOrMissingDataFailsWithoutCrashing)
{
    const std::vector<uint8_t> aPng = Png(8, 8, std::vector<uint8_t>(256, 77));
    const std::vector<uint8_t> aJpeg = EncodeTestJpeg(8, 8, std::vector<uint8_t>(192, 77));
    CKorvelSurface surface;
    for (const std::vector<uint8_t>* pGood : {&aPng, &aJpeg})
        for (size_t uKeep : {size_t(1), size_t(16), pGood->size() / 2})
        {
            std::vector<uint8_t> aCut(pGood->begin(), pGood->begin() + long(uKeep));
            EXPECT_EQ(LoadInto(surface, aCut, KE_SURFACE_ABGR8888), KE_ERR_DECODE) << uKeep;
        }
    EXPECT_EQ(LoadInto(surface, std::vector<uint8_t>(64, 0xAB), KE_SURFACE_ABGR8888), KE_ERR_DECODE);

    CKorvelFile file;
    uint8_t aByte[1] = {0};
    ASSERT_EQ(file.OpenFromMemory(aByte, 1, CKorvelFile::FLAG_READ), KE_OK);
    SKE_SURFACEDESC desc = {};
    EXPECT_EQ(CKorvelSurfaceLoader::LoadImageFromFile(surface, file, 0, desc), KE_ERR_DECODE) << "size 0";

    // A file shorter than the size asked for is decoded from the bytes it holds.
    const std::vector<uint8_t> aCut(aPng.begin(), aPng.end() - 20);
    CKorvelFile shortFile;
    ASSERT_EQ(shortFile.OpenFromMemory(const_cast<uint8_t*>(aCut.data()), unsigned(aCut.size()),
                                       CKorvelFile::FLAG_READ),
              KE_OK);
    EXPECT_EQ(CKorvelSurfaceLoader::LoadImageFromFile(surface, shortFile, unsigned(aPng.size()), desc),
              KE_ERR_DECODE);
    EXPECT_EQ(surface.GetWidth(), 0);
}

TEST(CKorvelSurfaceLoader, StreamThatCannotOpenIsOutOfMemory)
{
    plat::ResetPlatform(plat::eBackend::Headless);
    CKorvelSurface surface;
    plat::FailCall("io_open");
    EXPECT_EQ(LoadInto(surface, Png(2, 1, g_aTwoPixels), KE_SURFACE_ABGR8888), KE_ERR_OUTOFMEMORY);
    plat::ResetPlatform(plat::eBackend::Headless);
}

} // namespace
