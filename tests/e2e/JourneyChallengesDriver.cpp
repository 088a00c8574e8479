// Two players' challenges, in two windows side by side on one local lobby server, with two
// accounts made through the registration pages: Alda challenges Bram from his row on the
// Players page and Bram declines (his dialog closes, Alda reads the answer); Alda challenges
// again and withdraws from the waiting page, once before Bram opened the toast (the toast
// goes and leaves nothing to press) and once with his dialog open (it goes away); Bram
// accepts a challenge of the server's scripted player and plays, and Alda's challenge
// meanwhile reads as busy; Bram blocks Alda from her card, her challenge then reads as his
// decline and never reaches him, and he unblocks her there; in their match he blocks,
// unblocks and blocks her again from her card on the chat page and closes it, and her chat
// never reaches him. Each challenge Alda withdraws is taken back once.
//
//   e2e_journey_challenges_driver   (under xvfb-run; KORVEL_SOURCE_DIR and KORVEL_BINARY_DIR set)
#include <algorithm>

#include "support/PeerProcess.h"
#include "tests/e2e/JourneyChallenges.h"

namespace
{

using namespace journey_pages;
using namespace journey_challenges;

const char* const PASSWORD = "Secret-123";
const char* const ALDA = "Alda";
const char* const BRAM = "Bram";
// The answers as the challenger reads them (the framework's language texts 5 and 6) and
// the challenged player's toast (37).
const char* const DECLINED = "Bram does not want to play right now.";
const char* const BUSY = "The other player is in a match right now.";
const std::string CHALLENGES_YOU = " challenges you to a match!";
const char* const ALDAS_LINE = "Alda writes a long line to Bram that never reaches him";
const char* const BRAMS_LINE = "ok";
// Rows of the Players page: the players online in the order of their logins.
const int ALDAS_ROW = 0, BRAMS_ROW = 1;
// Answers of a ChallengeResponse.
const int ANSWER_NO = 0, ANSWER_BUSY = 2;
// A chat record's type for a player's own words.
const int CHAT_LINE = 2;
const int INK_TOLERANCE = 48;
// A text in the chat lines' font ("main"): the probe measures none inside the chat's list.
const char* const MAIN_FONT_TEXT = "//challenge_waiting//waiting_text";
// The player card on the chat page.
const std::string CARD = "//chat_root//chat_expand_slidearea//chat_expand_item//chat_card";

// The columns from the first to the last where the rectangle holds anything but its
// background (taken from its right edge, row by row: the page's gradient runs down).
int WrittenWidth(const sE2eShot& shot, const sE2eRect& r)
{
    const int iRight = std::min(r.m_iRight, shot.m_iWidth) - 1;
    return E2eInkSpan(shot, r,
                      [&](int, int y, uint32_t uPixel)
                      { return !E2eNear(uPixel, shot.At(iRight, y), INK_TOLERANCE); });
}

std::function<bool(const CTestJson&)> Out(const std::string& strName)
{
    return [strName](const CTestJson& r)
    { return r["event"].String() == "out" && r["name"].String() == strName; };
}

// The server's answer to Alda's challenge.
std::function<bool(const CTestJson&)> Answered(int iAnswer)
{
    return [iAnswer](const CTestJson& r)
    { return Out("ChallengeResponse")(r) && r["fields"]["answer"].Int() == iAnswer; };
}

// Alda presses the challenge button of Bram's row; the server answers her without asking
// him. Where her log stood before the press.
size_t AnsweredAtOnce(CJourney& alda, const std::string& strStep, int iAnswer)
{
    const size_t uFrom = alda.LogCount();
    PressRowPart(alda, BRAMS_ROW, "list_item_small//challenge_button");
    alda.WaitForRecord(strStep, Answered(iAnswer), uFrom);
    return uFrom;
}

// Alda presses the challenge button of Bram's row and waits; the server asks Bram.
void Challenge(CJourneyPages& alda)
{
    CJourney& journey = alda.Journey();
    journey.Probe({WAITING.m_pTitle, "//challenge_waiting//waiting_close"});
    const size_t uFrom = journey.LogCount();
    PressRowPart(journey, BRAMS_ROW, "list_item_small//challenge_button");
    alda.WaitForPage(WAITING);
    journey.WaitForRecord("the server asked Bram", Out("ChallengeReceived"), uFrom);
}

// What Bram's answers to Alda need of the layout, placed before her first challenge: under
// load a layout probe outlasts the toast and her challenge's 20 s.
void PlaceAnswers(CJourney& bram)
{
    bram.Probe(
        {CHALLENGED.m_pTitle, "//challenge_received//reject_button", "//challenge_received//accept_button"});
    MeasureToasts(bram, {ALDA + CHALLENGES_YOU});
}

// Bram's toast opens the challenge dialog.
void OpenChallenge(CJourneyPages& bram, const std::string& strToast)
{
    CJourney& journey = bram.Journey();
    WaitForToast(journey, strToast);
    for (int iTry = 0; iTry < 4 && !(journey.Look(), bram.Showing(CHALLENGED)); ++iTry)
    {
        PressToast(journey);
        E2eWaitFor([&] { return journey.Look(), bram.Showing(CHALLENGED); }, 10);
    }
    bram.WaitForPage(CHALLENGED);
}

void Decline(CJourneyPages& alda, CJourneyPages& bram)
{
    CJourney& a = alda.Journey();
    CJourney& b = bram.Journey();
    a.Say("journey: a challenge declined");
    FindPlayer(alda, BRAM, BRAMS_ROW);
    a.Keep("g1-bram-found");
    Challenge(alda);
    OpenChallenge(bram, ALDA + CHALLENGES_YOU);
    b.Keep("g2-challenged");
    const size_t uFrom = a.LogCount();
    b.PressWidget("//challenge_received//reject_button");
    a.WaitForRecord("the server told Alda the refusal", Answered(ANSWER_NO), uFrom);
    // Alda's toast first: it goes after a few seconds, and saving a picture takes seconds
    // under load.
    WaitForToast(a, DECLINED);
    a.Keep("g3-told");
    bram.WaitForPage(HOME);
    b.Keep("g4-declined");
}

// Alda presses the waiting page's close button; the server passes the withdrawal on.
void PressWithdraw(CJourneyPages& alda)
{
    CJourney& a = alda.Journey();
    const size_t uFrom = a.LogCount();
    a.PressWidget("//challenge_waiting//waiting_close");
    a.WaitForRecord(
        "the server logged the withdrawal",
        [](const CTestJson& r) { return r["event"].String() == "challenge_withdrawn"; }, uFrom);
    alda.WaitForPage(PLAYERS);
}

void Withdraw(CJourneyPages& alda, CJourneyPages& bram)
{
    CJourney& a = alda.Journey();
    CJourney& b = bram.Journey();
    a.Say("journey: a challenge withdrawn before its toast was pressed");
    alda.WaitForPage(PLAYERS);
    Challenge(alda);
    WaitForToast(b, ALDA + CHALLENGES_YOU);
    const size_t uFrom = a.LogCount();
    PressWithdraw(alda);
    b.WaitFor([&] { return !ShowsToast(b, ALDA + CHALLENGES_YOU); }, "Bram's challenge toast went away");
    b.Keep("g5-toast-withdrawn");
    // Where the toast was, a press opens nothing.
    PressToast(b);
    b.Expect(!E2eWaitFor([&] { return b.Look(), bram.Showing(CHALLENGED); }, 3),
             "a press where the toast was opens no challenge");
    b.Expect(b.Log().Find([](const CTestJson& r) { return r["event"].String() == "challenge_unknown"; },
                          uFrom) < 0,
             "Bram answered no withdrawn challenge");
    // Under the gone toast lies the home page's Play, which closes the lobby. The next toast
    // would then lie over the menu's moving buttons, which show through it: never still to read.
    bram.OpenLobby();

    a.Say("journey: a challenge withdrawn while its dialog is open");
    Challenge(alda);
    OpenChallenge(bram, ALDA + CHALLENGES_YOU);
    PressWithdraw(alda);
    bram.WaitForPage(HOME);
    b.Keep("g5-withdrawn");
}

// Alda's challenges that her withdrawals took back from a player they were still asking.
// (A waiting time that runs out after an answer withdraws too, and reaches nobody.)
size_t Withdrawals(CJourney& journey, long long llAlda)
{
    size_t uCount = 0;
    for (const CTestJson& r : journey.Log().Records())
        uCount += r["event"].String() == "challenge_withdrawn" && r["challenger"].Int() == llAlda ? 1 : 0;
    return uCount;
}

// Bram accepts the challenge that the toast offers; the match starts.
void Accept(CJourneyPages& bram, const std::string& strToast)
{
    CJourney& journey = bram.Journey();
    OpenChallenge(bram, strToast);
    const size_t uFrom = journey.LogCount();
    journey.PressWidget("//challenge_received//accept_button");
    journey.WaitForRecord(
        "the match started", [](const CTestJson& r) { return r["event"].String() == "match_start"; }, uFrom);
}

// Bram plays the scripted player, who challenged him; Alda's challenge reads as busy.
void Busy(CJourneyPages& alda, CJourneyPages& bram, CPeerProcess& peer)
{
    CJourney& a = alda.Journey();
    a.Say("journey: a busy opponent");
    const CTestJson ready = a.WaitForRecord("the server is ready", [](const CTestJson& r)
                                            { return r["event"].String() == "ready"; });
    a.Expect(peer.Start(static_cast<unsigned int>(ready["lobby_port"].Int())) &&
                 peer.Command("\"cmd\": \"guest\""),
             "the server's scripted player started");
    a.WaitFor([&] { return peer.UserId() > 0; }, "the scripted player logged in");
    const size_t uFrom = a.LogCount();
    a.Expect(peer.Command("\"cmd\": \"challenge\", \"ids\": [" + std::to_string(UserId(a, BRAM)) + "]"),
             "the scripted player challenged Bram");
    const CTestJson asked = a.WaitForRecord("the server asked Bram", Out("ChallengeReceived"), uFrom);
    Accept(bram, asked["fields"]["name"].String() + CHALLENGES_YOU);
    bram.Journey().Keep("g6-bram-plays");

    AnsweredAtOnce(a, "the server answered that Bram is busy", ANSWER_BUSY);
    WaitForToast(a, BUSY);
    a.Keep("g7-busy");

    // The scripted player leaves; Bram's match ends and he goes back to the lobby.
    a.Expect(peer.Command("\"cmd\": \"close\", \"conn\": \"game\""), "the scripted player left the match");
    bram.WaitForPage(CHAT);
    // The chat's back leaves the match for the game's menu.
    bram.Journey().PressWidget("//chat_root//button_back");
    bram.WaitForGameMenu();
    bram.OpenLobby();
}

// Bram presses the block toggle of Alda's card on his Players page; the server gets the answer.
void PressListBlock(CJourney& b, int iBlock)
{
    const size_t uFrom = b.LogCount();
    PressRowPart(b, ALDAS_ROW, "list_item_big//playerlist-item-nasty-buttons//button_block");
    b.WaitForRecord(
        std::string("the server got the ") + (iBlock ? "block" : "unblock"),
        [&](const CTestJson& r)
        { return CJourney::Incoming("BlockUser")(r) && r["fields"]["block"].Int() == iBlock; },
        uFrom);
}

// From Alda's card on his Players page.
void Block(CJourneyPages& bram)
{
    CJourney& b = bram.Journey();
    b.Say("journey: a player blocked");
    FindPlayer(bram, ALDA, ALDAS_ROW);
    PressRowUntilShown(b, ALDAS_ROW, "list_item_small//player_name", "list_item_big//text_challenge",
                       "Alda's card opened");
    PressRowUntilShown(b, ALDAS_ROW, "list_item_big//details_button",
                       "list_item_big//playerlist-item-nasty-buttons//text_block", "the card offers Block");
    b.Keep("g8-card");
    PressListBlock(b, 1);
}

void OpenChat(CJourneyPages& pages)
{
    // The vorn button hides a lobby that shows.
    if (!(pages.Journey().Look(), pages.Showing(CHAT)))
        pages.PressUntil("//vorn_button_root//vorn_button", CHAT);
}

void Chat(CJourneyPages& pages, const std::string& strLine)
{
    CJourney& journey = pages.Journey();
    OpenChat(pages);
    pages.TypeInto("//chat_root//chat_textfield", strLine);
    journey.PressWidget("//chat_root//chat_send_button");
}

// Alda's challenge never reaches Bram, who blocked her: she reads his decline. He unblocks her
// on the card he blocked her from, and her next challenge opens their match.
void BlockedChallenge(CJourneyPages& alda, CJourneyPages& bram)
{
    CJourney& a = alda.Journey();
    CJourney& b = bram.Journey();
    a.Say("journey: a blocked player's challenge");
    // Her list, asked again as her waiting page closed, marks Bram busy as he was then, and
    // offers him no challenge: she opens it anew.
    if (a.Look(), alda.Showing(PLAYERS))
    {
        alda.PressUntil("//players_root//button_back", HOME);
        // Home shows while the old list still slides away, its rows drawn as they were.
        a.WaitFor([&] { return a.Look(), !alda.Showing(PLAYERS); }, "the old players page went");
    }
    FindPlayer(alda, BRAM, BRAMS_ROW);
    const size_t uFrom = AnsweredAtOnce(a, "the server answered Alda with Bram's decline", ANSWER_NO);
    WaitForToast(a, DECLINED);
    a.Expect(a.Log().Find(Out("ChallengeReceived"), uFrom) < 0, "the server did not ask Bram");
    alda.WaitForPage(PLAYERS);

    PressListBlock(b, 0);
    Challenge(alda);
    Accept(bram, ALDA + CHALLENGES_YOU);
}

// In their match, blocked again from her card, Alda's line never reaches Bram; his reaches her.
void BlockedChat(CJourneyPages& alda, CJourneyPages& bram)
{
    CJourney& a = alda.Journey();
    CJourney& b = bram.Journey();
    a.Say("journey: a blocked player's chat");
    const size_t uFrom = a.LogCount();
    Chat(alda, ALDAS_LINE);
    a.WaitForRecord(
        "the server dropped Alda's line",
        [](const CTestJson& r) { return r["event"].String() == "chat_blocked"; }, uFrom);
    Chat(bram, BRAMS_LINE);
    a.WaitForRecord(
        "the server passed Bram's line on",
        [](const CTestJson& r)
        { return Out("ChatMessage")(r) && r["fields"]["text"].String() == BRAMS_LINE; },
        uFrom);
    // His window shows no line near as wide as hers, in whatever colour lines are drawn.
    // The lines grow up from the bottom of their holder, which the backlog fills once full.
    const sE2eRect backlog = b.Widget("//chat_root//chat_lines").m_Rect;
    const int iAldas = b.LiteralWidth(MAIN_FONT_TEXT, ALDA + std::string(": ") + ALDAS_LINE);
    b.Keep("g9-bram-chat");
    const int iWritten = WrittenWidth(b.Look(), backlog);
    b.Expect(iWritten < iAldas * 3 / 4, "Bram's chat shows no line of Alda's",
             "lines " + std::to_string(iWritten) + " px wide, hers " + std::to_string(iAldas) + " px");
}

// Bram presses the block toggle of the card on his chat page; the server gets the answer.
void PressCardBlock(CJourney& b, int iBlock)
{
    const size_t uFrom = b.LogCount();
    b.PressWidget(CARD + "//chat_nastybuttons//button_block");
    b.WaitForRecord(
        std::string("the server got the ") + (iBlock ? "block" : "unblock") + " from the card",
        [&](const CTestJson& r)
        { return CJourney::Incoming("BlockUser")(r) && r["fields"]["block"].Int() == iBlock; },
        uFrom);
}

// Alda's line, relayed to Bram or dropped at the server.
void AldaSays(CJourneyPages& alda, const std::string& strLine, bool bRelayed)
{
    CJourney& a = alda.Journey();
    const size_t uFrom = a.LogCount();
    a.Say(std::string("Alda's next line is ") + (bRelayed ? "relayed" : "dropped"));
    Chat(alda, strLine);
    // Any line of hers: its words are not what is tested here.
    const long long llAlda = UserId(a, ALDA);
    if (bRelayed)
        a.WaitForRecord(
            "the server passed Alda's line on",
            [&](const CTestJson& r)
            {
                return Out("ChatMessage")(r) && r["fields"]["type"].Int() == CHAT_LINE &&
                       r["fields"]["sender"].Int() == llAlda;
            },
            uFrom);
    else
        a.WaitForRecord(
            "the server dropped Alda's line",
            [](const CTestJson& r) { return r["event"].String() == "chat_blocked"; }, uFrom);
}

// In the match, on his chat page: Alda's card from her avatar, where he blocks, unblocks and
// blocks her again, and closes it by its arrow.
void CardBlock(CJourneyPages& alda, CJourneyPages& bram)
{
    CJourney& b = bram.Journey();
    b.Say("journey: blocking from the card on the chat page");
    const sE2eRect block = b.Widget(CARD + "//chat_nastybuttons//text_block").m_Rect;
    const int iName = b.LiteralWidth(CARD + "//player_name", ALDA);
    OpenChat(bram);
    // The match's players side by side, the challenger first.
    b.PressWidget("//chat_root//chat_avatars_root//avatar_list//item_template//player_avatar");
    b.WaitFor([&] { return b.Look(), b.Shows(CARD + "//player_name", JOURNEY_TEXT_PRIMARY, iName); },
              "Alda's card opened on the chat page");
    b.PressWidget(CARD + "//nasty_toggle");
    b.WaitFor([&] { return InkWidth(b.Look(), block, JOURNEY_TEXT_PRIMARY) > 0; }, "the card offers Block");
    b.Keep("g10-chat-card");
    PressCardBlock(b, 1);
    AldaSays(alda, "gone", false);
    PressCardBlock(b, 0);
    AldaSays(alda, "back again", true);
    PressCardBlock(b, 1);
    b.PressWidget(CARD + "//arrow");
    // Its lowest line, below the chat's few lines, is gone.
    b.WaitFor([&] { return InkWidth(b.Look(), block, JOURNEY_TEXT_PRIMARY) == 0; }, "the card closed");
    b.Keep("g11-card-closed");
}

} // namespace

int main()
{
    CJourney first("journey_challenges");
    CJourney second(first, 2);
    CJourneyPages alda(first), bram(second);
    return first.Run(
        [&]
        {
            Arrive(alda, ALDA, PASSWORD);
            Arrive(bram, BRAM, PASSWORD);
            MeasureToasts(first, {DECLINED, BUSY});
            PlaceAnswers(second);
            Decline(alda, bram);
            Withdraw(alda, bram);
            CPeerProcess peer;
            Busy(alda, bram, peer);
            Block(bram);
            BlockedChallenge(alda, bram);
            CardBlock(alda, bram);
            BlockedChat(alda, bram);
            first.Expect(Withdrawals(first, UserId(first, ALDA)) == 2,
                         "Alda's two withdrawals each took one challenge back, and no other");
            first.Expect(second.Close() == 0 && first.Close() == 0,
                         "both games ended with 0 on the close message");
            const CTestJson end = first.WaitForRecord("the lobby server ended", [](const CTestJson& r)
                                                      { return r["event"].String() == "shutdown"; });
            first.Expect(end["violations"].Int() == 0, "the server saw no protocol violation");
        });
}
