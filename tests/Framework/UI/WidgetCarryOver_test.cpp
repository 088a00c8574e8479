#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/RunningList.h"
#include "Framework/UI/SlideArea.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WidgetCarryOver.h"
#include "support/TestText.h"
#include "tests/Framework/UI/WidgetProbe.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
typedef CKorvelRect<int> Rect;
typedef std::unique_ptr<CWidget, sTreeDeleter> Tree;

const int VIEW = 100;

template <class T> T* Add(CWidget* pParent, const char* pName, const Rect& area)
{
    T* p = new T;
    p->Startup(nullptr, nullptr, area);
    p->SetName(CKorvelString(pName));
    pParent->AddWidget(p);
    return p;
}

// Content of that height in a scrolling area of VIEW pixels.
void Fill(CWidget* pArea, int iHeight)
{
    Add<CWidget>(pArea, "content", Rect(0, 0, VIEW, iHeight));
}

KE_RETVAL Count(CWidget*, void* pContext)
{
    ++*static_cast<int*>(pContext);
    return KE_OK;
}

// One layout's tree: two fields of one name, a toggle with its looks, a card that opens to a
// second size, a note, two scrolling areas and a log. The areas' content comes later.
Tree Build(int* pChanges)
{
    Tree root(new CWidget);
    root->Startup(nullptr, nullptr, Rect(0, 0, 400, 400));
    for (int i = 0; i < 2; ++i)
        Add<CTextWidget>(root.get(), "field", Rect(0, 0, VIEW, 20))
            ->SetOnChanged(CActionCallback(&Count, pChanges));
    CToggleButton* pToggle = Add<CToggleButton>(root.get(), "toggle", Rect(0, 0, 20, 20));
    Add<CWidget>(pToggle, "off", Rect(0, 0, 20, 20));
    Add<CWidget>(pToggle, "on", Rect(0, 0, 20, 20));
    CExpandable* pCard = Add<CExpandable>(root.get(), "card", Rect(0, 0, VIEW, 20));
    CKorvelArray<int> aWidths, aHeights;
    aWidths.Add(VIEW);
    aHeights.Add(20);
    aHeights.Add(60);
    pCard->SetSizes(aWidths, aHeights);
    Add<CWidget>(root.get(), "note", Rect(0, 0, VIEW, 20));
    // A label's text from the language is shown, not stored.
    Add<CTextWidget>(root.get(), "label", Rect(0, 0, VIEW, 20))->SetDisplayText(CKorvelString("Log in"));
    Add<CTextWidget>(root.get(), "remembered", Rect(0, 0, VIEW, 20));
    for (const char* pName : {"at_end", "in_middle"})
        Add<CSlideArea>(root.get(), pName, Rect(0, 0, VIEW, VIEW));
    CRunningList* pLog = Add<CRunningList>(root.get(), "log", Rect(0, 0, VIEW, VIEW));
    Add<CWidget>(pLog, "1", Rect(0, 0, VIEW, 20));
    root->DoUpdate(0.0f);
    return root;
}

template <class T> T* Get(const Tree& root, const char* pPath)
{
    return widget_cast<T*>(root->FindWidgetByPath(CKorvelString(pPath)));
}

std::string TextAt(const Tree& root, int iChild)
{
    CTextWidget* pText = widget_cast<CTextWidget*>(root->GetWidgets()[iChild]);
    return pText ? Narrow(pText->GetText()) : "<none>";
}
} // namespace

