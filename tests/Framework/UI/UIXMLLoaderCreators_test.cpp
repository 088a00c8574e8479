// The element creators: one small layout per element type and the fields it must give,
// colour values with and without a theme, event binding by class, and widgets kept under a
// unique name that the new element's type does not match.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <string>

#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/ActionHandler.h"
#include "Framework/UI/Alignment.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/Divider.h"
#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/RatioDivider.h"
#include "Framework/UI/RatioLayout.h"
#include "Framework/UI/RunningList.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Theme.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "tests/Framework/Shell/ResourceTestMedia.h"
#include "tests/Framework/UI/UiLoaderTest.h"

namespace
{
class CUIXMLLoaderCreators : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_App.m_iStarted, KE_OK);
        ASSERT_TRUE(m_App.AddFiles({{"sheet.png", SolidPng(8, 4)}}));
        m_Theme.AddColorConfig({S("brand"), 0x11223344});
        m_App.m_pTheme = &m_Theme;
    }

    // One element of that type and inner XML, in an 800 x 600 reference.
    WidgetTree Load(const std::string& strType, const std::string& strInner, const std::string& strAttrs = "",
                    const sLoadOptions& options = sLoadOptions())
    {
        return LoadLayout(m_App,
                          "<layout><element name='e' type='" + strType + "' " + strAttrs + ">" + strInner +
                              "</element></layout>",
                          800, 600, options);
    }
    template <class T> T* Loaded(const WidgetTree& tree)
    {
        CWidget* pWidget = Find(tree, "e");
        EXPECT_NE(pWidget, nullptr);
        EXPECT_TRUE(pWidget && pWidget->GetType() == CWidgetTypeInfo<T>::GetType());
        return widget_cast<T*>(pWidget);
    }

    CUiTestApp m_App{1024, 600, true};
    CVornTheme m_Theme;
};

const char* const kSheet =
    "<image path='sheet.png' frames_x='4' frames_y='2' animation_duration='0.8' frame='2'/>";
} // namespace

TEST_F(CUIXMLLoaderCreators, ButtonsReadTheSharedButtonAttributes)
{
    WidgetTree tree =
        Load("button",
             std::string(kSheet) + "<blend_color value='ff0000'/><cancellable value='1'/>"
                                   "<hitarea size='1.5' extra='0.25'/><clickdelay value='0.3'/>",
             "keep_aspect='1'");
    CButton* pButton = Loaded<CButton>(tree);
    ASSERT_NE(pButton, nullptr);
    ASSERT_NE(pButton->GetImage(), nullptr);
    EXPECT_EQ(pButton->GetFrameCount(), 8u);
    EXPECT_FLOAT_EQ(pButton->GetFrameDuration(), 0.1f);
    EXPECT_EQ(pButton->GetFrameIndex(), 2u);
    EXPECT_EQ(pButton->GetDrawFlags() & (CImageWidget::DRAW_FIXED_FRAME | CImageWidget::DRAW_KEEP_ASPECT),
              CImageWidget::DRAW_FIXED_FRAME | CImageWidget::DRAW_KEEP_ASPECT);
    EXPECT_EQ(pButton->GetBlendColor(), 0x00FF0000u) << "no alpha is added to a blend colour";
    EXPECT_EQ(pButton->GetTransparent(), 0u);
    EXPECT_EQ(pButton->GetCancellable(), 1u);
    EXPECT_FLOAT_EQ(pButton->GetHitAreaSize(), 1.5f);
    EXPECT_FLOAT_EQ(pButton->GetExtraHitAreaWhenPressed(), 0.25f);
    EXPECT_FLOAT_EQ(pButton->GetClickDelay(), 0.3f);
    CKorvelSurface* pImage = pButton->GetImage();
    tree.reset();
    EXPECT_EQ(m_App.HaveSurface(S("sheet.png")), nullptr) << "the widget held the only reference";
    (void)pImage;

    WidgetTree toggle = Load("toggle_button", "<blend_color value='brand'/><layout_widgets value='1'/>");
    CToggleButton* pToggle = Loaded<CToggleButton>(toggle);
    ASSERT_NE(pToggle, nullptr);
    EXPECT_EQ(pToggle->GetBlendColor(), 0x11223344u) << "a theme colour name";
    EXPECT_EQ(pToggle->GetChildLook(), 1u);
    EXPECT_EQ(pToggle->GetPressed(), 0u);

    WidgetTree web =
        Load("web_button", "<target url='http://example.invalid/?u=%USER%'/><blend_color value='zz'/>");
    CWebButton* pWeb = Loaded<CWebButton>(web);
    ASSERT_NE(pWeb, nullptr);
    EXPECT_EQ(Text(pWeb->GetUrl()), "http://example.invalid/?u=%USER%");
    EXPECT_EQ(pWeb->GetImage(), nullptr);

    WidgetTree bubble = Load("bubble", "<arrow value='bottom-left'/><blend_color value='ff'/>");
    CBubble* pBubble = Loaded<CBubble>(bubble);
    ASSERT_NE(pBubble, nullptr);
    EXPECT_EQ(pBubble->GetArrowSide(), static_cast<int>(CBubble::ARROW_BOTTOM_LEFT));
    EXPECT_EQ(pBubble->GetBlendColor(), CWidget().GetBlendColor()) << "a bubble reads no button attributes";
}

