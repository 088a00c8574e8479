#include "tests/e2e/JourneyMatchTurns.h"

#include <algorithm>
#include <cstdlib>
#include <map>

using namespace journey_pages;
using namespace journey_chat;
using lobby_match::GameEvent;
using lobby_match::IsMessage;
using lobby_match::Payload;

namespace
{

// Game event types, as the relayed payload's first byte gives them; byte 12 of a StartGame
// or NextPlayer names the slot whose turn it is.
const int EVENT_START_GAME = 6, EVENT_NEXT_PLAYER = 10, EVENT_PLAYBACK_DONE = 71, EVENT_TURN_PACK = 43;
const size_t TURN_SLOT_BYTE = 12;
const int MATCHES = 3;
const int SHOT_TRIES = 15, SHOT_WAIT_SECONDS = 8, REMATCH_TRIES = 4, TURNS_PER_MATCH = 6;
// A guard for the view to come to rest (a turn lasts 30 s).
const int REST_SECONDS = 10;
// The pull of a shot, up and towards the window's middle, in 1024ths of the width.
const int PULL_OF_1024 = 106, PULL_MOVES = 10;
// The match screen (game/MoxPlayStateControls.cpp): the action buttons' row 1.5 thirtieths
// of the width down, five buttons a tenth of the width apart, of half size 7/300 of it. An
// empty special slot is drawn faint and may melt into a bright background.
const int ACTION_BUTTONS = 5, ACTION_BUTTONS_SEEN = 4, BUTTON_STANDS_OUT = 30;
// A flomp in the scene: enough pixels this near its colour (the channels' distances summed).
const int FLOMP_DISTANCE = 30, FLOMP_PIXELS = 30;
// The chat page after the opponent left: the newest backlog line stands out a little.
const int BACKLOG_LINE_STANDS_OUT = 2;

int Distance(uint32_t a, uint32_t b)
{
    int iSum = 0;
    for (int iShift : {0, 8, 16})
        iSum += std::abs(int((a >> iShift) & 0xFF) - int((b >> iShift) & 0xFF));
    return iSum;
}

// Where the match screen draws the scene, not its controls: below the action buttons, above
// the name bar and right of the zoom bar.
sE2eRect SceneArea(const sE2eShot& shot)
{
    const int w = shot.m_iWidth, h = shot.m_iHeight;
    return {h / 16 + h / 32 + 8, 3 * w / 30, w, h - 3 * w / 30};
}

bool FindColour(const sE2eShot& shot, uint32_t uColour, const sE2eRect& area, int& iX, int& iY)
{
    long long llX = 0, llY = 0, llCount = 0;
    E2eEachPixel(shot, area,
                 [&](int x, int y, uint32_t uPixel)
                 {
                     if (Distance(uPixel, uColour) <= FLOMP_DISTANCE)
                     {
                         llX += x;
                         llY += y;
                         ++llCount;
                     }
                 });
    if (llCount < FLOMP_PIXELS)
        return false;
    iX = int(llX / llCount);
    iY = int(llY / llCount);
    return true;
}

// The game connection of the player's last GameReady.
std::string GameConnection(const sJourneySide& side)
{
    CJourney& journey = *side.m_pJourney;
    const long long llUser = side.m_llUser;
    auto fnReady = [=](const CTestJson& r)
    {
        return r["event"].String() == "in" && r["name"].String() == "GameReady" &&
               r["fields"]["user"].Int() == llUser;
    };
    journey.WaitForRecord("GameReady from " + side.m_strName, fnReady);
    const std::vector<CTestJson>& aRecords = journey.Log().Records();
    for (size_t u = aRecords.size(); u-- > 0;)
        if (fnReady(aRecords[u]))
            return aRecords[u]["conn"].String();
    return "";
}

// The index of the last record of the event so far, -1 when none.
int LastOf(CJourney& journey, const std::string& strEvent)
{
    const std::vector<CTestJson>& aRecords = journey.Log().Records();
    for (size_t u = aRecords.size(); u-- > 0;)
        if (aRecords[u]["event"].String() == strEvent)
            return int(u);
    return -1;
}

std::function<bool(const CTestJson&)> Event(const std::string& strEvent)
{
    return [strEvent](const CTestJson& r) { return r["event"].String() == strEvent; };
}

class CTurns
{
public:
    CTurns(const sJourneySide& a, const sJourneySide& b) : m_A(a), m_B(b), m_Host(*a.m_pJourney) {}

