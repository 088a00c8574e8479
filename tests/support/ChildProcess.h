// Starting a Python child process of a test helper and waiting for it to end. Header only.
#pragma once

#include <chrono>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

// python3 with the arguments and the file actions (destroyed here); posix_spawnp's result.
inline int SpawnPython(std::vector<std::string> aArgs, posix_spawn_file_actions_t* pActions, pid_t& pid)
{
    aArgs.insert(aArgs.begin(), "python3");
    std::vector<char*> apArgs;
    for (std::string& strArg : aArgs)
        apArgs.push_back(&strArg[0]);
    apArgs.push_back(nullptr);
    const int iSpawned = posix_spawnp(&pid, "python3", pActions, nullptr, apArgs.data(), environ);
    posix_spawn_file_actions_destroy(pActions);
    return iSpawned;
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
