// The game's root state on the shell's test application: the fixed step on a clock moved
// by hand, the screen transitions, the framework's callbacks, input and shut-down.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/StateGame.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "Framework/Session/VornPlayer.h"
#include "KorvelSound/KorvelSoundMusicPlayer.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "support/TestAudio.h"
#include "tests/Framework/Shell/ShellTestStats.h"
#include "tests/game/GameTestFixture.h"

namespace
{

// A game whose lobby knows the players the test gives, and which notes its quick plays.
class CPlayersGame : public ::CStateGame
{
public:
    ~CPlayersGame() override
    {
        Shutdown();
        for (CVornPlayer* pPlayer : m_apPlayers)
            delete pPlayer;
    }
    void AddPlayer(int iUserId, const char* pName)
    {
        CVornPlayer* pPlayer = new CVornPlayer();
        pPlayer->m_iUserId = iUserId;
        pPlayer->m_strName.Set(pName);
        m_apPlayers.push_back(pPlayer);
    }
    int GetPlayerId() override { return m_iOwnId; }
    CVornPlayer* GetPlayer(int i) override
    {
        return i >= 0 && i < int(m_apPlayers.size()) ? m_apPlayers[size_t(i)] : nullptr;
    }
    void QuickPlay() override
    {
        ++m_iQuickPlays;
        ::CStateGame::QuickPlay();
    }

    std::vector<CVornPlayer*> m_apPlayers;
    int m_iOwnId = -1;
    int m_iQuickPlays = 0;
};

// Named after the class under test; the class itself is ::CStateGame here.
class CStateGame : public CGameTest
{
protected:
    void StartWithMenu()
    {
        ASSERT_NO_FATAL_FAILURE(StartGame());
        m_pGame->Activate();
        ASSERT_NE(m_Fakes.pMenu, nullptr);
    }
};

TEST_F(CStateGame, FixedStepsFollowTheClock)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    CFakeMenu* pMenu = m_Fakes.pMenu;
    struct sCASE
    {
        const char* pWhat;
        int iBefore;      // ms left over before the frame
        int iElapsed;     // ms the clock moves (negative: backwards)
        bool bFreshStart; // TimingFreshStart before the frame
        int iSteps, iLeft;
    };
    const sCASE cases[] = {
        {"two steps, the rest kept", 10, 66, false, 2, 10},
        {"a stall runs one step", 0, 250, false, 1, 19},
        {"five steps catch up", 0, 5 * 33 + 4, false, 5, 4},
        {"under a step waits", 20, 12, false, 0, 32},
        {"a clock going back runs nothing", 20, -100, false, 0, 0},
        {"a fresh start after a pause runs one step", 30, 0, true, 1, 1},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        m_pGame->m_iAccumulated = c.iBefore;
        if (c.bFreshStart)
        {
            m_Clock.Advance(5000);
            m_pGame->TimingFreshStart();
        }
        const int iUpdates = pMenu->m_iUpdates, iChat = m_Fakes.pChat->m_iUpdates;
        if (c.iElapsed < 0)
            m_Clock.m_uNow -= uint64_t(-c.iElapsed) * 1000000u;
        else
            m_Clock.Advance(unsigned(c.iElapsed));
        EXPECT_EQ(m_pGame->Update(0.5f), 1u);
        EXPECT_EQ(pMenu->m_iUpdates - iUpdates, c.iSteps);
        EXPECT_EQ(m_Fakes.pChat->m_iUpdates - iChat, c.iSteps) << "the chat steps with the screens";
        EXPECT_EQ(m_pGame->m_iAccumulated, c.iLeft);
    }
}

TEST_F(CStateGame, TimeStampsCountFromTheirResetAndFollowTheSimulation)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    m_pGame->ResetTimeStamp();
    m_Clock.Advance(120);
    EXPECT_EQ(m_pGame->GetTimeStamp(), 120u);

    CFakePlay* pPlay = static_cast<CFakePlay*>(m_pGame->AddState(STATE_PLAY));
    pPlay->m_bSimulating = 1;
    m_pGame->m_iSimulatedTime = 66;
    EXPECT_EQ(m_pGame->GetTimeStamp(), 66u);
    pPlay->m_bSimulating = 0;
    EXPECT_EQ(m_pGame->GetTimeStamp(), 120u);
}

