// The handlers that change the world: the physics, the players' bodies and health, the
// projectiles, the blocks and the explosions. Indices and numbers read from an event are
// checked before use; the bytes may come from the other device.
#include <climits>
#include <cmath>

#include "game/MoxEvent.h"
#include "game/MoxParticles.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "game/StateGame.h"

namespace
{
bool IsPlayer(int i)
{
    return i == 0 || i == 1;
}

int ReadI8(const CMoxEvent* pEvent, int iOffset)
{
    return (signed char)pEvent->m_pPayload[iOffset];
}

// A vector of two finite floats from the event, else false.
bool ReadVector(const CMoxEvent* pEvent, int iOffsetX, int iOffsetY, CKorvelVector2& v)
{
    v.x = MoxGetF32(pEvent->m_pPayload, iOffsetX);
    v.y = MoxGetF32(pEvent->m_pPayload, iOffsetY);
    return std::isfinite(v.x) && std::isfinite(v.y);
}

void Wake(CBody* pBody)
{
    pBody->m_uAsleep = 0;
    pBody->m_fRestTime = 0.0f;
}

// Velocity 0, then the force over the body's mass.
void Push(CBody* pBody, const CKorvelVector2& vForce)
{
    pBody->m_vVelocity.Set(0.0f, 0.0f);
    if (pBody->m_fMass > 0.0f)
    {
        pBody->m_vVelocity.x += vForce.x / pBody->m_fMass;
        pBody->m_vVelocity.y += vForce.y / pBody->m_fMass;
    }
    Wake(pBody);
}

// The first free entry of the damage numbers takes the value; none when all are shown.
void ShowNumber(CPlayer& player, int iValue)
{
    for (int& iEntry : player.m_iDamage)
        if (iEntry == 0)
        {
            iEntry = iValue;
            return;
        }
}
} // namespace

void CMoxPlayState::EventPhysicsState(CMoxEvent* pEvent)
{
    SetRunPhysics(MoxGetI32(pEvent->m_pPayload, MoxField::PHYSICS_RUNNING) != 0);
}

void CMoxPlayState::EventPlayerDead(CMoxEvent* pEvent)
{
    const int iPlayer = pEvent->m_pPayload[MoxField::DEAD_PLAYER];
    if (!IsPlayer(iPlayer) || !m_pLiveScene)
        return;
    CPlayer& player = m_pLiveScene->m_Players[iPlayer];
    const int iHealth = player.m_iHealth;
    player.m_bAlive = 0;
    player.m_iHealth = 0;
    if (player.m_pBody)
        player.m_pBody->m_uCollisionMask = 0;
    if (ReadI8(pEvent, MoxField::DEAD_CAUSE) == 2)
    {
        player.m_bShowInfo = 1;
        player.m_fInfoRise = 0.0f;
        ShowNumber(player, iHealth);
        if (player.m_pBody)
            player.m_vInfoAnchor = player.m_pBody->m_vPosition;
    }
}

void CMoxPlayState::EventSyncPlayers(CMoxEvent* pEvent)
{
    if (!m_pLiveScene)
        return;
    const int aX[2] = {MoxField::SYNC_X0, MoxField::SYNC_X1};
    const int aY[2] = {MoxField::SYNC_Y0, MoxField::SYNC_Y1};
    for (int p = 0; p < 2; ++p)
    {
        CBody* pBody = m_pLiveScene->m_Players[p].m_pBody;
        CKorvelVector2 v;
        if (!pBody || !ReadVector(pEvent, aX[p], aY[p], v))
            continue;
        pBody->m_vPosition = v;
        pBody->m_vVelocity.Set(0.0f, 0.0f);
    }
    SetRunPhysics(0);
}

void CMoxPlayState::EventPlayerAddForce(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::FORCE_PLAYER);
    CKorvelVector2 vForce;
    if (!IsPlayer(iPlayer) || !m_pLiveScene ||
        !ReadVector(pEvent, MoxField::FORCE_X, MoxField::FORCE_Y, vForce))
        return;
    CBody* pBody = m_pLiveScene->m_Players[iPlayer].m_pBody;
    if (!pBody)
        return;
    Push(pBody, vForce);
    if (m_pRenderer)
    {
        if (pEvent->m_pPayload[MoxField::FORCE_KIND])
            m_pRenderer->m_Camera.SetTargetMoveables(m_pPhysics);
        else
            m_pRenderer->m_Camera.SetTargetBody(pBody);
    }
    if (m_pGame)
        m_pGame->PlayGameSound(SOUND_JUMP, 0, 0);
    m_pLiveScene->m_Players[0].m_bFellIntoWater = m_pLiveScene->m_Players[1].m_bFellIntoWater = 0;
    if (iPlayer == m_iOpponent)
        m_bOpponentActed = 1;
    if (m_pPhysics)
        m_pPhysics->SetTraceBody(pBody);
}

