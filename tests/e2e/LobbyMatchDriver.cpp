// End to end under Xvfb: two instances of the test build's game meet through the project's
// lobby server and play a networked match, driven with XTest as two players would. Each
// logs in as a guest on the lobby's login page, leaves the overlay for the game's menu
// and presses play; the server pairs them; each side fires one shot by dragging its own
// flomp; then A quits, B wins and B's post-game chat opens. The server's JSON log says
// when each step happened; screenshots of both windows are kept under
// <build>/test-output/e2e/lobby_match/ with the server's log and each game's output.
//
// Exit 0 when every step happened and every check held; otherwise 1 with the step that
// did not happen.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/BuiltAppFolder.h"
#include "support/ChildProcess.h"
#include "support/LobbyServerProcess.h"
#include "support/TestJson.h"
#include "support/TestMedia.h"
#include "tests/Framework/Shell/ShellTestStats.h"
#include "tests/e2e/LobbyMatchLog.h"

// After the project's headers: Xlib defines macros such as Bool and Status.
#include "support/X11TestClient.h"
#include "tests/e2e/LobbyMatchPictures.h"

namespace
{

using namespace lobby_match;

// Guards against hanging, not measurements.
const int START_SECONDS = 90;
const unsigned int COLOUR_SLOT0 = 0xFF5D37, COLOUR_SLOT1 = 0x3A92FF;
const char* const GUEST_BUTTON = "//loginscreen_root//loginscreen_choices//guest_login_button";
const char* const CHAT_PAGE = "//chat_root";
const char* const CHAT_BACKLOG = "//chat_root//chat_backlog";
const char* const REMATCH_BUTTON = "//chat_root//rematch-button";

// Game event types as the relayed payload's first byte gives them.
const int EVENT_START_GAME = 6, EVENT_NEXT_PLAYER = 10, EVENT_PLAYBACK_DONE = 71, EVENT_TURN_PACK = 43;

// ------------------------------------------------------------------ processes

class CGameProcess
{
public:
    CGameProcess(const std::string& strName, const std::string& strDir) : m_strName(strName), m_strDir(strDir)
    {
    }
    ~CGameProcess() { Kill(); }

