// The rules of a turn and a round: the water, crushing, the whip's and the explosions'
// damage, the snow bomb's timed change, the cluster's burst, rounds without a winner, the
// random scenes and the game over.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "tests/game/PlayRulesFixture.h"

namespace
{
class CMoxPlayStateRules : public CPlayRulesTest
{
protected:
    void SetUp() override
    {
        CPlayRulesTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartMatch());
        ASSERT_NO_FATAL_FAILURE(LoadRound());
        // The flomps far apart, high and dry, unless a test moves them.
        Body(0).m_vPosition.Set(-1.0f, 1.0f);
        Body(1).m_vPosition.Set(1.0f, 1.0f);
    }
    float Length(const CMoxEvent* p, int iX, int iY)
    {
        return std::sqrt(F32At(p, iX) * F32At(p, iX) + F32At(p, iY) * F32At(p, iY));
    }
};

TEST_F(CMoxPlayStateRules, WaterKillsAFlompAfterOneSecondAndDeletesAShot)
{
    BeginRecording();
    // The other flomp stays dry: a new fall would start the timer again.
    Body(0).m_uType = BODY_HELD;
    Body(1).m_vPosition.Set(1.0f, -0.5f);
    Projectile* pShot = Scene().CreateProjectile(0, PROJECTILE_FIRE, 4);
    ASSERT_NE(pShot, nullptr);
    pShot->m_pBody->m_vPosition.Set(0.0f, -0.5f);

    int iSteps = 0;
    for (; iSteps < 45 && Player(1).m_bAlive; ++iSteps)
        RecordStep();
    // In at the first step, killed once the timer passed 1.0 s (31 steps of 1/30 s).
    EXPECT_GE(iSteps, 31);
    EXPECT_LE(iSteps, 34);
    const std::vector<CMoxEvent*> aKills = Recorded(EVENT_PLAYER_DEAD);
    ASSERT_EQ(aKills.size(), 1u);
    EXPECT_EQ(aKills[0]->m_pPayload[MoxField::DEAD_PLAYER], 1);
    EXPECT_EQ(aKills[0]->m_pPayload[MoxField::DEAD_CAUSE], 1);
    EXPECT_EQ(Player(1).m_bAlive, 0);
    EXPECT_EQ(Player(0).GetProjectile(4), nullptr);
    const std::vector<CMoxEvent*> aDeleted = Recorded(EVENT_PROJECTILE_DELETE);
    ASSERT_EQ(aDeleted.size(), 1u);
    EXPECT_EQ(aDeleted[0]->m_pPayload[MoxField::DELETE_REASON], 1);
    EXPECT_EQ(Player(0).m_bAlive, 1);
}

// A flomp is in the water once its centre is more than two half heights below the surface.
TEST_F(CMoxPlayStateRules, TheWaterLineIsTwoHalfHeightsBelowTheSurface)
{
    BeginRecording();
    const float fHalf = Body(1).m_vHalfSize.y;
    Body(1).m_vPosition.Set(1.0f, -1.5f * fHalf);
    m_pPlay->HandleTurn();
    EXPECT_EQ(Player(1).m_bFellIntoWater, 0u);
    Body(1).m_vPosition.Set(1.0f, -2.5f * fHalf);
    m_pPlay->HandleTurn();
    EXPECT_EQ(Player(1).m_bFellIntoWater, 1u);
}

