// Sound, music and vibration settings of the application object, with the real sound
// engine on the PCM capture sink and the music player on the renderer's capture output.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "Framework/Shell/VornDevice.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundMusicPlayer.h"
#include "PlatformControl.h"
#include "PlatformMmrControl.h"
#include "support/TestAudio.h"
#include "support/TestKestrolundApplication.h"
#include "tests/Framework/Shell/ShellTestStats.h"

namespace
{

const CKorvelString TRACK("track.mp3");

// Named after the class under test; the class itself is ::CKestrolundApplication here.
class CKestrolundApplication : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteTestMp3(m_App.Dir() + "/track.mp3", 2, 44100, 0.5f, 440.0f)) << "lame is needed";
        ASSERT_TRUE(m_App.WritePacks(false));
        ASSERT_EQ(m_App.Start(), KE_OK);
        plat::ClearCallLog();
    }
    // The renderer reports the track at that position.
    void ReportPosition(const char* pMilliseconds)
    {
        m_App.DrainPlatformEvents();
        ASSERT_EQ(
            plat::MmrControlInjectEvent("KorvelSoundMusicPlayer", plat::MMR_STATE_PLAYING, pMilliseconds, -1),
            0);
        m_App.DrainPlatformEvents();
    }
    bool Playing()
    {
        return m_App.GetMusicPlayer() &&
               m_App.GetMusicPlayer()->GetState() == CKorvelSoundMusicPlayer::STATE_PLAYING;
    }

    CTestKestrolundApplication m_App;
};

TEST_F(CKestrolundApplication, VolumesAreClampedStoredAndApplied)
{
    struct sCASE
    {
        int iSet, iExpected;
    };
    ASSERT_EQ(m_App.PlayMusic(TRACK, 1), KE_OK);
    for (const sCASE& c : {sCASE{150, 100}, sCASE{-5, 0}, sCASE{42, 42}})
    {
        SCOPED_TRACE(c.iSet);
        m_App.SetSoundVolume(c.iSet);
        m_App.SetMusicVolume(c.iSet);
        EXPECT_EQ(m_App.GetSoundEngine()->GetMasterVolume(), c.iExpected);
        EXPECT_EQ(m_App.GetMusicPlayer()->GetVolume(), c.iExpected);
        EXPECT_EQ(m_App.GetStatistics()->GetProperty(CKorvelString("__Vorn_Sounds_Volume"))->m_iIntValue,
                  c.iExpected);
        EXPECT_EQ(m_App.GetStatistics()->GetProperty(CKorvelString("__Vorn_Music_Volume"))->m_iIntValue,
                  c.iExpected);
    }
}

TEST_F(CKestrolundApplication, MusicAskedForWhileMutedStartsWhenUnmuted)
{
    m_App.MuteMusic(1);
    EXPECT_EQ(m_App.PlayMusic(TRACK, 1), KE_OK);
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr);
    EXPECT_EQ(plat::CountCalls("mmr_play"), 0);

    m_App.MuteMusic(0);
    EXPECT_TRUE(Playing());
    EXPECT_EQ(plat::CountCalls("mmr_play"), 1);
    EXPECT_EQ(m_App.IsMusicMute(), 0u);
}

TEST_F(CKestrolundApplication, UnmutingResumesTheTrackWhereItWas)
{
    ASSERT_EQ(m_App.PlayMusic(TRACK, 1), KE_OK);
    ASSERT_NO_FATAL_FAILURE(ReportPosition("1500"));
    m_App.MuteMusic(1);
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr);
    EXPECT_EQ(m_App.IsMusicMute(), 1u);

    plat::ClearCallLog();
    m_App.MuteMusic(0);
    EXPECT_TRUE(Playing());
    EXPECT_EQ(plat::CountCalls("mmr_seek"), 1);
    bool bSeek = false;
    for (const plat::sPlatformCall& call : plat::GetCallLog())
        if (call.m_strName == "mmr_seek")
            bSeek = call.ToString() == "mmr_seek(1500)";
    EXPECT_TRUE(bSeek);
}

TEST_F(CKestrolundApplication, AStoppedTrackStaysStopped)
{
    ASSERT_TRUE(m_App.RunSplash());
    m_App.m_pTestLobby->m_Script.uLoggedIn = 1;
    ASSERT_EQ(m_App.PlayMusic(TRACK, 1), KE_OK);
    m_App.StopMusic();
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr);
    m_App.MuteMusic(1);
    m_App.MuteMusic(0);
    m_App.OnFocusChange(0);
    m_App.OnFocusChange(1);
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr);
}

TEST_F(CKestrolundApplication, GainingFocusResumesMusicOnlyAfterLogin)
{
    ASSERT_TRUE(m_App.RunSplash());
    ASSERT_EQ(m_App.PlayMusic(TRACK, 1), KE_OK);
    ASSERT_NO_FATAL_FAILURE(ReportPosition("800"));

    m_App.OnFocusChange(0);
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr);
    EXPECT_EQ(m_App.GetSoundEngine()->IsPaused(), 1u);
    m_App.OnFocusChange(1);
    EXPECT_EQ(m_App.GetSoundEngine()->IsPaused(), 0u);
    EXPECT_EQ(m_App.GetMusicPlayer(), nullptr) << "not logged in: music stays silent";

    m_App.m_pTestLobby->m_Script.uLoggedIn = 1;
    m_App.OnFocusChange(0);
    m_App.OnFocusChange(1);
    EXPECT_TRUE(Playing());
}

TEST_F(CKestrolundApplication, TheVibrationSwitchIsWrittenAtOnce)
{
    m_App.SetVibrations(0);
    EXPECT_EQ(StoredSettings().at("__Vorn_Vibrations"), "0");
    EXPECT_EQ(m_App.GetVibrations(), 0u);
    EXPECT_EQ(m_App.GetDevice()->GetVibrate(), 0u);
    m_App.MuteSound(1);
    EXPECT_EQ(StoredSettings().at("__Vorn_Sounds_Mute"), "0") << "the other settings wait for the next write";
    EXPECT_EQ(m_App.GetSoundEngine()->IsMuted(), 1u);
}

} // namespace
