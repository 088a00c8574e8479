// The lobby's login, registration and web-login screens, the controller's reports, and the
// player's login fields.
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Shell/VornWebHost.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"
#include "Framework/UI/WebView.h"

#include "Framework/Lobby/VornMenuWidgets.h"

namespace
{
using menu_widgets::Child;
using menu_widgets::Lobby;
using menu_widgets::SetText;
using menu_widgets::Show;

CWidget* ByPath(CWidget* pFrom, const char* pPath)
{
    return pFrom ? pFrom->FindWidgetByPath(CKorvelString(pPath)) : nullptr;
}

// A widget of the name page's "page_root", from a widget inside it or from the page itself,
// which holds its page_root.
CWidget* OnNamePage(CWidget* pFrom, const char* pName)
{
    CKorvelString strPath("<page_root//");
    strPath.Add(CKorvelString(pName));
    CWidget* pFound = pFrom ? pFrom->FindWidgetByPath(strPath) : nullptr;
    return pFound ? pFound : Child(pFrom, pName);
}

bool AllOf(const CKorvelString& strText, const char* pExtra)
{
    for (int i = 0; i < strText.GetLength(); ++i)
    {
        const unsigned short c = strText.GetBuffer()[i];
        const bool bPlain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        bool bExtra = false;
        for (const char* p = pExtra; *p && !bExtra; ++p)
            bExtra = c == static_cast<unsigned char>(*p);
        if (!bPlain && !bExtra)
            return false;
    }
    return true;
}

// The lengths of an address, as text 19 states them; the server takes the same.
const int MIN_EMAIL_LENGTH = 6;
const int MAX_EMAIL_LENGTH = 256;

// The registration's steps: "Try again" after an error on one of them returns there, with
// what was typed; after any other error it returns to the login page.
const char* const REGISTRATION_STEPS[] = {"loginscreen_playername", "loginscreen_confirm",
                                          "loginscreen_email"};
const char* const LOGIN_PAGE = "loginscreen_root";
const char* const ERROR_PAGE = "loginscreen_error";
// A page path back through the history to the page named after it.
const char* const BACK_TO = ":back:";

bool IsRegistrationStep(const CKorvelString& strPage)
{
    for (const char* pStep : REGISTRATION_STEPS)
        if (strPage.IsEqual(CKorvelString(pStep)))
            return true;
    return false;
}

// Bumps a statistics counter (made as 1) and writes the store.
void CountUp(CKestrolundApplication* pApp, const char* pName)
{
    CVornStatistics* pStore = pApp ? pApp->GetStatistics() : nullptr;
    if (!pStore)
        return;
    pStore->CountUp(CKorvelString(pName));
    pStore->WriteStatistics();
}
} // namespace

// ---- checks

unsigned int CVornMenuState::CheckUserName(const CKorvelString& strName)
{
    int iMessage = 0;
    if (strName.GetLength() < 4 || strName.GetLength() > 15)
        iMessage = 16;
    else if (!AllOf(strName, "-_"))
        iMessage = 17;
    else if (strName.IsEqual(CKorvelString("guest")))
        iMessage = 18;
    if (!iMessage)
        return 1;
    OnLoginError(LanguageText(12), LanguageText(iMessage), 2, nullptr);
    return 0;
}

unsigned int CVornMenuState::CheckEmail(const CKorvelString& strAddress)
{
    int iMessage = 0;
    if (strAddress.GetLength() < MIN_EMAIL_LENGTH || strAddress.GetLength() > MAX_EMAIL_LENGTH)
        iMessage = 19;
    else if (!AllOf(strAddress, "-_@."))
        iMessage = 20;
    if (!iMessage)
        return 1;
    OnLoginError(LanguageText(12), LanguageText(iMessage), 2, nullptr);
    return 0;
}

void CVornMenuState::FitAddressFields()
{
    // The layout's text fields take 255 characters: the last one an address may have would
    // be dropped as it is typed.
    for (const char* pPath : {"//loginscreen_email//input_email", "//loginscreen_root//user_login"})
    {
        CTextWidget* pField = widget_cast<CTextWidget*>(FindInPages(pPath));
        if (pField && pField->GetEditable())
            pField->SetEditable(1, MAX_EMAIL_LENGTH);
    }
}

unsigned int CVornMenuState::KV_ValidateValue(const CKorvelString&, const CKorvelString& strValue)
{
    return strValue.IsEqual(CKorvelString("null")) ? 0 : 1;
}

