// A layout whose content may be taller than itself and is scrolled vertically by dragging,
// with a kinetic fling after the release, arrows that show where more content lies and
// scroll bars that fade out after a scroll. Horizontal scrolling is off: every horizontal
// offset clamps to 0. Children are placed in content coordinates; the area maps between
// them and its parent's coordinates, which do not move while scrolling.
//
// Sources: SlideArea.cpp (life cycle, positions, cloning), SlideAreaInput.cpp (press, drag,
// release, fling), SlideAreaDraw.cpp (arrows, bars, drawing, hit test).
#pragma once

#include "Framework/UI/Callback.h"
#include "Framework/UI/Layout.h"
#include "KorvelCommon/KorvelMath.h"

class CImageWidget;
class IEasingCurve;

class CSlideArea : public CLayout
{
public:
    enum ESide
    {
        SIDE_LEFT = 0,
        SIDE_TOP = 1,
        SIDE_RIGHT = 2,
        SIDE_BOTTOM = 3
    };

    // Fling and bar timings, in seconds, and the fling's share of the release velocity.
    static const float FLING_DURATION;
    static const float FLING_FACTOR;
    static const float BAR_SHOW_TIME;

    CSlideArea();

    // ---- added virtual operations, in slot order
    virtual void scroll(int dx, int dy);
    // Animated over fTime seconds when fTime > 0 (ending with endScroll), else at once.
    virtual void scrollTo(int x, int y, float fTime, float fUnused);
    virtual int clampOffsetX(int x) const;
    virtual int clampOffsetY(int y) const;
    virtual void beginScroll();
    virtual void endScroll();
    virtual void updateScrollWidgets();

    // ---- positions
    CKorvelRect<int> GetVisibleArea() const;
    int GetTop() const;
    void SetTop(int iTop);
    int GetLeft() const;
    void SetLeft(int iLeft);
    int GetHorizontalOffset() const;
    int GetVerticalOffset() const;
    void SetHorizontalOffset(int x) { m_vOffset.x = static_cast<float>(x); }
    void SetVerticalOffset(int y) { m_vOffset.y = static_cast<float>(y); }
    // The scroll position as shown: committed position plus offset, rounded and clamped.
    int GetShownX() const;
    int GetShownY() const;

    void ShowScrollBar() { m_fBarTimer = BAR_SHOW_TIME; }
    unsigned int GetAllowDrag() const { return m_uScrollFlags & FLAG_ALLOW_DRAG; }
    // Dragging ignores the children in the tree's dispatch (the area routes them itself);
    // without it the area is transparent and its children take input directly.
    void SetAllowDrag(unsigned int uAllow);
    const CKorvelVector2& GetScrollThreshold() const { return m_vThreshold; }
    void SetScrollThreshold(const CKorvelVector2& v) { m_vThreshold = v; }
    const CActionCallback& GetOnBeginScroll() const { return m_OnBeginScroll; }
    void SetOnBeginScroll(const CActionCallback& cb) { m_OnBeginScroll = cb; }
    const CActionCallback& GetOnEndScroll() const { return m_OnEndScroll; }
    void SetOnEndScroll(const CActionCallback& cb) { m_OnEndScroll = cb; }
    unsigned int IsScrolling() const { return (m_uScrollFlags & FLAG_SCROLLING) ? 1 : 0; }
    float GetFlingTime() const { return m_fFlingTime; }
    float GetBarTimer() const { return m_fBarTimer; }
    CWidget* GetArrow(ESide eSide) const { return m_apArrows[eSide]; }
    CImageWidget* GetHorizontalBar() const { return m_pHorizontalBar; }
    CImageWidget* GetVerticalBar() const { return m_pVerticalBar; }

    // ---- overrides
    KE_RETVAL DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;
    CKorvelRect<int> GetClientArea() const override { return m_rcContent; }
    void MapToClient(int& x, int& y) const override;
    void MapFromClient(int& x, int& y) const override;
    KORVEL_WIDGET_GETTYPE(CSlideArea)
    CWidget* FindWidget(int x, int y) const override;
    using CWidget::FindWidget;
    KE_RETVAL DoUpdate(float fSeconds) override;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CSlideArea; }
    void widgetRemoved(CWidget* pWidget) override;
    int mouseButton(unsigned int uButton, int x, int y) override;
    int mouseDrag(unsigned int uButton, int x, int y) override;
    int mouseButtonUp(unsigned int uButton, int x, int y) override;
    void resetMouse() override;
    void visibilityChanged(unsigned int uVisible) override;
    void initializeClone(const CWidget& source) override;
    // Measures the content: the own rectangle and every child's area.
    void arrangeChildren() override;

protected:
    enum : unsigned char
    {
        FLAG_ALLOW_DRAG = 1,
        FLAG_SCROLLING = 2,
        FLAG_DRAGGING = 4,
        FLAG_TAKE_TEMPLATES = 8
    };

    // floor(v + 0.5).
    static int RoundInt(float v);
    void MeasureContent();

private:
    // The offset of a fling or animated scroll at its current progress.
    CKorvelVector2 FlingOffset() const;
    // Commits the running fling and ends the scroll session.
    void FinishFling();
    void StopFling();
    void TakeScrollWidgets();
    void ColorBars();
    void DeleteScrollWidgets();
    KE_RETVAL DrawScrollWidgets(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect,
                                const CKorvelRect<int>& clip);
    KE_RETVAL DrawBar(IKorvelGraphicsContext* pContext, CImageWidget* pBar, const CKorvelRect<int>& rect,
                      const CKorvelRect<int>& clip, bool bVertical);
    static CImageWidget* CloneBar(CImageWidget* pBar);
    void ForgetPressedChild();

    CKorvelRect<int> m_rcContent;
    int m_iPositionX;
    int m_iPositionY;
    int m_iPressX;
    int m_iPressY;
    CKorvelVector2 m_vOffset;
    CKorvelVector2 m_vFlingDistance;
    CKorvelVector2 m_vThreshold;
    float m_fDragTime;
    float m_fFlingTime;
    float m_fFlingDuration;
    CActionCallback m_OnBeginScroll;
    CActionCallback m_OnEndScroll;
    CWidget* m_pPressedChild;       // not owned
    IEasingCurve* m_pFlingCurve;    // owned
    CWidget* m_apArrows[4];         // owned, by ESide
    CImageWidget* m_pHorizontalBar; // owned
    CImageWidget* m_pVerticalBar;   // owned
    unsigned char m_uScrollFlags;
    float m_fBarTimer;
    IEasingCurve* m_pFadeCurve; // owned
};
