// A player's journey through the lobby's own pages, in one instance folder as `make run`
// makes it, on the local lobby server with its default shop (1000 coins), with two accounts
// made through the registration's pages, one after the other (a log-out between); on
// the Players page he expands the first one's row from its arrow and follows her, finds her
// on the Following tab under "Offline"; opens the Snow bomb in the shop, buys it, sees the
// wallet go down and the bomb under My items; once she is online (the server's scripted
// player logs in as her) gives her an item from her row; reads the Me card, whose texts lie
// apart; and logs out.
//
//   e2e_journey_players_driver   (under xvfb-run; KORVEL_SOURCE_DIR and KORVEL_BINARY_DIR set)
#include <cstdio>
#include <string>
#include <vector>

#include "support/PeerProcess.h"
#include "tests/e2e/JourneyPages.h"

namespace
{

using namespace journey_pages;

const int ENGLISH_ROW = 0;
// Enough ink of a colour in a rectangle to be a word, not a stray pixel.
const int WORD_PIXELS = 20;
const int INK_TOLERANCE = 48;
const int DEFAULT_COINS = 1000;
const int SNOW_BOMB_PRICE = 60;
const char* const PASSWORD = "Secret-123";

const sJourneyPage PLAYERS = {"the players page", "//players_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage SHOP = {"the shop", "//shop_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage MY_ITEMS = {"my items", "//my_items_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage ME = {"the Me page", "//me_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage BUY = {"the buy dialog", "//confirm_buy_dialog//confirm_buy_dialog_title",
                          JOURNEY_TEXT_TITLE};
const sJourneyPage GIFTS = {"the gift list", "//dialog_gift_list_selection//dialog_gift_list_selection_title",
                            JOURNEY_TEXT_TITLE};
const sJourneyPage GIFT_CONFIRM = {"the gift confirmation",
                                   "//confirm_buy_player_gift_dialog//confirm_buy_player_gift_dialog_title",
                                   JOURNEY_TEXT_TITLE};

const char* const GLOBAL_LIST = "//players_root//global_page//playerlist_global";
const char* const FOLLOW_LIST = "//players_root//follow_page//playerlist_follow";
const char* const SHOP_LIST = "//shop_root//shop_page_list";
const char* const MY_ITEMS_LIST = "//my_items_root//my_items_page_list";

bool Ink(CJourney& journey, const sE2eRect& r, uint32_t uColour)
{
    return E2eCountNear(journey.Look(), r, uColour, INK_TOLERANCE) >= WORD_PIXELS;
}

// A word in the colour that stands still: a row that slides or opens is not read yet.
void WaitForInk(CJourney& journey, const sE2eRect& r, uint32_t uColour, const std::string& strStep)
{
    journey.WaitFor(
        [&]
        {
            journey.Look();
            return journey.ShowsIn(r, uColour, 0);
        },
        strStep);
}

bool Intersect(const sE2eRect& a, const sE2eRect& b)
{
    return a.m_iLeft < b.m_iRight && b.m_iLeft < a.m_iRight && a.m_iTop < b.m_iBottom &&
           b.m_iTop < a.m_iBottom;
}

void FirstLaunch(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Start();
    pages.WaitForPage(LANGUAGE);
    pages.ChooseLanguage(ENGLISH_ROW);
    pages.WaitForPage(LOGIN);
}

// An account made through the registration's pages, which log it in at once.
void RegisterAndEnter(CJourneyPages& pages, const std::string& strName)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: the account " + strName);
    pages.Register(strName, strName + "@example.org", PASSWORD);
    pages.PressUntilGameMenu("//loginscreen_thank//thank_button");
}

// Corwin, logged in, is the only row under "Online"; Brenna is the row under "Offline".
void FollowFromThePlayersPage(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: players");
    pages.PressUntil("//startscreen_root//startscreen//menu_players", PLAYERS);
    CJourneyListRows global(journey, GLOBAL_LIST, true);
    WaitForInk(journey, global.Part("list_item_small//player_name", 2, 1), JOURNEY_TEXT_PRIMARY,
               "Brenna's row shows under Offline");
    journey.Keep("d1-players");

    global.PressUntilShown("list_item_small//arrow", "list_item_big//text_follow", 2, 1, JOURNEY_TEXT_PRIMARY,
                           "the arrow opened the row with its Follow button");
    journey.Keep("d2-row-open");
    const size_t uFrom = journey.LogCount();
    journey.Press(global.Part("list_item_big//button_follow", 2, 1), "Follow");
    journey.WaitForRecord("the server got the follow", CJourney::Incoming("BuddyRequest"), uFrom);

    // Followed and offline: under the Following tab's second header, nobody under the first.
    journey.PressWidget("//players_root//follow_button");
    CJourneyListRows follow(journey, FOLLOW_LIST, true);
    WaitForInk(journey, follow.Part("list_item_small//player_name", 2, 0), JOURNEY_TEXT_PRIMARY,
               "Brenna shows on the Following tab under Offline");
    journey.Keep("d3-following");
    journey.Expect(!Ink(journey, follow.Part("list_item_small//player_name", 1, 0), JOURNEY_TEXT_PRIMARY),
                   "nobody is listed as online on the Following tab");
    pages.PressUntil("//players_root//button_back", HOME);
}

