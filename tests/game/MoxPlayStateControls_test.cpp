// The match screen's touch controls on the real root state: touches go in through the
// root state's pointer entry points, the tracker steps and the screen routes them, on a
// known camera (800 x 600, no follow) and the rules' scene. No drawing.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <thread>

#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "game/MoxRenderer.h"
#include "tests/game/PlayFlowFixture.h"

namespace
{
const float kGrab = 30.0f;

class CMoxPlayStateControls : public CPlayFlowTest
{
protected:
    // The own turn of player 0 on a still camera at zoom 1, the flomp at (-0.5, 0.2).
    void OwnTurn()
    {
        ASSERT_NO_FATAL_FAILURE(StartMatch());
        LoadRound();
        m_pPlay->m_bStarted = 1;
        m_pPlay->m_bCountdownRunning = 0;
        m_pPlay->m_iOwnPlayer = 0;
        m_pPlay->m_iOpponent = 1;
        m_pPlay->m_iTurnPlayer = 0;
        m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
        Body(0).m_vPosition.Set(-0.5f, 0.2f);
        Player(0).m_vStretchPad.Set(kGrab, kGrab);
        CCamera& camera = Camera();
        camera.ClearTarget();
        camera.m_vPosition.Set(0.0f, 0.0f);
        camera.m_fZoom = camera.m_fZoomTarget = 1.0f;
        m_pPlay->InitControls(1);
    }
    CCamera& Camera() { return m_pGame->GetRenderer()->m_Camera; }
    CKorvelVector2 FlompOnScreen()
    {
        CKorvelVector2 v;
        Camera().WorldToScreen(Body(0).m_vPosition, &v);
        return v;
    }
    // One step of the tracker and of the screen's routing.
    void Route()
    {
        m_pGame->GetContext().MultiTouch.Step();
        m_pPlay->HandleControls();
    }
    void Down(float x, float y, unsigned int uTouch = 0)
    {
        m_pGame->OnMouseButton(uTouch, int(x), int(y));
        Route();
    }
    void Move(float x, float y, unsigned int uTouch = 0)
    {
        m_pGame->OnMouseDrag(uTouch, int(x), int(y));
        Route();
    }
    void Up(unsigned int uTouch = 0)
    {
        m_pGame->OnMouseButtonUp(uTouch, 0, 0);
        Route();
    }
    // A drag from the flomp by (dx, dy) pixels, still held.
    void DragFromFlomp(float dx, float dy)
    {
        const CKorvelVector2 f = FlompOnScreen();
        Down(f.x, f.y);
        Move(f.x + dx, f.y + dy);
    }
    void Press(int iId) { m_pPlay->ButtonReleased(m_pPlay->m_pButtons->GetButtonByID(iId)); }
    // A drag from the flomp whose last move, 120 pixels to the left, and release come in one
    // frame; with bStepAfterPress a step saw it held at a shorter pull first. The jump takes
    // the last move's pull: (120 - 30) * 0.75 over W / 4 = 200, against the pull.
    void ReleaseWithTheLastMove(bool bStepAfterPress)
    {
        const float kLastPullAim = 0.3375f;
        Player(0).m_iSelectedAction = 0;
        const CKorvelVector2 f = FlompOnScreen();
        m_pGame->OnMouseButton(0, int(f.x), int(f.y));
        if (bStepAfterPress)
        {
            Route();
            Move(f.x - 60.0f, f.y);
            ASSERT_EQ(Player(0).m_bStretching, 1);
        }
        m_pGame->OnMouseDrag(0, int(f.x - 120.0f), int(f.y));
        m_pGame->OnMouseButtonUp(0, int(f.x - 120.0f), int(f.y));
        for (int i = 0; i < 2 && !m_pPlay->m_bReleasePending; ++i)
            Route();
        ASSERT_EQ(m_pPlay->m_bReleasePending, 1u);
        EXPECT_NEAR(Player(0).m_vAim.x, -kLastPullAim, 1e-3f);
        EXPECT_NEAR(Player(0).m_vAim.y, 0.0f, 1e-3f);
        Route();
        EXPECT_EQ(m_pPlay->m_bActionTaken, 1u) << "the jump was made";
    }

