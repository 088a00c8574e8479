// Lists: a length field over the elements, each element a one-byte universal tag and
// its encoding. CASN1_SequenceOf<CASN1_IntField> binds a CKorvelArray<int> (tag 0x02),
// CASN1_SequenceOf<CASN1_StringField> a CKorvelArray<CKorvelString> (tag 0x0C), and
// CASN1_SequenceOf<Decoder> for a record decoder (a CASN1_Field constructed from a
// reference to one record, declaring `typedef <record> RecordType;`) binds an array of
// those records (tag 0x30, each element a length field and the record's fields).
#pragma once

#include "Framework/asn1/ASN1Field.h"
#include "Framework/asn1/ASN1ValueFields.h"
#include "Framework/asn1/ASN1Wire.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelString.h"

template <class T> struct CASN1_SequenceOfTraits
{
    typedef typename T::RecordType Element;
    static const unsigned char kTag = 0x30;
    static const bool kRecord = true;
};

template <> struct CASN1_SequenceOfTraits<CASN1_IntField>
{
    typedef int Element;
    static const unsigned char kTag = 0x02;
    static const bool kRecord = false;
};

template <> struct CASN1_SequenceOfTraits<CASN1_StringField>
{
    typedef CKorvelString Element;
    static const unsigned char kTag = 0x0C;
    static const bool kRecord = false;
};

template <class T> class CASN1_SequenceOf : public CASN1_Field
{
public:
    typedef CASN1_SequenceOfTraits<T> Traits;
    typedef typename Traits::Element Element;

    explicit CASN1_SequenceOf(CKorvelArray<Element>& aArray) : m_aArray(aArray) {}

    unsigned int Encode(unsigned char* pBuf, int iSize) override
    {
        int iCount = m_aArray.GetCount();
        long long llContent = 0;
        for (int i = 0; i < iCount; ++i)
            llContent += 1 + MeasureElement(m_aArray[i]);
        int iTotal = 0;
        int iPos = ASN1Wire::BeginConstructed(pBuf, iSize, llContent, iTotal);
        if (iPos <= 0)
            return iPos < 0 ? 0 : (unsigned int)iTotal;
        for (int i = 0; i < iCount; ++i)
        {
            pBuf[iPos++] = Traits::kTag;
            int iWritten = WriteElement(m_aArray[i], pBuf + iPos, iTotal - iPos);
            if (iWritten < 0)
                return 0;
            iPos += iWritten;
        }
        return iPos == iTotal ? (unsigned int)iTotal : 0;
    }

    // Empties the array first. A record is bounded by its own element length and
    // skipped to its end whatever its decoder consumed; any element that fails, or a
    // wrong element tag, fails the list (the elements read so far stay).
    unsigned int Decode(const unsigned char* pBuf, int iSize) override
    {
        m_aArray.RemoveAll();
        int iLength = 0;
        int iHeader = DecodeLength(pBuf, iSize, iLength);
        if (iHeader == 0 || iLength > iSize - iHeader)
            return 0;
        int iEnd = iHeader + iLength;
        // Sized once from a first walk over the element lengths; elements decode in place.
        int iSlots = CountElements(pBuf + iHeader, iLength);
        if (iSlots > 0 && !m_aArray.SetSize(iSlots))
            return 0;
        int iDone = 0;
        int iPos = iHeader;
        while (iPos < iEnd)
        {
            if (iDone == iSlots || pBuf[iPos] != Traits::kTag)
                break;
            ++iPos;
            Element& element = m_aArray[iDone];
            element = Element();
            int iUsed = ReadElement(element, pBuf + iPos, iEnd - iPos);
            if (iUsed <= 0)
                break;
            ++iDone;
            iPos += iUsed;
        }
        if (iDone < iSlots)
            m_aArray.SetSize(iDone);
        return iPos == iEnd && iDone == iSlots ? (unsigned int)iEnd : 0;
    }

private:
    // Elements up to the first one that is not whole (each a tag byte, then a count or
    // length field and what it covers).
    static int CountElements(const unsigned char* pBuf, int iSize)
    {
        int iCount = 0;
        for (int iPos = 0; iPos < iSize; ++iCount)
        {
            int iUsed = ASN1Wire::SkipElement(pBuf + iPos + 1, iSize - iPos - 1);
            if (iUsed == 0)
                break;
            iPos += 1 + iUsed;
        }
        return iCount;
    }

    int MeasureElement(Element& element)
    {
        T field(element);
        int iBody = (int)field.Encode(nullptr, 0);
        return Traits::kRecord ? ASN1Wire::LengthSize(iBody) + iBody : iBody;
    }

    int WriteElement(Element& element, unsigned char* pBuf, int iSize)
    {
        T field(element);
        if (!Traits::kRecord)
            return (int)field.Encode(pBuf, iSize);
        // Record decoders have no writer; the element is then an empty record.
        int iBody = (int)field.Encode(nullptr, 0);
        int iHeader = ASN1Wire::WriteLength(pBuf, iBody);
        if (iBody > 0 && (int)field.Encode(pBuf + iHeader, iSize - iHeader) != iBody)
            return -1;
        return iHeader + iBody;
    }

    int ReadElement(Element& element, const unsigned char* pBuf, int iSize)
    {
        T field(element);
        if (!Traits::kRecord)
            return (int)field.Decode(pBuf, iSize);
        int iLength = 0;
        int iHeader = DecodeLength(pBuf, iSize, iLength);
        if (iHeader == 0 || iLength > iSize - iHeader)
            return 0;
        if (iLength > 0 && field.Decode(pBuf + iHeader, iLength) == 0)
            return 0;
        return iHeader + iLength;
    }

    CKorvelArray<Element>& m_aArray;
};
