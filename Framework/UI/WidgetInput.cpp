// Hit testing and input dispatch: presses pick the deepest hit widget and make it the
// current widget of the one they entered; keys follow the chain of current widgets; while
// a widget holds the capture, input reaching any widget outside its subtree goes to it.
#include "Framework/UI/Widget.h"

CWidget* CWidget::CaptureElsewhere() const
{
    CWidget* pActive = m_pActiveWidget;
    return (pActive && !HasParent(pActive)) ? pActive : nullptr;
}

CWidget* CWidget::FindWidget(int x, int y) const
{
    if (!TakesInput())
        return nullptr;
    for (int i = m_aChildren.GetCount() - 1; i >= 0; --i)
    {
        CWidget* pChild = m_aChildren[i];
        if (!pChild->GetVisible())
            continue;
        const CKorvelRect<int>& rc = pChild->m_rcArea;
        if (x < rc.left || x > rc.right || y < rc.top || y > rc.bottom)
            continue;
        int cx = x, cy = y;
        pChild->MapToClient(cx, cy);
        if (!pChild->PointIn(cx, cy))
            continue;
        if (!pChild->GetIgnoreChildren())
        {
            if (CWidget* pHit = pChild->FindWidget(cx, cy))
                return pHit;
        }
        // A disabled opaque child is returned too: it swallows the press.
        if (!pChild->GetTransparent())
            return pChild;
    }
    return nullptr;
}

int CWidget::DoMouseButton(unsigned int uButton, int x, int y)
{
    if (!TakesInput())
        return 0;
    if (CWidget* pActive = CaptureElsewhere())
    {
        pActive->MapFrom(this, x, y);
        return pActive->DoMouseButton(uButton, x, y);
    }
    CWidget* pHit = GetIgnoreChildren() ? nullptr : FindWidget(x, y);
    if (pHit)
    {
        CWidget* pPrevious = m_pCurrentWidget;
        if (pPrevious)
            pPrevious->loseFocus(pHit);
        pHit->gainFocus(pPrevious);
        m_pCurrentWidget = pHit;
        pHit->MapFrom(this, x, y);
        return pHit->DoMouseButton(uButton, x, y);
    }
    if (m_pCurrentWidget)
    {
        CWidget* pPrevious = m_pCurrentWidget;
        m_pCurrentWidget = nullptr;
        pPrevious->loseFocus(nullptr);
    }
    return mouseButton(uButton, x, y);
}

// Drag, release and wheel: the same routing as a press, without the current widget.
#define KORVEL_WIDGET_POINTER_DISPATCH(Do, hook, ButtonType)                                                 \
    int CWidget::Do(ButtonType uButton, int x, int y)                                                        \
    {                                                                                                        \
        if (!TakesInput())                                                                                   \
            return 0;                                                                                        \
        if (CWidget* pActive = CaptureElsewhere())                                                           \
        {                                                                                                    \
            pActive->MapFrom(this, x, y);                                                                    \
            return pActive->Do(uButton, x, y);                                                               \
        }                                                                                                    \
        if (CWidget* pHit = GetIgnoreChildren() ? nullptr : FindWidget(x, y))                                \
        {                                                                                                    \
            pHit->MapFrom(this, x, y);                                                                       \
            return pHit->Do(uButton, x, y);                                                                  \
        }                                                                                                    \
        return hook(uButton, x, y);                                                                          \
    }

KORVEL_WIDGET_POINTER_DISPATCH(DoMouseDrag, mouseDrag, unsigned int)
KORVEL_WIDGET_POINTER_DISPATCH(DoMouseButtonUp, mouseButtonUp, unsigned int)
KORVEL_WIDGET_POINTER_DISPATCH(DoMouseWheel, mouseWheel, int)

#undef KORVEL_WIDGET_POINTER_DISPATCH

int CWidget::DoKeyDown(eKET_KEYCODE eKey)
{
    if (!TakesInput())
        return 0;
    if (CWidget* pActive = CaptureElsewhere())
        return pActive->DoKeyDown(eKey);
    if (m_pCurrentWidget)
        return m_pCurrentWidget->DoKeyDown(eKey);
    return keyDown(eKey);
}

int CWidget::DoInputChar(unsigned short uChar)
{
    if (!TakesInput())
        return 0;
    if (CWidget* pActive = CaptureElsewhere())
        return pActive->DoInputChar(uChar);
    if (m_pCurrentWidget)
        return m_pCurrentWidget->DoInputChar(uChar);
    return inputChar(uChar);
}

void CWidget::DoResetMouse()
{
    if (CWidget* pActive = CaptureElsewhere())
    {
        pActive->DoResetMouse();
        return;
    }
    resetMouse();
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->DoResetMouse();
}

void CWidget::resetMouse()
{
    if (CWidget* pActive = m_pActiveWidget)
    {
        pActive->loseFocus(nullptr);
        m_pActiveWidget = nullptr;
    }
}
