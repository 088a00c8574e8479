#include "AchievementStation/VornAchievementGame.h"

#include "AchievementStation/VornAchievement.h"

#include <new>

CVornAchievementGame::CVornAchievementGame() : m_pStation(nullptr), m_iId(0) {}

CVornAchievementGame::~CVornAchievementGame()
{
    Shutdown();
}

KE_RETVAL CVornAchievementGame::Startup(CVornAchievementStation* pStation, int iId)
{
    m_pStation = pStation;
    m_iId = iId;
    return KE_OK;
}

void CVornAchievementGame::Shutdown()
{
    for (int i = 0; i < m_aAchievements.GetCount(); ++i)
    {
        CVornAchievement* pAchievement = GetAchievementByIndex(i);
        pAchievement->Shutdown();
        delete pAchievement;
    }
    m_aAchievements.Clear();
}

void CVornAchievementGame::Update(float fSeconds)
{
    for (int i = 0; i < m_aAchievements.GetCount(); ++i)
        GetAchievementByIndex(i)->Update(fSeconds);
}

CVornAchievement* CVornAchievementGame::AddAchievement(int iId, const CKorvelString& strName,
                                                       const CKorvelString& strDescription,
                                                       unsigned int uAchieved, int)
{
    CVornAchievement* pAchievement = new (std::nothrow) CVornAchievement();
    if (!pAchievement)
        return nullptr;
    if (pAchievement->Startup(m_pStation, m_iId, iId, strName, strDescription, uAchieved, nullptr) != KE_OK ||
        m_aAchievements.Add(pAchievement) < 0)
    {
        delete pAchievement;
        return nullptr;
    }
    return pAchievement;
}

CVornAchievement* CVornAchievementGame::GetAchievement(int iId) const
{
    for (int i = 0; i < m_aAchievements.GetCount(); ++i)
        if (GetAchievementByIndex(i)->GetId() == iId)
            return GetAchievementByIndex(i);
    return nullptr;
}

CVornAchievement* CVornAchievementGame::GetAchievementByIndex(int iIndex) const
{
    return (iIndex >= 0 && iIndex < m_aAchievements.GetCount())
               ? static_cast<CVornAchievement*>(m_aAchievements.GetAt(iIndex))
               : nullptr;
}
