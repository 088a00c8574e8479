// The match screen under the real root state: what it builds and gives back, its play
// states' buttons, ranks, the turn share, the failed start of a network match, and the
// button layout.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Framework/Session/VornPlayer.h"
#include "Framework/Shell/VornResourceManager.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "tests/game/PlayStateFixture.h"

namespace
{

// The resource manager's surface records, reached through its protected member.
struct sSURFACE_PEEK : CVornResourceManager
{
    using CVornResourceManager::m_Surfaces;
};

// Held surfaces and their reference counts.
std::map<const CKorvelSurface*, int> SurfaceCounts(CVornResourceManager& manager)
{
    std::map<const CKorvelSurface*, int> counts;
    auto aMaps = &sSURFACE_PEEK::m_Surfaces;
    for (const auto& map : manager.*aMaps)
        for (int i = 0; i < map.GetCount(); ++i)
            if (map.GetAt(i).m_Second->m_iRefCount > 0)
                counts[map.GetAt(i).m_Second->m_pSurface] = map.GetAt(i).m_Second->m_iRefCount;
    return counts;
}

// A lobby that knows only the own player.
class COnePlayerGame : public CStateGame
{
public:
    COnePlayerGame()
    {
        m_Player.m_iUserId = 11;
        m_Player.m_strName.Set("Ann");
    }
    ~COnePlayerGame() override { Shutdown(); }
    int GetPlayerId() override { return 11; }
    CVornPlayer* GetPlayer(int i) override { return i == 0 ? &m_Player : nullptr; }

    CVornPlayer m_Player;
};

class CMoxPlayState : public CPlayStateTest
{
protected:
    std::set<int> VisibleButtons()
    {
        std::set<int> ids;
        for (int i = 0; i < m_pPlay->m_pButtons->GetCount(); ++i)
        {
            const CMoxButton* pButton = m_pPlay->m_pButtons->GetAt(i);
            if (pButton->m_bVisible)
                ids.insert(pButton->m_iID);
        }
        return ids;
    }
    void PreloadAll()
    {
        while (!m_pGame->m_bResourcesLoaded)
            m_pGame->PreloadResources(1);
    }
};

TEST_F(CMoxPlayState, TheGamesScreenTableMakesTheMatchScreen)
{
    CMoxGameContext context;
    const auto& create = context.m_ScreenTable.m_aCreators[STATE_PLAY];
    ASSERT_TRUE(bool(create));
    CMoxState* pState = create();
    EXPECT_NE(dynamic_cast<::CMoxPlayState*>(pState), nullptr);
    delete pState; // never started: nothing to give back
}

TEST_F(CMoxPlayState, StartingBuildsTheScenesQueuesAndSnapshot)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    m_pGame->m_bGameDisconnected = 1;
    m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [] { return new ::CMoxPlayState(); };
    m_pPlay = dynamic_cast<::CMoxPlayState*>(m_pGame->AddState(STATE_PLAY));
    ASSERT_NE(m_pPlay, nullptr);
    ::CMoxPlayState& p = *m_pPlay;

    EXPECT_EQ(p.GetStateID(), STATE_PLAY);
    EXPECT_EQ(p.GetNextStateID(), STATE_MENU);
    EXPECT_EQ(p.m_ePlayState, PLAYSTATE_RESET);
    EXPECT_EQ(m_pGame->m_bGameDisconnected, 0u);
    EXPECT_EQ(m_pGame->m_bResourcesLoaded, 1) << "preloaded to the end";
    EXPECT_NE(m_pGame->GetContext().pfntGameFonts, nullptr);
    ASSERT_NE(p.m_pLiveScene, nullptr);
    ASSERT_NE(p.m_pBackupScene, nullptr);
    EXPECT_EQ(p.m_pScene, p.m_pLiveScene);
    EXPECT_EQ(p.m_pLiveScene->m_pPhysics, m_pGame->GetPhysics());
    ASSERT_NE(p.m_pBackupPhysics, nullptr);
    EXPECT_EQ(p.m_pBackupScene->m_pPhysics, p.m_pBackupPhysics);
    EXPECT_FLOAT_EQ(p.m_pBackupPhysics->m_fStepTime, 1.0f / 30.0f);
    EXPECT_EQ(p.m_pBackupPhysics->m_iSubSteps, m_pGame->GetPhysics()->m_iSubSteps);
    EXPECT_EQ(m_pGame->GetRenderer()->m_Camera.m_pScene, p.m_pLiveScene);
    ASSERT_EQ(m_pGame->GetPhysics()->m_Listeners.GetCount(), 1);
    EXPECT_EQ(m_pGame->GetPhysics()->m_Listeners[0], static_cast<const CMoxPhysicsListener*>(&p));
    for (const CMoxEventManager* pQueue :
         {p.m_pLocalEvents, p.m_pOutgoingEvents, p.m_pAckEvents, p.m_pPlaybackEvents})
    {
        ASSERT_NE(pQueue, nullptr);
        EXPECT_EQ(pQueue->GetNumEvents(), 0);
    }
    EXPECT_NE(p.m_pSnapshot, nullptr);
    EXPECT_GE(p.m_iBackground, 0);
    EXPECT_LE(p.m_iBackground, 9);
    EXPECT_EQ(p.m_bNoAlphaBuffer, 1u) << "the test back buffer has no alpha bits";
}

