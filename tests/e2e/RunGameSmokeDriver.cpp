// tools/run_game.sh as a player runs it, under Xvfb, on the test build, with XDG_DATA_HOME
// in a temporary folder and the lobby port moved off 5000 (LOBBY_PORT):
//  - player 1's start brings up the lobby server and the game's window;
//  - PLAYER=2 meanwhile joins that server (no second one) with an instance folder of its
//    own, and the end of its game leaves the server running;
//  - the close message ends player 1's game with 0, and the server its script started is
//    gone afterwards;
//  - with a program on the port that is not a lobby server the probe fails, the script
//    says so and starts neither server nor game.
//
//   e2e_run_game_smoke_driver   (under xvfb-run; KORVEL_SOURCE_DIR and KORVEL_BINARY_DIR set)
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/TestTempDir.h"
#include "tests/e2e/E2ePorts.h"
#include "tests/e2e/E2eWindow.h"

namespace
{

// Guards against hanging, not measurements: the sanitized game starts slowly.
const int START_SECONDS = 90;
const int STEP_SECONDS = 60;

std::string Env(const char* pName)
{
    const char* pValue = std::getenv(pName);
    return pValue ? pValue : ".";
}

// Processes of the group whose command line holds the text.
int CountInGroup(pid_t group, const std::string& strText, const std::string& strNot)
{
    int iCount = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        const std::string strPid = entry.path().filename().string();
        if (strPid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = pid_t(std::atoi(strPid.c_str()));
        if (getpgid(pid) != group)
            continue;
        std::string strCommand = E2eReadText(entry.path().string() + "/cmdline");
        for (char& c : strCommand)
            c = c == '\0' ? ' ' : c;
        iCount += strCommand.find(strText) != std::string::npos &&
                          (strNot.empty() || strCommand.find(strNot) == std::string::npos)
                      ? 1
                      : 0;
    }
    return iCount;
}

// The server's process id from the script's line "Lobby server started (process N, ...".
pid_t StartedServer(const std::string& strOut)
{
    const std::string strMark = "Lobby server started (process ";
    const size_t uAt = strOut.find(strMark);
    return uAt == std::string::npos ? 0 : pid_t(std::atoi(strOut.c_str() + uAt + strMark.size()));
}

class CSmoke
{
public:
    CSmoke() : m_Run("run_game_smoke") {}

    int Run();

private:
    std::vector<std::string> Script() const
    {
        return {"/bin/bash", Env("KORVEL_SOURCE_DIR") + "/tools/run_game.sh", Env("KORVEL_BINARY_DIR")};
    }
    std::vector<std::string> Environment(int iPort, int iPlayer) const
    {
        return {"XDG_DATA_HOME=" + m_Home.Path(), "LOBBY_PORT=" + std::to_string(iPort),
                "PLAYER=" + std::to_string(iPlayer), "SERVER", "LAN"};
    }
    bool StartPlayer(CE2eProcess& script, int iPort, int iPlayer)
    {
        return StartScript(script, "player" + std::to_string(iPlayer), Environment(iPort, iPlayer));
    }
    // Output in <strName>-stdout.txt and <strName>-stderr.txt.
    bool StartScript(CE2eProcess& script, const std::string& strName, const std::vector<std::string>& aEnv)
    {
        return script.Start(Script(), aEnv, m_Home.Path(), m_Run.File(strName + "-stdout.txt"),
                            m_Run.File(strName + "-stderr.txt"));
    }
    // A start that must be refused: its exit status and standard error.
    int Refused(const std::string& strName, const std::vector<std::string>& aEnv, std::string& strErr)
    {
        CE2eProcess script;
        const int iExit = StartScript(script, strName, aEnv) ? script.Wait(STEP_SECONDS) : -1;
        strErr = E2eReadText(m_Run.File(strName + "-stderr.txt"));
        return iExit;
    }
    std::string Out(int iPlayer) const
    {
        return E2eReadText(m_Run.File("player" + std::to_string(iPlayer) + "-stdout.txt"));
    }
    std::string Err(int iPlayer) const
    {
        return E2eReadText(m_Run.File("player" + std::to_string(iPlayer) + "-stderr.txt"));
    }
    // The server's own probe: 0 when a lobby server answers on the port.
    int Probe(int iPort)
    {
        CE2eProcess probe;
        if (!probe.Start({"/usr/bin/env", "python3",
                          Env("KORVEL_SOURCE_DIR") + "/tools/lobby_server/server.py", "--probe",
                          "127.0.0.1:" + std::to_string(iPort)},
                         {}, m_Home.Path(), m_Run.File("probe-stdout.txt"), m_Run.File("probe-stderr.txt")))
            return -1;
        return probe.Wait(STEP_SECONDS);
    }
    bool Ends(CE2eProcess& script, int& iExit) { return (iExit = script.Wait(STEP_SECONDS)) == 0; }
    bool NoReport(int iPlayer)
    {
        const std::string strReport = E2eSanitizerReport(Err(iPlayer));
        return m_Run.Step(strReport.empty(),
                          "player " + std::to_string(iPlayer) + "'s game ran without a sanitizer report",
                          strReport);
    }
    // Kept with the pictures: the server's log and the instance settings.
    void KeepLogs() const
    {
        std::error_code ec;
        std::filesystem::copy_file(m_Home.Path() + "/quorvalin/lobby/server.log", m_Run.File("server.log"),
                                   std::filesystem::copy_options::overwrite_existing, ec);
    }

