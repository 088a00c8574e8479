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

    // First launch or settings: picks the language of that row and presses Continue.
    void ChooseLanguage(int iRow);
    // On the login page: name (or e-mail address) and password, submitted with Enter;
    // waits for the server's refusal or its login.
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
    // On the settings page: the language page, a row chosen, Continue, back on settings.
    void ChangeLanguageInSettings(int iRow);
    // The page's back key (Escape).
    void Back();
    // The game's menu behind the lobby shows (the lobby's overlay is hidden).
    void WaitForGameMenu();
    bool ShowsGameMenu();
    // The game's menu: its exit door, its training button.
    void PressExitDoor();
    void PressTraining();
    // After a login the lobby shows its home page a moment, then may hide over the menu.
    void WaitForGameMenuOrPage(const sJourneyPage& page);

    CJourney& Journey() { return m_Journey; }

    // Presses the field and types the text over what it holds (Ctrl+A first); an empty
    // text leaves the field as it is.
    void TypeInto(const std::string& strPath, const std::string& strText);
    void PressMenuButton(int iSlot);

private:
    CJourney& m_Journey;
};

// ---- challenges
// The Players page's search, its one found row, the toast strip and the challenge pages,
// for journeys with two players.
namespace journey_challenges
{
extern const sJourneyPage PLAYERS;
extern const sJourneyPage CHALLENGED; // the "Challenge!" dialog
extern const sJourneyPage WAITING;    // waiting for the other player's answer

// The Players page lists the players online under its first header, in the order of their
// logins. From the lobby's home page (or the Players page): the Players page, until the
// name shows in row iRow.
void FindPlayer(CJourneyPages& pages, const std::string& strName, int iRow);
// A part of row iRow ("list_item_small//challenge_button"...), where it stands.
sE2eRect RowPart(CJourney& journey, int iRow, const std::string& strPart);
void PressRowPart(CJourney& journey, int iRow, const std::string& strPart);
// Measures the texts ahead: a toast shows for three seconds only.
void MeasureToasts(CJourney& journey, const std::vector<std::string>& aTexts);
// The toast strip shows that text (in its own font and colour), still.
bool ShowsToast(CJourney& journey, const std::string& strText);
void WaitForToast(CJourney& journey, const std::string& strText);
void PressToast(CJourney& journey);
// The columns from the first to the last holding the colour in the rectangle, 0 when none.
int InkWidth(const sE2eShot& shot, const sE2eRect& r, uint32_t uColour);
// The server's user id of the player logged in under that name.
long long UserId(CJourney& journey, const std::string& strName);
} // namespace journey_challenges

// ---- matches
namespace journey_pages
{
extern const sJourneyPage CHAT;
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
    // The board's exit door, and yes to "Leave the match?".
    void LeaveByExitDoor();
    // The match-over screen's next button.
    void PressContinue();
    // A chat bubble of a line of a few words shows at that side.
    bool ShowsBubble(bool bRight);

private:
    CJourneyPages& m_Pages;
    CJourney& m_Journey;
};
