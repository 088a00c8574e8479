// The platform-rendered text path: text drawn once into a shared cache surface and blitted
// from there. This platform renders no text, so cached items stay empty.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <new>

#include "KorvelGraphics/KorvelApplication.h"
#include "KorvelGraphics/KorvelSurface.h"

int CKorvelBitmapFont::IsArabicText(const CKorvelString& strText)
{
    const unsigned short* pUnits = strText.GetBuffer();
    for (int i = 0; i < strText.GetLength(); ++i)
        if (pUnits[i] >= 0x0621 && pUnits[i] <= 0x064A)
            return 1;
    return 0;
}

int CKorvelBitmapFont::CreateFontOS(const CKorvelString&, unsigned int uSize, const CKorvelString&)
{
    m_uOsFontSize = uSize;
    return 1;
}

int CKorvelBitmapFont::ComputeTextAreaOS(CKorvelSurface&, CKorvelRect<int>&, const CKorvelString&,
                                         unsigned int, const CKorvelString& strText, unsigned int)
{
    return strText.GetLength();
}

void CKorvelBitmapFont::DrawTextAdvanced(CKorvelSurface& surface, CKorvelRect<int>& rect,
                                         const CKorvelString&, unsigned int, unsigned int uSize,
                                         const CKorvelString& strText, unsigned int, unsigned int)
{
    void* pDC = nullptr;
    if (strText.GetLength() && rect.GetWidth() && rect.GetHeight() && uSize > 2 &&
        surface.GetDC(&pDC) == KE_OK)
        surface.ReleaseDC(pDC, 0);
}

void CKorvelBitmapFont::PreprocessTextOS(const CKorvelString& strText, CKorvelString& strOut)
{
    strOut.Reset();
    const unsigned short* pUnits = strText.GetBuffer();
    for (int i = 0; i < strText.GetLength(); ++i)
    {
        if (ParseTextTags(strText, i, nullptr))
            i += TAG_LENGTH - 1;
        else
            strOut.Add(pUnits[i]);
    }
}

void CKorvelBitmapFont::PostprocessTextOS(const SKE_SURFACEDESC& desc, void* pPixels, int iPitch,
                                          const CKorvelRect<int>& rect)
{
    if (!pPixels || (desc.eFormat != KE_SURFACE_ARGB8888 && desc.eFormat != KE_SURFACE_ABGR8888))
        return;
    const int iLeft = rect.left < 0 ? 0 : rect.left, iTop = rect.top < 0 ? 0 : rect.top;
    const int iRight = rect.right > desc.iWidth ? desc.iWidth : rect.right;
    const int iBottom = rect.bottom > desc.iHeight ? desc.iHeight : rect.bottom;
    const int iRedShift = desc.eFormat == KE_SURFACE_ARGB8888 ? 16 : 0;
    for (int y = iTop; y < iBottom; ++y)
    {
        unsigned int* pRow = reinterpret_cast<unsigned int*>(static_cast<unsigned char*>(pPixels) +
                                                             static_cast<long>(y) * iPitch);
        for (int x = iLeft; x < iRight; ++x)
            pRow[x] = (pRow[x] & 0x00FFFFFF) | (((pRow[x] >> iRedShift) & 0xFF) << 24);
    }
}

void CKorvelBitmapFont::InitCache(int iWidth, int iHeight)
{
    ClearCache();
    if (m_pCacheSurface)
    {
        m_pCacheSurface->Shutdown();
        delete m_pCacheSurface;
    }
    m_pCacheSurface = new (std::nothrow) CKorvelSurface;
    if (!m_pCacheSurface)
        return;
    SKE_SURFACEDESC desc = {iWidth, iHeight, 0, KE_SURFACE_COMPATIBLE, KE_SURFACEDESC_TEXTURE, 0};
    if (m_pCacheSurface->Create(m_pApp, desc) != KE_OK)
    {
        m_pCacheSurface->Shutdown();
        delete m_pCacheSurface;
        m_pCacheSurface = nullptr;
        return;
    }
    m_pCacheSurface->Fill(0, nullptr);
}

void CKorvelBitmapFont::ClearCache()
{
    for (int i = 0; i < m_aCache.GetCount(); ++i)
        delete m_aCache[i];
    m_aCache.Clear();
    if (m_pCacheSurface)
        m_pCacheSurface->Fill(0, nullptr);
}

