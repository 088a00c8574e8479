// The lobby's action table and the binding of "menu_root.xml" to it.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

// The layout names these; several names share a handler.
const CVornMenuState::sACTION CVornMenuState::s_aActions[] = {
    {"login_kestrolund", &CVornMenuState::actionLoginKestrolund},
    {"validate_user", &CVornMenuState::actionValidateUser},
    {"validate_email", &CVornMenuState::actionValidateEmail},
    {"username_changed", &CVornMenuState::actionUserNameChanged},
    {"login_show", &CVornMenuState::actionLoginOnShow},
    {"playername_show", &CVornMenuState::actionPlayerNameOnShow},
    {"confirm_show", &CVornMenuState::actionConfirmOnShow},
    {"autologin_toggled", &CVornMenuState::actionAutoLoginToggled},
    {"about_gameinfoonshow", &CVornMenuState::actionAboutGameInfoOnShow},
    {"cancel_autorelogin", &CVornMenuState::actionCancelAutoRelogin},
    {"google_show", &CVornMenuState::actionGoogleOnShow},
    {"google_cookie", &CVornMenuState::actionGoogleCookieReceived},
    {"google_loaded", &CVornMenuState::actionGoogleLoadingFinished},
    {"check_tos", &CVornMenuState::actionCheckTOS},
    {"tos_show", &CVornMenuState::actionTOSOnShow},
    {"init_registername", &CVornMenuState::actionInitRegisterName},
    {"init_loginname", &CVornMenuState::actionInitLoginName},
    {"thank_you_close", &CVornMenuState::actionThankYouClose},
    {"start_change_page_chat", &CVornMenuState::actionStartChangePageChat},
    {"load_playerlist_item", &CVornMenuState::actionLoadPlayer},
    {"load_playerlist_item_batch", &CVornMenuState::actionLoadPlayerBatch},
    {"unload_playerlist_item", &CVornMenuState::actionUnloadPlayer},
    {"load_playerlist_group", &CVornMenuState::actionLoadPlayerGroup},
    {"load_follow_item", &CVornMenuState::actionLoadFollowItem},
    {"load_follow_item_batch", &CVornMenuState::actionLoadFollowItemBatch},
    {"unload_follow_item", &CVornMenuState::actionUnloadFollowItem},
    {"load_follow_group", &CVornMenuState::actionLoadFollowGroup},
    {"load_self", &CVornMenuState::actionLoadSelf},
    {"unload_self", &CVornMenuState::actionUnloadSelf},
    {"refresh_self", &CVornMenuState::actionRefreshSelf},
    {"filter_players", &CVornMenuState::actionFilterPlayers},
    {"show_players_root", &CVornMenuState::actionPlayersRoot},
    {"show_playerlist_items", &CVornMenuState::actionGlobalContext},
    {"show_follow_items", &CVornMenuState::actionFollowerContext},
    {"expand_list_item", &CVornMenuState::actionExpandListItem},
    {"end_expand_list_item", &CVornMenuState::actionEndExpandListItem},
    {"expand_nastybuttons", &CVornMenuState::actionExpandNastyButtons},
    {"expand_chat_nastybuttons", &CVornMenuState::actionExpandChatNastyButtons},
    {"player_details", &CVornMenuState::actionPlayerDetails},
    {"send_challenge", &CVornMenuState::actionSendChallenge},
    {"action_player_buddy", &CVornMenuState::actionToggleBuddy},
    {"action_player_rival", &CVornMenuState::actionToggleRival},
    {"follow", &CVornMenuState::actionFollow},
    {"unfollow", &CVornMenuState::actionUnFollow},
    {"block", &CVornMenuState::actionBlock},
    {"block_chat", &CVornMenuState::actionBlockChat},
    {"action_accept_buddy", &CVornMenuState::actionAcceptBuddy},
    {"action_reject_buddy", &CVornMenuState::actionRejectBuddy},
    {"toggle_vorn_menu", &CVornMenuState::actionToggleVornMenu},
    {"accept_challenge", &CVornMenuState::actionAcceptChallenge},
    {"reject_challenge", &CVornMenuState::actionRejectChallenge},
    {"toggle_sounds", &CVornMenuState::actionToggleSounds},
    {"toggle_vibration", &CVornMenuState::actionToggleVibration},
    {"init_sounds", &CVornMenuState::actionInitSounds},
    {"init_vibration", &CVornMenuState::actionInitVibration},
    {"dialog_button", &CVornMenuState::actionDialogButton},
    {"dialog_close", &CVornMenuState::actionDialogClose},
    {"init_sounds_slider", &CVornMenuState::actionGetSoundVolume},
    {"sounds_slider_changed", &CVornMenuState::actionSetSoundVolume},
    {"init_music_slider", &CVornMenuState::actionGetMusicVolume},
    {"music_slider_changed", &CVornMenuState::actionSetMusicVolume},
    {"init_sound_effects", &CVornMenuState::actionInitSoundEffects},
    {"toggle_sound_effects", &CVornMenuState::actionToggleSoundEffects},
    {"init_music", &CVornMenuState::actionInitMusic},
    {"toggle_music", &CVornMenuState::actionToggleMusic},
    {"toggle_notifications_ingame", &CVornMenuState::actionToggleNotificationsIngame},
    {"init_notification_filter_ingame", &CVornMenuState::actionInitNotificationFilterIngame},
    {"toggle_notifications_usertriggered", &CVornMenuState::actionToggleNotificationsUserTriggered},
    {"init_notification_filter_usertriggered", &CVornMenuState::actionInitNotificationFilterUserTriggered},
    {"toggle_notifications_challenges", &CVornMenuState::actionToggleNotificationsChallenges},
    {"init_notification_filter_challenges", &CVornMenuState::actionInitNotificationFilterChallenges},
    {"chat_textfield_changed", &CVornMenuState::actionChatTextfieldChanged},
    {"chat_send", &CVornMenuState::actionChatSend},
    {"chat_exit", &CVornMenuState::actionChatExit},
    {"chat_rematch", &CVornMenuState::actionChatRematch},
    {"expand_chat_item", &CVornMenuState::actionExpandChatItem},
    {"chat_end_expand", &CVornMenuState::actionEndExpandChatItem},
    {"load_chat_item", &CVornMenuState::actionLoadChatItem},
    {"unload_chat_item", &CVornMenuState::actionUnloadChatItem},
    {"show_chat_avatars", &CVornMenuState::actionShowChatAvatars},
    {"show_shop", &CVornMenuState::actionShowShop},
    {"show_shop_items", &CVornMenuState::actionShowShopItems},
    {"show_my_items", &CVornMenuState::actionShowMyItems},
    {"load_shop_item", &CVornMenuState::actionLoadShopItem},
    {"load_shop_item_batch", &CVornMenuState::actionLoadShopItemBatch},
    {"unload_shop_item", &CVornMenuState::actionUnloadShopItem},
    {"load_my_item", &CVornMenuState::actionLoadMyItem},
    {"load_my_item_batch", &CVornMenuState::actionLoadMyItemBatch},
    {"unload_my_item", &CVornMenuState::actionUnloadMyItem},
    {"load_shop_group", &CVornMenuState::actionLoadShopGroup},
    {"buy_item", &CVornMenuState::actionShopBuyItem},
    {"refill_item", &CVornMenuState::actionShopRefillItem},
    {"buy_gift", &CVornMenuState::actionShopBuyGift},
    {"show_confirm_buy_dialog", &CVornMenuState::actionShowConfirmBuyDialog},
    {"show_confirm_buy_dialog_ingame", &CVornMenuState::actionShowConfirmBuyDialog},
    {"show_confirm_buy_gift_dialog", &CVornMenuState::actionShowConfirmBuyDialog},
    {"ok_error_dialog_ingame", &CVornMenuState::actionBuyIngameErrorOk},
    {"ok_buy_confirm", &CVornMenuState::actionBuyConfirmOk},
    {"cancel_buy_confirm", &CVornMenuState::actionBuyConfirmCancel},
    {"ok_buy_gift_confirm", &CVornMenuState::actionBuyConfirmOk},
    {"cancel_buy_gift_confirm", &CVornMenuState::actionBuyConfirmCancel},
    {"enable_item", &CVornMenuState::actionEnableItem},
    {"expand_shop_item", &CVornMenuState::actionExpandListItem},
    {"shop_item_end_expand", &CVornMenuState::actionShopItemEndExpand},
    {"shop_item_hide_large_icon", &CVornMenuState::actionShopItemHideLargeIcon},
    {"shop_item_show_large_icon", &CVornMenuState::actionShopItemShowLargeIcon},
    {"buy_coins", &CVornMenuState::actionShopBuyCoins},
    {"buy_player_gift", &CVornMenuState::actionPlayerBuyGift},
    {"show_selection_list", &CVornMenuState::actionShowSelectionList},
    {"load_selection_list_item", &CVornMenuState::actionLoadSelectionListItem},
    {"unload_selection_list_item", &CVornMenuState::actionUnloadSelectionListItem},
    {"ok_list_selection", &CVornMenuState::actionOkListSelection},
    {"cancel_list_selection", &CVornMenuState::actionCancelListSelection},
    {"select_list_item", &CVornMenuState::actionSelectListItem},
    {"show_selection_gift_list", &CVornMenuState::actionShowSelectionGiftList},
    {"load_selection_gift_list_item", &CVornMenuState::actionLoadSelectionGiftListItem},
    {"unload_selection_gift_list_item", &CVornMenuState::actionUnloadSelectionGiftListItem},
    {"ok_gift_list_selection", &CVornMenuState::actionOkGiftListSelection},
    {"cancel_gift_list_selection", &CVornMenuState::actionCancelGiftListSelection},
    {"select_gift_list_item", &CVornMenuState::actionSelectGiftListItem},
    {"show_confirm_buy_player_gift_dialog", &CVornMenuState::actionShowConfirmBuyGiftDialog},
    {"ok_buy_player_gift_confirm", &CVornMenuState::actionBuyPlayerGiftConfirmOk},
    {"cancel_buy_player_gift_confirm", &CVornMenuState::actionBuyPlayerGiftConfirmCancel},
    {"update_settings_language_label", &CVornMenuState::actionUpdateSettingsLanguageLabel},
    {"show_language_chooser", &CVornMenuState::actionShowLanguageChooser},
    {"select_language_item", &CVornMenuState::actionSelectLanguageItem},
    {"choose_language", &CVornMenuState::actionChooseLanguage},
    {"load_language_item", &CVornMenuState::actionLoadLanguageItem},
    {"unload_language_item", &CVornMenuState::actionUnloadLanguageItem},
    {"get_languages", &CVornMenuState::actionGetLanguages},
    {"guest_login", &CVornMenuState::actionGuestLogin},
    {"show_me", &CVornMenuState::actionShowMe},
    {"exit_app", &CVornMenuState::actionExitApp},
};

