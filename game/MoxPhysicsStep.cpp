// One step of the physics.
//
// Every dynamic body is tested against every body of the list in list order, as the
// replay on the other device does; the result must not depend on how the candidates are
// found. Bodies that are not dynamic when the step starts never move during it, so they
// are put into a uniform grid once per step and each dynamic body visits, in list order,
// the dynamic bodies and the grid's bodies that overlap it, asking the grid again after
// every response that moved it. Pairs that cannot overlap are counted without testing.
#include "game/MoxPhysics.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace
{
// Cells per axis at most, and cells one body may fill before it is tested always.
const int kGridMax = 64;
const int kBodyCellsMax = 64;

bool IsFinite(float v)
{
    return v - v == 0.0f;
}

bool IsFinite(const CMoxBox& b)
{
    return IsFinite(b.left) && IsFinite(b.bottom) && IsFinite(b.right) && IsFinite(b.top);
}

// Cells along one axis for an extent and the mean body size along it.
int CellsFor(float extent, float meanSize)
{
    if (!(extent > 0.0f) || !(meanSize > 0.0f))
        return 1;
    float n = extent / meanSize;
    return n >= static_cast<float>(kGridMax) ? kGridMax : (n < 1.0f ? 1 : static_cast<int>(n));
}
} // namespace

