#include "SocketEngine/VornNetConnection.h"

#include "PlatformNetStatusControl.h"

#include <gtest/gtest.h>

namespace
{

struct CNetStatusModeGuard
{
    ~CNetStatusModeGuard() { plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_HOST); }
};

TEST(CVornNetConnection, StartupFollowsThePlatformAnswer)
{
    CNetStatusModeGuard guard;
    CVornNetConnection probe;
    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_AVAILABLE);
    EXPECT_EQ(KE_OK, probe.Startup());
    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_UNAVAILABLE);
    EXPECT_EQ(KE_ERR_NOTFOUND, probe.Startup());
    // A status that cannot be read is no network either.
    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_FAILING);
    EXPECT_EQ(KE_ERR_NOTFOUND, probe.Startup());

    plat::NetStatusControlSetMode(plat::NETSTATUS_MODE_HOST);
    const KE_RETVAL host = probe.Startup();
    EXPECT_TRUE(host == KE_OK || host == KE_ERR_NOTFOUND);
}

} // namespace
