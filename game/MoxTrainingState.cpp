#include "game/MoxTrainingState.h"

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornStatistics.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "game/MoxScreenHelpers.h"

#include <algorithm>

namespace
{
const int kTextureExits = 11;
const int kTextureScene = 65;
const unsigned int kMessageFlags = TEXT_CENTRE_X | 0x80u | TEXT_UP_HALF;
const char* const kShowedComplete = "showedtrainingcomplete";
// The grid's unit: a twentieth of the width, but from the middle down no more than the half
// height holds (the bottom row's lower edge 3.7 units below the middle, then the exit's two
// units), so that on wide windows the exit stays clear of the tiles and the outer columns
// clear of the title's flomps.
const float kUnitsAcross = 20.0f;
const float kUnitsBelowMiddle = 5.7f;
} // namespace

CMoxTrainingState::CMoxTrainingState()
    : m_pParticles(nullptr), m_fTime(0.0f), m_bLeaving(0), m_pButtons(nullptr), m_bProgress(0),
      m_fMessageTime(0.0f)
{
}

CMoxTrainingState::~CMoxTrainingState()
{
    Shutdown();
}

int CMoxTrainingState::Startup(CStateGame* pGame)
{
    CMoxState::Startup(pGame);
    m_iStateID = STATE_TRAINING;
    m_fTime = 0.0f;
    m_bLeaving = m_bProgress = 0;
    m_fMessageTime = 0.0f;
    m_pButtons = MoxNewButtons(m_pRenderer, this);
    m_pParticles = MoxNewParticles(pGame, PARTICLE_COUNT);
    InitControls();
    return 1;
}

void CMoxTrainingState::Shutdown()
{
    delete m_pParticles;
    m_pParticles = nullptr;
    delete m_pButtons;
    m_pButtons = nullptr;
}

void CMoxTrainingState::InitControls()
{
    if (!m_pButtons || !m_pRenderer || !m_pGame)
        return;
    m_pButtons->Clear();
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const float u = std::min(w / kUnitsAcross, 0.5f * h / kUnitsBelowMiddle);
    for (int i = 0; i < TRAINING_SCENE_COUNT; ++i)
    {
        const int iRow = i / 5, iColumn = i % 5;
        CMoxButton* b = m_pButtons->AddButton(CKorvelVector2(0.5f * w - 4.0f * u + 2.0f * u * (float)iColumn,
                                                             0.5f * h - 1.5f * u + 2.1f * u * (float)iRow),
                                              CKorvelVector2(u, u), kTextureScene, BUTTON_SCENE, i);
        b->m_strLabel.Format(L"%d", b->m_iUserValue + 1);
        b->m_bShowLabel = 1;
        if (i > 0 && !m_pGame->IsSceneCleared(i - 1))
            b->m_bDimmed = 1;
        if (i == 0 && m_pGame->IsSceneCleared(0))
            m_bProgress = 1;
        if (i == TRAINING_SCENE_COUNT - 1 && m_pGame->IsSceneCleared(i) && !ShowedTrainingComplete())
        {
            m_fMessageTime = MESSAGE_SECONDS;
            SetShowedTrainingComplete();
        }
    }
    if (!m_bProgress)
        m_fMessageTime = MESSAGE_SECONDS;
    m_pButtons->AddButton(CKorvelVector2(0.5f * w, h - u), CKorvelVector2(u, u), kTextureExits, BUTTON_BACK,
                          0);
    // A touch in the very first update must not choose a scene under the message either.
    EnableButtons();
}

void CMoxTrainingState::OnScreenChanged(int, int)
{
    // A message already showing keeps its time: it does not start again.
    const float fMessageTime = m_fMessageTime;
    InitControls();
    m_fMessageTime = fMessageTime;
    if (m_pButtons)
        EnableButtons();
}

int CMoxTrainingState::ShowedTrainingComplete()
{
    CVornStatistics* pStats = m_pGame && m_pGame->GetApp() ? m_pGame->GetApp()->GetStatistics() : nullptr;
    return pStats && pStats->GetProperty(CKorvelString(kShowedComplete)) ? 1 : 0;
}

void CMoxTrainingState::SetShowedTrainingComplete()
{
    CVornStatistics* pStats = m_pGame && m_pGame->GetApp() ? m_pGame->GetApp()->GetStatistics() : nullptr;
    if (!pStats)
        return;
    bool bAdded = false;
    CVornStatisticsProperty* pProperty = pStats->FindOrAddProperty(CKorvelString(kShowedComplete), &bAdded);
    if (!pProperty)
        return;
    pProperty->SetBool(1);
    if (bAdded)
        pStats->WriteStatistics();
}

