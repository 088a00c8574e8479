// A game event in memory and the queue that owns such records. Every change of a match
// travels as one of these: written by the match screen, applied by its dispatcher, sent
// to the opponent or recorded into the turn pack.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"

class CMoxEvent
{
public:
    CMoxEvent(int iType, int iSerial, const unsigned char* pData, int iSize, unsigned int uSendFlag);
    ~CMoxEvent();

    unsigned char m_uType;
    int m_iSerial;            // the queue's counter when the record was made
    int m_iTimeStamp;         // -1 until a receiver sets it from the wire
    unsigned int m_uSendFlag; // 1: sent or recorded after it is applied; 0: applied only
    int m_iSize;
    unsigned char* m_pPayload; // an own copy of the wire bytes, header included

private:
    CMoxEvent(const CMoxEvent&) = delete;
    CMoxEvent& operator=(const CMoxEvent&) = delete;
};

// A FIFO of owned records. Its serials come from a counter the owner hands in (the
// game's own, so two games in one process count apart); without one it counts alone.
class CMoxEventManager
{
public:
    explicit CMoxEventManager(int* pCounter = nullptr);
    ~CMoxEventManager();

    // Copies iSize bytes into a new record at the end (nothing is read for a size of 0
    // or less); the serial is the counter, which then moves on. Null when out of memory.
    CMoxEvent* AddEvent(int iType, const unsigned char* pData, int iSize, unsigned int uSendFlag);
    bool HasNextEvent() const { return m_Events.GetCount() > 0; }
    CMoxEvent* GetEvent() const { return GetEvent(0); }
    CMoxEvent* GetEvent(int iIndex) const;
    int GetNumEvents() const { return m_Events.GetCount(); }
    // The caller owns the record it gets.
    CMoxEvent* PopEvent();
    // Takes the record at that place out of the queue; null outside 0..count-1.
    CMoxEvent* TakeEvent(int iIndex);
    void Clear();

private:
    CKorvelTypedPtrArray<CMoxEvent> m_Events;
    int m_iOwnCounter;
    int* m_pCounter;

    CMoxEventManager(const CMoxEventManager&) = delete;
    CMoxEventManager& operator=(const CMoxEventManager&) = delete;
};