    void Start()
    {
        const pid_t parent = getpid();
        m_iPid = fork();
        if (m_iPid == 0)
        {
            DieWithTest(parent);
            if (chdir(m_strDir.c_str()) != 0)
                _exit(126);
            const int iOut = open((m_strDir + "/output.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (iOut >= 0)
            {
                dup2(iOut, 1);
                dup2(iOut, 2);
            }
            execl(GAME_PATH, GAME_PATH, static_cast<char*>(nullptr));
            _exit(127);
        }
        if (m_iPid < 0)
            Fail("starting game " + m_strName);
    }
    bool Running()
    {
        if (m_iPid <= 0 || m_bEnded)
            return false;
        if (waitpid(m_iPid, &m_iStatus, WNOHANG) == m_iPid)
            m_bEnded = true;
        return !m_bEnded;
    }
    // The exit code once it ended by itself within the time; -1 otherwise.
    int WaitExit(int iSeconds)
    {
        TestWaitFor([&] { return !Running(); }, iSeconds);
        return m_bEnded && WIFEXITED(m_iStatus) ? WEXITSTATUS(m_iStatus) : -1;
    }
    void Kill()
    {
        if (m_iPid > 0 && !m_bEnded)
        {
            kill(m_iPid, SIGKILL);
            waitpid(m_iPid, &m_iStatus, 0);
            m_bEnded = true;
        }
    }
    std::string Output() const
    {
        const std::vector<uint8_t> aBytes = ReadTestFile(m_strDir + "/output.txt");
        return std::string(aBytes.begin(), aBytes.end());
    }

    const std::string m_strName;
    const std::string m_strDir;

private:
    pid_t m_iPid = -1;
    int m_iStatus = 0;
    bool m_bEnded = false;
};

// The probe's rectangle of each path, run in an instance folder.
std::vector<sRect> ProbeLayout(const std::string& strDir, const std::vector<std::string>& aPaths)
{
    std::string strCommand =
        "cd '" + strDir + "' && '" LAYOUT_PROBE_PATH "' " + std::to_string(W) + " " + std::to_string(H);
    for (const std::string& strPath : aPaths)
        strCommand += " '" + strPath + "'";
    FILE* pPipe = popen(strCommand.c_str(), "r");
    if (!pPipe)
        Fail("the layout probe");
    std::vector<sRect> aRects;
    char acLine[256];
    while (fgets(acLine, sizeof(acLine), pPipe))
    {
        sRect rect;
        if (std::sscanf(acLine, "%d %d %d %d", &rect.m_iLeft, &rect.m_iTop, &rect.m_iRight,
                        &rect.m_iBottom) != 4)
            Fail(std::string("the layout probe found no widget: ") + acLine);
        aRects.push_back(rect);
    }
    if (pclose(pPipe) != 0 || aRects.size() != aPaths.size())
        Fail("the layout probe's rectangles");
    return aRects;
}

// An instance folder: links to the build's application folder with its own settings
// pointing at the server, and a statistics store that has seen one launch, so that the
// first-launch language chooser is not shown.
void MakeInstance(const std::string& strDir, unsigned int uLobbyPort)
{
    std::filesystem::create_directories(strDir + "/app/native");
    std::filesystem::create_directories(strDir + "/data");
    if (!LinkBuiltAppFolder(strDir + "/app/native"))
        Fail("links to the built application folder in " + strDir);
    std::filesystem::remove(strDir + "/app/native/settings.txt");
    const std::string strSettings = "[GRAPHICS]\nresx=" + std::to_string(W) + "\nresy=" + std::to_string(H) +
                                    "\nfullscreen=0\n[AUDIO]\nfrequency=44100\nbps=16\nchannels=2\n"
                                    "[NETWORK]\nserver=\"127.0.0.1\"\nport=" +
                                    std::to_string(uLobbyPort) + "\n";
    if (!WriteTestFile(strDir + "/app/native/settings.txt", strSettings))
        Fail("the settings of " + strDir);
    char acPrevious[4096];
    const std::string strPrevious = getcwd(acPrevious, sizeof(acPrevious)) ? acPrevious : ".";
    if (chdir(strDir.c_str()) != 0)
        Fail("entering " + strDir);
    StoreIntSettings({{"__Vorn_TimesLaunched", 1}});
    if (chdir(strPrevious.c_str()) != 0)
        Fail("returning to " + strPrevious);
}

// ------------------------------------------------------------------ windows and input

std::set<Window> TopLevelWindows(Display* pDisplay)
{
    Window root = DefaultRootWindow(pDisplay), parent = 0, *pChildren = nullptr;
    unsigned int uCount = 0;
    std::set<Window> windows;
    if (XQueryTree(pDisplay, root, &root, &parent, &pChildren, &uCount))
        for (unsigned int u = 0; u < uCount; ++u)
        {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(pDisplay, pChildren[u], &attributes) &&
                attributes.map_state == IsViewable)
                windows.insert(pChildren[u]);
        }
    if (pChildren)
        XFree(pChildren);
    return windows;
}

class CPlayer
{
public:
    CPlayer(const std::string& strName, const std::string& strDir) : m_Game(strName, strDir) {}

    // Starts the game and waits for its window, which is moved to x.
    void Open(Display* pDisplay, int iX)
    {
        m_pDisplay = pDisplay;
        m_iX = iX;
        const std::set<Window> before = TopLevelWindows(pDisplay);
        m_Game.Start();
        if (!TestWaitFor(
                [&]
                {
                    for (const Window window : TopLevelWindows(pDisplay))
                        if (!before.count(window))
                            m_Window = window;
                    return m_Window != 0 || !m_Game.Running();
                },
                START_SECONDS) ||
            !m_Window)
            Fail("no window of game " + m_Game.m_strName + " within " + std::to_string(START_SECONDS) + " s");
        XMoveWindow(pDisplay, m_Window, iX, 0);
        XSync(pDisplay, False);
    }

    void Click(int x, int y)
    {
        XTestFakeMotionEvent(m_pDisplay, DefaultScreen(m_pDisplay), m_iX + x, y, CurrentTime);
        XFlush(m_pDisplay);
        Pause(150);
        XTestFakeButtonEvent(m_pDisplay, 1, True, CurrentTime);
        XFlush(m_pDisplay);
        Pause(150);
        XTestFakeButtonEvent(m_pDisplay, 1, False, CurrentTime);
        XFlush(m_pDisplay);
    }

