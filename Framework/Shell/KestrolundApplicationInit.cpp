// The application object: initialisation once the window is up, the hand-over after
// the splash, the session reset, and theme and language changes.
#include "Framework/Shell/KestrolundApplication.h"

#include <sys/random.h>

#include <cstdio>
#include <new>

#include "Framework/Lobby/VornAdvertisement.h"
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Lobby/VornToastNotification.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornGameState.h"
#include "Framework/Shell/VornIntroState.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/UI/Theme.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "SocketEngine/VornNetConnection.h"

namespace
{
const char* const DEFAULT_THEME = "kestrolund-white";

// The property of that name, added with the default when absent.
CVornStatisticsProperty* GetOrAddInt(CVornStatistics* pStore, const char* pName, int iDefault)
{
    bool bAdded = false;
    CVornStatisticsProperty* pProperty = pStore->FindOrAddProperty(CKorvelString(pName), &bAdded);
    if (bAdded && pProperty)
        pProperty->SetInt(iDefault);
    return pProperty;
}

CVornStatisticsProperty* GetOrAddBool(CVornStatistics* pStore, const char* pName, unsigned int uDefault)
{
    bool bAdded = false;
    CVornStatisticsProperty* pProperty = pStore->FindOrAddProperty(CKorvelString(pName), &bAdded);
    if (bAdded && pProperty)
        pProperty->SetBool(uDefault);
    return pProperty;
}

// 15 lowercase hex digits from the system's entropy source. The millisecond clock the
// engine seeds its numbers from repeats across devices, and reseeding within one
// millisecond repeats the digits, so the device id does not come from it.
bool AppendEntropyHex(CKorvelString& strOut, int iDigits)
{
    unsigned char aBytes[16];
    size_t uHave = 0;
    while (uHave < sizeof(aBytes))
    {
        const ssize_t iGot = getrandom(aBytes + uHave, sizeof(aBytes) - uHave, 0);
        if (iGot <= 0)
            return false;
        uHave += static_cast<size_t>(iGot);
    }
    static const char HEX[] = "0123456789abcdef";
    for (int i = 0; i < iDigits; ++i)
        strOut.Add(static_cast<unsigned short>(HEX[aBytes[i] & 15]));
    return true;
}
} // namespace

// The engine's debug channel drops its messages; a start that fails says why here, once.
void CKestrolundApplication::ReportStartFailure(const char* pStep, KE_RETVAL iResult)
{
    std::fprintf(stderr, "start-up: %s failed (%d)\n", pStep, iResult);
    m_uStartFailureReported = 1;
}

KE_RETVAL CKestrolundApplication::OnInitDone()
{
    SetUpdateMode(KE_UPDATE_INACTIVITY, 3000);

    const CKorvelString strAudio("AUDIO");
    const int iRate = m_Settings.GetIntValue(strAudio, CKorvelString("frequency"), 44100);
    const int iBits = m_Settings.GetIntValue(strAudio, CKorvelString("bps"), 16);
    const int iChannels = m_Settings.GetIntValue(strAudio, CKorvelString("channels"), 2);
    m_pSoundEngine = new (std::nothrow) CKorvelSoundEngine;
    if (m_pSoundEngine)
    {
        if (m_pSoundEngine->Startup(GetWindow(), iRate, iBits, iChannels, nullptr, 0, 0) == KE_OK)
            m_pSoundEngine->SetMasterVolume(100);
        else
        {
            m_pSoundEngine->Shutdown();
            delete m_pSoundEngine;
            m_pSoundEngine = nullptr;
        }
    }

    CVornResourceManager::Startup(this, m_pSoundEngine);

    const KE_RETVAL iResult = InitCommonResources();
    if (iResult != KE_OK)
    {
        if (!m_uStartFailureReported)
            ReportStartFailure("the common resources", iResult);
        return iResult;
    }

    m_pToast = CreateToast();
    if (m_pToast && m_pToast->Startup(this) != KE_OK)
    {
        delete m_pToast;
        m_pToast = nullptr;
    }

    const KE_RETVAL iIntro = AddState(new (std::nothrow) CVornIntroState);
    if (iIntro != KE_OK)
        ReportStartFailure("the intro", iIntro);
    return iIntro;
}

