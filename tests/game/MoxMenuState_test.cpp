// The main menu on the root state: loading, its buttons and where they lead, the credits
// roll and the web links.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxMenuState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "KorvelGraphics/KorvelBitmapFont.h"
#include "PlatformControl.h"
#include "PlatformDeviceInfoControl.h"
#include "support/TestAudio.h"
#include "support/TestText.h"
#include "tests/game/GameScreenTest.h"

namespace
{

#ifdef KORVEL_SCENE_EDITOR
constexpr bool kEditorBuild = true;
#else
constexpr bool kEditorBuild = false;
#endif

// The buttons of the menu's main view in the order they were added.
std::vector<int> MainButtons()
{
    std::vector<int> aIds{3, 5, 6, 2, 4, 8, 0};
    if (kEditorBuild)
        aIds.push_back(1);
    return aIds;
}

// A root state whose reseller id the test sets.
class CResellerGame : public ::CStateGame
{
public:
    CKorvelString GetResellerId() const override { return CKorvelString(m_strReseller.c_str()); }
    std::string m_strReseller = "r1";
};

class CMoxMenuState : public CGameScreenTest
{
protected:
    void StartMenu(CStateGame* pGame = nullptr)
    {
        ASSERT_NO_FATAL_FAILURE(StartScreens(pGame));
        ASSERT_NO_FATAL_FAILURE(OpenMenu());
        ASSERT_NE(Menu(), nullptr);
    }
    ::CMoxMenuState* Menu() { return ScreenAs<::CMoxMenuState>(); }
    CMoxButton* Button(int iID) { return Menu() ? Menu()->m_pButtons->GetButtonByID(iID) : nullptr; }
    // The visible buttons' ids in the order they were added.
    std::vector<int> Visible()
    {
        std::vector<int> aIds;
        for (int i = 0; i < Menu()->m_pButtons->GetCount(); ++i)
            if (Menu()->m_pButtons->GetAt(i)->m_bVisible)
                aIds.push_back(Menu()->m_pButtons->GetAt(i)->m_iID);
        return aIds;
    }
};

TEST_F(CMoxMenuState, LoadsFirstThenShowsTheButtonsAndStartsTheThemeOnce)
{
    ASSERT_TRUE(WriteTestMp3(m_App.AppFile("FlompTheme.mp3"), 1, 22050, 0.5f, 440.0f)) << "lame is needed";
    ASSERT_NO_FATAL_FAILURE(StartScreens());
    plat::ClearCallLog();
    m_pGame->Activate();
    ::CMoxMenuState* pMenu = Menu();
    ASSERT_NE(pMenu, nullptr);
    // Loading: one resource a frame, no buttons, and a tap where play will be does nothing.
    int iFrames = 0;
    while (!m_pGame->m_bResourcesLoaded && iFrames++ < 200)
    {
        if (iFrames == 20)
            m_pGame->OnMouseButton(0, 400, 300);
        if (iFrames == 21)
            m_pGame->OnMouseButtonUp(0, 400, 300);
        Run();
        ASSERT_EQ(pMenu->m_pButtons->GetCount(), 0);
        EXPECT_EQ(pMenu->ControlsReady(), 0u);
    }
    // The first frame only draws; then one resource a frame, the font last.
    EXPECT_EQ(iFrames, 1 + GAME_TEXTURE_COUNT + GAME_SOUND_COUNT + 1);
    EXPECT_EQ(plat::CountCalls("mmr_play"), 0);
    Run();
    ASSERT_EQ(pMenu->ControlsReady(), 1u);
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));

    ASSERT_EQ(pMenu->m_pButtons->GetCount(), kEditorBuild ? 9 : 8);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(pMenu->m_pButtons->GetAt(i)->m_iID, MainButtons()[size_t(i)]);
    EXPECT_EQ(Visible(), MainButtons());

    RunFrames(10);
    EXPECT_EQ(plat::CountCalls("mmr_play"), 1) << "the theme starts once";
    EXPECT_NE(Narrow(m_App.m_strMusicName).find("FlompTheme.mp3"), std::string::npos);

    // Every screen shape the game runs on lays the buttons out anew, each whole on the
    // screen, none over another, over the mute button or over the title picture's
    // pedestals (centred on w / 2 -+ 0.61 h, 0.13 h to each side, from 0.3 h to 0.7 h).
    for (const auto& area : std::vector<std::pair<float, float>>{
             {800, 480}, {1024, 600}, {1280, 720}, {1920, 1080}, {600, 1024}, {1024, 768}})
    {
        const float w = area.first, h = area.second;
        SCOPED_TRACE(std::to_string(int(w)) + "x" + std::to_string(int(h)));
        m_pGame->OnScreenChanged(int(w), int(h));
        m_pGame->InitVolume();
        const CKorvelRect<float>& rcMute = m_pGame->m_rcMute;
        std::vector<const CMoxButton*> aShown;
        for (int i = 0; i < pMenu->m_pButtons->GetCount(); ++i)
            if (pMenu->m_pButtons->GetAt(i)->m_bVisible)
                aShown.push_back(pMenu->m_pButtons->GetAt(i));
        ASSERT_EQ(aShown.size(), MainButtons().size());
        for (size_t a = 0; a < aShown.size(); ++a)
        {
            const CKorvelVector2 p = aShown[a]->m_vPosition;
            const float r = aShown[a]->m_vHalfSize.x;
            SCOPED_TRACE(aShown[a]->m_iID);
            EXPECT_TRUE(p.x - r >= 0.0f && p.x + r <= w && p.y - r >= 0.0f && p.y + r <= h);
            EXPECT_TRUE(p.x + r < rcMute.left || p.x - r > rcMute.right || p.y - r > rcMute.bottom)
                << "over the mute button";
            for (float fSide : {-1.0f, 1.0f})
            {
                const float x = 0.5f * w + fSide * 0.61f * h;
                const bool bApart = p.x + r < x - 0.13f * h || p.x - r > x + 0.13f * h ||
                                    p.y + r < 0.3f * h || p.y - r > 0.7f * h;
                EXPECT_TRUE(bApart) << "over a pedestal";
            }
            for (size_t b = a + 1; b < aShown.size(); ++b)
            {
                CKorvelVector2 d;
                d.Sub(aShown[b]->m_vPosition, p);
                EXPECT_GT(d.Length(), r + aShown[b]->m_vHalfSize.x) << "over button " << aShown[b]->m_iID;
            }
        }
    }
    EXPECT_EQ(Button(7)->m_bVisible, 0u);
}