    // A press at (x, y), a slow drag by (dx, dy) and the release; the pauses give the game
    // frames to see the press, the stretch and the release apart.
    void Drag(int x, int y, int dx, int dy)
    {
        const int iScreen = DefaultScreen(m_pDisplay);
        XTestFakeMotionEvent(m_pDisplay, iScreen, m_iX + x, y, CurrentTime);
        XFlush(m_pDisplay);
        Pause(300);
        XTestFakeButtonEvent(m_pDisplay, 1, True, CurrentTime);
        XFlush(m_pDisplay);
        Pause(500);
        const int iSteps = 10;
        for (int i = 1; i <= iSteps; ++i)
        {
            XTestFakeMotionEvent(m_pDisplay, iScreen, m_iX + x + dx * i / iSteps, y + dy * i / iSteps,
                                 CurrentTime);
            XFlush(m_pDisplay);
            Pause(80);
        }
        Pause(500);
        XTestFakeButtonEvent(m_pDisplay, 1, False, CurrentTime);
        XFlush(m_pDisplay);
    }

    sPicture Picture() { return Grab(m_pDisplay, m_Window); }

    void Close() { TestX11Close(m_pDisplay, m_Window); }

    CGameProcess m_Game;
    Window m_Window = 0;
    int m_iX = 0;
    Display* m_pDisplay = nullptr;
    // From the server's log.
    long long m_llUser = -1;
    std::string m_strLobbyConn, m_strGameConn;
    int m_iSlot = -1;
};

// ------------------------------------------------------------------ the scenario

class CScenario
{
public:
    CScenario(const std::string& strOut, Display* pDisplay)
        : m_strOut(strOut), m_pDisplay(pDisplay), m_Server(strOut + "/server.jsonl"),
          m_Log(strOut + "/server.jsonl"), m_A("A", strOut + "/A"), m_B("B", strOut + "/B")
    {
    }

    void Run()
    {
        const std::string strBuild =
            std::getenv("KORVEL_BINARY_DIR") ? std::getenv("KORVEL_BINARY_DIR") : ".";
        Step("the lobby server starts");
        if (!m_Server.Start({"--language-dir", LanguageFolder(strBuild), "--catalogue",
                             strBuild + "/lobby-data/catalogue.json"}))
            Fail("the lobby server's ready line");
        MakeInstance(m_A.m_Game.m_strDir, m_Server.LobbyPort());
        MakeInstance(m_B.m_Game.m_strDir, m_Server.LobbyPort());
        const std::vector<sRect> aRects =
            ProbeLayout(m_A.m_Game.m_strDir, {GUEST_BUTTON, CHAT_PAGE, CHAT_BACKLOG, REMATCH_BUTTON});
        m_GuestButton = aRects[0];
        m_ChatPage = aRects[1];
        m_ChatBacklog = aRects[2];
        m_RematchButton = aRects[3];

        Step("both games start");
        m_A.Open(m_pDisplay, 0);
        m_B.Open(m_pDisplay, W);

        for (CPlayer* p : {&m_A, &m_B})
            LogIn(*p);
        for (CPlayer* p : {&m_A, &m_B})
            ToMenu(*p);
        Queue();
        Play();
        Quit();
        End();
    }

    // The shipped language packs under the names the server offers them by: the
    // framework's "vornlanguage" and the game's "game".
    std::string LanguageFolder(const std::string& strBuild)
    {
        const std::string strDir = m_strOut + "/languages";
        std::filesystem::create_directories(strDir);
        const std::string strApp = std::filesystem::absolute(strBuild + "/run/app/native").string();
        for (const auto& link : {std::make_pair("vornlanguage_en.kmp", "vornlanguage_en.kmp"),
                                 std::make_pair("quorvalinlanguage_en.kmp", "game_en.kmp")})
        {
            std::error_code ec;
            std::filesystem::create_symlink(strApp + "/" + link.first, strDir + "/" + link.second, ec);
            if (ec)
                Fail("a link to " + std::string(link.first) + " in " + strDir);
        }
        return strDir;
    }

