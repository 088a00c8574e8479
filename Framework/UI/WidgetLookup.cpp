// Lookup by name and by path, cloning and templates.
#include "Framework/UI/Widget.h"

CWidget* CWidget::FindWidget(const CKorvelString& strName, int iDepth) const
{
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        if (m_aChildren[i]->m_strName.Compare(strName) == 0)
            return m_aChildren[i];
    if (iDepth == 0)
        return nullptr;
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        if (CWidget* pFound = m_aChildren[i]->FindWidget(strName, iDepth - 1))
            return pFound;
    return nullptr;
}

// A separator at iPos ("//", "/" or "<", tried in that order) followed by at least one
// character: 1 and its length, else 0.
unsigned int CWidget::ExtractSeparator(const CKorvelString& strPath, int iPos, int& iSeparatorLength)
{
    const unsigned short* p = strPath.GetBuffer();
    const int iLength = strPath.GetLength();
    if (iPos >= iLength)
        return 0;
    if (p[iPos] == '/' && iPos + 2 < iLength && p[iPos + 1] == '/')
        iSeparatorLength = 2;
    else if ((p[iPos] == '/' || p[iPos] == '<') && iPos + 1 < iLength)
        iSeparatorLength = 1;
    else
        return 0;
    return 1;
}

CWidget* CWidget::FindStep(CWidget* pWidget, const CKorvelString& strName, int iDepth)
{
    if (!pWidget)
        return nullptr;
    if (strName.Compare(CKorvelString(".")) == 0)
        return pWidget;
    if (strName.Compare(CKorvelString("..")) == 0)
        return pWidget->m_pParent;
    return pWidget->FindWidget(strName, iDepth);
}

CWidget* CWidget::FindAncestorNamed(const CKorvelString& strName) const
{
    for (CWidget* p = m_pParent; p; p = p->m_pParent)
        if (p->m_strName.Compare(strName) == 0)
            return p;
    return nullptr;
}

CWidget* CWidget::FindWidgetByPath(const CKorvelString& strPath)
{
    const int iLength = strPath.GetLength();
    CWidget* pCurrent = this;
    int iPos = 0;
    bool bFirst = true;
    while (iPos < iLength || bFirst)
    {
        int iSeparator = 0;
        if (!ExtractSeparator(strPath, iPos, iSeparator))
            iSeparator = 0;
        const unsigned short uKind = iSeparator ? strPath.GetBuffer()[iPos] : 0;
        int iEnd = iPos + iSeparator, iNext = 0;
        while (iEnd < iLength && !ExtractSeparator(strPath, iEnd, iNext))
            ++iEnd;
        const CKorvelString strName = strPath.Mid(iPos + iSeparator, iEnd - iPos - iSeparator);
        const bool bEmpty = strName.GetLength() == 0;
        if (iSeparator == 2)
            pCurrent = bEmpty ? nullptr : FindStep(pCurrent, strName, -1);
        else if (uKind == '<')
            pCurrent = pCurrent->FindAncestorNamed(strName);
        else if (uKind == '/' && bEmpty)
            pCurrent = pCurrent->GetRoot();
        else if (!bEmpty)
            pCurrent = FindStep(pCurrent, strName, 1);
        if (!pCurrent)
            return nullptr;
        iPos = iEnd;
        bFirst = false;
    }
    return pCurrent;
}

CWidget* CWidget::New() const
{
    return new CWidget;
}

CWidget* CWidget::Clone()
{
    m_OnClone.Call(this);
    CWidget* pCopy = New();
    pCopy->Startup(m_pApp, m_pResources, m_rcArea);
    pCopy->initializeClone(*this);
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        pCopy->AddWidget(m_aChildren[i]->Clone());
    pCopy->m_OnCloned.Call(pCopy);
    return pCopy;
}

// The unique name, the children, the current widget and the application stay the copy's own.
void CWidget::CopyWidgetFields(const CWidget& source)
{
    SetArea(source.m_rcArea);
    SetVisible(source.GetVisible());
    SetEnabled(source.GetEnabled());
    SetTransparent(source.GetTransparent());
    SetIgnoreChildren(source.GetIgnoreChildren());
    m_strName = source.m_strName;
    m_pData = source.m_pData;
    m_OnShow = source.m_OnShow;
    m_OnHide = source.m_OnHide;
    m_OnClone = source.m_OnClone;
    m_OnCloned = source.m_OnCloned;
    m_OnStartup = source.m_OnStartup;
    m_OnShutdown = source.m_OnShutdown;
    m_uBlendColor = source.m_uBlendColor;
    m_uHighlightColor = source.m_uHighlightColor;
}

unsigned int CWidget::deepInitializeClone(CWidget& target, const CWidget& source)
{
    if (target.GetType() != source.GetType())
        return 0;
    target.initializeClone(source);
    const int iCount = target.m_aChildren.GetCount();
    if (iCount != source.m_aChildren.GetCount())
        return 0;
    for (int i = 0; i < iCount; ++i)
        if (!deepInitializeClone(*target.m_aChildren[i], *source.m_aChildren[i]))
            return 0;
    return 1;
}

// The template is detached from its own parent, wherever it sits in the subtree.
CWidget* CWidget::ExtractTemplate(const CKorvelString& strName)
{
    CWidget* pTemplate = FindWidget(strName, -1);
    if (!pTemplate)
        return nullptr;
    pTemplate->m_pParent->RemoveWidget(pTemplate);
    if (pTemplate->m_aChildren.GetCount() == 0)
        return pTemplate;
    CWidget* pContent = pTemplate->m_aChildren[0];
    pTemplate->RemoveWidget(pContent);
    pTemplate->Shutdown();
    delete pTemplate;
    return pContent;
}
