// The blocks drawn layer by layer: drop shadows first, then one draw call per batch of
// blocks of one material and look that do not overlap (overlapping ones would show
// their frames through each other if drawn in one call).
#include <GLES2/gl2.h>

#include "KorvelGraphics/KorvelSurface.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxShader.h"

namespace
{
const float kBorder = 0.03333f;
const float kFrameUV[4] = {0.0f, 0.25f, 0.75f, 1.0f};
const unsigned short kCellIndices[SCENE_BLOCK_INDICES] = {
    0, 4, 5,  0, 1,  5,  1, 6, 5,  1, 2,  6,  2, 7, 6,  2, 3,  7,  4, 9,  8,  4,  5,  9,  5,  10, 9,
    5, 6, 10, 6, 11, 10, 6, 7, 11, 8, 13, 12, 8, 9, 13, 9, 14, 13, 9, 10, 14, 10, 15, 14, 10, 11, 15};
const int kTextureFrame = 28;   // + material
const int kTextureSurface = 32; // + material x 3 + variant
const int kTextureShadow = 48;
const int kMaterials = 4;
const int kVariantsBatched = 4;
const int kVariantsDrawn = 3;

CMoxBox DrawnBox(const CBlock* pBlock)
{
    const CKorvelVector2& p = pBlock->m_pBody->m_vVisualPosition;
    const CKorvelVector2& h = pBlock->m_pBody->m_vHalfSize;
    CMoxBox box;
    box.left = p.x - h.x;
    box.right = p.x + h.x;
    box.bottom = p.y - h.y;
    box.top = p.y + h.y;
    return box;
}

void VertexArray(int iLocation, int iSize, const float* pFirst)
{
    if (iLocation < 0)
        return;
    glEnableVertexAttribArray(GLuint(iLocation));
    glVertexAttribPointer(GLuint(iLocation), iSize, GL_FLOAT, GL_FALSE, sizeof(BlockVertex), pFirst);
}

void BindTexture(GLenum eUnit, unsigned int uTexture, GLint iWrap)
{
    glActiveTexture(eUnit);
    glBindTexture(GL_TEXTURE_2D, uTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, iWrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, iWrap);
}
} // namespace

void CMoxScene::CreateBlockVertices(float* pOut, CKorvelVector2& centre, CKorvelVector2& halfSize,
                                    float fAlpha)
{
    const float fLeft = centre.x - halfSize.x, fRight = centre.x + halfSize.x;
    const float fTop = centre.y + halfSize.y, fBottom = centre.y - halfSize.y;
    const float afX[4] = {fLeft, fLeft + kBorder, fRight - kBorder, fRight};
    const float afY[4] = {fTop, fTop - kBorder, fBottom + kBorder, fBottom};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
        {
            float* v = pOut + static_cast<ptrdiff_t>(8) * (4 * row + col);
            v[0] = afX[col];
            v[1] = afY[row];
            v[2] = 1.0f;
            v[3] = kFrameUV[col];
            v[4] = kFrameUV[row];
            // The surface repeats every half unit of the world.
            v[5] = 2.0f * (afX[col] - fLeft);
            v[6] = 2.0f * (fTop - afY[row]);
            v[7] = fAlpha;
        }
}

void CMoxScene::CreateShadowVertices(float* pOut, const CKorvelVector2& centre,
                                     const CKorvelVector2& halfSize)
{
    const float afCorners[4][4] = {{-1.0f, 1.0f, 0.0f, 0.0f},
                                   {1.0f, 1.0f, 1.0f, 0.0f},
                                   {1.0f, -1.0f, 1.0f, 1.0f},
                                   {-1.0f, -1.0f, 0.0f, 1.0f}};
    for (int i = 0; i < 4; ++i)
    {
        float* v = pOut + static_cast<ptrdiff_t>(5) * i;
        v[0] = centre.x + afCorners[i][0] * halfSize.x;
        v[1] = centre.y + afCorners[i][1] * halfSize.y;
        v[2] = 1.0f;
        v[3] = afCorners[i][2];
        v[4] = afCorners[i][3];
    }
}