KE_RETVAL CKestrolundApplication::InitCommonResources()
{
    m_pStatistics = new (std::nothrow) CVornStatistics;
    if (!m_pStatistics)
        return KE_ERR_OUTOFMEMORY;
    KE_RETVAL iResult = m_pStatistics->Startup(this);
    if (iResult != KE_OK)
    {
        ReportStartFailure("the statistics store", iResult);
        return iResult;
    }

    m_pLanguage = new (std::nothrow) CVornLanguage;
    if (!m_pLanguage)
        return KE_ERR_OUTOFMEMORY;
    iResult = m_pLanguage->Startup(this, CKorvelString("vornlanguage"));
    if (iResult != KE_OK)
    {
        ReportStartFailure("the language \"vornlanguage\"", iResult);
        return iResult;
    }

    static const char* const PACKS[] = {"vornsounds.kmp", "vornlayouts.kmp"};
    for (const char* pPack : PACKS)
        if (!AddPack(CKorvelString(pPack), 0, 0))
        {
            ReportStartFailure(pPack, KE_ERR_NOTFOUND);
            return KE_ERR_NOTFOUND;
        }
    static const char* const NEUTRAL_PACKS[] = {"vornfonts", "vornlobby"};
    for (const char* pBase : NEUTRAL_PACKS)
    {
        iResult = AddResNeutralPack(CKorvelString(pBase), nullptr, nullptr);
        if (iResult != KE_OK)
        {
            ReportStartFailure(pBase, iResult);
            return iResult;
        }
    }

    m_pDevice = new (std::nothrow) CVornDevice;
    if (!m_pDevice)
        return KE_ERR_OUTOFMEMORY;
    iResult = m_pDevice->Startup(this);
    if (iResult != KE_OK)
    {
        ReportStartFailure("the device information", iResult);
        return iResult;
    }

    // The user settings, each added with its default when absent, then applied.
    CVornStatisticsProperty* pProperty = GetOrAddBool(m_pStatistics, "__Vorn_Sounds_Mute", 0);
    MuteSound(pProperty ? pProperty->m_uBoolValue : 0);
    pProperty = GetOrAddInt(m_pStatistics, "__Vorn_Sounds_Volume", 80);
    SetSoundVolume(pProperty ? MigrateVolume(pProperty->m_iIntValue) : 80);
    pProperty = GetOrAddBool(m_pStatistics, "__Vorn_Music_Mute", 0);
    MuteMusic(pProperty ? pProperty->m_uBoolValue : 0);
    pProperty = GetOrAddInt(m_pStatistics, "__Vorn_Music_Volume", 80);
    SetMusicVolume(pProperty ? MigrateVolume(pProperty->m_iIntValue) : 80);
    pProperty = GetOrAddBool(m_pStatistics, "__Vorn_Vibrations", 1);
    SetVibrations(pProperty ? pProperty->m_uBoolValue : 1);
    m_pStatistics->CountUp(CKorvelString("__Vorn_TimesLaunched"));
    CKorvelString strTheme(DEFAULT_THEME);
    pProperty = m_pStatistics->GetProperty(CKorvelString("__Vorn_ThemeName"));
    if (!pProperty && (pProperty = m_pStatistics->AddProperty(CKorvelString("__Vorn_ThemeName"))) != nullptr)
        pProperty->SetString(strTheme);
    if (pProperty)
        strTheme.Set(pProperty->m_strStringValue);
    pProperty =
        GetOrAddInt(m_pStatistics, "__Vorn_NotificationFilter", static_cast<int>(m_uNotificationFilter));
    if (pProperty)
        SetNotificationFilter(static_cast<unsigned int>(pProperty->m_iIntValue));

    if (m_pSoundEngine)
    {
        const unsigned int uDeviceMute = CKorvelSoundEngine::DeviceIsMuted();
        if (uDeviceMute)
        {
            MuteSound(uDeviceMute);
            MuteMusic(uDeviceMute);
        }
    }

    ChangeTheme(strTheme);

    if (!m_pDevice->GetDeviceInfo().m_strIMEI.GetLength())
    {
        pProperty = m_pStatistics->GetProperty(CKorvelString("__Vorn_UID"));
        if (!pProperty)
        {
            CKorvelString strUid("f0");
            const bool bFirst = AppendEntropyHex(strUid, 15);
            RandSeed();
            const bool bSecond = AppendEntropyHex(strUid, 15);
            RandSeed();
            strUid.Add(CKorvelString("0f"));
            if (bFirst && bSecond && (pProperty = m_pStatistics->AddProperty(CKorvelString("__Vorn_UID"))))
                pProperty->SetString(strUid);
        }
        if (pProperty)
            m_pDevice->SetDeviceId(pProperty->m_strStringValue);
    }

    m_pStatistics->WriteStatistics();
    return KE_OK;
}

