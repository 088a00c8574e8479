// The lobby state's life cycle, frame, drawing, input, pages, dialogs, the loading dialog,
// the vorn button and the reloads after a screen or theme change.
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Shell/VornWebHost.h"
#include "KorvelCommon/KorvelMath.h"

#include <new>

#include "Framework/Shell/GenerateMD5.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/ActionHandler.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/PieWidget.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Lobby;

CVornMenuState::CVornMenuState()
    : m_uFlags(0), m_pGame(nullptr), m_uInMatch(0), m_iSelectedLanguage(-1), m_uRematchDelayArmed(0),
      m_pRoot(nullptr), m_pPageView(nullptr), m_pVornButtonRoot(nullptr), m_pChatNotifier(nullptr),
      m_pActionHandler(nullptr), m_pExpandedItem(nullptr), m_fQueueTimer(0.0f), m_pVornButton(nullptr),
      m_fIdleTime(0.0f), m_uShakeState(0), m_fShakePhase(0.0f), m_bItemDataListReceived(0),
      m_pItemDataBuffer(nullptr), m_pLargeIconItem(nullptr), m_fLargeIconDelay(0.0f), m_fLargeIconFade(0.0f),
      m_pFadeCurve(nullptr), m_pShopList(nullptr), m_pMyItemsList(nullptr), m_uActive(0),
      m_fLoadingTimeout(0.0f), m_uJoinBubbleDismissed(0), m_uLoading(0), m_pJoinBubble(nullptr),
      m_pReturnBubble(nullptr), m_pChatSubmitBubble(nullptr), m_uJoinBubblePending(0),
      m_uGuestSwitchPending(1), m_uLanguageChooserShown(0), m_bItemsChanged(0), m_uRematchPending(0),
      m_uGameTouches(0), m_fChatDotTime(0.0f), m_fRematchDelay(0.0f), m_iTermsTarget(0),
      m_pKestrolund(nullptr)
{
    m_CarryOver.SetRowKey(&RowKey);
}

CVornMenuState::~CVornMenuState()
{
    // The stack shuts the state down first; this covers a state that never started.
    ReleaseLayout();
    delete m_pActionHandler;
    delete m_pFadeCurve;
    delete[] m_pItemDataBuffer;
}

// ---- life cycle

KE_RETVAL CVornMenuState::Startup(CVornApplication* pApplication)
{
    m_pKestrolund = static_cast<CKestrolundApplication*>(pApplication);
    m_strWebStatus.Reset();
    m_strWebId.Reset();
    m_strWebToken.Reset();
    if (CLoginController::Startup(m_pKestrolund) != 1)
        return KE_ERR_INVALIDARG;

    if (m_pActionHandler)
    {
        m_pActionHandler->Shutdown();
        delete m_pActionHandler;
    }
    m_pActionHandler = new (std::nothrow) CActionHandler;
    if (!m_pActionHandler)
        return KE_ERR_OUTOFMEMORY;
    m_pActionHandler->Startup();

    IVornGameState* pGame = m_pKestrolund ? m_pKestrolund->GetGameState() : nullptr;
    if (!pGame)
        return KE_ERR_INVALIDARG;
    m_bItemDataListReceived = 0;
    const KE_RETVAL iResult = pGame->Startup(pApplication);
    if (iResult != KE_OK)
        return iResult;
    m_pGame = pGame;
    m_pGame->_SetApp(pApplication);

    m_fLargeIconFade = 0.0f;
    m_fLargeIconDelay = -1.0f;
    delete m_pFadeCurve;
    m_pFadeCurve = new (std::nothrow) CEasingCurveOneMinusPow4;
    delete[] m_pItemDataBuffer;
    m_pItemDataBuffer = new (std::nothrow) unsigned char[ITEM_DATA_BUFFER_SIZE];
    if (!m_pFadeCurve || !m_pItemDataBuffer)
        return KE_ERR_OUTOFMEMORY;
    return KE_OK;
}

void CVornMenuState::Shutdown()
{
    CLoginController::Shutdown();
    if (m_pGame)
    {
        m_pGame->Shutdown();
        delete m_pGame;
        m_pGame = nullptr;
    }
    if (m_pActionHandler)
    {
        m_pActionHandler->Shutdown();
        delete m_pActionHandler;
        m_pActionHandler = nullptr;
    }
    ReleaseLayout();
    delete m_pFadeCurve;
    m_pFadeCurve = nullptr;
    delete[] m_pItemDataBuffer;
    m_pItemDataBuffer = nullptr;
    m_pLargeIconItem = nullptr;
}

