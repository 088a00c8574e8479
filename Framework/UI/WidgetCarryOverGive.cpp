// Carrying a widget tree over: a recorded state given to a widget of the rebuilt tree, and a
// scrolling area's place, which waits until the content it lay in is back.
#include "Framework/UI/WidgetCarryOver.h"

#include <cmath>

#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/RunningList.h"
#include "Framework/UI/SlideArea.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/WebButton.h"

namespace
{
// Past the end of any content: clamped to the end.
const int FAR_DOWN = 1000000000;

// Shows the content from y (content coordinates) at the area's top, or as near as it goes.
void ShowFrom(CSlideArea* pArea, int y)
{
    pArea->scrollTo(0, pArea->GetClientArea().top + y, 0.0f, 0.0f);
}
} // namespace

bool CWidgetCarryOver::Give(CWidget* pWidget, sSTATE& state, unsigned char uGive)
{
    const unsigned char uNow = state.m_uKeep & uGive;
    unsigned char uWaiting = 0;
    bool bMoved = false;
    if ((uNow & KEEP_VISIBLE) && (pWidget->GetVisible() ? 1 : 0) != state.m_uVisible)
    {
        pWidget->SetVisible(state.m_uVisible);
        bMoved = true;
    }
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pWidget);
    if ((uNow & KEEP_TOGGLED) && pToggle)
        pToggle->SetToggled(state.m_uToggled);
    CPageButton* pPage = widget_cast<CPageButton*>(pWidget);
    if ((uNow & KEEP_TARGET) && pPage && state.m_strTarget.Compare(pPage->GetPagePath()) != 0)
        pPage->SetPagePath(state.m_strTarget);
    CWebButton* pWeb = widget_cast<CWebButton*>(pWidget);
    if ((uNow & KEEP_TARGET) && pWeb && state.m_strTarget.Compare(pWeb->GetUrl()) != 0)
        pWeb->SetUrl(state.m_strTarget);
    CExpandable* pExpandable = widget_cast<CExpandable*>(pWidget);
    if ((uNow & KEEP_LEVEL) && pExpandable)
    {
        // Its first update settles it at level 0: the level is given after that.
        if (pExpandable->GetExpansionLevel() < 0 && pExpandable->GetNumberOfExpansionLevels() > 0)
            uWaiting |= KEEP_LEVEL;
        else if (pExpandable->GetExpansionLevel() != state.m_iLevel)
        {
            pExpandable->SetExpansionLevelSkipAnimation(state.m_iLevel);
            bMoved = true;
        }
    }
    CTextWidget* pText = widget_cast<CTextWidget*>(pWidget);
    if ((uNow & KEEP_TEXT) && pText)
    {
        // What was typed or set comes back as it was, not as a new change; a label whose
        // text comes from the language keeps it (setting its empty text would blank it).
        if (state.m_strText.Compare(pText->GetText()) != 0)
        {
            const CActionCallback onChanged = pText->GetOnChanged();
            pText->SetOnChanged(CActionCallback());
            pText->SetText(state.m_strText);
            pText->SetOnChanged(onChanged);
        }
        if (state.m_strDisplayText.Compare(pText->GetDisplayText()) != 0)
            pText->SetDisplayText(state.m_strDisplayText);
    }
    // A picture its owner gave after the layout (one loaded from the server, say): what the
    // layout gives is the same picture as before.
    CImageWidget* pImage = widget_cast<CImageWidget*>(pWidget);
    if ((uNow & KEEP_PICTURE) && pImage && pImage->GetImage() != state.m_Picture.m_pSurface)
        pImage->SetImage(state.m_Picture.m_pSurface);
    if (uNow & KEEP_PICTURE)
        state.m_Picture.Release();
    state.m_uKeep = static_cast<unsigned char>((state.m_uKeep & ~uNow) | uWaiting);
    return bMoved;
}

void CWidgetCarryOver::GiveScroll(CSlideArea* pArea, const std::u16string& strPath, sSTATE& state,
                                  bool bChangedInside)
{
    // The content is placed at the area's next update.
    if (bChangedInside)
        return;
    const CWidget* pAnchor = nullptr;
    if (CRunningList* pList = widget_cast<CRunningList*>(pArea))
    {
        // Its owner adds the items again one by one: the place is given once all are back.
        const CKorvelArray<CWidget*>& aItems = pList->GetWidgets();
        const int n = aItems.GetCount();
        if (n < state.m_iItems)
            return;
        if (!state.m_bAtEnd && state.m_iAnchor >= 0 && state.m_iAnchor < n)
            pAnchor = aItems[pList->GetBottomAnchored() ? state.m_iAnchor : n - 1 - state.m_iAnchor];
        else
            ShowFrom(pArea, state.m_bAtEnd ? FAR_DOWN : 0);
    }
    else if (!state.m_strAnchor.empty())
    {
        bool bSettled = false;
        pAnchor = KeyedRow(pArea, state.m_strAnchor, bSettled);
        // The rows above it must show their own players first: their heights place it.
        if (!bSettled)
            return;
        // Without it, its player has left the list: the place goes by pixels.
        if (!pAnchor)
            state.m_strAnchor.clear();
    }
    if (pAnchor)
    {
        const CKorvelRect<int>& rc = pAnchor->GetArea();
        ShowFrom(pArea,
                 rc.top + static_cast<int>(std::floor(state.m_fAnchorShare * (rc.bottom - rc.top) + 0.5)));
    }
    else if (!widget_cast<CRunningList*>(pArea))
    {
        // Given once the content reaches that far: a list refilling row by row gets there later.
        const int iEnd = pArea->clampOffsetY(pArea->GetClientArea().top + FAR_DOWN);
        if (state.m_bAtEnd ? iEnd <= 0 : iEnd < state.m_iScrollY)
            return;
        ShowFrom(pArea, state.m_bAtEnd ? iEnd : state.m_iScrollY);
    }
    m_Placed[strPath] = {pArea->GetShownY(), state.m_bAtEnd, state.m_iAnchor, state.m_strAnchor,
                         state.m_fAnchorShare};
    state.m_uKeep &= ~KEEP_SCROLL;
}

CWidget* CWidgetCarryOver::KeyedRow(CWidget* pList, const std::u16string& strKey, bool& bSettled) const
{
    CInfiniteList* pInfinite = widget_cast<CInfiniteList*>(pList);
    const CKorvelArray<CWidget*>& aRows = pList->GetWidgets();
    CWidget* pFound = nullptr;
    bSettled = aRows.GetCount() > 0;
    for (int i = 0; i < aRows.GetCount(); ++i)
    {
        CWidget* pRow = aRows[i];
        const bool bItem = !pInfinite || (pInfinite->IsItem(pRow) && !pInfinite->IsSeparator(pRow));
        const std::u16string strRowKey = m_fnRowKey ? m_fnRowKey(pRow) : std::u16string();
        if (bItem && strRowKey.empty())
            bSettled = false;
        if (!pFound && strRowKey == strKey)
            pFound = pRow;
    }
    return pFound;
}
