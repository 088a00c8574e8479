#include "support/LobbyServerProcess.h"

#include "support/ChildProcess.h"

#include "support/TestMedia.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
// How often a start that waits for the ready line looks whether the server has ended.
const int EXIT_CHECK_MS = 100;

int MillisecondsLeft(std::chrono::steady_clock::time_point end)
{
    return (int)std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
        .count();
}

std::string ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// One line from fd, waiting for it as long as the process runs (bounded against a hang);
// what came so far when it ended (iStatus then holds its wait status) or at the bound.
std::string ReadReadyLine(int fd, pid_t pid, bool& bEnded, int& iStatus)
{
    std::string strLine;
    bool bOutputEnded = false;
    bEnded = false;
    const auto end = std::chrono::steady_clock::now() + TEST_WAIT_LIMIT;
    while (strLine.find('\n') == std::string::npos && MillisecondsLeft(end) > 0)
    {
        pollfd ready = {fd, POLLIN, 0};
        if (!bOutputEnded && poll(&ready, 1, std::min(EXIT_CHECK_MS, MillisecondsLeft(end))) == 1)
        {
            char aBuf[256];
            const ssize_t n = read(fd, aBuf, sizeof(aBuf));
            if (n > 0)
            {
                strLine.append(aBuf, (size_t)n);
                continue;
            }
            bOutputEnded = true;
        }
        if (waitpid(pid, &iStatus, WNOHANG) == pid)
        {
            bEnded = true;
            break;
        }
        if (bOutputEnded)
            std::this_thread::sleep_for(std::chrono::milliseconds(EXIT_CHECK_MS));
    }
    return strLine;
}

unsigned int PortOf(const CTestJson& ready, const char* pKey)
{
    const long long llPort = ready[pKey].Int();
    return llPort > 0 && llPort < 65536 ? (unsigned int)llPort : 0;
}
} // namespace

// ---------------------------------------------------------------------- process

bool CLobbyServerProcess::Start(const std::vector<std::string>& aExtra)
{
    const std::string strScript = TestSourceDir() + "/tools/lobby_server/server.py";
    int aiPipe[2];
    if (pipe(aiPipe) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, aiPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, aiPipe[0]);
    posix_spawn_file_actions_addclose(&actions, aiPipe[1]);
    // Its standard error goes to a file beside the log: a start that fails shows it, and no
    // pipe left unread can hold the server up.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, StderrPath().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> aArgs = {strScript,  "--port", "0",      "--game-port",    "0",
                                      "--strict", "--log",  m_strLog, "--control-port", "0"};
    aArgs.insert(aArgs.end(), aExtra.begin(), aExtra.end());
    const int iSpawned = SpawnPython(aArgs, &actions, m_Pid);
    close(aiPipe[1]);
    if (iSpawned != 0)
    {
        m_Pid = -1;
        close(aiPipe[0]);
        return false;
    }
    bool bEnded = false;
    int iStatus = 0;
    const std::string strLine = ReadReadyLine(aiPipe[0], m_Pid, bEnded, iStatus);
    close(aiPipe[0]);
    CTestJson ready;
    std::string strError;
    if (!CTestJson::Parse(strLine, ready, strError) || ready["event"].String() != "ready")
    {
        if (bEnded)
            m_Pid = -1;
        ADD_FAILURE() << "the lobby server "
                      << (bEnded ? "ended before it was ready (wait status " + std::to_string(iStatus) + ")"
                                 : "was not ready within " + std::to_string(TEST_WAIT_LIMIT.count()) + " s")
                      << "; its output: " << strLine << "\nits standard error:\n"
                      << ReadFile(StderrPath());
        return false;
    }
    m_uLobbyPort = PortOf(ready, "lobby_port");
    m_uGamePort = PortOf(ready, "game_port");
    m_uControlPort = PortOf(ready, "control_port");
    return m_uLobbyPort && m_uGamePort && m_uControlPort;
}

int CLobbyServerProcess::Stop()
{
    if (m_Pid <= 0)
        return -1;
    kill(m_Pid, SIGTERM);
    int iStatus = 0;
    if (!WaitForChild(m_Pid, TEST_WAIT_LIMIT, iStatus))
    {
        kill(m_Pid, SIGKILL);
        waitpid(m_Pid, &iStatus, 0);
        m_Pid = -1;
        return -1;
    }
    m_Pid = -1;
    // What it wrote to its standard error after the start, as the tests showed it before.
    std::cerr << ReadFile(StderrPath());
    return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
}

std::vector<std::string> CLobbyServerProcess::Lines(const std::string& strEvent) const
{
    std::vector<std::string> aLines;
    std::ifstream file(m_strLog);
    std::string strLine;
    while (std::getline(file, strLine))
        if (strLine.find("\"event\": \"" + strEvent + "\"") != std::string::npos)
            aLines.push_back(strLine);
    return aLines;
}

std::vector<std::string> CLobbyServerProcess::Complaints() const
{
    std::vector<std::string> aLines = Lines("violation");
    for (const std::string& strLine : Lines("internal_error"))
        aLines.push_back(strLine);
    return aLines;
}

