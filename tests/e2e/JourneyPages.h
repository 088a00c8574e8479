// The lobby's pages as a player meets them, one helper per thing a player does on a page;
// journeys are written from these. Each waits for what the player would see first.
#pragma once

#include <string>

#include "tests/e2e/Journey.h"

// A page of the lobby, known by its title showing its own text.
struct sJourneyPage
{
    const char* m_pName;
    const char* m_pTitle; // the title's path
    uint32_t m_uColour;
};

namespace journey_pages
{
extern const sJourneyPage LANGUAGE;
extern const sJourneyPage LOGIN;
extern const sJourneyPage LOGIN_ERROR;
extern const sJourneyPage PLAYER_NAME;
extern const sJourneyPage CONFIRM;
extern const sJourneyPage EMAIL;
extern const sJourneyPage THANK;
extern const sJourneyPage HOME;
extern const sJourneyPage SETTINGS;
extern const sJourneyPage SETTINGS_LANGUAGE;
} // namespace journey_pages

class CJourneyPages
{
public:
    explicit CJourneyPages(CJourney& journey) : m_Journey(journey) {}

    // Waits until the page's title shows its text (and the page has settled).
    void WaitForPage(const sJourneyPage& page);
    // Waits until the widget shows language text iText in the colour.
    void WaitForText(const std::string& strPath, int iText, uint32_t uColour);
    // Presses the widget until the page shows (a press during a page change is lost).
    void PressUntil(const std::string& strPath, const sJourneyPage& page);

    // First launch or settings: picks the language of that row and presses Continue.
    void ChooseLanguage(int iRow);
    // On the login page: name (or e-mail address) and password, submitted with Enter.
    void LoginAs(const std::string& strName, const std::string& strPassword);
    // From the login page through the registration's pages, to logged in.
    void Register(const std::string& strName, const std::string& strEmail, const std::string& strPassword);
    // Logged in, lobby shown: closes the lobby and logs out with the menu's exit door.
    void Logout();
    // Logged in, lobby shown: the settings page.
    void OpenSettings();
    // The page's back key (Escape).
    void Back();
    // The game's menu behind the lobby shows (the lobby's overlay is hidden).
    void WaitForGameMenu();

    CJourney& Journey() { return m_Journey; }

private:
    // Presses the field and types the text into it.
    void TypeInto(const std::string& strPath, const std::string& strText);

    CJourney& m_Journey;
};
