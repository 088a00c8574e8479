#include "Framework/asn1/ASN1Sequence.h"

#include "Framework/asn1/ASN1Wire.h"

CASN1_Sequence::~CASN1_Sequence()
{
    for (int i = 0; i < GetFieldCount(); ++i)
        delete GetField(i);
    m_aFields.Clear();
}

void CASN1_Sequence::DefineField(CASN1_Field* pField)
{
    if (pField == nullptr || m_aFields.Add(pField) < 0)
    {
        delete pField;
        m_bIncomplete = true;
    }
}

int CASN1_Sequence::GetFieldCount() const
{
    return m_aFields.GetCount();
}

CASN1_Field* CASN1_Sequence::GetField(int iIndex) const
{
    return m_aFields[iIndex];
}

unsigned int CASN1_Sequence::Encode(unsigned char* pBuf, int iSize)
{
    if (m_bIncomplete)
        return 0;
    int iCount = GetFieldCount();
    long long llContent = 0;
    for (int i = 0; i < iCount; ++i)
    {
        CASN1_Field* pField = GetField(i);
        llContent += CASN1_TagField::MeasureTag(i) + (long long)pField->Encode(nullptr, 0);
    }
    int iTotal = 0;
    int iPos = ASN1Wire::BeginConstructed(pBuf, iSize, llContent, iTotal);
    if (iPos <= 0)
        return iPos < 0 ? 0 : (unsigned int)iTotal;
    for (int i = 0; i < iCount; ++i)
    {
        int iTag = i;
        CASN1_TagField tag(iTag);
        iPos += (int)tag.Encode(pBuf + iPos, iTotal - iPos);
        iPos += (int)GetField(i)->Encode(pBuf + iPos, iTotal - iPos);
    }
    // A field that wrote other than it measured leaves no usable message.
    return iPos == iTotal ? (unsigned int)iTotal : 0;
}

unsigned int CASN1_Sequence::Decode(const unsigned char* pBuf, int iSize)
{
    if (m_bIncomplete)
        return 0;
    int iLength = 0;
    int iHeader = DecodeLength(pBuf, iSize, iLength);
    if (iHeader == 0 || iLength > iSize - iHeader)
        return 0;
    int iEnd = iHeader + iLength;
    int iPos = iHeader;
    int iCount = GetFieldCount();
    while (iPos < iEnd)
    {
        int iIndex = 0;
        unsigned int uTagSize = CASN1_TagField::DecodeIndex(pBuf + iPos, iEnd - iPos, iIndex);
        if (uTagSize == 0 || iIndex >= iCount)
            return 0;
        iPos += (int)uTagSize;
        unsigned int uUsed = GetField(iIndex)->Decode(pBuf + iPos, iEnd - iPos);
        if (uUsed == 0 || uUsed > (unsigned int)(iEnd - iPos))
            return 0;
        iPos += (int)uUsed;
    }
    return (unsigned int)iEnd;
}

unsigned int CASN1_Message::Encode(unsigned char* pBuf, int iSize)
{
    int iId = m_iId;
    CASN1_TagField identifier(iId, eTAG_CONSTRUCTED);
    if (iSize <= 0 || pBuf == nullptr)
    {
        unsigned int uContent = CASN1_Sequence::Encode(nullptr, 0);
        return uContent == 0 ? 0 : identifier.Encode(nullptr, 0) + uContent;
    }
    unsigned int uIdSize = identifier.Encode(pBuf, iSize);
    if (uIdSize == 0 || (unsigned int)iSize <= uIdSize)
        return 0;
    unsigned int uContent = CASN1_Sequence::Encode(pBuf + uIdSize, iSize - (int)uIdSize);
    return uContent == 0 ? 0 : uIdSize + uContent;
}

unsigned int CASN1_Message::Decode(const unsigned char* pBuf, int iSize)
{
    int iId = -1;
    CASN1_TagField identifier(iId, eTAG_CONSTRUCTED);
    unsigned int uIdSize = identifier.Decode(pBuf, iSize);
    if (uIdSize == 0 || iId != m_iId || (unsigned int)iSize <= uIdSize)
        return 0;
    unsigned int uContent = CASN1_Sequence::Decode(pBuf + uIdSize, iSize - (int)uIdSize);
    return uContent == 0 ? 0 : uIdSize + uContent;
}

void CASN1_Record::DefineField(CASN1_Field* pField, TagClass eClass)
{
    int iBefore = GetFieldCount();
    CASN1_Sequence::DefineField(pField);
    if (GetFieldCount() > iBefore && m_aClasses.Add((int)eClass) < 0)
        m_bIncomplete = true;
}

unsigned int CASN1_Record::Encode(unsigned char*, int)
{
    return 0;
}

unsigned int CASN1_Record::Decode(const unsigned char* pBuf, int iSize)
{
    if (m_bIncomplete)
        return 0;
    int iCount = GetFieldCount();
    int iPos = 0;
    while (iPos < iSize)
    {
        unsigned int uFirst = pBuf[iPos];
        int iIndex = 0;
        unsigned int uTagSize = CASN1_TagField::DecodeIndex(pBuf + iPos, iSize - iPos, iIndex);
        if (uTagSize == 0)
            return 0;
        iPos += (int)uTagSize;
        CASN1_Field* pField = iIndex < iCount ? GetField(iIndex) : nullptr;
        unsigned int uUsed;
        if (pField != nullptr && (int)(uFirst & 0xE0) == m_aClasses[iIndex])
            uUsed = pField->Decode(pBuf + iPos, iSize - iPos);
        else
            uUsed = (unsigned int)ASN1Wire::SkipElement(pBuf + iPos, iSize - iPos);
        if (uUsed == 0 || uUsed > (unsigned int)(iSize - iPos))
            return 0;
        iPos += (int)uUsed;
    }
    return (unsigned int)iSize;
}