TEST_F(CMoxMenuState, ButtonsLeadToTheirScreens)
{
    ASSERT_TRUE(WriteTestMp3(m_App.AppFile("FlompTheme.mp3"), 1, 22050, 0.5f, 440.0f)) << "lame is needed";
    ASSERT_NO_FATAL_FAILURE(StartSession());
    struct sCASE
    {
        const char* pWhat;
        int iID;
        std::vector<std::string> aScreens;
        const char* pLogged; // in the shell's log, once
    };
    const sCASE cases[] = {
        {"play", 0, {"4"}, "session.RegisterInGameQueue(1,2)"},
        {"training", 8, {"6"}, nullptr},
        {"intro", 3, {"5"}, nullptr},
        {"exit", 2, {"1"}, "lobby.Logout()"},
        // Played offline there is no session: the exit shows the login page.
        {"exit offline", 2, {"1"}, "lobby.OnLogout()"},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        m_pGame.reset();
        ASSERT_NO_FATAL_FAILURE(StartMenu());
        m_App.m_pTestLobby->m_Script.uLoggedIn = std::string(c.pWhat) == "exit offline" ? 0 : 1;
        m_App.m_Log.Clear();
        ASSERT_NE(m_App.GetMusicPlayer(), nullptr);
        Tap(Centre(Button(c.iID)));
        if (c.iID != 2)
        {
            ASSERT_TRUE(RunUntil([&] { return Screens() == c.aScreens; }, 100));
        }
        EXPECT_EQ(Screens(), c.aScreens);
        if (c.pLogged)
        {
            EXPECT_EQ(m_App.m_Log.Count(c.pLogged), 1);
        }
        if (c.iID == 0 || c.iID == 8)
        {
            EXPECT_EQ(m_App.GetMusicPlayer(), nullptr) << "the menu's theme stops";
        }
        if (c.iID == 3)
        {
            EXPECT_NE(Narrow(m_App.m_strMusicName).find("FlompIntro.mp3"), std::string::npos);
            EXPECT_EQ(m_pGame->m_bResourcesLoaded, 0) << "the game's pictures make room for the film";
            EXPECT_EQ(m_pGame->GetContext().psrfGameTextures[TEXTURE_TITLE], nullptr);
        }
    }
}

