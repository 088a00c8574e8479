// Hand-built wire pieces: the content writer, the bounded reader, and the text and
// date forms of CASN1 (EncodeString, DecodeString, DecodeTime).
#include "Framework/Session/asn1_hile_handbuilt_wire.h"

#include "Framework/asn1/ASN1.h"
#include "Framework/asn1/ASN1Wire.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelUnitBuffer.h"

#include <climits>
#include <cstring>

namespace HandBuilt
{
void CContentWriter::Put(unsigned char u)
{
    if (m_pOut != nullptr)
        m_pOut[m_llPos] = u;
    ++m_llPos;
}

void CContentWriter::Int(int iIndex, int iValue)
{
    Put((unsigned char)(0x80 | iIndex));
    if (m_pOut != nullptr)
        ASN1Wire::WriteInt(Here(), iValue);
    m_llPos += ASN1Wire::IntSize(iValue);
}

void CContentWriter::Long(int iIndex, long long llValue)
{
    Put((unsigned char)(0x80 | iIndex));
    if (m_pOut != nullptr)
        ASN1Wire::WriteLongInt(Here(), llValue);
    m_llPos += ASN1Wire::LongIntSize(llValue);
}

void CContentWriter::Text(int iIndex, const CKorvelString& strText)
{
    Put((unsigned char)(0x80 | iIndex));
    m_llPos += CASN1::EncodeString(Here(), strText, INT_MAX);
}

void CContentWriter::Bytes(int iIndex, const unsigned char* pData, int iCount)
{
    Put((unsigned char)(0x80 | iIndex));
    if (m_pOut != nullptr)
    {
        int iHeader = ASN1Wire::WriteLength(Here(), iCount);
        if (iCount > 0)
            memcpy(Here() + iHeader, pData, (size_t)iCount);
    }
    m_llPos += ASN1Wire::LengthSize(iCount) + iCount;
}

void CContentWriter::IntList(int iIndex, const CKorvelArray<int>& aValues)
{
    Put((unsigned char)(0xA0 | iIndex));
    long long llContent = 0;
    for (int i = 0; i < aValues.GetCount(); ++i)
        llContent += 1 + ASN1Wire::IntSize(aValues[i]);
    // A list this long cannot be sent; its length field then spoils the measure.
    int iContent = llContent > INT_MAX ? INT_MAX : (int)llContent;
    if (m_pOut != nullptr)
        ASN1Wire::WriteLength(Here(), iContent);
    m_llPos += ASN1Wire::LengthSize(iContent);
    for (int i = 0; i < aValues.GetCount(); ++i)
    {
        Put(0x02);
        if (m_pOut != nullptr)
            ASN1Wire::WriteInt(Here(), aValues[i]);
        m_llPos += ASN1Wire::IntSize(aValues[i]);
    }
}

int BeginMessage(unsigned char* pBuf, int iSize, int iId, long long llContent, int& iTotal)
{
    int iTag = iId;
    CASN1_TagField identifier(iTag, CASN1_Field::eTAG_CONSTRUCTED);
    int iIdSize = (int)identifier.Encode(nullptr, 0);
    if (llContent < 0 || llContent > INT_MAX - 16)
        return -1;
    int iContent = (int)llContent;
    iTotal = iIdSize + ASN1Wire::LengthSize(iContent) + iContent;
    if (pBuf == nullptr)
        return 0;
    if (iSize < iTotal)
        return -1;
    identifier.Encode(pBuf, iSize);
    return iIdSize + ASN1Wire::WriteLength(pBuf + iIdSize, iContent);
}

bool CReader::OpenMessage(int iId)
{
    m_iPos = 0;
    if (iId < 31)
    {
        if (m_iEnd < 1 || m_pBuf[0] != (0xA0 | iId))
            return false;
        m_iPos = 1;
    }
    else
    {
        if (m_iEnd < 2 || m_pBuf[0] != 0xBF || m_pBuf[1] != iId)
            return false;
        m_iPos = 2;
    }
    int iLength = 0;
    int iHeader = ASN1Wire::ReadLength(Here(), Left(), iLength);
    if (iHeader <= 0 || iLength > Left() - iHeader)
        return false;
    m_iPos += iHeader;
    m_iEnd = m_iPos + iLength;
    return true;
}

bool CReader::Block(CReader& inner)
{
    int iLength = 0;
    int iHeader = ASN1Wire::ReadLength(Here(), Left(), iLength);
    if (iHeader <= 0 || iLength > Left() - iHeader)
        return false;
    inner = CReader(Here() + iHeader, iLength);
    m_iPos += iHeader + iLength;
    return true;
}

bool CReader::Next(int& iByte)
{
    if (AtEnd())
        return false;
    iByte = m_pBuf[m_iPos++];
    return true;
}

bool CReader::Skip(int iCount)
{
    if (iCount < 0 || iCount > Left())
        return false;
    m_iPos += iCount;
    return true;
}

bool CReader::Int(int& iValue)
{
    int iUsed = ASN1Wire::ReadInt(Here(), Left(), iValue);
    m_iPos += iUsed;
    return iUsed > 0;
}

bool CReader::Long(long long& llValue)
{
    int iUsed = ASN1Wire::ReadLongInt(Here(), Left(), llValue);
    m_iPos += iUsed;
    return iUsed > 0;
}

bool CReader::Text(CKorvelString& strText)
{
    int iUsed = CASN1::DecodeString(Here(), strText, Left());
    m_iPos += iUsed;
    return iUsed > 0;
}

bool CReader::Date(sDATE& date)
{
    int iUsed = CASN1::DecodeTime(Here(), date, Left());
    m_iPos += iUsed;
    return iUsed > 0;
}
} // namespace HandBuilt

