// The base of every widget: a rectangle in its parent's client coordinates that owns an
// ordered list of children, with input dispatch (one class-wide capture), drawing with
// clipping, lookup by name and path, cloning and run-time types.
//
// Sources: Widget.cpp (life cycle, tree edits, flags, coordinates), WidgetInput.cpp (hit
// test and input dispatch), WidgetDraw.cpp (drawing, update, visibility, area),
// WidgetLookup.cpp (names, paths, cloning, templates).
#pragma once

#include "Framework/Shell/HashString.h"
#include "Framework/UI/Callback.h"
#include "Framework/UI/WidgetType.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"
#include "KorvelInput/KorvelInput.h"

#include <type_traits>

class IKorvelApplication;
class IKorvelGraphicsContext;
class CKorvelMatrix4RH;
class CVornResourceManager;

class CWidget
{
public:
    enum : unsigned char
    {
        FLAG_VISIBLE = 1,
        FLAG_ENABLED = 2,
        FLAG_TRANSPARENT = 4,
        FLAG_IGNORE_CHILDREN = 8
    };

    CWidget();
    virtual ~CWidget();

    // ---- virtual operations, in slot order
    // Draws this widget into rect (screen pixels), then its visible children clipped to rect.
    virtual KE_RETVAL DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect);
    virtual unsigned int GetVisible() const { return m_uFlags & FLAG_VISIBLE; }
    virtual void SetVisible(unsigned int uVisible);
    virtual CKorvelRect<int> GetClientArea() const { return CKorvelRect<int>(0, 0, GetWidth(), GetHeight()); }
    virtual void MapToClient(int& x, int& y) const;
    virtual void MapFromClient(int& x, int& y) const;
    // From pFrom's client coordinates (screen coordinates when null) into this widget's.
    virtual void MapFrom(const CWidget* pFrom, int& x, int& y) const;
    virtual const CWidgetType& GetType() const { return CWidgetTypeInfo<CWidget>::GetType(); }
    virtual unsigned int HasType(const CWidgetType& type) const { return GetType().Implements(type); }
    // The deepest widget hit at (x, y) in client coordinates, never this widget itself.
    virtual CWidget* FindWidget(int x, int y) const;
    virtual void SignalChildAreaUpdated(CWidget* pChild, const CKorvelRect<int>& area);
    virtual void AddWidget(CWidget* pWidget);
    // The index is clamped to 0..count; past the end appends.
    virtual void InsertWidget(CWidget* pWidget, int iIndex);
    // Detaches a direct child; the caller then owns it. 1 when it was a child.
    virtual unsigned int RemoveWidget(CWidget* pWidget);
    // Detaches, shuts down and deletes a direct child. 1 when it was a child.
    virtual unsigned int DeleteWidget(CWidget* pWidget);
    // Depth 0: children only; 1: and grandchildren; negative: the whole subtree.
    virtual CWidget* FindWidget(const CKorvelString& strName, int iDepth) const;
    virtual unsigned int RemoveWidget(const CKorvelString& strName);
    virtual int DoKeyDown(eKET_KEYCODE eKey);
    virtual int DoInputChar(unsigned short uChar);
    virtual int DoMouseButton(unsigned int uButton, int x, int y);
    virtual int DoMouseDrag(unsigned int uButton, int x, int y);
    virtual int DoMouseButtonUp(unsigned int uButton, int x, int y);
    virtual int DoMouseWheel(int iWheel, int x, int y);
    virtual void DoResetMouse();
    // Inside the client area, all four edges inclusive.
    virtual unsigned int PointIn(int x, int y) const;
    virtual KE_RETVAL DoUpdate(float fSeconds);
    virtual KE_RETVAL DoDraw(IKorvelGraphicsContext* pContext);
    virtual KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                              const CKorvelRect<int>& area);
    virtual void Shutdown();
    // A default-constructed object of this widget's class.
    virtual CWidget* New() const;
    // A deep copy that the caller owns.
    virtual CWidget* Clone();
    virtual CWidget* FindWidgetByPath(const CKorvelString& strPath);
    virtual void LoadLocalizedText();
    virtual void LoadUniqueData();
    virtual void SaveUniqueData() {}
    virtual void areaUpdated(const CKorvelRect<int>& /*oldArea*/, const CKorvelRect<int>& /*newArea*/) {}
    virtual void childAreaUpdated(CWidget* /*pChild*/, const CKorvelRect<int>& /*area*/) {}
    virtual void widgetAdded(CWidget* /*pWidget*/) {}
    virtual void widgetRemoved(CWidget* /*pWidget*/) {}
    virtual KE_RETVAL draw(IKorvelGraphicsContext* /*pContext*/, const CKorvelRect<int>& /*rect*/)
    {
        return KE_OK;
    }
    virtual int keyDown(eKET_KEYCODE /*eKey*/) { return 0; }
    virtual int inputChar(unsigned short /*uChar*/) { return 0; }
    virtual int mouseButton(unsigned int /*uButton*/, int /*x*/, int /*y*/) { return 0; }
    virtual int mouseDrag(unsigned int /*uButton*/, int /*x*/, int /*y*/) { return 0; }
    virtual int mouseButtonUp(unsigned int /*uButton*/, int /*x*/, int /*y*/) { return 0; }
    virtual int mouseWheel(int /*iWheel*/, int /*x*/, int /*y*/) { return 0; }
    // Releases the capture (with loseFocus(null) on the capturing widget).
    virtual void resetMouse();
    virtual KE_RETVAL update(float /*fSeconds*/) { return KE_OK; }
    // OnShow or OnHide, then the same on every visible child.
    virtual void visibilityChanged(unsigned int uVisible);
    virtual void initializeClone(const CWidget& source) { CopyWidgetFields(source); }
    virtual void gainFocus(CWidget* /*pPrevious*/) {}
    virtual void loseFocus(CWidget* /*pNext*/) {}

    // ---- area and coordinates
    const CKorvelRect<int>& GetArea() const { return m_rcArea; }
    // Tells areaUpdated and every ancestor's childAreaUpdated; nothing when unchanged.
    void SetArea(const CKorvelRect<int>& area);
    // Moves keeping the size; only this widget's areaUpdated hears of it.
    void SetPosition(int x, int y);
    int GetWidth() const { return m_rcArea.right - m_rcArea.left; }
    int GetHeight() const { return m_rcArea.bottom - m_rcArea.top; }
    void MapTo(const CWidget* pTarget, int& x, int& y) const { pTarget->MapFrom(this, x, y); }

    // ---- tree
    CWidget* GetParent() const { return m_pParent; }
    // The pointer only; a capturing widget that moves gives up the capture.
    void SetParent(CWidget* pParent);
    CWidget* GetRoot();
    // 1 when pWidget is this widget or one of its ancestors.
    unsigned int HasParent(const CWidget* pWidget) const { return HasParent(this, pWidget); }
    // The same for a widget that may be null (then 0).
    static unsigned int HasParent(const CWidget* pThis, const CWidget* pWidget);
    CKorvelArray<CWidget*>& GetWidgets() { return m_aChildren; }
    const CKorvelArray<CWidget*>& GetWidgets() const { return m_aChildren; }
    CWidget* GetCurrentWidget() const { return m_pCurrentWidget; }
    CWidget* FindParentWithType(const CWidgetType& type) const;
    template <class T> T* FindParentWithType() const
    {
        return static_cast<T*>(FindParentWithType(CWidgetTypeInfo<T>::GetType()));
    }

    // ---- names and data
    const CKorvelString& GetName() const { return m_strName; }
    void SetName(const CKorvelString& strName) { m_strName = strName; }
    CHashString* GetUniqueName() const { return m_pUniqueName; }
    // Only the first non-empty name is kept.
    void SetUniqueName(const CKorvelString& strName);
    void* GetData() const { return m_pData; }
    void SetData(void* pData) { m_pData = pData; }
    IKorvelApplication* GetApplication() const { return m_pApp; }
    CVornResourceManager* GetResourceManager() const { return m_pResources; }
    // The template's content (its first child when it holds one), detached; the caller owns it.
    CWidget* ExtractTemplate(const CKorvelString& strName);
    // Re-initialises target's tree from a source tree of the same shape; 0 at the first mismatch.
    static unsigned int deepInitializeClone(CWidget& target, const CWidget& source);

    // ---- flags and colours
    unsigned int GetEnabled() const { return (m_uFlags & FLAG_ENABLED) ? 1 : 0; }
    void SetEnabled(unsigned int u) { SetFlag(FLAG_ENABLED, u); }
    unsigned int GetTransparent() const { return (m_uFlags & FLAG_TRANSPARENT) ? 1 : 0; }
    void SetTransparent(unsigned int u) { SetFlag(FLAG_TRANSPARENT, u); }
    unsigned int GetIgnoreChildren() const { return (m_uFlags & FLAG_IGNORE_CHILDREN) ? 1 : 0; }
    void SetIgnoreChildren(unsigned int u) { SetFlag(FLAG_IGNORE_CHILDREN, u); }
    unsigned int GetBlendColor() const { return m_uBlendColor; }
    void SetBlendColor(unsigned int argb) { m_uBlendColor = argb; }
    unsigned int GetHighlightColor() const { return m_uHighlightColor; }
    void SetHighlightColor(unsigned int argb) { m_uHighlightColor = argb; }

    // ---- event callbacks
    const CActionCallback& GetOnShow() const { return m_OnShow; }
    void SetOnShow(const CActionCallback& cb) { m_OnShow = cb; }
    const CActionCallback& GetOnHide() const { return m_OnHide; }
    void SetOnHide(const CActionCallback& cb) { m_OnHide = cb; }
    const CActionCallback& GetOnClone() const { return m_OnClone; }
    void SetOnClone(const CActionCallback& cb) { m_OnClone = cb; }
    const CActionCallback& GetOnCloned() const { return m_OnCloned; }
    void SetOnCloned(const CActionCallback& cb) { m_OnCloned = cb; }
    const CActionCallback& GetOnStartup() const { return m_OnStartup; }
    void SetOnStartup(const CActionCallback& cb) { m_OnStartup = cb; }
    const CActionCallback& GetOnShutdown() const { return m_OnShutdown; }
    void SetOnShutdown(const CActionCallback& cb) { m_OnShutdown = cb; }

    // Calls gainFocus with the capturing widget (possibly null).
    void Focus() { gainFocus(m_pActiveWidget); }

    // ---- class-wide state
    static CWidget* GetActiveWidget() { return m_pActiveWidget; }
    static void SetActiveWidget(CWidget* pWidget) { m_pActiveWidget = pWidget; }
    static CKorvelMatrix4RH* GetTransformation() { return m_pTransformation; }
    static void SetTransformation(CKorvelMatrix4RH* pMatrix) { m_pTransformation = pMatrix; }

