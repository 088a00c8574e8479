#include "support/MatchHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "game/MoxBlock.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "support/TestSceneFile.h"
#include "support/TestText.h"
#include "tests/game/GameTestPacks.h"

namespace
{
const float kPositionTolerance = 0.002f;
} // namespace

uint64_t MatchDigest(const void* pData, size_t uSize, uint64_t uHash)
{
    const unsigned char* p = static_cast<const unsigned char*>(pData);
    for (size_t u = 0; u < uSize; ++u)
    {
        uHash ^= p[u];
        uHash *= 1099511628211ull;
    }
    return uHash;
}

// ---- the game

CHarnessGame::CHarnessGame(CMatchHarness& harness, int iSide) : m_Harness(harness), m_iSide(iSide)
{
    m_aPlayers[0].m_iUserId = CMatchHarness::USER_A;
    m_aPlayers[0].m_strName = CKorvelString("A");
    m_aPlayers[1].m_iUserId = CMatchHarness::USER_B;
    m_aPlayers[1].m_strName = CKorvelString("B");
}

void CHarnessGame::SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int, unsigned int)
{
    m_Harness.Send(m_iSide, pData, uSize);
}

void CHarnessGame::SendResults(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                               unsigned int uLeaving)
{
    sResults results;
    for (int i = 0; i < aPlayers.GetCount(); ++i)
        results.aPlayers.push_back(aPlayers[i]);
    for (int i = 0; i < aResults.GetCount(); ++i)
        results.aResults.push_back(aResults[i]);
    results.uLeaving = uLeaving;
    m_aResults.push_back(results);
}

int CHarnessGame::GetPlayerId()
{
    return m_aPlayers[m_iSide].m_iUserId;
}

CVornPlayer* CHarnessGame::GetPlayer(int iIndex)
{
    return iIndex >= 0 && iIndex < 2 ? &m_aPlayers[iIndex] : nullptr;
}

CMoxPlayState* CHarnessGame::Play()
{
    return dynamic_cast<CMoxPlayState*>(GetState(STATE_PLAY));
}

// ---- the log

std::string sMatchLogRecord::Text() const
{
    std::ostringstream s;
    s << (bEnd ? "end" : "turn") << " player " << iTurnPlayer << " rounds " << iRounds << " result "
      << iResult << " scene " << iScene << " digest " << std::hex << uDigest << std::dec << " at ("
      << aPosition[0][0] << ", " << aPosition[0][1] << ") (" << aPosition[1][0] << ", " << aPosition[1][1]
      << ")";
    return s.str();
}

sMatchLogRecord CMatchHarness::Record(int iSide, bool bEnd)
{
    return RecordOf(Play(iSide), bEnd);
}

sMatchLogRecord CMatchHarness::RecordOf(CMoxPlayState* pPlay, bool bEnd)
{
    sMatchLogRecord r;
    r.bEnd = bEnd;
    if (!pPlay || !pPlay->m_pLiveScene)
        return r;
    r.iTurnPlayer = pPlay->m_iTurnPlayer;
    r.iRounds = pPlay->m_iRoundsPlayed;
    r.iResult = pPlay->m_iResult;
    CMoxScene& scene = *pPlay->m_pLiveScene;
    const int iScene = pPlay->GetCurrentSceneIndex();
    r.iScene = iScene;
    uint64_t h = MatchDigest(&iScene, sizeof(iScene));
    for (int i = 0; i < 2; ++i)
    {
        const CPlayer& player = scene.m_Players[i];
        const int a[3] = {player.m_bAlive, player.m_iHealth, player.m_cRoundWins};
        h = MatchDigest(a, sizeof(a), h);
        if (player.m_bAlive && player.m_pBody)
        {
            r.aPosition[i][0] = player.m_pBody->m_vPosition.x;
            r.aPosition[i][1] = player.m_pBody->m_vPosition.y;
        }
    }
    std::vector<const CBlock*> aBlocks;
    for (int i = 0; scene.m_pBlocks && i < scene.m_pBlocks->GetCount(); ++i)
        aBlocks.push_back(scene.m_pBlocks->m_Blocks[i]);
    std::sort(aBlocks.begin(), aBlocks.end(),
              [](const CBlock* a, const CBlock* b) { return a->m_uID < b->m_uID; });
    for (const CBlock* pBlock : aBlocks)
    {
        // A running timed change is digested as it will end.
        const bool bSaved = pBlock->m_bEffectRunning != 0;
        const int a[6] = {pBlock->m_uID,
                          pBlock->m_uShape,
                          pBlock->m_uLayer,
                          bSaved ? pBlock->m_iSavedStrength : pBlock->m_iStrength,
                          bSaved ? pBlock->m_uSavedMaterial : pBlock->m_iMaterial,
                          bSaved ? pBlock->m_uSavedVariant : pBlock->m_uVariant};
        h = MatchDigest(a, sizeof(a), h);
        if (pBlock->m_pBody)
        {
            const float f[2] = {pBlock->m_pBody->m_vPosition.x, pBlock->m_pBody->m_vPosition.y};
            h = MatchDigest(f, sizeof(f), h);
        }
    }
    r.uDigest = h;
    return r;
}

