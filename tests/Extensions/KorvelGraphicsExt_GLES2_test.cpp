// The GL screen target on Mesa: an 800 x 600 headless application window, drawn and
// read back pixel by pixel.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
//
// Sections: fixture - start-up state - fills - textured draws - tinted draws -
// rotated draws - lines and clipping - activation caches - release and restore -
// golden frame.
#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "KorvelCommon/KorvelMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "support/GlCallLog.h"
#include "support/GlTestContext.h"
#include "support/TestApplication.h"
#include "support/TestTexture.h"

namespace
{

// ------------------------------------------------------------------- fixture

const int g_iScreenW = 800, g_iScreenH = 600;
const float g_fPi = KE_PI;

// 64 x 32: red top-left, green top-right, blue bottom-left, white bottom-right.
uint32_t Quadrants(int x, int y)
{
    static const uint32_t s_auColours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    return s_auColours[(y >= 16 ? 2 : 0) + (x >= 32 ? 1 : 0)];
}

// Left, top, right, bottom; right and bottom exclusive; all 0 when empty.
using sBox = std::array<int, 4>;

// Named after the class under test; the class itself is ::CKorvelGraphicsExt_GLES2 here.
class CKorvelGraphicsExt_GLES2 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetHeadlessPlatform(g_iScreenW, g_iScreenH);
        m_pApp = std::make_unique<CTestApplication>();
        ASSERT_EQ(m_pApp->StartHeadless(), KE_OK);
        m_pExt = static_cast<::CKorvelGraphicsExt_GLES2*>(m_pApp->GetGraphicsExtension());
        ASSERT_NE(m_pExt, nullptr);
        m_pQuads = std::make_unique<CTestTexture>(64, 32, Quadrants);
        ClearGlCallLog();
    }
    void TearDown() override
    {
        m_pQuads.reset();
        m_pApp.reset();
    }

    // 0xRRGGBB of a screen pixel, y from the top.
    static uint32_t Rgb(int x, int y)
    {
        const uint32_t uPixel = ReadGlPixel(x, y, g_iScreenH);
        return uint32_t(PixelR(uPixel)) << 16 | uint32_t(PixelG(uPixel)) << 8 | uint32_t(PixelB(uPixel));
    }
    static std::vector<uint8_t> Screen()
    {
        std::vector<uint8_t> aPixels(size_t(g_iScreenW) * g_iScreenH * 4);
        glReadPixels(0, 0, g_iScreenW, g_iScreenH, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
        return aPixels;
    }
    // Pixels that are not black.
    static sBox Drawn()
    {
        const std::vector<uint8_t> aPixels = Screen();
        sBox box = {g_iScreenW, g_iScreenH, 0, 0};
        for (int row = 0; row < g_iScreenH; ++row)
            for (int x = 0; x < g_iScreenW; ++x)
            {
                const uint8_t* p = &aPixels[(size_t(row) * g_iScreenW + x) * 4];
                if (p[0] | p[1] | p[2])
                {
                    const int y = g_iScreenH - 1 - row;
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                           std::max(box[3], y + 1)};
                }
            }
        return box[2] ? box : sBox{0, 0, 0, 0};
    }
    static void ExpectNear(uint32_t uActual, uint32_t uExpected, int iTolerance, const char* pszWhat)
    {
        for (int iShift : {16, 8, 0})
            EXPECT_NEAR(int((uActual >> iShift) & 0xFF), int((uExpected >> iShift) & 0xFF), iTolerance)
                << pszWhat << std::hex << ": 0x" << uActual << " against 0x" << uExpected;
    }
    void Clear(uint32_t argb = 0xFF000000) { m_pExt->Fill(argb, nullptr); }
    sBox Clip() const
    {
        return {m_pExt->m_rcClip.left, m_pExt->m_rcClip.top, m_pExt->m_rcClip.right, m_pExt->m_rcClip.bottom};
    }

    std::unique_ptr<CTestApplication> m_pApp;
    ::CKorvelGraphicsExt_GLES2* m_pExt = nullptr;
    std::unique_ptr<CTestTexture> m_pQuads;
};

// ------------------------------------------------------------ start-up state