protected:
    // What every widget's clone takes from its source (area, flags, name, data, callbacks,
    // colours); a widget that must skip its direct base's copy calls this one itself.
    void CopyWidgetFields(const CWidget& source);

    CKorvelRect<int> m_rcArea;
    CKorvelArray<CWidget*> m_aChildren; // owned, in drawing order
    IKorvelApplication* m_pApp;
    CVornResourceManager* m_pResources;
    CWidget* m_pParent;
    CWidget* m_pCurrentWidget; // descendant that took the last press routed through here
    CKorvelString m_strName;
    CHashString* m_pUniqueName; // owned
    void* m_pData;
    CActionCallback m_OnShow;
    CActionCallback m_OnHide;
    CActionCallback m_OnClone;
    CActionCallback m_OnCloned;
    CActionCallback m_OnStartup;
    CActionCallback m_OnShutdown;
    unsigned char m_uFlags;
    unsigned int m_uBlendColor;
    unsigned int m_uHighlightColor;

    static CWidget* m_pActiveWidget;
    static CKorvelMatrix4RH* m_pTransformation;

private:
    CWidget(const CWidget&) = delete;
    CWidget& operator=(const CWidget&) = delete;

    void SetFlag(unsigned char uFlag, unsigned int uOn)
    {
        m_uFlags = (uOn & 1) ? (m_uFlags | uFlag) : (m_uFlags & ~uFlag);
    }
    bool TakesInput() const
    {
        return (m_uFlags & (FLAG_VISIBLE | FLAG_ENABLED)) == (FLAG_VISIBLE | FLAG_ENABLED);
    }
    // Adds a child at the index clamped to 0..count.
    void Attach(CWidget* pWidget, int iIndex);
    // The capturing widget when input reaching this widget goes to it instead, else null.
    CWidget* CaptureElsewhere() const;
    // This widget's ancestors (from pFirst up) drop current widgets inside pLeaving's subtree.
    static void ForgetCurrentWithin(CWidget* pFirst, const CWidget* pLeaving);
    void MapRootToClient(int& x, int& y) const;
    static unsigned int ExtractSeparator(const CKorvelString& strPath, int iPos, int& iSeparatorLength);
    static CWidget* FindStep(CWidget* pWidget, const CKorvelString& strName, int iDepth);
    CWidget* FindAncestorNamed(const CKorvelString& strName) const;
};

