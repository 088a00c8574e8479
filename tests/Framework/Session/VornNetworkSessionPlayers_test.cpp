// Player lists, pictures and challenges of the session against the project's lobby
// server: the list callbacks and their follow-up requests, cancelled and repeated
// answers, the picture routing and its time-out, and challenges between two sessions.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "KorvelGraphics/KorvelSurface.h"
#include "support/SessionServerTest.h"
#include "support/TestText.h"

namespace
{

// Every call of a player-list callback as "kind,tag,count,groups,item,picture" ("-" for
// null), and the pictures' bytes.
struct sLIST_CALLS
{
    std::vector<std::string> m_aLines;
    std::function<void()> m_fnHook;

    static void Callback(void* pUserData, int iKind, int iTag, int iCount,
                         const CKorvelArray<sPLAYER_GROUP>* pGroups, const sPLAYERLISTITEM* pItem,
                         unsigned char* pBytes, int iSize)
    {
        sLIST_CALLS& calls = *static_cast<sLIST_CALLS*>(pUserData);
        calls.m_aLines.push_back(std::to_string(iKind) + "," + std::to_string(iTag) + "," +
                                 std::to_string(iCount) + "," +
                                 (pGroups ? std::to_string(pGroups->GetCount()) : "-") + "," +
                                 (pItem ? std::to_string(pItem->m_iPlayerId) : "-") + "," +
                                 (pBytes ? std::to_string(iSize) : "-"));
        if (calls.m_fnHook)
            calls.m_fnHook();
    }
};

// What SendGetPlayerImage's callback received.
struct sPICTURE_CALLS
{
    std::vector<std::string> m_aLines; // "name,width x height" or "name,null"

    static void Callback(CKorvelSurface* pSurface, const CKorvelString& strName, void* pUserData)
    {
        sPICTURE_CALLS& calls = *static_cast<sPICTURE_CALLS*>(pUserData);
        calls.m_aLines.push_back(
            Narrow(strName) + "," +
            (pSurface ? std::to_string(pSurface->GetWidth()) + "x" + std::to_string(pSurface->GetHeight())
                      : "null"));
        if (pSurface)
        {
            pSurface->Shutdown();
            delete pSurface;
        }
    }
};

class CVornNetworkSession : public CSessionServerTest
{
protected:
    // Three guests: the application's session (m_Rec), and two more.
    void LoginThree()
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        m_pB = AddSession(m_Rec2);
        m_pC = AddSession(m_Rec3);
        ASSERT_TRUE(m_pB && m_pC);
        m_iA = LoginGuest(Session(), m_Rec);
        m_iB = LoginGuest(m_pB, m_Rec2);
        m_iC = LoginGuest(m_pC, m_Rec3);
        ASSERT_TRUE(m_iA > 0 && m_iB > 0 && m_iC > 0);
    }
    // The decoded GetTournamentScores requests as "ids|kinds|value".
    std::vector<std::string> ScoreRequests() const
    {
        std::vector<std::string> aOut;
        for (const CTestJson& fields : In("GetTournamentScores"))
        {
            std::string strIds;
            for (const CTestJson& id : fields["ids"].Items())
                strIds += (strIds.empty() ? "" : " ") + std::to_string(id.Int());
            aOut.push_back(strIds + "|" + std::to_string(fields["a"].Int()) + "|" +
                           std::to_string(fields["b"].Int()));
        }
        return aOut;
    }
    std::string Ids(int a, int b) const { return std::to_string(a) + " " + std::to_string(b); }

    CSessionRecorder m_Rec3;
    ::CVornNetworkSession* m_pB = nullptr;
    ::CVornNetworkSession* m_pC = nullptr;
    int m_iA = 0, m_iB = 0, m_iC = 0;
    sLIST_CALLS m_Calls;
};

TEST_F(CVornNetworkSession, AHeaderAnswerCallsOnceAndAsksNoScores)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    EXPECT_EQ(
        Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, -1, 0, &sLIST_CALLS::Callback, &m_Calls),
        -1);
    ASSERT_TRUE(WaitFor([this] { return !m_Calls.m_aLines.empty(); }));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iA)));
    EXPECT_EQ(m_Calls.m_aLines, (std::vector<std::string>{"0,-1,3,1,-,-"}));
    EXPECT_TRUE(ScoreRequests().empty());
}

