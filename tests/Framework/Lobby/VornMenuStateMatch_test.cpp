// Quick play, challenges sent, the waiting time, queue statuses, the match start and its end,
// against the lobby server with a second guest as the other player.
// KORVEL_GL_TEST
#include "VornMenuStateMatchTest.h"

using namespace menu_state_test;

namespace
{
const int APP_ID = 64;

class CVornMenuState : public CMatchTest
{
};

TEST_F(CVornMenuState, QuickPlayFromTheLobbyMeetsTheOtherPlayerAndStartsTheMatch)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);

    ::CVornMenuState::actionStartGame(nullptr, Lobby());
    ASSERT_TRUE(WaitForMessage("QueueRegisterIn"));
    const CTestJson queued = In("QueueRegisterIn")[0];
    EXPECT_EQ(queued["app"].Int(), APP_ID);
    EXPECT_EQ(queued["a"].Int(), 0) << "the lobby's own quick play";
    EXPECT_EQ(queued["b"].Int(), 2);
    EXPECT_EQ(Toasts("text 3,").size(), 1u);
    EXPECT_FLOAT_EQ(Lobby()->GetQueueTimer(), 30.0f);

    m_pOther->RegisterInGameQueue(0, 2);
    ASSERT_NO_FATAL_FAILURE(PlayOpponentUntilStart(0));
    EXPECT_TRUE(Lobby()->IsInMatch());
    EXPECT_EQ(Lobby()->GetDialogVisible(), 0u) << "the overlay hides for the game";
    EXPECT_EQ(PageName(), "chat_root") << "waiting behind it";
    EXPECT_TRUE(Visible("vorn_button_root"));
    EXPECT_EQ(Lobby()->GetQueueTimer(), 0.0f);
    ASSERT_TRUE(WaitForMessage("ChatMessage"));
    EXPECT_EQ(In("ChatMessage")[0]["type"].Int(), 0);
    ASSERT_TRUE(WaitFor([&] { return !m_Rec2.With("OnGameStart").empty(); }));
    const std::string strOwn = GameLog().With("game.StartGame")[0];
    const std::string strOther = m_Rec2.With("OnGameStart")[0];
    const bool bOwnMaster = strOwn == "game.StartGame(1)";
    const bool bOtherMaster = strOther.find(",1)") != std::string::npos;
    EXPECT_NE(bOwnMaster, bOtherMaster) << strOwn << " " << strOther;

    // The wait ended with the start: no late queue leave inside the match.
    Frame(31.0f);
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(Count("QueueUnregisterFrom"), 0u);
}

TEST_F(CVornMenuState, TheGamesQuickPlayJoinsTheQueueAsTheGame)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    m_App.GetGameState()->QuickPlay();
    ASSERT_TRUE(WaitForMessage("QueueRegisterIn"));
    EXPECT_EQ(In("QueueRegisterIn")[0]["a"].Int(), 1);
    m_pOther->RegisterInGameQueue(0, 2);
    ASSERT_NO_FATAL_FAILURE(PlayOpponentUntilStart(0));
    EXPECT_EQ(PageName(), "chat_root");
}

TEST_F(CVornMenuState, QueueStatusesFromTheServerEndTheWait)
{
    struct sCASE
    {
        int iApp;
        int iStatus;
        const char* pToast; // null: no reaction
    };
    const sCASE aCases[] = {{APP_ID + 1, -1, nullptr}, {APP_ID, 3, nullptr}, {APP_ID, -1, "text 8,"}};
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.iStatus);
        const size_t uLogins = Count("Login");
        const int iCancelled = GameLog().Count("game.CancelledQuickPlay");
        m_pControl->Send(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId()), "queue_update",
                         "[[], 0, " + std::to_string(c.iApp) + ", " + std::to_string(c.iStatus) + "]");
        if (!c.pToast)
        {
            ASSERT_TRUE(WaitForLobbyQuiet());
            EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled);
            continue;
        }
        // The wait ends with a login of its own: a probe on the old connection would go unanswered.
        ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.CancelledQuickPlay") > iCancelled; }));
        EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled + 1);
        EXPECT_EQ(Toasts(c.pToast).size(), 1u);
        ASSERT_TRUE(WaitFor([&] { return Count("Login") > uLogins; })) << "logged in again";
    }
    ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
    ASSERT_TRUE(WaitForLobbyQuiet());

    m_pControl->Send(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId()), "queue_update",
                     "[[], 0, " + std::to_string(APP_ID) + ", -2]");
    ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() == 0; })) << "logged out";
    EXPECT_EQ(Toasts("text 9,").size(), 1u);
}

TEST_F(CVornMenuState, TheWaitEndsAfterItsTimeWithTheQueueLeftOrTheChallengeWithdrawn)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    ::CVornMenuState::actionStartGame(nullptr, Lobby());
    ASSERT_TRUE(WaitForMessage("QueueRegisterIn"));
    Frame(29.9f);
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(Count("QueueUnregisterFrom"), 0u);
    Frame(0.2f);
    ASSERT_TRUE(WaitForMessage("QueueUnregisterFrom"));
    EXPECT_EQ(In("QueueUnregisterFrom")[0]["app"].Int(), APP_ID);

    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    const std::string strBefore = PageName();
    Lobby()->GetSelectedPlayers().Add({0, iOther});
    ::CVornMenuState::actionStartGame(nullptr, Lobby());
    ASSERT_TRUE(WaitForMessage("MakeChallenge"));
    const CTestJson ids = In("MakeChallenge")[0]["ids"];
    ASSERT_EQ(ids.Size(), 1u);
    EXPECT_EQ(ids[0].Int(), iOther);
    EXPECT_EQ(PageName(), "challenge_waiting");
    EXPECT_FLOAT_EQ(Lobby()->GetChallenges().GetWaitLeft(), ::CVornChallengeState::WAIT_SECONDS);
    EXPECT_EQ(Lobby()->GetChallenges().GetOwnPartner(), iOther);

    Frame(20.1f);
    ASSERT_TRUE(WaitForMessage("ChallengeResponse"));
    const CTestJson withdrawn = In("ChallengeResponse")[0];
    EXPECT_EQ(withdrawn["answer"].Int(), 0);
    EXPECT_EQ(withdrawn["challenger"].Int(), Session()->GetOwnUserId());
    EXPECT_EQ(PageName(), strBefore) << "back from the waiting page";
}

