// Two players' challenges: the Players page's rows, the toast strip and the challenge pages.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/JourneyPages.h"

// The Players page's search, its one found row, the toast strip and the challenge pages,
// for journeys with two players.
namespace journey_challenges
{
extern const sJourneyPage PLAYERS;
extern const sJourneyPage CHALLENGED; // the "Challenge!" dialog
extern const sJourneyPage WAITING;    // waiting for the other player's answer

// The player's first launch: English, the registration's pages, the lobby's home page.
void Arrive(CJourneyPages& pages, const std::string& strName, const std::string& strPassword);
// The Players page lists the players online under its first header, in the order of their
// logins. From the lobby's home page (or the Players page): the Players page, until the
// name shows in row iRow.
void FindPlayer(CJourneyPages& pages, const std::string& strName, int iRow);
// A part of row iRow ("list_item_small//challenge_button"...), where it stands.
sE2eRect RowPart(CJourney& journey, int iRow, const std::string& strPart);
void PressRowPart(CJourney& journey, int iRow, const std::string& strPart);
// Presses strPress of row iRow until strShown shows its own text whole and still.
void PressRowUntilShown(CJourney& journey, int iRow, const std::string& strPress, const std::string& strShown,
                        const std::string& strStep);
// Measures the texts ahead: a toast shows for three seconds only.
void MeasureToasts(CJourney& journey, const std::vector<std::string>& aTexts);
// The toast strip shows that text (in its own font and colour), still.
bool ShowsToast(CJourney& journey, const std::string& strText);
void WaitForToast(CJourney& journey, const std::string& strText);
// The toast strip shows some text, wider than iWidth (a long text breaks into lines).
bool ShowsToastWiderThan(CJourney& journey, int iWidth);
void PressToast(CJourney& journey);
// The columns from the first to the last holding the colour in the rectangle, 0 when none.
int InkWidth(const sE2eShot& shot, const sE2eRect& r, uint32_t uColour);
// The server's user id of the player logged in under that name.
long long UserId(CJourney& journey, const std::string& strName);
} // namespace journey_challenges