    int LocalOfType(int iType) { return int(Queued(m_pPlay->m_pLocalEvents, iType).size()); }
};

TEST_F(CMoxPlayStateControls, ADragFromTheFlompAimsTowardsTheFingerAndNeverBeyondTheLimit)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    struct
    {
        float dx, dy; // pixels from the flomp, y down
        float ax, ay; // the aim in world units, y up
    } const aCases[] = {
        // |d| = 111.8: s = 61.35, d of that length over W/4 = 200.
        {100.0f, -50.0f, 0.27437f, 0.13719f},
        {-60.0f, 80.0f, -0.1575f, -0.21f},
        // Far beyond: capped at 0.4 along the drag.
        {2000.0f, 0.0f, 0.4f, 0.0f},
        {0.0f, 900.0f, 0.0f, -0.4f},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        DragFromFlomp(c.dx, c.dy);
        EXPECT_EQ(m_pPlay->m_bAiming, 1u);
        EXPECT_NEAR(Player(0).m_vAim.x, c.ax, 1e-3f);
        EXPECT_NEAR(Player(0).m_vAim.y, c.ay, 1e-3f);
        EXPECT_LE(Player(0).m_vAim.Length(), 0.4f + 1e-5f);
        EXPECT_EQ(Player(0).m_bStretching, 1);
        EXPECT_EQ(Player(0).m_bShowAim, 1);
        // Back inside the grab radius: cancelled without an action.
        const CKorvelVector2 f = FlompOnScreen();
        Move(f.x + 5.0f, f.y);
        Up();
        EXPECT_EQ(m_pPlay->m_bAiming, 0u);
        EXPECT_EQ(Player(0).m_bStretching, 0);
        Route();
        EXPECT_EQ(m_pPlay->m_bActionTaken, 0u);
    }
}

TEST_F(CMoxPlayStateControls, APullOfExactlyTheGrabRadiusIsNoStretch)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    DragFromFlomp(50.0f, 0.0f);
    ASSERT_EQ(Player(0).m_bStretching, 1);
    const CKorvelVector2 f = FlompOnScreen();
    Move(f.x + kGrab, f.y);
    EXPECT_EQ(Player(0).m_bStretching, 0);
    EXPECT_EQ(Player(0).m_bShowAim, 0);
    EXPECT_EQ(m_pPlay->m_bAiming, 1u);
}

TEST_F(CMoxPlayStateControls, AReleaseBeyondTheRadiusActsNextFrameAndTheStretchShrinksAway)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    Player(0).m_iSelectedAction = 0;
    DragFromFlomp(-120.0f, 0.0f);
    Up();
    EXPECT_EQ(m_pPlay->m_bReleasePending, 1u);
    EXPECT_EQ(m_pPlay->m_bActionTaken, 0u);
    EXPECT_EQ(Player(0).m_bStretching, 1);

    Route();
    EXPECT_EQ(m_pPlay->m_bActionTaken, 1u);
    EXPECT_FLOAT_EQ(Player(0).m_fReleaseValue, 1.0f);
    EXPECT_EQ(Player(0).m_bShowAim, 0);
    ASSERT_NE(m_pPlay->m_pBackupScene, nullptr);
    EXPECT_EQ(Recorded(EVENT_PLAYER_ADD_FORCE).size() +
                  Queued(m_pPlay->m_pLocalEvents, EVENT_PLAYER_ADD_FORCE).size(),
              1u);

    CPlayer& shown = m_pPlay->m_pBackupScene->m_Players[0];
    float fBefore = shown.m_vStretch.Length();
    ASSERT_GT(fBefore, 0.06f);
    int iFrames = 0;
    while (shown.m_bStretching && iFrames < 50)
    {
        Route();
        ++iFrames;
        if (shown.m_bStretching)
        {
            EXPECT_NEAR(shown.m_vStretch.Length(), fBefore - 0.06f, 1e-4f);
        }
        fBefore = shown.m_vStretch.Length();
        EXPECT_EQ(Player(0).m_bStretching, shown.m_bStretching);
        EXPECT_FLOAT_EQ(Player(0).m_vStretch.x, shown.m_vStretch.x);
    }
    EXPECT_LT(iFrames, 50);
    EXPECT_FLOAT_EQ(shown.m_vStretch.Length(), 0.0f);
}

