// Grid layout: the three arrangements, the item template and cloning.
#include "Framework/UI/GridLayout.h"

namespace
{
// Counts and spacings come from layout files unchecked: the arithmetic runs in 64 bits and
// positions are kept within reach of int.
int ToInt(long long v)
{
    const long long LIMIT = 1000000000LL;
    return static_cast<int>(v > LIMIT ? LIMIT : (v < -LIMIT ? -LIMIT : v));
}

int CeilDiv(int n, int d)
{
    return n / d + (n % d != 0 ? 1 : 0);
}

// The cell length for a side of iLength with the given borders, spacing and cell count.
int CellLength(int iLength, int iBorderA, int iBorderB, int iSpacing, int iCount)
{
    const long long v = static_cast<long long>(iLength) - iBorderA - iBorderB -
                        static_cast<long long>(iSpacing) * (iCount - 1);
    return ToInt(v / iCount);
}
} // namespace

CGridLayout::CGridLayout()
    : m_iLayoutMode(LAYOUT_GRID), m_iRows(0), m_iColumns(0), m_aiBorder{0, 0, 0, 0}, m_iHorizontalSpacing(0),
      m_iVerticalSpacing(0), m_pItemTemplate(nullptr), m_uTemplatePending(1)
{
}

KE_RETVAL CGridLayout::Startup(IKorvelApplication* pApp, CVornResourceManager* pResources,
                               const CKorvelRect<int>& area)
{
    const KE_RETVAL r = CSlideArea::Startup(pApp, pResources, area);
    if (r != KE_OK)
        return r;
    m_iLayoutMode = LAYOUT_GRID;
    m_iRows = m_iColumns = 0;
    for (int& iBorder : m_aiBorder)
        iBorder = 0;
    m_iHorizontalSpacing = m_iVerticalSpacing = 0;
    m_uTemplatePending = 1;
    return KE_OK;
}

void CGridLayout::Shutdown()
{
    m_iRows = m_iColumns = 0;
    if (m_pItemTemplate)
    {
        m_pItemTemplate->Shutdown();
        delete m_pItemTemplate;
        m_pItemTemplate = nullptr;
    }
    CSlideArea::Shutdown();
}

void CGridLayout::SetNumRows(int iRows)
{
    m_iRows = iRows > 0 ? iRows : 0;
    SetUpdateNeeded(1);
}

void CGridLayout::SetNumColumns(int iColumns)
{
    m_iColumns = iColumns > 0 ? iColumns : 0;
    SetUpdateNeeded(1);
}

KE_RETVAL CGridLayout::update(float fSeconds)
{
    if (m_uTemplatePending)
    {
        m_pItemTemplate = ExtractTemplate(CKorvelString("item_template"));
        m_uTemplatePending = 0;
    }
    return CSlideArea::update(fSeconds);
}

void CGridLayout::initializeClone(const CWidget& source)
{
    CSlideArea::initializeClone(source);
    const CGridLayout* pSource = widget_cast<const CGridLayout*>(&source);
    if (!pSource)
        return;
    m_iLayoutMode = pSource->m_iLayoutMode;
    for (int i = 0; i < 4; ++i)
        m_aiBorder[i] = pSource->m_aiBorder[i];
    m_iHorizontalSpacing = pSource->m_iHorizontalSpacing;
    m_iVerticalSpacing = pSource->m_iVerticalSpacing;
    SetNumRows(pSource->m_iRows);
    SetNumColumns(pSource->m_iColumns);
}

int CGridLayout::GetChildWidth() const
{
    const int n = m_aChildren.GetCount();
    if (n == 0 || (m_iRows == 0 && m_iColumns == 0))
        return 0;
    const int c = m_iColumns > 0 ? m_iColumns : CeilDiv(n, m_iRows);
    return CellLength(GetWidth(), m_aiBorder[SIDE_LEFT], m_aiBorder[SIDE_RIGHT], m_iHorizontalSpacing, c);
}

