// Drawing between surfaces of different formats. The per-format kernels assume both sides
// share one pixel layout; other pairs go through the colour values (GetPixelDIB on the
// source, MakeColor on the destination), row by row. Formats whose colours have no such
// value (12-, 15- and 24-bit sources, 12- and 15-bit destinations) are refused.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <new>

using namespace KorvelPixel;

namespace
{
const int kChunk = 512; // pixels converted per pass through the stack buffers

bool CanReadColours(int iFormat)
{
    return iFormat == KE_SURFACE_P8 || iFormat == KE_SURFACE_RGB565 || Is32(iFormat);
}

bool CanWriteColours(int iFormat)
{
    return iFormat == KE_SURFACE_P8 || iFormat == KE_SURFACE_RGB565 || iFormat == KE_SURFACE_RGB888 ||
           Is32(iFormat);
}

// GetPixelDIB of one raw value (alpha is the plane's byte or 255 where the format has none).
inline unsigned int RawToArgb(int iFormat, unsigned int raw, unsigned int alpha, const unsigned int* pPalette)
{
    switch (iFormat)
    {
    case KE_SURFACE_P8:
        return pPalette ? ((pPalette[raw & 0xFF] & 0xFFFFFF) | (alpha << 24)) : 0;
    case KE_SURFACE_RGB565:
        return ((raw >> 11) << 19) | (((raw >> 5) & 63) << 10) | ((raw & 31) << 3) | (alpha << 24);
    case KE_SURFACE_ARGB8888:
        return raw;
    case KE_SURFACE_ABGR8888:
        return SwapRB(raw);
    default:
        return 0xFFFFFFFF;
    }
}

// The colour-key test on a raw source pixel: 16-bit formats compare the whole value,
// 24- and 32-bit ones the low 24 bits, palette surfaces the index.
inline bool IsKeyed(int iFormat, unsigned int raw, unsigned int key)
{
    return (Is32(iFormat) ? (raw & 0xFFFFFF) : raw) == key;
}

// The common 32-bit to 5-6-5 copy in one pass: MakeColor of GetPixelDIB, fused.
KORVEL_HOT_ROW void Pack8888To565Row(unsigned short* d, const unsigned int* s, int n, bool bRedLow)
{
    if (bRedLow)
        for (int i = 0; i < n; ++i)
            d[i] = static_cast<unsigned short>(((s[i] << 8) & 0xF800) | ((s[i] >> 5) & 0x07E0) |
                                               ((s[i] >> 19) & 0x1F));
    else
        for (int i = 0; i < n; ++i)
            d[i] = static_cast<unsigned short>(((s[i] >> 8) & 0xF800) | ((s[i] >> 5) & 0x07E0) |
                                               ((s[i] >> 3) & 0x1F));
}

bool HasAlphaInfo(const CKorvelSurface& s)
{
    return s.GetAlphaChannel() != nullptr || Is32(s.GetFormat());
}
} // namespace

void CKorvelSurface::ReadRowDIB(int x, int y, int iCount, bool bMirror, unsigned int* pOut) const
{
    const int step = bMirror ? -1 : 1;
    const unsigned char* pRow = Row(y);
    const unsigned char* pAlpha = m_pAlpha ? AlphaAddress(0, y) : nullptr;
    switch (m_desc.eFormat)
    {
    case KE_SURFACE_P8:
    {
        const unsigned int* pPalette = Palette();
        for (int i = 0; i < iCount; ++i)
        {
            int sx = x + i * step;
            pOut[i] = RawToArgb(KE_SURFACE_P8, pRow[sx], pAlpha ? pAlpha[sx] : 255u, pPalette);
        }
        break;
    }
    case KE_SURFACE_RGB565:
    {
        const unsigned short* p = reinterpret_cast<const unsigned short*>(pRow);
        for (int i = 0; i < iCount; ++i)
        {
            int sx = x + i * step;
            pOut[i] = RawToArgb(KE_SURFACE_RGB565, p[sx], pAlpha ? pAlpha[sx] : 255u, nullptr);
        }
        break;
    }
    case KE_SURFACE_ARGB8888:
    case KE_SURFACE_ABGR8888:
    {
        const unsigned int* p = reinterpret_cast<const unsigned int*>(pRow) + x;
        const bool bSwap = m_desc.eFormat == KE_SURFACE_ABGR8888;
        if (!bMirror)
        {
            if (bSwap)
                for (int i = 0; i < iCount; ++i)
                    pOut[i] = SwapRB(p[i]);
            else
                for (int i = 0; i < iCount; ++i)
                    pOut[i] = p[i];
        }
        else
        {
            for (int i = 0; i < iCount; ++i)
                pOut[i] = bSwap ? SwapRB(p[-i]) : p[-i];
        }
        break;
    }
    default:
        for (int i = 0; i < iCount; ++i)
            pOut[i] = 0xFFFFFFFF;
        break;
    }
}

