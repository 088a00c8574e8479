#include "game/MoxPhysics.h"
#include "tests/game/MoxPhysicsWorlds.h"

#include <gtest/gtest.h>

#include <vector>

using mox_worlds::AddBox;

namespace
{
const float kStep = 1.0f / 30.0f;

CMoxBox Box(float left, float bottom, float right, float top)
{
    CMoxBox b;
    b.left = left, b.bottom = bottom, b.right = right, b.top = top;
    return b;
}

class CCollected : public CMoxPhysicsListener
{
public:
    void BodyCollide(CollideData d) override
    {
        m_aCalls.push_back(d);
        m_aPositionsSeen.push_back(d.m_pBodyA->m_vPosition);
    }
    std::vector<CollideData> m_aCalls;
    std::vector<CKorvelVector2> m_aPositionsSeen;
};
} // namespace

TEST(CMoxPhysics, StartupClearAndBodyLifetime)
{
    CMoxPhysics w;
    EXPECT_EQ(w.m_fMargin, 0.0f);
    EXPECT_EQ(w.m_fSubStep, 0.25f);
    w.Startup(kStep, 8);
    EXPECT_EQ(w.m_fSubStep, 0.125f);
    EXPECT_EQ(w.m_fMargin, 1e-5f);
    EXPECT_EQ(w.m_vGravity.y, -0.003f);

    BodyDesc d;
    d.m_vPosition.Set(1.0f, 2.0f);
    d.m_vHalfSize.Set(0.5f, 0.25f);
    CBody* a = w.CreateBody(d);
    EXPECT_EQ(a->m_vVisualPosition.x, -1000.0f);
    EXPECT_EQ(a->m_uCollisionMask, 0xFFFFFFFFu);
    EXPECT_EQ(a->m_fBounce, 0.5f);
    EXPECT_EQ(a->m_Box.left, 0.5f);
    EXPECT_EQ(a->m_Box.bottom, 1.75f);
    EXPECT_EQ(a->m_Box.top, 2.25f);

    CBody stranger;
    w.DeleteBody(&stranger); // not ours: nothing happens
    EXPECT_EQ(w.m_Bodies.GetCount(), 1);
    w.SetTraceBody(a);
    w.DeleteBody(a);
    EXPECT_EQ(w.m_Bodies.GetCount(), 0);
    EXPECT_EQ(w.m_pTraceBody, nullptr);

    CCollected l;
    w.AddListener(&l);
    w.AddListener(&l);
    EXPECT_EQ(w.m_Listeners.GetCount(), 1);
    w.RemoveListener(&l);
    EXPECT_EQ(w.m_Listeners.GetCount(), 0);

    AddBox(w, 0, 0, 1, 1, BODY_STATIC, 0, 0.5f, 0.5f, ~0u);
    AddBox(w, 0, 0.5f, 0.1f, 0.1f, BODY_DYNAMIC, 1, 0.5f, 0.5f, ~0u);
    w.Simulate();
    EXPECT_GT(w.m_iContacts, 0);
    w.Clear();
    EXPECT_EQ(w.m_Bodies.GetCount(), 0);
    EXPECT_EQ(w.m_iContacts, 0);
    EXPECT_EQ(w.m_iPairsTested, 0);
}

