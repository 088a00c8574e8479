// Page view: page buttons, laying the pages out, the per-frame update, coordinates during
// a slide, and the history kept across a reload.
#include "Framework/UI/PageView.h"

#include <cmath>

#include "Framework/UI/PageButton.h"

void CPageView::RegisterPageButton(CPageButton* pButton)
{
    m_PageButtons.Add(pButton);
    UpdateButtons();
}

void CPageView::UnregisterPageButton(CPageButton* pButton)
{
    for (int i = 0; i < m_PageButtons.GetCount(); ++i)
        if (m_PageButtons[i] == pButton)
        {
            for (int j = i + 1; j < m_PageButtons.GetCount(); ++j)
                m_PageButtons[j - 1] = m_PageButtons[j];
            m_PageButtons.SetSize(m_PageButtons.GetCount() - 1);
            return;
        }
}

void CPageView::UpdateButtons()
{
    for (int i = 0; i < m_PageButtons.GetCount(); ++i)
    {
        CPageButton* pButton = m_PageButtons[i];
        CWidget* pPage = FindWidgetByPath(pButton->GetPagePath());
        pButton->SetToggled(pPage && pPage->GetVisible() ? 1 : 0);
    }
}

void CPageView::UpdateElements()
{
    const CKorvelRect<int> rcClient = GetClientArea();
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->SetArea(rcClient);
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->SetVisible(i == m_iCurrentPage ? 1 : 0);
    UpdateButtons();
}

KE_RETVAL CPageView::update(float fSeconds)
{
    const unsigned int uWasRunning = TransitionRunning();
    CTransitionable::Update(fSeconds);
    if (uWasRunning)
    {
        // The slide places the pages itself; they are laid out again after it.
        UpdateButtons();
        return KE_OK;
    }
    const KE_RETVAL r = CLayout::update(fSeconds);
    if (r == KE_OK)
        UpdateElements();
    return r;
}

void CPageView::widgetAdded(CWidget* pWidget)
{
    if (m_aChildren.GetCount() == 1)
        SetActivePage(0, 1);
    else
        pWidget->SetVisible(0);
    CLayout::widgetAdded(pWidget);
}

void CPageView::widgetRemoved(CWidget* pWidget)
{
    CLayout::widgetRemoved(pWidget);
}

void CPageView::MapToClient(int& x, int& y) const
{
    CLayout::MapToClient(x, y);
    const int iShift = static_cast<int>(std::floor(GetDistDifference() + 0.5f));
    x -= iShift;
    y -= iShift;
}

void CPageView::MapFromClient(int& x, int& y) const
{
    CLayout::MapFromClient(x, y);
    const int iShift = static_cast<int>(std::floor(GetDistDifference() + 0.5f));
    x += iShift;
    y += iShift;
}

void CPageView::SaveHistory(CKorvelArray<CKorvelString>* pList)
{
    if (!pList)
    {
        delete m_pSavedHistory;
        m_pSavedHistory = new CKorvelArray<CKorvelString>;
        pList = m_pSavedHistory;
    }
    pList->SetSize(0);
    if (m_iHistoryLimit > 0)
    {
        for (int i = 0; i < m_aHistory.GetCount(); ++i)
            if (CWidget* pPage = PageAt(m_aHistory[i]))
                pList->Add(pPage->GetName());
    }
    else if (CWidget* pPage = GetCurrentPage())
        pList->Add(pPage->GetName());
}

void CPageView::LoadHistory(const CKorvelArray<CKorvelString>* pList)
{
    if (!pList)
        pList = m_pSavedHistory;
    if (!pList)
        return;
    ResetHistory();
    // Replayed from no page, so that an entry naming the page shown now is kept too.
    const int iShown = m_iCurrentPage;
    if (pList->GetCount() > 0)
        m_iCurrentPage = -1;
    for (int i = 0; i < pList->GetCount(); ++i)
    {
        const int iIndex = GetPageIndex(FindWidgetByPath(pList->GetAt(i)));
        if (iIndex >= 0)
            SetActivePage(iIndex, 0);
    }
    if (m_iCurrentPage < 0)
        m_iCurrentPage = iShown;
    delete m_pSavedHistory;
    m_pSavedHistory = nullptr;
}

void CPageView::LoadUniqueData()
{
    CLayout::LoadUniqueData();
    LoadHistory(nullptr);
}
