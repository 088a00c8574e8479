// Virtual items on the real match screen: item packs generated into the working folder
// under the names the test lobby gives ("data_64_<file>.kmp"), each with its description
// XML and pictures, loaded through the real resource manager.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "Framework/Shell/VornApplication.h"
#include "game/MoxScene.h"
#include "support/TestMenuState.h"
#include "tests/game/PlayStateFixture.h"

namespace
{

std::string Description(const std::string& strAttributes)
{
    return "<item>" + strAttributes + "</item>";
}

class CMoxPlayStateItems : public CPlayStateTest
{
protected:
    void SetUp() override
    {
        CPlayStateTest::SetUp();
        // File 1: hats, bombs and oddities; file 2: battlegrounds.
        const TestPackItems hats = {
            {"/10.xml", Description(R"(<attributes type="HAT" variable="20" filename="Hat_Red.PNG"/>)")},
            {"/11.xml", Description(R"(<attributes type="hat" variable="5" filename="hat_blue.png"/>)")},
            {"/12.xml", Description(R"(<attributes type="cluster"/>)")},
            {"/13.xml", Description(R"(<attributes type="Snow"/>)")},
            {"/14.xml", Description(R"(<attributes type="umbrella" filename="hat_red.png"/>)")},
            {"/15.xml", Description(R"(<other type="hat" filename="hat_red.png"/>)")},
            {"/16.xml", "<item><attributes type="},
            {"/17.xml", Description(R"(<attributes type="hat" variable="9" filename="hat_gone.png"/>)")},
            {"/hat_red.png", GameTestPicture("hat_red.png", 0xFF0000)},
            {"/hat_blue.png", GameTestPicture("hat_blue.png", 0x0000FF)},
        };
        const TestPackItems grounds = {
            {"/20.xml", Description(R"(<attributes type="battleground" battlefilename="BG_Battle.png" )"
                                    R"(uniquefilename="bg_unique.png"/>)")},
            {"/21.xml", Description(R"(<attributes type="battleground" battlefilename="bg_battle.png" )"
                                    R"(uniquefilename="bg_missing.png"/>)")},
            {"/bg_battle.png", GameTestPicture("bg_battle.png", 0x00FF00)},
            {"/bg_unique.png", GameTestPicture("bg_unique.png", 0x00FFFF)},
        };
        ASSERT_TRUE(WriteTestFile(m_App.Dir() + "/data_64_1.kmp", TestPackBytes(hats)));
        ASSERT_TRUE(WriteTestFile(m_App.Dir() + "/data_64_2.kmp", TestPackBytes(grounds)));
        ASSERT_NO_FATAL_FAILURE(StartPlay());
        ASSERT_TRUE(m_App.RunSplash());
        ASSERT_NE(m_App.m_pTestLobby, nullptr);
    }
    CPlayer& Player(int i) { return m_pPlay->m_pLiveScene->m_Players[i]; }
    CKorvelSurface*& Texture(int i) { return m_pGame->GetContext().psrfGameTextures[i]; }
    // Whether the resource manager holds the picture loaded (a reference is held).
    bool Loaded(const char* pName) { return Surface(pName) != nullptr; }
    // The loaded picture, or null; the count is left as it was.
    CKorvelSurface* Surface(const char* pName)
    {
        CKorvelSurface* pSurface = m_App.HaveSurface(CKorvelString(pName));
        CKorvelSurface* pKept = pSurface;
        m_App.ReleaseSurface(pSurface);
        return pKept;
    }
    // Every item field of both players as one text, and the two background slots.
    std::string Items()
    {
        std::string str;
        for (int i = 0; i < 2; ++i)
        {
            const CPlayer& p = Player(i);
            for (int v : {p.m_pItemSurface ? 1 : 0, p.m_iItemVariable, p.m_iItemId, p.m_iItemDescription,
                          p.m_iItemFile, p.m_bShowItem, p.m_iClusterItemId, p.m_bHasCluster, p.m_iSnowItemId,
                          p.m_bHasSnow, p.m_bHasBattleground, p.m_iBattlegroundId, p.m_iHealth})
                str += std::to_string(v) + ",";
            str += "|";
        }
        return str;
    }
};

TEST_F(CMoxPlayStateItems, AHatAddsHealthOnlyBeforeTheRoundStarts)
{
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 7, 10, 1), 1);
    CPlayer& p = Player(0);
    EXPECT_EQ(p.m_pItemSurface, Surface("hat_red.png")) << "type and file name compared in lower case";
    EXPECT_EQ(p.m_iItemVariable, 20);
    EXPECT_EQ(p.m_iItemId, 7);
    EXPECT_EQ(p.m_iItemDescription, 10);
    EXPECT_EQ(p.m_iItemFile, 1);
    EXPECT_EQ(p.m_bShowItem, 1);
    EXPECT_EQ(p.m_iHealth, 120);

    // A second hat whose picture is not in the pack: not loaded, and none is worn.
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 9, 17, 1), 0);
    EXPECT_FALSE(Loaded("hat_red.png"));
    EXPECT_EQ(p.m_pItemSurface, nullptr);
    EXPECT_EQ(p.m_bShowItem + p.m_iItemId + p.m_iItemVariable, 0);
    EXPECT_EQ(p.m_iHealth, 100);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 7, 10, 1), 1);

    // A second hat once the round runs: the first is given back, the health stays.
    m_pPlay->m_bStarted = 1;
    p.m_iHealth = 64;
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 8, 11, 1), 1);
    EXPECT_EQ(p.m_pItemSurface, Surface("hat_blue.png"));
    EXPECT_FALSE(Loaded("hat_red.png"));
    EXPECT_EQ(p.m_iItemVariable, 5);
    EXPECT_EQ(p.m_iHealth, 64);
}

