// The event writers: each builds its event's bytes on the stack and adds them to the
// local queue with its send flag.
#include "Framework/Shell/VornApplication.h"
#include "Korvel3D/Korvel3DColor.h"
#include "game/MoxEvent.h"
#include "game/MoxPlayState.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

static_assert(MoxField::POSITION_PLAYER == MoxField::FORCE_PLAYER &&
                  MoxField::SHOT_PLAYER == MoxField::FORCE_PLAYER &&
                  MoxField::POSITION_X == MoxField::FORCE_X && MoxField::SHOT_X == MoxField::FORCE_X &&
                  MoxField::POSITION_Y == MoxField::FORCE_Y && MoxField::SHOT_Y == MoxField::FORCE_Y &&
                  MoxField::POSITION_SLOT == MoxField::FORCE_KIND &&
                  MoxField::SHOT_SLOT == MoxField::FORCE_KIND,
              "one writer serves the three layouts");

namespace
{
const int kAtOnce = -1;
// Forces travel scaled, as both devices apply them.
const float kForceScale = -6.9f;
} // namespace

int CMoxPlayState::NextEventId() const
{
    return m_pGame ? m_pGame->GetContext().m_iEventCounter + 1 : 0;
}

CMoxEvent* CMoxPlayState::Write(const sMoxEventBytes& bytes, unsigned int uSendFlag)
{
    return m_pLocalEvents ? m_pLocalEvents->AddEvent(bytes.m_iType, bytes.m_aBytes, bytes.m_iSize, uSendFlag)
                          : nullptr;
}

// Types 23, 31 and 32 share one layout: the player, a vector and a byte behind it.
void CMoxPlayState::WritePlayerVector(int iType, int iPlayer, const CKorvelVector2& v, int iByte)
{
    sMoxEventBytes e(iType, NextEventId(), GetTimeStamp());
    e.U8(MoxField::FORCE_PLAYER, iPlayer);
    e.F32(MoxField::FORCE_X, v.x);
    e.F32(MoxField::FORCE_Y, v.y);
    e.U8(MoxField::FORCE_KIND, iByte);
    Write(e, 1);
}

void CMoxPlayState::LoadGame(int iFirstPlayer, int iScene, int iStartPoint0, int iStartPoint1)
{
    sMoxEventBytes e(EVENT_LOAD_GAME, NextEventId(), kAtOnce);
    e.U8(MoxField::LOAD_FIRST_PLAYER, iFirstPlayer);
    e.I32(MoxField::LOAD_SCENE, iScene);
    e.I32(MoxField::LOAD_START_POINT0, iStartPoint0);
    e.I32(MoxField::LOAD_START_POINT1, iStartPoint1);
    Write(e, 1);
}

void CMoxPlayState::StartGame(int iFirstPlayer)
{
    sMoxEventBytes e(EVENT_START_GAME, NextEventId(), kAtOnce);
    e.U8(MoxField::START_FIRST_PLAYER, iFirstPlayer);
    Write(e, 1);
}

void CMoxPlayState::EndRound()
{
    sMoxEventBytes e(EVENT_ROUND_OVER, NextEventId(), kAtOnce);
    e.U8(MoxField::ROUND_WINNER, m_iResult);
    Write(e, 1);
    SetPlayState(PLAYSTATE_ROUND_ENDED);
    m_bEndRoundSent = 1;
}

void CMoxPlayState::RoundWaiting()
{
    Write(sMoxEventBytes(EVENT_ROUND_WAITING, NextEventId(), kAtOnce), 1);
}

