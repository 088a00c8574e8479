// The lobby state: pushed when the splash ends, it owns the game and lays the online lobby
// over it as one widget tree ("menu_root.xml"). The application forwards the session's
// callbacks to it. One class in several files by feature:
// VornMenuState.cpp (life cycle, frame, input, pages, dialogs, loading, vorn button, reloads),
// VornMenuStateLayout.cpp (the action table and the layout binding),
// VornMenuStateKeys.cpp (the back key's rules per page and Enter on the default button),
// VornMenuStateLogin.cpp (login, registration and web-login screens, the player's fields),
// VornMenuStateSettings.cpp (settings and the language chooser),
// VornMenuStateMatch.cpp (quick play, challenges sent, match start and end, leaving the chat),
// VornMenuStateChat.cpp (the chat backlog, notifier and hints),
// VornMenuStateChatPlayers.cpp (the chat's avatar strip and player card),
// VornMenuStateInGameItems.cpp (the in-game item list the game reads),
// VornMenuStateChallenges.cpp (incoming challenges and the answers),
// VornMenuStatePlayers.cpp (player lists, following, blocking),
// VornMenuStateOwnCard.cpp (the own card: record, latest matches, wallet, achievements, scores),
// VornMenuStateExpand.cpp (expanding list rows),
// VornMenuStateKeptLists.cpp (the long lists a reload builds again as they were),
// VornMenuStateShop.cpp (the wallet, the add-coins link, the item operations the game calls),
// VornMenuStateShopList.cpp (the shown shop and own-items lists and their pictures),
// VornMenuStateBuying.cpp (buying, gifting and refilling, and their confirmations),
// VornMenuStateGifts.cpp (the gift selection lists),
// VornMenuStateItemData.cpp (item data files fetched, verified and handed to the game),
// VornMenuStatePromotions.cpp (achievements, tournament scores and promotion buttons),
// VornMenuStateFeatures.cpp (the buddy and rival actions, which do nothing).
// VornMenuWidgets.h holds the small widget and row steps these files share.
#pragma once

#include <map>
#include <memory>

#include "Framework/Lobby/LoginController.h"
#include "Framework/Lobby/VornChallengeState.h"
#include "Framework/Session/VornNetworkSession.h"
#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornState.h"
#include "Framework/UI/Callback.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/WidgetCarryOver.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelSet.h"

class CActionHandler;
class CBubble;
class CButton;
class CImageWidget;
class CKestrolundApplication;
class CPageView;
class CTextWidget;
class CToggleButton;
class CWidget;
class IEasingCurve;
class IVornGameState;

class CVornMenuState : public IVornState, public CLoginController
{
public:
    // The back key.
    static const int KEY_BACK = 77;
    static constexpr float LOADING_TIMEOUT = 30.0f;
    static const int ITEM_DATA_BUFFER_SIZE = 16384;
    static constexpr float IDLE_SHAKE_DELAY = 5.0f;

    CVornMenuState();
    ~CVornMenuState() override;

