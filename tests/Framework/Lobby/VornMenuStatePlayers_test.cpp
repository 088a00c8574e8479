// The player lists filled by the lobby server, following, blocking and challenges sent from a
// row, with a second guest as the other player.
// KORVEL_GL_TEST
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"
#include "VornMenuStateMatchTest.h"
#include "support/TestMedia.h"

#include <fstream>
#include <iterator>

using namespace menu_state_test;

namespace
{

std::string Text(const char* pName)
{
    return Box(pName, "text", "<text font=\"main\"/>");
}

std::string Button(const char* pName, const char* pType, const char* pAction)
{
    return Box(pName, pType, Event("onclick", pAction));
}

// One list page with its row template in the shape of the shipped rows: a small and a big
// view, three levels (the third shows the "nasty" buttons).
std::string ListPage(const char* pPage, const char* pList, const char* pPrefix)
{
    const std::string strPrefix(pPrefix);
    const std::string strSmall =
        "<element name=\"list_item_small\" type=\"widget\"><size w=\"0.9\" h=\"0.1\"/>" +
        Text("player_name") + Box("player_status", "widget") + Box("player_avatar_small", "image") +
        Button("challenge_button", "button", "send_challenge") +
        Button("arrow", "toggle_button", "expand_nastybuttons") + "</element>";
    const std::string strNasty =
        "<element name=\"playerlist-item-nasty-buttons\" type=\"widget\" display=\"0\">"
        "<size w=\"0.9\" h=\"0.1\"/>" +
        Button("button_unfollow", "button", "unfollow") + Button("button_block", "toggle_button", "block") +
        "</element>";
    const std::string strBig =
        "<element name=\"list_item_big\" type=\"widget\" display=\"0\"><size w=\"0.9\" h=\"0.4\"/>" +
        Text("player_name") + Box("player_status", "widget") + Box("player_avatar", "image") +
        Text("player_followers") + Text("player_location") + Text("player_comment") +
        Button("button_challenge", "button", "send_challenge") + Button("button_follow", "button", "follow") +
        Box("button_gift", "button") + Box("player_invite_button", "button") +
        Button("details_button", "button", "player_details") +
        Box("button-report", "web_button",
            "<target url=\"https://localhost/report.php?player=PLAYER_ID\"/>") +
        Text("player_wins") + Text("player_wins_percent") + Text("my_ties") + Text("my_ties_percent") +
        Text("my_losses") + Text("my_losses_percent") + strNasty + "</element>";
    const std::string strRow =
        "<element name=\"item_template\" type=\"expand_layout\"><size w=\"0.9\" h=\"0.1\"/>"
        "<height value=\"0.1\"/><height value=\"0.3\"/><height value=\"0.4\"/><transition-time "
        "value=\"0.2\"/>"
        "<events><onclick action=\"expand_list_item\"/><onendexpand "
        "action=\"end_expand_list_item\"/></events>" +
        strSmall + strBig + "</element>";
    return Page(pPage, "<element name=\"" + std::string(pList) +
                           "\" type=\"infinite_list\" layout_mode=\"list\"><size w=\"0.9\" h=\"0.7\"/>"
                           "<page-size value=\"4\"/>"
                           "<events><onloaditem action=\"load_" +
                           strPrefix +
                           "_item\"/>"
                           "<onloaditembatch action=\"load_" +
                           strPrefix +
                           "_item_batch\"/>"
                           "<onforgetitem action=\"unload_" +
                           strPrefix + "_item\"/></events>" + strRow + "</element>" + Text("no_results") +
                           Box("loading", "widget"));
}

// The own card with its six latest matches, as the shipped card has them.
std::string OwnCard()
{
    std::string strCard = Text("player_name") + Box("player_avatar", "image");
    for (const char* pRow : {"1", "2", "3", "4", "5", "6"})
        for (const char* pField : {"my_result_", "my_points_", "my_opponent_"})
            strCard += Text((std::string(pField) + pRow).c_str());
    return Page("me_root", Box("self_card", "widget", strCard));
}

class CVornMenuState : public CMatchTest
{
protected:
    CVornMenuState()
    {
        m_Texts[38] = "Following %s";
        m_Texts[39] = "Not following %s";
        m_Texts[40] = "Blocked %s";
        m_Texts[41] = "Unblocked %s";
        const std::string strPlayers = Page(
            "players_root",
            InputText("search_text") +
                "<element name=\"players_content_root\" type=\"page_layout\"><size w=\"1.0\" h=\"1.0\"/>" +
                ListPage("global_page", "playerlist_global", "playerlist") +
                ListPage("follow_page", "playerlist_follow", "follow") + "</element>",
            "show_players_root");
        std::string strPages = MenuPages();
        const std::string strEnd = "</element>\n";
        strPages.insert(strPages.rfind(strEnd), strPlayers + OwnCard());
        m_strLayout = MenuLayout(strPages + VornButton() + Dialogs());
    }
    // With m_bShipped the built layout, lobby pictures and fonts replace the small layout.
    bool PrepareAppFolder() override
    {
        return CMatchTest::PrepareAppFolder() && (!m_bShipped || UseShippedLayouts());
    }
    CInfiniteList* GlobalList() const { return FindAs<CInfiniteList>("playerlist_global"); }
    // The loaded row that shows the name, or null.
    CWidget* RowOf(const std::string& strName) const { return RowIn(GlobalList(), strName); }
    static CWidget* RowIn(CInfiniteList* pList, const std::string& strName)
    {
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
        {
            CWidget* pRow = pList->GetWidgets()[i];
            CTextWidget* pText =
                widget_cast<CTextWidget*>(pRow->FindWidget(CKorvelString("player_name"), -1));
            if (pText && Narrow(pText->GetText()) == strName && pRow->GetData())
                return pRow;
        }
        return nullptr;
    }
    std::string RowText(CWidget* pRow, const char* pName) const
    {
        CTextWidget* pText = widget_cast<CTextWidget*>(pRow->FindWidget(CKorvelString(pName), -1));
        return pText ? Narrow(pText->GetText()) : "<none>";
    }
    CWidget* InRow(CWidget* pRow, const char* pName) const
    {
        return pRow->FindWidget(CKorvelString(pName), -1);
    }
    void ShowPlayers()
    {
        Lobby()->SwitchToPage(CKorvelString("players_root"), 1);
        ASSERT_TRUE(WaitForMessage("ListPlayers"));
        // Its count is in: the session takes any list's count for the newest search's, so
        // another search right away could get this one.
        ASSERT_TRUE(WaitFor([&] { return GlobalList()->GetCount() > 0; }));
    }
    static std::string Guest(int iId) { return "guest" + std::to_string(iId); }
    CInfiniteList* FollowList() const { return FindAs<CInfiniteList>("playerlist_follow"); }
    // The server on a store written here, the login page ready.
    void StartWithStore(const std::string& strStore)
    {
        const std::string strPath = m_App.Dir() + "/accounts.json";
        ASSERT_TRUE(WriteTestFile(strPath, strStore));
        ASSERT_NO_FATAL_FAILURE(Start({"--accounts", strPath}));
        ASSERT_TRUE(WaitForStart());
    }
    // The lobby logged in to one of the store's accounts, or as a guest with a null name.
    void StartAs(const std::string& strStore, const char* pName)
    {
        ASSERT_NO_FATAL_FAILURE(StartWithStore(strStore));
        if (pName)
        {
            FindAs<CTextWidget>("user_login")->SetText(CKorvelString(pName));
            FindAs<CTextWidget>("user_password")->SetText(CKorvelString("pw"));
            ::CVornMenuState::actionLoginKestrolund(nullptr, Lobby());
        }
        else
            Press("guest_login_button");
        ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
        ASSERT_TRUE(WaitForMessage("GetThemePack"));
        ASSERT_TRUE(WaitForLoginRounds());
    }
    static CKorvelSurface* Picture(CWidget* pRow, const char* pName)
    {
        CImageWidget* pImage = widget_cast<CImageWidget*>(pRow->FindWidget(CKorvelString(pName), -1));
        return pImage ? pImage->GetImage() : nullptr;
    }
    bool m_bShipped = false;
    static CExpandable* Expandable(CWidget* pRow) { return widget_cast<CExpandable*>(pRow); }
    // The players of the global list's rows the view shows, whole or in part, top first, and
    // how far the view's top lies inside the first of them.
    std::vector<std::string> InView() const
    {
        std::vector<std::string> aNames;
        CInfiniteList* pList = GlobalList();
        const int iView = pList ? pList->GetShownY() : 0;
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
        {
            CWidget* pRow = pList->GetWidgets()[i];
            const CKorvelRect<int>& a = pRow->GetArea();
            if (!pRow->GetData() || a.bottom <= iView || a.top >= iView + pList->GetHeight())
                continue;
            if (aNames.empty())
                aNames.push_back(std::to_string(iView - a.top));
            aNames.push_back(RowText(pRow, "player_name"));
        }
        return aNames;
    }
    // Every row the view shows, whole or in part (or every row loaded), shows its player and his
    // picture.
    bool RowsInViewShowTheirPlayers(bool bEveryLoaded = false) const
    {
        CInfiniteList* pList = GlobalList();
        const int iView = pList ? pList->GetShownY() : 0;
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
        {
            CWidget* pRow = pList->GetWidgets()[i];
            const CKorvelRect<int>& a = pRow->GetArea();
            const bool bSeen = bEveryLoaded || (a.bottom > iView && a.top < iView + pList->GetHeight());
            if (bSeen && Expandable(pRow) &&
                (!pRow->GetData() || RowText(pRow, "player_name").empty() || !Picture(pRow, "player_avatar")))
                return false;
        }
        return true;
    }
    // Frames until every row has finished resizing.
    void SettleRows()
    {
        for (int i = 0; i < 10; ++i)
            Frame(0.1f);
    }
};

TEST_F(CVornMenuState, ThePlayersPageAsksForTheHeaderAndFillsRowsInBatches)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    ASSERT_NO_FATAL_FAILURE(ShowPlayers());
    const CTestJson header = In("ListPlayers")[0];
    EXPECT_EQ(header["kind"].Int(), 0);
    EXPECT_EQ(header["first"].Int(), -1);
    EXPECT_EQ(header["count"].Int(), 0);

