// What the match screen's buttons do, and the overlays drawn with them: the marker behind
// the selected action and the zoom bar.
#include "Framework/Shell/VornApplication.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
enum : int
{
    TEXTURE_PLAYER_BACKGROUND = 6,
    TEXTURE_BOMB_NONE = 23,
    TEXTURE_ZOOM_BAR = 67,
    TEXTURE_ZOOM_INDICATOR = 68
};
const int kActionOfButton[PLAY_BUTTON_COUNT] = {
    -1, -1, ACTION_JUMP, ACTION_FIRE, ACTION_STICKY, ACTION_WHIP, -1, -1, -1, -1, -1, -1, -1, -1};
} // namespace

void CMoxPlayState::ButtonReleased(CMoxButton* pButton)
{
    if (!pButton)
        return;
    const int iID = pButton->m_iID;
    CPlayer* pOwn = m_pLiveScene && (m_iOwnPlayer == 0 || m_iOwnPlayer == 1)
                        ? &m_pLiveScene->m_Players[m_iOwnPlayer]
                        : nullptr;
    if (m_bQuitDialog && (iID == PLAY_BUTTON_QUIT_YES || iID == PLAY_BUTTON_QUIT_NO))
    {
        m_bQuitDialog = 0;
        ShowButton(PLAY_BUTTON_QUIT_YES, false);
        ShowButton(PLAY_BUTTON_QUIT_NO, false);
        if (iID == PLAY_BUTTON_QUIT_YES)
            LeaveGame();
        return;
    }
    switch (iID)
    {
    case PLAY_BUTTON_QUIT:
        m_bQuitDialog = m_bQuitDialog ? 0 : 1;
        ShowButton(PLAY_BUTTON_QUIT_YES, m_bQuitDialog != 0);
        ShowButton(PLAY_BUTTON_QUIT_NO, m_bQuitDialog != 0);
        break;
    case PLAY_BUTTON_RESTART:
        if (m_bSinglePlayer && m_bStarted)
        {
            m_bQuickStart = 1;
            LoadGame(0, m_iSceneIndex, 0, 0);
        }
        break;
    case PLAY_BUTTON_READY:
        if (m_ePlayState != PLAYSTATE_BETWEEN_ROUNDS || m_bReadySent || m_bQuitDialog)
            break;
        if (!m_bSinglePlayer)
        {
            PlayerReady(m_iOwnPlayer);
            m_bReadySent = 1;
        }
        else
        {
            m_bQuickStart = 1;
            LoadGame(0, m_iSceneIndex, 0, 0);
        }
        break;
    case PLAY_BUTTON_JUMP:
    case PLAY_BUTTON_FIRE:
    case PLAY_BUTTON_STICKY:
    case PLAY_BUTTON_WHIP:
    {
        if (!pOwn)
            break;
        pOwn->m_iSelectedAction = kActionOfButton[iID];
        if (m_bSinglePlayer)
        {
            const CKorvelString* aHelp[4] = {&m_strHelpJump, &m_strHelpFire, &m_strHelpSticky,
                                             &m_strHelpWhip};
            MentorDialog(*aHelp[pOwn->m_iSelectedAction]);
        }
        break;
    }
    case PLAY_BUTTON_SPECIAL:
        if (!pOwn)
            break;
        pOwn->m_iSelectedAction = ACTION_FIRE;
        if (!m_bSpecialUsed && pOwn->m_bHasCluster)
            pOwn->m_iSelectedAction = ACTION_CLUSTER;
        if (!m_bSpecialUsed && pOwn->m_bHasSnow)
            pOwn->m_iSelectedAction = ACTION_SNOW;
        if (m_bSinglePlayer && pOwn->m_iSelectedAction == ACTION_SNOW)
            MentorDialog(m_strHelpSnow);
        else if (m_bSinglePlayer && pOwn->m_iSelectedAction == ACTION_CLUSTER)
            MentorDialog(m_strHelpCluster);
        break;
    case PLAY_BUTTON_CHAT_LEFT:
    case PLAY_BUTTON_CHAT_RIGHT:
        if (m_pGame)
            m_pGame->GetContext().MultiTouch.m_Touches[0].released = 0;
        if (!m_bSinglePlayer && m_pGame && m_pGame->GetApp())
            m_pGame->GetApp()->OnGameplayEnd(0);
        break;
    case PLAY_BUTTON_CONTINUE:
        if (!m_bSinglePlayer)
            Rematch(1);
        else if (m_iResult == m_iOwnPlayer)
            LeaveGame();
        else
        {
            m_bQuickStart = 1;
            LoadGame(0, m_iSceneIndex, 0, 0);
        }
        break;
    default:
        break;
    }
}

