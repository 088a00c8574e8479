// Expanding list rows: one row at a time grows to show its details and, one level further,
// its "nasty" buttons, and the list scrolls so that the row stays in view.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Lobby/VornMenuWidgets.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/GridLayout.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/ToggleButton.h"

namespace
{

const char* const NASTY_BUTTONS = "playerlist-item-nasty-buttons";

using menu_widgets::Child;
using menu_widgets::Lobby;
using menu_widgets::RowOf;
using menu_widgets::Show;

void ToggleArrow(CWidget* pRow, unsigned int uToggled)
{
    if (CToggleButton* pArrow = widget_cast<CToggleButton*>(Child(pRow, "arrow")))
        pArrow->SetToggled(uToggled);
}

// Scrolls the row's grid when the row, at its new target height, leaves the view. The
// row's top moves by iDelta when a row above it shrinks; iTopSign says whether the top
// border is added or taken off when the row lies above the view.
void ScrollIntoView(CExpandable* pRow, int iDelta, int iTopSign)
{
    CGridLayout* pGrid = widget_cast<CGridLayout*>(pRow->GetParent());
    if (!pGrid)
        return;
    const int iTop = pRow->GetArea().top;
    const int iHeight = pRow->GetTargetHeight();
    const int iViewTop = pGrid->GetTop();
    const int iView = pGrid->GetHeight();
    int y;
    if (iTop < iViewTop)
        y = iTop + iDelta + iTopSign * pGrid->GetBorderSize(CGridLayout::SIDE_TOP);
    else if (iTop + iHeight > iViewTop + iView)
        y = iTop + iDelta + iHeight - iView - pGrid->GetBorderSize(CGridLayout::SIDE_BOTTOM);
    else
        return;
    pGrid->scrollTo(pGrid->GetLeft(), y, 0.5f, 0.0f);
}

} // namespace

int CVornMenuState::CollapseExpandedItem(CWidget* pRow, unsigned int uResetButtons)
{
    CExpandable* pOther = widget_cast<CExpandable*>(m_pExpandedItem);
    m_pExpandedItem = nullptr;
    if (!pOther || pOther == pRow)
        return 0;
    // A shrinking row above moves this one up by the height it gives back.
    int iDelta = 0;
    if (pRow && pOther->GetArea().top < pRow->GetArea().top)
        iDelta = pOther->GetExpansionHeight(0) - pOther->GetTargetHeight();
    pOther->SetExpansionLevel(0);
    if (uResetButtons)
    {
        Show(Child(pOther, NASTY_BUTTONS), 0);
        ToggleArrow(pOther, 0);
    }
    return iDelta;
}

namespace
{
CWidget* FindOpenRow(CWidget* pWidget)
{
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
    {
        CWidget* pChild = pWidget->GetWidgets()[i];
        CExpandable* pRow = widget_cast<CExpandable*>(pChild);
        if (pRow && pRow->GetExpansionLevel() > 0 && widget_cast<CInfiniteList*>(pWidget))
            return pRow;
        if (CWidget* pFound = FindOpenRow(pChild))
            return pFound;
    }
    return nullptr;
}
} // namespace

void CVornMenuState::AdoptExpandedRow()
{
    if (!m_pExpandedItem && m_pRoot)
        m_pExpandedItem = FindOpenRow(m_pRoot);
}

KE_RETVAL CVornMenuState::actionExpandListItem(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    if (!pThis || !pSender)
        return 1;
    const int iDelta = pThis->CollapseExpandedItem(pSender, 1);
    pThis->m_pExpandedItem = pSender;
    CExpandable* pRow = widget_cast<CExpandable*>(pSender);
    if (!pRow)
        return 1;
    CWidget* pSmall = Child(pRow, "list_item_small");
    CWidget* pBig = Child(pRow, "list_item_big");
    const int iLevel = pRow->GetExpansionLevel();
    if (pSmall && pBig)
        Show(iLevel == 0 ? pSmall : pBig, 0);
    const int iNewLevel = iLevel < 1 ? 1 : 0;
    pRow->SetExpansionLevel(iNewLevel);
    ToggleArrow(pRow, iNewLevel == 0);
    ScrollIntoView(pRow, iDelta, -1);
    return 1;
}

KE_RETVAL CVornMenuState::actionEndExpandListItem(CWidget* pSender, void*)
{
    CExpandable* pRow = widget_cast<CExpandable*>(pSender);
    if (!pRow)
        return 1;
    const int iLevel = pRow->GetExpansionLevel();
    CWidget* pSmall = Child(pRow, "list_item_small");
    CWidget* pBig = Child(pRow, "list_item_big");
    if (pSmall && pBig)
    {
        Show(pBig, iLevel != 0);
        Show(pSmall, iLevel == 0);
    }
    if (iLevel < 2)
        Show(Child(pRow, NASTY_BUTTONS), 0);
    return 1;
}

KE_RETVAL CVornMenuState::actionPlayerDetails(CWidget* pSender, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CExpandable* pRow = RowOf(pSender);
    if (!pThis || !pRow)
        return 1;
    const int iDelta = pThis->CollapseExpandedItem(pRow, 0);
    pThis->m_pExpandedItem = pRow;
    // 0 and 2 go to 1, 1 goes to 2 (a row not yet laid out counts as level 0).
    const int iLevel = pRow->GetExpansionLevel() < 0 ? 0 : pRow->GetExpansionLevel();
    pRow->SetExpansionLevel(iLevel % 2 + 1);
    ScrollIntoView(pRow, iDelta, 1);
    return 1;
}

KE_RETVAL CVornMenuState::actionExpandNastyButtons(CWidget*, void* pContext)
{
    CVornMenuState* pThis = Lobby(pContext);
    CExpandable* pRow = pThis ? widget_cast<CExpandable*>(pThis->m_pExpandedItem) : nullptr;
    CWidget* pButtons = Child(pRow, NASTY_BUTTONS);
    if (!pButtons)
        return 0;
    const int iLevel = pRow->GetExpansionLevel();
    if (iLevel < 1)
        return 1;
    if (iLevel == 1)
    {
        Show(pButtons, 1);
        pRow->SetExpansionLevel(2);
    }
    else
        pRow->SetExpansionLevel(1);
    ScrollIntoView(pRow, 0, -1);
    return 1;
}
