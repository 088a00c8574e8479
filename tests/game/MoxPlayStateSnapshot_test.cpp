// The scene backup of a recorded action: it lives in its own physics world, survives the
// live world being emptied and refilled, and brings back the blocks (with their running
// timed changes), the players, the camera and the match values.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <algorithm>

#include "game/MoxRenderer.h"
#include "tests/game/PlayRulesFixture.h"

namespace
{
class CMoxPlayStateSnapshot : public CPlayRulesTest
{
protected:
    void SetUp() override
    {
        CPlayRulesTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartMatch());
        ASSERT_NO_FATAL_FAILURE(LoadRound());
    }
    static bool InWorld(CMoxPhysics& physics, const CBody* pBody)
    {
        for (int i = 0; i < physics.m_Bodies.GetCount(); ++i)
            if (physics.m_Bodies[i] == pBody)
                return true;
        return false;
    }
};

TEST_F(CMoxPlayStateSnapshot, TheBackupKeepsNothingOfTheLiveWorld)
{
    AddBlock(0.0f, 0.3f);
    AddBlock(0.5f, 0.3f, BLOCK_MATERIAL_ICE);
    Scene().AddHelper(CKorvelVector2(0.1f, 0.2f), CKorvelVector2(0.3f, 0.3f));
    m_pPlay->BackupScene();

    CMoxScene& backup = *m_pPlay->m_pBackupScene;
    CMoxPhysics& world = *m_pPlay->m_pBackupPhysics;
    ASSERT_EQ(backup.m_pBlocks->GetCount(), 2);
    EXPECT_EQ(backup.m_Helpers.GetCount(), 1);
    for (int p = 0; p < 2; ++p)
    {
        EXPECT_TRUE(InWorld(world, backup.m_Players[p].m_pBody));
        EXPECT_EQ(backup.m_Players[p].m_pViewTarget, backup.m_Players[1 - p].m_pBody);
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
            EXPECT_EQ(backup.m_Players[p].GetProjectile(s), nullptr);
    }
    for (int i = 0; i < 2; ++i)
    {
        CBlock* pBlock = backup.m_pBlocks->GetAt(i);
        EXPECT_TRUE(InWorld(world, pBlock->m_pBody));
        EXPECT_EQ(pBlock->m_pBody->m_pOwner, pBlock);
    }

    // Emptied and refilled, the live world shares nothing with the backup.
    Scene().Clear();
    for (int i = 0; i < 30; ++i)
        AddBlock(-1.0f + 0.1f * float(i), 1.5f);
    Scene().CreateProjectile(0, PROJECTILE_FIRE, 0);
    for (int i = 0; i < 10; ++i)
        Physics().Simulate();
    for (int i = 0; i < 5; ++i)
        world.Simulate();
    EXPECT_EQ(backup.m_pBlocks->GetCount(), 2);
    EXPECT_FLOAT_EQ(backup.m_pBlocks->GetAt(0)->m_pBody->m_vPosition.x, 0.0f);
    EXPECT_EQ(backup.m_pBlocks->GetAt(1)->m_iMaterial, BLOCK_MATERIAL_ICE);
}

