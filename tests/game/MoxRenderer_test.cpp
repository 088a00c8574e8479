// The game's renderer drawing into the headless 800 x 600 back buffer, read back.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxRenderer.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <functional>

#include "KorvelGraphics/KorvelBitmapFont.h"
#include "game/MoxShader.h"
#include "support/GlTestContext.h"
#include "support/TestTexture.h"
#include "tests/game/GameTestFixture.h"

namespace
{

const uint32_t GREY = 0xFF808080u; // read back as 0xAABBGGRR
const CKorvel3DColor WHITE(1.0f, 1.0f, 1.0f, 1.0f);

struct sBOX
{
    int iLeft = 100000, iTop = 100000, iRight = -1, iBottom = -1;
    int Width() const { return iRight - iLeft + 1; }
    int Height() const { return iBottom - iTop + 1; }
};

class CMoxRenderer : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartGame());
        m_pRenderer = m_pGame->GetRenderer();
        Clear();
    }
    void TearDown() override
    {
        // The test's own pictures are not the resource manager's.
        for (CKorvelSurface*& pSurface : m_pGame->GetContext().psrfGameTextures)
            pSurface = nullptr;
        CGameTest::TearDown();
    }
    static void Clear()
    {
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, 800, 600);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    static uint32_t Pixel(int x, int y) { return ReadGlPixel(x, y, 600) | 0xFF000000u; }
    // The pixels that are no longer grey.
    static sBOX Drawn()
    {
        std::vector<uint32_t> aPixels(size_t{800} * 600);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
        sBOX box;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if ((aPixels[size_t(599 - y) * 800 + size_t(x)] | 0xFF000000u) != GREY)
                {
                    box.iLeft = std::min(box.iLeft, x);
                    box.iRight = std::max(box.iRight, x);
                    box.iTop = std::min(box.iTop, y);
                    box.iBottom = std::max(box.iBottom, y);
                }
        return box;
    }
    static GLint Get(GLenum eWhat)
    {
        GLint i = 0;
        glGetIntegerv(eWhat, &i);
        return i;
    }
    // Every quad operation once, on that surface.
    std::vector<std::pair<const char*, std::function<void()>>> Operations(CKorvelSurface* pSurface)
    {
        ::CMoxRenderer* r = m_pRenderer;
        const CKorvelVector2 p(0.0f, 0.5f), h(0.2f, 0.2f), c(400.0f, 300.0f), s(40.0f, 40.0f);
        return {
            {"world quad", [=] { r->renderWorldQuad(p, h, pSurface, WHITE); }},
            {"world animation", [=] { r->renderWorldAnimation(p, h, WHITE, 1, 0, 2, 2, pSurface); }},
            {"background", [=] { r->renderBackgroundQuad(p, h, pSurface, WHITE, 0); }},
            {"background with alpha", [=] { r->renderBackgroundQuad(p, h, pSurface, WHITE, 1); }},
            {"stretch", [=] { r->renderStretch(p, h, WHITE, CKorvelVector2(0.2f, 0.1f), pSurface); }},
            {"wobble", [=] { r->renderWobble(p, h, WHITE, 0, 1, 2, 1, 0.8f, pSurface); }},
            {"screen quad", [=] { r->renderScreenQuad(c, s, pSurface, WHITE); }},
            {"screen animation", [=] { r->renderScreenAnimation(c, s, WHITE, 0, 1, 2, 2, pSurface); }},
            {"screen rotation", [=] { r->renderScreenRotation(c, s, WHITE, 0, 0, 1, 1, 0.3f, pSurface); }},
            {"screen wobble", [=] { r->renderScreenWobble(c, s, WHITE, 0, 0, 1, 1, 1.2f, pSurface); }},
            {"screen overlay", [=] { r->renderScreenOverlayAnimation(c, s, WHITE, 3, 0, 2, pSurface); }},
            {"screen particle", [=] { r->renderScreenParticle(c, s, 1.0f, pSurface, WHITE); }},
        };
    }

    ::CMoxRenderer* m_pRenderer = nullptr;
};

