#include "Framework/UI/Bubble.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"
#include "support/PointerSequence.h"
#include "support/RecordingSurface.h"
#include "support/TestVornApplication.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>
#include <vector>

namespace button_test
{
typedef CKorvelRect<int> Rect;
typedef std::unique_ptr<::CWidget, sTreeDeleter> Tree;

// What the button callbacks saw: one entry per call, "click:<visible>" or "cancel", and the
// toggled state at each click of a toggle button.
struct sEVENTS
{
    std::vector<std::string> aLog;
    int Count(const std::string& strEntry) const
    {
        return static_cast<int>(std::count(aLog.begin(), aLog.end(), strEntry));
    }
};

KE_RETVAL OnClickLog(::CWidget* pSender, void* pContext)
{
    std::string strEntry = "click:" + std::to_string(pSender->GetVisible());
    if (::CToggleButton* pToggle = widget_cast<::CToggleButton*>(pSender))
        strEntry += " toggled:" + std::to_string(pToggle->GetToggled());
    static_cast<sEVENTS*>(pContext)->aLog.push_back(strEntry);
    return KE_OK;
}

KE_RETVAL OnCancelLog(::CWidget*, void* pContext)
{
    static_cast<sEVENTS*>(pContext)->aLog.push_back("cancel");
    return KE_OK;
}

KE_RETVAL OnBeginLog(::CWidget*, void* pContext)
{
    static_cast<sEVENTS*>(pContext)->aLog.push_back("begin");
    return KE_OK;
}

KE_RETVAL OnEndLog(::CWidget*, void* pContext)
{
    static_cast<sEVENTS*>(pContext)->aLog.push_back("end");
    return KE_OK;
}

// A root of 400 x 300 holding the widgets under test; the capture is cleared around each test.
class CButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::CWidget::SetActiveWidget(nullptr);
        m_App.StartResourcesOnly();
        m_pRoot.reset(new ::CWidget);
        m_pRoot->Startup(&m_App, &m_App, Rect(0, 0, 400, 300));
    }
    void TearDown() override
    {
        m_pRoot.reset();
        ::CWidget::SetActiveWidget(nullptr);
    }
    template <class B> B* Add(const Rect& area, ::CWidget* pParent = nullptr)
    {
        B* p = new B;
        p->Startup(&m_App, &m_App, area);
        p->SetOnClick(CActionCallback(OnClickLog, &m_Events));
        p->SetOnCancel(CActionCallback(OnCancelLog, &m_Events));
        (pParent ? pParent : m_pRoot.get())->AddWidget(p);
        return p;
    }
    // A counted surface under the name, so that clones can share it.
    ::CKorvelSurface* Managed(const char* pName, int w, int h, int iColumns = 1, int iRows = 1)
    {
        ::CKorvelSurface* p = MakeSheet(w, h, iColumns, iRows);
        m_App.AddSurface(CKorvelString(pName), p);
        return p;
    }
    CPointerSequence<::CWidget> Pointer() { return CPointerSequence<::CWidget>(*m_pRoot); }

    CTestVornApplication m_App;
    Tree m_pRoot;
    sEVENTS m_Events;
};

class CButton : public CButtonTest
{
};
class CToggleButton : public CButtonTest
{
};
class CExpandable : public CButtonTest
{
};

// ---- buttons

