#include "game/MoxGameContext.h"

CMoxGameContext::CMoxGameContext() : pfntGameFonts(nullptr)
{
    for (CKorvelSurface*& pSurface : psrfGameTextures)
        pSurface = nullptr;
    for (CKorvelSoundWave*& pWave : psndGameSounds)
        pWave = nullptr;
    MoxFillScreenTable(m_ScreenTable);
}
