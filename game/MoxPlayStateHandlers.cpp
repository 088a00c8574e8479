// The handlers of the match's flow: loading and starting a round, turns, the round's and
// the match's end, readiness, leaving, playback and the virtual items. Every index read
// from an event is checked: the bytes may come from the other device.
#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornLanguage.h"
#include "game/MoxEvent.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "game/StateGame.h"

namespace
{
const int kTextChatHelp = 15;

bool IsPlayer(int i)
{
    return i == 0 || i == 1;
}

int ReadI8(const CMoxEvent* pEvent, int iOffset)
{
    return (signed char)pEvent->m_pPayload[iOffset];
}
} // namespace

void CMoxPlayState::EventLoadGame(CMoxEvent* pEvent)
{
    ResetVariables();
    const int iScene = MoxGetI32(pEvent->m_pPayload, MoxField::LOAD_SCENE);
    const int iCount = m_bSinglePlayer ? TRAINING_SCENE_COUNT : FLOMP_SCENE_COUNT;
    if (iScene < 0 || iScene >= iCount || !m_pLiveScene)
    {
        LeaveGame();
        return;
    }
    const CKorvelString& strName =
        m_bSinglePlayer ? res_flomp_training_scenes[iScene].name : res_flomp_scenes[iScene].name;
    if (!m_pLiveScene->LoadScene(strName))
    {
        LeaveGame();
        return;
    }
    m_iSceneIndex = iScene;
    const int aOffsets[2] = {MoxField::LOAD_START_POINT0, MoxField::LOAD_START_POINT1};
    for (int p = 0; p < 2; ++p)
    {
        int iPoint = MoxGetI32(pEvent->m_pPayload, aOffsets[p]);
        if (iPoint < 0 || iPoint >= SCENE_PLAYER_RECORDS)
        {
            iPoint = 0;
            MoxPutI32(pEvent->m_pPayload, aOffsets[p], 0);
        }
        if (CBody* pBody = m_pLiveScene->m_Players[p].m_pBody)
            pBody->m_vPosition = m_pLiveScene->m_StartPoints[p][iPoint];
    }
    const int iFirst = ReadI8(pEvent, MoxField::LOAD_FIRST_PLAYER);
    if (IsPlayer(iFirst))
        m_iStartingPlayer = iFirst;
    InitControls(0);
    if (!m_bSinglePlayer)
        SendVirtualItems();
    if (m_pGame && m_pGame->GetChat())
        m_pGame->GetChat()->Clear();
    if (m_bSinglePlayer)
    {
        for (CPlayer& player : m_pLiveScene->m_Players)
            player.m_cRoundWins = 0;
        // A retry after a lost lesson is a new match: its win must be recorded and shown.
        m_bGameOver = m_bResultsSent = m_bEndSettled = m_bGameOverSent = m_bEndScreen = 0;
        m_bOwnGameOverSent = m_bRematchSent = 0;
        LoadSinglePlayerHelp();
    }
    // Readiness counts per loaded round: the master starts only once this round's scene
    // (and with it the opponent's items) is loaded on both devices.
    for (CPlayer& player : m_pLiveScene->m_Players)
        player.m_bReady = 0;
    m_bAllReady = 0;
    PlayerReady(m_iOwnPlayer);
    SetPlayState(PLAYSTATE_LOADED);
    m_bStarted = 0;
}

