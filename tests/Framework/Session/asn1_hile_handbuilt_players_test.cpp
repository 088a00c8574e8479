#include "Framework/Session/CatalogueTestBytes.h"
#include "Framework/Session/asn1_hile_handbuilt.h"
#include "Framework/Session/asn1_hile_players.h"

#include <tuple>

namespace
{
void DeletePlayers(CKorvelPtrArray& aPlayers)
{
    for (int i = 0; i < aPlayers.GetCount(); ++i)
        delete static_cast<sPLAYER*>(aPlayers.GetAt(i));
    aPlayers.Clear();
}

void DeleteSessions(CKorvelTypedPtrArray<sGAME_SESSION>& aSessions)
{
    for (int i = 0; i < aSessions.GetCount(); ++i)
        delete aSessions[i];
    aSessions.Clear();
}
} // namespace

TEST(CASN1, PlayerWithEveryField)
{
    Bytes aStats = Block(Hex("80 01 01 81 01 02 82 01 03 83 01 04 84 01 05 85 01 06"));
    Bytes aPlayer =
        Block(Cat({Hex("80 02 03 E9"), Field(0x81, TextBytes("Ann")), Field(0x82, TextBytes("second")),
                   Field(0x83, TextBytes("24.12.2011 18:05:00")), Hex("84 01 2A"),
                   Field(0x85, TextBytes("third")), Field(0x86, aStats), Hex("87")}));
    sPLAYER player;
    player.m_strName.Set("stale");
    int iConsumed = 0;
    ASSERT_EQ(CASN1::DecodePlayer(aPlayer.data(), &player, iConsumed, (int)aPlayer.size()), KE_OK);
    EXPECT_EQ(iConsumed, (int)aPlayer.size());
    EXPECT_EQ(std::make_tuple(player.m_iUserId, Utf8(player.m_strName), Utf8(player.m_strSecond),
                              Utf8(player.m_strThird), player.m_iValue, player.m_iFlag),
              std::make_tuple(1001, "Ann", "second", "third", 42, 1));
    EXPECT_EQ(CASN1::CompareDates(player.m_Date, sDATE{2011, 12, 24, 18, 5, 0}), 0);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(player.m_Stats.m_aValues[i], i + 1);
}