    // ---- the state
    KE_RETVAL Startup(CVornApplication* pApplication) override;
    void Shutdown() override;
    void Activate() override;
    void Deactivate() override;
    unsigned int Update(float fSeconds) override;
    void Draw() override;
    unsigned int OnScreenChanged(int iWidth, int iHeight) override;
    unsigned int OnMouseButton(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseDrag(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseButtonUp(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseWheel(int iDelta, int iX, int iY) override;
    unsigned int OnKeyDown(eKET_KEYCODE eKey) override;
    unsigned int OnChar(unsigned short uChar) override;
    KE_RETVAL OnLanguageChanged(const CKorvelString& strCode) override;

    // ---- the lobby's own operations, in their order
    virtual void BeginLoading(const CKorvelString& strTitle, const CKorvelString& strText);
    virtual void EndLoading();
    using CLoginController::OnLoginError;
    void OnLoginSuccessful(const CKorvelString& strUserName, const CKorvelString& strSecond,
                           unsigned int uJustRegistered) override;
    void OnLoginError(const CKorvelString& strTitle, const CKorvelString& strMessage, int iFlags,
                      const CKorvelString* pUpdateLink) override;
    void OnLoginCancelled() override;
    void OnLoginNewVersion(const CKorvelString& strLink) override;
    void OnLogout() override;
    void OnUserNameValidated(unsigned int uOk, const CKorvelString& strMessage) override;
    void OnAutoRelogin() override;
    void OnExternalUserNotFound() override;
    void ForwardToGoogleLogin() override;
    virtual unsigned int OnThemeChanged();
    virtual void OnChallengeReceived(CVornNetworkSession* pSession, int, const CKorvelString&,
                                     const CKorvelString&, int, int);
    virtual void OnChallengeResponse(CVornNetworkSession* pSession, int, const CKorvelString&,
                                     const CKorvelString&, int);
    virtual void OnChallengeImageReceived(CVornNetworkSession* pSession, int, unsigned char*, int);
    virtual void OnRematchReceived(int);
    virtual void OnQueueUpdate(CVornNetworkSession* pSession, int, int, int);
    virtual void OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&);
    virtual void OnShopItemData(int, int, unsigned char*, int, int);
    virtual void OnWalletBalance(int);
    virtual void OnShopItemGroups(int, const CKorvelArray<CASN1ShopItemGroups::sGroupData>&);
    virtual void OnShopItems(int, int, const CKorvelArray<CASN1ShopItems::sItemData>&);
    virtual void OnShopItemImage(int, int, unsigned char*, int);
    virtual void OnBuyItemResponce(int, int, const CKorvelString&,
                                   const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&);
    virtual void OnConfirmBuyItemResponce(int, int, const CKorvelString&);
    virtual void OnUpdateItemStateResponse(int, int, const CKorvelString&, int);
    virtual void OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&);
    virtual void OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&);
    virtual void OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int);
    virtual void OnTournamentScores(CKorvelArray<CKorvelString>&, CKorvelArray<CASN1TournamentScores::sData>&,
                                    int);
    virtual void OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                                const CKorvelString&, const CKorvelString&);
    virtual void OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived);
    using CLoginController::OnGameStatusChanged;
    using CLoginController::OnLobbyStatusChanged;
    virtual void OnLobbyStatusChanged(unsigned int uStatus);
    virtual void OnGameStatusChanged(unsigned int uStatus);

    // ---- members the application calls
    virtual void OnBuddyRequest(CVornNetworkSession* pSession, int,
                                CVornNetworkSession::LobbyObserver::EBuddyRequestType,
                                CVornNetworkSession::LobbyObserver::EBuddyRequestAction, const CKorvelString&,
                                const CKorvelString&);
    virtual void OnGameSessionInfoReceived(CVornNetworkSession* pSession, int, const sGAME_SESSION&);
    virtual unsigned int IsLoggedIn();
    // An empty name changes nothing.
    virtual void SwitchToPage(CKorvelString strPage, unsigned int uShowMenu);
    virtual void ExitChat();
    virtual void QuickExit();
    virtual void SetChatButtonVisibility(unsigned int uVisible);
    virtual void UpdateChatBacklog(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived);
    virtual void GetVornArea(CKorvelRect<int>& rcArea);
    virtual void ShowRefillDialog(int iItemId);
    virtual void UseItem(int iItemId, int iValue);
    virtual void GetItemFile(int iItemId, CKorvelString& strPath);
    virtual CKorvelArray<CVornApplication::sItemData>& GetItems();
    // 0 opens the post-game chat over the game; non-zero leaves it.
    virtual void OnGameplayEnd(unsigned int uLeave);
    // Enters the match view and sets the in-match flag.
    virtual void OnGameStart();
    // Leaves the match view, clears the flag and tells the game its session ended.
    virtual void OnGameEnd();
    // The in-match flag.
    virtual unsigned int IsInMatch();

    // ---- layout
    // 1 when the tree exists and holds every widget the lobby needs; 8 otherwise.
    KE_RETVAL LoadLayout(int iWidth, int iHeight, CWidget* pOldRoot);
    void ReleaseLayout();
    void ClearLists();
    void ClearWidgetLists();

    // ---- pages, dialogs and the menu
    // A toast of the default length.
    void ShowDialog(const CKorvelString& strText);
    void HideDialog();
    void ShowConfirmDialog(const CKorvelString& strHead, const CKorvelString& strText);
    void HideConfirmDialog();
    // Whether the lobby covers the game.
    unsigned int GetDialogVisible();
    void SwitchToHomePage();
    void SetMenuVisibility(unsigned int uVisible);
    void SwitchMainButtons();
    void GetKeyValue(const CKorvelString& strKey);
    void FormatTimeLeft(int iSeconds, CKorvelString& strOut) const;
    void ShowLanguageChooser();
    // bKeepFields: the login page's fields keep what they show.
    void ResetPlayerData(bool bKeepFields = false);
    // Presses the shown page's default button (Enter), when it has a visible one.
    void PressDefaultButton();
    // Tab: the shown page's next text field takes the typing (backwards: the one before),
    // as a press on it would, with what it holds selected.
    void MoveToNextField(bool bBackwards);
    // The field takes the typing, as a press and a release on it would.
    void ClickField(CTextWidget* pField);
    // On the chat page, with no field chosen, the chat field takes what is typed next.
    void KeepChatFieldTyping();
    // After a reload, the field that had the keys in the old tree has them in the new one.
    void FocusFieldAgain();

    // ---- account checks: 1 when valid, else the error page and 0
    unsigned int CheckUserName(const CKorvelString& strName);
    unsigned int CheckEmail(const CKorvelString& strAddress);
    // The fields that take an address take as long a one as CheckEmail lets through.
    void FitAddressFields();
    static unsigned int KV_ValidateValue(const CKorvelString& strKey, const CKorvelString& strValue);
    static void KVGuestLoginCount(CKorvelString& strKey, CKorvelString& strValue, void* pLobby);
    // The web login's address on the lobby's web host.
    CKorvelString GetGoogleLoginURL() const;

    // The vorn button, and with no layout the game's web page.
    static KE_RETVAL OnMenuButtonClicked(CButton* pButton, void* pState);

    // ---- accessors
    CKestrolundApplication* GetApplication() const { return m_pKestrolund; }
    CWidget* GetRoot() const { return m_pRoot; }
    CPageView* GetPageView() const { return m_pPageView; }
    CButton* GetVornButton() const { return m_pVornButton; }
    float GetLoadingTimeout() const { return m_fLoadingTimeout; }
    unsigned int IsLoading() const { return m_uLoading; }
    int GetSelectedLanguage() const { return m_iSelectedLanguage; }
    const CKorvelArray<CKorvelString>& GetLanguageNames() const { return m_aLanguageNames; }
    unsigned int GetShakeState() const { return m_uShakeState; }
    float GetShakePhase() const { return m_fShakePhase; }
    float GetIdleTime() const { return m_fIdleTime; }
    const CKorvelString& GetWebLoginStatus() const { return m_strWebStatus; }
    const CKorvelString& GetWebLoginId() const { return m_strWebId; }
    const CKorvelString& GetWebLoginToken() const { return m_strWebToken; }

    // ---- action handlers: (sending widget, this state) -> 1
