// Items from the shop to the match, in two windows side by side on one local lobby server,
// with two accounts made through the registration pages: Aino follows Bram from his row on
// the Players page; in the shop she buys the Sailor's hat (its row then reads as owned and a
// second purchase is refused with a text, nothing charged) and gives Bram a snow bomb, and
// reads that the gift was sent; Bram reads that it came and finds it under My items at once.
// Without a restart both press play and are paired: both windows show Aino with the hat and
// the same health, her item event carries the hat and neither device had to play without an
// item; the shots of the match leave Aino's health the same in both windows; Bram leaves and
// the server records one agreed result.
//
//   e2e_journey_items_driver   (under xvfb-run on a 2048x640 screen; KORVEL_SOURCE_DIR and
//                               KORVEL_BINARY_DIR set)
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "tests/e2e/JourneyChallenges.h"
#include "tests/e2e/JourneyDuel.h"

// X11's headers define Bool as a type; here it is the JSON value's member.
#undef Bool

namespace
{

using namespace journey_pages;
using namespace journey_challenges;
using namespace journey_duel;

const char* const AINO = "Aino";
const char* const BRAM = "Bram";
const char* const PASSWORD = "Secret-123";
// Rows of the Players page: the players online in the order of their logins.
const int BRAMS_ROW = 1;
const int DEFAULT_COINS = 1000;
const int HAT_PRICE = 150;
const int SNOW_BOMB_GIFT_PRICE = 60;
const int HAT_ITEM_ID = 1;
const char* const ALREADY_OWNED = "You already own this item";
// The game's events on the wire: the item event and the one of items played without.
const int EVENT_START = 6, EVENT_NEXT = 10, EVENT_PACK = 43, EVENT_ITEMS = 77, EVENT_DROPPED = 78;
const int EVENT_TYPE_BYTE = 0, ITEMS_COUNT_BYTE = 13, ITEMS_FIRST_ID_BYTE = 16, TURN_PLAYER_BYTE = 12;
const int INK_TOLERANCE = 48;
const int WORD_PIXELS = 20;

const sJourneyPage SHOP = {"the shop", "//shop_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage MY_ITEMS = {"my items", "//my_items_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage BUY = {"the buy dialog", "//confirm_buy_dialog//confirm_buy_dialog_title",
                          JOURNEY_TEXT_TITLE};
const sJourneyPage RECIPIENTS = {"the gift's recipients",
                                 "//dialog_list_selection//dialog_list_selection_title", JOURNEY_TEXT_TITLE};
const sJourneyPage GIFT_CONFIRM = {
    "the gift confirmation", "//confirm_buy_gift_dialog//confirm_buy_gift_dialog_title", JOURNEY_TEXT_TITLE};
const char* const ERROR_TITLE = "//generic_error_dialog//error_title";
const char* const ERROR_TEXT = "//generic_error_dialog//error-text";
const char* const SHOP_LIST = "//shop_root//shop_page_list";
const char* const MY_ITEMS_LIST = "//my_items_root//my_items_page_list";

// The board's name bar (game/MoxPlayStateDraw.cpp RenderStatus), in units S of a thirtieth of
// the width: each slot's portrait 3 S from its edge and 1.05 S above the bottom, its hat
// 0.9 S above that, its health 1.5 S inwards and 0.4 S below.
const float BOARD_UNITS = 30.0f;
const float PORTRAIT_IN = 3.0f, PORTRAIT_UP = 1.05f, HAT_UP = 0.9f, HAT_HALF = 1.2f;
const float HEALTH_IN = 1.5f, HEALTH_WIDTH = 3.0f, HEALTH_TOP = 0.05f;
// The hat's blue band (tools/assetgen/items.py).
const uint32_t HAT_BAND = 0x22407A;
const int HAT_TOLERANCE = 20;
const int HAT_PIXELS = 15;
// A glyph's core: pure white, whatever the scenery behind (its soft edge is mixed with it).
const int TEXT_LEVEL = 0xFF;
// The health's line: its number is drawn about 0.4 S below the portrait's middle.
const float HEALTH_BOTTOM = 0.8f;
// The board's flomps stand below the action buttons' row and right of the zoom bar.
const float BOARD_TOP = 3.0f, BOARD_LEFT = 2.0f, BOARD_BOTTOM = 2.2f;
// Enough white pixels for a number of two or three digits.
const int HEALTH_INK = 20;
// Pixels away from a glyph's edge that may differ between two windows showing the same digit
// (none seen): far fewer than any two digits differ by (47 and more seen).
const int GLYPH_EDGE_PIXELS = 3;
const int SHOTS = 4;
const int DRAG_STEPS = 20;
const int FLOMP_TOLERANCE = 30;
// Guards for the view to come to rest and for a shot's turn pack (a turn lasts 30 s).
const int REST_SECONDS = 10, SHOT_WAIT_SECONDS = 10;

bool Ink(CJourney& journey, const sE2eRect& r, uint32_t uColour)
{
    return E2eCountNear(journey.Look(), r, uColour, INK_TOLERANCE) >= WORD_PIXELS;
}

void WaitForInk(CJourney& journey, const sE2eRect& r, uint32_t uColour, const std::string& strStep)
{
    journey.WaitFor([&] { return Ink(journey, r, uColour); }, strStep);
}

// The record of the player's last login so far (Arrive logs in twice).
size_t LastLogin(CJourney& journey, const std::string& strName)
{
    size_t uLast = 0;
    const std::vector<CTestJson>& aRecords = journey.Log().Records();
    for (size_t u = 0; u < aRecords.size(); ++u)
        if (aRecords[u]["event"].String() == "login" && aRecords[u]["name"].String() == strName)
            uLast = u;
    return uLast;
}

std::function<bool(const CTestJson&)> Out(const std::string& strName)
{
    return [strName](const CTestJson& r)
    { return r["event"].String() == "out" && r["name"].String() == strName; };
}

std::function<bool(const CTestJson&)> Balance(int iCoins)
{
    return [iCoins](const CTestJson& r)
    { return Out("WalletBalance")(r) && r["fields"]["balance"].Int() == iCoins; };
}

// ---- the lobby

// A press lost while the opened row settles is pressed again, until the game sends the request.
void PressUntilSent(CJourney& journey, const sE2eRect& r, const std::string& strWhat,
                    const std::string& strMessage)
{
    const size_t uFrom = journey.LogCount();
    auto fnSent = [&] { return journey.Log().Find(CJourney::Incoming(strMessage), uFrom) >= 0; };
    for (int iTry = 0; iTry < PRESS_TRIES && !fnSent(); ++iTry)
    {
        journey.Press(r, strWhat);
        E2eWaitFor(fnSent, 5);
    }
    journey.WaitForRecord("the game sent " + strMessage, CJourney::Incoming(strMessage), uFrom);
}

void FollowBram(CJourneyPages& aino)
{
    CJourney& journey = aino.Journey();
    journey.Say("journey: Aino follows Bram");
    FindPlayer(aino, BRAM, BRAMS_ROW);
    PressRowPart(journey, BRAMS_ROW, "list_item_small//arrow");
    WaitForInk(journey, RowPart(journey, BRAMS_ROW, "list_item_big//text_follow"), JOURNEY_TEXT_PRIMARY,
               "Bram's row offers Follow");
    const size_t uFrom = journey.LogCount();
    PressRowPart(journey, BRAMS_ROW, "list_item_big//button_follow");
    journey.WaitForRecord("the server got the follow", CJourney::Incoming("BuddyRequest"), uFrom);
    aino.PressUntil("//players_root//button_back", HOME);
}

// The hat's row is the first under the first header; the snow bomb's the first under the second.
sE2eRect ShopRow(CJourney& journey, const std::string& strPart, bool bBomb)
{
    return CJourneyListRows(journey, SHOP_LIST, true).Part(strPart, bBomb ? 2 : 1, bBomb ? 1 : 0);
}

void OpenShopRow(CJourneyPages& pages, bool bBomb)
{
    CJourney& journey = pages.Journey();
    if (!(journey.Look(), pages.Showing(SHOP)))
        pages.PressUntil("//startscreen_root//startscreen//menu_shop", SHOP);
    const std::string strWhat = bBomb ? "the snow bomb" : "the hat";
    WaitForInk(journey, ShopRow(journey, "list_item_small//item_name", bBomb), JOURNEY_TEXT_PRIMARY,
               strWhat + "'s row shows its name");
    // Open and still: the Buy label whole where the opened row puts it (a closed list's rows
    // show other white text there).
    CJourneyListRows(journey, SHOP_LIST, true)
        .PressUntilShown("list_item_small//item_name", "list_item_big//buy-button//label", bBomb ? 2 : 1,
                         bBomb ? 1 : 0, JOURNEY_TEXT_BUTTON, strWhat + "'s opened row shows its buttons");
}

void BuyTheHat(CJourneyPages& aino)
{
    CJourney& journey = aino.Journey();
    journey.Say("journey: Aino buys the hat");
    OpenShopRow(aino, false);
    journey.Keep("i1-hat");
    size_t uFrom = journey.LogCount();
    PressUntilSent(journey, ShopRow(journey, "list_item_big//buy-button", false), "Buy", "BuyItem");
    aino.WaitForPage(BUY);
    journey.PressWidget("//confirm_buy_dialog//ok_buy_confirm");
    journey.WaitForRecord(
        "the server confirmed the purchase",
        [](const CTestJson& r)
        { return Out("ConfirmBuyItemResponse")(r) && r["fields"]["error"].String().empty(); },
        uFrom);
    journey.WaitForRecord("the wallet went down by the hat's price", Balance(DEFAULT_COINS - HAT_PRICE),
                          uFrom);
    aino.WaitForPage(SHOP);

    // Bought once: the row names it owned, and Buy again is refused before anything is charged.
    journey.Say("journey: the hat is not sold twice");
    OpenShopRow(aino, false);
    journey.Keep("i2-hat-owned");
    uFrom = journey.LogCount();
    PressUntilSent(journey, ShopRow(journey, "list_item_big//buy-button", false), "Buy again", "BuyItem");
    journey.WaitForRecord(
        "the server refused a second hat",
        [](const CTestJson& r)
        { return Out("BuyItemResponse")(r) && r["fields"]["error"].String() == ALREADY_OWNED; },
        uFrom);
    // The server's text under the dialog's title.
    WaitForInk(journey, journey.Widget(ERROR_TITLE).m_Rect, JOURNEY_TEXT_ERROR, "the error dialog shows");
    WaitForInk(journey, journey.Widget(ERROR_TEXT).m_Rect, JOURNEY_TEXT_PRIMARY,
               "the dialog shows the server's text");
    journey.Keep("i3-refused");
    aino.PressUntil("//generic_error_dialog//error_ok", SHOP);
    journey.Expect(journey.Log().Find(CJourney::Incoming("ConfirmBuyItem"), uFrom) < 0,
                   "nothing was confirmed, nothing charged");
}

void GiveTheBomb(CJourneyPages& aino, CJourneyPages& bram)
{
    CJourney& journey = aino.Journey();
    journey.Say("journey: Aino gives Bram a snow bomb from the shop");
    const std::string strSent = std::string("Gift sent to ") + BRAM;
    const std::string strCame = std::string(AINO) + " sent you a gift: Snow bomb";
    MeasureToasts(journey, {strSent});
    MeasureToasts(bram.Journey(), {strCame});
    OpenShopRow(aino, true);
    const size_t uFrom = journey.LogCount();
    PressUntilSent(journey, ShopRow(journey, "list_item_big//gift-button", true), "Gift", "BuyItem");
    aino.WaitForPage(RECIPIENTS);
    CJourneyListRows recipients(journey, "//dialog_list_selection//selection_list_content", false);
    journey.Press(recipients.Part("select-button", 0, 0), "Bram as the recipient");
    journey.PressWidget("//dialog_list_selection//ok_list_selection");
    aino.WaitForPage(GIFT_CONFIRM);
    journey.Keep("i4-gift-confirm");
    journey.PressWidget("//confirm_buy_gift_dialog//ok_buy_gift_confirm");
    // Each toast shows for a few seconds only, both at about the same time: both windows' toast
    // strips are watched together, and the pictures that showed them (fresh in the strip) are
    // saved after both were seen.
    CJourney& other = bram.Journey();
    bool bSentShown = false, bCameShown = false;
    sE2eShot sent, came;
    // How often each window was looked at: a toast is still for two of its three seconds.
    CJourneyLookGaps gaps;
    const bool bBoth = E2eWaitFor(
        [&]
        {
            if (!bSentShown && (gaps.Looked(0), ShowsToast(journey, strSent)))
            {
                bSentShown = true;
                sent = journey.Picture();
            }
            if (!bCameShown && (gaps.Looked(1), ShowsToast(other, strCame)))
            {
                bCameShown = true;
                came = other.Picture();
            }
            return bSentShown && bCameShown;
        },
        JOURNEY_STEP_SECONDS);
    const std::string strLooks = gaps.Text();
    journey.Expect(bBoth, "the toasts say \"" + strSent + "\" and \"" + strCame + "\"",
                   std::string("Aino's ") + (bSentShown ? "seen" : "not seen") + ", Bram's " +
                       (bCameShown ? "seen" : "not seen") + "; " + strLooks);
    journey.Say("looks at the toasts: " + strLooks);
    journey.Keep("i5-gift-sent", sent);
    other.Keep("i6-gift-came", came);
    journey.WaitForRecord(
        "the server confirmed the gift",
        [](const CTestJson& r)
        { return Out("ConfirmBuyItemResponse")(r) && r["fields"]["error"].String().empty(); },
        uFrom);
    journey.Expect(journey.Log().Find(CJourney::Incoming("UpdateItemState"), uFrom) < 0,
                   "the giver asked to enable no item of the receiver's");
    journey.WaitForRecord("the wallet went down by the gift's price",
                          Balance(DEFAULT_COINS - HAT_PRICE - SNOW_BOMB_GIFT_PRICE), uFrom);
    journey.Expect(!Ink(journey, journey.Widget(ERROR_TITLE).m_Rect, JOURNEY_TEXT_ERROR),
                   "no error dialog after the gift");

    bram.PressUntil("//startscreen_root//startscreen//menu_items", MY_ITEMS);
    CJourneyListRows mine(other, MY_ITEMS_LIST, false);
    WaitForInk(other, mine.Part("list_item_small//item_name", 0, 0), JOURNEY_TEXT_PRIMARY,
               "the bomb shows under Bram's items");
    other.Keep("i7-bram-items");
    bram.PressUntil("//my_items_root//button_back", HOME);
    aino.PressUntil("//shop_root//button_back", HOME);
}

void CloseLobby(CJourneyPages& pages)
{
    for (int iTry = 0; iTry < PRESS_TRIES && !pages.ShowsGameMenu(); ++iTry)
    {
        pages.Journey().PressWidget("//startscreen_root//close_menu");
        E2eWaitFor([&] { return pages.ShowsGameMenu(); }, 15);
    }
    pages.WaitForGameMenu();
}

// ---- the board

struct sNameBar
{
    sE2eRect m_Hat;
    sE2eRect m_Health;
};

sNameBar NameBar(const sE2eShot& shot, int iSlot)
{
    const float W = float(shot.m_iWidth), H = float(shot.m_iHeight), S = W / BOARD_UNITS;
    const float x = iSlot == 0 ? PORTRAIT_IN * S : W - PORTRAIT_IN * S;
    const float y = H - PORTRAIT_UP * S;
    const float fInward = iSlot == 0 ? 1.0f : -1.0f;
    const float xText = x + fInward * HEALTH_IN * S;
    const float xFar = xText + fInward * HEALTH_WIDTH * S;
    sNameBar bar;
    bar.m_Hat = {int(x - HAT_HALF * S), int(y - HAT_UP * S - HAT_HALF * S), int(x + HAT_HALF * S),
                 int(y - HAT_UP * S + HAT_HALF * S)};
    bar.m_Health = {int(std::min(xText, xFar)), int(y + HEALTH_TOP * S), int(std::max(xText, xFar)),
                    int(y + HEALTH_BOTTOM * S)};
    return bar;
}

bool WearsHat(const sE2eShot& shot, int iSlot)
{
    return E2eCountNear(shot, NameBar(shot, iSlot).m_Hat, HAT_BAND, HAT_TOLERANCE) >= HAT_PIXELS;
}

// The slot's health number as its glyphs, left to right: each the white pixels of one run
// of inked columns, column by column over the rows of the number's line.
struct sGlyph
{
    int m_iWidth = 0;
    std::vector<bool> m_aInk; // column by column
};

std::vector<sGlyph> Health(const sE2eShot& shot, int iSlot)
{
    const sE2eRect r = NameBar(shot, iSlot).m_Health;
    const int iLeft = std::max(r.m_iLeft, 0), iRight = std::min(r.m_iRight, shot.m_iWidth);
    const int iTop = std::max(r.m_iTop, 0), iBottom = std::min(r.m_iBottom, shot.m_iHeight);
    std::vector<sGlyph> aGlyphs;
    bool bInGlyph = false;
    for (int x = iLeft; x < iRight; ++x)
    {
        std::vector<bool> aColumn;
        for (int y = iTop; y < iBottom; ++y)
        {
            const uint32_t u = shot.At(x, y);
            aColumn.push_back(int((u >> 16) & 0xFF) >= TEXT_LEVEL && int((u >> 8) & 0xFF) >= TEXT_LEVEL &&
                              int(u & 0xFF) >= TEXT_LEVEL);
        }
        const bool bInk = std::find(aColumn.begin(), aColumn.end(), true) != aColumn.end();
        if (bInk && !bInGlyph)
            aGlyphs.emplace_back();
        if (bInk)
        {
            aGlyphs.back().m_aInk.insert(aGlyphs.back().m_aInk.end(), aColumn.begin(), aColumn.end());
            ++aGlyphs.back().m_iWidth;
        }
        bInGlyph = bInk;
    }
    // A lone edge pixel apart from the digits is no glyph.
    aGlyphs.erase(std::remove_if(aGlyphs.begin(), aGlyphs.end(),
                                 [](const sGlyph& glyph) {
                                     return std::count(glyph.m_aInk.begin(), glyph.m_aInk.end(), true) <=
                                            GLYPH_EDGE_PIXELS;
                                 }),
                  aGlyphs.end());
    return aGlyphs;
}

bool Shown(const std::vector<sGlyph>& aGlyphs)
{
    int iInk = 0;
    for (const sGlyph& glyph : aGlyphs)
        iInk += int(std::count(glyph.m_aInk.begin(), glyph.m_aInk.end(), true));
    return iInk >= HEALTH_INK;
}

// Pixels that differ between two glyphs, the second moved by dx columns, but for those next
// to ink of both: the scenery behind lifts a glyph's soft edge over the white level here and
// not there, while another digit differs by strokes away from the ink the two share.
int Differing(const sGlyph& a, const sGlyph& b, int dx)
{
    const int iRows = a.m_iWidth ? int(a.m_aInk.size()) / a.m_iWidth : 0;
    auto fnInk = [iRows](const sGlyph& glyph, int x, int y)
    {
        return x >= 0 && x < glyph.m_iWidth && y >= 0 && y < iRows &&
               glyph.m_aInk[size_t(x) * size_t(iRows) + size_t(y)];
    };
    auto fnNextToBoth = [&](int x, int y)
    {
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                if (fnInk(a, x + i, y + j) && fnInk(b, x + i - dx, y + j))
                    return true;
        return false;
    };
    int iDiffering = 0;
    for (int x = -1; x <= std::max(a.m_iWidth, b.m_iWidth); ++x)
        for (int y = 0; y < iRows; ++y)
            iDiffering += fnInk(a, x, y) != fnInk(b, x - dx, y) && !fnNextToBoth(x, y) ? 1 : 0;
    return iDiffering;
}

// The same digits: as many glyphs, each of the same shape but for its soft edge (whose first
// column may move as well).
bool SameDigits(const std::vector<sGlyph>& aFirst, const std::vector<sGlyph>& aSecond)
{
    if (aFirst.size() != aSecond.size())
        return false;
    for (size_t u = 0; u < aFirst.size(); ++u)
        if (std::min({Differing(aFirst[u], aSecond[u], -1), Differing(aFirst[u], aSecond[u], 0),
                      Differing(aFirst[u], aSecond[u], 1)}) > GLYPH_EDGE_PIXELS)
            return false;
    return true;
}

// Both windows show the slot's health as the same number (the windows have one size).
bool SameHealth(sJourneyPlayer& a, sJourneyPlayer& b, int iSlot, std::vector<sGlyph>* pShown = nullptr)
{
    const std::vector<sGlyph> aFirst = Health(a.m_Journey.Look(), iSlot),
                              aSecond = Health(b.m_Journey.Look(), iSlot);
    if (pShown)
        *pShown = aFirst;
    return Shown(aFirst) && SameDigits(aFirst, aSecond);
}

// The game event type of a logged GameMessage, -1 for another record.
int EventType(const CTestJson& r)
{
    if (r["event"].String() != "in" || r["name"].String() != "GameMessage")
        return -1;
    const std::vector<int> aBytes = lobby_match::Payload(r);
    return aBytes.size() > size_t(EVENT_TYPE_BYTE) ? aBytes[EVENT_TYPE_BYTE] : -1;
}

std::string GameConn(CJourney& journey, const sJourneyPlayer& player)
{
    const long long llUser = player.m_llUser;
    return journey
        .WaitForRecord("GameReady from " + player.m_strName,
                       [=](const CTestJson& r)
                       {
                           return r["event"].String() == "in" && r["name"].String() == "GameReady" &&
                                  r["fields"]["user"].Int() == llUser;
                       })["conn"]
        .String();
}

// Aino's item event names the hat; no device sent an event of items played without.
void CheckItemEvents(sJourneyPlayer& aino, size_t uFrom)
{
    CJourney& journey = aino.m_Journey;
    const std::string strConn = GameConn(journey, aino);
    const CTestJson items = journey.WaitForRecord(
        "Aino's device told the other which items she uses",
        [&](const CTestJson& r) { return r["conn"].String() == strConn && EventType(r) == EVENT_ITEMS; },
        uFrom);
    const std::vector<int> aBytes = lobby_match::Payload(items);
    journey.Expect(aBytes.size() > size_t(ITEMS_FIRST_ID_BYTE) && aBytes[ITEMS_COUNT_BYTE] >= 1 &&
                       aBytes[ITEMS_FIRST_ID_BYTE] == HAT_ITEM_ID,
                   "her item event carries the hat");
    journey.Expect(
        journey.Log().Find([](const CTestJson& r) { return EventType(r) == EVENT_DROPPED; }, uFrom) < 0,
        "both devices loaded every item of the match");
}

// The slot whose turn the last start or next-player event of either side gives, from uFrom on.
int TurnSlot(CJourney& journey, size_t uFrom)
{
    int iSlot = -1;
    const std::vector<CTestJson>& aRecords = journey.Log().Records();
    for (size_t u = uFrom; u < aRecords.size(); ++u)
    {
        const int iType = EventType(aRecords[u]);
        if (iType == EVENT_START || iType == EVENT_NEXT)
        {
            const std::vector<int> aBytes = lobby_match::Payload(aRecords[u]);
            if (aBytes.size() > size_t(TURN_PLAYER_BYTE))
                iSlot = aBytes[TURN_PLAYER_BYTE];
        }
    }
    return iSlot;
}

// Where the board shows the scene: below the action buttons (and the lobby's button), above
// the name bar, right of the zoom bar.
sE2eRect BoardArea(const sE2eShot& shot)
{
    const float S = float(shot.m_iWidth) / BOARD_UNITS;
    return {int(BOARD_LEFT * S), int(BOARD_TOP * S), shot.m_iWidth, shot.m_iHeight - int(BOARD_BOTTOM * S)};
}

// Where the slot's flomp stands on the board.
bool FindOnBoard(const sE2eShot& shot, int iSlot, int& iX, int& iY)
{
    long long llX = 0, llY = 0, llCount = 0;
    E2eEachPixel(shot, BoardArea(shot),
                 [&](int x, int y, uint32_t uPixel)
                 {
                     if (E2eNear(uPixel, FLOMP_COLOURS[iSlot], FLOMP_TOLERANCE))
                     {
                         llX += x;
                         llY += y;
                         ++llCount;
                     }
                 });
    if (llCount < HAT_PIXELS)
        return false;
    iX = int(llX / llCount);
    iY = int(llY / llCount);
    return true;
}

// The turn player pulls its flomp back, away from the other, and lets go: a shot at it.
// Aimed once the view is at rest (not panning to the turn's flomp), the pull kept on the board;
// false when the view did not come to rest.
bool Shoot(sJourneyPlayer& shooter, const sJourneyPlayer& target, int iPull)
{
    CJourney& journey = shooter.m_Journey;
    const sE2eRect board = BoardArea(journey.Look());
    int x = 0, y = 0;
    auto fnFind = [&](const sE2eShot& shot, int& iX, int& iY)
    { return FindOnBoard(shot, shooter.m_iSlot, iX, iY); };
    if (!E2eWaitFor([&] { return journey.AtRest(board, fnFind, x, y); }, REST_SECONDS))
        return false;
    // Away from the other flomp, or from the window's middle when the view does not show it.
    int xTarget = 0, yTarget = 0;
    if (!FindOnBoard(journey.Picture(), target.m_iSlot, xTarget, yTarget))
        xTarget = journey.Picture().m_iWidth / 2;
    const int dx = xTarget > x ? -iPull : iPull;
    journey.Say(shooter.m_strName + " shoots at " + target.m_strName);
    journey.Drag(x, y, std::clamp(x + dx, board.m_iLeft, board.m_iRight - 1),
                 std::min(y + iPull / 2, board.m_iBottom - 1), DRAG_STEPS);
    return true;
}

void PlayWithTheHat(sJourneyPlayer& aino, sJourneyPlayer& bram)
{
    CJourney& journey = aino.m_Journey;
    journey.Say("journey: a match with the hat");
    const size_t uFrom = journey.LogCount();
    QuickPlay(aino, bram);
    CheckItemEvents(aino, uFrom);
    // One look at each window a round; what the last round saw is said if the step runs out.
    std::vector<sGlyph> aHealth;
    std::string strSeen;
    const auto start = std::chrono::steady_clock::now();
    const bool bBoard = E2eWaitFor(
        [&]
        {
            const sE2eShot& a = aino.m_Journey.Look();
            const sE2eShot& b = bram.m_Journey.Look();
            const bool bHatA = WearsHat(a, aino.m_iSlot), bHatB = WearsHat(b, aino.m_iSlot);
            const bool bBareA = !WearsHat(a, bram.m_iSlot);
            aHealth = Health(a, aino.m_iSlot);
            const std::vector<sGlyph> aOther = Health(b, aino.m_iSlot);
            const bool bSame = Shown(aHealth) && SameDigits(aHealth, aOther);
            strSeen = std::string("hat in Aino's window ") + (bHatA ? "yes" : "no") + ", in Bram's " +
                      (bHatB ? "yes" : "no") + "; Bram bare " + (bBareA ? "yes" : "no") + "; health glyphs " +
                      std::to_string(aHealth.size()) + " and " + std::to_string(aOther.size()) + ", alike " +
                      (bSame ? "yes" : "no");
            return bHatA && bHatB && bBareA && bSame;
        },
        JOURNEY_STEP_SECONDS);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!bBoard)
    {
        aino.m_Journey.Keep("i8-board-not-seen", aino.m_Journey.Picture());
        bram.m_Journey.Keep("i8-board-not-seen", bram.m_Journey.Picture());
    }
    journey.Expect(bBoard, "both windows show Aino with the hat and the same health",
                   "not within " + std::to_string(JOURNEY_STEP_SECONDS) + " s; last look: " + strSeen);
    journey.Say("the board was seen as it should be after " + std::to_string(int(took.count())) + " s");
    aino.m_Journey.Keep("i8-board");
    bram.m_Journey.Keep("i8-board");

