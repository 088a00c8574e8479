// The lobby pages' answers: which handler takes each id, and the score, promotion, shop
// and purchase answers handed to the observers. Byte arrays the readers allocate are
// freed after the calls, also when the message did not decode.
#include "Framework/Session/VornNetworkSession.h"

#include "Framework/Shell/KestrolundApplication.h"

bool CVornNetworkSession::HandleLobbyPageMessage(int iId, const unsigned char* pData, int iSize)
{
    switch (iId)
    {
    case eMSG_PLAYER_LIST:
        HandlePlayerList(pData, iSize);
        break;
    case eMSG_PLAYER_IMAGE:
        HandlePlayerImage(pData, iSize);
        break;
    case eMSG_CHALLENGE_RECEIVED:
        HandleChallengeReceived(pData, iSize);
        break;
    case eMSG_CHALLENGE_RESPONSE:
        HandleChallengeResponse(pData, iSize);
        break;
    case eMSG_BUDDY_REQUEST:
        HandleBuddyRequest(pData, iSize, 0);
        break;
    case eMSG_BUDDY_REQUEST_ACK:
        HandleBuddyRequest(pData, iSize, 2);
        break;
    case eMSG_LATEST_GAME_SESSIONS:
        HandleLatestGameSessions(pData, iSize);
        break;
    case eMSG_AVAILABLE_LANGUAGES_LIST:
        HandleLanguageList(pData, iSize);
        break;
    case eMSG_LANGUAGE_PACK:
        HandleLanguagePack(pData, iSize);
        break;
    case eMSG_THEME_PACK:
        HandleThemePack(pData, iSize);
        break;
    case eMSG_ACHIEVEMENT_LIST:
    case eMSG_TOURNAMENT_SCORES:
    case eMSG_NOTIFICATION:
    case eMSG_IMAGE_AND_LINK:
    case eMSG_ADVERTISEMENT_INFO:
        HandleContentAnswer(iId, pData, iSize);
        break;
    case eMSG_SHOP_ITEM_DATA:
    case eMSG_WALLET_BALANCE:
    case eMSG_SHOP_ITEM_IMAGE:
    case eMSG_BUY_ITEM_RESPONSE:
    case eMSG_CONFIRM_BUY_ITEM_RESPONSE:
    case eMSG_UPDATE_ITEM_STATE_RESPONSE:
    case eMSG_PLAYER_GIFT_ITEMS:
    case eMSG_CONFIRM_BUY_PLAYER_ITEMS_RESPONSE:
        HandlePurchaseAnswer(iId, pData, iSize);
        break;
    default:
        return false;
    }
    return true;
}

void CVornNetworkSession::HandleLatestGameSessions(const unsigned char* pData, int iSize)
{
    CKorvelTypedPtrArray<sGAME_SESSION> aSessions;
    const bool bRead = CASN1::DecodeLatestGameSessions(pData, aSessions, iSize) == KE_OK;
    for (int i = 0; i < aSessions.GetCount(); ++i)
    {
        sGAME_SESSION* pRecord = aSessions[i];
        if (bRead && !m_uShutDown)
            Notify(m_LobbyObservers,
                   [&](LobbyObserver* p) { p->OnGameSessionInfoReceived(this, i, *pRecord); });
        delete pRecord;
    }
    aSessions.Clear();
}