TEST_F(CMoxPlayStateControls, AReleaseInTheFrameOfTheLastMoveJumpsWithThatMovesPull)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    ReleaseWithTheLastMove(true);
}

TEST_F(CMoxPlayStateControls, AFlickBetweenTwoStepsJumpsWithItsPull)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    ReleaseWithTheLastMove(false);
}

TEST_F(CMoxPlayStateControls, TheStretchSoundPlaysOncePerDrag)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    m_App.GetSoundEngine()->Pause(1);
    CKorvelSoundWave*& pWave = m_pGame->GetContext().psndGameSounds[SOUND_STRETCH];
    pWave = m_App.GetSound(GAME_SOUNDS[SOUND_STRETCH].name, 0, 0);
    ASSERT_NE(pWave, nullptr);
    while (!m_App.IsSoundReady(pWave))
    {
        m_App.Tick();
        std::this_thread::yield();
    }
    for (int iDrag = 0; iDrag < 2; ++iDrag)
    {
        int iStarts = 0;
        const CKorvelVector2 f = FlompOnScreen();
        Down(f.x, f.y);
        for (int k = 1; k <= 5; ++k)
        {
            Move(f.x + 40.0f * float(k), f.y);
            iStarts += pWave->IsPlaying(0) ? 1 : 0;
            pWave->Stop(0);
        }
        EXPECT_EQ(iStarts, 1) << "drag " << iDrag;
        Move(f.x, f.y);
        Up();
    }
}

TEST_F(CMoxPlayStateControls, AMovingTouchOnEmptySpaceScrollsTheView)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    for (float fZoom : {1.0f, 0.5f})
    {
        Camera().m_fZoom = fZoom;
        Camera().m_vPosition.Set(0.1f, -0.2f);
        Down(600.0f, 300.0f);
        Move(610.0f, 305.0f); // starts the scroll
        ASSERT_EQ(m_pPlay->m_bScrolling, 1u);
        const CKorvelVector2 before = Camera().m_vPosition;
        Move(650.0f, 325.0f);
        EXPECT_NEAR(Camera().m_vPosition.x - before.x, 40.0f / (400.0f * fZoom), 1e-4f);
        EXPECT_NEAR(Camera().m_vPosition.y - before.y, 20.0f / (400.0f * fZoom), 1e-4f);
        EXPECT_EQ(m_pPlay->m_bAiming, 0u);
        Up();
        Route();
        EXPECT_EQ(m_pPlay->m_bScrolling, 0u);
    }
}

TEST_F(CMoxPlayStateControls, TheZoomBarSetsTheZoomAndIsDeafDuringAnAim)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    // The bar: x 18.75..56.25, y 150..450.
    struct
    {
        float y, fZoom;
    } const aCases[] = {{450.0f, 0.3f}, {150.0f, 1.0f}, {300.0f, 0.65f}, {375.0f, 0.475f}};
    for (const auto& c : aCases)
    {
        Camera().m_fZoom = 0.6f;
        Down(40.0f, c.y);
        EXPECT_NEAR(Camera().m_fZoomTarget, c.fZoom, 1e-4f) << c.y;
        EXPECT_NEAR(Player(0).m_fZoom, c.fZoom, 1e-4f);
        EXPECT_NEAR(Camera().m_fZoom, 0.5f * (0.6f + c.fZoom), 1e-4f);
        Up();
    }
    // Dragged past the bar's ends the zoom stays within 0.3..1.0.
    Down(40.0f, 300.0f);
    Move(40.0f, 590.0f);
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, 0.3f);
    Move(40.0f, 5.0f);
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, 1.0f);
    Up();

    Camera().m_fZoom = Camera().m_fZoomTarget = 1.0f;
    const CKorvelVector2 f = FlompOnScreen();
    Down(f.x, f.y);
    ASSERT_EQ(m_pPlay->m_bAiming, 1u);
    Move(40.0f, 440.0f);
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, 1.0f);
    EXPECT_FLOAT_EQ(Camera().m_fZoom, 1.0f);
}

