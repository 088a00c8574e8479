// Touch buttons on a screen of the game's root state at 800 x 600: touches go in through
// the root state's input and its fixed step, the screen records what its buttons report,
// the button sounds play into the paused mixer (so a started voice stays playing) and the
// drawing is read back.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxButtons.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <thread>

#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "game/MoxRenderer.h"
#include "support/GlTestContext.h"
#include "tests/game/GameTestFixture.h"

namespace
{

const int PICTURE = 49;                    // "jump_00.png", in the test's texture pack
const int NO_PICTURE = 13;                 // "help.png", not in it
const unsigned int PICTURE_RGB = 0xC08040; // (192, 128, 64)

// A screen whose buttons report to it: "P1" pressed, "D1" down, "R1" released (by id).
class CButtonScreen : public CMoxState, public CMoxButtonListener
{
public:
    int Startup(CStateGame* pGame) override
    {
        CMoxState::Startup(pGame);
        m_iStateID = STATE_TRAINING;
        m_Buttons.Startup(m_pRenderer);
        m_Buttons.SetListener(this);
        return 1;
    }
    int Update(float fSeconds) override
    {
        m_Buttons.Update(fSeconds);
        return 1;
    }
    void Draw() override { m_Buttons.Render(); }
    void RestoreResources() override { m_Buttons.RestoreSurfaces(); }
    void ButtonPressed(CMoxButton* b) override { Log("P", b); }
    void ButtonReleased(CMoxButton* b) override { Log("R", b); }
    void ButtonDown(CMoxButton* b) override { Log("D", b); }

    // What was reported since the last call.
    std::vector<std::string> Take()
    {
        std::vector<std::string> aLog;
        aLog.swap(m_aLog);
        return aLog;
    }

    CMoxButtonManager m_Buttons;

private:
    void Log(const char* pWhat, CMoxButton* b) { m_aLog.push_back(pWhat + std::to_string(b->m_iID)); }
    std::vector<std::string> m_aLog;
};

typedef std::vector<std::string> Log;

class CMoxButtonManager : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        ASSERT_TRUE(WriteTestFile(m_App.AppFile("dataTextures.kmp"),
                                  TestPackBytes({{"/" + Narrow(GAME_TEXTURES[PICTURE].name),
                                                  GameTestPicture("jump_00.png", PICTURE_RGB)}})));
        ASSERT_NO_FATAL_FAILURE(StartGame());
        m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_TRAINING] = [this]
        { return m_pScreen = new CButtonScreen(); };
        ASSERT_NE(m_pGame->AddState(STATE_TRAINING), nullptr);
        // The button sounds load on the resource manager's loader first.
        for (CKorvelSoundWave* pWave : {Sound(SOUND_BUTTON_DOWN), Sound(SOUND_BUTTON_UP)})
        {
            ASSERT_NE(pWave, nullptr);
            while (!m_App.IsSoundReady(pWave))
            {
                m_App.Tick();
                std::this_thread::yield();
            }
        }
        m_App.GetSoundEngine()->Pause(1);
    }
    ::CMoxButtonManager* Buttons() { return &m_pScreen->m_Buttons; }
    CKorvelSoundWave* Sound(GAME_SOUND eSound) { return m_pGame->GetContext().psndGameSounds[eSound]; }
    bool Playing(GAME_SOUND eSound) { return Sound(eSound)->IsPlaying(0) != 0; }
    void StopSounds()
    {
        Sound(SOUND_BUTTON_DOWN)->Stop(0);
        Sound(SOUND_BUTTON_UP)->Stop(0);
    }
    // A button that neither bobs nor pulses.
    CMoxButton* Still(int iID, float x, float y, float fHalf, int iTexture = PICTURE)
    {
        CMoxButton* b =
            Buttons()->AddButton(CKorvelVector2(x, y), CKorvelVector2(fHalf, fHalf), iTexture, iID, 0);
        b->m_bFloating = 0;
        return b;
    }
    void Down(int x, int y, unsigned int uTouch = 0)
    {
        m_pGame->OnMouseButton(uTouch, x, y);
        Step();
    }
    void Drag(int x, int y)
    {
        m_pGame->OnMouseDrag(0, x, y);
        Step();
    }
    void Up(unsigned int uTouch = 0)
    {
        m_pGame->OnMouseButtonUp(uTouch, 0, 0);
        Step();
    }
    void Steps(int n)
    {
        for (int i = 0; i < n; ++i)
            Step();
    }
    static void ClearBlack()
    {
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, 800, 600);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    static uint32_t Pixel(int x, int y) { return ReadGlPixel(x, y, 600); }

    CButtonScreen* m_pScreen = nullptr;
};

