// Two players' ways through a match, each in a window of its own on one lobby server:
//  (f) two accounts made through the pages, each game naming on its terminal the server it
//      reached; both press play and are paired; one shot each by dragging the own flomp, the
//      turn passing over the server (a rematch when a shot decides the match); one chat line
//      each way, its bubble at the sender's portrait in both windows; the chat's back arrow
//      returns to the board and leaves nothing; both open the chat page and play no more
//      until their turns run out and end the match, with no rematch button before its end;
//      after it a line from each shows whole at the bottom of both chat pages; both ask for a
//      rematch and the next match starts; one leaves by the exit door, answering
//      the quit question; the stayer sees that the opponent left before the chat page comes,
//      then a chat without a rematch, and gets back to the game's menu; the server records the
//      stayer's win and the leaver's loss, and both open their Me page; then two guests in a
//      match: one's game is killed, the other sees that he won, closes his game from the chat
//      page and the server records his win; both start again as guests: one closes its window,
//      the other gets back to the game's menu and starts training. The server logs no violation.
//
//   e2e_journey_match_driver   (under xvfb-run on a 2048x640 screen; KORVEL_SOURCE_DIR and
//                               KORVEL_BINARY_DIR set)
#include <signal.h>

#include <chrono>
#include <thread>

#include "tests/e2e/JourneyDuel.h"
#include "tests/e2e/JourneyMatchChat.h"
#include "tests/e2e/JourneyMatchTurns.h"