    ASSERT_TRUE(WaitFor([&] { return RowOf(Guest(iOther)) != nullptr; }));
    EXPECT_GE(In("ListPlayers").back()["first"].Int(), 0) << "a batch";
    CWidget* pRow = RowOf(Guest(iOther));
    EXPECT_TRUE(InRow(pRow, "player_status")->GetVisible()) << "online";
    EXPECT_TRUE(InRow(pRow, "button_challenge")->GetVisible());
    EXPECT_TRUE(InRow(pRow, "button_follow")->GetVisible()) << "not followed yet";
    EXPECT_EQ(RowText(pRow, "player_wins_percent"), "0") << "no games";
    EXPECT_EQ(RowText(pRow, "player_followers"), "0/0");
    EXPECT_FALSE(Visible("loading"));
    CWebButton* pReport = widget_cast<CWebButton*>(InRow(pRow, "button-report"));
    ASSERT_NE(pReport, nullptr);
    EXPECT_EQ(Narrow(pReport->GetUrl()), "https://localhost/report.php?player=" + std::to_string(iOther));

    // Each row gets its player's own picture, in both views.
    CWidget* pOwn = RowOf(Guest(Session()->GetOwnUserId()));
    ASSERT_NE(pOwn, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Picture(pRow, "player_avatar") && Picture(pOwn, "player_avatar"); }));
    EXPECT_EQ(Picture(pRow, "player_avatar_small"), Picture(pRow, "player_avatar"));
    EXPECT_NE(Picture(pRow, "player_avatar"), Picture(pOwn, "player_avatar"));

    // An item for a row that is not loaded and a picture of a player without a row change nothing.
    sPLAYERLISTITEM intruder;
    intruder.m_iPlayerId = 4242;
    intruder.m_strName = CKorvelString("intruder");
    ::CVornMenuState::actionFillPlayer(Lobby(), 0, 500, 0, nullptr, &intruder, nullptr, 0);
    EXPECT_EQ(RowOf("intruder"), nullptr);
    const std::string strPng = m_App.Dir() + "/stranger.png";
    ASSERT_TRUE(WriteTestPng(strPng, 2, 2, std::vector<uint8_t>(16, 200)));
    std::vector<unsigned char> aPng;
    {
        std::ifstream in(strPng, std::ios::binary);
        aPng.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    CKorvelSurface* pBefore = Picture(pRow, "player_avatar");
    ::CVornMenuState::actionFillPlayer(Lobby(), 0, 4242, 0, nullptr, nullptr, aPng.data(), (int)aPng.size());
    EXPECT_EQ(Picture(pRow, "player_avatar"), pBefore);

    // A search nobody matches shows "no_results".
    if (CTextWidget* pSearch = FindAs<CTextWidget>("search_text"))
        pSearch->SetText(CKorvelString("nobody-is-called-this"));
    ::CVornMenuState::actionFilterPlayers(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Visible("no_results"); }));
    EXPECT_FALSE(Visible("loading"));
    EXPECT_EQ(In("ListPlayers").back()["filter"].String(), "nobody-is-called-this");
}

