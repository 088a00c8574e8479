// Bitmap font drawing: the DrawText entries, batching glyph quads for GL targets, and
// drawing kept batches with the text program.
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <GLES2/gl2.h>
#include <cstring>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "Korvel3D/Korvel3DColor.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
bool IsGLTarget(const IKorvelGraphicsContext& target)
{
    return target.GetContextType() == KE_CONTEXT_GLES2 || target.GetContextType() == KE_CONTEXT_GL_OTHER;
}

// Glyphs of one page and colour collected until they are flushed into a batch entry.
struct sPENDING_BATCH
{
    unsigned int uColor;
    unsigned int uTexture;
    int iGlyphs;
    float afVertices[CKorvelBitmapFont::MAX_BATCH_GLYPHS * 4 * 6];
    unsigned short auIndices[CKorvelBitmapFont::MAX_BATCH_GLYPHS * 6];
};

void Flush(sPENDING_BATCH& pending, CKorvelBitmapFont::SKE_PRERENDERED_TEXT& record)
{
    if (!pending.iGlyphs)
        return;
    auto* pBatch = new CKorvelBitmapFont::SKE_TEXT_BATCH();
    pBatch->uColor = pending.uColor;
    pBatch->iGlyphs = pending.iGlyphs;
    pBatch->uTexture = pending.uTexture;
    std::memcpy(pBatch->afVertices, pending.afVertices, sizeof(float) * 24 * pending.iGlyphs);
    std::memcpy(pBatch->auIndices, pending.auIndices, sizeof(unsigned short) * 6 * pending.iGlyphs);
    if (record.aBatches.Add(pBatch) < 0)
        delete pBatch;
    pending.iGlyphs = 0;
}
} // namespace

void CKorvelBitmapFont::DrawText(const CKorvelRect<int>& rect, IKorvelGraphicsContext& target,
                                 const CKorvelString& strText, unsigned int uColor, unsigned int uFlags,
                                 SKE_PRERENDERED_TEXT* pRecord)
{
    SKE_PRERENDERED_TEXT local;
    SKE_PRERENDERED_TEXT& record = pRecord ? *pRecord : local;
    record.aBatches.Clear();
    record.pTarget = nullptr;
    record.uColor = 0;
    record.uFlags = 0;
    if (strText.GetLength() && rect.Intersect(target.m_rcClip, nullptr))
    {
        if (target.GetContextType() == KE_CONTEXT_SURFACE)
            DrawTextToSurface(rect, static_cast<CKorvelSurface&>(target), strText, uColor, uFlags, record);
        else if (IsGLTarget(target))
            DrawTextToGLES2(rect, target, strText, uColor, uFlags, record);
    }
    if (!pRecord)
        local.DeleteBatches();
}

void CKorvelBitmapFont::DrawText(const CKorvelRect<float>& rect, IKorvelGraphicsContext& target,
                                 const CKorvelString& strText, unsigned int uColor, unsigned int uFlags,
                                 SKE_PRERENDERED_TEXT* pRecord)
{
    const CKorvelRect<int> pixels(target.FloatToPixelX(rect.left), target.FloatToPixelY(rect.top),
                                  target.FloatToPixelX(rect.right), target.FloatToPixelY(rect.bottom));
    DrawText(pixels, target, strText, uColor, uFlags, pRecord);
}

void CKorvelBitmapFont::DrawText(int x, int y, IKorvelGraphicsContext& target, const CKorvelString& strText,
                                 unsigned int uColor, unsigned int uFlags, SKE_PRERENDERED_TEXT* pRecord)
{
    DrawText(CKorvelRect<int>(x, y, target.GetWidth(), target.GetHeight()), target, strText, uColor, uFlags,
             pRecord);
}

void CKorvelBitmapFont::DrawText(const CKorvelVector2& pos, IKorvelGraphicsContext& target,
                                 const CKorvelString& strText, unsigned int uColor, unsigned int uFlags,
                                 SKE_PRERENDERED_TEXT* pRecord)
{
    DrawText(target.FloatToPixelX(pos.x), target.FloatToPixelY(pos.y), target, strText, uColor, uFlags,
             pRecord);
}

