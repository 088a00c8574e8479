// Shop messages of the catalogue.
//   Shop answer descriptors (read only; the id must match, fields by position, the
//   record list after a tag 0xA0|index): 87 AvailableItemDatas, 89 ShopItemData,
//   93 ShopItemGroups, 97 ShopItems, 100 ShopItemImage, 103 BuyItemResponse.
//   Their record decoders.
//   Class messages: 99 GetShopItemImage, 104 ConfirmBuyItem, 105 ConfirmBuyItemResponse,
//   106 UpdateItemStateResponse, 114 PlayerGiftItems, 115 ConfirmBuyPlayerItems,
//   116 ConfirmBuyPlayerItemsResponse.
// The byte arrays of 89 and 100 are allocated (array new) when the bound pointer is
// null; the caller frees them.
#pragma once

#include "Framework/asn1/ASN1.h"
#include "KorvelCommon/KorvelString.h"

// --- answer descriptors ------------------------------------------------------------------

class CASN1AvailableItemDatas
{
public:
    struct sItemData
    {
        int m_iItemId = 0;
        int m_iFlag = 0;
        unsigned char m_aDigest[16] = {}; // MD5 of the item's data file
        int m_iSize = 0;
    };

    explicit CASN1AvailableItemDatas(CKorvelArray<sItemData>& aItems) : m_aItems(aItems) {}
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    CKorvelArray<sItemData>& m_aItems;
};

// Item id, byte offset, a chunk of the item's data file, bytes remaining.
class CASN1ShopItemData
{
public:
    CASN1ShopItemData(int& iItemId, int& iOffset, unsigned char** ppData, int& iDataSize, int& iRemaining)
        : m_iItemId(iItemId), m_iOffset(iOffset), m_ppData(ppData), m_iDataSize(iDataSize),
          m_iRemaining(iRemaining)
    {
    }
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    int& m_iItemId;
    int& m_iOffset;
    unsigned char** m_ppData;
    int& m_iDataSize;
    int& m_iRemaining;
};

class CASN1ShopItemGroups
{
public:
    struct sGroupData
    {
        int m_iGroupId = 0;
        CKorvelString m_strName;
        int m_iType = 0;
        int m_iValue2 = 0;
        int m_iValue3 = 0;
        int m_iItemCount = 0;
    };

    CASN1ShopItemGroups(int& iFlags, CKorvelArray<sGroupData>& aGroups) : m_iFlags(iFlags), m_aGroups(aGroups)
    {
    }
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    int& m_iFlags;
    CKorvelArray<sGroupData>& m_aGroups;
};

class CASN1ShopItems
{
public:
    struct sItemData
    {
        int m_iItemId = 0;
        CKorvelString m_strName;
        CKorvelString m_strShortDescription;
        CKorvelString m_strDescription;
        int m_iPrice = 0;
        int m_iGiftPrice = 0;
        int m_iRefillPrice = 0;
        int m_iGroupId = 0;
        int m_iValue5 = 0;
        int m_iAmount = 0; // a count, or seconds left for group type 3
        int m_iValue7 = 0;
        int m_iEnabled = 0;
        int m_iDataId = 0; // names the item's data file
        CKorvelString m_strDisplayName;
        int m_iLast = 0;
    };

    CASN1ShopItems(int& iFlags, int& iStart, CKorvelArray<sItemData>& aItems)
        : m_iFlags(iFlags), m_iStart(iStart), m_aItems(aItems)
    {
    }
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    int& m_iFlags;
    int& m_iStart;
    CKorvelArray<sItemData>& m_aItems;
};

// Item id, 1 for the large picture, the image bytes.
class CASN1ShopItemImage
{
public:
    CASN1ShopItemImage(int& iItemId, int& iLarge, unsigned char** ppData, int& iDataSize)
        : m_iItemId(iItemId), m_iLarge(iLarge), m_ppData(ppData), m_iDataSize(iDataSize)
    {
    }
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    int& m_iItemId;
    int& m_iLarge;
    unsigned char** m_ppData;
    int& m_iDataSize;
};

