// The lobby state's core: time-left texts, the dialogs that leave the game in front, the
// turn clock, the loading dialog's time-out, the back key, the join and return bubbles, the
// vorn button of a guest in a match, and reloads after a screen change (every shipped page as
// it was, nothing asked again), a lost layout file or a theme the server sends.
// KORVEL_GL_TEST
#include "VornMenuStateShopServer.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "Framework/UI/Button.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/PieWidget.h"
#include "Framework/UI/Theme.h"
#include "Framework/UI/WebButton.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"

using namespace menu_state_test;

namespace
{

const int KEY_VALUE = 17;

// A theme pack whose colour file gives "accent" the value.
std::string ThemeBytes(const std::string& strTheme, const std::string& strValue)
{
    return TestPackBytes(
        {{"/theme_" + strTheme + ".xml", "<theme><config type=\"color\"><color id=\"accent\" value=\"" +
                                             strValue + "\"/></config></theme>"}});
}

// What a widget and the shown widgets below it show, by path (a list's rows by what they show,
// siblings of one name by their place among them): texts and their colours, the field that takes
// the typing, pictures, links, toggles, levels and lists' counts; with bPlaces also where each
// lies and how far it scrolled.
void AddShown(CWidget* pWidget, const std::string& strPath, bool bPlaces,
              std::map<std::string, std::string>& shown)
{
    if (!pWidget->GetVisible())
        return;
    std::string strState;
    if (CTextWidget* pText = widget_cast<CTextWidget*>(pWidget))
    {
        strState += " text=" + Narrow(pText->GetText()) + " colour=" + std::to_string(pText->GetColor());
        if (pText->IsEditing() && pText->GetInput())
            strState += " typing";
    }
    if (CImageWidget* pImage = widget_cast<CImageWidget*>(pWidget))
        strState += " picture=" + std::to_string(reinterpret_cast<uintptr_t>(pImage->GetImage()));
    if (CWebButton* pWeb = widget_cast<CWebButton*>(pWidget))
        strState += " link=" + Narrow(pWeb->GetUrl());
    if (CToggleButton* pToggle = widget_cast<CToggleButton*>(pWidget))
        strState += " toggled=" + std::to_string(pToggle->GetToggled());
    if (CExpandable* pRow = widget_cast<CExpandable*>(pWidget))
        strState += " level=" + std::to_string(pRow->GetExpansionLevel());
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pWidget);
    if (pList)
        strState +=
            " count=" + std::to_string(pList->GetCount()) + " drawn=" + std::to_string(pList->GetStarted());
    const CKorvelRect<int>& rc = pWidget->GetArea();
    if (bPlaces)
        strState += " at=" + std::to_string(rc.left) + "," + std::to_string(rc.top) + "," +
                    std::to_string(rc.right) + "," + std::to_string(rc.bottom);
    if (CSlideArea* pArea = widget_cast<CSlideArea*>(pWidget); pArea && bPlaces)
        strState += " scrolled=" + std::to_string(pArea->GetShownY());
    shown[strPath] = strState;
    std::map<std::string, int> names;
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
    {
        CWidget* pChild = pWidget->GetWidgets()[i];
        const std::u16string strKey = pList ? ::CVornMenuState::RowKey(pChild) : std::u16string();
        // A row's key is plain ASCII.
        const std::string strName =
            strKey.empty() ? Narrow(pChild->GetName()) : "@" + std::string(strKey.begin(), strKey.end());
        const int iSame = names[strName]++;
        AddShown(pChild, strPath + "/" + strName + (iSame ? "#" + std::to_string(iSame) : ""), bPlaces,
                 shown);
    }
}

// What differs between two pictures of a page, one line a widget.
std::vector<std::string> Changes(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after)
{
    std::vector<std::string> aChanges;
    for (const auto& widget : before)
    {
        auto found = after.find(widget.first);
        if (found == after.end() || found->second != widget.second)
            aChanges.push_back(widget.first + ":" + widget.second + " ->" +
                               (found == after.end() ? " gone" : found->second));
    }
    for (const auto& widget : after)
        if (!before.count(widget.first))
            aChanges.push_back(widget.first + ": new" + widget.second);
    return aChanges;
}

