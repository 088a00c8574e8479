// The controller's logins and registrations, the server steps they run once the lobby
// has accepted the connection, and the session's answers to them.
#include "Framework/Lobby/LoginController.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornStatistics.h"

namespace
{
const CKorvelString& GuestName()
{
    static const CKorvelString s_strGuest("guest");
    return s_strGuest;
}

CKorvelString Decimal(int iValue)
{
    CKorvelString strOut;
    strOut.FromInt(iValue, 10);
    return strOut;
}

bool IsNameCharacter(unsigned short u)
{
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '_';
}
// The lobby's part of the session's status word.
const unsigned int LOBBY_STATUS_MASK = 0xFF;
// The server's answer to a registration of a taken name.
const int REGISTRATION_NAME_TAKEN = -1;
} // namespace

// ---- starting a login or registration

void CLoginController::LoginGuest()
{
    if (m_iLoginStatus != STATUS_LOGGED_OUT)
        return;
    SetAutoLogin(0);
    m_uConnectionLost = 0;
    m_iLoginStatus = STATUS_LOGGING_IN;
    m_strUserName = GuestName();
    m_strPassword = Decimal(GetGuestLoginCount());
    m_uGuest = 1;
    m_uKeyNeeded = 1;
    VerifySessionCall(&CLoginController::connectRelogin);
}

void CLoginController::LoginKestrolund(const CKorvelString& strName, const CKorvelString& strPassword,
                                       unsigned int uAutoLogin)
{
    m_uLoggingInAnew = 1;
    Logout();
    m_uLoggingInAnew = 0;
    m_uConnectionLost = 0;
    SetLoginType(LOGIN_ACCOUNT);
    m_iLoginStatus = STATUS_LOGGING_IN;
    SetAutoLogin(uAutoLogin);
    m_strUserName = strName;
    m_strPassword = strPassword;
    m_uKeyNeeded = 1;
    m_uGuest = strName.BeginsWith(GuestName()) ? 1 : 0;
    VerifySessionCall(&CLoginController::connectLoginKestrolund);
}

void CLoginController::LoginExternal(const CKorvelString& strId, const CKorvelString& strToken,
                                     int iLoginType)
{
    if (strId.GetLength() == 0 || strToken.GetLength() == 0)
    {
        OnLoginError(Text(12), Text(29), 2, nullptr);
        return;
    }
    Logout();
    m_iLoginStatus = STATUS_LOGGING_IN;
    SetLoginType(static_cast<ELoginType>(iLoginType));
    m_strExternalId = strId;
    m_strExternalToken = strToken;
    if (m_strUserName.Compare(GuestName()) == 0)
    {
        m_strUserName.Reset();
        m_strPassword.Reset();
    }
    // Forgets the remembered name and password, then logs in automatically from now on.
    SetAutoLogin(0);
    SetAutoLogin(1);
    VerifySessionCall(&CLoginController::connectLoginExternal);
}

void CLoginController::ValidateUserName(const CKorvelString& strName)
{
    const int iLength = strName.GetLength();
    if (iLength < 4 || iLength > 15)
    {
        OnUserNameValidated(0, Text(16));
        return;
    }
    for (int i = 0; i < iLength; ++i)
        if (!IsNameCharacter(strName.GetBuffer()[i]))
        {
            OnUserNameValidated(0, Text(17));
            return;
        }
    m_strLastValidatedUserName.Reset();
    m_strRegisterName = strName;
    WithdrawUserNameCheck();
    m_strNameAsked = strName;
    VerifySessionCall(&CLoginController::connectValidateUserName);
}

void CLoginController::WithdrawUserNameCheck()
{
    m_strNameAsked.Reset();
    // A registration waiting for its name's key waits no more.
    if (m_eRegistration == REGISTRATION_KEY)
        m_eRegistration = REGISTRATION_NONE;
}

