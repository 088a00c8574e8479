// The toast: a short message that slides up from the bottom of the screen.
#pragma once

#include "Framework/VornNotification.h"
#include "KorvelCommon/KorvelString.h"

class CVornToastNotification : public CVornNotification
{
public:
    // Toast type of a challenge: a press on it opens the challenge page.
    static const int TYPE_CHALLENGE = -2;

    CVornToastNotification();
    ~CVornToastNotification() override;

    // Queues a toast; 0 seconds means the overlay's default.
    virtual void Add(const CKorvelString& strText, int iType, float fSeconds);
    virtual unsigned int GetVisible();
    // Type of the toast shown.
    virtual int GetType();
    virtual unsigned int OnThemeChanged();
};
