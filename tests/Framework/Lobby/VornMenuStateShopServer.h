// The lobby server with a small shop catalogue written by the test: four groups (one of each
// layout the own-items list shows), their items with PNG icons, two item data packs that
// every client fetches (one of 40 KB) and one that nothing needs, and both promotions; and
// the shop pages of the test layout. Header only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "VornMenuStateMatchTest.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestTempDir.h"

namespace menu_state_test
{

// Item ids of the catalogue and the groups they are in (type in brackets).
enum
{
    HAT_RED = 11,  // Hats (2), "Red hat"
    HAT_BLUE = 12, // Hats (2), no display name
    BOMB = 21,     // Bombs (5), 3 a purchase, refill 30
    BADGE = 31,    // Badges (1)
    BOOST = 41,    // Boosts (3), an hour
    BIG_DATA = 201,
    SMALL_DATA = 202,
    UNUSED_DATA = 203
};

// Every item's large picture: wider than high, so that a fit with its sides swapped shows.
const int LARGE_ICON_WIDTH = 24, LARGE_ICON_HEIGHT = 12;

inline std::vector<uint8_t> SolidRgba(int iWidth, int iHeight, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> aPixels;
    for (int i = 0; i < iWidth * iHeight; ++i)
        aPixels.insert(aPixels.end(), {r, g, b, 255});
    return aPixels;
}

// Bytes that do not compress, so the 40 KB pack stays larger than two chunks.
inline std::string NoiseBytes(size_t uSize, uint32_t uSeed)
{
    std::string str(uSize, '\0');
    for (size_t i = 0; i < uSize; ++i)
    {
        uSeed = uSeed * 1664525u + 1013904223u;
        str[i] = static_cast<char>(uSeed >> 24);
    }
    return str;
}

// Writes the catalogue and its files; the path of the catalogue.
inline std::string WriteShopCatalogue(const CTestTempDir& dir, int iCoins)
{
    bool bOk = WriteTestPng(dir.File("small.png"), 8, 8, SolidRgba(8, 8, 200, 40, 40)) &&
               WriteTestPng(dir.File("large.png"), LARGE_ICON_WIDTH, LARGE_ICON_HEIGHT,
                            SolidRgba(LARGE_ICON_WIDTH, LARGE_ICON_HEIGHT, 40, 40, 200)) &&
               WriteTestPng(dir.File("promo.png"), 12, 6, std::vector<uint8_t>(size_t{12} * 6 * 4, 180));
    bOk = bOk &&
          WriteTestFile(dir.File("big.kmp"), TestPackBytes({{"/1.xml", NoiseBytes(size_t{40} * 1024, 7)}})) &&
          WriteTestFile(dir.File("small.kmp"), TestPackBytes({{"/2.xml", "<item/>"}})) &&
          WriteTestFile(dir.File("unused.kmp"), TestPackBytes({{"/3.xml", "<item/>"}}));
    // id, name, display name, group, price, gift price, refill price, amount, data id
    const struct
    {
        int iId;
        const char* pName;
        const char* pShown;
        int iGroup, iPrice, iGift, iRefill, iAmount, iData;
    } aItems[] = {{HAT_RED, "hat_red", "Red hat", 1, 100, 60, 0, 1, 0},
                  {HAT_BLUE, "hat_blue", "", 1, 120, 60, 0, 1, 0},
                  {BOMB, "bomb", "Bomb", 2, 50, 40, 30, 3, 0},
                  {BADGE, "badge", "Badge", 3, 20, 20, 0, 1, 0},
                  {BOOST, "boost", "Boost", 4, 10, 10, 0, 3600, 0}};
    std::string strItems;
    for (const auto& item : aItems)
        strItems += std::string(strItems.empty() ? "" : ",") + "{\"id\":" + std::to_string(item.iId) +
                    ",\"name\":\"" + item.pName + "\",\"display_name\":\"" + item.pShown +
                    "\",\"short_description\":\"short " + item.pName + "\",\"description\":\"all about " +
                    item.pName + "\",\"group\":" + std::to_string(item.iGroup) +
                    ",\"price\":" + std::to_string(item.iPrice) +
                    ",\"gift_price\":" + std::to_string(item.iGift) +
                    ",\"refill_price\":" + std::to_string(item.iRefill) +
                    ",\"amount\":" + std::to_string(item.iAmount) +
                    ",\"enabled\":1,\"data_id\":" + std::to_string(item.iData) +
                    ",\"small_icon\":\"small.png\",\"large_icon\":\"large.png\"}";
    const std::string strJson =
        "{\"coins\":" + std::to_string(iCoins) +
        ",\"groups\":[{\"id\":1,\"name\":\"Hats\",\"type\":2},{\"id\":2,\"name\":\"Bombs\",\"type\":5},"
        "{\"id\":3,\"name\":\"Badges\",\"type\":1},{\"id\":4,\"name\":\"Boosts\",\"type\":3}],"
        "\"items\":[" +
        strItems +
        "],\"item_data\":[{\"id\":201,\"flag\":1,\"file\":\"big.kmp\"},{\"id\":202,\"flag\":1,\"file\":"
        "\"small.kmp\"},"
        "{\"id\":203,\"flag\":0,\"file\":\"unused.kmp\"}],"
        "\"promotions\":{\"moregames\":{\"image\":\"promo.png\",\"link\":\"https://localhost/more.php\","
        "\"label\":\"More\"},\"tournaments\":{\"image\":\"promo.png\",\"link\":\"https://localhost/cup.php\","
        "\"label\":\"Cup of the week\"}}}";
    bOk = bOk && WriteTestFile(dir.File("catalogue.json"), strJson);
    return bOk ? dir.File("catalogue.json") : std::string();
}

inline std::string ShopText(const char* pName)
{
    return Box(pName, "text", "<text font=\"main\"/>");
}

// A list row with both views, as the shop and own-items pages lay them out.
inline std::string ShopRow()
{
    const std::string strIcon = Box("icon-item", "image", Box("icon-mark", "image"));
    const std::string strGrid =
        Box("button-grid", "widget",
            Box("enable-item", "toggle_button", Event("onclick", "enable_item")) + ShopText("enable_label") +
                Box("gift-button", "button", Event("onclick", "buy_gift")) +
                Box("buy-button", "button", Event("onclick", "buy_item")) +
                Box("refill-button", "button", Event("onclick", "refill_item")) + ShopText("refill_price"));
    return "<element name=\"item_template\" type=\"expand_layout\"><size w=\"1.0\" h=\"0.1\"/>"
           "<height value=\"0.1\"/><height value=\"0.3\"/><transition-time value=\"0.2\"/>" +
           Event("onendexpand", "shop_item_end_expand") + ShopText("item-name") +
           Box("list_item_small", "widget", strIcon + ShopText("item_name") + ShopText("price-value")) +
           Box("list_item_big", "widget",
               strIcon + ShopText("item_name") + ShopText("item_descshort") + ShopText("info_descfull") +
                   ShopText("price_label") + ShopText("item_price") + ShopText("gift_price_label") +
                   ShopText("gift_price") + ShopText("value_pcs") + ShopText("info_message") + strGrid) +
           Box("large-icon-item", "button", Event("onclick", "shop_item_hide_large_icon"), "display=\"0\"") +
           "</element>";
}

inline std::string ShopList(const char* pName, const char* pShow, const char* pLoad, const char* pBatch,
                            const char* pForget, const char* pGroup)
{
    return "<element name=\"" + std::string(pName) +
           "\" type=\"infinite_list\" layout_mode=\"list\"><size w=\"1.0\" h=\"1.0\"/><page-size "
           "value=\"10\"/>"
           "<events><onshow action=\"" +
           pShow + "\"/><onloaditem action=\"" + pLoad + "\"/><onloaditembatch action=\"" + pBatch +
           "\"/><onforgetitem action=\"" + pForget + "\"/>" +
           (pGroup ? std::string("<onloadgroup action=\"") + pGroup + "\"/>" : std::string()) +
           "</events><element name=\"group_template\" type=\"widget\"><size w=\"1.0\" h=\"0.05\"/>" +
           ShopText("label") + "</element>" + ShopRow() + "</element>" +
           Box("no_results", "text", "<text font=\"main\"/>", "display=\"0\"") +
           Box("loading", "widget", "", "display=\"0\"");
}

// The shop and own-items pages in place of the plain ones of MenuPages(), the extra pages
// before them (so that a search by name meets a dialog's widgets before the rows').
inline std::string WithShopPages(std::string strPages, const std::string& strExtraPages)
{
    const std::string strShop = Page("shop_root", Box("shop_page_list", "infinite_list"));
    const std::string strMine = Page("my_items_root", Box("my_items_page_list", "infinite_list"));
    strPages.replace(strPages.find(strShop), strShop.size(),
                     strExtraPages +
                         Page("shop_root",
                              ShopList("shop_page_list", "show_shop_items", "load_shop_item",
                                       "load_shop_item_batch", "unload_shop_item", "load_shop_group") +
                                  ShopText("vorncoins_amount"),
                              "show_shop"));
    strPages.replace(strPages.find(strMine), strMine.size(),
                     Page("my_items_root", ShopList("my_items_page_list", "show_my_items", "load_my_item",
                                                    "load_my_item_batch", "unload_my_item", nullptr)));
    return strPages;
}

// Helpers for a fixture derived from CMatchTest.
class CShopServerTest : public CMatchTest
{
protected:
    // Control commands (JSON lines) go to the server before the login.
    void StartWithCatalogue(int iCoins = 300, const std::vector<std::string>& aBeforeLogin = {})
    {
        m_strCatalogue = WriteShopCatalogue(m_Dir, iCoins);
        ASSERT_FALSE(m_strCatalogue.empty());
        ASSERT_NO_FATAL_FAILURE(Start({"--catalogue", m_strCatalogue}));
        ASSERT_TRUE(WaitForStart());
        for (const std::string& strCommand : aBeforeLogin)
            ASSERT_TRUE(m_pControl->Command(strCommand)["ok"].Bool()) << strCommand;
        // The shipped login page slides in before its button takes a press.
        Frame(1.0f);
        Press("guest_login_button");
        ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
        // The first login fetches the item data before the lobby is usable.
        ASSERT_TRUE(WaitFor([&] { return GameCalls("InitialItemsReady") == 1 && !Lobby()->IsLoading(); }));
        ASSERT_TRUE(WaitForLobbyQuiet());
    }
    // Buys through the session as the confirm dialog's OK does, and waits for the answer.
    void Own(int iItemId)
    {
        const size_t uBefore = In("UpdateItemState").size();
        Session()->SendConfirmBuyItem(iItemId, 0, nullptr);
        ASSERT_TRUE(WaitFor([&] { return In("UpdateItemState").size() > uBefore; }));
        ASSERT_TRUE(WaitForLobbyQuiet()) << "the answers and the lists they refresh";
    }
    int GameCalls(const char* pWhat) { return m_App.m_Log.Count(std::string("game.") + pWhat); }
    // The loaded row of the list showing the item, or null.
    CWidget* RowFor(const char* pList, int iItemId) const
    {
        CWidget* pListWidget = Find(pList);
        if (!pListWidget)
            return nullptr;
        CKorvelArray<CWidget*>& aRows = pListWidget->GetWidgets();
        for (int i = 0; i < aRows.GetCount(); ++i)
            if (widget_cast<CExpandable*>(aRows[i]) &&
                static_cast<int>(reinterpret_cast<intptr_t>(aRows[i]->GetData())) == iItemId)
                return aRows[i];
        return nullptr;
    }
    CWidget* In(CWidget* pRow, const char* pPath) const
    {
        return pRow ? pRow->FindWidgetByPath(CKorvelString(pPath)) : nullptr;
    }
    std::string TextIn(CWidget* pRow, const char* pPath) const
    {
        CTextWidget* pText = widget_cast<CTextWidget*>(In(pRow, pPath));
        return pText ? Narrow(pText->GetText()) : "<none>";
    }
    bool ShownIn(CWidget* pRow, const char* pPath) const
    {
        CWidget* p = In(pRow, pPath);
        return p && p->GetVisible();
    }
    using CMatchTest::In;
    bool ShowPage(const char* pPage, const char* pList, int iItemId)
    {
        Lobby()->SetMenuVisibility(1);
        Pages()->SwitchToPage(CKorvelString(pPage));
        return WaitFor([&] { return RowFor(pList, iItemId) != nullptr; });
    }

    CTestTempDir m_Dir;
    std::string m_strCatalogue;
};

} // namespace menu_state_test
