// The post-game chat on the shipped layout: the backlog's lines, colours and pace, the rematch
// button's delay and the notifier, with the lobby server's scripted player as the opponent.
// KORVEL_GL_TEST
#include <GLES2/gl2.h>

#include "Framework/Session/VornLobby.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/RunningList.h"
#include "Framework/UI/Theme.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "PlatformPcmControl.h"
#include "VornMenuStateShippedTest.h"
#include "support/HeapBytes.h"

#include <iterator>
#include <string>
#include <utility>
#include <vector>

using namespace menu_state_test;

namespace
{
const unsigned int INFO = 0xFF2F9BCE;
const unsigned int OWN = 0xFFFFC000;
const unsigned int RECEIVED = 0xFFFFFFFF;

class CVornMenuState : public CShippedChatTest
{
protected:
    void SetUp() override
    {
        m_Texts[180] = "%s joined";
        m_Texts[198] = "%s left";
        m_Texts[182] = "%s wants more";
        CShippedChatTest::SetUp();
    }
    void StartMatch()
    {
        ASSERT_NO_FATAL_FAILURE(CShippedChatTest::StartMatch());
        // The overlay shows the chat page, as the vorn button would; the avatars' waiting
        // line is in before the tests count lines.
        Lobby()->SetMenuVisibility(1);
        ::CVornMenuState::actionShowChatAvatars(nullptr, Lobby());
        ASSERT_TRUE(WaitForChatNotice());
    }
    void SendFromOther(int iType, const char* pText = "") { PeerChat(iType, pText); }
    CRunningList* Backlog() { return FindAs<CRunningList>("chat_backlog"); }
    int Shown() { return Backlog() ? Backlog()->GetWidgets().GetCount() : -1; }
    // The text and colour of the newest shown line.
    std::pair<std::string, unsigned int> Newest()
    {
        CRunningList* pList = Backlog();
        if (!pList || pList->GetWidgets().GetCount() == 0)
            return {"<none>", 0};
        // The list names its lines by a running number; where the newest sits depends on
        // the way the list grows.
        CWidget* pNewest = nullptr;
        int iNewest = -1;
        for (int i = 0; i < pList->GetWidgets().GetCount(); ++i)
        {
            int iNumber = -1;
            CWidget* pLine = pList->GetWidgets()[i];
            if (pLine->GetName().Scan(L"%d", &iNumber) == 1 && iNumber > iNewest)
            {
                iNewest = iNumber;
                pNewest = pLine;
            }
        }
        CTextWidget* pText = widget_cast<CTextWidget*>(pNewest);
        return pText ? std::make_pair(Narrow(pText->GetText()), pText->GetColor())
                     : std::make_pair(std::string("<not text>"), 0u);
    }
    bool WaitForLines(int iCount)
    {
        return WaitFor([&] { return Lobby()->GetChatBacklogCount() >= iCount; });
    }
    // A line of the other player, as the session hands it on.
    void ReceiveLine(const std::string& strText)
    {
        CVornNetworkSession::sCHATMSG line;
        line.m_iType = CVornNetworkSession::CHAT_LINE;
        line.m_strText = CKorvelString(strText.c_str());
        line.m_iSender = m_iPeer;
        Lobby()->OnChatMessage(&line, 1);
    }
    // A window of the new size; the rebuilt page has shown every line again.
    void Resize(int iWidth, int iHeight)
    {
        m_App.OnScreenChanged(iWidth, iHeight);
        ASSERT_NE(m_App.GetBack(), nullptr);
        ASSERT_EQ(m_App.GetBack()->GetWidth(), iWidth);
        ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
        Frame(0.0f);
    }
    // The newest line ends with the text, lies whole at the bottom of the lines' holder and is
    // drawn on rows enough for all of it; lines that fill the holder leave no room above them.
    void ExpectNewestWholeAtTheBottom(const std::string& strEnd)
    {
        CRunningList* pList = Backlog();
        ASSERT_NE(pList, nullptr);
        const std::string strNewest = Newest().first;
        ASSERT_GE(strNewest.size(), strEnd.size());
        ASSERT_EQ(strNewest.substr(strNewest.size() - strEnd.size()), strEnd);
        CWidget* pHolder = Find("chat_lines");
        CTextWidget* pNewest =
            widget_cast<CTextWidget*>(pList->GetWidgets()[pList->GetWidgets().GetCount() - 1]);
        ASSERT_NE(pNewest, nullptr);
        int iLeft = 0, iTop = 0, iRight = pNewest->GetWidth(), iLow = pNewest->GetHeight();
        pNewest->MapTo(pHolder, iLeft, iTop);
        pNewest->MapTo(pHolder, iRight, iLow);
        EXPECT_GE(iTop, 0);
        EXPECT_LE(iLow, pHolder->GetHeight());
        EXPECT_GE(iLow, pHolder->GetHeight() - 1);
        CKorvelBitmapFont* pFont = pNewest->GetFont();
        const int iRows = pNewest->GetHeight() / static_cast<int>(pFont->GetLineHeight());
        const int iRowWidth = pList->GetItemTemplate()->GetWidth();
        EXPECT_GE(iRows * iRowWidth, pFont->GetTextWidth(pNewest->GetText(), 0)) << iRows << " rows";
        if (pList->GetClientArea().GetHeight() > pHolder->GetHeight())
        {
            EXPECT_LE(pList->GetArea().top, 0) << "empty rows above the lines";
        }
    }
    // The texts of the shown lines, oldest first, and of those the view shows, whole or in part.
    std::vector<std::string> Lines(bool bInView)
    {
        std::vector<std::string> aTexts;
        CRunningList* pList = Backlog();
        const int iView = pList ? pList->GetShownY() : 0;
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
        {
            const CKorvelRect<int>& a = pList->GetWidgets()[i]->GetArea();
            if (!bInView || (a.bottom > iView && a.top < iView + pList->GetHeight()))
                aTexts.push_back(Narrow(widget_cast<CTextWidget*>(pList->GetWidgets()[i])->GetText()));
        }
        return aTexts;
    }
    // Both players' avatars over the chat show their own pictures.
    bool AvatarPictures()
    {
        CInfiniteList* pList = FindAs<CInfiniteList>("avatar_list");
        int iShown = 0;
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
        {
            CWidget* pAvatar = pList->GetWidgets()[i];
            const sPLAYERLISTITEM* pPlayer = static_cast<const sPLAYERLISTITEM*>(pAvatar->GetData());
            CImageWidget* pIcon = widget_cast<CImageWidget*>(pAvatar->FindWidget(CKorvelString("icon"), -1));
            CKorvelSurface* pOwn =
                pPlayer ? m_App.HaveSurface(CKorvelString(
                              ("player_avatar_icon_" + std::to_string(pPlayer->m_iPlayerId)).c_str()))
                        : nullptr;
            iShown += pOwn && pIcon && pIcon->GetImage() == pOwn ? 1 : 0;
            m_App.ReleaseSurface(pOwn);
        }
        return iShown == 2;
    }
    // The sizes a player's tiling window manager gives the window one after another, a frame
    // apart, ending at the size it had. The first frame at each size shows the chat where it
    // was: the lines the list held, the newest whole at the bottom when it was at its end, else
    // from the same line at the top, and the players' pictures; nothing is asked again.
    void ResizeCycle(const std::string& strNewest)
    {
        const std::vector<std::string> aHeld = Lines(false);
        const std::vector<std::string> aInView = Lines(true);
        ASSERT_FALSE(aInView.empty());
        ASSERT_TRUE(WaitFor([&] { return AvatarPictures(); }));
        const size_t uHeard = Heard();
        const bool bAtEnd = aInView.back() == aHeld.back();
        const std::pair<int, int> aSizes[] = {{800, 480}, {1200, 700}, {640, 400}, {1580, 700}, {1024, 600}};
        for (const std::pair<int, int>& size : aSizes)
        {
            SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
            m_App.OnScreenChanged(size.first, size.second);
            Frame(0.02f);
            EXPECT_TRUE(AvatarPictures());
            EXPECT_EQ(Lobby()->GetPendingChatLineCount(), 0);
            EXPECT_EQ(Lines(false), aHeld);
            if (bAtEnd)
            {
                ASSERT_NO_FATAL_FAILURE(ExpectNewestWholeAtTheBottom(strNewest));
            }
            else
            {
                ASSERT_FALSE(Lines(true).empty());
                EXPECT_EQ(Lines(true).front(), aInView.front());
            }
        }
        EXPECT_EQ(AskedSince(uHeard), PromotionsAskedAgain(std::size(aSizes)));
    }
};

TEST_F(CVornMenuState, TheOtherPlayerEnteringShowsANoticeAndTheRematchButtonTwoSecondsLaterAResizeOrNot)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    ASSERT_NE(Backlog(), nullptr);
    Lobby()->SetChatButtonVisibility(1);
    SendFromOther(0);
    ASSERT_TRUE(WaitFor([&] { return Newest().first == m_strPeerName + " joined"; }));
    EXPECT_EQ(Newest().second, INFO);

