#include "Framework/Lobby/VornAdvertisement.h"

#include <cmath>
#include <cstring>
#include <new>

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/TextWidget.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "KorvelGraphics/KorvelSurface.h"

CVornAdvertisement::CVornAdvertisement()
    : m_uShown(0), m_uPending(0), m_pRoot(nullptr), m_pActions(nullptr), m_pAdImage(nullptr),
      m_fClosingTime(0.0f), m_pImageData(nullptr), m_iImageSize(0), m_pSurface(nullptr),
      m_fRequestInterval(0.0f), m_fDisplayTime(0.0f), m_iFrameIndex(0), m_fFrameTime(0.0f), m_uExitAd(0)
{
}

CVornAdvertisement::~CVornAdvertisement()
{
    ReleaseLayout();
}

KE_RETVAL CVornAdvertisement::Startup(CKestrolundApplication* pApplication)
{
    CVornNotification::Startup(pApplication);
    int iWidth = 0, iHeight = 0;
    GetBackBufferSize(iWidth, iHeight);
    return LoadLayout(iWidth, iHeight);
}

void CVornAdvertisement::Shutdown()
{
    ReleaseLayout();
    CVornNotification::Shutdown();
}

unsigned int CVornAdvertisement::OnScreenChanged(int iWidth, int iHeight)
{
    ReleaseLayout();
    return LoadLayout(iWidth, iHeight) == KE_OK ? 1 : 0;
}

KE_RETVAL CVornAdvertisement::LoadLayout(int iWidth, int iHeight)
{
    ReleaseLayout();
    m_pActions = new (std::nothrow) CActions;
    if (!m_pActions)
        return KE_ERR_OUTOFMEMORY;
    m_pActions->Register("ad_title", TitleClick, this);
    m_pActions->Register("ad_click", AdClick, this);
    m_pActions->Register("ad_ok", OkClick, this);
    m_pActions->Register("ad_close", CloseClick, this);
    KE_RETVAL iResult = KE_OK;
    m_pRoot = LoadAreaTree("ad-root.xml", iWidth, iHeight, *m_pActions, iResult);
    return iResult;
}

void CVornAdvertisement::ReleaseLayout()
{
    Clear(0);
    delete m_pActions;
    m_pActions = nullptr;
    DeleteTree(m_pRoot);
}

unsigned int CVornAdvertisement::OnThemeChanged()
{
    return 1;
}

float CVornAdvertisement::GetExpirationTime()
{
    return m_fRequestInterval;
}

unsigned int CVornAdvertisement::GetVisible()
{
    return m_uShown;
}

void CVornAdvertisement::SetVisible(unsigned int uVisible)
{
    m_uShown = uVisible ? 1 : 0;
}

void CVornAdvertisement::ShowExitAd()
{
    m_uExitAd = 0;
    if (m_pApplication)
        m_pApplication->Exit();
}

CWidget* CVornAdvertisement::Find(const char* pName) const
{
    return m_pRoot ? m_pRoot->FindWidget(CKorvelString(pName), -1) : nullptr;
}

unsigned int CVornAdvertisement::DisplayAd(const CKorvelString& strFirstText, const CKorvelString& strLink,
                                           int iImageSize, const unsigned char* pImage, int iIntervalMs,
                                           int iDisplayMs, const CKorvelArray<int>& aFrameMs,
                                           const CKorvelString& strOkLink, int iFlags,
                                           const CKorvelString& strTitle, const CKorvelString& strTitleLink)
{
    if (!m_pApplication)
        return 0;
    Clear(0);
    if (!(iFlags & FLAG_EXIT))
        return 1;
    if (!m_pRoot)
    {
        int iWidth = 0, iHeight = 0;
        GetBackBufferSize(iWidth, iHeight);
        const KE_RETVAL iResult = LoadLayout(iWidth, iHeight);
        if (iResult != KE_OK)
            return iResult;
    }
    m_strFirstText = strFirstText;
    m_strLink = strLink;
    m_uExitAd = 1;
    m_aFrameDurations.SetSize(0);
    if (pImage && iImageSize > 0)
    {
        m_pImageData = new (std::nothrow) unsigned char[iImageSize];
        if (m_pImageData)
        {
            std::memcpy(m_pImageData, pImage, static_cast<size_t>(iImageSize));
            m_iImageSize = iImageSize;
        }
        for (int i = 0; i < aFrameMs.GetCount(); ++i)
            m_aFrameDurations.Add(static_cast<float>(aFrameMs[i]) / 1000.0f);
    }
    const float fInterval = static_cast<float>(iIntervalMs) / 1000.0f;
    m_fRequestInterval = fInterval < MIN_REQUEST_INTERVAL ? MIN_REQUEST_INTERVAL : fInterval;
    m_fDisplayTime = static_cast<float>(iDisplayMs) / 1000.0f;
    m_strOkLink = strOkLink;
    m_strTitle = strTitle;
    m_strTitleLink = strTitleLink;
    if (!(iFlags & FLAG_KEEP))
    {
        CVornNetworkSession* pSession = m_pApplication->GetNetworkSession();
        if (!pSession || !pSession->IsInGameQueue())
        {
            if (m_pApplication->IsGameFullscreen())
                m_uPending = 1;
            else
                m_uShown = 1;
        }
    }
    return 1;
}

