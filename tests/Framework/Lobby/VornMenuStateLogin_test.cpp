// The lobby's login side against the project's lobby server: the account checks, typed
// input of one frame in its order, the guest-login key, the first launch, a guest login by a press on its
// button with the requests that follow, the error page, the web login's handlers, every button
// before login after the server closed the idle connection, the name page's answers and way
// back, and the longest address typed whole. KORVEL_GL_TEST
#include "VornMenuStateTest.h"

#include <algorithm>
#include <filesystem>

#include "Framework/UI/WebButton.h"
#include "Framework/UI/WebView.h"
#include "KorvelCommon/KorvelRandom.h"
#include "PlatformControl.h"
#include "PlatformDeviceInfoControl.h"
#include "PlatformNavigator.h"
#include "support/BuiltAppFolder.h"
#include "support/TestMedia.h"
#include "support/TestShellPacks.h"

using namespace menu_state_test;

namespace
{

const int KEY_VALUE = 17;
const int LOGIN_ACK = 6;
const int CONNECT_ACK = 2;
const int CONFIRM_USER_NAME_ACK = 108;
// The engine's pace at rest: a frame every 250 ms.
const int IDLE_FRAMES_A_SECOND = 4;

// A web view that reports the cookie the test sets and records what the lobby asks of it.
class CTestWebView : public CWebView
{
public:
    void OpenUrl(const CKorvelString& strUrl) override { m_aCalls.push_back("open " + Narrow(strUrl)); }
    void LoadText(const CKorvelString& strText) override { m_aCalls.push_back("load " + Narrow(strText)); }
    CKorvelString GetText() const override { return CKorvelString(); }
    CKorvelString GetCookieName() const override { return CKorvelString(m_strName.c_str()); }
    CKorvelString GetCookieValue() const override { return CKorvelString(m_strValue.c_str()); }
    void ForgetCookie(const CKorvelString& strName) override
    {
        m_aCalls.push_back("forget " + Narrow(strName));
    }
    void Start() override { m_aCalls.push_back("start"); }

    void Cookie(CVornMenuState* pLobby, const std::string& strName, const std::string& strValue)
    {
        m_strName = strName;
        m_strValue = strValue;
        ::CVornMenuState::actionGoogleCookieReceived(this, pLobby);
    }

    std::string m_strName;
    std::string m_strValue;
    std::vector<std::string> m_aCalls;
};

class CVornMenuState : public CMenuStateTest
{
protected:
    // With m_bShipped: the built application folder with its own layout, the test's texts
    // and server address written beside the links, never through them.
    bool PrepareAppFolder() override
    {
        if (!m_bShipped)
            return CMenuStateTest::PrepareAppFolder();
        StoreIntSettings(m_Stored);
        if (!LinkBuiltAppFolder(m_App.AppFile("")))
            return false;
        for (const char* pOwn : {"vornlanguage_en.kmp", "settings.txt"})
            std::filesystem::remove(m_App.AppFile(pOwn));
        return WriteTestFile(m_App.AppFile("vornlanguage_en.kmp"),
                             TestLanguagePackBytes("English", "en", LanguageTexts())) &&
               m_App.WriteSettings(
                   "[NETWORK]\nserver=\"127.0.0.1\"\nport=" + std::to_string(m_pServer->LobbyPort()) + "\n");
    }
    bool m_bShipped = false;
    // The lobby connection's name on the server.
    std::string LobbyConnection()
    {
        const CTestJson answer = m_pControl->Connections();
        const CTestJson& list = answer["connections"];
        for (size_t i = 0; i < list.Size(); ++i)
            if (list[i]["kind"].String() == "lobby")
                return list[i]["conn"].String();
        return "";
    }
    // The login's loading has ended (by the shop's answer or its time-out) on a guest's
    // home page, with the game in front.
    void ExpectGuestHomeAfterLoading()
    {
        for (int i = 0; i < 31 && Lobby()->IsLoading(); ++i)
            Frame(1.0f);
        ASSERT_FALSE(Lobby()->IsLoading());
        EXPECT_EQ(PageName(), "loginscreen_root") << "a guest's home page";
        EXPECT_TRUE(Visible("vorn_button_root"));
        EXPECT_FALSE(Pages()->GetVisible()) << "the game in front once the login's loading ended";
    }
    // The engine at rest, as its pacing leaves it after a while without input, stays at rest
    // through frames at its idle rate for longer than the vorn button's idle delay: nothing on
    // the page moves, so nothing asks for the full rate.
    void ExpectTheEngineRests()
    {
        m_App.m_uSleeping = 1;
        m_App.ResetInactivityTime();
        ASSERT_EQ(m_App.m_uSleeping, 0u) << "the engine paces by the time without input";
        m_App.m_uSleeping = 1;
        const int iFrames = static_cast<int>(3 * ::CVornMenuState::IDLE_SHAKE_DELAY) * IDLE_FRAMES_A_SECOND;
        for (int i = 0; i < iFrames; ++i)
            Frame(1.0f / IDLE_FRAMES_A_SECOND);
        EXPECT_EQ(m_App.m_uSleeping, 1u) << "something on the page woke the engine";
    }
    // Shown where the player sees it: it and every parent visible, its rectangle inside the
    // lobby's root.
    bool OnScreen(const char* pName)
    {
        CWidget* pWidget = Find(pName);
        if (!pWidget || pWidget->GetWidth() <= 0 || pWidget->GetHeight() <= 0)
            return false;
        int x = 0, y = 0;
        CWidget* pRoot = pWidget;
        for (CWidget* p = pWidget; p; p = p->GetParent())
        {
            if (!p->GetVisible())
                return false;
            x += p->GetArea().left;
            y += p->GetArea().top;
            pRoot = p;
        }
        return x >= 0 && y >= 0 && x + pWidget->GetWidth() <= pRoot->GetWidth() &&
               y + pWidget->GetHeight() <= pRoot->GetHeight();
    }
    bool LoggedIn()
    {
        return WaitFor([&] { return Lobby()->IsLoggedIn() != 0; });
    }
    // The button's press, and the page it leads to once that has slid in.
    void PressTo(const char* pButton, const char* pPage)
    {
        Press(pButton);
        ASSERT_TRUE(WaitForPage(pPage));
        Frame(1.0f);
    }
    // Whether the names occur in this order among the server's received messages.
    bool InOrder(const std::vector<std::string>& aNames) const
    {
        const std::vector<std::string> aIn = InNames();
        auto it = aIn.begin();
        for (const std::string& strName : aNames)
        {
            it = std::find(it, aIn.end(), strName);
            if (it == aIn.end())
                return false;
            ++it;
        }
        return true;
    }
};

TEST_F(CVornMenuState, AccountNamesAndAddressesAreCheckedForLengthAndCharacters)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    const struct
    {
        bool bEmail;
        std::string strText;
        const char* pRefusal; // the error page's message, or null when accepted
    } aCases[] = {
        {false, "guest", "text 18"},
        {false, "guest1", nullptr},
        {false, "abc", "text 16"},
        {false, "abcd", nullptr},
        {false, std::string(15, 'n'), nullptr},
        {false, std::string(16, 'n'), "text 16"},
        {false, "na me", "text 17"},
        {false, "Na-m_e9", nullptr},
        {true, "a@b.cd", nullptr},
        {true, "a@b.c", "text 19"},
        {true, std::string(250, 'a') + "@b.cde", nullptr},
        {true, std::string(251, 'a') + "@b.cde", "text 19"},
        {true, "a b@c.de", "text 20"},
        // Where "@" and "." stand is the server's to judge.
        {true, "ab.cdef", nullptr},
        {true, "a@b@c.de", nullptr},
        {true, "@bc.def", nullptr},
    };
    for (const auto& c : aCases)
    {
        FindAs<CTextWidget>("loginerror_message")->SetText(CKorvelString());
        const CKorvelString strText(c.strText.c_str());
        const unsigned int uOk = c.bEmail ? Lobby()->CheckEmail(strText) : Lobby()->CheckUserName(strText);
        EXPECT_EQ(uOk, c.pRefusal ? 0u : 1u) << c.strText;
        if (c.pRefusal)
        {
            EXPECT_EQ(TextOf("loginerror_message"), c.pRefusal) << c.strText;
            EXPECT_EQ(PageName(), "loginscreen_error");
        }
    }

