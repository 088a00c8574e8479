#include "support/SessionServerTest.h"

#include <chrono>
#include <new>
#include <thread>

#include "Framework/Session/VornLobby.h"
#include "support/TestMedia.h"
#include "support/TestShellPacks.h"
#include "support/TestText.h"
#include "support/WaitLimit.h"

std::string SessionText(int iNumber)
{
    return "text " + std::to_string(iNumber);
}

namespace
{
std::string Args()
{
    return "";
}
template <class T> std::string Arg(const T& value)
{
    return std::to_string(value);
}
std::string Arg(const CKorvelString& str)
{
    return Narrow(str);
}
template <class T, class... R> std::string Args(const T& first, const R&... rest)
{
    const std::string strRest = Args(rest...);
    return Arg(first) + (strRest.empty() && sizeof...(rest) == 0 ? "" : "," + strRest);
}
template <class... A> std::string Line(const char* pName, const A&... args)
{
    return std::string(pName) + "(" + Args(args...) + ")";
}
} // namespace

// ---- recorder

void CSessionRecorder::Add(CVornNetworkSession* pSession, const std::string& strLine)
{
    m_aLines.push_back(strLine);
    m_aDeliveringAtCall.push_back(pSession ? pSession->IsDelivering() : 0);
    if (m_fnHook)
        m_fnHook(pSession, strLine);
}

std::vector<std::string> CSessionRecorder::With(const std::string& strPrefix) const
{
    std::vector<std::string> aOut;
    for (const std::string& strLine : m_aLines)
        if (strLine.compare(0, strPrefix.size(), strPrefix) == 0)
            aOut.push_back(strLine);
    return aOut;
}

std::vector<unsigned int> CSessionRecorder::LobbyStatuses() const
{
    std::vector<unsigned int> aOut;
    for (const std::string& strLine : With("OnLobbyStatusChanged("))
        aOut.push_back(static_cast<unsigned int>(std::stoul(strLine.substr(21))));
    return aOut;
}

