#include "KorvelGraphics/KorvelAppTimers.h"

#include <new>

void CKorvelAppTimers::Start(int iId, int iIntervalMs, uint32_t uNowMs)
{
    SKE_APPTIMER* pTimer = new (std::nothrow) SKE_APPTIMER;
    if (!pTimer)
        return;
    pTimer->m_Timer.Startup(0);
    pTimer->m_iId = iId;
    pTimer->m_uLastTick = uNowMs;
    pTimer->m_uInterval = static_cast<uint32_t>(iIntervalMs);
    if (m_Timers.Add(pTimer) < 0)
        delete pTimer;
}

void CKorvelAppTimers::Stop(int iId)
{
    for (int i = 0; i < m_Timers.GetCount(); ++i)
    {
        SKE_APPTIMER* pTimer = static_cast<SKE_APPTIMER*>(m_Timers[i]);
        if (pTimer->m_iId == iId)
        {
            pTimer->m_Timer.Shutdown();
            delete pTimer;
            m_Timers.RemoveAt(i);
            return;
        }
    }
}

bool CKorvelAppTimers::TakeDue(uint32_t uNowMs, int& iId)
{
    for (int i = 0; i < m_Timers.GetCount(); ++i)
    {
        SKE_APPTIMER* pTimer = static_cast<SKE_APPTIMER*>(m_Timers[i]);
        // The difference stays right across the wrap of the millisecond count.
        if (uNowMs - pTimer->m_uLastTick >= pTimer->m_uInterval)
        {
            pTimer->m_uLastTick = uNowMs;
            iId = pTimer->m_iId;
            return true;
        }
    }
    return false;
}

void CKorvelAppTimers::Clear()
{
    for (int i = 0; i < m_Timers.GetCount(); ++i)
        delete static_cast<SKE_APPTIMER*>(m_Timers[i]);
    m_Timers.Clear();
}
