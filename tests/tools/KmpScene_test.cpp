// kmptool scn: the text form, the rules of shipped scenes, and the program's build, check
// and dump over real files (the game's own reader and writer underneath).
#include "tools/packtool/KmpScene.h"

#include "support/TestMedia.h"
#include "support/TestSceneFile.h"
#include "support/TestTempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{
// Player 0 on a block on the left, player 1 on one on the right (block tops at y 8).
const char* g_pBase = "start0 -40,11 -36,11 -44,11\n"
                      "start1 40,11 36,11 44,11\n"
                      "block -40 4 1 0 0 1\n"
                      "block 40 4 1 1 2 3\n";

int RunTool(const CTestTempDir& dir, const std::string& strArgs, std::string* pOut = nullptr,
            std::string* pErr = nullptr)
{
    const std::string strCommand =
        std::string(KMPTOOL_PATH) + " " + strArgs + " >" + dir.File("out.txt") + " 2>" + dir.File("err.txt");
    const int iStatus = std::system(strCommand.c_str());
    const std::vector<uint8_t> aOut = ReadTestFile(dir.File("out.txt")),
                               aErr = ReadTestFile(dir.File("err.txt"));
    if (pOut)
        pOut->assign(aOut.begin(), aOut.end());
    if (pErr)
        pErr->assign(aErr.begin(), aErr.end());
    return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
}

std::string Bytes(const std::string& strPath)
{
    const std::vector<uint8_t> a = ReadTestFile(strPath);
    return std::string(a.begin(), a.end());
}

// The problem with a source, "" when it parses and keeps the rules.
std::string Refusal(const std::string& strText, bool bNetwork = false)
{
    sMoxSceneFile scene;
    std::string strError;
    if (!KmpParseScene(strText, "t", scene, strError) || !KmpCheckScene(scene, "t", bNetwork, strError))
        return strError;
    return "";
}
} // namespace

TEST(KmpScene, MirrorSwapsTheStartPointsAndNegatesX)
{
    const std::string strText =
        "start0 -40,11 -36,11 -44,11 # comment\nstart1 40,11 36,11 44,11\nblock -40 4 1 0 0 1\n"
        "block 40 4 1 1 2 3\nhelper -7 30\nmirror\n";
    sMoxSceneFile scene;
    std::string strError;
    ASSERT_TRUE(KmpParseScene(strText, "t", scene, strError)) << strError;
    EXPECT_EQ(scene.aPoints[0][1].x, -36); // player 1's point 1, mirrored
    EXPECT_EQ(scene.aPoints[1][2].x, 44);
    EXPECT_EQ(scene.aPoints[0][0].uColour, 0xFFFF5D37u);
    EXPECT_EQ(scene.aPoints[1][0].uColour, 0xFF3A92FFu);
    EXPECT_EQ(scene.aBlocks[0].x, 40);
    EXPECT_EQ(scene.aBlocks[1].x, -40);
    EXPECT_EQ(scene.aBlocks[1].cLayer, 3);
    EXPECT_EQ(scene.aHelpers[0].x, 7);
    EXPECT_EQ(scene.aHelpers[0].y, 30);
    EXPECT_NE(Refusal("start0 -128,11 0,0 0,0\nstart1 0,0 0,0 0,0\nmirror\n").find("no mirror image"),
              std::string::npos);
}