void CSessionRecorder::OnLobbyStatusChanged(CVornNetworkSession* p, unsigned int u)
{
    Add(p, Line("OnLobbyStatusChanged", u));
}
void CSessionRecorder::OnGameStatusChanged(CVornNetworkSession* p, unsigned int u)
{
    Add(p, Line("OnGameStatusChanged", u));
}
void CSessionRecorder::OnNotification(CVornNetworkSession* p, int iId, int iType, const CKorvelString& s)
{
    Add(p, Line("OnNotification", iId, iType, s));
}
void CSessionRecorder::OnQueueUpdate(CVornNetworkSession* p, int a, int b, int c)
{
    Add(p, Line("OnQueueUpdate", a, b, c));
}
void CSessionRecorder::OnQueueCancelled(CVornNetworkSession* p)
{
    Add(p, Line("OnQueueCancelled"));
}
void CSessionRecorder::OnBuddyRequest(CVornNetworkSession* p, int i, EBuddyRequestType t,
                                      EBuddyRequestAction a, const CKorvelString& s1, const CKorvelString& s2)
{
    Add(p, Line("OnBuddyRequest", i, static_cast<int>(t), static_cast<int>(a), s1, s2));
}
void CSessionRecorder::OnGameSessionInfoReceived(CVornNetworkSession* p, int i, const sGAME_SESSION&)
{
    Add(p, Line("OnGameSessionInfoReceived", i));
}
void CSessionRecorder::OnChallengeReceived(CVornNetworkSession* p, int i, const CKorvelString& s1,
                                           const CKorvelString& s2, int a, int b)
{
    Add(p, Line("OnChallengeReceived", i, s1, s2, a, b));
}
void CSessionRecorder::OnChallengeResponse(CVornNetworkSession* p, int i, const CKorvelString& s1,
                                           const CKorvelString& s2, int a)
{
    Add(p, Line("OnChallengeResponse", i, s1, s2, a));
}
void CSessionRecorder::OnChallengeImageReceived(CVornNetworkSession* p, int i, unsigned char*, int n)
{
    Add(p, Line("OnChallengeImageReceived", i, n));
}
void CSessionRecorder::OnRematchReceived(int iValue)
{
    Add(nullptr, Line("OnRematchReceived", iValue));
}
void CSessionRecorder::OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>& a)
{
    Add(nullptr, Line("OnAvailableShopItemDatas", a.GetCount()));
}
void CSessionRecorder::OnShopItemData(int a, int b, unsigned char*, int n, int c)
{
    Add(nullptr, Line("OnShopItemData", a, b, n, c));
}
void CSessionRecorder::OnWalletBalance(int i)
{
    Add(nullptr, Line("OnWalletBalance", i));
}
void CSessionRecorder::OnShopItemGroups(int iFlags, const CKorvelArray<CASN1ShopItemGroups::sGroupData>& a)
{
    Add(nullptr, Line("OnShopItemGroups", iFlags, a.GetCount()));
}
void CSessionRecorder::OnShopItems(int iFlags, int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& a)
{
    Add(nullptr, Line("OnShopItems", iFlags, iStart, a.GetCount()));
}
void CSessionRecorder::OnShopItemImage(int a, int b, unsigned char*, int n)
{
    Add(nullptr, Line("OnShopItemImage", a, b, n));
}
void CSessionRecorder::OnBuyItemResponce(int a, int b, const CKorvelString& s,
                                         const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&)
{
    Add(nullptr, Line("OnBuyItemResponce", a, b, s));
}
void CSessionRecorder::OnConfirmBuyItemResponce(int a, int b, const CKorvelString& s)
{
    Add(nullptr, Line("OnConfirmBuyItemResponce", a, b, s));
}
void CSessionRecorder::OnUpdateItemStateResponse(int a, int b, const CKorvelString& s, int c)
{
    Add(nullptr, Line("OnUpdateItemStateResponse", a, b, s, c));
}
void CSessionRecorder::OnPlayerGiftItems(int a, CKorvelString& s,
                                         const CKorvelArray<CASN1ShopItems::sItemData>&)
{
    Add(nullptr, Line("OnPlayerGiftItems", a, s));
}
void CSessionRecorder::OnConfirmBuyPlayerItemsResponse(int a, int b, CKorvelString& s)
{
    Add(nullptr, Line("OnConfirmBuyPlayerItemsResponse", a, b, s));
}
void CSessionRecorder::OnAchievementList(int a, int b, int c, CKorvelArray<CASN1AchievementList::sData>&,
                                         int d)
{
    Add(nullptr, Line("OnAchievementList", a, b, c, d));
}
void CSessionRecorder::OnTournamentScores(CKorvelArray<CKorvelString>& a,
                                          CKorvelArray<CASN1TournamentScores::sData>&, int c)
{
    Add(nullptr, Line("OnTournamentScores", a.GetCount(), c));
}
void CSessionRecorder::OnImageAndLink(const CKorvelString& s, int n, const unsigned char*,
                                      const CKorvelString&, const CKorvelString&, const CKorvelString&)
{
    Add(nullptr, Line("OnImageAndLink", s, n));
}
void CSessionRecorder::OnGameMessage(CVornNetworkSession* p, unsigned char* pData, unsigned int uSize)
{
    m_aGameMessages.emplace_back(pData, pData + uSize);
    Add(p, Line("OnGameMessage", uSize));
}
void CSessionRecorder::OnGameStart(CVornNetworkSession* p, int iUserId, unsigned int uStart)
{
    Add(p, Line("OnGameStart", iUserId, uStart));
}
void CSessionRecorder::OnPlayerDisconnected(CVornNetworkSession* p, int iPlayerId)
{
    Add(p, Line("OnPlayerDisconnected", iPlayerId));
}
void CSessionRecorder::OnAdvertisement(const CKorvelString& s, const CKorvelString&, int,
                                       const unsigned char*, int, int, const CKorvelArray<int>&,
                                       const CKorvelString&, int, const CKorvelString&, const CKorvelString&)
{
    Add(nullptr, Line("OnAdvertisement", s));
}
void CSessionRecorder::OnNewVersionAvailable(CVornNetworkSession* p, const CKorvelString& s)
{
    Add(p, Line("OnNewVersionAvailable", s));
}
void CSessionRecorder::OnLoginError(CVornNetworkSession* p, const CKorvelString& s)
{
    Add(p, Line("OnLoginError", s));
}
void CSessionRecorder::OnReceiveRandomKey(CVornNetworkSession* p, const CKorvelString& s)
{
    Add(p, Line("OnReceiveRandomKey", s));
}
void CSessionRecorder::OnLoggedIn(CVornNetworkSession* p, int iUserId, const CKorvelString& strName,
                                  const CKorvelString& strToken, const CKorvelString& a,
                                  const CKorvelString& b, int c)
{
    Add(p, Line("OnLoggedIn", iUserId, strName, strToken, a, b, c));
}
void CSessionRecorder::OnUserNameConfirmed(CVornNetworkSession* p, int i, const CKorvelString& s)
{
    Add(p, Line("OnUserNameConfirmed", i, s));
}
void CSessionRecorder::OnEmailConfirmed(CVornNetworkSession* p, int i, const CKorvelString& s)
{
    Add(p, Line("OnEmailConfirmed", i, s));
}
void CSessionRecorder::OnExternalEmailRegistered(CVornNetworkSession* p, int i, const CKorvelString& s)
{
    Add(p, Line("OnExternalEmailRegistered", i, s));
}
void CSessionRecorder::OnExternalUserRegistered(CVornNetworkSession* p, int i, const CKorvelString& s)
{
    Add(p, Line("OnExternalUserRegistered", i, s));
}
void CSessionRecorder::OnExternalUserNotFound()
{
    Add(nullptr, Line("OnExternalUserNotFound"));
}

