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
    for (int iTry = 0; iTry < 4; ++iTry)
    {
        m_Journey.PressWidget(strPath);
        if (E2eWaitFor(
                [&]
                {
                    m_Journey.Look();
                    return Showing(page);
                },
                15))
            break;
    }
    WaitForPage(page);
}

void CJourneyPages::TypeInto(const std::string& strPath, const std::string& strText)
{
    m_Journey.PressWidget(strPath);
    // As a typist replaces what a field holds: select all, then type over it.
    if (!strText.empty())
        m_Journey.PressKey(XK_a, true);
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

void CJourneyPages::LoginAs(const std::string& strName, const std::string& strPassword, bool bAccepted)
{
    WaitForPage(LOGIN);
    const size_t uFrom = m_Journey.LogCount();
    TypeInto("//loginscreen_root//user_login", strName);
    TypeInto("//loginscreen_root//user_password", strPassword);
    m_Journey.PressKey(XK_Return);
    const std::string strEvent = bAccepted ? "login" : "login_refused";
    m_Journey.WaitForRecord(
        "the server " + std::string(bAccepted ? "logged " : "refused ") + strName + (bAccepted ? " in" : ""),
        [&](const CTestJson& r) { return r["event"].String() == strEvent; }, uFrom);
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
    PressExitDoor();
    WaitForPage(LOGIN);
}

void CJourneyPages::OpenLobby()
{
    // After a login the lobby shows its home page a moment and hides; pressed again
    // until the page holds.
    for (int iTry = 0; iTry < 4; ++iTry)
    {
        WaitForGameMenuOrPage(HOME);
        if (m_Journey.Look(), Showing(HOME))
        {
            if (!E2eWaitFor([&] { return m_Journey.Look(), !Showing(HOME); }, 3))
                break;
            continue;
        }
        m_Journey.PressWidget("//vorn_button_root//vorn_button");
        if (E2eWaitFor([&] { return m_Journey.Look(), Showing(HOME); }, 15))
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
    ChooseLanguage(iRow);
    WaitForPage(SETTINGS);
}

void CJourneyPages::Back()
{
    m_Journey.Say("press Escape");
    m_Journey.PressKey(XK_Escape);
}

// ---- challenges

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
// Ink is a little narrower than the advance the font reports.
const int WIDTH_SLACK = 4;

// The rectangle shows a text of that width in the colour, the same in two pictures.
bool ShowsIn(CJourney& journey, const sE2eRect& r, uint32_t uColour, int iWidth)
{
    const int iSeen = InkWidth(journey.Look(), r, uColour);
    return std::abs(iSeen - iWidth) <= WIDTH_SLACK + iWidth / 10 &&
           InkWidth(journey.Look(), r, uColour) == iSeen;
}

sE2eRect ToastText(CJourney& journey)
{
    const sE2eShot& shot = journey.Look();
    const float w = float(shot.m_iWidth), h = float(shot.m_iHeight);
    return {int(TOAST_TEXT_LEFT * w), int(TOAST_TOP * h), int(TOAST_TEXT_RIGHT * w), int(TOAST_BOTTOM * h)};
}
} // namespace

int InkWidth(const sE2eShot& shot, const sE2eRect& r, uint32_t uColour)
{
    int iFirst = -1, iLast = -1;
    for (int x = std::max(r.m_iLeft, 0); x < std::min(r.m_iRight, shot.m_iWidth); ++x)
        for (int y = std::max(r.m_iTop, 0); y < std::min(r.m_iBottom, shot.m_iHeight); ++y)
            if (E2eNear(shot.At(x, y), uColour, INK_TOLERANCE))
            {
                iFirst = iFirst < 0 ? x : iFirst;
                iLast = x;
                break;
            }
    return iFirst < 0 ? 0 : iLast - iFirst + 1;
}

sE2eRect RowPart(CJourney& journey, int iRow, const std::string& strPart)
{
    // The row lies under the header of its group and the rows before it.
    const sE2eRect header = journey.Widget(std::string(PLAYER_LIST) + "//group_template").m_Rect;
    const sE2eRect row = journey.Widget(std::string(PLAYER_LIST) + "//item_template").m_Rect;
    sE2eRect r = journey.Widget(std::string(PLAYER_LIST) + "//item_template//" + strPart).m_Rect;
    const int dy = header.m_iBottom - header.m_iTop + iRow * (row.m_iBottom - row.m_iTop);
    r.m_iTop += dy;
    r.m_iBottom += dy;
    return r;
}

void PressRowPart(CJourney& journey, int iRow, const std::string& strPart)
{
    const sE2eRect r = RowPart(journey, iRow, strPart);
    journey.Say("press " + strPart + " of row " + std::to_string(iRow));
    journey.Click(r.CentreX(), r.CentreY());
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
    return ShowsIn(journey, ToastText(journey), JOURNEY_TEXT_PRIMARY,
                   journey.LiteralWidth(TOAST_FONT_TEXT, strText));
}

void WaitForToast(CJourney& journey, const std::string& strText)
{
    journey.WaitFor([&] { return ShowsToast(journey, strText); }, "the toast says \"" + strText + "\"");
}

void PressToast(CJourney& journey)
{
    const sE2eRect r = ToastText(journey);
    journey.Say("press the toast");
    journey.Click(r.CentreX(), r.CentreY());
}

long long UserId(CJourney& journey, const std::string& strName)
{
    const CTestJson login =
        journey.WaitForRecord("the server logged " + strName + " in", [&](const CTestJson& r)
                              { return r["event"].String() == "login" && r["name"].String() == strName; });
    return login["user_id"].Int();
}
} // namespace journey_challenges

