// Two players, each in a window of its own on one lobby server: who they are in the
// server's log, quick play until they are paired, and leaving a match.
#pragma once

#include <functional>
#include <string>

#include "tests/e2e/JourneyMatch.h"
#include "tests/e2e/JourneyMatchTurns.h"

// One of the two players: its window, its pages and what the server's log says of it.
struct sJourneyPlayer
{
    explicit sJourneyPlayer(CJourney& journey) : m_Journey(journey), m_Pages(journey), m_Match(m_Pages) {}

    CJourney& m_Journey;
    CJourneyPages m_Pages;
    CJourneyMatch m_Match;
    std::string m_strName;
    long long m_llUser = -1;
    std::string m_strLobbyConn;
    int m_iSlot = -1;
};

namespace journey_duel
{
// A press lost during a page's slide is tried again this often.
const int PRESS_TRIES = 4;

// The player as the match steps see it.
sJourneySide Side(sJourneyPlayer& player);
// A server log record of that event.
std::function<bool(const CTestJson&)> Event(const std::string& strEvent);
// The user id and lobby connection of the login that came from uFrom on.
void ReadLogin(sJourneyPlayer& player, size_t uFrom);
// A quick-play registration on the player's lobby connection from uFrom on, not withdrawn.
bool Queued(const sJourneyPlayer& player, size_t uFrom);
// Both press play until the server pairs them; then both boards show.
void QuickPlay(sJourneyPlayer& a, sJourneyPlayer& b);
// The leaver answers the quit question with yes; its report ranks it last.
void Leave(sJourneyPlayer& leaver, const sJourneyPlayer& stayer);
// Until the chat page shows, through the match-over screen's next button when it does not
// come by itself.
void WaitForChatPage(sJourneyPlayer& stayer);
// After the opponent left: the match-over screen's next button (unless the chat page came up
// by itself), the chat page, its back arrow, and the game's menu, through the lobby's home
// page closed (a guest's is the login page, whose guest button closes it).
void BackToMenu(sJourneyPlayer& stayer, bool bGuest);
} // namespace journey_duel
