// The step written the plain way: every dynamic body against every body of the list,
// in list order, with the lists made afresh. The production step must give the same
// bits; the exactness test and the benchmark compare against this one.
#pragma once

#include "game/MoxPhysics.h"

#include <vector>

namespace literal_step
{
inline CMoxBox BoxOf(const CBody* b)
{
    CMoxBox box;
    box.left = b->m_vPosition.x - b->m_vHalfSize.x;
    box.bottom = b->m_vPosition.y - b->m_vHalfSize.y;
    box.right = b->m_vPosition.x + b->m_vHalfSize.x;
    box.top = b->m_vPosition.y + b->m_vHalfSize.y;
    return box;
}

inline void Respond(CMoxPhysics& w, CBody* A, CBody* B)
{
    const CKorvelVector2 vA0 = A->m_vVelocity;
    CKorvelVector2 vB0 = B->m_vVelocity;
    const float speedA = vA0.Length();

    // 1. Translation and contact count; nothing more for two massless bodies.
    CMoxBox boxA = BoxOf(A), boxB = BoxOf(B);
    CKorvelVector2 n;
    CKorvelVector2 t = w.MinimumTranslation(boxA, boxB, &n);
    w.m_iContacts++;
    if (A->m_fMass + B->m_fMass == 0.0f)
        return;

    // 2./3. Contact velocity and shares.
    CKorvelVector2 c;
    float shareA = 0.0f, shareB = 0.0f, speedB = 0.0f;
    if (B->m_uType == 4)
    {
        speedB = vB0.Length();
        c.x = (B->m_fMass * vB0.x + A->m_fMass * vA0.x) / (A->m_fMass + B->m_fMass);
        c.y = (B->m_fMass * vB0.y + A->m_fMass * vA0.y) / (A->m_fMass + B->m_fMass);
        shareA = B->m_fMass / (A->m_fMass + B->m_fMass);
        shareB = A->m_fMass / (A->m_fMass + B->m_fMass);
    }
    else
    {
        vB0.Set(0.0f, 0.0f);
        c = vA0;
        shareA = 1.0f;
        shareB = 0.0f;
        speedB = 0.0f;
    }

    // 4. Friction and bounce.
    float fr = (A->m_fFriction + B->m_fFriction) / 5.0f;
    if (B->m_uType == 4)
        fr = fr * 0.25f;
    const float bounce = (A->m_fBounce + B->m_fBounce) * 0.5f + 1.0f;

    // 5. Correction of A.
    A->m_vPosition.x = A->m_vPosition.x + t.x * shareA;
    A->m_vPosition.y = A->m_vPosition.y + t.y * shareA;

    // 6. Impulse.
    CKorvelVector2 i = n;
    if (t.x == 0.0f)
        i.y = n.y * CKorvelMath::Fabs(c.y);
    if (t.y == 0.0f)
        i.x = n.x * CKorvelMath::Fabs(c.x);
    const float sA = shareA * bounce;
    i.x = i.x * sA;
    i.y = i.y * sA;
    A->m_vVelocity.x = A->m_vVelocity.x + i.x;
    A->m_vVelocity.y = A->m_vVelocity.y + i.y;
    A->m_vImpact.x = A->m_vImpact.x + 2.0f * i.x;
    A->m_vImpact.y = A->m_vImpact.y + 2.0f * i.y;
    B->m_vImpact.x = B->m_vImpact.x - 2.0f * i.x;
    B->m_vImpact.y = B->m_vImpact.y - 2.0f * i.y;

    // 7. Friction of A.
    CKorvelVector2 fA(0.0f, 0.0f);
    if (t.x == 0.0f)
        fA.x = vA0.x * fr;
    if (t.y == 0.0f)
        fA.y = vA0.y * fr;
    A->m_vVelocity.x = A->m_vVelocity.x - fA.x;
    A->m_vVelocity.y = A->m_vVelocity.y - fA.y;

    // 8. B's share.
    if (B->m_uType != 1)
    {
        if (B->m_uType == 4)
        {
            B->m_vPosition.x = B->m_vPosition.x - t.x * shareB;
            B->m_vPosition.y = B->m_vPosition.y - t.y * shareB;
            CKorvelVector2 mn(-n.x, -n.y);
            CKorvelVector2 j = mn;
            if (t.x == 0.0f)
                j.y = mn.y * CKorvelMath::Fabs(c.y);
            if (t.y == 0.0f)
                j.x = mn.x * CKorvelMath::Fabs(c.x);
            const float sB = shareB * bounce;
            j.x = j.x * sB;
            j.y = j.y * sB;
            B->m_vVelocity.x = B->m_vVelocity.x + j.x;
            B->m_vVelocity.y = B->m_vVelocity.y + j.y;
        }
        CKorvelVector2 fB(0.0f, 0.0f);
        if (t.x == 0.0f)
            fB.x = vB0.x * fr;
        if (t.y == 0.0f)
            fB.y = vB0.y * fr;
        A->m_vVelocity.x = A->m_vVelocity.x + fB.x;
        A->m_vVelocity.y = A->m_vVelocity.y + fB.y;
        if (B->m_uType == 4)
        {
            B->m_vVelocity.x = B->m_vVelocity.x - fB.x;
            B->m_vVelocity.y = B->m_vVelocity.y - fB.y;
            B->m_vVelocity.x = B->m_vVelocity.x + fA.x;
            B->m_vVelocity.y = B->m_vVelocity.y + fA.y;
        }
    }

    // 9. Listeners.
    const float strength = c.x * c.x + c.y * c.y;
    if (w.m_Listeners.GetCount() > 0 && strength > 5e-6f)
        for (int k = 0; k < w.m_Listeners.GetCount(); ++k)
        {
            CollideData data;
            data.m_pBodyA = A;
            data.m_pBodyB = B;
            data.m_vPosition = A->m_vPosition;
            data.m_vNormal = n;
            data.m_fStrength = strength;
            w.m_Listeners[k]->BodyCollide(data);
        }

    // 10. Speed cap.
    if (A->m_vVelocity.Length() > speedA + speedB)
        A->m_vVelocity.SetLength(speedA + speedB);
}

inline void Simulate(CMoxPhysics& w)
{
    // 1.
    w.m_iPairsTested = 0;
    w.m_iContacts = 0;
    std::vector<CBody*> dynamic, held;
    for (int k = 0; k < w.m_Bodies.GetCount(); ++k)
    {
        CBody* b = w.m_Bodies[k];
        b->m_vImpact.Set(0.0f, 0.0f);
        if (b->m_uType == 4)
        {
            dynamic.push_back(b);
            b->m_vPrevPosition = b->m_vPosition;
            b->m_vVelocity.y = b->m_vVelocity.y + w.m_vGravity.y;
        }
        else if (b->m_uType == 2)
        {
            held.push_back(b);
        }
    }
    // 2.
    for (int s = 0; s < w.m_iSubSteps; ++s)
    {
        for (CBody* a : dynamic)
        {
            a->m_vPosition.x = a->m_vPosition.x + a->m_vVelocity.x * w.m_fSubStep;
            a->m_vPosition.y = a->m_vPosition.y + a->m_vVelocity.y * w.m_fSubStep;
        }
        for (CBody* h : held)
            h->m_vVelocity.Set(0.0f, 0.0f);
        for (CBody* a : dynamic)
            for (int k = 0; k < w.m_Bodies.GetCount(); ++k)
            {
                CBody* b = w.m_Bodies[k];
                if (b == a || (a->m_uCollisionMask & b->m_uCollisionMask) == 0)
                    continue;
                w.m_iPairsTested++;
                if (CMoxPhysics::Intersect(a, b))
                    Respond(w, a, b);
            }
    }
    // 3.
    for (CBody* a : dynamic)
    {
        a->m_vDisplacement.x = a->m_vPosition.x - a->m_vPrevPosition.x;
        a->m_vDisplacement.y = a->m_vPosition.y - a->m_vPrevPosition.y;
        if (a->m_vDisplacement.x * a->m_vDisplacement.x + a->m_vDisplacement.y * a->m_vDisplacement.y >
            0.0001f)
        {
            a->m_fRestTime = 0.0f;
            a->m_uAsleep = 0;
        }
        else
        {
            a->m_fRestTime = a->m_fRestTime + w.m_fStepTime;
            if (a->m_fRestTime > 1.0f)
            {
                a->m_uAsleep = 1;
                a->m_fRestTime = 2.0f;
            }
        }
    }
    for (CBody* h : held)
        if (h->m_fMass > 0.0f)
        {
            h->m_fRestTime = h->m_fRestTime + w.m_fStepTime;
            if (h->m_fRestTime > 1.0f)
            {
                h->m_uAsleep = 1;
                h->m_fRestTime = 2.0f;
            }
        }
    // 4.
    w.UpdateVisuals();
}
} // namespace literal_step
