// Two match_peer processes play a networked match through the project's lobby server on
// loopback: real sessions, real sockets, the game's own delivery. Their match logs must
// agree and the server's log must show a clean, agreed match.
// KORVEL_GL_TEST (the peers draw with Mesa, which leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/LobbyServerProcess.h"
#include "support/MatchHarness.h"
#include "support/TestJson.h"

namespace
{
const double kPeerLimitSeconds = 240.0;

std::vector<std::string> ReadLines(const std::string& strPath)
{
    std::vector<std::string> aLines;
    std::ifstream in(strPath);
    std::string strLine;
    while (std::getline(in, strLine))
        if (!strLine.empty())
            aLines.push_back(strLine);
    return aLines;
}

CTestJson ParseLine(const std::string& strLine)
{
    CTestJson value;
    std::string strError;
    CTestJson::Parse(strLine, value, strError);
    return value;
}

std::vector<sMatchLogRecord> ReadMatchLog(const std::string& strPath)
{
    std::vector<sMatchLogRecord> aLog;
    for (const std::string& strLine : ReadLines(strPath))
    {
        const CTestJson j = ParseLine(strLine);
        sMatchLogRecord r;
        r.bEnd = j["end"].Bool();
        r.iTurnPlayer = int(j["turn_player"].Int());
        r.iRounds = int(j["rounds"].Int());
        r.iResult = int(j["result"].Int());
        r.uDigest = std::stoull(j["digest"].String(), nullptr, 16);
        for (int i = 0; i < 2; ++i)
            for (int k = 0; k < 2; ++k)
                r.aPosition[i][k] = float(j["position"][i][k].Number());
        aLog.push_back(r);
    }
    return aLog;
}

// One peer process; killed if still running when it goes.
class CPeer
{
public:
    CPeer(const std::string& strName, const std::string& strDir) : m_strName(strName), m_strDir(strDir) {}
    ~CPeer()
    {
        if (m_Pid > 0)
        {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, nullptr, 0);
        }
    }

    std::string LogPath() const { return m_strDir + "/peer_" + m_strName + ".jsonl"; }
    // The peer presses play once this file exists.
    std::string GatePath() const { return m_strDir + "/play_" + m_strName; }
    void LetPlay() const { std::ofstream(GatePath()).put('\n'); }
    std::string ErrorPath() const { return m_strDir + "/peer_" + m_strName + ".stderr"; }

    bool Start(unsigned int uPort, const std::vector<std::string>& aScript, const std::string& strScene)
    {
        const std::string strScript = m_strDir + "/script_" + m_strName + ".txt";
        std::ofstream script(strScript);
        for (const std::string& strTurn : aScript)
            script << strTurn << "\n";
        script.close();
        std::vector<std::string> aArgs = {MATCH_PEER_PATH, "--port",    std::to_string(uPort),
                                          "--script",      strScript,   "--log",
                                          LogPath(),       "--timeout", "200",
                                          "--scene",       strScene,    "--play-after",
                                          GatePath()};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, ErrorPath().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int iResult = SpawnWithTest(aArgs, &actions, m_Pid);
        if (iResult != 0)
            m_Pid = -1;
        return iResult == 0;
    }

    // The exit status once it ended, -1 while running, -2 when killed by a signal.
    int Poll()
    {
        if (m_Pid <= 0)
            return m_iStatus;
        int iStatus = 0;
        if (waitpid(m_Pid, &iStatus, WNOHANG) != m_Pid)
            return -1;
        m_Pid = -1;
        m_iStatus = WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -2;
        return m_iStatus;
    }
    void Kill()
    {
        if (m_Pid > 0)
            kill(m_Pid, SIGKILL);
    }
    std::string Errors() const
    {
        std::string strOut;
        for (const std::string& strLine : ReadLines(ErrorPath()))
            strOut += "  " + strLine + "\n";
        return strOut;
    }

    std::string m_strName;

private:
    std::string m_strDir;
    pid_t m_Pid = -1;
    int m_iStatus = -1;
};

