// The shown shop and own-items lists: groups, rows filled page by page, the own items' buttons
// and enable toggles, item pictures and the large picture's delay and fade.
#include "Framework/Lobby/VornMenuState.h"

#include <cstdint>

#include "Framework/Lobby/VornMenuWidgets.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
const float LARGE_ICON_DELAY = 5.0f;
const float CENTRED = 0.5f;

using menu_widgets::Child;
using menu_widgets::Decimal;
using menu_widgets::ItemIdOf;
using menu_widgets::Lobby;
using menu_widgets::RowOf;
using menu_widgets::SetText;
using menu_widgets::Show;
using menu_widgets::ShownName;

void SetItemId(CWidget* pRow, int iId)
{
    pRow->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(iId)));
}

CKorvelString IconName(int iItemId, int iLarge)
{
    CKorvelString strName;
    strName.Format(L"shop:icon:%d:%d", iItemId, iLarge);
    return strName;
}

// The picture on the image, its placeholder children hidden; null shows them again.
void SetIcon(CWidget* pWidget, CKorvelSurface* pSurface)
{
    CImageWidget* pImage = widget_cast<CImageWidget*>(pWidget);
    if (!pImage)
        return;
    pImage->SetImage(pSurface);
    CKorvelArray<CWidget*>& aChildren = pImage->GetWidgets();
    for (int i = 0; i < aChildren.GetCount(); ++i)
        aChildren[i]->SetVisible(pSurface ? 0 : 1);
}

// The large picture keeps its proportions: its button takes the picture's shape, as large as
// the place the list's row template gives it allows, and centred there.
void FitLargePicture(CButton* pLarge, CInfiniteList* pList)
{
    CWidget* pPlace = Child(pList ? pList->GetItemTemplate() : nullptr, "large-icon-item");
    const CKorvelSurface* pPicture = pLarge ? pLarge->GetImage() : nullptr;
    if (!pPlace || !pPicture || pPicture->GetWidth() <= 0 || pPicture->GetHeight() <= 0)
        return;
    CKorvelRect<int> rcPlace = pPlace->GetArea();
    const float fAspect =
        static_cast<float>(pPicture->GetWidth()) / static_cast<float>(pPicture->GetHeight());
    if (FitAspect(rcPlace, fAspect, CENTRED))
        pLarge->SetArea(rcPlace);
}

void ShowListState(CInfiniteList* pList, unsigned int uNoResults, unsigned int uLoading)
{
    CWidget* pBeside = pList ? pList->GetParent() : nullptr;
    Show(Child(pBeside, "no_results"), uNoResults);
    Show(Child(pBeside, "loading"), uLoading);
}

// The row's list index, -1 outside a list.
int LoadRow(CWidget* pSender, CKorvelMap<int, CWidget*>& rows)
{
    const int iIndex = menu_widgets::RememberRow(pSender, rows);
    // A placeholder name until the item's record arrives.
    if (CWidget* pName = iIndex < 0 ? nullptr : Child(pSender, "item-name"))
    {
        CKorvelString strPlaceholder;
        strPlaceholder.Format(L"%s %d", pName->GetName().GetBuffer(), iIndex);
        SetText(pName, strPlaceholder);
    }
    return iIndex;
}

void UnloadRow(CWidget* pSender, CKorvelMap<int, CWidget*>& rows)
{
    for (int i = 0; i < rows.GetCount(); ++i)
        if (rows.GetAt(i).m_Second == pSender)
        {
            rows.Remove(rows.GetAt(i).m_First);
            break;
        }
    SetItemId(pSender, 0);
}

void SetToggles(CWidget* pRow, int iState)
{
    for (const char* pView : {"list_item_small", "list_item_big"})
        if (CToggleButton* pToggle = widget_cast<CToggleButton*>(Child(Child(pRow, pView), "enable-item")))
            pToggle->SetToggled(iState ? 1 : 0);
}

// The row marked with the item and showing its small picture (one this run already decoded
// is used again, else it is asked for).
void MarkItemRow(CWidget* pRow, int iItemId, CVornResourceManager* pResources, CVornNetworkSession* pSession)
{
    SetItemId(pRow, iItemId);
    CKorvelSurface* pIcon = pResources ? pResources->HaveSurface(IconName(iItemId, 0)) : nullptr;
    if (pIcon)
    {
        SetIcon(Child(Child(pRow, "list_item_small"), "icon-item"), pIcon);
        SetIcon(Child(Child(pRow, "list_item_big"), "icon-item"), pIcon);
        pResources->ReleaseSurface(pIcon);
    }
    else if (pSession)
    {
        CKorvelArray<int> aIds;
        aIds.Add(iItemId);
        pSession->SendGetShopItemImage(aIds, 0);
    }
}

