// From the lobby into a match and back: quick play, challenges sent, the waiting time, the
// queue's statuses, the match start, the end of play and of the match, rematches.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Session/VornLobby.h"
#include "Framework/Session/VornPlayer.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/ToggleButton.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Lobby;

KE_RETVAL CVornMenuState::actionStartGame(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pSession)
        return 1;
    if (pThis->m_SelectedPlayers.GetCount() == 0)
    {
        pSession->RegisterInGameQueue(0, pThis->m_pGame ? pThis->m_pGame->GetMaxPlayerCount() : 0);
        pThis->m_fQueueTimer = 30.0f;
        pThis->ShowDialog(pThis->LanguageText(3));
        return 1;
    }
    CKorvelArray<int> aIds;
    for (int i = 0; i < pThis->m_SelectedPlayers.GetCount(); ++i)
        aIds.Add(pThis->m_SelectedPlayers[i].m_iPlayerId);
    // A challenge to the player whose challenge to this one stands is taken as accepting it:
    // the match starts, where two challenges crossing would each be refused.
    if (pThis->m_Challenges.ShownAmong(aIds))
        return actionAcceptChallenge(nullptr, pContext);
    // A player who challenges while a received challenge waits for his answer has declined
    // it: its challenger hears so, and its toast goes (its page is not the players' list).
    if (const int iChallenger = pThis->m_Challenges.Refuse())
    {
        pSession->SendChallengeResponse(iChallenger, CVornNetworkSession::CHALLENGE_REFUSED, CKorvelString());
        pThis->DropChallengeToast();
    }
    pSession->SendChallenge(aIds, CKorvelString());
    pThis->m_Challenges.Send(aIds);
    if (pThis->m_pPageView)
        pThis->m_pPageView->SwitchToPage(CKorvelString("challenge_waiting"));
    return 1;
}

void CVornMenuState::HideChallenge()
{
    if (!m_pRoot)
        return;
    HideConfirmDialog();
    HideDialog();
}

unsigned int CVornMenuState::HasPlayerDisconnected(int iPlayerId) const
{
    for (int i = 0; i < m_DisconnectedPlayers.GetCount(); ++i)
        if (m_DisconnectedPlayers[i] == iPlayerId)
            return 1;
    return 0;
}

void CVornMenuState::OnQueueUpdate(CVornNetworkSession*, int, int, int iStatus)
{
    if (iStatus == -1)
    {
        if (m_pGame)
            m_pGame->CancelledQuickPlay();
        ShowDialog(LanguageText(8));
        Relogin();
    }
    else if (iStatus == -2)
    {
        if (m_pGame)
            m_pGame->CancelledQuickPlay();
        ShowDialog(LanguageText(9));
        Logout();
    }
}

void CVornMenuState::OnGameStart()
{
    m_uInMatch = 1;
    m_uChatNoticeShown = 0;
    // A running wait would otherwise leave the queue or withdraw the accepted challenge
    // inside the match that just began. A challenge received before the match can be played
    // no more: the server answered its challenger busy when it paired this player.
    m_fQueueTimer = 0.0f;
    m_Challenges.End();
    SetMenuVisibility(0);
    HideChallenge();
    DropChallengeToast();
    SwitchMainButtons();
    m_uChatLeft = 0;
    m_uRematchAsked = 0;
    m_uChatOpened = 0;
    m_DisconnectedPlayers.RemoveAll();
    m_GiftSelectionList.RemoveAll();
    if (CInfiniteList* pAvatars =
            widget_cast<CInfiniteList*>(FindInPages("//chat_avatars_root//avatar_list")))
    {
        pAvatars->Clear();
        pAvatars->SetCount(0);
    }
    if (CToggleButton* pRematch = RematchButton())
        pRematch->SetToggled(0);
    if (m_pJoinBubble)
    {
        m_pJoinBubble->SetVisible(0);
        m_uJoinBubbleDismissed = 1;
    }
    if (m_pPageView)
    {
        m_pPageView->ResetHistory();
        m_pPageView->SwitchToPage(CKorvelString("startscreen_root"));
        m_pPageView->SwitchToPage(CKorvelString("chat_root"));
    }
    if (m_pVornButtonRoot)
        m_pVornButtonRoot->SetVisible(1);
    if (m_pKestrolund)
        m_pKestrolund->SendChatMessage(CVornNetworkSession::CHAT_ENTERED);
    m_uChatStarted = 1;
}

void CVornMenuState::OnGameplayEnd(unsigned int uLeave)
{
    if (m_pChatNotifier)
        m_pChatNotifier->SetVisible(0);
    if (m_uChatLeft)
        return;
    if (!m_uChatOpened)
    {
        if (uLeave)
        {
            ExitChat();
            return;
        }
        m_uChatOpened = 1;
    }
    SwitchToPage(CKorvelString("chat_root"), 1);
}

