// The text of a language pack (UTF-16 units): four header lines ("NAME=", "CODE=",
// "FLAGS=", "SPECIAL_CHARS=") and numbered lines "N=text", every line ending "\r\n".
#pragma once

#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelString.h"

// Engine text flags named in the FLAGS header.
enum : unsigned int
{
    VORN_TEXT_RIGHT = 0x40000,
    VORN_TEXT_RIGHT_TO_LEFT = 0x800000,
    VORN_TEXT_CENTER_Y = 0x200
};

struct sLANGUAGE_HEADER
{
    CKorvelString m_strName;
    CKorvelString m_strCode;
    unsigned int m_uTextFlags = 0;
    unsigned int m_uSpecialChars = 0; // 1 when the text needs the system's text rendering
};

// 1, or 4 when the text has no "NAME=". A header line that is absent leaves its
// field empty or 0, never the value of another line or another pack.
int ReadLanguageHeader(const CKorvelString& strText, sLANGUAGE_HEADER& header);

// Replaces the texts by the numbered lines: text N is the value of the line that
// begins with "N=", a backslash and n in it turned into a line break; a number
// without its line gets an empty text while later numbers follow.
void ReadLanguageTexts(const CKorvelString& strText, CKorvelArray<CKorvelString>& aTexts);
