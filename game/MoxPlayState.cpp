#include "game/MoxPlayState.h"

#include <cstdlib>
#include <memory>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "Framework/Shell/VornApplication.h"
#include "game/MoxAmbientPlayer.h"
#include "game/MoxEvent.h"
#include "game/MoxParticles.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
const int kTieCode = 666;
const int kNoResult = 255;

// A scene is never deleted through its camera interface, whose destructor is protected.
void DeleteScene(CMoxScene*& pScene)
{
    std::default_delete<CMoxScene>()(pScene);
    pScene = nullptr;
}
} // namespace

CMoxPlayState::CMoxPlayState()
    : m_bSinglePlayer(0), m_bQuickStart(0), m_fTurnProgress(0.0f), m_iBackground(0), m_fCountdown(0.0f),
      m_bStarted(0), m_bCountdownRunning(0), m_iTurnPlayer(0), m_iResult(kNoResult), m_bRunPhysics(0),
      m_bTimeOutLoss(0), m_bIgnoreNextPlayer(0), m_iRoundsPlayed(0), m_iAlertFrequency(0),
      m_pLocalEvents(nullptr), m_pOutgoingEvents(nullptr), m_pAckEvents(nullptr), m_pPlaybackEvents(nullptr),
      m_ePlayState(PLAYSTATE_RESET), m_bRematchSent(0), m_fSimulatedTime(0.0f), m_bLeave(0),
      m_pButtons(nullptr), m_pScene(nullptr), m_pLiveScene(nullptr), m_pBackupScene(nullptr),
      m_pBackupPhysics(nullptr), m_iSceneIndex(0), m_pExplosions(nullptr), m_pAmbient(nullptr),
      m_fAlertScale(0.0f), m_fAlertSpeed(0.0f), m_fAlertDecay(0.1f), m_bAlertFired(), m_fTime(0.0f),
      m_bTurnPackReceived(0), m_bTurnPackReady(0), m_bOpponentPlaybackDone(0), m_bOwnPlaybackDone(0),
      m_bOwnTurnPlayed(0), m_fFrameTime(0.0f), m_fRunTime(0.0f), m_fBannerFade(0.0f), m_fWaterTime(0.0f),
      m_fWaterDelay(1.0f), m_fNow(0.0f), m_fTurnStart(0.0f), m_fTurnElapsed(0.0f), m_fTurnLength(30.0f),
      m_bQuitDialog(0), m_iStartingPlayer(0), m_iRandomScene(0), m_bTimedOut(0), m_bSettledSynced(0),
      m_bWaterTiming(0), m_bReadySent(0), m_bAllReady(0), m_bTurnEnded(0), m_bRoundEnded(0), m_bQueueEmpty(0),
      m_bActionTaken(0), m_bExplosionsDone(0), m_bPlayersAsleep(0), m_bProjectilesAsleep(0),
      m_bEndTurnSent(0), m_bEndRoundSent(0), m_bNoAlphaBuffer(0), m_uResetTick(0), m_fStateTime(0.0f),
      m_bAiming(0), m_bStretchSoundPlayed(0), m_bReleasePending(0), m_bScrolling(0), m_bPinching(0),
      m_bSpecialUsed(0), m_bTie(0), m_bOpponentActed(0), m_bOwnGameOverSent(0), m_iLatestTimeStamp(0),
      m_pSnapshot(nullptr), m_bStartedUp(0)
{
}

CMoxPlayState::~CMoxPlayState()
{
    Shutdown();
}

