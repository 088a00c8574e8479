// Two game instances in one process play whole matches over the fake transport.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "game/MoxEventWire.h"
#include "game/MoxPlayState.h"
#include "game/MoxScene.h"
#include "support/MatchHarness.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "tests/game/GameTestPacks.h"

namespace
{
const int kJump = 0; // the selected actions
const int kFire = 1;
const int kCluster = 5;
// On the harness's floor (flomps at x -1 and 1, water beyond 2.1): a shot that lands under
// the other flomp and drops it into the water, a shot of B's that misses into the water,
// and A's jump that lands right next to B.
const float kKillAim = 0.12f;

sMatchTurn Act(int iAction, float x, float y)
{
    sMatchTurn turn;
    turn.bWait = false;
    turn.iAction = iAction;
    turn.fAimX = x;
    turn.fAimY = y;
    return turn;
}

sMatchTurn Wait()
{
    return sMatchTurn();
}

class CStateGameNetworkedMatch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The lossy runs start with a seed of their own.
        const std::string strName = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        if (strName.find("PoorNetwork") == std::string::npos)
        {
            ASSERT_TRUE(m_Harness.Start(7));
        }
    }
    // 20 % loss, 20 % duplicates and delays of 0-2 s that let copies overtake, both ways,
    // on frames of 10-60 ms.
    void StartLossy(unsigned int uSeed)
    {
        ASSERT_TRUE(m_Harness.Start(uSeed));
        for (sMatchLink& link : m_Harness.m_aLink)
        {
            link.fLoss = 0.2;
            link.fDuplicate = 0.2;
            link.uDelayMin = 0;
            link.uDelayMax = 2000;
        }
        m_Harness.m_bIrregularFrames = true;
    }
    void PlayOnAPoorNetwork(unsigned int uSeed, const std::function<void()>& fnScript)
    {
        ASSERT_NO_FATAL_FAILURE(StartLossy(uSeed));
        fnScript();
        m_Harness.StartMatch();
        ASSERT_TRUE(m_Harness.RunMatch(3600000));
        ExpectPatientResends();
        EXPECT_GT(m_Harness.m_aLink[0].iDuplicated + m_Harness.m_aLink[1].iDuplicated, 0);
        EXPECT_GT(m_Harness.m_aLink[0].iLost + m_Harness.m_aLink[1].iLost, 0);
    }

    void ExpectAgreement()
    {
        EXPECT_EQ(m_Harness.CompareLogs(), "") << m_Harness.Report();
        ASSERT_NE(m_Harness.Play(0), nullptr);
        ASSERT_NE(m_Harness.Play(1), nullptr);
        EXPECT_EQ(m_Harness.Play(0)->m_iResult, m_Harness.Play(1)->m_iResult);
    }
    // Neither side's delivery sent an event twice.
    void ExpectNoResend()
    {
        for (int i = 0; i < 2; ++i)
            for (const auto& sends : m_Harness.m_aLink[i].aSendTimes)
                EXPECT_EQ(sends.second.size(), 1u) << "side " << i << " event " << sends.first;
    }
    // Every resend of an event more than 10 s after its previous send.
    void ExpectPatientResends()
    {
        for (int i = 0; i < 2; ++i)
            for (const auto& sends : m_Harness.m_aLink[i].aSendTimes)
                for (size_t u = 1; u < sends.second.size(); ++u)
                    EXPECT_GT(sends.second[u] - sends.second[u - 1], 10000u)
                        << "side " << i << " event " << sends.first;
    }
    void ExpectReported(int iSide, std::vector<int> aRanks, unsigned int uLeaving)
    {
        const auto& results = m_Harness.Game(iSide).m_aResults;
        ASSERT_EQ(results.size(), 1u) << iSide;
        EXPECT_EQ(results[0].aPlayers, (std::vector<int>{CMatchHarness::USER_A, CMatchHarness::USER_B}))
            << iSide;
        EXPECT_EQ(results[0].aResults, aRanks) << iSide;
        EXPECT_EQ(results[0].uLeaving, uLeaving) << iSide;
    }
    // A jumps on the spot every turn; B only lets its clock run out.
    void ScriptTimeOuts()
    {
        for (int i = 0; i < 10; ++i)
            m_Harness.m_aScript[CMatchHarness::SIDE_A].push_back(Act(kJump, 0.0f, 0.01f));
    }
    void ExpectBTimedOut()
    {
        ExpectAgreement();
        for (int i = 0; i < 2; ++i)
        {
            EXPECT_EQ(m_Harness.Play(i)->m_ePlayState, PLAYSTATE_GAME_OVER) << i;
            EXPECT_EQ(m_Harness.Play(i)->m_bTimeOutLoss, 1u) << i;
        }
        ExpectReported(CMatchHarness::SIDE_A, {1, 2}, 0);
        ExpectReported(CMatchHarness::SIDE_B, {1, 2}, 0);
    }
    // B (first) misses into the water, A's first shot drops B into it.
    void ScriptQuickWin()
    {
        m_Harness.m_aScript[CMatchHarness::SIDE_B] = {Act(kFire, -0.15f, -0.25f)};
        m_Harness.m_aScript[CMatchHarness::SIDE_A] = {Act(kFire, -kKillAim, -kKillAim)};
    }
    // B lets its first turn run out, A jumps next to B, B's shot between them breaks the
    // floor under both: a tie. The next round (A first) A wins with one shot.
    void ScriptTieThenWin()
    {
        m_Harness.m_aScript[CMatchHarness::SIDE_A] = {Act(kJump, -0.2f, -0.1f),
                                                      Act(kFire, -kKillAim, -kKillAim)};
        m_Harness.m_aScript[CMatchHarness::SIDE_B] = {Wait(), Act(kFire, 0.05f, 0.05f)};
    }
    // Every record of that round shows the same scene; -1 when the round has none.
    int SceneOfRound(int iRound)
    {
        int iScene = -1;
        for (const sMatchLogRecord& r : m_Harness.m_aLog[0])
            if (!r.bEnd && r.iRounds == iRound)
            {
                EXPECT_TRUE(iScene == -1 || iScene == r.iScene) << m_Harness.Report();
                iScene = r.iScene;
            }
        return iScene;
    }
    // Frames until the first round's countdown is over on both sides: the items the other
    // device could not load were dropped during it.
    bool ReachTheStart()
    {
        for (int i = 0; i < 20000; ++i)
        {
            m_Harness.Frame();
            if (m_Harness.Play(0) && m_Harness.Play(0)->m_bStarted && m_Harness.Play(1) &&
                m_Harness.Play(1)->m_bStarted)
                return true;
        }
        return false;
    }
    // Hat 10 (+20) and hat 11 (+5) with their pictures.
    static TestPackItems HatPack()
    {
        return {
            {"/10.xml", R"(<item><attributes type="hat" variable="20" filename="hat_red.png"/></item>)"},
            {"/11.xml", R"(<item><attributes type="hat" variable="5" filename="hat_blue.png"/></item>)"},
            {"/hat_red.png", GameTestPicture("hat_red.png", 0xFF0000)},
            {"/hat_blue.png", GameTestPicture("hat_blue.png", 0x0000FF)},
        };
    }
    // A wears hat 10 and B hat 11; A holds the whole pack, B the one given (none for null).
    // B cannot load A's hat: when the countdown is over both devices show A without it at
    // 100 and B at the health given, with its hat shown when it counts; A wins at once.
    void PlayWithHats(const TestPackItems* pBsPack, int iHealthB)
    {
        const std::string strPack = "/data_64_1.kmp";
        ASSERT_TRUE(
            WriteTestFile(m_Harness.App(CMatchHarness::SIDE_A).Dir() + strPack, TestPackBytes(HatPack())));
        if (pBsPack)
        {
            ASSERT_TRUE(
                WriteTestFile(m_Harness.App(CMatchHarness::SIDE_B).Dir() + strPack, TestPackBytes(*pBsPack)));
        }
        // enabled, item, amount, file, group value, description, group type
        m_Harness.App(CMatchHarness::SIDE_A).m_pTestLobby->m_aItems.Add({1, 501, 1, 1, -1, 10, 0});
        m_Harness.App(CMatchHarness::SIDE_B).m_pTestLobby->m_aItems.Add({1, 601, 1, 1, -1, 11, 0});
        ScriptQuickWin();
        m_Harness.StartMatch();
        ASSERT_TRUE(ReachTheStart());
        for (int k = 0; k < 2; ++k)
        {
            EXPECT_EQ(Player(k, 0).m_iHealth, PLAYER_START_HEALTH) << k;
            EXPECT_EQ(Player(k, 0).m_bShowItem, 0) << k;
            EXPECT_EQ(Player(k, 0).m_pItemSurface, nullptr) << k;
            EXPECT_EQ(Player(k, 1).m_iHealth, iHealthB) << k;
            EXPECT_EQ(Player(k, 1).m_bShowItem, iHealthB > PLAYER_START_HEALTH ? 1 : 0) << k;
        }
        ASSERT_TRUE(m_Harness.RunMatch());
        ExpectAWon();
    }
    CPlayer& Player(int iSide, int iPlayer)
    {
        return m_Harness.Play(iSide)->m_pLiveScene->m_Players[iPlayer];
    }
    // Both sides ended the match in the game-over state with A the winner of one round.
    void ExpectAWon()
    {
        ExpectAgreement();
        for (int i = 0; i < 2; ++i)
        {
            ASSERT_EQ(m_Harness.Play(i)->m_ePlayState, PLAYSTATE_GAME_OVER) << i;
            EXPECT_EQ(m_Harness.Play(i)->m_iResult, 0) << i;
            EXPECT_EQ(Player(i, 0).m_cRoundWins, 1) << i;
            EXPECT_EQ(Player(i, 1).m_cRoundWins, 0) << i;
            EXPECT_EQ(Player(i, 1).m_bAlive, 0) << i;
        }
        ExpectReported(CMatchHarness::SIDE_A, {1, 2}, 0);
        ExpectReported(CMatchHarness::SIDE_B, {1, 2}, 0);
    }
    void ExpectTieThenWin()
    {
        ASSERT_NO_FATAL_FAILURE(ExpectAWon());
        EXPECT_EQ(m_Harness.Play(0)->m_iRoundsPlayed, 2);
        const int iFirst = SceneOfRound(0), iSecond = SceneOfRound(1);
        EXPECT_NE(iFirst, -1);
        EXPECT_NE(iSecond, -1);
        EXPECT_NE(iFirst, iSecond) << "the new round draws another scene";
        EXPECT_EQ(FirstTurnOfRound(0), 1) << m_Harness.Report();
        EXPECT_EQ(FirstTurnOfRound(1), 0) << "the other player starts the next round";
    }
    int FirstTurnOfRound(int iRound)
    {
        for (const sMatchLogRecord& r : m_Harness.m_aLog[0])
            if (!r.bEnd && r.iRounds == iRound)
                return r.iTurnPlayer;
        return -1;
    }

    CMatchHarness m_Harness;
};

