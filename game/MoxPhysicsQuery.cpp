// The queries the match asks of the physics: the body under a point, the bodies a whip
// sweeps and the bodies within an explosion's reach.
#include "game/MoxPhysics.h"

#include <new>

CBody* CMoxPhysics::FindBody(CKorvelVector2& point, unsigned int typeMask, unsigned int groupMask)
{
    for (int i = m_Bodies.GetCount() - 1; i >= 0; --i)
    {
        CBody* body = m_Bodies[i];
        if ((body->m_uType & typeMask) && (body->m_uGroup & groupMask) && Intersect(body, point))
            return body;
    }
    return nullptr;
}

void CMoxPhysics::FindBodiesOnPath(CKorvelVector2& start, CKorvelVector2& halfExtent, CKorvelVector2& path)
{
    m_BodiesOnPath.Clear();
    CBody probe;
    probe.m_vPosition = start;
    probe.m_vHalfSize = halfExtent;
    float step = 0.75f * halfExtent.x < 0.75f * halfExtent.y ? 0.75f * halfExtent.x : 0.75f * halfExtent.y;
    CKorvelVector2 d = path;
    d.SetLength(step);
    float length = path.Length();
    float travelled = 0.0f;
    // A probe step of 0 never covers the path: the count bounds the sweep.
    for (int k = 0; k < 1002; ++k)
    {
        for (int i = 0; i < m_Bodies.GetCount(); ++i)
        {
            CBody* body = m_Bodies[i];
            if (!Intersect(body, &probe))
                continue;
            int listed = 0;
            for (int j = 0; j < m_BodiesOnPath.GetCount() && !listed; ++j)
                listed = m_BodiesOnPath[j] == body;
            if (!listed)
                m_BodiesOnPath.Add(body);
        }
        probe.m_vPosition.Add(d);
        travelled += step;
        if (travelled > length)
            break;
    }
}

void CMoxPhysics::ClearClosestBodies()
{
    for (int i = 0; i < m_ClosestBodies.GetCount(); ++i)
        delete m_ClosestBodies[i];
    m_ClosestBodies.Clear();
}

void CMoxPhysics::FindClosestBodies(CKorvelVector2& centre, float radius)
{
    ClearClosestBodies();
    CMoxBox square;
    square.left = centre.x - radius;
    square.bottom = centre.y - radius;
    square.right = centre.x + radius;
    square.top = centre.y + radius;
    for (int i = 0; i < m_Bodies.GetCount(); ++i)
    {
        CBody* body = m_Bodies[i];
        body->m_vMovedBy.Set(0.0f, 0.0f);
        body->UpdateBox();
        if (!Intersect(body->m_Box, square))
            continue;
        unsigned int inside = 0;
        CKorvelVector2 point = FindClosestPoint(body->m_Box, centre, inside);
        CKorvelVector2 direction;
        float distance;
        if (!inside)
        {
            direction.Sub(point, centre);
            distance = direction.Length();
        }
        else
        {
            // From inside, push away from the body's centre; straight up from the centre itself.
            direction.Sub(body->m_vPosition, centre);
            distance = direction.Length();
            if (distance == 0.0f)
            {
                direction.Set(0.0f, 1e-6f);
                distance = 0.0f;
            }
        }
        if (!(distance < radius))
            continue;
        sCLOSESTBODY* record = new (std::nothrow) sCLOSESTBODY{body, point, direction, distance};
        if (record && m_ClosestBodies.Add(record) < 0)
            delete record;
    }
}

CKorvelVector2 CMoxPhysics::FindClosestPoint(CMoxBox& box, CKorvelVector2& point, unsigned int& inside)
{
    CKorvelVector2 p = point;
    inside = 1;
    if (p.x < box.left)
        p.x = box.left, inside = 0;
    else if (p.x > box.right)
        p.x = box.right, inside = 0;
    if (p.y < box.bottom)
        p.y = box.bottom, inside = 0;
    else if (p.y > box.top)
        p.y = box.top, inside = 0;
    return p;
}
