// The music player on the renderer stand-in and the application's event pump:
// the renderer calls it makes, the event texts it reads, the looping restart,
// and volume, mute and fades reaching the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "KorvelSound/KorvelSoundMusicPlayer.h"
#include "PlatformControl.h"
#include "PlatformMmrControl.h"
#include "support/InputTestApplication.h"
#include "support/TestAudio.h"
#include "support/TestTempDir.h"

namespace
{

const char* const kContext = "KorvelSoundMusicPlayer";
// The renderer's thread notices an end in its own time, on a loaded machine too.
const int kEndNoticedSeconds = 30;

class CMusicApplication : public CInputApplication
{
public:
    using IKorvelApplication::UpdateRunnables;
};

// The renderer's calls in the log, with their arguments.
std::vector<std::string> MusicCalls()
{
    std::vector<std::string> aCalls;
    for (const plat::sPlatformCall& call : plat::GetCallLog())
        if (call.m_strName.rfind("mmr", 0) == 0)
            aCalls.push_back(call.ToString());
    return aCalls;
}

int Succeeded(const char* pszName)
{
    int iCount = 0;
    for (const plat::sPlatformCall& call : plat::GetCallLog())
        iCount += call.m_strName == pszName && !call.m_bFailed;
    return iCount;
}

class CKorvelSoundMusicPlayer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        g_pDir = new CTestTempDir;
        ASSERT_TRUE(WriteTestMp3(g_pDir->File("track.mp3"), 2, 44100, 0.6f, 440.0f)) << "lame is needed";
    }
    static void TearDownTestSuite() { delete g_pDir; }

    void SetUp() override
    {
        plat::MmrControlReset();
        plat::MmrControlUseCaptureOutput(true);
        plat::ClearCallLog();
    }
    void TearDown() override
    {
        m_Player.Shutdown();
        plat::MmrControlReset();
    }
    KE_RETVAL Start(::CKorvelSoundMusicPlayer& player, const char* pszFile = "track.mp3")
    {
        return player.Startup(&m_App, CKorvelString(g_pDir->File(pszFile).c_str()));
    }
    // One frame: the renderer's output advances by dt, then events and runnables.
    void Frame(float fSeconds = 0.05f)
    {
        plat::MmrCapturePull(static_cast<int>(fSeconds * 44100));
        std::this_thread::sleep_for(std::chrono::milliseconds(2)); // the renderer's thread notices the end
        m_App.Drain();
        m_App.UpdateRunnables(fSeconds);
    }
    bool FramesUntil(const std::function<bool()>& fnDone)
    {
        const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(kEndNoticedSeconds);
        while (!fnDone() && std::chrono::steady_clock::now() < tEnd)
            Frame();
        return fnDone();
    }

    static CTestTempDir* g_pDir;
    CHeadlessPlatform m_Platform;
    CMusicApplication m_App;
    ::CKorvelSoundMusicPlayer m_Player;
};
CTestTempDir* CKorvelSoundMusicPlayer::g_pDir = nullptr;

TEST_F(CKorvelSoundMusicPlayer, StartupConnectsAttachesAndRequestsEvents)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    EXPECT_EQ((std::vector<std::string>{"mmr_connect()", "mmr_context_create(0, 320)", "mmr_output_attach()",
                                        "mmr_input_attach()", "mmrenderer_request_events(0)",
                                        "mmr_volume_set(100)"}),
              MusicCalls());
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_STOPPED, m_Player.GetState());

    struct sCASE
    {
        const char* pFail;
        KE_RETVAL iExpected;
    };
    for (const sCASE& c :
         {sCASE{"mmr_connect", KE_ERR_DEVICE}, sCASE{"mmr_context_create", KE_ERR_DEVICE},
          sCASE{"mmr_output_attach", KE_ERR_DEVICE}, sCASE{"mmr_input_attach", KE_ERR_NOTFOUND}})
    {
        ::CKorvelSoundMusicPlayer player;
        plat::ClearCallLog();
        plat::FailCall(c.pFail);
        EXPECT_EQ(c.iExpected, Start(player)) << c.pFail;
        player.Shutdown();
        EXPECT_EQ(Succeeded("mmr_connect"), Succeeded("mmr_disconnect")) << c.pFail;
        EXPECT_EQ(Succeeded("mmr_context_create"), Succeeded("mmr_context_destroy")) << c.pFail;
    }
    ::CKorvelSoundMusicPlayer missing;
    plat::ClearCallLog();
    EXPECT_EQ(KE_ERR_NOTFOUND, Start(missing, "absent.mp3"));
    EXPECT_EQ(1, plat::CountCalls("mmr_error_info"));
    missing.Shutdown();
}

