// What the PCM calls share with the control interface: failure injection, the
// call log and the capture sink (PcmControl.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "PlatformPcmControl.h"

namespace plat
{

// Logs the call and returns the injected failure for it (0 when none).
int PcmEnterCall(ePCM_CALL call, const char* name);
void PcmLogCall(const char* name);
int32_t PcmMaxFragmentSize();
// Whether new handles go to the capture sink, and whether it paces.
bool PcmCaptureEnabled(bool* paced);
void PcmCaptureStoreParams(const snd_pcm_channel_params_t& params);
void PcmCaptureStoreBlock(const void* data, size_t bytes);

} // namespace plat
