// The match screen's picture: the waiting screen before a network match is loaded, else
// the sky, the backgrounds, the scene, the shots, the overlays and the quit question.
#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "game/MoxBlock.h"
#include "game/MoxParticles.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

const unsigned int BACKGROUND_GRADIENTS[10][2] = {
    {0xFEA800, 0x20BCD2}, {0x20BCD2, 0x002F5F}, {0xFF75AC, 0x20BCD2}, {0xC6F6FF, 0x74DDFF},
    {0x8BCFFF, 0x38005B}, {0x8BCFFF, 0xB764B0}, {0xFFDC71, 0xB764B0}, {0xFFDC71, 0x003391},
    {0x008AFF, 0x002C51}, {0xFFEA00, 0xC63D00}};

namespace
{
enum : int
{
    TEX_TITLE = 0,
    TEX_LOADER = 1,
    TEXTURE_BATTLE = 2,
    TEXTURE_UNIQUE = 3,
    TEXTURE_ANIMATIONS0 = 4,
    TEXTURE_PLAYER_BACKGROUND = 6,
    TEXTURE_PROJECTILE_RED = 17,
    TEXTURE_PROJECTILE_BLUE = 18,
    TEXTURE_PROJECTILE_STICKY = 19,
    TEXTURE_PROJECTILE_SNOW = 20
};
const unsigned int kWhite = 0xFFFFFFFFu;
const int kTextWaiting = 11;
// The quit question: one wording for a match and a lesson.
const int kTextQuit1 = 12;
const int kTextQuit2 = 13;

IKorvelGraphicsContext* Context(CMoxRenderer* pRenderer, CStateGame* pGame)
{
    IKorvelGraphicsContext* p = pRenderer ? pRenderer->GetGraphicsContext() : nullptr;
    if (!p && pGame && pGame->GetApp())
        p = pGame->GetApp()->GetBack();
    return p;
}
} // namespace

void CMoxPlayState::Draw()
{
    if (!m_pRenderer || !m_pGame)
        return;
    IKorvelGraphicsContext* pContext = Context(m_pRenderer, m_pGame);
    if (m_ePlayState == PLAYSTATE_LEFT || m_bLeave)
    {
        if (pContext)
            pContext->Fade(nullptr, 0.0f);
        return;
    }
    if (!m_bSinglePlayer && (m_ePlayState == PLAYSTATE_RESET || m_ePlayState == PLAYSTATE_LOADED))
    {
        RenderWaitingScreen();
        return;
    }
    m_pScene = m_bSimulating && m_pBackupScene ? m_pBackupScene : m_pLiveScene;
    m_pRenderer->m_Camera.SetScene(m_pScene);
    const unsigned int* pPair =
        BACKGROUND_GRADIENTS[m_iBackground >= 0 && m_iBackground < 10 ? m_iBackground : 0];
    const unsigned int uAlpha = m_bNoAlphaBuffer ? 0xFF000000u : 0u;
    const unsigned int uTop = pPair[1] | uAlpha, uBottom = pPair[0] | uAlpha;
    if (pContext)
        pContext->GradientFill(uTop, uTop, uBottom, uBottom, nullptr);
    RenderBackground();
    if (m_pScene)
    {
        m_pScene->RenderHelpers();
        m_pScene->RenderBlocksWithShadows(m_bNoAlphaBuffer ? 0 : 1);
    }
    RenderPlayers();
    RenderProjectiles();
    m_pRenderer->renderWater(0);
    if (m_pScene)
        m_pScene->RenderPlayersInfo();
    if (m_pExplosions && !m_bSimulating)
        m_pExplosions->Render();
    RenderInformation();
    RenderStatus();
    RenderControls();
    RenderZoomBar();
    if (m_pGame->GetChat())
        m_pGame->GetChat()->Render();
    if (m_bQuitDialog)
        RenderQuitQuestion();
    if (m_pButtons)
        m_pButtons->Render();
    m_pScene = m_pLiveScene;
    m_pRenderer->m_Camera.SetScene(m_pScene);
}