void CVornMenuState::KVGuestLoginCount(CKorvelString& strKey, CKorvelString& strValue, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis)
        return;
    if (KV_ValidateValue(strKey, strValue))
    {
        int iValue = 0;
        const int iRead = strValue.Scan(L"%d", &iValue);
        Show(pThis->FindInPages("loginscreen_choices//guest_login_button"),
             iRead == 1 && iValue == 1 ? 1 : 0);
    }
    if (!pThis->GetAutoLogin())
    {
        pThis->EndLoading();
        pThis->m_uJoinBubbleDismissed = 0;
    }
}

CKorvelString CVornMenuState::GetGoogleLoginURL() const
{
    CKorvelString strUrl("https://");
    strUrl.Add(CKorvelString(VORN_WEB_HOST));
    const int iPort = GetServerPort();
    strUrl.Add(CKorvelString(iPort == 7000 || iPort == 8000 ? "/api/innodbtest/ext_auth/google"
                                                            : "/ext_auth/google"));
    return strUrl;
}

// ---- the controller's reports

void CVornMenuState::OnLoginError(const CKorvelString& strTitle, const CKorvelString& strMessage, int iFlags,
                                  const CKorvelString* pUpdateLink)
{
    Show(FindInRoot("bubble_join"), 0);
    CWidget* pPage = FindInRoot(ERROR_PAGE);
    if (!pPage)
        return;
    SetText(Child(pPage, "loginerror_title"), strTitle);
    SetText(Child(pPage, "loginerror_message"), strMessage);
    Show(Child(pPage, "button_recover"), (iFlags & 1) ? 1 : 0);
    CWidget* pUpdate = Child(pPage, "button_update");
    CWidget* pTryAgain = Child(pPage, "button_tryagain");
    if (pUpdateLink && pUpdateLink->GetLength())
    {
        if (CWebButton* pWeb = widget_cast<CWebButton*>(pUpdate))
            pWeb->SetUrl(*pUpdateLink);
        Show(pUpdate, 1);
        Show(pTryAgain, 0);
    }
    else
    {
        Show(pUpdate, 0);
        Show(pTryAgain, 1);
        SetText(Child(pTryAgain, "label_tryagain"), LanguageText((iFlags & 2) ? 10 : 11));
    }
    // After the loading dialog has ended: the page it covered is where the error arose.
    EndLoading();
    // A second error over the error page keeps the way back of the first.
    CPageButton* pBack = widget_cast<CPageButton*>(pTryAgain);
    const CKorvelString strNow = CurrentPageName();
    // Back to a registration step, not forward to it: its Back then leaves it, not the error.
    if (pBack && !strNow.IsEqual(CKorvelString(ERROR_PAGE)))
    {
        CKorvelString strTarget(LOGIN_PAGE);
        if (IsRegistrationStep(strNow))
        {
            strTarget = CKorvelString(BACK_TO);
            strTarget.Add(strNow);
        }
        pBack->SetPagePath(strTarget);
    }
    SwitchToPage(CKorvelString(ERROR_PAGE), 1);
}

void CVornMenuState::OnLoginNewVersion(const CKorvelString& strLink)
{
    OnLoginError(LanguageText(12), LanguageText(13), 0, &strLink);
}

void CVornMenuState::OnLoginSuccessful(const CKorvelString& strUserName, const CKorvelString&,
                                       unsigned int uJustRegistered)
{
    if (!m_pPageView)
        return;
    SetChatButtonVisibility(0);
    SwitchToHomePage();
    bool bPageShown = false;
    const CKorvelString& strValidated = GetLastValidatedUserName();
    if (IsExternalLogin() && strValidated.GetLength() && !strValidated.IsEqual(strUserName))
    {
        SwitchToPage(CKorvelString("loginscreen_nameconflict"), 1);
        bPageShown = true;
    }
    else if (uJustRegistered)
    {
        SwitchToPage(CKorvelString("loginscreen_thank"), 1);
        bPageShown = true;
    }
    CVornStatistics* pStore = m_pKestrolund ? m_pKestrolund->GetStatistics() : nullptr;
    CVornStatisticsProperty* pMute =
        pStore ? pStore->GetProperty(CKorvelString("__Vorn_Music_Mute")) : nullptr;
    if (m_pKestrolund && (!pMute || !pMute->m_uBoolValue))
        m_pKestrolund->MuteMusic(0);
    if (m_pKestrolund)
        m_pKestrolund->ShowToastNotification(
            nullptr, CVornTextFormat::Format(LanguageText(36), {strUserName}), 6.0f, 0);
    BeginLoading(LanguageText(33), LanguageText(34));
    // The page stays once loading ends.
    if (bPageShown)
        m_uFlags |= 1;
    else
        m_uFlags &= ~1u;
    if (CVornNetworkSession* pSession = Session())
    {
        pSession->SendGetShopItemGroups(CVornNetworkSession::SHOP_IN_GAME_LOGIN |
                                        CVornNetworkSession::SHOP_LIST_MY_ITEMS);
        pSession->SendGetImageAndLink(CKorvelString("moregames"), CKorvelString());
        pSession->SendGetImageAndLink(CKorvelString("tournaments"), CKorvelString());
    }
}

