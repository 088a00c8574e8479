// Drawing of the GL screen target. The integer slots convert to fractions of the
// target (sources through their own size) and call the float slots, which build the
// quad in clip space: x' = 2x - 1, y' = 1 - 2y.
//
// Sections: helpers - fills - textured quads - tinted quads - rotated quads - lines.
#include "Extensions/KorvelGraphicsExt_GLES2.h"

#include "Korvel3D/Korvel3DColor.h"
#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <GLES2/gl2.h>
#include <algorithm>
#include <cstring>
#include <utility>

namespace
{

const CKorvelRect<float> g_rcWhole(0.0f, 0.0f, 1.0f, 1.0f);

// An integer rectangle as fractions of the context's size; null is the whole context.
CKorvelRect<float> ToFractions(const IKorvelGraphicsContext& context, const CKorvelRect<int>* pRect)
{
    if (!pRect)
        return g_rcWhole;
    return CKorvelRect<float>(context.PixelToFloatX(pRect->left), context.PixelToFloatY(pRect->top),
                              context.PixelToFloatX(pRect->right), context.PixelToFloatY(pRect->bottom));
}

bool HasAlpha(unsigned int argb)
{
    return (argb >> 24) != 0;
}

// Colour channels of a tinted vertex: premultiplied by the colour's alpha (the textures
// hold premultiplied alpha), or straight for the highlight mode.
CKorvel3DColor TintColor(unsigned int argb, bool bPremultiply)
{
    CKorvel3DColor color(argb);
    if (bPremultiply)
        color.Set(color.r * color.a, color.g * color.a, color.b * color.a, color.a);
    return color;
}

} // namespace

// ---- helpers

KE_RETVAL CKorvelGraphicsExt_GLES2::CheckSource(const CKorvel3DProgram* pProgram, IKorvelGraphicsContext& src,
                                                unsigned int& uTexture)
{
    if (!pProgram)
        return KE_ERR_NOTSTARTED;
    uTexture =
        src.GetContextType() == KE_CONTEXT_SURFACE ? static_cast<CKorvelSurface&>(src).GetTexture() : 0;
    return uTexture ? KE_OK : KE_ERR_INVALIDARG;
}

CKorvelGraphicsExt_GLES2::sUV CKorvelGraphicsExt_GLES2::SourceUV(const CKorvelRect<float>* pSrcRect)
{
    const CKorvelRect<float>& r = pSrcRect ? *pSrcRect : g_rcWhole;
    return sUV{r.left, r.top, r.right, r.bottom};
}

void CKorvelGraphicsExt_GLES2::Mirror(sUV& uv, unsigned int uFlags)
{
    if (uFlags & KE_DRAW_MIRROR_H)
        std::swap(uv.fLeft, uv.fRight);
    if (uFlags & KE_DRAW_MIRROR_V)
        std::swap(uv.fTop, uv.fBottom);
}

CKorvelGraphicsExt_GLES2::sQuad CKorvelGraphicsExt_GLES2::ImageQuad(const CKorvelVector2& pos,
                                                                    const IKorvelGraphicsContext& src,
                                                                    const CKorvelRect<float>* pSrcRect) const
{
    sQuad quad = {2.0f * pos.x - 1.0f, 1.0f - 2.0f * pos.y, 2.0f * PixelToFloatX(src.GetWidth()),
                  2.0f * PixelToFloatY(src.GetHeight())};
    if (pSrcRect)
    {
        quad.fWidth *= pSrcRect->right - pSrcRect->left;
        quad.fHeight *= pSrcRect->bottom - pSrcRect->top;
    }
    return quad;
}

CKorvelGraphicsExt_GLES2::sQuad CKorvelGraphicsExt_GLES2::StretchedQuad(const CKorvelRect<float>* pDstRect)
{
    const CKorvelRect<float>& d = pDstRect ? *pDstRect : g_rcWhole;
    return sQuad{2.0f * d.left - 1.0f, 1.0f - 2.0f * d.top, 2.0f * (d.right - d.left),
                 2.0f * (d.bottom - d.top)};
}

