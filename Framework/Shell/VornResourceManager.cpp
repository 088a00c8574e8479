#include "Framework/Shell/VornResourceManager.h"

#include "Framework/Shell/VornApplication.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundWave.h"

CVornResourceManager::CVornResourceManager()
    : m_pApp(nullptr), m_pSoundEngine(nullptr), m_uStarted(0), m_uSkipTick(1), m_pCurrentPack(nullptr)
{
}

CVornResourceManager::~CVornResourceManager()
{
    CVornResourceManager::Shutdown();
}

KE_RETVAL CVornResourceManager::Startup(CVornApplication* pApp, CKorvelSoundEngine* pSoundEngine)
{
    m_pApp = pApp;
    m_pSoundEngine = pSoundEngine;
    m_uStarted = 1;
    return KE_OK;
}

void CVornResourceManager::Shutdown()
{
    // Loaders first: they decode into waves that are deleted below.
    m_Mutex.Startup();
    for (int i = 0; i < m_aLoaders.GetCount(); ++i)
        DeleteLoader(m_aLoaders[i]);
    m_aLoaders.RemoveAll();
    m_Mutex.Shutdown();

    for (int i = 0; i < m_aPacks.GetCount(); ++i)
    {
        ResourcePack* pPack = m_aPacks[i];
        if (pPack->m_pMediaPack)
        {
            pPack->m_pMediaPack->Shutdown();
            delete pPack->m_pMediaPack;
        }
        delete pPack;
    }
    m_aPacks.RemoveAll();
    m_pCurrentPack = nullptr;
    DeleteRecords();
}

void CVornResourceManager::DeleteRecords()
{
    for (unsigned int t = 0; t < TARGET_COUNT; ++t)
    {
        for (int i = 0; i < m_Surfaces[t].GetCount(); ++i)
        {
            ResourceSurface* pRecord = m_Surfaces[t].GetAt(i).m_Second;
            if (pRecord->m_pSurface)
            {
                pRecord->m_pSurface->Shutdown();
                delete pRecord->m_pSurface;
            }
            delete pRecord;
        }
        m_Surfaces[t].Clear();
        for (int i = 0; i < m_Sounds[t].GetCount(); ++i)
        {
            ResourceSound* pRecord = m_Sounds[t].GetAt(i).m_Second;
            if (pRecord->m_pWave)
            {
                pRecord->m_pWave->Shutdown();
                delete pRecord->m_pWave;
            }
            delete pRecord;
        }
        m_Sounds[t].Clear();
        for (int i = 0; i < m_Fonts[t].GetCount(); ++i)
        {
            ResourceFont* pRecord = m_Fonts[t].GetAt(i).m_Second;
            if (pRecord->m_pFont)
            {
                pRecord->m_pFont->Shutdown();
                delete pRecord->m_pFont;
            }
            delete pRecord;
        }
        m_Fonts[t].Clear();
        for (int i = 0; i < m_Others[t].GetCount(); ++i)
            delete m_Others[t].GetAt(i).m_Second;
        m_Others[t].Clear();
    }
    for (int i = 0; i < m_Shaders.GetCount(); ++i)
    {
        ResourceShader* pRecord = m_Shaders.GetAt(i).m_Second;
        if (pRecord->m_pProgram)
        {
            pRecord->m_pProgram->Shutdown();
            delete pRecord->m_pProgram;
        }
        delete pRecord;
    }
    m_Shaders.Clear();
}

// ---- lookups

namespace
{
template <class R> R* FindByName(CKorvelMap<CHashString, R*>* pMaps, const CHashString& name)
{
    for (int t = CVornResourceManager::TARGET_COUNT - 1; t >= 0; --t)
    {
        int i = pMaps[t].Find(name);
        if (i >= 0)
            return pMaps[t].GetAt(i).m_Second;
    }
    return nullptr;
}

// True when the first item whose name contains the text is named exactly that: the text
// then reaches that item through SeekToItem and no other.
bool FirstItemContainingIs(const CKorvelMediaPack& pack, const CKorvelString& strName)
{
    for (unsigned int u = 0; u < pack.GetItemCount(); ++u)
    {
        const SKE_MEDIAPACKITEM* pItem = pack.GetItemInfo(u);
        if (pItem && pItem->strName.Find(strName, 0) >= 0)
            return pItem->strName.Compare(strName) == 0;
    }
    return false;
}
} // namespace

CVornResourceManager::ResourceSurface* CVornResourceManager::FindSurfaceRecord(const CHashString& name)
{
    return FindByName(m_Surfaces, name);
}