TEST_F(CUIXMLLoaderCreators, ImagesTakeFramesDurationAndDrawFlags)
{
    struct sCASE
    {
        const char* pInner;
        unsigned int uFlags; // of fixed frame, inside only, no clipping, keep aspect
        float fDuration;
        unsigned int uFrame;
    };
    const sCASE aCases[] = {
        {kSheet, CImageWidget::DRAW_FIXED_FRAME, 0.1f, 2},
        {"<image path='sheet.png' frames_x='4' frames_y='2' frame='2'/><skip_animation value='0'/>", 0, 1.0f,
         2},
        {"<image path='sheet.png'/><skip_clipped_draw value='1'/><skip_clipping value='1'/><animation_frame "
         "value='3'/>",
         CImageWidget::DRAW_ONLY_INSIDE | CImageWidget::DRAW_NO_CLIPPING, 1.0f, 0},
        {"<image path='missing.png' animation_duration='2'/><skip_animation value='1'/>",
         CImageWidget::DRAW_FIXED_FRAME, 0.0f, 0},
    };
    const unsigned int uWatched = CImageWidget::DRAW_FIXED_FRAME | CImageWidget::DRAW_ONLY_INSIDE |
                                  CImageWidget::DRAW_NO_CLIPPING | CImageWidget::DRAW_KEEP_ASPECT;
    for (const sCASE& c : aCases)
    {
        WidgetTree tree = Load("image", c.pInner);
        CImageWidget* pImage = Loaded<CImageWidget>(tree);
        ASSERT_NE(pImage, nullptr) << c.pInner;
        EXPECT_EQ(pImage->GetDrawFlags() & uWatched, c.uFlags) << c.pInner;
        EXPECT_FLOAT_EQ(pImage->GetFrameDuration(), c.fDuration) << c.pInner;
        EXPECT_EQ(pImage->GetFrameIndex(), c.uFrame) << c.pInner;
        EXPECT_EQ(pImage->GetTransparent(), 1u);
    }
    WidgetTree keep = Load("image", "<blend_color value='80ff0000'/>", "keep_aspect='2'");
    CImageWidget* pKeep = Loaded<CImageWidget>(keep);
    ASSERT_NE(pKeep, nullptr);
    EXPECT_NE(pKeep->GetDrawFlags() & CImageWidget::DRAW_KEEP_ASPECT, 0u);
    EXPECT_EQ(pKeep->GetBlendColor(), 0x80FF0000u);
}

