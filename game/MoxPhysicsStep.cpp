// One step of the physics.
//
// Every dynamic body is tested against every body of the list in list order, as the
// replay on the other device does; the result must not depend on how the candidates are
// found. Bodies that are not dynamic when the step starts never move during it, so they
// sit in a grid (CMoxFixedGrid). For each dynamic body A the bodies after the last one
// visited that overlap it are gathered and visited in list order; during A's turn only A
// and the body it meets move, so the gathered set stays exact until A itself moves, and
// then it is gathered again. Pairs that cannot overlap are counted without testing.
#include "game/MoxPhysics.h"

#include <cassert>
#include <cstdint>

namespace
{
bool IsFinite(const CMoxBox& b)
{
    return b.left - b.left == 0.0f && b.bottom - b.bottom == 0.0f && b.right - b.right == 0.0f &&
           b.top - b.top == 0.0f;
}
} // namespace

void CMoxPhysics::Simulate()
{
    BeginStep();
#ifndef NDEBUG
    const int bodyCount = m_Bodies.GetCount();
    const unsigned int digest = FixedStateDigest();
#endif
    if (!m_bGridCurrent)
    {
        m_Grid.Build(m_Bodies, m_aMoving);
        m_iPairsPerSubStep = CountPairs();
        m_bGridCurrent = true;
    }
    m_iPairsTested = m_iPairsPerSubStep * m_iSubSteps;
    const int moving = static_cast<int>(m_aDynamic.size());
    for (int s = 0; s < m_iSubSteps; ++s)
    {
        for (int k = 0; k < moving; ++k)
        {
            CBody* a = m_aDynamic[k];
            a->m_vPosition.x += a->m_vVelocity.x * m_fSubStep;
            a->m_vPosition.y += a->m_vVelocity.y * m_fSubStep;
            m_aMovingBoxes[k] = a->CurrentBox();
        }
        for (CBody* h : m_aHeld)
            h->m_vVelocity.Set(0.0f, 0.0f);
        for (int k = 0; k < moving; ++k)
            CollideMoving(k);
    }
    Rest();
    UpdateVisuals();
    // Listeners must not change what the grid was built from (see CMoxPhysicsListener).
    assert(m_Bodies.GetCount() == bodyCount && FixedStateDigest() == digest);
}

void CMoxPhysics::BeginStep()
{
    m_iPairsTested = 0;
    m_iContacts = 0;
    m_aDynamic.clear();
    m_aHeld.clear();
    m_aMoving.clear();
    m_aMovingMasks.clear();
    const int n = m_Bodies.GetCount();
    m_bGridCurrent = m_bGridCurrent && static_cast<int>(m_aGridKey.size()) == n;
    m_aGridKey.resize(n);
    for (int i = 0; i < n; ++i)
    {
        CBody* body = m_Bodies[i];
        body->m_vImpact.Set(0.0f, 0.0f);
        sGRIDKEY& key = m_aGridKey[i];
        const bool moving = body->m_uType == BODY_DYNAMIC;
        if (key.m_pBody != body || key.m_bMoving != moving || key.m_uMask != body->m_uCollisionMask ||
            (!moving &&
             (key.m_vPosition.x != body->m_vPosition.x || key.m_vPosition.y != body->m_vPosition.y ||
              key.m_vHalfSize.x != body->m_vHalfSize.x || key.m_vHalfSize.y != body->m_vHalfSize.y)))
        {
            key = sGRIDKEY{body, moving, body->m_uCollisionMask, body->m_vPosition, body->m_vHalfSize};
            m_bGridCurrent = false;
        }
        if (moving)
        {
            m_aDynamic.push_back(body);
            m_aMoving.push_back(i);
            m_aMovingMasks.push_back(body->m_uCollisionMask);
            body->m_vPrevPosition = body->m_vPosition;
            body->m_vVelocity.y += m_vGravity.y;
        }
        else if (body->m_uType == BODY_HELD)
        {
            m_aHeld.push_back(body);
        }
    }
    m_aMovingBoxes.resize(m_aDynamic.size());
}

// Pairs one sub-step tests: for each dynamic body, the other bodies whose mask shares a
// bit with its own. Masks do not change during a step.
int CMoxPhysics::CountPairs()
{
    m_aMaskValues.clear();
    m_aMaskCounts.clear();
    for (int i = 0; i < m_Bodies.GetCount(); ++i)
    {
        unsigned int mask = m_Bodies[i]->m_uCollisionMask;
        size_t k = 0;
        while (k < m_aMaskValues.size() && m_aMaskValues[k] != mask)
            ++k;
        if (k == m_aMaskValues.size())
        {
            m_aMaskValues.push_back(mask);
            m_aMaskCounts.push_back(0);
        }
        ++m_aMaskCounts[k];
    }
    int pairs = 0;
    for (CBody* a : m_aDynamic)
    {
        unsigned int mask = a->m_uCollisionMask;
        if (mask == 0)
            continue;
        for (size_t k = 0; k < m_aMaskValues.size(); ++k)
            if (m_aMaskValues[k] & mask)
                pairs += m_aMaskCounts[k];
        --pairs; // itself
    }
    return pairs;
}

