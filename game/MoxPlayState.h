// The match screen: two players (or one and the training mentor) play rounds on a scene.
// It writes every change of the match as a game event into its local queue; the
// dispatcher applies it, records it into the turn record or sends it to the opponent.
//
// Sources: MoxPlayState.cpp (life cycle, play states, ranks, the players' identity),
// MoxPlayStateEvents.cpp (the event writers), MoxPlayStatePack.cpp (packing and
// unpacking a turn), MoxPlayStateControls.cpp (the button layout),
// MoxPlayStateButtons.cpp (what the buttons do, the action marker and the zoom bar),
// MoxPlayStateInput.cpp (the frame's touch routing), MoxPlayStateDispatch.cpp (the
// dispatcher), MoxPlayStateHandlers.cpp and MoxPlayStateWorldEvents.cpp (the handlers),
// MoxPlayStateDamage.cpp (actions and damage), MoxPlayStateTurn.cpp (the end of a turn,
// water and crushing), MoxPlayStateRounds.cpp (rounds, game over, leaving),
// MoxPlayStateSnapshot.cpp (the scene backup), MoxPlayStateUpdate.cpp (the frame and the
// turn clock), MoxPlayStateDelivery.cpp (delivery to the opponent and the replay),
// MoxPlayStateDraw.cpp and MoxPlayStateInfo.cpp (drawing), MoxPlayStateTraining.cpp (the
// training scenes), MoxPlayStateItems.cpp (virtual items).
#pragma once

#include <vector>

#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelString.h"
#include "game/MoxButtons.h"
#include "game/MoxCamera.h"
#include "game/MoxEventWire.h"
#include "game/MoxPhysics.h"
#include "game/MoxScreens.h"

class CMoxAmbientPlayer;
class CMoxEvent;
class CMoxEventManager;
class CMoxExplosionManager;
class CMoxScene;
class CBlock;
class CPlayer;
enum GAME_SOUND : int;

// The ids of the match screen's buttons.
enum PLAY_BUTTON : int
{
    PLAY_BUTTON_QUIT = 0,
    PLAY_BUTTON_UNUSED = 1,
    PLAY_BUTTON_JUMP = 2,
    PLAY_BUTTON_FIRE = 3,
    PLAY_BUTTON_STICKY = 4,
    PLAY_BUTTON_WHIP = 5,
    PLAY_BUTTON_CHAT_LEFT = 6,
    PLAY_BUTTON_CHAT_RIGHT = 7,
    PLAY_BUTTON_SPECIAL = 8,
    PLAY_BUTTON_READY = 9,
    PLAY_BUTTON_QUIT_YES = 10,
    PLAY_BUTTON_QUIT_NO = 11,
    PLAY_BUTTON_CONTINUE = 12,
    PLAY_BUTTON_RESTART = 13,
    PLAY_BUTTON_COUNT = 14
};

// The sky's vertical gradient per background: the bottom colour, then the top one (0xRRGGBB).
extern const unsigned int BACKGROUND_GRADIENTS[10][2];

class CMoxPlayState : public CMoxPlayStateBase, public CMoxPhysicsListener, public CMoxButtonListener
{
public:
    CMoxPlayState();
    ~CMoxPlayState() override;

    // ---- screen life cycle

    int Startup(CStateGame* pGame) override;
    // Does nothing for a screen that was never started (the snapshot).
    void Shutdown() override;
    void Reset() override;
    void ResetVariables();
    // The frame: timers, the count-down, events, playback, controls, the play state's
    // work, the own turn (simulated ahead or its clock) and the world (MoxPlayStateUpdate.cpp).
    int Update(float fSeconds) override;
    // The frame's picture (MoxPlayStateDraw.cpp).
    void Draw() override;
    void RestoreResources() override;
    // The buttons are laid out for the new size and keep what the match made of them
    // (MoxPlayStateControls.cpp).
    void OnScreenChanged(int iWidth, int iHeight) override;
    int OnChar(unsigned short) override { return 1; }