TEST_F(CButton, HitAreaGrowsByTheFactorAndTheExtraWhilePressed)
{
    ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
    EXPECT_TRUE(SameRect(p->GetHitArea(), Rect(0, 0, 100, 40)));
    Pointer().Press(60, 60);
    EXPECT_TRUE(SameRect(p->GetHitArea(), Rect(-13, -5, 113, 45))) << AreaText(p->GetHitArea());
    EXPECT_EQ(::CWidget::GetActiveWidget(), p) << "the pressed button holds the capture";
    Pointer().Release(60, 60);
    EXPECT_TRUE(SameRect(p->GetHitArea(), Rect(0, 0, 100, 40)));
    EXPECT_EQ(::CWidget::GetActiveWidget(), nullptr);

    const struct
    {
        float fFactor;
        Rect rcHit;
    } aCases[] = {
        {0.5f, Rect(25, 10, 75, 30)}, {-1.0f, Rect(50, 20, 50, 20)}, {2.0f, Rect(-50, -20, 150, 60)}};
    for (const auto& c : aCases)
    {
        p->SetHitAreaSize(c.fFactor);
        EXPECT_TRUE(SameRect(p->GetHitArea(), c.rcHit)) << c.fFactor << " " << AreaText(p->GetHitArea());
    }
    // A new size moves the hit area with it.
    p->SetHitAreaSize(1.0f);
    p->SetArea(Rect(0, 0, 20, 20));
    EXPECT_TRUE(SameRect(p->GetHitArea(), Rect(0, 0, 20, 20)));
}

TEST_F(CButton, AReleaseOutsideTheWidenedAreaCancelsUnlessNotCancellable)
{
    struct
    {
        const char* pName;
        unsigned int uCancellable;
        int iReleaseX; // in the root; the button spans 50..150 and tolerates 37..163 while pressed
        std::vector<std::string> aExpected;
    } aCases[] = {
        {"inside the widened area", 1, 162, {"click:1"}},
        {"outside it", 1, 164, {"cancel"}},
        {"outside, not cancellable", 0, 164, {"click:1"}},
    };
    for (const auto& c : aCases)
    {
        m_Events.aLog.clear();
        ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
        p->SetCancellable(c.uCancellable);
        const sPointerResults results =
            Pointer().Press(60, 60).Release(c.iReleaseX, 60).Frames(0.2f).Results();
        EXPECT_EQ(results.m_iPress, 1) << c.pName;
        EXPECT_EQ(results.m_iRelease, 1) << c.pName;
        EXPECT_EQ(m_Events.aLog, c.aExpected) << c.pName;
        EXPECT_EQ(p->GetPressed(), 0u);
        m_pRoot->DeleteWidget(p);
    }
}

TEST_F(CButton, AReleaseWhosePressWasElsewhereNeitherClicksNorCancels)
{
    ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
    const sPointerResults results =
        Pointer().Press(300, 200).Drag(60, 60).Release(60, 60).Frames(0.2f).Results();
    EXPECT_EQ(results.m_iPress, 0) << "the press found no widget";
    EXPECT_EQ(results.m_iRelease, 1) << "the button's area swallows the release";
    EXPECT_TRUE(m_Events.aLog.empty());
    EXPECT_EQ(p->GetClickCount(), 0u);
}

TEST_F(CButton, TheClickFollowsTheReleaseAfterTheDelayAndASecondReleaseRestartsIt)
{
    ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
    Pointer().Press(60, 60).Release(60, 60).Frames(0.1f);
    EXPECT_EQ(p->GetClickCount(), 0u);
    Pointer().Frames(0.06f);
    EXPECT_EQ(p->GetClickCount(), 1u);

    Pointer().Press(60, 60).Release(60, 60).Frames(0.1f).Press(60, 60).Release(60, 60).Frames(0.1f);
    EXPECT_EQ(p->GetClickCount(), 1u) << "the second release started the wait again";
    Pointer().Frames(0.06f).Frames(1.0f);
    EXPECT_EQ(p->GetClickCount(), 2u) << "two releases, one click";

    // Without a delay the click comes with the release; without OnClick nothing is counted.
    p->SetClickDelay(0.0f);
    Pointer().Press(60, 60).Release(60, 60);
    EXPECT_EQ(p->GetClickCount(), 3u);
    p->SetOnClick(CActionCallback());
    Pointer().Press(60, 60).Release(60, 60);
    EXPECT_EQ(p->GetClickCount(), 3u);
}

