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

// Centring ignores the borders and truncates toward zero.
void CAlignment::arrangeChildren()
{
    const CKorvelRect<int> c = GetClientArea();
    const int bl = m_aiBorder[SIDE_LEFT], bt = m_aiBorder[SIDE_TOP];
    const int br = m_aiBorder[SIDE_RIGHT], bb = m_aiBorder[SIDE_BOTTOM];
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        CKorvelRect<int> a = m_aChildren[i]->GetArea();
        const int w = a.right - a.left, h = a.bottom - a.top;
        switch (m_uAlignment & ALIGN_HMASK)
        {
        case ALIGN_LEFT:
            a.left = c.left + bl;
            a.right = a.left + w;
            break;
        case ALIGN_HCENTER:
            a.left = c.left + ((c.right - c.left) - w) / 2;
            a.right = a.left + w;
            break;
        case ALIGN_HSTRETCH:
            a.left = c.left + bl;
            a.right = c.right - br;
            break;
        default:
            a.right = c.right - br;
            a.left = a.right - w;
            break;
        }
        switch (m_uAlignment & ALIGN_VMASK)
        {
        case ALIGN_TOP:
            a.top = c.top + bt;
            a.bottom = a.top + h;
            break;
        case ALIGN_VCENTER:
            a.top = c.top + ((c.bottom - c.top) - h) / 2;
            a.bottom = a.top + h;
            break;
        case ALIGN_VSTRETCH:
            a.top = c.top + bt;
            a.bottom = c.bottom - bb;
            break;
        default:
            a.bottom = c.bottom - bb;
            a.top = a.bottom - h;
            break;
        }
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
