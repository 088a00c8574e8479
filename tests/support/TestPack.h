// Media pack bytes ("KMP2") built in memory for tests, items scrambled when a key is
// given. Header only (uses the engine's scrambler).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "KorvelCommon/KorvelDataScrambler.h"
#include "KorvelCommon/KorvelString.h"

typedef std::vector<std::pair<std::string, std::string>> TestPackItems; // name, data

inline void PutTestU16(std::string& out, unsigned int v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

inline void PutTestU32(std::string& out, unsigned int v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Pack bytes as the format lays them out; keyed items are scrambled with the key.
inline std::string TestPackBytes(const TestPackItems& items, const std::string& strKey = "")
{
    std::string strTable, strRecords;
    size_t uTableSize = 8;
    for (const auto& item : items)
        uTableSize += 2 + item.first.size() + 4;
    for (const auto& item : items)
    {
        PutTestU16(strTable, static_cast<unsigned int>(item.first.size()));
        strTable += item.first;
        PutTestU32(strTable, static_cast<unsigned int>(uTableSize + strRecords.size()));
        std::string strData = item.second;
        if (!strKey.empty() && !strData.empty())
            CKorvelDataScrambler().Scramble(CKorvelString(strKey.c_str()), &strData[0],
                                            static_cast<unsigned int>(strData.size()));
        PutTestU32(strRecords, 0);
        PutTestU32(strRecords, static_cast<unsigned int>(strData.size()));
        strRecords += strData;
    }
    std::string strPack = "KMP2";
    PutTestU32(strPack, static_cast<unsigned int>(items.size()));
    return strPack + strTable + strRecords;
}
