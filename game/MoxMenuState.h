// The main menu: the title with a loader while the root state preloads the game's
// resources, then the eight touch buttons (play, training, intro, credits, help page,
// social page, leave, and the back button of the credits roll), the star particles and
// the theme. The credits roll scrolls the credits table up over the dimmed title.
//
// Sources: MoxMenuState.cpp (life cycle, buttons, web pages), MoxMenuCredits.cpp (the roll).
#pragma once

#include "KorvelCommon/KorvelString.h"
#include "game/MoxButtons.h"
#include "game/MoxScreens.h"

class CMoxParticleSystem;

class CMoxMenuState : public CMoxMenuStateBase, public CMoxButtonListener
{
public:
    enum
    {
        BUTTON_PLAY = 0,
        BUTTON_EDITOR = 1,
        BUTTON_EXIT = 2,
        BUTTON_INTRO = 3,
        BUTTON_HELP = 4,
        BUTTON_CREDITS = 5,
        BUTTON_SOCIAL = 6,
        BUTTON_CREDITS_BACK = 7,
        BUTTON_TRAINING = 8,
        PARTICLE_COUNT = 15
    };

    CMoxMenuState();
    ~CMoxMenuState() override;

    int Startup(CStateGame* pGame) override;
    void Shutdown() override;
    void Reset() override { CMoxState::Reset(); }
    int Update(float fSeconds) override;
    void Draw() override;
    void RestoreResources() override;
    // Ends the credits roll, or leaves as the exit button does.
    void OnBackButton() override;
    void OnScreenChanged(int iWidth, int iHeight) override;

    void ButtonPressed(CMoxButton*) override {}
    void ButtonReleased(CMoxButton* pButton) override;
    void ButtonDown(CMoxButton*) override {}

    unsigned int HasDrawn() override { return m_bDrawn; }
    unsigned int ControlsReady() override { return m_bControlsReady; }

    void InitControls();
    void RenderCredits();
    // Where each credits line stands, the first one's top at fTop, and the rows it takes (at
    // least one of L pixels), into arrays of CREDITS_COUNT; the roll's whole height.
    float LayOutCredits(float fTop, float L, float* afTops, float* afHeights);
    // The alpha of a credits line at y: opaque above the bottom band, fading out within it.
    static unsigned int CreditsAlpha(float y, float w, float h);
    // The forward script's address for that link ("help", "facebook") as it stands now.
    CKorvelString WebAddress(const char* pLink) const;

    CMoxParticleSystem* m_pParticles;
    unsigned int m_bCreditsShown;
    float m_fTime; // seconds; turns the loader
    unsigned int m_bLeaving;
    CMoxButtonManager* m_pButtons;
    float m_afLoader[4]; // left, top, right, bottom
    unsigned int m_bDrawn;
    unsigned int m_bControlsReady;
    float m_fCreditsOffset; // pixels, 0 at the start of the roll, decreasing
    unsigned int m_bCreditsDragging;
    unsigned int m_uLastTick; // ms of the root state's step clock
    unsigned int m_uCurrentTick;

private:
    void StartCredits();
    void EndCredits();
    void Leave(STATE_ID eNext);
    // Logged in: logs out. Offline: back to the login page.
    void Exit();
    void OpenPage(const char* pLink);

    CMoxMenuState(const CMoxMenuState&) = delete;
    CMoxMenuState& operator=(const CMoxMenuState&) = delete;
};
