// Outside bytes as a sound file from memory (the WAV seeds: PCM and IMA ADPCM
// with the chunks the reader knows): the chunk reader and the decoding into a
// voice with a duplicate.
#include <cstdint>
#include <vector>

#include "SoundFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<uint8_t> aBytes(pData, pData + uSize);
    CKorvelSoundWave wave;
    const KE_RETVAL iResult =
        wave.LoadFromMemory(FuzzSoundEngine(), aBytes.data(), static_cast<unsigned int>(aBytes.size()), 0, 1);
    CheckLoadedWave(wave, iResult, 1);
    return 0;
}
