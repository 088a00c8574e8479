// CKorvelString: storage, conversions, search and editing. UTF-8 is in
// KorvelStringUTF8.cpp, numbers to text in KorvelStringNumber.cpp, Format/Scan in
// KorvelStringFormat.cpp.
//
// Sections: storage; construction and assignment; access and conversion out;
// comparison and search; editing; file record.
#include "KorvelCommon/KorvelString.h"

#include "KorvelCommon/KorvelFile.h"

#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace
{
// Latin-1 case pairs: A-Z and 0xC0-0xDE (but not the multiplication sign 0xD7).
unsigned short LowerUnit(unsigned short u)
{
    if ((u >= 0x41 && u <= 0x5A) || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return u + 0x20;
    return u;
}

unsigned short UpperUnit(unsigned short u)
{
    if ((u >= 0x61 && u <= 0x7A) || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return u - 0x20;
    return u;
}

template <class T> int MeasureText(const T* pText)
{
    if (!pText)
        return 0;
    int i = 0;
    while (i < CKorvelString::MAX_LENGTH && pText[i] != 0)
        ++i;
    return i;
}
} // namespace

// --- storage -----------------------------------------------------------------

void CKorvelString::SetUnits(const unsigned short* pUnits, int iCount)
{
    if (iCount > MAX_LENGTH)
        iCount = MAX_LENGTH;
    if (!pUnits || iCount <= 0)
    {
        Reset();
        return;
    }
    // The new buffer is filled before the old one goes: the source may lie inside it.
    unsigned short* pBuffer = new (std::nothrow) unsigned short[iCount + 1];
    if (!pBuffer)
    {
        Reset();
        return;
    }
    memcpy(pBuffer, pUnits, sizeof(unsigned short) * iCount);
    pBuffer[iCount] = 0;
    delete[] m_pBuffer;
    m_pBuffer = pBuffer;
    m_iSize = iCount + 1;
}

int CKorvelString::TextLength() const
{
    int iLength = GetLength();
    for (int i = 0; i < iLength; ++i)
        if (m_pBuffer[i] == 0)
            return i;
    return iLength;
}

void CKorvelString::Reset()
{
    delete[] m_pBuffer;
    m_pBuffer = nullptr;
    m_iSize = 0;
}

// --- construction and assignment -------------------------------------------------

CKorvelString::CKorvelString() : m_pBuffer(nullptr), m_iSize(0) {}

CKorvelString::CKorvelString(const wchar_t* pText) : CKorvelString()
{
    Set(pText);
}

CKorvelString::CKorvelString(const unsigned short* pText) : CKorvelString()
{
    Set(pText);
}

CKorvelString::CKorvelString(const char* pText) : CKorvelString()
{
    Set(pText);
}

CKorvelString::CKorvelString(const CKorvelString& other) : CKorvelString()
{
    Set(other);
}

CKorvelString::CKorvelString(const CKorvelString* pOther) : CKorvelString()
{
    if (pOther)
        Set(*pOther);
}

CKorvelString::~CKorvelString()
{
    Reset();
}

CKorvelString* CKorvelString::New()
{
    return new (std::nothrow) CKorvelString();
}

void CKorvelString::Set(const unsigned short* pText)
{
    SetUnits(pText, MeasureText(pText));
}

void CKorvelString::Set(const char* pText)
{
    int iLength = MeasureText(pText);
    std::vector<unsigned short> aUnits(iLength);
    for (int i = 0; i < iLength; ++i)
    {
        // Signed widening: bytes 0x80-0xFF become 0xFF80-0xFFFF, and MakeAnsi gives them back.
        unsigned char uByte = static_cast<unsigned char>(pText[i]);
        aUnits[i] = uByte < 0x80 ? uByte : static_cast<unsigned short>(0xFF00 | uByte);
    }
    SetUnits(aUnits.data(), iLength);
}

void CKorvelString::Set(const wchar_t* pText)
{
    int iLength = MeasureText(pText);
    std::vector<unsigned short> aUnits(iLength);
    for (int i = 0; i < iLength; ++i)
    {
        aUnits[i] = static_cast<unsigned short>(static_cast<unsigned int>(pText[i]) & 0xFFFF);
        // A character whose low 16 bits are zero would end the text early anyway.
        if (aUnits[i] == 0)
        {
            iLength = i;
            break;
        }
    }
    SetUnits(aUnits.data(), iLength);
}

void CKorvelString::Set(const CKorvelString& other)
{
    if (&other != this)
        SetUnits(other.m_pBuffer, other.GetLength());
}

CKorvelString& CKorvelString::operator=(const CKorvelString& other)
{
    if (&other != this)
        Set(other);
    return *this;
}

// --- access and conversion out -----------------------------------------------------

int CKorvelString::ComputeLength(const char* pText)
{
    return MeasureText(pText);
}

int CKorvelString::ComputeLength(const unsigned short* pText)
{
    return MeasureText(pText);
}

int CKorvelString::ComputeLength(const wchar_t* pText)
{
    return MeasureText(pText);
}

void CKorvelString::SetAt(int iIndex, unsigned short uUnit)
{
    if (iIndex >= 0 && iIndex < GetLength())
        m_pBuffer[iIndex] = uUnit;
}

void CKorvelString::MakeAnsi(char* pOut) const
{
    if (!pOut)
        return;
    int iLength = GetLength();
    for (int i = 0; i < iLength; ++i)
        pOut[i] = static_cast<char>(m_pBuffer[i] & 0xFF);
    pOut[iLength] = 0;
}

// --- comparison and search -----------------------------------------------------------

int CKorvelString::Compare(const CKorvelString& other) const
{
    if (GetLength() == 0)
        return other.GetLength() == 0 ? 0 : -1;
    if (other.GetLength() == 0)
        return 1;
    // Terminators take part, so a proper prefix sorts first.
    int iCount = m_iSize < other.m_iSize ? m_iSize : other.m_iSize;
    for (int i = 0; i < iCount; ++i)
    {
        if (m_pBuffer[i] != other.m_pBuffer[i])
            return m_pBuffer[i] < other.m_pBuffer[i] ? -1 : 1;
    }
    return 0;
}

int CKorvelString::IsEqual(const CKorvelString& other) const
{
    return Compare(other) == 0 ? 1 : 0;
}

int CKorvelString::CompareNoCase(const CKorvelString& other) const
{
    CKorvelString strThis(*this), strOther(other);
    strThis.MakeLower();
    strOther.MakeLower();
    return strThis.Compare(strOther);
}

// The terminator is searched too: looking for unit 0 gives the length.
int CKorvelString::Find(unsigned short uUnit, int iStart) const
{
    if (GetLength() == 0 || iStart >= m_iSize)
        return -1;
    for (int i = iStart < 0 ? 0 : iStart; i < m_iSize; ++i)
        if (m_pBuffer[i] == uUnit)
            return i;
    return -1;
}

int CKorvelString::FindReverse(unsigned short uUnit, int iStart) const
{
    if (GetLength() == 0 || iStart >= m_iSize || iStart < -1)
        return -1;
    if (iStart == -1)
        iStart = GetLength() - 1;
    for (int i = iStart; i >= 0; --i)
        if (m_pBuffer[i] == uUnit)
            return i;
    return -1;
}

int CKorvelString::Find(const CKorvelString& other, int iStart) const
{
    int iLength = GetLength(), iOther = other.GetLength();
    if (iLength == 0 || iOther == 0 || iStart >= m_iSize || iOther > iLength)
        return -1;
    for (int i = iStart < 0 ? 0 : iStart; i + iOther <= iLength; ++i)
        if (memcmp(m_pBuffer + i, other.m_pBuffer, sizeof(unsigned short) * iOther) == 0)
            return i;
    return -1;
}

int CKorvelString::BeginsWith(const CKorvelString& other) const
{
    return Find(other, 0) == 0 ? 1 : 0;
}

int CKorvelString::EndsWith(const CKorvelString& other) const
{
    int iLength = GetLength(), iOther = other.GetLength();
    if (iOther == 0 || iOther > iLength)
        return 0;
    return memcmp(m_pBuffer + iLength - iOther, other.m_pBuffer, sizeof(unsigned short) * iOther) == 0 ? 1
                                                                                                       : 0;
}

// --- editing -------------------------------------------------------------------------

void CKorvelString::Add(unsigned short uUnit)
{
    // A zero unit would end the text; appending it changes nothing.
    if (uUnit == 0)
        return;
    int iLength = TextLength();
    if (iLength >= INT_MAX - 2)
        return;
    unsigned short* pBuffer = new (std::nothrow) unsigned short[iLength + 2];
    if (!pBuffer)
    {
        Reset();
        return;
    }
    if (iLength)
        memcpy(pBuffer, m_pBuffer, sizeof(unsigned short) * iLength);
    pBuffer[iLength] = uUnit;
    pBuffer[iLength + 1] = 0;
    delete[] m_pBuffer;
    m_pBuffer = pBuffer;
    m_iSize = iLength + 2;
}

void CKorvelString::Add(const CKorvelString& other)
{
    int iOther = other.TextLength();
    if (iOther == 0)
        return;
    if (GetLength() == 0)
    {
        SetUnits(other.m_pBuffer, iOther);
        return;
    }
    int iLength = TextLength();
    if (iOther >= INT_MAX - 1 - iLength)
        return;
    // Both parts are copied before the old buffer goes, so s.Add(s) works.
    unsigned short* pBuffer = new (std::nothrow) unsigned short[iLength + iOther + 1];
    if (!pBuffer)
    {
        Reset();
        return;
    }
    memcpy(pBuffer, m_pBuffer, sizeof(unsigned short) * iLength);
    memcpy(pBuffer + iLength, other.m_pBuffer, sizeof(unsigned short) * iOther);
    pBuffer[iLength + iOther] = 0;
    delete[] m_pBuffer;
    m_pBuffer = pBuffer;
    m_iSize = iLength + iOther + 1;
}

// Arguments outside the text are clamped to it.
CKorvelString CKorvelString::Mid(int iStart, int iCount) const
{
    int iLength = GetLength();
    if (iStart < 0)
        iStart = 0;
    if (iStart > iLength)
        iStart = iLength;
    if (iCount < 0 || iCount > iLength - iStart)
        iCount = iLength - iStart;
    CKorvelString strResult;
    if (iCount > 0)
        strResult.SetUnits(m_pBuffer + iStart, iCount);
    return strResult;
}

void CKorvelString::SetLength(int iLength)
{
    if (iLength <= 0 || iLength == INT_MAX)
    {
        Reset();
        return;
    }
    int iKeep = TextLength();
    if (iKeep > iLength)
        iKeep = iLength;
    unsigned short* pBuffer = new (std::nothrow) unsigned short[iLength + 1];
    if (!pBuffer)
    {
        Reset();
        return;
    }
    if (iKeep)
        memcpy(pBuffer, m_pBuffer, sizeof(unsigned short) * iKeep);
    for (int i = iKeep; i < iLength; ++i)
        pBuffer[i] = 0x20;
    pBuffer[iLength] = 0;
    delete[] m_pBuffer;
    m_pBuffer = pBuffer;
    m_iSize = iLength + 1;
}

void CKorvelString::MakeLower()
{
    int iLength = GetLength();
    for (int i = 0; i < iLength; ++i)
        m_pBuffer[i] = LowerUnit(m_pBuffer[i]);
}

void CKorvelString::MakeUpper()
{
    int iLength = GetLength();
    for (int i = 0; i < iLength; ++i)
        m_pBuffer[i] = UpperUnit(m_pBuffer[i]);
}

int CKorvelString::Replace(const CKorvelString& strOld, const CKorvelString& strNew)
{
    int iIndex = Find(strOld, 0);
    if (iIndex < 0)
        return -1;
    int iLength = GetLength(), iOld = strOld.GetLength(), iNew = strNew.TextLength();
    long long iTotal = static_cast<long long>(iLength) - iOld + iNew;
    if (iTotal >= INT_MAX)
        return -1;
    std::vector<unsigned short> aUnits(static_cast<size_t>(iTotal) + 1);
    if (iIndex)
        memcpy(aUnits.data(), m_pBuffer, sizeof(unsigned short) * iIndex);
    if (iNew)
        memcpy(aUnits.data() + iIndex, strNew.m_pBuffer, sizeof(unsigned short) * iNew);
    int iRest = iLength - iIndex - iOld;
    if (iRest)
        memcpy(aUnits.data() + iIndex + iNew, m_pBuffer + iIndex + iOld, sizeof(unsigned short) * iRest);
    SetUnits(aUnits.data(), static_cast<int>(iTotal));
    return iIndex;
}

// Gives the result of calling Replace again and again from the start, in one pass:
// the text before a replacement holds no occurrence, so only occurrences ending in
// the inserted text or after it can follow. The units produced so far form a stack;
// each replacement pops the old text and pushes the new text back onto the input.
// When the new text contains the old one that would never end, so each occurrence is
// then replaced once, left to right. Texts growing past the length limit stop it.
void CKorvelString::ReplaceAll(const CKorvelString& strOld, const CKorvelString& strNew)
{
    int iOld = strOld.GetLength(), iNew = strNew.TextLength();
    if (strOld.Compare(strNew) == 0 || iOld == 0 || Find(strOld, 0) < 0)
        return;
    const unsigned short* pOld = strOld.m_pBuffer;
    const unsigned short* pNew = strNew.m_pBuffer;
    int iLength = GetLength();
    std::vector<unsigned short> aOut;
    aOut.reserve(iLength);

    if (strNew.Find(strOld, 0) >= 0)
    {
        for (int i = 0; i < iLength;)
        {
            if (i + iOld <= iLength && memcmp(m_pBuffer + i, pOld, sizeof(unsigned short) * iOld) == 0)
            {
                aOut.insert(aOut.end(), pNew, pNew + iNew);
                i += iOld;
            }
            else
                aOut.push_back(m_pBuffer[i++]);
            if (aOut.size() > static_cast<size_t>(MAX_LENGTH))
                break;
        }
        SetUnits(aOut.data(), static_cast<int>(aOut.size()));
        return;
    }

    // The input, last unit first, so pushing back onto it is cheap.
    std::vector<unsigned short> aIn(m_pBuffer, m_pBuffer + iLength);
    std::vector<unsigned short> aInput(aIn.rbegin(), aIn.rend());
    long long iSteps = 0;
    const long long kMaxSteps = 16LL * MAX_LENGTH;
    bool bReplacing = true;
    while (!aInput.empty())
    {
        aOut.push_back(aInput.back());
        aInput.pop_back();
        if (!bReplacing || aOut.size() < static_cast<size_t>(iOld) || aOut.back() != pOld[iOld - 1] ||
            memcmp(aOut.data() + aOut.size() - iOld, pOld, sizeof(unsigned short) * iOld) != 0)
            continue;
        aOut.resize(aOut.size() - iOld);
        for (int k = iNew - 1; k >= 0; --k)
            aInput.push_back(pNew[k]);
        if (++iSteps > kMaxSteps || aOut.size() + aInput.size() > static_cast<size_t>(MAX_LENGTH))
            bReplacing = false;
    }
    SetUnits(aOut.data(), static_cast<int>(aOut.size()));
}

// --- file record -------------------------------------------------------------------------

void CKorvelString::Save(CKorvelFile& file) const
{
    unsigned int uCount = static_cast<unsigned int>(GetLength());
    unsigned char aBytes[512];
    for (int i = 0; i < 4; ++i)
        aBytes[i] = static_cast<unsigned char>(uCount >> (8 * i));
    file.Write(aBytes, 4);
    // Units go out little-endian, in chunks.
    for (unsigned int uDone = 0; uDone < uCount;)
    {
        unsigned int uChunk = uCount - uDone < 256 ? uCount - uDone : 256;
        for (size_t i = 0; i < uChunk; ++i)
        {
            aBytes[2 * i] = static_cast<unsigned char>(m_pBuffer[uDone + i] & 0xFF);
            aBytes[(2 * i) + 1] = static_cast<unsigned char>(m_pBuffer[uDone + i] >> 8);
        }
        file.Write(aBytes, 2 * uChunk);
        uDone += uChunk;
    }
}

// A count above the length limit or beyond the bytes left in the file leaves the
// string empty (the count is untrusted input).
void CKorvelString::Load(CKorvelFile& file)
{
    Reset();
    unsigned char aCount[4] = {0, 0, 0, 0};
    if (file.Read(aCount, 4) != 4)
        return;
    unsigned int uCount =
        aCount[0] | (aCount[1] << 8) | (aCount[2] << 16) | (static_cast<unsigned int>(aCount[3]) << 24);
    if (uCount == 0 || uCount > static_cast<unsigned int>(MAX_LENGTH))
        return;
    long long iLeft = static_cast<long long>(file.GetSize()) - file.GetPosition();
    if (static_cast<long long>(uCount) * 2 > iLeft)
        return;
    SetLength(static_cast<int>(uCount));
    if (!m_pBuffer)
        return;
    if (file.Read(m_pBuffer, uCount * 2) != uCount * 2)
    {
        Reset();
        return;
    }
    const unsigned char* pBytes = reinterpret_cast<const unsigned char*>(m_pBuffer);
    for (size_t i = 0; i < uCount; ++i)
        m_pBuffer[i] = static_cast<unsigned short>(pBytes[2 * i] | (pBytes[(2 * i) + 1] << 8));
}