// The bodies after list index `after` that the dynamic body in `slot`, with `box`, would
// respond to now, in list order.
void CMoxPhysics::GatherCandidates(int slot, const CMoxBox& box, int after)
{
    const unsigned int mask = m_aMovingMasks[slot];
    m_aCandidates.clear();
    m_aFixedFound.clear();
    m_Grid.Query(box, mask, after, m_aFixedFound);
    for (int i : m_aFixedFound)
        m_aCandidates.push_back(sCANDIDATE{i, -1});
    const int moving = static_cast<int>(m_aDynamic.size());
    const CMoxBox* boxes = m_aMovingBoxes.data();
    for (int k = 0; k < moving; ++k)
        if (MoxBoxesOverlap(box, boxes[k]) && k != slot && m_aMoving[k] > after && (m_aMovingMasks[k] & mask))
            m_aCandidates.push_back(sCANDIDATE{m_aMoving[k], k});
    // Usually none to a handful: insertion sort.
    for (size_t j = 1; j < m_aCandidates.size(); ++j)
    {
        sCANDIDATE c = m_aCandidates[j];
        size_t k = j;
        for (; k > 0 && m_aCandidates[k - 1].m_iIndex > c.m_iIndex; --k)
            m_aCandidates[k] = m_aCandidates[k - 1];
        m_aCandidates[k] = c;
    }
}

void CMoxPhysics::CollideMoving(int slot)
{
    CBody* a = m_aDynamic[slot];
    CMoxBox box = m_aMovingBoxes[slot];
    // The grid cannot place a box that is not finite; such a body meets every body.
    if (!IsFinite(box))
    {
        CollideWithEveryBody(a, -1);
        return;
    }
    GatherCandidates(slot, box, -1);
    size_t k = 0;
    while (k < m_aCandidates.size())
    {
        const sCANDIDATE c = m_aCandidates[k++];
        CBody* b = m_Bodies[c.m_iIndex];
        if (!Intersect(a, b))
            continue;
        CKorvelVector2 before = a->m_vPosition;
        Respond(a, b);
        if (c.m_iSlot >= 0)
            m_aMovingBoxes[c.m_iSlot] = b->CurrentBox();
        if (a->m_vPosition.x == before.x && a->m_vPosition.y == before.y)
            continue;
        box = a->CurrentBox();
        m_aMovingBoxes[slot] = box;
        if (!IsFinite(box))
        {
            CollideWithEveryBody(a, c.m_iIndex);
            return;
        }
        GatherCandidates(slot, box, c.m_iIndex);
        k = 0;
    }
}

// The plain loop, for the rest of A's turn after list index `after`.
void CMoxPhysics::CollideWithEveryBody(CBody* a, int after)
{
    for (int i = after + 1; i < m_Bodies.GetCount(); ++i)
    {
        CBody* b = m_Bodies[i];
        if (b != a && (a->m_uCollisionMask & b->m_uCollisionMask) && Intersect(a, b))
        {
            Respond(a, b);
            for (size_t k = 0; k < m_aDynamic.size(); ++k)
                if (m_aDynamic[k] == a || m_aDynamic[k] == b)
                    m_aMovingBoxes[k] = m_aDynamic[k]->CurrentBox();
        }
    }
}