// What the player made of one tree comes to a tree rebuilt from the same layout: texts by
// their place among fields of one name, without a change reported, and what a field shows
// without storing it, while a label keeps its language's text; toggles, hidden widgets;
// the card's level once its first update has settled it; a scroll place once the refilled
// content reaches it, and the end of the content, however long, for an area left at its end.
TEST(CWidgetCarryOver, ARebuiltTreeTakesWhatThePlayerMadeOfTheOldOne)
{
    int iChanges = 0;
    Tree old = Build(&iChanges);
    widget_cast<CTextWidget*>(old->GetWidgets()[0])->SetText(CKorvelString("first"));
    widget_cast<CTextWidget*>(old->GetWidgets()[1])->SetText(CKorvelString("second"));
    Get<CToggleButton>(old, "toggle")->SetToggled(1);
    Get<CExpandable>(old, "card")->SetExpansionLevelSkipAnimation(1);
    Get<CWidget>(old, "note")->SetVisible(0);
    Get<CTextWidget>(old, "remembered")->SetDisplayText(CKorvelString("Alice"));
    Get<CWidget>(old, "log/1")->SetVisible(0);
    for (const char* pName : {"at_end", "in_middle"})
        Fill(Get<CSlideArea>(old, pName), 3 * VIEW);
    Get<CSlideArea>(old, "at_end")->scrollTo(0, 2 * VIEW, 0.0f, 0.0f);
    Get<CSlideArea>(old, "in_middle")->scrollTo(0, VIEW / 2, 0.0f, 0.0f);
    ASSERT_EQ(Get<CSlideArea>(old, "at_end")->GetShownY(), 2 * VIEW);

    CWidgetCarryOver carry;
    carry.Take(old.get());
    old.reset();
    iChanges = 0;
    Tree now = Build(&iChanges);
    carry.Apply(now.get());
    EXPECT_EQ(TextAt(now, 0), "first");
    EXPECT_EQ(TextAt(now, 1), "second");
    EXPECT_EQ(iChanges, 0) << "what was typed comes back, not as a new change";
    EXPECT_EQ(Narrow(Get<CTextWidget>(now, "label")->GetDisplayText()), "Log in");
    EXPECT_EQ(Narrow(Get<CTextWidget>(now, "remembered")->GetDisplayText()), "Alice");
    EXPECT_EQ(Get<CToggleButton>(now, "toggle")->GetToggled(), 1u);
    EXPECT_TRUE(Get<CWidget>(now, "toggle/on")->GetVisible());
    EXPECT_FALSE(Get<CWidget>(now, "toggle/off")->GetVisible());
    EXPECT_FALSE(Get<CWidget>(now, "note")->GetVisible());
    EXPECT_TRUE(Get<CWidget>(now, "log/1")->GetVisible()) << "the log's lines are its owner's";
    EXPECT_TRUE(carry.HasPending());

    // The content comes back, longer than before for the area left at its end.
    Fill(Get<CSlideArea>(now, "in_middle"), 3 * VIEW);
    Fill(Get<CSlideArea>(now, "at_end"), 5 * VIEW);
    now->DoUpdate(0.0f);
    carry.ApplyPending(now.get());
    EXPECT_EQ(Get<CExpandable>(now, "card")->GetExpansionLevel(), 1);
    EXPECT_EQ(Get<CExpandable>(now, "card")->GetHeight(), 60);
    EXPECT_EQ(Get<CSlideArea>(now, "in_middle")->GetShownY(), VIEW / 2);
    EXPECT_EQ(Get<CSlideArea>(now, "at_end")->GetShownY(), 4 * VIEW);
    EXPECT_FALSE(carry.HasPending());
}

namespace
{
const int ROW = 20;

// A row shows the player whose id is its data; none yet while it has no data.
std::u16string PlayerOfRow(const CWidget* pRow)
{
    const intptr_t iId = reinterpret_cast<intptr_t>(pRow->GetData());
    const std::string strId = iId ? std::to_string(iId) : std::string();
    return std::u16string(strId.begin(), strId.end());
}

// A long list's rows, each able to open to three rows' height, that show the players of ids.
void AddRows(CWidget* pList, const std::vector<int>& aIds, int iRow = ROW)
{
    CKorvelArray<int> aWidths, aHeights;
    aWidths.Add(VIEW);
    aHeights.Add(iRow);
    aHeights.Add(3 * iRow);
    for (int iId : aIds)
    {
        CExpandable* pRow = Add<CExpandable>(pList, std::to_string(pList->GetWidgets().GetCount()).c_str(),
                                             Rect(0, 0, VIEW, iRow));
        pRow->SetSizes(aWidths, aHeights);
        pRow->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(iId)));
    }
}

Tree PlayerList(const std::vector<int>& aIds, int iRow = ROW)
{
    Tree root(new CWidget);
    root->Startup(nullptr, nullptr, Rect(0, 0, 400, 400));
    AddRows(Add<CInfiniteList>(root.get(), "players", Rect(0, 0, VIEW, VIEW)), aIds, iRow);
    root->DoUpdate(0.0f);
    return root;
}

