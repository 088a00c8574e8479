// The game's own touch buttons. A manager owns its screen's buttons, hit-tests touch 0
// of the game's tracker against them, shrinks a pressed button to 80 % and grows it back,
// plays the button sounds, lets floating buttons bob and pulse, draws them and tells its
// listener (the screen) which button was pressed, is held and was released.
//
// Sources: MoxButtons.cpp (the button, the manager's list and drawing),
// MoxButtonTouch.cpp (touch handling and the per-update animation).
#pragma once

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelString.h"

class CMoxButton;
class CMoxRenderer;
class CStateGame;

enum BUTTON_STATE : int
{
    BUTTON_IDLE = 0,
    BUTTON_PRESSING = 1, // shrinking
    BUTTON_DOWN = 2,     // held
    BUTTON_RELEASING = 3 // growing back
};

class CMoxButtonListener
{
public:
    virtual void ButtonPressed(CMoxButton* pButton) = 0;
    virtual void ButtonReleased(CMoxButton* pButton) = 0;
    // Every update while the button is held.
    virtual void ButtonDown(CMoxButton* pButton) = 0;

protected:
    virtual ~CMoxButtonListener() {}
};

class CMoxButton
{
public:
    CMoxButton();

    // An invisible button is always idle. Pressing a fully pressed button holds it, and
    // releasing one that is fully grown leaves it idle.
    void SetState(BUTTON_STATE eState);
    // Runs the press and release animation and reports to the listener.
    void Update(float fSeconds);
    bool IsEligible() const { return m_bVisible && !m_bDimmed && m_bEnabled; }
    // Within the hit rectangle, edges included.
    bool IsInside(const CKorvelVector2& v) const;

    CMoxButtonListener* m_pListener; // the manager
    CKorvelString m_strLabel;
    BUTTON_STATE m_eState;
    int m_iTexture; // GAME_TEXTURES index
    int m_iUserValue;
    unsigned int m_bTouched; // the current touch began on this button
    unsigned int m_bVisible;
    unsigned int m_bShowLabel;
    unsigned int m_bDimmed;   // half alpha, ignores touches
    unsigned int m_bFloating; // bobs and pulses
    unsigned int m_bEnabled;  // a disabled button looks normal but ignores touches
    CKorvelVector2 m_vHalfSize;
    CKorvelVector2 m_vPosition; // centre, screen pixels
    float m_fPulseScale;
    CKorvelVector2 m_vFloatOffset;
    CKorvelRect<float> m_rcHit;
    float m_fPressScale; // 1.0 up, 0.8 fully pressed
    int m_iID;

private:
    CMoxButton(const CMoxButton&) = delete;
    CMoxButton& operator=(const CMoxButton&) = delete;
};

class CMoxButtonManager : public CMoxButtonListener
{
public:
    CMoxButtonManager();
    virtual ~CMoxButtonManager();

    // Keeps the renderer and fetches the two button sounds into the game's sound slots.
    void Startup(CMoxRenderer* pRenderer);
    void SetListener(CMoxButtonListener* pListener) { m_pListener = pListener; }
    // A visible, enabled, floating button with its hit rectangle round the position.
    CMoxButton* AddButton(const CKorvelVector2& position, const CKorvelVector2& halfSize, int iTexture,
                          int iID, int iUserValue);
    CMoxButton* GetButtonByID(int iID);
    void RemoveButtonByID(int iID);
    void HideAll();
    void ShowAll();
    // Fetches the pictures of the buttons whose slot is empty (after the GL context came back).
    void RestoreSurfaces();
    void Update(float fSeconds);
    // 1 when a button took touch 0 in this step.
    int HandleTouch();
    void Render();
    void Clear();

    int GetCount() const { return m_Buttons.GetCount(); }
    CMoxButton* GetAt(int i) const { return m_Buttons[i]; }

    // Pressed and held buttons go on to the listener; the release animation's end does not.
    void ButtonPressed(CMoxButton* pButton) override;
    void ButtonReleased(CMoxButton*) override {}
    void ButtonDown(CMoxButton* pButton) override;

    float m_fIdleLimit;
    float m_fIdleTime; // since a button last took a touch
    unsigned int m_bBusy;
    CMoxRenderer* m_pRenderer;
    CKorvelTypedPtrArray<CMoxButton> m_Buttons; // owned
    CMoxButtonListener* m_pListener;
    float m_fPhase; // radians in [0, 2 pi)

private:
    CStateGame* Game() const;

    CMoxButtonManager(const CMoxButtonManager&) = delete;
    CMoxButtonManager& operator=(const CMoxButtonManager&) = delete;
};