    // Pictures of both windows as they are when a step failed.
    void FailurePictures()
    {
        for (CPlayer* p : {&m_A, &m_B})
            if (p->m_Window && p->m_Game.Running())
                Save(p->Picture(), m_strOut + "/failed_" + p->m_Game.m_strName + ".png");
    }

    // Everything this run started is stopped.
    void Cleanup()
    {
        m_A.m_Game.Kill();
        m_B.m_Game.Kill();
        m_Server.Stop();
    }

    std::string m_strStep;

private:
    void Step(const std::string& strStep)
    {
        m_strStep = strStep;
        Say(strStep);
    }

    void Shot(CPlayer& player, const std::string& strName, const sPicture& picture)
    {
        Save(picture, m_strOut + "/" + strName + "_" + player.m_Game.m_strName + ".png");
    }

    // The login page shows, the guest button logs in; the user id and lobby connection
    // come from the server's login line.
    void LogIn(CPlayer& player)
    {
        const std::string& strName = player.m_Game.m_strName;
        Step(strName + "'s login page shows its guest button");
        sPicture picture;
        if (!TestWaitFor(
                [&]
                {
                    picture = player.Picture();
                    return NotBlank(picture) && StandsOut(picture, m_GuestButton) > 40;
                },
                START_SECONDS))
        {
            Shot(player, "login", picture);
            Fail("no guest button on " + strName + "'s login page within " + std::to_string(START_SECONDS) +
                 " s");
        }
        Shot(player, "login", picture);

        Step(strName + " logs in as a guest");
        const size_t uLogins = Logins();
        for (int iTry = 0; iTry < 4 && Logins() == uLogins; ++iTry)
        {
            player.Click(m_GuestButton.CentreX(), m_GuestButton.CentreY());
            TestWaitFor([&] { return Logins() > uLogins; }, 15);
        }
        int iLogin = -1;
        const CTestJson login = m_Log.WaitFor(
            strName + "'s guest login", [](const CTestJson& r) { return r["event"].String() == "login"; }, 1,
            m_uLoginFrom, &iLogin);
        m_uLoginFrom = size_t(iLogin) + 1;
        player.m_llUser = login["user_id"].Int();
        player.m_strLobbyConn = login["conn"].String();
        Say(strName + " is user " + std::to_string(player.m_llUser) + " on " + player.m_strLobbyConn);

        Step(strName + "'s terminal names the lobby server it reached");
        const std::string strConnected =
            "Connected to the lobby server at 127.0.0.1:" + std::to_string(m_Server.LobbyPort()) + ".";
        if (!TestWaitFor([&] { return player.m_Game.Output().find(strConnected) != std::string::npos; },
                         START_SECONDS))
            Fail(strName + " did not print \"" + strConnected + "\":\n" + player.m_Game.Output());
    }

    size_t Logins()
    {
        size_t uCount = 0;
        for (const CTestJson& record : m_Log.Records())
            uCount += record["event"].String() == "login" ? 1 : 0;
        return uCount;
    }

    // A guest's home page is the login page; the guest button again hides the overlay and
    // shows the game's menu.
    void ToMenu(CPlayer& player)
    {
        const std::string& strName = player.m_Game.m_strName;
        Step(strName + " leaves the lobby's overlay for the game's menu");
        sPicture picture;
        for (int iTry = 0; iTry < 4; ++iTry)
        {
            // After the login the lobby loads a moment, then shows its home page again.
            bool bMenu = false;
            TestWaitFor(
                [&]
                {
                    picture = player.Picture();
                    bMenu = PlayButtonShows(picture);
                    return bMenu || StandsOut(picture, m_GuestButton) > 40;
                },
                STEP_SECONDS);
            if (!bMenu)
                player.Click(m_GuestButton.CentreX(), m_GuestButton.CentreY());
            if (TestWaitFor(
                    [&]
                    {
                        picture = player.Picture();
                        return NotBlank(picture) && PlayButtonShows(picture);
                    },
                    20))
            {
                Shot(player, "menu", picture);
                return;
            }
        }
        Shot(player, "menu", picture);
        Fail("the overlay of " + strName + " did not hide after its guest button");
    }

