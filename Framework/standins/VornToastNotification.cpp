// Stand-in until the lobby lands: a toast that is never shown; toasts are dropped.
#include "Framework/VornToastNotification.h"

CVornToastNotification::CVornToastNotification() {}

CVornToastNotification::~CVornToastNotification() {}

void CVornToastNotification::Add(const CKorvelString&, int, float) {}

unsigned int CVornToastNotification::GetVisible()
{
    return 0;
}

int CVornToastNotification::GetType()
{
    return 1;
}

unsigned int CVornToastNotification::OnThemeChanged()
{
    return 1;
}
