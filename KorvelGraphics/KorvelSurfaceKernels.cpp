// Span kernels for fades, blended draws, colour blends, Gouraud rows, fills and copies.
// One call per row; no clipping, no locking. 16-bit arithmetic kernels treat pixels as
// 5-6-5, 32-bit ones as 0xAARRGGBB; 8-bit ones go through the palette and lookup table.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <cstring>

using namespace KorvelPixel;

// --- lightness (Fade) ---

void CKorvelSurface::Horline_SetLightness_8(void* pDst, int iCount, unsigned int r, unsigned int g,
                                            unsigned int b)
{
    const unsigned int* pPalette = Palette();
    const unsigned char* pLut = LookupTable();
    if (iCount < 1 || !pPalette || !pLut)
        return;
    unsigned char* d = static_cast<unsigned char*>(pDst);
    for (int i = 0; i < iCount; ++i)
    {
        unsigned int c = pPalette[d[i]];
        unsigned int idx =
            (((g * Chan(c, 8)) >> 8) & 0xF0) | ((b * Chan(c, 0)) >> 12) | (((r * Chan(c, 16)) >> 12) << 8);
        d[i] = pLut[idx & 0xFFF];
    }
}

void CKorvelSurface::Horline_SetLightness_16(void* pDst, int iCount, unsigned int r, unsigned int g,
                                             unsigned int b)
{
    unsigned short* d = static_cast<unsigned short*>(pDst);
    for (int i = 0; i < iCount; ++i)
    {
        unsigned int p = d[i];
        d[i] = static_cast<unsigned short>(((((p >> 11) * r) >> 8) << 11) |
                                           (((((p >> 5) & 63) * g) >> 8) << 5) | (((p & 31) * b) >> 8));
    }
}

void CKorvelSurface::Horline_SetLightness_32(void* pDst, int iCount, unsigned int r, unsigned int g,
                                             unsigned int b)
{
    unsigned int* d = static_cast<unsigned int*>(pDst);
    for (int i = 0; i < iCount; ++i)
    {
        unsigned int p = d[i];
        d[i] = (p & 0xFF000000) | (((Chan(p, 16) * r) >> 8) << 16) | (((Chan(p, 8) * g) >> 8) << 8) |
               ((Chan(p, 0) * b) >> 8);
    }
}

// --- blended spans (DrawBlended) ---
// With flag 4 source pixel i lands on destination pixel count - 1 - i.

void CKorvelSurface::Horline_Blend_8(const BLEND_HORLINE_PARAMS& p)
{
    const unsigned int* pPalette = Palette();
    const unsigned char* pLut = LookupTable();
    if (!pPalette || !pLut)
        return;
    const unsigned char* s = static_cast<const unsigned char*>(p.pSrc);
    unsigned char* d = static_cast<unsigned char*>(p.pDst);
    const int n = p.iCount;
    const bool bMirror = (p.uFlags & KE_DRAW_MIRROR_H) != 0, bKey = (p.uFlags & KE_DRAW_COLORKEY) != 0;
    for (int i = 0; i < n; ++i)
    {
        unsigned int a = p.pAlphaRow ? p.pAlphaRow[i] : 255;
        unsigned int sc = pPalette[s[i]];
        if ((bKey && (sc & 0xFFFFFF) == p.uColorKey) || a == 0)
            continue;
        unsigned char& dv = d[bMirror ? n - 1 - i : i];
        unsigned int r, g, b;
        BlendRgb(pPalette[dv], sc, 255 - a, p.uRed, p.uGreen, p.uBlue, p.uAlpha, r, g, b);
        dv = pLut[LutIndex(r, g, b)];
    }
}

