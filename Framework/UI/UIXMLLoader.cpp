#include "Framework/UI/UIXMLLoader.h"

#include <cmath>
#include <cstring>
#include <new>

#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/EasingCurveFactory.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

namespace
{
bool IsNamed(CKorvelXMLDataNode* pNode, const char* pName)
{
    const char* pNodeName = CXMLLoaderWrapper::GetName(pNode);
    return pNodeName && std::strcmp(pNodeName, pName) == 0;
}

bool TextIs(const char* pText, const char* pWord)
{
    return pText && std::strcmp(pText, pWord) == 0;
}

// "_template" at the end of the name or one character before it; the search starts ten
// characters before the end.
bool IsTemplateName(const CKorvelString& strName)
{
    static const CKorvelString s_strTemplate("_template");
    int iLength = strName.GetLength();
    int iStart = iLength < 10 ? 0 : iLength - 10;
    int iAt = strName.Find(s_strTemplate, iStart);
    if (iAt < 0)
        return false;
    int iEnd = iAt + s_strTemplate.GetLength();
    return iEnd == iLength || iEnd + 1 == iLength;
}
} // namespace

CUIXMLLoader::CUIXMLLoader()
    : m_pActions(nullptr), m_iReferenceWidth(0), m_iReferenceHeight(0), m_pOwnedRoot(nullptr),
      m_pRoot(nullptr), m_pParent(nullptr), m_pTheme(nullptr), m_pExtraCreators(nullptr),
      m_pEasingFactory(nullptr), m_WidgetTypeName("widget"), m_uOwnsOldWidgets(0), m_pOldWidgets(nullptr),
      m_pImportChain(nullptr), m_iImportDepth(0)
{
}

CUIXMLLoader::~CUIXMLLoader()
{
    Shutdown();
}

KE_RETVAL CUIXMLLoader::Startup(CVornApplication& app, CActionCallbackMap* pActions,
                                CreatorMap* pExtraCreators, CWidget* pRoot, CWidget* pParent,
                                CWidget* pOldRoot)
{
    m_pOwnedRoot = nullptr;
    m_pExtraCreators = pExtraCreators;
    m_pRoot = pRoot;
    KE_RETVAL iResult = CXMLLoaderWrapper::Startup(app);
    if (iResult != KE_OK)
        return iResult;
    m_pActions = pActions;

    if (!m_pRoot)
    {
        CWidget* pOwn = new CWidget;
        CKorvelRect<int> area(0, 0, 0, 0);
        if (IKorvelGraphicsContext* pBack = app.GetBack())
            area = CKorvelRect<int>(0, 0, pBack->GetWidth(), pBack->GetHeight());
        pOwn->Startup(&app, nullptr, area);
        pOwn->SetName(CKorvelString("rootwidget"));
        pOwn->SetTransparent(1);
        m_pRoot = m_pOwnedRoot = pOwn;
    }
    m_pParent = pParent ? pParent : m_pRoot;
    m_iReferenceWidth = m_pRoot->GetWidth();
    m_iReferenceHeight = m_pRoot->GetHeight();
    RegisterCreators(pExtraCreators);

    if (pOldRoot)
    {
        SetOldUniqueWidgets(nullptr);
        m_pOldWidgets = new WidgetMap;
        m_uOwnsOldWidgets = 1;
        // The old root itself is never kept, whatever its unique name.
        CollectedWidgets collected;
        DismantleChildren(pOldRoot, collected);
        MergeCollected(collected);
        DestroyWidget(pOldRoot);
    }
    return KE_OK;
}

void CUIXMLLoader::RegisterCreators(CreatorMap* pExtraCreators)
{
    m_Creators.Clear();
    RegisterBuiltInCreators();
    // Adding never replaces: an extra creator cannot take over a built-in name.
    if (pExtraCreators)
        for (int i = 0; i < pExtraCreators->GetCount(); ++i)
            m_Creators.Add(pExtraCreators->GetAt(i).m_First, pExtraCreators->GetAt(i).m_Second);
}

