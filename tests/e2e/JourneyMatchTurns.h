// The turns of a networked match as its two players play them, and what the stayer and the
// server show once one of them has left: steps of the match journey, read from both windows
// and the lobby server's log.
#pragma once

#include <string>

#include "tests/e2e/JourneyMatch.h"

// One of the two players of the running match.
struct sJourneySide
{
    CJourney* m_pJourney;
    CJourneyPages* m_pPages;
    std::string m_strName;
    long long m_llUser;
    int m_iSlot;
};

namespace journey_chat
{
// The holder of the chat's backlog, which grows up from the holder's bottom (the backlog's
// own area shrinks to nothing while it is empty); it holds about this many lines.
const char* const CHAT_LINES = "//chat_root//chat_lines";
const int LINES_IN_HOLDER = 8;
const char* const REMATCH_BUTTON = "//chat_root//rematch-button";
// At most this far from its surroundings, not even a rematch button's caption shows.
const int NO_BUTTON_STANDS_OUT = 8;
} // namespace journey_chat

// The mean colour distance of the rectangle's pixels from the most common colour of a band
// just outside it: a drawn button stands out from what lies behind it.
int JourneyStandsOut(const sE2eShot& shot, const sE2eRect& rect);

// One shot each, fired by dragging the own flomp in the player's turn: the board shows both
// flomps and the row of action buttons, the turn pack goes out on the shooter's game
// connection, the other side's PlaybackDone comes back and a NextPlayer gives the turn to
// the other. A shot that decides the match brings both to the chat page, where both ask for
// a rematch and the shots are played again, so that a match is still running afterwards.
void JourneyPlayOneShotEach(const sJourneySide& a, const sJourneySide& b);

// The match has ended: both reach the chat page (past the match-over screen) and press its
// rematch button until the server has the wish of both. The first record of the new match.
size_t JourneyRematch(const sJourneySide& a, const sJourneySide& b);

// The server told the stayer, on its game connection, that the opponent left (from uFrom on).
void JourneyExpectToldOpponentLeft(const sJourneySide& stayer, size_t uFrom);

// On the stayer's chat page after the opponent left: a line in the backlog (the one saying so)
// and no rematch button.
void JourneyCheckChatAfterOpponentLeft(CJourney& journey);

// After a login: the game's terminal names the lobby server it reached.
void JourneyExpectConnectedLine(CJourney& journey);

// The winner's own reports from uFrom on never rank it below first.
void JourneyExpectWinnerRankedFirst(CJourney& journey, long long llWinner, size_t uFrom);

// The lobby server logged no protocol violation and no fault of its own.
void JourneyExpectCleanServerLog(CJourney& journey);