void CKorvelGraphicsExt_GLES2::UprightCorners(sQuad q, sUV uv, unsigned int uFlags, Corners& corners)
{
    // The centring flags put the image in the middle of the target on that axis.
    if (uFlags & KE_DRAW_CENTER_H)
        q.fLeft = -q.fWidth / 2.0f;
    if (uFlags & KE_DRAW_CENTER_V)
        q.fTop = q.fHeight / 2.0f;
    Mirror(uv, uFlags);
    const float fRight = q.fLeft + q.fWidth, fBottom = q.fTop - q.fHeight;
    const Corners quad = {{q.fLeft, q.fTop, uv.fLeft, uv.fTop},
                          {q.fLeft, fBottom, uv.fLeft, uv.fBottom},
                          {fRight, fBottom, uv.fRight, uv.fBottom},
                          {fRight, q.fTop, uv.fRight, uv.fTop}};
    std::memcpy(corners, quad, sizeof(Corners));
}

void CKorvelGraphicsExt_GLES2::SetTexturedBlend(unsigned int uFlags)
{
    if (uFlags & KE_DRAW_HALFBLEND)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
    }
    else if (uFlags & KE_DRAW_SRCALPHA)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    else
        glDisable(GL_BLEND);
}

// ---- fills

KE_RETVAL CKorvelGraphicsExt_GLES2::Fill(unsigned int argb, const CKorvelRect<float>* pRect)
{
    if (!pRect)
        return Fill(argb, static_cast<const CKorvelRect<int>*>(nullptr));
    const CKorvelRect<int> rect(FloatToPixelX(pRect->left), FloatToPixelY(pRect->top),
                                FloatToPixelX(pRect->right), FloatToPixelY(pRect->bottom));
    return Fill(argb, &rect);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::Fill(unsigned int argb, const CKorvelRect<int>* pRect)
{
    if (!m_pDisplay)
        return KE_ERR_NOTSTARTED;
    const CKorvel3DColor color(argb);
    glClearColor(color.r, color.g, color.b, color.a);
    if (!pRect)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return KE_OK;
    }
    const int iWidth = pRect->right - pRect->left;
    const int iHeight = pRect->bottom - pRect->top;
    if (iWidth <= 0 || iHeight <= 0)
        return KE_OK; // GL would refuse the scissor and clear the old one
    glEnable(GL_SCISSOR_TEST);
    glScissor(pRect->left, m_iHeight - pRect->top - iHeight, iWidth, iHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyClip(); // later drawing stays clipped
    return KE_OK;
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawColoredQuad(const CKorvelRect<float>* pRect,
                                                    const CKorvel3DColor aColors[4])
{
    const CKorvelRect<float>& r = pRect ? *pRect : g_rcWhole;
    const float x0 = 2.0f * r.left - 1.0f, x1 = 2.0f * r.right - 1.0f;
    const float y0 = 1.0f - 2.0f * r.top, y1 = 1.0f - 2.0f * r.bottom;
    const float afPosition[4][2] = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
    float* p = m_afVertices;
    for (int i = 0; i < 4; ++i, p += 7)
    {
        p[0] = afPosition[i][0];
        p[1] = afPosition[i][1];
        p[2] = 0.0f;
        p[3] = aColors[i].r;
        p[4] = aColors[i].g;
        p[5] = aColors[i].b;
        p[6] = aColors[i].a;
    }
    ActivateTexture(GL_TEXTURE0, 0);
    ActivateProgram(*m_pColorProgram, m_afVertices);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    return KE_OK;
}

KE_RETVAL CKorvelGraphicsExt_GLES2::GradientFill(unsigned int tl, unsigned int tr, unsigned int br,
                                                 unsigned int bl, const CKorvelRect<int>* pRect)
{
    const CKorvelRect<float> rect = ToFractions(*this, pRect);
    return GradientFill(tl, tr, br, bl, &rect);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::GradientFill(unsigned int tl, unsigned int tr, unsigned int br,
                                                 unsigned int bl, const CKorvelRect<float>* pRect)
{
    if (!m_pColorProgram)
        return KE_ERR_NOTSTARTED;
    glDisable(GL_BLEND);
    const CKorvel3DColor aColors[4] = {CKorvel3DColor(tl), CKorvel3DColor(bl), CKorvel3DColor(br),
                                       CKorvel3DColor(tr)};
    return DrawColoredQuad(pRect, aColors);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::BlendFill(unsigned int argb, const CKorvelRect<int>* pRect)
{
    const CKorvelRect<float> rect = ToFractions(*this, pRect);
    return BlendFill(argb, &rect);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::BlendFill(unsigned int argb, const CKorvelRect<float>* pRect)
{
    if (!HasAlpha(argb))
        return KE_OK;
    if (!m_pColorProgram)
        return KE_ERR_NOTSTARTED;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    const CKorvel3DColor color(argb);
    const CKorvel3DColor aColors[4] = {color, color, color, color};
    return DrawColoredQuad(pRect, aColors);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::Fade(const CKorvelRect<int>* pRect, float fLevel)
{
    const CKorvelRect<float> rect = ToFractions(*this, pRect);
    return Fade(&rect, fLevel);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::Fade(const CKorvelRect<float>* pRect, float fLevel)
{
    if (!m_pColorProgram)
        return KE_ERR_NOTSTARTED;
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_ALPHA);
    const CKorvel3DColor level(1.0f, 1.0f, 1.0f, fLevel);
    const CKorvel3DColor aColors[4] = {level, level, level, level};
    return DrawColoredQuad(pRect, aColors);
}

// ---- textured quads

KE_RETVAL CKorvelGraphicsExt_GLES2::Draw(int x, int y, IKorvelGraphicsContext& src,
                                         const CKorvelRect<int>* pSrcRect, unsigned int uFlags)
{
    const CKorvelRect<float> srcRect = ToFractions(src, pSrcRect);
    return Draw(CKorvelVector2(PixelToFloatX(x), PixelToFloatY(y)), src, &srcRect, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::Draw(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                                         const CKorvelRect<float>* pSrcRect, unsigned int uFlags)
{
    unsigned int uTexture = 0;
    const KE_RETVAL iCheck = CheckSource(m_pTextureProgram, src, uTexture);
    if (iCheck != KE_OK)
        return iCheck;
    Corners corners;
    UprightCorners(ImageQuad(pos, src, pSrcRect), SourceUV(pSrcRect), uFlags, corners);
    return DrawTextured(corners, uTexture, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawStretched(const CKorvelRect<int>* pDstRect,
                                                  IKorvelGraphicsContext& src,
                                                  const CKorvelRect<int>* pSrcRect, unsigned int uFlags)
{
    const CKorvelRect<float> dstRect = ToFractions(*this, pDstRect);
    const CKorvelRect<float> srcRect = ToFractions(src, pSrcRect);
    return DrawStretched(&dstRect, src, &srcRect, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawStretched(const CKorvelRect<float>* pDstRect,
                                                  IKorvelGraphicsContext& src,
                                                  const CKorvelRect<float>* pSrcRect, unsigned int uFlags)
{
    unsigned int uTexture = 0;
    const KE_RETVAL iCheck = CheckSource(m_pTextureProgram, src, uTexture);
    if (iCheck != KE_OK)
        return iCheck;
    Corners corners;
    UprightCorners(StretchedQuad(pDstRect), SourceUV(pSrcRect), uFlags, corners);
    return DrawTextured(corners, uTexture, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawTextured(const Corners& corners, unsigned int uTexture,
                                                 unsigned int uFlags)
{
    float* p = m_afVertices;
    for (int i = 0; i < 4; ++i, p += 5)
    {
        p[0] = corners[i][0];
        p[1] = corners[i][1];
        p[2] = 0.0f;
        p[3] = corners[i][2];
        p[4] = corners[i][3];
    }
    SetTexturedBlend(uFlags);
    ActivateTexture(GL_TEXTURE0, uTexture);
    ActivateProgram(*m_pTextureProgram, m_afVertices);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    return KE_OK;
}

// ---- tinted quads

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawBlended(int x, int y, IKorvelGraphicsContext& src,
                                                const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                                unsigned int uFlags)
{
    const CKorvelRect<float> srcRect = ToFractions(src, pSrcRect);
    return DrawBlended(CKorvelVector2(PixelToFloatX(x), PixelToFloatY(y)), src, &srcRect, argb, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawBlended(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                                                const CKorvelRect<float>* pSrcRect, unsigned int argb,
                                                unsigned int uFlags)
{
    if (!HasAlpha(argb))
        return KE_OK;
    unsigned int uTexture = 0;
    const KE_RETVAL iCheck = CheckSource(m_pTintProgram, src, uTexture);
    if (iCheck != KE_OK)
        return iCheck;
    Corners corners;
    UprightCorners(ImageQuad(pos, src, pSrcRect), SourceUV(pSrcRect), uFlags, corners);
    const bool bHighlight = (uFlags & KE_DRAW_ALPHAONLY) != 0;
    return DrawTinted(corners, uTexture, TintColor(argb, !bHighlight),
                      bHighlight ? *m_pHighlightProgram : *m_pTintProgram);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawStretchedBlended(const CKorvelRect<int>* pDstRect,
                                                         IKorvelGraphicsContext& src,
                                                         const CKorvelRect<int>* pSrcRect, unsigned int argb,
                                                         unsigned int uFlags)
{
    const CKorvelRect<float> dstRect = ToFractions(*this, pDstRect);
    const CKorvelRect<float> srcRect = ToFractions(src, pSrcRect);
    return DrawStretchedBlended(&dstRect, src, &srcRect, argb, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawStretchedBlended(const CKorvelRect<float>* pDstRect,
                                                         IKorvelGraphicsContext& src,
                                                         const CKorvelRect<float>* pSrcRect,
                                                         unsigned int argb, unsigned int uFlags)
{
    if (!HasAlpha(argb))
        return KE_OK;
    unsigned int uTexture = 0;
    const KE_RETVAL iCheck = CheckSource(m_pTintProgram, src, uTexture);
    if (iCheck != KE_OK)
        return iCheck;
    Corners corners;
    UprightCorners(StretchedQuad(pDstRect), SourceUV(pSrcRect), uFlags, corners);
    const bool bHighlight = (uFlags & KE_DRAW_ALPHAONLY) != 0;
    return DrawTinted(corners, uTexture, TintColor(argb, !bHighlight),
                      bHighlight ? *m_pHighlightProgram : *m_pTintProgram);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawTinted(const Corners& corners, unsigned int uTexture,
                                               const CKorvel3DColor& color, CKorvel3DProgram& program)
{
    float* p = m_afVertices;
    for (int i = 0; i < 4; ++i, p += 8)
    {
        p[0] = corners[i][0];
        p[1] = corners[i][1];
        p[2] = corners[i][2];
        p[3] = corners[i][3];
        p[4] = color.r;
        p[5] = color.g;
        p[6] = color.b;
        p[7] = color.a;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    ActivateTexture(GL_TEXTURE0, uTexture);
    ActivateProgram(program, m_afVertices);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    return KE_OK;
}

// ---- rotated quads

void CKorvelGraphicsExt_GLES2::RotatedCorners(float fAnchorX, float fAnchorY, float fHalfWidth,
                                              float fHalfHeight, float fAngle, unsigned int uFlags, sUV uv,
                                              Corners& corners) const
{
    float fPx = 2.0f * ((uFlags & KE_DRAW_CENTER_H) ? 0.5f : fAnchorX) - 1.0f;
    float fPy = 1.0f - 2.0f * ((uFlags & KE_DRAW_CENTER_V) ? 0.5f : fAnchorY);
    // Turn in pixel units, then scale to the target, so that its aspect does not shear the image.
    CKorvelMatrix4RH rotate, scale, translate, transform;
    rotate.RotateZ(fAngle);
    scale.Scale(PixelToFloatX(1), PixelToFloatY(1), 1.0f);
    rotate.Mul3x3(scale, rotate);
    CKorvelVector3 half(fHalfWidth, fHalfHeight, 0.0f);
    scale.TransformNormal(half);
    if (uFlags & KE_DRAW_CENTER_H)
        fPx -= half.x;
    if (uFlags & KE_DRAW_CENTER_V)
        fPy += half.y;
    translate.Identity();
    translate.m[3] = fPx + half.x;
    translate.m[7] = fPy - half.y;
    translate.m[11] = 0.0f;
    transform.Mul(translate, rotate);
    const float afSigns[4][2] = {{-1.0f, 1.0f}, {-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}};
    const float afUV[4][2] = {
        {uv.fLeft, uv.fTop}, {uv.fLeft, uv.fBottom}, {uv.fRight, uv.fBottom}, {uv.fRight, uv.fTop}};
    for (int i = 0; i < 4; ++i)
    {
        CKorvelVector3 corner(afSigns[i][0] * fHalfWidth, afSigns[i][1] * fHalfHeight, 0.0f);
        transform.TransformCoord(corner);
        corners[i][0] = corner.x;
        corners[i][1] = corner.y;
        corners[i][2] = afUV[i][0];
        corners[i][3] = afUV[i][1];
    }
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawRotated(int x, int y, IKorvelGraphicsContext& src, float fAngle,
                                                int iSize, unsigned int uFlags)
{
    const int iWidth = src.GetWidth(), iHeight = src.GetHeight();
    if (iWidth <= 0 || iHeight <= 0)
        return KE_ERR_INVALIDARG;
    const float fScale = std::min(float(iSize) / float(iWidth), float(iSize) / float(iHeight));
    return DrawRotated(CKorvelVector2(PixelToFloatX(x), PixelToFloatY(y)), src, fAngle, fScale, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::DrawRotated(const CKorvelVector2& pos, IKorvelGraphicsContext& src,
                                                float fAngle, float fScale, unsigned int uFlags)
{
    unsigned int uTexture = 0;
    const KE_RETVAL iCheck = CheckSource(m_pTextureProgram, src, uTexture);
    if (iCheck != KE_OK)
        return iCheck;
    if (uFlags & KE_DRAW_COLORKEY)
        uFlags |= KE_DRAW_SRCALPHA;
    sUV uv = SourceUV(nullptr);
    Mirror(uv, uFlags);
    Corners corners;
    RotatedCorners(pos.x, pos.y, float(src.GetWidth()) * fScale, float(src.GetHeight()) * fScale, fAngle,
                   uFlags, uv, corners);
    return DrawTextured(corners, uTexture, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::StretchRotateBlend(const CKorvelRect<int>* pDstRect,
                                                       IKorvelGraphicsContext* pSrc,
                                                       const CKorvelRect<int>* pSrcRect, float fAngle,
                                                       unsigned int argb, unsigned int uFlags)
{
    if (!pSrc)
        return KE_ERR_INVALIDARG;
    const CKorvelRect<float> dstRect = ToFractions(*this, pDstRect);
    const CKorvelRect<float> srcRect = ToFractions(*pSrc, pSrcRect);
    return StretchRotateBlend(&dstRect, pSrc, &srcRect, fAngle, argb, uFlags);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::StretchRotateBlend(const CKorvelRect<float>* pDstRect,
                                                       IKorvelGraphicsContext* pSrc,
                                                       const CKorvelRect<float>* pSrcRect, float fAngle,
                                                       unsigned int argb, unsigned int uFlags)
{
    if (!pSrc)
        return KE_ERR_INVALIDARG;
    unsigned int uTexture = 0;
    const KE_RETVAL iCheck = CheckSource(m_pTintProgram, *pSrc, uTexture);
    if (iCheck != KE_OK)
        return iCheck;
    const CKorvelRect<float>& d = pDstRect ? *pDstRect : g_rcWhole;
    Corners corners;
    RotatedCorners(d.left, d.top, (d.right - d.left) * float(m_iWidth), (d.bottom - d.top) * float(m_iHeight),
                   fAngle, uFlags, SourceUV(pSrcRect), corners);
    return DrawTinted(corners, uTexture, TintColor(argb, true), *m_pTintProgram);
}

// ---- lines

KE_RETVAL CKorvelGraphicsExt_GLES2::Line(int x1, int y1, int x2, int y2, unsigned int argbFrom,
                                         unsigned int argbTo)
{
    return Line(CKorvelVector2(PixelToFloatX(x1), PixelToFloatY(y1)),
                CKorvelVector2(PixelToFloatX(x2), PixelToFloatY(y2)), argbFrom, argbTo);
}

KE_RETVAL CKorvelGraphicsExt_GLES2::Line(const CKorvelVector2& from, const CKorvelVector2& to,
                                         unsigned int argbFrom, unsigned int argbTo)
{
    if (!m_pColorProgram)
        return KE_ERR_NOTSTARTED;
    const CKorvel3DColor aColors[2] = {CKorvel3DColor(argbFrom), CKorvel3DColor(argbTo)};
    const CKorvelVector2 aEnds[2] = {from, to};
    float* p = m_afVertices;
    for (int i = 0; i < 2; ++i, p += 7)
    {
        p[0] = 2.0f * aEnds[i].x - 1.0f;
        p[1] = 1.0f - 2.0f * aEnds[i].y;
        p[2] = 0.0f;
        p[3] = aColors[i].r;
        p[4] = aColors[i].g;
        p[5] = aColors[i].b;
        p[6] = aColors[i].a;
    }
    // The blending state of the last drawing stays; no texture is needed.
    ActivateProgram(*m_pColorProgram, m_afVertices);
    glDrawArrays(GL_LINES, 0, 2);
    return KE_OK;
}
