// Two regions side by side or one above the other, one of them sized by an aspect ratio
// of the divider's height (or width); even children go to the first region, odd ones to
// the second.
#pragma once

#include "Framework/UI/Layout.h"

class CDivider : public CLayout
{
public:
    enum EOrientation
    {
        HORIZONTAL_LEFT = 0,  // the aspect-sized region on the left
        VERTICAL_TOP = 1,     // on top
        HORIZONTAL_RIGHT = 2, // on the right
        VERTICAL_BOTTOM = 3   // at the bottom
    };

    CDivider();

    float GetAspect() const { return m_fAspect; }
    void SetAspect(float fAspect);
    int GetMaxItemWidth() const { return m_iMaxItemWidth; }
    void SetMaxItemWidth(int iWidth);
    int GetMaxItemHeight() const { return m_iMaxItemHeight; }
    void SetMaxItemHeight(int iHeight);
    EOrientation GetOrientation() const { return m_eOrientation; }
    void SetOrientation(EOrientation eOrientation);

    void arrangeChildren() override;
    CWidget* New() const override { return new CDivider; }
    KORVEL_WIDGET_GETTYPE(CDivider)
    void initializeClone(const CWidget& source) override;

private:
    float m_fAspect;
    int m_iMaxItemWidth;
    int m_iMaxItemHeight;
    EOrientation m_eOrientation;
};
