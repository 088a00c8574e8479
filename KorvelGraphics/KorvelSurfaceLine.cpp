// Lines, drawn as one horizontal run per row (16.16 stepping), solid or with a colour
// running from the first colour to the second.
#include "KorvelGraphics/KorvelPixelFormat.h"
#include "KorvelGraphics/KorvelSurface.h"

using namespace KorvelPixel;

namespace
{
inline unsigned int ClampChannel(long long v16)
{
    long long c = v16 >> 16;
    if (c < 0)
        return 0;
    return c > 255 ? 255 : static_cast<unsigned int>(c);
}
} // namespace

KE_RETVAL CKorvelSurface::Line(int x1, int y1, int x2, int y2, unsigned int argbFrom, unsigned int argbTo)
{
    const CKorvelRect<int>& clip = m_rcClip;
    if ((x1 < clip.left && x2 < clip.left) || (y1 < clip.top && y2 < clip.top) ||
        (x1 >= clip.right && x2 >= clip.right) || (y1 >= clip.bottom && y2 >= clip.bottom))
        return KE_OK;
    if (!m_pPixels || m_desc.iHeight <= 0)
        return KE_ERR_NOTSTARTED;
    const int fmt = m_desc.eFormat;
    const bool bSolid = argbFrom == argbTo;
    if (!IsValidFormat(fmt) ||
        (!bSolid && (fmt == KE_SURFACE_RGB444 || fmt == KE_SURFACE_RGB555 || fmt == KE_SURFACE_RGB888)))
        return KE_OK;

    long long n = (y2 > y1 ? static_cast<long long>(y2) - y1 : static_cast<long long>(y1) - y2) + 1;
    if (n > 2LL * m_desc.iHeight)
        n = 2LL * m_desc.iHeight;
    const int rowStep = y2 >= y1 ? 1 : -1;
    const long long advance = ((static_cast<long long>(x2) - x1) * 65536) / n;
    const unsigned int solid = MakeColor(argbFrom);

    // Channel values in 16.16: each row starts further along; within a run the row's step
    // is spread over the run.
    long long start[3], rowDelta[3];
    for (int c = 0; c < 3; ++c)
    {
        const int shift = 16 - 8 * c;
        start[c] = static_cast<long long>(Chan(argbFrom, shift)) << 16;
        rowDelta[c] = ((static_cast<long long>(Chan(argbTo, shift)) - Chan(argbFrom, shift)) * 65536) / n;
    }
    const unsigned char* pLut = fmt == KE_SURFACE_P8 ? LookupTable() : nullptr;
    const int bpp = m_desc.iBytesPerPixel;

    m_uLockFlags = 0;
    for (long long k = 0; k < n; ++k)
    {
        const long long y = y1 + k * rowStep;
        if (y >= clip.top && y < clip.bottom)
        {
            const long long pos = static_cast<long long>(x1) * 65536 + k * advance;
            long long a = pos >> 16, b = (pos + advance) >> 16;
            if (a > b)
            {
                long long t = a;
                a = b;
                b = t;
            }
            if (a == b)
                ++b; // a vertical step still covers its own column
            const long long runLength = b - a;
            const long long from = a < clip.left ? clip.left : a, to = b > clip.right ? clip.right : b;
            unsigned char* pRow = Row(static_cast<int>(y));
            for (long long x = from; x < to; ++x)
            {
                unsigned char* p = pRow + x * bpp;
                if (bSolid)
                {
                    switch (bpp)
                    {
                    case 1:
                        StorePx<1>(p, 0, solid);
                        break;
                    case 2:
                        StorePx<2>(p, 0, solid);
                        break;
                    case 3:
                        StorePx<3>(p, 0, solid);
                        break;
                    default:
                        StorePx<4>(p, 0, solid);
                        break;
                    }
                    continue;
                }
                unsigned int ch[3];
                for (int c = 0; c < 3; ++c)
                    ch[c] = ClampChannel(start[c] + k * rowDelta[c] + (x - a) * (rowDelta[c] / runLength));
                if (fmt == KE_SURFACE_P8)
                {
                    if (pLut)
                        *p = pLut[((ch[0] >> 4) << 8) | ((ch[1] >> 4) << 4) | (ch[2] >> 4)];
                }
                else if (fmt == KE_SURFACE_RGB565)
                {
                    StorePx<2>(p, 0, ((ch[0] >> 3) << 11) | ((ch[1] >> 2) << 5) | (ch[2] >> 3));
                }
                else
                {
                    // The destination keeps its alpha byte: a line must not punch holes.
                    unsigned int colour = fmt == KE_SURFACE_ARGB8888 ? (ch[0] << 16) | (ch[1] << 8) | ch[2]
                                                                     : (ch[2] << 16) | (ch[1] << 8) | ch[0];
                    unsigned int* p32 = reinterpret_cast<unsigned int*>(p);
                    *p32 = (*p32 & 0xFF000000) | colour;
                }
            }
        }
    }
    Unlock();
    return KE_OK;
}

KE_RETVAL CKorvelSurface::Line(const CKorvelVector2& from, const CKorvelVector2& to, unsigned int argbFrom,
                               unsigned int argbTo)
{
    return Line(FloatToPixelX(from.x), FloatToPixelY(from.y), FloatToPixelX(to.x), FloatToPixelY(to.y),
                argbFrom, argbTo);
}
