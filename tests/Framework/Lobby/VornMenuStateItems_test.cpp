// The item operations the game calls through the application.
// KORVEL_GL_TEST
#include "VornMenuStateShopServer.h"

#include "Framework/Shell/GenerateMD5.h"
#include "support/TestMedia.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

using namespace menu_state_test;

namespace
{

class CVornMenuState : public CShopServerTest
{
protected:
    static constexpr int CHUNK = 16384;
    // The language text of the toast that some items could not be downloaded.
    static constexpr int ITEMS_NOT_DOWNLOADED_TEXT = 330;

    // 40 KB of item data and its server record.
    CVornMenuState() : m_aData(size_t{40} * 1024)
    {
        m_strLayout = MenuLayout(WithShopPages(MenuPages(), "") + VornButton() + Dialogs());
        for (size_t i = 0; i < m_aData.size(); ++i)
            m_aData[i] = static_cast<unsigned char>(i * 7 + i / 300);
    }
    CASN1AvailableItemDatas::sItemData Record(int iId, int iFlag) const
    {
        CASN1AvailableItemDatas::sItemData record;
        record.m_iItemId = iId;
        record.m_iFlag = iFlag;
        record.m_iSize = static_cast<int>(m_aData.size());
        CVornMD5 md5;
        md5.MD5(m_aData.data(), static_cast<unsigned int>(m_aData.size()));
        std::memcpy(record.m_aDigest, md5.GetDigest(), 16);
        return record;
    }
    void Announce(std::initializer_list<CASN1AvailableItemDatas::sItemData> records)
    {
        CKorvelArray<CASN1AvailableItemDatas::sItemData> aRecords;
        for (const auto& record : records)
            aRecords.Add(record);
        Lobby()->OnAvailableShopItemDatas(aRecords);
        Frame(0.1f);
        Settle();
    }
    // The chunks asked for the item since the test started, as offsets.
    std::vector<int> Asked(int iId) const
    {
        std::vector<int> aOffsets;
        for (const CTestJson& message : In("GetShopItemData"))
            if (message["item"].Int() == iId)
                aOffsets.push_back(static_cast<int>(message["offset"].Int()));
        return aOffsets;
    }
    int Starts(int iId) const
    {
        const std::vector<int> aOffsets = Asked(iId);
        return static_cast<int>(std::count(aOffsets.begin(), aOffsets.end(), 0));
    }
    // Answers the chunk at iOffset from the data, or from aBytes when given.
    void Chunk(int iId, int iOffset, std::vector<unsigned char>* pBytes = nullptr)
    {
        std::vector<unsigned char>& aBytes = pBytes ? *pBytes : m_aData;
        const int iSize = std::min<int>(CHUNK, static_cast<int>(aBytes.size()) - iOffset);
        Lobby()->OnShopItemData(iId, iOffset, aBytes.data() + iOffset, iSize,
                                static_cast<int>(aBytes.size()) - iOffset - iSize);
    }
    std::vector<unsigned char> FileOf(int iId) const
    {
        const std::string strPath = m_App.DataFile("data_64_" + std::to_string(iId) + ".kmp");
        std::vector<uint8_t> aBytes = ReadTestFile(strPath);
        return std::vector<unsigned char>(aBytes.begin(), aBytes.end());
    }
    std::vector<unsigned char> CatalogueFile(const char* pName) const
    {
        std::vector<uint8_t> aBytes = ReadTestFile(m_Dir.File(pName));
        return std::vector<unsigned char>(aBytes.begin(), aBytes.end());
    }

