#include "Framework/asn1/ASN1ValueFields.h"

#include "Framework/asn1/ASN1Wire.h"
#include "KorvelCommon/KorvelString.h"

#include <cstring>
#include <new>

namespace
{
// Common head of every encoder: measure, or check that the bytes fit.
bool MeasureOnly(const unsigned char* pBuf, int iSize)
{
    return iSize <= 0 || pBuf == nullptr;
}
} // namespace

unsigned int CASN1_IntField::Encode(unsigned char* pBuf, int iSize)
{
    int iNeeded = ASN1Wire::IntSize(m_iValue);
    if (MeasureOnly(pBuf, iSize))
        return (unsigned int)iNeeded;
    if (iSize < iNeeded)
        return 0;
    return (unsigned int)ASN1Wire::WriteInt(pBuf, m_iValue);
}

unsigned int CASN1_IntField::Decode(const unsigned char* pBuf, int iSize)
{
    return (unsigned int)ASN1Wire::ReadInt(pBuf, iSize, m_iValue);
}

unsigned int CASN1_LongIntField::Encode(unsigned char* pBuf, int iSize)
{
    int iNeeded = ASN1Wire::LongIntSize(m_llValue);
    if (MeasureOnly(pBuf, iSize))
        return (unsigned int)iNeeded;
    if (iSize < iNeeded)
        return 0;
    return (unsigned int)ASN1Wire::WriteLongInt(pBuf, m_llValue);
}

unsigned int CASN1_LongIntField::Decode(const unsigned char* pBuf, int iSize)
{
    return (unsigned int)ASN1Wire::ReadLongInt(pBuf, iSize, m_llValue);
}

unsigned int CASN1_StringField::Encode(unsigned char* pBuf, int iSize)
{
    int iBytes = ASN1Wire::TextByteCount(*m_pText);
    int iNeeded = ASN1Wire::LengthSize(iBytes) + iBytes;
    if (MeasureOnly(pBuf, iSize))
        return (unsigned int)iNeeded;
    if (iSize < iNeeded)
        return 0;
    int iHeader = ASN1Wire::WriteLength(pBuf, iBytes);
    return (unsigned int)(iHeader + ASN1Wire::WriteText(pBuf + iHeader, *m_pText));
}

unsigned int CASN1_StringField::Decode(const unsigned char* pBuf, int iSize)
{
    if (m_pWritable == nullptr)
        return 0;
    int iLength = 0;
    int iHeader = DecodeLength(pBuf, iSize, iLength);
    if (iHeader == 0 || iLength > iSize - iHeader)
        return 0;
    m_pWritable->Reset();
    if (iLength > 0)
        m_pWritable->FromUTF8((const char*)(pBuf + iHeader), iLength);
    return (unsigned int)(iHeader + iLength);
}

unsigned int CASN1_ByteArrayField::Encode(unsigned char* pBuf, int iSize)
{
    // A negative count (a decode that did not fit) goes out as an empty array.
    int iCount = m_iSize > 0 ? m_iSize : 0;
    int iNeeded = ASN1Wire::LengthSize(iCount) + iCount;
    if (MeasureOnly(pBuf, iSize))
        return (unsigned int)iNeeded;
    if (iSize < iNeeded)
        return 0;
    int iHeader = ASN1Wire::WriteLength(pBuf, iCount);
    const unsigned char* pData = m_ppData != nullptr ? *m_ppData : nullptr;
    // Without bytes to send, zeros keep the announced length honest.
    if (pData != nullptr)
        memcpy(pBuf + iHeader, pData, (size_t)iCount);
    else
        memset(pBuf + iHeader, 0, (size_t)iCount);
    return (unsigned int)iNeeded;
}

unsigned int CASN1_ByteArrayField::Decode(const unsigned char* pBuf, int iSize)
{
    int iLength = 0;
    int iHeader = DecodeLength(pBuf, iSize, iLength);
    if (iHeader == 0 || iLength > iSize - iHeader)
        return 0;
    unsigned int uConsumed = (unsigned int)(iHeader + iLength);
    if (iLength == 0 || m_ppData == nullptr)
    {
        m_iSize = iLength;
        return uConsumed;
    }
    if (*m_ppData == nullptr)
    {
        unsigned char* pBlock = new (std::nothrow) unsigned char[iLength];
        if (pBlock == nullptr)
        {
            m_iSize = 0;
            return 0;
        }
        *m_ppData = pBlock;
        m_iSize = iLength;
    }
    else if (m_iSize < iLength)
    {
        m_iSize = -1;
        return uConsumed;
    }
    memcpy(*m_ppData, pBuf + iHeader, (size_t)iLength);
    m_iSize = iLength;
    return uConsumed;
}
