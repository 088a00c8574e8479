#include "Framework/Shell/VornLanguageText.h"

#include <vector>

namespace
{
// "N=" keys and header keys count only at the start of a line, so that "2=" is not
// found inside "12=" or inside a text.
int FindAtLineStart(const CKorvelString& strText, const CKorvelString& strKey, int iFrom)
{
    const unsigned short* p = strText.GetBuffer();
    for (int iFound = strText.Find(strKey, iFrom); iFound >= 0; iFound = strText.Find(strKey, iFound + 1))
        if (iFound == 0 || (iFound >= 2 && p[iFound - 2] == '\r' && p[iFound - 1] == '\n'))
            return iFound;
    return -1;
}

// The header value scanned from its line; false when the line is absent. The buffer
// is as long as the rest of the text, so Scan can never copy past it.
bool ScanHeaderText(const CKorvelString& strText, const wchar_t* pKey, const wchar_t* pFormat,
                    CKorvelString& strValue)
{
    strValue.Reset();
    const int iAt = FindAtLineStart(strText, CKorvelString(pKey), 0);
    if (iAt < 0)
        return false;
    const CKorvelString strLine = strText.Mid(iAt, -1);
    std::vector<unsigned short> aBuffer(static_cast<size_t>(strLine.GetLength()) + 1, 0);
    if (strLine.Scan(pFormat, aBuffer.data()) != 1)
        return false;
    strValue.Set(aBuffer.data());
    return true;
}

// The decimal number at the position (digits only), capped just above iCap.
long long NumberAt(const CKorvelString& strText, int iPos, long long iCap)
{
    const unsigned short* p = strText.GetBuffer();
    long long iValue = 0;
    for (; iPos < strText.GetLength() && p[iPos] >= '0' && p[iPos] <= '9' && iValue <= iCap; ++iPos)
        iValue = iValue * 10 + (p[iPos] - '0');
    return iValue;
}

int FindDigit(const CKorvelString& strText, int iFrom)
{
    const unsigned short* p = strText.GetBuffer();
    for (int i = iFrom < 0 ? 0 : iFrom; i < strText.GetLength(); ++i)
        if (p[i] >= '0' && p[i] <= '9')
            return i;
    return -1;
}
} // namespace

int ReadLanguageHeader(const CKorvelString& strText, sLANGUAGE_HEADER& header)
{
    header = sLANGUAGE_HEADER();
    if (strText.Find(CKorvelString(L"NAME="), 0) < 0)
        return 4;
    ScanHeaderText(strText, L"NAME=", L"NAME=%s\r\n", header.m_strName);
    ScanHeaderText(strText, L"CODE=", L"CODE=%s\r\n", header.m_strCode);

    CKorvelString strFlags;
    ScanHeaderText(strText, L"FLAGS=", L"FLAGS=%s\r\n", strFlags);
    // "KE_TEXT_RIGHT_TO_LEFT" contains "KE_TEXT_RIGHT", which sets right alignment too.
    if (strFlags.Find(CKorvelString(L"KE_TEXT_RIGHT"), 0) >= 0)
        header.m_uTextFlags |= VORN_TEXT_RIGHT;
    if (strFlags.Find(CKorvelString(L"KE_TEXT_RIGHT_TO_LEFT"), 0) >= 0)
        header.m_uTextFlags |= VORN_TEXT_RIGHT_TO_LEFT;
    if (strFlags.Find(CKorvelString(L"KE_BLT_CENTER_Y"), 0) >= 0)
        header.m_uTextFlags |= VORN_TEXT_CENTER_Y;

    const int iAt = FindAtLineStart(strText, CKorvelString(L"SPECIAL_CHARS="), 0);
    int iSpecial = 0;
    if (iAt >= 0 && strText.Mid(iAt, -1).Scan(L"SPECIAL_CHARS=%d\r\n", &iSpecial) == 1 && iSpecial != 0)
        header.m_uSpecialChars = 1;
    return 1;
}

void ReadLanguageTexts(const CKorvelString& strText, CKorvelArray<CKorvelString>& aTexts)
{
    aTexts.RemoveAll();
    const int iLength = strText.GetLength();
    const CKorvelString strLineEnd(L"\r\n");
    const CKorvelString strEscape(L"\\n");
    const CKorvelString strBreak(L"\n");
    int iPos = 0;
    for (int iNumber = 0; iPos < iLength && iNumber <= iLength; ++iNumber)
    {
        CKorvelString strKey;
        strKey.Format(L"%d=", iNumber);
        const int iKey = FindAtLineStart(strText, strKey, iPos);
        if (iKey >= 0)
        {
            const int iValue = iKey + strKey.GetLength();
            const int iEnd = strText.Find(strLineEnd, iValue);
            // A last line without its line end is not taken.
            if (iEnd < 0)
                break;
            CKorvelString strValue = strText.Mid(iValue, iEnd - iValue);
            strValue.ReplaceAll(strEscape, strBreak);
            aTexts.Add(strValue);
            iPos = iEnd + 1;
            continue;
        }
        // A gap: the next line's number decides. Digits that read a smaller number
        // cannot begin a later key, so nothing more can be found.
        const int iDigit = FindDigit(strText, iPos);
        if (iDigit < 0 || NumberAt(strText, iDigit, iLength) < iNumber)
            break;
        aTexts.Add(CKorvelString());
        iPos = iDigit;
    }
}