TEST_F(CMoxMenuState, OnlyDeveloperBuildsShowTheEditorButton)
{
    ASSERT_NO_FATAL_FAILURE(StartMenu());
    const CKorvelVector2 corner(800.0f / 20.0f, 800.0f / 20.0f);
    if (kEditorBuild)
    {
        const CMoxButton* pEditor = Button(::CMoxMenuState::BUTTON_EDITOR);
        ASSERT_NE(pEditor, nullptr);
        EXPECT_EQ(pEditor->m_iTexture, 12);
        EXPECT_FLOAT_EQ(pEditor->m_vPosition.x, corner.x);
        EXPECT_FLOAT_EQ(pEditor->m_vPosition.y, corner.y);
        EXPECT_FLOAT_EQ(pEditor->m_vHalfSize.x, 40.0f);
        EXPECT_FLOAT_EQ(pEditor->m_vHalfSize.y, 40.0f);
        Tap(corner);
        EXPECT_TRUE(RunUntil([&] { return Screens() == std::vector<std::string>({"2"}); }, 100));
        return;
    }
    EXPECT_EQ(Button(::CMoxMenuState::BUTTON_EDITOR), nullptr);
    Tap(corner);
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"})) << "nothing lies in the corner";
    EXPECT_EQ(Menu()->m_bLeaving, 0u);
    // The menu still serves a button of that id by opening the editor.
    CMoxButton editor;
    editor.m_iID = ::CMoxMenuState::BUTTON_EDITOR;
    Menu()->ButtonReleased(&editor);
    EXPECT_TRUE(RunUntil([&] { return Screens() == std::vector<std::string>({"2"}); }, 100));
}

TEST_F(CMoxMenuState, TheBackButtonLeavesForTheLobbyOrEndsTheRoll)
{
    ASSERT_NO_FATAL_FAILURE(StartSession());
    ASSERT_NO_FATAL_FAILURE(StartMenu());
    m_App.m_pTestLobby->m_Script.uLoggedIn = 1;
    Tap(Centre(Button(5)));
    ASSERT_EQ(Menu()->m_bCreditsShown, 1u);
    EXPECT_EQ(Visible(), std::vector<int>({7}));
    Menu()->OnBackButton();
    EXPECT_EQ(Menu()->m_bCreditsShown, 0u);
    EXPECT_EQ(Visible(), MainButtons());
    EXPECT_EQ(m_App.m_Log.Count("lobby.Logout"), 0) << "only the roll ended";
    Menu()->OnBackButton();
    EXPECT_EQ(m_App.m_Log.Count("lobby.Logout"), 1);
    // The roll's own back button ends it too.
    Tap(Centre(Button(5)));
    Tap(Centre(Button(7)));
    EXPECT_EQ(Menu()->m_bCreditsShown, 0u);
    EXPECT_EQ(Visible(), MainButtons());
}

