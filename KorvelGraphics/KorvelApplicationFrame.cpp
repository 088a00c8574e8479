// IKorvelApplication: one frame of the loop and the services around it.
//
// Sections: DoFlip and frame time - timers and posted events - pacing -
// usability recording and playback - random numbers - data paths.
#include "KorvelGraphics/KorvelApplication.h"

#include "KorvelCommon/KorvelUsabilityDataCollection.h"
#include "KorvelGraphics/KorvelFingerImage.h"
#include "KorvelInput/KorvelEvent.h"
#include "PlatformBps.h"

#include <cerrno>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
const float MAX_FRAME_SECONDS = 1.0f;
// Each frame of the inactivity sleep (update mode 2) sleeps this long, or until the platform
// has an event: a touch, a key or a new window size shows in the next frame, not a sleep later.
const unsigned int IDLE_FRAME_SLEEP_MS = 250;
// How often that sleep looks for an event.
const unsigned int IDLE_EVENT_CHECK_MS = 10;

void SwapArrays(CKorvelPtrArray& first, CKorvelPtrArray& second)
{
    std::swap(first.m_iCount, second.m_iCount);
    std::swap(first.m_iFree, second.m_iFree);
    std::swap(first.m_ppData, second.m_ppData);
}
} // namespace

// ---------------------------------------------------------------------------------
// DoFlip and frame time

void IKorvelApplication::DoFlip()
{
    if (!m_uActive || !m_uStarted)
        return;
    if (m_pGraphicsExt)
        m_pGraphicsExt->Extension_MakeCurrent();

    int iTimerId = 0;
    if (m_Timers.TakeDue(FrameTickMilliseconds(), iTimerId))
    {
        OnTimer(iTimerId);
        if (!m_uStarted)
            return;
    }

    OnGetTime();
    if (m_pPlayback)
        ProcessPlaybackFrame();
    if (m_pRecording)
        m_pRecording->AddFrame(m_fFrameTime);
    if (!m_uModalDialogMode)
        DeliverPostedEvents();
    UpdateRunnables(m_fFrameTime);

    if (!m_uModalDialogMode)
    {
        OnFlip();
        if (m_pPlayback)
            DrawPlaybackExtras();
        if (!m_uStarted)
            return; // shut down while drawing
        if (m_uActive)
        {
            if (m_pGraphicsExt)
                m_pGraphicsExt->Extension_Flip();
            else if (m_pFlipRoutine)
                (this->*m_pFlipRoutine)();
        }
    }
    if (!m_uStarted)
        return;
    PaceFrame();
}

void IKorvelApplication::OnGetTime()
{
    uint64_t uNow = m_pClock->GetTicks();
    m_FrameTimer.EndTimerAt(uNow);
    m_fFrameTime = m_FrameTimer.GetElapsedSeconds();
    if (m_fFrameTime > MAX_FRAME_SECONDS)
        m_fFrameTime = MAX_FRAME_SECONDS;
    m_FrameTimer.BeginTimerAt(uNow);
}

void IKorvelApplication::RestartFrameTimer()
{
    m_FrameTimer.BeginTimerAt(m_pClock->GetTicks());
}

unsigned int IKorvelApplication::FrameTickMilliseconds()
{
    return m_FrameTimer.TicksToMilliseconds(m_pClock->GetTicks());
}

void IKorvelApplication::SetClock(IKorvelClock* pClock)
{
    m_pClock = pClock ? pClock : &IKorvelClock::System();
}

// ---------------------------------------------------------------------------------
// Timers and posted events

void IKorvelApplication::StartTimer(int iId, int iIntervalMs)
{
    m_Timers.Start(iId, iIntervalMs, FrameTickMilliseconds());
}

void IKorvelApplication::StopTimer(int iId)
{
    m_Timers.Stop(iId);
}

void IKorvelApplication::PostEvent(CKorvelEvent* pEvent)
{
    if (!pEvent)
        return;
    m_PostedEventLock.Startup();
    int iAdded = m_PostedEvents.Add(pEvent);
    m_PostedEventLock.Shutdown();
    if (iAdded < 0)
        delete pEvent; // out of memory: the event is lost rather than leaked
}

