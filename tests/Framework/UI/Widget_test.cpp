#include "Framework/UI/WebView.h"
#include "Framework/UI/Widget.h"
#include "support/PointerSequence.h"
#include "support/RecordingSurface.h"
#include "tests/Framework/UI/WidgetProbe.h"

#include <gtest/gtest.h>
#include <memory>

namespace widget_test
{
typedef CKorvelRect<int> Rect;

// The suite is named after the class it tests; inside it, the class is ::CWidget.
class CWidget : public ::testing::Test
{
protected:
    void SetUp() override { ::CWidget::SetActiveWidget(nullptr); }
    void TearDown() override
    {
        m_pRoot.reset();
        ::CWidget::SetActiveWidget(nullptr);
        EXPECT_EQ(CProbeWidget::s_iLive, 0);
    }
    CProbeWidget* Root(const Rect& area = Rect(0, 0, 200, 100))
    {
        m_pRoot.reset(CProbeWidget::Make(&m_Log, "root", area));
        return static_cast<CProbeWidget*>(m_pRoot.get());
    }
    CProbeWidget* Child(const char* pName, const Rect& area, ::CWidget* pParent)
    {
        return CProbeWidget::Make(&m_Log, pName, area, pParent);
    }
    // The log since the last call.
    WidgetLog Take()
    {
        WidgetLog out;
        out.swap(m_Log);
        return out;
    }

