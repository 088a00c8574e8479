// The in-game item rounds: paging through the announced total, what each round's end sends,
// and the list the game reads.
// KORVEL_GL_TEST
#include "VornMenuStateMatchTest.h"

using namespace menu_state_test;

namespace
{

class CVornMenuState : public CMatchTest
{
protected:
    static CKorvelArray<CASN1ShopItemGroups::sGroupData> Groups(std::initializer_list<int> counts)
    {
        CKorvelArray<CASN1ShopItemGroups::sGroupData> aGroups;
        int iId = 10;
        for (int iCount : counts)
        {
            CASN1ShopItemGroups::sGroupData group;
            group.m_iGroupId = iId++;
            group.m_iType = 3;
            group.m_iValue3 = 77;
            group.m_iItemCount = iCount;
            aGroups.Add(group);
        }
        return aGroups;
    }
    // Items first..first+count-1 of group 10; odd ids are disabled.
    static CKorvelArray<CASN1ShopItems::sItemData> Items(int iFirst, int iCount, int iGroup = 10)
    {
        CKorvelArray<CASN1ShopItems::sItemData> aItems;
        for (int i = iFirst; i < iFirst + iCount; ++i)
        {
            CASN1ShopItems::sItemData item;
            item.m_iItemId = 1000 + i;
            item.m_iGroupId = iGroup;
            item.m_iEnabled = i % 2 ? 0 : 5;
            item.m_iAmount = i;
            item.m_iDataId = 9;
            item.m_iLast = 4;
            aItems.Add(item);
        }
        return aItems;
    }
    // The login's own rounds done, the server keeps its item pages back: the test answers.
    // The data check that ends the login's round starts a refresh round; its groups come before
    // the test's round, and its page is held.
    void StartHoldingPages()
    {
        ASSERT_NO_FATAL_FAILURE(StartAsGuest());
        ASSERT_TRUE(WaitForMessage("GetAvailableShopItemDatas"));
        m_pControl->Hold(SHOP_ITEMS);
        ASSERT_TRUE(WaitFor([&] { return CountWithFlags("GetShopItems", REFRESH_ROUND) > 0; }));
        m_uBase = In("GetShopItems").size();
    }
    // The first items asked for since StartHoldingPages, in order.
    std::vector<int> Starts(int iFlags) const
    {
        std::vector<int> aStarts;
        const std::vector<CTestJson> aAsked = In("GetShopItems");
        for (size_t i = m_uBase; i < aAsked.size(); ++i)
            if (aAsked[i]["flags"].Int() == iFlags)
                aStarts.push_back(static_cast<int>(aAsked[i]["start"].Int()));
        return aStarts;
    }

    static const int SHOP_ITEMS = 97;
    static const int REFRESH_ROUND =
        ::CVornNetworkSession::SHOP_IN_GAME_REFRESH | ::CVornNetworkSession::SHOP_LIST_MY_ITEMS;
    size_t m_uBase = 0;
};

TEST_F(CVornMenuState, AnnouncedItemsArriveInPagesAndTheRoundsEndSendsTheNextRequest)
{
    ASSERT_NO_FATAL_FAILURE(StartHoldingPages());
    const size_t uDatas = In("GetAvailableShopItemDatas").size();
    Lobby()->OnShopItemGroups(0x201, Groups({120, 30}));
    ASSERT_TRUE(WaitFor([&] { return !Starts(0x201).empty(); }));
    EXPECT_EQ(Starts(0x201), std::vector<int>({0}));
    EXPECT_EQ(Lobby()->GetInGameItemTotal(), 150);

    Lobby()->OnShopItems(0x201, 0, Items(0, 100));
    ASSERT_TRUE(WaitFor([&] { return Starts(0x201).size() > 1; }));
    EXPECT_EQ(Starts(0x201), std::vector<int>({0, 100}));
    EXPECT_EQ(In("GetAvailableShopItemDatas").size(), uDatas) << "not before the last page";

    m_pControl->Hold(87); // the data list's answer would settle the check at once
    Lobby()->OnShopItems(0x201, 100, Items(100, 49));
    Lobby()->OnShopItems(0x201, 149, Items(149, 1, 99));
    ASSERT_TRUE(WaitFor([&] { return In("GetAvailableShopItemDatas").size() > uDatas; }));
    EXPECT_EQ(Lobby()->IsItemDataCheckPending(), 1u);
    EXPECT_EQ(Lobby()->GetInGameItemTotal(), 0);

    const CKorvelArray<CVornApplication::sItemData>& aGame = Lobby()->GetItems();
    ASSERT_EQ(aGame.GetCount(), 150);
    EXPECT_EQ(aGame[0].m_iEnabled, 1);
    EXPECT_EQ(aGame[1].m_iEnabled, 0);
    EXPECT_EQ(aGame[42].m_iItemId, 1042);
    EXPECT_EQ(aGame[42].m_iAmount, 42);
    EXPECT_EQ(aGame[42].m_iFileId, 9);
    EXPECT_EQ(aGame[42].m_iDescId, 4);
    EXPECT_EQ(aGame[42].m_iGroupValue, 77);
    EXPECT_EQ(aGame[42].m_iGroupType, 3);
    EXPECT_EQ(aGame[149].m_iGroupValue, -1) << "its group was not announced";
    EXPECT_EQ(aGame[149].m_iGroupType, 0);

    // A new round starts the list afresh; answers of the shown lists do not touch it.
    Lobby()->OnShopItems(0, 0, Items(0, 3));
    EXPECT_EQ(Lobby()->GetItems().GetCount(), 150);
    Lobby()->OnShopItemGroups(0x801, Groups({2}));
    EXPECT_EQ(Lobby()->GetItems().GetCount(), 0);
    Lobby()->OnShopItems(0x801, 0, Items(0, 2));
    EXPECT_EQ(Lobby()->GetItems().GetCount(), 2);
    EXPECT_EQ(Lobby()->GetInGameItemTotal(), 0) << "complete";

    // Logged out while the first round waits for its data: the next player is not told of it.
    ASSERT_EQ(Lobby()->IsItemDataCheckPending(), 1u);
    Lobby()->OnLogout();
    EXPECT_EQ(Lobby()->IsItemDataCheckPending(), 0u);
}

TEST_F(CVornMenuState, AnEmptyPageOrBadCountsFromTheServerEndTheRound)
{
    ASSERT_NO_FATAL_FAILURE(StartHoldingPages());
    Lobby()->OnShopItemGroups(0x201, Groups({150, -40}));
    EXPECT_EQ(Lobby()->GetInGameItemTotal(), 150) << "a negative count is none";
    const size_t uDatas = In("GetAvailableShopItemDatas").size();
    Lobby()->OnShopItems(0x201, 0, Items(0, 0));
    ASSERT_TRUE(WaitFor([&] { return In("GetAvailableShopItemDatas").size() > uDatas; }));
    EXPECT_EQ(Starts(0x201), std::vector<int>({0})) << "the page is not asked again";
    EXPECT_EQ(Lobby()->GetInGameItemTotal(), 0);
}

} // namespace
