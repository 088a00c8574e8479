// The training chooser: fifteen numbered scene buttons on a five-by-three grid, each
// open once the scene before it was cleared, a welcome message on the first visits and
// a completion message once after the last scene was cleared, and a back button. The
// chosen scene travels to the root state as the screen's user integer.
#pragma once

#include "game/MoxButtons.h"
#include "game/MoxState.h"

class CMoxParticleSystem;

class CMoxTrainingState : public CMoxState, public CMoxButtonListener
{
public:
    enum
    {
        BUTTON_BACK = 0,
        BUTTON_SCENE = 1,
        PARTICLE_COUNT = 15,
        TEXT_COMPLETE = 18, // and 19
        TEXT_WELCOME = 20   // and 21
    };
    static constexpr float MESSAGE_SECONDS = 5.0f;

    CMoxTrainingState();
    ~CMoxTrainingState() override;

    int Startup(CStateGame* pGame) override;
    void Shutdown() override;
    void Reset() override { CMoxState::Reset(); }
    int Update(float fSeconds) override;
    void Draw() override;
    void RestoreResources() override;
    void OnBackButton() override;
    // The grid is laid out again for the new size.
    void OnScreenChanged(int iWidth, int iHeight) override;

    void ButtonPressed(CMoxButton*) override {}
    void ButtonReleased(CMoxButton* pButton) override;
    void ButtonDown(CMoxButton*) override {}

    void InitControls();
    // The "showedtrainingcomplete" property of the statistics store.
    int ShowedTrainingComplete();
    void SetShowedTrainingComplete();

    CMoxParticleSystem* m_pParticles;
    float m_fTime;
    unsigned int m_bLeaving;
    CMoxButtonManager* m_pButtons;
    unsigned int m_bProgress; // the first scene was cleared
    float m_fMessageTime;     // seconds left of the message; -1 once it ran out

private:
    // While the message shows only the back button takes touches.
    void EnableButtons();
    void RenderMessage();

    CMoxTrainingState(const CMoxTrainingState&) = delete;
    CMoxTrainingState& operator=(const CMoxTrainingState&) = delete;
};
