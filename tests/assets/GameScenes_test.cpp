// The shipped scenes (the built "dataScenes.kmp") read by the game itself: found through
// the resource manager, loaded by the scene as their sources say, saved back to the same
// block and helper bytes, and at rest on the game's physics from every start point.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

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

struct sShipped
{
    std::string strFile; // as the game's table names it
    bool bNetwork;
};

std::vector<sShipped> ShippedScenes()
{
    std::vector<sShipped> a;
    for (const sResourceEntry& entry : res_flomp_training_scenes)
        a.push_back({Narrow(entry.name), false});
    for (const sResourceEntry& entry : res_flomp_scenes)
        a.push_back({Narrow(entry.name), true});
    return a;
}

// The scene as its source says (through the compiler's own parser).
sMoxSceneFile Source(const std::string& strFile)
{
    const std::string strPath = TestSourceDir() + "/assets/src/scenes/" + strFile.substr(0, strFile.size() - 4) +
                                ".txt";
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

class GameScenes : public CGameTest
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

TEST_F(GameScenes, EveryTableSceneLoadsAsItsSourceAndSavesItsBytes)
{
    const std::vector<sShipped> aScenes = ShippedScenes();
    ASSERT_EQ(aScenes.size(), 35u);
    for (const sShipped& shipped : aScenes)
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
                EXPECT_TRUE(NearGrid(m_pScene->m_StartPoints[p][k], source.aPoints[p][k].x, source.aPoints[p][k].y))
                    << "player " << p << " point " << k;
        ASSERT_EQ(m_pScene->m_Helpers.GetCount(), int(source.aHelpers.size()));
        for (int i = 0; i < m_pScene->m_Helpers.GetCount(); ++i)
            EXPECT_TRUE(NearGrid(m_pScene->m_Helpers[i]->m_vCentre, source.aHelpers[size_t(i)].x,
                                 source.aHelpers[size_t(i)].y))
                << "helper " << i;
        EXPECT_EQ(Narrow(m_pScene->m_strName), Narrow(CMoxScene::DisplayName(CKorvelString(shipped.strFile.c_str()))));

        // The game writes each player's position three times where the compiler writes
        // the start points; the rest is the same.
        ASSERT_EQ(m_pScene->SaveScene(CKorvelString("saved.scn")), 1);
        const std::vector<uint8_t> aSaved = ReadTestFile(m_App.DataFile("saved.scn"));
        const std::string strSaved(aSaved.begin(), aSaved.end());
        const size_t uPlayers = 85, uBlocks = uPlayers + 2 * 3 * 6;
        ASSERT_EQ(strSaved.size(), strItem.size());
        EXPECT_EQ(strSaved.substr(0, uPlayers), strItem.substr(0, uPlayers));
        EXPECT_EQ(strSaved.substr(uBlocks), strItem.substr(uBlocks));
    }
}

// Each flomp set on its start point falls asleep on the block under it within 5 s and
// stays there, alive and dry; the blocks never move.
TEST_F(GameScenes, EveryStartPointIsAtRest)
{
    for (const sShipped& shipped : ShippedScenes())
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

} // namespace
