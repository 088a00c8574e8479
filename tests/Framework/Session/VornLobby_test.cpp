// The match's player list: its bound, lookups, ownership, and the player's copy from
// the wire record.
#include <gtest/gtest.h>

#include "Framework/Session/VornLobby.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/Session/asn1_hile_handbuilt.h"
#include "support/TestText.h"

namespace
{

CVornPlayer* NewPlayer(int iUserId, const char* pName)
{
    CVornPlayer* pPlayer = new CVornPlayer;
    pPlayer->m_iUserId = iUserId;
    pPlayer->m_strName.Set(pName);
    return pPlayer;
}

TEST(CVornLobby, HoldsUpToItsMaximumAndAnswersNullOutsideItsPlayers)
{
    CVornLobby lobby;
    ASSERT_EQ(lobby.Startup(2, 2), KE_OK);
    EXPECT_EQ(lobby.AddPlayer(NewPlayer(1001, "ann")), 1u);
    EXPECT_EQ(lobby.AddPlayer(NewPlayer(1002, "bob")), 1u);
    CVornPlayer* pThird = NewPlayer(1003, "cid");
    EXPECT_EQ(lobby.AddPlayer(pThird), 0u); // the caller keeps it
    delete pThird;
    EXPECT_EQ(lobby.AddPlayer(nullptr), 0u);
    ASSERT_EQ(lobby.GetPlayerCount(), 2);

    struct sCASE
    {
        int iIndex;
        int iUserId; // 0: null
    };
    for (const sCASE& c : {sCASE{-1, 0}, sCASE{0, 1001}, sCASE{1, 1002}, sCASE{2, 0}, sCASE{100, 0}})
    {
        CVornPlayer* pPlayer = lobby.GetPlayer(c.iIndex);
        EXPECT_EQ(pPlayer ? pPlayer->m_iUserId : 0, c.iUserId) << c.iIndex;
    }
    EXPECT_EQ(lobby.FindPlayerById(1002), lobby.GetPlayer(1));
    EXPECT_EQ(lobby.FindPlayerById(7), nullptr);
    EXPECT_EQ(lobby.FindPlayerByName(CKorvelString("ann")), lobby.GetPlayer(0));
    EXPECT_EQ(lobby.FindPlayerByName(CKorvelString("Ann")), nullptr);

    // Clear deletes its players (the leak check would see them) and makes room again.
    lobby.Clear();
    EXPECT_EQ(lobby.GetPlayerCount(), 0);
    EXPECT_EQ(lobby.GetPlayer(0), nullptr);
    EXPECT_EQ(lobby.AddPlayer(NewPlayer(1004, "dee")), 1u);
    lobby.Shutdown();
    EXPECT_EQ(lobby.GetPlayerCount(), 0);
    lobby.AddPlayer(NewPlayer(1005, "eve")); // the destructor takes this one
}

TEST(CVornLobby, APlayerCopiesTheWireRecordButNotItsSeat)
{
    sPLAYER record;
    record.m_iUserId = 1001;
    record.m_strName.Set("ann");
    record.m_strSecond.Set("second");
    record.m_strThird.Set("third");
    record.m_iFlag = 1;
    record.m_iValue = 42;
    CVornPlayer player;
    player.m_iSeat = 1;
    player.UpdateFields(record);
    EXPECT_EQ(player.m_iUserId, 1001);
    EXPECT_EQ(Narrow(player.m_strName), "ann");
    EXPECT_EQ(Narrow(player.m_strSecond), "second");
    EXPECT_EQ(Narrow(player.m_strThird), "third");
    EXPECT_EQ(player.m_iValueA, 1);
    EXPECT_EQ(player.m_iValueB, 42);
    EXPECT_EQ(player.m_iSeat, 1);
    EXPECT_EQ(player.m_iReserved1, 0);
    EXPECT_EQ(player.m_iReserved2, 0);
}

} // namespace