// ---------------------------------------------------------------------- control

std::string sLOBBY_TARGET::Members() const
{
    if (m_bByUser)
        return "\"user\": " + std::to_string(m_iUser) + ", \"conn\": " + CTestJson::Quote(m_strConn);
    return "\"conn\": " + CTestJson::Quote(m_strConn);
}

CLobbyServerControl::CLobbyServerControl(unsigned int uPort)
{
    m_iSocket = socket(AF_INET, SOCK_STREAM, 0);
    if (m_iSocket < 0)
        return;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons((uint16_t)uPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(m_iSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
    {
        close(m_iSocket);
        m_iSocket = -1;
        return;
    }
    // The server closes a control connection that carries out no command within its login
    // deadline, which a test may set to a few seconds: a first command at once keeps it.
    Checked("{\"cmd\": \"connections\"}");
}

CLobbyServerControl::~CLobbyServerControl()
{
    if (m_iSocket >= 0)
        close(m_iSocket);
}

std::string CLobbyServerControl::ReadLine()
{
    const auto end = std::chrono::steady_clock::now() + TEST_WAIT_LIMIT;
    size_t uNewline;
    while ((uNewline = m_strPending.find('\n')) == std::string::npos)
    {
        const int iLeft = MillisecondsLeft(end);
        pollfd ready = {m_iSocket, POLLIN, 0};
        if (iLeft <= 0 || poll(&ready, 1, iLeft) != 1)
            return std::string();
        char aBuf[4096];
        const ssize_t n = recv(m_iSocket, aBuf, sizeof(aBuf), 0);
        if (n <= 0)
            return std::string();
        m_strPending.append(aBuf, (size_t)n);
    }
    const std::string strLine = m_strPending.substr(0, uNewline);
    m_strPending.erase(0, uNewline + 1);
    return strLine;
}

CTestJson CLobbyServerControl::Command(const std::string& strCommand)
{
    CTestJson answer;
    if (m_iSocket < 0)
        return answer;
    const std::string strLine = strCommand + "\n";
    size_t uSent = 0;
    while (uSent < strLine.size())
    {
        const ssize_t n = send(m_iSocket, strLine.data() + uSent, strLine.size() - uSent, MSG_NOSIGNAL);
        if (n <= 0)
            return answer;
        uSent += (size_t)n;
    }
    std::string strError;
    CTestJson::Parse(ReadLine(), answer, strError);
    return answer;
}

CTestJson CLobbyServerControl::Checked(const std::string& strCommand)
{
    CTestJson answer = Command(strCommand);
    if (!answer["ok"].Bool())
        ADD_FAILURE() << "lobby server control " << strCommand << ": "
                      << (answer["error"].String().empty() ? "no answer" : answer["error"].String());
    return answer;
}

CTestJson CLobbyServerControl::Send(const sLOBBY_TARGET& target, const std::string& strWriter,
                                    const std::string& strArgs)
{
    return Checked("{\"cmd\": \"send\", " + target.Members() +
                   ", \"message\": " + CTestJson::Quote(strWriter) + ", \"args\": " + strArgs + "}");
}

CTestJson CLobbyServerControl::SendHex(const sLOBBY_TARGET& target, const std::string& strHex)
{
    return Checked("{\"cmd\": \"send\", " + target.Members() + ", \"hex\": " + CTestJson::Quote(strHex) +
                   "}");
}

CTestJson CLobbyServerControl::Chunk(const sLOBBY_TARGET& target, const std::vector<int>& aSizes)
{
    std::string strSizes;
    for (const int iSize : aSizes)
        strSizes += (strSizes.empty() ? "" : ", ") + std::to_string(iSize);
    return Checked("{\"cmd\": \"chunk\", " + target.Members() + ", \"sizes\": [" + strSizes + "]}");
}

CTestJson CLobbyServerControl::Hold(int iMessageId)
{
    return Checked("{\"cmd\": \"hold\", \"id\": " + std::to_string(iMessageId) + "}");
}

CTestJson CLobbyServerControl::Hold(int iMessageId, const sLOBBY_TARGET& target)
{
    return Checked("{\"cmd\": \"hold\", \"id\": " + std::to_string(iMessageId) + ", " + target.Members() +
                   "}");
}

CTestJson CLobbyServerControl::Release(int iMessageId)
{
    return Checked("{\"cmd\": \"release\", \"id\": " + std::to_string(iMessageId) + "}");
}

CTestJson CLobbyServerControl::Release(int iMessageId, const sLOBBY_TARGET& target)
{
    return Checked("{\"cmd\": \"release\", \"id\": " + std::to_string(iMessageId) + ", " + target.Members() +
                   "}");
}

CTestJson CLobbyServerControl::Close(const sLOBBY_TARGET& target)
{
    return Checked("{\"cmd\": \"close\", " + target.Members() + "}");
}

CTestJson CLobbyServerControl::Connections()
{
    return Checked("{\"cmd\": \"connections\"}");
}
