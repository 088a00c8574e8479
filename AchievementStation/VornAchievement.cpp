#include "AchievementStation/VornAchievement.h"

#include "AchievementStation/VornAchievementStation.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelTimer.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <new>

CVornAchievement::CVornAchievement()
    : m_pStation(nullptr), m_iGameId(0), m_iId(0), m_uAchieved(0), m_pTime(nullptr),
      m_iImageState(IMAGE_NONE), m_uLocal(0), m_pImage(nullptr)
{
}

CVornAchievement::~CVornAchievement()
{
    Shutdown();
    delete m_pTime;
}

KE_RETVAL CVornAchievement::Startup(CVornAchievementStation* pStation, int iGameId, int iId,
                                    const CKorvelString& strName, const CKorvelString& strDescription,
                                    unsigned int uAchieved, const CKorvelDateTime* pTime)
{
    m_pStation = pStation;
    m_iGameId = iGameId;
    m_iId = iId;
    m_strName = strName;
    m_strDescription = strDescription;
    m_uAchieved = uAchieved;
    if (!m_pTime && (m_pTime = new (std::nothrow) CKorvelDateTime()) == nullptr)
        return KE_ERR_OUTOFMEMORY;
    SetTime(pTime);
    return KE_OK;
}

void CVornAchievement::Shutdown()
{
    if (m_pImage)
    {
        m_pImage->Release();
        delete m_pImage;
        m_pImage = nullptr;
    }
}

void CVornAchievement::SetTime(const CKorvelDateTime* pTime)
{
    if (pTime && m_pTime)
        m_pTime->Set(*pTime);
}

void CVornAchievement::SetLocal(unsigned int uLocal, const CKorvelString& strImageName)
{
    m_uLocal = uLocal;
    m_strImageName = strImageName;
}

KE_RETVAL CVornAchievement::Load()
{
    if (m_pImage || !m_uLocal || m_strImageName.GetLength() == 0 || !m_pStation)
        return KE_OK;
    CKorvelMediaPack pack;
    KE_RETVAL ret = m_pStation->OpenAchievementFile(&pack);
    if (ret != KE_OK)
    {
        m_iImageState = (ret == KE_ERR_FILEOPEN || ret == KE_ERR_NOTFOUND) ? IMAGE_MISSING : IMAGE_BROKEN;
        return ret;
    }
    CKorvelSurface* pImage = new (std::nothrow) CKorvelSurface();
    if (!pImage)
        return KE_ERR_OUTOFMEMORY;
    ret = pImage->LoadFromPack(m_pStation->GetApp(), &pack, m_strImageName, 0, nullptr);
    pack.Shutdown();
    if (ret != KE_OK)
    {
        pImage->Release();
        delete pImage;
        m_iImageState = ret == KE_ERR_NOTFOUND ? IMAGE_MISSING : IMAGE_BROKEN;
        return ret;
    }
    m_pImage = pImage;
    return KE_OK;
}
