// The editor's touch handling: the regions, helpers, quick add, the strip, selection and
// dragging, scrolling, zoom and the area selection.
#include "game/MoxEditState.h"

#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
// The tracker's own measure of a move (squared pixels).
const float kMovedSq = 0.1f;
const float kHelperHalf = 0.03f;
// Bodies FindBody may pick: static, held and dynamic, of groups 1 and 2.
const unsigned int kPickTypes = 7;
const unsigned int kPickGroups = 3;

bool Contains(const CKorvelRect<float>& rc, const CKorvelVector2& p)
{
    return p.x >= rc.left && p.x <= rc.right && p.y >= rc.top && p.y <= rc.bottom;
}

signed char AddCells(signed char c, int d)
{
    const int n = (int)c + d;
    return (signed char)(n < -128 ? -128 : (n > 127 ? 127 : n));
}
} // namespace

void CMoxEditState::HandleControls()
{
    if (!m_pGame)
        return;
    CMultiTouch& touches = m_pGame->GetContext().MultiTouch;
    const sTouch& t0 = touches.m_Touches[0];
    const sTouch& t1 = touches.m_Touches[1];
    CCamera& camera = Camera();

    m_bPinch = touches.m_bPinch;
    CKorvelVector2 p = t0.position, q;
    camera.ScreenToWorld(p, &q);
    if (m_bAreaMode)
    {
        HandleArea(q);
        return;
    }
    if (m_bScrolling)
    {
        HandleScroll();
        return;
    }
    if (m_bPinch)
    {
        HandleZoom();
        return;
    }

    if (t0.down)
        for (int i = 0; i < CONTROL_COUNT; ++i)
            if (Contains(m_rcControls[i], p))
            {
                if (t0.pressed)
                    ControlAction(i);
                return;
            }

    if (HelperTap())
        return;

    if (t1.pressed && !t0.down)
    {
        CKorvelVector2 p1 = t1.position, q1;
        camera.ScreenToWorld(p1, &q1);
        if (!AddCurrentBlock(m_iShape, q1))
            m_bStripActive = 1;
    }

    if (t0.down)
    {
        const CKorvelRect<float>& first = m_rcBlockMenu[0];
        if (p.y < 1.1f * (first.bottom - first.top))
        {
            m_bStripActive = 1;
            ClearSelection();
            WorkStrip(p);
            return;
        }
        if (m_bStripActive && m_bEntryChosen)
        {
            if (AddCurrentBlock(m_iChosenEntry, q))
            {
                m_iShape = m_iChosenEntry;
                m_bStripActive = 0;
            }
        }
        else
            m_bStripActive = 0;
    }
    else
    {
        m_bEntryChosen = 0;
        m_bStripActive = 0;
    }

    // Select and drag.
    if (m_pSelectedBody && t0.down && !t0.pressed)
    {
        CKorvelVector2 v(q.x + m_vGrabOffset.x, q.y + m_vGrabOffset.y);
        camera.SnapToGrid(v, &m_pSelectedBody->m_vPosition);
    }
    else if (!m_bStripActive && t0.down)
    {
        if (t0.pressed)
        {
            CBody* pBody = m_pPhysics ? m_pPhysics->FindBody(q, kPickTypes, kPickGroups) : nullptr;
            if (!pBody)
                ClearSelection();
            else
            {
                Select(pBody, CKorvelVector2(pBody->m_vPosition.x - q.x, pBody->m_vPosition.y - q.y));
                if (CBlock* pBlock = GetSelectedBlock())
                {
                    m_iMaterial = pBlock->m_iMaterial;
                    m_iTexture = pBlock->m_uVariant;
                    m_iLayer = pBlock->m_uLayer;
                    m_iShape = pBlock->m_uShape;
                }
            }
        }
        if (t0.moved && !m_pSelectedBody)
            m_bScrolling = 1;
    }
}

// A third finger lifted where it went down removes the helper under it or adds one.
bool CMoxEditState::HelperTap()
{
    const sTouch& t2 = m_pGame->GetContext().MultiTouch.m_Touches[2];
    if (!t2.released || t2.drag.LengthSq() > kMovedSq || !m_pScene)
        return false;
    CKorvelVector2 p = t2.position, w;
    Camera().ScreenToWorld(p, &w);
    if (MoxHelper* pHelper = m_pScene->FindHelper(w))
        m_pScene->RemoveHelper(pHelper);
    else if (m_pScene->m_Helpers.GetCount() < EDIT_HELPER_LIMIT)
    {
        CKorvelVector2 vPoint;
        Camera().SnapToClosest(w, &vPoint);
        m_pScene->AddHelper(vPoint, CKorvelVector2(kHelperHalf, kHelperHalf));
    }
    return true;
}

void CMoxEditState::WorkStrip(const CKorvelVector2& p)
{
    const sTouch& t0 = m_pGame->GetContext().MultiTouch.m_Touches[0];
    if (t0.pressed)
        m_bEntryChosen = 0;
    m_fStripMovement = 1.5f * t0.delta.x;
    for (CKorvelRect<float>& rc : m_rcBlockMenu)
    {
        rc.left += m_fStripMovement;
        rc.right += m_fStripMovement;
    }
    for (int i = 0; i < BLOCK_MENU_ENTRIES; ++i)
        if (Contains(m_rcBlockMenu[i], p))
        {
            m_iChosenEntry = i;
            m_bEntryChosen = 1;
        }
}

