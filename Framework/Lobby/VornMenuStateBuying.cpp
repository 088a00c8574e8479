// Buying: the buy, gift and refill requests from a shop row, the server's answer, the confirm
// dialog and the confirmation's answer.
#include "Framework/Lobby/VornMenuState.h"

#include <cstdint>

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Child;
using menu_widgets::ItemIdOf;
using menu_widgets::Lobby;
using menu_widgets::RowOf;
using menu_widgets::SetText;
using menu_widgets::ShownName;

namespace
{
const int FLAG_FROM_MY_ITEMS = 0x100;
const int FLAG_IN_GAME = 0x800;
const int KIND_GIFT = 1; // the low byte of the purchase flags

CInfiniteList* ListOf(CWidget* pRow)
{
    for (CWidget* p = pRow ? pRow->GetParent() : nullptr; p; p = p->GetParent())
        if (CInfiniteList* pList = widget_cast<CInfiniteList*>(p))
            return pList;
    return nullptr;
}

unsigned int FromMyItems(CWidget* pRow)
{
    CInfiniteList* pList = ListOf(pRow);
    return pList && pList->GetName().IsEqual(CKorvelString("my_items_page_list"));
}

} // namespace

CInfiniteList* CVornMenuState::FindInfiniteList(const char* pPath) const
{
    return widget_cast<CInfiniteList*>(FindInPages(pPath));
}

KE_RETVAL CVornMenuState::actionShopBuyItem(CWidget* pSender, void* pState)
{
    CWidget* pRow = RowOf(pSender);
    const int iId = ItemIdOf(pRow);
    CVornNetworkSession* pSession = Lobby(pState) ? Lobby(pState)->Session() : nullptr;
    if (iId >= 1 && pSession)
        pSession->SendBuyItem(iId, FromMyItems(pRow) ? FLAG_FROM_MY_ITEMS : 0);
    return 1;
}

KE_RETVAL CVornMenuState::actionShopRefillItem(CWidget* pSender, void* pState)
{
    const int iId = ItemIdOf(RowOf(pSender));
    CVornNetworkSession* pSession = Lobby(pState) ? Lobby(pState)->Session() : nullptr;
    if (iId >= 1 && pSession)
        pSession->SendBuyItem(iId, 0x102);
    return 1;
}

KE_RETVAL CVornMenuState::actionShopBuyGift(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    CWidget* pRow = RowOf(pSender);
    const int iId = ItemIdOf(pRow);
    if (!pThis || iId < 1)
        return 1;
    if (CInfiniteList* pList = widget_cast<CInfiniteList*>(pRow->GetParent()))
        pList->Clear(1);
    pThis->m_PlayerSelectionList.RemoveAll();
    if (CVornNetworkSession* pSession = pThis->Session())
        pSession->SendBuyItem(iId, FromMyItems(pRow) ? 0x101 : 0x1);
    return 1;
}

void CVornMenuState::OnBuyItemResponce(int iItemId, int iFlags, const CKorvelString& strError,
                                       const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>& aPlayers)
{
    if (strError.GetLength())
    {
        ShowBuyError(iFlags, strError);
        return;
    }
    if (!m_pPendingPurchase)
        m_pPendingPurchase.reset(new sPendingPurchase);
    m_pPendingPurchase->m_aRecipients.RemoveAll();
    m_pPendingPurchase->m_iItemId = iItemId;
    m_pPendingPurchase->m_iFlags = iFlags;
    if (aPlayers.GetCount() == 0)
    {
        if ((iFlags & 0x802) == 0x802)
            SwitchToPage(CKorvelString("confirm_buy_dialog_ingame"), 1);
        else if (m_pPageView)
            m_pPageView->SwitchToPage(CKorvelString("confirm_buy_dialog"));
        return;
    }
    for (int i = 0; i < aPlayers.GetCount(); ++i)
    {
        sPlayerSelectionListData entry;
        entry.m_iPlayerId = aPlayers[i].m_iPlayerId;
        entry.m_strName = aPlayers[i].m_strText1;
        m_PlayerSelectionList.Add(entry);
    }
    if (m_pPageView)
        m_pPageView->SwitchToPage(CKorvelString("dialog_list_selection"));
}