TEST_F(CStateGameNetworkedMatch, BNeverActingLosesByTimeOuts)
{
    ScriptTimeOuts();
    m_Harness.StartMatch();
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectBTimedOut();
    ExpectNoResend();
}

TEST_F(CStateGameNetworkedMatch, ALeavingGivesBTheWin)
{
    m_Harness.StartMatch();
    for (int i = 0; i < 300 && !(m_Harness.Play(0)->m_bStarted && m_Harness.Play(1)->m_bStarted); ++i)
        m_Harness.Frame();
    m_Harness.Play(CMatchHarness::SIDE_A)->LeaveGame();
    for (int i = 0; i < 30; ++i)
        m_Harness.Frame();
    m_Harness.Disconnect(CMatchHarness::SIDE_B);
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectReported(CMatchHarness::SIDE_A, {2, 1}, 1);
    // Both reports agree: B, left alone, reports its win at once, as it would for a leaver
    // whose game died without a report.
    ExpectReported(CMatchHarness::SIDE_B, {2, 1}, 0);
    EXPECT_EQ(m_Harness.Play(CMatchHarness::SIDE_B)->m_bOpponentLeft, 1u);
    EXPECT_EQ(m_Harness.Play(CMatchHarness::SIDE_B)->m_iResult, 1);
}