TEST_F(CMoxPlayStateControls, TheZoomIndicatorStaysInsideTheBar)
{
    // The bar spans y 150..450 on a 600 high screen; the indicator's centre keeps most
    // of its H/32 half height inside it at both ends.
    const float fLow = CMoxPlayState::ZoomIndicatorY(0.34125f, 600.0f);
    const float fHigh = CMoxPlayState::ZoomIndicatorY(0.95875f, 600.0f);
    EXPECT_GT(fLow, fHigh);
    EXPECT_LE(fLow, 450.0f - 17.0f);
    EXPECT_GE(fHigh, 150.0f + 17.0f);
    for (float fZoom : {0.0f, 0.2f, 0.3f})
        EXPECT_FLOAT_EQ(CMoxPlayState::ZoomIndicatorY(fZoom, 600.0f), fLow) << fZoom;
    for (float fZoom : {1.0f, 1.7f})
        EXPECT_FLOAT_EQ(CMoxPlayState::ZoomIndicatorY(fZoom, 600.0f), fHigh) << fZoom;
    EXPECT_NEAR(CMoxPlayState::ZoomIndicatorY(0.65f, 600.0f), 300.0f, 1e-3f);
}

TEST_F(CMoxPlayStateControls, APinchScalesTheZoomAndKeepsThePlayersAtLeastTheLowest)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    CMultiTouch& tracker = m_pGame->GetContext().MultiTouch;
    Camera().m_fZoom = 0.8f;
    Down(300.0f, 300.0f, 0);
    Down(500.0f, 300.0f, 1);
    m_pGame->OnMouseDrag(0, 250, 300);
    m_pGame->OnMouseDrag(1, 550, 300);
    tracker.Step();
    ASSERT_EQ(tracker.m_bPinch, 1u);
    const float fDelta = tracker.m_fPinchDelta;
    ASSERT_GT(fDelta, 0.0f);
    m_pPlay->HandleControls();
    EXPECT_NEAR(Camera().m_fZoom, 0.8f * (1.0f + fDelta * 0.01f), 1e-4f);
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, Camera().m_fZoom);
    EXPECT_FLOAT_EQ(Player(0).m_fZoom, Camera().m_fZoom);

    // Fingers closing hard: the view may go below 0.3, the player's zoom does not, and the
    // view's target is raised back to it.
    Camera().m_fZoom = 0.31f;
    m_pGame->OnMouseDrag(0, 395, 300);
    m_pGame->OnMouseDrag(1, 405, 300);
    tracker.Step();
    ASSERT_LT(tracker.m_fPinchDelta, 0.0f);
    m_pPlay->HandleControls();
    EXPECT_LT(Camera().m_fZoom, 0.3f);
    EXPECT_FLOAT_EQ(Player(0).m_fZoom, 0.3f);
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, 0.3f);
}

