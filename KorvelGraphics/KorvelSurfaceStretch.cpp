// Stretched blits: DrawStretched and DrawStretchedBlended clip both rectangles and run
// either the sampling stretch (Blt_SW, through the zoom kernels) or the box-averaging
// shrink (Blt_QS, flag 0x20, used for mipmap levels).
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

using namespace KorvelPixel;

namespace
{
// A cut of the source maps onto the destination in the ratio of the two sizes.
int Scale(int cut, int dstSize, int srcSize)
{
    return static_cast<int>(static_cast<long long>(cut) * dstSize / srcSize);
}

// Cuts the source rectangle to the source surface and moves the destination edges that
// show the cut parts (mirrored axes show the far side first).
bool CutToSource(const CKorvelSurface& src, CKorvelRect<int>& d, CKorvelRect<int>& s, unsigned int uFlags)
{
    const int dw = d.GetWidth(), dh = d.GetHeight(), sw = s.GetWidth(), sh = s.GetHeight();
    const int cutL = s.left < 0 ? -s.left : 0, cutR = s.right > src.GetWidth() ? s.right - src.GetWidth() : 0;
    const int cutT = s.top < 0 ? -s.top : 0,
              cutB = s.bottom > src.GetHeight() ? s.bottom - src.GetHeight() : 0;
    const bool bMirrorH = (uFlags & KE_DRAW_MIRROR_H) != 0, bMirrorV = (uFlags & KE_DRAW_MIRROR_V) != 0;
    d.left += Scale(bMirrorH ? cutR : cutL, dw, sw);
    d.right -= Scale(bMirrorH ? cutL : cutR, dw, sw);
    d.top += Scale(bMirrorV ? cutB : cutT, dh, sh);
    d.bottom -= Scale(bMirrorV ? cutT : cutB, dh, sh);
    s.Set(s.left + cutL, s.top + cutT, s.right - cutR, s.bottom - cutB);
    return d.GetWidth() >= 1 && d.GetHeight() >= 1 && s.GetWidth() >= 1 && s.GetHeight() >= 1;
}

enum eZoomKernel
{
    ZK_NONE,
    ZK_COPY_8,
    ZK_CC_8,
    ZK_ALPHA_8,
    ZK_COPY_16,
    ZK_CC_16,
    ZK_ALPHA_12,
    ZK_ALPHA_15,
    ZK_ALPHA_16,
    ZK_COPY_ALPHA_PLANE,
    ZK_COPY_24,
    ZK_CC_24,
    ZK_COPY_32,
    ZK_CC_32,
    ZK_ALPHA_32,
    ZK_COPY_ALPHA_32
};

eZoomKernel PickZoomKernel(int dstFormat, bool bSrcPlane, bool bDstPlane, bool bTinted, unsigned int uFlags)
{
    const bool bAlpha = (uFlags & KE_DRAW_SRCALPHA) != 0, bKey = (uFlags & KE_DRAW_COLORKEY) != 0;
    const bool bCopyAlpha = (uFlags & KE_DRAW_ALPHAONLY) != 0;
    switch (dstFormat)
    {
    case KE_SURFACE_P8:
        if ((bAlpha && bSrcPlane) || bTinted)
            return ZK_ALPHA_8;
        if (bKey)
            return ZK_CC_8;
        return (bCopyAlpha && bSrcPlane && bDstPlane) ? ZK_COPY_ALPHA_PLANE : ZK_COPY_8;
    case KE_SURFACE_RGB444:
    case KE_SURFACE_RGB555:
    case KE_SURFACE_RGB565:
        if ((bAlpha && bSrcPlane) || bTinted)
            return dstFormat == KE_SURFACE_RGB444
                       ? ZK_ALPHA_12
                       : (dstFormat == KE_SURFACE_RGB555 ? ZK_ALPHA_15 : ZK_ALPHA_16);
        if (bKey)
            return ZK_CC_16;
        return (bCopyAlpha && bSrcPlane && bDstPlane) ? ZK_COPY_ALPHA_PLANE : ZK_COPY_16;
    case KE_SURFACE_RGB888:
        return bKey ? ZK_CC_24 : ZK_COPY_24;
    case KE_SURFACE_ARGB8888:
    case KE_SURFACE_ABGR8888:
        if (bAlpha || bTinted)
            return ZK_ALPHA_32;
        if (bKey)
            return ZK_CC_32;
        return bCopyAlpha ? ZK_COPY_ALPHA_32 : ZK_COPY_32;
    default:
        return ZK_NONE;
    }
}
} // namespace