TEST_F(CStateGameNetworkedMatch, ALostConnectionEndsTheMatchOnBoth)
{
    m_Harness.StartMatch();
    for (int i = 0; i < 300 && !(m_Harness.Play(0)->m_bStarted && m_Harness.Play(1)->m_bStarted); ++i)
        m_Harness.Frame();
    m_Harness.Disconnect(-1);
    ASSERT_TRUE(m_Harness.RunMatch());
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(m_Harness.Play(i)->m_ePlayState, PLAYSTATE_GAME_OVER) << i;
        EXPECT_EQ(m_Harness.Play(i)->m_bEndSettled, 1u) << i;
        EXPECT_EQ(m_Harness.Play(i)->m_bEndScreen, 1u) << i;
    }
}

TEST_F(CStateGameNetworkedMatch, AMatchIsWonInAFewTurns)
{
    ScriptQuickWin();
    m_Harness.StartMatch();
    ASSERT_TRUE(m_Harness.RunMatch());
    ASSERT_FALSE(m_Harness.m_aLog[0].empty());
    EXPECT_EQ(m_Harness.m_aLog[0][0].iTurnPlayer, 1) << "the scripts expect B first";
    ExpectAWon();
    ExpectNoResend();
    // B missed, A hit: two turns.
    EXPECT_EQ(m_Harness.m_aLog[0].size(), 3u) << m_Harness.Report();
}

