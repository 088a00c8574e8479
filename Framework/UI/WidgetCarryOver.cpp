// Carrying what a player made of a widget tree over to its rebuilt copy, by widget path:
// what is taken from the old tree, and the walks that give it to the new one.
#include "Framework/UI/WidgetCarryOver.h"

#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "Framework/Shell/VornResourceManager.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/GradientWidget.h"
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

int ScrollEnd(const CSlideArea* pArea)
{
    return pArea->clampOffsetY(pArea->GetClientArea().top + FAR_DOWN);
}

void AddText(std::u16string& strOut, const CKorvelString& strText)
{
    for (int i = 0; i < strText.GetLength(); ++i)
        strOut += static_cast<char16_t>(strText.GetBuffer()[i]);
}
} // namespace

void CWidgetCarryOver::sPICTURE::Hold(CVornResourceManager* pResources, CKorvelSurface* pSurface)
{
    Release();
    // Only a picture the manager counts can outlive the widget that showed it.
    if (!pResources || !pSurface || !pResources->IncrementSurface(pSurface))
        return;
    m_pResources = pResources;
    m_pSurface = pSurface;
}

void CWidgetCarryOver::sPICTURE::Release()
{
    if (m_pSurface)
        m_pResources->ReleaseSurface(m_pSurface);
    m_pSurface = nullptr;
    m_pResources = nullptr;
}

void CWidgetCarryOver::sPICTURE::Swap(sPICTURE& other) noexcept
{
    std::swap(m_pResources, other.m_pResources);
    std::swap(m_pSurface, other.m_pSurface);
}

// A child's path: its name, and among siblings of the same name its place among them; a row
// of a long list that shows something goes by what it shows instead.
std::u16string CWidgetCarryOver::ChildPath(const std::u16string& strParent, const CWidget* pParent,
                                           int iChild) const
{
    const CKorvelArray<CWidget*>& aChildren = pParent->GetWidgets();
    std::u16string strPath = strParent;
    strPath += u'/';
    if (m_fnRowKey && widget_cast<const CInfiniteList*>(pParent))
    {
        const std::u16string strKey = m_fnRowKey(aChildren[iChild]);
        if (!strKey.empty())
            return strPath + u'@' + strKey;
    }
    const CKorvelString& strName = aChildren[iChild]->GetName();
    int iSame = 0;
    for (int i = 0; i < iChild; ++i)
        iSame += aChildren[i]->GetName().Compare(strName) == 0 ? 1 : 0;
    AddText(strPath, strName);
    if (iSame)
    {
        strPath += u'#';
        for (char c : std::to_string(iSame))
            strPath += static_cast<char16_t>(c);
    }
    return strPath;
}

std::u16string CWidgetCarryOver::PathOf(const CWidget* pRoot, const CWidget* pWidget) const
{
    std::vector<const CWidget*> aChain;
    for (const CWidget* p = pWidget; p && p != pRoot; p = p->GetParent())
        aChain.push_back(p);
    std::u16string strPath;
    const CWidget* pParent = pRoot;
    for (auto it = aChain.rbegin(); it != aChain.rend(); pParent = *it, ++it)
    {
        const CKorvelArray<CWidget*>& aChildren = pParent ? pParent->GetWidgets() : CKorvelArray<CWidget*>();
        int iChild = 0;
        while (iChild < aChildren.GetCount() && aChildren[iChild] != *it)
            ++iChild;
        if (iChild == aChildren.GetCount())
            return std::u16string(); // not in the tree below pRoot
        strPath = ChildPath(strPath, pParent, iChild);
    }
    return strPath;
}

CWidget* CWidgetCarryOver::WidgetAt(CWidget* pRoot, const std::u16string& strPath) const
{
    CWidget* pWidget = pRoot;
    std::u16string strAt;
    while (pWidget && strAt != strPath)
    {
        CWidget* pNext = nullptr;
        for (int i = 0; !pNext && i < pWidget->GetWidgets().GetCount(); ++i)
        {
            const std::u16string strChild = ChildPath(strAt, pWidget, i);
            if (strPath.compare(0, strChild.size(), strChild) == 0 &&
                (strPath.size() == strChild.size() || strPath[strChild.size()] == u'/'))
            {
                pNext = pWidget->GetWidgets()[i];
                strAt = strChild;
            }
        }
        pWidget = pNext;
    }
    return pWidget;
}

