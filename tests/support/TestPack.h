// Media-pack bytes ("KMP2") as the format lays them out, for tests of the pack
// and of the loaders that read items from it. Header only.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "KorvelCommon/KorvelDataScrambler.h"
#include "KorvelCommon/KorvelString.h"

inline void PackPutU16(std::string& out, unsigned int v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

inline void PackPutU32(std::string& out, unsigned int v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Pack bytes as the format lays them out; keyed items are scrambled with the key.
inline std::string TestPackBytes(const std::vector<std::pair<std::string, std::string>>& items,
                                 const std::string& strKey = "")
{
    std::string strTable, strRecords;
    size_t uTableSize = 8;
    for (const auto& item : items)
        uTableSize += 2 + item.first.size() + 4;
    for (const auto& item : items)
    {
        PackPutU16(strTable, static_cast<unsigned int>(item.first.size()));
        strTable += item.first;
        PackPutU32(strTable, static_cast<unsigned int>(uTableSize + strRecords.size()));
        std::string strData = item.second;
        if (!strKey.empty())
            CKorvelDataScrambler().Scramble(CKorvelString(strKey.c_str()), &strData[0],
                                            static_cast<unsigned int>(strData.size()));
        PackPutU32(strRecords, 0);
        PackPutU32(strRecords, static_cast<unsigned int>(strData.size()));
        strRecords += strData;
    }
    std::string strPack = "KMP2";
    PackPutU32(strPack, static_cast<unsigned int>(items.size()));
    return strPack + strTable + strRecords;
}

