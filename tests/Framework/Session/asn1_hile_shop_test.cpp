#include "Framework/Session/asn1_hile_shop.h"

#include "Framework/Session/CatalogueTestBytes.h"

#include <tuple>

#include <memory>

namespace
{
Bytes Record(const Bytes& aFields)
{
    return Cat({Hex("30"), Block(aFields)});
}

Bytes ItemDataRecord(int iItemId, const Bytes& aDigest)
{
    return Record(Cat(
        {Field(0x80, IntBytes(iItemId)), Hex("81 01 01"), Field(0x82, Block(aDigest)), Hex("83 02 04 00")}));
}
} // namespace

TEST(CASN1AvailableItemDatas, DigestsOfSixteenBytesOnly)
{
    CKorvelArray<CASN1AvailableItemDatas::sItemData> aItems;
    CASN1AvailableItemDatas empty(aItems);
    EXPECT_EQ(DecodeExact(empty, Hex("BF 57 02 A0 00")), 5u);
    EXPECT_EQ(aItems.GetCount(), 0);

    Bytes aDigest = Hex("00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF");
    Bytes aLong = Cat({aDigest, Hex("01")});
    Bytes aMsg = Message(87, Field(0xA0, Block(Cat({ItemDataRecord(5, aDigest), ItemDataRecord(6, aLong)}))));
    CASN1AvailableItemDatas message(aItems);
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aItems.GetCount(), 2);
    EXPECT_EQ(std::make_tuple(aItems[0].m_iItemId, aItems[0].m_iFlag, aItems[0].m_iSize),
              std::make_tuple(5, 1, 1024));
    EXPECT_EQ(Bytes(aItems[0].m_aDigest, aItems[0].m_aDigest + 16), aDigest);
    // A digest of any other size is not taken.
    EXPECT_EQ(std::make_tuple(aItems[1].m_iItemId, aItems[1].m_iSize), std::make_tuple(6, 1024));
    EXPECT_EQ(Bytes(aItems[1].m_aDigest, aItems[1].m_aDigest + 16), Bytes(16, 0));
}

TEST(CASN1AvailableItemDatas, WrongIdOrListTagDecodesNothing)
{
    CKorvelArray<CASN1AvailableItemDatas::sItemData> aItems;
    aItems.SetSize(1);
    aItems[0].m_iItemId = 42;
    CASN1AvailableItemDatas message(aItems);
    EXPECT_EQ(DecodeExact(message, Hex("BF 58 02 A0 00")), 0u);
    EXPECT_EQ(aItems.GetCount(), 1);
    EXPECT_EQ(aItems[0].m_iItemId, 42);
    // The record list must come after a constructed tag.
    EXPECT_EQ(DecodeExact(message, Hex("BF 57 02 80 00")), 0u);
    EXPECT_EQ(aItems.GetCount(), 1);
}