// The queue is taken out under the lock and delivered outside it, so a handler may
// post again. Events left over when a handler turns on modal mode go back to the
// front of the queue in their order.
void IKorvelApplication::DeliverPostedEvents()
{
    CKorvelPtrArray taken;
    m_PostedEventLock.Startup();
    SwapArrays(taken, m_PostedEvents);
    m_PostedEventLock.Shutdown();

    int i = 0;
    for (; i < taken.GetCount() && !m_uModalDialogMode; ++i)
    {
        CKorvelEvent* pEvent = static_cast<CKorvelEvent*>(taken[i]);
        ProcessEvent(*pEvent);
        delete pEvent;
    }
    if (i == taken.GetCount())
        return;
    m_PostedEventLock.Startup();
    for (int j = taken.GetCount() - 1; j >= i; --j)
    {
        if (m_PostedEvents.InsertAt(0, taken[j]) < 0)
            delete static_cast<CKorvelEvent*>(taken[j]); // out of memory
    }
    m_PostedEventLock.Shutdown();
}

// ---------------------------------------------------------------------------------
// Pacing

void IKorvelApplication::PaceFrame()
{
    if (m_eUpdateMode == KE_UPDATE_FIXED)
    {
        m_FrameTimer.EndTimerAt(m_pClock->GetTicks());
        int iRemaining = static_cast<int>(m_uUpdateInterval) - m_FrameTimer.GetElapsedMilliseconds();
        if (iRemaining > 0)
            m_pClock->Sleep(static_cast<unsigned int>(iRemaining));
    }
    else if (m_eUpdateMode == KE_UPDATE_INACTIVITY)
    {
        if (m_uSleeping)
            SleepUntilEvent(IDLE_FRAME_SLEEP_MS);
        else if (FrameTickMilliseconds() - m_uLastActivityTick >= m_uUpdateInterval)
            m_uSleeping = 1; // the sleeping starts with the next frame
    }
}

void IKorvelApplication::SleepUntilEvent(unsigned int uMilliseconds)
{
    for (unsigned int uSlept = 0; uSlept < uMilliseconds && !plat::bps_event_pending();)
    {
        const unsigned int uLeft = uMilliseconds - uSlept;
        const unsigned int uStep = uLeft < IDLE_EVENT_CHECK_MS ? uLeft : IDLE_EVENT_CHECK_MS;
        m_pClock->Sleep(uStep);
        uSlept += uStep;
    }
}

void IKorvelApplication::SetUpdateMode(eKET_UPDATE_MODE eMode, unsigned int uIntervalMs)
{
    m_eUpdateMode = eMode;
    m_uUpdateInterval = uIntervalMs;
    m_uLastActivityTick = FrameTickMilliseconds();
    m_uSleeping = 0;
    if (eMode == KE_UPDATE_INACTIVITY)
        ResetInactivityTime();
}

void IKorvelApplication::ResetInactivityTime()
{
    if (!m_uStarted || m_eUpdateMode != KE_UPDATE_INACTIVITY)
        return;
    if (m_uSleeping)
        RestartFrameTimer(); // the next frame time leaves out the sleep
    m_uLastActivityTick = FrameTickMilliseconds();
    m_uSleeping = 0;
}

// ---------------------------------------------------------------------------------
// Usability recording and playback