class CASN1BuyItemResponse
{
public:
    struct sBuyItemPlayerInfo
    {
        int m_iPlayerId = 0;
        CKorvelString m_strText1;
        CKorvelString m_strText2;
    };

    CASN1BuyItemResponse(int& iItemId, int& iFlags, CKorvelString& strError,
                         CKorvelArray<sBuyItemPlayerInfo>& aPlayers)
        : m_iItemId(iItemId), m_iFlags(iFlags), m_strError(strError), m_aPlayers(aPlayers)
    {
    }
    unsigned int Decode(const unsigned char* pBuf, int iSize);

private:
    int& m_iItemId;
    int& m_iFlags;
    CKorvelString& m_strError;
    CKorvelArray<sBuyItemPlayerInfo>& m_aPlayers;
};

// --- record decoders ----------------------------------------------------------------------

// The digest arrives as a byte array: one of more than 16 bytes leaves it zero.
class CItemDataDecoder : public CASN1_Record
{
public:
    typedef CASN1AvailableItemDatas::sItemData RecordType;
    explicit CItemDataDecoder(RecordType& item);
    unsigned int Decode(const unsigned char* pBuf, int iSize) override;

private:
    RecordType& m_Item;
    unsigned char* m_pDigest;
    int m_iDigestSize = 0;
};

class CShopGroupDataDecoder : public CASN1_Record
{
public:
    typedef CASN1ShopItemGroups::sGroupData RecordType;
    explicit CShopGroupDataDecoder(RecordType& group);
};

class CShopItemDataDecoder : public CASN1_Record
{
public:
    typedef CASN1ShopItems::sItemData RecordType;
    explicit CShopItemDataDecoder(RecordType& item);
};

class CBuyItemPlayerInfoDecoder : public CASN1_Record
{
public:
    typedef CASN1BuyItemResponse::sBuyItemPlayerInfo RecordType;
    explicit CBuyItemPlayerInfoDecoder(RecordType& player);
};

// --- class messages -----------------------------------------------------------------------

// 99: item ids, 1 for the large pictures.
class CASN1GetShopItemImage : public CASN1_Message
{
public:
    CASN1GetShopItemImage(CKorvelArray<int>& aItemIds, int& iLarge);
};

// 104: item id, purchase flags, recipient player ids.
class CASN1ConfirmBuyItem : public CASN1_Message
{
public:
    CASN1ConfirmBuyItem(int& iItemId, int& iFlags, CKorvelArray<int>& aRecipients);
};

// The answers of 104 and 115: two integers and an error text.
class CASN1PurchaseAnswer : public CASN1_Message
{
protected:
    CASN1PurchaseAnswer(int iId, int& iValue, int& iFlags, CKorvelString& strError);
};

// 105: item id, purchase flags, error text.
class CASN1ConfirmBuyItemResponse : public CASN1PurchaseAnswer
{
public:
    CASN1ConfirmBuyItemResponse(int& iItemId, int& iFlags, CKorvelString& strError);
};

// 116: an integer, purchase flags, error text.
class CASN1ConfirmBuyPlayerItemsResponse : public CASN1PurchaseAnswer
{
public:
    CASN1ConfirmBuyPlayerItemsResponse(int& iValue, int& iFlags, CKorvelString& strError);
};

// 106: item id, state, error text, another item id.
class CASN1UpdateItemStateResponse : public CASN1_Message
{
public:
    CASN1UpdateItemStateResponse(int& iItemId, int& iState, CKorvelString& strError, int& iOtherItemId);
};

// 114: an integer, error text, the items the player may be given.
class CASN1PlayerGiftItems : public CASN1_Message
{
public:
    CASN1PlayerGiftItems(int& iValue, CKorvelString& strError,
                         CKorvelArray<CASN1ShopItems::sItemData>& aItems);
};

// 115: player id, an integer, item ids.
class CASN1ConfirmBuyPlayerItems : public CASN1_Message
{
public:
    CASN1ConfirmBuyPlayerItems(int& iPlayerId, int& iValue, CKorvelArray<int>& aItemIds);
};