void CMoxPlayState::EventStartGame(CMoxEvent* pEvent)
{
    TakeTexture(TEXTURE_BACKGROUND_BATTLE);
    TakeTexture(TEXTURE_BACKGROUND_UNIQUE);
    if (m_bSinglePlayer)
    {
        m_iOwnPlayer = 0;
        m_iOpponent = 1;
    }
    const int iFirst = ReadI8(pEvent, MoxField::START_FIRST_PLAYER);
    CCamera* pCamera = m_pRenderer ? &m_pRenderer->m_Camera : nullptr;
    if (pCamera)
    {
        pCamera->ClearTarget();
        pCamera->SetTarget(CKorvelVector2(0.0f, 1.5f));
        pCamera->m_fZoomTarget = CAMERA_ZOOM_MIN;
    }
    SetRunPhysics(1);
    if (m_bQuickStart)
    {
        const int iFollow = IsPlayer(m_iTurnPlayer) ? m_iTurnPlayer : iFirst;
        if (pCamera && IsPlayer(iFollow) && m_pLiveScene)
        {
            pCamera->SetTargetBody(m_pLiveScene->m_Players[iFollow].m_pBody);
            pCamera->m_fZoomTarget = 0.6f;
        }
        if (m_pLiveScene && IsPlayer(m_iOwnPlayer))
            m_pLiveScene->m_Players[m_iOwnPlayer].m_fZoom = 0.6f;
        m_fBannerFade = 512.0f;
    }
    else
    {
        m_bStarted = 0;
        m_fCountdown = 4.0f;
        if (m_pGame)
            m_pGame->PlayGameSound(SOUND_START_GAME, 0, 0);
    }
    m_bCountdownRunning = 1;
    InitControls(1);
    SetPlayState(PLAYSTATE_STARTED);
    // The first turn is applied here alone; the event counter moves as if it were written.
    if (m_pGame)
        ++m_pGame->GetContext().m_iEventCounter;
    ApplyNextPlayer(iFirst);

    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (m_iRoundsPlayed < 1 && m_pGame && !m_pGame->m_bChatHelpPlayed && !m_bSinglePlayer &&
        m_pGame->GetChat() && m_pGame->GetGameLanguage() && m_pLiveScene && IsPlayer(m_iOwnPlayer) &&
        m_pRenderer)
    {
        const CPlayer& own = m_pLiveScene->m_Players[m_iOwnPlayer];
        CKorvelVector2 vPosition, vTarget;
        IMoxChat::SpeakerPlace(m_iOwnPlayer, m_pRenderer->GetScreenWidth(), m_pRenderer->GetScreenHeight(),
                               vPosition, vTarget);
        m_pGame->GetChat()->AddMessage(m_pGame->GetGameLanguage()->GetText(kTextChatHelp), own.m_strName,
                                       own.m_Color.Get8888(), vPosition, vTarget, 0);
    }
    if (pApp && pApp->GetVibrations() && pApp->GetDevice())
        pApp->GetDevice()->Vibrate(CVornDevice::VIBRA_SHORT);
}

void CMoxPlayState::EventRoundOver(CMoxEvent* pEvent)
{
    const int iWinner = pEvent->m_pPayload[MoxField::ROUND_WINNER];
    m_iResult = iWinner;
    if (m_pLiveScene && IsPlayer(iWinner))
        ++m_pLiveScene->m_Players[iWinner].m_cRoundWins;
    if (m_pGame)
        m_pGame->PlayGameSound(iWinner == m_iOwnPlayer  ? SOUND_WIN_GAME
                               : iWinner == m_iOpponent ? SOUND_LOSE_GAME
                                                        : SOUND_TIE_GAME,
                               0, 0);
    m_bOwnTurnPlayed = 0;
    m_fBannerFade = 0.0f;
    if (IsPlayer(iWinner))
    {
        if (iWinner == m_iOwnPlayer && m_pRenderer && m_pLiveScene)
        {
            m_pRenderer->m_Camera.SetTargetBody(m_pLiveScene->m_Players[iWinner].m_pBody);
            m_pRenderer->m_Camera.m_fZoomTarget = CAMERA_ZOOM_MAX;
        }
        // Both devices rank the round alike, so both report the same lists.
        CreateRanks(iWinner);
    }
    m_iTurnPlayer = -1;
    ++m_iRoundsPlayed;
    m_bTie = m_pLiveScene && m_pLiveScene->m_Players[0].m_cRoundWins <= 0 &&
             m_pLiveScene->m_Players[1].m_cRoundWins <= 0;
    SetPlayState(PLAYSTATE_ROUND_ENDED);
    if (m_bMaster)
    {
        // The next round waits for both players' ready events, not for those of this round.
        if (m_pLiveScene)
            for (CPlayer& player : m_pLiveScene->m_Players)
                player.m_bReady = 0;
        m_bAllReady = 0;
        if (CheckForGameOver())
            GameOver(GAME_OVER_DECIDED);
        else
        {
            SetPlayState(PLAYSTATE_BETWEEN_ROUNDS);
            RoundWaiting();
        }
    }
    if (m_bSinglePlayer)
        SetPlayState(PLAYSTATE_BETWEEN_ROUNDS);
}

