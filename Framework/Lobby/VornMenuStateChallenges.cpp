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
    // A challenge withdrawn meanwhile has nobody left to accept.
    if (pThis->m_iChallengePartnerId > 0 && pThis->m_iChallengePartnerId != pSession->GetOwnUserId())
    {
        pSession->SendChallengeResponse(pThis->m_iChallengePartnerId, 1, CKorvelString());
        pThis->m_iAcceptedChallenger = pThis->m_iChallengePartnerId;
    }
    else
        pThis->HideConfirmDialog();
    return 1;
}

KE_RETVAL CVornMenuState::actionRejectChallenge(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pSession || pThis->m_iChallengePartnerId <= 0)
        return 1;
    pSession->SendChallengeResponse(pThis->m_iChallengePartnerId, 0, CKorvelString());
    // Answered, or the own challenge withdrawn: nothing is left to answer or withdraw later.
    if (pThis->m_iChallengePartnerId == pSession->GetOwnUserId())
        pThis->m_fQueueTimer = 0.0f;
    pThis->m_iChallengePartnerId = 0;
    return 1;
}

void CVornMenuState::ForgetChallengeReceived()
{
    if (CVornToastNotification* pToast = m_pKestrolund ? m_pKestrolund->GetToast() : nullptr)
        pToast->Drop(CVornToastNotification::TYPE_CHALLENGE);
    // The own challenge, if one runs, is still to be withdrawn when its time is up.
    CVornNetworkSession* pSession = Session();
    if (pSession && m_iChallengePartnerId != pSession->GetOwnUserId())
        m_iChallengePartnerId = 0;
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
    // One challenge at a time: the one before the player keeps its panel, and the later
    // challenger hears the answer a player in a match gives instead of waiting for nothing.
    // The own challenge waiting for its answer is one too: its withdrawal when the time is up
    // goes out by the own id, which a newcomer must not take over.
    CVornNetworkSession* pSession = Session();
    const int iOwnId = pSession ? pSession->GetOwnUserId() : 0;
    const bool bOtherShown = m_iChallengePartnerId > 0 && m_iChallengePartnerId != iPlayerId && pSession &&
                             m_iChallengePartnerId != iOwnId && ShowsChallengeReceived();
    const bool bOwnWaiting =
        pSession && m_iChallengePartnerId > 0 && m_iChallengePartnerId == iOwnId && m_fQueueTimer > 0.0f;
    if (bOtherShown || bOwnWaiting)
    {
        pSession->SendChallengeResponse(iPlayerId, 0, CKorvelString());
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
    m_iChallengePartnerId = iPlayerId;
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
    if (!pData || iSize == 0 || !pPanel || iPlayerId != m_iChallengePartnerId)
        return;
    CImageWidget* pAvatar =
        widget_cast<CImageWidget*>(pPanel->FindWidget(CKorvelString("player_avatar"), -1));
    SetCachedPicture(pAvatar, PlayerIconName(iPlayerId), pData, iSize);
}

void CVornMenuState::OnChallengeResponse(CVornNetworkSession*, int iPlayerId, const CKorvelString& strName,
                                         const CKorvelString&, int iAnswer)
{
    CVornNetworkSession* pSession = Session();
    const int iOwnId = pSession ? pSession->GetOwnUserId() : 0;
    // The server withdraws a challenge from each player it asks as a refusal about himself that
    // names the challenger. Unless it answers the player's own accept, it closes that challenge's
    // toast and panel and nothing else: quick play, the own challenge's wait and another
    // challenger's panel go on.
    if (pSession && iPlayerId == iOwnId && iAnswer == 0)
    {
        const int iChallenger = pSession->GetRespondedChallenger();
        if (m_iAcceptedChallenger <= 0 || iChallenger != m_iAcceptedChallenger)
        {
            if (iChallenger > 0 && iChallenger == m_iChallengePartnerId)
            {
                HideConfirmDialog();
                ForgetChallengeReceived();
            }
            return;
        }
        m_iAcceptedChallenger = 0;
    }
    HideChallenge();
    if (!pSession)
        return;
    if (iPlayerId == iOwnId)
    {
        if (iAnswer == 1)
            return;
        if (iAnswer == 0)
            ForgetChallengeReceived();
        if (m_pGame)
            m_pGame->CancelledQuickPlay();
        if (iAnswer == 2)
            ShowDialog(LanguageText(4));
        return;
    }
    // The waiting time runs on: when it is up the own challenge is withdrawn, which the
    // server takes as a late answer when this one already closed it.
    switch (iAnswer)
    {
    case 0:
        ShowDialog(CVornTextFormat::Format(LanguageText(5), {strName}));
        break;
    case 1:
        break;
    case 2:
        ShowDialog(LanguageText(6));
        break;
    case 3:
        ShowDialog(LanguageText(7));
        break;
    default:
        if (m_pGame)
            m_pGame->CancelledQuickPlay();
        break;
    }
}
