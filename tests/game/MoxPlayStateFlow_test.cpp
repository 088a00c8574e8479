// The match screen's frame on the real root state and the manual clock: a whole training
// match from the hand-over to the cleared scene with the turn coming back after each action,
// simulating ahead and replaying, the turn clock's ticks and time-outs, and discarded
// recordings.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <thread>

#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "game/MoxRenderer.h"
#include "tests/game/PlayFlowFixture.h"

namespace
{
const int kJump = 0; // the selected action of a jump
class CMoxPlayStateFlow : public CPlayFlowTest
{
protected:
    // A network round on scene 3 with the own turn running since now.
    void OwnTurn()
    {
        ASSERT_NO_FATAL_FAILURE(StartMatch());
        ASSERT_NO_FATAL_FAILURE(LoadRound());
        // A network match runs inside a game session; without one the screen leaves.
        m_pGame->m_bSessionEnded = 0;
        HoldBoth();
        m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
        m_pPlay->m_iTurnPlayer = 0;
        m_pPlay->m_bStarted = 1;
        m_pPlay->StartTurn();
    }
    void Act(int iAction)
    {
        Player(0).m_iSelectedAction = iAction;
        Player(0).m_vAim.Set(0.0f, 0.0f);
        m_pPlay->CreateAction();
    }
    CKorvelSoundWave*& AlertSlot() { return m_pGame->GetContext().psndGameSounds[SOUND_TIMER_ALERT]; }
};

TEST_F(CMoxPlayStateFlow, ATrainingMatchIsPlayedReplayedWonAndItsSceneCleared)
{
    ASSERT_NO_FATAL_FAILURE(HandOver(4));
    EXPECT_EQ(m_pPlay->m_bSinglePlayer, 1u);
    EXPECT_EQ(m_pPlay->GetCurrentSceneIndex(), 4);
    HoldBoth();
    // The count-down runs to its end; the own turn's clock starts.
    EXPECT_LT(FramesUntil([&] { return m_pPlay->m_bStarted != 0; }), 200);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
    EXPECT_EQ(m_pPlay->m_iTurnPlayer, 0);
    EXPECT_FLOAT_EQ(m_pGame->GetRenderer()->m_Camera.m_fZoomTarget, 0.6f);
    EXPECT_EQ(m_pGame->GetRenderer()->m_Camera.m_pTargetBody, Player(0).m_pBody);
    // Long enough for the held flomps to fall asleep.
    for (int i = 0; i < 40; ++i)
        Step();
    EXPECT_GT(m_pPlay->GetTurnTimeFactor(), 0.0f);

    // A jump that decides nothing: once it is replayed the mentor's turn passes at once and
    // the player acts again.
    Act(kJump);
    ASSERT_LT(FramesUntil([&] { return m_pPlay->m_bEndTurnSent != 0; }, 500), 500);
    ASSERT_LT(
        FramesUntil(
            [&] { return m_pPlay->m_bActionTaken == 0 || m_pPlay->m_ePlayState != PLAYSTATE_OWN_TURN; }, 500),
        500);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
    EXPECT_EQ(m_pPlay->m_iTurnPlayer, 0);
    EXPECT_EQ(Player(1).m_bAlive, 1);
    for (int i = 0; i < 40; ++i)
        Step();

    // The action is a jump on the spot; the push into the water is the script's.
    Act(kJump);
    Body(1).m_uType = BODY_DYNAMIC;
    Body(1).m_vPosition.Set(0.5f, -0.5f);
    const int iSimulationFrames = FramesUntil([&] { return !m_pPlay->m_bSimulating; }, 100);
    ASSERT_EQ(m_pPlay->m_bTurnPackReady, 1u) << "the recording settled and was packed";
    // The restored mentor is alive and dry until its kill is replayed.
    EXPECT_EQ(Player(1).m_bAlive, 1);
    int iLast = 0, iKill = -1;
    for (int i = 0; i < m_pPlay->m_pPlaybackEvents->GetNumEvents(); ++i)
    {
        const CMoxEvent* pEvent = m_pPlay->m_pPlaybackEvents->GetEvent(i);
        iLast = std::max(iLast, I32At(pEvent, MoxField::TIME));
        if (pEvent->m_uType == EVENT_PLAYER_DEAD && pEvent->m_pPayload[MoxField::DEAD_PLAYER] == 1)
            iKill = I32At(pEvent, MoxField::TIME);
    }
    ASSERT_GT(iKill, 1000) << "the mentor drowned a second after the push";
    // Simulating ran 31 steps a frame; the replay follows the game clock, 33 ms a step.
    EXPECT_LE(iSimulationFrames, iLast / 1000 + 2);
    const int iKillFrames = FramesUntil([&] { return Player(1).m_bAlive == 0; }, 500);
    EXPECT_GE(iKillFrames * 33, iKill - 66);
    EXPECT_LE(iKillFrames * 33, iKill + 66);
    const int iRestFrames = FramesUntil([&] { return !m_pPlay->m_pPlaybackEvents->HasNextEvent(); }, 500);
    EXPECT_NEAR((iKillFrames + iRestFrames) * 33, iLast, 100);

    // The own playback alone passes the turn; the round and the match end.
    EXPECT_LT(FramesUntil([&] { return m_pPlay->m_ePlayState == PLAYSTATE_GAME_OVER; }, 500), 500);
    EXPECT_EQ(m_pPlay->GetUserInt(), 1);
    EXPECT_LT(FramesUntil([&] { return Shown(PLAY_BUTTON_CONTINUE); }, 500), 500);
    EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetNumEvents(), 0);

