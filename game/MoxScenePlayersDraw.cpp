// The flomps, their stretch and aim dots, and the damage numbers over them.
#include <cmath>

#include "KorvelCommon/KorvelMath.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
const int kTextureAnimations[2] = {4, 5};
const int kTextureStretch[2] = {9, 10};
const int kTextureMarker = 61;
const CKorvel3DColor kWhite(1.0f, 1.0f, 1.0f, 1.0f);
// A flomp is drawn a fifth of its half height above its body (half height / 5), 1.75 times
// its body's size, pulsing by up to 18 %; a hat stands half height / 0.575 higher at 1.846
// times that size.
const float kFlompLiftDivisor = 5.0f;
const float kFlompScale = 1.75f;
const float kWobble = 0.18f;
const float kHatLiftDivisor = 0.575f;
const float kHatScale = 1.8461539f;
} // namespace

void CMoxScene::RenderPlayers()
{
    for (int i = 0; i < 2; ++i)
        RenderPlayerAndStretch(i);
}

void CMoxScene::RenderPlayerAndStretch(int i)
{
    if (i < 0 || i > 1)
        return;
    if (m_Players[i].m_bStretching)
        RenderStretch(i, m_Players[i].m_vStretch);
    else
        RenderPlayer(i);
}

void CMoxScene::RenderPlayer(int i)
{
    CPlayer& player = m_Players[i];
    if (!player.m_bAlive || !player.m_pBody || !m_pRenderer)
        return;
    const CKorvelVector2& half = player.m_pBody->m_vHalfSize;
    CKorvelVector2 size = half;
    size.Scale(kFlompScale);
    CKorvelVector2 position = player.m_pBody->m_vVisualPosition;
    position.y += half.y / kFlompLiftDivisor;
    const unsigned int uMs = m_pGame ? m_pGame->GetTimeStamp() : 0;
    const float fWobble = 1.0f + kWobble * CKorvelMath::Sin((float)i * 3.0f * KE_PI / 4.0f +
                                                            (float)(uMs % 500) / 500.0f * KE_TWO_PI);
    m_pRenderer->renderWobble(position, size, player.m_Color, 0, player.m_iDirection, 10, 1, fWobble,
                              Texture(kTextureAnimations[i]));
    if (player.m_bShowItem)
    {
        position.y += half.y / kHatLiftDivisor;
        size.Scale(kHatScale);
        m_pRenderer->renderWobble(position, size, player.m_Color, 0, 0, 1, 1, fWobble, player.m_pItemSurface);
    }
}

bool CMoxScene::PlayerScreenSpan(int i, float& fLeft, float& fTop, float& fRight, float& fBottom)
{
    if (i < 0 || i > 1 || !m_pRenderer || !m_Players[i].m_pBody)
        return false;
    const CPlayer& player = m_Players[i];
    const float h = player.m_pBody->m_vHalfSize.y;
    const float fMost = 1.0f + kWobble;
    const float y = player.m_pBody->m_vVisualPosition.y + h / kFlompLiftDivisor;
    float fHigh = y + kFlompScale * h * fMost;
    if (player.m_bShowItem)
        fHigh = y + h / kHatLiftDivisor + kHatScale * kFlompScale * h * fMost;
    // The hat is the wider when worn.
    const float fHalfWidth =
        kFlompScale * player.m_pBody->m_vHalfSize.x * fMost * (player.m_bShowItem ? kHatScale : 1.0f);
    const float x = player.m_pBody->m_vVisualPosition.x;
    CKorvelVector2 topLeft(x - fHalfWidth, fHigh), bottomRight(x + fHalfWidth, y - kFlompScale * h * fMost);
    CKorvelVector2 screenTopLeft, screenBottomRight;
    m_pRenderer->m_Camera.WorldToScreen(topLeft, &screenTopLeft);
    m_pRenderer->m_Camera.WorldToScreen(bottomRight, &screenBottomRight);
    fLeft = screenTopLeft.x;
    fTop = screenTopLeft.y;
    fRight = screenBottomRight.x;
    fBottom = screenBottomRight.y;
    return true;
}

