// An object the application calls once a frame on the main thread while it is
// registered (IKorvelApplication::AddRunnable). The application never deletes it.
#pragma once

#include "KorvelCommon/KorvelID.h"

class IKorvelRunnable : public CKorvelID
{
public:
    IKorvelRunnable() : m_uRegistered(0) {}
    virtual ~IKorvelRunnable() {}

    virtual void Update(float frameSeconds) = 0;

    // 1 while in an application's runnable list; kept by AddRunnable/RemoveRunnable.
    unsigned int m_uRegistered;
};
