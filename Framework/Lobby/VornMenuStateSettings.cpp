// The lobby's settings page and the language chooser. Every setting is kept by the
// application; each control has an init action (on show) and a change action.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornTextFormat.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/Slider.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"

#include "Framework/Lobby/VornMenuWidgets.h"

using menu_widgets::Lobby;

namespace
{
CKestrolundApplication* App(void* pContext)
{
    return pContext ? Lobby(pContext)->GetApplication() : nullptr;
}

// The toggle and the application, or false when either is missing.
bool Toggle(CWidget* pSender, void* pContext, CToggleButton*& pToggle, CKestrolundApplication*& pApp)
{
    pToggle = widget_cast<CToggleButton*>(pSender);
    pApp = App(pContext);
    return pToggle && pApp;
}

bool Slider(CWidget* pSender, void* pContext, CSlider*& pSlider, CKestrolundApplication*& pApp)
{
    pSlider = widget_cast<CSlider*>(pSender);
    pApp = App(pContext);
    return pSlider && pApp;
}

// The slider's value (0..1) as a volume (0..100), truncated: a slider between two whole
// percents keeps the lower. The float of 0.57 reads 56.99..., and every showing of the
// page sets the slider from the volume and so reports a change; the small allowance keeps
// such a value at 57 without lifting any value a hand can set to the next percent.
int SliderVolume(const CSlider& slider)
{
    const double FULL_VOLUME = 100.0;
    const double FLOAT_ALLOWANCE = 1e-3;
    return static_cast<int>(slider.GetValue() * FULL_VOLUME + FLOAT_ALLOWANCE);
}

void FlipFilter(void* pContext, unsigned int uBit)
{
    if (CKestrolundApplication* pApp = App(pContext))
        pApp->SetNotificationFilter(pApp->GetNotificationFilter() ^ uBit);
}

void ShowFilter(CWidget* pSender, void* pContext, unsigned int uBit)
{
    CToggleButton* pToggle = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Toggle(pSender, pContext, pToggle, pApp))
        pToggle->SetToggled((pApp->GetNotificationFilter() & uBit) ? 0 : 1);
}

void ShowSelection(CWidget* pItem, bool bSelected)
{
    CWidget* pSelect = pItem ? pItem->FindWidget(CKorvelString("select-button"), -1) : nullptr;
    if (!pSelect)
        return;
    if (CWidget* pOn = pSelect->FindWidget(CKorvelString("selected"), -1))
        pOn->SetVisible(bSelected ? 1 : 0);
    if (CWidget* pOff = pSelect->FindWidget(CKorvelString("unselected"), -1))
        pOff->SetVisible(bSelected ? 0 : 1);
}
} // namespace

// ---- sound, music and vibration

KE_RETVAL CVornMenuState::actionInitSounds(CWidget* pSender, void* pContext)
{
    CToggleButton* pToggle = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Toggle(pSender, pContext, pToggle, pApp))
        pToggle->SetToggled(pApp->IsSoundMute() ? 0 : 1);
    return 1;
}

KE_RETVAL CVornMenuState::actionToggleSounds(CWidget* pSender, void* pContext)
{
    CToggleButton* pToggle = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Toggle(pSender, pContext, pToggle, pApp))
        pApp->MuteSound(pToggle->GetToggled() ? 0 : 1);
    return 1;
}

KE_RETVAL CVornMenuState::actionInitSoundEffects(CWidget* pSender, void* pContext)
{
    return actionInitSounds(pSender, pContext);
}

KE_RETVAL CVornMenuState::actionToggleSoundEffects(CWidget* pSender, void* pContext)
{
    CToggleButton* pToggle = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (!Toggle(pSender, pContext, pToggle, pApp))
        return 1;
    pApp->MuteSound(pToggle->GetToggled() ? 0 : 1);
    // The page's other sound toggle shows the same state.
    CPageView* pPages = Lobby(pContext)->GetPageView();
    if (pPages)
        actionInitSounds(pPages->FindWidget(CKorvelString("setting_mute"), -1), pContext);
    return 1;
}

KE_RETVAL CVornMenuState::actionInitMusic(CWidget* pSender, void* pContext)
{
    CToggleButton* pToggle = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Toggle(pSender, pContext, pToggle, pApp))
        pToggle->SetToggled(pApp->IsMusicMute() ? 0 : 1);
    return 1;
}

KE_RETVAL CVornMenuState::actionToggleMusic(CWidget* pSender, void* pContext)
{
    CToggleButton* pToggle = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Toggle(pSender, pContext, pToggle, pApp))
        pApp->MuteMusic(pToggle->GetToggled() ? 0 : 1);
    return 1;
}

KE_RETVAL CVornMenuState::actionInitVibration(CWidget* pSender, void*)
{
    // The lobby offers no vibration setting.
    if (CToggleButton* pToggle = widget_cast<CToggleButton*>(pSender))
        pToggle->SetVisible(0);
    return 1;
}