    std::vector<unsigned char> m_aData;
};

TEST_F(CVornMenuState, AnItemFileArrivesInChunksIsVerifiedAndNotFetchedAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    Lobby()->SetMenuVisibility(1);
    Announce({Record(5, 1), Record(6, 0)});
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 1; }));
    EXPECT_TRUE(Lobby()->IsLoading());
    EXPECT_TRUE(Asked(6).empty()) << "flag 0 and no item uses it";

    Chunk(5, 0);
    Chunk(5, 0);   // repeated: dropped
    Chunk(5, 100); // not asked for: dropped
    Chunk(7, 0);   // no transfer: dropped
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 2; }));
    EXPECT_EQ(FileOf(5).size(), static_cast<size_t>(CHUNK));
    Chunk(5, CHUNK);
    Chunk(5, 2 * CHUNK);
    Frame(0.1f);
    Settle();
    // The server logs the last request in its own time.
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 3; }));
    EXPECT_EQ(Asked(5), std::vector<int>({0, CHUNK, 2 * CHUNK}));
    EXPECT_EQ(FileOf(5), m_aData);
    EXPECT_FALSE(Lobby()->IsLoading());
    // The fetching run forgot that the lobby was shown: it hides with the loading dialog.
    EXPECT_FALSE(Pages()->GetVisible());
    struct stat info = {};
    ASSERT_EQ(stat(m_App.DataFile("data_64_5.kmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the player's data is the owner's only";

    // The same list again with the file present: nothing moves.
    Announce({Record(5, 1), Record(6, 0)});
    Frame(0.1f);
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(Asked(5).size(), 3u);
    EXPECT_FALSE(Lobby()->IsLoading());

    // A fresh registration's thank-you page is the player's to close: a fetch does not close it.
    Lobby()->SwitchToPage(CKorvelString("loginscreen_thank"), 1);
    Announce({Record(5, 1), Record(8, 1)});
    EXPECT_EQ(PageName(), "loading_dialog");
    for (size_t u = 0; u * CHUNK < m_aData.size(); ++u)
    {
        ASSERT_TRUE(WaitFor([&] { return Asked(8).size() == u + 1; }));
        Chunk(8, static_cast<int>(u) * CHUNK);
    }
    Frame(0.1f);
    Settle();
    EXPECT_FALSE(Lobby()->IsLoading());
    EXPECT_TRUE(Pages()->GetVisible());
    EXPECT_EQ(PageName(), "loginscreen_thank");
}

TEST_F(CVornMenuState, ACorruptedFileIsFetchedAgainFromTheStartAndThenPasses)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    Announce({Record(5, 1)});
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 1; }));
    std::vector<unsigned char> aBad = m_aData;
    aBad[CHUNK + 5] ^= 0xFF;
    for (int iOffset = 0; iOffset < 3 * CHUNK; iOffset += CHUNK)
        Chunk(5, iOffset, &aBad);
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 4; }));
    EXPECT_EQ(Asked(5).back(), 0);
    for (int iOffset = 0; iOffset < 3 * CHUNK; iOffset += CHUNK)
        Chunk(5, iOffset);
    Frame(0.1f);
    EXPECT_EQ(FileOf(5), m_aData);
    EXPECT_FALSE(Lobby()->IsLoading());
}

TEST_F(CVornMenuState, AStalledOrHopelessTransferEndsAsFailedAndTheLobbyGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    Announce({Record(5, 1)});
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 1; }));
    Chunk(5, 0);
    ASSERT_TRUE(WaitFor([&] { return Asked(5).size() == 2; }));
    for (int i = 0; i < 290; ++i)
        Frame(0.1f);
    EXPECT_TRUE(Lobby()->IsLoading()) << "29 s without a chunk is not yet a stall";
    for (int i = 0; i < 20; ++i)
        Frame(0.1f);
    EXPECT_FALSE(Lobby()->IsLoading());
    EXPECT_TRUE(FileOf(5).empty()) << "the half file is removed";
    EXPECT_EQ(Asked(5).size(), 2u);

    // A new list starts it again; three corrupt transfers give up.
    Announce({Record(5, 1)});
    std::vector<unsigned char> aBad(m_aData.size(), 0);
    for (int iAttempt = 0; iAttempt < 3; ++iAttempt)
    {
        ASSERT_TRUE(WaitFor([&] { return Starts(5) == 2 + iAttempt; })) << iAttempt;
        for (int iOffset = 0; iOffset < 3 * CHUNK; iOffset += CHUNK)
            Chunk(5, iOffset, &aBad);
    }
    Frame(0.1f);
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(Starts(5), 4) << "one start before, three with the new list";
    EXPECT_TRUE(FileOf(5).empty());
    EXPECT_FALSE(Lobby()->IsLoading());
}

TEST_F(CVornMenuState, ItemFilesLiveInTheDataFolderUnderTheGamesAppId)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct
    {
        int iItem;
        const char* pName;
    } aCases[] = {{7, "data_64_7.kmp"}, {123456, "data_64_123456.kmp"}, {-2, "data_64_-2.kmp"}};
    for (const auto& c : aCases)
    {
        CKorvelString strPath;
        m_App.GetItemFile(c.iItem, strPath);
        EXPECT_EQ(Narrow(strPath), m_App.DataFile(c.pName)) << c.iItem;
    }
}

TEST_F(CVornMenuState, UsingAnItemTellsTheServer)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const size_t uBefore = In("UseItem").size();
    m_App.UseItem(31, 2);
    ASSERT_TRUE(WaitFor([&] { return In("UseItem").size() == uBefore + 1; }));
    EXPECT_EQ(In("UseItem").back()["item"].Int(), 31);
    EXPECT_EQ(In("UseItem").back()["a"].Int(), 2);
}

// ---- against the server's catalogue