TEST_F(CVornNetworkSession, ItemsCallBackInOrderThenScoresAndEachPictureOnce)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    EXPECT_EQ(
        Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, 1, 2, &sLIST_CALLS::Callback, &m_Calls),
        1);
    ASSERT_TRUE(WaitFor([this] { return m_Calls.m_aLines.size() >= 4; }));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iA)));
    const std::string strB = std::to_string(m_iB), strC = std::to_string(m_iC);
    // The server's pictures are 8 x 8 PNGs; their sizes are those the server sent.
    const std::vector<CTestJson> aOut = [this]
    {
        std::vector<CTestJson> a;
        for (const std::string& strLine : m_pServer->Lines("out"))
        {
            CTestJson line;
            std::string strError;
            if (CTestJson::Parse(strLine, line, strError) && line["name"].String() == "PlayerImage")
                a.push_back(line);
        }
        return a;
    }();
    ASSERT_EQ(m_Calls.m_aLines.size(), 4u);
    EXPECT_EQ(m_Calls.m_aLines[0], "0,1,3,-," + strB + ",-");
    EXPECT_EQ(m_Calls.m_aLines[1], "0,2,3,-," + strC + ",-");
    EXPECT_EQ(m_Calls.m_aLines[2].substr(0, 4 + strB.size()), "0," + strB + ",0");
    EXPECT_EQ(m_Calls.m_aLines[3].substr(0, 4 + strC.size()), "0," + strC + ",0");
    EXPECT_EQ(aOut.size(), 2u);
    EXPECT_EQ(ScoreRequests(), (std::vector<std::string>{Ids(m_iB, m_iC) + "|2|1"}));

    // The listener went with the answer: a copy of it calls nothing.
    m_pControl->Send(sLOBBY_TARGET::Lobby(m_iA), "player_list",
                     "[3, 1, 0, [[" + strB + ", \"x\", \"\", \"\", \"\", 1, \"\", [0,0,0,0,0,0,0,0]]], []]");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iA)));
    EXPECT_EQ(m_Calls.m_aLines.size(), 4u);
}

TEST_F(CVornNetworkSession, EachListKindAsksItsOwnScores)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    struct sCASE
    {
        int iKind;
        std::string strScores;
    };
    const sCASE aCases[] = {{64, "|4|1"}, {32, std::to_string(m_iA) + "|1|0"}};
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.iKind);
        const size_t uBefore = ScoreRequests().size();
        Session()->SendPlayerListRequest(c.iKind, CKorvelString(""), 0, 0, 0, 10, &sLIST_CALLS::Callback,
                                         &m_Calls);
        ASSERT_TRUE(WaitFor([&] { return ScoreRequests().size() > uBefore; }));
        EXPECT_EQ(ScoreRequests().back(), c.strScores);
    }
}

TEST_F(CVornNetworkSession, CancelledRequestsHearNothing)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    // The pictures wait with the lists, so that they find the listeners the lists leave.
    m_pControl->Hold(20, sLOBBY_TARGET::Lobby(m_iA));
    m_pControl->Hold(85, sLOBBY_TARGET::Lobby(m_iA));
    const long long llFirst =
        Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, 0, 1, &sLIST_CALLS::Callback, &m_Calls);
    Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, -1, 0, &sLIST_CALLS::Callback, &m_Calls);
    Session()->SendPlayerListRequest(32, CKorvelString(""), 0, 0, 0, 1, &sLIST_CALLS::Callback, &m_Calls);
    ASSERT_TRUE(WaitFor([this] { return In("ListPlayers").size() == 3; }));
    Session()->CancelPlayerListRequest(static_cast<int>(llFirst));
    Session()->CancelPlayerListRequest(-1);
    m_pControl->Release(20, sLOBBY_TARGET::Lobby(m_iA));
    m_pControl->Release(85, sLOBBY_TARGET::Lobby(m_iA));
    ASSERT_TRUE(WaitFor([this] { return m_Calls.m_aLines.size() == 2; }));
    EXPECT_EQ(m_Calls.m_aLines[0], "32,0,1,-," + std::to_string(m_iA) + ",-");
    EXPECT_EQ(m_Calls.m_aLines[1].substr(0, 2 + std::to_string(m_iA).size()), "0," + std::to_string(m_iA));

    m_Calls.m_aLines.clear();
    m_pControl->Hold(20, sLOBBY_TARGET::Lobby(m_iA));
    m_pControl->Hold(85, sLOBBY_TARGET::Lobby(m_iA));
    Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, 0, 3, &sLIST_CALLS::Callback, &m_Calls);
    Session()->SendPlayerListRequest(32, CKorvelString(""), 0, 0, 0, 1, &sLIST_CALLS::Callback, &m_Calls);
    ASSERT_TRUE(WaitFor([this] { return In("ListPlayers").size() == 5; }));
    Session()->CancelAllPlayerListRequests();
    m_pControl->Release(20, sLOBBY_TARGET::Lobby(m_iA));
    m_pControl->Release(85, sLOBBY_TARGET::Lobby(m_iA));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iA)));
    EXPECT_TRUE(m_Calls.m_aLines.empty());
}

