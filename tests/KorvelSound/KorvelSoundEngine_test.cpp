#include "KorvelSound/KorvelSoundEngine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <tuple>

#include "KorvelSound/SoundTestSupport.h"
#include "PlatformPcm.h"
#include "PlatformPcmControl.h"
#include "support/DiskAudio.h"

namespace
{
struct sFORMAT_CASE
{
    unsigned int uRate, uBits, uChannels;
    unsigned int uWantRate, uWantBits, uWantChannels;
};

class CCountingNotify : public IKorvelNotify
{
public:
    void OnNotify(void*, unsigned int uKind, unsigned int, unsigned int, unsigned int) override
    {
        if (uKind < 3)
            ++m_aCount[uKind];
    }
    std::atomic<int> m_aCount[3] = {{0}, {0}, {0}};
};
} // namespace

TEST(CKorvelSoundEngine, ChoosesTheListedFormatWithTheSmallestRatioScore)
{
    const sFORMAT_CASE cases[] = {
        {48000, 16, 2, 44100, 16, 2}, {22050, 8, 1, 22050, 8, 1},   {44100, 24, 2, 44100, 16, 2},
        {11025, 16, 1, 11025, 16, 1}, {96000, 8, 6, 44100, 8, 2},   {16000, 16, 2, 22050, 16, 2},
        {8000, 12, 1, 11025, 16, 1},  {44100, 16, 0, 44100, 16, 2}, // nothing scores: the first entry
    };
    for (const sFORMAT_CASE& c : cases)
    {
        CSoundTestEngine engine(c.uRate, c.uBits, c.uChannels);
        ASSERT_EQ(engine.StartupResult(), KE_OK);
        const SKE_WAVEFORMAT& f = engine->GetFormat();
        EXPECT_EQ(f.uSamplesPerSec, c.uWantRate) << c.uRate << "/" << c.uBits << "/" << c.uChannels;
        EXPECT_EQ(f.uBitsPerSample, c.uWantBits) << c.uRate << "/" << c.uBits << "/" << c.uChannels;
        EXPECT_EQ(f.uChannels, c.uWantChannels) << c.uRate << "/" << c.uBits << "/" << c.uChannels;
        EXPECT_EQ(f.uBlockAlign, c.uWantBits * c.uWantChannels / 8);
    }
}

TEST(CKorvelSoundEngine, OpensTheDeviceWithTheChosenFormatAndOneFragment)
{
    CSoundTestEngine engine(22050, 8, 1, 3000);
    ASSERT_EQ(engine.StartupResult(), KE_OK);
    EXPECT_EQ(plat::PcmControlCallLog(), (std::vector<std::string>{"open", "info", "params", "prepare"}));
    plat::snd_pcm_channel_params_t p{};
    ASSERT_TRUE(plat::PcmCaptureLastParams(&p));
    // Playback in blocks, non-interleaved mono U8, one 3008-byte fragment, start when full.
    EXPECT_EQ(std::make_tuple(p.channel, p.mode, p.format.interleave, p.format.format, p.format.rate,
                              p.format.voices, p.start_mode, p.stop_mode),
              std::make_tuple(plat::SND_PCM_CHANNEL_PLAYBACK, plat::SND_PCM_MODE_BLOCK, 0,
                              plat::SND_PCM_SFMT_U8, 22050, 1, plat::SND_PCM_START_FULL,
                              plat::SND_PCM_STOP_ROLLOVER));
    EXPECT_EQ(std::make_tuple(p.buf.block.frag_size, p.buf.block.frags_min, p.buf.block.frags_max),
              std::make_tuple(3008, 1, 1));

    CSoundTestEngine stereo(44100, 16, 2, 0);
    ASSERT_TRUE(plat::PcmCaptureLastParams(&p));
    EXPECT_EQ(p.format.interleave, 1);
    EXPECT_EQ(p.format.format, plat::SND_PCM_SFMT_S16_LE);
    EXPECT_EQ(p.buf.block.frag_size, 3072);
}

TEST(CKorvelSoundEngine, RoundsTheBlockUpTo16BytesAndSizesTheAccumulator)
{
    CSoundTestEngine engine(44100, 16, 2, 3000);
    ASSERT_EQ(engine.StartupResult(), KE_OK);
    EXPECT_EQ(engine->GetPrimaryBuffer().GetSize(), 3008u);
    EXPECT_EQ(engine.PassBytes().size(), 3008u);
    EXPECT_EQ(engine->GetMinBufferSize(), 50000u);

    CSoundTestEngine large(44100, 16, 2, 16000);
    EXPECT_EQ(large->GetMinBufferSize(), 64000u);

    CSoundTestEngine mono8(11025, 8, 1, 0);
    EXPECT_EQ(mono8.PassBytes().size(), 3072u);
}

