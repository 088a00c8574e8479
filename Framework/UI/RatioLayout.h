// Gives every child the largest rectangle of a given aspect (width / height) inside the
// client area, placed by the positioning (0 left or top, 0.5 centred, 1 right or bottom).
#pragma once

#include "Framework/UI/Layout.h"

class CAspectLayout : public CLayout
{
public:
    CAspectLayout() : m_fAspect(1.0f), m_fPositioning(0.5f) {}

    float GetAspect() const { return m_fAspect; }
    void SetAspect(float fAspect);
    float GetPositioning() const { return m_fPositioning; }
    void SetPositioning(float fPositioning);
    // The rectangle last given to the children.
    const CKorvelRect<int>& GetFittedArea() const { return m_rcFitted; }

    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void arrangeChildren() override;
    CWidget* New() const override { return new CAspectLayout; }
    KORVEL_WIDGET_GETTYPE(CAspectLayout)
    void initializeClone(const CWidget& source) override;

private:
    float m_fAspect;
    float m_fPositioning;
    CKorvelRect<int> m_rcFitted;
};