int CGridLayout::GetChildHeight() const
{
    const int n = m_aChildren.GetCount();
    if (n == 0 || (m_iRows == 0 && m_iColumns == 0))
        return 0;
    const int r = m_iRows > 0 ? m_iRows : CeilDiv(n, m_iColumns);
    return CellLength(GetHeight(), m_aiBorder[SIDE_TOP], m_aiBorder[SIDE_BOTTOM], m_iVerticalSpacing, r);
}

int CGridLayout::VisibleChildCount() const
{
    int n = 0;
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
        n += m_aChildren[i]->GetVisible() ? 1 : 0;
    return n;
}

void CGridLayout::arrangeChildren()
{
    if (m_aChildren.GetCount() == 0 || (m_iRows == 0 && m_iColumns == 0))
        return;
    switch (m_iLayoutMode)
    {
    case LAYOUT_GRID:
        ArrangeGrid();
        break;
    case LAYOUT_LIST:
    case LAYOUT_UNIFORM_LIST:
        if (!ArrangeRows())
            return;
        break;
    default:
        break;
    }
    MeasureContent();
}

void CGridLayout::ArrangeGrid()
{
    const int w = GetChildWidth(), h = GetChildHeight();
    int k = 0;
    for (int i = 0; i < m_aChildren.GetCount(); ++i)
    {
        CWidget* pChild = m_aChildren[i];
        if (!pChild->GetVisible())
            continue;
        // Row by row with a column count, else column by column.
        const int iColumn = m_iColumns > 0 ? k % m_iColumns : k / m_iRows;
        const int iRow = m_iColumns > 0 ? k / m_iColumns : k % m_iRows;
        const long long x =
            m_aiBorder[SIDE_LEFT] + (static_cast<long long>(w) + m_iHorizontalSpacing) * iColumn;
        const long long y = m_aiBorder[SIDE_TOP] + (static_cast<long long>(h) + m_iVerticalSpacing) * iRow;
        pChild->SetArea(CKorvelRect<int>(ToInt(x), ToInt(y), ToInt(x + w), ToInt(y + h)));
        ++k;
    }
}

bool CGridLayout::ArrangeRows()
{
    const int n = VisibleChildCount();
    // An incomplete last row is not placed.
    const int iRows = m_iRows > 0 ? m_iRows : n / m_iColumns;
    const int iColumns = m_iColumns > 0 ? m_iColumns : n / iRows;
    // No cells: every (empty) row is full at once.
    if (iRows == 0 || iColumns == 0)
        return true;
    const bool bUniform = m_iLayoutMode == LAYOUT_UNIFORM_LIST;
    int iCellWidth = 0, iCellHeight = 0;
    for (int i = 0; bUniform && i < m_aChildren.GetCount(); ++i)
        if (m_aChildren[i]->GetVisible())
        {
            iCellWidth = m_aChildren[i]->GetWidth() > iCellWidth ? m_aChildren[i]->GetWidth() : iCellWidth;
            iCellHeight =
                m_aChildren[i]->GetHeight() > iCellHeight ? m_aChildren[i]->GetHeight() : iCellHeight;
        }

    int iNext = 0;
    long long y = m_aiBorder[SIDE_TOP];
    for (int iRow = 0; iRow < iRows; ++iRow)
    {
        long long x = m_aiBorder[SIDE_LEFT];
        int iRowHeight = 0;
        for (int iColumn = 0; iColumn < iColumns; ++iColumn)
        {
            while (iNext < m_aChildren.GetCount() && !m_aChildren[iNext]->GetVisible())
                ++iNext;
            if (iNext >= m_aChildren.GetCount())
                return false;
            CWidget* pChild = m_aChildren[iNext++];
            pChild->SetPosition(ToInt(x), ToInt(y));
            x += (bUniform ? iCellWidth : pChild->GetWidth()) + m_iHorizontalSpacing;
            iRowHeight = pChild->GetHeight() > iRowHeight ? pChild->GetHeight() : iRowHeight;
        }
        y += (bUniform ? iCellHeight : iRowHeight) + m_iVerticalSpacing;
    }
    return true;
}
