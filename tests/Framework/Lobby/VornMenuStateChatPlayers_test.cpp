// The chat page as it ships (the built application folder's layouts), with the lobby server's
// scripted player as the opponent: the avatar strip, the player card, blocking from it, the
// send and return hints, the typing that pointer gestures leave to the field, the in-game item
// list the server was given, and the challenge pages' own buttons.
// KORVEL_GL_TEST
#include "Framework/Shell/VornStatistics.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/RunningList.h"
#include "VornMenuStateShippedTest.h"
#include "support/TestMedia.h"

using namespace menu_state_test;

namespace
{
const int PLAYER_LIST = 20;

class CVornMenuState : public CShippedChatTest
{
protected:
    void SetUp() override
    {
        m_Texts[199] = "Waiting for the others";
        m_Texts[40] = "Blocked %s";
        m_Texts[41] = "Unblocked %s";
        m_Texts[38] = "Following %s";
        CShippedChatTest::SetUp();
    }
    // Frames past the card's transition.
    void Animate()
    {
        for (int i = 0; i < 4; ++i)
            Frame(0.1f);
    }
    CInfiniteList* Avatars() { return FindAs<CInfiniteList>("avatar_list"); }
    CExpandable* Card() { return FindAs<CExpandable>("chat_expand_item"); }
    // The loaded avatar item that carries the player's record, or null.
    CWidget* AvatarOf(int iPlayer)
    {
        CInfiniteList* pList = Avatars();
        for (int i = 0; pList && i < pList->GetWidgets().GetCount(); ++i)
        {
            CWidget* pItem = pList->GetWidgets()[i];
            const sPLAYERLISTITEM* pRecord = static_cast<const sPLAYERLISTITEM*>(pItem->GetData());
            if (pRecord && pRecord->m_iPlayerId == iPlayer)
                return pItem;
        }
        return nullptr;
    }
    static CImageWidget* IconOf(CWidget* pItem)
    {
        return widget_cast<CImageWidget*>(pItem ? pItem->FindWidget(CKorvelString("icon"), -1) : nullptr);
    }
    // The resource manager's surface of that name (its reference given back at once).
    CKorvelSurface* Cached(const std::string& strName)
    {
        CKorvelSurface* pSurface = m_App.HaveSurface(CKorvelString(strName.c_str()));
        CKorvelSurface* pRelease = pSurface;
        m_App.ReleaseSurface(pRelease);
        return pSurface;
    }
    bool HasKey(const char* pName)
    {
        return m_App.GetStatistics()->GetProperty(CKorvelString(pName)) != nullptr;
    }
    void SetItems(const std::string& strMembers)
    {
        const CTestJson answer = m_pControl->Command(
            "{\"cmd\": \"items\", \"user\": " + std::to_string(Session()->GetOwnUserId()) + ", " +
            strMembers + "}");
        ASSERT_TRUE(answer["ok"].Bool()) << answer["error"].String();
    }
    // Items of one group, ids from 500.
    static std::string ItemList(int iCount)
    {
        std::string strItems;
        for (int i = 0; i < iCount; ++i)
            strItems += std::string(i ? ", " : "") + "{\"id\": " + std::to_string(500 + i) +
                        ", \"group\": 7, \"amount\": " + std::to_string(i + 1) +
                        ", \"enabled\": 1, \"data_id\": 101, \"last\": 1}";
        return "\"groups\": [{\"id\": 7, \"name\": \"Bombs\", \"type\": 5}], \"items\": [" + strItems + "]";
    }
    // Typed and ended by Enter, through the application's input: the line goes out as typed.
    void TypeLine(const std::string& strLine)
    {
        const size_t uBefore = OwnLinesSent().size();
        for (const char c : strLine)
            m_App.OnChar(static_cast<unsigned char>(c));
        m_App.OnChar('\r');
        ASSERT_TRUE(WaitFor([&] { return OwnLinesSent().size() > uBefore; })) << strLine;
        EXPECT_EQ(OwnLinesSent().back(), strLine);
    }
    std::vector<int> Starts(int iFlags) const
    {
        std::vector<int> aStarts;
        for (const CTestJson& asked : In("GetShopItems"))
            if (asked["flags"].Int() == iFlags)
                aStarts.push_back(static_cast<int>(asked["start"].Int()));
        return aStarts;
    }
};

TEST_F(CVornMenuState, TheAvatarStripFillsFromTheMatchsPlayersWithTheirPicturesAndOneWaitingLine)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Lobby()->SetMenuVisibility(1);
    ::CVornMenuState::actionShowChatAvatars(nullptr, Lobby());
    ASSERT_TRUE(WaitForMessage("GetGameSessionPlayers"));
    const int iOwn = Session()->GetOwnUserId();
    ASSERT_TRUE(WaitFor([&] { return AvatarOf(iOwn) && AvatarOf(m_iPeer); }));
    EXPECT_EQ(Avatars()->GetCount(), 2);

