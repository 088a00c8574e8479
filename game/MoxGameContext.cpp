#include "game/MoxGameContext.h"

CMoxGameContext::CMoxGameContext() : pfntGameFonts(nullptr), m_iBlockCounter(32), m_iEventCounter(0)
{
    for (CKorvelSurface*& pSurface : psrfGameTextures)
        pSurface = nullptr;
    for (CKorvelSoundWave*& pWave : psndGameSounds)
        pWave = nullptr;
    MoxFillScreenTable(m_ScreenTable);
}
