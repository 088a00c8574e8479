// A language pack's text over outside bytes (a downloaded pack): the headers and
// the numbered lines, read the way a pack's first item is.
#include "Framework/Shell/VornLanguageText.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<unsigned short> aUnits(uSize / 2 + 1, 0);
    for (size_t i = 0; i + 1 < uSize; i += 2)
        aUnits[i / 2] = static_cast<unsigned short>(pData[i] | (pData[i + 1] << 8));
    CKorvelString strText(aUnits.data());
    sLANGUAGE_HEADER header;
    ReadLanguageHeader(strText, header);
    CKorvelArray<CKorvelString> aTexts;
    ReadLanguageTexts(strText, aTexts);
    return 0;
}
