// kmptool: builds media packs and looks into them.
//   kmptool build OUT.kmp [--key K] [--meta FILE | --media | --image-original-size N | --font-original-size
//   N]
//                 [--dir FOLDER] [--list FILE] [NAME=FILE]...
//   kmptool list PACK
//   kmptool extract PACK NAME [--key K] [-o FILE]
//   kmptool unique PACK...
//   kmptool lang SOURCE OUT.kmp --signatures FILE
//   kmptool layoutcheck PACK FILE
//   kmptool scn build SRC.txt OUT.scn [--network] | scn check [--network] FILE.scn... | scn dump FILE.scn
#include "tools/packtool/KmpInputs.h"
#include "tools/packtool/KmpLanguage.h"
#include "tools/packtool/KmpLayoutCheck.h"
#include "tools/packtool/KmpMediaCheck.h"
#include "tools/packtool/KmpPackBuilder.h"
#include "tools/packtool/KmpPackSet.h"
#include "tools/packtool/KmpScene.h"

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{
const char* g_pUsage =
    "usage:\n"
    "  kmptool build OUT.kmp [--key K] [--meta FILE | --media | --image-original-size N |\n"
    "                --font-original-size N] [--dir FOLDER] [--list FILE] [NAME=FILE]...\n"
    "  kmptool list PACK\n"
    "  kmptool extract PACK NAME [--key K] [-o FILE]\n"
    "  kmptool unique PACK...\n"
    "  kmptool lang SOURCE OUT.kmp --signatures FILE\n"
    "  kmptool layoutcheck PACK FILE\n"
    "  kmptool scn build SRC.txt OUT.scn [--network]\n"
    "  kmptool scn check [--network] FILE.scn...\n"
    "  kmptool scn dump FILE.scn\n";

int Usage(const std::string& strProblem)
{
    fprintf(stderr, "kmptool: %s\n%s", strProblem.c_str(), g_pUsage);
    return 2;
}

int Fail(const std::string& strError)
{
    fprintf(stderr, "kmptool: %s\n", strError.c_str());
    return 1;
}

std::string Narrow(const CKorvelString& str)
{
    std::string strText(static_cast<size_t>(str.GetLength()) + 1, '\0');
    str.MakeAnsi(&strText[0]);
    strText.pop_back();
    return strText;
}

// A positive whole number of at most six digits; 0 otherwise.
int SizeArgument(const std::string& strText)
{
    if (strText.empty() || strText.size() > 6 || strText.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(strText);
}

int Build(const std::vector<std::string>& aArgs)
{
    if (aArgs.empty())
        return Usage("build needs an output file");
    std::string strKey, strError;
    std::string strMeta;
    bool bMedia = false;
    sKmpMetaOptions options;
    std::vector<sKmpItem> aItems;
    for (size_t i = 1; i < aArgs.size(); ++i)
    {
        const std::string& strArg = aArgs[i];
        bool bOption = strArg == "--key" || strArg == "--meta" || strArg == "--dir" || strArg == "--list" ||
                       strArg == "--image-original-size" || strArg == "--font-original-size";
        if (bOption && i + 1 >= aArgs.size())
            return Usage(strArg + " needs a value");
        bool bOk = true;
        if (strArg == "--key")
            strKey = aArgs[++i];
        else if (strArg == "--meta")
            strMeta = aArgs[++i];
        else if (strArg == "--media")
            bMedia = true;
        else if (strArg == "--image-original-size" || strArg == "--font-original-size")
        {
            int& iSize = strArg[2] == 'i' ? options.iImageOriginalSize : options.iFontOriginalSize;
            if ((iSize = SizeArgument(aArgs[++i])) == 0)
                return Usage(strArg + " needs a size above 0");
        }
        else if (strArg == "--dir")
            bOk = KmpAddFolder(aItems, aArgs[++i], strError);
        else if (strArg == "--list")
            bOk = KmpAddListFile(aItems, aArgs[++i], strError);
        else if (strArg.compare(0, 2, "--") == 0)
            return Usage("unknown option " + strArg);
        else
            bOk = KmpAddNamedFile(aItems, strArg, strError);
        if (!bOk)
            return Fail(strError);
    }
    const bool bWritesMeta = bMedia || options.iImageOriginalSize > 0 || options.iFontOriginalSize > 0;
    if (bWritesMeta && !strMeta.empty())
        return Usage(
            "--meta names a hand-written meta; it cannot be combined with --media or the original sizes");
    std::vector<sKmpImageSize> aImages;
    if (bMedia && !KmpCheckMedia(aItems, aImages, strError))
        return Fail(aArgs[0] + ": " + strError);
    // Last, so that item 0 stays the first content item (language packs read item 0).
    sKmpItem meta;
    meta.strName = "/kmp.meta";
    if (!strMeta.empty())
    {
        meta.strSource = strMeta;
        if (!KmpReadFile(strMeta, meta.aData, strError))
            return Fail(strError);
    }
    else
    {
        const std::string strText = KmpMetaText(aImages, options);
        meta.strSource = "the tool's own meta";
        meta.aData.assign(strText.begin(), strText.end());
    }
    if (!meta.aData.empty() || !strMeta.empty())
        aItems.push_back(std::move(meta));
    if (!KmpWritePack(aArgs[0], aItems, strKey, strError))
        return Fail(aArgs[0] + ": " + strError);
    return 0;
}

int Unique(const std::vector<std::string>& aArgs)
{
    if (aArgs.empty())
        return Usage("unique needs packs");
    std::string strError;
    return KmpCheckUnique(aArgs, strError) ? 0 : Fail(strError);
}

int Lang(const std::vector<std::string>& aArgs)
{
    if (aArgs.size() != 4 || aArgs[2] != "--signatures")
        return Usage("lang takes a source, an output pack and --signatures FILE");
    std::string strError;
    return KmpBuildLanguagePack(aArgs[0], aArgs[3], aArgs[1], strError) ? 0 : Fail(strError);
}

int LayoutCheck(const std::vector<std::string>& aArgs)
{
    if (aArgs.size() != 2)
        return Usage("layoutcheck takes a pack and an area file");
    std::string strError;
    return KmpCheckLayout(aArgs[0], aArgs[1], strError) ? 0 : Fail(strError);
}

int Scene(const std::vector<std::string>& aArgs)
{
    std::vector<std::string> aFiles;
    bool bNetwork = false;
    for (size_t i = 1; i < aArgs.size(); ++i)
        if (aArgs[i] == "--network")
            bNetwork = true;
        else
            aFiles.push_back(aArgs[i]);
    std::string strError;
    const std::string strCommand = aArgs.empty() ? "" : aArgs[0];
    if (strCommand == "build")
    {
        if (aFiles.size() != 2)
            return Usage("scn build takes a source and an output file");
        return KmpBuildScene(aFiles[0], aFiles[1], bNetwork, strError) ? 0 : Fail(strError);
    }
    if (strCommand == "check")
    {
        if (aFiles.empty())
            return Usage("scn check needs scene files");
        int iResult = 0;
        for (const std::string& strFile : aFiles)
            if (!KmpCheckSceneFile(strFile, bNetwork, strError))
                iResult = Fail(strError);
        return iResult;
    }
    if (strCommand == "dump")
    {
        if (aFiles.size() != 1 || bNetwork)
            return Usage("scn dump takes one scene file");
        std::string strText;
        if (!KmpDumpScene(aFiles[0], strText, strError))
            return Fail(strError);
        fputs(strText.c_str(), stdout);
        return 0;
    }
    return Usage("scn takes build, check or dump");
}

int List(const std::vector<std::string>& aArgs)
{
    if (aArgs.size() != 1)
        return Usage("list takes one pack");
    CKorvelMediaPack pack;
    KE_RETVAL iResult = pack.Startup(CKorvelString(aArgs[0].c_str()), CKorvelString());
    if (iResult != KE_OK)
        return Fail("cannot open the pack '" + aArgs[0] + "' (result " + std::to_string(iResult) + ")");
    for (unsigned int i = 0; i < pack.GetItemCount(); ++i)
    {
        unsigned int uSize = pack.SeekToItem(CKorvelString(), i);
        printf("%5u %10u %s\n", i, uSize, Narrow(pack.GetItemInfo(i)->strName).c_str());
    }
    return 0;
}

int Extract(const std::vector<std::string>& aArgs)
{
    if (aArgs.size() < 2)
        return Usage("extract needs a pack and an item name");
    std::string strKey, strOut;
    for (size_t i = 2; i < aArgs.size(); ++i)
    {
        if (aArgs[i] == "--key" && i + 1 < aArgs.size())
            strKey = aArgs[++i];
        else if (aArgs[i] == "-o" && i + 1 < aArgs.size())
            strOut = aArgs[++i];
        else
            return Usage("unexpected " + aArgs[i]);
    }
    CKorvelMediaPack pack;
    KE_RETVAL iResult = pack.Startup(CKorvelString(aArgs[0].c_str()), CKorvelString(strKey.c_str()));
    if (iResult != KE_OK)
        return Fail("cannot open the pack '" + aArgs[0] + "' (result " + std::to_string(iResult) + ")");
    // The whole item name first, then the file name.
    const std::string& strName = aArgs[1];
    int iFound = -1;
    for (unsigned int i = 0; i < pack.GetItemCount() && iFound < 0; ++i)
        if (Narrow(pack.GetItemInfo(i)->strName) == strName)
            iFound = static_cast<int>(i);
    for (unsigned int i = 0; i < pack.GetItemCount() && iFound < 0; ++i)
        if (KmpFileName(Narrow(pack.GetItemInfo(i)->strName)) == strName)
            iFound = static_cast<int>(i);
    CKorvelMediaPackItem item;
    if (iFound < 0 || item.Open(pack, CKorvelString(), static_cast<unsigned int>(iFound)) != KE_OK)
        return Fail("no readable item '" + strName + "' in '" + aArgs[0] + "'");
    std::vector<char> aData(item.GetSize());
    if (item.GetFile().Read(aData.data(), item.GetSize()) != item.GetSize())
        return Fail("reading '" + strName + "' failed");
    if (strOut.empty())
        return fwrite(aData.data(), 1, aData.size(), stdout) == aData.size() ? 0 : Fail("writing failed");
    std::ofstream out(strOut, std::ios::binary);
    out.write(aData.data(), static_cast<std::streamsize>(aData.size()));
    return out.good() ? 0 : Fail("cannot write '" + strOut + "'");
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage("no command");
    std::string strCommand = argv[1];
    std::vector<std::string> aArgs(argv + 2, argv + argc);
    if (strCommand == "build")
        return Build(aArgs);
    if (strCommand == "list")
        return List(aArgs);
    if (strCommand == "extract")
        return Extract(aArgs);
    if (strCommand == "unique")
        return Unique(aArgs);
    if (strCommand == "lang")
        return Lang(aArgs);
    if (strCommand == "layoutcheck")
        return LayoutCheck(aArgs);
    if (strCommand == "scn")
        return Scene(aArgs);
    return Usage("unknown command " + strCommand);
}