void CMoxTrainingState::EnableButtons()
{
    const unsigned int bEnabled = m_fMessageTime > 0.0f ? 0 : 1;
    for (int i = 0; i < m_pButtons->GetCount(); ++i)
    {
        CMoxButton* b = m_pButtons->GetAt(i);
        b->m_bEnabled = b->m_iID == BUTTON_BACK ? 1 : bEnabled;
    }
}

int CMoxTrainingState::Update(float fSeconds)
{
    if (!m_pGame || !m_pButtons)
        return 1;
    if (!m_pGame->m_bVolumeTouched)
    {
        m_pButtons->Update(fSeconds);
        m_pParticles->Update(fSeconds);
    }
    if (m_bLeaving && !m_pButtons->m_bBusy)
    {
        if (CVornApplication* pApp = m_pGame->GetApp())
            pApp->StopMusic();
        Remove();
    }
    if (m_fMessageTime > 0.0f)
        m_fMessageTime -= fSeconds;
    else
        m_fMessageTime = -1.0f;
    if (m_pGame->GetContext().MultiTouch.m_bAnyPressed && m_fMessageTime > 1.0f)
        m_fMessageTime = 1.0f;
    EnableButtons();
    m_fTime += fSeconds;
    return 1;
}

void CMoxTrainingState::Draw()
{
    if (!m_pGame || !m_pRenderer)
        return;
    MoxRenderTitle(m_pGame, m_pRenderer);
    if (m_pParticles)
        m_pParticles->Draw();
    if (m_pButtons)
        m_pButtons->Render();
    if (m_fMessageTime > 0.0f)
        RenderMessage();
}

void CMoxTrainingState::RenderMessage()
{
    const float t = m_fMessageTime;
    const unsigned int uAlpha = t >= 1.0f ? 255u : (unsigned int)(t * 255.0f);
    float f = 0.35f;
    if (t <= 1.0f)
    {
        f = 1.35f - t;
        f = f > 1.0f ? 1.0f : f < 0.0f ? 0.0f : f;
    }
    IKorvelGraphicsContext* pContext = m_pRenderer->GetGraphicsContext();
    const CKorvelRect<float> whole(0.0f, 0.0f, 1.0f, 1.0f);
    if (pContext)
        pContext->Fade(&whole, f + 0.4f);

    // Without the game's font the message is the dimmed screen alone.
    const CKorvelBitmapFont* pFont = m_pGame->GetContext().pfntGameFonts;
    if (!pFont)
        return;
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const int iFirst = m_bProgress ? TEXT_COMPLETE : TEXT_WELCOME;
    const CKorvelString astrTexts[2] = {MoxGameText(m_pGame, iFirst), MoxGameText(m_pGame, iFirst + 1)};
    float H = 0.0f;
    for (const CKorvelString& strText : astrTexts)
    {
        CKorvelRect<int> rect(0, 0, (int)(0.9f * w), 0);
        pFont->CalcRect(rect, strText);
        H += (float)rect.GetHeight();
    }
    const CKorvelRect<float> band(0.0f, 0.5f - H / h, 1.0f, 0.5f + H / h);
    if (pContext)
        pContext->Fade(&band, f);
    const unsigned int uColour = (uAlpha << 24) | 0xFFFFFFu;
    m_pRenderer->DrawShadowedText((int)(0.5f * w), (int)(0.5f * h - 0.5f * H), astrTexts[0], uColour,
                                  kMessageFlags, FONT_MAIN);
    m_pRenderer->DrawShadowedText((int)(0.5f * w), (int)(0.5f * h + 0.5f * H), astrTexts[1], uColour,
                                  kMessageFlags, FONT_MAIN);
}

void CMoxTrainingState::RestoreResources()
{
    if (m_pButtons)
        m_pButtons->RestoreSurfaces();
}

void CMoxTrainingState::OnBackButton()
{
    m_iNextStateID = STATE_MENU;
    m_bLeaving = 1;
}

void CMoxTrainingState::ButtonReleased(CMoxButton* pButton)
{
    if (!pButton)
        return;
    if (pButton->m_iID == BUTTON_BACK)
        OnBackButton();
    else if (pButton->m_iID == BUTTON_SCENE)
    {
        SetUserInt(pButton->m_iUserValue);
        m_bLeaving = 1;
        m_iNextStateID = STATE_PLAY;
    }
}
