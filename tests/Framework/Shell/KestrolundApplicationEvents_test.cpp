// The application object as the session's observer, and the operations that reach back:
// chat, results and rematch, log-out, lobby pages and advertisements, all against the
// recording doubles of the session, the lobby, the game and the overlays.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <memory>

#include "support/TestAudio.h"
#include "support/TestKestrolundApplication.h"
#include "tests/Framework/Shell/ShellTestState.h"
#include "tests/Framework/Shell/ShellTestStats.h"

namespace
{

const int OWN_ID = 17;
const int OTHER_ID = 23;

typedef std::vector<std::string> Entries;

// A test application through the splash: the lobby state in front, the session up with
// the own id, the log empty.
std::unique_ptr<CTestKestrolundApplication> StartedApp()
{
    std::unique_ptr<CTestKestrolundApplication> pApp(new CTestKestrolundApplication);
    pApp->m_SessionScript.iOwnUserId = OWN_ID;
    pApp->m_SessionScript.uStatus = 5;
    if (!pApp->WritePacks() || pApp->Start() != KE_OK || !pApp->RunSplash())
        return nullptr;
    pApp->m_Log.Clear();
    return pApp;
}

// Named after the class under test; the class itself is ::CKestrolundApplication here.
class CKestrolundApplication : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = StartedApp();
        ASSERT_NE(m_pApp, nullptr);
    }
    CTestKestrolundApplication& App() { return *m_pApp; }
    CTestCallLog& Log() { return m_pApp->m_Log; }
    CVornNetworkSession* Session() { return m_pApp->GetNetworkSession(); }
    // A state in front of the lobby after the next frame.
    void PutStateInFront()
    {
        CShellTestState* pFront = new CShellTestState(Log(), "front");
        ASSERT_EQ(App().AddState(pFront), KE_OK);
        App().FocusState(pFront);
        App().Frame(0.1f);
        ASSERT_EQ(App().GetState(0), pFront);
        Log().Clear();
    }
    void MakeAdvertisement()
    {
        const CKorvelArray<int> aFrames;
        App().OnAdvertisement(CKorvelString("ad"), CKorvelString(), 0, nullptr, 0, 0, aFrames,
                              CKorvelString(), 0, CKorvelString(), CKorvelString());
        ASSERT_NE(App().GetAdvertisement(), nullptr);
    }

    std::unique_ptr<CTestKestrolundApplication> m_pApp;
};

CKorvelArray<int> Ints(std::initializer_list<int> values)
{
    CKorvelArray<int> aOut;
    for (int iValue : values)
        aOut.Add(iValue);
    return aOut;
}

TEST_F(CKestrolundApplication, FilterBitFourKeepsChallengesAndTheirImagesFromTheLobby)
{
    unsigned char aImage[] = {9, 8};
    for (unsigned int uFilter : {0u, 1u, 2u, 3u, 4u, 5u, 7u})
    {
        SCOPED_TRACE(uFilter);
        App().SetNotificationFilter(uFilter);
        Log().Clear();
        App().OnChallengeReceived(Session(), OTHER_ID, CKorvelString("Brin"), CKorvelString("hi"), 3, 1200);
        App().OnChallengeResponse(Session(), OTHER_ID, CKorvelString("Brin"), CKorvelString("no"), 0);
        App().OnChallengeImageReceived(Session(), OTHER_ID, aImage, 2);
        EXPECT_EQ(Log().Count("lobby.OnChallenge"), (uFilter & 4) ? 0 : 3);
    }
}

