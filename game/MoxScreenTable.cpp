// The screens and the chat overlay the root state can make. Each screen adds its line:
//     table.m_aCreators[STATE_MENU] = [] { return new CMoxMenuState(); };
#include "game/MoxChat.h"
#include "game/MoxEditState.h"
#include "game/MoxPlayState.h"
#include "game/MoxScreens.h"

void MoxFillScreenTable(sMoxScreenTable& table)
{
    table.m_aCreators[STATE_EDITOR] = [] { return new CMoxEditState(); };
    table.m_aCreators[STATE_PLAY] = [] { return new CMoxPlayState(); };
    table.m_ChatCreator = [] { return new CMoxChat(); };
}
