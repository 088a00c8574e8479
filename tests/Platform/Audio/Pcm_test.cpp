#include "PlatformPcm.h"
#include "PlatformPcmControl.h"

#include "Platform/Audio/AudioDevice.h"
#include "support/DiskAudio.h"
#include "support/ScopedEnv.h"
#include "support/TestMedia.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace plat;

namespace
{
snd_pcm_channel_params_t Params(int rate, int voices, int format, int frag)
{
    snd_pcm_channel_params_t p{};
    p.channel = SND_PCM_CHANNEL_PLAYBACK;
    p.mode = SND_PCM_MODE_BLOCK;
    p.format.interleave = voices > 1;
    p.format.format = format;
    p.format.rate = rate;
    p.format.voices = voices;
    p.start_mode = SND_PCM_START_FULL;
    p.stop_mode = SND_PCM_STOP_ROLLOVER;
    p.buf.block.frag_size = frag;
    p.buf.block.frags_min = p.buf.block.frags_max = 1;
    return p;
}

// Opens and prepares a handle the way the mixer does; null on any failure.
snd_pcm_t* OpenPrepared(snd_pcm_channel_params_t params)
{
    snd_pcm_t* pcm = nullptr;
    int card = -1, device = 0;
    if (snd_pcm_open_preferred(&pcm, &card, &device, SND_PCM_OPEN_PLAYBACK) != 0)
        return nullptr;
    snd_pcm_channel_info_t info{};
    info.channel = SND_PCM_CHANNEL_PLAYBACK;
    if (snd_pcm_plugin_info(pcm, &info) != 0 || snd_pcm_plugin_params(pcm, &params) != 0 ||
        snd_pcm_plugin_prepare(pcm, SND_PCM_CHANNEL_PLAYBACK) != 0)
    {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return pcm;
}

class CPlatformPcm : public testing::Test
{
protected:
    void SetUp() override { PcmControlReset(); }
    void TearDown() override { PcmControlReset(); }
};
} // namespace

TEST_F(CPlatformPcm, CaptureSinkKeepsEveryBlockAsWritten)
{
    PcmControlUseCaptureSink(true);
    snd_pcm_t* pcm = OpenPrepared(Params(22050, 1, SND_PCM_SFMT_U8, 16));
    ASSERT_NE(pcm, nullptr);
    const uint8_t a[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const uint8_t b[4] = {200, 201, 202, 203};
    EXPECT_EQ(snd_pcm_plugin_write(pcm, a, sizeof a), 16);
    EXPECT_EQ(snd_pcm_plugin_write(pcm, b, sizeof b), 4);
    snd_pcm_channel_status_t status{};
    EXPECT_EQ(snd_pcm_channel_status(pcm, &status), 0);
    EXPECT_EQ(status.status, SND_PCM_STATUS_RUNNING);
    EXPECT_EQ(status.written, 20u);
    EXPECT_EQ(snd_pcm_close(pcm), 0);

    ASSERT_EQ(PcmCaptureBlockCount(), 2u);
    EXPECT_EQ(PcmCaptureBlock(0), std::vector<uint8_t>(a, a + 16));
    EXPECT_EQ(PcmCaptureBlock(1), std::vector<uint8_t>(b, b + 4));
    EXPECT_TRUE(PcmCaptureBlock(2).empty());
    snd_pcm_channel_params_t last{};
    ASSERT_TRUE(PcmCaptureLastParams(&last));
    EXPECT_EQ(last.format.rate, 22050);
    EXPECT_EQ(last.format.format, SND_PCM_SFMT_U8);
    EXPECT_EQ(PcmControlCallLog(), (std::vector<std::string>{"open", "info", "params", "prepare", "write",
                                                             "write", "status", "close"}));
    PcmCaptureClear();
    EXPECT_EQ(PcmCaptureBlockCount(), 0u);
}

TEST_F(CPlatformPcm, InjectedFailuresHitOnlyTheNextCall)
{
    PcmControlUseCaptureSink(true);
    const ePCM_CALL calls[] = {PCM_CALL_OPEN, PCM_CALL_INFO, PCM_CALL_PARAMS, PCM_CALL_PREPARE};
    for (ePCM_CALL call : calls)
    {
        PcmControlFailNext(call, -EIO);
        EXPECT_EQ(OpenPrepared(Params(44100, 2, SND_PCM_SFMT_S16_LE, 3072)), nullptr) << call;
        snd_pcm_t* pcm = OpenPrepared(Params(44100, 2, SND_PCM_SFMT_S16_LE, 3072));
        EXPECT_NE(pcm, nullptr) << call;
        snd_pcm_close(pcm);
    }
    snd_pcm_t* pcm = OpenPrepared(Params(44100, 2, SND_PCM_SFMT_S16_LE, 3072));
    ASSERT_NE(pcm, nullptr);
    PcmControlFailNext(PCM_CALL_WRITE, -EIO);
    const int16_t frame[2] = {1, 2};
    EXPECT_EQ(snd_pcm_plugin_write(pcm, frame, 4), -EIO);
    EXPECT_EQ(snd_pcm_plugin_write(pcm, frame, 4), 4);
    snd_pcm_close(pcm);
}

TEST_F(CPlatformPcm, RejectsBadParametersAndOutOfOrderCalls)
{
    PcmControlUseCaptureSink(true);
    PcmControlSetMaxFragmentSize(4096);
    snd_pcm_t* pcm = nullptr;
    EXPECT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, 0), -EINVAL);
    ASSERT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), 0);

    snd_pcm_channel_info_t info{};
    info.channel = SND_PCM_CHANNEL_PLAYBACK;
    ASSERT_EQ(snd_pcm_plugin_info(pcm, &info), 0);
    EXPECT_EQ(info.max_fragment_size, 4096);

    const int16_t frame[2] = {1, 2};
    EXPECT_EQ(snd_pcm_plugin_write(pcm, frame, 4), -EBADFD) << "not prepared";
    EXPECT_EQ(snd_pcm_plugin_prepare(pcm, SND_PCM_CHANNEL_PLAYBACK), -EBADFD) << "no parameters";

    snd_pcm_channel_params_t bad[] = {Params(44100, 2, SND_PCM_SFMT_S16_LE, 4097),
                                      Params(44100, 3, SND_PCM_SFMT_S16_LE, 1024),
                                      Params(44100, 0, SND_PCM_SFMT_S16_LE, 1024),
                                      Params(500, 2, SND_PCM_SFMT_S16_LE, 1024),
                                      Params(44100, 2, 99, 1024),
                                      Params(44100, 2, SND_PCM_SFMT_S16_LE, 0)};
    for (snd_pcm_channel_params_t& p : bad)
        EXPECT_EQ(snd_pcm_plugin_params(pcm, &p), -EINVAL);
    snd_pcm_channel_params_t p = Params(44100, 2, SND_PCM_SFMT_S16_LE, 4096);
    p.mode = 0;
    EXPECT_EQ(snd_pcm_plugin_params(pcm, &p), -EINVAL);
    EXPECT_EQ(snd_pcm_plugin_prepare(pcm, 1), -EINVAL);
    EXPECT_EQ(snd_pcm_close(pcm), 0);
    EXPECT_EQ(snd_pcm_close(nullptr), -EINVAL);
}

