#include "game/MoxEvent.h"

#include <cstring>
#include <new>

CMoxEvent::CMoxEvent(int iType, int iSerial, const unsigned char* pData, int iSize, unsigned int uSendFlag)
    : m_uType((unsigned char)iType), m_iSerial(iSerial), m_iTimeStamp(-1), m_uSendFlag(uSendFlag), m_iSize(0),
      m_pPayload(nullptr)
{
    if (iSize > 0 && pData)
    {
        m_pPayload = new (std::nothrow) unsigned char[iSize];
        if (m_pPayload)
        {
            std::memcpy(m_pPayload, pData, (size_t)iSize);
            m_iSize = iSize;
        }
    }
}

CMoxEvent::~CMoxEvent()
{
    delete[] m_pPayload;
}

CMoxEventManager::CMoxEventManager(int* pCounter)
    : m_iOwnCounter(0), m_pCounter(pCounter ? pCounter : &m_iOwnCounter)
{
}

CMoxEventManager::~CMoxEventManager()
{
    Clear();
}

CMoxEvent* CMoxEventManager::AddEvent(int iType, const unsigned char* pData, int iSize,
                                      unsigned int uSendFlag)
{
    CMoxEvent* pEvent = new (std::nothrow) CMoxEvent(iType, *m_pCounter, pData, iSize, uSendFlag);
    if (!pEvent)
        return nullptr;
    if ((iSize > 0 && pData && pEvent->m_iSize != iSize) || m_Events.Add(pEvent) < 0)
    {
        delete pEvent;
        return nullptr;
    }
    ++*m_pCounter;
    return pEvent;
}

CMoxEvent* CMoxEventManager::GetEvent(int iIndex) const
{
    return iIndex >= 0 && iIndex < m_Events.GetCount() ? m_Events[iIndex] : nullptr;
}

CMoxEvent* CMoxEventManager::PopEvent()
{
    return TakeEvent(0);
}

CMoxEvent* CMoxEventManager::TakeEvent(int iIndex)
{
    CMoxEvent* pEvent = GetEvent(iIndex);
    if (pEvent)
        m_Events.RemoveAt(iIndex);
    return pEvent;
}

void CMoxEventManager::Clear()
{
    while (CMoxEvent* pEvent = PopEvent())
        delete pEvent;
}
