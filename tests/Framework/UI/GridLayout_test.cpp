#include "Framework/UI/GridLayout.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace grid_layout_test
{
typedef CKorvelRect<int> Rect;

class CGridLayout : public ::testing::Test
{
protected:
    // A 200 x 300 grid with borders 10 left and right, 5 top and bottom, spacings 4 and 6.
    ::CGridLayout* MakeGrid(int iMode, int iRows, int iColumns)
    {
        m_pGrid.reset(new ::CGridLayout);
        m_pGrid->Startup(nullptr, nullptr, Rect(0, 0, 200, 300));
        m_pGrid->SetLayoutMode(iMode);
        m_pGrid->SetBorderSize(::CSlideArea::SIDE_LEFT, 10);
        m_pGrid->SetBorderSize(::CSlideArea::SIDE_RIGHT, 10);
        m_pGrid->SetBorderSize(::CSlideArea::SIDE_TOP, 5);
        m_pGrid->SetBorderSize(::CSlideArea::SIDE_BOTTOM, 5);
        m_pGrid->SetHorizontalItemSpacing(4);
        m_pGrid->SetVerticalItemSpacing(6);
        m_pGrid->SetNumRows(iRows);
        m_pGrid->SetNumColumns(iColumns);
        return m_pGrid.get();
    }
    // Children of the given sizes at (1000, 1000), so that any placement shows; one may be hidden.
    void AddChildren(const std::vector<std::pair<int, int>>& aSizes, size_t uHidden = 99)
    {
        for (const auto& size : aSizes)
        {
            ::CWidget* p = new ::CWidget;
            p->Startup(nullptr, nullptr, Rect(1000, 1000, 1000 + size.first, 1000 + size.second));
            p->SetVisible(m_aChildren.size() == uHidden ? 0 : 1);
            m_aChildren.push_back(p);
            m_pGrid->AddWidget(p);
        }
    }
    void Arrange()
    {
        m_pGrid->SetUpdateNeeded(1);
        m_pGrid->DoUpdate(0.0f);
    }
    void ExpectAreas(const std::vector<Rect>& aExpected)
    {
        ASSERT_EQ(aExpected.size(), m_aChildren.size());
        for (size_t i = 0; i < aExpected.size(); ++i)
            EXPECT_TRUE(SameRect(m_aChildren[i]->GetArea(), aExpected[i]))
                << "child " << i << " at " << AreaText(m_aChildren[i]->GetArea()) << ", expected "
                << AreaText(aExpected[i]);
    }

    std::unique_ptr<::CGridLayout, sTreeDeleter> m_pGrid;
    std::vector<::CWidget*> m_aChildren;
};

const Rect AWAY(1000, 1000, 1030, 1020);

TEST_F(CGridLayout, GridCellsAreSizedForTheRowsTheChildrenNeed)
{
    MakeGrid(::CGridLayout::LAYOUT_GRID, 0, 2);
    AddChildren({{30, 20}, {30, 20}, {30, 20}, {30, 20}, {30, 20}});
    Arrange();
    // w = (200 - 20 - 4) / 2 = 88, h = (300 - 10 - 2 x 6) / 3 = 92
    EXPECT_EQ(m_pGrid->GetChildWidth(), 88);
    EXPECT_EQ(m_pGrid->GetChildHeight(), 92);
    ExpectAreas({Rect(10, 5, 98, 97), Rect(102, 5, 190, 97), Rect(10, 103, 98, 195), Rect(102, 103, 190, 195),
                 Rect(10, 201, 98, 293)});
    EXPECT_EQ(m_pGrid->GetClientArea().bottom, 300) << "the content is measured";
}

TEST_F(CGridLayout, GridWithRowsOnlyFillsColumnByColumnAndSkipsHiddenChildren)
{
    MakeGrid(::CGridLayout::LAYOUT_GRID, 2, 0);
    AddChildren({{30, 20}, {30, 20}, {30, 20}, {30, 20}, {30, 20}}, 1);
    Arrange();
    // three columns for five children: w = (200 - 20 - 8) / 3 = 57; h = (300 - 10 - 6) / 2 = 142
    ExpectAreas({Rect(10, 5, 67, 147), Rect(1000, 1000, 1030, 1020), Rect(10, 153, 67, 295),
                 Rect(71, 5, 128, 147), Rect(71, 153, 128, 295)});
}

TEST_F(CGridLayout, ListPlacesWholeRowsOnlyAtTheirOwnSizes)
{
    MakeGrid(::CGridLayout::LAYOUT_LIST, 0, 2);
    AddChildren({{30, 20}, {50, 40}, {20, 10}, {40, 30}, {30, 20}});
    Arrange();
    // two full rows of two; the fifth child stays where it was
    ExpectAreas({Rect(10, 5, 40, 25), Rect(44, 5, 94, 45), Rect(10, 51, 30, 61), Rect(34, 51, 74, 81), AWAY});
    EXPECT_EQ(m_pGrid->GetClientArea().bottom, 1020) << "measured after the last full row";
}

TEST_F(CGridLayout, UniformListUsesTheCellOfTheLargestChild)
{
    MakeGrid(::CGridLayout::LAYOUT_UNIFORM_LIST, 2, 2);
    AddChildren({{30, 20}, {50, 40}, {20, 10}, {40, 30}});
    Arrange();
    ExpectAreas({Rect(10, 5, 40, 25), Rect(64, 5, 114, 45), Rect(10, 51, 30, 61), Rect(64, 51, 104, 81)});
}

TEST_F(CGridLayout, ListStopsWhereTheChildrenRunOut)
{
    MakeGrid(::CGridLayout::LAYOUT_LIST, 3, 2);
    AddChildren({{30, 20}, {30, 20}, {30, 20}}, 0);
    Arrange();
    ExpectAreas({Rect(1000, 1000, 1030, 1020), Rect(10, 5, 40, 25), Rect(44, 5, 74, 25)});
    EXPECT_EQ(m_pGrid->GetClientArea().bottom, 0) << "not measured while the rows are not full";
}

TEST_F(CGridLayout, NegativeOrMissingCountsArrangeNothing)
{
    const struct
    {
        int m_iMode, m_iRows, m_iColumns;
    } aCases[] = {
        {0, 0, 0}, {0, -1, 0}, {0, 0, -3}, {0, -2, -2}, {1, -1, 0}, {1, 0, -1}, {2, -4, 0}, {2, 0, -2},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE("mode " + std::to_string(c.m_iMode) + " rows " + std::to_string(c.m_iRows) +
                     " columns " + std::to_string(c.m_iColumns));
        m_aChildren.clear();
        MakeGrid(c.m_iMode, c.m_iRows, c.m_iColumns);
        EXPECT_EQ(m_pGrid->GetNumRows(), 0);
        EXPECT_EQ(m_pGrid->GetNumColumns(), 0);
        AddChildren({{30, 20}, {30, 20}, {30, 20}});
        Arrange();
        ExpectAreas({AWAY, AWAY, AWAY});
        EXPECT_EQ(m_pGrid->GetChildWidth(), 0);
    }
}

TEST_F(CGridLayout, NegativeCountBesideAPositiveOneCountsAsUnset)
{
    MakeGrid(::CGridLayout::LAYOUT_LIST, -1, 1);
    AddChildren({{30, 20}, {30, 20}, {30, 20}});
    Arrange();
    ExpectAreas({Rect(10, 5, 40, 25), Rect(10, 31, 40, 51), Rect(10, 57, 40, 77)});
}

TEST_F(CGridLayout, HugeCountsFromALayoutStayWithinReach)
{
    const int iHuge = 2147483647;
    MakeGrid(::CGridLayout::LAYOUT_GRID, 0, iHuge);
    AddChildren({{30, 20}, {30, 20}});
    Arrange();
    EXPECT_EQ(m_pGrid->GetChildWidth(), -3) << "(180 - 4 x (2^31 - 2)) / (2^31 - 1), without overflow";

    m_aChildren.clear();
    MakeGrid(::CGridLayout::LAYOUT_LIST, iHuge, 0);
    AddChildren({{30, 20}, {30, 20}, {30, 20}});
    Arrange(); // rows without a single cell place nothing and end at once
    ExpectAreas({AWAY, AWAY, AWAY});
}

TEST_F(CGridLayout, ItemTemplateIsTakenAtTheFirstUpdateAndKeptByClones)
{
    MakeGrid(::CGridLayout::LAYOUT_UNIFORM_LIST, 0, 3);
    ::CWidget* pTemplate = new ::CWidget;
    pTemplate->Startup(nullptr, nullptr, Rect(0, 0, 40, 40));
    pTemplate->SetName(CKorvelString("item_template"));
    m_pGrid->AddWidget(pTemplate);
    EXPECT_EQ(m_pGrid->GetItemTemplate(), nullptr);
    m_pGrid->DoUpdate(0.0f);
    EXPECT_EQ(m_pGrid->GetItemTemplate(), pTemplate);
    EXPECT_EQ(m_pGrid->GetWidgets().GetCount(), 0);

    std::unique_ptr<::CWidget, sTreeDeleter> pCopy(m_pGrid->Clone());
    ::CGridLayout* pGrid = widget_cast<::CGridLayout*>(pCopy.get());
    ASSERT_NE(pGrid, nullptr);
    EXPECT_EQ(pGrid->GetLayoutMode(), ::CGridLayout::LAYOUT_UNIFORM_LIST);
    EXPECT_EQ(pGrid->GetNumColumns(), 3);
    EXPECT_EQ(pGrid->GetBorderSize(::CSlideArea::SIDE_TOP), 5);
    EXPECT_EQ(pGrid->GetVerticalItemSpacing(), 6);
    EXPECT_EQ(pGrid->GetUpdateNeeded(), 1u);
}
} // namespace grid_layout_test
