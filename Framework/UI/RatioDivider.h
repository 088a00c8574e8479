// Two children split along one axis: the first gets ratio x the length, kept between a
// minimum and a maximum (the maximum wins when they cross), the second the rest.
#pragma once

#include "Framework/UI/Layout.h"

class CRatioDivider : public CLayout
{
public:
    enum EOrientation
    {
        HORIZONTAL = 0, // first child on the left
        VERTICAL = 1    // first child on top
    };
    static const int NO_MAXIMUM = 1073741824;

    CRatioDivider();

    float GetRatio() const { return m_fRatio; }
    void SetRatio(float fRatio);
    int GetMinFirstItemSize() const { return m_iMinFirstItemSize; }
    // A negative size is stored as 0.
    void SetMinFirstItemSize(int iSize);
    int GetMaxFirstItemSize() const { return m_iMaxFirstItemSize; }
    // A negative size is stored as NO_MAXIMUM.
    void SetMaxFirstItemSize(int iSize);
    EOrientation GetOrientation() const { return m_eOrientation; }
    void SetOrientation(EOrientation eOrientation);

    void arrangeChildren() override;
    CWidget* New() const override { return new CRatioDivider; }
    KORVEL_WIDGET_GETTYPE(CRatioDivider)
    void initializeClone(const CWidget& source) override;

private:
    float m_fRatio;
    int m_iMinFirstItemSize;
    int m_iMaxFirstItemSize;
    EOrientation m_eOrientation;
};
