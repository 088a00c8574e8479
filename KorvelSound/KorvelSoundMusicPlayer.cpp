#include "KorvelSound/KorvelSoundMusicPlayer.h"

#include <cstdlib>
#include <new>
#include <vector>

#include "KorvelGraphics/KorvelApplication.h"
#include "PlatformBps.h"
#include "PlatformMmr.h"

namespace
{

const char* const kContextName = "KorvelSoundMusicPlayer";

int ClampVolume(int iVolume)
{
    return iVolume < 0 ? 0 : (iVolume > 100 ? 100 : iVolume);
}

} // namespace

CKorvelSoundMusicPlayer* CKorvelSoundMusicPlayer::New()
{
    return new (std::nothrow) CKorvelSoundMusicPlayer();
}

CKorvelSoundMusicPlayer::CKorvelSoundMusicPlayer()
    : m_pContext(nullptr), m_pConnection(nullptr), m_iOutputId(0), m_iEventRequest(0), m_iLastState(0),
      m_fPosition(0.0f), m_fDuration(0.0f), m_pApplication(nullptr), m_uState(STATE_NOTSTARTED),
      m_iVolume(100), m_iStartupVolume(100), m_uMuted(0), m_iMutedVolume(100), m_iFadeTarget(100),
      m_fFadeValue(100.0f), m_fFadeRate(0.0f), m_uAtEnd(0), m_uLoop(0), m_iSentVolume(-1)
{
}

CKorvelSoundMusicPlayer::~CKorvelSoundMusicPlayer() {}

KE_RETVAL CKorvelSoundMusicPlayer::Startup(IKorvelApplication* pApplication, const CKorvelString& strPath)
{
    m_uLoop = 0;
    m_uAtEnd = 0;
    m_pApplication = pApplication;
    if (pApplication)
        pApplication->AddRunnable(this);

    m_pConnection = plat::mmr_connect(nullptr);
    if (!m_pConnection)
        return KE_ERR_DEVICE;
    m_pContext = plat::mmr_context_create(m_pConnection, kContextName, 0, 0500);
    if (!m_pContext)
        return KE_ERR_DEVICE;
    m_iOutputId = plat::mmr_output_attach(m_pContext, "audio:default", "audio");
    if (m_iOutputId == -1)
    {
        KEPrintMmrError(m_pContext);
        return KE_ERR_DEVICE;
    }
    std::vector<char> acPath(static_cast<size_t>(strPath.GetLength()) + 1);
    strPath.MakeAnsi(acPath.data());
    if (plat::mmr_input_attach(m_pContext, acPath.data(), "track") != 0)
    {
        KEPrintMmrError(m_pContext);
        return KE_ERR_NOTFOUND;
    }
    if (pApplication)
        pApplication->AddEventListener(this);
    m_iEventRequest = plat::mmrenderer_request_events(kContextName, 0, this);
    m_fPosition = 0.0f;
    m_fDuration = 0.0f;
    m_iStartupVolume = m_iVolume;
    m_uState = STATE_STOPPED;
    SendVolume();
    return KE_OK;
}

void CKorvelSoundMusicPlayer::Shutdown()
{
    if (m_pApplication)
        m_pApplication->RemoveEventListener(this);
    // The request handle is positive when events were requested (-1 when the request failed).
    if (m_iEventRequest > 0)
        plat::mmrenderer_stop_events(m_iEventRequest);
    m_iEventRequest = 0;
    if (m_pContext)
    {
        Stop();
        plat::mmr_input_detach(m_pContext);
        plat::mmr_context_destroy(m_pContext);
        m_pContext = nullptr;
    }
    // Also after a start-up that failed between connecting and making the context.
    if (m_pConnection)
        plat::mmr_disconnect(m_pConnection);
    m_pConnection = nullptr;
    m_fPosition = 0.0f;
    m_fDuration = 0.0f;
    if (m_pApplication)
        m_pApplication->RemoveRunnable(this);
    m_pApplication = nullptr;
    m_fFadeValue = 100.0f;
    m_uState = STATE_NOTSTARTED;
    m_fFadeRate = 0.0f;
    m_iFadeTarget = 100;
    m_uAtEnd = 0;
    m_uLoop = 0;
    m_iSentVolume = -1;
}

KE_RETVAL CKorvelSoundMusicPlayer::Play(unsigned int uLoop)
{
    if (m_uState == STATE_NOTSTARTED)
        return KE_ERR_NOTSTARTED;
    if (m_uState == STATE_PLAYING)
        return KE_OK;
    m_uAtEnd = 0;
    if (m_pApplication)
        m_uLoop = uLoop;
    plat::mmr_speed_set(m_pContext, plat::MMR_SPEED_NORMAL);
    plat::mmr_play(m_pContext);
    m_uState = STATE_PLAYING;
    return KE_OK;
}

KE_RETVAL CKorvelSoundMusicPlayer::Pause()
{
    if (m_uState == STATE_NOTSTARTED)
        return KE_ERR_NOTSTARTED;
    if (m_uState != STATE_PLAYING)
        return KE_OK;
    plat::mmr_speed_set(m_pContext, 0);
    m_uState = STATE_PAUSED;
    return KE_OK;
}

KE_RETVAL CKorvelSoundMusicPlayer::Stop()
{
    if (m_uState == STATE_NOTSTARTED)
        return KE_ERR_NOTSTARTED;
    if (m_fFadeRate != 0.0f)
    {
        m_fFadeRate = 0.0f;
        m_fFadeValue = 100.0f;
        ChangeVolume(ClampVolume(m_iFadeTarget));
    }
    if (m_uState != STATE_STOPPED)
    {
        m_uAtEnd = 0;
        plat::mmr_stop(m_pContext);
        m_uState = STATE_STOPPED;
    }
    return KE_OK;
}

