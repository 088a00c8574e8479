// Run-time widget types: one node per widget class, chained to the node of its type
// parent, so that a widget can be asked whether it is (or derives from) a given class.
#pragma once

#include "Framework/Shell/HashString.h"

class CWidgetType
{
public:
    CWidgetType(const CWidgetType* pAncestor, const CHashString& name) : m_pAncestor(pAncestor), m_Name(name)
    {
    }
    CWidgetType(const CWidgetType& other) = default;
    CWidgetType& operator=(const CWidgetType&) = delete;

    const CWidgetType* GetAncestor() const { return m_pAncestor; }
    const CHashString& GetName() const { return m_Name; }

    // Same ancestor node, same hash and the same name text.
    bool operator==(const CWidgetType& other) const
    {
        return m_pAncestor == other.m_pAncestor && m_Name.GetHash() == other.m_Name.GetHash() &&
               m_Name.GetText().Compare(other.m_Name.GetText()) == 0;
    }
    bool operator!=(const CWidgetType& other) const { return !(*this == other); }

    // 1 when this node or one of its ancestors equals type.
    unsigned int Implements(const CWidgetType& type) const;

private:
    const CWidgetType* m_pAncestor; // null for "widget"
    CHashString m_Name;
};

// The toolkit's type tree: each class's type name and type parent. Only the names are
// needed here, so every class of the tree has its node whether or not it is linked in.
class CWidget;
class CTextWidget;
class CImageWidget;
class CButton;
class CToggleButton;
class CPageButton;
class CExpandable;
class CBubble;
class CWebButton;
class CRotatingImageWidget;
class CProgressBar;
class CGradientWidget;
class CFrameWidget;
class CLayout;
class CSlideArea;
class CGridLayout;
class CRunningList;
class CInfiniteList;
class CPageView;
class CDivider;
class CRatioDivider;
class CAspectLayout;
class CAlignment;
class CSlider;
class CPieWidget;
class CWebView;

template <class T> struct CWidgetTypeTraits;

#define KORVEL_WIDGET_TYPE(cls, parent, name)                                                                \
    template <> struct CWidgetTypeTraits<cls>                                                                \
    {                                                                                                        \
        typedef parent Parent;                                                                               \
        static const char* Name() { return name; }                                                           \
    };

KORVEL_WIDGET_TYPE(CTextWidget, CWidget, "text_widget")
KORVEL_WIDGET_TYPE(CImageWidget, CWidget, "image")
KORVEL_WIDGET_TYPE(CButton, CImageWidget, "button")
KORVEL_WIDGET_TYPE(CToggleButton, CButton, "toggle_button")
KORVEL_WIDGET_TYPE(CPageButton, CToggleButton, "page_button")
KORVEL_WIDGET_TYPE(CExpandable, CButton, "expandable")
KORVEL_WIDGET_TYPE(CBubble, CButton, "bubble")
KORVEL_WIDGET_TYPE(CWebButton, CButton, "web_button")
KORVEL_WIDGET_TYPE(CRotatingImageWidget, CImageWidget, "rotating_image")
KORVEL_WIDGET_TYPE(CProgressBar, CImageWidget, "progressbar")
KORVEL_WIDGET_TYPE(CGradientWidget, CImageWidget, "gradient")
KORVEL_WIDGET_TYPE(CFrameWidget, CImageWidget, "frame")
KORVEL_WIDGET_TYPE(CLayout, CWidget, "layout")
KORVEL_WIDGET_TYPE(CSlideArea, CLayout, "slide_area")
KORVEL_WIDGET_TYPE(CGridLayout, CSlideArea, "grid_layout")
KORVEL_WIDGET_TYPE(CRunningList, CGridLayout, "running_list")
KORVEL_WIDGET_TYPE(CInfiniteList, CGridLayout, "infinite_list")
KORVEL_WIDGET_TYPE(CPageView, CLayout, "page_layout")
KORVEL_WIDGET_TYPE(CDivider, CLayout, "divider")
KORVEL_WIDGET_TYPE(CRatioDivider, CLayout, "ratio_divider_layout")
KORVEL_WIDGET_TYPE(CAspectLayout, CLayout, "aspect_layout")
KORVEL_WIDGET_TYPE(CAlignment, CLayout, "alignment")
KORVEL_WIDGET_TYPE(CSlider, CWidget, "slider")
KORVEL_WIDGET_TYPE(CPieWidget, CWidget, "pie")
KORVEL_WIDGET_TYPE(CWebView, CWidget, "web_view")

#undef KORVEL_WIDGET_TYPE

// T's node, built on first use; one node per class, shared by every caller.
template <class T> struct CWidgetTypeInfo
{
    static const CWidgetType& GetType()
    {
        static const CWidgetType s_Type(&CWidgetTypeInfo<typename CWidgetTypeTraits<T>::Parent>::GetType(),
                                        CHashString(CWidgetTypeTraits<T>::Name()));
        return s_Type;
    }
};

// The root of the tree, "widget", has no ancestor.
template <> struct CWidgetTypeInfo<CWidget>
{
    static const CWidgetType& GetType();
};

// A widget class's own GetType override, for the class body.
#define KORVEL_WIDGET_GETTYPE(cls)                                                                           \
    const CWidgetType& GetType() const override                                                              \
    {                                                                                                        \
        return CWidgetTypeInfo<cls>::GetType();                                                              \
    }
