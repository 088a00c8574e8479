// The match screen's frame: banner and timers, the start count-down, the events, the
// replay, the play state's own work, the own turn (simulated ahead in fixed steps, or
// its clock with the alert ticks and the time-out) and the world's closing work.
#include <cmath>

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "game/MoxAmbientPlayer.h"
#include "game/MoxEvent.h"
#include "game/MoxParticles.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "game/StateGame.h"

namespace
{
const int kStepsPerFrame = 31;
const float kSimulateLimit = 30.0f;
const float kBannerShown = 512.0f;
const float kBannerLowest = -1000.0f;
const float kBannerFadeRate = 200.0f;
const float kPlayZoom = 0.6f;
const int kAlertTicks = 5;
const float kAlertWindow = 6.0f;
} // namespace

int CMoxPlayState::Update(float fSeconds)
{
    m_fFrameTime = fSeconds;
    m_fBannerFade -= kBannerFadeRate * fSeconds;
    if (m_fBannerFade < kBannerLowest)
        m_fBannerFade = kBannerLowest;
    m_fRunTime += fSeconds;
    m_fTime += fSeconds;

    UpdateCountdown(fSeconds);

    if (!m_bSimulating)
    {
        HandleGameEvents();
        HandleNetworkEvents();
    }
    if (m_ePlayState == PLAYSTATE_OWN_TURN && m_bTurnPackReady && !m_bSimulating)
        HandleRecordedEvents();
    if (m_ePlayState == PLAYSTATE_OPPONENT_TURN && m_bTurnPackReceived && !m_bOwnPlaybackDone)
        HandleRecordedEvents();

    HandleControls();
    if (m_pButtons)
        m_pButtons->Update(fSeconds);

    if (m_pGame && m_pGame->m_bGameDisconnected && m_ePlayState != PLAYSTATE_GAME_OVER)
    {
        SetPlayState(PLAYSTATE_GAME_OVER);
        m_bResultsSent = m_bEndSettled = m_bEndScreen = 1;
        m_fStateTime = GetNow();
    }

    m_fTurnProgress = 0.0f;
    UpdatePlayState();

    if (!m_bSimulating)
    {
        if (m_pRenderer)
            m_pRenderer->m_Camera.m_fZoomLimit = CAMERA_ZOOM_MIN;
        if (m_pScene)
            m_pScene->Update(fSeconds);
        if (m_pExplosions)
            m_pExplosions->Update(fSeconds);
        if (m_pRenderer)
            m_pRenderer->Update(fSeconds);
        if (m_bRunPhysics && m_pPhysics)
            m_pPhysics->Simulate();
        if (m_pAmbient)
            m_pAmbient->Update(fSeconds);
    }

    if (m_bLeave)
    {
        if (m_pGame && m_pGame->GetChat())
            m_pGame->GetChat()->Clear();
        if (!m_pButtons || !m_pButtons->m_bBusy)
        {
            if (m_pAmbient)
                m_pAmbient->StopAll();
            Remove();
        }
    }
    return 1;
}

void CMoxPlayState::UpdateCountdown(float fSeconds)
{
    if (m_bStarted || !m_bCountdownRunning)
        return;
    m_fCountdown -= fSeconds;
    if (m_fCountdown >= 0.0f)
        return;
    m_bStarted = 1;
    if (m_pRenderer && m_pLiveScene)
    {
        CCamera& camera = m_pRenderer->m_Camera;
        if (m_iTurnPlayer >= 0 && m_iTurnPlayer <= 1)
            camera.SetTargetBody(m_pLiveScene->m_Players[m_iTurnPlayer].m_pBody);
        if (m_iOwnPlayer >= 0 && m_iOwnPlayer <= 1)
            m_pLiveScene->m_Players[m_iOwnPlayer].m_fZoom = kPlayZoom;
        camera.m_fZoomTarget = kPlayZoom;
    }
    m_fBannerFade = kBannerShown;
    m_fTurnStart = GetNow();
    m_bCountdownRunning = 0;
    if (m_bSinglePlayer && m_pLiveScene)
        MentorDialog(m_pLiveScene->m_strHelpText);
}