void CMoxPlayState::GameOver(int iType)
{
    sMoxEventBytes e(EVENT_GAME_OVER, NextEventId(), kAtOnce);
    e.U8(MoxField::OVER_SENDER, m_iOwnPlayer);
    if (m_pLiveScene)
    {
        e.U8(MoxField::OVER_WINS0, m_pLiveScene->m_Players[0].m_cRoundWins);
        e.U8(MoxField::OVER_WINS1, m_pLiveScene->m_Players[1].m_cRoundWins);
    }
    e.U8(MoxField::OVER_WINNER, m_iResult);
    e.U8(MoxField::OVER_KIND, iType);
    // A match that ended by leaving is settled on each side alone.
    Write(e, iType == GAME_OVER_CONNECTION || iType == GAME_OVER_LEFT ? 0 : 1);
}

void CMoxPlayState::NextPlayer(int iPlayer)
{
    sMoxEventBytes e(EVENT_NEXT_PLAYER, NextEventId(), kAtOnce);
    e.U8(MoxField::NEXT_PLAYER, iPlayer);
    Write(e, 1);
}

void CMoxPlayState::GameEnd(unsigned int uLeave)
{
    sMoxEventBytes e(EVENT_GAME_END, NextEventId(), kAtOnce);
    e.U8(MoxField::END_SENDER, m_iOwnPlayer);
    e.I32(MoxField::END_LEAVE, (int)uLeave);
    Write(e, 0);
    m_bGameOverSent = 1;
}

void CMoxPlayState::Rematch(unsigned int uAnswer)
{
    sMoxEventBytes e(EVENT_REMATCH, NextEventId(), kAtOnce);
    e.U8(MoxField::REMATCH_SENDER, m_iOwnPlayer);
    e.U8(MoxField::REMATCH_ANSWER, (int)uAnswer);
    Write(e, 0);
    m_bRematchSent = 1;
}

void CMoxPlayState::SyncPhysics(unsigned int uRunning)
{
    sMoxEventBytes e(EVENT_PHYSICS_STATE, NextEventId(), GetTimeStamp());
    e.I32(MoxField::PHYSICS_RUNNING, (int)uRunning);
    Write(e, 1);
}

void CMoxPlayState::PlayerKill(int iPlayer, int iCause)
{
    sMoxEventBytes e(EVENT_PLAYER_DEAD, NextEventId(), GetTimeStamp());
    e.U8(MoxField::DEAD_PLAYER, iPlayer);
    e.U8(MoxField::DEAD_CAUSE, iCause);
    Write(e, 1);
}

void CMoxPlayState::SyncPlayers()
{
    sMoxEventBytes e(EVENT_SYNC_PLAYERS, NextEventId(), GetTimeStamp());
    const int aX[2] = {MoxField::SYNC_X0, MoxField::SYNC_X1};
    const int aY[2] = {MoxField::SYNC_Y0, MoxField::SYNC_Y1};
    for (int i = 0; i < 2; ++i)
    {
        const CBody* pBody = m_pLiveScene ? m_pLiveScene->m_Players[i].m_pBody : nullptr;
        if (!pBody)
            continue;
        e.F32(aX[i], pBody->m_vPosition.x);
        e.F32(aY[i], pBody->m_vPosition.y);
    }
    Write(e, 1);
    m_bRunPhysics = 0;
}

void CMoxPlayState::PlayerAddForce(int iPlayer, CKorvelVector2 vForce, FORCE_TYPE eType)
{
    vForce.Scale(kForceScale);
    WritePlayerVector(EVENT_PLAYER_ADD_FORCE, iPlayer, vForce, eType);
}

void CMoxPlayState::PlayerReady(int iPlayer)
{
    sMoxEventBytes e(EVENT_PLAYER_READY, NextEventId(), kAtOnce);
    e.U8(MoxField::READY_PLAYER, iPlayer);
    Write(e, 1);
}

void CMoxPlayState::PlayerLeave(int iPlayer)
{
    sMoxEventBytes e(EVENT_PLAYER_LEAVE, NextEventId(), kAtOnce);
    e.U8(MoxField::LEAVE_PLAYER, iPlayer);
    Write(e, 1);
}

