#include "Platform/DeviceInfo/DeviceDigest.h"

#include <cmath>
#include <cstddef>

namespace plat
{

namespace
{
uint32_t Rotate(uint32_t x, unsigned int n)
{
    return (x << n) | (x >> (32 - n));
}

struct sROUND_TABLES
{
    uint32_t m_aK[64];
    unsigned int m_aShift[64];
    sROUND_TABLES()
    {
        // K[i] is the integer part of |sin(i + 1)| x 2^32 (exact in double precision).
        static const unsigned int s_aShifts[4][4] = {
            {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
        for (int i = 0; i < 64; ++i)
        {
            m_aK[i] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
            m_aShift[i] = s_aShifts[i / 16][i % 4];
        }
    }
};

void Block(uint32_t aState[4], const uint8_t* pBlock, const sROUND_TABLES& tables)
{
    uint32_t aWords[16];
    for (int i = 0; i < 16; ++i)
    {
        const uint8_t* pWord = pBlock + static_cast<ptrdiff_t>(i) * 4;
        aWords[i] = pWord[0] | (pWord[1] << 8) | (pWord[2] << 16) | (static_cast<uint32_t>(pWord[3]) << 24);
    }
    uint32_t a = aState[0], b = aState[1], c = aState[2], d = aState[3];
    for (int i = 0; i < 64; ++i)
    {
        uint32_t f;
        int g;
        if (i < 16)
            f = (b & c) | (~b & d), g = i;
        else if (i < 32)
            f = (d & b) | (~d & c), g = (5 * i + 1) % 16;
        else if (i < 48)
            f = b ^ c ^ d, g = (3 * i + 5) % 16;
        else
            f = c ^ (b | ~d), g = (7 * i) % 16;
        const uint32_t uNext = d;
        d = c;
        c = b;
        b = b + Rotate(a + f + tables.m_aK[i] + aWords[g], tables.m_aShift[i]);
        a = uNext;
    }
    aState[0] += a;
    aState[1] += b;
    aState[2] += c;
    aState[3] += d;
}
} // namespace

std::array<uint8_t, 16> DeviceDigest(const std::string& strBytes)
{
    static const sROUND_TABLES s_Tables;
    std::string strPadded = strBytes;
    const uint64_t uBits = static_cast<uint64_t>(strBytes.size()) * 8;
    strPadded += static_cast<char>(0x80);
    while (strPadded.size() % 64 != 56)
        strPadded += '\0';
    for (int i = 0; i < 8; ++i)
        strPadded += static_cast<char>((uBits >> (8 * i)) & 0xFF);

    uint32_t aState[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (size_t u = 0; u < strPadded.size(); u += 64)
        Block(aState, reinterpret_cast<const uint8_t*>(strPadded.data() + u), s_Tables);
    std::array<uint8_t, 16> aDigest;
    for (int i = 0; i < 16; ++i)
        aDigest[i] = static_cast<uint8_t>(aState[i / 4] >> (8 * (i % 4)));
    return aDigest;
}

} // namespace plat
