// Screen quads: centres and half sizes in pixels, origin at the top left, y down.
#include "game/MoxRenderer.h"

#include "Korvel3D/KorvelMatrix4RH.h"
#include "game/MoxShader.h"

void CMoxRenderer::ScreenToDevice(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvelVector2& vCentre,
                                  CKorvelVector2& vHalf) const
{
    const float hw = m_Camera.m_vScreenHalf.x, hh = m_Camera.m_vScreenHalf.y;
    vCentre.Set(centre.x / hw - 1.0f, 1.0f - centre.y / hh);
    vHalf.Set(halfSize.x / hw, halfSize.y / hh);
}

void CMoxRenderer::ScreenFrameQuad(CKorvelVector2 centre, CKorvelVector2 halfSize, const float afUV[4],
                                   float fTopScale, float fZ, sQuadVertex aQuad[4]) const
{
    CKorvelVector2 c, h;
    ScreenToDevice(centre, halfSize, c, h);
    const float fTop = c.y + h.y * fTopScale, fBottom = c.y - h.y;
    const float afX[4] = {c.x - h.x, c.x + h.x, c.x + h.x, c.x - h.x};
    const float afY[4] = {fTop, fTop, fBottom, fBottom};
    const float afU[4] = {afUV[0], afUV[2], afUV[2], afUV[0]};
    const float afV[4] = {afUV[1], afUV[1], afUV[3], afUV[3]};
    for (int i = 0; i < 4; ++i)
    {
        aQuad[i].x = afX[i];
        aQuad[i].y = afY[i];
        aQuad[i].z = fZ;
        aQuad[i].u = afU[i];
        aQuad[i].v = afV[i];
    }
}

void CMoxRenderer::RotatedScreenQuad(CKorvelVector2 centre, CKorvelVector2 halfSize, float fAngle,
                                     const float afUV[4], sQuadVertex aQuad[4]) const
{
    CKorvelVector2 c, h;
    ScreenToDevice(centre, halfSize, c, h);
    // Both half sizes over the half width, so that the picture keeps its proportions
    // once the rotated y is stretched by the aspect ratio.
    const float a = halfSize.x / m_Camera.m_vScreenHalf.x, b = halfSize.y / m_Camera.m_vScreenHalf.x;
    const float fAspect = m_Camera.m_vScreenSize.x / m_Camera.m_vScreenSize.y;
    CKorvelMatrix4RH rotation;
    rotation.RotateZ(-KE_HALF_PI - fAngle);
    const float afX[4] = {-a, a, a, -a};
    const float afY[4] = {b, b, -b, -b};
    const float afU[4] = {afUV[0], afUV[2], afUV[2], afUV[0]};
    const float afV[4] = {afUV[1], afUV[1], afUV[3], afUV[3]};
    for (int i = 0; i < 4; ++i)
    {
        CKorvelVector3 v(afX[i], afY[i], 1.0f);
        rotation.TransformCoord(v);
        aQuad[i].x = v.x + c.x;
        aQuad[i].y = v.y * fAspect + c.y;
        aQuad[i].z = 1.0f;
        aQuad[i].u = afU[i];
        aQuad[i].v = afV[i];
    }
}

void CMoxRenderer::renderScreenQuad(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvelSurface* pSurface,
                                    const CKorvel3DColor& colour)
{
    if (!CanDraw(m_pScreenShader, pSurface))
        return;
    const float afUV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    sQuadVertex aQuad[4];
    ScreenFrameQuad(centre, halfSize, afUV, 1.0f, 0.5f, aQuad);
    DrawQuad(m_pScreenShader, aQuad, pSurface, colour, BLEND_BY_ALPHA, FILTER_LINEAR_MIN);
}

void CMoxRenderer::renderScreenAnimation(CKorvelVector2 centre, CKorvelVector2 halfSize,
                                         CKorvel3DColor colour, int iColumn, int iRow, int iColumns,
                                         int iRows, CKorvelSurface* pSurface)
{
    if (!CanDraw(m_pScreenShader, pSurface))
        return;
    float afUV[4];
    FrameUV(Wrap(iColumn, iColumns), Wrap(iRow, iColumns * iRows), iColumns, iRows, afUV);
    sQuadVertex aQuad[4];
    ScreenFrameQuad(centre, halfSize, afUV, 1.0f, 1.0f, aQuad);
    DrawQuad(m_pScreenShader, aQuad, pSurface, colour, BLEND_BY_ALPHA, FILTER_NONE);
}

void CMoxRenderer::renderScreenRotation(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvel3DColor colour,
                                        int iColumn, int iRow, int iColumns, int iRows, float fAngle,
                                        CKorvelSurface* pSurface)
{
    if (!CanDraw(m_pScreenShader, pSurface))
        return;
    float afUV[4];
    FrameUV(Wrap(iColumn, iColumns), Wrap(iRow, iColumns * iRows), iColumns, iRows, afUV);
    sQuadVertex aQuad[4];
    RotatedScreenQuad(centre, halfSize, fAngle, afUV, aQuad);
    DrawQuad(m_pScreenShader, aQuad, pSurface, colour, BLEND_BY_ALPHA, FILTER_NONE);
}

void CMoxRenderer::renderScreenWobble(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvel3DColor colour,
                                      int iRow, int iColumn, int iColumns, int iRows, float fAmount,
                                      CKorvelSurface* pSurface)
{
    if (!CanDraw(m_pScreenShader, pSurface))
        return;
    float afUV[4];
    FrameUV(Wrap(iColumn, iColumns), iRow, iColumns, iRows, afUV);
    sQuadVertex aQuad[4];
    ScreenFrameQuad(centre, halfSize, afUV, fAmount, 1.0f, aQuad);
    DrawQuad(m_pScreenShader, aQuad, pSurface, colour, BLEND_PREMULTIPLIED, FILTER_LINEAR_BOTH);
}

void CMoxRenderer::renderScreenOverlayAnimation(CKorvelVector2 centre, CKorvelVector2 halfSize,
                                                CKorvel3DColor colour, int iColumn, int iRow, int iCount,
                                                CKorvelSurface* pSurface)
{
    if (!CanDraw(m_pScreenOverlayShader, pSurface))
        return;
    float afUV[4];
    FrameUV(Wrap(iColumn, iCount), iRow, iCount, iCount, afUV);
    sQuadVertex aQuad[4];
    ScreenFrameQuad(centre, halfSize, afUV, 1.0f, 1.0f, aQuad);
    DrawQuad(m_pScreenOverlayShader, aQuad, pSurface, colour, BLEND_MULTIPLY_TWICE, FILTER_NONE);
}

void CMoxRenderer::renderScreenParticle(CKorvelVector2 centre, CKorvelVector2 halfSize, float fAngle,
                                        CKorvelSurface* pSurface, const CKorvel3DColor& colour)
{
    if (!CanDraw(m_pScreenShader, pSurface))
        return;
    const float afUV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    sQuadVertex aQuad[4];
    RotatedScreenQuad(centre, halfSize, fAngle, afUV, aQuad);
    DrawQuad(m_pScreenShader, aQuad, pSurface, colour, BLEND_ADDITIVE, FILTER_LINEAR_MIN);
}
