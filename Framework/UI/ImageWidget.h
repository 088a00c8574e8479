// A widget that draws one surface, or one frame of a sprite sheet that it can animate,
// with a one-second highlight ramp. The base of buttons and of the other image widgets.
//
// Sources: ImageWidget.cpp (image, frames, highlight, cloning), ImageWidgetDraw.cpp.
#pragma once

#include "Framework/UI/Widget.h"

class CKorvelSurface;
class IEasingCurve;

class CImageWidget : public CWidget
{
public:
    // Draw flags.
    enum : unsigned int
    {
        DRAW_STRETCH = 1,      // stretch into the widget's rectangle; needed for any flagged drawing
        DRAW_ONLY_INSIDE = 2,  // skip when the rectangle is not wholly on the target
        DRAW_FIXED_FRAME = 4,  // the frame animation does not run
        DRAW_KEEP_ASPECT = 8,  // fit the frame's aspect, centred
        DRAW_NO_CLIPPING = 16, // draw with clipping off
        DRAW_HIGHLIGHTING = 32 // set and cleared by the highlight itself
    };
    static const unsigned int BLIT_FLAGS = 0x80;
    static const unsigned int HIGHLIGHT_BLIT_FLAGS = 0x480;

    CImageWidget();
    ~CImageWidget() override;

    // ---- added virtual operations, in slot order
    virtual CKorvelSurface* GetImage() const { return m_pImage; }
    // Gives back the old image (deleting one the resource manager does not take back) and
    // counts a reference on the new one.
    virtual void SetImage(CKorvelSurface* pImage);

    unsigned int GetDrawFlags() const { return m_uDrawFlags; }
    void SetDrawFlags(unsigned int uFlags) { m_uDrawFlags = uFlags; }
    float GetFrameDuration() const { return m_fFrameDuration; }
    void SetFrameDuration(float fSeconds) { m_fFrameDuration = fSeconds; }
    // Columns x rows of the image's sheet; 1 without an image.
    unsigned int GetFrameCount() const;
    unsigned int GetFrameIndex() const;
    void SetFrameIndex(unsigned int uIndex);
    // The visible area when set, else the current frame's rectangle; 0 when neither exists.
    unsigned int GetVisibleArea(CKorvelRect<int>& rect) const;
    // Null switches the visible area off.
    void SetVisibleArea(const CKorvelRect<int>* pRect);

    // Starts the highlight on this widget and its visible image-widget descendants; nothing
    // while this widget is hidden.
    void Highlight();
    void StopHighlight();

    // ---- overrides
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CImageWidget; }
    KORVEL_WIDGET_GETTYPE(CImageWidget)
    KE_RETVAL update(float fSeconds) override;
    KE_RETVAL draw(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;
    void visibilityChanged(unsigned int uVisible) override;
    void initializeClone(const CWidget& source) override;

protected:
    // The highlight on the visible image widgets below pWidget (not on pWidget itself).
    static void HighlightDescendants(CWidget* pWidget);

private:
    // Gives the image back; an image the resource manager does not take back is deleted.
    void ReleaseImage();
    void StartHighlight();
    void ResetHighlight();
    static void StopDescendants(CWidget* pWidget);
    // The blit for the current draw flags and blend colour; 1 when nothing is drawn.
    KE_RETVAL Blit(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect,
                   const CKorvelRect<int>& source);

    CKorvelSurface* m_pImage;
    unsigned int m_uHasVisibleArea;
    CKorvelRect<int> m_rcVisibleArea;
    unsigned int m_uDrawFlags;
    float m_fFrameDuration; // seconds per frame; 0 = no animation
    float m_fClock;
    float m_fHighlightTime;          // seconds left
    IEasingCurve* m_pHighlightCurve; // owned, made on first use
};
