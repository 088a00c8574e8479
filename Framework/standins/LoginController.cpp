// Stand-in until the lobby lands: nobody logs in; the user counts as a guest.
#include "Framework/LoginController.h"

CLoginController::CLoginController() {}

CLoginController::~CLoginController() {}

void CLoginController::Relogin() {}

void CLoginController::Logout() {}

const CKorvelString& CLoginController::GetCurrentUserName()
{
    static const CKorvelString s_strNone;
    return s_strNone;
}

unsigned int CLoginController::IsGuestLogin()
{
    return 1;
}

void CLoginController::Redirect(const CKorvelString&, int) {}
