// Challenges from other players and the answers to them: the incoming challenge panel and
// its toast, the challenger's picture, accept and reject, and the server's answers to the
// own challenge.
#include "Framework/Lobby/VornMenuState.h"

#include <new>

#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/TextWidget.h"
#include "KorvelGraphics/KorvelSurface.h"

#include "Framework/Lobby/VornMenuWidgets.h"

namespace
{

using menu_widgets::Lobby;
using menu_widgets::SetText;

CKorvelString PlayerIconName(int iPlayerId)
{
    CKorvelString strName;
    strName.Format(L"player_avatar_icon_%d", iPlayerId);
    return strName;
}

} // namespace

void CVornMenuState::SetCachedPicture(CImageWidget* pImage, const CKorvelString& strName,
                                      unsigned char* pData, int iSize)
{
    CVornResourceManager* pResources = m_pKestrolund;
    if (!pImage || !pResources || !pData || iSize <= 0)
        return;
    CKorvelSurface* pSurface = pResources->GetSurface(strName);
    if (!pSurface)
    {
        pSurface = DecodePicture(strName, pData, iSize);
        if (!pSurface)
            return;
    }
    pImage->SetImage(pSurface);
    pResources->ReleaseSurface(pSurface);
}

CKorvelSurface* CVornMenuState::DecodePicture(const CKorvelString& strName, unsigned char* pData, int iSize)
{
    CVornResourceManager* pResources = m_pKestrolund;
    if (!pResources || !pData || iSize <= 0)
        return nullptr;
    CKorvelSurface* pSurface = new (std::nothrow) CKorvelSurface();
    if (!pSurface)
        return nullptr;
    if (pSurface->LoadFromMemory(m_pKestrolund, pData, static_cast<unsigned int>(iSize), nullptr) != KE_OK)
    {
        pSurface->Shutdown();
        delete pSurface;
        return nullptr;
    }
    pResources->AddSurface(strName, pSurface);
    pSurface->SurfaceToTexture(1);
    return pSurface;
}

KE_RETVAL CVornMenuState::actionAcceptChallenge(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pSession)
        return 1;
    // A challenge withdrawn meanwhile has nobody left to accept. The page stays until the
    // match starts or the server answers that it cannot be played.
    if (const int iChallenger = pThis->m_Challenges.Accept())
    {
        pSession->SendChallengeResponse(iChallenger, CVornNetworkSession::CHALLENGE_ACCEPTED,
                                        CKorvelString());
        pThis->DropChallengeToast();
    }
    else
        pThis->HideConfirmDialog();
    return 1;
}

KE_RETVAL CVornMenuState::actionRejectChallenge(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pSession)
        return 1;
    // The back key on the waiting page answers here too: there it withdraws the own challenge.
    if (const int iChallenger = pThis->m_Challenges.Refuse())
    {
        pSession->SendChallengeResponse(iChallenger, CVornNetworkSession::CHALLENGE_REFUSED, CKorvelString());
        pThis->DropChallengeToast();
    }
    else if (pThis->m_Challenges.Withdraw())
        pThis->SendWithdrawal();
    return 1;
}

void CVornMenuState::SendWithdrawal()
{
    if (CVornNetworkSession* pSession = Session())
        pSession->SendChallengeResponse(pSession->GetOwnUserId(), CVornNetworkSession::CHALLENGE_REFUSED,
                                        CKorvelString());
}

void CVornMenuState::DropChallengeToast()
{
    if (CVornToastNotification* pToast = m_pKestrolund ? m_pKestrolund->GetToast() : nullptr)
        pToast->Drop(CVornToastNotification::TYPE_CHALLENGE);
}

bool CVornMenuState::ShowsChallengeReceived()
{
    CVornToastNotification* pToast = m_pKestrolund ? m_pKestrolund->GetToast() : nullptr;
    return (pToast && pToast->Holds(CVornToastNotification::TYPE_CHALLENGE)) ||
           CurrentPageName().IsEqual(CKorvelString("challenge_received"));
}

