#include "AchievementStation/VornAchievementStation.h"

#include "AchievementStation/VornAchievement.h"
#include "AchievementStation/VornAchievementDisplayer.h"
#include "AchievementStation/VornAchievementGame.h"
#include "KorvelCommon/KorvelAtomicFile.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelTimer.h"
#include "KorvelGraphics/KorvelApplication.h"

#include <new>
#include <vector>

namespace
{
const wchar_t* const kStateFile = L"ach.dat";
const wchar_t* const kDescriptionItem = L"ach_EN.txt";

bool ReadU32(CKorvelFile& file, uint32_t& uValue)
{
    unsigned char a[4];
    if (file.Read(a, 4) != 4)
        return false;
    uValue = a[0] | (a[1] << 8) | (a[2] << 16) | (static_cast<uint32_t>(a[3]) << 24);
    return true;
}
} // namespace

CVornAchievementStation::CVornAchievementStation() : m_pApp(nullptr), m_iGameId(0) {}

CVornAchievementStation::~CVornAchievementStation()
{
    Shutdown();
}

KE_RETVAL CVornAchievementStation::Startup(IKorvelApplication* pApp, int iGameId,
                                           const CKorvelString& strPackPath)
{
    m_pApp = pApp;
    m_iGameId = iGameId;
    m_strPackPath = strPackPath;
    CVornAchievementGame* pGame = new (std::nothrow) CVornAchievementGame();
    if (!pGame)
        return KE_ERR_OUTOFMEMORY;
    pGame->Startup(this, iGameId);
    if (m_aGames.Add(pGame) < 0)
    {
        delete pGame;
        return KE_ERR_OUTOFMEMORY;
    }
    KE_RETVAL ret = ReadAchievementDescriptions();
    if (ret != KE_OK)
        return ret;
    ret = ReadAchievementData();
    return ret == KE_ERR_FILEOPEN ? KE_OK : ret;
}

void CVornAchievementStation::Shutdown()
{
    for (int i = 0; i < m_aGames.GetCount(); ++i)
    {
        CVornAchievementGame* pGame = GetGameByIndex(i);
        pGame->Shutdown();
        delete pGame;
    }
    m_aGames.Clear();
    for (int i = 0; i < m_aDisplayers.GetCount(); ++i)
    {
        CVornAchievementDisplayer* pDisplayer = GetDisplayerByIndex(i);
        pDisplayer->Shutdown();
        delete pDisplayer;
    }
    m_aDisplayers.Clear();
}

KE_RETVAL CVornAchievementStation::OpenAchievementFile(CKorvelMediaPack* pPack) const
{
    return pPack ? pPack->Startup(m_strPackPath, CKorvelString()) : KE_ERR_INVALIDARG;
}

KE_RETVAL CVornAchievementStation::ReadAchievementDescriptions()
{
    CKorvelMediaPack pack;
    KE_RETVAL ret = OpenAchievementFile(&pack);
    if (ret != KE_OK)
        return ret;
    CKorvelString strText;
    {
        CKorvelMediaPackItem item;
        ret = item.Open(pack, CKorvelString(kDescriptionItem), 0);
        if (ret != KE_OK)
            return ret;
        // Whole units only; a zero unit ends the text.
        const unsigned int uUnits = item.GetSize() / 2;
        std::vector<unsigned short> aUnits(uUnits + 1, 0);
        const unsigned int uRead = item.GetFile().Read(aUnits.data(), uUnits * 2);
        aUnits[uRead / 2] = 0;
        strText.Set(aUnits.data());
    }
    pack.Shutdown();
    if (!GetGame(m_iGameId))
        return KE_ERR_NOTFOUND;
    ReadAchievementDescriptions(strText);
    return KE_OK;
}

KE_RETVAL CVornAchievementStation::ReadAchievementData()
{
    CKorvelString strPath;
    IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString(kStateFile));
    CKorvelFile file;
    const KE_RETVAL ret = file.OpenFromFile(strPath, CKorvelFile::FLAG_READ);
    return ret == KE_OK ? ReadAchievementData(file) : ret;
}

