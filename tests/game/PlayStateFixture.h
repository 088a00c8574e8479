// The match screen made by the real root state on the game's test application: the
// fixture of CGameTest with the match screen's creator in place of the fake one, and
// little-endian byte helpers for expected events. Header only.
#pragma once

#include <cstring>
#include <vector>

#include "game/MoxEvent.h"
#include "game/MoxPlayState.h"
#include "tests/game/GameTestFixture.h"

inline std::vector<uint8_t> LE32(uint32_t u)
{
    return {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}

inline std::vector<uint8_t> LEF(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return LE32(u);
}

inline std::vector<uint8_t> EventBytes(const CMoxEvent* pEvent)
{
    return pEvent ? std::vector<uint8_t>(pEvent->m_pPayload, pEvent->m_pPayload + pEvent->m_iSize)
                  : std::vector<uint8_t>();
}

class CPlayStateTest : public CGameTest
{
protected:
    // The game with the real match screen in its table, and the screen made; the real
    // chat overlay unless bFakeChat.
    void StartPlay(CStateGame* pGame = nullptr, bool bFakeChat = true)
    {
        ASSERT_NO_FATAL_FAILURE(StartGame(pGame, bFakeChat));
        m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [] { return new CMoxPlayState(); };
        m_pPlay = dynamic_cast<CMoxPlayState*>(m_pGame->AddState(STATE_PLAY));
        ASSERT_NE(m_pPlay, nullptr);
    }
    int Counter() { return m_pGame->GetContext().m_iEventCounter; }

    CMoxPlayState* m_pPlay = nullptr;
};