TEST_F(CStateGameNetworkedMatch, ATiedRoundThenANewSceneThenAWin)
{
    ScriptTieThenWin();
    m_Harness.StartMatch();
    // Between the rounds the master waits for both players' ready events of this pause.
    CMoxPlayState* pMaster = m_Harness.Play(CMatchHarness::SIDE_A);
    bool bBetween = false, bBothReady = false;
    for (int i = 0; i < 20000 && !(bBetween && pMaster->m_ePlayState != PLAYSTATE_BETWEEN_ROUNDS); ++i)
    {
        if (pMaster->m_ePlayState == PLAYSTATE_BETWEEN_ROUNDS)
        {
            bBetween = true;
            bBothReady =
                pMaster->m_pLiveScene->m_Players[0].m_bReady && pMaster->m_pLiveScene->m_Players[1].m_bReady;
        }
        m_Harness.Frame();
    }
    ASSERT_TRUE(bBetween) << m_Harness.Report();
    EXPECT_TRUE(bBothReady) << "the next round was loaded before both were ready";
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectTieThenWin();
    ExpectNoResend();
}

// Both players only touch the screen: a tap on the action's button, a drag from the own
// flomp and its release.
TEST_F(CStateGameNetworkedMatch, BothPlayersPlayOnlyByTouches)
{
    m_Harness.m_bTouchInput = true;
    ScriptTieThenWin();
    m_Harness.StartMatch();
    ASSERT_TRUE(m_Harness.RunMatch());
    EXPECT_EQ(m_Harness.m_aiTouchActions[CMatchHarness::SIDE_A], 2);
    EXPECT_EQ(m_Harness.m_aiTouchActions[CMatchHarness::SIDE_B], 1);
    ExpectTieThenWin();
    ExpectNoResend();
}

