// The login controller against the project's lobby server: guest, account, remembered and
// external logins, name validation and registration (requests taking turns, a registration on
// a new connection), the server's refusals, and the automatic re-login after lost connections
// and redirects with its growing waits.
// KORVEL_GL_TEST
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "Framework/Lobby/LoginController.h"
#include "Framework/Session/asn1_hile_ids.h"
#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/VornStatistics.h"
#include "KorvelCommon/KorvelFile.h"
#include "support/SessionServerTest.h"
#include "support/TestText.h"

namespace
{

// Records the eight reports as lines "Name(arguments)".
class CRecordingController : public ::CLoginController
{
public:
    using ::CLoginController::ExternalLoginError;
    using ::CLoginController::OnLoginError;

    void OnLoginSuccessful(const CKorvelString& strUserName, const CKorvelString&,
                           unsigned int uJust) override
    {
        Add("OnLoginSuccessful(" + Narrow(strUserName) + "," + std::to_string(uJust) + ")");
    }
    void OnLoginError(const CKorvelString& strTitle, const CKorvelString& strMessage, int iFlags,
                      const CKorvelString* pLink) override
    {
        Add("OnLoginError(" + Narrow(strTitle) + "," + Narrow(strMessage) + "," + std::to_string(iFlags) +
            (pLink ? "," + Narrow(*pLink) : "") + ")");
    }
    void OnLoginCancelled() override { Add("OnLoginCancelled()"); }
    void OnLoginNewVersion(const CKorvelString& strLink) override
    {
        Add("OnLoginNewVersion(" + Narrow(strLink) + ")");
    }
    void OnLogout() override { Add("OnLogout()"); }
    void OnUserNameValidated(unsigned int uOk, const CKorvelString& strMessage) override
    {
        Add("OnUserNameValidated(" + std::to_string(uOk) + "," + Narrow(strMessage) + ")");
    }
    void OnAutoRelogin() override { Add("OnAutoRelogin()"); }
    void ForwardToGoogleLogin() override { Add("ForwardToGoogleLogin()"); }

    int Count(const std::string& strPrefix) const
    {
        int n = 0;
        for (const std::string& strLine : m_aLines)
            n += strLine.compare(0, strPrefix.size(), strPrefix) == 0 ? 1 : 0;
        return n;
    }
    std::string Last() const { return m_aLines.empty() ? "" : m_aLines.back(); }
    CKorvelString Password() const { return m_strPassword; }

    std::vector<std::string> m_aLines;

private:
    void Add(const std::string& strLine) { m_aLines.push_back(strLine); }
};

class CLoginController : public CSessionServerTest
{
protected:
    void SetUp() override { ::CLoginController::fReloginWaitingTime = 1.0f; }
    void TearDown() override
    {
        m_Controller.Shutdown();
        CSessionServerTest::TearDown();
    }

    bool PrepareAppFolder() override
    {
        const std::string strPort =
            m_strSettingsPort.empty() ? std::to_string(m_pServer->LobbyPort()) : m_strSettingsPort;
        return CSessionServerTest::PrepareAppFolder() &&
               m_App.WriteSettings("[NETWORK]\nserver=\"127.0.0.1\"\nport=" + strPort + "\n");
    }
    std::vector<std::string> LanguageTexts() override
    {
        std::vector<std::string> aTexts;
        for (int i = 0; i <= ::CLoginController::TEXT_REDIRECT_PORT; ++i)
            aTexts.push_back(SessionText(i));
        return aTexts;
    }

    // The server, the application and the controller.
    void StartAll(const std::vector<std::string>& aOptions = {})
    {
        ASSERT_NO_FATAL_FAILURE(Start(aOptions));
        ASSERT_EQ(m_Controller.Startup(&m_App), 1u);
        m_App.m_fnRedirect = [this](const CKorvelString& strHost, int iPort)
        { m_Controller.Redirect(strHost, iPort); };
    }
    bool WaitForReport(const std::string& strPrefix, int iCount = 1)
    {
        return WaitFor([&] { return m_Controller.Count(strPrefix) >= iCount; });
    }
    CVornStatisticsProperty* Stored(const char* pName)
    {
        return m_App.GetStatistics()->GetProperty(CKorvelString(pName));
    }
    std::string Lobby() const
    {
        CVornNetworkSession* pSession = m_App.GetNetworkSession();
        return pSession ? std::to_string(pSession->GetStatus() & 0xFF) : "none";
    }
    // The server's open lobby connections, the newest last.
    std::vector<std::string> Lobbies()
    {
        std::vector<std::string> aNames;
        const CTestJson answer = m_pControl->Connections();
        for (size_t i = 0; i < answer["connections"].Size(); ++i)
            if (answer["connections"][i]["kind"].String() == "lobby")
                aNames.push_back(answer["connections"][i]["conn"].String());
        return aNames;
    }
    void CloseLobbies()
    {
        for (const std::string& strConn : Lobbies())
            m_pControl->Close(strConn);
    }
    // The server's log lines of that event on that connection.
    int LinesOf(const std::string& strEvent, const std::string& strConn) const
    {
        int n = 0;
        for (const std::string& strLine : m_pServer->Lines(strEvent))
            n += strLine.find("\"conn\": \"" + strConn + "\"") != std::string::npos ? 1 : 0;
        return n;
    }