int CMoxPlayState::Startup(CStateGame* pGame)
{
    CMoxState::Startup(pGame);
    m_iStateID = STATE_PLAY;
    if (!pGame)
        return 1;
    m_bStartedUp = 1;
    pGame->m_bGameDisconnected = 0;
    CVornApplication* pApp = pGame->GetApp();
    CMoxGameContext& context = pGame->GetContext();
    if (pApp)
    {
        while (!pGame->m_bResourcesLoaded)
            pGame->PreloadResources(1);
        // The preload's last call took it; a second reference would never be given back.
        if (!context.pfntGameFonts)
            context.pfntGameFonts = pApp->GetFont(GAME_FONTS[FONT_MAIN].name);
    }

    m_pLiveScene = new CMoxScene();
    m_pLiveScene->Startup(pGame, m_pRenderer, m_pPhysics, SCENE_MODE_PLAY);
    m_pBackupPhysics = new CMoxPhysics();
    m_pBackupPhysics->Startup(GAME_STEP_SECONDS, m_pPhysics ? m_pPhysics->m_iSubSteps : 4);
    m_pBackupScene = new CMoxScene();
    m_pBackupScene->Startup(pGame, m_pRenderer, m_pBackupPhysics, SCENE_MODE_PLAY);
    if (m_pRenderer)
        m_pRenderer->m_Camera.SetScene(m_pLiveScene);
    m_pScene = m_pLiveScene;
    m_pSnapshot = new CMoxPlayState();

    int* pCounter = &context.m_iEventCounter;
    m_pLocalEvents = new CMoxEventManager(pCounter);
    m_pOutgoingEvents = new CMoxEventManager(pCounter);
    m_pAckEvents = new CMoxEventManager(pCounter);
    m_pPlaybackEvents = new CMoxEventManager(pCounter);
    m_pExplosions = new CMoxExplosionManager();
    m_pExplosions->Startup(pGame);
    if (m_pPhysics)
    {
        m_pPhysics->ClearListeners();
        m_pPhysics->AddListener(this);
    }

    m_iOwnPlayer = 0;
    m_iOpponent = 1;
    m_iTurnPlayer = 0;
    m_iSceneIndex = 0;
    m_iBackground = pApp ? std::abs(pApp->RandInt(0, 9)) % 10 : 0;
    m_pButtons = new CMoxButtonManager();
    m_pButtons->Startup(m_pRenderer);
    m_pButtons->SetListener(this);
    if (pApp)
        pApp->StopMusic();
    m_pAmbient = MoxCreateMatchAmbience(pGame);

    Reset();
    InitControls(0);
    const CKorvelGraphicsExt_GLES2* pGraphics =
        pApp ? dynamic_cast<const CKorvelGraphicsExt_GLES2*>(pApp->GetGraphicsExtension()) : nullptr;
    m_bNoAlphaBuffer = pGraphics && pGraphics->GetBackColorBits(3) > 0 ? 0 : 1;
    SetUserInt(0);
    return 1;
}

void CMoxPlayState::Shutdown()
{
    if (!m_bStartedUp)
        return;
    m_bStartedUp = 0;
    delete m_pAmbient;
    m_pAmbient = nullptr;
    delete m_pButtons;
    m_pButtons = nullptr;
    for (CMoxEventManager** ppQueue :
         {&m_pLocalEvents, &m_pOutgoingEvents, &m_pAckEvents, &m_pPlaybackEvents})
    {
        delete *ppQueue;
        *ppQueue = nullptr;
    }
    for (int i = 0; i < m_TurnRecord.GetCount(); ++i)
        delete m_TurnRecord[i];
    m_TurnRecord.Clear();
    ReleaseVirtuaIItems();

    // The live scene's bodies are in the game's physics world: nothing there may point
    // into this screen or its records once it is gone.
    if (m_pPhysics)
    {
        m_pPhysics->RemoveListener(this);
        m_pPhysics->Clear();
    }
    if (m_pRenderer)
        m_pRenderer->m_Camera.ClearTarget();
    m_pScene = nullptr;
    DeleteScene(m_pLiveScene);
    DeleteScene(m_pBackupScene);
    delete m_pBackupPhysics;
    m_pBackupPhysics = nullptr;
    delete m_pExplosions;
    m_pExplosions = nullptr;
    delete m_pSnapshot;
    m_pSnapshot = nullptr;

    // Only the backgrounds this screen loads: the other slots belong to the game's preload.
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (pApp)
    {
        CKorvelSurface** apTextures = m_pGame->GetContext().psrfGameTextures;
        pApp->ReleaseSurface(apTextures[TEXTURE_BACKGROUND_BATTLE]);
        pApp->ReleaseSurface(apTextures[TEXTURE_BACKGROUND_UNIQUE]);
    }
}

