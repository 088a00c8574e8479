// One side of a match: its flomp's body, up to 32 projectiles in flight, the stretch of
// its aim, the damage numbers it shows and the blocks in its column.
#pragma once

#include "Korvel3D/Korvel3DColor.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelString.h"
#include "game/MoxPhysics.h"

class CKorvelSurface;

enum PROJECTILE_TYPE : int
{
    PROJECTILE_FIRE = 0,
    PROJECTILE_STICKY = 1,
    PROJECTILE_CLUSTER = 2,
    PROJECTILE_FRAGMENT = 3, // one of a cluster's burst
    PROJECTILE_SNOW = 4
};

enum
{
    PLAYER_START_HEALTH = 100, // a hat adds its bonus before the round starts
    PLAYER_PROJECTILES = 32,
    PLAYER_DAMAGE_ENTRIES = 32,
    // Collision masks: a player's own shots pass through it until they leave it, and the
    // fragments of one burst pass through each other until they part.
    PLAYER0_MASK = 0x11101,
    PLAYER1_MASK = 0x11110,
    PROJECTILE_MASK_PLAYER0 = 0x10,
    PROJECTILE_MASK_PLAYER1 = 0x1,
    PROJECTILE_MASK_FREE = 0x11111111
};

// What the own flomp does when the aim is released: the selected action of a player.
enum ACTION_KIND : int
{
    ACTION_JUMP = 0,
    ACTION_FIRE = 1,
    ACTION_STICKY = 2,
    ACTION_WHIP = 3,
    ACTION_SNOW = 4,
    ACTION_CLUSTER = 5,
    ACTION_COUNT = 6
};

// Owner codes of the projectiles' bodies, by player.
extern const unsigned char PLAYER_PROJECTILE_ID[2];

struct Projectile
{
    PROJECTILE_TYPE m_eType;
    unsigned char m_uOwner; // 10 or 20
    unsigned char m_bFellIntoWater;
    float m_fRadius;
    float m_fDamage;
    int m_iValue;  // 0
    int m_iTarget; // -1
    CBody* m_pBody;
};

class CPlayer
{
public:
    CPlayer();

    // Null for a slot outside 0..31.
    Projectile* GetProjectile(int iSlot);
    // Round robin over the slots; it does not look whether the slot is free.
    int GetFreeProjectileIndex();
    void ClearVirtualItems();
    void SetViewTarget(CBody* pBody) { m_pViewTarget = pBody; }
    // Degrees anticlockwise from +x to the view target, and the eighth of the turn nearest it.
    void UpdateViewAngle();

    int m_bAlive;
    float m_fInfoRise;
    int m_iDamage[PLAYER_DAMAGE_ENTRIES]; // numbers above 0 are on display
    Projectile* m_pProjectiles[PLAYER_PROJECTILES];
    int m_bShowInfo;
    CKorvelVector2 m_vInfoAnchor;
    int m_iNextProjectile;

    // The virtual items (14 words): the hat, the two bombs and the battleground.
    CKorvelSurface* m_pItemSurface; // the hat's picture
    int m_iItemVariable;            // the hat's health bonus
    int m_iItemId;
    int m_iItemDescription;
    int m_iItemFile;
    int m_bShowItem; // wears a hat
    int m_iClusterItemId;
    int m_bHasCluster;
    int m_iSnowItemId;
    int m_bHasSnow;
    int m_bHasBattleground;
    int m_iBattlegroundId;
    int m_iBattlegroundDescription;
    int m_iBattlegroundFile;

    CKorvelVector2 m_vAim;            // the drag; the aim dots run opposite to it
    CKorvelVector2 m_vStretch;        // drawn from the body
    CKorvelVector2 m_vStretchRelease; // at release; the whip scales it
    CKorvelVector2 m_vStretchPad;     // the grab size in pixels; x is the grab radius
    CKorvelVector2 m_vStretchBase;
    int m_bStretching;
    int m_bWhipActive;
    int m_bWhipDamageDone;
    float m_fWhipAngle; // radians
    int m_bShowAim;     // also the released flag of the controls
    CKorvelString m_strName;
    int m_iHealth;
    int m_iDirection;   // 0..7, 0 along +x, 2 up
    float m_fViewAngle; // degrees
    unsigned char m_iIndex;
    CKorvel3DColor m_Color;
    CBody* m_pBody;
    CBody* m_pViewTarget;
    BodyDesc m_BodyDesc;
    CKorvelArray<int> m_UpperBlocks; // block identifiers in the column above
    CKorvelArray<int> m_LowerBlocks; // and below

    // What the match rules and the controls keep on the player.
    int m_bFellIntoWater;
    int m_iTimeOutsLeft;
    int m_iUserId;
    int m_iSelectedAction;
    float m_fZoom;
    int m_bReady;
    int m_bGone; // left the match
    signed char m_cRoundWins;
    float m_fGrabRadius;
    int m_bReleased;
    float m_fReleaseValue;
    float m_fHitTimer;

private:
    CPlayer(const CPlayer&) = delete;
    CPlayer& operator=(const CPlayer&) = delete;
};