    CE2eRun m_Run;
    CTestTempDir m_Home;
    CE2eDisplay m_Display;
};

int CSmoke::Run()
{
    const CE2ePortPair ports;
    const int iPort = ports.Port();
    if (!m_Run.Step(iPort > 0 && m_Display.Get() != nullptr, "a free port pair and the X display were found"))
        return m_Run.ExitCode();

    // Player 1: the server, then the game.
    const std::set<Window> before = m_Display.TopLevelWindows();
    CE2eProcess first;
    if (!m_Run.Step(StartPlayer(first, iPort, 1), "player 1's script started"))
        return m_Run.ExitCode();
    pid_t server = 0;
    if (!m_Run.Step(E2eWaitFor([&] { return (server = StartedServer(Out(1))) > 0 || !first.Running(); },
                               START_SECONDS) &&
                        server > 0,
                    "player 1's script reported the lobby server it started", Out(1) + Err(1)))
        return m_Run.ExitCode();
    Window firstWindow = 0;
    if (!m_Run.Step(
            E2eWaitFor([&] { return (firstWindow = m_Display.NewWindow(before)) != 0; }, START_SECONDS),
            "player 1's game window appeared", Err(1)))
        return m_Run.ExitCode();
    m_Run.Step(Probe(iPort) == 0, "the started server answered the probe");
    sE2eShot shot;
    if (m_Display.Capture(firstWindow, shot))
        shot.Save(m_Run.File("player1.png"));

    // Player 2 joins the same server with a folder of its own.
    std::set<Window> withFirst = m_Display.TopLevelWindows();
    withFirst.insert(firstWindow);
    CE2eProcess second;
    if (!m_Run.Step(StartPlayer(second, iPort, 2), "player 2's script started"))
        return m_Run.ExitCode();
    Window secondWindow = 0;
    if (!m_Run.Step(
            E2eWaitFor([&] { return (secondWindow = m_Display.NewWindow(withFirst)) != 0; }, START_SECONDS),
            "player 2's game window appeared", Out(2) + Err(2)))
        return m_Run.ExitCode();
    m_Run.Step(Out(2).find("already answers on port " + std::to_string(iPort)) != std::string::npos &&
                   StartedServer(Out(2)) == 0 && CountInGroup(second.Pid(), "server.py", "--probe") == 0,
               "player 2 joined the running server and started none", Out(2));
    m_Run.Step(CountInGroup(first.Pid(), "server.py", "--probe") == 1, "player 1's script runs one server");
    // Refused plainly, with nothing started: a second game of player 1, and no display.
    std::string strErr;
    int iRefused = Refused("player1-again", Environment(iPort, 1), strErr);
    m_Run.Step(iRefused == 1 && strErr.find("Player 1 is already playing") != std::string::npos,
               "a second start of player 1 was refused while it plays", strErr);
    std::vector<std::string> aNoDisplay = Environment(iPort, 3);
    aNoDisplay.push_back("DISPLAY");
    iRefused = Refused("no-display", aNoDisplay, strErr);
    m_Run.Step(iRefused == 1 && strErr.find("No display") != std::string::npos,
               "a start without a display was refused", strErr);
    std::vector<std::string> aPortZero = Environment(iPort, 4);
    std::replace(aPortZero.begin(), aPortZero.end(), std::string("SERVER"),
                 std::string("SERVER=127.0.0.1:0"));
    iRefused = Refused("port-zero", aPortZero, strErr);
    m_Run.Step(iRefused == 1 && strErr.find("port from 1 to 65535") != std::string::npos,
               "a server's port 0 was refused", strErr);
    m_Run.Step(m_Display.TopLevelWindows().size() == withFirst.size() + 1,
               "the refused starts opened no window");
    const std::string strSettings = E2eReadText(m_Home.Path() + "/quorvalin/player2/app/native/settings.txt");
    m_Run.Step(
        strSettings.find("port=" + std::to_string(iPort)) != std::string::npos &&
            std::filesystem::is_symlink(m_Home.Path() + "/quorvalin/player2/app/native/vornlayouts.kmp"),
        "player 2's instance links the build's files and names the server's port in its settings",
        strSettings);

    // Player 2 leaves: the server it joined stays.
    int iExit = -1;
    m_Display.Close(secondWindow);
    m_Run.Step(Ends(second, iExit), "player 2's game and script ended with 0 on the close message",
               "exit status " + std::to_string(iExit) + "\n" + Err(2));
    NoReport(2);
    m_Run.Step(kill(server, 0) == 0 && Probe(iPort) == 0,
               "the server stayed for player 1 after player 2 left");

    // Player 1 leaves: its server goes with it.
    m_Display.Close(firstWindow);
    m_Run.Step(Ends(first, iExit), "player 1's game and script ended with 0 on the close message",
               "exit status " + std::to_string(iExit) + "\n" + Err(1));
    NoReport(1);
    m_Run.Step(kill(server, 0) != 0 && errno == ESRCH && Probe(iPort) == 1,
               "the server player 1's script started was stopped");
    m_Run.Step(std::filesystem::exists(m_Home.Path() + "/quorvalin/player1/data/stats.dat") &&
                   std::filesystem::exists(m_Home.Path() + "/quorvalin/player2/data/stats.dat"),
               "each instance kept statistics in its own data folder");
    KeepLogs();

    // Something else on the port: the script refuses plainly and starts nothing.
    CLoopbackSocket other(0, CLoopbackSocket::LISTENING);
    const std::set<Window> beforeOther = m_Display.TopLevelWindows();
    CE2eProcess third;
    m_Run.Step(other.Port() > 0 && StartPlayer(third, other.Port(), 3), "player 3's script started");
    iExit = third.Wait(STEP_SECONDS);
    strErr = Err(3);
    m_Run.Step(iExit == 1 && strErr.find("is not a lobby server") != std::string::npos &&
                   strErr.find("Port " + std::to_string(other.Port()) + " is taken") != std::string::npos,
               "the script said the port is taken by something that is not a lobby server, and ended with 1",
               "exit status " + std::to_string(iExit) + "\n" + strErr);
    m_Run.Step(m_Display.NewWindow(beforeOther) == 0 && StartedServer(Out(3)) == 0,
               "no game and no server were started on a taken port", Out(3));
    return m_Run.ExitCode();
}

} // namespace

int main()
{
    CSmoke smoke;
    return smoke.Run();
}