TEST_F(CStateGame, ActivationOpensTheMenuAndScreensReachTheGamesServices)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    EXPECT_EQ(Narrow(m_App.GetAppTitle()), "Quorvalin");
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"1"}));
    EXPECT_EQ(m_Fakes.pMenu->GetMasterState(), m_pGame.get());
    EXPECT_EQ(m_Fakes.pMenu->Renderer(), m_pGame->GetRenderer());
    EXPECT_EQ(m_Fakes.pMenu->Physics(), m_pGame->GetPhysics());
    EXPECT_EQ(m_Fakes.log.Entries(),
              std::vector<std::string>({"chat.Startup()", "menu.Startup()", "menu.Reset()"}));
    // A second activation starts again from a fresh menu.
    m_pGame->Activate();
    EXPECT_EQ(m_Fakes.log.Count("menu.~"), 1);
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"1"}));
}

TEST_F(CStateGame, AnIdWithoutACreatorOrOutOfRangeMakesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_EDITOR] = nullptr;
    EXPECT_EQ(m_pGame->AddState(STATE_EDITOR), nullptr);
    EXPECT_EQ(m_pGame->AddState(STATE_NONE), nullptr);
    EXPECT_EQ(m_pGame->AddState(STATE_ID(7)), nullptr);
    EXPECT_EQ(m_pGame->GetStateCount(), 0);
    // The editor's menu asking for the editor simply leaves.
    m_pGame->Activate();
    m_Fakes.pMenu->Leave(STATE_EDITOR);
    Step();
    EXPECT_EQ(m_pGame->GetStateCount(), 0);
}

TEST_F(CStateGame, TwoScreensLeavingInOneStepAreBothReplaced)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    m_pGame->AddState(STATE_CONNECTING);
    m_pGame->AddState(STATE_PLAY);
    m_Fakes.apOther[STATE_CONNECTING]->Leave(STATE_MENU);
    m_Fakes.pPlay->Leave(STATE_TRAINING);
    Step();
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"1", "6"}));
    EXPECT_EQ(m_Fakes.log.Count("connecting.Shutdown"), 1);
    EXPECT_EQ(m_Fakes.log.Count("play.Shutdown"), 1);
    EXPECT_EQ(m_Fakes.log.Count("play.~"), 1);
}

TEST_F(CStateGame, TransitionsOfTheTable)
{
    struct sCASE
    {
        STATE_ID eFrom, eNext;
        std::vector<std::string> aAfter;
    };
    const sCASE cases[] = {
        {STATE_MENU, STATE_EDITOR, {"2"}}, {STATE_MENU, STATE_TRAINING, {"6"}},
        {STATE_MENU, STATE_INTRO, {"5"}},  {STATE_EDITOR, STATE_MENU, {"1"}},
        {STATE_PLAY, STATE_MENU, {"1"}},   {STATE_CONNECTING, STATE_MENU, {"1"}},
        {STATE_INTRO, STATE_MENU, {"1"}},  {STATE_TRAINING, STATE_MENU, {"1"}},
        {STATE_INTRO, STATE_TRAINING, {}}, {STATE_CONNECTING, STATE_PLAY, {}},
        {STATE_MENU, STATE_MENU, {}},      {STATE_EDITOR, STATE_NONE, {}},
    };
    ASSERT_NO_FATAL_FAILURE(StartGame());
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.eFrom) + " -> " + std::to_string(c.eNext));
        m_pGame->RemoveStates();
        m_Fakes.log.Clear();
        m_pGame->AddState(c.eFrom);
        dynamic_cast<IFakeScreen*>(m_pGame->GetStateAt(0))->Leave(c.eNext);
        Step();
        EXPECT_EQ(ScreenNames(), c.aAfter);
        if (c.eFrom == STATE_INTRO && c.eNext == STATE_MENU)
        {
            EXPECT_EQ(m_Fakes.log.Count("intro.Unload"), 1);
        }
    }
}

TEST_F(CStateGame, TheMenuLeavingForTheIntroStopsTheMusicAndUnloadsThePictures)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    ASSERT_TRUE(WriteTestMp3(m_App.AppFile("FlompTheme.mp3"), 1, 22050, 0.5f, 440.0f)) << "lame is needed";
    while (!m_pGame->m_bResourcesLoaded)
        m_pGame->PreloadResources(1);
    m_pGame->PlayMusic(SONG_THEME);
    ASSERT_NE(m_App.GetMusicPlayer(), nullptr);
    m_Fakes.pMenu->Leave(STATE_INTRO);
    Step();
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr);
    EXPECT_EQ(m_pGame->m_bResourcesLoaded, 0);
    EXPECT_EQ(m_pGame->GetContext().psrfGameTextures[TEXTURE_MUTE_OFF], nullptr);
    EXPECT_NE(m_pGame->GetContext().psndGameSounds[SOUND_JUMP], nullptr) << "sounds stay";
}

