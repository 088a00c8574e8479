#include "Framework/UI/RunningList.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace running_list_test
{
typedef CKorvelRect<int> Rect;
typedef std::vector<std::string> Names;

class CRunningList : public ::testing::Test
{
protected:
    // A list at the given area of a 200 x iParentHeight parent.
    ::CRunningList* MakeList(const Rect& area, int iParentHeight)
    {
        m_pParent.reset(new ::CWidget);
        m_pParent->Startup(nullptr, nullptr, Rect(0, 0, 200, iParentHeight));
        m_pList = new ::CRunningList;
        m_pList->Startup(nullptr, nullptr, area);
        m_pParent->AddWidget(m_pList);
        return m_pList;
    }
    static ::CWidget* Item(int iHeight = 20)
    {
        ::CWidget* p = new ::CWidget;
        p->Startup(nullptr, nullptr, Rect(0, 0, 200, iHeight));
        return p;
    }
    Names ChildNames() const
    {
        Names out;
        for (int i = 0; i < m_pList->GetWidgets().GetCount(); ++i)
        {
            char aName[32];
            m_pList->GetWidgets()[i]->GetName().MakeAnsi(aName);
            out.push_back(aName);
        }
        return out;
    }

    std::unique_ptr<::CWidget, sTreeDeleter> m_pParent;
    ::CRunningList* m_pList = nullptr;
};

TEST_F(CRunningList, KeepsTheNewestItemsAndScrollsToTheBottom)
{
    MakeList(Rect(0, 0, 200, 60), 60);
    m_pList->SetMaxItemCount(3);
    for (int i = 0; i < 5; ++i)
        m_pList->AddItem(Item());
    m_pList->DoUpdate(0.0f);
    EXPECT_EQ(ChildNames(), (Names{"2", "3", "4", "5"})) << "the oldest left at the top";
    EXPECT_TRUE(SameRect(m_pList->GetWidgets()[3]->GetArea(), Rect(0, 60, 200, 80)));
    EXPECT_EQ(m_pList->GetShownY(), 20) << "the newest item is in view";

    m_pList->AddItem(nullptr);
    EXPECT_EQ(ChildNames().size(), 4u);
}

TEST_F(CRunningList, ItemsStayInPlaceWhenTheOldestLeaves)
{
    MakeList(Rect(0, 0, 200, 60), 60);
    m_pList->SetMaxItemCount(1);
    m_pList->SetAutoScroll(0, 0.0f);
    m_pList->SetVerticalItemSpacing(4);
    m_pList->AddItem(Item());
    m_pList->AddItem(Item());
    m_pList->DoUpdate(0.0f);
    const ::CWidget* pSecond = m_pList->GetWidgets()[1];
    const int iSeenAt = pSecond->GetArea().top - m_pList->GetTop();
    m_pList->AddItem(Item());
    m_pList->DoUpdate(0.0f);
    ASSERT_EQ(ChildNames(), (Names{"2", "3"}));
    EXPECT_EQ(pSecond->GetArea().top - m_pList->GetTop(), iSeenAt);
}

TEST_F(CRunningList, GrowsUpwardUntilItFillsItsParentAndAlwaysShowsTheNewestWhole)
{
    MakeList(Rect(0, 100, 200, 100), 100);
    // Three items of 30 leave 10 of the parent's 100 empty at its top; the fourth fills
    // them, and the parent cuts off what passes its top.
    const int aTops[] = {70, 40, 10, -20, -20};
    for (int iTop : aTops)
    {
        m_pList->AddItem(Item(30));
        EXPECT_EQ(m_pList->GetArea().top, iTop);
    }
    // Far past the first screenful, items of mixed heights, one taller than the parent.
    const int aHeights[] = {30, 50, 20, 150, 30};
    for (int i = 0; i < 60; ++i)
    {
        m_pList->AddItem(Item(aHeights[i % 5]));
        const ::CWidget* pNewest = m_pList->GetWidgets()[m_pList->GetWidgets().GetCount() - 1];
        // The newest at the bottom of the list, whose bottom is the parent's.
        EXPECT_EQ(pNewest->GetArea().bottom - m_pList->GetShownY(), m_pList->GetHeight()) << i;
        EXPECT_EQ(m_pList->GetArea().bottom, 100) << i;
        EXPECT_EQ(m_pList->GetArea().top, -20) << i;
    }
    EXPECT_EQ(ChildNames().size(), 65u) << "no maximum, no limit";
}

TEST_F(CRunningList, TopGrowingListPutsTheNewestFirst)
{
    MakeList(Rect(0, 0, 200, 40), 100);
    m_pList->SetBottomAnchored(0);
    for (int i = 0; i < 3; ++i)
        m_pList->AddItem(Item());
    m_pList->DoUpdate(0.0f);
    EXPECT_EQ(ChildNames(), (Names{"3", "2", "1"}));
    EXPECT_TRUE(SameRect(m_pList->GetWidgets()[0]->GetArea(), Rect(0, 0, 200, 20)));
    EXPECT_EQ(m_pList->GetShownY(), 0);
    EXPECT_TRUE(SameRect(m_pList->GetArea(), Rect(0, 0, 200, 40))) << "its area stays";
}

TEST_F(CRunningList, ClearEmptiesTheListAndShrinksItToItsBottom)
{
    MakeList(Rect(0, 0, 200, 100), 100);
    m_pList->SetVerticalItemSpacing(3);
    for (int i = 0; i < 4; ++i)
        m_pList->AddItem(Item());
    m_pList->Clear();
    EXPECT_TRUE(ChildNames().empty());
    EXPECT_TRUE(SameRect(m_pList->GetArea(), Rect(0, 94, 200, 100)));
    EXPECT_EQ(m_pList->GetShownY(), 0);
    m_pList->AddItem(Item());
    EXPECT_EQ(ChildNames(), (Names{"5"})) << "the counter runs on";
}

TEST_F(CRunningList, TemplateReplacesTheDesignTimeChildren)
{
    MakeList(Rect(0, 0, 200, 100), 100);
    ::CWidget* pSample = Item();
    pSample->SetName(CKorvelString("sample"));
    m_pList->AddWidget(pSample);
    m_pList->DoUpdate(0.0f);
    EXPECT_EQ(ChildNames(), (Names{"sample"})) << "kept until a template turns up";

    ::CWidget* pTemplate = Item();
    pTemplate->SetName(CKorvelString("item_template"));
    m_pList->AddWidget(pTemplate);
    m_pList->DoUpdate(0.0f);
    EXPECT_TRUE(ChildNames().empty());
    m_pList->AddItem(Item());
    m_pList->DoUpdate(0.0f);
    EXPECT_EQ(ChildNames(), (Names{"1"}));
}
} // namespace running_list_test