void CMoxPlayState::Reset()
{
    CMoxState::Reset();
    m_iNextStateID = STATE_MENU;
    m_ePlayState = PLAYSTATE_RESET;
    m_uResetTick = m_pGame ? (unsigned int)m_pGame->m_StepTimer.GetElapsedMilliseconds() : 0u;
    if (m_pScene)
        m_pScene->Clear();
    for (CMoxEventManager* pQueue : {m_pLocalEvents, m_pOutgoingEvents, m_pAckEvents, m_pPlaybackEvents})
        if (pQueue)
            pQueue->Clear();
    if (m_pExplosions)
        m_pExplosions->Clear();
    m_aReceivedIds.RemoveAll();
    ResetVariables();
}

void CMoxPlayState::ResetVariables()
{
    if (m_pLiveScene)
    {
        m_pLiveScene->Clear();
        for (CPlayer& player : m_pLiveScene->m_Players)
        {
            player.m_iTimeOutsLeft = 3;
            player.m_iSelectedAction = ACTION_FIRE;
        }
    }
    if (m_pExplosions)
        m_pExplosions->Clear();
    m_fTurnLength = 30.0f;
    m_fWaterDelay = 1.0f;
    m_fBannerFade = 255.0f;
    m_iResult = kNoResult;
    m_iTurnPlayer = -1;
    m_fStateTime = GetNow();
    if (m_pGame)
        m_pGame->ResetTimeStamp();

    m_fTurnProgress = 0.0f;
    m_fCountdown = 0.0f;
    m_bCountdownRunning = 0;
    m_bRunPhysics = 0;
    m_bSimulating = 0;
    m_fSimulatedTime = 0.0f;
    m_fAlertScale = m_fAlertSpeed = 0.0f;
    m_fAlertDecay = 0.1f;
    for (unsigned int& bFired : m_bAlertFired)
        bFired = 0;
    m_bTurnPackReceived = m_bTurnPackReady = m_bOpponentPlaybackDone = m_bOwnPlaybackDone = m_bOwnTurnPlayed =
        0;
    m_fWaterTime = m_fTurnStart = m_fTurnElapsed = 0.0f;
    m_bTimedOut = m_bSettledSynced = m_bWaterTiming = m_bTurnEnded = m_bRoundEnded = 0;
    m_bQueueEmpty = m_bActionTaken = m_bExplosionsDone = m_bPlayersAsleep = m_bProjectilesAsleep = 0;
    m_bEndTurnSent = m_bEndRoundSent = 0;
    m_bAiming = m_bStretchSoundPlayed = m_bReleasePending = m_bScrolling = m_bPinching = 0;
    m_bOpponentActed = m_bTie = 0;
    m_bRecordOverflow = 0;
    m_iLatestTimeStamp = 0;
}

float CMoxPlayState::GetNow() const
{
    return m_pGame ? (float)m_pGame->m_StepTimer.GetElapsedMilliseconds() / 1000.0f : 0.0f;
}

int CMoxPlayState::GetTimeStamp()
{
    return m_pGame ? (int)m_pGame->GetTimeStamp() : 0;
}

void CMoxPlayState::ShowButton(int iID, bool bShow)
{
    CMoxButton* pButton = m_pButtons ? m_pButtons->GetButtonByID(iID) : nullptr;
    if (!pButton)
        return;
    pButton->m_bVisible = bShow ? 1 : 0;
    if (!bShow)
    {
        pButton->m_eState = BUTTON_IDLE;
        pButton->m_fPressScale = 1.0f;
    }
}

void CMoxPlayState::SetPlayState(PLAYSTATE eState)
{
    m_ePlayState = eState;
    if (eState == PLAYSTATE_BETWEEN_ROUNDS)
    {
        m_bReadySent = 0;
        m_fStateTime = GetNow();
    }
    if (!m_pButtons)
        return;
    // A button held down as the state changes (the turn passes) keeps its press when it
    // stays shown: its release still counts.
    struct sHeld
    {
        BUTTON_STATE eState;
        float fPressScale;
    } aHeld[PLAY_BUTTON_COUNT] = {};
    for (int iID = 0; iID < PLAY_BUTTON_COUNT; ++iID)
        if (const CMoxButton* pButton = m_pButtons->GetButtonByID(iID))
            aHeld[iID] = {pButton->m_eState, pButton->m_fPressScale};
    m_pButtons->HideAll();
    ShowButtonsOfState(eState);
    for (int iID = 0; iID < PLAY_BUTTON_COUNT; ++iID)
    {
        CMoxButton* pButton = m_pButtons->GetButtonByID(iID);
        if (pButton && pButton->m_bVisible && pButton->m_bTouched)
        {
            pButton->m_eState = aHeld[iID].eState;
            pButton->m_fPressScale = aHeld[iID].fPressScale;
        }
    }
}