bool CMoxPlayState::IsWaiting(int iType) const
{
    if (!m_pLocalEvents)
        return false;
    for (int i = 0; i < m_pLocalEvents->GetNumEvents(); ++i)
        if (m_pLocalEvents->GetEvent(i)->m_uType == iType)
            return true;
    return false;
}

void CMoxPlayState::UpdatePlayState()
{
    const float fSinceState = GetNow() - m_fStateTime;
    switch (m_ePlayState)
    {
    case PLAYSTATE_LOADED:
        // A start already written is applied in the next frame; one is enough.
        if (IsWaiting(EVENT_START_GAME))
            break;
        if (m_bMaster && WaitForAllPlayersReady())
            StartGame(m_iStartingPlayer);
        else if (m_bSinglePlayer)
            StartGame(0);
        break;
    case PLAYSTATE_GAME_OVER:
        SetRunPhysics(0);
        if (!(m_bResultsSent && m_bEndSettled && m_bEndScreen))
            break;
        ShowButton(PLAY_BUTTON_QUIT, false);
        if (m_bSinglePlayer)
        {
            ShowButton(PLAY_BUTTON_RESTART, false);
            if (m_pGame && m_pGame->GetChat())
                m_pGame->GetChat()->Clear();
        }
        if (m_bLeave)
            break;
        if (fSinceState > 1.0f)
        {
            ShowButton(PLAY_BUTTON_CONTINUE, true);
            m_bQuitDialog = 0;
            ShowButton(PLAY_BUTTON_QUIT_YES, false);
            ShowButton(PLAY_BUTTON_QUIT_NO, false);
        }
        if (fSinceState > 5.0f && !m_bSinglePlayer && !m_bRematchSent)
            Rematch(0);
        break;
    case PLAYSTATE_BETWEEN_ROUNDS:
        if (m_bMaster && WaitForAllPlayersReady())
            NextRound();
        if (m_bSinglePlayer && fSinceState > 3.0f && !IsWaiting(EVENT_LOAD_GAME))
        {
            m_bQuickStart = 1;
            LoadGame(0, m_iSceneIndex, 0, 0);
        }
        if (!m_bReadySent && fSinceState > 5.0f)
        {
            PlayerReady(m_iOwnPlayer);
            m_bReadySent = 1;
        }
        break;
    case PLAYSTATE_OPPONENT_TURN:
        CheckForOutOfBounds();
        m_fBannerFade = kBannerShown;
        break;
    case PLAYSTATE_OWN_TURN:
        if (m_bSimulating)
            SimulateAhead();
        else
        {
            HandleTurn();
            CheckForOutOfBounds();
        }
        UpdateTurnClock();
        break;
    default:
        break;
    }
}

void CMoxPlayState::SimulateAhead()
{
    for (int i = 0; i < kStepsPerFrame && m_bSimulating; ++i)
    {
        if (m_bTurnPackReady)
            break;
        HandleGameEvents();
        HandleTurn();
        if (m_pLiveScene)
            m_pLiveScene->Update(GAME_STEP_SECONDS);
        if (m_pExplosions)
            m_pExplosions->Update(GAME_STEP_SECONDS);
        if (m_pGame)
            m_pGame->m_iSimulatedTime += GAME_STEP_MS;
        if (m_bWaterTiming)
            m_fWaterTime += GAME_STEP_SECONDS;
        if (m_pPhysics)
            m_pPhysics->Simulate();
        m_fSimulatedTime += GAME_STEP_SECONDS;
        // A recording that did not fit one pack cannot be sent; it goes at once.
        if (m_bSimulating && (m_fSimulatedTime > kSimulateLimit || m_bRecordOverflow))
            DiscardAction();
    }
    if (m_pGame)
        m_pGame->TimingFreshStart();
}