TEST_F(CMoxPlayStateRules, AFlompWedgedInANegativeGapIsCrushedAtOnce)
{
    m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
    Body(0).m_vPosition.Set(0.0f, 0.5f);
    // The ceiling's bottom (0.45) lies below the floor's top (0.55).
    CBlock* pAbove = AddBlock(0.0f, 0.55f);
    CBlock* pBelow = AddBlock(0.0f, 0.45f);
    Player(0).m_UpperBlocks.Add(pAbove->m_uID);
    Player(0).m_LowerBlocks.Add(pBelow->m_uID);
    m_pPlay->PlayerCrushTest();
    m_pPlay->HandleGameEvents();

    const std::vector<CMoxEvent*> aKills = Recorded(EVENT_PLAYER_DEAD);
    ASSERT_EQ(aKills.size(), 1u);
    EXPECT_EQ(aKills[0]->m_pPayload[MoxField::DEAD_CAUSE], 2);
    const std::vector<CMoxEvent*> aPuffs = Recorded(EVENT_EFFECT_EXPLOSION);
    ASSERT_EQ(aPuffs.size(), 1u);
    EXPECT_FLOAT_EQ(F32At(aPuffs[0], MoxField::EXPLOSION_SIZE), 0.2f);
    EXPECT_EQ(Player(0).m_bAlive, 0);
    EXPECT_EQ(Player(1).m_bAlive, 1);
    EXPECT_NEAR(m_pPlay->m_fCeiling[0], 0.45f, 1e-5f);
    EXPECT_NEAR(m_pPlay->m_fFloor[0], 0.55f, 1e-5f);

    // Outside the own turn nothing is tested.
    ReplayRecord();
    m_pPlay->SetPlayState(PLAYSTATE_OPPONENT_TURN);
    Player(1).m_UpperBlocks.Add(pAbove->m_uID);
    Player(1).m_LowerBlocks.Add(pBelow->m_uID);
    m_pPlay->CheckForCrushing();
    EXPECT_EQ(m_pPlay->m_TurnRecord.GetCount(), 0);
}

TEST_F(CMoxPlayStateRules, TheWhipsDamageGrowsWithItsLengthUpTo25)
{
    struct sCASE
    {
        float fLength;
        int iDamage;
    };
    for (const sCASE& c : {sCASE{0.2f, 13}, sCASE{0.38f, 24}, sCASE{0.4f, 25}, sCASE{0.6f, 25}})
    {
        SCOPED_TRACE(c.fLength);
        Body(0).m_vPosition.Set(0.0f, 1.0f);
        Body(1).m_vPosition.Set(0.15f, 1.0f);
        m_pPlay->FlompWhipDamage(0, CKorvelVector2(c.fLength, 0.0f));
        m_pPlay->HandleGameEvents();
        const std::vector<CMoxEvent*> aDamage = Recorded(EVENT_PLAYER_DAMAGE);
        ASSERT_EQ(aDamage.size(), 1u);
        EXPECT_EQ(aDamage[0]->m_pPayload[MoxField::DAMAGE_PLAYER], 1);
        EXPECT_EQ(I32At(aDamage[0], MoxField::DAMAGE_AMOUNT), c.iDamage);
        // Knocked back by -0.35 of the whip, then the writer's factor.
        const std::vector<CMoxEvent*> aForce = Recorded(EVENT_PLAYER_ADD_FORCE);
        ASSERT_EQ(aForce.size(), 1u);
        EXPECT_NEAR(F32At(aForce[0], MoxField::FORCE_X), c.fLength * -0.35f * -6.9f, 1e-5f);
        ReplayRecord();
        Player(1).m_iHealth = 100;
    }
}

TEST_F(CMoxPlayStateRules, BlocksLoseStrengthByMaterialAndGoBelowTheWater)
{
    struct sCASE
    {
        int iMaterial;
        float y;
        int iStrength; // -1: deleted
    };
    const sCASE cases[] = {{BLOCK_MATERIAL_PAPER, 1.0f, 95},
                           {BLOCK_MATERIAL_METAL, 1.0f, 175},
                           {BLOCK_MATERIAL_ICE, 1.0f, -1},
                           {BLOCK_MATERIAL_BOUNCE, 1.0f, 255},
                           {7, 1.0f, 175},
                           {BLOCK_MATERIAL_BOUNCE, -0.02f, -1}};
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.iMaterial);
        SCOPED_TRACE(c.y);
        Body(0).m_vPosition.Set(0.0f, c.y);
        CBlock* pBlock = AddBlock(0.2f, c.y, BLOCK_MATERIAL_PAPER, 0);
        ASSERT_NE(pBlock, nullptr);
        pBlock->m_iMaterial = (signed char)c.iMaterial;
        const int iID = pBlock->m_uID;
        m_pPlay->FlompWhipDamage(0, CKorvelVector2(0.3f, 0.0f));
        m_pPlay->HandleGameEvents();
        ReplayRecord();
        CBlock* pAfter = Scene().m_pBlocks->GetBlockByID(iID);
        if (c.iStrength < 0)
        {
            EXPECT_EQ(pAfter, nullptr);
            continue;
        }
        ASSERT_NE(pAfter, nullptr);
        EXPECT_EQ(pAfter->m_iStrength, c.iStrength);
        // Lowered by 0.15 onto the grid.
        EXPECT_LT(pAfter->m_pBody->m_vPosition.y, c.y - 0.14f);
        Scene().m_pBlocks->DeleteBlock(iID);
    }
}

