// An append-only log (chat): the owner hands it finished widgets; it keeps a bounded number
// of them, newest at the bottom (growing upward from its bottom edge) or at the top, and
// scrolls to the newest.
#pragma once

#include "Framework/UI/GridLayout.h"

class CRunningList : public CGridLayout
{
public:
    CRunningList();

    // ---- added virtual operations, in slot order
    // Takes ownership; the item is named by the running counter ("1" for the first).
    virtual void AddItem(CWidget* pItem);
    // Deletes the oldest item.
    virtual void RemoveItem();
    virtual void Clear();
    // The list's own template (taken at its first update); the grid's stays empty.
    CWidget* GetItemTemplate() const { return m_pItemTemplate; }

    // Set by the layout loader. Bottom-anchored lists append and grow upward; the others
    // put new items first.
    unsigned int GetBottomAnchored() const { return m_uBottomAnchored; }
    void SetBottomAnchored(unsigned int uBottom) { m_uBottomAnchored = uBottom; }
    // At most iMax + 1 items are kept; 0 keeps every item.
    int GetMaxItemCount() const { return m_iMaxItemCount; }
    void SetMaxItemCount(int iMax) { m_iMaxItemCount = iMax; }
    unsigned int GetAutoScroll() const { return m_uAutoScroll; }
    float GetScrollTime() const { return m_fScrollTime; }
    void SetAutoScroll(unsigned int uOn, float fSeconds)
    {
        m_uAutoScroll = uOn;
        m_fScrollTime = fSeconds;
    }

    KORVEL_WIDGET_GETTYPE(CRunningList)
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    KE_RETVAL update(float fSeconds) override;

private:
    CWidget* m_pItemTemplate; // owned
    unsigned int m_uBottomAnchored;
    unsigned int m_uTemplatePending;
    unsigned int m_uAutoScroll;
    int m_iMaxItemCount;
    int m_iItemCounter;
    float m_fScrollTime;
};