    void Play()
    {
        m_strConn[0] = GameConnection(m_A);
        m_strConn[1] = GameConnection(m_B);
        const int iPaired = LastOf(m_Host, "paired");
        m_Host.Expect(iPaired >= 0, "the server paired the two");
        const int iMasterSlot = int(m_Host.Log().Records()[size_t(iPaired)]["master"].Int());
        const sJourneySide& master = m_A.m_iSlot == iMasterSlot ? m_A : m_B;
        size_t uMatchFrom = size_t(std::max(LastOf(m_Host, "match_start"), 0));
        for (int iMatch = 1; iMatch <= MATCHES; ++iMatch)
        {
            const CTestJson start =
                m_Host.WaitForRecord("StartGame event on " + master.m_strName + "'s game connection",
                                     GameEvent(Conn(master), EVENT_START_GAME), uMatchFrom);
            const std::vector<int> aStart = Payload(start);
            m_Host.Expect(aStart.size() > TURN_SLOT_BYTE && aStart[TURN_SLOT_BYTE] <= 1,
                          "byte 12 of the StartGame event names the first player");
            const sJourneySide* pTurn = aStart[TURN_SLOT_BYTE] == m_A.m_iSlot ? &m_A : &m_B;
            m_Host.Say(pTurn->m_strName + " acts first");
            // One shot each. A turn whose time ran out before a drag took (a starved machine
            // can outlast the game's clock) is played again in the player's next turn; the
            // game forgives a player two of them.
            m_uTurnFrom = uMatchFrom;
            bool bShot[2] = {false, false};
            int iNext = pTurn->m_iSlot;
            for (int iTurn = 0; iTurn < TURNS_PER_MATCH && iNext >= 0 && !(bShot[0] && bShot[1]); ++iTurn)
            {
                const sJourneySide& other = pTurn == &m_A ? m_B : m_A;
                bool bOwnShot = false;
                iNext = Act(*pTurn, other, bOwnShot);
                bShot[pTurn->m_iSlot] |= bOwnShot;
                pTurn = &other;
            }
            if (iNext >= 0)
            {
                m_Host.Expect(bShot[0] && bShot[1],
                              "a shot from each within " + std::to_string(TURNS_PER_MATCH) + " turns");
                return;
            }
            uMatchFrom = Rematch();
        }
        m_Host.Expect(false, "a match still running after one shot each in three matches");
    }

private:
    const std::string& Conn(const sJourneySide& side) const { return m_strConn[&side == &m_A ? 0 : 1]; }

    // The player drags its flomp; the slot that the following NextPlayer gives the turn to,
    // or -1 when the turn ended the match. bShot: the turn pack went out within the turn.
    int Act(const sJourneySide& player, const sJourneySide& other, bool& bShot)
    {
        CJourney& journey = *player.m_pJourney;
        journey.Say(player.m_strName + " fires a shot");
        const std::string strOwn = Conn(player), strOther = Conn(other);
        const size_t uFrom = m_uTurnFrom;
        auto fnTurnOver = [&]
        {
            return m_Host.Log().Find(GameEvent(strOwn, EVENT_TURN_PACK), uFrom) >= 0 ||
                   m_Host.Log().Find(GameEvent(strOwn, EVENT_NEXT_PLAYER), uFrom) >= 0 ||
                   m_Host.Log().Find(GameEvent(strOther, EVENT_NEXT_PLAYER), uFrom) >= 0;
        };
        sE2eShot board;
        // Again until the turn pack goes out (a drag during the count-down does nothing), but
        // only within this turn: its time-out passes the turn on.
        for (int iTry = 0; iTry < SHOT_TRIES && !fnTurnOver(); ++iTry)
        {
            // Aimed from a view at rest, as soon as it is: past the count-down's fading band
            // and the pan to the turn's flomp, early in the turn's time.
            const sE2eRect scene = SceneArea(journey.Look());
            int x = 0, y = 0;
            const bool bAtRest = E2eWaitFor(
                [&]
                {
                    return fnTurnOver() ||
                           journey.AtRest(
                               scene,
                               [&](const sE2eShot& shot, int& iX, int& iY)
                               { return FindColour(shot, FLOMP_COLOURS[player.m_iSlot], scene, iX, iY); },
                               x, y);
                },
                REST_SECONDS);
            if (fnTurnOver())
                break;
            if (!bAtRest)
            {
                journey.Say("the view did not come to rest within " + std::to_string(REST_SECONDS) + " s");
                continue;
            }
            board = journey.Picture();
            // The pull stays in the scene: off the action buttons and the lobby's button above it.
            const int iPull = board.m_iWidth * PULL_OF_1024 / 1024;
            const int x1 =
                std::clamp(x + (x < board.m_iWidth / 2 ? iPull : -iPull), scene.m_iLeft, scene.m_iRight - 1);
            journey.Drag(x, y, x1, std::max(y - iPull, scene.m_iTop), PULL_MOVES);
            E2eWaitFor(fnTurnOver, SHOT_WAIT_SECONDS);
        }
        journey.Keep("shot-" + player.m_strName);
        bShot = m_Host.Log().Find(GameEvent(strOwn, EVENT_TURN_PACK), uFrom) >= 0;
        size_t uAfterDone = uFrom;
        if (bShot)
        {
            CheckBoard(journey, board.m_iWidth ? board : journey.Look(), player.m_strName);
            m_Host.WaitForRecord("PlaybackDone on " + other.m_strName + "'s game connection",
                                 GameEvent(strOther, EVENT_PLAYBACK_DONE), uFrom);
            uAfterDone = size_t(m_Host.Log().Find(GameEvent(strOther, EVENT_PLAYBACK_DONE), uFrom)) + 1;
        }
        else
            journey.Say(player.m_strName + "'s turn ran out before a drag took");
        // The turn ends with a NextPlayer from either side; the next turn counts from there.
        const auto fnTurnEnd = [&](const CTestJson& r)
        {
            return GameEvent(strOwn, EVENT_NEXT_PLAYER)(r) || GameEvent(strOther, EVENT_NEXT_PLAYER)(r) ||
                   r["event"].String() == "game_end";
        };
        const CTestJson next =
            m_Host.WaitForRecord("NextPlayer after " + player.m_strName + "'s turn", fnTurnEnd, uAfterDone);
        m_uTurnFrom = size_t(m_Host.Log().Find(fnTurnEnd, uAfterDone)) + 1;
        if (next["event"].String() == "game_end")
            return -1;
        const std::vector<int> aNext = Payload(next);
        journey.Expect(aNext.size() > TURN_SLOT_BYTE && aNext[TURN_SLOT_BYTE] != player.m_iSlot,
                       "NextPlayer gives the turn to " + other.m_strName);
        return aNext[TURN_SLOT_BYTE];
    }

