// The lobby's pages as a player meets them, one helper per thing a player does on a page;
// journeys are written from these. Each waits for what the player would see first.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/Journey.h"

// A page of the lobby, known by its title showing its own text.
struct sJourneyPage
{
    const char* m_pName;
    const char* m_pTitle; // the title's path
    uint32_t m_uColour;
    bool m_bOwnTitle = true; // false: a title set by the program, any text in the colour
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
extern const sJourneyPage CHAT;
} // namespace journey_pages

class CJourneyPages
{
public:
    explicit CJourneyPages(CJourney& journey) : m_Journey(journey) {}

    // Waits until the page's title shows its text (and the page has settled).
    void WaitForPage(const sJourneyPage& page);
    // The last picture shows the page (settled).
    bool Showing(const sJourneyPage& page);
    // Waits until the widget shows language text iText in the colour.
    void WaitForText(const std::string& strPath, int iText, uint32_t uColour);
    // Waits until the widget shows that text in the colour.
    void WaitForLiteral(const std::string& strPath, const std::string& strText, uint32_t uColour);
    // Presses the widget until the page shows (a press during a page change is lost).
    void PressUntil(const std::string& strPath, const sJourneyPage& page);
    // The same, for a page the game may leave by itself at any moment: true once a look saw it.
    bool PressUntilSeen(const std::string& strPath, const sJourneyPage& page);

    // First launch or settings: picks the language of that row and presses Continue.
    void ChooseLanguage(int iRow);
    // On the login page: name (or e-mail address) and password, submitted with Enter;
    // waits for the server's refusal, or for its login and the game's record of it.
    void LoginAs(const std::string& strName, const std::string& strPassword, bool bAccepted = true);
    // Waits for the login page and for the server's answer to the game's first request;
    // fails when a login came meanwhile (an automatic one).
    void WaitForLoginPageWithoutLogin();
    // From the login page through the registration's pages, to logged in.
    void Register(const std::string& strName, const std::string& strEmail, const std::string& strPassword);
    // Logged in: closes the lobby (when its home page shows) and logs out with the game
    // menu's exit door.
    void Logout();
    // Logged in: the lobby's home page, through the vorn button when the lobby is hidden.
    void OpenLobby();
    // Logged in: the settings page, from the lobby's home page.
    void OpenSettings();
    // On the settings page: a toggle by name ("setting_music"...).
    void PressSetting(const std::string& strName);
    // On the settings page: presses a slider ("sounds_slider"...) at that share of its length.
    void SetSlider(const std::string& strName, float fShare);
    // On the settings page: the language page, a row chosen and Continue; the server hears
    // the language and the page stays until its back arrow returns to the settings.
    void ChangeLanguageInSettings(int iRow);
    // The page's back key (Escape).
    void Back();
    // The game's menu behind the lobby shows (the lobby's overlay is hidden).
    void WaitForGameMenu();
    bool ShowsGameMenu();
    // The game's menu: its exit door, its training button.
    void PressExitDoor();
    void PressTraining();
    // From the login page into the game's menu by that button ("Play offline", "Play as
    // guest"); a press during the page's slide is lost, so it is pressed again.
    void LeaveLoginBy(const std::string& strButton);
    // Presses the lobby's button until the game's menu shows (the thank-you page's Close).
    void PressUntilGameMenu(const std::string& strPath);
    // After a login the lobby shows its home page a moment, then may hide over the menu.
    void WaitForGameMenuOrPage(const sJourneyPage& page);

    CJourney& Journey() { return m_Journey; }

    // Presses the field and types the text over what it holds (Ctrl+A first); an empty
    // text leaves the field as it is.
    void TypeInto(const std::string& strPath, const std::string& strText);
    void PressMenuButton(int iSlot);

private:
    // The logins the game has counted in its statistics store.
    int StoredLogins() const;

    CJourney& m_Journey;
};

// A list's rows as the shipped layout makes them: group headers and collapsed rows of
// fixed heights from the list's top.
class CJourneyListRows
{
public:
    CJourneyListRows(CJourney& journey, const std::string& strList, bool bGroups);
    // A part of a row (its path inside the row) with iHeaders headers and iRows rows above it.
    sE2eRect Part(const std::string& strPart, int iHeaders, int iRows);
    // Takes a picture: that part shows its own text (the layout's) whole, in the colour, and
    // stands still; an opened row's button is there and no longer moving.
    bool ShowsOwnText(const std::string& strPart, int iHeaders, int iRows, uint32_t uColour);
    // Presses strPress of the row until strShown shows its own text whole and still (a list
    // that reloads meanwhile closes the row again), then names the step done.
    void PressUntilShown(const std::string& strPress, const std::string& strShown, int iHeaders, int iRows,
                         uint32_t uColour, const std::string& strStep);

private:
    CJourney& m_Journey;
    std::string m_strList;
    int m_iRow = 0;
    int m_iHeader = 0;
};