// The vorn button with the join and return bubbles, away from the buttons the tests press.
std::string VornButtonWithBubbles()
{
    std::string strButton = VornButton();
    const std::string strBubbles =
        Box("bubble_join", "bubble",
            "<position x=\"0.3\" y=\"0.3\"/>" + Box("bubble-text", "text", "<text font=\"main\"/>"),
            "display=\"0\"") +
        Box("bubble_return_game", "bubble", "<position x=\"0.3\" y=\"0.5\"/>", "display=\"0\"");
    return strButton.insert(strButton.rfind("</element>"), strBubbles);
}

class CVornMenuState : public CShopServerTest
{
protected:
    // With m_bShipped the built layout, lobby pictures and fonts replace the small layout.
    bool PrepareAppFolder() override
    {
        return CShopServerTest::PrepareAppFolder() && (!m_bShipped || UseShippedLayouts());
    }
    // What the current page shows (AddShown).
    std::map<std::string, std::string> Shown(bool bPlaces) const
    {
        std::map<std::string, std::string> shown;
        if (CWidget* pPage = Pages()->GetCurrentPage())
            AddShown(pPage, Narrow(pPage->GetName()), bPlaces, shown);
        return shown;
    }
    // Frames until the lobby asks nothing more of what the server sent (a list's rows, their
    // pictures) and what slides or grows has come to rest.
    void Rest()
    {
        const int iRounds = 20;
        size_t uHeard = Heard();
        for (int i = 0; i < iRounds; ++i)
        {
            for (int iFrame = 0; iFrame < 10; ++iFrame)
                Frame(0.1f);
            const size_t uNow = Heard();
            if (uNow == uHeard)
                return;
            uHeard = uNow;
        }
        ADD_FAILURE() << "the lobby kept asking";
    }
    bool m_bShipped = false;
    std::string TimeLeft(int iSeconds)
    {
        CKorvelString strOut;
        Lobby()->FormatTimeLeft(iSeconds, strOut);
        return Narrow(strOut);
    }
    int GameCalls(const char* pWhat) { return m_App.m_Log.Count(std::string("game.") + pWhat); }
    // The loading after a login ends by its time-out while nothing else closes it.
    void EndLoginLoading()
    {
        for (int i = 0; i < 31 && Lobby()->IsLoading(); ++i)
            Frame(1.0f);
        ASSERT_FALSE(Lobby()->IsLoading());
        Frame(0.1f);
    }
    // Logged in with an account of the server, the loading after it ended.
    void StartAsPlayer()
    {
        m_strLayout = MenuLayout(MenuPages() + VornButtonWithBubbles() + Dialogs());
        ASSERT_NO_FATAL_FAILURE(Start({"--account", "player1:secret1"}));
        ASSERT_TRUE(WaitForStart());
        FindAs<CTextWidget>("user_login")->SetText(CKorvelString("player1"));
        FindAs<CTextWidget>("user_password")->SetText(CKorvelString("secret1"));
        ASSERT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 1);
        ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
        ASSERT_NO_FATAL_FAILURE(EndLoginLoading());
    }
    // A guest's quick-play match against the opponent has started, the game in front.
    void StartMatchAsGuest()
    {
        ASSERT_NO_FATAL_FAILURE(StartAsGuest());
        ASSERT_GT(AddOpponent(), 0);
        ::CVornMenuState::actionStartGame(nullptr, Lobby());
        m_pOther->RegisterInGameQueue(0, 2);
        ASSERT_NO_FATAL_FAILURE(PlayOpponentUntilStart(0));
        ASSERT_EQ(Lobby()->GetDialogVisible(), 0u);
    }
    void Show(const char* pName, unsigned int uVisible)
    {
        CWidget* p = Find(pName);
        ASSERT_NE(p, nullptr) << pName;
        p->SetVisible(uVisible);
    }
};

