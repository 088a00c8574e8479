#include "Platform/Common/FrameLog.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace plat
{

namespace
{

std::FILE* OpenLog()
{
    const char* pszPath = std::getenv("KORVEL_FRAME_LOG");
    if (!pszPath || !*pszPath)
        return nullptr;
    std::FILE* pFile = std::fopen(pszPath, "w");
    if (!pFile)
    {
        std::fprintf(stderr, "KORVEL_FRAME_LOG: cannot write %s\n", pszPath);
        return nullptr;
    }
    std::fprintf(pFile, "pid %ld\n", long(getpid()));
    return pFile;
}

} // namespace

void LogPresent()
{
    static std::FILE* s_pFile = OpenLog();
    if (!s_pFile)
        return;
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Flushed at once: the reader counts while the game runs and the game may be killed.
    std::fprintf(s_pFile, "%lld\n", (long long)(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(s_pFile);
}

} // namespace plat
