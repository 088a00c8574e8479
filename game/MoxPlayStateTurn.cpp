// A turn from its start to its end: the settle of a recorded action (whip strikes, the
// water, the shots' explosions, the final synchronisation), the water watch outside the
// recording, crushing between blocks and the sounds and sticking of collisions.
#include "game/MoxEvent.h"
#include "game/MoxParticles.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "game/StateGame.h"

namespace
{
const float kBounceStrength = 0.0005f;
const float kFragmentForce = 0.15f;
const unsigned int kStickyColour = 0xFF00FF00u;
const float kPuffSize = 0.2f;

bool InWater(const CBody* pBody)
{
    return pBody->m_vPosition.y + 2.0f * pBody->m_vHalfSize.y < 0.0f;
}
} // namespace

void CMoxPlayState::StartTurn()
{
    m_fAlertDecay = 0.1f;
    m_fAlertScale = m_fAlertSpeed = 0.0f;
    m_bEndRoundSent = m_bTimedOut = 0;
    m_bReleasePending = m_bAiming = 0;
    m_bTurnEnded = 0;
    m_bActionTaken = m_bProjectilesAsleep = m_bExplosionsDone = m_bQueueEmpty = 0;
    m_bSettledSynced = m_bWaterTiming = m_bEndTurnSent = 0;
    for (unsigned int& bFired : m_bAlertFired)
        bFired = 0;
    m_bTurnPackReady = m_bOpponentPlaybackDone = 0;
    m_fTurnElapsed = 0.0f;
    m_fTurnStart = m_fNow = GetNow();
}

void CMoxPlayState::HandleTurn()
{
    if (m_bSimulating)
    {
        CheckForTurnEnd();
        return;
    }
    const bool bOpponentDone = m_bOpponentPlaybackDone || (m_bSinglePlayer && m_bOwnPlaybackDone);
    if (!m_bOwnPlaybackDone || !bOpponentDone || !m_bTurnPackReady)
        return;
    if (!CheckForRoundEnd())
    {
        if (!m_bEndTurnSent && !(m_pLocalEvents && m_pLocalEvents->HasNextEvent()))
            EndTurn();
    }
    else if (!m_bEndRoundSent)
        EndRound();
}

