// A new player's journeys through the lobby, one after another in one instance folder, as
// `make run` makes it:
//  (a) first launch: the language chooser, English, Continue, the login page;
//  (b) an account made through the pages (Escape leaves the first of them), with a name
//      and a password too short, each "Try again" back on its own page with what was
//      typed, and Tab and shift+Tab between the e-mail and password fields; logged in at
//      once; the menu's exit door logs out and the next start logs in nobody; a wrong
//      password, "Try again" with the name kept; a slip in the name, "Try again" with the
//      password kept, and only the name typed again logs in; the e-mail address logs in,
//      each submitted with Enter;
//  (c) settings: a toggle and both volume sliders, the game ended with SIGTERM, the values
//      still there after the next start; the language changed through settings, and back;
//      then the server goes away and the lobby says the connection was lost, at every
//      attempt to get it back and never with account recovery, until the server is started
//      again and the game logs in again by itself; quick play finds nobody else and says so;
//  (d) a name that is taken, refused on its page; "Remember me", a start that finds no
//      server and its error page, which the game's own next attempt brings back over the
//      login page; "Try again" shows the remembered login, and Log in, pressed without
//      typing, tries the server again; the server back, the game logs in by itself with the
//      remembered password.
//
//   e2e_journey_lobby_driver   (under xvfb-run; KORVEL_SOURCE_DIR and KORVEL_BINARY_DIR set)
#include <chrono>
#include <cmath>
#include <signal.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <X11/keysym.h>

#include "support/TestText.h"
#include "tests/e2e/JourneyChallenges.h"
#include "tests/e2e/JourneyMatch.h"