namespace
{

using namespace journey_pages;
using namespace journey_duel;
using sPlayer = sJourneyPlayer;

const int ENGLISH_ROW = 0;
const char* const PASSWORD = "Reed-42";
const char* const THANK_BUTTON = "//loginscreen_thank//thank_button";
const sJourneyPage ME = {"the Me page", "//me_root//page_title", JOURNEY_TEXT_TITLE};
// A bubble's white, in pixels, over what the band showed before the line.
const int BUBBLE_PIXELS = 300;
const int WINNER_READ_MS = 1500;
// The result's lines stand over the winner's flomp and rise with it as it moves, by a line's
// height at the most meanwhile.
const float WINNER_LINE_RISE = 0.07f;
const int WINNER_LOOK_SECONDS = 2;
// The lesson chooser's first button (game/MoxTrainingState.cpp), in twentieths of the width
// from the screen's centre.
const float LESSON_UNITS = 20.0f, FIRST_LESSON_LEFT = 4.0f, FIRST_LESSON_UP = 1.5f;

void FirstLaunch(sPlayer& player)
{
    player.m_Journey.Start();
    player.m_Pages.WaitForPage(LANGUAGE);
    player.m_Pages.ChooseLanguage(ENGLISH_ROW);
    player.m_Pages.WaitForPage(LOGIN);
    // Placed now, as one probe run: in the match a bubble shows for seconds only.
    player.m_Journey.Probe({CHAT.m_pTitle, "//chat_root//chat_textfield", "//chat_root//chat_send_button",
                            "//chat_root//button_back"});
}

void RegisterAndPlay(sPlayer& player, const std::string& strName)
{
    const size_t uFrom = player.m_Journey.LogCount();
    player.m_Pages.Register(strName, strName + "@example.org", PASSWORD);
    ReadLogin(player, uFrom);
    player.m_Pages.PressUntilGameMenu(THANK_BUTTON);
}

void GuestToMenu(sPlayer& player)
{
    const size_t uFrom = player.m_Journey.LogCount();
    player.m_Match.PlayAsGuest();
    ReadLogin(player, uFrom);
}

// A line shows beside its speaker's portrait in the name bar, the second player's on the
// right, wherever the camera has moved the speaker's flomp.
const int RIGHT_SLOT = 1;

// Until no bubble shows in the window (the chat's help at the match's start).
void WaitForNoBubble(sPlayer& player)
{
    player.m_Journey.WaitFor(
        [&] { return !player.m_Match.ShowsBubble(false) && !player.m_Match.ShowsBubble(true); },
        "no chat bubble shows");
}

// One line from the sender through its chat page; the chat's back arrow returns to the board
// with the match still running; in both windows the line's bubble shows at the side of the
// sender's flomp, and none at the other.
void ChatLine(sPlayer& sender, sPlayer& receiver, const std::string& strText)
{
    CJourney& log = sender.m_Journey;
    WaitForNoBubble(sender);
    WaitForNoBubble(receiver);
    sPlayer* apViewers[2] = {&receiver, &sender};
    bool abRight[2] = {}, abSeen[2] = {}, abOther[2] = {};
    for (bool& bRight : abRight)
        bRight = sender.m_iSlot == RIGHT_SLOT;
    const size_t uFrom = log.LogCount();
    sender.m_Match.OpenChat();
    sender.m_Match.SayInChat(strText);
    // A bubble shows for six seconds from the relay: the sender's back arrow is pressed at
    // once, and both windows are read by turns until each showed it.
    sender.m_Match.PressChatBack();
    // Pictures are saved once both were seen: a save takes seconds under load, longer than
    // the other window's bubble has left.
    sE2eShot aSeen[2];
    CJourneyLookGaps gaps;
    const auto Seen = [&](int i)
    {
        if (abSeen[i])
            return true;
        gaps.Looked(i);
        if (apViewers[i]->m_Match.ShowsBubble(abRight[i]))
        {
            abSeen[i] = true;
            abOther[i] = apViewers[i]->m_Match.ShowsBubble(!abRight[i]);
            aSeen[i] = apViewers[i]->m_Journey.Picture();
        }
        return abSeen[i];
    };
    const bool bBoth = E2eWaitFor(
        [&]
        {
            const bool bReceiver = Seen(0), bSender = Seen(1);
            return bReceiver && bSender;
        },
        JOURNEY_STEP_SECONDS);
    log.Expect(bBoth,
               "the bubble of " + sender.m_strName + "'s line shows at its portrait's side for " +
                   receiver.m_strName + " and for " + sender.m_strName,
               std::string(abSeen[0] ? "seen" : "not seen") + " and " + (abSeen[1] ? "seen" : "not seen") +
                   "; " + gaps.Text());
    for (int i = 0; i < 2; ++i)
        apViewers[i]->m_Journey.Keep("bubble-of-" + sender.m_strName, aSeen[i]);
    log.Expect(!abOther[0] && !abOther[1], "no bubble of that line at the other side");
    log.Expect(log.Log().Find(Event("game_end"), uFrom) < 0, "the chat's back arrow left no match");
    sender.m_Match.WaitForBoard();
}

// After the opponent left: the match screen says so over the winner's name before the chat
// page takes over (it did not before the opponent left).
void SeesWinner(sPlayer& stayer, bool bBefore)
{
    CJourney& journey = stayer.m_Journey;
    journey.Expect(!bBefore, "no line that the opponent left shows while he plays");
    journey.WaitFor(
        [&]
        {
            return stayer.m_Match.ShowsOpponentLeft() && !stayer.m_Pages.Showing(CHAT) &&
                   !stayer.m_Pages.ShowsGameMenu();
        },
        stayer.m_strName + "'s match screen says that the opponent left, before the chat page");
    // Long enough to be read, not a frame on the way to the chat page: a moment later the
    // result shows again before the chat page does. The picture is kept after that look:
    // saving one takes seconds under load.
    std::this_thread::sleep_for(std::chrono::milliseconds(WINNER_READ_MS));
    bool bChat = false;
    const bool bShown = E2eWaitFor(
        [&]
        {
            const bool bLeft = stayer.m_Match.ShowsOpponentLeft(WINNER_LINE_RISE);
            bChat = stayer.m_Pages.Showing(CHAT);
            return bLeft || bChat;
        },
        WINNER_LOOK_SECONDS);
    journey.Expect(bShown && !bChat, "the result still shows a moment later");
    journey.Keep("winner-" + stayer.m_strName);
}

// The server told the stayer that the opponent's game is gone.
void WaitForOpponentGone(sPlayer& stayer, size_t uFrom)
{
    stayer.m_Journey.WaitForRecord(
        "the server told " + stayer.m_strName + " that the opponent left",
        [](const CTestJson& r)
        { return r["event"].String() == "out" && r["name"].String() == "GameDisconnect"; },
        uFrom);
}

void AccountsMatch(sPlayer& a, sPlayer& b)
{
    a.m_Journey.Say("journey (f): two accounts in a match");
    FirstLaunch(a);
    FirstLaunch(b);
    RegisterAndPlay(a, "ash_3");
    RegisterAndPlay(b, "birch_5");
    // The first to press is usually slot 0: here the second window, with the guests the first.
    QuickPlay(b, a);
    a.m_Journey.Keep("board");
    b.m_Journey.Keep("board");
    JourneyPlayOneShotEach(Side(a), Side(b));
    ChatLine(a, b, "hello birch");
    ChatLine(b, a, "hi there ash");
    JourneyChatAfterTheEnd(Side(a), Side(b));
    JourneyRematch(Side(a), Side(b));
    for (sPlayer* p : {&a, &b})
        p->m_Match.WaitForBoard();

    const size_t uFrom = a.m_Journey.LogCount();
    const bool bBefore = a.m_Match.ShowsOpponentLeft();
    Leave(b, a);
    SeesWinner(a, bBefore);
    JourneyExpectToldOpponentLeft(Side(a), uFrom);
    BackToMenu(a, false);
    const CTestJson result =
        a.m_Journey.WaitForRecord("the server recorded the match", Event("match_result"), uFrom);
    a.m_Journey.Expect(result["winner"].Int() == a.m_llUser,
                       "the match counts as " + a.m_strName + "'s win and " + b.m_strName + "'s loss");
    JourneyExpectWinnerRankedFirst(a.m_Journey, a.m_llUser, uFrom);
    for (sPlayer* p : {&a, &b})
    {
        p->m_Pages.WaitForGameMenuOrPage(HOME);
        p->m_Pages.OpenLobby();
        p->m_Pages.PressUntil("//startscreen_root//startscreen//menu_me", ME);
        p->m_Journey.Keep("me-" + p->m_strName);
        p->m_Pages.PressUntil("//me_root//button_back", HOME);
        p->m_Pages.Logout();
    }
}

// The game's menu: training, its first lesson, and its board.
void PlayFirstLesson(sPlayer& player)
{
    CJourney& journey = player.m_Journey;
    CJourneyPages& pages = player.m_Pages;
    for (int iTry = 0; iTry < PRESS_TRIES && pages.ShowsGameMenu(); ++iTry)
    {
        pages.PressTraining();
        E2eWaitFor([&] { return !pages.ShowsGameMenu(); }, 15);
    }
    journey.WaitFor([&] { return !pages.ShowsGameMenu(); }, "the lesson chooser shows");
    journey.Keep("lessons");
    int x = 0, y = 0;
    auto fnBoard = [&] { return player.m_Match.FindFlomp(0, x, y) && player.m_Match.FindFlomp(1, x, y); };
    // The chooser takes no press while its welcome shows.
    for (int iTry = 0; iTry < 3 * PRESS_TRIES && !fnBoard(); ++iTry)
    {
        const sE2eShot& now = journey.Look();
        const float u = float(now.m_iWidth) / LESSON_UNITS;
        journey.Say("press the first lesson");
        journey.Click(int(0.5f * float(now.m_iWidth) - FIRST_LESSON_LEFT * u),
                      int(0.5f * float(now.m_iHeight) - FIRST_LESSON_UP * u));
        E2eWaitFor(fnBoard, 10);
    }
    journey.WaitFor(fnBoard, "the first lesson's board shows both flomps");
    journey.Keep("training-after-guest-match");
}

// The second game is killed; the first sees his win, closes his game from the chat page, and
// the server has recorded the match as his.
void KilledMatch(sPlayer& a, sPlayer& b)
{
    a.m_Journey.Say("journey (f): two guests; one's game is killed, the other closes his from the chat");
    GuestToMenu(a);
    GuestToMenu(b);
    QuickPlay(a, b);
    CJourney& log = a.m_Journey;
    const size_t uFrom = log.LogCount();
    const bool bBefore = a.m_Match.ShowsOpponentLeft();
    b.m_Journey.StopWith(SIGKILL);
    WaitForOpponentGone(a, uFrom);
    SeesWinner(a, bBefore);
    WaitForChatPage(a);
    a.m_Journey.Keep("chat-before-close-" + a.m_strName);
    log.Expect(a.m_Journey.Close() == 0,
               "the first game ended with 0 on the close message from the chat page");
    const CTestJson result = log.WaitForRecord("the server recorded the match", Event("match_result"), uFrom);
    log.Expect(result["winner"].Int() == a.m_llUser,
               "the match counts as " + a.m_strName + "'s win, who stayed until his own game closed");
    // Both again, on the login page they left.
    a.m_Journey.Start();
    b.m_Journey.Start();
}

void GuestsMatch(sPlayer& a, sPlayer& b)
{
    a.m_Journey.Say("journey (f): two guests; one closes its window");
    GuestToMenu(a);
    GuestToMenu(b);
    QuickPlay(a, b);
    const size_t uFrom = a.m_Journey.LogCount();
    b.m_Journey.Expect(b.m_Journey.Close() == 0, "the second game ended with 0 on the close message");
    WaitForOpponentGone(a, uFrom);
    BackToMenu(a, true);
    PlayFirstLesson(a);
}

} // namespace

int main()
{
    CJourney first("journey_match");
    CJourney second(first, 2);
    sPlayer a(first), b(second);
    return first.Run(
        [&]
        {
            AccountsMatch(a, b);
            KilledMatch(a, b);
            GuestsMatch(a, b);
            first.Expect(first.Close() == 0, "the first game ended with 0 on the close message");
            JourneyExpectCleanServerLog(first);
        });
}