    // The login button takes a name with "@" for an address: too short for one, and a
    // name that only an address check lets through.
    FindAs<CTextWidget>("user_password")->SetText(CKorvelString("secret1"));
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("a@b.c"));
    EXPECT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 0);
    EXPECT_EQ(TextOf("loginerror_message"), "text 19");
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("some.one@b.cd"));
    EXPECT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 1);
    EXPECT_TRUE(Lobby()->IsLoading());
    ASSERT_TRUE(WaitForMessage("Login"));
    EXPECT_EQ(In("Login")[0]["user"].String(), "some.one@b.cd");
}

TEST_F(CVornMenuState, CharactersEnterAndPressesOfOneFrameReachTheFieldsInTheOrderMade)
{
    m_bShipped = true;
    ASSERT_NO_FATAL_FAILURE(Start({"--account", "quill_7:secret1"}));
    ASSERT_TRUE(WaitForStart());
    Frame(1.0f); // the shipped page slides in
    ASSERT_EQ(PageName(), "loginscreen_root");
    // The window shows: the application takes input.
    plat::InjectWindowState(plat::NAVIGATOR_WINDOW_FULLSCREEN);
    m_App.DrainPlatformEvents();
    ASSERT_TRUE(m_App.IsActive());
    // Everything goes into the platform's queue first and is taken in one drain, as a fast
    // typist's input reaches one frame: the name, a press on the password field, the
    // password and Enter.
    const auto Centre = [&](const char* pName, int& x, int& y)
    {
        CWidget* pWidget = Find(pName);
        ASSERT_NE(pWidget, nullptr) << pName;
        x = pWidget->GetWidth() / 2;
        y = pWidget->GetHeight() / 2;
        for (CWidget* p = pWidget; p; p = p->GetParent())
        {
            x += p->GetArea().left;
            y += p->GetArea().top;
        }
    };
    const auto Click = [&](const char* pName)
    {
        int x = 0, y = 0;
        Centre(pName, x, y);
        ASSERT_EQ(plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, x, y), plat::BPS_SUCCESS);
        ASSERT_EQ(plat::InjectPointer(0, x, y), plat::BPS_SUCCESS);
    };
    const auto Key = [](int iSym)
    {
        ASSERT_EQ(plat::InjectKey(iSym), plat::BPS_SUCCESS);
        ASSERT_EQ(plat::InjectKey(iSym, 0), plat::BPS_SUCCESS);
    };
    const int ENTER_SYM = 0xF00D;
    ASSERT_NO_FATAL_FAILURE(Click("user_login"));
    for (const char c : std::string("quill_7"))
        ASSERT_NO_FATAL_FAILURE(Key(c));
    ASSERT_NO_FATAL_FAILURE(Click("user_password"));
    for (const char c : std::string("secret1"))
        ASSERT_NO_FATAL_FAILURE(Key(c));
    ASSERT_NO_FATAL_FAILURE(Key(ENTER_SYM));
    m_App.DrainPlatformEvents();

    EXPECT_EQ(TextOf("user_login"), "quill_7") << "the press on the next field came after the 7";
    EXPECT_EQ(TextOf("user_password"), "secret1");
    EXPECT_TRUE(Lobby()->IsLoading()) << "Enter pressed the login button in the same frame";
    ASSERT_TRUE(WaitForMessage("Login"));
    EXPECT_EQ(In("Login")[0]["user"].String(), "quill_7");
    EXPECT_TRUE(LoggedIn()) << "with the password typed before Enter";
}

