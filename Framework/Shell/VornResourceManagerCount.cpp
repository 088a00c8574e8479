// Objects made elsewhere, and the reference counts of everything the manager hands out.
#include "Framework/Shell/VornResourceManager.h"

#include <new>

#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundWave.h"

namespace
{
// The record whose object is the given one, target 1 first.
template <class R, class O>
R* FindHolder(CKorvelMap<CHashString, R*>* pMaps, O*(R::*pObject), const O* p, int* pTarget, int* pIndex)
{
    for (int t = CVornResourceManager::TARGET_COUNT - 1; t >= 0; --t)
        for (int i = 0; i < pMaps[t].GetCount(); ++i)
            if (pMaps[t].GetAt(i).m_Second->*pObject == p)
            {
                if (pTarget)
                    *pTarget = t;
                if (pIndex)
                    *pIndex = i;
                return pMaps[t].GetAt(i).m_Second;
            }
    return nullptr;
}
} // namespace

CVornResourceManager::ResourceSurface* CVornResourceManager::FindSurfaceHolder(const CKorvelSurface* pSurface,
                                                                               SurfaceMap** ppMap)
{
    int t = 0;
    ResourceSurface* pRecord = FindHolder(m_Surfaces, &ResourceSurface::m_pSurface, pSurface, &t, nullptr);
    if (ppMap)
        *ppMap = pRecord ? &m_Surfaces[t] : nullptr;
    return pRecord;
}

CVornResourceManager::ResourceSound* CVornResourceManager::FindSoundHolder(const CKorvelSoundWave* pWave)
{
    return FindHolder(m_Sounds, &ResourceSound::m_pWave, pWave, nullptr, nullptr);
}

CVornResourceManager::ResourceFont* CVornResourceManager::FindFontHolder(const CKorvelBitmapFont* pFont)
{
    return FindHolder(m_Fonts, &ResourceFont::m_pFont, pFont, nullptr, nullptr);
}

CVornResourceManager::ResourceShader* CVornResourceManager::FindShaderHolder(const CKorvel3DProgram* pProgram)
{
    for (int i = 0; i < m_Shaders.GetCount(); ++i)
        if (m_Shaders.GetAt(i).m_Second->m_pProgram == pProgram)
            return m_Shaders.GetAt(i).m_Second;
    return nullptr;
}

// ---- objects made elsewhere

void CVornResourceManager::AddSurface(const CKorvelString& strName, CKorvelSurface* pSurface)
{
    if (!pSurface)
        return;
    ResourceSurface* pRecord = new (std::nothrow) ResourceSurface();
    if (!pRecord)
        return;
    pRecord->m_pManager = this;
    pRecord->m_pSurface = pSurface;
    pRecord->m_iRefCount = 1;
    // A taken name keeps its entry; the surface then stays the caller's.
    if (!m_Surfaces[0].Add(CHashString(strName), pRecord))
        delete pRecord;
}

int CVornResourceManager::AddShader(const CKorvelString& strName, CKorvel3DProgram* pProgram)
{
    CHashString name(strName);
    int i = m_Shaders.Find(name);
    ResourceShader* pRecord = nullptr;
    if (i >= 0)
    {
        pRecord = m_Shaders.GetAt(i).m_Second;
        if (pRecord->m_pProgram && pRecord->m_pProgram != pProgram)
        {
            pRecord->m_pProgram->Shutdown();
            delete pRecord->m_pProgram;
        }
    }
    else
    {
        pRecord = new (std::nothrow) ResourceShader();
        if (!pRecord)
            return 0;
        if (!m_Shaders.Add(name, pRecord))
        {
            delete pRecord;
            return 0;
        }
    }
    pRecord->m_pProgram = pProgram;
    pRecord->m_iRefCount = 1;
    return 1;
}

// ---- counting