void CKorvelSurface::Horline_Blend_16(const BLEND_HORLINE_PARAMS& p)
{
    const unsigned short* s = static_cast<const unsigned short*>(p.pSrc);
    unsigned short* d = static_cast<unsigned short*>(p.pDst);
    const int n = p.iCount;
    const bool bMirror = (p.uFlags & KE_DRAW_MIRROR_H) != 0, bKey = (p.uFlags & KE_DRAW_COLORKEY) != 0;
    for (int i = 0; i < n; ++i)
    {
        unsigned int a = p.pAlphaRow ? p.pAlphaRow[i] : 255;
        unsigned int sv = s[i];
        if ((bKey && sv == p.uColorKey) || a == 0)
            continue;
        unsigned short& dv = d[bMirror ? n - 1 - i : i];
        dv = static_cast<unsigned short>(Blend565(dv, sv, 255 - a, p.uRed, p.uGreen, p.uBlue, p.uAlpha));
    }
}

namespace
{
// The unkeyed, unmirrored span of Horline_Blend_32 with the global alpha's cases hoisted
// out of the loop, so that the loop has no branches.
KORVEL_HOT_ROW void Blend32Row(unsigned int* d, const unsigned int* s, int n, unsigned int red,
                               unsigned int green, unsigned int blue, unsigned int g)
{
    if (g == 0)
    {
        for (int i = 0; i < n; ++i)
            d[i] = (s[i] >> 24) ? d[i] | (s[i] & 0xFF000000) : d[i];
        return;
    }
    const unsigned int gInv = 255 - g;
    for (int i = 0; i < n; ++i)
    {
        const unsigned int sv = s[i], dv = d[i], a = sv >> 24, inv = 255 - a;
        unsigned int r = TintOver(Chan(dv, 16), Chan(sv, 16), red, inv);
        unsigned int gg = TintOver(Chan(dv, 8), Chan(sv, 8), green, inv);
        unsigned int b = TintOver(Chan(dv, 0), Chan(sv, 0), blue, inv);
        if (g != 255)
        {
            r = ((Chan(dv, 16) * gInv + r * g) >> 8) & 0xFF;
            gg = ((Chan(dv, 8) * gInv + gg * g) >> 8) & 0xFF;
            b = ((Chan(dv, 0) * gInv + b * g) >> 8) & 0xFF;
        }
        const unsigned int v = (a << 24) | (r << 16) | (gg << 8) | b;
        d[i] = a ? v : dv;
    }
}
} // namespace

void CKorvelSurface::Horline_Blend_32(const BLEND_HORLINE_PARAMS& p)
{
    const unsigned int* s = static_cast<const unsigned int*>(p.pSrc);
    unsigned int* d = static_cast<unsigned int*>(p.pDst);
    const int n = p.iCount;
    const bool bMirror = (p.uFlags & KE_DRAW_MIRROR_H) != 0, bKey = (p.uFlags & KE_DRAW_COLORKEY) != 0;
    if (!bMirror && !bKey)
    {
        Blend32Row(d, s, n, p.uRed, p.uGreen, p.uBlue, p.uAlpha);
        return;
    }
    for (int i = 0; i < n; ++i)
    {
        unsigned int sv = s[i];
        unsigned int a = sv >> 24;
        if ((bKey && (sv & 0xFFFFFF) == p.uColorKey) || a == 0)
            continue;
        unsigned int& dv = d[bMirror ? n - 1 - i : i];
        dv = BlendArgb(dv, sv, a, 255 - a, p.uRed, p.uGreen, p.uBlue, p.uAlpha);
    }
}

// --- blends toward a colour (BlendFill): c' = c + a x (k - c) / 256, rounding down ---

static inline unsigned int TowardColour(unsigned int c, unsigned int k, unsigned int a)
{
    return static_cast<unsigned int>(
        static_cast<int>(c) + ((static_cast<int>(a) * (static_cast<int>(k) - static_cast<int>(c))) >> 8));
}

