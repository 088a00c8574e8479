// The controller's life cycle, remembered settings, connection and the automatic
// re-login. The logins, registrations and their answers: LoginControllerSteps.cpp.
#include "Framework/Lobby/LoginController.h"

#include <new>

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/Shell/VornTextFormat.h"

float CLoginController::fReloginWaitingTime = CLoginController::RELOGIN_FIRST_WAIT;

// The local lobby server; "settings.txt" names another.
static const char* const DEFAULT_LOBBY_HOST = "127.0.0.1";

// ---- relogin timer

CLoginController::ReloginTimer::ReloginTimer()
    : m_pApplication(nullptr), m_pController(nullptr), m_fRemaining(0.0f), m_eType(RELOGIN_LOGIN)
{
}

CLoginController::ReloginTimer::~ReloginTimer()
{
    Shutdown();
}

void CLoginController::ReloginTimer::Startup(CKestrolundApplication* pApplication,
                                             CLoginController* pController)
{
    m_pApplication = pApplication;
    m_pController = pController;
}

void CLoginController::ReloginTimer::Unregister()
{
    if (m_uRegistered && m_pApplication)
        m_pApplication->RemoveRunnable(this);
}

void CLoginController::ReloginTimer::Reset(float fSeconds, eRELOGINTYPE eType)
{
    Unregister();
    m_eType = eType;
    m_fRemaining = fSeconds;
    if (fSeconds > 0.0f && m_pApplication)
        m_pApplication->AddRunnable(this);
}

void CLoginController::ReloginTimer::Shutdown()
{
    Unregister();
    m_fRemaining = 0.0f;
}

void CLoginController::ReloginTimer::Update(float fFrameSeconds)
{
    if (m_fRemaining <= 0.0f)
        return;
    m_fRemaining -= fFrameSeconds;
    if (m_fRemaining > 0.0f)
        return;
    Unregister();
    if (m_pController)
    {
        switch (m_eType)
        {
        case RELOGIN_LOGIN:
            m_pController->OnAutoRelogin();
            m_pController->Relogin();
            break;
        case RELOGIN_CONNECT:
            m_pController->Connect();
            break;
        case RELOGIN_DISCONNECT:
            m_pController->Disconnect();
            break;
        }
    }
    const float fNext = fReloginWaitingTime * 10.0f;
    fReloginWaitingTime = fNext < RELOGIN_LONGEST_WAIT ? fNext : RELOGIN_LONGEST_WAIT;
}

// ---- life cycle

CLoginController::CLoginController()
    : m_pApplication(nullptr), m_uKeyNeeded(1), m_pAutoLogin(nullptr), m_pStoredUserName(nullptr),
      m_pStoredPassword(nullptr), m_pFirstRun(nullptr), m_pGuestCounter(nullptr), m_pLastLoginType(nullptr),
      m_pfnPendingStep(nullptr), m_strServerHost(DEFAULT_LOBBY_HOST), m_iServerPort(DEFAULT_PORT),
      m_iLoginStatus(STATUS_LOGGED_OUT), m_eLoginType(LOGIN_ACCOUNT), m_iRedirectPort(0), m_uRedirect(0),
      m_pReloginTimer(nullptr), m_uGuest(0), m_uJustRegistered(0), m_uConnectionLost(0), m_uLoggingInAnew(0),
      m_uAnswerAwaited(0), m_pfnNextStep(nullptr), m_pfnAgain(nullptr), m_uSentAgain(0), m_uClosing(0),
      m_eRegistration(REGISTRATION_NONE), m_uConnection(0), m_uKeyConnection(0)
{
}

CLoginController::~CLoginController()
{
    // An armed timer leaves the application's runnables; the owner calls Shutdown first.
    delete m_pReloginTimer;
}

namespace
{
// The property of that name, made with its default when missing (then bCreated is set).
CVornStatisticsProperty* Property(CVornStatistics& store, const char* pName, bool& bCreated)
{
    return store.FindOrAddProperty(CKorvelString(pName), &bCreated);
}
} // namespace