TEST_F(CUIXMLLoaderCreators, TextsTakeColoursFontsInputModesAndAlignment)
{
    CKorvelBitmapFont* pDefault = m_App.GetFont(S("default"));
    ASSERT_NE(pDefault, nullptr);
    WidgetTree tree = Load("text", "<text value='Hello' font='nowhere' color='ff0000' type='input' title='3' "
                                   "align='center-middle'/>");
    CTextWidget* pText = Loaded<CTextWidget>(tree);
    ASSERT_NE(pText, nullptr);
    EXPECT_EQ(Text(pText->GetDisplayText()), "Hello");
    EXPECT_EQ(pText->GetFont(), pDefault) << "a missing font falls back to the default one";
    EXPECT_EQ(pText->GetColor(), 0xFFFF0000u);
    EXPECT_EQ(pText->GetDisplayColor(), 0xFFFF0000u) << "the display colour follows the colour";
    EXPECT_EQ(pText->GetEditable(), 1u);
    EXPECT_EQ(pText->GetPasswordMode(), 0u);
    EXPECT_EQ(pText->GetLocalizedInputBoxTitle(), 3);
    EXPECT_EQ(pText->GetTextAlign(), 0x80000u + 768u);
    m_App.ReleaseFont(pDefault);

    struct sCASE
    {
        const char* pAttrs;
        unsigned int uColor, uDisplayColor, uAlign, uEditable;
    };
    const sCASE aCases[] = {
        {"color='80ff0000' displaycolor='brand' type='input' align='right-middle'", 0x80FF0000u, 0x11223344u,
         0x80000u + 0x40200u, 1},
        {"color='zz' displaycolor='fff' align='sideways'", 0, 0xFF000FFFu, 0x80000u, 0},
        {"align='right'", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xC0000u, 0},
    };
    for (const sCASE& c : aCases)
    {
        CTextWidget fresh;
        WidgetTree other = Load("text", std::string("<text ") + c.pAttrs + "/>");
        CTextWidget* p = Loaded<CTextWidget>(other);
        ASSERT_NE(p, nullptr) << c.pAttrs;
        EXPECT_EQ(p->GetColor(),
                  std::string(c.pAttrs).find("color=") == std::string::npos ? fresh.GetColor() : c.uColor)
            << c.pAttrs;
        if (std::string(c.pAttrs).find("color=") != std::string::npos)
        {
            EXPECT_EQ(p->GetDisplayColor(), c.uDisplayColor) << c.pAttrs;
        }
        EXPECT_EQ(p->GetTextAlign(), c.uAlign) << c.pAttrs;
        EXPECT_EQ(p->GetEditable(), c.uEditable) << c.pAttrs;
    }
    WidgetTree password = Load("text", "<text type='password' title='x'/>");
    CTextWidget* pPassword = Loaded<CTextWidget>(password);
    ASSERT_NE(pPassword, nullptr);
    EXPECT_EQ(pPassword->GetEditable(), 1u);
    EXPECT_EQ(pPassword->GetPasswordMode(), 1u);
    EXPECT_EQ(pPassword->GetLocalizedInputBoxTitle(), 0) << "a title that does not scan";

    WidgetTree bare = Load("text", "");
    CTextWidget* pBare = Loaded<CTextWidget>(bare);
    ASSERT_NE(pBare, nullptr);
    EXPECT_EQ(pBare->GetEditable(), 0u);
    EXPECT_EQ(pBare->GetFont(), nullptr) << "without a text child nothing more is read";
}

TEST_F(CUIXMLLoaderCreators, LayoutsReadOrientationsSizesAndNames)
{
    struct sCASE
    {
        const char* pAttrs;
        int iOrientation;
    };
    for (const sCASE& c :
         {sCASE{"orientation='bottom'", 3}, sCASE{"orientation='top'", 1}, sCASE{"orientation='up'", 0}})
    {
        WidgetTree tree = Load("divider_layout", "", c.pAttrs);
        CDivider* p = Loaded<CDivider>(tree);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(static_cast<int>(p->GetOrientation()), c.iOrientation) << c.pAttrs;
        EXPECT_EQ(p->GetTransparent(), 1u);
    }
    WidgetTree divider = Load("divider_layout", "", "aspect='2' max_item_width='0.25' max_item_height='0.5'");
    CDivider* pDivider = Loaded<CDivider>(divider);
    ASSERT_NE(pDivider, nullptr);
    EXPECT_FLOAT_EQ(pDivider->GetAspect(), 2.0f);
    EXPECT_EQ(pDivider->GetMaxItemWidth(), 200);
    EXPECT_EQ(pDivider->GetMaxItemHeight(), 300);

    for (const sCASE& c : {sCASE{"orientation='bottom'", 0}, sCASE{"orientation='vertical'", 1}})
    {
        WidgetTree tree =
            Load("ratio_layout", "", std::string(c.pAttrs) + " ratio='0.25' min_first_item_size='0.1'");
        CRatioDivider* p = Loaded<CRatioDivider>(tree);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(static_cast<int>(p->GetOrientation()), c.iOrientation) << c.pAttrs;
        EXPECT_FLOAT_EQ(p->GetRatio(), 0.25f);
        EXPECT_EQ(p->GetMinFirstItemSize(), c.iOrientation ? 60 : 80)
            << "a fraction of the orientation's side";
    }

    WidgetTree aspect = Load("aspect_layout", "");
    ASSERT_NE(Loaded<CAspectLayout>(aspect), nullptr);
    EXPECT_EQ(Text(Loaded<CAspectLayout>(aspect)->GetName()), "e")
        << "the element's name replaces the made one";
    WidgetTree unnamed =
        LoadLayout(m_App,
                   "<layout><element type='aspect_layout'/>"
                   "<element type='aspect_layout' aspect='1.5' positioning='0.5'/>"
                   "<element type='anchor_layout' vertical='bottom' horizontal='right'/></layout>",
                   800, 600);
    ASSERT_EQ(unnamed->GetWidgets().GetCount(), 3);
    EXPECT_EQ(Text(unnamed->GetWidgets()[0]->GetName()), "aspect(1.000000,0.000000)");
    EXPECT_EQ(Text(unnamed->GetWidgets()[1]->GetName()), "aspect(1.500000,0.500000)");
    EXPECT_EQ(Text(unnamed->GetWidgets()[2]->GetName()), "alignment(0)")
        << "named before the element is read";

    WidgetTree anchor = Load("anchor_layout", "<border-size width='0.1' height='0.05' left='0.2'/>",
                             "vertical='center' horizontal='scaled'");
    CAlignment* pAnchor = Loaded<CAlignment>(anchor);
    ASSERT_NE(pAnchor, nullptr);
    EXPECT_EQ(pAnchor->GetAlignment(), 1u + 8u);
    EXPECT_EQ(pAnchor->GetTransparent(), 1u);
}