float CMoxEditState::ScrollFactor(float fZoom)
{
    const float f = 1.0f - (fZoom - 0.4f) / 3.6f;
    return f < 0.3f ? 0.3f : (f > 1.0f ? 1.0f : f);
}

void CMoxEditState::HandleScroll()
{
    const sTouch& t0 = m_pGame->GetContext().MultiTouch.m_Touches[0];
    if (!t0.down)
    {
        m_bScrolling = 0;
        return;
    }
    CCamera& camera = Camera();
    const float f = ScrollFactor(camera.m_fZoom);
    camera.m_vPosition.x += t0.delta.x * f * f * 0.01f;
    camera.m_vPosition.y += t0.delta.y * f * f * 0.01f;
}

void CMoxEditState::HandleZoom()
{
    const CMultiTouch& touches = m_pGame->GetContext().MultiTouch;
    const sTouch& t2 = touches.m_Touches[2];
    CCamera& camera = Camera();
    float fZoom = camera.m_fZoom;
    if (t2.down && t2.moved)
        fZoom *= 1.0f - 0.01f * t2.delta.y;
    fZoom *= 1.0f + 0.01f * touches.m_fPinchDelta;
    // The camera holds its zoom to this range; the target is held too, so that it never
    // runs away beyond what can be shown.
    fZoom = fZoom < CAMERA_ZOOM_MIN ? CAMERA_ZOOM_MIN : (fZoom > CAMERA_ZOOM_MAX ? CAMERA_ZOOM_MAX : fZoom);
    camera.m_fZoom = camera.m_fZoomTarget = fZoom;
}

// ---- the area selection (mechanics only; nothing switches it on)

void CMoxEditState::SetAreaSelection(unsigned int uOn)
{
    if (uOn && m_bAreaMode)
        return;
    m_bAreaMode = uOn ? 1 : 0;
    m_vAreaStart.Set(0.0f, 0.0f);
    m_vAreaEnd = m_vAreaCentre = m_vAreaHalf = m_vAreaStart;
}

void CMoxEditState::HandleArea(const CKorvelVector2& q)
{
    const sTouch& t0 = m_pGame->GetContext().MultiTouch.m_Touches[0];
    if (t0.pressed)
    {
        m_vAreaStart = m_vAreaEnd = m_vAreaCentre = q;
        m_vAreaHalf.Set(0.01f, 0.01f);
    }
    if (t0.down)
    {
        m_vAreaEnd = q;
        m_vAreaCentre.Set((m_vAreaStart.x + m_vAreaEnd.x) * 0.5f, (m_vAreaStart.y + m_vAreaEnd.y) * 0.5f);
        const float hx = (m_vAreaEnd.x - m_vAreaStart.x) * 0.5f, hy = (m_vAreaEnd.y - m_vAreaStart.y) * 0.5f;
        m_vAreaHalf.Set(hx < 0.0f ? -hx : hx, hy < 0.0f ? -hy : hy);
        m_rcArea = CKorvelRect<float>(m_vAreaCentre.x - m_vAreaHalf.x, m_vAreaCentre.y + m_vAreaHalf.y,
                                      m_vAreaCentre.x + m_vAreaHalf.x, m_vAreaCentre.y - m_vAreaHalf.y);
        FindSelectedBodies();
    }
    if (t0.released)
        SetAreaSelection(0);
}

void CMoxEditState::FindSelectedBodies()
{
    m_aSelected.Clear();
    if (!m_pPhysics)
        return;
    for (int i = 0; i < m_pPhysics->m_Bodies.GetCount(); ++i)
    {
        CBody* pBody = m_pPhysics->m_Bodies[i];
        const CMoxBox box = pBody->CurrentBox();
        if (box.right < m_rcArea.left || box.left > m_rcArea.right || box.top < m_rcArea.bottom ||
            box.bottom > m_rcArea.top)
            continue;
        m_aSelected.Add(pBody);
    }
}

void CMoxEditState::RemoveFromSelected(int iBlockId)
{
    for (int i = 0; i < m_aSelected.GetCount();)
    {
        CBlock* pBlock = BlockOfBody(m_aSelected[i]);
        if (pBlock && pBlock->m_uID == iBlockId)
            m_aSelected.RemoveAt(i);
        else
            ++i;
    }
}

void CMoxEditState::MoveSelected(int dx, int dy)
{
    CCamera& camera = Camera();
    auto move = [&camera](CBody* pBody, int iDx, int iDy)
    {
        signed char x, y;
        camera.Snap(pBody->m_vPosition, x, y);
        camera.UnSnap(AddCells(x, iDx), AddCells(y, iDy), &pBody->m_vPosition);
    };
    for (int i = 0; i < m_aSelected.GetCount(); ++i)
    {
        CBody* pBody = m_aSelected[i];
        move(pBody, dx, dy);
        CBlock* pBlock = BlockOfBody(pBody);
        if (m_bMirror && pBlock && pBlock->m_pTwin && pBlock->m_pTwin->m_pBody)
            move(pBlock->m_pTwin->m_pBody, -dx, dy);
    }
}
