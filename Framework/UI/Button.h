// A clickable image widget: a tolerant hit area that widens while pressed, the capture
// while pressed, a cancel path for a release outside, a disabled time, and a short click
// delay that lets the highlight show before OnClick runs.
#pragma once

#include "Framework/UI/ImageWidget.h"

class CButton : public CImageWidget
{
public:
    CButton();

    // ---- added virtual operations, in slot order
    virtual float GetDisabledTime() const { return m_fDisabledTime; }
    virtual void SetDisabledTime(float fSeconds) { m_fDisabledTime = fSeconds; }
    // OnClick, when it has a function (the click count then goes up).
    virtual void click();
    virtual void cancel();
    // The factor changes by the extra factor; with the child looks, the first child shows
    // released and the second pressed.
    virtual void SetPressed(unsigned int uPressed);

    const CActionCallback& GetOnClick() const { return m_OnClick; }
    void SetOnClick(const CActionCallback& cb) { m_OnClick = cb; }
    const CActionCallback& GetOnCancel() const { return m_OnCancel; }
    void SetOnCancel(const CActionCallback& cb) { m_OnCancel = cb; }
    float GetHitAreaSize() const { return m_fHitAreaFactor; }
    // 0 or below is stored as 0.
    void SetHitAreaSize(float fFactor);
    float GetExtraHitAreaWhenPressed() const { return m_fExtraFactor; }
    void SetExtraHitAreaWhenPressed(float fExtra) { m_fExtraFactor = fExtra; }
    const CKorvelRect<int>& GetHitArea() const { return m_rcHitArea; }
    unsigned int GetPressed() const { return m_uPressed; }
    unsigned int GetCancellable() const { return m_uCancellable; }
    void SetCancellable(unsigned int uOn) { m_uCancellable = uOn; }
    unsigned int GetChildLook() const { return m_uChildLook; }
    void SetChildLook(unsigned int uOn);
    unsigned int GetClickCount() const { return m_uClickCount; }
    float GetClickDelay() const { return m_fClickDelay; }
    void SetClickDelay(float fSeconds) { m_fClickDelay = fSeconds; }
    // An image highlights itself and its image descendants; without one, only the descendants.
    void HighlightButton();

    // ---- overrides
    unsigned int PointIn(int x, int y) const override;
    int mouseButton(unsigned int uButton, int x, int y) override;
    int mouseButtonUp(unsigned int uButton, int x, int y) override;
    void resetMouse() override;
    void visibilityChanged(unsigned int uVisible) override;
    KE_RETVAL update(float fSeconds) override;
    void areaUpdated(const CKorvelRect<int>& oldArea, const CKorvelRect<int>& newArea) override;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CButton; }
    KORVEL_WIDGET_GETTYPE(CButton)
    void initializeClone(const CWidget& source) override;

protected:
    // The first child shows released, the second pressed.
    void ApplyChildLooks();

    unsigned int m_uToggled; // meaningful for toggle buttons; kept and cloned by every button

private:
    void UpdateHitArea();

    CActionCallback m_OnClick;
    CActionCallback m_OnCancel;
    float m_fHitAreaFactor;
    float m_fExtraFactor;
    float m_fDisabledTime;
    CKorvelRect<int> m_rcHitArea; // client coordinates
    unsigned int m_uPressed;
    unsigned int m_uCancellable;
    unsigned int m_uChildLook;
    unsigned int m_uClickCount;
    float m_fClickDelay;
    float m_fClickTimer;
};
