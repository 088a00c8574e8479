// The long lists across a rebuild of the tree (a screen or theme change): each list of the new
// tree takes the old one's count, groups and window, and its rows the records the old rows
// showed, so that the first frame at the new size shows them and nothing is asked again.
#include "Framework/Lobby/VornMenuState.h"

#include <string>

#include "Framework/Lobby/VornMenuWidgets.h"
#include "Framework/UI/PageView.h"

using menu_widgets::ItemIdOf;
using menu_widgets::PlayerOf;
using menu_widgets::ShownScore;

namespace
{

// Updates that let rebuilt rows settle: made and filled, given their levels, placed, scrolled.
const int SETTLE_UPDATES = 4;

// The lists of players by their place in the pages, the own card's with its one row; the shop's
// two lists are found with the layout.
const char* const s_apPlayerLists[] = {"//players_root//playerlist_global",
                                       "//players_root//playerlist_follow",
                                       "//chat_root//chat_avatars_root//avatar_list", "//me_root//list_me"};

bool IsNamed(const CWidget* pWidget, const char* pName)
{
    return pWidget && pWidget->GetName().IsEqual(CKorvelString(pName));
}

std::u16string KeyText(char cKind, int iId)
{
    const std::string strKey = cKind + std::to_string(iId);
    return std::u16string(strKey.begin(), strKey.end());
}

// What the old row at the row's index showed, taken out of the kept records; false when none.
template <class V> bool TakeKept(std::map<int, V>& kept, CWidget* pRow, V& record)
{
    CInfiniteList* pList = pRow ? widget_cast<CInfiniteList*>(pRow->GetParent()) : nullptr;
    auto found = pList ? kept.find(pList->GetIndex(pRow)) : kept.end();
    if (found == kept.end())
        return false;
    record = found->second;
    kept.erase(found);
    return true;
}

} // namespace

std::u16string CVornMenuState::RowKey(const CWidget* pRow)
{
    const CWidget* pList = pRow ? pRow->GetParent() : nullptr;
    // A row loaded before its record shows nobody yet.
    if (IsNamed(pList, "playerlist_global") || IsNamed(pList, "playerlist_follow") ||
        IsNamed(pList, "avatar_list"))
    {
        const sPLAYERLISTITEM* pData = static_cast<const sPLAYERLISTITEM*>(pRow->GetData());
        return pData ? KeyText('p', pData->m_iPlayerId) : std::u16string();
    }
    if (IsNamed(pList, "shop_page_list") || IsNamed(pList, "my_items_page_list"))
    {
        const int iItem = ItemIdOf(pRow);
        return iItem >= 1 ? KeyText('i', iItem) : std::u16string();
    }
    return std::u16string();
}

void CVornMenuState::KeepLists()
{
    ForgetKeptLists();
    CKorvelMap<int, CWidget*> selfRows;
    if (m_pSelfItem)
        selfRows.Add(0, m_pSelfItem);
    CKorvelMap<int, CWidget*>* const apRows[KEPT_LISTS] = {&m_GlobalListItems, &m_FollowListItems,
                                                           &m_ChatListItems,   &selfRows,
                                                           &m_ShopListItems,   &m_MyItemsListItems};
    for (int iList = 0; iList < KEPT_LISTS; ++iList)
    {
        const CInfiniteList* pList = KeptListWidget(iList);
        if (!pList)
            continue;
        sKeptList& kept = m_aKeptLists[iList];
        pList->TakeShape(kept.m_Shape);
        const bool bItems = iList == KEPT_SHOP || iList == KEPT_MY_ITEMS;
        const CKorvelMap<int, CWidget*>& rows = *apRows[iList];
        for (int i = 0; i < rows.GetCount(); ++i)
        {
            CWidget* pRow = rows.GetAt(i).m_Second;
            const int iIndex = rows.GetAt(i).m_First;
            if (bItems && ItemIdOf(pRow) >= 1)
                kept.m_Items[iIndex] = ItemIdOf(pRow);
            else if (!bItems && PlayerOf(pRow))
            {
                kept.m_Players[iIndex] = *PlayerOf(pRow);
                // A score answer wrote it into the row, beside the record.
                const CKorvelString strScore = ShownScore(pRow);
                if (strScore.GetLength())
                    kept.m_Scores[iIndex] = strScore;
            }
        }
    }
    m_aKeptGlobalLabels = m_GlobalGroupLabels;
    m_aKeptFollowLabels = m_FollowGroupLabels;
    m_strKeptSearch = m_SearchText;
}

void CVornMenuState::GiveKeptLists()
{
    for (int iList = 0; iList < KEPT_LISTS; ++iList)
        if (CInfiniteList* pList = KeptListWidget(iList))
            pList->GiveShape(m_aKeptLists[iList].m_Shape);
    m_GlobalGroupLabels = m_aKeptGlobalLabels;
    m_FollowGroupLabels = m_aKeptFollowLabels;
    // Rows the rebuilt list still asks for belong to the search it showed.
    if (ListKept((m_iContext & CVornNetworkSession::PLAYER_LIST_FOLLOW_MASK) ? KEPT_FOLLOW : KEPT_GLOBAL))
        m_SearchText = m_strKeptSearch;
}

CInfiniteList* CVornMenuState::KeptListWidget(int iList) const
{
    if (iList == KEPT_SHOP)
        return m_pShopList;
    if (iList == KEPT_MY_ITEMS)
        return m_pMyItemsList;
    return widget_cast<CInfiniteList*>(FindInPages(s_apPlayerLists[iList]));
}

void CVornMenuState::ForgetKeptLists()
{
    for (sKeptList& kept : m_aKeptLists)
        kept = sKeptList();
    m_aKeptGlobalLabels.SetSize(0);
    m_aKeptFollowLabels.SetSize(0);
    m_strKeptSearch.Reset();
}

bool CVornMenuState::ListKept(int iList) const
{
    return iList >= 0 && iList < KEPT_LISTS && m_aKeptLists[iList].m_Shape.m_iCount > 0;
}

bool CVornMenuState::FillKeptPlayer(CWidget* pRow, int iList)
{
    sPLAYERLISTITEM player;
    CKorvelString strScore;
    const bool bScore = TakeKept(m_aKeptLists[iList].m_Scores, pRow, strScore);
    if (!TakeKept(m_aKeptLists[iList].m_Players, pRow, player))
        return false;
    if (iList != KEPT_AVATARS)
        ShowPlayerRow(pRow, player);
    else if (!PlayerOf(pRow))
        pRow->SetData(new sPLAYERLISTITEM(player));
    if (bScore)
        menu_widgets::ShowScore(pRow, strScore);
    return true;
}

void CVornMenuState::FillKeptItem(CWidget* pRow, int iList)
{
    int iItemId = 0;
    if (TakeKept(m_aKeptLists[iList].m_Items, pRow, iItemId))
        ShowItemAgain(pRow, iItemId,
                      iList == KEPT_SHOP ? &CVornMenuState::FillShopRow : &CVornMenuState::FillMyItemRow);
}

void CVornMenuState::SettleRebuiltLists()
{
    if (m_pPageView && m_pPageView->GetVisible())
    {
        for (int i = 0; i < SETTLE_UPDATES && m_pRoot && m_CarryOver.HasPending(); ++i)
        {
            m_pRoot->DoUpdate(0.0f);
            m_CarryOver.ApplyPending(m_pRoot);
        }
        AdoptExpandedRow();
    }
    if (m_bOwnCardAgain)
        ShowOwnCardAgain();
}
