// Outside bytes as a music file (an MP3 the game would play, through libmpg123): opened,
// decoded piece by piece into device frames, moved back to the start and decoded again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "Platform/Music/MusicDecoder.h"

namespace
{
const int kMaxPieces = 256; // bounds the work on a long track

// Decodes until the end or a failure; every piece appends exactly its frames (two samples each).
void DecodeAll(plat::CMusicDecoder& decoder)
{
    std::vector<int16_t> aOut;
    for (int i = 0; i < kMaxPieces; ++i)
    {
        const size_t uBefore = aOut.size();
        const int iFrames = decoder.Decode(aOut);
        if (iFrames < 0 ? aOut.size() < uBefore : aOut.size() != uBefore + 2 * static_cast<size_t>(iFrames))
            std::abort();
        if (iFrames <= 0)
            return;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    // The decoder opens a path: the input lives in a memory file.
    const int iFd = memfd_create("music", 0);
    if (iFd < 0)
        return 0;
    size_t uDone = 0;
    while (uDone < uSize)
    {
        const ssize_t n = write(iFd, pData + uDone, uSize - uDone);
        if (n <= 0)
            break;
        uDone += static_cast<size_t>(n);
    }
    const std::string strPath = "/proc/self/fd/" + std::to_string(iFd);
    plat::CMusicDecoder decoder;
    if (uDone == uSize && decoder.Open(strPath.c_str()))
    {
        DecodeAll(decoder);
        if (decoder.SeekMs(0))
            DecodeAll(decoder);
        decoder.Close();
    }
    close(iFd);
    return 0;
}