TEST_F(CVornNetworkSession, ARequestAskedAgainIsSentAndTheFirstListenerStays)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    sLIST_CALLS second;
    m_pControl->Hold(20, sLOBBY_TARGET::Lobby(m_iA));
    Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, -1, 0, &sLIST_CALLS::Callback, &m_Calls);
    Session()->SendPlayerListRequest(0, CKorvelString("guest"), 0, 0, -1, 0, &sLIST_CALLS::Callback, &second);
    ASSERT_TRUE(WaitFor([this] { return In("ListPlayers").size() == 2; }));
    m_pControl->Release(20, sLOBBY_TARGET::Lobby(m_iA));
    ASSERT_TRUE(WaitFor([this] { return !m_Calls.m_aLines.empty(); }));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iA)));
    EXPECT_EQ(m_Calls.m_aLines, (std::vector<std::string>{"0,-1,3,1,-,-"}));
    EXPECT_TRUE(second.m_aLines.empty());
}

TEST_F(CVornNetworkSession, ACallbackThatCancelsStopsItsOwnAnswer)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    m_Calls.m_fnHook = [this]
    {
        // A new search from inside the call: the old request goes, a new one comes.
        Session()->CancelAllPlayerListRequests();
        Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, 0, 3, &sLIST_CALLS::Callback, &m_Calls);
        m_Calls.m_fnHook = nullptr;
    };
    Session()->SendPlayerListRequest(0, CKorvelString(""), 0, 0, 0, 3, &sLIST_CALLS::Callback, &m_Calls);
    ASSERT_TRUE(WaitFor([this] { return m_Calls.m_aLines.size() >= 4; }));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iA)));
    // One item of the first answer, then the whole second one; no scores for the first.
    EXPECT_EQ(m_Calls.m_aLines[0], "0,0,3,-," + std::to_string(m_iA) + ",-");
    EXPECT_EQ(m_Calls.m_aLines[1], "0,0,3,-," + std::to_string(m_iA) + ",-");
    EXPECT_EQ(ScoreRequests().size(), 1u);
}

TEST_F(CVornNetworkSession, GameSessionPlayersAfterAPairing)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    // The server pairs in arrival order: B must be queued before C asks.
    m_pB->RegisterInGameQueue(1, 2);
    ASSERT_TRUE(WaitFor([this] { return In("QueueRegisterIn").size() == 1; }));
    m_pC->RegisterInGameQueue(1, 2);
    ASSERT_TRUE(WaitFor([this] { return m_pB->GetGameSessionId() > 0 && m_pC->GetGameSessionId() > 0; }));
    m_pB->SendGetGameSessionPlayers(&sLIST_CALLS::Callback, &m_Calls);
    ASSERT_TRUE(WaitFor([this] { return !ScoreRequests().empty(); }));
    ASSERT_GE(m_Calls.m_aLines.size(), 2u);
    EXPECT_EQ(m_Calls.m_aLines[0], "256,0,2,-," + std::to_string(m_iB) + ",-");
    EXPECT_EQ(m_Calls.m_aLines[1], "256,1,2,-," + std::to_string(m_iC) + ",-");
    EXPECT_EQ(ScoreRequests().back(), Ids(m_iB, m_iC) + "|32|1");
}

TEST_F(CVornNetworkSession, APictureRequestGetsASurfaceOrNullOnce)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    sPICTURE_CALLS pictures;
    Session()->SendGetPlayerImage(m_iB, 0, CKorvelString("card"), &sPICTURE_CALLS::Callback, &pictures);
    ASSERT_TRUE(WaitFor([&] { return !pictures.m_aLines.empty(); }));
    EXPECT_EQ(pictures.m_aLines, (std::vector<std::string>{"card,8x8"}));

    // No answer: null at 2.0 s of frame time, once; a second request meanwhile is not sent.
    m_pControl->Hold(85, sLOBBY_TARGET::Lobby(m_iA));
    Session()->SendGetPlayerImage(m_iC, 0, CKorvelString("late"), &sPICTURE_CALLS::Callback, &pictures);
    Frame(1.5f);
    Session()->SendGetPlayerImage(m_iC, 0, CKorvelString("second"), &sPICTURE_CALLS::Callback, &pictures);
    ASSERT_TRUE(WaitFor([this] { return In("GetPlayerImage").size() == 2; }));
    Settle();
    EXPECT_EQ(In("GetPlayerImage").size(), 2u);
    EXPECT_EQ(pictures.m_aLines.size(), 1u);
    Frame(0.5f);
    Frame(5.0f);
    EXPECT_EQ(pictures.m_aLines, (std::vector<std::string>{"card,8x8", "late,null"}));

    // Bytes that are no picture: null as well.
    Session()->SendGetPlayerImage(m_iC, 0, CKorvelString("broken"), &sPICTURE_CALLS::Callback, &pictures);
    m_pControl->Send(sLOBBY_TARGET::Lobby(m_iA), "player_image",
                     "[" + std::to_string(m_iC) + ", 0, {\"hex\": \"89504e470d0a1a0a0000\"}]");
    ASSERT_TRUE(WaitFor([&] { return pictures.m_aLines.size() == 3; }));
    EXPECT_EQ(pictures.m_aLines.back(), "broken,null");
    m_pControl->Release(85, sLOBBY_TARGET::Lobby(m_iA));
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iA)));
    EXPECT_EQ(pictures.m_aLines.size(), 3u);
}

