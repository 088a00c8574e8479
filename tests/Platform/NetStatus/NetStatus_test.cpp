#include "Platform/NetStatus/NetStatusInterfaces.h"
#include "PlatformNetStatus.h"
#include "PlatformNetStatusControl.h"

#include <gtest/gtest.h>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <vector>

namespace
{

// A made-up interface list: name, flags and address family (0: no address).
class CInterfaceList
{
public:
    void Add(const char* name, unsigned int flags, int family)
    {
        m_Addresses.push_back(sockaddr_storage());
        m_Addresses.back().ss_family = static_cast<sa_family_t>(family);
        ifaddrs entry = {};
        entry.ifa_name = const_cast<char*>(name);
        entry.ifa_flags = flags;
        m_Entries.push_back(entry);
        m_Families.push_back(family);
    }
    const ifaddrs* Get()
    {
        for (size_t i = 0; i < m_Entries.size(); ++i)
        {
            m_Entries[i].ifa_addr = m_Families[i] ? reinterpret_cast<sockaddr*>(&m_Addresses[i]) : nullptr;
            m_Entries[i].ifa_next = i + 1 < m_Entries.size() ? &m_Entries[i + 1] : nullptr;
        }
        return m_Entries.empty() ? nullptr : &m_Entries[0];
    }

private:
    std::vector<ifaddrs> m_Entries;
    std::vector<sockaddr_storage> m_Addresses;
    std::vector<int> m_Families;
};

const unsigned int UP = IFF_UP | IFF_RUNNING;

TEST(NetStatus, OnlyAnUpRunningAddressedNonLoopbackInterfaceCounts)
{
    CInterfaceList none;
    EXPECT_FALSE(plat::NetStatusAnyUsableInterface(none.Get()));

    CInterfaceList unusable;
    unusable.Add("lo", UP | IFF_LOOPBACK, AF_INET);
    unusable.Add("eth0", IFF_UP, AF_INET);      // no carrier
    unusable.Add("eth1", IFF_RUNNING, AF_INET); // administratively down
    unusable.Add("eth2", UP, AF_PACKET);        // link only, no address
    unusable.Add("eth3", UP, 0);
    EXPECT_FALSE(plat::NetStatusAnyUsableInterface(unusable.Get()));

    CInterfaceList v4 = unusable;
    v4.Add("wlan0", UP, AF_INET);
    EXPECT_TRUE(plat::NetStatusAnyUsableInterface(v4.Get()));

    CInterfaceList v6;
    v6.Add("wlan0", UP, AF_INET6);
    EXPECT_TRUE(plat::NetStatusAnyUsableInterface(v6.Get()));
}

TEST(NetStatus, ModesAnswerWithoutLookingAtTheHost)
{
    bool available = true;
    EXPECT_EQ(-1, plat::netstatus_get_availability(nullptr));

    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_UNAVAILABLE);
    EXPECT_EQ(0, plat::netstatus_get_availability(&available));
    EXPECT_FALSE(available);

    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_AVAILABLE);
    EXPECT_EQ(0, plat::netstatus_get_availability(&available));
    EXPECT_TRUE(available);

    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_FAILING);
    EXPECT_EQ(-1, plat::netstatus_get_availability(&available));
    EXPECT_TRUE(available); // left alone

    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_HOST);
    EXPECT_EQ(0, plat::netstatus_get_availability(&available));
}

} // namespace
