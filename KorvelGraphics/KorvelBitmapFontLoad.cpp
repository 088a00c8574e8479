// Bitmap font loading: descriptions from packs and paths, page images, page textures,
// glyph vertices, the built-in font, and release/restore around a GL context loss.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <GLES2/gl2.h>
#include <climits>
#include <cstring>
#include <new>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "KorvelGraphics/KorvelBitmapFontDefault.h"
#include "KorvelGraphics/KorvelSurface.h"

KE_RETVAL CKorvelBitmapFont::Startup(IKorvelApplication* pApp, CKorvelMediaPack& pack,
                                     const CKorvelString& strName, unsigned int uFlags)
{
    if (!pApp)
        return KE_ERR_INVALIDARG;
    m_pApp = pApp;
    if (!pack.GetItemCount())
        return KE_ERR_INVALIDARG;
    CKorvelXMLDataNode root;
    {
        // Keyed packs hand out a descrambled copy; the item is closed before the pages load.
        CKorvelMediaPackItem item;
        const KE_RETVAL iOpened = item.Open(pack, strName, 0);
        if (iOpened != KE_OK)
            return iOpened == KE_ERR_NOTFOUND ? KE_ERR_INVALIDARG : iOpened;
        const KE_RETVAL iParsed = root.StartupFromFile(item.GetFile(), item.GetSize());
        if (iParsed != KE_OK)
            return iParsed;
    }
    KE_RETVAL iResult = Startup(root);
    root.Shutdown();
    if (iResult != KE_OK)
        return iResult;
    if ((iResult = LoadFontImages(&pack, uFlags)) != KE_OK || (iResult = BuildFontVertices(uFlags)) != KE_OK)
        return iResult;
    m_uLoadFlags = uFlags;
    SetName(strName);
    return KE_OK;
}

KE_RETVAL CKorvelBitmapFont::Startup(IKorvelApplication* pApp, const CKorvelString& strPath,
                                     unsigned int uFlags)
{
    if (!pApp)
        return KE_ERR_INVALIDARG;
    m_pApp = pApp;
    CKorvelXMLDataNode root;
    KE_RETVAL iResult = root.StartupFromFile(strPath);
    if (iResult != KE_OK)
        return iResult;
    iResult = Startup(root);
    root.Shutdown();
    if (iResult != KE_OK)
        return iResult;
    if ((iResult = LoadFontImages(nullptr, uFlags)) != KE_OK ||
        (iResult = BuildFontVertices(uFlags)) != KE_OK)
        return iResult;
    m_uLoadFlags = uFlags;
    SetName(strPath);
    return KE_OK;
}

void CKorvelBitmapFont::Startup(IKorvelApplication* pApp)
{
    if (!pApp)
        return;
    m_pApp = pApp;
    m_pChars = new (std::nothrow) SKE_BMFONT_CHAR[KE_DEFAULTFONT_CHARS];
    if (!m_pChars)
        return;
    std::memcpy(m_pChars, g_KEDefaultFontChars, sizeof(g_KEDefaultFontChars));
    m_iCharCount = KE_DEFAULTFONT_CHARS;
    BuildLookupTable();

    SKE_BMFONT_IMAGE* pPage = new (std::nothrow) SKE_BMFONT_IMAGE();
    if (!pPage)
        return;
    pPage->strFile.Set("default_font_image.png");
    if (m_aPages.Add(pPage) < 0)
    {
        delete pPage;
        return;
    }
    pPage->pSurface = new (std::nothrow) CKorvelSurface;
    if (!pPage->pSurface ||
        pPage->pSurface->LoadFromMemory(pApp, const_cast<unsigned char*>(g_KEDefaultFontImage),
                                        g_KEDefaultFontImageSize, nullptr) != KE_OK)
        return;
    if (SurfaceToBits(*pPage->pSurface, pPage, 0) != KE_OK || BuildFontVertices(0) != KE_OK)
        return;
    m_uLineHeight = KE_DEFAULTFONT_LINEHEIGHT;
    m_uLoadFlags = 0;
    SetName(CKorvelString("default-font"));
}

KE_RETVAL CKorvelBitmapFont::LoadFontImages(CKorvelMediaPack* pPack, unsigned int uFlags)
{
    for (int i = 0; i < m_aPages.GetCount(); ++i)
    {
        SKE_BMFONT_IMAGE* pPage = PageAt(i);
        pPage->pSurface = new (std::nothrow) CKorvelSurface;
        if (!pPage->pSurface)
            return KE_ERR_OUTOFMEMORY;
        KE_RETVAL iResult;
        if (pPack)
            iResult = pPage->pSurface->LoadFromPack(m_pApp, pPack, pPage->strFile, 0, nullptr);
        else
        {
            iResult = pPage->pSurface->Load(m_pApp, pPage->strFile, nullptr);
            if (iResult != KE_OK)
            {
                CKorvelString strPath;
                IKorvelApplication::BuildFilepath(strPath, pPage->strFile);
                iResult = pPage->pSurface->Load(m_pApp, strPath, nullptr);
            }
        }
        if (iResult != KE_OK)
            return iResult;
        if ((iResult = SurfaceToBits(*pPage->pSurface, pPage, uFlags)) != KE_OK)
            return iResult;
    }
    return KE_OK;
}

