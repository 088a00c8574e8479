// The real lobby state on the shell's test application against the project's lobby server,
// with a small "menu_root.xml" of the pages the tests need. Header only.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "support/SessionServerTest.h"
#include "support/TestText.h"
#include "support/UiTestFiles.h"
#include "tests/Framework/Shell/ShellTestStats.h"

namespace menu_state_test
{

inline std::string Box(const char* pName, const char* pType, const std::string& strInner = "",
                       const char* pExtra = "")
{
    return std::string("<element name=\"") + pName + "\" type=\"" + pType + "\" " + pExtra +
           "><size w=\"0.2\" h=\"0.1\"/>" + strInner + "</element>\n";
}

inline std::string Event(const char* pEvent, const char* pAction)
{
    return std::string("<events><") + pEvent + " action=\"" + pAction + "\"/></events>";
}

inline std::string Page(const char* pName, const std::string& strInner, const char* pShow = nullptr)
{
    return std::string("<element name=\"") + pName + "\" type=\"widget\"><size w=\"1.0\" h=\"1.0\"/>" +
           (pShow ? Event("onshow", pShow) : "") + strInner + "</element>\n";
}

inline std::string InputText(const char* pName)
{
    return Box(pName, "text", "<text type=\"input\" font=\"main\"/>");
}

// The lobby's pages for the tests, the login page first; the guest button fills the lower
// left corner.
inline std::string MenuPages()
{
    const std::string strList =
        "<element name=\"item_template\" type=\"widget\"><size w=\"0.5\" h=\"0.1\"/>" +
        Box("language-name", "text", "<text font=\"main\"/>") +
        Box("select-button", "button",
            Event("onclick", "select_language_item") + Box("selected", "image") +
                Box("unselected", "image")) +
        "</element>";
    return "<element name=\"menu_root\" type=\"page_layout\" uniquename=\"lobby_pages\"><size w=\"1.0\" "
           "h=\"1.0\"/><history max-size=\"8\"/>\n" +
           Page("loginscreen_root",
                InputText("user_login") + InputText("user_password") +
                    Box("user_autologin", "toggle_button") +
                    Box("login_button", "button", Event("onclick", "login_kestrolund")) +
                    "<element name=\"loginscreen_choices\" type=\"widget\"><position x=\"0.0\" y=\"0.8\"/>"
                    "<size w=\"0.2\" h=\"0.2\"/>" +
                    "<element name=\"guest_login_button\" type=\"button\"><size w=\"0.2\" h=\"0.2\"/>" +
                    Event("onclick", "guest_login") + "</element></element>" +
                    Box("exit-button", "button", Event("onclick", "exit_app")),
                "login_show") +
           Page("startup_language_chooser",
                Box("language_list", "infinite_list",
                    "<page-size value=\"10\"/><events><onshow action=\"show_language_chooser\"/>"
                    "<onloaditem action=\"load_language_item\"/><onforgetitem "
                    "action=\"unload_language_item\"/>"
                    "</events>" +
                        strList) +
                    Box("choose_language_button", "button", Event("onclick", "choose_language")) +
                    Box("exit-button", "button", Event("onclick", "exit_app"))) +
           Page("loading_dialog", Box("text_title", "text", "<text font=\"main\"/>") +
                                      Box("text_description", "text", "<text font=\"main\"/>")) +
           Page(
               "loginscreen_error",
               Box("loginerror_title", "text", "<text font=\"main\"/>") +
                   Box("loginerror_message", "text", "<text font=\"main\"/>") +
                   Box("button_recover", "button", "<position x=\"0.0\" y=\"0.3\"/>") +
                   Box("button_update", "web_button", "<position x=\"0.0\" y=\"0.5\"/>") +
                   Box("button_tryagain", "button", Box("label_tryagain", "text", "<text font=\"main\"/>"))) +
           Page("loginscreen_playername",
                "<element name=\"page_root\" type=\"widget\"><size w=\"1.0\" h=\"1.0\"/>" +
                    InputText("input_playername") +
                    Box("tos_elements", "widget", Box("button_agree", "toggle_button")) +
                    Box("text_usernametaken", "text", "<text font=\"main\"/>") +
                    Box("username_loading", "widget") +
                    Box("validate_button", "button", Event("onclick", "validate_user")) + "</element>",
                "playername_show") +
           Page("loginscreen_confirm", "") +
           Page("loginscreen_email",
                InputText("input_email") + InputText("input_password") +
                    Box("register_button", "button", Event("onclick", "validate_email"))) +
           Page("loginscreen_thank", "") + Page("loginscreen_nameconflict", "") +
           Page("loginscreen_google", "") +
           Page("startscreen_root", Box("startscreen", "widget") + Box("startscreen_ingame", "widget")) +
           Page("chat_root", "") + Page("challenge_received", "") + Page("challenge_waiting", "") +
           Page("settings_root", Box("setting_mute", "toggle_button")) +
           Page("shop_root", Box("shop_page_list", "infinite_list")) +
           Page("my_items_root", Box("my_items_page_list", "infinite_list")) + "</element>\n";
}

// The vorn button in the upper right corner, with its turn clock.
inline std::string VornButton()
{
    return "<element name=\"vorn_button_root\" type=\"widget\"><size w=\"1.0\" h=\"1.0\"/>"
           "<element name=\"vorn_button\" type=\"button\"><position x=\"0.8\" y=\"0.0\"/><size w=\"0.2\" "
           "h=\"0.2\"/>" +
           Event("onclick", "toggle_vorn_menu") + Box("vorn-image", "image") +
           Box("vorn-timer", "widget", Box("vorn-turn-clock", "pie")) + "</element>" +
           Box("vorn-image", "image") + "</element>\n";
}

inline std::string Dialogs()
{
    return Box("confirm_buy_dialog_ingame", "widget", "", "display=\"0\"") +
           Box("generic_error_dialog_ingame", "widget", "", "display=\"0\"");
}

inline std::string MenuLayout(const std::string& strInner)
{
    std::string strAreas;
    for (const char* pSize : {"width=\"320\" height=\"240\"", "width=\"480\" height=\"320\""})
        strAreas += std::string("<area ") + pSize + " name=\"root\">\n" + strInner + "</area>\n";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<menu>\n" + strAreas + "</menu>\n";
}

inline std::string FullMenuLayout()
{
    return MenuLayout(MenuPages() + VornButton() + Dialogs());
}

// A store of accounts for the server's --accounts, each with the password "pw" (key "k") and
// its profile as JSON members.
inline std::string Store(const std::vector<std::pair<std::string, std::string>>& aAccounts)
{
    std::string strStore = "{\"version\": 1, \"accounts\": {";
    for (size_t i = 0; i < aAccounts.size(); ++i)
        strStore += std::string(i ? ", " : "") + "\"" + aAccounts[i].first +
                    "\": {\"key\": \"k\", \"hash\": \"89f2dd1ca51bd6d83497350badc600f9\"" +
                    (aAccounts[i].second.empty() ? "" : ", " + aAccounts[i].second) + "}";
    return strStore + "}}";
}

// A match of a stored profile.
inline std::string Match(const char* pOpponent, int iResult, int iTime)
{
    return "{\"opponent\": \"" + std::string(pOpponent) + "\", \"result\": " + std::to_string(iResult) +
           ", \"time\": " + std::to_string(iTime) + "}";
}

// The fixture: the layout and a launch count written before the start.
class CMenuStateTest : public CSessionServerTest
{
protected:
    CMenuStateTest() { m_App.m_bRealLobby = true; }