void CUIXMLLoader::Shutdown()
{
    if (m_pOwnedRoot)
    {
        DestroyWidget(m_pOwnedRoot);
        if (m_pRoot == m_pOwnedRoot)
            m_pRoot = nullptr;
        if (m_pParent == m_pOwnedRoot)
            m_pParent = nullptr;
        m_pOwnedRoot = nullptr;
    }
    if (m_pEasingFactory)
    {
        m_pEasingFactory->Shutdown();
        delete m_pEasingFactory;
        m_pEasingFactory = nullptr;
    }
    if (m_uOwnsOldWidgets && m_pOldWidgets)
    {
        for (int i = 0; i < m_pOldWidgets->GetCount(); ++i)
            DestroyWidget(m_pOldWidgets->GetAt(i).m_Second);
        m_pOldWidgets->Clear();
        delete m_pOldWidgets;
    }
    m_pOldWidgets = nullptr;
    m_uOwnsOldWidgets = 0;
    ReleaseXmlDoc();
}

void CUIXMLLoader::DestroyWidget(CWidget* pWidget)
{
    if (!pWidget)
        return;
    if (CWidget* pParent = pWidget->GetParent())
        pParent->RemoveWidget(pWidget);
    pWidget->Shutdown();
    delete pWidget;
}

void CUIXMLLoader::LoadFromFile(const CKorvelString& strFile)
{
    LoadFileInChain(strFile);
}

void CUIXMLLoader::LoadFileInChain(const CKorvelString& strFile)
{
    if (CXMLLoaderWrapper::LoadFromFile(strFile) != KE_OK)
        return;
    // The file stays in the chain while its description runs, so its imports cannot load it again.
    sImportLink link = {strFile, m_pImportChain};
    const sImportLink* pOuter = m_pImportChain;
    m_pImportChain = &link;
    LoadUiDescription(GetRootNode());
    m_pImportChain = pOuter;
    ReleaseXmlDoc();
}

void CUIXMLLoader::LoadFromNode(CKorvelXMLDataNode* pNode)
{
    LoadUiDescription(pNode);
}

void CUIXMLLoader::LoadUiDescription(CKorvelXMLDataNode* pNode)
{
    if (!pNode)
        return;
    const char* pName = GetName(pNode);
    if (pName && CKorvelString(pName).CompareNoCase(CKorvelString("theme")) == 0)
    {
        LoadThemeConfigs(pNode);
        return;
    }
    LoadActions(FindChild(pNode, "actions"));
    if (m_pParent && m_pRoot)
        LoadElements(pNode, *m_pParent, *m_pRoot);
}

void CUIXMLLoader::LoadElements(CKorvelXMLDataNode* pNode, CWidget& parent, CWidget& root)
{
    for (CKorvelXMLDataNode* pChild = FirstChild(pNode); pChild; pChild = GetNextNode(pChild))
    {
        if (IsNamed(pChild, "element"))
            LoadElement(pChild, parent, root);
        else if (IsNamed(pChild, "import"))
            LoadImport(pChild, parent, root);
    }
}

CWidget* CUIXMLLoader::TakeCandidate(const char* pUniqueName)
{
    if (!pUniqueName || !m_pOldWidgets)
        return nullptr;
    CHashString name(pUniqueName);
    int i = m_pOldWidgets->Find(name);
    if (i < 0)
        return nullptr;
    // Taken widgets leave a null behind: removing would shift the rest of the map.
    CWidget* pCandidate = m_pOldWidgets->GetAt(i).m_Second;
    m_pOldWidgets->GetAt(i).m_Second = nullptr;
    return pCandidate;
}

void CUIXMLLoader::StandardStart(CWidget& widget, CWidget& parent)
{
    widget.Startup(m_pApp, m_pApp, parent.GetClientArea());
}