    m_pPlay->OnBackButton();
    FramesUntil([&] { return m_pGame->GetState(STATE_PLAY) == nullptr; }, 100);
    m_pPlay = nullptr;
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"6"}));
    EXPECT_EQ(Setting("scene_4_cleared"), 1u);
}

TEST_F(CMoxPlayStateFlow, ATieReloadsByItselfALostMatchFromTheContinueButtonAndAWinAfterThatCounts)
{
    ASSERT_NO_FATAL_FAILURE(HandOver(2));
    HoldBoth();
    FramesUntil([&] { return m_pPlay->m_bStarted != 0; });
    // Both dead: the round waits and the scene comes again 3.0 s later.
    Player(0).m_bAlive = Player(1).m_bAlive = 0;
    m_pPlay->m_bOwnPlaybackDone = m_pPlay->m_bTurnPackReady = m_pPlay->m_bActionTaken = 1;
    EXPECT_LT(FramesUntil([&] { return m_pPlay->m_ePlayState == PLAYSTATE_BETWEEN_ROUNDS; }, 100), 100);
    const int iWait = FramesUntil([&] { return m_pPlay->m_ePlayState != PLAYSTATE_BETWEEN_ROUNDS; }, 500);
    EXPECT_GE(iWait * 33, 3000);
    EXPECT_LT(iWait * 33, 3200);
    EXPECT_LT(FramesUntil([&] { return m_pPlay->m_ePlayState == PLAYSTATE_OWN_TURN; }, 50), 50);
    EXPECT_EQ(m_pPlay->m_bQuickStart, 1u);
    EXPECT_EQ(m_pPlay->GetCurrentSceneIndex(), 2);
    EXPECT_EQ(Player(0).m_bAlive + Player(1).m_bAlive, 2);

    // The mentor wins: the continue button's back key loads the scene again.
    HoldBoth();
    EXPECT_LT(EndTrainingRound(false, true), 500);
    EXPECT_EQ(m_pPlay->GetUserInt(), 0);
    m_pPlay->OnBackButton();
    EXPECT_LT(FramesUntil([&] { return m_pPlay->m_ePlayState == PLAYSTATE_OWN_TURN; }, 50), 50);
    EXPECT_EQ(m_pPlay->GetCurrentSceneIndex(), 2);
    EXPECT_EQ(Player(0).m_bAlive, 1);
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"3"}));

    // The retry starts afresh: no result shows, and winning it is the player's and is kept.
    std::vector<CMoxPlayState::sInfoText> aTexts;
    m_pPlay->InformationTexts(aTexts);
    for (const auto& text : aTexts)
        EXPECT_NE(text.iText, 5) << "a tie left over from the lost match";
    HoldBoth();
    EXPECT_LT(EndTrainingRound(true, false), 500);
    EXPECT_EQ(m_pPlay->GetUserInt(), 1);
    m_pPlay->InformationTexts(aTexts);
    ASSERT_EQ(aTexts.size(), 2u);
    EXPECT_EQ(Narrow(aTexts[0].strLiteral), "You");
    EXPECT_EQ(aTexts[1].iText, 16);
    m_pPlay->OnBackButton();
    FramesUntil([&] { return m_pGame->GetState(STATE_PLAY) == nullptr; }, 100);
    m_pPlay = nullptr;
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"6"}));
    EXPECT_EQ(Setting("scene_2_cleared"), 1u);
}