class CStateGameTcpMatch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // One folder per run, so that a failed run's logs outlive the next run.
        const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        m_strRunDir = "tcp_match_" +
                      std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) + "_" +
                      std::to_string(getpid());
        m_strDir = m_strRunDir + "/" + pInfo->name();
        std::system(("mkdir -p '" + m_strDir + "'").c_str());
        char aBuffer[4096];
        m_strDir = std::string(realpath(m_strDir.c_str(), aBuffer));
        m_pServer.reset(new CLobbyServerProcess(m_strDir + "/server.jsonl"));
        m_apPeer[0].reset(new CPeer("A", m_strDir));
        m_apPeer[1].reset(new CPeer("B", m_strDir));
    }
    void TearDown() override
    {
        m_apPeer[0].reset();
        m_apPeer[1].reset();
        if (m_pServer)
            m_pServer->Stop();
        // The logs stay for a failure, in the test's output folder.
        if (!HasFailure())
            std::system(("rm -rf '" + m_strDir + "' && rmdir '" + m_strRunDir + "' 2>/dev/null").c_str());
        else
            std::printf("logs kept in %s\n", m_strDir.c_str());
    }

    // The server and both peers, logged in; then A plays (queued first: the master) and B
    // once the server has A's queue registrations (iQueuedA of them).
    void StartMatch(const std::vector<std::string>& aScriptA, const std::vector<std::string>& aScriptB,
                    const std::vector<std::string>& aServerOptions = {}, const std::string& strScene = "edge",
                    int iQueuedA = 1)
    {
        ASSERT_TRUE(m_pServer->Start(aServerOptions)) << "the lobby server did not start";
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(m_apPeer[i]->Start(m_pServer->LobbyPort(), i == 0 ? aScriptA : aScriptB, strScene));
        ASSERT_NO_FATAL_FAILURE(
            WaitWhilePeersRun([&] { return m_pServer->Lines("login").size() >= 2; }, "both peers logged in"));
        m_apPeer[0]->LetPlay();
        ASSERT_NO_FATAL_FAILURE(WaitWhilePeersRun([&] { return Events("in", "QueueRegisterIn") >= iQueuedA; },
                                                  "peer A's queue registration"));
        m_apPeer[1]->LetPlay();
    }

    // Fails unless fnDone comes true while both peers still run.
    void WaitWhilePeersRun(const std::function<bool()>& fnDone, const char* pWhat)
    {
        const auto Ended = [&] { return m_apPeer[0]->Poll() != -1 || m_apPeer[1]->Poll() != -1; };
        ASSERT_TRUE(WaitFor([&] { return fnDone() || Ended(); }) && !Ended())
            << "no " << pWhat << " within the limit\n"
            << m_apPeer[0]->Errors() << m_apPeer[1]->Errors();
    }

    bool WaitFor(const std::function<bool()>& fnDone)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(kPeerLimitSeconds);
        while (!fnDone())
        {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

    // Both peers ended with status 0, and the server has read all they sent.
    void WaitForPeers()
    {
        const bool bEnded = WaitFor([&] { return m_apPeer[0]->Poll() != -1 && m_apPeer[1]->Poll() != -1; });
        for (auto& pPeer : m_apPeer)
            EXPECT_EQ(pPeer->Poll(), 0)
                << "peer " << pPeer->m_strName << (bEnded ? "" : " did not end in time") << "\n"
                << pPeer->Errors();
        EXPECT_TRUE(WaitForServerToReadAll());
    }

    // A peer's last messages may still wait in the server's socket when the peer has ended:
    // the server closes a connection only once it has read and handled it to its end.
    bool WaitForServerToReadAll()
    {
        return WaitFor([&] { return ServerLines("close").size() == ServerLines("open").size(); });
    }

    std::vector<CTestJson> ServerLines(const std::string& strEvent)
    {
        std::vector<CTestJson> aOut;
        for (const std::string& strLine : m_pServer->Lines(strEvent))
            aOut.push_back(ParseLine(strLine));
        return aOut;
    }
    int Events(const std::string& strEvent, const std::string& strName, char cConn = 0)
    {
        int iCount = 0;
        for (const CTestJson& j : ServerLines(strEvent))
            if (j["name"].String() == strName && (!cConn || j["conn"].String()[0] == cConn))
                ++iCount;
        return iCount;
    }
    std::set<std::string> RelayedTo()
    {
        std::set<std::string> conns;
        for (const CTestJson& j : ServerLines("out"))
            if (j["name"].String() == "GameMessage")
                conns.insert(j["conn"].String());
        return conns;
    }

    // The logs agree, the server saw a clean start on both connections and relayed both ways.
    void ExpectCleanMatch(std::vector<sMatchLogRecord>& aLogA, std::vector<sMatchLogRecord>& aLogB)
    {
        aLogA = ReadMatchLog(m_apPeer[0]->LogPath());
        aLogB = ReadMatchLog(m_apPeer[1]->LogPath());
        EXPECT_FALSE(aLogA.empty());
        EXPECT_EQ(CMatchHarness::CompareLogs(aLogA, aLogB), "");
        EXPECT_TRUE(m_pServer->Complaints().empty()) << m_pServer->Complaints()[0];
        EXPECT_EQ(Events("out", "GameStart", 'L'), 2) << "GameStart on both lobby connections";
        EXPECT_EQ(Events("out", "GameStart", 'G'), 2) << "GameStart on both game connections";
        const std::vector<CTestJson> paired = ServerLines("paired");
        ASSERT_EQ(paired.size(), 1u);
        EXPECT_EQ(paired[0]["master"].Int(), 0) << "the earlier joiner is the one master";
        EXPECT_EQ(RelayedTo().size(), 2u) << "game messages relayed both ways";
    }

    // A finished match: each player reported, the server agreed on the winner of the logs.
    void ExpectAgreedResult(const std::vector<sMatchLogRecord>& aLog)
    {
        ASSERT_FALSE(aLog.empty());
        ASSERT_TRUE(aLog.back().bEnd);
        EXPECT_EQ(ServerLines("game_end").size(), 2u);
        const std::vector<CTestJson> results = ServerLines("match_result");
        ASSERT_EQ(results.size(), 1u);
        EXPECT_TRUE(results[0]["agreed"].Bool());
        const int iWinner = aLog.back().iResult;
        ASSERT_TRUE(iWinner == 0 || iWinner == 1) << aLog.back().Text();
        EXPECT_EQ(results[0]["winner"].Int(), ServerLines("paired")[0]["players"][iWinner].Int());
        EXPECT_EQ(Events("in", "Rematch"), 2);
    }

    std::string m_strRunDir;
    std::string m_strDir;
    std::unique_ptr<CLobbyServerProcess> m_pServer;
    std::unique_ptr<CPeer> m_apPeer[2];
};

