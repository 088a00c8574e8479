// The blocks' step and their drawing in batches with shadows, on the game's renderer
// drawing into the headless 800 x 600 back buffer (or an RGBA target for the shadows),
// read back. World (0, 0) is pixel (400, 300) and one unit 400 pixels.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <cmath>

#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "support/GlTestContext.h"
#include "support/TestSceneFile.h"
#include "tests/game/GameFrameHash.h"
#include "tests/game/GameTestFixture.h"

namespace
{

const uint32_t GREY = 0xFF808080u; // read back as 0xAABBGGRR

// The colour a block of that material and look shows: frame times surface.
uint32_t BlockPixel(int iMaterial, int iVariant)
{
    const unsigned int uFrame = GameTestTextureColour(28 + iMaterial);
    const unsigned int uSurface = GameTestTextureColour(32 + 3 * iMaterial + iVariant);
    uint32_t uPixel = 0xFF000000u;
    for (int c = 0; c < 3; ++c)
    {
        const unsigned int a = (uFrame >> (16 - 8 * c)) & 0xFF, b = (uSurface >> (16 - 8 * c)) & 0xFF;
        uPixel |= uint32_t((a * b + 127) / 255) << (8 * c);
    }
    return uPixel;
}

bool Near(uint32_t a, uint32_t b)
{
    for (int c = 0; c < 24; c += 8)
        if (std::abs(int((a >> c) & 0xFF) - int((b >> c) & 0xFF)) > 2)
            return false;
    return true;
}

class CMoxSceneBlocks : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        // The game's font with figures and the minus sign, for the damage numbers.
        std::vector<sTestGlyph> glyphs = {{' ', 0, 0, 0, 0, 0, 0, 10, 0}, {'-', 0, 3, 8, 2, 0, 3, 10, 0}};
        for (int c = '0'; c <= '9'; ++c)
            glyphs.push_back({c, 0, 0, 8, 8, 0, 0, 10, 0});
        TestPackItems font = GameTestFontItems();
        font[0].second = TestFontXml(12, glyphs, 1, "foo");
        ASSERT_TRUE(WriteTestFile(m_App.Dir() + "/app/native/dataUI.kmp", TestPackBytes(font)));
        ASSERT_TRUE(WriteTestScenePack(m_App.Dir() + "/app/native", {{"Golden_Frame.scn", GoldenScene()}}));
        ASSERT_NO_FATAL_FAILURE(StartGame());
        while (!m_pGame->m_bResourcesLoaded)
            m_pGame->PreloadResources(0);
        m_pScene.reset(new CMoxScene());
        m_pScene->Startup(m_pGame.get(), m_pGame->GetRenderer(), m_pGame->GetPhysics(), SCENE_MODE_PLAY);
        m_pScene->m_Players[0].m_bAlive = m_pScene->m_Players[1].m_bAlive = 0; // blocks only
    }
    void TearDown() override
    {
        m_pScene.reset();
        CGameTest::TearDown();
    }
    static sTestScene GoldenScene()
    {
        sTestScene scene = TestSceneWithPlayers({-12, 14}, {12, 14});
        scene.blocks = {{-12, 8, 1, 0, 0, 1}, {12, 8, 1, 1, 1, 1},   {0, 4, 31, 2, 2, 2},
                        {-4, 0, 5, 3, 0, 0},  {20, 20, 13, 0, 2, 3}, {-24, 16, 2, 1, 0, 2},
                        {0, 20, 1, 3, 1, 1},  {-2, 12, 1, 0, 0, 1}};
        scene.helpers = {{8, 28}, {-30, 2}};
        return scene;
    }
    CBlock* Add(int iShape, float x, float y, int iMaterial, int iVariant, int iLayer)
    {
        return m_pScene->m_pBlocks->AddBlock((signed char)iShape, {x, y}, iMaterial, iVariant, iLayer);
    }
    // One frame of the blocks over grey.
    void Draw(unsigned int uShadows)
    {
        m_pGame->GetPhysics()->UpdateVisuals();
        glViewport(0, 0, 800, 600);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        m_pScene->RenderBlocksWithShadows(uShadows);
    }
    static uint32_t Pixel(int x, int y) { return ReadGlPixel(x, y, 600) | 0xFF000000u; }
    std::vector<int> BatchSizes() const
    {
        std::vector<int> a;
        for (int i = 0; i < m_pScene->m_BatchSizes.GetCount(); ++i)
            a.push_back(m_pScene->m_BatchSizes[i]);
        return a;
    }

    std::unique_ptr<CMoxScene> m_pScene;
};

