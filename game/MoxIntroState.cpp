#include "game/MoxIntroState.h"

#include "Framework/Shell/VornApplication.h"
#include "game/MoxScreenHelpers.h"

namespace
{
const int kTextureExits = 11;
// Exits, the volume slider's two pictures and the mute button's two faces.
const int kSlots[] = {kTextureExits, 58, 59, TEXTURE_MUTE_ON, TEXTURE_MUTE_OFF};
const CKorvelString kOverlayName("torch.png");
} // namespace

CMoxIntroState::CMoxIntroState()
    : m_bFinished(0), m_pOverlay(nullptr), m_pButtons(nullptr), m_iLoadedCount(0), m_bTouchReleased(0),
      m_bStopped(0), m_bFadeDone(0), m_fFade(FADE_START), m_afOverlay{0.0f, 0.0f, 0.0f, 0.0f},
      m_fOverlayAlpha(0.0f), m_iOverlayPhase(0), m_iOverlayFrame(0), m_uLastStamp(0), m_fPictureWidth(0.0f)
{
    for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
    {
        for (float& f : m_aafPictures[i])
            f = 0.0f;
        m_apPictures[i] = nullptr;
        m_abLoaded[i] = 0;
    }
}

CMoxIntroState::~CMoxIntroState()
{
    Shutdown();
}

void CMoxIntroState::FetchSlots()
{
    MoxFetchSlots(m_pGame, false, {kSlots[0], kSlots[1], kSlots[2], kSlots[3], kSlots[4]});
}

int CMoxIntroState::Startup(CStateGame* pGame)
{
    CMoxState::Startup(pGame);
    m_iStateID = STATE_INTRO;
    m_bFinished = m_bTouchReleased = m_bStopped = m_bFadeDone = 0;
    m_iLoadedCount = m_iOverlayPhase = m_iOverlayFrame = 0;
    m_fOverlayAlpha = 0.0f;
    m_fFade = FADE_START;
    FetchSlots();
    CVornApplication* pApp = pGame ? pGame->GetApp() : nullptr;
    if (pApp && !m_pOverlay)
        m_pOverlay = pApp->GetSurface(kOverlayName);
    for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
    {
        m_apPictures[i] = nullptr;
        m_abLoaded[i] = 0;
    }
    m_pButtons = MoxNewButtons(m_pRenderer, this);
    InitControls();
    InitFilm();
    if (pGame)
    {
        pGame->PlayMusic(SONG_INTRO);
        pGame->ResetTimeStamp();
        m_uLastStamp = pGame->GetTimeStamp();
    }
    return 1;
}

void CMoxIntroState::Shutdown()
{
    // Only once: the shared slots may belong to the next screen by the time of a second call.
    if (!m_pButtons)
        return;
    Unload();
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (pApp && m_pOverlay)
        pApp->ReleaseSurface(m_pOverlay);
    m_pOverlay = nullptr;
    delete m_pButtons;
    m_pButtons = nullptr;
}

void CMoxIntroState::InitControls()
{
    if (!m_pButtons || !m_pRenderer)
        return;
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const float u = w / 20.0f;
    m_pButtons->AddButton(CKorvelVector2(0.5f * w, h - 1.2f * u), CKorvelVector2(u, u), kTextureExits,
                          BUTTON_SKIP, 0);
}

void CMoxIntroState::OnScreenChanged(int, int)
{
    if (m_pButtons)
        m_pButtons->Clear();
    InitControls();
    // As far along in picture widths as before, at the new size.
    const float fTravelled =
        m_fPictureWidth > 0.0f ? (m_afOverlay[2] - m_aafPictures[0][0]) / m_fPictureWidth : 0.0f;
    PlaceFilm(fTravelled);
    if (m_bStopped)
        CentreLastPicture();
}

