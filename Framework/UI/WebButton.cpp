// Web button: the address with its placeholders filled, opened before the click.
#include "Framework/UI/WebButton.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornLanguage.h"

CKorvelString CWebButton::BuildUrl() const
{
    CKorvelString strUrl(m_strUrl);
    strUrl.ReplaceAll(CKorvelString(L"&amp;"), CKorvelString(L"&"));
    CKestrolundApplication* pApp = dynamic_cast<CKestrolundApplication*>(m_pApp);
    if (!pApp)
        return strUrl;

    CKorvelString strAppId, strReleaseId, strLanguage;
    strAppId.FromInt(pApp->GetAppId(), 10);
    strReleaseId.FromInt(pApp->GetReleaseId(), 10);
    const CVornLanguage* pLanguage = pApp->GetLanguage();
    if (pLanguage && pLanguage->GetCurrentLanguage())
        strLanguage = pLanguage->GetCurrentLanguage()->m_strCode;
    // Only the first occurrence of each.
    strUrl.Replace(CKorvelString(L"APPLICATION_ID"), strAppId);
    strUrl.Replace(CKorvelString(L"RELEASE_ID"), strReleaseId);
    strUrl.Replace(CKorvelString(L"RESELLER_ID"), pApp->GetResellerId());
    strUrl.Replace(CKorvelString(L"LANGUAGE"), strLanguage);
    strUrl.Replace(CKorvelString(L"APPLICATION_TOKEN"), pApp->GetAccessToken());
    strUrl.Replace(CKorvelString(L"APPLICATION_CHECK"), pApp->GetAccessCheck());
    return strUrl;
}

void CWebButton::click()
{
    if (dynamic_cast<CKestrolundApplication*>(m_pApp))
        CVornDevice::OpenUrl(m_pApp, BuildUrl());
    CButton::click();
}

void CWebButton::initializeClone(const CWidget& source)
{
    CButton::initializeClone(source);
    if (const CWebButton* pSource = widget_cast<const CWebButton*>(&source))
        SetUrl(pSource->GetUrl());
}