#define VORN_ACTION(name) static KE_RETVAL name(CWidget* pSender, void* pState)
    // login and registration
    VORN_ACTION(actionLoginKestrolund);
    VORN_ACTION(actionValidateUser);
    VORN_ACTION(actionValidateEmail);
    VORN_ACTION(actionUserNameChanged);
    VORN_ACTION(actionLoginOnShow);
    VORN_ACTION(actionPlayerNameOnShow);
    VORN_ACTION(actionConfirmOnShow);
    VORN_ACTION(actionAutoLoginToggled);
    VORN_ACTION(actionAboutGameInfoOnShow);
    VORN_ACTION(actionCancelAutoRelogin);
    VORN_ACTION(actionGoogleOnShow);
    VORN_ACTION(actionGoogleCookieReceived);
    VORN_ACTION(actionGoogleLoadingFinished);
    VORN_ACTION(actionCheckTOS);
    VORN_ACTION(actionTOSOnShow);
    VORN_ACTION(actionInitRegisterName);
    VORN_ACTION(actionInitLoginName);
    VORN_ACTION(actionThankYouClose);
    VORN_ACTION(actionStartChangePageChat);
    // players
    VORN_ACTION(actionLoadPlayer);
    VORN_ACTION(actionLoadPlayerBatch);
    VORN_ACTION(actionUnloadPlayer);
    VORN_ACTION(actionLoadPlayerGroup);
    VORN_ACTION(actionLoadFollowItem);
    VORN_ACTION(actionLoadFollowItemBatch);
    VORN_ACTION(actionUnloadFollowItem);
    VORN_ACTION(actionLoadFollowGroup);
    VORN_ACTION(actionLoadSelf);
    VORN_ACTION(actionUnloadSelf);
    VORN_ACTION(actionRefreshSelf);
    VORN_ACTION(actionFilterPlayers);
    VORN_ACTION(actionPlayersRoot);
    VORN_ACTION(actionGlobalContext);
    VORN_ACTION(actionFollowerContext);
    VORN_ACTION(actionExpandListItem);
    VORN_ACTION(actionEndExpandListItem);
    VORN_ACTION(actionExpandNastyButtons);
    VORN_ACTION(actionExpandChatNastyButtons);
    VORN_ACTION(actionPlayerDetails);
    VORN_ACTION(actionSendChallenge);
    VORN_ACTION(actionToggleBuddy);
    VORN_ACTION(actionToggleRival);
    VORN_ACTION(actionFollow);
    VORN_ACTION(actionUnFollow);
    VORN_ACTION(actionBlock);
    VORN_ACTION(actionBlockChat);
    VORN_ACTION(actionAcceptBuddy);
    VORN_ACTION(actionRejectBuddy);
    VORN_ACTION(actionToggleVornMenu);
    VORN_ACTION(actionAcceptChallenge);
    VORN_ACTION(actionRejectChallenge);
    // settings
    VORN_ACTION(actionToggleSounds);
    VORN_ACTION(actionToggleVibration);
    VORN_ACTION(actionInitSounds);
    VORN_ACTION(actionInitVibration);
    VORN_ACTION(actionDialogButton);
    VORN_ACTION(actionDialogClose);
    VORN_ACTION(actionGetSoundVolume);
    VORN_ACTION(actionSetSoundVolume);
    VORN_ACTION(actionGetMusicVolume);
    VORN_ACTION(actionSetMusicVolume);
    VORN_ACTION(actionInitSoundEffects);
    VORN_ACTION(actionToggleSoundEffects);
    VORN_ACTION(actionInitMusic);
    VORN_ACTION(actionToggleMusic);
    VORN_ACTION(actionToggleNotificationsIngame);
    VORN_ACTION(actionInitNotificationFilterIngame);
    VORN_ACTION(actionToggleNotificationsUserTriggered);
    VORN_ACTION(actionInitNotificationFilterUserTriggered);
    VORN_ACTION(actionToggleNotificationsChallenges);
    VORN_ACTION(actionInitNotificationFilterChallenges);
    // chat
    VORN_ACTION(actionChatTextfieldChanged);
    VORN_ACTION(actionChatSend);
    VORN_ACTION(actionChatExit);
    VORN_ACTION(actionChatRematch);
    VORN_ACTION(actionExpandChatItem);
    VORN_ACTION(actionEndExpandChatItem);
    VORN_ACTION(actionLoadChatItem);
    VORN_ACTION(actionUnloadChatItem);
    VORN_ACTION(actionShowChatAvatars);
    // shop and items
    VORN_ACTION(actionShowShop);
    VORN_ACTION(actionShowShopItems);
    VORN_ACTION(actionShowMyItems);
    VORN_ACTION(actionLoadShopItem);
    VORN_ACTION(actionLoadShopItemBatch);
    VORN_ACTION(actionUnloadShopItem);
    VORN_ACTION(actionLoadMyItem);
    VORN_ACTION(actionLoadMyItemBatch);
    VORN_ACTION(actionUnloadMyItem);
    VORN_ACTION(actionLoadShopGroup);
    VORN_ACTION(actionShopBuyItem);
    VORN_ACTION(actionShopRefillItem);
    VORN_ACTION(actionShopBuyGift);
    VORN_ACTION(actionShowConfirmBuyDialog);
    VORN_ACTION(actionBuyIngameErrorOk);
    VORN_ACTION(actionBuyConfirmOk);
    VORN_ACTION(actionBuyConfirmCancel);
    VORN_ACTION(actionEnableItem);
    VORN_ACTION(actionShopItemEndExpand);
    VORN_ACTION(actionShopItemHideLargeIcon);
    VORN_ACTION(actionShopItemShowLargeIcon);
    VORN_ACTION(actionShopBuyCoins);
    VORN_ACTION(actionPlayerBuyGift);
    VORN_ACTION(actionShowSelectionList);
    VORN_ACTION(actionLoadSelectionListItem);
    VORN_ACTION(actionUnloadSelectionListItem);
    VORN_ACTION(actionOkListSelection);
    VORN_ACTION(actionCancelListSelection);
    VORN_ACTION(actionSelectListItem);
    VORN_ACTION(actionShowSelectionGiftList);
    VORN_ACTION(actionLoadSelectionGiftListItem);
    VORN_ACTION(actionUnloadSelectionGiftListItem);
    VORN_ACTION(actionOkGiftListSelection);
    VORN_ACTION(actionCancelGiftListSelection);
    VORN_ACTION(actionSelectGiftListItem);
    VORN_ACTION(actionShowConfirmBuyGiftDialog);
    VORN_ACTION(actionBuyPlayerGiftConfirmOk);
    VORN_ACTION(actionBuyPlayerGiftConfirmCancel);
    // language chooser and the rest
    VORN_ACTION(actionUpdateSettingsLanguageLabel);
    VORN_ACTION(actionShowLanguageChooser);
    VORN_ACTION(actionSelectLanguageItem);
    VORN_ACTION(actionChooseLanguage);
    VORN_ACTION(actionLoadLanguageItem);
    VORN_ACTION(actionUnloadLanguageItem);
    VORN_ACTION(actionGetLanguages);
    VORN_ACTION(actionGuestLogin);
    VORN_ACTION(actionShowMe);
    VORN_ACTION(actionExitApp);
