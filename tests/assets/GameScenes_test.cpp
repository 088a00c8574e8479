// The shipped scenes (the built "dataScenes.kmp") read by the game itself: found through
// the resource manager, loaded by the scene as their sources say, saved back to the same
// block and helper bytes, and at rest on the game's physics from every start point.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "KorvelCommon/KorvelMath.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "support/GlTestContext.h"
#include "tests/game/GameTestFixture.h"
#include "tools/packtool/KmpScene.h"

namespace
{
const float kGrid = 0.025f;
const int kRestSteps = 150; // about 5 s of physics

struct sSHIPPED
{
    std::string strFile; // as the game's table names it
    bool bNetwork;
};

std::vector<sSHIPPED> ShippedScenes()
{
    std::vector<sSHIPPED> a;
    for (const sResourceEntry& entry : res_flomp_training_scenes)
        a.push_back({Narrow(entry.name), false});
    for (const sResourceEntry& entry : res_flomp_scenes)
        a.push_back({Narrow(entry.name), true});
    return a;
}

// The scene as its source says (through the compiler's own parser).
sMoxSceneFile Source(const std::string& strFile)
{
    const std::string strPath =
        TestSourceDir() + "/assets/src/scenes/" + strFile.substr(0, strFile.size() - 4) + ".txt";
    const std::vector<uint8_t> aText = ReadTestFile(strPath);
    sMoxSceneFile scene;
    std::string strError;
    EXPECT_TRUE(KmpParseScene(std::string(aText.begin(), aText.end()), strPath, scene, strError)) << strError;
    return scene;
}

bool NearGrid(const CKorvelVector2& v, int x, int y)
{
    return std::fabs(v.x - float(x) * kGrid) < 1e-4f && std::fabs(v.y - float(y) * kGrid) < 1e-4f;
}

class CGameScenes : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        // The built scene pack in place of none: the test packs carry no scenes.
        const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
        const std::string strBuilt = std::string(pBinary ? pBinary : ".") + "/run/app/native/dataScenes.kmp";
        ASSERT_TRUE(std::filesystem::exists(strBuilt)) << strBuilt;
        std::filesystem::copy_file(strBuilt, m_App.AppFile("dataScenes.kmp"),
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_NO_FATAL_FAILURE(StartGame());
        m_pScene.reset(new CMoxScene());
        m_pScene->Startup(m_pGame.get(), m_pGame->GetRenderer(), m_pGame->GetPhysics(), SCENE_MODE_PLAY);
    }
    void TearDown() override
    {
        m_pScene.reset();
        CGameTest::TearDown();
    }
    std::string Item(const std::string& strFile)
    {
        unsigned char* pData = nullptr;
        const unsigned int uSize = m_App.GetFileData(CKorvelString(strFile.c_str()), &pData);
        std::string strBytes(reinterpret_cast<char*>(pData), pData ? uSize : 0);
        delete[] pData;
        return strBytes;
    }
    // A physics step and the scene's, as the match screen runs them.
    void Step()
    {
        m_pGame->GetPhysics()->Simulate();
        m_pScene->Update(1.0f / 30.0f);
    }

    std::unique_ptr<CMoxScene> m_pScene;
};

