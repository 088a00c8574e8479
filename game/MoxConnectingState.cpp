#include "game/MoxConnectingState.h"

#include "Framework/Shell/VornApplication.h"
#include "game/MoxScreenHelpers.h"

namespace
{
const int kTextureExits = 11;
const unsigned int kTextFlags = 0x80u | TEXT_UP_HALF | TEXT_LEFT_HALF; // centred on the point
} // namespace

CMoxConnectingState::CMoxConnectingState()
    : m_pParticles(nullptr), m_fStartTime(0.0f), m_iCountdown(10), m_bLeaving(0), m_pButtons(nullptr)
{
}

CMoxConnectingState::~CMoxConnectingState()
{
    Shutdown();
}

int CMoxConnectingState::Startup(CStateGame* pGame)
{
    CMoxState::Startup(pGame);
    m_iStateID = STATE_CONNECTING;
    m_bLeaving = 0;
    m_fStartTime = (float)MoxTimerMilliseconds(pGame) / 1000.0f;
    m_iCountdown = 10;

    MoxFetchSlots(pGame, true, {TEXTURE_TITLE, TEXTURE_LOADER, kTextureExits});
    m_pButtons = MoxNewButtons(m_pRenderer, this);
    m_pParticles = MoxNewParticles(pGame, PARTICLE_COUNT);
    m_iNextStateID = STATE_MENU;
    InitControls();
    return 1;
}

void CMoxConnectingState::Shutdown()
{
    delete m_pButtons;
    m_pButtons = nullptr;
    delete m_pParticles;
    m_pParticles = nullptr;
}

void CMoxConnectingState::Reset()
{
    CMoxState::Reset();
    m_iNextStateID = STATE_MENU;
}

void CMoxConnectingState::InitControls()
{
    if (!m_pButtons || !m_pRenderer)
        return;
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const float u = w / 30.0f;
    m_pButtons->AddButton(CKorvelVector2(0.5f * w, h - u), CKorvelVector2(u, u), kTextureExits, BUTTON_CANCEL,
                          0);
}

void CMoxConnectingState::OnScreenChanged(int, int)
{
    if (m_pButtons)
        m_pButtons->Clear();
    InitControls();
}

float CMoxConnectingState::Waited() const
{
    return (float)MoxTimerMilliseconds(m_pGame) / 1000.0f - m_fStartTime;
}

int CMoxConnectingState::Countdown(float fWaited)
{
    const int iCount = (int)((WAIT_SECONDS - fWaited) / WAIT_SECONDS * 10.0f) + 1;
    return iCount < 1 ? 1 : iCount > 10 ? 10 : iCount;
}

int CMoxConnectingState::Update(float fSeconds)
{
    if (m_pButtons)
        m_pButtons->Update(fSeconds);
    if (m_pParticles)
        m_pParticles->Update(fSeconds);
    const float t = Waited();
    if (t > WAIT_SECONDS)
    {
        // Said once, not at every update until the screen has gone.
        if (!m_bLeaving && m_pGame)
            m_pGame->QuickPlayFoundNobody();
        Cancel();
    }
    m_iCountdown = Countdown(t);
    if (m_bLeaving && (!m_pButtons || !m_pButtons->m_bBusy))
        Remove();
    m_iNextStateID = STATE_MENU;
    return 1;
}

void CMoxConnectingState::Draw()
{
    if (!m_pGame || !m_pRenderer)
        return;
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    MoxRenderTitle(m_pGame, m_pRenderer);
    if (IKorvelGraphicsContext* pContext = m_pRenderer->GetGraphicsContext())
        pContext->Fade(nullptr, 0.2f);
    if (m_pParticles)
        m_pParticles->Draw();
    const float r = w / 15.0f;
    m_pRenderer->renderScreenRotation(CKorvelVector2(0.5f * w, 0.6f * h), CKorvelVector2(r, r),
                                      CKorvel3DColor(1.0f, 1.0f, 1.0f, 1.0f), 0, 0, 1, 1, 3.0f * Waited(),
                                      m_pGame->GetContext().psrfGameTextures[TEXTURE_LOADER]);
    m_pRenderer->DrawShadowedText((int)(0.5f * w), (int)(0.4f * h), MoxGameText(m_pGame, TEXT_CONNECTING),
                                  0xFFFFFFFFu, kTextFlags, FONT_MAIN);
    CKorvelString strCount;
    strCount.Format(L"%d", m_iCountdown);
    m_pRenderer->DrawShadowedText((int)(0.5f * w), (int)(0.6f * h), strCount, 0xFFFFFFFFu, kTextFlags,
                                  FONT_MAIN);
    if (m_pButtons)
        m_pButtons->Render();
}

void CMoxConnectingState::RestoreResources()
{
    if (m_pButtons)
        m_pButtons->RestoreSurfaces();
}

void CMoxConnectingState::ButtonReleased(CMoxButton* pButton)
{
    if (pButton && pButton->m_iID == BUTTON_CANCEL)
        Cancel();
}

void CMoxConnectingState::Cancel()
{
    if (m_pGame)
        m_pGame->CancelQuickPlay();
    m_iNextStateID = STATE_MENU;
    m_bLeaving = 1;
}
