// The application object: sound effects, music and vibration. Every setter changes the
// live object and records the choice in the statistics store (never creating a missing
// property); only the vibration switch writes the store at once.
#include "Framework/Shell/KestrolundApplication.h"

#include <new>

#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornStatistics.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundMusicPlayer.h"

namespace
{
int ClampVolume(int iVolume)
{
    return iVolume < 0 ? 0 : (iVolume > 100 ? 100 : iVolume);
}

CVornStatisticsProperty* FindSetting(CVornStatistics* pStore, const char* pName)
{
    return pStore ? pStore->GetProperty(CKorvelString(pName)) : nullptr;
}
} // namespace

int CKestrolundApplication::GetSoundVolume()
{
    return m_pSoundEngine ? m_pSoundEngine->GetMasterVolume() : 0;
}

void CKestrolundApplication::SetSoundVolume(int iVolume)
{
    iVolume = ClampVolume(iVolume);
    if (CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Sounds_Volume"))
        pProperty->SetInt(iVolume);
    if (m_pSoundEngine)
        m_pSoundEngine->SetMasterVolume(iVolume);
}

void CKestrolundApplication::MuteSound(unsigned int uMute)
{
    if (CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Sounds_Mute"))
        pProperty->SetBool(uMute);
    if (m_pSoundEngine)
        m_pSoundEngine->Mute(uMute);
}

unsigned int CKestrolundApplication::IsSoundMute()
{
    CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Sounds_Mute");
    return pProperty ? pProperty->m_uBoolValue : 0;
}

int CKestrolundApplication::GetMusicVolume()
{
    if (m_pMusicPlayer)
        return m_pMusicPlayer->GetVolume();
    CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Music_Volume");
    return pProperty ? MigrateVolume(pProperty->m_iIntValue) : 0;
}

void CKestrolundApplication::SetMusicVolume(int iVolume)
{
    iVolume = ClampVolume(iVolume);
    if (CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Music_Volume"))
        pProperty->SetInt(iVolume);
    if (m_pMusicPlayer)
        m_pMusicPlayer->SetVolume(iVolume);
}

void CKestrolundApplication::MuteMusic(unsigned int uMute)
{
    if (CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Music_Mute"))
        pProperty->SetBool(uMute);
    if (uMute)
    {
        if (m_pMusicPlayer)
            m_fMusicPosition = m_pMusicPlayer->GetPosition();
        StopMusicInternal();
    }
    else if (m_strMusicName.GetLength())
    {
        const float fPosition = m_fMusicPosition;
        PlayMusic(CKorvelString(m_strMusicName), m_uMusicLoop);
        if (m_pMusicPlayer)
            m_pMusicPlayer->SetPosition(fPosition);
    }
}

unsigned int CKestrolundApplication::IsMusicMute()
{
    CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Music_Mute");
    return pProperty ? pProperty->m_uBoolValue : 0;
}

void CKestrolundApplication::MuteAll(unsigned int uMute)
{
    MuteSound(uMute);
    MuteMusic(uMute);
}

KE_RETVAL CKestrolundApplication::PlayMusic(const CKorvelString& strName, unsigned int uLoop)
{
    StopMusicInternal();
    m_strMusicName.Set(strName);
    m_uMusicLoop = uLoop;
    if (IsMusicMute())
        return KE_OK;
    m_pMusicPlayer = new (std::nothrow) CKorvelSoundMusicPlayer;
    if (!m_pMusicPlayer)
        return KE_ERR_OUTOFMEMORY;
    const KE_RETVAL iResult = m_pMusicPlayer->Startup(this, strName);
    if (iResult != KE_OK)
    {
        m_pMusicPlayer->Shutdown();
        delete m_pMusicPlayer;
        m_pMusicPlayer = nullptr;
        return iResult;
    }
    int iVolume = GetMusicVolume();
    if (CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Music_Volume"))
        iVolume = pProperty->m_iIntValue;
    m_pMusicPlayer->SetVolume(iVolume);
    m_pMusicPlayer->Play(uLoop);
    return KE_OK;
}

void CKestrolundApplication::StopMusic()
{
    StopMusicInternal();
    m_strMusicName.Set("");
    m_fMusicPosition = 0.0f;
}

void CKestrolundApplication::StopMusicInternal()
{
    if (!m_pMusicPlayer)
        return;
    if (CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Music_Volume"))
        pProperty->SetInt(m_pMusicPlayer->GetVolume());
    m_pMusicPlayer->Shutdown();
    delete m_pMusicPlayer;
    m_pMusicPlayer = nullptr;
}

unsigned int CKestrolundApplication::GetVibrations()
{
    CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Vibrations");
    return pProperty ? pProperty->m_uBoolValue : 1;
}

void CKestrolundApplication::SetVibrations(unsigned int uOn)
{
    if (CVornStatisticsProperty* pProperty = FindSetting(m_pStatistics, "__Vorn_Vibrations"))
        pProperty->SetBool(uOn);
    if (m_pStatistics)
        m_pStatistics->WriteStatistics();
    if (m_pDevice)
        m_pDevice->SetVibrate(uOn);
}

void CKestrolundApplication::AudioFocusChange(unsigned int uFocus)
{
    if (!uFocus)
    {
        if (m_pSoundEngine)
            m_pSoundEngine->Pause(1);
        m_fMusicPosition = 0.0f;
        if (m_pMusicPlayer && m_pMusicPlayer->GetState() == CKorvelSoundMusicPlayer::STATE_PLAYING)
            m_fMusicPosition = m_pMusicPlayer->GetPosition();
        StopMusicInternal();
        return;
    }
    if (m_pSoundEngine)
        m_pSoundEngine->Pause(0);
    if (m_pLobbyState && m_pLobbyState->IsLoggedIn() && m_strMusicName.GetLength())
    {
        const float fPosition = m_fMusicPosition;
        PlayMusic(CKorvelString(m_strMusicName), m_uMusicLoop);
        if (m_pMusicPlayer)
            m_pMusicPlayer->SetPosition(fPosition);
    }
}