TEST_F(CKestrolundApplication, QueueUpdatesReachTheLobbyOnlyForThisGameAndUnchanged)
{
    struct sCASE
    {
        int iA, iAppId, iStatus;
        bool bForwarded;
    };
    const sCASE aCases[] = {
        {2, 64, 0, true},  {2, 64, -1, true}, {2, 64, -2, true},  {0, 64, 5, true},
        {2, 65, 0, false}, {2, 0, -1, false}, {64, 2, 64, false}, {2, -1, -1, false},
    };
    for (const sCASE& c : aCases)
    {
        const std::string strArgs =
            std::to_string(c.iA) + "," + std::to_string(c.iAppId) + "," + std::to_string(c.iStatus);
        SCOPED_TRACE(strArgs);
        Log().Clear();
        App().OnQueueUpdate(Session(), c.iA, c.iAppId, c.iStatus);
        EXPECT_EQ(Log().Entries(),
                  c.bForwarded ? Entries{"lobby.OnQueueUpdate(" + strArgs + ")"} : Entries{});
    }
    Log().Clear();
    App().OnQueueCancelled(Session());
    EXPECT_TRUE(Log().Entries().empty());
}

TEST_F(CKestrolundApplication, TheOtherLobbyCallbacksArriveWithTheirArguments)
{
    CKorvelString strName("Brin"), strText("ok");
    unsigned char aData[] = {1, 2, 3};
    CKorvelArray<CASN1AvailableItemDatas::sItemData> aAvailable;
    aAvailable.Add(CASN1AvailableItemDatas::sItemData());
    CKorvelArray<CASN1ShopItemGroups::sGroupData> aGroups;
    CKorvelArray<CASN1ShopItems::sItemData> aItems;
    aItems.Add(CASN1ShopItems::sItemData());
    aItems.Add(CASN1ShopItems::sItemData());
    CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo> aBuyers;
    CKorvelArray<CASN1AchievementList::sData> aAchievements;
    CKorvelArray<CKorvelString> aNames;
    aNames.Add(strName);
    CKorvelArray<CASN1TournamentScores::sData> aScores;
    sGAME_SESSION session;

    App().OnBuddyRequest(Session(), OTHER_ID, CVornNetworkSession::LobbyObserver::BUDDY_ACK,
                         CVornNetworkSession::LobbyObserver::BUDDY_REMOVE, strName, strText);
    App().OnGameSessionInfoReceived(Session(), 4, session);
    App().OnRematchReceived(2);
    App().OnAvailableShopItemDatas(aAvailable);
    App().OnShopItemData(5, 6, aData, 3, 7);
    App().OnWalletBalance(250);
    App().OnShopItemGroups(8, aGroups);
    App().OnShopItems(9, 10, aItems);
    App().OnShopItemImage(11, 12, aData, 3);
    App().OnBuyItemResponce(13, 1, strText, aBuyers);
    App().OnConfirmBuyItemResponce(14, 0, strText);
    App().OnUpdateItemStateResponse(15, 1, strText, 3);
    App().OnPlayerGiftItems(OTHER_ID, strName, aItems);
    App().OnConfirmBuyPlayerItemsResponse(16, 1, strText);
    App().OnAchievementList(1, 2, 3, aAchievements, 4);
    App().OnTournamentScores(aNames, aScores, 6);
    App().OnImageAndLink(strName, 3, aData, CKorvelString("http://x"), strText, strText);
    EXPECT_EQ(
        Log().With("lobby."),
        (Entries{"lobby.OnBuddyRequest(23,3,1,Brin)", "lobby.OnGameSessionInfoReceived(4)",
                 "lobby.OnRematchReceived(2)", "lobby.OnAvailableShopItemDatas(1)",
                 "lobby.OnShopItemData(5,6,3,7)", "lobby.OnWalletBalance(250)", "lobby.OnShopItemGroups(8,0)",
                 "lobby.OnShopItems(9,10,2)", "lobby.OnShopItemImage(11,12,3)",
                 "lobby.OnBuyItemResponce(13,1,ok,0)", "lobby.OnConfirmBuyItemResponce(14,0,ok)",
                 "lobby.OnUpdateItemStateResponse(15,1,ok,3)", "lobby.OnPlayerGiftItems(23,Brin,2)",
                 "lobby.OnConfirmBuyPlayerItemsResponse(16,1,ok)", "lobby.OnAchievementList(1,2,3,0,4)",
                 "lobby.OnTournamentScores(1,0,6)", "lobby.OnImageAndLink(Brin,3,http://x)"}));
}

