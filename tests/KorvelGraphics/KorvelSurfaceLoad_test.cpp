// Surfaces filled from image files, media pack items (plain and keyed) and memory, with
// companion alpha images taken from the companion's blue channel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestTempDir.h"
#include "support/TestText.h"

namespace
{

std::string AsString(const std::vector<uint8_t>& aBytes)
{
    return std::string(aBytes.begin(), aBytes.end());
}

// A grey JPEG, 16 x 8: the left 8 columns at level 0, the right ones at 200 (whole 8 x 8
// blocks of one grey, which JPEG keeps within a level or two).
std::string CompanionJpeg(int iWidth = 16)
{
    std::vector<uint8_t> aRGB;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < iWidth; ++x)
            aRGB.insert(aRGB.end(), 3, x < 8 ? 0 : 200);
    return AsString(EncodeTestJpeg(iWidth, 8, aRGB, 100));
}

// The image the companion belongs to: opaque white, 16 x 8.
std::string WhiteJpeg()
{
    return AsString(EncodeTestJpeg(16, 8, std::vector<uint8_t>(size_t{16} * 8 * 3, 255), 100));
}

std::string WhitePng()
{
    CTestTempDir dir;
    EXPECT_TRUE(WriteTestPng(dir.File("w.png"), 16, 8, std::vector<uint8_t>(size_t{16} * 8 * 4, 255)));
    return AsString(ReadTestFile(dir.File("w.png")));
}

class CKorvelSurface : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_Surface.Shutdown();
        m_Pack.Shutdown();
    }

    void OpenPack(const TestPackItems& items, const std::string& strKey = "")
    {
        const std::string strPath = m_Dir.File("p.kmp");
        ASSERT_TRUE(WriteTestFile(strPath, TestPackBytes(items, strKey)));
        ASSERT_EQ(m_Pack.Startup(S(strPath), S(strKey)), KE_OK);
    }

    // Alpha of pixel (x, y): the plane below 32 bits, else the alpha byte.
    int Alpha(int x, int y)
    {
        if (m_Surface.GetAlphaChannel())
            return m_Surface.GetAlphaChannel()[y * m_Surface.GetWidth() + x];
        return int(m_Surface.GetPixelDIB(x, y) >> 24);
    }

    CTestTempDir m_Dir;
    CKorvelMediaPack m_Pack;
    ::CKorvelSurface m_Surface;
};

TEST_F(CKorvelSurface, LoadFromPathDecodesTheFileAndItsCompanion)
{
    ASSERT_TRUE(WriteTestFile(m_Dir.File("w.png"), WhitePng()));
    const CKorvelString strOldName(m_Surface.GetName());
    EXPECT_EQ(m_Surface.Load(nullptr, S(m_Dir.File("w.png")), nullptr), KE_OK);
    EXPECT_EQ(m_Surface.GetWidth(), 16);
    EXPECT_EQ(m_Surface.GetName().Compare(strOldName), 0) << "a path load sets no name";
    EXPECT_EQ(m_Surface.Load(nullptr, S(m_Dir.File("missing.png")), nullptr), KE_ERR_FILEOPEN);

    // A companion beside the file gives the alpha.
    ASSERT_TRUE(WriteTestFile(m_Dir.File("sky.jpg"), WhiteJpeg()));
    ASSERT_TRUE(WriteTestFile(m_Dir.File("sky_alpha.jpg"), CompanionJpeg()));
    SKE_SURFACEDESC desc = {0, 0, 0, KE_SURFACE_ABGR8888, KE_SURFACEDESC_LOADALPHA, 0};
    ASSERT_EQ(m_Surface.Load(nullptr, S(m_Dir.File("sky.jpg")), &desc), KE_OK);
    EXPECT_LE(Alpha(2, 3), 2);
    EXPECT_NEAR(Alpha(12, 3), 200, 2);
}

TEST_F(CKorvelSurface, LoadFromPackNamesTheSurfaceAndReadsKeyedPacks)
{
    for (const std::string strKey : {"", "pack key"})
    {
        SCOPED_TRACE(strKey);
        OpenPack({{"gfx/w.png", WhitePng()}, {"gfx/other.png", "not an image"}}, strKey);
        ASSERT_EQ(m_Surface.LoadFromPack(nullptr, &m_Pack, S("gfx/w.png"), 0, nullptr), KE_OK);
        EXPECT_EQ(m_Surface.GetName().Compare(S("gfx/w.png")), 0);
        EXPECT_EQ(m_Surface.GetPixelDIB(15, 7), 0xFFFFFFFFu);
        EXPECT_EQ(m_Surface.LoadFromPack(nullptr, &m_Pack, S("nothing.png"), 0, nullptr), KE_ERR_NOTFOUND);
        EXPECT_EQ(m_Surface.LoadFromPack(nullptr, &m_Pack, S(""), 1, nullptr), KE_ERR_DECODE) << "by index";
        m_Pack.Shutdown();
    }
    EXPECT_EQ(m_Surface.LoadFromPack(nullptr, nullptr, S("gfx/w.png"), 0, nullptr), KE_ERR_INVALIDARG);
}

