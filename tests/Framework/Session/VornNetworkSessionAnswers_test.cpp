// The lobby pages' requests and answers against the project's lobby server: every
// request in the form the server's strict schema takes, the guards that keep one from
// being sent, and every answer, sent in the server's canonical form, at its observer.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "support/SessionServerTest.h"
#include "support/TestText.h"

namespace
{

class CVornNetworkSession : public CSessionServerTest
{
protected:
    CKorvelArray<int> Ints(std::initializer_list<int> values)
    {
        CKorvelArray<int> a;
        for (int v : values)
            a.Add(v);
        return a;
    }
    int m_iUser = 0;
};

TEST_F(CVornNetworkSession, EveryAnswerReachesItsObserverDecoded)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_iUser = LoginGuest(Session(), m_Rec);
    ASSERT_GT(m_iUser, 0);
    Settle();
    struct sCASE
    {
        const char* pWriter;
        const char* pArgs;
        std::vector<std::string> aLines; // what the recorder shows, in order
    };
    const sCASE aCases[] = {
        {"achievement_list", R"([1, 2, 3, [[4, 5, "a", "b", "c", "d"]], 6])", {"OnAchievementList(1,2,3,6)"}},
        {"tournament_scores",
         R"([["weekly", "monthly"], [[1001, [5, 6]], [1002, [7, 8]]], 2])",
         {"OnTournamentScores(2,2)"}},
        {"buddy_request", R"([1005, 1001, 1, 0, "hi", "there"])", {"OnBuddyRequest(1005,1,0,hi,there)"}},
        {"buddy_request",
         R"({"player": 1006, "other": 1001, "kind": 1, "action": 1, "text1": "ok", "ack": true})",
         {"OnBuddyRequest(1006,3,1,ok,)"}},
        {"notification", R"([7, "hello", 2])", {"OnNotification(7,2,hello)"}},
        {"image_and_link",
         R"(["moregames", {"hex": "0102"}, "http://x", "label", "t"])",
         {"OnImageAndLink(moregames,2)"}},
        {"latest_game_sessions",
         R"([[[0, 1, 3, 0, "bob", "24.12.2011 18:05:00"], [0, -1, 0, 0, "eve", "1.1.2012 0:0:0"]]])",
         {"OnGameSessionInfoReceived(0)", "OnGameSessionInfoReceived(1)"}},
        {"advertisement_info",
         R"(["ad", "link", {"hex": "0a0b0c"}, 1000, 2000, [1, 2], "ok", 2, "title", "tl"])",
         {"OnAdvertisement(ad)"}},
        {"shop_item_data", R"([7, 0, {"hex": "010203"}, 5])", {"OnShopItemData(7,0,3,5)"}},
        {"shop_item_data", R"([7, 3, {"hex": ""}, 0])", {}},
        {"wallet_balance", "[250]", {"OnWalletBalance(250)"}},
        {"shop_item_image", R"([7, 1, {"hex": "0a0b"}])", {"OnShopItemImage(7,1,2)"}},
        {"shop_item_image", R"([7, 1, {"hex": ""}])", {}},
        {"buy_item_response", R"([7, 1, "err", [[1001, "a", "b"]]])", {"OnBuyItemResponce(7,1,err)"}},
        {"confirm_buy_item_response", R"([7, 1, "e"])", {"OnConfirmBuyItemResponce(7,1,e)"}},
        {"update_item_state_response", R"([7, 1, "e", 8])", {"OnUpdateItemStateResponse(7,1,e,8)"}},
        {"player_gift_items",
         R"([3, "e", [[1, "a", "b", "c", 1, 2, 3, 4, 5, 6, 7, 8, 9, "d", 10]]])",
         {"OnPlayerGiftItems(3,e)"}},
        {"confirm_buy_player_items_response", R"([1, 2, "e"])", {"OnConfirmBuyPlayerItemsResponse(1,2,e)"}},
        // No callback is registered for this key: nothing happens.
        {"key_value", R"(["other", "x"])", {}},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pWriter) + c.pArgs);
        const size_t uBefore = m_Rec.m_aLines.size();
        m_pControl->Send(sLOBBY_TARGET::Lobby(m_iUser), c.pWriter, c.pArgs);
        ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iUser)));
        const std::vector<std::string> aNew(m_Rec.m_aLines.begin() + static_cast<long>(uBefore),
                                            m_Rec.m_aLines.end());
        EXPECT_EQ(aNew, c.aLines);
    }
    EXPECT_EQ(Session()->GetStatus() & 0xFF, 5u);
}

