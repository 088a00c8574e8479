#include "Korvel3D/Korvel3DColor.h"

#include "KorvelCommon/KorvelMath.h"

CKorvel3DColor::CKorvel3DColor(unsigned int argb)
    : r(static_cast<float>((argb >> 16) & 0xFFu) / 255.0f),
      g(static_cast<float>((argb >> 8) & 0xFFu) / 255.0f), b(static_cast<float>(argb & 0xFFu) / 255.0f),
      a(static_cast<float>(argb >> 24) / 255.0f)
{
}

CKorvel3DColor::CKorvel3DColor(const CKorvel3DColor* p)
{
    if (p)
        *this = *p;
    else
        Set(0.0f, 0.0f, 0.0f, 0.0f);
}

void CKorvel3DColor::Add(const CKorvel3DColor& x, const CKorvel3DColor& y)
{
    Set(x.r + y.r, x.g + y.g, x.b + y.b, x.a + y.a);
}

void CKorvel3DColor::Sub(const CKorvel3DColor& x, const CKorvel3DColor& y)
{
    Set(x.r - y.r, x.g - y.g, x.b - y.b, x.a - y.a);
}

void CKorvel3DColor::Blend(const CKorvel3DColor& x, const CKorvel3DColor& y)
{
    Set(x.r * y.r, x.g * y.g, x.b * y.b, x.a * y.a);
}

void CKorvel3DColor::Lerp(const CKorvel3DColor& x, const CKorvel3DColor& y, float t)
{
    Set(x.r + t * (y.r - x.r), x.g + t * (y.g - x.g), x.b + t * (y.b - x.b), x.a + t * (y.a - x.a));
}

void CKorvel3DColor::Negative(const CKorvel3DColor& x)
{
    Set(1.0f - x.r, 1.0f - x.g, 1.0f - x.b, x.a);
}

// Channel to byte: c x 255 truncated toward zero, then held to 0..255.
static unsigned int ChannelByte(float c)
{
    int v = CKorvelMath::TruncToInt(c * 255.0f);
    if (v < 0)
        return 0;
    if (v > 255)
        return 255;
    return static_cast<unsigned int>(v);
}

unsigned int CKorvel3DColor::Get8888() const
{
    return (ChannelByte(a) << 24) | (ChannelByte(r) << 16) | (ChannelByte(g) << 8) | ChannelByte(b);
}

unsigned short CKorvel3DColor::Get565() const
{
    return static_cast<unsigned short>(((ChannelByte(r) >> 3) << 11) | ((ChannelByte(g) >> 2) << 5) |
                                       (ChannelByte(b) >> 3));
}

unsigned short CKorvel3DColor::Get555() const
{
    return static_cast<unsigned short>(((ChannelByte(r) >> 3) << 10) | ((ChannelByte(g) >> 3) << 5) |
                                       (ChannelByte(b) >> 3));
}

unsigned short CKorvel3DColor::Get444() const
{
    return static_cast<unsigned short>(((ChannelByte(r) >> 4) << 8) | (ChannelByte(g) & 0xF0u) |
                                       (ChannelByte(b) >> 4));
}
