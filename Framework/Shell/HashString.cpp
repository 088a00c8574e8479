#include "Framework/Shell/HashString.h"

#include "KorvelCommon/KorvelArray.h"

namespace
{
const uint32_t kPrime = 709607;

inline uint32_t ReadLe32(const unsigned char* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}
} // namespace

uint32_t FNV1A_Hash_Jesteress(const char* pBytes, unsigned int uLength)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pBytes);
    uint32_t h = 2166136261u;
    for (; uLength >= 8; uLength -= 8, p += 8)
    {
        uint32_t a = ReadLe32(p), b = ReadLe32(p + 4);
        h = (h ^ (((a << 5) | (a >> 27)) ^ b)) * kPrime;
    }
    if (uLength & 4)
    {
        h = (h ^ ReadLe32(p)) * kPrime;
        p += 4;
    }
    if (uLength & 2)
    {
        h = (h ^ ((uint32_t)p[0] | ((uint32_t)p[1] << 8))) * kPrime;
        p += 2;
    }
    if (uLength & 1)
        h = (h ^ (uint32_t)(int32_t)(signed char)p[0]) * kPrime;
    return h ^ (h >> 16);
}

uint32_t CHashString::Hash(const CKorvelString& strText)
{
    const unsigned short* pUnits = strText.GetBuffer();
    unsigned int uUnits = (unsigned int)strText.GetLength();
    if (!pUnits || uUnits == 0)
        return FNV1A_Hash_Jesteress("", 0);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The units in memory are already their little-endian bytes.
    return FNV1A_Hash_Jesteress(reinterpret_cast<const char*>(pUnits), uUnits * 2);
#else
    CKorvelArray<char> aBytes;
    aBytes.SetSize((int)uUnits * 2);
    for (unsigned int i = 0; i < uUnits; ++i)
    {
        aBytes[2 * i] = (char)(pUnits[i] & 0xFF);
        aBytes[2 * i + 1] = (char)(pUnits[i] >> 8);
    }
    return FNV1A_Hash_Jesteress(aBytes.m_pData, uUnits * 2);
#endif
}

CHashString::CHashString() : m_uHash(Hash(m_strText)) {}

CHashString::CHashString(const CKorvelString& strText) : m_strText(strText), m_uHash(Hash(m_strText)) {}

CHashString::CHashString(const char* pText) : m_strText(pText), m_uHash(Hash(m_strText)) {}

CHashString::CHashString(const wchar_t* pText) : m_strText(pText), m_uHash(Hash(m_strText)) {}