TEST_F(CUIXMLLoaderCreators, ExpandablesListTheirLevelSizes)
{
    WidgetTree tree = Load("expand_layout", "<size w='0.25' h='0.1'/><width value='0.5'/><width value='1.0'/>"
                                            "<transition-time value='0.4'/>");
    CExpandable* p = Loaded<CExpandable>(tree);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetTransparent(), 0u);
    EXPECT_FLOAT_EQ(p->GetTransitionTime(), 0.4f);
    ASSERT_EQ(p->GetNumberOfExpansionLevels(), 2);
    EXPECT_EQ(p->GetExpansionHeight(0), p->GetHeight()) << "no height list";
    p->SetExpansionLevelSkipAnimation(1);
    EXPECT_EQ(p->GetWidth(), 800);
    p->SetExpansionLevelSkipAnimation(0);
    EXPECT_EQ(p->GetWidth(), 400);
    EXPECT_EQ(p->GetHeight(), 60);
}

TEST_F(CUIXMLLoaderCreators, DroppedAndUnknownTypes)
{
    WidgetTree tree =
        LoadLayout(m_App,
                   "<layout><element name='web' type='web_view'><element name='under'/></element>"
                   "<element name='odd' type='no_such_type'><flags enabled='0'/>"
                   "<element name='child' type='button'/></element></layout>",
                   800, 600);
    EXPECT_EQ(Find(tree, "web"), nullptr);
    EXPECT_EQ(Find(tree, "under"), nullptr) << "the subtree goes with the web view";
    CWidget* pOdd = Find(tree, "odd");
    ASSERT_NE(pOdd, nullptr);
    EXPECT_EQ(pOdd->GetType(), CWidgetTypeInfo<CWidget>::GetType());
    EXPECT_EQ(pOdd->GetTransparent(), 1u);
    EXPECT_EQ(pOdd->GetEnabled(), 0u);
    EXPECT_NE(widget_cast<CButton*>(pOdd->FindWidget(S("child"), 0)), nullptr);
}

namespace
{
KE_RETVAL Nothing(CWidget*, void*)
{
    return KE_OK;
}

CWidget* CreatePlain(CUIXMLLoader* pLoader, CKorvelXMLDataNode*, CWidget& parent, CWidget* pCandidate)
{
    CWidget* p = CUIXMLLoader::TakeOrCreate<CWidget>(pLoader, parent, pCandidate);
    p->SetHighlightColor(0x12345678);
    return p;
}
} // namespace

