// The intro film: eleven pictures slide from right to left like a film strip to the
// intro song, an animated torch-light overlay fades in and out over them, and once the
// last picture stands centred the screen holds, fades to black and hands over to the
// menu. The skip button (after a touch-free update) ends it at once.
#pragma once

#include "game/MoxButtons.h"
#include "game/MoxScreens.h"
#include "game/MoxTables.h"

class CKorvelSurface;

class CMoxIntroState : public CMoxIntroStateBase, public CMoxButtonListener
{
public:
    enum
    {
        BUTTON_SKIP = 1,
        OVERLAY_CELLS = 4 // the overlay sheet is 4 x 4 frames
    };
    static constexpr float STRIP_SPEED = 0.23f;   // picture widths a second
    static constexpr float OVERLAY_FADE = 128.0f; // alpha a second
    static constexpr float FADE_START = 1.5f;     // 1.5 s of holding, then 3 s of fading

    CMoxIntroState();
    ~CMoxIntroState() override;

    int Startup(CStateGame* pGame) override;
    void Shutdown() override;
    void Reset() override { CMoxState::Reset(); }
    int Update(float fSeconds) override;
    void Draw() override;
    void RestoreResources() override;
    void OnBackButton() override { Skip(); }
    // The skip button moves to the new size's bottom; the strip is laid out again at the
    // new size, as far along as it was.
    void OnScreenChanged(int iWidth, int iHeight) override;

    void ButtonPressed(CMoxButton*) override {}
    void ButtonReleased(CMoxButton*) override { Skip(); }
    void ButtonDown(CMoxButton*) override {}

    void Deactivate() override;
    void Unload() override;
    void Activate() {}

    void InitControls();
    void InitFilm();
    void UpdateFilm(float fSeconds);
    void RenderFilm();

    unsigned int m_bFinished;
    CKorvelSurface* m_pOverlay; // "torch.png"
    CMoxButtonManager* m_pButtons;
    int m_iLoadedCount;
    unsigned int m_bTouchReleased; // an update passed in which no touch began
    unsigned int m_bStopped;
    unsigned int m_bFadeDone;
    float m_fFade;
    float m_afOverlay[4]; // left, top, right, bottom
    float m_fOverlayAlpha;
    int m_iOverlayPhase; // 0 waiting, 1 fading in, 2 shown, 3 fading out, 4 gone
    int m_iOverlayFrame;
    unsigned int m_uLastStamp; // ms of the root state's time stamp
    float m_fPictureWidth;
    float m_aafPictures[INTRO_TEXTURE_COUNT][4]; // left, top, right, bottom
    CKorvelSurface* m_apPictures[INTRO_TEXTURE_COUNT];
    unsigned int m_abLoaded[INTRO_TEXTURE_COUNT];

private:
    void Skip();
    // The pictures at the screen's size with picture 0 fTravelled picture widths left of
    // the right edge, and the overlay over the whole screen.
    void PlaceFilm(float fTravelled);
    // Picture 10 in the middle of the screen, the others edge to edge left of it.
    void CentreLastPicture();
    // The pictures of the shared slots that the intro and the mute button need while the
    // game's resources are unloaded.
    void FetchSlots();

    CMoxIntroState(const CMoxIntroState&) = delete;
    CMoxIntroState& operator=(const CMoxIntroState&) = delete;
};