    CWidget* pRematch = Find("rematch-button");
    ASSERT_NE(pRematch, nullptr);
    // The delay runs from the record's arrival; the frames above used part of it. A resize
    // rebuilds the page, whose button keeps its state.
    const float fLeft = Lobby()->GetRematchDelay();
    ASSERT_GT(fLeft, 0.0f);
    Lobby()->OnScreenChanged(480, 320);
    pRematch = Find("rematch-button");
    EXPECT_FALSE(pRematch->GetVisible()) << "no rematch before its time";
    Frame(fLeft - 0.05f);
    EXPECT_FALSE(pRematch->GetVisible());
    Frame(0.1f);
    EXPECT_TRUE(pRematch->GetVisible());
    Lobby()->OnScreenChanged(480, 320);
    pRematch = Find("rematch-button");
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
    EXPECT_EQ(Newest().first, m_strPeerName + ": hello");
    EXPECT_EQ(Newest().second, RECEIVED);
}

TEST_F(CVornMenuState, AfterTheMatchTheOpenChatShowsBothSidesLinesUntilItIsLeft)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    // The lobby is out of the match, and its end brings the chat page back.
    Lobby()->OnGameEnd();
    Lobby()->OnGameplayEnd(0);
    ASSERT_FALSE(Lobby()->IsInMatch());
    ASSERT_EQ(PageName(), "chat_root");
    ASSERT_TRUE(Pages()->GetVisible());
    // The match's end cleared the notice: the page's own request brings it once more, and on
    // a slow machine its answer may come after the chat was left.
    ASSERT_TRUE(WaitForChatNotice());
    SendFromOther(2, "gg");
    ASSERT_TRUE(WaitFor([&] { return Newest().first == m_strPeerName + ": gg"; }));
    FindAs<CTextWidget>("chat_textfield")->SetText(CKorvelString("again?"));
    ::CVornMenuState::actionChatSend(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return Newest().first.find(": again?") != std::string::npos; }));
    EXPECT_EQ(Newest().second, OWN);

    // Left, the chat takes lines in but shows them no more.
    Lobby()->ExitChat();
    Lobby()->SetMenuVisibility(1);
    const int iBefore = Lobby()->GetChatBacklogCount();
    SendFromOther(2, "bye");
    ASSERT_TRUE(WaitForLines(iBefore + 1));
    Settle();
    EXPECT_EQ(Lobby()->GetPendingChatLineCount(), 1);
    EXPECT_NE(Newest().first, m_strPeerName + ": bye");

    // The player logs out: his words, said or left in the field, are not the next player's.
    FindAs<CTextWidget>("chat_textfield")->SetText(CKorvelString("my draft words"));
    m_App.Logout(1);
    EXPECT_EQ(TextOf("chat_textfield"), "");
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), 0);
    EXPECT_EQ(Shown(), 0);
}

