// Layout files and packs for UI tests, written into a test application's folder (the
// "app/native/" folder of its directory). Pack items are stored under "/" + name, as the
// pack tool stores them. Header only.
#pragma once

#include <string>

#include "support/TestMedia.h"
#include "support/TestPack.h"

inline std::string UiAppFolder(const std::string& strTestDir)
{
    return strTestDir + "/app/native/";
}

// A layout (or any text file) in the application folder. False when it cannot be written.
inline bool WriteUiLayout(const std::string& strTestDir, const std::string& strName,
                          const std::string& strXml)
{
    return WriteTestFile(UiAppFolder(strTestDir) + strName, strXml);
}

// A pack of the given items (names without the leading "/") in the application folder.
inline bool WriteUiPack(const std::string& strTestDir, const std::string& strPackName,
                        const TestPackItems& items)
{
    TestPackItems stored;
    for (const auto& item : items)
        stored.push_back({"/" + item.first, item.second});
    return WriteTestFile(UiAppFolder(strTestDir) + strPackName, TestPackBytes(stored));
}

// Bytes of a file as a pack item.
inline std::string UiPackItem(const std::vector<uint8_t>& aBytes)
{
    return std::string(aBytes.begin(), aBytes.end());
}