TEST_F(CMoxRenderer, NothingIsTouchedWithoutASurfaceOrAProgram)
{
    CTestTexture red(4, 4, [](int, int) { return 0xFFFF0000u; });
    // A state that no operation would leave behind.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_DST_COLOR);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_CULL_FACE);
    glUseProgram(0);
    const auto check = [](const char* pWhat)
    {
        SCOPED_TRACE(pWhat);
        EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
        EXPECT_EQ(Get(GL_BLEND_SRC_RGB), GL_ZERO);
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_FALSE);
        EXPECT_EQ(Get(GL_DEPTH_WRITEMASK), GL_FALSE);
        EXPECT_EQ(Get(GL_CURRENT_PROGRAM), 0);
        EXPECT_EQ(glIsEnabled(GL_CULL_FACE), GL_TRUE);
        EXPECT_EQ(Drawn().iRight, -1);
    };
    for (const auto& op : Operations(nullptr))
    {
        op.second();
        check(op.first);
    }
    m_pRenderer->clean();
    for (const auto& op : Operations(&red))
    {
        op.second();
        check(op.first);
    }
    m_pRenderer->renderWater(0);
    check("water");
}

TEST_F(CMoxRenderer, EveryOperationDrawsAndRestoresTheState)
{
    CTestTexture red(4, 4, [](int, int) { return 0xFFFF0000u; });
    for (const auto& op : Operations(&red))
    {
        SCOPED_TRACE(op.first);
        Clear();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE); // as the engine's target starts
        op.second();
        EXPECT_NE(Drawn().iRight, -1) << "something was drawn";
        EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
        EXPECT_EQ(Get(GL_DEPTH_WRITEMASK), GL_TRUE);
        EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), 0);
        EXPECT_EQ(Get(GL_BLEND_EQUATION_RGB), GL_FUNC_ADD);
    }
    m_pRenderer->renderBackgroundQuad(CKorvelVector2(0, 0), CKorvelVector2(1, 1), &red, WHITE, 0);
    EXPECT_EQ(Get(GL_BLEND_SRC_RGB), GL_ONE);
    EXPECT_EQ(Get(GL_BLEND_DST_RGB), GL_ZERO);
    EXPECT_EQ(Get(GL_BLEND_SRC_ALPHA), GL_ONE);
    EXPECT_EQ(Get(GL_BLEND_DST_ALPHA), GL_ZERO);
}

TEST_F(CMoxRenderer, AScreenQuadBlendsPremultipliedOnlyWhenOpaque)
{
    CTestTexture red(4, 4, [](int, int) { return 0xFFFF0000u; });
    struct sCASE
    {
        float fAlpha;
        GLint iSource;
    };
    for (const sCASE& c : {sCASE{1.0f, GL_ONE}, sCASE{254.0f / 255.0f, GL_SRC_ALPHA}})
    {
        m_pRenderer->renderScreenQuad(CKorvelVector2(400, 300), CKorvelVector2(10, 10), &red,
                                      CKorvel3DColor(1.0f, 1.0f, 1.0f, c.fAlpha));
        EXPECT_EQ(Get(GL_BLEND_SRC_RGB), c.iSource) << c.fAlpha;
        EXPECT_EQ(Get(GL_BLEND_DST_RGB), GL_ONE_MINUS_SRC_ALPHA);
    }
}