TEST_F(CUIXMLLoaderCreators, EventsBindOnlyToTheirClass)
{
    CActionHandler handler;
    CActionCallbackMap actions;
    actions.Startup(&handler);
    actions.RegisterAction(S("go"), CActionCallback(Nothing, nullptr), 0);
    const CActionCallback go = actions.GetActionCallback(S("go"));
    sLoadOptions options;
    options.pActions = &actions;
    const std::string strEvents =
        "<events><onclick action='go'/><onchanged action='go'/><onfinished action='go'/>"
        "<onbeginexpand action='go'/><onendexpand action='go'/>"
        "<onloaditem action='go'/><onforgetitem action='go'/>"
        "<onloaditembatch action='go'/><onloadgroup action='go'/>"
        "<onbeginscroll action='go'/><onendscroll action='go'/></events>";
    WidgetTree tree = LoadLayout(
        m_App,
        "<layout><element name='b' type='button'>" + strEvents + "</element><element name='t' type='text'>" +
            strEvents + "</element><element name='x' type='expand_layout'>" + strEvents +
            "</element><element name='i' type='image'>" + strEvents +
            "</element><element name='l' type='infinite_list'>" + strEvents +
            "</element><element name='a' type='slidearea'>" + strEvents + "</element></layout>",
        800, 600, options);
    CButton* pButton = widget_cast<CButton*>(Find(tree, "b"));
    CTextWidget* pText = widget_cast<CTextWidget*>(Find(tree, "t"));
    CExpandable* pExpand = widget_cast<CExpandable*>(Find(tree, "x"));
    ASSERT_TRUE(pButton && pText && pExpand);
    ASSERT_NE(Find(tree, "i"), nullptr) << "events of other classes leave an image alone";
    EXPECT_EQ(pButton->GetOnClick(), go);
    EXPECT_EQ(pText->GetOnChanged(), go);
    EXPECT_EQ(pText->GetOnFinished(), go);
    EXPECT_EQ(pExpand->GetOnBeginExpand(), go);
    EXPECT_EQ(pExpand->GetOnEndExpand(), go);
    EXPECT_EQ(pExpand->GetOnClick(), go) << "an expandable is a button";
    CInfiniteList* pList = widget_cast<CInfiniteList*>(Find(tree, "l"));
    CSlideArea* pArea = widget_cast<CSlideArea*>(Find(tree, "a"));
    ASSERT_TRUE(pList && pArea);
    for (const CActionCallback* p :
         {&pList->GetOnLoadItem(), &pList->GetOnForgetItem(), &pList->GetOnLoadItemBatch(),
          &pList->GetOnLoadGroup(), &pList->GetOnBeginScroll(), &pList->GetOnEndScroll(),
          &pArea->GetOnBeginScroll(), &pArea->GetOnEndScroll()})
        EXPECT_EQ(*p, go);
    handler.Shutdown();
    actions.Shutdown();
}

TEST_F(CUIXMLLoaderCreators, ExtraCreatorsCannotReplaceABuiltInType)
{
    CUIXMLLoader::CreatorMap extra;
    extra.Add(CHashString("button"), CreatePlain);
    sLoadOptions options;
    options.pExtraCreators = &extra;
    WidgetTree tree = Load("button", "", "", options);
    CButton* pButton = Loaded<CButton>(tree);
    ASSERT_NE(pButton, nullptr);
    EXPECT_NE(pButton->GetHighlightColor(), 0x12345678u);
}

// Under the address sanitizer: a kept widget of another class must never be used as the
// class the new element makes.
TEST_F(CUIXMLLoaderCreators, AUniqueNameReusedByAnotherTypeGivesAWidgetOfTheNewType)
{
    struct sCASE
    {
        const char* pOldType;
        const char* pNewType;
    };
    const sCASE aCases[] = {{"text", "button"},
                            {"button", "image"},
                            {"toggle_button", "button"},
                            {"image", "text"},
                            {"expand_layout", "bubble"},
                            {"divider_layout", "ratio_layout"},
                            {"anchor_layout", "aspect_layout"},
                            {"button", ""},
                            {"", "web_button"},
                            {"button", "web_view"},
                            {"text", "text"}};
    for (const sCASE& c : aCases)
    {
        WidgetTree first = LoadLayout(m_App,
                                      std::string("<layout><element name='old' uniquename='u' type='") +
                                          c.pOldType + "'><text value='x'/></element></layout>",
                                      800, 600);
        CWidget* pOld = Find(first, "old");
        ASSERT_NE(pOld, nullptr);
        const CWidgetType& oldType = pOld->GetType();
        sLoadOptions options;
        options.pOldRoot = first.release();
        WidgetTree second =
            LoadLayout(m_App,
                       std::string("<layout><element name='new' uniquename='u' type='") + c.pNewType +
                           "'><text value='y'/><image path='sheet.png'/>"
                           "<width value='1'/></element></layout>",
                       800, 600, options);
        CWidget* pNew = Find(second, "new");
        if (std::string(c.pNewType) == "web_view")
        {
            EXPECT_EQ(pNew, nullptr);
            continue;
        }
        ASSERT_NE(pNew, nullptr) << c.pOldType << " -> " << c.pNewType;
        const bool bSameType = std::string(c.pOldType) == c.pNewType;
        EXPECT_EQ(pNew == pOld, bSameType) << c.pOldType << " -> " << c.pNewType;
        if (!bSameType)
        {
            EXPECT_NE(pNew->GetType(), oldType) << c.pOldType << " -> " << c.pNewType;
        }
        pNew->DoUpdate(0.1f);
    }
}

