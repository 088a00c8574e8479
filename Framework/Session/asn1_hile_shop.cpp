#include "Framework/Session/asn1_hile_shop.h"

#include "Framework/Session/asn1_hile_descriptor.h"
#include "Framework/Session/asn1_hile_ids.h"

#include <cstring>

namespace
{
// Tag classes of the fields: scalars primitive, record lists constructed.
const unsigned char kP = CASN1_Field::eTAG_PRIMITIVE;
const unsigned char kC = CASN1_Field::eTAG_CONSTRUCTED;
} // namespace

unsigned int CASN1AvailableItemDatas::Decode(const unsigned char* pBuf, int iSize)
{
    const unsigned char aClasses[1] = {kC};
    return Descriptor::DecodeFields(pBuf, iSize, eMSG_AVAILABLE_ITEM_DATAS, nullptr, aClasses,
                                    CASN1_SequenceOf<CItemDataDecoder>(m_aItems));
}

unsigned int CASN1ShopItemData::Decode(const unsigned char* pBuf, int iSize)
{
    const unsigned char aClasses[4] = {kP, kP, kP, kP};
    return Descriptor::DecodeFields(
        pBuf, iSize, eMSG_SHOP_ITEM_DATA, nullptr, aClasses, CASN1_IntField(m_iItemId),
        CASN1_IntField(m_iOffset), CASN1_ByteArrayField(m_ppData, m_iDataSize), CASN1_IntField(m_iRemaining));
}

unsigned int CASN1ShopItemGroups::Decode(const unsigned char* pBuf, int iSize)
{
    const unsigned char aClasses[2] = {kP, kC};
    return Descriptor::DecodeFields(pBuf, iSize, eMSG_SHOP_ITEM_GROUPS, nullptr, aClasses,
                                    CASN1_IntField(m_iFlags),
                                    CASN1_SequenceOf<CShopGroupDataDecoder>(m_aGroups));
}

unsigned int CASN1ShopItems::Decode(const unsigned char* pBuf, int iSize)
{
    const unsigned char aClasses[3] = {kP, kP, kC};
    return Descriptor::DecodeFields(pBuf, iSize, eMSG_SHOP_ITEMS, nullptr, aClasses, CASN1_IntField(m_iFlags),
                                    CASN1_IntField(m_iStart),
                                    CASN1_SequenceOf<CShopItemDataDecoder>(m_aItems));
}

unsigned int CASN1ShopItemImage::Decode(const unsigned char* pBuf, int iSize)
{
    const unsigned char aClasses[3] = {kP, kP, kP};
    return Descriptor::DecodeFields(pBuf, iSize, eMSG_SHOP_ITEM_IMAGE, nullptr, aClasses,
                                    CASN1_IntField(m_iItemId), CASN1_IntField(m_iLarge),
                                    CASN1_ByteArrayField(m_ppData, m_iDataSize));
}

unsigned int CASN1BuyItemResponse::Decode(const unsigned char* pBuf, int iSize)
{
    const unsigned char aClasses[4] = {kP, kP, kP, kC};
    return Descriptor::DecodeFields(pBuf, iSize, eMSG_BUY_ITEM_RESPONSE, nullptr, aClasses,
                                    CASN1_IntField(m_iItemId), CASN1_IntField(m_iFlags),
                                    CASN1_StringField(m_strError),
                                    CASN1_SequenceOf<CBuyItemPlayerInfoDecoder>(m_aPlayers));
}

CItemDataDecoder::CItemDataDecoder(RecordType& item) : m_Item(item), m_pDigest(item.m_aDigest)
{
    DefineField(new CASN1_IntField(item.m_iItemId));
    DefineField(new CASN1_IntField(item.m_iFlag));
    DefineField(new CASN1_ByteArrayField(&m_pDigest, m_iDigestSize));
    DefineField(new CASN1_IntField(item.m_iSize));
}

unsigned int CItemDataDecoder::Decode(const unsigned char* pBuf, int iSize)
{
    memset(m_Item.m_aDigest, 0, sizeof(m_Item.m_aDigest));
    m_pDigest = m_Item.m_aDigest;
    m_iDigestSize = (int)sizeof(m_Item.m_aDigest);
    return CASN1_Record::Decode(pBuf, iSize);
}

CShopGroupDataDecoder::CShopGroupDataDecoder(RecordType& group)
{
    DefineField(new CASN1_IntField(group.m_iGroupId));
    DefineField(new CASN1_StringField(group.m_strName));
    DefineField(new CASN1_IntField(group.m_iType));
    DefineField(new CASN1_IntField(group.m_iValue2));
    DefineField(new CASN1_IntField(group.m_iValue3));
    DefineField(new CASN1_IntField(group.m_iItemCount));
}