TEST_F(CPlatformPcm, UnknownDriverFallsBackToDummyWhichPacesBlockingWrites)
{
    CScopedEnv envDriver("SDL_AUDIODRIVER", "no-such-driver");
    snd_pcm_t* pcm = OpenPrepared(Params(44100, 2, SND_PCM_SFMT_S16_LE, 4096));
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(CAudioDevice::DriverName(), "dummy");
    // 0.5 s of audio through a ring of a few fragments: the writes wait for the device.
    std::vector<int16_t> block(2048, 300);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 22; ++i)
        ASSERT_EQ(snd_pcm_plugin_write(pcm, block.data(), 4096), 4096);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 0.25);
    snd_pcm_channel_status_t status{};
    ASSERT_EQ(snd_pcm_channel_status(pcm, &status), 0);
    EXPECT_GT(status.count, 0);
    EXPECT_LE(status.count, 3 * 4096);
    EXPECT_EQ(snd_pcm_close(pcm), 0);
    EXPECT_EQ(CAudioDevice::DriverName(), "") << "closed with its last input";
}

TEST_F(CPlatformPcm, DiskDriverReceivesTheWrittenSamples)
{
    CDiskAudioOutput disk;
    snd_pcm_t* pcm = OpenPrepared(Params(44100, 2, SND_PCM_SFMT_S16_LE, 4096));
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(CAudioDevice::DriverName(), "disk");
    std::vector<int16_t> samples(size_t{2} * 4410);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i % 2 ? -1 - static_cast<int>(i % 5000) : 1 + i % 7000);
    for (size_t off = 0; off < samples.size(); off += 2048)
    {
        const size_t n = std::min<size_t>(2048, samples.size() - off);
        ASSERT_EQ(snd_pcm_plugin_write(pcm, samples.data() + off, 2 * n), static_cast<ssize_t>(2 * n));
    }
    const std::vector<int16_t> played = WaitForDiskAudio(disk.File(), samples.size());
    snd_pcm_close(pcm);

    // Every sample arrives unchanged and in order (the device adds silence around them).
    EXPECT_EQ(played, samples);
}