TEST(CMoxPhysics, OverlapTestsExcludeSharedEdges)
{
    struct
    {
        CMoxBox b;
        bool strict, visual;
    } cases[] = {
        {Box(1, 0, 2, 1), false, false},      // shares the right edge
        {Box(0, 1, 1, 2), false, false},      // shares the top edge
        {Box(1, 1, 2, 2), false, false},      // shares a corner
        {Box(0.9995f, 0, 2, 1), true, false}, // overlaps by less than the visual margin
        {Box(0.99f, 0.5f, 2, 0.7f), true, true}, {Box(0.2f, 0.2f, 0.4f, 0.4f), true, true}, // inside
    };
    CMoxBox a = Box(0, 0, 1, 1);
    for (auto& c : cases)
    {
        EXPECT_EQ(CMoxPhysics::Intersect(a, c.b), c.strict) << c.b.left << "," << c.b.bottom;
        EXPECT_EQ(CMoxPhysics::IntersectVisualVersion(a, c.b), c.visual) << c.b.left << "," << c.b.bottom;
    }

    CMoxPhysics w;
    w.Startup(kStep, 4);
    CBody* body = AddBox(w, 0, 0, 0.5f, 0.5f, BODY_STATIC, 0, 0, 0, ~0u);
    CKorvelVector2 inside(0.49f, -0.49f), edge(0.5f, 0), outside(0.6f, 0);
    EXPECT_TRUE(CMoxPhysics::Intersect(body, inside));
    EXPECT_FALSE(CMoxPhysics::Intersect(body, edge));
    EXPECT_FALSE(CMoxPhysics::Intersect(body, outside));

    // Two dynamic boxes side by side and a floor they stand on exactly: no contact.
    w.m_vGravity.Set(0, 0);
    AddBox(w, 0, 0.6f, 0.1f, 0.1f, BODY_DYNAMIC, 1, 0.5f, 0.5f, ~0u);
    AddBox(w, 0.2f, 0.6f, 0.1f, 0.1f, BODY_DYNAMIC, 1, 0.5f, 0.5f, ~0u);
    w.Simulate();
    EXPECT_EQ(w.m_iContacts, 0);
    EXPECT_EQ(w.m_iPairsTested, 4 * 2 * 2);
}

TEST(CMoxPhysics, MinimumTranslationTakesTheSmallerOverlapAndYOnTies)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    const float m = 1e-5f;
    struct
    {
        CMoxBox a;
        float tx, ty, nx, ny;
    } cases[] = {
        {Box(-0.1f, 0.5f, 0.1f, 1.5f), -0.1f - m, 0, -1, 0},    // out through the left
        {Box(0.95f, 0.2f, 1.05f, 0.3f), 0.05f + m, 0, 1, 0},    // out through the right
        {Box(0.4f, 0.9f, 0.6f, 1.1f), 0, 0.1f + m, 0, 1},       // up
        {Box(0.4f, -0.05f, 0.6f, 0.05f), 0, -0.05f - m, 0, -1}, // down
        {Box(0.75f, 0.75f, 1.25f, 1.25f), 0, 0.25f + m, 0, 1},  // equal overlaps: y
    };
    CMoxBox b = Box(0, 0, 1, 1);
    for (auto& c : cases)
    {
        CKorvelVector2 n(9, 9);
        CKorvelVector2 t = w.MinimumTranslation(c.a, b, &n);
        EXPECT_NEAR(t.x, c.tx, 1e-6f) << c.a.left;
        EXPECT_NEAR(t.y, c.ty, 1e-6f) << c.a.left;
        EXPECT_EQ(n.x, c.nx) << c.a.left;
        EXPECT_EQ(n.y, c.ny) << c.a.left;
    }
}

TEST(CMoxPhysics, BoxOnBlockKeepsMovingSlightlyThenSleeps)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    CBody* block = AddBox(w, 0, -0.1f, 1, 0.1f, BODY_STATIC, 0, 0.15f, 0.75f, ~0u);
    CBody* box = AddBox(w, 0, 0.2f, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0.05f, 0.5f, ~0u);
    int asleepAt = 0;
    for (int s = 1; s <= 200 && !asleepAt; ++s)
    {
        float restBefore = box->m_fRestTime;
        w.Simulate();
        if (box->m_uAsleep)
        {
            asleepAt = s;
            EXPECT_GT(restBefore + kStep, 1.0f);
            EXPECT_LE(restBefore, 1.0f);
            EXPECT_EQ(box->m_fRestTime, 2.0f);
        }
        else if (box->m_fRestTime > 0.0f)
        {
            // Resting: gravity and the correction leave a small velocity every step.
            EXPECT_LE(box->m_vDisplacement.LengthSq(), 0.0001f);
            EXPECT_GT(box->m_vVelocity.Length(), 0.0f);
            EXPECT_LT(box->m_vVelocity.Length(), 0.01f);
        }
    }
    ASSERT_GT(asleepAt, 30);
    EXPECT_NEAR(box->m_vPosition.y, block->m_vPosition.y + 0.1f + 0.05f, 0.001f);
    EXPECT_EQ(box->m_vVisualPosition.y, box->m_vPosition.y);
    EXPECT_EQ(block->m_vImpact.x, 0.0f);
    EXPECT_LT(block->m_vImpact.y, 0.0f); // pushed down by the box, but never moved
    EXPECT_EQ(block->m_vPosition.y, -0.1f);

    // A push wakes it.
    box->m_vVelocity.Set(0.1f, 0);
    w.Simulate();
    EXPECT_EQ(box->m_uAsleep, 0u);
    EXPECT_EQ(box->m_fRestTime, 0.0f);
}