    // Each avatar shows its player's picture, kept by the resource manager under its id.
    const std::string strPicture = "player_avatar_icon_" + std::to_string(m_iPeer);
    ASSERT_TRUE(WaitFor([&] { return Cached(strPicture) != nullptr; }));
    EXPECT_EQ(IconOf(AvatarOf(m_iPeer))->GetImage(), Cached(strPicture));

    // The waiting line comes once, however often the players are asked for.
    ASSERT_TRUE(WaitFor([&] { return BacklogLinesWith("Waiting for the others") == 1; }));
    EXPECT_TRUE(Lobby()->IsChatNoticeShown());
    const size_t uAsked = In("GetGameSessionPlayers").size();
    ::CVornMenuState::actionShowChatAvatars(nullptr, Lobby());
    ASSERT_TRUE(WaitFor([&] { return In("GetGameSessionPlayers").size() > uAsked; }));
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(BacklogLinesWith("Waiting for the others"), 1);
}

TEST_F(CVornMenuState, ACardOpensFromAnAvatarAndFollowsGiftsToAndBlocksItsPlayer)
{
    m_aServerOptions = {"--catalogue", ShippedCatalogue()};
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Lobby()->SetMenuVisibility(1);
    ::CVornMenuState::actionShowChatAvatars(nullptr, Lobby());
    const std::string strPicture = "player_avatar_icon_" + std::to_string(m_iPeer);
    ASSERT_TRUE(WaitFor([&] { return AvatarOf(m_iPeer) && Cached(strPicture); }));
    CExpandable* pCard = Card();
    ASSERT_NE(pCard, nullptr);
    CWidget* pSlide = Find("chat_expand_slidearea");

    CWidget* pAvatarButton = AvatarOf(m_iPeer)->FindWidget(CKorvelString("player_avatar"), -1);
    ::CVornMenuState::actionExpandChatItem(pAvatarButton, Lobby());
    Animate();
    EXPECT_EQ(pCard->GetExpansionLevel(), 1);
    CTextWidget* pName = widget_cast<CTextWidget*>(pCard->FindWidget(CKorvelString("player_name"), -1));
    ASSERT_NE(pName, nullptr);
    EXPECT_EQ(Narrow(pName->GetText()), m_strPeerName);
    CImageWidget* pCardPicture =
        widget_cast<CImageWidget*>(pCard->FindWidget(CKorvelString("player_avatar"), -1));
    ASSERT_NE(pCardPicture, nullptr);
    EXPECT_EQ(pCardPicture->GetImage(), Cached(strPicture));
    EXPECT_LT(pCardPicture->GetWidth() * 4, pCard->GetWidth()) << "the picture keeps its place on the card";
    EXPECT_FALSE(pSlide->GetTransparent());

    // Follow works from the card as from a player row, and gives way to gift.
    CButton* pFollow = widget_cast<CButton*>(pCard->FindWidget(CKorvelString("button_follow"), -1));
    CButton* pGift = widget_cast<CButton*>(pCard->FindWidget(CKorvelString("button_gift"), -1));
    ASSERT_TRUE(pFollow && pGift);
    EXPECT_TRUE(pFollow->GetVisible());
    EXPECT_FALSE(pGift->GetVisible());
    pFollow->click();
    ASSERT_TRUE(WaitForMessage("BuddyRequest"));
    EXPECT_EQ(In("BuddyRequest")[0]["b"].Int(), m_iPeer);
    EXPECT_EQ(Toasts("Following " + m_strPeerName + ",").size(), 1u);
    EXPECT_FALSE(pFollow->GetVisible());
    EXPECT_TRUE(pGift->GetVisible());

    // The nasty buttons open one level further and close again.
    CWidget* pNasty = pCard->FindWidget(CKorvelString("chat_nastybuttons"), -1);
    CWidget* pToggle = pCard->FindWidget(CKorvelString("nasty_toggle"), -1);
    ASSERT_FALSE(pNasty->GetVisible());
    ::CVornMenuState::actionExpandChatNastyButtons(pToggle, Lobby());
    Animate();
    EXPECT_EQ(pCard->GetExpansionLevel(), 2);
    EXPECT_TRUE(pNasty->GetVisible());

    CToggleButton* pBlock =
        widget_cast<CToggleButton*>(pNasty->FindWidget(CKorvelString("button_block"), -1));
    ASSERT_NE(pBlock, nullptr);
    EXPECT_FALSE(pBlock->GetToggled());
    pBlock->SetToggled(1);
    ::CVornMenuState::actionBlockChat(pBlock, Lobby());
    ASSERT_TRUE(WaitForMessage("BlockUser"));
    EXPECT_EQ(In("BlockUser")[0]["player"].Int(), m_iPeer);
    EXPECT_EQ(In("BlockUser")[0]["block"].Int(), 1);
    EXPECT_EQ(Toasts("Blocked " + m_strPeerName + ",").size(), 1u);
    EXPECT_EQ(static_cast<const sPLAYERLISTITEM*>(pCard->GetData())->m_iFlags & 0x100, 0x100);

    ::CVornMenuState::actionExpandChatNastyButtons(pToggle, Lobby());
    Animate();
    EXPECT_EQ(pCard->GetExpansionLevel(), 1);
    EXPECT_FALSE(pNasty->GetVisible()) << "the resize ending below level 2 hides them";
    // Closing from the avatar: level 0, the slide area lets presses through again.
    ::CVornMenuState::actionExpandChatItem(pAvatarButton, Lobby());
    Animate();
    EXPECT_EQ(pCard->GetExpansionLevel(), 0);
    EXPECT_TRUE(pSlide->GetTransparent());
    EXPECT_FALSE(pNasty->GetVisible());

    // Opened again, the card still knows the player is followed and blocked.
    pBlock->SetToggled(0);
    ::CVornMenuState::actionExpandChatItem(pAvatarButton, Lobby());
    Animate();
    EXPECT_TRUE(pBlock->GetToggled());
    EXPECT_FALSE(pFollow->GetVisible());
    ASSERT_TRUE(pGift->GetVisible());

    // A gift from the card: the player's gifts are asked for and chosen from, and the way back
    // leads to the open card.
    pGift->click();
    ASSERT_TRUE(WaitForMessage("GetPossibleGiftItems"));
    EXPECT_EQ(In("GetPossibleGiftItems")[0]["player"].Int(), m_iPeer);
    ASSERT_TRUE(WaitFor([&] { return PageName() == "dialog_gift_list_selection"; }));
    Pages()->SwitchToPage(CKorvelString(":back"));
    Animate();
    ASSERT_EQ(PageName(), "chat_root");
    EXPECT_EQ(pCard->GetExpansionLevel(), 1);

    // The match ends under the open card: closed, its area lets a drag through to the lines.
    for (int i = 0; i < 20; ++i)
        m_App.SendChatMessage(CKorvelString("line"), CVornNetworkSession::CHAT_LINE);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetPendingChatLineCount() == 0; }));
    Lobby()->OnGameEnd();
    Lobby()->OnGameplayEnd(0);
    ASSERT_EQ(PageName(), "chat_root");
    // The notice the match's end brings back would scroll the lines to their end after the drag.
    ASSERT_TRUE(WaitForChatNotice());
    Animate();
    EXPECT_EQ(pCard->GetExpansionLevel(), 0);
    CRunningList* pLines = FindAs<CRunningList>("chat_backlog");
    const int iBottom = pLines->GetShownY();
    ASSERT_NO_FATAL_FAILURE(DragLines(pLines->GetParent()->GetHeight() / 2));
    EXPECT_LT(pLines->GetShownY(), iBottom) << "the drag reached the lines";
}

