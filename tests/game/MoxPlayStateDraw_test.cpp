// The match screen's picture: which information texts show in each state of the match,
// and golden frames of the whole screen drawn on headless Mesa with the generated
// pictures, font and a language pack of game texts named by their numbers.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <GLES2/gl2.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Framework/Shell/VornLanguage.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "game/MoxBlock.h"
#include "game/MoxRenderer.h"
#include "support/TestShellPacks.h"
#include "tests/game/GameFrameHash.h"
#include "tests/game/PlayFlowFixture.h"

namespace
{
class CMoxPlayStateDraw : public CPlayFlowTest
{
protected:
    static constexpr int GAME_TEXTS = 24;
    // The round on scene 3 has started: player 0's turn on this device (network match).
    void Started()
    {
        std::vector<std::string> aTexts;
        for (int i = 0; i < GAME_TEXTS; ++i)
            aTexts.push_back(m_aLanguage.count(i) ? m_aLanguage[i] : std::string("TEXT ") + char('A' + i));
        ASSERT_TRUE(WriteTestFile(m_App.AppFile("quorvalinlanguage_en.kmp"),
                                  TestLanguagePackBytes("English", "en", aTexts)));
        ASSERT_NO_FATAL_FAILURE(StartMatch());
        LoadRound();
        m_pPlay->m_bStarted = 1;
        m_pPlay->m_bCountdownRunning = 0;
        m_pPlay->m_iOwnPlayer = 0;
        m_pPlay->m_iOpponent = 1;
        m_pPlay->m_iTurnPlayer = 0;
        m_pPlay->m_iResult = 255;
        m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
    }
    // The texts' numbers in drawing order, -1 for a player's name.
    std::vector<int> Texts()
    {
        std::vector<CMoxPlayState::sInfoText> a;
        m_pPlay->InformationTexts(a);
        std::vector<int> aIds;
        for (const auto& t : a)
            aIds.push_back(t.iText);
        return aIds;
    }
    const CMoxPlayState::sInfoText& Text(int iText)
    {
        m_pPlay->InformationTexts(m_aTexts);
        for (const auto& t : m_aTexts)
            if (t.iText == iText)
                return t;
        static const CMoxPlayState::sInfoText none{-2, CKorvelString(), 0.0f, 0, 0};
        return none;
    }
    void GameOver(int iWinner)
    {
        m_pPlay->SetPlayState(PLAYSTATE_GAME_OVER);
        m_pPlay->m_bGameOver = 1;
        m_pPlay->m_iResult = iWinner;
    }

