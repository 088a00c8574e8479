// The post-game chat: the backlog's lines, colours and pace, the rematch button's delay and
// the notifier, with a second guest on the lobby server as the other player.
// KORVEL_GL_TEST
#include "Framework/UI/RunningList.h"
#include "Framework/UI/Theme.h"
#include "Framework/VornLobby.h"
#include "Framework/VornPlayer.h"
#include "VornMenuStateMatchTest.h"

using namespace menu_state_test;

namespace
{
const unsigned int INFO = 0xFF2F9BCE;
const unsigned int OWN = 0xFFFFC000;
const unsigned int RECEIVED = 0xFFFFFFFF;

// The full test layout with the chat page's widgets and the notifier beside the vorn button.
std::string ChatLayout()
{
    const std::string strChat =
        Box("chat_backlog", "running_list", Box("item_template", "text", "<text font=\"main\"/>")) +
        InputText("chat_textfield") + Box("rematch-button", "toggle_button", "", "display=\"0\"") +
        Box("button_back", "button");
    const std::string strNotifier =
        Box("chat-notifier", "widget", Box("chat_notifier_count", "text", "<text font=\"main\"/>"),
            "display=\"0\"");
    std::string strPages = MenuPages();
    const std::string strEmpty = Page("chat_root", "");
    strPages.replace(strPages.find(strEmpty), strEmpty.size(), Page("chat_root", strChat));
    std::string strButton = VornButton();
    strButton.insert(strButton.rfind("</element>"), strNotifier);
    return MenuLayout(strPages + strButton + Dialogs());
}

class CVornMenuState : public CMatchTest
{
protected:
    void SetUp() override
    {
        m_Texts[180] = "%s joined";
        m_Texts[198] = "%s left";
        m_Texts[182] = "%s wants more";
        m_strLayout = ChatLayout();
        m_App.m_bForwardChat = true;
        CMatchTest::SetUp();
    }
    void StartMatch()
    {
        ASSERT_NO_FATAL_FAILURE(StartAsGuest());
        m_App.m_iForwardChatOwnId = Session()->GetOwnUserId();
        m_iOther = AddOpponent();
        ASSERT_GT(m_iOther, 0);
        ::CVornMenuState::actionStartGame(nullptr, Lobby());
        m_pOther->RegisterInGameQueue(0, 2);
        ASSERT_NO_FATAL_FAILURE(PlayOpponentUntilStart(0));
        CVornPlayer* pOther = Session()->GetLobby()->FindPlayerById(m_iOther);
        ASSERT_NE(pOther, nullptr);
        m_strOtherName = Narrow(pOther->m_strName);
        // The overlay shows the chat page, as the vorn button would.
        Lobby()->SetMenuVisibility(1);
        Frame(0.0f);
    }
    void SendFromOther(int iType, const char* pText = "")
    {
        CVornNetworkSession::sCHATMSG message;
        message.m_iType = iType;
        message.m_strText = CKorvelString(pText);
        message.m_iSender = m_iOther;
        m_pOther->SendChatMsg(&message);
    }
    CRunningList* Backlog() { return FindAs<CRunningList>("chat_backlog"); }
    int Shown() { return Backlog() ? Backlog()->GetWidgets().GetCount() : -1; }
    // The text and colour of the newest shown line.
    std::pair<std::string, unsigned int> Newest()
    {
        CRunningList* pList = Backlog();
        if (!pList || pList->GetWidgets().GetCount() == 0)
            return {"<none>", 0};
        CTextWidget* pText =
            widget_cast<CTextWidget*>(pList->GetWidgets()[pList->GetWidgets().GetCount() - 1]);
        return pText ? std::make_pair(Narrow(pText->GetText()), pText->GetColor())
                     : std::make_pair(std::string("<not text>"), 0u);
    }
    bool WaitForLines(int iCount)
    {
        return WaitFor([&] { return Lobby()->GetChatBacklogCount() >= iCount; });
    }

    int m_iOther = 0;
    std::string m_strOtherName;
};

TEST_F(CVornMenuState, TheOtherPlayerEnteringShowsANoticeAndTheRematchButtonTwoSecondsLater)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    ASSERT_NE(Backlog(), nullptr);
    Lobby()->SetChatButtonVisibility(1);
    SendFromOther(0);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0 && Shown() > 0; }));
    EXPECT_EQ(Newest().first, m_strOtherName + " joined");
    EXPECT_EQ(Newest().second, INFO);

    CWidget* pRematch = Find("rematch-button");
    ASSERT_NE(pRematch, nullptr);
    // The delay runs from the record's arrival; the frames above used part of it.
    const float fLeft = Lobby()->GetRematchDelay();
    ASSERT_GT(fLeft, 0.0f);
    Frame(fLeft - 0.05f);
    EXPECT_FALSE(pRematch->GetVisible());
    Frame(0.1f);
    EXPECT_TRUE(pRematch->GetVisible());

    // A decline hides it again.
    SendFromOther(1);
    ASSERT_TRUE(WaitFor([&] { return !pRematch->GetVisible(); }));
}

