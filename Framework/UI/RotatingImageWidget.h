// An image that spins about its centre, continuously or in steps.
#pragma once

#include "Framework/UI/ImageWidget.h"

class CUIXMLLoader;
class CKorvelXMLDataNode;

class CRotatingImageWidget : public CImageWidget
{
public:
    CRotatingImageWidget();

    void SetRotationSpeed(float fRadiansPerSecond) { m_fSpeed = fRadiansPerSecond; }
    float GetRotationSpeed() const { return m_fSpeed; }
    void SetRotationAngle(float fRadians) { m_fAngle = fRadians; }
    float GetRotationAngle() const { return m_fAngle; }
    // n steps a turn; 0 or less turns continuously.
    void SetRotationSteps(int iSteps);
    int GetRotationSteps() const;
    // The angle drawn: the rotation angle snapped toward zero to a whole step.
    float GetDrawnAngle() const;

    // The layout element "rotating_image".
    static CWidget* CreateRotatingImage(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                        CWidget* pCandidate);

    // ---- overrides
    CWidget* New() const override { return new CRotatingImageWidget; }
    KORVEL_WIDGET_GETTYPE(CRotatingImageWidget)
    void initializeClone(const CWidget& source) override;
    KE_RETVAL update(float fSeconds) override;
    // A white blend colour rotates on any target; a tinted one needs the GL ES 2.0 target
    // and draws nothing elsewhere.
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;

private:
    float m_fSpeed;
    float m_fAngle;
    float m_fStep; // 0: continuous
};
