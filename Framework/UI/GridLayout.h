// A scrolling area that places its children in a grid of equal cells, in rows of their own
// sizes (list) or in rows of equal cells as large as the largest child (uniform list), and
// keeps the "item_template" child aside for owners that clone it.
#pragma once

#include "Framework/UI/SlideArea.h"

class CGridLayout : public CSlideArea
{
public:
    enum LayoutMode
    {
        LAYOUT_GRID = 0,
        LAYOUT_LIST = 1,
        LAYOUT_UNIFORM_LIST = 2
    };

    CGridLayout();

    int GetLayoutMode() const { return m_iLayoutMode; }
    void SetLayoutMode(int iMode) { m_iLayoutMode = iMode; }
    int GetBorderSize(ESide eSide) const { return m_aiBorder[eSide]; }
    void SetBorderSize(ESide eSide, int iSize) { m_aiBorder[eSide] = iSize; }
    int GetHorizontalItemSpacing() const { return m_iHorizontalSpacing; }
    void SetHorizontalItemSpacing(int iSpacing) { m_iHorizontalSpacing = iSpacing; }
    int GetVerticalItemSpacing() const { return m_iVerticalSpacing; }
    void SetVerticalItemSpacing(int iSpacing) { m_iVerticalSpacing = iSpacing; }
    int GetNumRows() const { return m_iRows; }
    // A negative count is stored as 0 (unset); both setters ask for a new arrangement.
    void SetNumRows(int iRows);
    int GetNumColumns() const { return m_iColumns; }
    void SetNumColumns(int iColumns);
    // Null before the first update or when the grid has no "item_template" child.
    CWidget* GetItemTemplate() const { return m_pItemTemplate; }
    // The cell size of grid mode for the current children.
    int GetChildWidth() const;
    int GetChildHeight() const;

    KORVEL_WIDGET_GETTYPE(CGridLayout)
    KE_RETVAL Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                      const CKorvelRect<int>& area) override;
    void Shutdown() override;
    CWidget* New() const override { return new CGridLayout; }
    KE_RETVAL update(float fSeconds) override;
    void initializeClone(const CWidget& source) override;
    void arrangeChildren() override;

private:
    void ArrangeGrid();
    // Modes 1 and 2; false when the children ran out before the last row.
    bool ArrangeRows();
    int VisibleChildCount() const;

    int m_iLayoutMode;
    int m_iRows;
    int m_iColumns;
    int m_aiBorder[4]; // by ESide
    int m_iHorizontalSpacing;
    int m_iVerticalSpacing;
    CWidget* m_pItemTemplate; // owned
    unsigned int m_uTemplatePending;
};