    // Both flomps' colours and the row of action buttons.
    static void CheckBoard(CJourney& journey, const sE2eShot& board, const std::string& strName)
    {
        const int w = board.m_iWidth, h = board.m_iHeight;
        const sE2eRect whole = {0, 0, w, h};
        int x = 0, y = 0;
        journey.Expect(FindColour(board, FLOMP_COLOURS[0], whole, x, y) &&
                           FindColour(board, FLOMP_COLOURS[1], whole, x, y),
                       "both flomps' colours on " + strName + "'s board");
        const int iRow = 3 * w / 60, iHalf = 7 * w / 300;
        int iStandingOut = 0;
        for (int k = -ACTION_BUTTONS / 2; k <= ACTION_BUTTONS / 2; ++k)
        {
            const int iCentre = w / 2 + k * w / 10;
            if (JourneyStandsOut(board, {iCentre - iHalf, iRow - iHalf, iCentre + iHalf, iRow + iHalf}) >
                BUTTON_STANDS_OUT)
                ++iStandingOut;
        }
        journey.Expect(iStandingOut >= ACTION_BUTTONS_SEEN,
                       "the action buttons stand out on " + strName + "'s board",
                       std::to_string(iStandingOut) + " of 5");
    }

    // A shot decided the match: both ask for a rematch. The first record of the new match.
    size_t Rematch()
    {
        m_Host.Say("a shot decided the match");
        return JourneyRematch(m_A, m_B);
    }

    const sJourneySide& m_A;
    const sJourneySide& m_B;
    CJourney& m_Host;
    std::string m_strConn[2];
    size_t m_uTurnFrom = 0; // the log's first record of the running turn
};

} // namespace

