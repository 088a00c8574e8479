#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/SlideArea.h"
#include "support/PointerSequence.h"
#include "support/RecordingSurface.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace slide_area_test
{
typedef CKorvelRect<int> Rect;

KE_RETVAL Count(CWidget*, void* pContext)
{
    ++*static_cast<int*>(pContext);
    return KE_OK;
}

// The shown position of a fling of iDistance pixels from iStart, fSeconds into its 1 s.
int FlingAt(int iStart, float fDistance, float fSeconds)
{
    const float t = 1.0f - fSeconds;
    return static_cast<int>(
        std::floor(static_cast<float>(iStart) + fDistance * (1.0f - t * t * t * t * t) + 0.5f));
}

// Every press first ends the previous scroll session (onendscroll), moving or not.
// The area under test is 100 x 200 at (10, 20) of a 400 x 400 root; its content is one
// probe of the given height. Input enters at the root in screen coordinates.
class CSlideArea : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::CWidget::SetActiveWidget(nullptr);
        m_pRoot.reset(CProbeWidget::Make(&m_Log, "root", Rect(0, 0, 400, 400)));
    }
    void TearDown() override
    {
        m_pRoot.reset();
        ::CWidget::SetActiveWidget(nullptr);
        EXPECT_EQ(CProbeWidget::s_iLive, 0);
    }
    ::CSlideArea* MakeArea(int iContentHeight)
    {
        m_pArea = new ::CSlideArea;
        m_pArea->Startup(nullptr, nullptr, Rect(10, 20, 110, 220));
        m_pArea->SetOnBeginScroll(CActionCallback(&Count, &m_iBegins));
        m_pArea->SetOnEndScroll(CActionCallback(&Count, &m_iEnds));
        m_pRoot->AddWidget(m_pArea);
        CProbeWidget::Make(&m_Log, "content", Rect(0, 0, 100, iContentHeight), m_pArea);
        m_pArea->SetAllowDrag(1);
        return m_pArea;
    }
    CProbeWidget* Child(const char* pName, const Rect& area)
    {
        return CProbeWidget::Make(&m_Log, pName, area, m_pArea);
    }
    void Frames(float fSeconds, int iCount = 1)
    {
        for (int i = 0; i < iCount; ++i)
            m_pRoot->DoUpdate(fSeconds);
    }
    // An upward drag of iDistance pixels from the area's bottom in iSteps moves with a frame
    // before each, then the release at the last point.
    sPointerResults DragUp(int iDistance, int iSteps, float fFrame)
    {
        CPointerSequence<::CWidget> seq(*m_pRoot);
        seq.Press(60, 215);
        for (int i = 1; i <= iSteps; ++i)
            seq.Frames(fFrame).Drag(60, 215 - iDistance * i / iSteps);
        seq.Release(60, 215 - iDistance);
        return seq.Results();
    }
    WidgetLog Take()
    {
        WidgetLog out;
        out.swap(m_Log);
        return out;
    }
    // The input the probes received since the last call, without updates and area changes.
    WidgetLog TakeInput()
    {
        WidgetLog out;
        for (const std::string& str : Take())
            if (str.find(":update") == std::string::npos && str.find(":area") == std::string::npos &&
                str.find(":child_area") == std::string::npos)
                out.push_back(str);
        return out;
    }

    // A vertical bar of 10 x 40 placed 5 pixels from the area's top.
    ::CImageWidget* AddBar()
    {
        m_pSheet = MakeSheet(10, 40, 1, 1, 0xFF808080);
        ::CImageWidget* pBar = new ::CImageWidget;
        pBar->Startup(nullptr, nullptr, Rect(90, 5, 100, 45));
        pBar->SetName(CKorvelString("scrollbar_vertical_template"));
        pBar->SetImage(m_pSheet);
        pBar->SetDrawFlags(::CImageWidget::DRAW_STRETCH);
        m_pArea->AddWidget(pBar);
        Frames(0.0f);
        return pBar;
    }
    // The blended draws of the bar into the recording surface.
    std::vector<CRecordingSurface::sCall> DrawBar()
    {
        m_Target.ClearCalls();
        m_pArea->DoDraw(&m_Target);
        std::vector<CRecordingSurface::sCall> aOut;
        for (const CRecordingSurface::sCall& c : m_Target.Calls())
            if (c.m_pSource == m_pSheet)
                aOut.push_back(c);
        return aOut;
    }

    CKorvelSurface* m_pSheet = nullptr; // owned by the bar
    CRecordingSurface m_Target;

    WidgetLog m_Log;
    std::unique_ptr<::CWidget, sTreeDeleter> m_pRoot;
    ::CSlideArea* m_pArea = nullptr;
    int m_iBegins = 0;
    int m_iEnds = 0;
};

