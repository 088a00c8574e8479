// The base of widgets that place their children: a flag raised whenever the tree or an
// area changes, and arrangeChildren run at the next update (at once when a child is
// added). A layout of zero width or height is not arranged by the update.
#pragma once

#include "Framework/UI/Widget.h"

class CLayout : public CWidget
{
public:
    CLayout() : m_uUpdateNeeded(0) {}

    // ---- added virtual operation
    virtual void arrangeChildren() = 0;

    unsigned int GetUpdateNeeded() const { return m_uUpdateNeeded; }
    void SetUpdateNeeded(unsigned int uNeeded) { m_uUpdateNeeded = uNeeded; }

    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void widgetAdded(CWidget* pWidget) override;
    void widgetRemoved(CWidget* pWidget) override;
    void childAreaUpdated(CWidget* pChild, const CKorvelRect<int>& area) override;
    void areaUpdated(const CKorvelRect<int>& oldArea, const CKorvelRect<int>& newArea) override;
    KE_RETVAL update(float fSeconds) override;
    KORVEL_WIDGET_GETTYPE(CLayout)

protected:
    // round(x) of the layouts: floor(x + 0.5) in single precision, at most iMax.
    static int RoundAtMost(float x, int iMax);

private:
    unsigned int m_uUpdateNeeded;
};
