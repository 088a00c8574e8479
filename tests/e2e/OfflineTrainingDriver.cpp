// Playing alone without a server, as a player would under Xvfb: the test build's game in an
// instance folder whose settings name a closed port. The lobby shows its login error page,
// the offline button hides it, the game's menu opens the training chooser, and scene 1
// starts: the water band and the first player's colour are on the screen. The game ends on
// the window manager's close message with 0 and no sanitizer report.
//
//   e2e_offline_training_driver   (under xvfb-run; KORVEL_BINARY_DIR names the test build)
//
// Pictures of each step go to <build>/test-output/e2e/offline_training/.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "Framework/Lobby/VornMenuState.h"
#include "Framework/UI/PageView.h"
#include "support/BuiltAppFolder.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"
#include "tests/Framework/Shell/ShellTestStats.h"
#include "tests/e2e/E2eWindow.h"

namespace
{

const int WINDOW_W = 1024, WINDOW_H = 600;
// Guards against hanging, not measurements: the sanitized build starts slowly.
const int START_SECONDS = 90;
const int STEP_SECONDS = 60;

const uint32_t TEXT_ERROR = 0xFF6B5B;   // the theme's "text_error", the error page's title
const uint32_t PLAYER0 = 0xFF5D37;      // the first player's colour
const uint32_t MENU_GREEN = 0x3CB44B;   // the menu's training button
const uint32_t SCENE_TEAL = 0x1FA5A0;   // the chooser's open scene button
const uint32_t TITLE_YELLOW = 0xFFD35A; // the title's letters on the menu and the chooser

// Rows of the lower half that are mostly water: deep blue with little red (the sky is
// lighter, with much more red).
int WaterRows(const sE2eShot& shot)
{
    int iRows = 0;
    for (int y = shot.m_iHeight / 2; y < shot.m_iHeight; ++y)
    {
        int iWater = 0;
        for (int x = 0; x < shot.m_iWidth; ++x)
        {
            const uint32_t p = shot.At(x, y);
            const int r = int(p >> 16), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
            iWater += r < 70 && g >= 110 && b >= 150 && b > g + 15 ? 1 : 0;
        }
        iRows += iWater * 10 >= shot.m_iWidth * 7 ? 1 : 0;
    }
    return iRows;
}

// Where the login error page puts its title and its offline button, as the real lobby lays
// them out on a window of this size.
class CLayoutApp : public CTestKestrolundApplication
{
public:
    CLayoutApp() : CTestKestrolundApplication(WINDOW_W, WINDOW_H)
    {
        m_bRealLobby = true;
        LinkBuiltAppFolder(AppFile(""));
    }

protected:
    CVornTheme* CreateTheme() override { return CreateShellTheme(); }
};

sE2eRect OnScreen(CWidget* p)
{
    int x = 0, y = 0;
    p->MapTo(p->GetRoot(), x, y);
    return {x, y, x + p->GetWidth(), y + p->GetHeight()};
}

bool ErrorPageLayout(sE2eRect& title, sE2eRect& offline)
{
    CLayoutApp app;
    if (app.Start() != KE_OK || !app.RunSplash())
        return false;
    CVornMenuState* pLobby = app.GetLobbyState();
    pLobby->SwitchToPage(CKorvelString("loginscreen_error"), 1);
    for (int i = 0; i < 10; ++i)
        app.Frame(0.2f);
    CWidget* pRoot = pLobby->GetRoot();
    CWidget* pTitle =
        pRoot ? pRoot->FindWidgetByPath(CKorvelString("//loginscreen_error//loginerror_title")) : nullptr;
    CWidget* pOffline =
        pRoot ? pRoot->FindWidgetByPath(CKorvelString("//loginscreen_error//offline_button")) : nullptr;
    if (!pTitle || !pOffline)
        return false;
    title = OnScreen(pTitle);
    offline = OnScreen(pOffline);
    return true;
}

// A loopback port that refuses connections: bound, never listening, held for the run.
class CClosedPort
{
public:
    CClosedPort() : m_iSocket(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t uLength = sizeof(address);
        if (m_iSocket >= 0 && bind(m_iSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            getsockname(m_iSocket, reinterpret_cast<sockaddr*>(&address), &uLength) == 0)
            m_iPort = ntohs(address.sin_port);
    }
    ~CClosedPort()
    {
        if (m_iSocket >= 0)
            close(m_iSocket);
    }
    int Port() const { return m_iPort; }

private:
    int m_iSocket;
    int m_iPort = 0;
};

// The instance folder: the built application folder linked in, its own settings and a
// statistics store that has seen one launch (so no first-launch chooser comes first).
bool MakeInstance(const std::string& strDir, int iPort)
{
    const std::string strApp = strDir + "/app/native";
    std::filesystem::create_directories(strApp);
    if (!LinkBuiltAppFolder(strApp))
        return false;
    std::filesystem::remove(strApp + "/settings.txt");
    const std::string strSettings =
        "[GRAPHICS]\nresx=1024\nresy=600\nfullscreen=0\n[NETWORK]\nserver=\"127.0.0.1\"\n"
        "port=" +
        std::to_string(iPort) + "\n";
    if (!WriteTestFile(strApp + "/settings.txt", strSettings))
        return false;
    char acPrevious[4096];
    if (!getcwd(acPrevious, sizeof(acPrevious)) || chdir(strDir.c_str()) != 0)
        return false;
    StoreIntSettings({{"__Vorn_TimesLaunched", 1}});
    return chdir(acPrevious) == 0;
}

// The game's screens from its own formulas (a window of WINDOW_W x WINDOW_H).
struct sSPOT
{
    int x, y;
};
const float R = std::min(WINDOW_W / 8.0f, WINDOW_H / 5.0f), U = WINDOW_W / 20.0f;
// The menu's training button: the first of the bottom row, 2.5 steps of 1.25 r left of the
// middle, 0.7 r above the bottom edge.
const sSPOT TRAINING_BUTTON = {int(WINDOW_W / 2.0f - 2.5f * 1.25f * R), int(WINDOW_H - 0.7f * R)};
// The chooser's first scene: centre + (-4 u, -1.5 u).
const sSPOT SCENE_1 = {int(WINDOW_W / 2.0f - 4.0f * U), int(WINDOW_H / 2.0f - 1.5f * U)};

} // namespace

int main()
{
    CE2eRun run("offline_training");
    sE2eRect title = {}, offline = {};
    if (!run.Step(ErrorPageLayout(title, offline), "the login error page's layout was read"))
        return run.ExitCode();

    CTestTempDir dir;
    CClosedPort closed;
    if (!run.Step(closed.Port() > 0 && MakeInstance(dir.Path(), closed.Port()),
                  "the instance folder was made"))
        return run.ExitCode();

    CE2eDisplay display;
    if (!run.Step(display.Get() != nullptr, "the X display opened"))
        return run.ExitCode();
    const std::set<Window> before = display.TopLevelWindows();
    const char* pBuild = std::getenv("KORVEL_BINARY_DIR");
    const std::string strGame = std::string(pBuild ? pBuild : ".") + "/game/quorvalin";
    CE2eProcess game;
    if (!run.Step(
            game.Start({strGame}, {}, dir.Path(), run.File("game-stdout.txt"), run.File("game-stderr.txt")),
            "the game started"))
        return run.ExitCode();
    Window window = 0;
    if (!run.Step(E2eWaitFor([&] { return (window = display.NewWindow(before)) != 0; }, START_SECONDS),
                  "the game's window appeared"))
        return run.ExitCode();

    sE2eShot shot;
    auto Look = [&] { return display.Capture(window, shot); };
    auto ErrorTitleShown = [&] { return Look() && E2eCountNear(shot, title, TEXT_ERROR, 24) >= 40; };
    const bool bError = E2eWaitFor(ErrorTitleShown, START_SECONDS);
    shot.Save(run.File("1-login-error.png"));
    if (!run.Step(bError, "the lobby showed \"loginscreen_error\" (its title in the error colour)"))
        return run.ExitCode();

    // A press that came during a page change is lost: pressed again while the page stays.
    bool bHidden = false;
    for (int i = 0; i < 5 && !bHidden; ++i)
    {
        display.Click(window, offline.CentreX(), offline.CentreY());
        bHidden = E2eWaitFor([&] { return !ErrorTitleShown(); }, 10);
    }
    shot.Save(run.File("2-after-offline.png"));
    if (!run.Step(bHidden, "the offline button hid the lobby"))
        return run.ExitCode();

    // The menu's buttons show once the game's resources are loaded.
    const sE2eRect trainingCentre = {TRAINING_BUTTON.x - 40, TRAINING_BUTTON.y - 40, TRAINING_BUTTON.x + 40,
                                     TRAINING_BUTTON.y + 40};
    const bool bMenu = E2eWaitFor(
        [&] { return Look() && E2eCountNear(shot, trainingCentre, MENU_GREEN, 12) > 1000; }, STEP_SECONDS);
    shot.Save(run.File("3-menu.png"));
    if (!run.Step(bMenu, "the game's menu showed its training button"))
        return run.ExitCode();
    // The chooser takes presses once its welcome message has gone: scene 1 is then bright.
    const sE2eRect scene1 = {SCENE_1.x - 25, SCENE_1.y + 15, SCENE_1.x + 25, SCENE_1.y + 35};
    auto ChooserReady = [&] { return Look() && E2eCountNear(shot, scene1, SCENE_TEAL, 12) > 600; };
    bool bChooser = false;
    for (int i = 0; i < 5 && !bChooser; ++i)
    {
        display.Click(window, TRAINING_BUTTON.x, TRAINING_BUTTON.y);
        bChooser = E2eWaitFor(ChooserReady, 20);
    }
    shot.Save(run.File("4-training-chooser.png"));
    if (!run.Step(bChooser, "the training button opened the training chooser with scene 1 open"))
        return run.ExitCode();

    std::string strSeen;
    auto InScene = [&]
    {
        if (!Look())
            return false;
        const sE2eRect titleBand = {0, 0, shot.m_iWidth, shot.m_iHeight / 3};
        // Between the action buttons' row and the bottom bar: the flomp itself.
        const sE2eRect field = {0, shot.m_iHeight / 5, shot.m_iWidth, shot.m_iHeight * 5 / 6};
        const int iTitle = E2eCountNear(shot, titleBand, TITLE_YELLOW, 8);
        const int iChooser = E2eCountNear(shot, scene1, SCENE_TEAL, 12);
        const int iWater = WaterRows(shot);
        const int iPlayer = E2eCountNear(shot, field, PLAYER0, 30);
        strSeen = "title pixels " + std::to_string(iTitle) + ", chooser pixels " + std::to_string(iChooser) +
                  ", water rows " + std::to_string(iWater) + ", first player's pixels " +
                  std::to_string(iPlayer);
        return iTitle < 100 && iChooser < 100 && iWater >= 20 && iPlayer >= 200;
    };
    bool bScene = false;
    for (int i = 0; i < 5 && !bScene; ++i)
    {
        if (ChooserReady())
            display.Click(window, SCENE_1.x, SCENE_1.y);
        bScene = E2eWaitFor(InScene, 20);
    }
    shot.Save(run.File("5-training-scene-1.png"));
    if (!run.Step(bScene, "training scene 1 showed the water band and the first player's colour", strSeen))
        return run.ExitCode();

    display.Close(window);
    const int iExit = game.Wait(STEP_SECONDS);
    const std::string strReport = E2eSanitizerReport(E2eReadText(run.File("game-stderr.txt")));
    run.Step(iExit == 0, "the game ended with 0 on the close message",
             "exit status " + std::to_string(iExit));
    run.Step(strReport.empty(), "a run without a sanitizer report", strReport);
    return run.ExitCode();
}