    void ButtonPressed(CMoxButton*) override {}
    void ButtonReleased(CMoxButton* pButton) override;
    void ButtonDown(CMoxButton*) override {}
    // Bounce sounds; sticky shots that hit a block hold on to it.
    void BodyCollide(CollideData data) override;
    void OnBackButton() override;

    // ---- what the root state asks

    // Training against the mentor; leaving returns to the training chooser.
    void SetSinglePlayerMode(unsigned int uOn) override;
    void SetPlayState(PLAYSTATE eState) override;
    int GetCurrentSceneIndex() override { return m_iSceneIndex; }
    // 0: player 0 won, 1: player 1 won, 666: a tie; any other code leaves the lists empty.
    void CreateRanks(int iCode) override;
    void RandomizeStart() override;
    // The share of the own turn left, kept within 0..1.
    float GetTurnTimeFactor() override;
    void GameSessionEnd() override;
    void ReleaseVirtuaIItems() override;
    void SetPlayerIdentity(int iSlot, int iUserId, const CKorvelString& strName) override;
    int GetPlayerUserId(int iSlot) override;
    unsigned int GetPlayerColour(int iSlot) override;
    void LoadSinglePlayerHelp() override;
    // Milliseconds of the game clock.
    int GetTimeStamp();
    // Seconds of the game's step clock at its last frame.
    float GetNow() const;

    // ---- training (MoxPlayStateTraining.cpp)

    // Replaces what the chat shows by one mentor line; nothing once the match is decided.
    void MentorDialog(const CKorvelString& strText);
    // The action buttons, the action and the free item the training scene teaches.
    void HandleSinglePlayerModeControls();

    // ---- virtual items (MoxPlayStateItems.cpp)

    // 1 when the item's pack opened and its description was read, else 0.
    int LoadVirtualItem(int iPlayer, int iItemId, int iDescriptionNumber, int iFileNumber);
    // Loads the players' hats and the own battleground again (bombs keep their fields).
    void RestoreVirtualItems();
    // Takes a hat or bomb off the player (a battleground is the own device's alone).
    void DropVirtualItem(int iPlayer, int iItemId);

    // ---- controls

    // Builds the buttons; 0 leaves out the chat and action buttons.
    void InitControls(unsigned int uFull);
    // The frame's touch routing (MoxPlayStateInput.cpp): the zoom bar, the buttons,
    // scrolling, pinch zoom and the own flomp's aim.
    void HandleControls();
    // 1 when it used touch 0.
    int HandlePlayerControls();
    void HandleScroll();
    void HandleZoom();
    // 1 while the bar has the touch.
    int HandleZoomBar();
    void RenderControls();
    void RenderZoomBar();
    // The zoom indicator's centre on a screen of that height; it never leaves the bar.
    static float ZoomIndicatorY(float fZoom, float fHeight);

    // ---- drawing (MoxPlayStateDraw.cpp, MoxPlayStateInfo.cpp)

    void RenderBackground();
    void RenderProjectiles();
    void RenderPlayers();
    void RenderStatus();
    void RenderQuitQuestion();
    void RenderWaitingScreen();
    // One line of the information overlay: a language text (or a literal when iText is
    // -1) at a height that is a fraction of the screen's.
    struct sInfoText
    {
        int iText;
        CKorvelString strLiteral;
        float fHeight;
        unsigned int uAlpha;
        unsigned int uFlags;
    };
    // What RenderInformation writes for the screen's state, in drawing order.
    void InformationTexts(std::vector<sInfoText>& aTexts);
    // The heights of the winner's name and of the reason line (screen heights), clear of
    // the winner's flomp; iWidest is the wider of name and result in pixels, the reason's
    // size is as drawn (0 x 0 without one).
    void PlaceNotices(int iWinner, int iWidest, int iReasonWidth, int iReasonHeight, float& fName,
                      float& fReason);
    void RenderInformation();

    // ---- event writers; each adds its event to the local queue

