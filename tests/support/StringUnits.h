// Engine strings seen as std::u16string in test expectations.
#pragma once
#include "KorvelCommon/KorvelString.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

inline std::u16string Units(const CKorvelString& str)
{
    const unsigned short* p = str.GetBuffer();
    return p ? std::u16string(p, p + str.GetLength()) : std::u16string();
}

// A zero-terminated 16-bit buffer.
inline std::u16string Units(const unsigned short* p)
{
    std::u16string units;
    while (p && *p)
        units += static_cast<char16_t>(*p++);
    return units;
}

inline CKorvelString FromUnits(const std::u16string& units)
{
    std::vector<unsigned short> aUnits(units.begin(), units.end());
    aUnits.push_back(0);
    return CKorvelString(aUnits.data());
}

// The empty state: no buffer, length 0.
inline void ExpectEmpty(const CKorvelString& str)
{
    EXPECT_EQ(str.GetBuffer(), nullptr);
    EXPECT_EQ(str.GetLength(), 0);
}