TEST_F(CUIXMLLoaderCreators, ScrollChildSetsDraggingAndThresholdsInTensOfPixels)
{
    // A 1000 x 600 reference: 0.02 is 20 pixels across, 0.025 is 25, 0.0248333 down is 14.9.
    // Dragging areas route input to their children themselves; the others let it through.
    const struct
    {
        const char* pScroll;
        unsigned int uDrag;
        float fX, fY;
        unsigned int uIgnoreChildren, uTransparent;
    } aCases[] = {
        {"<scroll enabled='1' threshold_x='0.02'/>", 1, 30.0f, 0.0f, 1, 0},
        {"<scroll enabled='1' threshold_x='-0.025' threshold_y='0.0248333'/>", 1, 30.0f, 20.0f, 1, 0},
        {"<scroll threshold_y='0.001'/>", 0, 0.0f, 10.0f, 0, 1},
        {"", 0, 0.0f, 0.0f, 1, 0},
    };
    for (const auto& c : aCases)
    {
        WidgetTree tree = LoadLayout(m_App,
                                     std::string("<layout><element name='e' type='slidearea'>") + c.pScroll +
                                         "</element></layout>",
                                     1000, 600);
        CSlideArea* p = Loaded<CSlideArea>(tree);
        ASSERT_NE(p, nullptr) << c.pScroll;
        EXPECT_EQ(p->GetAllowDrag(), c.uDrag) << c.pScroll;
        EXPECT_EQ(p->GetScrollThreshold().x, c.fX) << c.pScroll;
        EXPECT_EQ(p->GetScrollThreshold().y, c.fY) << c.pScroll;
        EXPECT_EQ(p->GetIgnoreChildren(), c.uIgnoreChildren) << c.pScroll;
        EXPECT_EQ(p->GetTransparent(), c.uTransparent) << c.pScroll;
    }
}

