// The requests of the lobby's pages: shop and items, scores, promotion, languages,
// challenges, buddies, player lists and pictures. A guard that fails sends nothing and
// keeps nothing pending.
#include "Framework/Session/VornNetworkSession.h"

#include <cstdio>

#include "Framework/Shell/KestrolundApplication.h"

namespace
{
void SendClass(CSocketEngine* pEngine, const char* pWhat, CASN1_Message& message)
{
    if (message.Send(*pEngine) != KE_OK)
        std::fprintf(stderr, "session: %s not sent\n", pWhat);
}
} // namespace

// ---- shop and items

void CVornNetworkSession::SendRequestAd()
{
    if (IsLobbyUp())
    {
        eMESSAGE_ID eId = eMSG_REQUEST_AD;
        CASN1ShortMessage message(eId);
        SendDescriptor(m_pLobbyEngine, "RequestAd", message);
    }
}

void CVornNetworkSession::SendWalletBalance()
{
    if (IsLobbyUp())
    {
        eMESSAGE_ID eId = eMSG_GET_WALLET_BALANCE;
        CASN1ShortMessage message(eId);
        SendDescriptor(m_pLobbyEngine, "WalletBalance", message);
    }
}

void CVornNetworkSession::SendGetPossibleGiftItems(int iPlayerId)
{
    if (IsLobbyUp())
    {
        eMESSAGE_ID eId = eMSG_GET_POSSIBLE_GIFT_ITEMS;
        CASN1ShortIntMessage message(eId, iPlayerId);
        SendDescriptor(m_pLobbyEngine, "GetPossibleGiftItems", message);
    }
}

void CVornNetworkSession::SendBuyItem(int iItemId, int iFlags)
{
    if (IsLobbyUp())
    {
        eMESSAGE_ID eId = eMSG_BUY_ITEM;
        CASN1ShortInt2Message message(eId, iItemId, iFlags);
        SendDescriptor(m_pLobbyEngine, "BuyItem", message);
    }
}

void CVornNetworkSession::SendUseItem(int iItemId, int iValue)
{
    if (IsLobbyUp())
    {
        eMESSAGE_ID eId = eMSG_USE_ITEM;
        CASN1ShortInt2Message message(eId, iItemId, iValue);
        SendDescriptor(m_pLobbyEngine, "UseItem", message);
    }
}

void CVornNetworkSession::SendUpdateItemState(int iItemId, int iState)
{
    int iSent = iState ? 1 : 0;
    if (IsLobbyUp())
    {
        eMESSAGE_ID eId = eMSG_UPDATE_ITEM_STATE;
        CASN1ShortInt2Message message(eId, iItemId, iSent);
        SendDescriptor(m_pLobbyEngine, "UpdateItemState", message);
    }
}

void CVornNetworkSession::SendGetShopItemData(int iItemId, int iOffset, int iSize)
{
    if (IsLobbyUp())
    {
        eMESSAGE_ID eId = eMSG_GET_SHOP_ITEM_DATA;
        CASN1ShortInt3Message message(eId, iItemId, iOffset, iSize);
        SendDescriptor(m_pLobbyEngine, "GetShopItemData", message);
    }
}

void CVornNetworkSession::SendGetShopItemImage(const CKorvelArray<int>& aItemIds, int iLarge)
{
    if (!IsLobbyUp())
        return;
    CKorvelArray<int> aIds(aItemIds);
    CASN1GetShopItemImage message(aIds, iLarge);
    SendClass(m_pLobbyEngine, "GetShopItemImage", message);
}

void CVornNetworkSession::SendConfirmBuyItem(int iItemId, int iFlags, const CKorvelArray<int>* pRecipients)
{
    if (!IsLobbyUp())
        return;
    if (!pRecipients)
    {
        {
            eMESSAGE_ID eId = eMSG_CONFIRM_BUY_ITEM;
            CASN1ShortInt2Message message(eId, iItemId, iFlags);
            SendDescriptor(m_pLobbyEngine, "ConfirmBuyItem", message);
        }
        return;
    }
    CKorvelArray<int> aIds(*pRecipients);
    CASN1ConfirmBuyItem message(iItemId, iFlags, aIds);
    SendClass(m_pLobbyEngine, "ConfirmBuyItem", message);
}

