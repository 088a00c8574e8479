// Camera: the mapping, following with its automatic zoom, and the grid.
// Only +, -, x, / and comparisons: the grid decides where blocks land on both devices.
#include "game/MoxCamera.h"

#include "game/MoxPhysics.h"

namespace
{
// Offset that moves every value the grid meets above 0, so truncation floors it.
const float kRoundOffset = 65536.0f;

signed char ClampToByte(int n)
{
    return static_cast<signed char>(n < -128 ? -128 : (n > 127 ? 127 : n));
}
} // namespace

void CCamera::WorldToScreen(CKorvelVector2& world, CKorvelVector2* screen)
{
    screen->x = m_vScreenHalf.x + (world.x + m_vPosition.x) * m_fZoom * m_vScreenHalf.x;
    screen->y = m_vScreenHalf.y - (world.y - m_vPosition.y) * m_fZoom * m_vScreenHalf.x;
}

void CCamera::ScreenToWorld(CKorvelVector2& screen, CKorvelVector2* world)
{
    world->x = (screen.x - m_vScreenHalf.x) / m_vScreenHalf.x / m_fZoom - m_vPosition.x;
    world->y = (m_vScreenHalf.y - screen.y) / m_vScreenHalf.x / m_fZoom + m_vPosition.y;
}

void CCamera::SetTarget(CKorvelVector2 p)
{
    m_vTarget = p;
    m_pTargetBody = nullptr;
    m_eTarget = CAMERA_TARGET_POINT;
}

void CCamera::SetTargetBody(CBody* body)
{
    m_pTargetBody = body;
    m_eTarget = CAMERA_TARGET_POINT;
}

void CCamera::SetTargetMoveables(CMoxPhysics* physics)
{
    m_pMoveables = physics;
    m_pTargetBody = nullptr;
    m_eTarget = CAMERA_TARGET_MOVEABLES;
}

void CCamera::ClearTarget()
{
    m_pTargetBody = nullptr;
    m_eTarget = CAMERA_TARGET_NONE;
}

void CCamera::RoundDown(float v, int& n)
{
    n = CKorvelMath::TruncToInt(v + kRoundOffset) - 65536;
}

void CCamera::RoundClosest(float v, int& n)
{
    float w = v + kRoundOffset;
    n = CKorvelMath::TruncToInt(w);
    // The next integer up, counted as one: w + 1 rounded in float would jump to n + 2
    // for w just below 65536 (v within 1/256 below 0).
    if (w - static_cast<float>(n) >= 0.5f)
        n += 1;
    n -= 65536;
}

void CCamera::Snap(CKorvelVector2& p, signed char& x, signed char& y)
{
    int nx, ny;
    RoundDown(p.x / m_fGridSize * 128.0f, nx);
    RoundDown(p.y / m_fGridSize * 128.0f, ny);
    x = ClampToByte(nx);
    y = ClampToByte(ny);
}

void CCamera::UnSnap(signed char x, signed char y, CKorvelVector2* p)
{
    p->x = static_cast<float>(x) * 0.0078125f * m_fGridSize;
    p->y = static_cast<float>(y) * 0.0078125f * m_fGridSize;
}

void CCamera::SnapToGrid(CKorvelVector2& p, CKorvelVector2* out)
{
    signed char x, y;
    Snap(p, x, y);
    UnSnap(x, y, out);
}

void CCamera::SnapToClosest(CKorvelVector2& p, CKorvelVector2* out)
{
    int nx, ny;
    RoundClosest(p.x / m_fGridSize * 128.0f, nx);
    RoundClosest(p.y / m_fGridSize * 128.0f, ny);
    UnSnap(ClampToByte(nx), ClampToByte(ny), out);
}

bool CCamera::Follows(CBody* body)
{
    return m_pScene && m_pScene->IsFollowable(body) && body->m_vPosition.y >= 0.0f;
}