void CVornMenuState::Activate()
{
    IKorvelGraphicsContext* pBack = m_pKestrolund ? m_pKestrolund->GetBack() : nullptr;
    const int iWidth = pBack ? pBack->GetWidth() : 0;
    const int iHeight = pBack ? pBack->GetHeight() : 0;
    if (LoadLayout(iWidth, iHeight, nullptr) != KE_OK)
    {
        if (m_pKestrolund)
            m_pKestrolund->Exit();
        return;
    }
    if (m_pGame)
        m_pGame->Activate();
    BeginLoading(LanguageText(33), LanguageText(34));
    if (m_pPageView)
        m_pPageView->StopTransitions();
    m_uFlags |= 1;
    ResetPlayerData();
    m_uActive = 1;

    CVornStatistics* pStore = m_pKestrolund ? m_pKestrolund->GetStatistics() : nullptr;
    CVornStatisticsProperty* pLaunched =
        pStore ? pStore->GetProperty(CKorvelString("__Vorn_TimesLaunched")) : nullptr;
    if (pLaunched)
    {
        if (pLaunched->m_iIntValue == 1)
            ShowLanguageChooser();
        else
            StartLogin();
    }
    if (!FindInRoot("vibration_toggle") && m_pKestrolund)
        m_pKestrolund->SetVibrations(0);
}

void CVornMenuState::StartLogin()
{
    if (GetAutoLogin())
        Relogin();
    else
        Connect();
}

void CVornMenuState::Deactivate()
{
    if (m_pGame)
        m_pGame->Deactivate();
    ReleaseLayout();
    m_CarryOver.Clear();
    m_uActive = 0;
}

void CVornMenuState::ReleaseLayout()
{
    if (m_pRoot)
    {
        m_pRoot->Shutdown();
        delete m_pRoot;
    }
    m_pRoot = nullptr;
    m_pPageView = nullptr;
    m_pVornButtonRoot = nullptr;
    m_pChatNotifier = nullptr;
    m_pVornButton = nullptr;
    m_pShopList = nullptr;
    m_pMyItemsList = nullptr;
    m_pChatSubmitBubble = nullptr;
    m_pJoinBubble = nullptr;
    m_pReturnBubble = nullptr;
    m_pExpandedItem = nullptr;
    m_pLargeIconItem = nullptr;
    m_ShopListItems.Clear();
    m_MyItemsListItems.Clear();
}

namespace
{
void EmptyList(CWidget* pWidget, bool bStop)
{
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pWidget);
    if (!pList)
        return;
    pList->Clear();
    pList->SetCount(0);
    if (bStop)
        pList->SetStarted(0);
}
} // namespace

void CVornMenuState::ClearLists()
{
    if (!m_pPageView)
        return;
    EmptyList(FindInPages("//players_root//playerlist_global"), true);
    EmptyList(FindInPages("//players_root//playerlist_follow"), true);
    EmptyList(FindInPages("//me_root//list_me"), false);
    EmptyList(FindInPages("//chat_avatars_root//avatar_list"), false);
}

void CVornMenuState::ClearWidgetLists()
{
    m_GlobalListItems.Clear();
    m_FollowListItems.Clear();
    m_ChatListItems.Clear();
    m_GlobalGroupLabels.SetSize(0);
    m_FollowGroupLabels.SetSize(0);
}

// ---- lookups

CWidget* CVornMenuState::FindInRoot(const char* pName) const
{
    return m_pRoot ? m_pRoot->FindWidget(CKorvelString(pName), -1) : nullptr;
}

CWidget* CVornMenuState::FindInPages(const char* pPath) const
{
    return m_pPageView ? m_pPageView->FindWidgetByPath(CKorvelString(pPath)) : nullptr;
}

CKorvelString CVornMenuState::CurrentPageName() const
{
    CWidget* pPage = m_pPageView ? m_pPageView->GetCurrentPage() : nullptr;
    return pPage ? pPage->GetName() : CKorvelString();
}

CVornNetworkSession* CVornMenuState::Session() const
{
    return m_pKestrolund ? m_pKestrolund->GetNetworkSession() : nullptr;
}

// ---- frame