std::string CMatchHarness::CompareLogs() const
{
    return CompareLogs(m_aLog[0], m_aLog[1]);
}

std::string CMatchHarness::CompareLogs(const std::vector<sMatchLogRecord>& a,
                                       const std::vector<sMatchLogRecord>& b)
{
    // End records count only when both ended in the game-over state.
    auto Turns = [](const std::vector<sMatchLogRecord>& log)
    {
        std::vector<sMatchLogRecord> out;
        for (const sMatchLogRecord& r : log)
            if (!r.bEnd)
                out.push_back(r);
        return out;
    };
    const bool bEnds = !a.empty() && !b.empty() && a.back().bEnd && b.back().bEnd;
    std::vector<sMatchLogRecord> x = bEnds ? a : Turns(a), y = bEnds ? b : Turns(b);
    if (x.size() != y.size())
        return "the logs hold " + std::to_string(x.size()) + " and " + std::to_string(y.size()) + " records";
    for (size_t u = 0; u < x.size(); ++u)
    {
        bool bSame = x[u].bEnd == y[u].bEnd && x[u].iTurnPlayer == y[u].iTurnPlayer &&
                     x[u].iRounds == y[u].iRounds && x[u].iResult == y[u].iResult &&
                     x[u].uDigest == y[u].uDigest;
        for (int i = 0; i < 2; ++i)
            for (int k = 0; k < 2; ++k)
                bSame = bSame && std::fabs(x[u].aPosition[i][k] - y[u].aPosition[i][k]) <= kPositionTolerance;
        if (!bSame)
            return "record " + std::to_string(u) + ": " + x[u].Text() + " | " + y[u].Text();
    }
    return "";
}

std::string CMatchHarness::Report()
{
    std::ostringstream s;
    for (int i = 0; i < 2; ++i)
    {
        s << (i ? "B" : "A") << " log:\n";
        for (const sMatchLogRecord& r : m_aLog[i])
            s << "  " << r.Text() << "\n";
        s << "  from " << (i ? "B" : "A") << ": sent " << m_aLink[i].iSent << " lost " << m_aLink[i].iLost
          << " duplicated " << m_aLink[i].iDuplicated << " delivered " << m_aLink[i].iDelivered << "\n";
    }
    return s.str();
}

// ---- life cycle

CMatchHarness::CMatchHarness() = default;

CMatchHarness::~CMatchHarness()
{
    for (int i = 1; i >= 0; --i)
    {
        if (m_apApp[i] && m_apDelivery[i])
            m_apApp[i]->RemoveRunnable(m_apDelivery[i].get());
        m_apApp[i].reset();
    }
    ReleaseTestShellPlatform();
}

