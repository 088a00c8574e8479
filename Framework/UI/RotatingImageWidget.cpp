// Rotating image: the angle, its steps, drawing and the layout element.
#include "Framework/UI/RotatingImageWidget.h"
#include "KorvelCommon/KorvelMath.h"

#include <cmath>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/ScopedClip.h"
#include "Framework/UI/UIXMLLoader.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
}

CRotatingImageWidget::CRotatingImageWidget() : m_fSpeed(KE_PI), m_fAngle(0.0f), m_fStep(0.0f)
{
    SetDrawFlags(GetDrawFlags() | DRAW_NO_CLIPPING);
}

void CRotatingImageWidget::SetRotationSteps(int iSteps)
{
    m_fStep = iSteps > 0 ? KE_TWO_PI / static_cast<float>(iSteps) : 0.0f;
}

int CRotatingImageWidget::GetRotationSteps() const
{
    return m_fStep != 0.0f ? static_cast<int>(KE_TWO_PI / m_fStep) : 0;
}

float CRotatingImageWidget::GetDrawnAngle() const
{
    if (m_fStep == 0.0f)
        return m_fAngle;
    return m_fStep * std::trunc(m_fAngle / m_fStep);
}

KE_RETVAL CRotatingImageWidget::update(float fSeconds)
{
    m_fAngle -= fSeconds * m_fSpeed;
    if (m_fAngle > KE_TWO_PI)
        m_fAngle -= KE_TWO_PI;
    else if (m_fAngle < -KE_TWO_PI)
        m_fAngle += KE_TWO_PI;
    // A speed of more than a turn a frame, or a layout's wild numbers, must not leave the
    // angle running away.
    if (!std::isfinite(m_fAngle))
        m_fAngle = 0.0f;
    else if (m_fAngle > KE_TWO_PI || m_fAngle < -KE_TWO_PI)
        m_fAngle = std::fmod(m_fAngle, KE_TWO_PI);
    return KE_OK;
}

KE_RETVAL CRotatingImageWidget::draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    CKorvelSurface* pImage = GetImage();
    if (!pImage || pImage->GetWidth() <= 0 || pImage->GetHeight() <= 0)
        return KE_OK;
    const unsigned int uFlags = GetDrawFlags();
    if ((uFlags & DRAW_ONLY_INSIDE) && (rect.left < 0 || rect.top < 0 || rect.right > pContext->GetWidth() ||
                                        rect.bottom > pContext->GetHeight()))
        return KE_OK;
    const float fAngle = GetDrawnAngle();
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    auto drawRotated = [&]() -> KE_RETVAL
    {
        if (GetBlendColor() == 0xFFFFFFFF)
            return pContext->BltRotate(rect.left, rect.top, pImage, fAngle, w < h ? w : h, BLIT_FLAGS);
        CKorvelGraphicsExt_GLES2* pGl = pContext->GetContextType() == KE_CONTEXT_GLES2
                                            ? dynamic_cast<CKorvelGraphicsExt_GLES2*>(pContext)
                                            : nullptr;
        if (!pGl)
            return KE_OK;
        CKorvelRect<int> rcSource;
        const bool bSource = GetVisibleArea(rcSource) != 0;
        return pGl->StretchRotateBlend(&rect, pImage, bSource ? &rcSource : nullptr, fAngle, GetBlendColor(),
                                       BLIT_FLAGS);
    };
    if (uFlags & DRAW_NO_CLIPPING)
    {
        CScopedClip clip(pContext);
        return drawRotated();
    }
    CScopedClip clip(pContext, rect);
    return drawRotated();
}

void CRotatingImageWidget::initializeClone(const CWidget& source)
{
    CImageWidget::initializeClone(source);
    if (const CRotatingImageWidget* pSource = widget_cast<const CRotatingImageWidget*>(&source))
    {
        m_fSpeed = pSource->m_fSpeed;
        m_fAngle = pSource->m_fAngle;
    }
}

CWidget* CRotatingImageWidget::CreateRotatingImage(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                                   CWidget& parent, CWidget* pCandidate)
{
    CRotatingImageWidget* pWidget =
        CUIXMLLoader::TakeOrCreate<CRotatingImageWidget>(pLoader, parent, pCandidate);
    if (CKorvelSurface* pSurface = CUIXMLLoader::ParseImage(pLoader, pElement, "image", nullptr, nullptr))
    {
        pWidget->SetImage(pSurface);
        pLoader->GetApplication()->ReleaseSurface(pSurface);
    }
    unsigned int uColor = 0;
    if (CUIXMLLoader::ParseColor(
            pLoader,
            CXMLLoaderWrapper::GetText(CXMLLoaderWrapper::FindChild(pElement, "blend_color"), "$value"),
            uColor))
        pWidget->SetBlendColor(uColor);
    if (CKorvelXMLDataNode* pRotation = CXMLLoaderWrapper::FindChild(pElement, "rotation"))
    {
        pWidget->SetRotationSpeed(CXMLLoaderWrapper::GetFloat(pRotation, "$speed", 0.0f));
        pWidget->SetRotationAngle(CXMLLoaderWrapper::GetFloat(pRotation, "$angle", 0.0f));
        pWidget->SetRotationSteps(CXMLLoaderWrapper::GetInt(pRotation, "$steps", 0));
    }
    return pWidget;
}
