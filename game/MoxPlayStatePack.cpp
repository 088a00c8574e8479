// The turn pack of the own turn, and its unpacking into the playback queue.
#include <vector>

#include "game/MoxEvent.h"
#include "game/MoxPlayState.h"
#include "game/MoxTurnPack.h"
#include "game/StateGame.h"

int CMoxPlayState::GetTurnPackSize() const
{
    return MoxTurnPackSize(m_TurnRecord);
}

int CMoxPlayState::PackTurnEvents()
{
    std::vector<unsigned char> aPack;
    if (!m_pLocalEvents || !MoxBuildTurnPack(m_TurnRecord, NextEventId(), aPack))
        return 0;
    CMoxEvent* pPack = m_pLocalEvents->AddEvent(EVENT_TURN_PACK, aPack.data(), (int)aPack.size(), 1);
    if (!pPack)
        return 0;
    for (int i = 0; i < m_TurnRecord.GetCount(); ++i)
        delete m_TurnRecord[i];
    m_TurnRecord.Clear();
    UnpackTurnEvents(pPack);
    return 1;
}

void CMoxPlayState::UnpackTurnEvents(CMoxEvent* pPack)
{
    if (!pPack || !m_pPlaybackEvents)
        return;
    for (const sMoxPackedEvent& packed : MoxReadTurnPack(pPack->m_pPayload, pPack->m_iSize))
    {
        const unsigned char* pBytes = pPack->m_pPayload + packed.iOffset;
        CMoxEvent* pEvent = m_pPlaybackEvents->AddEvent(pBytes[0], pBytes, packed.iSize, 0);
        // Played back at the moment it happened in the turn.
        if (pEvent)
            pEvent->m_iTimeStamp = MoxGetI32(pBytes, MoxField::TIME);
    }
}
