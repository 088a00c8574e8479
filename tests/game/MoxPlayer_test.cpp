// Players and projectiles on real physics: slots, masks, where the flomps look, the whip
// and the blocks in a player's column.
#include "KorvelCommon/KorvelMath.h"
#include "game/MoxPlayer.h"

#include <gtest/gtest.h>

#include "tests/game/MoxSceneWorld.h"

namespace
{

const unsigned int FREE = PROJECTILE_MASK_FREE;

TEST(CPlayer, SlotsOutsideTheRangeGiveNothing)
{
    sMoxSceneWorld world;
    const int iBodies = world.physics.m_Bodies.GetCount();
    EXPECT_EQ(world.Player(0).GetProjectile(-1), nullptr);
    EXPECT_EQ(world.Player(0).GetProjectile(32), nullptr);
    EXPECT_EQ(world.scene->CreateProjectile(0, PROJECTILE_FIRE, 32), nullptr);
    EXPECT_EQ(world.scene->CreateProjectile(1, PROJECTILE_FIRE, -1), nullptr);
    EXPECT_EQ(world.scene->CreateProjectile(2, PROJECTILE_FIRE, 0), nullptr);
    EXPECT_EQ(world.physics.m_Bodies.GetCount(), iBodies);
}

TEST(CPlayer, FreeIndexGoesRoundWhateverTheSlotsHold)
{
    sMoxSceneWorld world;
    world.scene->CreateProjectile(0, PROJECTILE_FIRE, 1);
    world.scene->CreateProjectile(0, PROJECTILE_FIRE, 31);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(world.Player(0).GetFreeProjectileIndex(), i);
    EXPECT_EQ(world.Player(0).GetFreeProjectileIndex(), 0);
}

TEST(CPlayer, ProjectileRecordFollowsItsType)
{
    struct sCASE
    {
        PROJECTILE_TYPE eType;
        int iPlayer, iSlot;
        float fRadius, fDamage;
        unsigned int uMask;
        unsigned int uOwner;
    };
    const sCASE cases[] = {
        {PROJECTILE_FIRE, 0, 0, 0.3f, 60.0f, 0x10, 10},
        {PROJECTILE_STICKY, 1, 0, 0.3f, 30.0f, 0x1, 20},
        {PROJECTILE_CLUSTER, 0, 4, 0.3f, 30.0f, 0x10, 10},
        {PROJECTILE_SNOW, 1, 5, 0.6f, 30.0f, 0x1, 20},
        {PROJECTILE_FRAGMENT, 0, 6, 0.3f, 30.0f, 0x100, 10},
        {PROJECTILE_FRAGMENT, 1, 7, 0.3f, 30.0f, 0x1000, 20},
        {PROJECTILE_FRAGMENT, 0, 8, 0.3f, 30.0f, 0x10000, 10},
    };
    sMoxSceneWorld world;
    for (const sCASE& c : cases)
    {
        Projectile* p = world.scene->CreateProjectile(c.iPlayer, c.eType, c.iSlot);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->m_fRadius, c.fRadius);
        EXPECT_EQ(p->m_fDamage, c.fDamage);
        EXPECT_EQ(p->m_pBody->m_uCollisionMask, c.uMask) << c.eType << " slot " << c.iSlot;
        EXPECT_EQ(p->m_pBody->m_uUser, c.uOwner);
        EXPECT_EQ(p->m_pBody->m_pOwner, p);
        EXPECT_EQ(p->m_iValue, 0);
        EXPECT_EQ(p->m_iTarget, -1);
        EXPECT_EQ(p->m_pBody->m_vPosition.x, world.Player(c.iPlayer).m_pBody->m_vPosition.x);
        EXPECT_EQ(world.physics.m_pTraceBody, p->m_pBody);
        EXPECT_EQ(world.Player(c.iPlayer).GetProjectile(c.iSlot), p);
    }
}