void CMoxPlayState::RenderWaitingScreen()
{
    IKorvelGraphicsContext* pContext = Context(m_pRenderer, m_pGame);
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const float W = m_pRenderer->GetScreenWidth(), H = m_pRenderer->GetScreenHeight();
    const CKorvel3DColor white(kWhite);
    m_pRenderer->renderScreenQuad(CKorvelVector2(0.5f * W, 0.5f * H), CKorvelVector2(0.5f * W, 0.5f * H),
                                  apTextures[TEX_TITLE], white);
    if (pContext)
        pContext->Fade(nullptr, 0.2f);
    m_pRenderer->renderScreenRotation(CKorvelVector2(0.5f * W, 0.5f * H),
                                      CKorvelVector2(W / 15.0f, W / 15.0f), white, 0, 0, 1, 1, m_fTime * 3.0f,
                                      apTextures[TEX_LOADER]);
    if (CVornLanguage* pLanguage = m_pGame->GetGameLanguage())
        m_pRenderer->DrawShadowedText(0, 0, pLanguage->GetText(kTextWaiting), kWhite, 131, FONT_MAIN);
    if (m_pGame->GetChat())
        m_pGame->GetChat()->Render();
    if (m_bQuitDialog)
        RenderQuitQuestion();
    if (m_pButtons)
        m_pButtons->Render();
}

void CMoxPlayState::RenderQuitQuestion()
{
    IKorvelGraphicsContext* pContext = Context(m_pRenderer, m_pGame);
    if (pContext)
        pContext->Fade(nullptr, 0.2f);
    CVornLanguage* pLanguage = m_pGame->GetGameLanguage();
    CKorvelBitmapFont* pFont = m_pGame->GetContext().pfntGameFonts;
    if (!pLanguage)
        return;
    const float H = m_pRenderer->GetScreenHeight();
    const float fLine = pFont ? 0.9f * (float)pFont->GetLineHeight() : H / 20.0f;
    // The two lines end together at 0.4 of the height.
    m_pRenderer->DrawShadowedText(0, (int)(0.4f * H - 2.0f * fLine), pLanguage->GetText(kTextQuit1), kWhite,
                                  TEXT_CENTRE_X | 0x80u, FONT_MAIN);
    m_pRenderer->DrawShadowedText(0, (int)(0.4f * H - fLine), pLanguage->GetText(kTextQuit2), kWhite,
                                  TEXT_CENTRE_X | 0x80u, FONT_MAIN);
}

void CMoxPlayState::RenderBackground()
{
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const CCamera& camera = m_pRenderer->m_Camera;
    const float G = camera.m_fGridSize, X = camera.m_vPosition.x;
    const CKorvel3DColor white(kWhite);
    m_pRenderer->renderBackgroundQuad(CKorvelVector2(X / -1.5f, 0.0f), CKorvelVector2(0.57f * G, 0.57f * G),
                                      apTextures[TEXTURE_UNIQUE], white, m_bNoAlphaBuffer);
    const float aX[3] = {-0.5f * X - 1.4f * G, -0.5f * X + 1.4f * G, -0.5f * X};
    for (float x : aX)
        m_pRenderer->renderBackgroundQuad(CKorvelVector2(x, 0.0f), CKorvelVector2(0.7f * G, 0.35f * G),
                                          apTextures[TEXTURE_BATTLE], white, m_bNoAlphaBuffer);
}

void CMoxPlayState::RenderProjectiles()
{
    if (!m_pScene)
        return;
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const unsigned int uMs = (unsigned int)GetTimeStamp();
    const CKorvel3DColor white(kWhite);
    for (int p = 0; p < 2; ++p)
        for (int j = 0; j < PLAYER_PROJECTILES; ++j)
        {
            const Projectile* pShot = m_pScene->m_Players[p].m_pProjectiles[j];
            if (!pShot || !pShot->m_pBody)
                continue;
            const float fPulse =
                2.2f + 0.25f * (1.0f + CKorvelMath::Sin((float)j * KE_PI / 2.0f +
                                                        KE_TWO_PI * (float)(uMs % 400) / 400.0f));
            CKorvelVector2 half = pShot->m_pBody->m_vHalfSize;
            half.Scale(fPulse);
            CKorvelVector2 position = pShot->m_pBody->m_vVisualPosition;
            int iTexture = p == 0 ? TEXTURE_PROJECTILE_RED : TEXTURE_PROJECTILE_BLUE;
            if (pShot->m_eType == PROJECTILE_STICKY || pShot->m_eType == PROJECTILE_CLUSTER)
                iTexture = TEXTURE_PROJECTILE_STICKY;
            else if (pShot->m_eType == PROJECTILE_SNOW)
                iTexture = TEXTURE_PROJECTILE_SNOW;
            const bool bSticks = pShot->m_eType == PROJECTILE_STICKY ||
                                 pShot->m_eType == PROJECTILE_CLUSTER || pShot->m_eType == PROJECTILE_SNOW;
            if (bSticks && pShot->m_iTarget >= 0 && m_pScene->m_pBlocks)
                if (const CBlock* pBlock = m_pScene->m_pBlocks->GetBlockByID(pShot->m_iTarget))
                {
                    position.x += pBlock->m_vWobble.x;
                    position.y += pBlock->m_vWobble.y;
                }
            m_pRenderer->renderWorldAnimation(position, half, white, 0, 0, 1, 1, apTextures[iTexture]);
        }
}