TEST_F(CMoxRenderer, QuadsCoverTheirPixels)
{
    CTestTexture red(4, 4, [](int, int) { return 0xFFFF0000u; });
    struct sCASE
    {
        const char* pWhat;
        std::function<void()> draw;
        int iLeft, iTop, iRight, iBottom;
    };
    const sCASE cases[] = {
        {"screen quad",
         [&]
         { m_pRenderer->renderScreenQuad(CKorvelVector2(400, 300), CKorvelVector2(10, 10), &red, WHITE); },
         390, 290, 409, 309},
        {"world quad at zoom 1",
         [&] { m_pRenderer->renderWorldQuad(CKorvelVector2(0, 0), CKorvelVector2(0.5f, 0.5f), &red, WHITE); },
         200, 100, 599, 499},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        Clear();
        c.draw();
        const sBOX box = Drawn();
        EXPECT_EQ(box.iLeft, c.iLeft);
        EXPECT_EQ(box.iTop, c.iTop);
        EXPECT_EQ(box.iRight, c.iRight);
        EXPECT_EQ(box.iBottom, c.iBottom);
        EXPECT_EQ(Pixel((c.iLeft + c.iRight) / 2, (c.iTop + c.iBottom) / 2), 0xFF0000FFu);
    }
}

TEST_F(CMoxRenderer, AFrameOfASheetShowsItsCell)
{
    // 4 x 4 cells of 4 x 4 texels, each a colour of its own.
    const auto cell = [](int iColumn, int iRow)
    { return 0xFF000000u | uint32_t(40 + 50 * iColumn) << 16 | uint32_t(40 + 50 * iRow) << 8; };
    CTestTexture sheet(16, 16, [&](int x, int y) { return cell(x / 4, y / 4); });
    m_pRenderer->renderScreenAnimation(CKorvelVector2(400, 300), CKorvelVector2(40, 40), WHITE, 1, 2, 4, 4,
                                       &sheet);
    const uint32_t argb = cell(1, 2);
    const uint32_t uExpected = 0xFF000000u | (argb & 0xFF) << 16 | (argb & 0xFF00) | (argb >> 16 & 0xFF);
    EXPECT_EQ(Pixel(400, 300), uExpected);
    // A column beyond the sheet wraps round.
    Clear();
    m_pRenderer->renderScreenAnimation(CKorvelVector2(400, 300), CKorvelVector2(40, 40), WHITE, -3, 2, 4, 4,
                                       &sheet);
    EXPECT_EQ(Pixel(400, 300), uExpected);
}

TEST_F(CMoxRenderer, RotatedSpritesKeepTheirProportions)
{
    CTestTexture red(4, 4, [](int, int) { return 0xFFFF0000u; });
    const CKorvelVector2 centre(400, 300), half(30, 20);
    m_pRenderer->renderScreenAnimation(centre, half, WHITE, 0, 0, 1, 1, &red);
    const sBOX upright = Drawn();
    Clear();
    m_pRenderer->renderScreenRotation(centre, half, WHITE, 0, 0, 1, 1, -KE_HALF_PI, &red);
    const sBOX turned = Drawn();
    EXPECT_EQ(turned.iLeft, upright.iLeft);
    EXPECT_EQ(turned.iTop, upright.iTop);
    EXPECT_EQ(turned.iRight, upright.iRight);
    EXPECT_EQ(turned.iBottom, upright.iBottom);

    Clear();
    m_pRenderer->renderScreenRotation(centre, CKorvelVector2(30, 30), WHITE, 0, 0, 1, 1,
                                      -KE_HALF_PI + 0.7853982f, &red);
    const sBOX diamond = Drawn();
    EXPECT_NEAR(diamond.Width(), diamond.Height(), 1);
    EXPECT_NEAR(diamond.Width(), 85, 2) << "the diagonal of a 60-pixel square";
}

TEST_F(CMoxRenderer, AStretchShowsTheBandOfItsLength)
{
    // Ten horizontal bands, band n in red n x 20.
    CTestTexture bands(4, 40, [](int, int y) { return 0xFF000000u | uint32_t(20 * (y / 4) + 10) << 16; });
    struct sCASE
    {
        float fLength;
        int iBand;
    };
    for (const sCASE& c : {sCASE{0.04f, 1}, sCASE{0.2f, 4}, sCASE{0.45f, 9}, sCASE{1.0f, 9}})
    {
        SCOPED_TRACE(c.fLength);
        Clear();
        m_pRenderer->renderStretch(CKorvelVector2(0, 0), CKorvelVector2(0.05f, 0.05f),
                                   CKorvel3DColor(0, 0, 0, 1), CKorvelVector2(c.fLength, 0.0f), &bands);
        // Just right of the body's centre, on the stretch's axis.
        EXPECT_EQ(PixelR(Pixel(405, 300)), 20 * c.iBand + 10);
    }
}

