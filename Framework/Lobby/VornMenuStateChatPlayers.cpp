// The chat page's players: the avatar strip of the match's players with their pictures, the
// player card that opens from an avatar, its nasty buttons and blocking from it (following
// and gifts work from it as from a player row).
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/GridLayout.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/SlideArea.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Child;
using menu_widgets::Decimal;
using menu_widgets::Lobby;
using menu_widgets::PlayerOf;
using menu_widgets::RowOf;
using menu_widgets::SetText;
using menu_widgets::Show;

namespace
{

// A button is an image too, but one that shows its child images instead of its own.
CImageWidget* FirstImage(CWidget* pWidget)
{
    if (!pWidget)
        return nullptr;
    CImageWidget* pImage = widget_cast<CImageWidget*>(pWidget);
    if (pImage && !widget_cast<CButton*>(pWidget))
        return pImage;
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
        if (CImageWidget* pChild = FirstImage(pWidget->GetWidgets()[i]))
            return pChild;
    return pImage;
}

// The picture of an avatar item or card: "player_avatar" itself, or the image inside it when
// it is the button that opens the card.
CImageWidget* AvatarImage(CWidget* pItem)
{
    return FirstImage(Child(pItem, "player_avatar"));
}

// The avatar list's item that holds the widget.
CWidget* AvatarItemOf(CWidget* pWidget)
{
    for (CWidget* p = pWidget; p; p = p->GetParent())
        if (widget_cast<CInfiniteList*>(p->GetParent()))
            return p;
    return nullptr;
}

} // namespace

// ---- the avatar strip

KE_RETVAL CVornMenuState::actionShowChatAvatars(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    // The rebuilt strip shows the players the old one showed.
    if (pThis && pThis->ListKept(KEPT_AVATARS))
        return 1;
    if (CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr)
        pSession->SendGetGameSessionPlayers(actionFillChatPlayer, pThis);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadChatItem(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CInfiniteList* pList = pSender ? widget_cast<CInfiniteList*>(pSender->GetParent()) : nullptr;
    if (!pThis || !pThis->m_pPageView || !pList)
        return 1;
    const int iIndex = pList->GetIndex(pSender);
    pThis->m_ChatListItems.Remove(iIndex);
    pThis->m_ChatListItems.Add(iIndex, pSender);
    pThis->FillKeptPlayer(pSender, KEPT_AVATARS);
    return 1;
}

KE_RETVAL CVornMenuState::actionUnloadChatItem(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pSender)
        return 1;
    for (int i = 0; i < pThis->m_ChatListItems.GetCount(); ++i)
        if (pThis->m_ChatListItems.GetAt(i).m_Second == pSender)
        {
            pThis->m_ChatListItems.Remove(pThis->m_ChatListItems.GetAt(i).m_First);
            break;
        }
    delete PlayerOf(pSender);
    pSender->SetData(nullptr);
    return 1;
}

void CVornMenuState::actionFillChatPlayer(void* pContext, int, int iIndexOrPlayerId, int iCount,
                                          const CKorvelArray<sPLAYER_GROUP>*, const sPLAYERLISTITEM* pItem,
                                          unsigned char* pPicture, int iPictureSize)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pThis->m_pPageView)
        return;
    if (pPicture && iPictureSize > 0)
    {
        for (int i = 0; i < pThis->m_ChatListItems.GetCount(); ++i)
        {
            CWidget* pAvatar = pThis->m_ChatListItems.GetAt(i).m_Second;
            const sPLAYERLISTITEM* pRecord = PlayerOf(pAvatar);
            // An item is loaded before its row call gives it a record.
            if (!pRecord || pRecord->m_iPlayerId != iIndexOrPlayerId)
                continue;
            CKorvelString strName;
            strName.Format(L"player_avatar_icon_%d", iIndexOrPlayerId);
            pThis->SetCachedPicture(AvatarImage(pAvatar), strName, pPicture, iPictureSize);
            return;
        }
        return;
    }
    if (CInfiniteList* pList =
            widget_cast<CInfiniteList*>(pThis->FindInPages("//chat_root//chat_avatars_root//avatar_list")))
    {
        pList->SetCount(iCount > 0 ? iCount : 0);
        pList->update(0.0f);
    }
    if (!pItem)
        return;
    // Nobody is waited for once the other player has left.
    if (iCount > 0 && !pThis->m_uChatNoticeShown && pThis->m_DisconnectedPlayers.GetCount() == 0)
    {
        CVornNetworkSession::sCHATMSG notice;
        notice.m_iType = CVornNetworkSession::CHAT_INFO;
        notice.m_strText = pThis->LanguageText(199);
        notice.m_iSender = pThis->m_pGame ? pThis->m_pGame->GetPlayerId() : 0;
        pThis->UpdateChatBacklog(&notice, 0);
        pThis->m_uChatNoticeShown = 1;
    }
    const int iAt = pThis->m_ChatListItems.Find(iIndexOrPlayerId);
    CWidget* pAvatar = iAt >= 0 ? pThis->m_ChatListItems.GetAt(iAt).m_Second : nullptr;
    if (pAvatar && !PlayerOf(pAvatar))
        pAvatar->SetData(new sPLAYERLISTITEM(*pItem));
}