void CMoxScene::RenderStretch(int i, CKorvelVector2 v)
{
    CPlayer& player = m_Players[i];
    if (!player.m_bAlive || !player.m_pBody || !m_pRenderer)
        return;
    CKorvelVector2 size = player.m_pBody->m_vHalfSize;
    size.Scale(1.75f);
    const float fWidth = m_pRenderer->m_Camera.m_vScreenSize.x;
    if (fWidth > 0.0f)
        v.SetLength(v.Length() + 2.0f * player.m_vStretchPad.x / fWidth);
    m_pRenderer->renderStretch(player.m_pBody->m_vPosition, size, player.m_Color, v,
                               Texture(kTextureStretch[i]));
    if (player.m_bShowAim)
        RenderAim(i);
}

int CMoxScene::AimDotCount(const CKorvelVector2& stretch)
{
    const int n = (int)(stretch.Length() / 0.4f * 10.0f + 1.0f);
    return n < 1 ? 1 : (n > 10 ? 10 : n);
}

void CMoxScene::RenderAim(int i)
{
    CPlayer& player = m_Players[i];
    if (!player.m_bStretching || !player.m_pBody || !m_pRenderer)
        return;
    const int n = AimDotCount(player.m_vStretch);
    CKorvelVector2 u(-player.m_vAim.x, -player.m_vAim.y);
    u.Normalize();
    CKorvelVector2 dot = player.m_pBody->m_vPosition;
    dot.x += 0.1f * u.x;
    dot.y += 0.1f * u.y;
    for (int d = 0; d < n; ++d)
    {
        m_pRenderer->renderWorldAnimation(dot, CKorvelVector2(0.02f, 0.02f), kWhite, d, 0, 16, 1,
                                          Texture(kTextureMarker));
        dot.x += 0.06f * u.x;
        dot.y += 0.06f * u.y;
    }
}

int CMoxScene::ClearOfZoomBar(int x, const CKorvelString& strText)
{
    const float H = m_pRenderer->GetScreenHeight();
    const int iBarRight = (int)std::ceil((ZOOM_BAR_CENTRE_X + ZOOM_BAR_HALF_WIDTH) * H);
    const int iLeftmost = iBarRight + m_pRenderer->TextWidth(strText, FONT_MAIN) / 2;
    return x < iLeftmost ? iLeftmost : x;
}

void CMoxScene::RenderPlayersInfo()
{
    if (!m_pRenderer)
        return;
    CKorvelBitmapFont* pFont = m_pGame ? m_pGame->GetContext().pfntGameFonts : nullptr;
    const int iLine = pFont ? (int)pFont->GetLineHeight() : 0;
    for (CPlayer& player : m_Players)
    {
        if (!player.m_bShowInfo || !player.m_pBody)
            continue;
        if (player.m_bAlive && player.m_pBody->m_vPosition.y >= 0.0f)
            player.m_vInfoAnchor = player.m_pBody->m_vPosition;
        const float fHalfHeight = player.m_pBody->m_vHalfSize.y;
        CKorvelVector2 anchor = player.m_vInfoAnchor;
        if (anchor.y < 0.0f)
            anchor.y = 0.0f;

        CKorvelVector2 world(anchor.x, anchor.y + fHalfHeight + player.m_fInfoRise), screen;
        m_pRenderer->m_Camera.WorldToScreen(world, &screen);
        int y = (int)screen.y;
        for (int iDamage : player.m_iDamage)
        {
            if (iDamage <= 0)
                continue;
            y -= iLine;
            CKorvelString strText;
            strText.Format(L"-%d", iDamage);
            m_pRenderer->DrawShadowedText(ClearOfZoomBar((int)screen.x, strText), y, strText, 0xFFFFFFFFu,
                                          TEXT_UP_WHOLE | TEXT_LEFT_HALF, FONT_MAIN);
        }
        world.Set(anchor.x, anchor.y - 2.0f * fHalfHeight);
        m_pRenderer->m_Camera.WorldToScreen(world, &screen);
        CKorvelString strHealth;
        strHealth.Format(L"%d", player.m_iHealth);
        m_pRenderer->DrawShadowedText(ClearOfZoomBar((int)screen.x, strHealth), (int)screen.y, strHealth,
                                      0xFFFFFFFFu, 0x200u | TEXT_LEFT_HALF,
                                      FONT_MAIN); // 0x200 places nothing
    }
}