TEST_F(CMoxButtonManager, ATapIsReleasedWithoutBeingPressed)
{
    Still(1, 400, 300, 40);
    Down(400, 300);
    EXPECT_TRUE(Playing(SOUND_BUTTON_DOWN));
    EXPECT_FALSE(Playing(SOUND_BUTTON_UP));
    Step(); // 66 ms down
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log({"R1"})) << "at once on the lift";
    EXPECT_TRUE(Playing(SOUND_BUTTON_UP));
    Steps(10);
    EXPECT_EQ(m_pScreen->Take(), Log());
}

TEST_F(CMoxButtonManager, AHeldButtonIsPressedOnceThenDownEveryUpdateUntilLiftedOrLeft)
{
    Still(1, 400, 300, 40);
    Down(400, 300);
    Steps(2);
    EXPECT_EQ(m_pScreen->Take(), Log()) << "99 ms: still shrinking";
    Step();
    EXPECT_EQ(m_pScreen->Take(), Log({"P1"}));
    EXPECT_EQ(Buttons()->GetAt(0)->m_fPressScale, 0.8f);
    Drag(410, 310); // moving on the button keeps it
    Steps(2);
    EXPECT_EQ(m_pScreen->Take(), Log({"D1", "D1", "D1"}));
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log({"R1"}));
    Steps(5);
    EXPECT_EQ(m_pScreen->Take(), Log()) << "growing back reports nothing more";

    // Held, then the finger leaves.
    StopSounds();
    Down(400, 300);
    Steps(4);
    EXPECT_EQ(m_pScreen->Take(), Log({"P1", "D1"}));
    Drag(600, 300);
    Steps(3);
    Up();
    Steps(5);
    EXPECT_EQ(m_pScreen->Take(), Log());
    EXPECT_FALSE(Playing(SOUND_BUTTON_UP));
    EXPECT_EQ(Buttons()->GetAt(0)->m_eState, BUTTON_IDLE);
}

TEST_F(CMoxButtonManager, SlidingOffAndLiftingElsewhereReportsNothing)
{
    Still(1, 400, 300, 40);
    Still(2, 600, 300, 40);
    Down(400, 300);
    Drag(600, 300); // onto another button: it did not see the touch begin
    Steps(6);
    Up();
    Steps(5);
    EXPECT_EQ(m_pScreen->Take(), Log());
    EXPECT_TRUE(Playing(SOUND_BUTTON_DOWN));
    EXPECT_FALSE(Playing(SOUND_BUTTON_UP));
}

TEST_F(CMoxButtonManager, OfOverlappingButtonsTheFirstAddedTakesTheTouch)
{
    Still(1, 400, 300, 40);
    Still(2, 440, 300, 40);
    Down(420, 300);
    Up();
    Down(470, 300);
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log({"R1", "R2"}));
    // The hit rectangle's edges count.
    Down(440, 340);
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log({"R1"}));
}

TEST_F(CMoxButtonManager, NothingIsHandledWhileTwoFingersPinch)
{
    Still(1, 400, 300, 40);
    Down(100, 500, 1);
    Down(400, 300);
    Steps(6);
    Up(1); // the pinch ends with the first finger still on the button
    Steps(6);
    Up();
    Steps(3);
    EXPECT_EQ(m_pScreen->Take(), Log());
    EXPECT_FALSE(Playing(SOUND_BUTTON_DOWN));
    EXPECT_FALSE(Playing(SOUND_BUTTON_UP));
}

TEST_F(CMoxButtonManager, DimmedButtonsAreDrawnAtHalfAlphaAndDisabledOnesNormallyAndNeitherReacts)
{
    struct sCASE
    {
        const char* pWhat;
        unsigned int uDimmed, uEnabled;
        int iRed; // of the picture's 192 over black
        Log reports;
    };
    const sCASE cases[] = {{"normal", 0, 1, 192, {"P1", "D1", "D1", "R1"}},
                           {"dimmed", 1, 1, 96, {}},
                           {"disabled", 0, 0, 192, {}}};
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        Buttons()->Clear();
        StopSounds();
        CMoxButton* b = Still(1, 400, 300, 40);
        b->m_bDimmed = c.uDimmed;
        b->m_bEnabled = c.uEnabled;
        m_pScreen->RestoreResources();
        ClearBlack();
        m_pGame->Draw();
        EXPECT_NEAR(PixelR(Pixel(400, 300)), c.iRed, 1);
        EXPECT_NEAR(PixelG(Pixel(400, 300)), c.iRed * 2.0f / 3.0f, 1.0f);
        Down(400, 300);
        Steps(5);
        Up();
        EXPECT_EQ(m_pScreen->Take(), c.reports);
        EXPECT_EQ(Playing(SOUND_BUTTON_DOWN), !c.reports.empty());
    }
}