void CMoxPlayState::EventGameOver(CMoxEvent* pEvent)
{
    const int iSender = ReadI8(pEvent, MoxField::OVER_SENDER);
    if (!IsPlayer(iSender))
        return;
    m_bSimulating = 0;
    SetRunPhysics(0);
    m_bGameOver = 1;
    m_iResult = pEvent->m_pPayload[MoxField::OVER_WINNER];
    const bool bOwnWin = m_iResult == m_iOwnPlayer;
    if (bOwnWin && m_pRenderer && m_pLiveScene)
    {
        m_pRenderer->m_Camera.SetTargetBody(m_pLiveScene->m_Players[m_iResult].m_pBody);
        m_pRenderer->m_Camera.m_fZoomTarget = CAMERA_ZOOM_MAX;
    }
    const int iKind = pEvent->m_pPayload[MoxField::OVER_KIND];
    const bool bOpponentGone = iKind == GAME_OVER_CONNECTION || iKind == GAME_OVER_LEFT;
    if (bOpponentGone)
    {
        // Every game-end flag: the end is settled here, with no game end to wait for from
        // the opponent, who is gone.
        m_bOpponentLeft = 1;
        m_bResultsSent = m_bEndSettled = m_bGameOverSent = m_bEndScreen = 1;
        // No game end follows to start the end screen's clock: the winner shows from now,
        // not for no time at all from a clock that started with the round.
        m_fStateTime = GetNow();
        if (bOwnWin && m_pGame)
            m_pGame->PlayGameSound(SOUND_WIN_GAME, 0, 0);
    }
    else if (iKind == GAME_OVER_TIME_OUTS)
    {
        m_bTimeOutLoss = 1;
        if (m_pGame && bOwnWin)
            m_pGame->PlayGameSound(SOUND_WIN_GAME, 0, 0);
        else if (m_pGame && m_iResult == m_iOpponent)
            m_pGame->PlayGameSound(SOUND_LOSE_GAME, 0, 0);
    }
    CreateRanks(m_iResult);
    // Reported at once: one whose window died sends nothing, and the stayer may close his
    // own from the chat page; the match is recorded either way.
    if (bOpponentGone && !m_bSinglePlayer && m_pGame)
        m_pGame->SendResults(m_aResultIds, m_aResultRanks, 0);
    if (iSender == m_iOpponent && !m_bOwnGameOverSent && m_pLocalEvents)
    {
        // Answered once, with the same record under the own index.
        unsigned char aBytes[MOX_EVENT_MAX_SIZE] = {};
        const int iSize = pEvent->m_iSize < MOX_EVENT_MAX_SIZE ? pEvent->m_iSize : MOX_EVENT_MAX_SIZE;
        for (int i = 0; i < iSize; ++i)
            aBytes[i] = pEvent->m_pPayload[i];
        aBytes[MoxField::OVER_SENDER] = (unsigned char)m_iOwnPlayer;
        MoxPutI32(aBytes, MoxField::ID, NextEventId());
        m_pLocalEvents->AddEvent(EVENT_GAME_OVER, aBytes, iSize, 1);
    }
    else
        m_bOwnGameOverSent = 1;
    SetPlayState(PLAYSTATE_GAME_OVER);
    if (!m_bGameOverSent)
        GameEnd(0);
}

void CMoxPlayState::ApplyNextPlayer(int iPlayer)
{
    if (m_bIgnoreNextPlayer)
    {
        m_bIgnoreNextPlayer = 0;
        return;
    }
    const int iNext = m_bSinglePlayer ? 0 : iPlayer;
    const int iPrevious = m_iTurnPlayer;
    m_iTurnPlayer = iNext;
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (iNext == m_iOwnPlayer && pApp && pApp->GetVibrations() && pApp->GetDevice())
        pApp->GetDevice()->Vibrate(CVornDevice::VIBRA_SHORT);
    if (m_pRenderer)
    {
        CCamera& camera = m_pRenderer->m_Camera;
        if (m_bStarted && (!m_bOwnTurnPlayed || iNext == m_iOwnPlayer))
        {
            if (IsPlayer(iNext) && m_pLiveScene)
            {
                camera.SetTargetBody(m_pLiveScene->m_Players[iNext].m_pBody);
                if (IsPlayer(m_iOwnPlayer))
                    camera.m_fZoomTarget = m_pLiveScene->m_Players[m_iOwnPlayer].m_fZoom;
            }
            else
                camera.ClearTarget();
            m_fBannerFade = 512.0f;
        }
        if (!m_bStarted)
        {
            m_fBannerFade = 0.0f;
            camera.ClearTarget();
            camera.SetTarget(CKorvelVector2(0.0f, 1.5f));
            camera.m_fZoomTarget = CAMERA_ZOOM_MIN;
        }
    }
    if (iNext == m_iOwnPlayer)
    {
        SetPlayState(PLAYSTATE_OWN_TURN);
        StartTurn();
    }
    else
    {
        SetPlayState(PLAYSTATE_OPPONENT_TURN);
        if (!IsPlayer(iNext))
            m_iTurnPlayer = iPrevious;
    }
    if (m_pPlaybackEvents)
        m_pPlaybackEvents->Clear();
    m_bTurnPackReceived = m_bTurnPackReady = m_bOpponentPlaybackDone = m_bOwnPlaybackDone = 0;
    m_pScene = m_pLiveScene;
    // An aim still shrinking back from the last shot would stay drawn through the new turn.
    m_bAiming = m_bReleasePending = 0;
    if (m_pLiveScene)
        for (CPlayer& player : m_pLiveScene->m_Players)
            if (!player.m_bWhipActive)
            {
                player.m_bStretching = player.m_bShowAim = 0;
                player.m_vStretch.Set(0.0f, 0.0f);
            }
}