TEST_F(CVornMenuState, TimeLeftPicksTheTextByRangeAndFormatsOnlyThoseWithANumber)
{
    m_Texts = {{184, "now"},        {185, "seconds"},  {186, "%d minute"}, {193, "%d minutes"},
               {187, "an hour"},    {194, "%d hours"}, {188, "a day"},     {195, "%d days"},
               {189, "a week"},     {196, "%d weeks"}, {190, "%d month"},  {197, "%d months"},
               {191, "over a year"}};
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct
    {
        int iSeconds;
        const char* pText;
    } aCases[] = {
        {0, "now"},
        {59, "seconds"},
        {60, "1 minute"},
        {3599, "59 minutes"},
        {3600, "an hour"},
        {7200, "2 hours"},
        {86400, "a day"},
        {172800, "2 days"},
        {604800, "a week"},
        {1209600, "2 weeks"},
        {2628000, "1 month"},
        {5256000, "2 months"},
        {31535999, "11 months"},
        {31536000, "over a year"},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(TimeLeft(c.iSeconds), c.pText) << c.iSeconds;
}

TEST_F(CVornMenuState, ATimeTextWhoseConversionDoesNotFitIsShownAsItStands)
{
    m_Texts = {{194, "%s hours"}};
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(TimeLeft(7200), "%s hours");
}

TEST_F(CVornMenuState, TheInGameDialogsLeaveTheGameDrawingAndTakingKeys)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Lobby()->GetDialogVisible()) << "the loading dialog covers the game";
    const int iDraws = GameCalls("Draw");
    Lobby()->Draw();
    EXPECT_EQ(GameCalls("Draw"), iDraws);

    for (const char* pDialog : {"confirm_buy_dialog_ingame", "generic_error_dialog_ingame"})
    {
        Show(pDialog, 1);
        EXPECT_FALSE(Lobby()->GetDialogVisible()) << pDialog;
        const int iBefore = GameCalls("Draw");
        const int iKeys = GameCalls("OnKeyDown");
        Lobby()->Draw();
        Lobby()->OnKeyDown(static_cast<eKET_KEYCODE>(12));
        EXPECT_EQ(GameCalls("Draw"), iBefore + 1) << pDialog;
        EXPECT_EQ(GameCalls("OnKeyDown"), iKeys + 1) << pDialog;
        Show(pDialog, 0);
    }
    EXPECT_TRUE(Lobby()->GetDialogVisible());
}

TEST_F(CVornMenuState, AReleaseGoesToTheGameThatTookItsPressAlsoWhenAPageCameUpMeanwhile)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const int x = CTestKestrolundApplication::WIDTH - 2, y = CTestKestrolundApplication::HEIGHT - 2;
    Show("generic_error_dialog_ingame", 1);
    ASSERT_FALSE(Lobby()->GetDialogVisible());
    Lobby()->OnMouseButton(0, x, y);
    ASSERT_EQ(GameCalls("OnMouseButton"), 1) << "the press reached the game";
    // A page comes up while the touch is held: its moves and release still go to the game.
    Show("generic_error_dialog_ingame", 0);
    ASSERT_TRUE(Lobby()->GetDialogVisible());
    Lobby()->OnMouseDrag(0, x - 1, y);
    Lobby()->OnMouseButtonUp(0, x - 1, y);
    EXPECT_EQ(GameCalls("OnMouseDrag"), 1);
    EXPECT_EQ(GameCalls("OnMouseButtonUp"), 1);
}

TEST_F(CVornMenuState, TheTurnClockShowsTheGamesProgressWhileTheMenuIsOpen)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    CPieWidget* pPie = FindAs<CPieWidget>("vorn-turn-clock");
    ASSERT_NE(pPie, nullptr);
    CWidget* pTimer = Find("vorn-timer");
    m_App.m_pGame->m_fTurnProgress = 0.5f;
    Frame(0.01f);
    EXPECT_TRUE(pTimer->GetVisible());
    EXPECT_FLOAT_EQ(pPie->GetAngle(), static_cast<float>(M_PI));
    m_App.m_pGame->m_fTurnProgress = 0.0f;
    Frame(0.01f);
    EXPECT_FALSE(pTimer->GetVisible());
}

TEST_F(CVornMenuState, TheLoadingDialogClosesAfterThirtySecondsOfFrameTimeAndNoLater)
{
    m_aHolds = {KEY_VALUE}; // the start's question is never answered
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForMessage("GetKeyValue"));
    Settle();
    // The splash's last frame (0.1 s) was the lobby's first.
    for (int i = 0; i < 298; ++i)
        Frame(0.1f);
    EXPECT_TRUE(Lobby()->IsLoading());
    EXPECT_EQ(PageName(), "loading_dialog");
    Frame(0.15f);
    EXPECT_FALSE(Lobby()->IsLoading());
    EXPECT_EQ(PageName(), "loginscreen_root");

    Lobby()->BeginLoading(CKorvelString("title"), CKorvelString("text"));
    EXPECT_EQ(PageName(), "loading_dialog");
    EXPECT_EQ(TextOf("text_title"), "title");
    EXPECT_EQ(TextOf("text_description"), "text");
}