bool CMatchHarness::Start(unsigned int uSeed)
{
    PrepareTestShellPlatform(plat::eBackend::Headless, CTestKestrolundApplication::WIDTH,
                             CTestKestrolundApplication::HEIGHT);
    std::vector<std::pair<std::string, sTestScene>> aScenes;
    // Both flomps one unit from the middle on a metal floor from -2.1 to 2.1.
    sTestScene floor = TestSceneWithPlayers({-40, 4}, {40, 4});
    for (int k = 0; k < 7; ++k)
        floor.blocks.push_back({-72 + 24 * k, 0, 10, 1, 0, 0});
    for (const sResourceEntry& scene : res_flomp_scenes)
        aScenes.push_back({Narrow(scene.name), floor});
    for (int i = 0; i < 2; ++i)
    {
        m_apApp[i].reset(new CTestKestrolundApplication(CTestKestrolundApplication::WIDTH,
                                                        CTestKestrolundApplication::HEIGHT, false));
        const std::string strApp = m_apApp[i]->Dir() + "/app/native";
        EXPECT_TRUE(m_apApp[i]->WritePacks(false));
        EXPECT_TRUE(WriteGameTestPacks(strApp));
        EXPECT_TRUE(WriteTestScenePack(strApp, aScenes));
    }
    for (int i = 0; i < 2; ++i)
    {
        // Both working folders hold the same packs: whichever is current serves both.
        m_apApp[i]->SetClock(&m_Clock);
        m_apGame[i] = new CHarnessGame(*this, i);
        m_apGame[i]->SetClock(&m_Clock);
        if (m_apApp[i]->StartWith(m_apGame[i]) != KE_OK)
        {
            ADD_FAILURE() << "application " << i << " did not start";
            return false;
        }
        m_apDelivery[i].reset(new CDelivery(*this, i));
        m_apApp[i]->AddRunnable(m_apDelivery[i].get());
    }
    // Hosted, and the lobby alone on the stack: the lobby's activation resets the game.
    auto Hosting = [this](int i)
    {
        return App(i).m_pTestLobby && App(i).m_pTestLobby->m_pGame && App(i).GetStateCount() == 1 &&
               App(i).GetState(0) == App(i).GetLobbyState();
    };
    for (int i = 0; i < 300 && !(Hosting(0) && Hosting(1)); ++i)
        Frame(33);
    if (!Hosting(0) || !Hosting(1))
    {
        ADD_FAILURE() << "the lobby doubles did not host their games";
        return false;
    }
    for (int i = 0; i < 2; ++i)
    {
        App(i).SetUpdateMode(KE_UPDATE_NONE, 0);
        App(i).RandSeed(uSeed * 2u + unsigned(i));
    }
    m_Random.seed(uSeed);
    return true;
}

void CMatchHarness::StartMatch()
{
    Game(SIDE_A).StartGame(1);
    Game(SIDE_B).StartGame(0);
}

void CMatchHarness::Frame(unsigned int uMilliseconds)
{
    if (m_bIrregularFrames)
        uMilliseconds = 10u + unsigned(m_Random() % 51u);
    m_Clock.Advance(uMilliseconds);
    m_uNowMs += uMilliseconds;
    for (int i = 0; i < 2; ++i)
    {
        if (!m_apApp[i])
            continue;
        Drive(i);
        Observe(i);
        m_apApp[i]->DoFlip();
        Observe(i);
    }
}

bool CMatchHarness::Ended(int iSide)
{
    return m_abEnded[iSide];
}

bool CMatchHarness::RunMatch(uint64_t uLimitMs)
{
    const uint64_t uEnd = m_uNowMs + uLimitMs;
    while (m_uNowMs < uEnd)
    {
        Frame(33);
        bool bDone = true;
        for (int i = 0; i < 2; ++i)
        {
            CMoxPlayState* pPlay = Play(i);
            // A side whose opponent left or whose connection went reports nothing.
            const bool bReports = !(pPlay && (pPlay->m_bOpponentLeft || Game(i).m_bGameDisconnected));
            bDone = bDone && m_abEnded[i] && (!bReports || !Game(i).m_aResults.empty());
        }
        if (bDone)
            return true;
    }
    ADD_FAILURE() << "the match did not end in time\n" << Report();
    return false;
}

void CMatchHarness::Disconnect(int iRemaining)
{
    if (iRemaining == SIDE_A || iRemaining == SIDE_B)
        Game(iRemaining).OpponentLeft(iRemaining == SIDE_A ? USER_B : USER_A);
    for (int i = 0; i < 2; ++i)
        Game(i).GameDisconnect(0);
}

// ---- the transport

