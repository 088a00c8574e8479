// The in-game item list the game reads: the rounds whose request flags carry one of the
// in-game high parts; other answers go to the shown shop and own-items lists.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/VornGameState.h"

namespace
{
const int PAGE_SIZE = 100;

unsigned int IsInGameRound(int iFlags)
{
    const int iHigh = iFlags & ~CVornNetworkSession::SHOP_LIST_KIND_MASK;
    return iHigh == CVornNetworkSession::SHOP_IN_GAME_LOGIN ||
           iHigh == CVornNetworkSession::SHOP_IN_GAME_CONNECTED ||
           iHigh == CVornNetworkSession::SHOP_IN_GAME_REFRESH;
}
} // namespace

void CVornMenuState::OnShopItemGroups(int iFlags,
                                      const CKorvelArray<CASN1ShopItemGroups::sGroupData>& aGroups)
{
    if (!IsInGameRound(iFlags))
    {
        OnShownShopItemGroups(iFlags, aGroups);
        return;
    }
    m_iInGameItemTotal = 0;
    for (int i = 0; i < aGroups.GetCount(); ++i)
    {
        // A negative count from the server counts as none.
        const int iCount = aGroups[i].m_iItemCount > 0 ? aGroups[i].m_iItemCount : 0;
        m_iInGameItemTotal =
            iCount > 0x7FFFFFFF - m_iInGameItemTotal ? 0x7FFFFFFF : m_iInGameItemTotal + iCount;
        m_InGameGroups.Add(aGroups[i].m_iGroupId, aGroups[i]);
    }
    m_Items.RemoveAll();
    if (CVornNetworkSession* pSession = Session())
        pSession->SendGetShopItems(iFlags, PAGE_SIZE, 0);
}

void CVornMenuState::OnShopItems(int iFlags, int iStart,
                                 const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    if (!IsInGameRound(iFlags))
    {
        if ((iFlags & CVornNetworkSession::SHOP_LIST_KIND_MASK) == CVornNetworkSession::SHOP_LIST_SHOP)
            FillShopItems(iStart, aItems);
        else if ((iFlags & CVornNetworkSession::SHOP_LIST_KIND_MASK) ==
                 CVornNetworkSession::SHOP_LIST_MY_ITEMS)
            FillMyItems(iStart, aItems);
        return;
    }
    for (int i = 0; i < aItems.GetCount(); ++i)
    {
        const CASN1ShopItems::sItemData& item = aItems[i];
        const int iGroup = m_InGameGroups.Find(item.m_iGroupId);
        CVornApplication::sItemData data;
        data.m_iEnabled = item.m_iEnabled ? 1 : 0;
        data.m_iItemId = item.m_iItemId;
        data.m_iAmount = item.m_iAmount;
        data.m_iFileId = item.m_iDataId;
        data.m_iGroupValue = iGroup >= 0 ? m_InGameGroups.GetAt(iGroup).m_Second.m_iValue3 : -1;
        data.m_iDescId = item.m_iLast;
        data.m_iGroupType = iGroup >= 0 ? m_InGameGroups.GetAt(iGroup).m_Second.m_iType : 0;
        m_Items.Add(data);
    }
    const int iStartSafe = iStart > 0 ? iStart : 0;
    const long long llEnd = static_cast<long long>(iStartSafe) + aItems.GetCount();
    CVornNetworkSession* pSession = Session();
    // An empty page ends the round: asking the same page again would never end.
    if (llEnd < m_iInGameItemTotal && aItems.GetCount() > 0)
    {
        if (pSession)
            pSession->SendGetShopItems(iFlags, PAGE_SIZE, static_cast<int>(llEnd));
        return;
    }
    m_iInGameItemTotal = 0;
    switch (iFlags & ~CVornNetworkSession::SHOP_LIST_KIND_MASK)
    {
    case CVornNetworkSession::SHOP_IN_GAME_CONNECTED:
        // An item bought or received since login would be sent to the opponent and then
        // fail to load on both devices: its data comes first.
        if (RequestMissingItemData())
            m_uGameReadyAfterItemData = 1;
        else if (pSession)
            pSession->SendGameReady();
        break;
    case CVornNetworkSession::SHOP_IN_GAME_REFRESH:
        FillInGameItems(iStart, aItems);
        RequestMissingItemData();
        break;
    default:
        if (pSession)
            pSession->SendGetAvailableShopItemDatas();
        m_uItemDataCheckPending = 1;
        break;
    }
}

void CVornMenuState::FillInGameItems(int, const CKorvelArray<CASN1ShopItems::sItemData>& aItems)
{
    for (int i = 0; i < aItems.GetCount(); ++i)
    {
        const CASN1ShopItems::sItemData& item = aItems[i];
        const int iKnown = m_ShopItems.Find(item.m_iItemId);
        if (iKnown >= 0)
            m_ShopItems.GetAt(iKnown).m_Second = item;
        else
            m_ShopItems.Add(item.m_iItemId, item);
        if (m_iPurchasedItemId != 0 && item.m_iItemId == m_iPurchasedItemId)
        {
            if (m_pGame)
                m_pGame->ItemPurchaseConfirmed(item.m_iItemId, item.m_iAmount);
            m_iPurchasedItemId = 0;
        }
    }
}

CKorvelArray<CVornApplication::sItemData>& CVornMenuState::GetItems()
{
    return m_Items;
}
