// Rotated draws: the whole source turned by an angle into the square of side 2 x radius
// around a centre, scaled so that the source's width spans radius x 10 / 7 pixels and the
// turned corners stay inside the square. Honours flags 1, 2, 0x100 and 0x200.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

using namespace KorvelPixel;

namespace
{
template <int BPP>
void RotatePixels(CKorvelSurface& dst, int x, int y, CKorvelSurface& src, float fAngle, int iRadius,
                  unsigned int uFlags)
{
    const int srcW = src.GetWidth(), srcH = src.GetHeight();
    const long long d = static_cast<long long>(iRadius) * 10 / 7;
    if (d <= 0 || srcW <= 0 || srcH <= 0)
        return;
    const long long du =
        srcW * static_cast<long long>(CKorvelMath::TruncToInt(CKorvelMath::Sin(fAngle) * 65535.0f)) / d;
    const long long dv =
        srcW * static_cast<long long>(CKorvelMath::TruncToInt(CKorvelMath::Cos(fAngle) * 65535.0f)) / d;
    const bool bKey = (uFlags & KE_DRAW_COLORKEY) != 0, bHalf = (uFlags & KE_DRAW_HALFBLEND) != 0;
    const unsigned int uKey = src.GetColorKey(), uKeyMask = BPP == 4 ? 0xFFFFFF : 0xFFFFFFFF;
    const unsigned int uMask = dst.GetMiddleMask();

    // The square, cut to the clip rectangle.
    const CKorvelRect<int>& clip = dst.m_rcClip;
    const long long r = iRadius;
    const long long lx = x, ly = y;
    const long long i0 = lx - r < clip.left ? clip.left - lx : -r;
    const long long i1 = lx + r > clip.right ? clip.right - lx : r;
    const long long j0 = ly - r < clip.top ? clip.top - ly : -r;
    const long long j1 = ly + r > clip.bottom ? clip.bottom - ly : r;

    SKE_SURFACEDESC sd, dd;
    const unsigned char* pSrc = static_cast<const unsigned char*>(src.Lock(&sd, 0));
    unsigned char* pDst = static_cast<unsigned char*>(dst.Lock(&dd, 0));
    for (long long j = j0; j < j1; ++j)
    {
        const int dy = static_cast<int>(ly + j);
        unsigned char* pRow = pDst + static_cast<long>(dy) * dd.iPitch;
        for (long long i = i0; i < i1; ++i)
        {
            const int dx = static_cast<int>(lx + i);
            // Both axes centred on the source's own middle (a non-square source included).
            const long long u = i * dv + j * du, v = j * dv - i * du;
            const long long su = (srcW >> 1) + (u >> 16), sv = (srcH >> 1) + (v >> 16);
            if (su < 0 || sv < 0 || su >= srcW || sv >= srcH)
                continue;
            unsigned int s = LoadPx<BPP>(pSrc + sv * sd.iPitch, static_cast<int>(su));
            if (bKey && (s & uKeyMask) == uKey)
                continue;
            if (bHalf)
            {
                if constexpr (BPP == 1)
                {
                    // Palette pixels cannot be averaged: a checkerboard stands for 50%.
                    if ((dx + dy) & 1)
                        continue;
                }
                else
                {
                    s = ((LoadPx<BPP>(pRow, dx) & uMask) >> 1) + ((s & uMask) >> 1);
                }
            }
            StorePx<BPP>(pRow, dx, s);
        }
    }
}
// Both surfaces are written (lock flags 0) and unlocked, also when nothing was drawn.
template <int BPP>
KE_RETVAL RotateBlit(CKorvelSurface& dst, int x, int y, CKorvelSurface& src, float fAngle, int iRadius,
                     unsigned int uFlags)
{
    src.Lock(nullptr, 0);
    dst.Lock(nullptr, 0);
    RotatePixels<BPP>(dst, x, y, src, fAngle, iRadius, uFlags);
    dst.Unlock();
    if (&src != &dst)
        src.Unlock();
    return KE_OK;
}
} // namespace

KE_RETVAL CKorvelSurface::BltRotate_8(int x, int y, CKorvelSurface& src, float a, int r, unsigned int uFlags)
{
    return RotateBlit<1>(*this, x, y, src, a, r, uFlags);
}

KE_RETVAL CKorvelSurface::BltRotate_16(int x, int y, CKorvelSurface& src, float a, int r, unsigned int uFlags)
{
    return RotateBlit<2>(*this, x, y, src, a, r, uFlags);
}

KE_RETVAL CKorvelSurface::BltRotate_24(int x, int y, CKorvelSurface& src, float a, int r, unsigned int uFlags)
{
    return RotateBlit<3>(*this, x, y, src, a, r, uFlags);
}

KE_RETVAL CKorvelSurface::BltRotate_32(int x, int y, CKorvelSurface& src, float a, int r, unsigned int uFlags)
{
    return RotateBlit<4>(*this, x, y, src, a, r, uFlags);
}

KE_RETVAL CKorvelSurface::DrawRotated(int x, int y, IKorvelGraphicsContext& srcContext, float fAngle,
                                      int iRadius, unsigned int uFlags)
{
    if (srcContext.GetContextType() != KE_CONTEXT_SURFACE)
        return KE_ERR_INVALIDARG;
    CKorvelSurface& src = static_cast<CKorvelSurface&>(srcContext);
    if (uFlags & KE_DRAW_CENTER_H)
        x = m_desc.iWidth >> 1;
    if (uFlags & KE_DRAW_CENTER_V)
        y = m_desc.iHeight >> 1;
    const long long r = iRadius;
    if (x < -r || y < -r || x > m_desc.iWidth + r || y > m_desc.iHeight + r)
        return KE_OK;
    const int dstFormat = m_desc.eFormat;
    if (!IsValidFormat(dstFormat))
        return KE_ERR_DECODE;

    if (src.m_desc.eFormat != dstFormat && iRadius > 0)
    {
        CKorvelRect<int> whole(0, 0, src.m_desc.iWidth, src.m_desc.iHeight), copyRect;
        if (whole.right <= 0 || whole.bottom <= 0)
            return KE_OK;
        CKorvelSurface* pCopy = ConvertedCopy(src, whole, copyRect);
        if (!pCopy)
            return KE_ERR_DECODE;
        KE_RETVAL ret =
            DrawRotated(x, y, *pCopy, fAngle, iRadius, uFlags & ~(KE_DRAW_CENTER_H | KE_DRAW_CENTER_V));
        pCopy->Shutdown();
        delete pCopy;
        EndWrite(&src);
        return ret;
    }
    switch (m_desc.iBytesPerPixel)
    {
    case 1:
        return BltRotate_8(x, y, src, fAngle, iRadius, uFlags);
    case 2:
        return BltRotate_16(x, y, src, fAngle, iRadius, uFlags);
    case 3:
        return BltRotate_24(x, y, src, fAngle, iRadius, uFlags);
    default:
        return BltRotate_32(x, y, src, fAngle, iRadius, uFlags);
    }
}

KE_RETVAL CKorvelSurface::DrawRotated(const CKorvelVector2& pos, IKorvelGraphicsContext& src, float fAngle,
                                      float fRadius, unsigned int uFlags)
{
    return DrawRotated(FloatToPixelX(pos.x), FloatToPixelY(pos.y), src, fAngle, FloatToPixelX(fRadius),
                       uFlags);
}
