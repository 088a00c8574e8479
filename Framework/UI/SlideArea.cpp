// Scrolling area: life cycle, positions, animated scrolling and cloning.
#include "Framework/UI/SlideArea.h"

#include <cmath>

#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/ImageWidget.h"

const float CSlideArea::FLING_DURATION = 1.0f;
const float CSlideArea::FLING_FACTOR = 0.2f;
const float CSlideArea::BAR_SHOW_TIME = 2.0f;

CSlideArea::CSlideArea()
    : m_rcContent(0, 0, 0, 0), m_iPositionX(0), m_iPositionY(0), m_iPressX(0), m_iPressY(0),
      m_vOffset(0.0f, 0.0f), m_vFlingDistance(0.0f, 0.0f), m_vThreshold(0.0f, 0.0f), m_fDragTime(0.0f),
      m_fFlingTime(0.0f), m_fFlingDuration(FLING_DURATION), m_pPressedChild(nullptr),
      m_pFlingCurve(nullptr), m_apArrows{nullptr, nullptr, nullptr, nullptr}, m_pHorizontalBar(nullptr),
      m_pVerticalBar(nullptr), m_uScrollFlags(0), m_fBarTimer(0.0f), m_pFadeCurve(nullptr)
{
}

KE_RETVAL CSlideArea::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                              const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CLayout::Startup(pApp, pResources, area);
    if (r != KE_OK)
        return r;
    m_uScrollFlags = FLAG_TAKE_TEMPLATES;
    m_rcContent = CKorvelRect<int>(0, 0, 0, 0);
    m_iPositionX = m_iPositionY = m_iPressX = m_iPressY = 0;
    m_vOffset.Set(0.0f, 0.0f);
    m_vFlingDistance.Set(0.0f, 0.0f);
    m_vThreshold.Set(0.0f, 0.0f);
    m_fDragTime = m_fFlingTime = m_fBarTimer = 0.0f;
    m_fFlingDuration = FLING_DURATION;
    SetIgnoreChildren(1);
    m_pPressedChild = nullptr;
    DeleteScrollWidgets();
    delete m_pFlingCurve;
    delete m_pFadeCurve;
    m_pFlingCurve = new CEasingCurveOneMinusPow5;
    m_pFadeCurve = new CEasingCurveOneMinusPow8;
    return KE_OK;
}

void CSlideArea::DeleteScrollWidgets()
{
    CWidget* apOwned[6] = {m_apArrows[0], m_apArrows[1],    m_apArrows[2],
                           m_apArrows[3], m_pHorizontalBar, m_pVerticalBar};
    for (CWidget* pWidget : apOwned)
        if (pWidget)
        {
            pWidget->Shutdown();
            delete pWidget;
        }
    for (CWidget*& pArrow : m_apArrows)
        pArrow = nullptr;
    m_pHorizontalBar = m_pVerticalBar = nullptr;
}

void CSlideArea::Shutdown()
{
    DeleteScrollWidgets();
    delete m_pFlingCurve;
    delete m_pFadeCurve;
    m_pFlingCurve = m_pFadeCurve = nullptr;
    m_pPressedChild = nullptr;
    CLayout::Shutdown();
}

int CSlideArea::RoundInt(float v)
{
    // Positions stay far inside int; an undefined value counts as 0.
    const float fRounded = floorf(v + 0.5f);
    if (!(fRounded == fRounded))
        return 0;
    return fRounded > 1e9f ? 1000000000 : (fRounded < -1e9f ? -1000000000 : static_cast<int>(fRounded));
}

int CSlideArea::GetShownX() const
{
    return clampOffsetX(RoundInt(static_cast<float>(m_iPositionX) + m_vOffset.x));
}

int CSlideArea::GetShownY() const
{
    return clampOffsetY(RoundInt(static_cast<float>(m_iPositionY) + m_vOffset.y));
}

CKorvelRect<int> CSlideArea::GetVisibleArea() const
{
    return CKorvelRect<int>(GetLeft(), GetTop(), GetLeft() + GetWidth(), GetTop() + GetHeight());
}

int CSlideArea::GetTop() const
{
    return m_iPositionY + RoundInt(m_vOffset.y);
}

void CSlideArea::SetTop(int iTop)
{
    m_iPositionY = iTop - RoundInt(m_vOffset.y);
}

int CSlideArea::GetLeft() const
{
    return m_iPositionX + RoundInt(m_vOffset.x);
}

void CSlideArea::SetLeft(int iLeft)
{
    m_iPositionX = iLeft - RoundInt(m_vOffset.x);
}

int CSlideArea::GetHorizontalOffset() const
{
    return RoundInt(m_vOffset.x);
}

int CSlideArea::GetVerticalOffset() const
{
    return RoundInt(m_vOffset.y);
}

void CSlideArea::scroll(int dx, int dy)
{
    m_iPositionX = clampOffsetX(m_iPositionX + dx);
    m_iPositionY = clampOffsetY(m_iPositionY + dy);
}

