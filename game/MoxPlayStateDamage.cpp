// The own action and what hits do: the first events of a turn, the whip's strike along its
// path and the explosions of a player's shots. All of it is written as events during the
// recording, so both devices replay the same outcome.
#include <cmath>
#include <vector>

#include "Framework/Shell/VornApplication.h"
#include "game/MoxEvent.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
const float kWhipReach = 0.4f;
const int kWhipDamagePerReach = 26;
const int kWhipDamageMax = 25;
const float kWhipLowering = 0.15f;
const float kWhipKnockBack = -0.35f;
const float kExplosionForce = 0.12f;
const int kWeakestBlock = 65;
const float kPuffSize = 0.2f;

float Clamp01(float f)
{
    return f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f);
}
} // namespace

int CMoxPlayState::BlockDamage(int iMaterial)
{
    switch (iMaterial)
    {
    case BLOCK_MATERIAL_PAPER:
        return 160;
    case BLOCK_MATERIAL_ICE:
        return 240;
    case BLOCK_MATERIAL_BOUNCE:
        return 0;
    default:
        return 80;
    }
}

void CMoxPlayState::CreateAction()
{
    for (int i = 0; i < m_TurnRecord.GetCount(); ++i)
        delete m_TurnRecord[i];
    m_TurnRecord.Clear();
    m_bRecordOverflow = 0;
    m_fSimulatedTime = 0.0f;
    m_bActionTaken = 1;
    m_bSimulating = 1;
    if (!m_pLiveScene || m_iOwnPlayer < 0 || m_iOwnPlayer > 1)
        return;
    CPlayer& own = m_pLiveScene->m_Players[m_iOwnPlayer];
    const int iKind = own.m_iSelectedAction;
    if (iKind == ACTION_SNOW || iKind == ACTION_CLUSTER)
        UseSpecialWeapon();
    BackupScene();
    if (m_pGame)
        m_pGame->ResetTimeStamp();
    if (iKind < ACTION_JUMP || iKind > ACTION_CLUSTER)
        return;
    SyncPlayers();
    const int aShot[ACTION_COUNT] = {-1, PROJECTILE_FIRE, PROJECTILE_STICKY,
                                     -1, PROJECTILE_SNOW, PROJECTILE_CLUSTER};
    if (iKind == ACTION_JUMP)
        PlayerAddForce(m_iOwnPlayer, own.m_vAim, FORCE_JUMP);
    else if (iKind == ACTION_WHIP)
        FlompWhip(m_iOwnPlayer, own.m_vStretch);
    else
    {
        const int iSlot = ProjectileCreate(m_iOwnPlayer, aShot[iKind]);
        ProjectileAddForce(m_iOwnPlayer, own.m_vAim, iSlot);
    }
    SyncPhysics(1);
}

void CMoxPlayState::UseSpecialWeapon()
{
    if (!m_bSinglePlayer && m_pLiveScene && m_iOwnPlayer >= 0 && m_iOwnPlayer <= 1)
    {
        CPlayer& own = m_pLiveScene->m_Players[m_iOwnPlayer];
        const int iItem = own.m_iSelectedAction == ACTION_SNOW ? own.m_iSnowItemId : own.m_iClusterItemId;
        m_bSpecialUsed = 1;
        own.m_iSelectedAction = ACTION_FIRE;
        CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
        if (pApp)
            pApp->UseItem(iItem, 1);
    }
    InitControls(1);
}