void CKorvelSurface::Horline_Blend_Color_8(const BLEND_HORLINE_PARAMS& p)
{
    const unsigned int* pPalette = Palette();
    const unsigned char* pLut = LookupTable();
    if (!pPalette || !pLut)
        return;
    unsigned char* d = static_cast<unsigned char*>(p.pDst);
    for (int i = 0; i < p.iCount; ++i)
    {
        unsigned int c = pPalette[d[i]];
        d[i] = pLut[LutIndex(TowardColour(Chan(c, 16), p.uRed, p.uAlpha),
                             TowardColour(Chan(c, 8), p.uGreen, p.uAlpha),
                             TowardColour(Chan(c, 0), p.uBlue, p.uAlpha))];
    }
}

void CKorvelSurface::Horline_Blend_Color_16(const BLEND_HORLINE_PARAMS& p)
{
    unsigned short* d = static_cast<unsigned short*>(p.pDst);
    for (int i = 0; i < p.iCount; ++i)
    {
        unsigned int v = d[i];
        d[i] = static_cast<unsigned short>(Pack565(TowardColour(R8(v), p.uRed, p.uAlpha),
                                                   TowardColour(G8(v), p.uGreen, p.uAlpha),
                                                   TowardColour(B8(v), p.uBlue, p.uAlpha)));
    }
}

void CKorvelSurface::Horline_Blend_Color_32(const BLEND_HORLINE_PARAMS& p)
{
    unsigned int* d = static_cast<unsigned int*>(p.pDst);
    for (int i = 0; i < p.iCount; ++i)
    {
        unsigned int v = d[i];
        // The destination keeps its alpha byte: a tinted pixel must not turn transparent.
        d[i] = (v & 0xFF000000) | (TowardColour(Chan(v, 16), p.uRed, p.uAlpha) << 16) |
               (TowardColour(Chan(v, 8), p.uGreen, p.uAlpha) << 8) |
               TowardColour(Chan(v, 0), p.uBlue, p.uAlpha);
    }
}

// --- Gouraud rows (GradientFill): channels in 16.16, stepped by (end - start) / width ---

namespace
{
struct sGOURAUD
{
    // Kept wide so that a long run cannot overflow; read back as unsigned 16.16 values.
    long long r, g, b, dr, dg, db;
    sGOURAUD(int iWidth, int r0, int g0, int b0, int r1, int g1, int b1) : r(r0), g(g0), b(b0)
    {
        if (iWidth < 1)
            iWidth = 1;
        dr = (static_cast<long long>(r1) - r0) / iWidth;
        dg = (static_cast<long long>(g1) - g0) / iWidth;
        db = (static_cast<long long>(b1) - b0) / iWidth;
    }
    unsigned int R() const { return static_cast<unsigned int>(r); }
    unsigned int G() const { return static_cast<unsigned int>(g); }
    unsigned int B() const { return static_cast<unsigned int>(b); }
    void Step()
    {
        r += dr;
        g += dg;
        b += db;
    }
};
} // namespace

void CKorvelSurface::Horline_Gouraud_8(void* pDst, int iWidth, int iCount, int r0, int g0, int b0, int r1,
                                       int g1, int b1)
{
    const unsigned char* pLut = LookupTable();
    if (!pLut)
        return;
    unsigned char* d = static_cast<unsigned char*>(pDst);
    sGOURAUD c(iWidth, r0, g0, b0, r1, g1, b1);
    for (int i = 0; i < iCount; ++i, c.Step())
        d[i] = pLut[((((c.R() >> 20) << 8) | ((c.G() >> 20) << 4)) & 0xFFF) | ((c.B() >> 20) & 0xF)];
}

void CKorvelSurface::Horline_Gouraud_16(void* pDst, int iWidth, int iCount, int r0, int g0, int b0, int r1,
                                        int g1, int b1)
{
    unsigned short* d = static_cast<unsigned short*>(pDst);
    sGOURAUD c(iWidth, r0, g0, b0, r1, g1, b1);
    for (int i = 0; i < iCount; ++i, c.Step())
        d[i] = static_cast<unsigned short>(((c.R() >> 19) << 11) | ((c.G() >> 18) << 5) | (c.B() >> 19));
}