    // A session ended because the game cannot go on: said once on the lost-connection page,
    // the lobby connection closed (so the server ends a match or pairing for the opponent),
    // and the page stays until the player goes back: no login behind it.
    void ExpectSessionEndedOnTheLostPage()
    {
        ASSERT_TRUE(WaitForReport("OnLoginError"));
        EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 335,text 336,2)");
        EXPECT_EQ(Lobby(), "0");
        ASSERT_TRUE(WaitFor([&] { return !m_pServer->Lines("close").empty(); }));
        Frame(2.0f);
        ::CLoginController::ReloginTimer* pTimer = m_Controller.GetReloginTimer();
        ASSERT_NE(pTimer, nullptr);
        EXPECT_EQ(pTimer->GetRemaining(), 0.0f);
        EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 0);
        EXPECT_EQ(m_Controller.Count("OnLoginSuccessful"), 1);
        EXPECT_EQ(m_Controller.Count("OnLoginError"), 1);
    }

    CRecordingController m_Controller;
    std::string m_strSettingsPort; // empty: the server's
};

TEST_F(CLoginController, WithoutAStatisticsStoreStartupFails)
{
    CSessionTestApplication app; // never started: no store
    CRecordingController controller;
    EXPECT_EQ(controller.Startup(&app), 0u);
    EXPECT_EQ(controller.GetServerPort(), 5000);
    EXPECT_EQ(Narrow(controller.GetServerHost()), "127.0.0.1");
    controller.Shutdown();
}

TEST_F(CLoginController, GuestLoginSendsTheCounterInPlainAndCountsUp)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    EXPECT_EQ(m_Controller.GetServerPort(), static_cast<int>(m_pServer->LobbyPort()));
    m_Controller.LoginGuest();
    EXPECT_EQ(m_Controller.GetLoginStatus(), 1);
    m_Controller.LoginGuest(); // while one is in progress: nothing
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_EQ(m_Controller.GetLoginStatus(), 2);
    EXPECT_TRUE(m_Controller.IsGuestLogin());
    // An account or guest login names no external id: the login page gets no "guest".
    EXPECT_EQ(Narrow(m_Controller.GetCurrentUserName()), "");
    EXPECT_EQ(Narrow(m_App.GetVornUserName()), ""); // the lobby state is the shell's double
    const std::vector<CTestJson> aLogin = In("Login");
    ASSERT_EQ(aLogin.size(), 1u);
    EXPECT_EQ(aLogin[0]["user"].String(), "guest");
    EXPECT_EQ(aLogin[0]["hash"].String(), "0");
    EXPECT_EQ(In("GetRandomKey").size(), 0u);
    EXPECT_EQ(In("Connection").size(), 1u);
    EXPECT_EQ(Stored("__Vorn_GuestCounter")->m_iIntValue, 1);
    EXPECT_EQ(Stored("__Vorn_TimesLoggedIn")->m_iIntValue, 1);
    EXPECT_EQ(Narrow(Stored("__Vorn_UserName")->m_strStringValue), "");
    EXPECT_EQ(m_Controller.GetGuestLoginCount(), 1);
}