// ---- matches

namespace
{
// The game's menu: the play button's centre, as a share of the height (game/MoxMenuState.cpp).
const float MENU_PLAY_Y = 0.52f;
// The board's buttons (game/MoxPlayStateControls.cpp), in units of a thirtieth of the width:
// the exit door at the bottom's middle, "Leave the match?" answered at 0.4 / 0.6 of the
// width and 0.6 of the height, the chat buttons in the bottom corners, the match-over
// screen's next button at 0.75 of the height.
const float BOARD_UNITS = 30.0f;
const float EXIT_DOOR_UNITS_UP = 1.2f;
const float QUIT_YES_X = 0.4f, QUIT_ANSWER_Y = 0.6f;
const float CONTINUE_Y = 0.75f;
const int QUESTION_PAUSE_MS = 800;
// The name bar along the bottom shows each flomp's portrait at its side (the exit door
// between them is red as well).
const float NAME_BAR_UNITS = 2.1f;
// Enough pixels of a flomp's colour to stand for it.
const int FLOMP_PIXELS = 30;
const int FLOMP_TOLERANCE = 40;
// A chat bubble (game/MoxChat.cpp) is pinned 0.05 of the width from the speaker's edge,
// about 0.825 of the height high; its edge tiles, outside its text, are plain white.
const float BUBBLE_NEAR = 0.035f, BUBBLE_FAR = 0.05f, BUBBLE_TOP = 0.79f, BUBBLE_BOTTOM = 0.84f;
const uint32_t BUBBLE_WHITE = 0xFFFFFF;
const int BUBBLE_TOLERANCE = 8;
const int BUBBLE_SHARE = 80; // percent
const char* const GUEST_BUTTON = "//loginscreen_root//loginscreen_choices//guest_login_button";
} // namespace

namespace journey_pages
{
const sJourneyPage CHAT = {"the chat page", "//chat_root//page_title", JOURNEY_TEXT_TITLE};
} // namespace journey_pages

void CJourneyMatch::PlayAsGuest()
{
    m_Pages.WaitForPage(LOGIN);
    for (int iTry = 0; iTry < 4 && !m_Pages.ShowsGameMenu(); ++iTry)
    {
        m_Journey.PressWidget(GUEST_BUTTON);
        E2eWaitFor([&] { return m_Pages.ShowsGameMenu(); }, 15);
    }
    m_Pages.WaitForGameMenu();
}

void CJourneyMatch::PressPlay()
{
    const sE2eShot& now = m_Journey.Look();
    m_Journey.Say("press the menu's play button");
    m_Journey.Click(now.m_iWidth / 2, int(MENU_PLAY_Y * float(now.m_iHeight)));
}