// ---- press, drag and release

TEST_F(CSlideArea, ShortDragUnderTheThresholdIsATapOnThePressedChild)
{
    MakeArea(1000);
    Child("button", Rect(0, 0, 100, 50));
    m_pArea->SetScrollThreshold(CKorvelVector2(0.0f, 10.0f));
    Take();

    const sPointerResults r = FeedPointerPath(*m_pRoot, {{60, 40}, {60, 35}, {60, 35}}, 0.1f);

    EXPECT_EQ(r.m_iPress, 1);
    EXPECT_EQ(r.m_iRelease, 1);
    EXPECT_EQ(TakeInput(), (WidgetLog{"button:press 50,20", "button:drag 50,15", "button:gain button",
                                      "button:release 50,15"}));
    EXPECT_EQ(m_pArea->GetShownY(), 0);
    EXPECT_EQ(::CWidget::GetActiveWidget(), nullptr);
    EXPECT_EQ(m_iBegins, 1);
    EXPECT_EQ(m_iEnds, 1) << "the press ended the previous session; the tap leaves this one open";
}

TEST_F(CSlideArea, DragPastTheThresholdScrollsByTheWholeDistanceAndCancelsTheChild)
{
    MakeArea(1000);
    Child("button", Rect(0, 0, 100, 50));
    m_pArea->SetScrollThreshold(CKorvelVector2(0.0f, 10.0f));
    Take();

    CPointerSequence<::CWidget> seq(*m_pRoot);
    seq.Press(60, 40).Frames(0.5f).Drag(60, 35);
    EXPECT_EQ(m_pArea->GetVerticalOffset(), 0);
    seq.Frames(0.5f).Drag(60, 28);
    EXPECT_EQ(m_pArea->GetVerticalOffset(), 12) << "the part below the threshold counts too";
    seq.Drag(60, 38);
    EXPECT_EQ(m_pArea->GetVerticalOffset(), 2) << "once dragging, small distances move the content";
    seq.Frames(0.5f).Drag(60, 20).Release(60, 20);

    EXPECT_EQ(m_pArea->GetShownY(), 20);
    EXPECT_EQ(m_pArea->GetFlingTime(), 0.0f) << "1.5 s is too slow to fling";
    EXPECT_EQ(m_iEnds, 2) << "at the press and at the release";
    EXPECT_EQ(TakeInput(), (WidgetLog{"button:press 50,20", "button:drag 50,15"}))
        << "no release reaches the button once the drag scrolls";
}

TEST_F(CSlideArea, FastReleaseFlingsAFifthOfItsSpeedOverOneSecond)
{
    MakeArea(1000);
    DragUp(200, 4, 0.125f); // 400 px/s
    EXPECT_EQ(m_pArea->GetShownY(), 200);
    EXPECT_EQ(m_pArea->GetFlingTime(), 1.0f);
    EXPECT_EQ(m_iEnds, 1) << "only the press's: the session runs on through the fling";

    for (float fAt : {0.25f, 0.5f, 0.75f})
    {
        Frames(0.25f);
        EXPECT_EQ(m_pArea->GetShownY(), FlingAt(200, 80.0f, fAt)) << fAt << " s into the fling";
    }
    EXPECT_EQ(m_pArea->GetShownY(), 280);
    Frames(0.25f);
    EXPECT_EQ(m_pArea->GetShownY(), 280);
    EXPECT_EQ(m_pArea->GetVerticalOffset(), 0) << "committed";
    EXPECT_EQ(m_iEnds, 2);
    EXPECT_EQ(m_pArea->IsScrolling(), 0u);
}

