// Fixed worlds whose every body state is hashed after chosen steps. The values were
// taken once and checked for plausibility; any change to the arithmetic of a step, its
// order, or the compiler's treatment of it (contraction, fast-math, optimisation level)
// shows here. The same test runs from the -O2 build without sanitizers.
#include "game/MoxPhysics.h"
#include "tests/game/MoxPhysicsWorlds.h"

#include <gtest/gtest.h>

#include <cstdio>

using mox_worlds::AddBox;

namespace
{
struct sGOLDEN
{
    const char* m_pszName;
    void (*m_pfnBuild)(CMoxPhysics&);
    uint32_t m_auHash[4]; // after steps 1, 10, 100 and 300
    int m_iAsleepAt;      // first step after which every dynamic body sleeps
};

const int kHashSteps[4] = {1, 10, 100, 300};

// A flomp dropped from 0.4 above a block.
void BuildDrop(CMoxPhysics& w)
{
    AddBox(w, 0, 0.5f, 0.3f, 0.1f, BODY_STATIC, 0, 0.15f, 0.75f, mox_worlds::kOpenMask);
    AddBox(w, 0.02f, 1.05f, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0.05f, 0.5f, mox_worlds::kPlayerMasks[0]);
}

// A shot thrown sideways between two walls of bouncing blocks, over a floor.
void BuildBounce(CMoxPhysics& w)
{
    AddBox(w, 0, 0, 1, 0.1f, BODY_STATIC, 0, 0.15f, 0.75f, mox_worlds::kOpenMask);
    AddBox(w, -0.6f, 0.6f, 0.1f, 0.5f, BODY_STATIC, 0, 0.8f, 0.75f, mox_worlds::kOpenMask);
    AddBox(w, 0.6f, 0.6f, 0.1f, 0.5f, BODY_STATIC, 0, 0.8f, 0.75f, mox_worlds::kOpenMask);
    CBody* shot = AddBox(w, -0.3f, 0.5f, 0.025f, 0.025f, BODY_DYNAMIC, 15, 0.2f, 0.5f, mox_worlds::kOpenMask);
    shot->m_vVelocity.Set(0.12f, 0.04f);
}

// Twelve flomp-sized boxes in four staggered layers of three, a little apart.
void BuildPile(CMoxPhysics& w)
{
    AddBox(w, 0, -0.1f, 1, 0.1f, BODY_STATIC, 0, 0.15f, 0.75f, mox_worlds::kOpenMask);
    for (int layer = 0; layer < 4; ++layer)
        for (int k = 0; k < 3; ++k)
        {
            float x = -0.12f + 0.12f * static_cast<float>(k) + (layer % 2 ? 0.04f : -0.03f);
            float y = 0.06f + 0.12f * static_cast<float>(layer);
            AddBox(w, x, y, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0.05f, 0.5f, mox_worlds::kOpenMask);
        }
}

bool AllAsleep(const CMoxPhysics& w)
{
    for (int i = 0; i < w.m_Bodies.GetCount(); ++i)
        if (w.m_Bodies[i]->m_uType == BODY_DYNAMIC && !w.m_Bodies[i]->m_uAsleep)
            return false;
    return true;
}

const sGOLDEN kGolden[] = {
    {"drop", BuildDrop, {0x508454bfu, 0xc492e15bu, 0xf35537edu, 0xf35537edu}, 46},
    {"bounce", BuildBounce, {0xdce619a3u, 0x3a86dcfcu, 0x32fe4934u, 0xd2a3d077u}, 71},
    {"pile", BuildPile, {0xaf7567afu, 0xe97cfdcdu, 0x34b6ff6cu, 0x34b6ff6cu}, 37},
};
} // namespace

TEST(CMoxPhysics, GoldenTrajectories)
{
    for (const sGOLDEN& g : kGolden)
    {
        CMoxPhysics w;
        w.Startup(1.0f / 30.0f, 4);
        g.m_pfnBuild(w);
        uint32_t hashes[4] = {};
        int asleepAt = 0;
        for (int s = 1, next = 0; s <= 300; ++s)
        {
            w.Simulate();
            if (!asleepAt && AllAsleep(w))
                asleepAt = s;
            if (s == kHashSteps[next])
                hashes[next++] = mox_worlds::WorldHash(w);
        }
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(hashes[k], g.m_auHash[k]) << g.m_pszName << " after step " << kHashSteps[k];
        EXPECT_EQ(asleepAt, g.m_iAsleepAt) << g.m_pszName;
        if (HasFailure())
            std::printf("%s: {0x%08xu, 0x%08xu, 0x%08xu, 0x%08xu}, %d\n", g.m_pszName, hashes[0], hashes[1],
                        hashes[2], hashes[3], asleepAt);
    }
}

// Where the worlds come to rest, so that the hashes above stand for sensible motion.
TEST(CMoxPhysics, GoldenWorldsComeToRestPlausibly)
{
    CMoxPhysics drop;
    drop.Startup(1.0f / 30.0f, 4);
    BuildDrop(drop);
    for (int s = 0; s < 300; ++s)
        drop.Simulate();
    CBody* flomp = drop.m_Bodies[1];
    EXPECT_NEAR(flomp->m_vPosition.y, 0.6f + 0.05f, 0.0005f);
    EXPECT_NEAR(flomp->m_vPosition.x, 0.02f, 0.0005f);

    CMoxPhysics bounce;
    bounce.Startup(1.0f / 30.0f, 4);
    BuildBounce(bounce);
    int wallHits = 0;
    for (int s = 0; s < 300; ++s)
    {
        float vx = bounce.m_Bodies[3]->m_vVelocity.x;
        bounce.Simulate();
        wallHits += (vx > 0) != (bounce.m_Bodies[3]->m_vVelocity.x > 0);
    }
    CBody* shot = bounce.m_Bodies[3];
    EXPECT_GE(wallHits, 2);
    EXPECT_NEAR(shot->m_vPosition.y, 0.1f + 0.025f, 0.0005f);
    EXPECT_GT(shot->m_vPosition.x, -0.5f + 0.025f - 0.0005f);
    EXPECT_LT(shot->m_vPosition.x, 0.5f - 0.025f + 0.0005f);

    CMoxPhysics pile;
    pile.Startup(1.0f / 30.0f, 4);
    BuildPile(pile);
    for (int s = 0; s < 300; ++s)
        pile.Simulate();
    // Each layer rests on the one below; the weight above presses a little into the
    // boxes below, since every contact is resolved on its own.
    for (int i = 1; i < pile.m_Bodies.GetCount(); ++i)
    {
        CBody* b = pile.m_Bodies[i];
        const int iLayer = (i - 1) / 3; // three bodies a layer
        float layerY = 0.05f + 0.1f * static_cast<float>(iLayer);
        EXPECT_NEAR(b->m_vPosition.y, layerY, 0.005f) << i;
        EXPECT_EQ(b->m_uAsleep, 1u) << i;
    }
}
