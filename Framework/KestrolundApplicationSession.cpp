// The application object: what the network session reports, the lobby forwards the
// game uses, and toasts. The match-related handling (results, rematch, log-out, chat,
// the observers' forwards) is not built yet: those operations do nothing for now.
#include "Framework/KestrolundApplication.h"

#include "Framework/VornDevice.h"
#include "Framework/VornMenuState.h"
#include "Framework/VornStatistics.h"
#include "Framework/VornToastNotification.h"

// ---- toasts

void CKestrolundApplication::OnNotification(CVornNetworkSession*, int, int iType,
                                            const CKorvelString& strText)
{
    ShowToastNotification(nullptr, strText, 0.0f, iType);
}

void CKestrolundApplication::ShowToastNotification(CKorvelSurface*, const CKorvelString& strText,
                                                   float fSeconds, int iType)
{
    if (m_uNotificationFilter && (iType == 1 || iType == 2))
    {
        const unsigned int uInMatch = m_pLobbyState && m_pLobbyState->IsInMatch();
        if (((m_uNotificationFilter & 1) && uInMatch) || (m_uNotificationFilter & 2))
            return;
    }
    if (!m_pToast)
        return;
    m_pToast->Add(strText, iType, fSeconds);
    if (m_pDevice)
        m_pDevice->Vibrate(CVornDevice::VIBRA_SHORT);
}

void CKestrolundApplication::SetNotificationFilter(unsigned int uBits)
{
    m_uNotificationFilter = uBits;
    if (!m_pStatistics)
        return;
    const CKorvelString strName("__Vorn_NotificationFilter");
    CVornStatisticsProperty* pProperty = m_pStatistics->GetProperty(strName);
    if (!pProperty)
        pProperty = m_pStatistics->AddProperty(strName);
    if (pProperty && pProperty->m_iIntValue != static_cast<int>(uBits))
        pProperty->SetInt(static_cast<int>(uBits));
}

// ---- the lobby's answers to the game; none without a lobby

const CKorvelString& CKestrolundApplication::GetVornUserName()
{
    static const CKorvelString s_strNone;
    return m_pLobbyState ? m_pLobbyState->GetCurrentUserName() : s_strNone;
}

const CKorvelArray<CVornApplication::sItemData>& CKestrolundApplication::GetItems()
{
    static const CKorvelArray<sItemData> s_None;
    return m_pLobbyState ? m_pLobbyState->GetItems() : s_None;
}

void CKestrolundApplication::GetItemFile(int iFileId, CKorvelString& strPath)
{
    if (m_pLobbyState)
        m_pLobbyState->GetItemFile(iFileId, strPath);
}

void CKestrolundApplication::UseItem(int iItemId, int iValue)
{
    if (m_pLobbyState)
        m_pLobbyState->UseItem(iItemId, iValue);
}

void CKestrolundApplication::GetVornArea(CKorvelRect<int>& rect)
{
    if (m_pLobbyState)
        m_pLobbyState->GetVornArea(rect);
    else
        rect = CKorvelRect<int>();
}

unsigned int CKestrolundApplication::IsGuestLogin()
{
    return m_pLobbyState ? m_pLobbyState->IsGuestLogin() : 0;
}

unsigned int CKestrolundApplication::IsLoggedIn()
{
    return m_pLobbyState ? m_pLobbyState->IsLoggedIn() : 0;
}

void CKestrolundApplication::OnGameplayEnd(unsigned int uLeave)
{
    if (m_pLobbyState)
        m_pLobbyState->OnGameplayEnd(uLeave);
}

void CKestrolundApplication::QuickExit()
{
    if (m_pLobbyState)
        m_pLobbyState->QuickExit();
}

void CKestrolundApplication::RefillItem(int iItemId)
{
    if (m_pLobbyState)
        m_pLobbyState->ShowRefillDialog(iItemId);
}

// ---- not built yet

