// The production step against the plain one: every field of every body, both counters
// and every listener call must match bit for bit after every step.
#include "game/MoxPhysics.h"
#include "tests/game/MoxPhysicsLiteral.h"
#include "tests/game/MoxPhysicsWorlds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// Records every call by body index and raw bits; optionally plays the sticky projectile:
// a dynamic body marked 1 becomes held, at rest, on its first contact with a static one.
class CCallLog : public CMoxPhysicsListener
{
public:
    CCallLog(CMoxPhysics& w, bool sticky) : m_World(w), m_bSticky(sticky) {}

    void BodyCollide(CollideData d) override
    {
        uint32_t bits[5];
        std::memcpy(&bits[0], &d.m_vPosition, 8);
        std::memcpy(&bits[2], &d.m_vNormal, 8);
        std::memcpy(&bits[4], &d.m_fStrength, 4);
        m_aCalls.push_back(static_cast<uint32_t>(mox_worlds::IndexOf(m_World, d.m_pBodyA)));
        m_aCalls.push_back(static_cast<uint32_t>(mox_worlds::IndexOf(m_World, d.m_pBodyB)));
        m_aCalls.insert(m_aCalls.end(), bits, bits + 5);
        if (m_bSticky && d.m_pBodyA->m_uUser == 1 && d.m_pBodyA->m_uType == BODY_DYNAMIC &&
            d.m_pBodyB->m_uType == BODY_STATIC)
        {
            d.m_pBodyA->m_uType = BODY_HELD;
            d.m_pBodyA->m_vVelocity.Set(0.0f, 0.0f);
        }
    }

    std::vector<uint32_t> m_aCalls;

private:
    CMoxPhysics& m_World;
    bool m_bSticky;
};

typedef void (*PFN_BUILD)(CMoxPhysics&, uint32_t);

// What events do between steps: move a block, turn a shot held or free, delete a body and
// add another. The step must notice every such change to the bodies it keeps still.
void ChangeBetweenSteps(CMoxPhysics& w, uint32_t seed, int step)
{
    const int n = w.m_Bodies.GetCount();
    if (n == 0 || step % 7 != 0)
        return;
    CBody* b = w.m_Bodies[(seed + static_cast<uint32_t>(step)) % static_cast<uint32_t>(n)];
    switch ((step / 7) % 4)
    {
    case 0:
        b->m_vPosition.x += 0.05f;
        b->m_vPosition.y -= 0.025f;
        break;
    case 1:
        b->m_uType = b->m_uType == BODY_DYNAMIC ? BODY_HELD : BODY_DYNAMIC;
        break;
    case 2:
        b->m_vHalfSize.x += 0.03f;
        b->m_uCollisionMask ^= 0x10u;
        break;
    default:
        w.DeleteBody(b);
        mox_worlds::AddBox(w, 0.1f * static_cast<float>(step % 10) - 0.5f, 0.2f, 0.2f, 0.05f, BODY_STATIC, 0,
                           0.5f, 0.5f, ~0u);
        break;
    }
}

// Steps two copies of a world, one each way, and reports the first step that differs.
std::string CompareSteps(PFN_BUILD build, uint32_t seed, int steps, bool sticky, bool changes)
{
    CMoxPhysics fast, plain;
    fast.Startup(1.0f / 30.0f, 4);
    plain.Startup(1.0f / 30.0f, 4);
    build(fast, seed);
    build(plain, seed);
    CCallLog fastLog(fast, sticky), plainLog(plain, sticky);
    fast.AddListener(&fastLog);
    plain.AddListener(&plainLog);
    for (int s = 1; s <= steps; ++s)
    {
        if (changes)
        {
            ChangeBetweenSteps(fast, seed, s);
            ChangeBetweenSteps(plain, seed, s);
        }
        fast.Simulate();
        literal_step::Simulate(plain);
        std::string at = "seed " + std::to_string(seed) + " step " + std::to_string(s) + ": ";
        if (mox_worlds::WorldState(fast) != mox_worlds::WorldState(plain))
            return at + "body state differs";
        if (fast.m_iPairsTested != plain.m_iPairsTested)
            return at + "pairs " + std::to_string(fast.m_iPairsTested) + " vs " +
                   std::to_string(plain.m_iPairsTested);
        if (fast.m_iContacts != plain.m_iContacts)
            return at + "contacts " + std::to_string(fast.m_iContacts) + " vs " +
                   std::to_string(plain.m_iContacts);
        if (fastLog.m_aCalls != plainLog.m_aCalls)
            return at + "listener calls differ";
    }
    return "";
}

void BuildRest(CMoxPhysics& w, uint32_t)
{
    mox_worlds::BuildRestScene(w);
}

void BuildBusy(CMoxPhysics& w, uint32_t)
{
    mox_worlds::BuildBusyScene(w);
}
} // namespace

TEST(CMoxPhysics, StepMatchesPlainStepOnBenchmarkScenes)
{
    EXPECT_EQ(CompareSteps(BuildRest, 0, 600, false, false), "");
    EXPECT_EQ(CompareSteps(BuildBusy, 0, 600, false, false), "");
    EXPECT_EQ(CompareSteps(BuildBusy, 5, 300, false, true), "");
}

TEST(CMoxPhysics, StepMatchesPlainStepOnRandomWorlds)
{
    int contacts = 0;
    for (uint32_t seed = 1; seed <= 200; ++seed)
    {
        bool sticky = seed % 3 == 0;
        ASSERT_EQ(CompareSteps(mox_worlds::BuildRandomWorld, seed, 100, sticky, seed % 2 == 0), "");
        CMoxPhysics w;
        w.Startup(1.0f / 30.0f, 4);
        mox_worlds::BuildRandomWorld(w, seed);
        w.Simulate();
        contacts += w.m_iContacts;
    }
    // The worlds are crowded enough to exercise the response, not only the broad phase.
    EXPECT_GT(contacts, 400);
}