TEST_F(CMoxPlayStateRules, AnExplosionsShareSetsTheDamageAndThePush)
{
    struct sCASE
    {
        float fGap;   // from the shot's centre to the box's nearest side; the shot's radius is 0.3
        float fShare; // of the push and of the shot's 60 damage
        int iDamage;  // 0: no damage is written, only the push
    };
    for (const sCASE& c : {sCASE{0.15f, 0.5f, 30}, sCASE{0.297f, 0.01f, 0}})
    {
        SCOPED_TRACE(c.fGap);
        Projectile* pShot = Scene().CreateProjectile(0, PROJECTILE_FIRE, 0);
        ASSERT_NE(pShot, nullptr);
        pShot->m_pBody->m_vPosition.Set(0.0f, 1.0f);
        Body(1).m_vPosition.Set(c.fGap + Body(1).m_vHalfSize.x, 1.0f);
        m_pPlay->ProjectileExplodeAll(0);
        m_pPlay->HandleGameEvents();

        const std::vector<CMoxEvent*> aDamage = Recorded(EVENT_PLAYER_DAMAGE);
        ASSERT_EQ(aDamage.size(), c.iDamage ? 1u : 0u);
        if (c.iDamage)
        {
            EXPECT_EQ(aDamage[0]->m_pPayload[MoxField::DAMAGE_PLAYER], 1);
            EXPECT_EQ(I32At(aDamage[0], MoxField::DAMAGE_AMOUNT), c.iDamage);
            EXPECT_EQ(I32At(aDamage[0], MoxField::DAMAGE_HEALTH_LEFT), 100 - c.iDamage);
        }
        const std::vector<CMoxEvent*> aForce = Recorded(EVENT_PLAYER_ADD_FORCE);
        ASSERT_EQ(aForce.size(), 1u);
        EXPECT_NEAR(Length(aForce[0], MoxField::FORCE_X, MoxField::FORCE_Y), c.fShare * 0.12f * 6.9f, 1e-4f);
        EXPECT_EQ(Player(1).m_iHealth, 100 - c.iDamage);
        EXPECT_EQ(Player(0).m_iHealth, 100);
        ReplayRecord();
        Scene().DeleteProjectile(0, 0);
        Player(1).m_iHealth = 100;
    }
}

// At the same distance a sticky bomb pushes a block down twice as far as a fire shot.
TEST_F(CMoxPlayStateRules, AStickyShotLowersBlocksTwiceAsFarAsAFireShot)
{
    int aDrop[2] = {};
    const PROJECTILE_TYPE aTypes[2] = {PROJECTILE_FIRE, PROJECTILE_STICKY};
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        Projectile* pShot = Scene().CreateProjectile(0, aTypes[i], i);
        ASSERT_NE(pShot, nullptr);
        pShot->m_fRadius = 0.3f;
        pShot->m_pBody->m_vPosition.Set(0.0f, 1.0f);
        CBlock* pBlock = AddBlock(0.2f, 1.0f, BLOCK_MATERIAL_METAL);
        ASSERT_NE(pBlock, nullptr);
        const int iID = pBlock->m_uID;
        m_pPlay->ProjectileExplodeAll(0);
        m_pPlay->HandleGameEvents();
        Scene().DeleteProjectile(0, i);
        for (CMoxEvent* p : Recorded(EVENT_SCENE_UPDATE))
            if (p->m_pPayload[MoxField::UPDATE_BLOCK] == iID)
                aDrop[i] = 40 - (signed char)p->m_pPayload[MoxField::UPDATE_GRID_Y];
        Scene().m_pBlocks->DeleteBlock(iID);
    }
    EXPECT_GT(aDrop[0], 1);
    EXPECT_NEAR(aDrop[1], 2 * aDrop[0], 1);
}