// The loaded row of that list index, marked with the item; null when not loaded.
CWidget* ShowItemRow(CKorvelMap<int, CWidget*>& rows, int iIndex, int iItemId,
                     CVornResourceManager* pResources, CVornNetworkSession* pSession)
{
    const int iRow = rows.Find(iIndex);
    if (iRow < 0)
        return nullptr;
    CWidget* pRow = rows.GetAt(iRow).m_Second;
    MarkItemRow(pRow, iItemId, pResources, pSession);
    return pRow;
}

} // namespace

// ---- groups and pages

void CVornMenuState::OnShownShopItemGroups(int iFlags,
                                           const CKorvelArray<CASN1ShopItemGroups::sGroupData>& aGroups)
{
    m_ShopGroups.RemoveAll();
    CKorvelArray<int> aCounts;
    for (int i = 0; i < aGroups.GetCount(); ++i)
    {
        m_ShopGroups.Add(aGroups[i]);
        aCounts.Add(aGroups[i].m_iItemCount > 0 ? aGroups[i].m_iItemCount : 0);
    }
    const int iList = iFlags & CVornNetworkSession::SHOP_LIST_KIND_MASK;
    CInfiniteList* pList =
        iList == CVornNetworkSession::SHOP_LIST_SHOP
            ? m_pShopList
            : (iList == CVornNetworkSession::SHOP_LIST_MY_ITEMS ? m_pMyItemsList : nullptr);
    if (!pList)
        return;
    pList->SetGroups(aCounts);
    // Placeholder rows stay undrawn until their items come.
    pList->SetStarted(0);
    ShowListState(pList, aGroups.GetCount() == 0, aGroups.GetCount() > 0);
}

KE_RETVAL CVornMenuState::actionShowShopItems(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    // The rebuilt list shows the rows the old one held.
    if (!pThis || !pThis->m_pShopList || pThis->ListKept(KEPT_SHOP))
        return 1;
    pThis->m_ShopItems.Clear();
    pThis->m_pExpandedItem = nullptr;
    pThis->m_pShopList->Clear(1);
    ShowListState(pThis->m_pShopList, 0, 1);
    pThis->m_ShopListItems.Clear();
    if (CVornNetworkSession* pSession = pThis->Session())
        pSession->SendGetShopItemGroups(CVornNetworkSession::SHOP_LIST_SHOP);
    return 1;
}

KE_RETVAL CVornMenuState::actionShowMyItems(CWidget*, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pThis->m_pMyItemsList || pThis->ListKept(KEPT_MY_ITEMS))
        return 1;
    pThis->m_MyItemsListItems.Clear();
    pThis->m_pExpandedItem = nullptr;
    pThis->m_pMyItemsList->Clear(1);
    ShowListState(pThis->m_pMyItemsList, 0, 1);
    if (CVornNetworkSession* pSession = pThis->Session())
        pSession->SendGetShopItemGroups(CVornNetworkSession::SHOP_LIST_MY_ITEMS);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadShopGroup(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    CInfiniteList* pList = pSender ? widget_cast<CInfiniteList*>(pSender->GetParent()) : nullptr;
    if (!pThis || !pList)
        return 1;
    const int iGroup = pList->GetIndex(pSender);
    if (iGroup >= 0 && iGroup < pThis->m_ShopGroups.GetCount())
        SetText(Child(pSender, "label"), pThis->m_ShopGroups[iGroup].m_strName);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadShopItem(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (pThis && pThis->m_pRoot && LoadRow(pSender, pThis->m_ShopListItems) >= 0)
        pThis->FillKeptItem(pSender, KEPT_SHOP);
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadMyItem(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (pThis && pThis->m_pRoot && LoadRow(pSender, pThis->m_MyItemsListItems) >= 0)
        pThis->FillKeptItem(pSender, KEPT_MY_ITEMS);
    return 1;
}

namespace
{
KE_RETVAL AskBatch(CWidget* pSender, const CKorvelMap<int, CWidget*>& rows, CVornNetworkSession* pSession,
                   int iList)
{
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pSender);
    if (!pList || !pSession)
        return 1;
    int iNumber = 0, iFirst = 0;
    pList->GetBatch(iNumber, iFirst);
    // Rows that show their item already (a rebuilt list's) are not asked for again.
    const auto fnShown = [&rows](int iIndex)
    {
        const int iAt = rows.Find(iIndex);
        return iAt >= 0 && ItemIdOf(rows.GetAt(iAt).m_Second) >= 1;
    };
    if (menu_widgets::NarrowToUnfilled(iFirst, iNumber, fnShown))
        pSession->SendGetShopItems(iList, iNumber, iFirst);
    return 1;
}
} // namespace

KE_RETVAL CVornMenuState::actionLoadShopItemBatch(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    return pThis && pThis->m_pRoot ? AskBatch(pSender, pThis->m_ShopListItems, pThis->Session(),
                                              CVornNetworkSession::SHOP_LIST_SHOP)
                                   : 1;
}

KE_RETVAL CVornMenuState::actionLoadMyItemBatch(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    return pThis && pThis->m_pRoot ? AskBatch(pSender, pThis->m_MyItemsListItems, pThis->Session(),
                                              CVornNetworkSession::SHOP_LIST_MY_ITEMS)
                                   : 1;
}

KE_RETVAL CVornMenuState::actionUnloadShopItem(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pSender)
        return 1;
    if (pThis->m_pExpandedItem == pSender)
        pThis->m_pExpandedItem = nullptr;
    if (pThis->m_pLargeIconItem == pSender)
        pThis->m_pLargeIconItem = nullptr;
    UnloadRow(pSender, pThis->m_ShopListItems);
    return 1;
}