    // Play at the menu's centre, repeated until the server has each one's game queue
    // registration and then pairs them.
    void Queue()
    {
        Step("both press play and are paired");
        int iPaired = -1;
        for (int iTry = 0; iTry < 12 && iPaired < 0; ++iTry)
        {
            for (CPlayer* p : {&m_A, &m_B})
                if (!Queued(*p))
                    p->Click(W / 2, H / 2);
            TestWaitFor([&] { return (iPaired = PairedIndex()) >= 0; }, 5);
        }
        for (CPlayer* p : {&m_A, &m_B})
            if (!Queued(*p) && iPaired < 0)
                Fail("no QueueRegisterIn with a = 1 on " + p->m_Game.m_strName + "'s lobby connection");
        const CTestJson paired = m_Log.WaitFor(
            "pairing of A and B", [](const CTestJson& r) { return r["event"].String() == "paired"; }, 1);
        const CTestJson& players = paired["players"];
        for (CPlayer* p : {&m_A, &m_B})
        {
            p->m_iSlot = players[size_t(0)].Int() == p->m_llUser   ? 0
                         : players[size_t(1)].Int() == p->m_llUser ? 1
                                                                   : -1;
            if (p->m_iSlot < 0)
                Fail(p->m_Game.m_strName + " among the paired players");
        }
        m_iMasterSlot = int(paired["master"].Int());
        Say("A is slot " + std::to_string(m_A.m_iSlot) + ", B slot " + std::to_string(m_B.m_iSlot) +
            ", master slot " + std::to_string(m_iMasterSlot));
    }

    // A QueueRegisterIn of the game's quick play (a = 1) on the player's lobby connection,
    // not followed by a QueueUnregisterFrom.
    bool Queued(const CPlayer& player)
    {
        bool bQueued = false;
        for (const CTestJson& record : m_Log.Records())
        {
            if (IsMessage(record, "in", player.m_strLobbyConn, "QueueRegisterIn") &&
                record["fields"]["a"].Int() == 1)
                bQueued = true;
            if (IsMessage(record, "in", player.m_strLobbyConn, "QueueUnregisterFrom"))
                bQueued = false;
        }
        return bQueued;
    }

    int PairedIndex()
    {
        return m_Log.Find([](const CTestJson& r) { return r["event"].String() == "paired"; });
    }

    void Play()
    {
        Step("both games connect and the match starts");
        for (CPlayer* p : {&m_A, &m_B})
        {
            const long long llUser = p->m_llUser;
            const CTestJson ready = m_Log.WaitFor("GameReady from " + p->m_Game.m_strName,
                                                  [=](const CTestJson& r)
                                                  {
                                                      return r["event"].String() == "in" &&
                                                             r["name"].String() == "GameReady" &&
                                                             r["fields"]["user"].Int() == llUser;
                                                  });
            p->m_strGameConn = ready["conn"].String();
        }
        // A shot can decide the match (a flomp knocked into the water); then both ask for
        // a rematch and the shots are played again, so that A still leaves a running match.
        size_t uMatchFrom = 0;
        for (int iMatch = 1; iMatch <= 3; ++iMatch)
        {
            int iStart = -1;
            m_Log.WaitFor(
                "match_start of match " + std::to_string(iMatch),
                [](const CTestJson& r) { return r["event"].String() == "match_start"; }, STEP_SECONDS,
                uMatchFrom, &iStart);
            uMatchFrom = size_t(iStart) + 1;
            CPlayer& master = m_A.m_iSlot == m_iMasterSlot ? m_A : m_B;
            const CTestJson start =
                m_Log.WaitFor("StartGame event on " + master.m_Game.m_strName + "'s game connection",
                              GameEvent(master.m_strGameConn, EVENT_START_GAME), STEP_SECONDS, uMatchFrom);
            const std::vector<int> aStart = Payload(start);
            if (aStart.size() < 13 || aStart[12] > 1)
                Fail("a first player in byte 12 of the StartGame event");
            CPlayer& first = aStart[12] == m_A.m_iSlot ? m_A : m_B;
            CPlayer& second = &first == &m_A ? m_B : m_A;
            Say(first.m_Game.m_strName + " acts first");

            m_uTurnFrom = uMatchFrom;
            int iNext = Act(first, second);
            if (iNext >= 0)
                iNext = Act(second, first);
            if (iNext >= 0)
            {
                if (iNext != first.m_iSlot)
                    Fail("NextPlayer giving the turn back to " + first.m_Game.m_strName);
                return;
            }
            Rematch();
        }
        Fail("a match still running after one shot per side in three matches");
    }