void CVornAdvertisement::FreeImageData()
{
    delete[] m_pImageData;
    m_pImageData = nullptr;
    m_iImageSize = 0;
}

void CVornAdvertisement::DecodeImage()
{
    static unsigned int s_uNumber = 0;
    CKorvelSurface* pSurface = new (std::nothrow) CKorvelSurface;
    if (pSurface && pSurface->LoadFromMemory(m_pApplication, m_pImageData,
                                             static_cast<unsigned int>(m_iImageSize), nullptr) == KE_OK)
    {
        pSurface->SurfaceToTexture(0);
        const int iFrames = m_aFrameDurations.GetCount();
        pSurface->SetSubFrameCounts(1, iFrames > 1 ? iFrames : 1);
        // Counted by the resource manager, so the image widget and this overlay each hold
        // a reference and neither frees it under the other.
        CKorvelString strName;
        strName.Format(L"advertisement:%u", ++s_uNumber);
        m_pApplication->AddSurface(strName, pSurface);
        if (m_pApplication->IncrementSurface(pSurface))
        {
            CKorvelSurface* pExtra = pSurface;
            m_pApplication->ReleaseSurface(pExtra);
            m_pSurface = pSurface;
            pSurface = nullptr;
            LoadAdImage();
        }
    }
    if (pSurface)
    {
        pSurface->Shutdown();
        delete pSurface;
    }
    FreeImageData();
}

void CVornAdvertisement::Update(float fSeconds)
{
    if (m_uPending && m_pApplication && !m_pApplication->IsGameFullscreen())
    {
        m_uPending = 0;
        m_uShown = 1;
    }
    if (!m_uShown)
        return;
    if (m_pImageData)
        DecodeImage();
    if (m_fClosingTime >= 0.0f)
    {
        m_fClosingTime += fSeconds;
        CTextWidget* pClosing = widget_cast<CTextWidget*>(Find("text_closing"));
        CVornLanguage* pLanguage = m_pApplication ? m_pApplication->GetLanguage() : nullptr;
        if (m_fClosingTime >= m_fDisplayTime)
        {
            if (pClosing && pLanguage)
                pClosing->SetText(pLanguage->GetText(209));
            if (CWidget* pClose = Find("button_close"))
                pClose->SetVisible(1);
            m_fClosingTime = -1.0f;
        }
        else if (pClosing)
        {
            const int iLeft = static_cast<int>(std::floor(m_fDisplayTime - m_fClosingTime + 0.5f));
            if (pLanguage)
                pClosing->SetText(CVornTextFormat::Format(pLanguage->GetText(1), {iLeft}));
            pClosing->SetVisible(1);
        }
    }
    const int iFrames = m_aFrameDurations.GetCount();
    if (iFrames > 0)
    {
        m_fFrameTime += fSeconds;
        if (m_fFrameTime >= m_aFrameDurations[m_iFrameIndex])
        {
            m_fFrameTime -= m_aFrameDurations[m_iFrameIndex];
            m_iFrameIndex = (m_iFrameIndex + 1) % iFrames;
        }
        if (m_pAdImage)
            m_pAdImage->SetFrameIndex(static_cast<unsigned int>(m_iFrameIndex));
    }
    if (m_pRoot)
        m_pRoot->DoUpdate(fSeconds);
}

