// The client's online session with the lobby and game servers, and the observer
// interfaces through which its answers reach the application, the lobby and the game.
// The operations the application calls are virtual, so that tests can stand in for it.
//
// Sources: VornNetworkSession.cpp (life cycle, status, observers, timers, the static
// helpers), VornNetworkSessionFraming.cpp (engine events and cutting the streams into
// messages), VornNetworkSessionRequests.cpp (what the client sends),
// VornNetworkSessionDispatch.cpp (what the session does with each message received),
// VornNetworkSessionLobbyRequests.cpp (the requests of the lobby's pages),
// VornNetworkSessionPlayers.cpp (player lists, pictures, challenges and buddies),
// VornNetworkSessionContent.cpp (shop, score and promotion answers),
// VornNetworkSessionPacks.cpp (downloaded language and theme packs).
#pragma once

#include <new>
#include <string>

#include "Framework/Session/asn1_hile.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelSet.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"
#include "SocketEngine/SocketEngine.h"

class CKestrolundApplication;
class CKorvelSurface;
class CVornLanguage;
class CVornLobby;

class CVornNetworkSession : public ISocketEngineObserver
{
public:
    typedef ::sCHATMSG sCHATMSG;

    // Chat record types.
    enum eCHAT_MSGTYPE
    {
        CHAT_ENTERED = 0,
        CHAT_REMATCH_DECLINED = 1,
        CHAT_LINE = sCHATMSG::TYPE_LINE,
        CHAT_INFO = 3,
        CHAT_REMATCH_REQUEST = 4,
        CHAT_LEFT = 5
    };
    // Answers of a ChallengeResponse: a client sends the first two; the server also tells a
    // challenger that the player is in a match or the queue (busy) or not logged in (offline).
    enum eCHALLENGE_ANSWER : int
    {
        CHALLENGE_REFUSED = 0,
        CHALLENGE_ACCEPTED = 1,
        CHALLENGE_BUSY = 2,
        CHALLENGE_OFFLINE = 3
    };

    class StatusObserver
    {
    public:
        virtual void OnLobbyStatusChanged(CVornNetworkSession* pSession, unsigned int uStatus) = 0;
        virtual void OnGameStatusChanged(CVornNetworkSession* pSession, unsigned int uStatus) = 0;
        virtual void OnNotification(CVornNetworkSession* pSession, int iId, int iType,
                                    const CKorvelString& strText) = 0;
    };

    class LobbyObserver
    {
    public:
        // Fixed underlying types: any value the server sends is one of them.
        enum EBuddyRequestType : int
        {
            BUDDY_REQUEST = 1,
            BUDDY_ACK = 3
        };
        enum EBuddyRequestAction : int
        {
            BUDDY_ADD = 0,
            BUDDY_REMOVE = 1
        };