// ---- application

void CSessionTestApplication::OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived)
{
    m_aChat.push_back(Args(pMessage->m_iType, pMessage->m_strText, pMessage->m_iSender, uReceived));
    const bool bEcho = uReceived && m_iForwardChatOwnId && pMessage->m_iSender == m_iForwardChatOwnId;
    if (m_bForwardChat && !bEcho)
        CKestrolundApplication::OnChatMessage(pMessage, uReceived);
}

CVornTheme* CSessionTestApplication::CreateTheme()
{
    return m_bRealTheme ? CreateShellTheme() : CTestKestrolundApplication::CreateTheme();
}

CVornNetworkSession* CSessionTestApplication::CreateNetworkSession()
{
    CVornNetworkSession* pSession = new CVornNetworkSession;
    pSession->SetDisconnectSleep(0);
    ++m_iSessionsMade;
    return pSession;
}

void CSessionTestApplication::Redirect(const CKorvelString& strHost, int iPort)
{
    if (m_fnRedirect)
        m_fnRedirect(strHost, iPort);
    else
        CTestKestrolundApplication::Redirect(strHost, iPort);
}

CVornToastNotification* CSessionTestApplication::CreateToast()
{
    return m_bRealOverlays ? new (std::nothrow) CRecordedToast(m_Log)
                           : CTestKestrolundApplication::CreateToast();
}

CVornAdvertisement* CSessionTestApplication::CreateAdvertisement()
{
    return m_bRealOverlays ? CreateShellAdvertisement() : CTestKestrolundApplication::CreateAdvertisement();
}

// ---- fixture

void CSessionServerTest::TearDown()
{
    for (auto& pSession : m_aOwnSessions)
        pSession->Shutdown();
    m_aOwnSessions.clear();
    m_pControl.reset();
    if (m_pServer)
    {
        m_pServer->Stop();
        EXPECT_EQ(m_pServer->Complaints(), std::vector<std::string>());
    }
}

void CSessionServerTest::Start(const std::vector<std::string>& aServerOptions)
{
    m_pServer.reset(new CLobbyServerProcess(m_App.Dir() + "/server.jsonl"));
    ASSERT_TRUE(m_pServer->Start(aServerOptions));
    m_pControl.reset(new CLobbyServerControl(m_pServer->ControlPort()));
    ASSERT_TRUE(m_pControl->IsConnected());

    ASSERT_TRUE(PrepareAppFolder());
    ASSERT_EQ(m_App.Start(), KE_OK);
    ASSERT_TRUE(m_App.RunSplash());
    ASSERT_NE(Session(), nullptr);
    Observe(Session(), m_Rec);
}

std::vector<std::string> CSessionServerTest::LanguageTexts()
{
    std::vector<std::string> aTexts;
    for (int i = 0; i < 40; ++i)
        aTexts.push_back(SessionText(i));
    return aTexts;
}