TEST_F(CVornMenuState, TheGuestButtonFollowsTheServersGuestLoginKey)
{
    m_aHolds = {KEY_VALUE};
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForMessage("GetKeyValue"));
    Settle();
    ASSERT_TRUE(Visible("guest_login_button")) << "shown by the layout";
    EXPECT_TRUE(Lobby()->IsLoading()) << "the loading dialog waits for the answer";
    m_pControl->Send(sLOBBY_TARGET(LobbyConnection()), "key_value", "[\"guestLogin\", \"0\"]");
    ASSERT_TRUE(WaitFor([&] { return !Visible("guest_login_button"); }));
    EXPECT_FALSE(Lobby()->IsLoading());

    CKorvelString strKey("guestLogin"), strValue("null");
    ::CVornMenuState::KVGuestLoginCount(strKey, strValue, Lobby());
    EXPECT_FALSE(Visible("guest_login_button")) << "a null value changes nothing";
    strValue = CKorvelString("1");
    ::CVornMenuState::KVGuestLoginCount(strKey, strValue, Lobby());
    EXPECT_TRUE(Visible("guest_login_button"));
    EXPECT_EQ(In("GetKeyValue").size(), 1u) << "asked once";
}

TEST_F(CVornMenuState, TheFirstLaunchShowsTheLanguageChooserAndConnectsOnlyOnceALanguageIsChosen)
{
    m_Stored.clear();
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(PageName(), "startup_language_chooser");
    Settle();
    EXPECT_TRUE(InNames().empty()) << "no login before a choice";
    EXPECT_FALSE(Lobby()->IsLoading()) << "nothing loads, so the application may rest on the page";
    EXPECT_EQ(Lobby()->GetLanguageNames().GetCount(), 1) << "the list was filled when shown";
    ASSERT_EQ(Lobby()->GetSelectedLanguage(), 0) << "the current language is selected";
    ::CVornMenuState::actionChooseLanguage(Find("choose_language_button"), Lobby());
    EXPECT_TRUE(WaitForMessage("GetKeyValue"));
    EXPECT_EQ(Lobby()->GetLanguageNames().GetCount(), 0);
}

