// Scene files: the reader over bytes (every layout, every cut), loading from the game's
// scene pack, and saving into the data folder, on the game's test application.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxSceneFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "game/MoxScene.h"
#include "support/TestSceneFile.h"
#include "tests/game/GameTestFixture.h"

namespace
{

sMoxSceneFile Read(const std::string& strBytes)
{
    // An exact heap copy, so reading one byte too far is caught.
    std::vector<unsigned char> aBytes(strBytes.begin(), strBytes.end());
    sMoxSceneFile file;
    MoxReadSceneFile(aBytes.empty() ? nullptr : aBytes.data(), (unsigned int)aBytes.size(), file);
    return file;
}

// Player records at distinct places, three blocks and two helpers.
sTestScene SampleScene(sTestScene::eLayout eLayout)
{
    sTestScene scene;
    scene.layout = eLayout;
    scene.players = {{{-40, 8, 0x11223344}, {-30, 9}, {-20, 10}}, {{40, 8}, {30, 9, 0}, {20, 10}}};
    scene.blocks = {{-40, 2, 1, 0, 0, 1}, {0, 2, 31, 3, 2, 2}, {40, 2, 5, 1, 1, 0}};
    scene.helpers = {{5, 20}, {-7, 30}};
    return scene;
}

std::string SeedFolder()
{
    const char* pSource = std::getenv("KORVEL_SOURCE_DIR");
    return std::string(pSource ? pSource : ".") + "/fuzz/corpus/SceneFile/";
}

class CMoxSceneFile : public CGameTest
{
protected:
    void TearDown() override
    {
        m_pScene.reset();
        CGameTest::TearDown();
    }
    // The game with these scenes in its scene pack, and a scene on its renderer and physics.
    void Start(const std::vector<std::pair<std::string, sTestScene>>& scenes,
               SCENE_MODE eMode = SCENE_MODE_PLAY)
    {
        ASSERT_TRUE(WriteTestScenePack(m_App.Dir() + "/app/native", scenes));
        ASSERT_NO_FATAL_FAILURE(StartGame());
        m_pScene.reset(new CMoxScene());
        m_pScene->Startup(m_pGame.get(), m_pGame->GetRenderer(), m_pGame->GetPhysics(), eMode);
    }
    std::string Saved(const std::string& strName)
    {
        const std::vector<uint8_t> aBytes = ReadTestFile(m_App.DataFile(strName));
        return std::string(aBytes.begin(), aBytes.end());
    }
    // Half-way between two grid steps, so snapping down is clear.
    static float At(int iStep) { return (float(iStep) + 0.5f) * 0.025f; }
    static CKorvelVector2 Grid(int x, int y) { return CKorvelVector2(float(x) * 0.025f, float(y) * 0.025f); }
    void ExpectAt(const CKorvelVector2& v, int x, int y, const char* pWhat)
    {
        EXPECT_NEAR(v.x, float(x) * 0.025f, 1e-5f) << pWhat;
        EXPECT_NEAR(v.y, float(y) * 0.025f, 1e-5f) << pWhat;
    }
    // A scene built by hand: the flomps, four blocks and three helpers.
    void Build()
    {
        m_pScene->Clear();
        m_pScene->m_Players[0].m_pBody->m_vPosition.Set(At(-40), At(12));
        m_pScene->m_Players[1].m_pBody->m_vPosition.Set(At(39), At(-3));
        CBlockManager& blocks = *m_pScene->m_pBlocks;
        blocks.AddBlock(1, {At(-40), At(4)}, 0, 1, 2);
        blocks.AddBlock(31, {At(0), At(4)}, 3, 2, 1);
        blocks.AddBlock(5, {At(40), At(-128)}, 2, 0, 0);
        blocks.AddBlock(12, {0.0374f, 0.0374f}, 1, 1, 3);
        m_pScene->AddHelper({At(5), At(20)}, {0.03f, 0.03f});
        m_pScene->AddHelper({At(-7), At(30)}, {0.1f, 0.1f});
        m_pScene->AddHelper({9.0f, -9.0f}, {0.03f, 0.03f}); // clamped by snapping
    }