TEST_F(CLoginController, AccountLoginHashesWithTheKeyAndARememberedHashLogsInAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartAll({"--account", "alice:secret"}));
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("secret"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    ASSERT_EQ(In("GetRandomKey").size(), 1u);
    const std::vector<CTestJson> aKeys =
        m_pServer->Lines("out").empty() ? std::vector<CTestJson>() : In("Login");
    ASSERT_EQ(aKeys.size(), 1u);
    EXPECT_TRUE(aKeys[0]["hash"].IsNull()); // the server's log never holds a hash
    // The server took the one Login, so the hash the controller keeps is the one it sent.
    const std::string strHash = Narrow(m_Controller.Password());
    ASSERT_EQ(strHash.size(), 32u);
    EXPECT_EQ(strHash.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_FALSE(m_Controller.IsGuestLogin());
    EXPECT_EQ(Narrow(Stored("__Vorn_UserName")->m_strStringValue), "alice");
    EXPECT_EQ(Narrow(Stored("__Vorn_Password")->m_strStringValue), strHash);
    EXPECT_TRUE(m_Controller.GetAutoLogin());

    // The store as the next start reads it from its file, and a controller started on it.
    m_Controller.Logout();
    m_Controller.Shutdown();
    m_App.GetStatistics()->Shutdown();
    ASSERT_EQ(m_App.GetStatistics()->Startup(&m_App), KE_OK);
    CRecordingController next;
    ASSERT_EQ(next.Startup(&m_App), 1u);
    EXPECT_TRUE(next.GetAutoLogin());
    next.Relogin();
    ASSERT_TRUE(WaitFor([&] { return next.Count("OnLoginSuccessful") == 1; }));
    EXPECT_EQ(In("GetRandomKey").size(), 1u);
    ASSERT_EQ(In("Login").size(), 2u); // the remembered hash, accepted without a new key
    EXPECT_EQ(m_pServer->Lines("login").size(), 2u);
    next.Shutdown();
}

TEST_F(CLoginController, RefusedAndGuestLikeAccountLogins)
{
    ASSERT_NO_FATAL_FAILURE(StartAll({"--account", "alice:secret", "--account", "guest7:pw77"}));
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("wrong"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    const std::string strError = m_Controller.Last();
    EXPECT_EQ(strError.compare(0, 21, "OnLoginError(text 12,"), 0) << strError;
    EXPECT_NE(strError.find(",3)"), std::string::npos) << strError;
    EXPECT_NE(strError, "OnLoginError(text 12,,3)"); // the server's own text
    EXPECT_EQ(m_Controller.GetLoginStatus(), 0);

    // A name beginning with "guest" is an account on the wire and a guest here: not remembered.
    m_Controller.LoginKestrolund(CKorvelString("guest7"), CKorvelString("pw77"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_TRUE(m_Controller.IsGuestLogin());
    EXPECT_EQ(In("GetRandomKey").size(), 2u);
    EXPECT_EQ(Narrow(Stored("__Vorn_UserName")->m_strStringValue), "");
    EXPECT_EQ(Narrow(Stored("__Vorn_Password")->m_strStringValue), "");
}

TEST_F(CLoginController, NameValidationAndRegistration)
{
    ASSERT_NO_FATAL_FAILURE(StartAll({"--account", "taken:pw"}));
    struct sCASE
    {
        const char* pName;
        const char* pReport; // null: goes to the server
    };
    const sCASE aCases[] = {
        {"abc", "OnUserNameValidated(0,text 16)"},
        {"abcdefghijklmnop", "OnUserNameValidated(0,text 16)"},
        {"ab c", "OnUserNameValidated(0,text 17)"},
        {"ab.cd", "OnUserNameValidated(0,text 17)"},
        {"abcd", nullptr},
        {"abcdefghijklmno", nullptr},
    };
    size_t uSent = 0;
    for (const sCASE& c : aCases)
    {
        const size_t uReports = m_Controller.m_aLines.size();
        m_Controller.ValidateUserName(CKorvelString(c.pName));
        if (c.pReport)
        {
            EXPECT_EQ(m_Controller.Last(), c.pReport) << c.pName;
            continue;
        }
        ASSERT_TRUE(WaitFor([&] { return m_Controller.m_aLines.size() > uReports; })) << c.pName;
        EXPECT_EQ(m_Controller.Last(), "OnUserNameValidated(1,)") << c.pName;
        EXPECT_EQ(Narrow(m_Controller.GetLastValidatedUserName()), c.pName);
        ++uSent;
    }
    EXPECT_EQ(In("ConfirmUserName").size(), uSent);
    m_Controller.ValidateUserName(CKorvelString("taken"));
    ASSERT_TRUE(WaitFor(
        [&]
        {
            return In("ConfirmUserName").size() == uSent + 1 &&
                   m_Controller.Last() == "OnUserNameValidated(0,text 57)";
        }));

    // Registering the name last confirmed logs in with the key issued for it.
    m_Controller.ValidateUserName(CKorvelString("newbie"));
    ASSERT_TRUE(WaitFor([&] { return m_Controller.Last() == "OnUserNameValidated(1,)"; }));
    const CKorvelString strKey = m_Controller.GetRegisterPassword();
    m_Controller.RegisterKestrolund(CKorvelString("newbie"), CKorvelString("pass99"),
                                    CKorvelString("n@x.org"));
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_EQ(m_Controller.Last(), "OnLoginSuccessful(newbie,1)");
    const std::string strHash =
        Narrow(CVornNetworkSession::GeneratePasswordHash(CKorvelString("pass99"), strKey));
    ASSERT_EQ(In("ConfirmEmail").size(), 1u);
    EXPECT_EQ(In("Login").back()["user"].String(), "newbie");
    EXPECT_EQ(Narrow(m_Controller.Password()), strHash);
    EXPECT_TRUE(m_Controller.GetAutoLogin());

    // A refused registration (the name is taken meanwhile): text 21, auto-login off.
    m_Controller.RegisterKestrolund(CKorvelString("taken"), CKorvelString("pw"), CKorvelString("t@x.org"));
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    const std::string strRefusal = m_Controller.Last();
    EXPECT_EQ(strRefusal.compare(0, 21, "OnLoginError(text 21,"), 0) << strRefusal;
    EXPECT_NE(strRefusal.find(",3)"), std::string::npos);
    EXPECT_FALSE(m_Controller.GetAutoLogin());
}

// The session keeps one observer for a login-type answer: requests take turns, and an answer
// counts only for the name it was asked for. The server keeps a name's key with the connection
// that asked for it: a registration on a new connection asks for the name again.
TEST_F(CLoginController, ANameCheckAnswersItsOwnNameAndARegistrationAsksForItsKeyOnItsOwnConnection)
{
    ASSERT_NO_FATAL_FAILURE(StartAll({"--account", "taken:pw"}));
    const auto Closed = [&]
    {
        CloseLobbies();
        ASSERT_TRUE(WaitFor([&] { return Lobby() == "0"; }));
    };
    m_Controller.Connect();
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "3"; }));

    // Another name while the first one's answer is awaited: asked once that answer came, which
    // changes nothing; "taken" answers after the ones before it. A check withdrawn (its page
    // went back) changes nothing either; a login waits its turn behind it.
    m_Controller.ValidateUserName(CKorvelString("first1"));
    m_Controller.ValidateUserName(CKorvelString("second2"));
    m_Controller.ValidateUserName(CKorvelString("taken"));
    ASSERT_TRUE(WaitForReport("OnUserNameValidated"));
    m_Controller.ValidateUserName(CKorvelString("third3"));
    m_Controller.WithdrawUserNameCheck();
    m_Controller.LoginKestrolund(CKorvelString("taken"), CKorvelString("pw"), 0);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    m_Controller.Logout();
    m_Controller.Connect();
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "3"; }));
    m_Controller.ValidateUserName(CKorvelString("newbie"));
    ASSERT_TRUE(WaitForReport("OnUserNameValidated", 2));
    const std::vector<std::string> aReports = {"OnUserNameValidated(0,text 57)", "OnLoginSuccessful(taken,0)",
                                               "OnLogout()", "OnUserNameValidated(1,)"};
    EXPECT_EQ(m_Controller.m_aLines, aReports);
    EXPECT_EQ(Narrow(m_Controller.GetLastValidatedUserName()), "newbie");

    // The connection closes with nothing awaited: nothing to say.
    ASSERT_NO_FATAL_FAILURE(Closed());
    EXPECT_EQ(m_Controller.m_aLines, aReports);
    // Refused (an address the server takes for none), then again: hashed with the key each
    // time, and a second press while the answer is awaited sends nothing.
    m_Controller.RegisterKestrolund(CKorvelString("newbie"), CKorvelString("pass99"),
                                    CKorvelString("n b@x.org"));
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 21,text 24,3)");
    EXPECT_EQ(In("ConfirmUserName").back()["name"].String(), "newbie") << "asked again on the new connection";
    m_Controller.RegisterKestrolund(CKorvelString("newbie"), CKorvelString("pass99"),
                                    CKorvelString("n@x.org"));
    m_Controller.RegisterKestrolund(CKorvelString("newbie"), CKorvelString("pass99"),
                                    CKorvelString("n@x.org"));
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful", 2));
    EXPECT_EQ(m_Controller.Last(), "OnLoginSuccessful(newbie,1)");
    // The password registered is the one typed: it logs in.
    m_Controller.LoginKestrolund(CKorvelString("newbie"), CKorvelString("pass99"), 0);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful", 3));
    EXPECT_EQ(m_Controller.Last(), "OnLoginSuccessful(newbie,0)");
    EXPECT_EQ(In("ConfirmEmail").size(), 2u);

    // Asked again on a new connection, the name is taken by now: refused as the server refuses
    // a registration of a taken name.
    m_Controller.Logout();
    m_Controller.RegisterKestrolund(CKorvelString("newbie"), CKorvelString("pass99"),
                                    CKorvelString("n2@x.org"));
    ASSERT_TRUE(WaitFor([&] { return m_Controller.Last() == "OnLoginError(text 21,text 22,3)"; }));

    // The connection closes while an answer is awaited: the newest name (the check that waited its
    // turn) goes out once more, on a new connection. Closed there too, it is said at once, not
    // waited for.
    m_pControl->Hold(108);
    m_Controller.ValidateUserName(CKorvelString("waiter1"));
    m_Controller.ValidateUserName(CKorvelString("waiter2"));
    ASSERT_TRUE(WaitFor([&] { return In("ConfirmUserName").back()["name"].String() == "waiter1"; }));
    const std::vector<std::string> aFirst = Lobbies();
    CloseLobbies();
    ASSERT_TRUE(WaitFor([&] { return In("ConfirmUserName").back()["name"].String() == "waiter2"; }));
    EXPECT_NE(Lobbies(), aFirst);
    EXPECT_EQ(m_Controller.Count("OnLoginError"), 2) << "nothing said yet";
    ASSERT_NO_FATAL_FAILURE(Closed());
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 335,text 336,2)");
    m_pControl->Release(108);

    // Withdrawn while its connection is being made: nothing goes out.
    m_Controller.ValidateUserName(CKorvelString("gone1"));
    m_Controller.WithdrawUserNameCheck();
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "3"; }));
    // Pressed again while the new connection waits for the server to accept it: the newest
    // name goes out once accepted, once.
    ASSERT_NO_FATAL_FAILURE(Closed());
    m_pControl->Hold(2);
    m_Controller.ValidateUserName(CKorvelString("early1"));
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "1"; }));
    m_Controller.ValidateUserName(CKorvelString("later2"));
    m_pControl->Release(2);
    ASSERT_TRUE(WaitForReport("OnUserNameValidated(1", 2));
    m_Controller.ValidateUserName(CKorvelString("taken"));
    ASSERT_TRUE(WaitForReport("OnUserNameValidated(0", 2));
    // second2 gave way to taken before it went out; waiter2 and gone1 never went.
    std::vector<std::string> aAsked;
    for (const CTestJson& message : In("ConfirmUserName"))
        aAsked.push_back(message["name"].String());
    EXPECT_EQ(aAsked, (std::vector<std::string>{"first1", "taken", "third3", "newbie", "newbie", "newbie",
                                                "waiter1", "waiter2", "later2", "taken"}));

    // The web login's registration too connects again (this server takes none of them).
    ASSERT_NO_FATAL_FAILURE(Closed());
    m_Controller.RegisterExternal(CKorvelString("webber"), CKorvelString("77"), CKorvelString("tok"));
    ASSERT_TRUE(WaitFor([&] { return m_Controller.Last() == "OnLoginError(text 21,text 25,3)"; }));
    EXPECT_EQ(In("ConfirmEmail").back()["login_type"].Int(), 2);
}

