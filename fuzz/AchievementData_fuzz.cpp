// The achievement state reader over outside bytes (a damaged "ach.dat").
#include "AchievementStation/VornAchievementGame.h"
#include "AchievementStation/VornAchievementStation.h"
#include "KorvelCommon/KorvelFile.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize == 0)
        return 0;
    // Without a pack the start stops after making the game; a few achievements to mark.
    CVornAchievementStation station;
    station.Startup(nullptr, 1, CKorvelString(L"/nonexistent/achievements.kmp"));
    CVornAchievementGame* pGame = station.GetGame(1);
    if (!pGame)
        return 0;
    for (int iId : {0, 1, 2, 99, -1})
        pGame->AddAchievement(iId, CKorvelString(L"a"), CKorvelString(), 0, 0);
    std::vector<uint8_t> aBytes(pData, pData + uSize);
    CKorvelFile file;
    if (file.OpenFromMemory(aBytes.data(), static_cast<unsigned int>(uSize), CKorvelFile::FLAG_READ) != KE_OK)
        return 0;
    station.ReadAchievementData(file);
    return 0;
}