void CLoginController::RegisterKestrolund(const CKorvelString& strName, const CKorvelString& strPassword,
                                          const CKorvelString& strEmail)
{
    CVornNetworkSession* pSession = m_pApplication ? m_pApplication->GetNetworkSession() : nullptr;
    // A second press while the first waits for its answer sends nothing more.
    if (!pSession || m_eRegistration == REGISTRATION_ANSWER || m_eRegistration == REGISTRATION_CHECK)
        return;
    SetLoginType(LOGIN_ACCOUNT);
    m_strRegisterName = strName;
    m_strRegisterEmail = strEmail;
    // Hashed with the key of the connection the registration goes out on.
    m_strRegisterPlain = strPassword;
    m_uKeyNeeded = 0;
    VerifySessionCall(&CLoginController::connectRegisterKestrolund);
}

void CLoginController::RegisterExternal(const CKorvelString& strName, const CKorvelString& strId,
                                        const CKorvelString& strToken)
{
    if (m_eLoginType != LOGIN_EXTERNAL &&
        (strName.GetLength() == 0 || strId.GetLength() == 0 || strToken.GetLength() == 0))
    {
        OnLoginError(Text(12), Text(29), 2, nullptr);
        return;
    }
    CVornNetworkSession* pSession = m_pApplication ? m_pApplication->GetNetworkSession() : nullptr;
    if (!pSession)
    {
        OnLoginError(Text(12), Text(30), 2, nullptr);
        return;
    }
    m_strRegisterName = strName;
    m_strExternalId = strId;
    m_strExternalToken = strToken;
    SetLoginType(LOGIN_WEB);
    VerifySessionCall(&CLoginController::connectRegisterExternal);
}

// ---- server steps

void CLoginController::connectLoginKestrolund(CVornNetworkSession* pSession)
{
    AnswerAwaited(&CLoginController::connectLoginKestrolund);
    pSession->RequestCredentials(m_strUserName, this);
}

void CLoginController::connectSendLogin(CVornNetworkSession* pSession)
{
    AnswerAwaited(&CLoginController::connectSendLogin);
    pSession->Login(m_strUserName, m_strPassword, this);
}

void CLoginController::connectRelogin(CVornNetworkSession* pSession)
{
    AnswerAwaited(&CLoginController::connectRelogin);
    if (m_uGuest)
    {
        m_iLoginStatus = STATUS_LOGGING_IN;
        m_strUserName = GuestName();
        m_strPassword = Decimal(GetGuestLoginCount());
        m_uKeyNeeded = 1;
        pSession->Login(m_strUserName, m_strPassword, this);
    }
    else if (m_uKeyNeeded)
        pSession->RequestCredentials(m_strUserName, this);
    else
        pSession->Login(m_strUserName, m_strPassword, this);
}

void CLoginController::connectValidateUserName(CVornNetworkSession* pSession)
{
    // Withdrawn before it could go out.
    if (m_strNameAsked.GetLength() == 0)
        return;
    m_strNameSent = m_strNameAsked;
    AnswerAwaited(&CLoginController::connectValidateUserName);
    pSession->SendConfirmUserName(m_strNameSent, this);
}

void CLoginController::connectRegisterKestrolund(CVornNetworkSession* pSession)
{
    // The typed password goes out with one registration: a press that waited its turn behind
    // the one that took it sends nothing.
    if (m_eRegistration != REGISTRATION_NONE || m_strRegisterPlain.GetLength() == 0)
        return;
    if (m_uKeyConnection == m_uConnection && m_strRegisterKey.GetLength() > 0 &&
        m_strLastValidatedUserName.IsEqual(m_strRegisterName))
    {
        SendRegistration(pSession);
        return;
    }
    m_eRegistration = REGISTRATION_KEY;
    m_strNameAsked = m_strRegisterName;
    connectValidateUserName(pSession);
    // Its key is of no use on another connection: the registration starts again there.
    m_pfnAgain = &CLoginController::connectRegisterKestrolund;
}

void CLoginController::SendRegistration(CVornNetworkSession* pSession)
{
    m_strRegisterPassword = CVornNetworkSession::GeneratePasswordHash(m_strRegisterPlain, m_strRegisterKey);
    m_eRegistration = REGISTRATION_ANSWER;
    // It creates an account: not sent again before a login tells that none was made.
    AnswerAwaited(&CLoginController::connectCheckRegistration);
    pSession->SendConfirmEmail(m_strRegisterName, m_strRegisterEmail, m_strRegisterPassword, 0,
                               CKorvelString(), CKorvelString(), this);
}