void CMoxPlayState::RenderPlayers()
{
    if (!m_pScene)
        return;
    if (m_iResult == 0 || m_iResult == 1)
        m_pScene->m_Players[m_iResult].m_iDirection = 8;
    if (m_iTurnPlayer != 0 && m_iTurnPlayer != 1)
    {
        m_pScene->RenderPlayers();
        return;
    }
    m_pScene->RenderPlayerAndStretch(1 - m_iTurnPlayer);
    CPlayer& turn = m_pScene->m_Players[m_iTurnPlayer];
    if (m_ePlayState == PLAYSTATE_OWN_TURN && m_bStarted && !m_bActionTaken && turn.m_pBody)
    {
        CKorvelVector2 vScreen;
        m_pRenderer->m_Camera.WorldToScreen(turn.m_pBody->m_vPosition, &vScreen);
        m_pRenderer->renderScreenQuad(vScreen, turn.m_vStretchPad,
                                      m_pGame->GetContext().psrfGameTextures[TEXTURE_PLAYER_BACKGROUND],
                                      CKorvel3DColor(kWhite));
    }
    m_pScene->RenderPlayerAndStretch(m_iTurnPlayer);
}

void CMoxPlayState::RenderStatus()
{
    if (!m_pScene)
        return;
    IKorvelGraphicsContext* pContext = Context(m_pRenderer, m_pGame);
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const float W = m_pRenderer->GetScreenWidth(), H = m_pRenderer->GetScreenHeight(), S = W / 30.0f;
    if (pContext)
    {
        const CKorvelRect<float> band(0.0f, H - 2.1f * S, W, H);
        pContext->Fade(&band, 0.75f);
    }
    const unsigned int uMs = (unsigned int)GetTimeStamp();
    const float fWobble = 1.0f + 0.18f * CKorvelMath::Sin(KE_TWO_PI * (float)(uMs % 500) / 500.0f);
    const CKorvel3DColor white(kWhite);
    const float y = H - 1.05f * S;
    for (int i = 0; i < 2; ++i)
    {
        const CPlayer& player = m_pScene->m_Players[i];
        // Player 0 on the left, player 1 mirrored on the right.
        const float x = i == 0 ? 3.0f * S : W - 3.0f * S;
        const float fInward = i == 0 ? 1.0f : -1.0f;
        const CKorvelVector2 portrait(x, y), half(0.9f * S, 0.9f * S);
        if (i == m_iOwnPlayer && m_ePlayState == PLAYSTATE_OWN_TURN && !m_bOwnTurnPlayed)
            m_pRenderer->renderScreenQuad(portrait, CKorvelVector2(S, S),
                                          apTextures[TEXTURE_PLAYER_BACKGROUND], white);
        m_pRenderer->renderScreenWobble(portrait, half, player.m_Color, 0, player.m_iDirection, 10, 1,
                                        fWobble, apTextures[TEXTURE_ANIMATIONS0 + i]);
        if (player.m_bShowItem && player.m_pItemSurface)
            m_pRenderer->renderScreenWobble(CKorvelVector2(x, y - 0.9f * S), half, white, 0, 0, 1, 1, fWobble,
                                            player.m_pItemSurface);
        const int xText = (int)(x + fInward * 1.5f * S);
        m_pRenderer->DrawShadowedText(xText, (int)(y - 0.4f * S), player.m_strName, kWhite,
                                      (i == 0 ? 0u : TEXT_LEFT_WHOLE) | TEXT_UP_HALF | 0x80u, FONT_MAIN);
        if (player.m_bAlive)
        {
            CKorvelString strHealth;
            strHealth.Format(L"%d", player.m_iHealth);
            m_pRenderer->DrawShadowedText(xText, (int)(y + 0.4f * S), strHealth, kWhite,
                                          (i == 0 ? 0u : TEXT_LEFT_WHOLE) | TEXT_UP_HALF | 0x80u, FONT_MAIN);
        }
        if (i == m_iTurnPlayer && m_bStarted && !m_bRoundEnded)
            m_pRenderer->renderScreenRotation(CKorvelVector2(x - fInward * 1.6f * S, y),
                                              CKorvelVector2(0.5f * S, 0.5f * S), white, 0, 0, 1, 1,
                                              m_fTime * 3.0f, apTextures[TEX_LOADER]);
    }
}
