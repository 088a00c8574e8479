#include "Framework/Shell/GenerateMD5.h"

#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"

#include <cstring>

namespace
{
inline uint32_t RotateLeft(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

inline uint32_t ReadLe32(const unsigned char* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

inline void WriteLe32(unsigned char* p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
}

// Per-round shift amounts and the sine-derived constants of RFC 1321.
const int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                        5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                        4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                        6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

const uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
} // namespace

void CVornMD5::Init()
{
    m_aState[0] = 0x67452301;
    m_aState[1] = 0xefcdab89;
    m_aState[2] = 0x98badcfe;
    m_aState[3] = 0x10325476;
    m_uBitCount = 0;
}

void CVornMD5::Transform(const unsigned char* pBlock)
{
    uint32_t x[16];
    for (size_t i = 0; i < 16; ++i)
        x[i] = ReadLe32(pBlock + 4 * i);
    uint32_t a = m_aState[0], b = m_aState[1], c = m_aState[2], d = m_aState[3];
    // Unrolled so that every constant, shift and message index is fixed at compile time.
    // Each step adds first what does not depend on b (the value the previous step just
    // made), so the terms that do sit at the end of the chain: G's two halves have no bits
    // in common and are added separately, F is d ^ (b & (c ^ d)) and H is b ^ (c ^ d).
#define MD5_ROTATE(a, b, i) ((a) = (b) + RotateLeft((a), kShift[i]))
#define MD5_F(a, b, c, d, xk, i) ((a) += (xk) + kSine[i] + ((d) ^ ((b) & ((c) ^ (d)))), MD5_ROTATE(a, b, i))
#define MD5_G(a, b, c, d, xk, i)                                                                             \
    ((a) += (xk) + kSine[i] + (~(d) & (c)), (a) += (d) & (b), MD5_ROTATE(a, b, i))
#define MD5_H(a, b, c, d, xk, i) ((a) += (xk) + kSine[i] + ((b) ^ ((c) ^ (d))), MD5_ROTATE(a, b, i))
#define MD5_I(a, b, c, d, xk, i) ((a) += (xk) + kSine[i] + ((c) ^ ((b) | ~(d))), MD5_ROTATE(a, b, i))
    MD5_F(a, b, c, d, x[0], 0);
    MD5_F(d, a, b, c, x[1], 1);
    MD5_F(c, d, a, b, x[2], 2);
    MD5_F(b, c, d, a, x[3], 3);
    MD5_F(a, b, c, d, x[4], 4);
    MD5_F(d, a, b, c, x[5], 5);
    MD5_F(c, d, a, b, x[6], 6);
    MD5_F(b, c, d, a, x[7], 7);
    MD5_F(a, b, c, d, x[8], 8);
    MD5_F(d, a, b, c, x[9], 9);
    MD5_F(c, d, a, b, x[10], 10);
    MD5_F(b, c, d, a, x[11], 11);
    MD5_F(a, b, c, d, x[12], 12);
    MD5_F(d, a, b, c, x[13], 13);
    MD5_F(c, d, a, b, x[14], 14);
    MD5_F(b, c, d, a, x[15], 15);
    MD5_G(a, b, c, d, x[1], 16);
    MD5_G(d, a, b, c, x[6], 17);
    MD5_G(c, d, a, b, x[11], 18);
    MD5_G(b, c, d, a, x[0], 19);
    MD5_G(a, b, c, d, x[5], 20);
    MD5_G(d, a, b, c, x[10], 21);
    MD5_G(c, d, a, b, x[15], 22);
    MD5_G(b, c, d, a, x[4], 23);
    MD5_G(a, b, c, d, x[9], 24);
    MD5_G(d, a, b, c, x[14], 25);
    MD5_G(c, d, a, b, x[3], 26);
    MD5_G(b, c, d, a, x[8], 27);
    MD5_G(a, b, c, d, x[13], 28);
    MD5_G(d, a, b, c, x[2], 29);
    MD5_G(c, d, a, b, x[7], 30);
    MD5_G(b, c, d, a, x[12], 31);
    MD5_H(a, b, c, d, x[5], 32);
    MD5_H(d, a, b, c, x[8], 33);
    MD5_H(c, d, a, b, x[11], 34);
    MD5_H(b, c, d, a, x[14], 35);
    MD5_H(a, b, c, d, x[1], 36);
    MD5_H(d, a, b, c, x[4], 37);
    MD5_H(c, d, a, b, x[7], 38);
    MD5_H(b, c, d, a, x[10], 39);
    MD5_H(a, b, c, d, x[13], 40);
    MD5_H(d, a, b, c, x[0], 41);
    MD5_H(c, d, a, b, x[3], 42);
    MD5_H(b, c, d, a, x[6], 43);
    MD5_H(a, b, c, d, x[9], 44);
    MD5_H(d, a, b, c, x[12], 45);
    MD5_H(c, d, a, b, x[15], 46);
    MD5_H(b, c, d, a, x[2], 47);
    MD5_I(a, b, c, d, x[0], 48);
    MD5_I(d, a, b, c, x[7], 49);
    MD5_I(c, d, a, b, x[14], 50);
    MD5_I(b, c, d, a, x[5], 51);
    MD5_I(a, b, c, d, x[12], 52);
    MD5_I(d, a, b, c, x[3], 53);
    MD5_I(c, d, a, b, x[10], 54);
    MD5_I(b, c, d, a, x[1], 55);
    MD5_I(a, b, c, d, x[8], 56);
    MD5_I(d, a, b, c, x[15], 57);
    MD5_I(c, d, a, b, x[6], 58);
    MD5_I(b, c, d, a, x[13], 59);
    MD5_I(a, b, c, d, x[4], 60);
    MD5_I(d, a, b, c, x[11], 61);
    MD5_I(c, d, a, b, x[2], 62);
    MD5_I(b, c, d, a, x[9], 63);
#undef MD5_ROTATE
#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I
    m_aState[0] += a;
    m_aState[1] += b;
    m_aState[2] += c;
    m_aState[3] += d;
}

void CVornMD5::Update(const unsigned char* pData, unsigned int uLength)
{
    if (!pData || uLength == 0)
        return;
    unsigned int uHave = (unsigned int)((m_uBitCount >> 3) & 63);
    m_uBitCount += (uint64_t)uLength << 3;
    unsigned int uNeed = 64 - uHave;
    unsigned int i = 0;
    if (uLength >= uNeed)
    {
        memcpy(m_aBlock + uHave, pData, uNeed);
        Transform(m_aBlock);
        for (i = uNeed; i + 63 < uLength; i += 64)
            Transform(pData + i);
        uHave = 0;
    }
    memcpy(m_aBlock + uHave, pData + i, uLength - i);
}

void CVornMD5::Finalize()
{
    unsigned char aLength[8];
    uint64_t uBits = m_uBitCount;
    for (int i = 0; i < 8; ++i)
        aLength[i] = (unsigned char)(uBits >> (8 * i));
    static const unsigned char kPadding[64] = {0x80};
    unsigned int uHave = (unsigned int)((uBits >> 3) & 63);
    unsigned int uPad = uHave < 56 ? 56 - uHave : 120 - uHave;
    Update(kPadding, uPad);
    Update(aLength, 8);
    for (size_t i = 0; i < 4; ++i)
        WriteLe32(m_aDigest + 4 * i, m_aState[i]);
}

void CVornMD5::MD5(const unsigned char* pData, unsigned int uLength)
{
    Init();
    Update(pData, uLength);
    Finalize();
}

void CVornMD5::MD5(CKorvelFile& file)
{
    Init();
    file.Seek(0, KET_SEEK_BEGIN);
    unsigned char aPiece[256];
    for (;;)
    {
        unsigned int uRead = file.Read(aPiece, sizeof(aPiece));
        if (uRead == 0)
            break;
        Update(aPiece, uRead);
    }
    Finalize();
}

void CVornMD5::GetDigestStr(CKorvelString& strOut) const
{
    static const char kHex[] = "0123456789abcdef";
    char aText[33];
    for (size_t i = 0; i < 16; ++i)
    {
        aText[2 * i] = kHex[m_aDigest[i] >> 4];
        aText[2 * i + 1] = kHex[m_aDigest[i] & 15];
    }
    aText[32] = 0;
    strOut.Set(aText);
}

void GenerateMD5(CKorvelString& str)
{
    int iLength = str.GetLength();
    CKorvelArray<unsigned char> aBytes;
    if (iLength > 0)
        aBytes.SetSize(iLength);
    const unsigned short* pUnits = str.GetBuffer();
    for (int i = 0; i < iLength; ++i)
        aBytes[i] = (unsigned char)(pUnits[i] & 0xFF);
    CVornMD5 md5;
    md5.MD5(aBytes.m_pData, (unsigned int)iLength);
    md5.GetDigestStr(str);
}
