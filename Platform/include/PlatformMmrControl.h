// Test control of the multimedia renderer: a capture output that the test
// pulls instead of the audio device, and injected events. Calls are also in
// the platform call log (PlatformControl.h), where failures can be injected
// by name ("mmr_connect", "mmr_play", ...).
#pragma once

#include <cstdint>
#include <vector>

#include "PlatformMmr.h"

namespace plat
{

// Back to the defaults: device output, no captured contexts.
void MmrControlReset();

// Contexts whose output is attached from now on play into the capture output
// (true) or the audio device (false). Captured audio advances only as the test
// pulls it.
void MmrControlUseCaptureOutput(bool capture);

// Mixes `frames` device frames (44.1 kHz stereo) of every captured context,
// waiting up to timeoutMs for their decoders to have them ready.
std::vector<int16_t> MmrCapturePull(int frames, int timeoutMs = 2000);

// Posts an event for the contexts named `context_name` as the renderer would;
// position and error_position may be null, error_code < 0 means no error record.
int MmrControlInjectEvent(const char* context_name, mmr_state_t state, const char* position, int error_code,
                          const char* error_position = nullptr);

} // namespace plat