TEST_F(CMoxSceneBlocks, WobbleIsHeldAtATenth)
{
    CBlock* pBlock = Add(1, 0.0f, 0.0f, 0, 0, 0);
    pBlock->m_pBody->m_vImpact.Set(5.0f, -5.0f);
    m_pScene->HandleBlocks(0.033f);
    EXPECT_EQ(pBlock->m_vWobble.x, 0.1f);
    EXPECT_EQ(pBlock->m_vWobble.y, -0.1f);
    pBlock->m_pBody->m_vImpact.Set(0.0f, 0.0f);
    m_pScene->HandleBlocks(0.033f);
    EXPECT_FLOAT_EQ(pBlock->m_vWobble.x, 0.09f);
    EXPECT_FLOAT_EQ(pBlock->m_vWobble.y, -0.063f);
}

TEST_F(CMoxSceneBlocks, ShownStrengthEasesAndStopsShort)
{
    CBlock* pBlock = Add(1, 0.0f, 0.0f, 0, 0, 0);
    pBlock->m_iStrength = 0;
    std::vector<int> aShown;
    for (int i = 0; i < 60; ++i)
    {
        m_pScene->HandleBlocks(0.033f);
        aShown.push_back(pBlock->m_iShownStrength);
    }
    EXPECT_EQ(std::vector<int>(aShown.begin(), aShown.begin() + 3), (std::vector<int>{230, 207, 187}));
    EXPECT_EQ(aShown.back(), 9) << "a tenth of less than 10 is nothing";
}

TEST_F(CMoxSceneBlocks, TimedChangeEndsOncePastZero)
{
    CBlock* pBlock = Add(1, 0.0f, 0.0f, 2, 0, 0);
    pBlock->m_bEffectRunning = 1;
    pBlock->m_fEffectTime = -0.05f;
    pBlock->m_uSavedMaterial = 1;
    pBlock->m_uSavedVariant = 2;
    pBlock->m_iSavedStrength = 77;
    pBlock->m_fSavedFriction = 0.3f;
    pBlock->m_fSavedBounce = 0.6f;
    m_pScene->HandleBlocks(0.03f);
    EXPECT_EQ(pBlock->m_iMaterial, 2) << "still running at -0.02";
    m_pScene->HandleBlocks(0.03f);
    EXPECT_EQ(pBlock->m_bEffectRunning, 0);
    EXPECT_EQ(pBlock->m_iMaterial, 1);
    EXPECT_EQ(pBlock->m_uVariant, 2);
    EXPECT_EQ(pBlock->m_iStrength, 77);
    EXPECT_EQ(pBlock->m_pBody->m_fFriction, 0.3f);
    EXPECT_EQ(pBlock->m_pBody->m_fBounce, 0.6f);
}

TEST_F(CMoxSceneBlocks, VertexBuilders)
{
    float afBlock[16 * 8];
    CKorvelVector2 centre(1.0f, 2.0f), half(0.5f, 0.25f);
    CMoxScene::CreateBlockVertices(afBlock, centre, half, 0.5f);
    const float b = 0.03333f;
    struct sCASE
    {
        int iVertex;
        float af[8];
    };
    const sCASE cases[] = {
        {0, {0.5f, 2.25f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f}},
        {5, {0.5f + b, 2.25f - b, 1.0f, 0.25f, 0.25f, 2.0f * b, 2.0f * b, 0.5f}},
        {6, {1.5f - b, 2.25f - b, 1.0f, 0.75f, 0.25f, 2.0f * (1.0f - b), 2.0f * b, 0.5f}},
        {9, {0.5f + b, 1.75f + b, 1.0f, 0.25f, 0.75f, 2.0f * b, 2.0f * (0.5f - b), 0.5f}},
        {15, {1.5f, 1.75f, 1.0f, 1.0f, 1.0f, 2.0f, 1.0f, 0.5f}},
    };
    for (const sCASE& c : cases)
        for (int f = 0; f < 8; ++f)
            EXPECT_NEAR(afBlock[8 * c.iVertex + f], c.af[f], 1e-5f)
                << "vertex " << c.iVertex << " float " << f;

    float afShadow[20];
    CMoxScene::CreateShadowVertices(afShadow, centre, half);
    const float afExpected[20] = {0.5f, 2.25f, 1, 0, 0, 1.5f, 2.25f, 1, 1, 0,
                                  1.5f, 1.75f, 1, 1, 1, 0.5f, 1.75f, 1, 0, 1};
    for (int f = 0; f < 20; ++f)
        EXPECT_EQ(afShadow[f], afExpected[f]) << f;
}