TEST_F(CSlideArea, ReleasesThatDoNotFling)
{
    const struct
    {
        const char* m_pWhat;
        int m_iDistance;
        int m_iSteps;
        float m_fFrame;
    } aCases[] = {
        {"slower than one second", 200, 6, 0.25f},
        {"press and release in one frame", 200, 4, 0.0f},
        {"ten pixels per second or less", 5, 1, 0.5f},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.m_pWhat);
        SetUp();
        m_iEnds = 0;
        MakeArea(1000);
        DragUp(c.m_iDistance, c.m_iSteps, c.m_fFrame);
        EXPECT_EQ(m_pArea->GetShownY(), c.m_iDistance);
        EXPECT_EQ(m_pArea->GetFlingTime(), 0.0f);
        EXPECT_EQ(m_iEnds, 2) << "at the press and at the release";
        Frames(0.25f, 8);
        EXPECT_EQ(m_pArea->GetShownY(), c.m_iDistance) << "every later frame keeps the position";
        EXPECT_EQ(m_pArea->GetTop(), c.m_iDistance);
        EXPECT_EQ(m_pArea->GetVerticalOffset(), 0);
    }
}

TEST_F(CSlideArea, PressDuringAFlingCommitsItAndEndsTheSession)
{
    MakeArea(1000);
    DragUp(200, 4, 0.125f);
    Frames(0.5f);
    ASSERT_EQ(m_pArea->GetShownY(), 278);

    CPointerSequence<::CWidget>(*m_pRoot).Press(60, 100);
    EXPECT_EQ(m_iEnds, 2);
    EXPECT_EQ(m_iBegins, 2);
    EXPECT_EQ(m_pArea->GetFlingTime(), 0.0f);
    EXPECT_EQ(m_pArea->GetTop(), 278) << "the eased distance so far is committed";
    CPointerSequence<::CWidget>(*m_pRoot).Release(60, 100);
    Frames(0.5f, 3);
    EXPECT_EQ(m_pArea->GetShownY(), 278);
}

TEST_F(CSlideArea, ResetDuringADragCancelsTheChildAndEndsTheSession)
{
    MakeArea(1000);
    Child("button", Rect(0, 0, 100, 50));
    CPointerSequence<::CWidget>(*m_pRoot).Press(60, 40).Frames(0.1f).Drag(60, 30);
    m_pRoot->DoResetMouse();
    EXPECT_EQ(::CWidget::GetActiveWidget(), nullptr);
    EXPECT_EQ(m_iEnds, 2) << "at the press and at the reset";
    EXPECT_EQ(CPointerSequence<::CWidget>(*m_pRoot).Release(60, 30).Results().m_iRelease, 0)
        << "the area no longer holds the pointer";
}

TEST_F(CSlideArea, ContentShorterThanTheAreaNeverScrolls)
{
    MakeArea(120);
    Child("arrow_top_template", Rect(0, 0, 100, 10));
    Child("arrow_bottom_template", Rect(0, 190, 100, 200));
    Frames(0.1f, 2);
    DragUp(150, 3, 0.1f);
    Frames(0.1f, 2);
    EXPECT_EQ(m_pArea->GetShownY(), 0);
    m_pArea->scroll(0, 50);
    m_pArea->scrollTo(0, 300, 0.0f, 0.0f);
    EXPECT_EQ(m_pArea->GetShownY(), 0);
    Frames(0.1f);
    EXPECT_EQ(m_pArea->GetArrow(::CSlideArea::SIDE_TOP)->GetVisible(), 0u);
    EXPECT_EQ(m_pArea->GetArrow(::CSlideArea::SIDE_BOTTOM)->GetVisible(), 0u);
}

TEST_F(CSlideArea, ArrowsShowWhereMoreContentLies)
{
    MakeArea(1000);
    Child("arrow_top_template", Rect(0, 0, 100, 10));
    Child("arrow_bottom_template", Rect(0, 190, 100, 200));
    Frames(0.1f, 2);
    ASSERT_NE(m_pArea->GetArrow(::CSlideArea::SIDE_TOP), nullptr);
    EXPECT_EQ(m_pArea->GetArrow(::CSlideArea::SIDE_LEFT), nullptr);
    EXPECT_EQ(m_pArea->FindWidget(CKorvelString("arrow_top_template"), -1), nullptr) << "taken out";
    EXPECT_EQ(m_pArea->GetClientArea().bottom, 1000) << "the arrows no longer count as content";

    const struct
    {
        int m_iTo;
        unsigned int m_uTop, m_uBottom;
    } aCases[] = {{0, 0, 1}, {400, 1, 1}, {800, 1, 0}, {5000, 1, 0}};
    for (const auto& c : aCases)
    {
        m_pArea->scrollTo(0, c.m_iTo, 0.0f, 0.0f);
        Frames(0.1f);
        EXPECT_EQ(m_pArea->GetArrow(::CSlideArea::SIDE_TOP)->GetVisible(), c.m_uTop) << c.m_iTo;
        EXPECT_EQ(m_pArea->GetArrow(::CSlideArea::SIDE_BOTTOM)->GetVisible(), c.m_uBottom) << c.m_iTo;
    }
}

