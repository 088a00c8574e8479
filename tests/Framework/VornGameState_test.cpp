// The game-state interface's framework bodies that need no session.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "Framework/VornLanguage.h"
#include "support/TestGameState.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestText.h"

namespace
{

// Only the interface's own bodies: the test game overrides none of these.
class CPlainGame : public CTestGameState
{
public:
    CKorvelString GetResellerId() const override { return IVornGameState::GetResellerId(); }
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

} // namespace