unsigned int CVornMenuState::Update(float fSeconds)
{
    if (!m_uActive)
        return 1;
    if (m_uJoinBubblePending && !m_bItemDataListReceived && m_pGame && !m_pGame->UsesFullscreen())
    {
        if (m_pJoinBubble)
            m_pJoinBubble->SetVisible(1);
        m_uJoinBubblePending = 0;
    }
    if (m_uLoading && m_pKestrolund)
        m_pKestrolund->ResetInactivityTime();
    if (m_fLoadingTimeout > 0.0f)
    {
        m_fLoadingTimeout -= fSeconds;
        if (m_fLoadingTimeout <= 0.0f)
            EndLoading();
    }
    HandleShopItemDataLoading();
    if (m_pVornButton)
    {
        UpdateTurnClock();
        AnimateChatNotifier(fSeconds);
    }
    UpdateLargeIcon(fSeconds);
    if (m_fQueueTimer > 0.0f)
    {
        m_fQueueTimer -= fSeconds;
        CVornNetworkSession* pSession = Session();
        if (m_fQueueTimer <= 0.0f && pSession)
            pSession->UnregisterFromGameQueue();
    }
    if (m_Challenges.Tick(fSeconds))
    {
        SendWithdrawal();
        HideDialog();
    }
    if (m_pActionHandler)
        m_pActionHandler->Update(fSeconds);
    if (m_pGame)
        m_pGame->Update(fSeconds);
    if (m_pRoot)
        m_pRoot->DoUpdate(fSeconds);
    if (m_CarryOver.HasPending())
    {
        m_CarryOver.ApplyPending(m_pRoot);
        AdoptExpandedRow();
    }
    AddPendingChatLine();
    UpdateRematchDelay(fSeconds);
    AnimateVornButton(fSeconds);
    return 1;
}

void CVornMenuState::UpdateTurnClock()
{
    const float fProgress = m_pGame ? m_pGame->OwnTurnProgress() : 0.0f;
    CWidget* pImage = m_pVornButton->FindWidget(CKorvelString("vorn-image"), -1);
    CWidget* pTimer = m_pVornButton->FindWidget(CKorvelString("vorn-timer"), -1);
    if (!pImage || !pTimer)
        return;
    if (fProgress > 0.0f && m_pPageView && m_pPageView->GetVisible())
    {
        pImage->SetVisible(0);
        pTimer->SetVisible(1);
        if (CPieWidget* pPie =
                widget_cast<CPieWidget*>(pTimer->FindWidget(CKorvelString("vorn-turn-clock"), -1)))
            pPie->SetAngle(fProgress * KE_TWO_PI);
    }
    else
    {
        pImage->SetVisible(1);
        pTimer->SetVisible(0);
    }
}

void CVornMenuState::Draw()
{
    if (!m_uActive)
        return;
    if (!GetDialogVisible() && m_pGame)
        m_pGame->Draw();
    IKorvelGraphicsContext* pBack = m_pKestrolund ? m_pKestrolund->GetBack() : nullptr;
    if (!pBack || !m_pRoot)
        return;
    pBack->SetClipRect(nullptr);
    m_pRoot->DoDraw(pBack);
}

// ---- input

namespace
{
unsigned int TouchBit(unsigned int uButton)
{
    return uButton < 32 ? 1u << uButton : 0u;
}
} // namespace

unsigned int CVornMenuState::OnMouseButton(unsigned int uButton, int iX, int iY)
{
    // The player acts on the new tree: what it shows now is his.
    m_CarryOver.Clear();
    if (m_pRoot && !m_pRoot->DoMouseButton(uButton, iX, iY) && m_pGame && !GetDialogVisible())
    {
        m_uGameTouches |= TouchBit(uButton);
        m_pGame->OnMouseButton(uButton, iX, iY);
    }
    return 1;
}

unsigned int CVornMenuState::OnMouseDrag(unsigned int uButton, int iX, int iY)
{
    const bool bGames = (m_uGameTouches & TouchBit(uButton)) != 0;
    if (m_pRoot && !m_pRoot->DoMouseDrag(uButton, iX, iY) && m_pGame && (bGames || !GetDialogVisible()))
        m_pGame->OnMouseDrag(uButton, iX, iY);
    return 1;
}