TEST_F(CMoxPlayStateFlow, TheTurnClockTicksRiseInPitchAndTheThirdTimeOutLoses)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    // The mixer stands still: a started tick stays started until the test stops it.
    m_App.GetSoundEngine()->Pause(1);
    AlertSlot() = m_App.GetSound(GAME_SOUNDS[SOUND_TIMER_ALERT].name, 0, 0);
    ASSERT_NE(AlertSlot(), nullptr);
    while (!m_App.IsSoundReady(AlertSlot()))
    {
        m_App.Tick();
        std::this_thread::yield();
    }
    const unsigned int uBase = AlertSlot()->GetFrequency(0);
    std::vector<unsigned int> aHeard;
    auto Listen = [&]
    {
        if (AlertSlot()->IsPlaying(0))
            aHeard.push_back(AlertSlot()->GetFrequency(0));
        AlertSlot()->Stop(0);
    };

    Frame(24500); // 5.5 s left
    Listen();
    EXPECT_TRUE(aHeard.empty());
    EXPECT_GT(m_pPlay->GetTurnTimeFactor(), 0.18f);
    Frame(600); // 4.9 s left
    Listen();
    ASSERT_EQ(aHeard, std::vector<unsigned int>({uBase}));
    while (m_pPlay->GetTurnTimeFactor() > 0.9f / 30.0f)
    {
        Step();
        Listen();
    }
    const std::vector<float> aPitch = {1.0f, 1.1f, 1.2f, 1.3f, 1.4f};
    ASSERT_EQ(aHeard.size(), aPitch.size());
    for (size_t i = 0; i < aPitch.size(); ++i)
        EXPECT_NEAR(aHeard[i], uBase * aPitch[i], 1.0) << i;
    EXPECT_GE(m_pPlay->m_fAlertScale, 0.0f);
    EXPECT_LE(m_pPlay->m_fAlertScale, 2.0f);

    // The first time-out passes the turn; the third loses the match.
    Frame(1000);
    EXPECT_EQ(m_pPlay->m_bTimedOut, 1u);
    EXPECT_EQ(Player(0).m_iTimeOutsLeft, 2);
    EXPECT_EQ(m_pPlay->m_bEndTurnSent, 1u);
    Step();
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OPPONENT_TURN);

    m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
    m_pPlay->StartTurn();
    Player(0).m_iTimeOutsLeft = 1;
    Frame(30100);
    EXPECT_EQ(Player(0).m_iTimeOutsLeft, 0);
    const std::vector<CMoxEvent*> aOver = Queued(m_pPlay->m_pLocalEvents, EVENT_GAME_OVER);
    ASSERT_EQ(aOver.size(), 1u);
    EXPECT_EQ(aOver[0]->m_pPayload[MoxField::OVER_KIND], GAME_OVER_TIME_OUTS);
    EXPECT_EQ(aOver[0]->m_pPayload[MoxField::OVER_WINNER], 1);
    ASSERT_EQ(m_pPlay->m_aResultRanks.GetCount(), 2);
    EXPECT_EQ(m_pPlay->m_aResultIds[1], int(kUser1));
    EXPECT_EQ(m_pPlay->m_aResultRanks[1], 1);
    EXPECT_EQ(m_pPlay->m_aResultRanks[0], 2);
}