        // The first integer is the server's own and only handed on; a status of 0 or more
        // comes with the lobby's players.
        virtual void OnQueueUpdate(CVornNetworkSession* pSession, int iQueueField, int iAppId,
                                   int iStatus) = 0;
        virtual void OnQueueCancelled(CVornNetworkSession* pSession) = 0;
        virtual void OnBuddyRequest(CVornNetworkSession* pSession, int, EBuddyRequestType,
                                    EBuddyRequestAction, const CKorvelString&, const CKorvelString&) = 0;
        virtual void OnGameSessionInfoReceived(CVornNetworkSession* pSession, int, const sGAME_SESSION&) = 0;
        virtual void OnChallengeReceived(CVornNetworkSession* pSession, int, const CKorvelString&,
                                         const CKorvelString&, int, int) = 0;
        virtual void OnChallengeResponse(CVornNetworkSession* pSession, int, const CKorvelString&,
                                         const CKorvelString&, int) = 0;
        virtual void OnChallengeImageReceived(CVornNetworkSession* pSession, int, unsigned char*, int) = 0;
        virtual void OnRematchReceived(int) = 0;
        virtual void OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&) = 0;
        virtual void OnShopItemData(int, int, unsigned char*, int, int) = 0;
        virtual void OnWalletBalance(int) = 0;
        virtual void OnShopItemGroups(int, const CKorvelArray<CASN1ShopItemGroups::sGroupData>&) = 0;
        virtual void OnShopItems(int, int, const CKorvelArray<CASN1ShopItems::sItemData>&) = 0;
        virtual void OnShopItemImage(int, int, unsigned char*, int) = 0;
        virtual void OnBuyItemResponce(int, int, const CKorvelString&,
                                       const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&) = 0;
        virtual void OnConfirmBuyItemResponce(int, int, const CKorvelString&) = 0;
        virtual void OnUpdateItemStateResponse(int, int, const CKorvelString&, int) = 0;
        virtual void OnPlayerGiftItems(int, CKorvelString&,
                                       const CKorvelArray<CASN1ShopItems::sItemData>&) = 0;
        virtual void OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) = 0;
        virtual void OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int) = 0;
        virtual void OnTournamentScores(CKorvelArray<CKorvelString>&,
                                        CKorvelArray<CASN1TournamentScores::sData>&, int) = 0;
        virtual void OnImageAndLink(const CKorvelString&, int, const unsigned char*, const CKorvelString&,
                                    const CKorvelString&, const CKorvelString&) = 0;
    };

    class GameObserver
    {
    public:
        virtual void OnGameMessage(CVornNetworkSession* pSession, unsigned char* pData,
                                   unsigned int uSize) = 0;
        virtual void OnGameStart(CVornNetworkSession* pSession, int, unsigned int uStart) = 0;
        virtual void OnPlayerDisconnected(CVornNetworkSession* pSession, int iPlayerId) = 0;
    };

    class AdvertisementObserver
    {
    public:
        virtual void OnAdvertisement(const CKorvelString&, const CKorvelString&, int, const unsigned char*,
                                     int, int, const CKorvelArray<int>&, const CKorvelString&, int,
                                     const CKorvelString&, const CKorvelString&) = 0;
    };

    // The one pending login-type request's answers.
    class LoginObserver
    {
    public:
        virtual void OnNewVersionAvailable(CVornNetworkSession* pSession, const CKorvelString& strLink) = 0;
        virtual void OnLoginError(CVornNetworkSession* pSession, const CKorvelString& strText) = 0;
        virtual void OnReceiveRandomKey(CVornNetworkSession* pSession, const CKorvelString& strKey) = 0;
        virtual void OnLoggedIn(CVornNetworkSession* pSession, int iUserId, const CKorvelString& strUserName,
                                const CKorvelString& strToken, const CKorvelString&, const CKorvelString&,
                                int) = 0;
        virtual void OnUserNameConfirmed(CVornNetworkSession* pSession, int iResult,
                                         const CKorvelString& strKey) = 0;
        virtual void OnEmailConfirmed(CVornNetworkSession* pSession, int iResult,
                                      const CKorvelString& strUserName) = 0;
        virtual void OnExternalEmailRegistered(CVornNetworkSession* pSession, int, const CKorvelString&) = 0;
        virtual void OnExternalUserRegistered(CVornNetworkSession* pSession, int, const CKorvelString&) = 0;
        virtual void OnExternalUserNotFound() = 0;
    };

    // The game engine's observer: hands both calls to the session's game side.
    class GameSocketObserver : public ISocketEngineObserver
    {
    public:
        explicit GameSocketObserver(CVornNetworkSession* pSession) : m_pSession(pSession) {}
        void SocketEngineNotify(KE_SOCKETCODES code, int detail) override;
        void SocketEngineDataReceived(unsigned char const* data, int size) override;

    private:
        CVornNetworkSession* m_pSession;
    };

    // One answer to a player-list request: the header (count and groups), one player's item
    // at its list index, or a player's picture (the index is then the player id).
    typedef void (*PlayerListCallback)(void* pUserData, int iKind, int iIndexOrPlayerId, int iCount,
                                       const CKorvelArray<sPLAYER_GROUP>* pGroups,
                                       const sPLAYERLISTITEM* pItem, unsigned char* pPicture,
                                       int iPictureSize);
    struct PlayerListListenerEntry
    {
        PlayerListCallback m_pfnCallback = nullptr;
        void* m_pUserData = nullptr;
        // Tells a registration from a later one of the same callback under the same id.
        unsigned int m_uSerial = 0;
    };
    typedef void (*KeyValueCallback)(CKorvelString& strKey, CKorvelString& strValue, void* pUserData);
    struct KeyValueCallbackEntry
    {
        KeyValueCallback m_pfnCallback = nullptr;
        void* m_pUserData = nullptr;
    };
    // A player's picture, or null when none came in time; the callback owns the surface.
    typedef void (*PlayerImageCallback)(CKorvelSurface* pSurface, const CKorvelString& strName,
                                        void* pUserData);

    // Lobby status, the low byte of the status word.
    enum
    {
        LOBBY_DISCONNECTED = 0,
        LOBBY_SOCKET_UP = 1,
        LOBBY_CONNECTING = 2,
        LOBBY_ACCEPTED = 3,
        LOBBY_LOGIN_SENT = 4,
        LOBBY_LOGGED_IN = 5,
        GAME_SOCKET_UP = 0x100
    };
    // The largest message either connection accepts: language and theme packs and
    // pictures arrive whole.
    static const int MAX_MESSAGE_SIZE = 16 * 1024 * 1024;
    static const int REASSEMBLY_SIZE = 65536;
    // The longest chat text taken in (the lobby server relays none longer): a longer one
    // is dropped, so that chat cannot fill the memory however much arrives.
    static constexpr int MAX_CHAT_TEXT = 1000;
    // Language texts of a lost connection: its title and its message.
    static constexpr int TEXT_CONNECTION_LOST_TITLE = 335;
    static constexpr int TEXT_CONNECTION_LOST = 336;
    static constexpr float LOBBY_SILENCE_SECONDS = 60.0f;
    static constexpr float LOGIN_TIMEOUT_SECONDS = 40.0f;
    static constexpr float IMAGE_TIMEOUT_SECONDS = 2.0f;
    // The LoginACK result of a login refused because the account plays in another session; its
    // text is the server's, as for a wrong password (-1).
    static const int LOGIN_ACCOUNT_IN_USE = -8;

    CVornNetworkSession();
    ~CVornNetworkSession() override;

    // ---- socket engine observers (the lobby engine calls the session itself)

    void SocketEngineNotify(KE_SOCKETCODES code, int detail) override;
    void SocketEngineDataReceived(unsigned char const* data, int size) override;
    virtual void GameSocketEngineNotify(KE_SOCKETCODES code, int detail);
    virtual void GameSocketEngineDataReceived(unsigned char const* data, int size);

    // ---- life cycle

    // Keeps the application, makes both engines, adds the status observer and starts the
    // lobby's player list: 1, 0 without an application, 7 without memory, or the failing
    // part's code.
    virtual KE_RETVAL Startup(CKestrolundApplication* pApplication, StatusObserver* pObserver);
    // Closes both connections and forgets every observer. Reached from inside the
    // session's own delivery, the engines and buffers stay until the destructor.
    virtual void Shutdown();
    // Time-outs and keep-alive, once a frame.
    virtual void Update(float fSeconds);

    // Connects the lobby engine (blocking); the engine's result.
    int Connect(const CKorvelString& strHost, unsigned short uPort, LoginObserver* pObserver);
    void Disconnect();
    virtual void DisconnectGame();
    void DisconnectLobby();
    // Milliseconds DisconnectLobby waits after closing (500; tests set 0).
    void SetDisconnectSleep(unsigned int uMilliseconds) { m_uDisconnectSleepMs = uMilliseconds; }
    // The engines, for tests that give them a resolver or timings.
    CSocketEngine* GetLobbyEngine() const { return m_pLobbyEngine; }
    CSocketEngine* GetGameEngine() const { return m_pGameEngine; }

    // ---- observers (kept in pointer order; one pointer may be held twice)

    virtual void AddStatusObserver(StatusObserver* pObserver);
    virtual void RemoveStatusObserver(StatusObserver* pObserver);
    virtual void AddLobbyObserver(LobbyObserver* pObserver);
    virtual void RemoveLobbyObserver(LobbyObserver* pObserver);
    virtual void AddGameObserver(GameObserver* pObserver);
    virtual void RemoveGameObserver(GameObserver* pObserver);
    virtual void AddAdvertisementObserver(AdvertisementObserver* pObserver);
    virtual void RemoveAdvertisementObserver(AdvertisementObserver* pObserver);

    // ---- status and getters

    // Low byte the lobby status (0..5); 0x100 while the game socket is up.
    virtual unsigned int GetStatus();
    void SetStatus(unsigned int uStatus);
    void SetLobbyStatus(unsigned int uLobby);
    void SetGameStatus(unsigned int uGame);
    virtual CVornLobby* GetLobby();
    virtual int GetOwnUserId();
    virtual int GetRelease();
    // "host:port" of the last Connect.
    const std::string& GetLobbyAddress() const { return m_strLobbyAddress; }
    virtual const CKorvelString& GetHttpQuery();
    virtual const CKorvelString& GetLoginCheck();
    virtual const CKorvelString& GetLoginToken();
    unsigned int IsInGameQueue() const { return m_iInQueue ? 1 : 0; }
    unsigned int GetLobbyPort();
    long long GetGameSessionId() const { return m_llGameSessionId; }
    int GetGameStartFlag() const { return m_iGameStartFlag; }
    // The challenger the last ChallengeResponse named: a withdrawal reaches each player asked as
    // a refusal about himself, and only this tells whose challenge it ends.
    int GetRespondedChallenger() const { return m_iRespondedChallenger; }
    // The result of the LoginACK the login observer is told of (the refusals -1 and -8 bring
    // the same kind of text); 0 while it hears any other answer.
    int GetLoginResult() const { return m_iLoginResult; }
    // The game connection of a match could not be opened, and the session was ended for it.
    unsigned int GameConnectionFailed() const { return m_uGameConnectFailed; }
    // A file the game needs could not be opened for want of a descriptor, and the session
    // was ended for it.
    unsigned int FileOpenFailed() const { return m_uFileOpenFailed; }
    unsigned int CheckConnectivity(const CKorvelString&) { return 1; }
    // 1 while the session is inside one of its own observer calls: what it calls then
    // may not delete it.
    virtual unsigned int IsDelivering();
    void UpdateHttpQuery();

    // ---- static helpers

    // MD5 of the password followed by the key, as 32 lowercase hex characters.
    static CKorvelString GeneratePasswordHash(const CKorvelString& strPassword, const CKorvelString& strKey);
    // min..max characters of A a B b .. Z z 0..9 - _, from the C library's generator.
    static CKorvelString GenerateRandomPassword(int iMin, int iMax, unsigned int uSeed);

    // ---- requests

    void SendConnection();
    unsigned int RequestCredentials(const CKorvelString& strUserName, LoginObserver* pObserver);
    unsigned int Login(const CKorvelString& strUserName, const CKorvelString& strHash,
                       LoginObserver* pObserver);
    unsigned int LoginExternal(int iLoginType, const CKorvelString& strId, const CKorvelString& strToken,
                               const CKorvelString& strText, const CKorvelString& strEmail,
                               LoginObserver* pObserver);
    void SendRegisterUser(const CKorvelString& a, const CKorvelString& b, const CKorvelString& c,
                          const CKorvelString& d, const CKorvelString& e, int f);
    void SendRegisterEmail(const CKorvelString& strText1, const CKorvelString& strText2,
                           LoginObserver* pObserver);
    unsigned int SendBindAccount(int a, const CKorvelString& t1, const CKorvelString& t2,
                                 const CKorvelString& t3, const CKorvelString& t4, int b,
                                 LoginObserver* pObserver);
    void SendConfirmUserName(const CKorvelString& strUserName, LoginObserver* pObserver);
    void SendConfirmEmail(const CKorvelString& strName, const CKorvelString& strEmail,
                          const CKorvelString& strHash, int iLoginType, const CKorvelString& strToken,
                          const CKorvelString& strExternalId, LoginObserver* pObserver);
    void Logout();
    void SendAlive();
    void SendGetAvailableLanguages();
    void SendGetThemePack();
    void SendGetKeyValue(const CKorvelString& strKey, KeyValueCallback pfnCallback, void* pUserData);
    virtual void RegisterInGameQueue(int iType, int iMaxPlayers);
    virtual void UnregisterFromGameQueue();
    // Request flags of the shop lists, echoed in their answers: the low byte names the list;
    // a high part makes it a round of the in-game item list and says what asked for it.
    enum eSHOP_LIST_FLAGS : int
    {
        SHOP_LIST_SHOP = 0,
        SHOP_LIST_MY_ITEMS = 1,
        SHOP_LIST_KIND_MASK = 0xFF,
        SHOP_IN_GAME_LOGIN = 0x200,     // after login, and when the menu hides after item changes
        SHOP_IN_GAME_CONNECTED = 0x400, // a game connection came up, or a rematch
        SHOP_IN_GAME_REFRESH = 0x800    // a purchase was confirmed, or the item data is ready
    };
    void SendGetShopItemGroups(int iFlags);
    void SendGetShopItems(int iFlags, int iCount, int iStart);
    void SendGetAvailableShopItemDatas();
    void SendGameReady();
    virtual void SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int, unsigned int);
    virtual void SendRematch(unsigned int uAccept);
    virtual void SendGameEnd(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                             unsigned int uLeaving);
    virtual void SendChatMsg(const sCHATMSG* pMessage);
    virtual void SendChangeLanguage(const CKorvelString& strCode);

    // ---- requests of the lobby's pages

    void SendRequestAd();
    void SendWalletBalance();
    void SendGetPossibleGiftItems(int iPlayerId);
    void SendBuyItem(int iItemId, int iFlags);
    void SendUseItem(int iItemId, int iValue);
    // Any non-zero state goes out as 1.
    void SendUpdateItemState(int iItemId, int iState);
    void SendGetShopItemData(int iItemId, int iOffset, int iSize);
    void SendGetShopItemImage(const CKorvelArray<int>& aItemIds, int iLarge);
    // With recipients the list form, without them the two-integer form.
    void SendConfirmBuyItem(int iItemId, int iFlags, const CKorvelArray<int>* pRecipients = nullptr);
    void SendConfirmBuyPlayerItems(int iPlayerId, int iValue, const CKorvelArray<int>& aItemIds);
    void SendBlockUser(int iPlayerId, unsigned int uBlock);
    void SendGetTournamentScores(const CKorvelArray<int>& aPlayerIds, int iKinds, int iValue);
    void SendGetAchievementList(int a, int b, int c, int d);
    void SendGetImageAndLink(const CKorvelString& strImage, const CKorvelString& strText);
    void SendGetLanguagePack(const CKorvelString& strCode, const CKorvelString& strTarget);
    // b below 0 is left out of the message.
    void SendGetLatestGameSessions(int a, int b);
    void SendChallenge(const CKorvelArray<int>& aPlayerIds, const CKorvelString& strText);
    // Answer 0 rejects.
    void SendChallengeResponse(int iChallengerId, int iAnswer, const CKorvelString& strText);
    // Type 1 a request, 3 an acknowledgement; any other type sends nothing.
    void SendBuddyRequest(int iPlayerId, int iType, int iAction, const CKorvelString& strText);
    // Kinds of player list, the bits of a request's list kind.
    enum ePLAYER_LIST_KIND : int
    {
        PLAYER_LIST_GLOBAL = 0,
        PLAYER_LIST_SELF = 32, // the own card
        PLAYER_LIST_FOLLOWED = 64,
        PLAYER_LIST_FOLLOW_MASK = 0xC0, // any of these bits: a list of followed players
        PLAYER_LIST_GAME_SESSION = 0x100
    };
    // Asks for iCount players of a list kind from index iFirst (-1: the header only); the
    // answer goes to the callback. The two extra integers are the request's last fields (0
    // from the lobby). The request id (kind << 32 | first), -1 without a lobby engine.
    long long SendPlayerListRequest(int iKind, const CKorvelString& strFilter, int iExtra1, int iExtra2,
                                    int iFirst, int iCount, PlayerListCallback pfnCallback, void* pUserData);
    // The players of the current game session, as list kind PLAYER_LIST_GAME_SESSION.
    void SendGetGameSessionPlayers(PlayerListCallback pfnCallback, void* pUserData);
    // One picture at a time: nothing is sent while an earlier request waits (2 s).
    void SendGetPlayerImage(int a, int b, const CKorvelString& strName, PlayerImageCallback pfnCallback,
                            void* pUserData);
    void CancelPlayerListRequest(int iId);
    void CancelAllPlayerListRequests();
    static long long PlayerListRequestId(int iKind, int iTag);
    static const long long GAME_SESSION_PLAYERS_ID = static_cast<long long>(PLAYER_LIST_GAME_SESSION) << 32;