TEST_F(CVornMenuState, AGuestLogsInByPressingItsButtonAndTheVornButtonThenTogglesTheOverlay)
{
    m_Texts[36] = "Welcome %s";
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    ASSERT_EQ(PageName(), "loginscreen_root");
    for (int i = 0; i < 6; ++i)
        Frame(1.0f);
    EXPECT_EQ(Lobby()->GetShakeState(), 0u) << "no shake before a guest login";

    Press("guest_login_button");
    ASSERT_TRUE(LoggedIn());
    ASSERT_TRUE(WaitForMessage("GetThemePack"));
    EXPECT_TRUE(InOrder({"Login", "GetAvailableLanguages", "GetShopItemGroups", "GetImageAndLink",
                         "GetImageAndLink", "GetThemePack"}));
    ASSERT_FALSE(In("GetShopItemGroups").empty());
    EXPECT_EQ(In("GetShopItemGroups")[0]["flags"].Int(), 0x201);
    // The server names a guest after its user id.
    const std::vector<std::string> aToasts =
        m_App.m_Log.With("toast.Add(Welcome guest" + std::to_string(Session()->GetOwnUserId()) + ",");
    ASSERT_EQ(aToasts.size(), 1u);
    EXPECT_NE(aToasts[0].find(",0,6.0"), std::string::npos) << aToasts[0];
    EXPECT_TRUE(Lobby()->IsLoading()) << "until the shop answers";

    ASSERT_NO_FATAL_FAILURE(ExpectGuestHomeAfterLoading());

    Press("vorn_button");
    ASSERT_TRUE(Pages()->GetVisible());
    // The Log in page the vorn button opened from the game is still: it rests at the idle rate.
    ASSERT_EQ(PageName(), "loginscreen_root");
    ASSERT_NO_FATAL_FAILURE(ExpectTheEngineRests());
    EXPECT_TRUE(Pages()->GetVisible());
    Press("guest_login_button");
    EXPECT_FALSE(Pages()->GetVisible()) << "pressed again while logged in: the overlay hides";
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(In("Login").size(), 1u) << "and nothing more";
    Press("vorn_button");
    EXPECT_TRUE(Pages()->GetVisible());
    Lobby()->OnKeyDown(static_cast<eKET_KEYCODE>(::CVornMenuState::KEY_BACK));
    EXPECT_FALSE(Pages()->GetVisible()) << "the back key toggles like the vorn button";

    // The idle shake of a guest's vorn button: 5 s after the last, 2.0 of phase.
    // A shake may be running already (they repeat at random): wait for a fresh start.
    const auto ShakeStarts = [&]
    {
        for (int i = 0; i < 400; ++i)
        {
            const unsigned int uBefore = Lobby()->GetShakeState();
            const float fIdle = Lobby()->GetIdleTime();
            Frame(0.1f);
            if (uBefore == 0 && Lobby()->GetShakeState() == 1)
            {
                EXPECT_GT(fIdle + 0.1f, ::CVornMenuState::IDLE_SHAKE_DELAY);
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(ShakeStarts());
    EXPECT_EQ(Lobby()->GetShakePhase(), 0.0f);
    Frame(0.1f);
    EXPECT_NEAR(Lobby()->GetShakePhase(), 0.18f, 1e-5f);
    int iFrames = 1;
    while (Lobby()->GetShakePhase() > 0.0f && iFrames < 100)
    {
        Frame(0.1f);
        ++iFrames;
    }
    EXPECT_EQ(iFrames, 12) << "2.0 of phase at 1.8 a second";

    // The lobby opened in the middle of a shake: the shake ends with its round, even where the
    // draw at its end asks for another (every draw of the frame that ends it is below 2 of 5).
    unsigned int uSeed = 1;
    for (;; ++uSeed)
    {
        CKorvelRandom random;
        random.Seed(uSeed);
        if (random.Int(0, 4) < 2 && random.Int(0, 4) < 2 && random.Int(0, 4) < 2)
            break;
    }
    ASSERT_TRUE(ShakeStarts());
    Frame(0.1f);
    Press("vorn_button");
    ASSERT_TRUE(Pages()->GetVisible());
    ASSERT_EQ(Lobby()->GetShakeState(), 1u);
    for (int i = 0; i < 100 && Lobby()->GetShakePhase() > 0.0f; ++i)
    {
        m_App.RandSeed(uSeed);
        Frame(0.1f);
    }
    EXPECT_EQ(Lobby()->GetShakeState(), 0u) << "a guest's shake goes on only over the game";

    // Logged out as the game's menu does it, the guest's Log in page rests as well.
    m_App.Logout(1);
    ASSERT_EQ(PageName(), "loginscreen_root");
    ASSERT_TRUE(Pages()->GetVisible());
    ASSERT_NO_FATAL_FAILURE(ExpectTheEngineRests());
}

TEST_F(CVornMenuState, TheErrorPageOffersTryAgainOrTheUpdateLink)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    m_pControl->Hold(LOGIN_ACK);
    Press("guest_login_button");
    ASSERT_TRUE(WaitForMessage("Login"));
    m_pControl->Send(sLOBBY_TARGET(LobbyConnection()), "login_ack_error", "[-4, \"refused\"]");
    ASSERT_TRUE(WaitForPage("loginscreen_error"));
    EXPECT_EQ(TextOf("loginerror_message"), "text 31");
    EXPECT_TRUE(Visible("button_tryagain"));
    EXPECT_FALSE(Visible("button_update"));
    EXPECT_FALSE(Lobby()->IsLoading());

    Lobby()->OnLoginError(CKorvelString("t"), CKorvelString("m"), 3, nullptr);
    EXPECT_TRUE(Visible("button_recover"));
    EXPECT_EQ(TextOf("label_tryagain"), "text 10");
}

TEST_F(CVornMenuState, AServerAskingForANewerReleaseShowsTheUpdateLinkThatOpensInTheBrowser)
{
    m_aHolds = {CONNECT_ACK};
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitFor([&] { return !LobbyConnection().empty(); }));
    EXPECT_TRUE(Lobby()->IsLoading());
    const std::string strLink = "https://example.invalid/update";
    m_pControl->Send(sLOBBY_TARGET(LobbyConnection()), "connect_ack",
                     "[-1, \"old\", \"" + strLink + "\", 2]");
    ASSERT_TRUE(WaitForPage("loginscreen_error"));
    EXPECT_EQ(TextOf("loginerror_title"), "text 12");
    EXPECT_EQ(TextOf("loginerror_message"), "text 13");
    EXPECT_TRUE(Visible("button_update"));
    EXPECT_FALSE(Visible("button_tryagain"));
    EXPECT_FALSE(Visible("button_recover"));
    EXPECT_FALSE(Lobby()->IsLoading());
    EXPECT_EQ(Narrow(FindAs<CWebButton>("button_update")->GetUrl()), strLink);
    // No login goes out on a connection the server turned away.
    ASSERT_TRUE(WaitFor([&] { return LobbyConnection().empty(); }));

    const size_t uOpened = plat::NavigatorControlInvokedAddresses().size();
    Press("button_update");
    const std::vector<plat::sInvokedAddress> aOpened = plat::NavigatorControlInvokedAddresses();
    ASSERT_EQ(aOpened.size(), uOpened + 1);
    EXPECT_EQ(aOpened.back().m_strAddress, strLink);
    Settle();
    EXPECT_TRUE(In("Login").empty());
    EXPECT_TRUE(In("GetKeyValue").empty());
}

TEST_F(CVornMenuState, TheWebLoginKeepsItsCookiesAndActsOnTheStatus)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    CTestWebView* pView = new CTestWebView;
    pView->Startup(&m_App, &m_App, CKorvelRect<int>(0, 0, 10, 10));
    pView->SetName(CKorvelString("login_google"));
    Find("loginscreen_google")->AddWidget(pView);
    EXPECT_EQ(Narrow(Lobby()->GetGoogleLoginURL()).substr(0, 8), "https://");
    EXPECT_NE(Narrow(Lobby()->GetGoogleLoginURL()).find("/ext_auth/google"), std::string::npos);

    // Any other status: the error page with the status text.
    pView->Cookie(Lobby(), "auth_status", "blocked");
    pView->Cookie(Lobby(), "other", "ignored");
    EXPECT_EQ(Narrow(Lobby()->GetWebLoginStatus()), "blocked");
    ::CVornMenuState::actionGoogleLoadingFinished(pView, Lobby());
    EXPECT_EQ(PageName(), "loginscreen_error");
    EXPECT_EQ(TextOf("loginerror_message"), "blocked");
    EXPECT_EQ(Narrow(Lobby()->GetWebLoginStatus()), "");

    // "ok" without a token: text 28.
    pView->Cookie(Lobby(), "auth_status", "ok");
    pView->Cookie(Lobby(), "auth_id", "77");
    ::CVornMenuState::actionGoogleLoadingFinished(pView, Lobby());
    EXPECT_EQ(TextOf("loginerror_message"), "text 28");

    // "new": the player chooses a name.
    Lobby()->ResetPlayerData();
    pView->Cookie(Lobby(), "auth_status", "new");
    ::CVornMenuState::actionGoogleLoadingFinished(pView, Lobby());
    EXPECT_EQ(PageName(), "loginscreen_playername");
    EXPECT_TRUE(Visible("tos_elements")) << "playername_show shows the terms for a new web login";

    // "ok" with both values: the external login goes to the server.
    pView->Cookie(Lobby(), "auth_status", "ok");
    pView->Cookie(Lobby(), "auth_id", "77");
    pView->Cookie(Lobby(), "auth_token", "tok");
    ::CVornMenuState::actionGoogleLoadingFinished(pView, Lobby());
    EXPECT_TRUE(Lobby()->IsLoading());
    EXPECT_TRUE(WaitForMessage("ExternalLogin"));
    EXPECT_EQ(std::count(pView->m_aCalls.begin(), pView->m_aCalls.end(), "forget auth_token"), 4);
}

