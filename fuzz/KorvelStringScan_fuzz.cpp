// Scan with an outside format and an outside text.
// Input: a mode byte (bit 0: bounded "%s", bits 1-7: the bound), a byte whose bits
// make the first eight targets null, a 16-bit little-endian count of format units,
// then the format units and the text units (little-endian).
#include "KorvelCommon/KorvelString.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace
{
const int kTargets = 16;

std::vector<unsigned short> Units(const uint8_t* pData, size_t uCount)
{
    std::vector<unsigned short> aUnits(uCount + 1, 0);
    for (size_t i = 0; i < uCount; ++i)
        aUnits[i] = static_cast<unsigned short>(pData[2 * i] | (pData[2 * i + 1] << 8));
    return aUnits;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize < 4 || uSize > (1u << 16))
        return 0;
    bool bBounded = pData[0] & 1;
    int iBound = (pData[0] >> 1) + 1;
    unsigned int uNullMask = pData[1];
    size_t uFormatUnits = pData[2] | (pData[3] << 8);
    size_t uRest = (uSize - 4) / 2;
    if (uFormatUnits > uRest)
        uFormatUnits = uRest;
    std::vector<unsigned short> aFormat = Units(pData + 4, uFormatUnits);
    std::vector<unsigned short> aText = Units(pData + 4 + 2 * uFormatUnits, uRest - uFormatUnits);

    // Every directive may take a target, so the format keeps at most kTargets of them.
    int iPercent = 0;
    for (size_t i = 0; i < uFormatUnits; ++i)
        if (aFormat[i] == '%' && ++iPercent > kTargets)
        {
            aFormat[i] = 0;
            break;
        }

    CKorvelString text(aText.data());
    // Each target can take any conversion: room for a 64-bit number (heap blocks are
    // aligned for it) and for the text ("%s" unbounded) or exactly the bound.
    size_t uUnits = bBounded ? static_cast<size_t>(iBound) : static_cast<size_t>(text.GetLength()) + 1;
    if (uUnits < 4)
        uUnits = 4;
    std::vector<std::vector<unsigned short>> aStore(kTargets, std::vector<unsigned short>(uUnits));
    unsigned short* p[kTargets];
    for (int i = 0; i < kTargets; ++i)
        p[i] = (i < 8 && (uNullMask >> i) & 1) ? nullptr : aStore[i].data();

    int iCount = bBounded ? text.ScanBounded(iBound, aFormat.data(), p[0], p[1], p[2], p[3], p[4], p[5], p[6],
                                             p[7], p[8], p[9], p[10], p[11], p[12], p[13], p[14], p[15])
                          : text.Scan(aFormat.data(), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8],
                                      p[9], p[10], p[11], p[12], p[13], p[14], p[15]);
    if (iCount < 0 || iCount > kTargets)
        abort();
    return 0;
}