TEST_F(CGameScenes, EveryTableSceneLoadsAsItsSourceAndSavesItsBytes)
{
    const std::vector<sSHIPPED> aScenes = ShippedScenes();
    ASSERT_EQ(aScenes.size(), 35u);
    for (const sSHIPPED& shipped : aScenes)
    {
        SCOPED_TRACE(shipped.strFile);
        const sMoxSceneFile source = Source(shipped.strFile);
        const std::string strItem = Item(shipped.strFile);
        ASSERT_FALSE(strItem.empty());
        ASSERT_EQ(m_pScene->LoadScene(CKorvelString(shipped.strFile.c_str())), 1);
        CBlockManager& blocks = *m_pScene->m_pBlocks;
        ASSERT_EQ(blocks.GetCount(), int(source.aBlocks.size()));
        for (int i = 0; i < blocks.GetCount(); ++i)
        {
            const CBlock& block = *blocks.GetAt(i);
            const sMoxSceneBlock& want = source.aBlocks[size_t(i)];
            EXPECT_TRUE(NearGrid(block.m_pBody->m_vPosition, want.x, want.y)) << "block " << i;
            EXPECT_EQ(block.m_uShape, want.cShape) << "block " << i;
            EXPECT_EQ(block.m_iMaterial, want.cMaterial) << "block " << i;
            EXPECT_EQ(block.m_uVariant, want.cVariant) << "block " << i;
            EXPECT_EQ(block.m_uLayer, want.cLayer) << "block " << i;
            const CKorvelVector2& half = BlockShapes[want.cShape];
            EXPECT_EQ(block.m_pBody->m_vHalfSize.x, half.x) << "block " << i;
            EXPECT_EQ(block.m_pBody->m_vHalfSize.y, half.y) << "block " << i;
        }
        for (int p = 0; p < 2; ++p)
            for (int k = 0; k < SCENE_PLAYER_RECORDS; ++k)
                EXPECT_TRUE(
                    NearGrid(m_pScene->m_StartPoints[p][k], source.aPoints[p][k].x, source.aPoints[p][k].y))
                    << "player " << p << " point " << k;
        ASSERT_EQ(m_pScene->m_Helpers.GetCount(), int(source.aHelpers.size()));
        for (int i = 0; i < m_pScene->m_Helpers.GetCount(); ++i)
            EXPECT_TRUE(NearGrid(m_pScene->m_Helpers[i]->m_vCentre, source.aHelpers[size_t(i)].x,
                                 source.aHelpers[size_t(i)].y))
                << "helper " << i;
        EXPECT_EQ(Narrow(m_pScene->m_strName),
                  Narrow(CMoxScene::DisplayName(CKorvelString(shipped.strFile.c_str()))));

        // The game writes each player's position three times where the compiler writes
        // the start points; the rest is the same.
        ASSERT_EQ(m_pScene->SaveScene(CKorvelString("saved.scn")), 1);
        const std::vector<uint8_t> aSaved = ReadTestFile(m_App.DataFile("saved.scn"));
        const std::string strSaved(aSaved.begin(), aSaved.end());
        const size_t uPlayers = 85, uBlocks = uPlayers + size_t{2} * 3 * 6;
        ASSERT_EQ(strSaved.size(), strItem.size());
        EXPECT_EQ(strSaved.substr(0, uPlayers), strItem.substr(0, uPlayers));
        EXPECT_EQ(strSaved.substr(uBlocks), strItem.substr(uBlocks));
    }
}

// Each flomp set on its start point falls asleep on the block under it within 5 s and
// stays there, alive and dry; the blocks never move.
TEST_F(CGameScenes, EveryStartPointIsAtRest)
{
    for (const sSHIPPED& shipped : ShippedScenes())
        for (int k = 0; k < (shipped.bNetwork ? SCENE_PLAYER_RECORDS : 1); ++k)
        {
            SCOPED_TRACE(shipped.strFile + " start point " + std::to_string(k));
            ASSERT_EQ(m_pScene->LoadScene(CKorvelString(shipped.strFile.c_str())), 1);
            for (int p = 0; p < 2; ++p)
                m_pScene->m_Players[p].m_pBody->m_vPosition = m_pScene->m_StartPoints[p][k];
            CBlockManager& blocks = *m_pScene->m_pBlocks;
            std::vector<CKorvelVector2> aBlocks;
            for (int i = 0; i < blocks.GetCount(); ++i)
                aBlocks.push_back(blocks.GetAt(i)->m_pBody->m_vPosition);
            for (int i = 0; i < kRestSteps; ++i)
                Step();
            for (int p = 0; p < 2; ++p)
            {
                const CPlayer& player = m_pScene->m_Players[p];
                const CKorvelVector2& at = player.m_pBody->m_vPosition;
                EXPECT_TRUE(player.m_bAlive) << "player " << p;
                EXPECT_TRUE(player.m_pBody->m_uAsleep) << "player " << p;
                EXPECT_GT(at.y - 0.05f, 0.0f) << "player " << p;
                EXPECT_LT(std::fabs(at.x - m_pScene->m_StartPoints[p][k].x), 0.05f) << "player " << p;
                bool bOnBlock = false;
                for (int i = 0; i < blocks.GetCount(); ++i)
                {
                    const CMoxBox box = blocks.GetAt(i)->m_pBody->CurrentBox();
                    bOnBlock = bOnBlock || (at.x > box.left - 1e-4f && at.x < box.right + 1e-4f &&
                                            std::fabs(at.y - 0.05f - box.top) < 0.01f);
                }
                EXPECT_TRUE(bOnBlock) << "player " << p << " at " << at.x << "," << at.y;
            }
            for (int i = 0; i < blocks.GetCount(); ++i)
                EXPECT_TRUE(blocks.GetAt(i)->m_pBody->m_vPosition.x == aBlocks[size_t(i)].x &&
                            blocks.GetAt(i)->m_pBody->m_vPosition.y == aBlocks[size_t(i)].y)
                    << "block " << i;
        }
}