void CMoxIntroState::PlaceFilm(float fTravelled)
{
    const float w = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const float h = m_pRenderer ? m_pRenderer->GetScreenHeight() : 0.0f;
    m_fPictureWidth = 1.6f * h;
    for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
    {
        float* rc = m_aafPictures[i];
        rc[0] = w + ((float)i - fTravelled) * m_fPictureWidth;
        rc[1] = 0.5f * h - 0.4f * h;
        rc[2] = rc[0] + m_fPictureWidth;
        rc[3] = 0.5f * h + 0.4f * h;
    }
    m_afOverlay[0] = 0.0f;
    m_afOverlay[1] = 0.0f;
    m_afOverlay[2] = w;
    m_afOverlay[3] = h;
}

void CMoxIntroState::CentreLastPicture()
{
    const float w = m_afOverlay[2], W = m_fPictureWidth;
    for (int k = 0; k < INTRO_TEXTURE_COUNT; ++k)
    {
        float* rc = m_aafPictures[INTRO_TEXTURE_COUNT - 1 - k];
        rc[0] = 0.5f * w - 0.5f * W - (float)k * W;
        rc[2] = 0.5f * w + 0.5f * W - (float)k * W;
    }
}

void CMoxIntroState::InitFilm()
{
    PlaceFilm(0.0f);
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pApp)
        return;
    for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
    {
        if (m_abLoaded[i])
            continue;
        m_apPictures[i] = pApp->GetSurface(INTRO_TEXTURES[i].name);
        m_abLoaded[i] = 1;
        ++m_iLoadedCount;
    }
}

void CMoxIntroState::UpdateFilm(float t)
{
    const float W = m_fPictureWidth;
    if (!m_bStopped)
        for (float* rc : m_aafPictures)
        {
            rc[0] -= t * W * STRIP_SPEED;
            rc[2] -= t * W * STRIP_SPEED;
        }

    if (m_iOverlayPhase == 0 && m_aafPictures[0][0] < m_afOverlay[0])
        m_iOverlayPhase = 1;
    if (m_iOverlayPhase == 2 && m_aafPictures[9][2] < m_afOverlay[2])
        m_iOverlayPhase = 3;
    if (m_iOverlayPhase == 1)
    {
        m_fOverlayAlpha += OVERLAY_FADE * t;
        if (m_fOverlayAlpha >= 255.0f)
        {
            m_fOverlayAlpha = 255.0f;
            m_iOverlayPhase = 2;
        }
    }
    else if (m_iOverlayPhase == 3)
    {
        m_fOverlayAlpha -= OVERLAY_FADE * t;
        if (m_fOverlayAlpha < 0.0f)
        {
            m_fOverlayAlpha = 0.0f;
            m_iOverlayPhase = 4;
        }
    }

    const float* last = m_aafPictures[INTRO_TEXTURE_COUNT - 1];
    if (0.5f * m_afOverlay[2] > 0.5f * (last[0] + last[2]))
    {
        m_bStopped = 1;
        CentreLastPicture();
    }

    if (m_bStopped && m_bFadeDone && !m_bFinished)
    {
        m_bFinished = 1;
        if (m_pGame && m_pGame->GetApp())
            m_pGame->GetApp()->StopMusic();
        m_iNextStateID = STATE_MENU;
    }

    if (m_pGame)
    {
        float& fFrames = m_pGame->GetContext().m_fIntroFrameAccumulator;
        fFrames += 10.0f * t;
        m_iOverlayFrame = (int)fFrames;
    }
}

void CMoxIntroState::RenderFilm()
{
    const CKorvel3DColor white(1.0f, 1.0f, 1.0f, 1.0f);
    for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
    {
        if (!m_abLoaded[i])
            continue;
        const float* rc = m_aafPictures[i];
        m_pRenderer->renderScreenQuad(CKorvelVector2(0.5f * (rc[0] + rc[2]), 0.5f * (rc[1] + rc[3])),
                                      CKorvelVector2(0.5f * (rc[2] - rc[0]), 0.5f * (rc[3] - rc[1])),
                                      m_apPictures[i], white);
    }
    int iAlpha = (int)m_fOverlayAlpha;
    iAlpha = iAlpha < 0 ? 0 : iAlpha > 255 ? 255 : iAlpha;
    const int iFrame = m_iOverlayFrame;
    const float* rc = m_afOverlay;
    m_pRenderer->renderScreenOverlayAnimation(
        CKorvelVector2(0.5f * (rc[0] + rc[2]), 0.5f * (rc[1] + rc[3])),
        CKorvelVector2(0.5f * (rc[2] - rc[0]), 0.5f * (rc[3] - rc[1])),
        CKorvel3DColor(((unsigned int)iAlpha << 24) | 0xFFFFFFu), iFrame % OVERLAY_CELLS,
        (iFrame % (OVERLAY_CELLS * OVERLAY_CELLS)) / OVERLAY_CELLS, OVERLAY_CELLS, m_pOverlay);
}

