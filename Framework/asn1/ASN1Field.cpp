#include "Framework/asn1/ASN1Field.h"

#include "Framework/asn1/ASN1Wire.h"

int CASN1_Field::EncodeLength(unsigned char* pBuf, int iSize, int iLength)
{
    int iNeeded = ASN1Wire::LengthSize(iLength);
    if (iSize <= 0 || pBuf == nullptr)
        return iNeeded;
    if (iSize < iNeeded)
        return 0;
    return ASN1Wire::WriteLength(pBuf, iLength);
}

int CASN1_Field::DecodeLength(const unsigned char* pBuf, int iSize, int& iLength)
{
    int iHeader = ASN1Wire::ReadLength(pBuf, iSize, iLength);
    return iHeader > 0 ? iHeader : 0;
}

unsigned int CASN1_TagField::Encode(unsigned char* pBuf, int iSize)
{
    int iNeeded = MeasureTag(m_iTag);
    if (iSize <= 0 || pBuf == nullptr)
        return (unsigned int)iNeeded;
    if (iNeeded > iSize)
        return 0;
    unsigned int uClass = (unsigned int)m_eClass;
    if (iNeeded == 1)
    {
        pBuf[0] = (unsigned char)((m_iTag & 0x1F) | uClass);
    }
    else if (iNeeded == 2)
    {
        pBuf[0] = (unsigned char)(uClass | 0x1F);
        pBuf[1] = (unsigned char)(m_iTag & 0x7F);
    }
    else
    {
        pBuf[0] = (unsigned char)(uClass | 0x1F);
        pBuf[1] = (unsigned char)(0x80 | ((m_iTag >> 7) & 0x7F));
        pBuf[2] = (unsigned char)(m_iTag & 0x7F);
    }
    return (unsigned int)iNeeded;
}

unsigned int CASN1_TagField::Decode(const unsigned char* pBuf, int iSize)
{
    static const int kMaxTagBytes = 3;
    m_iTag = -1;
    if (iSize < 1)
        return 0;
    unsigned int b = pBuf[0];
    unsigned int uClassBits = b & 0xE0;
    if (m_eClass != eTAG_ANY && uClassBits != (unsigned int)m_eClass)
        return 0;
    unsigned int uCarried = m_eClass == eTAG_ANY ? (uClassBits << 24) : 0;
    if ((b & 0x1F) < 31)
    {
        m_iTag = (int)(uCarried | (b & 0x1F));
        return 1;
    }
    unsigned int uValue = 0;
    for (int i = 1; i < kMaxTagBytes && i < iSize; ++i)
    {
        uValue = (uValue << 7) | (pBuf[i] & 0x7F);
        if (pBuf[i] < 0x80)
        {
            m_iTag = (int)(uCarried | uValue);
            return (unsigned int)(i + 1);
        }
    }
    return 0;
}

unsigned int CASN1_TagField::DecodeIndex(const unsigned char* pBuf, int iSize, int& iIndex)
{
    int iTag = -1;
    CASN1_TagField tag(iTag, eTAG_ANY);
    unsigned int uSize = tag.Decode(pBuf, iSize);
    iIndex = iTag & 0x1FFFFFFF;
    return uSize;
}