// A holds a hat and a cluster bomb, B a smaller hat. The hats raise health on both devices
// alike; the bomb is spent through A's lobby once and bursts into three fragments that B
// sees too.
TEST_F(CStateGameNetworkedMatch, SpecialItemsActTheSameOnBothSides)
{
    const TestPackItems items = {
        {"/10.xml", R"(<item><attributes type="hat" variable="20" filename="hat_red.png"/></item>)"},
        {"/11.xml", R"(<item><attributes type="hat" variable="5" filename="hat_blue.png"/></item>)"},
        {"/12.xml", R"(<item><attributes type="cluster"/></item>)"},
        {"/hat_red.png", GameTestPicture("hat_red.png", 0xFF0000)},
        {"/hat_blue.png", GameTestPicture("hat_blue.png", 0x0000FF)},
    };
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(WriteTestFile(m_Harness.App(i).Dir() + "/data_64_1.kmp", TestPackBytes(items)));
    // enabled, item, amount, file, group value, description, group type
    m_Harness.App(CMatchHarness::SIDE_A).m_pTestLobby->m_aItems.Add({1, 501, 1, 1, -1, 10, 0});
    m_Harness.App(CMatchHarness::SIDE_A).m_pTestLobby->m_aItems.Add({1, 502, 3, 1, -1, 12, 0});
    m_Harness.App(CMatchHarness::SIDE_B).m_pTestLobby->m_aItems.Add({1, 601, 1, 1, -1, 11, 0});
    m_Harness.m_aScript[CMatchHarness::SIDE_B] = {Act(kFire, -0.15f, -0.25f)};
    // The burst breaks the floor under both: a tie; A's next shot wins the second round.
    m_Harness.m_aScript[CMatchHarness::SIDE_A] = {Act(kCluster, -kKillAim, -kKillAim),
                                                  Act(kFire, -kKillAim, -kKillAim)};
    m_Harness.StartMatch();
    int iMostFragments = 0;
    bool bHealthSeen = false;
    for (int i = 0; i < 20000 && !(m_Harness.Ended(0) && m_Harness.Ended(1)); ++i)
    {
        m_Harness.Frame();
        CMoxPlayState* pB = m_Harness.Play(CMatchHarness::SIDE_B);
        if (!pB || !pB->m_pLiveScene)
            continue;
        int iFragments = 0;
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        {
            const Projectile* pShot = pB->m_pLiveScene->m_Players[0].GetProjectile(s);
            iFragments += pShot && pShot->m_pBody && pShot->m_eType == PROJECTILE_FRAGMENT;
        }
        iMostFragments = std::max(iMostFragments, iFragments);
        // At the first turn both devices show both hats' health.
        if (!bHealthSeen && m_Harness.m_aLog[0].size() == 1 && m_Harness.m_aLog[1].size() == 1)
        {
            bHealthSeen = true;
            for (int k = 0; k < 2; ++k)
            {
                EXPECT_EQ(Player(k, 0).m_iHealth, 120) << k;
                EXPECT_EQ(Player(k, 1).m_iHealth, 105) << k;
                EXPECT_EQ(Player(k, 0).m_bHasCluster, 1) << k;
            }
        }
    }
    ASSERT_TRUE(m_Harness.RunMatch());
    EXPECT_TRUE(bHealthSeen);
    EXPECT_EQ(iMostFragments, 3);
    EXPECT_EQ(m_Harness.App(CMatchHarness::SIDE_A).m_Log.With("lobby.UseItem"),
              (std::vector<std::string>{"lobby.UseItem(502,1)"}));
    EXPECT_EQ(m_Harness.App(CMatchHarness::SIDE_B).m_Log.Count("lobby.UseItem"), 0);
    ExpectAWon();
    EXPECT_EQ(m_Harness.Play(0)->m_iRoundsPlayed, 2) << m_Harness.Report();
    ExpectNoResend();
}

