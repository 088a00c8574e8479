// The game's box physics: axis-aligned boxes under gravity, pushed out of each other
// along the axis of least overlap, and the queries the match asks of them.
// Files: MoxPhysics.cpp (bodies and lists), MoxPhysicsStep.cpp (one step),
// MoxPhysicsQuery.cpp (the match's queries).
//
// Both devices replay a turn by stepping the same state, so a step must give the same
// bits everywhere: single precision only, every formula in one fixed order, no library
// function whose result varies between C libraries, and no FMA contraction or
// fast-math (the build keeps -fno-fast-math -ffp-contract=off).
#pragma once

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "game/MoxBox.h"
#include "game/MoxPhysicsGrid.h"

#include <vector>

enum
{
    BODY_STATIC = 1,
    BODY_HELD = 2, // never moves during a step
    BODY_DYNAMIC = 4,
};

class CBody
{
public:
    CKorvelVector2 m_vPosition;       // centre
    CKorvelVector2 m_vVisualPosition; // what is drawn; the position after each step
    CKorvelVector2 m_vPrevPosition;   // at the start of the last step
    CKorvelVector2 m_vDisplacement;   // over the last step
    CKorvelVector2 m_vVelocity;       // per step
    CKorvelVector2 m_vSecond;
    CKorvelVector2 m_vHalfSize;
    CKorvelVector2 m_vImpact;  // collision impulses of the last step, plus those events add
    CKorvelVector2 m_vMovedBy; // last jump made by an event
    unsigned int m_uType = BODY_STATIC;
    unsigned int m_uGroup = 1;
    unsigned int m_uAsleep = 0;
    unsigned int m_uCollisionMask = 0xFFFFFFFFu; // 0 passes through everything
    float m_fRestTime = 0.0f;
    float m_fDescValue = 0.0f;
    float m_fMass = 0.0f;
    float m_fBounce = 0.5f;
    float m_fFriction = 0.5f;
    unsigned int m_uUser = 0; // player index, projectile owner code or block identifier
    void* m_pOwner = nullptr; // the block or projectile record; null for a player
    CMoxBox m_Box;            // refreshed by CMoxPhysics::FindClosestBodies

    CBody();
    // Centre plus and minus half size, as the step and the queries test it.
    CMoxBox CurrentBox() const
    {
        CMoxBox box;
        box.left = m_vPosition.x - m_vHalfSize.x;
        box.bottom = m_vPosition.y - m_vHalfSize.y;
        box.right = m_vPosition.x + m_vHalfSize.x;
        box.top = m_vPosition.y + m_vHalfSize.y;
        return box;
    }
    void UpdateBox() { m_Box = CurrentBox(); }
};

struct BodyDesc
{
    CKorvelVector2 m_vPosition{0.0f, 0.0f};
    CKorvelVector2 m_vHalfSize{0.0f, 0.0f};
    unsigned int m_uType = BODY_STATIC;
    unsigned int m_uGroup = 1;
    float m_fDescValue = 0.0f;
    float m_fMass = 0.0f;
    float m_fBounce = 0.5f;
    float m_fFriction = 0.5f;
};

struct CollideData
{
    CBody* m_pBodyA; // the moving body
    CBody* m_pBodyB;
    CKorvelVector2 m_vPosition; // A's position after its correction
    CKorvelVector2 m_vNormal;
    float m_fStrength; // squared length of the contact velocity
};

// During Simulate a listener may set velocities and turn a dynamic body into a held
// one; it must not create, delete or resize bodies, move bodies that are not dynamic,
// or change masks (debug builds check this after every step).
class CMoxPhysicsListener
{
public:
    virtual void BodyCollide(CollideData data) = 0;
};

struct sCLOSESTBODY
{
    CBody* m_pBody;
    CKorvelVector2 m_vPoint; // closest point of the body's box
    CKorvelVector2 m_vDirection;
    float m_fDistance;
};