    // A frame as the player sees it: everything loaded, a few blocks, an aim in progress
    // and a shot in the air, on background 4, the clock at a fixed time.
    void Scenery()
    {
        while (!m_pGame->m_bResourcesLoaded)
            m_pGame->PreloadResources(0);
        m_pPlay->RestoreResources();
        m_pPlay->InitControls(1);
        m_pPlay->m_iBackground = 4;
        CCamera& camera = m_pGame->GetRenderer()->m_Camera;
        camera.ClearTarget();
        camera.m_vPosition.Set(0.0f, -0.3f);
        camera.m_fZoom = camera.m_fZoomTarget = 0.4f;
        for (int i = 0; i < 6; ++i)
            AddBlock(-0.6f + 0.2f * float(i), 0.05f, i % 3 == 0 ? BLOCK_MATERIAL_PAPER : i % 3);
        Body(0).m_vPosition.Set(-0.5f, 0.2f);
        Body(0).m_vVisualPosition = Body(0).m_vPosition;
        Body(1).m_vPosition.Set(0.5f, 0.2f);
        Body(1).m_vVisualPosition = Body(1).m_vPosition;
        Player(0).m_vStretchPad.Set(30.0f, 30.0f);
        Player(0).m_vAim.Set(0.2f, 0.1f);
        Player(0).m_vStretch = Player(0).m_vAim;
        Player(0).m_bStretching = Player(0).m_bShowAim = 1;
        m_pPlay->m_bAiming = 1;
        const int iSlot = Scene().CreateProjectile(1, PROJECTILE_FIRE, 0) ? 0 : -1;
        ASSERT_EQ(iSlot, 0);
        Player(1).m_pProjectiles[0]->m_pBody->m_vVisualPosition.Set(0.1f, 0.6f);
        m_pPlay->m_fBannerFade = 200.0f;
        m_pPlay->m_fTurnElapsed = 12.0f;
        Player(0).m_iTimeOutsLeft = 2;
        if (m_pGame->GetChat())
            m_pGame->GetChat()->AddMessage(CKorvelString("HELLO"), CKorvelString("Bob"), 0, {600, 100},
                                           {700, 0}, 1);
    }
    // The two background pictures left out while it lives, so that the sky shows.
    struct CSkyOnly
    {
        explicit CSkyOnly(CMoxPlayStateDraw& test) : apTextures(test.m_pGame->GetContext().psrfGameTextures)
        {
            std::swap(apSaved[0], apTextures[2]);
            std::swap(apSaved[1], apTextures[3]);
        }
        ~CSkyOnly()
        {
            std::swap(apSaved[0], apTextures[2]);
            std::swap(apSaved[1], apTextures[3]);
        }
        CKorvelSurface** apTextures;
        CKorvelSurface* apSaved[2] = {nullptr, nullptr};
    };
    // Clears to grey and draws the match screen.
    std::vector<uint8_t> Frame()
    {
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        m_pPlay->Draw();
        return ReadGameFrame();
    }
    // Red, green, blue, alpha of a pixel of the frame (y from the top).
    static std::vector<int> At(const std::vector<uint8_t>& a, int x, int y)
    {
        const size_t u = (size_t(599 - y) * 800 + size_t(x)) * 4;
        return {a[u], a[u + 1], a[u + 2], a[u + 3]};
    }

    // Near the top the sky is within a few steps of the gradient's top colour.
    static void ExpectNear(const std::vector<int>& a, const std::vector<int>& aExpected)
    {
        for (size_t u = 0; u < 4; ++u)
            EXPECT_NEAR(a[u], aExpected[u], 4) << "channel " << u;
    }

