// Surfaces and fonts of the resource manager on Mesa GL: the pack options (original
// sizes, separate alpha, no mipmaps), scaling to the screen, and the rebuild of textures,
// fonts and shaders after a context loss, checked by drawing and reading back.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Framework/Shell/ResourceTestMedia.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelGraphics/FontGlTestHelpers.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/GlTestContext.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"

namespace
{
class CVornResourceManager : public ::testing::Test
{
protected:
    void Start(int iWidth = 1024, int iHeight = 600)
    {
        m_pApp = std::make_unique<CTestVornApplication>(iWidth, iHeight);
        m_iHeight = iHeight;
        ASSERT_EQ(m_pApp->StartHeadless(), KE_OK);
    }
    void AddPack(const TestPackItems& items, const std::string& strName = "p.kmp")
    {
        ASSERT_TRUE(m_pApp->WritePack(strName, items));
        ASSERT_EQ(m_pApp->AddPack(S(strName), 0, 0), 1);
    }
    uint32_t BackPixel(int iX, int iY) { return ReadGlPixel(iX, iY, m_iHeight); }

    std::unique_ptr<CTestVornApplication> m_pApp;
    int m_iHeight = 0;
};

int Alpha(::CKorvelSurface& surface, int x, int y)
{
    if (surface.GetAlphaChannel())
        return surface.GetAlphaChannel()[y * surface.GetWidth() + x];
    return int(surface.GetPixelDIB(x, y) >> 24);
}

TEST_F(CVornResourceManager, SurfacesAreScaledFromTheirOriginalScreenSize)
{
    struct sCASE
    {
        int m_iScreenW, m_iScreenH;
        int m_iImageW, m_iImageH;
        int m_iOriginal;
        int m_iW, m_iH;
    } const aCases[] = {
        {1024, 600, 100, 50, 768, 78, 39},  // 600 / 768, truncated
        {1024, 600, 100, 50, 600, 100, 50}, // made for this side
        {1024, 600, 100, 50, 0, 100, 50},   // no original size: no scaling
        {320, 200, 1, 1, 768, 1, 1},        // never below one pixel
        {320, 200, 10, 2, 768, 2, 1},
        {1024, 600, 100, 100, 1, 100, 100}, // the scaled copy cannot be made: the picture stays
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(std::to_string(c.m_iScreenH) + " " + std::to_string(c.m_iImageW) + "/" +
                     std::to_string(c.m_iOriginal));
        m_pApp.reset();
        Start(c.m_iScreenW, c.m_iScreenH);
        AddPack(
            {{"/kmp.meta", PackMeta(c.m_iOriginal, 0)}, {"/pic.png", SolidPng(c.m_iImageW, c.m_iImageH)}});
        ::CKorvelSurface* pSurface = m_pApp->GetSurface(S("pic.png"));
        ASSERT_NE(pSurface, nullptr);
        EXPECT_EQ(pSurface->GetWidth(), c.m_iW);
        EXPECT_EQ(pSurface->GetHeight(), c.m_iH);
        EXPECT_NE(pSurface->GetTexture(), 0u);
        EXPECT_EQ(pSurface->GetPixelDIB(0, 0), 0xFFFF0000u) << "the picture survives the scaling";
        EXPECT_EQ(m_pApp->ReleaseSurface(pSurface), 1);
    }
}

TEST_F(CVornResourceManager, SeparateAlphaAndMipmapOptionsReachTheSurface)
{
    Start();
    const std::string strWhite = GreyJpeg(16, 8, 255), strMask = GreyJpeg(16, 8, 200);
    AddPack({{"/kmp.meta", PackMeta(0, 0, true, {"flat.png"})},
             {"/pic.jpg", strWhite},
             {"/pic_alpha.jpg", strMask},
             {"/flat.png", SolidPng(8, 8)},
             {"/round.png", SolidPng(8, 8)}},
            "alpha.kmp");
    AddPack({{"/plain.jpg", strWhite}, {"/plain_alpha.jpg", strMask}}, "plain.kmp");

    ::CKorvelSurface* pPic = m_pApp->GetSurface(S("pic.jpg"));
    ::CKorvelSurface* pPlain = m_pApp->GetSurface(S("plain.jpg"));
    ASSERT_NE(pPic, nullptr);
    ASSERT_NE(pPlain, nullptr);
    EXPECT_NEAR(Alpha(*pPic, 3, 3), 200, 2);
    EXPECT_EQ(Alpha(*pPlain, 3, 3), 255) << "without the option the companion is ignored";

    ::CKorvelSurface* pFlat = m_pApp->GetSurface(S("flat.png"));
    ::CKorvelSurface* pRound = m_pApp->GetSurface(S("round.png"));
    ASSERT_NE(pFlat, nullptr);
    ASSERT_NE(pRound, nullptr);
    EXPECT_NE(pFlat->GetTexture(), 0u);
    EXPECT_EQ(pFlat->HasMipmaps(), 0u);
    EXPECT_EQ(pRound->HasMipmaps(), 1u);
    for (::CKorvelSurface** pp : {&pPic, &pPlain, &pFlat, &pRound})
        EXPECT_EQ(m_pApp->ReleaseSurface(*pp), 1);
}

TEST_F(CVornResourceManager, FontsScaleFromTheirOriginalScreenSize)
{
    Start();
    TestPackItems items = TestFontPackItems();
    items.push_back({"/kmp.meta", PackMeta(0, 768)});
    AddPack(items, "fonts.kmp");
    AddPack(TestFontPackItems(), "unscaled.kmp");
    ::CKorvelBitmapFont* pFont = m_pApp->GetFont(S("tf.fnt"));
    ASSERT_NE(pFont, nullptr);
    EXPECT_FLOAT_EQ(pFont->GetFontScale(), 0.78125f);
    EXPECT_EQ(m_pApp->ReleaseFont(pFont), 1);
    EXPECT_EQ(pFont, nullptr);

    // The image size leaves fonts alone, and the font size leaves images alone.
    ASSERT_TRUE(m_pApp->RemovePack(S("fonts.kmp"), 1));
    items = TestFontPackItems();
    items.push_back({"/kmp.meta", PackMeta(768, 0)});
    items.push_back({"/pic.png", SolidPng(10, 10)});
    AddPack(items, "images.kmp");
    pFont = m_pApp->GetFont(S("tf.fnt"));
    ASSERT_NE(pFont, nullptr);
    EXPECT_FLOAT_EQ(pFont->GetFontScale(), 1.0f);
    EXPECT_EQ(m_pApp->ReleaseFont(pFont), 1);

    EXPECT_EQ(m_pApp->GetFont(S("missing.fnt")), nullptr);
    EXPECT_EQ(m_pApp->GetFont(S("")), nullptr);
}

TEST_F(CVornResourceManager, ContextLossRebuildsTexturesFontsAndShaders)
{
    Start();
    AddPack(TestFontPackItems(), "fonts.kmp");
    AddPack({{"/green.png", SolidPng(8, 8, 0x00FF00FFu)}});
    ::CKorvelSurface* pSurface = m_pApp->GetSurface(S("green.png"));
    ::CKorvelBitmapFont* pFont = m_pApp->GetFont(S("tf.fnt"));
    ASSERT_NE(pSurface, nullptr);
    ASSERT_NE(pFont, nullptr);
    ::CKorvel3DProgram* pProgram = new ::CKorvel3DProgram();
    ASSERT_EQ(pProgram->Startup(m_pApp->GetBack(), S("attribute vec4 p; void main() { gl_Position = p; }"),
                                S("void main() { gl_FragColor = vec4(1.0); }")),
              KE_OK);
    m_pApp->AddShader(S("white"), pProgram);

    m_pApp->ReleaseResources();
    EXPECT_EQ(pSurface->GetTexture(), 0u);
    EXPECT_EQ(pProgram->GetHandle(), 0u);
    EXPECT_EQ(m_pApp->RestoreResources(), KE_OK);
    EXPECT_NE(pSurface->GetTexture(), 0u);

    IKorvelGraphicsContext* pBack = m_pApp->GetBack();
    pBack->Fill(0xFF000000u, nullptr);
    EXPECT_EQ(pBack->BltFast(20, 20, pSurface, nullptr, 0), KE_OK);
    pFont->DrawText(CKorvelRect<int>(100, 100, 200, 140), *pBack, S("A"), 0xFFFFFFFFu, 0, nullptr);
    glFinish();
    EXPECT_EQ(BackPixel(24, 24) & 0x00FFFFFFu, 0x0000FF00u);
    EXPECT_EQ(BackPixel(104, 104) & 0x00FFFFFFu, 0x00FFFFFFu) << "the font's page is back";
    EXPECT_NE(pProgram->GetHandle(), 0u);

    EXPECT_EQ(m_pApp->ReleaseSurface(pSurface), 1);
    EXPECT_EQ(m_pApp->ReleaseFont(pFont), 1);
    EXPECT_EQ(m_pApp->ReleaseShader(pProgram), 1);
}

TEST_F(CVornResourceManager, RestoreEndsAtTheFirstSurfaceThatCannotBeRebuilt)
{
    Start();
    // A surface registered without any texture has nothing to rebuild from.
    ::CKorvelSurface* pBare = new ::CKorvelSurface();
    SKE_SURFACEDESC desc = {4, 4, 0, KE_SURFACE_ABGR8888, 0, 0};
    ASSERT_EQ(pBare->Create(m_pApp.get(), desc), KE_OK);
    m_pApp->AddSurface(S("bare"), pBare);
    EXPECT_EQ(m_pApp->RestoreResources(), KE_ERR_BADDATA);
    EXPECT_EQ(m_pApp->ReleaseSurface(pBare), 1);
    EXPECT_EQ(m_pApp->RestoreResources(), KE_OK);
}

} // namespace