TEST_F(CKorvelGraphicsExt_GLES2, StartsWithEightBitChannelsSevenProgramsAndTheDefaultState)
{
    EXPECT_EQ(m_pExt->GetBackColorBits(0), 8);
    EXPECT_EQ(m_pExt->GetBackColorBits(1), 8);
    EXPECT_EQ(m_pExt->GetBackColorBits(2), 8);
    EXPECT_EQ(m_pExt->GetBackColorBits(3), 0);
    int iMajor = 0, iMinor = 0;
    m_pExt->GetEGLVersion(iMajor, iMinor);
    EXPECT_GE(iMajor * 10 + iMinor, 14);
    const char* pszExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    EXPECT_EQ(m_pExt->HasTextureMaxLevel(),
              std::strstr(pszExtensions, "GL_APPLE_texture_max_level") ? 1u : 0u);

    std::vector<unsigned int> aHandles;
    for (CKorvel3DProgram* pProgram :
         {m_pExt->GetSpriteProgram(), m_pExt->GetTextureProgram(), m_pExt->GetHighlightProgram(),
          m_pExt->GetColorProgram(), m_pExt->GetTintProgram(), m_pExt->GetTextProgram(0),
          m_pExt->GetTextProgram(1)})
    {
        ASSERT_NE(pProgram, nullptr);
        EXPECT_NE(pProgram->GetHandle(), 0u);
        EXPECT_EQ(std::count(aHandles.begin(), aHandles.end(), pProgram->GetHandle()), 0);
        aHandles.push_back(pProgram->GetHandle());
        GLint iUnit = -1;
        const int iTexture = pProgram->GetUniformLocation("texture01");
        if (pProgram != m_pExt->GetColorProgram())
        {
            ASSERT_GE(iTexture, 0);
            glGetUniformiv(pProgram->GetHandle(), iTexture, &iUnit);
            EXPECT_EQ(iUnit, 0) << "samplers read texture unit 0";
        }
    }
    GLint iValue = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &iValue);
    EXPECT_EQ(iValue, 0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &iValue);
    EXPECT_EQ(iValue, GL_TEXTURE0);
    glGetIntegerv(GL_DEPTH_FUNC, &iValue);
    EXPECT_EQ(iValue, GL_LEQUAL);
    std::array<GLint, 4> aViewport = {};
    glGetIntegerv(GL_VIEWPORT, aViewport.data());
    EXPECT_EQ(aViewport, (std::array<GLint, 4>{0, 0, g_iScreenW, g_iScreenH}));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Clip(), (sBox{0, 0, g_iScreenW, g_iScreenH}));
}

// --------------------------------------------------------------------- fills

TEST_F(CKorvelGraphicsExt_GLES2, FillPaintsTheRectangleOrEverything)
{
    Clear(0xFF203040);
    EXPECT_EQ(Rgb(0, 0), 0x203040u);
    EXPECT_EQ(Rgb(799, 599), 0x203040u);
    const CKorvelRect<int> rect(10, 20, 110, 70);
    EXPECT_EQ(m_pExt->Fill(0xFFFF8000, &rect), KE_OK);
    EXPECT_EQ(Rgb(10, 20), 0xFF8000u);
    EXPECT_EQ(Rgb(109, 69), 0xFF8000u);
    EXPECT_EQ(Rgb(9, 20), 0x203040u);
    EXPECT_EQ(Rgb(110, 69), 0x203040u);
    EXPECT_EQ(Rgb(109, 70), 0x203040u);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "no clip rectangle was set";

    const CKorvelRect<float> fraction(0.5f, 0.5f, 0.75f, 1.0f);
    m_pExt->Fill(0xFF00FF00, &fraction);
    EXPECT_EQ(Rgb(400, 300), 0x00FF00u);
    EXPECT_EQ(Rgb(599, 599), 0x00FF00u);
    EXPECT_EQ(Rgb(600, 300), 0x203040u);

    const CKorvelRect<int> inverted(300, 300, 200, 400);
    EXPECT_EQ(m_pExt->Fill(0xFFFFFFFF, &inverted), KE_OK);
    EXPECT_EQ(Rgb(250, 350), 0x203040u) << "an inverted rectangle paints nothing";
}

TEST_F(CKorvelGraphicsExt_GLES2, FillWithARectangleKeepsTheClipRectangleInForce)
{
    Clear();
    const CKorvelRect<int> clip(0, 0, 400, 300);
    m_pExt->SetClipRect(&clip);
    const CKorvelRect<int> rect(500, 400, 600, 500);
    m_pExt->Fill(0xFFFF0000, &rect);
    EXPECT_EQ(Rgb(550, 450), 0xFF0000u) << "Fill itself ignores the clip rectangle";
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    m_pExt->GradientFill(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, nullptr);
    EXPECT_EQ(Rgb(399, 299), 0xFFFFFFu);
    EXPECT_EQ(Rgb(400, 200), 0x000000u) << "later drawing is still clipped";
    EXPECT_EQ(Rgb(550, 450), 0xFF0000u);
}

