// The screens and the chat overlay the root state can make. Each screen adds its line:
//     table.m_aCreators[STATE_MENU] = [] { return new CMoxMenuState(); };
#include "game/MoxChat.h"
#include "game/MoxConnectingState.h"
#include "game/MoxEditState.h"
#include "game/MoxIntroState.h"
#include "game/MoxMenuState.h"
#include "game/MoxPlayState.h"
#include "game/MoxScreens.h"
#include "game/MoxTrainingState.h"

void MoxFillScreenTable(sMoxScreenTable& table)
{
    table.m_aCreators[STATE_EDITOR] = [] { return new CMoxEditState(); };
    table.m_aCreators[STATE_PLAY] = [] { return new CMoxPlayState(); };
    table.m_ChatCreator = [] { return new CMoxChat(); };
    table.m_aCreators[STATE_MENU] = [] { return new CMoxMenuState(); };
    table.m_aCreators[STATE_CONNECTING] = [] { return new CMoxConnectingState(); };
    table.m_aCreators[STATE_INTRO] = [] { return new CMoxIntroState(); };
    table.m_aCreators[STATE_TRAINING] = [] { return new CMoxTrainingState(); };
}