namespace
{

using namespace journey_pages;

const int ENGLISH_ROW = 0;
const char* const NAME = "quill_7";
const char* const EMAIL = "quill@example.org";
const char* const PASSWORD = "reed42";
const char* const NAME_FIELD = "//loginscreen_root//user_login";
const char* const SHORT_NAME = "ab";
const char* const SLIPPED_NAME = "quil_7";
const char* const SHORT_PASSWORD = "abc";
const char* const PLAYER_NAME_FIELD = "//loginscreen_playername//page_root//input_playername";
const char* const EMAIL_FIELD = "//loginscreen_email//input_email";
const char* const PASSWORD_FIELD = "//loginscreen_email//input_password";
const char* const LOGIN_PASSWORD_FIELD = "//loginscreen_root//user_password";
const char* const REMEMBER_ME = "//loginscreen_root//user_autologin";
const char* const LOGIN_BUTTON = "//loginscreen_root//login_button";
const char* const TRY_AGAIN = "//loginscreen_error//button_tryagain";
const char* const NAME_TAKEN = "//loginscreen_playername//page_root//text_usernametaken";
const int TEXT_NAME_TAKEN = 57;
// What the password field shows for a remembered password.
const char* const REMEMBERED_PASSWORD = "*****";
// The error page's title: the same for the login's and the registration's slips.
const int TEXT_ERROR_TITLE = 12;

const int TEXT_CONNECTION_LOST = 335;
const int TEXT_LOGIN_FAILED = 12;
// The toast of a quick play that found nobody.
const char* const NOBODY_FREE = "Nobody is free to play right now. Try again in a moment.";
// A text in the toast's font ("main").
const char* const TOAST_FONT_TEXT = "//challenge_waiting//waiting_text";
// Long enough for three attempts to log in again (one second, then ten seconds apart).
const int SERVER_AWAY_SECONDS = 25;
// Sliders that draw where they stand: a press moves what is drawn.
const int MOVED_PIXELS = 20;
// A knob that stands still moves no more than this between two looks.
const float KNOB_SLACK_PX = 3.0f;
// A stored volume is the dragged value cut to a whole percent: the knob may come back up to
// a percent of the slider's length short of where it was dragged, and a pixel or two more.
const float PERCENT = 0.01f;
const int KNOB_LIGHT = 0xE0;         // every channel of the knob's light face is at least this
const float TOGGLE_MOVED_PX = 10.0f; // a toggle's knob moves about half its width when pressed

void FirstLaunch(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey (a): first launch");
    journey.Start();
    pages.WaitForPage(LANGUAGE);
    journey.Keep("a1-language");
    const size_t uFrom = journey.LogCount();
    pages.ChooseLanguage(ENGLISH_ROW);
    pages.WaitForPage(LOGIN);
    journey.Keep("a2-login");
    journey.Expect(journey.Log().Find(CJourney::Incoming("Connection"), uFrom) >= 0,
                   "the game connected to the lobby server after Continue");
}

void Restart(CJourney& journey)
{
    journey.Expect(journey.Close() == 0, "the game and its script ended with 0 on the close message");
    journey.Start();
}

// An error page, then "Try again" (Enter) back on the page where the slip was made.
void TryAgain(CJourneyPages& pages, const sJourneyPage& back, const std::string& strKeep)
{
    CJourney& journey = pages.Journey();
    pages.WaitForPage(LOGIN_ERROR);
    pages.WaitForText(LOGIN_ERROR.m_pTitle, TEXT_ERROR_TITLE, JOURNEY_TEXT_ERROR);
    journey.Keep(strKeep);
    journey.PressKey(XK_Return);
    pages.WaitForPage(back);
}

// The registration's pages as a hasty player meets them.
void RegisterWithSlips(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    pages.PressUntil("//loginscreen_root//loginscreen_choices//register_button", PLAYER_NAME);
    pages.TypeInto(PLAYER_NAME_FIELD, SHORT_NAME);
    journey.PressKey(XK_Return);
    TryAgain(pages, PLAYER_NAME, "b1-name-too-short");
    pages.WaitForLiteral(PLAYER_NAME_FIELD, SHORT_NAME, JOURNEY_TEXT_DIM);
    pages.TypeInto(PLAYER_NAME_FIELD, NAME);
    journey.PressKey(XK_Return);
    pages.WaitForPage(CONFIRM);
    journey.PressKey(XK_Return);
    pages.WaitForPage(journey_pages::EMAIL);

    // The password first, then shift+Tab back to the e-mail field.
    pages.TypeInto(PASSWORD_FIELD, SHORT_PASSWORD);
    journey.PressKey(XK_ISO_Left_Tab);
    journey.TypeText(EMAIL);
    journey.PressKey(XK_Return);
    TryAgain(pages, journey_pages::EMAIL, "b2-password-too-short");
    pages.WaitForLiteral(EMAIL_FIELD, EMAIL, JOURNEY_TEXT_DIM);

    // From the e-mail field Tab goes to the password, which the typing replaces.
    journey.PressWidget(EMAIL_FIELD);
    journey.PressKey(XK_Tab);
    journey.TypeText(PASSWORD);
    const size_t uFrom = journey.LogCount();
    journey.PressKey(XK_Return);
    journey.WaitForRecord(
        std::string("the server confirmed ") + EMAIL,
        [](const CTestJson& r)
        { return CJourney::Incoming("ConfirmEmail")(r) && r["fields"]["email"].String() == EMAIL; },
        uFrom);
    pages.WaitForPage(THANK);
    journey.WaitForRecord(
        std::string("the server logged ") + NAME + " in",
        [](const CTestJson& r) { return r["event"].String() == "login"; }, uFrom);
}

// The name just registered, asked for again: the page says that it is taken.
void NameTaken(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    pages.PressUntil("//loginscreen_root//loginscreen_choices//register_button", PLAYER_NAME);
    pages.TypeInto(PLAYER_NAME_FIELD, NAME);
    const size_t uFrom = journey.LogCount();
    journey.PressKey(XK_Return);
    journey.WaitForRecord(std::string("the server was asked whether ") + NAME + " is free",
                          CJourney::Incoming("ConfirmUserName"), uFrom);
    pages.WaitForText(NAME_TAKEN, TEXT_NAME_TAKEN, JOURNEY_TEXT_ERROR);
    journey.Expect(pages.Showing(PLAYER_NAME), "the refusal shows on the create-account page");
    journey.Keep("b4-name-taken");
    pages.Back();
    pages.WaitForPage(LOGIN);
}

void Accounts(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey (b): an account, log-out and logins");
    // Escape is the back key: it leaves the first registration page.
    pages.PressUntil("//loginscreen_root//loginscreen_choices//register_button", PLAYER_NAME);
    pages.Back();
    pages.WaitForPage(LOGIN);

    RegisterWithSlips(pages);
    journey.Keep("b3-thank-you");
    journey.Expect(std::filesystem::exists(journey.GameFolder() + "/lobby/mail/" + NAME + ".txt"),
                   "the local server wrote the welcome mail to its state folder");
    pages.PressUntilGameMenu("//loginscreen_thank//thank_button");
    pages.Logout();
    journey.Keep("b4-logged-out");
    NameTaken(pages);

    Restart(journey);
    pages.WaitForLoginPageWithoutLogin();

    // A wrong password: the refusal, and "Try again" (Enter) keeps the typed name.
    pages.LoginAs(NAME, "wrong", false);
    pages.WaitForPage(LOGIN_ERROR);
    journey.Keep("b5-wrong-password");
    journey.PressKey(XK_Return);
    pages.WaitForPage(LOGIN);
    pages.WaitForLiteral(NAME_FIELD, NAME, JOURNEY_TEXT_DIM);

    // A slip in the name: "Try again" keeps the typed password too, and the name put right
    // alone logs in.
    pages.LoginAs(SLIPPED_NAME, PASSWORD, false);
    pages.WaitForPage(LOGIN_ERROR);
    journey.PressKey(XK_Return);
    pages.WaitForPage(LOGIN);
    pages.WaitForLiteral(LOGIN_PASSWORD_FIELD, std::string(std::strlen(PASSWORD), '*'), JOURNEY_TEXT_DIM);
    const size_t uFrom = journey.LogCount();
    pages.TypeInto(NAME_FIELD, NAME);
    journey.PressKey(XK_Return);
    journey.WaitForRecord(
        std::string("the server logged ") + NAME + " in with the kept password",
        [](const CTestJson& r) { return r["event"].String() == "login"; }, uFrom);
    pages.WaitForGameMenuOrPage(HOME);
    journey.Keep("b6-logged-in");
    pages.Logout();
    pages.LoginAs(EMAIL, PASSWORD);
    pages.WaitForGameMenuOrPage(HOME);
}

// The knob's centre along a slider: the mean column of its light face in the last picture.
float KnobX(CJourney& journey, const std::string& strPath)
{
    const sE2eShot& shot = journey.Look();
    const sE2eRect r = journey.Widget(strPath).m_Rect;
    double dSum = 0.0;
    int iCount = 0;
    E2eEachPixel(shot, r,
                 [&](int x, int, uint32_t c)
                 {
                     if (int((c >> 16) & 0xFF) >= KNOB_LIGHT && int((c >> 8) & 0xFF) >= KNOB_LIGHT &&
                         int(c & 0xFF) >= KNOB_LIGHT)
                     {
                         dSum += x;
                         ++iCount;
                     }
                 });
    return iCount > 0 ? float(dSum / iCount) : -1.0f;
}
void Settings(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey (c): settings survive SIGTERM");
    pages.OpenSettings();
    const char* const TOGGLE = "//settings_root//setting_music";
    const float fToggleBefore = KnobX(journey, TOGGLE);
    const char* const SOUNDS = "//settings_root//sounds_slider";
    const char* const MUSIC = "//settings_root//music_slider";
    const std::vector<uint32_t> aSoundsBefore = journey.Pixels(SOUNDS);
    const std::vector<uint32_t> aMusicBefore = journey.Pixels(MUSIC);
    pages.PressSetting("setting_music");
    pages.SetSlider("sounds_slider", 0.25f);
    pages.SetSlider("music_slider", 0.75f);
    journey.WaitFor([&] { return std::fabs(KnobX(journey, TOGGLE) - fToggleBefore) > TOGGLE_MOVED_PX; },
                    "the music toggle changed");
    // A slider that draws its place shows the press once the game has handled it: on a slow
    // machine the last press may come frames after the toggle's. One that never moves draws
    // no place, and the wait ends without it.
    auto fnSlidersMoved = [&]
    {
        return CJourney::Differing(journey.Pixels(SOUNDS), aSoundsBefore) > MOVED_PIXELS &&
               CJourney::Differing(journey.Pixels(MUSIC), aMusicBefore) > MOVED_PIXELS;
    };
    const bool bSlidersDraw = E2eWaitFor(fnSlidersMoved, JOURNEY_STEP_SECONDS / 4);
    // Settled: the toggle's knob and both sliders the same in two pictures in a row.
    float fToggle = KnobX(journey, TOGGLE);
    std::vector<uint32_t> aSliders = journey.Pixels(SOUNDS);
    journey.WaitFor(
        [&]
        {
            const std::vector<uint32_t> aThen = aSliders;
            const float fThen = fToggle;
            fToggle = KnobX(journey, TOGGLE);
            aSliders = journey.Pixels(SOUNDS);
            const std::vector<uint32_t> aMusic = journey.Pixels(MUSIC);
            aSliders.insert(aSliders.end(), aMusic.begin(), aMusic.end());
            return CJourney::Differing(aThen, aSliders) == 0 && fThen == fToggle;
        },
        "the settings page settled");
    const float fSoundsKnob = KnobX(journey, SOUNDS);
    const float fMusicKnob = KnobX(journey, MUSIC);
    journey.Say(bSlidersDraw ? "the sliders draw where they stand: their places are checked after the restart"
                             : "the sliders draw no position in this build: only the toggle is checked");
    journey.Keep("c1-settings-changed");

    journey.Expect(journey.StopWith(SIGTERM) == 0, "the game and its script ended with 0 on SIGTERM");
    journey.Start();
    pages.LoginAs(NAME, PASSWORD);
    pages.OpenSettings();
    journey.WaitFor([&] { return std::fabs(KnobX(journey, TOGGLE) - fToggle) <= KNOB_SLACK_PX; },
                    "the music toggle kept its place over the restart");
    if (bSlidersDraw)
    {
        const sE2eRect slider = journey.Widget(SOUNDS).m_Rect;
        const float fSlack = PERCENT * float(slider.m_iRight - slider.m_iLeft) + KNOB_SLACK_PX;
        journey.WaitFor(
            [&]
            {
                return std::fabs(KnobX(journey, SOUNDS) - fSoundsKnob) <= fSlack &&
                       std::fabs(KnobX(journey, MUSIC) - fMusicKnob) <= fSlack;
            },
            "both sliders kept their places over the restart");
    }
    journey.Keep("c2-settings-after-restart");

    pages.ChangeLanguageInSettings(ENGLISH_ROW);
    // Logged in, the back key closes the lobby over the game's menu.
    pages.Back();
    pages.WaitForGameMenu();
}

// The local server's lobby port, as run_game.sh wrote it into the instance's settings.
int LobbyPort(CJourney& journey)
{
    std::ifstream settings(journey.InstanceFolder() + "/app/native/settings.txt");
    std::string strLine;
    while (std::getline(settings, strLine))
        if (strLine.rfind("port=", 0) == 0)
            return std::atoi(strLine.c_str() + 5);
    return 0;
}

// The lobby server on the journey's port with the game's accounts, started by the journey
// and waited for until it logs that it is ready; its output goes to <lobby>/<name>.out and
// .err, and a start that fails shows what the server said.
void StartServer(CJourney& journey, CE2eProcess& server, const std::string& strName)
{
    const int iPort = journey.LobbyPort();
    const std::string strLobby = journey.GameFolder() + "/lobby";
    const std::string strErr = strLobby + "/" + strName + ".err";
    const size_t uFrom = journey.LogCount();
    journey.Expect(
        server.Start({"/usr/bin/env", "python3",
                      std::string(std::getenv("KORVEL_SOURCE_DIR")) + "/tools/lobby_server/server.py",
                      "--host", "127.0.0.1", "--port", std::to_string(iPort), "--game-port",
                      std::to_string(iPort + 1), "--accounts", strLobby + "/accounts.json", "--log",
                      strLobby + "/server.log"},
                     {}, strLobby, strLobby + "/" + strName + ".out", strErr),
        "the lobby server started (" + strName + ")");
    const auto Ready = [](const CTestJson& r) { return r["event"].String() == "ready"; };
    bool bReady = false;
    E2eWaitFor([&] { return (bReady = journey.Log().Find(Ready, uFrom) >= 0) || !server.Running(); },
               JOURNEY_START_SECONDS);
    journey.Expect(bReady, "the lobby server is ready (" + strName + ")",
                   (server.Running() ? "no ready record; its errors:\n" : "it ended; its errors:\n") +
                       E2eReadText(strErr));
}

// The server goes away: whenever the lobby shows its error page it says that the connection
// was lost, with nothing to recover; the server comes back and the game logs in by itself.
void ServerAway(CJourneyPages& pages, CE2eProcess& server)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey (c): the server goes away and comes back");
    const char* const RECOVER = "//loginscreen_error//button_recover//label";
    const std::string strTitle = LOGIN_ERROR.m_pTitle;
    journey.Probe({RECOVER, strTitle + "=" + std::to_string(TEXT_CONNECTION_LOST),
                   strTitle + "=" + std::to_string(TEXT_LOGIN_FAILED)});
    const int iLost = journey.TextWidth(LOGIN_ERROR.m_pTitle, TEXT_CONNECTION_LOST);
    const int iFailed = journey.TextWidth(LOGIN_ERROR.m_pTitle, TEXT_LOGIN_FAILED);
    const int iPort = LobbyPort(journey);
    journey.Expect(iPort > 0, "the instance's settings name the server's port");
    journey.StopServer();
    pages.WaitForPage(LOGIN_ERROR);
    pages.WaitForText(LOGIN_ERROR.m_pTitle, TEXT_CONNECTION_LOST, JOURNEY_TEXT_ERROR);
    journey.Keep("c3-connection-lost");
    int iShown = 0;
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(SERVER_AWAY_SECONDS);
    while (std::chrono::steady_clock::now() < tEnd)
    {
        journey.Look();
        if (!pages.Showing(LOGIN_ERROR))
            continue;
        ++iShown;
        const bool bRecover = journey.Shows(RECOVER, JOURNEY_TEXT_BUTTON, 0);
        const bool bFailed = journey.Shows(LOGIN_ERROR.m_pTitle, JOURNEY_TEXT_ERROR, iFailed) &&
                             !journey.Shows(LOGIN_ERROR.m_pTitle, JOURNEY_TEXT_ERROR, iLost);
        if (bRecover || bFailed)
        {
            journey.Keep("c4-login-failed");
            journey.Expect(false, "the lobby still says the connection was lost",
                           bRecover ? "account recovery is offered" : "the page says the login failed");
        }
    }
    journey.Expect(iShown > 0, "the lobby said the connection was lost all the time the server was away");
    journey.Keep("c4-still-lost");