TEST_F(CStateGame, TheMenuAskingForAMatchConnectsAndJoinsTheQueue)
{
    m_App.m_SessionScript.uStatus = 5;
    ASSERT_TRUE(m_App.RunSplash());
    CPlayersGame* pGame = new CPlayersGame();
    ASSERT_NO_FATAL_FAILURE(StartGame(pGame));
    m_pGame->Activate();
    m_Fakes.pMenu->Leave(STATE_PLAY);
    Step();
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"4"}));
    EXPECT_EQ(pGame->m_iQuickPlays, 1);
    EXPECT_EQ(m_App.m_Log.With("session.RegisterInGameQueue"),
              std::vector<std::string>({"session.RegisterInGameQueue(1,2)"}));
}

TEST_F(CStateGame, TrainingAskingForAMatchStartsASinglePlayerMatch)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ASSERT_TRUE(WriteTestMp3(m_App.AppFile("FlompTheme.mp3"), 1, 22050, 0.5f, 440.0f)) << "lame is needed";
    m_pGame->PlayMusic(SONG_THEME);
    ASSERT_NE(m_App.GetMusicPlayer(), nullptr);
    m_pGame->AddState(STATE_TRAINING);
    m_Fakes.apOther[STATE_TRAINING]->Leave(STATE_PLAY, 4);
    bool bMusicAtPlayState = false;
    m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [this, &bMusicAtPlayState]
    {
        CFakePlay* pPlay = new CFakePlay(m_Fakes.log);
        pPlay->m_fnOnPlayState = [this, &bMusicAtPlayState]
        { bMusicAtPlayState = m_App.GetMusicPlayer() != nullptr; };
        return m_Fakes.pPlay = pPlay;
    };
    m_Fakes.log.Clear();
    Step();
    EXPECT_EQ(
        m_Fakes.log.With("play."),
        std::vector<std::string>({"play.Startup()", "play.Reset()", "play.Reset()",
                                  "play.SetSinglePlayerMode(1)", "play.LoadGame(0,4,0,0 own=0 opponent=1)",
                                  "play.StartGame(0 master=1)", "play.SetPlayState(7)"}));
    EXPECT_TRUE(bMusicAtPlayState) << "the music stops after the play state is set";
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr);
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"3"}));
}

TEST_F(CStateGame, AWonTrainingMatchMarksItsSceneOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    struct sCASE
    {
        int iScene, iUserInt;
        bool bWritten;
    };
    // Won, won again (the key exists: nothing written), lost.
    for (const sCASE& c : {sCASE{7, 1, true}, sCASE{7, 1, false}, sCASE{9, 0, false}})
    {
        SCOPED_TRACE(c.iScene);
        std::remove(m_App.DataFile("stats.dat").c_str());
        m_pGame->RemoveStates();
        m_pGame->AddState(STATE_PLAY);
        m_Fakes.pPlay->m_iScene = c.iScene;
        m_Fakes.pPlay->Leave(STATE_TRAINING, c.iUserInt);
        Step();
        EXPECT_EQ(ScreenNames(), std::vector<std::string>({"6"}));
        const std::map<std::string, std::string> stored = StoredSettings();
        EXPECT_EQ(stored.count("scene_" + std::to_string(c.iScene) + "_cleared"), c.bWritten ? 1u : 0u);
        EXPECT_EQ(m_pGame->IsSceneCleared(c.iScene), c.iUserInt > 0 ? 1 : 0);
    }
}

TEST_F(CStateGame, AMatchWithOnePlayerEndsAtOnceAsATie)
{
    CPlayersGame* pGame = new CPlayersGame();
    pGame->AddPlayer(11, "Ann");
    pGame->m_iOwnId = 11;
    ASSERT_NO_FATAL_FAILURE(StartGame(pGame));
    m_pGame->Activate();
    m_Fakes.log.Clear();
    m_pGame->StartGame(1);
    EXPECT_EQ(ScreenNames(), std::vector<std::string>({"3"}));
    EXPECT_EQ(m_Fakes.log.With("play."),
              std::vector<std::string>({"play.Startup()", "play.Reset()", "play.SetPlayerIdentity(0,11,Ann)",
                                        "play.SetPlayerIdentity(1,-1,Player2)", "play.CreateRanks(666)",
                                        "play.GameEnd(0)", "play.Rematch(0)"}));
    EXPECT_EQ(m_pGame->m_bSessionEnded, 0u);
}