TEST_F(CVornMenuState, TheBackKeyOnTheLoginSide)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    const eKET_KEYCODE eBack = static_cast<eKET_KEYCODE>(::CVornMenuState::KEY_BACK);
    Lobby()->BeginLoading(CKorvelString("t"), CKorvelString("d"));
    Lobby()->OnKeyDown(eBack);
    EXPECT_EQ(PageName(), "loading_dialog") << "nothing while loading";
    Lobby()->EndLoading();

    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    Lobby()->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    Lobby()->OnKeyDown(eBack);
    EXPECT_EQ(PageName(), "loginscreen_root") << "another login page goes back";
    EXPECT_EQ(m_App.m_uExit, 0u);
    Lobby()->OnKeyDown(eBack);
    EXPECT_EQ(m_App.m_uExit, 1u) << "the login page's exit button ends the application";
}

TEST_F(CVornMenuState, AScreenChangeKeepsThePageTheHistoryAndTheOverlay)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    Lobby()->EndLoading();
    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    Lobby()->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    const int iHistory = Pages()->GetNumberofHistoryPages();
    CWidget* pOld = Lobby()->GetRoot();
    Find("vorn_button_root")->SetVisible(0); // this layout shows it from the start
    EXPECT_EQ(Lobby()->OnScreenChanged(480, 320), 1u);
    EXPECT_NE(Lobby()->GetRoot(), pOld);
    EXPECT_EQ(PageName(), "loginscreen_email");
    EXPECT_EQ(Pages()->GetNumberofHistoryPages(), iHistory);
    EXPECT_TRUE(Pages()->GetVisible());
    EXPECT_FALSE(Visible("vorn_button_root")) << "the vorn button shows as it did";
    Pages()->SwitchToPage(CKorvelString(":back"));
    EXPECT_EQ(PageName(), "loginscreen_root");
}

