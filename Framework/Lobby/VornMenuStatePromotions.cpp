// The server's decorations of the lobby pages: recent achievements, tournament scores and the
// promotion buttons.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Session/asn1_hile_players.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/GridLayout.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/WebButton.h"

#include "Framework/Lobby/VornMenuWidgets.h"

namespace
{
using menu_widgets::Decimal;
using menu_widgets::SetText;

// Clones of an earlier answer go first, so a repeated answer never adds rows twice.
void RemoveScoreRows(CWidget* pGrid)
{
    const CKorvelString strPrefix("me_score_");
    CKorvelArray<CWidget*>& aChildren = pGrid->GetWidgets();
    for (int i = aChildren.GetCount() - 1; i >= 0; --i)
    {
        const CKorvelString& strName = aChildren[i]->GetName();
        if (strName.BeginsWith(strPrefix))
            pGrid->DeleteWidget(aChildren[i]);
    }
}
} // namespace

void CVornMenuState::OnAchievementList(int, int, int, CKorvelArray<CASN1AchievementList::sData>& aRecords,
                                       int)
{
    m_OwnCardAnswers.m_bAchievements = true;
    m_OwnCardAnswers.m_Achievements = aRecords;
    if (!m_pPageView)
        return;
    CVornResourceManager* pResources = m_pKestrolund;
    for (int k = 1; k <= OWN_ACHIEVEMENTS; ++k)
    {
        CKorvelString strName;
        strName.Format(L"my_achievement_%d", k);
        CTextWidget* pText = widget_cast<CTextWidget*>(m_pPageView->FindWidget(strName, -1));
        if (!pText)
            continue;
        strName.Format(L"my_achievement_image_%d", k);
        CImageWidget* pIcon = widget_cast<CImageWidget*>(m_pPageView->FindWidget(strName, -1));
        if (k <= aRecords.GetCount())
        {
            pText->SetText(aRecords[k - 1].m_strText0);
            if (pIcon && pResources)
            {
                CKorvelSurface* pTrophy = pResources->GetSurface(CKorvelString("cl-icon-trophy.png"));
                pIcon->SetImage(pTrophy);
                pResources->ReleaseSurface(pTrophy);
            }
        }
        else
        {
            pText->SetText(CKorvelString());
            if (pIcon)
                pIcon->SetImage(nullptr);
        }
    }
}

void CVornMenuState::OnTournamentScores(CKorvelArray<CKorvelString>& aNames,
                                        CKorvelArray<CASN1TournamentScores::sData>& aRecords, int iKinds)
{
    if (aNames.GetCount() == 0 || aRecords.GetCount() == 0)
        return;
    CVornNetworkSession* pSession = Session();
    if (iKinds & 1)
    {
        if (pSession && aRecords[0].m_iUserId == pSession->GetOwnUserId())
            FillOwnTournamentScores(aNames, aRecords[0]);
        return;
    }
    if (iKinds & (2 | 4 | 32))
    {
        if (!(iKinds & (2 | 4)))
        {
            StoreChatRowScores(aRecords);
            return;
        }
        CKorvelMap<int, CWidget*>& rows = (iKinds & 2) ? m_GlobalListItems : m_FollowListItems;
        for (int r = 0; r < aRecords.GetCount(); ++r)
        {
            if (aRecords[r].m_aScores.GetCount() < 1)
                continue;
            const CKorvelString strScore = Decimal(aRecords[r].m_aScores[0]);
            for (int i = 0; i < rows.GetCount(); ++i)
            {
                CWidget* pRow = rows.GetAt(i).m_Second;
                // A row gets its player record only when its item call ran.
                const sPLAYERLISTITEM* pPlayer =
                    pRow ? static_cast<const sPLAYERLISTITEM*>(pRow->GetData()) : nullptr;
                if (!pPlayer || pPlayer->m_iPlayerId != aRecords[r].m_iUserId)
                    continue;
                menu_widgets::ShowScore(pRow, strScore);
            }
        }
        return;
    }
    if ((iKinds & 8) && CurrentPageName().IsEqual(CKorvelString("challenge_received")) &&
        aRecords[0].m_aScores.GetCount() > 0)
    {
        CWidget* pPage = m_pPageView->GetCurrentPage();
        SetText(pPage->FindWidget(CKorvelString("player_score"), -1), Decimal(aRecords[0].m_aScores[0]));
    }
}

// The chat list's rows show no score: it is kept in each row's player record, the first
// loaded row of a player only.
void CVornMenuState::StoreChatRowScores(const CKorvelArray<CASN1TournamentScores::sData>& aRecords)
{
    for (int r = 0; r < aRecords.GetCount(); ++r)
    {
        if (aRecords[r].m_aScores.GetCount() < 1)
            continue;
        for (int i = 0; i < m_ChatListItems.GetCount(); ++i)
        {
            CWidget* pRow = m_ChatListItems.GetAt(i).m_Second;
            sPLAYERLISTITEM* pPlayer = pRow ? static_cast<sPLAYERLISTITEM*>(pRow->GetData()) : nullptr;
            if (pPlayer && pPlayer->m_iPlayerId == aRecords[r].m_iUserId)
            {
                pPlayer->m_iTournamentScore = aRecords[r].m_aScores[0];
                break;
            }
        }
    }
}

