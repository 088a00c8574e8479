// Scrolling area: press, drag and release, the fling after a fast release, and the
// per-frame work that runs the fling and the scroll widgets.
#include "Framework/UI/SlideArea.h"

#include <cmath>

#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/ImageWidget.h"

namespace
{
// Releases slower than this (pixels per second, squared) end without a fling.
const float MIN_FLING_SPEED_SQ = 100.0f;
// A drag held longer than this (seconds) ends without a fling.
const float MAX_FLING_DRAG_TIME = 1.0f;
} // namespace

CKorvelVector2 CSlideArea::FlingOffset() const
{
    // Progress runs from 1 down to 0. Kept within the curve's range so that a frame that
    // overshoots the end, or an animation extended past its duration, cannot overshoot.
    float t = m_fFlingDuration > 0.0f ? m_fFlingTime / m_fFlingDuration : 0.0f;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    const float c = m_pFlingCurve ? m_pFlingCurve->Easing(t) : 1.0f;
    return CKorvelVector2(c * m_vFlingDistance.x, c * m_vFlingDistance.y);
}

void CSlideArea::StopFling()
{
    m_vOffset.Set(0.0f, 0.0f);
    m_vFlingDistance.Set(0.0f, 0.0f);
    m_fFlingTime = 0.0f;
    m_fFlingDuration = FLING_DURATION;
    endScroll();
}

void CSlideArea::FinishFling()
{
    scroll(0, RoundInt(FlingOffset().y));
    StopFling();
}

void CSlideArea::ForgetPressedChild()
{
    CWidget* pChild = m_pPressedChild;
    m_pPressedChild = nullptr;
    if (pChild)
        pChild->DoResetMouse();
}

int CSlideArea::mouseButton(unsigned int uButton, int x, int y)
{
    if (!GetAllowDrag())
    {
        m_pPressedChild = FindWidget(x, y);
        if (!m_pPressedChild)
            return CLayout::mouseButton(uButton, x, y);
        CWidget* pChild = m_pPressedChild;
        pChild->MapFrom(this, x, y);
        pChild->Focus();
        const int iResult = pChild->DoMouseButton(uButton, x, y);
        // A child that took the capture is sent its release straight from the root, which this
        // area never sees: kept, the pointer would outlive the child.
        if (HasParent(GetActiveWidget(), pChild))
            m_pPressedChild = nullptr;
        return iResult;
    }

    if (m_fFlingTime >= 0.0f)
        FinishFling();
    int px = x, py = y;
    MapFromClient(px, py);
    m_iPressX = px;
    m_iPressY = py;
    m_vOffset.Set(0.0f, 0.0f);
    m_fDragTime = 0.0f;
    m_uScrollFlags &= ~FLAG_DRAGGING;
    beginScroll();

    int iResult = 1;
    m_pPressedChild = FindWidget(x, y);
    if (!m_pPressedChild)
        m_fBarTimer = BAR_SHOW_TIME;
    else
    {
        m_pPressedChild->MapFrom(this, x, y);
        iResult = m_pPressedChild->DoMouseButton(uButton, x, y);
    }
    SetActiveWidget(this);
    return iResult;
}

int CSlideArea::mouseDrag(unsigned int uButton, int x, int y)
{
    if (GetAllowDrag())
    {
        if (GetActiveWidget() != this)
            return 0;
        int px = x, py = y;
        MapFromClient(px, py);
        m_vOffset.Set(0.0f, roundf(static_cast<float>(m_iPressY - py)));
        if (!(m_uScrollFlags & FLAG_DRAGGING))
        {
            // Once past the threshold the whole distance counts, not only the part beyond it.
            if (m_vOffset.LengthSq() <= m_vThreshold.LengthSq())
                m_vOffset.Set(0.0f, 0.0f);
            else if (m_vOffset.x != 0.0f || m_vOffset.y != 0.0f)
                m_uScrollFlags |= FLAG_DRAGGING;
        }
        m_fBarTimer = BAR_SHOW_TIME;
        if (m_uScrollFlags & FLAG_DRAGGING)
            return CLayout::mouseDrag(uButton, px, py);
    }

    if (!m_pPressedChild)
        return 1;
    CWidget* pPrevious = GetActiveWidget();
    if (FindWidget(x, y) != m_pPressedChild)
    {
        ForgetPressedChild();
        // The child's reset gives up the capture, which the area still needs for the gesture.
        if (pPrevious == this)
            SetActiveWidget(this);
        return 1;
    }
    CWidget* pChild = m_pPressedChild;
    SetActiveWidget(pChild);
    pChild->MapFrom(this, x, y);
    const int iResult = pChild->DoMouseDrag(uButton, x, y);
    SetActiveWidget(pPrevious);
    return iResult;
}