    // Both post-game chats open; each presses its rematch button until the server has the
    // wish of both.
    void Rematch()
    {
        Step("a shot decided the match: both ask for a rematch");
        const size_t uFrom = m_Log.Count();
        for (CPlayer* p : {&m_A, &m_B})
        {
            const std::string strConn = p->m_strGameConn;
            auto fnAsked = [=](const CTestJson& r)
            { return IsMessage(r, "in", strConn, "Rematch") && r["fields"]["wish"].Int() == 1; };
            for (int iTry = 0; iTry < 4 && m_Log.Find(fnAsked, uFrom) < 0; ++iTry)
            {
                TestWaitFor(
                    [&]
                    {
                        const sPicture picture = p->Picture();
                        return LobbyPageShows(picture, m_ChatPage) &&
                               StandsOut(picture, m_RematchButton) > 30;
                    },
                    STEP_SECONDS);
                p->Click(m_RematchButton.CentreX(), m_RematchButton.CentreY());
                TestWaitFor([&] { return m_Log.Find(fnAsked, uFrom) >= 0; }, 5);
            }
            m_Log.WaitFor("Rematch with wish 1 from " + p->m_Game.m_strName, fnAsked, 1, uFrom);
        }
        m_Log.WaitFor(
            "rematch of the session", [](const CTestJson& r) { return r["event"].String() == "rematch"; },
            STEP_SECONDS, uFrom);
    }

    // The player fires the default shot by dragging its flomp; the turn pack crosses the
    // server and the other side's PlaybackDone comes back. The slot that the following
    // NextPlayer gives the turn to, or -1 when the shot ended the match.
    int Act(CPlayer& player, CPlayer& other)
    {
        const std::string& strName = player.m_Game.m_strName;
        Step(strName + " fires a shot");
        const uint32_t uOwn = player.m_iSlot == 0 ? COLOUR_SLOT0 : COLOUR_SLOT1;
        const size_t uFrom = m_uTurnFrom;
        sPicture picture;
        // Tried again until the turn pack goes out (a drag during the count-down does
        // nothing), but only within this turn: its time-out passes the turn on.
        auto fnTurnOver = [&]
        {
            return m_Log.Find(GameEvent(player.m_strGameConn, EVENT_TURN_PACK), uFrom) >= 0 ||
                   m_Log.Find(GameEvent(player.m_strGameConn, EVENT_NEXT_PLAYER), uFrom) >= 0 ||
                   m_Log.Find(GameEvent(other.m_strGameConn, EVENT_NEXT_PLAYER), uFrom) >= 0;
        };
        for (int iTry = 0; iTry < 15 && !fnTurnOver(); ++iTry)
        {
            picture = player.Picture();
            int x = 0, y = 0;
            if (!FindColour(picture, uOwn, SceneArea(), x, y))
            {
                Pause(1000);
                continue;
            }
            // Up and towards the middle of the window, 150 px away.
            const int dx = x < W / 2 ? 106 : -106;
            player.Drag(x, y, dx, -106);
            TestWaitFor(fnTurnOver, 8);
        }
        Shot(player, "match", picture);
        CheckMatchPicture(player, picture);
        m_MatchPictures[&player] = picture;
        m_Log.WaitFor("turn pack on " + strName + "'s game connection within its turn",
                      GameEvent(player.m_strGameConn, EVENT_TURN_PACK), 1, uFrom);
        int iDone = -1, iNext = -1;
        m_Log.WaitFor("PlaybackDone on " + other.m_Game.m_strName + "'s game connection",
                      GameEvent(other.m_strGameConn, EVENT_PLAYBACK_DONE), STEP_SECONDS, uFrom, &iDone);
        // The turn ends with a NextPlayer from either side; the next turn counts from there.
        const std::string strA = player.m_strGameConn, strB = other.m_strGameConn;
        const CTestJson next = m_Log.WaitFor(
            "NextPlayer after " + strName + "'s turn",
            [&](const CTestJson& r)
            {
                return GameEvent(strA, EVENT_NEXT_PLAYER)(r) || GameEvent(strB, EVENT_NEXT_PLAYER)(r) ||
                       r["event"].String() == "game_end";
            },
            STEP_SECONDS, size_t(iDone) + 1, &iNext);
        m_uTurnFrom = size_t(iNext) + 1;
        if (next["event"].String() == "game_end")
            return -1;
        const std::vector<int> aNext = Payload(next);
        if (aNext.size() < 13 || aNext[12] == player.m_iSlot)
            Fail("NextPlayer giving the turn to " + other.m_Game.m_strName);
        return aNext[12];
    }

