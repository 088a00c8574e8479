// The lobby server's scripted second player (tools/lobby_server/peer.py) as a child
// process: JSON commands written to it, its JSON lines (every message it received) read
// back without blocking, so that a test can run frames while it waits for them.
#pragma once
#include "support/TestJson.h"

#include <string>
#include <sys/types.h>
#include <vector>

class CPeerProcess
{
public:
    CPeerProcess() = default;
    ~CPeerProcess() { Stop(); }
    CPeerProcess(const CPeerProcess&) = delete;
    CPeerProcess& operator=(const CPeerProcess&) = delete;

    // Starts the peer on the lobby port; false when it could not be started.
    bool Start(unsigned int uLobbyPort);
    // Ends it through "quit", then SIGKILL when it does not end (bounded against a hang only).
    void Stop();

    // One command object's members without braces, e.g. "\"cmd\": \"guest\"".
    bool Command(const std::string& strMembers);

    // Reads what the peer wrote so far; every line read, in order.
    const std::vector<CTestJson>& Lines();
    // The fields of every received message of that name (on "lobby", "game" or either).
    std::vector<CTestJson> Received(const std::string& strName, const std::string& strConn = "");
    // The lines of one event ("error", "closed", "round_done", ...).
    std::vector<CTestJson> Events(const std::string& strEvent);
    // The user id of its login, -1 before it.
    int UserId();

private:
    void Read();

    pid_t m_Pid = -1;
    int m_iIn = -1;  // the peer's standard input
    int m_iOut = -1; // its standard output
    std::string m_strPending;
    std::vector<CTestJson> m_aLines;
};
