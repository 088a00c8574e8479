#include "Framework/asn1/ASN1.h"

#include "Framework/asn1/ASN1Wire.h"
#include "KorvelCommon/KorvelString.h"

#include <climits>

namespace
{
const unsigned char kLongIdentifier = 0xBF;
const int kAliveId = 44;
const int kLogoutId = 59;
} // namespace

int CASN1::GetMessageLength(const unsigned char* pBuf, int iSize)
{
    if (pBuf == nullptr || iSize < 2)
        return eMSGLEN_NEEDMORE;
    int iIdSize = 1;
    if (pBuf[0] == kLongIdentifier)
    {
        // A continued second byte would make a third identifier byte: ids stop at 127.
        if (pBuf[1] >= 0x80)
            return eMSGLEN_MALFORMED;
        if (iSize == 2)
            return eMSGLEN_NEEDMORE;
        iIdSize = 2;
    }
    int iLength = 0;
    int iHeader = ASN1Wire::ReadLength(pBuf + iIdSize, iSize - iIdSize, iLength);
    if (iHeader == ASN1Wire::eLENGTH_NEEDMORE)
        return eMSGLEN_NEEDMORE;
    if (iHeader == ASN1Wire::eLENGTH_MALFORMED || iLength > INT_MAX - iIdSize - iHeader)
        return eMSGLEN_MALFORMED;
    return iIdSize + iHeader + iLength;
}

int CASN1::GetMessageID(const unsigned char* pBuf, int iSize)
{
    if (pBuf == nullptr || iSize < 1)
        return -1;
    if (pBuf[0] == kLongIdentifier)
        return iSize < 2 ? -1 : pBuf[1];
    return pBuf[0] & 0x1F;
}

int CASN1::GetMessageIndexLength(const unsigned char* pBuf, int iSize)
{
    if (pBuf == nullptr || iSize < 1)
        return 0;
    return pBuf[0] == kLongIdentifier ? 2 : 1;
}

int CASN1::EncodeLength(unsigned char* pBuf, int iLength)
{
    return ASN1Wire::WriteLength(pBuf, iLength);
}

int CASN1::DecodeLength(const unsigned char* pBuf, int& iLength, int iSize)
{
    int iHeader = ASN1Wire::ReadLength(pBuf, iSize, iLength);
    return iHeader > 0 ? iHeader : -1;
}

int CASN1::EncodeInt(unsigned char* pBuf, int iValue)
{
    return iValue >= 0 ? EncodePositiveInt(pBuf, iValue) : EncodeNegativeInt(pBuf, iValue);
}

// Both signs share the minimal two's complement writer; the two entry points remain
// for the callers that know the sign.
int CASN1::EncodePositiveInt(unsigned char* pBuf, int iValue)
{
    return ASN1Wire::WriteInt(pBuf, iValue);
}

int CASN1::EncodeNegativeInt(unsigned char* pBuf, int iValue)
{
    return ASN1Wire::WriteInt(pBuf, iValue);
}

int CASN1::EncodeShortInt(unsigned char* pBuf, int iValue)
{
    pBuf[0] = 0x01;
    pBuf[1] = (unsigned char)iValue;
    return 2;
}

int CASN1::EncodeLongInt(unsigned char* pBuf, long long llValue)
{
    return ASN1Wire::WriteLongInt(pBuf, llValue);
}

int CASN1::DecodeInt(const unsigned char* pBuf, int& iValue, int iSize)
{
    return ASN1Wire::ReadInt(pBuf, iSize, iValue);
}

int CASN1::DecodeKE_UINT(const unsigned char* pBuf, unsigned int& uValue, int iSize)
{
    int iValue = 0;
    int iUsed = ASN1Wire::ReadInt(pBuf, iSize, iValue);
    if (iUsed > 0)
        uValue = (unsigned int)iValue;
    return iUsed;
}

int CASN1::DecodeLongInt(const unsigned char* pBuf, long long& llValue, int iSize)
{
    return ASN1Wire::ReadLongInt(pBuf, iSize, llValue);
}

int CASN1::CompareDates(sDATE a, sDATE b)
{
    const int aA[6] = {a.m_iYear, a.m_iMonth, a.m_iDay, a.m_iHour, a.m_iMinute, a.m_iSecond};
    const int aB[6] = {b.m_iYear, b.m_iMonth, b.m_iDay, b.m_iHour, b.m_iMinute, b.m_iSecond};
    for (int i = 0; i < 6; ++i)
    {
        if (aA[i] != aB[i])
            return aA[i] > aB[i] ? 1 : -1;
    }
    return 0;
}

unsigned int CASN1::ChangeStringToKE_UINT(CKorvelString& strText)
{
    const unsigned short* pUnits = strText.GetBuffer();
    unsigned int uValue = 0;
    int iShift = 0;
    for (int i = strText.GetLength() - 1; i >= 0; --i, iShift += 4)
    {
        unsigned int u = pUnits[i];
        unsigned int uDigit;
        if (u >= '0' && u <= '9')
            uDigit = u - '0';
        else if (u >= 'A' && u <= 'F')
            uDigit = u - 'A' + 10;
        else if (u >= 'a' && u <= 'f')
            uDigit = u - 'a' + 10;
        else
            break;
        // Digits beyond the eighth fall outside 32 bits.
        if (iShift < 32)
            uValue |= uDigit << iShift;
    }
    return uValue;
}

int CASN1::CreateLogout(unsigned char* pBuf)
{
    pBuf[0] = kLongIdentifier;
    pBuf[1] = (unsigned char)kLogoutId;
    pBuf[2] = 0x00;
    return 3;
}

KE_RETVAL CASN1::DecodeAlive(const unsigned char* pBuf, int& iValue, int iSize)
{
    if (pBuf == nullptr || iSize < 2 || pBuf[0] != kLongIdentifier || pBuf[1] != kAliveId)
        return KE_ERR_BADDATA;
    int iLength = 0;
    int iHeader = ASN1Wire::ReadLength(pBuf + 2, iSize - 2, iLength);
    if (iHeader <= 0 || iLength > iSize - 2 - iHeader)
        return KE_ERR_BADDATA;
    // The integer follows one field tag byte and stays inside the content.
    int iField = 2 + iHeader + 1;
    int iEnd = 2 + iHeader + iLength;
    if (iField >= iEnd || ASN1Wire::ReadInt(pBuf + iField, iEnd - iField, iValue) == 0)
        return KE_ERR_BADDATA;
    return KE_OK;
}