void CVornMenuState::OnChallengeReceived(CVornNetworkSession*, int iPlayerId, const CKorvelString& strName,
                                         const CKorvelString&, int iRank, int iScore)
{
    CWidget* pPanel = FindInRoot("challenge_received");
    if (!pPanel)
        return;
    // One challenge at a time: the one before the player keeps its panel, and while the own
    // challenge or an accepted one waits the player takes none. The later challenger hears the
    // answer a player in a match gives instead of waiting for nothing.
    if (!m_Challenges.Receive(iPlayerId, ShowsChallengeReceived()))
    {
        if (CVornNetworkSession* pSession = Session())
            pSession->SendChallengeResponse(iPlayerId, CVornNetworkSession::CHALLENGE_REFUSED,
                                            CKorvelString());
        return;
    }
    CVornResourceManager* pResources = m_pKestrolund;
    if (CImageWidget* pAvatar =
            widget_cast<CImageWidget*>(pPanel->FindWidget(CKorvelString("player_avatar"), -1)))
    {
        // The challenger's own picture may already be set by an earlier picture call.
        CKorvelSurface* pOwn = pResources ? pResources->HaveSurface(PlayerIconName(iPlayerId)) : nullptr;
        const bool bOwnShown = pOwn && pAvatar->GetImage() == pOwn;
        if (pOwn)
            pResources->ReleaseSurface(pOwn);
        if (!bOwnShown && pResources)
        {
            CKorvelSurface* pDefault = pResources->GetSurface(CKorvelString("avatar-icon.png"));
            pAvatar->SetImage(pDefault);
            pResources->ReleaseSurface(pDefault);
        }
    }
    SetText(pPanel->FindWidget(CKorvelString("player_name"), -1), strName);
    CKorvelString strNumber;
    strNumber.FromInt(iRank, 10);
    SetText(pPanel->FindWidget(CKorvelString("player_rank"), -1), strNumber);
    strNumber.FromInt(iScore, 10);
    SetText(pPanel->FindWidget(CKorvelString("player_score"), -1), strNumber);
    // Whoever challenges is online, whatever the list last heard.
    RefreshPlayersShowingOffline(iPlayerId);
    if (m_pKestrolund)
        m_pKestrolund->ShowToastNotification(nullptr, CVornTextFormat::Format(LanguageText(37), {strName}),
                                             20.0f, -2);
}

void CVornMenuState::OnChallengeImageReceived(CVornNetworkSession*, int iPlayerId, unsigned char* pData,
                                              int iSize)
{
    CWidget* pPanel = FindInRoot("challenge_received");
    // The picture of a challenger answered at once is not the panel's.
    if (!pData || iSize == 0 || !pPanel || iPlayerId != m_Challenges.GetChallenger())
        return;
    CImageWidget* pAvatar =
        widget_cast<CImageWidget*>(pPanel->FindWidget(CKorvelString("player_avatar"), -1));
    SetCachedPicture(pAvatar, PlayerIconName(iPlayerId), pData, iSize);
}

void CVornMenuState::OnChallengeResponse(CVornNetworkSession*, int iPlayerId, const CKorvelString& strName,
                                         const CKorvelString&, int iAnswer)
{
    CVornNetworkSession* pSession = Session();
    if (!pSession)
    {
        HideChallenge();
        return;
    }
    const int iOwnId = pSession->GetOwnUserId();
    // The server withdraws a challenge from each player it asks as a refusal about himself that
    // names the challenger. It closes that challenge's toast and page, or answers the accept
    // of it (no match comes); anything else goes on: quick play, the own challenge's wait and
    // another challenger's panel.
    if (iPlayerId == iOwnId && iAnswer == CVornNetworkSession::CHALLENGE_REFUSED)
    {
        switch (m_Challenges.Withdrawn(pSession->GetRespondedChallenger()))
        {
        case CVornChallengeState::WITHDRAWN_SHOWN:
            HideConfirmDialog();
            DropChallengeToast();
            break;
        case CVornChallengeState::WITHDRAWN_ACCEPTED:
            HideChallenge();
            DropChallengeToast();
            if (m_pGame)
                m_pGame->CancelledQuickPlay();
            break;
        case CVornChallengeState::WITHDRAWN_NOTHING:
            break;
        }
        return;
    }
    if (iPlayerId == iOwnId)
    {
        HideChallenge();
        if (iAnswer == CVornNetworkSession::CHALLENGE_ACCEPTED)
            return;
        if (m_pGame)
            m_pGame->CancelledQuickPlay();
        if (iAnswer == CVornNetworkSession::CHALLENGE_BUSY)
            ShowDialog(LanguageText(4));
        return;
    }
    // An answer to the own challenge. A refusal ends the wait once everyone asked has answered:
    // the player takes challenges again at once, and no withdrawal follows. An answer from a
    // player no longer asked (a challenge before this one) leaves this one's wait alone.
    if (m_Challenges.GetOwn() == CVornChallengeState::OWN_WAITING && !m_Challenges.Asks(iPlayerId))
        return;
    if (iAnswer != CVornNetworkSession::CHALLENGE_ACCEPTED && m_Challenges.Refused(iPlayerId))
        HideChallenge();
    switch (iAnswer)
    {
    case CVornNetworkSession::CHALLENGE_REFUSED:
        ShowDialog(CVornTextFormat::Format(LanguageText(5), {strName}));
        break;
    case CVornNetworkSession::CHALLENGE_ACCEPTED:
        break;
    case CVornNetworkSession::CHALLENGE_BUSY:
        ShowDialog(LanguageText(6));
        break;
    case CVornNetworkSession::CHALLENGE_OFFLINE:
        ShowDialog(LanguageText(7));
        break;
    default:
        if (m_pGame)
            m_pGame->CancelledQuickPlay();
        break;
    }
}
