// The scene's life cycle, what the camera may follow, helpers and the per-step order.
#include "game/MoxScene.h"

#include <gtest/gtest.h>

#include "game/StateGame.h"
#include "tests/game/MoxSceneWorld.h"

namespace
{

TEST(CMoxScene, IsTheCamerasScene)
{
    sMoxSceneWorld world;
    IMoxCameraScene* pCameraScene = world.scene.get();
    EXPECT_EQ(world.renderer->m_Camera.m_pScene, pCameraScene);
    world.scene.reset();
    EXPECT_EQ(world.renderer->m_Camera.m_pScene, nullptr) << "no dangling scene";
}

TEST(CMoxScene, FollowsLivingPlayersAndProjectiles)
{
    sMoxSceneWorld world;
    CMoxScene& scene = *world.scene;
    CBody* pBlock = scene.m_pBlocks->AddBlock(1, {0.0f, 0.0f}, 0, 0, 0)->m_pBody;
    Projectile* pShot0 = scene.CreateProjectile(0, PROJECTILE_FIRE, 31);
    Projectile* pShot1 = scene.CreateProjectile(1, PROJECTILE_SNOW, 0);
    scene.m_Players[1].m_bAlive = 0;
    EXPECT_TRUE(scene.IsFollowable(scene.m_Players[0].m_pBody));
    EXPECT_FALSE(scene.IsFollowable(scene.m_Players[1].m_pBody)) << "dead";
    EXPECT_TRUE(scene.IsFollowable(pShot0->m_pBody));
    EXPECT_TRUE(scene.IsFollowable(pShot1->m_pBody));
    EXPECT_FALSE(scene.IsFollowable(pBlock));
    EXPECT_FALSE(scene.IsFollowable(nullptr));

    // The camera asks the scene: a dead flomp is not followed.
    CCamera& camera = world.renderer->m_Camera;
    scene.m_Players[1].m_pBody->m_vPosition.Set(1.0f, 1.0f);
    camera.SetTargetBody(scene.m_Players[1].m_pBody);
    camera.Update();
    EXPECT_EQ(camera.m_vTarget.x, 0.0f);
    scene.m_Players[1].m_bAlive = 1;
    camera.Update();
    EXPECT_EQ(camera.m_vTarget.x, 1.0f);
}

// The counter of created blocks belongs to the scene's game and starts again on Clear.
TEST(CMoxScene, ClearRestartsItsGamesBlockCounter)
{
    CStateGame game, other;
    sMoxSceneWorld world;
    world.scene->Startup(&game, world.renderer.get(), &world.physics, SCENE_MODE_PLAY);
    for (int i = 0; i < 4; ++i)
        world.scene->m_pBlocks->AddBlock(1, {0.0f, 0.0f}, 0, 0, 0);
    EXPECT_EQ(game.GetContext().m_iBlockCounter, 36);
    EXPECT_EQ(other.GetContext().m_iBlockCounter, 32);
    world.scene->m_iSelectedBlock = 33;
    world.scene->Clear();
    EXPECT_EQ(game.GetContext().m_iBlockCounter, 32);
    EXPECT_EQ(world.scene->m_iSelectedBlock, -1);
    EXPECT_EQ(world.physics.m_Bodies.GetCount(), 2) << "only the new flomps";
    EXPECT_EQ(world.scene->m_pBlocks->GetCount(), 0);
}

TEST(CMoxScene, HelpersByTheirBox)
{
    sMoxSceneWorld world;
    CMoxScene& scene = *world.scene;
    scene.AddHelper({1.0f, 1.0f}, {0.03f, 0.03f});
    scene.AddHelper({1.02f, 1.0f}, {0.03f, 0.03f});
    MoxHelper* pFirst = scene.m_Helpers[0];
    EXPECT_EQ(scene.FindHelper({1.0f, 1.0f}), pFirst);
    EXPECT_EQ(scene.FindHelper({0.97f, 1.03f}), pFirst) << "edges count";
    EXPECT_EQ(scene.FindHelper({1.05f, 1.0f}), scene.m_Helpers[1]);
    EXPECT_EQ(scene.FindHelper({1.0f, 1.04f}), nullptr);
    scene.RemoveHelper(pFirst);
    EXPECT_EQ(scene.m_Helpers.GetCount(), 1);
    EXPECT_EQ(scene.FindHelper({0.995f, 1.0f}), scene.m_Helpers[0]);
    scene.CleanHelpers();
    EXPECT_EQ(scene.m_Helpers.GetCount(), 0);
}

TEST(CMoxScene, UpdateRunsWhatTheModeAndFlagAllow)
{
    struct sCASE
    {
        SCENE_MODE eMode;
        int bAnimate;
        bool bBlocksMove, bPlayersStep;
    };
    const sCASE cases[] = {{SCENE_MODE_PLAY, 0, false, true},
                           {SCENE_MODE_PLAY, 1, true, true},
                           {SCENE_MODE_EDIT, 1, true, false}};
    for (const sCASE& c : cases)
    {
        sMoxSceneWorld world(c.eMode);
        world.scene->CreatePlayers();
        CBlock* pBlock = world.scene->m_pBlocks->AddBlock(1, {0.0f, 2.0f}, 0, 0, 0);
        pBlock->m_iStrength = 0;
        world.scene->m_bAnimateBlocks = c.bAnimate;
        world.scene->Update(0.5f);
        world.scene->Update(0.25f);
        EXPECT_EQ(world.scene->m_fTime, 0.75f);
        EXPECT_EQ(pBlock->m_iShownStrength < 255, c.bBlocksMove) << c.eMode << c.bAnimate;
        EXPECT_EQ(world.Player(0).m_vStretchPad.x == 40.0f, c.bPlayersStep) << c.eMode << c.bAnimate;
    }
}

} // namespace
