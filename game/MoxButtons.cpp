// The touch button, and the manager's list of buttons, its sounds and its drawing.
#include "game/MoxButtons.h"

#include "Framework/Shell/VornApplication.h"
#include "Korvel3D/Korvel3DColor.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

namespace
{
const float kPressedScale = 0.8f;
const float kPressSpeed = 2.0f; // scale per second: a press takes 0.1 s
const unsigned int kDimmedColour = 0x80FFFFFFu;
const unsigned int kLabelFlags = TEXT_SCALE_THREE_QUARTERS | TEXT_UP_HALF | TEXT_LEFT_HALF;
} // namespace

CMoxButton::CMoxButton()
    : m_pListener(nullptr), m_eState(BUTTON_IDLE), m_iTexture(0), m_iUserValue(0), m_bTouched(0),
      m_bVisible(1), m_bShowLabel(0), m_bDimmed(0), m_bFloating(1), m_bEnabled(1), m_vHalfSize(0.0f, 0.0f),
      m_vPosition(0.0f, 0.0f), m_fPulseScale(1.0f), m_vFloatOffset(0.0f, 0.0f), m_fPressScale(1.0f), m_iID(0)
{
}

void CMoxButton::SetState(BUTTON_STATE eState)
{
    if (!m_bVisible)
        m_eState = BUTTON_IDLE;
    else if (eState == BUTTON_PRESSING)
        m_eState = m_fPressScale == kPressedScale ? BUTTON_DOWN : BUTTON_PRESSING;
    else if (eState == BUTTON_RELEASING)
        m_eState = m_fPressScale == 1.0f ? BUTTON_IDLE : BUTTON_RELEASING;
    else
        m_eState = eState;
}

void CMoxButton::Update(float fSeconds)
{
    if (!m_bVisible)
    {
        m_eState = BUTTON_IDLE;
        m_fPressScale = 1.0f;
        return;
    }
    switch (m_eState)
    {
    case BUTTON_DOWN:
        if (m_pListener)
            m_pListener->ButtonDown(this);
        break;
    case BUTTON_RELEASING:
        m_fPressScale += kPressSpeed * fSeconds;
        if (m_fPressScale >= 1.0f)
        {
            m_fPressScale = 1.0f;
            m_eState = BUTTON_IDLE;
            if (m_pListener)
                m_pListener->ButtonReleased(this);
        }
        break;
    case BUTTON_PRESSING:
        m_fPressScale -= kPressSpeed * fSeconds;
        if (m_fPressScale < kPressedScale)
        {
            m_fPressScale = kPressedScale;
            m_eState = BUTTON_DOWN;
            if (m_pListener)
                m_pListener->ButtonPressed(this);
        }
        break;
    default:
        break;
    }
}

bool CMoxButton::IsInside(const CKorvelVector2& v) const
{
    return v.x >= m_rcHit.left && v.x <= m_rcHit.right && v.y >= m_rcHit.top && v.y <= m_rcHit.bottom;
}

CMoxButtonManager::CMoxButtonManager()
    : m_fIdleLimit(2.0f), m_fIdleTime(0.0f), m_bBusy(0), m_pRenderer(nullptr), m_pListener(nullptr),
      m_fPhase(0.0f)
{
}

CMoxButtonManager::~CMoxButtonManager()
{
    Clear();
}

CStateGame* CMoxButtonManager::Game() const
{
    return m_pRenderer ? m_pRenderer->m_pGame : nullptr;
}

void CMoxButtonManager::Startup(CMoxRenderer* pRenderer)
{
    m_pRenderer = pRenderer;
    CStateGame* pGame = Game();
    CVornApplication* pApp = pGame ? pGame->GetApp() : nullptr;
    if (!pApp)
        return;
    // Each manager takes its own reference; the game's unload gives back one per slot.
    CKorvelSoundWave** apSounds = pGame->GetContext().psndGameSounds;
    apSounds[SOUND_BUTTON_DOWN] = pApp->GetSound(GAME_SOUNDS[SOUND_BUTTON_DOWN].name, 0, 0);
    apSounds[SOUND_BUTTON_UP] = pApp->GetSound(GAME_SOUNDS[SOUND_BUTTON_UP].name, 0, 0);
}

