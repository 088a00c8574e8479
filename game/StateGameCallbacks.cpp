// The framework's game callbacks: the network match's start, the opponent leaving,
// chat lines and the questions the lobby asks.
#include "game/StateGame.h"

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornStatistics.h"
#include "game/MoxRenderer.h"

void CStateGame::StartGame(unsigned int uStart)
{
    if (!m_pApp)
        return;
    m_bLobbyDisconnected = m_bGameDisconnected = 0;
    m_pApp->RandSeed((unsigned int)Tick(m_StepTimer));
    m_bSessionEnded = 0;
    RemoveStates();
    CMoxPlayStateBase* pPlay = dynamic_cast<CMoxPlayStateBase*>(AddState(STATE_PLAY));
    if (!pPlay)
        return;

    bool bFailed = false;
    for (int i = 0; i < 2; ++i)
    {
        CVornPlayer* pPlayer = GetPlayer(i);
        if (pPlayer)
            pPlay->SetPlayerIdentity(i, pPlayer->m_iUserId, pPlayer->m_strName);
        else
        {
            pPlay->SetPlayerIdentity(i, -1, CKorvelString(i == 0 ? "Player1" : "Player2"));
            bFailed = true;
        }
    }
    pPlay->m_iOwnPlayer = GetPlayerId() != pPlay->GetPlayerUserId(0) ? 1 : 0;
    pPlay->m_iOpponent = 1 - pPlay->m_iOwnPlayer;

    if (bFailed)
    {
        // Without both players the match ends at once as a tie.
        pPlay->CreateRanks(666);
        pPlay->GameEnd(0);
        pPlay->Rematch(0);
        return;
    }
    if (uStart)
    {
        pPlay->m_bMaster = 1;
        pPlay->RandomizeStart();
    }
    else
        pPlay->m_bMaster = 0;
}

void CStateGame::OpponentLeft(int iPlayerId)
{
    CMoxPlayStateBase* pPlay = GetPlayState();
    if (!pPlay || pPlay->HasMatchEnded())
        return;
    pPlay->m_bOpponentLeft = 1;
    if (iPlayerId == pPlay->GetPlayerUserId(0))
    {
        pPlay->CreateRanks(1);
        pPlay->GameOver(1);
    }
    else if (iPlayerId == pPlay->GetPlayerUserId(1))
    {
        pPlay->CreateRanks(0);
        pPlay->GameOver(1);
    }
}

unsigned int CStateGame::MatchRunning()
{
    CMoxPlayStateBase* pPlay = GetPlayState();
    return pPlay && !pPlay->HasMatchEnded() && !pPlay->m_bOpponentLeft ? 1 : 0;
}

float CStateGame::OwnTurnProgress()
{
    CMoxPlayStateBase* pPlay = GetPlayState();
    return pPlay ? pPlay->GetTurnTimeFactor() : 0.0f;
}

unsigned int CStateGame::UsesFullscreen()
{
    return (GetIntroState() || GetPlayState()) ? 1 : 0;
}

void CStateGame::CancelledQuickPlay()
{
    if (CMoxState* pConnecting = GetState(STATE_CONNECTING))
        pConnecting->Remove();
}

unsigned int CStateGame::OnChatMessage(sCHATMSG* pMessage, unsigned int uFromOpponent)
{
    if (!pMessage || pMessage->m_iType != sCHATMSG::TYPE_LINE)
        return 0;
    CMoxPlayStateBase* pPlay = GetPlayState();
    if (!pPlay || !m_pRenderer)
        return 1;
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const int iSender = uFromOpponent ? pPlay->m_iOpponent : pPlay->m_iOwnPlayer;
    CKorvelVector2 vPosition, vTarget;
    IMoxChat::SpeakerPlace(iSender, w, h, vPosition, vTarget);
    if (!uFromOpponent)
    {
        if (m_pChat)
            m_pChat->AddMessage(pMessage->m_strText, CKorvelString("Me"), pPlay->GetPlayerColour(iSender),
                                vPosition, vTarget, 0);
        if (!m_bChatHelpPlayed)
        {
            CVornStatistics* pStats = m_pApp ? m_pApp->GetStatistics() : nullptr;
            const CKorvelString strKey("quorvalin_chathelpplayed");
            if (pStats && !pStats->GetProperty(strKey))
            {
                CVornStatisticsProperty* pProperty = pStats->AddProperty(strKey);
                if (!pProperty)
                    return 1;
                pProperty->SetBool(1);
                pStats->WriteStatistics();
            }
            m_bChatHelpPlayed = 1;
        }
    }
    else if (m_pChat)
        m_pChat->AddMessage(pMessage->m_strText, CKorvelString("Opponent"), pPlay->GetPlayerColour(iSender),
                            vPosition, vTarget, 0);
    return 1;
}