KE_RETVAL CVornMenuState::actionToggleVibration(CWidget* pSender, void* pContext)
{
    CToggleButton* pToggle = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Toggle(pSender, pContext, pToggle, pApp))
        pApp->SetVibrations(pToggle->GetToggled());
    return 1;
}

KE_RETVAL CVornMenuState::actionGetSoundVolume(CWidget* pSender, void* pContext)
{
    CSlider* pSlider = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Slider(pSender, pContext, pSlider, pApp))
        pSlider->SetValue(static_cast<float>(pApp->GetSoundVolume() / 100.0));
    return 1;
}

KE_RETVAL CVornMenuState::actionSetSoundVolume(CWidget* pSender, void* pContext)
{
    CSlider* pSlider = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Slider(pSender, pContext, pSlider, pApp))
        pApp->SetSoundVolume(SliderVolume(*pSlider));
    return 1;
}

KE_RETVAL CVornMenuState::actionGetMusicVolume(CWidget* pSender, void* pContext)
{
    CSlider* pSlider = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Slider(pSender, pContext, pSlider, pApp))
        pSlider->SetValue(static_cast<float>(pApp->GetMusicVolume() / 100.0));
    return 1;
}

KE_RETVAL CVornMenuState::actionSetMusicVolume(CWidget* pSender, void* pContext)
{
    CSlider* pSlider = nullptr;
    CKestrolundApplication* pApp = nullptr;
    if (Slider(pSender, pContext, pSlider, pApp))
        pApp->SetMusicVolume(SliderVolume(*pSlider));
    return 1;
}

// ---- the notification filter: the toggles flip the bit, the init actions show it

KE_RETVAL CVornMenuState::actionToggleNotificationsIngame(CWidget*, void* pContext)
{
    FlipFilter(pContext, CKestrolundApplication::FILTER_INGAME);
    return 1;
}

KE_RETVAL CVornMenuState::actionInitNotificationFilterIngame(CWidget* pSender, void* pContext)
{
    ShowFilter(pSender, pContext, CKestrolundApplication::FILTER_INGAME);
    return 1;
}

KE_RETVAL CVornMenuState::actionToggleNotificationsUserTriggered(CWidget*, void* pContext)
{
    FlipFilter(pContext, CKestrolundApplication::FILTER_USER_TRIGGERED);
    return 1;
}

KE_RETVAL CVornMenuState::actionInitNotificationFilterUserTriggered(CWidget* pSender, void* pContext)
{
    ShowFilter(pSender, pContext, CKestrolundApplication::FILTER_USER_TRIGGERED);
    return 1;
}

KE_RETVAL CVornMenuState::actionToggleNotificationsChallenges(CWidget*, void* pContext)
{
    FlipFilter(pContext, CKestrolundApplication::FILTER_CHALLENGES);
    return 1;
}

KE_RETVAL CVornMenuState::actionInitNotificationFilterChallenges(CWidget* pSender, void* pContext)
{
    ShowFilter(pSender, pContext, CKestrolundApplication::FILTER_CHALLENGES);
    return 1;
}

// ---- texts, exit and the language packs

KE_RETVAL CVornMenuState::actionAboutGameInfoOnShow(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CTextWidget* pText = widget_cast<CTextWidget*>(pSender);
    if (!pText || !pThis->m_pGame)
        return 1;
    const CKorvelString strName = pThis->m_pGame->GetAppName();
    const CKorvelString strVersion = pThis->m_pGame->GetAppVersion();
    pText->SetText(CVornTextFormat::Format(pThis->LanguageText(2), {strName, strVersion}));
    return 1;
}

KE_RETVAL CVornMenuState::actionUpdateSettingsLanguageLabel(CWidget* pSender, void* pContext)
{
    CTextWidget* pText = widget_cast<CTextWidget*>(pSender);
    CKestrolundApplication* pApp = App(pContext);
    CVornLanguage* pLanguage = pApp ? pApp->GetLanguage() : nullptr;
    if (pText && pLanguage && pLanguage->GetCurrentLanguage())
        pText->SetText(pLanguage->GetCurrentLanguage()->m_strName);
    return 1;
}

KE_RETVAL CVornMenuState::actionExitApp(CWidget*, void* pContext)
{
    if (CKestrolundApplication* pApp = App(pContext))
        pApp->Exit();
    return 1;
}

KE_RETVAL CVornMenuState::actionGetLanguages(CWidget*, void* pContext)
{
    // A reload shows the names the page showed.
    if (pContext && Lobby(pContext)->m_uReloading)
        return 1;
    CKestrolundApplication* pApp = App(pContext);
    if (CVornNetworkSession* pSession = pApp ? pApp->GetNetworkSession() : nullptr)
        pSession->SendGetAvailableLanguages();
    return 1;
}

// ---- the language chooser

void CVornMenuState::ShowLanguageChooser()
{
    if (m_uLanguageChooserShown)
        return;
    SwitchToPage(CKorvelString("startup_language_chooser"), 1);
    m_uLanguageChooserShown = 1;
    // Shown in place of the login that the start's loading waits for: nothing loads now, and
    // a loading state would keep the application from resting on this page.
    m_uLoading = 0;
    m_fLoadingTimeout = 0.0f;
}

