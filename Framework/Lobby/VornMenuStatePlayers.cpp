// The players area: the global and followed-player lists filled window by window from the
// server, the search over them, each row's display, following, blocking and the selection
// for a challenge.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"

#include "Framework/Lobby/VornMenuWidgets.h"

namespace
{

typedef CVornNetworkSession::LobbyObserver LobbyObserver;

using menu_widgets::Child;
using menu_widgets::Decimal;
using menu_widgets::EnsureData;
using menu_widgets::FreeData;
using menu_widgets::Lobby;
using menu_widgets::PlayerOf;
using menu_widgets::RowOf;
using menu_widgets::SetText;
using menu_widgets::Show;

CKorvelString Percent(int iCount, long long llTotal)
{
    if (llTotal == 0)
        return CKorvelString("0");
    CKorvelString strText;
    strText.FromFloat(static_cast<float>(iCount * 100.0 / static_cast<double>(llTotal)), 0);
    return strText;
}

} // namespace

// ---- contexts and search

KE_RETVAL CVornMenuState::actionPlayersRoot(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    // A reload asks for the list it showed itself, once its search field has its text back; a
    // second request for another list now would race it.
    if (pThis && pThis->m_uReloading)
        return 1;
    if (CPageView* pContent = widget_cast<CPageView*>(
            pThis ? pThis->FindInPages("//players_root//players_content_root") : nullptr))
        pContent->SwitchToPage(CKorvelString("global_page"));
    return actionGlobalContext(nullptr, pContext);
}

KE_RETVAL CVornMenuState::actionGlobalContext(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pThis->m_pRoot)
        return 1;
    pThis->ResetSearch();
    pThis->m_iContext = CVornNetworkSession::PLAYER_LIST_GLOBAL;
    return actionFilterPlayers(nullptr, pContext);
}

KE_RETVAL CVornMenuState::actionFollowerContext(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pThis->m_pRoot)
        return 1;
    pThis->ResetSearch();
    pThis->m_iContext = CVornNetworkSession::PLAYER_LIST_FOLLOWED;
    return actionFilterPlayers(nullptr, pContext);
}

void CVornMenuState::ResetSearch()
{
    if (CTextWidget* pSearch = widget_cast<CTextWidget*>(FindInRoot("search_text")))
    {
        pSearch->SetText(CKorvelString());
        pSearch->LoadLocalizedText();
    }
    m_SearchText.Reset();
}

KE_RETVAL CVornMenuState::actionFilterPlayers(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pThis->m_pRoot)
        return 1;
    CTextWidget* pSearch = widget_cast<CTextWidget*>(pThis->FindInRoot("search_text"));
    pThis->FilterPlayers(pSearch ? pSearch->GetText() : pThis->m_SearchText);
    return 1;
}

void CVornMenuState::FilterPlayers(const CKorvelString& strSearch)
{
    if (!m_pRoot)
        return;
    m_pExpandedItem = nullptr;
    m_SelectedPlayers.RemoveAll();
    m_SearchText = strSearch;
    ClearLists();
    CWidget* pPage =
        FindInPages((m_iContext & CVornNetworkSession::PLAYER_LIST_FOLLOWED) ? "//players_root//follow_page"
                                                                             : "//players_root//global_page");
    Show(Child(pPage, "no_results"), 0);
    Show(Child(pPage, "loading"), 1);
    CVornNetworkSession* pSession = Session();
    if (!pSession)
        return;
    m_GlobalListItems.Clear();
    m_FollowListItems.Clear();
    pSession->CancelAllPlayerListRequests();
    pSession->SendPlayerListRequest(m_iContext, m_SearchText, 0, 0, -1, 0, actionFillPlayer, this);
}

void CVornMenuState::SearchPlayersAgain(int iContext, const CKorvelString& strSearch)
{
    // The players page's own onshow turned to the global list: its tab comes back with it.
    m_iContext = iContext;
    if (CPageView* pContent = widget_cast<CPageView*>(FindInPages("//players_root//players_content_root")))
    {
        pContent->SwitchToPage(CKorvelString(
            (iContext & CVornNetworkSession::PLAYER_LIST_FOLLOWED) ? "follow_page" : "global_page"));
        pContent->StopTransitions();
    }
    if (ListKept((iContext & CVornNetworkSession::PLAYER_LIST_FOLLOW_MASK) ? KEPT_FOLLOW : KEPT_GLOBAL))
        m_SearchText = strSearch;
    else
        FilterPlayers(strSearch);
}

