// Small pixel helpers shared by the surface's drawing code: format sizes, 16-bit channel
// expansion and packing, 24-bit access, palette lookup indices.
#pragma once

#include <cstddef>

#include "KorvelGraphics/KorvelGraphicsContext.h"

// Row loops that carry most of the pixels get a second build for AVX2 machines, picked
// once when the program loads; elsewhere (and under other compilers) the plain build.
// ThreadSanitizer builds take the plain build: its instrumented load-time picker would
// run before the sanitizer's runtime and crash.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define KORVEL_HOT_ROW __attribute__((target_clones("avx2", "default")))
#else
#define KORVEL_HOT_ROW
#endif

namespace KorvelPixel
{
inline bool IsValidFormat(int iFormat)
{
    return iFormat >= KE_SURFACE_P8 && iFormat <= KE_SURFACE_ABGR8888;
}

// Bytes per pixel of formats 1..7, 0 for any other.
inline int BytesPerPixel(int iFormat)
{
    static const int s_aiBytes[8] = {0, 1, 2, 2, 2, 3, 4, 4};
    return IsValidFormat(iFormat) ? s_aiBytes[iFormat] : 0;
}

inline bool Is16(int iFormat)
{
    return iFormat >= KE_SURFACE_RGB444 && iFormat <= KE_SURFACE_RGB565;
}

inline bool Is32(int iFormat)
{
    return iFormat == KE_SURFACE_ARGB8888 || iFormat == KE_SURFACE_ABGR8888;
}

// 5-6-5 channels widened to 8 bits (low bits 0) and packed back without masking.
inline unsigned int R8(unsigned int p)
{
    return (p >> 8) & 0xF8;
}
inline unsigned int G8(unsigned int p)
{
    return (p >> 3) & 0xFC;
}
inline unsigned int B8(unsigned int p)
{
    return (p << 3) & 0xFF;
}
inline unsigned int Pack565(unsigned int r, unsigned int g, unsigned int b)
{
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}

// Index of an 8-bit colour in the 4096-entry palette lookup table. Channels above 255
// (sums of colours that were not premultiplied) must not index past the table.
inline unsigned int LutIndex(unsigned int r, unsigned int g, unsigned int b)
{
    return (((r >> 4) << 8) | (g & 0xF0) | (b >> 4)) & 0xFFF;
}

inline unsigned int Read24(const unsigned char* p)
{
    return (static_cast<unsigned int>(p[0]) << 16) | (static_cast<unsigned int>(p[1]) << 8) | p[2];
}

inline void Write24(unsigned char* p, unsigned int v)
{
    p[0] = static_cast<unsigned char>(v >> 16);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v);
}

// 0xAABBGGRR <-> 0xAARRGGBB.
inline unsigned int SwapRB(unsigned int w)
{
    return (w & 0xFF00FF00u) | ((w >> 16) & 0xFF) | ((w & 0xFF) << 16);
}

// Raw pixel i of a row of BPP-byte pixels (24-bit values are 0xRRGGBB, red byte first).
template <int BPP> inline unsigned int LoadPx(const unsigned char* pRow, int i)
{
    if constexpr (BPP == 1)
        return pRow[i];
    else if constexpr (BPP == 2)
        return reinterpret_cast<const unsigned short*>(pRow)[i];
    else if constexpr (BPP == 3)
        return Read24(pRow + 3 * static_cast<ptrdiff_t>(i));
    else
        return reinterpret_cast<const unsigned int*>(pRow)[i];
}

template <int BPP> inline void StorePx(unsigned char* pRow, int i, unsigned int v)
{
    if constexpr (BPP == 1)
        pRow[i] = static_cast<unsigned char>(v);
    else if constexpr (BPP == 2)
        reinterpret_cast<unsigned short*>(pRow)[i] = static_cast<unsigned short>(v);
    else if constexpr (BPP == 3)
        Write24(pRow + 3 * static_cast<ptrdiff_t>(i), v);
    else
        reinterpret_cast<unsigned int*>(pRow)[i] = v;
}

inline unsigned int Chan(unsigned int c, int shift)
{
    return (c >> shift) & 0xFF;
}

// Tinted source channel over a destination channel weighted by inv = 255 - alpha; the
// source is premultiplied, so the sum is not clamped.
inline unsigned int TintOver(unsigned int dc, unsigned int sc, unsigned int tint, unsigned int inv)
{
    return ((dc * inv) >> 8) + ((tint * sc) >> 8);
}

// Global alpha g between the destination's channel and a computed one (no rounding term).
inline unsigned int Mix(unsigned int dc, unsigned int c, unsigned int g)
{
    return ((dc * (255 - g) + c * g) >> 8) & 0xFF;
}

// One tinted 5-6-5 pixel over d (steps of the blend and zoom kernels); g = 0 keeps d.
inline unsigned int Blend565(unsigned int d, unsigned int s, unsigned int inv, unsigned int red,
                             unsigned int green, unsigned int blue, unsigned int g)
{
    if (g == 0)
        return d;
    unsigned int r = TintOver(R8(d), R8(s), red, inv);
    unsigned int gg = TintOver(G8(d), G8(s), green, inv);
    unsigned int b = TintOver(B8(d), B8(s), blue, inv);
    if (g == 255)
        return Pack565(r, gg, b);
    return Pack565(Mix(R8(d), r, g), Mix(G8(d), gg, g), Mix(B8(d), b, g));
}

// The same on 0x00RRGGBB colours (palette entries); the result is a colour, not an index.
inline void BlendRgb(unsigned int d, unsigned int s, unsigned int inv, unsigned int red, unsigned int green,
                     unsigned int blue, unsigned int g, unsigned int& r, unsigned int& gg, unsigned int& b)
{
    r = TintOver(Chan(d, 16), Chan(s, 16), red, inv);
    gg = TintOver(Chan(d, 8), Chan(s, 8), green, inv);
    b = TintOver(Chan(d, 0), Chan(s, 0), blue, inv);
    if (g == 0)
    {
        r = Chan(d, 16);
        gg = Chan(d, 8);
        b = Chan(d, 0);
    }
    else if (g != 255)
    {
        r = Mix(Chan(d, 16), r, g);
        gg = Mix(Chan(d, 8), gg, g);
        b = Mix(Chan(d, 0), b, g);
    }
}

// One tinted 32-bit pixel with source alpha a over d; the written alpha byte is a.
// g = 0 keeps d's colour and ORs a into its top byte.
inline unsigned int BlendArgb(unsigned int d, unsigned int s, unsigned int a, unsigned int inv,
                              unsigned int red, unsigned int green, unsigned int blue, unsigned int g)
{
    if (g == 0)
        return d | (a << 24);
    unsigned int r, gg, b;
    BlendRgb(d, s, inv, red, green, blue, g, r, gg, b);
    return (a << 24) | (r << 16) | (gg << 8) | b;
}
} // namespace KorvelPixel