    // Both player colours and the row of action buttons near y = 1.5 W/30.
    void CheckMatchPicture(CPlayer& player, const sPicture& picture)
    {
        const std::string& strName = player.m_Game.m_strName;
        int x = 0, y = 0;
        if (!NotBlank(picture))
            Fail(strName + "'s match picture is blank");
        if (!FindColour(picture, COLOUR_SLOT0, Whole(), x, y) ||
            !FindColour(picture, COLOUR_SLOT1, Whole(), x, y))
            Fail("both player colours in " + strName + "'s match picture");
        // The five action buttons (jump, whip, fire, sticky, special) stand out from the scene;
        // an empty special slot is drawn faint and may melt into a bright background.
        const int iRow = 3 * W / 60, iHalf = 7 * W / 300;
        int iStandingOut = 0;
        for (int k = -2; k <= 2; ++k)
        {
            sRect button;
            button.m_iLeft = W / 2 + k * W / 10 - iHalf;
            button.m_iRight = W / 2 + k * W / 10 + iHalf;
            button.m_iTop = iRow - iHalf;
            button.m_iBottom = iRow + iHalf;
            if (StandsOut(picture, button) > 30)
                ++iStandingOut;
        }
        if (iStandingOut < 4)
            Fail("the action buttons in " + strName + "'s match picture (" + std::to_string(iStandingOut) +
                 " of 5 stand out)");
    }

    void Quit()
    {
        Step("A quits the match");
        const size_t uFrom = m_Log.Count();
        const long long llA = m_A.m_llUser;
        auto fnEndOfA = [=](const CTestJson& r)
        { return r["event"].String() == "game_end" && r["user"].Int() == llA; };
        for (int iTry = 0; iTry < 3 && m_Log.Find(fnEndOfA, uFrom) < 0; ++iTry)
        {
            m_A.Click(W / 2, H - 6 * W / 150);
            Pause(1000);
            m_A.Click(2 * W / 5, 3 * H / 5);
            TestWaitFor([&] { return m_Log.Find(fnEndOfA, uFrom) >= 0; }, 10);
        }
        const CTestJson endA = m_Log.WaitFor("GameEnd of A", fnEndOfA, 1, uFrom);
        if (endA["report"]["leaving"].Int() != 1)
            Fail("the leaving flag in A's GameEnd");
        CheckBFirst(endA, "A");

        Step("B hears that A left and wins");
        const std::string strGameB = m_B.m_strGameConn;
        m_Log.WaitFor(
            "GameDisconnect on B's game connection",
            [=](const CTestJson& r) { return IsMessage(r, "out", strGameB, "GameDisconnect"); }, STEP_SECONDS,
            uFrom);
        m_uLeftFrom = uFrom;

        Step("B's post-game chat opens");
        const sPicture& match = m_MatchPictures[&m_B];
        sPicture picture;
        if (!TestWaitFor(
                [&]
                {
                    picture = m_B.Picture();
                    return LobbyPageShows(picture, m_ChatPage);
                },
                STEP_SECONDS))
        {
            Shot(m_B, "chat", picture);
            Fail("no chat page on B within " + std::to_string(STEP_SECONDS) + " s");
        }
        // The chat page slides in; a moment for it to settle before the picture is kept.
        Pause(1500);
        picture = m_B.Picture();
        Shot(m_B, "chat", picture);
        if (!NotBlank(picture) || Changed(picture, match, m_ChatPage) <= 500)
            Fail("B's chat picture differs from its match picture");
        // The backlog holds a line: the one saying that A left the chat.
        if (StandsOut(picture, m_ChatBacklog) < 2)
            Fail("a line in B's chat backlog");
        // The opponent has gone: no rematch is offered, not even the button's caption.
        if (StandsOut(picture, m_RematchButton) > 8)
            Fail("no rematch button in B's chat after A left");
    }

