// The one audio device of the process: SDL2 audio at 44.1 kHz, signed 16-bit
// stereo, fed by any number of inputs (the PCM output, the music renderer)
// that the device callback mixes. SDL's dummy driver allows one open device
// only, so every producer goes through here.
#pragma once

#include <cstdint>
#include <string>

namespace plat
{

constexpr int kAudioDeviceRate = 44100;
constexpr int kAudioDeviceChannels = 2;

// A producer of device-rate stereo frames.
class IAudioInput
{
public:
    virtual ~IAudioInput() = default;
    // Adds up to `frames` frames (left, right, ...) into acc. Runs on the
    // device's thread with the device's input lock held: must not block.
    virtual void MixInto(int32_t* acc, int frames) = 0;
};

class CAudioDevice
{
public:
    // Adds the input, opening the device first when it is the first one (the real
    // driver, else SDL's dummy driver). False when no driver opens.
    static bool Attach(IAudioInput* input);
    // Removes the input; once this returns the input is not called again. The
    // device closes with its last input.
    static void Detach(IAudioInput* input);
    // The SDL driver in use ("" while closed).
    static std::string DriverName();
};

} // namespace plat
