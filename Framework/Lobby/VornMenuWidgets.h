// Small null-safe widget steps the lobby's feature files share: a widget looked up by name
// may be missing from the layout, and then the step does nothing. Also the menu state an
// action was registered with, and what a list row carries.
#pragma once

#include <cstdint>

#include "Framework/Session/asn1_hile_players.h"
#include "Framework/Session/asn1_hile_shop.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Widget.h"
#include "KorvelCommon/KorvelSet.h"
#include "KorvelCommon/KorvelString.h"

class CVornMenuState;

namespace menu_widgets
{

// The menu state behind an action's or a list callback's context pointer.
inline CVornMenuState* Lobby(void* pContext)
{
    return static_cast<CVornMenuState*>(pContext);
}

// The expandable row that holds the widget (the widget itself when it is one), or null.
inline CExpandable* RowOf(CWidget* pWidget)
{
    for (CWidget* p = pWidget; p; p = p->GetParent())
        if (CExpandable* pRow = widget_cast<CExpandable*>(p))
            return pRow;
    return nullptr;
}

// A shop row's data is the item id itself; 0 without a row.
inline int ItemIdOf(const CWidget* pRow)
{
    return pRow ? static_cast<int>(reinterpret_cast<intptr_t>(pRow->GetData())) : 0;
}

// A player row's data is its list record, owned by the row.
inline sPLAYERLISTITEM* PlayerOf(CWidget* pRow)
{
    return pRow ? static_cast<sPLAYERLISTITEM*>(pRow->GetData()) : nullptr;
}

// A player row's record goes with the row.
inline void FreeData(CWidget* pRow)
{
    if (!pRow)
        return;
    delete PlayerOf(pRow);
    pRow->SetData(nullptr);
}

// The row's own record, made on its first item.
inline sPLAYERLISTITEM* EnsureData(CWidget* pRow)
{
    sPLAYERLISTITEM* pData = PlayerOf(pRow);
    if (!pData)
    {
        pData = new sPLAYERLISTITEM();
        pRow->SetData(pData);
    }
    return pData;
}

// The name a shop item is shown by: its display name when it has one.
inline const CKorvelString& ShownName(const CASN1ShopItems::sItemData& item)
{
    return item.m_strDisplayName.GetLength() ? item.m_strDisplayName : item.m_strName;
}

// A widget of that name anywhere below pFrom.
inline CWidget* Child(CWidget* pFrom, const char* pName)
{
    return pFrom ? pFrom->FindWidget(CKorvelString(pName), -1) : nullptr;
}

inline void Show(CWidget* pWidget, unsigned int uVisible)
{
    if (pWidget)
        pWidget->SetVisible(uVisible);
}

// Only a text widget takes the text.
inline void SetText(CWidget* pWidget, const CKorvelString& strText)
{
    if (CTextWidget* pText = widget_cast<CTextWidget*>(pWidget))
        pText->SetText(strText);
}

// A player row's tournament score, in its small view and in its big one.
inline void ShowScore(CWidget* pRow, const CKorvelString& strScore)
{
    for (const char* pView : {"list_item_small", "list_item_big"})
        SetText(Child(Child(pRow, pView), "player_score"), strScore);
}

// The score a player row shows, empty while it shows none.
inline CKorvelString ShownScore(CWidget* pRow)
{
    CTextWidget* pText = widget_cast<CTextWidget*>(Child(Child(pRow, "list_item_small"), "player_score"));
    return pText ? pText->GetText() : CKorvelString();
}

inline CKorvelString Decimal(int iValue)
{
    CKorvelString strText;
    strText.FromInt(iValue, 10);
    return strText;
}

// A row its list just loaded: its sizes settled (going through level 1 when it expands) and
// remembered under its list index, which is returned; -1 for a widget outside a list.
inline int RememberRow(CWidget* pSender, CKorvelMap<int, CWidget*>& rows)
{
    CInfiniteList* pList = pSender ? widget_cast<CInfiniteList*>(pSender->GetParent()) : nullptr;
    if (!pList)
        return -1;
    if (CExpandable* pRow = widget_cast<CExpandable*>(pSender))
    {
        pRow->SetExpansionLevelSkipAnimation(0);
        pRow->SetExpansionLevelSkipAnimation(1);
        pRow->SetExpansionLevelSkipAnimation(0);
    }
    const int iIndex = pList->GetIndex(pSender);
    rows.Remove(iIndex);
    rows.Add(iIndex, pSender);
    return iIndex;
}

// A batch of rows from iFirst, iCount long, narrowed to the span from its first to its last
// row that shows nothing yet (fnShown(index) false); false when every row shows its record.
template <class F> bool NarrowToUnfilled(int& iFirst, int& iCount, F fnShown)
{
    int iEnd = iFirst + iCount;
    while (iFirst < iEnd && fnShown(iFirst))
        ++iFirst;
    while (iEnd > iFirst && fnShown(iEnd - 1))
        --iEnd;
    iCount = iEnd - iFirst;
    return iCount > 0;
}

} // namespace menu_widgets
