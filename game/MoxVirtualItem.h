// Reading a virtual item bought in the shop: its pack, named by the lobby for the item's
// file number, holds "<description number>.xml", whose "attributes" element tells the
// item's kind and pictures.
#pragma once

#include "KorvelCommon/KorvelString.h"

class CVornApplication;

enum MOX_ITEM_TYPE : int
{
    MOX_ITEM_NONE = 0, // an unknown kind, or no "attributes" element: ignored
    MOX_ITEM_HAT = 1,
    MOX_ITEM_CLUSTER = 2,
    MOX_ITEM_SNOW = 3,
    MOX_ITEM_BATTLEGROUND = 4
};

struct sMoxItemDescription
{
    MOX_ITEM_TYPE eType = MOX_ITEM_NONE;
    int iVariable = 0;           // a hat's health bonus
    CKorvelString strFile;       // a hat's picture, lower case
    CKorvelString strBattleFile; // a battleground's two pictures, lower case
    CKorvelString strUniqueFile;
};

// Parses a description's bytes (the parser may change them). 0 when they are no XML.
int MoxParseItemDescription(unsigned char* pData, unsigned int uSize, sMoxItemDescription& description);

// Adds the item's pack to the resource manager unless it is known already, then reads
// the description. 0 when the pack cannot be opened or the description is missing or no
// XML.
int MoxReadItemDescription(CVornApplication& app, int iFileNumber, int iDescriptionNumber,
                           sMoxItemDescription& description);