TEST_F(CKorvelGraphicsExt_GLES2, GradientCornersTakeTheirColours)
{
    EXPECT_EQ(m_pExt->GradientFill(0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, nullptr), KE_OK);
    ExpectNear(Rgb(0, 0), 0xFF0000, 2, "top-left");
    ExpectNear(Rgb(799, 0), 0x00FF00, 2, "top-right");
    ExpectNear(Rgb(799, 599), 0x0000FF, 2, "bottom-right");
    ExpectNear(Rgb(0, 599), 0xFFFFFF, 2, "bottom-left");
    ExpectNear(Rgb(0, 300), 0xFF7F7F, 2, "half-way down the left edge");

    Clear();
    const CKorvelRect<int> rect(100, 100, 200, 150);
    m_pExt->GradientFill(0xFF0000FF, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF, &rect);
    EXPECT_EQ(Drawn(), (sBox{100, 100, 200, 150}));
    ExpectNear(Rgb(100, 125), 0x0000FF, 3, "left edge");
    ExpectNear(Rgb(199, 125), 0xFF0000, 3, "right edge");
}

TEST_F(CKorvelGraphicsExt_GLES2, BlendFillAddsTheColourTimesItsAlpha)
{
    Clear(0xFF404040);
    EXPECT_EQ(m_pExt->BlendFill(0x80FF0000, nullptr), KE_OK);
    ExpectNear(Rgb(5, 5), 0xC04040, 1, "0x40 + 0xFF x 128 / 255");
    EXPECT_EQ(m_pExt->BlendFill(0x00FFFFFF, nullptr), KE_OK);
    ExpectNear(Rgb(5, 5), 0xC04040, 1, "alpha 0 draws nothing");
    const CKorvelRect<int> rect(0, 0, 10, 10);
    m_pExt->BlendFill(0xFFFFFFFF, &rect);
    EXPECT_EQ(Rgb(9, 9), 0xFFFFFFu) << "the sum saturates";
    ExpectNear(Rgb(10, 10), 0xC04040, 1, "outside the rectangle");
}

TEST_F(CKorvelGraphicsExt_GLES2, FadeMultipliesTheTargetByTheLevel)
{
    Clear(0xFFC08040);
    EXPECT_EQ(m_pExt->Fade(nullptr, 0.5f), KE_OK);
    ExpectNear(Rgb(400, 300), 0x604020, 1, "half");
    const CKorvelRect<float> left(0.0f, 0.0f, 0.5f, 1.0f);
    m_pExt->Fade(&left, 0.0f);
    EXPECT_EQ(Rgb(399, 300), 0x000000u);
    ExpectNear(Rgb(400, 300), 0x604020, 1, "right half");
    m_pExt->Fade(nullptr, 1.0f);
    ExpectNear(Rgb(400, 300), 0x604020, 1, "level 1 keeps");
}

// ------------------------------------------------------------ textured draws