    void LoadGame(int iFirstPlayer, int iScene, int iStartPoint0, int iStartPoint1) override;
    void StartGame(int iFirstPlayer) override;
    void EndRound();
    void RoundWaiting();
    void GameOver(int iType) override;
    void NextPlayer(int iPlayer);
    void GameEnd(unsigned int uLeave) override;
    void Rematch(unsigned int uAnswer) override;
    void SyncPhysics(unsigned int uRunning);
    void PlayerKill(int iPlayer, int iCause);
    void SyncPlayers();
    void PlayerAddForce(int iPlayer, CKorvelVector2 vForce, FORCE_TYPE eType);
    void PlayerReady(int iPlayer);
    void PlayerLeave(int iPlayer);
    void PlayerDamage(int iPlayer, int iDamage, int iHealthLeft);
    void PlayerCrushTest();
    void FlompWhip(int iPlayer, CKorvelVector2 vWhip);
    // The slot the projectile takes; -1 for a player outside 0..1.
    int ProjectileCreate(int iPlayer, int iType);
    void ProjectilePosition(int iPlayer, CKorvelVector2 vPosition, int iSlot);
    void ProjectileAddForce(int iPlayer, CKorvelVector2 vForce, int iSlot);
    void ProjectileDelete(int iPlayer, int iReason, int iSlot);
    void SceneUpdate(int iBlock, int iGridX, int iGridY, const CKorvelVector2& vImpulse, int iStrength);
    void SceneDelete(int iBlock);
    void SceneChange(int iBlock, int iSavedStrength, int iSavedMaterial, int iSavedVariant,
                     float fSavedFriction, float fSavedBounce, const CKorvelVector2& vImpulse,
                     float fEffectTime);
    void CreateEffectExplosion(CKorvelVector2 vPosition, float fSize, int iKind, unsigned int uColour,
                               unsigned int uSendFlag);
    void PlaybackDone();
    void SendVirtualItems();
    void DropVirtualItems(int iPlayer, const int* pItemIds, int iCount);

    // ---- the turn pack

    // Packs the turn record into one event on the local queue, frees the record and
    // unpacks the pack into the playback queue. 0, with nothing changed, when the record
    // is too large for one pack.
    int PackTurnEvents();
    // The pack's events into the playback queue, each with its recorded time stamp.
    void UnpackTurnEvents(CMoxEvent* pPack);
    // The size a pack of the turn record so far would have.
    int GetTurnPackSize() const;

    // ---- the dispatcher and the handlers

    // Applies every event of the local queue, those added meanwhile too; then deletes,
    // sends or records each by its send flag and time stamp.
    void HandleGameEvents();
    // Sends one event to the opponent; nothing in training.
    void SendNetworkMessage(CMoxEvent* pEvent);
    // One event in flight: the front outgoing event leaves with its acknowledgement and
    // the next is sent; without one it is sent again after 10 s (MoxPlayStateDelivery.cpp).
    void HandleNetworkEvents();
    // Moves the playback events that are due to the local queue; the end of the replay.
    void HandleRecordedEvents();
    void EventLoadGame(CMoxEvent* pEvent);
    void EventStartGame(CMoxEvent* pEvent);
    void EventRoundOver(CMoxEvent* pEvent);
    void EventGameOver(CMoxEvent* pEvent);
    void EventNextPlayer(CMoxEvent* pEvent);
    void EventGameEnd(CMoxEvent* pEvent);
    void EventRematch(CMoxEvent* pEvent);
    void EventPhysicsState(CMoxEvent* pEvent);
    void EventPlayerDead(CMoxEvent* pEvent);
    void EventSyncPlayers(CMoxEvent* pEvent);
    void EventPlayerAddForce(CMoxEvent* pEvent);
    void EventPlayerReady(CMoxEvent* pEvent);
    void EventPlayerLeave(CMoxEvent* pEvent);
    void EventPlayerDamage(CMoxEvent* pEvent);
    void EventFlompWhip(CMoxEvent* pEvent);
    void EventProjectileCreate(CMoxEvent* pEvent);
    void EventProjectilePosition(CMoxEvent* pEvent);
    void EventProjectileAddForce(CMoxEvent* pEvent);
    void EventProjectileDelete(CMoxEvent* pEvent);
    void EventSceneUpdate(CMoxEvent* pEvent);
    void EventSceneDelete(CMoxEvent* pEvent);
    void EventSceneTurnPack(CMoxEvent* pEvent);
    void EventSceneChange(CMoxEvent* pEvent);
    void EventEffectExplosion(CMoxEvent* pEvent);
    void EventNoMoreEvents(CMoxEvent* pEvent);
    void EventPlaybackDone(CMoxEvent* pEvent);
    void EventVirtualItems(CMoxEvent* pEvent);
    void EventItemsDropped(CMoxEvent* pEvent);
    // The turn of that player begins (an index that is neither player keeps the old one).
    void ApplyNextPlayer(int iPlayer);
    // The physics runs or stops, in the scene too.
    void SetRunPhysics(unsigned int uRun);

