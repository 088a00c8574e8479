// Small null-safe widget steps the lobby's feature files share: a widget looked up by name
// may be missing from the layout, and then the step does nothing.
#pragma once

#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Widget.h"
#include "KorvelCommon/KorvelSet.h"
#include "KorvelCommon/KorvelString.h"

namespace menu_widgets
{

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

} // namespace menu_widgets