void CMoxIntroState::Draw()
{
    if (!m_pGame || !m_pRenderer)
        return;
    const unsigned int uNow = m_pGame->GetTimeStamp();
    const int iElapsed = (int)(uNow - m_uLastStamp);
    if (iElapsed > 0)
    {
        UpdateFilm((float)iElapsed / 1000.0f);
        m_uLastStamp = uNow;
    }
    else if (iElapsed < 0)
        m_uLastStamp = uNow; // the stamps started again
    IKorvelGraphicsContext* pContext = m_pRenderer->GetGraphicsContext();
    if (pContext)
        pContext->Fill(0u, nullptr);
    if (!m_bFinished)
        RenderFilm();
    if (m_bStopped && pContext)
        pContext->Fade(nullptr, m_fFade < 0.0f ? 0.0f : m_fFade > 1.0f ? 1.0f : m_fFade);
    if (m_pButtons)
        m_pButtons->Render();
}

int CMoxIntroState::Update(float fSeconds)
{
    if (!m_pGame || !m_pButtons)
        return 1;
    if (!m_bTouchReleased && !m_pGame->GetContext().MultiTouch.m_bAnyPressed)
        m_bTouchReleased = 1;
    if (m_bTouchReleased)
        m_pButtons->Update(fSeconds);
    if (m_bFinished && !m_pButtons->m_bBusy)
    {
        Unload();
        Remove();
    }
    if (m_bStopped)
    {
        m_fFade -= fSeconds / 3.0f;
        if (m_fFade < 0.0f)
        {
            m_fFade = 0.0f;
            m_bFadeDone = 1;
        }
    }
    return 1;
}

void CMoxIntroState::Skip()
{
    if (m_pGame && m_pGame->GetApp())
        m_pGame->GetApp()->StopMusic();
    m_bFinished = 1;
    m_iNextStateID = STATE_MENU;
}

void CMoxIntroState::Unload()
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pApp)
        return;
    CKorvelSurface** apTextures = m_pGame->GetContext().psrfGameTextures;
    for (int i : kSlots)
    {
        pApp->ReleaseSurface(apTextures[i]);
        apTextures[i] = nullptr;
    }
    for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
    {
        if (!m_abLoaded[i])
            continue;
        pApp->ReleaseSurface(m_apPictures[i]);
        m_apPictures[i] = nullptr;
        m_abLoaded[i] = 0;
    }
}

void CMoxIntroState::RestoreResources()
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pApp)
        return;
    // The overlay is kept through an unload; a second reference would never be given back.
    if (m_pOverlay)
        pApp->ReleaseSurface(m_pOverlay);
    m_pOverlay = pApp->GetSurface(kOverlayName);
    FetchSlots();
    m_iLoadedCount = 0;
    for (int i = 0; i < INTRO_TEXTURE_COUNT; ++i)
    {
        if (m_abLoaded[i])
            pApp->ReleaseSurface(m_apPictures[i]);
        m_apPictures[i] = pApp->GetSurface(INTRO_TEXTURES[i].name);
        m_abLoaded[i] = 1;
        ++m_iLoadedCount;
    }
    if (m_pButtons)
        m_pButtons->RestoreSurfaces();
}

void CMoxIntroState::Deactivate()
{
    if (m_pGame && m_pGame->GetApp())
        m_pGame->GetApp()->StopMusic();
}
