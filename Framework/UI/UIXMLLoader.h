// Builds widget trees from layout descriptions: named actions, elements made through a
// table of element creators keyed by type name, and imports of further layout files. Also
// reads theme files (named colours). A reload can keep widgets of the previous tree alive:
// every widget with a unique name in the old root is offered to the element of the same
// unique name.
//
// Sources: UIXMLLoader.cpp (start-up, shut-down, descriptions, elements, unique names),
// UIXMLLoaderImport.cpp (imports, events, actions, theme files), UIXMLLoaderCreators.cpp
// (the built-in creators and their shared attribute readers), UIXMLLoaderScrollCreators.cpp
// (the scrolling area, the grid and the lists), UIXMLLoaderContentCreators.cpp (pages, page
// buttons, transitions and the content widgets).
#pragma once

#include "Framework/Shell/HashString.h"
#include "Framework/UI/Widget.h"
#include "Framework/UI/XMLLoaderWrapper.h"
#include "KorvelCommon/KorvelSet.h"

#include <map>

class CActionCallbackMap;
class CActionEntry;
class CButton;
class CEasingCurveFactory;
class CKorvelSurface;
class CKorvelXMLDataNode;
class CSlideArea;
class CTransition;
class CVornTheme;
class IEasingCurve;

class CUIXMLLoader : public CXMLLoaderWrapper
{
public:
    // Gets the loader, the element's node, the parent and the widget kept under the element's
    // unique name (may be null); returns the new or reused widget, not yet added, or null.
    typedef CWidget* (*CreatorFunction)(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    typedef CKorvelMap<CHashString, CreatorFunction, CKorvelMultiSet_DefaultOrdering<CHashString>> CreatorMap;
    typedef CKorvelMap<CHashString, CWidget*, CKorvelMultiSet_DefaultOrdering<CHashString>> WidgetMap;

    // Imports nest at most this deep; a file already being loaded further up is not imported.
    static const int MAX_IMPORT_DEPTH = 16;

    CUIXMLLoader();
    ~CUIXMLLoader() override;

    // Without a root, a transparent "rootwidget" of the drawing target's size is made and
    // owned. Top-level elements go to pParent (the root when null). An old root is taken
    // apart: its unique-name widgets are kept for reuse and the rest is destroyed.
    KE_RETVAL Startup(CVornApplication& app, CActionCallbackMap* pActions, CreatorMap* pExtraCreators,
                      CWidget* pRoot, CWidget* pParent, CWidget* pOldRoot);
    // Frees the owned root, the curve factory and the old widgets no element took.
    void Shutdown();

    // Missing or malformed files do nothing.
    void LoadFromFile(const CKorvelString& strFile);
    void LoadFromNode(CKorvelXMLDataNode* pNode);
    void LoadUiDescription(CKorvelXMLDataNode* pNode);
    void LoadElements(CKorvelXMLDataNode* pNode, CWidget& parent, CWidget& root);
    void LoadElement(CKorvelXMLDataNode* pNode, CWidget& parent, CWidget& root);
    void LoadImport(CKorvelXMLDataNode* pNode, CWidget& parent, CWidget& root);
    void LoadEvents(CKorvelXMLDataNode* pNode, CWidget& widget);
    void LoadActions(CKorvelXMLDataNode* pNode);
    void LoadAction(CKorvelXMLDataNode* pNode, CActionEntry& entry);
    void LoadTrigger(CKorvelXMLDataNode* pNode, CActionEntry& entry);
    void LoadSound(CKorvelXMLDataNode* pNode, CActionEntry& entry);
    void LoadVibrate(CKorvelXMLDataNode* pNode, CActionEntry& entry);
    void LoadAnimation(CKorvelXMLDataNode*, CActionEntry&) {}
    // 8 without a theme; else 1 whether or not the theme's file loaded.
    KE_RETVAL LoadTheme(CVornTheme* pTheme);
    void LoadThemeConfigs(CKorvelXMLDataNode* pNode);

    // Takes the widget's subtree apart bottom-up, keeping the first widget of each unique name.
    void CollectUniqueNameWidgets(CWidget* pWidget);
    // The caller's map serves as the old widgets; the loader does not own it.
    void SetOldUniqueWidgets(WidgetMap* pWidgets);

    // Hands the root over: an owned root is owned by the caller afterwards.
    CWidget* GetRootWidget();
    CVornApplication* GetApplication() const { return m_pApp; }
    // The application's current theme, or null.
    CVornTheme* GetTheme() const;
    // A new curve the caller owns (never null).
    IEasingCurve* GetEasingCurve(const CKorvelString& strName, unsigned int uRequireLimitedRange,
                                 unsigned int uCount, float* pParameters);
    int GetReferenceWidth() const { return m_iReferenceWidth; }
    int GetReferenceHeight() const { return m_iReferenceHeight; }
    const CreatorMap& GetCreators() const { return m_Creators; }

    // ---- attribute readers shared by the creators
    // The surface of the named image child with one reference the caller gives back.
    static CKorvelSurface* ParseImage(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                      const char* pChildName, float* pFrameDuration, int* pFrameIndex);
    static IEasingCurve* ParseEasing(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                     const char* pChildName, unsigned int uRequireLimitedRange);
    static void ParseButton(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CButton* pButton);
    // The "scroll" child: dragging and the drag threshold.
    static void ParseSlideArea(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CSlideArea* pArea);
    // The text read with "%x"; false when it does not start with a hex digit (after blanks).
    static bool ScanHex(const char* pText, unsigned int& uValue);
    // A theme colour of that name, else the text as hex. False when neither gives a colour.
    static bool ParseColor(CUIXMLLoader* pLoader, const char* pText, unsigned int& uColor);
    // The rules of text and pie colours: six digits or fewer are opaque, an unparsed text is 0.
    static unsigned int ParseOpaqueColor(CUIXMLLoader* pLoader, const char* pText);
    // A creator's widget: the candidate when it is of exactly class T, else a new one by the
    // standard start (the loader destroys a candidate that was not used).
    template <class T> static T* TakeOrCreate(CUIXMLLoader* pLoader, CWidget& parent, CWidget* pCandidate)
    {
        if (pCandidate && pCandidate->GetType() == CWidgetTypeInfo<T>::GetType())
            return static_cast<T*>(pCandidate);
        T* pWidget = new T;
        pLoader->StandardStart(*pWidget, parent);
        return pWidget;
    }
    // The same for widgets that draw nothing of their own until the layout says so: a new one
    // starts transparent, a reused candidate keeps what it had.
    template <class T>
    static T* TakeOrCreateTransparent(CUIXMLLoader* pLoader, CWidget& parent, CWidget* pCandidate)
    {
        T* pWidget = TakeOrCreate<T>(pLoader, parent, pCandidate);
        if (pWidget != pCandidate)
            pWidget->SetTransparent(1);
        return pWidget;
    }
    void StandardStart(CWidget& widget, CWidget& parent);

    // A pixel count from a float, truncated toward zero; values out of reach of any screen
    // (and NaN, as 0) are clamped so that area arithmetic cannot overflow.
    static int ToPixels(float fValue);

    // ---- built-in creators
    static CWidget* CreateButton(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateToggleButton(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateImageWidget(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateTextWidget(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateSlideArea(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateGridLayout(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateDivider(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateRatioDivider(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateAspect(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateAlignment(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateExpandable(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateInfiniteList(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateRunningList(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateWebButton(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateWebView(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*) { return nullptr; }
    static CWidget* CreateGradientWidget(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreatePageView(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreatePageButton(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateFrame(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateSlider(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreateProgressBar(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    static CWidget* CreatePieWidget(CUIXMLLoader*, CKorvelXMLDataNode*, CWidget&, CWidget*);
    // From the given "transition" node on through its later siblings, the first whose
    // "$type" is the requested one, made into a started-up transition; else null.
    static CTransition* CreateTransition(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pFirst,
                                         CKorvelString& strType);

private:
    // One file of the chain of imports being loaded, innermost first.
    struct sImportLink
    {
        CKorvelString m_strPath;
        const sImportLink* m_pOuter;
    };

    void RegisterCreators(CreatorMap* pExtraCreators);
    void RegisterBuiltInCreators();
    // Widgets collected in one pass, merged into the old-widget map at its end (inserting
    // one by one into the sorted map would copy its names over and over).
    struct sHashLess
    {
        bool operator()(const CHashString& a, const CHashString& b) const { return a.Compare(b) < 0; }
    };
    typedef std::map<CHashString, CWidget*, sHashLess> CollectedWidgets;
    void CollectInto(CWidget* pWidget, CollectedWidgets& collected);
    void DismantleChildren(CWidget* pWidget, CollectedWidgets& collected);
    void MergeCollected(const CollectedWidgets& collected);
    static void DestroyWidget(CWidget* pWidget);
    CWidget* TakeCandidate(const char* pUniqueName);
    void PlaceElement(CKorvelXMLDataNode* pNode, CWidget& widget, CWidget& parent, CWidget& root);
    void AttachElement(CWidget& widget, CWidget& parent);
    bool ImportGatesPass(CKorvelXMLDataNode* pNode) const;
    bool ImportAllowed(const char* pPath) const;
    void LoadFileInChain(const CKorvelString& strFile);

    CreatorMap m_Creators;
    CActionCallbackMap* m_pActions; // not owned
    int m_iReferenceWidth;
    int m_iReferenceHeight;
    CWidget* m_pOwnedRoot;
    CWidget* m_pRoot;
    CWidget* m_pParent;
    CVornTheme* m_pTheme;                  // not owned
    CreatorMap* m_pExtraCreators;          // not owned
    CEasingCurveFactory* m_pEasingFactory; // owned, made on first use
    CHashString m_WidgetTypeName;
    unsigned int m_uOwnsOldWidgets;
    WidgetMap* m_pOldWidgets;
    const sImportLink* m_pImportChain; // the files being loaded by this loader and its callers
    int m_iImportDepth;
};