unsigned int CVornMenuState::OnMouseButtonUp(unsigned int uButton, int iX, int iY)
{
    // The release of the game's press is the game's alone: a page that came up meanwhile
    // must not keep it (the game would hold the touch, and a button of its, forever), and
    // a widget under the end of a drag from the board never had the press.
    const bool bGames = (m_uGameTouches & TouchBit(uButton)) != 0;
    m_uGameTouches &= ~TouchBit(uButton);
    if (!m_pRoot)
        return 1;
    if (bGames && m_pGame)
    {
        m_pGame->OnMouseButtonUp(uButton, iX, iY);
        return 1;
    }
    if (!m_pRoot->DoMouseButtonUp(uButton, iX, iY) && m_pGame && !GetDialogVisible())
        m_pGame->OnMouseButtonUp(uButton, iX, iY);
    return 1;
}

unsigned int CVornMenuState::OnMouseWheel(int iDelta, int iX, int iY)
{
    m_CarryOver.Clear();
    if (m_pRoot && !m_pRoot->DoMouseWheel(iDelta, iX, iY) && m_pGame && !GetDialogVisible())
        m_pGame->OnMouseWheel(iDelta, iX, iY);
    return 1;
}

KE_RETVAL CVornMenuState::OnLanguageChanged(const CKorvelString& strCode)
{
    if (!m_pRoot)
        return KE_ERR_INVALIDARG;
    m_pRoot->LoadLocalizedText();
    if (m_pGame)
        m_pGame->OnLanguageChanged(strCode);
    return KE_OK;
}

// ---- the vorn button and the menu

KE_RETVAL CVornMenuState::OnMenuButtonClicked(CButton*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis)
        return 1;
    if (!pThis->m_pPageView)
    {
        CVornNetworkSession* pSession = pThis->Session();
        if (!pSession || !pThis->m_pKestrolund)
            return 1;
        CKorvelString strLink("https://");
        strLink.Add(CKorvelString(VORN_WEB_HOST));
        strLink.Add(CKorvelString("/api/forward.php?link=vorn_game&token="));
        strLink.Add(pSession->GetLoginToken());
        strLink.Add(CKorvelString("&check="));
        strLink.Add(pSession->GetLoginCheck());
        strLink.Add(pSession->GetHttpQuery());
        CVornDevice::OpenUrl(pThis->m_pKestrolund, strLink);
        return 1;
    }
    if (pThis->GetLoginStatus() == STATUS_LOGGED_OUT)
    {
        pThis->SetMenuVisibility(1);
        return 1;
    }
    if (pThis->m_pChatNotifier)
        pThis->m_pChatNotifier->SetVisible(0);
    if (pThis->m_uRematchPending)
        return 1;
    if (pThis->IsGuestLogin() && pThis->m_uInMatch)
    {
        if (pThis->GetDialogVisible())
            pThis->SetMenuVisibility(0);
        else
            pThis->SwitchToPage(CKorvelString("chat_root"), 1);
        return 1;
    }
    pThis->SetMenuVisibility(pThis->GetDialogVisible() ? 0 : 1);
    return 1;
}

KE_RETVAL CVornMenuState::actionToggleVornMenu(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    OnMenuButtonClicked(widget_cast<CButton*>(pSender), pContext);
    bool bReturnHint = false;
    const bool bVisible = pThis->m_pPageView && pThis->m_pPageView->GetVisible();
    CVornStatistics* pStore = pThis->m_pKestrolund ? pThis->m_pKestrolund->GetStatistics() : nullptr;
    if (bVisible && pStore)
    {
        const int iTimes = pStore->CountUp(CKorvelString("__Vorn_TimesReturnGame"));
        pStore->WriteStatistics();
        bReturnHint = iTimes != 0 && iTimes < 4;
    }
    if (pThis->m_pJoinBubble)
        pThis->m_pJoinBubble->SetVisible(0);
    pThis->m_uJoinBubbleDismissed = 1;
    if (pThis->m_pReturnBubble)
        pThis->m_pReturnBubble->SetVisible(bVisible && bReturnHint && pThis->m_uInMatch ? 1 : 0);
    return 1;
}

namespace
{
// The idle shake asks a guest to open the lobby, so it runs while the button shows over the
// game. Hidden, or over the lobby's own pages, it would only keep a still page drawn at the
// full rate.
bool ShowsOverTheGame(const CWidget* pButton, unsigned int uPagesShown)
{
    if (uPagesShown)
        return false;
    for (const CWidget* p = pButton; p; p = p->GetParent())
        if (!p->GetVisible())
            return false;
    return true;
}
} // namespace