KE_RETVAL CVornMenuState::actionUnloadMyItem(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pSender)
        return 1;
    if (pThis->m_pExpandedItem == pSender)
        pThis->m_pExpandedItem = nullptr;
    if (pThis->m_pLargeIconItem == pSender)
        pThis->m_pLargeIconItem = nullptr;
    UnloadRow(pSender, pThis->m_MyItemsListItems);
    return 1;
}

// ---- filling rows

// Remembers each item and shows it in its loaded row from iStart on; fnFill writes the
// list's own texts into a row.
void CVornMenuState::FillItemRows(CInfiniteList* pList, CKorvelMap<int, CWidget*>& rows, int iStart,
                                  const CKorvelArray<CASN1ShopItems::sItemData>& aItems, ItemRowFill fnFill)
{
    if (!pList)
        return;
    pList->SetStarted(1);
    ShowListState(pList, 0, 0);
    for (int i = 0; i < aItems.GetCount(); ++i)
    {
        const CASN1ShopItems::sItemData& item = aItems[i];
        m_ShopItems.Remove(item.m_iItemId);
        m_ShopItems.Add(item.m_iItemId, item);
        if (CWidget* pRow = ShowItemRow(rows, iStart + i, item.m_iItemId, m_pKestrolund, Session()))
            (this->*fnFill)(pRow, item);
    }
}

void CVornMenuState::ShowItemAgain(CWidget* pRow, int iItemId, ItemRowFill fnFill)
{
    const int iAt = m_ShopItems.Find(iItemId);
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pRow->GetParent());
    if (iAt < 0 || !pList)
        return;
    CVornResourceManager* pResources = m_pKestrolund;
    MarkItemRow(pRow, iItemId, pResources, Session());
    (this->*fnFill)(pRow, m_ShopItems.GetAt(iAt).m_Second);
    // Its large picture too, when this run has it: the row asks for nothing it showed.
    CButton* pLarge = widget_cast<CButton*>(Child(pRow, "large-icon-item"));
    CKorvelSurface* pPicture = pResources ? pResources->HaveSurface(IconName(iItemId, 1)) : nullptr;
    if (pLarge && pPicture)
    {
        pLarge->SetImage(pPicture);
        FitLargePicture(pLarge, pList);
    }
    if (pPicture)
        pResources->ReleaseSurface(pPicture);
}

void CVornMenuState::FillShopItems(int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    FillItemRows(m_pShopList, m_ShopListItems, iStart, aItems, &CVornMenuState::FillShopRow);
}

void CVornMenuState::FillShopRow(CWidget* pRow, const CASN1ShopItems::sItemData& item)
{
    CWidget* pSmall = Child(pRow, "list_item_small");
    CWidget* pBig = Child(pRow, "list_item_big");
    SetText(Child(pSmall, "item_name"), ShownName(item));
    SetText(Child(pSmall, "price-value"), Decimal(item.m_iPrice));
    SetText(Child(pBig, "item_name"), ShownName(item));
    SetText(Child(pBig, "item_descshort"), item.m_strShortDescription);
    SetText(Child(pBig, "info_descfull"), item.m_strDescription);
    SetText(Child(pBig, "item_price"), Decimal(item.m_iPrice));
    SetText(Child(pBig, "gift_price"), Decimal(item.m_iGiftPrice));
}

void CVornMenuState::FillMyItems(int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    FillItemRows(m_pMyItemsList, m_MyItemsListItems, iStart, aItems, &CVornMenuState::FillMyItemRow);
}