TEST_F(CSlideArea, ScrollToAnimatesOrJumps)
{
    MakeArea(1000);
    m_pArea->scrollTo(0, 300, 0.5f, 0.0f);
    EXPECT_EQ(m_pArea->GetShownY(), 0);
    Frames(0.25f);
    EXPECT_EQ(m_pArea->GetShownY(), FlingAt(0, 300.0f, 0.5f)) << "half way in time, nearly there in distance";
    EXPECT_EQ(m_iEnds, 0);
    Frames(0.25f);
    EXPECT_EQ(m_pArea->GetShownY(), 300);
    EXPECT_EQ(m_iEnds, 1);
    EXPECT_EQ(m_iBegins, 0) << "an animated scroll does not begin a session";

    m_pArea->scrollTo(0, 100, 0.0f, 0.0f);
    EXPECT_EQ(m_pArea->GetShownY(), 100);
    EXPECT_EQ(m_iEnds, 1);

    // A frame longer than what is left lands on the target, not past it.
    m_pArea->scrollTo(0, 400, 0.5f, 0.0f);
    Frames(1.0f);
    EXPECT_EQ(m_pArea->GetShownY(), 400);
}

// ---- coordinates and hit tests

TEST_F(CSlideArea, ChildrenAreInContentCoordinatesWhileScrolled)
{
    MakeArea(1000);
    CProbeWidget* pItem = Child("item", Rect(0, 350, 100, 400));
    m_pArea->scrollTo(0, 300, 0.0f, 0.0f);

    EXPECT_EQ(m_pArea->FindWidget(50, 360), pItem);
    int x = 60, y = 80; // screen
    pItem->MapFrom(nullptr, x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 10);
    m_pRoot->MapFrom(pItem, x, y);
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 80) << "the parent's coordinates do not move with the scroll";

    // Without dragging the area lets its children take input directly.
    m_pArea->SetAllowDrag(0);
    Take();
    FeedTap(*m_pRoot, 60, 80, 0.0f);
    EXPECT_EQ(TakeInput(), (WidgetLog{"item:gain -", "item:press 50,10", "item:release 50,10"}));
}

TEST_F(CSlideArea, ArrowsAreHitBeforeChildrenAndBarsNever)
{
    MakeArea(1000);
    Child("arrow_bottom_template", Rect(0, 180, 100, 200));
    ::CImageWidget* pBar = new ::CImageWidget;
    pBar->Startup(nullptr, nullptr, Rect(90, 0, 100, 40));
    pBar->SetName(CKorvelString("scrollbar_vertical_template"));
    m_pArea->AddWidget(pBar);
    Frames(0.1f, 2);
    CWidget* pArrow = m_pArea->GetArrow(::CSlideArea::SIDE_BOTTOM);
    ASSERT_NE(pArrow, nullptr);
    ASSERT_EQ(m_pArea->GetVerticalBar(), pBar);

    m_pArea->scrollTo(0, 100, 0.0f, 0.0f);
    EXPECT_EQ(m_pArea->FindWidget(50, 100 + 190), pArrow) << "unscrolled, over the content";
    EXPECT_EQ(m_pArea->FindWidget(50, 100 + 150)->GetName().Compare(CKorvelString("content")), 0);
    EXPECT_EQ(m_pArea->FindWidget(95, 100 + 10)->GetName().Compare(CKorvelString("content")), 0);
    pArrow->SetEnabled(0);
    EXPECT_NE(m_pArea->FindWidget(50, 100 + 190), pArrow);
}

// ---- scroll bars