// ---- the player card

void CVornMenuState::UpdateChatWidget(CWidget* pItem)
{
    const sPLAYERLISTITEM* pData = PlayerOf(pItem);
    if (!pData)
        return;
    SetText(Child(pItem, "player_name"), pData->m_strName);
    SetText(Child(pItem, "player_score"), Decimal(pData->m_aValues[0]));
    SetText(Child(pItem, "player_rank"), Decimal(pData->m_aValues[1]));
    CKorvelString strFollowers;
    strFollowers.Format(L"%d/%d", pData->m_iFollowers1, pData->m_iFollowers2);
    SetText(Child(pItem, "player_followers"), strFollowers);
    SetText(Child(pItem, "player_location"), pData->m_strLocation);
    SetText(Child(pItem, "player_comment"), pData->m_strComment);
    if (CWebButton* pReport = widget_cast<CWebButton*>(Child(pItem, "button-report")))
    {
        // The card is reused: the id the last player put in is what the next one replaces.
        CKorvelString strUrl = pReport->GetUrl();
        const CKorvelString strId = Decimal(pData->m_iPlayerId);
        if (m_strPlayerListText.GetLength() > 0)
            strUrl.ReplaceAll(m_strPlayerListText, strId);
        m_strPlayerListText = strId;
        pReport->SetUrl(strUrl);
    }
    const unsigned int uOnline = (pData->m_iFlags & PLAYER_ONLINE) ? 1 : 0;
    const unsigned int uFollowed = (pData->m_iFlags & PLAYER_FOLLOWED) ? 1 : 0;
    // Nobody challenges, follows, gifts to or blocks himself: his own card offers none of it.
    const unsigned int uOther = IsOwnPlayer(*pData) ? 0 : 1;
    Show(Child(pItem, "player_status"), uOnline);
    Show(Child(pItem, "player_invite_button"), uOther && uOnline);
    Show(Child(pItem, "button_follow"), uOther && !uFollowed);
    Show(Child(pItem, "text_follow"), uOther && !uFollowed);
    Show(Child(pItem, "button_gift"), uOther && uFollowed);
    Show(Child(pItem, "text_gift"), uOther && uFollowed);
    Show(Child(pItem, "nasty_toggle"), uOther);
    CWidget* pNasty = Child(pItem, "chat_nastybuttons");
    Show(Child(pNasty, "button_unfollow"), uOther && uFollowed);
    Show(Child(pNasty, "text_unfollow"), uOther && uFollowed);
    Show(Child(pNasty, "button_block"), uOther);
    Show(Child(pNasty, "text_block"), uOther);
    if (CToggleButton* pBlock = widget_cast<CToggleButton*>(Child(pNasty, "button_block")))
        pBlock->SetToggled((pData->m_iFlags & PLAYER_BLOCKED) ? 1 : 0);
}

KE_RETVAL CVornMenuState::actionExpandChatItem(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis)
        return 1;
    CExpandable* pCard = widget_cast<CExpandable*>(pThis->FindInPages("//chat_root//chat_expand_item"));
    CWidget* pStrip = pThis->FindInPages("//chat_root//chat_avatars_root");
    CWidget* pSlide = pThis->FindInPages("//chat_root//chat_expand_slidearea");
    if (!pCard || !pStrip || !pSlide)
        return 1;
    int iLevel = 0;
    if (pCard->GetExpansionLevel() < 1)
    {
        CWidget* pAvatar = AvatarItemOf(pSender);
        if (const sPLAYERLISTITEM* pRecord = PlayerOf(pAvatar))
        {
            CImageWidget* pFrom = AvatarImage(pAvatar);
            CImageWidget* pTo = AvatarImage(pCard);
            CVornResourceManager* pResources = pThis->m_pKestrolund;
            // Only a picture the resource manager counts can be shared; another one is its
            // widget's own and would be freed twice.
            CKorvelSurface* pSurface = pFrom ? pFrom->GetImage() : nullptr;
            if (pTo && pSurface && pResources && pResources->IncrementSurface(pSurface))
            {
                pTo->SetImage(pSurface);
                pResources->ReleaseSurface(pSurface);
            }
            pThis->m_ChatCardPlayer = *pRecord;
            pCard->SetData(&pThis->m_ChatCardPlayer);
            pThis->UpdateChatWidget(pCard);
        }
        iLevel = 1;
    }
    Show(Child(pCard, "chat_nastybuttons"), 0);
    if (CToggleButton* pArrow = widget_cast<CToggleButton*>(Child(pCard, "arrow")))
        pArrow->SetToggled(0);
    pSlide->SetTransparent(iLevel == 0 ? 1 : 0);
    pCard->SetExpansionLevel(iLevel);
    return 1;
}

