#include "Platform/Audio/AudioDevice.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace plat
{
namespace
{

constexpr int kCallbackFrames = 1024;

struct sDEVICE_STATE
{
    std::mutex lifeMutex;   // open and close, the input list's membership
    std::mutex inputsMutex; // held by the callback while it mixes the inputs
    std::vector<IAudioInput*> inputs;
    std::vector<int32_t> acc;
    SDL_AudioDeviceID device = 0;
    bool forcedDummy = false;
    std::string driver;
};

sDEVICE_STATE& State()
{
    static sDEVICE_STATE* state = new sDEVICE_STATE; // outlives every static user
    return *state;
}

void Callback(void*, Uint8* stream, int len)
{
    sDEVICE_STATE& s = State();
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    int frames = len / (kAudioDeviceChannels * 2);
    std::lock_guard<std::mutex> lock(s.inputsMutex);
    while (frames > 0)
    {
        const int chunk = std::min(frames, kCallbackFrames);
        std::fill(s.acc.begin(), s.acc.begin() + 2 * static_cast<ptrdiff_t>(chunk), 0);
        for (IAudioInput* input : s.inputs)
            input->MixInto(s.acc.data(), chunk);
        for (int i = 0; i < 2 * chunk; ++i)
        {
            out[i] = static_cast<int16_t>(std::clamp<int32_t>(s.acc[i], -32768, 32767));
        }
        out += 2 * static_cast<ptrdiff_t>(chunk);
        frames -= chunk;
    }
}

SDL_AudioDeviceID OpenDevice()
{
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = kAudioDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = kAudioDeviceChannels;
    want.samples = kCallbackFrames;
    want.callback = Callback;
    // No allowed changes: SDL converts to whatever the hardware wants.
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

// ALSA's library prints every failed step of a search for a card to stderr (eight lines
// on a machine without one) while SDL tries its drivers; SDL's own error says enough. The
// library is the one SDL loads, so its handler is set through the same loaded copy.
typedef void (*AlsaErrorHandler)(const char*, int, const char*, int, const char*, ...);
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietenAlsa()
{
    static const bool s_bDone = []
    {
        void* pAlsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!pAlsa)
            return true;
        typedef int (*SetHandler)(AlsaErrorHandler);
        if (auto pSet = reinterpret_cast<SetHandler>(dlsym(pAlsa, "snd_lib_error_set_handler")))
            pSet(IgnoreAlsaError);
        return true; // the library stays loaded, with the handler, for SDL
    }();
    (void)s_bDone;
}

// Said once per process: the game goes on without sound, and the player should know why.
void ReportNoSound()
{
    static bool s_bSaid = false;
    if (!s_bSaid)
    {
        std::printf("No sound device: the game runs without sound (%s).\n", SDL_GetError());
        std::fflush(stdout);
    }
    s_bSaid = true;
}

bool OpenLocked(sDEVICE_STATE& s)
{
    s.acc.assign(2 * static_cast<size_t>(kCallbackFrames), 0);
    // SDL would swallow Ctrl-C and SIGTERM for an event loop we never read.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    QuietenAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
    {
        s.device = OpenDevice();
        if (s.device == 0)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (s.device == 0)
    {
        ReportNoSound();
        // No card (or no sound server): the dummy driver still plays in real time.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        {
            s.device = OpenDevice();
            if (s.device == 0)
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        s.forcedDummy = true;
        if (s.device == 0)
        {
            SDL_ResetHint(SDL_HINT_AUDIODRIVER);
            s.forcedDummy = false;
            return false;
        }
    }
    const char* name = SDL_GetCurrentAudioDriver();
    s.driver = name ? name : "";
    SDL_PauseAudioDevice(s.device, 0);
    return true;
}

void CloseLocked(sDEVICE_STATE& s)
{
    SDL_CloseAudioDevice(s.device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (s.forcedDummy)
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    s.device = 0;
    s.forcedDummy = false;
    s.driver.clear();
}

} // namespace

bool CAudioDevice::Attach(IAudioInput* input)
{
    sDEVICE_STATE& s = State();
    std::lock_guard<std::mutex> life(s.lifeMutex);
    if (s.device == 0 && !OpenLocked(s))
        return false;
    std::lock_guard<std::mutex> lock(s.inputsMutex);
    if (std::find(s.inputs.begin(), s.inputs.end(), input) == s.inputs.end())
        s.inputs.push_back(input);
    return true;
}

void CAudioDevice::Detach(IAudioInput* input)
{
    sDEVICE_STATE& s = State();
    std::lock_guard<std::mutex> life(s.lifeMutex);
    bool empty;
    {
        std::lock_guard<std::mutex> lock(s.inputsMutex);
        s.inputs.erase(std::remove(s.inputs.begin(), s.inputs.end(), input), s.inputs.end());
        empty = s.inputs.empty();
    }
    if (empty && s.device != 0)
        CloseLocked(s);
}

std::string CAudioDevice::DriverName()
{
    sDEVICE_STATE& s = State();
    std::lock_guard<std::mutex> life(s.lifeMutex);
    return s.driver;
}

} // namespace plat
