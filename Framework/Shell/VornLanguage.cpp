#include "Framework/Shell/VornLanguage.h"

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornLanguageText.h"
#include "Framework/Shell/VornStatistics.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <new>
#include <vector>

const wchar_t* const CVornLanguage::s_apCodes[LANGUAGE_COUNT] = {L"en", L"fi", L"ar-sa", L"es", L"fr", L"de",
                                                                 L"id", L"it", L"ja",    L"ko", L"pl", L"pt",
                                                                 L"ru", L"th", L"tr",    L"vi", L"zh"};

CVornLanguage::CVornLanguage() : m_pApp(nullptr), m_strPlaceholder(L"X-X"), m_pCurrent(nullptr) {}

CVornLanguage::~CVornLanguage()
{
    Shutdown();
}

KE_RETVAL CVornLanguage::Startup(CVornApplication* pApp, const CKorvelString& strBase)
{
    m_pApp = pApp;
    m_strBase = strBase;
    for (const wchar_t* pCode : s_apCodes)
        ReadLanguageInfo(CKorvelString(pCode));
    if (m_aLanguages.GetCount() == 0)
        return KE_ERR_NOTFOUND;

    CKorvelString strStored(L"en");
    CVornStatistics* pStatistics = m_pApp ? m_pApp->GetStatistics() : nullptr;
    if (pStatistics)
    {
        CKorvelString strProperty;
        PropertyName(strProperty);
        CVornStatisticsProperty* pProperty = pStatistics->GetProperty(strProperty);
        if (pProperty)
            strStored = pProperty->m_strStringValue;
        else if ((pProperty = pStatistics->AddProperty(strProperty)) != nullptr)
            pProperty->SetString(strStored);
    }
    const KE_RETVAL ret = SetCurrentLanguage(strStored);
    return ret == KE_OK ? ret : SetCurrentLanguage(CKorvelString(L"en"));
}

void CVornLanguage::Shutdown()
{
    for (int i = 0; i < m_aLanguages.GetCount(); ++i)
        delete At(i);
    m_aLanguages.Clear();
    m_aTexts.RemoveAll();
    m_pCurrent = nullptr;
    m_pApp = nullptr;
}

const CKorvelString& CVornLanguage::GetText(int iNumber) const
{
    return (iNumber >= 0 && iNumber < m_aTexts.GetCount()) ? m_aTexts[iNumber] : m_strPlaceholder;
}

const sLANGUAGE_INFO* CVornLanguage::GetLanguageInfo(int iIndex) const
{
    return (iIndex >= 0 && iIndex < m_aLanguages.GetCount()) ? At(iIndex) : nullptr;
}

sLANGUAGE_INFO* CVornLanguage::FindByCode(const CKorvelString& strCode) const
{
    for (int i = 0; i < m_aLanguages.GetCount(); ++i)
        if (At(i)->m_strCode.CompareNoCase(strCode) == 0)
            return At(i);
    return nullptr;
}

void CVornLanguage::PropertyName(CKorvelString& strName) const
{
    strName.Format(L"__Vorn_Language_%s", m_strBase.GetBuffer());
}

KE_RETVAL CVornLanguage::OpenLanguagePack(CKorvelMediaPack& pack, const CKorvelString& strCode) const
{
    CKorvelString strFile, strPath;
    strFile.Format(L"%s_%s.kmp", m_strBase.GetBuffer(), strCode.GetBuffer());
    IKorvelApplication::BuildWriteFilepath(strPath, strFile);
    if (CKorvelFile::FileExists(strPath))
        return pack.Startup(strPath, CKorvelString());
    IKorvelApplication::BuildFilepath(strPath, strFile);
    if (CKorvelFile::FileExists(strPath))
        return pack.Startup(strPath, CKorvelString());
    return KE_ERR_NOTFOUND;
}

KE_RETVAL CVornLanguage::ReadPackContent(CKorvelMediaPack& pack, CKorvelString& strDigest,
                                         CKorvelString& strText) const
{
    CVornMD5 md5;
    md5.MD5(*pack.GetFile());
    md5.GetDigestStr(strDigest);

    CKorvelMediaPackItem item;
    const KE_RETVAL ret = item.Open(pack, CKorvelString(), 0);
    if (ret != KE_OK)
        return ret;
    // Whole units only; a zero unit ends the text.
    const unsigned int uUnits = item.GetSize() / 2;
    std::vector<unsigned short> aUnits(uUnits + 1, 0);
    const unsigned int uRead = item.GetFile().Read(aUnits.data(), uUnits * 2);
    aUnits[uRead / 2] = 0;
    strText.Set(aUnits.data());
    return strText.Find(CKorvelString(L"NAME="), 0) >= 0 ? KE_OK : KE_ERR_BADDATA;
}

