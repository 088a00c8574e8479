// The achievements of one game, in the order of their descriptions.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CVornAchievement;
class CVornAchievementStation;

class CVornAchievementGame
{
public:
    CVornAchievementGame();
    ~CVornAchievementGame();
    CVornAchievementGame(const CVornAchievementGame&) = delete;
    CVornAchievementGame& operator=(const CVornAchievementGame&) = delete;

    KE_RETVAL Startup(CVornAchievementStation* pStation, int iId);
    // Shuts down and deletes every achievement.
    void Shutdown();
    void Update(float fSeconds);

    // A new unearned achievement without a time, appended; null when memory ran out.
    CVornAchievement* AddAchievement(int iId, const CKorvelString& strName,
                                     const CKorvelString& strDescription, unsigned int uAchieved,
                                     int iUnused);
    // The first with that identifier, or null.
    CVornAchievement* GetAchievement(int iId) const;
    CVornAchievement* GetAchievementByIndex(int iIndex) const;
    int GetAchievementCount() const { return m_aAchievements.GetCount(); }
    int GetAchievedCount() const { return 0; }
    // Takes it out of the list; the caller owns it then.
    void RemoveAchievementByIndex(int iIndex) { m_aAchievements.RemoveAt(iIndex); }

    int GetId() const { return m_iId; }
    CVornAchievementStation* GetStation() const { return m_pStation; }

private:
    CVornAchievementStation* m_pStation;
    int m_iId;
    CKorvelPtrArray m_aAchievements;
};
