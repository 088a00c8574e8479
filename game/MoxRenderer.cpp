#include "game/MoxRenderer.h"

#include <GLES2/gl2.h>

#include "Framework/Shell/VornApplication.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "game/MoxShader.h"
#include "game/StateGame.h"

namespace
{
const float kWaterHalfWidth = 6.75f;
const float kWaveHalfHeight = 0.05f;

// The state of every quad draw: no buffers, no depth test or writes, no culling (the
// quads run clockwise and the engine's target starts culling back faces), blending on,
// the sampler on unit 0 and both arrays on. The caller sets the blend function.
void BeginQuads(int iPosition, int iUV0, int iTexture0)
{
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    if (iTexture0 >= 0)
        glUniform1i(iTexture0, 0);
    if (iPosition >= 0)
        glEnableVertexAttribArray(GLuint(iPosition));
    if (iUV0 >= 0)
        glEnableVertexAttribArray(GLuint(iUV0));
    glActiveTexture(GL_TEXTURE0);
}

void DrawFan(int iPosition, int iUV0, const CMoxRenderer::sQuadVertex* pQuad)
{
    const GLsizei iStride = sizeof(CMoxRenderer::sQuadVertex);
    if (iPosition >= 0)
        glVertexAttribPointer(GLuint(iPosition), 3, GL_FLOAT, GL_FALSE, iStride, &pQuad[0].x);
    if (iUV0 >= 0)
        glVertexAttribPointer(GLuint(iUV0), 2, GL_FLOAT, GL_FALSE, iStride, &pQuad[0].u);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

void EndQuads(int iPosition, int iUV0)
{
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (iPosition >= 0)
        glDisableVertexAttribArray(GLuint(iPosition));
    if (iUV0 >= 0)
        glDisableVertexAttribArray(GLuint(iUV0));
}

void SetVertex(CMoxRenderer::sQuadVertex& v, float x, float y, float z, float u, float fv)
{
    v.x = x;
    v.y = y;
    v.z = z;
    v.u = u;
    v.v = fv;
}
} // namespace

CMoxRenderer::CMoxRenderer()
    : m_pWaterShader(nullptr), m_pBlockShader(nullptr), m_pFlompShader(nullptr), m_pScreenShader(nullptr),
      m_pScreenOverlayShader(nullptr), m_pWorldShader(nullptr), m_pBackgroundShader(nullptr), m_fTime(0.0f),
      m_pGame(nullptr), m_pVertexBuffer(nullptr), m_pIndexBuffer(nullptr)
{
    for (BlockVertex& v : m_BlockVertices)
    {
        v.position = CKorvelVector3(0.0f, 0.0f, 0.0f);
        v.uv0.Set(0.0f, 0.0f);
        v.uv1.Set(0.0f, 0.0f);
        v.shade = 0.0f;
    }
}

CMoxRenderer::~CMoxRenderer()
{
    clean();
    delete[] m_pVertexBuffer;
    delete[] m_pIndexBuffer;
}

void CMoxRenderer::Startup(CStateGame* pGame)
{
    m_pGame = pGame;
    initialize();
    createShaders();
    if (!m_pVertexBuffer)
        m_pVertexBuffer = new unsigned char[VERTEX_BUFFER_BYTES];
    if (!m_pIndexBuffer)
        m_pIndexBuffer = new unsigned char[INDEX_BUFFER_BYTES];
}

void CMoxRenderer::initialize()
{
    m_Camera.m_vPosition.Set(0.0f, 0.0f);
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    IKorvelGraphicsContext* pBack = pApp ? pApp->GetBack() : nullptr;
    if (pBack)
        SetScreenSize((float)pBack->GetWidth(), (float)pBack->GetHeight());
    m_Camera.m_fZoom = 1.0f;
    m_Camera.Update();
}

void CMoxRenderer::SetScreenSize(float fWidth, float fHeight)
{
    m_Camera.m_vScreenSize.Set(fWidth, fHeight);
    m_Camera.m_vScreenHalf.Set(fWidth * 0.5f, fHeight * 0.5f);
}

void CMoxRenderer::createShaders()
{
    clean();
    m_pWaterShader = new CMoxWaterShader(strWaterVS, strWaterFS, m_pGame);
    m_pBlockShader = new CMoxBlockShader(strBlockVS, strBlockFS, m_pGame);
    m_pFlompShader = new CMoxFlompShader(strFlompVS, strFlompFS, m_pGame);
    m_pScreenShader = new CMoxScreenShader(strScreenVS, strScreenFS, m_pGame);
    m_pScreenOverlayShader = new CMoxScreenOverlayShader(strScreenVS, strScreenOverlayFS, m_pGame);
    m_pWorldShader = new CMoxWorldShader(strWorldVS, strWorldFS, m_pGame);
    m_pBackgroundShader = new CMoxBackgroundShader(strWorldVS, strBackgroundFS, m_pGame);
}

void CMoxRenderer::clean()
{
    delete m_pWaterShader;
    m_pWaterShader = nullptr;
    delete m_pBlockShader;
    m_pBlockShader = nullptr;
    delete m_pFlompShader;
    m_pFlompShader = nullptr;
    delete m_pScreenShader;
    m_pScreenShader = nullptr;
    delete m_pScreenOverlayShader;
    m_pScreenOverlayShader = nullptr;
    delete m_pWorldShader;
    m_pWorldShader = nullptr;
    delete m_pBackgroundShader;
    m_pBackgroundShader = nullptr;
}

void CMoxRenderer::Update(float fSeconds)
{
    m_fTime += fSeconds;
    m_Camera.Update();
}

IKorvelGraphicsContext* CMoxRenderer::GetGraphicsContext()
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    return pApp ? pApp->GetGraphicsExtension() : nullptr;
}

