// Notification list carried by every sound buffer: positions reached and
// playback started or stopped, delivered to an IKorvelNotify by the mixer.
//
// SendNotifies runs on the mixer thread inside the engine's critical section,
// so OnNotify must not call back into the sound engine or its buffers' lists
// (the critical section is not re-entrant). The list itself has no lock:
// change it only while the handler is not registered with the engine or the
// mixer is stopped.
#pragma once

#include "KorvelCommon/IKorvelNotify.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelSound/KorvelSoundTypes.h"

class CKorvelSoundEngine;

struct SKE_SOUNDNOTIFYENTRY
{
    unsigned int uKind; // eKET_SOUNDNOTIFY
    unsigned int uId;
    IKorvelNotify* pTarget;
    unsigned int uLastPosition; // bytes
    unsigned int uTrigger;      // bytes
    unsigned int uUser;
};

class IKorvelSoundNotifyHandler
{
public:
    IKorvelSoundNotifyHandler() {}
    virtual ~IKorvelSoundNotifyHandler(); // frees the entries
    IKorvelSoundNotifyHandler(const IKorvelSoundNotifyHandler&) = delete;
    IKorvelSoundNotifyHandler& operator=(const IKorvelSoundNotifyHandler&) = delete;

    // Run by the mixer after each pass.
    virtual void UpdateNotifies() = 0;

    // Returns the new entry's identifier (the engine's next one, first 1), or
    // 0xFFFFFFFF when there is no engine or no memory. Stores the engine.
    unsigned int AddNotify(CKorvelSoundEngine* pEngine, IKorvelNotify* pTarget, eKET_SOUNDNOTIFY eKind,
                           unsigned int uPosition, unsigned int uUser);
    void RemoveNotify(unsigned int uId);
    void RemoveAllNotifies();
    // Delivers the entries of that kind. A position entry fires when the
    // position passes its trigger, or after a wrap from 2000 or more to 1999 or
    // less that lands at or past the trigger.
    void SendNotifies(eKET_SOUNDNOTIFY eKind, unsigned int uPosition);

    int GetNotifyCount() const { return m_Notifies.GetCount(); }

protected:
    CKorvelSoundEngine* m_pEngine = nullptr;
    CKorvelPtrArray m_Notifies; // owned SKE_SOUNDNOTIFYENTRY*
};
