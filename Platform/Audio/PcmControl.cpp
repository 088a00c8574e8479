// Control state of the PCM output: capture sink, failure injection, call log.
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "Platform/Audio/PcmSink.h"

namespace plat
{
namespace
{

constexpr int32_t kDefaultMaxFragment = 65536;
// Enough for several seconds of the mixer's blocks; later blocks are counted, not kept.
constexpr size_t kMaxKeptBlocks = 4096;
constexpr size_t kMaxLogEntries = 10000;

struct sCONTROL
{
    std::mutex mutex;
    std::condition_variable blocksChanged;
    bool capture = false;
    bool paced = false;
    int failNext[PCM_CALL_COUNT] = {};
    int32_t maxFragment = kDefaultMaxFragment;
    std::vector<std::string> log;
    bool hasParams = false;
    snd_pcm_channel_params_t lastParams{};
    std::vector<std::vector<uint8_t>> blocks;
    size_t blockCount = 0;
};

sCONTROL& Control()
{
    static sCONTROL* control = new sCONTROL; // used by mixer threads until process exit
    return *control;
}

void LogLocked(sCONTROL& c, const char* name)
{
    if (c.log.size() < kMaxLogEntries)
        c.log.emplace_back(name);
}

} // namespace

int PcmEnterCall(ePCM_CALL call, const char* name)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    LogLocked(c, name);
    const int error = c.failNext[call];
    c.failNext[call] = 0;
    return error;
}

void PcmLogCall(const char* name)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    LogLocked(c, name);
}

int32_t PcmMaxFragmentSize()
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.maxFragment;
}

bool PcmCaptureEnabled(bool* paced)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    *paced = c.paced;
    return c.capture;
}

void PcmCaptureStoreParams(const snd_pcm_channel_params_t& params)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.lastParams = params;
    c.hasParams = true;
}

void PcmCaptureStoreBlock(const void* data, size_t bytes)
{
    sCONTROL& c = Control();
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        if (c.blocks.size() < kMaxKeptBlocks)
        {
            const uint8_t* p = static_cast<const uint8_t*>(data);
            c.blocks.emplace_back(p, p + bytes);
        }
        ++c.blockCount;
    }
    c.blocksChanged.notify_all();
}

void PcmControlReset()
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.capture = false;
    c.paced = false;
    std::memset(c.failNext, 0, sizeof(c.failNext));
    c.maxFragment = kDefaultMaxFragment;
    c.log.clear();
    c.hasParams = false;
    c.lastParams = snd_pcm_channel_params_t{};
    c.blocks.clear();
    c.blockCount = 0;
}

void PcmControlUseCaptureSink(bool capture, bool paced)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.capture = capture;
    c.paced = paced;
}

void PcmControlFailNext(ePCM_CALL call, int error)
{
    if (call < 0 || call >= PCM_CALL_COUNT)
        return;
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.failNext[call] = error;
}

void PcmControlSetMaxFragmentSize(int32_t bytes)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.maxFragment = bytes;
}

std::vector<std::string> PcmControlCallLog()
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.log;
}

bool PcmCaptureLastParams(snd_pcm_channel_params_t* params)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (c.hasParams && params)
        *params = c.lastParams;
    return c.hasParams;
}

size_t PcmCaptureBlockCount()
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.blockCount;
}

std::vector<uint8_t> PcmCaptureBlock(size_t index)
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    return index < c.blocks.size() ? c.blocks[index] : std::vector<uint8_t>();
}

bool PcmCaptureWaitBlocks(size_t count, int timeoutMs)
{
    sCONTROL& c = Control();
    std::unique_lock<std::mutex> lock(c.mutex);
    return c.blocksChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return c.blockCount >= count; });
}

void PcmCaptureClear()
{
    sCONTROL& c = Control();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.blocks.clear();
    c.blockCount = 0;
}

} // namespace plat