// With the preload complete, a match gives back every surface reference it took: the
// preload's slots stay filled, the battle backgrounds it fetched are released.
TEST_F(CMoxPlayState, RemovingTheScreenGivesBackWhatItTook)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    PreloadAll();
    const std::map<const CKorvelSurface*, int> before = SurfaceCounts(m_App);
    CKorvelSurface** apSlots = m_pGame->GetContext().psrfGameTextures;
    for (int iRound = 0; iRound < 2; ++iRound)
    {
        SCOPED_TRACE(iRound);
        m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [] { return new ::CMoxPlayState(); };
        m_pPlay = dynamic_cast<::CMoxPlayState*>(m_pGame->AddState(STATE_PLAY));
        ASSERT_NE(m_pPlay, nullptr);
        m_pPlay->RestoreResources();
        ASSERT_NE(apSlots[TEXTURE_BACKGROUND_BATTLE], nullptr);
        ASSERT_NE(apSlots[TEXTURE_BACKGROUND_UNIQUE], nullptr);
        m_pPlay->RestoreResources(); // filled slots are not fetched twice
        m_pPlay->SyncPhysics(1);
        m_pPlay->m_TurnRecord.Add(new CMoxEvent(15, 0, nullptr, 0, 1));
        m_pGame->RemoveState(STATE_PLAY);
        m_pPlay = nullptr;

        EXPECT_EQ(apSlots[TEXTURE_BACKGROUND_BATTLE], nullptr);
        EXPECT_EQ(apSlots[TEXTURE_BACKGROUND_UNIQUE], nullptr);
        EXPECT_NE(apSlots[6], nullptr) << "the grab marker stays";
        EXPECT_NE(apSlots[9], nullptr) << "player 0's stretch picture stays";
        EXPECT_EQ(m_pGame->m_bResourcesLoaded, 1);
        EXPECT_EQ(SurfaceCounts(m_App), before);
        EXPECT_EQ(m_pGame->GetPhysics()->m_Listeners.GetCount(), 0);
        EXPECT_EQ(m_pGame->GetPhysics()->m_Bodies.GetCount(), 0);
        EXPECT_EQ(m_pGame->GetRenderer()->m_Camera.m_pScene, nullptr);
        // The game runs on without the screen.
        Step();
        m_pGame->GetPhysics()->Simulate();
    }
}

TEST_F(CMoxPlayState, PlayStatesShowTheirButtons)
{
    ASSERT_NO_FATAL_FAILURE(StartPlay());
    const std::set<int> kPlaying = {0, 6, 7, 2, 3, 4, 5, 8};
    struct sCASE
    {
        PLAYSTATE eState;
        unsigned int uQuit, uTraining;
    };
    for (const sCASE& c : {sCASE{PLAYSTATE_LOADED, 1, 1}, sCASE{PLAYSTATE_BETWEEN_ROUNDS, 0, 0},
                           sCASE{PLAYSTATE_BETWEEN_ROUNDS, 1, 0}, sCASE{PLAYSTATE_OWN_TURN, 0, 0},
                           sCASE{PLAYSTATE_OWN_TURN, 1, 1}, sCASE{PLAYSTATE_OWN_TURN, 0, 1}})
    {
        SCOPED_TRACE(testing::Message() << c.eState << " quit " << c.uQuit << " training " << c.uTraining);
        m_pPlay->m_bSinglePlayer = c.uTraining;
        m_pPlay->InitControls(1);
        for (int i = 0; i < m_pPlay->m_pButtons->GetCount(); ++i)
        {
            CMoxButton* pButton = m_pPlay->m_pButtons->GetAt(i);
            pButton->m_bVisible = 1;
            pButton->m_eState = BUTTON_DOWN;
            pButton->m_fPressScale = 0.8f;
        }
        m_pPlay->m_bQuitDialog = c.uQuit;
        m_pPlay->m_bReadySent = 1;
        m_pPlay->SetPlayState(c.eState);

        EXPECT_EQ(m_pPlay->m_ePlayState, c.eState);
        std::set<int> expected = {0};
        if (c.eState != PLAYSTATE_LOADED)
        {
            expected = kPlaying;
            if (c.uQuit)
                expected.insert({10, 11});
            if (c.uTraining)
                expected.insert(13);
        }
        EXPECT_EQ(VisibleButtons(), expected);
        for (int i = 0; i < m_pPlay->m_pButtons->GetCount(); ++i)
        {
            const CMoxButton* pButton = m_pPlay->m_pButtons->GetAt(i);
            if (!pButton->m_bVisible)
            {
                EXPECT_EQ(pButton->m_eState, BUTTON_IDLE) << pButton->m_iID;
                EXPECT_EQ(pButton->m_fPressScale, 1.0f) << pButton->m_iID;
            }
        }
        EXPECT_EQ(m_pPlay->m_bReadySent, c.eState == PLAYSTATE_BETWEEN_ROUNDS ? 0u : 1u);
    }

    // Entering the time between rounds notes when.
    Frame(5000);
    m_pPlay->SetPlayState(PLAYSTATE_BETWEEN_ROUNDS);
    EXPECT_FLOAT_EQ(m_pPlay->m_fStateTime, m_pPlay->GetNow());
    EXPECT_GT(m_pPlay->m_fStateTime, 4.9f);
}

