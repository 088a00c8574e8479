#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "tests/Framework/UI/WidgetProbe.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace infinite_list_test
{
typedef CKorvelRect<int> Rect;

std::string Name(const CWidget* pWidget)
{
    char aName[64];
    pWidget->GetName().MakeAnsi(aName);
    return aName;
}

// A 100 x 100 list whose owner records every callback; templates are plain widgets.
class CInfiniteList : public ::testing::Test
{
protected:
    void SetUp() override { ::CWidget::SetActiveWidget(nullptr); }
    // The list's shut-down still calls the owner.
    void TearDown() override { m_pList.reset(); }
    ::CInfiniteList* MakeList()
    {
        m_pList.reset(new ::CInfiniteList);
        m_pList->Startup(nullptr, nullptr, Rect(0, 0, 100, 100));
        m_pList->SetOnLoadItem(CActionCallback(&OnLoadItem, this));
        m_pList->SetOnForgetItem(CActionCallback(&OnForgetItem, this));
        m_pList->SetOnLoadItemBatch(CActionCallback(&OnBatch, this));
        m_pList->SetOnLoadGroup(CActionCallback(&OnLoadGroup, this));
        return m_pList.get();
    }
    ::CWidget* AddTemplate(const char* pName, int iHeight)
    {
        ::CWidget* p = new ::CWidget;
        p->Startup(nullptr, nullptr, Rect(0, 0, 100, iHeight));
        p->SetName(CKorvelString(pName));
        p->SetOnClone(CActionCallback(&OnClone, this));
        m_pList->AddWidget(p);
        return p;
    }
    std::vector<std::string> ChildNames() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < m_pList->GetWidgets().GetCount(); ++i)
            out.push_back(Name(m_pList->GetWidgets()[i]));
        return out;
    }
    // The item indexes the children stand for.
    std::set<int> HeldItems() const
    {
        std::set<int> out;
        for (const std::string& str : ChildNames())
            if (str != "group" && str != "separator")
                out.insert(std::stoi(str));
        return out;
    }
    // Items loaded and not yet forgotten.
    std::set<int> LiveItems() const
    {
        std::multiset<int> live(m_aLoaded.begin(), m_aLoaded.end());
        for (int i : m_aForgotten)
            if (live.find(i) != live.end())
                live.erase(live.find(i));
        return std::set<int>(live.begin(), live.end());
    }
    void Update(int iCount = 1)
    {
        for (int i = 0; i < iCount; ++i)
            m_pList->DoUpdate(0.0f);
    }

    static CInfiniteList* Self(void* p) { return static_cast<CInfiniteList*>(p); }
    // The list that called: the sender, or the list an item sits in during its callback.
    static ::CInfiniteList* Caller(::CWidget* w)
    {
        ::CInfiniteList* pList = widget_cast<::CInfiniteList*>(w);
        return pList ? pList : widget_cast<::CInfiniteList*>(w->GetParent());
    }
    static KE_RETVAL OnLoadItem(::CWidget* w, void* p)
    {
        EXPECT_EQ(w->GetParent(), Self(p)->m_pList.get()) << "the owner can reach the list";
        Self(p)->m_aLoaded.push_back(Caller(w)->GetIndex(w));
        return KE_OK;
    }
    static KE_RETVAL OnForgetItem(::CWidget* w, void* p)
    {
        Self(p)->m_aForgotten.push_back(Caller(w)->GetIndex(w));
        return KE_OK;
    }
    static KE_RETVAL OnBatch(::CWidget* w, void* p)
    {
        int iCount = -9, iFirst = -9;
        Caller(w)->GetBatch(iCount, iFirst);
        Self(p)->m_aBatches.push_back({iCount, iFirst});
        return KE_OK;
    }
    static KE_RETVAL OnLoadGroup(::CWidget* w, void* p)
    {
        EXPECT_EQ(w->GetParent(), Self(p)->m_pList.get());
        Self(p)->m_aGroups.push_back(Caller(w)->GetIndex(w));
        return KE_OK;
    }
    static KE_RETVAL OnClone(::CWidget*, void* p)
    {
        ++Self(p)->m_iClones;
        return KE_OK;
    }

    std::unique_ptr<::CInfiniteList, sTreeDeleter> m_pList;
    std::vector<int> m_aLoaded;
    std::vector<int> m_aForgotten;
    std::vector<std::pair<int, int>> m_aBatches;
    std::vector<int> m_aGroups;
    int m_iClones = 0;
};