TEST(CKorvelSoundEngine, StartupFailuresLeaveTheEngineShutDown)
{
    const plat::ePCM_CALL calls[] = {plat::PCM_CALL_OPEN, plat::PCM_CALL_INFO, plat::PCM_CALL_PARAMS,
                                     plat::PCM_CALL_PREPARE};
    for (plat::ePCM_CALL call : calls)
    {
        plat::PcmControlReset();
        plat::PcmControlUseCaptureSink(true);
        plat::PcmControlFailNext(call, -EIO);
        CKorvelSoundEngine engine;
        EXPECT_EQ(engine.Startup(nullptr, 44100, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0),
                  KE_ERR_DEVICE)
            << call;
        engine.Update(0.0f);
        EXPECT_EQ(plat::PcmCaptureBlockCount(), 0u) << "no accumulator, no pass";
        const std::vector<std::string> log = plat::PcmControlCallLog();
        if (call != plat::PCM_CALL_OPEN)
        {
            EXPECT_EQ(log.back(), "close") << call;
        }
        engine.Shutdown();
    }

    plat::PcmControlReset();
    plat::PcmControlUseCaptureSink(true);
    plat::PcmControlSetMaxFragmentSize(2048);
    CKorvelSoundEngine engine;
    EXPECT_EQ(engine.Startup(nullptr, 44100, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0),
              KE_ERR_DEVICE);
    EXPECT_EQ(engine.Startup(nullptr, 44100, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 2048),
              KE_OK);
    engine.Shutdown();
    plat::PcmControlReset();
}

TEST(CKorvelSoundEngine, IdleOrMutedPassesWriteSilence)
{
    CSoundTestEngine engine;
    EXPECT_EQ(engine->GetSoundCount(), 0u) << "the primary buffer is not a sound";
    EXPECT_EQ(engine.Pass(), std::vector<int16_t>(1536, 0));

    CKorvelSoundBuffer* pBuffer = engine.Buffer(44100, 1, std::vector<int16_t>(4000, 9000));
    pBuffer->Play(1);
    engine->Mute(1);
    EXPECT_EQ(engine.Pass(), std::vector<int16_t>(1536, 0));
    EXPECT_EQ(pBuffer->GetPosition(), 2u * 768) << "a muted engine still plays its sounds";

    CSoundTestEngine eight(44100, 8, 2);
    EXPECT_EQ(eight.PassBytes(), std::vector<uint8_t>(3072, 128));
}

TEST(CKorvelSoundEngine, MuteKeepsTheVolumeAsideAndRestoresTheLatest)
{
    CSoundTestEngine engine;
    EXPECT_EQ(engine->GetMasterVolume(), 100) << "the primary buffer starts at full volume";
    EXPECT_EQ(engine->SetMasterVolume(150), KE_OK);
    EXPECT_EQ(engine->GetMasterVolume(), 100);
    engine->SetMasterVolume(-5);
    EXPECT_EQ(engine->GetMasterVolume(), 0);

    engine->SetMasterVolume(60);
    engine->Mute(1);
    EXPECT_EQ(engine->GetMasterVolume(), 60);
    engine->SetMasterVolume(30);
    EXPECT_EQ(engine->GetMasterVolume(), 30);
    engine->Mute(1);
    EXPECT_EQ(engine->GetMasterVolume(), 30) << "muting twice keeps the value aside";
    engine->Mute(0);
    EXPECT_EQ(engine->GetMasterVolume(), 30);

    // The restored volume is the one the mix uses: 30 -> Q15 9830 -> gain 9829.
    CKorvelSoundBuffer* pBuffer = engine.Buffer(44100, 2, std::vector<int16_t>(4000, 20000));
    pBuffer->Play(0);
    const std::vector<int16_t> out = engine.Pass();
    EXPECT_EQ(out[0], MasterOut16(Q15Mul(32766, 20000), 9829));
}

TEST(CKorvelSoundEngine, PauseStopsEverySoundOnPauseAndResume)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer* a = engine.Buffer(44100, 1, std::vector<int16_t>(8000, 100));
    CKorvelSoundBuffer* b = engine.Buffer(44100, 1, std::vector<int16_t>(8000, 100));
    a->Play(1);
    engine->Pause(1);
    EXPECT_FALSE(a->IsPlaying());
    EXPECT_TRUE(engine.PassBytes().empty()) << "a paused engine writes nothing";
    b->Play(1);
    engine->Pause(1);
    EXPECT_TRUE(b->IsPlaying()) << "pausing twice does the work once";
    engine->Pause(0);
    EXPECT_FALSE(b->IsPlaying()) << "resuming stops the sounds too";
    EXPECT_EQ(engine.Pass().size(), 1536u);
}

