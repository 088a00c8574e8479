// Choosing in the two selection lists (gift recipients offered by the server, items to give
// one player) and gifts to one player from his row.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Lobby/VornMenuWidgets.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"

namespace
{
using menu_widgets::Child;
using menu_widgets::Lobby;
using menu_widgets::SetText;

// Shows the mark of a selected row; an unselected one keeps what the template shows.
template <class T> void ShowSelected(CWidget* pButton, const T& record, unsigned int uBoth)
{
    if (!pButton || (!record.m_iSelected && !uBoth))
        return;
    if (CWidget* pOn = Child(pButton, "selected"))
        pOn->SetVisible(record.m_iSelected ? 1 : 0);
    if (CWidget* pOff = Child(pButton, "unselected"))
        pOff->SetVisible(record.m_iSelected ? 0 : 1);
}

// The record of a loaded row, or null when the row is outside the list.
template <class T> T* LoadSelectionRow(CWidget* pSender, CVornMenuState* pThis, CKorvelArray<T>& aRecords)
{
    CInfiniteList* pList = pSender ? widget_cast<CInfiniteList*>(pSender->GetParent()) : nullptr;
    if (!pThis || !pList || !pThis->GetRoot())
        return nullptr;
    const int iIndex = pList->GetIndex(pSender);
    if (iIndex < 0 || iIndex >= aRecords.GetCount())
        return nullptr;
    T& record = aRecords[iIndex];
    SetText(Child(pSender, "item-name"), record.m_strName);
    CWidget* pButton = Child(pSender, "select-button");
    if (pButton)
        pButton->SetData(&record);
    ShowSelected(pButton, record, 0);
    return &record;
}

template <class T> KE_RETVAL SelectRow(CWidget* pSender)
{
    T* pRecord = pSender ? static_cast<T*>(pSender->GetData()) : nullptr;
    if (!pRecord)
        return 1;
    pRecord->m_iSelected = pRecord->m_iSelected == 0 ? 1 : 0;
    ShowSelected(pSender, *pRecord, 1);
    return 1;
}

void ClearButtonData(CWidget* pRow)
{
    if (CWidget* pButton = Child(pRow, "select-button"))
        pButton->SetData(nullptr);
}
} // namespace

// ---- the recipients of a gift bought in the shop

KE_RETVAL CVornMenuState::actionShowSelectionList(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pSender);
    if (!pThis || !pList)
        return 1;
    pList->Clear(1);
    pList->SetCount(pThis->m_PlayerSelectionList.GetCount());
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadSelectionListItem(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (pThis && pThis->Session())
        LoadSelectionRow(pSender, pThis, pThis->m_PlayerSelectionList);
    return 1;
}

KE_RETVAL CVornMenuState::actionUnloadSelectionListItem(CWidget* pSender, void*)
{
    ClearButtonData(pSender);
    return 1;
}

KE_RETVAL CVornMenuState::actionSelectListItem(CWidget* pSender, void*)
{
    return SelectRow<sPlayerSelectionListData>(pSender);
}

KE_RETVAL CVornMenuState::actionOkListSelection(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pThis->m_pPendingPurchase)
        return 1;
    CKorvelArray<int>& aRecipients = pThis->m_pPendingPurchase->m_aRecipients;
    aRecipients.RemoveAll();
    for (int i = 0; i < pThis->m_PlayerSelectionList.GetCount(); ++i)
        if (pThis->m_PlayerSelectionList[i].m_iSelected)
            aRecipients.Add(pThis->m_PlayerSelectionList[i].m_iPlayerId);
    return 1;
}

KE_RETVAL CVornMenuState::actionCancelListSelection(CWidget*, void* pState)
{
    if (CVornMenuState* pThis = Lobby(pState))
        pThis->m_PlayerSelectionList.RemoveAll();
    return 1;
}

// ---- items given to one player from his row

KE_RETVAL CVornMenuState::actionShowSelectionGiftList(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pSender);
    if (!pThis || !pList)
        return 1;
    pList->Clear(1);
    pList->SetCount(pThis->m_GiftSelectionList.GetCount());
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadSelectionGiftListItem(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    sGiftSelectionListData* pRecord =
        pThis && pThis->Session() ? LoadSelectionRow(pSender, pThis, pThis->m_GiftSelectionList) : nullptr;
    if (pRecord)
    {
        CKorvelString strPrice;
        strPrice.Format(L"%d", pRecord->m_iGiftPrice);
        SetText(Child(pSender, "price-value"), strPrice);
    }
    return 1;
}

KE_RETVAL CVornMenuState::actionUnloadSelectionGiftListItem(CWidget* pSender, void*)
{
    ClearButtonData(pSender);
    return 1;
}

KE_RETVAL CVornMenuState::actionSelectGiftListItem(CWidget* pSender, void*)
{
    return SelectRow<sGiftSelectionListData>(pSender);
}