    // ---- actions and damage (MoxPlayStateDamage.cpp)

    // The own player's chosen action: backs up the scene and starts recording it.
    void CreateAction();
    void UseSpecialWeapon();
    void FlompWhipDamage(int iPlayer, CKorvelVector2 vWhip);
    void ProjectileExplodeAll(int iPlayer);
    // Strength a block of that material loses per hit.
    static int BlockDamage(int iMaterial);

    // ---- turns (MoxPlayStateTurn.cpp)

    void StartTurn();
    void HandleTurn();
    // 1 once the turn has ended.
    int CheckForTurnEnd();
    void EndTurn();
    // The recording is complete: packs it, restores the scene and plays it back.
    void NoMoreEvents();
    void CheckForOutOfBounds();
    // A body's first fall into the water: its splash, and the water timer starts from 0.
    void FallIntoWater(GAME_SOUND eSplash);
    void CheckForCrushing();
    void CheckForCrushed(int iPlayer);

    // ---- rounds (MoxPlayStateRounds.cpp)

    int CheckForRoundEnd();
    int CheckForGameOver();
    void NextRound();
    int WaitForAllPlayersReady();
    void LeaveGame();
    // A scene not drawn since the list was last emptied.
    int RandomizeScene();
    int RandomizeStartPoint();
    int RandomizeFirstPlayer();

    // ---- the snapshot (MoxPlayStateSnapshot.cpp)

    void BackupScene();
    void RestoreScene();
    static void CopyCamera(CCamera* pTo, CCamera* pFrom);
    static void CopyBlock(CBlock* pTo, CBlock* pFrom);
    // Values only: the destination keeps its body, its slots and its scene's view target.
    static void CopyPlayer(CPlayer* pTo, CPlayer* pFrom);
    static void CopyPlayState(CMoxPlayState* pTo, CMoxPlayState* pFrom);

    // ---- data

