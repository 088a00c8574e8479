// An engine input or application event, as the platform pump makes it, other
// threads post it and the usability recorder stores it (28 bytes on file); and the
// listeners that see every platform event before the application does.
#pragma once

#include "PlatformBps.h"

class CKorvelFile;

enum eKET_EVENTTYPE
{
    KET_EVENT_NONE = -1,
    KET_EVENT_KEYDOWN = 1,
    KET_EVENT_KEYUP = 2,
    KET_EVENT_CHAR = 3,
    KET_EVENT_BUTTONDOWN = 4, // button or touch
    KET_EVENT_BUTTONUP = 5,
    KET_EVENT_MOVE = 6,
    KET_EVENT_WHEEL = 7
};

class CKorvelEvent
{
public:
    enum
    {
        FILE_SIZE = 28
    };

    CKorvelEvent() {}
    virtual ~CKorvelEvent() {}

    void Copy(const CKorvelEvent& other);
    // Seven little-endian 32-bit words in field order. Load returns 1 when all
    // 28 bytes were there; a short read leaves the fields it did not reach as they were.
    int Load(CKorvelFile& file);
    void Save(CKorvelFile& file) const;

    int m_iType = KET_EVENT_NONE;
    int m_iIndex = 0; // mouse button (0, 1, 2) or touch identifier
    int m_iX = 0;     // window pixels
    int m_iY = 0;
    int m_iWheel = 0;
    int m_iKey = 0;  // platform key symbol (key down and up)
    int m_iChar = 0; // character (type 3)
};

// The type the application's listener list holds.
class CKorvelEventListener
{
public:
    virtual ~CKorvelEventListener() {}
};

class IKorvelEventListener_Blackberry : public CKorvelEventListener
{
public:
    // Non-zero keeps the event from the application (other listeners still see it).
    virtual int ProcessEvent(plat::bps_event_t* pEvent) = 0;
};