void CVornAdvertisement::LoadAdImage()
{
    if (!m_pRoot)
        return;
    if (m_fClosingTime < 0.0f)
    {
        if (CWidget* pClosing = Find("text_closing"))
            pClosing->SetVisible(0);
    }
    else if (CWidget* pClose = Find("button_close"))
    {
        if (CButton* pButton = widget_cast<CButton*>(pClose))
            pButton->StopHighlight();
        pClose->SetVisible(0);
    }
    if (m_strTitle.GetLength() > 0)
        if (CTextWidget* pTitle = widget_cast<CTextWidget*>(Find("text_title")))
            pTitle->SetText(m_strTitle);
    m_pAdImage = widget_cast<CImageWidget*>(Find("adimage"));
    if (!m_pAdImage)
        return;
    m_pAdImage->SetImage(m_pSurface);
    const int iFrames = m_aFrameDurations.GetCount();
    if (iFrames > 0)
        m_pAdImage->SetFrameDuration(m_aFrameDurations[0] / static_cast<float>(iFrames));
}

void CVornAdvertisement::Clear(int)
{
    m_fClosingTime = 0.0f;
    m_fRequestInterval = 0.0f;
    m_fDisplayTime = 0.0f;
    m_iFrameIndex = 0;
    m_fFrameTime = 0.0f;
    m_uShown = 0;
    // A cleared advertisement must not appear once the game leaves full screen.
    m_uPending = 0;
    if (m_pSurface)
    {
        if (!m_pApplication || !m_pApplication->ReleaseSurface(m_pSurface))
        {
            m_pSurface->Shutdown();
            delete m_pSurface;
        }
        m_pSurface = nullptr;
    }
    FreeImageData();
    m_pAdImage = nullptr;
    m_aFrameDurations.SetSize(0);
}

void CVornAdvertisement::Clicked(const CKorvelString& strLink)
{
    if (strLink.GetLength() > 0)
        CVornDevice::OpenUrl(m_pApplication, strLink);
    Clear(0);
    if (m_uExitAd)
    {
        m_uExitAd = 0;
        if (m_pApplication)
            m_pApplication->Exit();
    }
}

KE_RETVAL CVornAdvertisement::TitleClick(CWidget*, void* pContext)
{
    CVornAdvertisement* pThis = static_cast<CVornAdvertisement*>(pContext);
    // Without a link of its own the title leads where the picture does.
    const CKorvelString strLink(pThis->m_strTitleLink.GetLength() > 0 ? pThis->m_strTitleLink
                                                                      : pThis->m_strLink);
    pThis->Clicked(strLink);
    return KE_OK;
}

KE_RETVAL CVornAdvertisement::AdClick(CWidget*, void* pContext)
{
    CVornAdvertisement* pThis = static_cast<CVornAdvertisement*>(pContext);
    const CKorvelString strLink(pThis->m_strLink);
    pThis->Clicked(strLink);
    return KE_OK;
}

KE_RETVAL CVornAdvertisement::OkClick(CWidget*, void* pContext)
{
    CVornAdvertisement* pThis = static_cast<CVornAdvertisement*>(pContext);
    const CKorvelString strLink(pThis->m_strOkLink);
    pThis->Clicked(strLink);
    return KE_OK;
}

KE_RETVAL CVornAdvertisement::CloseClick(CWidget*, void* pContext)
{
    static_cast<CVornAdvertisement*>(pContext)->Clicked(CKorvelString());
    return KE_OK;
}

void CVornAdvertisement::Draw()
{
    IKorvelGraphicsContext* pBack = m_pApplication ? m_pApplication->GetBack() : nullptr;
    if (m_uShown && m_pRoot && pBack)
        m_pRoot->DoDraw(pBack);
}

// Every pointer event is the advertisement's while it is on screen.
unsigned int CVornAdvertisement::OnMouseButton(unsigned int uButton, int iX, int iY)
{
    PassToTree(m_pRoot, &CWidget::DoMouseButton, uButton, iX, iY);
    return 1;
}

unsigned int CVornAdvertisement::OnMouseButtonUp(unsigned int uButton, int iX, int iY)
{
    PassToTree(m_pRoot, &CWidget::DoMouseButtonUp, uButton, iX, iY);
    return 1;
}

unsigned int CVornAdvertisement::OnMouseDrag(unsigned int uButton, int iX, int iY)
{
    PassToTree(m_pRoot, &CWidget::DoMouseDrag, uButton, iX, iY);
    return 1;
}
