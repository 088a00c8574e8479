// The event loop of the application base: draining the platform's events between
// frames, the navigator's exit and focus changes, and one frame per pass.
#include "KorvelGraphics/KorvelApplication.h"

#include "PlatformNavigator.h"

int IKorvelApplication::Run()
{
    m_uRunning = 1;
    while (m_uRunning)
    {
        plat::bps_event_t* pEvent = nullptr;
        while (plat::bps_get_event(&pEvent, 0) == plat::BPS_SUCCESS && pEvent)
            ProcessBlackberryEvents(pEvent);
        if (!m_uRunning)
            break; // an exit ends the loop without another frame
        DoFlip();
    }
    if (m_uStarted)
        Shutdown();
    return 0;
}

int IKorvelApplication::ProcessBlackberryEvents(plat::bps_event_t* pEvent)
{
    if (plat::bps_event_get_domain(pEvent) == plat::navigator_get_domain())
        return ProcessBlackberryNavigatorEvents(pEvent);
    return 0;
}

int IKorvelApplication::ProcessBlackberryNavigatorEvents(plat::bps_event_t* pEvent)
{
    switch (plat::bps_event_get_code(pEvent))
    {
    case plat::NAVIGATOR_EXIT:
        m_uRunning = 0;
        break;
    case plat::NAVIGATOR_WINDOW_STATE:
    {
        const int iState = plat::navigator_event_get_window_state(pEvent);
        if (iState == plat::NAVIGATOR_WINDOW_FULLSCREEN && !m_uActive)
            OnFocusChange(1);
        else if (iState == plat::NAVIGATOR_WINDOW_THUMBNAIL && m_uActive)
            OnFocusChange(0);
        break;
    }
    case plat::NAVIGATOR_WINDOW_INACTIVE:
        if (m_uActive)
            OnFocusChange(0);
        break;
    default:
        break;
    }
    return 1;
}

void IKorvelApplication::ProcessEvent(const CKorvelEvent&) {}

void IKorvelApplication::DoFlip()
{
    if (!m_uActive || !m_uStarted)
        return;
    OnGetTime();
    UpdateRunnables(m_fFrameTime);
    if (m_uModalDialogMode)
        return;
    OnFlip();
    if (!m_uStarted)
        return; // the application shut itself down
    if (!m_uActive)
        return;
    if (m_pGraphicsExt)
        m_pGraphicsExt->Extension_Flip();
    else if (m_pFlipRoutine)
        (this->*m_pFlipRoutine)();
}

void IKorvelApplication::OnGetTime()
{
    m_FrameTimer.EndTimer();
    const float fSeconds = m_FrameTimer.GetElapsedSeconds();
    m_fFrameTime = fSeconds > 1.0f ? 1.0f : fSeconds;
    m_FrameTimer.BeginTimer();
}

KE_RETVAL IKorvelApplication::OnRestoreResources()
{
    return m_pGraphicsExt ? m_pGraphicsExt->Extension_RestoreResources() : KE_OK;
}

void IKorvelApplication::StopUsabilityDataCollection()
{
    m_pRecording = nullptr;
    m_pPlayback = nullptr;
    m_uPlaybackFrame = 0;
    if (m_pFingerImage)
    {
        m_pFingerImage->Shutdown();
        delete m_pFingerImage;
        m_pFingerImage = nullptr;
    }
}
