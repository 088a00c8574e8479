// A layout of pages: exactly one child, the active page, is shown and fills the client
// area. Pages are switched by path, with a bounded history that ":back" paths walk back
// through; a forward switch can run the "in" transition, a switch back the "out" one.
// Page buttons registered with the view are toggled while their page is visible.
//
// Sources: PageView.cpp (pages, history, paths), PageViewHistory.cpp (buttons, layout,
// update, history across reloads).
#pragma once

#include "Framework/UI/Layout.h"
#include "Framework/UI/Transition.h"
#include "KorvelCommon/KorvelSet.h"

class CPageButton;

class CPageView : public CLayout, public CTransitionable
{
public:
    typedef CKorvelMultiSet<CPageButton*, CKorvelMultiSet_DefaultOrdering<CPageButton*>> PageButtonSet;

    CPageView();
    ~CPageView() override;

    // ---- added virtual operations, in slot order
    using CWidget::Clone;
    virtual CWidget* Clone() const { return nullptr; }
    // The index among the children, -1 when not a child.
    virtual int GetPageIndex(CWidget* pWidget) const;
    virtual void RegisterPageButton(CPageButton* pButton);
    virtual void UnregisterPageButton(CPageButton* pButton);
    // Null means the view's own saved history, made anew.
    virtual void SaveHistory(CKorvelArray<CKorvelString>* pList);
    // Null means the saved history, which is deleted afterwards.
    virtual void LoadHistory(const CKorvelArray<CKorvelString>* pList);
    virtual void ResetHistory() { m_aHistory.SetSize(0); }
    virtual void SetHistoryLimit(int iLimit) { m_iHistoryLimit = iLimit; }
    virtual void Back(int iPages);
    virtual void Back(CKorvelString& strName);
    virtual void UpdateElements();
    virtual void UpdateButtons();

    // The active page after the switch, or null when the path names no page.
    CWidget* SwitchToPage(const CKorvelString& strPath);
    void SetActivePage(int iIndex, unsigned int uAnimate);
    CWidget* GetCurrentPage() const { return PageAt(m_iCurrentPage); }
    int GetActivePage() const { return m_iCurrentPage; }
    CWidget* GetPreviousPage() const { return PageAt(m_iPreviousPage); }
    int GetNumberofHistoryPages() const { return m_aHistory.GetCount(); }
    const CKorvelArray<int>& GetHistory() const { return m_aHistory; }
    int GetHistoryLimit() const { return m_iHistoryLimit; }
    const CKorvelString& GetBackPrefix() const { return m_strBackPrefix; }
    const PageButtonSet& GetPageButtons() const { return m_PageButtons; }

    // ---- overrides
    void MapToClient(int& x, int& y) const override;
    void MapFromClient(int& x, int& y) const override;
    KORVEL_WIDGET_GETTYPE(CPageView)
    using CTransitionable::Startup;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    // Detaches the buttons, then the widget's and the transitions' shutdown.
    void Shutdown() override;
    CWidget* New() const override { return new CPageView; }
    void LoadUniqueData() override;
    void SaveUniqueData() override { SaveHistory(nullptr); }
    void widgetAdded(CWidget* pWidget) override;
    void widgetRemoved(CWidget* pWidget) override;
    using CTransitionable::Update;
    KE_RETVAL update(float fSeconds) override;
    void arrangeChildren() override { UpdateElements(); }

private:
    CWidget* PageAt(int iIndex) const;
    // The visible "menu_root" ancestor that an animated switch needs.
    bool MenuRootShown();
    void ClearLoginFields();

    CKorvelArray<int> m_aHistory; // child indexes, oldest first, the current page last
    int m_iHistoryLimit;          // 0: no history
    CKorvelString m_strBackPrefix;
    int m_iCurrentPage;
    int m_iPreviousPage;
    PageButtonSet m_PageButtons;                  // not owned
    CKorvelArray<CKorvelString>* m_pSavedHistory; // owned, between a save and the next load
};
