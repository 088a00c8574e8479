// The descriptor writer and reader, and the short and rematch messages built on them.
#include "Framework/Session/asn1_hile_short.h"

#include "Framework/Session/asn1_hile_descriptor.h"
#include "Framework/Session/asn1_hile_handbuilt_wire.h"
#include "Framework/asn1/ASN1.h"
#include "Framework/asn1/ASN1Wire.h"

namespace Descriptor
{
unsigned int Encode(int iId, CASN1_Field* const* apFields, int iCount, unsigned char* pBuf, int iSize)
{
    if (iSize <= 0)
        pBuf = nullptr;
    long long llContent = 0;
    for (int i = 0; i < iCount; ++i)
        llContent += 1 + (long long)apFields[i]->Encode(nullptr, 0);
    int iTotal = 0;
    int iPos = HandBuilt::BeginMessage(pBuf, iSize, iId, llContent, iTotal);
    if (iPos <= 0)
        return iPos == 0 ? (unsigned int)iTotal : 0;
    for (int i = 0; i < iCount; ++i)
    {
        pBuf[iPos++] = (unsigned char)(CASN1_Field::eTAG_PRIMITIVE | i);
        unsigned int uWritten = apFields[i]->Encode(pBuf + iPos, iTotal - iPos);
        if (uWritten == 0)
            return 0;
        iPos += (int)uWritten;
    }
    return iPos == iTotal ? (unsigned int)iTotal : 0;
}

unsigned int Decode(const unsigned char* pBuf, int iSize, int iExpectedId, int* pDecodedId,
                    CASN1_Field* const* apFields, const unsigned char* aClasses, int iCount)
{
    if (pBuf == nullptr || iSize < 1)
        return 0;
    int iId = -1;
    CASN1_TagField identifier(iId, CASN1_Field::eTAG_CONSTRUCTED);
    int iPos = (int)identifier.Decode(pBuf, iSize);
    if (iPos == 0 || iId < 0 || (iExpectedId >= 0 && iId != iExpectedId))
        return 0;
    if (pDecodedId != nullptr)
        *pDecodedId = iId;
    int iLength = 0;
    int iHeader = ASN1Wire::ReadLength(pBuf + iPos, iSize - iPos, iLength);
    if (iHeader <= 0 || iLength > iSize - iPos - iHeader)
        return 0;
    iPos += iHeader;
    int iEnd = iPos + iLength;
    for (int i = 0; i < iCount; ++i)
    {
        // One tag byte of the field's class; its index is not looked at.
        if (iPos >= iEnd || (pBuf[iPos] & 0xE0) != aClasses[i] || (pBuf[iPos] & 0x1F) == 0x1F)
            return 0;
        ++iPos;
        unsigned int uUsed = apFields[i]->Decode(pBuf + iPos, iEnd - iPos);
        if (uUsed == 0 || uUsed > (unsigned int)(iEnd - iPos))
            return 0;
        iPos += (int)uUsed;
    }
    return (unsigned int)iEnd;
}
} // namespace Descriptor

namespace
{
const unsigned char kPrimitive[3] = {CASN1_Field::eTAG_PRIMITIVE, CASN1_Field::eTAG_PRIMITIVE,
                                     CASN1_Field::eTAG_PRIMITIVE};

using Descriptor::EncodeFields;

// Any id is taken and stored.
template <class... F>
unsigned int DecodeShort(eMESSAGE_ID& eId, const unsigned char* pBuf, int iSize, F&&... fields)
{
    int iId = -1;
    unsigned int uUsed =
        Descriptor::DecodeFields(pBuf, iSize, -1, &iId, kPrimitive, static_cast<F&&>(fields)...);
    if (iId >= 0)
        eId = (eMESSAGE_ID)iId;
    return uUsed;
}
} // namespace

unsigned int CASN1ShortMessage::Encode(unsigned char* pBuf, int iSize)
{
    return EncodeFields(m_eId, pBuf, iSize);
}

unsigned int CASN1ShortMessage::Decode(const unsigned char* pBuf, int iSize)
{
    return DecodeShort(m_eId, pBuf, iSize);
}

unsigned int CASN1ShortIntMessage::Encode(unsigned char* pBuf, int iSize)
{
    return EncodeFields(m_eId, pBuf, iSize, CASN1_IntField(m_iValue));
}

unsigned int CASN1ShortIntMessage::Decode(const unsigned char* pBuf, int iSize)
{
    return DecodeShort(m_eId, pBuf, iSize, CASN1_IntField(m_iValue));
}

unsigned int CASN1ShortInt2Message::Encode(unsigned char* pBuf, int iSize)
{
    return EncodeFields(m_eId, pBuf, iSize, CASN1_IntField(m_iValue1), CASN1_IntField(m_iValue2));
}

unsigned int CASN1ShortInt2Message::Decode(const unsigned char* pBuf, int iSize)
{
    return DecodeShort(m_eId, pBuf, iSize, CASN1_IntField(m_iValue1), CASN1_IntField(m_iValue2));
}

unsigned int CASN1ShortInt3Message::Encode(unsigned char* pBuf, int iSize)
{
    return EncodeFields(m_eId, pBuf, iSize, CASN1_IntField(m_iValue1), CASN1_IntField(m_iValue2),
                        CASN1_IntField(m_iValue3));
}

unsigned int CASN1ShortInt3Message::Decode(const unsigned char* pBuf, int iSize)
{
    return DecodeShort(m_eId, pBuf, iSize, CASN1_IntField(m_iValue1), CASN1_IntField(m_iValue2),
                       CASN1_IntField(m_iValue3));
}

unsigned int CASN1ShortInt64Message::Encode(unsigned char* pBuf, int iSize)
{
    return EncodeFields(m_eId, pBuf, iSize, CASN1_LongIntField(m_llValue));
}

unsigned int CASN1ShortInt64Message::Decode(const unsigned char* pBuf, int iSize)
{
    return DecodeShort(m_eId, pBuf, iSize, CASN1_LongIntField(m_llValue));
}

unsigned int CASN1RematchMessage::Encode(unsigned char* pBuf, int iSize)
{
    return EncodeFields(eMSG_REMATCH, pBuf, iSize, CASN1_LongIntField(m_llSession), CASN1_IntField(m_iWish),
                        CASN1_IntField(m_iValue));
}
