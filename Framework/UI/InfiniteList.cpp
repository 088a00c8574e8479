// Infinite list: life cycle, templates, count and groups, clearing, and the making of
// headers and items through the owner's callbacks.
#include "Framework/UI/InfiniteList.h"

#include "Framework/UI/Expandable.h"

namespace
{
const char* const GROUP_NAME = "group";
const char* const SEPARATOR_NAME = "separator";
const int MIN_PAGE_SIZE = 3;
} // namespace

CInfiniteList::CInfiniteList()
    : m_iCount(0), m_iFirstLoaded(0), m_iPageSize(10), m_iSeparators(0), m_pItemTemplate(nullptr),
      m_pGroupTemplate(nullptr), m_pSeparatorTemplate(nullptr), m_uTemplatesPending(1),
      m_uClearPending(0), m_CurrentItem{-1, nullptr}, m_LastBatch{0, -1}, m_uBatchHeld(0), m_uStarted(0)
{
}

KE_RETVAL CInfiniteList::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                 const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CGridLayout::Startup(pApp, pResources, area);
    if (r != KE_OK)
        return r;
    SetLayoutMode(LAYOUT_LIST);
    m_iPageSize = 10;
    m_uTemplatesPending = 1;
    m_iFirstLoaded = m_iCount = 0;
    SetNumColumns(1);
    SetNumRows(0);
    m_iSeparators = 0;
    m_CurrentItem = sCurrentItem{-1, nullptr};
    m_LastBatch = sBatch{0, -1};
    m_uBatchHeld = 1;
    m_uStarted = 1;
    return KE_OK;
}

void CInfiniteList::Destroy(CWidget* pWidget)
{
    if (!pWidget)
        return;
    pWidget->Shutdown();
    delete pWidget;
}

void CInfiniteList::Shutdown()
{
    // Separators and headers are not items; the owner hears of items only.
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        CWidget* pChild = m_aChildren[i];
        int iItem = 0;
        if (IsItem(pChild) && pChild->GetName().Scan(L"%d", &iItem) == 1)
            m_OnForgetItem.Call(pChild);
    }
    Destroy(m_pItemTemplate);
    Destroy(m_pGroupTemplate);
    Destroy(m_pSeparatorTemplate);
    m_pItemTemplate = m_pGroupTemplate = m_pSeparatorTemplate = nullptr;
    m_aGroupHeaders.SetSize(0);
    m_uBatchHeld = 0;
    m_uStarted = 0;
    CGridLayout::Shutdown();
}

void CInfiniteList::InitTemplates()
{
    if (!m_uTemplatesPending)
        return;
    int h = GetHeight();
    m_pGroupTemplate = ExtractTemplate(CKorvelString("group_template"));
    if (m_pGroupTemplate && m_pGroupTemplate->GetHeight() < h)
        h = m_pGroupTemplate->GetHeight();
    m_pItemTemplate = ExtractTemplate(CKorvelString("item_template"));
    if (m_pItemTemplate)
    {
        const CExpandable* pExpandable = widget_cast<const CExpandable*>(m_pItemTemplate);
        h = pExpandable ? pExpandable->GetExpansionHeight(0) : m_pItemTemplate->GetHeight();
    }
    if (m_iPageSize == -1 && h != 0)
    {
        const int iPage = GetHeight() / h + 1;
        m_iPageSize = iPage > MIN_PAGE_SIZE ? iPage : MIN_PAGE_SIZE;
    }
    m_pSeparatorTemplate = ExtractTemplate(CKorvelString("item_separator_template"));
    m_uTemplatesPending = 0;
}

void CInfiniteList::SetCount(int iCount)
{
    if (iCount == m_iCount && !m_uClearPending)
        return;
    Clear(0);
    m_iCount = iCount;
}

void CInfiniteList::SetGroups(const CKorvelArray<int>& aSizes)
{
    Clear(0);
    InitTemplates();
    m_iCount = 0;
    for (int i = 0; i < aSizes.GetCount(); ++i)
    {
        if (m_pGroupTemplate)
        {
            m_aGroupHeaders.Add(m_iCount);
            ++m_iCount;
        }
        m_iCount += aSizes[i];
    }
}

void CInfiniteList::TakeShape(sShape& shape) const
{
    // A clear still to come empties the list first.
    const bool bEmptying = m_uClearPending != 0;
    shape.m_iCount = bEmptying ? 0 : m_iCount;
    shape.m_aGroupHeaders.SetSize(0);
    for (int i = 0; !bEmptying && i < m_aGroupHeaders.GetCount(); ++i)
        shape.m_aGroupHeaders.Add(m_aGroupHeaders[i]);
    shape.m_iFirstLoaded = bEmptying ? 0 : m_iFirstLoaded;
    shape.m_uStarted = m_uStarted;
}

void CInfiniteList::GiveShape(const sShape& shape)
{
    InitTemplates();
    Clear(0);
    m_iCount = shape.m_iCount > 0 ? shape.m_iCount : 0;
    for (int i = 0; i < shape.m_aGroupHeaders.GetCount(); ++i)
        if (m_pGroupTemplate && shape.m_aGroupHeaders[i] < m_iCount)
            m_aGroupHeaders.Add(shape.m_aGroupHeaders[i]);
    m_iFirstLoaded = shape.m_iFirstLoaded > 0 && shape.m_iFirstLoaded < m_iCount ? shape.m_iFirstLoaded : 0;
    m_uStarted = shape.m_uStarted ? 1 : 0;
    m_uWindowHeld = m_iFirstLoaded > 0 ? 1 : 0;
}

