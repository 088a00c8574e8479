// Shared by the sound-loader fuzz targets: an engine started once on the PCM
// capture sink with no mixer thread (loading makes real voices, nothing
// plays), and the checks on what a load leaves.
#pragma once

#include <cstdlib>

#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "PlatformPcmControl.h"

inline CKorvelSoundEngine* FuzzSoundEngine()
{
    static CKorvelSoundEngine* s_pEngine = []
    {
        plat::PcmControlUseCaptureSink(true);
        CKorvelSoundEngine* pEngine = new CKorvelSoundEngine();
        pEngine->Startup(nullptr, 22050, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0);
        return pEngine;
    }();
    return s_pEngine;
}

// A loaded sound has whole frames of a format the mixer can play and the voices
// asked for; a failed load leaves none. Shuts the wave down.
inline void CheckLoadedWave(CKorvelSoundWave& wave, KE_RETVAL iResult, unsigned int uDuplicates)
{
    if (iResult == KE_OK)
    {
        const SKE_WAVEFORMAT& format = wave.GetFormat();
        if (format.uChannels < 1 || format.uChannels > 2 || format.uBlockAlign == 0 ||
            wave.GetLength() == 0 || wave.GetDuplicateCount() != uDuplicates)
            abort();
    }
    else if (wave.GetBuffer(0))
    {
        abort();
    }
    wave.Shutdown();
}