// The server closes a connection that has not logged in (by its deadline, here by the control
// channel), also while a request or its answer is on its way: the request goes out once more on a
// new connection, unseen by the player, and nothing is done twice.
TEST_F(CLoginController, ARequestBeforeLoginThatMeetsTheServersCloseGoesOutOnceMoreOnANewConnection)
{
    ASSERT_NO_FATAL_FAILURE(StartAll({"--account", "player1:secret1"}));
    // The answer held on a new connection (strHeldOn) and the request made.
    std::string strHeldOn;
    const auto AnswerHeld = [&](int iAnswer, const std::function<void()>& fnRequest)
    {
        m_Controller.m_aLines.clear();
        m_Controller.Connect();
        ASSERT_TRUE(WaitFor([&] { return Lobby() == "3"; }));
        strHeldOn = Lobbies().back();
        m_pControl->Hold(iAnswer, sLOBBY_TARGET(strHeldOn));
        fnRequest();
        ASSERT_TRUE(WaitFor([&] { return LinesOf("held", strHeldOn) == 1; }));
    };
    // Then the connection closed by the server before the answer. (A login deadline would close it
    // too, but it would also close the new connection of a retry that a loaded machine makes slowly.)
    const auto ClosedBeforeTheAnswer = [&](int iAnswer, const std::function<void()>& fnRequest)
    {
        ASSERT_NO_FATAL_FAILURE(AnswerHeld(iAnswer, fnRequest));
        m_pControl->Close(strHeldOn);
        ASSERT_TRUE(WaitFor([&] { return LinesOf("close", strHeldOn) == 1; }));
    };
    const auto Login = [&]
    { m_Controller.LoginKestrolund(CKorvelString("player1"), CKorvelString("secret1"), 0); };
    const auto Registered = [&](const char* pName, const char* pEmail)
    {
        m_Controller.ValidateUserName(CKorvelString(pName));
        ASSERT_TRUE(WaitForReport("OnUserNameValidated(1"));
        m_Controller.RegisterKestrolund(CKorvelString(pName), CKorvelString("pw1234"), CKorvelString(pEmail));
    };

    // A name check, as the name page's Continue sends it.
    ASSERT_NO_FATAL_FAILURE(ClosedBeforeTheAnswer(
        eMSG_CONFIRM_USER_NAME_ACK, [&] { m_Controller.ValidateUserName(CKorvelString("late1")); }));
    ASSERT_TRUE(WaitForReport("OnUserNameValidated"));
    EXPECT_EQ(m_Controller.m_aLines, std::vector<std::string>{"OnUserNameValidated(1,)"});
    EXPECT_EQ(In("ConfirmUserName").size(), 2u);

    // An account login's key, then its Login: sent again with the same hash, no key asked again.
    ASSERT_NO_FATAL_FAILURE(ClosedBeforeTheAnswer(eMSG_RANDOM_KEY, Login));
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_EQ(m_Controller.m_aLines, std::vector<std::string>{"OnLoginSuccessful(player1,0)"});
    EXPECT_EQ(In("GetRandomKey").size(), 2u);
    m_Controller.Logout();
    ASSERT_NO_FATAL_FAILURE(ClosedBeforeTheAnswer(eMSG_LOGIN_ACK, Login));
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_EQ(m_Controller.m_aLines, std::vector<std::string>{"OnLoginSuccessful(player1,0)"});
    EXPECT_EQ(In("GetRandomKey").size(), 3u);
    EXPECT_EQ(In("Login").size(), 3u);
    m_Controller.Logout();

    // A registration whose answer was lost once the account was made: a login with its name and
    // password finds the account, which is not registered again, also when Create an account is
    // pressed again while the new connection waits to be accepted.
    ASSERT_NO_FATAL_FAILURE(ClosedBeforeTheAnswer(eMSG_CONFIRM_EMAIL_ACK,
                                                  [&]
                                                  {
                                                      Registered("maker1", "m@x.org");
                                                      m_pControl->Hold(eMSG_CONNECT_ACK);
                                                  }));
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "1"; }));
    m_Controller.RegisterKestrolund(CKorvelString("maker1"), CKorvelString("pw1234"),
                                    CKorvelString("m@x.org"));
    m_pControl->Release(eMSG_CONNECT_ACK);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_EQ(m_Controller.m_aLines,
              (std::vector<std::string>{"OnUserNameValidated(1,)", "OnLoginSuccessful(maker1,1)"}));
    EXPECT_EQ(In("ConfirmEmail").size(), 1u);
    EXPECT_EQ(m_pServer->Lines("registered").size(), 1u);
    EXPECT_EQ(Narrow(m_Controller.GetUserName()), "maker1") << "remembered as a registration is";
    m_Controller.Logout();

    // One lost before an account was made (the server refused the address): no account has its
    // name and password, so it goes out again from its name check, and the server's answer is said.
    ASSERT_NO_FATAL_FAILURE(
        ClosedBeforeTheAnswer(eMSG_CONFIRM_EMAIL_ACK, [&] { Registered("maker2", "m b@x.org"); }));
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    EXPECT_EQ(m_Controller.m_aLines,
              (std::vector<std::string>{"OnUserNameValidated(1,)", "OnLoginError(text 21,text 24,3)"}));
    EXPECT_EQ(In("ConfirmEmail").size(), 3u);
    EXPECT_EQ(m_pServer->Lines("registered").size(), 1u);

    // A connection the controller closes itself while an answer is awaited (the player logs out
    // during a login) is not made again.
    ASSERT_NO_FATAL_FAILURE(AnswerHeld(eMSG_LOGIN_ACK, Login));
    const int iSessions = m_App.m_iSessionsMade;
    m_Controller.Logout();
    EXPECT_EQ(m_App.m_iSessionsMade, iSessions);
    EXPECT_EQ(Lobby(), "0");
    EXPECT_EQ(m_Controller.m_aLines, std::vector<std::string>{"OnLogout()"});

    // The web login's registration is not sent twice: its answer lost, the page says so.
    ASSERT_NO_FATAL_FAILURE(ClosedBeforeTheAnswer(
        eMSG_CONFIRM_EMAIL_ACK,
        [&] {
            m_Controller.RegisterExternal(CKorvelString("webber"), CKorvelString("77"), CKorvelString("tok"));
        }));
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    EXPECT_EQ(m_Controller.m_aLines, std::vector<std::string>{"OnLoginError(text 335,text 336,2)"});
    EXPECT_EQ(In("ConfirmEmail").size(), 4u);

    // A registration whose new connection cannot be made (redirected meanwhile to a port outside
    // the range) is said, and a press of Create an account is answered again.
    ASSERT_NO_FATAL_FAILURE(ClosedBeforeTheAnswer(eMSG_CONFIRM_EMAIL_ACK,
                                                  [&]
                                                  {
                                                      Registered("maker3", "m3@x.org");
                                                      m_Controller.Redirect(CKorvelString("127.0.0.1"), -1);
                                                      m_Controller.ResetReloginTimer(
                                                          0.0f, ::CLoginController::RELOGIN_CONNECT);
                                                  }));
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 14,text 338,2)");
    m_Controller.RegisterKestrolund(CKorvelString("maker3"), CKorvelString("pw1234"),
                                    CKorvelString("m3@x.org"));
    EXPECT_EQ(m_Controller.Count("OnLoginError(text 14,text 338,2)"), 2);
}

