// Same-scale copies between surfaces of one pixel layout (Draw_8, _16, _24, _32): vertical
// flip (8), mirror (4), colour key (1), 50% blend (2) and alpha only (0x400). The plain
// case is one block copy per row.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <cstring>

using namespace KorvelPixel;

namespace
{
// Rows of one blit: the source walks up under flag 8 while the destination walks down.
struct sBLIT_ROWS
{
    const unsigned char* pSrc;
    long lSrcPitch;
    unsigned char* pDst;
    long lDstPitch;
    int w, h;
};

sBLIT_ROWS MakeRows(const unsigned char* pSrcTopLeft, long lSrcPitch, unsigned char* pDstTopLeft,
                    long lDstPitch, int w, int h, unsigned int uFlags)
{
    sBLIT_ROWS r = {pSrcTopLeft, lSrcPitch, pDstTopLeft, lDstPitch, w, h};
    if (uFlags & KE_DRAW_MIRROR_V)
    {
        r.pSrc += (h - 1) * lSrcPitch;
        r.lSrcPitch = -lSrcPitch;
    }
    return r;
}

template <int BPP>
void CopyPixels(const sBLIT_ROWS& rows, unsigned int uFlags, unsigned int uKey, unsigned int uKeyMask,
                unsigned int uMask)
{
    const bool bKey = (uFlags & KE_DRAW_COLORKEY) != 0;
    const bool bHalf = (uFlags & KE_DRAW_HALFBLEND) != 0;
    const bool bMirror = (uFlags & KE_DRAW_MIRROR_H) != 0;
    const int w = rows.w;
    const unsigned char* s = rows.pSrc;
    unsigned char* d = rows.pDst;
    for (int j = 0; j < rows.h; ++j, s += rows.lSrcPitch, d += rows.lDstPitch)
    {
        if (!bKey && !bHalf && !bMirror)
        {
            std::memcpy(d, s, static_cast<size_t>(w) * BPP);
            continue;
        }
        if (!bKey && !bMirror && BPP != 1)
        {
            // The unkeyed 50% blend, kept free of branches.
            for (int i = 0; i < w; ++i)
                StorePx<BPP>(d, i, ((LoadPx<BPP>(d, i) & uMask) >> 1) + ((LoadPx<BPP>(s, i) & uMask) >> 1));
            continue;
        }
        for (int i = 0; i < w; ++i)
        {
            unsigned int v = LoadPx<BPP>(s, bMirror ? w - 1 - i : i);
            if (bKey && (v & uKeyMask) == uKey)
                continue;
            if (bHalf)
            {
                if constexpr (BPP == 1)
                {
                    // Palette pixels cannot be averaged: a checkerboard stands for 50%.
                    if ((i & 1) != (j & 1))
                        continue;
                }
                else
                {
                    // A keyed 32-bit blend takes the colour bits only.
                    v = ((LoadPx<BPP>(d, i) & uMask) >> 1) + (((v & uKeyMask) & uMask) >> 1);
                }
            }
            StorePx<BPP>(d, i, v);
        }
    }
}

// The alpha planes of both surfaces, when both have one, go first and whatever the flags.
void CopyAlphaPlane(CKorvelSurface& dst, int x, int y, CKorvelSurface& src, const CKorvelRect<int>& rect,
                    unsigned int uFlags)
{
    unsigned char* pDstPlane = dst.GetAlphaChannel();
    const unsigned char* pSrcPlane = src.GetAlphaChannel();
    if (!pDstPlane || !pSrcPlane)
        return;
    const long lSrcStride = src.GetWidth(), lDstStride = dst.GetWidth();
    sBLIT_ROWS rows =
        MakeRows(pSrcPlane + rect.top * lSrcStride + rect.left, lSrcStride, pDstPlane + y * lDstStride + x,
                 lDstStride, rect.right - rect.left, rect.bottom - rect.top, uFlags);
    CopyPixels<1>(rows, uFlags & KE_DRAW_MIRROR_H, 0, 0, 0);
}
} // namespace

int CKorvelSurface::Draw_8(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags)
{
    BeginWrite(pSrc);
    CopyAlphaPlane(*this, x, y, *pSrc, rect, uFlags);
    if (!(uFlags & KE_DRAW_ALPHAONLY))
        CopyPixels<1>(MakeRows(pSrc->PixelAddress(rect.left, rect.top), pSrc->m_desc.iPitch,
                               PixelAddress(x, y), m_desc.iPitch, rect.right - rect.left,
                               rect.bottom - rect.top, uFlags),
                      uFlags, pSrc->m_uColorKey, 0xFF, 0);
    EndWrite(pSrc);
    return KE_OK;
}

int CKorvelSurface::Draw_16(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags)
{
    BeginWrite(pSrc);
    CopyAlphaPlane(*this, x, y, *pSrc, rect, uFlags);
    if (!(uFlags & KE_DRAW_ALPHAONLY))
        CopyPixels<2>(MakeRows(pSrc->PixelAddress(rect.left, rect.top), pSrc->m_desc.iPitch,
                               PixelAddress(x, y), m_desc.iPitch, rect.right - rect.left,
                               rect.bottom - rect.top, uFlags),
                      uFlags, pSrc->m_uColorKey, 0xFFFF, GetMiddleMask() & 0xFFFF);
    EndWrite(pSrc);
    return KE_OK;
}

int CKorvelSurface::Draw_24(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags)
{
    BeginWrite(pSrc);
    CopyAlphaPlane(*this, x, y, *pSrc, rect, uFlags);
    if (!(uFlags & KE_DRAW_ALPHAONLY))
        CopyPixels<3>(MakeRows(pSrc->PixelAddress(rect.left, rect.top), pSrc->m_desc.iPitch,
                               PixelAddress(x, y), m_desc.iPitch, rect.right - rect.left,
                               rect.bottom - rect.top, uFlags),
                      uFlags, pSrc->m_uColorKey, 0xFFFFFF, GetMiddleMask());
    EndWrite(pSrc);
    return KE_OK;
}

int CKorvelSurface::Draw_32(int x, int y, CKorvelSurface* pSrc, CKorvelRect<int>& rect, unsigned int uFlags)
{
    BeginWrite(pSrc);
    sBLIT_ROWS rows =
        MakeRows(pSrc->PixelAddress(rect.left, rect.top), pSrc->m_desc.iPitch, PixelAddress(x, y),
                 m_desc.iPitch, rect.right - rect.left, rect.bottom - rect.top, uFlags);
    if (!(uFlags & KE_DRAW_COLORKEY) && (uFlags & KE_DRAW_ALPHAONLY))
    {
        // Alpha only: flags 2 and 4 do not apply here.
        for (int j = 0; j < rows.h; ++j)
        {
            const unsigned int* s = reinterpret_cast<const unsigned int*>(rows.pSrc + j * rows.lSrcPitch);
            unsigned int* d = reinterpret_cast<unsigned int*>(rows.pDst + j * rows.lDstPitch);
            for (int i = 0; i < rows.w; ++i)
                d[i] = (s[i] & 0xFF000000) | (d[i] & 0x00FFFFFF);
        }
    }
    else
    {
        // Unkeyed pixels are copied or blended as whole words, alpha byte included.
        unsigned int uKeyMask = (uFlags & KE_DRAW_COLORKEY) ? 0xFFFFFF : 0xFFFFFFFF;
        CopyPixels<4>(rows, uFlags, pSrc->m_uColorKey, uKeyMask, GetMiddleMask());
    }
    EndWrite(pSrc);
    return KE_OK;
}