int CSlideArea::mouseButtonUp(unsigned int uButton, int x, int y)
{
    if (!GetAllowDrag())
    {
        CWidget* pChild = m_pPressedChild;
        m_pPressedChild = nullptr;
        if (pChild)
        {
            pChild->MapFrom(this, x, y);
            SetActiveWidget(pChild);
            pChild->DoMouseButtonUp(uButton, x, y);
            // The capture was lent for the release only.
            if (GetActiveWidget() == pChild)
                SetActiveWidget(nullptr);
        }
        return 1;
    }
    if (GetActiveWidget() != this)
        return 0;
    SetActiveWidget(nullptr);
    int px = x, py = y;
    MapFromClient(px, py);
    m_vOffset.Set(0.0f, roundf(static_cast<float>(m_iPressY - py)));

    if (m_vOffset.LengthSq() > m_vThreshold.LengthSq())
    {
        ForgetPressedChild();
        scroll(RoundInt(m_vOffset.x), RoundInt(m_vOffset.y));
        // A release in the frame of its press has no measurable speed: no fling.
        bool bFling = false;
        if (m_fDragTime > 0.0f)
        {
            const CKorvelVector2 v(m_vOffset.x / m_fDragTime, m_vOffset.y / m_fDragTime);
            if (v.LengthSq() > MIN_FLING_SPEED_SQ && m_fDragTime <= MAX_FLING_DRAG_TIME)
            {
                m_fFlingTime = m_fFlingDuration = FLING_DURATION;
                m_vFlingDistance.Set(v.x * FLING_FACTOR, v.y * FLING_FACTOR);
                bFling = true;
            }
        }
        if (!bFling)
        {
            m_vFlingDistance.Set(0.0f, 0.0f);
            m_fFlingTime = 0.0f;
            m_fFlingDuration = FLING_DURATION;
            endScroll();
        }
    }
    else
    {
        // A tap; the scroll session ends at the next press.
        CWidget* pChild = m_pPressedChild;
        m_pPressedChild = nullptr;
        if (pChild && !(m_uScrollFlags & FLAG_DRAGGING))
        {
            pChild->MapFrom(this, x, y);
            SetActiveWidget(pChild);
            pChild->Focus();
            pChild->DoMouseButtonUp(uButton, x, y);
            SetActiveWidget(nullptr);
        }
        else
        {
            if (pChild)
                pChild->DoResetMouse();
            scroll(RoundInt(m_vOffset.x), RoundInt(m_vOffset.y));
        }
    }
    m_vOffset.Set(0.0f, 0.0f);
    return 1;
}

void CSlideArea::resetMouse()
{
    if (GetActiveWidget() == this)
    {
        ForgetPressedChild();
        SetActiveWidget(nullptr);
        endScroll();
    }
    CLayout::resetMouse();
}

KE_RETVAL CSlideArea::DoUpdate(float fSeconds)
{
    if (GetActiveWidget() == this)
        m_fDragTime += fSeconds;
    else if (m_fFlingTime > 0.0f)
    {
        m_fFlingTime -= fSeconds;
        m_vOffset = FlingOffset();
        if (m_fFlingTime <= 0.0f)
        {
            scroll(RoundInt(m_vOffset.x), RoundInt(m_vOffset.y));
            StopFling();
        }
    }
    updateScrollWidgets();
    for (CWidget* pArrow : m_apArrows)
        if (pArrow && pArrow->GetVisible())
            pArrow->DoUpdate(fSeconds);
    m_fBarTimer = m_fBarTimer - fSeconds > 0.0f ? m_fBarTimer - fSeconds : 0.0f;
    if (m_pHorizontalBar)
        m_pHorizontalBar->DoUpdate(fSeconds);
    if (m_pVerticalBar)
        m_pVerticalBar->DoUpdate(fSeconds);
    return CLayout::DoUpdate(fSeconds);
}
