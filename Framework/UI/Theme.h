// A named set of colours shipped as a media pack of its own; the application owns the
// current one and replaces it when the user or the server changes the theme.
#pragma once

#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CVornApplication;

class CVornTheme
{
public:
    CVornTheme();
    virtual ~CVornTheme();

    // Loads the theme pack of that name; 1 on success.
    virtual KE_RETVAL Startup(CVornApplication* pApplication, const CKorvelString& strName);
    virtual void Shutdown();

private:
    CVornTheme(const CVornTheme&) = delete;
    CVornTheme& operator=(const CVornTheme&) = delete;
};
