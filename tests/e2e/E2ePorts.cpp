#include "tests/e2e/E2ePorts.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

CLoopbackSocket::CLoopbackSocket(int iPort, eUSE eUse) : m_iSocket(socket(AF_INET, SOCK_STREAM, 0))
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(iPort));
    socklen_t uLength = sizeof(address);
    // Bound alone first: a port that another reservation holds is refused. Shared only
    // afterwards, for the server that is to listen there.
    const int iReuse = 1;
    if (m_iSocket >= 0 && bind(m_iSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        (eUse == RESERVED ? setsockopt(m_iSocket, SOL_SOCKET, SO_REUSEADDR, &iReuse, sizeof(iReuse))
                          : listen(m_iSocket, 4)) == 0 &&
        getsockname(m_iSocket, reinterpret_cast<sockaddr*>(&address), &uLength) == 0)
        m_iPort = ntohs(address.sin_port);
}

CLoopbackSocket::~CLoopbackSocket()
{
    if (m_iSocket >= 0)
        close(m_iSocket);
}

CE2ePortPair::CE2ePortPair()
{
    const int iTries = 50, iHighest = 65535;
    for (int i = 0; i < iTries && !m_pGame; ++i)
    {
        // The system's choice is free of other reservations; the next port may not be.
        m_pLobby = std::make_unique<CLoopbackSocket>(0, CLoopbackSocket::RESERVED);
        const int iPort = m_pLobby->Port();
        if (iPort <= 0 || iPort >= iHighest)
            continue;
        auto pGame = std::make_unique<CLoopbackSocket>(iPort + 1, CLoopbackSocket::RESERVED);
        if (pGame->Port() > 0)
            m_pGame = std::move(pGame);
    }
}
