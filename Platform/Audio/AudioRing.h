// Blocks of PCM in the writer's format converted to the device format and
// queued for the device callback.
//
//   CAudioConverter - rate, channel count and 8-bit conversion to 44.1 kHz stereo s16
//   CAudioRing      - bounded queue of device frames; writers wait while it is full
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace plat
{

class CAudioConverter
{
public:
    // rate in Hz, channels 1 or 2, u8 for unsigned 8-bit samples (else signed 16-bit).
    void Configure(int rate, int channels, bool u8);
    int InputFrameBytes() const { return m_iChannels * (m_bU8 ? 1 : 2); }
    // Most device frames `inBytes` of input can produce.
    size_t MaxOutputFrames(size_t inBytes) const;
    // Converts whole input frames; returns the device frames written to out
    // (which holds at least MaxOutputFrames(inBytes) frames).
    size_t Convert(const void* in, size_t inBytes, int16_t* out);

private:
    void ReadFrame(const uint8_t* p, int32_t* l, int32_t* r) const;

    int m_iRate = 44100;
    int m_iChannels = 2;
    bool m_bU8 = false;
    uint32_t m_uStep = 1u << 16; // input frames per output frame, 16.16
    uint64_t m_uPos = 1u << 16;  // next output position, 16.16, from the previous block's last frame
    int32_t m_iPrevL = 0, m_iPrevR = 0;
};

class CAudioRing
{
public:
    // Empties the ring and sets its size in stereo frames.
    void Configure(size_t capacityFrames);
    // Queues the frames, waiting while the ring is full. Gives up when the reader
    // takes nothing for stallMs, or when Abort was called. Returns the frames queued.
    size_t Write(const int16_t* frames, size_t count, int stallMs);
    // Adds up to `count` queued frames into acc and removes them; returns how many.
    size_t MixInto(int32_t* acc, size_t count);
    size_t Queued() const;
    size_t Capacity() const;
    // Counts the reads that found fewer frames than asked for.
    uint32_t Underruns() const;
    // Wakes and releases every waiting writer; later writes return 0 at once.
    void Abort();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_space;
    std::vector<int16_t> m_samples;
    size_t m_uHead = 0;  // next frame to read
    size_t m_uCount = 0; // frames queued
    uint32_t m_uUnderruns = 0;
    bool m_bAborted = false;
    bool m_bStarted = false; // underruns count only after the first frames arrived
};

} // namespace plat