TEST_F(CVornMenuState, AvatarsWithoutTheirRowDataTakeNoPictureAndOpenAnEmptyCard)
{
    // The server's player lists never come: the strip's rows stay without data.
    m_aHolds = {PLAYER_LIST};
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    ::CVornMenuState::actionFillChatPlayer(Lobby(), 256, 0, 2, nullptr, nullptr, nullptr, 0);
    ASSERT_EQ(Avatars()->GetWidgets().GetCount(), 2);
    CWidget* pItem = Avatars()->GetWidgets()[1];
    EXPECT_EQ(pItem->GetData(), nullptr);

    // A 4 x 4 grey picture (colour type 0, eight bits).
    std::vector<unsigned char> aPng = EncodeTestPng({4, 4, 0, 8, std::vector<uint8_t>(16, 0x80)});
    ::CVornMenuState::actionFillChatPlayer(Lobby(), 0, m_iPeer, 0, nullptr, nullptr, aPng.data(),
                                           static_cast<int>(aPng.size()));
    EXPECT_EQ(Cached("player_avatar_icon_" + std::to_string(m_iPeer)), nullptr);

    ::CVornMenuState::actionExpandChatItem(pItem->FindWidget(CKorvelString("player_avatar"), -1), Lobby());
    EXPECT_EQ(Card()->GetData(), nullptr);
    CTextWidget* pName = widget_cast<CTextWidget*>(Card()->FindWidget(CKorvelString("player_name"), -1));
    EXPECT_EQ(Narrow(pName->GetText()), "");
    // A block toggle on a card without a player does nothing.
    CWidget* pBlock = Card()->FindWidget(CKorvelString("button_block"), -1);
    EXPECT_EQ(::CVornMenuState::actionBlockChat(pBlock, Lobby()), 0);
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_FALSE(Received("BlockUser"));
}