TEST_F(CVornMenuState, LinesArrivingTogetherEnterTheBacklogOnePerFrame)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    const int iBefore = Lobby()->GetChatBacklogCount();
    // Held back while the overlay is closed, so all five are pending at once.
    Lobby()->SetMenuVisibility(0);
    for (int i = 0; i < 5; ++i)
        SendFromOther(2, "hello");
    ASSERT_TRUE(WaitForLines(iBefore + 5));
    Settle();
    ASSERT_EQ(Lobby()->GetPendingChatLineCount(), iBefore + 5 - Shown());
    Lobby()->SetMenuVisibility(1);
    while (Lobby()->GetPendingChatLineCount() > 0)
    {
        const int iShown = Shown();
        Frame(0.0f);
        ASSERT_EQ(Shown(), iShown + 1);
    }
    EXPECT_EQ(Newest().first, m_strOtherName + ": hello");
    EXPECT_EQ(Newest().second, RECEIVED);
}

TEST_F(CVornMenuState, AnOwnLineIsAddedOnceInTheOwnColourAndGoesOutAsALine)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Settle();
    const int iBefore = Lobby()->GetChatBacklogCount();
    CTextWidget* pField = FindAs<CTextWidget>("chat_textfield");
    ASSERT_NE(pField, nullptr);

    // An empty field sends nothing.
    const size_t uSent = Count("ChatMessage");
    ::CVornMenuState::actionChatSend(nullptr, Lobby());
    Settle();
    EXPECT_EQ(Count("ChatMessage"), uSent);

    pField->SetText(CKorvelString("gg"));
    ::CVornMenuState::actionChatSend(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Count("ChatMessage") > uSent; }));
    EXPECT_EQ(In("ChatMessage").back()["type"].Int(), 2);
    EXPECT_EQ(TextOf("chat_textfield"), "");
    Settle();
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), iBefore + 1);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    EXPECT_EQ(Newest().second, OWN);
}

TEST_F(CVornMenuState, RecordsFromStrangersAndRepeatedLeavesAddNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Settle();
    const int iBefore = Lobby()->GetChatBacklogCount();
    CVornNetworkSession::sCHATMSG stranger;
    stranger.m_iType = 3;
    stranger.m_strText = CKorvelString("info");
    stranger.m_iSender = m_iOther + 1000;
    Lobby()->OnChatMessage(&stranger, 1);
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), iBefore);

    SendFromOther(5);
    SendFromOther(5);
    ASSERT_TRUE(WaitForLines(iBefore + 1));
    Settle();
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), iBefore + 1);
    EXPECT_TRUE(Lobby()->HasPlayerDisconnected(m_iOther));
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    EXPECT_EQ(Newest().first, m_strOtherName + " left");
}

TEST_F(CVornMenuState, TheThemesChatColoursReplaceTheDefaults)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Settle();
    ASSERT_NE(m_App.GetTheme(), nullptr);
    m_App.GetTheme()->AddColorConfig({CKorvelString("chat_message_default"), 0xFF112233u});
    SendFromOther(2, "hi");
    ASSERT_TRUE(WaitFor([&] { return Newest().first == m_strOtherName + ": hi"; }));
    EXPECT_EQ(Newest().second, 0xFF112233u);
}

TEST_F(CVornMenuState, TheNotifierCyclesItsDotsEveryTwoSeconds)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Lobby()->SetMenuVisibility(0);
    Settle();
    SendFromOther(2, "psst");
    CWidget* pNotifier = Find("chat-notifier");
    ASSERT_NE(pNotifier, nullptr);
    ASSERT_TRUE(WaitFor([&] { return pNotifier->GetVisible(); }));
    CTextWidget* pDots = widget_cast<CTextWidget*>(pNotifier->GetWidgets()[0]);
    ASSERT_NE(pDots, nullptr);
    // Step until a cycle has just wrapped: "" follows "..." only at 0.25 s past the wrap.
    bool bSeenFull = false;
    for (int i = 0; i < 40 && !(bSeenFull && Narrow(pDots->GetText()).empty()); ++i)
    {
        Frame(0.25f);
        bSeenFull = bSeenFull || Narrow(pDots->GetText()) == "...";
    }
    ASSERT_EQ(Narrow(pDots->GetText()), "");
    const char* aExpected[] = {".", ".", "..", "..", "...", "...", "...", ""};
    for (const char* pExpected : aExpected)
    {
        Frame(0.25f);
        EXPECT_EQ(Narrow(pDots->GetText()), pExpected);
    }
}

} // namespace
