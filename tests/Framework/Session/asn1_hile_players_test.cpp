#include "Framework/Session/asn1_hile_players.h"

#include "Framework/Session/CatalogueTestBytes.h"

#include <tuple>

namespace
{
Bytes Stats(const Bytes& aTaggedInts)
{
    return Field(0xA7, Block(aTaggedInts));
}

Bytes Item(const Bytes& aFields)
{
    return Cat({Hex("30"), Block(aFields)});
}

Bytes PlayerList(const Bytes& aItems, const Bytes& aGroups)
{
    return Message(20, Cat({Hex("80 01 0C 81 01 00 82 01 40"), Field(0x83, Block(aItems)),
                            Field(0x84, Block(aGroups))}));
}

struct sLIST_RESULT
{
    int iCount = -5, iFirst = -5, iKind = -5;
    CKorvelArray<sPLAYERLISTITEM> aItems;
    CKorvelArray<sPLAYER_GROUP> aGroups;
    unsigned int uUsed = 0;
};

void Decode(const Bytes& aMsg, sLIST_RESULT& result)
{
    CASN1PlayerList message(result.iCount, result.iFirst, result.iKind, result.aItems, result.aGroups);
    result.uUsed = DecodeExact(message, aMsg);
}
} // namespace

TEST(CASN1PlayerList, StatisticsReordering)
{
    Bytes aFull =
        Item(Cat({Hex("80 02 03 E9"), Field(0x81, TextBytes("Ann")), Field(0x82, TextBytes("s")),
                  Field(0x83, TextBytes("t")), Field(0x84, TextBytes("Oslo")), Hex("85 02 01 11"),
                  Field(0x86, TextBytes("hello")),
                  Stats(Hex("80 01 0A 81 01 14 82 01 1E 83 01 28 84 01 32 85 01 3C 86 01 46 87 01 50"))}));
    sLIST_RESULT result;
    Decode(PlayerList(aFull, Bytes()), result);
    ASSERT_GT(result.uUsed, 0u);
    EXPECT_EQ(std::make_tuple(result.iCount, result.iFirst, result.iKind, result.aGroups.GetCount()),
              std::make_tuple(12, 0, 64, 0));
    ASSERT_EQ(result.aItems.GetCount(), 1);
    const sPLAYERLISTITEM& item = result.aItems[0];
    EXPECT_EQ(std::make_tuple(item.m_iPlayerId, Utf8(item.m_strName), Utf8(item.m_strSecond),
                              Utf8(item.m_strThird), Utf8(item.m_strLocation), item.m_iFlags,
                              Utf8(item.m_strComment)),
              std::make_tuple(1001, "Ann", "s", "t", "Oslo", 0x111, "hello"));
    EXPECT_EQ(std::make_tuple(item.m_aValues[0], item.m_aValues[1], item.m_aValues[2], item.m_iWins,
                              item.m_iLosses, item.m_iTies, item.m_iFollowers1, item.m_iFollowers2),
              std::make_tuple(10, 20, 30, 40, 50, 60, 70, 80));
}

TEST(CASN1PlayerList, ItemsThatLeaveOutFieldsAreZero)
{
    // The second item carries only its id; the third has an unknown field and a statistics
    // block with a primitive tag, both passed over without losing step.
    Bytes aItems = Cat({Item(Hex("80 01 01 85 01 01")), Item(Hex("80 01 02")),
                        Item(Cat({Hex("80 01 03 8C 01 05"), Field(0x87, Block(Hex("83 01 09"))),
                                  Field(0x81, TextBytes("Cy"))}))});
    Bytes aGroups = Cat({Item(Cat({Field(0x80, TextBytes("Friends")), Hex("81 01 02")})),
                         Item(Cat({Field(0x80, TextBytes("All")), Hex("81 02 01 00")}))});
    sLIST_RESULT result;
    Decode(PlayerList(aItems, aGroups), result);
    ASSERT_GT(result.uUsed, 0u);
    ASSERT_EQ(result.aItems.GetCount(), 3);
    const sPLAYERLISTITEM& bare = result.aItems[1];
    const sPLAYERLISTITEM& odd = result.aItems[2];
    EXPECT_EQ(std::make_tuple(bare.m_iPlayerId, bare.m_iFlags, bare.m_iWins, bare.m_iFollowers2,
                              Utf8(bare.m_strName)),
              std::make_tuple(2, 0, 0, 0, ""));
    EXPECT_EQ(std::make_tuple(odd.m_iPlayerId, odd.m_iWins, Utf8(odd.m_strName)),
              std::make_tuple(3, 0, "Cy"));
    ASSERT_EQ(result.aGroups.GetCount(), 2);
    EXPECT_EQ(std::make_tuple(Utf8(result.aGroups[0].m_strLabel), result.aGroups[1].m_iPlayerCount),
              std::make_tuple("Friends", 256));
}

TEST(CASN1PlayerList, HeaderOnlyAnswer)
{
    sLIST_RESULT result;
    Bytes aMsg = Message(20, Hex("80 01 05 81 01 FF 82 01 20"));
    Decode(aMsg, result);
    EXPECT_EQ(std::make_tuple(result.uUsed, result.iFirst, result.aItems.GetCount()),
              std::make_tuple((unsigned int)aMsg.size(), -1, 0));
}

TEST(CASN1PlayerList, BrokenItemsFailTheMessage)
{
    // An item whose length runs past the list, and statistics with an index beyond eight.
    sLIST_RESULT result;
    Decode(Message(20, Field(0x83, Block(Hex("30 09 80 01 01")))), result);
    EXPECT_EQ(result.uUsed, 0u);
    sLIST_RESULT stats;
    Decode(PlayerList(Item(Cat({Hex("80 01 01"), Stats(Hex("88 01 01"))})), Bytes()), stats);
    EXPECT_EQ(stats.uUsed, 0u);
}

TEST(CASN1BlockUser, Bytes)
{
    int iPlayer = 1002, iBlock = 1;
    CASN1BlockUser message(iPlayer, iBlock);
    EXPECT_EQ(EncodeExact(message), Hex("BF 4C 07 80 02 03 EA 81 01 01"));
}

TEST(CASN1ChallengeReceived, Fields)
{
    long long llValue = 0;
    int iChallenger = 0, iRank = 0, iScore = 0;
    CKorvelString strName, strText;
    CASN1ChallengeReceived message(llValue, iChallenger, strName, strText, iRank, iScore);
    Bytes aMsg = Message(39, Cat({Hex("80 01 07 81 02 03 EA"), Field(0x82, TextBytes("Bo")),
                                  Field(0x83, TextBytes("")), Hex("84 01 03 85 02 01 F4")}));
    EXPECT_EQ(DecodeExact(message, aMsg), (unsigned int)aMsg.size());
    EXPECT_EQ(std::make_tuple(llValue, iChallenger, Utf8(strName), Utf8(strText), iRank, iScore),
              std::make_tuple(7LL, 1002, "Bo", "", 3, 500));
}
