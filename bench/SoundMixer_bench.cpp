// Our mixer against SDL2_mixer, both mixing the same 32 chunks into the same length of output.
// Mixing 32 looping voices of 44.1 kHz 16-bit stereo into 10 s of output: our
// mixer (one pass per block, no thread, blocks going to the capture sink)
// against SDL2_mixer mixing the same 32 chunks on SDL's disk driver running
// flat out into /dev/null (its time includes SDL's small per-block overhead of
// the device thread). Counter "core_pct" is the time per second of audio in
// percent: the share of one core the mixer needs to keep up in real time.
#include "bench/BenchPairs.h"
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "KorvelSound/KorvelSoundEngine.h"
#include "PlatformPcmControl.h"

namespace
{
const int kVoices = 32;
const int kRate = 44100;
const double kSeconds = 10.0;
const size_t kChunkFrames = 2 * static_cast<size_t>(kRate); // 2 s chunks, looped

// Voice v: a quiet sawtooth of its own period, so that 32 of them do not clip.
std::vector<int16_t> MakeChunk(int v)
{
    std::vector<int16_t> s(2 * kChunkFrames);
    const int period = 50 + 7 * v;
    for (size_t i = 0; i < kChunkFrames; ++i)
    {
        const int16_t x = static_cast<int16_t>((static_cast<int>(i) % period) * 1000 / period - 500);
        s[2 * i] = x;
        s[2 * i + 1] = static_cast<int16_t>(-x);
    }
    return s;
}

const std::vector<std::vector<int16_t>>& Chunks()
{
    static const std::vector<std::vector<int16_t>> chunks = []
    {
        std::vector<std::vector<int16_t>> c;
        for (int v = 0; v < kVoices; ++v)
            c.push_back(MakeChunk(v));
        return c;
    }();
    return chunks;
}
} // namespace

static void BM_KorvelMixer32Voices(benchmark::State& state)
{
    plat::PcmControlReset();
    plat::PcmControlUseCaptureSink(true);
    CKorvelSoundEngine engine;
    if (engine.Startup(nullptr, kRate, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0) != KE_OK)
    {
        state.SkipWithError("engine did not start");
        return;
    }
    std::vector<CKorvelSoundBuffer*> voices;
    SKE_WAVEFORMAT format;
    CKorvelSoundEngine::FillWaveFormat(kRate, 16, 2, format);
    for (int v = 0; v < kVoices; ++v)
    {
        CKorvelSoundBuffer* p = CKorvelSoundBuffer::New();
        const std::vector<int16_t>& chunk = Chunks()[v];
        p->Startup(&engine, &format, static_cast<unsigned int>(chunk.size() * 2), 0);
        void* pData = nullptr;
        unsigned int uSize = 0;
        p->Lock(0, 0, &pData, &uSize, 1);
        memcpy(pData, chunk.data(), uSize);
        p->Unlock(pData, uSize);
        p->Play(1);
        voices.push_back(p);
    }
    const unsigned int uFramesPerPass = engine.GetPrimaryBuffer().GetSize() / 4;
    const int passes = static_cast<int>(kSeconds * kRate / uFramesPerPass);
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < passes; ++i)
            engine.Update(0.0f);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        plat::PcmCaptureClear();
        state.ResumeTiming();
    }
    state.counters["core_pct"] = 100.0 * seconds / (state.iterations() * kSeconds);
    for (CKorvelSoundBuffer* p : voices)
    {
        p->Shutdown();
        delete p;
    }
    engine.Shutdown();
    plat::PcmControlReset();
}
BENCHMARK(BM_KorvelMixer32Voices)->Unit(benchmark::kMillisecond);

namespace
{
struct sMIX_PROGRESS
{
    std::mutex mutex;
    std::condition_variable done;
    size_t bytes = 0;
    size_t target = 0;
    std::chrono::steady_clock::time_point start, end;
};

void CountMixed(void* pArg, Uint8*, int len)
{
    sMIX_PROGRESS* p = static_cast<sMIX_PROGRESS*>(pArg);
    std::lock_guard<std::mutex> lock(p->mutex);
    if (p->bytes == 0)
        p->start = std::chrono::steady_clock::now(); // the first block was just mixed: time from here
    else if (p->bytes < p->target)
        p->end = std::chrono::steady_clock::now();
    p->bytes += static_cast<size_t>(len);
    if (p->bytes >= p->target + static_cast<size_t>(len))
        p->done.notify_all();
}
} // namespace

static void BM_SdlMixer32Voices(benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, 1024) != 0)
    {
        state.SkipWithError("SDL_mixer did not open");
        return;
    }
    Mix_AllocateChannels(kVoices);
    std::vector<Mix_Chunk*> chunks;
    for (int v = 0; v < kVoices; ++v)
    {
        const std::vector<int16_t>& c = Chunks()[v];
        chunks.push_back(Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(const_cast<int16_t*>(c.data())),
                                           static_cast<Uint32>(c.size() * 2)));
    }
    double seconds = 0.0;
    for (auto _ : state)
    {
        sMIX_PROGRESS progress;
        progress.target = static_cast<size_t>(kSeconds * kRate) * 4;
        SDL_LockAudio();
        Mix_SetPostMix(CountMixed, &progress);
        for (int v = 0; v < kVoices; ++v)
            Mix_PlayChannel(v, chunks[v], -1);
        SDL_UnlockAudio();
        {
            std::unique_lock<std::mutex> lock(progress.mutex);
            progress.done.wait(lock, [&] { return progress.bytes > progress.target; });
        }
        SDL_LockAudio();
        Mix_HaltChannel(-1);
        Mix_SetPostMix(nullptr, nullptr);
        SDL_UnlockAudio();
        const double iteration = std::chrono::duration<double>(progress.end - progress.start).count();
        seconds += iteration;
        state.SetIterationTime(iteration);
    }
    state.counters["core_pct"] = 100.0 * seconds / (state.iterations() * kSeconds);
    for (Mix_Chunk* c : chunks)
        Mix_FreeChunk(c);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
BENCHMARK(BM_SdlMixer32Voices)->UseManualTime()->Unit(benchmark::kMillisecond);
KORVEL_BENCH_PAIR("mix 32 voices, 10 s vs SDL2_mixer", "BM_KorvelMixer32Voices",
                  "BM_SdlMixer32Voices/manual_time");
