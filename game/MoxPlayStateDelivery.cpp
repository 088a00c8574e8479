// Delivery to the opponent, one event in flight at a time, and the replay of a recorded
// turn at the pace of the game clock.
#include "game/MoxEvent.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
const unsigned int kResendMs = 10000;
const float kViewGoal = 512.0f;

int EventId(const CMoxEvent* pEvent)
{
    return pEvent->m_iSize >= MoxField::HEADER_SIZE ? MoxGetI32(pEvent->m_pPayload, MoxField::ID) : -1;
}

int EventTime(const CMoxEvent* pEvent)
{
    return pEvent->m_iSize >= MoxField::HEADER_SIZE ? MoxGetI32(pEvent->m_pPayload, MoxField::TIME) : -1;
}
} // namespace

void CMoxPlayState::HandleNetworkEvents()
{
    if (!m_pOutgoingEvents || !m_pAckEvents)
        return;
    if (m_bSinglePlayer)
    {
        m_pOutgoingEvents->Clear();
        m_pAckEvents->Clear();
        return;
    }
    // Each acknowledgement of the front event lets the next one go, in the same frame.
    while (CMoxEvent* pFront = m_pOutgoingEvents->GetEvent())
    {
        const int iId = EventId(pFront);
        int iAck = 0;
        while (iAck < m_pAckEvents->GetNumEvents() && EventId(m_pAckEvents->GetEvent(iAck)) != iId)
            ++iAck;
        if (iAck == m_pAckEvents->GetNumEvents())
        {
            const unsigned int uNow =
                m_pGame ? (unsigned int)m_pGame->m_StepTimer.GetElapsedMilliseconds() : m_uResetTick;
            const unsigned int uSince = uNow >= m_uResetTick ? uNow - m_uResetTick : 0u;
            if (uSince > kResendMs)
                SendNetworkMessage(pFront);
            return;
        }
        delete m_pOutgoingEvents->PopEvent();
        delete m_pAckEvents->TakeEvent(iAck);
        if (CMoxEvent* pNext = m_pOutgoingEvents->GetEvent())
            SendNetworkMessage(pNext);
    }
    m_pAckEvents->Clear();
}

void CMoxPlayState::HandleRecordedEvents()
{
    if (!m_pPlaybackEvents || !m_pLocalEvents)
        return;
    m_iLatestTimeStamp = 0;
    const int iClock = GetTimeStamp();
    for (int i = 0; i < m_pPlaybackEvents->GetNumEvents();)
    {
        CMoxEvent* pEvent = m_pPlaybackEvents->GetEvent(i);
        const int iTime = EventTime(pEvent);
        if (iTime > m_iLatestTimeStamp)
            m_iLatestTimeStamp = iTime;
        if (iTime > iClock)
        {
            ++i;
            continue;
        }
        m_pLocalEvents->AddEvent(pEvent->m_uType, pEvent->m_pPayload, pEvent->m_iSize, 0);
        delete m_pPlaybackEvents->TakeEvent(i);
    }
    if (m_pPlaybackEvents->HasNextEvent() || m_bOwnPlaybackDone)
        return;

    if (m_ePlayState != PLAYSTATE_OWN_TURN)
    {
        PlaybackDone();
        return;
    }
    m_bOwnPlaybackDone = 1;
    if (!m_bSinglePlayer)
        m_bOwnTurnPlayed = 1;
    m_fBannerFade = kViewGoal;
    CPlayer* aPlayers = m_pLiveScene ? m_pLiveScene->m_Players : nullptr;
    if (aPlayers && aPlayers[0].m_bAlive && aPlayers[1].m_bAlive && m_iTurnPlayer == m_iOwnPlayer)
    {
        if (m_bSinglePlayer)
            return;
        // The view turns to the opponent, whose turn comes next.
        if (m_pRenderer && m_iOpponent >= 0 && m_iOpponent <= 1 && m_iOwnPlayer >= 0 && m_iOwnPlayer <= 1)
        {
            m_pRenderer->m_Camera.SetTargetBody(aPlayers[m_iOpponent].m_pBody);
            m_pRenderer->m_Camera.m_fZoomTarget = aPlayers[m_iOwnPlayer].m_fZoom;
        }
        m_bOwnTurnPlayed = 1;
        m_fBannerFade = kViewGoal;
        return;
    }
    m_bOwnTurnPlayed = 0;
    m_fBannerFade = 0.0f;
}
