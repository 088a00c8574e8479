#include "tests/e2e/JourneyChallenges.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <X11/keysym.h>

using namespace journey_pages;

namespace journey_challenges
{
const sJourneyPage PLAYERS = {"the players page", "//players_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage CHALLENGED = {"the challenge dialog", "//challenge_received//challenge_title",
                                 JOURNEY_TEXT_TITLE};
const sJourneyPage WAITING = {"the waiting page", "//challenge_waiting//waiting_text", JOURNEY_TEXT_PRIMARY};

namespace
{
const char* const PLAYER_LIST = "//players_root//global_page//playerlist_global";
// A text of the toast's font ("main"), for the width of a toast's text.
const char* const TOAST_FONT_TEXT = "//challenge_waiting//waiting_text";
// The toast strip's text as its layout (toast_layout.xml) places it in the window.
const float TOAST_TEXT_LEFT = 0.28f, TOAST_TEXT_RIGHT = 0.83f, TOAST_TOP = 0.84f, TOAST_BOTTOM = 0.98f;
const int INK_TOLERANCE = 48;
const int ENGLISH_ROW = 0;

// Takes a picture: the rectangle shows a text of that width in the colour, alike in this
// picture and the one before (two pictures at once would be one frame, still by chance).
bool ShowsIn(CJourney& journey, const sE2eRect& r, uint32_t uColour, int iWidth)
{
    journey.Look();
    return journey.ShowsIn(r, uColour, iWidth);
}

sE2eRect ToastText(CJourney& journey)
{
    // The window keeps its size: a picture taken only for it would halve how often a toast
    // of three seconds is looked at.
    const sE2eShot& shot = journey.Picture().m_iWidth > 0 ? journey.Picture() : journey.Look();
    const float w = float(shot.m_iWidth), h = float(shot.m_iHeight);
    return {int(TOAST_TEXT_LEFT * w), int(TOAST_TOP * h), int(TOAST_TEXT_RIGHT * w), int(TOAST_BOTTOM * h)};
}
} // namespace

int InkWidth(const sE2eShot& shot, const sE2eRect& r, uint32_t uColour)
{
    return E2eInkSpan(shot, r,
                      [&](int, int, uint32_t uPixel) { return E2eNear(uPixel, uColour, INK_TOLERANCE); });
}

void Arrive(CJourneyPages& pages, const std::string& strName, const std::string& strPassword)
{
    CJourney& journey = pages.Journey();
    journey.Start();
    pages.WaitForPage(LANGUAGE);
    pages.ChooseLanguage(ENGLISH_ROW);
    pages.WaitForPage(LOGIN);
    pages.Register(strName, strName + "@example.org", strPassword);
    pages.PressUntilGameMenu("//loginscreen_thank//thank_button");
    // The lobby would open on the thank-you page again: in through the login page instead.
    pages.Logout();
    pages.LoginAs(strName, strPassword);
    pages.OpenLobby();
}

sE2eRect RowPart(CJourney& journey, int iRow, const std::string& strPart)
{
    // The row lies under the header of its group and the rows before it.
    return CJourneyListRows(journey, PLAYER_LIST, true).Part(strPart, 1, iRow);
}

void PressRowUntilShown(CJourney& journey, int iRow, const std::string& strPress, const std::string& strShown,
                        const std::string& strStep)
{
    CJourneyListRows(journey, PLAYER_LIST, true)
        .PressUntilShown(strPress, strShown, 1, iRow, JOURNEY_TEXT_PRIMARY, strStep);
}

void PressRowPart(CJourney& journey, int iRow, const std::string& strPart)
{
    journey.Press(RowPart(journey, iRow, strPart), strPart + " of row " + std::to_string(iRow));
}

void FindPlayer(CJourneyPages& pages, const std::string& strName, int iRow)
{
    CJourney& journey = pages.Journey();
    if (!(journey.Look(), pages.Showing(PLAYERS)))
        pages.PressUntil("//startscreen_root//startscreen//menu_players", PLAYERS);
    const int iWidth = journey.LiteralWidth(
        std::string(PLAYER_LIST) + "//item_template//list_item_small//player_name", strName);
    journey.WaitFor(
        [&]
        {
            return ShowsIn(journey, RowPart(journey, iRow, "list_item_small//player_name"),
                           JOURNEY_TEXT_PRIMARY, iWidth);
        },
        strName + "'s row shows on the players page");
}

void MeasureToasts(CJourney& journey, const std::vector<std::string>& aTexts)
{
    std::vector<std::string> aPaths;
    for (const std::string& strText : aTexts)
        aPaths.push_back(TOAST_FONT_TEXT + std::string("~") + strText);
    journey.Probe(aPaths);
}

bool ShowsToast(CJourney& journey, const std::string& strText)
{
    const sE2eRect text = ToastText(journey);
    journey.LookAt(text);
    return journey.ShowsIn(text, JOURNEY_TEXT_PRIMARY, journey.LiteralWidth(TOAST_FONT_TEXT, strText));
}

void WaitForToast(CJourney& journey, const std::string& strText)
{
    journey.WaitFor([&] { return ShowsToast(journey, strText); }, "the toast says \"" + strText + "\"");
}

bool ShowsToastWiderThan(CJourney& journey, int iWidth)
{
    return InkWidth(journey.Look(), ToastText(journey), JOURNEY_TEXT_PRIMARY) > iWidth;
}

void PressToast(CJourney& journey)
{
    journey.Press(ToastText(journey), "the toast");
}

long long UserId(CJourney& journey, const std::string& strName)
{
    const CTestJson login =
        journey.WaitForRecord("the server logged " + strName + " in", [&](const CTestJson& r)
                              { return r["event"].String() == "login" && r["name"].String() == strName; });
    return login["user_id"].Int();
}
} // namespace journey_challenges
