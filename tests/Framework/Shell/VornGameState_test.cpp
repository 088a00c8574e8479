// The game-state interface's framework bodies: the defaults, and the game's way to the
// session, the lobby and the achievements through the application.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "AchievementStation/VornAchievement.h"
#include "AchievementStation/VornAchievementGame.h"
#include "AchievementStation/VornAchievementStation.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/Shell/VornLanguage.h"
#include "support/TestGameState.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestText.h"

namespace
{

// Only the interface's own bodies: the test game overrides none of these.
class CPlainGame : public CTestGameState
{
public:
    CKorvelString GetResellerId() const override { return InterfaceResellerId(); }
};

TEST(IVornGameState, KeepsTheFirstApplicationItIsGiven)
{
    CTestKestrolundApplication first, second;
    CPlainGame game;
    game._SetApp(&first);
    game._SetApp(&second);
    EXPECT_EQ(game.GetApplication(), &first);
}

TEST(IVornGameState, TheDefaultsNeedNoSession)
{
    CPlainGame game;
    EXPECT_EQ(Narrow(game.GetResellerId()), "bb");
    EXPECT_EQ(game.UsesFullscreen(), 0u);
    EXPECT_EQ(game.OnChatMessage(nullptr, 1), 0u);
    EXPECT_EQ(game.OnThemeChanged(), 1u);
    EXPECT_EQ(game.GetPlayerId(), -1);
    EXPECT_EQ(game.GetPlayerCount(), 0);
    EXPECT_EQ(game.GetPlayer(0), nullptr);
    EXPECT_EQ(game.Achieve(1), 0u);
    EXPECT_EQ(game.GetAchieved(1), 0u);
    EXPECT_EQ(Narrow(game.IVornGameState::GetAppSecret()), "");
    EXPECT_EQ(CKorvelString(CTestGameState::SECRET).GetLength(), 31);
}

TEST(IVornGameState, ALanguageChangeNeedsTheGamesLanguage)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Start(), KE_OK);
    CPlainGame game;
    EXPECT_EQ(game.OnLanguageChanged(CKorvelString("en")), KE_ERR_NOTSTARTED);

    CVornLanguage language;
    ASSERT_EQ(language.Startup(&app, CKorvelString("vornlanguage")), KE_OK);
    game.m_pLanguage = &language;
    EXPECT_EQ(game.OnLanguageChanged(CKorvelString("en")), KE_OK);
    EXPECT_EQ(game.OnLanguageChanged(CKorvelString("xx")), KE_ERR_NOTFOUND);
    game.m_pLanguage = nullptr;
    language.Shutdown();
}

TEST(IVornGameState, QuickExitGoesThroughTheApplicationToTheLobby)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_TRUE(app.RunSplash());
    app.m_pGame->QuickExit();
    EXPECT_EQ(app.m_Log.Count("lobby.QuickExit"), 1);
}

// The test application through the splash, with the session answering as scripted.
void StartWithSession(CTestKestrolundApplication& app)
{
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    ASSERT_TRUE(app.RunSplash());
    app.m_Log.Clear();
}

TEST(IVornGameState, QuickPlayJoinsTheQueueOnlyWhileTheLobbyIsUp)
{
    CTestKestrolundApplication app;
    ASSERT_NO_FATAL_FAILURE(StartWithSession(app));
    app.m_pTestLobby->m_Script.uLoggedIn = 1;
    struct sCASE
    {
        unsigned int uStatus;
        bool bJoins;
    };
    // Statuses 1 and 3 (connected, not logged in) join as well: the lobby bit is what counts.
    const sCASE aCases[] = {{0, false}, {1, true}, {2, false},     {3, true},
                            {4, false}, {5, true}, {0x100, false}, {0x105, true}};
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.uStatus);
        app.m_pTestSession->m_Script.uStatus = c.uStatus;
        app.m_Log.Clear();
        app.m_pGame->QuickPlay();
        EXPECT_EQ(app.m_Log.Find("lobby.ExitChat"), 0);
        EXPECT_EQ(app.m_Log.Find("session.DisconnectGame"), 1);
        if (c.bJoins)
        {
            EXPECT_EQ(app.m_Log.With("session.RegisterInGameQueue"),
                      (std::vector<std::string>{"session.RegisterInGameQueue(1,2)"}));
            EXPECT_EQ(app.m_Log.Count("game.CancelledQuickPlay") + app.m_Log.Count("lobby.Logout"), 0);
        }
        else
        {
            EXPECT_EQ(app.m_Log.Count("session.RegisterInGameQueue"), 0);
            EXPECT_EQ(app.m_Log.Count("session.Send"), 0);
            const int iCancelled = app.m_Log.Find("game.CancelledQuickPlay");
            EXPECT_GE(iCancelled, 0);
            EXPECT_GT(app.m_Log.Find("lobby.Logout"), iCancelled);
        }
    }
    // Played offline, with no session to end, the way out is the login page.
    app.m_pTestLobby->m_Script.uLoggedIn = 0;
    app.m_pTestSession->m_Script.uStatus = 0;
    app.m_Log.Clear();
    app.m_pGame->QuickPlay();
    EXPECT_GT(app.m_Log.Find("lobby.OnLogout"), app.m_Log.Find("game.CancelledQuickPlay"));
    EXPECT_EQ(app.m_Log.Count("lobby.Logout"), 0);
}

