#include "tests/e2e/JourneyPages.h"

#include <X11/keysym.h>

namespace
{
// The game's menu lays its buttons out from the window's centre in steps of an eighth of
// its width (game/MoxMenuState.cpp).
const float MENU_STEP = 1.0f / 8.0f;
const float EXIT_DOOR_X = 1.05f, EXIT_DOOR_Y = 0.85f;
const uint32_t MENU_GREEN = 0x3CB44B; // the menu's training button
const float TRAINING_X = -1.25f, TRAINING_Y = -0.2f;
} // namespace

namespace journey_pages
{
const sJourneyPage LANGUAGE = {"the language chooser", "//startup_language_chooser//language_title",
                               JOURNEY_TEXT_TITLE};
const sJourneyPage LOGIN = {"the login page", "//loginscreen_root//login_title", JOURNEY_TEXT_TITLE};
const sJourneyPage LOGIN_ERROR = {"the login error page", "//loginscreen_error//loginerror_title",
                                  JOURNEY_TEXT_ERROR};
const sJourneyPage PLAYER_NAME = {"the create-account page", "//loginscreen_playername//name_title",
                                  JOURNEY_TEXT_TITLE};
const sJourneyPage CONFIRM = {"the name-confirmed page", "//loginscreen_confirm//loginscreen_confirm_title",
                              JOURNEY_TEXT_TITLE};
const sJourneyPage EMAIL = {"the e-mail page", "//loginscreen_email//email_title", JOURNEY_TEXT_TITLE};
const sJourneyPage THANK = {"the thank-you page", "//loginscreen_thank//loginscreen_thank_title",
                            JOURNEY_TEXT_TITLE};
const sJourneyPage HOME = {"the lobby's home page", "//startscreen_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage SETTINGS = {"the settings page", "//settings_root//page_title", JOURNEY_TEXT_TITLE};
const sJourneyPage SETTINGS_LANGUAGE = {"the settings' language page", "//settings_language//page_title",
                                        JOURNEY_TEXT_TITLE};
} // namespace journey_pages

using namespace journey_pages;

void CJourneyPages::WaitForPage(const sJourneyPage& page)
{
    m_Journey.WaitFor(
        [&]
        {
            m_Journey.Look();
            return m_Journey.ShowsOwnText(page.m_pTitle, page.m_uColour);
        },
        page.m_pName + std::string(" shows"), JOURNEY_START_SECONDS);
}

void CJourneyPages::WaitForText(const std::string& strPath, int iText, uint32_t uColour)
{
    const int iWidth = m_Journey.TextWidth(strPath, iText);
    m_Journey.WaitFor(
        [&]
        {
            m_Journey.Look();
            return m_Journey.Shows(strPath, uColour, iWidth);
        },
        strPath + " shows text " + std::to_string(iText));
}

void CJourneyPages::PressUntil(const std::string& strPath, const sJourneyPage& page)
{
    for (int iTry = 0; iTry < 4; ++iTry)
    {
        m_Journey.PressWidget(strPath);
        if (E2eWaitFor(
                [&]
                {
                    m_Journey.Look();
                    return m_Journey.ShowsOwnText(page.m_pTitle, page.m_uColour);
                },
                15))
            break;
    }
    WaitForPage(page);
}

void CJourneyPages::TypeInto(const std::string& strPath, const std::string& strText)
{
    m_Journey.PressWidget(strPath);
    m_Journey.TypeText(strText);
}

void CJourneyPages::ChooseLanguage(int iRow)
{
    const bool bSettings = m_Journey.Widget(SETTINGS_LANGUAGE.m_pTitle).m_iTextWidth > 0 &&
                           m_Journey.ShowsOwnText(SETTINGS_LANGUAGE.m_pTitle, SETTINGS_LANGUAGE.m_uColour);
    const std::string strPage = bSettings ? "//settings_language" : "//startup_language_chooser";
    const std::string strList = strPage + (bSettings ? "//settings_language_list" : "//language_list");
    const sE2eRect row = m_Journey.Widget(strList + "//item_template").m_Rect;
    const int iHeight = row.m_iBottom - row.m_iTop;
    m_Journey.Say("choose language row " + std::to_string(iRow));
    m_Journey.Click(row.CentreX(), row.CentreY() + iHeight * iRow);
    m_Journey.PressWidget(strPage + "//choose_language_button");
}

void CJourneyPages::LoginAs(const std::string& strName, const std::string& strPassword)
{
    WaitForPage(LOGIN);
    const size_t uFrom = m_Journey.LogCount();
    TypeInto("//loginscreen_root//user_login", strName);
    TypeInto("//loginscreen_root//user_password", strPassword);
    m_Journey.PressKey(XK_Return);
    m_Journey.WaitForRecord(
        "the server logged " + strName + " in",
        [](const CTestJson& r) { return r["event"].String() == "login"; }, uFrom);
}

void CJourneyPages::Register(const std::string& strName, const std::string& strEmail,
                             const std::string& strPassword)
{
    PressUntil("//loginscreen_root//loginscreen_choices//register_button", PLAYER_NAME);
    TypeInto("//loginscreen_playername//page_root//input_playername", strName);
    m_Journey.PressWidget("//loginscreen_playername//page_root//tos_elements//button_agree");
    m_Journey.PressKey(XK_Return);
    WaitForPage(CONFIRM);
    m_Journey.PressKey(XK_Return);
    WaitForPage(EMAIL);
    TypeInto("//loginscreen_email//input_email", strEmail);
    TypeInto("//loginscreen_email//input_password", strPassword);
    const size_t uFrom = m_Journey.LogCount();
    m_Journey.PressKey(XK_Return);
    m_Journey.WaitForRecord("the server confirmed " + strEmail, CJourney::Incoming("ConfirmEmail"), uFrom);
    WaitForPage(THANK);
    m_Journey.WaitForRecord(
        "the server logged " + strName + " in",
        [](const CTestJson& r) { return r["event"].String() == "login"; }, uFrom);
}

void CJourneyPages::WaitForGameMenu()
{
    const sE2eShot& shot = m_Journey.Look();
    const int x = int(shot.m_iWidth * (0.5f + TRAINING_X * MENU_STEP));
    const int y = int(shot.m_iHeight / 2 + TRAINING_Y * MENU_STEP * shot.m_iWidth);
    m_Journey.WaitFor(
        [&]
        {
            const sE2eShot& now = m_Journey.Look();
            return E2eCountNear(now, {x - 40, y - 40, x + 40, y + 40}, MENU_GREEN, 12) > 1000;
        },
        "the game's menu shows");
}

void CJourneyPages::Logout()
{
    m_Journey.PressWidget("//startscreen_root//close_menu");
    WaitForGameMenu();
    const sE2eShot& shot = m_Journey.Look();
    m_Journey.Say("press the menu's exit door");
    m_Journey.Click(int(shot.m_iWidth * (0.5f + EXIT_DOOR_X * MENU_STEP)),
                    int(shot.m_iHeight / 2 + EXIT_DOOR_Y * MENU_STEP * shot.m_iWidth));
    WaitForPage(LOGIN);
}

void CJourneyPages::OpenSettings()
{
    WaitForPage(HOME);
    PressUntil("//startscreen_root//startscreen//menu_settings", SETTINGS);
}

void CJourneyPages::Back()
{
    m_Journey.Say("press Escape");
    m_Journey.PressKey(XK_Escape);
}
