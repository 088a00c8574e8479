// Aligns each child, at its own size, against the client area with a border per side, or
// stretches it along an axis. Transparent: presses pass through to what lies below.
#pragma once

#include "Framework/UI/Layout.h"

class CAlignment : public CLayout
{
public:
    // Alignment flags: bits 2-3 horizontal, bits 0-1 vertical.
    enum : unsigned int
    {
        ALIGN_LEFT = 0,
        ALIGN_HCENTER = 4,
        ALIGN_HSTRETCH = 8,
        ALIGN_RIGHT = 12,
        ALIGN_HMASK = 12,
        ALIGN_TOP = 0,
        ALIGN_VCENTER = 1,
        ALIGN_VSTRETCH = 2,
        ALIGN_BOTTOM = 3,
        ALIGN_VMASK = 3
    };
    enum ESide
    {
        SIDE_LEFT = 0,
        SIDE_TOP = 1,
        SIDE_RIGHT = 2,
        SIDE_BOTTOM = 3,
        SIDE_COUNT = 4
    };

    CAlignment() : m_uAlignment(0), m_aiBorder{0, 0, 0, 0} {}

    unsigned int GetAlignment() const { return m_uAlignment; }
    void SetAlignment(unsigned int uAlignment);
    // 0 for a side outside the four.
    int GetBorderSize(ESide eSide) const;
    void SetBorderSize(ESide eSide, int iPixels);

    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void arrangeChildren() override;
    CWidget* New() const override { return new CAlignment; }
    KORVEL_WIDGET_GETTYPE(CAlignment)
    void initializeClone(const CWidget& source) override;

private:
    unsigned int m_uAlignment;
    int m_aiBorder[SIDE_COUNT];
};
