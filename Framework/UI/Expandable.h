// A button whose size steps through a list of expansion levels, resizing with an
// accelerating animation while its top-left corner stays put. Its children always fill it
// and are clipped to its current size.
#pragma once

#include "Framework/UI/Button.h"
#include "KorvelCommon/KorvelArray.h"

class CExpandable : public CButton
{
public:
    CExpandable();

    // The level count is the longer list's length; a shorter list repeats from its start.
    void SetSizes(const CKorvelArray<int>& aWidths, const CKorvelArray<int>& aHeights);
    int GetNumberOfExpansionLevels() const;
    int GetExpansionLevel() const { return m_iLevel; }
    // Starts the resize to the level (n mod the level count, 0 for a negative remainder).
    void SetExpansionLevel(int iLevel);
    // The same without animation: the size jumps, and both callbacks run at once.
    void SetExpansionLevelSkipAnimation(int iLevel);
    int GetTargetHeight() const;
    // The height of level n, or the current height when the list has no entry n.
    int GetExpansionHeight(int iLevel) const;
    float GetTransitionTime() const { return m_fTransitionTime; }
    void SetTransitionTime(float fSeconds) { m_fTransitionTime = fSeconds; }
    const CActionCallback& GetOnBeginExpand() const { return m_OnBeginExpand; }
    void SetOnBeginExpand(const CActionCallback& cb) { m_OnBeginExpand = cb; }
    const CActionCallback& GetOnEndExpand() const { return m_OnEndExpand; }
    void SetOnEndExpand(const CActionCallback& cb) { m_OnEndExpand = cb; }
    unsigned int IsResizing() const { return m_uResizing; }
    // Every child gets the client area.
    void arrangeChildren();

    KE_RETVAL DrawAt(IKorvelGraphicsContext* pContext, const CKorvelRect<int>& rect) override;
    KE_RETVAL update(float fSeconds) override;
    void widgetAdded(CWidget* pWidget) override;
    void widgetRemoved(CWidget* pWidget) override;
    void areaUpdated(const CKorvelRect<int>& oldArea, const CKorvelRect<int>& newArea) override;
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CExpandable; }
    KORVEL_WIDGET_GETTYPE(CExpandable)
    void initializeClone(const CWidget& source) override;

private:
    // The level for n; -1 when there are no levels.
    int ChooseLevel(int iLevel) const;
    // Makes the chosen level current and records the start size; false when it is already.
    bool SwitchLevel(int iLevel);
    int TargetWidth() const;
    void JumpToTarget();

    int m_iLevel; // -1 before the first update
    int m_iStartWidth;
    int m_iStartHeight;
    unsigned int m_uFirstUpdate;
    unsigned int m_uResizing;
    float m_fTimeLeft;
    float m_fWidthDelta;
    float m_fHeightDelta;
    float m_fTransitionTime;
    CKorvelArray<int> m_aWidths;
    CKorvelArray<int> m_aHeights;
    CActionCallback m_OnBeginExpand;
    CActionCallback m_OnEndExpand;
};