TEST(CMoxPhysics, MaskZeroFallsThroughAndMasksPickPartners)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    AddBox(w, 0, -0.1f, 1, 0.1f, BODY_STATIC, 0, 0.15f, 0.75f, 0x10u);
    CBody* ghost = AddBox(w, 0, 0.1f, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0.05f, 0.5f, 0u);
    CBody* other = AddBox(w, 0.5f, 0.1f, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0.05f, 0.5f, 0x01u);
    CBody* lands = AddBox(w, -0.5f, 0.1f, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0.05f, 0.5f, 0x11u);
    for (int s = 0; s < 60; ++s)
        w.Simulate();
    EXPECT_LT(ghost->m_vPosition.y, -0.3f);
    EXPECT_LT(other->m_vPosition.y, -0.3f);
    EXPECT_GT(lands->m_vPosition.y, 0.0f);
    // Per sub-step: "other" meets "lands", "lands" meets the block and "other".
    EXPECT_EQ(w.m_iPairsTested, 4 * 3);
}

TEST(CMoxPhysics, ListenersHearOnlyContactsAboveTheThreshold)
{
    struct
    {
        float vy;
        bool reported;
    } cases[] = {{-0.002f, false}, {-0.003f, true}};
    for (auto& c : cases)
    {
        CMoxPhysics w;
        w.Startup(kStep, 1);
        w.m_vGravity.Set(0, 0);
        CBody* block = AddBox(w, 0, -0.1f, 1, 0.1f, BODY_STATIC, 0, 0, 0.5f, ~0u);
        CBody* box = AddBox(w, 0, 0.05f, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0, 0.5f, ~0u);
        box->m_vVelocity.Set(0, c.vy);
        CCollected l;
        w.AddListener(&l);
        w.Simulate();
        EXPECT_EQ(w.m_iContacts, 1);
        EXPECT_NEAR(box->m_vPosition.y, 0.05f + 1e-5f, 1e-7f); // resolved either way
        ASSERT_EQ(l.m_aCalls.size(), c.reported ? 1u : 0u) << c.vy;
        if (!c.reported)
            continue;
        const CollideData& d = l.m_aCalls[0];
        EXPECT_EQ(d.m_pBodyA, box);
        EXPECT_EQ(d.m_pBodyB, block);
        EXPECT_EQ(d.m_vPosition.y, l.m_aPositionsSeen[0].y);
        EXPECT_EQ(d.m_vPosition.y, box->m_vPosition.y);
        EXPECT_EQ(d.m_vNormal.x, 0.0f);
        EXPECT_EQ(d.m_vNormal.y, 1.0f);
        EXPECT_EQ(d.m_fStrength, c.vy * c.vy);
    }
}

TEST(CMoxPhysics, MasslessPairIsCountedAndLeftAlone)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    w.m_vGravity.Set(0, 0);
    CBody* a = AddBox(w, 0, 0, 0.1f, 0.1f, BODY_DYNAMIC, 0, 0.5f, 0.5f, ~0u);
    CBody* b = AddBox(w, 0.05f, 0.05f, 0.1f, 0.1f, BODY_DYNAMIC, 0, 0.5f, 0.5f, ~0u);
    a->m_vVelocity.Set(0.01f, 0);
    w.Simulate();
    EXPECT_EQ(w.m_iContacts, 4 * 2);
    EXPECT_EQ(a->m_vPosition.x, 0.01f);
    EXPECT_EQ(a->m_vVelocity.x, 0.01f);
    EXPECT_EQ(b->m_vPosition.x, 0.05f);
    EXPECT_EQ(b->m_vVelocity.x, 0.0f);
    EXPECT_EQ(a->m_vImpact.x, 0.0f);
}

