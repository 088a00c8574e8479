// Pie widget: the segment and angle rules and the triangle fan.
#include "Framework/UI/PieWidget.h"

#include <GLES2/gl2.h>

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "Framework/UI/ScopedClip.h"
#include "KorvelCommon/KorvelMath.h"

namespace
{
}

CPieWidget::CPieWidget() : m_uColor(0xFF00FF00u), m_fAngle(KE_TWO_PI), m_iSegments(12), m_pVertices(nullptr)
{
}

CPieWidget::~CPieWidget()
{
    delete[] m_pVertices;
}

void CPieWidget::Reallocate()
{
    delete[] m_pVertices;
    m_pVertices = new float[static_cast<size_t>(m_iSegments + 1) * FLOATS_PER_VERTEX]();
}

KE_RETVAL CPieWidget::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                              const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CWidget::Startup(pApp, pResources, area);
    if (r == KE_OK)
        Reallocate();
    return r;
}

void CPieWidget::Shutdown()
{
    delete[] m_pVertices;
    m_pVertices = nullptr;
    CWidget::Shutdown();
}

void CPieWidget::SetAngle(float fRadians)
{
    if (!(fRadians > 0.0f))
        fRadians = 0.0f;
    else if (fRadians > KE_TWO_PI)
        fRadians = KE_TWO_PI;
    m_fAngle = fRadians;
}

void CPieWidget::SetSegments(int iSegments)
{
    m_iSegments =
        iSegments < MIN_SEGMENTS ? MIN_SEGMENTS : (iSegments > MAX_SEGMENTS ? MAX_SEGMENTS : iSegments);
    Reallocate();
}

void CPieWidget::initializeClone(const CWidget& source)
{
    CWidget::initializeClone(source);
    const CPieWidget* pSource = widget_cast<const CPieWidget*>(&source);
    if (!pSource)
        return;
    m_fAngle = pSource->m_fAngle;
    m_uColor = pSource->m_uColor;
    SetSegments(pSource->m_iSegments);
}

void CPieWidget::FillVertices(const CKorvelRect<int>& rect, float fPixelX, float fPixelY)
{
    if (!m_pVertices)
        Reallocate();
    const float xl = 2.0f * static_cast<float>(rect.left) * fPixelX - 1.0f;
    const float xr = 2.0f * static_cast<float>(rect.right) * fPixelX - 1.0f;
    const float yt = 1.0f - 2.0f * static_cast<float>(rect.top) * fPixelY;
    const float yb = 1.0f - 2.0f * static_cast<float>(rect.bottom) * fPixelY;
    const float rx = (xr - xl) / 2.0f, ry = (yt - yb) / 2.0f;
    const float cx = xl + rx, cy = yb + ry;
    const float afColor[4] = {static_cast<float>((m_uColor >> 16) & 0xFF) / 255.0f,
                              static_cast<float>((m_uColor >> 8) & 0xFF) / 255.0f,
                              static_cast<float>(m_uColor & 0xFF) / 255.0f,
                              static_cast<float>(m_uColor >> 24) / 255.0f};
    const float fStep = KE_TWO_PI / static_cast<float>(m_iSegments - 1);
    for (int i = 0; i <= m_iSegments; ++i)
    {
        float* v = m_pVertices + static_cast<ptrdiff_t>(i) * FLOATS_PER_VERTEX;
        if (i == 0)
        {
            v[0] = cx;
            v[1] = cy;
        }
        else
        {
            float a = static_cast<float>(i - 1) * fStep;
            a = a < m_fAngle ? a : m_fAngle;
            v[0] = cx - CKorvelMath::Sin(a) * rx;
            v[1] = cy + CKorvelMath::Cos(a) * ry;
        }
        v[2] = 0.0f;
        for (int c = 0; c < 4; ++c)
            v[3 + c] = afColor[c];
    }
}

KE_RETVAL CPieWidget::draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    CKorvelGraphicsExt_GLES2* pGl = pContext->GetContextType() == KE_CONTEXT_GLES2
                                        ? dynamic_cast<CKorvelGraphicsExt_GLES2*>(pContext)
                                        : nullptr;
    if (!pGl || !pGl->GetColorProgram())
        return KE_OK;
    CScopedClip clip(pContext, rect);
    FillVertices(rect, pContext->PixelToFloatX(1), pContext->PixelToFloatY(1));
    glDisable(GL_BLEND);
    pGl->ActivateTexture(GL_TEXTURE0, 0);
    pGl->ActivateProgram(*pGl->GetColorProgram(), m_pVertices);
    glDrawArrays(GL_TRIANGLE_FAN, 0, m_iSegments + 1);
    return KE_OK;
}
