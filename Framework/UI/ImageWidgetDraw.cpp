// Image widget drawing: the source rectangle, the on-target test, the clip and the blit
// chosen by the draw flags and the blend colour.
#include "Framework/UI/ImageWidget.h"

#include "Framework/UI/ScopedClip.h"
#include "KorvelGraphics/KorvelSurface.h"

KE_RETVAL CImageWidget::draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    if (!m_pImage || m_pImage->GetWidth() <= 0 || m_pImage->GetHeight() <= 0)
        return KE_OK;
    CKorvelRect<int> rcSource;
    GetVisibleArea(rcSource);
    if ((m_uDrawFlags & DRAW_ONLY_INSIDE) &&
        (rect.left < 0 || rect.top < 0 || rect.right > pContext->GetWidth() ||
         rect.bottom > pContext->GetHeight()))
        return KE_OK;

    if (m_uDrawFlags & DRAW_NO_CLIPPING)
    {
        CScopedClip clip(pContext);
        return Blit(pContext, rect, rcSource);
    }
    CScopedClip clip(pContext, rect);
    return Blit(pContext, rect, rcSource);
}

KE_RETVAL CImageWidget::Blit(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect,
                             const CKorvelRect<int>& source)
{
    if (m_uDrawFlags == 0)
        return pContext->BltFast(rect.left, rect.top, m_pImage, &source, BLIT_FLAGS);
    if (!(m_uDrawFlags & DRAW_STRETCH))
        return KE_OK;
    if (m_uDrawFlags & DRAW_KEEP_ASPECT)
    {
        int iFrameWidth = m_pImage->GetSubFrameWidth(), iFrameHeight = m_pImage->GetSubFrameHeight();
        if (iFrameWidth <= 0 || iFrameHeight <= 0)
        {
            iFrameWidth = m_pImage->GetWidth();
            iFrameHeight = m_pImage->GetHeight();
        }
        CKorvelRect<int> rcFitted = rect;
        if (!FitAspect(rcFitted, static_cast<float>(iFrameWidth) / static_cast<float>(iFrameHeight), 0.5f))
            return KE_OK;
        return pContext->Blt(&rcFitted, m_pImage, &source, BLIT_FLAGS);
    }
    if (m_uDrawFlags & DRAW_HIGHLIGHTING)
        return pContext->StretchBlend(&rect, m_pImage, &source, GetHighlightColor(), HIGHLIGHT_BLIT_FLAGS);
    const unsigned int uBlend = GetBlendColor();
    if (uBlend == 0xFFFFFFFF)
        return pContext->Blt(&rect, m_pImage, &source, BLIT_FLAGS);
    if (uBlend & 0xFF000000)
        return pContext->StretchBlend(&rect, m_pImage, &source, uBlend, BLIT_FLAGS);
    return KE_OK;
}
