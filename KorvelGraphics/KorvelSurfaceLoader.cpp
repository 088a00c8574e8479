// Image decoding into surfaces: the platform library decodes into 32-bit B, G, R, A rows
// (resized when asked), and the rows are converted into the surface's format with the
// colour premultiplied by alpha.
#include "KorvelGraphics/KorvelSurfaceLoader.h"

#include <cstdlib>
#include <new>

#include "KorvelCommon/KorvelFile.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "KorvelGraphics/KorvelPaletteProvider.h"
#include "PlatformImage.h"

namespace
{

// Surfaces loaded without an application (tools, tests, early start-up) decode through a
// library handle of their own, attached on first use.
class CSharedImageLibrary
{
public:
    static plat::img_lib_t Get()
    {
        static CSharedImageLibrary s_Library;
        return s_Library.m_pLib;
    }

private:
    CSharedImageLibrary() { plat::img_lib_attach(&m_pLib); }
    ~CSharedImageLibrary()
    {
        if (m_pLib)
            plat::img_lib_detach(m_pLib);
    }
    plat::img_lib_t m_pLib = nullptr;
};

plat::img_lib_t ImageLibrary(IKorvelApplication* pApp)
{
    plat::img_lib_t pLib = pApp ? pApp->GetImageLibrary() : nullptr;
    return pLib ? pLib : CSharedImageLibrary::Get();
}

// Red, green and blue of one source pixel; formats without a reader leave them as they are.
void ReadRgb(const unsigned char* p, eKET_SURFACEFORMAT eFormat, unsigned int& r, unsigned int& g,
             unsigned int& b)
{
    const unsigned int w = p[0] | static_cast<unsigned int>(p[1]) << 8;
    switch (eFormat)
    {
    case KE_SURFACE_ABGR8888:
        r = p[0], g = p[1], b = p[2];
        break;
    case KE_SURFACE_ARGB8888:
        b = p[0], g = p[1], r = p[2];
        break;
    case KE_SURFACE_RGB565:
        b = (w << 3) & 255, g = (w >> 3) & 252, r = (w >> 11) << 3;
        break;
    case KE_SURFACE_RGB555:
        b = (w << 3) & 255, g = (w >> 2) & 248, r = (w >> 7) & 248;
        break;
    case KE_SURFACE_RGB444:
        b = (w << 4) & 255, g = w & 240, r = (w >> 4) & 240;
        break;
    default:
        break;
    }
}

void Put16(unsigned char* p, unsigned int w)
{
    p[0] = static_cast<unsigned char>(w);
    p[1] = static_cast<unsigned char>(w >> 8);
}

// One pixel in the target's format.
void WritePixel(unsigned char* p, eKET_SURFACEFORMAT eFormat, unsigned int r, unsigned int g, unsigned int b,
                unsigned int a, const unsigned char* pLookup)
{
    switch (eFormat)
    {
    case KE_SURFACE_ARGB8888:
        p[0] = static_cast<unsigned char>(b), p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(r), p[3] = static_cast<unsigned char>(a);
        break;
    case KE_SURFACE_ABGR8888:
        p[0] = static_cast<unsigned char>(r), p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(b), p[3] = static_cast<unsigned char>(a);
        break;
    case KE_SURFACE_RGB888:
        p[0] = static_cast<unsigned char>(r), p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(b);
        break;
    case KE_SURFACE_RGB565:
        Put16(p, ((g >> 2) << 5) | ((r >> 3) << 11) | (b >> 3));
        break;
    case KE_SURFACE_RGB555:
        Put16(p, ((g >> 3) << 5) | ((r >> 3) << 10) | (b >> 3));
        break;
    case KE_SURFACE_RGB444:
        Put16(p, (g & 0xF0) | (b >> 4) | ((r >> 4) << 8));
        break;
    case KE_SURFACE_P8:
        p[0] = pLookup ? pLookup[(g & 0xF0) | (b >> 4) | ((r >> 4) << 8)] : 0;
        break;
    default:
        break;
    }
}

int BytesPerPixel(eKET_SURFACEFORMAT eFormat)
{
    static const int s_aiBytes[8] = {0, 1, 2, 2, 2, 3, 4, 4};
    return eFormat >= 0 && eFormat <= 7 ? s_aiBytes[eFormat] : 0;
}

} // namespace

KE_RETVAL CKorvelSurfaceLoader::LoadImageFromFile(CKorvelSurface& surface, CKorvelFile& file,
                                                  unsigned int uSize, SKE_SURFACEDESC& desc)
{
    if (uSize == 0)
        return KE_ERR_DECODE;
    const KE_RETVAL ret = LoadImageBlackberry(surface.GetApplication(), desc, surface, file, uSize);
    if (ret != KE_OK)
        return ret;
    if (desc.uFlags & KE_SURFACEDESC_TEXTURE)
        return surface.SurfaceToTexture(0);
    return KE_OK;
}