TEST_F(CLoginController, ARegistrationWhileLoggedInReplacesTheSessionThatDeliveredIt)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    m_Controller.ValidateUserName(CKorvelString("upgrader"));
    ASSERT_TRUE(WaitFor([&] { return m_Controller.Last() == "OnUserNameValidated(1,)"; }));
    const int iMade = m_App.m_iSessionsMade;
    m_Controller.RegisterKestrolund(CKorvelString("upgrader"), CKorvelString("pw1234"),
                                    CKorvelString("u@x.org"));
    // The confirmation logs the guest out and a new session in, from inside the old one's
    // delivery: the old one waits for the next frame to be deleted.
    ASSERT_TRUE(WaitFor([&] { return m_App.m_iSessionsMade == iMade + 1; }));
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful", 2));
    EXPECT_EQ(m_Controller.Last(), "OnLoginSuccessful(upgrader,1)");
    EXPECT_EQ(m_Controller.Count("OnLogout"), 1);
    EXPECT_FALSE(m_Controller.IsGuestLogin());
    Frame();
    EXPECT_EQ(m_App.m_RetiredSessions.GetCount(), 0);
    EXPECT_EQ(In("Logout").size(), 1u);
}

TEST_F(CLoginController, RefusedRegistrationResultsNameTheirTexts)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.ValidateUserName(CKorvelString("somebody"));
    ASSERT_TRUE(WaitFor([&] { return m_Controller.Last() == "OnUserNameValidated(1,)"; }));
    m_pControl->Hold(110);
    const struct
    {
        int iResult;
        const char* pReport;
    } aCases[] = {{-1, "OnLoginError(text 21,text 22,3)"},
                  {-2, "OnLoginError(text 21,text 23,3)"},
                  {-3, "OnLoginError(text 21,text 24,3)"},
                  {-9, "OnLoginError(text 21,text 25,3)"}};
    for (const auto& c : aCases)
    {
        m_Controller.SetAutoLogin(1);
        // The server's own answer is held back; this one stands in for it.
        const size_t uSent = In("ConfirmEmail").size();
        m_Controller.RegisterKestrolund(CKorvelString("somebody"), CKorvelString("pw"),
                                        CKorvelString("s@x.org"));
        ASSERT_TRUE(WaitFor([&] { return In("ConfirmEmail").size() > uSent; }));
        m_pControl->Send("L1", "confirm_email_ack", "[" + std::to_string(c.iResult) + ", \"\"]");
        ASSERT_TRUE(WaitFor([&] { return m_Controller.Last() == c.pReport; })) << c.iResult;
        EXPECT_FALSE(Stored("__Vorn_AutoLogin")->m_uBoolValue);
    }
}

