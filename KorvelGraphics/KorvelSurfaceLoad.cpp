// Filling a surface from an encoded image: from a path, a media pack item or a memory
// block, and the companion alpha image ("sky_alpha.jpg" for "sky.jpg") that gives an
// image without alpha its transparency.
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelGraphics/KorvelSurfaceLoader.h"

#include <new>

namespace
{

SKE_SURFACEDESC DescOrZero(const SKE_SURFACEDESC* pDesc)
{
    return pDesc ? *pDesc : SKE_SURFACEDESC();
}

bool WantsCompanion(const SKE_SURFACEDESC& desc)
{
    return (desc.uFlags & KE_SURFACEDESC_LOADALPHA) && !(desc.uFlags & KE_SURFACEDESC_COMPANION);
}

} // namespace

KE_RETVAL CKorvelSurface::Load(IKorvelApplication* pApp, const CKorvelString& strPath, SKE_SURFACEDESC* pDesc)
{
    m_pApp = pApp;
    CKorvelFile file;
    if (file.OpenFromFile(strPath, CKorvelFile::FLAG_READ) != KE_OK)
        return KE_ERR_FILEOPEN;
    SKE_SURFACEDESC desc = DescOrZero(pDesc);
    const int iSize = file.GetSize();
    const KE_RETVAL ret = CKorvelSurfaceLoader::LoadImageFromFile(
        *this, file, iSize > 0 ? static_cast<unsigned int>(iSize) : 0, desc);
    file.Close();
    // A failed companion leaves the image without alpha; the result is the image's.
    if (ret == KE_OK && WantsCompanion(desc))
        LoadExternalAlphaChannel(strPath, nullptr);
    return ret;
}

KE_RETVAL CKorvelSurface::LoadFromPack(IKorvelApplication* pApp, CKorvelMediaPack* pPack,
                                       const CKorvelString& strName, unsigned int uIndex,
                                       SKE_SURFACEDESC* pDesc)
{
    m_pApp = pApp;
    if (!pPack)
        return KE_ERR_INVALIDARG;
    CKorvelMediaPackItem item;
    KE_RETVAL ret = item.Open(*pPack, strName, uIndex);
    if (ret != KE_OK)
        return ret;
    SKE_SURFACEDESC desc = DescOrZero(pDesc);
    ret = CKorvelSurfaceLoader::LoadImageFromFile(*this, item.GetFile(), item.GetSize(), desc);
    item.Close();
    if (ret != KE_OK)
        return ret;
    SetName(strName);
    if (WantsCompanion(desc))
        LoadExternalAlphaChannel(strName, pPack);
    return ret;
}

KE_RETVAL CKorvelSurface::LoadFromMemory(IKorvelApplication* pApp, void* pData, unsigned int uSize,
                                         SKE_SURFACEDESC* pDesc)
{
    m_pApp = pApp;
    if (!pData || uSize == 0)
        return KE_ERR_INVALIDARG;
    CKorvelFile file;
    const KE_RETVAL ret = file.OpenFromMemory(pData, uSize, CKorvelFile::FLAG_READ);
    if (ret != KE_OK)
        return ret;
    SKE_SURFACEDESC desc = DescOrZero(pDesc);
    return CKorvelSurfaceLoader::LoadImageFromFile(*this, file, uSize, desc);
}

KE_RETVAL CKorvelSurface::LoadExternalAlphaChannel(const CKorvelString& strName, CKorvelMediaPack* pPack)
{
    const int iDot = strName.FindReverse('.', -1);
    if (iDot < 0)
        return KE_ERR_NOTFOUND;
    const CKorvelString strExtension = strName.Mid(iDot, -1);
    // PNG images carry their own alpha.
    if (strExtension.BeginsWith(CKorvelString(".png")))
        return KE_ERR_DECODE;
    CKorvelString strCompanion = strName.Mid(0, iDot);
    strCompanion.Add(CKorvelString("_alpha"));
    strCompanion.Add(strExtension);

    CKorvelSurface companion;
    SKE_SURFACEDESC desc = {0, 0, 0, m_desc.eFormat, KE_SURFACEDESC_COMPANION, 0};
    KE_RETVAL ret = pPack ? companion.LoadFromPack(m_pApp, pPack, strCompanion, 0, &desc)
                          : companion.Load(m_pApp, strCompanion, &desc);
    if (ret != KE_OK)
    {
        companion.Shutdown();
        return ret;
    }

    // The alpha image is the companion's blue channel.
    const int iWidth = companion.GetWidth(), iHeight = companion.GetHeight();
    unsigned char* pImage = new (std::nothrow) unsigned char[static_cast<size_t>(iWidth) * iHeight];
    if (!pImage)
    {
        companion.Shutdown();
        return KE_ERR_OUTOFMEMORY;
    }
    for (int y = 0; y < iHeight; ++y)
        for (int x = 0; x < iWidth; ++x)
            pImage[static_cast<size_t>(y) * iWidth + x] =
                static_cast<unsigned char>(companion.GetPixelDIB(x, y));
    companion.Shutdown();

    const SKE_SURFACEDESC alphaDesc = {iWidth, iHeight, iWidth, KE_SURFACE_P8, 0, 0};
    ret = ApplyAlphaChannel(alphaDesc, pImage);
    delete[] pImage;
    return ret;
}

KE_RETVAL CKorvelSurface::Save(const CKorvelString& strPath)
{
    return CKorvelSurfaceLoader::SaveImage(*this, strPath);
}