TEST_F(CKorvelSoundMusicPlayer, PlayPauseAndStop)
{
    ::CKorvelSoundMusicPlayer idle;
    EXPECT_EQ(KE_ERR_NOTSTARTED, idle.Play(0));
    EXPECT_EQ(KE_ERR_NOTSTARTED, idle.Pause());
    EXPECT_EQ(KE_ERR_NOTSTARTED, idle.Stop());
    EXPECT_EQ(100, idle.GetVolume());

    ASSERT_EQ(KE_OK, Start(m_Player));
    EXPECT_EQ(KE_OK, m_Player.Pause());
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_STOPPED, m_Player.GetState()) << "pause while stopped";
    plat::ClearCallLog();
    EXPECT_EQ(KE_OK, m_Player.Play(0));
    EXPECT_EQ(KE_OK, m_Player.Play(0));
    EXPECT_EQ((std::vector<std::string>{"mmr_speed_set(1000)", "mmr_play()"}), MusicCalls()) << "once";
    plat::ClearCallLog();
    EXPECT_EQ(KE_OK, m_Player.Pause());
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_PAUSED, m_Player.GetState());
    EXPECT_EQ(KE_OK, m_Player.Play(0));
    EXPECT_EQ(KE_OK, m_Player.Stop());
    EXPECT_EQ(KE_OK, m_Player.Stop());
    EXPECT_EQ(
        (std::vector<std::string>{"mmr_speed_set(0)", "mmr_speed_set(1000)", "mmr_play()", "mmr_stop()"}),
        MusicCalls());
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_STOPPED, m_Player.GetState());
}

TEST_F(CKorvelSoundMusicPlayer, PositionAndDurationFromEventTexts)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    m_App.Drain();
    ASSERT_EQ(0, plat::MmrControlInjectEvent(kContext, plat::MMR_STATE_PLAYING, "83500", -1));
    m_App.Drain();
    EXPECT_FLOAT_EQ(83.5f, m_Player.GetPosition());
    EXPECT_FLOAT_EQ(83.5f, m_Player.GetDuration());
    ASSERT_EQ(0, plat::MmrControlInjectEvent(kContext, plat::MMR_STATE_PLAYING, "2000", -1));
    m_App.Drain();
    EXPECT_FLOAT_EQ(2.0f, m_Player.GetPosition());
    EXPECT_FLOAT_EQ(83.5f, m_Player.GetDuration());

    // Only a change to stopped with error code 0 is the end of the track.
    m_Player.Play(0);
    m_App.Drain();
    plat::MmrControlInjectEvent(kContext, plat::MMR_STATE_STOPPED, "2100", 5);
    m_App.Drain();
    EXPECT_EQ(0u, m_Player.IsAtEnd());
    plat::MmrControlInjectEvent(kContext, plat::MMR_STATE_PLAYING, nullptr, -1);
    plat::MmrControlInjectEvent(kContext, plat::MMR_STATE_STOPPED, nullptr, 0);
    m_App.Drain();
    EXPECT_EQ(1u, m_Player.IsAtEnd());

    plat::ClearCallLog();
    EXPECT_EQ(KE_OK, m_Player.SetPosition(1.2345f));
    EXPECT_EQ((std::vector<std::string>{"mmr_seek(1234)"}), MusicCalls());
    EXPECT_EQ(0u, m_Player.IsAtEnd());
}

TEST_F(CKorvelSoundMusicPlayer, LoopingTrackRestartsAtEachEnd)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    ASSERT_EQ(KE_OK, m_Player.Play(1));
    ASSERT_TRUE(FramesUntil([] { return plat::CountCalls("mmr_play") >= 3; }));
    EXPECT_EQ(3, plat::CountCalls("mmr_play")) << "two ends, two restarts";
    EXPECT_EQ(2, plat::CountCalls("mmr_seek"));
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_PLAYING, m_Player.GetState());
    EXPECT_EQ(0u, m_Player.IsAtEnd());
    EXPECT_GT(m_Player.GetDuration(), 0.5f);
}

TEST_F(CKorvelSoundMusicPlayer, PausedLoopingTrackStaysPaused)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    ASSERT_EQ(KE_OK, m_Player.Play(1));
    Frame(0.5f);
    ASSERT_EQ(KE_OK, m_Player.Pause());
    for (int i = 0; i < 20; ++i)
        Frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Frame();
    EXPECT_EQ(1, plat::CountCalls("mmr_play"));
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_PAUSED, m_Player.GetState());
    EXPECT_EQ(0u, m_Player.IsAtEnd());
}