// ---- the list callback

void CVornMenuState::actionFillPlayer(void* pContext, int, int iIndexOrPlayerId, int iCount,
                                      const CKorvelArray<sPLAYER_GROUP>* pGroups,
                                      const sPLAYERLISTITEM* pItem, unsigned char* pPicture, int iPictureSize)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pThis->m_pRoot)
        return;
    const bool bFollow = (pThis->m_iContext & CVornNetworkSession::PLAYER_LIST_FOLLOW_MASK) != 0;
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pThis->FindInPages(
        bFollow ? "//players_root//playerlist_follow" : "//players_root//playerlist_global"));
    CKorvelMap<int, CWidget*>& rows = bFollow ? pThis->m_FollowListItems : pThis->m_GlobalListItems;
    CKorvelArray<CKorvelString>& labels = bFollow ? pThis->m_FollowGroupLabels : pThis->m_GlobalGroupLabels;
    CWidget* pBeside = pList ? pList->GetParent() : nullptr;

    if (pPicture && iPictureSize)
    {
        for (int i = 0; i < rows.GetCount(); ++i)
        {
            CWidget* pRow = rows.GetAt(i).m_Second;
            const sPLAYERLISTITEM* pData = PlayerOf(pRow);
            // A row can be loaded before its item arrives.
            if (!pData || pData->m_iPlayerId != iIndexOrPlayerId)
                continue;
            CKorvelString strName;
            strName.Format(L"player_avatar_icon_%d", iIndexOrPlayerId);
            pThis->SetCachedPicture(widget_cast<CImageWidget*>(Child(pRow, "player_avatar")), strName,
                                    pPicture, iPictureSize);
            CExpandable* pExpandable = RowOf(pRow);
            if (CImageWidget* pSmall =
                    widget_cast<CImageWidget*>(pExpandable ? pExpandable->FindWidgetByPath(CKorvelString(
                                                                 "//list_item_small//player_avatar_small"))
                                                           : nullptr))
                pThis->SetCachedPicture(pSmall, strName, pPicture, iPictureSize);
            break;
        }
        return;
    }
    if (!pItem)
    {
        if (!pList)
            return;
        if (!pGroups)
        {
            if (iCount > 0)
                pList->SetCount(iCount);
            else
            {
                pList->SetCount(0);
                Show(Child(pBeside, "no_results"), iCount == 0);
                Show(Child(pBeside, "loading"), 0);
            }
            return;
        }
        if (pGroups->GetCount() == 0)
        {
            pList->SetCount(iCount > 0 ? iCount : 0);
            return;
        }
        labels.SetSize(0);
        CKorvelArray<int> aSizes;
        long long llTotal = 0;
        for (int i = 0; i < pGroups->GetCount(); ++i)
        {
            labels.Add((*pGroups)[i].m_strLabel);
            const int iSize = (*pGroups)[i].m_iPlayerCount > 0 ? (*pGroups)[i].m_iPlayerCount : 0;
            aSizes.Add(iSize);
            llTotal += iSize;
        }
        pList->SetGroups(aSizes);
        pList->SetStarted(1);
        if (llTotal == 0)
            Show(Child(pBeside, "loading"), 0);
        return;
    }
    if (pList)
    {
        Show(Child(pBeside, "no_results"), 0);
        Show(Child(pBeside, "loading"), 0);
        pList->SetStarted(1);
    }
    const int iRow = rows.Find(iIndexOrPlayerId);
    if (iRow >= 0)
        pThis->ShowPlayerRow(rows.GetAt(iRow).m_Second, *pItem);
}

void CVornMenuState::ShowPlayerRow(CWidget* pRow, const sPLAYERLISTITEM& item)
{
    *EnsureData(pRow) = item;
    UpdatePlayerWidget(pRow);
    pRow->SetEnabled(1);
    if (CToggleButton* pInvite = widget_cast<CToggleButton*>(Child(pRow, "player_invite_button")))
    {
        // The selection holds one player; its row carries the mark.
        const bool bSelected =
            m_SelectedPlayers.GetCount() > 0 && m_SelectedPlayers[0].m_iPlayerId == item.m_iPlayerId;
        pInvite->SetToggled(bSelected ? 1 : 0);
    }
    if (CWebButton* pReport = widget_cast<CWebButton*>(Child(pRow, "button-report")))
    {
        CKorvelString strUrl = pReport->GetUrl();
        strUrl.Replace(CKorvelString("PLAYER_ID"), Decimal(item.m_iPlayerId));
        pReport->SetUrl(strUrl);
    }
}

