// Same-scale blits onto a surface: Draw (with its whole-copy fast path and the alpha
// draws DrawAlpha_N) and the tinted DrawBlended, with centring and clipping. The source
// must be a software surface; its rectangle is first cut to the source itself.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <cstring>

using namespace KorvelPixel;

void CKorvelSurface::SetRect(const CKorvelRect<int>* pRect, CKorvelRect<int>& out,
                             IKorvelGraphicsContext* pContext)
{
    if (pRect)
        out = *pRect;
    else
        out.Set(0, 0, pContext->GetWidth(), pContext->GetHeight());
}

void CKorvelSurface::RectClip(int& x, int& y, const CKorvelRect<int>* pSrcRect, const CKorvelRect<int>* pClip,
                              CKorvelRect<int>* pOut, unsigned int uFlags) const
{
    CKorvelRect<int> clip = pClip ? *pClip : CKorvelRect<int>(0, 0, m_desc.iWidth, m_desc.iHeight);
    int w = pSrcRect->GetWidth(), h = pSrcRect->GetHeight();
    int sx = pSrcRect->left, sy = pSrcRect->top;
    // A mirrored axis shows the source back to front, so an overhang on one side of the
    // destination comes off the other side of the source.
    if (x < clip.left)
    {
        int over = clip.left - x;
        w -= over;
        x = clip.left;
        if (!(uFlags & KE_DRAW_MIRROR_H))
            sx += over;
    }
    if (x + w >= clip.right)
    {
        int over = x + w - clip.right;
        w = clip.right - x;
        if (uFlags & KE_DRAW_MIRROR_H)
            sx += over;
    }
    if (y < clip.top)
    {
        int over = clip.top - y;
        h -= over;
        y = clip.top;
        if (!(uFlags & KE_DRAW_MIRROR_V))
            sy += over;
    }
    if (y + h >= clip.bottom)
    {
        int over = y + h - clip.bottom;
        h = clip.bottom - y;
        if (uFlags & KE_DRAW_MIRROR_V)
            sy += over;
    }
    pOut->Set(sx, sy, sx + w, sy + h);
}

namespace
{
// Premultiplied source over destination, keeping the destination's alpha byte. Channels
// are packed as (R << 16) | (G << 8) | B without clamping, so colours that were not
// premultiplied carry into the next channel; a = 0 leaves the pixel.
inline unsigned int Over32(unsigned int d, unsigned int s)
{
    const unsigned int a = s >> 24, inv = 255 - a;
    const unsigned int rb = (s & 0xFF00FF) + (((d & 0xFF00FF) * inv >> 8) & 0xFF00FF);
    const unsigned int g = (s & 0xFF00) + (((d & 0xFF00) * inv >> 8) & 0xFF00);
    const unsigned int v = (d & 0xFF000000) | ((rb | g) & 0xFFFFFF);
    return a ? v : d;
}

KORVEL_HOT_ROW void Over32Row(unsigned int* d, const unsigned int* s, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] = Over32(d[i], s[i]);
}

// A 16-bit layout for the alpha draws: channels widened to 8 bits and packed back.
struct sLAYOUT16
{
    unsigned int rShift, gShift, bShift; // where each channel's field starts
    unsigned int rBits, gBits, bBits;
    static unsigned int Widen(unsigned int p, unsigned int shift, unsigned int bits)
    {
        return ((p >> shift) & ((1u << bits) - 1)) << (8 - bits);
    }
    unsigned int Over(unsigned int d, unsigned int s, unsigned int inv) const
    {
        unsigned int r = Widen(s, rShift, rBits) + ((Widen(d, rShift, rBits) * inv) >> 8);
        unsigned int g = Widen(s, gShift, gBits) + ((Widen(d, gShift, gBits) * inv) >> 8);
        unsigned int b = Widen(s, bShift, bBits) + ((Widen(d, bShift, bBits) * inv) >> 8);
        return ((r >> (8 - rBits)) << rShift) | ((g >> (8 - gBits)) << gShift) |
               ((b >> (8 - bBits)) << bShift);
    }
};

