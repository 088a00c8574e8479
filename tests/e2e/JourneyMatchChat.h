// The chat page after a match's end, as both of its players meet it.
#pragma once

#include "tests/e2e/JourneyMatchTurns.h"

// Both players open the chat page and play on no more: their turns run out and the match ends
// under the open pages, with no rematch button while it runs. Then each sends a line, and both
// windows show both lines whole at the bottom of the backlog, the newest last. Then each types
// 25 lines, Enter after each, and the other window shows the last whole at its bottom.
void JourneyChatAfterTheEnd(const sJourneySide& a, const sJourneySide& b);
