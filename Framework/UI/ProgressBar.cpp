// Progress bar: clamps, the two images and the cropped fill.
#include "Framework/UI/ProgressBar.h"

#include <cmath>

#include "Framework/UI/HeldSurface.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
float Clamp01(float f)
{
    if (!(f > 0.0f))
        return 0.0f;
    return f < 1.0f ? f : 1.0f;
}

int RoundInt(float v)
{
    return static_cast<int>(std::floor(v + 0.5f));
}
} // namespace

CProgressBar::CProgressBar()
    : m_pProgressImage(nullptr), m_pLowImage(nullptr), m_fProgress(0.0f), m_fLowLimit(0.0f),
      m_eSide(SIDE_LEFT)
{
}

void CProgressBar::SetProgress(float fProgress)
{
    m_fProgress = Clamp01(fProgress);
}

void CProgressBar::SetProgressLowLimit(float fLimit)
{
    m_fLowLimit = Clamp01(fLimit);
}

void CProgressBar::SetSide(ESide eSide)
{
    const int i = static_cast<int>(eSide);
    m_eSide = static_cast<ESide>(i < 0 ? 0 : (i > 3 ? 3 : i));
}

void CProgressBar::Release(CKorvelSurface*& pHeld)
{
    ReleaseHeldSurface(m_pResources, pHeld);
}

void CProgressBar::Replace(CKorvelSurface*& pHeld, CKorvelSurface* pImage)
{
    ReplaceHeldSurface(m_pResources, pHeld, pImage);
}

// Like the base image, only a surface the manager counts can have two owners.
void CProgressBar::Share(CKorvelSurface*& pHeld, CKorvelSurface* pImage)
{
    if (pImage == pHeld)
        return;
    Release(pHeld);
    if (pImage && m_pResources && m_pResources->IncrementSurface(pImage))
        pHeld = pImage;
}

void CProgressBar::Shutdown()
{
    CImageWidget::Shutdown();
    Release(m_pProgressImage);
    Release(m_pLowImage);
}

void CProgressBar::initializeClone(const CWidget& source)
{
    CImageWidget::initializeClone(source);
    const CProgressBar* pSource = widget_cast<const CProgressBar*>(&source);
    if (!pSource)
        return;
    Share(m_pProgressImage, pSource->m_pProgressImage);
    Share(m_pLowImage, pSource->m_pLowImage);
    m_fProgress = pSource->m_fProgress;
    m_fLowLimit = pSource->m_fLowLimit;
    m_eSide = pSource->m_eSide;
}

KE_RETVAL CProgressBar::draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    const KE_RETVAL r = CImageWidget::draw(pContext, rect);
    if (r != KE_OK || m_fProgress <= 0.0f)
        return r;
    CKorvelSurface* pImage = (m_pLowImage && m_fProgress < m_fLowLimit) ? m_pLowImage : m_pProgressImage;
    if (!pImage)
        return KE_OK;
    const float p = m_fProgress;
    const float W = static_cast<float>(rect.right - rect.left),
                H = static_cast<float>(rect.bottom - rect.top);
    const int iw = pImage->GetWidth(), ih = pImage->GetHeight();
    CKorvelRect<int> rcDest = rect;
    CKorvelRect<int> rcSource(0, 0, iw, ih);
    switch (m_eSide)
    {
    case SIDE_LEFT:
        rcDest.right = rect.left + RoundInt(p * W);
        rcSource.right = RoundInt(static_cast<float>(iw) * p);
        break;
    case SIDE_TOP:
        rcDest.bottom = rect.top + RoundInt(p * H);
        rcSource.bottom = RoundInt(static_cast<float>(ih) * p);
        break;
    case SIDE_RIGHT:
        rcDest.left = rect.right - RoundInt(p * W);
        rcSource.left = iw - RoundInt(static_cast<float>(iw) * p);
        break;
    case SIDE_BOTTOM:
        rcDest.top = rect.bottom - RoundInt(p * H);
        rcSource.top = ih - RoundInt(static_cast<float>(ih) * p);
        break;
    }
    const unsigned int uBlend = GetBlendColor();
    if (uBlend == 0xFFFFFFFF)
        return pContext->Blt(&rcDest, pImage, &rcSource, BLIT_FLAGS);
    if (uBlend & 0xFF000000)
        return pContext->StretchBlend(&rcDest, pImage, &rcSource, uBlend, BLIT_FLAGS);
    return KE_OK;
}