TEST_F(CStateGame, AMatchOfTwoPlayersFindsTheOwnIndexAndTheMaster)
{
    struct sCASE
    {
        int iOwnId;
        unsigned int uStart;
        int iOwn;
        const char* pLast;
    };
    for (const sCASE& c : {sCASE{22, 1, 1, "play.RandomizeStart(master=1)"}, sCASE{11, 0, 0, nullptr}})
    {
        SCOPED_TRACE(c.iOwnId);
        CPlayersGame* pGame = new CPlayersGame();
        pGame->AddPlayer(11, "Ann");
        pGame->AddPlayer(22, "Bo");
        pGame->m_iOwnId = c.iOwnId;
        ASSERT_NO_FATAL_FAILURE(StartGame(pGame));
        m_Fakes.log.Clear();
        m_pGame->StartGame(c.uStart);
        CFakePlay* pPlay = m_Fakes.pPlay;
        EXPECT_EQ(pPlay->m_iOwnPlayer, c.iOwn);
        EXPECT_EQ(pPlay->m_iOpponent, 1 - c.iOwn);
        EXPECT_EQ(pPlay->m_bMaster, c.uStart);
        EXPECT_EQ(m_Fakes.log.Count("play.CreateRanks"), 0);
        if (c.pLast)
        {
            EXPECT_EQ(m_Fakes.log.Entries().back(), c.pLast);
        }
        else
        {
            EXPECT_EQ(m_Fakes.log.Count("play.RandomizeStart"), 0);
        }
        m_pGame.reset();
    }
}

TEST_F(CStateGame, TheOpponentLeavingEndsAMatchOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    struct sCASE
    {
        int iLeaving;
        std::vector<std::string> aCalls;
    };
    const sCASE cases[] = {
        {11, {"play.CreateRanks(1)", "play.GameOver(1)"}},
        {22, {"play.CreateRanks(0)", "play.GameOver(1)"}},
        {33, {}},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.iLeaving);
        m_pGame->AddState(STATE_PLAY);
        CFakePlay* pPlay = m_Fakes.pPlay;
        pPlay->SetPlayerIdentity(0, 11, CKorvelString("Ann"));
        pPlay->SetPlayerIdentity(1, 22, CKorvelString("Bo"));
        m_Fakes.log.Clear();
        m_pGame->OpponentLeft(c.iLeaving);
        EXPECT_EQ(pPlay->m_bOpponentLeft, 1u);
        EXPECT_EQ(m_Fakes.log.Entries(), c.aCalls);
        m_Fakes.log.Clear();
        pPlay->m_bGameOver = 1;
        m_pGame->OpponentLeft(11);
        EXPECT_TRUE(m_Fakes.log.Entries().empty()) << "an ended match is left alone";
    }
    // An end flag alone also counts as ended.
    m_Fakes.pPlay->m_bGameOver = 0;
    m_Fakes.pPlay->m_bEndSettled = 1;
    m_Fakes.pPlay->m_bOpponentLeft = 0;
    m_pGame->OpponentLeft(11);
    EXPECT_EQ(m_Fakes.pPlay->m_bOpponentLeft, 0u);
}

TEST_F(CStateGame, TurnProgressFullscreenAndCancelledQuickPlayFollowTheScreens)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    EXPECT_EQ(m_pGame->OwnTurnProgress(), 0.0f);
    EXPECT_EQ(m_pGame->UsesFullscreen(), 0u);
    m_pGame->AddState(STATE_PLAY);
    m_Fakes.pPlay->m_fTurnTimeFactor = 0.25f;
    EXPECT_EQ(m_pGame->OwnTurnProgress(), 0.25f);
    EXPECT_EQ(m_pGame->UsesFullscreen(), 1u);
    m_pGame->RemoveState(STATE_PLAY);
    m_pGame->AddState(STATE_INTRO);
    EXPECT_EQ(m_pGame->UsesFullscreen(), 1u);

    m_pGame->CancelledQuickPlay(); // no connecting screen: nothing
    m_pGame->AddState(STATE_CONNECTING);
    m_pGame->CancelledQuickPlay();
    EXPECT_EQ(m_Fakes.apOther[STATE_CONNECTING]->GetRemove(), 1u);
}