void CMoxPlayState::EventPlayerDamage(CMoxEvent* pEvent)
{
    const int iPlayer = pEvent->m_pPayload[MoxField::DAMAGE_PLAYER];
    if (!IsPlayer(iPlayer) || !m_pLiveScene)
        return;
    CPlayer& player = m_pLiveScene->m_Players[iPlayer];
    const int iDamage = MoxGetI32(pEvent->m_pPayload, MoxField::DAMAGE_AMOUNT);
    const int iHealth = player.m_iHealth;
    player.m_fInfoRise = 0.0f;
    player.m_bShowInfo = 1;
    // Kept within the int range whatever the other device sends.
    const long long llLeft = (long long)iHealth - iDamage;
    player.m_iHealth = (int)(llLeft < INT_MIN ? INT_MIN : (llLeft > INT_MAX ? INT_MAX : llLeft));
    ShowNumber(player, iDamage > iHealth ? iHealth : iDamage);
    if (player.m_pBody)
        player.m_vInfoAnchor = player.m_pBody->m_vPosition;
}

void CMoxPlayState::EventFlompWhip(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::WHIP_PLAYER);
    CKorvelVector2 vWhip;
    if (!IsPlayer(iPlayer) || !m_pLiveScene || !ReadVector(pEvent, MoxField::WHIP_X, MoxField::WHIP_Y, vWhip))
        return;
    for (CPlayer& player : m_pLiveScene->m_Players)
        if (player.m_pBody)
            player.m_pBody->m_uAsleep = 0;
    CPlayer& player = m_pLiveScene->m_Players[iPlayer];
    player.m_bWhipActive = 1;
    player.m_bStretching = 1;
    player.m_vStretchRelease = vWhip;
    player.m_vStretch.Set(0.0f, 0.0f);
    player.m_fWhipAngle = 0.0f;
    player.m_bWhipDamageDone = 0;
    if (iPlayer == m_iOpponent)
        m_bOpponentActed = 1;
    if (m_pGame)
        m_pGame->PlayGameSound(SOUND_WHIP, 0, 0);
}

void CMoxPlayState::EventProjectileCreate(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::CREATE_PLAYER);
    const int iType = pEvent->m_pPayload[MoxField::CREATE_TYPE];
    const int iSlot = ReadI8(pEvent, MoxField::CREATE_SLOT);
    if (!IsPlayer(iPlayer) || iSlot < 0 || iSlot >= PLAYER_PROJECTILES || !m_pLiveScene)
        return;
    Projectile* pProjectile = nullptr;
    if (iType <= PROJECTILE_SNOW)
        pProjectile = m_pLiveScene->CreateProjectile(iPlayer, (PROJECTILE_TYPE)iType, iSlot);
    if (pProjectile)
    {
        if (m_pRenderer)
            m_pRenderer->m_Camera.SetTargetMoveables(m_pPhysics);
        if (iPlayer == m_iOpponent)
            m_bOpponentActed = 1;
    }
    else if (m_pRenderer)
        m_pRenderer->m_Camera.ClearTarget();
}

void CMoxPlayState::EventProjectilePosition(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::POSITION_PLAYER);
    CKorvelVector2 v;
    if (!IsPlayer(iPlayer) || !m_pLiveScene ||
        !ReadVector(pEvent, MoxField::POSITION_X, MoxField::POSITION_Y, v))
        return;
    Projectile* pProjectile =
        m_pLiveScene->m_Players[iPlayer].GetProjectile(ReadI8(pEvent, MoxField::POSITION_SLOT));
    if (!pProjectile || !pProjectile->m_pBody)
        return;
    pProjectile->m_pBody->m_vVelocity.Set(0.0f, 0.0f);
    pProjectile->m_pBody->m_vPosition = v;
}

void CMoxPlayState::EventProjectileAddForce(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::SHOT_PLAYER);
    CKorvelVector2 vForce;
    if (!IsPlayer(iPlayer) || !m_pLiveScene ||
        !ReadVector(pEvent, MoxField::SHOT_X, MoxField::SHOT_Y, vForce))
        return;
    Projectile* pProjectile =
        m_pLiveScene->m_Players[iPlayer].GetProjectile(ReadI8(pEvent, MoxField::SHOT_SLOT));
    if (!pProjectile || !pProjectile->m_pBody)
        return;
    Push(pProjectile->m_pBody, vForce);
    if (m_pGame)
        m_pGame->PlayGameSound(SOUND_LAUNCH, 0, 0);
    m_pLiveScene->m_Players[0].m_bFellIntoWater = m_pLiveScene->m_Players[1].m_bFellIntoWater = 0;
    if (iPlayer == m_iOpponent)
        m_bOpponentActed = 1;
}

void CMoxPlayState::EventProjectileDelete(CMoxEvent* pEvent)
{
    const int iPlayer = ReadI8(pEvent, MoxField::DELETE_PLAYER);
    const int iSlot = ReadI8(pEvent, MoxField::DELETE_SLOT);
    for (CMoxScene* pScene : {m_pLiveScene, m_pBackupScene})
        if (pScene)
            pScene->DeleteProjectile(iPlayer, iSlot);
}