TEST_F(CMoxPlayState, RanksByCode)
{
    ASSERT_NO_FATAL_FAILURE(StartPlay());
    m_pPlay->SetPlayerIdentity(0, 11, CKorvelString("Ann"));
    m_pPlay->SetPlayerIdentity(1, 22, CKorvelString("Bo"));
    m_pPlay->SetPlayerIdentity(2, 33, CKorvelString("Nobody"));
    m_pPlay->m_iOwnPlayer = 1;
    m_pPlay->m_iOpponent = 0;
    struct sCASE
    {
        int iCode;
        std::vector<int> aIds, aRanks;
    };
    for (const sCASE& c : {sCASE{0, {11, 22}, {1, 2}}, sCASE{1, {11, 22}, {2, 1}},
                           sCASE{666, {22, 11}, {1, 1}}, sCASE{5, {}, {}}})
    {
        SCOPED_TRACE(c.iCode);
        m_pPlay->CreateRanks(c.iCode);
        EXPECT_EQ(m_pPlay->m_iResult, c.iCode);
        std::vector<int> aIds, aRanks;
        for (int i = 0; i < m_pPlay->m_aResultIds.GetCount(); ++i)
            aIds.push_back(m_pPlay->m_aResultIds[i]);
        for (int i = 0; i < m_pPlay->m_aResultRanks.GetCount(); ++i)
            aRanks.push_back(m_pPlay->m_aResultRanks[i]);
        EXPECT_EQ(aIds, c.aIds);
        EXPECT_EQ(aRanks, c.aRanks);
    }
    EXPECT_EQ(m_pPlay->GetPlayerUserId(2), -1);
    EXPECT_EQ(m_pPlay->GetPlayerColour(0), 0xFFFF5D37u);
    EXPECT_EQ(m_pPlay->GetPlayerColour(1), 0xFF3A92FFu);
}

TEST_F(CMoxPlayState, TheTurnShareStaysWithinZeroAndOne)
{
    ASSERT_NO_FATAL_FAILURE(StartPlay());
    for (const std::pair<float, float>& c :
         {std::make_pair(-0.5f, 0.0f), std::make_pair(1.5f, 1.0f), std::make_pair(0.25f, 0.25f)})
    {
        m_pPlay->m_fTurnProgress = c.first;
        EXPECT_EQ(m_pPlay->GetTurnTimeFactor(), c.second) << c.first;
        EXPECT_EQ(m_pPlay->m_fTurnProgress, c.second) << "kept";
        EXPECT_EQ(m_pGame->OwnTurnProgress(), c.second);
    }
}

