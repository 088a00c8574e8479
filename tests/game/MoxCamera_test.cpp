#include "game/MoxCamera.h"
#include "game/MoxPhysics.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
// The scene's answer: the bodies listed may be followed.
class CFollowList : public IMoxCameraScene
{
public:
    bool IsFollowable(CBody const* body) override { return m_Bodies.count(body) != 0; }
    std::set<CBody const*> m_Bodies;
};

void SetScreen(CCamera& c, float w, float h)
{
    c.m_vScreenSize.Set(w, h);
    c.m_vScreenHalf.Set(w / 2, h / 2);
}

CBody* AddBody(CMoxPhysics& w, float x, float y, unsigned int type)
{
    BodyDesc d;
    d.m_vPosition.Set(x, y);
    d.m_vHalfSize.Set(0.05f, 0.05f);
    d.m_uType = type;
    return w.CreateBody(d);
}

// A camera on an 800 x 600 screen told to follow a followable flomp at (1, 1).
struct sFOLLOWING
{
    CMoxPhysics m_World;
    CBody* m_pFlomp;
    CFollowList m_Scene;
    CCamera m_Camera;

    sFOLLOWING() : m_pFlomp(AddBody(m_World, 1.0f, 1.0f, BODY_DYNAMIC))
    {
        m_Scene.m_Bodies.insert(m_pFlomp);
        SetScreen(m_Camera, 800, 600);
        m_Camera.SetScene(&m_Scene);
        m_Camera.SetTargetBody(m_pFlomp);
    }
};
} // namespace

TEST(CCamera, SnapsToTheGrid)
{
    CCamera c;
    struct
    {
        float x, y;
        int sx, sy;
        float gridX, gridY, closeX, closeY;
    } cases[] = {
        {3.3f, -3.3f, 127, -128, 3.175f, -3.2f, 3.175f, -3.2f},    // clamped both ways
        {0.0374f, -0.0001f, 1, -1, 0.025f, -0.025f, 0.025f, 0.0f}, // floor below 0
        {0.0374f, 0.02f, 1, 0, 0.025f, 0.0f, 0.025f, 0.025f},
        {-0.0125f, 0.0125f, -1, 0, -0.025f, 0.0f, 0.0f, 0.025f}, // halves round upwards
    };
    for (auto& t : cases)
    {
        CKorvelVector2 p(t.x, t.y), grid, close;
        signed char sx = 0, sy = 0;
        c.Snap(p, sx, sy);
        EXPECT_EQ(sx, t.sx) << t.x;
        EXPECT_EQ(sy, t.sy) << t.y;
        c.SnapToGrid(p, &grid);
        c.SnapToClosest(p, &close);
        EXPECT_FLOAT_EQ(grid.x, t.gridX) << t.x;
        EXPECT_FLOAT_EQ(grid.y, t.gridY) << t.y;
        EXPECT_FLOAT_EQ(close.x, t.closeX) << t.x;
        EXPECT_FLOAT_EQ(close.y, t.closeY) << t.y;
    }
    CKorvelVector2 p;
    c.UnSnap(127, -128, &p);
    EXPECT_FLOAT_EQ(p.x, 3.175f);
    EXPECT_FLOAT_EQ(p.y, -3.2f);

    struct
    {
        float v;
        int down, closest;
    } rounding[] = {{2.5f, 2, 3}, {2.49f, 2, 2},   {-0.5f, -1, 0}, {-2.7f, -3, -3},
                    {0.0f, 0, 0}, {-0.004f, -1, 0}}; // just below 0: the nearest is 0, not 1
    for (auto& r : rounding)
    {
        int n = 99;
        CCamera::RoundDown(r.v, n);
        EXPECT_EQ(n, r.down) << r.v;
        CCamera::RoundClosest(r.v, n);
        EXPECT_EQ(n, r.closest) << r.v;
    }
}