TEST(KmpScene, RefusesScenesThatBreakARule)
{
    std::string strMany = g_pBase;
    for (int i = 0; i < 222; ++i) // 224 blocks
        strMany += "block 0 " + std::to_string(40 + (i % 2) * 10) + " 0 0 0 1\n";
    const struct
    {
        std::string strText;
        bool bNetwork;
        std::string strRule; // "" when the scene is accepted
    } aCases[] = {
        {g_pBase, false, ""},
        {g_pBase + std::string("block 0 3 1 0 0 1\n"), false, "block 2 at 0,3: reaches below the water"},
        {g_pBase + std::string("block 0 2 0 0 0 0\n"), false, ""}, // bottom exactly on the water
        {g_pBase + std::string("block -40 14 0 0 0 1\n"), false,
         "start point 0 of player 0 at -40,11: lies inside block 2"},
        {g_pBase + std::string("block 0 20 40 0 0 1\n"), false, "block 2 at 0,20: shape 40 is not in 0..39"},
        {g_pBase + std::string("block 0 20 1 4 0 1\n"), false, "material 4 is not in 0..3"},
        {g_pBase + std::string("block 0 20 1 0 3 1\n"), false, "variant 3 is not in 0..2"},
        {g_pBase + std::string("block 0 20 1 0 0 4\n"), false, "layer 4 is not in 0..3"},
        {g_pBase + std::string("block 126 20 1 0 0 1\n"), false, "reaches outside the field"},
        {g_pBase + std::string("block 0 98 1 0 0 1\n"), false, "reaches above the scene's top"},
        {strMany, false, "224 blocks: at most 223"},
        {"start0 -40,11 -40,11 -44,11\nstart1 40,11 36,11 44,11\nblock -40 4 1 0 0 1\nblock 40 4 1 0 0 1\n",
         false, ""},
        {"start0 -40,11 -40,11 -44,11\nstart1 40,11 36,11 44,11\nblock -40 4 1 0 0 1\nblock 40 4 1 0 0 1\n",
         true, "start point 1 of player 0 at -40,11: equals start point 0 of player 0"},
        {"start0 -20,11 -36,11 -44,11\nstart1 40,11 36,11 44,11\nblock -40 4 1 0 0 1\nblock 40 4 1 0 0 1\n",
         false, "start point 0 of player 0 at -20,11: is not 0.05 .. 0.1 above the top of a block"},
        {"start0 -40,15 -36,11 -44,11\nstart1 40,11 36,11 44,11\nblock -40 4 1 0 0 1\nblock 40 4 1 0 0 1\n",
         false, "is not 0.05 .. 0.1 above"},
        {"start0 -44,10 -36,11 -44,11\nstart1 40,11 36,11 44,11\nblock -40 4 1 0 0 1\nblock 40 4 1 0 0 1\n",
         false, ""}, // on the block's edge
        {"start0 -45,11 -36,11 -44,11\nstart1 40,11 36,11 44,11\nblock -40 4 1 0 0 1\nblock 40 4 1 0 0 1\n",
         false, "start point 0 of player 0 at -45,11: is not"},
        {"start0 -40,11 -36,11 -44,11\nstart1 -38,11 36,11 44,11\nblock -40 4 1 0 0 1\nblock 40 4 1 0 0 1\n",
         false, "start point 0 of player 0 overlaps start point 0 of player 1"},
        {g_pBase + std::string("helper 0 110\n"), false, "helper 0: outside the scene"},
        // Source errors name the line.
        {g_pBase + std::string("blok 0 20 1 0 0 1\n"), false, "t:5: unknown word 'blok'"},
        {g_pBase + std::string("\nblock 0 20 1 0 0\n"), false,
         "t:6: block takes x y shape material variant layer"},
        {g_pBase + std::string("block 0 2.5 1 0 0 1\n"), false, "t:5: '2.5' is not a whole number"},
        {g_pBase + std::string("helper 0 128\n"), false, "t:5: '128' is not a whole number in -128..127"},
        {"start0 1,2 3,4\n", false, "t:1: start0 needs three points"},
        {"start0 1,2 3,4 5;6\n", false, "t:1: '5;6' is not a point"},
        {"start0 1,2 3,4 5,6\n", false, "t: no start1 line"},
        {"start0 1,2 3,4 5,6\nstart0 1,2 3,4 5,6\n", false, "t:2: start0 given twice"},
    };
    for (const auto& c : aCases)
    {
        const std::string strError = Refusal(c.strText, c.bNetwork);
        if (c.strRule.empty())
            EXPECT_EQ(strError, "") << c.strText;
        else
            EXPECT_NE(strError.find(c.strRule), std::string::npos) << strError << "\n" << c.strText;
    }
}