TEST_F(CStateGame, ChatLinesBecomeBubblesOfTheirSide)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    CVornNetworkSession::sCHATMSG message;
    message.m_strText.Set("hello");
    message.m_iType = CVornNetworkSession::CHAT_INFO;
    EXPECT_EQ(m_pGame->OnChatMessage(&message, 0), 0u) << "only chat lines";
    message.m_iType = CVornNetworkSession::CHAT_LINE;
    EXPECT_EQ(m_pGame->OnChatMessage(&message, 0), 1u) << "no match: taken, nothing shown";
    EXPECT_EQ(m_Fakes.log.Count("chat.AddMessage"), 0);

    m_pGame->AddState(STATE_PLAY);
    m_Fakes.pPlay->m_iOwnPlayer = 0;
    m_Fakes.pPlay->m_iOpponent = 1;
    EXPECT_EQ(m_pGame->OnChatMessage(&message, 0), 1u);
    EXPECT_EQ(m_pGame->OnChatMessage(&message, 1), 1u);
    EXPECT_EQ(m_Fakes.log.With("chat.AddMessage"),
              std::vector<std::string>({"chat.AddMessage(hello,Me,FFFF5D37,80,495,0,600,0)",
                                        "chat.AddMessage(hello,Opponent,FF3A92FF,720,495,800,600,0)"}));
    EXPECT_EQ(StoredSettings().count("quorvalin_chathelpplayed"), 1u);
    EXPECT_EQ(m_pGame->m_bChatHelpPlayed, 1u);
    // In the second player's window its own flomp is the right one: the sides follow the sender.
    m_Fakes.log.Clear();
    m_Fakes.pPlay->m_iOwnPlayer = 1;
    m_Fakes.pPlay->m_iOpponent = 0;
    m_pGame->OnChatMessage(&message, 0);
    m_pGame->OnChatMessage(&message, 1);
    EXPECT_EQ(m_Fakes.log.With("chat.AddMessage"),
              std::vector<std::string>({"chat.AddMessage(hello,Me,FF3A92FF,720,495,800,600,0)",
                                        "chat.AddMessage(hello,Opponent,FFFF5D37,80,495,0,600,0)"}));

    // The help is remembered: the next own line writes nothing.
    std::remove(m_App.DataFile("stats.dat").c_str());
    EXPECT_EQ(m_pGame->OnChatMessage(&message, 0), 1u);
    EXPECT_TRUE(StoredSettings().empty());
}

TEST_F(CStateGame, ARememberedChatHelpIsReadAtStartUp)
{
    m_App.GetStatistics()->AddProperty(CKorvelString("quorvalin_chathelpplayed"))->SetBool(1);
    ASSERT_NO_FATAL_FAILURE(StartGame());
    EXPECT_EQ(m_pGame->m_bChatHelpPlayed, 1u);
}

TEST_F(CStateGame, InputReachesTheTrackerAndCharactersTheScreens)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    const CMultiTouch& touches = m_pGame->GetContext().MultiTouch;
    EXPECT_EQ(m_pGame->OnMouseButton(3, 120, 80), 1u);
    EXPECT_EQ(m_pGame->OnMouseButton(16, 5, 5), 1u);
    EXPECT_EQ(touches.m_Touches[3].down, 1u);
    EXPECT_EQ(touches.m_Touches[3].position.x, 120.0f);
    EXPECT_EQ(m_pGame->OnMouseDrag(3, 130, 90), 1u);
    EXPECT_EQ(touches.m_Touches[3].position.y, 90.0f);
    EXPECT_EQ(m_pGame->OnMouseButtonUp(3, 0, 0), 1u);
    // No step saw the press yet: the release waits for the step after it.
    EXPECT_EQ(touches.m_Touches[3].upPending, 1u);
    EXPECT_EQ(touches.m_Touches[3].position.x, 130.0f) << "the position stays";
    // The back key (Escape on a desktop) is the front screen's back button; other keys are
    // not used.
    EXPECT_EQ(m_pGame->OnKeyDown(KET_KEY_BACK), 1u);
    EXPECT_EQ(m_Fakes.log.Count("menu.OnBackButton()"), 1);
    EXPECT_EQ(m_pGame->OnKeyDown(KET_KEY_ENTER), 0u);
    EXPECT_EQ(m_Fakes.log.Count("menu.OnBackButton()"), 1);
    EXPECT_EQ(m_pGame->OnChar('q'), 1u);
    EXPECT_EQ(m_Fakes.log.Count("menu.OnChar(113)"), 1);
}

