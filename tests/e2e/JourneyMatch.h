// A match between two windows as its players meet it.
#pragma once

#include <string>

#include "tests/e2e/JourneyPages.h"

namespace journey_pages
{
// The flomps' colours, slot 0 and slot 1.
const uint32_t FLOMP_COLOURS[2] = {0xFF5D37, 0x3A92FF};
} // namespace journey_pages

// A match as a player meets it: the game's menu, the board and the chat page over it.
class CJourneyMatch
{
public:
    explicit CJourneyMatch(CJourneyPages& pages) : m_Pages(pages), m_Journey(pages.Journey()) {}

    // On the login page: "Play as guest", pressed until the game's menu shows.
    void PlayAsGuest();
    // The game's menu: its play button (quick play).
    void PressPlay();
    // Where the slot's flomp shows in the board's name bar; false when it is not seen.
    bool FindFlomp(int iSlot, int& iX, int& iY);
    // The board (not the game's menu) shows both flomps.
    void WaitForBoard();
    // The board's chat button, until the chat page shows.
    void OpenChat();
    // On the chat page: the line typed into the field and sent; waits for the server to relay it.
    void SayInChat(const std::string& strText);
    // The chat page's back arrow.
    void PressChatBack();
    // The board's exit door, and yes to the quit question once it shows.
    void LeaveByExitDoor();
    // The match-over screen's next button.
    void PressContinue();
    // A chat bubble of a line of a few words shows at that side.
    bool ShowsBubble(bool bRight);
    // The match screen's line that the opponent left shows (white, above the winner's name),
    // in its band or raised by up to that share of the height: the line follows the winner's
    // flomp as it moves.
    bool ShowsOpponentLeft(float fRaisedBy = 0.0f);

private:
    CJourneyPages& m_Pages;
    CJourney& m_Journey;
};