void CVornMenuState::OnLoginCancelled()
{
    EndLoading();
    SwitchToPage(CKorvelString("loginscreen_root"), 1);
}

void CVornMenuState::OnAutoRelogin()
{
    m_uInMatch = 0;
    m_bItemDataListReceived = 0;
    m_uGameReadyAfterItemData = 0;
    SwitchMainButtons();
    EndLoading();
    BeginLoading(LanguageText(35), LanguageText(34));
}

void CVornMenuState::OnLogout()
{
    // A round of the in-game items that was under way belongs to the player who left.
    m_uItemDataCheckPending = 0;
    m_uGameReadyAfterItemData = 0;
    // A login logs out first (the automatic one after a lost connection, or one typed in a
    // guest's session): should it be refused, Try again finds the form as the player filled it.
    ResetPlayerData(m_uConnectionLost != 0 || m_uLoggingInAnew != 0);
    // One player's words, said or still in the field, never reach another's chat.
    ClearChatBacklog();
    if (m_pPageView)
        m_pPageView->SwitchToPage(CKorvelString("loginscreen_root"));
    Show(m_pVornButtonRoot, 0);
    SetMenuVisibility(1);
    m_uInMatch = 0;
    if (CWidget* pBubble = FindInRoot("bubble_join"))
    {
        pBubble->SetVisible(0);
        m_uJoinBubbleDismissed = 1;
    }
}

void CVornMenuState::OnUserNameValidated(unsigned int uOk, const CKorvelString& strMessage)
{
    CWidget* pPage = FindInRoot("loginscreen_playername");
    if (!uOk)
    {
        Show(Child(pPage, "username_loading"), 0);
        CWidget* pTaken = Child(pPage, "text_usernametaken");
        SetText(pTaken, strMessage);
        Show(pTaken, 1);
        return;
    }
    if (m_strWebStatus.IsEqual(CKorvelString("new")))
    {
        CTextWidget* pName =
            widget_cast<CTextWidget*>(FindInPages("//loginscreen_playername//input_playername"));
        if (!pName)
        {
            OnLoginError(LanguageText(14), LanguageText(15), 2, nullptr);
            return;
        }
        RegisterExternal(pName->GetText(), m_strWebId, m_strWebToken);
        m_strWebStatus.Reset();
        m_strWebId.Reset();
        m_strWebToken.Reset();
        return;
    }
    SwitchToPage(CKorvelString("loginscreen_confirm"), 1);
}

void CVornMenuState::OnExternalUserNotFound()
{
    m_strWebStatus = CKorvelString("new");
    SwitchToPage(CKorvelString("loginscreen_playername"), 1);
}

void CVornMenuState::ForwardToGoogleLogin()
{
    SwitchToPage(CKorvelString("loginscreen_google"), 1);
}

void CVornMenuState::OnLobbyStatusChanged(unsigned int uStatus)
{
    // The connection's end (a logout, another account's login, a lost connection) ends its
    // queue place and its challenges at the server: the waiting time has nothing left to leave
    // or withdraw on the next connection, and no answer to an accept comes any more. A
    // challenge received on it can be played no more: its toast and page close, and the next
    // connection's challengers are not answered busy for it.
    if (uStatus == CVornNetworkSession::LOBBY_DISCONNECTED)
    {
        m_fQueueTimer = 0.0f;
        m_Challenges.End();
        HideChallenge();
        DropChallengeToast();
    }
    if (m_pGame && uStatus == 3 && m_uActive && m_uGuestSwitchPending)
    {
        m_uGuestSwitchPending = 0;
        GetKeyValue(CKorvelString("guestLogin"));
    }
}

// ---- the player's fields

