#include "Framework/asn1/ASN1Wire.h"

#include "KorvelCommon/KorvelString.h"

namespace ASN1Wire
{
int LengthSize(int iLength)
{
    if (iLength <= 127)
        return 1;
    int n = 0;
    for (unsigned int u = (unsigned int)iLength; u != 0; u >>= 8)
        ++n;
    return n + 1;
}

int WriteLength(unsigned char* pBuf, int iLength)
{
    int iSize = LengthSize(iLength);
    if (iSize == 1)
    {
        pBuf[0] = (unsigned char)iLength;
        return 1;
    }
    int n = iSize - 1;
    pBuf[0] = (unsigned char)(0x80 | n);
    for (int i = 0; i < n; ++i)
        pBuf[1 + i] = (unsigned char)((unsigned int)iLength >> (8 * (n - 1 - i)));
    return iSize;
}

int ReadLength(const unsigned char* pBuf, int iSize, int& iLength)
{
    if (iSize < 1)
        return eLENGTH_NEEDMORE;
    unsigned int b = pBuf[0];
    if (b < 0x80)
    {
        iLength = (int)b;
        return 1;
    }
    int n = (int)(b & 0x0F);
    if (n == 0)
    {
        iLength = 0;
        return 1;
    }
    if (n > 4)
        return eLENGTH_MALFORMED;
    if (iSize < n + 1)
        return eLENGTH_NEEDMORE;
    unsigned int u = 0;
    for (int i = 1; i <= n; ++i)
        u = (u << 8) | pBuf[i];
    if (u > 0x7FFFFFFFu)
        return eLENGTH_MALFORMED;
    iLength = (int)u;
    return n + 1;
}

int BeginConstructed(unsigned char* pBuf, int iSize, long long llContent, int& iTotal)
{
    if (llContent > 0x7FFFFFF0LL)
        return -1;
    int iContent = (int)llContent;
    iTotal = LengthSize(iContent) + iContent;
    if (iSize <= 0 || pBuf == nullptr)
        return 0;
    if (iSize < iTotal)
        return -1;
    return WriteLength(pBuf, iContent);
}

int IntSize(int iValue)
{
    if (iValue >= -128 && iValue <= 127)
        return 2;
    if (iValue >= -32768 && iValue <= 32767)
        return 3;
    if (iValue >= -8388608 && iValue <= 8388607)
        return 4;
    return 5;
}

int WriteInt(unsigned char* pBuf, int iValue)
{
    int iSize = IntSize(iValue);
    int n = iSize - 1;
    pBuf[0] = (unsigned char)n;
    for (int i = 0; i < n; ++i)
        pBuf[1 + i] = (unsigned char)((unsigned int)iValue >> (8 * (n - 1 - i)));
    return iSize;
}

int ReadInt(const unsigned char* pBuf, int iSize, int& iValue)
{
    if (iSize < 1)
        return 0;
    int n = pBuf[0];
    if (n > 4 || iSize < n + 1)
        return 0;
    if (n == 0)
    {
        iValue = 0;
        return 1;
    }
    // Sign-extend from the first content byte.
    unsigned int u = (pBuf[1] & 0x80) ? 0xFFFFFFFFu : 0u;
    for (int i = 1; i <= n; ++i)
        u = (u << 8) | pBuf[i];
    iValue = (int)u;
    return n + 1;
}

int LongIntSize(long long llValue)
{
    if (llValue < 0)
        return 9;
    int n = 1;
    while (n < 8 && (llValue >> (8 * n - 1)) != 0)
        ++n;
    return n + 1;
}

int WriteLongInt(unsigned char* pBuf, long long llValue)
{
    int iSize = LongIntSize(llValue);
    int n = iSize - 1;
    pBuf[0] = (unsigned char)n;
    for (int i = 0; i < n; ++i)
        pBuf[1 + i] = (unsigned char)((unsigned long long)llValue >> (8 * (n - 1 - i)));
    return iSize;
}

int ReadLongInt(const unsigned char* pBuf, int iSize, long long& llValue)
{
    if (iSize < 1)
        return 0;
    int n = pBuf[0];
    if (n > 8 || iSize < n + 1)
        return 0;
    unsigned long long u = 0;
    for (int i = 1; i <= n; ++i)
        u = (u << 8) | pBuf[i];
    llValue = (long long)u;
    return n + 1;
}

int TextByteCount(const CKorvelString& strText)
{
    const unsigned short* pUnits = strText.GetBuffer();
    int iLength = strText.GetLength();
    int iBytes = 0;
    for (int i = 0; i < iLength; ++i)
        iBytes += pUnits[i] < 0x80 ? 1 : (pUnits[i] < 0x800 ? 2 : 3);
    return iBytes;
}

int WriteText(unsigned char* pBuf, const CKorvelString& strText)
{
    const unsigned short* pUnits = strText.GetBuffer();
    int iLength = strText.GetLength();
    unsigned char* p = pBuf;
    for (int i = 0; i < iLength; ++i)
    {
        unsigned int u = pUnits[i];
        if (u < 0x80)
        {
            *p++ = (unsigned char)u;
        }
        else if (u < 0x800)
        {
            *p++ = (unsigned char)(0xC0 | (u >> 6));
            *p++ = (unsigned char)(0x80 | (u & 0x3F));
        }
        else
        {
            *p++ = (unsigned char)(0xE0 | (u >> 12));
            *p++ = (unsigned char)(0x80 | ((u >> 6) & 0x3F));
            *p++ = (unsigned char)(0x80 | (u & 0x3F));
        }
    }
    return (int)(p - pBuf);
}

int SkipElement(const unsigned char* pBuf, int iSize)
{
    int iLength = 0;
    int iHeader = ReadLength(pBuf, iSize, iLength);
    if (iHeader <= 0 || iLength > iSize - iHeader)
        return 0;
    return iHeader + iLength;
}
} // namespace ASN1Wire