void CMoxPlayState::ShowButtonsOfState(PLAYSTATE eState)
{
    if (eState == PLAYSTATE_LOADED)
    {
        ShowButton(PLAY_BUTTON_QUIT, true);
        return;
    }
    ShowButton(PLAY_BUTTON_QUIT_YES, m_bQuitDialog != 0);
    ShowButton(PLAY_BUTTON_QUIT_NO, m_bQuitDialog != 0);
    for (int iID : {PLAY_BUTTON_QUIT, PLAY_BUTTON_CHAT_LEFT, PLAY_BUTTON_CHAT_RIGHT, PLAY_BUTTON_JUMP,
                    PLAY_BUTTON_FIRE, PLAY_BUTTON_STICKY, PLAY_BUTTON_WHIP, PLAY_BUTTON_SPECIAL})
        ShowButton(iID, true);
    if (m_bSinglePlayer)
        ShowButton(PLAY_BUTTON_RESTART, true);
}

void CMoxPlayState::CreateRanks(int iCode)
{
    m_aResultIds.RemoveAll();
    m_aResultRanks.RemoveAll();
    m_iResult = iCode;
    int aIds[2] = {GetPlayerUserId(0), GetPlayerUserId(1)};
    int aRanks[2];
    if (iCode == 0 || iCode == 1)
    {
        aRanks[0] = iCode == 0 ? 1 : 2;
        aRanks[1] = iCode == 0 ? 2 : 1;
    }
    else if (iCode == kTieCode)
    {
        aIds[0] = GetPlayerUserId(m_iOwnPlayer);
        aIds[1] = GetPlayerUserId(m_iOpponent);
        aRanks[0] = aRanks[1] = 1;
    }
    else
        return;
    for (int i = 0; i < 2; ++i)
    {
        m_aResultIds.Add(aIds[i]);
        m_aResultRanks.Add(aRanks[i]);
    }
}

float CMoxPlayState::GetTurnTimeFactor()
{
    if (!(m_fTurnProgress >= 0.0f))
        m_fTurnProgress = 0.0f;
    else if (m_fTurnProgress > 1.0f)
        m_fTurnProgress = 1.0f;
    return m_fTurnProgress;
}

void CMoxPlayState::SetPlayerIdentity(int iSlot, int iUserId, const CKorvelString& strName)
{
    if (!m_pLiveScene || iSlot < 0 || iSlot > 1)
        return;
    m_pLiveScene->m_Players[iSlot].m_iUserId = iUserId;
    m_pLiveScene->m_Players[iSlot].m_strName = strName;
}

int CMoxPlayState::GetPlayerUserId(int iSlot)
{
    return m_pLiveScene && iSlot >= 0 && iSlot <= 1 ? m_pLiveScene->m_Players[iSlot].m_iUserId : -1;
}

unsigned int CMoxPlayState::GetPlayerColour(int iSlot)
{
    return m_pLiveScene && iSlot >= 0 && iSlot <= 1 ? m_pLiveScene->m_Players[iSlot].m_Color.Get8888() : 0u;
}

void CMoxPlayState::TakeTexture(int iIndex)
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pApp)
        return;
    CKorvelSurface*& pSlot = m_pGame->GetContext().psrfGameTextures[iIndex];
    if (!pSlot)
        pSlot = pApp->GetSurface(GAME_TEXTURES[iIndex].name);
}

void CMoxPlayState::RestoreResources()
{
    if (m_pButtons)
        m_pButtons->RestoreSurfaces();
    if (!m_bSinglePlayer)
        RestoreVirtualItems();
    TakeTexture(TEXTURE_BACKGROUND_BATTLE);
    TakeTexture(TEXTURE_BACKGROUND_UNIQUE);
}