TEST_F(CMoxPlayStateRules, ASnowBombOnlyStartsChangesThatEndInIce)
{
    CBlock* pBlock = AddBlock(0.0f, 0.8f, BLOCK_MATERIAL_METAL);
    const int iID = pBlock->m_uID;
    const CKorvelVector2 at = pBlock->m_pBody->m_vPosition;
    pBlock->m_iStrength = 100;
    Projectile* pShot = Scene().CreateProjectile(0, PROJECTILE_SNOW, 0);
    pShot->m_pBody->m_vPosition.Set(0.0f, 1.0f);
    m_pPlay->ProjectileExplodeAll(0);
    m_pPlay->HandleGameEvents();
    EXPECT_TRUE(Recorded(EVENT_SCENE_UPDATE).empty());
    EXPECT_TRUE(Recorded(EVENT_SCENE_DELETE).empty());
    const std::vector<CMoxEvent*> aChanges = Recorded(EVENT_SCENE_CHANGE);
    ASSERT_EQ(aChanges.size(), 1u);
    EXPECT_LT(F32At(aChanges[0], MoxField::CHANGE_TIME), 0.0f);

    ASSERT_EQ(pBlock->m_bEffectRunning, 1);
    // The explosion's synchronisation stopped the physics; the settle starts it again.
    EXPECT_EQ(Scene().m_bAnimateBlocks, 0);
    m_pPlay->SyncPhysics(1);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(Scene().m_bAnimateBlocks, 1);
    EXPECT_EQ(pBlock->m_iMaterial, BLOCK_MATERIAL_METAL);
    for (int i = 0; i < 90 && pBlock->m_bEffectRunning; ++i)
        Scene().Update(1.0f / 30.0f);
    ASSERT_EQ(Scene().m_pBlocks->GetBlockByID(iID), pBlock);
    EXPECT_EQ(pBlock->m_bEffectRunning, 0);
    EXPECT_EQ(pBlock->m_iMaterial, BLOCK_MATERIAL_ICE);
    EXPECT_EQ(pBlock->m_iStrength, 255);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_fFriction, 0.75f);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_fBounce, 0.15f);
    EXPECT_EQ(pBlock->m_pBody->m_vPosition.x, at.x);
    EXPECT_EQ(pBlock->m_pBody->m_vPosition.y, at.y);
}