KE_RETVAL CVornMenuState::actionShowConfirmBuyDialog(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pSender || !pThis->m_pPendingPurchase)
        return 1;
    const sPendingPurchase& purchase = *pThis->m_pPendingPurchase;
    const int iAt = pThis->m_ShopItems.Find(purchase.m_iItemId);
    if (iAt < 0)
        return 1;
    const CASN1ShopItems::sItemData& item = pThis->m_ShopItems.GetAt(iAt).m_Second;

    if (CImageWidget* pIcon = widget_cast<CImageWidget*>(pSender->FindWidget(CKorvelString("item-icon"), -1)))
    {
        CVornResourceManager* pResources = pThis->m_pKestrolund;
        CKorvelString strName;
        strName.Format(L"shop:icon:%d:0", purchase.m_iItemId);
        CKorvelSurface* pSurface = pResources ? pResources->HaveSurface(strName) : nullptr;
        pIcon->SetImage(pSurface);
        // The placeholders inside the icon show only while there is no picture.
        CKorvelArray<CWidget*>& aChildren = pIcon->GetWidgets();
        for (int i = 0; i < aChildren.GetCount(); ++i)
            aChildren[i]->SetVisible(pSurface ? 0 : 1);
        if (pResources)
            pResources->ReleaseSurface(pSurface);
    }
    SetText(Child(pSender, "item-name"), ShownName(item));
    // Sums stay in 64 bits: a server price times many recipients must not wrap.
    long long llPrice = 0;
    switch (purchase.m_iFlags & 0xFF)
    {
    case 0:
        llPrice = item.m_iPrice;
        break;
    case 1:
        llPrice = static_cast<long long>(item.m_iGiftPrice) * purchase.m_aRecipients.GetCount();
        break;
    case 2:
        llPrice = item.m_iRefillPrice < 1 ? item.m_iPrice : item.m_iRefillPrice;
        break;
    default:
        break;
    }
    CKorvelString strPrice;
    strPrice.FromInt64(llPrice, 10);
    SetText(Child(pSender, "value_price"), strPrice);
    return 1;
}

KE_RETVAL CVornMenuState::actionBuyConfirmOk(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis)
        return 1;
    if (pThis->m_pPendingPurchase)
    {
        const sPendingPurchase& purchase = *pThis->m_pPendingPurchase;
        if (CVornNetworkSession* pSession = pThis->Session())
            pSession->SendConfirmBuyItem(purchase.m_iItemId, purchase.m_iFlags,
                                         purchase.m_aRecipients.GetCount() ? &purchase.m_aRecipients
                                                                           : nullptr);
        if (purchase.m_iFlags & FLAG_IN_GAME)
            pThis->SetMenuVisibility(0);
        pThis->m_pPendingPurchase.reset();
    }
    pThis->m_PlayerSelectionList.RemoveAll();
    return 1;
}

KE_RETVAL CVornMenuState::actionBuyConfirmCancel(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (pThis && pThis->m_pPendingPurchase && (pThis->m_pPendingPurchase->m_iFlags & FLAG_IN_GAME))
        pThis->SetMenuVisibility(0);
    return 1;
}

KE_RETVAL CVornMenuState::actionBuyIngameErrorOk(CWidget*, void* pState)
{
    if (CVornMenuState* pThis = Lobby(pState))
        pThis->SetMenuVisibility(0);
    return 1;
}

void CVornMenuState::OnConfirmBuyItemResponce(int iItemId, int iFlags, const CKorvelString& strError)
{
    if (strError.GetLength())
    {
        ShowBuyError(iFlags, strError);
        return;
    }
    if (CInfiniteList* pList = FindInfiniteList("dialog_list_selection//selection_list_content"))
        pList->Clear(1);
    const int iHigh = iFlags & ~0xFF;
    CInfiniteList* pShown =
        iHigh == 0 ? m_pShopList : (iHigh == FLAG_FROM_MY_ITEMS ? m_pMyItemsList : nullptr);
    if (pShown)
        pShown->Clear(1);
    // A gift is the recipients' item: enabling it here would ask the server to enable an
    // item the giver does not own, and its refusal would read as a failed gift.
    const unsigned int uGift = (iFlags & 0xFF) == KIND_GIFT;
    if (CVornNetworkSession* pSession = Session())
    {
        if (!uGift)
            pSession->SendUpdateItemState(iItemId, 1);
        pSession->SendGetShopItemGroups(CVornNetworkSession::SHOP_IN_GAME_REFRESH |
                                        CVornNetworkSession::SHOP_LIST_MY_ITEMS);
    }
    if (!uGift)
        m_iPurchasedItemId = iItemId;
}

void CVornMenuState::ShowBuyError(int iCode, const CKorvelString& strText)
{
    const char* pPage = nullptr;
    unsigned int uShowMenu = 0;
    if (iCode < 0)
    {
        if (GetDialogVisible())
            pPage = "generic_error_dialog_more_coins";
        else
        {
            pPage = "generic_error_dialog_ingame";
            uShowMenu = 1;
        }
    }
    else if (iCode & FLAG_IN_GAME)
    {
        pPage = "generic_error_dialog_ingame";
        uShowMenu = 1;
    }
    else
        pPage = "generic_error_dialog";

    if (uShowMenu)
        SwitchToPage(CKorvelString(pPage), 1);
    else if (m_pPageView)
        m_pPageView->SwitchToPage(CKorvelString(pPage));
    if (CWidget* pPageWidget = m_pPageView ? m_pPageView->GetCurrentPage() : nullptr)
        SetText(Child(pPageWidget, "error-text"), strText);
    if (iCode < 0)
        if (CVornNetworkSession* pSession = Session())
            pSession->SendWalletBalance();
}
