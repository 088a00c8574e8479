// A value between a minimum and a maximum, set by dragging a knob along the slider. The
// drag moves the knob; the value is committed, and its listener told, on release.
#pragma once

#include "Framework/UI/Callback.h"
#include "Framework/UI/Widget.h"

class CSlider;
typedef CCallback<void (*)(CSlider*, void*), void*> CSliderCallback;

class CSlider : public CWidget
{
public:
    enum EOrientation
    {
        HORIZONTAL = 0,
        VERTICAL = 1
    };

    CSlider();

    float GetValue() const { return m_fMin + (m_fMax - m_fMin) * m_fPosition; }
    // Clamped into the range; a change of position is told to the listener.
    void SetValue(float fValue);
    float GetMinValue() const { return m_fMin; }
    void SetMinValue(float fValue);
    float GetMaxValue() const { return m_fMax; }
    void SetMaxValue(float fValue);
    float GetPosition() const { return m_fPosition; }
    float GetCommittedPosition() const { return m_fCommitted; }
    EOrientation GetOrientation() const { return m_eOrientation; }
    void SetOrientation(EOrientation e) { m_eOrientation = e; }
    const CSliderCallback& GetOnValueChanged() const { return m_OnValueChanged; }
    void SetOnValueChanged(const CSliderCallback& cb) { m_OnValueChanged = cb; }
    // A layout's action for the same event, run after the slider's own callback.
    const CActionCallback& GetOnValueChangedAction() const { return m_OnValueChangedAction; }
    void SetOnValueChangedAction(const CActionCallback& cb) { m_OnValueChangedAction = cb; }
    CWidget* GetKnob() const { return m_pKnob; }
    // The position under the point (client coordinates) along the slider; no notification.
    void UpdateValue(int x, int y);

    // ---- overrides
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CSlider; }
    KORVEL_WIDGET_GETTYPE(CSlider)
    void initializeClone(const CWidget& source) override;
    int mouseButton(unsigned int uButton, int x, int y) override;
    int mouseDrag(unsigned int uButton, int x, int y) override;
    int mouseButtonUp(unsigned int uButton, int x, int y) override;
    void resetMouse() override;
    KE_RETVAL update(float fSeconds) override;
    KE_RETVAL DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;

private:
    void DeleteKnob();

    float m_fMin;
    float m_fMax;
    float m_fPosition;  // 0..1
    float m_fCommitted; // the position before the drag
    EOrientation m_eOrientation;
    CSliderCallback m_OnValueChanged;
    CActionCallback m_OnValueChangedAction;
    CWidget* m_pKnob; // owned, taken from the "knob_template" child
    unsigned int m_uKnobPending;
};