KE_RETVAL LoadImageBlackberry(IKorvelApplication* pApp, SKE_SURFACEDESC& desc, CKorvelSurface& surface,
                              CKorvelFile& file, unsigned int uSize)
{
    // No more memory than the file can fill: a short file is decoded from what it holds,
    // never from unread memory.
    const int iLeft = file.GetSize() - file.GetPosition();
    if (iLeft >= 0 && uSize > static_cast<unsigned int>(iLeft))
        uSize = static_cast<unsigned int>(iLeft);
    if (uSize == 0)
        return KE_ERR_DECODE;
    unsigned char* pBytes = new (std::nothrow) unsigned char[uSize];
    if (!pBytes)
        return KE_ERR_OUTOFMEMORY;
    const unsigned int uRead = file.Read(pBytes, uSize);
    plat::io_stream_t* pStream = plat::io_open(plat::IO_MEMORY, plat::IO_READ, uRead, pBytes);
    if (!pStream)
    {
        delete[] pBytes;
        return KE_ERR_OUTOFMEMORY;
    }
    plat::img_t image = {};
    image.format = plat::IMG_FMT_ARGB8888_LE;
    image.flags = plat::IMG_FORMAT;
    const int iResult = plat::img_load(ImageLibrary(pApp), pStream, nullptr, &image);
    plat::io_close(pStream);
    delete[] pBytes;
    if (iResult != plat::IMG_ERR_OK)
        return KE_ERR_DECODE;

    if (desc.iWidth || desc.iHeight)
    {
        // A requested side of 0 keeps the image's own; a negative one is refused.
        plat::img_t resized = {};
        resized.w = desc.iWidth > 0 ? static_cast<unsigned int>(desc.iWidth) : desc.iWidth ? ~0u : 0;
        resized.h = desc.iHeight > 0 ? static_cast<unsigned int>(desc.iHeight) : desc.iHeight ? ~0u : 0;
        const int iResize = plat::img_resize_fs(&image, &resized);
        free(image.data);
        if (iResize != plat::IMG_ERR_OK)
            return iResize == plat::IMG_ERR_MEM ? KE_ERR_OUTOFMEMORY : KE_ERR_DECODE;
        image = resized;
    }

    const int iWidth = static_cast<int>(image.w), iHeight = static_cast<int>(image.h);
    const SKE_SURFACEDESC source = {iWidth, iHeight, iWidth * 4, KE_SURFACE_ARGB8888, 0, 0};
    const unsigned int uHasAlpha = (image.format & plat::IMG_FMT_ALPHA) ? 1 : 0;
    const KE_RETVAL ret =
        CKorvelSurfaceLoader::ImageToSurface(pApp, image.data, source, uHasAlpha, 1, surface, desc);
    free(image.data);
    return ret;
}

KE_RETVAL CKorvelSurfaceLoader::ImageToSurface(IKorvelApplication* pApp, const void* pPixels,
                                               const SKE_SURFACEDESC& source, unsigned int uHasAlpha,
                                               unsigned int uPremultiply, CKorvelSurface& surface,
                                               const SKE_SURFACEDESC& desc)
{
    if (!pPixels || source.iWidth <= 0 || source.iHeight <= 0)
        return KE_ERR_INVALIDARG;
    SKE_SURFACEDESC d = {source.iWidth, source.iHeight, 0, desc.eFormat, desc.uFlags, 0};
    if (surface.GetWidth() != source.iWidth || surface.GetHeight() != source.iHeight)
    {
        const KE_RETVAL ret = surface.Create(pApp, d);
        if (ret != KE_OK)
            return ret;
    }
    const int iBpp = surface.GetBpp();
    if (uHasAlpha && (iBpp == 8 || iBpp == 16))
    {
        const KE_RETVAL ret = surface.CreateAlphaChannel();
        if (ret != KE_OK)
        {
            surface.Release();
            return ret;
        }
    }

    unsigned char* pTarget = static_cast<unsigned char*>(surface.Lock(&d, 0));
    unsigned char* pAlpha = surface.GetAlphaChannel();
    const unsigned char* pLookup = d.eFormat == KE_SURFACE_P8
                                       ? CKorvelPaletteProvider::GetLookupTable(surface.GetApplication())
                                       : nullptr;
    const int iSrcBytes = source.iPitch / source.iWidth;
    const int iDstBytes = BytesPerPixel(d.eFormat);
    const bool bSourceAlpha = uHasAlpha && iSrcBytes == 4;
    unsigned int r = 255, g = 255, b = 255;
    for (int y = 0; y < source.iHeight; ++y)
    {
        const unsigned char* pSrc =
            static_cast<const unsigned char*>(pPixels) + static_cast<long>(y) * source.iPitch;
        unsigned char* pDst = pTarget + static_cast<long>(y) * d.iPitch;
        for (int x = 0; x < source.iWidth; ++x, pSrc += iSrcBytes, pDst += iDstBytes)
        {
            ReadRgb(pSrc, source.eFormat, r, g, b);
            const unsigned int a = bSourceAlpha ? pSrc[3] : 255;
            unsigned int pr = r, pg = g, pb = b;
            if (uPremultiply && bSourceAlpha && a < 255)
                pr = r * a / 255, pg = g * a / 255, pb = b * a / 255;
            WritePixel(pDst, d.eFormat, pr, pg, pb, a, pLookup);
            if (pAlpha)
                pAlpha[static_cast<long>(y) * source.iWidth + x] = static_cast<unsigned char>(a);
        }
    }
    surface.Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurfaceLoader::SaveImage(CKorvelSurface& surface, const CKorvelString&)
{
    return surface.GetApplication() ? KE_ERR_NOTSUPPORTED : KE_ERR_NOTSTARTED;
}
