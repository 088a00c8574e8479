#include "tests/e2e/JourneyPages.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <X11/keysym.h>

namespace
{
// The game's menu puts all buttons but play in one row along the bottom edge
// (game/MoxMenuState.cpp): r = min(w / 8, h / 5), centres 1.25 r apart about the middle,
// 0.7 r above the bottom.
const int TRAINING_SLOT = 0, EXIT_DOOR_SLOT = 5;
const uint32_t MENU_GREEN = 0x3CB44B; // the menu's training button
// Typed text in a field (its colour; the title an empty field shows has the display colour),
// mixed at the glyphs' soft edges.
const uint32_t TYPED_COLOUR = JOURNEY_TEXT_DIM;
const int TYPED_TOLERANCE = 48;

sE2eRect MenuButton(const sE2eShot& shot, int iSlot)
{
    const float w = float(shot.m_iWidth), h = float(shot.m_iHeight);
    const float r = std::min(w / 8.0f, h / 5.0f);
    const int x = int(0.5f * w + (float(iSlot) - 2.5f) * 1.25f * r), y = int(h - 0.7f * r);
    const int iHalf = int(0.3f * r);
    return {x - iHalf, y - iHalf, x + iHalf, y + iHalf};
}
} // namespace

namespace journey_pages
{
const sJourneyPage LANGUAGE = {"the language chooser", "//startup_language_chooser//language_title",
                               JOURNEY_TEXT_TITLE};
const sJourneyPage LOGIN = {"the login page", "//loginscreen_root//login_title", JOURNEY_TEXT_TITLE};
const sJourneyPage LOGIN_ERROR = {"the login error page", "//loginscreen_error//loginerror_title",
                                  JOURNEY_TEXT_ERROR, false};
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
const sJourneyPage CHAT = {"the chat page", "//chat_root//page_title", JOURNEY_TEXT_TITLE};
} // namespace journey_pages

using namespace journey_pages;

bool CJourneyPages::Showing(const sJourneyPage& page)
{
    return page.m_bOwnTitle ? m_Journey.ShowsOwnText(page.m_pTitle, page.m_uColour)
                            : m_Journey.Shows(page.m_pTitle, page.m_uColour, 0);
}