    std::vector<CMoxPlayState::sInfoText> m_aTexts;
    // Game texts other than "TEXT A", "TEXT B", ... by their numbers.
    std::map<int, std::string> m_aLanguage;
};

TEST_F(CMoxPlayStateDraw, TheCountDownShowsTheGetReadyTextAndTheScenesName)
{
    ASSERT_NO_FATAL_FAILURE(Started());
    m_pPlay->m_bStarted = 0;
    m_pPlay->m_fCountdown = 2.0f;
    EXPECT_EQ(Texts(), (std::vector<int>{0, -1}));
    EXPECT_EQ(Text(0).uAlpha, 255u);
    EXPECT_LT(Text(0).fHeight, 0.5f);
    m_pPlay->InformationTexts(m_aTexts);
    EXPECT_GT(m_aTexts[1].fHeight, 0.5f);
    EXPECT_GT(m_aTexts[1].strLiteral.GetLength(), 0);
    // The stored display name as it is, not cut again as if it were a file name.
    m_pPlay->m_pLiveScene->m_strName.Set("Castle");
    m_pPlay->InformationTexts(m_aTexts);
    EXPECT_EQ(Narrow(m_aTexts[1].strLiteral), "Castle");
    // The last second fades them out.
    m_pPlay->m_fCountdown = 0.5f;
    EXPECT_EQ(Text(0).uAlpha, 127u);
    // The opponent gone during the count-down: the result, not a round that never comes.
    m_pPlay->m_bOpponentLeft = 1;
    GameOver(0);
    EXPECT_EQ(Texts(), (std::vector<int>{-1, 3, 10}));
}

TEST_F(CMoxPlayStateDraw, TheTurnBannerByWhoseTurnItIs)
{
    ASSERT_NO_FATAL_FAILURE(Started());
    struct
    {
        int iTurn;
        unsigned int bTimedOut, bPlayed;
        float fBanner;
        std::vector<int> aTexts;
        unsigned int uAlpha;
    } const aCases[] = {
        {0, 0, 0, 400.0f, {-1, 1}, 255},    // own turn
        {0, 0, 0, 100.0f, {-1, 1}, 100},    // fading
        {0, 1, 0, 300.0f, {6, -1, 1}, 255}, // after a timed-out turn
        {0, 0, 1, 300.0f, {-1, 2}, 255},    // played: waiting on the other side
        {1, 0, 0, 300.0f, {-1, 2}, 255},    // the opponent's turn
        {1, 0, 0, 0.0f, {}, 0},             // the banner has faded
    };
    for (const auto& c : aCases)
    {
        m_pPlay->m_iTurnPlayer = c.iTurn;
        m_pPlay->m_bTimedOut = c.bTimedOut;
        m_pPlay->m_bOwnTurnPlayed = c.bPlayed;
        m_pPlay->m_fBannerFade = c.fBanner;
        EXPECT_EQ(Texts(), c.aTexts) << c.iTurn << c.bTimedOut << c.bPlayed << c.fBanner;
        if (!c.aTexts.empty())
        {
            const CMoxPlayState::sInfoText& name = Text(-1);
            EXPECT_EQ(name.uAlpha, c.uAlpha);
            EXPECT_FLOAT_EQ(name.fHeight, 0.4f);
            EXPECT_EQ(Narrow(name.strLiteral), c.iTurn ? "Bob" : "Ann");
        }
    }
    // A dead flomp ends the banner.
    m_pPlay->m_fBannerFade = 300.0f;
    Player(1).m_bAlive = 0;
    EXPECT_TRUE(Texts().empty());
}

TEST_F(CMoxPlayStateDraw, TheResultTextsByHowTheMatchEnded)
{
    ASSERT_NO_FATAL_FAILURE(Started());
    m_pPlay->SetPlayState(PLAYSTATE_BETWEEN_ROUNDS);
    m_pPlay->m_iResult = 0;
    m_pPlay->m_bRoundEnded = 1;
    m_pPlay->m_bReadySent = 1;
    EXPECT_EQ(Texts(), (std::vector<int>{-1, 7}));
    EXPECT_FLOAT_EQ(Text(7).fHeight, 0.6f);

    struct
    {
        const char* pWhat;
        unsigned int bTraining, bLeft, bTimeOuts;
        int iWinner;
        std::vector<int> aTexts;
    } const aCases[] = {
        {"tie", 0, 0, 0, 666, {5}},
        {"own win", 0, 0, 0, 0, {-1, 3}},
        {"loss", 0, 0, 0, 1, {-1, 4}},
        {"training win", 1, 0, 0, 0, {-1, 16}},
        {"training loss", 1, 0, 0, 1, {-1, 17}},
        {"opponent left", 0, 1, 0, 0, {-1, 3, 10}},
        {"time-out win", 0, 0, 1, 0, {-1, 3, 8}},
        {"time-out loss", 0, 0, 1, 1, {-1, 4, 9}},
    };
    for (const auto& c : aCases)
    {
        m_pPlay->m_bReadySent = 0;
        m_pPlay->m_bSinglePlayer = c.bTraining;
        m_pPlay->m_bOpponentLeft = c.bLeft;
        m_pPlay->m_bTimeOutLoss = c.bTimeOuts;
        GameOver(c.iWinner);
        EXPECT_EQ(Texts(), c.aTexts) << c.pWhat;
        if (c.iWinner <= 1)
        {
            // The winner is named, in training too (the mentor when the lesson was lost).
            EXPECT_EQ(Narrow(Text(-1).strLiteral), c.iWinner ? "Bob" : "Ann") << c.pWhat;
            EXPECT_FLOAT_EQ(Text(-1).fHeight, 0.4f);
        }
        if (c.bLeft || c.bTimeOuts)
        {
            EXPECT_FLOAT_EQ(Text(c.aTexts.back()).fHeight, 0.25f) << c.pWhat;
        }
    }
}

// The camera on the winner, closest, with the winner at every height of the screen, with
// and without a hat, without a reason, with one and with one that wraps: name, result and
// reason stand clear of the flomp as drawn, of each other and of the action buttons. The
// loser's health reads 0.
TEST_F(CMoxPlayStateDraw, TheEndNoticesStandClearOfTheWinnersFlompWhereverItStands)
{
    // A reason of many rows: two words of the test font's squares fill one.
    for (int i = 0; i < 16; ++i)
        m_aLanguage[8] += std::string(20, 'W') + " ";
    ASSERT_NO_FATAL_FAILURE(Started());
    ASSERT_NO_FATAL_FAILURE(Scenery());
    CMoxRenderer* pRenderer = m_pGame->GetRenderer();
    CCamera& camera = pRenderer->m_Camera;
    camera.m_vPosition.Set(-Body(0).m_vVisualPosition.x, Body(0).m_vVisualPosition.y);
    camera.m_fZoom = camera.m_fZoomTarget = CAMERA_ZOOM_MAX;
    camera.Update(); // the drawing's matrix
    m_pPlay->m_bAiming = 0;
    Player(0).m_bStretching = Player(0).m_bShowAim = 0;
    Player(0).m_bShowInfo = Player(1).m_bShowInfo = 0;
    Player(0).m_iHealth = 0;
    Player(0).m_pItemSurface = m_pGame->GetContext().psrfGameTextures[6];
    m_pPlay->m_fBannerFade = 0.0f;
    GameOver(0);

    // The span the notices keep clear of holds every pixel of the flomp and its hat: the
    // frame with the flomp differs from the one without only inside it.
    for (const bool bHat : {false, true})
    {
        Player(0).m_bShowItem = bHat ? 1 : 0;
        Player(0).m_bAlive = 0;
        const std::vector<uint8_t> aWithout = Frame();
        Player(0).m_bAlive = 1;
        const std::vector<uint8_t> aWith = Frame();
        float fLeft = 0.0f, fTop = 0.0f, fRight = 0.0f, fBottom = 0.0f;
        ASSERT_TRUE(Scene().PlayerScreenSpan(0, fLeft, fTop, fRight, fBottom));
        int iDrawn = 0, iOutside = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (At(aWith, x, y) != At(aWithout, x, y))
                {
                    ++iDrawn;
                    iOutside += x + 1 < fLeft || x > fRight || y + 1 < fTop || y > fBottom;
                }
        EXPECT_GT(iDrawn, 100) << (bHat ? "hat" : "no hat");
        EXPECT_EQ(iOutside, 0) << (bHat ? "hat" : "no hat") << " drawn outside " << fLeft << "," << fTop
                               << " - " << fRight << "," << fBottom;
    }

    // A notice's box in pixels, as drawn: centred across, its middle at its height.
    struct sBox
    {
        float fLeft, fTop, fRight, fBottom;
    };
    const auto BoxOf = [&](const CMoxPlayState::sInfoText& text)
    {
        const CKorvelString strText =
            text.iText >= 0 ? m_pGame->GetGameLanguage()->GetText(text.iText) : text.strLiteral;
        int w = 0, h = 0;
        pRenderer->WrappedTextSize(strText, FONT_MAIN, w, h);
        const float y = text.fHeight * 600.0f;
        return sBox{400.0f - 0.5f * float(w), y - 0.5f * float(h), 400.0f + 0.5f * float(w),
                    y + 0.5f * float(h)};
    };
    const auto Apart = [](const sBox& a, const sBox& b)
    { return a.fRight <= b.fLeft || b.fRight <= a.fLeft || a.fBottom <= b.fTop || b.fBottom <= a.fTop; };
    const float fButtons = m_pPlay->m_rcButtons[PLAY_BUTTON_JUMP].bottom;
    const float fHome = Body(0).m_vVisualPosition.y;
    int iMoved = 0;
    for (const bool bHat : {false, true})
        for (const int iReason : {-1, 10, 8})
            for (float dy = -0.9f; dy <= 0.9f; dy += 0.0125f)
            {
                Player(0).m_bShowItem = bHat ? 1 : 0;
                m_pPlay->m_bOpponentLeft = iReason == 10;
                m_pPlay->m_bTimeOutLoss = iReason == 8;
                Body(0).m_vVisualPosition.y = fHome + dy;
                float fLeft = 0.0f, fTop = 0.0f, fRight = 0.0f, fBottom = 0.0f;
                ASSERT_TRUE(Scene().PlayerScreenSpan(0, fLeft, fTop, fRight, fBottom));
                const sBox flomp{fLeft, fTop, fRight, fBottom};
                m_pPlay->InformationTexts(m_aTexts);
                ASSERT_EQ(m_aTexts.size(), iReason < 0 ? 2u : 3u);
                SCOPED_TRACE(std::string(bHat ? "hat" : "no hat") + ", reason " + std::to_string(iReason) +
                             ", flomp from " + std::to_string(fTop) + " to " + std::to_string(fBottom));
                for (size_t i = 0; i < m_aTexts.size(); ++i)
                {
                    const sBox box = BoxOf(m_aTexts[i]);
                    EXPECT_TRUE(Apart(box, flomp)) << "text " << m_aTexts[i].iText << " over the flomp";
                    EXPECT_GE(box.fTop, fButtons) << "text " << m_aTexts[i].iText << " over the buttons";
                    for (size_t j = 0; j < i; ++j)
                        EXPECT_TRUE(Apart(box, BoxOf(m_aTexts[j])))
                            << "texts " << m_aTexts[j].iText << " and " << m_aTexts[i].iText;
                }
                iMoved += m_aTexts[0].fHeight != 0.4f;
            }
    EXPECT_GT(iMoved, 0) << "the sweep met the notices' usual place";

    // The loser out of the match: the status band (the bottom rows, in a font with digits)
    // shows no health for it, whatever was left; alive, it shows even none left.
    const auto Band = [](const std::vector<uint8_t>& a)
    { return std::vector<uint8_t>(a.begin(), a.begin() + std::ptrdiff_t(size_t{800} * 4 * 60)); };
    CKorvelBitmapFont digits;
    digits.Startup(&m_App);
    CKorvelBitmapFont*& pFont = m_pGame->GetContext().pfntGameFonts;
    CKorvelBitmapFont* pTestFont = pFont;
    pFont = &digits;
    Body(0).m_vVisualPosition.y = fHome;
    Player(1).m_bAlive = 0;
    Player(1).m_iHealth = 5;
    const std::vector<uint8_t> aOut = Band(Frame());
    Player(1).m_iHealth = 77;
    EXPECT_EQ(Band(Frame()), aOut);
    Player(1).m_iHealth = 0;
    Player(1).m_bAlive = 1;
    EXPECT_NE(Band(Frame()), aOut) << "the band shows the health";
    pFont = pTestFont;
    digits.Shutdown();
}

TEST_F(CMoxPlayStateDraw, GoldenFramesOfTheMatchScreen)
{
    ASSERT_NO_FATAL_FAILURE(Started());
    ASSERT_NO_FATAL_FAILURE(Scenery());
    // This platform's back buffer has no alpha: an opaque sky and no shadows.
    ASSERT_EQ(m_pPlay->m_bNoAlphaBuffer, 1u);

    // The own turn: sky, backgrounds, blocks, both flomps with the grab marker, the shot,
    // water, banner, clock, status band, controls, zoom bar and a chat bubble.
    EXPECT_EQ(Fnv1a(Frame()), 2202538457u);
    {
        CSkyOnly sky(*this);
        // Without the background pictures the top shows background 4's top colour.
        ExpectNear(At(Frame(), 10, 10), {0x38, 0x00, 0x5B, 0xFF});
    }

    // The question dims the board; the buttons are drawn over it as they are without it.
    const CKorvelRect<float>& rcJump = m_pPlay->m_rcButtons[PLAY_BUTTON_JUMP];
    const int xJump = int(rcJump.left + rcJump.right) / 2, yJump = int(rcJump.top + rcJump.bottom) / 2;
    const std::vector<int> aBright = At(Frame(), xJump, yJump);
    m_pPlay->ButtonReleased(m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_QUIT));
    const std::vector<uint8_t> aQuestion = Frame();
    EXPECT_EQ(At(aQuestion, xJump, yJump), aBright);
    EXPECT_EQ(Fnv1a(aQuestion), 3644436547u) << "the quit question";
    m_pPlay->ButtonReleased(m_pPlay->m_pButtons->GetButtonByID(PLAY_BUTTON_QUIT));