TEST_F(CSlideArea, BarFadesOutOverTwoSecondsAfterAScroll)
{
    MakeArea(1000);
    ::CImageWidget* pBar = AddBar();
    ASSERT_TRUE(m_Target.CreateRecording(400, 400));
    DragUp(100, 2, 0.0f);

    const struct
    {
        float m_fWait;
        unsigned int m_uAlpha;
    } aCases[] = {{0.0f, 255}, {1.0f, 254}, {1.0f, 0}};
    for (const auto& c : aCases)
    {
        Frames(c.m_fWait);
        const std::vector<CRecordingSurface::sCall> aDraws = DrawBar();
        EXPECT_EQ(pBar->GetBlendColor(), (c.m_uAlpha << 24) | 0x00FFFFFFu);
        if (c.m_uAlpha == 255)
            EXPECT_EQ(aDraws.size(), 1u) << "drawn plain";
        else if (c.m_uAlpha == 0)
            EXPECT_TRUE(aDraws.empty()) << "fully faded";
        else
        {
            ASSERT_EQ(aDraws.size(), 1u);
            EXPECT_EQ(aDraws[0].m_eCall, CRecordingSurface::CALL_DRAW_STRETCHED_BLENDED);
            EXPECT_EQ(aDraws[0].m_uColor >> 24, c.m_uAlpha);
        }
    }
}

TEST_F(CSlideArea, BarTravelsWithTheScrollPosition)
{
    MakeArea(1000);
    AddBar();
    ASSERT_TRUE(m_Target.CreateRecording(400, 400));
    // travel = 200 - 40 - 2 x 5 = 150 over a maximum position of 800
    const struct
    {
        int m_iAt;
        int m_iTop;
    } aCases[] = {{0, 25}, {400, 100}, {800, 175}};
    for (const auto& c : aCases)
    {
        m_pArea->scrollTo(0, c.m_iAt, 0.0f, 0.0f);
        m_pArea->ShowScrollBar();
        const std::vector<CRecordingSurface::sCall> aDraws = DrawBar();
        ASSERT_EQ(aDraws.size(), 1u) << c.m_iAt;
        EXPECT_EQ(aDraws[0].m_rcDest.top, c.m_iTop) << c.m_iAt;
        EXPECT_EQ(aDraws[0].m_rcDest.left, 100) << "not moved sideways";
    }
}

TEST_F(CSlideArea, ChildrenDrawScrolledAndClippedToTheArea)
{
    MakeArea(50);
    Child("far", Rect(0, 400, 100, 450));
    ASSERT_TRUE(m_Target.CreateRecording(400, 400));
    m_pArea->scrollTo(0, 250, 0.0f, 0.0f);
    Take();
    m_pArea->DoDraw(&m_Target);
    EXPECT_EQ(Take(), (WidgetLog{"far:draw"})) << "the first child is scrolled out of view";
    const std::vector<CRecordingSurface::sCall> aFills = m_Target.CallsOf(CRecordingSurface::CALL_FILL);
    ASSERT_EQ(aFills.size(), 1u);
    EXPECT_TRUE(SameRect(aFills[0].m_rcDest, Rect(10, 170, 110, 220)));
    EXPECT_TRUE(SameRect(aFills[0].m_rcClip, Rect(10, 20, 110, 220)));
}

// ---- cloning

TEST_F(CSlideArea, CloneCopiesPositionThresholdDraggingAndScrollWidgets)
{
    MakeArea(1000);
    Child("arrow_top_template", Rect(0, 0, 100, 10));
    Frames(0.1f);
    m_pArea->SetScrollThreshold(CKorvelVector2(0.0f, 20.0f));
    m_pArea->scrollTo(0, 250, 0.0f, 0.0f);

    std::unique_ptr<::CWidget, sTreeDeleter> pCopy(m_pArea->Clone());
    ::CSlideArea* pArea = widget_cast<::CSlideArea*>(pCopy.get());
    ASSERT_NE(pArea, nullptr);
    EXPECT_EQ(pArea->GetTop(), 250);
    EXPECT_EQ(pArea->GetScrollThreshold().y, 20.0f);
    EXPECT_EQ(pArea->GetAllowDrag(), 1u);
    EXPECT_EQ(pArea->GetIgnoreChildren(), 1u);
    ASSERT_NE(pArea->GetArrow(::CSlideArea::SIDE_TOP), nullptr);
    EXPECT_NE(pArea->GetArrow(::CSlideArea::SIDE_TOP), m_pArea->GetArrow(::CSlideArea::SIDE_TOP));
    EXPECT_EQ(pArea->GetFlingTime(), 0.0f);
}
} // namespace slide_area_test
