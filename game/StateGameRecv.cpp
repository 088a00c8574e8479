// The receive side of the game's delivery: every event from the other device is answered
// at once with an acknowledgement and applied at most once, now or at its time stamp; what
// comes faster than a real opponent sends is not taken in.
#include "game/MoxEvent.h"
#include "game/MoxGameMessage.h"
#include "game/MoxPlayState.h"
#include "game/StateGame.h"

void CStateGame::RecvGameMsg(const unsigned char* pData, unsigned int uSize)
{
    CMoxPlayState* pPlay = dynamic_cast<CMoxPlayState*>(GetState(STATE_PLAY));
    if (!pPlay || !pPlay->m_pAckEvents || !pPlay->m_pLocalEvents || !pPlay->m_pPlaybackEvents)
        return;
    CKorvelArray<int>& aIds = pPlay->m_aReceivedIds;
    const sMoxRecvDecision d =
        MoxClassifyGameMessage(pData, uSize, aIds.GetCount() ? &aIds[0] : nullptr, aIds.GetCount());
    const int iNow = Tick(m_StepTimer);
    if (d.eAction == RECV_DROP || !m_RecvBudget.Take(iNow))
    {
        m_RecvBudget.Count(d.eAction == RECV_DROP ? CMoxRecvBudget::UNTAKEN_DROPPED
                                                  : CMoxRecvBudget::UNTAKEN_OVER_BUDGET);
        m_RecvBudget.Report(iNow, false);
        return;
    }
    switch (d.eAction)
    {
    case RECV_DROP:
        return;
    case RECV_ACK_QUEUE:
        // Only the answer to the one event in flight is of use: the oldest others make room.
        while (pPlay->m_pAckEvents->GetNumEvents() >= MOX_RECV_BUDGET)
            delete pPlay->m_pAckEvents->PopEvent();
        pPlay->m_pAckEvents->AddEvent(d.iType, pData, (int)uSize, 0);
        return;
    case RECV_ACK_UNREAD:
        m_RecvBudget.Count(CMoxRecvBudget::UNTAKEN_UNREAD);
        m_RecvBudget.Report(iNow, false);
        break;
    case RECV_ACK_REPEAT:
        break;
    case RECV_APPLY_NOW:
    case RECV_APPLY_PLAYBACK:
    {
        const int iDrop = aIds.GetCount() - (int)MOX_RECV_ID_LIST;
        if (iDrop > 0)
        {
            for (int i = iDrop; i < aIds.GetCount(); ++i)
                aIds[i - iDrop] = aIds[i];
            aIds.SetSize((int)MOX_RECV_ID_LIST);
        }
        CMoxEventManager* pQueue =
            d.eAction == RECV_APPLY_NOW ? pPlay->m_pLocalEvents : pPlay->m_pPlaybackEvents;
        CMoxEvent* pEvent = pQueue->AddEvent(d.iType, pData, (int)uSize, 0);
        if (!pEvent)
            return; // out of memory: unanswered, so the sender tries again
        pEvent->m_iTimeStamp = d.iTime;
        aIds.Add(d.iId);
        break;
    }
    }
    unsigned char aAck[12];
    MoxWriteAck(aAck, d.iId);
    SendGameMsg(aAck, 12, 0, 0);
}
