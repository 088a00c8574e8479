// The match's ambient sound through the root state's PlayGameSound, on the real resource
// manager over generated WAV sounds and the mixer on the capture sink. With the mixer
// paused a started voice stays started, so what played is read off the sound objects.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxAmbientPlayer.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "Platform/include/PlatformPcmControl.h"
#include "game/MoxPlayState.h"
#include "tests/game/GameTestFixture.h"

namespace
{

const GAME_SOUND COMMON[] = {GAME_SOUND(17), GAME_SOUND(18), GAME_SOUND(19)};
const GAME_SOUND RARE[] = {GAME_SOUND(20), GAME_SOUND(21), GAME_SOUND(22)};

class CMoxAmbientPlayer : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartGame());
        m_App.RandSeed(1234);
    }
    void TearDown() override
    {
        m_pPlayer.reset();
        CGameTest::TearDown();
    }
    CKorvelSoundWave*& Slot(GAME_SOUND e) { return m_pGame->GetContext().psndGameSounds[e]; }
    // Fetches the ambient sounds and waits for their loaders; pauses the mixer.
    void LoadSounds()
    {
        m_App.GetSoundEngine()->Pause(1);
        for (int i = SOUND_AMBIENT_COMMON_0; i <= SOUND_AMBIENT_LOOP; ++i)
        {
            CKorvelSoundWave*& pSlot = Slot(GAME_SOUND(i));
            pSlot = m_App.GetSound(GAME_SOUNDS[i].name, 0, 0);
            ASSERT_NE(pSlot, nullptr);
            WaitReady(pSlot);
        }
    }
    void WaitReady(CKorvelSoundWave* pWave)
    {
        while (!m_App.IsSoundReady(pWave))
        {
            m_App.Tick();
            std::this_thread::yield();
        }
    }
    // The player of the match screen: three common, three rare sounds and the loop.
    void StartPlayer(bool bLists = true)
    {
        m_pPlayer.reset(new ::CMoxAmbientPlayer());
        if (bLists)
        {
            for (GAME_SOUND e : COMMON)
                m_pPlayer->AddCommonSound(e);
            for (GAME_SOUND e : RARE)
                m_pPlayer->AddRareSound(e);
        }
        m_pPlayer->SetAmbientLoop(SOUND_AMBIENT_LOOP);
        m_pPlayer->Startup(m_pGame.get());
    }
    bool Playing(GAME_SOUND e) { return Slot(e) && Slot(e)->IsPlaying(0); }
    template <size_t N> int PlayingOf(const GAME_SOUND (&a)[N])
    {
        int iCount = 0;
        for (GAME_SOUND e : a)
            iCount += Playing(e) ? 1 : 0;
        return iCount;
    }
    template <size_t N> void StopAllOf(const GAME_SOUND (&a)[N])
    {
        for (GAME_SOUND e : a)
            if (Slot(e))
                Slot(e)->Stop(0);
    }
    void ExpectWaitsRedrawn()
    {
        EXPECT_GE(m_pPlayer->m_fNextCommon, 7.0f);
        EXPECT_LE(m_pPlayer->m_fNextCommon, 15.0f);
        EXPECT_GE(m_pPlayer->m_fNextRare, 20.0f);
        EXPECT_LE(m_pPlayer->m_fNextRare, 30.0f);
    }

    std::unique_ptr<::CMoxAmbientPlayer> m_pPlayer;
};

TEST_F(CMoxAmbientPlayer, TheFirstSoundsComeWithinTheirWindows)
{
    for (unsigned int uSeed : {1u, 77u, 4242u})
    {
        SCOPED_TRACE(uSeed);
        m_App.RandSeed(uSeed);
        ASSERT_NO_FATAL_FAILURE(LoadSounds());
        StartPlayer();
        float fCommon = -1.0f, fRare = -1.0f;
        for (int iStep = 1; iStep <= 140 && (fCommon < 0 || fRare < 0); ++iStep)
        {
            m_pPlayer->Update(0.25f);
            ASSERT_TRUE(Playing(SOUND_AMBIENT_LOOP)) << "the loop plays from the first update";
            if (fCommon < 0 && PlayingOf(COMMON))
                fCommon = 0.25f * iStep;
            if (fRare < 0 && PlayingOf(RARE))
                fRare = 0.25f * iStep;
            EXPECT_LE(PlayingOf(COMMON), 1);
            StopAllOf(COMMON);
            StopAllOf(RARE);
        }
        EXPECT_GE(fCommon, 7.0f);
        EXPECT_LE(fCommon, 15.25f);
        EXPECT_GE(fRare, 20.0f);
        EXPECT_LE(fRare, 30.25f);
    }
}