void CMoxScene::RenderBlocksWithShadows(unsigned int uShadows)
{
    m_iFrameCounter = m_iShadowBatches = m_iBlockBatches = m_iDrawCalls = 0;
    m_pBatched[0] = 0;
    m_BatchSizes.RemoveAll();
    if (!m_pBlocks || !m_pRenderer)
        return;

    CBlock* apLayers[SCENE_LAYERS][SCENE_BATCH_SIZE];
    int aiCounts[SCENE_LAYERS] = {0, 0, 0, 0};
    for (int i = 0; i < m_pBlocks->GetCount(); ++i)
    {
        CBlock* pBlock = m_pBlocks->GetAt(i);
        const int iLayer = pBlock->m_uLayer;
        if (iLayer < SCENE_LAYERS && pBlock->m_pBody && aiCounts[iLayer] < SCENE_BATCH_SIZE)
            apLayers[iLayer][aiCounts[iLayer]++] = pBlock;
    }

    m_pRenderer->BeginRender();
    for (int iLayer = 0; iLayer < SCENE_LAYERS; ++iLayer)
    {
        CBlock** apBlocks = apLayers[iLayer];
        const int iCount = aiCounts[iLayer];
        if (iLayer > 0 && iCount > 0)
        {
            m_Batch.Clear();
            for (int i = 0; i < iCount; ++i)
                if (apBlocks[i]->m_iMaterial != BLOCK_MATERIAL_ICE)
                    m_Batch.Add(apBlocks[i]);
            if (uShadows)
                RenderShadowBatch();
            ++m_iShadowBatches;
        }
        for (int i = 0; i < iCount; ++i)
            m_pBatched[i] = 0;
        for (int iMaterial = 0; iMaterial < kMaterials; ++iMaterial)
            for (int iVariant = 0; iVariant < kVariantsBatched; ++iVariant)
                for (;;)
                {
                    m_Batch.Clear();
                    for (int i = 0; i < iCount; ++i)
                    {
                        CBlock* pBlock = apBlocks[i];
                        if (m_pBatched[i] || pBlock->m_iMaterial != iMaterial ||
                            pBlock->m_uVariant != iVariant)
                            continue;
                        if (!m_bBatchBlocks && m_Batch.GetCount() > 0)
                            break;
                        CMoxBox box = DrawnBox(pBlock);
                        bool bOverlaps = false;
                        for (int b = 0; b < m_Batch.GetCount() && !bOverlaps; ++b)
                        {
                            CMoxBox other = DrawnBox(m_Batch[b]);
                            bOverlaps = CMoxPhysics::IntersectVisualVersion(box, other);
                        }
                        if (bOverlaps)
                            continue;
                        m_Batch.Add(pBlock);
                        m_pBatched[i] = 1;
                    }
                    if (m_Batch.GetCount() == 0)
                        break;
                    RenderBlockBatch();
                    m_BatchSizes.Add(m_Batch.GetCount());
                    ++m_iBlockBatches;
                }
    }
    m_pRenderer->EndRender();
}