// Once the player has acted the turn's time is spent: however long the shot takes, the
// clock neither runs on nor times the turn out.
TEST_F(CMoxPlayStateFlow, TheTurnClockStopsOnceThePlayerActs)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    Frame(2000);
    const float fElapsed = m_pPlay->m_fTurnElapsed;
    EXPECT_GT(fElapsed, 1.0f);
    Act(kJump);
    for (int i = 0; i < 40; ++i)
        Frame(1000);
    EXPECT_FLOAT_EQ(m_pPlay->m_fTurnElapsed, fElapsed);
    EXPECT_EQ(m_pPlay->m_bTimedOut, 0u);
    EXPECT_EQ(Player(0).m_iTimeOutsLeft, 3);
}

TEST_F(CMoxPlayStateFlow, ARecordingThatNeverSettlesOrOverflowsIsDiscardedAndThePlayerActsAgain)
{
    ASSERT_NO_FATAL_FAILURE(OwnTurn());
    struct sCASE
    {
        const char* pName;
        bool bOverflow;
        int iMaxFrames;
    } aCases[] = {{"awake for ever", false, 40}, {"too large for one pack", true, 2}};
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pName);
        // A held body without mass never falls asleep.
        Body(1).m_fMass = c.bOverflow ? 1.0f : 0.0f;
        Body(1).m_uAsleep = 0;
        Act(kJump);
        if (c.bOverflow)
            m_pPlay->m_bRecordOverflow = 1;
        EXPECT_LE(FramesUntil([&] { return !m_pPlay->m_bSimulating; }, 100), c.iMaxFrames);
        // Discarded after the step that passed 30 simulated seconds, or after the first.
        EXPECT_GT(m_pPlay->m_fSimulatedTime, c.bOverflow ? 0.0f : 30.0f);
        EXPECT_LT(m_pPlay->m_fSimulatedTime, c.bOverflow ? 0.05f : 30.05f);
        EXPECT_EQ(m_pPlay->m_bActionTaken, 0u);
        EXPECT_EQ(m_pPlay->m_bTurnPackReady, 0u);
        EXPECT_EQ(m_pPlay->m_TurnRecord.GetCount(), 0);
        EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
        // The clock runs again within the turn's time.
        Step();
        EXPECT_GT(m_pPlay->GetTurnTimeFactor(), 0.0f);
        EXPECT_EQ(m_pPlay->m_bTimedOut, 0u);
    }
    // Acting again is recorded as usual.
    Body(1).m_fMass = 1.0f;
    Act(kJump);
    EXPECT_EQ(m_pPlay->m_bSimulating, 1u);
}

TEST_F(CMoxPlayStateFlow, PlaybackReleasesWhatIsDueByTheGameClock)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    ASSERT_NO_FATAL_FAILURE(LoadRound());
    m_pPlay->SetPlayState(PLAYSTATE_OPPONENT_TURN);
    m_pPlay->m_bTurnPackReceived = 1;
    m_pGame->ResetTimeStamp();
    m_Clock.Advance(500);
    for (int iTime : {499, 500, 501})
    {
        std::vector<uint8_t> a = Raw(EVENT_SYNC_PLAYERS, 28);
        const std::vector<uint8_t> t = LE32(uint32_t(iTime));
        std::copy(t.begin(), t.end(), a.begin() + MoxField::TIME);
        m_pPlay->m_pPlaybackEvents->AddEvent(a[0], a.data(), int(a.size()), 0);
    }
    m_pPlay->HandleRecordedEvents();
    ASSERT_EQ(m_pPlay->m_pLocalEvents->GetNumEvents(), 2);
    EXPECT_EQ(I32At(m_pPlay->m_pLocalEvents->GetEvent(1), MoxField::TIME), 500);
    EXPECT_EQ(m_pPlay->m_pPlaybackEvents->GetNumEvents(), 1);
    EXPECT_EQ(m_pPlay->m_iLatestTimeStamp, 501);
    EXPECT_EQ(m_pPlay->m_bOwnPlaybackDone, 0u);

    // The watcher's replay ends with its playback-done event.
    m_Clock.Advance(1);
    m_pPlay->HandleRecordedEvents();
    EXPECT_EQ(m_pPlay->m_bOwnPlaybackDone, 1u);
    EXPECT_EQ(Queued(m_pPlay->m_pLocalEvents, EVENT_PLAYBACK_DONE).size(), 1u);
}
} // namespace
