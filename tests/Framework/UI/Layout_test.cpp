#include "Framework/UI/Alignment.h"
#include "Framework/UI/Divider.h"
#include "Framework/UI/RatioDivider.h"
#include "Framework/UI/RatioLayout.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace layout_test
{
typedef CKorvelRect<int> Rect;
typedef std::unique_ptr<::CWidget, sTreeDeleter> Tree;

// A layout that counts its arrangements.
class CCountingLayout : public ::CLayout
{
public:
    void arrangeChildren() override { ++m_iArranged; }
    int m_iArranged = 0;
};

template <class L> L* MakeLayout(const Rect& area)
{
    L* p = new L;
    p->Startup(nullptr, nullptr, area);
    return p;
}

// Plain children of the given areas added to the layout.
std::vector<::CWidget*> AddChildren(::CWidget* pLayout, const std::vector<Rect>& aAreas)
{
    std::vector<::CWidget*> aChildren;
    for (const Rect& r : aAreas)
    {
        ::CWidget* p = new ::CWidget;
        p->Startup(nullptr, nullptr, r);
        pLayout->AddWidget(p);
        aChildren.push_back(p);
    }
    return aChildren;
}

void ExpectAreas(const std::vector<::CWidget*>& aChildren, const std::vector<Rect>& aExpected,
                 const char* pName)
{
    ASSERT_EQ(aChildren.size(), aExpected.size()) << pName;
    for (size_t i = 0; i < aChildren.size(); ++i)
        EXPECT_TRUE(SameRect(aChildren[i]->GetArea(), aExpected[i]))
            << pName << " child " << i << ": " << AreaText(aChildren[i]->GetArea());
}

// The suites are named after the classes they test; inside them the classes are ::C...
class CLayout : public ::testing::Test
{
};
class CDivider : public ::testing::Test
{
};
class CRatioDivider : public ::testing::Test
{
};
class CAspectLayout : public ::testing::Test
{
};
class CAlignment : public ::testing::Test
{
};

TEST_F(CLayout, ArrangesAtOnceForANewChildAndOtherwiseAtTheNextUpdate)
{
    Tree pTree(MakeLayout<CCountingLayout>(Rect(0, 0, 100, 50)));
    CCountingLayout* p = static_cast<CCountingLayout*>(pTree.get());
    EXPECT_EQ(p->GetUpdateNeeded(), 0u);

    std::vector<::CWidget*> aChildren = AddChildren(p, {Rect(0, 0, 10, 10)});
    EXPECT_EQ(p->m_iArranged, 1);
    EXPECT_EQ(p->GetUpdateNeeded(), 0u);

    struct
    {
        const char* pName;
        std::function<void()> change;
        unsigned int uNeeded;
    } aChanges[] = {
        {"same area", [&] { p->SetArea(Rect(0, 0, 100, 50)); }, 0},
        {"own area", [&] { p->SetArea(Rect(0, 0, 120, 50)); }, 1},
        {"a child's area", [&] { aChildren[0]->SetArea(Rect(5, 5, 10, 10)); }, 1},
        {"a grandchild's area",
         [&]
         {
             AddChildren(aChildren[0], {Rect(0, 0, 1, 1)});
             p->DoUpdate(0.1f);
             aChildren[0]->GetWidgets()[0]->SetArea(Rect(0, 0, 2, 2));
         },
         1},
        {"a removed child", [&] { p->DeleteWidget(aChildren[0]); }, 1},
    };
    for (const auto& c : aChanges)
    {
        p->SetUpdateNeeded(0);
        c.change();
        EXPECT_EQ(p->GetUpdateNeeded(), c.uNeeded) << c.pName;
        const int iBefore = p->m_iArranged;
        p->DoUpdate(0.1f);
        EXPECT_EQ(p->m_iArranged, iBefore + static_cast<int>(c.uNeeded)) << c.pName;
        EXPECT_EQ(p->GetUpdateNeeded(), 0u) << c.pName;
    }
}

TEST_F(CLayout, AnEmptyLayoutIsNotArrangedByTheUpdateButIsForANewChild)
{
    for (const Rect& rcEmpty : {Rect(0, 0, 0, 50), Rect(0, 0, 50, 0)})
    {
        Tree pTree(MakeLayout<CCountingLayout>(rcEmpty));
        CCountingLayout* p = static_cast<CCountingLayout*>(pTree.get());
        p->SetUpdateNeeded(1);
        p->DoUpdate(0.1f);
        EXPECT_EQ(p->m_iArranged, 0);
        EXPECT_EQ(p->GetUpdateNeeded(), 0u);
        AddChildren(p, {Rect(0, 0, 10, 10)});
        EXPECT_EQ(p->m_iArranged, 1);
    }
}

TEST_F(CLayout, ACloneHasItsSourcesSettingsAndArrangesByThem)
{
    Tree pSource(MakeLayout<::CAlignment>(Rect(0, 0, 20, 20)));
    ::CAlignment* pAlign = static_cast<::CAlignment*>(pSource.get());
    AddChildren(pAlign, {Rect(0, 0, 11, 5)});
    pAlign->SetAlignment(::CAlignment::ALIGN_RIGHT | ::CAlignment::ALIGN_VCENTER);
    pAlign->SetBorderSize(::CAlignment::SIDE_RIGHT, 3);
    pAlign->DoUpdate(0.1f);

    Tree pCopy(pAlign->Clone());
    ::CAlignment* pClone = static_cast<::CAlignment*>(pCopy.get());
    EXPECT_EQ(pClone->GetAlignment(), pAlign->GetAlignment());
    EXPECT_EQ(pClone->GetBorderSize(::CAlignment::SIDE_RIGHT), 3);
    ::CWidget* pChild = pClone->GetWidgets()[0];
    pChild->SetArea(Rect(0, 0, 11, 5));
    pClone->DoUpdate(0.1f);
    EXPECT_TRUE(SameRect(pChild->GetArea(), Rect(6, 7, 17, 12))) << AreaText(pChild->GetArea());
}

TEST_F(CDivider, PlacesTheAspectSizedRegionByOrientation)
{
    struct sCASE
    {
        const char* pName;
        Rect rcArea;
        ::CDivider::EOrientation eOrientation;
        float fAspect;
        int iMaxWidth, iMaxHeight;
        std::vector<Rect> aExpected; // three children
    } aCases[] = {
        {"left",
         Rect(0, 0, 300, 100),
         ::CDivider::HORIZONTAL_LEFT,
         1.0f,
         0x7FFFFFFF,
         0x7FFFFFFF,
         {Rect(0, 0, 100, 100), Rect(100, 0, 300, 100), Rect(0, 0, 100, 100)}},
        {"right",
         Rect(0, 0, 300, 100),
         ::CDivider::HORIZONTAL_RIGHT,
         1.0f,
         0x7FFFFFFF,
         0x7FFFFFFF,
         {Rect(0, 0, 200, 100), Rect(200, 0, 300, 100), Rect(0, 0, 200, 100)}},
        {"top",
         Rect(0, 0, 100, 300),
         ::CDivider::VERTICAL_TOP,
         2.0f,
         0x7FFFFFFF,
         0x7FFFFFFF,
         {Rect(0, 0, 100, 50), Rect(0, 50, 100, 300), Rect(0, 0, 100, 50)}},
        {"bottom",
         Rect(0, 0, 100, 300),
         ::CDivider::VERTICAL_BOTTOM,
         2.0f,
         0x7FFFFFFF,
         0x7FFFFFFF,
         {Rect(0, 0, 100, 250), Rect(0, 250, 100, 300), Rect(0, 0, 100, 250)}},
        {"halves round up",
         Rect(0, 0, 300, 101),
         ::CDivider::HORIZONTAL_LEFT,
         0.5f,
         0x7FFFFFFF,
         0x7FFFFFFF,
         {Rect(0, 0, 51, 101), Rect(51, 0, 300, 101), Rect(0, 0, 51, 101)}},
        {"maximum width",
         Rect(0, 0, 300, 100),
         ::CDivider::HORIZONTAL_LEFT,
         1.0f,
         60,
         0x7FFFFFFF,
         {Rect(0, 0, 60, 100), Rect(60, 0, 300, 100), Rect(0, 0, 60, 100)}},
        {"maximum height",
         Rect(0, 0, 300, 100),
         ::CDivider::HORIZONTAL_LEFT,
         1.0f,
         0x7FFFFFFF,
         80,
         {Rect(0, 0, 100, 80), Rect(100, 0, 300, 80), Rect(0, 0, 100, 80)}},
        {"aspect 0 leaves the children",
         Rect(0, 0, 300, 100),
         ::CDivider::HORIZONTAL_LEFT,
         0.0f,
         0x7FFFFFFF,
         0x7FFFFFFF,
         {Rect(1, 1, 2, 2), Rect(1, 1, 2, 2), Rect(1, 1, 2, 2)}},
        {"negative aspect too",
         Rect(0, 0, 300, 100),
         ::CDivider::HORIZONTAL_LEFT,
         -1.0f,
         0x7FFFFFFF,
         0x7FFFFFFF,
         {Rect(1, 1, 2, 2), Rect(1, 1, 2, 2), Rect(1, 1, 2, 2)}},
    };
    for (const sCASE& c : aCases)
    {
        Tree pTree(MakeLayout<::CDivider>(c.rcArea));
        ::CDivider* p = static_cast<::CDivider*>(pTree.get());
        p->SetAspect(c.fAspect);
        p->SetOrientation(c.eOrientation);
        p->SetMaxItemWidth(c.iMaxWidth);
        p->SetMaxItemHeight(c.iMaxHeight);
        const std::vector<::CWidget*> aChildren =
            AddChildren(p, {Rect(1, 1, 2, 2), Rect(1, 1, 2, 2), Rect(1, 1, 2, 2)});
        if (c.fAspect > 0.0f)
        {
            // Added children were placed at once; the update finds nothing to change.
            p->DoUpdate(0.1f);
        }
        ExpectAreas(aChildren, c.aExpected, c.pName);
    }
}

TEST_F(CRatioDivider, SplitsByTheRatioWithinTheLimits)
{
    struct sCASE
    {
        const char* pName;
        Rect rcArea;
        ::CRatioDivider::EOrientation eOrientation;
        float fRatio;
        int iMin, iMax;
        int iChildren;
        std::vector<Rect> aExpected;
    } aCases[] = {
        {"horizontal",
         Rect(0, 0, 300, 100),
         ::CRatioDivider::HORIZONTAL,
         0.5f,
         0,
         -1,
         3,
         {Rect(0, 0, 150, 100), Rect(150, 0, 300, 100), Rect(1, 1, 2, 2)}},
        {"vertical",
         Rect(0, 0, 100, 300),
         ::CRatioDivider::VERTICAL,
         0.25f,
         0,
         -1,
         2,
         {Rect(0, 0, 100, 75), Rect(0, 75, 100, 300)}},
        {"minimum",
         Rect(0, 0, 400, 100),
         ::CRatioDivider::HORIZONTAL,
         0.25f,
         120,
         -1,
         2,
         {Rect(0, 0, 120, 100), Rect(120, 0, 400, 100)}},
        {"the maximum wins over the minimum",
         Rect(0, 0, 1000, 100),
         ::CRatioDivider::HORIZONTAL,
         0.5f,
         300,
         200,
         2,
         {Rect(0, 0, 200, 100), Rect(200, 0, 1000, 100)}},
        {"one child",
         Rect(0, 0, 300, 100),
         ::CRatioDivider::HORIZONTAL,
         0.5f,
         0,
         -1,
         1,
         {Rect(0, 0, 150, 100)}},
        {"ratio 0 leaves them",
         Rect(0, 0, 300, 100),
         ::CRatioDivider::HORIZONTAL,
         0.0f,
         0,
         -1,
         2,
         {Rect(1, 1, 2, 2), Rect(1, 1, 2, 2)}},
    };
    for (const sCASE& c : aCases)
    {
        Tree pTree(MakeLayout<::CRatioDivider>(c.rcArea));
        ::CRatioDivider* p = static_cast<::CRatioDivider*>(pTree.get());
        p->SetRatio(c.fRatio);
        p->SetOrientation(c.eOrientation);
        p->SetMinFirstItemSize(c.iMin);
        p->SetMaxFirstItemSize(c.iMax);
        const std::vector<::CWidget*> aChildren =
            AddChildren(p, std::vector<Rect>(static_cast<size_t>(c.iChildren), Rect(1, 1, 2, 2)));
        ExpectAreas(aChildren, c.aExpected, c.pName);
    }
}

TEST_F(CRatioDivider, NegativeLimitsMeanNoLimit)
{
    ::CRatioDivider divider;
    divider.SetMinFirstItemSize(-5);
    divider.SetMaxFirstItemSize(-1);
    EXPECT_EQ(divider.GetMinFirstItemSize(), 0);
    EXPECT_EQ(divider.GetMaxFirstItemSize(), 1073741824);
    EXPECT_EQ(divider.GetUpdateNeeded(), 1u);
}

TEST_F(CAspectLayout, FitsEveryChildIntoTheLargestRectangleOfTheAspect)
{
    struct sCASE
    {
        Rect rcArea;
        float fAspect, fPositioning;
        Rect rcExpected;
    } aCases[] = {
        {Rect(0, 0, 300, 100), 1.0f, 0.5f, Rect(100, 0, 200, 100)},
        {Rect(0, 0, 100, 300), 1.0f, 0.5f, Rect(0, 100, 100, 200)},
        {Rect(0, 0, 300, 100), 1.0f, 0.0f, Rect(0, 0, 100, 100)},
        {Rect(0, 0, 300, 100), 1.0f, 1.0f, Rect(200, 0, 300, 100)},
        {Rect(50, 50, 350, 150), 2.0f, 0.5f, Rect(50, 0, 250, 100)}, // in client coordinates
        {Rect(0, 0, 300, 100), 0.0f, 0.5f, Rect(1, 1, 2, 2)},
    };
    for (const sCASE& c : aCases)
    {
        Tree pTree(MakeLayout<::CAspectLayout>(c.rcArea));
        ::CAspectLayout* p = static_cast<::CAspectLayout*>(pTree.get());
        EXPECT_EQ(p->GetAspect(), 1.0f);
        EXPECT_EQ(p->GetPositioning(), 0.5f);
        p->SetAspect(c.fAspect);
        p->SetPositioning(c.fPositioning);
        const std::vector<::CWidget*> aChildren = AddChildren(p, {Rect(1, 1, 2, 2), Rect(1, 1, 2, 2)});
        ExpectAreas(aChildren, {c.rcExpected, c.rcExpected}, AreaText(c.rcArea).c_str());
    }
}

TEST_F(CAlignment, AlignsEachChildAtItsOwnSizeOrStretchesIt)
{
    typedef ::CAlignment A;
    struct sCASE
    {
        const char* pName;
        unsigned int uAlignment;
        Rect rcExpected;
    } aCases[] = {
        // Client area 20 x 20, child 11 x 5, borders 1 left, 2 top, 3 right, 4 bottom.
        {"left top", A::ALIGN_LEFT | A::ALIGN_TOP, Rect(1, 2, 12, 7)},
        {"centred, borders ignored, 9 / 2 truncated", A::ALIGN_HCENTER | A::ALIGN_VCENTER,
         Rect(4, 7, 15, 12)},
        {"stretched", A::ALIGN_HSTRETCH | A::ALIGN_VSTRETCH, Rect(1, 2, 17, 16)},
        {"right bottom", A::ALIGN_RIGHT | A::ALIGN_BOTTOM, Rect(6, 11, 17, 16)},
    };
    for (const sCASE& c : aCases)
    {
        Tree pTree(MakeLayout<A>(Rect(30, 30, 50, 50)));
        A* p = static_cast<A*>(pTree.get());
        const int aiBorders[] = {1, 2, 3, 4};
        for (int i = 0; i < A::SIDE_COUNT; ++i)
            p->SetBorderSize(static_cast<A::ESide>(i), aiBorders[i]);
        p->SetAlignment(c.uAlignment);
        const std::vector<::CWidget*> aChildren = AddChildren(p, {Rect(100, 100, 111, 105)});
        ExpectAreas(aChildren, {c.rcExpected}, c.pName);
    }
}

TEST_F(CAlignment, PressesPassThroughToWhatLiesBelow)
{
    WidgetLog log;
    Tree pRoot(CProbeWidget::Make(&log, "root", Rect(0, 0, 100, 100)));
    CProbeWidget::Make(&log, "below", Rect(0, 0, 100, 100), pRoot.get());
    ::CAlignment* pAlign = MakeLayout<::CAlignment>(Rect(0, 0, 100, 100));
    pRoot->AddWidget(pAlign);
    EXPECT_EQ(pAlign->GetTransparent(), 1u);
    log.clear();
    pRoot->DoMouseButton(0, 50, 50);
    EXPECT_EQ(log, WidgetLog({"below:gain -", "below:press 50,50"}));
}

} // namespace layout_test
