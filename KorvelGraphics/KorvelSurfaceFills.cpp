// Area operations on a surface: solid fill (bounded by the surface, not the clip), blend
// toward a colour, fade, four-corner gradient and radial gradient.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <cstring>

using namespace KorvelPixel;

namespace
{
// The rectangle (the whole surface when null) cut to the clip; false when empty.
bool ClipArea(const CKorvelSurface& s, const CKorvelRect<int>* pRect, CKorvelRect<int>& out)
{
    CKorvelRect<int> r = pRect ? *pRect : CKorvelRect<int>(0, 0, s.GetWidth(), s.GetHeight());
    const CKorvelRect<int>& c = s.m_rcClip;
    out.Set(r.left > c.left ? r.left : c.left, r.top > c.top ? r.top : c.top,
            r.right < c.right ? r.right : c.right, r.bottom < c.bottom ? r.bottom : c.bottom);
    return out.GetWidth() > 0 && out.GetHeight() > 0;
}

CKorvelRect<int> WholeOr(const CKorvelSurface& s, const CKorvelRect<float>* pRect)
{
    if (!pRect)
        return CKorvelRect<int>(0, 0, s.GetWidth(), s.GetHeight());
    return CKorvelRect<int>(s.FloatToPixelX(pRect->left), s.FloatToPixelY(pRect->top),
                            s.FloatToPixelX(pRect->right), s.FloatToPixelY(pRect->bottom));
}

bool HasArithmeticKernels(int iFormat)
{
    return iFormat == KE_SURFACE_P8 || iFormat == KE_SURFACE_RGB565 || Is32(iFormat);
}

// The clipped area of BlendFill and Fade: 0 when there is work to do, else the result.
KE_RETVAL PrepareArea(const CKorvelSurface& s, bool bPixels, const CKorvelRect<int>* pRect,
                      CKorvelRect<int>& out)
{
    if (!ClipArea(s, pRect, out))
        return KE_OK;
    if (!bPixels)
        return KE_ERR_NOTSTARTED;
    return HasArithmeticKernels(s.GetFormat()) ? 0 : KE_ERR_DECODE;
}

void FillSpan(unsigned char* p, int bpp, unsigned int uCount, unsigned int uValue)
{
    switch (bpp)
    {
    case 1:
        CKorvelSurface::HorlineFill_8(p, uCount, uValue);
        break;
    case 2:
        CKorvelSurface::HorlineFill_16(reinterpret_cast<unsigned short*>(p), uCount, uValue);
        break;
    case 3:
        CKorvelSurface::HorlineFill_24(p, uCount, uValue);
        break;
    default:
        CKorvelSurface::HorlineFill_32(reinterpret_cast<unsigned int*>(p), uCount, uValue);
        break;
    }
}
} // namespace

// --- Fill ---