TEST_F(CMoxPlayStateItems, BombsAreHeldByEitherPlayer)
{
    ASSERT_EQ(m_pPlay->LoadVirtualItem(1, 30, 12, 1), 1);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 31, 13, 1), 1);
    EXPECT_EQ(Player(1).m_iClusterItemId, 30);
    EXPECT_EQ(Player(1).m_bHasCluster, 1);
    EXPECT_EQ(Player(0).m_iSnowItemId, 31);
    EXPECT_EQ(Player(0).m_bHasSnow, 1);
    EXPECT_EQ(Player(0).m_bHasCluster + Player(1).m_bHasSnow, 0);
}

TEST_F(CMoxPlayStateItems, ItemsThatCannotBeReadChangeNothing)
{
    const std::string strBefore = Items();
    CKorvelSurface* pBattle = Texture(TEXTURE_BACKGROUND_BATTLE);
    const struct
    {
        const char* pWhat;
        int iItemId, iDescription, iFile, iResult; // -1: the lenient parser decides
    } cases[] = {
        {"an unknown type", 1, 14, 1, 1},
        {"no attributes element", 1, 15, 1, 1},
        {"no such description", 1, 99, 1, 0},
        {"damaged XML", 1, 16, 1, -1},
        {"no such pack", 1, 10, 9, 0},
        {"a negative identifier", -1, 10, 1, 0},
        {"a player that does not exist", 1, 10, 1, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        const int iPlayer = std::string(c.pWhat) == "a player that does not exist" ? 2 : 0;
        const int iResult = m_pPlay->LoadVirtualItem(iPlayer, c.iItemId, c.iDescription, c.iFile);
        if (c.iResult >= 0)
        {
            EXPECT_EQ(iResult, c.iResult);
        }
        EXPECT_EQ(Items(), strBefore);
        EXPECT_EQ(Texture(TEXTURE_BACKGROUND_BATTLE), pBattle);
    }
}

TEST_F(CMoxPlayStateItems, ABattlegroundIsTheOwnPlayersAndNeedsBothPictures)
{
    m_pPlay->RestoreResources();
    CKorvelSurface* pDefault = Texture(TEXTURE_BACKGROUND_BATTLE);
    ASSERT_NE(pDefault, nullptr);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(1, 40, 20, 2), 1);
    EXPECT_EQ(Texture(TEXTURE_BACKGROUND_BATTLE), pDefault) << "the opponent's battleground is not shown";
    EXPECT_EQ(Player(1).m_bHasBattleground, 0);

    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 40, 20, 2), 1);
    EXPECT_EQ(Texture(TEXTURE_BACKGROUND_BATTLE), Surface("bg_battle.png"));
    EXPECT_EQ(Texture(TEXTURE_BACKGROUND_UNIQUE), Surface("bg_unique.png"));
    EXPECT_EQ(Player(0).m_bHasBattleground, 1);
    EXPECT_EQ(Player(0).m_iBattlegroundId, 40);
    EXPECT_EQ(Player(0).m_iBattlegroundDescription, 20);
    EXPECT_EQ(Player(0).m_iBattlegroundFile, 2);

    // One picture missing: not loaded, and neither slot keeps anything until the screen
    // restores them.
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 41, 21, 2), 0);
    EXPECT_EQ(Texture(TEXTURE_BACKGROUND_BATTLE), nullptr);
    EXPECT_EQ(Texture(TEXTURE_BACKGROUND_UNIQUE), nullptr);
    EXPECT_EQ(Player(0).m_bHasBattleground, 0);
    EXPECT_FALSE(Loaded("bg_battle.png"));
    EXPECT_FALSE(Loaded("bg_unique.png"));
    m_pPlay->RestoreResources();
    EXPECT_NE(Texture(TEXTURE_BACKGROUND_BATTLE), nullptr);
    EXPECT_NE(Texture(TEXTURE_BACKGROUND_UNIQUE), nullptr);
}

