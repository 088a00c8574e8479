// Page view: pages, the history and switching by path.
#include "Framework/UI/PageView.h"

#include "Framework/UI/PageButton.h"
#include "Framework/UI/TextWidget.h"

CPageView::CPageView() : m_iHistoryLimit(0), m_iCurrentPage(-1), m_iPreviousPage(-1), m_pSavedHistory(nullptr)
{
}

CPageView::~CPageView()
{
    // Buttons that outlive the view must not call back into it.
    for (int i = 0; i < m_PageButtons.GetCount(); ++i)
        m_PageButtons[i]->m_pPageView = nullptr;
    m_PageButtons.SetSize(0);
    delete m_pSavedHistory;
}

KE_RETVAL CPageView::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                             const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CLayout::Startup(pApp, pResources, area);
    CTransitionable::Startup();
    m_iCurrentPage = -1;
    m_PageButtons.SetSize(0);
    m_strBackPrefix.Set(":back");
    return r;
}

void CPageView::Shutdown()
{
    while (m_PageButtons.GetCount() > 0)
    {
        CPageButton* pButton = m_PageButtons[0];
        pButton->SetPageView(nullptr);
        // A button that is not registered with this view through its own pointer.
        if (m_PageButtons.GetCount() > 0 && m_PageButtons[0] == pButton)
            UnregisterPageButton(pButton);
    }
    CLayout::Shutdown();
    CTransitionable::Shutdown();
    delete m_pSavedHistory;
    m_pSavedHistory = nullptr;
}

CWidget* CPageView::PageAt(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_aChildren.GetCount())
        return nullptr;
    return m_aChildren[iIndex];
}

int CPageView::GetPageIndex(CWidget* pWidget) const
{
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        if (m_aChildren[i] == pWidget)
            return i;
    return -1;
}

bool CPageView::MenuRootShown()
{
    CWidget* pRoot = FindWidgetByPath(CKorvelString("<menu_root"));
    return pRoot && pRoot->GetVisible();
}

void CPageView::SetActivePage(int iIndex, unsigned int uAnimate)
{
    if (iIndex == m_iCurrentPage)
        return;
    m_iPreviousPage = m_iCurrentPage;
    m_iCurrentPage = iIndex;
    if (m_iHistoryLimit <= 0)
        return;
    if (m_aHistory.GetCount() >= m_iHistoryLimit)
    {
        // The oldest entries go so that the new one fits under the limit.
        const int iDrop = m_aHistory.GetCount() - m_iHistoryLimit + 1;
        for (int i = iDrop; i < m_aHistory.GetCount(); ++i)
            m_aHistory[i - iDrop] = m_aHistory[i];
        m_aHistory.SetSize(m_aHistory.GetCount() - iDrop);
    }
    m_aHistory.Add(iIndex);
    // A switch to the first page never animates.
    if (!uAnimate || iIndex <= 0 || !MenuRootShown())
        return;
    CWidget* pFrom = PageAt(m_iPreviousPage);
    CWidget* pTo = PageAt(iIndex);
    if (!pFrom || !pTo)
        return;
    StopTransitions();
    StartTransition(CTransition::TYPE_IN, pFrom, pTo);
}

void CPageView::Back(int iPages)
{
    if (m_iHistoryLimit <= 0 || iPages <= 0)
        return;
    int k = m_aHistory.GetCount() - 1;
    if (k <= 0)
    {
        SetActivePage(0, 1);
        return;
    }
    for (int iStep = 0; iStep < iPages; ++iStep)
    {
        m_aHistory.SetSize(k);
        --k;
        if (k <= 0 && iStep + 1 < iPages)
        {
            SetActivePage(0, 1);
            return;
        }
    }
    const int iTarget = m_aHistory[k];
    CWidget* pCurrent = PageAt(m_iCurrentPage);
    CWidget* pTarget = PageAt(iTarget);
    if (pCurrent && pTarget && GetVisible() && MenuRootShown())
    {
        StopTransitions();
        StartTransition(CTransition::TYPE_OUT, pCurrent, pTarget);
    }
    m_iCurrentPage = iTarget;
}

void CPageView::Back(CKorvelString& strName)
{
    if (m_iHistoryLimit <= 0)
        return;
    bool bFound = false;
    for (int i = 0; i < m_aHistory.GetCount(); ++i)
    {
        CWidget* pPage = PageAt(m_aHistory[i]);
        if (!pPage || pPage->GetName().Compare(strName) != 0)
            continue;
        bFound = true;
        // Keep the named page and the one after it, which the step back below takes.
        while (m_aHistory.GetCount() > i + 2)
        {
            if (CWidget* pDropped = PageAt(m_aHistory[m_aHistory.GetCount() - 1]))
                pDropped->SetVisible(0);
            m_aHistory.SetSize(m_aHistory.GetCount() - 1);
        }
    }
    Back(1);
    if (!bFound)
        SwitchToPage(strName);
}

namespace
{
bool IsBlank(unsigned short u)
{
    return u == ' ' || u == '\t' || u == '\r' || u == '\n';
}

// The word after the first ':' (blanks before it skipped, the word ends at a blank).
CKorvelString WordAfterColon(const CKorvelString& str)
{
    int i = str.Find(static_cast<unsigned short>(':'), 0) + 1;
    while (i < str.GetLength() && IsBlank(str.GetBuffer()[i]))
        ++i;
    int iEnd = i;
    while (iEnd < str.GetLength() && !IsBlank(str.GetBuffer()[iEnd]))
        ++iEnd;
    return str.Mid(i, iEnd - i);
}
} // namespace

CWidget* CPageView::SwitchToPage(const CKorvelString& strPath)
{
    const int iPrefix = m_strBackPrefix.GetLength();
    if (m_iHistoryLimit > 0 && iPrefix > 0 && strPath.Find(m_strBackPrefix, 0) == 0)
    {
        if (strPath.GetLength() <= iPrefix)
        {
            Back(1);
            return GetCurrentPage();
        }
        CKorvelString strRest = strPath.Mid(iPrefix, -1);
        if (strRest.Find(static_cast<unsigned short>(':'), 0) >= 0)
            strRest = WordAfterColon(strRest);
        const int iHash = strRest.Find(static_cast<unsigned short>('#'), 0);
        if (iHash >= 0)
        {
            int iPages = 0;
            if (strRest.Mid(iHash, -1).Scan(L"#%d", &iPages) == 1 && iPages > 0)
                Back(iPages);
        }
        else if (strRest.GetLength() > 0)
            Back(strRest);
        return GetCurrentPage();
    }
    CWidget* pPage = FindWidgetByPath(strPath);
    const int iIndex = GetPageIndex(pPage);
    if (!pPage || iIndex < 0)
        return nullptr;
    SetActivePage(iIndex, 1);
    if (pPage->GetName().Compare(CKorvelString("loginscreen_playername")) == 0)
        ClearLoginFields();
    return GetCurrentPage();
}

// Going back to the name entry forgets what was typed on the e-mail login page.
void CPageView::ClearLoginFields()
{
    CWidget* pEmailPage = FindWidgetByPath(CKorvelString("loginscreen_email"));
    if (!pEmailPage)
        return;
    static const char* const s_apFields[] = {"input_email", "input_password"};
    for (const char* pName : s_apFields)
        if (CTextWidget* pText = widget_cast<CTextWidget*>(pEmailPage->FindWidget(CKorvelString(pName), -1)))
            pText->SetText(CKorvelString(""));
}