TEST_F(CMoxPlayStateSnapshot, RestoringBringsBackBlocksPlayersCameraAndMatchValues)
{
    CBlock* pFirst = AddBlock(0.0f, 0.3f);
    CBlock* pSecond = AddBlock(0.5f, 0.3f, BLOCK_MATERIAL_METAL);
    CBlock* pThird = AddBlock(-0.5f, 0.3f);
    // Identifiers with a gap, a hit block and a snow change half-way.
    const int iSecond = pSecond->m_uID, iThird = pThird->m_uID;
    Scene().m_pBlocks->DeleteBlock(pFirst->m_uID);
    pSecond->m_iStrength = 175;
    pSecond->m_bEffectRunning = 1;
    pSecond->m_fEffectTime = -0.5f;
    pSecond->m_uSavedMaterial = BLOCK_MATERIAL_ICE;
    pSecond->m_iSavedStrength = 255;
    pSecond->m_fSavedFriction = 0.75f;
    pSecond->m_fSavedBounce = 0.15f;
    const CKorvelVector2 thirdAt = pThird->m_pBody->m_vPosition;
    Player(0).m_iHealth = 61;
    Player(1).m_cRoundWins = 1;
    Player(1).m_iDamage[2] = 17;
    Player(0).m_vAim.Set(0.2f, -0.1f);
    Body(0).m_vPosition.Set(-0.7f, 0.6f);
    CCamera& camera = m_pGame->GetRenderer()->m_Camera;
    camera.m_vPosition.Set(0.25f, -0.5f);
    camera.m_fZoomTarget = 0.6f;
    m_pPlay->m_iTurnPlayer = 0;
    m_pPlay->m_iRoundsPlayed = 2;
    m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
    m_pPlay->m_iSceneIndex = 3;

    m_pPlay->BackupScene();
    // The action changes everything while it is recorded.
    Scene().m_pBlocks->DeleteBlock(iThird);
    pSecond->m_iStrength = 20;
    for (int i = 0; i < 40; ++i)
        Scene().Update(1.0f / 30.0f);
    Player(0).m_iHealth = 5;
    Player(1).m_cRoundWins = 0;
    Body(0).m_vPosition.Set(2.0f, -1.0f);
    Scene().CreateProjectile(0, PROJECTILE_STICKY, 1);
    camera.m_vPosition.Set(3.0f, 3.0f);
    m_pPlay->m_iTurnPlayer = 1;
    m_pPlay->m_iRoundsPlayed = 7;
    m_pPlay->m_ePlayState = PLAYSTATE_OPPONENT_TURN;
    m_pPlay->m_bTurnPackReady = 1;
    m_pPlay->RestoreScene();

    ASSERT_EQ(Scene().m_pBlocks->GetCount(), 2);
    CBlock* pBack = Scene().m_pBlocks->GetBlockByID(iSecond);
    ASSERT_NE(pBack, nullptr);
    EXPECT_EQ(pBack->m_iStrength, 175);
    EXPECT_EQ(pBack->m_iMaterial, BLOCK_MATERIAL_METAL);
    EXPECT_EQ(pBack->m_bEffectRunning, 1);
    EXPECT_FLOAT_EQ(pBack->m_fEffectTime, -0.5f);
    EXPECT_EQ(pBack->m_pBody->m_pOwner, pBack);
    EXPECT_TRUE(InWorld(Physics(), pBack->m_pBody));
    CBlock* pThirdBack = Scene().m_pBlocks->GetBlockByID(iThird);
    ASSERT_NE(pThirdBack, nullptr);
    EXPECT_EQ(pThirdBack->m_pBody->m_vPosition.x, thirdAt.x);
    EXPECT_EQ(pThirdBack->m_pBody->m_vPosition.y, thirdAt.y);
    EXPECT_EQ(pThirdBack->m_pBody->m_uUser, unsigned(iThird));

    EXPECT_EQ(Player(0).m_iHealth, 61);
    EXPECT_EQ(Player(1).m_cRoundWins, 1);
    EXPECT_EQ(Player(1).m_iDamage[2], 17);
    EXPECT_FLOAT_EQ(Player(0).m_vAim.x, 0.2f);
    EXPECT_EQ(Narrow(Player(1).m_strName), "Bob");
    EXPECT_FLOAT_EQ(Body(0).m_vPosition.x, -0.7f);
    EXPECT_FLOAT_EQ(Body(0).m_vPosition.y, 0.6f);
    EXPECT_TRUE(InWorld(Physics(), &Body(0)));
    EXPECT_EQ(Player(0).GetProjectile(1), nullptr);
    EXPECT_EQ(Player(0).m_pViewTarget, &Body(1));

    EXPECT_FLOAT_EQ(camera.m_vPosition.x, 0.25f);
    EXPECT_FLOAT_EQ(camera.m_fZoomTarget, 0.6f);
    EXPECT_EQ(camera.m_pTargetBody, nullptr);

    EXPECT_EQ(m_pPlay->m_iTurnPlayer, 0);
    EXPECT_EQ(m_pPlay->m_iRoundsPlayed, 2);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
    EXPECT_EQ(m_pPlay->m_iSceneIndex, 3);
    EXPECT_EQ(m_pPlay->m_bTurnPackReady, 0u);
    EXPECT_EQ(m_pPlay->m_bActionTaken, 1u);

    // The restored change ends as it would have on the other device.
    m_pPlay->SetRunPhysics(1);
    for (int i = 0; i < 20; ++i)
        Scene().Update(1.0f / 30.0f);
    EXPECT_EQ(pBack->m_bEffectRunning, 0);
    EXPECT_EQ(pBack->m_iMaterial, BLOCK_MATERIAL_ICE);
    EXPECT_FLOAT_EQ(pBack->m_pBody->m_fFriction, 0.75f);
}
} // namespace