TEST(CMoxPhysics, HeldBodyStaysAndSleepsWhenItHasMass)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    CBody* held = AddBox(w, 0, 0, 0.1f, 0.1f, BODY_HELD, 15, 0.5f, 0.5f, ~0u);
    CBody* weightless = AddBox(w, 1, 0, 0.1f, 0.1f, BODY_HELD, 0, 0.5f, 0.5f, ~0u);
    CBody* hitter = AddBox(w, -0.15f, 0.05f, 0.1f, 0.1f, BODY_DYNAMIC, 20, 0.5f, 0.5f, ~0u);
    held->m_vVelocity.Set(0.2f, 0.2f);
    hitter->m_vVelocity.Set(0.05f, 0);
    for (int s = 1; s <= 40; ++s)
    {
        w.Simulate();
        EXPECT_EQ(held->m_vPosition.x, 0.0f);
        EXPECT_EQ(held->m_vPosition.y, 0.0f);
        EXPECT_EQ(held->m_vVelocity.x, 0.0f);
        EXPECT_EQ(held->m_vVelocity.y, 0.0f);
        // Thirty steps of 1/30 s add up to just over 1.0 in single precision.
        EXPECT_EQ(held->m_uAsleep, s >= 30 ? 1u : 0u) << s;
    }
    EXPECT_LT(hitter->m_vPosition.x, -0.2f); // bounced off
    EXPECT_EQ(weightless->m_uAsleep, 0u);
    EXPECT_EQ(weightless->m_fRestTime, 0.0f);
}

TEST(CMoxPhysics, SpeedCapHoldsWithStrongBounce)
{
    struct
    {
        unsigned int typeB;
        float vBx;
    } cases[] = {{BODY_STATIC, 0}, {BODY_HELD, 0}, {BODY_DYNAMIC, -0.02f}};
    for (auto& c : cases)
    {
        CMoxPhysics w;
        w.Startup(kStep, 1);
        w.m_vGravity.Set(0, 0);
        // A bounce factor of 6 throws A back far faster than it came.
        CBody* a = AddBox(w, -0.09f, 0.02f, 0.05f, 0.05f, BODY_DYNAMIC, 10, 5.0f, 0.5f, ~0u);
        CBody* b = AddBox(w, 0, 0, 0.05f, 0.05f, c.typeB, 1000, 5.0f, 0.5f, ~0u);
        a->m_vVelocity.Set(0.03f, 0.01f);
        b->m_vVelocity.Set(c.vBx, 0);
        float speedA = a->m_vVelocity.Length();
        float speedB = c.typeB == BODY_DYNAMIC ? b->m_vVelocity.Length() : 0.0f;
        w.Simulate();
        ASSERT_EQ(w.m_iContacts, 1) << c.typeB;
        EXPECT_LT(a->m_vVelocity.x, 0.0f) << c.typeB;
        EXPECT_LE(a->m_vVelocity.Length(), (speedA + speedB) * 1.000001f) << c.typeB;
        EXPECT_GT(a->m_vVelocity.Length(), (speedA + speedB) * 0.999999f) << c.typeB;
    }
}

TEST(CMoxPhysics, DynamicPairSharesByMass)
{
    CMoxPhysics w;
    w.Startup(kStep, 1);
    w.m_vGravity.Set(0, 0);
    CBody* light = AddBox(w, 0, 0, 0.05f, 0.05f, BODY_DYNAMIC, 10, 0, 0, ~0u);
    CBody* heavy = AddBox(w, 0.09f, 0, 0.05f, 0.05f, BODY_DYNAMIC, 30, 0, 0, ~0u);
    w.Simulate();
    // Overlap 0.01 plus the margin, split 3:1: the light box moves three times as far.
    EXPECT_NEAR(light->m_vPosition.x, -0.75f * 0.01001f, 1e-7f);
    EXPECT_NEAR(heavy->m_vPosition.x, 0.09f + 0.25f * 0.01001f, 1e-7f);
    EXPECT_EQ(w.m_iContacts, 1); // the second test finds them apart
    EXPECT_EQ(light->m_vImpact.x, -heavy->m_vImpact.x);
}