TEST(CASN1, PlayerEndsAtTagSevenOrAnUnknownTag)
{
    // Tag 7 ends the player: what follows inside it is not read, but it is consumed.
    Bytes aPlayer = Block(Hex("80 01 05 87 80 01 09"));
    sPLAYER player;
    player.m_strName.Set("stale");
    int iConsumed = 0;
    ASSERT_EQ(CASN1::DecodePlayer(aPlayer.data(), &player, iConsumed, (int)aPlayer.size()), KE_OK);
    // The name is cleared before reading.
    EXPECT_EQ(std::make_tuple(player.m_iUserId, player.m_iFlag, Utf8(player.m_strName), iConsumed),
              std::make_tuple(5, 1, "", (int)aPlayer.size()));

    Bytes aUnknown = Block(Hex("80 01 05 8C 80 01 09"));
    ASSERT_EQ(CASN1::DecodePlayer(aUnknown.data(), &player, iConsumed, (int)aUnknown.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(player.m_iUserId, player.m_iFlag), std::make_tuple(5, 0));
}

TEST(CASN1, PlayerListKeepsStepWithOptionalRecordTags)
{
    // One player with the record tag, one without, one whose content ends in an unknown tag.
    Bytes aList = Block(Cat({Hex("30"), Block(Hex("80 01 01")), Block(Hex("80 01 02 81 01 42")),
                             Block(Hex("80 01 03 9E 00 00"))}));
    CKorvelPtrArray aPlayers;
    int iConsumed = 0;
    ASSERT_EQ(CASN1::DecodePlayersList(aList.data(), &aPlayers, iConsumed, (int)aList.size()), KE_OK);
    EXPECT_EQ(iConsumed, (int)aList.size());
    ASSERT_EQ(aPlayers.GetCount(), 3);
    EXPECT_EQ(static_cast<sPLAYER*>(aPlayers.GetAt(2))->m_iUserId, 3);
    EXPECT_EQ(Utf8(static_cast<sPLAYER*>(aPlayers.GetAt(1))->m_strName), "B");
    DeletePlayers(aPlayers);
}

TEST(CASN1, NestedLengthsBeyondTheirParentFail)
{
    // A player claiming more bytes than its list holds.
    Bytes aList = Hex("04 30 09 80 01");
    CKorvelPtrArray aPlayers;
    int iConsumed = 0;
    EXPECT_EQ(CASN1::DecodePlayersList(aList.data(), &aPlayers, iConsumed, (int)aList.size()),
              KE_ERR_BADDATA);
    DeletePlayers(aPlayers);
    // Statistics running past the player.
    Bytes aPlayer = Hex("05 86 08 80 01 01 00");
    sPLAYER player;
    EXPECT_EQ(CASN1::DecodePlayer(aPlayer.data(), &player, iConsumed, (int)aPlayer.size()), KE_ERR_BADDATA);
    // A text running past the player, and an integer with more than four bytes.
    Bytes aText = Hex("04 81 05 41 42");
    EXPECT_EQ(CASN1::DecodePlayer(aText.data(), &player, iConsumed, (int)aText.size()), KE_ERR_BADDATA);
    Bytes aWide = Hex("07 80 05 01 02 03 04 05");
    EXPECT_EQ(CASN1::DecodePlayer(aWide.data(), &player, iConsumed, (int)aWide.size()), KE_ERR_BADDATA);
}

TEST(CASN1, LatestGameSessions)
{
    Bytes aFirst = Block(Hex("80 01 07 81 01 01 82 01 0A 83 01 00"));
    Bytes aSecond = Block(Cat({Hex("80 01 08 81 01 FF"), Field(0x84, TextBytes("Bo")),
                               Field(0x85, TextBytes("1.2.2012 3:04:05"))}));
    Bytes aMsg = Message(75, Field(0x80, Block(Cat({Hex("30"), aFirst, aSecond}))));
    CKorvelTypedPtrArray<sGAME_SESSION> aSessions;
    ASSERT_EQ(CASN1::DecodeLatestGameSessions(aMsg.data(), aSessions, (int)aMsg.size()), KE_OK);
    ASSERT_EQ(aSessions.GetCount(), 2);
    EXPECT_EQ(std::make_tuple(aSessions[0]->m_iValue0, aSessions[0]->m_iResult, aSessions[0]->m_iPoints,
                              Utf8(aSessions[0]->m_strOpponent)),
              std::make_tuple(7, 1, 10, ""));
    EXPECT_EQ(std::make_tuple(aSessions[1]->m_iResult, Utf8(aSessions[1]->m_strOpponent)),
              std::make_tuple(-1, "Bo"));
    EXPECT_EQ(CASN1::CompareDates(aSessions[1]->m_Date, sDATE{2012, 2, 1, 3, 4, 5}), 0);
    DeleteSessions(aSessions);

    // An element claiming more than the list holds fails; what was read stays for the caller.
    Bytes aBad = Message(75, Field(0x80, Block(Cat({aFirst, Hex("09 80 01 01")}))));
    EXPECT_EQ(CASN1::DecodeLatestGameSessions(aBad.data(), aSessions, (int)aBad.size()), KE_ERR_BADDATA);
    EXPECT_EQ(aSessions.GetCount(), 1);
    DeleteSessions(aSessions);
}

TEST(CASN1, PlayerListIntoCallerItems)
{
    Bytes aItem = Block(Cat({Hex("80 01 05"), Field(0x81, TextBytes("Cy")), Field(0x84, TextBytes("Oslo")),
                             Hex("85 02 01 01"),
                             Field(0xA7, Block(Hex("80 01 01 81 01 02 82 01 03 83 01 04 84 01 "
                                                   "05 85 01 06"))),
                             Hex("88 01 07 89 01 08 9A 02 00 00")}));
    Bytes aMsg =
        Message(20, Cat({Hex("80 01 02 81 01 00 82 01 20"),
                         Field(0xA3, Block(Cat({Hex("30"), aItem, aItem}))), Field(0xA4, Block(Bytes()))}));
    sPLAYERLISTITEM item;
    CKorvelArray<sPLAYERLISTITEM*> aItems;
    aItems.Add(&item); // room for one: the second item is read past
    int a = 0, b = -1, c = 0;
    ASSERT_EQ(CASN1::DecodePlayerList(aMsg.data(), a, b, c, aItems, (int)aMsg.size()), KE_OK);
    EXPECT_EQ(std::make_tuple(a, b, c), std::make_tuple(2, 0, 32));
    EXPECT_EQ(
        std::make_tuple(item.m_iPlayerId, Utf8(item.m_strName), Utf8(item.m_strLocation), item.m_iFlags),
        std::make_tuple(5, "Cy", "Oslo", 0x101));
    // Wins, losses, ties arrive fourth to sixth and are kept as wins, ties, losses.
    EXPECT_EQ(
        std::make_tuple(item.m_iWins, item.m_iLosses, item.m_iTies, item.m_iFollowers1, item.m_iFollowers2),
        std::make_tuple(4, 5, 6, 7, 8));
}