KE_RETVAL CKorvelSurface::Blt_SW(const CKorvelRect<int>& dst, CKorvelSurface& src,
                                 const CKorvelRect<int>& srcRect, unsigned int argb, unsigned int uFlags)
{
    const int dstFormat = m_desc.eFormat;
    if (!IsValidFormat(dstFormat))
        return KE_ERR_DECODE;
    if (src.m_desc.eFormat != dstFormat)
    {
        CKorvelRect<int> copyRect;
        CKorvelSurface* pCopy = ConvertedCopy(src, srcRect, copyRect);
        if (!pCopy)
            return KE_ERR_DECODE;
        KE_RETVAL ret = Blt_SW(dst, *pCopy, copyRect, argb, uFlags);
        pCopy->Shutdown();
        delete pCopy;
        EndWrite(&src);
        return ret;
    }
    BeginWrite(&src);
    const eZoomKernel kernel =
        PickZoomKernel(dstFormat, src.m_pAlpha != nullptr, m_pAlpha != nullptr, argb != 0xFFFFFFFF, uFlags);
    const bool bCopyPlane = kernel == ZK_COPY_ALPHA_PLANE;
    const bool bSrcAlphaRow = bCopyPlane || ((uFlags & KE_DRAW_SRCALPHA) && src.m_pAlpha);
    const bool bMirrorH = (uFlags & KE_DRAW_MIRROR_H) != 0;
    const int dw = dst.GetWidth(), dh = dst.GetHeight(), sw = srcRect.GetWidth(), sh = srcRect.GetHeight();
    const int srcColumn = bMirrorH ? srcRect.right - 1 : srcRect.left;

    ZOOM_PARAMS p;
    p.iSrcWidth = bMirrorH ? -sw : sw;
    p.iCount = dw;
    p.uColorKey = src.m_uColorKey;
    p.uAlpha = argb >> 24;
    p.uRed = (argb >> 16) & 0xFF;
    p.uGreen = (argb >> 8) & 0xFF;
    p.uBlue = argb & 0xFF;
    p.uFlags = uFlags;
    const long long llStep = (static_cast<long long>(sh) << 16) / dh;
    for (int k = 0; k < dh; ++k)
    {
        const int sy = srcRect.top + static_cast<int>((k * llStep) >> 16);
        const int dy = (uFlags & KE_DRAW_MIRROR_V) ? dst.bottom - 1 - k : dst.top + k;
        p.pSrc = src.PixelAddress(srcColumn, sy);
        p.pDst = PixelAddress(dst.left, dy);
        p.pSrcAlpha = bSrcAlphaRow ? src.AlphaAddress(srcColumn, sy) : nullptr;
        p.pDstAlpha = bCopyPlane ? AlphaAddress(dst.left, dy) : nullptr;
        switch (kernel)
        {
        case ZK_COPY_8:
            Horline_Zoom_8(p);
            break;
        case ZK_CC_8:
            Horline_Zoom_CC_8(p);
            break;
        case ZK_ALPHA_8:
            Horline_Zoom_Alpha_8(p);
            break;
        case ZK_COPY_16:
            Horline_Zoom_16(p);
            break;
        case ZK_CC_16:
            Horline_Zoom_CC_16(p);
            break;
        case ZK_ALPHA_12:
            Horline_Zoom_Alpha_12(p);
            break;
        case ZK_ALPHA_15:
            Horline_Zoom_Alpha_15(p);
            break;
        case ZK_ALPHA_16:
            Horline_Zoom_Alpha_16(p);
            break;
        case ZK_COPY_ALPHA_PLANE:
            Horline_Zoom_Copy_Alpha_16(p);
            break;
        case ZK_COPY_24:
            Horline_Zoom_24(p);
            break;
        case ZK_CC_24:
            Horline_Zoom_CC_24(p);
            break;
        case ZK_COPY_32:
            Horline_Zoom_32(p);
            break;
        case ZK_CC_32:
            Horline_Zoom_CC_32(p);
            break;
        case ZK_ALPHA_32:
            Horline_Zoom_Alpha_32(p);
            break;
        case ZK_COPY_ALPHA_32:
            Horline_Zoom_Copy_Alpha_32(p);
            break;
        case ZK_NONE:
            break;
        }
    }
    EndWrite(&src);
    return KE_OK;
}