TEST_F(CMoxPlayState, ANetworkMatchWithOnePlayerEndsAsATie)
{
    COnePlayerGame* pGame = new COnePlayerGame();
    ASSERT_NO_FATAL_FAILURE(StartGame(pGame));
    m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [] { return new ::CMoxPlayState(); };
    m_pGame->StartGame(1);
    m_pPlay = dynamic_cast<::CMoxPlayState*>(m_pGame->GetState(STATE_PLAY));
    ASSERT_NE(m_pPlay, nullptr);
    EXPECT_EQ(m_pPlay->m_iResult, 666);
    EXPECT_EQ(m_pPlay->m_aResultIds.GetCount(), 2);
    EXPECT_EQ(m_pPlay->m_aResultIds[0], 11);
    EXPECT_EQ(m_pPlay->m_aResultIds[1], -1);
    const CMoxEventManager& local = *m_pPlay->m_pLocalEvents;
    ASSERT_EQ(local.GetNumEvents(), 2);
    EXPECT_EQ(local.GetEvent(0)->m_uType, EVENT_GAME_END);
    EXPECT_EQ(MoxGetI32(local.GetEvent(0)->m_pPayload, MoxField::END_LEAVE), 0);
    EXPECT_EQ(local.GetEvent(1)->m_uType, EVENT_REMATCH);
    EXPECT_EQ(local.GetEvent(1)->m_pPayload[MoxField::REMATCH_ANSWER], 0);
    EXPECT_EQ(m_pPlay->m_bGameOverSent, 1u);
    EXPECT_EQ(m_pPlay->m_bRematchSent, 1u);
}

// The layout of every button at two screen widths, with and without the action row, in a
// network match and in training; the pictures by the own index.
TEST_F(CMoxPlayState, ButtonLayout)
{
    ASSERT_NO_FATAL_FAILURE(StartPlay());
    struct sEXPECTED
    {
        float x, y, half; // in units of W and H
        int iTexture;
        bool bVisible;
    };
    for (const std::pair<int, int>& size : {std::make_pair(800, 600), std::make_pair(1024, 600)})
        for (unsigned int uFull : {0u, 1u})
            for (unsigned int uTraining : {0u, 1u})
            {
                SCOPED_TRACE(testing::Message()
                             << size.first << " full " << uFull << " training " << uTraining);
                const float W = float(size.first), H = float(size.second), u = W / 30.0f;
                m_pGame->GetRenderer()->SetScreenSize(W, H);
                m_pPlay->m_bSinglePlayer = uTraining;
                m_pPlay->m_iOwnPlayer = int(uTraining); // player 1's pictures once
                m_pPlay->InitControls(uFull);
                const float xQuit = uTraining ? 0.4f * W : 0.5f * W, xOther = uTraining ? 0.6f * W : 0.5f * W;
                const int iOwn = uTraining ? 3 : 0;
                std::map<int, sEXPECTED> expected = {
                    {10, {0.4f * W, 0.6f * H, W / 20, 25, false}},
                    {11, {0.6f * W, 0.6f * H, W / 20, 26, false}},
                    {0, {xQuit, H - 1.2f * u, u, 11, true}},
                    {1, {xOther, H - 1.2f * u, u, 60, false}},
                    {9, {0.5f * W, 0.75f * H, W / 15, 60, false}},
                    {12, {0.5f * W, 0.75f * H, W / 15, 60, false}},
                };
                std::vector<int> aOrder = {10, 11, 0, 1, 9, 12};
                if (uTraining)
                {
                    expected[13] = {0.6f * W, H - 1.2f * u, u, 66, true};
                    aOrder = {10, 11, 0, 13, 1, 9, 12};
                }
                if (uFull)
                {
                    expected[6] = {u, H - u, u, 64, false};
                    expected[7] = {W - u, H - u, u, 64, false};
                    expected[2] = {0.5f * W - 6 * u, 1.5f * u, u, 49 + iOwn, true};
                    expected[5] = {0.5f * W - 3 * u, 1.5f * u, u, 51 + iOwn, true};
                    expected[3] = {0.5f * W, 1.5f * u, u, 50 + iOwn, true};
                    expected[4] = {0.5f * W + 3 * u, 1.5f * u, u, 55, true};
                    expected[8] = {0.5f * W + 6 * u, 1.5f * u, u, 23, true};
                    aOrder.insert(aOrder.end() - 2, {6, 7, 2, 5, 3, 4, 8});
                }
                const CMoxButtonManager& buttons = *m_pPlay->m_pButtons;
                ASSERT_EQ(buttons.GetCount(), int(aOrder.size()));
                for (int i = 0; i < buttons.GetCount(); ++i)
                {
                    const CMoxButton* b = buttons.GetAt(i);
                    EXPECT_EQ(b->m_iID, aOrder[size_t(i)]) << i;
                    const sEXPECTED& e = expected[b->m_iID];
                    SCOPED_TRACE(b->m_iID);
                    EXPECT_NEAR(b->m_vPosition.x, e.x, 1e-3f);
                    EXPECT_NEAR(b->m_vPosition.y, e.y, 1e-3f);
                    EXPECT_NEAR(b->m_vHalfSize.x, e.half, 1e-3f);
                    EXPECT_NEAR(b->m_vHalfSize.y, e.half, 1e-3f);
                    EXPECT_EQ(b->m_iTexture, e.iTexture);
                    EXPECT_EQ(b->m_bVisible != 0, e.bVisible);
                    const CKorvelRect<float>& rc = m_pPlay->m_rcButtons[b->m_iID];
                    EXPECT_NEAR(rc.left, e.x - e.half, 1e-3f);
                    EXPECT_NEAR(rc.bottom, e.y + e.half, 1e-3f);
                }
            }

    // A change of the screen size rebuilds the whole layout; what the match made of the
    // buttons stays (here an open quit question and a dimmed fire button).
    m_pPlay->m_bSinglePlayer = 0;
    m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_QUIT_YES)->m_bVisible = 1;
    m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_FIRE)->m_bDimmed = 1;
    m_pGame->OnScreenChanged(800, 480);
    const CMoxButton* pFire = m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_FIRE);
    ASSERT_NE(pFire, nullptr);
    EXPECT_FLOAT_EQ(pFire->m_vPosition.x, 400.0f);
    EXPECT_EQ(pFire->m_bDimmed, 1u);
    const CMoxButton* pYes = m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_QUIT_YES);
    EXPECT_FLOAT_EQ(pYes->m_vPosition.x, 320.0f);
    EXPECT_EQ(pYes->m_bVisible, 1u);
    EXPECT_EQ(m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_QUIT_NO)->m_bVisible, 0u);
    // Before the match starts, the weapon row does not come early.
    m_pPlay->InitControls(0);
    m_pGame->OnScreenChanged(1024, 600);
    EXPECT_EQ(m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_JUMP), nullptr);
}

