// The editor's picture: sky, alignment lines, the scene and the counters.
#include <GLES2/gl2.h>

#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "game/MoxEditState.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"

namespace
{
const float E = 3.2f; // the camera's world half-width
const float G = E / 8.0f;
const float kEdge = 127.0f * E / 128.0f;
const unsigned int kSkyTop = 0x1FBCD3u;
const unsigned int kSkyBottom = 0xFFA800u;
const unsigned int kWhite = 0xFFFFFFFFu;
const unsigned int kBodyLine = 0x804080A0u;
const unsigned int kTextFlags = TEXT_LEFT_HALF | TEXT_UP_WHOLE;
} // namespace

unsigned int CMoxEditState::BlockCounterColour(int iBlocks)
{
    if (iBlocks <= 50)
        return kWhite;
    if (iBlocks <= 100)
        return 0xFFFFFF56u;
    if (iBlocks < EDIT_BLOCK_LIMIT)
        return 0xFFFF8C26u;
    return 0xFFFF0000u;
}

void CMoxEditState::Draw()
{
    IKorvelGraphicsContext* pContext = m_pRenderer ? m_pRenderer->GetGraphicsContext() : nullptr;
    if (!pContext || !m_pScene)
        return;
    pContext->GradientFill(kSkyTop, kSkyTop, kSkyBottom, kSkyBottom, nullptr);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (m_bGridLines)
    {
        RenderGridLines();
        RenderBodyLines();
    }
    RenderBoundaryLines();
    RenderTargetBodyLines();

    m_pRenderer->BeginRender();
    m_pScene->RenderHelpers();
    m_pScene->RenderBlocksWithShadows(1);
    m_pRenderer->renderWater(1);
    m_pRenderer->EndRender();
    if (!m_bStopped && !m_bCountersHidden)
        RenderCounters();
}

void CMoxEditState::RenderCounters()
{
    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const int iBlocks = m_pScene->m_pBlocks ? m_pScene->m_pBlocks->GetCount() : 0;
    CKorvelString strText;
    strText.Format(L"Blocks: %d/%d", iBlocks, (int)EDIT_BLOCK_LIMIT);
    m_pRenderer->DrawShadowedText((int)(w / 4.0f), (int)h, strText, BlockCounterColour(iBlocks), kTextFlags,
                                  FONT_MAIN);
    strText.Format(L"BB: %d  SB: %d", m_pScene->m_iBlockBatches, m_pScene->m_iShadowBatches);
    m_pRenderer->DrawShadowedText((int)(3.0f * w / 4.0f), (int)h, strText, kWhite, kTextFlags, FONT_MAIN);
}

void CMoxEditState::WorldLine(CKorvelVector2 a, CKorvelVector2 b, unsigned int uColour)
{
    CKorvelVector2 sa, sb;
    CCamera& camera = Camera();
    camera.WorldToScreen(a, &sa);
    camera.WorldToScreen(b, &sb);
    m_pRenderer->GetGraphicsContext()->Line((int)sa.x, (int)sa.y, (int)sb.x, (int)sb.y, uColour, uColour);
}

void CMoxEditState::CrossLines(const CKorvelVector2& centre, unsigned int uColour)
{
    WorldLine(CKorvelVector2(-E, centre.y), CKorvelVector2(E, centre.y), uColour);
    WorldLine(CKorvelVector2(centre.x, -E), CKorvelVector2(centre.x, E), uColour);
}

void CMoxEditState::RenderGridLines()
{
    const unsigned int uBlack = 0xFF000000u;
    for (int k = 0; k < 16; ++k)
    {
        const float x = -E + (float)k * G;
        WorldLine(CKorvelVector2(x, -kEdge), CKorvelVector2(x, kEdge), uBlack);
    }
    for (int k = 0; k < 16; ++k)
    {
        const float y = kEdge - (float)k * G;
        WorldLine(CKorvelVector2(-E, y), CKorvelVector2(E, y), uBlack);
    }
}

void CMoxEditState::RenderBodyLines()
{
    if (!m_pPhysics)
        return;
    for (int i = 0; i < m_pPhysics->m_Bodies.GetCount(); ++i)
        CrossLines(m_pPhysics->m_Bodies[i]->m_vPosition, kBodyLine);
}

void CMoxEditState::RenderBoundaryLines()
{
    IKorvelGraphicsContext* pContext = m_pRenderer->GetGraphicsContext();
    const int w = (int)m_pRenderer->GetScreenWidth(), h = (int)m_pRenderer->GetScreenHeight();
    CCamera& camera = Camera();
    CKorvelVector2 s;
    auto toScreen = [&camera, &s](float x, float y)
    {
        CKorvelVector2 v(x, y);
        camera.WorldToScreen(v, &s);
    };
    toScreen(0.0f, -E / 128.0f);
    pContext->Line(0, (int)s.y, w, (int)s.y, 0xFFFF0000u, 0xFFFF0000u);
    pContext->Line((int)s.x, 0, (int)s.x, h, 0xFFFF0000u, 0xFFFF0000u);
    for (float x : {-kEdge, kEdge})
    {
        toScreen(x, 0.0f);
        pContext->Line((int)s.x, 0, (int)s.x, h, 0xFF00FF00u, 0xFF00FF00u);
    }
    toScreen(0.0f, kEdge);
    pContext->Line(0, (int)s.y, w, (int)s.y, 0xFF0000FFu, 0xFF0000FFu);
}

void CMoxEditState::RenderTargetBodyLines()
{
    if (m_pSelectedBody)
        CrossLines(m_pSelectedBody->m_vPosition, kWhite);
}