void CJourneyPages::WaitForPage(const sJourneyPage& page)
{
    m_Journey.WaitFor(
        [&]
        {
            m_Journey.Look();
            return Showing(page);
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

void CJourneyPages::WaitForLiteral(const std::string& strPath, const std::string& strText, uint32_t uColour)
{
    const int iWidth = m_Journey.LiteralWidth(strPath, strText);
    m_Journey.WaitFor(
        [&]
        {
            m_Journey.Look();
            return m_Journey.Shows(strPath, uColour, iWidth);
        },
        strPath + " shows \"" + strText + "\"");
}

void CJourneyPages::PressUntil(const std::string& strPath, const sJourneyPage& page)
{
    PressUntilSeen(strPath, page);
    WaitForPage(page);
}

bool CJourneyPages::PressUntilSeen(const std::string& strPath, const sJourneyPage& page)
{
    const auto Seen = [&]
    {
        m_Journey.Look();
        return Showing(page);
    };
    // Register's place is the create-account page's Continue: a second press there would
    // send an empty form.
    const int iWaitSeconds = 15;
    return m_Journey.PressWhileUnchanged(m_Journey.Widget(strPath).m_Rect, strPath, Seen, iWaitSeconds);
}

void CJourneyPages::TypeInto(const std::string& strPath, const std::string& strText)
{
    // A press during the page's slide leaves the field without the focus and the keys go
    // nowhere: typed again until the field shows text (a caret is no wider than a few
    // pixels). The step after it names what is missing if it never shows.
    const int iTries = 3, iSeconds = 5, iTextSpan = 12;
    const sE2eRect field = m_Journey.Widget(strPath).m_Rect;
    auto fnShown = [&]
    {
        return E2eInkSpan(m_Journey.Look(), field,
                          [](int, int, uint32_t uPixel)
                          { return E2eNear(uPixel, TYPED_COLOUR, TYPED_TOLERANCE); }) >= iTextSpan;
    };
    for (int iTry = 0; iTry < iTries; ++iTry)
    {
        m_Journey.PressWidget(strPath);
        // As a typist replaces what a field holds: select all, then type over it.
        if (!strText.empty())
            m_Journey.PressKey(XK_a, true);
        m_Journey.TypeText(strText);
        if (strText.empty() || E2eWaitFor(fnShown, iSeconds))
            return;
    }
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

void CJourneyPages::LoginAs(const std::string& strName, const std::string& strPassword, bool bAccepted)
{
    WaitForPage(LOGIN);
    const size_t uFrom = m_Journey.LogCount();
    const int iLogins = StoredLogins();
    TypeInto("//loginscreen_root//user_login", strName);
    TypeInto("//loginscreen_root//user_password", strPassword);
    m_Journey.PressKey(XK_Return);
    const std::string strEvent = bAccepted ? "login" : "login_refused";
    m_Journey.WaitForRecord(
        "the server " + std::string(bAccepted ? "logged " : "refused ") + strName + (bAccepted ? " in" : ""),
        [&](const CTestJson& r) { return r["event"].String() == strEvent; }, uFrom);
    // The server's record comes before the game has read its answer: a game closed now
    // would not have stored what "Remember me" keeps.
    if (bAccepted)
        m_Journey.WaitFor([&] { return StoredLogins() > iLogins; },
                          "the game stored the login (its count of logins rose)");
}

int CJourneyPages::StoredLogins() const
{
    CVornStatistics store;
    const CVornStatisticsProperty* pCount =
        m_Journey.ReadStore(store) ? store.GetProperty(CKorvelString("__Vorn_TimesLoggedIn")) : nullptr;
    return pCount ? pCount->m_iIntValue : 0;
}

void CJourneyPages::WaitForLoginPageWithoutLogin()
{
    WaitForPage(LOGIN);
    m_Journey.WaitForRecord("the game asked the server whether guests may play",
                            CJourney::Incoming("GetKeyValue"));
    m_Journey.Expect(m_Journey.Log().Find([](const CTestJson& r) { return r["event"].String() == "login"; },
                                          m_Journey.RunStart()) < 0,
                     "no automatic login at the start");
}

void CJourneyPages::Register(const std::string& strName, const std::string& strEmail,
                             const std::string& strPassword)
{
    PressUntil("//loginscreen_root//loginscreen_choices//register_button", PLAYER_NAME);
    TypeInto("//loginscreen_playername//page_root//input_playername", strName);
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

bool CJourneyPages::ShowsGameMenu()
{
    const sE2eShot& now = m_Journey.Look();
    const sE2eRect training = MenuButton(now, TRAINING_SLOT);
    const int iArea = (training.m_iRight - training.m_iLeft) * (training.m_iBottom - training.m_iTop);
    return now.m_iWidth > 0 && E2eCountNear(now, training, MENU_GREEN, 12) > iArea / 4;
}

void CJourneyPages::WaitForGameMenu()
{
    m_Journey.WaitFor([&] { return ShowsGameMenu(); }, "the game's menu shows");
}

void CJourneyPages::PressMenuButton(int iSlot)
{
    const sE2eRect button = MenuButton(m_Journey.Look(), iSlot);
    m_Journey.Say("press the menu's button " + std::to_string(iSlot) + " of the bottom row");
    m_Journey.Click(button.CentreX(), button.CentreY());
}

void CJourneyPages::PressExitDoor()
{
    PressMenuButton(EXIT_DOOR_SLOT);
}

void CJourneyPages::LeaveLoginBy(const std::string& strButton)
{
    WaitForPage(LOGIN);
    PressUntilGameMenu(strButton);
}

void CJourneyPages::PressUntilGameMenu(const std::string& strPath)
{
    for (int iTry = 0; iTry < 4 && !ShowsGameMenu(); ++iTry)
    {
        m_Journey.PressWidget(strPath);
        E2eWaitFor([&] { return ShowsGameMenu(); }, 15);
    }
    WaitForGameMenu();
}

void CJourneyPages::PressTraining()
{
    PressMenuButton(TRAINING_SLOT);
}

void CJourneyPages::Logout()
{
    // The lobby may hide by itself after a login: closed only while it shows.
    for (int iTry = 0; iTry < 4; ++iTry)
    {
        WaitForGameMenuOrPage(HOME);
        if (ShowsGameMenu())
            break;
        m_Journey.PressWidget("//startscreen_root//close_menu");
        if (E2eWaitFor([&] { return ShowsGameMenu(); }, 15))
            break;
    }
    WaitForGameMenu();
    // The menu may still be coming in and lose the press: pressed until the login page shows.
    for (int iTry = 0; iTry < 4 && !(m_Journey.Look(), Showing(LOGIN)); ++iTry)
    {
        PressExitDoor();
        if (E2eWaitFor([&] { return m_Journey.Look(), Showing(LOGIN); }, 15))
            break;
    }
    WaitForPage(LOGIN);
}

void CJourneyPages::OpenLobby()
{
    // After a login the lobby shows its home page until the login's loading ends, then
    // hides, also when the vorn button was pressed meanwhile: pressed again until the page
    // holds.
    const int iHoldSeconds = 3;
    for (int iTry = 0; iTry < 4; ++iTry)
    {
        WaitForGameMenuOrPage(HOME);
        if (!(m_Journey.Look(), Showing(HOME)))
        {
            m_Journey.PressWidget("//vorn_button_root//vorn_button");
            if (!E2eWaitFor([&] { return m_Journey.Look(), Showing(HOME); }, 15))
                continue;
        }
        if (!E2eWaitFor([&] { return m_Journey.Look(), !Showing(HOME); }, iHoldSeconds))
            break;
    }
    WaitForPage(HOME);
}

void CJourneyPages::WaitForGameMenuOrPage(const sJourneyPage& page)
{
    m_Journey.WaitFor(
        [&]
        {
            m_Journey.Look();
            return Showing(page) || ShowsGameMenu();
        },
        std::string("the game's menu or ") + page.m_pName + " shows");
}

void CJourneyPages::OpenSettings()
{
    OpenLobby();
    PressUntil("//startscreen_root//startscreen//menu_settings", SETTINGS);
}

void CJourneyPages::PressSetting(const std::string& strName)
{
    m_Journey.PressWidget("//settings_root//" + strName);
}

void CJourneyPages::SetSlider(const std::string& strName, float fShare)
{
    const sE2eRect r = m_Journey.Widget("//settings_root//" + strName).m_Rect;
    m_Journey.Say("press " + strName + " at " + std::to_string(int(fShare * 100)) + "%");
    m_Journey.Click(r.m_iLeft + int(float(r.m_iRight - r.m_iLeft) * fShare), r.CentreY());
}

void CJourneyPages::ChangeLanguageInSettings(int iRow)
{
    PressUntil("//settings_root//language_button", SETTINGS_LANGUAGE);
    const size_t uFrom = m_Journey.LogCount();
    ChooseLanguage(iRow);
    // A press of Continue right after the row's may be lost: pressed again until the game
    // tells the server.
    const int iTries = 4, iSeconds = 5;
    auto fnHeard = [&]
    { return m_Journey.Log().Find(CJourney::Incoming("ChangeLanguageMessage"), uFrom) >= 0; };
    for (int iTry = 0; iTry < iTries && !E2eWaitFor(fnHeard, iSeconds); ++iTry)
        m_Journey.PressWidget("//settings_language//choose_language_button");
    m_Journey.WaitForRecord("the server heard the language", CJourney::Incoming("ChangeLanguageMessage"),
                            uFrom);
    WaitForPage(SETTINGS_LANGUAGE);
    m_Journey.PressWidget("//settings_language//button_back");
    WaitForPage(SETTINGS);
}

void CJourneyPages::Back()
{
    m_Journey.Say("press Escape");
    m_Journey.PressKey(XK_Escape);
}

namespace
{
int Height(const sE2eRect& r)
{
    return r.m_iBottom - r.m_iTop;
}
} // namespace

CJourneyListRows::CJourneyListRows(CJourney& journey, const std::string& strList, bool bGroups)
    : m_Journey(journey), m_strList(strList)
{
    m_iRow = Height(journey.Widget(strList + "//item_template").m_Rect);
    m_iHeader = bGroups ? Height(journey.Widget(strList + "//group_template").m_Rect) : 0;
}

sE2eRect CJourneyListRows::Part(const std::string& strPart, int iHeaders, int iRows)
{
    sE2eRect r = m_Journey.Widget(m_strList + "//item_template//" + strPart).m_Rect;
    const int dy = iHeaders * m_iHeader + iRows * m_iRow;
    r.m_iTop += dy;
    r.m_iBottom += dy;
    return r;
}

bool CJourneyListRows::ShowsOwnText(const std::string& strPart, int iHeaders, int iRows, uint32_t uColour)
{
    const int iWidth = m_Journey.Widget(m_strList + "//item_template//" + strPart).m_iTextWidth;
    m_Journey.Look();
    return iWidth > 0 && m_Journey.ShowsIn(Part(strPart, iHeaders, iRows), uColour, iWidth);
}

void CJourneyListRows::PressUntilShown(const std::string& strPress, const std::string& strShown, int iHeaders,
                                       int iRows, uint32_t uColour, const std::string& strStep)
{
    const auto fnShown = [&] { return ShowsOwnText(strShown, iHeaders, iRows, uColour); };
    // A second press on a row that a slow game is still opening closes it again.
    const int iWaitSeconds = 10;
    if (!fnShown())
        m_Journey.PressWhileUnchanged(Part(strPress, iHeaders, iRows), strPress, fnShown, iWaitSeconds);
    m_Journey.WaitFor(fnShown, strStep);
}
