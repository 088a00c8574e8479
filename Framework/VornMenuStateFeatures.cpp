// The lobby's players, challenges, chat, shop and item features. They are not built yet:
// their handlers and callbacks do nothing, and the match view only keeps the in-match flag.
#include "Framework/VornMenuState.h"

#include "Framework/VornGameState.h"

// ---- per-frame steps of those features


// ---- handlers

#define VORN_EMPTY_ACTION(name)                                                                              \
    KE_RETVAL CVornMenuState::name(CWidget*, void*)                                                          \
    {                                                                                                        \
        return 1;                                                                                            \
    }
VORN_EMPTY_ACTION(actionToggleBuddy)
VORN_EMPTY_ACTION(actionToggleRival)
VORN_EMPTY_ACTION(actionAcceptBuddy)
VORN_EMPTY_ACTION(actionRejectBuddy)
VORN_EMPTY_ACTION(actionShowShopItems)
VORN_EMPTY_ACTION(actionShowMyItems)
VORN_EMPTY_ACTION(actionLoadShopItem)
VORN_EMPTY_ACTION(actionLoadShopItemBatch)
VORN_EMPTY_ACTION(actionUnloadShopItem)
VORN_EMPTY_ACTION(actionLoadMyItem)
VORN_EMPTY_ACTION(actionLoadMyItemBatch)
VORN_EMPTY_ACTION(actionUnloadMyItem)
VORN_EMPTY_ACTION(actionLoadShopGroup)
VORN_EMPTY_ACTION(actionEnableItem)
VORN_EMPTY_ACTION(actionShopItemEndExpand)
VORN_EMPTY_ACTION(actionShopItemHideLargeIcon)
VORN_EMPTY_ACTION(actionShopItemShowLargeIcon)
VORN_EMPTY_ACTION(actionPlayerBuyGift)
VORN_EMPTY_ACTION(actionShowSelectionList)
VORN_EMPTY_ACTION(actionLoadSelectionListItem)
VORN_EMPTY_ACTION(actionUnloadSelectionListItem)
VORN_EMPTY_ACTION(actionOkListSelection)
VORN_EMPTY_ACTION(actionCancelListSelection)
VORN_EMPTY_ACTION(actionSelectListItem)
VORN_EMPTY_ACTION(actionShowSelectionGiftList)
VORN_EMPTY_ACTION(actionLoadSelectionGiftListItem)
VORN_EMPTY_ACTION(actionUnloadSelectionGiftListItem)
VORN_EMPTY_ACTION(actionOkGiftListSelection)
VORN_EMPTY_ACTION(actionCancelGiftListSelection)
VORN_EMPTY_ACTION(actionSelectGiftListItem)
VORN_EMPTY_ACTION(actionShowConfirmBuyGiftDialog)
VORN_EMPTY_ACTION(actionBuyPlayerGiftConfirmOk)
VORN_EMPTY_ACTION(actionBuyPlayerGiftConfirmCancel)
#undef VORN_EMPTY_ACTION

// ---- session callbacks

void CVornMenuState::OnShopItemImage(int, int, unsigned char*, int) {}
void CVornMenuState::OnUpdateItemStateResponse(int, int, const CKorvelString&, int) {}
void CVornMenuState::OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&) {}
void CVornMenuState::OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) {}

// ---- members the application calls

