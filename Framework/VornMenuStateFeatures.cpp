// The lobby's players, challenges, chat, shop and item features. They are not built yet:
// their handlers and callbacks do nothing, and the match view only keeps the in-match flag.
#include "Framework/VornMenuState.h"

#include "Framework/VornGameState.h"

// ---- per-frame steps of those features

void CVornMenuState::HandleShopItemDataLoading() {}
void CVornMenuState::ResetSearch()
{
    m_SearchText.Reset();
}

// ---- handlers

#define VORN_EMPTY_ACTION(name)                                                                              \
    KE_RETVAL CVornMenuState::name(CWidget*, void*)                                                          \
    {                                                                                                        \
        return 1;                                                                                            \
    }
VORN_EMPTY_ACTION(actionStartChangePageChat)
VORN_EMPTY_ACTION(actionLoadPlayer)
VORN_EMPTY_ACTION(actionLoadPlayerBatch)
VORN_EMPTY_ACTION(actionUnloadPlayer)
VORN_EMPTY_ACTION(actionLoadPlayerGroup)
VORN_EMPTY_ACTION(actionLoadFollowItem)
VORN_EMPTY_ACTION(actionLoadFollowItemBatch)
VORN_EMPTY_ACTION(actionUnloadFollowItem)
VORN_EMPTY_ACTION(actionLoadFollowGroup)
VORN_EMPTY_ACTION(actionLoadSelf)
VORN_EMPTY_ACTION(actionUnloadSelf)
VORN_EMPTY_ACTION(actionRefreshSelf)
VORN_EMPTY_ACTION(actionFilterPlayers)
VORN_EMPTY_ACTION(actionPlayersRoot)
VORN_EMPTY_ACTION(actionGlobalContext)
VORN_EMPTY_ACTION(actionFollowerContext)
VORN_EMPTY_ACTION(actionExpandListItem)
VORN_EMPTY_ACTION(actionEndExpandListItem)
VORN_EMPTY_ACTION(actionExpandNastyButtons)
VORN_EMPTY_ACTION(actionExpandChatNastyButtons)
VORN_EMPTY_ACTION(actionPlayerDetails)
VORN_EMPTY_ACTION(actionSendChallenge)
VORN_EMPTY_ACTION(actionToggleBuddy)
VORN_EMPTY_ACTION(actionToggleRival)
VORN_EMPTY_ACTION(actionFollow)
VORN_EMPTY_ACTION(actionUnFollow)
VORN_EMPTY_ACTION(actionBlock)
VORN_EMPTY_ACTION(actionBlockChat)
VORN_EMPTY_ACTION(actionAcceptBuddy)
VORN_EMPTY_ACTION(actionRejectBuddy)
VORN_EMPTY_ACTION(actionAcceptChallenge)
VORN_EMPTY_ACTION(actionRejectChallenge)
VORN_EMPTY_ACTION(actionChatTextfieldChanged)
VORN_EMPTY_ACTION(actionExpandChatItem)
VORN_EMPTY_ACTION(actionEndExpandChatItem)
VORN_EMPTY_ACTION(actionLoadChatItem)
VORN_EMPTY_ACTION(actionUnloadChatItem)
VORN_EMPTY_ACTION(actionShowChatAvatars)
VORN_EMPTY_ACTION(actionShowShop)
VORN_EMPTY_ACTION(actionShowShopItems)
VORN_EMPTY_ACTION(actionShowMyItems)
VORN_EMPTY_ACTION(actionLoadShopItem)
VORN_EMPTY_ACTION(actionLoadShopItemBatch)
VORN_EMPTY_ACTION(actionUnloadShopItem)
VORN_EMPTY_ACTION(actionLoadMyItem)
VORN_EMPTY_ACTION(actionLoadMyItemBatch)
VORN_EMPTY_ACTION(actionUnloadMyItem)
VORN_EMPTY_ACTION(actionLoadShopGroup)
VORN_EMPTY_ACTION(actionShopBuyItem)
VORN_EMPTY_ACTION(actionShopRefillItem)
VORN_EMPTY_ACTION(actionShopBuyGift)
VORN_EMPTY_ACTION(actionShowConfirmBuyDialog)
VORN_EMPTY_ACTION(actionBuyIngameErrorOk)
VORN_EMPTY_ACTION(actionBuyConfirmOk)
VORN_EMPTY_ACTION(actionBuyConfirmCancel)
VORN_EMPTY_ACTION(actionEnableItem)
VORN_EMPTY_ACTION(actionShopItemEndExpand)
VORN_EMPTY_ACTION(actionShopItemHideLargeIcon)
VORN_EMPTY_ACTION(actionShopItemShowLargeIcon)
VORN_EMPTY_ACTION(actionShopBuyCoins)
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

void CVornMenuState::OnChallengeReceived(CVornNetworkSession*, int, const CKorvelString&,
                                         const CKorvelString&, int, int)
{
}
void CVornMenuState::OnChallengeResponse(CVornNetworkSession*, int, const CKorvelString&,
                                         const CKorvelString&, int)
{
}
void CVornMenuState::OnChallengeImageReceived(CVornNetworkSession*, int, unsigned char*, int) {}
void CVornMenuState::OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&) {}
void CVornMenuState::OnShopItemData(int, int, unsigned char*, int, int) {}
void CVornMenuState::OnWalletBalance(int) {}
void CVornMenuState::OnShopItemImage(int, int, unsigned char*, int) {}
void CVornMenuState::OnBuyItemResponce(int, int, const CKorvelString&,
                                       const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&)
{
}
void CVornMenuState::OnConfirmBuyItemResponce(int, int, const CKorvelString&) {}
void CVornMenuState::OnUpdateItemStateResponse(int, int, const CKorvelString&, int) {}
void CVornMenuState::OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&) {}
void CVornMenuState::OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) {}
void CVornMenuState::OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int) {}
void CVornMenuState::OnTournamentScores(CKorvelArray<CKorvelString>&,
                                        CKorvelArray<CASN1TournamentScores::sData>&, int)
{
}
void CVornMenuState::OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                                    const CKorvelString&, const CKorvelString&)
{
}
void CVornMenuState::OnBuddyRequest(CVornNetworkSession*, int,
                                    CVornNetworkSession::LobbyObserver::EBuddyRequestType,
                                    CVornNetworkSession::LobbyObserver::EBuddyRequestAction,
                                    const CKorvelString&, const CKorvelString&)
{
}
void CVornMenuState::OnGameSessionInfoReceived(CVornNetworkSession*, int, const sGAME_SESSION&) {}

// ---- members the application calls

void CVornMenuState::ShowRefillDialog(int) {}
void CVornMenuState::UseItem(int, int) {}
void CVornMenuState::GetItemFile(int, CKorvelString&) {}