protected:
    // Pointers in ascending order; Remove takes one occurrence.
    template <class T> class CObserverSet : public CKorvelMultiSet<T*>
    {
    public:
        void Remove(T* p);
    };
    // What is held of a message that arrived in pieces, per connection.
    struct sREASSEMBLY
    {
        unsigned char* m_pBuffer = nullptr;
        int m_iCapacity = 0;
        int m_iHeld = 0;
        int m_iPartial = 0;
    };
    enum
    {
        CHANNEL_LOBBY = 0,
        CHANNEL_GAME = 1
    };
    typedef void (CVornNetworkSession::*MessageHandler)(const unsigned char* pData, int iSize);

    // Counts the session's own delivery while alive.
    class CDeliveryScope
    {
    public:
        explicit CDeliveryScope(CVornNetworkSession& session) : m_Session(session)
        {
            ++m_Session.m_uDelivering;
        }
        ~CDeliveryScope() { --m_Session.m_uDelivering; }

    private:
        CVornNetworkSession& m_Session;
    };

    // Cuts a chunk of one connection into whole messages for the handler.
    void ParseMessage(int iChannel, const unsigned char* pData, int iSize, MessageHandler pfnHandler);
    // Hands one whole message to the handler; false when the handler closed or replaced
    // the connection (or shut the session down), so the rest of its chunk is dropped.
    bool Deliver(int iChannel, MessageHandler pfnHandler, const unsigned char* pData, int iSize);
    // Ends a connection whose stream cannot be cut into messages any more.
    void DropChannel(int iChannel);
    void ClearRecord(int iChannel);
    // The rest of this chunk belongs to a dead connection once this changed.
    unsigned int ChannelGeneration(int iChannel) const { return m_auGeneration[iChannel]; }

    void HandleMessage(const unsigned char* pData, int iSize);
    void HandleGameMessage(const unsigned char* pData, int iSize);
    void HandleConnectACK(const unsigned char* pData, int iSize);
    void HandleLoginACK(const unsigned char* pData, int iSize);
    void HandleQueueUpdate(const unsigned char* pData, int iSize);
    void HandleKeyValue(const unsigned char* pData, int iSize);
    void HandleAlive(CSocketEngine* pEngine, const unsigned char* pData, int iSize);
    void HandleRandomKey(const unsigned char* pData, int iSize);
    void HandleChatMessage(const unsigned char* pData, int iSize);
    void HandleConfirmAnswer(const unsigned char* pData, int iSize, bool bEmail);
    void HandleShopAnswer(int iId, const unsigned char* pData, int iSize);
    void HandleGameStartMessage(const unsigned char* pData, int iSize, bool bConnect);
    // The lobby pages' answers; false for an id that is not one of them.
    bool HandleLobbyPageMessage(int iId, const unsigned char* pData, int iSize);
    void HandlePlayerList(const unsigned char* pData, int iSize);
    void HandlePlayerImage(const unsigned char* pData, int iSize);
    void HandleChallengeReceived(const unsigned char* pData, int iSize);
    void HandleChallengeResponse(const unsigned char* pData, int iSize);
    void HandleBuddyRequest(const unsigned char* pData, int iSize, int iTypeOffset);
    void HandleLatestGameSessions(const unsigned char* pData, int iSize);
    void HandleContentAnswer(int iId, const unsigned char* pData, int iSize);
    void HandlePurchaseAnswer(int iId, const unsigned char* pData, int iSize);
    void HandleLanguageList(const unsigned char* pData, int iSize);
    void HandleLanguagePack(const unsigned char* pData, int iSize);
    void HandleThemePack(const unsigned char* pData, int iSize);
    // The language object a pack's target names ("game": the game's own), or null.
    CVornLanguage* LanguageTarget(const CKorvelString& strTarget);
    // Replaces the write folder's file of that name with the bytes: true when it now
    // holds them; a pack the resource manager held under that path is dropped from it.
    bool WritePack(const CKorvelString& strFile, const unsigned char* pData, int iSize);
    // Adds a player-list listener under the id unless one is there; the serial number of
    // the one registered now.
    unsigned int AddPlayerListListener(long long llId, PlayerListCallback pfnCallback, void* pUserData);
    // Removes the listener of the id when it is still that registration.
    void RemovePlayerListListener(long long llId, unsigned int uSerial);
    void GameStart(sGAME_START_INFO& info);
    // Rebuilds the lobby from the decoded players (deleting them) in their order.
    void RebuildLobby(CKorvelPtrArray& aPlayers);
    static void FreePlayers(CKorvelPtrArray& aPlayers);

    // Takes the pending login observer off the session for one answer.
    LoginObserver* TakeLoginObserver();
    // Sends what the writer makes: measured with no buffer, then written into one of
    // exactly that size. Nothing is sent when it measures 0.
    template <class F> static void SendWritten(CSocketEngine* pEngine, const char* pWhat, F fnWrite)
    {
        const int iSize = pEngine ? static_cast<int>(fnWrite(nullptr, 0)) : 0;
        unsigned char* pBuffer = iSize > 0 ? new (std::nothrow) unsigned char[iSize] : nullptr;
        if (pBuffer && static_cast<int>(fnWrite(pBuffer, iSize)) == iSize)
            pEngine->Send(pBuffer, iSize);
        else if (pEngine)
            LogNotSent(pWhat);
        delete[] pBuffer;
    }
    template <class M> static void SendDescriptor(CSocketEngine* pEngine, const char* pWhat, M& message)
    {
        SendWritten(pEngine, pWhat,
                    [&](unsigned char* pBuf, int iSize) { return message.Encode(pBuf, iSize); });
    }
    static void LogNotSent(const char* pWhat);
    unsigned int IsLobbyUp();
    unsigned int IsGameUp();
    const CKorvelString& Text(int iNumber) const;
    // Every observer of the set, walked by index; stops once the session is shut down.
    template <class T, class F> void Notify(CObserverSet<T>& set, F fnCall)
    {
        CDeliveryScope scope(*this);
        for (int i = 0; i < set.GetCount() && !m_uShutDown; ++i)
            fnCall(set[i]);
    }
    // Closes the engine's connection and drops what is held of it.
    void CloseChannel(int iChannel);
    void ReleaseEngines();