void CVornNetworkSession::SendConfirmBuyPlayerItems(int iPlayerId, int iValue,
                                                    const CKorvelArray<int>& aItemIds)
{
    if (!IsLobbyUp())
        return;
    CKorvelArray<int> aIds(aItemIds);
    CASN1ConfirmBuyPlayerItems message(iPlayerId, iValue, aIds);
    SendClass(m_pLobbyEngine, "ConfirmBuyPlayerItems", message);
}

// ---- players, scores and promotion

void CVornNetworkSession::SendBlockUser(int iPlayerId, unsigned int uBlock)
{
    if (!IsLobbyUp())
        return;
    int iBlock = uBlock ? 1 : 0;
    CASN1BlockUser message(iPlayerId, iBlock);
    SendClass(m_pLobbyEngine, "BlockUser", message);
}

void CVornNetworkSession::SendGetTournamentScores(const CKorvelArray<int>& aPlayerIds, int iKinds, int iValue)
{
    if (!IsLobbyUp())
        return;
    CKorvelArray<int> aIds(aPlayerIds);
    CASN1GetTournamentScores message(aIds, iKinds, iValue);
    SendClass(m_pLobbyEngine, "GetTournamentScores", message);
}

void CVornNetworkSession::SendGetAchievementList(int a, int b, int c, int d)
{
    if (!IsLobbyUp())
        return;
    CASN1GetAchievementList message(a, b, c, d);
    SendClass(m_pLobbyEngine, "GetAchievementList", message);
}

void CVornNetworkSession::SendGetImageAndLink(const CKorvelString& strImage, const CKorvelString& strText)
{
    if (!IsLobbyUp())
        return;
    CASN1String2Message message(eMSG_GET_IMAGE_AND_LINK, strImage, strText);
    SendClass(m_pLobbyEngine, "GetImageAndLink", message);
}

void CVornNetworkSession::SendGetLanguagePack(const CKorvelString& strCode, const CKorvelString& strTarget)
{
    if (!IsLobbyUp())
        return;
    CASN1GetLanguagePack message(strCode, strTarget);
    SendClass(m_pLobbyEngine, "GetLanguagePack", message);
}

void CVornNetworkSession::SendGetLatestGameSessions(int a, int b)
{
    if (!m_pLobbyEngine || !m_pApplication)
        return;
    const int iAppId = m_pApplication->GetAppId();
    SendWritten(m_pLobbyEngine, "GetLatestGameSessions",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateGetLatestGameSessions(pBuf, iAppId, a, b, iSize); });
}

// ---- challenges and buddies

void CVornNetworkSession::SendChallenge(const CKorvelArray<int>& aPlayerIds, const CKorvelString& strText)
{
    if (!m_pLobbyEngine || !m_pApplication)
        return;
    const int iAppId = m_pApplication->GetAppId();
    SendWritten(m_pLobbyEngine, "MakeChallenge",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateMakeChallenge(pBuf, iAppId, aPlayerIds, strText, iSize); });
}

void CVornNetworkSession::SendChallengeResponse(int iChallengerId, int iAnswer, const CKorvelString& strText)
{
    if (!m_pLobbyEngine || !m_pApplication)
        return;
    const int iAppId = m_pApplication->GetAppId();
    const int iOwnId = m_iOwnUserId;
    const CKorvelString strEmpty;
    SendWritten(m_pLobbyEngine, "ChallengeResponse",
                [&](unsigned char* pBuf, int iSize)
                {
                    return CASN1::CreateChallengeResponse(pBuf, iAnswer, iAppId, iChallengerId, iOwnId,
                                                          strEmpty, strText, iSize);
                });
}

