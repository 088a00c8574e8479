// Outside bytes straight into the Ogg Vorbis decoder (whatever the first four
// bytes say): pages, packets and synthesis into a voice.
#include <cstdint>
#include <vector>

#include "SoundFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<uint8_t> aBytes(pData, pData + uSize);
    CKorvelFile file;
    file.OpenFromMemory(aBytes.data(), static_cast<unsigned int>(aBytes.size()), CKorvelFile::FLAG_READ);
    CKorvelSoundWave wave;
    KE_RETVAL iResult = wave.DecodeOgg(FuzzSoundEngine(), file, static_cast<int>(aBytes.size()), 0);
    if (iResult == KE_OK)
        iResult = wave.CreateDuplicates(0); // takes the format and length of voice 0
    file.Close();
    CheckLoadedWave(wave, iResult, 0);
    return 0;
}