TEST_F(CVornMenuState, TheFirstLoginFetchesTheNeededFilesInChunksAndALaterRoundNone)
{
    ASSERT_NO_FATAL_FAILURE(StartWithCatalogue());
    EXPECT_EQ(Asked(BIG_DATA), std::vector<int>({0, CHUNK, 2 * CHUNK}));
    EXPECT_EQ(Asked(SMALL_DATA), std::vector<int>({0}));
    EXPECT_TRUE(Asked(UNUSED_DATA).empty()) << "flag 0 and no item uses it";
    EXPECT_EQ(FileOf(BIG_DATA), CatalogueFile("big.kmp"));
    EXPECT_EQ(FileOf(SMALL_DATA), CatalogueFile("small.kmp"));
    ASSERT_TRUE(WaitFor([&] { return CountWithFlags("GetShopItemGroups", 0x801) == 1; }));
    const std::vector<std::string> aNames = InNames();
    const auto itLastChunk = std::find(aNames.rbegin(), aNames.rend(), "GetShopItemData");
    EXPECT_NE(std::find(aNames.rbegin(), itLastChunk, "GetShopItemGroups"), itLastChunk)
        << "the in-game items are refreshed after the files";
    EXPECT_EQ(GameCalls("InitialItemsReady"), 1);

    // A changed item and the overlay hidden outside a match: a new round, nothing fetched.
    ASSERT_NO_FATAL_FAILURE(Own(BOMB));
    ASSERT_TRUE(ShowPage("my_items_root", "my_items_page_list", BOMB));
    CToggleButton* pToggle =
        widget_cast<CToggleButton*>(In(RowFor("my_items_page_list", BOMB), "//list_item_big//enable-item"));
    ASSERT_NE(pToggle, nullptr);
    pToggle->SetToggled(0);
    ::CVornMenuState::actionEnableItem(pToggle, Lobby());
    ASSERT_TRUE(WaitFor([&] { return In("UpdateItemState").back()["state"].Int() == 0; }));
    ASSERT_TRUE(WaitForLobbyQuiet()) << "its answer marks the items changed";
    const size_t uChunks = In("GetShopItemData").size();
    Lobby()->SetMenuVisibility(0);
    EXPECT_TRUE(Lobby()->IsLoading());
    ASSERT_TRUE(WaitFor([&] { return CountWithFlags("GetShopItemGroups", 0x201) == 2u; }));
    ASSERT_TRUE(
        WaitFor([&] { return In("GetAvailableShopItemDatas").size() == 2 && !Lobby()->IsLoading(); }));
    EXPECT_EQ(In("GetShopItemData").size(), uChunks);
    EXPECT_EQ(GameCalls("InitialItemsReady"), 2);
}

TEST_F(CVornMenuState, ServerSideTransferFaultsEndRightOrAsFailed)
{
    ASSERT_NO_FATAL_FAILURE(StartWithCatalogue(300, {R"({"cmd":"corrupt_chunk","item":201,"offset":16384})",
                                                     R"({"cmd":"wrong_offset","item":202})"}));
    EXPECT_EQ(Starts(BIG_DATA), 2) << "the corrupted file came again from offset 0";
    EXPECT_EQ(FileOf(BIG_DATA), CatalogueFile("big.kmp"));
    EXPECT_EQ(Asked(SMALL_DATA), std::vector<int>({0})) << "the chunk at the wrong offset was dropped";
    EXPECT_EQ(FileOf(SMALL_DATA), CatalogueFile("small.kmp"));
}

TEST_F(CVornMenuState, AFileTheServerStopsSendingEndsAsFailedWithinHalfAMinute)
{
    const char* const pNotDownloaded = "Some items could not be downloaded";
    m_Texts[ITEMS_NOT_DOWNLOADED_TEXT] = pNotDownloaded;
    m_strCatalogue = WriteShopCatalogue(m_Dir, 300);
    ASSERT_NO_FATAL_FAILURE(Start({"--catalogue", m_strCatalogue}));
    ASSERT_TRUE(WaitForStart());
    ASSERT_TRUE(m_pControl->Command(R"({"cmd":"stall_item_data","item":201})")["ok"].Bool());
    Press("guest_login_button");
    // The small file in, the big one asked for and never answered: only the stall is left.
    ASSERT_TRUE(WaitFor(
        [&] { return Asked(BIG_DATA).size() == 1 && FileOf(SMALL_DATA) == CatalogueFile("small.kmp"); }));
    Settle();
    EXPECT_TRUE(Lobby()->IsLoading());
    for (int i = 0; i < 310 && Lobby()->IsLoading(); ++i)
        Frame(0.1f);
    EXPECT_FALSE(Lobby()->IsLoading());
    EXPECT_EQ(GameCalls("InitialItemsReady"), 1);
    EXPECT_TRUE(FileOf(BIG_DATA).empty());
    // The toast that says some items could not be downloaded stays up for 6 s.
    const std::vector<std::string> aToasts = Toasts(pNotDownloaded);
    ASSERT_EQ(aToasts.size(), 1u);
    EXPECT_NE(aToasts.back().find(",0,6.000000)"), std::string::npos) << aToasts.back();
    ASSERT_TRUE(ShowPage("shop_root", "shop_page_list", HAT_RED)) << "the lobby is usable";
}