void CMoxRenderer::BeginRender()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void CMoxRenderer::EndRender()
{
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

int CMoxRenderer::Wrap(int iValue, int iCount)
{
    if (iCount <= 0)
        return 0;
    int r = iValue % iCount;
    return r < 0 ? r + iCount : r;
}

void CMoxRenderer::FrameUV(int iColumn, int iRow, int iColumns, int iRows, float afUV[4])
{
    const float fColumns = (float)(iColumns > 0 ? iColumns : 1);
    const float fRows = (float)(iRows > 0 ? iRows : 1);
    afUV[0] = (float)iColumn / fColumns;
    afUV[1] = 0.005f + (float)iRow / fRows;
    afUV[2] = (float)(iColumn + 1) / fColumns;
    afUV[3] = 0.005f + (float)(iRow + 1) / fRows;
}

bool CMoxRenderer::CanDraw(const CMoxQuadShader* pShader, const CKorvelSurface* pSurface)
{
    return pSurface && pShader && pShader->m_uProgram;
}

void CMoxRenderer::SetBlend(eBLEND eBlend, const CKorvel3DColor& colour)
{
    switch (eBlend)
    {
    case BLEND_PREMULTIPLIED:
    case BLEND_BACKGROUND_ALPHA:
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BLEND_BY_ALPHA:
    case BLEND_MULTIPLY_TWICE:
        if ((colour.Get8888() >> 24) == 0xFF)
            glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        else
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (eBlend == BLEND_MULTIPLY_TWICE)
            glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
        break;
    case BLEND_ADDITIVE:
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case BLEND_BACKGROUND:
        glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
        break;
    }
}

void CMoxRenderer::DrawQuad(CMoxQuadShader* pShader, const sQuadVertex* pVertices, CKorvelSurface* pSurface,
                            const CKorvel3DColor& colour, eBLEND eBlend, unsigned int uFilters)
{
    pShader->Use();
    if (pShader->m_iProjectionMatrix >= 0)
        glUniformMatrix4fv(pShader->m_iProjectionMatrix, 1, GL_FALSE, m_Camera.m_Matrix.m);
    const float afColour[4] = {colour.r, colour.g, colour.b, colour.a};
    if (pShader->m_iColor0 >= 0)
        glUniform4fv(pShader->m_iColor0, 1, afColour);

    BeginQuads(pShader->m_iPosition, pShader->m_iUV0, pShader->m_iTexture0);
    if (eBlend == BLEND_BACKGROUND || eBlend == BLEND_BACKGROUND_ALPHA)
        glBlendEquationSeparate(GL_FUNC_ADD, GL_FUNC_ADD);
    SetBlend(eBlend, colour);
    glBindTexture(GL_TEXTURE_2D, pSurface->GetTexture());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (uFilters & FILTER_LINEAR_MIN)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if ((uFilters & FILTER_LINEAR_BOTH) == FILTER_LINEAR_BOTH)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    DrawFan(pShader->m_iPosition, pShader->m_iUV0, pVertices);

    if (eBlend == BLEND_MULTIPLY_TWICE)
        glBlendEquation(GL_FUNC_ADD);
    if (eBlend == BLEND_BACKGROUND || eBlend == BLEND_BACKGROUND_ALPHA)
        glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_ONE, GL_ZERO);
    EndQuads(pShader->m_iPosition, pShader->m_iUV0);
}

