// PCM output handles: either an input of the shared audio device (a ring the
// device callback drains, so block-mode writes are paced by the device) or the
// capture sink of the control interface.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "Platform/Audio/AudioDevice.h"
#include "Platform/Audio/AudioRing.h"
#include "Platform/Audio/PcmSink.h"
#include "PlatformPcm.h"

namespace plat
{

namespace
{
constexpr int kRingFragments = 3;
constexpr size_t kMinRingFrames = 2048; // two device callbacks
constexpr int kStallMs = 1000;          // a device that takes nothing this long is gone
} // namespace

struct snd_pcm_t : IAudioInput
{
    bool capture = false;
    bool paced = false;
    bool attached = false;
    int state = SND_PCM_STATUS_NOTREADY;
    bool hasParams = false;
    snd_pcm_channel_params_t params{};
    CAudioConverter converter;
    CAudioRing ring;
    std::vector<int16_t> scratch;
    uint64_t written = 0;

    void MixInto(int32_t* acc, int frames) override { ring.MixInto(acc, static_cast<size_t>(frames)); }

    int FrameBytes() const
    {
        return params.format.voices * (params.format.format == SND_PCM_SFMT_U8 ? 1 : 2);
    }
};

int snd_pcm_open_preferred(snd_pcm_t** handle, int* card, int* device, int mode)
{
    if (const int error = PcmEnterCall(PCM_CALL_OPEN, "open"))
        return error;
    if (!handle || mode != SND_PCM_OPEN_PLAYBACK)
        return -EINVAL;
    *handle = nullptr;
    snd_pcm_t* pcm = new snd_pcm_t;
    pcm->capture = PcmCaptureEnabled(&pcm->paced);
    if (!pcm->capture)
    {
        if (!CAudioDevice::Attach(pcm))
        {
            delete pcm;
            return -ENODEV;
        }
        pcm->attached = true;
    }
    if (card)
        *card = 0;
    if (device)
        *device = 0;
    *handle = pcm;
    return 0;
}

int snd_pcm_plugin_info(snd_pcm_t* handle, snd_pcm_channel_info_t* info)
{
    if (const int error = PcmEnterCall(PCM_CALL_INFO, "info"))
        return error;
    if (!handle || !info || info->channel != SND_PCM_CHANNEL_PLAYBACK)
        return -EINVAL;
    const int32_t channel = info->channel;
    *info = snd_pcm_channel_info_t{};
    info->channel = channel;
    info->max_fragment_size = PcmMaxFragmentSize();
    info->min_fragment_size = 16;
    info->min_rate = 1000;
    info->max_rate = 192000;
    info->min_voices = 1;
    info->max_voices = 2;
    return 0;
}

int snd_pcm_plugin_params(snd_pcm_t* handle, snd_pcm_channel_params_t* params)
{
    if (const int error = PcmEnterCall(PCM_CALL_PARAMS, "params"))
        return error;
    if (!handle || !params)
        return -EINVAL;
    const snd_pcm_format_t& f = params->format;
    const int32_t frag = params->buf.block.frag_size;
    if (params->channel != SND_PCM_CHANNEL_PLAYBACK || params->mode != SND_PCM_MODE_BLOCK ||
        (f.format != SND_PCM_SFMT_S16_LE && f.format != SND_PCM_SFMT_U8) || f.rate < 1000 ||
        f.rate > 192000 || f.voices < 1 || f.voices > 2 || frag <= 0 || frag > PcmMaxFragmentSize())
    {
        return -EINVAL;
    }
    handle->params = *params;
    handle->hasParams = true;
    handle->state = SND_PCM_STATUS_READY;
    handle->converter.Configure(f.rate, f.voices, f.format == SND_PCM_SFMT_U8);
    if (!handle->capture)
    {
        const size_t fragFrames = handle->converter.MaxOutputFrames(static_cast<size_t>(frag));
        handle->scratch.assign(2 * fragFrames, 0);
        size_t ringFrames = kRingFragments * fragFrames;
        if (ringFrames < kMinRingFrames)
            ringFrames = kMinRingFrames;
        handle->ring.Configure(ringFrames);
    }
    PcmCaptureStoreParams(*params);
    return 0;
}

int snd_pcm_plugin_prepare(snd_pcm_t* handle, int channel)
{
    if (const int error = PcmEnterCall(PCM_CALL_PREPARE, "prepare"))
        return error;
    if (!handle || channel != SND_PCM_CHANNEL_PLAYBACK)
        return -EINVAL;
    if (!handle->hasParams)
        return -EBADFD;
    handle->state = SND_PCM_STATUS_PREPARED;
    handle->written = 0;
    return 0;
}

ssize_t snd_pcm_plugin_write(snd_pcm_t* handle, const void* data, size_t bytes)
{
    if (const int error = PcmEnterCall(PCM_CALL_WRITE, "write"))
        return error;
    if (!handle || (!data && bytes > 0))
        return -EINVAL;
    if (handle->state != SND_PCM_STATUS_PREPARED && handle->state != SND_PCM_STATUS_RUNNING)
    {
        return -EBADFD;
    }
    const size_t frameBytes = static_cast<size_t>(handle->FrameBytes());
    bytes -= bytes % frameBytes;
    handle->state = SND_PCM_STATUS_RUNNING;
    if (handle->capture)
    {
        PcmCaptureStoreBlock(data, bytes);
        handle->written += bytes;
        if (handle->paced)
        {
            const auto frames = bytes / frameBytes; // whole frames only
            const double seconds = static_cast<double>(frames) / handle->params.format.rate;
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        }
        return static_cast<ssize_t>(bytes);
    }
    // Convert at most a fragment at a time, so the scratch sized at params suffices.
    const size_t fragBytes =
        static_cast<size_t>(handle->params.buf.block.frag_size) / frameBytes * frameBytes;
    const uint8_t* src = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < bytes)
    {
        const size_t chunk = std::min(bytes - done, fragBytes);
        const size_t frames = handle->converter.Convert(src + done, chunk, handle->scratch.data());
        const size_t queued = handle->ring.Write(handle->scratch.data(), frames, kStallMs);
        if (queued < frames)
        {
            // The device stopped: report the share of the chunk that got through.
            done += frames ? chunk * queued / frames / frameBytes * frameBytes : 0;
            break;
        }
        done += chunk;
    }
    handle->written += done;
    return static_cast<ssize_t>(done);
}

int snd_pcm_channel_status(snd_pcm_t* handle, snd_pcm_channel_status_t* status)
{
    PcmLogCall("status");
    if (!handle || !status)
        return -EINVAL;
    const int32_t channel = status->channel;
    *status = snd_pcm_channel_status_t{};
    status->channel = channel;
    status->status = handle->state;
    status->written = handle->written;
    if (!handle->capture && handle->hasParams)
    {
        const uint64_t queued = handle->ring.Queued();
        status->count = static_cast<int32_t>(queued * handle->params.format.rate / kAudioDeviceRate *
                                             static_cast<uint64_t>(handle->FrameBytes()));
        status->underrun = static_cast<int32_t>(handle->ring.Underruns());
    }
    return 0;
}

int snd_pcm_close(snd_pcm_t* handle)
{
    PcmLogCall("close");
    if (!handle)
        return -EINVAL;
    handle->ring.Abort();
    if (handle->attached)
        CAudioDevice::Detach(handle);
    delete handle;
    return 0;
}

} // namespace plat
