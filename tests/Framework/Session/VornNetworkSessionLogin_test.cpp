// The session's connect and login sequence against the project's lobby server: guest and
// account logins, registration, external logins, the server's refusals and redirect, and
// a connection that never stands.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/VornDevice.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "support/SessionServerTest.h"
#include "support/TestText.h"

namespace
{

class CVornNetworkSession : public CSessionServerTest
{
protected:
    // The newest open lobby connection of the server, by its log name.
    std::string LobbyConnection()
    {
        const CTestJson answer = m_pControl->Connections();
        std::string strName;
        for (const CTestJson& conn : answer["connections"].Items())
            if (conn["kind"].String() == "lobby")
                strName = conn["conn"].String();
        return strName;
    }
    std::string Last(const std::string& strPrefix) const
    {
        const std::vector<std::string> aLines = m_Rec.With(strPrefix);
        return aLines.empty() ? std::string() : aLines.back();
    }
    unsigned int Lobby() { return Session()->GetStatus() & 0xFF; }
};

TEST_F(CVornNetworkSession, AGuestLoginWalksTheStatusesAndIdentifiesTheClient)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const int iUserId = LoginGuest(Session(), m_Rec);
    EXPECT_EQ(iUserId, 1001);
    EXPECT_EQ(m_Rec.LobbyStatuses(), (std::vector<unsigned int>{2, 1, 3, 4, 5}));
    EXPECT_EQ(Last("OnLoggedIn"), "OnLoggedIn(1001,guest1001,t1001,,,0)");
    EXPECT_EQ(Narrow(Session()->GetLoginToken()), "t1001");
    // The access check digests the id, the game's secret, the token, the device and the release.
    CKorvelString strCheck;
    strCheck.Format(L"1001%st1001%s1", CKorvelString(CTestGameState::SECRET).GetBuffer(),
                    m_App.GetDevice()->GetDeviceInfo().m_strIMEI.GetBuffer());
    GenerateMD5(strCheck);
    EXPECT_EQ(Narrow(Session()->GetLoginCheck()), Narrow(strCheck));
    EXPECT_EQ(Session()->GetRelease(), 1);
    ASSERT_TRUE(WaitFor([this] { return In("GetThemePack").size() == 1; }));

    const std::vector<CTestJson> aConnection = In("Connection");
    ASSERT_EQ(aConnection.size(), 1u);
    const CTestJson& c = aConnection[0];
    const CVornDevice::sDEVICEINFO& info = m_App.GetDevice()->GetDeviceInfo();
    EXPECT_EQ(c["identification"].String(),
              "standalone-id:64;full-version:1;standalone-version:1.62;opengl:1;"
              "user-agent:" +
                  Narrow(info.m_strUserAgent) + ";frame-version:2.05;lang_code:en");
    EXPECT_EQ(c["model"].String(), Narrow(info.m_strModel));
    EXPECT_EQ(c["os_version"].String(), Narrow(info.m_strOSVersion));
    EXPECT_EQ(c["os_name"].String(), Narrow(info.m_strOSName));
    EXPECT_EQ(c["device_id"].String(), Narrow(info.m_strIMEI));
    EXPECT_EQ(c["reseller"].String(), "bb");
    EXPECT_EQ(c["width"].Int(), m_App.GetBack()->GetWidth());
    EXPECT_EQ(c["height"].Int(), m_App.GetBack()->GetHeight());
    EXPECT_GT(c["width"].Int(), 0);
    EXPECT_EQ(c["thirteen"].Int(), 13);

    const std::vector<CTestJson> aLogin = In("Login");
    ASSERT_EQ(aLogin.size(), 1u);
    EXPECT_EQ(aLogin[0]["user"].String(), "guest");
    EXPECT_EQ(aLogin[0]["hash"].String(), "0");
    EXPECT_EQ(aLogin[0]["one"].Int(), 1);
    EXPECT_EQ(aLogin[0]["text"].String(), "");
    // After the login: the languages, then the theme.
    std::vector<std::string> aAfter;
    const std::vector<std::string> aNames = InNames();
    for (size_t i = 0; i < aNames.size(); ++i)
        if (aNames[i] == "Login")
            aAfter.assign(aNames.begin() + static_cast<long>(i) + 1, aNames.end());
    EXPECT_EQ(aAfter, (std::vector<std::string>{"GetAvailableLanguages", "GetThemePack"}));
}