TEST_F(CVornMenuState, TheSendHintShowsUntilAMessageWasSentAndTheLineReachesThePeer)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Lobby()->SetMenuVisibility(1);
    CBubble* pHint = FindAs<CBubble>("bubble_chat_submit");
    ASSERT_NE(pHint, nullptr);
    ::CVornMenuState::actionChatTextfieldChanged(nullptr, Lobby());
    EXPECT_TRUE(pHint->GetVisible());

    FindAs<CTextWidget>("chat_textfield")->SetText(CKorvelString("good game"));
    ::CVornMenuState::actionChatSend(nullptr, Lobby());
    EXPECT_FALSE(pHint->GetVisible());
    EXPECT_TRUE(HasKey("__Vorn_ChatMessageSent"));
    ::CVornMenuState::actionChatTextfieldChanged(nullptr, Lobby());
    EXPECT_FALSE(pHint->GetVisible()) << "once sent, never again";

    ASSERT_TRUE(WaitFor(
        [&]
        {
            for (const CTestJson& chat : m_Peer.Received("ChatMessage", "game"))
                if (chat["type"].Int() == 2 && chat["text"].String() == "good game")
                    return true;
            return false;
        }));
    // And the peer's answer arrives as a received line.
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"chat\", \"text\": \"thanks\""));
    ASSERT_TRUE(WaitFor([&] { return BacklogLinesWith(m_strPeerName + ": thanks") == 1; }));
}

TEST_F(CVornMenuState, TheReturnHintShowsOnceAndOnlyWhileTheMatchRuns)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    CBubble* pHint = FindAs<CBubble>("bubble_return_game");
    ASSERT_NE(pHint, nullptr);
    ::CVornMenuState::actionStartChangePageChat(nullptr, Lobby());
    EXPECT_FALSE(pHint->GetVisible()) << "no match";
    EXPECT_FALSE(HasKey("__Vorn_StartChangePageChat"));

    ASSERT_TRUE(m_Peer.Start(m_pServer->LobbyPort()));
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"guest\""));
    ASSERT_TRUE(WaitFor([&] { return m_Peer.UserId() > 0; }));
    ::CVornMenuState::actionStartGame(nullptr, Lobby());
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"queue\""));
    ASSERT_TRUE(WaitFor([&] { return GameLog().Count("game.StartGame") > 0; }));
    ::CVornMenuState::actionStartChangePageChat(nullptr, Lobby());
    EXPECT_TRUE(pHint->GetVisible());
    EXPECT_TRUE(HasKey("__Vorn_StartChangePageChat"));
    pHint->SetVisible(0);
    ::CVornMenuState::actionStartChangePageChat(nullptr, Lobby());
    EXPECT_FALSE(pHint->GetVisible()) << "once only";
}