static_assert(sizeof(CVornMenuState::s_aActions) / sizeof(CVornMenuState::s_aActions[0]) ==
                  CVornMenuState::ACTION_COUNT,
              "one entry per action name");

KE_RETVAL CVornMenuState::LoadLayout(int, int, CWidget* pOldRoot)
{
    if (!m_pRoot)
    {
        if (!m_pKestrolund)
            return KE_ERR_NOTFOUND;
        // The map lives only for the load: the widgets keep the callbacks they were given.
        CActionCallbackMap actions;
        actions.Startup(m_pActionHandler);
        for (const sACTION& action : s_aActions)
            actions.RegisterAction(CKorvelString(action.m_pName), CActionCallback(action.m_pfnHandler, this),
                                   1);

        m_pExpandedItem = nullptr;
        CGameXMLLoader loader;
        loader.Startup(*m_pKestrolund, &actions, nullptr);
        if (loader.LoadFromFile(CKorvelString("menu_root.xml")) == KE_OK)
        {
            // The drawing target picks the area, not the sizes asked for.
            IKorvelGraphicsContext* pBack = m_pKestrolund->GetBack();
            m_pRoot =
                loader.GetAreaWidget(pBack ? pBack->GetWidth() : 0, pBack ? pBack->GetHeight() : 0, pOldRoot);
        }
        loader.Shutdown();
        actions.Shutdown();
        if (!m_pRoot)
            return KE_ERR_NOTFOUND;

        m_pPageView = widget_cast<CPageView*>(FindInRoot("menu_root"));
        m_pVornButtonRoot = FindInRoot("vorn_button_root");
        m_pChatNotifier = FindInRoot("chat-notifier");
        m_pVornButton = widget_cast<CButton*>(FindInRoot("vorn_button"));
        m_pShopList = widget_cast<CInfiniteList*>(FindInRoot("shop_page_list"));
        m_pMyItemsList = widget_cast<CInfiniteList*>(FindInRoot("my_items_page_list"));
        m_pJoinBubble = widget_cast<CBubble*>(
            m_pRoot->FindWidgetByPath(CKorvelString("//vorn_button_root//bubble_join")));
        m_pReturnBubble = widget_cast<CBubble*>(
            m_pRoot->FindWidgetByPath(CKorvelString("//vorn_button_root//bubble_return_game")));
        m_pChatSubmitBubble = widget_cast<CBubble*>(
            m_pRoot->FindWidgetByPath(CKorvelString("//chat_root//bubble_chat_submit")));
        if (!m_pPageView || !m_pVornButtonRoot || !m_pShopList || !m_pMyItemsList || !m_pVornButton)
            return KE_ERR_NOTFOUND;
        if (CWidget* pBacklog = FindInPages("//chat_root//chat_backlog"))
            pBacklog->DoUpdate(0.0f);
        FitAddressFields();
    }
    m_SearchText.Reset();
    m_strPlayerListText = CKorvelString("PLAYER_ID");
    return KE_OK;
}
