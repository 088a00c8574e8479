// A test process killed outright (as by ctest's time-out) takes its lobby server and its
// scripted peer along.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/LobbyServerProcess.h"
#include "support/PeerProcess.h"
#include "support/TestTempDir.h"

namespace
{
const auto kGoneLimit = std::chrono::seconds(30);

// The state letter of /proc/<pid>/stat and its parent; false when there is no such process.
bool ProcessState(pid_t pid, char& cState, pid_t& parent)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string strLine;
    if (!std::getline(stat, strLine))
        return false;
    const size_t uName = strLine.rfind(')'); // the command name may hold spaces
    if (uName == std::string::npos)
        return false;
    int iParent = 0;
    if (std::sscanf(strLine.c_str() + uName + 1, " %c %d", &cState, &iParent) != 2)
        return false;
    parent = iParent;
    return true;
}

std::set<pid_t> ChildrenOf(pid_t parent)
{
    std::set<pid_t> children;
    DIR* pDir = opendir("/proc");
    while (dirent* pEntry = pDir ? readdir(pDir) : nullptr)
    {
        const pid_t pid = std::atoi(pEntry->d_name);
        char cState = 0;
        pid_t of = 0;
        if (pid > 0 && ProcessState(pid, cState, of) && of == parent)
            children.insert(pid);
    }
    if (pDir)
        closedir(pDir);
    return children;
}

// Gone, or a zombie nobody has reaped yet: it runs no more.
bool Ended(pid_t pid)
{
    char cState = 0;
    pid_t parent = 0;
    return !ProcessState(pid, cState, parent) || cState == 'Z' || cState == 'X';
}
} // namespace

TEST(ChildProcess, AKilledTestLeavesNoServerOrPeerRunning)
{
    CTestTempDir dir;
    int aiReady[2];
    ASSERT_EQ(pipe(aiReady), 0);
    const pid_t test = fork();
    ASSERT_GE(test, 0);
    if (test == 0)
    {
        // The stand-in for a test: its children, then it waits to be killed.
        close(aiReady[0]);
        CLobbyServerProcess server(dir.File("server.jsonl"));
        CPeerProcess peer;
        const char cStarted = server.Start() && peer.Start(server.LobbyPort()) ? '1' : '0';
        if (write(aiReady[1], &cStarted, 1) != 1)
            _exit(1);
        for (;;)
            pause();
    }
    close(aiReady[1]);
    char cStarted = 0;
    const bool bRead = read(aiReady[0], &cStarted, 1) == 1;
    close(aiReady[0]);
    const std::set<pid_t> children = ChildrenOf(test);
    kill(test, SIGKILL);
    waitpid(test, nullptr, 0);
    ASSERT_TRUE(bRead && cStarted == '1') << "the server or the peer did not start";
    ASSERT_EQ(children.size(), 2u) << "the server and the peer";

    const auto end = std::chrono::steady_clock::now() + kGoneLimit;
    std::set<pid_t> running = children;
    while (!running.empty() && std::chrono::steady_clock::now() < end)
    {
        for (auto it = running.begin(); it != running.end();)
            it = Ended(*it) ? running.erase(it) : std::next(it);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(running.empty()) << running.size() << " of the killed test's children still run";
}