void CVornMenuState::ResetPlayerData(bool bKeepFields)
{
    CTextWidget* pLogin = widget_cast<CTextWidget*>(FindInPages("//loginscreen_root//user_login"));
    CTextWidget* pPassword = widget_cast<CTextWidget*>(FindInPages("//loginscreen_root//user_password"));
    CToggleButton* pAuto = widget_cast<CToggleButton*>(FindInPages("//loginscreen_root//user_autologin"));
    if (!pLogin || !pPassword || !pAuto)
        return;
    m_strWebStatus.Reset();
    m_strWebId.Reset();
    m_strWebToken.Reset();
    ClearLists();
    if (bKeepFields)
        return;
    pLogin->SetText(CKorvelString());
    pPassword->SetText(CKorvelString());
    if (GetAutoLogin())
    {
        const CKorvelString strName = GetUserName();
        if (!strName.IsEqual(CKorvelString("guest")) && GetLoginType() == LOGIN_ACCOUNT)
        {
            pLogin->SetDisplayText(strName);
            pPassword->SetDisplayText(CKorvelString(GetAuthToken().GetLength() ? "*****" : ""));
        }
        else
        {
            pLogin->SetDisplayText(CKorvelString());
            pPassword->SetDisplayText(CKorvelString());
        }
        pAuto->SetToggled(1);
    }
    else
        pAuto->SetToggled(0);
}

KE_RETVAL CVornMenuState::actionPlayerNameOnShow(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pSender)
        return 1;
    Show(Child(pSender, "tos_elements"), pThis->m_strWebStatus.IsEqual(CKorvelString("new")) ? 1 : 0);
    Show(OnNamePage(pSender, "username_loading"), 0);
    Show(OnNamePage(pSender, "text_usernametaken"), 0);
    return 1;
}

// ---- handlers

KE_RETVAL CVornMenuState::actionGuestLogin(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CVornNetworkSession* pSession = pThis->Session();
    if (pSession && pSession->GetStatus() == 5)
    {
        pThis->SetMenuVisibility(0);
        return 1;
    }
    pThis->BeginLoading(pThis->LanguageText(33), pThis->LanguageText(34));
    pThis->LoginGuest();
    return 1;
}

KE_RETVAL CVornMenuState::actionLoginKestrolund(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CTextWidget* pLogin = widget_cast<CTextWidget*>(pThis->FindInPages("//loginscreen_root//user_login"));
    CTextWidget* pPassword =
        widget_cast<CTextWidget*>(pThis->FindInPages("//loginscreen_root//user_password"));
    CToggleButton* pAuto =
        widget_cast<CToggleButton*>(pThis->FindInPages("//loginscreen_root//user_autologin"));
    if (!pLogin || !pPassword || !pAuto)
        return 0;
    CKorvelString strName = pLogin->GetText();
    const CKorvelString strPassword = pPassword->GetText();
    const unsigned int uAuto = pAuto->GetToggled();
    if (pThis->GetAutoLogin() && pThis->GetUserName().GetLength() && pThis->GetAuthToken().GetLength() &&
        !strName.GetLength() && !strPassword.GetLength() && pLogin->GetDisplayText().GetLength() &&
        pPassword->GetDisplayText().GetLength())
    {
        pThis->SetAutoLogin(uAuto);
        pThis->SetLoginType(LOGIN_ACCOUNT);
        pThis->Relogin();
    }
    else
    {
        if (!strName.GetLength())
            strName = pLogin->GetDisplayText();
        const unsigned int uValid =
            strName.Find('@', 0) >= 0 ? pThis->CheckEmail(strName) : pThis->CheckUserName(strName);
        if (!uValid)
            return 0;
        pThis->LoginKestrolund(strName, strPassword, uAuto);
    }
    pThis->BeginLoading(pThis->LanguageText(35), pThis->LanguageText(34));
    return 1;
}

KE_RETVAL CVornMenuState::actionLoginOnShow(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    pThis->ResetCredentials();
    SetText(pThis->FindInPages("//loginscreen_playername//input_playername"), CKorvelString());
    if (pThis->IsGuestLogin())
        CountUp(pThis->m_pKestrolund, "__Vorn_TimesNewPlayer");
    return 1;
}

KE_RETVAL CVornMenuState::actionInitLoginName(CWidget* pSender, void* pContext)
{
    // No name to give: the field keeps a name typed before an error, or the remembered name it
    // shows, which an empty text would wipe.
    const CKorvelString& strName = Lobby(pContext)->GetCurrentUserName();
    if (strName.GetLength())
        SetText(pSender, strName);
    return 1;
}

