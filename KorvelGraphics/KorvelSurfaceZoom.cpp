// Stretching span kernels: destination pixel i takes the source pixel at
// trunc(i x step / 65536), step = (source width << 16) / count in 16.16 fixed point. A
// mirrored span has a negative source width and starts at its last source pixel, so its
// indices run 0, -1, ... and stay inside the span.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

using namespace KorvelPixel;

namespace
{
// Source indices of one span, in the kernels' fixed-point stepping.
class CZoomStep
{
public:
    explicit CZoomStep(const CKorvelSurface::ZOOM_PARAMS& p)
        : m_llStep(p.iCount > 0 ? static_cast<long long>(p.iSrcWidth) * 65536 / p.iCount : 0), m_llAcc(0)
    {
    }
    // The index for the current pixel, then advances.
    long Next()
    {
        long idx = static_cast<long>(m_llAcc / 65536);
        m_llAcc += m_llStep;
        return idx;
    }

private:
    long long m_llStep, m_llAcc;
};

template <class T> void ZoomCopy(const CKorvelSurface::ZOOM_PARAMS& p)
{
    const T* s = static_cast<const T*>(p.pSrc);
    T* d = static_cast<T*>(p.pDst);
    CZoomStep step(p);
    for (int i = 0; i < p.iCount; ++i)
        d[i] = s[step.Next()];
}

template <class T> void ZoomKeyed(const CKorvelSurface::ZOOM_PARAMS& p, unsigned int uKeyMask)
{
    const T* s = static_cast<const T*>(p.pSrc);
    T* d = static_cast<T*>(p.pDst);
    CZoomStep step(p);
    for (int i = 0; i < p.iCount; ++i)
    {
        T v = s[step.Next()];
        if ((v & uKeyMask) != p.uColorKey)
            d[i] = v;
    }
}
} // namespace

void CKorvelSurface::Horline_Zoom_8(const ZOOM_PARAMS& p)
{
    ZoomCopy<unsigned char>(p);
}

void CKorvelSurface::Horline_Zoom_16(const ZOOM_PARAMS& p)
{
    ZoomCopy<unsigned short>(p);
}

void CKorvelSurface::Horline_Zoom_32(const ZOOM_PARAMS& p)
{
    ZoomCopy<unsigned int>(p);
}

void CKorvelSurface::Horline_Zoom_CC_8(const ZOOM_PARAMS& p)
{
    ZoomKeyed<unsigned char>(p, 0xFF);
}

void CKorvelSurface::Horline_Zoom_CC_16(const ZOOM_PARAMS& p)
{
    ZoomKeyed<unsigned short>(p, 0xFFFF);
}

void CKorvelSurface::Horline_Zoom_CC_32(const ZOOM_PARAMS& p)
{
    ZoomKeyed<unsigned int>(p, 0xFFFFFF);
}

void CKorvelSurface::Horline_Zoom_Copy_Alpha_16(const ZOOM_PARAMS& p)
{
    if (!p.pSrcAlpha || !p.pDstAlpha)
        return;
    CZoomStep step(p);
    for (int i = 0; i < p.iCount; ++i)
        p.pDstAlpha[i] = p.pSrcAlpha[step.Next()];
}

void CKorvelSurface::Horline_Zoom_Copy_Alpha_32(const ZOOM_PARAMS& p)
{
    const unsigned int* s = static_cast<const unsigned int*>(p.pSrc);
    unsigned int* d = static_cast<unsigned int*>(p.pDst);
    CZoomStep step(p);
    for (int i = 0; i < p.iCount; ++i)
        d[i] = (s[step.Next()] & 0xFF000000) | (d[i] & 0x00FFFFFF);
}

// Alpha from the source alpha row when there is one (0 skips); without one a tinted copy.
void CKorvelSurface::Horline_Zoom_Alpha_8(const ZOOM_PARAMS& p)
{
    const unsigned int* pPalette = Palette();
    const unsigned char* pLut = LookupTable();
    if (!pPalette || !pLut)
        return;
    const unsigned char* s = static_cast<const unsigned char*>(p.pSrc);
    unsigned char* d = static_cast<unsigned char*>(p.pDst);
    CZoomStep step(p);
    for (int i = 0; i < p.iCount; ++i)
    {
        long idx = step.Next();
        unsigned int a = p.pSrcAlpha ? p.pSrcAlpha[idx] : 255;
        if (a == 0)
            continue;
        unsigned int r, g, b;
        BlendRgb(pPalette[d[i]], pPalette[s[idx]], 255 - a, p.uRed, p.uGreen, p.uBlue, p.uAlpha, r, g, b);
        d[i] = pLut[LutIndex(r, g, b)];
    }
}

void CKorvelSurface::Horline_Zoom_Alpha_16(const ZOOM_PARAMS& p)
{
    const unsigned short* s = static_cast<const unsigned short*>(p.pSrc);
    unsigned short* d = static_cast<unsigned short*>(p.pDst);
    CZoomStep step(p);
    for (int i = 0; i < p.iCount; ++i)
    {
        long idx = step.Next();
        unsigned int a = p.pSrcAlpha ? p.pSrcAlpha[idx] : 255;
        if (a == 0)
            continue;
        d[i] =
            static_cast<unsigned short>(Blend565(d[i], s[idx], 255 - a, p.uRed, p.uGreen, p.uBlue, p.uAlpha));
    }
}

// With flag 0x80 the source's top byte is its alpha; without it the source is opaque.
// A global alpha of 0 writes nothing.
void CKorvelSurface::Horline_Zoom_Alpha_32(const ZOOM_PARAMS& p)
{
    if (p.uAlpha == 0)
        return;
    const unsigned int* s = static_cast<const unsigned int*>(p.pSrc);
    unsigned int* d = static_cast<unsigned int*>(p.pDst);
    const bool bSrcAlpha = (p.uFlags & KE_DRAW_SRCALPHA) != 0;
    CZoomStep step(p);
    for (int i = 0; i < p.iCount; ++i)
    {
        unsigned int sv = s[step.Next()];
        unsigned int a = bSrcAlpha ? sv >> 24 : 255;
        if (a == 0)
            continue;
        d[i] = BlendArgb(d[i], sv, a, 255 - a, p.uRed, p.uGreen, p.uBlue, p.uAlpha);
    }
}