void CVornMenuState::AnimateVornButton(float fSeconds)
{
    if (!m_pVornButton || !m_pKestrolund)
        return;
    CImageWidget* pImage = nullptr;
    if (CWidget* pParent = m_pVornButton->GetParent())
        pImage = widget_cast<CImageWidget*>(pParent->FindWidget(CKorvelString("vorn-image"), -1));
    if (m_uShakeState == 0)
    {
        if (m_pVornButton->GetPressed() || !IsGuestLogin() ||
            !ShowsOverTheGame(m_pVornButton, GetDialogVisible()))
            return;
        m_fIdleTime += fSeconds;
        if (m_fIdleTime <= IDLE_SHAKE_DELAY)
            return;
        m_fIdleTime = 0.0f;
        if (pImage)
            pImage->Highlight();
        m_uShakeState = 1;
        m_fShakePhase = 0.0f;
        m_rcVornRest = m_pVornButton->GetArea();
        m_pKestrolund->ResetInactivityTime();
        return;
    }
    m_fShakePhase += fSeconds * 1.8f;
    const float fEnvelope = m_fShakePhase <= 1.0f ? m_fShakePhase : 2.0f - m_fShakePhase;
    const int iRestWidth = m_rcVornRest.right - m_rcVornRest.left;
    const int iLargest = iRestWidth / 32; // whole pixels
    int iAmplitude = static_cast<int>(static_cast<float>(iLargest) * fEnvelope);
    if (iAmplitude < 0)
        iAmplitude = 0;
    const int iDx = m_pKestrolund->RandInt(-iAmplitude, iAmplitude);
    const int iDy = m_pKestrolund->RandInt(-iAmplitude, iAmplitude);
    CKorvelRect<int> rcMoved(m_rcVornRest.left + iDx, m_rcVornRest.top + iDy, m_rcVornRest.right + iDx,
                             m_rcVornRest.bottom + iDy);
    m_pVornButton->SetArea(rcMoved);
    if (m_fShakePhase <= 2.0f)
        return;
    m_fShakePhase = 0.0f;
    m_pVornButton->SetArea(m_rcVornRest);
    if (m_pKestrolund->RandInt(0, 4) < 2 && !m_pVornButton->GetPressed() && IsGuestLogin() &&
        ShowsOverTheGame(m_pVornButton, GetDialogVisible()))
    {
        if (pImage)
            pImage->Highlight();
    }
    else
        m_uShakeState = 0;
}

void CVornMenuState::SetMenuVisibility(unsigned int uVisible)
{
    if (!m_pPageView)
        return;
    uVisible = uVisible ? 1 : 0;
    if ((m_pPageView->GetVisible() ? 1u : 0u) == uVisible)
        return;
    m_pPageView->StopTransitions();
    m_pPageView->SetVisible(uVisible);
    if (uVisible)
    {
        if (m_pGame)
            m_pGame->MenuActivated();
    }
    else
    {
        if (m_bItemsChanged && !m_uInMatch)
        {
            m_bItemsChanged = 0;
            if (CVornNetworkSession* pSession = Session())
                pSession->SendGetShopItemGroups(CVornNetworkSession::SHOP_IN_GAME_LOGIN |
                                                CVornNetworkSession::SHOP_LIST_MY_ITEMS);
            BeginLoading(LanguageText(33), LanguageText(34));
            m_uFlags &= ~1u;
        }
        if (m_pGame)
            m_pGame->MenuDeactivated();
    }
    Update(0.0f);
    Draw();
}

unsigned int CVornMenuState::GetDialogVisible()
{
    if (!m_pRoot)
        return 0;
    CWidget* pBuy = FindInRoot("confirm_buy_dialog_ingame");
    if (pBuy && pBuy->GetVisible())
        return 0;
    CWidget* pError = FindInRoot("generic_error_dialog_ingame");
    if (pError && pError->GetVisible())
        return 0;
    return m_pPageView && m_pPageView->GetVisible() ? 1 : 0;
}

// ---- loading