TEST_F(CMoxMenuState, TheCreditsRollUpAreDraggedNoLowerThanTheStartAndEnd)
{
    ASSERT_NO_FATAL_FAILURE(StartMenu());
    ::CMoxMenuState* pMenu = Menu();
    Tap(Centre(Button(5)), 0);
    const float fStart = pMenu->m_fCreditsOffset;
    // A tenth of the height (60 pixels) a second, whatever the frames.
    Run(500);
    Run(250);
    Run(250);
    EXPECT_NEAR(pMenu->m_fCreditsOffset - fStart, -60.0f, 0.01f);

    // Dragged down by 300 pixels: it stops at its start.
    m_pGame->OnMouseButton(0, 400, 100);
    Run();
    m_pGame->OnMouseDrag(0, 400, 400);
    Run();
    EXPECT_EQ(pMenu->m_bCreditsDragging, 1u);
    EXPECT_EQ(pMenu->m_fCreditsOffset, 0.0f);
    // Held still: it rolls again.
    Run(1000);
    EXPECT_EQ(pMenu->m_bCreditsDragging, 0u);
    EXPECT_NEAR(pMenu->m_fCreditsOffset, -60.0f, 0.01f);
    m_pGame->OnMouseButtonUp(0, 400, 400);
    Run();

    // Left alone it ends at -(113 L + h) with the buttons back.
    const float fEnd = -(113.0f * 12.0f + 600.0f);
    for (int i = 0; i < 60 && pMenu->m_bCreditsShown; ++i)
        Run(1000);
    ASSERT_EQ(pMenu->m_bCreditsShown, 0u);
    EXPECT_EQ(pMenu->m_fCreditsOffset, fEnd);
    EXPECT_EQ(Visible(), MainButtons());

    // Dragged up past its end: it stops at once.
    Tap(Centre(Button(5)), 0);
    m_pGame->OnMouseButton(0, 400, 590);
    Run();
    m_pGame->OnMouseDrag(0, 400, 590 - 2000);
    Run();
    EXPECT_EQ(pMenu->m_bCreditsShown, 0u);
    EXPECT_EQ(pMenu->m_fCreditsOffset, fEnd);
    EXPECT_EQ(Visible(), MainButtons());
}

// So narrow a window that lines wrap (at 0.6 of its width): each takes the rows it needs, so
// the roll is longer than a row a line and no line is drawn over the next.
TEST_F(CMoxMenuState, OnANarrowWindowAWrappedLineTakesTheRowsItNeeds)
{
    ASSERT_NO_FATAL_FAILURE(StartMenu());
    ::CMoxMenuState* pMenu = Menu();
    Tap(Centre(Button(5)), 0);
    Run();
    ASSERT_EQ(pMenu->m_bCreditsShown, 1u);
    m_App.OnScreenChanged(120, 600);
    Run();

    // Measured by the font alone: each line starts below the rows the one before took.
    CKorvelBitmapFont* pFont = m_pGame->GetContext().pfntGameFonts;
    ASSERT_NE(pFont, nullptr);
    const int L = static_cast<int>(pFont->GetLineHeight());
    float afTops[CREDITS_COUNT], afHeights[CREDITS_COUNT];
    pMenu->LayOutCredits(0.0f, float(L), afTops, afHeights);
    int iWrapped = 0;
    for (int i = 0; i + 1 < CREDITS_COUNT; ++i)
    {
        if (CREDITS[i].id == CREDITS_TAG_CLOSING)
            continue; // drawn smaller
        CKorvelRect<int> rcLine(0, 0, 120 * 6 / 10, 0);
        pFont->CalcRect(rcLine, CREDITS[i].name);
        const int iRows = std::max(L, rcLine.GetHeight());
        iWrapped += iRows > L;
        EXPECT_EQ(afTops[i + 1] - afTops[i], float(iRows)) << Narrow(CREDITS[i].name);
    }
    EXPECT_GT(iWrapped, 0);

    for (int i = 0; i < 90 && pMenu->m_bCreditsShown; ++i)
        Run(1000);
    ASSERT_EQ(pMenu->m_bCreditsShown, 0u);
    EXPECT_LT(pMenu->m_fCreditsOffset, -(113.0f * 12.0f + 600.0f) - 12.0f);
}