TEST_F(CLoginController, ExternalLogins)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.LoginExternal(CKorvelString("abc"), CKorvelString(), 1);
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 12,text 29,2)");
    m_Controller.LoginExternal(CKorvelString("abc"), CKorvelString("token"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_EQ(In("ExternalLogin").size(), 1u);
    EXPECT_EQ(m_Controller.GetLoginType(), ::CLoginController::LOGIN_EXTERNAL);
    EXPECT_EQ(Stored("__Vorn_LastLoginType")->m_iIntValue, 1);
    EXPECT_TRUE(m_Controller.GetAutoLogin());

    // The web login without its token goes to the web page and sends nothing.
    m_Controller.SetLoginType(::CLoginController::LOGIN_WEB);
    m_Controller.ExternalLoginError(0, CKorvelString("t"), CKorvelString("m"), 1);
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(t,m,1)");
    m_Controller.ExternalLoginError(1, CKorvelString("t"), CKorvelString("m"), 1);
    EXPECT_EQ(m_Controller.Last(), "OnLoginCancelled()");
    m_Controller.Logout();
    m_Controller.Shutdown();
    CRecordingController web;
    ASSERT_EQ(web.Startup(&m_App), 1u);
    EXPECT_EQ(web.GetLoginType(), ::CLoginController::LOGIN_WEB);
    web.Relogin();
    ASSERT_TRUE(WaitFor([&] { return web.Count("ForwardToGoogleLogin") == 1; }));
    Settle();
    EXPECT_EQ(In("ExternalLogin").size(), 1u);
    EXPECT_EQ(In("Login").size(), 0u);
    web.Shutdown();
}

TEST_F(CLoginController, AClosedPortIsAConnectionError)
{
    m_strSettingsPort = "1"; // nothing listens there
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.LoginGuest();
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 14,text 3,2)");
    m_Controller.Logout();
    m_Controller.Shutdown();
}

// 70000 would wrap around to 4464: refused with a text naming the setting, and likewise a
// redirect's port, without a connection.
TEST_F(CLoginController, PortsOutsideTheRangeAreRefusedNamingTheSettingOrTheRedirect)
{
    m_strSettingsPort = "70000";
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.LoginGuest();
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 14,text 337,2)");
    EXPECT_EQ(Lobby(), "0");
    m_Controller.Shutdown();
}

TEST_F(CLoginController, ARedirectToAPortOutsideTheRangeIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_pControl->Hold(2);
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitFor([&] { return In("Connection").size() == 1; }));
    m_pControl->Send("L1", "connect_ack", "[-3, \"\", \"127.0.0.1:-1\"]");
    ::CLoginController::ReloginTimer* pTimer = m_Controller.GetReloginTimer();
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    Frame(1.0f);
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 14,text 338,2)");
    EXPECT_EQ(In("Connection").size(), 1u);
    m_Controller.Logout();
}

TEST_F(CLoginController, ANewVersionReportsItsLink)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_pControl->Hold(2);
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitFor([&] { return In("Connection").size() == 1; }));
    m_pControl->Send("L1", "connect_ack", "[-1, \"\", \"http://example.org/new\"]");
    ASSERT_TRUE(WaitForReport("OnLoginNewVersion"));
    EXPECT_EQ(m_Controller.Last(), "OnLoginNewVersion(http://example.org/new)");
}

