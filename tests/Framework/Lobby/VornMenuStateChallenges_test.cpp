// Challenges from another player and the answers to the own ones, against the lobby server
// with a second guest as the other player, and the application's own toast.
// KORVEL_GL_TEST
#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/ImageWidget.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "VornMenuStateMatchTest.h"

using namespace menu_state_test;

namespace
{

class CVornMenuState : public CMatchTest
{
protected:
    CVornMenuState()
    {
        m_App.m_bRealOverlays = true;
        m_Texts[5] = "%s said no";
        m_Texts[37] = "%s challenges you";
        const std::string strPlain = Page("challenge_received", "");
        const std::string strPanel =
            Page("challenge_received", Box("player_avatar", "image") + Text("player_name") +
                                           Text("player_rank") + Text("player_score"));
        std::string strPages = MenuPages();
        strPages.replace(strPages.find(strPlain), strPlain.size(), strPanel);
        m_strLayout = MenuLayout(strPages + VornButton() + Dialogs());
    }
    static std::string Text(const char* pName) { return Box(pName, "text", "<text font=\"main\"/>"); }
    // The layout pack holds the toast's tree too: its strip at the bottom, pressed to open.
    bool PrepareAppFolder() override
    {
        const std::string strStrip =
            Box("toast_bg", "image") +
            Box("toast_hitarea", "button",
                "<position x=\"0.0\" y=\"0.9\"/>" + Event("onclick", "toast_click") +
                    Box("toast_icon_message", "image") + Box("toast_icon_challenge", "image") +
                    Box("toast_icon_achievement", "image") + Text("toast_message"));
        return CMatchTest::PrepareAppFolder() &&
               WriteUiPack(m_App.Dir(), "vornlayouts.kmp",
                           {{"menu_root.xml", m_strLayout}, {"toast-root.xml", MenuLayout(strStrip)}}) &&
               (!m_bShipped || UseShippedLayouts());
    }
    // The shipped login page's guest login: its button's action, without the press.
    void StartAsGuest()
    {
        if (!m_bShipped)
            return CMatchTest::StartAsGuest();
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_TRUE(WaitForStart());
        ::CVornMenuState::actionGuestLogin(nullptr, Lobby());
        ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
        ASSERT_TRUE(WaitForLobbyQuiet()) << "the login's rounds";
    }
    ::CVornToastNotification* Toast() const { return m_App.GetToast(); }
    bool ChallengeToastUp() const
    {
        return Toast() && Toast()->Holds(::CVornToastNotification::TYPE_CHALLENGE);
    }
    // The challenge's toast, its turn come after those queued before it and slid in, pressed
    // where it shows, through the application's input.
    void PressToast()
    {
        ASSERT_TRUE(ChallengeToastUp());
        const float fSlide = ::CVornToastNotification::SLIDE_SECONDS;
        const int iChallenge = ::CVornToastNotification::TYPE_CHALLENGE;
        for (int i = 0; i < TOAST_SLIDES_AT_MOST &&
                        (Toast()->GetType() != iChallenge || Toast()->GetShowTime() < fSlide);
             ++i)
            Frame(fSlide);
        ASSERT_EQ(Toast()->GetType(), iChallenge);
        CWidget* pHit =
            Toast()->GetRoot() ? Toast()->GetRoot()->FindWidget(CKorvelString("toast_hitarea"), -1) : nullptr;
        ASSERT_NE(pHit, nullptr);
        int x = pHit->GetWidth() / 2, y = pHit->GetHeight() / 2;
        Toast()->GetRoot()->MapFrom(pHit, x, y);
        PressAt(x, y);
    }
    CWidget* InPanel(const char* pName) const
    {
        CWidget* pPanel = Find("challenge_received");
        return pPanel ? pPanel->FindWidget(CKorvelString(pName), -1) : nullptr;
    }
    std::string PanelText(const char* pName) const
    {
        CTextWidget* pText = widget_cast<CTextWidget*>(InPanel(pName));
        return pText ? Narrow(pText->GetText()) : "<none>";
    }
    CKorvelSurface* PanelPicture() const
    {
        CImageWidget* pImage = widget_cast<CImageWidget*>(InPanel("player_avatar"));
        return pImage ? pImage->GetImage() : nullptr;
    }
    void ChallengeFrom(CVornNetworkSession* pChallenger)
    {
        CKorvelArray<int> aIds;
        aIds.Add(Session()->GetOwnUserId());
        pChallenger->SendChallenge(aIds, CKorvelString());
    }
    void ChallengeFromOther() { ChallengeFrom(m_pOther); }
    // A third player, a guest on a session of his own; his user id.
    int AddThird()
    {
        m_pThird = AddSession(m_Rec3);
        return m_pThird ? LoginGuest(m_pThird, m_Rec3) : -1;
    }
    static std::string Guest(int iId) { return "guest" + std::to_string(iId); }
    bool Queued(int iId)
    {
        return m_pControl->Command("{\"cmd\": \"player\", \"user\": " + std::to_string(iId) + "}")["queued"]
            .Bool();
    }
    // Logged out as the game's menu does it, then in again as a guest; the new user id.
    int LogOutAndInAgain()
    {
        m_App.Logout(1);
        ::CVornMenuState::actionGuestLogin(nullptr, Lobby());
        return WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }) ? Session()->GetOwnUserId() : -1;
    }

    // Toasts queued before a challenge's last a few seconds each: slides enough for them.
    static const int TOAST_SLIDES_AT_MOST = 40;

    CSessionRecorder m_Rec3;
    CSessionRecorder m_Rec4;
    CVornNetworkSession* m_pThird = nullptr;
    // With it the built layouts, lobby pictures and fonts replace the small layout and strip.
    bool m_bShipped = false;
};