TEST(CPlayer, ReusedSlotLeavesOneBody)
{
    sMoxSceneWorld world;
    const int iBodies = world.physics.m_Bodies.GetCount();
    world.scene->CreateProjectile(1, PROJECTILE_FIRE, 5);
    Projectile* p = world.scene->CreateProjectile(1, PROJECTILE_STICKY, 5);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(world.physics.m_Bodies.GetCount(), iBodies + 1);
    EXPECT_EQ(world.physics.m_Bodies[iBodies], p->m_pBody);
    world.scene->DeleteProjectile(1, 5);
    EXPECT_EQ(world.physics.m_Bodies.GetCount(), iBodies);
    EXPECT_EQ(world.Player(1).GetProjectile(5), nullptr);
}

// Without gravity: a shot of player 0 flies out of it to the right, then back into it.
TEST(CPlayer, ShotPassesThroughItsThrowerUntilItLeavesIt)
{
    sMoxSceneWorld world(SCENE_MODE_PLAY, false);
    CBody* pThrower = world.Player(0).m_pBody;
    world.Player(1).m_pBody->m_vPosition.Set(2.0f, 0.1f);
    Projectile* p = world.scene->CreateProjectile(0, PROJECTILE_FIRE, 0);
    p->m_pBody->m_vVelocity.Set(0.02f, 0.0f);
    int iSteps = 0;
    while (CMoxPhysics::Intersect(p->m_pBody, pThrower) && iSteps < 100)
    {
        EXPECT_EQ(p->m_pBody->m_uCollisionMask, 0x10u) << iSteps;
        EXPECT_FLOAT_EQ(pThrower->m_vPosition.x, -0.1f) << "pushed at step " << iSteps;
        world.Step();
        ++iSteps;
    }
    EXPECT_GT(iSteps, 1);
    EXPECT_EQ(p->m_pBody->m_uCollisionMask, FREE); // the step that parted them freed it

    p->m_pBody->m_vVelocity.Set(-0.02f, 0.0f);
    for (int i = 0; i < 20; ++i)
        world.Step();
    EXPECT_GE(p->m_pBody->m_vPosition.x - 0.025f, pThrower->m_vPosition.x + 0.05f - 1e-3f);
    EXPECT_LT(pThrower->m_vPosition.x, -0.1f) << "the shot pushed its thrower";
}

TEST(CPlayer, FragmentsOfABurstPartBeforeTheyCollide)
{
    sMoxSceneWorld world(SCENE_MODE_PLAY, false);
    Projectile* ap[3];
    for (int s = 0; s < 3; ++s)
    {
        ap[s] = world.scene->CreateProjectile(1, PROJECTILE_FRAGMENT, s);
        ap[s]->m_pBody->m_vPosition.Set(1.0f, 1.0f);
    }
    world.scene->HandleProjectiles();
    EXPECT_EQ(ap[0]->m_pBody->m_uCollisionMask, 0x100u);
    EXPECT_EQ(ap[1]->m_pBody->m_uCollisionMask, 0x1000u);
    EXPECT_EQ(ap[2]->m_pBody->m_uCollisionMask, 0x10000u);

    ap[2]->m_pBody->m_vPosition.Set(1.5f, 1.0f);
    world.scene->HandleProjectiles();
    EXPECT_EQ(ap[0]->m_pBody->m_uCollisionMask, 0x100u);
    EXPECT_EQ(ap[1]->m_pBody->m_uCollisionMask, 0x1000u);
    EXPECT_EQ(ap[2]->m_pBody->m_uCollisionMask, FREE);

    ap[1]->m_pBody->m_vPosition.Set(0.5f, 1.0f);
    world.scene->HandleProjectiles();
    EXPECT_EQ(ap[0]->m_pBody->m_uCollisionMask, FREE);
    EXPECT_EQ(ap[1]->m_pBody->m_uCollisionMask, FREE);
}