TEST_F(CKestrolundApplication, ResultsAndRematchAnswersAreSentInTheirOrder)
{
    m_pApp.reset();
    const std::string strEnd = "session.SendGameEnd(17 23,1 0,";
    struct sCASE
    {
        const char* pName;
        std::function<void(CTestKestrolundApplication&)> fnSteps;
        Entries aSent;
        bool bMatchEnded;
    };
    const auto Results = [](unsigned int uLeaving)
    {
        return [uLeaving](CTestKestrolundApplication& app) {
            app.SendResults(Ints({OWN_ID, OTHER_ID}), Ints({1, 0}), uLeaving);
        };
    };
    const auto Rematch = [](unsigned int uAccept, unsigned int uLeaving)
    { return [uAccept, uLeaving](CTestKestrolundApplication& app) { app.Rematch(uAccept, uLeaving); }; };
    const auto Steps = [](std::vector<std::function<void(CTestKestrolundApplication&)>> aSteps)
    {
        return [aSteps](CTestKestrolundApplication& app)
        {
            for (const auto& fnStep : aSteps)
                fnStep(app);
        };
    };
    const sCASE aCases[] = {
        {"results while leaving",
         Results(1),
         {strEnd + "1)", "session.SendChatMsg(5,,17)", "session.SendRematch(0)"},
         true},
        {"results, then accepted",
         Steps({Results(0), Rematch(1, 0)}),
         {strEnd + "0)", "session.SendChatMsg(4,,17)", "session.SendRematch(1)"},
         false},
        {"results, then declined",
         Steps({Results(0), Rematch(0, 0)}),
         {strEnd + "0)", "session.SendChatMsg(1,,17)", "session.SendRematch(0)"},
         true},
        {"accepted before the results", Rematch(1, 0), {}, false},
        {"accepted, then results",
         Steps({Rematch(1, 0), Results(0)}),
         {strEnd + "0)", "session.SendChatMsg(4,,17)", "session.SendRematch(1)"},
         false},
        {"left, then results",
         Steps({Rematch(0, 1), Results(0)}),
         {strEnd + "0)", "session.SendChatMsg(5,,17)", "session.SendRematch(0)"},
         true},
        {"the first early answer counts",
         Steps({Rematch(1, 0), Rematch(0, 0), Results(0)}),
         {strEnd + "0)", "session.SendChatMsg(4,,17)", "session.SendRematch(1)"},
         false},
        {"a new match forgets the answer",
         Steps({Rematch(1, 0), [](CTestKestrolundApplication& app) { app.OnGameStart(nullptr, 0, 1); },
                Results(0)}),
         {strEnd + "0)"},
         false},
        {"an answer is sent once",
         Steps({Results(0), Rematch(1, 0), Rematch(1, 0)}),
         {strEnd + "0)", "session.SendChatMsg(4,,17)", "session.SendRematch(1)"},
         false},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pName);
        std::unique_ptr<CTestKestrolundApplication> pApp = StartedApp();
        ASSERT_NE(pApp, nullptr);
        pApp->m_pTestLobby->OnGameStart();
        c.fnSteps(*pApp);
        EXPECT_EQ(pApp->m_Log.With("session.Send"), c.aSent);
        EXPECT_EQ(pApp->m_pTestLobby->IsInMatch(), c.bMatchEnded ? 0u : 1u);
        // Every chat record sent is also shown in the own backlog.
        EXPECT_EQ(pApp->m_Log.Count("lobby.UpdateChatBacklog"), pApp->m_Log.Count("session.SendChatMsg"));
    }
}