// Forty-five lines, the own and the other player's in turn, at two window sizes: each newest
// line whole at the bottom of the lines' holder, a long word and a long line drawn on the rows
// they need, back at the bottom after a drag and one more line. Through a cycle of window
// sizes the list holds the same lines as before and shows the same ones: the newest at the
// bottom, or those a drag had brought into view.
TEST_F(CVornMenuState, TheNewestLineIsAlwaysWholeInViewWhateverItsLengthThroughDragsAndResizes)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    const std::string strWord(200, 'w');
    std::string strLong;
    while (strLong.size() < 255)
        strLong += "long words ";
    strLong.resize(255);
    ASSERT_NO_FATAL_FAILURE(Resize(1024, 600));
    for (int i = 0; i < 44; ++i)
    {
        if (i == 30)
        {
            ASSERT_NO_FATAL_FAILURE(Resize(800, 480));
        }
        const std::string strText = i == 20 ? strWord : (i == 41 ? strLong : "line " + std::to_string(i));
        if (i % 2 == 0)
            m_App.SendChatMessage(CKorvelString(strText.c_str()), CVornNetworkSession::CHAT_LINE);
        else
            ReceiveLine(strText);
        ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
        Frame(0.0f);
        ASSERT_NO_FATAL_FAILURE(ExpectNewestWholeAtTheBottom(strText)) << "line " << i;
    }
    CRunningList* pList = Backlog();
    const int iBottom = pList->GetShownY();
    ASSERT_NO_FATAL_FAILURE(DragLines(pList->GetParent()->GetHeight() / 2));
    EXPECT_LT(pList->GetShownY(), iBottom) << "the drag showed older lines";
    m_App.SendChatMessage(CKorvelString("last"), CVornNetworkSession::CHAT_LINE);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    Frame(0.0f);
    ASSERT_NO_FATAL_FAILURE(ExpectNewestWholeAtTheBottom("last"));

    // The page is built anew and refilled, at its end and then scrolled back.
    const std::vector<std::string> aHeld = Lines(false);
    const std::vector<std::string> aAtEnd = Lines(true);
    ASSERT_EQ(aHeld.size(), static_cast<size_t>(pList->GetMaxItemCount() + 1));
    ASSERT_NO_FATAL_FAILURE(ResizeCycle("last"));
    EXPECT_EQ(Lines(true), aAtEnd);
    ASSERT_NO_FATAL_FAILURE(DragLines(Backlog()->GetParent()->GetHeight()));
    const std::vector<std::string> aScrolled = Lines(true);
    ASSERT_NE(aScrolled, aAtEnd);
    ASSERT_NO_FATAL_FAILURE(ResizeCycle("last"));
    EXPECT_EQ(Lines(false), aHeld);
    EXPECT_EQ(Lines(true), aScrolled);

    // Lines that come while the overlay is closed wait for it, through a resize too; the
    // lines shown are back at once.
    Lobby()->SetMenuVisibility(0);
    ReceiveLine("while closed 1");
    ReceiveLine("while closed 2");
    Frame(0.0f);
    m_App.OnScreenChanged(800, 480);
    EXPECT_EQ(Lobby()->GetPendingChatLineCount(), 2);
    EXPECT_EQ(Lines(false), aHeld);
    Lobby()->SetMenuVisibility(1);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    std::vector<std::string> aNow(aHeld.begin() + 2, aHeld.end());
    aNow.push_back(m_strPeerName + ": while closed 1");
    aNow.push_back(m_strPeerName + ": while closed 2");
    EXPECT_EQ(Lines(false), aNow);
}