TEST_F(CButton, DisabledTimeBlocksPressesAndClicksUntilItRunsOut)
{
    ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
    p->SetDisabledTime(0.5f);
    const sPointerResults blocked = Pointer().Press(60, 60).Release(60, 60).Frames(0.2f).Results();
    EXPECT_EQ(blocked.m_iPress, 0);
    EXPECT_EQ(::CWidget::GetActiveWidget(), nullptr);
    EXPECT_TRUE(m_Events.aLog.empty());

    Pointer().Frames(0.35f);
    Pointer().Press(60, 60).Release(60, 60).Frames(0.2f);
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"click:1"}));
}

TEST_F(CButton, TheReleaseHighlightsTheImageOrElseTheImagesInside)
{
    ::CButton* pWithImage = Add<::CButton>(Rect(0, 0, 50, 50));
    pWithImage->SetImage(MakeSheet(8, 8));
    ::CButton* pPlain = Add<::CButton>(Rect(100, 0, 150, 50));
    ::CImageWidget* pInside = new ::CImageWidget;
    pInside->Startup(&m_App, &m_App, Rect(0, 0, 50, 50));
    pInside->SetImage(MakeSheet(8, 8));
    pPlain->AddWidget(pInside);

    Pointer().Press(10, 10).Release(10, 10).Press(110, 10).Release(110, 10);
    EXPECT_NE(pWithImage->GetDrawFlags() & 32, 0u);
    EXPECT_EQ(pPlain->GetDrawFlags() & 32, 0u);
    EXPECT_NE(pInside->GetDrawFlags() & 32, 0u);
}

TEST_F(CButton, ChildLooksShowTheReleasedAndPressedLooksOverTheWholeButton)
{
    ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
    ::CImageWidget* apLooks[2];
    for (::CImageWidget*& pLook : apLooks)
    {
        pLook = new ::CImageWidget;
        pLook->Startup(&m_App, &m_App, Rect(0, 0, 5, 5));
        p->AddWidget(pLook);
    }
    p->SetChildLook(1);
    EXPECT_EQ(apLooks[0]->GetVisible(), 1u);
    EXPECT_EQ(apLooks[1]->GetVisible(), 0u);
    EXPECT_TRUE(SameRect(apLooks[1]->GetArea(), Rect(0, 0, 100, 40)));

    Pointer().Press(60, 60);
    EXPECT_EQ(apLooks[0]->GetVisible(), 0u);
    EXPECT_EQ(apLooks[1]->GetVisible(), 1u);
    Pointer().Release(60, 60);
    EXPECT_EQ(apLooks[0]->GetVisible(), 1u);
    p->SetArea(Rect(0, 0, 30, 30));
    EXPECT_TRUE(SameRect(apLooks[0]->GetArea(), Rect(0, 0, 30, 30)));
}

TEST_F(CButton, ResettingThePointerOrHidingThePageCancelsAPressAndTheClickItWaitsFor)
{
    ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
    Pointer().Press(60, 60);
    m_pRoot->DoResetMouse();
    EXPECT_EQ(p->GetPressed(), 0u);
    EXPECT_EQ(::CWidget::GetActiveWidget(), nullptr);
    EXPECT_EQ(m_Events.Count("cancel"), 1);
    Pointer().Frames(0.5f);
    EXPECT_EQ(m_Events.Count("click:1"), 0);

    // A page hidden under a press, its release coming after, or under a click still waiting:
    // shown again, the page clicks nothing by itself, and a new press clicks as before.
    m_pRoot->DeleteWidget(p);
    ::CWidget* pPage = new ::CWidget;
    pPage->Startup(&m_App, &m_App, Rect(0, 0, 400, 300));
    m_pRoot->AddWidget(pPage);
    p = Add<::CButton>(Rect(50, 50, 150, 90), pPage);
    Pointer().Press(60, 60);
    pPage->SetVisible(0);
    Pointer().Release(60, 60);
    EXPECT_EQ(p->GetPressed(), 0u);
    EXPECT_EQ(::CWidget::GetActiveWidget(), nullptr);
    EXPECT_EQ(m_Events.Count("cancel"), 2);
    pPage->SetVisible(1);
    Pointer().Frames(0.5f);
    Pointer().Press(60, 60).Release(60, 60);
    pPage->SetVisible(0);
    pPage->SetVisible(1);
    Pointer().Frames(0.5f);
    EXPECT_EQ(p->GetClickCount(), 0u);
    Pointer().Press(60, 60).Release(60, 60).Frames(0.5f);
    EXPECT_EQ(p->GetClickCount(), 1u);
}

