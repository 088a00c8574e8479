// On Linux the network counts as available when an interface other than the
// loopback is up, running and addressed: the same moment the device's own
// status service would report a usable connection.
#include "PlatformNetStatus.h"
#include "PlatformNetStatusControl.h"

#include "Platform/NetStatus/NetStatusInterfaces.h"

#include <atomic>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

namespace plat
{

namespace
{
std::atomic<int> g_iNetStatusMode{NETSTATUS_MODE_HOST};
}

bool NetStatusAnyUsableInterface(const ifaddrs* list)
{
    for (const ifaddrs* it = list; it; it = it->ifa_next)
    {
        const unsigned int flags = it->ifa_flags;
        if (!(flags & IFF_UP) || !(flags & IFF_RUNNING) || (flags & IFF_LOOPBACK))
            continue;
        if (!it->ifa_addr)
            continue;
        const int family = it->ifa_addr->sa_family;
        if (family == AF_INET || family == AF_INET6)
            return true;
    }
    return false;
}

void NetStatusControlSetMode(eNETSTATUS_MODE mode)
{
    g_iNetStatusMode.store(mode);
}

int netstatus_get_availability(bool* is_available)
{
    if (!is_available)
        return -1;
    switch (g_iNetStatusMode.load())
    {
    case NETSTATUS_MODE_AVAILABLE:
        *is_available = true;
        return 0;
    case NETSTATUS_MODE_UNAVAILABLE:
        *is_available = false;
        return 0;
    case NETSTATUS_MODE_FAILING:
        return -1;
    default:
        break;
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return -1;
    *is_available = NetStatusAnyUsableInterface(list);
    freeifaddrs(list);
    return 0;
}

} // namespace plat
