// The players' virtual items on the match screen: hats, bombs and the own battleground,
// loaded from the item's pack and given back with the screen.
#include "Framework/Shell/VornApplication.h"
#include "game/MoxPlayState.h"
#include "game/MoxScene.h"
#include "game/MoxVirtualItem.h"
#include "game/StateGame.h"

namespace
{
// No hat worn: before the round starts the health is the start health again.
void TakeOffHat(CPlayer& player, bool bStarted)
{
    player.m_pItemSurface = nullptr;
    player.m_iItemVariable = player.m_iItemId = player.m_iItemDescription = player.m_iItemFile = 0;
    player.m_bShowItem = 0;
    if (!bStarted)
        player.m_iHealth = PLAYER_START_HEALTH;
}
} // namespace

int CMoxPlayState::LoadVirtualItem(int iPlayer, int iItemId, int iDescriptionNumber, int iFileNumber)
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (iItemId < 0 || !pApp || !m_pLiveScene || iPlayer < 0 || iPlayer > 1)
        return 0;
    sMoxItemDescription item;
    if (!MoxReadItemDescription(*pApp, iFileNumber, iDescriptionNumber, item))
        return 0;
    CPlayer& player = m_pLiveScene->m_Players[iPlayer];
    // A picture that does not load (a damaged or missing pack) makes the item one this
    // device cannot load: the other device then plays without it too, health and all.
    int iLoaded = 1;
    switch (item.eType)
    {
    case MOX_ITEM_HAT:
        pApp->ReleaseSurface(player.m_pItemSurface);
        player.m_pItemSurface = pApp->GetSurface(item.strFile);
        if (player.m_pItemSurface)
        {
            player.m_iItemVariable = item.iVariable;
            player.m_iItemId = iItemId;
            player.m_iItemDescription = iDescriptionNumber;
            player.m_iItemFile = iFileNumber;
            player.m_bShowItem = 1;
            if (!m_bStarted)
                player.m_iHealth = PLAYER_START_HEALTH + item.iVariable;
        }
        else
        {
            // The hat worn before was given back: none is worn, as on the other device
            // once it drops this one.
            TakeOffHat(player, m_bStarted != 0);
            iLoaded = 0;
        }
        break;
    case MOX_ITEM_CLUSTER:
        player.m_iClusterItemId = iItemId;
        player.m_bHasCluster = 1;
        break;
    case MOX_ITEM_SNOW:
        player.m_iSnowItemId = iItemId;
        player.m_bHasSnow = 1;
        break;
    case MOX_ITEM_BATTLEGROUND:
    {
        if (iPlayer != m_iOwnPlayer)
            break;
        CKorvelSurface** apTextures = m_pGame->GetContext().psrfGameTextures;
        CKorvelSurface*& pBattle = apTextures[TEXTURE_BACKGROUND_BATTLE];
        CKorvelSurface*& pUnique = apTextures[TEXTURE_BACKGROUND_UNIQUE];
        pApp->ReleaseSurface(pBattle);
        pApp->ReleaseSurface(pUnique);
        pBattle = pApp->GetSurface(item.strBattleFile);
        pUnique = pApp->GetSurface(item.strUniqueFile);
        player.m_bHasBattleground = pBattle && pUnique ? 1 : 0;
        if (player.m_bHasBattleground)
        {
            player.m_iBattlegroundId = iItemId;
            player.m_iBattlegroundDescription = iDescriptionNumber;
            player.m_iBattlegroundFile = iFileNumber;
        }
        else
        {
            // Half a battleground would mix with the default pictures: both or neither.
            pApp->ReleaseSurface(pBattle);
            pApp->ReleaseSurface(pUnique);
            iLoaded = 0;
        }
        break;
    }
    case MOX_ITEM_NONE:
        break;
    }
    if (m_bSinglePlayer)
        InitControls(1);
    return iLoaded;
}

void CMoxPlayState::DropVirtualItem(int iPlayer, int iItemId)
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!m_pLiveScene || iPlayer < 0 || iPlayer > 1)
        return;
    CPlayer& player = m_pLiveScene->m_Players[iPlayer];
    if (player.m_bShowItem && player.m_iItemId == iItemId)
    {
        if (pApp)
            pApp->ReleaseSurface(player.m_pItemSurface);
        TakeOffHat(player, m_bStarted != 0);
    }
    if (player.m_bHasCluster && player.m_iClusterItemId == iItemId)
    {
        player.m_bHasCluster = 0;
        player.m_iClusterItemId = 0;
    }
    if (player.m_bHasSnow && player.m_iSnowItemId == iItemId)
    {
        player.m_bHasSnow = 0;
        player.m_iSnowItemId = 0;
    }
}

void CMoxPlayState::RestoreVirtualItems()
{
    if (!m_pLiveScene)
        return;
    for (int i = 0; i < 2; ++i)
    {
        // Copies: a load rewrites the fields it is given.
        const CPlayer& player = m_pLiveScene->m_Players[i];
        const int iHat[3] = {player.m_iItemId, player.m_iItemDescription, player.m_iItemFile};
        const int iGround[3] = {player.m_iBattlegroundId, player.m_iBattlegroundDescription,
                                player.m_iBattlegroundFile};
        const bool bGround = i == m_iOwnPlayer && player.m_bHasBattleground;
        if (iHat[0] > 0)
            LoadVirtualItem(i, iHat[0], iHat[1], iHat[2]);
        if (bGround)
            LoadVirtualItem(i, iGround[0], iGround[1], iGround[2]);
    }
}

void CMoxPlayState::ReleaseVirtuaIItems()
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pApp || !m_pLiveScene)
        return;
    for (CPlayer& player : m_pLiveScene->m_Players)
        pApp->ReleaseSurface(player.m_pItemSurface);
}
