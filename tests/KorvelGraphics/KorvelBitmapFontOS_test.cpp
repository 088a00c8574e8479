// The platform-rendered text path: tag stripping, alpha from red, and the text cache
// (whose items stay empty: this platform renders no text).
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <gtest/gtest.h>

#include "FontGlTestHelpers.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
class CKorvelBitmapFontOS : public CFontGlTest
{
protected:
    void SetUp() override
    {
        CFontGlTest::SetUp();
        m_Font.Startup(m_pApp.get());
    }
};
} // namespace

TEST(CKorvelBitmapFont, IsArabicTextLooksForArabicLetters)
{
    const unsigned short tatweel[] = {'a', 0x0640, 0};
    const unsigned short latin[] = {'a', 0x0620, 0x064B, 0};
    EXPECT_EQ(CKorvelBitmapFont::IsArabicText(CKorvelString(tatweel)), 1);
    EXPECT_EQ(CKorvelBitmapFont::IsArabicText(CKorvelString(latin)), 0);
    EXPECT_EQ(CKorvelBitmapFont::IsArabicText(CKorvelString()), 0);
}

TEST(CKorvelBitmapFont, PreprocessStripsColourTags)
{
    CKorvelBitmapFont font;
    CKorvelString strOut;
    font.PreprocessTextOS(CKorvelString(L"a$COLOR=0xFF00FF00b"), strOut);
    EXPECT_TRUE(strOut.IsEqual(CKorvelString(L"ab")));
    font.PreprocessTextOS(CKorvelString(L"plain"), strOut);
    EXPECT_TRUE(strOut.IsEqual(CKorvelString(L"plain")));
    font.PreprocessTextOS(CKorvelString(L"x$COLOR=0xFF"), strOut);
    EXPECT_TRUE(strOut.IsEqual(CKorvelString(L"x")));
}

TEST(CKorvelBitmapFont, PostprocessCopiesRedIntoAlphaWithinTheSurface)
{
    CKorvelBitmapFont font;
    unsigned int pixels[2 * 3] = {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC, 0x00DDEEFF, 0x00010203};
    SKE_SURFACEDESC desc = {2, 3, 8, KE_SURFACE_ARGB8888, 0, 4};
    font.PostprocessTextOS(desc, pixels, 8, CKorvelRect<int>(1, -5, 9, 2));
    EXPECT_EQ(pixels[0], 0x00112233u);
    EXPECT_EQ(pixels[1], 0x44445566u);
    EXPECT_EQ(pixels[3], 0xAAAABBCCu);
    EXPECT_EQ(pixels[5], 0x00010203u);
    desc.eFormat = KE_SURFACE_ABGR8888;
    font.PostprocessTextOS(desc, pixels, 8, CKorvelRect<int>(0, 2, 1, 3));
    EXPECT_EQ(pixels[4], 0xFFDDEEFFu);
    desc.eFormat = KE_SURFACE_RGB565;
    font.PostprocessTextOS(desc, pixels, 8, CKorvelRect<int>(0, 0, 2, 3));
    EXPECT_EQ(pixels[0], 0x00112233u);
    font.PostprocessTextOS(desc, pixels, 8, CKorvelRect<int>(10, 10, 20, 20));
}

TEST_F(CKorvelBitmapFontOS, FirstDrawMakesTheCacheAndMeasuresWithoutDrawing)
{
    CKorvelRect<int> rect(10, 20, 110, 40);
    EXPECT_EQ(m_Font.DrawText_OS(*m_pExt, rect, CKorvelString("Sans"), 12, CKorvelString("hi"), 0xFFFFFFFF,
                                 KE_TEXT_MEASURE),
              0);
    ASSERT_NE(m_Font.GetCacheSurface(), nullptr);
    EXPECT_EQ(m_Font.GetCacheSurface()->GetWidth(), 512); // the screen's larger side is below 1101
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 100);
    EXPECT_EQ(rect.bottom, 20);
    EXPECT_EQ(m_Font.GetCacheCount(), 0);
    EXPECT_EQ(m_Font.GetOsFontSize(), 12u);
}

TEST_F(CKorvelBitmapFontOS, CachedTextIsFoundAgainFirstFit)
{
    CKorvelRect<int> rect(10, 20, 110, 40);
    m_Font.DrawText_OS(*m_pExt, rect, CKorvelString("Sans"), 12, CKorvelString("one$COLOR=0xFFFF0000"),
                       0xFFFFFFFF, 0);
    CKorvelRect<int> rect2(0, 0, 50, 10);
    m_Font.DrawText_OS(*m_pExt, rect2, CKorvelString("Sans"), 12, CKorvelString("two"), 0xFFFFFFFF, 0);
    ASSERT_EQ(m_Font.GetCacheCount(), 2);

    CKorvelRect<int> measured;
    EXPECT_EQ(m_Font.DrawFromCache(*m_pExt, measured, CKorvelString("one"), 0xFFFFFFFF, KE_TEXT_MEASURE), 1);
    EXPECT_EQ(measured.left, 0);
    EXPECT_EQ(measured.right, 100);
    EXPECT_EQ(m_Font.DrawFromCache(*m_pExt, measured, CKorvelString("two"), 0xFFFFFFFF, KE_TEXT_MEASURE), 1);
    EXPECT_EQ(measured.left, 108); // the first free step of 12 pixels right of "one"
    EXPECT_EQ(measured.top, 0);
    EXPECT_EQ(m_Font.DrawFromCache(*m_pExt, measured, CKorvelString("three"), 0xFFFFFFFF, 0), 0);

    m_Font.ClearCache();
    EXPECT_EQ(m_Font.GetCacheCount(), 0);
}

TEST_F(CKorvelBitmapFontOS, WideTextGrowsTheCacheAndSizeZeroStillEnds)
{
    CKorvelRect<int> wide(0, 0, 700, 30);
    m_Font.DrawText_OS(*m_pExt, wide, CKorvelString("Sans"), 0, CKorvelString("wide"), 0xFFFFFFFF, 0);
    EXPECT_EQ(m_Font.GetCacheSurface()->GetWidth(), 705);
    EXPECT_EQ(m_Font.GetCacheSurface()->GetHeight(), 512);
    CKorvelRect<int> next(0, 0, 10, 10);
    m_Font.DrawText_OS(*m_pExt, next, CKorvelString("Sans"), 0, CKorvelString("next"), 0xFFFFFFFF, 0);
    EXPECT_EQ(m_Font.GetCacheCount(), 2);
    m_Font.Release();
    EXPECT_EQ(m_Font.GetCacheSurface()->GetTexture(), 0u);
    m_Font.Restore();
    EXPECT_NE(m_Font.GetCacheSurface()->GetTexture(), 0u);
}