TEST_F(CMoxPlayStateControls, ATouchTheMuteButtonTookReachesNothingElse)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    m_pGame->m_bVolumeTouched = 1;
    const CKorvelVector2 f = FlompOnScreen();
    m_pGame->OnMouseButton(0, int(f.x), int(f.y));
    m_pGame->GetContext().MultiTouch.Step();
    m_pPlay->HandleControls();
    EXPECT_EQ(m_pPlay->m_bAiming, 0u);
    m_pGame->OnMouseButtonUp(0, 0, 0);
    m_pGame->GetContext().MultiTouch.Step();
    m_pGame->OnMouseButton(0, 40, 200);
    m_pGame->GetContext().MultiTouch.Step();
    m_pPlay->HandleControls();
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, 1.0f);
}

TEST_F(CMoxPlayStateControls, TheActionButtonsSelectAlsoWithTheQuitQuestionOpen)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    for (unsigned int uQuit : {0u, 1u})
    {
        m_pPlay->m_bQuitDialog = uQuit;
        const std::pair<int, int> aCases[] = {
            {PLAY_BUTTON_JUMP, 0}, {PLAY_BUTTON_FIRE, 1}, {PLAY_BUTTON_STICKY, 2}, {PLAY_BUTTON_WHIP, 3}};
        for (const auto& c : aCases)
        {
            Press(c.first);
            EXPECT_EQ(Player(0).m_iSelectedAction, c.second) << c.first;
        }
    }
    // A press on the button itself reaches the same place through the tracker.
    m_pPlay->m_bQuitDialog = 0;
    const CKorvelRect<float>& rc = m_pPlay->m_rcButtons[PLAY_BUTTON_JUMP];
    Down(0.5f * (rc.left + rc.right), 0.5f * (rc.top + rc.bottom));
    Up();
    EXPECT_EQ(Player(0).m_iSelectedAction, 0);
}

TEST_F(CMoxPlayStateControls, TheSpecialButtonPicksByTheItemsHeld)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    struct
    {
        int bCluster, bSnow;
        unsigned int bUsed;
        int iAction;
    } const aCases[] = {{0, 0, 0, 1}, {1, 0, 0, 5}, {0, 1, 0, 4}, {1, 1, 0, 4}, {1, 1, 1, 1}};
    for (const auto& c : aCases)
    {
        Player(0).m_bHasCluster = c.bCluster;
        Player(0).m_bHasSnow = c.bSnow;
        m_pPlay->m_bSpecialUsed = c.bUsed;
        Player(0).m_iSelectedAction = 0;
        m_pPlay->InitControls(1);
        Press(PLAY_BUTTON_SPECIAL);
        EXPECT_EQ(Player(0).m_iSelectedAction, c.iAction) << c.bCluster << c.bSnow << c.bUsed;
    }
}

TEST_F(CMoxPlayStateControls, TheQuitQuestionOpensClosesAndLeaves)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    Press(PLAY_BUTTON_QUIT);
    EXPECT_EQ(m_pPlay->m_bQuitDialog, 1u);
    EXPECT_TRUE(Shown(PLAY_BUTTON_QUIT_YES));
    EXPECT_TRUE(Shown(PLAY_BUTTON_QUIT_NO));
    Press(PLAY_BUTTON_QUIT);
    EXPECT_EQ(m_pPlay->m_bQuitDialog, 0u);
    EXPECT_FALSE(Shown(PLAY_BUTTON_QUIT_YES));

    Press(PLAY_BUTTON_QUIT);
    Press(PLAY_BUTTON_QUIT_NO);
    EXPECT_EQ(m_pPlay->m_bQuitDialog, 0u);
    EXPECT_FALSE(Shown(PLAY_BUTTON_QUIT_NO));
    EXPECT_EQ(LocalOfType(EVENT_GAME_END), 0);
    EXPECT_NE(m_pPlay->m_ePlayState, PLAYSTATE_LEFT);

    Press(PLAY_BUTTON_QUIT);
    Press(PLAY_BUTTON_QUIT_YES);
    EXPECT_EQ(m_pPlay->m_bQuitDialog, 0u);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_LEFT);
    const std::vector<CMoxEvent*> aEnd = Queued(m_pPlay->m_pLocalEvents, EVENT_GAME_END);
    ASSERT_EQ(aEnd.size(), 1u);
    EXPECT_EQ(I32At(aEnd[0], 16), 1);
}