// On the layout the build ships, logged in to an account with matches, a followed player,
// coins, an item and the server's promotions, each page that shows what the server sent shows
// in the first frame after each size a tiling window manager gives the window what it showed,
// and back at its size every widget where it was; none asks the server for anything again.
TEST_F(CVornMenuState, EveryShippedPageShowsWhatItShowedInItsFirstFrameAfterEachResizeAndAsksNothingAgain)
{
    m_bShipped = true;
    m_Texts[42] = "lost";
    m_Texts[43] = "tie";
    m_Texts[44] = "won";
    const std::string strAlice = "\"location\": \"Harbour\", \"comment\": \"hello\", \"follows\": [\"bob\"], "
                                 "\"matches\": [" +
                                 Match("bob", 1, 100) + ", " + Match("carol", 0, 200) + ", " +
                                 Match("bob", -1, 300) + "]";
    const std::string strStore = m_App.Dir() + "/accounts.json";
    ASSERT_TRUE(WriteTestFile(strStore, Store({{"alice", strAlice}, {"bob", ""}, {"carol", ""}})));
    m_strCatalogue = WriteShopCatalogue(m_Dir, 300);
    ASSERT_NO_FATAL_FAILURE(Start({"--accounts", strStore, "--catalogue", m_strCatalogue}));
    ASSERT_TRUE(WaitForStart());
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("alice"));
    FindAs<CTextWidget>("user_password")->SetText(CKorvelString("pw"));
    ::CVornMenuState::actionLoginKestrolund(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return GameCalls("InitialItemsReady") == 1 && !Lobby()->IsLoading(); }));
    ASSERT_NO_FATAL_FAILURE(Own(BOMB));
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);

    // The page shown now, with what it shows known to hold (a part of a widget's path and what
    // the widget shows).
    auto Cycle = [&](const std::vector<std::pair<std::string, std::string>>& aKnown)
    {
        ASSERT_NO_FATAL_FAILURE(Rest());
        SCOPED_TRACE(PageName());
        const std::map<std::string, std::string> shown = Shown(false), placed = Shown(true);
        for (const auto& known : aKnown)
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                                    [&](const std::pair<const std::string, std::string>& widget)
                                    {
                                        return widget.first.find(known.first) != std::string::npos &&
                                               widget.second.find(known.second) != std::string::npos;
                                    }))
                << known.first << " shows " << known.second;
        const size_t uHeard = Heard();
        const std::pair<int, int> aSizes[] = {{800, 480}, {1580, 700}, {1024, 600}};
        for (const std::pair<int, int>& size : aSizes)
        {
            SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
            m_App.OnScreenChanged(size.first, size.second);
            Frame(0.02f);
            EXPECT_EQ(Changes(size == aSizes[2] ? placed : shown, Shown(size == aSizes[2])),
                      std::vector<std::string>());
        }
        EXPECT_EQ(AskedSince(uHeard), std::vector<std::string>());
    };
    m_App.OnScreenChanged(1024, 600);
    Lobby()->SwitchToPage(CKorvelString("startscreen_root"), 1);
    Cycle({{"button_moregames", "link=https://localhost/more.php"},
           {"button-tournaments", "link=https://localhost/cup.php"},
           {"label-tournament", "text=Cup of the week"}});
    // The players page with a card open.
    Lobby()->SwitchToPage(CKorvelString("players_root"), 1);
    ASSERT_NO_FATAL_FAILURE(Rest());
    CWidget* pCarol = nullptr;
    for (int i = 0; i < Find("playerlist_global")->GetWidgets().GetCount(); ++i)
    {
        CWidget* pRow = Find("playerlist_global")->GetWidgets()[i];
        const sPLAYERLISTITEM* pPlayer = static_cast<const sPLAYERLISTITEM*>(pRow->GetData());
        if (pPlayer && Narrow(pPlayer->m_strName) == "carol")
            pCarol = pRow;
    }
    ASSERT_NE(pCarol, nullptr);
    ::CVornMenuState::actionExpandListItem(pCarol, Lobby());
    // A search typed and not yet asked for: the field keeps the keys, and what is typed after
    // the sizes goes on where it left off.
    ASSERT_NO_FATAL_FAILURE(PressOn(Find("search_text")));
    for (char c : std::string("car"))
        m_App.OnChar(static_cast<unsigned short>(c));
    Cycle({{"@p", "text=alice"},
           {"list_item_big/player_score", "text=0"},
           {"search_text", "text=car "},
           {"search_text", " typing"}});
    m_App.OnChar('o');
    EXPECT_EQ(TextOf("search_text"), "caro");
    // A theme the server sends rebuilds the tree as a resize does: the keys stay too.
    Lobby()->OnThemeChanged();
    m_App.OnChar('l');
    EXPECT_EQ(TextOf("search_text"), "carol");
    FindAs<CPageView>("players_content_root")->SwitchToPage(CKorvelString("follow_page"));
    ::CVornMenuState::actionFollowerContext(nullptr, Lobby());
    Cycle({{"playerlist_follow/@p", "text=bob"}});
    Lobby()->SwitchToPage(CKorvelString("me_root"), 1);
    Cycle({{"player_location", "text=Harbour"},
           {"my_result_1", "text=lost"},
           {"my_opponent_2", "text=carol"},
           {"my_achievement_1", "text=First"},
           {"me_score_", "text=All time"},
           {"vorncoins_amount", "text=250"}});
    Lobby()->SwitchToPage(CKorvelString("shop_root"), 1);
    Cycle({{"item_name", "text=Bomb"}});
    Lobby()->SwitchToPage(CKorvelString("my_items_root"), 1);
    Cycle({{"item_name", "text=bomb"}, {"value_pcs", "text=x3"}});
    Lobby()->SwitchToPage(CKorvelString("settings_root"), 1);
    Cycle({});
    Lobby()->SwitchToPage(CKorvelString("settings_language"), 1);
    Cycle({{"language-name", "text=English"}});
    // A purchase's confirmation shows the item the server named.
    Lobby()->SwitchToPage(CKorvelString("shop_root"), 1);
    ASSERT_NO_FATAL_FAILURE(Rest());
    ::CVornMenuState::actionShopBuyItem(In(RowFor("shop_page_list", BOMB), "//buy-button"), Lobby());
    ASSERT_TRUE(WaitForPage("confirm_buy_dialog"));
    Cycle({{"item-name", "text=Bomb"}});
    // A challenge's page shows its challenger.
    CKorvelArray<int> aAlice;
    aAlice.Add(Session()->GetOwnUserId());
    m_pOther->SendChallenge(aAlice, CKorvelString());
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == iOther; }));
    Lobby()->SwitchToPage(CKorvelString("challenge_received"), 1);
    Cycle({{"player_name", "text=guest" + std::to_string(iOther)}});

    // Another account's card, of a player without matches, shows none of the last one's.
    Lobby()->Logout();
    ASSERT_TRUE(WaitForPage("loginscreen_root"));
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("carol"));
    FindAs<CTextWidget>("user_password")->SetText(CKorvelString("pw"));
    ::CVornMenuState::actionLoginKestrolund(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0 && !Lobby()->IsLoading(); }));
    Lobby()->SwitchToPage(CKorvelString("me_root"), 1);
    Cycle({{"player_name", "text=carol"}, {"my_opponent_1", "text= colour"}});
}