#undef VORN_ACTION

    // One action of the table.
    struct sACTION
    {
        const char* m_pName;
        ActionFunction m_pfnHandler;
    };
    static const sACTION s_aActions[];
    static const int ACTION_COUNT = 133;

    // The player lists' kind (global or followed), kept across layout reloads.
    int m_iContext = CVornNetworkSession::PLAYER_LIST_GLOBAL;

    // A player chosen for a challenge, ordered by the key.
    struct sPlayerSelectionInfo
    {
        int m_iKey;
        int m_iPlayerId;
        bool operator<(const sPlayerSelectionInfo& other) const { return m_iKey < other.m_iKey; }
    };

    // ---- players
    // The player-list callback of both lists and of the own card.
    static void actionFillPlayer(void* pState, int iKind, int iIndexOrPlayerId, int iCount,
                                 const CKorvelArray<sPLAYER_GROUP>* pGroups, const sPLAYERLISTITEM* pItem,
                                 unsigned char* pPicture, int iPictureSize);
    static void actionFillSelf(void* pState, int iKind, int iIndexOrPlayerId, int iCount,
                               const CKorvelArray<sPLAYER_GROUP>* pGroups, const sPLAYERLISTITEM* pItem,
                               unsigned char* pPicture, int iPictureSize);
    static KE_RETVAL actionSelectPlayer(CWidget* pSender, void* pState);
    static KE_RETVAL actionSendBuddyRequest(CWidget* pSender, void* pState,
                                            CVornNetworkSession::LobbyObserver::EBuddyRequestType eType,
                                            CVornNetworkSession::LobbyObserver::EBuddyRequestAction eAction);
    void UpdatePlayerWidget(CWidget* pRow);
    // The row takes its own copy of the player's record and shows it.
    void ShowPlayerRow(CWidget* pRow, const sPLAYERLISTITEM& item);
    // Whether the record is the logged-in player's own: nothing is offered to oneself.
    bool IsOwnPlayer(const sPLAYERLISTITEM& player);
    // A new search of the current list for the text, whatever the search field holds.
    void FilterPlayers(const CKorvelString& strSearch);
    // After a reload: the list of that context on its own tab, as the old tree showed it, or
    // searched for the text when the old tree held none of it.
    void SearchPlayersAgain(int iContext, const CKorvelString& strSearch);
    // A row of the lobby's long lists goes by what it shows (a player, an item) through a
    // rebuild of the tree.
    static std::u16string RowKey(const CWidget* pRow);
    // The players page shown again when it lists that player as offline.
    void RefreshPlayersShowingOffline(int iPlayerId);
    CWidget* GetSelfItem() const
    {
        return m_pSelfItem;
    }
    CWidget* GetExpandedItem() const
    {
        return m_pExpandedItem;
    }

    // ---- match start and end
    // Quick play with an empty selection, else a challenge to the selected players.
    static KE_RETVAL actionStartGame(CWidget* pSender, void* pState);
    void HideChallenge();
    // The received challenge's toast goes (answered, withdrawn or ended).
    void DropChallengeToast();
    // The own challenge ended by its time or the player: the server withdraws it from
    // everyone it still asks.
    void SendWithdrawal();
    // Whether a received challenge is before the player: its toast up or waiting, or its page.
    bool ShowsChallengeReceived();
    unsigned int HasPlayerDisconnected(int iPlayerId) const;
    void CloseChatItem();
    void ResetChat();
    // The last page of an in-game item round that completes it.
    void FillInGameItems(int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& aItems);
    CKorvelSet<sPlayerSelectionInfo>& GetSelectedPlayers()
    {
        return m_SelectedPlayers;
    }
    float GetQueueTimer() const
    {
        return m_fQueueTimer;
    }
    const CVornChallengeState& GetChallenges() const
    {
        return m_Challenges;
    }
    int GetInGameItemTotal() const
    {
        return m_iInGameItemTotal;
    }
    unsigned int IsItemDataCheckPending() const
    {
        return m_uItemDataCheckPending;
    }
    unsigned int IsGameReadyWaitingForItemData() const
    {
        return m_uGameReadyAfterItemData;
    }
    // The backlog keeps its newest lines only, so that an opponent chatting without pause
    // cannot fill the memory; the page's list shows fewer still.
    static constexpr int CHAT_BACKLOG_LINES = 100;
    int GetChatBacklogCount() const
    {
        return m_ChatBacklog.GetCount();
    }
    int GetPendingChatLineCount() const
    {
        return m_aPendingChatLines.GetCount();
    }
    float GetRematchDelay() const
    {
        return m_fRematchDelay;
    }