TEST_F(CMoxRenderer, WaterNeedsItsWavesAndStopsAtTheFirstMissingPicture)
{
    CTestTexture waves(4, 4, [](int, int) { return 0xFF0000FFu; });
    CTestTexture base(4, 4, [](int, int) { return 0xFF00FF00u; });
    CKorvelSurface** apSlots = m_pGame->GetContext().psrfGameTextures;
    // At t = 0 the wave strips cover about rows 278-330, the base below them.
    const int iStrips = 300, iBase = 500;

    apSlots[TEXTURE_WATER_BASE] = &base;
    m_pRenderer->renderWater(0);
    EXPECT_EQ(Drawn().iRight, -1) << "no waves: nothing";

    apSlots[TEXTURE_WATER_BASE] = nullptr;
    apSlots[TEXTURE_WAVES] = &waves;
    m_pRenderer->renderWater(0);
    EXPECT_EQ(Pixel(400, iStrips), 0xFFFF0000u);
    EXPECT_EQ(Pixel(400, iBase), GREY) << "no base: the strips only";

    Clear();
    apSlots[TEXTURE_WATER_BASE] = &base;
    m_pRenderer->renderWater(0);
    EXPECT_EQ(Pixel(400, iStrips), 0xFFFF0000u);
    EXPECT_EQ(Pixel(400, iBase), 0xFF00FF00u);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
}

TEST_F(CMoxRenderer, ShadowedTextDropsItsShadowAndKeepsTheScale)
{
    CKorvelBitmapFont* pFont = m_App.GetFont(GAME_FONTS[FONT_MAIN].name);
    ASSERT_NE(pFont, nullptr);
    const float fScale = pFont->GetFontScale();
    const int iDrop = int(4.0f * fScale);
    ASSERT_GT(iDrop, 0);
    m_pRenderer->DrawShadowedText(100, 100, CKorvelString("A"), 0xFFFFFFFFu, 0, FONT_MAIN);
    const int iGlyph = int(8 * fScale); // the glyph is an 8 x 8 block
    EXPECT_EQ(Pixel(101, 101), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(101, 100 + iGlyph + iDrop - 1), 0xFF000000u) << "the shadow below";
    EXPECT_EQ(Pixel(101, 100 + iGlyph + iDrop), GREY);
    EXPECT_EQ(Pixel(99, 101), GREY) << "not sideways";
    EXPECT_EQ(pFont->GetFontScale(), fScale);

    Clear();
    m_pRenderer->DrawShadowedText(0, 200, CKorvelString("AB"), 0xFFFFFFFFu, TEXT_SCALE_HALF, FONT_MAIN);
    EXPECT_EQ(pFont->GetFontScale(), fScale);
    EXPECT_EQ(Drawn().Width(), int(18 * 0.5f * fScale)) << "drawn at half the scale";

    // Centred on the screen, then moved left by half its width again.
    Clear();
    CKorvelRect<int> measured(0, 0, 480, 0);
    pFont->CalcRect(measured, CKorvelString("AB"));
    const int w = measured.GetWidth();
    m_pRenderer->DrawShadowedText(0, 200, CKorvelString("AB"), 0xFFFFFFFFu, TEXT_CENTRE_X | TEXT_LEFT_HALF,
                                  FONT_MAIN);
    EXPECT_EQ(Drawn().iLeft, 400 - w / 2 - w / 2);
    m_App.ReleaseFont(pFont);
}

} // namespace