unsigned int CLoginController::Startup(CKestrolundApplication* pApplication)
{
    m_pApplication = pApplication;
    if (!pApplication)
        return 0;
    if (CVornSettings* pSettings = pApplication->GetSettings())
    {
        const CKorvelString strSection("NETWORK");
        m_strServerHost = pSettings->GetStringValue(strSection, CKorvelString("server"), m_strServerHost);
        m_iServerPort = pSettings->GetIntValue(strSection, CKorvelString("port"), m_iServerPort);
    }
    CVornStatistics* pStore = pApplication->GetStatistics();
    if (!pStore)
        return 0;

    bool bCreated = false, bForgotten = false;
    m_pAutoLogin = Property(*pStore, "__Vorn_AutoLogin", bCreated);
    if (bCreated && m_pAutoLogin)
        m_pAutoLogin->SetBool(0);
    bForgotten = bCreated;
    m_pStoredUserName = Property(*pStore, "__Vorn_UserName", bCreated);
    if (bCreated && m_pStoredUserName)
        m_pStoredUserName->SetString(CKorvelString());
    else if (m_pStoredUserName)
        m_strUserName = m_pStoredUserName->m_strStringValue;
    bForgotten = bForgotten || bCreated;
    m_pStoredPassword = Property(*pStore, "__Vorn_Password", bCreated);
    m_uKeyNeeded = bCreated ? 1 : 0;
    if (bCreated && m_pStoredPassword)
        m_pStoredPassword->SetString(CKorvelString());
    else if (m_pStoredPassword)
        m_strPassword = m_pStoredPassword->m_strStringValue;
    bForgotten = bForgotten || bCreated;
    m_pFirstRun = Property(*pStore, "__Vorn_FirstRun", bCreated);
    if (bCreated && m_pFirstRun)
        m_pFirstRun->SetBool(1);
    m_pGuestCounter = Property(*pStore, "__Vorn_GuestCounter", bCreated);
    if (bCreated && m_pGuestCounter)
        m_pGuestCounter->SetInt(0);
    m_pLastLoginType = Property(*pStore, "__Vorn_LastLoginType", bCreated);
    if (bCreated && m_pLastLoginType)
        m_pLastLoginType->SetInt(0);
    else if (m_pLastLoginType)
        m_eLoginType = static_cast<ELoginType>(m_pLastLoginType->m_iIntValue);
    const unsigned int uRemembered = !bForgotten && m_pAutoLogin && m_pAutoLogin->m_uBoolValue ? 1 : 0;

    m_uGuest = 0;
    if ((m_strUserName.GetLength() == 0 || m_strPassword.GetLength() == 0) && m_eLoginType == LOGIN_ACCOUNT)
    {
        SetAutoLogin(0);
        WriteStatistics();
        m_uKeyNeeded = 1;
    }
    else
    {
        WriteStatistics();
        if (!uRemembered)
            m_uKeyNeeded = 1;
    }

    delete m_pReloginTimer;
    m_pReloginTimer = new (std::nothrow) ReloginTimer;
    if (m_pReloginTimer)
        m_pReloginTimer->Startup(pApplication, this);
    m_iLoginStatus = STATUS_LOGGED_OUT;
    m_strLastValidatedUserName.Reset();
    return 1;
}

void CLoginController::Shutdown()
{
    if (!m_pApplication)
        return;
    if (m_pReloginTimer)
    {
        m_pReloginTimer->Shutdown();
        delete m_pReloginTimer;
        m_pReloginTimer = nullptr;
    }
    if (CVornNetworkSession* pSession = m_pApplication->GetNetworkSession())
        pSession->RemoveStatusObserver(this);
    m_pfnPendingStep = nullptr;
    m_pApplication = nullptr;
    m_pAutoLogin = m_pStoredUserName = m_pStoredPassword = nullptr;
    m_pFirstRun = m_pGuestCounter = m_pLastLoginType = nullptr;
}