TEST(CMoxPhysics, FindBodyPrefersTheNewestMatch)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    CBody* older = AddBox(w, 0, 0, 1, 1, BODY_STATIC, 0, 0, 0, ~0u);
    CBody* newer = AddBox(w, 0.5f, 0, 1, 1, BODY_DYNAMIC, 1, 0, 0, ~0u);
    newer->m_uGroup = 2;
    struct
    {
        float x;
        unsigned int types, groups;
        CBody* want;
    } cases[] = {
        {0.2f, 7, 3, newer},   {0.2f, 1, 3, older},    {0.2f, 7, 1, older},
        {1.2f, 7, 1, nullptr}, {-1.0f, 7, 3, nullptr}, // on the older box's edge
        {0.2f, 2, 3, nullptr},
    };
    for (auto& c : cases)
    {
        CKorvelVector2 p(c.x, 0.5f);
        EXPECT_EQ(w.FindBody(p, c.types, c.groups), c.want) << c.x << " " << c.types << " " << c.groups;
    }
}

TEST(CMoxPhysics, FindBodiesOnPathSweepsInOrderOfContact)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    CBody* far = AddBox(w, 1.0f, 0, 0.1f, 0.1f, BODY_STATIC, 0, 0, 0, ~0u);
    CBody* off = AddBox(w, 0.5f, 1.0f, 0.1f, 0.1f, BODY_STATIC, 0, 0, 0, ~0u);
    CBody* near = AddBox(w, 0.4f, 0, 0.1f, 0.1f, BODY_STATIC, 0, 0, 0, ~0u);
    CBody* atStart = AddBox(w, 0, 0, 0.02f, 0.02f, BODY_STATIC, 0, 0, 0, ~0u);
    CKorvelVector2 start(0, 0), e(0.05f, 0.05f), path(1.2f, 0);
    w.FindBodiesOnPath(start, e, path);
    ASSERT_EQ(w.m_BodiesOnPath.GetCount(), 3);
    EXPECT_EQ(w.m_BodiesOnPath[0], atStart);
    EXPECT_EQ(w.m_BodiesOnPath[1], near);
    EXPECT_EQ(w.m_BodiesOnPath[2], far);
    (void)off;

    // A path of length 0 probes once, at the start.
    CKorvelVector2 none(0, 0);
    w.FindBodiesOnPath(start, e, none);
    ASSERT_EQ(w.m_BodiesOnPath.GetCount(), 1);
    EXPECT_EQ(w.m_BodiesOnPath[0], atStart);
    w.ClearBodiesOnPath();
    EXPECT_EQ(w.m_BodiesOnPath.GetCount(), 0);
}

TEST(CMoxPhysics, FindBodiesOnPathStopsAfter1002Probes)
{
    // A probe step of 0 never covers the path; a path too short to rescale advances the
    // probe by 1e-5 per probe, so probe 1,001 is the last and reaches x = 0.01001.
    CMoxPhysics w;
    w.Startup(kStep, 4);
    CBody* reached = AddBox(w, 0.010005f + 0.1f, 0, 0.1f, 0.1f, BODY_STATIC, 0, 0, 0, ~0u);
    AddBox(w, 0.010015f + 0.1f, 0.3f, 0.1f, 0.1f, BODY_STATIC, 0, 0, 0, ~0u);
    CBody* unreached = AddBox(w, 0.010015f + 0.1f, -0.3f, 0.1f, 0.25f, BODY_STATIC, 0, 0, 0, ~0u);
    CKorvelVector2 start(0, 0), e(0, 0.1f), path(1e-5f, 0);
    w.FindBodiesOnPath(start, e, path);
    ASSERT_EQ(w.m_BodiesOnPath.GetCount(), 1);
    EXPECT_EQ(w.m_BodiesOnPath[0], reached);
    (void)unreached;
}