KE_RETVAL CVornMenuState::actionInitRegisterName(CWidget* pSender, void* pContext)
{
    // A name the player typed stays (back from an error on it); an empty field shows the
    // name the server last confirmed.
    CTextWidget* pField = widget_cast<CTextWidget*>(pSender);
    if (pField && pField->GetText().GetLength() == 0)
        pField->SetText(Lobby(pContext)->GetRegisterName());
    return 1;
}

KE_RETVAL CVornMenuState::actionUserNameChanged(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    SetText(pThis->FindInPages("//loginscreen_email//input_password"), CKorvelString());
    // What the page said, or waits to hear, was about the name as it was.
    CTextWidget* pField = widget_cast<CTextWidget*>(pSender);
    if (pField && !pField->GetText().IsEqual(pThis->GetNameAsked()))
    {
        pThis->WithdrawUserNameCheck();
        Show(OnNamePage(pSender, "username_loading"), 0);
        Show(OnNamePage(pSender, "text_usernametaken"), 0);
    }
    return 1;
}

KE_RETVAL CVornMenuState::actionAutoLoginToggled(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pSender);
    if (!pToggle)
        return 1;
    pThis->SetAutoLogin(pToggle->GetToggled());
    if (!pToggle->GetToggled())
        SetText(pThis->FindInPages("//loginscreen_root//user_password"), CKorvelString());
    return 1;
}

KE_RETVAL CVornMenuState::actionCheckTOS(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CPageButton* pButton = widget_cast<CPageButton*>(pSender);
    if (!pButton)
        return 1;
    const CKorvelString& strPath = pButton->GetPagePath();
    if (strPath.Find(CKorvelString("loginscreen_facebook"), 0) >= 0)
        pThis->m_iTermsTarget = 1;
    else if (strPath.Find(CKorvelString("loginscreen_google"), 0) >= 0)
        pThis->m_iTermsTarget = 2;
    else
        pThis->m_iTermsTarget = 0;
    CToggleButton* pAgree = widget_cast<CToggleButton*>(ByPath(pButton, "<page_root//button_agree"));
    if (!pAgree || !pAgree->GetToggled())
    {
        pButton->SetDisabledTime(0.1f);
        pButton->SetPageView(nullptr);
        pThis->OnLoginError(pThis->LanguageText(12), pThis->LanguageText(26), 2, nullptr);
        return 1;
    }
    if (pThis->m_iTermsTarget == 2)
    {
        if (CWebView* pView = widget_cast<CWebView*>(pThis->FindInPages("loginscreen_google//login_google")))
            pView->Start();
    }
    return 1;
}

KE_RETVAL CVornMenuState::actionTOSOnShow(CWidget*, void*)
{
    return 1;
}

KE_RETVAL CVornMenuState::actionValidateUser(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CWidget* pTerms = ByPath(pSender, "<page_root//tos_elements");
    if (pTerms && pTerms->GetVisible())
    {
        CToggleButton* pAgree = widget_cast<CToggleButton*>(Child(pTerms, "button_agree"));
        if (!pAgree || !pAgree->GetToggled())
        {
            pThis->OnLoginError(pThis->LanguageText(12), pThis->LanguageText(26), 2, nullptr);
            return 0;
        }
    }
    CTextWidget* pName =
        widget_cast<CTextWidget*>(pThis->FindInPages("//loginscreen_playername//input_playername"));
    const CKorvelString strName = pName ? pName->GetText() : CKorvelString();
    if (!pThis->CheckUserName(strName))
        return 0;
    Show(ByPath(pSender, "<page_root//text_usernametaken"), 0);
    Show(ByPath(pSender, "<page_root//username_loading"), 1);
    pThis->ValidateUserName(strName);
    return 1;
}

KE_RETVAL CVornMenuState::actionValidateEmail(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CTextWidget* pName =
        widget_cast<CTextWidget*>(pThis->FindInPages("//loginscreen_playername//input_playername"));
    CTextWidget* pEmail = widget_cast<CTextWidget*>(pThis->FindInPages("//loginscreen_email//input_email"));
    CTextWidget* pPassword =
        widget_cast<CTextWidget*>(pThis->FindInPages("//loginscreen_email//input_password"));
    if (!pName || !pEmail || !pPassword)
        return 1;
    if (!pThis->CheckEmail(pEmail->GetText()))
        return 1;
    if (pPassword->GetText().GetLength() < 4)
    {
        pThis->OnLoginError(pThis->LanguageText(12), pThis->LanguageText(27), 2, nullptr);
        return 1;
    }
    pThis->RegisterKestrolund(pName->GetText(), pPassword->GetText(), pEmail->GetText());
    return 1;
}

