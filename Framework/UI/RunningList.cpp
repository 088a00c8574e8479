// Running list: adding, trimming and clearing the log, and the template taken at the first
// update.
#include "Framework/UI/RunningList.h"

CRunningList::CRunningList()
    : m_pItemTemplate(nullptr), m_uBottomAnchored(1), m_uTemplatePending(1), m_uAutoScroll(1),
      m_iMaxItemCount(0), m_iItemCounter(0), m_fScrollTime(0.0f)
{
}

KE_RETVAL CRunningList::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CGridLayout::Startup(pApp, pResources, area);
    if (r != KE_OK)
        return r;
    SetLayoutMode(LAYOUT_LIST);
    SetNumColumns(1);
    SetNumRows(0);
    return KE_OK;
}

void CRunningList::Shutdown()
{
    Clear();
    if (m_pItemTemplate)
    {
        m_pItemTemplate->Shutdown();
        delete m_pItemTemplate;
        m_pItemTemplate = nullptr;
    }
    CGridLayout::Shutdown();
}

void CRunningList::AddItem(CWidget* pItem)
{
    if (!pItem)
        return;
    const int m = m_aChildren.GetCount();
    ++m_iItemCounter;
    CKorvelString strName;
    strName.Format(L"%d", m_iItemCounter);
    pItem->SetName(strName);
    if (m_uBottomAnchored)
    {
        AddWidget(pItem);
        // The list grows upward from its bottom edge while it is lower than its parent, which
        // cuts off what passes its top.
        CWidget* pParent = GetParent();
        if (pParent && GetHeight() < pParent->GetHeight())
        {
            CKorvelRect<int> rc = GetArea();
            rc.top -= pItem->GetHeight() + GetVerticalItemSpacing();
            SetArea(rc);
        }
    }
    else
        InsertWidget(pItem, 0);
    if (m_iMaxItemCount > 0 && m_iMaxItemCount < m)
        RemoveItem();
    if (!m_uAutoScroll)
        return;
    // Past the content's end: the scroll stops where the newest item's bottom is the list's.
    if (m_uBottomAnchored)
        scrollTo(0, GetClientArea().bottom, 0.0f, 0.0f);
    else
        scrollTo(0, 0, m_fScrollTime, 0.0f);
}

void CRunningList::RemoveItem()
{
    const int n = m_aChildren.GetCount();
    if (n == 0)
        return;
    CWidget* pItem = m_aChildren[m_uBottomAnchored ? 0 : n - 1];
    // The oldest leaves the top: the rest moves up by its height and one spacing.
    if (m_uBottomAnchored)
        SetTop(GetTop() - pItem->GetHeight() - GetVerticalItemSpacing());
    RemoveWidget(pItem);
    pItem->Shutdown();
    delete pItem;
}

void CRunningList::Clear()
{
    for (int i = m_aChildren.GetCount() - 1; i >= 0; --i)
    {
        CWidget* pItem = m_aChildren[i];
        RemoveWidget(pItem);
        pItem->Shutdown();
        delete pItem;
    }
    if (m_uBottomAnchored)
    {
        CKorvelRect<int> rc = GetArea();
        rc.top = rc.bottom - 2 * GetVerticalItemSpacing();
        SetArea(rc);
    }
    scrollTo(0, 0, 0.0f, 0.0f);
}

KE_RETVAL CRunningList::update(float fSeconds)
{
    if (m_uTemplatePending)
    {
        m_pItemTemplate = ExtractTemplate(CKorvelString("item_template"));
        if (m_pItemTemplate)
        {
            m_uTemplatePending = 0;
            Clear();
        }
    }
    return CGridLayout::update(fSeconds);
}