// Training scene 01 is the jump lesson: one jump from the start, as the match screen
// applies a released drag (velocity = stretch x -6.9 / mass), knocks the master off his
// tower into the sea and lands the player dry on it.
TEST_F(CGameScenes, TheFirstTrainingSceneIsWonWithOneJump)
{
    ASSERT_EQ(m_pScene->LoadScene(CKorvelString(Narrow(res_flomp_training_scenes[0].name).c_str())), 1);
    for (int p = 0; p < 2; ++p)
        m_pScene->m_Players[p].m_pBody->m_vPosition = m_pScene->m_StartPoints[p][0];
    for (int i = 0; i < 60; ++i)
        Step();
    CBody& jumper = *m_pScene->m_Players[0].m_pBody;
    CBody& master = *m_pScene->m_Players[1].m_pBody;
    ASSERT_TRUE(jumper.m_uAsleep && master.m_uAsleep);
    const float fAngle = 30.0f * KE_PI / 180.0f, fStretch = 0.36f; // the longest drag is 0.4
    jumper.m_vVelocity.Set(fStretch * std::cos(fAngle) * 6.9f / 20.0f,
                           fStretch * std::sin(fAngle) * 6.9f / 20.0f);
    jumper.m_uAsleep = 0;
    jumper.m_fRestTime = 0.0f;
    int iStepsInWater = 0;
    for (int i = 0; i < 300; ++i)
    {
        Step();
        iStepsInWater = master.m_vPosition.y + 2 * master.m_vHalfSize.y < 0.0f ? iStepsInWater + 1 : 0;
    }
    EXPECT_GT(iStepsInWater, 30) << "more than a second in the water drowns the master";
    EXPECT_TRUE(jumper.m_uAsleep);
    EXPECT_GT(jumper.m_vPosition.y - jumper.m_vHalfSize.y, 0.9f) << "on the master's tower";
}

// A frame of training scene 01 as the round starts (the camera on player 0 at the
// match's zoom), drawn with the game's test pictures: the water band along the bottom,
// player 0 in its colour at its place, nothing over the sky.
TEST_F(CGameScenes, TheFirstTrainingSceneDrawsWaterAndThePlayer)
{
    while (!m_pGame->m_bResourcesLoaded)
        m_pGame->PreloadResources(0);
    ASSERT_EQ(m_pScene->LoadScene(CKorvelString("01.scn")), 1);
    for (int p = 0; p < 2; ++p)
        m_pScene->m_Players[p].m_pBody->m_vPosition = m_pScene->m_StartPoints[p][0];
    for (int i = 0; i < 30; ++i)
        Step();
    m_pGame->GetPhysics()->UpdateVisuals();
    CMoxRenderer& renderer = *m_pGame->GetRenderer();
    CCamera& camera = renderer.m_Camera;
    CKorvelVector2 player = m_pScene->m_Players[0].m_pBody->m_vPosition;
    camera.m_eTarget = CAMERA_TARGET_NONE;
    camera.m_fZoom = camera.m_fZoomTarget = 0.6f;
    camera.m_vPosition.Set(-player.x, player.y);
    camera.Update();
    glViewport(0, 0, 800, 600);
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    renderer.BeginRender();
    m_pScene->RenderBlocksWithShadows(1);
    m_pScene->RenderPlayers();
    renderer.renderWater(0);
    renderer.EndRender();
    if (const char* pOut = std::getenv("KORVEL_FRAME_PNG"))
    {
        std::vector<uint8_t> aPixels(size_t{800} * 600 * 4);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
        WriteTestPng(pOut, 800, 600, aPixels);
    }
    const auto Pixel = [&](CKorvelVector2 world)
    {
        CKorvelVector2 screen;
        camera.WorldToScreen(world, &screen);
        return ReadGlPixel(int(screen.x), int(screen.y), 600) | 0xFF000000u;
    };
    // Read back as 0xAABBGGRR.
    const auto Abgr = [](unsigned int uRgb)
    { return 0xFF000000u | ((uRgb & 0xFF) << 16) | (uRgb & 0xFF00) | ((uRgb >> 16) & 0xFF); };
    const uint32_t uGrey = 0xFF7F7F7Fu, uGreyUp = 0xFF808080u;
    // Player 0 is drawn from its own flomp picture (texture 4 of the game's table; each
    // test picture has one colour) where it stands.
    EXPECT_EQ(Pixel(player), Abgr(GameTestTextureColour(4))) << std::hex << Pixel(player);
    // The water band covers the screen's width below the surface and nothing above.
    const uint32_t uWater = Pixel({player.x, -0.3f});
    EXPECT_TRUE(uWater != uGrey && uWater != uGreyUp) << std::hex << uWater;
    for (float x : {-1.0f, -0.5f, 0.5f, 1.0f})
        EXPECT_EQ(Pixel({player.x + x, -0.3f}), uWater) << x;
    const uint32_t uSky = Pixel({player.x + 0.6f, 1.2f});
    EXPECT_TRUE(uSky == uGrey || uSky == uGreyUp) << std::hex << uSky;
}

} // namespace