int CMoxPlayState::CheckForTurnEnd()
{
    if (m_bTurnEnded)
        return 1;
    if (!m_bActionTaken)
        return 0;
    if (!m_bSimulating)
    {
        const bool bOpponentDone = m_bOpponentPlaybackDone || (m_bSinglePlayer && m_bOwnPlaybackDone);
        if (m_bOwnPlaybackDone && bOpponentDone && m_bTurnPackReady)
            m_bTurnEnded = 1;
        return (int)m_bTurnEnded;
    }
    if (!m_pLiveScene || m_iOwnPlayer < 0 || m_iOwnPlayer > 1)
        return 0;

    CPlayer* aPlayers = m_pLiveScene->m_Players;
    m_bPlayersAsleep = m_bProjectilesAsleep = 1;
    for (int p = 0; p < 2; ++p)
    {
        CPlayer& player = aPlayers[p];
        if (player.m_bWhipActive && !player.m_bWhipDamageDone && player.m_fWhipAngle > KE_HALF_PI)
        {
            player.m_bWhipDamageDone = 1;
            CKorvelVector2 vWhip = player.m_vStretchRelease;
            vWhip.Scale(-1.0f);
            FlompWhipDamage(p, vWhip);
        }
        CBody* pBody = player.m_pBody;
        if (player.m_bAlive && pBody)
        {
            if (!pBody->m_uAsleep)
                m_bPlayersAsleep = 0;
            if (InWater(pBody))
            {
                if (!player.m_bFellIntoWater)
                {
                    player.m_bFellIntoWater = 1;
                    FallIntoWater(SOUND_PLAYER_WATER);
                }
                else if (m_bWaterTiming && m_fWaterTime > m_fWaterDelay)
                    PlayerKill(p, 1);
            }
        }
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        {
            Projectile* pShot = player.GetProjectile(s);
            if (!pShot || !pShot->m_pBody)
                continue;
            if (!pShot->m_pBody->m_uAsleep)
                m_bProjectilesAsleep = 0;
            if (!InWater(pShot->m_pBody))
                continue;
            if (!pShot->m_bFellIntoWater)
            {
                pShot->m_bFellIntoWater = 1;
                FallIntoWater(SOUND_PROJECTILE_WATER);
            }
            else if (m_bWaterTiming && m_fWaterTime > m_fWaterDelay)
                ProjectileDelete(p, 1, s);
        }
    }

    if (m_bPlayersAsleep && m_bProjectilesAsleep)
    {
        CPlayer& own = aPlayers[m_iOwnPlayer];
        bool abOld[PLAYER_PROJECTILES] = {};
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        {
            const Projectile* pShot = own.GetProjectile(s);
            if (!pShot || !pShot->m_pBody)
                continue;
            abOld[s] = true;
            CreateEffectExplosion(pShot->m_pBody->m_vPosition, pShot->m_fRadius, pShot->m_eType,
                                  pShot->m_eType == PROJECTILE_STICKY ? kStickyColour : own.m_Color.Get8888(),
                                  1);
        }
        // The blast (and its synchronisation and crush test) only when shots were left;
        // written at every settled step it would keep the queue from ever emptying.
        bool bAnyShot = false;
        for (bool bOld : abOld)
            bAnyShot = bAnyShot || bOld;
        if (bAnyShot)
            ProjectileExplodeAll(m_iOwnPlayer);
        const CKorvelVector2 aBurst[3] = {CKorvelVector2(0.0f, -3.0f), CKorvelVector2(3.0f, -3.0f),
                                          CKorvelVector2(-3.0f, -3.0f)};
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        {
            const Projectile* pShot = own.GetProjectile(s);
            if (!abOld[s] || !pShot || pShot->m_eType != PROJECTILE_CLUSTER)
                continue;
            for (const CKorvelVector2& vDirection : aBurst)
            {
                CKorvelVector2 vForce = vDirection;
                vForce.SetLength(kFragmentForce);
                const int iSlot = ProjectileCreate(m_iOwnPlayer, PROJECTILE_FRAGMENT);
                ProjectilePosition(m_iOwnPlayer, pShot->m_pBody->m_vPosition, iSlot);
                ProjectileAddForce(m_iOwnPlayer, vForce, iSlot);
            }
            m_bProjectilesAsleep = 0;
        }
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
            if (abOld[s])
                ProjectileDelete(m_iOwnPlayer, 0, s);
        m_bQueueEmpty = m_pLocalEvents && !m_pLocalEvents->HasNextEvent();
        m_bExplosionsDone = !m_pExplosions || m_pExplosions->GetCount() == 0;
    }

    if (m_bWaterTiming && m_fWaterTime > m_fWaterDelay)
    {
        m_bWaterTiming = 0;
        m_fWaterTime = 0.0f;
    }

    if (m_bPlayersAsleep && m_bProjectilesAsleep && m_bQueueEmpty && m_bExplosionsDone)
    {
        if (!m_bSettledSynced)
        {
            // Stops the physics on both devices, then starts it again from the same places.
            SyncPlayers();
            SyncPhysics(1);
            m_bSettledSynced = 1;
        }
        // A recording too large for one pack never ends here; it is discarded like one
        // that does not settle.
        else if (!m_bTurnPackReady && !m_bRecordOverflow)
            NoMoreEvents();
    }
    return 0;
}

void CMoxPlayState::EndTurn()
{
    m_bEndTurnSent = m_bTurnEnded = m_bActionTaken = 1;
    m_bPlayersAsleep = m_bProjectilesAsleep = m_bQueueEmpty = m_bExplosionsDone = m_bSettledSynced = 1;
    if (m_pRenderer && m_pRenderer->m_Camera.m_fZoomTarget < CAMERA_ZOOM_MIN)
        m_pRenderer->m_Camera.m_fZoomTarget = CAMERA_ZOOM_MIN;
    m_bAiming = m_bReleasePending = 0;
    if (m_pLiveScene)
        for (CPlayer& player : m_pLiveScene->m_Players)
            player.m_bReleased = 0;
    NextPlayer(m_iOpponent);
}

void CMoxPlayState::NoMoreEvents()
{
    PackTurnEvents();
    m_bSimulating = 0;
    RestoreScene();
    if (m_pGame)
        m_pGame->ResetTimeStamp();
    m_bOwnPlaybackDone = 0;
    SetRunPhysics(1);
    m_bTurnPackReady = 1;
    m_bOpponentPlaybackDone = 0;
}

void CMoxPlayState::CheckForOutOfBounds()
{
    if (!m_pLiveScene)
        return;
    for (CPlayer& player : m_pLiveScene->m_Players)
    {
        CBody* pBody = player.m_pBody;
        if (player.m_bAlive && pBody && !pBody->m_uAsleep && InWater(pBody) && !player.m_bFellIntoWater)
        {
            player.m_bFellIntoWater = 1;
            FallIntoWater(SOUND_PLAYER_WATER);
        }
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        {
            Projectile* pShot = player.GetProjectile(s);
            if (!pShot || !pShot->m_pBody || pShot->m_pBody->m_uAsleep || !InWater(pShot->m_pBody) ||
                pShot->m_bFellIntoWater)
                continue;
            pShot->m_bFellIntoWater = 1;
            FallIntoWater(SOUND_PROJECTILE_WATER);
        }
    }
}

