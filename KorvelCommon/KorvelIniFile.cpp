#include "KorvelCommon/KorvelIniFile.h"

#include <new>

namespace
{
bool IsLineEnd(unsigned char c)
{
    return c == '\r' || c == '\n';
}

bool IsComment(const CKorvelString& strLine)
{
    if (strLine.GetLength() < 2)
        return false;
    const unsigned short* p = strLine.GetBuffer();
    return p[0] == ';' || (p[0] == '/' && p[1] == '/');
}
} // namespace

CKorvelIniFile::CKorvelIniFile() : m_iSectionPosition(0) {}

CKorvelIniFile::~CKorvelIniFile()
{
    Close();
}

CKorvelIniFile* CKorvelIniFile::New()
{
    return new (std::nothrow) CKorvelIniFile();
}

int CKorvelIniFile::ReadString(CKorvelString& strLine)
{
    strLine.Reset();
    int iStart = GetPosition();
    // One byte more than is read, so the line is always terminated.
    unsigned char aBuffer[LINE_BUFFER + 1] = {};
    unsigned int uRead = Read(aBuffer, LINE_BUFFER);
    if (uRead == 0)
        return 0;
    unsigned int uEnd = 0;
    while (uEnd < uRead && !IsLineEnd(aBuffer[uEnd]) && aBuffer[uEnd] != 0)
        ++uEnd;
    aBuffer[uEnd] = 0;
    strLine.Set(reinterpret_cast<const char*>(aBuffer));

    int iTerminator = iStart + static_cast<int>(uEnd);
    if (uEnd == uRead)
    {
        if (uRead < LINE_BUFFER)
            return 1; // the last line, without a line end: the position is already past it
        iTerminator = FindTerminator(iStart + static_cast<int>(uRead));
        if (iTerminator < 0)
            return 1;
    }
    // The line end (or a NUL) and every CR or LF directly after it are consumed.
    SkipLineEnds(iTerminator + 1);
    return 1;
}

int CKorvelIniFile::FindTerminator(int iFrom)
{
    unsigned char aChunk[64];
    Seek(iFrom, KET_SEEK_BEGIN);
    for (int iPos = iFrom;;)
    {
        unsigned int uRead = Read(aChunk, sizeof(aChunk));
        if (uRead == 0)
            return -1;
        for (unsigned int k = 0; k < uRead; ++k)
            if (IsLineEnd(aChunk[k]) || aChunk[k] == 0)
                return iPos + static_cast<int>(k);
        iPos += static_cast<int>(uRead);
    }
}

void CKorvelIniFile::SkipLineEnds(int iFrom)
{
    unsigned char aChunk[64];
    Seek(iFrom, KET_SEEK_BEGIN);
    for (int iPos = iFrom;;)
    {
        unsigned int uRead = Read(aChunk, sizeof(aChunk));
        unsigned int k = 0;
        while (k < uRead && IsLineEnd(aChunk[k]))
            ++k;
        if (k < uRead || uRead == 0)
        {
            Seek(iPos + static_cast<int>(k), KET_SEEK_BEGIN);
            return;
        }
        iPos += static_cast<int>(uRead);
    }
}

int CKorvelIniFile::SeekToSection(const CKorvelString& strName)
{
    if (strName.GetLength() == 0)
        return 0;
    Seek(0, KET_SEEK_BEGIN);
    while (ReadString(m_strLine))
    {
        if (m_strLine.GetLength() < 2 || m_strLine.GetBuffer()[0] != '[')
            continue;
        if (m_strLine.Find(strName, 0) >= 0 && m_strLine.Find(']', 0) >= 0)
        {
            m_iSectionPosition = GetPosition();
            return 1;
        }
    }
    return 0;
}

int CKorvelIniFile::FindString(const CKorvelString& strKey, CKorvelString& strValue)
{
    while (ReadString(m_strLine))
    {
        if (IsComment(m_strLine))
            continue;
        if (m_strLine.Find('[', 0) >= 0)
            return 0;
        if (strKey.GetLength() > 0 && !m_strLine.BeginsWith(strKey))
            continue;
        int iOpen = m_strLine.Find('"', 0);
        if (iOpen < 0)
            return 0;
        int iClose = m_strLine.Find('"', iOpen + 1);
        // Find also meets the terminator; a missing closing quote takes the rest of the line.
        if (iClose < 0 || iClose >= m_strLine.GetLength())
            iClose = m_strLine.GetLength();
        strValue = m_strLine.Mid(iOpen + 1, iClose - iOpen - 1);
        return 1;
    }
    return 0;
}

int CKorvelIniFile::FindNumberLine(const CKorvelString& strKey)
{
    if (strKey.GetLength() == 0)
        return 0;
    CKorvelString strPattern(strKey);
    strPattern.Add('=');
    while (ReadString(m_strLine))
    {
        if (!IsComment(m_strLine) && m_strLine.Find(strPattern, 0) >= 0)
            return 1;
    }
    return 0;
}

int CKorvelIniFile::FindIntValue(const CKorvelString& strKey, int& iValue)
{
    if (!FindNumberLine(strKey))
        return 0;
    return m_strLine.Scan(L"=%d", &iValue) == 1 ? 1 : 0;
}

int CKorvelIniFile::FindFloatValue(const CKorvelString& strKey, float& fValue)
{
    if (!FindNumberLine(strKey))
        return 0;
    return m_strLine.Scan(L"=%f", &fValue) == 1 ? 1 : 0;
}

int CKorvelIniFile::EnterSection(const CKorvelString& strSection)
{
    if (strSection.GetLength() == 0)
    {
        Seek(m_iSectionPosition, KET_SEEK_BEGIN);
        return 1;
    }
    return SeekToSection(strSection);
}

CKorvelString CKorvelIniFile::GetStringValue(const CKorvelString& strSection, const CKorvelString& strKey,
                                             const CKorvelString& strDefault)
{
    CKorvelString strValue(strDefault);
    if (EnterSection(strSection))
        FindString(strKey, strValue);
    return strValue;
}

int CKorvelIniFile::GetIntValue(const CKorvelString& strSection, const CKorvelString& strKey, int iDefault)
{
    int iValue = iDefault;
    if (EnterSection(strSection))
        FindIntValue(strKey, iValue);
    return iValue;
}

float CKorvelIniFile::GetFloatValue(const CKorvelString& strSection, const CKorvelString& strKey,
                                    float fDefault)
{
    float fValue = fDefault;
    if (EnterSection(strSection))
        FindFloatValue(strKey, fValue);
    return fValue;
}
