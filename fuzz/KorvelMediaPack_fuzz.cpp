// Pack reader over outside bytes: the table, then every item by index, by name and
// by file name, read through the loaders' path, plain and keyed.
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace
{
void ReadEveryItem(CKorvelMediaPack& pack)
{
    std::vector<unsigned char> aData;
    for (unsigned int i = 0; i < pack.GetItemCount(); ++i)
    {
        const SKE_MEDIAPACKITEM* pInfo = pack.GetItemInfo(i);
        const CKorvelString strName(pInfo->strName);
        int iSlash = strName.FindReverse('/', -1);
        pack.FindItem(strName.Mid(iSlash + 1, -1), 0);
        const CKorvelString strByIndex;
        for (const CKorvelString* pLookup : {&strName, &strByIndex})
        {
            CKorvelMediaPackItem item;
            if (item.Open(pack, *pLookup, i) != KE_OK)
                continue;
            aData.assign(item.GetSize(), 0);
            item.GetFile().Read(aData.data(), item.GetSize());
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    // The pack reader opens paths: the bytes go into an anonymous in-memory file.
    int iFd = memfd_create("pack", 0);
    if (iFd < 0)
        return 0;
    if (uSize == 0 || write(iFd, pData, uSize) == static_cast<ssize_t>(uSize))
    {
        char aPath[64];
        snprintf(aPath, sizeof(aPath), "/proc/self/fd/%d", iFd);
        CKorvelMediaPack pack;
        if (pack.Startup(CKorvelString(aPath), CKorvelString("")) == KE_OK)
            ReadEveryItem(pack);
        if (pack.Startup(CKorvelString(aPath), CKorvelString("fuzzkey")) == KE_OK)
            ReadEveryItem(pack);
    }
    close(iFd);
    return 0;
}