    GameOver(0);
    m_pPlay->m_bAiming = 0;
    Player(0).m_bStretching = Player(0).m_bShowAim = 0;
    EXPECT_EQ(Fnv1a(Frame()), 3950704237u) << "game over";

    // Leaving: the whole screen faded to black.
    m_pPlay->SetPlayState(PLAYSTATE_LEFT);
    const std::vector<uint8_t> aLeft = Frame();
    EXPECT_EQ(At(aLeft, 10, 10), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(At(aLeft, 790, 590), (std::vector<int>{0, 0, 0, 255}));
}

TEST_F(CMoxPlayStateDraw, ALessonAsksTheQuitQuestionOfAMatch)
{
    ASSERT_NO_FATAL_FAILURE(Started());
    ASSERT_NO_FATAL_FAILURE(Scenery());
    m_pPlay->m_fBannerFade = 0.0f;
    // The rows from 0.2 to 0.45 of the height: the question's two lines end at 0.4.
    const auto Rows = [](const std::vector<uint8_t>& a)
    {
        const size_t uRow = size_t{800} * 4;
        return std::vector<uint8_t>(a.begin() + std::ptrdiff_t(uRow * (600 - 270)),
                                    a.begin() + std::ptrdiff_t(uRow * (600 - 120)));
    };
    m_pPlay->m_bQuitDialog = 1;
    const std::vector<uint8_t> aMatch = Rows(Frame());
    m_pPlay->m_bSinglePlayer = 1;
    const std::vector<uint8_t> aLesson = Rows(Frame());
    m_pPlay->m_bQuitDialog = 0;
    EXPECT_NE(Rows(Frame()), aLesson) << "the question shows";
    EXPECT_EQ(aLesson, aMatch) << "the same two texts";
}

TEST_F(CMoxPlayStateDraw, GoldenFrameOfTheWaitingScreen)
{
    ASSERT_NO_FATAL_FAILURE(Started());
    ASSERT_NO_FATAL_FAILURE(Scenery());
    m_pPlay->SetPlayState(PLAYSTATE_LOADED);
    m_pPlay->m_fTime = 0.25f;
    EXPECT_EQ(Fnv1a(Frame()), 750756549u);
    // In training the scene shows at once.
    m_pPlay->m_bSinglePlayer = 1;
    CSkyOnly sky(*this);
    ExpectNear(At(Frame(), 10, 10), {0x38, 0x00, 0x5B, 0xFF});
}

TEST_F(CMoxPlayStateDraw, IntoAnAlphaFramebufferTheSkyIsClearAndShadowsAreDrawn)
{
    ASSERT_NO_FATAL_FAILURE(Started());
    ASSERT_NO_FATAL_FAILURE(Scenery());
    GLuint uTexture = 0, uFramebuffer = 0;
    glGenTextures(1, &uTexture);
    glBindTexture(GL_TEXTURE_2D, uTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 800, 600, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &uFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, uFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, uTexture, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    m_pPlay->m_bNoAlphaBuffer = 0;
    const std::vector<uint8_t> aAlpha = Frame();
    std::vector<uint8_t> aClearSky, aOpaqueSky;
    {
        CSkyOnly sky(*this);
        aClearSky = Frame();
        m_pPlay->m_bNoAlphaBuffer = 1;
        aOpaqueSky = Frame();
    }
    const std::vector<uint8_t> aOpaque = Frame();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &uFramebuffer);
    glDeleteTextures(1, &uTexture);

    EXPECT_EQ(At(aClearSky, 10, 10)[3], 0) << "the sky leaves the alpha clear";
    EXPECT_EQ(At(aOpaqueSky, 10, 10)[3], 255);
    EXPECT_NE(aAlpha, aOpaque) << "shadows and the sky's alpha differ";
    EXPECT_EQ(Fnv1a(aAlpha), 2369783760u);
}
} // namespace