TEST_F(CVornMenuState, AChallengeFillsThePanelAndItsToastASecondOneIsAnsweredBusyAndAnAcceptStartsTheMatch)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    ChallengeFromOther();
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == iOther; }));
    EXPECT_EQ(PanelText("player_name"), Guest(iOther));
    EXPECT_EQ(PanelText("player_rank"), "1") << "nobody has more points";
    EXPECT_EQ(PanelText("player_score"), "0");
    EXPECT_EQ(Toasts(Guest(iOther) + " challenges you,-2,20.000000)").size(), 1u);

    // The challenger's picture follows (these packs have no default one).
    ASSERT_TRUE(WaitFor([&] { return PanelPicture() != nullptr; }));
    CKorvelSurface* pPicture = PanelPicture();

    // A third player's challenge while the toast shows is answered as a player in a match
    // answers, and the toast, the panel and the match stay the first challenger's.
    ASSERT_TRUE(ChallengeToastUp());
    const int iThird = AddThird();
    ASSERT_GT(iThird, 0);
    ChallengeFrom(m_pThird);
    ASSERT_TRUE(WaitFor([&] { return !m_Rec3.With("OnChallengeResponse").empty(); }));
    const CTestJson busy = In("ChallengeResponse")[0];
    EXPECT_EQ(busy["answer"].Int(), 0);
    EXPECT_EQ(busy["challenger"].Int(), iThird);
    EXPECT_EQ(m_Rec3.With("OnChallengeResponse")[0].substr(m_Rec3.With("OnChallengeResponse")[0].size() - 3),
              ",0)");
    // The third one's picture follows his challenge on the connection.
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
    EXPECT_TRUE(Toasts(Guest(iThird) + " challenges you,").empty());
    EXPECT_EQ(Lobby()->GetChallenges().GetChallenger(), iOther);
    EXPECT_EQ(PanelText("player_name"), Guest(iOther));
    EXPECT_EQ(PanelPicture(), pPicture) << "the third one's picture is not the panel's";
    ASSERT_NO_FATAL_FAILURE(PressToast());
    EXPECT_EQ(PageName(), "challenge_received");
    EXPECT_EQ(PanelText("player_name"), Guest(iOther));

    // The toast gone and its page open: the third one's next challenge is answered busy too,
    // and its withdrawal, which names him, leaves the page and the first challenger alone.
    EXPECT_FALSE(ChallengeToastUp()) << "pressed, it leaves";
    ChallengeFrom(m_pThird);
    ASSERT_TRUE(WaitFor([&] { return m_Rec3.With("OnChallengeResponse").size() == 2u; }));
    EXPECT_EQ(In("ChallengeResponse")[1]["challenger"].Int(), iThird);
    const int iOwn = Session()->GetOwnUserId();
    m_pControl->Send(sLOBBY_TARGET::Lobby(iOwn), "challenge_response",
                     "[0, 64, " + std::to_string(iOwn) + ", " + std::to_string(iThird) + ", \"" +
                         Guest(iThird) + "\", \"\"]");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iOwn)));
    Frame(0.5f);
    EXPECT_EQ(PageName(), "challenge_received");
    EXPECT_EQ(Lobby()->GetChallenges().GetChallenger(), iOther);
    EXPECT_EQ(PanelText("player_name"), Guest(iOther));

    ::CVornMenuState::actionAcceptChallenge(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Count("ChallengeResponse") == 3u; }));
    const CTestJson accepted = In("ChallengeResponse")[2];
    EXPECT_EQ(accepted["answer"].Int(), 1);
    EXPECT_EQ(accepted["challenger"].Int(), iOther);
    ASSERT_NO_FATAL_FAILURE(PlayOpponentUntilStart(0));
    EXPECT_TRUE(Lobby()->IsInMatch());
    EXPECT_EQ(GameLog().With("game.StartGame")[0], "game.StartGame(0)") << "the challenger is master";

    // Nothing is withdrawn later: the received challenge was not the own one.
    Frame(21.0f);
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iOwn)));
    EXPECT_EQ(Count("ChallengeResponse"), 3u);

    // The accept is answered by the match: a withdrawal of its challenge coming late is no
    // answer to it, and leaves the game alone.
    const int iCancelled = GameLog().Count("game.CancelledQuickPlay");
    m_pControl->Send(sLOBBY_TARGET::Lobby(iOwn), "challenge_response",
                     "[0, 64, " + std::to_string(iOwn) + ", " + std::to_string(iOther) + ", \"" +
                         Guest(iOther) + "\", \"\"]");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iOwn)));
    EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled);
}

