// The network-availability probe: asks the platform once whether the device
// has a usable network. The application owns it; socket engines keep a pointer.
#pragma once

#include "KorvelCommon/KorvelTypes.h"

class CVornNetConnection
{
public:
    CVornNetConnection() : m_uState(0) {}
    virtual ~CVornNetConnection() {}

    // KE_OK when the network is available, KE_ERR_NOTFOUND when it is not or
    // the platform cannot tell.
    KE_RETVAL Startup();
    void Shutdown() { m_uState = 0; }
    int CheckAndReset() { return 1; }
    unsigned int GetState() const { return m_uState; }

private:
    unsigned int m_uState;
};
