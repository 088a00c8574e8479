#include "Platform/Audio/AudioRing.h"

#include <algorithm>
#include <chrono>

#include "Platform/Audio/AudioDevice.h"

namespace plat
{

void CAudioConverter::Configure(int rate, int channels, bool u8)
{
    m_iRate = rate > 0 ? rate : kAudioDeviceRate;
    m_iChannels = channels == 1 ? 1 : 2;
    m_bU8 = u8;
    m_uStep = static_cast<uint32_t>((static_cast<uint64_t>(m_iRate) << 16) / kAudioDeviceRate);
    if (m_uStep == 0)
        m_uStep = 1;
    m_uPos = 1u << 16;
    m_iPrevL = m_iPrevR = 0;
}

size_t CAudioConverter::MaxOutputFrames(size_t inBytes) const
{
    const uint64_t inFrames = inBytes / InputFrameBytes();
    if (m_iRate == kAudioDeviceRate)
        return inFrames;
    // One more for the frame carried over from the previous block.
    return static_cast<size_t>(((inFrames + 1) << 16) / m_uStep + 1);
}

void CAudioConverter::ReadFrame(const uint8_t* p, int32_t* l, int32_t* r) const
{
    if (m_bU8)
    {
        *l = (static_cast<int32_t>(p[0]) - 128) * 256;
        *r = m_iChannels == 2 ? (static_cast<int32_t>(p[1]) - 128) * 256 : *l;
    }
    else
    {
        *l = static_cast<int16_t>(p[0] | (p[1] << 8));
        *r = m_iChannels == 2 ? static_cast<int16_t>(p[2] | (p[3] << 8)) : *l;
    }
}

size_t CAudioConverter::Convert(const void* in, size_t inBytes, int16_t* out)
{
    const uint8_t* src = static_cast<const uint8_t*>(in);
    const int frameBytes = InputFrameBytes();
    const size_t n = inBytes / frameBytes;
    if (m_iRate == kAudioDeviceRate)
    {
        for (size_t i = 0; i < n; ++i)
        {
            int32_t l, r;
            ReadFrame(src + i * frameBytes, &l, &r);
            out[2 * i] = static_cast<int16_t>(l);
            out[2 * i + 1] = static_cast<int16_t>(r);
        }
        return n;
    }
    // Linear interpolation over positions where 0 is the previous block's last
    // frame and j >= 1 is frame j - 1 of this block, so blocks join seamlessly.
    auto frameAt = [&](size_t j, int32_t* l, int32_t* r)
    {
        if (j == 0)
        {
            *l = m_iPrevL;
            *r = m_iPrevR;
        }
        else
        {
            ReadFrame(src + (j - 1) * frameBytes, l, r);
        }
    };
    size_t produced = 0;
    for (;;)
    {
        const size_t i = static_cast<size_t>(m_uPos >> 16);
        const int64_t frac = static_cast<int64_t>(m_uPos & 0xFFFF);
        if (i > n || (i == n && frac != 0))
            break; // needs frames of the next block
        int32_t al, ar, bl, br;
        frameAt(i, &al, &ar);
        if (frac != 0)
        {
            frameAt(i + 1, &bl, &br);
        }
        else
        {
            bl = al;
            br = ar;
        }
        out[2 * produced] = static_cast<int16_t>(al + (((bl - al) * frac) >> 16));
        out[2 * produced + 1] = static_cast<int16_t>(ar + (((br - ar) * frac) >> 16));
        ++produced;
        m_uPos += m_uStep;
    }
    if (n > 0)
    {
        ReadFrame(src + (n - 1) * frameBytes, &m_iPrevL, &m_iPrevR);
        m_uPos -= static_cast<uint64_t>(n) << 16;
    }
    return produced;
}

void CAudioRing::Configure(size_t capacityFrames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_samples.assign(capacityFrames * 2, 0);
    m_uHead = m_uCount = 0;
    m_uUnderruns = 0;
    m_bAborted = false;
    m_bStarted = false;
}

size_t CAudioRing::Write(const int16_t* frames, size_t count, int stallMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const size_t capacity = m_samples.size() / 2;
    size_t done = 0;
    while (done < count && !m_bAborted && capacity > 0)
    {
        if (m_uCount == capacity)
        {
            const size_t before = m_uCount;
            const bool woke = m_space.wait_for(lock, std::chrono::milliseconds(stallMs),
                                               [&] { return m_bAborted || m_uCount < before; });
            if (!woke)
                break; // the device stopped pulling
            continue;
        }
        const size_t tail = (m_uHead + m_uCount) % capacity;
        const size_t run = std::min({count - done, capacity - m_uCount, capacity - tail});
        std::copy(frames + 2 * done, frames + 2 * (done + run), m_samples.begin() + 2 * tail);
        m_uCount += run;
        done += run;
        m_bStarted = true;
    }
    return done;
}

size_t CAudioRing::MixInto(int32_t* acc, size_t count)
{
    size_t taken = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const size_t capacity = m_samples.size() / 2;
        taken = std::min(count, m_uCount);
        for (size_t k = 0; k < taken; ++k)
        {
            const size_t idx = (m_uHead + k) % capacity;
            acc[2 * k] += m_samples[2 * idx];
            acc[2 * k + 1] += m_samples[2 * idx + 1];
        }
        if (capacity > 0)
            m_uHead = (m_uHead + taken) % capacity;
        m_uCount -= taken;
        if (taken < count && m_bStarted)
            ++m_uUnderruns;
    }
    if (taken > 0)
        m_space.notify_all();
    return taken;
}

size_t CAudioRing::Queued() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_uCount;
}

size_t CAudioRing::Capacity() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_samples.size() / 2;
}

uint32_t CAudioRing::Underruns() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_uUnderruns;
}

void CAudioRing::Abort()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bAborted = true;
    }
    m_space.notify_all();
}

} // namespace plat