// The widget as T when it has T's type (or a type derived from it), else null.
template <class TPtr> TPtr widget_cast(CWidget* pWidget)
{
    static_assert(std::is_pointer<TPtr>::value, "widget_cast takes a pointer type");
    typedef typename std::remove_pointer<TPtr>::type T;
    if (!pWidget || !pWidget->HasType(CWidgetTypeInfo<typename std::remove_cv<T>::type>::GetType()))
        return nullptr;
    return static_cast<TPtr>(pWidget);
}

template <class TPtr> TPtr widget_cast(const CWidget* pWidget)
{
    static_assert(std::is_pointer<TPtr>::value, "widget_cast takes a pointer type");
    typedef typename std::remove_pointer<TPtr>::type T;
    if (!pWidget || !pWidget->HasType(CWidgetTypeInfo<typename std::remove_cv<T>::type>::GetType()))
        return nullptr;
    return static_cast<TPtr>(pWidget);
}

// Fits the largest rectangle of the given aspect (width / height) into rect; align 0 puts it
// at the top or left, 1 at the bottom or right. 0 (rect unchanged) for an empty rect or aspect.
unsigned int FitAspect(CKorvelRect<int>& rect, float fAspect, float fAlign);

// The device has no silent-mode query.
inline unsigned int checkSilentMode()
{
    return 0;
}
