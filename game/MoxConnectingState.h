// The screen shown while the player waits in the quick-play queue: the dimmed title,
// star particles, a turning loader with a countdown from 10 to 1 and a cancel button.
// After 20 seconds, or on cancel, it leaves the queue and returns to the menu; when a
// match starts the root state replaces it.
#pragma once

#include "game/MoxButtons.h"
#include "game/MoxState.h"

class CMoxParticleSystem;

class CMoxConnectingState : public CMoxState, public CMoxButtonListener
{
public:
    enum
    {
        BUTTON_CANCEL = 0,
        PARTICLE_COUNT = 15,
        TEXT_CONNECTING = 14
    };
    static constexpr float WAIT_SECONDS = 20.0f;

    CMoxConnectingState();
    ~CMoxConnectingState() override;

    int Startup(CStateGame* pGame) override;
    void Shutdown() override;
    void Reset() override;
    int Update(float fSeconds) override;
    void Draw() override;
    void RestoreResources() override;
    void OnBackButton() override { Cancel(); }
    // The cancel button moves to the new size's bottom.
    void OnScreenChanged(int iWidth, int iHeight) override;

    void ButtonPressed(CMoxButton*) override {}
    void ButtonReleased(CMoxButton* pButton) override;
    void ButtonDown(CMoxButton*) override {}

    void InitControls();
    // 10 at the start down to 1 in the last two seconds; never 0.
    static int Countdown(float fWaited);

    CMoxParticleSystem* m_pParticles;
    float m_fStartTime; // seconds of the root state's step clock
    int m_iCountdown;
    unsigned int m_bLeaving;
    CMoxButtonManager* m_pButtons;

private:
    // Leaves the queue and returns to the menu once no button is busy.
    void Cancel();
    float Waited() const;

    CMoxConnectingState(const CMoxConnectingState&) = delete;
    CMoxConnectingState& operator=(const CMoxConnectingState&) = delete;
};