TEST_F(CVornMenuState, AReloadWithoutTheLayoutFileLeavesTheStateRunningWithoutATree)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    ASSERT_TRUE(WriteLayoutPack(""));
    EXPECT_EQ(Lobby()->OnScreenChanged(480, 320), 0u);
    EXPECT_EQ(Lobby()->GetRoot(), nullptr);
    EXPECT_EQ(Lobby()->OnThemeChanged(), 0u);
    Frame(0.1f);
    Lobby()->Draw();
    Lobby()->OnKeyDown(static_cast<eKET_KEYCODE>(::CVornMenuState::KEY_BACK));
    EXPECT_EQ(::CVornMenuState::actionDialogClose(nullptr, Lobby()), 1);
    EXPECT_EQ(m_App.m_uExit, 0u);
}

TEST_F(CVornMenuState, AGuestsJoinBubbleWaitsForAWindowedGameAndGoesWithTheFirstVornButtonPress)
{
    m_strLayout = MenuLayout(MenuPages() + VornButtonWithBubbles() + Dialogs());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    Frame(0.1f);
    EXPECT_FALSE(Visible("bubble_join")) << "no login counted yet";
    m_App.m_pGame->m_uFullscreen = 1;
    Press("guest_login_button");
    ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
    ASSERT_NO_FATAL_FAILURE(EndLoginLoading());
    EXPECT_EQ(TextOf("bubble-text"), "text 78");
    EXPECT_FALSE(Visible("bubble_join")) << "not over a full-screen game";
    m_App.m_pGame->m_uFullscreen = 0;
    Frame(0.1f);
    EXPECT_TRUE(Visible("bubble_join"));

    Press("vorn_button");
    EXPECT_FALSE(Visible("bubble_join"));
    EXPECT_FALSE(Visible("bubble_return_game")) << "only in a match";
    Lobby()->BeginLoading(CKorvelString("t"), CKorvelString("d"));
    Lobby()->EndLoading();
    Frame(0.1f);
    EXPECT_FALSE(Visible("bubble_join")) << "dismissed for the rest of the run";
}

TEST_F(CVornMenuState, APlayerWithFiveLoginsGetsTheJoinBubbleWithTheRegisteredText)
{
    m_Stored["__Vorn_TimesLoggedIn"] = 5;
    ASSERT_NO_FATAL_FAILURE(StartAsPlayer());
    EXPECT_TRUE(Visible("bubble_join"));
    EXPECT_EQ(TextOf("bubble-text"), "text 219");
}

TEST_F(CVornMenuState, APlayerWithSixLoginsGetsNoJoinBubble)
{
    m_Stored["__Vorn_TimesLoggedIn"] = 6;
    ASSERT_NO_FATAL_FAILURE(StartAsPlayer());
    EXPECT_FALSE(Visible("bubble_join"));
}