// ---- row windows

namespace
{

bool LoadRow(CWidget* pSender, CKorvelMap<int, CWidget*>& rows)
{
    return menu_widgets::RememberRow(pSender, rows) >= 0;
}

} // namespace

KE_RETVAL CVornMenuState::actionLoadPlayer(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (pThis && pThis->m_pRoot && LoadRow(pSender, pThis->m_GlobalListItems))
        pThis->FillKeptPlayer(pSender, KEPT_GLOBAL);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadFollowItem(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (pThis && pThis->m_pRoot && LoadRow(pSender, pThis->m_FollowListItems))
        pThis->FillKeptPlayer(pSender, KEPT_FOLLOW);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadPlayerBatch(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pSender);
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pList || !pSession)
        return 1;
    int iNumber = 0, iFirst = 0;
    pList->GetBatch(iNumber, iFirst);
    // Rows that show their player already (a rebuilt list's) are not asked for again.
    const CKorvelMap<int, CWidget*>& rows = pList->GetName().IsEqual(CKorvelString("playerlist_follow"))
                                                ? pThis->m_FollowListItems
                                                : pThis->m_GlobalListItems;
    const auto fnShown = [&rows](int iIndex)
    {
        const int iAt = rows.Find(iIndex);
        return iAt >= 0 && PlayerOf(rows.GetAt(iAt).m_Second) != nullptr;
    };
    if (!menu_widgets::NarrowToUnfilled(iFirst, iNumber, fnShown))
        return 1;
    pSession->SendPlayerListRequest(pThis->m_iContext, pThis->m_SearchText, 0, 0, iFirst, iNumber,
                                    actionFillPlayer, pThis);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadFollowItemBatch(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    return pThis && pThis->m_pRoot ? actionLoadPlayerBatch(pSender, pContext) : 1;
}

namespace
{

void UnloadRow(CWidget* pSender, CKorvelMap<int, CWidget*>& rows, CWidget*& pExpanded)
{
    if (!pSender)
        return;
    if (pExpanded == pSender)
        pExpanded = nullptr;
    for (int i = 0; i < rows.GetCount(); ++i)
        if (rows.GetAt(i).m_Second == pSender)
        {
            rows.Remove(rows.GetAt(i).m_First);
            break;
        }
    FreeData(pSender);
}

} // namespace

KE_RETVAL CVornMenuState::actionUnloadPlayer(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pSender)
        return 1;
    UnloadRow(pSender, pThis->m_GlobalListItems, pThis->m_pExpandedItem);
    pSender->SetEnabled(0);
    return 1;
}

KE_RETVAL CVornMenuState::actionUnloadFollowItem(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (pThis)
        UnloadRow(pSender, pThis->m_FollowListItems, pThis->m_pExpandedItem);
    return 1;
}

namespace
{

void LoadGroup(CWidget* pSender, const CKorvelArray<CKorvelString>& labels)
{
    CInfiniteList* pList = pSender ? widget_cast<CInfiniteList*>(pSender->GetParent()) : nullptr;
    if (!pList)
        return;
    const int iGroup = pList->GetIndex(pSender);
    if (iGroup >= 0 && iGroup < labels.GetCount())
        SetText(Child(pSender, "label"), labels[iGroup]);
}

} // namespace

