#include "KorvelCommon/KorvelXMLText.h"

#include <cstring>
#include <new>

char* KorvelXMLCopyText(const char* pText, int iLength)
{
    if (iLength < 0)
        iLength = 0;
    char* pCopy = new (std::nothrow) char[static_cast<size_t>(iLength) + 1];
    if (!pCopy)
        return nullptr;
    if (iLength > 0)
        memcpy(pCopy, pText, static_cast<size_t>(iLength));
    pCopy[iLength] = 0;
    return pCopy;
}

int KorvelXMLDecodeEntities(const char* pText, int iLength, char* pOut)
{
    static const struct
    {
        const char* pName;
        int iLength;
        char cValue;
    } aEntities[] = {
        {"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''}};

    int iOut = 0;
    for (int i = 0; i < iLength;)
    {
        // Runs without '&' are copied whole.
        const char* pAmp = static_cast<const char*>(memchr(pText + i, '&', static_cast<size_t>(iLength - i)));
        int iRun = (pAmp ? static_cast<int>(pAmp - pText) : iLength) - i;
        memcpy(pOut + iOut, pText + i, static_cast<size_t>(iRun));
        iOut += iRun;
        i += iRun;
        if (i >= iLength)
            break;
        int iSkip = 1; // an unknown '&' is dropped
        for (const auto& entity : aEntities)
        {
            if (iLength - i >= entity.iLength && memcmp(pText + i, entity.pName, entity.iLength) == 0)
            {
                pOut[iOut++] = entity.cValue;
                iSkip = entity.iLength;
                break;
            }
        }
        i += iSkip;
    }
    pOut[iOut] = 0;
    return iOut;
}

void KorvelXMLAppendEncoded(std::string& strOut, const char* pText, bool bAttribute)
{
    if (!pText)
        return;
    for (const char* p = pText; *p; ++p)
    {
        switch (*p)
        {
        case '&':
            strOut += "&amp;";
            break;
        case '<':
            strOut += "&lt;";
            break;
        case '>':
            strOut += "&gt;";
            break;
        case '"':
            if (bAttribute)
                strOut += "&quot;";
            else
                strOut += '"';
            break;
        default:
            strOut += *p;
        }
    }
}
