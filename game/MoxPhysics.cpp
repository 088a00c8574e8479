// Bodies, their lifetime, the listener list and the overlap tests.
#include "game/MoxPhysics.h"

#include <new>

CBody::CBody()
    : m_vPosition(0.0f, 0.0f), m_vVisualPosition(-1000.0f, -1000.0f), m_vPrevPosition(0.0f, 0.0f),
      m_vDisplacement(0.0f, 0.0f), m_vVelocity(0.0f, 0.0f), m_vSecond(0.0f, 0.0f), m_vHalfSize(0.0f, 0.0f),
      m_vImpact(0.0f, 0.0f), m_vMovedBy(0.0f, 0.0f)
{
    UpdateBox();
}

CMoxPhysics::~CMoxPhysics()
{
    Clear();
}

void CMoxPhysics::Startup(float stepSeconds, int subSteps)
{
    m_fStepTime = stepSeconds;
    m_iSubSteps = subSteps;
    m_fSubStep = 1.0f / static_cast<float>(subSteps);
    m_vGravity.Set(0.0f, -0.003f);
    m_fMargin = 1e-5f;
    Clear();
}

void CMoxPhysics::Clear()
{
    ClearClosestBodies();
    for (int i = 0; i < m_Bodies.GetCount(); ++i)
        delete m_Bodies[i];
    m_Bodies.Clear();
    // Nothing may keep pointing at the bodies just freed.
    m_BodiesOnPath.Clear();
    m_pTraceBody = nullptr;
    m_iPairsTested = 0;
    m_iContacts = 0;
}

CBody* CMoxPhysics::CreateBody(BodyDesc& desc)
{
    CBody* body = new (std::nothrow) CBody;
    if (!body)
        return nullptr;
    body->m_vPosition = desc.m_vPosition;
    body->m_vHalfSize = desc.m_vHalfSize;
    body->m_uType = desc.m_uType;
    body->m_uGroup = desc.m_uGroup;
    body->m_fDescValue = desc.m_fDescValue;
    body->m_fMass = desc.m_fMass;
    body->m_fBounce = desc.m_fBounce;
    body->m_fFriction = desc.m_fFriction;
    body->UpdateBox();
    if (m_Bodies.Add(body) < 0)
    {
        delete body;
        return nullptr;
    }
    return body;
}

void CMoxPhysics::DeleteBody(CBody* body)
{
    if (!m_Bodies.Remove(body))
        return;
    if (m_pTraceBody == body)
        m_pTraceBody = nullptr;
    delete body;
}

void CMoxPhysics::UpdateVisuals()
{
    for (int i = 0; i < m_Bodies.GetCount(); ++i)
        m_Bodies[i]->m_vVisualPosition = m_Bodies[i]->m_vPosition;
}

void CMoxPhysics::AddListener(CMoxPhysicsListener* listener)
{
    for (int i = 0; i < m_Listeners.GetCount(); ++i)
        if (m_Listeners[i] == listener)
            return;
    m_Listeners.Add(listener);
}

void CMoxPhysics::RemoveListener(CMoxPhysicsListener* listener)
{
    m_Listeners.Remove(listener);
}

bool CMoxPhysics::Intersect(CMoxBox& a, CMoxBox& b)
{
    return MoxBoxesOverlap(a, b);
}

bool CMoxPhysics::IntersectVisualVersion(CMoxBox& a, CMoxBox& b)
{
    const float margin = 0.001f;
    return !(a.right <= b.left + margin || a.left >= b.right - margin || a.top <= b.bottom + margin ||
             a.bottom >= b.top - margin);
}

bool CMoxPhysics::Intersect(CBody* a, CBody* b)
{
    return MoxBoxesOverlap(a->CurrentBox(), b->CurrentBox());
}

bool CMoxPhysics::Intersect(CBody* body, CKorvelVector2& point)
{
    const CKorvelVector2& c = body->m_vPosition;
    const CKorvelVector2& h = body->m_vHalfSize;
    return point.x > c.x - h.x && point.x < c.x + h.x && point.y > c.y - h.y && point.y < c.y + h.y;
}

CKorvelVector2 CMoxPhysics::MinimumTranslation(CMoxBox& a, CMoxBox& b, CKorvelVector2* normal)
{
    normal->Set(0.0f, 0.0f);
    float dx1 = b.left - a.right;
    float dx2 = b.right - a.left;
    float dy1 = b.bottom - a.top;
    float dy2 = b.top - a.bottom;
    CKorvelVector2 t(CKorvelMath::Fabs(dx1) < dx2 ? dx1 : dx2, CKorvelMath::Fabs(dy1) < dy2 ? dy1 : dy2);
    if (CKorvelMath::Fabs(t.x) < CKorvelMath::Fabs(t.y))
    {
        t.y = 0.0f;
        normal->x = t.x < 0.0f ? -1.0f : 1.0f;
    }
    else
    {
        t.x = 0.0f;
        normal->y = t.y < 0.0f ? -1.0f : 1.0f;
    }
    // Separate by a hair more than the overlap, so that the pair no longer touches.
    if (t.x < 0.0f)
        t.x -= m_fMargin;
    else if (t.x > 0.0f)
        t.x += m_fMargin;
    if (t.y < 0.0f)
        t.y -= m_fMargin;
    else if (t.y > 0.0f)
        t.y += m_fMargin;
    return t;
}