int CASN1::EncodeString(unsigned char* pBuf, const CKorvelString& strText, int iSize)
{
    int iBytes = ASN1Wire::TextByteCount(strText);
    int iNeeded = ASN1Wire::LengthSize(iBytes) + iBytes;
    if (pBuf == nullptr)
        return iNeeded;
    if (iSize < iNeeded)
        return 0;
    int iHeader = ASN1Wire::WriteLength(pBuf, iBytes);
    ASN1Wire::WriteText(pBuf + iHeader, strText);
    return iNeeded;
}

KE_RETVAL CASN1::DecodeString(const unsigned char* pBuf, CKorvelString& strText, int& iConsumed, int iSize)
{
    int iUsed = DecodeString(pBuf, strText, iSize);
    if (iUsed == 0)
        return KE_ERR_BADDATA;
    iConsumed = iUsed;
    return KE_OK;
}

int CASN1::DecodeString(const unsigned char* pBuf, CKorvelString& strText, int iSize)
{
    if (pBuf == nullptr || iSize < 1)
        return 0;
    int iLength = 0;
    int iHeader = ASN1Wire::ReadLength(pBuf, iSize, iLength);
    if (iHeader <= 0 || iLength > iSize - iHeader)
        return 0;
    const unsigned char* p = pBuf + iHeader;
    // One unit more than the longest text, for the terminator.
    CKorvelUnitBuffer out(CKorvelString::MAX_LENGTH + 1);
    for (int i = 0; i < iLength && out.Count() < CKorvelString::MAX_LENGTH;)
    {
        unsigned int b = p[i];
        unsigned int uUnit = b;
        int iTaken = 1;
        // Sequences of the UTF-8 form the writers use; anything else stands for itself,
        // so 8-bit text from older peers keeps its characters.
        if (b >= 0xE0 && i + 2 < iLength)
        {
            uUnit = ((b & 0x0F) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu);
            iTaken = 3;
        }
        else if (b >= 0xC0 && i + 1 < iLength)
        {
            uUnit = ((b & 0x1F) << 6) | (p[i + 1] & 0x3Fu);
            iTaken = 2;
        }
        i += iTaken;
        // A zero unit would end the engine string: the text ends there.
        if (uUnit == 0 || !out.Add((unsigned short)uUnit))
            break;
    }
    if (!out.Add(0))
        return 0;
    strText.Set(out.Data());
    return iHeader + iLength;
}

void CASN1::DecodeTime(const CKorvelString& strText, sDATE& date)
{
    // Only as many fields as the text has numbers: the scanner would give the missing
    // ones 0.
    int iNumbers = 0;
    const unsigned short* pUnits = strText.GetBuffer();
    for (int i = 0; i < strText.GetLength() && iNumbers < 6; ++i)
    {
        bool bDigit = pUnits[i] >= '0' && pUnits[i] <= '9';
        bool bFollows = i > 0 && pUnits[i - 1] >= '0' && pUnits[i - 1] <= '9';
        if (bDigit && !bFollows)
            ++iNumbers;
    }
    int aValues[6] = {date.m_iDay, date.m_iMonth, date.m_iYear, date.m_iHour, date.m_iMinute, date.m_iSecond};
    int aScanned[6] = {0, 0, 0, 0, 0, 0};
    strText.Scan(L"%d.%d.%d %d:%d:%d", &aScanned[0], &aScanned[1], &aScanned[2], &aScanned[3], &aScanned[4],
                 &aScanned[5]);
    for (int i = 0; i < iNumbers; ++i)
        aValues[i] = aScanned[i];
    date.m_iDay = aValues[0];
    date.m_iMonth = aValues[1];
    date.m_iYear = aValues[2];
    date.m_iHour = aValues[3];
    date.m_iMinute = aValues[4];
    date.m_iSecond = aValues[5];
}

int CASN1::DecodeTime(const unsigned char* pBuf, sDATE& date, int iSize)
{
    CKorvelString strText;
    int iUsed = DecodeString(pBuf, strText, iSize);
    if (iUsed > 0)
        DecodeTime(strText, date);
    return iUsed;
}