TEST(CASN1ShopItemGroups, EmptyAndFilled)
{
    int iFlags = 0;
    CKorvelArray<CASN1ShopItemGroups::sGroupData> aGroups;
    CASN1ShopItemGroups message(iFlags, aGroups);
    EXPECT_EQ(DecodeExact(message, Hex("BF 5D 06 80 02 02 01 A1 00")), 9u);
    EXPECT_EQ(iFlags, 0x201);
    EXPECT_EQ(aGroups.GetCount(), 0);

    Bytes aGroup = Record(
        Cat({Hex("80 01 03"), Field(0x81, TextBytes("Bombs")), Hex("82 01 04 83 01 00 84 01 FF 85 01 0C")}));
    Bytes aMsg = Message(93, Cat({Hex("80 02 04 01"), Field(0xA1, Block(aGroup))}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aGroups.GetCount(), 1);
    const CASN1ShopItemGroups::sGroupData& group = aGroups[0];
    EXPECT_EQ(std::make_tuple(iFlags, group.m_iGroupId, Utf8(group.m_strName), group.m_iType, group.m_iValue3,
                              group.m_iItemCount),
              std::make_tuple(0x401, 3, "Bombs", 4, -1, 12));
}

TEST(CASN1ShopItems, FifteenFieldRecords)
{
    int iFlags = 0, iStart = -1;
    CKorvelArray<CASN1ShopItems::sItemData> aItems;
    CASN1ShopItems message(iFlags, iStart, aItems);
    EXPECT_EQ(DecodeExact(message, Hex("BF 61 09 80 02 02 01 81 01 00 A2 00")), 12u);
    EXPECT_EQ(iFlags, 0x201);
    EXPECT_EQ(iStart, 0);

    Bytes aFields = Cat({Hex("80 01 09"), Field(0x81, TextBytes("Big bomb")), Field(0x82, TextBytes("short")),
                         Field(0x83, TextBytes("long"))});
    for (int i = 0; i < 9; ++i)
        aFields = Cat({aFields, Field((unsigned char)(0x84 + i), IntBytes(100 + i))});
    aFields = Cat({aFields, Field(0x8D, TextBytes("Mega")), Hex("8E 01 07")});
    Bytes aMsg = Message(97, Cat({Hex("80 02 04 01 81 01 00"), Field(0xA2, Block(Record(aFields)))}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aItems.GetCount(), 1);
    const CASN1ShopItems::sItemData& item = aItems[0];
    EXPECT_EQ(std::make_tuple(item.m_iItemId, Utf8(item.m_strName), Utf8(item.m_strDescription),
                              Utf8(item.m_strDisplayName), item.m_iLast),
              std::make_tuple(9, "Big bomb", "long", "Mega", 7));
    EXPECT_EQ(
        std::make_tuple(item.m_iPrice, item.m_iGroupId, item.m_iAmount, item.m_iEnabled, item.m_iDataId),
        std::make_tuple(100, 103, 105, 107, 108));

    // A missing list field leaves the message unread past its integers.
    EXPECT_EQ(DecodeExact(message, Hex("BF 61 06 80 02 02 01 81 01 05")), 0u);
}

TEST(CASN1ShopItemData, ChunkIsAllocatedForTheCaller)
{
    int iItem = 0, iOffset = 0, iSize = 0, iRemaining = 0;
    unsigned char* pData = nullptr;
    CASN1ShopItemData message(iItem, iOffset, &pData, iSize, iRemaining);
    Bytes aMsg = Hex("BF 59 10 80 01 09 81 02 40 00 82 04 DE AD BE EF 83 01 00");
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    std::unique_ptr<unsigned char[]> owned(pData);
    EXPECT_EQ(std::make_tuple(iItem, iOffset, iRemaining), std::make_tuple(9, 16384, 0));
    ASSERT_EQ(iSize, 4);
    EXPECT_EQ(Bytes(pData, pData + 4), Hex("DE AD BE EF"));

    // A chunk said to be larger than the message allocates nothing.
    unsigned char* pOther = nullptr;
    int iOtherSize = 0;
    CASN1ShopItemData lying(iItem, iOffset, &pOther, iOtherSize, iRemaining);
    EXPECT_EQ(DecodeExact(lying, Hex("BF 59 10 80 01 09 81 02 40 00 82 7F DE AD BE EF 83 01 00")), 0u);
    EXPECT_EQ(pOther, nullptr);
}

TEST(CASN1ShopItemImage, Bytes)
{
    int iItem = 0, iLarge = 0, iSize = 0;
    unsigned char* pData = nullptr;
    CASN1ShopItemImage message(iItem, iLarge, &pData, iSize);
    Bytes aMsg = Hex("BF 64 0A 80 01 09 81 01 01 82 02 FF D8");
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    std::unique_ptr<unsigned char[]> owned(pData);
    EXPECT_EQ(iLarge, 1);
    ASSERT_EQ(iSize, 2);
    EXPECT_EQ(pData[1], 0xD8);
}

TEST(CASN1BuyItemResponse, PlayersList)
{
    int iItem = 0, iFlags = 0;
    CKorvelString strError;
    CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo> aPlayers;
    CASN1BuyItemResponse message(iItem, iFlags, strError, aPlayers);
    Bytes aMsg =
        Message(103, Cat({Hex("80 01 07 81 02 01 01"), Field(0x82, TextBytes("")),
                          Field(0xA3, Block(Record(Cat({Hex("80 02 03 EA"), Field(0x81, TextBytes("Bo")),
                                                        Field(0x82, TextBytes("x"))}))))}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aPlayers.GetCount(), 1);
    EXPECT_EQ(std::make_tuple(iItem, iFlags, aPlayers[0].m_iPlayerId, Utf8(aPlayers[0].m_strText1)),
              std::make_tuple(7, 0x101, 1002, "Bo"));
}

TEST(CASN1ConfirmBuyItem, RequestsAndAnswers)
{
    int iItem = 7, iFlags = 1;
    CKorvelArray<int> aRecipients;
    aRecipients.Add(1002);
    CASN1ConfirmBuyItem confirm(iItem, iFlags, aRecipients);
    EXPECT_EQ(EncodeExact(confirm), Hex("BF 68 0C 80 01 07 81 01 01 82 04 02 02 03 EA"));

    int iLarge = 1;
    CKorvelArray<int> aIds;
    aIds.Add(1);
    aIds.Add(300);
    CASN1GetShopItemImage image(aIds, iLarge);
    EXPECT_EQ(EncodeExact(image), Hex("BF 63 0C 80 07 02 01 01 02 02 01 2C 81 01 01"));

    int iPlayer = 1002, iZero = 0;
    CASN1ConfirmBuyPlayerItems gift(iPlayer, iZero, aIds);
    EXPECT_EQ(EncodeExact(gift), Hex("BF 73 10 80 02 03 EA 81 01 00 82 07 02 01 01 02 02 01 2C"));

    int a = 0, b = 0;
    CKorvelString strError;
    CASN1ConfirmBuyItemResponse answer(a, b, strError);
    EXPECT_GT(DecodeExact(answer, Hex("BF 69 0A 80 01 07 81 01 01 82 02 6E 6F")), 0u);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(Utf8(strError), "no");
    CASN1ConfirmBuyPlayerItemsResponse playerAnswer(a, b, strError);
    EXPECT_EQ(DecodeExact(playerAnswer, Hex("BF 69 0A 80 01 07 81 01 01 82 02 6E 6F")), 0u);
    EXPECT_GT(DecodeExact(playerAnswer, Hex("BF 74 08 80 01 03 81 01 02 82 00")), 0u);
    EXPECT_EQ(a, 3);

    int iState = 0, iOther = 0;
    CASN1UpdateItemStateResponse state(a, iState, strError, iOther);
    EXPECT_GT(DecodeExact(state, Hex("BF 6A 0B 80 01 07 81 01 01 82 00 83 01 08")), 0u);
    EXPECT_EQ(iOther, 8);
}

TEST(CASN1PlayerGiftItems, ShopRecordsInAClassMessage)
{
    int iValue = 0;
    CKorvelString strError;
    CKorvelArray<CASN1ShopItems::sItemData> aItems;
    CASN1PlayerGiftItems message(iValue, strError, aItems);
    Bytes aMsg =
        Message(114, Cat({Hex("80 01 01 81 00"), Field(0x82, Block(Record(Hex("80 01 09 84 01 32"))))}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    ASSERT_EQ(aItems.GetCount(), 1);
    EXPECT_EQ(std::make_tuple(aItems[0].m_iItemId, aItems[0].m_iPrice, aItems[0].m_iLast),
              std::make_tuple(9, 50, 0));
}