void CUIXMLLoader::LoadElement(CKorvelXMLDataNode* pNode, CWidget& parent, CWidget& root)
{
    if (!pNode)
        return;
    const char* pName = GetText(pNode, "$name");
    const char* pType = GetText(pNode, "$type");
    const char* pUniqueName = GetText(pNode, "$uniquename");
    CWidget* pCandidate = TakeCandidate(pUniqueName);

    CWidget* pWidget = nullptr;
    int iCreator = m_Creators.Find(CHashString(pType ? pType : ""));
    if (iCreator >= 0)
        pWidget = m_Creators.GetAt(iCreator).m_Second(this, pNode, parent, pCandidate);
    else if (pCandidate && pCandidate->GetType().GetName().Compare(m_WidgetTypeName) == 0)
        pWidget = pCandidate;
    else
    {
        pWidget = new CWidget;
        pWidget->Startup(m_pApp, m_pApp, root.GetClientArea());
        pWidget->SetTransparent(1);
    }
    if (pCandidate && pWidget != pCandidate)
        DestroyWidget(pCandidate);
    if (!pWidget)
        return;

    if (pName)
        pWidget->SetName(CKorvelString(pName));
    if (pUniqueName && pWidget != pCandidate)
        pWidget->SetUniqueName(CKorvelString(pUniqueName));
    pWidget->SetVisible(
        static_cast<unsigned int>(GetInt(pNode, "$display", static_cast<int>(pWidget->GetVisible()))));
    PlaceElement(pNode, *pWidget, parent, root);

    if (CKorvelXMLDataNode* pFlags = FindChild(pNode, "flags"))
    {
        pWidget->SetEnabled(
            static_cast<unsigned int>(GetInt(pFlags, "$enabled", static_cast<int>(pWidget->GetEnabled()))));
        pWidget->SetTransparent(static_cast<unsigned int>(
            GetInt(pFlags, "$transparent", static_cast<int>(pWidget->GetTransparent()))));
        pWidget->SetVisible(
            static_cast<unsigned int>(GetInt(pFlags, "$visible", static_cast<int>(pWidget->GetVisible()))));
    }
    AttachElement(*pWidget, parent);
    LoadEvents(FindChild(pNode, "events"), *pWidget);
    LoadElements(pNode, *pWidget, *pWidget);
}

void CUIXMLLoader::PlaceElement(CKorvelXMLDataNode* pNode, CWidget& widget, CWidget& parent, CWidget& root)
{
    CKorvelXMLDataNode* pPosition = FindChild(pNode, "position");
    CKorvelXMLDataNode* pSize = FindChild(pNode, "size");
    CKorvelXMLDataNode* pAlign = FindChild(pNode, "align");
    float fX = GetFloat(pPosition, "$x", 0.0f), fY = GetFloat(pPosition, "$y", 0.0f);
    float fW = GetFloat(pSize, "$w", 0.0f), fH = GetFloat(pSize, "$h", 0.0f);
    const char* pHorizontal = GetText(pAlign, "$v");
    const char* pVertical = GetText(pAlign, "$h");

    int iRefW = m_iReferenceWidth, iRefH = m_iReferenceHeight;
    int w = ToPixels(roundf(static_cast<float>(iRefW) * fW));
    int h = ToPixels(roundf(static_cast<float>(iRefH) * fH));
    CKorvelRect<int> rect(0, 0, w, h);

    bool bHorizontal = true;
    if (TextIs(pHorizontal, "center"))
    {
        rect.left = (iRefW - w) / 2;
        rect.right = rect.left + w;
    }
    else if (TextIs(pHorizontal, "right"))
    {
        rect.left = iRefW - w;
        rect.right = iRefW;
    }
    else if (!TextIs(pHorizontal, "left"))
        bHorizontal = false;
    // Any vertical word counts, also one outside the list.
    bool bVertical = pVertical != nullptr;
    if (TextIs(pVertical, "middle"))
    {
        rect.top = (iRefH - h) / 2;
        rect.bottom = rect.top + h;
    }
    else if (TextIs(pVertical, "bottom"))
    {
        rect.top = iRefH - h;
        rect.bottom = iRefH;
    }
    if (!bHorizontal)
    {
        int dx = ToPixels(static_cast<float>(iRefW) * fX);
        rect.left += dx;
        rect.right += dx;
    }
    if (!bVertical)
    {
        int dy = ToPixels(static_cast<float>(iRefH) * fY);
        rect.top += dy;
        rect.bottom += dy;
    }
    if (&parent != &root)
    {
        rect.left += root.GetArea().left;
        rect.right += root.GetArea().left;
        rect.top += root.GetArea().top;
        rect.bottom += root.GetArea().top;
    }
    widget.SetArea(rect);
}

int CUIXMLLoader::ToPixels(float fValue)
{
    const float fLimit = 16777216.0f;
    if (!(fValue == fValue))
        return 0;
    if (fValue > fLimit)
        return static_cast<int>(fLimit);
    if (fValue < -fLimit)
        return -static_cast<int>(fLimit);
    return static_cast<int>(fValue);
}