bool CSessionServerTest::PrepareAppFolder()
{
    return m_App.WritePacks(false) && WriteTestFile(m_App.AppFile("vornlanguage_en.kmp"),
                                                    TestLanguagePackBytes("English", "en", LanguageTexts()));
}

void CSessionServerTest::Observe(CVornNetworkSession* pSession, CSessionRecorder& recorder)
{
    pSession->AddStatusObserver(&recorder);
    pSession->AddLobbyObserver(&recorder);
    pSession->AddGameObserver(&recorder);
    pSession->AddAdvertisementObserver(&recorder);
}

CVornNetworkSession* CSessionServerTest::AddSession(CSessionRecorder& recorder)
{
    std::unique_ptr<CVornNetworkSession> pSession(new CVornNetworkSession);
    pSession->SetDisconnectSleep(0);
    if (pSession->Startup(&m_App, &recorder) != KE_OK)
        return nullptr;
    pSession->AddLobbyObserver(&recorder);
    pSession->AddGameObserver(&recorder);
    m_aOwnSessions.push_back(std::move(pSession));
    return m_aOwnSessions.back().get();
}

void CSessionServerTest::Frame(float fSeconds)
{
    m_App.UpdateRunnables(fSeconds);
    m_App.Frame(fSeconds);
    for (auto& pSession : m_aOwnSessions)
        pSession->Update(fSeconds);
}

bool CSessionServerTest::WaitFor(const std::function<bool()>& fnDone)
{
    const auto end = std::chrono::steady_clock::now() + TEST_WAIT_LIMIT;
    while (std::chrono::steady_clock::now() < end)
    {
        Frame();
        if (fnDone())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return fnDone();
}

void CSessionServerTest::Settle()
{
    for (int i = 0; i < 50; ++i)
    {
        Frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool CSessionServerTest::WaitForHandled(const sLOBBY_TARGET& target)
{
    // The session answers a probe of 0 or more; the server's own probes send 0.
    const long long llProbe = ++m_iProbes;
    m_pControl->Send(target, "alive", "[" + std::to_string(llProbe) + "]");
    return WaitFor(
        [&]
        {
            for (const CTestJson& fields : In("Alive"))
                if (fields["value"].Int() == llProbe)
                    return true;
            return false;
        });
}

bool CSessionServerTest::WaitForQuiet(const sLOBBY_TARGET& target)
{
    // A round of answers and the requests they bring forth is a probe's round trip; a login's
    // rounds are a handful of them.
    const int iRoundsMax = 50;
    for (int i = 0; i < iRoundsMax; ++i)
    {
        const size_t uRead = m_pServer->Lines("in").size();
        if (!WaitForHandled(target))
            return false;
        if (m_pServer->Lines("in").size() == uRead + 1)
            return true;
    }
    return false;
}

bool CSessionServerTest::ConnectLobby(CVornNetworkSession* pSession, CSessionRecorder& recorder)
{
    if (!pSession->Connect(CKorvelString("127.0.0.1"), static_cast<unsigned short>(m_pServer->LobbyPort()),
                           &recorder))
        return false;
    return WaitFor([pSession] { return (pSession->GetStatus() & 0xFF) == 3; });
}

int CSessionServerTest::LoginGuest(CVornNetworkSession* pSession, CSessionRecorder& recorder)
{
    if (!ConnectLobby(pSession, recorder) ||
        !pSession->Login(CKorvelString("guest"), CKorvelString("0"), &recorder))
        return -1;
    if (!WaitFor([pSession] { return (pSession->GetStatus() & 0xFF) == 5; }))
        return -1;
    return pSession->GetOwnUserId();
}

std::vector<CTestJson> CSessionServerTest::In(const std::string& strName) const
{
    std::vector<CTestJson> aOut;
    for (const std::string& strLine : m_pServer->Lines("in"))
    {
        CTestJson line;
        std::string strError;
        if (CTestJson::Parse(strLine, line, strError) && line["name"].String() == strName)
            aOut.push_back(line["fields"]);
    }
    return aOut;
}

std::vector<std::string> CSessionServerTest::InNames() const
{
    std::vector<std::string> aOut;
    for (const std::string& strLine : m_pServer->Lines("in"))
    {
        CTestJson line;
        std::string strError;
        if (CTestJson::Parse(strLine, line, strError))
            aOut.push_back(line["name"].String());
    }
    return aOut;
}