    bool PrepareAppFolder() override
    {
        StoreIntSettings(m_Stored);
        for (int iHeld : m_aHolds)
            m_pControl->Hold(iHeld);
        // Layouts are read from the layout pack only.
        return CSessionServerTest::PrepareAppFolder() && WriteLayoutPack(m_strLayout) &&
               m_App.WriteSettings(
                   "[NETWORK]\nserver=\"127.0.0.1\"\nport=" + std::to_string(m_pServer->LobbyPort()) + "\n");
    }
    // Empty: a pack without the lobby's layout.
    bool WriteLayoutPack(const std::string& strLayout)
    {
        if (strLayout.empty())
            return WriteUiPack(m_App.Dir(), "vornlayouts.kmp", {{"unused.xml", "<unused/>"}});
        return WriteUiPack(m_App.Dir(), "vornlayouts.kmp", {{"menu_root.xml", strLayout}});
    }
    std::vector<std::string> LanguageTexts() override
    {
        std::vector<std::string> aTexts;
        for (int i = 0; i < 240; ++i)
            aTexts.push_back(SessionText(i));
        for (const auto& text : m_Texts)
        {
            if (size_t(text.first) >= aTexts.size())
                aTexts.resize(size_t(text.first) + 1);
            aTexts[size_t(text.first)] = text.second;
        }
        return aTexts;
    }
    void TearDown() override { CSessionServerTest::TearDown(); }

