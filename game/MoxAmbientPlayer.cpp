// The ambient sound of a match.
#include "game/MoxAmbientPlayer.h"

#include "Framework/Shell/VornApplication.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "game/StateGame.h"

CMoxAmbientPlayer::CMoxAmbientPlayer()
    : m_eAmbientLoop(SOUND_BUTTON_DOWN), m_pGame(nullptr), m_fNextRare(10.0f), m_fNextCommon(10.0f)
{
}

CMoxAmbientPlayer::~CMoxAmbientPlayer()
{
    StopAll();
    m_aCommonSounds.RemoveAll();
    m_aRareSounds.RemoveAll();
}

void CMoxAmbientPlayer::Startup(CStateGame* pGame)
{
    m_pGame = pGame;
    RandomizeNextRareSoundCounter();
    RandomizeNextCommonSoundCounter();
}

void CMoxAmbientPlayer::RandomizeNextCommonSoundCounter()
{
    if (m_pGame && m_pGame->GetApp())
        m_fNextCommon = m_pGame->GetApp()->RandFloat(7.0f, 15.0f);
}

void CMoxAmbientPlayer::RandomizeNextRareSoundCounter()
{
    if (m_pGame && m_pGame->GetApp())
        m_fNextRare = m_pGame->GetApp()->RandFloat(20.0f, 30.0f);
}

void CMoxAmbientPlayer::PlayFromList(const CKorvelArray<GAME_SOUND>& aSounds, float& fWait, float fMin,
                                     float fMax)
{
    if (fWait > 0.0f)
        return;
    CVornApplication* pApp = m_pGame->GetApp();
    if (aSounds.GetCount() > 0)
        m_pGame->PlayGameSound(aSounds[pApp->RandInt(0, aSounds.GetCount() - 1)], 0, 0);
    // The overshoot is dropped: after a long pause the next sound still waits a full draw.
    fWait = pApp->RandFloat(fMin, fMax);
}

void CMoxAmbientPlayer::Update(float fSeconds)
{
    m_fNextCommon -= fSeconds;
    m_fNextRare -= fSeconds;
    if (!m_pGame || !m_pGame->GetApp())
        return;
    PlayFromList(m_aCommonSounds, m_fNextCommon, 7.0f, 15.0f);
    PlayFromList(m_aRareSounds, m_fNextRare, 20.0f, 30.0f);
    m_pGame->PlayGameSound(m_eAmbientLoop, 0, 0);
}

void CMoxAmbientPlayer::StopList(const CKorvelArray<GAME_SOUND>& aSounds)
{
    CVornApplication* pApp = m_pGame->GetApp();
    CKorvelSoundWave** apSounds = m_pGame->GetContext().psndGameSounds;
    for (int i = 0; i < aSounds.GetCount(); ++i)
    {
        const GAME_SOUND eSound = aSounds[i];
        if (eSound < 0 || eSound >= GAME_SOUND_COUNT)
            continue;
        CKorvelSoundWave*& pSlot = apSounds[eSound];
        if (!pSlot)
            pSlot = pApp->GetSound(GAME_SOUNDS[eSound].name, 0, 0);
        // A wave still loading has no voice playing and must not be touched yet.
        if (pSlot && pApp->IsSoundReady(pSlot))
            pSlot->Stop(0);
    }
}

void CMoxAmbientPlayer::StopAll()
{
    if (!m_pGame || !m_pGame->GetApp())
        return;
    StopList(m_aCommonSounds);
    StopList(m_aRareSounds);
}

CMoxAmbientPlayer* MoxCreateMatchAmbience(CStateGame* pGame)
{
    CMoxAmbientPlayer* pPlayer = new CMoxAmbientPlayer();
    for (int i = 0; i < 3; ++i)
    {
        pPlayer->AddCommonSound(GAME_SOUND(SOUND_AMBIENT_COMMON_0 + i));
        pPlayer->AddRareSound(GAME_SOUND(SOUND_AMBIENT_RARE_0 + i));
    }
    pPlayer->SetAmbientLoop(SOUND_AMBIENT_LOOP);
    pPlayer->Startup(pGame);
    return pPlayer;
}
