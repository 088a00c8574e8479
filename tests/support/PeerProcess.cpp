#include "support/PeerProcess.h"

#include "support/ChildProcess.h"
#include "support/TestMedia.h"
#include "support/WaitLimit.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

bool CPeerProcess::Start(unsigned int uLobbyPort)
{
    int aiIn[2], aiOut[2];
    if (pipe(aiIn) != 0)
        return false;
    if (pipe(aiOut) != 0)
    {
        close(aiIn[0]);
        close(aiIn[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, aiIn[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, aiOut[1], STDOUT_FILENO);
    for (int iFd : {aiIn[0], aiIn[1], aiOut[0], aiOut[1]})
        posix_spawn_file_actions_addclose(&actions, iFd);
    const int iSpawned =
        SpawnPython({TestSourceDir() + "/tools/lobby_server/peer.py", "--port", std::to_string(uLobbyPort)},
                    &actions, m_Pid);
    close(aiIn[0]);
    close(aiOut[1]);
    m_iIn = aiIn[1];
    m_iOut = aiOut[0];
    // A peer that ended must not end the test through SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    fcntl(m_iOut, F_SETFL, fcntl(m_iOut, F_GETFL) | O_NONBLOCK);
    if (iSpawned != 0)
    {
        m_Pid = -1;
        Stop();
        return false;
    }
    return true;
}

void CPeerProcess::Stop()
{
    if (m_Pid > 0)
    {
        Command("\"cmd\": \"quit\"");
        int iStatus = 0;
        if (!WaitForChild(m_Pid, TEST_WAIT_LIMIT, iStatus))
        {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, &iStatus, 0);
        }
        m_Pid = -1;
    }
    for (int* pFd : {&m_iIn, &m_iOut})
        if (*pFd >= 0)
        {
            close(*pFd);
            *pFd = -1;
        }
}

bool CPeerProcess::Command(const std::string& strMembers)
{
    if (m_iIn < 0)
        return false;
    const std::string strLine = "{" + strMembers + "}\n";
    size_t uDone = 0;
    while (uDone < strLine.size())
    {
        const ssize_t n = write(m_iIn, strLine.data() + uDone, strLine.size() - uDone);
        if (n <= 0)
            return false;
        uDone += static_cast<size_t>(n);
    }
    return true;
}

void CPeerProcess::Read()
{
    if (m_iOut < 0)
        return;
    char aBuf[65536];
    ssize_t n;
    while ((n = read(m_iOut, aBuf, sizeof(aBuf))) > 0)
        m_strPending.append(aBuf, static_cast<size_t>(n));
    size_t uEnd;
    while ((uEnd = m_strPending.find('\n')) != std::string::npos)
    {
        CTestJson line;
        std::string strError;
        if (CTestJson::Parse(m_strPending.substr(0, uEnd), line, strError))
            m_aLines.push_back(line);
        m_strPending.erase(0, uEnd + 1);
    }
}

const std::vector<CTestJson>& CPeerProcess::Lines()
{
    Read();
    return m_aLines;
}

std::vector<CTestJson> CPeerProcess::Received(const std::string& strName, const std::string& strConn)
{
    std::vector<CTestJson> aFields;
    for (const CTestJson& line : Lines())
        if (line["event"].String() == "in" && line["name"].String() == strName &&
            (strConn.empty() || line["conn"].String() == strConn))
            aFields.push_back(line["fields"]);
    return aFields;
}

std::vector<CTestJson> CPeerProcess::Events(const std::string& strEvent)
{
    std::vector<CTestJson> aLines;
    for (const CTestJson& line : Lines())
        if (line["event"].String() == strEvent)
            aLines.push_back(line);
    return aLines;
}

int CPeerProcess::UserId()
{
    for (const CTestJson& fields : Received("LoginACK"))
        if (fields["user"].Int() > 0 && fields.Has("name"))
            return static_cast<int>(fields["user"].Int());
    return -1;
}
