// The alpha plane (surfaces below 32 bits), applying alpha images, grey-to-alpha and Negate.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <cstring>
#include <new>

using namespace KorvelPixel;

KE_RETVAL CKorvelSurface::CreateAlphaChannel()
{
    if (Is32(m_desc.eFormat))
        return KE_ERR_DECODE;
    if (m_desc.iWidth <= 0 || m_desc.iHeight <= 0)
        return KE_ERR_NOTSTARTED;
    ReleaseAlphaChannel();
    m_pAlpha = new (std::nothrow) unsigned char[static_cast<size_t>(m_desc.iWidth) * m_desc.iHeight];
    return m_pAlpha ? KE_OK : KE_ERR_OUTOFMEMORY;
}

void CKorvelSurface::ReleaseAlphaChannel()
{
    delete[] m_pAlpha;
    m_pAlpha = nullptr;
}

namespace
{
// Colour premultiplied by alpha a (0..254) in the pixel's own layout; the image loader
// hands out premultiplied colour too, and the alpha draws expect it.
inline unsigned int Premultiply16(int iFormat, unsigned int p, unsigned int a)
{
    switch (iFormat)
    {
    case KE_SURFACE_RGB444:
    {
        unsigned int r = (p >> 4) & 0xF0, g = p & 0xF0, b = (p << 4) & 0xF0;
        return (((a * r) >> 12) << 8) | (((a * g) >> 12) << 4) | ((a * b) >> 12);
    }
    case KE_SURFACE_RGB555:
    {
        unsigned int r = (p >> 7) & 0xF8, g = (p >> 2) & 0xF8, b = (p << 3) & 0xFF;
        return (((a * r) >> 11) << 10) | (((a * g) >> 11) << 5) | ((a * b) >> 11);
    }
    default:
        return ((a * R8(p)) & 0xF800) | (((a * G8(p)) >> 10) << 5) | ((a * B8(p)) >> 11);
    }
}
} // namespace