TEST_F(CVornNetworkSession, AChallengeAcceptedStartsTheGameForBoth)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    m_Rec2.m_fnHook = [this](::CVornNetworkSession* pSession, const std::string& strLine)
    {
        if (strLine.rfind("OnChallengeImageReceived", 0) == 0)
            pSession->SendChallengeResponse(m_iA, 1, CKorvelString("ok"));
    };
    CKorvelArray<int> aIds;
    aIds.Add(m_iB);
    Session()->SendChallenge(aIds, CKorvelString(""));
    // Both sessions got the lobby's GameStart and reach the game server.
    ASSERT_TRUE(
        WaitFor([this] { return Session()->GetGameSessionId() > 0 && m_pB->GetGameSessionId() > 0; }));
    EXPECT_EQ(Session()->GetGameSessionId(), m_pB->GetGameSessionId());
    ASSERT_TRUE(WaitFor([this] { return (Session()->GetStatus() & 0x100) && (m_pB->GetStatus() & 0x100); }));
    const std::string strA = std::to_string(m_iA), strB = std::to_string(m_iB);
    // Rank 1 (nobody has more points), score 0.
    EXPECT_EQ(m_Rec2.With("OnChallengeReceived"),
              (std::vector<std::string>{"OnChallengeReceived(" + strA + ",guest" + strA + ",,1,0)"}));
    ASSERT_EQ(m_Rec2.Count("OnChallengeImageReceived(" + strA + ","), 1);
    EXPECT_EQ(m_Rec.With("OnChallengeResponse"),
              (std::vector<std::string>{"OnChallengeResponse(" + strB + ",guest" + strB + ",ok,1)"}));
    EXPECT_EQ(ScoreRequests().front(), strA + "|8|1");
    EXPECT_EQ(m_Rec3.Count("OnChallenge"), 0);
}

TEST_F(CVornNetworkSession, ABusyPlayerIsRefusedAndHearsNothing)
{
    ASSERT_NO_FATAL_FAILURE(LoginThree());
    // Queued alone, and the server knows it: the server answers busy (2) itself.
    m_pB->RegisterInGameQueue(1, 2);
    ASSERT_TRUE(WaitFor([this] { return In("QueueRegisterIn").size() == 1; }));
    CKorvelArray<int> aIds;
    aIds.Add(m_iB);
    Session()->SendChallenge(aIds, CKorvelString(""));
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnChallengeResponse") == 1; }));
    const std::string strB = std::to_string(m_iB);
    EXPECT_EQ(m_Rec.With("OnChallengeResponse")[0], "OnChallengeResponse(" + strB + ",guest" + strB + ",,2)");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iB)));
    EXPECT_EQ(m_Rec2.Count("OnChallenge"), 0);

    // Paired with C but without a game connection yet: the server passes the challenge on
    // and B's session refuses it at once (0); its picture goes nowhere.
    m_pC->RegisterInGameQueue(1, 2);
    ASSERT_TRUE(WaitFor([this] { return (m_pB->GetStatus() & 0x100) && !m_pB->IsInGameQueue(); }));
    Session()->SendChallenge(aIds, CKorvelString("again"));
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnChallengeResponse") == 2; }));
    EXPECT_EQ(m_Rec.With("OnChallengeResponse")[1], "OnChallengeResponse(" + strB + ",guest" + strB + ",,0)");
    ASSERT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(m_iB)));
    EXPECT_EQ(m_Rec2.Count("OnChallenge"), 0);
    EXPECT_EQ(m_Rec2.Count("OnChallengeImageReceived"), 0);
}

} // namespace