TEST_F(CButton, EveryButtonKindIsAButtonButATextIsNot)
{
    std::vector<Tree> aWidgets;
    aWidgets.emplace_back(new ::CButton);
    aWidgets.emplace_back(new ::CToggleButton);
    aWidgets.emplace_back(new ::CExpandable);
    aWidgets.emplace_back(new ::CBubble);
    aWidgets.emplace_back(new ::CWebButton);
    for (size_t i = 0; i < aWidgets.size(); ++i)
    {
        EXPECT_EQ(widget_cast<::CButton*>(aWidgets[i].get()), aWidgets[i].get()) << i;
        EXPECT_NE(widget_cast<::CImageWidget*>(aWidgets[i].get()), nullptr) << i;
    }
    ::CTextWidget text;
    EXPECT_EQ(widget_cast<::CButton*>(&text), nullptr);
    EXPECT_EQ(widget_cast<::CExpandable*>(aWidgets[4].get()), nullptr);
}

TEST_F(CButton, CloneKeepsTheClickButNotTheCancelOrTheDisabledTime)
{
    ::CButton* p = Add<::CButton>(Rect(50, 50, 150, 90));
    p->SetHitAreaSize(2.0f);
    p->SetDisabledTime(5.0f);
    Tree pCopy(p->Clone());
    ::CButton* pClone = static_cast<::CButton*>(pCopy.get());
    EXPECT_TRUE(SameRect(pClone->GetHitArea(), Rect(-50, -20, 150, 60)));
    EXPECT_EQ(pClone->GetDisabledTime(), 0.0f);
    EXPECT_TRUE(pClone->GetOnCancel().IsEmpty());
    pClone->click();
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"click:1"}));
}

// ---- toggle buttons

TEST_F(CToggleButton, AClickSwapsTheLastTwoLooksAndLeavesTheOthers)
{
    ::CToggleButton* p = Add<::CToggleButton>(Rect(50, 50, 150, 90));
    ::CWidget* apChildren[3];
    for (::CWidget*& pChild : apChildren)
    {
        pChild = new ::CImageWidget;
        pChild->Startup(&m_App, &m_App, Rect(0, 0, 100, 40));
        p->AddWidget(pChild);
    }
    EXPECT_EQ(apChildren[1]->GetVisible(), 1u);
    EXPECT_EQ(apChildren[2]->GetVisible(), 0u);
    apChildren[0]->SetVisible(0);

    Pointer().Press(60, 60).Release(60, 60).Frames(0.2f);
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"click:1 toggled:1"})) << "OnClick sees the new state";
    EXPECT_EQ(apChildren[0]->GetVisible(), 0u) << "the first child is untouched";
    EXPECT_EQ(apChildren[1]->GetVisible(), 0u);
    EXPECT_EQ(apChildren[2]->GetVisible(), 1u);

    p->SetToggled(0);
    EXPECT_EQ(apChildren[1]->GetVisible(), 1u);
    EXPECT_EQ(apChildren[2]->GetVisible(), 0u);
    // A new child makes every child visible, then the last two take their looks.
    ::CWidget* pFourth = new ::CWidget;
    pFourth->Startup(&m_App, &m_App, Rect(0, 0, 10, 10));
    p->AddWidget(pFourth);
    EXPECT_EQ(apChildren[0]->GetVisible(), 1u);
    EXPECT_EQ(apChildren[1]->GetVisible(), 1u);
    EXPECT_EQ(apChildren[2]->GetVisible(), 1u);
    EXPECT_EQ(pFourth->GetVisible(), 0u);
}