CShopItemDataDecoder::CShopItemDataDecoder(RecordType& item)
{
    DefineField(new CASN1_IntField(item.m_iItemId));
    DefineField(new CASN1_StringField(item.m_strName));
    DefineField(new CASN1_StringField(item.m_strShortDescription));
    DefineField(new CASN1_StringField(item.m_strDescription));
    int* const apInts[9] = {&item.m_iPrice,   &item.m_iGiftPrice, &item.m_iRefillPrice,
                            &item.m_iGroupId, &item.m_iValue5,    &item.m_iAmount,
                            &item.m_iValue7,  &item.m_iEnabled,   &item.m_iDataId};
    for (int i = 0; i < 9; ++i)
        DefineField(new CASN1_IntField(*apInts[i]));
    DefineField(new CASN1_StringField(item.m_strDisplayName));
    DefineField(new CASN1_IntField(item.m_iLast));
}

CBuyItemPlayerInfoDecoder::CBuyItemPlayerInfoDecoder(RecordType& player)
{
    DefineField(new CASN1_IntField(player.m_iPlayerId));
    DefineField(new CASN1_StringField(player.m_strText1));
    DefineField(new CASN1_StringField(player.m_strText2));
}

CASN1GetShopItemImage::CASN1GetShopItemImage(CKorvelArray<int>& aItemIds, int& iLarge)
    : CASN1_Message(eMSG_GET_SHOP_ITEM_IMAGE)
{
    DefineField(new CASN1_SequenceOf<CASN1_IntField>(aItemIds));
    DefineField(new CASN1_IntField(iLarge));
}

CASN1ConfirmBuyItem::CASN1ConfirmBuyItem(int& iItemId, int& iFlags, CKorvelArray<int>& aRecipients)
    : CASN1_Message(eMSG_CONFIRM_BUY_ITEM)
{
    DefineField(new CASN1_IntField(iItemId));
    DefineField(new CASN1_IntField(iFlags));
    DefineField(new CASN1_SequenceOf<CASN1_IntField>(aRecipients));
}

CASN1PurchaseAnswer::CASN1PurchaseAnswer(int iId, int& iValue, int& iFlags, CKorvelString& strError)
    : CASN1_Message(iId)
{
    DefineField(new CASN1_IntField(iValue));
    DefineField(new CASN1_IntField(iFlags));
    DefineField(new CASN1_StringField(strError));
}

CASN1ConfirmBuyItemResponse::CASN1ConfirmBuyItemResponse(int& iItemId, int& iFlags, CKorvelString& strError)
    : CASN1PurchaseAnswer(eMSG_CONFIRM_BUY_ITEM_RESPONSE, iItemId, iFlags, strError)
{
}

CASN1ConfirmBuyPlayerItemsResponse::CASN1ConfirmBuyPlayerItemsResponse(int& iValue, int& iFlags,
                                                                       CKorvelString& strError)
    : CASN1PurchaseAnswer(eMSG_CONFIRM_BUY_PLAYER_ITEMS_RESPONSE, iValue, iFlags, strError)
{
}

CASN1UpdateItemStateResponse::CASN1UpdateItemStateResponse(int& iItemId, int& iState, CKorvelString& strError,
                                                           int& iOtherItemId)
    : CASN1_Message(eMSG_UPDATE_ITEM_STATE_RESPONSE)
{
    DefineField(new CASN1_IntField(iItemId));
    DefineField(new CASN1_IntField(iState));
    DefineField(new CASN1_StringField(strError));
    DefineField(new CASN1_IntField(iOtherItemId));
}

CASN1PlayerGiftItems::CASN1PlayerGiftItems(int& iValue, CKorvelString& strError,
                                           CKorvelArray<CASN1ShopItems::sItemData>& aItems)
    : CASN1_Message(eMSG_PLAYER_GIFT_ITEMS)
{
    DefineField(new CASN1_IntField(iValue));
    DefineField(new CASN1_StringField(strError));
    DefineField(new CASN1_SequenceOf<CShopItemDataDecoder>(aItems));
}

CASN1ConfirmBuyPlayerItems::CASN1ConfirmBuyPlayerItems(int& iPlayerId, int& iValue,
                                                       CKorvelArray<int>& aItemIds)
    : CASN1_Message(eMSG_CONFIRM_BUY_PLAYER_ITEMS)
{
    DefineField(new CASN1_IntField(iPlayerId));
    DefineField(new CASN1_IntField(iValue));
    DefineField(new CASN1_SequenceOf<CASN1_IntField>(aItemIds));
}
