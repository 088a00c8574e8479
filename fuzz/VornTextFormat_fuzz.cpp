// A language text (a downloaded pack's) used as a format with the values the lobby passes:
// one integer, one text, two texts, and an integer then a text.
#include "Framework/Shell/VornTextFormat.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<unsigned short> aUnits(uSize / 2 + 1, 0);
    for (size_t i = 0; i + 1 < uSize; i += 2)
        aUnits[i / 2] = static_cast<unsigned short>(pData[i] | (pData[i + 1] << 8));
    const CKorvelString strFormat(aUnits.data());
    const CKorvelString strName("name %s %d %%");
    CVornTextFormat::Format(strFormat, {-2147483647 - 1});
    CVornTextFormat::Format(strFormat, {strName});
    CVornTextFormat::Format(strFormat, {strName, strName});
    CVornTextFormat::Format(strFormat, {7, strName});
    return 0;
}
