// A long list that holds widgets for a window of about five pages only: it clones its item
// template for each index that scrolls into the window, recycles the widgets that scroll
// out, and lets its owner fill each one through callbacks. Optional group headers and
// separators come from templates of their own. Items are named by their item index
// ("0", "1", ...), headers "group", separators "separator"; list indexes count items and
// headers together.
//
// Sources: InfiniteList.cpp (templates, count, groups, clearing, callbacks),
// InfiniteListWindow.cpp (the update and the three ways the window fills and moves).
#pragma once

#include "Framework/UI/GridLayout.h"
#include "KorvelCommon/KorvelArray.h"

class CInfiniteList : public CGridLayout
{
public:
    // Pages of items the window holds.
    static const int WINDOW_PAGES = 5;

    CInfiniteList();

    // ---- added virtual operation
    // Clears at the next update once the templates are taken; nothing before.
    virtual void Clear();

    const CActionCallback& GetOnLoadItem() const { return m_OnLoadItem; }
    void SetOnLoadItem(const CActionCallback& cb) { m_OnLoadItem = cb; }
    const CActionCallback& GetOnForgetItem() const { return m_OnForgetItem; }
    void SetOnForgetItem(const CActionCallback& cb) { m_OnForgetItem = cb; }
    const CActionCallback& GetOnLoadItemBatch() const { return m_OnLoadItemBatch; }
    void SetOnLoadItemBatch(const CActionCallback& cb) { m_OnLoadItemBatch = cb; }
    const CActionCallback& GetOnLoadGroup() const { return m_OnLoadGroup; }
    void SetOnLoadGroup(const CActionCallback& cb) { m_OnLoadGroup = cb; }

    // The same count changes nothing (unless a clear is pending); another clears the list.
    void SetCount(int iCount);
    int GetCount() const { return m_iCount; }
    // One header per group when there is a group template, then the group's items.
    void SetGroups(const CKorvelArray<int>& aSizes);
    // At least 3; below 1 means "from the item height", allowed only before the first update.
    void SetPageSize(int iPageSize);
    int GetPageSize() const { return m_iPageSize; }
    int GetFirstLoadedIndex() const { return m_iFirstLoaded; }
    int GetSeparatorCount() const { return m_iSeparators; }
    // Non-zero: at the next update; zero: now (either: nothing while the templates are pending).
    void Clear(unsigned int uDeferred);
    // The index of the item being handed to a callback when w is its widget, else -1.
    int GetIndex(CWidget* pWidget) const;
    // The batch just loaded: the number of items made and the first item index.
    void GetBatch(int& iCount, int& iFirst) const;
    // 1 when the list index is a group header (b its group number); a is the number of
    // headers before a non-header index.
    int IsGroup(int iIndex, int& a, int& b) const;
    unsigned int IsItem(const CWidget* pWidget) const;
    bool IsSeparator(const CWidget* pWidget) const;
    // Detaches w (the caller owns it), telling onforgetitem first when it is an item.
    void RemoveItem(CWidget* pWidget);
    CWidget* GetItemTemplate() const { return m_pItemTemplate; }
    CWidget* GetGroupTemplate() const { return m_pGroupTemplate; }
    CWidget* GetSeparatorTemplate() const { return m_pSeparatorTemplate; }
    // The list draws and updates only while started; a cleared flag parks an emptied list.
    unsigned int GetStarted() const { return m_uStarted; }
    void SetStarted(unsigned int uStarted) { m_uStarted = uStarted ? 1 : 0; }

    // What the list shows: its count with the group headers among it, the list index its
    // window starts at and whether it draws.
    struct sShape
    {
        int m_iCount = 0;
        CKorvelArray<int> m_aGroupHeaders;
        int m_iFirstLoaded = 0;
        unsigned int m_uStarted = 0;
    };
    void TakeShape(sShape& shape) const;
    // A list built again from the same templates (its tree rebuilt for another screen size)
    // takes the shape before it makes rows: its first update makes the same window of rows,
    // not the first one, and the window stays until the view is placed among them (the view
    // still at the top would move it to the list's start first).
    void GiveShape(const sShape& shape);

    KORVEL_WIDGET_GETTYPE(CInfiniteList)
    KE_RETVAL DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    KE_RETVAL update(float fSeconds) override;
    void LoadLocalizedText() override;
    void scroll(int dx, int dy) override;

protected:
    void InitTemplates();
    void AddItems(int n);
    void AddItemsBottom();
    void AddItemsTop();

private:
    struct sCurrentItem
    {
        int m_iIndex;
        CWidget* m_pWidget;
    };
    struct sBatch
    {
        int m_iCount;
        int m_iFirst;
    };
    // What one fill or move made, for the batch callback.
    struct sMade
    {
        int m_iItems = 0;
        int m_iFirstItem = -1;
        void Note(int iItem)
        {
            if (iItem < 0)
                return;
            ++m_iItems;
            m_iFirstItem = (m_iFirstItem < 0 || iItem < m_iFirstItem) ? iItem : m_iFirstItem;
        }
    };

    // The widget for list index i, reusing pReuse when it can be re-initialised from the
    // template (else it is destroyed). Gives the item index made, -1 for a header.
    CWidget* MakeChild(int iIndex, CWidget* pReuse, int& iItem);
    CWidget* FromTemplate(CWidget* pTemplate, CWidget* pReuse);
    void CallWith(const CActionCallback& cb, int iIndex, CWidget* pWidget);
    CWidget* MakeSeparator(CWidget* pReuse);
    // Children that stand for list indexes (all but separators).
    int HeldCount() const { return m_aChildren.GetCount() - m_iSeparators; }
    // Takes the child at the position out of the list for reuse.
    CWidget* TakeChild(int iPosition, bool bAtTop);
    // Takes the header or item at one end with the separators beside it (into aSpare).
    CWidget* TakeEnd(bool bTop, CKorvelArray<CWidget*>& aSpare);
    // A separator goes between an item and a neighbouring item (not a header).
    bool NeedsSeparator(int iItem, const CWidget* pNeighbour) const;
    // A counted separator, reusing a spare one when there is one.
    CWidget* SeparatorFrom(CKorvelArray<CWidget*>& aSpare);
    void ReportBatch(const sMade& made);
    static void Destroy(CWidget* pWidget);

    CActionCallback m_OnLoadItem;
    CActionCallback m_OnForgetItem;
    CActionCallback m_OnLoadItemBatch;
    CActionCallback m_OnLoadGroup;
    int m_iCount;
    int m_iFirstLoaded;
    int m_iPageSize;
    int m_iSeparators;
    CWidget* m_pItemTemplate;      // owned
    CWidget* m_pGroupTemplate;     // owned
    CWidget* m_pSeparatorTemplate; // owned
    unsigned int m_uTemplatesPending;
    unsigned int m_uClearPending;
    CKorvelArray<int> m_aGroupHeaders; // ascending list indexes
    sCurrentItem m_CurrentItem;
    sBatch m_LastBatch;
    unsigned int m_uBatchHeld; // from Startup to Shutdown, whether or not the list draws
    unsigned int m_uStarted;
    unsigned int m_uWindowHeld = 0; // a given window waits for its view's place
};
