#include "tools/packtool/KmpPackSet.h"

#include "tools/packtool/KmpPackBuilder.h"

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include <map>

bool KmpCheckUnique(const std::vector<std::string>& aPacks, std::string& strError)
{
    std::map<std::string, std::string> mapOwner; // file name -> pack
    for (const std::string& strPack : aPacks)
    {
        CKorvelMediaPack pack;
        if (pack.Startup(CKorvelString(strPack.c_str()), CKorvelString()) != KE_OK)
        {
            strError = "cannot open the pack '" + strPack + "'";
            return false;
        }
        for (unsigned int i = 0; i < pack.GetItemCount(); ++i)
        {
            const CKorvelString& strItem = pack.GetItemInfo(i)->strName;
            std::string strName(static_cast<size_t>(strItem.GetLength()) + 1, '\0');
            strItem.MakeAnsi(&strName[0]);
            strName.pop_back();
            const std::string strFile = KmpFileName(strName);
            if (strFile == "kmp.meta")
                continue;
            auto found = mapOwner.emplace(strFile, strPack);
            if (!found.second && found.first->second != strPack)
            {
                strError = "the packs '" + found.first->second + "' and '" + strPack +
                           "' both hold the file name '" + strFile + "'";
                return false;
            }
        }
    }
    return true;
}