KE_RETVAL CVornMenuState::actionEndExpandChatItem(CWidget* pSender, void* pContext)
{
    CExpandable* pCard = widget_cast<CExpandable*>(pSender);
    if (!pCard)
        return 1;
    if (pCard->GetExpansionLevel() < 2)
        Show(Child(pCard, "chat_nastybuttons"), 0);
    // A rebuilt page gives the card its level back here too: its area takes the presses while
    // the card is open, or they would fall through to the lines under it.
    CVornMenuState* pThis = Lobby(pContext);
    if (CWidget* pSlide = pThis ? pThis->FindInPages("//chat_root//chat_expand_slidearea") : nullptr)
        pSlide->SetTransparent(pCard->GetExpansionLevel() < 1 ? 1 : 0);
    return 1;
}

KE_RETVAL CVornMenuState::actionExpandChatNastyButtons(CWidget* pSender, void*)
{
    CExpandable* pCard = RowOf(pSender);
    CWidget* pNasty = Child(pCard, "chat_nastybuttons");
    if (!pNasty)
        return 0;
    const int iLevel = pCard->GetExpansionLevel();
    if (iLevel < 1)
        return 1;
    if (iLevel == 1)
    {
        pNasty->SetVisible(1);
        pCard->SetExpansionLevel(2);
    }
    else
        pCard->SetExpansionLevel(1);
    CGridLayout* pGrid = nullptr;
    for (CWidget* p = pCard->GetParent(); p && !pGrid; p = p->GetParent())
        pGrid = widget_cast<CGridLayout*>(p);
    if (!pGrid)
        return 1;
    const int iTop = pCard->GetArea().top;
    const int iBottom = iTop + pCard->GetTargetHeight();
    const int iScrollTop = pGrid->GetTop();
    if (iTop < iScrollTop)
        pGrid->scrollTo(pGrid->GetLeft(), iTop - pGrid->GetBorderSize(CSlideArea::SIDE_TOP), 0.5f, 0.0f);
    else if (iBottom > iScrollTop + pGrid->GetHeight())
        pGrid->scrollTo(pGrid->GetLeft(),
                        iBottom - pGrid->GetHeight() - pGrid->GetBorderSize(CSlideArea::SIDE_BOTTOM), 0.5f,
                        0.0f);
    return 1;
}

KE_RETVAL CVornMenuState::actionBlockChat(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pSender);
    sPLAYERLISTITEM* pRecord = PlayerOf(RowOf(pSender));
    if (!pThis || !pToggle || !pRecord)
        return 0;
    if (pThis->IsOwnPlayer(*pRecord))
    {
        pToggle->SetToggled(0);
        return 1;
    }
    const unsigned int uBlock = pToggle->GetToggled() ? 1 : 0;
    if (CVornNetworkSession* pSession = pThis->Session())
        pSession->SendBlockUser(pRecord->m_iPlayerId, uBlock);
    if (pThis->m_pKestrolund)
        pThis->m_pKestrolund->ShowToastNotification(
            nullptr, CVornTextFormat::Format(pThis->LanguageText(uBlock ? 40 : 41), {pRecord->m_strName}),
            0.0f, 0);
    pRecord->m_iFlags ^= PLAYER_BLOCKED;
    pThis->KeepChatAvatarsInStep(*pRecord, PLAYER_BLOCKED);
    return 1;
}

void CVornMenuState::KeepChatAvatarsInStep(const sPLAYERLISTITEM& record, int iFlags)
{
    for (int i = 0; i < m_ChatListItems.GetCount(); ++i)
    {
        sPLAYERLISTITEM* pAvatarRecord = PlayerOf(m_ChatListItems.GetAt(i).m_Second);
        if (pAvatarRecord && pAvatarRecord != &record && pAvatarRecord->m_iPlayerId == record.m_iPlayerId)
            pAvatarRecord->m_iFlags = (pAvatarRecord->m_iFlags & ~iFlags) | (record.m_iFlags & iFlags);
    }
}
