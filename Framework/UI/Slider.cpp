// Slider: value and range, dragging, and the knob drawn at the position.
#include "Framework/UI/Slider.h"

#include <cmath>

#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/ScopedClip.h"

CSlider::CSlider()
    : m_fMin(0.0f), m_fMax(1.0f), m_fPosition(0.5f), m_fCommitted(0.5f), m_eOrientation(HORIZONTAL),
      m_pKnob(nullptr), m_uKnobPending(1)
{
}

KE_RETVAL CSlider::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                           const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CWidget::Startup(pApp, pResources, area);
    if (r != KE_OK)
        return r;
    m_uKnobPending = 1;
    DeleteKnob();
    m_fMin = 0.0f;
    m_fMax = 1.0f;
    m_eOrientation = HORIZONTAL;
    m_fPosition = 0.5f;
    m_fCommitted = 0.5f;
    return r;
}

void CSlider::DeleteKnob()
{
    if (!m_pKnob)
        return;
    m_pKnob->Shutdown();
    delete m_pKnob;
    m_pKnob = nullptr;
}

void CSlider::Shutdown()
{
    CWidget::Shutdown();
    DeleteKnob();
}

void CSlider::SetValue(float fValue)
{
    if (!(fValue > m_fMin))
        fValue = m_fMin;
    else if (!(fValue < m_fMax))
        fValue = m_fMax;
    const float p = m_fMax == m_fMin ? 0.0f : (fValue - m_fMin) / (m_fMax - m_fMin);
    if (p == m_fPosition)
        return;
    m_fPosition = p;
    m_OnValueChanged.Call(this);
    m_OnValueChangedAction.Call(this);
    m_fCommitted = m_fPosition;
}

void CSlider::SetMinValue(float fValue)
{
    const float fOld = m_fMin;
    m_fMin = fValue;
    if (fValue < fOld)
        SetValue(fValue);
}

void CSlider::SetMaxValue(float fValue)
{
    const float fOld = m_fMax;
    m_fMax = fValue;
    if (fValue > fOld)
        SetValue(fValue);
}

void CSlider::UpdateValue(int x, int y)
{
    const bool bHorizontal = m_eOrientation == HORIZONTAL;
    const int k = m_pKnob ? (bHorizontal ? m_pKnob->GetWidth() : m_pKnob->GetHeight()) : 0;
    const int L = bHorizontal ? GetWidth() : GetHeight();
    if (L == k)
    {
        m_fPosition = 0.0f;
        return;
    }
    // The knob's centre in whole pixels: half its length, rounded down.
    const int iHalfKnob = k / 2;
    float p = static_cast<float>((bHorizontal ? x : y) - iHalfKnob) / static_cast<float>(L - k);
    m_fPosition = p < 0.0f ? 0.0f : (p > 1.0f ? 1.0f : p);
}

int CSlider::mouseButton(unsigned int /*uButton*/, int x, int y)
{
    m_fCommitted = m_fPosition;
    // The drag and the release that follow come here wherever the pointer goes.
    SetActiveWidget(this);
    UpdateValue(x, y);
    return 1;
}

int CSlider::mouseDrag(unsigned int /*uButton*/, int x, int y)
{
    if (GetActiveWidget() != this)
        return 0;
    UpdateValue(x, y);
    return 1;
}

int CSlider::mouseButtonUp(unsigned int /*uButton*/, int x, int y)
{
    if (GetActiveWidget() != this)
        return 0;
    SetActiveWidget(nullptr);
    UpdateValue(x, y);
    const float p = m_fPosition;
    m_fPosition = m_fCommitted;
    SetValue(m_fMin + (m_fMax - m_fMin) * p);
    if (CImageWidget* pKnob = widget_cast<CImageWidget*>(m_pKnob))
        pKnob->Highlight();
    return 1;
}

void CSlider::resetMouse()
{
    CWidget::resetMouse();
    m_fPosition = m_fCommitted;
    SetValue(m_fMin + (m_fMax - m_fMin) * m_fPosition);
}

KE_RETVAL CSlider::update(float fSeconds)
{
    if (m_uKnobPending)
    {
        m_uKnobPending = 0;
        if (CWidget* pKnob = ExtractTemplate(CKorvelString("knob_template")))
        {
            DeleteKnob();
            m_pKnob = pKnob;
            // The loader moves a template by minus its parent's offset (list rows are placed
            // anew); the knob is drawn within the slider, so it gets its layout place back.
            const CKorvelRect<int>& a = pKnob->GetArea();
            const int x = GetArea().left, y = GetArea().top;
            pKnob->SetArea(CKorvelRect<int>(a.left + x, a.top + y, a.right + x, a.bottom + y));
        }
    }
    if (m_pKnob)
        m_pKnob->DoUpdate(fSeconds);
    return KE_OK;
}

// The knob goes over the children (the track), so it is drawn after them.
KE_RETVAL CSlider::DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect)
{
    const KE_RETVAL r = CWidget::DrawAt(pContext, rect);
    if (r != KE_OK || !m_pKnob || !GetVisible())
        return r;
    CScopedClip clip(pContext, rect);
    const bool bHorizontal = m_eOrientation == HORIZONTAL;
    const int iLength = bHorizontal ? rect.right - rect.left : rect.bottom - rect.top;
    const int iKnob = bHorizontal ? m_pKnob->GetWidth() : m_pKnob->GetHeight();
    const int iShift = static_cast<int>(std::floor(static_cast<float>(iLength - iKnob) * m_fPosition + 0.5f));
    const CKorvelRect<int>& a = m_pKnob->GetArea();
    CKorvelRect<int> rcKnob(rect.left + a.left, rect.top + a.top, rect.left + a.right, rect.top + a.bottom);
    if (bHorizontal)
    {
        rcKnob.left += iShift;
        rcKnob.right += iShift;
    }
    else
    {
        rcKnob.top += iShift;
        rcKnob.bottom += iShift;
    }
    m_pKnob->DrawAt(pContext, rcKnob);
    return KE_OK;
}

void CSlider::initializeClone(const CWidget& source)
{
    CWidget::initializeClone(source);
    const CSlider* pSource = widget_cast<const CSlider*>(&source);
    if (!pSource)
        return;
    m_fMin = pSource->m_fMin;
    m_fMax = pSource->m_fMax;
    m_eOrientation = pSource->m_eOrientation;
    m_OnValueChanged = pSource->m_OnValueChanged;
    m_OnValueChangedAction = pSource->m_OnValueChangedAction;
    m_fPosition = pSource->m_fPosition;
    m_fCommitted = pSource->m_fCommitted;
    DeleteKnob();
    if (pSource->m_pKnob)
        m_pKnob = pSource->m_pKnob->Clone();
    m_uKnobPending = pSource->m_uKnobPending;
}