CMoxButton* CMoxButtonManager::AddButton(const CKorvelVector2& position, const CKorvelVector2& halfSize,
                                         int iTexture, int iID, int iUserValue)
{
    CMoxButton* b = new CMoxButton();
    b->m_pListener = this;
    b->m_iTexture = iTexture;
    b->m_iUserValue = iUserValue;
    b->m_iID = iID;
    b->m_vPosition = position;
    b->m_vHalfSize = halfSize;
    b->m_rcHit.Set(position.x - halfSize.x, position.y - halfSize.y, position.x + halfSize.x,
                   position.y + halfSize.y);
    m_Buttons.Add(b);
    return b;
}

CMoxButton* CMoxButtonManager::GetButtonByID(int iID)
{
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
        if (m_Buttons[i]->m_iID == iID)
            return m_Buttons[i];
    return nullptr;
}

void CMoxButtonManager::RemoveButtonByID(int iID)
{
    int i = 0;
    while (i < m_Buttons.GetCount())
    {
        CMoxButton* b = m_Buttons[i];
        if (b->m_iID != iID)
        {
            ++i;
            continue;
        }
        m_Buttons.RemoveAt(i);
        delete b;
    }
}

void CMoxButtonManager::HideAll()
{
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
    {
        CMoxButton* b = m_Buttons[i];
        b->m_bVisible = 0;
        b->m_eState = BUTTON_IDLE;
        b->m_fPressScale = 1.0f;
    }
}

void CMoxButtonManager::ShowAll()
{
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
        m_Buttons[i]->m_bVisible = 1;
}

void CMoxButtonManager::RestoreSurfaces()
{
    CStateGame* pGame = Game();
    CVornApplication* pApp = pGame ? pGame->GetApp() : nullptr;
    if (!pApp)
        return;
    CKorvelSurface** apTextures = pGame->GetContext().psrfGameTextures;
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
    {
        const int iTexture = m_Buttons[i]->m_iTexture;
        if (iTexture >= 0 && iTexture < GAME_TEXTURE_COUNT && !apTextures[iTexture])
            apTextures[iTexture] = pApp->GetSurface(GAME_TEXTURES[iTexture].name);
    }
}

void CMoxButtonManager::Render()
{
    CStateGame* pGame = Game();
    if (!pGame)
        return;
    CKorvelSurface* const* apTextures = pGame->GetContext().psrfGameTextures;
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
    {
        const CMoxButton* b = m_Buttons[i];
        if (!b->m_bVisible)
            continue;
        CKorvelVector2 size = b->m_vHalfSize;
        size.Scale(b->m_fPressScale);
        CKorvelVector2 centre = b->m_vPosition;
        if (b->m_bFloating)
        {
            centre.Add(b->m_vFloatOffset);
            size.Scale(b->m_fPulseScale);
        }
        const unsigned int uColour = b->m_bDimmed ? kDimmedColour : 0xFFFFFFFFu;
        CKorvelSurface* pSurface =
            b->m_iTexture >= 0 && b->m_iTexture < GAME_TEXTURE_COUNT ? apTextures[b->m_iTexture] : nullptr;
        m_pRenderer->renderScreenQuad(centre, size, pSurface, CKorvel3DColor(uColour));
        if (b->m_bShowLabel)
            m_pRenderer->DrawShadowedText((int)centre.x, (int)centre.y, b->m_strLabel, uColour, kLabelFlags,
                                          FONT_MAIN);
    }
}

void CMoxButtonManager::Clear()
{
    for (int i = 0; i < m_Buttons.GetCount(); ++i)
        delete m_Buttons[i];
    m_Buttons.Clear();
}

void CMoxButtonManager::ButtonPressed(CMoxButton* pButton)
{
    if (m_pListener)
        m_pListener->ButtonPressed(pButton);
}

void CMoxButtonManager::ButtonDown(CMoxButton* pButton)
{
    if (m_pListener)
        m_pListener->ButtonDown(pButton);
}