TEST_F(CVornMenuState, ARejectAnswersZeroAndTheFilterKeepsChallengesAway)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    ChallengeFromOther();
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == iOther; }));
    ::CVornMenuState::actionRejectChallenge(nullptr, Lobby());
    ASSERT_TRUE(WaitForMessage("ChallengeResponse"));
    EXPECT_EQ(In("ChallengeResponse")[0]["answer"].Int(), 0);
    ASSERT_TRUE(WaitFor([&] { return !m_Rec2.With("OnChallengeResponse").empty(); }));

    const size_t uToasts = GameLog().With("toast.Add").size();
    m_App.SetNotificationFilter(4); // challenges off
    ChallengeFromOther();
    // Sent on once the server has the challenge, and handled before the probe that follows it.
    ASSERT_TRUE(WaitFor([&] { return Count("MakeChallenge") == 2u; }));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
    EXPECT_EQ(GameLog().With("toast.Add").size(), uToasts);
}

// The challenge state walked event by event, each row from the state the row before left:
// what the lobby holds, what it sent the server and what it showed. After the own challenge is
// declined, answered offline or busy, closed or timed out, a third player's challenge shows at
// once; a challenge back accepts; a match start ends every received challenge.
TEST_F(CVornMenuState, EachEventMovesTheChallengeStateAsItsRowSays)
{
    using State = ::CVornChallengeState;
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iB = AddOpponent();
    ASSERT_GT(iB, 0);
    const int iC = AddThird();
    ASSERT_GT(iC, 0);
    // The answer the server relays for a player who is not logged in.
    const int iNobody = 99999;
    std::map<int, std::string> names = {{iB, "B"}, {iC, "C"}, {iNobody, "nobody"}};
    auto Name = [&](int iId) { return iId == Session()->GetOwnUserId() ? "own" : names[iId]; };
    auto Challenge = [&](int iTarget, int iAlso = 0)
    {
        Lobby()->GetSelectedPlayers().RemoveAll();
        Lobby()->GetSelectedPlayers().Add({0, iTarget});
        if (iAlso)
            Lobby()->GetSelectedPlayers().Add({1, iAlso});
        ::CVornMenuState::actionStartGame(nullptr, Lobby());
        // The first probe's echo follows the request, so the server has read it; its answer
        // (offline, busy) went out before the second probe, whose echo says it was handled.
        ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
        ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
    };
    // What the server relays, sent through the control channel and handled here.
    auto Relays = [&](const char* pMessage, const std::string& strFields)
    {
        m_pControl->Send(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId()), pMessage, strFields);
        ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
    };
    // A peer's message read by the server, and what the server sent for it handled here.
    auto PeerSends = [&](const char* pMessage, const std::function<void()>& fnSend)
    {
        const size_t uBefore = Count(pMessage);
        fnSend();
        ASSERT_TRUE(WaitFor([&] { return Count(pMessage) > uBefore; }));
        ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
    };
    auto ChallengesMe = [&](CVornNetworkSession* pPeer)
    { PeerSends("MakeChallenge", [&] { ChallengeFrom(pPeer); }); };
    auto Answers = [&](CVornNetworkSession* pPeer, int iAnswer)
    {
        PeerSends("ChallengeResponse",
                  [&] { pPeer->SendChallengeResponse(Session()->GetOwnUserId(), iAnswer, {}); });
    };
    auto Withdraws = [&](CVornNetworkSession* pPeer, int iPeer)
    { PeerSends("ChallengeResponse", [&] { pPeer->SendChallengeResponse(iPeer, 0, {}); }); };
    // Before the server pairs: the in-game rounds and GameReadys so far.
    size_t uRounds = 0, uReady = 0;
    auto Pairing = [&]
    {
        uRounds = CountWithFlags("GetShopItemGroups", 0x401);
        uReady = Count("GameReady");
    };
    // The peer's half of the match the server paired, until the game starts here.
    auto PlaysUntilStart = [&](CVornNetworkSession* pPeer)
    {
        const int iStarts = GameLog().Count("game.StartGame");
        ASSERT_TRUE(WaitFor([&] { return CountWithFlags("GetShopItemGroups", 0x401) >= uRounds + 2; }));
        ASSERT_TRUE(WaitFor([&] { return Count("GameReady") >= uReady + 1; }));
        pPeer->SendGameReady();
        ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.StartGame") > iStarts; }));
    };

    struct sROW
    {
        const char* pEvent;
        std::function<void()> fnEvent;
        State::eOWN eOwn;
        int iOwnPartner;
        State::eRECEIVED eReceived;
        int iChallenger;
        const char* pSent;    // what the lobby sent; null: not looked at (a new connection)
        std::string strToast; // the toast the event added, empty for none, "*" not looked at
        bool bChallengeToast; // a challenge's toast up after it
    };
    const State::eOWN NONE = State::OWN_NONE, WAITING = State::OWN_WAITING, ACCEPTED = State::OWN_ACCEPTED;
    const State::eRECEIVED NO = State::RECEIVED_NONE, SHOWN = State::RECEIVED_SHOWN;
    const std::string B_CHALLENGES = Guest(iB) + " challenges you",
                      C_CHALLENGES = Guest(iC) + " challenges you";
    const sROW aRows[] = {
        {"B challenges", [&] { ChallengesMe(m_pOther); }, NONE, 0, SHOWN, iB, "", B_CHALLENGES, true},
        {"C challenges while B's shows", [&] { ChallengesMe(m_pThird); }, NONE, 0, SHOWN, iB, "no C", "",
         true},
        {"a resize",
         [&]
         {
             m_App.OnScreenChanged(480, 320);
             Frame(0.0f);
             Frame(0.0f);
             EXPECT_EQ(PanelText("player_name"), Guest(iB));
         },
         NONE, 0, SHOWN, iB, "", "", true},
        {"B withdraws", [&] { Withdraws(m_pOther, iB); }, NONE, 0, NO, 0, "", "", false},
        {"own challenge to B", [&] { Challenge(iB); }, WAITING, iB, NO, 0, "challenge", "", false},
        {"a refusal from C, who is not asked",
         [&]
         {
             Relays("challenge_response", "[0, 64, " + std::to_string(iC) + ", " +
                                              std::to_string(Session()->GetOwnUserId()) + ", \"" + Guest(iC) +
                                              "\", \"\"]");
         },
         WAITING, iB, NO, 0, "", "", false},
        {"C challenges while the own waits", [&] { ChallengesMe(m_pThird); }, WAITING, iB, NO, 0, "no C", "",
         false},
        {"B declines", [&] { Answers(m_pOther, 0); }, NONE, 0, NO, 0, "", Guest(iB) + " said no", false},
        {"the waiting time would be up", [&] { Frame(20.1f); }, NONE, 0, NO, 0, "", "", false},
        {"C challenges after the decline", [&] { ChallengesMe(m_pThird); }, NONE, 0, SHOWN, iC, "",
         C_CHALLENGES, true},
        {"C declined", [&] { ::CVornMenuState::actionRejectChallenge(nullptr, Lobby()); }, NONE, 0, NO, 0,
         "no C", "", false},
        {"own challenge to B and C", [&] { Challenge(iB, iC); }, WAITING, iB, NO, 0, "challenge", "", false},
        {"B of the two declines", [&] { Answers(m_pOther, 0); }, WAITING, iC, NO, 0, "",
         Guest(iB) + " said no", false},
        {"C of the two declines", [&] { Answers(m_pThird, 0); }, NONE, 0, NO, 0, "", Guest(iC) + " said no",
         false},
        {"own challenge answered offline", [&] { Challenge(iNobody); }, NONE, 0, NO, 0, "challenge", "text 7",
         false},
        {"C challenges after offline", [&] { ChallengesMe(m_pThird); }, NONE, 0, SHOWN, iC, "", C_CHALLENGES,
         true},
        {"C withdraws", [&] { Withdraws(m_pThird, iC); }, NONE, 0, NO, 0, "", "", false},
        {"own challenge answered busy",
         [&]
         {
             m_pOther->RegisterInGameQueue(0, 2);
             ASSERT_TRUE(WaitFor([&] { return Queued(iB); }));
             Challenge(iB);
             m_pOther->UnregisterFromGameQueue();
             ASSERT_TRUE(WaitFor([&] { return !Queued(iB); }));
         },
         NONE, 0, NO, 0, "challenge", "text 6", false},
        {"C challenges after busy", [&] { ChallengesMe(m_pThird); }, NONE, 0, SHOWN, iC, "", C_CHALLENGES,
         true},
        {"C withdraws", [&] { Withdraws(m_pThird, iC); }, NONE, 0, NO, 0, "", "", false},
        {"own challenge to B", [&] { Challenge(iB); }, WAITING, iB, NO, 0, "challenge", "", false},
        {"Close",
         [&]
         {
             // The waiting page's button: its action, and the page it goes back to.
             ::CVornMenuState::actionDialogClose(nullptr, Lobby());
             Pages()->SwitchToPage(CKorvelString(":back"));
         },
         NONE, 0, NO, 0, "withdraw own", "", false},
        {"C challenges after Close", [&] { ChallengesMe(m_pThird); }, NONE, 0, SHOWN, iC, "", C_CHALLENGES,
         true},
        {"C withdraws", [&] { Withdraws(m_pThird, iC); }, NONE, 0, NO, 0, "", "", false},
        {"own challenge to B", [&] { Challenge(iB); }, WAITING, iB, NO, 0, "challenge", "", false},
        {"the back key",
         [&]
         {
             // Pressed where the player sees the waiting page: the lobby over the game.
             Lobby()->SetMenuVisibility(1);
             m_App.OnKeyDown(static_cast<eKET_KEYCODE>(::CVornMenuState::KEY_BACK));
             Lobby()->SetMenuVisibility(0);
         },
         NONE, 0, NO, 0, "withdraw own", "", false},
        {"own challenge to B", [&] { Challenge(iB); }, WAITING, iB, NO, 0, "challenge", "", false},
        {"logout and in again", [&] { ASSERT_GT(LogOutAndInAgain(), 0); }, NONE, 0, NO, 0, nullptr, "*",
         false},
        {"own challenge to B", [&] { Challenge(iB); }, WAITING, iB, NO, 0, "challenge", "", false},
        {"its time up", [&] { Frame(20.1f); }, NONE, 0, NO, 0, "withdraw own", "", false},
        {"C challenges after the time", [&] { ChallengesMe(m_pThird); }, NONE, 0, SHOWN, iC, "", C_CHALLENGES,
         true},
        {"quick play pairs with B",
         [&]
         {
             Pairing();
             m_App.GetGameState()->QuickPlay();
             m_pOther->RegisterInGameQueue(0, 2);
             PlaysUntilStart(m_pOther);
             // The server told C that this player is in a match.
             ASSERT_TRUE(WaitFor([&] { return !m_Rec3.With("OnChallengeResponse").empty(); }));
             const std::string strBusy = m_Rec3.With("OnChallengeResponse").back();
             EXPECT_EQ(strBusy.substr(strBusy.size() - 3), ",2)");
         },
         NONE, 0, NO, 0, "", "", false},
        {"the match ends",
         [&]
         {
             const int iEnded = GameLog().Count("game.GameSessionEnded");
             m_pControl->Close(sLOBBY_TARGET::Game(Session()->GetOwnUserId()));
             ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.GameSessionEnded") > iEnded; }));
         },
         NONE, 0, NO, 0, "", "", false},
        {"C challenges", [&] { ChallengesMe(m_pThird); }, NONE, 0, SHOWN, iC, "", C_CHALLENGES, true},
        {"own challenge to C, whose shows",
         [&]
         {
             Pairing();
             Challenge(iC);
         },
         ACCEPTED, iC, NO, 0, "yes C", "", false},
        {"the accepted match starts", [&] { PlaysUntilStart(m_pThird); }, NONE, 0, NO, 0, "", "", false},
        {"C's challenge withdrawn late",
         [&]
         {
             const int iOwn = Session()->GetOwnUserId();
             m_pControl->Send(sLOBBY_TARGET::Lobby(iOwn), "challenge_response",
                              "[0, 64, " + std::to_string(iOwn) + ", " + std::to_string(iC) + ", \"" +
                                  Guest(iC) + "\", \"\"]");
             ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iOwn)));
         },
         NONE, 0, NO, 0, "", "", false},
    };
    for (const sROW& row : aRows)
    {
        SCOPED_TRACE(row.pEvent);
        const int iOwn = Session()->GetOwnUserId();
        const size_t uHeard = Heard(), uAnswers = Count("ChallengeResponse");
        const size_t uToasts = GameLog().With("toast.Add").size();
        const int iCancelled = GameLog().Count("game.CancelledQuickPlay");
        ASSERT_NO_FATAL_FAILURE(row.fnEvent());
        const ::CVornChallengeState& state = Lobby()->GetChallenges();
        EXPECT_EQ(state.GetOwn(), row.eOwn);
        EXPECT_EQ(state.GetOwnPartner(), row.iOwnPartner);
        EXPECT_EQ(state.GetReceived(), row.eReceived);
        EXPECT_EQ(state.GetChallenger(), row.iChallenger);
        EXPECT_EQ(PageName() == "challenge_waiting", row.eOwn == WAITING) << PageName();
        if (row.pSent)
        {
            std::string strSent;
            // Read after the server has read what the lobby sent.
            const std::vector<std::string> aAsked = AskedSince(uHeard);
            const std::vector<CTestJson> aAnswers = In("ChallengeResponse");
            size_t uAnswer = uAnswers;
            for (const std::string& strName : aAsked)
            {
                if (strName == "MakeChallenge")
                    strSent += std::string(strSent.empty() ? "" : ", ") + "challenge";
                if (strName != "ChallengeResponse")
                    continue;
                while (uAnswer < aAnswers.size() && aAnswers[uAnswer]["own"].Int() != iOwn)
                    ++uAnswer;
                ASSERT_LT(uAnswer, aAnswers.size());
                const CTestJson& answer = aAnswers[uAnswer++];
                strSent += std::string(strSent.empty() ? "" : ", ") +
                           (answer["answer"].Int() ? "yes " : "no ") +
                           Name(static_cast<int>(answer["challenger"].Int()));
            }
            if (strSent == "no own")
                strSent = "withdraw own";
            EXPECT_EQ(strSent, row.pSent);
        }
        std::vector<std::string> aToasts = GameLog().With("toast.Add");
        aToasts.erase(aToasts.begin(), aToasts.begin() + static_cast<std::ptrdiff_t>(uToasts));
        if (row.strToast.empty())
        {
            EXPECT_TRUE(aToasts.empty()) << aToasts.front();
        }
        else if (row.strToast != "*")
        {
            EXPECT_TRUE(aToasts.size() == 1u && aToasts[0].find(row.strToast + ",") != std::string::npos)
                << (aToasts.empty() ? "no toast" : aToasts[0]);
        }
        EXPECT_EQ(ChallengeToastUp(), row.bChallengeToast);
        EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled);
    }
}

