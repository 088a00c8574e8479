// The dispatcher and the handlers: what becomes of an event by its flag and time stamp,
// the game over answered once, the match's end, leaving, and events from the other
// device that are malformed or short.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "game/MoxRenderer.h"
#include "game/MoxTurnPack.h"
#include "support/TestMenuState.h"
#include "tests/game/PlayRulesFixture.h"

namespace
{
class CMoxPlayStateHandlers : public CPlayRulesTest
{
protected:
    void SetUp() override
    {
        CPlayRulesTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartMatch());
        ASSERT_NO_FATAL_FAILURE(LoadRound());
    }
    // A game over from a sender, winner 1, decided by the round.
    std::vector<uint8_t> GameOverFrom(int iSender)
    {
        return Raw(EVENT_GAME_OVER, 20,
                   {{MoxField::OVER_SENDER, uint8_t(iSender)}, {MoxField::OVER_WINNER, 1}});
    }
};

TEST_F(CMoxPlayStateHandlers, TheFlagAndTheTimeStampDecideWhatBecomesOfAnEvent)
{
    // Flag 0: applied and gone.
    Feed(Raw(EVENT_PLAYER_READY, 16, {{MoxField::READY_PLAYER, 1}}), 0);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(Player(1).m_bReady, 1);
    EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetNumEvents(), 0);
    EXPECT_EQ(m_pPlay->m_TurnRecord.GetCount(), 0);

    // Flag 1 at once: a copy waits for sending; the first one went out at once.
    m_pPlay->PlayerReady(0);
    m_pPlay->RoundWaiting();
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_BETWEEN_ROUNDS);
    ASSERT_EQ(m_pPlay->m_pOutgoingEvents->GetNumEvents(), 2);
    EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetEvent(0)->m_uType, EVENT_PLAYER_READY);
    EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetEvent(0)->m_uSendFlag, 0u);
    EXPECT_EQ(m_pPlay->m_TurnRecord.GetCount(), 0);

    // Flag 1 with the clock: kept in the turn record, applied once.
    DropSent();
    m_pPlay->PlayerDamage(1, 12, 88);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(Player(1).m_iHealth, 88);
    ASSERT_EQ(m_pPlay->m_TurnRecord.GetCount(), 1);
    EXPECT_EQ(m_pPlay->m_TurnRecord[0]->m_uType, EVENT_PLAYER_DAMAGE);
    EXPECT_EQ(m_pPlay->m_pOutgoingEvents->GetNumEvents(), 0);
    EXPECT_FALSE(m_pPlay->m_pLocalEvents->HasNextEvent());
}

TEST_F(CMoxPlayStateHandlers, AnOpponentsGameOverIsAnsweredOnceWithTheOwnIndex)
{
    Feed(GameOverFrom(1));
    m_pPlay->HandleGameEvents();
    std::vector<CMoxEvent*> aAnswers = Queued(m_pPlay->m_pOutgoingEvents, EVENT_GAME_OVER);
    ASSERT_EQ(aAnswers.size(), 1u);
    EXPECT_EQ(aAnswers[0]->m_pPayload[MoxField::OVER_SENDER], 0);
    EXPECT_EQ(aAnswers[0]->m_pPayload[MoxField::OVER_WINNER], 1);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_GAME_OVER);
    EXPECT_EQ(m_pPlay->m_iResult, 1);
    EXPECT_EQ(m_pPlay->m_bGameOver, 1u);
    ASSERT_EQ(m_pPlay->m_aResultRanks.GetCount(), 2);
    EXPECT_EQ(m_pPlay->m_aResultRanks[0], 2);
    EXPECT_EQ(m_pPlay->m_aResultRanks[1], 1);

    Feed(GameOverFrom(1));
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(Queued(m_pPlay->m_pOutgoingEvents, EVENT_GAME_OVER).size(), 1u);
}

