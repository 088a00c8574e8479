// Loading of usability recordings ("usage.dat") from arbitrary bytes.
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelUsabilityDataCollection.h"
#include "KorvelInput/KorvelEvent.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize > 1 << 20)
        return 0;
    CKorvelFile file;
    if (file.OpenFromMemory(const_cast<uint8_t*>(pData), static_cast<unsigned int>(uSize),
                            CKorvelFile::FLAG_READ) != KE_OK)
        return 0;
    CKorvelUsabilityDataCollection recording;
    recording.Startup(nullptr);
    recording.Load(file);
    // Every frame and event that was kept must be readable.
    for (unsigned int f = 0; f < recording.GetFrameCount(); ++f)
    {
        for (unsigned int e = 0; e < recording.GetFrameEventCount(f); ++e)
        {
            if (!recording.GetFrameEvent(f, e))
                abort();
        }
    }
    recording.Shutdown();
    return 0;
}
