// PCM playback output: the calls the sound mixer makes to open, configure, feed
// and close the device. Declared in namespace plat, never as C symbols: libasound
// exports snd_pcm_close and would silently take over ours (or we theirs).
//
// A handle goes open -> plugin_info -> plugin_params -> plugin_prepare -> write...
// -> close. In block mode a write waits while the output is full, so the writer
// is paced by the device. Failures are negative errno values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

namespace plat
{

struct snd_pcm_t; // opaque

enum : int
{
    SND_PCM_OPEN_PLAYBACK = 1,

    SND_PCM_CHANNEL_PLAYBACK = 0,

    SND_PCM_MODE_BLOCK = 1,

    // Sample formats. S16_LE is the one the mixer names; U8 is what it writes for 8-bit output.
    SND_PCM_SFMT_U8 = 1,
    SND_PCM_SFMT_S16_LE = 4,

    SND_PCM_START_FULL = 1,    // start playing when the first fragment is full
    SND_PCM_STOP_ROLLOVER = 2, // keep going through an underrun

    SND_PCM_STATUS_NOTREADY = 0,
    SND_PCM_STATUS_READY = 1,    // parameters set
    SND_PCM_STATUS_PREPARED = 2, // ready for the first write
    SND_PCM_STATUS_RUNNING = 3,
    SND_PCM_STATUS_UNDERRUN = 4,
};

struct snd_pcm_channel_info_t
{
    int32_t channel;           // in: SND_PCM_CHANNEL_PLAYBACK
    int32_t max_fragment_size; // bytes
    int32_t min_fragment_size;
    int32_t min_rate, max_rate;
    int32_t min_voices, max_voices;
};

struct snd_pcm_format_t
{
    int32_t interleave; // 1 for interleaved multi-channel frames
    int32_t format;     // SND_PCM_SFMT_*
    int32_t rate;       // frames per second
    int32_t voices;     // channels
};

struct snd_pcm_channel_params_t
{
    int32_t channel; // SND_PCM_CHANNEL_PLAYBACK
    int32_t mode;    // SND_PCM_MODE_BLOCK
    snd_pcm_format_t format;
    struct
    {
        struct
        {
            int32_t frag_size; // bytes of one write
            int32_t frags_min;
            int32_t frags_max;
        } block;
    } buf;
    int32_t start_mode;
    int32_t stop_mode;
};

struct snd_pcm_channel_status_t
{
    int32_t channel;  // in
    int32_t status;   // SND_PCM_STATUS_*
    int32_t count;    // bytes written and not yet played
    int32_t underrun; // underruns since prepare
    uint64_t written; // bytes accepted since prepare
};

// Opens the preferred playback device. *card and *device are set to the numbers opened.
int snd_pcm_open_preferred(snd_pcm_t** handle, int* card, int* device, int mode);
int snd_pcm_plugin_info(snd_pcm_t* handle, snd_pcm_channel_info_t* info);
int snd_pcm_plugin_params(snd_pcm_t* handle, snd_pcm_channel_params_t* params);
int snd_pcm_plugin_prepare(snd_pcm_t* handle, int channel);
// Returns the bytes accepted (a whole number of frames) or a negative error.
ssize_t snd_pcm_plugin_write(snd_pcm_t* handle, const void* data, size_t bytes);
int snd_pcm_channel_status(snd_pcm_t* handle, snd_pcm_channel_status_t* status);
int snd_pcm_close(snd_pcm_t* handle);

} // namespace plat