int CKestrolundApplication::MigrateVolume(int iStored)
{
    return iStored < 0 ? (iStored + 10000) / 100 : iStored;
}

KE_RETVAL CKestrolundApplication::IntroStateComplete()
{
    m_pNetConnection = new (std::nothrow) CVornNetConnection;
    if (!m_pNetConnection)
        return KE_ERR_OUTOFMEMORY;
    const KE_RETVAL iNetwork = m_pNetConnection->Startup();

    m_pNetworkSession = CreateNetworkSession();
    if (!m_pNetworkSession)
        return KE_ERR_OUTOFMEMORY;
    KE_RETVAL iResult = m_pNetworkSession->Startup(this, this);
    if (iResult != KE_OK)
        return iResult;
    AddSessionObservers();

    m_pLobbyState = CreateLobbyState();
    iResult = AddState(m_pLobbyState);
    if (iResult != KE_OK)
    {
        // AddState deleted it.
        m_pLobbyState = nullptr;
        return iResult;
    }

    if (iNetwork != KE_OK && m_pLanguage)
        OnNotification(m_pNetworkSession, -1, 0, m_pLanguage->GetText(3));
    return KE_OK;
}

void CKestrolundApplication::AddSessionObservers()
{
    m_pNetworkSession->AddLobbyObserver(this);
    m_pNetworkSession->AddGameObserver(this);
    m_pNetworkSession->AddAdvertisementObserver(this);
}

KE_RETVAL CKestrolundApplication::ResetNetworkSession()
{
    if (m_pNetConnection)
        m_pNetConnection->CheckAndReset();
    RetireNetworkSession();
    m_pNetworkSession = CreateNetworkSession();
    const KE_RETVAL iResult = m_pNetworkSession ? m_pNetworkSession->Startup(this, this) : KE_ERR_OUTOFMEMORY;
    if (iResult == KE_OK)
        AddSessionObservers();
    else
        Exit();
    return iResult;
}

void CKestrolundApplication::RetireNetworkSession()
{
    if (!m_pNetworkSession)
        return;
    CVornNetworkSession* pOld = m_pNetworkSession;
    m_pNetworkSession = nullptr;
    // Reached from the session's own delivery, its code is still on the stack: it is
    // shut down now and deleted at the start of the next frame.
    const unsigned int uDelivering = pOld->IsDelivering();
    pOld->Shutdown();
    if (uDelivering && m_RetiredSessions.Add(pOld) > 0)
        return;
    delete pOld;
}

void CKestrolundApplication::DeleteRetiredSessions()
{
    for (int i = 0; i < m_RetiredSessions.GetCount(); ++i)
        delete static_cast<CVornNetworkSession*>(m_RetiredSessions[i]);
    m_RetiredSessions.Clear();
}

void CKestrolundApplication::ChangeTheme(const CKorvelString& strName)
{
    if (m_pTheme)
    {
        m_pTheme->Shutdown();
        delete m_pTheme;
        m_pTheme = nullptr;
    }
    m_pTheme = CreateTheme();
    if (m_pTheme->Startup(this, strName) == KE_OK)
    {
        if (m_pStatistics)
        {
            CVornStatisticsProperty* pProperty =
                m_pStatistics->GetProperty(CKorvelString("__Vorn_ThemeName"));
            if (!pProperty)
                pProperty = m_pStatistics->AddProperty(CKorvelString("__Vorn_ThemeName"));
            if (pProperty && pProperty->m_strStringValue.Compare(strName) != 0)
                pProperty->SetString(strName);
        }
        OnThemeChanged();
        return;
    }
    // The default theme is the fallback; when it fails too, the failed theme stays.
    if (strName.Compare(CKorvelString(DEFAULT_THEME)) != 0)
        ChangeTheme(CKorvelString(DEFAULT_THEME));
}

void CKestrolundApplication::OnThemeChanged()
{
    if (m_pToast)
        m_pToast->OnThemeChanged();
    if (m_pAdvertisement)
        m_pAdvertisement->OnThemeChanged();
    if (m_pLobbyState)
        m_pLobbyState->OnThemeChanged();
}

void CKestrolundApplication::ChangeLanguage(const CKorvelString& strCode)
{
    if (!m_pNetworkSession || !m_pLanguage)
        return;
    m_pLanguage->SetCurrentLanguage(strCode);
    m_pNetworkSession->SendChangeLanguage(strCode);
    for (int i = 0; i < m_States.GetCount(); ++i)
        GetState(i)->OnLanguageChanged(strCode);
}
