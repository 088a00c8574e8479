// The achievement description tokens ("ach_EN.txt") over outside bytes, read as
// UTF-16 units the way the pack's item is.
#include "AchievementStation/VornAchievementStation.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    std::vector<unsigned short> aUnits(uSize / 2 + 1, 0);
    for (size_t i = 0; i + 1 < uSize; i += 2)
        aUnits[i / 2] = static_cast<unsigned short>(pData[i] | (pData[i + 1] << 8));
    CVornAchievementStation station;
    station.Startup(nullptr, 1, CKorvelString(L"/nonexistent/achievements.kmp"));
    station.ReadAchievementDescriptions(CKorvelString(aUnits.data()));
    return 0;
}