TEST_F(CStateGame, ScreenSizeChangesReachRendererScreensAndTheMuteButton)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    EXPECT_EQ(m_pGame->OnScreenChanged(1024, 768), 0u);
    EXPECT_EQ(m_pGame->GetRenderer()->GetScreenWidth(), 1024.0f);
    EXPECT_EQ(m_pGame->GetRenderer()->m_Camera.m_vScreenHalf.y, 384.0f);
    EXPECT_EQ(m_Fakes.log.Count("menu.OnScreenChanged(1024,768)"), 1);
    // The top right corner of the new size, w / 25 * 2 wide and high.
    EXPECT_FLOAT_EQ(m_pGame->m_rcMute.left, 942.08f);
    EXPECT_EQ(m_pGame->m_rcMute.right, 1024.0f);
    EXPECT_FLOAT_EQ(m_pGame->m_rcMute.bottom, 81.92f);
}

TEST_F(CStateGame, ReleaseAndRestoreOfTheGraphicsResources)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    m_pGame->AddState(STATE_PLAY);
    EXPECT_EQ(m_pGame->OnReleaseResources(), KE_OK);
    EXPECT_EQ(m_pGame->GetRenderer()->m_pScreenShader, nullptr);
    EXPECT_EQ(m_Fakes.log.Count("play.ReleaseVirtuaIItems"), 1);
    EXPECT_EQ(m_pGame->OnRestoreResources(), KE_OK);
    EXPECT_NE(m_pGame->GetRenderer()->m_pScreenShader, nullptr);
    EXPECT_EQ(m_pGame->m_bResourcesLoaded, 1) << "everything is loaded again at once";
    EXPECT_EQ(m_Fakes.log.Count("menu.RestoreResources"), 1);
    EXPECT_EQ(m_Fakes.log.Count("play.RestoreResources"), 1);
}

TEST_F(CStateGame, ShuttingDownTwiceThenDeletingIsClean)
{
    ASSERT_NO_FATAL_FAILURE(StartWithMenu());
    m_pGame->AddState(STATE_PLAY);
    m_pGame->Shutdown();
    m_pGame->Shutdown();
    EXPECT_EQ(m_pGame->GetApp(), nullptr);
    EXPECT_EQ(m_pGame->GetRenderer(), nullptr);
    EXPECT_EQ(m_pGame->GetStateCount(), 0);
    m_pGame.reset();
    EXPECT_EQ(m_Fakes.log.Count("menu.Shutdown"), 1);
    EXPECT_EQ(m_Fakes.log.Count("play.~"), 1);
    EXPECT_EQ(m_Fakes.log.Count("chat.~"), 1);
}

TEST_F(CStateGame, TwoRootStatesShareNothingTheyChange)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ::CStateGame other;
    other.SetClock(&m_Clock);
    sFakeScreens otherFakes;
    otherFakes.Install(other);
    ASSERT_EQ(other.Startup(&m_App), KE_OK);

    m_pGame->OnMouseButton(0, 10, 20);
    Step();
    other.Update(0.0f);
    EXPECT_EQ(m_pGame->GetContext().MultiTouch.m_Touches[0].pressed, 1u);
    EXPECT_EQ(other.GetContext().MultiTouch.m_Touches[0].down, 0u);
    EXPECT_EQ(other.GetContext().MultiTouch.m_bAnyPressed, 0u);

    while (!m_pGame->m_bResourcesLoaded)
        m_pGame->PreloadResources(1);
    while (!other.m_bResourcesLoaded)
        other.PreloadResources(1);
    m_pGame->UnloadResources(1);
    EXPECT_EQ(m_pGame->GetContext().psrfGameTextures[TEXTURE_MUTE_OFF], nullptr);
    EXPECT_NE(other.GetContext().psrfGameTextures[TEXTURE_MUTE_OFF], nullptr);
    EXPECT_NE(other.GetContext().psndGameSounds[SOUND_JUMP], nullptr);
    EXPECT_NE(other.GetContext().pfntGameFonts, nullptr);

    EXPECT_NE(other.GetPhysics(), m_pGame->GetPhysics());
    EXPECT_NE(other.GetRenderer(), m_pGame->GetRenderer());
    EXPECT_NE(&other.GetRenderer()->m_Camera, &m_pGame->GetRenderer()->m_Camera);
    other.Shutdown();
}

} // namespace
