#include "SocketEngine/VornNetConnection.h"

#include "PlatformNetStatus.h"

KE_RETVAL CVornNetConnection::Startup()
{
    bool available = false;
    if (plat::netstatus_get_availability(&available) != 0)
        return KE_ERR_NOTFOUND;
    return available ? KE_OK : KE_ERR_NOTFOUND;
}