KE_RETVAL CVornLanguage::LoadPack(const CKorvelString& strCode, CKorvelString& strDigest,
                                  CKorvelString& strText) const
{
    CKorvelMediaPack pack;
    KE_RETVAL ret = OpenLanguagePack(pack, strCode);
    if (ret != KE_OK)
        return ret;
    ret = ReadPackContent(pack, strDigest, strText);
    pack.Shutdown();
    return ret;
}

KE_RETVAL CVornLanguage::ReadLanguageInfo(const CKorvelString& strCode)
{
    CKorvelString strDigest, strText;
    const KE_RETVAL ret = LoadPack(strCode, strDigest, strText);
    if (ret != KE_OK)
        return ret;

    sLANGUAGE_HEADER header;
    ReadLanguageHeader(strText, header);
    sLANGUAGE_INFO* pInfo = FindByCode(strCode);
    const bool bNew = pInfo == nullptr;
    if (bNew && (pInfo = new (std::nothrow) sLANGUAGE_INFO()) == nullptr)
        return KE_ERR_OUTOFMEMORY;
    pInfo->m_strName = header.m_strName;
    pInfo->m_strCode = header.m_strCode;
    pInfo->m_strDigest = strDigest;
    pInfo->m_uTextFlags = header.m_uTextFlags;
    pInfo->m_uSpecialChars = header.m_uSpecialChars;
    if (strCode.CompareNoCase(CKorvelString(L"ar-sa")) == 0)
        m_strArabicName = header.m_strName;
    if (bNew && m_aLanguages.Add(pInfo) < 0)
    {
        delete pInfo;
        return KE_ERR_OUTOFMEMORY;
    }
    return KE_OK;
}

KE_RETVAL CVornLanguage::SetCurrentLanguage(const CKorvelString& strLanguage)
{
    sLANGUAGE_INFO* pInfo = nullptr;
    for (int i = 0; i < m_aLanguages.GetCount() && !pInfo; ++i)
        if (At(i)->m_strName.CompareNoCase(strLanguage) == 0 ||
            At(i)->m_strCode.CompareNoCase(strLanguage) == 0)
            pInfo = At(i);
    if (!pInfo)
        return KE_ERR_NOTFOUND;

    CKorvelString strDigest, strText;
    const KE_RETVAL ret = LoadPack(pInfo->m_strCode, strDigest, strText);
    if (ret != KE_OK)
        return ret;

    ReadLanguageTexts(strText, m_aTexts);
    m_pCurrent = pInfo;
    SaveSettings();
    return KE_OK;
}

void CVornLanguage::SaveSettings()
{
    CVornStatistics* pStatistics = m_pApp ? m_pApp->GetStatistics() : nullptr;
    if (!m_pCurrent || !pStatistics)
        return;
    CKorvelString strProperty;
    PropertyName(strProperty);
    CVornStatisticsProperty* pProperty = pStatistics->GetProperty(strProperty);
    if (!pProperty)
        return;
    pProperty->SetString(m_pCurrent->m_strCode);
    pStatistics->WriteStatistics();
}

KE_RETVAL CVornLanguage::UpdateLanguage(const CKorvelString& strCode)
{
    const KE_RETVAL ret = ReadLanguageInfo(strCode);
    if (ret != KE_OK)
        return ret;
    if (m_pCurrent && m_pCurrent->m_strCode.CompareNoCase(strCode) == 0)
        return SetCurrentLanguage(m_pCurrent->m_strCode);
    return KE_OK;
}

bool CVornLanguage::CheckUpdateNeed(const CKorvelString& strCode, const CKorvelString& strDigest) const
{
    const sLANGUAGE_INFO* pInfo = FindByCode(strCode);
    return !pInfo || pInfo->m_strDigest.Compare(strDigest) != 0;
}

CKorvelString CVornLanguage::GetLanguageCodeByName(const CKorvelString& strName) const
{
    for (int i = 0; i < m_aLanguages.GetCount(); ++i)
        if (At(i)->m_strName.CompareNoCase(strName) == 0)
            return At(i)->m_strCode;
    return CKorvelString();
}

bool CVornLanguage::IsListed(const sLANGUAGE_INFO& info) const
{
    return !info.m_uSpecialChars || CKorvelBitmapFont::SupportsOsRendering();
}

int CVornLanguage::GetLanguageCodes(CKorvelArray<CKorvelString>& aCodes) const
{
    int iCount = 0;
    for (int i = 0; i < m_aLanguages.GetCount(); ++i)
        if (IsListed(*At(i)))
            iCount += aCodes.Add(At(i)->m_strCode) >= 0 ? 1 : 0;
    return iCount;
}

void CVornLanguage::GetLanguageNames(CKorvelArray<CKorvelString>& aNames) const
{
    for (int i = 0; i < m_aLanguages.GetCount(); ++i)
        if (IsListed(*At(i)))
            aNames.Add(At(i)->m_strName);
}