    // Shots until one hits Aino (or the match ends): each turn's end leaves her health
    // the same in both windows.
    bool bHit = false;
    for (int iShot = 0; iShot < 2 * SHOTS && !bHit && journey.Log().Find(Event("game_end"), uFrom) < 0;
         ++iShot)
    {
        const int iSlot = TurnSlot(journey, uFrom);
        sJourneyPlayer& shooter = iSlot == aino.m_iSlot ? aino : bram;
        sJourneyPlayer& target = iSlot == aino.m_iSlot ? bram : aino;
        const size_t uShot = journey.LogCount();
        auto fnPacked = [&] {
            return journey.Log().Find([](const CTestJson& r) { return EventType(r) == EVENT_PACK; }, uShot) >=
                   0;
        };
        // The turn is over when the next one is given (or the match ends).
        auto fnTurnOver = [&]
        {
            return journey.Log().Find([](const CTestJson& r) { return EventType(r) == EVENT_NEXT; }, uShot) >=
                       0 ||
                   journey.Log().Find(Event("game_end"), uFrom) >= 0;
        };
        for (int iTry = 0; iTry < PRESS_TRIES && !fnPacked() && !fnTurnOver(); ++iTry)
        {
            if (Shoot(shooter, target, 60 + 40 * (iShot % 3)))
                E2eWaitFor(fnPacked, SHOT_WAIT_SECONDS);
        }
        journey.WaitFor(fnTurnOver, shooter.m_strName + "'s turn ends");
        std::vector<sGlyph> aNow;
        journey.WaitFor([&] { return SameHealth(aino, bram, aino.m_iSlot, &aNow) || !Shown(aNow); },
                        "both windows show Aino's health alike after " + shooter.m_strName + "'s shot");
        bHit = Shown(aNow) && !SameDigits(aNow, aHealth);
    }
    aino.m_Journey.Keep("i9-after-shots");
    bram.m_Journey.Keep("i9-after-shots");
    journey.Say(bHit ? "a shot hit Aino: both windows show the same health" : "no shot hit Aino");

