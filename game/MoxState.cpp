#include "game/MoxState.h"

#include "game/StateGame.h"

int CMoxState::Startup(CStateGame* pGame)
{
    m_pGame = pGame;
    m_pRenderer = pGame ? pGame->GetRenderer() : nullptr;
    m_pPhysics = pGame ? pGame->GetPhysics() : nullptr;
    return 1;
}