TEST_F(CVornMenuState, AnOwnLineIsAddedOnceInTheOwnColourAndGoesOutAsALine)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Settle();
    const int iBefore = Lobby()->GetChatBacklogCount();
    CTextWidget* pField = FindAs<CTextWidget>("chat_textfield");
    ASSERT_NE(pField, nullptr);

    // An empty field sends nothing: the next line is the first to go out.
    ASSERT_EQ(OwnLinesSent().size(), 0u);
    ::CVornMenuState::actionChatSend(nullptr, Lobby());
    pField->SetText(CKorvelString("gg"));
    ::CVornMenuState::actionChatSend(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return !OwnLinesSent().empty(); }));
    EXPECT_EQ(OwnLinesSent(), std::vector<std::string>{"gg"});
    EXPECT_EQ(TextOf("chat_textfield"), "");
    Settle();
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), iBefore + 1);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    EXPECT_EQ(Newest().second, OWN);

    // Typed into the field and ended by Enter: the line goes out once, and the emptied field
    // takes the next line at once, with no press on it.
    int x = 0, y = 0;
    ASSERT_NO_FATAL_FAILURE(Middle("chat_textfield", x, y));
    m_App.OnMouseButton(0, x, y);
    m_App.OnMouseButtonUp(0, x, y);
    ASSERT_NE(pField->GetInput(), nullptr);
    for (const char* pLine : {"ok", "and again"})
    {
        const size_t uTyped = OwnLinesSent().size();
        for (const char* p = pLine; *p; ++p)
            m_App.OnChar(static_cast<unsigned char>(*p));
        m_App.OnChar('\r');
        EXPECT_EQ(TextOf("chat_textfield"), "");
        EXPECT_EQ(pField->IsEditing(), 1u) << "the field keeps the focus after Enter";
        EXPECT_NE(pField->GetInput(), nullptr);
        ASSERT_TRUE(WaitFor([&] { return OwnLinesSent().size() > uTyped; }));
        Settle();
        EXPECT_EQ(TextOf("chat_textfield"), "");
        EXPECT_EQ(OwnLinesSent().size(), uTyped + 1);
        EXPECT_EQ(OwnLinesSent().back(), pLine);
    }
}

