// The main menu's life cycle, its buttons and the web pages.
#include "game/MoxMenuState.h"

#include <algorithm>

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/Shell/VornWebHost.h"
#include "Korvel3D/Korvel3DColor.h"
#include "game/MoxScreenHelpers.h"

namespace
{
enum : int
{
    TEXTURE_EXITS = 11,
    TEXTURE_EDIT = 12,
    TEXTURE_HELP = 13,
    TEXTURE_TRAINING = 15,
    TEXTURE_SOCIAL = 16,
    TEXTURE_INTRO = 56,
    TEXTURE_CREDITS = 57,
    TEXTURE_PLAY = 60
};

// The menu's layout: play in the middle under the title, the others in one row along the
// bottom edge, clear of the title picture's pedestals on every screen shape. r is the unit:
// it keeps the row within the width and everything within the height.
struct sMENU_BUTTON
{
    int iID;
    int iTexture;
    int iSlot; // place in the bottom row from the left; -1: the play button
};
const sMENU_BUTTON kButtons[] = {
    {CMoxMenuState::BUTTON_INTRO, TEXTURE_INTRO, 1},   {CMoxMenuState::BUTTON_CREDITS, TEXTURE_CREDITS, 2},
    {CMoxMenuState::BUTTON_SOCIAL, TEXTURE_SOCIAL, 4}, {CMoxMenuState::BUTTON_EXIT, TEXTURE_EXITS, 5},
    {CMoxMenuState::BUTTON_HELP, TEXTURE_HELP, 3},     {CMoxMenuState::BUTTON_TRAINING, TEXTURE_TRAINING, 0},
    {CMoxMenuState::BUTTON_PLAY, TEXTURE_PLAY, -1},
};
const int kRowSlots = 6;
const float kRowStep = 1.25f; // r between row centres
const float kRowHalf = 0.55f; // r
const float kRowLift = 0.7f;  // r from the bottom edge to the row's centres
const float kPlayHalf = 0.9f; // r
const float kPlayY = 0.52f;   // of the height

void HideButton(CMoxButton* pButton)
{
    if (!pButton)
        return;
    pButton->m_bVisible = 0;
    pButton->m_eState = BUTTON_IDLE;
    pButton->m_fPressScale = 1.0f;
}
} // namespace

CMoxMenuState::CMoxMenuState()
    : m_pParticles(nullptr), m_bCreditsShown(0), m_fTime(0.0f), m_bLeaving(0),
      m_pButtons(nullptr), m_afLoader{0.0f, 0.0f, 0.0f, 0.0f}, m_bDrawn(0), m_bControlsReady(0),
      m_fCreditsOffset(0.0f), m_bCreditsDragging(0), m_uLastTick(0), m_uCurrentTick(0)
{
}

CMoxMenuState::~CMoxMenuState()
{
    Shutdown();
}

int CMoxMenuState::Startup(CStateGame* pGame)
{
    CMoxState::Startup(pGame);
    m_iStateID = STATE_MENU;
    m_bCreditsShown = m_bLeaving = m_bDrawn = m_bControlsReady = m_bCreditsDragging = 0;
    m_fTime = m_fCreditsOffset = 0.0f;
    m_uLastTick = m_uCurrentTick = 0;

    MoxFetchSlots(pGame, true, {TEXTURE_TITLE, TEXTURE_LOADER});
    m_pButtons = MoxNewButtons(m_pRenderer, this);
    m_pParticles = MoxNewParticles(pGame, PARTICLE_COUNT);

    const float w = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const float h = m_pRenderer ? m_pRenderer->GetScreenHeight() : 0.0f;
    const float r = w / 15.0f;
    m_afLoader[0] = 0.5f * w - r;
    m_afLoader[1] = 0.5f * h - r;
    m_afLoader[2] = 0.5f * w + r;
    m_afLoader[3] = 0.5f * h + r;
    return 1;
}

void CMoxMenuState::Shutdown()
{
    delete m_pParticles;
    m_pParticles = nullptr;
    delete m_pButtons;
    m_pButtons = nullptr;
}

void CMoxMenuState::InitControls()
{
    if (!m_pButtons || !m_pRenderer)
        return;
    m_pButtons->Clear();
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const float r = std::min(w / 8.0f, h / 5.0f);
    for (const sMENU_BUTTON& b : kButtons)
    {
        const bool bPlay = b.iSlot < 0;
        const CKorvelVector2 centre =
            bPlay ? CKorvelVector2(0.5f * w, kPlayY * h)
                  : CKorvelVector2(0.5f * w + (float(b.iSlot) - 0.5f * float(kRowSlots - 1)) * kRowStep * r,
                                   h - kRowLift * r);
        const float fHalf = (bPlay ? kPlayHalf : kRowHalf) * r;
        m_pButtons->AddButton(centre, CKorvelVector2(fHalf, fHalf), b.iTexture, b.iID, 0);
    }
    const float u = w / 20.0f;
    HideButton(m_pButtons->AddButton(CKorvelVector2(0.5f * w, h - u), CKorvelVector2(u, u), TEXTURE_EXITS,
                                     BUTTON_CREDITS_BACK, 0));
#ifdef KORVEL_SCENE_EDITOR
    // Developer builds only: the scene editor from the top-left corner.
    m_pButtons->AddButton(CKorvelVector2(u, u), CKorvelVector2(u, u), TEXTURE_EDIT, BUTTON_EDITOR, 0);
#endif
}