// On the "edge" scene: B jumps on the spot; A's shot knocks B off the floor's end into the
// water, whoever starts. A (player 0) wins.
const std::vector<std::string> kShooter = {"act 1 -0.15 -0.1"};
const std::vector<std::string> kHopper = {"act 0 0 0.01"};
// On the "ledge" scene: A's first shot breaks the block under both (a tied round), its next
// action jumps into the water; B only hops. Whoever starts, the tie comes first and B wins.
const std::vector<std::string> kTieThenJumpOff = {"act 1 0 0.05", "act 0 0.3 -0.3"};
// A jumps on the spot each turn; B lets its clock run out.
const std::vector<std::string> kJumper(10, "act 0 0 0.01");
const std::vector<std::string> kIdle = {};

TEST_F(CStateGameTcpMatch, AMatchIsWonAndBothAgree)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch(kShooter, kHopper));
    WaitForPeers();
    std::vector<sMatchLogRecord> aLogA, aLogB;
    ExpectCleanMatch(aLogA, aLogB);
    ExpectAgreedResult(aLogA);
    EXPECT_EQ(aLogA.back().iResult, 0) << "A's shot wins";
    EXPECT_EQ(m_pServer->Stop(), 0);
}

// A waits alone until its connecting screen gives up and returns to the menu; it plays again
// and meets B, who only queues after that.
TEST_F(CStateGameTcpMatch, APlayerBackOnTheMenuPlaysAgainAndMeetsALateOpponent)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch(kShooter, kHopper, {}, "edge", 2));
    EXPECT_GE(Events("in", "QueueUnregisterFrom"), 1) << "A left the queue before it queued again";
    WaitForPeers();
    std::vector<sMatchLogRecord> aLogA, aLogB;
    ExpectCleanMatch(aLogA, aLogB);
    ExpectAgreedResult(aLogA);
    EXPECT_EQ(m_pServer->Stop(), 0);
}

TEST_F(CStateGameTcpMatch, ATiedRoundIsFollowedByAWinOnAnotherScene)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch(kTieThenJumpOff, kHopper, {}, "ledge"));
    WaitForPeers();
    std::vector<sMatchLogRecord> aLogA, aLogB;
    ExpectCleanMatch(aLogA, aLogB);
    ExpectAgreedResult(aLogA);
    ASSERT_FALSE(aLogA.empty());
    EXPECT_EQ(aLogA.back().iRounds, 2) << "a tied round, then the won one";
    EXPECT_EQ(aLogA.back().iResult, 1) << "B wins when A jumps into the water";
    // The rounds' scenes differ only by their index, which the digest holds.
    const sMatchLogRecord* pSecond = nullptr;
    for (const sMatchLogRecord& r : aLogA)
        if (!r.bEnd && r.iRounds == 1 && !pSecond)
            pSecond = &r;
    ASSERT_NE(pSecond, nullptr) << "no turn in the second round";
    EXPECT_NE(pSecond->uDigest, aLogA.front().uDigest) << "the second round is on another scene";
    EXPECT_EQ(m_pServer->Stop(), 0);
}

