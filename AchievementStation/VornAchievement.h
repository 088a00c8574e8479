// One achievement of a game: its texts, whether and when it was earned, and its
// picture from the achievement pack.
#pragma once

#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelDateTime;
class CKorvelSurface;
class CVornAchievementStation;

class CVornAchievement
{
public:
    // Picture states.
    enum
    {
        IMAGE_MISSING = 4, // the picture or its pack is not there
        IMAGE_BROKEN = 5,  // the picture could not be decoded
        IMAGE_NONE = 6     // not loaded yet
    };

    CVornAchievement();
    ~CVornAchievement();
    CVornAchievement(const CVornAchievement&) = delete;
    CVornAchievement& operator=(const CVornAchievement&) = delete;

    // The time earned is copied when one is given.
    KE_RETVAL Startup(CVornAchievementStation* pStation, int iGameId, int iId, const CKorvelString& strName,
                      const CKorvelString& strDescription, unsigned int uAchieved,
                      const CKorvelDateTime* pTime);
    // Releases the picture.
    void Shutdown();
    void Update(float) {}

    void SetAchieved(unsigned int uAchieved) { m_uAchieved = uAchieved; }
    void SetTime(const CKorvelDateTime* pTime);
    void SetName(const CKorvelString& strName) { m_strName = strName; }
    void SetDescription(const CKorvelString& strDescription) { m_strDescription = strDescription; }
    // A local picture lives in the achievement pack under that name.
    void SetLocal(unsigned int uLocal, const CKorvelString& strImageName);
    // Loads the local picture once; the result of the pack or of the decoding.
    KE_RETVAL Load();

    int GetId() const { return m_iId; }
    int GetGameId() const { return m_iGameId; }
    const CKorvelString& GetName() const { return m_strName; }
    const CKorvelString& GetDescription() const { return m_strDescription; }
    unsigned int GetAchieved() const { return m_uAchieved; }
    // Null before Startup.
    CKorvelDateTime* GetTime() const { return m_pTime; }
    int GetImageState() const { return m_iImageState; }
    unsigned int GetLocal() const { return m_uLocal; }
    const CKorvelString& GetImageName() const { return m_strImageName; }
    CKorvelSurface* GetImage() const { return m_pImage; }

private:
    CVornAchievementStation* m_pStation;
    int m_iGameId;
    int m_iId;
    CKorvelString m_strName;
    CKorvelString m_strDescription;
    unsigned int m_uAchieved;
    CKorvelDateTime* m_pTime;
    int m_iImageState;
    unsigned int m_uLocal;
    CKorvelString m_strImageName;
    CKorvelSurface* m_pImage;
};