// ---- expandables

TEST_F(CExpandable, LevelsWrapAroundTheLongerList)
{
    const struct
    {
        int iAsked, iChosen;
    } aCases[] = {{-1, 0}, {5, 1}, {3, 3}, {-6, 0}, {8, 0}};
    CKorvelArray<int> aWidths, aHeights;
    for (int w : {10, 20, 30, 40})
        aWidths.Add(w);
    aHeights.Add(5);
    for (const auto& c : aCases)
    {
        ::CExpandable* p = Add<::CExpandable>(Rect(0, 0, 10, 10));
        p->SetSizes(aWidths, aHeights);
        EXPECT_EQ(p->GetNumberOfExpansionLevels(), 4);
        p->SetExpansionLevelSkipAnimation(c.iAsked);
        EXPECT_EQ(p->GetExpansionLevel(), c.iChosen) << c.iAsked;
        EXPECT_EQ(p->GetWidth(), (c.iChosen + 1) * 10) << c.iAsked;
        EXPECT_EQ(p->GetHeight(), 5) << "the shorter list repeats";
        m_pRoot->DeleteWidget(p);
    }
}

TEST_F(CExpandable, ResizeAcceleratesWithoutMovingTheCorner)
{
    ::CExpandable* p = Add<::CExpandable>(Rect(10, 20, 60, 60));
    p->SetOnBeginExpand(CActionCallback(OnBeginLog, &m_Events));
    p->SetOnEndExpand(CActionCallback(OnEndLog, &m_Events));
    CKorvelArray<int> aNoWidths, aHeights;
    aHeights.Add(100);
    aHeights.Add(300);
    p->SetSizes(aNoWidths, aHeights);

    p->DoUpdate(0.01f);
    EXPECT_EQ(p->GetExpansionLevel(), 0) << "the first update settles level 0";
    EXPECT_TRUE(SameRect(p->GetArea(), Rect(10, 20, 60, 120))) << AreaText(p->GetArea());
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"begin", "end"}));

    m_Events.aLog.clear();
    p->SetExpansionLevel(1);
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"begin"}));
    EXPECT_EQ(p->GetTargetHeight(), 300);
    const struct
    {
        float fStep;
        Rect rcArea;
    } aSteps[] = {
        {0.0625f, Rect(10, 20, 60, 132)}, // a quarter through: 100 + 200 x 0.0625 = 112.5, cut
        {0.0625f, Rect(10, 20, 60, 170)}, // halfway: 100 + 200 x 0.25
        {0.125f, Rect(10, 20, 60, 320)},
        {0.5f, Rect(10, 20, 60, 320)},
    };
    for (const auto& s : aSteps)
    {
        p->DoUpdate(s.fStep);
        EXPECT_TRUE(SameRect(p->GetArea(), s.rcArea)) << AreaText(p->GetArea());
    }
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"begin", "end"}));
    EXPECT_EQ(p->GetExpansionHeight(0), 100);
    EXPECT_EQ(p->GetExpansionHeight(2), 300) << "no level 2: the current height";
}

TEST_F(CExpandable, TransitionTimeZeroCompletesAtTheNextUpdate)
{
    ::CExpandable* p = Add<::CExpandable>(Rect(10, 20, 60, 60));
    p->SetOnEndExpand(CActionCallback(OnEndLog, &m_Events));
    CKorvelArray<int> aWidths, aHeights;
    aWidths.Add(50);
    aWidths.Add(80);
    p->SetSizes(aWidths, aHeights);
    p->SetTransitionTime(0.0f);
    p->DoUpdate(0.016f);
    m_Events.aLog.clear();

    p->SetExpansionLevel(1);
    EXPECT_EQ(p->GetWidth(), 50);
    p->DoUpdate(0.016f);
    EXPECT_TRUE(SameRect(p->GetArea(), Rect(10, 20, 90, 60))) << AreaText(p->GetArea());
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"end"}));
    p->DoUpdate(0.016f);
    EXPECT_EQ(m_Events.aLog.size(), 1u);
}

