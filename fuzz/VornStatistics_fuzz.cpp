// The statistics store's reader over outside bytes (a damaged "stats.dat").
#include "Framework/Shell/VornStatistics.h"
#include "KorvelCommon/KorvelFile.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize == 0)
        return 0;
    // An exact-size copy, so a read past the end is seen.
    std::vector<uint8_t> aBytes(pData, pData + uSize);
    CKorvelFile file;
    if (file.OpenFromMemory(aBytes.data(), static_cast<unsigned int>(uSize), CKorvelFile::FLAG_READ) != KE_OK)
        return 0;
    CVornStatistics store;
    store.ReadStatistics(file);
    for (int i = 0; i < store.GetPropertyCount(); ++i)
        store.GetProperty(store.GetProperty(i)->m_strName);
    return 0;
}
