#include "game/MoxPlayer.h"
#include "KorvelCommon/KorvelMath.h"

const unsigned char PLAYER_PROJECTILE_ID[2] = {10, 20};

namespace
{
}

CPlayer::CPlayer()
    : m_bAlive(1), m_fInfoRise(0.0f), m_bShowInfo(0), m_vInfoAnchor(0.0f, 0.0f), m_iNextProjectile(0),
      m_vAim(0.0f, 0.0f), m_vStretch(0.0f, 0.0f), m_vStretchRelease(0.0f, 0.0f), m_vStretchPad(0.0f, 0.0f),
      m_vStretchBase(0.0f, 0.0f), m_bStretching(0), m_bWhipActive(0), m_bWhipDamageDone(0),
      m_fWhipAngle(0.0f), m_bShowAim(0), m_strName("Player"), m_iHealth(PLAYER_START_HEALTH), m_iDirection(0),
      m_fViewAngle(0.0f), m_iIndex(0), m_Color(1.0f, 1.0f, 1.0f, 1.0f), m_pBody(nullptr),
      m_pViewTarget(nullptr), m_bFellIntoWater(0), m_iTimeOutsLeft(0), m_iUserId(0), m_iSelectedAction(0),
      m_fZoom(1.0f), m_bReady(0), m_bGone(0), m_cRoundWins(0), m_fGrabRadius(0.0f), m_bReleased(0),
      m_fReleaseValue(0.0f), m_fHitTimer(0.0f)
{
    for (int& iDamage : m_iDamage)
        iDamage = 0;
    for (Projectile*& pProjectile : m_pProjectiles)
        pProjectile = nullptr;
    ClearVirtualItems();
}

Projectile* CPlayer::GetProjectile(int iSlot)
{
    if (iSlot < 0 || iSlot >= PLAYER_PROJECTILES)
        return nullptr;
    return m_pProjectiles[iSlot];
}

int CPlayer::GetFreeProjectileIndex()
{
    const int iSlot = m_iNextProjectile;
    m_iNextProjectile = (iSlot + 1) % PLAYER_PROJECTILES;
    return iSlot;
}

void CPlayer::ClearVirtualItems()
{
    m_pItemSurface = nullptr;
    m_iItemVariable = 0;
    m_iItemId = 0;
    m_iItemDescription = 0;
    m_iItemFile = 0;
    m_bShowItem = 0;
    m_iClusterItemId = 0;
    m_bHasCluster = 0;
    m_iSnowItemId = 0;
    m_bHasSnow = 0;
    m_bHasBattleground = 0;
    m_iBattlegroundId = 0;
    m_iBattlegroundDescription = 0;
    m_iBattlegroundFile = 0;
}

void CPlayer::UpdateViewAngle()
{
    if (!m_pViewTarget || !m_pBody)
        return;
    CKorvelVector2 d;
    d.Sub(m_pViewTarget->m_vPosition, m_pBody->m_vPosition);
    float fDegrees = (-KE_PI / 2.0f - d.GetAngle()) / KE_PI * 180.0f;
    if (fDegrees < 0.0f)
        fDegrees += 360.0f;
    m_fViewAngle = fDegrees;
    int iDirection = (int)((fDegrees + 22.5f) / 45.0f) % 8;
    if (iDirection < 0)
        iDirection += 8;
    m_iDirection = iDirection;
}