void CWidgetCarryOver::Take(CWidget* pRoot)
{
    States previous;
    previous.swap(m_States);
    for (int i = 0; pRoot && i < pRoot->GetWidgets().GetCount(); ++i)
        TakeWidget(pRoot->GetWidgets()[i], ChildPath(std::u16string(), pRoot, i));
    KeepWaiting(previous);
    // Keys go down the chain of current widgets: a field the last press chose has them.
    CTextWidget* pField = pRoot ? widget_cast<CTextWidget*>(pRoot->GetCurrentWidget()) : nullptr;
    m_strFocus =
        pField && pField->IsEditing() && pField->GetInput() ? PathOf(pRoot, pField) : std::u16string();
}

CTextWidget* CWidgetCarryOver::TakeFocusedField(CWidget* pRoot)
{
    std::u16string strPath;
    strPath.swap(m_strFocus);
    return strPath.empty() || !pRoot ? nullptr : widget_cast<CTextWidget*>(WidgetAt(pRoot, strPath));
}

void CWidgetCarryOver::TakeWidget(CWidget* pWidget, const std::u16string& strPath)
{
    sSTATE& state = m_States[strPath];
    state.m_uKeep = KEEP_VISIBLE;
    state.m_uVisible = pWidget->GetVisible() ? 1 : 0;
    // A page button's state follows its page; where it leads may have been set since, as may
    // a web button's link (the server's, say).
    CToggleButton* pToggle = widget_cast<CToggleButton*>(pWidget);
    if (CPageButton* pPage = widget_cast<CPageButton*>(pWidget))
    {
        state.m_uKeep |= KEEP_TARGET;
        state.m_strTarget = pPage->GetPagePath();
    }
    else if (CWebButton* pWeb = widget_cast<CWebButton*>(pWidget))
    {
        state.m_uKeep |= KEEP_TARGET;
        state.m_strTarget = pWeb->GetUrl();
    }
    else if (pToggle)
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
    // A gradient's picture is its colours', made again when it draws.
    CImageWidget* pImage = widget_cast<CImageWidget*>(pWidget);
    if (pImage && !widget_cast<CGradientWidget*>(pWidget))
    {
        state.m_Picture.Hold(pWidget->GetResourceManager(), pImage->GetImage());
        if (state.m_Picture.m_pSurface)
            state.m_uKeep |= KEEP_PICTURE;
    }
    if (CSlideArea* pArea = widget_cast<CSlideArea*>(pWidget))
        TakeScroll(pArea, strPath, state);
    if (widget_cast<CRunningList*>(pWidget))
        return;
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
        TakeWidget(pWidget->GetWidgets()[i], ChildPath(strPath, pWidget, i));
}

void CWidgetCarryOver::TakeScroll(CSlideArea* pArea, const std::u16string& strPath, sSTATE& state) const
{
    const CKorvelArray<CWidget*>& aItems = pArea->GetWidgets();
    CRunningList* pList = widget_cast<CRunningList*>(pArea);
    state.m_uKeep |= KEEP_SCROLL;
    // Its owner gives it the same items again, oldest first: the place is one of them.
    state.m_iItems = pList ? aItems.GetCount() : 0;
    const int iView = pArea->GetShownY();
    state.m_iScrollY = iView;
    auto placed = m_Placed.find(strPath);
    if (placed != m_Placed.end() && placed->second.m_iShownY == iView)
    {
        const sPLACE& place = placed->second;
        state.m_bAtEnd = place.m_bAtEnd;
        state.m_iAnchor = place.m_iAnchor;
        state.m_strAnchor = place.m_strAnchor;
        state.m_fAnchorShare = place.m_fShare;
        return;
    }
    const int iEnd = ScrollEnd(pArea);
    state.m_bAtEnd = iEnd > 0 && iView >= iEnd;
    const bool bKeyed = m_fnRowKey && iView > 0 && widget_cast<CInfiniteList*>(pArea);
    for (int i = 0; (pList || bKeyed) && !state.m_bAtEnd && i < aItems.GetCount(); ++i)
    {
        const CKorvelRect<int>& rc = aItems[i]->GetArea();
        const std::u16string strKey = bKeyed ? m_fnRowKey(aItems[i]) : std::u16string();
        if (rc.bottom <= iView || (bKeyed && strKey.empty()))
            continue;
        if (pList)
            state.m_iAnchor = pList->GetBottomAnchored() ? i : aItems.GetCount() - 1 - i;
        state.m_strAnchor = strKey;
        state.m_fAnchorShare =
            static_cast<double>(iView - rc.top) / (rc.bottom > rc.top ? rc.bottom - rc.top : 1);
        return;
    }
}

