// The lobby's login part: who is logged in and with what, connecting the session when a
// server step needs it, and logging in again by itself after a lost connection or a
// redirect, waiting longer after each attempt. It reports every outcome through eight
// operations that the lobby state (its subclass) implements.
// Files: LoginController.cpp (state, connecting, automatic relogin), LoginControllerSteps.cpp
// (logins, registrations and the session's answers).
#pragma once

#include "Framework/Session/VornNetworkSession.h"
#include "KorvelCommon/KorvelRunnable.h"
#include "KorvelCommon/KorvelString.h"

class CKestrolundApplication;
class CVornStatisticsProperty;

// A provider of logins through another service. None exists yet: a provider gets the
// controller as its listener and reports the outcome to it.
class IExternalLogin
{
public:
    class IListener
    {
    public:
        virtual ~IListener() {}
        virtual void ExternalLoginOk(IExternalLogin* pLogin, const CKorvelString& strFirst,
                                     const CKorvelString& strSecond, const CKorvelString& strThird) = 0;
        virtual void ExternalLoginError(unsigned int uCancelled, const CKorvelString& strTitle,
                                        const CKorvelString& strMessage, int iFlags) = 0;
    };
    virtual ~IExternalLogin() {}
};

class CLoginController : protected CVornNetworkSession::StatusObserver,
                         protected CVornNetworkSession::LoginObserver,
                         protected IExternalLogin::IListener
{
public:
    enum ELoginType
    {
        LOGIN_ACCOUNT = 0, // account or guest
        LOGIN_EXTERNAL = 1,
        LOGIN_WEB = 2
    };
    enum eRELOGINTYPE
    {
        RELOGIN_LOGIN = 1,
        RELOGIN_CONNECT = 2,
        RELOGIN_DISCONNECT = 3
    };
    enum
    {
        STATUS_LOGGED_OUT = 0,
        STATUS_LOGGING_IN = 1,
        STATUS_LOGGED_IN = 2
    };
    typedef void (CLoginController::*ServerStep)(CVornNetworkSession* pSession);

    // The wait before the next automatic attempt, shared by every controller: 1 s, then
    // ten times longer after each attempt up to 10 s, 1 s again once a connection is
    // accepted.
    static float fReloginWaitingTime;
    static constexpr float RELOGIN_FIRST_WAIT = 1.0f;
    static constexpr float RELOGIN_LONGEST_WAIT = 10.0f;
    static const int DEFAULT_PORT = 5000;
    static const int MIN_PORT = 1;
    static const int MAX_PORT = 65535;
    // The login error texts naming the settings' port and a redirect's port that is out of range.
    static const int TEXT_SETTINGS_PORT = 337;
    static const int TEXT_REDIRECT_PORT = 338;

    // Runs the automatic attempt once its time is up: a runnable of the application
    // while armed.
    class ReloginTimer : public IKorvelRunnable
    {
    public:
        ReloginTimer();
        ~ReloginTimer() override;
        void Startup(CKestrolundApplication* pApplication, CLoginController* pController);
        // Disarms; arms again for seconds above 0.
        void Reset(float fSeconds, eRELOGINTYPE eType);
        void Shutdown();
        void Update(float fFrameSeconds) override;

        float GetRemaining() const { return m_fRemaining; }
        eRELOGINTYPE GetType() const { return m_eType; }

    private:
        void Unregister();

        CKestrolundApplication* m_pApplication;
        CLoginController* m_pController;
        float m_fRemaining;
        eRELOGINTYPE m_eType;
    };

    CLoginController();
    ~CLoginController() override;

    // ---- status observer
    void OnLobbyStatusChanged(CVornNetworkSession* pSession, unsigned int uStatus) override;
    void OnGameStatusChanged(CVornNetworkSession*, unsigned int) override {}
    void OnNotification(CVornNetworkSession*, int, int, const CKorvelString&) override {}

    // 1, or 0 when the application has no statistics store.
    virtual unsigned int Startup(CKestrolundApplication* pApplication);
    virtual void Shutdown();
    virtual void ResetCredentials();
    virtual void ResetReloginTimer(float fSeconds, eRELOGINTYPE eType);

    virtual void LoginGuest();
    virtual void LoginKestrolund(const CKorvelString& strName, const CKorvelString& strPassword,
                                 unsigned int uAutoLogin);
    virtual void RegisterKestrolund(const CKorvelString& strName, const CKorvelString& strPassword,
                                    const CKorvelString& strEmail);
    virtual void LoginExternal(const CKorvelString& strId, const CKorvelString& strToken, int iLoginType);
    virtual void RegisterExternal(const CKorvelString& strName, const CKorvelString& strId,
                                  const CKorvelString& strToken);
    virtual void ValidateUserName(const CKorvelString& strName);
    virtual void Relogin();
    virtual void Logout();
    // Connects the lobby without a step to run once accepted.
    virtual void Connect();
    virtual void Disconnect();
    // The server sends the client to another lobby server.
    virtual void Redirect(const CKorvelString& strHost, int iPort);

    virtual unsigned int IsExternalLogin() const;
    // The name of an external login; for an account or guest login the external id, which is
    // empty, so the login page keeps what it shows (the remembered name) for those.
    virtual const CKorvelString& GetCurrentUserName() const;
    virtual unsigned int IsGuestLogin() const;

    // ---- reports, implemented by the lobby state
    virtual void OnLoginSuccessful(const CKorvelString& strUserName, const CKorvelString& strSecond,
                                   unsigned int uJustRegistered) = 0;
    // Flags: bit 0 shows the recover button, bit 1 the second wording of "try again".
    virtual void OnLoginError(const CKorvelString& strTitle, const CKorvelString& strMessage, int iFlags,
                              const CKorvelString* pUpdateLink) = 0;
    virtual void OnLoginCancelled() = 0;
    virtual void OnLoginNewVersion(const CKorvelString& strLink) = 0;
    virtual void OnLogout() = 0;
    virtual void OnUserNameValidated(unsigned int uOk, const CKorvelString& strMessage) = 0;
    virtual void OnAutoRelogin() = 0;
    virtual void ForwardToGoogleLogin() = 0;

    // The remembered name and password (hashed) of the statistics store.
    virtual CKorvelString GetUserName() const;
    virtual CKorvelString GetAuthToken() const;
    virtual unsigned int GetAutoLogin() const;
    // Off also forgets the remembered name and password.
    virtual void SetAutoLogin(unsigned int uAutoLogin);
    virtual int GetGuestLoginCount() const;
    virtual const CKorvelString& GetRegisterName() const { return m_strRegisterName; }
    virtual const CKorvelString& GetRegisterPassword() const { return m_strRegisterPassword; }
    virtual const CKorvelString& GetRegisterEmail() const { return m_strRegisterEmail; }
    virtual const CKorvelString& GetLastValidatedUserName() const { return m_strLastValidatedUserName; }
    // The name the newest name check asks about; empty once withdrawn.
    const CKorvelString& GetNameAsked() const { return m_strNameAsked; }
    // The page no longer shows the name asked about: the check's answer changes nothing.
    void WithdrawUserNameCheck();

    int GetLoginStatus() const { return m_iLoginStatus; }
    ELoginType GetLoginType() const { return m_eLoginType; }
    // Also the remembered type of the statistics store (not written here).
    void SetLoginType(ELoginType eType);
    IExternalLogin* GetExternalLogin() { return nullptr; }
    const CKorvelString& GetServerHost() const { return m_strServerHost; }
    int GetServerPort() const { return m_iServerPort; }
    ReloginTimer* GetReloginTimer() const { return m_pReloginTimer; }
    ServerStep GetPendingStep() const { return m_pfnPendingStep; }

protected:
    // ---- login observer
    void OnNewVersionAvailable(CVornNetworkSession* pSession, const CKorvelString& strLink) override;
    void OnLoginError(CVornNetworkSession* pSession, const CKorvelString& strMessage) override;
    void OnReceiveRandomKey(CVornNetworkSession* pSession, const CKorvelString& strKey) override;
    void OnLoggedIn(CVornNetworkSession* pSession, int iUserId, const CKorvelString& strUserName,
                    const CKorvelString& strSecond, const CKorvelString& strThird,
                    const CKorvelString& strFourth, int iValue) override;
    void OnUserNameConfirmed(CVornNetworkSession* pSession, int iResult,
                             const CKorvelString& strKey) override;
    void OnEmailConfirmed(CVornNetworkSession* pSession, int iResult, const CKorvelString& strName) override;
    void OnExternalEmailRegistered(CVornNetworkSession*, int, const CKorvelString&) override {}
    void OnExternalUserRegistered(CVornNetworkSession*, int, const CKorvelString&) override {}
    void OnExternalUserNotFound() override {}

    // ---- external login listener
    void ExternalLoginOk(IExternalLogin* pLogin, const CKorvelString& strFirst,
                         const CKorvelString& strSecond, const CKorvelString& strThird) override;
    void ExternalLoginError(unsigned int uCancelled, const CKorvelString& strTitle,
                            const CKorvelString& strMessage, int iFlags) override;

    // ---- server steps, run once the connection is accepted
    virtual void connectLoginKestrolund(CVornNetworkSession* pSession);
    virtual void connectRelogin(CVornNetworkSession* pSession);
    virtual void connectValidateUserName(CVornNetworkSession* pSession);
    virtual void connectRegisterKestrolund(CVornNetworkSession* pSession);
    virtual void connectLoginExternal(CVornNetworkSession* pSession);
    virtual void connectRegisterExternal(CVornNetworkSession* pSession);
    virtual void connectGetKeyValue(CVornNetworkSession*) {}
    // The Login that follows the key, with the password hashed.
    void connectSendLogin(CVornNetworkSession* pSession);
    // A registration whose answer was lost: a login with its name and password tells whether
    // the account was made.
    void connectCheckRegistration(CVornNetworkSession* pSession);
    // Runs the step now when the lobby is connected, else connects and runs it once the
    // connection is accepted.
    virtual void VerifySessionCall(ServerStep pfnStep);

    // Language text N (empty without a language).
    CKorvelString Text(int iNumber) const;
    // A fresh session connected to the lobby (or the redirect), running pfnStep once
    // accepted.
    void ConnectSession(ServerStep pfnStep);
    void WriteStatistics();

    // The session hands a login-type answer to one observer at a time, forgetting it with the
    // first answer: a request sent while another's answer is awaited waits its turn.
    void RunStep(CVornNetworkSession* pSession, ServerStep pfnStep);
    // pfnAgain sends the request once more on a new connection when its connection closes
    // before the answer; null when it must not go out twice.
    void AnswerAwaited(ServerStep pfnAgain)
    {
        m_uAnswerAwaited = 1;
        m_pfnAgain = pfnAgain;
    }
    // The answers awaited on a connection that is gone never come.
    void ForgetAwaitedAnswers();
    // The server closes a connection that has not logged in by its deadline, also while a
    // request is on its way: a request made before login whose connection closed before its
    // answer goes out once more on a new connection, unseen by the player. True when it did.
    bool SendAgainOnNewConnection(CVornNetworkSession* pSession);
    // Held by each answer's handler: the answer has come, and the step that waited its turn
    // runs after the handler (which may have sent a request of its own).
    class CAnswerCame
    {
    public:
        explicit CAnswerCame(CLoginController& controller);
        ~CAnswerCame();

    private:
        CLoginController& m_Controller;
    };

    // The registration's ConfirmEmail, the password hashed with this connection's key.
    void SendRegistration(CVornNetworkSession* pSession);
    // The account just registered is the one logged in with from now on.
    void TakeRegisteredAccount(const CKorvelString& strName);
    // The error page of a registration the server refused with iResult; no automatic login.
    void RefuseRegistration(int iResult);

    CKestrolundApplication* m_pApplication;
    CKorvelString m_strUserName;
    CKorvelString m_strPassword; // plain until hashed with a key, then the hash
    unsigned int m_uKeyNeeded;
    CKorvelString m_strRegisterName;
    CKorvelString m_strRegisterPassword;
    CKorvelString m_strRegisterEmail;
    CKorvelString m_strExternalId;
    CKorvelString m_strExternalToken;
    CKorvelString m_strLastValidatedUserName;
    CVornStatisticsProperty* m_pAutoLogin;
    CVornStatisticsProperty* m_pStoredUserName;
    CVornStatisticsProperty* m_pStoredPassword;
    CVornStatisticsProperty* m_pFirstRun;
    CVornStatisticsProperty* m_pGuestCounter;
    CVornStatisticsProperty* m_pLastLoginType;
    ServerStep m_pfnPendingStep;
    CKorvelString m_strServerHost;
    int m_iServerPort;
    int m_iLoginStatus;
    ELoginType m_eLoginType;
    CKorvelString m_strRedirectHost;
    int m_iRedirectPort;
    unsigned int m_uRedirect;
    ReloginTimer* m_pReloginTimer;
    unsigned int m_uGuest;
    unsigned int m_uJustRegistered;
    unsigned int m_uConnectionLost; // the lobby connection dropped while logged in
    unsigned int m_uLoggingInAnew;  // a login logs out the session it replaces (a guest's)

    unsigned int m_uAnswerAwaited;
    ServerStep m_pfnNextStep;  // waits for the awaited answer
    ServerStep m_pfnAgain;     // sends the awaited request again, or null
    unsigned int m_uSentAgain; // the awaited request is itself sent again: not a third time
    unsigned int m_uClosing;   // the controller closes the connection itself
    // The server keeps a name's key with the connection that asked for it: a registration on
    // another connection asks for the name again.
    enum ERegistration
    {
        REGISTRATION_NONE,
        REGISTRATION_KEY,    // the name asked for again
        REGISTRATION_ANSWER, // ConfirmEmail sent
        REGISTRATION_CHECK,  // its answer lost: a login with the new account's details sent
    };
    ERegistration m_eRegistration;
    // The typed password until the registration's answer: one sent again is hashed with the
    // key of its own connection.
    CKorvelString m_strRegisterPlain;
    CKorvelString m_strRegisterKey; // the key of the last validated name
    unsigned int m_uConnection;     // counts the connections made
    unsigned int m_uKeyConnection;  // the connection the key came with
    CKorvelString m_strNameAsked;   // the newest name check's name; empty once withdrawn
    CKorvelString m_strNameSent;    // the name of the check whose answer is awaited

private:
    CLoginController(const CLoginController&) = delete;
    CLoginController& operator=(const CLoginController&) = delete;
};
