// Sounds: loading now or on a loader thread, and the queue of loaders run one at a time.
#include "Framework/Shell/VornResourceManager.h"

#include <new>

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelSound/KorvelSoundWave.h"

namespace
{
// Removes the queue entry at the index; later entries move down.
void RemoveLoaderAt(CKorvelArray<CVornResourceManager::CAsyncSoundLoader*>& aLoaders, int iIndex)
{
    for (int i = iIndex; i < aLoaders.GetCount() - 1; ++i)
        aLoaders[i] = aLoaders[i + 1];
    aLoaders.m_iCount = aLoaders.GetCount() - 1;
    if (aLoaders.GetCount() == 0)
        aLoaders.RemoveAll();
}
} // namespace

// ---- the loader

CVornResourceManager::CAsyncSoundLoader::CAsyncSoundLoader(CVornResourceManager* pManager,
                                                           unsigned char* pBytes, unsigned int uSize,
                                                           CKorvelSoundWave* pWave,
                                                           const CKorvelString& strItemName,
                                                           unsigned int uLoadFlags)
    : m_pManager(pManager), m_pBytes(pBytes), m_uSize(uSize), m_pWave(pWave), m_strItemName(strItemName),
      m_uDone(0), m_uLoadFlags(uLoadFlags)
{
}

CVornResourceManager::CAsyncSoundLoader::~CAsyncSoundLoader()
{
    Shutdown();
    FreeBytes();
}

void CVornResourceManager::CAsyncSoundLoader::FreeBytes()
{
    delete[] m_pBytes;
    m_pBytes = nullptr;
}

unsigned int CVornResourceManager::CAsyncSoundLoader::ThreadProc()
{
    Sleep(5);
    Load();
    m_uDone.store(1);
    return 0;
}

void CVornResourceManager::CAsyncSoundLoader::Load()
{
    if (!m_pWave)
        return;
    if (m_pWave->LoadFromMemory(m_pManager->m_pSoundEngine, m_pBytes, m_uSize, m_uLoadFlags, 0) != KE_OK)
        m_pWave->Shutdown(); // stays registered, empty
}

// ---- the manager's side

CKorvelSoundWave* CVornResourceManager::LoadSound(const CKorvelString& strName, unsigned int uFlags,
                                                  unsigned int uLoadFlags)
{
    if (!m_pSoundEngine)
        return nullptr;
    ResourceSound* pRecord = FindSoundRecord(CHashString(strName));
    if (!pRecord || !pRecord->m_pPack)
        return nullptr;
    CKorvelMediaPack* pMediaPack = GetMediaPack(pRecord->m_pPack);
    if (!pMediaPack)
        return nullptr;
    CKorvelString strItem = GetItemPath(*pMediaPack, strName);

    if (uFlags & 1)
    {
        CKorvelSoundWave* pWave = new (std::nothrow) CKorvelSoundWave();
        if (!pWave)
            return nullptr;
        if (pWave->LoadFromPack(m_pSoundEngine, pMediaPack, strItem, 0, uLoadFlags, 0) != KE_OK)
        {
            pWave->Shutdown();
            delete pWave;
            pRecord->m_pWave = nullptr;
            return nullptr;
        }
        pRecord->m_pWave = pWave;
        ++pRecord->m_iRefCount;
        return pWave;
    }

    // The bytes are read here, while the pack is open; only the decoding is left to the thread.
    CKorvelMediaPackItem item;
    if (item.Open(*pMediaPack, strItem, 0) != KE_OK || item.GetSize() == 0)
        return nullptr;
    unsigned int uSize = item.GetSize();

    CKorvelSoundWave* pResult = nullptr;
    m_Mutex.Startup();
    bool bQueued = false;
    for (int i = 0; i < m_aLoaders.GetCount() && !bQueued; ++i)
        bQueued = m_aLoaders[i]->GetItemName().Compare(strItem) == 0;
    if (!bQueued)
    {
        unsigned char* pBytes = new (std::nothrow) unsigned char[uSize];
        CKorvelSoundWave* pWave = new (std::nothrow) CKorvelSoundWave();
        CAsyncSoundLoader* pLoader = nullptr;
        // A short read makes no loader: the thread would decode bytes never written.
        if (pBytes && pWave && item.GetFile().Read(pBytes, uSize) == uSize)
            pLoader = new (std::nothrow) CAsyncSoundLoader(this, pBytes, uSize, pWave, strItem, uLoadFlags);
        if (pLoader && m_aLoaders.Add(pLoader) >= 0)
        {
            pRecord->m_pWave = pWave;
            ++pRecord->m_iRefCount;
            pResult = pWave;
        }
        else
        {
            if (pLoader)
                delete pLoader; // frees the bytes
            else
                delete[] pBytes;
            delete pWave;
        }
    }
    m_Mutex.Shutdown();
    return pResult;
}

void CVornResourceManager::Tick()
{
    if (m_uSkipTick)
    {
        m_uSkipTick = 0;
        return;
    }
    m_Mutex.Startup();
    for (int i = 0; i < m_aLoaders.GetCount(); ++i)
    {
        CAsyncSoundLoader* pLoader = m_aLoaders[i];
        if (pLoader->IsDone() && !pLoader->IsAlive())
        {
            RemoveLoaderAt(m_aLoaders, i);
            DeleteLoader(pLoader);
            break;
        }
    }
    if (m_aLoaders.GetCount() > 0)
    {
        CAsyncSoundLoader* pFirst = m_aLoaders[0];
        if (!pFirst->IsDone() && !pFirst->HasWorker())
            pFirst->Startup(251);
    }
    m_Mutex.Shutdown();
}

unsigned int CVornResourceManager::IsSoundReady(CKorvelSoundWave* pWave)
{
    if (!pWave)
        return 0;
    unsigned int uReady = 1;
    m_Mutex.Startup();
    for (int i = 0; i < m_aLoaders.GetCount() && uReady; ++i)
        if (m_aLoaders[i]->GetWave() == pWave)
            uReady = 0;
    m_Mutex.Shutdown();
    return uReady;
}

void CVornResourceManager::DeleteLoader(CAsyncSoundLoader* pLoader)
{
    pLoader->Shutdown();
    pLoader->FreeBytes();
    delete pLoader;
}

void CVornResourceManager::CancelLoaderLocked(const CKorvelSoundWave* pWave)
{
    for (int i = 0; i < m_aLoaders.GetCount(); ++i)
    {
        CAsyncSoundLoader* pLoader = m_aLoaders[i];
        if (pLoader->GetWave() != pWave)
            continue;
        RemoveLoaderAt(m_aLoaders, i);
        DeleteLoader(pLoader);
        return;
    }
}
