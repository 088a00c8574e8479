// Pieces shared by the hand-built writers and readers of CASN1: a content writer that
// runs twice (once without a buffer to measure, once to write) and a cursor over a
// received message that never reads past the message's own content.
#pragma once

#include "KorvelCommon/KorvelArray.h"

struct sDATE;
class CKorvelString;

namespace HandBuilt
{
// Fields of a hand-built message: a tag byte 0x80|index and the value; integer lists
// carry 0xA0|index, a length field and each integer after the universal tag 0x02.
class CContentWriter
{
public:
    explicit CContentWriter(unsigned char* pOut) : m_pOut(pOut) {}

    void Int(int iIndex, int iValue);
    void Long(int iIndex, long long llValue);
    void Text(int iIndex, const CKorvelString& strText);
    void Bytes(int iIndex, const unsigned char* pData, int iCount);
    void IntList(int iIndex, const CKorvelArray<int>& aValues);

    long long GetSize() const { return m_llPos; }

private:
    void Put(unsigned char u);
    unsigned char* Here() { return m_pOut != nullptr ? m_pOut + m_llPos : nullptr; }

    unsigned char* m_pOut; // null while measuring
    long long m_llPos = 0;
};

// Writes the identifier and the length field over llContent bytes. Returns the header
// size, 0 when only measuring (null pBuf), -1 when the message does not fit iSize or
// cannot be sent at all; iTotal gets the whole message's size.
int BeginMessage(unsigned char* pBuf, int iSize, int iId, long long llContent, int& iTotal);

// The whole message: fill(CContentWriter&) adds the fields and runs once per pass.
template <class F> int WriteMessage(unsigned char* pBuf, int iSize, int iId, F fill)
{
    CContentWriter measure(nullptr);
    fill(measure);
    int iTotal = 0;
    int iHeader = BeginMessage(pBuf, iSize, iId, measure.GetSize(), iTotal);
    if (iHeader < 0)
        return 0;
    if (iHeader == 0)
        return iTotal;
    CContentWriter out(pBuf + iHeader);
    fill(out);
    return out.GetSize() == measure.GetSize() ? iTotal : 0;
}

// A bounded cursor. Every read fails (false) rather than pass the end it was given.
class CReader
{
public:
    CReader() : m_pBuf(nullptr), m_iEnd(0) {}
    CReader(const unsigned char* pBuf, int iEnd)
        : m_pBuf(pBuf), m_iEnd(pBuf != nullptr && iEnd > 0 ? iEnd : 0)
    {
    }

    // Takes the identifier of iId and the length field, and narrows the end to the
    // content; false for another message or one not wholly inside the bytes given.
    bool OpenMessage(int iId);
    // Takes a length field whose content lies inside and hands that content to inner.
    bool Block(CReader& inner);

    bool AtEnd() const { return m_iPos >= m_iEnd; }
    int GetPos() const { return m_iPos; }
    int GetEnd() const { return m_iEnd; }
    const unsigned char* Here() const { return m_pBuf + m_iPos; }
    int Left() const { return m_iEnd - m_iPos; }
    // The next byte, consumed; false at the end.
    bool Next(int& iByte);
    bool Skip(int iCount);

    bool Int(int& iValue);
    bool Long(long long& llValue);
    bool Text(CKorvelString& strText);
    bool Date(sDATE& date);

private:
    const unsigned char* m_pBuf;
    int m_iPos = 0;
    int m_iEnd;
};

// Scanning readers: each byte whose low five bits name one of iFields fields starts
// that field (read(index) reads it); every other byte is passed over.
template <class F> bool ScanFields(CReader& reader, int iFields, F read)
{
    int iByte = 0;
    while (reader.Next(iByte))
    {
        int iIndex = iByte & 0x1F;
        if (iIndex < iFields && !read(iIndex))
            return false;
    }
    return true;
}
} // namespace HandBuilt