TEST_F(CVornMenuState, FollowBlockAndChallengeFromARow)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    ASSERT_NO_FATAL_FAILURE(ShowPlayers());
    ASSERT_TRUE(WaitFor([&] { return RowOf(Guest(iOther)) && RowOf(Guest(Session()->GetOwnUserId())); }));
    CWidget* pRow = RowOf(Guest(iOther));

    ::CVornMenuState::actionFollow(InRow(pRow, "button_follow"), Lobby());
    ASSERT_TRUE(WaitForMessage("BuddyRequest"));
    EXPECT_EQ(Toasts("Following " + Guest(iOther) + ",").size(), 1u);
    EXPECT_FALSE(InRow(pRow, "button_follow")->GetVisible());
    EXPECT_TRUE(InRow(pRow, "button_unfollow")->GetVisible());

    // The acknowledgement clears and sets the mark on the row.
    Lobby()->OnBuddyRequest(Session(), iOther, CVornNetworkSession::LobbyObserver::BUDDY_ACK,
                            CVornNetworkSession::LobbyObserver::BUDDY_REMOVE, CKorvelString(),
                            CKorvelString());
    EXPECT_TRUE(InRow(pRow, "button_follow")->GetVisible());
    Lobby()->OnBuddyRequest(Session(), iOther, CVornNetworkSession::LobbyObserver::BUDDY_ACK,
                            CVornNetworkSession::LobbyObserver::BUDDY_ADD, CKorvelString(), CKorvelString());
    EXPECT_FALSE(InRow(pRow, "button_follow")->GetVisible());

    ::CVornMenuState::actionUnFollow(InRow(pRow, "button_unfollow"), Lobby());
    EXPECT_EQ(Toasts("Not following " + Guest(iOther) + ",").size(), 1u);

    ASSERT_TRUE(WaitFor([&] { return Count("BuddyRequest") == 2u; })) << "the unfollow";
    EXPECT_EQ(In("BuddyRequest")[1]["d"].Int(), 1);

    // Following, blocking or challenging oneself sends nothing: the server would refuse the
    // block, which no toast may claim, and no answer would end the wait for oneself.
    CWidget* pOwn = RowOf(Guest(Session()->GetOwnUserId()));
    ::CVornMenuState::actionFollow(InRow(pOwn, "button_follow"), Lobby());
    CToggleButton* pOwnBlock = widget_cast<CToggleButton*>(InRow(pOwn, "button_block"));
    ASSERT_NE(pOwnBlock, nullptr);
    pOwnBlock->SetToggled(1);
    ::CVornMenuState::actionBlock(pOwnBlock, Lobby());
    EXPECT_EQ(pOwnBlock->GetToggled(), 0u);
    ::CVornMenuState::actionSendChallenge(InRow(pOwn, "button_challenge"), Lobby());
    EXPECT_EQ(Lobby()->GetSelectedPlayers().GetCount(), 0);
    EXPECT_NE(PageName(), "challenge_waiting");
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(Count("BuddyRequest"), 2u);
    EXPECT_EQ(Count("BlockUser"), 0u);
    EXPECT_EQ(Count("MakeChallenge"), 0u);
    EXPECT_EQ(Count("QueueRegisterIn"), 0u);
    EXPECT_TRUE(Toasts("Blocked " + Guest(Session()->GetOwnUserId()) + ",").empty());

    CToggleButton* pBlock = widget_cast<CToggleButton*>(InRow(pRow, "button_block"));
    ASSERT_NE(pBlock, nullptr);
    for (unsigned int uBlock : {1u, 0u})
    {
        pBlock->SetToggled(uBlock);
        ::CVornMenuState::actionBlock(pBlock, Lobby());
    }
    ASSERT_TRUE(WaitFor([&] { return Count("BlockUser") == 2u; }));
    EXPECT_EQ(In("BlockUser")[0]["block"].Int(), 1);
    EXPECT_EQ(In("BlockUser")[1]["block"].Int(), 0);
    EXPECT_EQ(In("BlockUser")[0]["player"].Int(), iOther);
    EXPECT_EQ(Toasts("Blocked " + Guest(iOther) + ",").size(), 1u);
    EXPECT_EQ(Toasts("Unblocked " + Guest(iOther) + ",").size(), 1u);

    // Blocked again and not followed: the refreshed row, drawn anew, shows the block on.
    pBlock->SetToggled(1);
    ::CVornMenuState::actionBlock(pBlock, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Count("BlockUser") == 3u; }));
    pBlock->SetToggled(0);
    const size_t uAsked = Count("ListPlayers");
    ::CVornMenuState::actionFilterPlayers(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Count("ListPlayers") > uAsked + 1 && RowOf(Guest(iOther)); }));
    ASSERT_TRUE(WaitForLobbyQuiet()) << "the refreshed rows";
    pRow = RowOf(Guest(iOther));
    ASSERT_NE(pRow, nullptr);
    EXPECT_TRUE(InRow(pRow, "button_follow")->GetVisible()) << "not followed";
    EXPECT_EQ(widget_cast<CToggleButton*>(InRow(pRow, "button_block"))->GetToggled(), 1u);

    ::CVornMenuState::actionSendChallenge(InRow(pRow, "button_challenge"), Lobby());
    ASSERT_TRUE(WaitForMessage("MakeChallenge"));
    const CTestJson ids = In("MakeChallenge")[0]["ids"];
    ASSERT_EQ(ids.Size(), 1u);
    EXPECT_EQ(ids[0].Int(), iOther);
    EXPECT_EQ(PageName(), "challenge_waiting");
}

