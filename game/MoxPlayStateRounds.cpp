// Rounds and the match: who won, the next round on a fresh scene, readiness, leaving and
// the device's back key.
#include "Framework/Shell/VornApplication.h"
#include "game/MoxPlayState.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "game/StateGame.h"

namespace
{
const int kNoResult = 255;
const int kSceneDraws = 1000;

int Clamp(int i, int iLow, int iHigh)
{
    return i < iLow ? iLow : (i > iHigh ? iHigh : i);
}
} // namespace

int CMoxPlayState::CheckForRoundEnd()
{
    if (m_bRoundEnded)
        return 1;
    if (!m_pLiveScene)
        return 0;
    const bool bAlive0 = m_pLiveScene->m_Players[0].m_bAlive != 0;
    const bool bAlive1 = m_pLiveScene->m_Players[1].m_bAlive != 0;
    if (bAlive0 && bAlive1)
        return 0;
    m_bRoundEnded = 1;
    if (!bAlive0 && !bAlive1)
        CreateRanks(kNoResult);
    else
        CreateRanks(bAlive0 ? 0 : 1);
    return 1;
}

int CMoxPlayState::CheckForGameOver()
{
    if (m_bGameOver)
        return 1;
    if (!m_pLiveScene)
        return 0;
    for (int p = 0; p < 2; ++p)
    {
        if (m_pLiveScene->m_Players[p].m_cRoundWins <= 0)
            continue;
        m_bGameOver = 1;
        // The root state marks a training scene cleared by this when the screen goes.
        if (p == m_iOwnPlayer)
            SetUserInt(1);
        CreateRanks(p);
        return 1;
    }
    return 0;
}

void CMoxPlayState::NextRound()
{
    m_iStartingPlayer = m_iStartingPlayer == 0 ? 1 : 0;
    if (m_bSinglePlayer)
    {
        m_iNextStateID = STATE_TRAINING;
        m_bLeave = 1;
        return;
    }
    m_iRandomScene = RandomizeScene();
    const int iStart0 = RandomizeStartPoint();
    const int iStart1 = RandomizeStartPoint();
    LoadGame(m_iStartingPlayer, m_iRandomScene, iStart0, iStart1);
}

int CMoxPlayState::WaitForAllPlayersReady()
{
    if (m_pLiveScene && m_pLiveScene->m_Players[0].m_bReady && m_pLiveScene->m_Players[1].m_bReady)
        m_bAllReady = 1;
    return (int)m_bAllReady;
}

void CMoxPlayState::LeaveGame()
{
    CreateRanks(m_iOwnPlayer == 0 ? 1 : 0);
    SetPlayState(PLAYSTATE_LEFT);
    GameEnd(1);
}

void CMoxPlayState::GameSessionEnd()
{
    if (!m_bSinglePlayer)
        m_bLeave = 1;
}

void CMoxPlayState::OnBackButton()
{
    CMoxButton* pContinue = m_pButtons ? m_pButtons->GetButtonByID(PLAY_BUTTON_CONTINUE) : nullptr;
    if (pContinue && pContinue->m_bVisible)
    {
        if (!m_bSinglePlayer)
            Rematch(1);
        else if (m_iResult != m_iOwnPlayer)
        {
            m_bQuickStart = 1;
            LoadGame(0, m_iSceneIndex, 0, 0);
        }
        else
            LeaveGame();
        return;
    }
    CMoxButton* pReady = m_pButtons ? m_pButtons->GetButtonByID(PLAY_BUTTON_READY) : nullptr;
    if (m_ePlayState == PLAYSTATE_BETWEEN_ROUNDS && !m_bReadySent && !m_bQuitDialog && pReady &&
        pReady->m_bVisible)
    {
        if (!m_bSinglePlayer)
        {
            PlayerReady(m_iOwnPlayer);
            m_bReadySent = 1;
        }
        else
        {
            m_bQuickStart = 1;
            LoadGame(0, m_iSceneIndex, 0, 0);
        }
        return;
    }
    m_bQuitDialog = m_bQuitDialog ? 0 : 1;
    ShowButton(PLAY_BUTTON_QUIT_YES, m_bQuitDialog != 0);
    ShowButton(PLAY_BUTTON_QUIT_NO, m_bQuitDialog != 0);
}

int CMoxPlayState::RandomizeScene()
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pApp)
        return 0;
    CKorvelArray<int>& aDrawn = m_pGame->m_aScenesDrawn;
    for (;;)
    {
        for (int iTry = 0; iTry < kSceneDraws; ++iTry)
        {
            const int r = Clamp(pApp->RandInt(0, FLOMP_SCENE_COUNT - 1), 0, FLOMP_SCENE_COUNT - 1);
            bool bDrawn = false;
            for (int i = 0; i < aDrawn.GetCount() && !bDrawn; ++i)
                bDrawn = aDrawn[i] == r;
            if (!bDrawn)
            {
                aDrawn.Add(r);
                return r;
            }
        }
        // Every scene was played: a fresh cycle, whose first draw always succeeds.
        aDrawn.RemoveAll();
    }
}

int CMoxPlayState::RandomizeStartPoint()
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    return pApp ? Clamp(pApp->RandInt(0, 2), 0, 2) : 0;
}

int CMoxPlayState::RandomizeFirstPlayer()
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    return pApp ? Clamp(pApp->RandInt(0, 1), 0, 1) : 0;
}

void CMoxPlayState::RandomizeStart()
{
    const int iFirst = RandomizeFirstPlayer();
    const int iScene = RandomizeScene();
    const int iStart0 = RandomizeStartPoint();
    const int iStart1 = RandomizeStartPoint();
    if (m_bMaster && m_pLiveScene)
        for (CPlayer& player : m_pLiveScene->m_Players)
            player.m_bReady = 0;
    LoadGame(iFirst, iScene, iStart0, iStart1);
}
