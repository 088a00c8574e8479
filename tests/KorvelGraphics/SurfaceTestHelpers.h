// Shared by the surface tests: surfaces that shut themselves down, seeded pixel noise,
// a hash of the visible pixels and small row readers.
#pragma once

#include "KorvelGraphics/KorvelSurface.h"

#include <cstdint>
#include <vector>

// A created surface that releases itself at the end of the test.
class CTestSurface : public CKorvelSurface
{
public:
    CTestSurface(int w, int h, eKET_SURFACEFORMAT eFormat, bool bAlphaPlane = false,
                 IKorvelApplication* pApp = nullptr)
    {
        SKE_SURFACEDESC desc = {w, h, 0, eFormat, 0, 0};
        m_iCreateResult = Create(pApp, desc);
        if (bAlphaPlane)
            CreateAlphaChannel();
    }
    ~CTestSurface() override { Shutdown(); }

    int m_iCreateResult;
};

// Deterministic noise (a 32-bit LCG), the same on every machine.
class CTestNoise
{
public:
    explicit CTestNoise(uint32_t uSeed) : m_uState(uSeed) {}
    uint32_t Next()
    {
        m_uState = m_uState * 1664525u + 1013904223u;
        return m_uState ^ (m_uState >> 16);
    }

private:
    uint32_t m_uState;
};

// Every pixel byte and alpha-plane byte from the noise.
inline void FillNoise(CKorvelSurface& s, uint32_t uSeed)
{
    CTestNoise noise(uSeed);
    SKE_SURFACEDESC d;
    unsigned char* p = static_cast<unsigned char*>(s.Lock(&d, 0));
    for (int y = 0; y < d.iHeight; ++y)
        for (int x = 0; x < d.iWidth * d.iBytesPerPixel; ++x)
            p[y * d.iPitch + x] = static_cast<unsigned char>(noise.Next());
    if (unsigned char* pa = s.GetAlphaChannel())
        for (int i = 0; i < d.iWidth * d.iHeight; ++i)
            pa[i] = static_cast<unsigned char>(noise.Next());
}

// FNV-1a over the visible bytes of every row, then the alpha plane.
inline uint32_t HashSurface(CKorvelSurface& s)
{
    uint32_t h = 2166136261u;
    auto add = [&h](unsigned char b)
    {
        h ^= b;
        h *= 16777619u;
    };
    SKE_SURFACEDESC d;
    const unsigned char* p = static_cast<const unsigned char*>(s.Lock(&d, 1));
    for (int y = 0; y < d.iHeight; ++y)
        for (int x = 0; x < d.iWidth * d.iBytesPerPixel; ++x)
            add(p[y * d.iPitch + x]);
    if (const unsigned char* pa = s.GetAlphaChannel())
        for (int i = 0; i < d.iWidth * d.iHeight; ++i)
            add(pa[i]);
    return h;
}

// Pixels of one row, as raw values.
inline std::vector<unsigned int> RowPixels(const CKorvelSurface& s, int y)
{
    std::vector<unsigned int> v;
    for (int x = 0; x < s.GetWidth(); ++x)
        v.push_back(s.GetPixel(x, y));
    return v;
}

// Sets every pixel to a value made of its coordinates (x in the low byte, y above).
inline void FillCoordinates(CKorvelSurface& s, unsigned int uBase = 0)
{
    for (int y = 0; y < s.GetHeight(); ++y)
        for (int x = 0; x < s.GetWidth(); ++x)
            s.SetPixel(x, y, uBase | (static_cast<unsigned int>(y) << 8) | static_cast<unsigned int>(x));
}