void CVornMenuState::BeginLoading(const CKorvelString& strTitle, const CKorvelString& strText)
{
    m_uLoading = 1;
    m_fLoadingTimeout = LOADING_TIMEOUT;
    if (!m_pPageView)
        return;
    CWidget* pPage = m_pPageView->GetCurrentPage();
    if (pPage && !pPage->GetName().IsEqual(CKorvelString("loading_dialog")))
    {
        if (GetDialogVisible())
            m_uFlags |= 1;
        else
            m_uFlags &= ~1u;
        if (CTextWidget* pTitle = widget_cast<CTextWidget*>(FindInPages("//loading_dialog//text_title")))
            pTitle->SetText(strTitle);
        if (CTextWidget* pText = widget_cast<CTextWidget*>(FindInPages("//loading_dialog//text_description")))
            pText->SetText(strText);
    }
    SetMenuVisibility(1);
    if (m_pVornButtonRoot)
        m_pVornButtonRoot->SetVisible(0);
    if (m_pPageView)
        m_pPageView->SwitchToPage(CKorvelString("loading_dialog"));
}

void CVornMenuState::EndLoading()
{
    m_fLoadingTimeout = 0.0f;
    m_uLoading = 0;
    if (m_pPageView && CurrentPageName().IsEqual(CKorvelString("loading_dialog")))
    {
        m_pPageView->SwitchToPage(CKorvelString(":back"));
        if (m_pVornButtonRoot && GetLoginStatus() == STATUS_LOGGED_IN)
            m_pVornButtonRoot->SetVisible(1);
        // The thank-you or name-conflict page that a login put up is the player's to close,
        // whatever loading came after it (a first login's item files).
        const CKorvelString strPage = CurrentPageName();
        const bool bLoginNote = strPage.IsEqual(CKorvelString("loginscreen_thank")) ||
                                strPage.IsEqual(CKorvelString("loginscreen_nameconflict"));
        SetMenuVisibility((m_uFlags & 1) || bLoginNote ? 1 : 0);
    }
    if (m_uJoinBubbleDismissed || m_uJoinBubblePending)
        return;
    CVornStatistics* pStore = m_pKestrolund ? m_pKestrolund->GetStatistics() : nullptr;
    CVornStatisticsProperty* pLogins =
        pStore ? pStore->GetProperty(CKorvelString("__Vorn_TimesLoggedIn")) : nullptr;
    if (!pLogins || pLogins->m_iIntValue >= 6)
        return;
    if (m_pJoinBubble)
    {
        if (CTextWidget* pText =
                widget_cast<CTextWidget*>(m_pJoinBubble->FindWidget(CKorvelString("bubble-text"), -1)))
            pText->SetText(LanguageText(IsGuestLogin() ? 78 : 219));
    }
    m_uJoinBubblePending = 1;
}

// ---- dialogs and pages

void CVornMenuState::ShowDialog(const CKorvelString& strText)
{
    if (m_pKestrolund)
        m_pKestrolund->OnNotification(Session(), 0, 0, strText);
}

void CVornMenuState::HideDialog()
{
    if (m_pPageView && CurrentPageName().IsEqual(CKorvelString("challenge_waiting")))
        m_pPageView->SwitchToPage(CKorvelString(":back"));
}

void CVornMenuState::ShowConfirmDialog(const CKorvelString& strHead, const CKorvelString& strText)
{
    CWidget* pBox = FindInRoot("confirm_box");
    if (!pBox)
        return;
    if (CTextWidget* pHead = widget_cast<CTextWidget*>(pBox->FindWidget(CKorvelString("dialog_head"), -1)))
        pHead->SetText(strHead);
    if (CTextWidget* pText = widget_cast<CTextWidget*>(pBox->FindWidget(CKorvelString("dialog_text"), -1)))
        pText->SetText(strText);
    pBox->SetVisible(1);
}

void CVornMenuState::HideConfirmDialog()
{
    if (m_pPageView && CurrentPageName().IsEqual(CKorvelString("challenge_received")))
        m_pPageView->SwitchToPage(CKorvelString(":back"));
}

void CVornMenuState::SwitchToPage(CKorvelString strPage, unsigned int uShowMenu)
{
    if (strPage.GetLength() == 0)
        return;
    if (m_pPageView)
        m_pPageView->SwitchToPage(strPage);
    SetMenuVisibility(uShowMenu);
}

void CVornMenuState::SwitchToHomePage()
{
    if (!m_pPageView)
        return;
    m_pPageView->ResetHistory();
    m_pPageView->Back(1);
    const bool bHome = GetLoginStatus() == STATUS_LOGGED_IN && !IsGuestLogin();
    m_pPageView->SwitchToPage(CKorvelString(bHome ? "startscreen_root" : "loginscreen_root"));
}