void CLoginController::ResetCredentials()
{
    m_strRegisterName.Reset();
    m_strRegisterPassword.Reset();
    m_strRegisterEmail.Reset();
    m_strLastValidatedUserName.Reset();
    m_strRegisterKey.Reset();
    m_strRegisterPlain.Reset();
    WithdrawUserNameCheck();
}

void CLoginController::ResetReloginTimer(float fSeconds, eRELOGINTYPE eType)
{
    if (m_pReloginTimer)
        m_pReloginTimer->Reset(fSeconds, eType);
}

CKorvelString CLoginController::Text(int iNumber) const
{
    CVornLanguage* pLanguage = m_pApplication ? m_pApplication->GetLanguage() : nullptr;
    return pLanguage ? pLanguage->GetText(iNumber) : CKorvelString();
}

void CLoginController::WriteStatistics()
{
    if (CVornStatistics* pStore = m_pApplication ? m_pApplication->GetStatistics() : nullptr)
        pStore->WriteStatistics();
}

// ---- remembered settings

CKorvelString CLoginController::GetUserName() const
{
    return m_pStoredUserName ? m_pStoredUserName->m_strStringValue : CKorvelString();
}

CKorvelString CLoginController::GetAuthToken() const
{
    return m_pStoredPassword ? m_pStoredPassword->m_strStringValue : CKorvelString();
}

unsigned int CLoginController::GetAutoLogin() const
{
    if (!m_pAutoLogin || !m_pAutoLogin->m_uBoolValue)
        return 0;
    if (m_eLoginType == LOGIN_EXTERNAL || m_eLoginType == LOGIN_WEB)
        return 1;
    return GetUserName().GetLength() > 0 && GetAuthToken().GetLength() > 0 ? 1 : 0;
}

void CLoginController::SetAutoLogin(unsigned int uAutoLogin)
{
    if (m_pAutoLogin)
        m_pAutoLogin->SetBool(uAutoLogin);
    if (uAutoLogin)
        return;
    if (m_pStoredUserName)
        m_pStoredUserName->SetString(CKorvelString());
    if (m_pStoredPassword)
        m_pStoredPassword->SetString(CKorvelString());
    WriteStatistics();
}

int CLoginController::GetGuestLoginCount() const
{
    return m_pGuestCounter ? m_pGuestCounter->m_iIntValue : 0;
}

void CLoginController::SetLoginType(ELoginType eType)
{
    m_eLoginType = eType;
    if (m_pLastLoginType)
        m_pLastLoginType->SetInt(static_cast<int>(eType));
}

unsigned int CLoginController::IsExternalLogin() const
{
    return m_eLoginType != LOGIN_ACCOUNT ? 1 : 0;
}

const CKorvelString& CLoginController::GetCurrentUserName() const
{
    return m_eLoginType != LOGIN_ACCOUNT ? m_strUserName : m_strExternalId;
}

unsigned int CLoginController::IsGuestLogin() const
{
    return m_uGuest;
}

// ---- connection and automatic re-login

void CLoginController::VerifySessionCall(ServerStep pfnStep)
{
    CVornNetworkSession* pSession = m_pApplication ? m_pApplication->GetNetworkSession() : nullptr;
    if (!pSession)
        return;
    const unsigned int uLobby = pSession->GetStatus() & 0xFF;
    if (uLobby == CVornNetworkSession::LOBBY_SOCKET_UP || uLobby == CVornNetworkSession::LOBBY_ACCEPTED ||
        uLobby == CVornNetworkSession::LOBBY_LOGIN_SENT || uLobby == CVornNetworkSession::LOBBY_LOGGED_IN)
    {
        // A connection not yet accepted runs its pending step then: the newest one, once.
        if (uLobby == CVornNetworkSession::LOBBY_SOCKET_UP && m_pfnPendingStep)
            m_pfnPendingStep = pfnStep;
        else
            RunStep(pSession, pfnStep);
        return;
    }
    ConnectSession(pfnStep);
}