void CWidgetCarryOver::KeepWaiting(States& previous)
{
    for (auto& entry : previous)
    {
        sSTATE& old = entry.second;
        auto found = m_States.find(entry.first);
        if (found == m_States.end())
        {
            m_States.emplace(entry.first, std::move(old));
            continue;
        }
        sSTATE& now = found->second;
        const unsigned char uWaiting = old.m_uKeep;
        if (uWaiting & KEEP_VISIBLE)
            now.m_uVisible = old.m_uVisible;
        if (uWaiting & KEEP_TOGGLED)
            now.m_uToggled = old.m_uToggled;
        if (uWaiting & KEEP_LEVEL)
            now.m_iLevel = old.m_iLevel;
        if (uWaiting & KEEP_SCROLL)
        {
            now.m_bAtEnd = old.m_bAtEnd;
            now.m_iScrollY = old.m_iScrollY;
            now.m_iItems = old.m_iItems;
            now.m_iAnchor = old.m_iAnchor;
            now.m_strAnchor = old.m_strAnchor;
            now.m_fAnchorShare = old.m_fAnchorShare;
        }
        if (uWaiting & KEEP_PICTURE)
            now.m_Picture = std::move(old.m_Picture);
        if (uWaiting & KEEP_TARGET)
            now.m_strTarget = old.m_strTarget;
        now.m_uKeep |= uWaiting;
    }
}

void CWidgetCarryOver::Apply(CWidget* pRoot)
{
    if (!pRoot)
        return;
    Walk(pRoot, std::u16string(), KEEP_VISIBLE);
    Walk(pRoot, std::u16string(),
         KEEP_TOGGLED | KEEP_LEVEL | KEEP_TEXT | KEEP_SCROLL | KEEP_PICTURE | KEEP_TARGET);
    for (auto& entry : m_States)
        entry.second.m_uKeep &= ~KEEP_TEXT;
    DropGiven();
}

void CWidgetCarryOver::ApplyPending(CWidget* pRoot)
{
    if (!pRoot)
        return;
    Walk(pRoot, std::u16string(), KEEP_VISIBLE);
    Walk(pRoot, std::u16string(), KEEP_TOGGLED | KEEP_LEVEL | KEEP_SCROLL | KEEP_PICTURE | KEEP_TARGET);
    DropGiven();
}

bool CWidgetCarryOver::Walk(CWidget* pWidget, const std::u16string& strPath, unsigned char uGive)
{
    bool bMoved = false;
    for (int i = 0; i < pWidget->GetWidgets().GetCount(); ++i)
    {
        CWidget* pChild = pWidget->GetWidgets()[i];
        const std::u16string strChild = ChildPath(strPath, pWidget, i);
        auto found = m_States.find(strChild);
        sSTATE* pState = found != m_States.end() ? &found->second : nullptr;
        if (pState && (pState->m_uKeep & uGive & ~KEEP_SCROLL))
            bMoved = Give(pChild, *pState, uGive & ~KEEP_SCROLL) || bMoved;
        const bool bInside = !widget_cast<CRunningList*>(pChild) && Walk(pChild, strChild, uGive);
        if (uGive & KEEP_SCROLL)
            DropLeftRows(pChild, strChild);
        CSlideArea* pArea = widget_cast<CSlideArea*>(pChild);
        if (pState && pArea && (pState->m_uKeep & KEEP_SCROLL))
        {
            // What the visibility pass changed inside counts for the pass after it.
            const bool bChanged = bInside || pState->m_bChangedInside;
            pState->m_bChangedInside = bInside && !(uGive & KEEP_SCROLL);
            if (uGive & KEEP_SCROLL)
                GiveScroll(pArea, strChild, *pState, bChanged);
        }
        bMoved = bMoved || bInside;
    }
    return bMoved;
}

void CWidgetCarryOver::DropLeftRows(CWidget* pList, const std::u16string& strPath)
{
    if (!m_fnRowKey || !widget_cast<CInfiniteList*>(pList))
        return;
    const std::u16string strRows = strPath + u"/@";
    auto it = m_States.lower_bound(strRows);
    if (it == m_States.end() || it->first.compare(0, strRows.size(), strRows) != 0)
        return;
    bool bSettled = false;
    std::set<std::u16string> shown;
    for (int i = 0; i < pList->GetWidgets().GetCount(); ++i)
        shown.insert(m_fnRowKey(pList->GetWidgets()[i]));
    KeyedRow(pList, std::u16string(), bSettled);
    if (!bSettled)
        return;
    // Every row shows its player: one not among them has left the list.
    for (; it != m_States.end() && it->first.compare(0, strRows.size(), strRows) == 0; ++it)
    {
        const size_t uEnd = it->first.find(u'/', strRows.size());
        if (!shown.count(it->first.substr(strRows.size(), uEnd - strRows.size())))
            it->second.m_uKeep = 0;
    }
}

void CWidgetCarryOver::DropGiven()
{
    for (auto it = m_States.begin(); it != m_States.end();)
        it = it->second.m_uKeep ? std::next(it) : m_States.erase(it);
}
