// The logo splash: its timing, what it draws when (as a pure function and read back from
// the screen), its welcome sound, and a start without its pack.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <cstdlib>

#include "Framework/Shell/VornIntroState.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "PlatformPcmControl.h"
#include "support/GlTestContext.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestShellPacks.h"

namespace
{

const int W = CTestKestrolundApplication::WIDTH, H = CTestKestrolundApplication::HEIGHT;

// 0xRRGGBB of the screen's centre.
unsigned int CentreRgb()
{
    const uint32_t uPixel = ReadGlPixel(W / 2, H / 2, H);
    return unsigned(PixelR(uPixel)) << 16 | unsigned(PixelG(uPixel)) << 8 | unsigned(PixelB(uPixel));
}

// Each channel within the tolerance of the expected colour (JPEG rounds).
bool Near(unsigned int uRgb, unsigned int uExpected, int iTolerance = 6)
{
    for (int iShift = 0; iShift <= 16; iShift += 8)
        if (std::abs(int((uRgb >> iShift) & 0xFF) - int((uExpected >> iShift) & 0xFF)) > iTolerance)
            return false;
    return true;
}

unsigned int Half(unsigned int uRgb)
{
    return ((uRgb >> 1) & 0x7F7F7F);
}

// Named after the class under test; the class itself is ::CVornIntroState here.
class CVornIntroState : public ::testing::Test
{
protected:
    void Start(bool bIntro = true)
    {
        ASSERT_TRUE(m_App.WritePacks(bIntro));
        ASSERT_EQ(m_App.Start(), KE_OK);
        ASSERT_EQ(m_App.GetStateCount(), 1);
    }
    // The five updates that do not count.
    void Countdown()
    {
        for (int i = 0; i < ::CVornIntroState::START_COUNTDOWN; ++i)
            m_App.Frame(0.1f);
    }

    CTestKestrolundApplication m_App;
};

TEST_F(CVornIntroState, FramesAndFadeFollowTheTime)
{
    struct sCASE
    {
        float fTime;
        int iBlt, iBlend;
        float fFade;
    };
    const sCASE aCases[] = {
        {0.0f, 0, 1, -1.0f},   {0.5f, 5, 6, -1.0f},  {0.95f, 10, 11, -1.0f}, {1.0f, 11, -1, -1.0f},
        {1.2f, 11, -1, -1.0f}, {1.5f, 11, -1, 1.0f}, {1.75f, 11, -1, 0.5f},  {2.5f, 11, -1, 0.0f},
    };
    for (const sCASE& c : aCases)
    {
        const sVORN_INTRO_FRAME frame = VornIntroFrameAt(c.fTime);
        SCOPED_TRACE(c.fTime);
        EXPECT_EQ(frame.iBltFrame, c.iBlt);
        EXPECT_EQ(frame.iBlendFrame, c.iBlend);
        EXPECT_FLOAT_EQ(frame.fFade, c.fFade);
    }
}

TEST_F(CVornIntroState, CompletesOnTheTwentyFifthUpdateOfATenthOfASecond)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    for (int i = 1; i <= 24; ++i)
        m_App.Frame(0.1f);
    EXPECT_EQ(m_App.GetNetworkSession(), nullptr);
    m_App.Frame(0.1f);
    EXPECT_NE(m_App.GetNetworkSession(), nullptr) << "handed over on the 25th update";
    EXPECT_EQ(m_App.GetStateCount(), 2) << "the lobby waits behind the splash";
    m_App.Frame(0.1f);
    EXPECT_EQ(m_App.GetStateCount(), 1);
    EXPECT_EQ(m_App.GetState(0), m_App.GetLobbyState());
    EXPECT_FALSE(m_App.HavePack(m_App.AppFile("vornintro.kmp").c_str())) << "the splash took its pack away";
}

TEST_F(CVornIntroState, TheScreenShowsTheLastFrameThenFadesItToHalf)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Countdown();
    EXPECT_TRUE(Near(CentreRgb(), TestIntroFrameColour(1))) << std::hex << CentreRgb();
    m_App.Frame(1.2f);
    const unsigned int uLast = TestIntroFrameColour(11);
    EXPECT_TRUE(Near(CentreRgb(), uLast)) << std::hex << CentreRgb();
    m_App.Frame(0.55f);
    EXPECT_TRUE(Near(CentreRgb(), Half(uLast))) << std::hex << CentreRgb() << " at 1.75 s";
}

TEST_F(CVornIntroState, TheWelcomeSoundPlaysOnce)
{
    // A long welcome on a sink paced like a device, so that it is still playing when looked at.
    plat::PcmControlUseCaptureSink(true, true);
    std::vector<int16_t> aSamples(size_t{8000} * 30, 0x2000);
    const std::string strWav = m_App.Dir() + "/long.wav";
    ASSERT_TRUE(WriteTestWav(strWav, 1, 8000, 8, aSamples));
    const std::vector<uint8_t> aWav = ReadTestFile(strWav);
    TestPackItems items = TestIntroPackItems(W, H, false);
    items.push_back({"/vl-welcome.wav", std::string(aWav.begin(), aWav.end())});
    ASSERT_TRUE(m_App.WritePacks(false));
    ASSERT_TRUE(WriteTestFile(m_App.AppFile("vornintro.kmp"), TestPackBytes(items)));
    ASSERT_EQ(m_App.Start(), KE_OK);

    CKorvelSoundWave* pWelcome = m_App.HaveSound(CKorvelString("vl-welcome.wav"));
    ASSERT_NE(pWelcome, nullptr);
    EXPECT_EQ(pWelcome->IsPlaying(0), 0u);
    m_App.Frame(0.1f);
    EXPECT_EQ(pWelcome->IsPlaying(0), 1u) << "started on the first update, during the countdown";
    pWelcome->Stop(0);
    for (int i = 0; i < 10; ++i)
        m_App.Frame(0.1f);
    EXPECT_EQ(pWelcome->IsPlaying(0), 0u) << "not started again";
    m_App.ReleaseSound(pWelcome);
}

TEST_F(CVornIntroState, WithoutItsPackTheScreenStaysBlackAndTheLobbyStillFollows)
{
    ASSERT_NO_FATAL_FAILURE(Start(false));
    Countdown();
    m_App.Frame(1.0f);
    EXPECT_EQ(CentreRgb(), 0u);
    EXPECT_TRUE(m_App.RunSplash(0.1f, 12));
    EXPECT_NE(m_App.GetLobbyState(), nullptr);
}

TEST_F(CVornIntroState, AMissingFrameIsSkippedAndTheOthersAreDrawn)
{
    TestPackItems items = TestIntroPackItems(W, H);
    items.erase(items.begin() + 11); // the last frame
    ASSERT_TRUE(m_App.WritePacks(false));
    ASSERT_TRUE(WriteTestFile(m_App.AppFile("vornintro.kmp"), TestPackBytes(items)));
    ASSERT_EQ(m_App.Start(), KE_OK);
    Countdown();
    m_App.Frame(0.5f);
    EXPECT_TRUE(Near(CentreRgb(), TestIntroFrameColour(6))) << std::hex << CentreRgb();
    m_App.Frame(0.7f);
    EXPECT_EQ(CentreRgb(), 0u) << "the missing last frame leaves black";
    EXPECT_TRUE(m_App.RunSplash(0.1f, 10));
}

} // namespace