TEST_F(CVornMenuState, TheChatOpensAfterPlayItsBackReturnsToARunningMatchAndLeavingSendsTheOwnPlayerLast)
{
    int iOther = 0;
    ASSERT_NO_FATAL_FAILURE(StartGuestMatch(iOther));

    Lobby()->OnGameplayEnd(0);
    EXPECT_EQ(PageName(), "chat_root");
    EXPECT_NE(Lobby()->GetDialogVisible(), 0u) << "the chat is shown over the game";

    // While the match runs, back from the chat is back to the board: nothing is forfeited.
    m_App.m_pGame->m_uMatchRunning = 1;
    ::CVornMenuState::actionChatExit(nullptr, Lobby());
    EXPECT_EQ(Lobby()->GetDialogVisible(), 0u);
    EXPECT_TRUE(Lobby()->IsInMatch());
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Game(Session()->GetOwnUserId())));
    EXPECT_EQ(Count("GameEnd"), 0u);
    m_App.m_pGame->m_uMatchRunning = 0;
    Lobby()->OnGameplayEnd(0);
    EXPECT_EQ(PageName(), "chat_root");

    ::CVornMenuState::actionChatExit(nullptr, Lobby());
    ASSERT_NO_FATAL_FAILURE(ExpectRankedLast(Session()->GetOwnUserId()));
    ASSERT_TRUE(WaitForMessage("Rematch"));
    EXPECT_EQ(PageName(), "loginscreen_root") << "a guest's home page";

    // Once left, the end of play does not open the chat again.
    Lobby()->OnGameplayEnd(0);
    EXPECT_EQ(PageName(), "loginscreen_root");
}

// Once the other player has left, going out of the chat reports the leaver as the loser,
// never the player who stayed.
TEST_F(CVornMenuState, AfterTheOtherPlayerLeftLeavingTheChatReportsTheLeaverLast)
{
    int iOther = 0;
    ASSERT_NO_FATAL_FAILURE(StartGuestMatch(iOther));
    Lobby()->OnGameplayEnd(0);
    CVornNetworkSession::sCHATMSG left;
    left.m_iType = CVornNetworkSession::CHAT_LEFT;
    left.m_iSender = iOther;
    Lobby()->OnChatMessage(&left, 1);
    ::CVornMenuState::actionChatExit(nullptr, Lobby());
    ASSERT_NO_FATAL_FAILURE(ExpectRankedLast(iOther));
    EXPECT_EQ(PageName(), "loginscreen_root");
}

TEST_F(CVornMenuState, LeavingPlayBeforeTheChatOpenedLeavesThroughTheChatsExit)
{
    int iOther = 0;
    ASSERT_NO_FATAL_FAILURE(StartGuestMatch(iOther));

    Lobby()->OnGameplayEnd(1);
    ASSERT_TRUE(WaitForMessage("GameEnd"));
    EXPECT_EQ(PageName(), "loginscreen_root");
}

TEST_F(CVornMenuState, BothAskingForARematchStartsANewRoundOnTheSameGameConnection)
{
    int iOther = 0;
    ASSERT_NO_FATAL_FAILURE(StartGuestMatch(iOther));
    const long long llSession = In("GameReady")[0]["session"].Int();

    // The game reports the end, then both players ask again.
    CKorvelArray<int> aIds, aRanks;
    aIds.Add(Session()->GetOwnUserId());
    aIds.Add(iOther);
    aRanks.Add(1);
    aRanks.Add(2);
    m_App.SendResults(aIds, aRanks, 0);
    ASSERT_TRUE(WaitForMessage("GameEnd"));
    EXPECT_EQ(In("GameEnd")[0]["ranks"][0].Int(), 1);
    m_App.Rematch(1, 0);
    m_pOther->SendGameEnd(aIds, aRanks, 0);
    m_pOther->SendRematch(1);
    ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.GameSessionEnded") > 0; })) << "OnGameEnd";
    ASSERT_NO_FATAL_FAILURE(PlayOpponentUntilStart(1));
    EXPECT_EQ(In("GameReady")[1]["session"].Int(), llSession);
    EXPECT_TRUE(Lobby()->IsInMatch());
}

TEST_F(CVornMenuState, AGameConnectionClosedByTheServerEndsTheChat)
{
    int iOther = 0;
    ASSERT_NO_FATAL_FAILURE(StartGuestMatch(iOther));

    m_pControl->Close(sLOBBY_TARGET::Game(Session()->GetOwnUserId()));
    ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.GameSessionEnded") > 0; }));
    EXPECT_FALSE(Lobby()->IsInMatch());
    EXPECT_EQ(PageName(), "loginscreen_root");
}

} // namespace
