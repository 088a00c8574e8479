// Button: hit area, pressing and releasing, the delayed click, cancel, highlight, cloning.
#include "Framework/UI/Button.h"

#include <cmath>

CButton::CButton()
    : m_uToggled(0), m_fHitAreaFactor(1.0f), m_fExtraFactor(0.25f), m_fDisabledTime(0.0f), m_uPressed(0),
      m_uCancellable(1), m_uChildLook(0), m_uClickCount(0), m_fClickDelay(0.15f), m_fClickTimer(0.0f)
{
}

KE_RETVAL CButton::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                           const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CImageWidget::Startup(pApp, pResources, area);
    SetTransparent(0);
    m_fClickTimer = 0.0f;
    m_fDisabledTime = 0.0f;
    m_fClickDelay = 0.15f;
    m_uCancellable = 1;
    m_uChildLook = 0;
    m_uToggled = 0;
    m_uPressed = 0;
    m_fHitAreaFactor = 1.0f;
    m_fExtraFactor = 0.25f;
    m_uClickCount = 0;
    UpdateHitArea();
    return r;
}

void CButton::Shutdown()
{
    m_fClickTimer = 0.0f;
    m_uPressed = 0;
    CImageWidget::Shutdown();
}

void CButton::SetHitAreaSize(float fFactor)
{
    m_fHitAreaFactor = fFactor > 0.0f ? fFactor : 0.0f;
    UpdateHitArea();
}

void CButton::UpdateHitArea()
{
    const int w = GetWidth(), h = GetHeight();
    m_rcHitArea = CKorvelRect<int>(0, 0, w, h);
    if (m_fHitAreaFactor == 1.0f)
        return;
    const int dx = static_cast<int>(floorf(0.5f + static_cast<float>(w) * (m_fHitAreaFactor - 1.0f) / 2.0f));
    const int dy = static_cast<int>(floorf(0.5f + static_cast<float>(h) * (m_fHitAreaFactor - 1.0f) / 2.0f));
    m_rcHitArea.left -= dx;
    m_rcHitArea.right += dx;
    m_rcHitArea.top -= dy;
    m_rcHitArea.bottom += dy;
}

unsigned int CButton::PointIn(int x, int y) const
{
    return (x >= m_rcHitArea.left && x <= m_rcHitArea.right && y >= m_rcHitArea.top &&
            y <= m_rcHitArea.bottom)
               ? 1
               : 0;
}

void CButton::areaUpdated(const CKorvelRect<int>& oldArea, const CKorvelRect<int>& newArea)
{
    CImageWidget::areaUpdated(oldArea, newArea);
    UpdateHitArea();
    // The looks always cover the whole button.
    if (m_uChildLook)
        for (int i = 0; i < m_aChildren.GetCount(); ++i)
            m_aChildren[i]->SetArea(GetClientArea());
}

void CButton::SetChildLook(unsigned int uOn)
{
    m_uChildLook = uOn;
    if (uOn)
        ApplyChildLooks();
}

void CButton::ApplyChildLooks()
{
    if (m_aChildren.GetCount() > 0)
        m_aChildren[0]->SetVisible(m_uPressed ? 0 : 1);
    if (m_aChildren.GetCount() > 1)
        m_aChildren[1]->SetVisible(m_uPressed ? 1 : 0);
    areaUpdated(m_rcArea, m_rcArea);
}

void CButton::SetPressed(unsigned int uPressed)
{
    if (uPressed == m_uPressed)
        return;
    m_uPressed = uPressed;
    // A pressed button tolerates a finger drifting by the extra fraction.
    SetHitAreaSize(uPressed ? m_fHitAreaFactor + m_fExtraFactor : m_fHitAreaFactor - m_fExtraFactor);
    if (m_uChildLook)
        ApplyChildLooks();
}

int CButton::mouseButton(unsigned int uButton, int x, int y)
{
    if (uButton != 0 || m_fDisabledTime > 0.0f)
        return CImageWidget::mouseButton(uButton, x, y);
    SetPressed(1);
    SetActiveWidget(this);
    return 1;
}

int CButton::mouseButtonUp(unsigned int uButton, int x, int y)
{
    if (uButton != 0)
        return CImageWidget::mouseButtonUp(uButton, x, y);
    // A release whose press began elsewhere (a drag from the board that ends here) is
    // no click of this button.
    if (!m_uPressed)
        return 1;
    if (GetActiveWidget() == this)
        SetActiveWidget(nullptr);
    if (m_uCancellable && !PointIn(x, y))
    {
        cancel();
        SetPressed(0);
        return 1;
    }
    if (m_fDisabledTime <= 0.0f)
    {
        HighlightButton();
        // A second release before the click fires starts the wait again: one click.
        if (m_fClickDelay > 0.0f)
            m_fClickTimer = m_fClickDelay;
        else
            click();
    }
    SetPressed(0);
    return 1;
}

void CButton::resetMouse()
{
    SetPressed(0);
    cancel();
    CImageWidget::resetMouse();
}

// A hidden subtree is not updated, so a click still waiting, or a press whose release the
// capture would still bring, would fire whenever the button shows again, on whatever its page
// then shows: taken off the screen, alone or with its page, the button ends them as a cancel.
void CButton::visibilityChanged(unsigned int uVisible)
{
    if (!uVisible)
    {
        m_fClickTimer = 0.0f;
        if (m_uPressed)
        {
            if (GetActiveWidget() == this)
                SetActiveWidget(nullptr);
            cancel();
            SetPressed(0);
        }
    }
    CImageWidget::visibilityChanged(uVisible);
}

KE_RETVAL CButton::update(float fSeconds)
{
    const KE_RETVAL r = CImageWidget::update(fSeconds);
    if (r != KE_OK)
        return r;
    if (m_fDisabledTime > 0.0f)
        m_fDisabledTime -= fSeconds;
    if (m_fClickTimer > 0.0f)
    {
        m_fClickTimer -= fSeconds;
        if (m_fClickTimer <= 0.0f)
            click();
    }
    return KE_OK;
}

void CButton::click()
{
    if (m_OnClick.IsEmpty())
        return;
    ++m_uClickCount;
    m_OnClick.Call(this);
}

void CButton::cancel()
{
    m_OnCancel.Call(this);
}

void CButton::HighlightButton()
{
    if (GetImage())
        Highlight();
    else
        HighlightDescendants(this);
}

// OnCancel, the extra factor and the disabled time stay the clone's own.
void CButton::initializeClone(const CWidget& source)
{
    CImageWidget::initializeClone(source);
    const CButton* pSource = widget_cast<const CButton*>(&source);
    if (!pSource)
        return;
    m_uToggled = pSource->m_uToggled;
    m_OnClick = pSource->m_OnClick;
    m_uCancellable = pSource->m_uCancellable;
    m_uChildLook = pSource->m_uChildLook;
    if (m_uChildLook)
        ApplyChildLooks();
    SetHitAreaSize(pSource->m_fHitAreaFactor);
    m_fClickDelay = pSource->m_fClickDelay;
}