TEST_F(CVornNetworkSession, AccountLoginsWithKeyHashRetryAndStoredHash)
{
    ASSERT_NO_FATAL_FAILURE(Start({"--account", "alice:secret"}));
    ASSERT_TRUE(ConnectLobby(Session(), m_Rec));
    ASSERT_TRUE(Session()->RequestCredentials(CKorvelString("alice"), &m_Rec));
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnReceiveRandomKey") == 1; }));
    const std::string strLine = Last("OnReceiveRandomKey");
    const CKorvelString strKey(strLine.substr(19, strLine.size() - 20).c_str());

    // A wrong password: the server's text, status 4, the connection stays for a retry.
    ASSERT_TRUE(Session()->Login(CKorvelString("alice"),
                                 ::CVornNetworkSession::GeneratePasswordHash(CKorvelString("wrong"), strKey),
                                 &m_Rec));
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnLoginError") == 1; }));
    EXPECT_NE(Last("OnLoginError"), "OnLoginError()");
    EXPECT_EQ(Lobby(), 4u);
    EXPECT_EQ(Session()->GetLobbyPort(), m_pServer->LobbyPort());

    const CKorvelString strHash =
        ::CVornNetworkSession::GeneratePasswordHash(CKorvelString("secret"), strKey);
    ASSERT_TRUE(Session()->Login(CKorvelString("alice"), strHash, &m_Rec));
    ASSERT_TRUE(WaitFor([this] { return Lobby() == 5; }));
    EXPECT_TRUE(In("Login").back()["hash"].IsNull()); // the server's log never holds a hash

    // A remembered hash logs in straight away on another connection: refused while the first
    // session answers for the account, taken once it has logged out.
    CSessionRecorder& other = m_Rec2;
    ::CVornNetworkSession* pOther = AddSession(other);
    ASSERT_TRUE(ConnectLobby(pOther, other));
    ASSERT_TRUE(pOther->Login(CKorvelString("alice"), strHash, &other));
    ASSERT_TRUE(WaitFor([&other] { return other.Count("OnLoginError") == 1; }));
    EXPECT_NE(other.With("OnLoginError")[0].find("already playing"), std::string::npos)
        << other.With("OnLoginError")[0];
    EXPECT_EQ(Lobby(), 5u) << "the first session keeps its account";
    Session()->Logout();
    ASSERT_TRUE(WaitFor([this] { return In("Logout").size() == 1; }));
    ASSERT_TRUE(pOther->Login(CKorvelString("alice"), strHash, &other));
    ASSERT_TRUE(WaitFor([pOther] { return (pOther->GetStatus() & 0xFF) == 5; }));
    EXPECT_EQ(In("GetRandomKey").size(), 1u);
}

TEST_F(CVornNetworkSession, RegistrationExternalLoginAndTheOtherAccountMessages)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(ConnectLobby(Session(), m_Rec));
    Session()->SendConfirmUserName(CKorvelString("newbie"), &m_Rec);
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnUserNameConfirmed") == 1; }));
    const std::string strLine = Last("OnUserNameConfirmed");
    ASSERT_EQ(strLine.compare(0, 22, "OnUserNameConfirmed(0,"), 0) << strLine;
    const CKorvelString strKey(strLine.substr(22, strLine.size() - 23).c_str());
    const CKorvelString strHash =
        ::CVornNetworkSession::GeneratePasswordHash(CKorvelString("pass99"), strKey);
    Session()->SendConfirmEmail(CKorvelString("newbie"), CKorvelString("n@example.org"), strHash, 0,
                                CKorvelString(), CKorvelString(), &m_Rec);
    ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnEmailConfirmed") == 1; }));
    EXPECT_EQ(Last("OnEmailConfirmed"), "OnEmailConfirmed(0,newbie)");
    ASSERT_TRUE(Session()->Login(CKorvelString("newbie"), strHash, &m_Rec));
    ASSERT_TRUE(WaitFor([this] { return Lobby() == 5; }));

    // Messages without an answer still have to meet the server's schema.
    Session()->SendRegisterUser(CKorvelString("a"), CKorvelString("b"), CKorvelString("c"),
                                CKorvelString("d"), CKorvelString("e"), 3);
    Session()->SendRegisterEmail(CKorvelString("x@example.org"), CKorvelString("y"), &m_Rec);
    EXPECT_EQ(Session()->SendBindAccount(1, CKorvelString("p"), CKorvelString("q"), CKorvelString("r"),
                                         CKorvelString("s"), 2, &m_Rec),
              1u);
    ASSERT_TRUE(WaitFor([this] { return In("BindAccount").size() == 1; }));
    EXPECT_EQ(In("RegisterUser").size(), 1u);
    EXPECT_EQ(In("RegisterEmail").size(), 1u);

    CSessionRecorder& external = m_Rec2;
    ::CVornNetworkSession* pExternal = AddSession(external);
    ASSERT_TRUE(ConnectLobby(pExternal, external));
    ASSERT_TRUE(pExternal->LoginExternal(1, CKorvelString("abc"), CKorvelString("token"), CKorvelString(),
                                         CKorvelString("e@example.org"), &external));
    ASSERT_TRUE(WaitFor([pExternal] { return (pExternal->GetStatus() & 0xFF) == 5; }));
    EXPECT_EQ(external.Count("OnLoggedIn"), 1);
}

