// Opening web pages. Addresses also arrive from the server (advertisements and
// promotions), so only web addresses are passed on; the browser is started through
// xdg-open as one argument, without a shell, detached and never waited for.
#include "PlatformControl.h"
#include "PlatformDeviceInfoControl.h"
#include "PlatformNavigator.h"

#include "Platform/Common/CallLog.h"
#include "Platform/DeviceInfo/DeviceDigest.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plat
{

namespace
{
struct sINVOKE_STATE
{
    std::mutex m_Lock;
    std::vector<sInvokedAddress> m_aAddresses;
};

sINVOKE_STATE& InvokeState()
{
    static sINVOKE_STATE s_State;
    return s_State;
}

bool IsWebAddress(const char* pszAddress)
{
    return strncasecmp(pszAddress, "http:", 5) == 0 || strncasecmp(pszAddress, "https:", 6) == 0;
}

bool BrowserSwitchedOff()
{
    const char* pszValue = std::getenv("KORVEL_NO_BROWSER");
    return pszValue && std::strcmp(pszValue, "1") == 0;
}

// Double fork: the intermediate child ends at once and is reaped here, so the
// browser's process belongs to init and no zombie is left behind.
bool StartDetached(const char* pszProgram, const char* pszArgument)
{
    char* apArgs[] = {const_cast<char*>(pszProgram), const_cast<char*>(pszArgument), nullptr};
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0)
    {
        if (fork() == 0)
        {
            setsid();
            const int iNull = open("/dev/null", O_RDWR);
            if (iNull >= 0)
            {
                dup2(iNull, 0);
                dup2(iNull, 1);
                dup2(iNull, 2);
            }
            execvp(pszProgram, apArgs);
            _exit(127);
        }
        _exit(0);
    }
    int iStatus = 0;
    while (waitpid(child, &iStatus, 0) < 0 && errno == EINTR)
    {
    }
    return true;
}
} // namespace

int navigator_invoke(const char* pszAddress, char** ppszError)
{
    if (ppszError)
        *ppszError = nullptr;
    const bool bFailed = RecordCall("navigator_invoke");
    if (!pszAddress)
        return BPS_FAILURE;
    const bool bRefused = bFailed || !IsWebAddress(pszAddress);
    {
        sINVOKE_STATE& state = InvokeState();
        std::lock_guard<std::mutex> guard(state.m_Lock);
        state.m_aAddresses.push_back(sInvokedAddress{pszAddress, bRefused});
    }
    if (bRefused)
        return BPS_FAILURE;
    if (GetSelectedBackend() == eBackend::Headless || BrowserSwitchedOff())
        return BPS_SUCCESS;
    return StartDetached("xdg-open", pszAddress) ? BPS_SUCCESS : BPS_FAILURE;
}

std::vector<sInvokedAddress> NavigatorControlInvokedAddresses()
{
    sINVOKE_STATE& state = InvokeState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    return state.m_aAddresses;
}

void ResetInvokedAddresses()
{
    sINVOKE_STATE& state = InvokeState();
    std::lock_guard<std::mutex> guard(state.m_Lock);
    state.m_aAddresses.clear();
}

} // namespace plat
