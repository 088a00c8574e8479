// Drawing with clipping, per-frame update, visibility and area changes.
#include "Framework/UI/Widget.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

KE_RETVAL CWidget::DoDraw(IKorvelGraphicsContext* pContext)
{
    return DrawAt(pContext, m_rcArea);
}

KE_RETVAL CWidget::DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    if (!GetVisible())
        return KE_OK;
    KE_RETVAL r = draw(pContext, rect);
    if (r != KE_OK)
        return r;
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        CWidget* pChild = m_aChildren[i];
        if (!pChild->GetVisible())
            continue;
        const CKorvelRect<int>& a = pChild->m_rcArea;
        const CKorvelRect<int> rcChild(a.left + rect.left, a.top + rect.top, a.right + rect.left,
                                       a.bottom + rect.top);
        if (rcChild.right < rect.left || rcChild.left > rect.right || rcChild.bottom < rect.top ||
            rcChild.top > rect.bottom)
            continue;
        // Children are clipped to this widget's rectangle, never beyond the clip in force.
        const CKorvelRect<int> rcSaved = pContext->m_rcClip;
        const CKorvelRect<int> rcClip(rect.left > rcSaved.left ? rect.left : rcSaved.left,
                                      rect.top > rcSaved.top ? rect.top : rcSaved.top,
                                      rect.right < rcSaved.right ? rect.right : rcSaved.right,
                                      rect.bottom < rcSaved.bottom ? rect.bottom : rcSaved.bottom);
        pContext->SetClipRect(&rcClip);
        r = pChild->DrawAt(pContext, rcChild);
        pContext->SetClipRect(&rcSaved);
        if (r != KE_OK)
            return r;
    }
    return KE_OK;
}

KE_RETVAL CWidget::DoUpdate(float fSeconds)
{
    if (!GetVisible())
        return KE_OK;
    KE_RETVAL r = update(fSeconds);
    if (r != KE_OK)
        return r;
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        r = m_aChildren[i]->DoUpdate(fSeconds);
        if (r != KE_OK)
            return r;
    }
    return KE_OK;
}

void CWidget::SetVisible(unsigned int uVisible)
{
    const unsigned int uNew = uVisible ? 1 : 0;
    if (uNew == GetVisible())
        return;
    SetFlag(FLAG_VISIBLE, uNew);
    visibilityChanged(uNew);
    if (m_pActiveWidget == this)
        m_pActiveWidget = nullptr;
}

void CWidget::visibilityChanged(unsigned int uVisible)
{
    (uVisible ? m_OnShow : m_OnHide).Call(this);
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        if (m_aChildren[i]->GetVisible())
            m_aChildren[i]->visibilityChanged(uVisible);
}

static bool SameRect(const CKorvelRect<int>& a, const CKorvelRect<int>& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void CWidget::SetArea(const CKorvelRect<int>& area)
{
    if (SameRect(area, m_rcArea))
        return;
    const CKorvelRect<int> rcOld = m_rcArea, rcNew = area;
    m_rcArea = rcNew;
    areaUpdated(rcOld, rcNew);
    if (m_pParent)
        m_pParent->SignalChildAreaUpdated(this, rcNew);
}

void CWidget::SetPosition(int x, int y)
{
    const CKorvelRect<int> rcOld = m_rcArea;
    const CKorvelRect<int> rcNew(x, y, x + rcOld.GetWidth(), y + rcOld.GetHeight());
    m_rcArea = rcNew;
    areaUpdated(rcOld, rcNew);
}

void CWidget::SignalChildAreaUpdated(CWidget* pChild, const CKorvelRect<int>& area)
{
    childAreaUpdated(pChild, area);
    if (m_pParent)
        m_pParent->SignalChildAreaUpdated(pChild, area);
}