protected:
    // ---- per-frame steps
    void AnimateVornButton(float fSeconds);
    void UpdateTurnClock();
    // Steps of features built later; they do nothing yet.
    void HandleShopItemDataLoading();
    void AnimateChatNotifier(float fSeconds);
    void AddPendingChatLine();
    // The chat page's list of the old tree: how many lines it held.
    int ShownChatLineCount() const;
    // A rebuilt list takes back the lines the old one held and those it had still to show,
    // not the whole backlog: the same lines as before, the newest soon.
    void QueueChatLinesAgain(int iShown);
    CToggleButton* RematchButton();
    void UpdateRematchDelay(float fSeconds);
    void ResetSearch();
    // Sets a picture from bytes, cached in the resource manager under the name; bad bytes
    // change nothing.
    void SetCachedPicture(CImageWidget* pImage, const CKorvelString& strName, unsigned char* pData,
                          int iSize);
    // The picture decoded from the bytes, on its texture and added to the resource manager under
    // that name (one reference); null when the bytes are missing or do not decode.
    CKorvelSurface* DecodePicture(const CKorvelString& strName, unsigned char* pData, int iSize);
    // Collapses the expanded row unless it is pRow and clears it; the shift this gives pRow.
    int CollapseExpandedItem(CWidget* pRow, unsigned int uResetButtons);
    // A list row opened by a reload's carry-over becomes the expanded row, which the next
    // opening closes.
    void AdoptExpandedRow();
    // Starts the login as activation does: re-login with auto-login, else connect.
    void StartLogin();
    // Language text N.
    CKorvelString LanguageText(int iNumber) const
    {
        return Text(iNumber);
    }
    CKorvelString CurrentPageName() const;
    CWidget* FindInRoot(const char* pName) const;
    CWidget* FindInPages(const char* pPath) const;
    // The shared reload steps of a screen or theme change; the layout's result.
    KE_RETVAL ReloadLayout(int iWidth, int iHeight, unsigned int& uWasVisible);
    // After a reload's own steps: the new tree takes what the old one held, then the join
    // bubble its own text.
    void RestoreLayoutState();
    CVornNetworkSession* Session() const;

    unsigned char m_uFlags;  // bit 0: the menu was visible when loading began
    IVornGameState* m_pGame; // owned
    unsigned int m_uInMatch;
    int m_iSelectedLanguage;
    CKorvelArray<CKorvelString> m_aLanguageNames;
    CKorvelArray<int> m_aPendingChatLines;
    CKorvelArray<int> m_aChatLines;
    unsigned int m_uRematchDelayArmed;
    CWidget* m_pRoot; // owned
    CPageView* m_pPageView;
    CWidget* m_pVornButtonRoot;
    CWidget* m_pChatNotifier;
    CActionHandler* m_pActionHandler; // owned
    CKorvelString m_SearchText;
    // What the tree held before a reload, until the player acts on the new one.
    CWidgetCarryOver m_CarryOver;
    // Set while a reload builds and shows the pages again: that is not the player opening one.
    unsigned int m_uReloading = 0;
    CKorvelMap<int, CWidget*> m_GlobalListItems;
    CKorvelArray<CKorvelString> m_GlobalGroupLabels;
    CKorvelMap<int, CWidget*> m_FollowListItems;
    CKorvelArray<CKorvelString> m_FollowGroupLabels;
    CKorvelMap<int, CWidget*> m_ChatListItems;
    CWidget* m_pExpandedItem;
    CVornChallengeState m_Challenges;
    // The quick-play wait started from the lobby (30 s): its end leaves the queue.
    float m_fQueueTimer;
    CButton* m_pVornButton;
    float m_fIdleTime;
    unsigned int m_uShakeState;
    float m_fShakePhase;
    CKorvelRect<int> m_rcVornRest;
    unsigned int m_bItemDataListReceived;
    unsigned char* m_pItemDataBuffer; // owned
    CWidget* m_pLargeIconItem;
    float m_fLargeIconDelay;
    float m_fLargeIconFade;
    IEasingCurve* m_pFadeCurve; // owned
    CInfiniteList* m_pShopList;
    CInfiniteList* m_pMyItemsList;
    CKorvelString m_strPlayerListText;
    unsigned int m_uActive;
    CKorvelString m_strWebStatus;
    CKorvelString m_strWebId;
    CKorvelString m_strWebToken;
    float m_fLoadingTimeout;
    unsigned int m_uJoinBubbleDismissed;
    unsigned int m_uLoading;
    CBubble* m_pJoinBubble;
    CBubble* m_pReturnBubble;
    CBubble* m_pChatSubmitBubble;
    unsigned int m_uJoinBubblePending;
    unsigned int m_uGuestSwitchPending;
    unsigned int m_uLanguageChooserShown;
    unsigned int m_bItemsChanged;
    unsigned int m_uRematchPending;
    // One bit per touch whose press went to the game: its moves and release go there too,
    // also when a page came up meanwhile.
    unsigned int m_uGameTouches;
    float m_fChatDotTime;
    float m_fRematchDelay;
    int m_iTermsTarget;
    CKestrolundApplication* m_pKestrolund;
    CKorvelArray<CVornApplication::sItemData> m_Items;

    // ---- match and in-game items
    CKorvelSet<sPlayerSelectionInfo> m_SelectedPlayers;
    CKorvelArray<int> m_DisconnectedPlayers;
    unsigned int m_uChatOpened = 0;      // the post-game chat was opened this match
    unsigned int m_uChatLeft = 0;        // the own player left the chat
    unsigned int m_uRematchAsked = 0;    // the own player asked for a rematch
    unsigned int m_uChatStarted = 0;     // the type 0 record went out, until ExitChat or ResetChat
    unsigned int m_uChatNoticeShown = 0; // the once-per-match notice
    CKorvelMap<int, CASN1ShopItemGroups::sGroupData> m_InGameGroups;
    int m_iInGameItemTotal = 0;
    CKorvelMap<int, CASN1ShopItems::sItemData> m_ShopItems;
    int m_iPurchasedItemId = 0;
    unsigned int m_uItemDataCheckPending = 0;
    // GameReady waits for the item data of the match's items (a game connection's round).
    unsigned int m_uGameReadyAfterItemData = 0;

    // ---- shop, items and promotions
    void FillOwnTournamentScores(const CKorvelArray<CKorvelString>& aNames,
                                 const CASN1TournamentScores::sData& record);
    void StoreChatRowScores(const CKorvelArray<CASN1TournamentScores::sData>& aRecords);
    CKorvelString AddCoinsLink() const;
    void ShowBuyError(int iCode, const CKorvelString& strText);
    CInfiniteList* FindInfiniteList(const char* pPath) const;
    struct sPendingPurchase
    {
        int m_iItemId = 0;
        int m_iFlags = 0;
        CKorvelArray<int> m_aRecipients;
    };
    struct sPlayerSelectionListData
    {
        int m_iPlayerId = 0;
        CKorvelString m_strName;
        int m_iSelected = 0;
    };
    std::unique_ptr<sPendingPurchase> m_pPendingPurchase;
    CKorvelArray<sPlayerSelectionListData> m_PlayerSelectionList;
    int m_iWalletBalance = 0;

    // ---- the shown shop and own-items lists
    void OnShownShopItemGroups(int iFlags, const CKorvelArray<CASN1ShopItemGroups::sGroupData>& aGroups);
    void FillShopItems(int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& aItems);
    void FillMyItems(int iStart, const CKorvelArray<CASN1ShopItems::sItemData>& aItems);
    // Writes a list's own texts of the item into its row.
    typedef void (CVornMenuState::*ItemRowFill)(CWidget* pRow, const CASN1ShopItems::sItemData& item);
    void FillItemRows(CInfiniteList* pList, CKorvelMap<int, CWidget*>& rows, int iStart,
                      const CKorvelArray<CASN1ShopItems::sItemData>& aItems, ItemRowFill fnFill);
    void FillShopRow(CWidget* pRow, const CASN1ShopItems::sItemData& item);
    void FillMyItemRow(CWidget* pRow, const CASN1ShopItems::sItemData& item);
    // A row of a rebuilt list shows the item its row showed before, with the pictures this run has.
    void ShowItemAgain(CWidget* pRow, int iItemId, ItemRowFill fnFill);
    // The large picture's delay and fade, once per frame.
    void UpdateLargeIcon(float fSeconds);
    CKorvelArray<CASN1ShopItemGroups::sGroupData> m_ShopGroups;
    CKorvelMap<int, CWidget*> m_ShopListItems;    // item index -> loaded row
    CKorvelMap<int, CWidget*> m_MyItemsListItems; // item index -> loaded row

    // ---- gifts to one player
    struct sGiftSelectionListData
    {
        int m_iItemId = 0;
        int m_iGiftPrice = 0;
        CKorvelString m_strName;
        int m_iSelected = 0;
    };
    struct sPendingGift
    {
        int m_iPlayerId = 0;
        CKorvelArray<int> m_aItemIds;
        long long m_llTotal = 0; // 64 bits: many server prices must not wrap
    };
    std::unique_ptr<sPendingGift> m_pPendingGift;
    CKorvelString m_GiftRecipientName;
    CKorvelArray<sGiftSelectionListData> m_GiftSelectionList;

    // ---- item data files
    struct sItemFileData
    {
        int m_iItemId = 0;
        int m_iFlag = 0;
        unsigned char m_aDigest[16] = {};
        int m_iSize = 0;
        int m_iVerified = 0;
        int m_iState = -1;    // -1 unchecked, 0 downloading, 1 ready, 2 failed
        int m_iAsked = 0;     // the offset of the chunk asked for
        int m_iAttempts = 0;  // transfers started for the current server record
        float m_fIdle = 0.0f; // frame time since the last chunk
    };
    static const int ITEM_DATA_ATTEMPTS = 3;
    static constexpr float ITEM_DATA_STALL_SECONDS = 30.0f;
    static const int TEXT_ITEMS_NOT_DOWNLOADED = 330;
    unsigned int ItemDataNeeded(int iItemId, int iFlag) const;
    // Asks for the server's item data list when an in-game item's data file is not on the
    // device (an item bought or received since the last check); 1 when asked.
    unsigned int RequestMissingItemData();
    int CheckItemFile(sItemFileData& record);
    void FetchItemFile(sItemFileData& record);
    void FailItemFile(sItemFileData& record);
    void FinishItemFile(sItemFileData& record);
    CKorvelArray<sItemFileData> m_ItemFiles;
    CKorvelArray<CKorvelString> m_PacksToRestore;
    unsigned int m_uItemDataFailed = 0;

    // ---- players
    CWidget* m_pSelfItem = nullptr;        // the own card's row while loaded
    static const int OWN_ACHIEVEMENTS = 5; // the card's achievement slots
    // What the server answered since the own card last asked, beside the player's record,
    // which its row holds: a card a reload builds again shows it without asking.
    struct sOwnCardAnswers
    {
        std::map<int, sGAME_SESSION> m_Matches; // by the card's result row
        bool m_bAchievements = false;
        CKorvelArray<CASN1AchievementList::sData> m_Achievements;
        CKorvelArray<CKorvelString> m_ScoreNames;
        CASN1TournamentScores::sData m_Scores;
        bool m_bCoins = false; // m_iWalletBalance came
    };
    sOwnCardAnswers m_OwnCardAnswers;
    // A card a reload built again shows its record at once, the rest once its row is in the
    // tree, where its parts are found.
    bool m_bOwnCardAgain = false;
    void ShowOwnCardAgain();

    // ---- the long lists across a rebuild of the tree
    enum eKEPT_LIST
    {
        KEPT_GLOBAL,
        KEPT_FOLLOW,
        KEPT_AVATARS,
        KEPT_SELF,
        KEPT_SHOP,
        KEPT_MY_ITEMS,
        KEPT_LISTS
    };
    // A list as the old tree showed it, and by item index what its rows showed.
    struct sKeptList
    {
        CInfiniteList::sShape m_Shape;
        std::map<int, sPLAYERLISTITEM> m_Players;
        std::map<int, CKorvelString> m_Scores; // the tournament score a player's row showed
        std::map<int, int> m_Items;
    };
    // Before the old tree goes.
    void KeepLists();
    // The new tree's lists take their shapes before their first update.
    void GiveKeptLists();
    void ForgetKeptLists();
    CInfiniteList* KeptListWidget(int iList) const;
    // Whether the rebuilt list shows what the old one showed: its page asks the server for none
    // of it.
    bool ListKept(int iList) const;
    // A row the rebuilt list makes shows the record of the old row at its index; false when
    // the old row showed none.
    bool FillKeptPlayer(CWidget* pRow, int iList);
    void FillKeptItem(CWidget* pRow, int iList);
    // The rows the rebuilt lists made take the states and places the old ones had, before the
    // first frame at the new size is drawn.
    void SettleRebuiltLists();
    sKeptList m_aKeptLists[KEPT_LISTS];
    CKorvelArray<CKorvelString> m_aKeptGlobalLabels;
    CKorvelArray<CKorvelString> m_aKeptFollowLabels;
    CKorvelString m_strKeptSearch;

    // ---- chat backlog
    struct sChatLine
    {
        CKorvelString m_strText;
        unsigned int m_uColor = 0;
    };
    // The backlog step of a record: 1 when the line should draw attention.
    unsigned int AddChatRecord(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived);
    // Drops the oldest line, from the pending and shown lists too.
    void DropOldestChatLine();
    // Empties the backlog, its shown list, the field and the chat flags; the rematch button hidden.
    void ClearChatBacklog();
    CKorvelArray<sChatLine> m_ChatBacklog;
    unsigned int m_uOpponentInChat = 0;
    unsigned int m_uChatLineSeen = 0;

    // ---- chat avatars and the player card
public:
    // The answer handler of the game-session players: list rows, then their pictures.
    static void actionFillChatPlayer(void* pState, int iKind, int iIndexOrPlayerId, int iCount,
                                     const CKorvelArray<sPLAYER_GROUP>* pGroups, const sPLAYERLISTITEM* pItem,
                                     unsigned char* pPicture, int iPictureSize);
    // Fills a player card from its player record.
    void UpdateChatWidget(CWidget* pItem);
    unsigned int IsChatNoticeShown() const
    {
        return m_uChatNoticeShown;
    }

protected:
    // The card shows a copy: what it changed (these flag bits of the record) is given to the
    // avatars' records of the same player, or the card would open as before the next time.
    void KeepChatAvatarsInStep(const sPLAYERLISTITEM& record, int iFlags);

    // The card's own copy of the shown player: an avatar item's record may be unloaded
    // while the card stays open.
    sPLAYERLISTITEM m_ChatCardPlayer;
};