KE_RETVAL CKorvelSurface::Fill(unsigned int argb, const CKorvelRect<int>* pRect)
{
    const int w = m_desc.iWidth, h = m_desc.iHeight, bpp = m_desc.iBytesPerPixel;
    CKorvelRect<int> r(0, 0, w, h);
    if (pRect)
    {
        if (pRect->left > w || pRect->top > h || pRect->bottom < 0 || pRect->right < 0)
            return KE_OK;
        r.Set(pRect->left < 0 ? 0 : pRect->left, pRect->top < 0 ? 0 : pRect->top,
              pRect->right > w ? w : pRect->right, pRect->bottom > h ? h : pRect->bottom);
    }
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    if (!IsValidFormat(m_desc.eFormat))
        return KE_ERR_DECODE;
    const unsigned char alpha = static_cast<unsigned char>(argb >> 24);
    const bool bContiguous = m_desc.iPitch == w * bpp;
    if (!pRect)
    {
        m_uLockFlags = 0;
        if (m_pAlpha)
            std::memset(m_pAlpha, argb ? alpha : 0, static_cast<size_t>(w) * h);
        if (argb == 0 && bContiguous)
            std::memset(m_pPixels, 0, static_cast<size_t>(m_desc.iPitch) * h);
        else if (bContiguous)
            FillSpan(m_pPixels, bpp, static_cast<unsigned int>(w) * h, argb ? MakeColor(argb) : 0);
        else
            for (int y = 0; y < h; ++y)
                FillSpan(Row(y), bpp, w, argb ? MakeColor(argb) : 0);
    }
    else
    {
        if (r.GetWidth() <= 0 || r.top > r.bottom)
            return KE_OK;
        m_uLockFlags = 0;
        const unsigned int value = MakeColor(argb);
        for (int y = r.top; y < r.bottom; ++y)
        {
            FillSpan(PixelAddress(r.left, y), bpp, r.GetWidth(), value);
            if (m_pAlpha && bpp < 4)
                std::memset(AlphaAddress(r.left, y), alpha, r.GetWidth());
        }
    }
    Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurface::Fill(unsigned int argb, const CKorvelRect<float>* pRect)
{
    CKorvelRect<int> r = WholeOr(*this, pRect);
    return Fill(argb, &r);
}

// --- BlendFill and Fade ---

KE_RETVAL CKorvelSurface::BlendFill(unsigned int argb, const CKorvelRect<int>* pRect)
{
    CKorvelRect<int> r;
    if ((argb >> 24) == 0)
        return KE_OK;
    if (KE_RETVAL ret = PrepareArea(*this, m_pPixels != nullptr, pRect, r))
        return ret;
    const int fmt = m_desc.eFormat;
    m_uLockFlags = 0;
    BLEND_HORLINE_PARAMS p = {
        nullptr,     nullptr, nullptr, r.GetWidth(), argb >> 24, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF,
        argb & 0xFF, 0,       0};
    for (int y = r.top; y < r.bottom; ++y)
    {
        p.pDst = PixelAddress(r.left, y);
        if (fmt == KE_SURFACE_P8)
            Horline_Blend_Color_8(p);
        else if (fmt == KE_SURFACE_RGB565)
            Horline_Blend_Color_16(p);
        else
            Horline_Blend_Color_32(p);
    }
    Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurface::BlendFill(unsigned int argb, const CKorvelRect<float>* pRect)
{
    if (!pRect)
        return BlendFill(argb, static_cast<const CKorvelRect<int>*>(nullptr));
    CKorvelRect<int> r = WholeOr(*this, pRect);
    return BlendFill(argb, &r);
}

KE_RETVAL CKorvelSurface::Fade(const CKorvelRect<int>* pRect, float fLevel)
{
    CKorvelRect<int> r;
    if (KE_RETVAL ret = PrepareArea(*this, m_pPixels != nullptr, pRect, r))
        return ret;
    const int fmt = m_desc.eFormat;
    // A fade only darkens: levels outside 0..1 (or NaN) are taken as the nearest end.
    if (!(fLevel >= 0.0f))
        fLevel = 0.0f;
    else if (fLevel > 1.0f)
        fLevel = 1.0f;
    unsigned int v = static_cast<unsigned int>(fLevel * 255.0);
    if (v != 255)
        v = (v * 255) >> 8;
    m_uLockFlags = 0;
    for (int y = r.top; y < r.bottom; ++y)
    {
        unsigned char* p = PixelAddress(r.left, y);
        if (fmt == KE_SURFACE_P8)
            Horline_SetLightness_8(p, r.GetWidth(), v, v, v);
        else if (fmt == KE_SURFACE_RGB565)
            Horline_SetLightness_16(p, r.GetWidth(), v, v, v);
        else
            Horline_SetLightness_32(p, r.GetWidth(), v, v, v);
    }
    Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurface::Fade(const CKorvelRect<float>* pRect, float fLevel)
{
    CKorvelRect<int> r = WholeOr(*this, pRect);
    return Fade(&r, fLevel);
}

// --- GradientFill: the left and right colours run down the rows, each row interpolates ---

KE_RETVAL CKorvelSurface::GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                                       const CKorvelRect<int>* pRect)
{
    const int fmt = m_desc.eFormat;
    if (fmt == KE_SURFACE_ABGR8888)
    {
        // The kernels write 0xAARRGGBB words: exchange red and blue for this format.
        tl = MakeColor(tl);
        tr = MakeColor(tr);
        br = MakeColor(br);
        bl = MakeColor(bl);
    }
    CKorvelRect<int> r = pRect ? *pRect : CKorvelRect<int>(0, 0, m_desc.iWidth, m_desc.iHeight);
    int x = r.left, y = r.top;
    const int w = r.GetWidth(), h = r.GetHeight();
    int drawn = w;
    if (x < 0)
    {
        drawn = w + x;
        x = 0;
    }
    if (drawn > m_rcClip.right - x)
        drawn = m_rcClip.right - x;
    if (w <= 0 || h <= 0 || x >= m_rcClip.right || y >= m_rcClip.bottom || drawn <= 0)
        return KE_OK;
    if (!m_pPixels)
        return KE_ERR_NOTSTARTED;
    if (!HasArithmeticKernels(fmt))
        return KE_ERR_DECODE;

    // Channels as value x 65535; left and right edges step down the rows.
    int left[3], right[3], dl[3], dr[3];
    for (int c = 0; c < 3; ++c)
    {
        const int shift = 16 - 8 * c;
        left[c] = static_cast<int>(Chan(tl, shift)) * 65535;
        right[c] = static_cast<int>(Chan(tr, shift)) * 65535;
        dl[c] = (static_cast<int>(Chan(bl, shift)) - static_cast<int>(Chan(tl, shift))) * 65535 / h;
        dr[c] = (static_cast<int>(Chan(br, shift)) - static_cast<int>(Chan(tr, shift))) * 65535 / h;
    }
    m_uLockFlags = 0;
    for (int row = y; row < y + h && row < m_rcClip.bottom; ++row)
    {
        if (row >= 0)
        {
            unsigned char* p = PixelAddress(x, row);
            if (fmt == KE_SURFACE_P8)
                Horline_Gouraud_8(p, w, drawn, left[0], left[1], left[2], right[0], right[1], right[2]);
            else if (fmt == KE_SURFACE_RGB565)
                Horline_Gouraud_16(p, w, drawn, left[0], left[1], left[2], right[0], right[1], right[2]);
            else
                Horline_Gouraud_32(p, w, drawn, left[0], left[1], left[2], right[0], right[1], right[2]);
        }
        for (int c = 0; c < 3; ++c)
        {
            left[c] += dl[c];
            right[c] += dr[c];
        }
    }
    Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurface::GradientFill(unsigned int tl, unsigned int tr, unsigned int br, unsigned int bl,
                                       const CKorvelRect<float>* pRect)
{
    CKorvelRect<int> r = WholeOr(*this, pRect);
    return GradientFill(tl, tr, br, bl, &r);
}

// --- RadialGradientFill ---

namespace
{
// c + (target - c) x t / 256, rounding down.
inline unsigned int Toward(unsigned int c, unsigned int target, int t)
{
    return static_cast<unsigned int>(static_cast<int>(c) +
                                     (((static_cast<int>(target) - static_cast<int>(c)) * t) >> 8));
}
} // namespace

KE_RETVAL CKorvelSurface::RadialGradientFill(unsigned int outer, unsigned int inner, float fScale,
                                             const CKorvelRect<int>* pRect)
{
    KE_RETVAL ret = Fill(outer, pRect);
    if (ret != KE_OK)
        return ret;
    const CKorvelRect<int> area = pRect ? *pRect : CKorvelRect<int>(0, 0, m_desc.iWidth, m_desc.iHeight);
    const int w = area.GetWidth(), h = area.GetHeight();
    const int cx = w / 2, cy = h / 2;
    const float radius = static_cast<float>(w < h ? w : h) * fScale * 0.5f;
    const int fmt = m_desc.eFormat;
    const unsigned int ir = Chan(inner, 16), ig = Chan(inner, 8), ib = Chan(inner, 0);
    const unsigned int innerRaw = MakeColor(inner);
    const unsigned int* pPalette = fmt == KE_SURFACE_P8 ? Palette() : nullptr;
    const unsigned char* pLut = fmt == KE_SURFACE_P8 ? LookupTable() : nullptr;
    m_uLockFlags = 0;
    // Only the part of the area that lies on the surface is touched.
    const int j0 = area.top < 0 ? -area.top : 0, i0 = area.left < 0 ? -area.left : 0;
    const int j1 = area.bottom > m_desc.iHeight ? m_desc.iHeight - area.top : h;
    const int i1 = area.right > m_desc.iWidth ? m_desc.iWidth - area.left : w;
    for (int j = j0; j < j1 && fmt != KE_SURFACE_RGB888; ++j)
    {
        for (int i = i0; i < i1; ++i)
        {
            const float dx = static_cast<float>(i - cx), dy = static_cast<float>(j - cy);
            const float d2 = dx * dx + dy * dy;
            if (!(d2 < radius * radius))
                continue;
            const int t = CKorvelMath::TruncToInt((1.0f - CKorvelMath::Sqrt(d2) / radius) * 255.0f);
            unsigned char* p = PixelAddress(area.left + i, area.top + j);
            switch (fmt)
            {
            case KE_SURFACE_P8:
                if (pPalette && pLut)
                {
                    unsigned int c = pPalette[*p];
                    *p = pLut[LutIndex(Toward(Chan(c, 16), ir, t), Toward(Chan(c, 8), ig, t),
                                       Toward(Chan(c, 0), ib, t))];
                }
                break;
            case KE_SURFACE_RGB444:
            {
                unsigned int v = *reinterpret_cast<unsigned short*>(p);
                *reinterpret_cast<unsigned short*>(p) = static_cast<unsigned short>(
                    (Toward((v >> 8) & 15, ir >> 4, t) << 8) | (Toward((v >> 4) & 15, ig >> 4, t) << 4) |
                    Toward(v & 15, ib >> 4, t));
                break;
            }
            case KE_SURFACE_RGB555:
            {
                unsigned int v = *reinterpret_cast<unsigned short*>(p);
                *reinterpret_cast<unsigned short*>(p) = static_cast<unsigned short>(
                    (Toward((v >> 10) & 31, ir >> 3, t) << 10) | (Toward((v >> 5) & 31, ig >> 3, t) << 5) |
                    Toward(v & 31, ib >> 3, t));
                break;
            }
            case KE_SURFACE_RGB565:
            {
                unsigned int v = *reinterpret_cast<unsigned short*>(p);
                *reinterpret_cast<unsigned short*>(p) = static_cast<unsigned short>(
                    (Toward(v >> 11, ir >> 3, t) << 11) | (Toward((v >> 5) & 63, ig >> 2, t) << 5) |
                    Toward(v & 31, ib >> 3, t));
                break;
            }
            default:
            {
                // Both 32-bit formats: the three colour bytes in the format's own order.
                unsigned int v = *reinterpret_cast<unsigned int*>(p);
                *reinterpret_cast<unsigned int*>(p) = 0xFF000000u |
                                                      (Toward(Chan(v, 16), Chan(innerRaw, 16), t) << 16) |
                                                      (Toward(Chan(v, 8), Chan(innerRaw, 8), t) << 8) |
                                                      Toward(Chan(v, 0), Chan(innerRaw, 0), t);
                break;
            }
            }
        }
    }
    Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurface::RadialGradientFill(unsigned int outer, unsigned int inner, float fScale,
                                             const CKorvelRect<float>* pRect)
{
    CKorvelRect<int> r = WholeOr(*this, pRect);
    return RadialGradientFill(outer, inner, fScale, &r);
}