// The frame shared by the alpha draws: rows bottom-up with flag 8, right-to-left with
// flag 4, keyed pixels and alpha 0 skipped, alpha 255 copied, the rest blended.
template <int BPP, class FBlend>
void AlphaRows(CKorvelSurface& dst, int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
               unsigned int uFlags, unsigned int uKeyMask, bool bUseAlpha, FBlend blend)
{
    const int w = rect.GetWidth(), h = rect.GetHeight();
    const bool bKey = (uFlags & KE_DRAW_COLORKEY) != 0, bMirror = (uFlags & KE_DRAW_MIRROR_H) != 0;
    const unsigned int uKey = src.GetColorKey();
    const unsigned char* pPlane = bUseAlpha ? src.GetAlphaChannel() : nullptr;
    // Locking for writing is what the blit does to both surfaces anyway.
    SKE_SURFACEDESC sd, dd;
    const unsigned char* pSrcPixels = static_cast<const unsigned char*>(src.Lock(&sd, 0));
    unsigned char* pDstPixels = static_cast<unsigned char*>(dst.Lock(&dd, 0));
    for (int j = 0; j < h; ++j)
    {
        const int sy = (uFlags & KE_DRAW_MIRROR_V) ? rect.bottom - 1 - j : rect.top + j;
        const unsigned char* pRow = pSrcPixels + static_cast<long>(sy) * sd.iPitch;
        const unsigned char* pAlphaRow = pPlane ? pPlane + static_cast<long>(sy) * sd.iWidth : nullptr;
        unsigned char* pDstRow =
            pDstPixels + static_cast<long>(y + j) * dd.iPitch + static_cast<long>(x) * BPP;
        for (int i = 0; i < w; ++i)
        {
            const int sx = bMirror ? rect.right - 1 - i : rect.left + i;
            const unsigned int s = LoadPx<BPP>(pRow, sx);
            if (bKey && (s & uKeyMask) == uKey)
                continue;
            const unsigned int a = pAlphaRow ? pAlphaRow[sx] : 255;
            if (a == 0)
                continue;
            StorePx<BPP>(pDstRow, i, a == 255 ? s : blend(LoadPx<BPP>(pDstRow, i), s, 255 - a));
        }
    }
}
} // namespace

bool CKorvelSurface::PlaceBlit(CKorvelSurface& src, const CKorvelRect<int>* pSrcRect, int& x, int& y,
                               CKorvelRect<int>& out, unsigned int uFlags) const
{
    CKorvelRect<int> rect;
    SetRect(pSrcRect, rect, &src);
    if (uFlags & KE_DRAW_CENTER_H)
        x = (m_desc.iWidth >> 1) - (rect.GetWidth() >> 1);
    if (uFlags & KE_DRAW_CENTER_V)
        y = (m_desc.iHeight >> 1) - (rect.GetHeight() >> 1);
    if (!ClipToSource(src, rect, x, y, uFlags))
        return false;
    // Flag 0x10 promises an area inside the surface; memory safety does not rest on it.
    RectClip(x, y, &rect, (uFlags & KE_DRAW_NOCLIP) ? nullptr : &m_rcClip, &out, uFlags);
    return out.GetWidth() > 0 && out.GetHeight() > 0;
}

// --- alpha draws (flag 0x80): source alpha from its top byte (32-bit) or its plane ---

KE_RETVAL CKorvelSurface::DrawAlpha_32(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                                       unsigned int uFlags)
{
    BeginWrite(&src);
    const int w = rect.GetWidth(), h = rect.GetHeight();
    const bool bKey = (uFlags & KE_DRAW_COLORKEY) != 0, bMirror = (uFlags & KE_DRAW_MIRROR_H) != 0;
    for (int j = 0; j < h; ++j)
    {
        const int sy = (uFlags & KE_DRAW_MIRROR_V) ? rect.bottom - 1 - j : rect.top + j;
        const unsigned int* s = reinterpret_cast<const unsigned int*>(src.PixelAddress(rect.left, sy));
        unsigned int* d = reinterpret_cast<unsigned int*>(PixelAddress(x, y + j));
        if (!bKey && !bMirror)
        {
            Over32Row(d, s, w);
            continue;
        }
        for (int i = 0; i < w; ++i)
        {
            const unsigned int v = s[bMirror ? w - 1 - i : i];
            if (!(bKey && (v & 0xFFFFFF) == src.m_uColorKey))
                d[i] = Over32(d[i], v);
        }
    }
    EndWrite(&src);
    return KE_OK;
}

KE_RETVAL CKorvelSurface::DrawAlpha_24(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                                       unsigned int uFlags)
{
    // No alpha at 24 bits: a colour-keyed copy.
    BeginWrite(&src);
    AlphaRows<3>(*this, x, y, src, rect, uFlags, 0xFFFFFF, false,
                 [](unsigned int, unsigned int s, unsigned int) { return s; });
    EndWrite(&src);
    return KE_OK;
}

KE_RETVAL CKorvelSurface::DrawAlpha_16(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                                       unsigned int uFlags)
{
    static const sLAYOUT16 s_layout = {11, 5, 0, 5, 6, 5};
    BeginWrite(&src);
    AlphaRows<2>(*this, x, y, src, rect, uFlags, 0xFFFF, true,
                 [](unsigned int d, unsigned int s, unsigned int inv) { return s_layout.Over(d, s, inv); });
    EndWrite(&src);
    return KE_OK;
}

