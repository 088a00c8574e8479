// The own card: the player's record, latest matches, wallet, achievements and tournament
// scores, asked for when its row loads. What came is remembered, so that the card a reload
// builds again shows all of it in its first frame without asking again.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/VornGameState.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/TextWidget.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Child;
using menu_widgets::Decimal;
using menu_widgets::EnsureData;
using menu_widgets::FreeData;
using menu_widgets::Lobby;
using menu_widgets::SetText;

namespace
{
// As many as the card has result rows.
const int LATEST_MATCHES = 6;
} // namespace

KE_RETVAL CVornMenuState::actionLoadSelf(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CVornNetworkSession* pSession = pThis ? pThis->Session() : nullptr;
    if (!pSession)
        return 1;
    pThis->m_pSelfItem = pSender;
    // The rest of what it showed follows once the row is in the tree (SettleRebuiltLists).
    if (pThis->FillKeptPlayer(pSender, KEPT_SELF))
    {
        pThis->m_bOwnCardAgain = true;
        return 1;
    }
    pThis->m_OwnCardAnswers = sOwnCardAnswers();
    pSession->SendPlayerListRequest(CVornNetworkSession::PLAYER_LIST_SELF, CKorvelString(), 0, 0, -1, 0,
                                    actionFillSelf, pThis);
    pSession->SendPlayerListRequest(CVornNetworkSession::PLAYER_LIST_SELF, CKorvelString(), 0, 0, 0, 1,
                                    actionFillSelf, pThis);
    pSession->SendGetLatestGameSessions(LATEST_MATCHES, -1);
    pSession->SendWalletBalance();
    pSession->SendGetAchievementList(0, OWN_ACHIEVEMENTS, 0, pThis->m_pGame ? pThis->m_pGame->GetAppId() : 0);
    return 1;
}

void CVornMenuState::ShowOwnCardAgain()
{
    m_bOwnCardAgain = false;
    // Copies: each step remembers what it shows again.
    const sOwnCardAnswers answers = m_OwnCardAnswers;
    for (const auto& match : answers.m_Matches)
        OnGameSessionInfoReceived(Session(), match.first, match.second);
    CKorvelArray<CASN1AchievementList::sData> aAchievements = answers.m_Achievements;
    if (answers.m_bAchievements)
        OnAchievementList(0, 0, 0, aAchievements, 0);
    if (answers.m_ScoreNames.GetCount() > 0)
        FillOwnTournamentScores(answers.m_ScoreNames, answers.m_Scores);
    if (answers.m_bCoins)
        OnWalletBalance(m_iWalletBalance);
}

KE_RETVAL CVornMenuState::actionUnloadSelf(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis)
        return 1;
    FreeData(pThis->m_pSelfItem);
    pThis->m_pSelfItem = nullptr;
    return 1;
}

KE_RETVAL CVornMenuState::actionRefreshSelf(CWidget* pSender, void* pContext)
{
    actionUnloadSelf(pSender, pContext);
    return actionLoadSelf(pSender, pContext);
}

void CVornMenuState::actionFillSelf(void* pContext, int iKind, int, int, const CKorvelArray<sPLAYER_GROUP>*,
                                    const sPLAYERLISTITEM* pItem, unsigned char* pPicture, int iPictureSize)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pThis->m_pSelfItem)
        return;
    if (pPicture && iPictureSize)
    {
        pThis->SetCachedPicture(widget_cast<CImageWidget*>(Child(pThis->m_pSelfItem, "player_avatar")),
                                CKorvelString("self_avatar"), pPicture, iPictureSize);
        return;
    }
    if (pItem && (iKind & CVornNetworkSession::PLAYER_LIST_SELF))
    {
        *EnsureData(pThis->m_pSelfItem) = *pItem;
        pThis->UpdatePlayerWidget(pThis->m_pSelfItem);
    }
}

void CVornMenuState::OnGameSessionInfoReceived(CVornNetworkSession*, int iIndex, const sGAME_SESSION& session)
{
    static const int s_aTexts[] = {42, 43, 44};
    static const unsigned int s_aColours[] = {0xFFFF0000, 0xFFFFCC00, 0xFF00FF00};
    // Only -1, 0 and 1 name a result; anything else from the server fills nothing.
    if (!m_pSelfItem || session.m_iResult < -1 || session.m_iResult > 1)
        return;
    m_OwnCardAnswers.m_Matches[iIndex] = session;
    const int iSlot = session.m_iResult + 1;
    CKorvelString strName;
    strName.Format(L"my_result_%d", iIndex + 1);
    if (CTextWidget* pResult = widget_cast<CTextWidget*>(m_pSelfItem->FindWidget(strName, -1)))
    {
        pResult->SetText(LanguageText(s_aTexts[iSlot]));
        pResult->SetColor(s_aColours[iSlot]);
    }
    strName.Format(L"my_points_%d", iIndex + 1);
    if (CTextWidget* pPoints = widget_cast<CTextWidget*>(m_pSelfItem->FindWidget(strName, -1)))
    {
        pPoints->SetText(Decimal(session.m_iPoints));
        pPoints->SetColor(s_aColours[iSlot]);
    }
    strName.Format(L"my_opponent_%d", iIndex + 1);
    SetText(m_pSelfItem->FindWidget(strName, -1), session.m_strOpponent);
}
