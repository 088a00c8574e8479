// The logo splash: twelve frames of the logo with a welcome sound over black, spread
// over the first second, held for the second, faded out over the last half second.
// After 2.0 s of frame time (and five updates that do not count) it tells the
// application and asks to be removed.
#pragma once

#include "Framework/Shell/VornState.h"

class CKorvelSoundWave;
class CKorvelSurface;

// What the splash draws at a time: the frame drawn plainly, the next frame blended over
// it (-1 for none) and the fade level (-1 for no fade).
struct sVORN_INTRO_FRAME
{
    int iBltFrame;
    int iBlendFrame;
    float fFade;
};
sVORN_INTRO_FRAME VornIntroFrameAt(float fTime);

class CVornIntroState : public IVornState
{
public:
    static const int FRAME_COUNT = 12;
    static const int START_COUNTDOWN = 5;

    CVornIntroState();
    ~CVornIntroState() override;

    KE_RETVAL Startup(CVornApplication* pApplication) override;
    void Shutdown() override;
    // Adds "vornintro.kmp" and takes the frames, then the sound; a missing frame ends
    // it there (the frames taken stay held).
    void Activate() override;
    // Gives the frames and the sound back and removes the pack.
    void Deactivate() override;
    unsigned int Update(float fSeconds) override;
    void Draw() override;

private:
    unsigned int ActivateFrames();

    CVornApplication* m_pApplication;
    float m_fTime;
    int m_iCountdown;
    CKorvelSoundWave* m_pWelcome;
    unsigned int m_uSoundStarted;
    CKorvelSurface* m_apFrames[FRAME_COUNT];
};