TEST_F(CExpandable, ALevelAskedBeforeTheFirstUpdateEndsAtLevelZero)
{
    ::CExpandable* p = Add<::CExpandable>(Rect(0, 0, 50, 40));
    CKorvelArray<int> aNoWidths, aHeights;
    aHeights.Add(100);
    aHeights.Add(300);
    p->SetSizes(aNoWidths, aHeights);
    p->SetExpansionLevel(1);
    p->DoUpdate(0.02f);
    EXPECT_EQ(p->GetExpansionLevel(), 0);
    EXPECT_EQ(p->GetHeight(), 100);
    EXPECT_EQ(p->IsResizing(), 0u);

    // A clone starts over and settles at its own first update.
    p->SetExpansionLevelSkipAnimation(1);
    Tree pCopy(p->Clone());
    ::CExpandable* pClone = static_cast<::CExpandable*>(pCopy.get());
    EXPECT_EQ(pClone->GetExpansionLevel(), -1);
    EXPECT_EQ(pClone->GetNumberOfExpansionLevels(), 2);
    pClone->DoUpdate(0.02f);
    EXPECT_EQ(pClone->GetExpansionLevel(), 0);
    EXPECT_EQ(pClone->GetHeight(), 100);
}

TEST_F(CExpandable, ChildrenFillItAndTallerContentIsCutOff)
{
    CRecordingSurface target;
    ASSERT_TRUE(target.CreateRecording(200, 400));
    m_pRoot->SetArea(Rect(0, 0, 200, 400));
    ::CExpandable* p = Add<::CExpandable>(Rect(0, 0, 100, 100));
    ::CWidget* pContent = new ::CWidget;
    pContent->Startup(&m_App, &m_App, Rect(0, 0, 5, 5));
    p->AddWidget(pContent);
    EXPECT_TRUE(SameRect(pContent->GetArea(), Rect(0, 0, 100, 100)));
    ::CImageWidget* pTall = new ::CImageWidget;
    pTall->Startup(&m_App, &m_App, Rect(0, 0, 100, 300));
    pTall->SetImage(MakeSheet(8, 8, 1, 1, 0xFFFFFFFF));
    pContent->AddWidget(pTall);

    m_pRoot->DoDraw(&target);
    EXPECT_EQ(target.GetPixelDIB(50, 50) >> 24, 0xFFu);
    EXPECT_EQ(target.GetPixelDIB(50, 150) >> 24, 0u);
    for (const CRecordingSurface::sCall& c : target.CallsOf(CRecordingSurface::CALL_DRAW_STRETCHED))
        EXPECT_LE(c.m_rcClip.bottom, 100);

    p->SetArea(Rect(0, 0, 100, 200));
    EXPECT_TRUE(SameRect(pContent->GetArea(), Rect(0, 0, 100, 200)));
    target.Fill(0u, static_cast<const Rect*>(nullptr));
    m_pRoot->DoDraw(&target);
    EXPECT_EQ(target.GetPixelDIB(50, 150) >> 24, 0xFFu);
    EXPECT_EQ(target.GetPixelDIB(50, 250) >> 24, 0u);
}

// ---- bubbles

// (template index, frame, area) of one background piece.
typedef std::tuple<int, unsigned int, int, int, int, int> Piece;

