// The element creators of the scrolling area, the grid and the two lists, with the scroll,
// spacing, border and layout-mode children they share.
#include "Framework/UI/UIXMLLoader.h"

#include <cmath>
#include <cstring>

#include "Framework/UI/GridLayout.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/RunningList.h"

namespace
{
// A drag threshold is kept in whole tens of pixels, rounded up from a little above a ten.
float ThresholdPixels(float fFraction, int iReference)
{
    const float t = std::fabs(fFraction) * static_cast<float>(iReference);
    return t > 0.0f ? roundf(t / 10.0f + 0.99f) * 10.0f : 0.0f;
}

bool Is(const char* pText, const char* pWord)
{
    return pText && std::strcmp(pText, pWord) == 0;
}

// "item-spacing" and "border-size" of the grid and both lists.
void ParseSpacingAndBorder(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CGridLayout& grid)
{
    const float fW = static_cast<float>(pLoader->GetReferenceWidth());
    const float fH = static_cast<float>(pLoader->GetReferenceHeight());
    if (CKorvelXMLDataNode* pSpacing = CXMLLoaderWrapper::FindChild(pElement, "item-spacing"))
    {
        grid.SetHorizontalItemSpacing(
            CUIXMLLoader::ToPixels(CXMLLoaderWrapper::GetFloat(pSpacing, "$horizontal", 0.0f) * fW));
        grid.SetVerticalItemSpacing(
            CUIXMLLoader::ToPixels(CXMLLoaderWrapper::GetFloat(pSpacing, "$vertical", 0.0f) * fH));
    }
    if (CKorvelXMLDataNode* pBorder = CXMLLoaderWrapper::FindChild(pElement, "border-size"))
    {
        const float fWidth = CXMLLoaderWrapper::GetFloat(pBorder, "$width", 0.0f);
        const float fHeight = CXMLLoaderWrapper::GetFloat(pBorder, "$height", 0.0f);
        const struct
        {
            CSlideArea::ESide m_eSide;
            const char* m_pName;
            float m_fDefault, m_fReference;
        } aSides[] = {{CSlideArea::SIDE_LEFT, "$left", fWidth, fW},
                      {CSlideArea::SIDE_RIGHT, "$right", fWidth, fW},
                      {CSlideArea::SIDE_TOP, "$top", fHeight, fH},
                      {CSlideArea::SIDE_BOTTOM, "$bottom", fHeight, fH}};
        for (const auto& side : aSides)
            grid.SetBorderSize(
                side.m_eSide, CUIXMLLoader::ToPixels(
                                  roundf(CXMLLoaderWrapper::GetFloat(pBorder, side.m_pName, side.m_fDefault) *
                                         side.m_fReference)));
    }
}

// "$layout_mode"; a missing attribute leaves the mode.
void ParseLayoutMode(CKorvelXMLDataNode* pElement, CGridLayout& grid)
{
    if (const char* pMode = CXMLLoaderWrapper::GetText(pElement, "$layout_mode"))
        grid.SetLayoutMode(Is(pMode, "list")           ? CGridLayout::LAYOUT_LIST
                           : Is(pMode, "uniform_list") ? CGridLayout::LAYOUT_UNIFORM_LIST
                                                       : CGridLayout::LAYOUT_GRID);
}
} // namespace

void CUIXMLLoader::ParseSlideArea(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CSlideArea* pArea)
{
    CKorvelXMLDataNode* pScroll = FindChild(pElement, "scroll");
    if (!pScroll || !pLoader || !pArea)
        return;
    pArea->SetAllowDrag(static_cast<unsigned int>(GetInt(pScroll, "$enabled", 0)));
    pArea->SetScrollThreshold(CKorvelVector2(
        ThresholdPixels(GetFloat(pScroll, "$threshold_x", 0.0f), pLoader->m_iReferenceWidth),
        ThresholdPixels(GetFloat(pScroll, "$threshold_y", 0.0f), pLoader->m_iReferenceHeight)));
}

CWidget* CUIXMLLoader::CreateSlideArea(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                       CWidget* pCandidate)
{
    CSlideArea* pArea = TakeOrCreate<CSlideArea>(pLoader, parent, pCandidate);
    ParseSlideArea(pLoader, pElement, pArea);
    return pArea;
}

CWidget* CUIXMLLoader::CreateGridLayout(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                        CWidget* pCandidate)
{
    CGridLayout* pGrid = TakeOrCreate<CGridLayout>(pLoader, parent, pCandidate);
    pGrid->SetNumColumns(GetInt(pElement, "$num_columns", 0));
    pGrid->SetNumRows(GetInt(pElement, "$num_rows", 0));
    ParseSpacingAndBorder(pLoader, pElement, *pGrid);
    ParseSlideArea(pLoader, pElement, pGrid);
    ParseLayoutMode(pElement, *pGrid);
    return pGrid;
}

CWidget* CUIXMLLoader::CreateInfiniteList(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                          CWidget& parent, CWidget* pCandidate)
{
    CInfiniteList* pList = TakeOrCreate<CInfiniteList>(pLoader, parent, pCandidate);
    // A list is one column unless its element says otherwise: a strip is one row.
    if (CXMLLoaderWrapper::GetText(pElement, "$num_columns"))
        pList->SetNumColumns(GetInt(pElement, "$num_columns", 1));
    if (CXMLLoaderWrapper::GetText(pElement, "$num_rows"))
        pList->SetNumRows(GetInt(pElement, "$num_rows", 0));
    ParseLayoutMode(pElement, *pList);
    ParseSpacingAndBorder(pLoader, pElement, *pList);
    ParseSlideArea(pLoader, pElement, pList);
    pList->SetPageSize(GetInt(FindChild(pElement, "page-size"), "$value", 10));
    return pList;
}

CWidget* CUIXMLLoader::CreateRunningList(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                         CWidget* pCandidate)
{
    CRunningList* pList = TakeOrCreate<CRunningList>(pLoader, parent, pCandidate);
    ParseSpacingAndBorder(pLoader, pElement, *pList);
    ParseSlideArea(pLoader, pElement, pList);
    pList->SetMaxItemCount(GetInt(FindChild(pElement, "max-item-count"), "$value", 20));
    if (CKorvelXMLDataNode* pEnd = FindChild(pElement, "expands-to"))
        pList->SetBottomAnchored(Is(GetText(pEnd, "$value"), "top") ? 0 : 1);
    ParseLayoutMode(pElement, *pList);
    CKorvelXMLDataNode* pAuto = FindChild(pElement, "autoscroll");
    pList->SetAutoScroll(static_cast<unsigned int>(GetInt(pAuto, "$enabled", 1)),
                         GetFloat(pAuto, "$speed", 0.0f));
    return pList;
}
