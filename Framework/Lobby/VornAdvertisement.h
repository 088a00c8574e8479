// The advertisement overlay that the lobby server can send; created on the first one.
// Built from "ad-root.xml": the image "adimage", the texts "text_title" and
// "text_closing", the button "button_close" and buttons bound to "ad_title", "ad_click",
// "ad_ok" and "ad_close". Only exit advertisements are displayed: closing one ends the
// application.
#pragma once

#include "Framework/Shell/VornNotification.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelString.h"

class CImageWidget;
class CKorvelSurface;
class CWidget;

class CVornAdvertisement : public CVornNotification
{
public:
    // Flags of an advertisement.
    static const int FLAG_KEEP = 0x2; // kept without being shown
    static const int FLAG_EXIT = 0x8; // closing it ends the application
    // The shortest time between two advertisement requests.
    static constexpr float MIN_REQUEST_INTERVAL = 300.0f;

    CVornAdvertisement();
    ~CVornAdvertisement() override;

    // The layout for the back buffer's size: the loader's result.
    KE_RETVAL Startup(CKestrolundApplication* pApplication) override;
    void Shutdown() override;
    unsigned int OnScreenChanged(int iWidth, int iHeight) override;
    unsigned int OnMouseButton(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseButtonUp(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseDrag(unsigned int uButton, int iX, int iY) override;
    void Draw() override;
    void Update(float fSeconds) override;

    // 0 without an application, the layout's failure, else 1 (also when not displayed).
    virtual unsigned int DisplayAd(const CKorvelString& strFirstText, const CKorvelString& strLink,
                                   int iImageSize, const unsigned char* pImage, int iIntervalMs,
                                   int iDisplayMs, const CKorvelArray<int>& aFrameMs,
                                   const CKorvelString& strOkLink, int iFlags, const CKorvelString& strTitle,
                                   const CKorvelString& strTitleLink);
    virtual KE_RETVAL LoadLayout(int iWidth, int iHeight);
    virtual void ReleaseLayout();
    virtual unsigned int OnThemeChanged();
    // The request interval in seconds.
    virtual float GetExpirationTime();
    // Closing it ends the application.
    virtual void ShowExitAd();
    // Whether the advertisement is on screen.
    virtual unsigned int GetVisible();
    virtual void SetVisible(unsigned int uVisible);

    CWidget* GetRoot() const { return m_pRoot; }
    unsigned int IsPending() const { return m_uPending; }
    unsigned int IsExitAd() const { return m_uExitAd; }
    int GetFrameIndex() const { return m_iFrameIndex; }
    float GetDisplayTime() const { return m_fDisplayTime; }
    CKorvelSurface* GetSurface() const { return m_pSurface; }

protected:
    // The decoded image into the tree, the closing text or button as the countdown stands.
    void LoadAdImage();
    // Forgets the advertisement (nothing is requested from here).
    void Clear(int iRequest);
    void Clicked(const CKorvelString& strLink);
    void DecodeImage();
    void FreeImageData();
    CWidget* Find(const char* pName) const;

    static KE_RETVAL TitleClick(CWidget* pSender, void* pContext);
    static KE_RETVAL AdClick(CWidget* pSender, void* pContext);
    static KE_RETVAL OkClick(CWidget* pSender, void* pContext);
    static KE_RETVAL CloseClick(CWidget* pSender, void* pContext);

    unsigned int m_uShown;
    unsigned int m_uPending;
    CWidget* m_pRoot;
    CActions* m_pActions;
    CImageWidget* m_pAdImage;
    float m_fClosingTime;
    CKorvelString m_strFirstText;
    CKorvelString m_strLink;
    CKorvelString m_strOkLink;
    CKorvelString m_strTitle;
    CKorvelString m_strTitleLink;
    unsigned char* m_pImageData; // owned until decoded
    int m_iImageSize;
    CKorvelSurface* m_pSurface; // one reference, through the resource manager
    float m_fRequestInterval;
    float m_fDisplayTime;
    CKorvelArray<float> m_aFrameDurations;
    int m_iFrameIndex;
    float m_fFrameTime;
    unsigned int m_uExitAd;
};