int CVornResourceManager::IncrementSurface(CKorvelSurface* pSurface)
{
    if (!pSurface)
        return 1;
    ResourceSurface* pRecord = FindSurfaceHolder(pSurface, nullptr);
    if (!pRecord)
        return 0;
    ++pRecord->m_iRefCount;
    return 1;
}

int CVornResourceManager::IncrementSound(CKorvelSoundWave* pWave)
{
    if (!pWave)
        return 1;
    ResourceSound* pRecord = FindSoundHolder(pWave);
    if (!pRecord)
        return 0;
    ++pRecord->m_iRefCount;
    return 1;
}

int CVornResourceManager::IncrementFont(CKorvelBitmapFont* pFont)
{
    if (!pFont)
        return 1;
    ResourceFont* pRecord = FindFontHolder(pFont);
    if (!pRecord)
        return 0;
    ++pRecord->m_iRefCount;
    return 1;
}

int CVornResourceManager::IncrementShader(CKorvel3DProgram* pProgram)
{
    if (!pProgram)
        return 1;
    ResourceShader* pRecord = FindShaderHolder(pProgram);
    if (!pRecord)
        return 0;
    ++pRecord->m_iRefCount;
    return 1;
}

// ---- release

int CVornResourceManager::ReleaseSurface(CKorvelSurface*& pSurface)
{
    if (!pSurface)
        return 1;
    SurfaceMap* pMap = nullptr;
    ResourceSurface* pRecord = FindSurfaceHolder(pSurface, &pMap);
    if (!pRecord)
        return 0;
    pSurface = nullptr;
    if (--pRecord->m_iRefCount > 0)
        return 1;
    pRecord->m_pSurface->Shutdown();
    delete pRecord->m_pSurface;
    pRecord->m_pSurface = nullptr;
    pRecord->m_iRefCount = 0;
    if (!pRecord->m_pPack)
    {
        for (int i = 0; i < pMap->GetCount(); ++i)
            if (pMap->GetAt(i).m_Second == pRecord)
            {
                pMap->Remove(pMap->GetAt(i).m_First);
                break;
            }
        delete pRecord;
    }
    return 1;
}

int CVornResourceManager::ReleaseSound(CKorvelSoundWave*& pWave)
{
    if (!pWave)
        return 1;
    ResourceSound* pRecord = FindSoundHolder(pWave);
    if (!pRecord)
        return 0;
    pWave = nullptr;
    if (--pRecord->m_iRefCount > 0)
        return 1;
    // A loader still decoding into the wave is joined before the wave goes.
    m_Mutex.Startup();
    CancelLoaderLocked(pRecord->m_pWave);
    m_Mutex.Shutdown();
    pRecord->m_pWave->Shutdown();
    delete pRecord->m_pWave;
    pRecord->m_pWave = nullptr;
    pRecord->m_iRefCount = 0;
    return 1;
}

int CVornResourceManager::ReleaseFont(CKorvelBitmapFont*& pFont)
{
    if (!pFont)
        return 1;
    ResourceFont* pRecord = FindFontHolder(pFont);
    if (!pRecord)
        return 0;
    pFont = nullptr;
    if (--pRecord->m_iRefCount > 0)
        return 1;
    pRecord->m_iRefCount = 0;
    if (pRecord->m_bKeptLoaded)
        return 1;
    pRecord->m_pFont->Shutdown();
    delete pRecord->m_pFont;
    pRecord->m_pFont = nullptr;
    pRecord->m_iRefCount = 0;
    return 1;
}

int CVornResourceManager::ReleaseShader(CKorvel3DProgram*& pProgram)
{
    if (!pProgram)
        return 1;
    ResourceShader* pRecord = FindShaderHolder(pProgram);
    if (!pRecord)
        return 0;
    pProgram = nullptr;
    if (--pRecord->m_iRefCount > 0)
        return 1;
    pRecord->m_pProgram->Shutdown();
    delete pRecord->m_pProgram;
    pRecord->m_pProgram = nullptr;
    pRecord->m_iRefCount = 0;
    return 1;
}