    CVornMenuState* Lobby() const { return m_App.GetLobbyState(); }
    CPageView* Pages() const { return Lobby() ? Lobby()->GetPageView() : nullptr; }
    std::string PageName() const
    {
        CWidget* pPage = Pages() ? Pages()->GetCurrentPage() : nullptr;
        return pPage ? Narrow(pPage->GetName()) : "";
    }
    CWidget* Find(const char* pName) const
    {
        return Lobby() && Lobby()->GetRoot() ? Lobby()->GetRoot()->FindWidget(CKorvelString(pName), -1)
                                             : nullptr;
    }
    template <class T> T* FindAs(const char* pName) const { return widget_cast<T*>(Find(pName)); }
    std::string TextOf(const char* pName) const
    {
        CTextWidget* pText = FindAs<CTextWidget>(pName);
        return pText ? Narrow(pText->GetText()) : "<none>";
    }
    bool Visible(const char* pName) const
    {
        CWidget* p = Find(pName);
        return p && p->GetVisible();
    }
    // The middle of the widget on the screen.
    void Middle(const char* pName, int& x, int& y) const
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
    }
    // A press and release at the middle of the widget, through the application's input.
    void Press(const char* pName)
    {
        int x = 0, y = 0;
        ASSERT_NO_FATAL_FAILURE(Middle(pName, x, y));
        PressAt(x, y);
    }
    // The same at the middle of the widget where it shows, a list's rows as far as it scrolled.
    void PressOn(CWidget* pWidget)
    {
        ASSERT_NE(pWidget, nullptr);
        int x = pWidget->GetWidth() / 2, y = pWidget->GetHeight() / 2;
        Lobby()->GetRoot()->MapFrom(pWidget, x, y);
        PressAt(x, y);
    }
    void PressAt(int x, int y)
    {
        m_App.OnMouseButton(0, x, y);
        Frame(0.05f);
        m_App.OnMouseButtonUp(0, x, y);
        // A button clicks a moment after its release.
        Frame(0.1f);
        Frame(0.1f);
    }
    // The layouts, lobby pictures and fonts the build ships, in place of the small layout.
    bool UseShippedLayouts()
    {
        const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
        const std::filesystem::path built = std::filesystem::path(pBinary ? pBinary : ".") / "run/app/native";
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(built, ec))
        {
            const std::string strName = entry.path().filename().string();
            if (strName == "vornlayouts.kmp" || strName.rfind("vornlobby_", 0) == 0 ||
                strName.rfind("vornfonts_", 0) == 0)
                std::filesystem::copy_file(entry.path(), m_App.AppFile(strName),
                                           std::filesystem::copy_options::overwrite_existing, ec);
            if (ec)
                return false;
        }
        return !ec && std::filesystem::exists(m_App.AppFile("vornlayouts.kmp"));
    }
    // The start's loading has ended (the server answered the guest-login key).
    bool WaitForStart()
    {
        return WaitFor([&] { return !Lobby()->IsLoading(); });
    }
    bool WaitForPage(const std::string& strPage)
    {
        return WaitFor([&] { return PageName() == strPage; });
    }
    // On the logged-in lobby's connection: what the lobby sent is read, and the answers are
    // handled with nothing more asked (see WaitForQuiet).
    bool WaitForLobbyQuiet() { return WaitForQuiet(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())); }
    // The login's rounds are over: the item data is in, fetched on connections of its own, and
    // the refresh its arrival asks for on the lobby's connection is answered.
    bool WaitForLoginRounds()
    {
        return WaitFor(
                   [&]
                   { return m_App.m_Log.Count("game.InitialItemsReady") >= 1 && !Lobby()->IsLoading(); }) &&
               WaitForLobbyQuiet();
    }
    // The server received a message of that name.
    bool Received(const std::string& strName) const { return !In(strName).empty(); }
    bool WaitForMessage(const std::string& strName)
    {
        return WaitFor([&] { return Received(strName); });
    }
    // What the lobby sent on its lobby connection, in order, once the server has read all of
    // it: the echo of a probe sent last through that connection says so (echoes left out).
    std::vector<std::string> HeardFromLobby()
    {
        EXPECT_TRUE(WaitForHandled(sLOBBY_TARGET::Lobby(Session()->GetOwnUserId())));
        std::vector<CTestJson> aLines;
        std::string strConn;
        for (const std::string& strLine : m_pServer->Lines("in"))
        {
            CTestJson line;
            std::string strError;
            if (!CTestJson::Parse(strLine, line, strError))
                continue;
            if (line["name"].String() == "Alive" && line["fields"]["value"].Int() == m_iProbes)
                strConn = line["conn"].String();
            aLines.push_back(line);
        }
        std::vector<std::string> aNames;
        for (const CTestJson& line : aLines)
            if (line["conn"].String() == strConn && line["name"].String() != "Alive")
                aNames.push_back(line["name"].String());
        return aNames;
    }
    size_t Heard() { return HeardFromLobby().size(); }
    // What uResizes ask of a server that has no promotions: each asks for both again, the
    // page holding none of them.
    static std::vector<std::string> PromotionsAskedAgain(size_t uResizes)
    {
        return std::vector<std::string>(2 * uResizes, "GetImageAndLink");
    }
    // What the lobby asked on its lobby connection after the first uFrom messages.
    std::vector<std::string> AskedSince(size_t uFrom)
    {
        const std::vector<std::string> aNames = HeardFromLobby();
        return std::vector<std::string>(
            aNames.begin() + static_cast<std::ptrdiff_t>(std::min(uFrom, aNames.size())), aNames.end());
    }

    std::map<std::string, int> m_Stored = {{"__Vorn_TimesLaunched", 4}};
    std::map<int, std::string> m_Texts;
    std::vector<int> m_aHolds; // answers the server holds from the start
    std::string m_strLayout = FullMenuLayout();
};

} // namespace menu_state_test