void CMoxPhysics::Simulate()
{
    BeginStep();
#ifndef NDEBUG
    const int bodyCount = m_Bodies.GetCount();
    const unsigned int digest = FixedStateDigest();
#endif
    BuildGrid();
    for (int s = 0; s < m_iSubSteps; ++s)
    {
        for (CBody* a : m_aDynamic)
        {
            a->m_vPosition.x += a->m_vVelocity.x * m_fSubStep;
            a->m_vPosition.y += a->m_vVelocity.y * m_fSubStep;
        }
        for (CBody* h : m_aHeld)
            h->m_vVelocity.Set(0.0f, 0.0f);
        for (CBody* a : m_aDynamic)
            CollideMoving(a);
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
    const int n = m_Bodies.GetCount();
    for (int i = 0; i < n; ++i)
    {
        CBody* body = m_Bodies[i];
        body->m_vImpact.Set(0.0f, 0.0f);
        if (body->m_uType == BODY_DYNAMIC)
        {
            m_aDynamic.push_back(body);
            m_aMoving.push_back(i);
            body->m_vPrevPosition = body->m_vPosition;
            body->m_vVelocity.y += m_vGravity.y;
        }
        else if (body->m_uType == BODY_HELD)
        {
            m_aHeld.push_back(body);
        }
    }
    if (static_cast<int>(m_aStamp.size()) < n)
        m_aStamp.resize(n, m_uQuery);
    m_iPairsTested = CountPairs() * m_iSubSteps;
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

void CMoxPhysics::BuildGrid()
{
    m_aAlways.clear();
    const int n = m_Bodies.GetCount();
    float left = 0.0f, bottom = 0.0f, right = 0.0f, top = 0.0f, sumW = 0.0f, sumH = 0.0f;
    int placed = 0;
    size_t nextMoving = 0;
    for (int i = 0; i < n; ++i)
    {
        if (nextMoving < m_aMoving.size() && m_aMoving[nextMoving] == i)
        {
            ++nextMoving;
            continue;
        }
        CMoxBox b = m_Bodies[i]->CurrentBox();
        if (!IsFinite(b))
            continue;
        if (placed == 0)
        {
            left = b.left, bottom = b.bottom, right = b.right, top = b.top;
        }
        else
        {
            left = std::min(left, b.left), bottom = std::min(bottom, b.bottom);
            right = std::max(right, b.right), top = std::max(top, b.top);
        }
        sumW += b.right - b.left;
        sumH += b.top - b.bottom;
        ++placed;
    }
    m_iGridW = placed ? CellsFor(right - left, sumW / static_cast<float>(placed)) : 1;
    m_iGridH = placed ? CellsFor(top - bottom, sumH / static_cast<float>(placed)) : 1;
    m_fGridLeft = left;
    m_fGridBottom = bottom;
    m_fGridScaleX = right - left > 0.0f ? static_cast<float>(m_iGridW) / (right - left) : 0.0f;
    m_fGridScaleY = top - bottom > 0.0f ? static_cast<float>(m_iGridH) / (top - bottom) : 0.0f;

    // Two passes, counting then filling, so each cell lists its bodies in list order.
    const int cells = m_iGridW * m_iGridH;
    m_aCells.assign(cells, sSTEPCELL{0, 0});
    for (int pass = 0; pass < 2; ++pass)
    {
        nextMoving = 0;
        for (int i = 0; i < n; ++i)
        {
            if (nextMoving < m_aMoving.size() && m_aMoving[nextMoving] == i)
            {
                ++nextMoving;
                continue;
            }
            CMoxBox b = m_Bodies[i]->CurrentBox();
            int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
            if (IsFinite(b))
            {
                x0 = GridCellX(b.left), x1 = GridCellX(b.right);
                y0 = GridCellY(b.bottom), y1 = GridCellY(b.top);
            }
            if (!IsFinite(b) || (x1 - x0 + 1) * (y1 - y0 + 1) > kBodyCellsMax)
            {
                if (pass == 0)
                    m_aAlways.push_back(i);
                continue;
            }
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                {
                    sSTEPCELL& cell = m_aCells[y * m_iGridW + x];
                    if (pass == 0)
                        ++cell.m_iCount;
                    else
                        m_aCellBodies[cell.m_iFirst + m_aCellFill[y * m_iGridW + x]++] = i;
                }
        }
        if (pass == 0)
        {
            int first = 0;
            for (sSTEPCELL& cell : m_aCells)
            {
                cell.m_iFirst = first;
                first += cell.m_iCount;
            }
            m_aCellBodies.resize(first);
            m_aCellFill.assign(cells, 0);
        }
    }
}

// Monotonic in x, so a body and a box that overlap always share a cell.
int CMoxPhysics::GridCellX(float x) const
{
    float f = (x - m_fGridLeft) * m_fGridScaleX;
    if (!(f > 0.0f))
        return 0;
    return f >= static_cast<float>(m_iGridW) ? m_iGridW - 1 : static_cast<int>(f);
}

int CMoxPhysics::GridCellY(float y) const
{
    float f = (y - m_fGridBottom) * m_fGridScaleY;
    if (!(f > 0.0f))
        return 0;
    return f >= static_cast<float>(m_iGridH) ? m_iGridH - 1 : static_cast<int>(f);
}

// The grid's bodies after list index `after` whose boxes overlap `box`, ascending.
void CMoxPhysics::QueryGrid(const CMoxBox& box, int after)
{
    m_aCandidates.clear();
    if (++m_uQuery == 0)
    {
        std::fill(m_aStamp.begin(), m_aStamp.end(), 0u);
        m_uQuery = 1;
    }
    int x0 = GridCellX(box.left), x1 = GridCellX(box.right);
    int y0 = GridCellY(box.bottom), y1 = GridCellY(box.top);
    CMoxBox probe = box;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
        {
            const sSTEPCELL& cell = m_aCells[y * m_iGridW + x];
            for (int k = 0; k < cell.m_iCount; ++k)
            {
                int i = m_aCellBodies[cell.m_iFirst + k];
                if (i <= after || m_aStamp[i] == m_uQuery)
                    continue;
                m_aStamp[i] = m_uQuery;
                CMoxBox other = m_Bodies[i]->CurrentBox();
                if (Intersect(probe, other))
                    m_aCandidates.push_back(i);
            }
        }
    std::sort(m_aCandidates.begin(), m_aCandidates.end());
}

void CMoxPhysics::CollideMoving(CBody* a)
{
    const int n = m_Bodies.GetCount();
    CMoxBox box = a->CurrentBox();
    bool everyBody = !IsFinite(box);
    if (!everyBody)
        QueryGrid(box, -1);
    size_t nextGrid = 0, nextMoving = 0, nextAlways = 0;
    int last = -1;
    for (;;)
    {
        int i;
        if (everyBody)
        {
            i = last + 1;
            if (i >= n)
                break;
        }
        else
        {
            // The smallest list index of the three ascending sources.
            i = n;
            if (nextGrid < m_aCandidates.size())
                i = m_aCandidates[nextGrid];
            if (nextMoving < m_aMoving.size() && m_aMoving[nextMoving] < i)
                i = m_aMoving[nextMoving];
            if (nextAlways < m_aAlways.size() && m_aAlways[nextAlways] < i)
                i = m_aAlways[nextAlways];
            if (i == n)
                break;
            if (nextGrid < m_aCandidates.size() && m_aCandidates[nextGrid] == i)
                ++nextGrid;
            else if (nextMoving < m_aMoving.size() && m_aMoving[nextMoving] == i)
                ++nextMoving;
            else
                ++nextAlways;
        }
        last = i;
        CBody* b = m_Bodies[i];
        if (b == a || !(a->m_uCollisionMask & b->m_uCollisionMask) || !Intersect(a, b))
            continue;
        CKorvelVector2 before = a->m_vPosition;
        Respond(a, b);
        if (everyBody || (a->m_vPosition.x == before.x && a->m_vPosition.y == before.y))
            continue;
        box = a->CurrentBox();
        if (!IsFinite(box))
        {
            everyBody = true;
            continue;
        }
        QueryGrid(box, i);
        nextGrid = 0;
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
    auto mix = [&h](const void* p, size_t size) {
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