TEST(CCamera, ScreenAndWorldMapBothWays)
{
    CCamera c;
    struct
    {
        float w, h, zoom, px, py;
    } views[] = {{800, 600, 1.0f, 0, 0}, {1280, 720, 0.3f, 1.5f, 2.0f}, {600, 1024, 0.75f, -3.2f, 3.84f}};
    const float points[][3] = {{0, 0, 0}, {1, 1, 0.5f}, {-2.5f, 3.1f, -1}, {3.2f, -0.4f, 0}};
    for (auto& v : views)
    {
        SetScreen(c, v.w, v.h);
        c.m_fZoom = c.m_fZoomTarget = v.zoom;
        c.m_vPosition.Set(v.px, v.py);
        c.ClearTarget();
        c.Update(); // builds the matrix; position and zoom are within their clamps
        ASSERT_FLOAT_EQ(c.m_fZoom, v.zoom);
        for (auto& pt : points)
        {
            CKorvelVector2 world(pt[0], pt[1]), screen, back;
            c.WorldToScreen(world, &screen);
            c.ScreenToWorld(screen, &back);
            EXPECT_NEAR(back.x, world.x, 1e-4f);
            EXPECT_NEAR(back.y, world.y, 1e-4f);

            // Row vector (x, y, z, 1) times the matrix as GL reads it (column j = m[4j..4j+3]).
            const float row[4] = {pt[0], pt[1], pt[2], 1.0f};
            float clip[4];
            for (int j = 0; j < 4; ++j)
                clip[j] = row[0] * c.m_Matrix.m[size_t{4} * j] + row[1] * c.m_Matrix.m[size_t{4} * j + 1] +
                          row[2] * c.m_Matrix.m[size_t{4} * j + 2] + row[3] * c.m_Matrix.m[size_t{4} * j + 3];
            EXPECT_FLOAT_EQ(clip[3], 1.0f);
            float hw = v.w / 2, hh = v.h / 2;
            EXPECT_NEAR(clip[0], (screen.x - hw) / hw, 1e-5f);
            EXPECT_NEAR(clip[1], (hh - screen.y) / hh, 1e-5f);
        }
        // One world unit is half the screen's width at zoom 1, on both axes.
        CKorvelVector2 a(0, 0), b(1, 1), sa, sb;
        c.WorldToScreen(a, &sa);
        c.WorldToScreen(b, &sb);
        EXPECT_FLOAT_EQ(sb.x - sa.x, v.w / 2 * v.zoom);
        EXPECT_FLOAT_EQ(sa.y - sb.y, v.w / 2 * v.zoom);
    }
}

TEST(CCamera, FollowedBodyZoomsOutWithSpeed)
{
    struct
    {
        float speed, zoomTarget;
    } cases[] = {{0.02f, 0.5f}, {0.001f, 1.0f}, {0.0f, 1.0f}};
    for (auto& t : cases)
    {
        sFOLLOWING f;
        f.m_pFlomp->m_vVelocity.Set(0, -t.speed);
        CCamera& c = f.m_Camera;
        c.Update();
        EXPECT_FLOAT_EQ(c.m_fZoomTarget, t.zoomTarget) << t.speed;
        EXPECT_EQ(c.m_vTarget.x, 1.0f);
        EXPECT_FLOAT_EQ(c.m_vPosition.x, -1.0f / 6.0f); // x holds the negated view centre
        EXPECT_FLOAT_EQ(c.m_vPosition.y, 1.0f / 6.0f);
    }
}

TEST(CCamera, OnlyFollowableBodiesAboveGroundAreFollowed)
{
    CMoxPhysics w;
    CBody* flomp = AddBody(w, 1.0f, 1.0f, BODY_DYNAMIC);
    CBody* stranger = AddBody(w, -2.0f, 2.0f, BODY_DYNAMIC);
    CFollowList scene;
    scene.m_Bodies.insert(flomp);
    CCamera c;
    SetScreen(c, 800, 600);

    c.SetTargetBody(flomp); // no scene bound yet: nothing is followable
    c.Update();
    EXPECT_EQ(c.m_vTarget.x, 0.0f);

    c.SetScene(&scene);
    c.SetTargetBody(stranger);
    c.Update();
    EXPECT_EQ(c.m_vTarget.x, 0.0f);

    c.SetTargetBody(flomp);
    c.Update();
    EXPECT_EQ(c.m_vTarget.x, 1.0f);

    // Fallen into the water: the target stays, the view keeps gliding towards it.
    flomp->m_vPosition.Set(2.0f, -0.5f);
    flomp->m_vVelocity.Set(0, -0.05f);
    float before = c.m_vPosition.x;
    c.Update();
    EXPECT_EQ(c.m_vTarget.x, 1.0f);
    EXPECT_EQ(c.m_vTarget.y, 1.0f);
    EXPECT_FLOAT_EQ(c.m_vPosition.x, before + (-1.0f - before) / 6.0f);
    EXPECT_FLOAT_EQ(c.m_fZoomTarget, 1.0f);
}