void CLoginController::connectLoginExternal(CVornNetworkSession* pSession)
{
    m_uGuest = 0;
    if (m_eLoginType == LOGIN_WEB &&
        (m_strExternalId.GetLength() == 0 || m_strExternalToken.GetLength() == 0))
    {
        ForwardToGoogleLogin();
        return;
    }
    AnswerAwaited(&CLoginController::connectLoginExternal);
    pSession->LoginExternal(static_cast<int>(m_eLoginType), m_strExternalId, m_strExternalToken,
                            CKorvelString(), m_strRegisterEmail, this);
}

void CLoginController::connectRegisterExternal(CVornNetworkSession* pSession)
{
    // The external id and token go out with it once.
    AnswerAwaited(nullptr);
    pSession->SendConfirmEmail(m_strRegisterName, CKorvelString(), m_strRegisterPassword,
                               static_cast<int>(m_eLoginType), m_strExternalToken, m_strExternalId, this);
    m_strExternalId.Reset();
    m_strExternalToken.Reset();
}

void CLoginController::connectCheckRegistration(CVornNetworkSession* pSession)
{
    m_eRegistration = REGISTRATION_CHECK;
    AnswerAwaited(nullptr);
    pSession->Login(m_strRegisterName, m_strRegisterPassword, this);
}

// ---- answers

void CLoginController::OnReceiveRandomKey(CVornNetworkSession* pSession, const CKorvelString& strKey)
{
    m_uSentAgain = 0;
    m_strPassword = CVornNetworkSession::GeneratePasswordHash(m_strPassword, strKey);
    m_uKeyNeeded = 0;
    connectSendLogin(pSession);
}

void CLoginController::OnLoggedIn(CVornNetworkSession*, int, const CKorvelString& strUserName,
                                  const CKorvelString& strSecond, const CKorvelString&, const CKorvelString&,
                                  int)
{
    CAnswerCame came(*this);
    // The registration whose answer was lost made the account.
    if (m_eRegistration == REGISTRATION_CHECK)
    {
        m_eRegistration = REGISTRATION_NONE;
        TakeRegisteredAccount(m_strRegisterName);
    }
    m_iLoginStatus = STATUS_LOGGED_IN;
    m_uConnectionLost = 0;
    if (CVornStatistics* pStore = m_pApplication ? m_pApplication->GetStatistics() : nullptr)
    {
        // Guests and logins without auto-login leave nothing to log in with later.
        const bool bForget = !m_pAutoLogin || !m_pAutoLogin->m_uBoolValue || m_uGuest;
        if (m_pStoredUserName)
            m_pStoredUserName->SetString(bForget ? CKorvelString() : m_strUserName);
        if (m_pStoredPassword)
            m_pStoredPassword->SetString(bForget ? CKorvelString() : m_strPassword);
        pStore->CountUp(CKorvelString("__Vorn_TimesLoggedIn"));
        if (m_uGuest && m_pGuestCounter)
            m_pGuestCounter->SetInt(GetGuestLoginCount() + 1);
        pStore->WriteStatistics();
    }
    const unsigned int uJustRegistered = m_uJustRegistered;
    m_uJustRegistered = 0;
    OnLoginSuccessful(strUserName, strSecond, uJustRegistered);
}

void CLoginController::OnLoginError(CVornNetworkSession* pSession, const CKorvelString& strMessage)
{
    // The answer awaited; a request that waited its turn is given up with it.
    CAnswerCame came(*this);
    const bool bServerAnswered =
        pSession && (pSession->GetStatus() & LOBBY_STATUS_MASK) >= CVornNetworkSession::LOBBY_ACCEPTED;
    const bool bNotRegistered = m_eRegistration == REGISTRATION_CHECK && bServerAnswered;
    ForgetAwaitedAnswers();
    m_iLoginStatus = STATUS_LOGGED_OUT;
    m_uRedirect = 0;
    // No account has the lost registration's name and password: it was not made, and goes out
    // again from its name check (a name taken meanwhile is refused as such).
    if (bNotRegistered)
    {
        VerifySessionCall(&CLoginController::connectRegisterKestrolund);
        return;
    }
    // The automatic re-login after a lost connection found no server: the player was
    // playing, not logging in, and there is no account to recover. Said at every attempt
    // until the server answers again.
    if (m_uConnectionLost && !bServerAnswered)
    {
        OnLoginError(Text(CVornNetworkSession::TEXT_CONNECTION_LOST_TITLE),
                     Text(CVornNetworkSession::TEXT_CONNECTION_LOST), 2, nullptr);
        return;
    }
    // An account that plays in another window or device is no forgotten password to recover,
    // however the login was made (by hand, again by itself, from a guest's session, external).
    const bool bInUse = pSession && pSession->GetLoginResult() == CVornNetworkSession::LOGIN_ACCOUNT_IN_USE;
    const int iFlags = bInUse ? 2 : 3;
    m_uConnectionLost = 0;
    OnLoginError(Text(12), strMessage, iFlags, nullptr);
}