TEST_F(CVornMenuState, WhileQueuedAChallengeIsRejectedAtOnceWithoutAPanel)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    ::CVornMenuState::actionStartGame(nullptr, Lobby()); // quick play: queued
    ASSERT_TRUE(WaitForMessage("QueueRegisterIn"));
    // The server never asks a queued player, so the challenge comes through the control channel.
    m_pControl->Send(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId()), "challenge_received",
                     "[0, 4242, \"zed\", \"\", 3, 9]");
    ASSERT_TRUE(WaitForMessage("ChallengeResponse"));
    const CTestJson answer = In("ChallengeResponse")[0];
    EXPECT_EQ(answer["answer"].Int(), 0);
    EXPECT_EQ(answer["challenger"].Int(), 4242);
    EXPECT_NE(Lobby()->GetChallenges().GetChallenger(), 4242);
    EXPECT_NE(PanelText("player_name"), "zed");
    EXPECT_TRUE(Toasts("zed challenges you,").empty());
}

TEST_F(CVornMenuState, PressingTheChallengeToastOpensTheChallengePage)
{
    m_bShipped = true;
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    ChallengeFromOther();
    ASSERT_TRUE(WaitFor([&] { return Toasts(Guest(iOther) + " challenges you,-2,").size() == 1u; }));
    EXPECT_NE(PageName(), "challenge_received");
    ASSERT_NO_FATAL_FAILURE(PressToast());
    EXPECT_EQ(PageName(), "challenge_received");
    EXPECT_EQ(PanelText("player_name"), Guest(iOther));

    // Escape, the back key, answers as Decline does and leaves the page.
    m_App.OnKeyDown(KET_KEY_ESCAPE);
    ASSERT_TRUE(WaitForMessage("ChallengeResponse"));
    EXPECT_EQ(In("ChallengeResponse")[0]["answer"].Int(), 0);
    Frame(0.5f);
    EXPECT_NE(PageName(), "challenge_received");

    // A challenge whose challenger's window closes while its page is open is dead: the page
    // closes, also when Accept was pressed and released in the frame that hears it (a window
    // that hung a moment, its input and the withdrawal handled together, and its next frame a
    // long one). The next challenger is shown rather than answered busy, and his page, opened
    // from its toast, waits for a press: that Accept is none.
    ChallengeFromOther();
    ASSERT_TRUE(WaitFor([&] { return Toasts(Guest(iOther) + " challenges you,-2,").size() == 2u; }));
    ASSERT_NO_FATAL_FAILURE(PressToast());
    ASSERT_EQ(PageName(), "challenge_received");
    CWidget* pAccept = InPanel("accept_button");
    ASSERT_NE(pAccept, nullptr);
    int x = pAccept->GetWidth() / 2, y = pAccept->GetHeight() / 2;
    Lobby()->GetRoot()->MapFrom(pAccept, x, y);
    m_App.OnMouseButton(0, x, y);
    m_App.OnMouseButtonUp(0, x, y);
    m_pControl->Close(sLOBBY_TARGET::Lobby(iOther));
    ASSERT_TRUE(WaitFor([&] { return PageName() != "challenge_received"; }));
    Frame(0.5f);
    EXPECT_FALSE(Visible("challenge_received"));
    EXPECT_EQ(Lobby()->GetChallenges().GetChallenger(), 0);
    const int iThird = AddThird();
    ASSERT_GT(iThird, 0);
    ChallengeFrom(m_pThird);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == iThird; }));
    ASSERT_NO_FATAL_FAILURE(PressToast());
    Frame(0.5f);
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
    EXPECT_EQ(PageName(), "challenge_received");
    EXPECT_EQ(PanelText("player_name"), Guest(iThird));
    EXPECT_EQ(Count("ChallengeResponse"), 1u);

    // The game's play button with that challenge's page open: quick play waits at the server.
    // The challenge withdrawn meanwhile (its challenger's time up) takes its toast and panel
    // along, and leaves the game's waiting screen to the queue.
    const int iOwn = Session()->GetOwnUserId();
    const int iCancelled = GameLog().Count("game.CancelledQuickPlay");
    m_App.GetGameState()->QuickPlay();
    ASSERT_TRUE(WaitFor([&] { return Queued(iOwn); }));
    m_pThird->SendChallengeResponse(iThird, 0, CKorvelString());
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == 0; }));
    EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled);
    EXPECT_TRUE(Queued(iOwn));
    m_App.GetGameState()->CancelQuickPlay();
    ASSERT_TRUE(WaitFor([&] { return !Queued(iOwn); }));

    // A player who challenges another while a challenge waits for his answer has declined it:
    // its challenger hears the refusal, its toast goes, and the own challenge waits as any.
    ChallengeFrom(m_pThird);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == iThird; }));
    ASSERT_TRUE(ChallengeToastUp());
    const size_t uAnswers = m_Rec3.With("OnChallengeResponse").size();
    CVornNetworkSession* pFourth = AddSession(m_Rec4);
    const int iFourth = pFourth ? LoginGuest(pFourth, m_Rec4) : -1;
    ASSERT_GT(iFourth, 0);
    Lobby()->GetSelectedPlayers().RemoveAll();
    Lobby()->GetSelectedPlayers().Add({0, iFourth});
    ::CVornMenuState::actionStartGame(nullptr, Lobby());
    ASSERT_EQ(PageName(), "challenge_waiting");
    EXPECT_FALSE(ChallengeToastUp());
    EXPECT_EQ(Lobby()->GetChallenges().GetOwnPartner(), iFourth);
    ASSERT_TRUE(WaitFor([&] { return m_Rec4.With("OnChallengeReceived").size() == 1u; }));
    ASSERT_EQ(m_Rec3.With("OnChallengeResponse").size(), uAnswers + 1);
    const std::string strRefusal = m_Rec3.With("OnChallengeResponse").back();
    EXPECT_EQ(strRefusal.substr(strRefusal.size() - 3), ",0)");
    // Nor does a withdrawal of another challenge end the wait for the own one.
    m_pControl->Send(sLOBBY_TARGET::Lobby(iOwn), "challenge_response",
                     "[0, 64, " + std::to_string(iOwn) + ", " + std::to_string(iThird) + ", \"" +
                         Guest(iThird) + "\", \"\"]");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iOwn)));
    Frame(0.5f);
    EXPECT_EQ(PageName(), "challenge_waiting");
    EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled);
    // Its time up withdraws it: the player takes challenges again.
    Frame(20.1f);
    EXPECT_NE(PageName(), "challenge_waiting");

    // An accept the server can no longer pair (here a challenge it never made) is answered with
    // the withdrawal, which still closes what waits for that match.
    m_pControl->Send(sLOBBY_TARGET::Lobby(iOwn), "challenge_received", "[0, 4242, \"zed\", \"\", 3, 9]");
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == 4242; }));
    Lobby()->SwitchToPage(CKorvelString("challenge_received"), 1); // as its toast leads
    ::CVornMenuState::actionAcceptChallenge(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.CancelledQuickPlay") == iCancelled + 1; }));
    Frame(0.5f);
    EXPECT_NE(PageName(), "challenge_received");
    EXPECT_EQ(Lobby()->GetChallenges().GetChallenger(), 0);
    // Answered once: the same withdrawal again is no answer to it.
    m_pControl->Send(sLOBBY_TARGET::Lobby(iOwn), "challenge_response",
                     "[0, 64, " + std::to_string(iOwn) + ", 4242, \"zed\", \"\"]");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(iOwn)));
    EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled + 1);

    // An accept the player logs out from before its answer is answered on no later connection:
    // that challenger's next withdrawal is no answer to it, and the game's quick play goes on.
    // The logout ended the challenge at the server: its toast went with it.
    m_pControl->Send(sLOBBY_TARGET::Lobby(iOwn), "challenge_received", "[0, 4242, \"zed\", \"\", 3, 9]");
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == 4242; }));
    ASSERT_TRUE(ChallengeToastUp());
    ::CVornMenuState::actionAcceptChallenge(nullptr, Lobby());
    EXPECT_FALSE(ChallengeToastUp()) << "answered, it leaves";
    const int iAgain = LogOutAndInAgain();
    ASSERT_GT(iAgain, 0);
    EXPECT_FALSE(ChallengeToastUp());
    EXPECT_EQ(Lobby()->GetChallenges().GetChallenger(), 0);
    m_pControl->Send(sLOBBY_TARGET::Lobby(iAgain), "challenge_received", "[0, 4242, \"zed\", \"\", 3, 9]");
    ASSERT_TRUE(WaitFor([&] { return Toasts("zed challenges you,").size() == 3u; }));
    m_App.GetGameState()->QuickPlay();
    ASSERT_TRUE(WaitFor([&] { return Queued(iAgain); }));
    m_pControl->Send(sLOBBY_TARGET::Lobby(iAgain), "challenge_response",
                     "[0, 64, " + std::to_string(iAgain) + ", 4242, \"zed\", \"\"]");
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == 0; }));
    EXPECT_EQ(GameLog().Count("game.CancelledQuickPlay"), iCancelled + 1);
    EXPECT_TRUE(Queued(iAgain));

    // A lost connection ends a received challenge as a logout does: its page closes with its
    // toast.
    m_App.GetGameState()->CancelQuickPlay();
    ASSERT_TRUE(WaitFor([&] { return !Queued(iAgain); }));
    m_pControl->Send(sLOBBY_TARGET::Lobby(iAgain), "challenge_received", "[0, 4242, \"zed\", \"\", 3, 9]");
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == 4242; }));
    Lobby()->SwitchToPage(CKorvelString("challenge_received"), 1);
    ASSERT_TRUE(ChallengeToastUp());
    m_pControl->Close(sLOBBY_TARGET::Lobby(iAgain));
    ASSERT_TRUE(WaitFor([&] { return PageName() != "challenge_received"; })) << PageName();
    EXPECT_FALSE(ChallengeToastUp());
    EXPECT_EQ(Lobby()->GetChallenges().GetChallenger(), 0);
}

TEST_F(CVornMenuState, AChallengeToAQueuedPlayerGetsTheBusyAnswerWithoutAskingIt)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOther = AddOpponent();
    ASSERT_GT(iOther, 0);
    m_pOther->RegisterInGameQueue(0, 2);
    // Two connections cannot be ordered at the server: wait until it has the registration.
    ASSERT_TRUE(WaitFor([&] { return Queued(iOther); }));

    Lobby()->GetSelectedPlayers().Add({0, iOther});
    ::CVornMenuState::actionStartGame(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Toasts("text 6,").size() == 1u; }));
    EXPECT_TRUE(m_Rec2.With("OnChallengeReceived").empty());
}

TEST_F(CVornMenuState, APictureThatDoesNotDecodeChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    CKorvelSurface* pBefore = PanelPicture();
    unsigned char aJunk[] = {0x89, 'P', 'N', 'G', 0, 1, 2, 3};
    Lobby()->OnChallengeImageReceived(Session(), 4242, aJunk, sizeof aJunk);
    Lobby()->OnChallengeImageReceived(Session(), 4242, nullptr, 100);
    EXPECT_EQ(PanelPicture(), pBefore);
}

} // namespace
