// The scene's players and projectiles: creation, the per-step work and the blocks in
// each player's column.
#include <new>

#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"

namespace
{
const unsigned int kPlayerMask[2] = {PLAYER0_MASK, PLAYER1_MASK};
const float kPlayerStartX[2] = {-0.1f, 0.1f};

bool IsThrowerMask(unsigned int uMask)
{
    return uMask == PROJECTILE_MASK_PLAYER0 || uMask == PROJECTILE_MASK_PLAYER1;
}

bool IsFragmentMask(unsigned int uMask)
{
    return uMask == 0x100 || uMask == 0x1000 || uMask == 0x10000;
}

// A dynamic body of group 1.
void DynamicDesc(BodyDesc& desc, float fY, float fHalf, float fMass, float fBounce)
{
    desc.m_vPosition.Set(0.0f, fY);
    desc.m_vHalfSize.Set(fHalf, fHalf);
    desc.m_uType = BODY_DYNAMIC;
    desc.m_uGroup = 1;
    desc.m_fDescValue = 0.0f;
    desc.m_fMass = fMass;
    desc.m_fBounce = fBounce;
    desc.m_fFriction = 0.5f;
}

void RemoveValue(CKorvelArray<int>& aValues, int iValue)
{
    int iKept = 0;
    for (int i = 0; i < aValues.GetCount(); ++i)
        if (aValues[i] != iValue)
            aValues[iKept++] = aValues[i];
    aValues.SetSize(iKept);
}
} // namespace

void CMoxScene::CreatePlayers()
{
    for (int i = 0; i < 2; ++i)
    {
        CPlayer& player = m_Players[i];
        DynamicDesc(player.m_BodyDesc, 0.1f, 0.05f, 20.0f, 0.05f);
        player.m_pBody = m_pPhysics ? m_pPhysics->CreateBody(player.m_BodyDesc) : nullptr;
        player.m_iIndex = (unsigned char)i;
        player.m_bAlive = 1;
        player.m_iHealth = 100;
        player.m_bWhipActive = 0;
        player.m_Color = m_PlayerColor[i];
        // Their bodies went with the physics world's clearing; the records go here.
        for (Projectile*& pProjectile : player.m_pProjectiles)
        {
            delete pProjectile;
            pProjectile = nullptr;
        }
        player.m_vStretchBase.Set(0.2f, 0.2f);
        player.m_vStretchPad = player.m_vStretchBase;
    }
    for (int i = 0; i < 2; ++i)
    {
        CBody* pBody = m_Players[i].m_pBody;
        if (pBody)
        {
            pBody->m_vPosition.Set(kPlayerStartX[i], 0.1f);
            pBody->m_uCollisionMask = kPlayerMask[i];
            pBody->m_uUser = (unsigned int)i;
        }
        m_Players[i].SetViewTarget(m_Players[1 - i].m_pBody);
    }
    if (m_pRenderer)
        m_pRenderer->m_Camera.ClearTarget();
}

Projectile* CMoxScene::CreateProjectile(int iPlayer, PROJECTILE_TYPE eType, int iSlot)
{
    if (iPlayer < 0 || iPlayer > 1 || iSlot < 0 || iSlot >= PLAYER_PROJECTILES || !m_pPhysics)
        return nullptr;
    // An occupant would otherwise stay in the world as a body nobody owns.
    DeleteProjectile(iPlayer, iSlot);
    CPlayer& player = m_Players[iPlayer];
    Projectile* pProjectile = new (std::nothrow) Projectile;
    if (!pProjectile)
        return nullptr;
    pProjectile->m_eType = eType;
    pProjectile->m_uOwner = PLAYER_PROJECTILE_ID[iPlayer];
    pProjectile->m_bFellIntoWater = 0;
    pProjectile->m_fRadius = eType == PROJECTILE_SNOW ? 0.6f : 0.3f;
    pProjectile->m_fDamage = eType == PROJECTILE_FIRE ? 60.0f : 30.0f;
    pProjectile->m_iValue = 0;
    pProjectile->m_iTarget = -1;

    BodyDesc desc;
    DynamicDesc(desc, 1000.0f, 0.025f, 15.0f, 0.2f);
    CBody* pBody = m_pPhysics->CreateBody(desc);
    if (!pBody)
    {
        delete pProjectile;
        return nullptr;
    }
    pProjectile->m_pBody = pBody;
    pBody->m_vVelocity.Set(0.0f, 0.0f);
    if (player.m_pBody)
        pBody->m_vPosition = player.m_pBody->m_vPosition;
    pBody->m_pOwner = pProjectile;
    pBody->m_uUser = pProjectile->m_uOwner;
    if (eType == PROJECTILE_FRAGMENT)
        pBody->m_uCollisionMask = 0x100u << (4 * (iSlot % 3));
    else
        pBody->m_uCollisionMask = iPlayer == 0 ? PROJECTILE_MASK_PLAYER0 : PROJECTILE_MASK_PLAYER1;
    player.m_pProjectiles[iSlot] = pProjectile;
    m_pPhysics->SetTraceBody(pBody);
    return pProjectile;
}

