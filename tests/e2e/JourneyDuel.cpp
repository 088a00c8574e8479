#include "tests/e2e/JourneyDuel.h"

#include "tests/e2e/JourneyMatchTurns.h"

using namespace journey_pages;

namespace journey_duel
{

sJourneySide Side(sJourneyPlayer& player)
{
    return {&player.m_Journey, &player.m_Pages, player.m_strName, player.m_llUser, player.m_iSlot};
}

std::function<bool(const CTestJson&)> Event(const std::string& strEvent)
{
    return [strEvent](const CTestJson& r) { return r["event"].String() == strEvent; };
}

void ReadLogin(sJourneyPlayer& player, size_t uFrom)
{
    const CTestJson login =
        player.m_Journey.WaitForRecord("the server logged a player in", Event("login"), uFrom);
    player.m_strName = login["name"].String();
    player.m_llUser = login["user_id"].Int();
    player.m_strLobbyConn = login["conn"].String();
    player.m_Journey.Say(player.m_strName + " is user " + std::to_string(player.m_llUser));
    JourneyExpectConnectedLine(player.m_Journey);
}

bool Queued(const sJourneyPlayer& player, size_t uFrom)
{
    bool bQueued = false;
    const std::vector<CTestJson>& aRecords = player.m_Journey.Log().Records();
    for (size_t u = uFrom; u < aRecords.size(); ++u)
    {
        const CTestJson& r = aRecords[u];
        if (r["event"].String() != "in" || r["conn"].String() != player.m_strLobbyConn)
            continue;
        if (r["name"].String() == "QueueRegisterIn")
            bQueued = true;
        if (r["name"].String() == "QueueUnregisterFrom")
            bQueued = false;
    }
    return bQueued;
}

void QuickPlay(sJourneyPlayer& a, sJourneyPlayer& b)
{
    CJourney& log = a.m_Journey;
    const size_t uFrom = log.LogCount();
    for (int iTry = 0; iTry < 3 * PRESS_TRIES && log.Log().Find(Event("paired"), uFrom) < 0; ++iTry)
    {
        for (sJourneyPlayer* p : {&a, &b})
            if (!Queued(*p, uFrom))
                p->m_Match.PressPlay();
        E2eWaitFor([&] { return log.Log().Find(Event("paired"), uFrom) >= 0; }, 5);
    }
    const CTestJson paired = log.WaitForRecord("the server paired the two", Event("paired"), uFrom);
    for (sJourneyPlayer* p : {&a, &b})
    {
        const CTestJson& players = paired["players"];
        p->m_iSlot = players[size_t(0)].Int() == p->m_llUser   ? 0
                     : players[size_t(1)].Int() == p->m_llUser ? 1
                                                               : -1;
        log.Expect(p->m_iSlot >= 0, p->m_strName + " is one of the paired players");
    }
    log.WaitForRecord("the match started", Event("match_start"), uFrom);
    for (sJourneyPlayer* p : {&a, &b})
        p->m_Match.WaitForBoard();
}

void Leave(sJourneyPlayer& leaver, const sJourneyPlayer& stayer)
{
    CJourney& log = leaver.m_Journey;
    const size_t uFrom = log.LogCount();
    const long long llLeaver = leaver.m_llUser;
    auto fnLeft = [=](const CTestJson& r)
    { return r["event"].String() == "game_end" && r["user"].Int() == llLeaver; };
    for (int iTry = 0; iTry < PRESS_TRIES && log.Log().Find(fnLeft, uFrom) < 0; ++iTry)
    {
        leaver.m_Match.LeaveByExitDoor();
        E2eWaitFor([&] { return log.Log().Find(fnLeft, uFrom) >= 0; }, 10);
    }
    const CTestJson end = log.WaitForRecord(leaver.m_strName + " left the match", fnLeft, uFrom);
    log.Expect(end["report"]["leaving"].Int() == 1 &&
                   end["report"]["ranks"][std::to_string(llLeaver)].Int() == 2 &&
                   end["report"]["ranks"][std::to_string(stayer.m_llUser)].Int() == 1,
               leaver.m_strName + "'s report ranks the leaver last");
}

void WaitForChatPage(sJourneyPlayer& stayer)
{
    CJourney& journey = stayer.m_Journey;
    for (int iTry = 0; iTry < PRESS_TRIES && !(journey.Look(), stayer.m_Pages.Showing(CHAT)); ++iTry)
    {
        stayer.m_Match.PressContinue();
        E2eWaitFor([&] { return journey.Look(), stayer.m_Pages.Showing(CHAT); }, 15);
    }
    stayer.m_Pages.WaitForPage(CHAT);
}

void BackToMenu(sJourneyPlayer& stayer, bool bGuest)
{
    CJourney& journey = stayer.m_Journey;
    CJourneyPages& pages = stayer.m_Pages;
    journey.Keep("result-" + stayer.m_strName);
    WaitForChatPage(stayer);
    journey.Keep("chat-after-match-" + stayer.m_strName);
    JourneyCheckChatAfterOpponentLeft(journey);
    for (int iTry = 0; iTry < PRESS_TRIES && (journey.Look(), pages.Showing(CHAT)); ++iTry)
    {
        stayer.m_Match.PressChatBack();
        E2eWaitFor([&] { return journey.Look(), !pages.Showing(CHAT); }, 15);
    }
    const sJourneyPage& home = bGuest ? LOGIN : HOME;
    pages.WaitForGameMenuOrPage(home);
    if (bGuest && !pages.ShowsGameMenu())
        stayer.m_Match.PlayAsGuest();
    for (int iTry = 0; iTry < PRESS_TRIES && !bGuest && !pages.ShowsGameMenu(); ++iTry)
    {
        journey.PressWidget("//startscreen_root//close_menu");
        E2eWaitFor([&] { return pages.ShowsGameMenu(); }, 15);
    }
    pages.WaitForGameMenu();
    journey.Keep("menu-after-match-" + stayer.m_strName);
}

} // namespace journey_duel
