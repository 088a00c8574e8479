// Frame widget drawing: the 4 x 4 vertex grid of the nine patches, drawn with the shared
// program, and the GL state set for it and undone after.
#include "Framework/UI/FrameWidget.h"

#include <GLES2/gl2.h>
#include <cmath>

#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
// Two triangles a quad, for the nine quads whose top-left vertex is listed.
const unsigned char QUAD_CORNERS[9] = {0, 1, 2, 4, 5, 6, 8, 9, 10};
const int FLOATS_PER_VERTEX = 6; // x, y, then u, v of the image and u, v of the border

void MakeIndices(unsigned char aIndices[54])
{
    int n = 0;
    for (unsigned char v : QUAD_CORNERS)
    {
        const unsigned char aTriangles[6] = {v,
                                             static_cast<unsigned char>(v + 4),
                                             static_cast<unsigned char>(v + 5),
                                             static_cast<unsigned char>(v + 5),
                                             static_cast<unsigned char>(v + 1),
                                             v};
        for (unsigned char u : aTriangles)
            aIndices[n++] = u;
    }
}
} // namespace

KE_RETVAL CFrameWidget::draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    CKorvelSurface* pImage = GetImage();
    if (!m_pShader || !pImage || !m_pBorder || !m_pMask || pContext->GetContextType() != KE_CONTEXT_GLES2 ||
        !pImage->GetTexture() || !m_pBorder->GetTexture() || !m_pMask->GetTexture() ||
        pImage->GetWidth() <= 0 || pImage->GetHeight() <= 0 || m_pBorder->GetWidth() <= 0 ||
        m_pBorder->GetHeight() <= 0)
        return CImageWidget::draw(pContext, rect);
    return DrawFramed(pContext, rect);
}

KE_RETVAL CFrameWidget::DrawFramed(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    CKorvelSurface* pImage = GetImage();
    CKorvelRect<int> rcImage, rcBorder;
    GetCenterRect(rect, pImage, rcImage, m_pBorder, rcBorder);

    glUseProgram(m_pShader->GetHandle());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    const unsigned int auTextures[3] = {pImage->GetTexture(), m_pBorder->GetTexture(), m_pMask->GetTexture()};
    for (int i = 0; i < 3; ++i)
    {
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, auTextures[i]);
        glUniform1i(m_arrLocations[LOCATION_TEXTURE01 + i], i);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    const float px = pContext->PixelToFloatX(1), py = pContext->PixelToFloatY(1);
    const float afX[4] = {static_cast<float>(rect.left), static_cast<float>(rcBorder.left),
                          static_cast<float>(rcBorder.right), static_cast<float>(rect.right)};
    const float afY[4] = {static_cast<float>(rect.top), static_cast<float>(rcBorder.top),
                          static_cast<float>(rcBorder.bottom), static_cast<float>(rect.bottom)};
    const float iw = static_cast<float>(pImage->GetWidth()), ih = static_cast<float>(pImage->GetHeight());
    const float afImageU[4] = {0.0f, static_cast<float>(rcImage.left) / iw,
                               static_cast<float>(rcImage.right) / iw, 1.0f};
    const float afImageV[4] = {0.0f, static_cast<float>(rcImage.top) / ih,
                               static_cast<float>(rcImage.bottom) / ih, 1.0f};
    const float fBorderU =
        static_cast<float>(rcBorder.left - rect.left) / static_cast<float>(m_pBorder->GetWidth());
    const float fBorderV =
        static_cast<float>(rcBorder.top - rect.top) / static_cast<float>(m_pBorder->GetHeight());
    const float afBorderU[4] = {0.0f, fBorderU, 1.0f - fBorderU, 1.0f};
    const float afBorderV[4] = {0.0f, fBorderV, 1.0f - fBorderV, 1.0f};

    float afVertices[16 * FLOATS_PER_VERTEX];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
        {
            float* v = afVertices + static_cast<ptrdiff_t>(row * 4 + column) * FLOATS_PER_VERTEX;
            v[0] = 2.0f * afX[column] * px - 1.0f;
            v[1] = 1.0f - 2.0f * afY[row] * py;
            v[2] = afImageU[column];
            v[3] = afImageV[row];
            v[4] = afBorderU[column];
            v[5] = afBorderV[row];
        }
    unsigned char aIndices[54];
    MakeIndices(aIndices);

    const int iPosition = m_arrLocations[LOCATION_POSITION], iUV = m_arrLocations[LOCATION_UV];
    const GLsizei iStride = FLOATS_PER_VERTEX * static_cast<GLsizei>(sizeof(float));
    if (iPosition >= 0)
    {
        glVertexAttribPointer(static_cast<GLuint>(iPosition), 2, GL_FLOAT, GL_FALSE, iStride, afVertices);
        glEnableVertexAttribArray(static_cast<GLuint>(iPosition));
    }
    if (iUV >= 0)
    {
        glVertexAttribPointer(static_cast<GLuint>(iUV), 4, GL_FLOAT, GL_FALSE, iStride, afVertices + 2);
        glEnableVertexAttribArray(static_cast<GLuint>(iUV));
    }
    glDrawElements(GL_TRIANGLES, 54, GL_UNSIGNED_BYTE, aIndices);

    if (iPosition >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(iPosition));
    if (iUV >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(iUV));
    glDisable(GL_BLEND);
    for (int i = 2; i >= 0; --i)
    {
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glUseProgram(0);
    return KE_OK;
}
