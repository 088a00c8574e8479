// Gradient widget: the linear fills, the highlight mix and the shared radial surface.
#include "Framework/UI/GradientWidget.h"

#include <cstdio>

#include "Framework/Shell/VornResourceManager.h"
#include "Framework/UI/ScopedClip.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
const unsigned int GL_RGB_FORMAT = 0x1907;
const unsigned int GL_UNSIGNED_BYTE_TYPE = 0x1401;

// Each channel a x colour + (1 - a) x the highlight's, a the highlight's alpha; alpha kept.
unsigned int MixHighlight(unsigned int uColor, unsigned int uHighlight)
{
    const float a = static_cast<float>(uHighlight >> 24) / 255.0f;
    unsigned int uOut = uColor & 0xFF000000u;
    for (int iShift = 0; iShift <= 16; iShift += 8)
    {
        const float c = static_cast<float>((uColor >> iShift) & 0xFF);
        const float h = static_cast<float>((uHighlight >> iShift) & 0xFF);
        const float v = a * c + (1.0f - a) * h;
        const unsigned int u = v <= 0.0f ? 0u : (v >= 255.0f ? 255u : static_cast<unsigned int>(v));
        uOut |= u << iShift;
    }
    return uOut;
}
} // namespace

KE_RETVAL CGradientWidget::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                   const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CImageWidget::Startup(pApp, pResources, area);
    if (r == KE_OK)
        SetTransparent(1);
    return r;
}

void CGradientWidget::initializeClone(const CWidget& source)
{
    // Not the image widget's copy: a gradient keeps no visible area or frame of its own.
    CopyWidgetFields(source);
    const CGradientWidget* pSource = widget_cast<const CGradientWidget*>(&source);
    if (!pSource)
        return;
    SetDrawFlags(pSource->GetDrawFlags());
    // Only a counted image can be shared (see the image widget).
    CKorvelSurface* pImage = pSource->GetImage();
    if (pImage && m_pResources && m_pResources->IncrementSurface(pImage))
    {
        SetImage(pImage);
        m_pResources->ReleaseSurface(pImage);
    }
    m_uColor1 = pSource->m_uColor1;
    m_uColor2 = pSource->m_uColor2;
}

CKorvelSurface* CGradientWidget::GetRadialSurface(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                                  unsigned int uOuter, unsigned int uInner, float fRadius)
{
    if (!pResources)
        return nullptr;
    char aName[48];
    std::snprintf(aName, sizeof(aName), "radial_gradient_%08x_%08x", uOuter, uInner);
    const CKorvelString strName(aName);
    if (CKorvelSurface* pSurface = pResources->GetSurface(strName))
        return pSurface;
    CKorvelSurface* pSurface = new CKorvelSurface;
    SKE_SURFACEDESC desc = {};
    desc.iWidth = RADIAL_SIZE;
    desc.iHeight = RADIAL_SIZE;
    desc.eFormat = KE_SURFACE_ARGB8888;
    if (pSurface->Create(pApp, desc) != KE_OK)
    {
        delete pSurface;
        return nullptr;
    }
    pSurface->RadialGradientFill(uOuter, uInner, fRadius, nullptr);
    pResources->AddSurface(strName, pSurface);
    pSurface->SurfaceToTexture(GL_RGB_FORMAT, GL_UNSIGNED_BYTE_TYPE, 0);
    return pSurface;
}

KE_RETVAL CGradientWidget::draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    CScopedClip clip(pContext, rect);
    unsigned int uColor1 = m_uColor1, uColor2 = m_uColor2;
    const unsigned int uFlags = GetDrawFlags();
    if (uFlags & DRAW_HIGHLIGHTING)
    {
        uColor1 = MixHighlight(uColor1, GetHighlightColor());
        uColor2 = MixHighlight(uColor2, GetHighlightColor());
    }
    switch (uFlags & MODE_MASK)
    {
    case MODE_VERTICAL:
        pContext->GradientFill(uColor1, uColor1, uColor2, uColor2, &rect);
        break;
    case MODE_HORIZONTAL:
        pContext->GradientFill(uColor1, uColor2, uColor2, uColor1, &rect);
        break;
    case MODE_RADIAL:
        if (CKorvelSurface* pImage = GetImage())
            pContext->Blt(static_cast<const CKorvelRect<int>*>(nullptr), pImage,
                          static_cast<const CKorvelRect<int>*>(nullptr), 0);
        else if (CKorvelSurface* pSurface =
                     GetRadialSurface(m_pApp, m_pResources, uColor2, uColor1, m_fRadius))
        {
            pContext->Blt(static_cast<const CKorvelRect<int>*>(nullptr), pSurface,
                          static_cast<const CKorvelRect<int>*>(nullptr), 0);
            SetImage(pSurface);
            m_pResources->ReleaseSurface(pSurface);
        }
        break;
    default:
        break;
    }
    return KE_OK;
}
