// Achievements kept on the device: their descriptions come from the item
// "ach_EN.txt" of an achievement pack, and which were earned, and when, from the
// file "ach.dat" in the data folder. The station owns one game per identifier and
// its displayers. Files: VornAchievementStation.cpp (games, state file, displayers),
// VornAchievementDescriptions.cpp (reading "ach_EN.txt").
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelFile;
class CKorvelMediaPack;
class CKorvelSurface;
class CVornAchievementDisplayer;
class CVornAchievementGame;
class IKorvelApplication;

class CVornAchievementStation
{
public:
    enum
    {
        FILE_VERSION = 1,
        RECORD_SIZE = 16 // identifier, then year, month, day, hour, minute, second
    };

    CVornAchievementStation();
    virtual ~CVornAchievementStation();
    CVornAchievementStation(const CVornAchievementStation&) = delete;
    CVornAchievementStation& operator=(const CVornAchievementStation&) = delete;

    // Makes the game, reads its descriptions (their failure is returned) and its
    // state; a missing state file is no failure.
    virtual KE_RETVAL Startup(IKorvelApplication* pApp, int iGameId, const CKorvelString& strPackPath);
    virtual void Shutdown();

    KE_RETVAL OpenAchievementFile(CKorvelMediaPack* pPack) const;
    // 1, the pack's failure, or 8 without "ach_EN.txt" or without the game.
    KE_RETVAL ReadAchievementDescriptions();
    // Adds the achievements described in the text to the station's game.
    void ReadAchievementDescriptions(const CKorvelString& strText);
    // 1, 10 without a file, 11 for another version, 4 when the records stop short
    // of the count (those read are kept).
    KE_RETVAL ReadAchievementData();
    KE_RETVAL ReadAchievementData(CKorvelFile& file);
    // Replaces "ach.dat" as a whole: 1; 8 when the station has no game (the old file
    // stays); 10 when the file cannot be created; 9 when writing it failed.
    KE_RETVAL WriteAchievementData();

    CVornAchievementGame* GetGame(int iId) const;
    int GetGameCount() const { return m_aGames.GetCount(); }
    CVornAchievementGame* GetGameByIndex(int iIndex) const;
    CVornAchievementDisplayer* GetDisplayer(const CKorvelString& strName) const;
    int GetDisplayerCount() const { return m_aDisplayers.GetCount(); }
    CVornAchievementDisplayer* GetDisplayerByIndex(int iIndex) const;
    // The station owns it from then on.
    void AddDisplayer(CVornAchievementDisplayer* pDisplayer);
    IKorvelApplication* GetApp() const { return m_pApp; }
    int GetGameId() const { return m_iGameId; }
    const CKorvelString& GetPackPath() const { return m_strPackPath; }

    void Update(float fSeconds);
    void Draw(CKorvelSurface* pTarget);
    void Sync() {}

private:
    IKorvelApplication* m_pApp;
    int m_iGameId;
    CKorvelString m_strPackPath;
    CKorvelPtrArray m_aGames;
    CKorvelPtrArray m_aDisplayers;
};
