#include "tools/packtool/KmpPackBuilder.h"

#include "KorvelCommon/KorvelDataScrambler.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelXMLDataNode.h"

#include <climits>
#include <cstdio>
#include <map>

namespace
{
const size_t kMaxNameLength = 0xFFFF;

std::string Quoted(const std::string& strText)
{
    return "'" + strText + "'";
}

bool EndsWithNoCase(const std::string& strText, const std::string& strEnd)
{
    if (strText.size() < strEnd.size())
        return false;
    for (size_t i = 0; i < strEnd.size(); ++i)
    {
        char c = strText[strText.size() - strEnd.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != strEnd[i])
            return false;
    }
    return true;
}

// The first item whose whole name contains the text, as the engine's SeekToItem
// finds it; -1 for none.
int FirstContaining(const std::vector<sKmpItem>& aItems, const std::string& strText)
{
    for (size_t i = 0; i < aItems.size(); ++i)
        if (aItems[i].strName.find(strText) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

// The page image names of a font description, in page order.
bool FontPages(const sKmpItem& font, std::vector<std::string>& aPages, std::string& strError)
{
    std::vector<signed char> aText(font.aData.begin(), font.aData.end());
    CKorvelXMLDataNode doc;
    doc.StartupFromData(aText.data(), static_cast<unsigned int>(aText.size()));
    CKorvelXMLDataNode* pPages = doc.GotoPath("font/pages", 0);
    if (!pPages || !pPages->GetFirstChild())
    {
        strError = "font " + Quoted(font.strName) + " lists no pages (font/pages)";
        return false;
    }
    for (CKorvelXMLDataNode* pPage = pPages->GetFirstChild(); pPage; pPage = pPage->GetNext())
    {
        const signed char* pFile = pPage->Get("$file", nullptr);
        if (!pFile || !pFile[0])
        {
            strError = "font " + Quoted(font.strName) + " has a page without a file name";
            return false;
        }
        aPages.push_back(reinterpret_cast<const char*>(pFile));
    }
    return true;
}

bool CheckName(const sKmpItem& item, std::string& strError)
{
    if (item.strName.empty() || item.strName.size() > kMaxNameLength)
    {
        strError = "item from " + Quoted(item.strSource) + " needs a name of 1 to 65535 bytes";
        return false;
    }
    // The engine widens names byte by byte and compares them with ASCII look-ups.
    for (unsigned char c : item.strName)
    {
        if (c < 0x20 || c > 0x7E)
        {
            strError = "item name " + Quoted(item.strName) + " holds a byte that is not printable ASCII";
            return false;
        }
    }
    if (item.aData.empty())
    {
        strError = "item " + Quoted(item.strName) + " is empty (a data size of 0 reads as not found)";
        return false;
    }
    return true;
}

// Every look-up key must find its own item before any other.
bool CheckLookups(const std::vector<sKmpItem>& aItems, std::string& strError)
{
    std::map<std::string, size_t> mapFileNames;
    for (size_t i = 0; i < aItems.size(); ++i)
    {
        const std::string strFile = KmpFileName(aItems[i].strName);
        auto found = mapFileNames.emplace(strFile, i);
        if (!found.second)
        {
            strError = "items " + Quoted(aItems[found.first->second].strName) + " and " +
                       Quoted(aItems[i].strName) + " share the file name " + Quoted(strFile);
            return false;
        }
    }
    for (size_t i = 0; i < aItems.size(); ++i)
    {
        const std::string strKey = "/" + KmpFileName(aItems[i].strName);
        int iFirst = FirstContaining(aItems, strKey);
        if (iFirst < 0)
        {
            strError = "item " + Quoted(aItems[i].strName) + " cannot be looked up as " + Quoted(strKey) +
                       ": its name must begin with '/' or a folder";
            return false;
        }
        if (iFirst != static_cast<int>(i))
        {
            strError = "looking up " + Quoted(strKey) + " would return " + Quoted(aItems[iFirst].strName) +
                       " instead of " + Quoted(aItems[i].strName) + "; reorder or rename the items";
            return false;
        }
    }
    return true;
}

// Fonts read their pages by the bare page name.
bool CheckFontPages(const std::vector<sKmpItem>& aItems, std::string& strError)
{
    for (const sKmpItem& font : aItems)
    {
        if (!EndsWithNoCase(font.strName, ".fnt"))
            continue;
        std::vector<std::string> aPages;
        if (!FontPages(font, aPages, strError))
            return false;
        for (const std::string& strPage : aPages)
        {
            int iFirst = FirstContaining(aItems, strPage);
            if (iFirst < 0)
            {
                strError = "font " + Quoted(font.strName) + " needs the page " + Quoted(strPage) +
                           ", which is not in the pack";
                return false;
            }
            if (KmpFileName(aItems[iFirst].strName) != strPage)
            {
                strError = "font " + Quoted(font.strName) + " would read its page " + Quoted(strPage) +
                           " from " + Quoted(aItems[iFirst].strName) + "; reorder or rename the items";
                return false;
            }
        }
    }
    return true;
}

void PutU16(std::vector<unsigned char>& aOut, size_t uValue)
{
    aOut.push_back(static_cast<unsigned char>(uValue & 0xFF));
    aOut.push_back(static_cast<unsigned char>((uValue >> 8) & 0xFF));
}

void PutU32(std::vector<unsigned char>& aOut, size_t uValue)
{
    for (int i = 0; i < 4; ++i)
        aOut.push_back(static_cast<unsigned char>((uValue >> (8 * i)) & 0xFF));
}

bool WriteAll(CKorvelFile& file, const std::vector<unsigned char>& aBytes)
{
    return aBytes.empty() ||
           file.Write(aBytes.data(), static_cast<unsigned int>(aBytes.size())) == aBytes.size();
}

bool WriteFile(const std::string& strPath, const std::vector<sKmpItem>& aItems, const std::string& strKey,
               std::string& strError)
{
    std::vector<unsigned char> aHead = {'K', 'M', 'P', '2'};
    PutU32(aHead, aItems.size());
    size_t uOffset = 8;
    for (const sKmpItem& item : aItems)
        uOffset += 2 + item.strName.size() + 4;
    for (const sKmpItem& item : aItems)
    {
        PutU16(aHead, item.strName.size());
        aHead.insert(aHead.end(), item.strName.begin(), item.strName.end());
        PutU32(aHead, uOffset);
        uOffset += 8 + item.aData.size();
    }
    // The engine's file positions are signed 32-bit.
    if (uOffset > static_cast<size_t>(INT_MAX))
    {
        strError = "the pack would reach 2 GiB, more than the engine can open";
        return false;
    }

    CKorvelFile file;
    if (file.OpenFromFile(CKorvelString(strPath.c_str()), CKorvelFile::FLAG_WRITE) != KE_OK)
    {
        strError = "cannot create " + Quoted(strPath);
        return false;
    }
    bool bOk = WriteAll(file, aHead);
    CKorvelString strEngineKey(strKey.c_str());
    for (size_t i = 0; bOk && i < aItems.size(); ++i)
    {
        std::vector<unsigned char> aRecord;
        PutU32(aRecord, 0); // never read
        PutU32(aRecord, aItems[i].aData.size());
        aRecord.insert(aRecord.end(), aItems[i].aData.begin(), aItems[i].aData.end());
        if (!strKey.empty())
            CKorvelDataScrambler().Scramble(strEngineKey, aRecord.data() + 8,
                                            static_cast<unsigned int>(aItems[i].aData.size()));
        bOk = WriteAll(file, aRecord);
    }
    file.Close();
    if (!bOk)
        strError = "writing " + Quoted(strPath) + " failed";
    return bOk;
}

bool ReadsBack(CKorvelMediaPack& pack, const CKorvelString& strName, unsigned int uIndex,
               const std::vector<unsigned char>& aExpected)
{
    CKorvelMediaPackItem item;
    if (item.Open(pack, strName, uIndex) != KE_OK || item.GetSize() != aExpected.size())
        return false;
    std::vector<unsigned char> aData(aExpected.size());
    return item.GetFile().Read(aData.data(), item.GetSize()) == item.GetSize() && aData == aExpected;
}
} // namespace

std::string KmpFileName(const std::string& strName)
{
    size_t uSlash = strName.rfind('/');
    return uSlash == std::string::npos ? strName : strName.substr(uSlash + 1);
}

bool KmpCheckItems(const std::vector<sKmpItem>& aItems, const std::string& strKey, std::string& strError)
{
    if (aItems.empty())
    {
        strError = "a pack needs at least one item";
        return false;
    }
    if (!strKey.empty() && strKey.size() < CKorvelDataScrambler::MIN_KEY_LENGTH)
    {
        strError = "a key needs at least 3 characters";
        return false;
    }
    for (const sKmpItem& item : aItems)
        if (!CheckName(item, strError))
            return false;
    return CheckLookups(aItems, strError) && CheckFontPages(aItems, strError);
}

bool KmpVerifyPack(const std::string& strPath, const std::vector<sKmpItem>& aItems, const std::string& strKey,
                   std::string& strError)
{
    CKorvelMediaPack pack;
    KE_RETVAL iResult = pack.Startup(CKorvelString(strPath.c_str()), CKorvelString(strKey.c_str()));
    if (iResult != KE_OK || pack.GetItemCount() != aItems.size())
    {
        strError =
            "the engine does not open " + Quoted(strPath) + " (result " + std::to_string(iResult) + ")";
        return false;
    }
    for (unsigned int i = 0; i < aItems.size(); ++i)
    {
        const sKmpItem& item = aItems[i];
        const std::string strFile = KmpFileName(item.strName);
        bool bOk = pack.GetItemInfo(i)->strName.Compare(CKorvelString(item.strName.c_str())) == 0 &&
                   ReadsBack(pack, CKorvelString(("/" + strFile).c_str()), 0, item.aData) &&
                   ReadsBack(pack, CKorvelString(), i, item.aData) &&
                   pack.FindItem(CKorvelString(strFile.c_str()), 0) == item.aData.size();
        std::vector<std::string> aPages;
        if (bOk && EndsWithNoCase(item.strName, ".fnt") && FontPages(item, aPages, strError))
        {
            for (const std::string& strPage : aPages)
            {
                int iPage = FirstContaining(aItems, strPage);
                bOk = bOk && iPage >= 0 &&
                      ReadsBack(pack, CKorvelString(strPage.c_str()), 0, aItems[iPage].aData);
            }
        }
        if (!bOk)
        {
            strError = "item " + Quoted(item.strName) + " does not read back from " + Quoted(strPath);
            return false;
        }
    }
    return true;
}

bool KmpWritePack(const std::string& strPath, const std::vector<sKmpItem>& aItems, const std::string& strKey,
                  std::string& strError)
{
    if (!KmpCheckItems(aItems, strKey, strError))
        return false;
    const std::string strTemp = strPath + ".tmp";
    bool bOk =
        WriteFile(strTemp, aItems, strKey, strError) && KmpVerifyPack(strTemp, aItems, strKey, strError);
    if (bOk && std::rename(strTemp.c_str(), strPath.c_str()) != 0)
    {
        strError = "cannot move the pack to " + Quoted(strPath);
        bOk = false;
    }
    if (!bOk)
        std::remove(strTemp.c_str());
    return bOk;
}