void CVornMenuState::OnGameEnd()
{
    m_uInMatch = 0;
    m_uChatNoticeShown = 0;
    CloseChatItem();
    SwitchMainButtons();
    m_DisconnectedPlayers.RemoveAll();
    m_GiftSelectionList.RemoveAll();
    if (CInfiniteList* pAvatars =
            widget_cast<CInfiniteList*>(FindInPages("//chat_avatars_root//avatar_list")))
    {
        pAvatars->Clear();
        pAvatars->SetCount(0);
    }
    if (m_pReturnBubble)
        m_pReturnBubble->SetVisible(0);
    if (m_pChatNotifier)
        m_pChatNotifier->SetVisible(0);
    SetMenuVisibility(0);
    if (m_pPageView)
        m_pPageView->SwitchToPage(CKorvelString(IsGuestLogin() ? "loginscreen_root" : "startscreen_root"));
    if (m_pGame)
        m_pGame->GameSessionEnded();
}

void CVornMenuState::QuickExit()
{
    ExitChat();
}

void CVornMenuState::OnRematchReceived(int iFlags)
{
    m_Items.RemoveAll();
    if (!(iFlags & 1))
        return;
    OnGameEnd();
    if (CVornNetworkSession* pSession = Session())
        pSession->SendGetShopItemGroups(CVornNetworkSession::SHOP_IN_GAME_CONNECTED |
                                        CVornNetworkSession::SHOP_LIST_MY_ITEMS);
}

// ---- leaving the chat

void CVornMenuState::CloseChatItem()
{
    CExpandable* pItem = widget_cast<CExpandable*>(FindInPages("//chat_root//chat_expand_item"));
    if (!pItem)
        return;
    if (CWidget* pNasty = pItem->FindWidget(CKorvelString("chat_nastybuttons"), -1))
        pNasty->SetVisible(0);
    if (CToggleButton* pArrow = widget_cast<CToggleButton*>(pItem->FindWidget(CKorvelString("arrow"), -1)))
        pArrow->SetToggled(0);
    pItem->SetExpansionLevelSkipAnimation(0);
    // Closed, the card lets the presses through to the lines under it.
    if (CWidget* pSlide = FindInPages("//chat_root//chat_expand_slidearea"))
        pSlide->SetTransparent(1);
}

void CVornMenuState::ExitChat()
{
    m_uChatStarted = 0;
    if (!m_uInMatch)
    {
        SwitchToHomePage();
        return;
    }
    m_uRematchAsked = 0;
    m_uChatLeft = 1;
    CVornNetworkSession* pSession = Session();
    CVornLobby* pLobby = pSession ? pSession->GetLobby() : nullptr;
    if (pLobby && m_pKestrolund)
    {
        const int iOwn = pSession->GetOwnUserId();
        const int iCount = pLobby->GetPlayerCount();
        // Once the other player has left, the match is theirs to lose: staying is no forfeit.
        const bool bOtherLeft = m_DisconnectedPlayers.GetCount() > 0 && !HasPlayerDisconnected(iOwn);
        CKorvelArray<int> aIds;
        CKorvelArray<int> aRanks;
        for (int i = 0; i < iCount; ++i)
        {
            const CVornPlayer* pPlayer = pLobby->GetPlayer(i);
            if (!pPlayer)
                continue;
            const bool bLoser =
                bOtherLeft ? HasPlayerDisconnected(pPlayer->m_iUserId) != 0 : pPlayer->m_iUserId == iOwn;
            aIds.Add(pPlayer->m_iUserId);
            aRanks.Add(bLoser ? iCount : 1);
        }
        m_pKestrolund->SendResults(aIds, aRanks, 1);
    }
    if (m_pKestrolund)
        m_pKestrolund->Rematch(0, 0);
    const char* pHome = IsGuestLogin() ? "loginscreen_root" : "startscreen_root";
    if (m_pPageView)
    {
        CKorvelString strBack(":back:");
        strBack.Add(CKorvelString(pHome));
        m_pPageView->SwitchToPage(strBack);
        if (!CurrentPageName().IsEqual(CKorvelString(pHome)))
        {
            m_pPageView->ResetHistory();
            m_pPageView->SwitchToPage(CKorvelString(pHome));
        }
    }
    if (m_pVornButtonRoot)
        m_pVornButtonRoot->SetVisible(1);
}

void CVornMenuState::ResetChat()
{
    m_uRematchDelayArmed = 0;
    m_uRematchPending = 0;
    m_uChatStarted = 0;
    ClearChatBacklog();
}

void CVornMenuState::OnGameStatusChanged(unsigned int uStatus)
{
    if (!m_pGame)
        return;
    if (uStatus == 0)
    {
        ExitChat();
        m_pGame->GameSessionEnded();
        m_uInMatch = 0;
    }
    else if (uStatus == 0x100)
        ResetChat();
}

KE_RETVAL CVornMenuState::actionChatExit(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis)
        return 1;
    // Back from the chat of a running match is back to the board; leaving it is the
    // game's exit door, which asks first.
    if (pThis->m_uInMatch && pThis->m_pGame && pThis->m_pGame->MatchRunning())
        pThis->SetMenuVisibility(0);
    else
        pThis->ExitChat();
    return 1;
}
