// The built application folder as the content tests read it: its packs' items, the
// committed sources, the pack tool, and copies of the folder for applications of their
// own. Header only; the including test defines KMPTOOL_PATH.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"
#include "support/TestText.h"

inline std::string AppDir()
{
    const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
    return std::string(pBinary ? pBinary : ".") + "/run/app/native/";
}

// The item names of a pack in table order (empty when it does not open).
inline std::vector<std::string> ItemNames(const std::string& strPack)
{
    CKorvelMediaPack pack;
    std::vector<std::string> aNames;
    if (pack.Startup(CKorvelString((AppDir() + strPack).c_str()), CKorvelString()) == KE_OK)
        for (unsigned int i = 0; i < pack.GetItemCount(); ++i)
            aNames.push_back(Narrow(pack.GetItemInfo(i)->strName));
    return aNames;
}

// An item's bytes found as the loaders find it ("/" + file name), "" when none.
inline std::string ItemData(const std::string& strPack, const std::string& strFile)
{
    CKorvelMediaPack pack;
    CKorvelMediaPackItem item;
    if (pack.Startup(CKorvelString((AppDir() + strPack).c_str()), CKorvelString()) != KE_OK ||
        item.Open(pack, CKorvelString(("/" + strFile).c_str()), 0) != KE_OK)
        return "";
    std::string strData(item.GetSize(), '\0');
    item.GetFile().Read(&strData[0], item.GetSize());
    return strData;
}

inline std::string SourceText(const std::string& strPath)
{
    std::vector<uint8_t> aData = ReadTestFile(TestSourceDir() + "/" + strPath);
    return std::string(aData.begin(), aData.end());
}

// UTF-8 as UTF-16 units: the language source is UTF-8, the shell's texts are UTF-16.
inline std::u16string Utf16(const std::string& strText)
{
    std::u16string units;
    for (size_t i = 0; i < strText.size();)
    {
        const unsigned char c = static_cast<unsigned char>(strText[i]);
        const int iMore = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t u = iMore ? c & (0x3F >> iMore) : c;
        for (int k = 1; k <= iMore && i + k < strText.size(); ++k)
            u = (u << 6) | (static_cast<unsigned char>(strText[i + k]) & 0x3F);
        i += 1 + iMore;
        if (u >= 0x10000)
        {
            units += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
        }
        else
            units += static_cast<char16_t>(u);
    }
    return units;
}

// The built folder copied into an application's own, so nothing a start does can
// touch the build's copy.
inline void CopyBuiltFolder(const std::string& strAppFolder)
{
    for (const auto& entry : std::filesystem::directory_iterator(AppDir()))
        std::filesystem::copy_file(entry.path(), strAppFolder + "/" + entry.path().filename().string(),
                                   std::filesystem::copy_options::overwrite_existing);
}

inline bool IsPowerOfTwo(int i)
{
    return i > 0 && (i & (i - 1)) == 0;
}

// Runs kmptool; its exit code and standard error.
inline int RunTool(const CTestTempDir& dir, const std::string& strArgs, std::string& strErr)
{
    const std::string strCommand =
        std::string(KMPTOOL_PATH) + " " + strArgs + " >/dev/null 2>" + dir.File("err.txt");
    const int iStatus = std::system(strCommand.c_str());
    std::vector<uint8_t> aErr = ReadTestFile(dir.File("err.txt"));
    strErr.assign(aErr.begin(), aErr.end());
    return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
}