TEST_F(CKorvelSurface, CompanionFromThePackGivesAlphaFromItsBlueChannel)
{
    OpenPack({{"bg.jpg", WhiteJpeg()}, {"bg_alpha.jpg", CompanionJpeg()}}, "k");
    struct sCASE
    {
        eKET_SURFACEFORMAT m_eFormat;
        int m_iTolerance; // 5-6-5 keeps 5 bits of the blue channel
    };
    for (const sCASE& c : {sCASE{KE_SURFACE_RGB565, 8}, sCASE{KE_SURFACE_ABGR8888, 2}})
    {
        SCOPED_TRACE(int(c.m_eFormat));
        SKE_SURFACEDESC desc = {0, 0, 0, c.m_eFormat, KE_SURFACEDESC_LOADALPHA, 0};
        ASSERT_EQ(m_Surface.LoadFromPack(nullptr, &m_Pack, S("bg.jpg"), 0, &desc), KE_OK);
        EXPECT_EQ(m_Surface.GetName().Compare(S("bg.jpg")), 0);
        EXPECT_EQ(m_Surface.GetFormat(), c.m_eFormat);
        EXPECT_LE(Alpha(3, 4), c.m_iTolerance);
        EXPECT_NEAR(Alpha(9, 4), 200, c.m_iTolerance);
        m_Surface.Shutdown();
    }

    // Without flag 32, or as a companion itself (16), the image stays opaque.
    for (unsigned int uFlags : {0u, unsigned(KE_SURFACEDESC_LOADALPHA | KE_SURFACEDESC_COMPANION)})
    {
        SKE_SURFACEDESC desc = {0, 0, 0, KE_SURFACE_ABGR8888, uFlags, 0};
        ASSERT_EQ(m_Surface.LoadFromPack(nullptr, &m_Pack, S("bg.jpg"), 0, &desc), KE_OK);
        EXPECT_EQ(Alpha(3, 4), 255) << uFlags;
    }
}

TEST_F(CKorvelSurface, CompanionIsNotUsedForPngOrWhenItDoesNotFit)
{
    OpenPack({{"bg.png", WhitePng()},
              {"bg_alpha.png", CompanionJpeg()},
              {"bg.jpg", WhiteJpeg()},
              {"bg_alpha.jpg", CompanionJpeg(24)}});
    SKE_SURFACEDESC desc = {0, 0, 0, KE_SURFACE_ABGR8888, KE_SURFACEDESC_LOADALPHA, 0};
    ASSERT_EQ(m_Surface.LoadFromPack(nullptr, &m_Pack, S("bg.png"), 0, &desc), KE_OK);
    EXPECT_EQ(Alpha(3, 4), 255) << "PNG images carry their own alpha";
    EXPECT_EQ(m_Surface.LoadExternalAlphaChannel(S("bg.png"), &m_Pack), KE_ERR_DECODE);

    ASSERT_EQ(m_Surface.LoadFromPack(nullptr, &m_Pack, S("bg.jpg"), 0, &desc), KE_OK)
        << "a companion's failure "
           "leaves the result";
    EXPECT_EQ(Alpha(3, 4), 255);
    EXPECT_EQ(m_Surface.LoadExternalAlphaChannel(S("bg.jpg"), &m_Pack), KE_ERR_BADDATA) << "24 wide, not 16";
    EXPECT_EQ(m_Surface.LoadExternalAlphaChannel(S("noextension"), &m_Pack), KE_ERR_NOTFOUND);
    EXPECT_EQ(m_Surface.LoadExternalAlphaChannel(S("gone.jpg"), &m_Pack), KE_ERR_NOTFOUND);
}

TEST_F(CKorvelSurface, LoadFromMemoryRefusesNoDataAndLeavesThePixels)
{
    SKE_SURFACEDESC desc = {4, 4, 0, KE_SURFACE_ABGR8888, 0, 0};
    ASSERT_EQ(m_Surface.Create(nullptr, desc), KE_OK);
    m_Surface.Fill(0xFF123456, static_cast<const CKorvelRect<int>*>(nullptr));
    unsigned char aByte[1] = {0};
    EXPECT_EQ(m_Surface.LoadFromMemory(nullptr, aByte, 0, nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(m_Surface.LoadFromMemory(nullptr, nullptr, 10, nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(m_Surface.GetPixelDIB(3, 3), 0xFF123456u);

    std::string strPng = WhitePng();
    ASSERT_EQ(m_Surface.LoadFromMemory(nullptr, &strPng[0], unsigned(strPng.size()), nullptr), KE_OK);
    EXPECT_EQ(m_Surface.GetWidth(), 16);
    EXPECT_EQ(m_Surface.Save(S(m_Dir.File("out.png"))), KE_ERR_NOTSTARTED) << "no application";
}

} // namespace