TEST_F(CMoxPlayStateHandlers, MalformedAndShortEventsChangeNothing)
{
    CBlock* pBlock = AddBlock(0.0f, 0.5f);
    const int iBlock = pBlock->m_uID;
    Scene().CreateProjectile(0, PROJECTILE_FIRE, 3);
    m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
    const CKorvelVector2 at0 = Body(0).m_vPosition;
    struct sCASE
    {
        const char* pWhat;
        std::vector<uint8_t> aBytes;
    };
    const uint8_t kMinus1 = 0xFF;
    const std::vector<sCASE> cases = {
        {"dead -1", Raw(EVENT_PLAYER_DEAD, 16, {{12, kMinus1}})},
        {"dead 2", Raw(EVENT_PLAYER_DEAD, 16, {{12, 2}})},
        {"force -1", Raw(EVENT_PLAYER_ADD_FORCE, 28, {{12, kMinus1}, {19, 0x3F}})},
        {"ready -1", Raw(EVENT_PLAYER_READY, 16, {{12, kMinus1}})},
        {"leave -1", Raw(EVENT_PLAYER_LEAVE, 16, {{12, kMinus1}})},
        {"damage 200", Raw(EVENT_PLAYER_DAMAGE, 24, {{12, 200}, {16, 50}})},
        {"whip -1", Raw(EVENT_FLOMP_WHIP, 24, {{12, kMinus1}})},
        {"create slot 32", Raw(EVENT_PROJECTILE_CREATE, 16, {{12, 0}, {13, 0}, {14, 32}})},
        {"create slot -1", Raw(EVENT_PROJECTILE_CREATE, 16, {{12, 0}, {13, 0}, {14, kMinus1}})},
        {"create type 5", Raw(EVENT_PROJECTILE_CREATE, 16, {{12, 0}, {13, 5}, {14, 9}})},
        {"create player -1", Raw(EVENT_PROJECTILE_CREATE, 16, {{12, kMinus1}, {13, 0}, {14, 9}})},
        {"position slot -1", Raw(EVENT_PROJECTILE_POSITION, 28, {{12, 0}, {24, kMinus1}})},
        {"shot force slot 40", Raw(EVENT_PROJECTILE_ADD_FORCE, 28, {{12, 0}, {24, 40}})},
        {"delete player -1", Raw(EVENT_PROJECTILE_DELETE, 16, {{12, kMinus1}, {14, 3}})},
        {"delete slot -1", Raw(EVENT_PROJECTILE_DELETE, 16, {{12, 0}, {14, kMinus1}})},
        {"position NaN", Raw(EVENT_PROJECTILE_POSITION, 28, {{12, 0}, {19, 0x7F}, {18, 0xC0}, {24, 3}})},
        {"sync NaN", Raw(EVENT_SYNC_PLAYERS, 28, {{15, 0x7F}, {14, 0xC0}, {19, 0x7F}, {18, 0xC0}})},
        {"update missing block", Raw(EVENT_SCENE_UPDATE, 28, {{12, 31}})},
        {"items -1", Raw(EVENT_VIRTUAL_ITEMS, 64, {{12, kMinus1}, {13, 1}})},
        {"items 5", Raw(EVENT_VIRTUAL_ITEMS, 64, {{12, 1}, {13, 5}})},
        {"items 127", Raw(EVENT_VIRTUAL_ITEMS, 64, {{12, 1}, {13, 127}})},
        {"game over -1", Raw(EVENT_GAME_OVER, 20, {{12, kMinus1}})},
        {"playback 7", Raw(EVENT_PLAYBACK_DONE, 16, {{12, 7}})},
        {"playback of the own side", Raw(EVENT_PLAYBACK_DONE, 16, {{12, uint8_t(m_pPlay->m_iOwnPlayer)}})},
        {"unknown type", Raw(99, 12)},
    };
    std::vector<sCASE> all = cases;
    // Every known type one byte short; a turn pack without its end bytes.
    for (int i = 0; i < MOX_EVENT_FORM_COUNT; ++i)
        if (MOX_EVENT_FORMS[i].iSize > 0)
            all.push_back({"short", Raw(MOX_EVENT_FORMS[i].iType, MOX_EVENT_FORMS[i].iSize - 1)});
    all.push_back({"short pack", Raw(EVENT_TURN_PACK, 17)});
    all.push_back({"header only", Raw(EVENT_LOAD_GAME, 11)});

    for (const sCASE& c : all)
    {
        SCOPED_TRACE(c.pWhat);
        SCOPED_TRACE(int(c.aBytes[0]));
        // Fed through an exact heap copy, so a read past the end is caught.
        Feed(c.aBytes, 1);
        m_pPlay->HandleGameEvents();
        EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
        EXPECT_EQ(Player(0).m_bAlive + Player(1).m_bAlive, 2);
        EXPECT_EQ(Player(0).m_iHealth + Player(1).m_iHealth, 200);
        EXPECT_EQ(Player(0).m_bReady, 1);
        EXPECT_EQ(Player(1).m_bReady, 0);
        EXPECT_EQ(Player(0).m_bGone + Player(1).m_bGone, 0);
        EXPECT_EQ(Body(0).m_vPosition.x, at0.x);
        EXPECT_NE(Player(0).GetProjectile(3), nullptr);
        EXPECT_EQ(Player(0).GetProjectile(9), nullptr);
        EXPECT_EQ(Scene().m_pBlocks->GetBlockByID(iBlock), pBlock);
        EXPECT_EQ(m_pPlay->m_bGameOver, 0u);
        EXPECT_EQ(m_pPlay->m_bOpponentPlaybackDone, 0u);
        EXPECT_EQ(m_pPlay->m_TurnRecord.GetCount(), 0);
    }
}