KE_RETVAL CKorvelSurface::DrawAlpha_15(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                                       unsigned int uFlags)
{
    static const sLAYOUT16 s_layout = {10, 5, 0, 5, 5, 5};
    BeginWrite(&src);
    AlphaRows<2>(*this, x, y, src, rect, uFlags, 0xFFFF, true,
                 [](unsigned int d, unsigned int s, unsigned int inv) { return s_layout.Over(d, s, inv); });
    EndWrite(&src);
    return KE_OK;
}

KE_RETVAL CKorvelSurface::DrawAlpha_12(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                                       unsigned int uFlags)
{
    static const sLAYOUT16 s_layout = {8, 4, 0, 4, 4, 4};
    BeginWrite(&src);
    AlphaRows<2>(*this, x, y, src, rect, uFlags, 0xFFFF, true,
                 [](unsigned int d, unsigned int s, unsigned int inv) { return s_layout.Over(d, s, inv); });
    EndWrite(&src);
    return KE_OK;
}

KE_RETVAL CKorvelSurface::DrawAlpha_8(int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                                      unsigned int uFlags)
{
    const unsigned int* pPalette = Palette();
    const unsigned char* pLut = LookupTable();
    BeginWrite(&src);
    if (pPalette && pLut)
        AlphaRows<1>(*this, x, y, src, rect, uFlags, 0xFF, true,
                     [pPalette, pLut](unsigned int d, unsigned int s, unsigned int inv) -> unsigned int
                     {
                         unsigned int dc = pPalette[d], sc = pPalette[s];
                         return pLut[LutIndex(Chan(sc, 16) + ((Chan(dc, 16) * inv) >> 8),
                                              Chan(sc, 8) + ((Chan(dc, 8) * inv) >> 8),
                                              Chan(sc, 0) + ((Chan(dc, 0) * inv) >> 8))];
                     });
    EndWrite(&src);
    return KE_OK;
}

// --- Draw ---

KE_RETVAL CKorvelSurface::Draw(int x, int y, IKorvelGraphicsContext& srcContext,
                               const CKorvelRect<int>* pSrcRect, unsigned int uFlags)
{
    if (srcContext.GetContextType() != KE_CONTEXT_SURFACE)
        return KE_ERR_INVALIDARG;
    CKorvelSurface& src = static_cast<CKorvelSurface&>(srcContext);
    const int srcFormat = src.m_desc.eFormat, dstFormat = m_desc.eFormat;
    if ((uFlags & KE_DRAW_SRCALPHA) && !Is32(srcFormat) && !src.m_pAlpha)
        uFlags &= ~KE_DRAW_SRCALPHA;

    if (!pSrcRect && x == 0 && y == 0 && uFlags == 0 && srcFormat == dstFormat &&
        src.m_desc.iWidth == m_desc.iWidth && src.m_desc.iHeight == m_desc.iHeight &&
        src.m_desc.iPitch == m_desc.iPitch && m_pPixels && src.m_pPixels && &src != this)
    {
        BeginWrite(&src);
        std::memcpy(m_pPixels, src.m_pPixels,
                    m_uBlockSize < src.m_uBlockSize ? m_uBlockSize : src.m_uBlockSize);
        EndWrite(&src);
        return KE_OK;
    }

    CKorvelRect<int> clipped;
    if (!PlaceBlit(src, pSrcRect, x, y, clipped, uFlags))
        return KE_OK;
    if (!IsValidFormat(dstFormat))
        return KE_ERR_DECODE;

    if (srcFormat != dstFormat)
    {
        if (!(uFlags & KE_DRAW_SRCALPHA))
            return DrawConverted(x, y, src, clipped, uFlags);
        CKorvelRect<int> copyRect;
        CKorvelSurface* pCopy = ConvertedCopy(src, clipped, copyRect);
        if (!pCopy)
            return KE_ERR_DECODE;
        KE_RETVAL ret = Draw(x, y, *pCopy, &copyRect, uFlags & ~(KE_DRAW_CENTER_H | KE_DRAW_CENTER_V));
        pCopy->Shutdown();
        delete pCopy;
        EndWrite(&src);
        return ret;
    }

    if (uFlags & KE_DRAW_SRCALPHA)
    {
        switch (dstFormat)
        {
        case KE_SURFACE_P8:
            return DrawAlpha_8(x, y, src, clipped, uFlags);
        case KE_SURFACE_RGB444:
            return DrawAlpha_12(x, y, src, clipped, uFlags);
        case KE_SURFACE_RGB555:
            return DrawAlpha_15(x, y, src, clipped, uFlags);
        case KE_SURFACE_RGB565:
            return DrawAlpha_16(x, y, src, clipped, uFlags);
        case KE_SURFACE_RGB888:
            return DrawAlpha_24(x, y, src, clipped, uFlags);
        default:
            return DrawAlpha_32(x, y, src, clipped, uFlags);
        }
    }
    switch (m_desc.iBytesPerPixel)
    {
    case 1:
        return Draw_8(x, y, &src, clipped, uFlags);
    case 2:
        return Draw_16(x, y, &src, clipped, uFlags);
    case 3:
        return Draw_24(x, y, &src, clipped, uFlags);
    default:
        return Draw_32(x, y, &src, clipped, uFlags);
    }
}