TEST_F(CVornMenuState, ResultsOutsideTheKnownThreeFillNothingOnTheOwnCard)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    // Without a loaded card nothing is filled either; neither call may read out of its tables.
    sGAME_SESSION session;
    for (int iResult : {-5, -2, 2, 7})
    {
        session.m_iResult = iResult;
        Lobby()->OnGameSessionInfoReceived(Session(), 0, session);
    }
    EXPECT_EQ(Lobby()->GetSelfItem(), nullptr);
}

TEST_F(CVornMenuState, OfflineAccountsShowTheirProfileAndPercentagesAndTheFilterNarrowsTheList)
{
    const std::string strAlice = "\"location\": \"Harbour\", \"comment\": \"hello\", \"follows\": [\"bob\"], "
                                 "\"matches\": [" +
                                 Match("bob", 1, 100) + ", " + Match("carol", 0, 200) + ", " +
                                 Match("bob", 1, 300) + "]";
    ASSERT_NO_FATAL_FAILURE(StartAs(Store({{"alice", strAlice}, {"bob", ""}}), nullptr));
    ASSERT_NO_FATAL_FAILURE(ShowPlayers());
    ASSERT_TRUE(WaitFor([&] { return RowOf("alice") && RowOf("bob"); }));
    CWidget* pAlice = RowOf("alice");
    EXPECT_FALSE(InRow(pAlice, "player_status")->GetVisible()) << "offline";
    EXPECT_FALSE(InRow(pAlice, "button_challenge")->GetVisible());
    EXPECT_EQ(RowText(pAlice, "player_location"), "Harbour");
    EXPECT_EQ(RowText(pAlice, "player_comment"), "hello");
    EXPECT_EQ(RowText(pAlice, "player_followers"), "0/1");
    EXPECT_EQ(RowText(RowOf("bob"), "player_followers"), "1/0");
    // 2 wins, 1 tie, 0 losses
    const std::vector<std::pair<const char*, const char*>> aStats = {
        {"player_wins", "2"},          {"my_ties", "1"},          {"my_losses", "0"},
        {"player_wins_percent", "66"}, {"my_ties_percent", "33"}, {"my_losses_percent", "0"}};
    for (const auto& stat : aStats)
        EXPECT_EQ(RowText(pAlice, stat.first), stat.second) << stat.first;

    FindAs<CTextWidget>("search_text")->SetText(CKorvelString("ALI"));
    ::CVornMenuState::actionFilterPlayers(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return RowOf("alice") && !RowOf("bob"); }));
    EXPECT_EQ(RowOf(Guest(Session()->GetOwnUserId())), nullptr);
    EXPECT_EQ(In("ListPlayers").back()["filter"].String(), "ALI");

    // Whoever challenges is online: a page listing him offline asks again, with its filter.
    const size_t uAsked = In("ListPlayers").size();
    const int iAlice = static_cast<const sPLAYERLISTITEM*>(RowOf("alice")->GetData())->m_iPlayerId;
    Lobby()->OnChallengeReceived(Session(), iAlice, CKorvelString("alice"), CKorvelString(), 1, 0);
    ASSERT_TRUE(WaitFor([&] { return In("ListPlayers").size() > uAsked; }));
    EXPECT_EQ(In("ListPlayers").back()["filter"].String(), "ALI");
}