TEST_F(CMoxMenuState, ALineFadesOutInTheBottomBand)
{
    // 800 x 600: the band begins at F = 600 - 3 x 800/15 = 440; a = 1 - 5 (y - F) / F.
    const struct
    {
        float y;
        unsigned int uAlpha;
    } cases[] = {{-10.0f, 255}, {440.0f, 255}, {462.0f, 191}, {484.0f, 127},
                 {527.9f, 0},   {528.0f, 0},   {599.0f, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(::CMoxMenuState::CreditsAlpha(c.y, 800.0f, 600.0f), c.uAlpha) << c.y;
}

TEST_F(CMoxMenuState, WebLinksCarryTheGameReleaseAndResellerOfThePress)
{
    ASSERT_NO_FATAL_FAILURE(StartSession(5, 42));
    CResellerGame* pGame = new CResellerGame();
    ASSERT_NO_FATAL_FAILURE(StartMenu(pGame));
    plat::ResetPlatform(plat::eBackend::Headless);
    Tap(Centre(Button(4)));
    m_App.m_pTestSession->m_Script.iRelease = 43;
    pGame->m_strReseller = "r2";
    Tap(Centre(Button(6)));
    std::vector<std::string> aOpened;
    for (const plat::sInvokedAddress& address : plat::NavigatorControlInvokedAddresses())
        aOpened.push_back(address.m_strAddress);
    EXPECT_EQ(aOpened, std::vector<std::string>({
                           "https://localhost/api/forward.php?link=help&game=64&release=42&rid=r1",
                           "https://localhost/api/forward.php?link=facebook&game=64&release=43&rid=r2",
                       }));
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));
    EXPECT_EQ(Menu()->m_bLeaving, 0u);
    EXPECT_EQ(Menu()->m_bCreditsShown, 0u);
    EXPECT_EQ(Visible(), MainButtons());
}

TEST_F(CMoxMenuState, WithoutTheGameFontTheRollEndsAtOnce)
{
    ASSERT_TRUE(WriteTestFile(m_App.AppFile("dataUI.kmp"), TestPackBytes({{"/other.txt", "x"}})));
    ASSERT_NO_FATAL_FAILURE(StartMenu());
    ASSERT_EQ(m_pGame->GetContext().pfntGameFonts, nullptr);
    Tap(Centre(Button(5)), 0);
    Run();
    EXPECT_EQ(Menu()->m_bCreditsShown, 0u);
    EXPECT_EQ(Visible(), MainButtons());
    Menu()->OnBackButton(); // no lobby: nothing
    RunFrames(3);
    EXPECT_EQ(Screens(), std::vector<std::string>({"1"}));
}

// Checked by eye (KORVEL_GOLDEN_DIR=<folder> writes the frames there).
TEST_F(CMoxMenuState, GoldenFrames)
{
    ASSERT_NO_FATAL_FAILURE(StartMenu());
    RunFrames(5);
    const uint32_t uMenu = GameFrameHash("menu");
    // The title, seven buttons, the stars and the mute button.
    EXPECT_EQ(uMenu, 3283696941u);
    Tap(Centre(Button(5)), 0);
    Run(3000);
    // The dimmed title with the first credits lines and the roll's back button.
    EXPECT_EQ(GameFrameHash("credits"), 4176963741u);

    // A window wider than the title picture: nothing of what it showed before stays beside
    // the picture (a frame over two old contents reads back the same).
    m_pGame->OnScreenChanged(800, 300);
    const auto FrameOver = [&](float fGreen)
    {
        glClearColor(1.0f, fGreen, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        m_pGame->Draw();
        std::vector<uint8_t> aPixels(size_t{800} * 600 * 4);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
        return aPixels;
    };
    EXPECT_EQ(FrameOver(0.0f), FrameOver(1.0f));
}

} // namespace