TEST_F(CKestrolundApplication, TheChatButtonShowsBetweenTheResultsAndTheAnswer)
{
    App().SendResults(Ints({OWN_ID}), Ints({1}), 0);
    App().Rematch(1, 0);
    EXPECT_EQ(Log().With("lobby.SetChatButtonVisibility"),
              (Entries{"lobby.SetChatButtonVisibility(1)", "lobby.SetChatButtonVisibility(0)"}));
    Log().Clear();
    App().SendChatMessage(CKorvelString("gg"), CVornNetworkSession::CHAT_LINE);
    EXPECT_EQ(Log().Entries(), (Entries{"session.SendChatMsg(2,gg,17)", "lobby.UpdateChatBacklog(2,gg,0)"}));
}

TEST_F(CKestrolundApplication, LobbyPagesOpenOnlyDuringAMatchAndGuestsGetOnlyTheChat)
{
    struct sCASE
    {
        unsigned int uGuest;
        bool bInMatch;
        int iPage;
        const char* pOpened; // null: nothing happens
    };
    const sCASE aCases[] = {
        {0, true, 0, "chat_root"},    {0, true, 1, "shop_root"},     {0, true, 2, "me_root"},
        {0, true, 3, "players_root"}, {0, true, 4, "settings_root"}, {1, true, 0, "chat_root"},
        {1, true, 1, nullptr},        {1, true, 4, nullptr},         {0, false, 0, nullptr},
        {0, true, 5, nullptr},        {0, true, -1, nullptr},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(std::to_string(c.uGuest) + " " + std::to_string(c.bInMatch) + " " +
                     std::to_string(c.iPage));
        App().m_pTestLobby->m_Script.uGuest = c.uGuest;
        App().m_pTestLobby->m_uInMatch = c.bInMatch ? 1 : 0;
        Log().Clear();
        App().SwitchToPage(static_cast<CVornApplication::eCLIENTPAGE>(c.iPage));
        EXPECT_EQ(Log().Entries(),
                  c.pOpened ? Entries{"lobby.SwitchToPage(" + std::string(c.pOpened) + ",1)"} : Entries{});
    }
}

TEST_F(CKestrolundApplication, LobbyStatusChangesReachTheGameAndTheAdvertisement)
{
    ASSERT_NO_FATAL_FAILURE(MakeAdvertisement());
    App().m_pTestLobby->m_Script.uLoggedIn = 1;
    struct sCASE
    {
        const char* pName;
        unsigned int uStatus;
        bool bDuringLogout;
        unsigned int uVisibleAfter;
        Entries aExpected;
    };
    const sCASE aCases[] = {
        {"disconnected", 0, false, 0, {"game.LobbyDisconnect(0)", "lobby.OnLobbyStatusChanged(0)"}},
        {"disconnected by a log-out",
         0,
         true,
         1,
         {"game.LobbyDisconnect(1)", "lobby.OnLobbyStatusChanged(0)"}},
        {"connected", 1, false, 1, {"lobby.OnLobbyStatusChanged(1)"}},
        {"logged in", 5, false, 1, {"lobby.OnLobbyStatusChanged(5)"}},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pName);
        App().GetAdvertisement()->SetVisible(1);
        App().m_pTestLobby->m_fnDuringLogin = [&]() { App().OnLobbyStatusChanged(Session(), c.uStatus); };
        Log().Clear();
        if (c.bDuringLogout)
            App().Logout(1);
        else
            App().m_pTestLobby->m_fnDuringLogin();
        EXPECT_EQ(App().GetAdvertisement()->GetVisible(), c.uVisibleAfter);
        Entries aSeen = Log().With("game.LobbyDisconnect");
        for (const std::string& strEntry : Log().With("lobby.OnLobbyStatusChanged"))
            aSeen.push_back(strEntry);
        EXPECT_EQ(aSeen, c.aExpected);
    }
    App().m_pTestLobby->m_fnDuringLogin = nullptr;
}