void CSlideArea::scrollTo(int x, int y, float fTime, float /*fUnused*/)
{
    if (fTime > 0.0f)
    {
        m_fFlingDuration = fTime;
        m_fFlingTime += fTime;
        m_vFlingDistance.x += static_cast<float>(x - m_iPositionX);
        m_vFlingDistance.y += static_cast<float>(y - m_iPositionY);
        return;
    }
    scroll(x - m_iPositionX, y - m_iPositionY);
}

int CSlideArea::clampOffsetX(int /*x*/) const
{
    return 0;
}

int CSlideArea::clampOffsetY(int y) const
{
    const int iFromTop = y - m_rcContent.top > 0 ? y - m_rcContent.top : 0;
    const int iExtra = m_rcContent.bottom - m_rcContent.top - GetHeight();
    const int iMax = iExtra > 0 ? iExtra : 0;
    return iFromTop < iMax ? iFromTop : iMax;
}

void CSlideArea::beginScroll()
{
    m_uScrollFlags |= FLAG_SCROLLING;
    m_OnBeginScroll.Call(this);
}

void CSlideArea::endScroll()
{
    m_uScrollFlags &= ~FLAG_SCROLLING;
    m_OnEndScroll.Call(this);
}

void CSlideArea::SetAllowDrag(unsigned int uAllow)
{
    const unsigned int uOn = uAllow & 1;
    m_uScrollFlags = uOn ? (m_uScrollFlags | FLAG_ALLOW_DRAG) : (m_uScrollFlags & ~FLAG_ALLOW_DRAG);
    SetIgnoreChildren(uOn);
    SetTransparent(uOn ^ 1);
}

void CSlideArea::MapToClient(int& x, int& y) const
{
    CLayout::MapToClient(x, y);
    x += GetShownX();
    y += GetShownY();
}

void CSlideArea::MapFromClient(int& x, int& y) const
{
    x -= GetShownX();
    y -= GetShownY();
    CLayout::MapFromClient(x, y);
}

void CSlideArea::MeasureContent()
{
    CKorvelRect<int> rc(0, 0, GetWidth(), GetHeight());
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        const CKorvelRect<int>& a = m_aChildren[i]->GetArea();
        rc.left = a.left < rc.left ? a.left : rc.left;
        rc.top = a.top < rc.top ? a.top : rc.top;
        rc.right = a.right > rc.right ? a.right : rc.right;
        rc.bottom = a.bottom > rc.bottom ? a.bottom : rc.bottom;
    }
    m_rcContent = rc;
}

void CSlideArea::arrangeChildren()
{
    MeasureContent();
}

void CSlideArea::widgetRemoved(CWidget* pWidget)
{
    // The pressed widget may sit deeper inside the child that leaves.
    if (m_pPressedChild && m_pPressedChild->HasParent(pWidget))
        m_pPressedChild = nullptr;
    CLayout::widgetRemoved(pWidget);
}

void CSlideArea::visibilityChanged(unsigned int uVisible)
{
    m_fBarTimer = uVisible ? BAR_SHOW_TIME : 0.0f;
    CLayout::visibilityChanged(uVisible);
}

CImageWidget* CSlideArea::CloneBar(CImageWidget* pBar)
{
    return pBar ? static_cast<CImageWidget*>(pBar->Clone()) : nullptr;
}

void CSlideArea::initializeClone(const CWidget& source)
{
    CLayout::initializeClone(source);
    const CSlideArea* pSource = widget_cast<const CSlideArea*>(&source);
    if (!pSource)
        return;
    delete m_pFlingCurve;
    delete m_pFadeCurve;
    m_pFlingCurve = pSource->m_pFlingCurve ? pSource->m_pFlingCurve->Clone() : new CEasingCurveOneMinusPow5;
    m_pFadeCurve = pSource->m_pFadeCurve ? pSource->m_pFadeCurve->Clone() : new CEasingCurveOneMinusPow8;
    m_iPositionX = pSource->m_iPositionX;
    m_iPositionY = pSource->m_iPositionY;
    m_vFlingDistance = pSource->m_vFlingDistance;
    m_vThreshold = pSource->m_vThreshold;
    m_rcContent = pSource->m_rcContent;
    SetAllowDrag(pSource->GetAllowDrag());
    m_vOffset.Set(0.0f, 0.0f);
    m_fDragTime = m_fFlingTime = 0.0f;
    m_fFlingDuration = FLING_DURATION;
    // A widget being re-initialised for reuse may hold scroll widgets of its own already.
    DeleteScrollWidgets();
    for (int i = 0; i < 4; ++i)
        m_apArrows[i] = pSource->m_apArrows[i] ? pSource->m_apArrows[i]->Clone() : nullptr;
    m_pHorizontalBar = CloneBar(pSource->m_pHorizontalBar);
    m_pVerticalBar = CloneBar(pSource->m_pVerticalBar);
    m_uScrollFlags =
        (m_uScrollFlags & ~FLAG_TAKE_TEMPLATES) | (pSource->m_uScrollFlags & FLAG_TAKE_TEMPLATES);
}