void CVornNetworkSession::HandleContentAnswer(int iId, const unsigned char* pData, int iSize)
{
    if (iId == eMSG_ACHIEVEMENT_LIST)
    {
        int a = 0, b = 0, c = 0, d = 0;
        CKorvelArray<CASN1AchievementList::sData> aList;
        CASN1AchievementList message(a, b, c, aList, d);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnAchievementList(a, b, c, aList, d); });
    }
    else if (iId == eMSG_TOURNAMENT_SCORES)
    {
        // The score records hold their own arrays.
        CKorvelArray<CKorvelString> aNames;
        CKorvelArray<CASN1TournamentScores::sData> aScores;
        int iKinds = 0;
        CASN1TournamentScores message(aNames, aScores, iKinds);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers,
                   [&](LobbyObserver* p) { p->OnTournamentScores(aNames, aScores, iKinds); });
    }
    else if (iId == eMSG_NOTIFICATION)
    {
        int iFirst = 0, iSecond = 0;
        CKorvelString strText;
        CASN1Notification message(iFirst, strText, iSecond);
        if (message.Decode(pData, iSize))
            Notify(m_StatusObservers,
                   [&](StatusObserver* p) { p->OnNotification(this, iFirst, iSecond, strText); });
    }
    else if (iId == eMSG_IMAGE_AND_LINK)
    {
        CKorvelString strImageId, strLink, strLabel, strText;
        unsigned char* pImage = nullptr;
        int iImageSize = 0;
        CASN1ImageAndLink message(strImageId, &pImage, iImageSize, strLink, strLabel, strText);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p)
                   { p->OnImageAndLink(strImageId, iImageSize, pImage, strLink, strLabel, strText); });
        delete[] pImage;
    }
    else
    {
        CKorvelString strText, strLink, strOkLink, strTitle, strTitleLink;
        unsigned char* pImage = nullptr;
        int iImageSize = 0, iInterval = 0, iDisplay = 0, iFlags = 0;
        CKorvelArray<int> aFrames;
        CASN1AdvertisementInfo message(strText, strLink, &pImage, iImageSize, iInterval, iDisplay, aFrames,
                                       strOkLink, iFlags, strTitle, strTitleLink);
        if (message.Decode(pData, iSize))
            Notify(m_AdvertisementObservers,
                   [&](AdvertisementObserver* p)
                   {
                       p->OnAdvertisement(strText, strLink, iImageSize, pImage, iInterval, iDisplay, aFrames,
                                          strOkLink, iFlags, strTitle, strTitleLink);
                   });
        delete[] pImage;
    }
}

void CVornNetworkSession::HandlePurchaseAnswer(int iId, const unsigned char* pData, int iSize)
{
    int a = 0, b = 0, c = 0;
    CKorvelString strText;
    switch (iId)
    {
    case eMSG_SHOP_ITEM_DATA:
    {
        unsigned char* pBytes = nullptr;
        int iCount = 0;
        CASN1ShopItemData message(a, b, &pBytes, iCount, c);
        if (message.Decode(pData, iSize) && pBytes && iCount >= 1)
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnShopItemData(a, b, pBytes, iCount, c); });
        delete[] pBytes;
        break;
    }
    case eMSG_WALLET_BALANCE:
    {
        eMESSAGE_ID eId = eMSG_WALLET_BALANCE;
        CASN1ShortIntMessage message(eId, a);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnWalletBalance(a); });
        break;
    }
    case eMSG_SHOP_ITEM_IMAGE:
    {
        unsigned char* pBytes = nullptr;
        int iCount = 0;
        CASN1ShopItemImage message(a, b, &pBytes, iCount);
        if (message.Decode(pData, iSize) && pBytes && iCount >= 1)
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnShopItemImage(a, b, pBytes, iCount); });
        delete[] pBytes;
        break;
    }
    case eMSG_BUY_ITEM_RESPONSE:
    {
        CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo> aPlayers;
        CASN1BuyItemResponse message(a, b, strText, aPlayers);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers,
                   [&](LobbyObserver* p) { p->OnBuyItemResponce(a, b, strText, aPlayers); });
        break;
    }
    case eMSG_CONFIRM_BUY_ITEM_RESPONSE:
    {
        CASN1ConfirmBuyItemResponse message(a, b, strText);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnConfirmBuyItemResponce(a, b, strText); });
        break;
    }
    case eMSG_UPDATE_ITEM_STATE_RESPONSE:
    {
        CASN1UpdateItemStateResponse message(a, b, strText, c);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers,
                   [&](LobbyObserver* p) { p->OnUpdateItemStateResponse(a, b, strText, c); });
        break;
    }
    case eMSG_PLAYER_GIFT_ITEMS:
    {
        CKorvelArray<CASN1ShopItems::sItemData> aItems;
        CASN1PlayerGiftItems message(a, strText, aItems);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers, [&](LobbyObserver* p) { p->OnPlayerGiftItems(a, strText, aItems); });
        break;
    }
    default:
    {
        CASN1ConfirmBuyPlayerItemsResponse message(a, b, strText);
        if (message.Decode(pData, iSize))
            Notify(m_LobbyObservers,
                   [&](LobbyObserver* p) { p->OnConfirmBuyPlayerItemsResponse(a, b, strText); });
        break;
    }
    }
}