CWidget* RowShowing(const Tree& root, int iId)
{
    CWidget* pList = Get<CWidget>(root, "players");
    for (int i = 0; i < pList->GetWidgets().GetCount(); ++i)
        if (reinterpret_cast<intptr_t>(pList->GetWidgets()[i]->GetData()) == iId)
            return pList->GetWidgets()[i];
    return nullptr;
}

// The player whose row is at the view's top, and how far the view's top lies below that row's.
std::pair<int, int> TopRow(const Tree& root)
{
    CSlideArea* pList = Get<CSlideArea>(root, "players");
    const int iView = pList->GetShownY();
    for (int i = 0; i < pList->GetWidgets().GetCount(); ++i)
    {
        const CWidget* pRow = pList->GetWidgets()[i];
        if (pRow->GetArea().bottom > iView)
            return {static_cast<int>(reinterpret_cast<intptr_t>(pRow->GetData())),
                    iView - pRow->GetArea().top};
    }
    return {0, 0};
}
} // namespace

// A long list refilled from elsewhere gets its rows back in another order: each row's state
// and the view's place go by the player a row shows, not by its place, also through a second
// rebuild before the rows came back, and only once every row shows its player. When the
// player at the view's top has left, the view keeps its place in pixels.
TEST(CWidgetCarryOver, ARefilledListsRowsAndPlaceGoByThePlayerTheyShow)
{
    CWidgetCarryOver carry;
    carry.SetRowKey(&PlayerOfRow);
    Tree old = PlayerList({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    widget_cast<CExpandable*>(RowShowing(old, 6))->SetExpansionLevelSkipAnimation(1);
    old->DoUpdate(0.0f);
    CSlideArea* pList = Get<CSlideArea>(old, "players");
    pList->scrollTo(0, RowShowing(old, 5)->GetArea().top + 7, 0.0f, 0.0f);
    ASSERT_EQ(TopRow(old), std::make_pair(5, 7));
    carry.Take(old.get());
    old.reset();

    Tree now = PlayerList({});
    carry.Apply(now.get());
    carry.Take(now.get());
    now = PlayerList({});
    carry.Apply(now.get());

    // A new player in front; the rows come before what they show.
    AddRows(Get<CWidget>(now, "players"), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    now->DoUpdate(0.0f);
    carry.ApplyPending(now.get());
    EXPECT_EQ(Get<CSlideArea>(now, "players")->GetShownY(), 0) << "not before every row shows its player";
    const int aIds[] = {13, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int i = 0; i < 13; ++i)
        Get<CWidget>(now, "players")
            ->GetWidgets()[i]
            ->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(aIds[i])));
    for (int i = 0; i < 2 && carry.HasPending(); ++i)
    {
        now->DoUpdate(0.0f);
        carry.ApplyPending(now.get());
    }
    EXPECT_FALSE(carry.HasPending());
    EXPECT_EQ(widget_cast<CExpandable*>(RowShowing(now, 6))->GetExpansionLevel(), 1);
    EXPECT_EQ(widget_cast<CExpandable*>(RowShowing(now, 5))->GetExpansionLevel(), 0)
        << "the row at its place";
    EXPECT_EQ(TopRow(now), std::make_pair(5, 7));

    // Rebuilt again and again with rows of other heights (the window's sizes): the place keeps
    // its share of its row and ends where it began, not a pixel off.
    for (int iRow : {27, 13, 31, ROW, 27, 13, 31, ROW})
    {
        carry.Take(now.get());
        now = PlayerList({13, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, iRow);
        carry.Apply(now.get());
        for (int i = 0; i < 2 && carry.HasPending(); ++i)
        {
            now->DoUpdate(0.0f);
            carry.ApplyPending(now.get());
        }
    }
    EXPECT_EQ(TopRow(now), std::make_pair(5, 7));

    // Player 5 leaves.
    const int iPixels = Get<CSlideArea>(now, "players")->GetShownY();
    carry.Take(now.get());
    now = PlayerList({13, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12});
    carry.Apply(now.get());
    for (int i = 0; i < 2 && carry.HasPending(); ++i)
    {
        now->DoUpdate(0.0f);
        carry.ApplyPending(now.get());
    }
    EXPECT_FALSE(carry.HasPending());
    EXPECT_EQ(Get<CSlideArea>(now, "players")->GetShownY(), iPixels);
}