TEST_F(CVornMenuState, TheFollowListShowsTheFollowedAccounts)
{
    ASSERT_NO_FATAL_FAILURE(
        StartAs(Store({{"alice", "\"follows\": [\"bob\"]"}, {"bob", ""}, {"carol", ""}}), "alice"));
    ASSERT_NO_FATAL_FAILURE(ShowPlayers());
    // As a page button of the follow page and its action would.
    FindAs<CPageView>("players_content_root")->SwitchToPage(CKorvelString("follow_page"));
    ::CVornMenuState::actionFollowerContext(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return RowIn(FollowList(), "bob") != nullptr; }));
    EXPECT_EQ(In("ListPlayers").back()["kind"].Int(), 64);
    CWidget* pBob = RowIn(FollowList(), "bob");
    EXPECT_FALSE(InRow(pBob, "button_follow")->GetVisible()) << "followed";
    EXPECT_TRUE(InRow(pBob, "button_unfollow")->GetVisible());
    EXPECT_TRUE(InRow(pBob, "button_gift")->GetVisible());
    EXPECT_EQ(RowIn(FollowList(), "carol"), nullptr);
    EXPECT_EQ(RowIn(FollowList(), "alice"), nullptr);

    // A resize keeps the tab and its list, asked for by nobody: the page shown again is not
    // the player opening it.
    const size_t uHeard = Heard();
    m_App.OnScreenChanged(800, 480);
    Frame(0.02f);
    EXPECT_NE(RowIn(FollowList(), "bob"), nullptr);
    EXPECT_EQ(AskedSince(uHeard), PromotionsAskedAgain(1));
    EXPECT_EQ(Narrow(FindAs<CPageView>("players_content_root")->GetCurrentPage()->GetName()), "follow_page");
    EXPECT_TRUE(Visible("follow_page"));
    EXPECT_FALSE(Visible("global_page"));
}

TEST_F(CVornMenuState, TheOwnCardShowsTheRecordedMatchesAndIgnoresAResultOutsideTheThree)
{
    m_Texts[42] = "lost";
    m_Texts[43] = "tie";
    m_Texts[44] = "won";
    // Seven matches, the store's last the newest: the card's six rows take the newest six.
    std::string strAlice = "\"matches\": [" + Match("zoe", 1, 10);
    for (const char* pOld : {"d5", "d4", "d3", "d2"})
        strAlice += ", " + Match(pOld, -1, 20);
    strAlice += ", " + Match("bob", 1, 100) + ", " + Match("carol", 0, 200) + "]";
    ASSERT_NO_FATAL_FAILURE(StartAs(Store({{"alice", strAlice}, {"bob", ""}, {"carol", ""}}), "alice"));
    CWidget* pCard = Find("self_card");
    ASSERT_NE(pCard, nullptr);
    ::CVornMenuState::actionLoadSelf(pCard, Lobby());
    EXPECT_EQ(Lobby()->GetSelfItem(), pCard);
    ASSERT_TRUE(WaitFor([&] { return TextOf("my_result_2") == "won" && Picture(pCard, "player_avatar"); }));
    EXPECT_EQ(In("GetLatestGameSessions")[0]["a"].Int(), 6) << "as many as the card has rows";
    EXPECT_EQ(TextOf("my_opponent_6"), "d5");
    EXPECT_EQ(TextOf("my_result_6"), "lost");
    EXPECT_EQ(TextOf("my_opponent_5"), "d4");
    EXPECT_EQ(RowText(pCard, "player_name"), "alice");
    // Newest first: the tie, then the win.
    EXPECT_EQ(TextOf("my_result_1"), "tie");
    EXPECT_EQ(FindAs<CTextWidget>("my_result_1")->GetColor(), 0xFFFFCC00u);
    EXPECT_EQ(TextOf("my_points_1"), "1");
    EXPECT_EQ(TextOf("my_opponent_1"), "carol");
    EXPECT_EQ(FindAs<CTextWidget>("my_result_2")->GetColor(), 0xFF00FF00u);
    EXPECT_EQ(TextOf("my_points_2"), "3");
    EXPECT_EQ(TextOf("my_opponent_2"), "bob");

    // A result of -5 fills nothing; the loss after it in the same answer still shows.
    m_pControl->Send(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId()), "latest_game_sessions",
                     "[[[0, -5, 9, 0, \"zed\", \"01.01.2026 10:00:00\"], "
                     "[0, -1, 0, 0, \"yan\", \"01.01.2026 10:00:00\"]]]");
    ASSERT_TRUE(WaitFor([&] { return TextOf("my_result_2") == "lost"; }));
    EXPECT_EQ(FindAs<CTextWidget>("my_result_2")->GetColor(), 0xFFFF0000u);
    EXPECT_EQ(TextOf("my_opponent_2"), "yan");
    EXPECT_EQ(TextOf("my_result_1"), "tie");
    EXPECT_EQ(TextOf("my_points_1"), "1");
    EXPECT_EQ(TextOf("my_opponent_1"), "carol");
    // The card was loaded by hand, not by a list: its record is freed the same way.
    ::CVornMenuState::actionUnloadSelf(pCard, Lobby());
    EXPECT_EQ(pCard->GetData(), nullptr);
}