void CMoxPlayState::FallIntoWater(GAME_SOUND eSplash)
{
    if (m_pGame)
        m_pGame->PlayGameSound(eSplash, 0, 0);
    m_bWaterTiming = 1;
    m_fWaterTime = 0.0f;
}

void CMoxPlayState::CheckForCrushing()
{
    if (m_ePlayState != PLAYSTATE_OWN_TURN)
        return;
    CheckForCrushed(0);
    CheckForCrushed(1);
    SyncPhysics(1);
}

void CMoxPlayState::CheckForCrushed(int iPlayer)
{
    if (!m_pLiveScene || iPlayer < 0 || iPlayer > 1)
        return;
    CPlayer& player = m_pLiveScene->m_Players[iPlayer];
    CBody* pBody = player.m_pBody;
    CBlockManager* pBlocks = m_pLiveScene->m_pBlocks;
    if (!player.m_bAlive || !pBody || !pBlocks)
        return;
    const float fMargin = m_pPhysics ? m_pPhysics->m_fMargin : 0.0f;
    const float fHalfHeight = pBody->m_vHalfSize.y - fMargin;

    float fCeiling = 1000.0f;
    for (int i = 0; i < player.m_UpperBlocks.GetCount(); ++i)
    {
        const CBlock* pBlock = pBlocks->GetBlockByID(player.m_UpperBlocks[i]);
        if (pBlock && pBlock->m_pBody)
        {
            const float fBottom = pBlock->m_pBody->m_vPosition.y - pBlock->m_pBody->m_vHalfSize.y;
            if (fBottom < fCeiling)
                fCeiling = fBottom;
        }
    }
    float fFloor = -1000.0f;
    for (int i = 0; i < player.m_LowerBlocks.GetCount(); ++i)
    {
        const CBlock* pBlock = pBlocks->GetBlockByID(player.m_LowerBlocks[i]);
        if (pBlock && pBlock->m_pBody)
        {
            const float fTop = pBlock->m_pBody->m_vPosition.y + pBlock->m_pBody->m_vHalfSize.y;
            if (fTop > fFloor)
                fFloor = fTop;
        }
    }
    m_fCeiling[iPlayer] = fCeiling;
    m_fFloor[iPlayer] = fFloor;
    if (player.m_UpperBlocks.GetCount() == 0)
        return;

    bool bCrushed = fCeiling < fFloor;
    if (!bCrushed && pBody->m_vPosition.y + fHalfHeight >= fCeiling)
    {
        pBody->m_vPosition.y = fCeiling - fHalfHeight;
        SyncPlayers();
        SyncPhysics(1);
        bCrushed = pBody->m_vPosition.y - fHalfHeight < fFloor;
    }
    if (bCrushed)
    {
        PlayerKill(iPlayer, 2);
        CreateEffectExplosion(pBody->m_vPosition, kPuffSize, 0, player.m_Color.Get8888(), 1);
    }
}

void CMoxPlayState::BodyCollide(CollideData data)
{
    if (!m_pLiveScene || !data.m_pBodyA)
        return;
    CBody* pA = data.m_pBodyA;
    const bool bHard = data.m_fStrength > kBounceStrength;
    for (CPlayer& player : m_pLiveScene->m_Players)
    {
        if (bHard && player.m_bAlive && player.m_pBody == pA && m_pGame)
            m_pGame->PlayGameSound(SOUND_PLAYER_BOUNCE, 0, 0);
        for (int s = 0; s < PLAYER_PROJECTILES; ++s)
        {
            Projectile* pShot = player.GetProjectile(s);
            if (!pShot || pShot->m_pBody != pA)
                continue;
            const PROJECTILE_TYPE eType = pShot->m_eType;
            if (eType == PROJECTILE_FIRE || eType == PROJECTILE_FRAGMENT)
            {
                if (bHard && m_pGame)
                    m_pGame->PlayGameSound(SOUND_PROJECTILE_BOUNCE, 0, 0);
            }
            else if (data.m_pBodyB && data.m_pBodyB->m_uType == BODY_STATIC)
            {
                // Held bodies stay where they are; the step allows this change from here.
                pA->m_uType = BODY_HELD;
                pA->m_vVelocity.Set(0.0f, 0.0f);
                pShot->m_iTarget = (int)(data.m_pBodyB->m_uUser & 0xFFu);
                if (m_pGame)
                    m_pGame->PlayGameSound(SOUND_PROJECTILE_BOUNCE, 0, 0);
            }
        }
    }
}