void CMoxPlayState::EventNextPlayer(CMoxEvent* pEvent)
{
    ApplyNextPlayer(ReadI8(pEvent, MoxField::NEXT_PLAYER));
}

void CMoxPlayState::EventGameEnd(CMoxEvent* pEvent)
{
    m_fStateTime = GetNow();
    const unsigned int uLeave = (unsigned int)MoxGetI32(pEvent->m_pPayload, MoxField::END_LEAVE);
    if (!m_bSinglePlayer && m_pGame)
        m_pGame->SendResults(m_aResultIds, m_aResultRanks, uLeave);
    m_bResultsSent = 1;
    m_bEndSettled = 1;
    m_bEndScreen = 1;
    // The root state removes the screen after its step; the running frame finishes first.
    if (uLeave)
    {
        SetPlayState(PLAYSTATE_LEFT);
        Remove();
    }
}

void CMoxPlayState::EventRematch(CMoxEvent*)
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!m_bSinglePlayer)
    {
        if (pApp)
            pApp->OnGameplayEnd(0);
    }
    else
        Remove();
    m_bRematchSent = 1;
}

void CMoxPlayState::EventPlayerReady(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::READY_PLAYER);
    if (IsPlayer(iPlayer) && m_pLiveScene)
        m_pLiveScene->m_Players[iPlayer].m_bReady = 1;
}

void CMoxPlayState::EventPlayerLeave(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::LEAVE_PLAYER);
    if (!IsPlayer(iPlayer))
        return;
    if (m_pLiveScene)
        m_pLiveScene->m_Players[iPlayer].m_bGone = 1;
    CreateRanks(iPlayer == 0 ? 1 : 0);
    GameOver(GAME_OVER_LEFT);
}

void CMoxPlayState::EventNoMoreEvents(CMoxEvent*)
{
    if (m_pGame)
        m_pGame->ResetTimeStamp();
    SetRunPhysics(1);
}

void CMoxPlayState::EventPlaybackDone(CMoxEvent* pEvent)
{
    const int iSender = pEvent->m_pPayload[MoxField::PLAYBACK_SENDER];
    if (IsPlayer(iSender) && iSender != m_iOwnPlayer)
        m_bOpponentPlaybackDone = 1;
}

void CMoxPlayState::EventVirtualItems(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::ITEMS_SENDER);
    const int iCount = ReadI8(pEvent, MoxField::ITEMS_COUNT);
    if (!IsPlayer(iPlayer) || iCount < 0 || iCount > MoxField::ITEMS_MAX)
        return;
    const unsigned char* p = pEvent->m_pPayload;
    int aMissing[MoxField::ITEMS_MAX] = {};
    int iMissing = 0;
    for (int i = 0; i < iCount; ++i)
    {
        const int iItemId = MoxGetI32(p, MoxField::ITEMS_IDS + 4 * i);
        if (!LoadVirtualItem(iPlayer, iItemId, MoxGetI32(p, MoxField::ITEMS_DESCRIPTIONS + 4 * i),
                             MoxGetI32(p, MoxField::ITEMS_FILES + 4 * i)))
            aMissing[iMissing++] = iItemId;
    }
    // The other device may hold the pack this one lacks: one match with a hat on one
    // device only would show two healths and could name two winners.
    if (iMissing && !m_bSinglePlayer)
        DropVirtualItems(iPlayer, aMissing, iMissing);
}

void CMoxPlayState::EventItemsDropped(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::DROPPED_PLAYER);
    const int iCount = ReadI8(pEvent, MoxField::DROPPED_COUNT);
    if (!IsPlayer(iPlayer) || iCount < 0 || iCount > MoxField::ITEMS_MAX)
        return;
    for (int i = 0; i < iCount; ++i)
        DropVirtualItem(iPlayer, MoxGetI32(pEvent->m_pPayload, MoxField::DROPPED_IDS + 4 * i));
}