TEST_F(CVornMenuState, ARegistrationRunsFromThePlayerNameToTheThankYouPage)
{
    ASSERT_NO_FATAL_FAILURE(Start({"--account", "taken1:secret1"}));
    ASSERT_TRUE(WaitForStart());
    Lobby()->SwitchToPage(CKorvelString("loginscreen_playername"), 1);
    CWidget* pValidate = Find("validate_button");
    CTextWidget* pName = FindAs<CTextWidget>("input_playername");
    ASSERT_TRUE(pValidate && pName);

    // The terms, when shown, must be accepted first.
    Find("tos_elements")->SetVisible(1);
    pName->SetText(CKorvelString("newplayer1"));
    EXPECT_EQ(::CVornMenuState::actionValidateUser(pValidate, Lobby()), 0);
    EXPECT_EQ(TextOf("loginerror_message"), "text 26");
    FindAs<CToggleButton>("button_agree")->SetToggled(1);

    // Shown (its onshow hides what the last check showed) before anything is typed there.
    Lobby()->SwitchToPage(CKorvelString("loginscreen_playername"), 1);
    Frame();
    pName->SetText(CKorvelString("taken1"));
    EXPECT_EQ(::CVornMenuState::actionValidateUser(pValidate, Lobby()), 1);
    EXPECT_TRUE(Visible("username_loading"));
    ASSERT_TRUE(WaitFor([&] { return Visible("text_usernametaken"); }));
    EXPECT_FALSE(Visible("username_loading"));

    pName->SetText(CKorvelString("newplayer1"));
    EXPECT_EQ(::CVornMenuState::actionValidateUser(pValidate, Lobby()), 1);
    EXPECT_FALSE(Visible("text_usernametaken"));
    ASSERT_TRUE(WaitForPage("loginscreen_confirm"));

    Lobby()->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    FindAs<CTextWidget>("input_email")->SetText(CKorvelString("new@player.one"));
    CTextWidget* pPassword = FindAs<CTextWidget>("input_password");
    pPassword->SetText(CKorvelString("abc"));
    ::CVornMenuState::actionValidateEmail(nullptr, Lobby());
    EXPECT_EQ(TextOf("loginerror_message"), "text 27");
    pPassword->SetText(CKorvelString("secret"));
    ::CVornMenuState::actionValidateEmail(nullptr, Lobby());
    ASSERT_TRUE(LoggedIn());
    EXPECT_EQ(PageName(), "loading_dialog");
    for (int i = 0; i < 31; ++i)
        Frame(1.0f);
    EXPECT_EQ(PageName(), "loginscreen_thank") << "the thank-you page stays once loading ends";
    EXPECT_TRUE(Pages()->GetVisible());
    EXPECT_FALSE(Lobby()->IsGuestLogin());
    // Closed, the lobby opens next at its home page, not at the thank-you page again.
    ::CVornMenuState::actionThankYouClose(nullptr, Lobby());
    EXPECT_FALSE(Pages()->GetVisible());
    Lobby()->SetMenuVisibility(1);
    EXPECT_EQ(PageName(), "startscreen_root");
}

// The server closes a connection that has not logged in within its deadline. Whatever page the
// player lingered on, its button (its action, on this small layout) reaches the server on a new
// connection, or the page says that none can be made.
TEST_F(CVornMenuState, EveryButtonBeforeLoginConnectsAgainAfterTheServerClosedTheIdleConnection)
{
    // Each new connection has the same time for a login, a registration's two requests before
    // it included: seconds, on a loaded machine too.
    const std::string strDeadline = "5";
    ASSERT_NO_FATAL_FAILURE(Start({"--login-timeout", strDeadline, "--account", "player1:secret1"}));
    ASSERT_TRUE(WaitForStart());
    int iClosed = 0;
    const auto IdleClosed = [&]
    {
        const std::string strPage = PageName();
        ASSERT_TRUE(WaitFor([&] { return (Session()->GetStatus() & 0xFF) == 0; }));
        const std::vector<std::string> aClosed = m_pServer->Lines("close");
        EXPECT_EQ(static_cast<int>(std::count_if(aClosed.begin(), aClosed.end(),
                                                 [&](const std::string& strLine) {
                                                     return strLine.find("no login within " + strDeadline +
                                                                         ".0 s") != std::string::npos;
                                                 })),
                  ++iClosed);
        EXPECT_EQ(PageName(), strPage) << "nobody waited for an answer: no error";
    };
    const auto Connected = [&]
    {
        Lobby()->Connect();
        ASSERT_TRUE(WaitFor([&] { return (Session()->GetStatus() & 0xFF) == 3; }));
    };

    // Log in.
    ASSERT_NO_FATAL_FAILURE(IdleClosed());
    EXPECT_EQ(PageName(), "loginscreen_root");
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("player1"));
    FindAs<CTextWidget>("user_password")->SetText(CKorvelString("secret1"));
    EXPECT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 1);
    ASSERT_TRUE(LoggedIn());
    Lobby()->Logout();

    // Play as guest.
    ASSERT_NO_FATAL_FAILURE(Connected());
    ASSERT_NO_FATAL_FAILURE(IdleClosed());
    Press("guest_login_button");
    ASSERT_TRUE(LoggedIn());
    EXPECT_TRUE(Lobby()->IsGuestLogin());
    Lobby()->Logout();

    // The name check.
    ASSERT_NO_FATAL_FAILURE(Connected());
    Lobby()->SwitchToPage(CKorvelString("loginscreen_playername"), 1);
    ASSERT_NO_FATAL_FAILURE(IdleClosed());
    // Pressed twice: the second press finds the first one's connection under way.
    FindAs<CTextWidget>("input_playername")->SetText(CKorvelString("lingerer"));
    EXPECT_EQ(::CVornMenuState::actionValidateUser(Find("validate_button"), Lobby()), 1);
    EXPECT_EQ(::CVornMenuState::actionValidateUser(Find("validate_button"), Lobby()), 1);
    ASSERT_TRUE(WaitForPage("loginscreen_confirm"));
    ASSERT_EQ(In("ConfirmUserName").size(), 1u);

    // Create an account: the name's key came with the closed connection, so the new one
    // asks for the name again before it sends the registration.
    Lobby()->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    ASSERT_NO_FATAL_FAILURE(IdleClosed());
    FindAs<CTextWidget>("input_email")->SetText(CKorvelString("linger@er.one"));
    FindAs<CTextWidget>("input_password")->SetText(CKorvelString("secret2"));
    ::CVornMenuState::actionValidateEmail(nullptr, Lobby());
    ::CVornMenuState::actionValidateEmail(nullptr, Lobby());
    ASSERT_TRUE(LoggedIn());
    EXPECT_TRUE(InOrder({"ConfirmUserName", "Connection", "ConfirmUserName", "ConfirmEmail", "Login"}));
    EXPECT_EQ(In("ConfirmEmail").size(), 1u);
    EXPECT_EQ(m_pServer->Lines("registered").size(), 1u);
    Lobby()->Logout();

    // No connection can be made: the page says so.
    ASSERT_NO_FATAL_FAILURE(Connected());
    m_pControl->Command("{\"cmd\": \"listen\", \"on\": false}");
    ASSERT_NO_FATAL_FAILURE(IdleClosed());
    Press("guest_login_button");
    ASSERT_TRUE(WaitForPage("loginscreen_error"));
    EXPECT_EQ(TextOf("loginerror_message"), "text 3");
    EXPECT_FALSE(Lobby()->IsLoading());
}