TEST_F(CKorvelSoundMusicPlayer, VolumeAndMuteReachTheOutput)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    ASSERT_EQ(KE_OK, m_Player.Play(0));
    const int iFull = TestPeak(plat::MmrCapturePull(2048));
    ASSERT_GT(iFull, 10000);
    m_Player.SetVolume(50);
    EXPECT_NEAR(iFull * 0.5, TestPeak(plat::MmrCapturePull(2048)), iFull * 0.1);
    m_Player.Mute(1);
    EXPECT_EQ(0, TestPeak(plat::MmrCapturePull(2048)));
    m_Player.SetVolume(30);
    EXPECT_EQ(0, TestPeak(plat::MmrCapturePull(2048))) << "a volume set while muted stays silent";
    EXPECT_EQ(30, m_Player.GetVolume());
    m_Player.Mute(0);
    EXPECT_EQ(30, m_Player.GetVolume());
    EXPECT_NEAR(iFull * 0.3, TestPeak(plat::MmrCapturePull(2048)), iFull * 0.1);
}

TEST_F(CKorvelSoundMusicPlayer, FadeOutPausesAndRestoresTheVolume)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    m_Player.Play(0);
    m_Player.FadeOut(2.0f);
    EXPECT_EQ(100, m_Player.GetVolume()) << "the fade target while fading";
    for (int i = 0; i < 19; ++i)
        m_App.UpdateRunnables(0.1f);
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_PLAYING, m_Player.GetState());
    EXPECT_LT(TestPeak(plat::MmrCapturePull(1024)), 2000) << "nearly silent at the end of the fade";
    m_App.UpdateRunnables(0.1f);
    m_App.UpdateRunnables(0.1f);
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_PAUSED, m_Player.GetState());
    EXPECT_EQ(100, m_Player.GetVolume());

    m_Player.SetVolume(50);
    m_Player.Play(0);
    m_Player.FadeOut(2.0f);
    int iFrames = 0;
    while (m_Player.GetState() == ::CKorvelSoundMusicPlayer::STATE_PLAYING && iFrames < 100)
    {
        m_App.UpdateRunnables(0.01f);
        ++iFrames;
    }
    EXPECT_NEAR(67, iFrames, 2) << "rate (200 - 50) / 2 per second from 50";
    EXPECT_EQ(50, m_Player.GetVolume());
}

TEST_F(CKorvelSoundMusicPlayer, FadeInRisesToTheVolume)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    m_Player.SetVolume(80);
    m_Player.Play(0);
    m_Player.FadeIn(1.0f);
    EXPECT_EQ(0, TestPeak(plat::MmrCapturePull(1024)));
    m_App.UpdateRunnables(0.25f); // rate 120 per second
    EXPECT_EQ(80, m_Player.GetVolume());
    EXPECT_EQ("mmr_volume_set(30)", MusicCalls().back());
    for (int i = 0; i < 10; ++i)
        m_App.UpdateRunnables(0.1f);
    EXPECT_EQ(80, m_Player.GetVolume());
    EXPECT_EQ("mmr_volume_set(80)", MusicCalls().back());
}

TEST_F(CKorvelSoundMusicPlayer, ShutdownStopsTheEventsAndLeavesTheApplication)
{
    ASSERT_EQ(KE_OK, Start(m_Player));
    plat::ClearCallLog();
    m_Player.Shutdown();
    std::vector<std::string> aCalls = MusicCalls();
    ASSERT_EQ(4u, aCalls.size());
    EXPECT_EQ(0u, aCalls[0].rfind("mmrenderer_stop_events(", 0))
        << "the request succeeded: its events are stopped";
    EXPECT_EQ((std::vector<std::string>{"mmr_input_detach()", "mmr_context_destroy()", "mmr_disconnect()"}),
              std::vector<std::string>(aCalls.begin() + 1, aCalls.end()));
    EXPECT_EQ(-1, plat::MmrControlInjectEvent(kContext, plat::MMR_STATE_PLAYING, "10", -1))
        << "no request left";
    EXPECT_EQ(::CKorvelSoundMusicPlayer::STATE_NOTSTARTED, m_Player.GetState());
    EXPECT_EQ(0u, m_Player.m_uRegistered) << "no longer a runnable";
}

// The renderer's own device path (SDL's dummy driver here), in real time.
TEST_F(CKorvelSoundMusicPlayer, PlaysOnTheDeviceWithNoSoundEngine)
{
    plat::MmrControlUseCaptureOutput(false);
    ASSERT_EQ(KE_OK, Start(m_Player));
    const auto tStart = std::chrono::steady_clock::now();
    ASSERT_EQ(KE_OK, m_Player.Play(0));
    for (int i = 0; i < 250 && !m_Player.IsAtEnd(); ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m_App.Drain();
    }
    EXPECT_EQ(1u, m_Player.IsAtEnd());
    EXPECT_GE(std::chrono::steady_clock::now() - tStart, std::chrono::milliseconds(450));
    EXPECT_NEAR(0.6f, m_Player.GetDuration(), 0.1f);
}

} // namespace
