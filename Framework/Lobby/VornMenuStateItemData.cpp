// Item data files: the server's list compared with the files in the write folder, missing or
// changed files fetched in chunks and verified, the game told once everything is settled.
#include "Framework/Lobby/VornMenuState.h"

#include <cstring>

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "KorvelCommon/KorvelFile.h"

namespace
{
const int STATE_UNCHECKED = -1;
const int STATE_DOWNLOADING = 0;
const int STATE_READY = 1;
const int STATE_FAILED = 2;
} // namespace

unsigned int CVornMenuState::ItemDataNeeded(int iItemId, int iFlag) const
{
    if (iFlag != 0)
        return 1;
    for (int i = 0; i < m_Items.GetCount(); ++i)
        if (m_Items[i].m_iFileId == iItemId)
            return 1;
    return 0;
}

unsigned int CVornMenuState::RequestMissingItemData()
{
    CVornNetworkSession* pSession = Session();
    if (!pSession)
        return 0;
    for (int i = 0; i < m_Items.GetCount(); ++i)
    {
        if (m_Items[i].m_iFileId <= 0)
            continue;
        CKorvelString strPath;
        GetItemFile(m_Items[i].m_iFileId, strPath);
        if (!CKorvelFile::FileExists(strPath))
        {
            pSession->SendGetAvailableShopItemDatas();
            return 1;
        }
    }
    return 0;
}

void CVornMenuState::OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>& aItems)
{
    for (int a = 0; a < aItems.GetCount(); ++a)
    {
        const CASN1AvailableItemDatas::sItemData& item = aItems[a];
        int iAt = -1;
        for (int r = 0; r < m_ItemFiles.GetCount() && iAt < 0; ++r)
            if (m_ItemFiles[r].m_iItemId == item.m_iItemId)
                iAt = r;
        if (iAt < 0)
        {
            m_ItemFiles.Add(sItemFileData());
            iAt = m_ItemFiles.GetCount() - 1;
        }
        else
        {
            sItemFileData& record = m_ItemFiles[iAt];
            CKorvelString strPath;
            GetItemFile(item.m_iItemId, strPath);
            const bool bSame = record.m_iSize == item.m_iSize && record.m_iFlag == item.m_iFlag &&
                               std::memcmp(record.m_aDigest, item.m_aDigest, sizeof(record.m_aDigest)) == 0;
            if (bSame && record.m_iState == STATE_DOWNLOADING)
                continue; // the transfer under way is still the right one
            const bool bMissing =
                ItemDataNeeded(item.m_iItemId, item.m_iFlag) && !CKorvelFile::FileExists(strPath);
            // A failed record gets a fresh start with a new list.
            if (bMissing || !bSame || record.m_iState == STATE_FAILED)
            {
                record.m_iVerified = 0;
                record.m_iState = STATE_UNCHECKED;
                record.m_iAttempts = 0;
            }
            else
            {
                record.m_iVerified = 1;
                record.m_iState = STATE_READY;
            }
        }
        sItemFileData& record = m_ItemFiles[iAt];
        record.m_iItemId = item.m_iItemId;
        record.m_iFlag = item.m_iFlag;
        std::memcpy(record.m_aDigest, item.m_aDigest, sizeof(record.m_aDigest));
        record.m_iSize = item.m_iSize;
    }
    m_bItemDataListReceived = 1;
}

// 1 good, 2 missing but not needed, 0 to be fetched.
int CVornMenuState::CheckItemFile(sItemFileData& record)
{
    CKorvelString strPath;
    GetItemFile(record.m_iItemId, strPath);
    CKorvelFile file;
    if (file.OpenFromFile(strPath, CKorvelFile::FLAG_READ) != KE_OK)
        return ItemDataNeeded(record.m_iItemId, record.m_iFlag) ? 0 : 2;
    int iGood = 0;
    if (file.GetSize() == record.m_iSize && m_pItemDataBuffer)
    {
        CVornMD5 md5;
        md5.Init();
        unsigned int uRead = 0;
        while ((uRead = file.Read(m_pItemDataBuffer, ITEM_DATA_BUFFER_SIZE)) > 0)
            md5.Update(m_pItemDataBuffer, uRead);
        md5.Finalize();
        iGood = std::memcmp(md5.GetDigest(), record.m_aDigest, sizeof(record.m_aDigest)) == 0;
    }
    file.Close();
    if (iGood)
        record.m_iVerified = 1;
    return iGood;
}

void CVornMenuState::FetchItemFile(sItemFileData& record)
{
    CKorvelString strPath;
    GetItemFile(record.m_iItemId, strPath);
    CVornResourceManager* pResources = m_pKestrolund;
    if (pResources && pResources->HavePack(strPath))
    {
        m_PacksToRestore.Add(strPath);
        pResources->RemovePack(strPath, 0);
    }
    CKorvelFile::RemoveFile(strPath);
    record.m_iState = STATE_DOWNLOADING;
    record.m_iVerified = 0;
    record.m_iAsked = 0;
    record.m_fIdle = 0.0f;
    ++record.m_iAttempts;
    if (CVornNetworkSession* pSession = Session())
        pSession->SendGetShopItemData(record.m_iItemId, 0, ITEM_DATA_BUFFER_SIZE);
}

void CVornMenuState::FailItemFile(sItemFileData& record)
{
    CKorvelString strPath;
    GetItemFile(record.m_iItemId, strPath);
    CKorvelFile::RemoveFile(strPath);
    record.m_iState = STATE_FAILED;
    record.m_iVerified = 0;
    m_uItemDataFailed = 1;
}