TEST_F(CVornNetworkSession, EveryRequestPassesTheStrictSchema)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_iUser = LoginGuest(Session(), m_Rec);
    ASSERT_GT(m_iUser, 0);
    ::CVornNetworkSession& s = *Session();
    const CKorvelArray<int> aIds = Ints({m_iUser, 1002});
    s.SendRequestAd();
    s.SendWalletBalance();
    s.SendGetPossibleGiftItems(1002);
    s.SendBuyItem(7, 0x801);
    s.SendUseItem(7, 2);
    s.SendUpdateItemState(7, 5);
    s.SendGetShopItemData(7, 16384, 16384);
    s.SendGetShopItemImage(aIds, 1);
    s.SendConfirmBuyItem(7, 1, &aIds);
    s.SendConfirmBuyItem(8, 0);
    s.SendConfirmBuyPlayerItems(1002, 0, aIds);
    s.SendBlockUser(1002, 9);
    s.SendGetTournamentScores(aIds, 2, 1);
    s.SendGetAchievementList(1, 2, 3, 4);
    s.SendGetImageAndLink(CKorvelString("moregames"), CKorvelString(""));
    s.SendGetLanguagePack(CKorvelString("de"), CKorvelString("vornlanguage"));
    s.SendChangeLanguage(CKorvelString("de"));
    s.SendGetLatestGameSessions(6, -1);
    s.SendGetLatestGameSessions(6, 2);
    s.SendChallenge(aIds, CKorvelString(""));
    s.SendChallengeResponse(1002, 0, CKorvelString("no"));
    s.SendBuddyRequest(1002, 1, 0, CKorvelString("hi"));
    s.SendBuddyRequest(1002, 3, 1, CKorvelString("ok"));
    s.SendBuddyRequest(1002, 2, 0, CKorvelString("never"));
    s.SendGetGameSessionPlayers(nullptr, nullptr);
    s.SendGetPlayerImage(1002, 0, CKorvelString("p"), nullptr, nullptr);
    s.SendPlayerListRequest(0, CKorvelString("gu"), 0, 0, -1, 0, nullptr, nullptr);
    ASSERT_TRUE(WaitFor([this] { return In("ListPlayers").size() == 1; }));
    Settle();

    struct sCASE
    {
        const char* pName;
        size_t uCount;
    };
    const sCASE aCases[] = {
        {"RequestAd", 1},
        {"GetWalletBalance", 1},
        {"GetPossibleGiftItems", 1},
        {"BuyItem", 1},
        {"UseItem", 1},
        {"UpdateItemState", 1},
        {"GetShopItemData", 1},
        {"GetShopItemImage", 1},
        {"ConfirmBuyItem", 2},
        {"ConfirmBuyPlayerItems", 1},
        {"BlockUser", 1},
        {"GetTournamentScores", 1},
        {"GetAchievementList", 1},
        {"GetImageAndLink", 1},
        {"GetLanguagePack", 1},
        {"ChangeLanguageMessage", 1},
        {"GetLatestGameSessions", 2},
        {"MakeChallenge", 1},
        {"ChallengeResponse", 1},
        {"BuddyRequest", 1},
        {"BuddyRequestACK", 1},
        {"GetGameSessionPlayers", 1},
        {"GetPlayerImage", 1},
        {"ListPlayers", 1},
    };
    for (const sCASE& c : aCases)
        EXPECT_EQ(In(c.pName).size(), c.uCount) << c.pName;

    // The values as the server read them.
    const std::string strUser = std::to_string(m_iUser);
    EXPECT_EQ(In("UpdateItemState")[0]["state"].Int(), 1);
    EXPECT_EQ(In("BlockUser")[0]["block"].Int(), 1);
    EXPECT_EQ(In("ConfirmBuyItem")[0]["recipients"].Items().size(), 2u);
    EXPECT_TRUE(In("ConfirmBuyItem")[1]["recipients"].IsNull());
    EXPECT_TRUE(In("GetLatestGameSessions")[0]["b"].IsNull());
    EXPECT_EQ(In("GetLatestGameSessions")[1]["b"].Int(), 2);
    const CTestJson answer = In("ChallengeResponse")[0];
    EXPECT_EQ(answer["answer"].Int(), 0);
    EXPECT_EQ(answer["app"].Int(), 64);
    EXPECT_EQ(answer["own"].Int(), m_iUser);
    EXPECT_EQ(answer["challenger"].Int(), 1002);
    EXPECT_EQ(answer["t2"].String(), "no");
    const CTestJson buddy = In("BuddyRequest")[0];
    EXPECT_EQ((std::vector<long long>{buddy["b"].Int(), buddy["a"].Int(), buddy["c"].Int()}),
              (std::vector<long long>{1002, m_iUser, 1}));
    const CTestJson ack = In("BuddyRequestACK")[0];
    EXPECT_EQ((std::vector<long long>{ack["b"].Int(), ack["a"].Int(), ack["c"].Int(), ack["d"].Int()}),
              (std::vector<long long>{m_iUser, 1002, 1, 1}));
    EXPECT_EQ(In("ListPlayers")[0]["first"].Int(), -1);
    EXPECT_EQ(In("ListPlayers")[0]["filter"].String(), "gu");
}

TEST_F(CVornNetworkSession, RequestsWhoseGuardFailsSendNothing)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_iUser = LoginGuest(Session(), m_Rec);
    ASSERT_GT(m_iUser, 0);
    Session()->Disconnect();
    Settle();
    const size_t uBefore = m_pServer->Lines("in").size();
    Session()->SendWalletBalance();
    Session()->SendGetTournamentScores(Ints({1}), 2, 1);
    Session()->SendGetGameSessionPlayers(nullptr, nullptr);
    Session()->SendChallenge(Ints({1}), CKorvelString(""));
    EXPECT_EQ(Session()->GetStatus() & 0xFF, 0u);
    Settle();
    EXPECT_EQ(m_pServer->Lines("in").size(), uBefore);
}

} // namespace
