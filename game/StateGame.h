// The whole game as the framework sees it: the one game state the process entry hands
// to the application. It owns the renderer, the physics world, the chat overlay, the
// game's language pack and its context (touches, loaded resources, screen table); keeps
// the list of screens, runs them in fixed steps of 33 ms and replaces a screen that asks
// to be removed by the one its next-state identifier names.
//
// Sources: StateGame.cpp (life cycle, fixed step, drawing, input, time stamps),
// StateGameScreens.cpp (the screen list and its transitions), StateGameCallbacks.cpp (the
// framework's game callbacks), StateGameResources.cpp (resources, sound, music, the mute
// button and the training progress), StateGameRecv.cpp (the opponent's events received,
// acknowledged and applied once).
#pragma once

#include "Framework/Shell/VornGameState.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelClock.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelTimer.h"
#include "game/MoxGameContext.h"
#include "game/MoxGameMessage.h"

class CMoxPhysics;
class CMoxRenderer;

// The fixed step that screens, physics and the turn's simulation share; a step lasts
// whole milliseconds, the step clock carries the remainder.
constexpr int GAME_STEPS_PER_SECOND = 30;
constexpr int GAME_STEP_MS = 1000 / GAME_STEPS_PER_SECOND;
constexpr float GAME_STEP_SECONDS = 1.0f / GAME_STEPS_PER_SECOND;

class CStateGame : public IVornGameState
{
public:
    CStateGame();
    ~CStateGame() override;

    // ---- framework operations

    KE_RETVAL Startup(CVornApplication* pApp) override;
    // Safe to run more than once: the second run finds nothing left to release.
    void Shutdown() override;
    void Activate() override;
    void Deactivate() override;
    // Always 1; the step clock, not the frame time, decides how many steps run.
    unsigned int Update(float fSeconds) override;
    void Draw() override;
    unsigned int OnScreenChanged(int iWidth, int iHeight) override;
    unsigned int OnFocusChange(unsigned int) override { return 1; }
    KE_RETVAL OnRestoreResources() override;
    KE_RETVAL OnReleaseResources() override;
    unsigned int OnMouseButton(unsigned int uTouch, int iX, int iY) override;
    unsigned int OnMouseDrag(unsigned int uTouch, int iX, int iY) override;
    unsigned int OnMouseButtonUp(unsigned int uTouch, int iX, int iY) override;
    // The back key (a desktop's Escape) is the front screen's back button; other keys are
    // not used.
    unsigned int OnKeyDown(eKET_KEYCODE eKey) override;
    unsigned int OnChar(unsigned short uChar) override;
    KE_RETVAL OnLanguageChanged(const CKorvelString& strCode) override;

    int GetAppId() const override { return 64; }
    CKorvelString GetAppVersion() const override { return CKorvelString("1.62"); }
    CKorvelString GetAppName() const override { return CKorvelString("Quorvalin"); }
    int GetMinPlayerCount() const override { return 2; }
    int GetMaxPlayerCount() const override { return 2; }
    CKorvelString GetAppSecret() const override { return CKorvelString("q7rw2mxa9pzt4kbe6hcv3nyd8lsf5ug"); }
    void MenuActivated() override {}
    void MenuDeactivated() override {}
    unsigned int Achieve(int) override { return 0; }
    virtual unsigned int Achieved(int) { return 0; }

    void StartGame(unsigned int uStart) override;
    void GameSessionEnded() override { m_bSessionEnded = 1; }
    void GameDisconnect(unsigned int) override { m_bGameDisconnected = 1; }
    void LobbyDisconnect(unsigned int) override { m_bLobbyDisconnected = 1; }
    void OpponentLeft(int iPlayerId) override;
    float OwnTurnProgress() override;
    unsigned int MatchRunning() override;
    unsigned int UsesFullscreen() override;
    void CancelledQuickPlay() override;
    unsigned int OnChatMessage(sCHATMSG* pMessage, unsigned int uFromOpponent) override;
    // A message from the other device, answered and queued for the match screen
    // (StateGameRecv.cpp).
    void RecvGameMsg(const unsigned char* pData, unsigned int uSize) override;