CVornResourceManager::ResourceSound* CVornResourceManager::FindSoundRecord(const CHashString& name)
{
    return FindByName(m_Sounds, name);
}

CVornResourceManager::ResourceFont* CVornResourceManager::FindFontRecord(const CHashString& name)
{
    return FindByName(m_Fonts, name);
}

CKorvelSurface* CVornResourceManager::HaveSurface(const CKorvelString& strName)
{
    CHashString name(strName);
    for (int t = TARGET_COUNT - 1; t >= 0; --t)
    {
        int i = m_Surfaces[t].Find(name);
        if (i >= 0 && m_Surfaces[t].GetAt(i).m_Second->m_pSurface)
        {
            ++m_Surfaces[t].GetAt(i).m_Second->m_iRefCount;
            return m_Surfaces[t].GetAt(i).m_Second->m_pSurface;
        }
    }
    return nullptr;
}

CKorvelSurface* CVornResourceManager::GetSurface(const CKorvelString& strName)
{
    if (strName.GetLength() == 0)
        return nullptr;
    CKorvelSurface* pSurface = HaveSurface(strName);
    return pSurface ? pSurface : LoadSurface(strName);
}

CKorvelSoundWave* CVornResourceManager::HaveSound(const CKorvelString& strName)
{
    ResourceSound* pRecord = FindSoundRecord(CHashString(strName));
    if (!pRecord || !pRecord->m_pWave)
        return nullptr;
    ++pRecord->m_iRefCount;
    return pRecord->m_pWave;
}

CKorvelSoundWave* CVornResourceManager::GetSound(const CKorvelString& strName, unsigned int uFlags,
                                                 unsigned int uLoadFlags)
{
    if (strName.GetLength() == 0)
        return nullptr;
    CKorvelSoundWave* pWave = HaveSound(strName);
    return pWave ? pWave : LoadSound(strName, uFlags, uLoadFlags);
}

CKorvelBitmapFont* CVornResourceManager::HaveFont(const CKorvelString& strName)
{
    ResourceFont* pRecord = FindFontRecord(CHashString(strName));
    if (!pRecord || !pRecord->m_pFont)
        return nullptr;
    ++pRecord->m_iRefCount;
    return pRecord->m_pFont;
}

CKorvelBitmapFont* CVornResourceManager::GetFont(const CKorvelString& strName)
{
    if (strName.GetLength() == 0)
        return nullptr;
    CKorvelBitmapFont* pFont = HaveFont(strName);
    return pFont ? pFont : LoadFont(strName);
}

CKorvel3DProgram* CVornResourceManager::HaveShader(const CKorvelString& strName)
{
    int i = m_Shaders.Find(CHashString(strName));
    if (i < 0 || !m_Shaders.GetAt(i).m_Second->m_pProgram)
        return nullptr;
    ++m_Shaders.GetAt(i).m_Second->m_iRefCount;
    return m_Shaders.GetAt(i).m_Second->m_pProgram;
}

CKorvel3DProgram* CVornResourceManager::GetShader(const CKorvelString& strName)
{
    if (strName.GetLength() == 0)
        return nullptr;
    return HaveShader(strName);
}

CKorvelString CVornResourceManager::GetFilename(const CKorvelString& strItemName)
{
    CKorvelString strName(strItemName);
    int i = strName.FindReverse('/', -1);
    if (i >= 0)
        strName = strName.Mid(i + 1, -1);
    i = strName.FindReverse('\\', -1);
    if (i >= 0)
        strName = strName.Mid(i + 1, -1);
    return strName;
}

CKorvelString CVornResourceManager::GetItemPath(const CKorvelMediaPack& pack, const CKorvelString& strName)
{
    CKorvelString strItem("/");
    strItem.Add(strName);
    if (pack.SeekToItem(strItem, 0) > 0)
        return strItem;
    CKorvelString strBackslash("\\");
    strBackslash.Add(strName);
    if (pack.SeekToItem(strBackslash, 0) > 0)
        return strBackslash;
    // An item stored without any folder is registered under its whole name; without this
    // it would be listed but never read.
    return FirstItemContainingIs(pack, strName) ? strName : strItem;
}

int CVornResourceManager::GetScreenSide()
{
    IKorvelGraphicsContext* pBack = m_pApp ? m_pApp->GetBack() : nullptr;
    if (!pBack)
        return 0;
    int iWidth = pBack->GetWidth(), iHeight = pBack->GetHeight();
    return iWidth < iHeight ? iWidth : iHeight;
}
