// The scene before a recorded action: the blocks, the players, the helpers, the camera and
// the match values are copied into the backup scene (its own physics world) and back, so
// the acting device replays its turn from the same start as the watching one.
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"

namespace
{
// Every block of one scene into the other, each answering to its identifier.
void CopyBlocks(CMoxScene* pTo, CMoxScene* pFrom)
{
    if (!pTo->m_pBlocks || !pFrom->m_pBlocks)
        return;
    for (int i = 0; i < pFrom->m_pBlocks->GetCount(); ++i)
    {
        CBlock* pSource = pFrom->m_pBlocks->GetAt(i);
        if (!pSource->m_pBody)
            continue;
        CBlock* pCopy =
            pTo->m_pBlocks->AddBlock((signed char)pSource->m_uShape, pSource->m_pBody->m_vPosition,
                                     pSource->m_iMaterial, pSource->m_uVariant, pSource->m_uLayer);
        if (pCopy)
            CMoxPlayState::CopyBlock(pCopy, pSource);
    }
}

void CopyScene(CMoxScene* pTo, CMoxScene* pFrom)
{
    pTo->Clear();
    pTo->m_strName = pFrom->m_strName;
}

void CopyRest(CMoxScene* pTo, CMoxScene* pFrom)
{
    CopyBlocks(pTo, pFrom);
    for (int p = 0; p < 2; ++p)
        CMoxPlayState::CopyPlayer(&pTo->m_Players[p], &pFrom->m_Players[p]);
    // Each player looks at the other one of its own scene.
    pTo->m_Players[0].SetViewTarget(pTo->m_Players[1].m_pBody);
    pTo->m_Players[1].SetViewTarget(pTo->m_Players[0].m_pBody);
    for (int i = 0; i < pFrom->m_Helpers.GetCount(); ++i)
        pTo->AddHelper(pFrom->m_Helpers[i]->m_vCentre, pFrom->m_Helpers[i]->m_vHalfSize);
}
} // namespace

void CMoxPlayState::BackupScene()
{
    if (!m_pLiveScene || !m_pBackupScene)
        return;
    CopyScene(m_pBackupScene, m_pLiveScene);
    if (m_pRenderer)
        CopyCamera(&m_CameraBackup, &m_pRenderer->m_Camera);
    CopyRest(m_pBackupScene, m_pLiveScene);
    if (m_pSnapshot)
        CopyPlayState(m_pSnapshot, this);
}

void CMoxPlayState::RestoreScene()
{
    if (!m_pLiveScene || !m_pBackupScene)
        return;
    CopyScene(m_pLiveScene, m_pBackupScene);
    if (m_pRenderer)
        CopyCamera(&m_pRenderer->m_Camera, &m_CameraBackup);
    CopyRest(m_pLiveScene, m_pBackupScene);
    if (m_pSnapshot)
        CopyPlayState(this, m_pSnapshot);
}

void CMoxPlayState::CopyCamera(CCamera* pTo, CCamera* pFrom)
{
    if (!pTo || !pFrom || pTo == pFrom)
        return;
    *pTo = *pFrom;
    pTo->ClearTarget();
}

void CMoxPlayState::CopyBlock(CBlock* pTo, CBlock* pFrom)
{
    if (!pTo || !pFrom || pTo == pFrom)
        return;
    pTo->m_uID = pFrom->m_uID;
    pTo->m_uVariant = pFrom->m_uVariant;
    pTo->m_iMaterial = pFrom->m_iMaterial;
    pTo->m_uLayer = pFrom->m_uLayer;
    pTo->m_uShape = pFrom->m_uShape;
    pTo->m_iStrength = pFrom->m_iStrength;
    pTo->m_iShownStrength = pFrom->m_iShownStrength;
    // A timed change still running must end the same way on both devices.
    pTo->m_bEffectRunning = pFrom->m_bEffectRunning;
    pTo->m_fEffectTime = pFrom->m_fEffectTime;
    pTo->m_uSavedVariant = pFrom->m_uSavedVariant;
    pTo->m_uSavedMaterial = pFrom->m_uSavedMaterial;
    pTo->m_iSavedStrength = pFrom->m_iSavedStrength;
    pTo->m_fSavedFriction = pFrom->m_fSavedFriction;
    pTo->m_fSavedBounce = pFrom->m_fSavedBounce;
    if (pTo->m_pBody && pFrom->m_pBody)
    {
        void* pOwner = pTo->m_pBody->m_pOwner;
        *pTo->m_pBody = *pFrom->m_pBody;
        pTo->m_pBody->m_pOwner = pOwner;
        pTo->m_pBody->m_vVelocity.Set(0.0f, 0.0f);
        pTo->m_pBody->m_vImpact.Set(0.0f, 0.0f);
        pTo->m_pBody->m_vVisualPosition = pTo->m_pBody->m_vPosition;
    }
}