KE_RETVAL CKorvelSurface::Draw(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                               const CKorvelRect<float>* pSrcRect, unsigned int uFlags)
{
    CKorvelRect<int> rect(0, 0, src.GetWidth(), src.GetHeight());
    if (pSrcRect)
        rect.Set(src.FloatToPixelX(pSrcRect->left), src.FloatToPixelY(pSrcRect->top),
                 src.FloatToPixelX(pSrcRect->right), src.FloatToPixelY(pSrcRect->bottom));
    return Draw(FloatToPixelX(pos.x), FloatToPixelY(pos.y), src, &rect, uFlags);
}

// --- DrawBlended: the source tinted by the colour's channels and faded by its alpha ---

KE_RETVAL CKorvelSurface::DrawBlended(int x, int y, IKorvelGraphicsContext& srcContext,
                                      const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                      unsigned int uFlags)
{
    if (srcContext.GetContextType() != KE_CONTEXT_SURFACE)
        return KE_ERR_INVALIDARG;
    CKorvelSurface& src = static_cast<CKorvelSurface&>(srcContext);
    if ((argb >> 24) == 0)
        return KE_OK;
    CKorvelRect<int> clipped;
    if (!PlaceBlit(src, pSrcRect, x, y, clipped, uFlags))
        return KE_OK;
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    const int dstFormat = m_desc.eFormat;
    if (dstFormat != KE_SURFACE_P8 && dstFormat != KE_SURFACE_RGB565 && !Is32(dstFormat))
        return KE_ERR_DECODE;

    if (src.m_desc.eFormat != dstFormat)
    {
        CKorvelRect<int> copyRect;
        CKorvelSurface* pCopy = ConvertedCopy(src, clipped, copyRect);
        if (!pCopy)
            return KE_ERR_DECODE;
        KE_RETVAL ret =
            DrawBlended(x, y, *pCopy, &copyRect, argb, uFlags & ~(KE_DRAW_CENTER_H | KE_DRAW_CENTER_V));
        pCopy->Shutdown();
        delete pCopy;
        EndWrite(&src);
        return ret;
    }

    BeginWrite(&src);
    BLEND_HORLINE_PARAMS p;
    p.iCount = clipped.GetWidth();
    p.uAlpha = argb >> 24;
    p.uRed = (argb >> 16) & 0xFF;
    p.uGreen = (argb >> 8) & 0xFF;
    p.uBlue = argb & 0xFF;
    p.uColorKey = src.m_uColorKey;
    p.uFlags = uFlags;
    if (dstFormat == KE_SURFACE_P8)
    {
        // The 8-bit kernel compares the key with palette colours, not indices.
        const unsigned int* pPalette = src.Palette();
        p.uColorKey = pPalette ? (pPalette[src.m_uColorKey & 0xFF] & 0xFFFFFF) : 0;
    }
    const bool bAlphaRow = !Is32(dstFormat) && src.m_pAlpha;
    const int h = clipped.GetHeight();
    for (int j = 0; j < h; ++j)
    {
        const int sy = clipped.top + j;
        const int dy = (uFlags & KE_DRAW_MIRROR_V) ? y + h - 1 - j : y + j;
        p.pSrc = src.PixelAddress(clipped.left, sy);
        p.pDst = PixelAddress(x, dy);
        p.pAlphaRow = bAlphaRow ? src.AlphaAddress(clipped.left, sy) : nullptr;
        if (dstFormat == KE_SURFACE_P8)
            Horline_Blend_8(p);
        else if (dstFormat == KE_SURFACE_RGB565)
            Horline_Blend_16(p);
        else
            Horline_Blend_32(p);
    }
    EndWrite(&src);
    return KE_OK;
}

KE_RETVAL CKorvelSurface::DrawBlended(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                                      const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                      unsigned int uFlags)
{
    if (!pSrcRect)
        return DrawBlended(FloatToPixelX(pos.x), FloatToPixelY(pos.y), src,
                           static_cast<const CKorvelRect<int>*>(nullptr), argb, uFlags);
    CKorvelRect<int> rect(src.FloatToPixelX(pSrcRect->left), src.FloatToPixelY(pSrcRect->top),
                          src.FloatToPixelX(pSrcRect->right), src.FloatToPixelY(pSrcRect->bottom));
    return DrawBlended(FloatToPixelX(pos.x), FloatToPixelY(pos.y), src, &rect, argb, uFlags);
}