    std::unique_ptr<CMoxScene> m_pScene;
};

// Every prefix of a file gives exactly the records it holds whole, and the scene shows
// those and nothing more.
TEST_F(CMoxSceneFile, CutAtEveryByte)
{
    ASSERT_NO_FATAL_FAILURE(Start({}));
    const std::string strFull = TestSceneBytes(SampleScene(sTestScene::V110));
    const size_t uPlayers = 85, uBlocks = uPlayers + 36 + 1, uHelpers = uBlocks + 18 + 1;
    ASSERT_EQ(strFull.size(), uHelpers + 4);
    for (size_t uCut = 0; uCut <= strFull.size(); ++uCut)
    {
        const sMoxSceneFile file = Read(strFull.substr(0, uCut));
        const auto Whole = [uCut](size_t uStart, size_t uSize)
        { return uCut < uStart ? 0 : int((uCut - uStart) / uSize); };
        const int iPoints = std::min(Whole(uPlayers, 6), 6);
        EXPECT_EQ(file.iVersion, uCut >= 4 ? 110 : 0) << uCut;
        EXPECT_EQ(file.aReservedA[1], 1) << uCut;
        EXPECT_EQ(file.aPointCount[0], std::min(iPoints, 3)) << uCut;
        EXPECT_EQ(file.aPointCount[1], std::max(iPoints - 3, 0)) << uCut;
        EXPECT_EQ(int(file.aBlocks.size()), std::min(Whole(uBlocks, 6), 3)) << uCut;
        EXPECT_EQ(int(file.aHelpers.size()), std::min(Whole(uHelpers, 2), 2)) << uCut;
        m_pScene->ApplySceneFile(file, CKorvelString("x.scn"));
        EXPECT_EQ(m_pScene->m_pBlocks->GetCount(), int(file.aBlocks.size())) << uCut;
        EXPECT_EQ(m_pScene->m_Helpers.GetCount(), int(file.aHelpers.size())) << uCut;
        EXPECT_EQ(m_pGame->GetPhysics()->m_Bodies.GetCount(), 2 + int(file.aBlocks.size())) << uCut;
    }
}

// The committed fuzz seeds are what the test writer makes (KORVEL_WRITE_SEEDS=1 rewrites them).
TEST_F(CMoxSceneFile, FuzzSeedsAreCurrent)
{
    sTestScene big = SampleScene(sTestScene::V110);
    for (int i = 0; i < 230; ++i)
        big.blocks.push_back({i % 100 - 50, i / 2, i % 40, i % 4, i % 3, i % 4});
    const std::pair<const char*, std::string> seeds[] = {
        {"v110.scn", TestSceneBytes(SampleScene(sTestScene::V110))},
        {"v100.scn", TestSceneBytes(SampleScene(sTestScene::V100))},
        {"nomagic.scn", TestSceneBytes(SampleScene(sTestScene::NO_MAGIC))},
        {"many_blocks.scn", TestSceneBytes(big)},
    };
    const bool bWrite = std::getenv("KORVEL_WRITE_SEEDS") != nullptr;
    for (const auto& seed : seeds)
    {
        const std::string strPath = SeedFolder() + seed.first;
        if (bWrite)
        {
            ASSERT_TRUE(WriteTestFile(strPath, seed.second));
        }
        const std::vector<uint8_t> aStored = ReadTestFile(strPath);
        EXPECT_EQ(std::string(aStored.begin(), aStored.end()), seed.second) << strPath;
    }
}

TEST_F(CMoxSceneFile, SaveWritesTheFileByteForByte)
{
    ASSERT_NO_FATAL_FAILURE(Start({}));
    Build();
    m_pScene->m_iReservedA[2] = -5;
    ASSERT_EQ(m_pScene->SaveScene(CKorvelString("newscene.scn")), 1);

    sTestScene expected;
    expected.reservedA = {0, 1, -5, 3};
    expected.players = {{{-40, 12, 0xFFFF5D37}, {-40, 12, 0xFFFF5D37}, {-40, 12, 0xFFFF5D37}},
                        {{39, -3, 0xFF3A92FF}, {39, -3, 0xFF3A92FF}, {39, -3, 0xFF3A92FF}}};
    expected.blocks = {
        {-40, 4, 1, 0, 1, 2}, {0, 4, 31, 3, 2, 1}, {40, -128, 5, 2, 0, 0}, {1, 1, 12, 1, 1, 3}};
    expected.helpers = {{5, 20}, {-7, 30}, {127, -128}};
    EXPECT_EQ(Saved("newscene.scn"), TestSceneBytes(expected));
}

TEST_F(CMoxSceneFile, SavedSceneComesBackOnTheGrid)
{
    ASSERT_NO_FATAL_FAILURE(Start({}));
    Build();
    ASSERT_EQ(m_pScene->SaveScene(CKorvelString("newscene.scn")), 1);
    const sMoxSceneFile file = Read(Saved("newscene.scn"));
    m_pScene->ApplySceneFile(file, CKorvelString("newscene.scn"));

    CBlockManager& blocks = *m_pScene->m_pBlocks;
    ASSERT_EQ(blocks.GetCount(), 4);
    const int aExpected[4][6] = {
        {-40, 4, 1, 0, 1, 2}, {0, 4, 31, 3, 2, 1}, {40, -128, 5, 2, 0, 0}, {1, 1, 12, 1, 1, 3}};
    for (int i = 0; i < 4; ++i)
    {
        const CBlock* pBlock = blocks.GetAt(i);
        EXPECT_EQ(pBlock->m_uID, 32 + i) << "identifiers in file order";
        ExpectAt(pBlock->m_pBody->m_vPosition, aExpected[i][0], aExpected[i][1], "block");
        EXPECT_EQ(pBlock->m_uShape, aExpected[i][2]);
        EXPECT_EQ(pBlock->m_iMaterial, aExpected[i][3]);
        EXPECT_EQ(pBlock->m_uVariant, aExpected[i][4]);
        EXPECT_EQ(pBlock->m_uLayer, aExpected[i][5]);
    }
    // 0.0374 is not on the grid: it comes back as the step below.
    EXPECT_FLOAT_EQ(blocks.GetAt(3)->m_pBody->m_vPosition.x, 0.025f);
    ASSERT_EQ(m_pScene->m_Helpers.GetCount(), 3);
    ExpectAt(m_pScene->m_Helpers[1]->m_vCentre, -7, 30, "helper");
    EXPECT_EQ(m_pScene->m_Helpers[1]->m_vHalfSize.x, 0.03f);
    // Play mode: three equal start points, the body on them.
    for (int k = 0; k < 3; ++k)
    {
        ExpectAt(m_pScene->m_StartPoints[0][k], -40, 12, "start 0");
        ExpectAt(m_pScene->m_StartPoints[1][k], 39, -3, "start 1");
    }
    ExpectAt(m_pScene->m_Players[1].m_pBody->m_vPosition, 39, -3, "body 1");
}

TEST_F(CMoxSceneFile, LoadsEveryLayoutFromThePack)
{
    sTestScene v110 = SampleScene(sTestScene::V110);
    v110.reservedB[15] = 42;
    sTestScene cut = SampleScene(sTestScene::V110);
    cut.helperSection = false;
    sTestScene crowded = SampleScene(sTestScene::V100);
    for (int i = 0; i < 250; ++i)
        crowded.blocks.push_back({i % 100 - 50, i / 100 * 8, 0, 0, 0, 0});
    crowded.blocks.push_back({0, 0, 40, 0, 0, 0});
    sTestScene oldest = SampleScene(sTestScene::NO_MAGIC);
    oldest.players.push_back({{1, 1}, {2, 2}, {3, 3}}); // read and dropped
    ASSERT_NO_FATAL_FAILURE(Start({{"Land_Ahoy.scn", v110},
                                   {"Old.scn", SampleScene(sTestScene::V100)},
                                   {"Oldest.scn", oldest},
                                   {"Cut.scn", cut},
                                   {"Crowded.scn", crowded}}));
    struct sCASE
    {
        const char* pFile;
        const char* pName;
        int iBlocks, iHelpers, iReservedB15;
    };
    const sCASE cases[] = {{"Land_Ahoy.scn", "Land Ahoy", 3, 2, 42},
                           {"Old.scn", "Old", 3, 0, 3},
                           {"Oldest.scn", "Oldest", 3, 0, 3},
                           {"Cut.scn", "Cut", 3, 0, 3},
                           {"Crowded.scn", "Crowded", 223, 0, 3}};
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pFile);
        m_pScene->m_iReservedB[15] = -1;
        ASSERT_EQ(m_pScene->LoadScene(CKorvelString(c.pFile)), 1);
        EXPECT_EQ(Narrow(m_pScene->m_strName), c.pName);
        EXPECT_EQ(m_pScene->m_pBlocks->GetCount(), c.iBlocks);
        EXPECT_EQ(m_pScene->m_Helpers.GetCount(), c.iHelpers);
        EXPECT_EQ(m_pScene->m_iReservedB[15], c.iReservedB15);
        // Stored colours have no say.
        EXPECT_EQ(m_pScene->m_Players[0].m_Color.Get8888(), 0xFFFF5D37u);
        EXPECT_EQ(m_pScene->m_Players[1].m_Color.Get8888(), 0xFF3A92FFu);
        // Play mode: the start points are the records, the body ends on the third.
        ExpectAt(m_pScene->m_StartPoints[0][0], -40, 8, "start 0 0");
        ExpectAt(m_pScene->m_StartPoints[0][1], -30, 9, "start 0 1");
        ExpectAt(m_pScene->m_StartPoints[1][2], 20, 10, "start 1 2");
        ExpectAt(m_pScene->m_Players[0].m_pBody->m_vPosition, -20, 10, "body 0");
    }
    EXPECT_EQ(m_pScene->LoadScene(CKorvelString("Missing.scn")), 0);
    EXPECT_EQ(m_pScene->m_pBlocks->GetCount(), 0) << "cleared all the same";
    EXPECT_EQ(Narrow(CMoxScene::DisplayName(CKorvelString("a_b"))), "a b");
    EXPECT_EQ(Narrow(CMoxScene::DisplayName(CKorvelString(".scn"))), "");
}