    unsigned int m_bSinglePlayer;
    unsigned int m_bQuickStart;
    float m_fTurnProgress;
    int m_iBackground;
    float m_fCountdown;
    unsigned int m_bStarted;
    unsigned int m_bCountdownRunning;
    int m_iTurnPlayer;
    int m_iResult; // winner 0 or 1, 666 a tie with ranks, 255 none
    unsigned int m_bRunPhysics;
    unsigned int m_bTimeOutLoss;
    unsigned int m_bIgnoreNextPlayer;
    int m_iRoundsPlayed;
    int m_iAlertFrequency;
    CMoxEventManager* m_pLocalEvents;
    CMoxEventManager* m_pOutgoingEvents;
    CMoxEventManager* m_pAckEvents;
    CMoxEventManager* m_pPlaybackEvents;
    CKorvelTypedPtrArray<CMoxEvent> m_TurnRecord; // owned
    PLAYSTATE m_ePlayState;
    // The game-end flags live in the base: m_bGameOverSent is set by the GameEnd writer,
    // m_bResultsSent, m_bEndSettled and m_bEndScreen by the game-end handler.
    unsigned int m_bRematchSent;
    float m_fSimulatedTime;
    CKorvelString m_strHelpJump;
    CKorvelString m_strHelpWhip;
    CKorvelString m_strHelpFire;
    CKorvelString m_strHelpSticky;
    CKorvelString m_strHelpSnow;
    CKorvelString m_strHelpCluster;
    unsigned int m_bLeave;
    CMoxButtonManager* m_pButtons;
    CMoxScene* m_pScene; // the one shown: the live scene, or the backup while simulating
    CMoxScene* m_pLiveScene;
    CMoxScene* m_pBackupScene;
    CMoxPhysics* m_pBackupPhysics;
    int m_iSceneIndex;
    CCamera m_CameraBackup;
    CKorvelMatrix4RH m_MatrixBackup;
    CMoxExplosionManager* m_pExplosions;
    CMoxAmbientPlayer* m_pAmbient;
    float m_fAlertScale;
    float m_fAlertSpeed;
    float m_fAlertDecay;
    unsigned int m_bAlertFired[6]; // 1..5 used
    float m_fTime;
    unsigned int m_bTurnPackReceived;
    unsigned int m_bTurnPackReady;
    unsigned int m_bOpponentPlaybackDone;
    unsigned int m_bOwnPlaybackDone;
    unsigned int m_bOwnTurnPlayed; // also the view's waiting on the opponent
    float m_fFrameTime;
    float m_fRunTime;
    float m_fBannerFade; // also the view height goal
    float m_fWaterTime;
    float m_fWaterDelay;
    float m_fNow;
    float m_fTurnStart;
    float m_fTurnElapsed;
    float m_fTurnLength;
    unsigned int m_bQuitDialog;
    int m_iStartingPlayer;
    int m_iRandomScene;
    unsigned int m_bTimedOut;
    unsigned int m_bSettledSynced;
    unsigned int m_bWaterTiming;
    unsigned int m_bReadySent;
    unsigned int m_bAllReady;
    unsigned int m_bTurnEnded;
    unsigned int m_bRoundEnded;
    unsigned int m_bQueueEmpty;
    unsigned int m_bActionTaken;
    unsigned int m_bExplosionsDone;
    unsigned int m_bPlayersAsleep;
    unsigned int m_bProjectilesAsleep;
    unsigned int m_bEndTurnSent;
    unsigned int m_bEndRoundSent;
    unsigned int m_bNoAlphaBuffer;
    unsigned int m_uResetTick;
    float m_fStateTime;
    CKorvelArray<int> m_aResultIds;
    CKorvelArray<int> m_aResultRanks;

    // Members the controls, delivery and rules keep.
    unsigned int m_bAiming;
    unsigned int m_bStretchSoundPlayed;
    unsigned int m_bReleasePending;
    unsigned int m_bScrolling;
    unsigned int m_bPinching;
    unsigned int m_bZoomGrabbed = 0;                   // the zoom bar has touch 0
    unsigned int m_bSpecialUsed;                       // the own player spent the special item
    CKorvelRect<float> m_rcButtons[PLAY_BUTTON_COUNT]; // where InitControls placed each button
    unsigned int m_bTie;
    unsigned int m_bOpponentActed;
    unsigned int m_bOwnGameOverSent;  // this side's game over went out
    CKorvelArray<int> m_aReceivedIds; // oldest first
    int m_iLatestTimeStamp;
    CMoxPlayState* m_pSnapshot;         // the match values before a recorded action; never started
    unsigned int m_bRecordOverflow = 0; // an event did not fit the turn pack; the recording is void
    float m_fCeiling[2] = {};           // of the last crush test, per player
    float m_fFloor[2] = {};

private:
    // Adds the event to the local queue.
    CMoxEvent* Write(const sMoxEventBytes& bytes, unsigned int uSendFlag);
    int NextEventId() const;
    void WritePlayerVector(int iType, int iPlayer, const CKorvelVector2& v, int iByte);
    // Fetches the slot's picture when the slot is empty.
    void TakeTexture(int iIndex);
    void ShowButton(int iID, bool bShow);
    // The buttons a play state shows.
    void ShowButtonsOfState(PLAYSTATE eState);
    // Parts of Update (MoxPlayStateUpdate.cpp).
    void UpdateCountdown(float fSeconds);
    void UpdatePlayState();
    void SimulateAhead();
    // Throws the recorded action away; the player may act again within the turn's time.
    void DiscardAction();
    void UpdateTurnClock();
    void PlayAlertTick(int k);
    // 1 when an event of that type waits in the local queue.
    bool IsWaiting(int iType) const;

    unsigned int m_bStartedUp;
};
