// Turn packs from arbitrary bytes: every event the reader takes lies inside the pack,
// after the header, in order, and starts with the type byte of a packed event.
#include "game/MoxEventWire.h"
#include "game/MoxTurnPack.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize > TURN_PACK_MAX_SIZE)
        return 0;
    // An exact copy, so a read past the end is caught by the sanitizer.
    std::vector<unsigned char> aBytes(pData, pData + uSize);
    const int iSize = (int)uSize;
    int iAfter = TURN_PACK_HEADER + 1;
    for (const sMoxPackedEvent& e : MoxReadTurnPack(aBytes.data(), iSize))
    {
        if (e.iOffset < iAfter || e.iSize <= 0 || e.iOffset + e.iSize > iSize)
            abort();
        const int iType = aBytes[(size_t)e.iOffset];
        if (MoxPackedEventSize(iType) != e.iSize || aBytes[(size_t)e.iOffset - 1] != iType)
            abort();
        iAfter = e.iOffset + e.iSize + 1;
    }
    return 0;
}
