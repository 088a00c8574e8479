// Engine strings as std::string for comparisons in tests (each unit's low byte), and back.
#pragma once

#include "KorvelCommon/KorvelString.h"

#include <string>

inline std::string Narrow(const CKorvelString& str)
{
    std::string strText(str.GetLength() + 1, '\0');
    str.MakeAnsi(&strText[0]);
    strText.pop_back();
    return strText;
}

// A test's text as an engine string.
inline CKorvelString S(const std::string& str)
{
    return CKorvelString(str.c_str());
}