KE_RETVAL CKorvelSurface::Blt_QS(const CKorvelRect<int>& dst, CKorvelSurface& src,
                                 const CKorvelRect<int>& srcRect, unsigned int, unsigned int)
{
    const int dw = dst.GetWidth(), dh = dst.GetHeight();
    if (dh <= 0 || dw <= 0)
        return KE_OK;
    const long long sx = (static_cast<long long>(srcRect.right + 1 - srcRect.left) << 16) / dw;
    const long long sy = (static_cast<long long>(srcRect.bottom + 1 - srcRect.top) << 16) / dh;
    const int boxW = static_cast<int>(sx >> 16) + 1, boxH = static_cast<int>(sy >> 16) + 1;
    const int srcW = src.m_desc.iWidth, srcH = src.m_desc.iHeight;
    for (int j = 0; j < dh; ++j)
    {
        const int top = srcRect.top + static_cast<int>((j * sy) >> 16);
        for (int i = 0; i < dw; ++i)
        {
            const int left = srcRect.left + static_cast<int>((i * sx) >> 16);
            unsigned int sum[4] = {0, 0, 0, 0};
            unsigned int count = 0;
            for (int v = top; v < top + boxH; ++v)
                for (int u = left; u < left + boxW; ++u)
                {
                    if (u < 0 || v < 0 || u >= srcW || v >= srcH)
                        continue;
                    unsigned int c = src.GetPixelDIB(u, v);
                    for (int k = 0; k < 4; ++k)
                        sum[k] += (c >> (8 * k)) & 0xFF;
                    ++count;
                }
            if (count == 0)
                count = 1;
            unsigned int argb = 0;
            for (int k = 0; k < 4; ++k)
            {
                unsigned int avg = sum[k] / count;
                argb |= (avg > 255 ? 255 : avg) << (8 * k);
            }
            SetPixelDIB(dst.left + i, dst.top + j, argb);
        }
    }
    return KE_OK;
}

namespace
{
void ConvertRect(const IKorvelGraphicsContext& context, const CKorvelRect<float>* pRect,
                 CKorvelRect<int>& out)
{
    if (!pRect)
        out.Set(0, 0, context.GetWidth(), context.GetHeight());
    else
        out.Set(context.FloatToPixelX(pRect->left), context.FloatToPixelY(pRect->top),
                context.FloatToPixelX(pRect->right), context.FloatToPixelY(pRect->bottom));
}
} // namespace

KE_RETVAL CKorvelSurface::DrawStretched(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                                        const CKorvelRect<int>* pSrcRect, unsigned int uFlags)
{
    return Stretch(pDstRect, src, pSrcRect, 0xFFFFFFFF, uFlags, false);
}

KE_RETVAL CKorvelSurface::DrawStretchedBlended(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& src,
                                               const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                               unsigned int uFlags)
{
    return Stretch(pDstRect, src, pSrcRect, argb, uFlags, true);
}