// The whole file is there: it must have the announced size and digest, else it comes again.
void CVornMenuState::FinishItemFile(sItemFileData& record)
{
    if (CheckItemFile(record) == 1)
    {
        for (int i = 0; i < m_ItemFiles.GetCount(); ++i)
            if (m_ItemFiles[i].m_iItemId == record.m_iItemId)
            {
                m_ItemFiles[i].m_iVerified = 1;
                m_ItemFiles[i].m_iState = STATE_READY;
            }
        return;
    }
    if (record.m_iAttempts < ITEM_DATA_ATTEMPTS)
        FetchItemFile(record);
    else
        FailItemFile(record);
}

void CVornMenuState::OnShopItemData(int iItemId, int iOffset, unsigned char* pData, int iSize, int iRemaining)
{
    sItemFileData* pRecord = nullptr;
    for (int i = 0; i < m_ItemFiles.GetCount() && !pRecord; ++i)
        if (m_ItemFiles[i].m_iItemId == iItemId && m_ItemFiles[i].m_iState == STATE_DOWNLOADING)
            pRecord = &m_ItemFiles[i];
    // Only the chunk asked for, inside the announced size, is taken.
    if (!pRecord || !pData || iSize < 1 || iOffset != pRecord->m_iAsked ||
        static_cast<long long>(iOffset) + iSize > pRecord->m_iSize)
        return;

    CKorvelString strPath;
    GetItemFile(iItemId, strPath);
    CKorvelFile file;
    // Appending writes at the end whatever the seek, so a chunk goes in only where the file ends.
    const unsigned int uFlags =
        (iOffset == 0 ? CKorvelFile::FLAG_WRITE : CKorvelFile::FLAG_APPEND) | CKorvelFile::FLAG_OWNER_ONLY;
    if (file.OpenFromFile(strPath, uFlags) != KE_OK)
    {
        FailItemFile(*pRecord);
        return;
    }
    if (file.GetSize() != iOffset)
    {
        file.Close();
        return;
    }
    const unsigned int uWritten = file.Write(pData, static_cast<unsigned int>(iSize));
    file.Close();
    if (uWritten != static_cast<unsigned int>(iSize))
    {
        FailItemFile(*pRecord);
        return;
    }
    pRecord->m_iAsked = iOffset + iSize;
    pRecord->m_fIdle = 0.0f;
    if (iRemaining < 1 || pRecord->m_iAsked >= pRecord->m_iSize)
    {
        FinishItemFile(*pRecord);
        return;
    }
    int iNext = iRemaining < ITEM_DATA_BUFFER_SIZE ? iRemaining : ITEM_DATA_BUFFER_SIZE;
    if (iNext > pRecord->m_iSize - pRecord->m_iAsked)
        iNext = pRecord->m_iSize - pRecord->m_iAsked;
    if (CVornNetworkSession* pSession = Session())
        pSession->SendGetShopItemData(iItemId, pRecord->m_iAsked, iNext);
}

void CVornMenuState::HandleShopItemDataLoading()
{
    if (!m_bItemDataListReceived || m_uInMatch)
        return;
    const float fSeconds = m_pKestrolund ? m_pKestrolund->GetFrameTime() : 0.0f;
    unsigned int uReady = 1;
    for (int i = 0; i < m_ItemFiles.GetCount(); ++i)
    {
        sItemFileData& record = m_ItemFiles[i];
        if (record.m_iState == STATE_DOWNLOADING)
        {
            record.m_fIdle += fSeconds;
            if (record.m_fIdle >= ITEM_DATA_STALL_SECONDS)
                FailItemFile(record);
            else
                uReady = 0;
            continue;
        }
        if (record.m_iState != STATE_UNCHECKED)
            continue;
        if (CheckItemFile(record))
            record.m_iState = STATE_READY;
        else
        {
            FetchItemFile(record);
            uReady = 0;
        }
    }
    if (!uReady)
    {
        if (!m_uLoading)
            BeginLoading(LanguageText(33), LanguageText(34));
        // The lobby hides once the files are in (a page the login left open stays, see
        // EndLoading).
        m_uFlags &= static_cast<unsigned char>(~1u);
        return;
    }

    m_bItemDataListReceived = 0;
    CVornResourceManager* pResources = m_pKestrolund;
    for (int i = 0; i < m_PacksToRestore.GetCount(); ++i)
        if (pResources)
            pResources->AddPack(m_PacksToRestore[i], 1, 1);
    m_PacksToRestore.RemoveAll();
    if (m_uItemDataFailed && m_pKestrolund)
        m_pKestrolund->ShowToastNotification(nullptr, LanguageText(TEXT_ITEMS_NOT_DOWNLOADED), 6.0f, 0);
    m_uItemDataFailed = 0;
    if (m_uGameReadyAfterItemData)
    {
        m_uGameReadyAfterItemData = 0;
        if (CVornNetworkSession* pSession = Session())
            pSession->SendGameReady();
    }
    if (m_uItemDataCheckPending)
    {
        m_uItemDataCheckPending = 0;
        if (IVornGameState* pGame = m_pKestrolund ? m_pKestrolund->GetGameState() : nullptr)
            pGame->InitialItemsReady();
        if (CVornNetworkSession* pSession = Session())
            pSession->SendGetShopItemGroups(CVornNetworkSession::SHOP_IN_GAME_REFRESH |
                                            CVornNetworkSession::SHOP_LIST_MY_ITEMS);
    }
    EndLoading();
}
