#include "Framework/Session/asn1_hile_short.h"

#include "Framework/Session/CatalogueTestBytes.h"

#include <tuple>

TEST(CASN1ShortMessage, EmptyRequests)
{
    eMESSAGE_ID eId = eMSG_REQUEST_AD;
    CASN1ShortMessage request(eId);
    EXPECT_EQ(EncodeDescriptor(request), Hex("BF 70 00"));
    eId = eMSG_GET_WALLET_BALANCE;
    EXPECT_EQ(EncodeDescriptor(request), Hex("BF 5A 00"));
    eId = eMSG_GET_AVAILABLE_SHOP_ITEM_DATAS;
    EXPECT_EQ(EncodeDescriptor(request), Hex("BF 5E 00"));

    eMESSAGE_ID eRead = eMSG_CONNECTION;
    CASN1ShortMessage reader(eRead);
    EXPECT_EQ(DecodeExact(reader, Hex("BF 70 00")), 3u);
    EXPECT_EQ(eRead, eMSG_REQUEST_AD);
}

TEST(CASN1ShortIntMessage, WritesAndReadsByPosition)
{
    eMESSAGE_ID eId = eMSG_GET_SHOP_ITEM_GROUPS;
    int iFlags = 0x201;
    CASN1ShortIntMessage request(eId, iFlags);
    EXPECT_EQ(EncodeDescriptor(request), Hex("BF 5C 04 80 02 02 01"));

    // The reader takes any id and stores it; the field's tag index is not looked at.
    eMESSAGE_ID eRead = eMSG_CONNECTION;
    int iValue = 0;
    CASN1ShortIntMessage reader(eRead, iValue);
    EXPECT_EQ(DecodeExact(reader, Hex("BF 47 03 80 01 03")), 6u);
    EXPECT_EQ(std::make_tuple(eRead, iValue), std::make_tuple(eMSG_REMATCH_RECEIVED, 3));
    EXPECT_EQ(DecodeExact(reader, Hex("BF 5B 03 85 01 09")), 6u);
    EXPECT_EQ(std::make_tuple(eRead, iValue), std::make_tuple(eMSG_WALLET_BALANCE, 9));
}

TEST(CASN1ShortIntMessage, RefusesCutOrForeignBytes)
{
    eMESSAGE_ID eRead = eMSG_CONNECTION;
    int iValue = 11;
    CASN1ShortIntMessage reader(eRead, iValue);
    Bytes aWhole = Hex("BF 5B 04 80 02 01 00");
    for (size_t uCut = 0; uCut < aWhole.size(); ++uCut)
        EXPECT_EQ(DecodeExact(reader, Bytes(aWhole.begin(), aWhole.begin() + uCut)), 0u) << uCut;
    // Content that ends before the field, a tag of the constructed class, an identifier
    // of the primitive class.
    EXPECT_EQ(DecodeExact(reader, Hex("BF 5B 00 80 01 05")), 0u);
    EXPECT_EQ(DecodeExact(reader, Hex("BF 5B 03 A0 01 05")), 0u);
    EXPECT_EQ(DecodeExact(reader, Hex("9F 5B 03 80 01 05")), 0u);
    EXPECT_EQ(iValue, 11);
    EXPECT_EQ(DecodeExact(reader, aWhole), 7u);
    EXPECT_EQ(iValue, 256);
}

TEST(CASN1ShortInt2Message, BuyItem)
{
    eMESSAGE_ID eId = eMSG_BUY_ITEM;
    int iItem = 7, iFlags = 0x801;
    CASN1ShortInt2Message message(eId, iItem, iFlags);
    Bytes aBytes = EncodeDescriptor(message);
    EXPECT_EQ(aBytes, Hex("BF 66 07 80 01 07 81 02 08 01"));
    int a = 0, b = 0;
    eMESSAGE_ID eRead = eMSG_CONNECTION;
    CASN1ShortInt2Message reader(eRead, a, b);
    EXPECT_EQ(DecodeExact(reader, aBytes), (unsigned int)aBytes.size());
    EXPECT_EQ(std::make_tuple(eRead, a, b), std::make_tuple(eMSG_BUY_ITEM, 7, 0x801));
}

TEST(CASN1ShortInt3Message, GetShopItems)
{
    eMESSAGE_ID eId = eMSG_GET_SHOP_ITEMS;
    int iFlags = 0x401, iCount = 100, iStart = 0;
    CASN1ShortInt3Message message(eId, iFlags, iCount, iStart);
    Bytes aBytes = EncodeDescriptor(message);
    EXPECT_EQ(aBytes, Hex("BF 60 0A 80 02 04 01 81 01 64 82 01 00"));
    int a = 0, b = 0, c = 9;
    eMESSAGE_ID eRead = eMSG_CONNECTION;
    CASN1ShortInt3Message reader(eRead, a, b, c);
    EXPECT_EQ(DecodeExact(reader, aBytes), (unsigned int)aBytes.size());
    EXPECT_EQ(std::make_tuple(eRead, a, b, c), std::make_tuple(eMSG_GET_SHOP_ITEMS, 0x401, 100, 0));
    // A missing third field fails; the first two keep what was read.
    a = b = 0;
    c = 9;
    EXPECT_EQ(DecodeExact(reader, Hex("BF 60 07 80 02 04 01 81 01 64")), 0u);
    EXPECT_EQ(std::make_tuple(a, c), std::make_tuple(0x401, 9));
}

TEST(CASN1ShortInt64Message, GameSessionPlayers)
{
    eMESSAGE_ID eId = eMSG_GET_GAME_SESSION_PLAYERS;
    long long llSession = 1LL << 32;
    CASN1ShortInt64Message message(eId, llSession);
    Bytes aBytes = EncodeDescriptor(message);
    EXPECT_EQ(aBytes, Hex("B2 07 80 05 01 00 00 00 00"));
    long long llRead = 0;
    eMESSAGE_ID eRead = eMSG_CONNECTION;
    CASN1ShortInt64Message reader(eRead, llRead);
    EXPECT_EQ(DecodeExact(reader, aBytes), (unsigned int)aBytes.size());
    EXPECT_EQ(std::make_tuple(eRead, llRead), std::make_tuple(eMSG_GET_GAME_SESSION_PLAYERS, 1LL << 32));
}

TEST(CASN1RematchMessage, Wish)
{
    long long llSession = 1;
    int iWish = 1, iOne = 1;
    CASN1RematchMessage message(llSession, iWish, iOne);
    EXPECT_EQ(EncodeDescriptor(message), Hex("BF 46 09 80 01 01 81 01 01 82 01 01"));
    iWish = 0;
    EXPECT_EQ(EncodeDescriptor(message), Hex("BF 46 09 80 01 01 81 01 00 82 01 01"));
}