// One row expanded at a time, scrolled into view. A search asked for, the list scrolled a few
// rows down and a card open there: the window sizes a tiling window manager gives one after
// another show in their first frame the field, the rows it filters, the rows in view and the
// open card, each row by its player, and ask the server for none of it again.
TEST_F(CVornMenuState, OneRowIsExpandedAtATimeTheListScrollsItIntoViewAndAResizeKeepsBoth)
{
    std::vector<std::pair<std::string, std::string>> aAccounts;
    for (int i = 0; i < 40; ++i)
        aAccounts.push_back({"player" + std::to_string(10 + i), ""});
    aAccounts.push_back({"bob", ""});
    ASSERT_NO_FATAL_FAILURE(StartAs(Store(aAccounts), nullptr));
    ASSERT_NO_FATAL_FAILURE(ShowPlayers());
    ASSERT_TRUE(WaitFor([&] { return RowOf("player10") && RowOf("player11"); }));
    CExpandable* pFirst = Expandable(RowOf("player10"));
    CExpandable* pSecond = Expandable(RowOf("player11"));
    ASSERT_TRUE(pFirst && pSecond);

    ::CVornMenuState::actionExpandListItem(pFirst, Lobby());
    SettleRows();
    EXPECT_EQ(pFirst->GetExpansionLevel(), 1);
    EXPECT_TRUE(InRow(pFirst, "list_item_big")->GetVisible());
    EXPECT_FALSE(InRow(pFirst, "list_item_small")->GetVisible());

    ::CVornMenuState::actionExpandListItem(pSecond, Lobby());
    SettleRows();
    EXPECT_EQ(Lobby()->GetExpandedItem(), pSecond);
    EXPECT_EQ(pFirst->GetExpansionLevel(), 0) << "one at a time";
    EXPECT_TRUE(InRow(pFirst, "list_item_small")->GetVisible());
    EXPECT_FALSE(InRow(pFirst, "list_item_big")->GetVisible());

    // Details: 1 -> 2 -> 1; the "nasty" buttons show only at level 2.
    CWidget* pDetails = InRow(pSecond, "details_button");
    for (int iLevel : {2, 1})
    {
        ::CVornMenuState::actionPlayerDetails(pDetails, Lobby());
        SettleRows();
        EXPECT_EQ(pSecond->GetExpansionLevel(), iLevel);
    }
    EXPECT_EQ(::CVornMenuState::actionExpandNastyButtons(nullptr, Lobby()), 1);
    SettleRows();
    EXPECT_EQ(pSecond->GetExpansionLevel(), 2);
    EXPECT_TRUE(InRow(pSecond, "playerlist-item-nasty-buttons")->GetVisible());
    ::CVornMenuState::actionExpandNastyButtons(nullptr, Lobby());
    SettleRows();
    EXPECT_EQ(pSecond->GetExpansionLevel(), 1);
    EXPECT_FALSE(InRow(pSecond, "playerlist-item-nasty-buttons")->GetVisible());

    // Closing it; then a row at the bottom of the view grows past it and the list follows.
    ::CVornMenuState::actionExpandListItem(pSecond, Lobby());
    SettleRows();
    EXPECT_EQ(pSecond->GetExpansionLevel(), 0);
    CInfiniteList* pList = GlobalList();
    EXPECT_EQ(pList->GetTop(), 0);
    CExpandable* pLow = nullptr;
    for (int i = 0; i < pList->GetWidgets().GetCount() && !pLow; ++i)
    {
        CExpandable* pRow = Expandable(pList->GetWidgets()[i]);
        if (pRow && pRow->GetData() && pRow->GetArea().top < pList->GetHeight() &&
            pRow->GetArea().top + pRow->GetExpansionHeight(1) > pList->GetHeight())
            pLow = pRow;
    }
    ASSERT_NE(pLow, nullptr) << "a row at the bottom edge";
    ::CVornMenuState::actionExpandListItem(pLow, Lobby());
    SettleRows();
    EXPECT_GT(pList->GetTop(), 0);
    EXPECT_LE(pLow->GetArea().top + pLow->GetTargetHeight(), pList->GetTop() + pList->GetHeight());
    ::CVornMenuState::actionExpandListItem(pLow, Lobby());
    SettleRows();

    m_App.OnScreenChanged(1024, 600);
    FindAs<CTextWidget>("search_text")->SetText(CKorvelString("e"));
    ::CVornMenuState::actionFilterPlayers(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return RowOf("player10") && RowOf("player25"); }));
    EXPECT_EQ(RowOf("bob"), nullptr);
    pList = GlobalList();
    // Past the list's first window of rows, the view starts a little above the next row: in a
    // smaller window that is further down.
    ASSERT_TRUE(WaitFor(
        [&]
        {
            if (RowOf("player33") && RowOf("player36"))
                return true;
            pList->scrollTo(0, pList->GetShownY() + pList->GetHeight(), 0.0f, 0.0f);
            return false;
        }));
    pList->scrollTo(0, pList->GetClientArea().top + RowOf("player33")->GetArea().bottom - 3, 0.0f, 0.0f);
    ::CVornMenuState::actionExpandListItem(RowOf("player35"), Lobby());
    SettleRows();
    ASSERT_GT(pList->GetFirstLoadedIndex(), 0);
    const std::vector<std::string> aInView = InView();
    ASSERT_EQ(aInView.size() > 1 ? aInView[1] : "", "player33");
    auto Kept = [&]
    {
        CExpandable* pOpen = Expandable(RowOf("player35"));
        return InView() == aInView && pOpen && pOpen->GetExpansionLevel() == 1 &&
               Lobby()->GetExpandedItem() == pOpen && InRow(pOpen, "list_item_big")->GetVisible();
    };
    ASSERT_TRUE(Kept());
    // The first frame at each size shows the same row at the view's top and the card open,
    // every row in view with its player and his picture; nothing is asked of the server again.
    const size_t uHeard = Heard();
    const std::pair<int, int> aSizes[] = {{640, 400}, {800, 480},  {1200, 700},
                                          {640, 400}, {1580, 700}, {1024, 600}};
    for (const std::pair<int, int>& size : aSizes)
    {
        SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
        m_App.OnScreenChanged(size.first, size.second);
        Frame(0.02f);
        const std::vector<std::string> aNow = InView();
        EXPECT_EQ(aNow.size() > 1 ? aNow[1] : "", "player33") << ::testing::PrintToString(aNow);
        EXPECT_EQ(Lobby()->GetExpandedItem(), RowOf("player35"));
        EXPECT_TRUE(RowsInViewShowTheirPlayers());
    }
    EXPECT_TRUE(Kept()) << "in view: " << ::testing::PrintToString(InView());
    EXPECT_EQ(AskedSince(uHeard), PromotionsAskedAgain(std::size(aSizes)));
    EXPECT_EQ(TextOf("search_text"), "e");
    EXPECT_EQ(RowOf("bob"), nullptr) << "the list as the field filters it";
    // A search typed but not yet asked for stays typed; the list stays as it was asked for.
    FindAs<CTextWidget>("search_text")->SetText(CKorvelString("bob"));
    m_App.OnScreenChanged(1024, 600);
    Frame(0.02f);
    EXPECT_TRUE(Kept()) << "in view: " << ::testing::PrintToString(InView());
    EXPECT_EQ(TextOf("search_text"), "bob");
    EXPECT_EQ(In("ListPlayers").back()["filter"].String(), "e");
    pList = GlobalList();

    // Scrolled to the end, the list asks for the rows after the first window and fills them.
    EXPECT_EQ(RowOf("player49"), nullptr);
    // Each scroll reaches the end of the rows held so far; the window moves on behind it.
    ASSERT_TRUE(WaitFor(
        [&]
        {
            pList->scrollTo(0, 100000, 0.0f, 0.0f);
            return RowOf("player49") != nullptr;
        }));
    bool bLaterBatch = false;
    for (const CTestJson& request : In("ListPlayers"))
        bLaterBatch = bLaterBatch || request["first"].Int() > 0;
    EXPECT_TRUE(bLaterBatch);

    // Back at the top, every row the window takes in again is asked for and shows its player.
    ASSERT_GT(pList->GetFirstLoadedIndex(), 0);
    ASSERT_TRUE(WaitFor(
        [&]
        {
            pList->scrollTo(0, 0, 0.0f, 0.0f);
            return pList->GetFirstLoadedIndex() == 0;
        }));
    EXPECT_TRUE(WaitFor([&] { return RowsInViewShowTheirPlayers(true); }))
        << ::testing::PrintToString(InView());
}

