// Scrolling area: the arrows and bars taken from templates, drawing with the scroll
// applied to the children only, and the hit test that tries the arrows first.
#include "Framework/UI/SlideArea.h"

#include <cmath>

#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/Theme.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
const char* const ARROW_TEMPLATES[4] = {"arrow_left_template", "arrow_top_template", "arrow_right_template",
                                        "arrow_bottom_template"};
const unsigned int GL_RGB_FORMAT = 0x1907;
const unsigned int GL_UNSIGNED_BYTE_TYPE = 0x1401;

bool Touches(const CKorvelRect<int>& a, const CKorvelRect<int>& b)
{
    return a.right >= b.left && a.left <= b.right && a.bottom >= b.top && a.top <= b.bottom;
}

CKorvelRect<int> Shifted(const CKorvelRect<int>& r, int dx, int dy)
{
    return CKorvelRect<int>(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
}

CImageWidget* TakeBar(CWidget& area, const char* pName)
{
    CWidget* pTemplate = area.ExtractTemplate(CKorvelString(pName));
    CImageWidget* pBar = widget_cast<CImageWidget*>(pTemplate);
    if (pTemplate && !pBar)
    {
        pTemplate->Shutdown();
        delete pTemplate;
    }
    return pBar;
}
} // namespace

void CSlideArea::TakeScrollWidgets()
{
    for (int i = 0; i < 4; ++i)
        if (!m_apArrows[i])
            m_apArrows[i] = ExtractTemplate(CKorvelString(ARROW_TEMPLATES[i]));
    if (!m_pHorizontalBar)
        m_pHorizontalBar = TakeBar(*this, "scrollbar_horizontal_template");
    if (!m_pVerticalBar)
        m_pVerticalBar = TakeBar(*this, "scrollbar_vertical_template");
    ColorBars();
    m_uScrollFlags &= ~FLAG_TAKE_TEMPLATES;
}

void CSlideArea::ColorBars()
{
    if (!m_pHorizontalBar && !m_pVerticalBar)
        return;
    CVornApplication* pApp = dynamic_cast<CVornApplication*>(GetApplication());
    CVornTheme* pTheme = pApp ? pApp->GetTheme() : nullptr;
    unsigned int uColor = 0;
    if (!pTheme || !pTheme->GetColorByName(CKorvelString("scrollbar"), uColor))
        return;
    CImageWidget* apBars[2] = {m_pHorizontalBar, m_pVerticalBar};
    for (CImageWidget* pBar : apBars)
    {
        CKorvelSurface* pSurface = pBar ? pBar->GetImage() : nullptr;
        if (!pSurface)
            continue;
        pSurface->Fill(uColor, static_cast<const CKorvelRect<int>*>(nullptr));
        pSurface->SurfaceToTexture(GL_RGB_FORMAT, GL_UNSIGNED_BYTE_TYPE, 0);
    }
}

void CSlideArea::updateScrollWidgets()
{
    if (m_uScrollFlags & FLAG_TAKE_TEMPLATES)
        TakeScrollWidgets();
    const int sx = GetShownX(), sy = GetShownY();
    const unsigned int auShow[4] = {sx > m_rcContent.left ? 1u : 0u, sy > m_rcContent.top ? 1u : 0u,
                                    m_rcContent.right > GetWidth() + sx ? 1u : 0u,
                                    m_rcContent.bottom > GetHeight() + sy ? 1u : 0u};
    for (int i = 0; i < 4; ++i)
        if (m_apArrows[i])
            m_apArrows[i]->SetVisible(auShow[i]);
    if (m_pHorizontalBar)
        m_pHorizontalBar->SetVisible(1);
    if (m_pVerticalBar)
        m_pVerticalBar->SetVisible(1);
}

