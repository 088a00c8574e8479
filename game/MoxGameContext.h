// The game's shared state of one root state: the touch tracker, the loaded resources
// and the screen table. Every game object reaches it through the root state, so two
// root states in one process share nothing they change.
#pragma once

#include "game/MoxScreens.h"
#include "game/MoxTables.h"
#include "game/MultiTouch.h"

class CKorvelBitmapFont;
class CKorvelSoundWave;
class CKorvelSurface;

class CMoxGameContext
{
public:
    CMoxGameContext();

    CMultiTouch MultiTouch;
    CKorvelSurface* psrfGameTextures[GAME_TEXTURE_COUNT]; // by GAME_TEXTURES index; null: not loaded
    CKorvelSoundWave* psndGameSounds[GAME_SOUND_COUNT];   // by GAME_SOUND
    CKorvelBitmapFont* pfntGameFonts;                     // GAME_FONTS entry 0
    sMoxScreenTable m_ScreenTable;
    int m_iBlockCounter; // blocks created; a scene's Clear sets it back to 32
    int m_iEventCounter; // game events made; never reset, so a receiver sees distinct identifiers

private:
    CMoxGameContext(const CMoxGameContext&) = delete;
    CMoxGameContext& operator=(const CMoxGameContext&) = delete;
};