void CMatchHarness::Send(int iFromSide, const unsigned char* pData, unsigned int uSize)
{
    sMatchLink& link = m_aLink[iFromSide];
    ++link.iSent;
    std::vector<uint8_t> aBytes(pData, pData + uSize);
    link.aSentBytes.push_back(aBytes);
    if (uSize >= 12 && pData[0] != 1)
    {
        int iId;
        std::memcpy(&iId, pData + 4, 4);
        link.aSendTimes[iId].push_back(m_uNowMs);
    }
    std::uniform_real_distribution<double> share(0.0, 1.0);
    auto Delay = [&]
    {
        return link.uDelayMax > link.uDelayMin
                   ? link.uDelayMin + unsigned(m_Random() % (link.uDelayMax - link.uDelayMin + 1u))
                   : link.uDelayMin;
    };
    if (share(m_Random) < link.fLoss)
    {
        ++link.iLost;
        return;
    }
    if (share(m_Random) < link.fDuplicate)
    {
        ++link.iDuplicated;
        Queue(1 - iFromSide, aBytes, Delay());
    }
    Queue(1 - iFromSide, std::move(aBytes), Delay());
}

void CMatchHarness::Inject(int iToSide, const std::vector<uint8_t>& aBytes)
{
    Queue(iToSide, aBytes, 0);
}

void CMatchHarness::Queue(int iToSide, std::vector<uint8_t> aBytes, unsigned int uDelay)
{
    m_aQueue[iToSide].push_back({m_uNowMs + uDelay, m_uOrder++, std::move(aBytes)});
}

void CMatchHarness::Deliver(int iToSide)
{
    std::vector<sPending>& queue = m_aQueue[iToSide];
    std::stable_sort(queue.begin(), queue.end(),
                     [](const sPending& a, const sPending& b)
                     { return a.uDueMs != b.uDueMs ? a.uDueMs < b.uDueMs : a.uOrder < b.uOrder; });
    while (!queue.empty() && queue.front().uDueMs <= m_uNowMs)
    {
        std::vector<uint8_t> aBytes = std::move(queue.front().aBytes);
        queue.erase(queue.begin());
        ++m_aLink[1 - iToSide].iDelivered;
        m_apGame[iToSide]->RecvGameMsg(aBytes.data(), (unsigned int)aBytes.size());
    }
}

// ---- scripts and logs

void CMatchHarness::Drive(int iSide)
{
    CMoxPlayState* pPlay = Play(iSide);
    if (!pPlay || !pPlay->m_pLiveScene || pPlay->m_ePlayState != PLAYSTATE_OWN_TURN || !pPlay->m_bStarted ||
        pPlay->m_bActionTaken || m_aiTurn[iSide] <= 0)
        return;
    const size_t uTurn = size_t(m_aiTurn[iSide] - 1);
    if (uTurn >= m_aScript[iSide].size() || m_aScript[iSide][uTurn].bWait || m_abActed[iSide])
        return;
    const sMatchTurn& turn = m_aScript[iSide][uTurn];
    if (m_bTouchInput)
    {
        m_abActed[iSide] = DriveByTouch(iSide, pPlay, turn);
        return;
    }
    CPlayer& own = pPlay->m_pLiveScene->m_Players[pPlay->m_iOwnPlayer];
    own.m_iSelectedAction = turn.iAction;
    own.m_vAim.Set(turn.fAimX, turn.fAimY);
    own.m_vStretch.Set(turn.fAimX, turn.fAimY);
    m_abActed[iSide] = true;
    pPlay->CreateAction();
}

void CMatchHarness::Observe(int iSide)
{
    CMoxPlayState* pPlay = Play(iSide);
    if (m_abEnded[iSide])
        return;
    if (!pPlay)
    {
        // The screen went away (left, or the session ended) without a last look.
        if (m_abHadPlay[iSide])
        {
            m_aLog[iSide].push_back(sMatchLogRecord());
            m_aLog[iSide].back().bEnd = true;
            m_abEnded[iSide] = true;
        }
        return;
    }
    m_abHadPlay[iSide] = true;
    const PLAYSTATE eState = pPlay->m_ePlayState;
    if (eState == PLAYSTATE_GAME_OVER || eState == PLAYSTATE_LEFT)
    {
        m_aLog[iSide].push_back(Record(iSide, true));
        m_abEnded[iSide] = true;
        return;
    }
    // A round's first turn is looked at once its countdown is over: items the other device
    // could not load are dropped during it.
    if ((eState != PLAYSTATE_OWN_TURN && eState != PLAYSTATE_OPPONENT_TURN) || !pPlay->m_bStarted)
        return;
    // A turn starts when the turn player or the round changes.
    const int iKey = pPlay->m_iTurnPlayer + 2 * pPlay->m_iRoundsPlayed;
    if (iKey == m_aiLastTurnKey[iSide])
        return;
    m_aiLastTurnKey[iSide] = iKey;
    m_aLog[iSide].push_back(Record(iSide, false));
    if (eState == PLAYSTATE_OWN_TURN)
    {
        ++m_aiTurn[iSide];
        m_abActed[iSide] = false;
        m_aeTouch[iSide] = TOUCH_IDLE;
        m_aiTouchFrames[iSide] = 0;
    }
}

