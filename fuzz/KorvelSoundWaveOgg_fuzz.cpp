// Outside bytes as an Ogg Vorbis file: page and packet decoding into a voice.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "KorvelSound/KorvelSoundWave.h"
#include "SoundFuzzEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<uint8_t> aBytes(pData, pData + uSize);
    CKorvelSoundWave wave;
    const KE_RETVAL iResult =
        wave.LoadFromMemory(FuzzSoundEngine(), aBytes.data(), static_cast<unsigned int>(aBytes.size()), 0, 1);
    // A loaded sound is whole frames of a format the mixer can play; a failed one has no voices.
    if (iResult == KE_OK)
    {
        const SKE_WAVEFORMAT& format = wave.GetFormat();
        if (format.uChannels < 1 || format.uChannels > 2 || format.uBlockAlign == 0 || wave.GetLength() == 0 ||
            wave.GetDuplicateCount() != 1)
            abort();
    }
    else if (wave.GetBuffer(0))
    {
        abort();
    }
    wave.Shutdown();
    return 0;
}