void KeyValueSeen(CKorvelString& strKey, CKorvelString& strValue, void* pUserData)
{
    static_cast<std::vector<std::string>*>(pUserData)->push_back(Narrow(strKey) + "=" + Narrow(strValue));
}

TEST_F(CVornNetworkSession, AKeyValueCallbackStaysRegistered)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(ConnectLobby(Session(), m_Rec));
    std::vector<std::string> aSeen;
    Session()->SendGetKeyValue(CKorvelString("guestLogin"), &KeyValueSeen, &aSeen);
    ASSERT_TRUE(WaitFor([&] { return aSeen.size() == 1; }));
    Session()->SendGetKeyValue(CKorvelString("guestLogin"), nullptr, nullptr);
    ASSERT_TRUE(WaitFor([&] { return aSeen.size() == 2; }));
    EXPECT_EQ(aSeen, (std::vector<std::string>{"guestLogin=1", "guestLogin=1"}));
}

TEST_F(CVornNetworkSession, LoginRefusalsGiveTheirTextsAndKeepTheConnection)
{
    // Wrong passwords of an account: the server lets the client try again on the connection.
    ASSERT_NO_FATAL_FAILURE(Start({"--account", "alice:secret"}));
    ASSERT_TRUE(ConnectLobby(Session(), m_Rec));
    m_pControl->Hold(6);
    struct sCASE
    {
        int iCode;
        std::string strText;
    };
    const sCASE aCases[] = {{-1, "Wrong password"}, {-2, SessionText(18)}, {-4, SessionText(31)},
                            {-7, SessionText(32)},  {-9, SessionText(12)}, {-8, "Banned"}};
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.iCode);
        m_Rec.m_aLines.clear();
        ASSERT_TRUE(Session()->Login(CKorvelString("alice"),
                                     CKorvelString("00000000000000000000000000000000"), &m_Rec));
        m_pControl->Send(LobbyConnection(), "login_ack_error",
                         "[" + std::to_string(c.iCode) + ", \"" +
                             (c.strText.compare(0, 5, "text ") ? c.strText : std::string("ignored")) + "\"]");
        ASSERT_TRUE(WaitFor([this] { return m_Rec.Count("OnLoginError") == 1; }));
        EXPECT_EQ(Last("OnLoginError"), "OnLoginError(" + c.strText + ")");
        EXPECT_EQ(Lobby(), 4u);
    }
    // An answer nobody waits for changes nothing.
    m_Rec.m_aLines.clear();
    m_pControl->Send(LobbyConnection(), "login_ack", "[1005, \"t\", \"late\"]");
    ASSERT_TRUE(WaitForHandled(LobbyConnection()));
    EXPECT_EQ(m_Rec.m_aLines, std::vector<std::string>());
    EXPECT_EQ(Lobby(), 4u);
    m_pControl->Release(6);
    Settle();
}

TEST_F(CVornNetworkSession, ARefusedConnectReportsAtTheNextFrameAndLoginNeedsAConnection)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Session()->Login(CKorvelString("guest"), CKorvelString("0"), &m_Rec), 0u);
    // Nothing listens on port 1 of the loopback.
    EXPECT_EQ(Session()->Connect(CKorvelString("127.0.0.1"), 1, &m_Rec), 0);
    EXPECT_EQ(Lobby(), 2u);
    EXPECT_EQ(m_Rec.Count("OnLoginError"), 0);
    Frame();
    EXPECT_EQ(m_Rec.With("OnLoginError"), (std::vector<std::string>{"OnLoginError(" + SessionText(3) + ")"}));
    EXPECT_EQ(Lobby(), 0u);
}

// ---- ConnectACK outcomes, sent through the control channel while the server's own is held