KE_RETVAL CVornAchievementStation::ReadAchievementData(CKorvelFile& file)
{
    uint32_t uVersion = 0, uCount = 0;
    if (!ReadU32(file, uVersion))
        return KE_ERR_BADDATA;
    if (uVersion != FILE_VERSION)
        return KE_ERR_DECODE;
    if (!ReadU32(file, uCount))
        return KE_ERR_BADDATA;
    CVornAchievementGame* pGame = GetGame(m_iGameId);
    // The count is only believed as far as the file holds whole records.
    const unsigned int uLeft = static_cast<unsigned int>(file.GetSize() - file.GetPosition());
    const uint32_t uRecords = uCount < uLeft / RECORD_SIZE ? uCount : uLeft / RECORD_SIZE;
    for (uint32_t u = 0; u < uRecords; ++u)
    {
        unsigned char a[RECORD_SIZE];
        if (file.Read(a, RECORD_SIZE) != RECORD_SIZE)
            return KE_ERR_BADDATA;
        const int iId =
            static_cast<int>(a[0] | (a[1] << 8) | (a[2] << 16) | (static_cast<uint32_t>(a[3]) << 24));
        CVornAchievement* pAchievement = pGame ? pGame->GetAchievement(iId) : nullptr;
        if (!pAchievement)
            continue;
        // The stored fields as they are, so that a time reads back exactly as written.
        CKorvelDateTime time;
        int* apFields[6] = {&time.m_iYear, &time.m_iMonth,  &time.m_iDay,
                            &time.m_iHour, &time.m_iMinute, &time.m_iSecond};
        for (int i = 0; i < 6; ++i)
            *apFields[i] = a[4 + 2 * i] | (a[5 + 2 * i] << 8);
        pAchievement->SetAchieved(1);
        pAchievement->SetTime(&time);
    }
    return uRecords == uCount ? KE_OK : KE_ERR_BADDATA;
}

KE_RETVAL CVornAchievementStation::WriteAchievementData()
{
    // Checked before the file is touched, so that a missing game erases nothing.
    CVornAchievementGame* pGame = GetGame(m_iGameId);
    if (!pGame)
        return KE_ERR_NOTFOUND;
    CKorvelString strPath;
    IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString(kStateFile));
    CKorvelAtomicFile file;
    const KE_RETVAL ret = file.Open(strPath);
    if (ret != KE_OK)
        return ret;

    std::vector<const CVornAchievement*> aEarned;
    for (int i = 0; i < pGame->GetAchievementCount(); ++i)
    {
        const CVornAchievement* pAchievement = pGame->GetAchievementByIndex(i);
        if (pAchievement->GetName().GetLength() > 0 && pAchievement->GetAchieved())
            aEarned.push_back(pAchievement);
    }
    file.WriteU32(FILE_VERSION);
    file.WriteU32(static_cast<uint32_t>(aEarned.size()));
    for (const CVornAchievement* pAchievement : aEarned)
    {
        file.WriteU32(static_cast<uint32_t>(pAchievement->GetId()));
        const CKorvelDateTime& time = *pAchievement->GetTime();
        for (int iValue :
             {time.m_iYear, time.m_iMonth, time.m_iDay, time.m_iHour, time.m_iMinute, time.m_iSecond})
            file.WriteU16(static_cast<unsigned int>(iValue) & 0xFFFF);
    }
    return file.Commit();
}

CVornAchievementGame* CVornAchievementStation::GetGame(int iId) const
{
    for (int i = 0; i < m_aGames.GetCount(); ++i)
        if (GetGameByIndex(i)->GetId() == iId)
            return GetGameByIndex(i);
    return nullptr;
}

CVornAchievementGame* CVornAchievementStation::GetGameByIndex(int iIndex) const
{
    return (iIndex >= 0 && iIndex < m_aGames.GetCount())
               ? static_cast<CVornAchievementGame*>(m_aGames.GetAt(iIndex))
               : nullptr;
}

CVornAchievementDisplayer* CVornAchievementStation::GetDisplayer(const CKorvelString& strName) const
{
    for (int i = 0; i < m_aDisplayers.GetCount(); ++i)
        if (GetDisplayerByIndex(i)->GetName().Compare(strName) == 0)
            return GetDisplayerByIndex(i);
    return nullptr;
}

CVornAchievementDisplayer* CVornAchievementStation::GetDisplayerByIndex(int iIndex) const
{
    return (iIndex >= 0 && iIndex < m_aDisplayers.GetCount())
               ? static_cast<CVornAchievementDisplayer*>(m_aDisplayers.GetAt(iIndex))
               : nullptr;
}

void CVornAchievementStation::AddDisplayer(CVornAchievementDisplayer* pDisplayer)
{
    if (pDisplayer && m_aDisplayers.Add(pDisplayer) < 0)
    {
        // Owned from the call on, so it must not leak when it cannot be kept.
        pDisplayer->Shutdown();
        delete pDisplayer;
    }
}

void CVornAchievementStation::Update(float fSeconds)
{
    for (int i = 0; i < m_aGames.GetCount(); ++i)
        GetGameByIndex(i)->Update(fSeconds);
    for (int i = 0; i < m_aDisplayers.GetCount(); ++i)
        GetDisplayerByIndex(i)->Update(fSeconds);
}

void CVornAchievementStation::Draw(CKorvelSurface* pTarget)
{
    for (int i = 0; i < m_aDisplayers.GetCount(); ++i)
        GetDisplayerByIndex(i)->Draw(pTarget);
}