TEST_F(CVornMenuState, OwnItemsShowTheButtonsAndAmountsOfTheirGroup)
{
    ASSERT_NO_FATAL_FAILURE(StartWithCatalogue());
    for (int iItem : {BADGE, BOMB, BOOST})
        ASSERT_NO_FATAL_FAILURE(Own(iItem));
    ASSERT_TRUE(ShowPage("my_items_root", "my_items_page_list", BOOST));

    CWidget* pBadge = RowFor("my_items_page_list", BADGE);
    EXPECT_TRUE(ShownIn(pBadge, "//button-grid//gift-button"));
    for (const char* pGone :
         {"//button-grid//enable-item", "//button-grid//buy-button", "//button-grid//refill-button"})
        EXPECT_FALSE(ShownIn(pBadge, pGone)) << pGone;
    EXPECT_EQ(TextIn(pBadge, "//list_item_small//item_name"), "badge") << "own items show the name";

    CWidget* pBomb = RowFor("my_items_page_list", BOMB);
    EXPECT_EQ(TextIn(pBomb, "//list_item_big//value_pcs"), "x3");
    EXPECT_EQ(TextIn(pBomb, "//list_item_big//info_message"), "x3");
    for (const char* pKept :
         {"//button-grid//enable-item", "//button-grid//gift-button", "//button-grid//refill-button"})
        EXPECT_TRUE(ShownIn(pBomb, pKept)) << pKept;
    EXPECT_FALSE(ShownIn(pBomb, "//button-grid//buy-button"));
    EXPECT_FALSE(ShownIn(pBomb, "//list_item_big//price_label")) << "no buy, no price to name";
    EXPECT_TRUE(ShownIn(pBomb, "//list_item_big//gift_price_label"));
    EXPECT_EQ(TextIn(pBomb, "//button-grid//refill_price"), "30");

    CWidget* pBoost = RowFor("my_items_page_list", BOOST);
    CKorvelString strHour, strAlmost;
    Lobby()->FormatTimeLeft(3600, strHour);
    Lobby()->FormatTimeLeft(3599, strAlmost);
    const std::string strShown = TextIn(pBoost, "//list_item_big//info_message");
    EXPECT_TRUE(strShown == Narrow(strHour) || strShown == Narrow(strAlmost)) << strShown;
    EXPECT_FALSE(ShownIn(pBoost, "//button-grid//enable-item"));
}

TEST_F(CVornMenuState, EnablingAnItemSwitchesTheOtherOfItsGroupOffInBothViews)
{
    ASSERT_NO_FATAL_FAILURE(StartWithCatalogue());
    ASSERT_NO_FATAL_FAILURE(Own(HAT_RED));
    ASSERT_NO_FATAL_FAILURE(Own(HAT_BLUE)); // the client's enable request switches the red one off
    ASSERT_TRUE(ShowPage("my_items_root", "my_items_page_list", HAT_BLUE));
    CWidget* pRed = RowFor("my_items_page_list", HAT_RED);
    CWidget* pBlue = RowFor("my_items_page_list", HAT_BLUE);
    auto Toggled = [&](CWidget* pRow, const char* pPath)
    {
        CToggleButton* pToggle = widget_cast<CToggleButton*>(In(pRow, pPath));
        return pToggle && pToggle->GetToggled();
    };
    EXPECT_TRUE(Toggled(pBlue, "//list_item_big//enable-item"));
    EXPECT_FALSE(Toggled(pRed, "//list_item_big//enable-item"));

    CToggleButton* pRedToggle = widget_cast<CToggleButton*>(In(pRed, "//list_item_big//enable-item"));
    pRedToggle->SetToggled(1);
    ::CVornMenuState::actionEnableItem(pRedToggle, Lobby());
    ASSERT_TRUE(WaitFor([&] { return !Toggled(pBlue, "//list_item_big//enable-item"); }));
    EXPECT_TRUE(Toggled(pRed, "//list_item_big//enable-item"));
    EXPECT_EQ(In("UpdateItemState").back()["item"].Int(), HAT_RED);
    EXPECT_EQ(In("UpdateItemState").back()["state"].Int(), 1);
}

} // namespace
