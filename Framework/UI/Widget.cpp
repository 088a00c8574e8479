// Widget life cycle, tree edits and coordinates.
#include "Framework/UI/Widget.h"

#include <cmath>

CWidget* CWidget::m_pActiveWidget = nullptr;
CKorvelMatrix4RH* CWidget::m_pTransformation = nullptr;

CWidget::CWidget()
    : m_pApp(nullptr), m_pResources(nullptr), m_pParent(nullptr), m_pCurrentWidget(nullptr),
      m_pUniqueName(nullptr), m_pData(nullptr), m_uFlags(0), m_uBlendColor(0xFFFFFFFF),
      m_uHighlightColor(0xFFFFFFFF)
{
}

// Children are not deleted here: Shutdown tears the tree down.
CWidget::~CWidget()
{
    if (m_pActiveWidget == this)
        m_pActiveWidget = nullptr;
}

KE_RETVAL CWidget::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                           const CKorvelRect<int>& area)
{
    m_pApp = pApp;
    m_pResources = pResources;
    m_pCurrentWidget = nullptr;
    SetArea(area);
    m_uFlags = FLAG_VISIBLE | FLAG_ENABLED;
    m_strName.Set("");
    m_pData = nullptr;
    m_OnStartup.Call(this);
    return KE_OK;
}

void CWidget::Shutdown()
{
    m_OnShutdown.Call(this);
    if (m_pActiveWidget == this)
        m_pActiveWidget = nullptr;
    // Ancestors must not keep pointing into a subtree that is about to be freed.
    ForgetCurrentWithin(m_pParent, this);
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        CWidget* pChild = m_aChildren[i];
        pChild->Shutdown();
        delete pChild;
    }
    m_aChildren.SetSize(0);
    m_pCurrentWidget = nullptr;
    delete m_pUniqueName;
    m_pUniqueName = nullptr;
    m_pApp = nullptr;
}

void CWidget::ForgetCurrentWithin(CWidget* pFirst, const CWidget* pLeaving)
{
    for (CWidget* pAncestor = pFirst; pAncestor; pAncestor = pAncestor->m_pParent)
        if (pAncestor->m_pCurrentWidget && pAncestor->m_pCurrentWidget->HasParent(pLeaving))
            pAncestor->m_pCurrentWidget = nullptr;
}

void CWidget::SetParent(CWidget* pParent)
{
    m_pParent = pParent;
    if (m_pActiveWidget == this)
        m_pActiveWidget = nullptr;
}

CWidget* CWidget::GetRoot()
{
    CWidget* pWidget = this;
    while (pWidget->m_pParent)
        pWidget = pWidget->m_pParent;
    return pWidget;
}

unsigned int CWidget::HasParent(const CWidget* pThis, const CWidget* pWidget)
{
    if (!pWidget)
        return 0;
    for (const CWidget* p = pThis; p; p = p->m_pParent)
        if (p == pWidget)
            return 1;
    return 0;
}

CWidget* CWidget::FindParentWithType(const CWidgetType& type) const
{
    for (CWidget* p = m_pParent; p; p = p->m_pParent)
        if (p->HasType(type))
            return p;
    return nullptr;
}

void CWidget::AddWidget(CWidget* pWidget)
{
    Attach(pWidget, m_aChildren.GetCount());
}

void CWidget::InsertWidget(CWidget* pWidget, int iIndex)
{
    Attach(pWidget, iIndex);
}

void CWidget::Attach(CWidget* pWidget, int iIndex)
{
    // An ancestor (or this widget) as a child would make the tree a cycle.
    if (!pWidget || HasParent(pWidget))
        return;
    if (pWidget->m_pParent)
        pWidget->m_pParent->RemoveWidget(pWidget);
    const int iCount = m_aChildren.GetCount();
    iIndex = iIndex < 0 ? 0 : (iIndex > iCount ? iCount : iIndex);
    if (m_aChildren.InsertAt(iIndex, pWidget) < 0)
        return;
    if (m_pActiveWidget == pWidget)
        m_pActiveWidget = nullptr;
    pWidget->m_pParent = this;
    widgetAdded(pWidget);
}

unsigned int CWidget::RemoveWidget(CWidget* pWidget)
{
    const int iCount = m_aChildren.GetCount();
    int iFound = -1;
    for (int i = 0; i < iCount && iFound < 0; ++i)
        if (m_aChildren[i] == pWidget)
            iFound = i;
    if (iFound < 0)
        return 0;
    ForgetCurrentWithin(this, pWidget);
    for (int i = iFound; i < iCount - 1; ++i)
        m_aChildren[i] = m_aChildren[i + 1];
    m_aChildren.SetSize(iCount - 1);
    if (m_pActiveWidget == pWidget)
        m_pActiveWidget = nullptr;
    pWidget->m_pParent = nullptr;
    widgetRemoved(pWidget);
    return 1;
}

unsigned int CWidget::RemoveWidget(const CKorvelString& strName)
{
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        if (m_aChildren[i]->m_strName.Compare(strName) == 0)
            return RemoveWidget(m_aChildren[i]);
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        if (m_aChildren[i]->RemoveWidget(strName))
            return 1;
    return 0;
}

unsigned int CWidget::DeleteWidget(CWidget* pWidget)
{
    if (!RemoveWidget(pWidget))
        return 0;
    pWidget->Shutdown();
    delete pWidget;
    return 1;
}

void CWidget::MapToClient(int& x, int& y) const
{
    x -= m_rcArea.left;
    y -= m_rcArea.top;
}

void CWidget::MapFromClient(int& x, int& y) const
{
    x += m_rcArea.left;
    y += m_rcArea.top;
}

// The whole ancestor chain counts, however deep the tree.
void CWidget::MapFrom(const CWidget* pFrom, int& x, int& y) const
{
    for (const CWidget* p = pFrom; p; p = p->m_pParent)
        p->MapFromClient(x, y);
    MapRootToClient(x, y);
}

void CWidget::MapRootToClient(int& x, int& y) const
{
    if (m_pParent)
        m_pParent->MapRootToClient(x, y);
    MapToClient(x, y);
}

unsigned int CWidget::PointIn(int x, int y) const
{
    const CKorvelRect<int> rc = GetClientArea();
    return (x >= rc.left && x <= rc.right && y >= rc.top && y <= rc.bottom) ? 1 : 0;
}

void CWidget::LoadLocalizedText()
{
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->LoadLocalizedText();
}

void CWidget::LoadUniqueData()
{
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        m_aChildren[i]->LoadUniqueData();
}

void CWidget::SetUniqueName(const CKorvelString& strName)
{
    if (m_pUniqueName || strName.GetLength() == 0)
        return;
    m_pUniqueName = new CHashString(strName);
}

unsigned int FitAspect(CKorvelRect<int>& rect, float fAspect, float fAlign)
{
    const int w = rect.GetWidth(), h = rect.GetHeight();
    if (w <= 0 || h <= 0 || fAspect <= 0.0f)
        return 0;
    if ((static_cast<float>(w) / static_cast<float>(h)) / fAspect <= 1.0f)
    {
        const int iNewHeight = static_cast<int>(roundf(static_cast<float>(w) / fAspect));
        rect.top += static_cast<int>(floorf(0.5f + static_cast<float>(h - iNewHeight) * fAlign));
        rect.bottom = rect.top + iNewHeight;
    }
    else
    {
        const int iNewWidth = static_cast<int>(roundf(fAspect * static_cast<float>(h)));
        rect.left += static_cast<int>(floorf(0.5f + static_cast<float>(w - iNewWidth) * fAlign));
        rect.right = rect.left + iNewWidth;
    }
    return 1;
}