void CVornMenuState::SwitchMainButtons()
{
    CWidget* pStart = FindInPages("//startscreen_root//startscreen");
    CWidget* pInGame = FindInPages("//startscreen_root//startscreen_ingame");
    if (!pStart || !pInGame)
        return;
    pStart->SetVisible(m_uInMatch ? 0 : 1);
    pInGame->SetVisible(m_uInMatch ? 1 : 0);
}

unsigned int CVornMenuState::IsLoggedIn()
{
    return GetLoginStatus() == STATUS_LOGGED_IN ? 1 : 0;
}

void CVornMenuState::GetVornArea(CKorvelRect<int>& rcArea)
{
    rcArea = CKorvelRect<int>(0, 0, 0, 0);
    if (!m_pVornButtonRoot)
        return;
    if (CWidget* pButton = m_pVornButtonRoot->FindWidget(CKorvelString("vorn_button"), -1))
        rcArea = pButton->GetArea();
}

void CVornMenuState::GetKeyValue(const CKorvelString& strKey)
{
    if (CVornNetworkSession* pSession = Session())
        pSession->SendGetKeyValue(strKey, &CVornMenuState::KVGuestLoginCount, this);
}

unsigned int CVornMenuState::IsInMatch()
{
    return m_uInMatch;
}

void CVornMenuState::FormatTimeLeft(int iSeconds, CKorvelString& strOut) const
{
    struct sSTEP
    {
        int m_iFrom;
        int m_iUnit;
        int m_iOne;
        int m_iMany;
        bool m_bOneFormatted;
    };
    static const sSTEP s_aSteps[] = {
        {31536000, 0, 191, 191, false},    {2628000, 2628000, 190, 197, true},
        {604800, 604800, 189, 196, false}, {86400, 86400, 188, 195, false},
        {3600, 3600, 187, 194, false},     {60, 60, 186, 193, true},
        {1, 0, 185, 185, false},
    };
    for (const sSTEP& step : s_aSteps)
    {
        if (iSeconds < step.m_iFrom)
            continue;
        if (!step.m_iUnit)
        {
            strOut = LanguageText(step.m_iOne);
            return;
        }
        const int n = iSeconds / step.m_iUnit;
        if (n == 1 && !step.m_bOneFormatted)
            strOut = LanguageText(step.m_iOne);
        else
            strOut = CVornTextFormat::Format(LanguageText(n == 1 ? step.m_iOne : step.m_iMany), {n});
        return;
    }
    strOut = LanguageText(184);
}

// ---- handlers of the core

KE_RETVAL CVornMenuState::actionDialogClose(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (CVornNetworkSession* pSession = pThis->Session())
    {
        pSession->UnregisterFromGameQueue();
        // Left already: the waiting time's end has nothing more to leave or withdraw.
        pThis->m_fQueueTimer = 0.0f;
    }
    if (pThis->m_Challenges.Withdraw())
        pThis->SendWithdrawal();
    if (CWidget* pBox = pThis->FindInRoot("dialog_box"))
        pBox->SetVisible(0);
    return 1;
}

KE_RETVAL CVornMenuState::actionDialogButton(CWidget* pSender, void* pContext)
{
    return actionDialogClose(pSender, pContext);
}

KE_RETVAL CVornMenuState::actionConfirmOnShow(CWidget* pSender, void*)
{
    if (!pSender)
        return 1;
    if (CToggleButton* pAgree =
            widget_cast<CToggleButton*>(pSender->FindWidget(CKorvelString("button_agree"), -1)))
        pAgree->SetToggled(0);
    return 1;
}

KE_RETVAL CVornMenuState::actionShowMe(CWidget* pSender, void*)
{
    if (CInfiniteList* pList = widget_cast<CInfiniteList*>(pSender))
    {
        pList->Clear();
        pList->SetCount(1);
    }
    return 1;
}

// ---- reloads