KE_RETVAL CVornMenuState::actionLoadPlayerGroup(CWidget* pSender, void* pContext)
{
    if (CVornMenuState* pThis = Lobby(pContext))
        LoadGroup(pSender, pThis->m_GlobalGroupLabels);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadFollowGroup(CWidget* pSender, void* pContext)
{
    if (CVornMenuState* pThis = Lobby(pContext))
        LoadGroup(pSender, pThis->m_FollowGroupLabels);
    return 1;
}

// ---- row display

bool CVornMenuState::IsOwnPlayer(const sPLAYERLISTITEM& player)
{
    CVornNetworkSession* pSession = Session();
    return pSession && player.m_iPlayerId == pSession->GetOwnUserId();
}

void CVornMenuState::UpdatePlayerWidget(CWidget* pRow)
{
    const sPLAYERLISTITEM* pData = PlayerOf(pRow);
    if (!pData)
        return;
    const int iFlags = pData->m_iFlags;
    const unsigned int uOnline = (iFlags & PLAYER_ONLINE) ? 1 : 0;
    const unsigned int uFollowed = (iFlags & PLAYER_FOLLOWED) ? 1 : 0;
    // Nobody challenges, follows, gifts to or blocks himself: the own row keeps its status but
    // offers none of it, nor the opener of the unfollow and block buttons.
    const bool bSelf = IsOwnPlayer(*pData);
    // A busy player would only be answered so: he is offered no challenge.
    const unsigned int uChallenge = uOnline && !bSelf && !(iFlags & PLAYER_BUSY);
    const unsigned int uFollowedOther = uFollowed && !bSelf;
    if (CWidget* pSmall = Child(pRow, "list_item_small"))
    {
        SetText(Child(pSmall, "player_name"), pData->m_strName);
        Show(Child(pSmall, "player_status"), uOnline);
        Show(Child(pSmall, "challenge_button"), uChallenge);
    }
    CWidget* pTarget = Child(pRow, "list_item_big");
    if (!pTarget)
        pTarget = pRow;
    SetText(Child(pTarget, "player_name"), pData->m_strName);
    CKorvelString strFollowers;
    strFollowers.Format(L"%d/%d", pData->m_iFollowers1, pData->m_iFollowers2);
    SetText(Child(pTarget, "player_followers"), strFollowers);
    SetText(Child(pTarget, "player_location"), pData->m_strLocation);
    SetText(Child(pTarget, "player_comment"), pData->m_strComment);
    Show(Child(pTarget, "player_status"), uOnline);
    for (const char* pName : {"player_invite_button", "button_challenge", "text_challenge"})
        Show(Child(pTarget, pName), uChallenge);
    for (const char* pName : {"button_follow", "text_follow"})
        Show(Child(pTarget, pName), !uFollowed && !bSelf);
    for (const char* pName : {"button_gift", "text_gift"})
        Show(Child(pTarget, pName), uFollowedOther);
    Show(Child(pTarget, "details_button"), !bSelf);
    if (CExpandable* pExpandable = RowOf(pTarget))
    {
        Show(Child(pExpandable, "button_unfollow"), uFollowedOther);
        Show(Child(pExpandable, "text_unfollow"), uFollowedOther);
        Show(Child(pExpandable, "button_block"), !bSelf);
        Show(Child(pExpandable, "text_block"), !bSelf);
        if (CToggleButton* pBlock = widget_cast<CToggleButton*>(Child(pExpandable, "button_block")))
            pBlock->SetToggled((iFlags & PLAYER_BLOCKED) ? 1 : 0);
    }
    // The server's counts may be anything: the total must not overflow.
    const long long llTotal =
        static_cast<long long>(pData->m_iWins) + pData->m_iTies + static_cast<long long>(pData->m_iLosses);
    SetText(Child(pRow, "player_wins"), Decimal(pData->m_iWins));
    SetText(Child(pRow, "my_ties"), Decimal(pData->m_iTies));
    SetText(Child(pRow, "my_losses"), Decimal(pData->m_iLosses));
    SetText(Child(pRow, "player_wins_percent"), Percent(pData->m_iWins, llTotal));
    SetText(Child(pRow, "my_ties_percent"), Percent(pData->m_iTies, llTotal));
    SetText(Child(pRow, "my_losses_percent"), Percent(pData->m_iLosses, llTotal));
}

void CVornMenuState::RefreshPlayersShowingOffline(int iPlayerId)
{
    CWidget* pPage = m_pPageView ? m_pPageView->GetCurrentPage() : nullptr;
    if (!pPage || !pPage->GetName().IsEqual(CKorvelString("players_root")))
        return;
    for (CKorvelMap<int, CWidget*>* pRows : {&m_GlobalListItems, &m_FollowListItems})
        for (int i = 0; i < pRows->GetCount(); ++i)
        {
            const sPLAYERLISTITEM* pData = PlayerOf(pRows->GetAt(i).m_Second);
            if (pData && pData->m_iPlayerId == iPlayerId && !(pData->m_iFlags & PLAYER_ONLINE))
            {
                actionFilterPlayers(nullptr, this);
                return;
            }
        }
}

// ---- selection, following and blocking

KE_RETVAL CVornMenuState::actionSelectPlayer(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    const sPLAYERLISTITEM* pData = PlayerOf(RowOf(pSender));
    if (pThis && pData && !pThis->IsOwnPlayer(*pData))
        pThis->m_SelectedPlayers.Add({0, pData->m_iPlayerId});
    return 1;
}

KE_RETVAL CVornMenuState::actionSendChallenge(CWidget* pSender, void* pContext)
{
    // The own row would otherwise wait 20 s for an answer from oneself.
    CVornMenuState* pThis = Lobby(pContext);
    const sPLAYERLISTITEM* pData = PlayerOf(RowOf(pSender));
    if (pThis && pData && pThis->IsOwnPlayer(*pData))
        return 1;
    actionSelectPlayer(pSender, pContext);
    return actionStartGame(pSender, pContext);
}

KE_RETVAL CVornMenuState::actionSendBuddyRequest(CWidget* pSender, void* pContext,
                                                 LobbyObserver::EBuddyRequestType eType,
                                                 LobbyObserver::EBuddyRequestAction eAction)
{
    CVornMenuState* pThis = Lobby(pContext);
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    CExpandable* pRow = RowOf(pSender);
    sPLAYERLISTITEM* pData = PlayerOf(pRow);
    if (!pSession || !pData || pData->m_iPlayerId == pSession->GetOwnUserId())
        return 1;
    pSession->SendBuddyRequest(pData->m_iPlayerId, eType, eAction, CKorvelString());
    if (eType == LobbyObserver::BUDDY_REQUEST)
    {
        if (eAction == LobbyObserver::BUDDY_REMOVE)
            pData->m_iFlags &= ~PLAYER_FOLLOWED;
        else
            pData->m_iFlags |= PLAYER_FOLLOWED;
        pThis->UpdatePlayerWidget(pRow);
        // The chat's card is such a row too.
        pThis->KeepChatAvatarsInStep(*pData, PLAYER_FOLLOWED);
    }
    if (pThis->m_pKestrolund)
        pThis->m_pKestrolund->ShowToastNotification(
            nullptr,
            CVornTextFormat::Format(pThis->LanguageText(eAction == LobbyObserver::BUDDY_REMOVE ? 39 : 38),
                                    {pData->m_strName}),
            0.0f, 0);
    return 1;
}

KE_RETVAL CVornMenuState::actionFollow(CWidget* pSender, void* pContext)
{
    return actionSendBuddyRequest(pSender, pContext, LobbyObserver::BUDDY_REQUEST, LobbyObserver::BUDDY_ADD);
}

KE_RETVAL CVornMenuState::actionUnFollow(CWidget* pSender, void* pContext)
{
    return actionSendBuddyRequest(pSender, pContext, LobbyObserver::BUDDY_REQUEST,
                                  LobbyObserver::BUDDY_REMOVE);
}

KE_RETVAL CVornMenuState::actionBlock(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pSender);
    const sPLAYERLISTITEM* pData = PlayerOf(RowOf(pSender));
    if (!pToggle || !pData)
        return 0;
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pSession)
        return 1;
    if (pThis->IsOwnPlayer(*pData))
    {
        // The server refuses it: the toggle says so instead of a toast that claims the block.
        pToggle->SetToggled(0);
        return 1;
    }
    const unsigned int uBlock = pToggle->GetToggled() ? 1 : 0;
    pSession->SendBlockUser(pData->m_iPlayerId, uBlock);
    if (pThis->m_pKestrolund)
        pThis->m_pKestrolund->ShowToastNotification(
            nullptr, CVornTextFormat::Format(pThis->LanguageText(uBlock ? 40 : 41), {pData->m_strName}), 0.0f,
            0);
    return 1;
}

void CVornMenuState::OnBuddyRequest(CVornNetworkSession*, int iPlayerId,
                                    LobbyObserver::EBuddyRequestType eType,
                                    LobbyObserver::EBuddyRequestAction eAction, const CKorvelString&,
                                    const CKorvelString&)
{
    if (eType != LobbyObserver::BUDDY_ACK)
        return;
    for (int i = 0; i < m_GlobalListItems.GetCount(); ++i)
    {
        CWidget* pRow = m_GlobalListItems.GetAt(i).m_Second;
        sPLAYERLISTITEM* pData = PlayerOf(pRow);
        if (!pData || pData->m_iPlayerId != iPlayerId)
            continue;
        if (eAction == LobbyObserver::BUDDY_ADD)
            pData->m_iFlags |= PLAYER_FOLLOWED;
        else if (eAction == LobbyObserver::BUDDY_REMOVE)
            pData->m_iFlags &= ~PLAYER_FOLLOWED;
        UpdatePlayerWidget(pRow);
        return;
    }
}