TEST_F(CMoxSceneBlocks, OverlappingBlocksNeverShareADrawCall)
{
    struct sCASE
    {
        const char* pWhat;
        float fSecondX;
        int iMaterial, iVariant;
        std::vector<int> aSizes;
        int iDrawCalls;
        unsigned int bBatch = 1;
    };
    const sCASE cases[] = {
        {"overlapping paper", 0.15f, 0, 1, {1, 1}, 2},
        {"paper apart", 0.5f, 0, 1, {2}, 1},
        {"edges touching", 0.2f, 0, 1, {2}, 1},
        {"bounce apart", 0.5f, 3, 2, {2}, 1},
        {"material 4", 0.5f, 4, 0, {}, 0},
        {"variant 3", 0.5f, 1, 3, {2}, 0},
        {"paper apart, batching off", 0.5f, 0, 1, {1, 1}, 2, 0},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        m_pScene->m_bBatchBlocks = c.bBatch;
        m_pScene->Clear();
        m_pScene->m_Players[0].m_bAlive = m_pScene->m_Players[1].m_bAlive = 0;
        Add(1, 0.0f, 0.5f, c.iMaterial, c.iVariant, 2);
        Add(1, c.fSecondX, 0.5f, c.iMaterial, c.iVariant, 2);
        Draw(0);
        EXPECT_EQ(BatchSizes(), c.aSizes);
        EXPECT_EQ(m_pScene->m_iBlockBatches, int(c.aSizes.size()));
        EXPECT_EQ(m_pScene->m_iDrawCalls, c.iDrawCalls);
        EXPECT_EQ(m_pScene->m_iShadowBatches, 1) << "counted with shadows off";
        if (!c.iDrawCalls)
            EXPECT_EQ(Pixel(400, 100), GREY) << "nothing drawn";
        else
            EXPECT_TRUE(Near(Pixel(400, 100), BlockPixel(c.iMaterial, c.iVariant)))
                << std::hex << Pixel(400, 100);
    }
}

TEST_F(CMoxSceneBlocks, MissingPictureDrawsNothing)
{
    Add(1, 0.0f, 0.5f, 1, 2, 0);
    CKorvelSurface*& pSurface = m_pGame->GetContext().psrfGameTextures[32 + 3 + 2];
    CKorvelSurface* pKept = pSurface;
    pSurface = nullptr;
    Draw(1);
    pSurface = pKept;
    EXPECT_EQ(m_pScene->m_iBlockBatches, 1);
    EXPECT_EQ(m_pScene->m_iDrawCalls, 0);
    EXPECT_EQ(Pixel(400, 100), GREY);
    Draw(1);
    EXPECT_EQ(m_pScene->m_iDrawCalls, 1);
    EXPECT_TRUE(Near(Pixel(400, 100), BlockPixel(1, 2)));
}

TEST_F(CMoxSceneBlocks, LayersInOrderFromTheBack)
{
    Add(5, 0.0f, 0.5f, 3, 0, 3); // drawn last, on top
    Add(5, 0.1f, 0.5f, 0, 0, 0);
    Add(5, 0.2f, 0.5f, 1, 0, 4); // layer 4: never drawn
    Draw(0);
    EXPECT_TRUE(Near(Pixel(420, 100), BlockPixel(3, 0))) << std::hex << Pixel(420, 100);
    EXPECT_TRUE(Near(Pixel(540, 100), BlockPixel(0, 0))) << std::hex << Pixel(540, 100);
    EXPECT_EQ(Pixel(580, 100), GREY);
    EXPECT_EQ(m_pScene->m_iShadowBatches, 1);
}