TEST_F(CKestrolundApplication, NeitherGameNorLobbyHearOfStatusChangesWhileTheLobbyIsBehind)
{
    ASSERT_NO_FATAL_FAILURE(PutStateInFront());
    App().OnLobbyStatusChanged(Session(), 0);
    App().OnGameStatusChanged(Session(), 256);
    App().OnGameStatusChanged(Session(), 0);
    EXPECT_EQ(Log().Count("game.") + Log().Count("lobby."), 0);
}

TEST_F(CKestrolundApplication, GameStatusChangesAreStoredAndTellTheGameWhetherTheEndWasExpected)
{
    struct sCASE
    {
        const char* pName;
        std::function<void(CTestKestrolundApplication&)> fnBefore;
        unsigned int uStatus;
        const char* pGameHears; // null: nothing
        unsigned int uFullscreen;
    };
    const auto Nothing = [](CTestKestrolundApplication&) {};
    const sCASE aCases[] = {
        {"game socket up", Nothing, 256, nullptr, 1},
        {"dropped", Nothing, 0, "game.GameDisconnect(0)", 0},
        {"ended after the results",
         [](CTestKestrolundApplication& app) { app.SendResults(Ints({OWN_ID}), Ints({1}), 0); }, 0,
         "game.GameDisconnect(1)", 0},
        {"another status", Nothing, 3, nullptr, 0},
    };
    const std::string strStore = App().DataFile("stats.dat");
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pName);
        c.fnBefore(App());
        unlink(strStore.c_str());
        Log().Clear();
        App().OnGameStatusChanged(Session(), c.uStatus);
        EXPECT_EQ(Log().With("game.GameDisconnect"), c.pGameHears ? Entries{c.pGameHears} : Entries{});
        EXPECT_EQ(Log().With("lobby.OnGameStatusChanged"),
                  Entries{"lobby.OnGameStatusChanged(" + std::to_string(c.uStatus) + ")"});
        EXPECT_EQ(App().IsGameFullscreen(), c.uFullscreen);
        struct stat info;
        EXPECT_EQ(stat(strStore.c_str(), &info), 0) << "the store is written at every change";
    }
}

TEST_F(CKestrolundApplication, AMatchStartsInTheLobbyThenInTheGame)
{
    unsigned char aMessage[] = {4, 3, 2, 1};
    App().OnGameStart(Session(), 0, 7);
    App().OnGameMessage(Session(), aMessage, 4);
    EXPECT_EQ(Log().Entries(), (Entries{"lobby.OnGameStart()", "game.StartGame(7)", "game.RecvGameMsg(4)"}));
}

TEST_F(CKestrolundApplication, AnOpponentLeavingIsToldInTheChatThenToTheGame)
{
    App().OnPlayerDisconnected(Session(), OWN_ID);
    EXPECT_TRUE(Log().Entries().empty()) << "the own disconnection";
    App().OnPlayerDisconnected(Session(), OTHER_ID);
    EXPECT_EQ(Log().Entries(), (Entries{"lobby.OnChatMessage(5,,23,1)", "game.OpponentLeft(23)"}));
}

TEST_F(CKestrolundApplication, ALogOutSilencesTheMusicButKeepsThePlayersChoice)
{
    ASSERT_TRUE(WriteTestMp3(App().Dir() + "/track.mp3", 2, 44100, 0.5f, 440.0f)) << "lame is needed";
    ASSERT_EQ(App().PlayMusic(CKorvelString("track.mp3"), 1), KE_OK);
    ASSERT_NE(App().GetMusicPlayer(), nullptr);
    ASSERT_NO_FATAL_FAILURE(PutStateInFront());
    App().m_pTestLobby->m_Script.uLoggedIn = 1;

    App().Relogin();
    EXPECT_NE(App().GetMusicPlayer(), nullptr) << "a re-login leaves the music alone";
    App().Logout(1);
    EXPECT_EQ(App().GetMusicPlayer(), nullptr);
    EXPECT_EQ(App().IsMusicMute(), 0u);
    EXPECT_EQ(Log().With("lobby."), (Entries{"lobby.Relogin()", "lobby.Logout()"}));

    // A log-out asked for inside one runs no second time.
    App().m_pTestLobby->m_fnDuringLogin = [&]()
    {
        App().Logout(1);
        App().Relogin();
    };
    Log().Clear();
    App().Logout(0);
    EXPECT_EQ(Log().With("lobby."), (Entries{"lobby.Relogin()"}));

    App().Frame(0.1f);
    EXPECT_EQ(App().GetState(0), App().GetLobbyState()) << "the lobby comes to the front";
}