KE_RETVAL CSlideArea::DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    if (!GetVisible())
        return KE_OK;
    KE_RETVAL r = draw(pContext, rect);
    if (r != KE_OK)
        return r;
    const CKorvelRect<int> rcSaved = pContext->m_rcClip;
    const CKorvelRect<int> rcClip(rect.left > rcSaved.left ? rect.left : rcSaved.left,
                                  rect.top > rcSaved.top ? rect.top : rcSaved.top,
                                  rect.right < rcSaved.right ? rect.right : rcSaved.right,
                                  rect.bottom < rcSaved.bottom ? rect.bottom : rcSaved.bottom);
    const int sx = GetShownX(), sy = GetShownY();
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        CWidget* pChild = m_aChildren[i];
        if (!pChild->GetVisible())
            continue;
        const CKorvelRect<int> rcChild = Shifted(pChild->GetArea(), rect.left - sx, rect.top - sy);
        if (!Touches(rcChild, rect))
            continue;
        pContext->SetClipRect(&rcClip);
        r = pChild->DrawAt(pContext, rcChild);
        if (r != KE_OK)
            return r;
    }
    r = DrawScrollWidgets(pContext, rect, rcClip);
    if (r != KE_OK)
        return r;
    pContext->SetClipRect(&rcSaved);
    return KE_OK;
}

KE_RETVAL CSlideArea::DrawScrollWidgets(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect,
                                        const CKorvelRect<int>& clip)
{
    for (CWidget* pArrow : m_apArrows)
    {
        if (!pArrow)
            continue;
        const CKorvelRect<int> rcArrow = Shifted(pArrow->GetArea(), rect.left, rect.top);
        if (!Touches(rcArrow, rect))
            continue;
        pContext->SetClipRect(&clip);
        const KE_RETVAL r = pArrow->DrawAt(pContext, rcArrow);
        if (r != KE_OK)
            return r;
    }
    KE_RETVAL r = DrawBar(pContext, m_pHorizontalBar, rect, clip, false);
    if (r != KE_OK)
        return r;
    return DrawBar(pContext, m_pVerticalBar, rect, clip, true);
}

KE_RETVAL CSlideArea::DrawBar(IKorvelGraphicsContext* pContext, CImageWidget* pBar,
                              const CKorvelRect<int>& rect, const CKorvelRect<int>& clip, bool bVertical)
{
    if (!pBar)
        return KE_OK;
    const float a = m_pFadeCurve ? m_pFadeCurve->Easing(1.0f - m_fBarTimer * 0.5f) : 1.0f;
    pBar->SetBlendColor((static_cast<unsigned int>(a * 255.0f) << 24) | 0x00FFFFFF);
    const CKorvelRect<int>& rcBar = pBar->GetArea();
    int iMove = 0;
    if (bVertical)
    {
        const int iMax = clampOffsetY(m_rcContent.bottom);
        const int iTravel = GetHeight() - pBar->GetHeight() - 2 * rcBar.top;
        if (iMax != 0)
            iMove = RoundInt(static_cast<float>(iTravel) * static_cast<float>(GetShownY()) /
                             static_cast<float>(iMax));
    }
    else
    {
        const int iMax = clampOffsetX(m_rcContent.right);
        const int iTravel = GetWidth() - pBar->GetWidth() - 2 * rcBar.left;
        if (iMax != 0)
            iMove = RoundInt(static_cast<float>(iTravel) * static_cast<float>(GetShownX()) /
                             static_cast<float>(iMax));
    }
    const CKorvelRect<int> rcDraw =
        Shifted(rcBar, rect.left + (bVertical ? 0 : iMove), rect.top + (bVertical ? iMove : 0));
    if (!Touches(rcDraw, rect))
        return KE_OK;
    pContext->SetClipRect(&clip);
    return pBar->DrawAt(pContext, rcDraw);
}

CWidget* CSlideArea::FindWidget(int x, int y) const
{
    const int lx = x - GetShownX(), ly = y - GetShownY();
    for (CWidget* pArrow : m_apArrows)
    {
        if (!pArrow || !pArrow->GetEnabled() || !pArrow->GetVisible())
            continue;
        const CKorvelRect<int>& a = pArrow->GetArea();
        if (lx < a.left || lx > a.right || ly < a.top || ly > a.bottom)
            continue;
        int ax = lx, ay = ly;
        pArrow->MapToClient(ax, ay);
        CWidget* pHit = pArrow->FindWidget(ax, ay);
        return pHit ? pHit : pArrow;
    }
    return CLayout::FindWidget(x, y);
}
