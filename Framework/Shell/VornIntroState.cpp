// The logo splash state.
#include "Framework/Shell/VornIntroState.h"

#include "Framework/Shell/VornApplication.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundWave.h"

namespace
{
const char* const INTRO_PACK = "vornintro.kmp";
const char* const WELCOME_SOUND = "vl-welcome.wav";
const float INTRO_SECONDS = 2.0f;
const float FADE_START = 1.5f;
const unsigned int FRAME_FLAGS = 0x300; // 0x200 centres vertically
} // namespace

sVORN_INTRO_FRAME VornIntroFrameAt(float fTime)
{
    sVORN_INTRO_FRAME frame = {0, -1, -1.0f};
    float f = fTime * 11.0f;
    if (f > 11.0f)
    {
        frame.iBltFrame = 11;
        f = 11.0f;
    }
    else
        frame.iBltFrame = static_cast<int>(f);
    if (f + 1.0f < 12.0f)
        frame.iBlendFrame = static_cast<int>(f + 1.0f);
    if (fTime >= FADE_START)
    {
        const float fLevel = (INTRO_SECONDS - fTime) * 2.0f;
        frame.fFade = fLevel > 0.0f ? fLevel : 0.0f;
    }
    return frame;
}

CVornIntroState::CVornIntroState()
    : m_pApplication(nullptr), m_fTime(0.0f), m_iCountdown(START_COUNTDOWN), m_pWelcome(nullptr),
      m_uSoundStarted(0), m_apFrames()
{
}

CVornIntroState::~CVornIntroState() {}

KE_RETVAL CVornIntroState::Startup(CVornApplication* pApplication)
{
    m_pApplication = pApplication;
    return KE_OK;
}

void CVornIntroState::Shutdown() {}

void CVornIntroState::Activate()
{
    m_fTime = 0.0f;
    m_iCountdown = START_COUNTDOWN;
    m_pApplication->AddPack(CKorvelString(INTRO_PACK), 0, 0);
    if (!ActivateFrames())
        return;
    m_pWelcome = m_pApplication->GetSound(CKorvelString(WELCOME_SOUND), 1, 0);
}

unsigned int CVornIntroState::ActivateFrames()
{
    for (int i = 0; i < FRAME_COUNT; ++i)
    {
        CKorvelString strName;
        strName.Format(L"kestrolund_logo%d.jpg", i + 1);
        m_apFrames[i] = m_pApplication->GetSurface(strName);
        if (!m_apFrames[i])
            return 0;
    }
    return 1;
}

void CVornIntroState::Deactivate()
{
    for (int i = 0; i < FRAME_COUNT; ++i)
        if (m_apFrames[i])
        {
            m_pApplication->ReleaseSurface(m_apFrames[i]);
            m_apFrames[i] = nullptr;
        }
    if (m_pWelcome)
        m_pApplication->ReleaseSound(m_pWelcome);
    m_pWelcome = nullptr;
    m_pApplication->RemovePack(CKorvelString(INTRO_PACK), 1);
}

unsigned int CVornIntroState::Update(float fSeconds)
{
    if (m_iCountdown > 0)
        --m_iCountdown;
    else
        m_fTime += fSeconds;
    if (!m_uSoundStarted && m_pWelcome)
    {
        m_pWelcome->Play(0, 0, 0);
        m_uSoundStarted = 1;
    }
    if (m_fTime >= INTRO_SECONDS)
    {
        m_pApplication->IntroStateComplete();
        Remove();
    }
    return 1;
}

void CVornIntroState::Draw()
{
    IKorvelGraphicsContext* pBack = m_pApplication->GetBack();
    pBack->Fill(0xFF000000u, static_cast<const CKorvelRect<int>*>(nullptr));
    const sVORN_INTRO_FRAME frame = VornIntroFrameAt(m_fTime);
    // A frame that could not be loaded is skipped: the splash stays black there.
    if (m_apFrames[frame.iBltFrame])
        pBack->BltFast(0, 0, m_apFrames[frame.iBltFrame], nullptr, FRAME_FLAGS);
    if (frame.iBlendFrame >= 0 && m_apFrames[frame.iBlendFrame])
        pBack->Blend(0, 0, m_apFrames[frame.iBlendFrame], nullptr, 0xFFFFFFFFu, FRAME_FLAGS);
    if (frame.fFade >= 0.0f)
        pBack->Fade(static_cast<const CKorvelRect<int>*>(nullptr), frame.fFade);
}