// A's hat and B's hat come from a pack only A holds: B can load neither, so both devices
// take both hats off before the round starts and play the same match at 100 each.
TEST_F(CStateGameNetworkedMatch, AnItemOneDeviceCannotLoadIsPlayedWithoutOnBoth)
{
    PlayWithHats(nullptr, PLAYER_START_HEALTH);
}

// Both devices hold the pack, but B's copy of A's hat picture is cut short: B cannot load
// that hat, so both play A without it at 100 while B keeps its own hat at 105.
TEST_F(CStateGameNetworkedMatch, AHatWhosePictureDoesNotLoadOnOneDeviceIsPlayedWithoutOnBoth)
{
    TestPackItems items = HatPack();
    items[2].second.resize(items[2].second.size() / 2);
    PlayWithHats(&items, PLAYER_START_HEALTH + 5);
}

// The time-out match, the quick win and the tie then a win over a poor network, each for
// three seeds: the same logs, patient resends, duplicates delivered and never applied twice.
TEST_F(CStateGameNetworkedMatch, TimeOutsOnAPoorNetworkSeed11)
{
    PlayOnAPoorNetwork(11, [this] { ScriptTimeOuts(); });
    ExpectBTimedOut();
}
TEST_F(CStateGameNetworkedMatch, TimeOutsOnAPoorNetworkSeed23)
{
    PlayOnAPoorNetwork(23, [this] { ScriptTimeOuts(); });
    ExpectBTimedOut();
}
TEST_F(CStateGameNetworkedMatch, TimeOutsOnAPoorNetworkSeed37)
{
    PlayOnAPoorNetwork(37, [this] { ScriptTimeOuts(); });
    ExpectBTimedOut();
}
TEST_F(CStateGameNetworkedMatch, AQuickWinOnAPoorNetworkSeed11)
{
    PlayOnAPoorNetwork(11, [this] { ScriptQuickWin(); });
    ExpectAWon();
}
TEST_F(CStateGameNetworkedMatch, AQuickWinOnAPoorNetworkSeed23)
{
    PlayOnAPoorNetwork(23, [this] { ScriptQuickWin(); });
    ExpectAWon();
}
TEST_F(CStateGameNetworkedMatch, AQuickWinOnAPoorNetworkSeed37)
{
    PlayOnAPoorNetwork(37, [this] { ScriptQuickWin(); });
    ExpectAWon();
}
TEST_F(CStateGameNetworkedMatch, ATieThenAWinOnAPoorNetworkSeed11)
{
    PlayOnAPoorNetwork(11, [this] { ScriptTieThenWin(); });
    ExpectTieThenWin();
}
TEST_F(CStateGameNetworkedMatch, ATieThenAWinOnAPoorNetworkSeed23)
{
    PlayOnAPoorNetwork(23, [this] { ScriptTieThenWin(); });
    ExpectTieThenWin();
}
TEST_F(CStateGameNetworkedMatch, ATieThenAWinOnAPoorNetworkSeed37)
{
    PlayOnAPoorNetwork(37, [this] { ScriptTieThenWin(); });
    ExpectTieThenWin();
}

