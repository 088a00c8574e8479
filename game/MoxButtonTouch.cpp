// The manager's touch handling on touch 0 of the game's tracker, and its per-update
// animation: the press, the bob and pulse of floating buttons and the busy flag.
#include "Framework/Shell/VornApplication.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "game/MoxButtons.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

namespace
{
const float kBobOfHeight = 1.0f / 120.0f;
const float kPulse = 0.05f;
} // namespace

int CMoxButtonManager::HandleTouch()
{
    CStateGame* pGame = Game();
    if (!pGame)
        return 0;
    const CMultiTouch& tracker = pGame->GetContext().MultiTouch;
    if (tracker.m_bPinch)
        return 0;
    const sTouch& touch = tracker.m_Touches[0];

    if (touch.down && touch.pressed)
    {
        for (int i = 0; i < m_Buttons.GetCount(); ++i)
        {
            CMoxButton* b = m_Buttons[i];
            if (!b->IsEligible())
                continue;
            if (b->IsInside(touch.position))
            {
                b->m_bTouched = 1;
                b->SetState(BUTTON_PRESSING);
                pGame->PlayGameSound(SOUND_BUTTON_DOWN, 0, 0);
                m_fIdleTime = 0.0f;
                return 1;
            }
            b->m_bTouched = 0;
        }
    }
    else if (touch.down)
    {
        for (int i = 0; i < m_Buttons.GetCount(); ++i)
        {
            CMoxButton* b = m_Buttons[i];
            if (!b->IsEligible())
                continue;
            if (b->m_bTouched && b->IsInside(touch.position))
            {
                m_fIdleTime = 0.0f;
                return 1;
            }
            // Moving off a button cancels it without a release report.
            b->m_bTouched = 0;
            b->SetState(BUTTON_RELEASING);
        }
    }
    else if (touch.released)
    {
        for (int i = 0; i < m_Buttons.GetCount(); ++i)
        {
            CMoxButton* b = m_Buttons[i];
            if (!b->IsEligible() || !b->IsInside(touch.position) || !b->m_bTouched ||
                (b->m_eState != BUTTON_PRESSING && b->m_eState != BUTTON_DOWN))
                continue;
            b->SetState(BUTTON_RELEASING);
            pGame->PlayGameSound(SOUND_BUTTON_UP, 0, 0);
            m_fIdleTime = 0.0f;
            if (m_pListener)
                m_pListener->ButtonReleased(b);
            return 1;
        }
    }
    else
    {
        for (int i = 0; i < m_Buttons.GetCount(); ++i)
        {
            m_Buttons[i]->m_bTouched = 0;
            m_Buttons[i]->SetState(BUTTON_RELEASING);
        }
    }
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
        m_Buttons[i]->m_bTouched = 0;
    return 0;
}

void CMoxButtonManager::Update(float fSeconds)
{
    m_fPhase += fSeconds;
    if (m_fPhase > KE_TWO_PI)
        m_fPhase -= KE_TWO_PI;
    HandleTouch();

    const float fBob = m_pRenderer ? m_pRenderer->GetScreenHeight() * kBobOfHeight : 0.0f;
    m_bBusy = 0;
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
    {
        CMoxButton* b = m_Buttons[i];
        if (b->m_bVisible)
        {
            b->Update(fSeconds);
            // The listener may have changed the list; the rest waits for the next update.
            if (i >= m_Buttons.GetCount() || m_Buttons[i] != b)
            {
                m_bBusy = 1;
                break;
            }
            if (b->m_eState != BUTTON_IDLE)
                m_bBusy = 1;
        }
        if (b->m_bFloating)
        {
            const float f = (float)i;
            b->m_vFloatOffset.y = CKorvelMath::Sin(f + m_fPhase) * fBob;
            b->m_fPulseScale = 1.0f + kPulse * CKorvelMath::Sin(f + 2.0f * m_fPhase);
            const float cx = b->m_vPosition.x + b->m_vFloatOffset.x;
            const float cy = b->m_vPosition.y + b->m_vFloatOffset.y;
            const float hx = b->m_vHalfSize.x * b->m_fPulseScale;
            const float hy = b->m_vHalfSize.y * b->m_fPulseScale;
            b->m_rcHit.Set(cx - hx, cy - hy, cx + hx, cy + hy);
        }
    }

    // A sound still loading counts as not playing: its voices are not touched until ready.
    CStateGame* pGame = Game();
    CVornApplication* pApp = pGame ? pGame->GetApp() : nullptr;
    CKorvelSoundWave* pUp = pGame ? pGame->GetContext().psndGameSounds[SOUND_BUTTON_UP] : nullptr;
    if (pUp && pApp && pApp->IsSoundReady(pUp) && pUp->IsPlaying(0))
        m_bBusy = 1;

    m_fIdleTime += fSeconds;
    if (m_fIdleTime < 0.0f)
        m_fIdleTime = 0.0f;
    if (m_fIdleTime > m_fIdleLimit)
        m_bBusy = 0;
}
