// Language and theme packs from the lobby server. The server's code and theme name
// become parts of file names in the data folder, so only plain names are taken; the
// file in use is replaced whole, never written in place.
#include "Framework/Session/VornNetworkSession.h"

#include <cstdio>
#include <string>

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornLanguage.h"
#include "KorvelCommon/KorvelAtomicFile.h"

namespace
{
// 1 to 32 of A-Z a-z 0-9 _ -: nothing that can leave the data folder.
bool IsPlainName(const CKorvelString& strName)
{
    const int iLength = strName.GetLength();
    if (iLength < 1 || iLength > 32)
        return false;
    for (int i = 0; i < iLength; ++i)
    {
        const unsigned int c = strName.GetBuffer()[i];
        const bool bPlain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            c == '_' || c == '-';
        if (!bPlain)
            return false;
    }
    return true;
}

void LogDropped(const char* pWhat, const CKorvelString& strName)
{
    std::string strText;
    for (int i = 0; i < strName.GetLength() && i < 64; ++i)
    {
        const unsigned int c = strName.GetBuffer()[i];
        strText += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    std::fprintf(stderr, "session: %s \"%s\" dropped\n", pWhat, strText.c_str());
}
} // namespace

CVornLanguage* CVornNetworkSession::LanguageTarget(const CKorvelString& strTarget)
{
    if (!m_pApplication)
        return nullptr;
    if (strTarget.CompareNoCase(CKorvelString("game")) == 0)
    {
        IVornGameState* pGame = m_pApplication->GetGameState();
        return pGame ? pGame->GetGameLanguage() : nullptr;
    }
    return m_pApplication->GetLanguage();
}

bool CVornNetworkSession::WritePack(const CKorvelString& strFile, const unsigned char* pData, int iSize)
{
    CKorvelString strPath;
    m_pApplication->BuildWriteFilepath(strPath, strFile);
    CKorvelAtomicFile file;
    if (file.Open(strPath) != KE_OK)
        return false;
    file.Write(pData, static_cast<unsigned int>(iSize));
    if (file.Commit() != KE_OK)
        return false;
    // Its directory was read from the old file: the next use opens the new one.
    if (m_pApplication->HavePack(strPath))
        m_pApplication->RemovePack(strPath, 0);
    return true;
}

void CVornNetworkSession::HandleLanguageList(const unsigned char* pData, int iSize)
{
    CKorvelArray<CASN1AvailableLanguagesList::sData> aLanguages;
    CASN1AvailableLanguagesList message(aLanguages);
    if (!message.Decode(pData, iSize))
        return;
    for (int i = 0; i < aLanguages.GetCount() && !m_uShutDown; ++i)
    {
        const CASN1AvailableLanguagesList::sData& entry = aLanguages[i];
        CVornLanguage* pTarget = LanguageTarget(entry.m_strTarget);
        if (pTarget && pTarget->CheckUpdateNeed(entry.m_strCode, entry.m_strDigest))
            SendGetLanguagePack(entry.m_strCode, entry.m_strTarget);
    }
}

void CVornNetworkSession::HandleLanguagePack(const unsigned char* pData, int iSize)
{
    CKorvelString strTarget, strCode, strText;
    int iValue = 0, iBytes = 0;
    unsigned char* pBytes = nullptr;
    CASN1LanguagePack message(strTarget, strCode, strText, iValue, &pBytes, iBytes);
    CVornLanguage* pTarget = message.Decode(pData, iSize) && pBytes ? LanguageTarget(strTarget) : nullptr;
    if (pTarget && !IsPlainName(strCode))
    {
        LogDropped("language pack", strCode);
        pTarget = nullptr;
    }
    // The file is named after the local target's base name, never the server's text.
    if (pTarget && !IsPlainName(pTarget->GetBaseName()))
        pTarget = nullptr;
    CKorvelString strFile;
    if (pTarget)
        strFile.Format(L"%s_%s.kmp", pTarget->GetBaseName().GetBuffer(), strCode.GetBuffer());
    if (pTarget && WritePack(strFile, pBytes, iBytes))
    {
        pTarget->UpdateLanguage(strCode);
        CVornLanguage* pOwn = m_pApplication->GetLanguage();
        const sLANGUAGE_INFO* pCurrent = pOwn ? pOwn->GetCurrentLanguage() : nullptr;
        if (pCurrent && pCurrent->m_strCode.CompareNoCase(strCode) == 0)
        {
            CDeliveryScope scope(*this);
            m_pApplication->ChangeLanguage(strCode);
        }
    }
    delete[] pBytes;
}

void CVornNetworkSession::HandleThemePack(const unsigned char* pData, int iSize)
{
    CKorvelString strName, strText;
    unsigned char* pBytes = nullptr;
    int iBytes = 0;
    CASN1ThemePack message(strName, strText, &pBytes, iBytes);
    if (message.Decode(pData, iSize) && pBytes && m_pApplication)
    {
        CKorvelString strFile;
        if (IsPlainName(strName))
            strFile.Format(L"vorntheme_%s.kmp", strName.GetBuffer());
        else
            LogDropped("theme pack", strName);
        if (strFile.GetLength() && WritePack(strFile, pBytes, iBytes))
        {
            CDeliveryScope scope(*this);
            m_pApplication->ChangeTheme(strName);
        }
    }
    delete[] pBytes;
}