void CMoxRenderer::WorldQuad(CKorvelVector2 p, CKorvelVector2 h, const float afUV[4], float fTopScale,
                             sQuadVertex aQuad[4])
{
    const float fTop = p.y + h.y * fTopScale, fBottom = p.y - h.y;
    SetVertex(aQuad[0], p.x - h.x, fTop, 1.0f, afUV[0], afUV[1]);
    SetVertex(aQuad[1], p.x + h.x, fTop, 1.0f, afUV[2], afUV[1]);
    SetVertex(aQuad[2], p.x + h.x, fBottom, 1.0f, afUV[2], afUV[3]);
    SetVertex(aQuad[3], p.x - h.x, fBottom, 1.0f, afUV[0], afUV[3]);
}

void CMoxRenderer::renderWorldQuad(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvelSurface* pSurface,
                                   const CKorvel3DColor& colour)
{
    if (!CanDraw(m_pWorldShader, pSurface))
        return;
    const float afUV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    sQuadVertex aQuad[4];
    WorldQuad(position, halfSize, afUV, 1.0f, aQuad);
    DrawQuad(m_pWorldShader, aQuad, pSurface, colour, BLEND_PREMULTIPLIED, FILTER_NONE);
}

void CMoxRenderer::renderWorldAnimation(CKorvelVector2 position, CKorvelVector2 halfSize,
                                        CKorvel3DColor colour, int iColumn, int iRow, int iColumns, int iRows,
                                        CKorvelSurface* pSurface)
{
    if (!CanDraw(m_pFlompShader, pSurface))
        return;
    float afUV[4];
    FrameUV(Wrap(iColumn, iColumns), Wrap(iRow, iColumns * iRows), iColumns, iRows, afUV);
    sQuadVertex aQuad[4];
    WorldQuad(position, halfSize, afUV, 1.0f, aQuad);
    DrawQuad(m_pFlompShader, aQuad, pSurface, colour, BLEND_PREMULTIPLIED, FILTER_NONE);
}

void CMoxRenderer::renderBackgroundQuad(CKorvelVector2 position, CKorvelVector2 halfSize,
                                        CKorvelSurface* pSurface, const CKorvel3DColor& colour,
                                        unsigned int uBlendAlpha)
{
    if (!CanDraw(m_pBackgroundShader, pSurface))
        return;
    const float afUV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    sQuadVertex aQuad[4];
    WorldQuad(position, halfSize, afUV, 1.0f, aQuad);
    DrawQuad(m_pBackgroundShader, aQuad, pSurface, colour,
             uBlendAlpha ? BLEND_BACKGROUND_ALPHA : BLEND_BACKGROUND, FILTER_LINEAR_BOTH);
}

void CMoxRenderer::renderStretch(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvel3DColor,
                                 CKorvelVector2 stretch, CKorvelSurface* pSurface)
{
    if (!CanDraw(m_pFlompShader, pSurface))
        return;
    const float fLength = stretch.Length();
    int n = (int)(fLength * 20.0f);
    n = n < 1 ? 1 : (n > 9 ? 9 : n);
    const float afUV[4] = {0.0f, 0.1f * (float)n, 0.2f + 0.07f * (float)n, 0.1f * (float)n + 0.1f};
    CKorvelMatrix4RH rotation;
    CKorvelVector2 direction = stretch; // GetAngle may nudge its argument
    rotation.RotateZ(-KE_HALF_PI - direction.GetAngle());
    const CKorvelVector3 aCorners[4] = {
        CKorvelVector3(-halfSize.x, halfSize.y, 1.0f), CKorvelVector3(fLength, halfSize.y, 1.0f),
        CKorvelVector3(fLength, -halfSize.y, 1.0f), CKorvelVector3(-halfSize.x, -halfSize.y, 1.0f)};
    const float afU[4] = {afUV[0], afUV[2], afUV[2], afUV[0]};
    const float afV[4] = {afUV[1], afUV[1], afUV[3], afUV[3]};
    sQuadVertex aQuad[4];
    for (int i = 0; i < 4; ++i)
    {
        CKorvelVector3 v = aCorners[i];
        rotation.TransformCoord(v);
        SetVertex(aQuad[i], v.x + position.x, v.y + position.y, 1.0f, afU[i], afV[i]);
    }
    DrawQuad(m_pFlompShader, aQuad, pSurface, CKorvel3DColor(1.0f, 1.0f, 1.0f, 1.0f), BLEND_PREMULTIPLIED,
             FILTER_LINEAR_MIN);
}