TEST_F(CVornMenuState, RecordsFromStrangersAndRepeatedLeavesAddNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Settle();
    const int iBefore = Lobby()->GetChatBacklogCount();
    CVornNetworkSession::sCHATMSG stranger;
    stranger.m_iType = 3;
    stranger.m_strText = CKorvelString("info");
    stranger.m_iSender = m_iPeer + 1000;
    Lobby()->OnChatMessage(&stranger, 1);
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), iBefore);

    SendFromOther(5);
    SendFromOther(5);
    ASSERT_TRUE(WaitForLines(iBefore + 1));
    Settle();
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), iBefore + 1);
    EXPECT_TRUE(Lobby()->HasPlayerDisconnected(m_iPeer));
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    EXPECT_EQ(Newest().first, m_strPeerName + " left");
}

TEST_F(CVornMenuState, TheThemesChatColoursReplaceTheDefaults)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Settle();
    ASSERT_NE(m_App.GetTheme(), nullptr);
    m_App.GetTheme()->AddColorConfig({CKorvelString("chat_message_default"), 0xFF112233u});
    SendFromOther(2, "hi");
    ASSERT_TRUE(WaitFor([&] { return Newest().first == m_strPeerName + ": hi"; }));
    EXPECT_EQ(Newest().second, 0xFF112233u);
}

// Chat arriving without pause: the backlog keeps its newest lines, the memory stops growing
// once the backlog and the page's list are full, and the match goes on both ways.
TEST_F(CVornMenuState, AChatFloodKeepsTheNewestLinesInBoundedMemoryAndTheMatchGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Settle();
    const sLOBBY_TARGET game = sLOBBY_TARGET::Game(Session()->GetOwnUserId());
    // Lines of the longest text the session takes in, thirty to a control command (whose line
    // holds 64 KiB at most): 18 MB in all.
    const std::string strText(::CVornNetworkSession::MAX_CHAT_TEXT, 'f');
    const std::string strLine =
        m_pControl
            ->Send(game, "chat_message", "[2, \"" + strText + "\", " + std::to_string(m_iPeer) + "]")["hex"]
            .String();
    std::string strBurst;
    for (int i = 0; i < 30; ++i)
        strBurst += strLine;
    // The heap without what the test and the driver hold: the test's records of every line and
    // of every sound block, and Mesa's commands of the frames so far. The test's frames are never
    // presented, so Mesa bins them into a scene it draws only when that reaches tens of MB, and
    // while its threads are starved the next one fills beside it.
    auto Held = [&]
    {
        m_App.m_aChat = std::vector<std::string>();
        plat::PcmCaptureClear();
        glFinish();
        return HeapBytesInUse();
    };
    // Mesa frees a finished scene when the next one begins: one frame more, and the commands
    // of every frame before the flood are gone too.
    Held();
    Frame(0.0f);
    const size_t uBefore = Held();
    size_t uFull = 0; // once the backlog and the page's list are full
    size_t uPeak = uBefore;
    auto Measure = [&] { uPeak = std::max(uPeak, Held()); };
    for (int iBurst = 0; iBurst < 600; ++iBurst)
    {
        m_pControl->SendHex(game, strBurst);
        if (iBurst % 2 != 0)
            continue;
        Frame(0.016f);
        Measure();
        if (iBurst == 200)
        {
            ASSERT_TRUE(WaitFor(
                [&]
                {
                    Measure();
                    return Lobby()->GetChatBacklogCount() == ::CVornMenuState::CHAT_BACKLOG_LINES &&
                           Backlog() && Shown() > Backlog()->GetMaxItemCount();
                }));
            uFull = uPeak;
        }
    }
    // The peer's line comes after the flood on the same connection.
    SendFromOther(2, "still here");
    ASSERT_TRUE(WaitFor(
        [&]
        {
            Measure();
            return Newest().first == m_strPeerName + ": still here";
        }));
    std::printf("chat flood of 18 MB: the heap grew by %zu KiB at most, by %zu KiB after the first 6 MB\n",
                (uPeak - uBefore) >> 10, (uPeak - uFull) >> 10);
    // Nothing grows with the flood once the backlog and the page's list are full.
    EXPECT_LT(uPeak - uFull, size_t{8} << 20);
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), ::CVornMenuState::CHAT_BACKLOG_LINES);
    EXPECT_EQ(Lobby()->GetPendingChatLineCount(), 0);

    EXPECT_TRUE(Lobby()->IsInMatch());
    EXPECT_EQ(Session()->GetStatus(),
              unsigned{CVornNetworkSession::GAME_SOCKET_UP | CVornNetworkSession::LOBBY_LOGGED_IN});
    FindAs<CTextWidget>("chat_textfield")->SetText(CKorvelString("gg"));
    ::CVornMenuState::actionChatSend(nullptr, Lobby());
    EXPECT_TRUE(WaitFor(
        [&]
        {
            const std::vector<CTestJson> aLines = m_Peer.Received("ChatMessage", "game");
            return !aLines.empty() && aLines.back()["text"].String() == "gg";
        }))
        << "the own line reached the peer";
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

