// Test control of the network status: answer from the host's interfaces, or a
// fixed answer, or a failing call.
#pragma once

namespace plat
{

enum eNETSTATUS_MODE
{
    NETSTATUS_MODE_HOST,        // a non-loopback interface is up and running with an address
    NETSTATUS_MODE_AVAILABLE,   // always available
    NETSTATUS_MODE_UNAVAILABLE, // never available
    NETSTATUS_MODE_FAILING      // the call itself fails
};

void NetStatusControlSetMode(eNETSTATUS_MODE mode);

} // namespace plat