// A round load naming a scene outside the scene list is no round to play: the side that
// receives it leaves the match (reporting the other as the winner) instead of reading
// outside the list; the other side wins when the server reports the leave.
void LoadOfAnUnknownScene(CMatchHarness& harness, int iScene)
{
    harness.StartMatch();
    for (int i = 0; i < 300 && !(harness.Play(0)->m_bStarted && harness.Play(1)->m_bStarted); ++i)
        harness.Frame();
    std::vector<uint8_t> a(28, 0);
    a[MoxField::TYPE] = EVENT_LOAD_GAME;
    MoxPutI32(a.data(), MoxField::ID, 6000000);
    MoxPutI32(a.data(), MoxField::TIME, -1);
    MoxPutI32(a.data(), MoxField::LOAD_SCENE, iScene);
    harness.Inject(CMatchHarness::SIDE_B, a);
    for (int i = 0; i < 30; ++i)
        harness.Frame();
    harness.Disconnect(CMatchHarness::SIDE_A);
    ASSERT_TRUE(harness.RunMatch());
    // The screen goes with the leave.
    CMoxPlayState* pB = harness.Play(CMatchHarness::SIDE_B);
    EXPECT_TRUE(!pB || pB->m_ePlayState == PLAYSTATE_LEFT);
    const auto& results = harness.Game(CMatchHarness::SIDE_B).m_aResults;
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].aResults, (std::vector<int>{1, 2}));
    EXPECT_EQ(results[0].uLeaving, 1u);
    ASSERT_NE(harness.Play(CMatchHarness::SIDE_A), nullptr);
    EXPECT_EQ(harness.Play(CMatchHarness::SIDE_A)->m_iResult, 0);
    EXPECT_EQ(harness.Play(CMatchHarness::SIDE_A)->m_ePlayState, PLAYSTATE_GAME_OVER);
}

TEST_F(CStateGameNetworkedMatch, ALoadOfSceneMinusOneMakesTheReceiverLeave)
{
    LoadOfAnUnknownScene(m_Harness, -1);
}

TEST_F(CStateGameNetworkedMatch, ALoadOfScene20MakesTheReceiverLeave)
{
    LoadOfAnUnknownScene(m_Harness, 20);
}

// Bytes no device should send, between the real messages both ways.
TEST_F(CStateGameNetworkedMatch, MalformedTrafficChangesNothing)
{
    auto Raw = [](int iType, int iSize, std::vector<std::pair<int, uint8_t>> aBytes)
    {
        static int s_iId = 5000000;
        std::vector<uint8_t> a(size_t(iSize), 0);
        const int iId = ++s_iId;
        const int aHeader[3] = {iType, iId, -1};
        for (int k = 0; k < 12 && k < iSize; ++k)
            a[size_t(k)] = uint8_t(aHeader[k / 4] >> (8 * (k % 4)));
        for (const auto& b : aBytes)
            if (b.first < iSize)
                a[size_t(b.first)] = b.second;
        return a;
    };
    const std::vector<std::vector<uint8_t>> aJunk = {
        {27, 0, 0},                        // shorter than a header
        Raw(27, 20, {}),                   // cut short
        Raw(99, 30, {}),                   // unknown
        Raw(27, 24, {{8, 0xFB}}),          // time stamp -5 (low byte)
        Raw(27, 24, {{12, 0xFF}}),         // player -1
        Raw(21, 16, {{12, 2}}),            // player 2
        Raw(23, 28, {{12, 127}}),          // player 127
        Raw(33, 16, {{14, 0xFF}}),         // slot -1
        Raw(33, 16, {{14, 32}}),           // slot 32
        Raw(77, 64, {{13, 127}}),          // item count 127
        Raw(30, 16, {{13, 9}}),            // projectile type 9
        Raw(43, 40, {{12, 1}, {16, 27}}),  // a pack whose last event is cut
        Raw(43, 40, {{16, 99}, {17, 24}}), // a pack with a mismatched inner type
    };
    ScriptTimeOuts();
    m_Harness.StartMatch();
    size_t u = 0;
    for (int i = 0; i < 2000 && u < aJunk.size() * 2; ++i)
    {
        m_Harness.Frame();
        if (i % 40 == 20)
        {
            m_Harness.Inject(u % 2, aJunk[u / 2]);
            ++u;
        }
    }
    ASSERT_TRUE(m_Harness.RunMatch());
    ExpectAgreement();
    ExpectReported(CMatchHarness::SIDE_A, {1, 2}, 0);
    ExpectReported(CMatchHarness::SIDE_B, {1, 2}, 0);
}
} // namespace