void CKorvelSurface::PackRowDIB(const unsigned int* pArgb, int iCount, unsigned char* pDst) const
{
    switch (m_desc.eFormat)
    {
    case KE_SURFACE_P8:
    {
        const unsigned char* pLut = LookupTable();
        for (int i = 0; i < iCount; ++i)
        {
            unsigned int c = pArgb[i];
            pDst[i] = pLut ? pLut[LutIndex((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)] : 0;
        }
        break;
    }
    case KE_SURFACE_RGB565:
    {
        unsigned short* p = reinterpret_cast<unsigned short*>(pDst);
        for (int i = 0; i < iCount; ++i)
        {
            unsigned int c = pArgb[i];
            p[i] =
                static_cast<unsigned short>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F));
        }
        break;
    }
    case KE_SURFACE_RGB888:
        for (int i = 0; i < iCount; ++i)
            Write24(pDst + 3 * static_cast<ptrdiff_t>(i), pArgb[i] & 0xFFFFFF);
        break;
    case KE_SURFACE_ARGB8888:
    {
        unsigned int* p = reinterpret_cast<unsigned int*>(pDst);
        for (int i = 0; i < iCount; ++i)
            p[i] = pArgb[i];
        break;
    }
    case KE_SURFACE_ABGR8888:
    {
        unsigned int* p = reinterpret_cast<unsigned int*>(pDst);
        for (int i = 0; i < iCount; ++i)
            p[i] = SwapRB(pArgb[i]);
        break;
    }
    default:
    {
        // Formats without a colour packing store MakeColor's 0xFFFFFFFF.
        unsigned short* p = reinterpret_cast<unsigned short*>(pDst);
        for (int i = 0; i < iCount; ++i)
            p[i] = 0xFFFF;
        break;
    }
    }
}

bool CKorvelSurface::ClipToSource(const CKorvelSurface& src, CKorvelRect<int>& rect, int& x, int& y,
                                  unsigned int uFlags)
{
    int cutLeft = rect.left < 0 ? -rect.left : 0;
    int cutRight = rect.right > src.m_desc.iWidth ? rect.right - src.m_desc.iWidth : 0;
    int cutTop = rect.top < 0 ? -rect.top : 0;
    int cutBottom = rect.bottom > src.m_desc.iHeight ? rect.bottom - src.m_desc.iHeight : 0;
    // A mirrored axis shows the source's far side first, so its cut moves the start.
    x += (uFlags & KE_DRAW_MIRROR_H) ? cutRight : cutLeft;
    y += (uFlags & KE_DRAW_MIRROR_V) ? cutBottom : cutTop;
    rect.left += cutLeft;
    rect.right -= cutRight;
    rect.top += cutTop;
    rect.bottom -= cutBottom;
    return rect.right > rect.left && rect.bottom > rect.top;
}