void CVornMenuState::FillOwnTournamentScores(const CKorvelArray<CKorvelString>& aNames,
                                             const CASN1TournamentScores::sData& record)
{
    CGridLayout* pGrid =
        m_pPageView
            ? widget_cast<CGridLayout*>(m_pPageView->FindWidget(CKorvelString("tournament_scores_list"), -1))
            : nullptr;
    if (!pGrid)
        return;
    m_OwnCardAnswers.m_ScoreNames = aNames;
    m_OwnCardAnswers.m_Scores = record;
    const int iRows = (aNames.GetCount() + 1) / 2;
    RemoveScoreRows(pGrid);
    CWidget* pTemplate = pGrid->FindWidget(CKorvelString("score_item"), -1);

    CWidget* pContainer = pGrid->FindWidgetByPath(CKorvelString("<tournament_container"));
    CWidget* pScoresRoot = pGrid->FindWidgetByPath(CKorvelString("<tournament_scores_root"));
    CWidget* pCard = pGrid->FindWidgetByPath(CKorvelString("<0"));
    if (pContainer && pScoresRoot && pCard)
    {
        // Sized from the template row, so a repeated answer leaves the card as it is.
        const CKorvelRect<int> rcGrid = pGrid->GetArea();
        const int iRowHeight = pTemplate ? pTemplate->GetArea().GetHeight() : rcGrid.GetHeight();
        const int iHeight = iRowHeight * iRows;
        const int iGrowth = iHeight - rcGrid.GetHeight();
        CKorvelRect<int> rc = pContainer->GetArea();
        rc.bottom = rc.top + iHeight;
        pContainer->SetArea(rc);
        rc = rcGrid;
        rc.bottom = rc.top + iHeight;
        pGrid->SetArea(rc);
        pScoresRoot->SetArea(rc);
        pGrid->DoUpdate(0.0f);
        rc = pCard->GetArea();
        rc.bottom += iGrowth;
        pCard->SetArea(rc);
    }
    pGrid->SetNumRows(iRows);

    if (!pTemplate || record.m_aScores.GetCount() != aNames.GetCount())
        return;
    for (int i = 0; i < aNames.GetCount(); ++i)
    {
        CWidget* pRow = pTemplate->Clone();
        if (!pRow)
            continue;
        pRow->SetVisible(1);
        CKorvelString strName;
        strName.Format(L"me_score_%s", aNames[i].GetBuffer());
        pRow->SetName(strName);
        SetText(pRow->FindWidget(CKorvelString("score_name"), -1), aNames[i]);
        SetText(pRow->FindWidget(CKorvelString("score_number"), -1), Decimal(record.m_aScores[i]));
        pGrid->AddWidget(pRow);
    }
}

void CVornMenuState::OnImageAndLink(const CKorvelString& strId, int iSize, const unsigned char* pImage,
                                    const CKorvelString& strUrl, const CKorvelString& strLabel,
                                    const CKorvelString&)
{
    CVornResourceManager* pResources = m_pKestrolund;
    if (!pResources)
        return;
    CKorvelString strName;
    strName.Format(L"imageandlink_%s", strId.GetBuffer());
    // A stored surface is borrowed and given back; a new one keeps the reference it is added
    // with, so later layouts still find it when no widget holds it.
    CKorvelSurface* pSurface = pResources->HaveSurface(strName);
    CKorvelSurface* pBorrowed = pSurface;
    if (!pSurface)
    {
        pSurface = DecodePicture(strName, const_cast<unsigned char*>(pImage), iSize);
        if (!pSurface)
            return;
    }

    CWidget* pFind = m_pPageView;
    if (strId.IsEqual(CKorvelString("moregames")))
    {
        CWebButton* pMore =
            pFind ? widget_cast<CWebButton*>(pFind->FindWidget(CKorvelString("button_moregames"), -1))
                  : nullptr;
        if (pMore)
        {
            pMore->SetImage(pSurface);
            pMore->SetUrl(strUrl);
        }
    }
    else if (strId.IsEqual(CKorvelString("tournaments")) && pFind)
    {
        if (CWebButton* pButton =
                widget_cast<CWebButton*>(pFind->FindWidget(CKorvelString("button-tournaments"), -1)))
        {
            pButton->SetUrl(strUrl);
            pButton->SetVisible(1);
        }
        if (CImageWidget* pIcon =
                widget_cast<CImageWidget*>(pFind->FindWidget(CKorvelString("cl-icon-tournament"), -1)))
            pIcon->SetImage(pSurface);
        SetText(pFind->FindWidget(CKorvelString("label-tournament"), -1), strLabel);
    }
    pResources->ReleaseSurface(pBorrowed);
}