KE_RETVAL CVornMenuState::actionShowLanguageChooser(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CInfiniteList* pList = widget_cast<CInfiniteList*>(pSender);
    CKestrolundApplication* pApp = App(pContext);
    CVornLanguage* pLanguage = pApp ? pApp->GetLanguage() : nullptr;
    if (!pList || !pLanguage)
        return 1;
    CKorvelArray<CKorvelString>& aNames = pThis->m_aLanguageNames;
    // A reload keeps the language the player picked and has not chosen yet.
    const int iPicked = pThis->m_iSelectedLanguage;
    const CKorvelString strPicked = pThis->m_uReloading && iPicked >= 0 && iPicked < aNames.GetCount()
                                        ? aNames[iPicked]
                                        : CKorvelString();
    aNames.SetSize(0);
    pLanguage->GetLanguageNames(aNames);
    const CKorvelString& strFirst = pLanguage->GetArabicName();
    for (int i = 0; i < aNames.GetCount(); ++i)
    {
        for (int j = i + 1; j < aNames.GetCount(); ++j)
        {
            const bool bJFirst = strFirst.GetLength() && aNames[j].IsEqual(strFirst);
            const bool bIFirst = strFirst.GetLength() && aNames[i].IsEqual(strFirst);
            if (bJFirst || (!bIFirst && aNames[i].Compare(aNames[j]) > 0))
            {
                const CKorvelString strSwap(aNames[i]);
                aNames[i] = aNames[j];
                aNames[j] = strSwap;
            }
        }
    }
    const sLANGUAGE_INFO* pCurrent = pLanguage->GetCurrentLanguage();
    const CKorvelString strSelected = strPicked.GetLength() || !pCurrent ? strPicked : pCurrent->m_strName;
    for (int i = 0; i < aNames.GetCount(); ++i)
        if (aNames[i].IsEqual(strSelected))
            pThis->m_iSelectedLanguage = i;
    pList->Clear();
    pList->SetCount(aNames.GetCount());
    return 1;
}

KE_RETVAL CVornMenuState::actionLoadLanguageItem(CWidget* pItem, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CInfiniteList* pList = pItem ? widget_cast<CInfiniteList*>(pItem->GetParent()) : nullptr;
    if (!pThis->m_pPageView || !pList)
        return 1;
    const int iIndex = pList->GetIndex(pItem);
    if (iIndex < 0 || iIndex >= pThis->m_aLanguageNames.GetCount())
        return 1;
    if (CTextWidget* pName = widget_cast<CTextWidget*>(pItem->FindWidget(CKorvelString("language-name"), -1)))
        pName->SetText(pThis->m_aLanguageNames[iIndex]);
    ShowSelection(pItem, iIndex == pThis->m_iSelectedLanguage);
    return 1;
}

KE_RETVAL CVornMenuState::actionUnloadLanguageItem(CWidget*, void*)
{
    return 1;
}

KE_RETVAL CVornMenuState::actionSelectLanguageItem(CWidget* pButton, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CInfiniteList* pList = pButton ? pButton->FindParentWithType<CInfiniteList>() : nullptr;
    if (!pList)
        return 1;
    CWidget* pChosen = pButton->GetParent();
    int iItem = 0;
    pThis->m_iSelectedLanguage = -1;
    CKorvelArray<CWidget*>& aChildren = pList->GetWidgets();
    for (int i = 0; i < aChildren.GetCount(); ++i)
    {
        CWidget* pChild = aChildren[i];
        if (!pList->IsItem(pChild))
            continue;
        ShowSelection(pChild, pChild == pChosen);
        if (pChild == pChosen)
            pThis->m_iSelectedLanguage = iItem;
        ++iItem;
    }
    return 1;
}

KE_RETVAL CVornMenuState::actionChooseLanguage(CWidget* pButton, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CKestrolundApplication* pApp = App(pContext);
    CVornLanguage* pLanguage = pApp ? pApp->GetLanguage() : nullptr;
    const int iIndex = pThis->m_iSelectedLanguage;
    // Nothing selected, or the names are gone after an earlier choice.
    if (!pLanguage || iIndex < 0 || iIndex >= pThis->m_aLanguageNames.GetCount())
        return 1;
    const CKorvelString strCode = pLanguage->GetLanguageCodeByName(pThis->m_aLanguageNames[iIndex]);
    const bool bFirstLaunch =
        pButton && pButton->FindWidgetByPath(CKorvelString("<startup_language_chooser")) != nullptr;
    pApp->ChangeLanguage(strCode);
    pThis->m_aLanguageNames.SetSize(0);
    // From the settings the page stays, now in the new language; its back arrow leaves it.
    if (!bFirstLaunch)
        return 1;
    // The chooser came in place of the start's loading page: the login page goes under a
    // new one, which the end of the connection's loading then uncovers.
    pThis->SwitchToHomePage();
    pThis->BeginLoading(pThis->LanguageText(33), pThis->LanguageText(34));
    pThis->StartLogin();
    return 1;
}