void CMoxPlayState::FlompWhipDamage(int iPlayer, CKorvelVector2 vWhip)
{
    if (!m_pLiveScene || !m_pPhysics || !m_pRenderer || iPlayer < 0 || iPlayer > 1)
        return;
    CPlayer* aPlayers = m_pLiveScene->m_Players;
    CBody* pWhipper = aPlayers[iPlayer].m_pBody;
    if (!pWhipper)
        return;
    CKorvelVector2 vStart = pWhipper->m_vPosition;
    CKorvelVector2 vHalf(0.75f * pWhipper->m_vHalfSize.x, 0.75f * pWhipper->m_vHalfSize.y);
    CKorvelVector2 vPath = vWhip;
    m_pPhysics->FindBodiesOnPath(vStart, vHalf, vPath);
    std::vector<CBody*> aBodies;
    for (int i = 0; i < m_pPhysics->m_BodiesOnPath.GetCount(); ++i)
        aBodies.push_back(m_pPhysics->m_BodiesOnPath[i]);

    float fDamage = vWhip.Length() / kWhipReach * (float)kWhipDamagePerReach;
    if (fDamage > (float)kWhipDamageMax)
        fDamage = (float)kWhipDamageMax;
    const int iDamage = (int)fDamage;
    int aHealth[2] = {aPlayers[0].m_iHealth, aPlayers[1].m_iHealth};
    m_pLiveScene->FindUpperLowerBlocks();
    CCamera& camera = m_pRenderer->m_Camera;

    for (CBody* pBody : aBodies)
    {
        CBlock* pBlock =
            m_pLiveScene->m_pBlocks ? m_pLiveScene->m_pBlocks->GetBlockByID((int)pBody->m_uUser) : nullptr;
        if (pBlock && pBlock->m_pBody == pBody)
        {
            CKorvelVector2 vTarget(pBody->m_vPosition.x, pBody->m_vPosition.y - kWhipLowering);
            signed char x = 0, y = 0;
            camera.Snap(vTarget, x, y);
            const int iStrength = pBlock->m_iStrength - BlockDamage(pBlock->m_iMaterial);
            CKorvelVector2 vGrid;
            camera.UnSnap(x, y, &vGrid);
            if (vGrid.y + pBody->m_vHalfSize.y < 0.0f || iStrength < kWeakestBlock)
            {
                SceneDelete(pBlock->m_uID);
                m_pLiveScene->RemoveFromUpperLowerBlocks(pBlock->m_uID);
            }
            else
                SceneUpdate(pBlock->m_uID, x, y, vWhip, iStrength);
            continue;
        }
        for (int p = 0; p < 2; ++p)
        {
            if (p == iPlayer || aPlayers[p].m_pBody != pBody || iDamage <= 0)
                continue;
            aHealth[p] = aHealth[p] > iDamage ? aHealth[p] - iDamage : 0;
            PlayerDamage(p, iDamage, aHealth[p]);
            if (aHealth[p] == 0)
            {
                PlayerKill(p, 0);
                CreateEffectExplosion(pBody->m_vPosition, kPuffSize, 0, aPlayers[p].m_Color.Get8888(), 1);
            }
            else
            {
                vWhip.Scale(kWhipKnockBack);
                PlayerAddForce(p, vWhip, FORCE_KNOCK);
            }
        }
    }
    PlayerCrushTest();
}

