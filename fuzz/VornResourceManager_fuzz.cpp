// The resource manager over outside pack bytes: registration of every item by file name
// and kind, the "/kmp.meta" options, raw reads of every registered item, and removal.
#include "Framework/Shell/VornResourceManager.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    // Packs are opened by path: the bytes go into an anonymous in-memory file.
    int iFd = memfd_create("pack", 0);
    if (iFd < 0)
        return 0;
    if (uSize == 0 || write(iFd, pData, uSize) == static_cast<ssize_t>(uSize))
    {
        char aPath[64];
        snprintf(aPath, sizeof(aPath), "/proc/self/fd/%d", iFd);
        const CKorvelString strPath(aPath);
        CVornResourceManager manager;
        manager.Startup(nullptr, nullptr);
        for (unsigned int uTarget : {0u, 1u})
        {
            if (!manager.AddPack(strPath, 1, uTarget))
                continue;
            CKorvelMediaPack pack;
            if (pack.Startup(strPath, CKorvelString()) == KE_OK)
                for (unsigned int i = 0; i < pack.GetItemCount(); ++i)
                {
                    unsigned char* pBytes = nullptr;
                    manager.GetFileData(CVornResourceManager::GetFilename(pack.GetItemInfo(i)->strName),
                                        &pBytes);
                    delete[] pBytes;
                }
            pack.Shutdown();
        }
        manager.RemovePack(strPath, 0);
        manager.Shutdown();
    }
    close(iFd);
    return 0;
}
