// The lobby's login part: who is logged in, and the automatic re-login. The base of
// the lobby state.
#pragma once

#include "KorvelCommon/KorvelString.h"

class CLoginController
{
public:
    CLoginController();
    virtual ~CLoginController();

    virtual void Relogin();
    virtual void Logout();
    virtual const CKorvelString& GetCurrentUserName();
    virtual unsigned int IsGuestLogin();
    // The server sends the client to another lobby server.
    virtual void Redirect(const CKorvelString& strHost, int iPort);

private:
    CLoginController(const CLoginController&) = delete;
    CLoginController& operator=(const CLoginController&) = delete;
};