void CMoxPlayState::EventSceneUpdate(CMoxEvent* pEvent)
{
    CBlock* pBlock = m_pLiveScene && m_pLiveScene->m_pBlocks
                         ? m_pLiveScene->m_pBlocks->GetBlockByID(pEvent->m_pPayload[MoxField::UPDATE_BLOCK])
                         : nullptr;
    CKorvelVector2 vImpulse;
    if (!pBlock || !pBlock->m_pBody || !m_pRenderer ||
        !ReadVector(pEvent, MoxField::UPDATE_IMPULSE_X, MoxField::UPDATE_IMPULSE_Y, vImpulse))
        return;
    CBody* pBody = pBlock->m_pBody;
    pBlock->m_iStrength = MoxGetI32(pEvent->m_pPayload, MoxField::UPDATE_STRENGTH);
    CKorvelVector2 vNew;
    m_pRenderer->m_Camera.UnSnap((signed char)pEvent->m_pPayload[MoxField::UPDATE_GRID_X],
                                 (signed char)pEvent->m_pPayload[MoxField::UPDATE_GRID_Y], &vNew);
    pBody->m_vMovedBy.Sub(vNew, pBody->m_vPosition);
    pBody->m_vPosition = vNew;
    pBody->m_vImpact.x += vImpulse.x;
    pBody->m_vImpact.y += vImpulse.y;
    m_pLiveScene->m_Players[0].m_bFellIntoWater = m_pLiveScene->m_Players[1].m_bFellIntoWater = 0;
}

void CMoxPlayState::EventSceneDelete(CMoxEvent* pEvent)
{
    const int iBlock = pEvent->m_pPayload[MoxField::REMOVE_BLOCK];
    CBlock* pBlock =
        m_pLiveScene && m_pLiveScene->m_pBlocks ? m_pLiveScene->m_pBlocks->GetBlockByID(iBlock) : nullptr;
    if (!pBlock)
        return;
    if (const CBody* pBody = pBlock->m_pBody)
        CreateEffectExplosion(pBody->m_vPosition, (pBody->m_vHalfSize.x + pBody->m_vHalfSize.y) / 2.0f, 0,
                              0xFF808080u, 0);
    m_pLiveScene->m_pBlocks->DeleteBlock(iBlock);
}

void CMoxPlayState::EventSceneTurnPack(CMoxEvent* pEvent)
{
    if (m_ePlayState != PLAYSTATE_OPPONENT_TURN)
        return;
    m_bTurnPackReceived = 1;
    if (m_pGame)
        m_pGame->ResetTimeStamp();
    SetRunPhysics(1);
    UnpackTurnEvents(pEvent);
}

void CMoxPlayState::EventSceneChange(CMoxEvent* pEvent)
{
    const unsigned char* p = pEvent->m_pPayload;
    CBlock* pBlock = m_pLiveScene && m_pLiveScene->m_pBlocks
                         ? m_pLiveScene->m_pBlocks->GetBlockByID(p[MoxField::CHANGE_BLOCK])
                         : nullptr;
    CKorvelVector2 vImpulse;
    const float fTime = MoxGetF32(p, MoxField::CHANGE_TIME);
    const float fFriction = MoxGetF32(p, MoxField::CHANGE_FRICTION);
    const float fBounce = MoxGetF32(p, MoxField::CHANGE_BOUNCE);
    if (!pBlock || !ReadVector(pEvent, MoxField::CHANGE_IMPULSE_X, MoxField::CHANGE_IMPULSE_Y, vImpulse) ||
        !std::isfinite(fTime) || !std::isfinite(fFriction) || !std::isfinite(fBounce))
        return;
    pBlock->m_bEffectRunning = 1;
    pBlock->m_fEffectTime = fTime;
    pBlock->m_uSavedVariant = p[MoxField::CHANGE_VARIANT];
    pBlock->m_uSavedMaterial = p[MoxField::CHANGE_MATERIAL];
    pBlock->m_iSavedStrength = MoxGetI32(p, MoxField::CHANGE_STRENGTH);
    pBlock->m_fSavedFriction = fFriction;
    pBlock->m_fSavedBounce = fBounce;
    if (pBlock->m_pBody)
    {
        pBlock->m_pBody->m_vImpact.x += vImpulse.x;
        pBlock->m_pBody->m_vImpact.y += vImpulse.y;
    }
    m_pLiveScene->m_Players[0].m_bFellIntoWater = m_pLiveScene->m_Players[1].m_bFellIntoWater = 0;
}

void CMoxPlayState::EventEffectExplosion(CMoxEvent* pEvent)
{
    CKorvelVector2 v;
    const float fSize = MoxGetF32(pEvent->m_pPayload, MoxField::EXPLOSION_SIZE);
    if (!ReadVector(pEvent, MoxField::EXPLOSION_X, MoxField::EXPLOSION_Y, v) || !std::isfinite(fSize))
        return;
    if (m_pExplosions)
        m_pExplosions->Create(v, fSize, ReadI8(pEvent, MoxField::EXPLOSION_KIND),
                              (unsigned int)MoxGetI32(pEvent->m_pPayload, MoxField::EXPLOSION_COLOUR));
    if (m_pGame)
        m_pGame->PlayGameSound(SOUND_EXPLOSION, 0, 0);
}