void CVornNetworkSession::SendBuddyRequest(int iPlayerId, int iType, int iAction,
                                           const CKorvelString& strText)
{
    if (!m_pLobbyEngine)
        return;
    const int iOwnId = m_iOwnUserId;
    if (iType == LobbyObserver::BUDDY_REQUEST)
        SendWritten(
            m_pLobbyEngine, "BuddyRequest",
            [&](unsigned char* pBuf, int iSize)
            { return CASN1::CreateBuddyRequest(pBuf, iOwnId, iPlayerId, iType, iAction, strText, iSize); });
    else if (iType == LobbyObserver::BUDDY_ACK)
        SendWritten(
            m_pLobbyEngine, "BuddyRequestACK",
            [&](unsigned char* pBuf, int iSize)
            { return CASN1::CreateBuddyRequestACK(pBuf, iPlayerId, iOwnId, 1, iAction, strText, iSize); });
}

// ---- player lists and pictures

long long CVornNetworkSession::PlayerListRequestId(int iKind, int iTag)
{
    // The tag sign-extended: every header request (tag -1) has the id -1.
    return static_cast<long long>(static_cast<unsigned long long>(static_cast<unsigned int>(iKind)) << 32) |
           static_cast<long long>(iTag);
}

unsigned int CVornNetworkSession::AddPlayerListListener(long long llId, PlayerListCallback pfnCallback,
                                                        void* pUserData)
{
    PlayerListListenerEntry entry;
    entry.m_pfnCallback = pfnCallback;
    entry.m_pUserData = pUserData;
    entry.m_uSerial = ++m_uListenerSerial;
    m_PlayerListListeners.Add(llId, entry);
    const int iAt = m_PlayerListListeners.Find(llId);
    return iAt >= 0 ? m_PlayerListListeners.GetAt(iAt).m_Second.m_uSerial : 0;
}

void CVornNetworkSession::RemovePlayerListListener(long long llId, unsigned int uSerial)
{
    const int iAt = m_PlayerListListeners.Find(llId);
    if (iAt >= 0 && m_PlayerListListeners.GetAt(iAt).m_Second.m_uSerial == uSerial)
        m_PlayerListListeners.Remove(llId);
}

long long CVornNetworkSession::SendPlayerListRequest(int iKind, const CKorvelString& strFilter, int iExtra1,
                                                     int iExtra2, int iFirst, int iCount,
                                                     PlayerListCallback pfnCallback, void* pUserData)
{
    if (!m_pLobbyEngine)
        return -1;
    m_iImagePending = 0;
    SendWritten(m_pLobbyEngine, "ListPlayers",
                [&](unsigned char* pBuf, int iSize) {
                    return CASN1::CreateListPlayers(pBuf, iKind, iFirst, iCount, strFilter, iExtra1, iExtra2,
                                                    iSize);
                });
    // Asked again while pending: the first listener stays.
    const long long llId = PlayerListRequestId(iKind, iFirst);
    AddPlayerListListener(llId, pfnCallback, pUserData);
    return llId;
}

void CVornNetworkSession::SendGetGameSessionPlayers(PlayerListCallback pfnCallback, void* pUserData)
{
    if (!IsLobbyUp())
        return;
    long long llSession = m_llGameSessionId;
    {
        eMESSAGE_ID eId = eMSG_GET_GAME_SESSION_PLAYERS;
        CASN1ShortInt64Message message(eId, llSession);
        SendDescriptor(m_pLobbyEngine, "GetGameSessionPlayers", message);
    }
    AddPlayerListListener(GAME_SESSION_PLAYERS_ID, pfnCallback, pUserData);
}

void CVornNetworkSession::SendGetPlayerImage(int a, int b, const CKorvelString& strName,
                                             PlayerImageCallback pfnCallback, void* pUserData)
{
    if (!m_pLobbyEngine || m_fImageTimer >= 0.0f)
        return;
    if (pfnCallback)
    {
        m_pfnImageCallback = pfnCallback;
        m_pImageUserData = pUserData;
        m_strImageName = strName;
    }
    SendWritten(m_pLobbyEngine, "GetPlayerImage",
                [&](unsigned char* pBuf, int iSize)
                { return CASN1::CreateGetPlayerImage(pBuf, a, b, iSize); });
    m_iImagePending = 1;
    m_fImageTimer = 0.0f;
}

void CVornNetworkSession::CancelPlayerListRequest(int iId)
{
    m_PlayerListListeners.Remove(static_cast<long long>(iId));
}

void CVornNetworkSession::CancelAllPlayerListRequests()
{
    m_PlayerListListeners.Clear();
}