KE_RETVAL CKorvelSurface::ApplyAlphaChannel(const SKE_SURFACEDESC& desc, const void* pAlpha)
{
    if (desc.eFormat != KE_SURFACE_P8)
        return KE_ERR_DECODE;
    if (desc.iWidth != m_desc.iWidth || desc.iHeight != m_desc.iHeight)
        return KE_ERR_BADDATA;
    if (!pAlpha)
        return KE_ERR_INVALIDARG;
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    m_uLockFlags = 0;
    const int w = m_desc.iWidth, h = m_desc.iHeight;
    const unsigned char* pImage = static_cast<const unsigned char*>(pAlpha);
    const int fmt = m_desc.eFormat;

    if (Is32(fmt))
    {
        for (int y = 0; y < h; ++y)
        {
            unsigned int* p = reinterpret_cast<unsigned int*>(Row(y));
            const unsigned char* pa = pImage + static_cast<long>(y) * desc.iPitch;
            for (int x = 0; x < w; ++x)
            {
                unsigned int a = pa[x];
                if (a == 255)
                    continue;
                unsigned int c = p[x];
                p[x] = (a << 24) | (((a * ((c >> 16) & 0xFF)) >> 8) << 16) |
                       (((a * ((c >> 8) & 0xFF)) >> 8) << 8) | ((a * (c & 0xFF)) >> 8);
            }
        }
    }
    else
    {
        KE_RETVAL ret = CreateAlphaChannel();
        if (ret != KE_OK)
            return ret;
        const unsigned int* pPalette = fmt == KE_SURFACE_P8 ? Palette() : nullptr;
        const unsigned char* pLut = fmt == KE_SURFACE_P8 ? LookupTable() : nullptr;
        for (int y = 0; y < h; ++y)
        {
            const unsigned char* pa = pImage + static_cast<long>(y) * desc.iPitch;
            std::memcpy(AlphaAddress(0, y), pa, w);
            unsigned char* pRow = Row(y);
            for (int x = 0; x < w; ++x)
            {
                unsigned int a = pa[x];
                if (a == 255)
                    continue;
                if (Is16(fmt))
                {
                    unsigned short* p = reinterpret_cast<unsigned short*>(pRow) + x;
                    *p = static_cast<unsigned short>(Premultiply16(fmt, *p, a));
                }
                else if (fmt == KE_SURFACE_RGB888)
                {
                    for (int k = 0; k < 3; ++k)
                        pRow[3 * x + k] = static_cast<unsigned char>((a * pRow[3 * x + k]) >> 8);
                }
                else if (pPalette && pLut)
                {
                    unsigned int c = pPalette[pRow[x]];
                    pRow[x] = pLut[LutIndex((a * ((c >> 16) & 0xFF)) >> 8, (a * ((c >> 8) & 0xFF)) >> 8,
                                            (a * (c & 0xFF)) >> 8)];
                }
            }
        }
    }
    Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurface::ApplyAlphaChannel(CKorvelSurface& mask)
{
    if (mask.m_desc.iWidth != m_desc.iWidth || mask.m_desc.iHeight != m_desc.iHeight)
        return KE_ERR_INVALIDARG;
    const int w = mask.m_desc.iWidth, h = mask.m_desc.iHeight;
    unsigned char* pImage = new (std::nothrow) unsigned char[static_cast<size_t>(w) * h + 1];
    if (!pImage)
        return KE_ERR_OUTOFMEMORY;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pImage[static_cast<long>(y) * w + x] = static_cast<unsigned char>(mask.GetPixelDIB(x, y));
    SKE_SURFACEDESC desc = {w, h, w, KE_SURFACE_P8, 0, mask.m_desc.iBytesPerPixel};
    KE_RETVAL ret = ApplyAlphaChannel(desc, pImage);
    delete[] pImage;
    return ret;
}

KE_RETVAL CKorvelSurface::AlphaToGrayscaleValue(const CKorvelRect<int>& rect)
{
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    const int fmt = m_desc.eFormat;
    if (!Is32(fmt) && !m_pAlpha)
        CreateAlphaChannel();
    if (rect.right < 0 || rect.left > m_desc.iWidth || rect.bottom < 0 || rect.top > m_desc.iHeight)
        return KE_OK;
    m_uLockFlags = 0;
    const int left = rect.left < 0 ? 0 : rect.left, top = rect.top < 0 ? 0 : rect.top;
    const int right = rect.right > m_desc.iWidth ? m_desc.iWidth : rect.right;
    const int bottom = rect.bottom > m_desc.iHeight ? m_desc.iHeight : rect.bottom;
    for (int y = top; y < bottom; ++y)
    {
        if (Is32(fmt))
        {
            unsigned int* p = reinterpret_cast<unsigned int*>(Row(y));
            for (int x = left; x < right; ++x)
            {
                unsigned int c = p[x];
                unsigned int grey = (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3;
                p[x] = (c & 0xFFFFFF) | (grey << 24);
            }
        }
        else if (Is16(fmt) && m_pAlpha)
        {
            const unsigned short* p = reinterpret_cast<const unsigned short*>(Row(y));
            unsigned char* pa = AlphaAddress(0, y);
            for (int x = left; x < right; ++x)
            {
                unsigned int v = p[x];
                pa[x] = static_cast<unsigned char>(((v >> 11) * 8 + ((v >> 3) & 0xFC) + (v & 0x1F) * 8) / 3);
            }
        }
    }
    // Deliberately no Unlock: the texture keeps its previous contents.
    return KE_OK;
}

void CKorvelSurface::Negate()
{
    const int fmt = m_desc.eFormat;
    if (fmt == KE_SURFACE_P8)
        return;
    m_uLockFlags = 0;
    if (m_pPixels && IsValidFormat(fmt))
    {
        // Colour bits only: an opaque 32-bit pixel stays opaque.
        static const unsigned int s_auBits[8] = {0, 0, 0x0FFF, 0x7FFF, 0xFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
        const unsigned int bits = s_auBits[fmt];
        const int w = m_desc.iWidth;
        for (int y = 0; y < m_desc.iHeight; ++y)
        {
            unsigned char* pRow = Row(y);
            if (Is32(fmt))
            {
                unsigned int* p = reinterpret_cast<unsigned int*>(pRow);
                for (int x = 0; x < w; ++x)
                    p[x] ^= bits;
            }
            else if (Is16(fmt))
            {
                unsigned short* p = reinterpret_cast<unsigned short*>(pRow);
                for (int x = 0; x < w; ++x)
                    p[x] = static_cast<unsigned short>(p[x] ^ bits);
            }
            else
            {
                for (int x = 0; x < 3 * w; ++x)
                    pRow[x] = static_cast<unsigned char>(~pRow[x]);
            }
        }
    }
    Unlock();
}
