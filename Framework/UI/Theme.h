// A named set of colours shipped as a media pack of its own; the application owns the
// current one and replaces it when the user or the server changes the theme.
#pragma once

#include "KorvelCommon/KorvelSet.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CVornApplication;

class CVornTheme
{
public:
    struct sColorConfig
    {
        CKorvelString m_strName;
        unsigned int m_uColor; // ARGB
    };
    typedef CKorvelMap<CKorvelString, sColorConfig*, CKorvelMultiSet_DefaultOrdering<CKorvelString>> ColorMap;

    CVornTheme();
    virtual ~CVornTheme();

    // Keeps the application and the name and loads "vorntheme_<name>.kmp"; 1 on success.
    virtual KE_RETVAL Startup(CVornApplication* pApplication, const CKorvelString& strName);
    // Deletes every colour.
    virtual void Shutdown();
    // The pack from the write folder, else from the application folder (8 when neither
    // opens), then its colour file: 1, 0 when no loader starts, or the loader's result.
    virtual KE_RETVAL LoadThemeFromPack(const CKorvelString& strPackName);
    // Adds or replaces the colour of that name; an alpha byte below 0x10 becomes 0xFF.
    virtual void AddColorConfig(const sColorConfig& config);
    // 1 with the colour set when the name (exact) is known, else 0 and the colour untouched.
    virtual unsigned int GetColorByName(const CKorvelString& strName, unsigned int& uColor) const;
    // "theme_<name>.xml", the colour file inside the pack.
    virtual void GetFilename(CKorvelString& strOut) const;
    // The pack file's MD5 as 32 lowercase hex characters; empty when no pack file opens.
    virtual CKorvelString GetMD5() const;

    const CKorvelString& GetName() const { return m_strName; }
    const ColorMap& GetColors() const { return m_Colors; }

protected:
    CVornApplication* m_pApp; // not owned
    CKorvelString m_strName;
    ColorMap m_Colors; // records owned

private:
    void GetPackName(CKorvelString& strOut) const;

    CVornTheme(const CVornTheme&) = delete;
    CVornTheme& operator=(const CVornTheme&) = delete;
};