TEST_F(CStateGameTcpMatch, LostAndRepeatedRelaysStillGiveTheSameMatch)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch(kShooter, kHopper, {"--relay-faults", "0.1,0.1,5"}));
    WaitForPeers();
    std::vector<sMatchLogRecord> aLogA, aLogB;
    ExpectCleanMatch(aLogA, aLogB);
    ExpectAgreedResult(aLogA);
    std::set<std::string> kinds;
    for (const CTestJson& j : ServerLines("relay_fault"))
        kinds.insert(j["kind"].String());
    EXPECT_EQ(kinds, (std::set<std::string>{"drop", "duplicate"}));
    EXPECT_EQ(m_pServer->Stop(), 0);
}

// Straight onto B's game connection, past the server's relay: thousands of messages of a
// type no event has, while B plays. B takes in no more than its budget, so its answers never
// fill its send queue (which would end the connection), tells of the flood in a few lines,
// and the match's own messages still get through to the end both agree on.
TEST_F(CStateGameTcpMatch, AFloodOfUnknownMessagesLeavesTheMatchToBePlayedOut)
{
    const int kBursts = 30;
    const int kPerBurst = 1000;
    ASSERT_NO_FATAL_FAILURE(StartMatch(kShooter, kHopper));
    ASSERT_TRUE(
        WaitFor([&] { return !ReadLines(m_apPeer[1]->LogPath()).empty() || m_apPeer[1]->Poll() != -1; }));
    ASSERT_EQ(m_apPeer[1]->Poll(), -1) << "peer B ended before its first turn\n" << m_apPeer[1]->Errors();
    const std::vector<CTestJson> paired = ServerLines("paired");
    ASSERT_EQ(paired.size(), 1u);
    const sLOBBY_TARGET b = sLOBBY_TARGET::Game(int(paired[0]["players"][1].Int()));
    CLobbyServerControl control(m_pServer->ControlPort());
    ASSERT_TRUE(control.IsConnected());
    // Type 200, identifier 7, at once.
    const std::string strOne =
        control.Send(b, "game_message", "[{\"hex\": \"c800000007000000ffffffff\"}]")["hex"].String();
    ASSERT_FALSE(strOne.empty());
    std::string strBurst;
    for (int i = 0; i < kPerBurst; ++i)
        strBurst += strOne;
    for (int i = 0; i < kBursts; ++i)
        control.SendHex(b, strBurst);

    WaitForPeers();
    std::vector<sMatchLogRecord> aLogA, aLogB;
    ExpectCleanMatch(aLogA, aLogB);
    ExpectAgreedResult(aLogA);
    int iLines = 0;
    for (const std::string& strLine : ReadLines(m_apPeer[1]->ErrorPath()))
    {
        iLines += strLine.compare(0, 5, "game:") == 0;
        EXPECT_EQ(strLine.find("connection ended"), std::string::npos) << strLine;
    }
    EXPECT_GE(iLines, 1) << "the flood is told";
    EXPECT_LE(iLines, 10) << "in a line now and then, not one of " << kBursts * kPerBurst;
    EXPECT_EQ(m_pServer->Stop(), 0);
}

TEST_F(CStateGameTcpMatch, APeerKilledDuringATurnLeavesTheOtherTheWinner)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch(kJumper, kIdle));
    // B goes once its log shows a turn's start.
    ASSERT_TRUE(
        WaitFor([&] { return !ReadLines(m_apPeer[1]->LogPath()).empty() || m_apPeer[1]->Poll() != -1; }));
    ASSERT_EQ(m_apPeer[1]->Poll(), -1) << "peer B ended before its first turn\n" << m_apPeer[1]->Errors();
    m_apPeer[1]->Kill();
    ASSERT_TRUE(WaitFor([&] { return m_apPeer[0]->Poll() != -1; })) << "peer A did not end in time";
    EXPECT_EQ(m_apPeer[0]->Poll(), 0) << m_apPeer[0]->Errors();
    ASSERT_TRUE(WaitForServerToReadAll());
    const std::vector<sMatchLogRecord> aLog = ReadMatchLog(m_apPeer[0]->LogPath());
    ASSERT_FALSE(aLog.empty());
    EXPECT_TRUE(aLog.back().bEnd);
    EXPECT_EQ(aLog.back().iResult, 0) << "A, the one left, wins";
    EXPECT_TRUE(m_pServer->Complaints().empty()) << m_pServer->Complaints()[0];
    EXPECT_EQ(Events("out", "GameDisconnect"), 1);
    EXPECT_EQ(Events("in", "GameEnd"), 1) << "A reports its win: nothing comes from the killed B";
    EXPECT_EQ(Events("in", "Rematch"), 0);
    EXPECT_EQ(m_pServer->Stop(), 0);
}
} // namespace