class CBubble : public CButtonTest
{
protected:
    // A bubble of w x h at (20, 20) with 10 x 10 templates and a content child, updated once.
    ::CBubble* Bubble(int iSide, int w, int h, bool bImages = true)
    {
        ::CBubble* p = Add<::CBubble>(Rect(20, 20, 20 + w, 20 + h));
        p->SetArrowSide(iSide);
        const int aiSheet[3][3] = {{30, 3, 3}, {20, 2, 2}, {20, 2, 2}};
        for (int i = 0; i < 3; ++i)
        {
            ::CImageWidget* pTemplate = new ::CImageWidget;
            pTemplate->Startup(&m_App, &m_App, Rect(0, 0, 10, 10));
            pTemplate->SetName(CKorvelString(("bg" + std::to_string(i) + "_template").c_str()));
            if (bImages)
            {
                const std::string strName = "sheet" + std::to_string(m_iSheets++);
                m_apSheets[i] =
                    Managed(strName.c_str(), aiSheet[i][0], aiSheet[i][0], aiSheet[i][1], aiSheet[i][2]);
                pTemplate->SetImage(m_apSheets[i]);
            }
            pTemplate->SetFrameDuration(1.0f);
            p->AddWidget(pTemplate);
        }
        m_pContent = new ::CWidget;
        m_pContent->Startup(&m_App, &m_App, Rect(0, 0, w, h));
        m_pContent->SetTransparent(1);
        p->AddWidget(m_pContent);
        p->DoUpdate(0.01f);
        return p;
    }
    std::vector<Piece> Pieces(::CBubble* p)
    {
        std::vector<Piece> aPieces;
        const CKorvelArray<::CWidget*>& aChildren = p->GetWidgets();
        for (int i = 0; i < aChildren.GetCount(); ++i)
        {
            ::CImageWidget* pPiece = widget_cast<::CImageWidget*>(aChildren[i]);
            if (!pPiece)
                continue;
            const int iSheet =
                static_cast<int>(std::find(m_apSheets, m_apSheets + 3, pPiece->GetImage()) - m_apSheets);
            const Rect& r = pPiece->GetArea();
            aPieces.emplace_back(iSheet, pPiece->GetFrameIndex(), r.left, r.top, r.right, r.bottom);
        }
        std::sort(aPieces.begin(), aPieces.end());
        return aPieces;
    }

    ::CKorvelSurface* m_apSheets[3] = {};
    int m_iSheets = 0;
    ::CWidget* m_pContent = nullptr;
};

TEST_F(CBubble, BuildsTheNinePiecesWithTheArrowOfItsSide)
{
    // 100 x 80 with 10 x 10 cells; sheet 0 the background, 1 the side arrows, 2 the top and bottom ones.
    const std::vector<Piece> aCorners = {Piece(0, 4, 10, 10, 90, 70), Piece(0, 0, 0, 0, 10, 10),
                                         Piece(0, 2, 90, 0, 100, 10), Piece(0, 6, 0, 70, 10, 80),
                                         Piece(0, 8, 90, 70, 100, 80)};
    const Piece left(0, 3, 0, 10, 10, 70), right(0, 5, 90, 10, 100, 70), top(0, 1, 10, 0, 90, 10),
        bottom(0, 7, 10, 70, 90, 80);
    const struct
    {
        int iSide;
        std::vector<Piece> aOwn; // the arrow, the shortened edge and the full edges left
    } aCases[] = {
        {0, {left, right, top, bottom}},
        {1, {Piece(1, 0, 0, 10, 10, 20), Piece(0, 3, 0, 20, 10, 70), right, top, bottom}},
        {2, {Piece(1, 2, 0, 60, 10, 70), Piece(0, 3, 0, 10, 10, 60), right, top, bottom}},
        {3, {Piece(1, 1, 90, 10, 100, 20), Piece(0, 5, 90, 20, 100, 70), left, top, bottom}},
        {4, {Piece(1, 3, 90, 60, 100, 70), Piece(0, 5, 90, 10, 100, 60), left, top, bottom}},
        {5, {Piece(2, 0, 10, 0, 20, 10), Piece(0, 1, 20, 0, 90, 10), left, right, bottom}},
        {6, {Piece(2, 1, 80, 0, 90, 10), Piece(0, 1, 10, 0, 80, 10), left, right, bottom}},
        {7, {Piece(2, 2, 10, 70, 20, 80), Piece(0, 7, 20, 70, 90, 80), left, right, top}},
        {8, {Piece(2, 3, 80, 70, 90, 80), Piece(0, 7, 10, 70, 80, 80), left, right, top}},
    };
    for (const auto& c : aCases)
    {
        ::CBubble* p = Bubble(c.iSide, 100, 80);
        std::vector<Piece> aExpected = aCorners;
        aExpected.insert(aExpected.end(), c.aOwn.begin(), c.aOwn.end());
        std::sort(aExpected.begin(), aExpected.end());
        EXPECT_EQ(Pieces(p), aExpected) << "side " << c.iSide;
        const CKorvelArray<::CWidget*>& aChildren = p->GetWidgets();
        EXPECT_EQ(aChildren[aChildren.GetCount() - 1], m_pContent) << "the content stays on top";
        EXPECT_NE(p->GetTemplate(0)->GetDrawFlags() & 4, 0u) << "templates do not animate";
        m_pRoot->DeleteWidget(p);
    }
}