void CMoxScene::DeleteProjectile(int iPlayer, int iSlot)
{
    if (iPlayer < 0 || iPlayer > 1)
        return;
    Projectile* pProjectile = m_Players[iPlayer].GetProjectile(iSlot);
    if (!pProjectile)
        return;
    if (m_pPhysics && pProjectile->m_pBody)
        m_pPhysics->DeleteBody(pProjectile->m_pBody);
    delete pProjectile;
    m_Players[iPlayer].m_pProjectiles[iSlot] = nullptr;
}

void CMoxScene::HandleProjectiles()
{
    m_Players[0].SetViewTarget(m_Players[1].m_pBody);
    m_Players[1].SetViewTarget(m_Players[0].m_pBody);
    for (CPlayer& player : m_Players)
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        {
            Projectile* pProjectile = player.m_pProjectiles[s];
            if (!pProjectile || !pProjectile->m_pBody)
                continue;
            CBody* pBody = pProjectile->m_pBody;
            if (IsThrowerMask(pBody->m_uCollisionMask) &&
                (!player.m_pBody || !CMoxPhysics::Intersect(pBody, player.m_pBody)))
                pBody->m_uCollisionMask = PROJECTILE_MASK_FREE;
            m_Players[0].SetViewTarget(pBody);
            m_Players[1].SetViewTarget(pBody);
            if (IsFragmentMask(pBody->m_uCollisionMask))
            {
                bool bTouches = false;
                for (int o = 0; o < PLAYER_PROJECTILES && !bTouches; ++o)
                {
                    Projectile* pOther = player.m_pProjectiles[o];
                    bTouches =
                        o != s && pOther && pOther->m_pBody && CMoxPhysics::Intersect(pBody, pOther->m_pBody);
                }
                if (!bTouches)
                    pBody->m_uCollisionMask = PROJECTILE_MASK_FREE;
            }
        }
    m_Players[0].UpdateViewAngle();
    m_Players[1].UpdateViewAngle();
}

void CMoxScene::HandlePlayers(float fSeconds)
{
    const float fPad = (m_pRenderer ? m_pRenderer->m_Camera.m_vScreenSize.x : 0.0f) / 20.0f;
    for (CPlayer& player : m_Players)
    {
        bool bClearDamage = !player.m_bShowInfo;
        if (player.m_bShowInfo)
        {
            player.m_fInfoRise += 0.0025f;
            if (player.m_fInfoRise > 0.3f)
            {
                player.m_fInfoRise = 0.3001f;
                player.m_bShowInfo = 0;
                bClearDamage = true;
            }
        }
        if (bClearDamage)
            for (int& iDamage : player.m_iDamage)
                iDamage = 0;
        if (player.m_bWhipActive)
        {
            if (player.m_pBody)
            {
                player.m_pBody->m_uAsleep = 0;
                player.m_pBody->m_fRestTime = 0.0f;
            }
            player.m_bStretching = 1;
            player.m_fWhipAngle += fSeconds * 12.0f;
            const float s = CKorvelMath::Sin(player.m_fWhipAngle);
            float fFactor = -s;
            if (s < 0.0f)
            {
                player.m_bWhipActive = 0;
                player.m_bStretching = 0;
                fFactor = -0.0f;
            }
            player.m_vStretch = player.m_vStretchRelease;
            player.m_vStretch.Scale(fFactor);
        }
        player.m_vStretchPad.Set(fPad, fPad);
    }
}

void CMoxScene::FindUpperLowerBlocks()
{
    const float fMargin = m_pPhysics ? m_pPhysics->m_fMargin : 0.0f;
    const float fGrid = (m_pRenderer ? m_pRenderer->m_Camera : m_GridCamera).m_fGridSize;
    for (CPlayer& player : m_Players)
    {
        player.m_UpperBlocks.RemoveAll();
        player.m_LowerBlocks.RemoveAll();
        CBody* pBody = player.m_pBody;
        if (!pBody || !m_pBlocks)
            continue;
        const CKorvelVector2& c = pBody->m_vPosition;
        const float fHalfWidth = pBody->m_vHalfSize.x - 2.0f * fMargin;
        const float fHalfHeight = 2.0f * fGrid;
        CMoxBox search;
        search.left = c.x - fHalfWidth;
        search.right = c.x + fHalfWidth;
        search.bottom = c.y - fHalfHeight;
        search.top = c.y + fHalfHeight;
        for (int i = 0; i < m_pBlocks->GetCount(); ++i)
        {
            CBlock* pBlock = m_pBlocks->GetAt(i);
            CBody* pBlockBody = pBlock->m_pBody;
            if (!pBlockBody)
                continue;
            pBlockBody->UpdateBox();
            if (!CMoxPhysics::Intersect(pBlockBody->m_Box, search))
                continue;
            const float fY = pBlockBody->m_vPosition.y;
            if (fY > c.y + pBody->m_vHalfSize.y)
                player.m_UpperBlocks.Add(pBlock->m_uID);
            else if (fY < c.y)
                player.m_LowerBlocks.Add(pBlock->m_uID);
        }
    }
}

void CMoxScene::RemoveFromUpperLowerBlocks(int iID)
{
    if (!m_pBlocks || !m_pBlocks->GetBlockByID(iID))
        return;
    for (CPlayer& player : m_Players)
    {
        RemoveValue(player.m_UpperBlocks, iID);
        RemoveValue(player.m_LowerBlocks, iID);
    }
}