TEST_F(CKorvelGraphicsExt_GLES2, DrawPutsTheImageAtItsPixelSize)
{
    Clear();
    EXPECT_EQ(m_pExt->Draw(0, 0, *m_pQuads, nullptr, 0), KE_OK);
    // 2 x 64 / 800 = 0.16 wide and 2 x 32 / 600 high in clip space: exactly 64 x 32 pixels.
    EXPECT_EQ(Drawn(), (sBox{0, 0, 64, 32}));
    EXPECT_EQ(Rgb(0, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(63, 0), 0x00FF00u);
    EXPECT_EQ(Rgb(0, 31), 0x0000FFu);
    EXPECT_EQ(Rgb(63, 31), 0xFFFFFFu);

    Clear();
    const CKorvelRect<int> part(32, 0, 64, 16); // the green quarter
    m_pExt->Draw(100, 50, *m_pQuads, &part, 0);
    EXPECT_EQ(Drawn(), (sBox{100, 50, 132, 66}));
    EXPECT_EQ(Rgb(100, 50), 0x00FF00u);
    EXPECT_EQ(Rgb(131, 65), 0x00FF00u);
}

TEST_F(CKorvelGraphicsExt_GLES2, MirrorFlagsSwapTheTextureCoordinatesAndCentringIgnoresThePosition)
{
    Clear();
    m_pExt->Draw(100, 50, *m_pQuads, nullptr, KE_DRAW_MIRROR_H);
    EXPECT_EQ(Rgb(100, 50), 0x00FF00u);
    EXPECT_EQ(Rgb(163, 81), 0x0000FFu);
    m_pExt->Draw(100, 50, *m_pQuads, nullptr, KE_DRAW_MIRROR_V);
    EXPECT_EQ(Rgb(100, 50), 0x0000FFu);
    EXPECT_EQ(Rgb(163, 50), 0xFFFFFFu);
    m_pExt->Draw(100, 50, *m_pQuads, nullptr, KE_DRAW_MIRROR_H | KE_DRAW_MIRROR_V);
    EXPECT_EQ(Rgb(100, 50), 0xFFFFFFu);

    // Centring ignores the position.
    Clear();
    m_pExt->Draw(0, 0, *m_pQuads, nullptr, KE_DRAW_CENTER_H | KE_DRAW_CENTER_V);
    EXPECT_EQ(Drawn(), (sBox{368, 284, 432, 316}));
    const std::vector<uint8_t> aFirst = Screen();
    Clear();
    m_pExt->Draw(300, 284, *m_pQuads, nullptr, KE_DRAW_CENTER_H);
    EXPECT_EQ(Screen(), aFirst);
}

TEST_F(CKorvelGraphicsExt_GLES2, StretchedDrawFillsTheDestination)
{
    Clear();
    const CKorvelRect<int> dst(200, 100, 328, 164);
    EXPECT_EQ(m_pExt->DrawStretched(&dst, *m_pQuads, nullptr, 0), KE_OK);
    EXPECT_EQ(Drawn(), (sBox{200, 100, 328, 164}));
    EXPECT_EQ(Rgb(263, 131), 0xFF0000u);
    EXPECT_EQ(Rgb(264, 131), 0x00FF00u);
    EXPECT_EQ(Rgb(263, 132), 0x0000FFu);
    EXPECT_EQ(Rgb(327, 163), 0xFFFFFFu);

    Clear();
    m_pExt->DrawStretched(nullptr, *m_pQuads, nullptr, KE_DRAW_MIRROR_H);
    EXPECT_EQ(Rgb(0, 0), 0x00FF00u) << "null is the whole screen";
    EXPECT_EQ(Rgb(799, 599), 0x0000FFu);

    Clear();
    EXPECT_EQ(m_pExt->Blt(&dst, m_pQuads.get(), nullptr, 0), KE_OK);
    const std::vector<uint8_t> aForwarded = Screen();
    Clear();
    m_pExt->DrawStretched(&dst, *m_pQuads, nullptr, 0);
    EXPECT_EQ(Screen(), aForwarded) << "the old name draws the same";
}

TEST_F(CKorvelGraphicsExt_GLES2, MultiplyAndPremultipliedBlendsOfTexturedDraws)
{
    CTestTexture half(8, 8, [](int, int) { return 0x80808080u; }); // white at alpha 128, premultiplied
    Clear(0xFF00FF80);
    m_pExt->Draw(0, 0, half, nullptr, KE_DRAW_HALFBLEND);
    ExpectNear(Rgb(0, 0), 0x008040, 1, "multiplied by 0x80");
    Clear(0xFF00FF80);
    m_pExt->Draw(0, 0, half, nullptr, KE_DRAW_SRCALPHA);
    ExpectNear(Rgb(0, 0), 0x80FFC0, 1, "0x80 + target x (1 - 0.5)");
    m_pExt->Draw(0, 0, half, nullptr, 0);
    ExpectNear(Rgb(0, 0), 0x808080, 1, "replaced");
}

TEST_F(CKorvelGraphicsExt_GLES2, SourcesWithoutATextureAreRefused)
{
    CKorvelSurface bare;
    SKE_SURFACEDESC desc = {16, 16, 0, KE_SURFACE_ABGR8888, 0, 0};
    ASSERT_EQ(bare.Create(nullptr, desc), KE_OK);
    EXPECT_EQ(m_pExt->Draw(0, 0, bare, nullptr, 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(m_pExt->DrawStretched(nullptr, bare, nullptr, 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(m_pExt->DrawRotated(0, 0, bare, 0.0f, 16, 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(m_pExt->DrawBlended(0, 0, bare, nullptr, 0xFFFFFFFF, 0), KE_ERR_INVALIDARG);
    EXPECT_EQ(m_pExt->Draw(0, 0, *m_pExt, nullptr, 0), KE_ERR_INVALIDARG) << "a screen is no source";
    EXPECT_EQ(m_pExt->StretchRotateBlend(static_cast<const CKorvelRect<float>*>(nullptr), nullptr, nullptr,
                                         0.0f, 0xFFFFFFFF, 0),
              KE_ERR_INVALIDARG);
    EXPECT_EQ(CountGlCalls("glDrawArrays"), 0);
    bare.Shutdown();
}

// -------------------------------------------------------------- tinted draws

TEST_F(CKorvelGraphicsExt_GLES2, TintedDrawsTreatTheTextureAsPremultiplied)
{
    CTestTexture half(8, 8, [](int, int) { return 0x80808080u; });
    const CKorvelRect<int> dst(100, 0, 108, 8);
    const CKorvelRect<float> dstF(200.0f / 800, 0.0f, 208.0f / 800, 8.0f / 600);
    Clear();
    EXPECT_EQ(m_pExt->DrawBlended(0, 0, half, nullptr, 0xFFFFFFFF, 0), KE_OK);
    EXPECT_EQ(m_pExt->DrawStretchedBlended(&dst, half, nullptr, 0xFFFFFFFF, 0), KE_OK);
    EXPECT_EQ(m_pExt->StretchRotateBlend(&dstF, &half, nullptr, 0.0f, 0xFFFFFFFF, 0), KE_OK);
    for (int x : {0, 100, 200})
        ExpectNear(Rgb(x + 3, 3), 0x808080, 1, "half-transparent white over black, no dark fringe");

    Clear(0xFFFFFFFF);
    m_pExt->DrawBlended(0, 0, half, nullptr, 0x80FF0000, 0);
    m_pExt->DrawStretchedBlended(&dst, half, nullptr, 0x80FF0000, 0);
    m_pExt->StretchRotateBlend(&dstF, &half, nullptr, 0.0f, 0x80FF0000, 0);
    // tint (1, 0, 0) x 0.5 on (0.5, 0.5, 0.5, 0.5): 0.25 red over white x 0.75
    for (int x : {0, 100, 200})
        ExpectNear(Rgb(x + 3, 3), 0xFFBFBF, 1, "tinted and faded by the colour");

    Clear();
    EXPECT_EQ(m_pExt->DrawBlended(0, 0, *m_pQuads, nullptr, 0x00FFFFFF, 0), KE_OK);
    EXPECT_EQ(m_pExt->DrawStretchedBlended(nullptr, *m_pQuads, nullptr, 0x00FFFFFF, 0), KE_OK);
    EXPECT_EQ(Drawn(), (sBox{0, 0, 0, 0})) << "alpha 0 draws nothing";
}

TEST_F(CKorvelGraphicsExt_GLES2, HighlightMixesASilhouetteWithTheImage)
{
    Clear();
    m_pExt->DrawBlended(0, 0, *m_pQuads, nullptr, 0xFFFF00FF, KE_DRAW_ALPHAONLY);
    EXPECT_EQ(Rgb(0, 0), 0xFF0000u) << "alpha 1: the image itself";
    m_pExt->DrawBlended(0, 0, *m_pQuads, nullptr, 0x01FF00FF, KE_DRAW_ALPHAONLY);
    ExpectNear(Rgb(0, 0), 0xFF00FF, 1, "alpha near 0: the colour's silhouette");
    ExpectNear(Rgb(63, 31), 0xFF00FF, 1, "over every part of the image");
    const CKorvelRect<int> dst(100, 100, 164, 132);
    m_pExt->DrawStretchedBlended(&dst, *m_pQuads, nullptr, 0x01FF00FF, KE_DRAW_ALPHAONLY);
    ExpectNear(Rgb(163, 131), 0xFF00FF, 1, "stretched highlight");
}

// ------------------------------------------------------------- rotated draws

TEST_F(CKorvelGraphicsExt_GLES2, RotationByZeroDrawsLikeDraw)
{
    Clear();
    m_pExt->Draw(CKorvelVector2(0.25f, 0.5f), *m_pQuads, nullptr, KE_DRAW_MIRROR_V);
    const std::vector<uint8_t> aPlain = Screen();
    Clear();
    EXPECT_EQ(m_pExt->DrawRotated(CKorvelVector2(0.25f, 0.5f), *m_pQuads, 0.0f, 1.0f, KE_DRAW_MIRROR_V),
              KE_OK);
    EXPECT_EQ(Screen(), aPlain);
    Clear();
    m_pExt->BltRotate(200, 300, m_pQuads.get(), 0.0f, 64, KE_DRAW_MIRROR_V);
    EXPECT_EQ(Screen(), aPlain) << "the integer size 64 is scale 1 for a 64 x 32 image";
}

TEST_F(CKorvelGraphicsExt_GLES2, RotationTurnsAboutTheCentreCounterClockwise)
{
    Clear();
    m_pExt->DrawRotated(368, 284, *m_pQuads, g_fPi / 2.0f, 64, 0);
    // The 64 x 32 image centred on (400, 300) becomes 32 x 64; its top-right corner comes to the top-left.
    EXPECT_EQ(Drawn(), (sBox{384, 268, 416, 332}));
    EXPECT_EQ(Rgb(386, 270), 0x00FF00u);
    EXPECT_EQ(Rgb(386, 329), 0xFF0000u);
    EXPECT_EQ(Rgb(413, 329), 0x0000FFu);

    Clear();
    m_pExt->DrawRotated(0, 0, *m_pQuads, g_fPi, 64, KE_DRAW_CENTER_H | KE_DRAW_CENTER_V);
    EXPECT_EQ(Drawn(), (sBox{368, 284, 432, 316})) << "centred on the screen";
    EXPECT_EQ(Rgb(369, 285), 0xFFFFFFu) << "half a turn";
}

TEST_F(CKorvelGraphicsExt_GLES2, IntegerRotatedSizeScalesTheLargerSide)
{
    CTestTexture wide(200, 50, [](int, int) { return 0xFFFFFFFFu; });
    Clear();
    m_pExt->DrawRotated(10, 20, wide, 0.0f, 100, 0);
    EXPECT_EQ(Drawn(), (sBox{10, 20, 110, 45})) << "scale 0.5, the smaller of 100 / 200 and 100 / 50";
}

TEST_F(CKorvelGraphicsExt_GLES2, StretchRotateBlendTurnsTheDestination)
{
    Clear();
    const CKorvelRect<int> dst(100, 100, 164, 132);
    const CKorvelRect<int> src(0, 0, 32, 16); // the red quarter
    EXPECT_EQ(m_pExt->StretchRotateBlend(&dst, m_pQuads.get(), &src, 0.0f, 0xFFFFFFFF, 0), KE_OK);
    EXPECT_EQ(Drawn(), (sBox{100, 100, 164, 132}));
    EXPECT_EQ(Rgb(163, 131), 0xFF0000u);
    Clear();
    m_pExt->StretchRotateBlend(&dst, m_pQuads.get(), nullptr, g_fPi / 2.0f, 0xFFFFFFFF, 0);
    EXPECT_EQ(Drawn(), (sBox{116, 84, 148, 148}));
}

// ------------------------------------------------------- lines and clipping

TEST_F(CKorvelGraphicsExt_GLES2, LinesRunFromOneColourToTheOther)
{
    Clear();
    // Through the centres of row 10 (integer positions lie between pixels).
    const CKorvelVector2 from(10.5f / g_iScreenW, 10.5f / g_iScreenH),
        to(110.5f / g_iScreenW, 10.5f / g_iScreenH);
    EXPECT_EQ(m_pExt->Line(from, to, 0xFFFF0000, 0xFF0000FF), KE_OK);
    ExpectNear(Rgb(11, 10), 0xFF0000, 6, "start");
    ExpectNear(Rgb(108, 10), 0x0000FF, 6, "end");
    ExpectNear(Rgb(60, 10), 0x800080, 6, "middle");
    EXPECT_EQ(Rgb(60, 12), 0x000000u);
    EXPECT_EQ(CountGlCalls("glBindTexture") + CountGlCalls("glBlendFunc"), 0)
        << "no texture and the blending of the last draw";
}

TEST_F(CKorvelGraphicsExt_GLES2, ClipRectanglesAreClampedToTheScreenAndScissorDrawing)
{
    const CKorvelRect<int> huge(-10, -10, 5000, 5000);
    m_pExt->SetClipRect(&huge);
    EXPECT_EQ(Clip(), (sBox{0, 0, 800, 600}));
    std::array<GLint, 4> aBox = {};
    glGetIntegerv(GL_SCISSOR_BOX, aBox.data());
    EXPECT_EQ(aBox, (std::array<GLint, 4>{0, 0, 800, 600}));

    const CKorvelRect<int> inverted(300, 200, 100, 100);
    m_pExt->SetClipRect(&inverted);
    EXPECT_EQ(Clip(), (sBox{300, 200, 300, 200})) << "right and bottom are at least left and top";

    Clear();
    const CKorvelRect<float> quarter(0.25f, 0.5f, 0.5f, 1.0f);
    m_pExt->SetClipRect(&quarter);
    glGetIntegerv(GL_SCISSOR_BOX, aBox.data());
    EXPECT_EQ(aBox, (std::array<GLint, 4>{200, 0, 200, 300})) << "GL counts rows from the bottom";
    m_pExt->Draw(0, 0, *m_pQuads, nullptr, KE_DRAW_CENTER_H | KE_DRAW_CENTER_V);
    EXPECT_EQ(Drawn(), (sBox{368, 300, 400, 316}));

    m_pExt->SetClipRect(static_cast<const CKorvelRect<int>*>(nullptr));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(Clip(), (sBox{0, 0, 800, 600}));
}

// -------------------------------------------------------- activation caches

TEST_F(CKorvelGraphicsExt_GLES2, ASecondActivationOnlyAsksGl)
{
    float afVertices[32] = {};
    CKorvel3DProgram& program = *m_pExt->GetTextureProgram();
    EXPECT_EQ(m_pExt->ActivateProgram(program, afVertices), 1);
    EXPECT_EQ(m_pExt->GetProgramSwitchCount(), 1u);
    ClearGlCallLog();
    EXPECT_EQ(m_pExt->ActivateProgram(program, afVertices), 0);
    EXPECT_EQ(GlCallLog(), (std::vector<std::string>{"glGetIntegerv"}));
    EXPECT_EQ(m_pExt->ActivateProgram(program, nullptr), 0) << "a null pointer is no change";

    ClearGlCallLog();
    float afOther[32] = {};
    EXPECT_EQ(m_pExt->ActivateProgram(program, afOther), 1);
    EXPECT_EQ(CountGlCalls("glUseProgram"), 0) << "only the pointers change";
    EXPECT_EQ(CountGlCalls("glVertexAttribPointer"), 2);
    EXPECT_EQ(CountGlCalls("glGetAttribLocation"), 0) << "locations come from the program's cache";
    EXPECT_EQ(m_pExt->GetProgramSwitchCount(), 1u);
}

TEST_F(CKorvelGraphicsExt_GLES2, LeavingATintedProgramTurnsItsColourArrayOff)
{
    float afVertices[32] = {};
    m_pExt->ActivateProgram(*m_pExt->GetTintProgram(), afVertices);
    const int iColor = m_pExt->GetTintProgram()->GetAttributeLocation("color");
    GLint iEnabled = 0;
    glGetVertexAttribiv(iColor, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &iEnabled);
    EXPECT_EQ(iEnabled, 1);
    m_pExt->ActivateProgram(*m_pExt->GetTextProgram(0), afVertices);
    glGetVertexAttribiv(iColor, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &iEnabled);
    EXPECT_EQ(iEnabled, 0);
}

TEST_F(CKorvelGraphicsExt_GLES2, TexturesAreBoundOnlyWhenTheyChangeAndCountedPerFrame)
{
    m_pExt->ActivateTexture(GL_TEXTURE0, m_pQuads->GetTexture());
    m_pExt->ActivateTexture(GL_TEXTURE0, m_pQuads->GetTexture());
    EXPECT_EQ(CountGlCalls("glBindTexture"), 1);
    EXPECT_EQ(m_pExt->GetTextureBindCount(), 1u);
    m_pExt->Draw(0, 0, *m_pQuads, nullptr, 0);
    EXPECT_EQ(m_pExt->GetTextureBindCount(), 1u);
    EXPECT_GE(m_pExt->GetProgramSwitchCount(), 1u);
    EXPECT_EQ(m_pExt->Extension_Flip(), EGL_TRUE);
    EXPECT_EQ(m_pExt->GetTextureBindCount(), 0u);
    EXPECT_EQ(m_pExt->GetProgramSwitchCount(), 0u);
}

// ------------------------------------------------------ release and restore

TEST_F(CKorvelGraphicsExt_GLES2, AfterReleaseNothingDrawsUntilRestored)
{
    m_pQuads.reset(); // its texture goes with the context
    m_pExt->Extension_ReleaseResources();
    EXPECT_EQ(m_pExt->GetTextureProgram(), nullptr);
    EXPECT_EQ(m_pExt->GetTextProgram(1), nullptr);
    CTestTexture stale(4, 4, Quadrants);
    EXPECT_EQ(m_pExt->Draw(0, 0, stale, nullptr, 0), KE_ERR_NOTSTARTED);
    EXPECT_EQ(m_pExt->DrawBlended(0, 0, stale, nullptr, 0xFFFFFFFF, 0), KE_ERR_NOTSTARTED);
    EXPECT_EQ(m_pExt->GradientFill(1, 2, 3, 4, nullptr), KE_ERR_NOTSTARTED);
    EXPECT_EQ(m_pExt->Line(0, 0, 5, 5, 1, 2), KE_ERR_NOTSTARTED);
    EXPECT_EQ(m_pExt->Fill(0, nullptr), KE_ERR_NOTSTARTED);
    EXPECT_EQ(m_pExt->StretchRotateBlend(static_cast<const CKorvelRect<float>*>(nullptr), &stale, nullptr,
                                         0.0f, 0xFFFFFFFF, 0),
              KE_ERR_NOTSTARTED);

    EXPECT_EQ(m_pApp->OnRestoreResources(), KE_OK);
    ASSERT_NE(m_pExt->GetTextureProgram(), nullptr);
    EXPECT_EQ(m_pExt->GetWidth(), 800) << "the size stays";
    CTestTexture fresh(64, 32, Quadrants);
    Clear();
    EXPECT_EQ(m_pExt->Draw(0, 0, fresh, nullptr, 0), KE_OK);
    EXPECT_EQ(Drawn(), (sBox{0, 0, 64, 32}));
    EXPECT_EQ(Rgb(63, 31), 0xFFFFFFu);
}

TEST_F(CKorvelGraphicsExt_GLES2, StartingAgainReplacesTheOldResourcesAndShutdownForgetsTheSize)
{
    m_pQuads.reset();
    EXPECT_EQ(m_pExt->Extension_Startup(m_pApp.get()), KE_OK);
    ASSERT_NE(m_pExt->GetTextureProgram(), nullptr);
    m_pQuads = std::make_unique<CTestTexture>(64, 32, Quadrants);
    Clear();
    EXPECT_EQ(m_pExt->Draw(0, 0, *m_pQuads, nullptr, 0), KE_OK);
    EXPECT_EQ(Rgb(0, 0), 0xFF0000u);
    m_pQuads.reset();

    m_pExt->Extension_Shutdown();
    EXPECT_EQ(m_pExt->GetWidth(), 0);
    EXPECT_EQ(m_pExt->GetHeight(), 0);
    EXPECT_EQ(m_pExt->GetColorProgram(), nullptr);
    m_pExt->Extension_Shutdown(); // twice is harmless
}

// -------------------------------------------------------------- golden frame

uint32_t Fnv1a(const std::vector<uint8_t>& aBytes)
{
    uint32_t uHash = 2166136261u;
    for (uint8_t b : aBytes)
        uHash = (uHash ^ b) * 16777619u;
    return uHash;
}

TEST_F(CKorvelGraphicsExt_GLES2, GoldenFrame)
{
    CTestTexture disc(32, 32,
                      [](int x, int y)
                      {
                          const int dx = x - 16, dy = y - 16;
                          const uint32_t a = dx * dx + dy * dy < 196 ? 0xFF : 0x40;
                          return a << 24 | (a * x / 32) << 16 | (a * y / 32) << 8 | a / 2;
                      });
    m_pExt->GradientFill(0xFF102040, 0xFF402010, 0xFF104020, 0xFF201040, nullptr);
    const CKorvelRect<int> band(0, 500, 800, 560);
    m_pExt->Fill(0xFF303030, &band);
    m_pExt->BlendFill(0x40FFFFFF, &band);
    m_pExt->Draw(20, 20, *m_pQuads, nullptr, 0);
    m_pExt->Draw(120, 20, *m_pQuads, nullptr, KE_DRAW_MIRROR_H | KE_DRAW_MIRROR_V);
    const CKorvelRect<int> stretched(220, 20, 380, 100);
    m_pExt->DrawStretched(&stretched, disc, nullptr, KE_DRAW_SRCALPHA);
    m_pExt->DrawRotated(420, 40, disc, 0.6f, 48, KE_DRAW_SRCALPHA);
    m_pExt->DrawBlended(520, 40, disc, nullptr, 0xC080FF80, 0);
    const CKorvelRect<int> clip(0, 150, 800, 450);
    m_pExt->SetClipRect(&clip);
    const CKorvelRect<int> turned(300, 200, 500, 300);
    m_pExt->StretchRotateBlend(&turned, &disc, nullptr, -0.4f, 0xFFFFFFFF, 0);
    for (int i = 0; i < 8; ++i)
        m_pExt->Line(40 + 90 * i, 140, 80 + 90 * i, 460, 0xFFFF8000, 0xFF0080FF);
    m_pExt->SetClipRect(static_cast<const CKorvelRect<int>*>(nullptr));
    const CKorvelRect<int> shade(600, 300, 800, 600);
    m_pExt->Fade(&shade, 0.25f);
    // FNV-1a of the RGBA bytes as llvmpipe draws them; a change means the picture changed.
    EXPECT_EQ(Fnv1a(Screen()), 2916892875u);
}

// ------------------------------------------------------ two applications

TEST_F(CKorvelGraphicsExt_GLES2, TwoApplicationsEachDrawInTheirOwnContext)
{
    auto pOther = std::make_unique<CTestApplication>();
    ASSERT_EQ(pOther->StartHeadless(), KE_OK);
    auto* pOtherExt = static_cast<::CKorvelGraphicsExt_GLES2*>(pOther->GetGraphicsExtension());
    ASSERT_NE(pOtherExt, nullptr);
    for (int iFrame = 0; iFrame < 3; ++iFrame)
    {
        m_pExt->MakeCurrent();
        Clear(0xFFFF0000);
        pOtherExt->MakeCurrent();
        pOtherExt->Fill(0xFF0000FF, static_cast<const CKorvelRect<int>*>(nullptr));
        EXPECT_EQ(Rgb(10, 10), 0x0000FFu) << iFrame;
        m_pExt->MakeCurrent();
        EXPECT_EQ(Rgb(10, 10), 0xFF0000u) << iFrame;
    }
    // The other one going leaves the display and this context alive.
    pOther.reset();
    m_pExt->MakeCurrent();
    Clear(0xFF00FF00);
    EXPECT_EQ(Rgb(10, 10), 0x00FF00u);
    // A texture made before the other application started survived its shut-down.
    Clear();
    EXPECT_EQ(m_pExt->Draw(0, 0, *m_pQuads, nullptr, 0), KE_OK);
    EXPECT_EQ(Rgb(5, 5), 0xFF0000u);
    EXPECT_EQ(Rgb(40, 5), 0x00FF00u);
}

} // namespace