TEST_F(CBubble, ALowBubbleGetsTheArrowButNoShortenedEdge)
{
    const std::vector<Piece> aBase = {
        Piece(0, 0, 0, 0, 10, 10),  Piece(0, 2, 90, 0, 100, 10),  Piece(0, 4, 10, 10, 90, 20),
        Piece(0, 6, 0, 20, 10, 30), Piece(0, 8, 90, 20, 100, 30), Piece(0, 5, 90, 10, 100, 20),
        Piece(0, 1, 10, 0, 90, 10), Piece(0, 7, 10, 20, 90, 30),  Piece(1, 0, 0, 10, 10, 20)};
    std::vector<Piece> aExpected = aBase;
    std::sort(aExpected.begin(), aExpected.end());
    EXPECT_EQ(Pieces(Bubble(1, 100, 30)), aExpected);

    // One pixel more leaves room for it.
    ::CBubble* p = Bubble(1, 100, 31);
    const std::vector<Piece> aPieces = Pieces(p);
    EXPECT_NE(std::find(aPieces.begin(), aPieces.end(), Piece(0, 3, 0, 20, 10, 21)), aPieces.end());
}

TEST_F(CBubble, TemplatesWithoutImagesGiveNoBackground)
{
    ::CBubble* p = Bubble(1, 100, 80, false);
    EXPECT_EQ(p->GetWidgets().GetCount(), 1) << "the templates are gone, no pieces were made";
    EXPECT_EQ(p->GetTemplate(0), nullptr);
}

TEST_F(CBubble, AClickHidesTheBubbleBeforeOnClick)
{
    ::CBubble* p = Bubble(0, 100, 80);
    Pointer().Press(30, 30).Release(30, 30).Frames(0.2f);
    EXPECT_EQ(m_Events.aLog, std::vector<std::string>({"click:0"}));
    EXPECT_EQ(p->GetVisible(), 0u);
}

TEST_F(CBubble, ACloneKeepsTheBuiltBackgroundWithoutBuildingItAgain)
{
    ::CBubble* p = Bubble(3, 100, 80);
    const int iChildren = p->GetWidgets().GetCount();
    Tree pCopy(p->Clone());
    ::CBubble* pClone = static_cast<::CBubble*>(pCopy.get());
    pClone->DoUpdate(0.01f);
    EXPECT_EQ(pClone->GetWidgets().GetCount(), iChildren);
    EXPECT_EQ(pClone->GetArrowSide(), 3);
    ASSERT_NE(pClone->GetTemplate(1), nullptr);
    EXPECT_EQ(pClone->GetTemplate(1)->GetImage(), m_apSheets[1]);
}

} // namespace button_test