void CMoxPlayState::PlayerDamage(int iPlayer, int iDamage, int iHealthLeft)
{
    sMoxEventBytes e(EVENT_PLAYER_DAMAGE, NextEventId(), GetTimeStamp());
    e.U8(MoxField::DAMAGE_PLAYER, iPlayer);
    e.I32(MoxField::DAMAGE_AMOUNT, iDamage);
    e.I32(MoxField::DAMAGE_HEALTH_LEFT, iHealthLeft);
    Write(e, 1);
}

void CMoxPlayState::PlayerCrushTest()
{
    Write(sMoxEventBytes(EVENT_PLAYER_CRUSH_TEST, NextEventId(), kAtOnce), 0);
}

void CMoxPlayState::FlompWhip(int iPlayer, CKorvelVector2 vWhip)
{
    sMoxEventBytes e(EVENT_FLOMP_WHIP, NextEventId(), GetTimeStamp());
    e.U8(MoxField::WHIP_PLAYER, iPlayer);
    e.F32(MoxField::WHIP_X, vWhip.x);
    e.F32(MoxField::WHIP_Y, vWhip.y);
    Write(e, 1);
}

int CMoxPlayState::ProjectileCreate(int iPlayer, int iType)
{
    if (!m_pLiveScene || iPlayer < 0 || iPlayer > 1)
        return -1;
    const int iSlot = m_pLiveScene->m_Players[iPlayer].GetFreeProjectileIndex();
    sMoxEventBytes e(EVENT_PROJECTILE_CREATE, NextEventId(), GetTimeStamp());
    e.U8(MoxField::CREATE_PLAYER, iPlayer);
    e.U8(MoxField::CREATE_TYPE, iType);
    e.U8(MoxField::CREATE_SLOT, iSlot);
    Write(e, 1);
    return iSlot;
}

void CMoxPlayState::ProjectilePosition(int iPlayer, CKorvelVector2 vPosition, int iSlot)
{
    WritePlayerVector(EVENT_PROJECTILE_POSITION, iPlayer, vPosition, iSlot);
}

void CMoxPlayState::ProjectileAddForce(int iPlayer, CKorvelVector2 vForce, int iSlot)
{
    vForce.Scale(kForceScale);
    WritePlayerVector(EVENT_PROJECTILE_ADD_FORCE, iPlayer, vForce, iSlot);
}

void CMoxPlayState::ProjectileDelete(int iPlayer, int iReason, int iSlot)
{
    sMoxEventBytes e(EVENT_PROJECTILE_DELETE, NextEventId(), GetTimeStamp());
    e.U8(MoxField::DELETE_PLAYER, iPlayer);
    e.U8(MoxField::DELETE_REASON, iReason);
    e.U8(MoxField::DELETE_SLOT, iSlot);
    Write(e, 1);
}

void CMoxPlayState::SceneUpdate(int iBlock, int iGridX, int iGridY, const CKorvelVector2& vImpulse,
                                int iStrength)
{
    sMoxEventBytes e(EVENT_SCENE_UPDATE, NextEventId(), GetTimeStamp());
    e.U8(MoxField::UPDATE_BLOCK, iBlock);
    e.U8(MoxField::UPDATE_GRID_X, iGridX);
    e.U8(MoxField::UPDATE_GRID_Y, iGridY);
    e.I32(MoxField::UPDATE_STRENGTH, iStrength);
    e.F32(MoxField::UPDATE_IMPULSE_X, vImpulse.x);
    e.F32(MoxField::UPDATE_IMPULSE_Y, vImpulse.y);
    Write(e, 1);
}

void CMoxPlayState::SceneDelete(int iBlock)
{
    sMoxEventBytes e(EVENT_SCENE_DELETE, NextEventId(), GetTimeStamp());
    e.U8(MoxField::REMOVE_BLOCK, iBlock);
    Write(e, 1);
}

