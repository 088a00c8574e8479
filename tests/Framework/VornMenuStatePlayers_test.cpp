// The player lists filled by the lobby server, following, blocking and challenges sent from a
// row, with a second guest as the other player.
// KORVEL_GL_TEST
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/ToggleButton.h"
#include "VornMenuStateMatchTest.h"

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

// One list page with its row template, as the shipped players page has it.
std::string ListPage(const char* pPage, const char* pList, const char* pPrefix)
{
    const std::string strPrefix(pPrefix);
    const std::string strRow =
        "<element name=\"item_template\" type=\"expand_layout\"><size w=\"0.9\" h=\"0.1\"/>"
        "<height value=\"0.1\"/><height value=\"0.3\"/><transition-time value=\"0.2\"/>" +
        Text("player_name") + Box("player_status", "widget") + Text("player_followers") +
        Button("button_challenge", "button", "send_challenge") + Button("button_follow", "button", "follow") +
        Button("button_unfollow", "button", "unfollow") + Button("button_block", "toggle_button", "block") +
        Text("player_wins") + Text("player_wins_percent") + Text("my_ties_percent") + Text("my_losses_percent") +
        "</element>";
    return Page(pPage, "<element name=\"" + std::string(pList) +
                           "\" type=\"infinite_list\"><size w=\"0.9\" h=\"0.7\"/><page-size value=\"10\"/>"
                           "<events><onloaditem action=\"load_" + strPrefix + "_item\"/>"
                           "<onloaditembatch action=\"load_" + strPrefix + "_item_batch\"/>"
                           "<onforgetitem action=\"unload_" + strPrefix + "_item\"/></events>" +
                           strRow + "</element>" + Text("no_results") + Box("loading", "widget"));
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
        const std::string strPlayers =
            Page("players_root",
                 InputText("search_text") +
                     "<element name=\"players_content_root\" type=\"page_layout\"><size w=\"1.0\" h=\"1.0\"/>" +
                     ListPage("global_page", "playerlist_global", "playerlist") +
                     ListPage("follow_page", "playerlist_follow", "follow") + "</element>",
                 "show_players_root");
        std::string strPages = MenuPages();
        const std::string strEnd = "</element>\n";
        strPages.insert(strPages.rfind(strEnd), strPlayers);
        m_strLayout = MenuLayout(strPages + VornButton() + Dialogs());
    }
    CInfiniteList* GlobalList() const { return FindAs<CInfiniteList>("playerlist_global"); }
    // The loaded row that shows the name, or null.
    CWidget* RowOf(const std::string& strName) const
    {
        CInfiniteList* pList = GlobalList();
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
        {
            CWidget* pRow = pList->GetWidgets()[i];
            CTextWidget* pText = widget_cast<CTextWidget*>(pRow->FindWidget(CKorvelString("player_name"), -1));
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
    }
    static std::string Guest(int iId) { return "guest" + std::to_string(iId); }
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
                            CVornNetworkSession::LobbyObserver::BUDDY_REMOVE, CKorvelString(), CKorvelString());
    EXPECT_TRUE(InRow(pRow, "button_follow")->GetVisible());
    Lobby()->OnBuddyRequest(Session(), iOther, CVornNetworkSession::LobbyObserver::BUDDY_ACK,
                            CVornNetworkSession::LobbyObserver::BUDDY_ADD, CKorvelString(), CKorvelString());
    EXPECT_FALSE(InRow(pRow, "button_follow")->GetVisible());

    ::CVornMenuState::actionUnFollow(InRow(pRow, "button_unfollow"), Lobby());
    EXPECT_EQ(Toasts("Not following " + Guest(iOther) + ",").size(), 1u);

    ASSERT_TRUE(WaitFor([&] { return Count("BuddyRequest") == 2u; })) << "the unfollow";
    EXPECT_EQ(In("BuddyRequest")[1]["d"].Int(), 1);

    // Following oneself sends nothing.
    CWidget* pOwn = RowOf(Guest(Session()->GetOwnUserId()));
    ::CVornMenuState::actionFollow(InRow(pOwn, "button_follow"), Lobby());
    Settle();
    EXPECT_EQ(Count("BuddyRequest"), 2u);

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

} // namespace