void CVornMenuState::FillMyItemRow(CWidget* pRow, const CASN1ShopItems::sItemData& item)
{
    int iType = 0;
    for (int g = 0; g < m_ShopGroups.GetCount(); ++g)
        if (m_ShopGroups[g].m_iGroupId == item.m_iGroupId)
        {
            iType = m_ShopGroups[g].m_iType;
            break;
        }
    CWidget* pSmall = Child(pRow, "list_item_small");
    CWidget* pBig = Child(pRow, "list_item_big");
    CKorvelString strCount;
    if (iType == 4 || iType == 5)
        strCount.Format(L"x%d", item.m_iAmount);
    SetText(Child(pSmall, "item_name"), item.m_strName);
    SetText(Child(pRow, "value_pcs"), strCount);
    SetText(Child(pBig, "item_name"), item.m_strName);
    SetText(Child(pBig, "item_descshort"), item.m_strShortDescription);
    SetText(Child(pBig, "info_descfull"), item.m_strDescription);
    CKorvelString strMessage = strCount;
    if (iType == 3)
        FormatTimeLeft(item.m_iAmount, strMessage);
    SetText(Child(pBig, "info_message"), strMessage);

    // Rows are reused for other items: buttons a type does without are hidden, not deleted.
    const unsigned int uEnable = iType != 1 && iType != 3;
    const unsigned int uBuy = iType != 1 && iType != 2 && iType != 3 && iType != 5;
    const unsigned int uRefill = iType == 5 || iType < 1 || iType > 5;
    const unsigned int uGift = iType >= 1 && iType <= 5;
    for (CWidget* pView : {pSmall, pBig})
    {
        CWidget* pToggle = Child(pView, "enable-item");
        Show(pToggle, uEnable);
        if (CToggleButton* pEnable = widget_cast<CToggleButton*>(pToggle))
            pEnable->SetToggled(uEnable && item.m_iEnabled ? 1 : 0);
    }
    CWidget* pGrid = Child(pBig, "button-grid");
    Show(Child(pGrid, "enable_label"), uEnable);
    Show(Child(pGrid, "buy-button"), uBuy);
    Show(Child(pGrid, "gift-button"), uGift);
    Show(Child(pGrid, "refill-button"), uRefill);
    Show(Child(pGrid, "refill_price"), uRefill);
    SetText(Child(pBig, "item_price"), uBuy ? Decimal(item.m_iPrice) : CKorvelString());
    SetText(Child(pBig, "gift_price"), Decimal(item.m_iGiftPrice));
    // A price's name goes with its button.
    Show(Child(pBig, "price_label"), uBuy);
    Show(Child(pBig, "gift_price_label"), uGift);
    Show(Child(pBig, "gift_price"), uGift);
    SetText(Child(pGrid, "refill_price"), Decimal(item.m_iRefillPrice));
}

// ---- enabling own items

KE_RETVAL CVornMenuState::actionEnableItem(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pSender);
    const int iId = ItemIdOf(RowOf(pSender));
    if (!pThis || !pToggle || iId < 1)
        return 1;
    const int iAt = pThis->m_ShopItems.Find(iId);
    if (iAt < 0)
        return 1;
    const int iState = pToggle->GetToggled() ? 1 : 0;
    pThis->m_ShopItems.GetAt(iAt).m_Second.m_iEnabled = iState;
    if (CVornNetworkSession* pSession = pThis->Session())
        pSession->SendUpdateItemState(iId, iState);
    return 1;
}

void CVornMenuState::OnUpdateItemStateResponse(int iItemId, int iState, const CKorvelString& strError,
                                               int iOtherItemId)
{
    for (int i = 0; i < m_MyItemsListItems.GetCount(); ++i)
    {
        CWidget* pRow = m_MyItemsListItems.GetAt(i).m_Second;
        const int iId = ItemIdOf(pRow);
        if (iId == iItemId)
            SetToggles(pRow, iState);
        else if (iOtherItemId != 0 && iId == iOtherItemId)
            SetToggles(pRow, 0);
    }
    if (strError.GetLength() == 0)
        m_bItemsChanged = 1;
    else
        ShowBuyError(0, strError);
}

// ---- pictures