TEST_F(CMoxAmbientPlayer, ALongPauseStartsAtMostOneOfEach)
{
    ASSERT_NO_FATAL_FAILURE(LoadSounds());
    StartPlayer();
    m_pPlayer->Update(100.0f);
    EXPECT_EQ(PlayingOf(COMMON), 1);
    EXPECT_EQ(PlayingOf(RARE), 1);
    ExpectWaitsRedrawn();
}

TEST_F(CMoxAmbientPlayer, WithEmptyListsOnlyTheLoopPlaysAndIsHeard)
{
    ASSERT_NO_FATAL_FAILURE(LoadSounds());
    // Resuming stops every voice, so the mixer runs before anything starts.
    m_App.GetSoundEngine()->Pause(0);
    StartPlayer(false);
    m_pPlayer->Update(100.0f);
    plat::PcmCaptureClear();
    EXPECT_EQ(PlayingOf(COMMON) + PlayingOf(RARE), 0);
    ExpectWaitsRedrawn();

    // The loop reaches the sink.
    bool bHeard = false;
    for (size_t u = 0; !bHeard && u < 200 && plat::PcmCaptureWaitBlocks(u + 1, 5000); ++u)
        for (uint8_t b : plat::PcmCaptureBlock(u))
            bHeard = bHeard || b != 0;
    EXPECT_TRUE(bHeard);
}

TEST_F(CMoxAmbientPlayer, MutedNothingStartsButTheWaitsRun)
{
    ASSERT_NO_FATAL_FAILURE(LoadSounds());
    m_App.MuteSound(1);
    StartPlayer();
    m_pPlayer->Update(100.0f);
    EXPECT_EQ(PlayingOf(COMMON) + PlayingOf(RARE), 0);
    EXPECT_FALSE(Playing(SOUND_AMBIENT_LOOP));
    ExpectWaitsRedrawn();
}

TEST_F(CMoxAmbientPlayer, ASoundStillLoadingIsSkippedAndPlaysLaterOnceReady)
{
    m_App.GetSoundEngine()->Pause(1);
    m_pPlayer.reset(new ::CMoxAmbientPlayer());
    m_pPlayer->AddCommonSound(COMMON[0]);
    m_pPlayer->SetAmbientLoop(SOUND_AMBIENT_LOOP);
    m_pPlayer->Startup(m_pGame.get());
    // Fetched on first use: its loader only runs from the next tick.
    m_pPlayer->Update(100.0f);
    ASSERT_NE(Slot(COMMON[0]), nullptr);
    EXPECT_FALSE(Playing(COMMON[0]));
    WaitReady(Slot(COMMON[0]));
    WaitReady(Slot(SOUND_AMBIENT_LOOP));
    m_pPlayer->Update(1.0f);
    EXPECT_FALSE(Playing(COMMON[0])) << "its next turn comes with the next wait";
    EXPECT_TRUE(Playing(SOUND_AMBIENT_LOOP));
    m_pPlayer->Update(15.0f);
    EXPECT_TRUE(Playing(COMMON[0]));
}

TEST_F(CMoxAmbientPlayer, TheMatchScreenPlaysTheAmbienceUntilItIsRemoved)
{
    ASSERT_NO_FATAL_FAILURE(LoadSounds());
    m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [] { return new CMoxPlayState(); };
    CMoxPlayState* pPlay = dynamic_cast<CMoxPlayState*>(m_pGame->AddState(STATE_PLAY));
    ASSERT_TRUE(pPlay && pPlay->m_pAmbient);
    ::CMoxAmbientPlayer& ambient = *pPlay->m_pAmbient;
    ASSERT_EQ(ambient.m_aCommonSounds.GetCount(), 3);
    ASSERT_EQ(ambient.m_aRareSounds.GetCount(), 3);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(ambient.m_aCommonSounds[i], COMMON[i]);
        EXPECT_EQ(ambient.m_aRareSounds[i], RARE[i]);
    }
    ambient.Update(100.0f);
    EXPECT_EQ(PlayingOf(COMMON) + PlayingOf(RARE), 2);
    EXPECT_TRUE(Playing(SOUND_AMBIENT_LOOP));
    m_pGame->RemoveState(STATE_PLAY);
    EXPECT_EQ(PlayingOf(COMMON) + PlayingOf(RARE), 0) << "stopped with the screen";
    EXPECT_TRUE(Playing(SOUND_AMBIENT_LOOP)) << "the loop plays out";
}

} // namespace
