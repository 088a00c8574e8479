#include "tools/packtool/KmpLanguage.h"

#include "tools/packtool/KmpInputs.h"
#include "tools/packtool/KmpPackBuilder.h"

#include "KorvelCommon/KorvelString.h"

#include <sstream>

namespace
{
const char* const g_aHeaders[] = {"NAME", "CODE", "FLAGS", "SPECIAL_CHARS"};
const size_t kHeaderCount = 4;
// Every number up to the last is written, so a typo such as 99999 would make a huge pack.
const int kMaxNumber = 9999;
// The shell reads each header into a buffer of this many units.
const size_t kHeaderUnits = 4095;

std::string At(const std::string& strSource, int iLine)
{
    return strSource + ":" + std::to_string(iLine) + ": ";
}

// UTF-8 to UTF-16 units; false for a malformed sequence.
bool ToUtf16(const std::string& strText, std::u16string& strOut)
{
    strOut.clear();
    for (size_t i = 0; i < strText.size();)
    {
        const unsigned char c = static_cast<unsigned char>(strText[i]);
        int iMore = c < 0x80             ? 0
                    : (c & 0xE0) == 0xC0 ? 1
                    : (c & 0xF0) == 0xE0 ? 2
                    : (c & 0xF8) == 0xF0 ? 3
                                         : -1;
        if (iMore < 0 || i + static_cast<size_t>(iMore) >= strText.size() + (iMore == 0 ? 1 : 0))
            return false;
        unsigned int uCode = iMore == 0 ? c : c & (0x3F >> iMore);
        for (int k = 1; k <= iMore; ++k)
        {
            const unsigned char d = static_cast<unsigned char>(strText[i + static_cast<size_t>(k)]);
            if ((d & 0xC0) != 0x80)
                return false;
            uCode = (uCode << 6) | (d & 0x3F);
        }
        static const unsigned int s_uLeast[] = {0, 0x80, 0x800, 0x10000};
        if (uCode < s_uLeast[iMore] || uCode > 0x10FFFF || (uCode >= 0xD800 && uCode <= 0xDFFF))
            return false;
        if (uCode >= 0x10000)
        {
            uCode -= 0x10000;
            strOut += static_cast<char16_t>(0xD800 + (uCode >> 10));
            strOut += static_cast<char16_t>(0xDC00 + (uCode & 0x3FF));
        }
        else
            strOut += static_cast<char16_t>(uCode);
        i += static_cast<size_t>(iMore) + 1;
    }
    return true;
}

// The printf conversions of a text in order ("%%" is a literal per cent sign);
// false when a '%' does not start a conversion.
bool Conversions(const std::string& strText, std::vector<std::string>& aOut)
{
    for (size_t i = 0; i < strText.size(); ++i)
    {
        if (strText[i] != '%')
            continue;
        if (i + 1 < strText.size() && strText[i + 1] == '%')
        {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < strText.size() && std::string("-+ #0123456789.lh").find(strText[j]) != std::string::npos)
            ++j;
        const char c = j < strText.size() ? strText[j] : '\0';
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
        aOut.push_back(strText.substr(i, j - i + 1));
        i = j;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& aItems)
{
    if (aItems.empty())
        return "none";
    std::string strOut;
    for (const std::string& str : aItems)
        strOut += (strOut.empty() ? "" : " ") + str;
    return strOut;
}

// A number of one to four digits without a leading zero; -1 otherwise.
int ParseNumber(const std::string& strKey)
{
    if (strKey.empty() || strKey.size() > 4 || (strKey.size() > 1 && strKey[0] == '0'))
        return -1;
    for (char c : strKey)
        if (c < '0' || c > '9')
            return -1;
    return std::stoi(strKey);
}

bool CheckCharacters(const std::string& strText, std::string& strProblem)
{
    for (char c : strText)
    {
        if (c == '\r')
        {
            strProblem = "holds a CR (write \\n for a line break)";
            return false;
        }
        if (static_cast<unsigned char>(c) < 0x20)
        {
            strProblem = "holds the control character " + std::to_string(static_cast<int>(c));
            return false;
        }
    }
    std::u16string strUnits;
    if (!ToUtf16(strText, strUnits))
    {
        strProblem = "is not valid UTF-8";
        return false;
    }
    return true;
}

bool CheckHeader(const std::string& strKey, const std::string& strValue, std::string& strProblem)
{
    if (strValue.empty())
        strProblem = "the header " + strKey + " needs a value";
    else if (strValue.size() > kHeaderUnits)
        strProblem = "the header " + strKey + " is longer than the reader's buffer";
    else if (strKey == "SPECIAL_CHARS" && strValue.find_first_not_of("0123456789") != std::string::npos)
        strProblem = "the header SPECIAL_CHARS must be a number";
    return strProblem.empty();
}

bool CheckText(int iNumber, const std::string& strText,
               const std::map<int, std::vector<std::string>>& mapSigs, std::string& strProblem)
{
    if (!CheckCharacters(strText, strProblem))
    {
        strProblem = "text " + std::to_string(iNumber) + " " + strProblem;
        return false;
    }
    std::vector<std::string> aFound;
    if (!Conversions(strText, aFound))
    {
        strProblem = "text " + std::to_string(iNumber) + " has a '%' that is no conversion (write %% for %)";
        return false;
    }
    auto found = mapSigs.find(iNumber);
    const std::vector<std::string> aWanted =
        found == mapSigs.end() ? std::vector<std::string>() : found->second;
    if (aFound != aWanted)
    {
        strProblem = "text " + std::to_string(iNumber) + " has the conversions " + Joined(aFound) +
                     " but is formatted with " + Joined(aWanted);
        return false;
    }
    return true;
}

std::u16string Units(const std::string& strText)
{
    std::u16string strOut;
    ToUtf16(strText, strOut);
    return strOut;
}

std::vector<std::string> Lines(const std::string& strText)
{
    std::vector<std::string> aLines;
    std::string strLine;
    std::istringstream in(strText);
    while (std::getline(in, strLine))
        aLines.push_back(strLine);
    return aLines;
}
} // namespace

bool KmpReadSignatures(const std::string& strText, const std::string& strSource,
                       std::map<int, std::vector<std::string>>& mapSignatures, std::string& strError)
{
    std::vector<std::string> aLines = Lines(strText);
    for (size_t i = 0; i < aLines.size(); ++i)
    {
        std::istringstream in(aLines[i]);
        std::string strId, strConversion;
        if (!(in >> strId) || strId[0] == '#')
            continue;
        const int iId = ParseNumber(strId);
        std::vector<std::string> aConversions;
        while (in >> strConversion)
        {
            std::vector<std::string> aOne;
            if (!Conversions(strConversion, aOne) || aOne.size() != 1 || aOne[0] != strConversion)
            {
                strError =
                    At(strSource, static_cast<int>(i + 1)) + "'" + strConversion + "' is not one conversion";
                return false;
            }
            aConversions.push_back(strConversion);
        }
        if (iId < 0 || aConversions.empty() || !mapSignatures.emplace(iId, aConversions).second)
        {
            strError = At(strSource, static_cast<int>(i + 1)) +
                       "expected a new text number and its conversions, e.g. \"36 %s\"";
            return false;
        }
    }
    return true;
}

bool KmpParseLanguage(const std::string& strText, const std::string& strSource,
                      const std::map<int, std::vector<std::string>>& mapSignatures,
                      sKmpLanguageSource& source, std::string& strError)
{
    source = sKmpLanguageSource();
    std::vector<std::string> aLines = Lines(strText);
    for (size_t i = 0; i < aLines.size(); ++i)
    {
        const std::string& strLine = aLines[i];
        const std::string strAt = At(strSource, static_cast<int>(i + 1));
        if (strLine.empty() || strLine[0] == '#')
            continue;
        const size_t uEquals = strLine.find('=');
        const std::string strKey = strLine.substr(0, uEquals);
        const std::string strValue = uEquals == std::string::npos ? "" : strLine.substr(uEquals + 1);
        std::string strProblem;
        if (uEquals == std::string::npos)
            strProblem = "expected NAME=value or N=text";
        else if (source.aHeaders.size() < kHeaderCount)
        {
            const std::string strWanted = g_aHeaders[source.aHeaders.size()];
            if (strKey != strWanted)
                strProblem = "expected the header " + strWanted +
                             " here (the headers come first, in the order " +
                             "NAME, CODE, FLAGS, SPECIAL_CHARS)";
            else if (CheckCharacters(strValue, strProblem) && CheckHeader(strKey, strValue, strProblem))
                source.aHeaders.emplace_back(strKey, strValue);
            else if (strProblem.find("header") == std::string::npos)
                strProblem = "the header " + strKey + " " + strProblem;
        }
        else
        {
            const int iNumber = ParseNumber(strKey);
            const int iLast = source.mapTexts.empty() ? -1 : source.mapTexts.rbegin()->first;
            if (iNumber < 0 || iNumber > kMaxNumber)
                strProblem = "'" + strKey + "' is not a text number from 0 to " + std::to_string(kMaxNumber);
            else if (iNumber == iLast)
                strProblem = "text " + strKey + " is written twice";
            else if (iNumber < iLast)
                strProblem = "text " + strKey + " comes after text " + std::to_string(iLast) +
                             " (numbers must ascend)";
            else if (CheckText(iNumber, strValue, mapSignatures, strProblem))
                source.mapTexts[iNumber] = strValue;
        }
        if (!strProblem.empty())
        {
            strError = strAt + strProblem;
            return false;
        }
    }
    if (source.aHeaders.size() < kHeaderCount)
    {
        strError = strSource + ": the header " + g_aHeaders[source.aHeaders.size()] + " is missing";
        return false;
    }
    if (source.mapTexts.empty())
    {
        strError = strSource + ": no texts";
        return false;
    }
    for (const auto& sig : mapSignatures)
    {
        if (!source.mapTexts.count(sig.first))
        {
            strError = strSource + ": text " + std::to_string(sig.first) +
                       " is missing; it is formatted with " + Joined(sig.second);
            return false;
        }
    }
    return true;
}

std::vector<unsigned char> KmpLanguageText(const sKmpLanguageSource& source)
{
    std::u16string strText;
    for (const auto& header : source.aHeaders)
        strText += Units(header.first + "=" + header.second + "\r\n");
    const int iLast = source.mapTexts.empty() ? -1 : source.mapTexts.rbegin()->first;
    for (int i = 0; i <= iLast; ++i)
    {
        auto found = source.mapTexts.find(i);
        strText +=
            Units(std::to_string(i) + "=" + (found == source.mapTexts.end() ? "" : found->second) + "\r\n");
    }
    std::vector<unsigned char> aBytes;
    for (char16_t u : strText)
    {
        aBytes.push_back(static_cast<unsigned char>(u & 0xFF));
        aBytes.push_back(static_cast<unsigned char>(u >> 8));
    }
    return aBytes;
}

bool KmpLanguageReadsBack(const std::vector<unsigned char>& aText, const sKmpLanguageSource& source,
                          std::string& strError)
{
    std::vector<unsigned short> aUnits;
    for (size_t i = 0; i + 1 < aText.size(); i += 2)
        aUnits.push_back(static_cast<unsigned short>(aText[i] | (aText[i + 1] << 8)));
    aUnits.push_back(0);
    const CKorvelString strAll(aUnits.data());
    for (const auto& header : source.aHeaders)
    {
        std::vector<unsigned short> aValue(kHeaderUnits + 1, 0);
        const std::string strFormat = header.first + "=%s\r\n";
        std::vector<unsigned short> aFormat(strFormat.begin(), strFormat.end());
        aFormat.push_back(0);
        const int iRead = strAll.ScanBounded(static_cast<int>(aValue.size()), aFormat.data(), aValue.data());
        const std::u16string strWanted = Units(header.second);
        if (iRead != 1 ||
            std::u16string(aValue.begin(), aValue.begin() + static_cast<long>(strWanted.size())) !=
                strWanted ||
            aValue[strWanted.size()] != 0)
        {
            strError = "the header " + header.first + " does not read back as written";
            return false;
        }
    }
    // The texts are found by searching "N=" from the end of the previous one.
    const std::u16string strUnits(aUnits.begin(), aUnits.end() - 1);
    size_t uPos = 0;
    const int iLast = source.mapTexts.rbegin()->first;
    for (int i = 0; i <= iLast; ++i)
    {
        const std::u16string strKey = Units(std::to_string(i) + "=");
        const size_t uKey = strUnits.find(strKey, uPos);
        auto wanted = source.mapTexts.find(i);
        const std::u16string strWanted = wanted == source.mapTexts.end() ? u"" : Units(wanted->second);
        const size_t uStart = uKey + strKey.size();
        const size_t uEnd = uKey == std::u16string::npos ? uKey : strUnits.find(u"\r\n", uStart);
        if (uEnd == std::u16string::npos || strUnits.compare(uStart, uEnd - uStart, strWanted) != 0)
        {
            strError = "text " + std::to_string(i) + " does not read back as written";
            return false;
        }
        uPos = uEnd + 1;
    }
    return true;
}

bool KmpBuildLanguagePack(const std::string& strSourcePath, const std::string& strSignaturesPath,
                          const std::string& strOutPath, std::string& strError)
{
    std::vector<unsigned char> aSource, aSignatures;
    if (!KmpReadFile(strSourcePath, aSource, strError) ||
        !KmpReadFile(strSignaturesPath, aSignatures, strError))
        return false;
    std::map<int, std::vector<std::string>> mapSignatures;
    sKmpLanguageSource source;
    if (!KmpReadSignatures(std::string(aSignatures.begin(), aSignatures.end()), strSignaturesPath,
                           mapSignatures, strError) ||
        !KmpParseLanguage(std::string(aSource.begin(), aSource.end()), strSourcePath, mapSignatures, source,
                          strError))
        return false;
    sKmpItem item;
    std::string strStem = KmpFileName(strOutPath);
    if (strStem.size() > 4 && strStem.compare(strStem.size() - 4, 4, ".kmp") == 0)
        strStem.resize(strStem.size() - 4);
    item.strName = "/" + strStem + ".txt";
    item.strSource = strSourcePath;
    item.aData = KmpLanguageText(source);
    if (!KmpLanguageReadsBack(item.aData, source, strError))
    {
        strError = strSourcePath + ": " + strError;
        return false;
    }
    return KmpWritePack(strOutPath, {item}, "", strError);
}
