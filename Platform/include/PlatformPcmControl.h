// Test and back-end control of the PCM output: the capture sink that records
// every written block, failure injection and the call log.
//
// With the capture sink on, handles opened afterwards never touch the audio
// device; their blocks are kept in memory exactly as written, optionally paced
// in real time (a write then takes as long as its block plays).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PlatformPcm.h"

namespace plat
{

enum ePCM_CALL
{
    PCM_CALL_OPEN,
    PCM_CALL_INFO,
    PCM_CALL_PARAMS,
    PCM_CALL_PREPARE,
    PCM_CALL_WRITE,
    PCM_CALL_COUNT
};

// Back to the defaults: device output, no failures, capture and call log emptied.
void PcmControlReset();

// Route handles opened from now on into the capture sink (true) or the device (false).
void PcmControlUseCaptureSink(bool capture, bool paced = false);

// The next call of that kind fails with `error` (a negative errno) instead of running.
void PcmControlFailNext(ePCM_CALL call, int error);

// The largest fragment snd_pcm_plugin_info reports (bytes).
void PcmControlSetMaxFragmentSize(int32_t bytes);

// Names of the calls made ("open", "info", "params", "prepare", "write", "status", "close").
std::vector<std::string> PcmControlCallLog();

// Parameters of the last successful snd_pcm_plugin_params; false when there were none.
bool PcmCaptureLastParams(snd_pcm_channel_params_t* params);

size_t PcmCaptureBlockCount();
// Block i as written (empty when i is out of range).
std::vector<uint8_t> PcmCaptureBlock(size_t index);
// Waits until at least `count` blocks were captured; false after the timeout.
bool PcmCaptureWaitBlocks(size_t count, int timeoutMs);
// Forget the captured blocks (the count restarts at 0).
void PcmCaptureClear();

} // namespace plat