TEST_F(CKestrolundApplication, TheFirstAdvertisementMakesTheOverlayAndAFailedOneIsTriedAgain)
{
    const unsigned char aImage[] = {'p', 'n', 'g'};
    const CKorvelArray<int> aFrames = Ints({100, 250});
    const auto Advertise = [&](const char* pText)
    {
        App().OnAdvertisement(CKorvelString(pText), CKorvelString("http://l"), 3, aImage, 5000, 8000, aFrames,
                              CKorvelString("http://ok"), 6, CKorvelString("Title"),
                              CKorvelString("http://t"));
    };
    App().m_iAdvertisementStartupResult = KE_ERR_NOTFOUND;
    Advertise("first");
    EXPECT_EQ(App().GetAdvertisement(), nullptr);
    EXPECT_EQ(Log().Entries(),
              (Entries{"advertisement.Startup()", "advertisement.Shutdown()", "advertisement.~()"}));

    App().m_iAdvertisementStartupResult = KE_OK;
    Log().Clear();
    Advertise("second");
    Advertise("third");
    EXPECT_NE(App().GetAdvertisement(), nullptr);
    EXPECT_EQ(
        Log().Entries(),
        (Entries{
            "advertisement.Startup()",
            "advertisement.DisplayAd(second,http://l,3,png,5000,8000,100 250,http://ok,6,Title,http://t)",
            "advertisement.DisplayAd(third,http://l,3,png,5000,8000,100 250,http://ok,6,Title,http://t)"}));
}

TEST_F(CKestrolundApplication, WithoutAnOverlayTheExitAdvertisementEndsTheApplicationAtTheFrameEnd)
{
    App().ShowAdvertisement(0);
    App().Frame(0.1f);
    EXPECT_TRUE(App().IsStarted());
    App().ShowAdvertisement(1);
    EXPECT_TRUE(App().IsStarted()) << "the frame ends first";
    App().Frame(0.1f);
    EXPECT_FALSE(App().IsStarted());
}

TEST_F(CKestrolundApplication, AnAdvertisementShowsSwallowsTheBackKeyAndGoesAfterTheSession)
{
    ASSERT_NO_FATAL_FAILURE(MakeAdvertisement());
    Log().Clear();
    App().ShowAdvertisement(0);
    App().ShowAdvertisement(1);
    EXPECT_EQ(Log().Entries(), (Entries{"advertisement.SetVisible(1)", "advertisement.ShowExitAd()"}));
    App().Frame(0.1f);
    EXPECT_TRUE(App().IsStarted()) << "the exit advertisement ends the application when it closes";

    Log().Clear();
    App().OnKeyDown(KET_KEY_BACK);
    EXPECT_EQ(Log().Count("lobby.OnKeyDown"), 0);
    App().GetAdvertisement()->SetVisible(0);
    App().OnKeyDown(KET_KEY_BACK);
    EXPECT_EQ(Log().Count("lobby.OnKeyDown"), 1);

    App().Exit();
    App().Frame(0.1f);
    ASSERT_FALSE(App().IsStarted());
    const int iAdvertisement = Log().Find("advertisement.Shutdown");
    EXPECT_GT(iAdvertisement, Log().Find("session.Shutdown"));
    EXPECT_LT(iAdvertisement, Log().Find("toast.Shutdown"));
}

} // namespace