KE_RETVAL CKorvelSoundMusicPlayer::SetPosition(float fSeconds)
{
    if (m_uState == STATE_NOTSTARTED)
        return KE_ERR_NOTSTARTED;
    m_uAtEnd = 0;
    CKorvelString strMs;
    strMs.FromInt(static_cast<int>(fSeconds * 1000.0f), 10);
    std::vector<char> acMs(static_cast<size_t>(strMs.GetLength()) + 1);
    strMs.MakeAnsi(acMs.data());
    plat::mmr_seek(m_pContext, acMs.data());
    return KE_OK;
}

void CKorvelSoundMusicPlayer::SetLooping(unsigned int uLoop)
{
    if (m_pApplication)
        m_uLoop = uLoop;
}

void CKorvelSoundMusicPlayer::SetVolume(int iVolume)
{
    if (m_uState != STATE_NOTSTARTED)
        ChangeVolume(ClampVolume(iVolume));
}

int CKorvelSoundMusicPlayer::GetVolume() const
{
    if (m_uState == STATE_NOTSTARTED)
        return 100;
    if (m_fFadeRate != 0.0f)
        return m_iFadeTarget;
    return m_uMuted ? m_iMutedVolume : m_iVolume;
}

void CKorvelSoundMusicPlayer::Mute(unsigned int uMuted)
{
    if (m_uState == STATE_NOTSTARTED || uMuted == m_uMuted)
        return;
    if (uMuted)
    {
        m_iMutedVolume = GetVolume();
        m_iVolume = 0;
        m_uMuted = uMuted;
    }
    else
    {
        m_uMuted = 0;
        m_iVolume = ClampVolume(m_iMutedVolume);
    }
    SendVolume();
}

void CKorvelSoundMusicPlayer::ChangeVolume(int iVolume)
{
    m_iVolume = iVolume;
    if (m_uMuted)
        m_iMutedVolume = iVolume;
    SendVolume();
}

void CKorvelSoundMusicPlayer::SendVolume()
{
    // While muted the output stays silent whatever the volume bookkeeping says.
    const int iAudible = m_uMuted ? 0 : m_iVolume;
    if (!m_pContext || iAudible == m_iSentVolume)
        return;
    if (plat::mmr_volume_set(m_pContext, static_cast<unsigned int>(iAudible)) == 0)
        m_iSentVolume = iAudible;
}

void CKorvelSoundMusicPlayer::FadeIn(float fSeconds)
{
    StartFade(fSeconds, true);
}

void CKorvelSoundMusicPlayer::FadeOut(float fSeconds)
{
    StartFade(fSeconds, false);
}

void CKorvelSoundMusicPlayer::StartFade(float fSeconds, bool bIn)
{
    if (!m_pApplication || m_fFadeRate != 0.0f || fSeconds == 0.0f)
        return;
    const bool bStarted = m_uState != STATE_NOTSTARTED;
    const int iVolume = bStarted ? GetVolume() : 100;
    m_iFadeTarget = iVolume;
    const float fRate = static_cast<float>(200 - iVolume) / fSeconds;
    if (bIn)
    {
        m_fFadeValue = 0.0f;
        m_fFadeRate = fRate;
        if (bStarted)
            ChangeVolume(0);
    }
    else
    {
        m_fFadeValue = static_cast<float>(iVolume);
        m_fFadeRate = -fRate;
    }
}

int CKorvelSoundMusicPlayer::ProcessEvent(plat::bps_event_t* pEvent)
{
    if (plat::bps_event_get_domain(pEvent) != plat::mmrenderer_get_domain() ||
        plat::mmrenderer_event_get_userdata(pEvent) != static_cast<void*>(this))
        return 0;
    const int iState = plat::mmrenderer_event_get_state(pEvent);
    if (iState != m_iLastState)
    {
        if (iState == plat::MMR_STATE_STOPPED)
        {
            const plat::mmr_error_info_t* pError = plat::mmrenderer_event_get_error(pEvent);
            if (pError)
            {
                plat::mmrenderer_event_get_error_position(pEvent);
                if (pError->error_code == plat::MMR_ERROR_NONE)
                    m_uAtEnd = 1;
            }
        }
        m_iLastState = iState;
    }
    const char* pszPosition = plat::mmrenderer_event_get_position(pEvent);
    if (pszPosition)
    {
        m_fPosition = static_cast<float>(atoi(pszPosition)) / 1000.0f;
        if (m_fPosition > m_fDuration)
            m_fDuration = m_fPosition;
    }
    return 0;
}

void CKorvelSoundMusicPlayer::Update(float fSeconds)
{
    if (m_fFadeRate != 0.0f)
    {
        m_fFadeValue += fSeconds * m_fFadeRate;
        if (m_fFadeValue < 0.0f)
        {
            m_fFadeRate = 0.0f;
            m_fFadeValue = 100.0f;
            Pause();
            if (m_uState != STATE_NOTSTARTED)
                ChangeVolume(ClampVolume(m_iFadeTarget));
        }
        else if (m_fFadeValue > static_cast<float>(m_iFadeTarget))
        {
            m_fFadeRate = 0.0f;
            m_fFadeValue = 100.0f;
            ChangeVolume(ClampVolume(m_iFadeTarget));
        }
        else
        {
            ChangeVolume(ClampVolume(static_cast<int>(m_fFadeValue)));
        }
    }
    if (m_uLoop && m_uState == STATE_PLAYING && m_uAtEnd)
    {
        Stop();
        SetPosition(0.0f);
        Play(m_uLoop);
    }
}

void CKorvelSoundMusicPlayer::KEPrintMmrError(plat::mmr_context_t* pContext)
{
    plat::mmr_error_info(pContext);
}