void BuyTheSnowBomb(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: shop");
    pages.PressUntil("//startscreen_root//startscreen//menu_shop", SHOP);
    // Hats (one row), then Bombs: the snow bomb is its first row.
    CJourneyListRows shop(journey, SHOP_LIST, true);
    WaitForInk(journey, shop.Part("list_item_small//item_name", 2, 1), JOURNEY_TEXT_PRIMARY,
               "the snow bomb's row shows its name");
    journey.Expect(journey.Shows("//shop_root//vorncoins_amount", JOURNEY_TEXT_PRIMARY, 0),
                   "the wallet shows the coins");
    shop.PressUntilShown("list_item_small//item_name", "list_item_big//buy-button//label", 2, 1,
                         JOURNEY_TEXT_BUTTON, "the snow bomb's row opened with its buy button");
    journey.Expect(Ink(journey, shop.Part("list_item_big//item_name", 2, 1), JOURNEY_TEXT_PRIMARY),
                   "the opened row shows the item's name");
    journey.Expect(Ink(journey, shop.Part("list_item_big//item_price", 2, 1), JOURNEY_TEXT_PRIMARY),
                   "the opened row shows the price");
    journey.Keep("d4-shop-item");

    const size_t uFrom = journey.LogCount();
    journey.Press(shop.Part("list_item_big//buy-button", 2, 1), "Buy");
    pages.WaitForPage(BUY);
    journey.Keep("d5-buy");
    journey.PressWidget("//confirm_buy_dialog//ok_buy_confirm");
    journey.WaitForRecord("the server confirmed the purchase", CJourney::Incoming("ConfirmBuyItem"), uFrom);
    pages.WaitForPage(SHOP);
    journey.WaitForRecord(
        "the wallet went down by the bomb's price",
        [](const CTestJson& r)
        {
            return r["event"].String() == "out" && r["name"].String() == "WalletBalance" &&
                   r["fields"]["balance"].Int() == DEFAULT_COINS - SNOW_BOMB_PRICE;
        },
        uFrom);
    journey.WaitFor(
        [&]
        {
            journey.Look();
            return journey.Shows("//shop_root//vorncoins_amount", JOURNEY_TEXT_PRIMARY, 0);
        },
        "the wallet shows the coins left");
    journey.Keep("d6-wallet");
    pages.PressUntil("//shop_root//button_back", HOME);

    pages.PressUntil("//startscreen_root//startscreen//menu_items", MY_ITEMS);
    CJourneyListRows mine(journey, MY_ITEMS_LIST, false);
    WaitForInk(journey, mine.Part("list_item_small//item_name", 0, 0), JOURNEY_TEXT_PRIMARY,
               "the bought bomb shows under My items");
    journey.Expect(!journey.Shows("//my_items_root//no_results", JOURNEY_TEXT_DIM, 0), "no empty-list text");
    journey.Keep("d7-my-items");
    pages.PressUntil("//my_items_root//button_back", HOME);
}

// Brenna comes online (the server's scripted player logs in as her): gifts go to players
// online only.
void BrennaComesOnline(CJourney& journey, CPeerProcess& peer)
{
    const CTestJson ready = journey.WaitForRecord("the server is ready", [](const CTestJson& r)
                                                  { return r["event"].String() == "ready"; });
    const size_t uFrom = journey.LogCount();
    journey.Expect(peer.Start(static_cast<unsigned int>(ready["lobby_port"].Int())) &&
                       peer.Command("\"cmd\": \"login\", \"user\": \"Brenna\", \"password\": \"" +
                                    std::string(PASSWORD) + "\""),
                   "the server's scripted player started as Brenna");
    journey.WaitForRecord(
        "the server logged Brenna in",
        [](const CTestJson& r) { return r["event"].String() == "login" && r["name"].String() == "Brenna"; },
        uFrom);
}