void CUIXMLLoader::AttachElement(CWidget& widget, CWidget& parent)
{
    if (!IsTemplateName(widget.GetName()))
    {
        parent.AddWidget(&widget);
        return;
    }
    CWidget* pHolder = new CWidget;
    pHolder->Startup(m_pApp, m_pApp, widget.GetArea());
    pHolder->SetName(widget.GetName());
    CKorvelRect<int> area = widget.GetArea();
    int iLeft = parent.GetArea().left, iTop = parent.GetArea().top;
    widget.SetArea(
        CKorvelRect<int>(area.left - iLeft, area.top - iTop, area.right - iLeft, area.bottom - iTop));
    pHolder->AddWidget(&widget);
    parent.AddWidget(pHolder);
}

void CUIXMLLoader::CollectUniqueNameWidgets(CWidget* pWidget)
{
    if (!pWidget || !m_pOldWidgets)
        return;
    CollectedWidgets collected;
    CollectInto(pWidget, collected);
    MergeCollected(collected);
}

void CUIXMLLoader::CollectInto(CWidget* pWidget, CollectedWidgets& collected)
{
    if (CHashString* pUnique = pWidget->GetUniqueName())
    {
        // The first widget of a name is kept; one search both tells and inserts.
        if (m_pOldWidgets->Find(*pUnique) < 0 && collected.emplace(*pUnique, pWidget).second)
        {
            if (CWidget* pParent = pWidget->GetParent())
                pParent->RemoveWidget(pWidget);
            pWidget->SaveUniqueData();
        }
    }
    DismantleChildren(pWidget, collected);
}

void CUIXMLLoader::DismantleChildren(CWidget* pWidget, CollectedWidgets& collected)
{
    CKorvelArray<CWidget*>& children = pWidget->GetWidgets();
    for (int i = children.GetCount() - 1; i >= 0; --i)
        if (i < children.GetCount())
            CollectInto(children[i], collected);
    for (int i = children.GetCount() - 1; i >= 0; --i)
        pWidget->DeleteWidget(children[i]);
}

void CUIXMLLoader::MergeCollected(const CollectedWidgets& collected)
{
    if (collected.empty())
        return;
    // Both are in the map's order. The map grows once and is merged from the back, so
    // each pair is written once: a growing copy per entry made big reloads cost more than
    // their size.
    WidgetMap& map = *m_pOldWidgets;
    int iOld = map.GetCount() - 1;
    int iTo = map.GetCount() + static_cast<int>(collected.size()) - 1;
    if (!map.SetSize(iTo + 1))
        return;
    for (auto it = collected.rbegin(); it != collected.rend(); ++it)
    {
        // Held pairs not below the new key stay after it.
        for (; iOld >= 0 && map.GetAt(iOld).m_First.Compare(it->first) >= 0; --iOld)
            map.GetAt(iTo--) = map.GetAt(iOld);
        map.GetAt(iTo--) = WidgetMap::Pair(it->first, it->second);
    }
}

void CUIXMLLoader::SetOldUniqueWidgets(WidgetMap* pWidgets)
{
    if (pWidgets && pWidgets == m_pOldWidgets)
        return;
    if (m_uOwnsOldWidgets && m_pOldWidgets && m_pOldWidgets != pWidgets)
    {
        for (int i = 0; i < m_pOldWidgets->GetCount(); ++i)
            DestroyWidget(m_pOldWidgets->GetAt(i).m_Second);
        delete m_pOldWidgets;
    }
    m_pOldWidgets = pWidgets;
    m_uOwnsOldWidgets = 0;
}

CWidget* CUIXMLLoader::GetRootWidget()
{
    m_pOwnedRoot = nullptr;
    return m_pRoot;
}

CVornTheme* CUIXMLLoader::GetTheme() const
{
    return m_pApp ? m_pApp->GetTheme() : nullptr;
}

IEasingCurve* CUIXMLLoader::GetEasingCurve(const CKorvelString& strName, unsigned int uRequireLimitedRange,
                                           unsigned int uCount, float* pParameters)
{
    if (!m_pEasingFactory)
    {
        m_pEasingFactory = new CEasingCurveFactory;
        m_pEasingFactory->StartUp();
    }
    return m_pEasingFactory->GetEasingCurve(strName, uRequireLimitedRange, uCount, pParameters);
}