void CKorvelSurface::Horline_Gouraud_32(void* pDst, int iWidth, int iCount, int r0, int g0, int b0, int r1,
                                        int g1, int b1)
{
    unsigned char* d = static_cast<unsigned char*>(pDst);
    sGOURAUD c(iWidth, r0, g0, b0, r1, g1, b1);
    for (int i = 0; i < iCount; ++i, c.Step())
    {
        d[4 * static_cast<ptrdiff_t>(i)] = static_cast<unsigned char>(c.B() >> 16);
        d[4 * i + 1] = static_cast<unsigned char>(c.G() >> 16);
        d[4 * i + 2] = static_cast<unsigned char>(c.R() >> 16);
    }
}

// --- fills and copies ---

void CKorvelSurface::HorlineFill_8(unsigned char* pDst, unsigned int uCount, unsigned int uValue)
{
    std::memset(pDst, static_cast<int>(uValue & 0xFF), uCount);
}

void CKorvelSurface::HorlineFill_16(unsigned short* pDst, unsigned int uCount, unsigned int uValue)
{
    const unsigned short v = static_cast<unsigned short>(uValue);
    for (unsigned int i = 0; i < uCount; ++i)
        pDst[i] = v;
}

void CKorvelSurface::HorlineFill_24(unsigned char* pDst, unsigned int uCount, unsigned int uValue)
{
    for (size_t i = 0; i < uCount; ++i)
        Write24(pDst + 3 * i, uValue);
}

void CKorvelSurface::HorlineFill_32(unsigned int* pDst, unsigned int uCount, unsigned int uValue)
{
    for (unsigned int i = 0; i < uCount; ++i)
        pDst[i] = uValue;
}

void CKorvelSurface::HorlineCopy_8to12(const unsigned char* pSrc, unsigned char* pDst,
                                       const unsigned int* pPalette, unsigned int uCount)
{
    unsigned short* d = reinterpret_cast<unsigned short*>(pDst);
    for (unsigned int i = 0; i < uCount; ++i)
    {
        unsigned int c = pPalette[pSrc[i]];
        d[i] =
            static_cast<unsigned short>((((c >> 20) & 15) << 8) | (((c >> 12) & 15) << 4) | ((c >> 4) & 15));
    }
}

void CKorvelSurface::HorlineCopy_8to16(const unsigned char* pSrc, unsigned char* pDst,
                                       const unsigned int* pPalette, unsigned int uCount)
{
    unsigned short* d = reinterpret_cast<unsigned short*>(pDst);
    for (unsigned int i = 0; i < uCount; ++i)
    {
        unsigned int c = pPalette[pSrc[i]];
        d[i] =
            static_cast<unsigned short>((((c >> 19) & 31) << 11) | (((c >> 10) & 63) << 5) | ((c >> 3) & 31));
    }
}

void CKorvelSurface::HorlineCopy_8to32(const unsigned char* pSrc, unsigned char* pDst,
                                       const unsigned int* pPalette, unsigned int uCount)
{
    unsigned int* d = reinterpret_cast<unsigned int*>(pDst);
    for (unsigned int i = 0; i < uCount; ++i)
        d[i] = pPalette[pSrc[i]];
}

void CKorvelSurface::CopyImageHorlines(int iRows, void* pDst, int iDstPitch, const void* pSrc, int iSrcPitch)
{
    unsigned char* d = static_cast<unsigned char*>(pDst);
    const unsigned char* s = static_cast<const unsigned char*>(pSrc);
    for (int y = 0; y < iRows; ++y, d += iDstPitch, s += iSrcPitch)
        std::memcpy(d, s, static_cast<size_t>(iDstPitch));
}