KE_RETVAL CKorvelSurface::Stretch(const CKorvelRect<int>* pDstRect, IKorvelGraphicsContext& srcContext,
                                  const CKorvelRect<int>* pSrcRect, unsigned int argb, unsigned int uFlags,
                                  bool bBlended)
{
    if (srcContext.GetContextType() != KE_CONTEXT_SURFACE)
        return KE_ERR_INVALIDARG;
    CKorvelSurface& src = static_cast<CKorvelSurface&>(srcContext);
    CKorvelRect<int> d, s;
    SetRect(pDstRect, d, this);
    SetRect(pSrcRect, s, &src);
    if (d.GetWidth() < 1 || d.GetHeight() < 1 || s.GetWidth() < 1 || s.GetHeight() < 1)
        return KE_OK;
    if (!CutToSource(src, d, s, uFlags))
        return KE_OK;

    // Flag 0x10 promises an area inside the surface; memory safety does not rest on it.
    const CKorvelRect<int> clip =
        (uFlags & KE_DRAW_NOCLIP) ? CKorvelRect<int>(0, 0, m_desc.iWidth, m_desc.iHeight) : m_rcClip;
    const float rx = static_cast<float>(s.GetWidth()) / static_cast<float>(d.GetWidth());
    const float ry = static_cast<float>(s.GetHeight()) / static_cast<float>(d.GetHeight());
    const bool bMirrorH = (uFlags & KE_DRAW_MIRROR_H) != 0, bMirrorV = (uFlags & KE_DRAW_MIRROR_V) != 0;
    auto cut = [](int over, float ratio)
    { return CKorvelMath::TruncToInt(static_cast<float>(over) * ratio); };
    if (d.left < clip.left)
    {
        int c = cut(clip.left - d.left, rx);
        d.left = clip.left;
        if (bMirrorH)
            s.right -= c;
        else
            s.left += c;
    }
    if (d.right > clip.right)
    {
        int c = cut(d.right - clip.right, rx);
        d.right = clip.right;
        if (bMirrorH)
            s.left += c;
        else
            s.right -= c;
    }
    if (d.top < clip.top)
    {
        int c = cut(clip.top - d.top, ry);
        d.top = clip.top;
        if (bMirrorV)
            s.bottom -= c;
        else
            s.top += c;
    }
    if (d.bottom > clip.bottom)
    {
        int c = cut(d.bottom - clip.bottom, ry);
        d.bottom = clip.bottom;
        if (bMirrorV)
            s.top += c;
        else
            s.bottom -= c;
    }
    if (d.GetWidth() < 1 || d.GetHeight() < 1 || s.GetWidth() < 1 || s.GetHeight() < 1)
        return KE_OK;

    if ((uFlags & KE_DRAW_BOXSHRINK) && m_desc.eFormat != KE_SURFACE_P8)
        return Blt_QS(d, src, s, argb, uFlags);
    if (bBlended)
        return Blt_SW(d, src, s, argb, uFlags | KE_DRAW_SRCALPHA);
    return Blt_SW(d, src, s, 0xFFFFFFFF, uFlags);
}

KE_RETVAL CKorvelSurface::DrawStretched(const CKorvelRect<float>* pDstRect, IKorvelGraphicsContext& src,
                                        const CKorvelRect<float>* pSrcRect, unsigned int uFlags)
{
    CKorvelRect<int> d, s;
    ConvertRect(*this, pDstRect, d);
    ConvertRect(src, pSrcRect, s);
    return DrawStretched(&d, src, &s, uFlags);
}

KE_RETVAL CKorvelSurface::DrawStretchedBlended(const CKorvelRect<float>* pDstRect,
                                               IKorvelGraphicsContext& src,
                                               const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                               unsigned int uFlags)
{
    CKorvelRect<int> d, s;
    ConvertRect(*this, pDstRect, d);
    ConvertRect(src, pSrcRect, s);
    return DrawStretchedBlended(&d, src, &s, argb, uFlags);
}
