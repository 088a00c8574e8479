// A match's background sound: one loop kept playing, a common sound at a random moment
// every 7 to 15 seconds and a rare one every 20 to 30 seconds, all started through the
// root state so that muting and loading rules apply.
#pragma once

#include "KorvelCommon/KorvelArray.h"
#include "game/MoxTables.h"

class CStateGame;

class CMoxAmbientPlayer
{
public:
    CMoxAmbientPlayer();
    // Stops the common and rare sounds; the loop plays out.
    ~CMoxAmbientPlayer();

    // Draws both waits, rare first.
    void Startup(CStateGame* pGame);
    void AddCommonSound(GAME_SOUND eSound) { m_aCommonSounds.Add(eSound); }
    void AddRareSound(GAME_SOUND eSound) { m_aRareSounds.Add(eSound); }
    void SetAmbientLoop(GAME_SOUND eSound) { m_eAmbientLoop = eSound; }
    void RandomizeNextCommonSoundCounter();
    void RandomizeNextRareSoundCounter();
    // At most one common and one rare sound start per call, however long dt is.
    void Update(float fSeconds);
    void StopAll();

    CKorvelArray<GAME_SOUND> m_aRareSounds;
    CKorvelArray<GAME_SOUND> m_aCommonSounds;
    GAME_SOUND m_eAmbientLoop;
    CStateGame* m_pGame;
    float m_fNextRare;   // seconds
    float m_fNextCommon; // seconds

private:
    // Plays one of the list when its wait has run out; then draws a new wait.
    void PlayFromList(const CKorvelArray<GAME_SOUND>& aSounds, float& fWait, float fMin, float fMax);
    void StopList(const CKorvelArray<GAME_SOUND>& aSounds);

    CMoxAmbientPlayer(const CMoxAmbientPlayer&) = delete;
    CMoxAmbientPlayer& operator=(const CMoxAmbientPlayer&) = delete;
};

// The match's player: the three common and three rare ambient sounds and the loop,
// started on the game.
CMoxAmbientPlayer* MoxCreateMatchAmbience(CStateGame* pGame);