TEST_F(CVornMenuState, TheShippedRowsShowThePlayerExpandAndFollow)
{
    m_bShipped = true;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    ::CVornMenuState::actionGuestLogin(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
    ASSERT_TRUE(WaitForMessage("GetThemePack"));
    ASSERT_TRUE(WaitForLobbyQuiet()) << "the login's rounds";
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    ASSERT_NO_FATAL_FAILURE(ShowPlayers());
    ASSERT_TRUE(WaitFor([&] { return RowOf(Guest(iOther)) != nullptr; }));
    CExpandable* pRow = Expandable(RowOf(Guest(iOther)));
    ASSERT_NE(pRow, nullptr);
    CWidget* pBig = InRow(pRow, "list_item_big");
    ASSERT_NE(pBig, nullptr);
    EXPECT_TRUE(InRow(pRow, "challenge_button")->GetVisible()) << "online";
    CWidget* pOwnRow = RowOf(Guest(Session()->GetOwnUserId()));
    ASSERT_NE(pOwnRow, nullptr);
    EXPECT_FALSE(InRow(pOwnRow, "challenge_button")->GetVisible()) << "nobody challenges himself";
    EXPECT_FALSE(InRow(pOwnRow, "button_challenge")->GetVisible());
    EXPECT_FALSE(InRow(pOwnRow, "button_follow")->GetVisible()) << "nor follows himself";
    // Nor gifts to, unfollows or blocks himself, even were the server to mark him so; the
    // button that opens the unfollow and block row goes with them.
    static_cast<sPLAYERLISTITEM*>(pOwnRow->GetData())->m_iFlags |= PLAYER_FOLLOWED | PLAYER_BLOCKED;
    Lobby()->UpdatePlayerWidget(pOwnRow);
    for (const char* pName : {"button_gift", "text_gift", "details_button", "button_unfollow",
                              "text_unfollow", "button_block", "text_block"})
        EXPECT_FALSE(InRow(pOwnRow, pName)->GetVisible()) << pName;
    EXPECT_TRUE(InRow(pRow, "details_button")->GetVisible());
    EXPECT_TRUE(InRow(pRow, "button_block")->GetVisible());
    EXPECT_TRUE(InRow(pRow, "button_follow")->GetVisible());
    // A player the server lists as busy (in a match or queued) would only be answered so: no
    // challenge is offered, though he stays online.
    sPLAYERLISTITEM* pOther = static_cast<sPLAYERLISTITEM*>(pRow->GetData());
    pOther->m_iFlags |= PLAYER_BUSY;
    Lobby()->UpdatePlayerWidget(pRow);
    for (const char* pName : {"challenge_button", "button_challenge", "text_challenge"})
        EXPECT_FALSE(InRow(pRow, pName)->GetVisible()) << pName;
    EXPECT_TRUE(InRow(pRow, "player_status")->GetVisible());
    pOther->m_iFlags &= ~PLAYER_BUSY;
    Lobby()->UpdatePlayerWidget(pRow);
    EXPECT_EQ(RowText(pBig, "player_followers"), "0/0");
    EXPECT_EQ(RowText(pBig, "player_wins_percent"), "0");
    CWebButton* pReport = widget_cast<CWebButton*>(InRow(pRow, "button-report"));
    ASSERT_NE(pReport, nullptr);
    EXPECT_NE(Narrow(pReport->GetUrl()).find("player=" + std::to_string(iOther)), std::string::npos);
    // Each player's own picture replaces the shared default, in both views.
    ASSERT_TRUE(WaitFor(
        [&]
        {
            CWidget* pOwn = RowOf(Guest(Session()->GetOwnUserId()));
            return pOwn && Picture(pRow, "player_avatar") != Picture(pOwn, "player_avatar") &&
                   Picture(pRow, "player_avatar_small") == Picture(pRow, "player_avatar");
        }));

    ::CVornMenuState::actionExpandListItem(pRow, Lobby());
    SettleRows();
    EXPECT_EQ(pRow->GetExpansionLevel(), 1);
    EXPECT_TRUE(pBig->GetVisible());
    EXPECT_FALSE(InRow(pRow, "list_item_small")->GetVisible());
    EXPECT_EQ(RowText(pBig, "player_name"), Guest(iOther));

    // The nasty buttons have a level of their own above the card.
    ::CVornMenuState::actionExpandNastyButtons(nullptr, Lobby());
    SettleRows();
    EXPECT_EQ(pRow->GetExpansionLevel(), 2);
    EXPECT_TRUE(InRow(pRow, "playerlist-item-nasty-buttons")->GetVisible());

    ::CVornMenuState::actionFollow(InRow(pBig, "button_follow"), Lobby());
    ASSERT_TRUE(WaitForMessage("BuddyRequest"));
    EXPECT_FALSE(InRow(pBig, "button_follow")->GetVisible());
    EXPECT_TRUE(InRow(pBig, "button_gift")->GetVisible());
    EXPECT_TRUE(InRow(pRow, "button_unfollow")->GetVisible());

    // The list buttons turn the content to their own list's page and ask for that list.
    CPageView* pContent = FindAs<CPageView>("players_content_root");
    ASSERT_NE(pContent, nullptr);
    CPageButton* pFollowButton = FindAs<CPageButton>("follow_button");
    ASSERT_NE(pFollowButton, nullptr);
    const size_t uAsked = In("ListPlayers").size();
    pFollowButton->click();
    SettleRows();
    ASSERT_NE(pContent->GetCurrentPage(), nullptr);
    EXPECT_EQ(Narrow(pContent->GetCurrentPage()->GetName()), "follow_page");
    ASSERT_TRUE(WaitFor([&] { return In("ListPlayers").size() > uAsked; }));
    EXPECT_EQ(In("ListPlayers").back()["kind"].Int(), 64);
    CPageButton* pGlobalButton = FindAs<CPageButton>("global_button");
    ASSERT_NE(pGlobalButton, nullptr);
    pGlobalButton->click();
    SettleRows();
    EXPECT_EQ(Narrow(pContent->GetCurrentPage()->GetName()), "global_page");
}

} // namespace