    void CheckBFirst(const CTestJson& end, const char* pWho)
    {
        const CTestJson& ranks = end["report"]["ranks"];
        if (ranks[std::to_string(m_B.m_llUser)].Int() != 1 || ranks[std::to_string(m_A.m_llUser)].Int() != 2)
            Fail(std::string("B ranked first in ") + pWho + "'s GameEnd");
    }

    void End()
    {
        for (CPlayer* p : {&m_A, &m_B})
        {
            Step(p->m_Game.m_strName + " closes on WM_DELETE_WINDOW");
            p->Close();
            const int iCode = p->m_Game.WaitExit(STEP_SECONDS);
            if (iCode != 0)
                Fail(p->m_Game.m_strName + "'s exit code 0 (got " + std::to_string(iCode) + ")");
            const std::string strOutput = p->m_Game.Output();
            for (const char* pReport : {"AddressSanitizer", "runtime error:", "LeakSanitizer"})
                if (strOutput.find(pReport) != std::string::npos)
                    Fail(p->m_Game.m_strName + "'s output without a sanitizer report");
        }
        // A left, so B's game reports nothing of its own: the leaver's GameEnd decides, and
        // the server logs the result once both have gone.
        Step("the match result names B");
        const long long llB = m_B.m_llUser;
        const size_t uFrom = m_uLeftFrom;
        const CTestJson result = m_Log.WaitFor(
            "match_result", [](const CTestJson& r) { return r["event"].String() == "match_result"; },
            STEP_SECONDS, uFrom);
        if (result["winner"].Int() != llB)
            Fail("B as the winner of the logged match result");
        if (m_Log.Find(
                [=](const CTestJson& r)
                {
                    return r["event"].String() == "game_end" && r["user"].Int() == llB &&
                           r["report"]["ranks"][std::to_string(llB)].Int() != 1;
                },
                uFrom) >= 0)
            Fail("no GameEnd of B that ranks B below first");

        Step("the server's log is clean");
        const int iServer = m_Server.Stop();
        const std::vector<std::string> aComplaints = m_Server.Complaints();
        for (const std::string& strLine : aComplaints)
            Say(strLine);
        if (!aComplaints.empty() || iServer != 0)
            Fail("a server log without violations (exit " + std::to_string(iServer) + ")");
    }

    std::string m_strOut;
    Display* m_pDisplay;
    CLobbyServerProcess m_Server;
    CServerLog m_Log;
    CPlayer m_A, m_B;
    sRect m_GuestButton, m_ChatPage, m_ChatBacklog, m_RematchButton;
    std::map<const CPlayer*, sPicture> m_MatchPictures;
    size_t m_uLoginFrom = 0;
    size_t m_uLeftFrom = 0; // the log's first record after A quit
    size_t m_uTurnFrom = 0; // the log's first record of the running turn
    int m_iMasterSlot = 0;
};

} // namespace

int main()
{
    const char* pBuild = std::getenv("KORVEL_BINARY_DIR");
    const std::string strOut = std::string(pBuild ? pBuild : ".") + "/test-output/e2e/lobby_match";
    std::error_code ec;
    std::filesystem::remove_all(strOut, ec);
    std::filesystem::create_directories(strOut);
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
    {
        std::fprintf(stderr, "e2e: FAILED: no X display (runs under xvfb-run)\n");
        return 1;
    }
    int iResult = 0;
    {
        CScenario scenario(strOut, pDisplay);
        try
        {
            scenario.Run();
        }
        catch (const sFailure& failure)
        {
            std::fprintf(
                stderr,
                "e2e: FAILED at \"%s\": %s\ne2e: pictures, game output and the server log are in %s\n",
                scenario.m_strStep.c_str(), failure.m_strStep.c_str(), strOut.c_str());
            iResult = 1;
            try
            {
                scenario.FailurePictures();
            }
            catch (const sFailure&)
            {
            }
        }
        scenario.Cleanup();
    }
    XCloseDisplay(pDisplay);
    // Nothing of this run may be left running.
    if (waitpid(-1, nullptr, WNOHANG) != -1)
    {
        std::fprintf(stderr, "e2e: FAILED: a child process is still running\n");
        iResult = 1;
    }
    if (iResult == 0)
        Say("passed");
    return iResult;
}
