// Two game instances in one process playing a networked match: each a test application
// whose lobby double hosts a CHarnessGame, joined by a fake transport that may lose,
// duplicate and delay messages, run frame by frame on one manual clock. Scripts give each
// side's actions; every instance keeps a match log that the other's must equal.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Framework/Session/VornPlayer.h"
#include "KorvelCommon/KorvelRunnable.h"
#include "game/StateGame.h"
#include "support/InputTestApplication.h"
#include "support/TestKestrolundApplication.h"

class CMatchHarness;
class CMoxPlayState;

// The root state with every body that reaches the session replaced by a recording one.
class CHarnessGame : public CStateGame
{
public:
    struct sResults
    {
        std::vector<int> aPlayers;
        std::vector<int> aResults;
        unsigned int uLeaving;
    };

    CHarnessGame(CMatchHarness& harness, int iSide);

    void SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int, unsigned int) override;
    void SendResults(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                     unsigned int uLeaving) override;
    void QuickPlay() override { ++m_iQuickPlays; }
    void CancelQuickPlay() override { ++m_iQuickPlayCancels; }
    int GetPlayerId() override;
    int GetPlayerCount() override { return 2; }
    CVornPlayer* GetPlayer(int iIndex) override;

    CMoxPlayState* Play();

    std::vector<sResults> m_aResults;
    int m_iQuickPlays = 0;
    int m_iQuickPlayCancels = 0;

private:
    CMatchHarness& m_Harness;
    int m_iSide;
    CVornPlayer m_aPlayers[2];
};

// One direction of the fake network.
struct sMatchLink
{
    double fLoss = 0.0;      // share of messages lost
    double fDuplicate = 0.0; // share sent twice; the copy has its own delay
    unsigned int uDelayMin = 0;
    unsigned int uDelayMax = 0; // ms; a range lets late copies overtake
    int iSent = 0;
    int iLost = 0;
    int iDuplicated = 0;
    int iDelivered = 0;
    std::map<int, std::vector<uint64_t>> aSendTimes; // ms of the clock, per event identifier
    std::vector<std::vector<uint8_t>> aSentBytes;    // every message handed over, in order
};

// One turn of a script: an action with its aim, or a wait until the turn clock runs out.
struct sMatchTurn
{
    bool bWait = true;
    int iAction = 0;
    float fAimX = 0.0f;
    float fAimY = 0.0f;
};

struct sMatchLogRecord
{
    bool bEnd = false;
    int iTurnPlayer = -1;
    int iRounds = 0;
    int iResult = 0;
    int iScene = -1; // also in the digest; kept apart to tell rounds' scenes apart
    uint64_t uDigest = 0;
    float aPosition[2][2] = {{0, 0}, {0, 0}}; // alive players' bodies, else 0
    std::string Text() const;
};

class CMatchHarness
{
public:
    enum
    {
        SIDE_A = 0, // the master
        SIDE_B = 1,
        USER_A = 1001,
        USER_B = 1002
    };

    CMatchHarness();
    ~CMatchHarness();

    // Builds both applications and their games, runs frames until both lobby doubles
    // host their games, then seeds both generators. False with the reason in the failure.
    bool Start(unsigned int uSeed = 1);
    // The server's match start: master A and B in the same frame.
    void StartMatch();
    // One frame: the clock moves, A's then B's frame runs (with its deliveries).
    void Frame(unsigned int uMilliseconds = 33);
    // Frames until both ended and reported, or the fake-time limit (ms); true when ended.
    bool RunMatch(uint64_t uLimitMs = 600000);
    // The server's game disconnect: the side still there is told its opponent left,
    // then both lose the game connection.
    void Disconnect(int iRemaining);

    CTestKestrolundApplication& App(int iSide) { return *m_apApp[iSide]; }
    CHarnessGame& Game(int iSide) { return *m_apGame[iSide]; }
    CMoxPlayState* Play(int iSide) { return m_apGame[iSide]->Play(); }
    bool Ended(int iSide);
    // Both logs and the transport counters, for a failure message.
    std::string Report();
    // Empty when the two logs agree, else where they differ.
    std::string CompareLogs() const;
    static std::string CompareLogs(const std::vector<sMatchLogRecord>& a,
                                   const std::vector<sMatchLogRecord>& b);
    // The log record of one game's play screen now (an empty one without a live scene).
    static sMatchLogRecord RecordOf(CMoxPlayState* pPlay, bool bEnd);

    // Hands bytes from that side to the other's queue (with loss, duplicates and delay).
    void Send(int iFromSide, const unsigned char* pData, unsigned int uSize);
    // Puts bytes straight into the queue towards that side, as the network would.
    void Inject(int iToSide, const std::vector<uint8_t>& aBytes);

    sMatchLink m_aLink[2]; // [from side]
    std::vector<sMatchTurn> m_aScript[2];
    std::vector<sMatchLogRecord> m_aLog[2];
    CManualClock m_Clock;
    bool m_bIrregularFrames = false;
    // Scripts played through pointer events on the screen (buttons, then a drag from the
    // own flomp) instead of setting the aim and calling CreateAction.
    bool m_bTouchInput = false;
    int m_aiTouchActions[2] = {0, 0}; // drags released, per side
    uint64_t m_uNowMs = 0;

private:
    struct sPending
    {
        uint64_t uDueMs;
        uint64_t uOrder;
        std::vector<uint8_t> aBytes;
    };
    class CDelivery : public IKorvelRunnable
    {
    public:
        CDelivery(CMatchHarness& harness, int iSide) : m_Harness(harness), m_iSide(iSide) {}
        void Update(float) override { m_Harness.Deliver(m_iSide); }

    private:
        CMatchHarness& m_Harness;
        int m_iSide;
    };

    void Deliver(int iToSide);
    void Queue(int iToSide, std::vector<uint8_t> aBytes, unsigned int uDelay);
    void Drive(int iSide);
    // One pointer step of the own turn's script; true once the drag was released.
    bool DriveByTouch(int iSide, CMoxPlayState* pPlay, const sMatchTurn& turn);
    void Observe(int iSide);
    sMatchLogRecord Record(int iSide, bool bEnd);

    std::unique_ptr<CTestKestrolundApplication> m_apApp[2];
    CHarnessGame* m_apGame[2] = {nullptr, nullptr}; // owned by the lobby doubles
    std::unique_ptr<CDelivery> m_apDelivery[2];
    std::vector<sPending> m_aQueue[2]; // [to side]
    std::mt19937 m_Random;
    uint64_t m_uOrder = 0;
    int m_aiTurn[2] = {0, 0};
    int m_aiLastTurnKey[2] = {-1, -1};
    bool m_abActed[2] = {false, false};
    bool m_abHadPlay[2] = {false, false};
    bool m_abEnded[2] = {false, false};
    enum TOUCH_PHASE
    {
        TOUCH_IDLE,
        TOUCH_BUTTON, // an action button held
        TOUCH_AIM     // the flomp held and dragged
    };
    TOUCH_PHASE m_aeTouch[2] = {TOUCH_IDLE, TOUCH_IDLE};
    int m_aiTouchFrames[2] = {0, 0};
    int m_aiTouchAt[2][2] = {{0, 0}, {0, 0}}; // the last pointer position
};

// FNV-1a, 64 bits.
uint64_t MatchDigest(const void* pData, size_t uSize, uint64_t uHash = 14695981039346656037ull);
