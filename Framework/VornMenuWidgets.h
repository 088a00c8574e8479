// Small null-safe widget steps the lobby's feature files share: a widget looked up by name
// may be missing from the layout, and then the step does nothing.
#pragma once

#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Widget.h"
#include "KorvelCommon/KorvelString.h"

namespace menu_widgets
{

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

} // namespace menu_widgets