TEST(CPlayer, ViewAngleAndDirection)
{
    struct sCASE
    {
        float fDegrees;
        float fExpected;
        int iDirection;
    };
    const sCASE cases[] = {{0.0f, 0.0f, 0},     {90.0f, 90.0f, 2},  {180.0f, 180.0f, 4}, {270.0f, 270.0f, 6},
                           {22.4f, 22.4f, 0},   {22.6f, 22.6f, 1},  {-10.0f, 350.0f, 0}, {337.4f, 337.4f, 7},
                           {135.0f, 135.0f, 3}, {225.0f, 225.0f, 5}};
    for (const sCASE& c : cases)
    {
        CPlayer player;
        CBody own, target;
        own.m_vPosition.Set(0.5f, 0.5f);
        const float r = c.fDegrees * KE_PI / 180.0f;
        target.m_vPosition.Set(0.5f + std::cos(r), 0.5f + std::sin(r));
        player.m_pBody = &own;
        player.SetViewTarget(&target);
        player.UpdateViewAngle();
        EXPECT_NEAR(player.m_fViewAngle, c.fExpected, 0.01f) << c.fDegrees;
        EXPECT_EQ(player.m_iDirection, c.iDirection) << c.fDegrees;
    }
}

TEST(CPlayer, FlompsFaceEachOtherOrTheLastShot)
{
    sMoxSceneWorld world(SCENE_MODE_PLAY, false);
    world.scene->HandleProjectiles();
    EXPECT_EQ(world.Player(0).m_iDirection, 0);
    EXPECT_EQ(world.Player(1).m_iDirection, 4);

    Projectile* pHigh0 = world.scene->CreateProjectile(0, PROJECTILE_FIRE, 9);
    pHigh0->m_pBody->m_vPosition.Set(0.0f, 2.0f);
    world.scene->CreateProjectile(0, PROJECTILE_FIRE, 2)->m_pBody->m_vPosition.Set(-1.0f, 0.1f);
    world.scene->HandleProjectiles();
    EXPECT_EQ(world.Player(0).m_pViewTarget, pHigh0->m_pBody);
    EXPECT_EQ(world.Player(1).m_pViewTarget, pHigh0->m_pBody);
    EXPECT_EQ(world.Player(0).m_iDirection, 2);

    Projectile* pLow1 = world.scene->CreateProjectile(1, PROJECTILE_FIRE, 0);
    pLow1->m_pBody->m_vPosition.Set(3.0f, 0.1f);
    world.scene->HandleProjectiles();
    EXPECT_EQ(world.Player(0).m_pViewTarget, pLow1->m_pBody);
    EXPECT_EQ(world.Player(1).m_pViewTarget, pLow1->m_pBody);
    EXPECT_EQ(world.Player(1).m_iDirection, 0);
}

