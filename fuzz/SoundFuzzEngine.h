// A sound engine for the loader fuzz targets: started once on the PCM capture
// sink with no mixer thread, so loading makes real voices and nothing plays.
#pragma once

#include "KorvelSound/KorvelSoundEngine.h"
#include "PlatformPcmControl.h"

inline CKorvelSoundEngine* FuzzSoundEngine()
{
    static CKorvelSoundEngine* s_pEngine = [] {
        plat::PcmControlUseCaptureSink(true);
        CKorvelSoundEngine* pEngine = new CKorvelSoundEngine();
        pEngine->Startup(nullptr, 22050, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0);
        return pEngine;
    }();
    return s_pEngine;
}
