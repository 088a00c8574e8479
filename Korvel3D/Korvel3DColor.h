// Floating-point RGBA colour (channels nominally 0..1, never clamped while
// mixing), unpacked from and packed to 0xAARRGGBB words and 16-bit pixels.
#pragma once

class CKorvel3DColor
{
public:
    float r, g, b, a;

    CKorvel3DColor() {}
    CKorvel3DColor(float fr, float fg, float fb, float fa) : r(fr), g(fg), b(fb), a(fa) {}
    CKorvel3DColor(unsigned int argb);
    CKorvel3DColor(const CKorvel3DColor& c) = default;
    CKorvel3DColor(const CKorvel3DColor* p);

    CKorvel3DColor& operator=(const CKorvel3DColor& c) = default;
    void Set(float fr, float fg, float fb, float fa)
    {
        r = fr;
        g = fg;
        b = fb;
        a = fa;
    }
    void Set(const CKorvel3DColor& c) { *this = c; }

    void Add(const CKorvel3DColor& x, const CKorvel3DColor& y);
    void Sub(const CKorvel3DColor& x, const CKorvel3DColor& y);
    // Channel-wise modulation, alpha included.
    void Blend(const CKorvel3DColor& x, const CKorvel3DColor& y);
    void Lerp(const CKorvel3DColor& x, const CKorvel3DColor& y, float t);
    // Inverts red, green and blue; keeps alpha.
    void Negative(const CKorvel3DColor& x);

    // Packers drop the low bits of each channel (truncation, no rounding) and
    // clamp each channel to its field, so out-of-range channels never leak
    // into their neighbours.
    unsigned int Get8888() const;
    unsigned short Get565() const;
    unsigned short Get555() const;
    unsigned short Get444() const;

    static CKorvel3DColor* New() { return new CKorvel3DColor; }
};
