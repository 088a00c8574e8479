// Virtual item descriptions from arbitrary bytes: the reader keeps within the data and
// hands back only the kinds it knows.
#include "game/MoxVirtualItem.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize > 1 << 16)
        return 0;
    // Zero-terminated as the resource manager hands file bytes out; exact size otherwise.
    std::vector<unsigned char> aBytes(pData, pData + uSize);
    aBytes.push_back(0);
    sMoxItemDescription description;
    const int iRead = MoxParseItemDescription(aBytes.data(), (unsigned int)uSize, description);
    if (description.eType < MOX_ITEM_NONE || description.eType > MOX_ITEM_BATTLEGROUND)
        abort();
    if (!iRead && description.eType != MOX_ITEM_NONE)
        abort();
    return 0;
}