TEST(CMoxPhysics, FindClosestBodiesMeasuresFromOutsideAndInside)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    CBody* right = AddBox(w, 0.5f, 0, 0.2f, 0.2f, BODY_STATIC, 0, 0, 0, ~0u);
    CBody* under = AddBox(w, 0, 0.05f, 0.1f, 0.1f, BODY_STATIC, 0, 0, 0, ~0u);
    CBody* centred = AddBox(w, 0, 0, 0.05f, 0.05f, BODY_DYNAMIC, 1, 0, 0, ~0u);
    CBody* corner = AddBox(w, 0.75f, 0.75f, 0.1f, 0.1f, BODY_STATIC, 0, 0, 0, ~0u); // square only
    right->m_vMovedBy.Set(1, 1);
    right->m_vPosition.x = 0.6f; // moved by an event: the box follows in the query
    CKorvelVector2 centre(0, 0);
    w.FindClosestBodies(centre, 0.7f);
    EXPECT_EQ(right->m_vMovedBy.x, 0.0f);
    EXPECT_FLOAT_EQ(right->m_Box.left, 0.4f);
    ASSERT_EQ(w.m_ClosestBodies.GetCount(), 3);

    const sCLOSESTBODY* r = w.m_ClosestBodies[0];
    EXPECT_EQ(r->m_pBody, right);
    EXPECT_FLOAT_EQ(r->m_vPoint.x, 0.4f);
    EXPECT_FLOAT_EQ(r->m_vDirection.x, 0.4f);
    EXPECT_FLOAT_EQ(r->m_fDistance, 0.4f);

    const sCLOSESTBODY* u = w.m_ClosestBodies[1];
    EXPECT_EQ(u->m_pBody, under);
    EXPECT_EQ(u->m_vDirection.y, 0.05f); // towards its centre
    EXPECT_EQ(u->m_fDistance, 0.05f);

    const sCLOSESTBODY* c = w.m_ClosestBodies[2];
    EXPECT_EQ(c->m_pBody, centred);
    EXPECT_EQ(c->m_vDirection.x, 0.0f);
    EXPECT_EQ(c->m_vDirection.y, 1e-6f);
    EXPECT_EQ(c->m_fDistance, 0.0f);
    (void)corner;

    w.ClearClosestBodies();
    EXPECT_EQ(w.m_ClosestBodies.GetCount(), 0);
}

TEST(CMoxPhysics, FindClosestPointClampsToTheBox)
{
    CMoxBox b = Box(0, 0, 1, 2);
    struct
    {
        float x, y, cx, cy;
        unsigned int inside;
    } cases[] = {
        {0.5f, 1, 0.5f, 1, 1}, {0, 2, 0, 2, 1}, {-1, 1, 0, 1, 0}, {2, 3, 1, 2, 0}, {0.5f, -5, 0.5f, 0, 0},
    };
    for (auto& c : cases)
    {
        CKorvelVector2 p(c.x, c.y);
        unsigned int inside = 7;
        CKorvelVector2 q = CMoxPhysics::FindClosestPoint(b, p, inside);
        EXPECT_EQ(q.x, c.cx);
        EXPECT_EQ(q.y, c.cy);
        EXPECT_EQ(inside, c.inside) << c.x << "," << c.y;
    }
}

namespace
{
// Breaks the listeners' contract: it moves the block it hits.
class CBlockMover : public CMoxPhysicsListener
{
public:
    void BodyCollide(CollideData d) override { d.m_pBodyB->m_vPosition.y -= 1.0f; }
};
} // namespace

TEST(CMoxPhysics, ListenerThatMovesAFixedBodyIsCaughtInDebugBuilds)
{
    CMoxPhysics w;
    w.Startup(kStep, 4);
    AddBox(w, 0, -0.1f, 1, 0.1f, BODY_STATIC, 0, 0.15f, 0.75f, ~0u);
    CBody* box = AddBox(w, 0, 0.06f, 0.05f, 0.05f, BODY_DYNAMIC, 20, 0.05f, 0.5f, ~0u);
    box->m_vVelocity.Set(0, -0.05f);
    CBlockMover mover;
    w.AddListener(&mover);
    EXPECT_DEBUG_DEATH(w.Simulate(), "FixedStateDigest");
}
