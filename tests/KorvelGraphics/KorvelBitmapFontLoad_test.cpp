// Loading fonts with their pages and textures: packs, paths, the built-in font, release
// and restore, and a font made by fontgen.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "FontGlTestHelpers.h"
#include "KorvelGraphics/KorvelBitmapFontDefault.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
class CKorvelBitmapFontLoad : public CFontGlTest
{
};
} // namespace

TEST_F(CKorvelBitmapFontLoad, LoadsFromAPackWithPageTexturesAndVertices)
{
    ASSERT_EQ(LoadTestFont(), KE_OK);
    EXPECT_TRUE(m_Font.GetName().IsEqual(CKorvelString("tf.fnt")));
    EXPECT_EQ(m_Font.GetLineHeight(), 12u);
    ASSERT_EQ(m_Font.GetPageCount(), 2);
    const auto* pPage = m_Font.GetPage(0);
    EXPECT_EQ(pPage->iWidth, 64);
    EXPECT_EQ(pPage->iHeight, 16);
    EXPECT_NE(pPage->uTexture, 0u);
    EXPECT_TRUE(glIsTexture(pPage->uTexture));
    EXPECT_NE(pPage->uTexture, pPage->pSurface->GetTexture());
    // The coverage stays for surface text: full, half and none.
    ASSERT_NE(pPage->pBits, nullptr);
    EXPECT_EQ(pPage->pBits[0], 255);
    EXPECT_NEAR(pPage->pBits[33], 128, 1);
    EXPECT_EQ(pPage->pBits[64 * size_t{9}], 0);
    EXPECT_EQ(m_Font.GetProgram(), m_pExt->GetTextProgram(0));

    // Glyph B (8, 0, 8 x 8 on 64 x 16): twice its size, y down as negative.
    const CKorvelBitmapFont::SKE_BMFONT_VERTEX* v =
        m_Font.GetVertices() + 4 * static_cast<ptrdiff_t>(m_Font.GetCharInfo('B')->iIndex);
    EXPECT_FLOAT_EQ(v[0].u, 0.125f);
    EXPECT_FLOAT_EQ(v[1].y, -16.0f);
    EXPECT_FLOAT_EQ(v[1].v, 0.5f);
    EXPECT_FLOAT_EQ(v[2].x, 16.0f);
    EXPECT_FLOAT_EQ(v[2].u, 0.25f);
    EXPECT_FLOAT_EQ(v[3].v, 0.0f);
}