TEST(CCamera, MovingBodiesSetTheZoomBySpread)
{
    CMoxPhysics w;
    CFollowList scene;
    scene.m_Bodies.insert(AddBody(w, -1.0f, 1.0f, BODY_DYNAMIC));
    scene.m_Bodies.insert(AddBody(w, 1.0f, 1.1f, BODY_HELD));
    scene.m_Bodies.insert(AddBody(w, 3.0f, 1.0f, BODY_STATIC));   // not a moving kind
    scene.m_Bodies.insert(AddBody(w, 3.0f, -0.1f, BODY_DYNAMIC)); // below the ground
    AddBody(w, -3.0f, 1.0f, BODY_DYNAMIC);                        // not followable
    CCamera c;
    SetScreen(c, 800, 600);
    c.SetScene(&scene);
    c.SetTargetMoveables(&w);
    c.Update();
    // Span max(2.0, 1.8 x 0.1) = 2.0 gives 1 - 0.4.
    EXPECT_FLOAT_EQ(c.m_fMoveableZoom, 0.6f);
    EXPECT_FLOAT_EQ(c.m_fZoomTarget, 0.6f);
    EXPECT_FLOAT_EQ(c.m_vPosition.x, 0.0f);
    EXPECT_FLOAT_EQ(c.m_vPosition.y, 1.05f / 10.0f);

    // A target already lower is kept; a tall spread weighs by the aspect ratio.
    scene.m_Bodies.insert(AddBody(w, 0.0f, 2.5f, BODY_DYNAMIC));
    c.m_fZoomTarget = 0.2f;
    c.Update();
    EXPECT_FLOAT_EQ(c.m_fMoveableZoom, 1.0f - 0.2f * (1.8f * 1.5f));
    EXPECT_FLOAT_EQ(c.m_fZoomTarget, 0.2f);
}

TEST(CCamera, WithoutTargetTheViewOnlyGlidesAndClamps)
{
    sFOLLOWING f;
    CCamera& c = f.m_Camera;
    c.ClearTarget();
    c.m_vPosition.Set(5.0f, 5.0f);
    c.m_fZoomTarget = 0.5f;
    c.Update();
    EXPECT_EQ(c.m_vTarget.x, 0.0f);
    EXPECT_FLOAT_EQ(c.m_vPosition.x, 3.2f);
    EXPECT_FLOAT_EQ(c.m_vPosition.y, 3.84f);
    EXPECT_FLOAT_EQ(c.m_fZoom, 0.95f);
    c.m_vPosition.Set(-5.0f, -1.0f);
    c.Update();
    EXPECT_FLOAT_EQ(c.m_vPosition.x, -3.2f);
    EXPECT_FLOAT_EQ(c.m_vPosition.y, 0.0f);
    EXPECT_FLOAT_EQ(c.m_fAspect, 800.0f / 600.0f);

    // The zoom never leaves 0.3..1.0, whatever the target.
    struct
    {
        float target, zoom;
    } limits[] = {{0.1f, 0.3f}, {5.0f, 1.0f}};
    for (auto& l : limits)
    {
        c.m_fZoomTarget = l.target;
        for (int k = 0; k < 100; ++k)
        {
            c.Update();
            ASSERT_GE(c.m_fZoom, 0.3f);
            ASSERT_LE(c.m_fZoom, 1.0f);
        }
        EXPECT_FLOAT_EQ(c.m_fZoom, l.zoom);
    }
}