// A server that answers with bytes that are no message: the login hears of the lost
// connection at once and no attempt follows by itself, whether the garbage comes before
// the server accepted the connection or in place of the login's answer.
TEST_F(CLoginController, GarbageFromTheServerIsAConnectionErrorAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    ::CLoginController::ReloginTimer* pTimer = m_Controller.GetReloginTimer();
    struct sCASE
    {
        const char* pWhen;
        int iHeld; // the answer held back, in whose place the garbage comes
        const char* pWaitFor;
    };
    for (const sCASE& c : {sCASE{"before ConnectACK", 2, "Connection"}, sCASE{"before LoginACK", 6, "Login"}})
    {
        SCOPED_TRACE(c.pWhen);
        m_Controller.m_aLines.clear();
        m_pControl->Hold(c.iHeld);
        m_Controller.LoginGuest();
        ASSERT_TRUE(WaitFor([&] { return In(c.pWaitFor).size() == 1; }));
        const CTestJson answer = m_pControl->Connections();
        m_pControl->SendHex(answer["connections"][answer["connections"].Size() - 1]["conn"].String(),
                            "A5850000000001");
        ASSERT_TRUE(WaitForReport("OnLoginError"));
        EXPECT_EQ(m_Controller.m_aLines, std::vector<std::string>{"OnLoginError(text 12,text 336,3)"});
        EXPECT_EQ(Lobby(), "0");
        EXPECT_EQ(pTimer->GetRemaining(), 0.0f);
        for (int i = 0; i < 12; ++i)
            Frame(1.0f);
        EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 0);
        m_pControl->Release(c.iHeld);
    }
}

// ---- automatic re-login

TEST_F(CLoginController, ALostConnectionLogsInAgainWithGrowingWaits)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    ::CLoginController::ReloginTimer* pTimer = m_Controller.GetReloginTimer();
    ASSERT_NE(pTimer, nullptr);

    // Lost while logged in: the first attempt after 1 s of frame time.
    m_pControl->Close("L1");
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    EXPECT_EQ(pTimer->GetRemaining(), 1.0f);
    Frame(0.5f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 0);
    Frame(0.5f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful", 2));
    EXPECT_EQ(::CLoginController::fReloginWaitingTime, 1.0f);
    EXPECT_EQ(In("Login").size(), 2u);

    // The server takes no connections: the next attempt comes 10 s later.
    m_pControl->Command("{\"cmd\": \"listen\", \"on\": false}");
    m_pControl->Close("L2");
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    Frame(1.0f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 2);
    // A player who was logged in is told the connection was lost, not that the server is unknown.
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 335,text 336,2)");
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    EXPECT_EQ(pTimer->GetRemaining(), 10.0f);
    Frame(9.0f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 2);
    m_pControl->Command("{\"cmd\": \"listen\", \"on\": true}");
    Frame(1.0f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 3);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful", 3));
    EXPECT_EQ(::CLoginController::fReloginWaitingTime, 1.0f);

    // Lost while logged out: the timer is disarmed.
    m_Controller.Logout();
    m_Controller.Connect();
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "3"; }));
    m_pControl->Close("L4");
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "0"; }));
    EXPECT_EQ(pTimer->GetRemaining(), 0.0f);
    EXPECT_EQ(pTimer->m_uRegistered, 0u);
}

TEST_F(CLoginController, AMatchWhoseGameConnectionCannotOpenEndsTheSessionAndSaysSoAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    // Paired with a game server where nothing listens, as with no descriptor left for it.
    m_pControl->Send(sLOBBY_TARGET::Lobby(1001), "game_start",
                     "[7, [[1001, \"a\"], [1002, \"b\"]], 1, \"127.0.0.1:1\"]");
    ASSERT_NO_FATAL_FAILURE(ExpectSessionEndedOnTheLostPage());
}

TEST_F(CLoginController, AFileThatCannotOpenForWantOfADescriptorEndsTheSessionAndSaysSo)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    const std::string strLoggedIn = Lobby();
    CKorvelFile file;
    // A file that is not there is the caller's to handle: nothing ends.
    EXPECT_EQ(file.OpenFromFile(CKorvelString(m_App.AppFile("missing.kmp").c_str()), CKorvelFile::FLAG_READ),
              KE_ERR_FILEOPEN);
    Settle();
    EXPECT_EQ(Lobby(), strLoggedIn);
    EXPECT_EQ(m_Controller.Count("OnLoginError"), 0);

    // The process at its descriptor limit, as the game is at a low ulimit -n: one open of a
    // file that is there, under a limit at the lowest free descriptor.
    const int iLowestFree = dup(0);
    ASSERT_GE(iLowestFree, 0);
    close(iLowestFree);
    rlimit saved = {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit limit = saved;
    limit.rlim_cur = static_cast<rlim_t>(iLowestFree);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    const KE_RETVAL iOpened =
        file.OpenFromFile(CKorvelString(m_App.AppFile("settings.txt").c_str()), CKorvelFile::FLAG_READ);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(iOpened, KE_ERR_FILEOPEN);

    ASSERT_NO_FATAL_FAILURE(ExpectSessionEndedOnTheLostPage());

    // Told once: the player's next login stays.
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful", 2));
    Frame(1.0f);
    Settle();
    EXPECT_EQ(Lobby(), strLoggedIn);
    EXPECT_EQ(m_Controller.Count("OnLoginError"), 1);
}

