// The music renderer stand-in with a generated MP3: what reaches the output,
// which events it posts when, and its failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "PlatformControl.h"
#include "PlatformMmrControl.h"
#include "support/MusicEvents.h"
#include "support/TestAudio.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"

using namespace plat;

namespace
{

class CPlatformMmr : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        g_pDir = new CTestTempDir;
        ASSERT_TRUE(WriteTestMp3(g_pDir->File("one.mp3"), 2, 44100, 1.0f, 440.0f)) << "lame is needed";
        ASSERT_TRUE(WriteTestMp3(g_pDir->File("short.mp3"), 1, 22050, 0.3f, 330.0f));
    }
    static void TearDownTestSuite() { delete g_pDir; }

    void SetUp() override
    {
        ResetPlatform(eBackend::Headless);
        bps_initialize();
        MmrControlReset();
        MmrControlUseCaptureOutput(true);
        m_pConnection = mmr_connect(nullptr);
        m_pContext = mmr_context_create(m_pConnection, "music", 0, 0500);
        ASSERT_NE(nullptr, m_pContext);
        ASSERT_EQ(0, mmr_output_attach(m_pContext, "audio:default", "audio"));
    }
    void TearDown() override
    {
        mmr_context_destroy(m_pContext);
        mmr_disconnect(m_pConnection);
        MmrControlReset();
        bps_shutdown();
    }
    void StartTrack(const char* pszName = "one.mp3")
    {
        ASSERT_EQ(0, mmr_input_attach(m_pContext, g_pDir->File(pszName).c_str(), "track"));
        ASSERT_GT(mmrenderer_request_events("music", 0, this), 0);
        ASSERT_EQ(0, mmr_speed_set(m_pContext, 1000));
        ASSERT_EQ(0, mmr_play(m_pContext));
    }
    // Pulls the captured output until the track's end event arrives.
    std::vector<sSeenMusicEvent> PlayToEnd()
    {
        std::vector<sSeenMusicEvent> aAll;
        for (int i = 0; i < 40; ++i)
        {
            MmrCapturePull(4410);
            std::vector<sSeenMusicEvent> aSome = TakeMusicEvents(10, IsTrackEnd);
            aAll.insert(aAll.end(), aSome.begin(), aSome.end());
            if (!aAll.empty() && IsTrackEnd(aAll.back()))
                break;
        }
        return aAll;
    }

    static CTestTempDir* g_pDir;
    mmr_connection_t* m_pConnection = nullptr;
    mmr_context_t* m_pContext = nullptr;
};
CTestTempDir* CPlatformMmr::g_pDir = nullptr;

} // namespace

TEST_F(CPlatformMmr, OutputIsTheTrackAtTheVolume)
{
    StartTrack();
    const int iFull = TestPeak(MmrCapturePull(4096));
    EXPECT_GT(iFull, 14000);
    EXPECT_LT(iFull, 18500);
    ASSERT_EQ(0, mmr_volume_set(m_pContext, 50));
    const int iHalf = TestPeak(MmrCapturePull(4096));
    EXPECT_NEAR(iFull * 0.5, iHalf, iFull * 0.1);
    ASSERT_EQ(0, mmr_volume_set(m_pContext, 0));
    EXPECT_EQ(0, TestPeak(MmrCapturePull(4096)));
    ASSERT_EQ(0, mmr_volume_set(m_pContext, 100));
    ASSERT_EQ(0, mmr_speed_set(m_pContext, 0));
    EXPECT_EQ(0, TestPeak(MmrCapturePull(4096))) << "speed 0 stands still";
}

TEST_F(CPlatformMmr, NaturalEndCarriesErrorCodeZeroAndPlayStartsOver)
{
    StartTrack();
    const std::vector<sSeenMusicEvent> aEvents = PlayToEnd();
    ASSERT_FALSE(aEvents.empty());
    ASSERT_TRUE(IsTrackEnd(aEvents.back()));
    EXPECT_NEAR(1000, atoi(aEvents.back().m_strPosition.c_str()), 60);
    EXPECT_EQ(this, aEvents.back().m_pUserData);
    EXPECT_EQ(MMR_STATE_STOPPED, aEvents[0].m_eState) << "the speed is set before playing";
    EXPECT_EQ(MMR_STATE_PLAYING, aEvents[1].m_eState);
    for (size_t i = 0; i + 1 < aEvents.size(); ++i)
        EXPECT_EQ(-1, aEvents[i].m_iError);

    ASSERT_EQ(0, mmr_play(m_pContext));
    const std::vector<sSeenMusicEvent> aAgain =
        TakeMusicEvents(500, [](const sSeenMusicEvent&) { return true; });
    ASSERT_EQ(1u, aAgain.size());
    EXPECT_EQ(MMR_STATE_PLAYING, aAgain[0].m_eState);
    EXPECT_EQ("0", aAgain[0].m_strPosition);
}

