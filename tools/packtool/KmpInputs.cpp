#include "tools/packtool/KmpInputs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
std::string Trim(const std::string& strText)
{
    const char* pSpace = " \t\r\n";
    size_t uStart = strText.find_first_not_of(pSpace);
    if (uStart == std::string::npos)
        return "";
    return strText.substr(uStart, strText.find_last_not_of(pSpace) - uStart + 1);
}

bool AddItem(std::vector<sKmpItem>& aItems, const std::string& strName, const std::string& strPath,
             std::string& strError)
{
    sKmpItem item;
    item.strName = strName;
    item.strSource = strPath;
    if (!KmpReadFile(strPath, item.aData, strError))
        return false;
    aItems.push_back(std::move(item));
    return true;
}
} // namespace

bool KmpReadFile(const std::string& strPath, std::vector<unsigned char>& aData, std::string& strError)
{
    std::error_code error;
    if (!fs::is_regular_file(strPath, error))
    {
        strError = "cannot read '" + strPath + "': no such file";
        return false;
    }
    std::ifstream in(strPath, std::ios::binary);
    aData.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
    {
        strError = "cannot read '" + strPath + "'";
        return false;
    }
    return true;
}

bool KmpAddNamedFile(std::vector<sKmpItem>& aItems, const std::string& strArgument, std::string& strError)
{
    size_t uEquals = strArgument.find('=');
    if (uEquals == std::string::npos || uEquals == 0 || uEquals + 1 == strArgument.size())
    {
        strError = "'" + strArgument + "' is not NAME=FILE";
        return false;
    }
    return AddItem(aItems, strArgument.substr(0, uEquals), strArgument.substr(uEquals + 1), strError);
}

bool KmpAddFolder(std::vector<sKmpItem>& aItems, const std::string& strFolder, std::string& strError)
{
    std::error_code error;
    std::vector<std::string> aFiles;
    for (fs::recursive_directory_iterator it(strFolder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error))
            aFiles.push_back(fs::relative(it->path(), strFolder, error).generic_string());
    if (error)
    {
        strError = "cannot read the folder '" + strFolder + "'";
        return false;
    }
    std::sort(aFiles.begin(), aFiles.end());
    for (const std::string& strFile : aFiles)
        if (!AddItem(aItems, "/" + strFile, (fs::path(strFolder) / strFile).string(), strError))
            return false;
    return true;
}

bool KmpAddListFile(std::vector<sKmpItem>& aItems, const std::string& strList, std::string& strError)
{
    std::ifstream in(strList);
    if (!in)
    {
        strError = "cannot read the list '" + strList + "'";
        return false;
    }
    fs::path folder = fs::path(strList).parent_path();
    std::string strLine;
    for (int iLine = 1; std::getline(in, strLine); ++iLine)
    {
        strLine = Trim(strLine);
        if (strLine.empty() || strLine[0] == '#')
            continue;
        std::string strName, strPath;
        size_t uArrow = strLine.find("<-");
        if (uArrow == std::string::npos)
            strPath = strLine;
        else
        {
            strName = Trim(strLine.substr(0, uArrow));
            strPath = Trim(strLine.substr(uArrow + 2));
        }
        if (strPath.empty() || (uArrow != std::string::npos && strName.empty()))
        {
            strError = strList + ":" + std::to_string(iLine) + ": expected NAME <- PATH or PATH";
            return false;
        }
        fs::path path(strPath);
        if (path.is_relative())
            path = folder / path;
        if (strName.empty())
            strName = "/" + path.filename().string();
        if (!AddItem(aItems, strName, path.string(), strError))
            return false;
    }
    return true;
}