class CMoxPhysics
{
public:
    CBody* m_pTraceBody = nullptr;
    float m_fStepTime = 0.05f;
    float m_fSubStep = 0.25f; // 1 / sub-steps
    float m_fMargin = 0.0f;   // contact tolerance
    int m_iSubSteps = 4;
    CKorvelVector2 m_vGravity{0.0f, 0.0f};
    CKorvelTypedPtrArray<CBody> m_Bodies; // creation order, owned
    int m_iPairsTested = 0;               // in the last step
    int m_iContacts = 0;
    CKorvelTypedPtrArray<sCLOSESTBODY> m_ClosestBodies; // owned
    CKorvelTypedPtrArray<CBody> m_BodiesOnPath;
    CKorvelTypedPtrArray<CMoxPhysicsListener> m_Listeners;

    CMoxPhysics() = default;
    CMoxPhysics(const CMoxPhysics&) = delete;
    CMoxPhysics& operator=(const CMoxPhysics&) = delete;
    ~CMoxPhysics();

    void Startup(float stepSeconds, int subSteps);
    void Clear();

    CBody* CreateBody(BodyDesc& desc);
    void DeleteBody(CBody* body);

    void Simulate();
    void UpdateVisuals();

    static bool Intersect(CMoxBox& a, CMoxBox& b);
    static bool IntersectVisualVersion(CMoxBox& a, CMoxBox& b);
    static bool Intersect(CBody* a, CBody* b);
    static bool Intersect(CBody* body, CKorvelVector2& point);
    CKorvelVector2 MinimumTranslation(CMoxBox& a, CMoxBox& b, CKorvelVector2* normal);

    // The newest body containing the point whose type and group share a bit with the masks.
    CBody* FindBody(CKorvelVector2& point, unsigned int typeMask, unsigned int groupMask);
    void FindBodiesOnPath(CKorvelVector2& start, CKorvelVector2& halfExtent, CKorvelVector2& path);
    void ClearBodiesOnPath() { m_BodiesOnPath.Clear(); }
    void FindClosestBodies(CKorvelVector2& centre, float radius);
    void ClearClosestBodies();
    static CKorvelVector2 FindClosestPoint(CMoxBox& box, CKorvelVector2& point, unsigned int& inside);

    void AddListener(CMoxPhysicsListener* listener);
    void RemoveListener(CMoxPhysicsListener* listener);
    void ClearListeners() { m_Listeners.Clear(); }

    void SetTraceBody(CBody* body) { m_pTraceBody = body; }
    void ClearTraceBody() { m_pTraceBody = nullptr; }

private:
    // Per-step scratch, kept between steps so that a step allocates nothing once warm.
    struct sCANDIDATE
    {
        int m_iIndex; // in the body list
        int m_iSlot;  // in m_aDynamic, or -1 for a body of the grid
    };
    // What the grid and the pair count were made from, per list index. Blocks move only
    // through events, so most steps find everything as it was and reuse both.
    struct sGRIDKEY
    {
        CBody* m_pBody;
        bool m_bMoving;
        unsigned int m_uMask;
        CKorvelVector2 m_vPosition, m_vHalfSize;
    };
    std::vector<CBody*> m_aDynamic;      // dynamic at the start of the step
    std::vector<int> m_aMoving;          // their list indices
    std::vector<CMoxBox> m_aMovingBoxes; // their current boxes
    std::vector<unsigned int> m_aMovingMasks;
    std::vector<CBody*> m_aHeld; // held at the start of the step
    std::vector<sCANDIDATE> m_aCandidates;
    std::vector<int> m_aFixedFound;
    std::vector<unsigned int> m_aMaskValues;
    std::vector<int> m_aMaskCounts;
    std::vector<sGRIDKEY> m_aGridKey;
    CMoxFixedGrid m_Grid;
    bool m_bGridCurrent = false;
    int m_iPairsPerSubStep = 0;

    void BeginStep();
    int CountPairs();
    void GatherCandidates(int slot, const CMoxBox& box, int after);
    void CollideMoving(int slot);
    void CollideWithEveryBody(CBody* a, int after);
    void Respond(CBody* a, CBody* b);
    void Rest();
#ifndef NDEBUG
    unsigned int FixedStateDigest() const;
#endif
};