void CLoginController::RunStep(CVornNetworkSession* pSession, ServerStep pfnStep)
{
    if (m_uAnswerAwaited)
        m_pfnNextStep = pfnStep;
    else
        (this->*pfnStep)(pSession);
}

void CLoginController::ForgetAwaitedAnswers()
{
    m_uAnswerAwaited = 0;
    m_pfnNextStep = nullptr;
    m_pfnAgain = nullptr;
    m_eRegistration = REGISTRATION_NONE;
}

bool CLoginController::SendAgainOnNewConnection(CVornNetworkSession* pSession)
{
    const ServerStep pfnAgain = m_pfnAgain;
    if (!m_uAnswerAwaited || !pfnAgain || m_uSentAgain || m_uClosing || m_iLoginStatus == STATUS_LOGGED_IN)
        return false;
    // A session ended for a cause of its own says so.
    if (pSession && (pSession->GameConnectionFailed() || pSession->FileOpenFailed()))
        return false;
    // A step that waited its turn keeps it, unless it is the one sent again (which sends what
    // is newest).
    const ServerStep pfnNext = m_pfnNextStep != pfnAgain ? m_pfnNextStep : nullptr;
    const ERegistration eRegistration = m_eRegistration;
    ConnectSession(pfnAgain);
    m_pfnNextStep = pfnNext;
    m_uSentAgain = 1;
    // A registration that went out stays marked until the login that checks it has run: a
    // second press while the new connection is made would send it blind, and be told that the
    // name of the account it made is taken.
    if (eRegistration == REGISTRATION_ANSWER && m_pfnPendingStep == pfnAgain)
        m_eRegistration = REGISTRATION_ANSWER;
    return true;
}

CLoginController::CAnswerCame::CAnswerCame(CLoginController& controller) : m_Controller(controller)
{
    m_Controller.m_uAnswerAwaited = 0;
    m_Controller.m_uSentAgain = 0;
}

CLoginController::CAnswerCame::~CAnswerCame()
{
    const ServerStep pfnNext = m_Controller.m_pfnNextStep;
    if (m_Controller.m_uAnswerAwaited || !pfnNext)
        return;
    m_Controller.m_pfnNextStep = nullptr;
    m_Controller.VerifySessionCall(pfnNext);
}

void CLoginController::ConnectSession(ServerStep pfnStep)
{
    if (!m_pApplication)
        return;
    m_uClosing = 1;
    m_pApplication->ResetNetworkSession();
    m_uClosing = 0;
    ForgetAwaitedAnswers();
    ++m_uConnection;
    CVornNetworkSession* pSession = m_pApplication->GetNetworkSession();
    if (!pSession)
        return;
    pSession->AddStatusObserver(this);
    m_pfnPendingStep = pfnStep;
    const CKorvelString& strHost = m_uRedirect ? m_strRedirectHost : m_strServerHost;
    const int iPort = m_uRedirect ? m_iRedirectPort : m_iServerPort;
    // A port outside the range would wrap around to another server's port.
    const bool bPortInRange = iPort >= MIN_PORT && iPort <= MAX_PORT;
    if (bPortInRange && pSession->Connect(strHost, static_cast<unsigned short>(iPort), this) == 1)
        return;
    // No connection will be accepted to run it.
    m_pfnPendingStep = nullptr;
    if (!bPortInRange)
    {
        const int iText = m_uRedirect ? TEXT_REDIRECT_PORT : TEXT_SETTINGS_PORT;
        OnLoginError(Text(14), CVornTextFormat::Format(Text(iText), {iPort}), 2, nullptr);
    }
    // A player who was logged in lost the connection: said so until the server is back.
    else if (m_uConnectionLost)
        OnLoginError(Text(CVornNetworkSession::TEXT_CONNECTION_LOST_TITLE),
                     Text(CVornNetworkSession::TEXT_CONNECTION_LOST), 2, nullptr);
    else
        OnLoginError(Text(14), Text(3), 2, nullptr);
}

void CLoginController::Connect()
{
    ConnectSession(nullptr);
}