TEST_F(CUIXMLLoaderCreators, GridsAndListsReadCountsSpacingsBordersAndModes)
{
    const std::string strChildren = "<item-spacing horizontal='0.01' vertical='0.02'/>"
                                    "<border-size width='0.005' height='0.01' left='0.02'/>";
    WidgetTree tree =
        LoadLayout(m_App,
                   "<layout><element name='g' type='grid_layout' num_columns='3' num_rows='-2' "
                   "layout_mode='uniform_list'>" +
                       strChildren +
                       "</element><element name='d' type='grid_layout' layout_mode='other'/>"
                       "<element name='i' type='infinite_list'>" +
                       strChildren +
                       "<page-size value='2'/></element><element name='j' type='infinite_list' "
                       "layout_mode='grid'/><element name='r' type='running_list'>" +
                       strChildren +
                       "<max-item-count value='5'/><expands-to value='top'/><autoscroll enabled='0' "
                       "speed='0.5'/></element><element name='s' type='running_list'>"
                       "<expands-to value='bottom'/></element></layout>",
                   1000, 600);
    CGridLayout* pGrid = widget_cast<CGridLayout*>(Find(tree, "g"));
    CGridLayout* pDefault = widget_cast<CGridLayout*>(Find(tree, "d"));
    CInfiniteList* pList = widget_cast<CInfiniteList*>(Find(tree, "i"));
    CInfiniteList* pGridList = widget_cast<CInfiniteList*>(Find(tree, "j"));
    CRunningList* pRunning = widget_cast<CRunningList*>(Find(tree, "r"));
    CRunningList* pPlain = widget_cast<CRunningList*>(Find(tree, "s"));
    ASSERT_TRUE(pGrid && pDefault && pList && pGridList && pRunning && pPlain);

    EXPECT_EQ(pGrid->GetNumColumns(), 3);
    EXPECT_EQ(pGrid->GetNumRows(), 0) << "a negative count is unset";
    EXPECT_EQ(pGrid->GetLayoutMode(), CGridLayout::LAYOUT_UNIFORM_LIST);
    EXPECT_EQ(pDefault->GetLayoutMode(), CGridLayout::LAYOUT_GRID);
    EXPECT_EQ(pDefault->GetNumColumns(), 0);
    for (CGridLayout* p : {pGrid, static_cast<CGridLayout*>(pList), static_cast<CGridLayout*>(pRunning)})
    {
        EXPECT_EQ(p->GetHorizontalItemSpacing(), 10);
        EXPECT_EQ(p->GetVerticalItemSpacing(), 12);
        EXPECT_EQ(p->GetBorderSize(CSlideArea::SIDE_LEFT), 20);
        EXPECT_EQ(p->GetBorderSize(CSlideArea::SIDE_RIGHT), 5);
        EXPECT_EQ(p->GetBorderSize(CSlideArea::SIDE_TOP), 6);
        EXPECT_EQ(p->GetBorderSize(CSlideArea::SIDE_BOTTOM), 6);
    }

    EXPECT_EQ(pList->GetPageSize(), 3);
    EXPECT_EQ(pList->GetLayoutMode(), CGridLayout::LAYOUT_LIST);
    EXPECT_EQ(pGridList->GetPageSize(), 10);
    EXPECT_EQ(pGridList->GetLayoutMode(), CGridLayout::LAYOUT_GRID);
    EXPECT_EQ(pRunning->GetMaxItemCount(), 5);
    EXPECT_EQ(pRunning->GetBottomAnchored(), 0u);
    EXPECT_EQ(pRunning->GetAutoScroll(), 0u);
    EXPECT_FLOAT_EQ(pRunning->GetScrollTime(), 0.5f);
    EXPECT_EQ(pPlain->GetMaxItemCount(), 20);
    EXPECT_EQ(pPlain->GetBottomAnchored(), 1u);
    EXPECT_EQ(pPlain->GetAutoScroll(), 1u);
    EXPECT_EQ(pPlain->GetLayoutMode(), CGridLayout::LAYOUT_LIST);
}

TEST_F(CUIXMLLoaderCreators, EasingChildrenGiveCurvesByName)
{
    CXMLLoaderWrapper document;
    document.Startup(m_App);
    std::string strXml = Quoted("<e><in curve='pow2' param1='1' param2='2' param9='9'/><bare/>"
                                "<odd curve='no_such_curve'/></e>");
    ASSERT_EQ(document.LoadFromData(reinterpret_cast<unsigned char*>(&strXml[0]),
                                    static_cast<unsigned int>(strXml.size())),
              KE_OK);
    CKorvelXMLDataNode* pElement = document.GetRootNode();
    CUIXMLLoader loader;
    ASSERT_EQ(loader.Startup(m_App, nullptr, nullptr, nullptr, nullptr, nullptr), KE_OK);
    struct sCASE
    {
        const char* pChild;
        bool bCurve;
        float fAtHalf;
    };
    const sCASE aCases[] = {
        {"in", true, 0.25f}, {"bare", false, 0}, {"missing", false, 0}, {"odd", true, 1.0f}};
    for (const sCASE& c : aCases)
    {
        IEasingCurve* pCurve = CUIXMLLoader::ParseEasing(&loader, pElement, c.pChild, 0);
        EXPECT_EQ(pCurve != nullptr, c.bCurve) << c.pChild;
        if (pCurve)
        {
            EXPECT_FLOAT_EQ(pCurve->Easing(0.5f), c.fAtHalf) << c.pChild << ": an unknown name gives a step";
            delete pCurve;
        }
    }
    // The root the loader made for itself has the drawing target's size.
    CWidget* pRoot = loader.GetRootWidget();
    ASSERT_NE(pRoot, nullptr);
    EXPECT_EQ(Text(pRoot->GetName()), "rootwidget");
    EXPECT_TRUE(HasArea(pRoot, Rect(0, 0, 1024, 600)));
    EXPECT_EQ(pRoot->GetTransparent(), 1u);
    loader.Shutdown();
    WidgetTree owned(pRoot);
    document.Shutdown();
}
