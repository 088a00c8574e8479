// The receive decision for one game message.
#include "game/MoxGameMessage.h"

#include <cstdio>

#include "game/MoxEventWire.h"
#include "game/MoxTurnPack.h"

int MoxEventMinimumSize(int iType)
{
    if (iType == EVENT_TURN_PACK)
        return TURN_PACK_HEADER + 2;
    const sMoxEventForm* pForm = MoxEventForm(iType);
    return pForm && pForm->iSize > 0 ? pForm->iSize : MoxField::HEADER_SIZE;
}

void MoxWriteAck(unsigned char aAck[12], int iId)
{
    for (int i = 0; i < 12; ++i)
        aAck[i] = 0;
    aAck[MoxField::TYPE] = EVENT_ACK;
    MoxPutI32(aAck, MoxField::ID, iId);
    MoxPutI32(aAck, MoxField::TIME, -1);
}

sMoxRecvDecision MoxClassifyGameMessage(const unsigned char* pData, unsigned int uSize, const int* aIds,
                                        int iIdCount)
{
    sMoxRecvDecision d = {RECV_DROP, -1, -1, -1};
    // Without a whole header there is no identifier to answer.
    if (!pData || uSize < (unsigned int)MoxField::HEADER_SIZE || uSize > MOX_RECV_MAX_SIZE)
        return d;
    d.iType = pData[MoxField::TYPE];
    d.iId = MoxGetI32(pData, MoxField::ID);
    d.iTime = MoxGetI32(pData, MoxField::TIME);
    if (d.iType == EVENT_ACK)
    {
        d.eAction = RECV_ACK_QUEUE;
        return d;
    }
    // Unknown or cut short: answered so that the sender moves on, never applied.
    if (!MoxEventForm(d.iType) || uSize < (unsigned int)MoxEventMinimumSize(d.iType))
    {
        d.eAction = RECV_ACK_UNREAD;
        return d;
    }
    for (int i = 0; aIds && i < iIdCount; ++i)
        if (aIds[i] == d.iId)
        {
            d.eAction = RECV_ACK_REPEAT;
            return d;
        }
    if (d.iTime == -1)
        d.eAction = RECV_APPLY_NOW;
    else if (d.iTime >= 0)
        d.eAction = RECV_APPLY_PLAYBACK;
    return d;
}

bool CMoxRecvBudget::Take(int iNowMs)
{
    const long long llFull = (long long)MOX_RECV_BUDGET * 1000;
    if (!m_bStarted || iNowMs < m_iLastMs)
    {
        m_bStarted = true;
        m_iLastMs = iNowMs;
    }
    // MOX_RECV_BUDGET messages a second is that many thousandths a millisecond.
    const long long llEarned = (long long)(iNowMs - m_iLastMs) * MOX_RECV_BUDGET;
    m_llCredit = m_llCredit + llEarned < llFull ? m_llCredit + llEarned : llFull;
    m_iLastMs = iNowMs;
    if (m_llCredit < 1000)
        return false;
    m_llCredit -= 1000;
    return true;
}

bool CMoxRecvBudget::Report(int iNowMs, bool bNow)
{
    if (!m_aiCounts[UNTAKEN_UNREAD] && !m_aiCounts[UNTAKEN_DROPPED] && !m_aiCounts[UNTAKEN_OVER_BUDGET])
        return false;
    if (m_bReported && !bNow && iNowMs >= m_iReportedMs && iNowMs - m_iReportedMs < MOX_RECV_REPORT_MS)
        return false;
    std::fprintf(stderr,
                 "game: from the other device %d messages answered unread, %d dropped unanswered, %d not "
                 "taken over the limit of %d a second\n",
                 m_aiCounts[UNTAKEN_UNREAD], m_aiCounts[UNTAKEN_DROPPED], m_aiCounts[UNTAKEN_OVER_BUDGET],
                 (int)MOX_RECV_BUDGET);
    for (int& iCount : m_aiCounts)
        iCount = 0;
    m_bReported = true;
    m_iReportedMs = iNowMs;
    return true;
}
