// A toggle button that switches its page view to a page when clicked and shows itself
// toggled while that page is visible. The page view is found by path at the first update.
#pragma once

#include "Framework/UI/ToggleButton.h"

class CPageView;

class CPageButton : public CToggleButton
{
public:
    CPageButton() : m_pPageView(nullptr) {}
    // Leaves the view's set, so that a button freed without its shutdown is not left behind there.
    ~CPageButton() override;

    // ---- added virtual operations, in slot order
    using CWidget::Clone;
    virtual CWidget* Clone() const { return nullptr; }
    // Unregisters from the old view and registers with the new one.
    virtual void SetPageView(CPageView* pView);

    CPageView* GetPageView() const { return m_pPageView; }
    void SetPagePath(const CKorvelString& strPath) { m_strPagePath = strPath; }
    const CKorvelString& GetPagePath() const { return m_strPagePath; }
    void SetPageViewPath(const CKorvelString& strPath) { m_strPageViewPath = strPath; }
    const CKorvelString& GetPageViewPath() const { return m_strPageViewPath; }

    // ---- overrides
    void click() override;
    KE_RETVAL update(float fSeconds) override;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CPageButton; }
    KORVEL_WIDGET_GETTYPE(CPageButton)

private:
    friend class CPageView;

    CKorvelString m_strPageViewPath;
    CKorvelString m_strPagePath;
    CPageView* m_pPageView; // not owned
};