KE_RETVAL CVornMenuState::actionThankYouClose(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    // The thank-you page lies over the home page: the lobby opens there the next time.
    if (pThis->CurrentPageName().IsEqual(CKorvelString("loginscreen_thank")))
        pThis->SwitchToHomePage();
    pThis->SetMenuVisibility(0);
    return 1;
}

KE_RETVAL CVornMenuState::actionCancelAutoRelogin(CWidget*, void* pContext)
{
    Lobby(pContext)->ResetReloginTimer(0.0f, RELOGIN_LOGIN);
    return 1;
}

// ---- the web login

KE_RETVAL CVornMenuState::actionGoogleOnShow(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis->CurrentPageName().IsEqual(CKorvelString("loginscreen_google")))
        return 1;
    CVornNetworkSession* pSession = pThis->Session();
    if (pSession && !pSession->CheckConnectivity(CKorvelString("accounts.google.com")))
    {
        pThis->m_pPageView->SwitchToPage(CKorvelString(":back#2"));
        pThis->m_pPageView->SwitchToPage(CKorvelString("loginscreen_error"));
        return 0;
    }
    pThis->m_strWebStatus.Reset();
    pThis->m_strWebId.Reset();
    pThis->m_strWebToken.Reset();
    CWebView* pView = widget_cast<CWebView*>(pSender);
    if (!pView)
        pView = widget_cast<CWebView*>(pThis->FindInPages("loginscreen_google//login_google"));
    if (pView)
        pView->OpenUrl(pThis->GetGoogleLoginURL());
    return 1;
}

KE_RETVAL CVornMenuState::actionGoogleCookieReceived(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CWebView* pView = widget_cast<CWebView*>(pSender);
    if (!pView)
        return 1;
    const CKorvelString strName = pView->GetCookieName();
    if (strName.IsEqual(CKorvelString("auth_status")))
        pThis->m_strWebStatus = pView->GetCookieValue();
    else if (strName.IsEqual(CKorvelString("auth_id")))
        pThis->m_strWebId = pView->GetCookieValue();
    else if (strName.IsEqual(CKorvelString("auth_token")))
        pThis->m_strWebToken = pView->GetCookieValue();
    return 1;
}

KE_RETVAL CVornMenuState::actionGoogleLoadingFinished(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CWebView* pView = widget_cast<CWebView*>(pSender);
    if (!pView)
        return 1;
    pView->ForgetCookie(CKorvelString("auth_status"));
    pView->ForgetCookie(CKorvelString("auth_id"));
    pView->ForgetCookie(CKorvelString("auth_token"));
    CKorvelString& strStatus = pThis->m_strWebStatus;
    if (!strStatus.GetLength())
        return 1;
    pView->LoadText(CKorvelString());
    KE_RETVAL iResult = 1;
    if (strStatus.IsEqual(CKorvelString("ok")))
    {
        if (!pThis->m_strWebId.GetLength() || !pThis->m_strWebToken.GetLength())
        {
            pThis->SwitchToPage(CKorvelString(":back:loginscreen_root"), 1);
            pThis->OnLoginError(pThis->LanguageText(12), pThis->LanguageText(28), 2, nullptr);
            return 0;
        }
        pThis->BeginLoading(pThis->LanguageText(33), pThis->LanguageText(33));
        pThis->LoginExternal(pThis->m_strWebId, pThis->m_strWebToken, 2);
    }
    else if (strStatus.IsEqual(CKorvelString("new")))
    {
        const CKorvelString strName = pThis->GetLastValidatedUserName();
        if (!strName.GetLength())
        {
            pThis->SwitchToPage(CKorvelString("loginscreen_playername"), 1);
            return 1;
        }
        pThis->RegisterExternal(strName, pThis->m_strWebId, pThis->m_strWebToken);
    }
    else
    {
        const CKorvelString strText(strStatus);
        pThis->SwitchToPage(CKorvelString(":back:loginscreen_root"), 1);
        pThis->OnLoginError(pThis->LanguageText(12), strText, 2, nullptr);
    }
    pThis->m_strWebStatus.Reset();
    pThis->m_strWebId.Reset();
    pThis->m_strWebToken.Reset();
    return iResult;
}