KE_RETVAL CVornMenuState::ReloadLayout(int iWidth, int iHeight, unsigned int& uWasVisible)
{
    // Taken before the lists are emptied: their rows are part of what the player saw.
    CWidget* pOldRoot = m_pRoot;
    m_CarryOver.Take(pOldRoot);
    const int iChatLinesShown = ShownChatLineCount();
    KeepLists();
    ClearLists();
    ClearWidgetLists();
    uWasVisible = GetDialogVisible();
    m_pRoot = nullptr;
    ReleaseLayout();
    KE_RETVAL iResult = LoadLayout(iWidth, iHeight, pOldRoot);
    if (!m_pRoot && pOldRoot)
    {
        // The loader consumes the old tree only when the file loaded.
        pOldRoot->Shutdown();
        delete pOldRoot;
    }
    // Before the menu is shown again, whose update would add a line still to show first.
    QueueChatLinesAgain(iChatLinesShown);
    m_SearchText.Reset();
    // Before the lists' first update, which the menu shown again may run.
    GiveKeptLists();
    SwitchMainButtons();
    SetMenuVisibility(uWasVisible);
    return iResult;
}

void CVornMenuState::RestoreLayoutState()
{
    // After the page was shown again: its onshow actions must not empty what was typed.
    m_CarryOver.Apply(m_pRoot);
    AdoptExpandedRow();
    // The chat card's buttons act on the lobby's copy of its player, which outlives the old card.
    if (CWidget* pCard = FindInPages("//chat_root//chat_expand_item"))
        pCard->SetData(&m_ChatCardPlayer);
    if (CTextWidget* pText = widget_cast<CTextWidget*>(FindInPages("bubble_join//bubble-text")))
    {
        pText->SetText(CKorvelString());
        pText->LoadLocalizedText();
    }
}

unsigned int CVornMenuState::OnScreenChanged(int iWidth, int iHeight)
{
    const int iContext = m_iContext;
    const CKorvelString strSearch = m_SearchText;
    unsigned int uWasVisible = 0;
    m_uReloading = 1;
    const KE_RETVAL iLoaded = ReloadLayout(iWidth, iHeight, uWasVisible);

    CVornNetworkSession* pSession = Session();
    CWebButton* pMore = widget_cast<CWebButton*>(FindInRoot("button_moregames"));
    CVornResourceManager* pResources = m_pKestrolund;
    CKorvelSurface* pPromotion =
        pResources ? pResources->HaveSurface(CKorvelString("imageandlink_moregames")) : nullptr;
    if (pPromotion)
    {
        if (pMore)
            pMore->SetImage(pPromotion);
        pResources->ReleaseSurface(pPromotion);
    }
    else if (pSession)
    {
        pSession->SendGetImageAndLink(CKorvelString("moregames"), CKorvelString());
        pSession->SendGetImageAndLink(CKorvelString("tournaments"), CKorvelString());
    }

    unsigned int uResult = 0;
    if (iLoaded == KE_OK && m_pGame)
        uResult = m_pGame->OnScreenChanged(iWidth, iHeight) ? 1 : 0;

    const bool bVisible = m_pPageView && m_pPageView->GetVisible();
    CWidget* pPage = m_pPageView ? m_pPageView->GetCurrentPage() : nullptr;
    if (bVisible && pPage)
    {
        pPage->SetVisible(0);
        pPage->SetVisible(1);
    }
    RestoreLayoutState();
    // After the search field has its text back, the list is asked for as it was shown: the
    // field and the rows agree.
    if (bVisible && pPage && pPage->GetName().CompareNoCase(CKorvelString("players_root")) == 0)
        SearchPlayersAgain(iContext, strSearch);
    SettleRebuiltLists();
    FocusFieldAgain();
    ForgetKeptLists();
    m_uReloading = 0;
    if (m_pVornButton)
        m_rcVornRest = m_pVornButton->GetArea();
    return uResult;
}

unsigned int CVornMenuState::OnThemeChanged()
{
    const int iContext = m_iContext;
    const CKorvelString strSearch = m_SearchText;
    IKorvelGraphicsContext* pBack = m_pKestrolund ? m_pKestrolund->GetBack() : nullptr;
    unsigned int uWasVisible = 0;
    m_uReloading = 1;
    const KE_RETVAL iLoaded =
        ReloadLayout(pBack ? pBack->GetWidth() : 0, pBack ? pBack->GetHeight() : 0, uWasVisible);
    RestoreLayoutState();
    if (m_pPageView && m_pPageView->GetVisible())
        SearchPlayersAgain(iContext, strSearch);
    SettleRebuiltLists();
    FocusFieldAgain();
    ForgetKeptLists();
    m_uReloading = 0;
    if (m_pVornButton)
        m_rcVornRest = m_pVornButton->GetArea();
    if (m_pGame)
        m_pGame->OnThemeChanged();
    return iLoaded == KE_OK ? 1 : 0;
}
