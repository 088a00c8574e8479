// Infinite list: the update that keeps about five pages of widgets around the visible
// area, filling the window, and moving it down or up one page at most per update.
//
// The window's arithmetic counts the children that stand for list indexes (headers and
// items); separators sit between items and move with them.
#include "Framework/UI/InfiniteList.h"

namespace
{
// A page size of "from the item height" that the item height could not give.
const int FALLBACK_PAGE_SIZE = 3;

int Min(int a, int b)
{
    return a < b ? a : b;
}

// Five pages of items, within int for any page size.
int WindowSize(int iPage)
{
    const long long v = static_cast<long long>(CInfiniteList::WINDOW_PAGES) * iPage;
    return v > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(v);
}
} // namespace

KE_RETVAL CInfiniteList::update(float fSeconds)
{
    InitTemplates();
    if (!m_pItemTemplate)
        return KE_OK;
    if (m_uClearPending)
    {
        m_uClearPending = 0;
        Clear(0);
        return KE_OK;
    }
    const int P = m_iPageSize >= 1 ? m_iPageSize : FALLBACK_PAGE_SIZE;
    const int C = m_aChildren.GetCount();
    if (HeldCount() < WindowSize(P))
        AddItems(Min(WindowSize(P), m_iCount));
    else if (!m_uWindowHeld)
    {
        const CKorvelRect<int> rcVisible = GetVisibleArea();
        if (m_aChildren[C - P]->GetArea().top < rcVisible.bottom)
            AddItemsBottom();
        else if (m_aChildren[P - 1]->GetArea().bottom > rcVisible.top && m_iFirstLoaded != 0)
            AddItemsTop();
    }
    return CGridLayout::update(fSeconds);
}

void CInfiniteList::ReportBatch(const sMade& made)
{
    if (made.m_iItems <= 0 || m_OnLoadItemBatch.IsEmpty())
        return;
    m_LastBatch = sBatch{made.m_iItems, made.m_iFirstItem};
    m_OnLoadItemBatch.Call(this);
}

CWidget* CInfiniteList::TakeChild(int iPosition, bool bAtTop)
{
    CWidget* pChild = m_aChildren[iPosition];
    // What leaves the top moves the rest up by its height and one spacing.
    if (bAtTop)
        SetTop(GetTop() - pChild->GetHeight() - GetVerticalItemSpacing());
    if (IsSeparator(pChild))
        --m_iSeparators;
    RemoveItem(pChild);
    return pChild;
}

bool CInfiniteList::NeedsSeparator(int iItem, const CWidget* pNeighbour) const
{
    return iItem >= 0 && m_pSeparatorTemplate && pNeighbour && IsItem(pNeighbour) && !IsSeparator(pNeighbour);
}

CWidget* CInfiniteList::SeparatorFrom(CKorvelArray<CWidget*>& aSpare)
{
    CWidget* pReuse = nullptr;
    if (aSpare.GetCount() > 0)
    {
        pReuse = aSpare[aSpare.GetCount() - 1];
        aSpare.SetSize(aSpare.GetCount() - 1);
    }
    ++m_iSeparators;
    return MakeSeparator(pReuse);
}

CWidget* CInfiniteList::TakeEnd(bool bTop, CKorvelArray<CWidget*>& aSpare)
{
    CWidget* pHeld = nullptr;
    while (m_aChildren.GetCount() > 0)
    {
        const int iEnd = bTop ? 0 : m_aChildren.GetCount() - 1;
        if (pHeld && !IsSeparator(m_aChildren[iEnd]))
            break;
        CWidget* pTaken = TakeChild(iEnd, bTop);
        if (IsSeparator(pTaken))
            aSpare.Add(pTaken);
        else
            pHeld = pTaken;
    }
    return pHeld;
}

void CInfiniteList::AddItems(int n)
{
    const int iHeld = HeldCount();
    if (n <= 0 || m_iCount == iHeld || n <= iHeld)
        return;
    CKorvelArray<CWidget*> aNone;
    sMade made;
    const int iFirstIndex = m_iFirstLoaded + iHeld;
    for (int iIndex = iFirstIndex; iIndex - iFirstIndex + iHeld < n && iIndex < m_iCount; ++iIndex)
    {
        int iItem = -1;
        CWidget* pChild = MakeChild(iIndex, nullptr, iItem);
        made.Note(iItem);
        const int C = m_aChildren.GetCount();
        if (NeedsSeparator(iItem, C > 0 ? m_aChildren[C - 1] : nullptr))
            AddWidget(SeparatorFrom(aNone));
        AddWidget(pChild);
    }
    ReportBatch(made);
}

void CInfiniteList::AddItemsBottom()
{
    const int P = m_iPageSize >= 1 ? m_iPageSize : FALLBACK_PAGE_SIZE;
    const int iHeld = HeldCount();
    const int m = Min(P, m_iCount - m_iFirstLoaded - iHeld);
    if (m <= 0)
        return;
    CKorvelArray<CWidget*> aSpare;
    sMade made;
    for (int iStep = 0; iStep < m; ++iStep)
    {
        CWidget* pOld = TakeEnd(true, aSpare);
        int iItem = -1;
        CWidget* pChild = MakeChild(m_iFirstLoaded + iHeld + iStep, pOld, iItem);
        made.Note(iItem);
        const int C = m_aChildren.GetCount();
        if (NeedsSeparator(iItem, C > 0 ? m_aChildren[C - 1] : nullptr))
            AddWidget(SeparatorFrom(aSpare));
        AddWidget(pChild);
    }
    for (int i = 0; i < aSpare.GetCount(); ++i)
        Destroy(aSpare[i]);
    m_iFirstLoaded += m;
    ReportBatch(made);
}

void CInfiniteList::AddItemsTop()
{
    const int P = m_iPageSize >= 1 ? m_iPageSize : FALLBACK_PAGE_SIZE;
    const int m = Min(m_iFirstLoaded > 0 ? m_iFirstLoaded : 0, P);
    if (m <= 0)
        return;
    CKorvelArray<CWidget*> aSpare;
    sMade made;
    for (int iStep = 0; iStep < m; ++iStep)
    {
        CWidget* pOld = TakeEnd(false, aSpare);
        int iItem = -1;
        CWidget* pChild = MakeChild(m_iFirstLoaded - 1 - iStep, pOld, iItem);
        made.Note(iItem);
        // What enters the top moves the rest down by its height and one spacing.
        if (NeedsSeparator(iItem, m_aChildren.GetCount() > 0 ? m_aChildren[0] : nullptr))
        {
            CWidget* pSeparator = SeparatorFrom(aSpare);
            SetTop(GetTop() + pSeparator->GetHeight() + GetVerticalItemSpacing());
            InsertWidget(pSeparator, 0);
        }
        SetTop(GetTop() + pChild->GetHeight() + GetVerticalItemSpacing());
        InsertWidget(pChild, 0);
    }
    for (int i = 0; i < aSpare.GetCount(); ++i)
        Destroy(aSpare[i]);
    m_iFirstLoaded -= m;
    ReportBatch(made);
}
