// Text helpers of the XML tree: copies, and the five entities both ways.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

// Copies iLength bytes; names and values are mostly a few bytes long, where two
// overlapping fixed-size moves beat a library call.
inline void KorvelXMLCopyShort(char* pOut, const char* pIn, int iLength)
{
    const size_t n = iLength > 0 ? static_cast<size_t>(iLength) : 0;
    if (n >= 8 && n <= 16)
    {
        uint64_t uHead, uTail;
        memcpy(&uHead, pIn, 8);
        memcpy(&uTail, pIn + n - 8, 8);
        memcpy(pOut, &uHead, 8);
        memcpy(pOut + n - 8, &uTail, 8);
    }
    else if (n >= 4 && n < 8)
    {
        uint32_t uHead, uTail;
        memcpy(&uHead, pIn, 4);
        memcpy(&uTail, pIn + n - 4, 4);
        memcpy(pOut, &uHead, 4);
        memcpy(pOut + n - 4, &uTail, 4);
    }
    else if (n < 4)
    {
        for (size_t i = 0; i < n; ++i)
            pOut[i] = pIn[i];
    }
    else
        memcpy(pOut, pIn, n);
}

// A zero-terminated copy of iLength bytes (new[]), or null when memory ran out.
char* KorvelXMLCopyText(const char* pText, int iLength);
// "&amp;" "&lt;" "&gt;" "&quot;" "&apos;" decoded; any other '&' is dropped and
// what follows it kept. pOut takes at most iLength + 1 bytes (zero-terminated);
// returns the decoded length.
int KorvelXMLDecodeEntities(const char* pText, int iLength, char* pOut);
// Appends the text with '&', '<', '>' (and for attribute values '"') as entities.
void KorvelXMLAppendEncoded(std::string& strOut, const char* pText, bool bAttribute);