void CMoxPlayState::ProjectileExplodeAll(int iPlayer)
{
    if (!m_pLiveScene || !m_pPhysics || !m_pRenderer || iPlayer < 0 || iPlayer > 1)
        return;
    SyncPlayers();
    m_pLiveScene->FindUpperLowerBlocks();
    CPlayer* aPlayers = m_pLiveScene->m_Players;
    int aHealth[2] = {aPlayers[0].m_iHealth, aPlayers[1].m_iHealth};
    CCamera& camera = m_pRenderer->m_Camera;

    for (int s = 0; s < PLAYER_PROJECTILES; ++s)
    {
        const Projectile* pShot = aPlayers[iPlayer].GetProjectile(s);
        if (!pShot || !pShot->m_pBody)
            continue;
        const float fWeight = pShot->m_eType == PROJECTILE_STICKY ? 2.0f : 1.0f;
        const float fRadius = pShot->m_fRadius;
        CKorvelVector2 vCentre = pShot->m_pBody->m_vPosition;
        m_pPhysics->FindClosestBodies(vCentre, fRadius);
        std::vector<sCLOSESTBODY> aFound;
        for (int i = 0; i < m_pPhysics->m_ClosestBodies.GetCount(); ++i)
            aFound.push_back(*m_pPhysics->m_ClosestBodies[i]);

        for (const sCLOSESTBODY& found : aFound)
        {
            CBody* pBody = found.m_pBody;
            if (pBody->m_uType != BODY_STATIC)
                continue;
            CBlock* pBlock = m_pLiveScene->m_pBlocks
                                 ? m_pLiveScene->m_pBlocks->GetBlockByID((int)pBody->m_uUser)
                                 : nullptr;
            if (!pBlock || pBlock->m_pBody != pBody)
                continue;
            const float fShare = Clamp01((fRadius - found.m_fDistance) / fRadius);
            CKorvelVector2 vPosition = pBody->m_vPosition;
            CKorvelVector2 vLowered(vPosition.x, vPosition.y - fShare * fRadius * 0.5f * fWeight);
            signed char ax = 0, ay = 0, bx = 0, by = 0;
            camera.Snap(vPosition, ax, ay);
            camera.Snap(vLowered, bx, by);
            CKorvelVector2 vPush = found.m_vDirection;
            vPush.Normalize();
            vPush.Scale(2.0f * fShare);
            if (pShot->m_eType == PROJECTILE_SNOW)
            {
                SceneChange(pBlock->m_uID, 255, BLOCK_MATERIAL_ICE, 0, 0.75f, 0.15f, vPush,
                            -2.0f * (1.0f - fShare));
                continue;
            }
            if (pShot->m_eType == PROJECTILE_CLUSTER)
                by = ay;
            else if (by == ay)
                continue;
            const int iStrength = pBlock->m_iStrength - BlockDamage(pBlock->m_iMaterial);
            CKorvelVector2 vGrid;
            camera.UnSnap(bx, by, &vGrid);
            if (vGrid.y + pBody->m_vHalfSize.y < 0.0f || iStrength < kWeakestBlock)
            {
                SceneDelete(pBlock->m_uID);
                m_pLiveScene->RemoveFromUpperLowerBlocks(pBlock->m_uID);
            }
            else
                SceneUpdate(pBlock->m_uID, bx, by, vPush, iStrength);
        }

        for (const sCLOSESTBODY& found : aFound)
        {
            CBody* pBody = found.m_pBody;
            if (pBody->m_uType != BODY_DYNAMIC)
                continue;
            CKorvelVector2 vBetween;
            vBetween.Sub(pBody->m_vPosition, pShot->m_pBody->m_vPosition);
            const float fCentres = vBetween.Length();
            const float d = fCentres < pBody->m_vHalfSize.x + pShot->m_pBody->m_vHalfSize.x
                                ? fCentres
                                : found.m_fDistance;
            const float fShare = Clamp01((fRadius - d) / fRadius);
            CKorvelVector2 vForce = found.m_vDirection;
            vForce.Normalize();
            vForce.Scale(-fShare * kExplosionForce);
            for (int p = 0; p < 2; ++p)
            {
                if (aPlayers[p].m_pBody != pBody)
                    continue;
                PlayerAddForce(p, vForce, FORCE_KNOCK);
                const int iDamage = (int)(fShare * pShot->m_fDamage);
                if (iDamage <= 0)
                    continue;
                aHealth[p] = aHealth[p] > iDamage ? aHealth[p] - iDamage : 0;
                PlayerDamage(p, iDamage, aHealth[p]);
                if (aHealth[p] == 0)
                {
                    PlayerKill(p, 0);
                    CreateEffectExplosion(pBody->m_vPosition, kPuffSize, 0, aPlayers[p].m_Color.Get8888(), 1);
                }
            }
        }
    }
    PlayerCrushTest();
}
