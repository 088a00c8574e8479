// The client's online session with the lobby and game servers, and the observer
// interfaces through which its answers reach the application, the lobby and the game.
// The operations the application calls are virtual, so that tests can stand in for it.
#pragma once

#include "Framework/asn1_hile.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CKestrolundApplication;
class CVornLobby;

class CVornNetworkSession
{
public:
    typedef ::sCHATMSG sCHATMSG;

    // Chat record types.
    enum eCHAT_MSGTYPE
    {
        CHAT_ENTERED = 0,
        CHAT_REMATCH_DECLINED = 1,
        CHAT_LINE = 2,
        CHAT_INFO = 3,
        CHAT_REMATCH_REQUEST = 4,
        CHAT_LEFT = 5
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
        enum EBuddyRequestType
        {
            BUDDY_REQUEST = 1,
            BUDDY_ACK = 3
        };
        enum EBuddyRequestAction
        {
            BUDDY_ADD = 0,
            BUDDY_REMOVE = 1
        };

        virtual void OnQueueUpdate(CVornNetworkSession* pSession, int, int, int) = 0;
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

    CVornNetworkSession();
    virtual ~CVornNetworkSession();

    // Keeps the application, adds the status observer and starts the lobby's player list.
    virtual KE_RETVAL Startup(CKestrolundApplication* pApplication, StatusObserver* pObserver);
    virtual void Shutdown();
    // Time-outs and keep-alive, once a frame.
    virtual void Update(float fSeconds);

    virtual void AddStatusObserver(StatusObserver* pObserver);
    virtual void RemoveStatusObserver(StatusObserver* pObserver);
    virtual void AddLobbyObserver(LobbyObserver* pObserver);
    virtual void RemoveLobbyObserver(LobbyObserver* pObserver);
    virtual void AddGameObserver(GameObserver* pObserver);
    virtual void RemoveGameObserver(GameObserver* pObserver);
    virtual void AddAdvertisementObserver(AdvertisementObserver* pObserver);
    virtual void RemoveAdvertisementObserver(AdvertisementObserver* pObserver);

    // Low byte the lobby status (0..5); 0x100 while the game socket is up.
    virtual unsigned int GetStatus();
    virtual CVornLobby* GetLobby();
    virtual int GetOwnUserId();
    virtual int GetRelease();
    virtual const CKorvelString& GetHttpQuery();
    virtual const CKorvelString& GetLoginCheck();
    virtual const CKorvelString& GetLoginToken();
    // 1 while the session is inside one of its own observer calls: what it calls then
    // may not delete it.
    virtual unsigned int IsDelivering();

    virtual void DisconnectGame();
    virtual void RegisterInGameQueue(int iType, int iMaxPlayers);
    virtual void UnregisterFromGameQueue();
    virtual void SendGameEnd(const CKorvelArray<int>& aPlayers, const CKorvelArray<int>& aResults,
                             unsigned int uLeaving);
    virtual void SendRematch(unsigned int uAccept);
    virtual void SendChatMsg(const sCHATMSG* pMessage);
    virtual void SendChangeLanguage(const CKorvelString& strCode);
    virtual void SendGameMsg(const unsigned char* pData, unsigned int uSize, unsigned int, unsigned int);

private:
    CVornNetworkSession(const CVornNetworkSession&) = delete;
    CVornNetworkSession& operator=(const CVornNetworkSession&) = delete;

    CKestrolundApplication* m_pApplication;
    CVornLobby* m_pLobby;
    CKorvelPtrArray m_StatusObservers; // StatusObserver*, not owned
    unsigned int m_uStatus;
    CKorvelString m_strEmpty;
};