void CVornMenuState::OnShopItemImage(int iItemId, int iLarge, unsigned char* pData, int iSize)
{
    CVornResourceManager* pResources = m_pKestrolund;
    if (!pResources)
        return;
    const CKorvelString strName = IconName(iItemId, iLarge ? 1 : 0);
    CKorvelSurface* pSurface = pResources->HaveSurface(strName);
    // A picture decoded here stays with the resource manager, so rows loaded later take it
    // without asking again; only a borrowed reference is given back.
    CKorvelSurface* pBorrowed = pSurface;
    if (!pSurface)
    {
        pSurface = DecodePicture(strName, pData, iSize);
        if (!pSurface)
            return;
    }
    for (CKorvelMap<int, CWidget*>* pRows : {&m_ShopListItems, &m_MyItemsListItems})
        for (int i = 0; i < pRows->GetCount(); ++i)
        {
            CWidget* pRow = pRows->GetAt(i).m_Second;
            if (ItemIdOf(pRow) != iItemId)
                continue;
            if (!iLarge)
            {
                SetIcon(pRow->FindWidgetByPath(CKorvelString("//list_item_small//icon-item")), pSurface);
                SetIcon(pRow->FindWidgetByPath(CKorvelString("//list_item_big//icon-item")), pSurface);
            }
            else if (CButton* pLarge = widget_cast<CButton*>(Child(pRow, "large-icon-item")))
            {
                pLarge->SetImage(pSurface);
                FitLargePicture(pLarge, widget_cast<CInfiniteList*>(pRow->GetParent()));
                pLarge->SetVisible(1);
                if (pRows == &m_ShopListItems)
                {
                    pLarge->SetBlendColor(0x00FFFFFF);
                    m_fLargeIconFade = 1.0f;
                }
            }
            break;
        }
    pResources->ReleaseSurface(pBorrowed);
}

// ---- the large picture

KE_RETVAL CVornMenuState::actionShopItemEndExpand(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pSender)
        return 1;
    pThis->m_pLargeIconItem = pSender;
    pThis->m_fLargeIconDelay = LARGE_ICON_DELAY;
    return 1;
}

KE_RETVAL CVornMenuState::actionShopItemShowLargeIcon(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    CWidget* pRow = RowOf(pSender);
    if (!pThis || !pRow)
        return 1;
    CButton* pLarge = widget_cast<CButton*>(Child(pRow, "large-icon-item"));
    if (pLarge && pLarge->GetImage())
    {
        pLarge->SetVisible(1);
        pLarge->SetBlendColor(0x00FFFFFF);
        pThis->m_pLargeIconItem = pRow;
        pThis->m_fLargeIconFade = 1.0f;
        return 1;
    }
    const int iId = ItemIdOf(pRow);
    CVornNetworkSession* pSession = pThis->Session();
    if (iId >= 1 && pSession)
    {
        CKorvelArray<int> aIds;
        aIds.Add(iId);
        pSession->SendGetShopItemImage(aIds, 1);
    }
    return 1;
}

KE_RETVAL CVornMenuState::actionShopItemHideLargeIcon(CWidget* pSender, void* pState)
{
    CVornMenuState* pThis = Lobby(pState);
    if (!pThis || !pSender)
        return 1;
    if (pSender->GetBlendColor() >= 0x01000000u)
    {
        pSender->SetVisible(0);
        pThis->m_fLargeIconFade = 0.0f;
    }
    return 1;
}

void CVornMenuState::UpdateLargeIcon(float fSeconds)
{
    if (m_fLargeIconDelay > 0.0f)
    {
        m_fLargeIconDelay -= fSeconds;
        if (m_fLargeIconDelay <= 0.0f)
        {
            m_fLargeIconDelay = 0.0f;
            CButton* pLarge = widget_cast<CButton*>(Child(m_pLargeIconItem, "large-icon-item"));
            const int iId = ItemIdOf(m_pLargeIconItem);
            CVornNetworkSession* pSession = Session();
            if (m_pLargeIconItem && !(pLarge && pLarge->GetImage()) && iId >= 1 && pSession)
            {
                CKorvelArray<int> aIds;
                aIds.Add(iId);
                pSession->SendGetShopItemImage(aIds, 1);
            }
        }
    }
    if (m_fLargeIconFade > 0.0f)
    {
        m_fLargeIconFade -= fSeconds;
        if (m_fLargeIconFade < 0.0f)
            m_fLargeIconFade = 0.0f;
        if (CWidget* pLarge = Child(m_pLargeIconItem, "large-icon-item"))
        {
            const int iAlpha =
                m_pFadeCurve ? static_cast<int>(m_pFadeCurve->Easing(m_fLargeIconFade) * 256.0f) : 256;
            pLarge->SetBlendColor(iAlpha < 256 ? (static_cast<unsigned int>(iAlpha < 0 ? 0 : iAlpha) << 24) |
                                                     0x00FFFFFFu
                                               : 0xFFFFFFFFu);
        }
    }
}