TEST_F(CMoxPlayStateRules, ASettledClusterBurstsIntoThreeFragments)
{
    // Thrown as in a turn, so the fragments take the slots after the bomb's.
    const int iBomb = m_pPlay->ProjectileCreate(0, PROJECTILE_CLUSTER);
    m_pPlay->HandleGameEvents();
    ReplayRecord();
    Projectile* pBomb = Player(0).GetProjectile(iBomb);
    ASSERT_NE(pBomb, nullptr);
    pBomb->m_pBody->m_vPosition.Set(0.3f, 1.0f);
    BeginRecording();
    SleepAll();
    EXPECT_EQ(m_pPlay->CheckForTurnEnd(), 0);
    m_pPlay->HandleGameEvents();

    const std::vector<CMoxEvent*> aCreated = Recorded(EVENT_PROJECTILE_CREATE);
    ASSERT_EQ(aCreated.size(), 3u);
    const std::vector<CMoxEvent*> aPlaced = Recorded(EVENT_PROJECTILE_POSITION);
    const std::vector<CMoxEvent*> aForces = Recorded(EVENT_PROJECTILE_ADD_FORCE);
    ASSERT_EQ(aPlaced.size(), 3u);
    ASSERT_EQ(aForces.size(), 3u);
    const float aX[3] = {0.0f, 1.0f, -1.0f};
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(aCreated[i]->m_pPayload[MoxField::CREATE_TYPE], PROJECTILE_FRAGMENT);
        EXPECT_EQ(aPlaced[i]->m_pPayload[MoxField::POSITION_SLOT],
                  aCreated[i]->m_pPayload[MoxField::CREATE_SLOT]);
        EXPECT_FLOAT_EQ(F32At(aPlaced[i], MoxField::POSITION_X), 0.3f);
        // A force of 0.15 along (x, -1), turned by the writer's -6.9: upwards and outwards.
        const float fScale = 0.15f / std::sqrt(aX[i] * aX[i] + 1.0f) * -6.9f;
        EXPECT_NEAR(F32At(aForces[i], MoxField::SHOT_X), aX[i] * fScale, 1e-5f);
        EXPECT_NEAR(F32At(aForces[i], MoxField::SHOT_Y), -fScale, 1e-5f);
        EXPECT_GT(F32At(aForces[i], MoxField::SHOT_Y), 0.0f);
    }
    const std::vector<CMoxEvent*> aDeleted = Recorded(EVENT_PROJECTILE_DELETE);
    ASSERT_EQ(aDeleted.size(), 1u);
    EXPECT_EQ(aDeleted[0]->m_pPayload[MoxField::DELETE_SLOT], iBomb);
    EXPECT_EQ(m_pPlay->m_bProjectilesAsleep, 0u);

    ReplayRecord();
    int iFragments = 0;
    for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        if (const Projectile* p = Player(0).GetProjectile(s))
            iFragments += p->m_eType == PROJECTILE_FRAGMENT ? 1 : 0;
    EXPECT_EQ(iFragments, 3);
    EXPECT_EQ(Player(0).GetProjectile(iBomb), nullptr);
}

TEST_F(CMoxPlayStateRules, ARoundWithBothFlompsDeadHasNoWinnerAndAnotherSceneFollows)
{
    m_pPlay->m_bMaster = 1;
    m_pPlay->RandomizeStart();
    m_pPlay->HandleGameEvents();
    const int iFirstScene = m_pPlay->m_iSceneIndex;
    Player(0).m_bAlive = Player(1).m_bAlive = 0;
    EXPECT_EQ(m_pPlay->CheckForRoundEnd(), 1);
    EXPECT_EQ(m_pPlay->m_iResult, 255);
    EXPECT_EQ(m_pPlay->m_aResultIds.GetCount(), 0);

    m_pPlay->EndRound();
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_BETWEEN_ROUNDS);
    EXPECT_EQ(m_pPlay->m_bGameOver, 0u);
    EXPECT_EQ(Player(0).m_cRoundWins + Player(1).m_cRoundWins, 0);
    EXPECT_EQ(m_pPlay->m_aResultIds.GetCount(), 0);

    m_pPlay->NextRound();
    ASSERT_EQ(Queued(m_pPlay->m_pLocalEvents, EVENT_LOAD_GAME).size(), 1u);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_LOADED);
    EXPECT_NE(m_pPlay->m_iSceneIndex, iFirstScene);
    EXPECT_EQ(Player(0).m_bAlive, 1);
    // Readiness starts afresh with the new round's scene: only the own flag is set again.
    EXPECT_EQ(Player(0).m_bReady, 1);
    EXPECT_EQ(Player(1).m_bReady, 0);
    EXPECT_EQ(m_pPlay->WaitForAllPlayersReady(), 0);
}