TEST_F(CVornMenuState, RememberedCredentialsLogInAgainWithoutANewPassword)
{
    ASSERT_NO_FATAL_FAILURE(Start({"--account", "player1:secret1"}));
    ASSERT_TRUE(WaitForStart());
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("player1"));
    FindAs<CTextWidget>("user_password")->SetText(CKorvelString("secret1"));
    EXPECT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 1);
    ASSERT_TRUE(LoggedIn());

    // Not remembered, the connection lost, and the account taken meanwhile in another window:
    // the game's own login again is refused. The page offers Try again, not Recover, and the
    // form is as the player filled it.
    m_pControl->Close(LobbyConnection());
    const ::CLoginController::ReloginTimer* pTimer = Lobby()->GetReloginTimer();
    ASSERT_TRUE(WaitFor([&] { return pTimer->GetRemaining() > 0.0f; }));
    CVornNetworkSession* pOther = AddSession(m_Rec2);
    ASSERT_TRUE(ConnectLobby(pOther, m_Rec2));
    ASSERT_TRUE(pOther->RequestCredentials(CKorvelString("player1"), &m_Rec2));
    ASSERT_TRUE(WaitFor([&] { return m_Rec2.Count("OnReceiveRandomKey") == 1; }));
    const std::string strKeyCall = "OnReceiveRandomKey(";
    const std::string strKeyLine = m_Rec2.With(strKeyCall)[0];
    const CKorvelString strKey(
        strKeyLine.substr(strKeyCall.size(), strKeyLine.size() - strKeyCall.size() - 1).c_str());
    ASSERT_TRUE(pOther->Login(CKorvelString("player1"),
                              CVornNetworkSession::GeneratePasswordHash(CKorvelString("secret1"), strKey),
                              &m_Rec2));
    ASSERT_TRUE(WaitFor([&] { return (pOther->GetStatus() & 0xFF) == 5; }));
    Frame(pTimer->GetRemaining());
    ASSERT_TRUE(WaitForPage("loginscreen_error"));
    EXPECT_NE(TextOf("loginerror_message").find("already playing"), std::string::npos);
    EXPECT_TRUE(Visible("button_tryagain"));
    EXPECT_FALSE(Visible("button_recover"));
    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1); // as Try again leads
    EXPECT_EQ(TextOf("user_login"), "player1");
    EXPECT_EQ(TextOf("user_password"), "secret1");

    // The same from a guest's session: the login logs the guest out, and is refused alike.
    EXPECT_EQ(::CVornMenuState::actionGuestLogin(nullptr, Lobby()), 1);
    ASSERT_TRUE(LoggedIn());
    ASSERT_TRUE(Lobby()->IsGuestLogin());
    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("player1"));
    FindAs<CTextWidget>("user_password")->SetText(CKorvelString("secret1"));
    EXPECT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 1);
    ASSERT_TRUE(WaitFor([&] { return PageName() == "loginscreen_error" && !Lobby()->IsLoading(); }));
    EXPECT_NE(TextOf("loginerror_message").find("already playing"), std::string::npos);
    EXPECT_TRUE(Visible("button_tryagain"));
    EXPECT_FALSE(Visible("button_recover"));
    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    EXPECT_EQ(TextOf("user_login"), "player1");
    EXPECT_EQ(TextOf("user_password"), "secret1");

    // Once the other window has left, the form logs in, now remembered.
    const std::string strAsk =
        "{\"cmd\": \"player\", \"user\": " + std::to_string(pOther->GetOwnUserId()) + "}";
    pOther->Logout();
    ASSERT_TRUE(WaitFor([&] { return !m_pControl->Command(strAsk)["online"].Bool(); }));
    FindAs<CToggleButton>("user_autologin")->SetToggled(1);
    EXPECT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 1);
    ASSERT_TRUE(LoggedIn());
    const size_t uKeys = In("GetRandomKey").size();
    const size_t uLogins = In("Login").size();
    EXPECT_GE(uKeys, 1u);

    Lobby()->Logout();
    Lobby()->OnLogout();
    EXPECT_EQ(TextOf("user_login"), "");
    EXPECT_EQ(Narrow(FindAs<CTextWidget>("user_login")->GetDisplayText()), "player1");
    EXPECT_EQ(Narrow(FindAs<CTextWidget>("user_password")->GetDisplayText()), "*****");
    EXPECT_EQ(FindAs<CToggleButton>("user_autologin")->GetToggled(), 1u);
    EXPECT_EQ(::CVornMenuState::actionLoginKestrolund(nullptr, Lobby()), 1);
    ASSERT_TRUE(WaitFor([&] { return In("Login").size() == uLogins + 1; }));
    ASSERT_TRUE(LoggedIn());
    EXPECT_EQ(In("GetRandomKey").size(), uKeys) << "the stored hash is sent";

    // The vorn button of a registered player rests.
    for (int i = 0; i < 100; ++i)
        Frame(0.1f);
    EXPECT_EQ(Lobby()->GetShakeState(), 0u);

    // The next activation logs in again by itself.
    Lobby()->Deactivate();
    Lobby()->Activate();
    ASSERT_TRUE(WaitFor([&] { return In("Login").size() == uLogins + 2; }));
    ASSERT_TRUE(LoggedIn());
    EXPECT_EQ(In("GetRandomKey").size(), uKeys);
    EXPECT_EQ(In("Login").back()["user"].String(), "player1");

    // Play with the connection down logs out, but only the player's own log-out forgets.
    m_pServer->Stop();
    ASSERT_TRUE(WaitFor([&] { return (Session()->GetStatus() & 1) == 0; })) << "the lobby is down";
    m_App.GetGameState()->QuickPlay();
    EXPECT_TRUE(Lobby()->GetAutoLogin());
    EXPECT_EQ(Narrow(Lobby()->GetUserName()), "player1");
}