void CMoxRenderer::renderWobble(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvel3DColor, int iRow,
                                int iColumn, int iColumns, int iRows, float fAmount, CKorvelSurface* pSurface)
{
    if (!CanDraw(m_pFlompShader, pSurface))
        return;
    float afUV[4];
    FrameUV(Wrap(iColumn, iColumns), iRow, iColumns, iRows, afUV);
    sQuadVertex aQuad[4];
    WorldQuad(position, halfSize, afUV, fAmount, aQuad);
    DrawQuad(m_pFlompShader, aQuad, pSurface, CKorvel3DColor(1.0f, 1.0f, 1.0f, 1.0f), BLEND_PREMULTIPLIED,
             FILTER_LINEAR_BOTH);
}

void CMoxRenderer::renderWater(unsigned int uMode)
{
    CMoxWaterShader* pShader = m_pWaterShader;
    if (!pShader || !pShader->m_uProgram || !m_pGame)
        return;
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const float t = m_fTime;
    const CKorvelVector2 a(0.03f * CKorvelMath::Cos(2.0f * t + 1.4f),
                           -0.005f + 0.01f * CKorvelMath::Sin(2.0f * t + 1.4f));
    const CKorvelVector2 b(0.04f * CKorvelMath::Cos(2.0f * t), -0.025f + 0.01f * CKorvelMath::Sin(2.0f * t));
    const float fWidth = m_Camera.m_vScreenSize.x > 0.0f ? m_Camera.m_vScreenSize.x : 1.0f;
    const float fBaseBottom = -3.3333333f * (m_Camera.m_vScreenSize.y / fWidth);

    // Each strip from its bottom-left corner, anticlockwise.
    sQuadVertex aWave1[4], aWave2[4], aBase[4];
    SetVertex(aWave1[0], a.x - kWaterHalfWidth, a.y - kWaveHalfHeight, 1.0f, 0.0f, 0.98f);
    SetVertex(aWave1[1], a.x + kWaterHalfWidth, a.y - kWaveHalfHeight, 1.0f, 40.0f, 0.98f);
    SetVertex(aWave1[2], a.x + kWaterHalfWidth, a.y + kWaveHalfHeight, 1.0f, 40.0f, 0.53f);
    SetVertex(aWave1[3], a.x - kWaterHalfWidth, a.y + kWaveHalfHeight, 1.0f, 0.0f, 0.53f);
    SetVertex(aWave2[0], b.x - kWaterHalfWidth, b.y - kWaveHalfHeight, 1.0f, 0.0f, 0.48f);
    SetVertex(aWave2[1], b.x + kWaterHalfWidth, b.y - kWaveHalfHeight, 1.0f, 40.0f, 0.48f);
    SetVertex(aWave2[2], b.x + kWaterHalfWidth, b.y + kWaveHalfHeight, 1.0f, 40.0f, 0.02f);
    SetVertex(aWave2[3], b.x - kWaterHalfWidth, b.y + kWaveHalfHeight, 1.0f, 0.0f, 0.02f);
    SetVertex(aBase[0], a.x - kWaterHalfWidth, fBaseBottom, 1.0f, 0.0f, 1.0f);
    SetVertex(aBase[1], a.x + kWaterHalfWidth, fBaseBottom, 1.0f, 1.0f, 1.0f);
    SetVertex(aBase[2], a.x + kWaterHalfWidth, b.y - kWaveHalfHeight, 1.0f, 1.0f, 0.0f);
    SetVertex(aBase[3], a.x - kWaterHalfWidth, b.y - kWaveHalfHeight, 1.0f, 0.0f, 0.0f);

    pShader->Use();
    if (pShader->m_iProjectionMatrix >= 0)
        glUniformMatrix4fv(pShader->m_iProjectionMatrix, 1, GL_FALSE, m_Camera.m_Matrix.m);
    BeginQuads(pShader->m_iPosition, pShader->m_iUV0, pShader->m_iTexture0);
    if (uMode)
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    else
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    CKorvelSurface* pWaves = apTextures[TEXTURE_WAVES];
    CKorvelSurface* pBase = apTextures[TEXTURE_WATER_BASE];
    if (pWaves)
    {
        glBindTexture(GL_TEXTURE_2D, pWaves->GetTexture());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        DrawFan(pShader->m_iPosition, pShader->m_iUV0, aWave1);
        DrawFan(pShader->m_iPosition, pShader->m_iUV0, aWave2);
        if (pBase)
        {
            glBindTexture(GL_TEXTURE_2D, pBase->GetTexture());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            DrawFan(pShader->m_iPosition, pShader->m_iUV0, aBase);
        }
    }

    EndQuads(pShader->m_iPosition, pShader->m_iUV0);
}
