// Answers about players: player lists to their listeners, pictures to the pending
// request, the list listeners or the challenge, challenges received and answered, and
// buddy requests. Listeners may send or cancel requests from inside their call, so each
// entry is copied before it is called and looked up again by key afterwards.
#include "Framework/Session/VornNetworkSession.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "KorvelGraphics/KorvelSurface.h"

void CVornNetworkSession::HandlePlayerList(const unsigned char* pData, int iSize)
{
    int iCount = 0, iTag = 0, iKind = 0;
    CKorvelArray<sPLAYERLISTITEM> aItems;
    CKorvelArray<sPLAYER_GROUP> aGroups;
    CASN1PlayerList message(iCount, iTag, iKind, aItems, aGroups);
    if (!message.Decode(pData, iSize))
        return;
    const long long llId = PlayerListRequestId(iKind, iTag);
    const int iAt = m_PlayerListListeners.Find(llId);
    if (iAt < 0)
        return;
    const PlayerListListenerEntry entry = m_PlayerListListeners.GetAt(iAt).m_Second;
    // A listener cancelled (or replaced) from inside a call hears nothing more.
    auto stillListening = [&]
    {
        const int i = m_PlayerListListeners.Find(llId);
        return !m_uShutDown && i >= 0 && m_PlayerListListeners.GetAt(i).m_Second.m_uSerial == entry.m_uSerial;
    };
    if (!entry.m_pfnCallback)
    {
        RemovePlayerListListener(llId, entry.m_uSerial);
        return;
    }
    CDeliveryScope scope(*this);
    if (iTag < 0)
    {
        entry.m_pfnCallback(entry.m_pUserData, iKind, iTag, iCount, aGroups.GetCount() ? &aGroups : nullptr,
                            nullptr, nullptr, 0);
        if (!stillListening())
            return;
    }
    CKorvelArray<int> aIds;
    for (int i = 0; i < aItems.GetCount(); ++i)
    {
        const int iItemTag = static_cast<int>(static_cast<unsigned int>(iTag) + static_cast<unsigned int>(i));
        entry.m_pfnCallback(entry.m_pUserData, iKind, iItemTag, iCount, nullptr, &aItems[i], nullptr, 0);
        if (!stillListening())
            return;
        const int iPlayerId = aItems[i].m_iPlayerId;
        aIds.Add(iPlayerId);
        PlayerListListenerEntry picture = entry;
        picture.m_uSerial = ++m_uListenerSerial;
        m_PlayerImageListeners.Add(iPlayerId, picture); // an earlier listener of the player stays
    }
    if (iTag >= 0)
    {
        if (iKind & PLAYER_LIST_FOLLOW_MASK)
            SendGetTournamentScores(aIds, 4, 1);
        else if (iKind & PLAYER_LIST_GAME_SESSION)
            SendGetTournamentScores(aIds, 32, 1);
        else if (iKind & PLAYER_LIST_SELF)
            SendGetTournamentScores(aIds, 1, 0);
        else
            SendGetTournamentScores(aIds, 2, 1);
    }
    RemovePlayerListListener(llId, entry.m_uSerial);
}

