// Loading surfaces and fonts from their packs, scaled to the screen, and rebuilding the
// GL objects after a context loss.
#include "Framework/Shell/VornResourceManager.h"

#include <new>

#include "Framework/Shell/VornApplication.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
// The surface redrawn at the scale; null when the scaled surface cannot be made. A side
// never shrinks below one pixel.
CKorvelSurface* ScaledSurface(IKorvelApplication* pApp, CKorvelSurface& source, float fScale)
{
    SKE_SURFACEDESC desc = {};
    desc.iWidth = static_cast<int>(static_cast<float>(source.GetWidth()) * fScale);
    desc.iHeight = static_cast<int>(static_cast<float>(source.GetHeight()) * fScale);
    desc.iWidth = desc.iWidth < 1 ? 1 : desc.iWidth;
    desc.iHeight = desc.iHeight < 1 ? 1 : desc.iHeight;
    desc.eFormat = source.GetFormat();
    CKorvelSurface* pScaled = new (std::nothrow) CKorvelSurface();
    if (!pScaled)
        return nullptr;
    // The box shrink reads one column and row past the source: enlarging with it leaves the
    // last ones empty, a transparent seam at the right and bottom of a stretched picture.
    const unsigned int uFlags = fScale < 1.0f ? KE_DRAW_BOXSHRINK : 0u;
    if (pScaled->Create(pApp, desc) != KE_OK ||
        pScaled->Blt(static_cast<const CKorvelRect<int>*>(nullptr), &source,
                     static_cast<const CKorvelRect<int>*>(nullptr), uFlags) != KE_OK)
    {
        pScaled->Shutdown();
        delete pScaled;
        return nullptr;
    }
    return pScaled;
}
} // namespace

CKorvelSurface* CVornResourceManager::LoadSurface(const CKorvelString& strName)
{
    ResourceSurface* pRecord = FindSurfaceRecord(CHashString(strName));
    if (!pRecord || !pRecord->m_pPack)
        return nullptr;
    ResourcePack* pPack = pRecord->m_pPack;
    CKorvelMediaPack* pMediaPack = GetMediaPack(pPack);
    if (!pMediaPack)
        return nullptr;

    CKorvelSurface* pSurface = new (std::nothrow) CKorvelSurface();
    if (!pSurface)
        return nullptr;
    SKE_SURFACEDESC desc = {};
    desc.uFlags = KE_SURFACEDESC_LOADALPHA;
    if (pSurface->LoadFromPack(m_pApp, pMediaPack, GetItemPath(*pMediaPack, strName), 0,
                               pPack->m_uSeparateAlpha ? &desc : nullptr) != KE_OK)
    {
        pSurface->Shutdown();
        delete pSurface;
        pRecord->m_pSurface = nullptr;
        return nullptr;
    }
    pRecord->m_pSurface = pSurface;
    ++pRecord->m_iRefCount;

    int iSide = GetScreenSide();
    if (pPack->m_iImageOriginalSize > 0 && iSide != pPack->m_iImageOriginalSize)
    {
        float fScale = static_cast<float>(iSide) / static_cast<float>(pPack->m_iImageOriginalSize);
        // Without the scaled copy the picture stays at its own size.
        if (CKorvelSurface* pScaled = ScaledSurface(m_pApp, *pSurface, fScale))
        {
            pSurface->Shutdown();
            delete pSurface;
            pSurface = pScaled;
            pRecord->m_pSurface = pSurface;
        }
    }
    pSurface->SurfaceToTexture((pRecord->m_uFlags & FILEFLAG_NO_MIPMAPS) ? 0 : 1);
    return pSurface;
}