bool CJourneyMatch::FindFlomp(int iSlot, int& iX, int& iY)
{
    const sE2eShot& now = m_Journey.Look();
    const int iTop = now.m_iHeight - int(NAME_BAR_UNITS * float(now.m_iWidth) / BOARD_UNITS);
    long long llX = 0, llY = 0;
    int iCount = 0;
    for (int y = std::max(iTop, 0); y < now.m_iHeight; ++y)
        for (int x = 0; x < now.m_iWidth; ++x)
            if ((x < now.m_iWidth / 3 || x > 2 * now.m_iWidth / 3) &&
                E2eNear(now.At(x, y), FLOMP_COLOURS[iSlot], FLOMP_TOLERANCE))
            {
                llX += x;
                llY += y;
                ++iCount;
            }
    if (iCount < FLOMP_PIXELS)
        return false;
    iX = int(llX / iCount);
    iY = int(llY / iCount);
    return true;
}

void CJourneyMatch::WaitForBoard()
{
    int x = 0, y = 0;
    m_Journey.WaitFor([&] { return FindFlomp(0, x, y) && FindFlomp(1, x, y) && !m_Pages.ShowsGameMenu(); },
                      "the board shows both flomps", JOURNEY_START_SECONDS);
}

void CJourneyMatch::OpenChat()
{
    for (int iTry = 0; iTry < 4; ++iTry)
    {
        const sE2eShot& now = m_Journey.Look();
        const int u = int(float(now.m_iWidth) / BOARD_UNITS);
        m_Journey.Say("press the board's chat button");
        m_Journey.Click(u, now.m_iHeight - u);
        if (E2eWaitFor([&] { return m_Journey.Look(), m_Pages.Showing(CHAT); }, 15))
            break;
    }
    m_Pages.WaitForPage(CHAT);
}

void CJourneyMatch::SayInChat(const std::string& strText)
{
    const size_t uFrom = m_Journey.LogCount();
    m_Pages.TypeInto("//chat_root//chat_textfield", strText);
    m_Journey.PressWidget("//chat_root//chat_send_button");
    m_Journey.WaitForRecord(
        "the server relayed \"" + strText + "\"",
        [&](const CTestJson& r)
        { return CJourney::Incoming("ChatMessage")(r) && r["fields"]["text"].String() == strText; },
        uFrom);
}

void CJourneyMatch::PressChatBack()
{
    m_Journey.PressWidget("//chat_root//button_back");
}

void CJourneyMatch::LeaveByExitDoor()
{
    const sE2eShot& now = m_Journey.Look();
    const float w = float(now.m_iWidth), h = float(now.m_iHeight);
    m_Journey.Say("press the board's exit door");
    m_Journey.Click(int(0.5f * w), int(h - EXIT_DOOR_UNITS_UP * w / BOARD_UNITS));
    // A frame or two for the question to come up before it is answered.
    std::this_thread::sleep_for(std::chrono::milliseconds(QUESTION_PAUSE_MS));
    m_Journey.Keep("leave-question");
    m_Journey.Say("answer yes to \"Leave the match?\"");
    m_Journey.Click(int(QUIT_YES_X * w), int(QUIT_ANSWER_Y * h));
}

void CJourneyMatch::PressContinue()
{
    const sE2eShot& now = m_Journey.Look();
    m_Journey.Say("press the match-over screen's next button");
    m_Journey.Click(now.m_iWidth / 2, int(CONTINUE_Y * float(now.m_iHeight)));
}

bool CJourneyMatch::ShowsBubble(bool bRight)
{
    const sE2eShot& now = m_Journey.Look();
    const int iNear = int(BUBBLE_NEAR * float(now.m_iWidth)), iFar = int(BUBBLE_FAR * float(now.m_iWidth));
    const sE2eRect band = {bRight ? now.m_iWidth - iFar : iNear, int(BUBBLE_TOP * float(now.m_iHeight)),
                           bRight ? now.m_iWidth - iNear : iFar, int(BUBBLE_BOTTOM * float(now.m_iHeight))};
    const int iArea = (band.m_iRight - band.m_iLeft) * (band.m_iBottom - band.m_iTop);
    return now.m_iWidth > 0 &&
           E2eCountNear(now, band, BUBBLE_WHITE, BUBBLE_TOLERANCE) * 100 > BUBBLE_SHARE * iArea;
}