void CMoxPlayState::DiscardAction()
{
    RestoreScene();
    m_bSimulating = 0;
    m_bActionTaken = 0;
    m_bRecordOverflow = 0;
    for (int i = 0; i < m_TurnRecord.GetCount(); ++i)
        delete m_TurnRecord[i];
    m_TurnRecord.Clear();
    // What the discarded steps wrote for the recording must not reach the restored scene.
    if (m_pLocalEvents)
        for (int i = 0; i < m_pLocalEvents->GetNumEvents();)
        {
            CMoxEvent* pEvent = m_pLocalEvents->GetEvent(i);
            if (pEvent->m_iSize >= MoxField::HEADER_SIZE &&
                MoxGetI32(pEvent->m_pPayload, MoxField::TIME) >= 0)
                delete m_pLocalEvents->TakeEvent(i);
            else
                ++i;
        }
    if (m_pGame)
        m_pGame->ResetTimeStamp();
}

void CMoxPlayState::UpdateTurnClock()
{
    if (!m_bStarted || m_bActionTaken || m_bGameOver || m_bRoundEnded || m_bTimedOut)
        return;
    m_fNow = GetNow();
    m_fTurnElapsed = m_fNow - m_fTurnStart;
    m_fTurnProgress = 1.0f - m_fTurnElapsed / m_fTurnLength;
    const float fLeft = m_fTurnLength - m_fTurnElapsed;
    if (fLeft < kAlertWindow)
        for (int k = 1; k <= kAlertTicks; ++k)
            if (fLeft < (float)k && !m_bAlertFired[k])
                PlayAlertTick(k);

    if (m_fAlertScale != 0.0f)
    {
        m_fAlertScale += m_fAlertSpeed;
        m_fAlertSpeed -= m_fAlertDecay;
        if (m_fAlertScale < 0.0f)
            m_fAlertScale = 0.0f;
        if (m_fAlertScale > 2.0f)
            m_fAlertScale = 2.0f;
    }
    if (m_fAlertScale == 0.0f)
        m_fAlertSpeed = 0.0f;

    if (m_fTurnElapsed < m_fTurnLength)
        return;
    m_bTimedOut = 1;
    if (m_pGame)
        m_pGame->PlayGameSound(SOUND_TIMER_END, 0, 0);
    if (!m_pLiveScene || m_iOwnPlayer < 0 || m_iOwnPlayer > 1)
        return;
    CPlayer& own = m_pLiveScene->m_Players[m_iOwnPlayer];
    --own.m_iTimeOutsLeft;
    if (own.m_iTimeOutsLeft < 1)
    {
        m_bTimeOutLoss = 1;
        CreateRanks(m_iOpponent);
        GameOver(GAME_OVER_TIME_OUTS);
    }
    else
        EndTurn();
}

void CMoxPlayState::PlayAlertTick(int k)
{
    if (m_pGame)
    {
        // The frequency is read once: every tick changes the sound's own.
        CKorvelSoundWave*& pSlot = m_pGame->GetContext().psndGameSounds[SOUND_TIMER_ALERT];
        CVornApplication* pApp = m_pGame->GetApp();
        if (!pSlot && pApp)
            pSlot = pApp->GetSound(GAME_SOUNDS[SOUND_TIMER_ALERT].name, 0, 0);
        if (m_iAlertFrequency == 0 && pSlot && pApp && pApp->IsSoundReady(pSlot))
            m_iAlertFrequency = (int)pSlot->GetFrequency(0);
        const float fPitch = 1.0f + (float)(kAlertTicks - k) / 10.0f;
        // Rounded half up; the frequency is never negative.
        const float fFrequency = std::floor((float)m_iAlertFrequency * fPitch + 0.5f);
        m_pGame->PlayGameSound(SOUND_TIMER_ALERT, 0, (int)fFrequency);
        if (k == kAlertTicks && pApp && pApp->GetVibrations() && pApp->GetDevice())
            pApp->GetDevice()->Vibrate(CVornDevice::VIBRA_SHORT);
    }
    m_bAlertFired[k] = 1;
    m_fAlertScale = 1.0f;
    m_fAlertSpeed = 0.3f;
}
