// The root state's resources, sounds, music, mute button and training progress, with
// the real resource manager over generated packs, the mixer on the capture sink and the
// music stand-in on its capture output.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/StateGame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundMusicPlayer.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "support/TestAudio.h"
#include "tests/Framework/Shell/ShellTestStats.h"
#include "tests/game/GameTestFixture.h"

namespace
{

class CStateGame : public CGameTest
{
protected:
    // Calls until loaded; the number of calls it took.
    int PreloadAll(unsigned int uWithSounds)
    {
        int iCalls = 0;
        while (!m_pGame->m_bResourcesLoaded && iCalls < 200)
        {
            m_pGame->PreloadResources(uWithSounds);
            ++iCalls;
        }
        return iCalls;
    }
    CMoxGameContext& Context() { return m_pGame->GetContext(); }
    // Touch 0 at the point, pressed or released, and one step.
    void Touch(bool bDown, int iX, int iY)
    {
        if (bDown)
            m_pGame->OnMouseButton(0, iX, iY);
        else
            m_pGame->OnMouseButtonUp(0, iX, iY);
        Step();
    }
};

TEST_F(CStateGame, PreloadTakesOneResourcePerCall)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    EXPECT_EQ(PreloadAll(1), 94);
    for (int i = 0; i < GAME_TEXTURE_COUNT; ++i)
    {
        SCOPED_TRACE(i);
        const bool bBackground = i == TEXTURE_BACKGROUND_BATTLE || i == TEXTURE_BACKGROUND_UNIQUE;
        EXPECT_EQ(Context().psrfGameTextures[i] == nullptr, bBackground);
    }
    for (CKorvelSoundWave* pWave : Context().psndGameSounds)
        EXPECT_NE(pWave, nullptr);
    EXPECT_NE(Context().pfntGameFonts, nullptr);
    EXPECT_EQ(m_pGame->m_iPreloadIndex, 0);

    // Textures only: the sounds stay, and a preload without sounds ends after the textures.
    m_pGame->UnloadResources(0);
    EXPECT_EQ(Context().psrfGameTextures[TEXTURE_MUTE_ON], nullptr);
    EXPECT_EQ(Context().pfntGameFonts, nullptr);
    EXPECT_NE(Context().psndGameSounds[SOUND_AMBIENT_LOOP], nullptr);
    EXPECT_EQ(PreloadAll(0), 70);

    m_pGame->UnloadResources(1);
    for (CKorvelSoundWave* pWave : Context().psndGameSounds)
        EXPECT_EQ(pWave, nullptr);
}

TEST_F(CStateGame, APreloadWithoutPicturesStillEnds)
{
    // The game adds its packs when it starts.
    std::remove(m_App.AppFile("dataTextures.kmp").c_str());
    std::remove(m_App.AppFile("dataUI.kmp").c_str());
    ASSERT_NO_FATAL_FAILURE(StartGame());
    EXPECT_EQ(PreloadAll(1), 94);
    EXPECT_EQ(Context().psrfGameTextures[TEXTURE_MUTE_OFF], nullptr);
    EXPECT_EQ(Context().pfntGameFonts, nullptr);
    m_pGame->Draw(); // no picture, no font: nothing to draw, nothing to crash on
}

TEST_F(CStateGame, RefreshFetchesTheTexturesThatWentMissing)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    PreloadAll(1);
    m_App.ReleaseSurface(Context().psrfGameTextures[TEXTURE_WAVES]);
    ASSERT_EQ(Context().psrfGameTextures[TEXTURE_WAVES], nullptr);
    m_pGame->RefreshTextures();
    EXPECT_NE(Context().psrfGameTextures[TEXTURE_WAVES], nullptr);
}

TEST_F(CStateGame, AGameSoundNeverOverlapsItself)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    PreloadAll(1);
    CKorvelSoundWave* pWave = Context().psndGameSounds[SOUND_JUMP];
    ASSERT_TRUE(pWave && m_App.GetSoundEngine());
    while (!m_App.IsSoundReady(pWave))
    {
        m_App.Tick();
        std::this_thread::yield();
    }
    // With the mixer paused the voice stays where it is put.
    m_App.GetSoundEngine()->Pause(1);
    m_pGame->PlayGameSound(SOUND_JUMP, 0, 0);
    ASSERT_EQ(pWave->IsPlaying(0), 1u);
    pWave->SetPosition(1000, 0);
    m_pGame->PlayGameSound(SOUND_JUMP, 0, 0);
    EXPECT_EQ(pWave->GetPosition(0), 1000u) << "played again while playing: dropped";

    pWave->Stop(0);
    m_pGame->PlayGameSound(SOUND_JUMP, 0, 30000);
    EXPECT_EQ(pWave->GetPosition(0), 0u) << "a stopped sound starts from the beginning";
    EXPECT_EQ(pWave->GetFrequency(0), 30000u);
}