TEST_F(CMoxPlayStateHandlers, AnInvalidSceneMakesTheOwnPlayerLeave)
{
    for (int iScene : {20, -1, 1000})
    {
        SCOPED_TRACE(iScene);
        m_pPlay->SetPlayState(PLAYSTATE_LOADED);
        m_pPlay->m_bGameOverSent = 0;
        m_pPlay->LoadGame(0, iScene, 0, 0);
        m_pPlay->HandleGameEvents();
        EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_LEFT);
        EXPECT_EQ(m_pPlay->GetRemove(), 1u);
        EXPECT_EQ(m_pPlay->m_iResult, 1);
    }
}

TEST_F(CMoxPlayStateHandlers, ANextPlayerThatIsNeitherFlompKeepsTheTurnAndFollowsNobody)
{
    m_pPlay->m_bStarted = 1;
    // The last shot's arm, still shrinking back, goes with the turn.
    Player(0).m_bStretching = Player(0).m_bShowAim = 1;
    Player(0).m_vStretch.Set(0.2f, 0.1f);
    m_pPlay->m_bReleasePending = 1;
    m_pPlay->NextPlayer(1);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_iTurnPlayer, 1);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OPPONENT_TURN);
    EXPECT_EQ(Player(0).m_bStretching + Player(0).m_bShowAim + m_pPlay->m_bReleasePending, 0u);
    EXPECT_EQ(Player(0).m_vStretch.x, 0.0f);
    CCamera& camera = m_pGame->GetRenderer()->m_Camera;
    EXPECT_EQ(camera.m_pTargetBody, &Body(1));

    Feed(Raw(EVENT_NEXT_PLAYER, 16, {{12, 0x80}}));
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_iTurnPlayer, 1);
    EXPECT_EQ(camera.m_pTargetBody, nullptr);

    m_pPlay->NextPlayer(0);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_OWN_TURN);
    EXPECT_EQ(camera.m_pTargetBody, &Body(0));
}

TEST_F(CMoxPlayStateHandlers, TheOpponentLeavingFromSlotZeroGivesTheWinToSlotOne)
{
    m_pGame->OpponentLeft(kUser0);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_iResult, 1);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_GAME_OVER);
    ASSERT_EQ(m_pPlay->m_aResultIds.GetCount(), 2);
    EXPECT_EQ(m_pPlay->m_aResultIds[0], int(kUser0));
    EXPECT_EQ(m_pPlay->m_aResultIds[1], int(kUser1));
    EXPECT_EQ(m_pPlay->m_aResultRanks[0], 2);
    EXPECT_EQ(m_pPlay->m_aResultRanks[1], 1);
    // The end is settled without a game end from the one who left; the stayer reports at once,
    // however he leaves afterwards.
    EXPECT_EQ(m_pPlay->m_bResultsSent, 1u);
    EXPECT_EQ(m_pPlay->m_bEndSettled, 1u);
    EXPECT_EQ(m_pPlay->m_bEndScreen, 1u);
    EXPECT_EQ(m_App.m_uResultsSent, 1u);
    EXPECT_EQ(m_pPlay->m_bOpponentLeft, 1u);
}

TEST_F(CMoxPlayStateHandlers, AGameEndThatLeavesAsksForRemovalAndLetsTheFrameFinish)
{
    m_pPlay->SetPlayState(PLAYSTATE_GAME_OVER);
    m_pPlay->GameEnd(1);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_LEFT);
    EXPECT_EQ(m_pPlay->GetRemove(), 1u);
    EXPECT_EQ(m_pPlay->m_bEndScreen, 1u);
    // Still here until the root state's step ends.
    EXPECT_EQ(m_pGame->GetPlayState(), m_pPlay);
    Step();
    EXPECT_EQ(m_pGame->GetPlayState(), nullptr);
    m_pPlay = nullptr;
}

TEST_F(CMoxPlayStateHandlers, ARecordingThatWouldOverflowThePackIsMarked)
{
    m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
    // 45 packed bytes each: 1456 fit the 65,534 bytes after the header and end bytes.
    for (int i = 0; i < 1460; ++i)
        m_pPlay->SceneChange(40, 255, 2, 0, 0.75f, 0.15f, CKorvelVector2(0.0f, 0.0f), -1.0f);
    m_pPlay->HandleGameEvents();
    EXPECT_EQ(m_pPlay->m_bRecordOverflow, 1u);
    EXPECT_EQ(m_pPlay->m_TurnRecord.GetCount(), 1456);
    EXPECT_LE(m_pPlay->GetTurnPackSize(), int(TURN_PACK_MAX_SIZE));
    EXPECT_FALSE(m_pPlay->m_pLocalEvents->HasNextEvent());
    // A new action starts a new recording.
    m_pPlay->CreateAction();
    EXPECT_EQ(m_pPlay->m_bRecordOverflow, 0u);
}
} // namespace