TEST_F(CMoxPlayStateControls, APressHeldWhileTheTurnPassesStillCounts)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    Press(PLAY_BUTTON_QUIT);
    const CKorvelRect<float>& yes = m_pPlay->m_rcButtons[PLAY_BUTTON_QUIT_YES];
    Down(0.5f * (yes.left + yes.right), 0.5f * (yes.top + yes.bottom));
    m_pPlay->SetPlayState(PLAYSTATE_OPPONENT_TURN);
    Up();
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_LEFT);
}

TEST_F(CMoxPlayStateControls, ReadyContinueAndRestartByMatchKind)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    // Network: ready writes one event however often it is pressed.
    m_pPlay->SetPlayState(PLAYSTATE_BETWEEN_ROUNDS);
    Press(PLAY_BUTTON_READY);
    Press(PLAY_BUTTON_READY);
    EXPECT_EQ(LocalOfType(EVENT_PLAYER_READY), 1);
    EXPECT_EQ(LocalOfType(EVENT_LOAD_GAME), 0);
    // Continue at game over asks for a rematch.
    Press(PLAY_BUTTON_CONTINUE);
    EXPECT_EQ(LocalOfType(EVENT_REMATCH), 1);
    // Restart is for training only.
    Press(PLAY_BUTTON_RESTART);
    EXPECT_EQ(LocalOfType(EVENT_LOAD_GAME), 0);
    m_pPlay->m_pLocalEvents->Clear();

    m_pPlay->m_bSinglePlayer = 1;
    m_pPlay->InitControls(1);
    m_pPlay->m_bReadySent = 0;
    Press(PLAY_BUTTON_READY);
    EXPECT_EQ(LocalOfType(EVENT_PLAYER_READY), 0);
    EXPECT_EQ(LocalOfType(EVENT_LOAD_GAME), 1);
    EXPECT_EQ(m_pPlay->m_bQuickStart, 1u);
    m_pPlay->m_pLocalEvents->Clear();

    m_pPlay->m_bStarted = 0;
    Press(PLAY_BUTTON_RESTART);
    EXPECT_EQ(LocalOfType(EVENT_LOAD_GAME), 0);
    m_pPlay->m_bStarted = 1;
    Press(PLAY_BUTTON_RESTART);
    EXPECT_EQ(LocalOfType(EVENT_LOAD_GAME), 1);
    m_pPlay->m_pLocalEvents->Clear();

    m_pPlay->m_iResult = 1; // the mentor won: try again
    Press(PLAY_BUTTON_CONTINUE);
    EXPECT_EQ(LocalOfType(EVENT_LOAD_GAME), 1);
    EXPECT_EQ(LocalOfType(EVENT_REMATCH), 0);
    m_pPlay->m_pLocalEvents->Clear();
    m_pPlay->m_iResult = 0; // won: leave
    Press(PLAY_BUTTON_CONTINUE);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_LEFT);
    EXPECT_EQ(LocalOfType(EVENT_LOAD_GAME), 0);
}

TEST_F(CMoxPlayStateControls, TheChatButtonsOpenTheLobbysChatAndEndTheTouch)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    ASSERT_TRUE(m_App.RunSplash());
    for (int iId : {PLAY_BUTTON_CHAT_LEFT, PLAY_BUTTON_CHAT_RIGHT})
    {
        const int iBefore = m_App.m_Log.Count("lobby.OnGameplayEnd(0)");
        m_pGame->GetContext().MultiTouch.m_Touches[0].released = 1;
        Press(iId);
        EXPECT_EQ(m_pGame->GetContext().MultiTouch.m_Touches[0].released, 0u);
        EXPECT_EQ(m_App.m_Log.Count("lobby.OnGameplayEnd(0)"), iBefore + 1);
    }
}
} // namespace
