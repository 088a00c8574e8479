// The signals a desktop ends a program with (a log-out, kill, Ctrl+C in its terminal)
// become the navigator's exit, so the program shuts down in its own order and keeps what
// it would keep when its window is closed.
#include <signal.h>

#include <initializer_list>

#include "Platform/Common/EventQueue.h"

namespace plat
{

namespace
{
volatile sig_atomic_t g_iExitSignals = 0;

void OnExitSignal(int)
{
    g_iExitSignals = 1;
}
} // namespace

void WatchExitSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnExitSignal;
    sigemptyset(&action.sa_mask);
    // Once handled, the default comes back: a program that no longer answers still ends.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int iSignal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(iSignal, &action, nullptr);
}

bool TakeExitSignal()
{
    if (!g_iExitSignals)
        return false;
    g_iExitSignals = 0;
    return true;
}

} // namespace plat