void CMoxPhysics::Respond(CBody* a, CBody* b)
{
    CKorvelVector2 vA = a->m_vVelocity;
    CKorvelVector2 vB = b->m_vVelocity;
    float speedA = vA.Length();
    CMoxBox boxA = a->CurrentBox();
    CMoxBox boxB = b->CurrentBox();
    CKorvelVector2 n;
    CKorvelVector2 t = MinimumTranslation(boxA, boxB, &n);
    ++m_iContacts;
    float massSum = a->m_fMass + b->m_fMass;
    if (massSum == 0.0f)
        return;

    const bool dynamicB = b->m_uType == BODY_DYNAMIC;
    CKorvelVector2 c;
    float shareA, shareB, speedB;
    if (!dynamicB)
    {
        vB.Set(0.0f, 0.0f);
        c = vA;
        shareA = 1.0f;
        shareB = 0.0f;
        speedB = 0.0f;
    }
    else
    {
        speedB = vB.Length();
        c.x = (b->m_fMass * vB.x + a->m_fMass * vA.x) / massSum;
        c.y = (b->m_fMass * vB.y + a->m_fMass * vA.y) / massSum;
        shareA = b->m_fMass / massSum;
        shareB = a->m_fMass / massSum;
    }
    float fr = (a->m_fFriction + b->m_fFriction) / 5.0f;
    if (dynamicB)
        fr *= 0.25f;
    float bounce = (a->m_fBounce + b->m_fBounce) * 0.5f + 1.0f;

    a->m_vPosition.x += t.x * shareA;
    a->m_vPosition.y += t.y * shareA;

    CKorvelVector2 i = n;
    if (t.x == 0.0f)
        i.y = n.y * CKorvelMath::Fabs(c.y);
    if (t.y == 0.0f)
        i.x = n.x * CKorvelMath::Fabs(c.x);
    float scaleA = shareA * bounce;
    i.x *= scaleA;
    i.y *= scaleA;
    a->m_vVelocity.x += i.x;
    a->m_vVelocity.y += i.y;
    a->m_vImpact.x += 2.0f * i.x;
    a->m_vImpact.y += 2.0f * i.y;
    b->m_vImpact.x -= 2.0f * i.x;
    b->m_vImpact.y -= 2.0f * i.y;

    CKorvelVector2 fA(t.x == 0.0f ? vA.x * fr : 0.0f, t.y == 0.0f ? vA.y * fr : 0.0f);
    a->m_vVelocity.x -= fA.x;
    a->m_vVelocity.y -= fA.y;

    if (b->m_uType != BODY_STATIC)
    {
        if (dynamicB)
        {
            b->m_vPosition.x -= t.x * shareB;
            b->m_vPosition.y -= t.y * shareB;
            CKorvelVector2 j(-n.x, -n.y);
            if (t.x == 0.0f)
                j.y = -n.y * CKorvelMath::Fabs(c.y);
            if (t.y == 0.0f)
                j.x = -n.x * CKorvelMath::Fabs(c.x);
            float scaleB = shareB * bounce;
            j.x *= scaleB;
            j.y *= scaleB;
            b->m_vVelocity.x += j.x;
            b->m_vVelocity.y += j.y;
        }
        CKorvelVector2 fB(t.x == 0.0f ? vB.x * fr : 0.0f, t.y == 0.0f ? vB.y * fr : 0.0f);
        a->m_vVelocity.x += fB.x;
        a->m_vVelocity.y += fB.y;
        if (dynamicB)
        {
            b->m_vVelocity.x -= fB.x;
            b->m_vVelocity.y -= fB.y;
            b->m_vVelocity.x += fA.x;
            b->m_vVelocity.y += fA.y;
        }
    }

    float strength = c.LengthSq();
    if (m_Listeners.GetCount() > 0 && strength > 5e-6f)
    {
        CollideData data = {a, b, a->m_vPosition, n, strength};
        for (int k = 0; k < m_Listeners.GetCount(); ++k)
            m_Listeners[k]->BodyCollide(data);
    }

    float cap = speedA + speedB;
    if (a->m_vVelocity.Length() > cap)
        a->m_vVelocity.SetLength(cap);
}

void CMoxPhysics::Rest()
{
    for (CBody* a : m_aDynamic)
    {
        a->m_vDisplacement.Sub(a->m_vPosition, a->m_vPrevPosition);
        if (a->m_vDisplacement.LengthSq() > 0.0001f)
        {
            a->m_fRestTime = 0.0f;
            a->m_uAsleep = 0;
            continue;
        }
        a->m_fRestTime += m_fStepTime;
        if (a->m_fRestTime > 1.0f)
        {
            a->m_uAsleep = 1;
            a->m_fRestTime = 2.0f;
        }
    }
    for (CBody* h : m_aHeld)
    {
        if (!(h->m_fMass > 0.0f))
            continue;
        h->m_fRestTime += m_fStepTime;
        if (h->m_fRestTime > 1.0f)
        {
            h->m_uAsleep = 1;
            h->m_fRestTime = 2.0f;
        }
    }
}

#ifndef NDEBUG
// What listeners must leave alone during a step: the bodies themselves, their masks and
// sizes, and the place and type of every body that was not dynamic when the step began.
unsigned int CMoxPhysics::FixedStateDigest() const
{
    unsigned int h = 2166136261u;
    auto mix = [&h](const void* p, size_t size)
    {
        const unsigned char* bytes = static_cast<const unsigned char*>(p);
        for (size_t k = 0; k < size; ++k)
            h = (h ^ bytes[k]) * 16777619u;
    };
    size_t nextMoving = 0;
    for (int i = 0; i < m_Bodies.GetCount(); ++i)
    {
        const CBody* body = m_Bodies[i];
        std::uintptr_t address = reinterpret_cast<std::uintptr_t>(body);
        mix(&address, sizeof address);
        mix(&body->m_uCollisionMask, sizeof body->m_uCollisionMask);
        mix(&body->m_vHalfSize, sizeof body->m_vHalfSize);
        if (nextMoving < m_aMoving.size() && m_aMoving[nextMoving] == i)
        {
            ++nextMoving;
            continue;
        }
        mix(&body->m_uType, sizeof body->m_uType);
        mix(&body->m_vPosition, sizeof body->m_vPosition);
    }
    return h;
}
#endif