// Width over height; before the renderer gives a size the last value stays.
float CCamera::ScreenAspect() const
{
    return m_vScreenSize.y > 0.0f ? m_vScreenSize.x / m_vScreenSize.y : m_fAspect;
}

void CCamera::Update()
{
    m_Matrix.Identity();

    if (m_eTarget == CAMERA_TARGET_POINT)
    {
        if (m_pTargetBody && Follows(m_pTargetBody))
        {
            m_vTarget = m_pTargetBody->m_vPosition;
            m_fMovementZoom = 2.0f - 75.0f * m_pTargetBody->m_vVelocity.Length();
            if (m_fZoomTarget > m_fMovementZoom)
                m_fZoomTarget = m_fMovementZoom;
        }
        m_vPosition.y += (m_vTarget.y - m_vPosition.y) / 6.0f;
        m_vPosition.x += (-m_vTarget.x - m_vPosition.x) / 6.0f;
    }
    else if (m_eTarget == CAMERA_TARGET_MOVEABLES && m_pMoveables)
    {
        float minX = 1000.0f, maxX = -1000.0f, minY = 1000.0f, maxY = -1000.0f;
        int counted = 0;
        for (int i = 0; i < m_pMoveables->m_Bodies.GetCount(); ++i)
        {
            CBody* body = m_pMoveables->m_Bodies[i];
            if ((body->m_uType != BODY_DYNAMIC && body->m_uType != BODY_HELD) || !Follows(body))
                continue;
            const CKorvelVector2& p = body->m_vPosition;
            minX = p.x < minX ? p.x : minX;
            maxX = p.x > maxX ? p.x : maxX;
            minY = p.y < minY ? p.y : minY;
            maxY = p.y > maxY ? p.y : maxY;
            ++counted;
        }
        if (counted > 0)
        {
            float aspect = ScreenAspect();
            if (aspect < 1.8f)
                aspect = 1.8f;
            if (minY < 0.0f)
                minY = 0.0f;
            if (maxY > 2.0f * m_fGridSize)
                maxY = 2.0f * m_fGridSize;
            if (minX < -m_fGridSize)
                minX = -m_fGridSize;
            if (maxX > m_fGridSize)
                maxX = m_fGridSize;
            CKorvelVector2 centre((minX + maxX) * 0.5f, (minY + maxY) * 0.5f);
            float spanX = maxX - minX;
            float spanY = aspect * (maxY - minY);
            float span = spanX > spanY ? spanX : spanY;
            m_fMoveableZoom = 1.0f - 0.2f * span;
            if (m_fZoomTarget > m_fMoveableZoom)
                m_fZoomTarget = m_fMoveableZoom;
            m_vPosition.y += (centre.y - m_vPosition.y) / 10.0f;
            m_vPosition.x += (-centre.x - m_vPosition.x) / 10.0f;
        }
    }

    if (m_vPosition.x < -m_fGridSize)
        m_vPosition.x = -m_fGridSize;
    if (m_vPosition.x > m_fGridSize)
        m_vPosition.x = m_fGridSize;
    if (m_vPosition.y < 0.0f)
        m_vPosition.y = 0.0f;
    if (m_vPosition.y > 1.2f * m_fGridSize)
        m_vPosition.y = 1.2f * m_fGridSize;
    m_fZoom += (m_fZoomTarget - m_fZoom) / 10.0f;
    if (m_fZoom < CAMERA_ZOOM_MIN)
        m_fZoom = CAMERA_ZOOM_MIN;
    if (m_fZoom > CAMERA_ZOOM_MAX)
        m_fZoom = CAMERA_ZOOM_MAX;
    m_fAspect = ScreenAspect();

    // Read by the world shaders as row vector times matrix.
    m_Matrix.m[0] = m_fZoom;
    m_Matrix.m[3] = m_vPosition.x * m_fZoom;
    m_Matrix.m[5] = m_fAspect * m_fZoom;
    m_Matrix.m[7] = -(m_vPosition.y * m_fAspect) * m_fZoom;
    m_Matrix.m[10] = 1.0f;
}