void CKorvelBitmapFont::DrawTextToGLES2(const CKorvelRect<int>& rect, IKorvelGraphicsContext& target,
                                        const CKorvelString& strText, unsigned int uColor,
                                        unsigned int uFlags, SKE_PRERENDERED_TEXT& record)
{
    // Released fonts have no vertices until Restore.
    if (!m_aPages.GetCount() || !(uColor >> 24) || !m_pVertices)
        return;
    sPen pen;
    StartLayout(rect, target, strText, uColor, uFlags, record, pen, true);

    sPENDING_BATCH batch;
    batch.uColor = uColor;
    batch.uTexture = 0;
    batch.iGlyphs = 0;
    const CKorvelString& strWrapped = pen.strWrapped;
    for (int i = 0; i < strWrapped.GetLength(); ++i)
    {
        if (!(uFlags & KE_TEXT_NOTAGS) && ParseTextTags(strWrapped, i, nullptr))
        {
            Flush(batch, record);
            ParseTextTags(strWrapped, i, &batch.uColor);
            i += TAG_LENGTH - 1;
            continue;
        }
        if (StepLineBreak(pen, i, rect, uFlags))
            continue;
        const SKE_BMFONT_CHAR* pChar = GetCharInfo(strWrapped.GetBuffer()[i]);
        if (!pChar)
            continue;
        const unsigned int uTexture = PageAt(pChar->iPage)->uTexture;
        if ((batch.iGlyphs && batch.uTexture != uTexture) || batch.iGlyphs == MAX_BATCH_GLYPHS)
            Flush(batch, record);
        const float fOffsetX =
            2.0f * (target.PixelToFloatX(pen.x) + target.PixelToFloatX(pChar->iXOffset) * m_fScale) - 1.0f;
        const float fOffsetY =
            1.0f - 2.0f * (target.PixelToFloatY(pen.y) + target.PixelToFloatY(pChar->iYOffset) * m_fScale);
        const SKE_BMFONT_VERTEX* pSource = m_pVertices + static_cast<size_t>(pChar->iIndex) * 4;
        float* pOut = batch.afVertices + static_cast<ptrdiff_t>(batch.iGlyphs) * 24;
        for (int k = 0; k < 4; ++k, pOut += 6)
        {
            pOut[0] = pSource[k].x;
            pOut[1] = pSource[k].y;
            pOut[2] = pSource[k].u;
            pOut[3] = pSource[k].v;
            pOut[4] = fOffsetX;
            pOut[5] = fOffsetY;
        }
        const unsigned short b = static_cast<unsigned short>(batch.iGlyphs * 4);
        unsigned short* pIndex = batch.auIndices + static_cast<ptrdiff_t>(batch.iGlyphs) * 6;
        const unsigned short auQuad[6] = {
            b, static_cast<unsigned short>(b + 1), static_cast<unsigned short>(b + 2),
            b, static_cast<unsigned short>(b + 2), static_cast<unsigned short>(b + 3)};
        std::memcpy(pIndex, auQuad, sizeof(auQuad));
        ++batch.iGlyphs;
        pen.x = PenStep(pen.x, static_cast<int>(pChar->iXAdvance * m_fScale));
        batch.uTexture = uTexture;
    }
    Flush(batch, record);
    DrawTextPrerendered(record);
}

void CKorvelBitmapFont::DrawTextPrerendered(const SKE_PRERENDERED_TEXT& record)
{
    if (!record.pTarget)
        return;
    IKorvelGraphicsContext& target = *record.pTarget;
    if (IsGLTarget(target))
    {
        const bool bBracket = !m_bTextMode;
        if (bBracket)
            BeginText(target);
        DrawBatchesGL(record);
        if (bBracket)
            EndText(target);
    }
    else if (target.GetContextType() == KE_CONTEXT_SURFACE)
        DrawGlyphsToSurface(record);
}

void CKorvelBitmapFont::DrawBatchesGL(const SKE_PRERENDERED_TEXT& record)
{
    IKorvelGraphicsContext& target = *record.pTarget;
    auto* pExt = dynamic_cast<CKorvelGraphicsExt_GLES2*>(&target);
    if (!m_pProgram || !pExt)
        return;
    const CKorvelRect<int> rcSaved = target.m_rcClip;
    target.SetClipRect(&record.rcClip);
    const int iPosition = m_pProgram->GetAttributeLocation("position");
    const int iUV = m_pProgram->GetAttributeLocation("uv");
    const int iOffset = m_pProgram->GetAttributeLocation("offset");
    const int iColor = m_pProgram->GetUniformLocation("color");
    for (int i = 0; i < record.aBatches.GetCount(); ++i)
    {
        const SKE_TEXT_BATCH& batch = *record.aBatches[i];
        pExt->ActivateTexture(GL_TEXTURE0, batch.uTexture);
        glVertexAttribPointer(iPosition, 2, GL_FLOAT, GL_FALSE, 24, batch.afVertices);
        glVertexAttribPointer(iUV, 2, GL_FLOAT, GL_FALSE, 24, batch.afVertices + 2);
        glVertexAttribPointer(iOffset, 2, GL_FLOAT, GL_FALSE, 24, batch.afVertices + 4);
        // The uniform may hold another draw's colour: always set it for the first batch.
        if (i == 0 || batch.uColor != record.aBatches[i - 1]->uColor)
        {
            const CKorvel3DColor c(batch.uColor);
            glUniform4f(iColor, c.r * c.a, c.g * c.a, c.b * c.a, c.a);
        }
        glDrawElements(GL_TRIANGLES, 6 * batch.iGlyphs, GL_UNSIGNED_SHORT, batch.auIndices);
    }
    target.SetClipRect(&rcSaved);
}

void CKorvelBitmapFont::BeginText(IKorvelGraphicsContext& target)
{
    if (m_bTextMode)
        return;
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); // the colour uniform is premultiplied
    auto* pExt = dynamic_cast<CKorvelGraphicsExt_GLES2*>(&target);
    if (pExt && m_pProgram)
    {
        pExt->ActivateProgram(*m_pProgram, nullptr);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glUniform2f(m_pProgram->GetUniformLocation("scale"), target.PixelToFloatX(1) * m_fScale,
                    target.PixelToFloatY(1) * m_fScale);
        for (const char* pszName : {"position", "uv", "offset"})
            glEnableVertexAttribArray(m_pProgram->GetAttributeLocation(pszName));
    }
    glActiveTexture(GL_TEXTURE0);
    m_bTextMode = 1;
}

void CKorvelBitmapFont::EndText(IKorvelGraphicsContext&)
{
    if (!m_bTextMode)
        return;
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    if (m_pProgram)
        for (const char* pszName : {"position", "uv", "offset"})
            glDisableVertexAttribArray(m_pProgram->GetAttributeLocation(pszName));
    m_bTextMode = 0;
}