void CMoxPlayState::RenderControls()
{
    if (!m_pButtons || !m_pRenderer || !m_pGame)
        return;
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const CKorvel3DColor white(0xFFFFFFFFu);
    const int iAction = m_pLiveScene && (m_iOwnPlayer == 0 || m_iOwnPlayer == 1)
                            ? m_pLiveScene->m_Players[m_iOwnPlayer].m_iSelectedAction
                            : -1;
    const int aButtonOfAction[ACTION_COUNT] = {PLAY_BUTTON_JUMP, PLAY_BUTTON_FIRE,    PLAY_BUTTON_STICKY,
                                               PLAY_BUTTON_WHIP, PLAY_BUTTON_SPECIAL, PLAY_BUTTON_SPECIAL};
    if (iAction >= 0 && iAction < ACTION_COUNT)
        if (CMoxButton* pSelected = m_pButtons->GetButtonByID(aButtonOfAction[iAction]))
        {
            const CKorvelRect<float>& rc = pSelected->m_rcHit;
            const CKorvelVector2 centre(0.5f * (rc.left + rc.right), 0.5f * (rc.top + rc.bottom));
            const CKorvelVector2 half(0.75f * (rc.right - rc.left), 0.75f * (rc.bottom - rc.top));
            m_pRenderer->renderScreenQuad(centre, half, apTextures[TEXTURE_PLAYER_BACKGROUND], white);
        }
    if (!m_pButtons->GetButtonByID(PLAY_BUTTON_SPECIAL))
    {
        const CKorvelRect<float>& rc = m_rcButtons[PLAY_BUTTON_SPECIAL];
        const float W = m_pRenderer->GetScreenWidth(), u = W / 30.0f;
        const CKorvelVector2 centre =
            rc.right > rc.left ? CKorvelVector2(0.5f * (rc.left + rc.right), 0.5f * (rc.top + rc.bottom))
                               : CKorvelVector2(0.5f * W + 6.0f * u, 1.5f * u);
        m_pRenderer->renderScreenQuad(centre, CKorvelVector2(u, u), apTextures[TEXTURE_BOMB_NONE], white);
    }
    CMoxButton* pReady = m_pButtons->GetButtonByID(PLAY_BUTTON_READY);
    if (pReady)
    {
        if (m_ePlayState == PLAYSTATE_BETWEEN_ROUNDS && !m_bReadySent && !m_bQuitDialog)
            pReady->m_bVisible = 1;
        else
        {
            pReady->m_bVisible = 0;
            pReady->SetState(BUTTON_IDLE);
            pReady->m_fPressScale = 1.0f;
        }
    }
}

float CMoxPlayState::ZoomIndicatorY(float fZoom, float fHeight)
{
    float fOver = fZoom - CAMERA_ZOOM_MIN;
    fOver = fOver < 0.04125f ? 0.04125f : fOver > 0.65875f ? 0.65875f : fOver;
    return 0.75f * fHeight - fOver / (CAMERA_ZOOM_MAX - CAMERA_ZOOM_MIN) * 0.5f * fHeight;
}

void CMoxPlayState::RenderZoomBar()
{
    if (!m_pRenderer || !m_pGame)
        return;
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const CKorvel3DColor white(0xFFFFFFFFu);
    const float H = m_pRenderer->GetScreenHeight();
    const float x = ZOOM_BAR_CENTRE_X * H, fHalfWidth = ZOOM_BAR_HALF_WIDTH * H;
    m_pRenderer->renderScreenQuad(CKorvelVector2(x, ZOOM_BAR_CENTRE_Y * H),
                                  CKorvelVector2(fHalfWidth, ZOOM_BAR_HALF_HEIGHT * H),
                                  apTextures[TEXTURE_ZOOM_BAR], white);
    m_pRenderer->renderScreenQuad(CKorvelVector2(x, ZoomIndicatorY(m_pRenderer->m_Camera.m_fZoom, H)),
                                  CKorvelVector2(fHalfWidth, fHalfWidth), apTextures[TEXTURE_ZOOM_INDICATOR],
                                  white);
}