TEST_F(CVornMenuState, TheServersItemListArrivesInPagesAndAnUndeliveredRestEndsTheRound)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    ASSERT_NO_FATAL_FAILURE(SetItems(ItemList(150)));
    const std::vector<int> aBefore = Starts(0x801);
    Session()->SendGetShopItemGroups(0x801);
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetItems().GetCount() == 150; }));
    std::vector<int> aExpected = aBefore;
    aExpected.insert(aExpected.end(), {0, 100});
    EXPECT_EQ(Starts(0x801), aExpected);
    EXPECT_EQ(Lobby()->GetItems()[149].m_iItemId, 649);
    EXPECT_EQ(Lobby()->GetItems()[149].m_iAmount, 150);
    EXPECT_EQ(Lobby()->GetItems()[149].m_iFileId, 101);

    // Two announced but never delivered: the empty page ends the round, nothing asked again.
    ASSERT_NO_FATAL_FAILURE(SetItems(ItemList(3) + ", \"undelivered\": 2"));
    Session()->SendGetShopItemGroups(0x801);
    aExpected.insert(aExpected.end(), {0, 3});
    ASSERT_TRUE(WaitFor([&] { return Starts(0x801).size() == aExpected.size(); }));
    ASSERT_TRUE(WaitForLobbyQuiet());
    EXPECT_EQ(Starts(0x801), aExpected);
    EXPECT_EQ(Lobby()->GetItems().GetCount(), 3);
}

// Nobody answers a refusal, and nobody but the challenger ends his wait: the pages' own
// buttons leave them.
TEST_F(CVornMenuState, DeclineClosesTheChallengeAndClosingTheWaitWithdrawsTheOwnOne)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    ASSERT_TRUE(m_Peer.Start(m_pServer->LobbyPort()));
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"guest\""));
    ASSERT_TRUE(WaitFor([&] { return m_Peer.UserId() > 0; }));
    const int iOwn = Session()->GetOwnUserId();
    Lobby()->SetMenuVisibility(1);
    ASSERT_TRUE(m_Peer.Command("\"cmd\": \"challenge\", \"ids\": [" + std::to_string(iOwn) + "]"));
    ASSERT_TRUE(WaitFor([&] { return Lobby()->GetChallenges().GetChallenger() == m_Peer.UserId(); }));
    Pages()->SwitchToPage(CKorvelString("challenge_received")); // as the toast does
    Frame(0.1f);
    CPageButton* pDecline = FindAs<CPageButton>("reject_button");
    ASSERT_NE(pDecline, nullptr);
    pDecline->click();
    Frame(0.1f);
    EXPECT_NE(PageName(), "challenge_received");
    ASSERT_TRUE(WaitFor([&] { return !m_Peer.Received("ChallengeResponse").empty(); }));
    EXPECT_EQ(m_Peer.Received("ChallengeResponse")[0]["answer"].Int(), 0);

    Lobby()->GetSelectedPlayers().Add({0, m_Peer.UserId()});
    ::CVornMenuState::actionStartGame(nullptr, Lobby());
    Frame(0.1f);
    ASSERT_EQ(PageName(), "challenge_waiting");
    CPageButton* pClose = FindAs<CPageButton>("waiting_close");
    ASSERT_NE(pClose, nullptr);
    pClose->click();
    Frame(0.1f);
    EXPECT_NE(PageName(), "challenge_waiting");
    ASSERT_TRUE(WaitFor([&] { return In("ChallengeResponse").size() == 2u; }))
        << "the decline, the withdrawal";
    const CTestJson withdrawn = In("ChallengeResponse").back();
    EXPECT_EQ(withdrawn["challenger"].Int(), iOwn);
    EXPECT_EQ(withdrawn["answer"].Int(), 0);
}