    const size_t uFrom = journey.LogCount();
    StartServer(journey, server, "server-again");
    journey.WaitForRecord(
        "the game logged in again by itself",
        [](const CTestJson& r) { return r["event"].String() == "login"; }, uFrom);
    pages.WaitForGameMenuOrPage(HOME);
    journey.Keep("c5-back");
}

// The only player online presses the menu's play button: after the wait, a word of why.
void NobodyToPlay(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey (c): quick play with nobody else online");
    // In two lines: wider than its longer half.
    const int iHalf = journey.LiteralWidth(TOAST_FONT_TEXT, NOBODY_FREE) / 2;
    for (int iTry = 0; iTry < 4 && !pages.ShowsGameMenu(); ++iTry)
    {
        journey.PressWidget("//startscreen_root//close_menu");
        E2eWaitFor([&] { return pages.ShowsGameMenu(); }, 15);
    }
    pages.WaitForGameMenu();
    const size_t uFrom = journey.LogCount();
    CJourneyMatch(pages).PressPlay();
    journey.WaitForRecord("the game joined the quick-play queue", CJourney::Incoming("QueueRegisterIn"),
                          uFrom);
    journey.WaitForRecord("the game left the queue after its wait", CJourney::Incoming("QueueUnregisterFrom"),
                          uFrom);
    journey.WaitFor([&] { return journey_challenges::ShowsToastWiderThan(journey, iHalf); },
                    "a toast says that nobody was found");
    journey.Keep("c6-nobody");
    pages.WaitForGameMenu();
}