TEST_F(CPlatformMmr, StopAndSpeedChangesCarryNoErrorRecord)
{
    StartTrack();
    MmrCapturePull(4410);
    ASSERT_EQ(0, mmr_speed_set(m_pContext, 0));
    ASSERT_EQ(0, mmr_speed_set(m_pContext, 1000));
    ASSERT_EQ(0, mmr_stop(m_pContext));
    const std::vector<sSeenMusicEvent> aEvents =
        TakeMusicEvents(200, [](const sSeenMusicEvent&) { return false; });
    // Speed 1000 and play before the pull; speed 0, speed 1000 and stop after it.
    ASSERT_EQ(5u, aEvents.size());
    EXPECT_EQ(MMR_STATE_PLAYING, aEvents[2].m_eState);
    EXPECT_EQ(MMR_STATE_STOPPED, aEvents.back().m_eState);
    EXPECT_EQ(100, atoi(aEvents.back().m_strPosition.c_str()));
    for (const sSeenMusicEvent& event : aEvents)
        EXPECT_EQ(-1, event.m_iError);
}

TEST_F(CPlatformMmr, SeekMovesThePositionInMilliseconds)
{
    StartTrack();
    ASSERT_EQ(0, mmr_seek(m_pContext, "500"));
    MmrCapturePull(4410);
    const std::vector<sSeenMusicEvent> aEvents =
        TakeMusicEvents(1000, [](const sSeenMusicEvent& e) { return e.m_iCode == MMRENDERER_STATUS_UPDATE; });
    ASSERT_FALSE(aEvents.empty());
    EXPECT_EQ("500", aEvents.back().m_strPosition);
    EXPECT_EQ(MMR_STATE_PLAYING, aEvents.back().m_eState);
    EXPECT_EQ(-1, mmr_seek(m_pContext, "1.5"));
    EXPECT_EQ(MMR_ERROR_INVALID_PARAMETER, mmr_error_info(m_pContext)->error_code);
    // Past the end the track ends as soon as it plays.
    ASSERT_EQ(0, mmr_seek(m_pContext, "5000"));
    const std::vector<sSeenMusicEvent> aEnd = PlayToEnd();
    ASSERT_FALSE(aEnd.empty());
    EXPECT_TRUE(IsTrackEnd(aEnd.back()));
}

TEST_F(CPlatformMmr, Failures)
{
    const std::string strZeros = g_pDir->File("zeros.mp3");
    ASSERT_TRUE(WriteTestFile(strZeros, std::vector<uint8_t>(20000, 0)));
    EXPECT_EQ(-1, mmr_play(m_pContext));
    EXPECT_EQ(MMR_ERROR_INVALID_STATE, mmr_error_info(m_pContext)->error_code);
    EXPECT_EQ(-1, mmr_input_attach(m_pContext, g_pDir->File("absent.mp3").c_str(), "track"));
    EXPECT_EQ(MMR_ERROR_MEDIA_UNAVAILABLE, mmr_error_info(m_pContext)->error_code);
    EXPECT_EQ(-1, mmr_input_attach(m_pContext, strZeros.c_str(), "track"));
    EXPECT_EQ(-1, mmr_output_attach(m_pContext, "video:default", "video"));
    EXPECT_EQ(-1, mmr_speed_set(m_pContext, 500));
    EXPECT_EQ(MMR_ERROR_UNSUPPORTED_VALUE, mmr_error_info(m_pContext)->error_code);
    FailCall("mmr_connect");
    EXPECT_EQ(nullptr, mmr_connect(nullptr));
    ASSERT_EQ(0, mmr_input_attach(m_pContext, g_pDir->File("one.mp3").c_str(), "track"));
    FailCall("mmr_play");
    EXPECT_EQ(-1, mmr_play(m_pContext));
    EXPECT_EQ(0, mmr_play(m_pContext));
}

TEST_F(CPlatformMmr, EventsGoToTheRequestOfTheirOwnContext)
{
    StartTrack();
    mmr_context_t* pSecond = mmr_context_create(m_pConnection, "music", 0, 0500);
    ASSERT_EQ(0, mmr_output_attach(pSecond, "audio:default", "audio"));
    ASSERT_EQ(0, mmr_input_attach(pSecond, g_pDir->File("short.mp3").c_str(), "track"));
    int iSecondTag = 0;
    const int iRequest = mmrenderer_request_events("music", 0, &iSecondTag);
    TakeMusicEvents(50, [](const sSeenMusicEvent&) { return false; });
    ASSERT_EQ(0, mmr_stop(m_pContext));
    ASSERT_EQ(0, mmr_play(pSecond));
    const std::vector<sSeenMusicEvent> aEvents =
        TakeMusicEvents(100, [](const sSeenMusicEvent&) { return false; });
    ASSERT_EQ(2u, aEvents.size());
    EXPECT_EQ(this, aEvents[0].m_pUserData);
    EXPECT_EQ(&iSecondTag, aEvents[1].m_pUserData);

    EXPECT_EQ(0, mmrenderer_stop_events(iRequest));
    EXPECT_EQ(-1, mmrenderer_stop_events(iRequest));
    ASSERT_EQ(0, mmr_stop(pSecond));
    EXPECT_TRUE(TakeMusicEvents(100, [](const sSeenMusicEvent&) { return false; }).empty());
    mmr_context_destroy(pSecond);
}