void CLoginController::OnNewVersionAvailable(CVornNetworkSession*, const CKorvelString& strLink)
{
    CAnswerCame came(*this);
    OnLoginNewVersion(strLink);
}

void CLoginController::OnUserNameConfirmed(CVornNetworkSession* pSession, int iResult,
                                           const CKorvelString& strKey)
{
    CAnswerCame came(*this);
    // An answer for a name no longer asked about (the page went back, or another name waits
    // its turn) would be shown beside another name.
    if (m_strNameAsked.GetLength() == 0 || !m_strNameAsked.IsEqual(m_strNameSent))
        return;
    const bool bRegistering = m_eRegistration == REGISTRATION_KEY;
    if (bRegistering)
        m_eRegistration = REGISTRATION_NONE;
    if (iResult != 0)
    {
        // Taken since: as the server answers a registration of a taken name.
        if (bRegistering)
            RefuseRegistration(REGISTRATION_NAME_TAKEN);
        else
            OnUserNameValidated(0, Text(57));
        return;
    }
    m_strLastValidatedUserName = m_strNameSent;
    m_strRegisterPassword = strKey;
    m_strRegisterKey = strKey;
    m_uKeyConnection = m_uConnection;
    if (bRegistering)
        SendRegistration(pSession);
    else
        OnUserNameValidated(1, CKorvelString());
}

void CLoginController::RefuseRegistration(int iResult)
{
    SetAutoLogin(0);
    // The results -1 (name taken), -2 (address taken) and -3 (details refused) have texts 22
    // to 24; any other, text 25 (try again later).
    const int iMessage = iResult <= REGISTRATION_NAME_TAKEN && iResult >= -3 ? 21 - iResult : 25;
    OnLoginError(Text(21), Text(iMessage), 3, nullptr);
}

void CLoginController::OnEmailConfirmed(CVornNetworkSession*, int iResult, const CKorvelString& strName)
{
    CAnswerCame came(*this);
    m_eRegistration = REGISTRATION_NONE;
    if (iResult != 0)
    {
        m_strRegisterPlain.Reset();
        RefuseRegistration(iResult);
        return;
    }
    TakeRegisteredAccount(strName);
    // May replace the session that is delivering this answer; the application deletes it
    // at the next frame.
    Relogin();
}

void CLoginController::TakeRegisteredAccount(const CKorvelString& strName)
{
    m_strRegisterPlain.Reset();
    m_strUserName = strName;
    m_strPassword = m_strRegisterPassword;
    m_uKeyNeeded = 0;
    SetAutoLogin(m_eLoginType == LOGIN_ACCOUNT ? 1 : 0);
    m_uGuest = 0;
    m_uJustRegistered = 1;
}

void CLoginController::ExternalLoginOk(IExternalLogin*, const CKorvelString&, const CKorvelString&,
                                       const CKorvelString&)
{
    ResetReloginTimer(0.0f, RELOGIN_LOGIN);
    VerifySessionCall(&CLoginController::connectLoginExternal);
}

void CLoginController::ExternalLoginError(unsigned int uCancelled, const CKorvelString& strTitle,
                                          const CKorvelString& strMessage, int iFlags)
{
    if (uCancelled)
        OnLoginCancelled();
    else
        OnLoginError(strTitle, strMessage, iFlags, nullptr);
}