    // A match still running ends with Bram leaving; one the shots decided is over already.
    if (journey.Log().Find(Event("game_end"), uFrom) < 0)
    {
        Leave(bram, aino);
        BackToMenu(aino, false);
    }
    const CTestJson result =
        journey.WaitForRecord("the server recorded the match", Event("match_result"), uFrom);
    journey.Expect(result["agreed"].Bool() && result["reports"].Int() == 2,
                   "both devices reported the same result");
}

} // namespace

int main()
{
    CJourney first("journey_items");
    CJourney second(first, 2);
    sJourneyPlayer aino(first), bram(second);
    return first.Run(
        [&]
        {
            Arrive(aino.m_Pages, AINO, PASSWORD);
            ReadLogin(aino, LastLogin(first, AINO));
            Arrive(bram.m_Pages, BRAM, PASSWORD);
            ReadLogin(bram, LastLogin(first, BRAM));
            FollowBram(aino.m_Pages);
            BuyTheHat(aino.m_Pages);
            GiveTheBomb(aino.m_Pages, bram.m_Pages);
            CloseLobby(aino.m_Pages);
            CloseLobby(bram.m_Pages);
            PlayWithTheHat(aino, bram);
            first.Expect(second.Close() == 0, "the second game ended with 0 on the close message");
            first.Expect(first.Close() == 0, "the first game ended with 0 on the close message");
        });
}
