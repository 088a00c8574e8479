// Stand-in until the lobby lands: an advertisement that is never shown; asking for
// the exit advertisement ends the application at once.
#include "Framework/VornAdvertisement.h"

#include "Framework/KestrolundApplication.h"

CVornAdvertisement::CVornAdvertisement() {}

CVornAdvertisement::~CVornAdvertisement() {}

unsigned int CVornAdvertisement::DisplayAd(const CKorvelString&, const CKorvelString&, int,
                                           const unsigned char*, int, int, const CKorvelArray<int>&,
                                           const CKorvelString&, int, const CKorvelString&,
                                           const CKorvelString&)
{
    return 1;
}

void CVornAdvertisement::ShowExitAd()
{
    if (m_pApplication)
        m_pApplication->Exit();
}

unsigned int CVornAdvertisement::OnThemeChanged()
{
    return 1;
}

unsigned int CVornAdvertisement::GetVisible()
{
    return 0;
}

void CVornAdvertisement::SetVisible(unsigned int) {}
