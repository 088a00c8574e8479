// Numbered texts in the user's language. Each language is a media pack
// "<base>_<code>.kmp" whose first item is the language text; a downloaded copy in
// the data folder takes precedence over the shipped one. The choice is kept in the
// statistics store as "__Vorn_Language_<base>".
#pragma once

#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelMediaPack;
class CVornApplication;

struct sLANGUAGE_INFO
{
    CKorvelString m_strName; // the language's own name, as listed
    CKorvelString m_strCode;
    CKorvelString m_strDigest; // MD5 of the whole pack file, 32 lowercase hex characters
    unsigned int m_uTextFlags = 0;
    unsigned int m_uSpecialChars = 0; // 1: hidden while the system cannot render text
};

class CVornLanguage
{
public:
    enum
    {
        LANGUAGE_COUNT = 17
    };
    // The codes in the order in which packs are looked for.
    static const wchar_t* const s_apCodes[LANGUAGE_COUNT];

    CVornLanguage();
    virtual ~CVornLanguage();
    CVornLanguage(const CVornLanguage&) = delete;
    CVornLanguage& operator=(const CVornLanguage&) = delete;

    // Reads the header of every pack found and activates the stored language (else
    // "en"): 1, 8 when no pack was found, or the result of the last activation.
    KE_RETVAL Startup(CVornApplication* pApp, const CKorvelString& strBase);
    void Shutdown();

    // The text of that number, or "X-X" for a number that has none.
    const CKorvelString& GetText(int iNumber) const;
    int GetTextCount() const { return m_aTexts.GetCount(); }

    // By name or code, case-insensitive: 1, 8 when unknown, or the pack's failure.
    KE_RETVAL SetCurrentLanguage(const CKorvelString& strLanguage);
    // Rereads a pack's header after a download; the current language is activated again.
    KE_RETVAL UpdateLanguage(const CKorvelString& strCode);
    // True when no language has the code or its digest differs from the given one.
    bool CheckUpdateNeed(const CKorvelString& strCode, const CKorvelString& strDigest) const;
    // Empty when no language has that name.
    CKorvelString GetLanguageCodeByName(const CKorvelString& strName) const;
    // Both append in list order and leave out the languages that need the system's
    // text rendering while it is not there, so that codes and names pair by index;
    // the result is the number of codes appended.
    int GetLanguageCodes(CKorvelArray<CKorvelString>& aCodes) const;
    void GetLanguageNames(CKorvelArray<CKorvelString>& aNames) const;

    // Null until a language is active.
    const sLANGUAGE_INFO* GetCurrentLanguage() const { return m_pCurrent; }
    int GetLanguageCount() const { return m_aLanguages.GetCount(); }
    const sLANGUAGE_INFO* GetLanguageInfo(int iIndex) const;
    const CKorvelString& GetArabicName() const { return m_strArabicName; }
    const CKorvelString& GetBaseName() const { return m_strBase; }
    // Stores the current language's code under "__Vorn_Language_<base>" when that
    // property exists, and writes the store; the application calls it at its exit.
    void SaveSettings();

private:
    sLANGUAGE_INFO* At(int iIndex) const { return static_cast<sLANGUAGE_INFO*>(m_aLanguages.GetAt(iIndex)); }
    sLANGUAGE_INFO* FindByCode(const CKorvelString& strCode) const;
    bool IsListed(const sLANGUAGE_INFO& info) const;
    // The pack of that code from the data folder, else the application folder; 8 when neither has it.
    KE_RETVAL OpenLanguagePack(CKorvelMediaPack& pack, const CKorvelString& strCode) const;
    // The digest and the text of the pack's first item: 1, 8 without an item, 4 without "NAME=".
    KE_RETVAL ReadPackContent(CKorvelMediaPack& pack, CKorvelString& strDigest, CKorvelString& strText) const;
    // Opens, reads and closes the pack of that code.
    KE_RETVAL LoadPack(const CKorvelString& strCode, CKorvelString& strDigest, CKorvelString& strText) const;
    KE_RETVAL ReadLanguageInfo(const CKorvelString& strCode);
    void PropertyName(CKorvelString& strName) const;

    CVornApplication* m_pApp;
    CKorvelString m_strBase;
    CKorvelString m_strPlaceholder;
    sLANGUAGE_INFO* m_pCurrent;
    CKorvelPtrArray m_aLanguages;
    CKorvelArray<CKorvelString> m_aTexts;
    CKorvelString m_strArabicName;
};