TEST_F(CMoxPlayStateItems, RestoringReloadsHatsWithAnIdentifierAndTheOwnBattleground)
{
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 0, 10, 1), 1);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(1, 5, 11, 1), 1);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 40, 20, 2), 1);
    m_pPlay->ReleaseVirtuaIItems();
    EXPECT_EQ(Player(0).m_pItemSurface, nullptr);
    EXPECT_EQ(Player(1).m_pItemSurface, nullptr);
    EXPECT_FALSE(Loaded("hat_red.png"));
    m_App.ReleaseSurface(Texture(TEXTURE_BACKGROUND_BATTLE));
    m_App.ReleaseSurface(Texture(TEXTURE_BACKGROUND_UNIQUE));

    m_pPlay->RestoreResources();
    EXPECT_EQ(Player(0).m_pItemSurface, nullptr) << "identifier 0 is not restored";
    EXPECT_EQ(Player(1).m_pItemSurface, Surface("hat_blue.png"));
    EXPECT_EQ(Texture(TEXTURE_BACKGROUND_BATTLE), Surface("bg_battle.png"));
    EXPECT_EQ(Texture(TEXTURE_BACKGROUND_UNIQUE), Surface("bg_unique.png"));
}

TEST_F(CMoxPlayStateItems, AnItemPackIsAddedOnce)
{
    const int iPacks = m_App.m_aPacks.GetCount();
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 7, 10, 1), 1);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 8, 11, 1), 1);
    EXPECT_EQ(m_App.m_aPacks.GetCount(), iPacks + 1);
}

TEST_F(CMoxPlayStateItems, RemovingTheScreenGivesEveryPictureBack)
{
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 7, 10, 1), 1);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(1, 8, 11, 1), 1);
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 40, 20, 2), 1);
    m_pGame->RemoveState(STATE_PLAY);
    for (const char* pName : {"hat_red.png", "hat_blue.png", "bg_battle.png", "bg_unique.png",
                              "background_battle.png", "background_unique.png"})
        EXPECT_FALSE(Loaded(pName)) << pName;
}

TEST_F(CMoxPlayStateItems, InTrainingTheControlsAreRebuiltAroundTheScenesItem)
{
    m_pPlay->SetSinglePlayerMode(1);
    m_pPlay->m_iSceneIndex = 2;
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 31, 13, 1), 1);
    EXPECT_EQ(Player(0).m_bHasSnow, 0) << "training gives only its own items";
    ASSERT_EQ(m_pPlay->LoadVirtualItem(0, 7, 10, 1), 1);
    EXPECT_EQ(Player(0).m_pItemSurface, nullptr);
    EXPECT_FALSE(Loaded("hat_red.png")) << "the hat taken off is given back";
}

} // namespace
