// Scene files (".scn") from arbitrary bytes: the reader keeps within the data, and what
// it read survives being written and read again.
#include "game/MoxSceneFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize > 1 << 16)
        return 0;
    // An exact copy, so a read past the end is caught by the sanitizer.
    std::vector<unsigned char> aBytes(pData, pData + uSize);
    sMoxSceneFile file;
    MoxReadSceneFile(aBytes.data(), (unsigned int)uSize, file);
    if (file.aBlocks.size() > 255 || file.aHelpers.size() > 255 || file.aPointCount[0] > 3 ||
        file.aPointCount[1] > 3 || (file.iVersion != 110 && !file.aHelpers.empty()))
        abort();

    std::string strOut;
    if (!MoxWriteSceneFile(file, strOut))
        abort();
    sMoxSceneFile again;
    MoxReadSceneFile((const unsigned char*)strOut.data(), (unsigned int)strOut.size(), again);
    if (again.aBlocks.size() != file.aBlocks.size() || again.aHelpers.size() != file.aHelpers.size() ||
        std::memcmp(again.aReservedA, file.aReservedA, sizeof(file.aReservedA)) != 0 ||
        std::memcmp(again.aReservedB, file.aReservedB, sizeof(file.aReservedB)) != 0)
        abort();
    for (size_t i = 0; i < file.aBlocks.size(); ++i)
        if (std::memcmp(&again.aBlocks[i], &file.aBlocks[i], sizeof(sMoxSceneBlock)) != 0)
            abort();
    return 0;
}
