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
    // Every lookup rescans from the section header, so a few cover the paths.
    const wchar_t* aSections[] = {L"GRAPHICS", L"NETWORK", L""};
    const wchar_t* aKeys[] = {L"resx", L"server", L""};
    for (const wchar_t* pSection : aSections)
    {
        for (const wchar_t* pKey : aKeys)
        {
            ini.GetIntValue(CKorvelString(pSection), CKorvelString(pKey), 1);
            ini.GetFloatValue(CKorvelString(pSection), CKorvelString(pKey), 1.0f);
            ini.GetStringValue(CKorvelString(pSection), CKorvelString(pKey), CKorvelString(L"d"));
        }
    }
    return 0;
}
