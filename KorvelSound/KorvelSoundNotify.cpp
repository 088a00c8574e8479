#include "KorvelSound/KorvelSoundNotify.h"

#include <new>

#include "KorvelSound/KorvelSoundEngine.h"

IKorvelSoundNotifyHandler::~IKorvelSoundNotifyHandler()
{
    RemoveAllNotifies();
}

unsigned int IKorvelSoundNotifyHandler::AddNotify(CKorvelSoundEngine* pEngine, IKorvelNotify* pTarget,
                                                  eKET_SOUNDNOTIFY eKind, unsigned int uPosition,
                                                  unsigned int uUser)
{
    if (!pEngine)
        return 0xFFFFFFFFu;
    m_pEngine = pEngine;
    SKE_SOUNDNOTIFYENTRY* pEntry = new (std::nothrow) SKE_SOUNDNOTIFYENTRY;
    if (!pEntry)
        return 0xFFFFFFFFu;
    pEntry->uKind = static_cast<unsigned int>(eKind);
    pEntry->uId = pEngine->NextNotifyId();
    pEntry->pTarget = pTarget;
    pEntry->uLastPosition = 0;
    pEntry->uTrigger = uPosition;
    pEntry->uUser = uUser;
    if (m_Notifies.Add(pEntry) < 0)
    {
        delete pEntry;
        return 0xFFFFFFFFu;
    }
    return pEntry->uId;
}

void IKorvelSoundNotifyHandler::RemoveNotify(unsigned int uId)
{
    for (int i = 0; i < m_Notifies.GetCount(); ++i)
    {
        SKE_SOUNDNOTIFYENTRY* pEntry = static_cast<SKE_SOUNDNOTIFYENTRY*>(m_Notifies.GetAt(i));
        if (pEntry->uId == uId)
        {
            m_Notifies.RemoveAt(i);
            delete pEntry;
            return;
        }
    }
}

void IKorvelSoundNotifyHandler::RemoveAllNotifies()
{
    for (int i = 0; i < m_Notifies.GetCount(); ++i)
        delete static_cast<SKE_SOUNDNOTIFYENTRY*>(m_Notifies.GetAt(i));
    m_Notifies.Clear();
}

void IKorvelSoundNotifyHandler::SendNotifies(eKET_SOUNDNOTIFY eKind, unsigned int uPosition)
{
    const unsigned int uKind = static_cast<unsigned int>(eKind);
    for (int i = 0; i < m_Notifies.GetCount(); ++i)
    {
        SKE_SOUNDNOTIFYENTRY* pEntry = static_cast<SKE_SOUNDNOTIFYENTRY*>(m_Notifies.GetAt(i));
        if (!pEntry->pTarget || pEntry->uKind != uKind)
            continue; // skipped entries keep their last position
        bool bDeliver = false;
        if (uKind == eKET_SOUNDNOTIFY_STOPPED || uKind == eKET_SOUNDNOTIFY_STARTED)
        {
            bDeliver = true;
        }
        else if (uKind == eKET_SOUNDNOTIFY_POSITION)
        {
            const unsigned int uLast = pEntry->uLastPosition;
            const unsigned int uTrigger = pEntry->uTrigger;
            const bool bWrapped = uLast >= 2000 && uPosition <= 1999;
            bDeliver = (uLast < uTrigger && uTrigger <= uPosition) || (bWrapped && uTrigger <= uPosition);
        }
        pEntry->uLastPosition = uPosition;
        // Last use of the entry: a target may remove its own notification.
        if (bDeliver)
            pEntry->pTarget->OnNotify(this, uKind, pEntry->uId, uPosition, pEntry->uUser);
    }
}