    WidgetLog m_Log;
    std::unique_ptr<::CWidget, sTreeDeleter> m_pRoot;
};

// ---- hit test and dispatch

TEST_F(CWidget, PressesReachTheTopmostOpaqueWidgetAtThePoint)
{
    CProbeWidget* pRoot = Root();
    Child("a", Rect(0, 0, 40, 40), pRoot);
    Child("t", Rect(0, 0, 40, 40), pRoot)->SetTransparent(1);
    Child("b1", Rect(50, 0, 90, 40), pRoot);
    Child("b2", Rect(60, 0, 100, 40), pRoot);
    Child("under", Rect(110, 0, 150, 40), pRoot);
    Child("off", Rect(110, 0, 150, 40), pRoot)->SetEnabled(0);
    Child("e", Rect(160, 0, 180, 40), pRoot);
    Child("hidden", Rect(160, 50, 200, 100), pRoot)->SetVisible(0);
    Take();

    struct
    {
        int x, y, iResult;
        const char* pExpected; // the one log line, or "" for none
    } aCases[] = {
        {20, 20, 1, "a:press 20,20"},                        // the transparent widget on top is passed over
        {70, 20, 1, "b2:press 10,20"},                       // of two opaque ones the later wins
        {55, 20, 1, "b1:press 5,20"},      {120, 20, 0, ""}, // a disabled opaque widget swallows the press
        {180, 40, 1, "e:press 20,40"},                       // right and bottom edges are inside
        {181, 40, 1, "root:press 181,40"},                   // one past the edge is not
        {170, 60, 1, "root:press 170,60"},                   // hidden widgets are not hit
    };
    for (const auto& c : aCases)
    {
        EXPECT_EQ(pRoot->DoMouseButton(0, c.x, c.y), c.iResult) << c.x << "," << c.y;
        WidgetLog log;
        for (const std::string& s : Take())
            if (s.find(":press") != std::string::npos)
                log.push_back(s);
        EXPECT_EQ(log, c.pExpected[0] ? WidgetLog{c.pExpected} : WidgetLog{}) << c.x << "," << c.y;
    }
}

TEST_F(CWidget, HitTestSkipsChildrenOfIgnoringWidgetsAndNeverAnswersItself)
{
    CProbeWidget* pRoot = Root();
    CProbeWidget* pPanel = Child("panel", Rect(10, 10, 110, 90), pRoot);
    CProbeWidget* pInner = Child("inner", Rect(0, 0, 50, 50), pPanel);
    EXPECT_EQ(pRoot->FindWidget(15, 15), pInner);
    EXPECT_EQ(pPanel->FindWidget(5, 5), pInner);
    EXPECT_EQ(pInner->FindWidget(5, 5), nullptr);
    pPanel->SetIgnoreChildren(1);
    EXPECT_EQ(pRoot->FindWidget(15, 15), pPanel);
    // A transparent panel whose child is hit still yields the child.
    pPanel->SetIgnoreChildren(0);
    pPanel->SetTransparent(1);
    EXPECT_EQ(pRoot->FindWidget(15, 15), pInner);
    EXPECT_EQ(pRoot->FindWidget(100, 80), nullptr);
}

TEST_F(CWidget, DragReleaseAndWheelFollowTheHitWithoutTouchingTheFocus)
{
    CProbeWidget* pRoot = Root();
    Child("a", Rect(10, 10, 50, 50), pRoot);
    pRoot->DoMouseButton(0, 150, 50);
    Take();
    const sPointerResults results = FeedPointerPath(*pRoot, {{150, 50}, {20, 30}, {60, 60}}, 0.1f);
    pRoot->DoMouseWheel(1, 11, 12);
    EXPECT_EQ(Take(), (WidgetLog{"root:press 150,50", "root:update", "a:update", "a:drag 10,20",
                                 "root:update", "a:update", "root:release 60,60", "a:wheel 1,2"}));
    EXPECT_EQ(results.m_aDrags, std::vector<int>{1});
    EXPECT_EQ(pRoot->GetCurrentWidget(), nullptr);
}

TEST_F(CWidget, KeysFollowTheChainOfCurrentWidgets)
{
    CProbeWidget* pRoot = Root();
    CProbeWidget* pPanel = Child("panel", Rect(100, 0, 200, 100), pRoot);
    CProbeWidget* pButton = Child("button", Rect(10, 10, 40, 40), pPanel);
    Child("other", Rect(0, 0, 50, 50), pRoot);
    Take();

    pRoot->DoMouseButton(0, 120, 20);
    EXPECT_EQ(Take(), (WidgetLog{"button:gain -", "button:press 10,10"}));
    EXPECT_EQ(pRoot->GetCurrentWidget(), pButton);
    EXPECT_EQ(pRoot->DoKeyDown(KET_KEY_DEVICE3), 1);
    pRoot->DoInputChar('x');
    EXPECT_EQ(Take(), (WidgetLog{"button:key 3,0", "button:char 120,0"}));

    pRoot->DoMouseButton(0, 10, 10);
    EXPECT_EQ(Take(), (WidgetLog{"button:lose other", "other:gain button", "other:press 10,10"}));
    // A press on no child drops the current widget; keys then reach the root itself.
    pRoot->DoMouseButton(0, 60, 60);
    EXPECT_EQ(Take(), (WidgetLog{"other:lose -", "root:press 60,60"}));
    pRoot->DoKeyDown(KET_KEY_DEVICE3);
    EXPECT_EQ(Take(), (WidgetLog{"root:key 3,0"}));
    // Disabled or hidden widgets take no input at all.
    pRoot->SetEnabled(0);
    EXPECT_EQ(pRoot->DoKeyDown(KET_KEY_DEVICE3), 0);
    EXPECT_EQ(pRoot->DoMouseButton(0, 60, 60), 0);
    EXPECT_TRUE(Take().empty());
}

TEST_F(CWidget, TheCaptureTakesInputEnteringOutsideItsSubtree)
{
    CProbeWidget* pRoot = Root(Rect(0, 0, 300, 300));
    CProbeWidget* pPanel = Child("panel", Rect(100, 100, 200, 200), pRoot);
    CProbeWidget* pCapturer = Child("cap", Rect(10, 10, 50, 50), pPanel);
    Child("inner", Rect(0, 0, 20, 20), pCapturer);
    Child("elsewhere", Rect(0, 0, 50, 50), pRoot);
    Take();
    ::CWidget::SetActiveWidget(pCapturer);

    // Points are mapped into the capturer's client space, even outside it.
    pRoot->DoMouseDrag(0, 5, 5);
    pRoot->DoMouseButtonUp(0, 300, 290);
    pRoot->DoMouseWheel(2, 111, 112);
    EXPECT_EQ(Take(), (WidgetLog{"cap:drag -105,-105", "cap:release 190,180", "inner:wheel 1,2"}));
    // Its own children still get their hits; keys go to it from anywhere.
    pRoot->DoMouseButton(0, 115, 115);
    pRoot->DoKeyDown(KET_KEY_DEVICE3);
    EXPECT_EQ(Take(), (WidgetLog{"inner:gain -", "inner:press 5,5", "inner:key 3,0"}));
    // Input entering inside the capturing subtree dispatches normally.
    pCapturer->DoMouseDrag(0, 30, 30);
    EXPECT_EQ(Take(), (WidgetLog{"cap:drag 30,30"}));

    pRoot->DoResetMouse();
    EXPECT_EQ(::CWidget::GetActiveWidget(), nullptr);
    EXPECT_EQ(Take(), (WidgetLog{"cap:lose -"}));
    pRoot->DoMouseDrag(0, 5, 5);
    EXPECT_EQ(Take(), (WidgetLog{"elsewhere:drag 5,5"}));
}

// ---- drawing and update

TEST_F(CWidget, ChildrenAreClippedToTheirParentAndTheClipIsRestored)
{
    CRecordingSurface surface;
    ASSERT_TRUE(surface.CreateRecording(200, 200));
    CProbeWidget* pRoot = Root(Rect(0, 0, 200, 200));
    CProbeWidget* pPanel = Child("panel", Rect(20, 20, 100, 100), pRoot);
    Child("c1", Rect(10, 10, 50, 50), pPanel);
    Child("c2", Rect(70, 70, 150, 150), pPanel);
    Child("outside", Rect(81, 0, 90, 10), pPanel);
    Child("hidden", Rect(0, 0, 10, 10), pPanel)->SetVisible(0);
    const Rect rcWhole(0, 0, 200, 200), rcPanel(20, 20, 100, 100);
    Take();

    EXPECT_EQ(pRoot->DoDraw(&surface), KE_OK);
    EXPECT_EQ(Take(), (WidgetLog{"root:draw", "panel:draw", "c1:draw", "c2:draw"}));
    const auto aFills = surface.CallsOf(CRecordingSurface::CALL_FILL);
    ASSERT_EQ(aFills.size(), 4u);
    const Rect aDest[] = {rcWhole, rcPanel, Rect(30, 30, 70, 70), Rect(90, 90, 170, 170)};
    const Rect aClip[] = {rcWhole, rcWhole, rcPanel, rcPanel};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_TRUE(SameRect(aFills[i].m_rcDest, aDest[i])) << i;
        EXPECT_TRUE(SameRect(aFills[i].m_rcClip, aClip[i])) << i;
    }
    // Each child's clip is set, then the saved one put back.
    const auto aClips = surface.CallsOf(CRecordingSurface::CALL_SET_CLIP);
    const Rect aSet[] = {rcWhole, rcPanel, rcWhole, rcPanel, rcWhole, rcWhole};
    ASSERT_EQ(aClips.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(SameRect(aClips[i].m_rcClip, aSet[i])) << i;
    EXPECT_TRUE(SameRect(surface.m_rcClip, rcWhole));
}

TEST_F(CWidget, TheFirstFailedDrawOrUpdateStopsTheTraversal)
{
    CRecordingSurface surface;
    ASSERT_TRUE(surface.CreateRecording(100, 100));
    CProbeWidget* pRoot = Root(Rect(0, 0, 100, 100));
    CProbeWidget* pPanel = Child("panel", Rect(0, 0, 100, 100), pRoot);
    CProbeWidget* pBad = Child("bad", Rect(0, 0, 10, 10), pPanel);
    Child("after", Rect(0, 0, 10, 10), pPanel);
    Child("last", Rect(0, 0, 10, 10), pRoot);
    pBad->m_iDrawResult = KE_ERR_BADDATA;
    Take();

    EXPECT_EQ(pRoot->DoDraw(&surface), KE_ERR_BADDATA);
    EXPECT_EQ(Take(), (WidgetLog{"root:draw", "panel:draw", "bad:draw"}));
    EXPECT_TRUE(SameRect(surface.m_rcClip, Rect(0, 0, 100, 100)));
    EXPECT_EQ(pRoot->DoUpdate(0.1f), KE_ERR_BADDATA);
    EXPECT_EQ(Take(), (WidgetLog{"root:update", "panel:update", "bad:update"}));

    // Hidden subtrees are neither drawn nor updated; disabled ones are.
    pBad->m_iDrawResult = KE_OK;
    pPanel->SetVisible(0);
    pRoot->GetWidgets()[1]->SetEnabled(0);
    Take();
    EXPECT_EQ(pRoot->DoUpdate(0.1f), KE_OK);
    EXPECT_EQ(pRoot->DoDraw(&surface), KE_OK);
    EXPECT_EQ(Take(), (WidgetLog{"root:update", "last:update", "root:draw", "last:draw"}));
}

TEST_F(CWidget, VisibilityReachesOnlyVisibleChildren)
{
    CProbeWidget* pRoot = Root();
    CProbeWidget* pPanel = Child("panel", Rect(0, 0, 50, 50), pRoot);
    CProbeWidget* pShown = Child("shown", Rect(0, 0, 10, 10), pPanel);
    CProbeWidget* pHidden = Child("hidden", Rect(0, 0, 10, 10), pPanel);
    pHidden->SetVisible(0);
    for (::CWidget* p :
         {static_cast<::CWidget*>(pPanel), static_cast<::CWidget*>(pShown), static_cast<::CWidget*>(pHidden)})
    {
        p->SetOnShow(CActionCallback(LogCallback, &m_Log));
        p->SetOnHide(CActionCallback(LogCallback, &m_Log));
    }
    Take();

    pPanel->SetVisible(0);
    EXPECT_EQ(Take(), (WidgetLog{"cb:panel", "cb:shown"}));
    pPanel->SetVisible(0); // unchanged: nothing
    pPanel->SetVisible(7); // any non-zero value shows
    EXPECT_EQ(Take(), (WidgetLog{"cb:panel", "cb:shown"}));
    EXPECT_EQ(pPanel->GetVisible(), 1u);
    EXPECT_EQ(pHidden->GetVisible(), 0u);
}

TEST_F(CWidget, AreaChangesNotifyTheAncestorsButMovesDoNot)
{
    CProbeWidget* pRoot = Root();
    CProbeWidget* pPanel = Child("panel", Rect(0, 0, 50, 50), pRoot);
    CProbeWidget* pLeaf = Child("leaf", Rect(0, 0, 10, 10), pPanel);
    Take();

    pLeaf->SetArea(Rect(0, 0, 10, 10));
    EXPECT_TRUE(Take().empty());
    pLeaf->SetArea(Rect(1, 2, 11, 12));
    EXPECT_EQ(Take(), (WidgetLog{"leaf:area", "panel:child_area leaf", "root:child_area leaf"}));
    pLeaf->SetPosition(30, 40);
    EXPECT_EQ(Take(), (WidgetLog{"leaf:area"}));
    EXPECT_TRUE(SameRect(pLeaf->GetArea(), Rect(30, 40, 40, 50)));
}

TEST_F(CWidget, MappingWalksTheWholeAncestorChain)
{
    CProbeWidget* pRoot = Root(Rect(0, 0, 1000, 1000));
    ::CWidget* pDeep = pRoot;
    for (int i = 0; i < 40; ++i) // deeper than any fixed chain limit
        pDeep = Child("level", Rect(1, 2, 900, 900), pDeep);
    int x = 100, y = 200;
    pDeep->MapFrom(nullptr, x, y);
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 120);
    pDeep->MapTo(pRoot, x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
}

TEST_F(CWidget, FitAspect)
{
    struct
    {
        Rect in;
        float fAspect, fAlign;
        unsigned int uResult;
        Rect out;
    } aCases[] = {
        {Rect(0, 0, 200, 100), 1.0f, 0.5f, 1, Rect(50, 0, 150, 100)},
        {Rect(10, 10, 110, 210), 1.0f, 0.0f, 1, Rect(10, 10, 110, 110)},
        {Rect(10, 10, 110, 210), 1.0f, 1.0f, 1, Rect(10, 110, 110, 210)},
        {Rect(0, 0, 100, 100), 4.0f / 3.0f, 0.5f, 1, Rect(0, 13, 100, 88)},
        {Rect(0, 0, 0, 100), 1.0f, 0.5f, 0, Rect(0, 0, 0, 100)},
        {Rect(0, 0, 100, 100), 0.0f, 0.5f, 0, Rect(0, 0, 100, 100)},
    };
    for (const auto& c : aCases)
    {
        Rect r = c.in;
        EXPECT_EQ(FitAspect(r, c.fAspect, c.fAlign), c.uResult);
        EXPECT_TRUE(SameRect(r, c.out)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    EXPECT_EQ(checkSilentMode(), 0u);
}

// ---- tree edits and life cycle

TEST_F(CWidget, InsertClampsTheIndex)
{
    CProbeWidget* pRoot = Root();
    Child("a", Rect(), pRoot);
    Child("b", Rect(), pRoot);
    CProbeWidget* pFirst = new CProbeWidget(&m_Log, "first");
    CProbeWidget* pZero = new CProbeWidget(&m_Log, "zero");
    CProbeWidget* pEnd = new CProbeWidget(&m_Log, "end");
    pRoot->InsertWidget(pFirst, -3);
    pRoot->InsertWidget(pZero, 0);
    pRoot->InsertWidget(pEnd, pRoot->GetWidgets().GetCount() + 5);
    const CKorvelArray<::CWidget*>& aKids = pRoot->GetWidgets();
    ASSERT_EQ(aKids.GetCount(), 5);
    EXPECT_EQ(aKids[0], pZero);
    EXPECT_EQ(aKids[1], pFirst);
    EXPECT_EQ(aKids[4], pEnd);
    for (int i = 0; i < aKids.GetCount(); ++i)
        EXPECT_EQ(aKids[i]->GetParent(), pRoot);
}

TEST_F(CWidget, TreeEditsKeepOneParentAndRefuseCycles)
{
    CProbeWidget* pRoot = Root();
    CProbeWidget* pA = Child("a", Rect(), pRoot);
    CProbeWidget* pB = Child("b", Rect(), pRoot);
    CProbeWidget* pLeaf = Child("leaf", Rect(), pA);

    pB->AddWidget(pLeaf); // moves
    EXPECT_EQ(pA->GetWidgets().GetCount(), 0);
    EXPECT_EQ(pLeaf->GetParent(), pB);
    pLeaf->AddWidget(pRoot); // an ancestor
    pLeaf->AddWidget(pLeaf);
    pLeaf->AddWidget(nullptr);
    EXPECT_EQ(pLeaf->GetWidgets().GetCount(), 0);
    EXPECT_EQ(pRoot->GetParent(), nullptr);
    EXPECT_EQ(pLeaf->GetRoot(), pRoot);
    EXPECT_EQ(pLeaf->HasParent(pRoot), 1u);
    EXPECT_EQ(pA->HasParent(pLeaf), 0u);
    EXPECT_EQ(::CWidget::HasParent(nullptr, pRoot), 0u);

    EXPECT_EQ(pA->RemoveWidget(pLeaf), 0u); // not a child of a
    EXPECT_EQ(pRoot->DeleteWidget(pLeaf), 0u);
    EXPECT_EQ(pRoot->RemoveWidget(CKorvelString("leaf")), 1u); // found one level down
    EXPECT_EQ(pLeaf->GetParent(), nullptr);
    EXPECT_EQ(pRoot->RemoveWidget(CKorvelString("leaf")), 0u);
    pRoot->AddWidget(pLeaf);
    EXPECT_EQ(pRoot->DeleteWidget(pA), 1u);
    EXPECT_EQ(pRoot->GetWidgets().GetCount(), 2);
    EXPECT_EQ(CProbeWidget::s_iLive, 3);
}

TEST_F(CWidget, RemovedAndDeletedWidgetsAreForgottenAsCurrentWidgets)
{
    CProbeWidget* pRoot = Root();
    CProbeWidget* pPage = Child("page", Rect(0, 0, 100, 100), pRoot);
    CProbeWidget* pRow = Child("row", Rect(0, 0, 100, 20), pPage);
    CProbeWidget* pCell = Child("cell", Rect(0, 0, 20, 20), pRow);

    pRoot->DoMouseButton(0, 5, 5);
    ASSERT_EQ(pRoot->GetCurrentWidget(), pCell);
    EXPECT_EQ(pPage->DeleteWidget(pRow), 1u);
    Take();
    // Neither the key nor the next press may touch the freed widgets.
    EXPECT_EQ(pRoot->DoKeyDown(KET_KEY_DEVICE3), 1);
    pRoot->DoMouseButton(0, 50, 50);
    EXPECT_EQ(Take(), (WidgetLog{"root:key 3,0", "page:gain -", "page:press 50,50"}));

    // A shut-down subtree still in the tree is forgotten too.
    CProbeWidget* pList = Child("list", Rect(0, 0, 100, 100), pPage);
    Child("item", Rect(0, 0, 50, 50), pList);
    pRoot->DoMouseButton(0, 10, 10);
    pList->Shutdown();
    EXPECT_EQ(pRoot->GetCurrentWidget(), nullptr);
    EXPECT_EQ(pPage->GetCurrentWidget(), nullptr);
    Take();
    pRoot->DoKeyDown(KET_KEY_DEVICE3);
    EXPECT_EQ(Take(), (WidgetLog{"root:key 3,0"}));

    // A removed widget lives on with its caller but no longer takes the tree's keys.
    CProbeWidget* pKept = Child("kept", Rect(0, 0, 100, 100), pRoot);
    pRoot->DoMouseButton(0, 10, 10);
    pRoot->RemoveWidget(pKept);
    Take();
    pRoot->DoKeyDown(KET_KEY_DEVICE3);
    EXPECT_EQ(Take(), (WidgetLog{"root:key 3,0"}));
    sTreeDeleter()(pKept);
}

TEST_F(CWidget, CaptureRulesOfTreeEdits)
{
    enum eEdit
    {
        REMOVE,
        HIDE,
        SHUTDOWN,
        REPARENT,
        SET_PARENT
    };
    struct
    {
        eEdit eWhat;
        bool bOnAncestor;
        bool bCleared;
    } aCases[] = {
        {REMOVE, false, true},     {HIDE, false, true},   {SHUTDOWN, false, true}, {REPARENT, false, true},
        {SET_PARENT, false, true}, {REMOVE, true, false}, {HIDE, true, false},     {SHUTDOWN, true, true},
    };
    for (const auto& c : aCases)
    {
        CProbeWidget* pRoot = Root();
        CProbeWidget* pPanel = Child("panel", Rect(0, 0, 50, 50), pRoot);
        CProbeWidget* pCapturer = Child("cap", Rect(0, 0, 10, 10), pPanel);
        ::CWidget::SetActiveWidget(pCapturer);
        CProbeWidget* pTarget = c.bOnAncestor ? pPanel : pCapturer;
        std::unique_ptr<::CWidget, sTreeDeleter> pDetached;
        switch (c.eWhat)
        {
        case REMOVE:
            pTarget->GetParent()->RemoveWidget(pTarget);
            pDetached.reset(pTarget);
            break;
        case HIDE:
            pTarget->SetVisible(0);
            break;
        case SHUTDOWN:
            pTarget->Shutdown();
            break;
        case REPARENT:
            pRoot->AddWidget(pTarget);
            break;
        case SET_PARENT:
            pTarget->SetParent(pTarget->GetParent());
            break;
        }
        EXPECT_EQ(::CWidget::GetActiveWidget() == nullptr, c.bCleared) << c.eWhat << " " << c.bOnAncestor;
        ::CWidget::SetActiveWidget(nullptr);
        pDetached.reset();
        m_pRoot.reset();
    }
}

TEST_F(CWidget, StartupAndShutdown)
{
    CProbeWidget* pWidget = new CProbeWidget(&m_Log, "w");
    EXPECT_EQ(pWidget->GetVisible(), 0u);
    EXPECT_EQ(pWidget->GetEnabled(), 0u);
    EXPECT_EQ(pWidget->GetBlendColor(), 0xFFFFFFFFu);
    pWidget->SetName(CKorvelString("before"));
    pWidget->SetData(&m_Log);
    pWidget->SetTransparent(1);
    pWidget->SetIgnoreChildren(3);
    pWidget->SetOnStartup(CActionCallback(LogCallback, &m_Log));
    EXPECT_EQ(pWidget->Startup(nullptr, nullptr, Rect(1, 2, 3, 4)), KE_OK);
    EXPECT_EQ(Take(), (WidgetLog{"w:area", "cb:"})); // the name is empty by then
    EXPECT_EQ(pWidget->GetVisible(), 1u);
    EXPECT_EQ(pWidget->GetEnabled(), 1u);
    EXPECT_EQ(pWidget->GetTransparent(), 0u);
    EXPECT_EQ(pWidget->GetIgnoreChildren(), 0u);
    EXPECT_EQ(pWidget->GetData(), nullptr);

    Child("c1", Rect(), pWidget);
    Child("c2", Rect(), Child("c3", Rect(), pWidget));
    pWidget->SetUniqueName(CKorvelString("unique"));
    pWidget->SetOnShutdown(CActionCallback(LogCallback, &m_Log));
    pWidget->SetName(CKorvelString("w"));
    EXPECT_EQ(CProbeWidget::s_iLive, 4);
    pWidget->Shutdown();
    EXPECT_EQ(CProbeWidget::s_iLive, 1);
    EXPECT_EQ(pWidget->GetWidgets().GetCount(), 0);
    EXPECT_EQ(pWidget->GetUniqueName(), nullptr);
    EXPECT_EQ(Take(), (WidgetLog{"cb:w"}));
    delete pWidget;
}

// ---- run-time types

TEST(CWidgetType, ChainsOfTheTypeTree)
{
    struct
    {
        const CWidgetType& type;
        const char* pChain; // the type's name and its ancestors'
    } aCases[] = {
        {CWidgetTypeInfo<::CWidget>::GetType(), "widget"},
        {CWidgetTypeInfo<CPageButton>::GetType(), "page_button toggle_button button image widget"},
        {CWidgetTypeInfo<CWebButton>::GetType(), "web_button button image widget"},
        {CWidgetTypeInfo<CFrameWidget>::GetType(), "frame image widget"},
        {CWidgetTypeInfo<CRunningList>::GetType(), "running_list grid_layout slide_area layout widget"},
        {CWidgetTypeInfo<CInfiniteList>::GetType(), "infinite_list grid_layout slide_area layout widget"},
        {CWidgetTypeInfo<CRatioDivider>::GetType(), "ratio_divider_layout layout widget"},
        {CWidgetTypeInfo<CPageView>::GetType(), "page_layout layout widget"},
        {CWidgetTypeInfo<CSlider>::GetType(), "slider widget"},
        {CWidgetTypeInfo<CWebView>::GetType(), "web_view widget"},
    };
    for (const auto& c : aCases)
    {
        std::string strChain;
        for (const CWidgetType* p = &c.type; p; p = p->GetAncestor())
        {
            char aName[64];
            p->GetName().GetText().MakeAnsi(aName);
            strChain += (strChain.empty() ? "" : " ") + std::string(aName);
            EXPECT_EQ(c.type.Implements(*p), 1u) << aName;
        }
        EXPECT_EQ(strChain, c.pChain);
    }
    const CWidgetType& button = CWidgetTypeInfo<CButton>::GetType();
    EXPECT_EQ(&button, &CWidgetTypeInfo<CButton>::GetType()); // one node per class
    EXPECT_EQ(CWidgetTypeInfo<CExpandable>::GetType().Implements(button), 1u);
    EXPECT_EQ(button.Implements(CWidgetTypeInfo<CExpandable>::GetType()), 0u);
    EXPECT_EQ(CWidgetTypeInfo<CLayout>::GetType().Implements(CWidgetTypeInfo<CImageWidget>::GetType()), 0u);
    // Equal nodes need the same ancestor as well as the same name.
    const CWidgetType copy(button);
    EXPECT_TRUE(copy == button);
    EXPECT_TRUE(CWidgetType(nullptr, CHashString("button")) != button);
    EXPECT_EQ(
        CWidgetType(&CWidgetTypeInfo<CImageWidget>::GetType(), CHashString("button")).Implements(button), 1u);
}

TEST(CWidgetType, CastsAndParentLookupOfPlainWidgets)
{
    std::unique_ptr<::CWidget, sTreeDeleter> pRoot(CProbeWidget::Make(nullptr, "root", Rect()));
    ::CWidget* pChild = CProbeWidget::Make(nullptr, "child", Rect(), pRoot.get());
    EXPECT_EQ(widget_cast<::CWidget*>(pChild), pChild);
    EXPECT_EQ(widget_cast<::CWidget*>(static_cast<::CWidget*>(nullptr)), nullptr);
    EXPECT_EQ(widget_cast<CWebView*>(pChild), nullptr);
    EXPECT_EQ(widget_cast<const ::CWidget*>(static_cast<const ::CWidget*>(pChild)), pChild);
    EXPECT_EQ(pChild->HasType(CWidgetTypeInfo<::CWidget>::GetType()), 1u);
    EXPECT_EQ(pChild->HasType(CWidgetTypeInfo<CButton>::GetType()), 0u);
    EXPECT_EQ(pChild->FindParentWithType<::CWidget>(), pRoot.get());
    EXPECT_EQ(pRoot->FindParentWithType<::CWidget>(), nullptr);
    EXPECT_EQ(pChild->FindParentWithType(CWidgetTypeInfo<CLayout>::GetType()), nullptr);
}
} // namespace widget_test
