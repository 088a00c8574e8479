// Loopback ports for end-to-end drivers: a lobby port and its game port (the next one),
// held for the run, and a socket that holds a port for the run.
#pragma once

#include <memory>

// A loopback socket on a port (0: chosen by the system).
class CLoopbackSocket
{
public:
    enum eUSE
    {
        LISTENING,
        // Bound, then shared (SO_REUSEADDR), and never listening: a server that binds the
        // same way (as the lobby server does) may still listen on the port, while no other
        // socket, not even an outgoing connection's, is given it.
        RESERVED
    };
    CLoopbackSocket(int iPort, eUSE eUse);
    ~CLoopbackSocket();
    CLoopbackSocket(const CLoopbackSocket&) = delete;
    CLoopbackSocket& operator=(const CLoopbackSocket&) = delete;
    // 0 when the socket could not be made.
    int Port() const { return m_iPort; }

private:
    int m_iSocket;
    int m_iPort = 0;
};

// A lobby port and its successor (the game port), reserved as long as the pair lives: a
// server stopped and started again finds them free, however long it was away.
class CE2ePortPair
{
public:
    CE2ePortPair();
    // 0 when no pair was found.
    int Port() const { return m_pGame ? m_pLobby->Port() : 0; }

private:
    std::unique_ptr<CLoopbackSocket> m_pLobby;
    std::unique_ptr<CLoopbackSocket> m_pGame;
};