TEST_F(CVornMenuState, OnTheShippedLayoutAGuestLogsInByItsButtonAndTheVornButtonClosesTheMenu)
{
    m_bShipped = true;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NE(Lobby()->GetRoot(), nullptr);
    ASSERT_TRUE(WaitForStart());
    // The shipped pages slide in over frame time.
    Frame(1.0f);
    EXPECT_EQ(m_App.m_uExit, 0u);
    EXPECT_EQ(PageName(), "loginscreen_root");
    EXPECT_TRUE(Find("loginscreen_root")->GetVisible());
    ASSERT_TRUE(Visible("guest_login_button")) << "the server allows guests";
    Press("guest_login_button");
    ASSERT_TRUE(LoggedIn());
    ASSERT_TRUE(WaitForMessage("GetThemePack"));
    ASSERT_NO_FATAL_FAILURE(ExpectGuestHomeAfterLoading());
    Press("vorn_button");
    EXPECT_TRUE(Pages()->GetVisible());
    Press("vorn_button");
    EXPECT_FALSE(Pages()->GetVisible());
}

TEST_F(CVornMenuState,
       OnTheShippedPagesANameCheckAnswersItsOwnNameBackLeadsToLogInAndARememberedLoginWorksWithoutNewPassword)
{
    m_bShipped = true;
    // A stored account keeps its key over the server's restart, and so the remembered hash.
    const std::vector<std::string> aAccount = {"--account", "player1:secret1", "--accounts",
                                               m_App.Dir() + "/accounts.json"};
    ASSERT_NO_FATAL_FAILURE(Start(aAccount));
    ASSERT_TRUE(WaitForStart());
    Frame(1.0f);
    ASSERT_NO_FATAL_FAILURE(PressTo("register_button", "loginscreen_playername"));
    EXPECT_FALSE(Visible("tos_elements")) << "no terms for an account of our own";
    FindAs<CTextWidget>("input_playername")->SetText(CKorvelString("player1"));
    Press("validate_user_button");
    ASSERT_TRUE(WaitFor([&] { return OnScreen("text_usernametaken"); })) << "the refusal is shown";
    EXPECT_EQ(TextOf("text_usernametaken"), "text 57");
    EXPECT_FALSE(Visible("username_loading"));
    EXPECT_EQ(PageName(), "loginscreen_playername");
    const auto Back = [&](const char* pPage)
    {
        Lobby()->OnKeyDown(static_cast<eKET_KEYCODE>(::CVornMenuState::KEY_BACK));
        Frame(1.0f);
        EXPECT_EQ(PageName(), pPage);
    };
    const auto CreateAnAccount = [&]
    {
        ASSERT_NO_FATAL_FAILURE(PressTo("register_button", "loginscreen_playername"));
        EXPECT_EQ(TextOf("input_playername"), "");
        EXPECT_FALSE(Visible("text_usernametaken"));
        EXPECT_FALSE(Visible("username_loading"));
    };

    // The refusal was about the name as it was; a check still awaited when the page is left
    // is answered for a page that is gone.
    FindAs<CTextWidget>("input_playername")->SetText(CKorvelString("player12"));
    EXPECT_FALSE(Visible("text_usernametaken"));
    m_pControl->Hold(CONFIRM_USER_NAME_ACK);
    Press("validate_user_button");
    ASSERT_TRUE(WaitFor([&] { return In("ConfirmUserName").size() == 2; }));
    EXPECT_TRUE(Visible("username_loading"));
    ASSERT_NO_FATAL_FAILURE(Back("loginscreen_root"));
    ASSERT_NO_FATAL_FAILURE(CreateAnAccount());
    FindAs<CTextWidget>("input_playername")->SetText(CKorvelString("player1"));
    Press("validate_user_button");
    m_pControl->Release(CONFIRM_USER_NAME_ACK);
    ASSERT_TRUE(WaitFor([&] { return In("ConfirmUserName").size() == 3 && OnScreen("text_usernametaken"); }));
    EXPECT_EQ(PageName(), "loginscreen_playername") << "the free name's late answer led nowhere";

    // Back from the e-mail page, also after a slip and Try again, is the name page, then Log in.
    FindAs<CTextWidget>("input_playername")->SetText(CKorvelString("fresh1"));
    ASSERT_NO_FATAL_FAILURE(PressTo("validate_user_button", "loginscreen_confirm"));
    ASSERT_NO_FATAL_FAILURE(PressTo("loginscreen_confirm_continue", "loginscreen_email"));
    FindAs<CTextWidget>("input_email")->SetText(CKorvelString("fresh@one.org"));
    FindAs<CTextWidget>("input_password")->SetText(CKorvelString("abc"));
    ASSERT_NO_FATAL_FAILURE(PressTo("validate_email_button", "loginscreen_error"));
    ASSERT_NO_FATAL_FAILURE(PressTo("button_tryagain", "loginscreen_email"));
    EXPECT_EQ(TextOf("input_email"), "fresh@one.org");
    ASSERT_NO_FATAL_FAILURE(Back("loginscreen_playername"));
    EXPECT_EQ(TextOf("input_playername"), "fresh1");
    ASSERT_NO_FATAL_FAILURE(Back("loginscreen_root"));
    ASSERT_NO_FATAL_FAILURE(CreateAnAccount());

    Lobby()->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    Frame(1.0f);
    FindAs<CTextWidget>("user_login")->SetText(CKorvelString("player1"));
    FindAs<CTextWidget>("user_password")->SetText(CKorvelString("secret1"));
    FindAs<CToggleButton>("user_autologin")->SetToggled(1);
    Press("login_button");
    ASSERT_TRUE(LoggedIn());

    // The next start finds no server: its automatic login ends on the error page. The game
    // tries again by itself a second later, then every ten seconds.
    Lobby()->Deactivate();
    const unsigned int uLobbyPort = m_pServer->LobbyPort();
    const unsigned int uGamePort = m_pServer->GamePort();
    m_pServer->Stop();
    Lobby()->Activate();
    ASSERT_TRUE(WaitForPage("loginscreen_error"));
    const ::CLoginController::ReloginTimer* pTimer = Lobby()->GetReloginTimer();
    const int iSessions = m_App.m_iSessionsMade;
    Frame(1.0f);
    // Its failure arms the timer a frame later.
    Frame(0.0f);
    EXPECT_EQ(m_App.m_iSessionsMade, iSessions + 1) << "the game's own attempt a second later";
    EXPECT_EQ(pTimer->GetRemaining(), ::CLoginController::RELOGIN_LONGEST_WAIT);

    std::vector<std::string> aAgain = aAccount;
    aAgain.insert(aAgain.end(),
                  {"--port", std::to_string(uLobbyPort), "--game-port", std::to_string(uGamePort)});
    ASSERT_TRUE(m_pServer->Start(aAgain));
    const size_t uKeys = In("GetRandomKey").size();
    const size_t uLogins = In("Login").size();
    Press("button_tryagain");
    ASSERT_TRUE(WaitForPage("loginscreen_root"));
    Frame(1.0f);
    CTextWidget* pName = FindAs<CTextWidget>("user_login");
    CTextWidget* pPassword = FindAs<CTextWidget>("user_password");
    EXPECT_EQ(Narrow(pName->GetText()) + "/" + Narrow(pName->GetDisplayText()), "/player1");
    EXPECT_EQ(Narrow(pPassword->GetText()) + "/" + Narrow(pPassword->GetDisplayText()), "/*****");
    // Try again logs nobody in by itself: nothing connects until a second before the game's
    // own attempt is due, ten seconds after its last (the look at the page took one of them).
    const float fStep = 0.5f;
    const float fUntilDue = ::CLoginController::RELOGIN_LONGEST_WAIT - 1.0f;
    for (float f = 1.0f; f < fUntilDue; f += fStep)
        Frame(fStep);
    EXPECT_EQ(m_App.m_iSessionsMade, iSessions + 1) << "Try again logs nobody in by itself";
    EXPECT_EQ(In("Login").size(), uLogins);
    EXPECT_GT(pTimer->GetRemaining(), 0.0f) << "the game's own attempt is still to come";
    Press("login_button");
    ASSERT_TRUE(WaitFor([&] { return In("Login").size() == uLogins + 1; }));
    ASSERT_TRUE(LoggedIn()) << "the remembered hash logged in";
    EXPECT_EQ(In("GetRandomKey").size(), uKeys) << "no new key, no new password";
    EXPECT_EQ(In("Login").back()["user"].String(), "player1");
}

