// Page button: finding and registering with its page view, and switching pages on click.
#include "Framework/UI/PageButton.h"

#include "Framework/UI/PageView.h"

CPageButton::~CPageButton()
{
    if (m_pPageView)
        m_pPageView->UnregisterPageButton(this);
}

void CPageButton::SetPageView(CPageView* pView)
{
    if (pView == m_pPageView)
        return;
    if (m_pPageView)
        m_pPageView->UnregisterPageButton(this);
    m_pPageView = pView;
    if (m_pPageView)
        m_pPageView->RegisterPageButton(this);
}

KE_RETVAL CPageButton::update(float fSeconds)
{
    const KE_RETVAL r = CToggleButton::update(fSeconds);
    if (r == KE_OK && !m_pPageView)
        if (CPageView* pView = widget_cast<CPageView*>(FindWidgetByPath(m_strPageViewPath)))
            SetPageView(pView);
    return r;
}

void CPageButton::click()
{
    CToggleButton::click();
    if (m_pPageView)
        m_pPageView->SwitchToPage(m_strPagePath);
}

KE_RETVAL CPageButton::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                               const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CToggleButton::Startup(pApp, pResources, area);
    if (r == KE_OK)
        SetPageView(nullptr);
    return r;
}

void CPageButton::Shutdown()
{
    SetPageView(nullptr);
    CToggleButton::Shutdown();
}
