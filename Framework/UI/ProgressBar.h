// An image widget with a fill image cropped to the progress, growing from one side; a
// second image can stand in while the progress is below a limit.
#pragma once

#include "Framework/UI/ImageWidget.h"

class CProgressBar : public CImageWidget
{
public:
    // The side the fill grows from.
    enum ESide : int
    {
        SIDE_LEFT = 0,
        SIDE_TOP = 1,
        SIDE_RIGHT = 2,
        SIDE_BOTTOM = 3
    };

    CProgressBar();

    // Both clamp into 0..1.
    void SetProgress(float fProgress);
    float GetProgress() const { return m_fProgress; }
    void SetProgressLowLimit(float fLimit);
    float GetProgressLowLimit() const { return m_fLowLimit; }
    void SetSide(ESide eSide);
    ESide GetSide() const { return m_eSide; }
    // A new surface is counted and the old one given back.
    void SetProgressImage(CKorvelSurface* pImage) { Replace(m_pProgressImage, pImage); }
    CKorvelSurface* GetProgressImage() const { return m_pProgressImage; }
    void SetProgressLowImage(CKorvelSurface* pImage) { Replace(m_pLowImage, pImage); }
    CKorvelSurface* GetProgressLowImage() const { return m_pLowImage; }

    // ---- overrides
    void Shutdown() override;
    CWidget* New() const override { return new CProgressBar; }
    KORVEL_WIDGET_GETTYPE(CProgressBar)
    void initializeClone(const CWidget& source) override;
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;

private:
    void Replace(CKorvelSurface*& pHeld, CKorvelSurface* pImage);
    // The source's surface when the manager counts it, else none.
    void Share(CKorvelSurface*& pHeld, CKorvelSurface* pImage);
    // Gives the surface back; one the manager does not take back is deleted.
    void Release(CKorvelSurface*& pHeld);

    CKorvelSurface* m_pProgressImage;
    CKorvelSurface* m_pLowImage;
    float m_fProgress;
    float m_fLowLimit;
    ESide m_eSide;
};