void CKestrolundApplication::Logout(unsigned int) {}
void CKestrolundApplication::Relogin() {}
void CKestrolundApplication::SwitchToPage(eCLIENTPAGE) {}
void CKestrolundApplication::OnLobbyStatusChanged(CVornNetworkSession*, unsigned int) {}
void CKestrolundApplication::OnGameStatusChanged(CVornNetworkSession*, unsigned int) {}
void CKestrolundApplication::OnChatMessage(CVornNetworkSession::sCHATMSG*, unsigned int) {}
void CKestrolundApplication::SendChatMessage(const CKorvelString&, CVornNetworkSession::eCHAT_MSGTYPE) {}
void CKestrolundApplication::SendChatMessage(CVornNetworkSession::eCHAT_MSGTYPE) {}
void CKestrolundApplication::OnGameEnd() {}
void CKestrolundApplication::OnQueueUpdate(CVornNetworkSession*, int, int, int) {}
void CKestrolundApplication::OnQueueCancelled(CVornNetworkSession*) {}
void CKestrolundApplication::OnGameSessionInfoReceived(CVornNetworkSession*, int, const sGAME_SESSION&) {}
void CKestrolundApplication::OnBuddyRequest(CVornNetworkSession*, int, EBuddyRequestType, EBuddyRequestAction,
                                            const CKorvelString&, const CKorvelString&)
{
}
void CKestrolundApplication::OnChallengeReceived(CVornNetworkSession*, int, const CKorvelString&,
                                                 const CKorvelString&, int, int)
{
}
void CKestrolundApplication::OnChallengeResponse(CVornNetworkSession*, int, const CKorvelString&,
                                                 const CKorvelString&, int)
{
}
void CKestrolundApplication::OnChallengeImageReceived(CVornNetworkSession*, int, unsigned char*, int) {}
void CKestrolundApplication::OnRematchReceived(int) {}
void CKestrolundApplication::OnAvailableShopItemDatas(const CKorvelArray<CASN1AvailableItemDatas::sItemData>&)
{
}
void CKestrolundApplication::OnShopItemData(int, int, unsigned char*, int, int) {}
void CKestrolundApplication::OnWalletBalance(int) {}
void CKestrolundApplication::OnShopItemGroups(int, const CKorvelArray<CASN1ShopItemGroups::sGroupData>&) {}
void CKestrolundApplication::OnShopItems(int, int, const CKorvelArray<CASN1ShopItems::sItemData>&) {}
void CKestrolundApplication::OnShopItemImage(int, int, unsigned char*, int) {}
void CKestrolundApplication::OnBuyItemResponce(int, int, const CKorvelString&,
                                               const CKorvelArray<CASN1BuyItemResponse::sBuyItemPlayerInfo>&)
{
}
void CKestrolundApplication::OnConfirmBuyItemResponce(int, int, const CKorvelString&) {}
void CKestrolundApplication::OnUpdateItemStateResponse(int, int, const CKorvelString&, int) {}
void CKestrolundApplication::OnPlayerGiftItems(int, CKorvelString&,
                                               const CKorvelArray<CASN1ShopItems::sItemData>&)
{
}
void CKestrolundApplication::OnConfirmBuyPlayerItemsResponse(int, int, CKorvelString&) {}
void CKestrolundApplication::OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>&, int)
{
}
void CKestrolundApplication::OnTournamentScores(CKorvelArray<CKorvelString>&,
                                                CKorvelArray<CASN1TournamentScores::sData>&, int)
{
}
void CKestrolundApplication::OnImageAndLink(const CKorvelString&, int, const unsigned char*,
                                            const CKorvelString&, const CKorvelString&, const CKorvelString&)
{
}
void CKestrolundApplication::OnGameMessage(CVornNetworkSession*, unsigned char*, unsigned int) {}
void CKestrolundApplication::OnGameStart(CVornNetworkSession*, int, unsigned int) {}
void CKestrolundApplication::OnPlayerDisconnected(CVornNetworkSession*, int) {}
void CKestrolundApplication::OnAdvertisement(const CKorvelString&, const CKorvelString&, int,
                                             const unsigned char*, int, int, const CKorvelArray<int>&,
                                             const CKorvelString&, int, const CKorvelString&,
                                             const CKorvelString&)
{
}