void CMoxScene::RenderBlockBatch()
{
    CMoxBlockShader* pShader = m_pRenderer ? m_pRenderer->m_pBlockShader : nullptr;
    if (!pShader || !pShader->m_uProgram || m_Batch.GetCount() == 0)
        return;
    // Only materials 0..3 in looks 0..2 have a frame and a surface picture.
    const int iMaterial = m_Batch[0]->m_iMaterial, iVariant = m_Batch[0]->m_uVariant;
    if (iMaterial < 0 || iMaterial >= kMaterials || iVariant >= kVariantsDrawn)
        return;
    CKorvelSurface* pFrame = Texture(kTextureFrame + iMaterial);
    CKorvelSurface* pSurface = Texture(kTextureSurface + iMaterial * kVariantsDrawn + iVariant);
    if (!pFrame || !pSurface)
        return;

    BlockVertex* pStore = m_pRenderer->m_BlockStore;
    int n = 0;
    for (; n < m_Batch.GetCount() && n < SCENE_BATCH_BLOCKS; ++n)
    {
        CBlock* pBlock = m_Batch[n];
        CKorvelVector2 centre = pBlock->m_pBody->m_vVisualPosition;
        centre.Add(pBlock->m_vWobble);
        CKorvelVector2 half = pBlock->m_pBody->m_vHalfSize;
        float fAlpha = (float)pBlock->m_iShownStrength / 255.0f;
        if (fAlpha < 0.0f)
            fAlpha = 0.0f;
        CreateBlockVertices(&pStore[static_cast<ptrdiff_t>(n) * CMoxRenderer::BLOCK_VERTEX_COUNT].position.x,
                            centre, half, fAlpha);
        for (int k = 0; k < SCENE_BLOCK_INDICES; ++k)
            m_pBlockIndices[n * SCENE_BLOCK_INDICES + k] =
                (unsigned short)(kCellIndices[k] + CMoxRenderer::BLOCK_VERTEX_COUNT * n);
    }

    pShader->Use();
    if (pShader->m_iProjectionMatrix >= 0)
        glUniformMatrix4fv(pShader->m_iProjectionMatrix, 1, GL_FALSE, m_pRenderer->m_Camera.m_Matrix.m);
    if (pShader->m_iTexture0 >= 0)
        glUniform1i(pShader->m_iTexture0, 0);
    if (pShader->m_iTexture1 >= 0)
        glUniform1i(pShader->m_iTexture1, 1);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    VertexArray(pShader->m_iPosition, 3, &pStore[0].position.x);
    VertexArray(pShader->m_iUV0, 2, &pStore[0].uv0.x);
    VertexArray(pShader->m_iUV1, 2, &pStore[0].uv1.x);
    VertexArray(pShader->m_iShadeVS, 1, &pStore[0].shade);
    BindTexture(GL_TEXTURE0, pFrame->GetTexture(), GL_CLAMP_TO_EDGE);
    // Repeats: the surface pictures are power-of-two sized.
    BindTexture(GL_TEXTURE1, pSurface->GetTexture(), GL_REPEAT);
    glDrawElements(GL_TRIANGLES, SCENE_BLOCK_INDICES * n, GL_UNSIGNED_SHORT, m_pBlockIndices);
    ++m_iDrawCalls;

    for (int iLocation : {pShader->m_iPosition, pShader->m_iUV0, pShader->m_iUV1, pShader->m_iShadeVS})
        if (iLocation >= 0)
            glDisableVertexAttribArray(GLuint(iLocation));
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void CMoxScene::RenderShadowBatch()
{
    CMoxWorldShader* pShader = m_pRenderer ? m_pRenderer->m_pWorldShader : nullptr;
    CKorvelSurface* pShadow = Texture(kTextureShadow);
    if (!pShader || !pShader->m_uProgram || !pShadow)
        return;
    int n = 0;
    for (int i = 0; i < m_Batch.GetCount() && n < SCENE_BATCH_BLOCKS; ++i)
    {
        CBlock* pBlock = m_Batch[i];
        if (pBlock->m_iMaterial == BLOCK_MATERIAL_ICE)
            continue;
        CKorvelVector2 centre = pBlock->m_pBody->m_vVisualPosition;
        centre.Add(pBlock->m_vWobble);
        centre.Add(CKorvelVector2(0.02f, -0.05f));
        CreateShadowVertices(m_pShadowVertices + static_cast<ptrdiff_t>(20) * n, centre,
                             pBlock->m_pBody->m_vHalfSize);
        static const unsigned short kQuad[6] = {0, 1, 2, 0, 2, 3};
        for (int k = 0; k < 6; ++k)
            m_pShadowIndices[6 * n + k] = (unsigned short)(4 * n + kQuad[k]);
        ++n;
    }
    if (n == 0)
        return;

    pShader->Use();
    if (pShader->m_iProjectionMatrix >= 0)
        glUniformMatrix4fv(pShader->m_iProjectionMatrix, 1, GL_FALSE, m_pRenderer->m_Camera.m_Matrix.m);
    const float afWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    if (pShader->m_iColor0 >= 0)
        glUniform4fv(pShader->m_iColor0, 1, afWhite);
    if (pShader->m_iTexture0 >= 0)
        glUniform1i(pShader->m_iTexture0, 0);
    // What is below loses the shadow's colour, weighted by its own alpha; alpha stays.
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_REVERSE_SUBTRACT);
    glBlendFuncSeparate(GL_DST_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    const GLsizei iStride = 5 * sizeof(float);
    if (pShader->m_iPosition >= 0)
    {
        glEnableVertexAttribArray(GLuint(pShader->m_iPosition));
        glVertexAttribPointer(GLuint(pShader->m_iPosition), 3, GL_FLOAT, GL_FALSE, iStride,
                              m_pShadowVertices);
    }
    if (pShader->m_iUV0 >= 0)
    {
        glEnableVertexAttribArray(GLuint(pShader->m_iUV0));
        glVertexAttribPointer(GLuint(pShader->m_iUV0), 2, GL_FLOAT, GL_FALSE, iStride, m_pShadowVertices + 3);
    }
    BindTexture(GL_TEXTURE0, pShadow->GetTexture(), GL_CLAMP_TO_EDGE);
    glDrawElements(GL_TRIANGLES, 6 * n, GL_UNSIGNED_SHORT, m_pShadowIndices);

    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    if (pShader->m_iPosition >= 0)
        glDisableVertexAttribArray(GLuint(pShader->m_iPosition));
    if (pShader->m_iUV0 >= 0)
        glDisableVertexAttribArray(GLuint(pShader->m_iUV0));
    glBindTexture(GL_TEXTURE_2D, 0);
}