// The page played by pointer and keyboard: the field keeps the typing through a drag over the
// lines and a card opened and closed by its arrow, and taking it back neither ends a press still
// held nor presses what lies over the field; the own card offers nothing to do to oneself, and
// the other player's card closes by its arrow after a resize too.
TEST_F(CVornMenuState, TheFieldKeepsTheTypingThroughDragsAndCardsAndTheCardsArrowClosesItAfterAResize)
{
    ASSERT_NO_FATAL_FAILURE(StartMatch());
    Lobby()->SetMenuVisibility(1);
    ::CVornMenuState::actionShowChatAvatars(nullptr, Lobby());
    const int iOwn = Session()->GetOwnUserId();
    ASSERT_TRUE(WaitFor([&] { return AvatarOf(iOwn) && AvatarOf(m_iPeer); }));
    ASSERT_TRUE(WaitForChatNotice());
    CExpandable* pCard = Card();
    auto AvatarButton = [&](int iPlayer)
    { return AvatarOf(iPlayer)->FindWidget(CKorvelString("player_avatar"), -1); };
    auto Shown = [&](const char* pName)
    { return pCard->FindWidget(CKorvelString(pName), -1)->GetVisible() != 0; };

    ASSERT_NO_FATAL_FAILURE(PressOn(Find("chat_textfield")));
    ASSERT_NO_FATAL_FAILURE(TypeLine("first"));
    ASSERT_NO_FATAL_FAILURE(DragLines(Find("chat_lines")->GetHeight() / 2));
    // A character typed while a press is held leaves the press to its gesture.
    int x = 0, y = 0;
    ASSERT_NO_FATAL_FAILURE(Middle("chat_backlog", x, y));
    m_App.OnMouseButton(0, x, y);
    Frame(0.05f);
    m_App.OnMouseDrag(0, x, y - 10);
    CWidget* pHeld = CWidget::GetActiveWidget();
    ASSERT_NE(pHeld, nullptr);
    m_App.OnChar('x');
    EXPECT_EQ(CWidget::GetActiveWidget(), pHeld) << "the drag goes on";
    m_App.OnMouseButtonUp(0, x, y - 10);
    Animate();
    // Nor does the typing press what lies over the field: here the send hint, moved there.
    CWidget* pHint = Find("bubble_chat_submit");
    ASSERT_NE(pHint, nullptr);
    const CKorvelRect<int> hintArea = pHint->GetArea();
    CKorvelRect<int> over = Find("chat_textfield")->GetArea();
    over.left += over.GetWidth() / 4;
    over.right -= over.GetWidth() / 4;
    pHint->SetArea(over);
    pHint->SetVisible(1);
    m_App.OnChar('x');
    Animate();
    EXPECT_TRUE(pHint->GetVisible()) << "a press would have closed it";
    pHint->SetVisible(0);
    pHint->SetArea(hintArea);
    ASSERT_NO_FATAL_FAILURE(TypeLine("after the drag"));
    ASSERT_NO_FATAL_FAILURE(PressOn(AvatarButton(m_iPeer)));
    Animate();
    ASSERT_EQ(pCard->GetExpansionLevel(), 1);
    ASSERT_NO_FATAL_FAILURE(PressOn(pCard->FindWidget(CKorvelString("arrow"), -1)));
    Animate();
    EXPECT_EQ(pCard->GetExpansionLevel(), 0);
    ASSERT_NO_FATAL_FAILURE(TypeLine("after the card"));

    ASSERT_NO_FATAL_FAILURE(PressOn(AvatarButton(iOwn)));
    Animate();
    ASSERT_EQ(pCard->GetExpansionLevel(), 1);
    for (const char* pName : {"button_follow", "text_follow", "button_gift", "text_gift", "nasty_toggle",
                              "button_unfollow", "button_block", "text_block"})
        EXPECT_FALSE(Shown(pName)) << pName << " on the own card";
    // Its hidden block, were it reached, blocks nobody and claims nothing.
    CToggleButton* pBlock = widget_cast<CToggleButton*>(pCard->FindWidget(CKorvelString("button_block"), -1));
    ASSERT_NE(pBlock, nullptr);
    pBlock->SetToggled(1);
    ::CVornMenuState::actionBlockChat(pBlock, Lobby());
    EXPECT_EQ(pBlock->GetToggled(), 0u);
    ASSERT_NO_FATAL_FAILURE(PressOn(pCard->FindWidget(CKorvelString("arrow"), -1)));
    Animate();
    ASSERT_NO_FATAL_FAILURE(PressOn(AvatarButton(m_iPeer)));
    Animate();
    for (const char* pName : {"button_follow", "nasty_toggle", "button_block"})
        EXPECT_TRUE(Shown(pName)) << pName << " on the other's card";
    EXPECT_TRUE(In("BlockUser").empty());
    EXPECT_TRUE(Toasts("Blocked ").empty());

    m_App.OnScreenChanged(800, 480);
    Animate();
    pCard = Card();
    ASSERT_EQ(pCard->GetExpansionLevel(), 1) << "the open card came back";
    ASSERT_NO_FATAL_FAILURE(PressOn(pCard->FindWidget(CKorvelString("arrow"), -1)));
    Animate();
    EXPECT_EQ(pCard->GetExpansionLevel(), 0);
    ASSERT_NO_FATAL_FAILURE(TypeLine("after the resize"));
}

} // namespace
