// Received bytes as the session meets them: the stream is cut into messages by their
// length and each message goes to the reader of its id (hand-built readers, class
// messages, descriptors and through them every record decoder). The nested readers
// (players, statistics, texts, dates) also get the raw input. Nothing may read past
// the bytes given, and whatever a reader allocates is freed here.
#include "Framework/Session/asn1_hile.h"
#include "MessageStream.h"

namespace
{
void DeletePlayers(CKorvelPtrArray& aPlayers)
{
    for (int i = 0; i < aPlayers.GetCount(); ++i)
        delete static_cast<sPLAYER*>(aPlayers.GetAt(i));
    aPlayers.Clear();
}

// A decoded class message encodes again to the size it measures.
void Reencode(CASN1_Message& message)
{
    unsigned int uMeasured = message.Encode(nullptr, 0);
    std::vector<unsigned char> aOut(uMeasured);
    Check(uMeasured == 0 || message.Encode(aOut.data(), (int)uMeasured) == uMeasured);
}

void ClassMessage(CASN1_Message& message, const unsigned char* pMsg, int iSize)
{
    unsigned int uUsed = message.Decode(pMsg, iSize);
    Check(uUsed <= (unsigned int)iSize);
    if (uUsed > 0)
        Reencode(message);
}

template <class D> void Descriptor(D& descriptor, const unsigned char* pMsg, int iSize)
{
    Check(descriptor.Decode(pMsg, iSize) <= (unsigned int)iSize);
}

void HandBuilt(int iId, const unsigned char* pMsg, int iSize)
{
    int a = 0, b = 0, c = 0, d = 0;
    long long llValue = 0;
    CKorvelString t1, t2, t3, t4;
    switch (iId)
    {
    case eMSG_LOGIN_ACK:
        CASN1::DecodeLoginACK(pMsg, a, t1, t2, t3, b, t4, iSize);
        break;
    case eMSG_QUEUE_UPDATE:
    {
        CKorvelPtrArray aPlayers;
        CASN1::DecodeQueueUpdate(pMsg, &aPlayers, a, b, c, iSize);
        DeletePlayers(aPlayers);
        break;
    }
    case eMSG_GAME_START:
    {
        sGAME_START_INFO info;
        CASN1::DecodeGameStart(pMsg, &info, iSize);
        DeletePlayers(info.m_aPlayers);
        break;
    }
    case eMSG_GAME_MESSAGE:
    {
        std::vector<unsigned char> aBuffer(CASN1::MAX_GAME_MESSAGE_PAYLOAD);
        int iCount = -1;
        if (CASN1::DecodeGameMessage(pMsg, aBuffer.data(), (int)aBuffer.size(), iCount, iSize) == KE_OK)
            Check(iCount >= 0 && iCount < iSize);
        break;
    }
    case eMSG_BUDDY_REQUEST:
    case eMSG_BUDDY_REQUEST_ACK:
        CASN1::DecodeBuddyRequest(pMsg, a, b, c, d, t1, t2, iSize);
        break;
    case eMSG_CHALLENGE_RESPONSE:
        CASN1::DecodeChallengeResponse(pMsg, a, b, c, d, t1, t2, iSize);
        break;
    case eMSG_ALIVE:
        CASN1::DecodeAlive(pMsg, a, iSize);
        break;
    case eMSG_RANDOM_KEY:
        CASN1::DecodeRandomKey(pMsg, t1, t2, iSize);
        break;
    case eMSG_GAME_DISCONNECT:
        CASN1::DecodeGameDisconnect(pMsg, llValue, a, iSize);
        break;
    case eMSG_LATEST_GAME_SESSIONS:
    {
        CKorvelTypedPtrArray<sGAME_SESSION> aSessions;
        CASN1::DecodeLatestGameSessions(pMsg, aSessions, iSize);
        for (int i = 0; i < aSessions.GetCount(); ++i)
            delete aSessions[i];
        break;
    }
    case eMSG_PLAYER_IMAGE:
    {
        unsigned char* pImage = nullptr;
        int iImageSize = 0;
        if (CASN1::DecodePlayerImage(pMsg, a, b, &pImage, iImageSize, iSize) == KE_OK)
            Check(iImageSize >= 0 && iImageSize < iSize);
        delete[] pImage;
        break;
    }
    case eMSG_REGISTER_USER_ACK:
        CASN1::DecodeRegisterUserACK(pMsg, a, t1, iSize);
        break;
    case eMSG_REGISTER_EMAIL_ACK:
        CASN1::DecodeRegisterEmailACK(pMsg, a, t1, iSize);
        break;
    default:
        break;
    }
}

void Catalogue(int iId, const unsigned char* pMsg, int iSize)
{
    int a = 0, b = 0, c = 0, d = 0;
    long long llValue = 0;
    CKorvelString t1, t2, t3, t4, t5;
    unsigned char* pBytes = nullptr;
    int iBytes = 0;
    switch (iId)
    {
    case eMSG_CONNECT_ACK:
    {
        CASN1ConnectACK message(t1, a, t2, b);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_ACHIEVEMENT_LIST:
    {
        CKorvelArray<CASN1AchievementList::sData> aData;
        CASN1AchievementList message(a, b, c, aData, d);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_TOURNAMENT_SCORES:
    {
        CKorvelArray<CKorvelString> aNames;
        CKorvelArray<CASN1TournamentScores::sData> aScores;
        CASN1TournamentScores message(aNames, aScores, a);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_KEY_VALUE:
    {
        CASN1KeyValue message(t1, t2);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_PLAYER_LIST:
    {
        CKorvelArray<sPLAYERLISTITEM> aItems;
        CKorvelArray<sPLAYER_GROUP> aGroups;
        CASN1PlayerList message(a, b, c, aItems, aGroups);
        ClassMessage(message, pMsg, iSize);
        sPLAYERLISTITEM item;
        CKorvelArray<sPLAYERLISTITEM*> aTargets;
        aTargets.Add(&item);
        CASN1::DecodePlayerList(pMsg, a, b, c, aTargets, iSize);
        break;
    }
    case eMSG_AVAILABLE_LANGUAGES_LIST:
    {
        CKorvelArray<CASN1AvailableLanguagesList::sData> aData;
        CASN1AvailableLanguagesList message(aData);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_LANGUAGE_PACK:
    {
        CASN1LanguagePack message(t1, t2, t3, a, &pBytes, iBytes);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_THEME_PACK:
    {
        CASN1ThemePack message(t1, t2, &pBytes, iBytes);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_CHALLENGE_RECEIVED:
    {
        CASN1ChallengeReceived message(llValue, a, t1, t2, b, c);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_NOTIFICATION:
    {
        CASN1Notification message(a, t1, b);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_IMAGE_AND_LINK:
    {
        CASN1ImageAndLink message(t1, &pBytes, iBytes, t2, t3, t4);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_CHAT_MESSAGE:
    {
        sCHATMSG chat;
        CASN1ChatMessage message(chat);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_REMATCH_RECEIVED:
    case eMSG_WALLET_BALANCE:
    {
        eMESSAGE_ID eId = eMSG_CONNECTION;
        CASN1ShortIntMessage message(eId, a);
        Descriptor(message, pMsg, iSize);
        break;
    }
    case eMSG_ADVERTISEMENT_INFO:
    {
        CKorvelArray<int> aFrames;
        CASN1AdvertisementInfo message(t1, t2, &pBytes, iBytes, a, b, aFrames, t3, c, t4, t5);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_AVAILABLE_ITEM_DATAS:
    {
        CKorvelArray<CASN1AvailableItemDatas::sItemData> aItems;
        CASN1AvailableItemDatas message(aItems);
        Descriptor(message, pMsg, iSize);
        break;
    }
    case eMSG_SHOP_ITEM_DATA:
    {
        CASN1ShopItemData message(a, b, &pBytes, iBytes, c);
        Descriptor(message, pMsg, iSize);
        break;
    }
    case eMSG_SHOP_ITEM_GROUPS:
    {
        CKorvelArray<CASN1ShopItemGroups::sGroupData> aGroups;
        CASN1ShopItemGroups message(a, aGroups);
        Descriptor(message, pMsg, iSize);
        break;
    }
    case eMSG_SHOP_ITEMS:
    {
        CKorvelArray<CASN1ShopItems::sItemData> aItems;
        CASN1ShopItems message(a, b, aItems);
        Descriptor(message, pMsg, iSize);
        break;
    }
    case eMSG_SHOP_ITEM_IMAGE:
    {
        CASN1ShopItemImage message(a, b, &pBytes, iBytes);
        Descriptor(message, pMsg, iSize);
        break;
    }
    case eMSG_BUY_ITEM_RESPONSE:
    {
        CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo> aPlayers;
        CASN1BuyItemResponse message(a, b, t1, aPlayers);
        Descriptor(message, pMsg, iSize);
        break;
    }
    case eMSG_CONFIRM_BUY_ITEM_RESPONSE:
    {
        CASN1ConfirmBuyItemResponse message(a, b, t1);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_UPDATE_ITEM_STATE_RESPONSE:
    {
        CASN1UpdateItemStateResponse message(a, b, t1, c);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_CONFIRM_USER_NAME_ACK:
    {
        CASN1ConfirmUserNameACK message(a, t1);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_CONFIRM_EMAIL_ACK:
    {
        CASN1ConfirmEmailACK message(a, t1);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_PLAYER_GIFT_ITEMS:
    {
        CKorvelArray<CASN1ShopItems::sItemData> aItems;
        CASN1PlayerGiftItems message(a, t1, aItems);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    case eMSG_CONFIRM_BUY_PLAYER_ITEMS_RESPONSE:
    {
        CASN1ConfirmBuyPlayerItemsResponse message(a, b, t1);
        ClassMessage(message, pMsg, iSize);
        break;
    }
    default:
        break;
    }
    delete[] pBytes;
}

// The nested readers straight on the input.
void Nested(const unsigned char* pData, int iSize)
{
    CKorvelPtrArray aPlayers;
    int iConsumed = -1;
    if (CASN1::DecodePlayersList(pData, &aPlayers, iConsumed, iSize) == KE_OK)
        Check(iConsumed > 0 && iConsumed <= iSize);
    DeletePlayers(aPlayers);
    sPLAYER_STATS stats;
    iConsumed = -1;
    if (CASN1::DecodePlayerStats(pData, stats, iConsumed, iSize) == KE_OK)
        Check(iConsumed > 0 && iConsumed <= iSize);
    CKorvelString strText;
    Check(CASN1::DecodeString(pData, strText, iSize) <= iSize);
    sDATE date = {};
    Check(CASN1::DecodeTime(pData, date, iSize) <= iSize);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    // An incomplete tail still goes to the readers of its id, cut as it is.
    return CutMessageStream(pData, uSize, true, Nested,
                            [](const unsigned char* pMsg, int iSize)
                            {
                                int iId = CASN1::GetMessageID(pMsg, iSize);
                                HandBuilt(iId, pMsg, iSize);
                                Catalogue(iId, pMsg, iSize);
                            });
}
