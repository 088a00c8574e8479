// The advertisement overlay that the lobby server can send; created on the first one.
#pragma once

#include "Framework/VornNotification.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelString.h"

class CVornAdvertisement : public CVornNotification
{
public:
    CVornAdvertisement();
    ~CVornAdvertisement() override;

    virtual unsigned int DisplayAd(const CKorvelString& strFirstText, const CKorvelString& strLink,
                                   int iImageSize, const unsigned char* pImage, int iIntervalMs,
                                   int iDisplayMs, const CKorvelArray<int>& aFrameMs,
                                   const CKorvelString& strOkLink, int iFlags, const CKorvelString& strTitle,
                                   const CKorvelString& strTitleLink);
    // Closing it ends the application.
    virtual void ShowExitAd();
    virtual unsigned int OnThemeChanged();
    // Whether the advertisement is on screen.
    virtual unsigned int GetVisible();
    virtual void SetVisible(unsigned int uVisible);
};
