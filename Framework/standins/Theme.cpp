// Stand-in until the UI toolkit's theme lands: every theme starts and loads nothing.
#include "Framework/UI/Theme.h"

CVornTheme::CVornTheme() {}

CVornTheme::~CVornTheme() {}

KE_RETVAL CVornTheme::Startup(CVornApplication*, const CKorvelString&)
{
    return KE_OK;
}

void CVornTheme::Shutdown() {}