KE_RETVAL CKorvelSurface::DrawConverted(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                                        unsigned int uFlags)
{
    const int srcFormat = src.m_desc.eFormat, dstFormat = m_desc.eFormat;
    if (!CanReadColours(srcFormat) || !CanWriteColours(dstFormat))
        return KE_ERR_DECODE;
    BeginWrite(&src);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const bool bMirror = (uFlags & KE_DRAW_MIRROR_H) != 0;
    const bool bKey = (uFlags & KE_DRAW_COLORKEY) != 0;
    const bool bHalf = (uFlags & KE_DRAW_HALFBLEND) != 0;
    const bool bAlphaOnly = (uFlags & KE_DRAW_ALPHAONLY) != 0;
    const bool bPlaneCopy = m_pAlpha && HasAlphaInfo(src);
    const bool bPlain = !bKey && !bHalf && !bAlphaOnly;
    const int bpp = m_desc.iBytesPerPixel;
    const unsigned int mask = GetMiddleMask();
    unsigned int auArgb[kChunk];
    alignas(4) unsigned char auRaw[kChunk * 4];

    const bool bFused =
        bPlain && !bMirror && !bPlaneCopy && Is32(srcFormat) && dstFormat == KE_SURFACE_RGB565;
    for (int j = 0; j < h; ++j)
    {
        const int sy = (uFlags & KE_DRAW_MIRROR_V) ? rect.bottom - 1 - j : rect.top + j;
        const int dy = y + j;
        if (bFused)
        {
            Pack8888To565Row(reinterpret_cast<unsigned short*>(PixelAddress(x, dy)),
                             reinterpret_cast<const unsigned int*>(src.PixelAddress(rect.left, sy)), w,
                             srcFormat == KE_SURFACE_ABGR8888);
            continue;
        }
        for (int i0 = 0; i0 < w; i0 += kChunk)
        {
            const int n = (w - i0 < kChunk) ? w - i0 : kChunk;
            const int sx = bMirror ? rect.right - 1 - i0 : rect.left + i0;
            src.ReadRowDIB(sx, sy, n, bMirror, auArgb);
            unsigned char* pDst = PixelAddress(x + i0, dy);
            unsigned char* pPlane = m_pAlpha ? AlphaAddress(x + i0, dy) : nullptr;
            if (bPlain)
            {
                PackRowDIB(auArgb, n, pDst);
                if (bPlaneCopy)
                    for (int i = 0; i < n; ++i)
                        pPlane[i] = static_cast<unsigned char>(auArgb[i] >> 24);
                continue;
            }
            PackRowDIB(auArgb, n, auRaw);
            for (int i = 0; i < n; ++i)
            {
                if (bKey && IsKeyed(srcFormat, src.GetPixel(bMirror ? sx - i : sx + i, sy), src.m_uColorKey))
                    continue;
                if (bPlaneCopy)
                    pPlane[i] = static_cast<unsigned char>(auArgb[i] >> 24);
                unsigned char* pd = pDst + static_cast<ptrdiff_t>(i) * bpp;
                if (bAlphaOnly)
                {
                    if (Is32(dstFormat))
                        pd[3] = static_cast<unsigned char>(auArgb[i] >> 24);
                    continue;
                }
                switch (bpp)
                {
                case 1:
                    // Palette pixels cannot be averaged: a checkerboard stands for 50%.
                    if (!bHalf || ((i0 + i) & 1) == (j & 1))
                        *pd = auRaw[i];
                    break;
                case 2:
                {
                    unsigned int v = reinterpret_cast<unsigned short*>(auRaw)[i];
                    unsigned short* p16 = reinterpret_cast<unsigned short*>(pd);
                    *p16 = static_cast<unsigned short>(bHalf ? ((*p16 & mask) >> 1) + ((v & mask) >> 1) : v);
                    break;
                }
                case 3:
                {
                    unsigned int v = Read24(auRaw + 3 * static_cast<ptrdiff_t>(i));
                    Write24(pd, bHalf ? ((Read24(pd) & mask) >> 1) + ((v & mask) >> 1) : v);
                    break;
                }
                default:
                {
                    unsigned int v = reinterpret_cast<unsigned int*>(auRaw)[i];
                    unsigned int* p32 = reinterpret_cast<unsigned int*>(pd);
                    *p32 = bHalf ? ((*p32 & mask) >> 1) + ((v & mask) >> 1) : v;
                    break;
                }
                }
            }
        }
    }
    EndWrite(&src);
    return KE_OK;
}

CKorvelSurface* CKorvelSurface::ConvertedCopy(CKorvelSurface& src, const CKorvelRect<int>& rect,
                                              CKorvelRect<int>& outRect)
{
    const int srcFormat = src.m_desc.eFormat;
    if (!CanReadColours(srcFormat) || !CanWriteColours(m_desc.eFormat))
        return nullptr;
    CKorvelSurface* pCopy = new (std::nothrow) CKorvelSurface;
    if (!pCopy)
        return nullptr;
    SKE_SURFACEDESC desc = {rect.right - rect.left, rect.bottom - rect.top, 0, m_desc.eFormat, 0, 0};
    bool bAlpha = !Is32(m_desc.eFormat) && HasAlphaInfo(src);
    if (pCopy->Create(m_pApp, desc) != KE_OK || (bAlpha && pCopy->CreateAlphaChannel() != KE_OK))
    {
        pCopy->Shutdown();
        delete pCopy;
        return nullptr;
    }
    unsigned int auArgb[kChunk];
    for (int j = 0; j < desc.iHeight; ++j)
        for (int i0 = 0; i0 < desc.iWidth; i0 += kChunk)
        {
            const int n = (desc.iWidth - i0 < kChunk) ? desc.iWidth - i0 : kChunk;
            src.ReadRowDIB(rect.left + i0, rect.top + j, n, false, auArgb);
            pCopy->PackRowDIB(auArgb, n, pCopy->PixelAddress(i0, j));
            if (bAlpha)
                for (int i = 0; i < n; ++i)
                    pCopy->AlphaAddress(i0, j)[i] = static_cast<unsigned char>(auArgb[i] >> 24);
        }
    // The key is a colour of the source; in the copy it is the same colour's value.
    pCopy->SetColorKey(MakeColor(RawToArgb(srcFormat, src.m_uColorKey, 255, src.Palette())));
    outRect.Set(0, 0, desc.iWidth, desc.iHeight);
    return pCopy;
}