// The longest address the check lets through, typed into the shipped pages' fields: the account
// is made with the whole address, which then logs it in.
TEST_F(CVornMenuState, OnTheShippedPagesAnAddressOfTheLongestLengthIsTakenWholeToRegisterAndToLogIn)
{
    m_bShipped = true;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    Frame(1.0f);
    const std::string strAddress = std::string(250, 'a') + "@b.cde";
    ASSERT_EQ(strAddress.size(), 256u);
    const auto Type = [&](const char* pField, const std::string& strText)
    {
        FindAs<CTextWidget>(pField)->SetText(CKorvelString());
        Press(pField);
        for (const char c : strText)
            m_App.OnChar(static_cast<unsigned char>(c));
    };
    ASSERT_NO_FATAL_FAILURE(PressTo("register_button", "loginscreen_playername"));
    FindAs<CTextWidget>("input_playername")->SetText(CKorvelString("longmail"));
    ASSERT_NO_FATAL_FAILURE(PressTo("validate_user_button", "loginscreen_confirm"));
    ASSERT_NO_FATAL_FAILURE(PressTo("loginscreen_confirm_continue", "loginscreen_email"));
    // One more character than the check allows is not taken.
    ASSERT_NO_FATAL_FAILURE(Type("input_email", strAddress + "f"));
    EXPECT_EQ(TextOf("input_email"), strAddress);
    ASSERT_NO_FATAL_FAILURE(Type("input_password", "secret1"));
    Press("validate_email_button");
    ASSERT_TRUE(LoggedIn());
    EXPECT_EQ(In("ConfirmEmail").back()["email"].String(), strAddress);

    // Logged out once the login's loading has ended, as from the settings.
    ASSERT_TRUE(WaitFor([&] { return !Lobby()->IsLoading(); }));
    Lobby()->Logout();
    Lobby()->OnLogout();
    ASSERT_EQ(PageName(), "loginscreen_root");
    // The page slides in over frame time.
    for (int i = 0; i < 30 && !Visible("loginscreen_root"); ++i)
        Frame(0.1f);
    Frame(1.0f);
    ASSERT_NO_FATAL_FAILURE(Type("user_login", strAddress));
    EXPECT_EQ(TextOf("user_login"), strAddress);
    ASSERT_NO_FATAL_FAILURE(Type("user_password", "secret1"));
    const size_t uLogins = In("Login").size();
    Press("login_button");
    ASSERT_TRUE(WaitFor([&] { return In("Login").size() > uLogins && Lobby()->IsLoggedIn(); }));
    EXPECT_EQ(In("Login").back()["user"].String(), strAddress);
}

} // namespace