void CVornNetworkSession::HandlePlayerImage(const unsigned char* pData, int iSize)
{
    int iPlayerId = 0, iValue = 0, iImageSize = 0;
    unsigned char* pImage = nullptr;
    if (CASN1::DecodePlayerImage(pData, iPlayerId, iValue, &pImage, iImageSize, iSize) != KE_OK || !pImage)
    {
        delete[] pImage;
        return;
    }
    CDeliveryScope scope(*this);
    if (m_iImagePending && m_pfnImageCallback)
    {
        const PlayerImageCallback pfnCallback = m_pfnImageCallback;
        void* pUserData = m_pImageUserData;
        const CKorvelString strName(m_strImageName);
        m_iImagePending = 0;
        m_pfnImageCallback = nullptr;
        m_fImageTimer = -1.0f;
        // A picture that does not load is no picture: the callback hears null, as after
        // the time-out, and what the loader left is released here.
        CKorvelSurface* pSurface = new (std::nothrow) CKorvelSurface;
        if (pSurface && pSurface->LoadFromMemory(m_pApplication, pImage,
                                                 static_cast<unsigned int>(iImageSize), nullptr) != KE_OK)
        {
            pSurface->Shutdown();
            delete pSurface;
            pSurface = nullptr;
        }
        pfnCallback(pSurface, strName, pUserData);
    }
    const int iAt = m_uShutDown ? -1 : m_PlayerImageListeners.Find(iPlayerId);
    if (iAt >= 0)
    {
        const PlayerListListenerEntry entry = m_PlayerImageListeners.GetAt(iAt).m_Second;
        if (entry.m_pfnCallback)
            entry.m_pfnCallback(entry.m_pUserData, 0, iPlayerId, 0, nullptr, nullptr, pImage, iImageSize);
        const int iNow = m_PlayerImageListeners.Find(iPlayerId);
        if (iNow >= 0 && m_PlayerImageListeners.GetAt(iNow).m_Second.m_uSerial == entry.m_uSerial)
            m_PlayerImageListeners.Remove(iPlayerId);
    }
    else if (!m_uShutDown && iPlayerId == m_iChallengeId)
    {
        m_iChallengeId = -1;
        Notify(m_LobbyObservers,
               [&](LobbyObserver* p) { p->OnChallengeImageReceived(this, iPlayerId, pImage, iImageSize); });
    }
    delete[] pImage;
}

void CVornNetworkSession::HandleChallengeReceived(const unsigned char* pData, int iSize)
{
    long long llValue = 0;
    int iChallenger = 0, iValue1 = 0, iValue2 = 0;
    CKorvelString strName, strText;
    CASN1ChallengeReceived message(llValue, iChallenger, strName, strText, iValue1, iValue2);
    if (!message.Decode(pData, iSize))
        return;
    const bool bFree = !m_iInQueue && !(m_pGameEngine && m_pGameEngine->IsConnected(0));
    if (!bFree)
    {
        SendChallengeResponse(iChallenger, CHALLENGE_REFUSED, CKorvelString());
        return;
    }
    Notify(m_LobbyObservers, [&](LobbyObserver* p)
           { p->OnChallengeReceived(this, iChallenger, strName, strText, iValue1, iValue2); });
    if (m_uShutDown)
        return;
    CKorvelArray<int> aIds;
    aIds.Add(iChallenger);
    SendGetTournamentScores(aIds, 8, 1);
    // The challenger's picture goes to OnChallengeImageReceived.
    m_iChallengeId = iChallenger;
}

void CVornNetworkSession::HandleChallengeResponse(const unsigned char* pData, int iSize)
{
    int iAnswer = 0, iAppId = 0, iChallenger = 0, iResponder = 0;
    CKorvelString strName, strText;
    if (CASN1::DecodeChallengeResponse(pData, iAnswer, iAppId, iChallenger, iResponder, strName, strText,
                                       iSize) != KE_OK)
        return;
    m_iRespondedChallenger = iChallenger;
    Notify(m_LobbyObservers,
           [&](LobbyObserver* p) { p->OnChallengeResponse(this, iResponder, strName, strText, iAnswer); });
}

void CVornNetworkSession::HandleBuddyRequest(const unsigned char* pData, int iSize, int iTypeOffset)
{
    int iPlayer = 0, iOther = 0, iType = 0, iAction = 0;
    CKorvelString strText1, strText2;
    if (CASN1::DecodeBuddyRequest(pData, iPlayer, iOther, iType, iAction, strText1, strText2, iSize) != KE_OK)
        return;
    const auto eType = static_cast<LobbyObserver::EBuddyRequestType>(iType + iTypeOffset);
    const auto eAction = static_cast<LobbyObserver::EBuddyRequestAction>(iAction);
    Notify(m_LobbyObservers,
           [&](LobbyObserver* p) { p->OnBuddyRequest(this, iPlayer, eType, eAction, strText1, strText2); });
}