TEST_F(CVornNetworkSession, ConnectACKOutcomes)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_pControl->Hold(2);
    struct sCASE
    {
        std::string strArgs;
        bool bObserver;
        unsigned int uLobby;
        std::string strLogin;    // the login observer's line, if any
        std::string strRedirect; // the lobby state's line, if any
    };
    const std::string strHost254(254, 'h');
    const std::string strHost255(255, 'h');
    const sCASE aCases[] = {
        {"[-3, \"\", \"127.0.0.1:2000\"]", true, 1, "", "lobby.Redirect(127.0.0.1,2000)"},
        {"[-3, \"\", \"hostonly:\"]", true, 1, "", "lobby.Redirect(hostonly,0)"},
        {"[-3, \"\", \"" + strHost254 + ":\"]", true, 1, "", "lobby.Redirect(" + strHost254 + ",0)"},
        {"[-3, \"\", \"" + strHost255 + ":\"]", true, 0, "", ""},
        {"[-3, \"\", \"nocolon\"]", true, 0, "", ""},
        {"[-1, \"\", \"http://example.org/new\"]", true, 0, "OnNewVersionAvailable(http://example.org/new)",
         ""},
        {"[-2, \"Server full\", \"\"]", true, 0, "OnLoginError(Server full)", ""},
        {"[-2, \"Server full\", \"\"]", false, 0, "", ""},
        {"[0, \"\", \"\", 7]", true, 3, "", ""},
    };
    size_t uConnections = 0;
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.strArgs.substr(0, 40));
        m_Rec.m_aLines.clear();
        m_App.m_Log.Clear();
        ASSERT_EQ(Session()->Connect(CKorvelString("127.0.0.1"),
                                     static_cast<unsigned short>(m_pServer->LobbyPort()),
                                     c.bObserver ? &m_Rec : nullptr),
                  1);
        ++uConnections;
        ASSERT_TRUE(WaitFor([&] { return In("Connection").size() == uConnections; }));
        m_pControl->Send(LobbyConnection(), "connect_ack", c.strArgs);
        ASSERT_TRUE(WaitFor(
            [&] { return c.strRedirect.empty() ? Lobby() != 1 : m_App.m_Log.Count("lobby.Redirect") > 0; }));
        Settle();
        EXPECT_EQ(Lobby(), c.uLobby);
        EXPECT_EQ(m_Rec.With("OnLoginError").size() + m_Rec.With("OnNewVersionAvailable").size(),
                  c.strLogin.empty() ? 0u : 1u);
        if (!c.strLogin.empty())
        {
            EXPECT_EQ(m_Rec.With(c.strLogin.substr(0, c.strLogin.find('('))),
                      std::vector<std::string>{c.strLogin});
        }
        EXPECT_EQ(m_App.m_Log.With("lobby.Redirect"), c.strRedirect.empty()
                                                          ? std::vector<std::string>()
                                                          : std::vector<std::string>{c.strRedirect});
        if (!c.strRedirect.empty())
        {
            EXPECT_EQ(Session()->GetLobbyPort(), m_pServer->LobbyPort());
        }
    }
    EXPECT_EQ(Session()->GetRelease(), 7);
    EXPECT_EQ(Narrow(Session()->GetHttpQuery()), "&game=64&release=7&rid=bb");
}

TEST_F(CVornNetworkSession, ARefusingConnectACKDropsTheRestOfItsWrite)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    m_pControl->Hold(2);
    m_pControl->Hold(17);
    ASSERT_EQ(Session()->Connect(CKorvelString("127.0.0.1"),
                                 static_cast<unsigned short>(m_pServer->LobbyPort()), &m_Rec),
              1);
    std::vector<std::string> aSeen;
    Session()->SendGetKeyValue(CKorvelString("guestLogin"), &KeyValueSeen, &aSeen);
    ASSERT_TRUE(WaitFor([this] { return In("GetKeyValue").size() == 1; }));
    // ConnectACK -2 "Server full", then KeyValue guestLogin = 1, in one write.
    m_pControl->SendHex(LobbyConnection(), "A215800B5365727665722066756C6C8101FE82008301"
                                           "01B10F800A67756573744C6F67696E810131");
    ASSERT_TRUE(WaitFor([this] { return Lobby() == 0; }));
    Settle();
    EXPECT_EQ(m_Rec.With("OnLoginError"), (std::vector<std::string>{"OnLoginError(Server full)"}));
    EXPECT_EQ(aSeen, std::vector<std::string>());
}

} // namespace
