// The dispatcher: every event of the local queue is applied by its handler and then
// deleted, handed to the outgoing queue or kept in the turn record.
#include "game/MoxEvent.h"
#include "game/MoxGameMessage.h"
#include "game/MoxPlayState.h"
#include "game/MoxScene.h"
#include "game/MoxTurnPack.h"
#include "game/StateGame.h"

void CMoxPlayState::SetRunPhysics(unsigned int uRun)
{
    m_bRunPhysics = uRun ? 1 : 0;
    // Hit blocks fade and timed changes run only while the scene animates its blocks.
    if (m_pLiveScene)
        m_pLiveScene->m_bAnimateBlocks = (int)m_bRunPhysics;
}

void CMoxPlayState::SendNetworkMessage(CMoxEvent* pEvent)
{
    if (m_bSinglePlayer || !pEvent || !m_pGame)
        return;
    m_pGame->SendGameMsg(pEvent->m_pPayload, (unsigned int)pEvent->m_iSize, 0, 0);
    m_uResetTick = (unsigned int)m_pGame->m_StepTimer.GetElapsedMilliseconds();
    if (pEvent->m_uType == EVENT_GAME_OVER)
        m_bOwnGameOverSent = 1;
}

void CMoxPlayState::HandleGameEvents()
{
    if (!m_pLocalEvents)
        return;
    while (CMoxEvent* pEvent = m_pLocalEvents->PopEvent())
    {
        // A record too short for its type is dropped whole: its handler would read past it.
        if (!pEvent->m_pPayload || pEvent->m_iSize < MoxEventMinimumSize(pEvent->m_uType))
        {
            delete pEvent;
            continue;
        }
        switch (pEvent->m_uType)
        {
        case EVENT_LOAD_GAME:
            EventLoadGame(pEvent);
            break;
        case EVENT_START_GAME:
            EventStartGame(pEvent);
            break;
        case EVENT_ROUND_OVER:
            EventRoundOver(pEvent);
            break;
        case EVENT_ROUND_WAITING:
            SetPlayState(PLAYSTATE_BETWEEN_ROUNDS);
            break;
        case EVENT_GAME_OVER:
            EventGameOver(pEvent);
            break;
        case EVENT_NEXT_PLAYER:
            EventNextPlayer(pEvent);
            break;
        case EVENT_GAME_END:
            EventGameEnd(pEvent);
            break;
        case EVENT_REMATCH:
            EventRematch(pEvent);
            break;
        case EVENT_PHYSICS_STATE:
            EventPhysicsState(pEvent);
            break;
        case EVENT_PLAYER_DEAD:
            EventPlayerDead(pEvent);
            break;
        case EVENT_SYNC_PLAYERS:
            EventSyncPlayers(pEvent);
            break;
        case EVENT_PLAYER_ADD_FORCE:
            EventPlayerAddForce(pEvent);
            break;
        case EVENT_PLAYER_READY:
            EventPlayerReady(pEvent);
            break;
        case EVENT_PLAYER_LEAVE:
            EventPlayerLeave(pEvent);
            break;
        case EVENT_PLAYER_DAMAGE:
            EventPlayerDamage(pEvent);
            break;
        case EVENT_PLAYER_CRUSH_TEST:
            CheckForCrushing();
            break;
        case EVENT_FLOMP_WHIP:
            EventFlompWhip(pEvent);
            break;
        case EVENT_PROJECTILE_CREATE:
            EventProjectileCreate(pEvent);
            break;
        case EVENT_PROJECTILE_POSITION:
            EventProjectilePosition(pEvent);
            break;
        case EVENT_PROJECTILE_ADD_FORCE:
            EventProjectileAddForce(pEvent);
            break;
        case EVENT_PROJECTILE_DELETE:
            EventProjectileDelete(pEvent);
            break;
        case EVENT_SCENE_UPDATE:
            EventSceneUpdate(pEvent);
            break;
        case EVENT_SCENE_DELETE:
            EventSceneDelete(pEvent);
            break;
        case EVENT_TURN_PACK:
            EventSceneTurnPack(pEvent);
            break;
        case EVENT_SCENE_CHANGE:
            EventSceneChange(pEvent);
            break;
        case EVENT_EFFECT_EXPLOSION:
            EventEffectExplosion(pEvent);
            break;
        case EVENT_CLOCK_RESTART:
            EventNoMoreEvents(pEvent);
            break;
        case EVENT_PLAYBACK_DONE:
            EventPlaybackDone(pEvent);
            break;
        case EVENT_VIRTUAL_ITEMS:
            EventVirtualItems(pEvent);
            break;
        case EVENT_ITEMS_DROPPED:
            EventItemsDropped(pEvent);
            break;
        default:
            break;
        }

        if (!pEvent->m_uSendFlag)
        {
            delete pEvent;
            continue;
        }
        if (MoxGetI32(pEvent->m_pPayload, MoxField::TIME) < 0)
        {
            if (m_pOutgoingEvents)
            {
                const bool bIdle = !m_pOutgoingEvents->HasNextEvent();
                CMoxEvent* pCopy =
                    m_pOutgoingEvents->AddEvent(pEvent->m_uType, pEvent->m_pPayload, pEvent->m_iSize, 0);
                if (bIdle)
                    SendNetworkMessage(pCopy);
            }
            delete pEvent;
            continue;
        }
        // The turn must fit one pack; a recording that does not is void as a whole.
        if (m_bRecordOverflow || GetTurnPackSize() + 1 + pEvent->m_iSize > TURN_PACK_MAX_SIZE ||
            m_TurnRecord.Add(pEvent) < 0)
        {
            m_bRecordOverflow = 1;
            delete pEvent;
        }
    }
}