void CLoginController::Disconnect()
{
    if (CVornNetworkSession* pSession = m_pApplication ? m_pApplication->GetNetworkSession() : nullptr)
    {
        m_uClosing = 1;
        pSession->Disconnect();
        m_uClosing = 0;
    }
}

void CLoginController::OnLobbyStatusChanged(CVornNetworkSession* pSession, unsigned int uStatus)
{
    if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED && SendAgainOnNewConnection(pSession))
        return;
    const unsigned int uAwaited = m_uAnswerAwaited;
    if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED)
    {
        ForgetAwaitedAnswers();
        m_uSentAgain = 0;
    }
    if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED && m_iLoginStatus == STATUS_LOGGED_IN)
        m_uConnectionLost = 1;
    // A match whose game connection could not be opened (no descriptor left, no server
    // there), or a file the game needs that could not be, ended the session: said at once,
    // and the player goes back from the error page rather than into a login that would
    // land him in the lobby without a word.
    if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED && pSession &&
        (pSession->GameConnectionFailed() || pSession->FileOpenFailed()))
    {
        m_iLoginStatus = STATUS_LOGGED_OUT;
        ResetReloginTimer(0.0f, RELOGIN_LOGIN);
        OnLoginError(Text(CVornNetworkSession::TEXT_CONNECTION_LOST_TITLE),
                     Text(CVornNetworkSession::TEXT_CONNECTION_LOST), 2, nullptr);
        return;
    }
    // A name check or registration whose connection closed before its answer and that does not
    // go out again (once more already, or not to be sent twice) would leave its page waiting.
    if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED && uAwaited && m_iLoginStatus == STATUS_LOGGED_OUT)
        OnLoginError(Text(CVornNetworkSession::TEXT_CONNECTION_LOST_TITLE),
                     Text(CVornNetworkSession::TEXT_CONNECTION_LOST), 2, nullptr);
    if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED)
        ResetReloginTimer(m_iLoginStatus != STATUS_LOGGED_OUT ? fReloginWaitingTime : 0.0f, RELOGIN_LOGIN);
    else if (uStatus == CVornNetworkSession::LOBBY_ACCEPTED)
    {
        ResetReloginTimer(0.0f, RELOGIN_LOGIN);
        fReloginWaitingTime = RELOGIN_FIRST_WAIT;
        const ServerStep pfnStep = m_pfnPendingStep;
        m_pfnPendingStep = nullptr;
        if (pfnStep)
            RunStep(pSession, pfnStep);
        // The request sent again was withdrawn meanwhile: the step behind it goes now.
        const ServerStep pfnNext = m_pfnNextStep;
        if (pfnNext && !m_uAnswerAwaited)
        {
            m_pfnNextStep = nullptr;
            RunStep(pSession, pfnNext);
        }
    }
}

void CLoginController::Redirect(const CKorvelString& strHost, int iPort)
{
    m_strRedirectHost = strHost;
    m_iRedirectPort = iPort;
    m_uRedirect = 1;
    ResetReloginTimer(fReloginWaitingTime,
                      m_iLoginStatus != STATUS_LOGGED_OUT ? RELOGIN_LOGIN : RELOGIN_CONNECT);
}

void CLoginController::Logout()
{
    CVornNetworkSession* pSession = m_pApplication ? m_pApplication->GetNetworkSession() : nullptr;
    if (m_iLoginStatus != STATUS_LOGGED_OUT && pSession)
    {
        OnLogout();
        pSession->Logout();
        m_uClosing = 1;
        pSession->Disconnect();
        m_uClosing = 0;
        m_iLoginStatus = STATUS_LOGGED_OUT;
    }
    ResetReloginTimer(0.0f, RELOGIN_LOGIN);
}

void CLoginController::Relogin()
{
    Logout();
    m_iLoginStatus = STATUS_LOGGING_IN;
    VerifySessionCall(m_eLoginType == LOGIN_EXTERNAL || m_eLoginType == LOGIN_WEB
                          ? &CLoginController::connectLoginExternal
                          : &CLoginController::connectRelogin);
}