TEST_F(CMoxPlayState, TheSpecialButtonShowsTheItemHeld)
{
    ASSERT_NO_FATAL_FAILURE(StartPlay());
    CPlayer& own = m_pPlay->m_pLiveScene->m_Players[1];
    m_pPlay->m_iOwnPlayer = 1;
    struct sCASE
    {
        int bCluster, bSnow;
        unsigned int uUsed;
        int iTexture;
        unsigned int uDimmed;
    };
    for (const sCASE& c : {sCASE{0, 0, 0, 23, 1}, sCASE{1, 0, 0, 22, 0}, sCASE{0, 1, 0, 21, 0},
                           sCASE{1, 1, 0, 22, 0}, sCASE{1, 1, 1, 23, 1}})
    {
        SCOPED_TRACE(testing::Message() << c.bCluster << c.bSnow << c.uUsed);
        own.m_bHasCluster = c.bCluster;
        own.m_bHasSnow = c.bSnow;
        m_pPlay->m_bSpecialUsed = c.uUsed;
        m_pPlay->InitControls(1);
        const CMoxButton* pSpecial = m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_SPECIAL);
        ASSERT_NE(pSpecial, nullptr);
        EXPECT_EQ(pSpecial->m_iTexture, c.iTexture);
        EXPECT_EQ(pSpecial->m_bDimmed, c.uDimmed);
    }
}

TEST_F(CMoxPlayState, ResetEmptiesTheQueuesAndTheReceivedIdentifiers)
{
    ASSERT_NO_FATAL_FAILURE(StartPlay());
    m_pPlay->SyncPhysics(1);
    m_pPlay->m_pPlaybackEvents->AddEvent(15, nullptr, 0, 0);
    m_pPlay->m_pOutgoingEvents->AddEvent(15, nullptr, 0, 0);
    m_pPlay->m_pAckEvents->AddEvent(1, nullptr, 0, 0);
    m_pPlay->m_aReceivedIds.Add(5);
    m_pPlay->m_iResult = 0;
    m_pPlay->m_bRunPhysics = 1;
    m_pPlay->m_bEndRoundSent = 1;
    m_pPlay->Reset();
    for (const CMoxEventManager* pQueue : {m_pPlay->m_pLocalEvents, m_pPlay->m_pOutgoingEvents,
                                           m_pPlay->m_pAckEvents, m_pPlay->m_pPlaybackEvents})
        EXPECT_EQ(pQueue->GetNumEvents(), 0);
    EXPECT_EQ(m_pPlay->m_aReceivedIds.GetCount(), 0);
    EXPECT_EQ(m_pPlay->m_iResult, 255);
    EXPECT_EQ(m_pPlay->m_bRunPhysics, 0u);
    EXPECT_EQ(m_pPlay->m_bEndRoundSent, 0u);
    EXPECT_EQ(m_pPlay->GetNextStateID(), STATE_MENU);
    EXPECT_EQ(m_pPlay->m_ePlayState, PLAYSTATE_RESET);
}

} // namespace
