// Loopback ports for end-to-end drivers: a lobby port whose game port (the next one) is
// free as well, and a socket that holds a port for the run.
#pragma once

// A loopback socket on a port (0: chosen by the system); listening or only bound.
class CLoopbackSocket
{
public:
    CLoopbackSocket(int iPort, bool bListen);
    ~CLoopbackSocket();
    CLoopbackSocket(const CLoopbackSocket&) = delete;
    CLoopbackSocket& operator=(const CLoopbackSocket&) = delete;
    // 0 when the socket could not be made.
    int Port() const { return m_iPort; }

private:
    int m_iSocket;
    int m_iPort = 0;
};

// A lobby port whose successor (the game port) is free as well; 0 when none was found.
int E2eFreePortPair();