TEST_F(CMoxPlayStateRules, RandomScenesRunThroughAllTwentyBeforeAnyRepeats)
{
    m_pGame->m_aScenesDrawn.RemoveAll();
    std::set<int> seen;
    for (int i = 0; i < FLOMP_SCENE_COUNT; ++i)
    {
        const int iScene = m_pPlay->RandomizeScene();
        ASSERT_GE(iScene, 0);
        ASSERT_LT(iScene, FLOMP_SCENE_COUNT);
        EXPECT_TRUE(seen.insert(iScene).second) << iScene;
    }
    const int iNext = m_pPlay->RandomizeScene();
    EXPECT_GE(iNext, 0);
    EXPECT_LT(iNext, FLOMP_SCENE_COUNT);
    EXPECT_EQ(m_pGame->m_aScenesDrawn.GetCount(), 1);
}

TEST_F(CMoxPlayStateRules, TheFirstRoundWonEndsTheMatchAndMarksOnlyTheOwnWin)
{
    struct sCASE
    {
        int iOwn, iWinner, iUserInt;
    };
    for (const sCASE& c : {sCASE{0, 0, 1}, sCASE{0, 1, 0}, sCASE{1, 1, 1}, sCASE{1, 0, 0}})
    {
        SCOPED_TRACE(c.iOwn * 10 + c.iWinner);
        m_pPlay->SetUserInt(0);
        m_pPlay->m_bGameOver = 0;
        m_pPlay->m_iOwnPlayer = c.iOwn;
        m_pPlay->m_iOpponent = 1 - c.iOwn;
        Player(0).m_cRoundWins = Player(1).m_cRoundWins = 0;
        EXPECT_EQ(m_pPlay->CheckForGameOver(), 0);
        Player(c.iWinner).m_cRoundWins = 1;
        EXPECT_EQ(m_pPlay->CheckForGameOver(), 1);
        EXPECT_EQ(m_pPlay->GetUserInt(), c.iUserInt);
        EXPECT_EQ(m_pPlay->m_iResult, c.iWinner);
        ASSERT_EQ(m_pPlay->m_aResultRanks.GetCount(), 2);
        EXPECT_EQ(m_pPlay->m_aResultRanks[c.iWinner], 1);
        // Decided stays decided.
        Player(c.iWinner).m_cRoundWins = 0;
        EXPECT_EQ(m_pPlay->CheckForGameOver(), 1);
    }
}

TEST_F(CMoxPlayStateRules, StickyShotsHoldOnToTheBlockTheyHit)
{
    CBlock* pBlock = AddBlock(0.0f, 0.5f);
    struct sCASE
    {
        PROJECTILE_TYPE eType;
        bool bHeld;
    };
    for (const sCASE& c :
         {sCASE{PROJECTILE_FIRE, false}, sCASE{PROJECTILE_STICKY, true}, sCASE{PROJECTILE_CLUSTER, true},
          sCASE{PROJECTILE_FRAGMENT, false}, sCASE{PROJECTILE_SNOW, true}})
    {
        SCOPED_TRACE(int(c.eType));
        Projectile* pShot = Scene().CreateProjectile(1, c.eType, 7);
        pShot->m_pBody->m_vVelocity.Set(0.01f, -0.02f);
        CollideData data{pShot->m_pBody, pBlock->m_pBody, pShot->m_pBody->m_vPosition,
                         CKorvelVector2(0.0f, 1.0f), 0.001f};
        m_pPlay->BodyCollide(data);
        EXPECT_EQ(pShot->m_pBody->m_uType == BODY_HELD, c.bHeld);
        EXPECT_EQ(pShot->m_iTarget, c.bHeld ? int(pBlock->m_uID) : -1);
        if (c.bHeld)
        {
            EXPECT_EQ(pShot->m_pBody->m_vVelocity.LengthSq(), 0.0f);
        }
        // Against another moving body nothing sticks.
        CollideData other{pShot->m_pBody, &Body(0), pShot->m_pBody->m_vPosition, CKorvelVector2(0.0f, 1.0f),
                          0.001f};
        pShot->m_pBody->m_uType = BODY_DYNAMIC;
        m_pPlay->BodyCollide(other);
        EXPECT_EQ(pShot->m_pBody->m_uType, unsigned(BODY_DYNAMIC));
    }
}
} // namespace