// What the game's store holds of a login, for a step that did not happen.
std::string StoredLogin(const CJourney& journey)
{
    CVornStatistics store;
    if (!journey.ReadStore(store))
        return "no store";
    const CVornStatisticsProperty* pOn = store.GetProperty(CKorvelString("__Vorn_AutoLogin"));
    const CVornStatisticsProperty* pName = store.GetProperty(CKorvelString("__Vorn_UserName"));
    const CVornStatisticsProperty* pLogins = store.GetProperty(CKorvelString("__Vorn_TimesLoggedIn"));
    return "the store holds AutoLogin=" + (pOn ? std::to_string(pOn->m_uBoolValue) : "none") +
           " UserName=" + (pName ? "'" + Narrow(pName->m_strStringValue) + "'" : "none") +
           " TimesLoggedIn=" + (pLogins ? std::to_string(pLogins->m_iIntValue) : "none");
}

// "Remember me" as it looks: 1 on (its knob right of the middle), 0 off, -1 while the toggle
// differs between two pictures (the page still sliding moves the knob too).
int RememberMe(CJourney& journey)
{
    journey.Look();
    const std::vector<uint32_t> aFirst = journey.Pixels(REMEMBER_ME);
    const float fKnob = KnobX(journey, REMEMBER_ME);
    if (fKnob < 0.0f || CJourney::Differing(aFirst, journey.Pixels(REMEMBER_ME)) > 0)
        return -1;
    return fKnob > float(journey.Widget(REMEMBER_ME).m_Rect.CentreX()) ? 1 : 0;
}

