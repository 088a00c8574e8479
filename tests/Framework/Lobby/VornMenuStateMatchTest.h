// The lobby logged in as a guest by its button, and a second guest on another session of the
// same application as the other player. Header only.
#pragma once

#include "VornMenuStateTest.h"

namespace menu_state_test
{

class CMatchTest : public CMenuStateTest
{
protected:
    void StartAsGuest()
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_TRUE(WaitForStart());
        Press("guest_login_button");
        ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
        ASSERT_TRUE(WaitForMessage("GetThemePack"));
        ASSERT_TRUE(WaitForLobbyQuiet()) << "the login's rounds";
    }
    // The other player: a guest on its own session; its user id.
    int AddOpponent()
    {
        m_pOther = AddSession(m_Rec2);
        return m_pOther ? LoginGuest(m_pOther, m_Rec2) : -1;
    }
    size_t Count(const std::string& strName) const { return In(strName).size(); }
    size_t CountWithFlags(const std::string& strName, int iFlags) const
    {
        size_t n = 0;
        for (const CTestJson& message : In(strName))
            n += message["flags"].Int() == iFlags ? 1 : 0;
        return n;
    }
    // Both players queued, their 0x401 rounds done (the other one answers by hand), and the
    // game server's start reached the lobby.
    void PlayOpponentUntilStart(size_t uRoundsBefore)
    {
        ASSERT_TRUE(WaitFor([&] { return CountWithFlags("GetShopItemGroups", 0x401) >= uRoundsBefore + 2; }));
        ASSERT_TRUE(WaitFor([&] { return Count("GameReady") >= uRoundsBefore + 1; }))
            << "the lobby's in-game round sends it";
        m_pOther->SendGameReady();
        ASSERT_TRUE(
            WaitFor([&] { return GameLog().Count("game.StartGame") > static_cast<int>(uRoundsBefore); }));
    }
    // A guest and the other player in a started match by quick play; the other's user id.
    void StartGuestMatch(int& iOther)
    {
        ASSERT_NO_FATAL_FAILURE(StartAsGuest());
        iOther = AddOpponent();
        ASSERT_GT(iOther, 0);
        ::CVornMenuState::actionStartGame(nullptr, Lobby());
        m_pOther->RegisterInGameQueue(0, 2);
        ASSERT_NO_FATAL_FAILURE(PlayOpponentUntilStart(0));
    }
    // The first GameEnd sent ranks that player last and the other first.
    void ExpectRankedLast(int iLoser)
    {
        ASSERT_TRUE(WaitForMessage("GameEnd"));
        const CTestJson end = In("GameEnd")[0];
        ASSERT_EQ(end["players"].Size(), 2u);
        for (size_t i = 0; i < 2; ++i)
            EXPECT_EQ(end["ranks"][i].Int(), end["players"][i].Int() == iLoser ? 2 : 1);
    }
    CTestCallLog& GameLog() { return m_App.m_Log; }
    std::vector<std::string> Toasts(const std::string& strText)
    {
        return m_App.m_Log.With("toast.Add(" + strText);
    }

    CVornNetworkSession* m_pOther = nullptr;
};

} // namespace menu_state_test