    // ---- screens

    // Ids 1 to 6: replaces any screen of that id by a new one from the screen table
    // (started and reset); null for other ids or an id without a creator.
    CMoxState* AddState(STATE_ID eId);
    void RemoveState(STATE_ID eId);
    void RemoveState(CMoxState* pState);
    void RemoveStates();
    CMoxState* GetState(STATE_ID eId);
    // Once per step: replaces every screen that asked to be removed.
    void HandleStates();
    int GetStateCount() const { return m_States.GetCount(); }
    CMoxState* GetStateAt(int iIndex) const { return static_cast<CMoxState*>(m_States[iIndex]); }
    // The special screens, null when none exists.
    CMoxPlayStateBase* GetPlayState();
    CMoxMenuStateBase* GetMenuState();
    CMoxIntroStateBase* GetIntroState();

    // ---- time

    void ResetTimeStamp();
    unsigned int GetTimeStamp();
    // The next Update runs exactly one step.
    void TimingFreshStart();
    // Where the step and stamp clocks read their ticks; null returns to the system clock.
    // Set before Startup.
    void SetClock(IKorvelClock* pClock) { m_pClock = pClock ? pClock : &IKorvelClock::System(); }

    // ---- resources, sound, music, the mute button, progress

    // Loads the next resource: textures, then the sounds when asked, then the font.
    void PreloadResources(unsigned int uWithSounds);
    void UnloadResources(unsigned int uWithSounds);
    void InitResources();
    void RefreshTextures();
    void PlayGameSound(GAME_SOUND eSound, unsigned int uFlags, int iFrequency);
    void PlayMusic(GAME_SONG eSong);
    void InitVolume();
    // 1 when the mute button took touch 0 in this step.
    int HandleVolume();
    void RenderVolume();
    int IsSceneCleared(int iScene);
    void SetSceneCleared(int iScene);

    // ---- accessors

    CVornApplication* GetApp() const { return m_pApp; }
    CMoxRenderer* GetRenderer() const { return m_pRenderer; }
    CMoxPhysics* GetPhysics() const { return m_pPhysics; }
    IMoxChat* GetChat() const { return m_pChat; }
    CMoxGameContext& GetContext() { return m_Context; }
    CVornLanguage* GetGameLanguage() const { return m_pLanguage; }

    // ---- data the screens read and write

    CVornApplication* m_pApp;         // set by Startup
    CKorvelArray<int> m_aScenesDrawn; // random scenes already drawn since start-up
    unsigned int m_bChatHelpPlayed;
    int m_iSimulatedTime; // ms, advanced by the match while it simulates ahead
    unsigned int m_bLobbyDisconnected;
    unsigned int m_bGameDisconnected;
    unsigned int m_bSessionEnded;
    CKorvelPtrArray m_States;      // CMoxState*, owned
    unsigned int m_bVolumeTouched; // the mute button took touch 0 in the last step
    CKorvelString m_strEditorScene;
    CMoxRenderer* m_pRenderer;
    CMoxPhysics* m_pPhysics;
    IMoxChat* m_pChat;
    CKorvelRect<float> m_rcMute;
    CKorvelTimer m_StepTimer;
    CKorvelTimer m_StampTimer;
    int m_iStampBase;
    int m_bResourcesLoaded;
    int m_iPreloadIndex; // 0..68 textures, 69..92 sounds
    int m_iStepsPerSecond;
    int m_iStepMs;
    int m_iLastTick;
    int m_iAccumulated; // ms not yet turned into steps
    int m_iStepsDue;

private:
    // Milliseconds since the timer's start, on the game's clock.
    int Tick(CKorvelTimer& timer);
    void Step();
    void StartTrainingMatch();

    CMoxGameContext m_Context;
    IKorvelClock* m_pClock;
    CMoxRecvBudget m_RecvBudget; // of the other device's messages (StateGameRecv.cpp)

    CStateGame(const CStateGame&) = delete;
    CStateGame& operator=(const CStateGame&) = delete;
};