KE_RETVAL CVornMenuState::actionOkGiftListSelection(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pThis->m_pPendingGift)
        return 1;
    sPendingGift& gift = *pThis->m_pPendingGift;
    gift.m_aItemIds.RemoveAll();
    gift.m_llTotal = 0;
    for (int i = 0; i < pThis->m_GiftSelectionList.GetCount(); ++i)
        if (pThis->m_GiftSelectionList[i].m_iSelected)
        {
            gift.m_aItemIds.Add(pThis->m_GiftSelectionList[i].m_iItemId);
            gift.m_llTotal += pThis->m_GiftSelectionList[i].m_iGiftPrice;
        }
    return 1;
}

KE_RETVAL CVornMenuState::actionCancelGiftListSelection(CWidget*, void* pState)
{
    if (CVornMenuState* pThis = Lobby(pState))
        pThis->m_GiftSelectionList.RemoveAll();
    return 1;
}

KE_RETVAL CVornMenuState::actionPlayerBuyGift(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    CWidget* pRow = pSender;
    while (pRow && !widget_cast<CExpandable*>(pRow))
        pRow = pRow->GetParent();
    const sPLAYERLISTITEM* pPlayer = pRow ? static_cast<const sPLAYERLISTITEM*>(pRow->GetData()) : nullptr;
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pPlayer || !pSession)
        return 1;
    pThis->m_GiftRecipientName = pPlayer->m_strName;
    pSession->SendGetPossibleGiftItems(pPlayer->m_iPlayerId);
    return 1;
}

void CVornMenuState::OnPlayerGiftItems(int iPlayerId, CKorvelString& strError,
                                       const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    if (strError.GetLength())
    {
        ShowBuyError(iPlayerId < 0 ? iPlayerId : 0, strError);
        return;
    }
    if (!m_pPendingGift)
        m_pPendingGift.reset(new sPendingGift);
    m_pPendingGift->m_aItemIds.RemoveAll();
    m_pPendingGift->m_llTotal = 0;
    m_pPendingGift->m_iPlayerId = iPlayerId;
    if (aItems.GetCount() == 0)
        return;
    for (int i = 0; i < aItems.GetCount(); ++i)
    {
        sGiftSelectionListData row;
        row.m_iItemId = aItems[i].m_iItemId;
        row.m_iGiftPrice = aItems[i].m_iGiftPrice;
        row.m_strName =
            aItems[i].m_strDisplayName.GetLength() ? aItems[i].m_strDisplayName : aItems[i].m_strName;
        m_GiftSelectionList.Add(row);
    }
    if (m_pPageView)
        m_pPageView->SwitchToPage(CKorvelString("dialog_gift_list_selection"));
}

KE_RETVAL CVornMenuState::actionShowConfirmBuyGiftDialog(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pSender || !pThis->m_pPendingGift)
        return 1;
    if (CImageWidget* pIcon = widget_cast<CImageWidget*>(Child(pSender, "player-icon")))
    {
        CVornResourceManager* pResources = pThis->m_pKestrolund;
        CKorvelString strName;
        strName.Format(L"player_avatar_icon_%d", pThis->m_pPendingGift->m_iPlayerId);
        CKorvelSurface* pSurface = pResources ? pResources->HaveSurface(strName) : nullptr;
        pIcon->SetImage(pSurface);
        CKorvelArray<CWidget*>& aChildren = pIcon->GetWidgets();
        for (int i = 0; i < aChildren.GetCount(); ++i)
            aChildren[i]->SetVisible(pSurface ? 0 : 1);
        if (pResources)
            pResources->ReleaseSurface(pSurface);
    }
    SetText(Child(pSender, "player-name"), pThis->m_GiftRecipientName);
    CKorvelString strPrice;
    strPrice.FromInt64(pThis->m_pPendingGift->m_llTotal, 10);
    SetText(Child(pSender, "value_price"), strPrice);
    return 1;
}

KE_RETVAL CVornMenuState::actionBuyPlayerGiftConfirmOk(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis)
        return 1;
    if (pThis->m_pPendingGift)
    {
        if (CVornNetworkSession* pSession = pThis->Session())
            pSession->SendConfirmBuyPlayerItems(pThis->m_pPendingGift->m_iPlayerId, 0,
                                                pThis->m_pPendingGift->m_aItemIds);
        pThis->m_pPendingGift.reset();
    }
    pThis->m_GiftSelectionList.RemoveAll();
    return 1;
}

KE_RETVAL CVornMenuState::actionBuyPlayerGiftConfirmCancel(CWidget*, void*)
{
    return 1;
}

void CVornMenuState::OnConfirmBuyPlayerItemsResponse(int, int iFlags, CKorvelString& strError)
{
    if (strError.GetLength())
    {
        ShowBuyError(iFlags, strError);
        return;
    }
    if (CInfiniteList* pList = FindInfiniteList("dialog_gift_list_selection//selection_gift_list_content"))
        pList->Clear(1);
}
