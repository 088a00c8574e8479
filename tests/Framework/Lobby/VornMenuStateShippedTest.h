// The lobby on the layouts and packs the build ships (the built application folder), logged
// in as a guest, and the lobby server's scripted player (peer.py) as the opponent in a match
// reached through quick play. Header only.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Framework/UI/RunningList.h"
#include "VornMenuStateMatchTest.h"
#include "support/BuiltAppFolder.h"
#include "support/PeerProcess.h"
#include "support/TestShellPacks.h"

namespace menu_state_test
{

class CShippedChatTest : public CMatchTest
{
protected:
    void SetUp() override
    {
        // Chat records reach the lobby as the shell hands them on.
        m_App.m_bForwardChat = true;
        CMatchTest::SetUp();
    }
    void TearDown() override
    {
        // The peer leaves before the server counts what it logged.
        m_Peer.Stop();
        CMatchTest::TearDown();
    }
    // The built folder's packs and layouts, with the test's texts and server address.
    bool PrepareAppFolder() override
    {
        StoreIntSettings(m_Stored);
        for (int iHeld : m_aHolds)
            m_pControl->Hold(iHeld);
        if (!LinkBuiltAppFolder(m_App.AppFile("")))
            return false;
        // Written here, not through the links into the build's folder.
        for (const char* pName : {"vornlanguage_en.kmp", "settings.txt"})
            std::filesystem::remove(m_App.AppFile(pName));
        return WriteTestFile(m_App.AppFile("vornlanguage_en.kmp"),
                             TestLanguagePackBytes("English", "en", LanguageTexts())) &&
               m_App.WriteSettings(
                   "[NETWORK]\nserver=\"127.0.0.1\"\nport=" + std::to_string(m_pServer->LobbyPort()) + "\n");
    }
    // The shop the game ships with, for a server that offers it.
    static std::string ShippedCatalogue()
    {
        const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
        return std::string(pBinary ? pBinary : ".") + "/lobby-data/catalogue.json";
    }
    // The shipped login page's guest login (its button's action, without the press).
    void StartAsGuest()
    {
        ASSERT_NO_FATAL_FAILURE(Start(m_aServerOptions));
        ASSERT_TRUE(WaitForStart());
        ASSERT_EQ(PageName(), "loginscreen_root");
        ::CVornMenuState::actionGuestLogin(nullptr, Lobby());
        ASSERT_TRUE(WaitFor([&] { return Lobby()->IsLoggedIn() != 0; }));
        ASSERT_TRUE(WaitForLobbyQuiet()) << "the login's rounds";
    }
    // The lobby and the peer quick-play into one match; the game has started.
    void StartMatch()
    {
        ASSERT_NO_FATAL_FAILURE(StartAsGuest());
        ASSERT_TRUE(m_Peer.Start(m_pServer->LobbyPort()));
        ASSERT_TRUE(m_Peer.Command("\"cmd\": \"guest\""));
        ASSERT_TRUE(WaitFor([&] { return m_Peer.UserId() > 0; }));
        m_iPeer = m_Peer.UserId();
        m_strPeerName = m_Peer.Received("LoginACK")[0]["name"].String();
        ::CVornMenuState::actionStartGame(nullptr, Lobby());
        ASSERT_TRUE(m_Peer.Command("\"cmd\": \"queue\""));
        ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.StartGame") > 0; }));
        ASSERT_TRUE(WaitFor([&] { return !m_Peer.Received("GameStart", "game").empty(); }));
    }
    // The chat's notice is in and shown. It comes with the answer to the chat page's request
    // for its players, once a match and once after its end: no line comes after it but the
    // players'.
    bool WaitForChatNotice()
    {
        return WaitFor([&]
                       { return Lobby()->IsChatNoticeShown() && Lobby()->GetPendingChatLineCount() == 0; });
    }
    // The number of shown backlog lines that read so.
    int BacklogLinesWith(const std::string& strText)
    {
        CRunningList* pList = FindAs<CRunningList>("chat_backlog");
        int n = 0;
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
            if (CTextWidget* pLine = widget_cast<CTextWidget*>(pList->GetWidgets()[i]))
                n += Narrow(pLine->GetText()) == strText ? 1 : 0;
        return n;
    }
    // The texts of the own chat lines the server read, oldest first. The match's own "entered"
    // record and the peer's records are read whenever they come, before or after a line typed:
    // they are not among them.
    std::vector<std::string> OwnLinesSent()
    {
        std::vector<std::string> aTexts;
        const long long llOwn = Session()->GetOwnUserId();
        for (const CTestJson& line : In("ChatMessage"))
            if (line["type"].Int() == CVornNetworkSession::CHAT_LINE && line["sender"].Int() == llOwn)
                aTexts.push_back(line["text"].String());
        return aTexts;
    }
    // A chat record from the peer.
    void PeerChat(int iType, const std::string& strText = "")
    {
        ASSERT_TRUE(m_Peer.Command("\"cmd\": \"chat\", \"type\": " + std::to_string(iType) +
                                   ", \"text\": " + CTestJson::Quote(strText)));
    }

    // A drag down over the chat's lines, through the application's input, and the fling's end.
    void DragLines(int iPull)
    {
        int x = 0, y = 0;
        ASSERT_NO_FATAL_FAILURE(Middle("chat_lines", x, y));
        m_App.OnMouseButton(0, x, y);
        for (int i = 1; i <= 4; ++i)
        {
            Frame(0.05f);
            m_App.OnMouseDrag(0, x, y + i * iPull / 4);
        }
        m_App.OnMouseButtonUp(0, x, y + iPull);
        for (int i = 0; i < 30; ++i)
            Frame(0.05f);
    }

    // Given to the lobby server at the start.
    std::vector<std::string> m_aServerOptions;
    CPeerProcess m_Peer;
    int m_iPeer = -1;
    std::string m_strPeerName;
};

} // namespace menu_state_test
