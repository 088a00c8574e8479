// A button that flips between two looks, its next-to-last child (off) and its last child
// (on), each time it is clicked.
#pragma once

#include "Framework/UI/Button.h"

class CToggleButton : public CButton
{
public:
    unsigned int GetToggled() const { return m_uToggled; }
    void SetToggled(unsigned int uToggled);

    // Flips the state and the looks, then OnClick, which sees the new state.
    void click() override;
    void widgetAdded(CWidget* pWidget) override;
    void widgetRemoved(CWidget* pWidget) override;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    CWidget* New() const override { return new CToggleButton; }
    KORVEL_WIDGET_GETTYPE(CToggleButton)

protected:
    // With two or more children: the next-to-last shows while off, the last while on.
    void ApplyToggleLooks();
    // Every child visible again, then the looks.
    void ResetToggleLooks();
};
