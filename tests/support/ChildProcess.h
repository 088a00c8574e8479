// Starting the child processes of a test and waiting for them to end. Every child dies
// with the test, also when the test is killed (a time-out), so no server or peer is left
// running. Header only.
#pragma once

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// In a forked child before its exec: killed when the test process (parent) ends; a parent
// that ended before this ends the child at once.
inline void DieWithTest(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(1);
}

// The program (found on PATH) with its arguments and the file actions (destroyed here),
// started through setpriv so that it gets the parent-death signal before it runs;
// posix_spawnp's result.
inline int SpawnWithTest(std::vector<std::string> aArgs, posix_spawn_file_actions_t* pActions, pid_t& pid)
{
    aArgs.insert(aArgs.begin(), {"setpriv", "--pdeathsig", "KILL", "--"});
    std::vector<char*> apArgs;
    for (std::string& strArg : aArgs)
        apArgs.push_back(&strArg[0]);
    apArgs.push_back(nullptr);
    const int iSpawned = posix_spawnp(&pid, apArgs[0], pActions, nullptr, apArgs.data(), environ);
    posix_spawn_file_actions_destroy(pActions);
    return iSpawned;
}

// python3 with the arguments, as SpawnWithTest.
inline int SpawnPython(std::vector<std::string> aArgs, posix_spawn_file_actions_t* pActions, pid_t& pid)
{
    aArgs.insert(aArgs.begin(), "python3");
    return SpawnWithTest(aArgs, pActions, pid);
}

// Reaps the child within the time and gives its wait status; false when it still runs.
inline bool WaitForChild(pid_t pid, std::chrono::milliseconds limit, int& iStatus)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (waitpid(pid, &iStatus, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
