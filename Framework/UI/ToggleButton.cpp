// Toggle button: the on and off looks and the flip on click.
#include "Framework/UI/ToggleButton.h"

KE_RETVAL CToggleButton::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                 const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CButton::Startup(pApp, pResources, area);
    SetCancellable(1);
    return r;
}

void CToggleButton::SetToggled(unsigned int uToggled)
{
    if (uToggled == m_uToggled)
        return;
    m_uToggled = uToggled;
    ApplyToggleLooks();
}

void CToggleButton::ApplyToggleLooks()
{
    const int iCount = m_aChildren.GetCount();
    if (iCount < 2)
        return;
    m_aChildren[iCount - 2]->SetVisible(m_uToggled ? 0 : 1);
    m_aChildren[iCount - 1]->SetVisible(m_uToggled ? 1 : 0);
}

void CToggleButton::ResetToggleLooks()
{
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->SetVisible(1);
    ApplyToggleLooks();
}

void CToggleButton::click()
{
    m_uToggled = m_uToggled ? 0 : 1;
    ApplyToggleLooks();
    CButton::click();
}

void CToggleButton::widgetAdded(CWidget* pWidget)
{
    CButton::widgetAdded(pWidget);
    ResetToggleLooks();
}

void CToggleButton::widgetRemoved(CWidget* pWidget)
{
    CButton::widgetRemoved(pWidget);
    ResetToggleLooks();
}