typedef std::vector<std::string> Names;
typedef std::vector<std::pair<int, int>> Batches;

TEST_F(CInfiniteList, ShortListIsMadeInOneUpdate)
{
    MakeList();
    AddTemplate("item_template", 20);
    m_pList->SetCount(3);
    // A list kept from drawing until its data comes still hands out the batch to ask for.
    m_pList->SetStarted(0);
    Update();
    EXPECT_EQ(ChildNames(), (Names{"0", "1", "2"}));
    EXPECT_EQ(m_aLoaded, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(m_aBatches, (Batches{{3, 0}}));
    EXPECT_TRUE(SameRect(m_pList->GetWidgets()[2]->GetArea(), Rect(0, 40, 100, 60))) << "placed as a list";
    Update(3);
    EXPECT_EQ(m_aBatches.size(), 1u) << "nothing new, no batch";
    EXPECT_EQ(m_pList->GetIndex(m_pList->GetWidgets()[0]), -1) << "only during a callback";
}

TEST_F(CInfiniteList, GroupsPutAHeaderBeforeTheirItems)
{
    MakeList();
    AddTemplate("item_template", 20);
    AddTemplate("group_template", 10);
    CKorvelArray<int> aSizes;
    aSizes.Add(2);
    aSizes.Add(3);
    m_pList->SetGroups(aSizes);
    EXPECT_EQ(m_pList->GetCount(), 7);
    Update();
    EXPECT_EQ(ChildNames(), (Names{"group", "0", "1", "group", "2", "3", "4"}));
    EXPECT_EQ(m_aGroups, (std::vector<int>{0, 1}));
    EXPECT_EQ(m_aBatches, (Batches{{5, 0}})) << "headers are not items";

    const struct
    {
        int m_iIndex, m_iResult, m_iA, m_iB;
    } aCases[] = {{0, 1, 0, 0}, {1, 0, 1, -1}, {3, 1, 0, 1}, {4, 0, 2, -1}, {6, 0, 2, -1}};
    for (const auto& c : aCases)
    {
        int a = -1, b = -1;
        EXPECT_EQ(m_pList->IsGroup(c.m_iIndex, a, b), c.m_iResult) << c.m_iIndex;
        EXPECT_EQ(a, c.m_iA) << c.m_iIndex;
        EXPECT_EQ(b, c.m_iB) << c.m_iIndex;
    }
}

TEST_F(CInfiniteList, NewCountForgetsEveryItemAndScrollsToTheTop)
{
    MakeList();
    AddTemplate("item_template", 20);
    m_pList->SetCount(12);
    Update();
    m_pList->scroll(0, 60);
    ASSERT_EQ(m_pList->GetTop(), 60);

    m_pList->SetCount(12);
    EXPECT_TRUE(m_aForgotten.empty());
    EXPECT_EQ(m_pList->GetWidgets().GetCount(), 12);

    m_pList->SetCount(4);
    std::multiset<int> forgotten(m_aForgotten.begin(), m_aForgotten.end());
    EXPECT_EQ(forgotten.size(), 12u);
    EXPECT_EQ(std::set<int>(forgotten.begin(), forgotten.end()).size(), 12u);
    EXPECT_EQ(m_pList->GetWidgets().GetCount(), 0);
    EXPECT_EQ(m_pList->GetTop(), 0);
    Update();
    EXPECT_EQ(ChildNames(), (Names{"0", "1", "2", "3"}));
}

TEST_F(CInfiniteList, ClearWaitsForTheNextUpdateAndResetsTheCount)
{
    MakeList();
    m_pList->Clear();
    m_pList->Clear(1);
    AddTemplate("item_template", 20);
    m_pList->SetCount(5);
    Update();
    ASSERT_EQ(ChildNames().size(), 5u) << "a clear before the templates were taken is dropped";

    m_pList->Clear();
    EXPECT_EQ(ChildNames().size(), 5u);
    Update();
    EXPECT_TRUE(ChildNames().empty());
    EXPECT_EQ(m_aForgotten.size(), 5u);
    EXPECT_EQ(m_pList->GetCount(), 0);
    Update();
    EXPECT_TRUE(ChildNames().empty());

    // A list torn down with items tells the owner about each.
    m_pList->SetCount(2);
    Update();
    m_aForgotten.clear();
    m_pList.reset();
    EXPECT_EQ(m_aForgotten.size(), 2u);
}

TEST_F(CInfiniteList, PageSize)
{
    MakeList();
    m_pList->SetPageSize(2);
    EXPECT_EQ(m_pList->GetPageSize(), 3);
    m_pList->SetPageSize(7);
    EXPECT_EQ(m_pList->GetPageSize(), 7);

    // From the item height while the templates are pending: 100 / 20 + 1.
    m_pList->SetPageSize(0);
    EXPECT_EQ(m_pList->GetPageSize(), -1);
    AddTemplate("item_template", 20);
    Update();
    EXPECT_EQ(m_pList->GetPageSize(), 6);
    m_pList->SetPageSize(0);
    EXPECT_EQ(m_pList->GetPageSize(), 6) << "too late";

    // An expandable item counts with its first level: 100 / 30 + 1, at least 3.
    const struct
    {
        int m_iLevel0, m_iPage;
    } aCases[] = {{30, 4}, {60, 3}};
    for (const auto& c : aCases)
    {
        MakeList();
        m_pList->SetPageSize(-5);
        CExpandable* pItem = new CExpandable;
        pItem->Startup(nullptr, nullptr, Rect(0, 0, 100, 90));
        pItem->SetName(CKorvelString("item_template"));
        CKorvelArray<int> aWidths, aHeights;
        aWidths.Add(100);
        aHeights.Add(c.m_iLevel0);
        aHeights.Add(90);
        pItem->SetSizes(aWidths, aHeights);
        m_pList->AddWidget(pItem);
        Update();
        EXPECT_EQ(m_pList->GetPageSize(), c.m_iPage) << c.m_iLevel0;
    }
}

TEST_F(CInfiniteList, RemovingAnItemTellsTheOwner)
{
    MakeList();
    AddTemplate("item_template", 20);
    AddTemplate("group_template", 10);
    CKorvelArray<int> aSizes;
    aSizes.Add(2);
    m_pList->SetGroups(aSizes);
    Update();
    ::CWidget* pHeader = m_pList->GetWidgets()[0];
    ::CWidget* pItem = m_pList->GetWidgets()[2];
    m_pList->RemoveItem(pHeader);
    m_pList->RemoveItem(pItem);
    EXPECT_EQ(m_aForgotten, (std::vector<int>{1}));
    EXPECT_EQ(ChildNames(), (Names{"0"}));
    EXPECT_EQ(pItem->GetParent(), nullptr);
    for (::CWidget* p : {pHeader, pItem})
    {
        p->Shutdown();
        delete p;
    }
}

// Scrolls one item height per update down until the list stops moving, then back up,
// checking the window at every frame.
TEST_F(CInfiniteList, LongListKeepsAWindowOfFivePagesAndRecyclesItsWidgets)
{
    MakeList();
    AddTemplate("item_template", 20);
    m_pList->SetPageSize(5);
    m_pList->SetVerticalItemSpacing(4);
    m_pList->SetCount(1000);
    Update();
    ASSERT_EQ(HeldItems().size(), 25u);
    const int iClonesAfterFill = m_iClones;
    EXPECT_EQ(iClonesAfterFill, 25);

    std::map<int, int> made;
    for (int i : m_aLoaded)
        ++made[i];
    bool bSawLast = false;
    for (int iDirection : {20, -20})
    {
        for (int iFrame = 0; iFrame < 3000; ++iFrame)
        {
            const int iFirstBefore = m_pList->GetFirstLoadedIndex();
            const int iTopBefore = m_pList->GetTop();
            const size_t uLoadedBefore = m_aLoaded.size();
            m_pList->scroll(0, iDirection);
            // An item that stays must stay where it is seen while the window moves.
            const ::CWidget* pWatched = m_pList->GetWidgets()[12];
            const std::string strWatched = Name(pWatched);
            const int iSeenAt = pWatched->GetArea().top - m_pList->GetTop();
            Update();
            const ::CWidget* pAfter = m_pList->FindWidget(CKorvelString(strWatched.c_str()), 0);
            if (pAfter)
            {
                ASSERT_EQ(pAfter->GetArea().top - m_pList->GetTop(), iSeenAt) << "item " << strWatched;
            }
            for (size_t i = uLoadedBefore; i < m_aLoaded.size(); ++i)
                made[m_aLoaded[i]] += iDirection > 0 ? 1 : 0;
            const int iMoved = m_pList->GetFirstLoadedIndex() - iFirstBefore;
            ASSERT_LE(iMoved < 0 ? -iMoved : iMoved, 5) << "one page per update at most";
            ASSERT_LE(m_pList->GetWidgets().GetCount(), 25) << "five pages of items";
            ASSERT_EQ(HeldItems(), LiveItems()) << "what left was forgotten, what came was loaded";
            bSawLast = bSawLast || HeldItems().count(999) == 1;
            if (iMoved == 0 && m_pList->GetTop() == iTopBefore)
                break;
        }
    }
    EXPECT_TRUE(bSawLast);
    EXPECT_EQ(m_pList->GetFirstLoadedIndex(), 0);
    EXPECT_EQ(m_pList->GetTop(), 0);
    EXPECT_EQ(m_iClones, iClonesAfterFill) << "moving the window only recycles";
    EXPECT_EQ(made.size(), 1000u);
    for (const auto& entry : made)
        ASSERT_EQ(entry.second, 1) << "item " << entry.first << " made once on the way down";
}

TEST_F(CInfiniteList, SeparatorsSitBetweenItemsAndBatchesComeOnlyWithNewItems)
{
    MakeList();
    AddTemplate("item_template", 20);
    AddTemplate("item_separator_template", 2);
    m_pList->SetPageSize(3);
    m_pList->SetCount(40);
    Update();
    EXPECT_EQ(m_aBatches, (Batches{{15, 0}}));
    Update(5);
    EXPECT_EQ(m_aBatches.size(), 1u) << "idle frames report nothing";

    std::map<int, int> made;
    for (int i : m_aLoaded)
        ++made[i];
    for (int iFrame = 0; iFrame < 1000; ++iFrame)
    {
        const size_t uLoaded = m_aLoaded.size(), uBatches = m_aBatches.size();
        const int iTop = m_pList->GetTop(), iFirst = m_pList->GetFirstLoadedIndex();
        m_pList->scroll(0, 11);
        Update();
        for (size_t i = uLoaded; i < m_aLoaded.size(); ++i)
            ++made[m_aLoaded[i]];
        ASSERT_EQ(m_aBatches.size() - uBatches, m_aLoaded.size() > uLoaded ? 1u : 0u);

        const Names names = ChildNames();
        int iSeparators = 0;
        for (size_t i = 0; i < names.size(); ++i)
        {
            const bool bSeparator = names[i] == "separator";
            iSeparators += bSeparator ? 1 : 0;
            ASSERT_EQ(bSeparator, i % 2 == 1) << "items and separators alternate at " << i;
        }
        ASSERT_EQ(iSeparators, m_pList->GetSeparatorCount());
        ASSERT_EQ(HeldItems().size(), 15u);
        if (m_pList->GetTop() == iTop && m_pList->GetFirstLoadedIndex() == iFirst)
            break;
    }
    EXPECT_EQ(made.size(), 40u);
    for (const auto& entry : made)
        EXPECT_EQ(entry.second, 1) << "item " << entry.first;
    EXPECT_EQ(*HeldItems().rbegin(), 39);
}

TEST_F(CInfiniteList, CloneIsAPlainGrid)
{
    MakeList();
    AddTemplate("item_template", 20);
    m_pList->SetCount(2);
    Update();
    std::unique_ptr<::CWidget, sTreeDeleter> pCopy(m_pList->Clone());
    EXPECT_EQ(widget_cast<::CInfiniteList*>(pCopy.get()), nullptr);
    ::CGridLayout* pGrid = widget_cast<::CGridLayout*>(pCopy.get());
    ASSERT_NE(pGrid, nullptr);
    EXPECT_EQ(pGrid->GetLayoutMode(), ::CGridLayout::LAYOUT_LIST);
    EXPECT_EQ(pGrid->GetWidgets().GetCount(), 2);
}
} // namespace infinite_list_test
