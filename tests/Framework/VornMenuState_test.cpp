// The lobby state's core: time-left texts, the dialogs that leave the game in front, the
// turn clock, the loading dialog's time-out, the back key, and reloads after a screen
// change or a lost layout file.
// KORVEL_GL_TEST
#include "VornMenuStateTest.h"

#include <cmath>
#include <cstdio>

#include "Framework/UI/PieWidget.h"

using namespace menu_state_test;

namespace
{

class CVornMenuState : public CMenuStateTest
{
protected:
    std::string TimeLeft(int iSeconds)
    {
        CKorvelString strOut;
        Lobby()->FormatTimeLeft(iSeconds, strOut);
        return Narrow(strOut);
    }
    int GameCalls(const char* pWhat) { return m_App.m_Log.Count(std::string("game.") + pWhat); }
    void Show(const char* pName, unsigned int uVisible)
    {
        CWidget* p = Find(pName);
        ASSERT_NE(p, nullptr) << pName;
        p->SetVisible(uVisible);
    }
};

TEST_F(CVornMenuState, TimeLeftPicksTheTextByRangeAndFormatsOnlyThoseWithANumber)
{
    m_Texts = {{184, "now"},        {185, "seconds"},  {186, "%d minute"}, {193, "%d minutes"},
               {187, "an hour"},    {194, "%d hours"}, {188, "a day"},     {195, "%d days"},
               {189, "a week"},     {196, "%d weeks"}, {190, "%d month"},  {197, "%d months"},
               {191, "over a year"}};
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct
    {
        int iSeconds;
        const char* pText;
    } aCases[] = {
        {0, "now"},
        {59, "seconds"},
        {60, "1 minute"},
        {3599, "59 minutes"},
        {3600, "an hour"},
        {7200, "2 hours"},
        {86400, "a day"},
        {172800, "2 days"},
        {604800, "a week"},
        {1209600, "2 weeks"},
        {2628000, "1 month"},
        {5256000, "2 months"},
        {31535999, "11 months"},
        {31536000, "over a year"},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(TimeLeft(c.iSeconds), c.pText) << c.iSeconds;
}

TEST_F(CVornMenuState, ATimeTextWhoseConversionDoesNotFitIsShownAsItStands)
{
    m_Texts = {{194, "%s hours"}};
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(TimeLeft(7200), "%s hours");
}

TEST_F(CVornMenuState, TheInGameDialogsLeaveTheGameDrawingAndTakingKeys)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(Lobby()->GetDialogVisible()) << "the loading dialog covers the game";
    const int iDraws = GameCalls("Draw");
    Lobby()->Draw();
    EXPECT_EQ(GameCalls("Draw"), iDraws);

    for (const char* pDialog : {"confirm_buy_dialog_ingame", "generic_error_dialog_ingame"})
    {
        Show(pDialog, 1);
        EXPECT_FALSE(Lobby()->GetDialogVisible()) << pDialog;
        const int iBefore = GameCalls("Draw");
        const int iKeys = GameCalls("OnKeyDown");
        Lobby()->Draw();
        Lobby()->OnKeyDown(static_cast<eKET_KEYCODE>(12));
        EXPECT_EQ(GameCalls("Draw"), iBefore + 1) << pDialog;
        EXPECT_EQ(GameCalls("OnKeyDown"), iKeys + 1) << pDialog;
        Show(pDialog, 0);
    }
    EXPECT_TRUE(Lobby()->GetDialogVisible());
}

TEST_F(CVornMenuState, TheTurnClockShowsTheGamesProgressWhileTheMenuIsOpen)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    CPieWidget* pPie = FindAs<CPieWidget>("vorn-turn-clock");
    ASSERT_NE(pPie, nullptr);
    CWidget* pTimer = Find("vorn-timer");
    m_App.m_pGame->m_fTurnProgress = 0.5f;
    Frame(0.01f);
    EXPECT_TRUE(pTimer->GetVisible());
    EXPECT_FLOAT_EQ(pPie->GetAngle(), static_cast<float>(M_PI));
    m_App.m_pGame->m_fTurnProgress = 0.0f;
    Frame(0.01f);
    EXPECT_FALSE(pTimer->GetVisible());
}

TEST_F(CVornMenuState, TheLoadingDialogClosesAfterThirtySecondsOfFrameTimeAndNoLater)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    Lobby()->BeginLoading(CKorvelString("title"), CKorvelString("text"));
    EXPECT_EQ(PageName(), "loading_dialog");
    EXPECT_EQ(TextOf("text_title"), "title");
    for (int i = 0; i < 299; ++i)
        Frame(0.1f);
    EXPECT_TRUE(Lobby()->IsLoading());
    EXPECT_EQ(PageName(), "loading_dialog");
    Frame(0.15f);
    EXPECT_FALSE(Lobby()->IsLoading());
    EXPECT_NE(PageName(), "loading_dialog");
}

TEST_F(CVornMenuState, TheBackKeyOnTheLoginSide)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    const eKET_KEYCODE eBack = static_cast<eKET_KEYCODE>(::CVornMenuState::KEY_BACK);
    Lobby()->BeginLoading(CKorvelString("t"), CKorvelString("d"));
    Lobby()->OnKeyDown(eBack);
    EXPECT_EQ(PageName(), "loading_dialog") << "nothing while loading";
    Lobby()->EndLoading();

    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    Lobby()->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    Lobby()->OnKeyDown(eBack);
    EXPECT_EQ(PageName(), "loginscreen_root") << "another login page goes back";
    EXPECT_EQ(m_App.m_uExit, 0u);
    Lobby()->OnKeyDown(eBack);
    EXPECT_EQ(m_App.m_uExit, 1u) << "the login page's exit button ends the application";
}

TEST_F(CVornMenuState, AScreenChangeKeepsThePageTheHistoryAndTheOverlay)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    Lobby()->EndLoading();
    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    Lobby()->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    const int iHistory = Pages()->GetNumberofHistoryPages();
    CWidget* pOld = Lobby()->GetRoot();
    EXPECT_EQ(Lobby()->OnScreenChanged(480, 320), 1u);
    EXPECT_NE(Lobby()->GetRoot(), pOld);
    EXPECT_EQ(PageName(), "loginscreen_email");
    EXPECT_EQ(Pages()->GetNumberofHistoryPages(), iHistory);
    EXPECT_TRUE(Pages()->GetVisible());
    Pages()->SwitchToPage(CKorvelString(":back"));
    EXPECT_EQ(PageName(), "loginscreen_root");
}

TEST_F(CVornMenuState, AReloadWithoutTheLayoutFileLeavesTheStateRunningWithoutATree)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    ASSERT_TRUE(WriteLayoutPack(""));
    EXPECT_EQ(Lobby()->OnScreenChanged(480, 320), 0u);
    EXPECT_EQ(Lobby()->GetRoot(), nullptr);
    EXPECT_EQ(Lobby()->OnThemeChanged(), 0u);
    Frame(0.1f);
    Lobby()->Draw();
    Lobby()->OnKeyDown(static_cast<eKET_KEYCODE>(::CVornMenuState::KEY_BACK));
    EXPECT_EQ(::CVornMenuState::actionDialogClose(nullptr, Lobby()), 1);
    EXPECT_EQ(m_App.m_uExit, 0u);
}

} // namespace