// The login page as "Remember me" left it: the name and the stars shown, nothing typed (a
// typed text is drawn dimmer).
void WaitForRememberedLogin(CJourneyPages& pages)
{
    CJourney& journey = pages.Journey();
    pages.WaitForPage(LOGIN);
    try
    {
        pages.WaitForLiteral(NAME_FIELD, NAME, JOURNEY_TEXT_PRIMARY);
    }
    catch (sJourneyFailure& failure)
    {
        failure.m_strDetail += "; " + StoredLogin(journey);
        throw;
    }
    pages.WaitForLiteral(LOGIN_PASSWORD_FIELD, REMEMBERED_PASSWORD, JOURNEY_TEXT_PRIMARY);
    journey.Look();
    journey.Expect(pages.Showing(LOGIN), "the login page shows the remembered login");
}

// "Remember me" on, the game ended; the next start finds no server. The game tries again by
// itself a second after the failed start, then every ten seconds, and each failure brings the
// error page back, over the login page too: the journey waits for that attempt, and what it
// does on the login page then fits in the ten seconds before the next. Once the server is
// back, the game's own attempt logs in with the remembered password: no new key is asked for.
void RememberedLoginWithoutServer(CJourneyPages& pages, CE2eProcess& server)
{
    CJourney& journey = pages.Journey();
    journey.Say("journey (d): a remembered login whose start found no server");
    journey.Probe({std::string(NAME_FIELD) + "~" + NAME,
                   std::string(LOGIN_PASSWORD_FIELD) + "~" + REMEMBERED_PASSWORD});
    pages.Logout();
    // Pressed once the page has stopped: a press during its slide is lost. Pressed again only
    // when the toggle never showed on.
    journey.WaitFor([&] { return RememberMe(journey) == 0; }, "\"Remember me\" shows off, the page at rest");
    bool bOn = false;
    for (int iTry = 0; iTry < 4 && !bOn; ++iTry)
    {
        journey.PressWidget(REMEMBER_ME);
        bOn = E2eWaitFor([&] { return RememberMe(journey) == 1; }, 15);
    }
    journey.Expect(bOn, "\"Remember me\" is on", StoredLogin(journey));
    journey.Keep("d0-remember-me");
    pages.LoginAs(NAME, PASSWORD);
    CVornStatistics store;
    const CVornStatisticsProperty* pName =
        journey.ReadStore(store) ? store.GetProperty(CKorvelString("__Vorn_UserName")) : nullptr;
    journey.Expect(pName && Narrow(pName->m_strStringValue) == NAME, "the game remembered the login",
                   StoredLogin(journey));
    pages.WaitForGameMenuOrPage(HOME);
    journey.Expect(journey.Close() == 0, "the game ended with 0 on the close message");

    // The journey's server stands for the one the game found at its last start.
    kill(server.Pid(), SIGTERM);
    server.Wait(JOURNEY_STEP_SECONDS);
    journey.Expect(!server.Running(), "the lobby server ended");
    journey.Start(false);
    pages.WaitForPage(LOGIN_ERROR);
    journey.Keep("d1-no-server");
    // The game's own attempt may come before the press or just after it: the login page,
    // once seen, can be gone by the next look.
    journey.Expect(pages.PressUntilSeen(TRY_AGAIN, LOGIN), "Try again leads to the login page");
    journey.WaitFor(
        [&]
        {
            journey.Look();
            return pages.Showing(LOGIN_ERROR);
        },
        "the game tried again by itself: the error page is back over the login page");
    // The pictures of the next ten seconds are saved after them: saving takes seconds under load.
    const sE2eShot triedAgain = journey.Picture();
    pages.PressUntil(TRY_AGAIN, LOGIN);
    WaitForRememberedLogin(pages);
    const sE2eShot remembered = journey.Picture();
    // Pressed while the server is still away: the error page again.
    journey.PressWidget(LOGIN_BUTTON);
    pages.WaitForPage(LOGIN_ERROR);
    journey.Keep("d2-tried-again", triedAgain);
    journey.Keep("d3-remembered", remembered);
    journey.Keep("d4-still-no-server");

    const size_t uBack = journey.LogCount();
    StartServer(journey, server, "server-third");
    journey.WaitForRecord(
        std::string("the game logged ") + NAME + " in by itself",
        [](const CTestJson& r) { return r["event"].String() == "login"; }, uBack);
    journey.Expect(journey.Log().Find(CJourney::Incoming("GetRandomKey"), uBack) < 0,
                   "the remembered password was sent: no new key was asked for");
    pages.WaitForGameMenuOrPage(HOME);
    journey.Keep("d5-logged-in");
}

} // namespace

int main()
{
    CJourney journey("journey_lobby");
    CJourneyPages pages(journey);
    // The server started again after the game's own went away; ended last.
    CE2eProcess server;
    return journey.Run(
        [&]
        {
            FirstLaunch(pages);
            Accounts(pages);
            Settings(pages);
            ServerAway(pages, server);
            NobodyToPlay(pages);
            RememberedLoginWithoutServer(pages, server);
            journey.Expect(journey.Close() == 0, "the game ended with 0 on the close message");
        });
}
