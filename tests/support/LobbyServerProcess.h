// The project's lobby and game server (tools/lobby_server) as a child process on
// ephemeral loopback ports, in strict mode with a JSON-lines log, and a client of its
// control channel for tests that need the server to send what it would not send by
// itself, to cut its output into pieces, to hold answers back or to close connections.
#pragma once
#include "support/TestJson.h"

#include <string>
#include <sys/types.h>
#include <vector>

class CLobbyServerProcess
{
public:
    explicit CLobbyServerProcess(const std::string& strLog) : m_strLog(strLog) {}
    ~CLobbyServerProcess() { Stop(); }
    CLobbyServerProcess(const CLobbyServerProcess&) = delete;
    CLobbyServerProcess& operator=(const CLobbyServerProcess&) = delete;

    // Starts the server with its control channel plus the extra options and waits for its
    // ready line; a server that ends first fails the test at once with its standard error.
    bool Start(const std::vector<std::string>& aExtra = {});
    // SIGTERM, then SIGKILL when it does not end (bounded against a hang only). The exit status,
    // or -1 when it had to be killed or was not running.
    int Stop();

    // The log lines of one event.
    std::vector<std::string> Lines(const std::string& strEvent) const;
    // The lines reporting a protocol violation or a fault of the server.
    std::vector<std::string> Complaints() const;

    unsigned int LobbyPort() const { return m_uLobbyPort; }
    unsigned int GamePort() const { return m_uGamePort; }
    unsigned int ControlPort() const { return m_uControlPort; }

private:
    std::string StderrPath() const { return m_strLog + ".stderr"; }

    std::string m_strLog;
    pid_t m_Pid = -1;
    unsigned int m_uLobbyPort = 0;
    unsigned int m_uGamePort = 0;
    unsigned int m_uControlPort = 0;
};

// A connection of the server: its log name ("L3", "G2"), or a user's newest lobby or
// game connection.
struct sLOBBY_TARGET
{
    sLOBBY_TARGET(const char* pName) : m_strConn(pName) {}
    sLOBBY_TARGET(const std::string& strName) : m_strConn(strName) {}
    static sLOBBY_TARGET Lobby(int iUser) { return sLOBBY_TARGET(iUser, "lobby"); }
    static sLOBBY_TARGET Game(int iUser) { return sLOBBY_TARGET(iUser, "game"); }

    // The target's members of a command object, without braces.
    std::string Members() const;

    std::string m_strConn;
    int m_iUser = -1;
    bool m_bByUser = false;

private:
    sLOBBY_TARGET(int iUser, const char* pKind) : m_strConn(pKind), m_iUser(iUser), m_bByUser(true) {}
};

// One control connection. Every command returns the server's parsed answer; an answer
// with "ok": false (or none at all) also fails the running test with the error text.
class CLobbyServerControl
{
public:
    explicit CLobbyServerControl(unsigned int uPort);
    ~CLobbyServerControl();
    CLobbyServerControl(const CLobbyServerControl&) = delete;
    CLobbyServerControl& operator=(const CLobbyServerControl&) = delete;

    bool IsConnected() const { return m_iSocket >= 0; }

    // strArgs: the writer's arguments as a JSON array or object, e.g. [7, "text", -2].
    CTestJson Send(const sLOBBY_TARGET& target, const std::string& strWriter,
                   const std::string& strArgs = "[]");
    CTestJson SendHex(const sLOBBY_TARGET& target, const std::string& strHex);
    CTestJson Chunk(const sLOBBY_TARGET& target, const std::vector<int>& aSizes);
    CTestJson Hold(int iMessageId);
    CTestJson Hold(int iMessageId, const sLOBBY_TARGET& target);
    CTestJson Release(int iMessageId);
    CTestJson Release(int iMessageId, const sLOBBY_TARGET& target);
    CTestJson Close(const sLOBBY_TARGET& target);
    CTestJson Connections();

    // One command object as it stands; the answer, also when it reports an error.
    CTestJson Command(const std::string& strCommand);

private:
    CTestJson Checked(const std::string& strCommand);
    std::string ReadLine();

    int m_iSocket = -1;
    std::string m_strPending; // received bytes after the last answer line
};
