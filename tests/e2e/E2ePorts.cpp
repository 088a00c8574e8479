#include "tests/e2e/E2ePorts.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

CLoopbackSocket::CLoopbackSocket(int iPort, bool bListen) : m_iSocket(socket(AF_INET, SOCK_STREAM, 0))
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(iPort));
    socklen_t uLength = sizeof(address);
    if (m_iSocket >= 0 && bind(m_iSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        (!bListen || listen(m_iSocket, 4) == 0) &&
        getsockname(m_iSocket, reinterpret_cast<sockaddr*>(&address), &uLength) == 0)
        m_iPort = ntohs(address.sin_port);
}

CLoopbackSocket::~CLoopbackSocket()
{
    if (m_iSocket >= 0)
        close(m_iSocket);
}

int E2eFreePortPair()
{
    for (int i = 0; i < 50; ++i)
    {
        CLoopbackSocket first(0, false);
        if (first.Port() > 0 && first.Port() < 65535 && CLoopbackSocket(first.Port() + 1, false).Port() > 0)
            return first.Port();
    }
    return 0;
}
