// Aspect layout: one fitted rectangle for every child.
#include "Framework/UI/RatioLayout.h"

KE_RETVAL CAspectLayout::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                 const CKorvelRect<int>& area)
{
    m_fAspect = 1.0f;
    m_fPositioning = 0.5f;
    const KE_RETVAL r = CLayout::Startup(pApp, pResources, area);
    if (r == KE_OK)
        m_rcFitted = area;
    return r;
}

void CAspectLayout::SetAspect(float fAspect)
{
    m_fAspect = fAspect;
    SetUpdateNeeded(1);
}

void CAspectLayout::SetPositioning(float fPositioning)
{
    m_fPositioning = fPositioning;
    SetUpdateNeeded(1);
}

void CAspectLayout::arrangeChildren()
{
    m_rcFitted = GetClientArea();
    if (!FitAspect(m_rcFitted, m_fAspect, m_fPositioning))
        return;
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->SetArea(m_rcFitted);
}

void CAspectLayout::initializeClone(const CWidget& source)
{
    CLayout::initializeClone(source);
    const CAspectLayout* pSource = widget_cast<const CAspectLayout*>(&source);
    if (!pSource)
        return;
    SetAspect(pSource->m_fAspect);
    SetPositioning(pSource->m_fPositioning);
}