TEST_F(CMoxButtonManager, AFloatingButtonIsHitWhereItIsDrawn)
{
    CMoxButton* b = Buttons()->AddButton(CKorvelVector2(400, 300), CKorvelVector2(40, 40), PICTURE, 1, 0);
    m_pScreen->RestoreResources();
    Steps(30); // phase about 1: bobbed about 4 pixels down and grown by about 4 %
    ASSERT_GT(b->m_vFloatOffset.y, 3.5f);
    ASSERT_GT(b->m_fPulseScale, 1.04f);
    const int iDrawnBottom = int(300.0f + b->m_vFloatOffset.y + 40.0f * b->m_fPulseScale);
    const int iDrawnTop = int(300.0f + b->m_vFloatOffset.y - 40.0f * b->m_fPulseScale);

    ClearBlack();
    m_pGame->Draw();
    EXPECT_EQ(PixelR(Pixel(400, iDrawnBottom - 1)), 192);
    EXPECT_EQ(PixelR(Pixel(400, iDrawnTop - 2)), 0);

    Down(400, iDrawnBottom - 1); // below the button's place at rest
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log({"R1"}));
    Down(400, iDrawnTop - 2); // inside its place at rest, above where it is drawn
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log());
}

TEST_F(CMoxButtonManager, BusyWhileTheReleaseSoundPlaysUntilTwoSecondsAfterTheLastTouch)
{
    Still(1, 400, 300, 40);
    Steps(2);
    EXPECT_EQ(Buttons()->m_bBusy, 0u);
    Down(400, 300);
    EXPECT_EQ(Buttons()->m_bBusy, 1u) << "pressing";
    Up();
    Steps(5);
    ASSERT_EQ(Buttons()->GetAt(0)->m_eState, BUTTON_IDLE);
    ASSERT_TRUE(Playing(SOUND_BUTTON_UP));
    EXPECT_EQ(Buttons()->m_bBusy, 1u) << "the release sound plays";
    Steps(54); // 60 steps, 1.98 s since the release
    EXPECT_EQ(Buttons()->m_bBusy, 1u);
    Step();
    EXPECT_EQ(Buttons()->m_bBusy, 0u) << "more than 2 s without a touch";

    // Once the release sound ends, an idle button is not busy however recent the touch.
    Down(400, 300);
    Up();
    Steps(5);
    EXPECT_EQ(Buttons()->m_bBusy, 1u);
    StopSounds();
    Step();
    EXPECT_EQ(Buttons()->m_bBusy, 0u);
}

TEST_F(CMoxButtonManager, ALabelIsDrawnCentredAtThreeQuartersOfTheFontScale)
{
    CMoxButton* b = Still(1, 300, 200, 60, NO_PICTURE);
    b->m_strLabel = CKorvelString("AB");
    b->m_bShowLabel = 1;
    ClearBlack();
    m_pGame->Draw();
    CKorvelBitmapFont* pFont = m_pGame->GetContext().pfntGameFonts;
    ASSERT_NE(pFont, nullptr);
    const float s = 0.75f * pFont->GetFontScale();

    // What the glyphs cover (the shadow below is black on black).
    std::vector<uint32_t> aPixels(size_t(800) * 600);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
    int iLeft = 800, iRight = -1, iTop = 600, iBottom = -1;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if ((aPixels[size_t(599 - y) * 800 + size_t(x)] & 0xFFFFFFu) != 0u)
            {
                iLeft = std::min(iLeft, x);
                iRight = std::max(iRight, x);
                iTop = std::min(iTop, y);
                iBottom = std::max(iBottom, y);
            }
    // Two 8-pixel glyphs 10 apart on a 12-pixel line, at scale s (the font places the
    // glyphs on whole pixels).
    EXPECT_NEAR(iRight + 1 - iLeft, 18.0f * s, 1.5f);
    EXPECT_NEAR(iBottom + 1 - iTop, 8.0f * s, 1.0f);
    EXPECT_NEAR((iLeft + iRight + 1) / 2.0f, 300.0f, 1.5f);
    EXPECT_NEAR(iTop, 200.0f - 6.0f * s, 1.0f);
}

TEST_F(CMoxButtonManager, HiddenButtonsAreIdleAndRemovalTakesEveryButtonOfTheId)
{
    Still(1, 200, 300, 40);
    Still(1, 600, 300, 40); // next to the other of its id: removal must not skip it
    Still(2, 400, 300, 40);
    Down(400, 300);
    Buttons()->HideAll();
    Steps(5);
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log());
    EXPECT_EQ(Buttons()->GetAt(2)->m_fPressScale, 1.0f);
    EXPECT_EQ(Buttons()->m_bBusy, 0u);
    Buttons()->ShowAll();
    Down(400, 300);
    Up();
    EXPECT_EQ(m_pScreen->Take(), Log({"R2"}));

    Buttons()->RemoveButtonByID(1);
    ASSERT_EQ(Buttons()->GetCount(), 1);
    EXPECT_EQ(Buttons()->GetAt(0)->m_iID, 2);
}

} // namespace
