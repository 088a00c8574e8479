// Carrying what a player made of a widget tree over to its rebuilt copy, by widget path.
#include "Framework/UI/WidgetCarryOver.h"

#include <iterator>

#include "Framework/UI/Expandable.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/RunningList.h"
#include "Framework/UI/SlideArea.h"
#include "Framework/UI/TextWidget.h"

namespace
{
// Past the end of any content: clamped to the end.
const int FAR_DOWN = 1000000000;

// A child's path: its name, and among siblings of the same name its place among them.
std::u16string ChildPath(const std::u16string& strParent, const CWidget* pParent, int iChild)
{
    const CKorvelArray<CWidget*>& aChildren = pParent->GetWidgets();
    const CKorvelString& strName = aChildren[iChild]->GetName();
    int iSame = 0;
    for (int i = 0; i < iChild; ++i)
        iSame += aChildren[i]->GetName().Compare(strName) == 0 ? 1 : 0;
    std::u16string strPath = strParent;
    strPath += u'/';
    for (int i = 0; i < strName.GetLength(); ++i)
        strPath += static_cast<char16_t>(strName.GetBuffer()[i]);
    if (iSame)
    {
        strPath += u'#';
        for (char c : std::to_string(iSame))
            strPath += static_cast<char16_t>(c);
    }
    return strPath;
}

int ScrollEnd(const CSlideArea* pArea)
{
    return pArea->clampOffsetY(pArea->GetClientArea().top + FAR_DOWN);
}
} // namespace

void CWidgetCarryOver::Take(CWidget* pRoot)
{
    m_States.clear();
    if (!pRoot)
        return;
    for (int i = 0; i < pRoot->GetWidgets().GetCount(); ++i)
        TakeWidget(pRoot->GetWidgets()[i], ChildPath(std::u16string(), pRoot, i));
}

void CWidgetCarryOver::TakeWidget(CWidget* pWidget, const std::u16string& strPath)
{
    sSTATE& state = m_States[strPath];
    state.m_uKeep = KEEP_VISIBLE;
    state.m_uVisible = pWidget->GetVisible() ? 1 : 0;
    // A page button's state follows its page.
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pWidget);
    if (pToggle && !widget_cast<CPageButton*>(pWidget))
    {
        state.m_uKeep |= KEEP_TOGGLED;
        state.m_uToggled = pToggle->GetToggled() ? 1 : 0;
    }
    CExpandable* pExpandable = widget_cast<CExpandable*>(pWidget);
    if (pExpandable && pExpandable->GetExpansionLevel() >= 0)
    {
        state.m_uKeep |= KEEP_LEVEL;
        state.m_iLevel = pExpandable->GetExpansionLevel();
    }
    if (CTextWidget* pText = widget_cast<CTextWidget*>(pWidget))
    {
        state.m_uKeep |= KEEP_TEXT;
        state.m_strText = pText->GetText();
        state.m_strDisplayText = pText->GetDisplayText();
    }
    if (CSlideArea* pArea = widget_cast<CSlideArea*>(pWidget))
    {
        const int iEnd = ScrollEnd(pArea);
        state.m_uKeep |= KEEP_SCROLL;
        state.m_iScrollY = pArea->GetShownY();
        state.m_bAtEnd = iEnd > 0 && state.m_iScrollY >= iEnd;
    }
    if (widget_cast<CRunningList*>(pWidget))
        return;
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
        TakeWidget(pWidget->GetWidgets()[i], ChildPath(strPath, pWidget, i));
}

void CWidgetCarryOver::Apply(CWidget* pRoot)
{
    if (!pRoot)
        return;
    Walk(pRoot, std::u16string(), KEEP_VISIBLE);
    Walk(pRoot, std::u16string(), KEEP_TOGGLED | KEEP_LEVEL | KEEP_TEXT | KEEP_SCROLL);
    for (auto& entry : m_States)
        entry.second.m_uKeep &= ~KEEP_TEXT;
    DropGiven();
}

void CWidgetCarryOver::ApplyPending(CWidget* pRoot)
{
    if (!pRoot)
        return;
    Walk(pRoot, std::u16string(), KEEP_VISIBLE);
    Walk(pRoot, std::u16string(), KEEP_TOGGLED | KEEP_LEVEL | KEEP_SCROLL);
    DropGiven();
}

void CWidgetCarryOver::Walk(CWidget* pWidget, const std::u16string& strPath, unsigned char uGive)
{
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
    {
        CWidget* pChild = pWidget->GetWidgets()[i];
        const std::u16string strChild = ChildPath(strPath, pWidget, i);
        auto found = m_States.find(strChild);
        if (found != m_States.end() && (found->second.m_uKeep & uGive))
            Give(pChild, found->second, uGive);
        if (!widget_cast<CRunningList*>(pChild))
            Walk(pChild, strChild, uGive);
    }
}

void CWidgetCarryOver::Give(CWidget* pWidget, sSTATE& state, unsigned char uGive)
{
    const unsigned char uNow = state.m_uKeep & uGive;
    unsigned char uWaiting = 0;
    if (uNow & KEEP_VISIBLE)
        pWidget->SetVisible(state.m_uVisible);
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pWidget);
    if ((uNow & KEEP_TOGGLED) && pToggle)
        pToggle->SetToggled(state.m_uToggled);
    CExpandable* pExpandable = widget_cast<CExpandable*>(pWidget);
    if ((uNow & KEEP_LEVEL) && pExpandable)
    {
        // Its first update settles it at level 0: the level is given after that.
        if (pExpandable->GetExpansionLevel() < 0 && pExpandable->GetNumberOfExpansionLevels() > 0)
            uWaiting |= KEEP_LEVEL;
        else
            pExpandable->SetExpansionLevelSkipAnimation(state.m_iLevel);
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
    CSlideArea* pArea = widget_cast<CSlideArea*>(pWidget);
    if ((uNow & KEEP_SCROLL) && pArea)
    {
        // Given once the content reaches that far: a list refilling row by row gets there later.
        const int iEnd = ScrollEnd(pArea);
        if (state.m_bAtEnd ? iEnd > 0 : iEnd >= state.m_iScrollY)
            pArea->scrollTo(0, pArea->GetClientArea().top + (state.m_bAtEnd ? iEnd : state.m_iScrollY), 0.0f,
                            0.0f);
        else
            uWaiting |= KEEP_SCROLL;
    }
    state.m_uKeep = static_cast<unsigned char>((state.m_uKeep & ~uNow) | uWaiting);
}

void CWidgetCarryOver::DropGiven()
{
    for (auto it = m_States.begin(); it != m_States.end();)
        it = it->second.m_uKeep ? std::next(it) : m_States.erase(it);
}