// Drawn into an RGBA target: the shadow darkens by the destination's alpha.
TEST_F(CMoxSceneBlocks, IceAndTheBackLayerCastNoShadow)
{
    GLuint uTarget = 0, uFramebuffer = 0;
    glGenTextures(1, &uTarget);
    glBindTexture(GL_TEXTURE_2D, uTarget);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 800, 600, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &uFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, uFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, uTarget, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));

    // Shape 1 is 0.1 x 0.1 half size; a shadow lies 0.02 right and 0.05 below.
    Add(1, -1.0f, 0.5f, 0, 0, 1); // paper: shadow
    Add(1, 0.0f, 0.5f, 2, 0, 1);  // ice: none
    Add(1, 1.0f, 0.5f, 0, 0, 0);  // back layer: none
    Add(1, -0.5f, 0.5f, 1, 1, 3); // metal in front: shadow
    Draw(1);
    EXPECT_EQ(m_pScene->m_iShadowBatches, 2);
    // Just below each block, inside where its shadow would be.
    const int y = 300 - int(0.375f * 400.0f);
    const uint32_t uShadowed = Pixel(400 - 400, y);
    EXPECT_LT(PixelR(uShadowed), 20) << std::hex << uShadowed;
    EXPECT_LT(PixelB(uShadowed), 60);
    EXPECT_NE(Pixel(400 - 200, y), GREY);
    EXPECT_EQ(Pixel(400, y), GREY) << "ice";
    EXPECT_EQ(Pixel(800 - 1, y), GREY);
    EXPECT_EQ(Pixel(400 + 400 - 10, y), GREY) << "back layer";
    EXPECT_EQ(Pixel(400 - 400 + 60, 300 - int(0.6f * 400.0f)), GREY) << "above: no shadow";

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &uFramebuffer);
    glDeleteTextures(1, &uTarget);
    // Later draws add again.
    GLint iEquation = 0;
    glGetIntegerv(GL_BLEND_EQUATION_RGB, &iEquation);
    EXPECT_EQ(iEquation, GL_FUNC_ADD);
}

// A whole frame of a generated scene: blocks with shadows, helpers, one flomp stretched
// with its aim dots, the other with damage numbers over it; those numbers kept clear of
// the zoom bar.
TEST_F(CMoxSceneBlocks, GoldenFrameAndNumbersClearOfTheZoomBar)
{
    ASSERT_EQ(m_pScene->LoadScene(CKorvelString("Golden_Frame.scn")), 1);
    CPlayer& p0 = m_pScene->m_Players[0];
    CPlayer& p1 = m_pScene->m_Players[1];
    p0.m_bStretching = 1;
    p0.m_bShowAim = 1;
    p0.m_vStretch.Set(-0.2f, -0.15f);
    p0.m_vAim = p0.m_vStretch;
    p1.m_bShowInfo = 1;
    p1.m_iDamage[0] = 30;
    p1.m_iDamage[1] = 7;
    p1.m_iHealth = 63;
    m_pScene->HandleProjectiles();
    m_pScene->HandlePlayers(0.033f);
    Draw(1);
    m_pScene->RenderHelpers();
    m_pScene->RenderPlayers();
    m_pScene->RenderPlayersInfo();
    const std::vector<uint8_t> aPixels = ReadGameFrame();
    // Checked by eye (KORVEL_GOLDEN_PNG=<file> writes it, bottom row first): eight blocks
    // with shadows, two helper squares, flomp 0 stretched down-left with seven aim dots,
    // "-30" and "-7" over flomp 1 and "63" under it.
    EXPECT_EQ(Fnv1a(aPixels), 3603539750u);

    // Flomp 1 at the left edge, under the match screen's zoom bar (as on a narrow
    // window): its numbers are drawn right of the bar, which they leave as it was.
    const float fBarLeft = (ZOOM_BAR_CENTRE_X - ZOOM_BAR_HALF_WIDTH) * 600.0f;
    p1.m_pBody->m_vPosition.Set((fBarLeft - 400.0f) / 400.0f, 0.1f);
    Draw(1);
    const std::vector<uint8_t> aWithout = ReadGameFrame();
    m_pScene->RenderPlayersInfo();
    const std::vector<uint8_t> aWith = ReadGameFrame();
    EXPECT_NE(aWith, aWithout) << "the numbers are drawn";
    const int iBarRight = int(std::ceil((ZOOM_BAR_CENTRE_X + ZOOM_BAR_HALF_WIDTH) * 600.0f));
    int iOverBar = 0;
    for (size_t y = 0; y < 600; ++y)
        for (size_t u = y * 800 * 4; u < (y * 800 + size_t(iBarRight)) * 4; ++u)
            iOverBar += aWith[u] != aWithout[u];
    EXPECT_EQ(iOverBar, 0);
}

} // namespace
