// Layout base: when the children are placed.
#include "Framework/UI/Layout.h"

#include <cmath>

KE_RETVAL CLayout::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                           const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CWidget::Startup(pApp, pResources, area);
    if (r == KE_OK)
        m_uUpdateNeeded = 0;
    return r;
}

void CLayout::widgetAdded(CWidget* pWidget)
{
    CWidget::widgetAdded(pWidget);
    arrangeChildren();
    m_uUpdateNeeded = 0;
}

void CLayout::widgetRemoved(CWidget* pWidget)
{
    CWidget::widgetRemoved(pWidget);
    m_uUpdateNeeded = 1;
}

void CLayout::childAreaUpdated(CWidget* pChild, const CKorvelRect<int>& area)
{
    m_uUpdateNeeded = 1;
    CWidget::childAreaUpdated(pChild, area);
}

void CLayout::areaUpdated(const CKorvelRect<int>& oldArea, const CKorvelRect<int>& newArea)
{
    if (oldArea.left != newArea.left || oldArea.top != newArea.top || oldArea.right != newArea.right ||
        oldArea.bottom != newArea.bottom)
        m_uUpdateNeeded = 1;
    CWidget::areaUpdated(oldArea, newArea);
}

// The child area changes that arrangeChildren itself makes are cleared with the flag.
KE_RETVAL CLayout::update(float fSeconds)
{
    const KE_RETVAL r = CWidget::update(fSeconds);
    if (r != KE_OK)
        return r;
    if (m_uUpdateNeeded)
    {
        if (GetWidth() > 0 && GetHeight() > 0)
            arrangeChildren();
        m_uUpdateNeeded = 0;
    }
    return KE_OK;
}

int CLayout::RoundAtMost(float x, int iMax)
{
    const float fRounded = floorf(x + 0.5f);
    // Also keeps a huge or undefined value from being converted to int.
    if (!(fRounded < static_cast<float>(iMax)))
        return iMax;
    if (fRounded < -1073741824.0f)
        return -1073741824;
    return static_cast<int>(fRounded);
}