private:
    CVornNetworkSession(const CVornNetworkSession&) = delete;
    CVornNetworkSession& operator=(const CVornNetworkSession&) = delete;

    CKestrolundApplication* m_pApplication;
    CSocketEngine* m_pLobbyEngine;
    CSocketEngine* m_pGameEngine;
    CVornLobby* m_pLobby;
    unsigned char* m_pGameMessageBuffer; // CASN1::MAX_GAME_MESSAGE_PAYLOAD bytes
    unsigned int m_uStatus;
    LoginObserver* m_pLoginObserver;
    CObserverSet<StatusObserver> m_StatusObservers;
    CObserverSet<LobbyObserver> m_LobbyObservers;
    CObserverSet<GameObserver> m_GameObservers;
    CObserverSet<AdvertisementObserver> m_AdvertisementObservers;
    GameSocketObserver m_GameSocketObserver;
    int m_iOwnUserId;
    long long m_llGameSessionId;
    int m_iGameStartFlag;
    int m_iRelease;
    float m_fLoginTimer;
    float m_fImageTimer;
    CKorvelString m_strHttpQuery;
    CKorvelString m_strLoginToken;
    CKorvelMap<long long, PlayerListListenerEntry> m_PlayerListListeners;
    CKorvelMap<long long, PlayerListListenerEntry> m_PlayerImageListeners;
    PlayerImageCallback m_pfnImageCallback;
    void* m_pImageUserData;
    CKorvelString m_strImageName;
    int m_iImagePending;
    int m_iChallengeId;
    sREASSEMBLY m_aRecords[2];
    int m_iInQueue;
    float m_fLobbySilence;
    CKorvelMap<CKorvelString, KeyValueCallbackEntry> m_KeyValueCallbacks;

    unsigned int m_uDelivering;
    unsigned int m_uShutDown;
    unsigned int m_auGeneration[2];
    unsigned int m_uDisconnectSleepMs;
    unsigned int m_uListenerSerial;
    unsigned int m_uLongChatDropped = 0; // told on the terminal once
    unsigned int m_uGameConnecting = 0;  // a GameStart's connection not up yet
    unsigned int m_uGameConnectFailed = 0;
    int m_iRespondedChallenger = 0;
    int m_iLoginResult = 0;
    unsigned int m_uFileOpenFailed = 0;
    std::string m_strLobbyAddress;
};