int JourneyStandsOut(const sE2eShot& shot, const sE2eRect& rect)
{
    const int iBand = 8;
    const sE2eRect outer = {rect.m_iLeft - iBand, rect.m_iTop - iBand, rect.m_iRight + iBand,
                            rect.m_iBottom + iBand};
    std::map<uint32_t, size_t> around;
    E2eEachPixel(shot, outer,
                 [&](int x, int y, uint32_t uPixel)
                 {
                     if (x < rect.m_iLeft || x >= rect.m_iRight || y < rect.m_iTop || y >= rect.m_iBottom)
                         ++around[uPixel];
                 });
    const auto most = std::max_element(around.begin(), around.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    const uint32_t uBackground = most == around.end() ? 0 : most->first;
    long long llSum = 0, llCount = 0;
    E2eEachPixel(shot, rect,
                 [&](int, int, uint32_t uPixel)
                 {
                     llSum += Distance(uPixel, uBackground);
                     ++llCount;
                 });
    return llCount ? int(llSum / llCount) : 0;
}

size_t JourneyRematch(const sJourneySide& a, const sJourneySide& b)
{
    CJourney& host = *a.m_pJourney;
    host.Say("both ask for a rematch");
    const size_t uFrom = host.LogCount();
    for (const sJourneySide* p : {&a, &b})
    {
        CJourney& journey = *p->m_pJourney;
        CJourneyPages& pages = *p->m_pPages;
        const std::string strConn = GameConnection(*p);
        auto fnAsked = [=](const CTestJson& r)
        { return IsMessage(r, "in", strConn, "Rematch") && r["fields"]["wish"].Int() == 1; };
        for (int iTry = 0; iTry < REMATCH_TRIES && host.Log().Find(fnAsked, uFrom) < 0; ++iTry)
        {
            if (!(journey.Look(), pages.Showing(CHAT)))
                CJourneyMatch(pages).PressContinue();
            if (E2eWaitFor([&] { return journey.Look(), pages.Showing(CHAT); }, SHOT_WAIT_SECONDS))
                journey.PressWidget(REMATCH_BUTTON);
            E2eWaitFor([&] { return host.Log().Find(fnAsked, uFrom) >= 0; }, SHOT_WAIT_SECONDS);
        }
        host.WaitForRecord("Rematch with wish 1 from " + p->m_strName, fnAsked, uFrom);
    }
    host.WaitForRecord("the server's rematch of the session", Event("rematch"), uFrom);
    host.WaitForRecord("the rematch started", Event("match_start"), uFrom);
    return size_t(host.Log().Find(Event("match_start"), uFrom));
}

void JourneyPlayOneShotEach(const sJourneySide& a, const sJourneySide& b)
{
    a.m_pJourney->Say("journey (f): one shot each");
    CTurns(a, b).Play();
}

void JourneyExpectToldOpponentLeft(const sJourneySide& stayer, size_t uFrom)
{
    const std::string strConn = GameConnection(stayer);
    stayer.m_pJourney->WaitForRecord(
        "GameDisconnect on " + stayer.m_strName + "'s game connection",
        [&](const CTestJson& r) { return IsMessage(r, "out", strConn, "GameDisconnect"); }, uFrom);
}

void JourneyCheckChatAfterOpponentLeft(CJourney& journey)
{
    journey.Probe({CHAT_LINES, REMATCH_BUTTON});
    const sE2eShot& chat = journey.Look();
    // The newest line, at the bottom of the lines' holder.
    sE2eRect newest = journey.Widget(CHAT_LINES).m_Rect;
    newest.m_iTop = newest.m_iBottom - (newest.m_iBottom - newest.m_iTop) / LINES_IN_HOLDER;
    journey.Expect(JourneyStandsOut(chat, newest) >= BACKLOG_LINE_STANDS_OUT,
                   "the backlog's newest line, at its bottom, says that the opponent left");
    journey.Expect(JourneyStandsOut(chat, journey.Widget(REMATCH_BUTTON).m_Rect) <= NO_BUTTON_STANDS_OUT,
                   "no rematch is offered once the opponent has gone");
}

void JourneyExpectConnectedLine(CJourney& journey)
{
    const std::string strConnected =
        "Connected to the lobby server at 127.0.0.1:" + std::to_string(journey.LobbyPort()) + ".";
    journey.WaitFor([&] { return journey.Output().find(strConnected) != std::string::npos; },
                    "the game's terminal says \"" + strConnected + "\"");
}

void JourneyExpectWinnerRankedFirst(CJourney& journey, long long llWinner, size_t uFrom)
{
    const std::string strWinner = std::to_string(llWinner);
    journey.Expect(journey.Log().Find(
                       [&](const CTestJson& r)
                       {
                           return r["event"].String() == "game_end" && r["user"].Int() == llWinner &&
                                  r["report"]["ranks"][strWinner].Int() != 1;
                       },
                       uFrom) < 0,
                   "no report of the winner ranks it below first");
}

void JourneyExpectCleanServerLog(CJourney& journey)
{
    const int iComplaint = journey.Log().Find(
        [](const CTestJson& r)
        { return r["event"].String() == "violation" || r["event"].String() == "internal_error"; });
    journey.Expect(iComplaint < 0, "the server's log holds no violation and no fault of its own",
                   iComplaint < 0 ? "" : journey.Log().Records()[size_t(iComplaint)]["event"].String());
}