TEST_F(CVornMenuState, TheRematchButtonAndThePeersWishStartTheNextMatchOnTheSameConnection)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    const int iOwn = Session()->GetOwnUserId();
    const long long llSession = In("GameReady")[0]["session"].Int();
    CKorvelArray<int> aIds, aRanks;
    aIds.Add(iOwn);
    aIds.Add(m_iPeer);
    aRanks.Add(2);
    aRanks.Add(1);
    m_App.SendResults(aIds, aRanks, 0);
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"game_end\", \"players\": [" + std::to_string(iOwn) + ", " +
                               std::to_string(m_iPeer) + "], \"ranks\": [2, 1]"));
    ::CVornMenuState::actionChatRematch(nullptr, Lobby());
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"rematch\""));

    ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.StartGame") == 2; }));
    EXPECT_GT(GameLog().Count("game.GameSessionEnded"), 0) << "the old match ended first";
    ASSERT_TRUE(WaitFor([&] { return m_Peer.Received("GameStart", "game").size() == 2; }));
    EXPECT_EQ(m_Peer.Received("RematchReceived")[0]["value"].Int(), 3);
    EXPECT_EQ(m_Peer.Events("connected").size(), 1u) << "the same game connection";
    size_t uOwnReady = 0;
    for (const CTestJson& ready : In("GameReady"))
        if (ready["user"].Int() == iOwn)
        {
            ++uOwnReady;
            EXPECT_EQ(ready["session"].Int(), llSession);
        }
    EXPECT_EQ(uOwnReady, 2u);
    EXPECT_EQ(CountWithFlags("GetShopItemGroups", 0x401), 4u) << "a new round each, on both sides";
    EXPECT_TRUE(Lobby()->IsInMatch());
}

TEST_F(CVornMenuState, ThePeerLeavingGivesOneLeftLineWhateverTellsItAndTheGuestAWayBack)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    CWidget* pChat = Find("chat_root");
    CWidget* pBack = pChat ? pChat->FindWidget(CKorvelString("button_back"), -1) : nullptr;
    ASSERT_NE(pBack, nullptr);
    Lobby()->SetChatButtonVisibility(0);
    EXPECT_EQ(pBack->GetVisible(), 0u) << "a guest has none while the other player is there";
    const int iBefore = Lobby()->GetChatBacklogCount();
    SendFromOther(5);
    SendFromOther(5);
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"close\", \"conn\": \"game\""));
    ASSERT_TRUE(WaitFor([&] { return m_Rec.Count("OnPlayerDisconnected") > 0; }));
    Settle();
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    EXPECT_EQ(Lobby()->GetChatBacklogCount(), iBefore + 1);
    EXPECT_EQ(BacklogLinesWith(m_strPeerName + " left"), 1);
    EXPECT_TRUE(Lobby()->HasPlayerDisconnected(m_iPeer));
    EXPECT_EQ(pBack->GetVisible(), 1u) << "the guest would be stuck in the chat";
}

} // namespace
