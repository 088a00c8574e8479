// Ratio divider: the first child's share of the length.
#include "Framework/UI/RatioDivider.h"

CRatioDivider::CRatioDivider()
    : m_fRatio(1.0f), m_iMinFirstItemSize(0), m_iMaxFirstItemSize(NO_MAXIMUM), m_eOrientation(HORIZONTAL)
{
}

void CRatioDivider::SetRatio(float fRatio)
{
    m_fRatio = fRatio;
    SetUpdateNeeded(1);
}

void CRatioDivider::SetMinFirstItemSize(int iSize)
{
    m_iMinFirstItemSize = iSize < 0 ? 0 : iSize;
    SetUpdateNeeded(1);
}

void CRatioDivider::SetMaxFirstItemSize(int iSize)
{
    m_iMaxFirstItemSize = iSize < 0 ? NO_MAXIMUM : iSize;
    SetUpdateNeeded(1);
}

void CRatioDivider::SetOrientation(EOrientation eOrientation)
{
    m_eOrientation = eOrientation;
    SetUpdateNeeded(1);
}

// Children after the second are not touched.
void CRatioDivider::arrangeChildren()
{
    const int iCount = m_aChildren.GetCount();
    if (iCount == 0 || !(m_fRatio > 0.0f))
        return;
    const int W = GetWidth(), H = GetHeight();
    const int L = m_eOrientation == HORIZONTAL ? W : H;
    int f = RoundAtMost(m_fRatio * static_cast<float>(L), m_iMaxFirstItemSize);
    if (f < m_iMinFirstItemSize)
        f = m_iMinFirstItemSize;
    if (f > m_iMaxFirstItemSize)
        f = m_iMaxFirstItemSize;
    if (m_eOrientation == HORIZONTAL)
    {
        m_aChildren[0]->SetArea(CKorvelRect<int>(0, 0, f, H));
        if (iCount >= 2)
            m_aChildren[1]->SetArea(CKorvelRect<int>(f, 0, W, H));
    }
    else
    {
        m_aChildren[0]->SetArea(CKorvelRect<int>(0, 0, W, f));
        if (iCount >= 2)
            m_aChildren[1]->SetArea(CKorvelRect<int>(0, f, W, H));
    }
}

void CRatioDivider::initializeClone(const CWidget& source)
{
    CLayout::initializeClone(source);
    const CRatioDivider* pSource = widget_cast<const CRatioDivider*>(&source);
    if (!pSource)
        return;
    SetRatio(pSource->m_fRatio);
    SetMinFirstItemSize(pSource->m_iMinFirstItemSize);
    SetMaxFirstItemSize(pSource->m_iMaxFirstItemSize);
    SetOrientation(pSource->m_eOrientation);
}
