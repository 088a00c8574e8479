// Engine strings as std::string for comparisons in tests (each unit's low byte).
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