// The buttons that select actions 0-3; the special actions share one.
static int ActionButton(int iAction)
{
    return iAction >= 0 && iAction <= 3 ? PLAY_BUTTON_JUMP + iAction : PLAY_BUTTON_SPECIAL;
}

bool CMatchHarness::DriveByTouch(int iSide, CMoxPlayState* pPlay, const sMatchTurn& turn)
{
    CHarnessGame& game = Game(iSide);
    CPlayer& own = pPlay->m_pLiveScene->m_Players[pPlay->m_iOwnPlayer];
    if (!own.m_pBody || !game.GetRenderer())
        return false;
    int* at = m_aiTouchAt[iSide];
    auto Down = [&](float x, float y)
    {
        at[0] = int(std::lround(x));
        at[1] = int(std::lround(y));
        game.OnMouseButton(0, at[0], at[1]);
    };
    switch (m_aeTouch[iSide])
    {
    case TOUCH_BUTTON:
        game.OnMouseButtonUp(0, at[0], at[1]);
        m_aeTouch[iSide] = TOUCH_IDLE;
        return false;
    case TOUCH_IDLE:
    {
        if (own.m_iSelectedAction != turn.iAction && m_aiTouchFrames[iSide] < 4)
        {
            // A tap on the action's button; a few tries, then the aim goes with what is selected.
            const CKorvelRect<float>& rc = pPlay->m_rcButtons[ActionButton(turn.iAction)];
            Down(rc.left + rc.GetWidth() / 2.0f, rc.top + rc.GetHeight() / 2.0f);
            ++m_aiTouchFrames[iSide];
            m_aeTouch[iSide] = TOUCH_BUTTON;
            return false;
        }
        CKorvelVector2 vFlomp;
        game.GetRenderer()->m_Camera.WorldToScreen(own.m_pBody->m_vPosition, &vFlomp);
        Down(vFlomp.x, vFlomp.y);
        m_aiTouchFrames[iSide] = 0;
        m_aeTouch[iSide] = TOUCH_AIM;
        return false;
    }
    case TOUCH_AIM:
    {
        const float dx = own.m_vAim.x - turn.fAimX, dy = own.m_vAim.y - turn.fAimY;
        if ((pPlay->m_bAiming && own.m_bStretching && dx * dx + dy * dy < 0.008f * 0.008f) ||
            m_aiTouchFrames[iSide] >= 20)
        {
            game.OnMouseButtonUp(0, at[0], at[1]);
            m_aeTouch[iSide] = TOUCH_IDLE;
            m_aiTouchFrames[iSide] = 0;
            ++m_aiTouchActions[iSide];
            return true;
        }
        // The finger where the aim is that vector: the drag runs opposite to the aim's x,
        // scaled from a quarter of the screen's width, beyond the grab radius.
        const float fLength = std::sqrt(turn.fAimX * turn.fAimX + turn.fAimY * turn.fAimY);
        const float fQuarter = float(game.GetRenderer()->GetScreenWidth()) / 4.0f;
        const float fPull = fLength * fQuarter / 0.75f + own.m_vStretchPad.x;
        CKorvelVector2 vFlomp;
        game.GetRenderer()->m_Camera.WorldToScreen(own.m_pBody->m_vPosition, &vFlomp);
        const float ux = fLength > 0.0f ? -turn.fAimX / fLength : 0.0f;
        const float uy = fLength > 0.0f ? turn.fAimY / fLength : 1.0f;
        at[0] = int(std::lround(vFlomp.x - ux * fPull));
        at[1] = int(std::lround(vFlomp.y - uy * fPull));
        game.OnMouseDrag(0, at[0], at[1]);
        ++m_aiTouchFrames[iSide];
        return false;
    }
    }
    return false;
}