void GiveToTheFollowedPlayer(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: a gift");
    CPeerProcess peer;
    BrennaComesOnline(journey, peer);
    pages.PressUntil("//startscreen_root//startscreen//menu_players", PLAYERS);
    journey.PressWidget("//players_root//follow_button");
    // Online now: the row under the Following tab's first header.
    CJourneyListRows follow(journey, FOLLOW_LIST, true);
    WaitForInk(journey, follow.Part("list_item_small//player_name", 1, 0), JOURNEY_TEXT_PRIMARY,
               "Brenna shows on the Following tab under Online");
    follow.PressUntilShown("list_item_small//arrow", "list_item_big//text_gift", 1, 0, JOURNEY_TEXT_PRIMARY,
                           "her row opened and offers a gift");
    journey.Press(follow.Part("list_item_big//button_gift", 1, 0), "Gift");
    pages.WaitForPage(GIFTS);
    journey.Keep("d8-gifts");
    CJourneyListRows gifts(journey, "//dialog_gift_list_selection//selection_gift_list_content", false);
    journey.Press(gifts.Part("select-button", 0, 0), "the first gift");
    journey.PressWidget("//dialog_gift_list_selection//ok_gift_list_selection");
    pages.WaitForPage(GIFT_CONFIRM);
    journey.Keep("d9-gift-confirm");
    const size_t uFrom = journey.LogCount();
    journey.PressWidget("//confirm_buy_player_gift_dialog//ok_buy_player_gift_confirm");
    journey.WaitForRecord(
        "the server took the gift",
        [](const CTestJson& r)
        {
            return r["event"].String() == "out" && r["name"].String() == "ConfirmBuyPlayerItemsResponse" &&
                   r["fields"]["error"].String().empty();
        },
        uFrom);
    pages.WaitForPage(PLAYERS);
    pages.PressUntil("//players_root//button_back", HOME);
}

void ReadTheMeCard(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey: me");
    const std::string strCard = "//me_root//list_me//item_template//";
    std::vector<std::string> aTexts = {
        "player_name", "player_location",  "player_followers", "player_score",  "player_comment",
        "coins_label", "vorncoins_amount", "tournament_title", "results_title", "achievements_title"};
    for (int i = 1; i <= 6; ++i)
        for (const char* pColumn : {"my_opponent_%d", "my_result_%d", "my_points_%d"})
        {
            char acName[32];
            std::snprintf(acName, sizeof acName, pColumn, i);
            aTexts.push_back(acName);
        }
    for (int i = 1; i <= 5; ++i)
        aTexts.push_back("my_achievement_" + std::to_string(i));
    std::vector<std::string> aPaths;
    for (const std::string& str : aTexts)
        aPaths.push_back(strCard + str);
    journey.Probe(aPaths);
    for (size_t i = 0; i < aPaths.size(); ++i)
        for (size_t j = i + 1; j < aPaths.size(); ++j)
            journey.Expect(!Intersect(journey.Widget(aPaths[i]).m_Rect, journey.Widget(aPaths[j]).m_Rect),
                           aTexts[i] + " and " + aTexts[j] + " lie apart on the Me card");

    pages.PressUntil("//startscreen_root//startscreen//menu_me", ME);
    journey.WaitFor(
        [&]
        {
            journey.Look();
            return journey.Shows(strCard + "player_name", JOURNEY_TEXT_PRIMARY, 0) &&
                   journey.ShowsOwnText(strCard + "tournament_title", JOURNEY_TEXT_TITLE) &&
                   journey.ShowsOwnText(strCard + "results_title", JOURNEY_TEXT_TITLE);
        },
        "the Me card shows the player and its titles whole");
    journey.Keep("d10-me");
    pages.PressUntil("//me_root//button_back", HOME);
}

} // namespace

int main()
{
    CJourney journey("journey_players");
    CJourneyPages pages(journey);
    return journey.Run(
        [&]
        {
            FirstLaunch(pages);
            RegisterAndEnter(pages, "Brenna");
            pages.Logout();
            RegisterAndEnter(pages, "Corwin");
            pages.OpenLobby();
            FollowFromThePlayersPage(pages);
            BuyTheSnowBomb(pages);
            GiveToTheFollowedPlayer(pages);
            ReadTheMeCard(pages);
            pages.Logout();
            journey.Expect(journey.Close() == 0, "the game ended with 0 on the close message");
        });
}