int CKorvelBitmapFont::DrawFromCache(IKorvelGraphicsContext& target, CKorvelRect<int>& rect,
                                     const CKorvelString& strText, unsigned int uColor, unsigned int uFlags)
{
    for (int i = 0; i < m_aCache.GetCount(); ++i)
    {
        const CACHE_ITEM& item = *m_aCache[i];
        if (!item.strText.IsEqual(strText))
            continue;
        if (uFlags & KE_TEXT_MEASURE)
            rect = item.rcRect;
        else
            DrawCacheItem(target, item, rect, uColor, uFlags);
        return 1;
    }
    return 0;
}

void CKorvelBitmapFont::DrawCacheItem(IKorvelGraphicsContext& target, const CACHE_ITEM& item,
                                      const CKorvelRect<int>& rect, unsigned int uColor, unsigned int uFlags)
{
    int x = rect.left, y = rect.top;
    if (uFlags & 0x100)
        x += rect.GetWidth() / 2 - item.rcRect.GetWidth() / 2;
    else if (uFlags & KE_TEXT_RIGHT)
        x = rect.right - item.rcRect.GetWidth();
    if (uFlags & 0x200)
        y += rect.GetHeight() / 2 - item.rcRect.GetHeight() / 2;
    EndText(target);
    if (m_pCacheSurface)
        target.DrawBlended(x, y, *m_pCacheSurface, &item.rcRect, uColor, 0x80);
}

int CKorvelBitmapFont::DrawText_OS(IKorvelGraphicsContext& target, CKorvelRect<int>& rect,
                                   const CKorvelString& strFont, unsigned int uSize,
                                   const CKorvelString& strText, unsigned int uColor, unsigned int uFlags)
{
    CKorvelString strPlain;
    PreprocessTextOS(strText, strPlain);
    IKorvelGraphicsContext* pBack = m_pApp ? m_pApp->GetBack() : nullptr;
    const int iLargerSide =
        pBack ? (pBack->GetWidth() > pBack->GetHeight() ? pBack->GetWidth() : pBack->GetHeight()) : 0;
    const bool bSmallScreen = iLargerSide < 1101;
    if (!m_pCacheSurface)
    {
        const int iSide = bSmallScreen ? 512 : 1024;
        InitCache(iSide, iSide);
        if (!m_pCacheSurface)
            return 0;
    }
    else if (DrawFromCache(target, rect, strPlain, uColor, uFlags))
        return 0;
    m_uOsFontSize = uSize;
    if (uFlags & KE_TEXT_MEASURE)
    {
        rect.Set(0, 0, rect.GetWidth(), rect.GetHeight());
        return 0;
    }
    const int iWidth = rect.GetWidth(), iHeight = rect.GetHeight();
    int iCacheW = m_pCacheSurface->GetWidth(), iCacheH = m_pCacheSurface->GetHeight();
    if (iCacheW < iWidth || iCacheH < iHeight)
    {
        const int iCap = bSmallScreen ? 1024 : 2048;
        int iNewW = iWidth + 4 < iCacheW ? iCacheW : iWidth + 5;
        int iNewH = iCacheH > iHeight ? iCacheH : iHeight;
        InitCache(iNewW > iCap ? iCap : iNewW, iNewH > iCap ? iCap : iNewH);
        if (!m_pCacheSurface)
            return 0;
        iCacheW = m_pCacheSurface->GetWidth();
        iCacheH = m_pCacheSurface->GetHeight();
    }
    // First fit, row by row; a font size of 0 still moves on by one pixel.
    const int iStep = uSize ? static_cast<int>(uSize) : 1;
    CKorvelRect<int> place(0, 0, iWidth, iHeight);
    bool bFound = false;
    for (int y = 0; !bFound && y + iHeight <= iCacheH; y += iStep)
        for (int x = 0; !bFound && x + iWidth <= iCacheW; x += iStep)
        {
            const CKorvelRect<int> candidate(x, y, x + iWidth, y + iHeight);
            bool bFree = true;
            for (int i = 0; bFree && i < m_aCache.GetCount(); ++i)
            {
                const CKorvelRect<int>& used = m_aCache[i]->rcRect;
                bFree = candidate.right <= used.left || candidate.left >= used.right ||
                        candidate.bottom <= used.top || candidate.top >= used.bottom;
            }
            if (bFree)
            {
                place = candidate;
                bFound = true;
            }
        }
    if (!bFound)
        ClearCache();
    CACHE_ITEM* pItem = new (std::nothrow) CACHE_ITEM;
    if (!pItem)
        return 0;
    pItem->strText = strPlain;
    pItem->rcRect = place;
    DrawTextAdvanced(*m_pCacheSurface, pItem->rcRect, strFont, 0, uSize, strPlain, uColor, uFlags);
    DrawCacheItem(target, *pItem, rect, uColor, uFlags);
    if (m_aCache.Add(pItem) < 0)
        delete pItem;
    return 0;
}
