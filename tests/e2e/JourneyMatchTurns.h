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

// One shot each, fired by dragging the own flomp in the player's turn: the board shows both
// flomps and the row of action buttons, the turn pack goes out on the shooter's game
// connection, the other side's PlaybackDone comes back and a NextPlayer gives the turn to
// the other. A shot that decides the match brings both to the chat page, where both ask for
// a rematch and the shots are played again, so that a match is still running afterwards.
void JourneyPlayOneShotEach(const sJourneySide& a, const sJourneySide& b);

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
