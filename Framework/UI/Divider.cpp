// Divider: the aspect-sized split.
#include "Framework/UI/Divider.h"

CDivider::CDivider()
    : m_fAspect(1.0f), m_iMaxItemWidth(0x7FFFFFFF), m_iMaxItemHeight(0x7FFFFFFF),
      m_eOrientation(HORIZONTAL_LEFT)
{
}

void CDivider::SetAspect(float fAspect)
{
    m_fAspect = fAspect;
    SetUpdateNeeded(1);
}

void CDivider::SetMaxItemWidth(int iWidth)
{
    m_iMaxItemWidth = iWidth;
    SetUpdateNeeded(1);
}

void CDivider::SetMaxItemHeight(int iHeight)
{
    m_iMaxItemHeight = iHeight;
    SetUpdateNeeded(1);
}

void CDivider::SetOrientation(EOrientation eOrientation)
{
    m_eOrientation = eOrientation;
    SetUpdateNeeded(1);
}

// Children beyond the second alternate between the two regions.
void CDivider::arrangeChildren()
{
    const int iCount = m_aChildren.GetCount();
    if (iCount == 0 || !(m_fAspect > 0.0f))
        return;
    const int W = GetWidth(), H = GetHeight();
    CKorvelRect<int> rcFirst, rcSecond;
    if (m_eOrientation == HORIZONTAL_LEFT || m_eOrientation == HORIZONTAL_RIGHT)
    {
        const int h = m_iMaxItemHeight < H ? m_iMaxItemHeight : H;
        int s = RoundAtMost(m_fAspect * static_cast<float>(H), m_iMaxItemWidth);
        if (m_eOrientation == HORIZONTAL_RIGHT)
            s = W - s;
        rcFirst = CKorvelRect<int>(0, 0, s, h);
        rcSecond = CKorvelRect<int>(s, 0, W, h);
    }
    else
    {
        const int w = m_iMaxItemWidth < W ? m_iMaxItemWidth : W;
        int s = RoundAtMost(static_cast<float>(W) / m_fAspect, m_iMaxItemHeight);
        if (m_eOrientation == VERTICAL_BOTTOM)
            s = H - s;
        rcFirst = CKorvelRect<int>(0, 0, w, s);
        rcSecond = CKorvelRect<int>(0, s, w, H);
    }
    for (int i = 0; i < iCount; ++i)
        m_aChildren[i]->SetArea((i % 2) ? rcSecond : rcFirst);
}

void CDivider::initializeClone(const CWidget& source)
{
    CLayout::initializeClone(source);
    const CDivider* pSource = widget_cast<const CDivider*>(&source);
    if (!pSource)
        return;
    SetAspect(pSource->m_fAspect);
    SetMaxItemWidth(pSource->m_iMaxItemWidth);
    SetMaxItemHeight(pSource->m_iMaxItemHeight);
    SetOrientation(pSource->m_eOrientation);
}