void CMoxPlayState::SceneChange(int iBlock, int iSavedStrength, int iSavedMaterial, int iSavedVariant,
                                float fSavedFriction, float fSavedBounce, const CKorvelVector2& vImpulse,
                                float fEffectTime)
{
    sMoxEventBytes e(EVENT_SCENE_CHANGE, NextEventId(), GetTimeStamp());
    e.U8(MoxField::CHANGE_BLOCK, iBlock);
    e.I32(MoxField::CHANGE_STRENGTH, iSavedStrength);
    e.U8(MoxField::CHANGE_MATERIAL, iSavedMaterial);
    e.U8(MoxField::CHANGE_VARIANT, iSavedVariant);
    e.F32(MoxField::CHANGE_IMPULSE_X, vImpulse.x);
    e.F32(MoxField::CHANGE_IMPULSE_Y, vImpulse.y);
    e.F32(MoxField::CHANGE_FRICTION, fSavedFriction);
    e.F32(MoxField::CHANGE_BOUNCE, fSavedBounce);
    e.F32(MoxField::CHANGE_TIME, fEffectTime);
    Write(e, 1);
}

void CMoxPlayState::CreateEffectExplosion(CKorvelVector2 vPosition, float fSize, int iKind,
                                          unsigned int uColour, unsigned int uSendFlag)
{
    sMoxEventBytes e(EVENT_EFFECT_EXPLOSION, NextEventId(), GetTimeStamp());
    e.I32(MoxField::EXPLOSION_COLOUR, (int)CKorvel3DColor(uColour).Get8888());
    e.U8(MoxField::EXPLOSION_KIND, iKind);
    e.F32(MoxField::EXPLOSION_X, vPosition.x);
    e.F32(MoxField::EXPLOSION_Y, vPosition.y);
    e.F32(MoxField::EXPLOSION_SIZE, fSize);
    Write(e, uSendFlag);
}

void CMoxPlayState::PlaybackDone()
{
    sMoxEventBytes e(EVENT_PLAYBACK_DONE, NextEventId(), kAtOnce);
    e.U8(MoxField::PLAYBACK_SENDER, m_iOwnPlayer);
    Write(e, 1);
    m_bOwnPlaybackDone = 1;
}

void CMoxPlayState::SendVirtualItems()
{
    sMoxEventBytes e(EVENT_VIRTUAL_ITEMS, NextEventId(), kAtOnce);
    e.U8(MoxField::ITEMS_SENDER, m_iOwnPlayer);
    int iCount = 0;
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (pApp)
    {
        const CKorvelArray<CVornApplication::sItemData>& aItems = pApp->GetItems();
        for (int i = 0; i < aItems.GetCount() && iCount < MoxField::ITEMS_MAX; ++i)
        {
            const CVornApplication::sItemData& item = aItems[i];
            if (!item.m_iEnabled || item.m_iAmount <= 0 || item.m_iDescId <= 0)
                continue;
            e.I32(MoxField::ITEMS_IDS + 4 * iCount, item.m_iItemId);
            e.I32(MoxField::ITEMS_DESCRIPTIONS + 4 * iCount, item.m_iDescId);
            e.I32(MoxField::ITEMS_FILES + 4 * iCount, item.m_iFileId);
            ++iCount;
        }
    }
    e.U8(MoxField::ITEMS_COUNT, iCount);
    Write(e, 1);
}

void CMoxPlayState::DropVirtualItems(int iPlayer, const int* pItemIds, int iCount)
{
    sMoxEventBytes e(EVENT_ITEMS_DROPPED, NextEventId(), kAtOnce);
    e.U8(MoxField::DROPPED_PLAYER, iPlayer);
    iCount = iCount < MoxField::ITEMS_MAX ? iCount : MoxField::ITEMS_MAX;
    for (int i = 0; i < iCount; ++i)
        e.I32(MoxField::DROPPED_IDS + 4 * i, pItemIds[i]);
    e.U8(MoxField::DROPPED_COUNT, iCount);
    Write(e, 1);
}