// Built bytes follow the file layout the test writer knows independently; a refused
// source writes nothing and keeps an older output.
TEST(KmpScene, BuildWritesTheLayoutAndNothingOnFailure)
{
    CTestTempDir dir;
    ASSERT_TRUE(WriteTestFile(dir.File("a.txt"), g_pBase + std::string("helper 3 4\n")));
    ASSERT_EQ(RunTool(dir, "scn build " + dir.File("a.txt") + " " + dir.File("a.scn") + " --network"), 0);
    sTestScene expected;
    expected.players = {{{-40, 11, 0xFFFF5D37}, {-36, 11, 0xFFFF5D37}, {-44, 11, 0xFFFF5D37}},
                        {{40, 11, 0xFF3A92FF}, {36, 11, 0xFF3A92FF}, {44, 11, 0xFF3A92FF}}};
    expected.blocks = {{-40, 4, 1, 0, 0, 1}, {40, 4, 1, 1, 2, 3}};
    expected.helpers = {{3, 4}};
    EXPECT_EQ(Bytes(dir.File("a.scn")), TestSceneBytes(expected));

    std::string strErr;
    ASSERT_TRUE(WriteTestFile(dir.File("b.txt"), g_pBase + std::string("block 0 3 1 0 0 1\n")));
    EXPECT_EQ(RunTool(dir, "scn build " + dir.File("b.txt") + " " + dir.File("b.scn"), nullptr, &strErr), 1);
    EXPECT_NE(strErr.find("below the water"), std::string::npos) << strErr;
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.scn")));
    EXPECT_EQ(RunTool(dir, "scn build " + dir.File("b.txt") + " " + dir.File("a.scn")), 1);
    EXPECT_EQ(Bytes(dir.File("a.scn")), TestSceneBytes(expected));
}

// Every shipped source: dump of the build builds to the same bytes and passes check.
TEST(KmpScene, DumpBuildsBackToTheSameBytes)
{
    CTestTempDir dir;
    int iScenes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TestSourceDir() + "/assets/src/scenes"))
    {
        const std::string strName = entry.path().stem().string();
        const std::string strNetwork = isdigit((unsigned char)strName[0]) ? "" : " --network";
        const std::string strScn = dir.File(strName + ".scn"), strDump = dir.File(strName + ".txt");
        ASSERT_EQ(RunTool(dir, "scn build " + entry.path().string() + " " + strScn + strNetwork), 0)
            << strName;
        std::string strText;
        ASSERT_EQ(RunTool(dir, "scn dump " + strScn, &strText), 0) << strName;
        ASSERT_TRUE(WriteTestFile(strDump, strText));
        ASSERT_EQ(RunTool(dir, "scn build " + strDump + " " + dir.File("again.scn") + strNetwork), 0)
            << strName;
        EXPECT_EQ(Bytes(dir.File("again.scn")), Bytes(strScn)) << strName;
        EXPECT_EQ(RunTool(dir, "scn check" + strNetwork + " " + strScn), 0) << strName;
        ++iScenes;
    }
    EXPECT_EQ(iScenes, 35);
}

// A scene from the game tests' own writer passes; files that are no whole "v110"
// scene (older layouts, a cut, bytes after the end) and rule breakers are named.
TEST(KmpScene, CheckReadsFilesOfOtherWriters)
{
    CTestTempDir dir;
    sTestScene scene = TestSceneWithPlayers({-40, 11}, {40, 27});
    scene.blocks = {{-40, 4, 1, 0, 0, 1}, {40, 12, 5, 3, 1, 0}};
    const std::string strGood = TestSceneBytes(scene);
    sTestScene old = scene;
    old.layout = sTestScene::V100;
    sTestScene low = scene;
    low.blocks.push_back({0, 1, 2, 0, 0, 1});
    const struct
    {
        std::string strBytes;
        int iExit;
        std::string strError;
    } aCases[] = {
        {strGood, 0, ""},
        {TestSceneBytes(old), 1, "not a whole \"v110\" scene"},
        {strGood.substr(0, strGood.size() - 1), 1, "not a whole"},
        {strGood + "x", 1, "not a whole"},
        {TestSceneBytes(low), 1, "block 2 at 0,1: reaches below the water"},
    };
    for (const auto& c : aCases)
    {
        ASSERT_TRUE(WriteTestFile(dir.File("s.scn"), c.strBytes));
        std::string strErr;
        EXPECT_EQ(RunTool(dir, "scn check " + dir.File("s.scn"), nullptr, &strErr), c.iExit) << strErr;
        EXPECT_NE(strErr.find(c.strError), std::string::npos) << strErr;
    }
    // Equal start points pass a training check and fail a network one.
    ASSERT_TRUE(WriteTestFile(dir.File("s.scn"), strGood));
    EXPECT_EQ(RunTool(dir, "scn check --network " + dir.File("s.scn")), 1);
}