TEST(CKorvelSoundEngine, KeepsOneListEntryAndStartsAgainAfterShutdown)
{
    CSoundTestEngine engine;
    CKorvelSoundBuffer plain;
    EXPECT_EQ(engine->AddSound(nullptr), KE_ERR_INVALIDARG);
    EXPECT_EQ(engine->AddSound(&plain), KE_OK);
    EXPECT_EQ(engine->AddSound(&plain), 0);
    EXPECT_EQ(engine->GetSoundCount(), 1u);
    engine->RemoveSound(nullptr);
    engine->RemoveSound(&plain);
    EXPECT_EQ(engine->GetSoundCount(), 0u);
    CKorvelSoundBuffer* pBuffer = MakeSoundBuffer(engine.Get(), 44100, 1, std::vector<int16_t>(100, 1));
    engine->Shutdown();
    EXPECT_EQ(engine->GetSoundCount(), 0u) << "shutdown empties the list";
    EXPECT_TRUE(engine.PassBytes().empty());
    FreeSoundBuffer(pBuffer); // registered buffers are their owners' to shut down
    EXPECT_EQ(engine->Startup(nullptr, 44100, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0),
              KE_OK);
    EXPECT_EQ(engine.Pass().size(), 1536u);
}

// The real mixer thread on SDL's dummy driver: sounds start, play, stop and
// come and go while it runs, and shutting down does not hang.
TEST(CKorvelSoundEngine, MixerThreadPlaysSoundsOnTheDummyDevice)
{
    plat::PcmControlReset();
    CKorvelSoundEngine engine;
    ASSERT_EQ(engine.Startup(nullptr, 44100, 16, 2, nullptr, 0, 0), KE_OK);
    EXPECT_EQ(engine.IsThreadRunning(), 1u);
    engine.Update(0.0f); // nothing with a thread

    CCountingNotify notify;
    CKorvelSoundBuffer* pShort =
        MakeSoundBuffer(&engine, 22050, 1, std::vector<int16_t>(2205, 3000), CKorvelSoundBuffer::FLAG_NOTIFY);
    ASSERT_NE(pShort, nullptr);
    // Notifications are added while the mixer does not walk this buffer's list.
    engine.RemoveNotifyHandler(pShort);
    pShort->AddNotify(&engine, &notify, eKET_SOUNDNOTIFY_STARTED, 0, 0);
    pShort->AddNotify(&engine, &notify, eKET_SOUNDNOTIFY_STOPPED, 0, 0);
    engine.AddNotifyHandler(pShort);
    CKorvelSoundBuffer* pLoop = MakeSoundBuffer(&engine, 44100, 2, std::vector<int16_t>(882, -2000), 0);
    pLoop->Play(1);

    // A second of it, and two rounds however slowly the machine runs them.
    const int minRounds = 2;
    const auto start = std::chrono::steady_clock::now();
    int rounds = 0;
    while (rounds < minRounds || std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1000))
    {
        pShort->SetPosition(0);
        pShort->Play(0); // 0.1 s long
        CKorvelSoundBuffer* pExtra = MakeSoundBuffer(&engine, 11025, 1, std::vector<int16_t>(500, 700));
        pExtra->SetVolume(50);
        pExtra->Play(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        FreeSoundBuffer(pExtra);
        engine.SetMasterVolume(rounds % 2 ? 80 : 100);
        ++rounds;
    }
    // The last start of the short sound ends by itself.
    for (int i = 0; i < 300 && pShort->IsPlaying(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(pShort->IsPlaying());
    EXPECT_TRUE(pLoop->IsPlaying());
    engine.Pause(1);
    engine.Pause(0);
    EXPECT_FALSE(pLoop->IsPlaying());
    engine.Shutdown();
    EXPECT_GE(notify.m_aCount[eKET_SOUNDNOTIFY_STARTED].load(), 1);
    EXPECT_GE(notify.m_aCount[eKET_SOUNDNOTIFY_STOPPED].load(), 1);
    FreeSoundBuffer(pShort);
    FreeSoundBuffer(pLoop);
}

// End to end: the mixed samples of a known sound reach SDL's disk driver.
TEST(CKorvelSoundEngine, MixedSoundReachesTheDiskDriver)
{
    CDiskAudioOutput disk;
    plat::PcmControlReset();
    CKorvelSoundEngine engine;
    ASSERT_EQ(engine.Startup(nullptr, 44100, 16, 2, nullptr, 0, 0), KE_OK);
    std::vector<int16_t> samples(size_t{2} * 3000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i % 2 ? -500 - static_cast<int>(i % 900) : 400 + i % 1000);
    CKorvelSoundBuffer* pSound = MakeSoundBuffer(&engine, 44100, 2, samples);
    pSound->Play(0);
    const std::vector<int16_t> played = WaitForDiskAudio(disk.File(), samples.size());
    engine.Shutdown();
    FreeSoundBuffer(pSound);

    std::vector<int16_t> want(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        want[i] = MasterOut16(Q15Mul(32766, samples[i]), 32766);
    EXPECT_EQ(played, want);
}

TEST(CKorvelSoundEngine, DeletingARunningEngineStopsItsThread)
{
    plat::PcmControlReset();
    CKorvelSoundEngine* pEngine = CKorvelSoundEngine::New();
    ASSERT_EQ(pEngine->Startup(nullptr, 22050, 16, 1, nullptr, 0, 0), KE_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    delete pEngine;
    EXPECT_EQ(plat::PcmControlCallLog().back(), "close");
}