TEST(IVornGameState, TheGamesMessagesAndResultsReachTheSession)
{
    CTestKestrolundApplication app;
    app.m_SessionScript.strHttpQuery = "uid=17&app=64";
    ASSERT_NO_FATAL_FAILURE(StartWithSession(app));
    const unsigned char aMessage[] = {1, 2, 3};
    app.m_pGame->SendGameMsg(aMessage, sizeof(aMessage), 0, 0);
    app.m_pGame->CancelQuickPlay();
    CKorvelArray<int> aPlayers, aResults;
    aPlayers.Add(17);
    aResults.Add(2);
    app.m_pGame->SendResults(aPlayers, aResults, 0);
    EXPECT_EQ(app.m_Log.With("session."),
              (std::vector<std::string>{"session.SendGameMsg(3)", "session.UnregisterFromGameQueue()",
                                        "session.SendGameEnd(17,2,0)"}));
    EXPECT_EQ(Narrow(app.m_pGame->GetHttpQuery()), "uid=17&app=64");
}

TEST(IVornGameState, PlayersComeFromTheSessionAndNeverFromOutsideItsList)
{
    CTestKestrolundApplication app;
    app.m_SessionScript.iOwnUserId = 17;
    app.m_SessionScript.aPlayers = {{17, "Ilvar"}};
    ASSERT_TRUE(app.WritePacks());
    ASSERT_EQ(app.Start(), KE_OK);
    app.m_pGame->_SetApp(&app);
    EXPECT_EQ(app.m_pGame->GetPlayerId(), -1) << "before the session exists";
    EXPECT_EQ(app.m_pGame->GetPlayerCount(), 0);
    ASSERT_TRUE(app.RunSplash());

    EXPECT_EQ(app.m_pGame->GetPlayerId(), 17);
    EXPECT_EQ(app.m_pGame->GetPlayerCount(), 1);
    ASSERT_NE(app.m_pGame->GetPlayer(0), nullptr);
    EXPECT_EQ(Narrow(app.m_pGame->GetPlayer(0)->m_strName), "Ilvar");
    for (int iIndex : {1, 2, -1})
        EXPECT_EQ(app.m_pGame->GetPlayer(iIndex), nullptr) << iIndex;
}

TEST(IVornGameState, AchievementsAreEarnedOnceAndWrittenWhenEarned)
{
    CTestKestrolundApplication app;
    ASSERT_TRUE(app.WritePacks(false));
    ASSERT_EQ(app.Start(), KE_OK);
    CPlainGame game;
    game._SetApp(&app);
    EXPECT_EQ(game.Achieve(1), 0u) << "no station";

    // A station without descriptions in a pack; the game's achievements are added here.
    CVornAchievementStation* pStation = new CVornAchievementStation;
    pStation->Startup(&app, game.GetAppId(), CKorvelString("missing.kmp"));
    pStation->ReadAchievementDescriptions(
        CKorvelString("achievement 1 { name \"First\" } achievement 2 { name \"Second\" }"));
    ASSERT_EQ(pStation->GetGame(game.GetAppId())->GetAchievementCount(), 2);
    pStation->GetGame(game.GetAppId())->GetAchievement(2)->SetAchieved(1);
    app.m_pAchievementStation = pStation;

    struct stat info;
    const std::string strState = app.DataFile("ach.dat");
    EXPECT_EQ(game.Achieve(2), 1u);
    EXPECT_NE(stat(strState.c_str(), &info), 0) << "an earned achievement writes nothing";
    EXPECT_EQ(game.Achieve(9), 0u);
    EXPECT_EQ(game.GetAchieved(9), 0u);
    EXPECT_EQ(game.GetAchieved(1), 0u);

    EXPECT_EQ(game.Achieve(1), 1u);
    EXPECT_EQ(game.GetAchieved(1), 1u);
    EXPECT_EQ(stat(strState.c_str(), &info), 0);
    EXPECT_GE(pStation->GetGame(game.GetAppId())->GetAchievement(1)->GetTime()->m_iYear, 2024);
}

} // namespace