CKorvelBitmapFont* CVornResourceManager::LoadFont(const CKorvelString& strName)
{
    CHashString name(strName);
    ResourceFont* pRecord = FindFontRecord(name);
    bool bDefault = strName.Compare(CKorvelString("default")) == 0;
    if ((!pRecord || !pRecord->m_pPack) && bDefault)
    {
        // The engine's built-in font, in a record of its own without pack.
        if (pRecord && pRecord->m_pFont)
        {
            ++pRecord->m_iRefCount;
            return pRecord->m_pFont;
        }
        CKorvelBitmapFont* pFont = new (std::nothrow) CKorvelBitmapFont();
        if (!pFont)
            return nullptr;
        if (!pRecord)
        {
            pRecord = new (std::nothrow) ResourceFont();
            if (!pRecord || !m_Fonts[0].Add(name, pRecord))
            {
                delete pFont;
                delete pRecord;
                return nullptr;
            }
        }
        pFont->Startup(m_pApp);
        pRecord->m_pFont = pFont;
        pRecord->m_iRefCount = 1;
        pRecord->m_bKeptLoaded = true;
        return pFont;
    }
    if (!pRecord || !pRecord->m_pPack)
        return nullptr;
    ResourcePack* pPack = pRecord->m_pPack;
    CKorvelMediaPack* pMediaPack = GetMediaPack(pPack);
    if (!pMediaPack)
        return nullptr;
    CKorvelBitmapFont* pFont = new (std::nothrow) CKorvelBitmapFont();
    if (!pFont)
        return nullptr;
    if (pFont->Startup(m_pApp, *pMediaPack, GetItemPath(*pMediaPack, strName),
                       pRecord->m_uFlags & FILEFLAG_KEEP_COLOR) != KE_OK)
    {
        pFont->Shutdown();
        delete pFont;
        return nullptr;
    }
    int iSide = GetScreenSide();
    if (pPack->m_iFontOriginalSize > 0 && iSide != pPack->m_iFontOriginalSize)
        pFont->SetFontScale(static_cast<float>(iSide) / static_cast<float>(pPack->m_iFontOriginalSize));
    pRecord->m_pFont = pFont;
    ++pRecord->m_iRefCount;
    return pFont;
}

void CVornResourceManager::ScaleFontsToScreen()
{
    const int iSide = GetScreenSide();
    if (iSide <= 0)
        return;
    for (int t = TARGET_COUNT - 1; t >= 0; --t)
        for (int i = 0; i < m_Fonts[t].GetCount(); ++i)
        {
            const ResourceFont* pRecord = m_Fonts[t].GetAt(i).m_Second;
            const int iOriginal = pRecord->m_pPack ? pRecord->m_pPack->m_iFontOriginalSize : 0;
            if (pRecord->m_pFont && iOriginal > 0)
                pRecord->m_pFont->SetFontScale(static_cast<float>(iSide) / static_cast<float>(iOriginal));
        }
}

// ---- loss and return of the graphics context

void CVornResourceManager::ReleaseResources()
{
    for (int t = TARGET_COUNT - 1; t >= 0; --t)
    {
        for (int i = 0; i < m_Surfaces[t].GetCount(); ++i)
            if (m_Surfaces[t].GetAt(i).m_Second->m_pSurface)
                m_Surfaces[t].GetAt(i).m_Second->m_pSurface->ReleaseTexture();
        for (int i = 0; i < m_Fonts[t].GetCount(); ++i)
            if (m_Fonts[t].GetAt(i).m_Second->m_pFont)
                m_Fonts[t].GetAt(i).m_Second->m_pFont->Release();
    }
    for (int i = 0; i < m_Shaders.GetCount(); ++i)
        if (m_Shaders.GetAt(i).m_Second->m_pProgram)
            m_Shaders.GetAt(i).m_Second->m_pProgram->Release();
}

KE_RETVAL CVornResourceManager::RestoreResources()
{
    for (int t = TARGET_COUNT - 1; t >= 0; --t)
    {
        for (int i = 0; i < m_Surfaces[t].GetCount(); ++i)
        {
            CKorvelSurface* pSurface = m_Surfaces[t].GetAt(i).m_Second->m_pSurface;
            if (!pSurface)
                continue;
            KE_RETVAL iResult = pSurface->RestoreTexture();
            if (iResult != KE_OK)
                return iResult;
        }
        for (int i = 0; i < m_Fonts[t].GetCount(); ++i)
            if (m_Fonts[t].GetAt(i).m_Second->m_pFont)
                m_Fonts[t].GetAt(i).m_Second->m_pFont->Restore();
    }
    for (int i = 0; i < m_Shaders.GetCount(); ++i)
        if (m_Shaders.GetAt(i).m_Second->m_pProgram)
            m_Shaders.GetAt(i).m_Second->m_pProgram->Restore();
    return KE_OK;
}