TEST_F(CVornMenuState, AGuestInAMatchGetsOnlyTheChatAndTheReturnBubbleOnItsFirstThreeOpenings)
{
    m_strLayout = MenuLayout(MenuPages() + VornButtonWithBubbles() + Dialogs());
    ASSERT_NO_FATAL_FAILURE(StartMatchAsGuest());

    // Another page open over the game: the vorn button closes it.
    Lobby()->SwitchToPage(CKorvelString("settings_root"), 1);
    Press("vorn_button");
    EXPECT_EQ(Lobby()->GetDialogVisible(), 0u);
    EXPECT_FALSE(Visible("bubble_return_game"));
    for (int iOpening = 1; iOpening <= 4; ++iOpening)
    {
        SCOPED_TRACE(iOpening);
        Press("vorn_button");
        EXPECT_NE(Lobby()->GetDialogVisible(), 0u);
        EXPECT_EQ(PageName(), "chat_root");
        EXPECT_EQ(Visible("bubble_return_game"), iOpening < 4);
        Press("vorn_button");
        EXPECT_EQ(Lobby()->GetDialogVisible(), 0u);
        EXPECT_FALSE(Visible("bubble_return_game"));
    }
    EXPECT_FALSE(Visible("bubble_join"));
}

TEST_F(CVornMenuState, InAMatchADragFromTheBoardEndingOverTheVornButtonIsTheGamesAndOpensNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartMatchAsGuest());
    const ::CButton* pButton = FindAs<::CButton>("vorn_button");
    ASSERT_NE(pButton, nullptr);
    int xButton = 0, yButton = 0;
    ASSERT_NO_FATAL_FAILURE(Middle("vorn_button", xButton, yButton));
    const int x = CTestKestrolundApplication::WIDTH / 2, y = CTestKestrolundApplication::HEIGHT - 2;

    const int iReleases = GameCalls("OnMouseButtonUp");
    m_App.OnMouseButton(0, x, y);
    Frame(0.05f);
    m_App.OnMouseDrag(0, xButton, yButton);
    Frame(0.05f);
    m_App.OnMouseButtonUp(0, xButton, yButton);
    Frame(0.1f);
    Frame(0.1f);
    EXPECT_EQ(GameCalls("OnMouseButtonUp"), iReleases + 1) << "the game had the press";
    EXPECT_EQ(pButton->GetClickCount(), 0u);
    EXPECT_EQ(Lobby()->GetDialogVisible(), 0u) << "the chat stays shut";

    Press("vorn_button");
    EXPECT_EQ(pButton->GetClickCount(), 1u);
    EXPECT_EQ(PageName(), "chat_root");
    EXPECT_EQ(GameCalls("OnMouseButtonUp"), iReleases + 1);
}

TEST_F(CVornMenuState, AThemeTheServerSendsIsTakenAndTheReloadedTreeHasItsColours)
{
    m_App.m_bRealTheme = true;
    m_strLayout = MenuLayout(MenuPages() + VornButton() + Dialogs() +
                             Box("themed", "image", "<blend_color value=\"accent\"/>"));
    ASSERT_TRUE(WriteTestFile(m_App.AppFile("vorntheme_kestrolund-white.kmp"),
                              ThemeBytes("kestrolund-white", "ff0000")));
    const std::string strFolder = m_App.Dir() + "/themes";
    std::filesystem::create_directories(strFolder);
    ASSERT_TRUE(WriteTestFile(strFolder + "/vorntheme_nightfall.kmp", ThemeBytes("nightfall", "00ff00")));
    ASSERT_NO_FATAL_FAILURE(Start({"--theme-dir", strFolder, "--theme", "nightfall"}));
    ASSERT_TRUE(WaitForStart());
    ASSERT_NE(FindAs<CImageWidget>("themed"), nullptr);
    EXPECT_EQ(FindAs<CImageWidget>("themed")->GetBlendColor(), 0xFFFF0000u);
    CWidget* pOld = Lobby()->GetRoot();

    Press("guest_login_button");
    ASSERT_TRUE(WaitFor([&] { return Narrow(m_App.GetTheme()->GetName()) == "nightfall"; }));
    EXPECT_TRUE(std::filesystem::exists(m_App.DataFile("vorntheme_nightfall.kmp")));
    ASSERT_NE(Lobby()->GetRoot(), nullptr);
    EXPECT_NE(Lobby()->GetRoot(), pOld);
    ASSERT_NE(FindAs<CImageWidget>("themed"), nullptr);
    EXPECT_EQ(FindAs<CImageWidget>("themed")->GetBlendColor(), 0xFF00FF00u);
    EXPECT_EQ(PageName(), "loading_dialog") << "the login's loading goes on";
    EXPECT_TRUE(Pages()->GetVisible());
    ASSERT_NO_FATAL_FAILURE(EndLoginLoading());
    EXPECT_EQ(PageName(), "loginscreen_root");
}

} // namespace
