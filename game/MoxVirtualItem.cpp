// The description of a virtual item.
#include "game/MoxVirtualItem.h"

#include <cstring>
#include <memory>

#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/XMLLoaderWrapper.h"

namespace
{
CKorvelString LowerText(CKorvelXMLDataNode* pNode, const char* pPath)
{
    CKorvelString str;
    const char* pText = CXMLLoaderWrapper::GetText(pNode, pPath);
    if (pText)
        str.FromUTF8(pText, -1);
    str.MakeLower();
    return str;
}

MOX_ITEM_TYPE TypeOf(const CKorvelString& strType)
{
    static const struct
    {
        const char* pName;
        MOX_ITEM_TYPE eType;
    } types[] = {{"hat", MOX_ITEM_HAT},
                 {"cluster", MOX_ITEM_CLUSTER},
                 {"snow", MOX_ITEM_SNOW},
                 {"battleground", MOX_ITEM_BATTLEGROUND}};
    for (const auto& type : types)
        if (strType.IsEqual(CKorvelString(type.pName)))
            return type.eType;
    return MOX_ITEM_NONE;
}
} // namespace

int MoxParseItemDescription(unsigned char* pData, unsigned int uSize, sMoxItemDescription& description)
{
    description = sMoxItemDescription();
    if (!pData || !uSize)
        return 0;
    CXMLLoaderWrapper loader;
    if (loader.LoadFromData(pData, uSize) != KE_OK)
        return 0;
    CKorvelXMLDataNode* pAttributes = CXMLLoaderWrapper::FindChild(loader.GetRootNode(), "attributes");
    if (!pAttributes)
        return 1;
    description.eType = TypeOf(LowerText(pAttributes, "$type"));
    description.iVariable = CXMLLoaderWrapper::GetInt(pAttributes, "$variable", 0);
    description.strFile = LowerText(pAttributes, "$filename");
    description.strBattleFile = LowerText(pAttributes, "$battlefilename");
    description.strUniqueFile = LowerText(pAttributes, "$uniquefilename");
    return 1;
}

int MoxReadItemDescription(CVornApplication& app, int iFileNumber, int iDescriptionNumber,
                           sMoxItemDescription& description)
{
    description = sMoxItemDescription();
    CKorvelString strPack;
    app.GetItemFile(iFileNumber, strPack);
    if (!strPack.GetLength())
        return 0;
    // Once per pack: every item of every match would otherwise add another entry.
    if (!app.HavePack(strPack) && !app.AddPack(strPack, 1, 0))
        return 0;
    CKorvelString strName;
    strName.Format(L"%d.xml", iDescriptionNumber);
    unsigned char* pData = nullptr;
    const unsigned int uSize = app.GetFileData(strName, &pData);
    std::unique_ptr<unsigned char[]> bytes(pData);
    return MoxParseItemDescription(pData, uSize, description);
}
