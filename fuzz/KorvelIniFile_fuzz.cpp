// INI reader over outside bytes: every line, then the lookups the settings make.
#include "KorvelCommon/KorvelIniFile.h"
#include "KorvelCommon/KorvelString.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<uint8_t> aBytes(pData, pData + uSize);
    CKorvelIniFile ini;
    if (uSize > 0 &&
        ini.OpenFromMemory(aBytes.data(), static_cast<unsigned int>(uSize), CKorvelFile::FLAG_READ) != KE_OK)
        return 0;
    CKorvelString strLine;
    while (ini.ReadString(strLine))
    {
    }
    // Every lookup rescans from the section header: each getter meets each section and each
    // key once (nine lookups, not every combination), which keeps a run fast on big inputs.
    const wchar_t* aSections[] = {L"GRAPHICS", L"NETWORK", L""};
    const wchar_t* aKeys[] = {L"resx", L"server", L""};
    const int iKinds = 3;
    for (int s = 0; s < iKinds; ++s)
    {
        const CKorvelString strSection(aSections[s]);
        ini.GetIntValue(strSection, CKorvelString(aKeys[s]), 1);
        ini.GetFloatValue(strSection, CKorvelString(aKeys[(s + 1) % iKinds]), 1.0f);
        ini.GetStringValue(strSection, CKorvelString(aKeys[(s + 2) % iKinds]), CKorvelString(L"d"));
    }
    return 0;
}