TEST_F(CLoginController, ARedirectLogsInAgainWhileLoggingInAndOnlyReconnectsWhenLoggedOut)
{
    ASSERT_NO_FATAL_FAILURE(StartAll());
    CLobbyServerProcess second(m_App.Dir() + "/second.jsonl");
    ASSERT_TRUE(second.Start());
    CLobbyServerControl secondControl(second.ControlPort());
    auto Target = [](unsigned int uPort) { return "\"127.0.0.1:" + std::to_string(uPort) + "\""; };

    // Logging in: a full login there after the wait. The first server's session goes.
    m_pControl->Hold(2);
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitFor([&] { return In("Connection").size() == 1; }));
    m_pControl->Send("L1", "connect_ack", "[-3, \"\", " + Target(second.LobbyPort()) + "]");
    ::CLoginController::ReloginTimer* pTimer = m_Controller.GetReloginTimer();
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    EXPECT_EQ(pTimer->GetType(), ::CLoginController::RELOGIN_LOGIN);
    const int iMade = m_App.m_iSessionsMade;
    Frame(1.0f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    EXPECT_EQ(second.Lines("login").size(), 1u);
    EXPECT_EQ(In("Login").size(), 0u);
    EXPECT_EQ(m_App.m_iSessionsMade, iMade + 1);
    Frame();
    EXPECT_EQ(m_App.m_RetiredSessions.GetCount(), 0);

    // Logged out: only a new connection to where the next redirect points.
    m_Controller.Logout();
    m_pControl->Release(2);
    secondControl.Hold(2);
    m_Controller.Connect();
    ASSERT_TRUE(WaitFor([&] { return secondControl.Connections()["connections"].Size() == 1; }));
    const std::string strConn = secondControl.Connections()["connections"][0]["conn"].String();
    secondControl.Send(strConn.c_str(), "connect_ack", "[-3, \"\", " + Target(m_pServer->LobbyPort()) + "]");
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    EXPECT_EQ(pTimer->GetType(), ::CLoginController::RELOGIN_CONNECT);
    Frame(1.0f);
    ASSERT_TRUE(WaitFor([&] { return Lobby() == "3"; }));
    EXPECT_EQ(In("Connection").size(), 2u);
    EXPECT_EQ(In("Login").size(), 0u);
    EXPECT_EQ(second.Lines("login").size(), 1u);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 1);
    m_Controller.Logout();
    second.Stop();
    EXPECT_EQ(second.Complaints(), std::vector<std::string>());
}

// Another window took the account while the connection was cut: the automatic re-login is
// refused with the server's own text, said once, and not tried again. Nor is a forgotten
// password offered for recovery, however the login was made.
TEST_F(CLoginController, AReloginRefusedForAnAccountPlayingElsewhereIsSaidAndNotTriedAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartAll({"--account", "alice:secret"}));
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("secret"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful"));
    m_pControl->Close("L1");
    ::CLoginController::ReloginTimer* pTimer = m_Controller.GetReloginTimer();
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    ::CVornNetworkSession* pOther = AddSession(m_Rec2);
    ASSERT_TRUE(ConnectLobby(pOther, m_Rec2));
    ASSERT_TRUE(pOther->Login(CKorvelString("alice"), m_Controller.Password(), &m_Rec2));
    ASSERT_TRUE(WaitFor([&] { return (pOther->GetStatus() & 0xFF) == 5; }));

    Frame(1.0f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 1);
    ASSERT_TRUE(WaitForReport("OnLoginError"));
    // Try again, without the recovery of a forgotten password.
    EXPECT_EQ(
        m_Controller.Last(),
        "OnLoginError(text 12,This account is already playing in another window or on another device.,2)");
    for (int i = 0; i < 12; ++i)
        Frame(1.0f);
    EXPECT_EQ(m_Controller.Count("OnAutoRelogin"), 1);
    EXPECT_EQ(m_Controller.Count("OnLoginError"), 1);
    EXPECT_EQ(pTimer->GetRemaining(), 0.0f);
    EXPECT_EQ(pOther->GetStatus() & 0xFF, 5u);
    EXPECT_EQ(m_pServer->Lines("login").size(), 2u);

    // The same refusal of a login by hand, and of one made from a guest's session, offers Try
    // again alone; a wrong password on the same connection keeps the recovery.
    const std::string strInUse =
        "OnLoginError(text 12,This account is already playing in another window or on another device.,2)";
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("secret"), 0);
    ASSERT_TRUE(WaitForReport("OnLoginError", 2));
    EXPECT_EQ(m_Controller.Last(), strInUse);
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("wrong"), 0);
    ASSERT_TRUE(WaitForReport("OnLoginError", 3));
    EXPECT_NE(m_Controller.Last().find(",3)"), std::string::npos) << m_Controller.Last();
    // Nor does an earlier refusal colour a later error of another kind (a key that is none).
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("secret"), 0);
    ASSERT_TRUE(WaitForReport("OnLoginError", 4));
    EXPECT_EQ(m_Controller.Last(), strInUse);
    // The server's own key is held back for good on this connection, which the next login
    // replaces.
    const std::string strConn = Lobbies().back();
    m_pControl->Hold(eMSG_RANDOM_KEY, strConn);
    const size_t uKeysAsked = In("GetRandomKey").size();
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("secret"), 0);
    ASSERT_TRUE(WaitFor([&] { return In("GetRandomKey").size() == uKeysAsked + 1; }));
    m_pControl->Send(strConn, "random_key", "[\"\"]");
    ASSERT_TRUE(WaitForReport("OnLoginError", 5));
    EXPECT_EQ(m_Controller.Last(), "OnLoginError(text 12,text 18,3)");
    m_Controller.LoginGuest();
    ASSERT_TRUE(WaitForReport("OnLoginSuccessful", 2));
    m_Controller.LoginKestrolund(CKorvelString("alice"), CKorvelString("secret"), 0);
    ASSERT_TRUE(WaitForReport("OnLoginError", 6));
    EXPECT_EQ(m_Controller.Last(), strInUse);
    EXPECT_EQ(m_Controller.Count("OnLogout"), 2) << "the re-login's and the guest's";
}

} // namespace
