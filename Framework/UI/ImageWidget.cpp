// Image widget: the image's reference, frame animation, visible area, highlight, cloning.
#include "Framework/UI/ImageWidget.h"

#include "Framework/Shell/VornResourceManager.h"
#include "Framework/UI/EasingCurve.h"
#include "KorvelGraphics/KorvelSurface.h"

#include <cmath>

CImageWidget::CImageWidget()
    : m_pImage(nullptr), m_uHasVisibleArea(0), m_uDrawFlags(DRAW_STRETCH), m_fFrameDuration(0.0f),
      m_fClock(0.0f), m_fHighlightTime(0.0f), m_pHighlightCurve(nullptr)
{
}

CImageWidget::~CImageWidget()
{
    delete m_pHighlightCurve;
}

KE_RETVAL CImageWidget::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                                const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CWidget::Startup(pApp, pResources, area);
    // A plain image lets presses through to what lies below.
    SetTransparent(1);
    ReleaseImage();
    m_uHasVisibleArea = 0;
    m_rcVisibleArea = CKorvelRect<int>();
    m_fFrameDuration = 0.0f;
    m_fClock = 0.0f;
    m_fHighlightTime = 0.0f;
    delete m_pHighlightCurve;
    m_pHighlightCurve = nullptr;
    return r;
}

void CImageWidget::Shutdown()
{
    ReleaseImage();
    delete m_pHighlightCurve;
    m_pHighlightCurve = nullptr;
    CWidget::Shutdown();
}

void CImageWidget::SetImage(CKorvelSurface* pImage)
{
    if (pImage == m_pImage)
        return;
    ReleaseImage();
    if (m_pResources)
        m_pResources->IncrementSurface(pImage);
    m_pImage = pImage;
}

void CImageWidget::ReleaseImage()
{
    CKorvelSurface* pOld = m_pImage;
    m_pImage = nullptr;
    if (!pOld || (m_pResources && m_pResources->ReleaseSurface(pOld)))
        return;
    // An image the manager does not know is this widget's own.
    pOld->Shutdown();
    delete pOld;
}

unsigned int CImageWidget::GetFrameCount() const
{
    if (!m_pImage)
        return 1;
    const int iCount = m_pImage->GetSubFrameCountX() * m_pImage->GetSubFrameCountY();
    // A sheet that was never divided counts as one frame.
    return iCount > 0 ? static_cast<unsigned int>(iCount) : 1;
}

unsigned int CImageWidget::GetFrameIndex() const
{
    if (m_fFrameDuration <= 0.0f)
        return 0;
    return static_cast<unsigned int>(m_fClock / m_fFrameDuration) % GetFrameCount();
}

void CImageWidget::SetFrameIndex(unsigned int uIndex)
{
    m_fClock = m_fFrameDuration * static_cast<float>(uIndex % GetFrameCount());
}

unsigned int CImageWidget::GetVisibleArea(CKorvelRect<int>& rect) const
{
    if (m_uHasVisibleArea)
    {
        rect = m_rcVisibleArea;
        return 1;
    }
    if (!m_pImage)
        return 0;
    m_pImage->GetSubFrame(static_cast<int>(GetFrameIndex()), rect);
    return 1;
}

void CImageWidget::SetVisibleArea(const CKorvelRect<int>* pRect)
{
    m_uHasVisibleArea = pRect ? 1 : 0;
    m_rcVisibleArea = pRect ? *pRect : CKorvelRect<int>();
}

KE_RETVAL CImageWidget::update(float fSeconds)
{
    if (m_fFrameDuration > 0.0f && !(m_uDrawFlags & DRAW_FIXED_FRAME) && m_pImage)
    {
        m_fClock += fSeconds;
        const float fTotal = m_fFrameDuration * static_cast<float>(GetFrameCount());
        if (m_fClock > fTotal)
        {
            m_fClock -= fTotal;
            if (m_fClock > fTotal)
                m_fClock = 0.0f;
        }
    }
    if ((m_uDrawFlags & DRAW_HIGHLIGHTING) && m_fHighlightTime > 0.0f)
    {
        if (!m_pHighlightCurve)
            m_pHighlightCurve = new CEasingCurveLinear;
        m_fHighlightTime -= fSeconds;
        if (m_fHighlightTime > 0.0f)
        {
            float fAlpha = floorf(0.5f + (1.0f - m_pHighlightCurve->Easing(m_fHighlightTime)) * 255.0f);
            fAlpha = fAlpha < 0.0f ? 0.0f : (fAlpha > 255.0f ? 255.0f : fAlpha);
            SetHighlightColor((GetHighlightColor() & 0x00FFFFFF) | (static_cast<unsigned int>(fAlpha) << 24));
        }
        else
        {
            SetHighlightColor(0xFFFFFFFF);
            m_uDrawFlags &= ~DRAW_HIGHLIGHTING;
        }
    }
    return KE_OK;
}

void CImageWidget::StartHighlight()
{
    m_uDrawFlags |= DRAW_HIGHLIGHTING;
    m_fHighlightTime = 1.0f;
}

void CImageWidget::ResetHighlight()
{
    m_fHighlightTime = 0.0f;
    m_uDrawFlags &= ~DRAW_HIGHLIGHTING;
    SetHighlightColor(0xFFFFFFFF);
}

void CImageWidget::Highlight()
{
    if (!GetVisible())
        return;
    StartHighlight();
    HighlightDescendants(this);
}

void CImageWidget::HighlightDescendants(CWidget* pWidget)
{
    const CKorvelArray<CWidget*>& aChildren = pWidget->GetWidgets();
    for (int i = 0; i < aChildren.GetCount(); ++i)
    {
        CWidget* pChild = aChildren[i];
        if (!pChild->GetVisible())
            continue;
        if (CImageWidget* pImage = widget_cast<CImageWidget*>(pChild))
            pImage->StartHighlight();
        HighlightDescendants(pChild);
    }
}

void CImageWidget::StopHighlight()
{
    ResetHighlight();
    StopDescendants(this);
}

void CImageWidget::StopDescendants(CWidget* pWidget)
{
    const CKorvelArray<CWidget*>& aChildren = pWidget->GetWidgets();
    for (int i = 0; i < aChildren.GetCount(); ++i)
    {
        if (CImageWidget* pImage = widget_cast<CImageWidget*>(aChildren[i]))
            pImage->ResetHighlight();
        StopDescendants(aChildren[i]);
    }
}

void CImageWidget::visibilityChanged(unsigned int uVisible)
{
    if (!uVisible)
        StopHighlight();
    CWidget::visibilityChanged(uVisible);
}

void CImageWidget::initializeClone(const CWidget& source)
{
    CWidget::initializeClone(source);
    const CImageWidget* pSource = widget_cast<const CImageWidget*>(&source);
    if (!pSource)
        return;
    m_uHasVisibleArea = pSource->m_uHasVisibleArea;
    m_rcVisibleArea = pSource->m_rcVisibleArea;
    // Only a counted image can be shared: two owners of one unmanaged surface would both
    // delete it, so such an image stays with the source alone.
    CKorvelSurface* pImage = pSource->m_pImage;
    if (pImage != m_pImage)
    {
        ReleaseImage();
        if (pImage && m_pResources && m_pResources->IncrementSurface(pImage))
            m_pImage = pImage;
    }
    m_fFrameDuration = pSource->m_fFrameDuration;
    SetFrameIndex(pSource->GetFrameIndex());
    m_uDrawFlags = pSource->m_uDrawFlags;
}
