// The one application object: the engine application that is also the resource
// manager, owner of every framework service and of the stack of states, and the
// observer through which the network session reaches the lobby and the game.
//
// Sources: KestrolundApplication.cpp (construction, accessors, start-up),
// KestrolundApplicationInit.cpp (initialisation, the hand-over after the splash, theme and
// language), KestrolundApplicationExit.cpp (shut-down), KestrolundApplicationStack.cpp (the
// stack, the frame and input), KestrolundApplicationAudio.cpp (sound, music, vibration),
// KestrolundApplicationSession.cpp (toasts, chat, results and rematch, log-out, lobby pages
// and forwards), KestrolundApplicationEvents.cpp (what the session's observers report).
#pragma once

#include "Framework/Session/VornNetworkSession.h"
#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornSettings.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelPtrArray.h"

class CKorvelSurface;
class CVornAdvertisement;
class CVornMenuState;
class CVornNetConnection;
class CVornNotification;
class CVornToastNotification;
class IVornGameState;
class IVornState;

class CKestrolundApplication : public CVornApplication,
                               public CVornNetworkSession::StatusObserver,
                               protected CVornNetworkSession::LobbyObserver,
                               protected CVornNetworkSession::GameObserver,
                               protected CVornNetworkSession::AdvertisementObserver
{
public:
    CKestrolundApplication();
    ~CKestrolundApplication() override;

    // ---- engine operations

    void OnScreenChanged(int iWidth, int iHeight) override;
    void OnMouseButton(unsigned int uButton, int iX, int iY) override;
    void OnMouseDrag(unsigned int uButton, int iX, int iY) override;
    void OnMouseButtonUp(unsigned int uButton, int iX, int iY) override;
    void OnMouseWheel(int iDelta, int iX, int iY) override;
    void OnFocusChange(unsigned int uFocus) override;
    KE_RETVAL OnRestoreResources() override;
    void OnFlip() override;
    KE_RETVAL OnInitDone() override;
    void OnExit() override;
    void OnKeyDown(eKET_KEYCODE eKey) override;
    void OnChar(unsigned short uChar) override;
    using IKorvelApplication::OnMouseButton;
    using IKorvelApplication::OnMouseButtonUp;
    using IKorvelApplication::OnMouseDrag;
    using IKorvelApplication::OnMouseWheel;

    // ---- the framework's operations

    void Exit() override;
    void Logout(unsigned int uFull) override;
    // A log-out the game makes by itself (the connection is down): the remembered login stays.
    void LogoutKeepingLogin();
    void Relogin() override;
    KE_RETVAL IntroStateComplete() override;
    void DrawDefaultBackground() override;
    int GetSoundVolume() override;
    void SetSoundVolume(int iVolume) override;
    void MuteSound(unsigned int uMute) override;
    unsigned int IsSoundMute() override;
    int GetMusicVolume() override;
    void SetMusicVolume(int iVolume) override;
    void MuteMusic(unsigned int uMute) override;
    unsigned int IsMusicMute() override;
    void MuteAll(unsigned int uMute) override;
    KE_RETVAL PlayMusic(const CKorvelString& strName, unsigned int uLoop) override;
    void StopMusic() override;
    CKorvelSoundMusicPlayer* GetMusicPlayer() override { return m_pMusicPlayer; }
    CKorvelSoundEngine* GetSoundEngine() override { return m_pSoundEngine; }
    void SetVibrations(unsigned int uOn) override;
    unsigned int GetVibrations() override;
    CVornDevice* GetDevice() override { return m_pDevice; }
    CVornStatistics* GetStatistics() override { return m_pStatistics; }
    CVornAchievementStation* GetAchievementStation() override { return m_pAchievementStation; }
    void SetDebugText(const CKorvelString&) override {}
    const CKorvelString& GetVornUserName() override;
    const CKorvelArray<sItemData>& GetItems() override;
    void GetItemFile(int iFileId, CKorvelString& strPath) override;
    void UseItem(int iItemId, int iValue) override;
    CVornLanguage* GetLanguage() override { return m_pLanguage; }
    CVornTheme* GetTheme() override { return m_pTheme; }
    void GetVornArea(CKorvelRect<int>& rect) override;
    void SwitchToPage(eCLIENTPAGE ePage) override;
    unsigned int IsGuestLogin() override;
    void OnGameplayEnd(unsigned int uLeave) override;
    void QuickExit() override;
    CVornSettings* GetSettings() override { return &m_Settings; }
    unsigned int IsLoggedIn() override;
    void RefillItem(int iItemId) override;
    CKorvelBitmapFont* GetDefaultFont() override;

    // ---- the application's own operations

    // Reads the settings, seeds the random numbers, keeps the game state and opens the
    // window in the display mode the settings ask for. The width and height are not used.
    virtual KE_RETVAL Startup(void* pWindow, int iWidth, int iHeight, IVornGameState* pGame);
    // Replaces the network session by a new one; Exit when it cannot start.
    virtual KE_RETVAL ResetNetworkSession();
    virtual void OnThemeChanged();

    // Status observer.
    void OnLobbyStatusChanged(CVornNetworkSession* pSession, unsigned int uStatus) override;
    void OnGameStatusChanged(CVornNetworkSession* pSession, unsigned int uStatus) override;
    // A toast with the text; the id is not used.
    void OnNotification(CVornNetworkSession* pSession, int iId, int iType,
                        const CKorvelString& strText) override;

    virtual void OnChatMessage(CVornNetworkSession::sCHATMSG* pMessage, unsigned int uReceived);
    virtual void SendChatMessage(const CKorvelString& strText, CVornNetworkSession::eCHAT_MSGTYPE eType);
    virtual void SendChatMessage(CVornNetworkSession::eCHAT_MSGTYPE eType);
    virtual void OnGameEnd();
    // The game reports the end of a match; a rematch answer given before is sent now.
    virtual void SendResults(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                             unsigned int uLeaving);
    // The player's rematch answer; kept until the results are sent when it comes first.
    virtual void Rematch(unsigned int uAccept, unsigned int uLeaving);
    // The results went out and the rematch answer is awaited.
    unsigned int IsRematchAnswerOpen() const { return m_uResultsSent; }
    virtual void ExitChat();
    // Non-zero: the exit advertisement, or the end of the application without one.
    virtual void ShowAdvertisement(unsigned int uExitAd);
    // The server sends the client to another lobby server.
    virtual void Redirect(const CKorvelString& strHost, int iPort);

    // Lobby observer.
    // Handed on only for this game: iAppId is compared with GetAppId().
    void OnQueueUpdate(CVornNetworkSession* pSession, int iQueueField, int iAppId, int iStatus) override;
    void OnQueueCancelled(CVornNetworkSession* pSession) override;
    void OnGameSessionInfoReceived(CVornNetworkSession* pSession, int, const sGAME_SESSION&) override;
    void OnBuddyRequest(CVornNetworkSession* pSession, int, EBuddyRequestType, EBuddyRequestAction,
                        const CKorvelString&, const CKorvelString&) override;
    void OnChallengeReceived(CVornNetworkSession* pSession, int, const CKorvelString&, const CKorvelString&,
                             int, int) override;
    void OnChallengeResponse(CVornNetworkSession* pSession, int, const CKorvelString&, const CKorvelString&,
                             int) override;
    void OnChallengeImageReceived(CVornNetworkSession* pSession, int, unsigned char*, int) override;
    void OnRematchReceived(int) override;
    void OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&) override;
    void OnShopItemData(int, int, unsigned char*, int, int) override;
    void OnWalletBalance(int) override;
    void OnShopItemGroups(int, const CKorvelArray<CASN1ShopItemGroups::sGroupData>&) override;
    void OnShopItems(int, int, const CKorvelArray<CASN1ShopItems::sItemData>&) override;
    void OnShopItemImage(int, int, unsigned char*, int) override;
    void OnBuyItemResponce(int, int, const CKorvelString&,
                           const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&) override;
    void OnConfirmBuyItemResponce(int, int, const CKorvelString&) override;
    void OnUpdateItemStateResponse(int, int, const CKorvelString&, int) override;
    void OnPlayerGiftItems(int, CKorvelString&, const CKorvelArray<CASN1ShopItems::sItemData>&) override;
    void OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) override;
    void OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int) override;
    void OnTournamentScores(CKorvelArray<CKorvelString>&, CKorvelArray<CASN1TournamentScores::sData>&,
                            int) override;
    void OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                        const CKorvelString&, const CKorvelString&) override;

    // Game observer.
    void OnGameMessage(CVornNetworkSession* pSession, unsigned char* pData, unsigned int uSize) override;
    void OnGameStart(CVornNetworkSession* pSession, int, unsigned int uStart) override;
    void OnPlayerDisconnected(CVornNetworkSession* pSession, int iPlayerId) override;

    // Advertisement observer.
    void OnAdvertisement(const CKorvelString&, const CKorvelString&, int, const unsigned char*, int, int,
                         const CKorvelArray<int>&, const CKorvelString&, int, const CKorvelString&,
                         const CKorvelString&) override;

    // ---- the stack

    // Starts the state and appends it at the back; activates it when it is the only one.
    // A state whose start fails is deleted and its code returned.
    virtual KE_RETVAL AddState(IVornState* pState);
    // Shuts the state down and deletes it: 1, or 0 when it is not on the stack.
    virtual unsigned int RemoveState(IVornState* pState);
    // Brings the state to the front at the next frame. Always 1.
    virtual unsigned int FocusState(IVornState* pState);
    void ReleaseResources() override;
    KE_RETVAL RestoreResources() override;
    // The change FocusState asked for, made by the frame.
    unsigned int FocusStateChange(IVornState* pState);
    // Queues the overlay (the application owns it then) and vibrates.
    void ShowNotification(CVornNotification* pNotification);
    // Decodes the embedded logo into the logo surface.
    KE_RETVAL InitLoadingResources();

    // ---- start-up steps

    void ReadSettings();
    // The engine's default display mode with "resx", "resy" and "fullscreen" of the
    // settings' "GRAPHICS" section applied.
    void GetStartupDisplayMode(SKE_DISPLAYMODE& mode);
    KE_RETVAL InitCommonResources();
    // One line on stderr naming the step that failed.
    void ReportStartFailure(const char* pStep, KE_RETVAL iResult);
    void ReportLobbyConnection(CVornNetworkSession* pSession, unsigned int uStatus);
    void ChangeTheme(const CKorvelString& strName);
    void ChangeLanguage(const CKorvelString& strCode);

    // ---- toasts

    // Applies the notification filter, then queues the toast and vibrates. The surface
    // is not used.
    void ShowToastNotification(CKorvelSurface* pSurface, const CKorvelString& strText, float fSeconds,
                               int iType);
    void SetNotificationFilter(unsigned int uBits);
    // The filter's bits; a set bit suppresses toasts of types 1 and 2 while a match runs,
    // the same toasts at all times, or challenges.
    static constexpr unsigned int FILTER_INGAME = 1;
    static constexpr unsigned int FILTER_USER_TRIGGERED = 2;
    static constexpr unsigned int FILTER_CHALLENGES = 4;
    unsigned int GetNotificationFilter() const { return m_uNotificationFilter; }

    // ---- accessors

    CVornNetworkSession* GetNetworkSession() const { return m_pNetworkSession; }
    IVornGameState* GetGameState() const { return m_pGameState; }
    CVornNetConnection* GetNetConnection() const { return m_pNetConnection; }
    CVornMenuState* GetLobbyState() const { return m_pLobbyState; }
    CVornToastNotification* GetToast() const { return m_pToast; }
    CVornAdvertisement* GetAdvertisement() const { return m_pAdvertisement; }
    int GetAppId() const;
    CKorvelString GetAppVersion() const;
    // The game's reseller id; "bb" when the game gives none.
    CKorvelString GetResellerId() const;
    int GetReleaseId() const override;
    CKorvelString GetAccessCheck() const;
    CKorvelString GetAccessToken() const;
    unsigned int IsGameFullscreen() const;
    int GetStateCount() const { return m_States.GetCount(); }
    IVornState* GetState(int iIndex) const { return static_cast<IVornState*>(m_States[iIndex]); }