TEST_F(CMoxSceneFile, EditModeSetsOnlyTheBodies)
{
    ASSERT_NO_FATAL_FAILURE(Start({{"Edit.scn", SampleScene(sTestScene::V110)}}, SCENE_MODE_EDIT));
    m_pScene->m_StartPoints[1][1].Set(7.0f, 7.0f);
    ASSERT_EQ(m_pScene->LoadScene(CKorvelString("Edit.scn")), 1);
    ExpectAt(m_pScene->m_Players[0].m_pBody->m_vPosition, -40, 8, "body 0");
    ExpectAt(m_pScene->m_Players[1].m_pBody->m_vPosition, 40, 8, "body 1");
    EXPECT_EQ(m_pScene->m_StartPoints[1][1].x, 7.0f);
    EXPECT_EQ(m_pScene->m_StartPoints[0][0].x, 0.0f);
}

TEST_F(CMoxSceneFile, FailedSaveKeepsTheOldFile)
{
    ASSERT_NO_FATAL_FAILURE(Start({}));
    Build();
    ASSERT_TRUE(WriteTestFile(m_App.DataFile("newscene.scn"), std::string("old")));
    // Not even root can create the temporary file where a folder of that name stands.
    ASSERT_EQ(mkdir(m_App.DataFile("newscene.scn.tmp").c_str(), 0755), 0);
    EXPECT_EQ(m_pScene->SaveScene(CKorvelString("newscene.scn")), 0);
    EXPECT_EQ(Saved("newscene.scn"), "old");

    // No data folder can be made where a file stands.
    ASSERT_TRUE(WriteTestFile(m_App.DataFile("blocked"), std::string("file")));
    EXPECT_EQ(m_pScene->SaveScene(CKorvelString("blocked/newscene.scn")), 0);
}

TEST_F(CMoxSceneFile, HelpersBeyondOneByteAreRefused)
{
    ASSERT_NO_FATAL_FAILURE(Start({}));
    m_pScene->Clear();
    for (int i = 0; i < 255; ++i)
        m_pScene->AddHelper({0.0f, 0.0f}, {0.03f, 0.03f});
    ASSERT_EQ(m_pScene->SaveScene(CKorvelString("full.scn")), 1);
    EXPECT_EQ(Read(Saved("full.scn")).aHelpers.size(), 255u);
    m_pScene->AddHelper({0.0f, 0.0f}, {0.03f, 0.03f});
    EXPECT_EQ(m_pScene->SaveScene(CKorvelString("over.scn")), 0);
    struct stat info;
    EXPECT_NE(stat(m_App.DataFile("over.scn").c_str(), &info), 0) << "nothing written";
}

} // namespace