int CMoxMenuState::Update(float fSeconds)
{
    if (!m_pGame)
        return 1;
    const bool bVolume = m_pGame->m_bVolumeTouched != 0;
    if (m_bCreditsShown && !bVolume)
    {
        const sTouch& touch = m_pGame->GetContext().MultiTouch.m_Touches[0];
        if (touch.down && touch.moved)
        {
            m_bCreditsDragging = 1;
            m_fCreditsOffset += touch.delta.y;
        }
        else
            m_bCreditsDragging = 0;
    }
    if (m_bDrawn && m_pGame->m_bResourcesLoaded)
    {
        if (!bVolume)
        {
            m_pButtons->Update(fSeconds);
            m_pParticles->Update(fSeconds);
        }
        if (!m_bControlsReady)
        {
            InitControls();
            m_bControlsReady = 1;
            m_pGame->PlayMusic(SONG_THEME);
        }
    }
    if (m_bLeaving && !m_pButtons->m_bBusy)
    {
        if (CVornApplication* pApp = m_pGame->GetApp())
            pApp->StopMusic();
        Remove();
    }
    m_fTime += fSeconds;
    return 1;
}

void CMoxMenuState::Draw()
{
    if (!m_pGame || !m_pRenderer)
        return;
    MoxRenderTitle(m_pGame, m_pRenderer);
    m_bDrawn = 1;
    if (!m_pGame->m_bResourcesLoaded)
    {
        if (IKorvelGraphicsContext* pContext = m_pRenderer->GetGraphicsContext())
            pContext->Fade(nullptr, 0.2f);
        const CKorvelVector2 centre(0.5f * (m_afLoader[0] + m_afLoader[2]),
                                    0.5f * (m_afLoader[1] + m_afLoader[3]));
        const CKorvelVector2 half(0.5f * (m_afLoader[2] - m_afLoader[0]),
                                  0.5f * (m_afLoader[3] - m_afLoader[1]));
        m_pRenderer->renderScreenRotation(centre, half, CKorvel3DColor(1.0f, 1.0f, 1.0f, 1.0f), 0, 0, 1, 1,
                                          3.0f * m_fTime,
                                          m_pGame->GetContext().psrfGameTextures[TEXTURE_LOADER]);
    }
    if (m_bCreditsShown)
        RenderCredits();
    if (m_pGame->m_bResourcesLoaded)
    {
        m_pParticles->Draw();
        m_pButtons->Render();
    }
}

void CMoxMenuState::RestoreResources()
{
    if (m_pButtons)
        m_pButtons->RestoreSurfaces();
}

void CMoxMenuState::OnBackButton()
{
    if (m_bCreditsShown)
        EndCredits();
    else
        Exit();
}

void CMoxMenuState::Exit()
{
    if (CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr)
        pApp->Logout(1);
}

void CMoxMenuState::OnScreenChanged(int, int)
{
    InitControls();
    // A roll in progress keeps only its back button.
    if (m_bCreditsShown && m_pButtons)
    {
        m_pButtons->HideAll();
        if (CMoxButton* pBack = m_pButtons->GetButtonByID(BUTTON_CREDITS_BACK))
            pBack->m_bVisible = 1;
    }
}

void CMoxMenuState::Leave(STATE_ID eNext)
{
    m_bLeaving = 1;
    m_iNextStateID = eNext;
}

void CMoxMenuState::ButtonReleased(CMoxButton* pButton)
{
    if (!pButton)
        return;
    switch (pButton->m_iID)
    {
    case BUTTON_PLAY:
        Leave(STATE_PLAY);
        break;
    case BUTTON_EDITOR:
        Leave(STATE_EDITOR);
        break;
    case BUTTON_EXIT:
        Exit();
        break;
    case BUTTON_INTRO:
        Leave(STATE_INTRO);
        break;
    case BUTTON_HELP:
        OpenPage("help");
        break;
    case BUTTON_CREDITS:
        StartCredits();
        break;
    case BUTTON_SOCIAL:
        OpenPage("facebook");
        break;
    case BUTTON_CREDITS_BACK:
        EndCredits();
        break;
    case BUTTON_TRAINING:
        Leave(STATE_TRAINING);
        break;
    default:
        break;
    }
}

void CMoxMenuState::StartCredits()
{
    m_fCreditsOffset = 0.0f;
    m_bCreditsDragging = 0;
    m_bCreditsShown = 1;
    m_uLastTick = m_uCurrentTick = MoxTimerMilliseconds(m_pGame);
    if (!m_pButtons)
        return;
    m_pButtons->HideAll();
    if (CMoxButton* pBack = m_pButtons->GetButtonByID(BUTTON_CREDITS_BACK))
        pBack->m_bVisible = 1;
}

void CMoxMenuState::EndCredits()
{
    m_bCreditsShown = 0;
    if (!m_pButtons)
        return;
    m_pButtons->ShowAll();
    HideButton(m_pButtons->GetButtonByID(BUTTON_CREDITS_BACK));
}

CKorvelString CMoxMenuState::WebAddress(const char* pLink) const
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    const int iApp = m_pGame ? m_pGame->GetAppId() : 0;
    const int iRelease = pApp ? pApp->GetReleaseId() : 0;
    const CKorvelString strReseller = m_pGame ? m_pGame->GetResellerId() : CKorvelString();
    const CKorvelString strLink(pLink);
    CKorvelString strQuery;
    strQuery.Format(L"link=%s&game=%d&release=%d&rid=%s", strLink.GetBuffer(), iApp, iRelease,
                    strReseller.GetBuffer());
    CKorvelString strAddress("https://");
    strAddress.Add(CKorvelString(VORN_WEB_HOST));
    strAddress.Add(CKorvelString("/api/forward.php?"));
    strAddress.Add(strQuery);
    return strAddress;
}

void CMoxMenuState::OpenPage(const char* pLink)
{
    if (m_pGame && m_pGame->GetApp())
        CVornDevice::OpenUrl(m_pGame->GetApp(), WebAddress(pLink));
}