protected:
    // Creation hooks: the defaults make the real classes; tests make their doubles.
    virtual CVornTheme* CreateTheme();
    virtual CVornNetworkSession* CreateNetworkSession();
    virtual CVornMenuState* CreateLobbyState();
    virtual CVornToastNotification* CreateToast();
    virtual CVornAdvertisement* CreateAdvertisement();

    // The pointer chain: the visible toast, the current notification, the visible
    // advertisement, then the states from the front, until one takes it.
    typedef unsigned int (CVornNotification::*PointerHook)(unsigned int, int, int);
    typedef unsigned int (IVornState::*StateHook)(unsigned int, int, int);
    enum
    {
        POINTER_TAKEN = 1,
        POINTER_TO_TOAST = 2
    };
    unsigned int DispatchPointer(PointerHook pOverlayHook, StateHook pStateHook, unsigned int uButton, int iX,
                                 int iY);
    // Music without forgetting the track: stores the player's volume and deletes it.
    void StopMusicInternal();
    // Pauses or resumes the sound engine and the music with the window's focus.
    void AudioFocusChange(unsigned int uFocus);
    // Shuts the session down; deletes it at once, or at the next frame when it is inside
    // one of its own calls.
    void RetireNetworkSession();
    void DeleteRetiredSessions();
    // Registers the application as the session's lobby, game and advertisement observer.
    void AddSessionObservers();
    // The stored volume in 0..100: a negative stored value is an old scale.
    static int MigrateVolume(int iStored);
    // The front state, or null.
    IVornState* GetFrontState() const;

    unsigned int m_uExit;
    unsigned int m_uLobbyConnected;
    unsigned int m_uInGameSession;
    unsigned int m_uLoggingOut;
    unsigned int m_uKeepLogin;       // 1 inside LogoutKeepingLogin
    CKorvelPtrArray m_States;        // IVornState*, front first, owned
    CKorvelPtrArray m_Notifications; // CVornNotification*, owned; the first is current
    CKorvelSoundEngine* m_pSoundEngine;
    CKorvelSoundMusicPlayer* m_pMusicPlayer; // only while a track plays
    CVornNetworkSession* m_pNetworkSession;
    IVornGameState* m_pGameState;  // not owned
    CVornMenuState* m_pLobbyState; // owned through the stack
    CVornDevice* m_pDevice;
    CVornStatistics* m_pStatistics;
    CVornAchievementStation* m_pAchievementStation; // never created here
    CVornAdvertisement* m_pAdvertisement;
    CVornToastNotification* m_pToast;
    CVornTheme* m_pTheme;
    CKorvelArray<IVornState*> m_FocusQueue;
    unsigned int m_uRestorePhase; // 1 draw the default background, 2 restore
    CKorvelSurface* m_pLogoSurface;
    CKorvelString m_strMusicName;
    unsigned int m_uMusicLoop;
    float m_fMusicPosition;
    CVornNetConnection* m_pNetConnection;
    CVornLanguage* m_pLanguage;
    int m_iRematchAnswer;
    unsigned int m_uResultsSent;
    unsigned int m_uNotificationFilter;
    CVornSettings m_Settings;
    CKorvelPtrArray m_RetiredSessions; // CVornNetworkSession*, owned, deleted at the next frame
    unsigned int m_uStartFailureReported;
    // What the terminal was last told about the lobby connection.
    enum ELobbyReport
    {
        LOBBY_REPORT_NONE,
        LOBBY_REPORT_CONNECTED,
        LOBBY_REPORT_UNREACHABLE
    } m_eLobbyReport;
    unsigned int m_uLobbyAttempt; // a connection was tried and has not come up yet
};
