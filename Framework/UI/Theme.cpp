#include "Framework/UI/Theme.h"

#include <new>

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/UIXMLLoader.h"
#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelMediaPack.h"

CVornTheme::CVornTheme() : m_pApp(nullptr) {}

CVornTheme::~CVornTheme()
{
    CVornTheme::Shutdown();
}

KE_RETVAL CVornTheme::Startup(CVornApplication* pApplication, const CKorvelString& strName)
{
    m_pApp = pApplication;
    m_strName = strName;
    CKorvelString strPack;
    GetPackName(strPack);
    return LoadThemeFromPack(strPack);
}

void CVornTheme::Shutdown()
{
    for (int i = 0; i < m_Colors.GetCount(); ++i)
        delete m_Colors.GetAt(i).m_Second;
    m_Colors.Clear();
}

KE_RETVAL CVornTheme::LoadThemeFromPack(const CKorvelString& strPackName)
{
    if (!m_pApp)
        return KE_ERR_NOTFOUND;
    // A pack already listed is not added again, so switching themes back and forth does
    // not pile up copies of the same pack in the resource manager. A downloaded pack is
    // listed afresh: the download may have replaced the file since it was listed, and a
    // shipped pack of the same name listed earlier would hide its items (the first listed
    // item of a name wins).
    CKorvelString strWrite, strShipped;
    IKorvelApplication::BuildWriteFilepath(strWrite, strPackName);
    IKorvelApplication::BuildFilepath(strShipped, strPackName);
    bool bAdded = false;
    if (CKorvelFile::FileExists(strWrite))
    {
        if (m_pApp->HavePack(strWrite))
            m_pApp->RemovePack(strWrite, 0);
        if (m_pApp->HavePack(strShipped))
            m_pApp->RemovePack(strShipped, 0);
        bAdded = m_pApp->AddPack(strWrite, 1, 0) != 0;
    }
    if (!bAdded)
        bAdded = m_pApp->HavePack(strShipped) || m_pApp->AddPack(strShipped, 1, 0);
    if (!bAdded)
        return KE_ERR_NOTFOUND;

    CUIXMLLoader loader;
    if (loader.Startup(*m_pApp, nullptr, nullptr, nullptr, nullptr, nullptr) != KE_OK)
    {
        loader.Shutdown();
        return 0;
    }
    KE_RETVAL iResult = loader.LoadTheme(this);
    loader.Shutdown();
    return iResult;
}

void CVornTheme::AddColorConfig(const sColorConfig& config)
{
    sColorConfig* pCopy = new (std::nothrow) sColorConfig(config);
    if (!pCopy)
        return;
    // Six hex digits mean an opaque colour. Zero stays: it marks a value that did not parse.
    if (pCopy->m_uColor != 0 && (pCopy->m_uColor >> 24) < 0x10)
        pCopy->m_uColor |= 0xFF000000u;
    int i = m_Colors.Find(pCopy->m_strName);
    if (i >= 0)
    {
        delete m_Colors.GetAt(i).m_Second;
        m_Colors.Remove(pCopy->m_strName);
    }
    if (!m_Colors.Add(pCopy->m_strName, pCopy))
        delete pCopy;
}

unsigned int CVornTheme::GetColorByName(const CKorvelString& strName, unsigned int& uColor) const
{
    int i = m_Colors.Find(strName);
    if (i < 0)
        return 0;
    uColor = m_Colors.GetAt(i).m_Second->m_uColor;
    return 1;
}

void CVornTheme::GetFilename(CKorvelString& strOut) const
{
    strOut.Set("theme_");
    strOut.Add(m_strName);
    strOut.Add(CKorvelString(".xml"));
}

void CVornTheme::GetPackName(CKorvelString& strOut) const
{
    strOut.Set("vorntheme_");
    strOut.Add(m_strName);
    strOut.Add(CKorvelString(".kmp"));
}

CKorvelString CVornTheme::GetMD5() const
{
    CKorvelString strPack, strPath, strDigest;
    GetPackName(strPack);
    CKorvelMediaPack pack;
    IKorvelApplication::BuildWriteFilepath(strPath, strPack);
    if (pack.Startup(strPath, CKorvelString()) != KE_OK)
    {
        IKorvelApplication::BuildFilepath(strPath, strPack);
        if (pack.Startup(strPath, CKorvelString()) != KE_OK)
            return strDigest;
    }
    CVornMD5 md5;
    md5.MD5(*pack.GetFile());
    md5.GetDigestStr(strDigest);
    pack.Shutdown();
    return strDigest;
}