TEST_F(CKorvelBitmapFontLoad, ReportsMissingApplicationItemAndPage)
{
    OpenPack(TestFontPackItems());
    EXPECT_EQ(m_Font.Startup(nullptr, m_Pack, CKorvelString("tf.fnt"), 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(m_Font.Startup(m_pApp.get(), m_Pack, CKorvelString("other.fnt"), 0), KE_ERR_INVALIDARG);
    m_Font.Shutdown();
    m_Pack.Shutdown();

    TestPackItems items = TestFontPackItems();
    items.pop_back(); // no second page
    OpenPack(items);
    EXPECT_EQ(m_Font.Startup(m_pApp.get(), m_Pack, CKorvelString("tf.fnt"), 0), KE_ERR_NOTFOUND);
    // What was loaded stays until Shutdown.
    EXPECT_NE(m_Font.GetPage(0)->uTexture, 0u);
}

TEST_F(CKorvelBitmapFontLoad, LoadsFromAPathWithPagesBesideIt)
{
    const TestPackItems items = TestFontPackItems();
    for (const auto& item : items)
        WriteTestFile(m_Dir.File(item.first.substr(1)), item.second);
    char szOld[4096];
    ASSERT_NE(getcwd(szOld, sizeof(szOld)), nullptr);
    ASSERT_EQ(chdir(m_Dir.Path().c_str()), 0); // page names are relative
    const KE_RETVAL iResult = m_Font.Startup(m_pApp.get(), CKorvelString("tf.fnt"), 0);
    ASSERT_EQ(chdir(szOld), 0);
    ASSERT_EQ(iResult, KE_OK);
    EXPECT_TRUE(m_Font.GetName().IsEqual(CKorvelString("tf.fnt")));
    EXPECT_EQ(m_Font.GetPage(1)->iHeight, 16);
    EXPECT_EQ(m_Font.Startup(m_pApp.get(), CKorvelString(m_Dir.File("none.fnt").c_str()), 0),
              KE_ERR_FILEOPEN);
}

TEST_F(CKorvelBitmapFontLoad, RestoreKeepsThePageTexturesOfTheLoadFlags)
{
    ASSERT_EQ(LoadTestFont(KE_FONT_RGBA_PAGES), KE_OK);
    EXPECT_EQ(m_Font.GetPage(0)->uTexture, m_Font.GetPage(0)->pSurface->GetTexture());
    EXPECT_EQ(m_Font.GetProgram(), m_pExt->GetTextProgram(1));

    m_Font.Release();
    EXPECT_EQ(m_Font.GetVertices(), nullptr);
    EXPECT_EQ(m_Font.GetPage(0)->uTexture, 0u);
    EXPECT_EQ(m_Font.GetPage(0)->pSurface->GetTexture(), 0u);
    EXPECT_EQ(m_Font.GetCharCount(), 8);

    m_Font.Restore();
    EXPECT_NE(m_Font.GetVertices(), nullptr);
    EXPECT_NE(m_Font.GetPage(0)->uTexture, 0u);
    EXPECT_EQ(m_Font.GetPage(0)->uTexture, m_Font.GetPage(0)->pSurface->GetTexture());
    EXPECT_EQ(m_Font.GetProgram(), m_pExt->GetTextProgram(1));
    m_Font.Shutdown();
    m_Pack.Shutdown();

    // Alpha pages come back as their own textures.
    ASSERT_EQ(LoadTestFont(), KE_OK);
    m_Font.Release();
    m_Font.Restore();
    EXPECT_NE(m_Font.GetPage(1)->uTexture, 0u);
    EXPECT_NE(m_Font.GetPage(1)->uTexture, m_Font.GetPage(1)->pSurface->GetTexture());
    EXPECT_EQ(m_Font.GetProgram(), m_pExt->GetTextProgram(0));
}

TEST_F(CKorvelBitmapFontLoad, BuiltInFontHasItsGlyphSetAndMetrics)
{
    m_Font.Startup(m_pApp.get());
    EXPECT_TRUE(m_Font.GetName().IsEqual(CKorvelString("default-font")));
    EXPECT_EQ(m_Font.GetLineHeight(), 10u);
    m_Font.SetFontScale(1.5f);
    EXPECT_EQ(m_Font.GetLineHeight(), 15u);
    ASSERT_EQ(m_Font.GetCharCount(), 218);
    ASSERT_EQ(m_Font.GetPageCount(), 1);
    EXPECT_TRUE(m_Font.GetPage(0)->strFile.IsEqual(CKorvelString("default_font_image.png")));
    EXPECT_NE(m_Font.GetPage(0)->uTexture, 0u);
    EXPECT_EQ(m_Font.GetCharInfo('A')->iId, 'A');
    EXPECT_EQ(m_Font.GetCharInfo(0x263A), nullptr);
    for (int id : {129, 141, 143, 144, 157})
        EXPECT_EQ(m_Font.GetCharInfo(static_cast<unsigned short>(id)), nullptr) << id;
    m_Font.Shutdown();
    m_Font.Startup(nullptr); // no application: no font
    EXPECT_EQ(m_Font.GetCharCount(), 0);
    EXPECT_EQ(m_Font.GetPageCount(), 0);
}

// A font rasterised by fontgen, packed by kmptool, loaded and drawn: the picture's hash is fixed.
TEST_F(CKorvelBitmapFontLoad, FontFromTheGeneratorDrawsAKnownPicture)
{
    const char* pszBinary = std::getenv("KORVEL_BINARY_DIR");
    const std::string strTtf = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    if (!pszBinary || !std::ifstream(strTtf).good())
        GTEST_SKIP() << "the build folder or DejaVu Sans Bold is missing";
    const std::string strBin = pszBinary;
    const std::string strFonts = m_Dir.File("fonts");
    ASSERT_EQ(std::system(("mkdir -p " + strFonts).c_str()), 0);
    ASSERT_EQ(std::system((strBin + "/tools/generators/fontgen/fontgen --ttf " + strTtf +
                           " --size 20 --name gen --out " + strFonts)
                              .c_str()),
              0);
    const std::string strPack = m_Dir.File("vornfonts_240.kmp");
    ASSERT_EQ(
        std::system((strBin + "/tools/packtool/kmptool build " + strPack + " --dir " + strFonts).c_str()), 0);
    ASSERT_EQ(m_Pack.Startup(CKorvelString(strPack.c_str()), CKorvelString()), KE_OK);
    ASSERT_EQ(m_Font.Startup(m_pApp.get(), m_Pack, CKorvelString("gen.fnt"), 0), KE_OK);
    EXPECT_EQ(m_Font.GetCharCount(), 95 + 96 + 8);
    EXPECT_NE(m_Font.GetCharInfo(0x20AC), nullptr);

    Clear();
    m_Font.DrawText(CKorvelRect<int>(10, 10, 400, 100), *m_pExt, CKorvelString(L"Flomps 123 \u20ac"),
                    0xFFFFFFFF, 0, nullptr);
    std::vector<uint8_t> pixels(size_t{400} * 100 * 4);
    glReadPixels(0, 500, 400, 100, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    unsigned long long uHash = 1469598103934665603ull; // FNV-1a over the red channel
    int iLit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        uHash = (uHash ^ pixels[i]) * 1099511628211ull;
        iLit += pixels[i] > 128;
    }
    EXPECT_GT(iLit, 300);
    EXPECT_EQ(uHash, 0x538c8a0cb2c94ae2ull) << std::hex << uHash;
}