void CMoxPlayState::CopyPlayer(CPlayer* pTo, CPlayer* pFrom)
{
    if (!pTo || !pFrom || pTo == pFrom)
        return;
    pTo->m_bAlive = pFrom->m_bAlive;
    pTo->m_fInfoRise = pFrom->m_fInfoRise;
    for (int i = 0; i < PLAYER_DAMAGE_ENTRIES; ++i)
        pTo->m_iDamage[i] = pFrom->m_iDamage[i];
    pTo->m_bShowInfo = pFrom->m_bShowInfo;
    pTo->m_vInfoAnchor = pFrom->m_vInfoAnchor;
    pTo->m_iNextProjectile = pFrom->m_iNextProjectile;
    // The hat's picture is shared: only the live scene's players give it back.
    pTo->m_pItemSurface = pFrom->m_pItemSurface;
    pTo->m_iItemVariable = pFrom->m_iItemVariable;
    pTo->m_iItemId = pFrom->m_iItemId;
    pTo->m_iItemDescription = pFrom->m_iItemDescription;
    pTo->m_iItemFile = pFrom->m_iItemFile;
    pTo->m_bShowItem = pFrom->m_bShowItem;
    pTo->m_iClusterItemId = pFrom->m_iClusterItemId;
    pTo->m_bHasCluster = pFrom->m_bHasCluster;
    pTo->m_iSnowItemId = pFrom->m_iSnowItemId;
    pTo->m_bHasSnow = pFrom->m_bHasSnow;
    pTo->m_bHasBattleground = pFrom->m_bHasBattleground;
    pTo->m_iBattlegroundId = pFrom->m_iBattlegroundId;
    pTo->m_iBattlegroundDescription = pFrom->m_iBattlegroundDescription;
    pTo->m_iBattlegroundFile = pFrom->m_iBattlegroundFile;
    pTo->m_vAim = pFrom->m_vAim;
    pTo->m_vStretch = pFrom->m_vStretch;
    pTo->m_vStretchRelease = pFrom->m_vStretchRelease;
    pTo->m_vStretchPad = pFrom->m_vStretchPad;
    pTo->m_vStretchBase = pFrom->m_vStretchBase;
    pTo->m_bStretching = pFrom->m_bStretching;
    pTo->m_bWhipActive = pFrom->m_bWhipActive;
    pTo->m_bWhipDamageDone = pFrom->m_bWhipDamageDone;
    pTo->m_fWhipAngle = pFrom->m_fWhipAngle;
    pTo->m_bShowAim = pFrom->m_bShowAim;
    pTo->m_strName = pFrom->m_strName;
    pTo->m_iHealth = pFrom->m_iHealth;
    pTo->m_iDirection = pFrom->m_iDirection;
    pTo->m_fViewAngle = pFrom->m_fViewAngle;
    pTo->m_iIndex = pFrom->m_iIndex;
    pTo->m_Color = pFrom->m_Color;
    pTo->m_BodyDesc = pFrom->m_BodyDesc;
    pTo->m_UpperBlocks.RemoveAll();
    for (int i = 0; i < pFrom->m_UpperBlocks.GetCount(); ++i)
        pTo->m_UpperBlocks.Add(pFrom->m_UpperBlocks[i]);
    pTo->m_LowerBlocks.RemoveAll();
    for (int i = 0; i < pFrom->m_LowerBlocks.GetCount(); ++i)
        pTo->m_LowerBlocks.Add(pFrom->m_LowerBlocks[i]);
    pTo->m_bFellIntoWater = pFrom->m_bFellIntoWater;
    pTo->m_iTimeOutsLeft = pFrom->m_iTimeOutsLeft;
    pTo->m_iUserId = pFrom->m_iUserId;
    pTo->m_iSelectedAction = pFrom->m_iSelectedAction;
    pTo->m_fZoom = pFrom->m_fZoom;
    pTo->m_bReady = pFrom->m_bReady;
    pTo->m_bGone = pFrom->m_bGone;
    pTo->m_cRoundWins = pFrom->m_cRoundWins;
    pTo->m_fGrabRadius = pFrom->m_fGrabRadius;
    pTo->m_bReleased = pFrom->m_bReleased;
    pTo->m_fReleaseValue = pFrom->m_fReleaseValue;
    pTo->m_fHitTimer = pFrom->m_fHitTimer;
    // The destination's own body, in its own world, takes the source body's values.
    if (pTo->m_pBody && pFrom->m_pBody)
    {
        void* pOwner = pTo->m_pBody->m_pOwner;
        *pTo->m_pBody = *pFrom->m_pBody;
        pTo->m_pBody->m_pOwner = pOwner;
    }
}

void CMoxPlayState::CopyPlayState(CMoxPlayState* pTo, CMoxPlayState* pFrom)
{
    if (!pTo || !pFrom || pTo == pFrom)
        return;
    pTo->m_iOwnPlayer = pFrom->m_iOwnPlayer;
    pTo->m_iOpponent = pFrom->m_iOpponent;
    pTo->m_iTurnPlayer = pFrom->m_iTurnPlayer;
    pTo->m_iResult = pFrom->m_iResult;
    pTo->m_ePlayState = pFrom->m_ePlayState;
    pTo->SetRunPhysics(pFrom->m_bRunPhysics);
    pTo->m_bStarted = pFrom->m_bStarted;
    pTo->m_iRoundsPlayed = pFrom->m_iRoundsPlayed;
    pTo->m_iSceneIndex = pFrom->m_iSceneIndex;
    pTo->m_bMaster = pFrom->m_bMaster;
    pTo->m_bActionTaken = pTo->m_bPlayersAsleep = pTo->m_bProjectilesAsleep = 1;
    pTo->m_bTurnPackReceived = pTo->m_bTurnPackReady = pTo->m_bOpponentPlaybackDone = 0;
    pTo->m_bOwnPlaybackDone = pTo->m_bOwnTurnPlayed = 0;
    pTo->m_bTie = pTo->m_bOpponentActed = 0;
    pTo->m_bQueueEmpty = pTo->m_bExplosionsDone = pTo->m_bSettledSynced = pTo->m_bWaterTiming = 0;
    pTo->m_bTurnEnded = pTo->m_bEndTurnSent = 0;
}