KE_RETVAL CKorvelBitmapFont::SurfaceToBits(CKorvelSurface& surface, SKE_BMFONT_IMAGE* pPage,
                                           unsigned int uFlags)
{
    pPage->iWidth = surface.GetWidth();
    pPage->iHeight = surface.GetHeight();
    delete[] pPage->pBits;
    // The coverage stays for the software text path (blue channel of each pixel).
    pPage->pBits = new (std::nothrow) unsigned char[static_cast<size_t>(pPage->iWidth) * pPage->iHeight];
    if (!pPage->pBits)
        return KE_ERR_OUTOFMEMORY;
    unsigned char* pOut = pPage->pBits;
    for (int y = 0; y < pPage->iHeight; ++y)
        for (int x = 0; x < pPage->iWidth; ++x)
            *pOut++ = static_cast<unsigned char>(surface.GetPixelDIB(x, y) & 0xFF);

    if (pPage->uTexture && pPage->uTexture != surface.GetTexture())
        glDeleteTextures(1, &pPage->uTexture);
    pPage->uTexture = 0;
    if (uFlags & KE_FONT_RGBA_PAGES)
    {
        surface.SurfaceToTexture(GL_RGBA, GL_UNSIGNED_BYTE, 0);
        pPage->uTexture = surface.GetTexture();
        glBindTexture(GL_TEXTURE_2D, pPage->uTexture);
    }
    else
    {
        glGenTextures(1, &pPage->uTexture);
        glBindTexture(GL_TEXTURE_2D, pPage->uTexture);
        // Rows of coverage bytes are not padded to four bytes.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, pPage->iWidth, pPage->iHeight, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                     pPage->pBits);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Pages whose sides are not powers of two are complete only when clamped.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return KE_OK;
}

KE_RETVAL CKorvelBitmapFont::BuildFontVertices(unsigned int uFlags)
{
    delete[] m_pVertices;
    m_pVertices = new (std::nothrow) SKE_BMFONT_VERTEX[static_cast<size_t>(m_iCharCount) * 4];
    if (!m_pVertices)
        return KE_ERR_OUTOFMEMORY;
    for (int i = 0; i < m_iCharCount; ++i)
    {
        const SKE_BMFONT_CHAR& c = m_pChars[i];
        const SKE_BMFONT_IMAGE* pPage =
            c.iPage >= 0 && c.iPage < m_aPages.GetCount() ? PageAt(c.iPage) : nullptr;
        const float fPw = pPage && pPage->iWidth > 0 ? static_cast<float>(pPage->iWidth) : 1.0f;
        const float fPh = pPage && pPage->iHeight > 0 ? static_cast<float>(pPage->iHeight) : 1.0f;
        const float x = static_cast<float>(c.iX), y = static_cast<float>(c.iY);
        const float w = static_cast<float>(c.iWidth), h = static_cast<float>(c.iHeight);
        SKE_BMFONT_VERTEX* v = m_pVertices + static_cast<size_t>(i) * 4;
        v[0] = {0.0f, 0.0f, x / fPw, y / fPh};
        v[1] = {0.0f, -2.0f * h, x / fPw, (y + h) / fPh};
        v[2] = {2.0f * w, -2.0f * h, (x + w) / fPw, (y + h) / fPh};
        v[3] = {2.0f * w, 0.0f, (x + w) / fPw, y / fPh};
    }
    CKorvelGraphicsExt_GLES2* pExt =
        m_pApp ? dynamic_cast<CKorvelGraphicsExt_GLES2*>(m_pApp->GetGraphicsExtension()) : nullptr;
    m_pProgram = pExt ? pExt->GetTextProgram((uFlags & KE_FONT_RGBA_PAGES) ? 1 : 0) : nullptr;
    return KE_OK;
}

void CKorvelBitmapFont::Release()
{
    delete[] m_pVertices;
    m_pVertices = nullptr;
    for (int i = 0; i < m_aPages.GetCount(); ++i)
    {
        SKE_BMFONT_IMAGE* pPage = PageAt(i);
        const bool bSurfaceOwned = pPage->pSurface && pPage->uTexture == pPage->pSurface->GetTexture();
        if (pPage->pSurface)
            pPage->pSurface->ReleaseTexture();
        if (pPage->uTexture && !bSurfaceOwned)
            glDeleteTextures(1, &pPage->uTexture);
        pPage->uTexture = 0;
    }
    if (m_pCacheSurface)
        m_pCacheSurface->ReleaseTexture();
}

void CKorvelBitmapFont::Restore()
{
    for (int i = 0; i < m_aPages.GetCount(); ++i)
        if (PageAt(i)->pSurface)
            SurfaceToBits(*PageAt(i)->pSurface, PageAt(i), m_uLoadFlags);
    BuildFontVertices(m_uLoadFlags);
    if (m_pCacheSurface)
        m_pCacheSurface->RestoreTexture();
}