TEST(CPlayer, AimDots)
{
    const std::pair<CKorvelVector2, int> cases[] = {
        {{0.0f, 0.0f}, 1}, {{0.04f, 0.0f}, 2}, {{0.0f, -0.2f}, 6}, {{0.36f, 0.0f}, 10}, {{0.0f, 0.5f}, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(CMoxScene::AimDotCount(c.first), c.second) << c.first.x << ", " << c.first.y;
}

// The whip lashes out to minus the release stretch and back in half a sine period.
TEST(CPlayer, WhipStretchOverHalfASine)
{
    sMoxSceneWorld world;
    CPlayer& player = world.Player(0);
    player.m_vStretchRelease.Set(0.2f, 0.1f);
    player.m_bWhipActive = 1;
    float fLowest = 0.0f;
    int iSteps = 0;
    while (player.m_bWhipActive && iSteps < 100)
    {
        player.m_pBody->m_uAsleep = 1;
        world.scene->HandlePlayers(0.033f);
        ++iSteps;
        fLowest = std::min(fLowest, player.m_vStretch.x);
        EXPECT_EQ(player.m_pBody->m_uAsleep, 0u);
        EXPECT_EQ(player.m_bStretching, player.m_bWhipActive);
        EXPECT_NEAR(player.m_vStretch.y * 2.0f, player.m_vStretch.x, 1e-6f);
    }
    EXPECT_EQ(iSteps, 8); // pi / 12 s, about 0.26 s
    EXPECT_NEAR(fLowest, -0.2f, 0.002f);
    EXPECT_EQ(player.m_vStretch.x, 0.0f);
    EXPECT_EQ(player.m_vStretchPad.x, 40.0f); // a twentieth of the screen's width
}

TEST(CPlayer, DamageNumbersRiseThenGo)
{
    sMoxSceneWorld world;
    CPlayer& player = world.Player(1);
    player.m_bShowInfo = 1;
    player.m_iDamage[3] = 25;
    int iSteps = 0;
    while (player.m_bShowInfo && iSteps < 1000)
    {
        EXPECT_EQ(player.m_iDamage[3], 25);
        world.scene->HandlePlayers(0.033f);
        ++iSteps;
    }
    EXPECT_NEAR(iSteps, 120, 1);
    EXPECT_EQ(player.m_fInfoRise, 0.3001f);
    EXPECT_EQ(player.m_iDamage[3], 0);
    player.m_iDamage[0] = 7;
    world.scene->HandlePlayers(0.033f);
    EXPECT_EQ(player.m_iDamage[0], 0);
}

TEST(CPlayer, BlocksInTheColumnAboveAndBelow)
{
    sMoxSceneWorld world;
    world.Player(0).m_pBody->m_vPosition.Set(0.0f, 0.5f);
    world.Player(1).m_pBody->m_vPosition.Set(2.5f, 0.5f);
    CBlockManager& blocks = *world.scene->m_pBlocks;
    // Shape 1 is 0.1 x 0.1 half size.
    const int below = blocks.AddBlock(1, {0.0f, 0.2f}, 0, 0, 0)->m_uID;
    const int above = blocks.AddBlock(1, {0.0f, 1.0f}, 0, 0, 0)->m_uID;
    blocks.AddBlock(1, {0.0f, 7.0f}, 0, 0, 0);  // just out of reach upwards
    blocks.AddBlock(1, {0.15f, 0.2f}, 0, 0, 0); // touches the column's edge only
    const int side = blocks.AddBlock(1, {0.14f, 1.5f}, 0, 0, 0)->m_uID;
    blocks.AddBlock(1, {0.0f, 0.52f}, 0, 0, 0); // level with the flomp: neither
    const int deep = blocks.AddBlock(1, {0.0f, -5.8f}, 0, 0, 0)->m_uID;
    world.scene->FindUpperLowerBlocks();
    const CPlayer& p = world.Player(0);
    ASSERT_EQ(p.m_UpperBlocks.GetCount(), 2);
    EXPECT_EQ(p.m_UpperBlocks[0], above);
    EXPECT_EQ(p.m_UpperBlocks[1], side);
    ASSERT_EQ(p.m_LowerBlocks.GetCount(), 2);
    EXPECT_EQ(p.m_LowerBlocks[0], below);
    EXPECT_EQ(p.m_LowerBlocks[1], deep);
    EXPECT_EQ(world.Player(1).m_UpperBlocks.GetCount() + world.Player(1).m_LowerBlocks.GetCount(), 0);

    world.scene->RemoveFromUpperLowerBlocks(above);
    world.scene->RemoveFromUpperLowerBlocks(999);
    ASSERT_EQ(p.m_UpperBlocks.GetCount(), 1);
    EXPECT_EQ(p.m_UpperBlocks[0], side);
    EXPECT_EQ(p.m_LowerBlocks.GetCount(), 2);
}

TEST(CPlayer, NewPlayersAfterClear)
{
    sMoxSceneWorld world;
    world.scene->CreateProjectile(0, PROJECTILE_FIRE, 3);
    world.Player(0).m_bAlive = 0;
    world.Player(0).m_iHealth = 5;
    world.scene->Clear();
    for (int i = 0; i < 2; ++i)
    {
        const CPlayer& p = world.Player(i);
        EXPECT_EQ(p.m_bAlive, 1);
        EXPECT_EQ(p.m_iHealth, 100);
        EXPECT_EQ(p.m_pProjectiles[3], nullptr);
        EXPECT_EQ(p.m_pBody->m_uCollisionMask, i ? 0x11110u : 0x11101u);
        EXPECT_EQ(p.m_pViewTarget, world.Player(1 - i).m_pBody);
    }
    EXPECT_EQ(world.physics.m_Bodies.GetCount(), 2);
}

} // namespace
