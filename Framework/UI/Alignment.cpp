// Alignment: each child placed against the client area by its own size.
#include "Framework/UI/Alignment.h"

KE_RETVAL CAlignment::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                              const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CLayout::Startup(pApp, pResources, area);
    if (r != KE_OK)
        return r;
    m_uAlignment = 0;
    for (int& iBorder : m_aiBorder)
        iBorder = 0;
    SetTransparent(1);
    return r;
}

void CAlignment::SetAlignment(unsigned int uAlignment)
{
    m_uAlignment = uAlignment;
    SetUpdateNeeded(1);
}

int CAlignment::GetBorderSize(ESide eSide) const
{
    return (eSide >= SIDE_LEFT && eSide < SIDE_COUNT) ? m_aiBorder[eSide] : 0;
}

void CAlignment::SetBorderSize(ESide eSide, int iPixels)
{
    if (eSide >= SIDE_LEFT && eSide < SIDE_COUNT)
        m_aiBorder[eSide] = iPixels;
    SetUpdateNeeded(1);
}

namespace
{

// One axis, by mode 0 start, 1 centre, 2 stretch, 3 end. Centring ignores the borders and
// truncates toward zero.
void PlaceOnAxis(unsigned int uMode, int iLow, int iHigh, int iBorderLow, int iBorderHigh, int iSize,
                 int& iStart, int& iEnd)
{
    switch (uMode)
    {
    case 0:
        iStart = iLow + iBorderLow;
        iEnd = iStart + iSize;
        break;
    case 1:
        iStart = iLow + ((iHigh - iLow) - iSize) / 2;
        iEnd = iStart + iSize;
        break;
    case 2:
        iStart = iLow + iBorderLow;
        iEnd = iHigh - iBorderHigh;
        break;
    default:
        iEnd = iHigh - iBorderHigh;
        iStart = iEnd - iSize;
        break;
    }
}

} // namespace

// The horizontal modes are the vertical ones shifted by two bits.
static_assert((CAlignment::ALIGN_HCENTER >> 2) == CAlignment::ALIGN_VCENTER &&
                  (CAlignment::ALIGN_HSTRETCH >> 2) == CAlignment::ALIGN_VSTRETCH &&
                  (CAlignment::ALIGN_RIGHT >> 2) == CAlignment::ALIGN_BOTTOM,
              "alignment modes");

void CAlignment::arrangeChildren()
{
    const CKorvelRect<int> c = GetClientArea();
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        CKorvelRect<int> a = m_aChildren[i]->GetArea();
        const int w = a.right - a.left, h = a.bottom - a.top;
        PlaceOnAxis((m_uAlignment & ALIGN_HMASK) >> 2, c.left, c.right, m_aiBorder[SIDE_LEFT],
                    m_aiBorder[SIDE_RIGHT], w, a.left, a.right);
        PlaceOnAxis(m_uAlignment & ALIGN_VMASK, c.top, c.bottom, m_aiBorder[SIDE_TOP],
                    m_aiBorder[SIDE_BOTTOM], h, a.top, a.bottom);
        m_aChildren[i]->SetArea(a);
    }
}

void CAlignment::initializeClone(const CWidget& source)
{
    CLayout::initializeClone(source);
    const CAlignment* pSource = widget_cast<const CAlignment*>(&source);
    if (!pSource)
        return;
    SetAlignment(pSource->m_uAlignment);
    for (int i = SIDE_LEFT; i < SIDE_COUNT; ++i)
        SetBorderSize(static_cast<ESide>(i), pSource->m_aiBorder[i]);
}