void CInfiniteList::scroll(int dx, int dy)
{
    m_uWindowHeld = 0;
    CGridLayout::scroll(dx, dy);
}

void CInfiniteList::SetPageSize(int iPageSize)
{
    if (iPageSize >= 1)
        m_iPageSize = iPageSize > MIN_PAGE_SIZE ? iPageSize : MIN_PAGE_SIZE;
    else if (m_uTemplatesPending)
        m_iPageSize = -1;
}

void CInfiniteList::Clear()
{
    if (!m_uTemplatesPending)
        m_uClearPending = 1;
}

void CInfiniteList::Clear(unsigned int uDeferred)
{
    // Before the templates are taken there is nothing to clear, and a request kept until
    // the first update would undo a count set after it.
    if (m_uTemplatesPending)
        return;
    if (uDeferred)
    {
        m_uClearPending = 1;
        return;
    }
    for (int i = m_aChildren.GetCount() - 1; i >= 0; --i)
    {
        CWidget* pChild = m_aChildren[i];
        RemoveItem(pChild);
        Destroy(pChild);
    }
    m_iFirstLoaded = m_iCount = m_iSeparators = 0;
    m_aGroupHeaders.SetSize(0);
    scrollTo(0, 0, 0.0f, 0.0f);
    m_uClearPending = 0;
}

int CInfiniteList::GetIndex(CWidget* pWidget) const
{
    return m_CurrentItem.m_pWidget == pWidget ? m_CurrentItem.m_iIndex : -1;
}

void CInfiniteList::GetBatch(int& iCount, int& iFirst) const
{
    if (!m_uBatchHeld)
        return;
    iCount = m_LastBatch.m_iCount;
    iFirst = m_LastBatch.m_iFirst;
}

int CInfiniteList::IsGroup(int iIndex, int& a, int& b) const
{
    const int n = m_aGroupHeaders.GetCount();
    if (n == 0)
    {
        a = 0;
        return 0;
    }
    int iBefore = 0;
    for (int j = 0; j < n; ++j)
    {
        if (m_aGroupHeaders[j] == iIndex)
        {
            a = j > 0 ? j - 1 : 0;
            b = j;
            return 1;
        }
        if (m_aGroupHeaders[j] < iIndex)
            ++iBefore;
    }
    a = iBefore;
    return 0;
}

unsigned int CInfiniteList::IsItem(const CWidget* pWidget) const
{
    return pWidget && pWidget->GetName().Compare(CKorvelString(GROUP_NAME)) != 0 ? 1 : 0;
}

bool CInfiniteList::IsSeparator(const CWidget* pWidget) const
{
    return pWidget && pWidget->GetName().Compare(CKorvelString(SEPARATOR_NAME)) == 0;
}

void CInfiniteList::RemoveItem(CWidget* pWidget)
{
    int iItem = 0;
    if (IsItem(pWidget) && !m_OnForgetItem.IsEmpty() && pWidget->GetName().Scan(L"%d", &iItem) == 1)
    {
        m_CurrentItem = sCurrentItem{iItem, pWidget};
        m_OnForgetItem.Call(pWidget);
        m_CurrentItem.m_pWidget = nullptr;
    }
    RemoveWidget(pWidget);
}

void CInfiniteList::LoadLocalizedText()
{
    if (m_pGroupTemplate)
        m_pGroupTemplate->LoadLocalizedText();
    if (m_pItemTemplate)
        m_pItemTemplate->LoadLocalizedText();
    CGridLayout::LoadLocalizedText();
}

KE_RETVAL CInfiniteList::DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    if (!GetVisible() || !m_uStarted)
        return KE_OK;
    return CGridLayout::DrawAt(pContext, rect);
}

CWidget* CInfiniteList::FromTemplate(CWidget* pTemplate, CWidget* pReuse)
{
    if (pReuse && CWidget::deepInitializeClone(*pReuse, *pTemplate))
        return pReuse;
    Destroy(pReuse);
    return pTemplate->Clone();
}

void CInfiniteList::CallWith(const CActionCallback& cb, int iIndex, CWidget* pWidget)
{
    if (cb.IsEmpty())
        return;
    // The owner may look the list up from the widget while it is not yet a child.
    m_CurrentItem = sCurrentItem{iIndex, pWidget};
    pWidget->SetParent(this);
    cb.Call(pWidget);
    pWidget->SetParent(nullptr);
    m_CurrentItem.m_pWidget = nullptr;
}

CWidget* CInfiniteList::MakeChild(int iIndex, CWidget* pReuse, int& iItem)
{
    int a = 0, b = 0;
    CWidget* pWidget = nullptr;
    if (m_pGroupTemplate && IsGroup(iIndex, a, b))
    {
        pWidget = FromTemplate(m_pGroupTemplate, pReuse);
        pWidget->SetName(CKorvelString(GROUP_NAME));
        CallWith(m_OnLoadGroup, b, pWidget);
        iItem = -1;
    }
    else
    {
        iItem = iIndex - a;
        pWidget = FromTemplate(m_pItemTemplate, pReuse);
        CKorvelString strName;
        strName.Format(L"%d", iItem);
        pWidget->SetName(strName);
        CallWith(m_OnLoadItem, iItem, pWidget);
    }
    pWidget->DoUpdate(0.0f);
    return pWidget;
}

CWidget* CInfiniteList::MakeSeparator(CWidget* pReuse)
{
    CWidget* pSeparator = FromTemplate(m_pSeparatorTemplate, pReuse);
    pSeparator->SetName(CKorvelString(SEPARATOR_NAME));
    pSeparator->DoUpdate(0.0f);
    return pSeparator;
}