TEST_F(CStateGame, NothingPlaysWhileMutedOrSimulating)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    m_App.MuteSound(1);
    m_pGame->PlayGameSound(SOUND_WHIP, 0, 0);
    EXPECT_EQ(Context().psndGameSounds[SOUND_WHIP], nullptr) << "not even fetched";

    m_App.MuteSound(0);
    m_pGame->AddState(STATE_PLAY);
    m_Fakes.pPlay->m_bSimulating = 1;
    m_pGame->PlayGameSound(SOUND_WHIP, 0, 0);
    EXPECT_EQ(Context().psndGameSounds[SOUND_WHIP], nullptr);
}

TEST_F(CStateGame, ASoundStillLoadingIsSkippedAndPlaysOnceReady)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    m_App.GetSoundEngine()->Pause(1);
    // Fetched on first use: the loader is only queued until the next tick.
    m_pGame->PlayGameSound(SOUND_EXPLOSION, 0, 0);
    CKorvelSoundWave* pWave = Context().psndGameSounds[SOUND_EXPLOSION];
    ASSERT_NE(pWave, nullptr) << "the slot keeps the wave";
    ASSERT_EQ(m_App.IsSoundReady(pWave), 0u);
    EXPECT_EQ(pWave->IsPlaying(0), 0u);
    while (!m_App.IsSoundReady(pWave))
    {
        m_App.Tick();
        std::this_thread::yield();
    }
    EXPECT_EQ(pWave->IsPlaying(0), 0u);
    m_pGame->PlayGameSound(SOUND_EXPLOSION, 0, 0);
    EXPECT_EQ(pWave->IsPlaying(0), 1u);
    EXPECT_EQ(Context().psndGameSounds[SOUND_EXPLOSION], pWave);
}

TEST_F(CStateGame, MusicPlaysLoopedFromTheApplicationFolder)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ASSERT_TRUE(WriteTestMp3(m_App.AppFile("FlompTheme.mp3"), 1, 22050, 0.5f, 440.0f)) << "lame is needed";
    m_pGame->PlayMusic(SONG_THEME);
    const std::string strName = Narrow(m_App.m_strMusicName);
    EXPECT_EQ(strName, m_App.AppFile("FlompTheme.mp3"));
    EXPECT_EQ(m_App.m_uMusicLoop, 1u);
    ASSERT_NE(m_App.GetMusicPlayer(), nullptr);
    EXPECT_EQ(m_App.GetMusicPlayer()->GetState(), CKorvelSoundMusicPlayer::STATE_PLAYING);
}

TEST_F(CStateGame, TheMuteSquareTogglesAllSoundOnRelease)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    EXPECT_EQ(m_pGame->m_rcMute.left, 736.0f);
    EXPECT_EQ(m_pGame->m_rcMute.top, 0.0f);
    EXPECT_EQ(m_pGame->m_rcMute.right, 800.0f);
    EXPECT_EQ(m_pGame->m_rcMute.bottom, 64.0f);
    struct sCASE
    {
        const char* pWhat;
        bool bDown;
        int iX, iY;
        unsigned int uTaken, uMuted;
    };
    const sCASE cases[] = {
        {"press inside", true, 736, 64, 1, 0},           {"held inside", true, 740, 10, 0, 0},
        {"release inside mutes", false, 740, 10, 1, 1},  {"press outside", true, 735, 10, 0, 1},
        {"release outside", false, 735, 10, 0, 1},       {"press on the corner", true, 800, 0, 1, 1},
        {"release inside unmutes", false, 800, 0, 1, 0},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        Touch(c.bDown, c.iX, c.iY);
        EXPECT_EQ(m_pGame->m_bVolumeTouched, c.uTaken);
        EXPECT_EQ(m_App.IsSoundMute(), c.uMuted);
        EXPECT_EQ(m_App.IsMusicMute(), c.uMuted);
        EXPECT_EQ(Setting("__Vorn_Sounds_Mute"), c.uMuted);
        EXPECT_EQ(Setting("__Vorn_Music_Mute"), c.uMuted);
    }
    // Only the music muted: a release mutes the sound too.
    m_App.MuteMusic(1);
    Touch(true, 770, 30);
    Touch(false, 770, 30);
    EXPECT_EQ(m_App.IsSoundMute(), 1u);
    EXPECT_EQ(m_App.IsMusicMute(), 1u);
}

TEST_F(CStateGame, SceneProgressIsWrittenOnlyWhenNew)
{
    ASSERT_NO_FATAL_FAILURE(StartGame());
    EXPECT_EQ(m_pGame->IsSceneCleared(3), 0);
    m_pGame->SetSceneCleared(3);
    EXPECT_EQ(m_pGame->IsSceneCleared(3), 1);
    EXPECT_EQ(StoredSettings()["scene_3_cleared"], "1");
    std::remove(m_App.DataFile("stats.dat").c_str());
    m_pGame->SetSceneCleared(3);
    EXPECT_TRUE(StoredSettings().empty()) << "already cleared: nothing written";
}

} // namespace