int IKorvelApplication::StartUsabilityDataCollection(CKorvelUsabilityDataCollection& recording)
{
    m_pRecording = &recording;
    m_pPlayback = nullptr;
    m_uPlaybackFrame = 0;
    return 1;
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

int IKorvelApplication::PlaybackUsabilityDataCollection(const CKorvelUsabilityDataCollection& recording)
{
    StopUsabilityDataCollection();
    m_pPlayback = &recording;
    m_uPlaybackFrame = 0;
    return 1;
}

void IKorvelApplication::ProcessPlaybackFrame()
{
    const CKorvelUsabilityDataCollection* pPlayback = m_pPlayback;
    unsigned int uFrame = m_uPlaybackFrame;
    m_fFrameTime = pPlayback->GetFrameTime(uFrame);
    m_uReplaying = 1;
    for (unsigned int e = 0; e < pPlayback->GetFrameEventCount(uFrame); ++e)
    {
        ProcessEvent(*pPlayback->GetFrameEvent(uFrame, e));
        if (m_pPlayback != pPlayback)
            break; // a handler stopped or replaced the playback
    }
    m_uReplaying = 0;
    if (m_pPlayback != pPlayback)
        return;
    if (++m_uPlaybackFrame >= pPlayback->GetFrameCount())
    {
        m_uPlaybackFrame = 0;
        m_pPlayback = nullptr;
    }
}

void IKorvelApplication::DrawPlaybackExtras()
{
    if (!m_pPlayback)
        return;
    if (!m_pFingerImage)
        m_pFingerImage = LoadFingerImage();

    for (unsigned int e = 0; e < m_pPlayback->GetFrameEventCount(m_uPlaybackFrame); ++e)
    {
        const CKorvelEvent* pEvent = m_pPlayback->GetFrameEvent(m_uPlaybackFrame, e);
        if (pEvent->m_iType == KET_EVENT_BUTTONDOWN || pEvent->m_iType == KET_EVENT_MOVE)
        {
            m_fFingerTime = 1.0f;
            m_iFingerX = pEvent->m_iX;
            m_iFingerY = pEvent->m_iY;
        }
    }

    IKorvelGraphicsContext* pBack = GetBack();
    if (m_fFingerTime > 0.0f && pBack)
    {
        if (m_pFingerImage)
        {
            pBack->DrawBlended(m_iFingerX - m_pFingerImage->GetWidth() / 2,
                               m_iFingerY - m_pFingerImage->GetHeight() / 4, *m_pFingerImage, nullptr,
                               0xFFFFFFFFu, KE_DRAW_SRCALPHA);
        }
        else
        {
            CKorvelRect<int> rcSquare(m_iFingerX - 16, m_iFingerY - 16, m_iFingerX + 16, m_iFingerY + 16);
            pBack->Fill(0xFFFFFFFFu, &rcSquare);
        }
    }
    m_fFingerTime -= m_fFrameTime;
}

// The embedded finger image with its alpha turned into grey, mirrored in a texture;
// null when it cannot be loaded (the white square stands in and the next frame tries again).
CKorvelSurface* IKorvelApplication::LoadFingerImage()
{
    CKorvelSurface* pImage = new (std::nothrow) CKorvelSurface;
    if (!pImage)
        return nullptr;
    if (pImage->LoadFromMemory(this, const_cast<unsigned char*>(g_aKorvelFingerImage),
                               g_uKorvelFingerImageSize, nullptr) != KE_OK)
    {
        pImage->Shutdown();
        delete pImage;
        return nullptr;
    }
    pImage->AlphaToGrayscaleValue(CKorvelRect<int>(0, 0, pImage->GetWidth(), pImage->GetHeight()));
    pImage->SurfaceToTexture(0);
    return pImage;
}

// ---------------------------------------------------------------------------------
// Random numbers

void IKorvelApplication::RandSeed()
{
    CKorvelTimer timer;
    timer.Startup(0);
    m_Random.Seed(timer.GetTickMilliseconds());
}

// ---------------------------------------------------------------------------------
// Data paths

namespace
{
// The working directory, however long.
CKorvelString WorkingDirectory()
{
    std::vector<char> aBuffer(1024);
    while (!getcwd(aBuffer.data(), aBuffer.size()))
    {
        if (errno != ERANGE || aBuffer.size() > (1u << 24))
            return CKorvelString();
        aBuffer.resize(aBuffer.size() * 2);
    }
    return CKorvelString(aBuffer.data());
}
} // namespace

void IKorvelApplication::GetAppPath(CKorvelString& strOut)
{
    strOut = WorkingDirectory();
    strOut.Add(CKorvelString("/app/native/"));
}

void IKorvelApplication::BuildFilepath(CKorvelString& strOut, const CKorvelString& strName)
{
    GetAppPath(strOut);
    if (strName.GetLength() > 0 && strName.GetBuffer()[0] == '\\')
        strOut.Add(strName.Mid(1, -1));
    else
        strOut.Add(strName);
}

void IKorvelApplication::BuildWriteFilepath(CKorvelString& strOut, const CKorvelString& strName)
{
    strOut = WorkingDirectory();
    strOut.Add(CKorvelString("/data/"));
    strOut.Add(strName);
}
