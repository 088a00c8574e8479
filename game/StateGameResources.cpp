// The game's pictures, sounds and font in the context's slots, sound and music, the
// mute button in the top right corner and the training progress keys.
#include "game/StateGame.h"

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornStatistics.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "game/MoxRenderer.h"

namespace
{
CKorvelString SceneKey(int iScene)
{
    CKorvelString strKey;
    strKey.Format(L"scene_%d_cleared", iScene);
    return strKey;
}
} // namespace

void CStateGame::InitResources()
{
    for (CKorvelSurface*& pSurface : m_Context.psrfGameTextures)
        pSurface = nullptr;
    for (CKorvelSoundWave*& pWave : m_Context.psndGameSounds)
        pWave = nullptr;
}

void CStateGame::PreloadResources(unsigned int uWithSounds)
{
    if (!m_pApp)
        return;
    m_pApp->ResetInactivityTime();
    if (m_bResourcesLoaded)
        return;
    const int i = m_iPreloadIndex;
    if (i < GAME_TEXTURE_COUNT)
    {
        // The battle backgrounds come from the player's items; a slot already filled (the
        // menu's own pictures) keeps its one reference.
        if (i != TEXTURE_BACKGROUND_BATTLE && i != TEXTURE_BACKGROUND_UNIQUE &&
            !m_Context.psrfGameTextures[i])
            m_Context.psrfGameTextures[i] = m_pApp->GetSurface(GAME_TEXTURES[i].name);
        m_iPreloadIndex = i + 1;
        return;
    }
    const int iSound = i - GAME_TEXTURE_COUNT;
    if (uWithSounds && iSound < GAME_SOUND_COUNT)
    {
        if (!m_Context.psndGameSounds[iSound])
            m_Context.psndGameSounds[iSound] = m_pApp->GetSound(GAME_SOUNDS[iSound].name, 0, 0);
        m_iPreloadIndex = i + 1;
        return;
    }
    m_bResourcesLoaded = 1;
    m_iPreloadIndex = 0;
    if (!m_Context.pfntGameFonts)
        m_Context.pfntGameFonts = m_pApp->GetFont(GAME_FONTS[FONT_MAIN].name);
}

void CStateGame::UnloadResources(unsigned int uWithSounds)
{
    if (m_pApp)
    {
        for (CKorvelSurface*& pSurface : m_Context.psrfGameTextures)
        {
            m_pApp->ReleaseSurface(pSurface);
            pSurface = nullptr;
        }
        if (uWithSounds)
            for (CKorvelSoundWave*& pWave : m_Context.psndGameSounds)
            {
                m_pApp->ReleaseSound(pWave);
                pWave = nullptr;
            }
    }
    // The font stays with the resource manager.
    m_Context.pfntGameFonts = nullptr;
    m_iPreloadIndex = 0;
    m_bResourcesLoaded = 0;
}

void CStateGame::RefreshTextures()
{
    if (!m_bResourcesLoaded || !m_pApp)
        return;
    m_pApp->ResetInactivityTime();
    for (int i = 0; i < GAME_TEXTURE_COUNT; ++i)
        if (!m_Context.psrfGameTextures[i])
            m_Context.psrfGameTextures[i] = m_pApp->GetSurface(GAME_TEXTURES[i].name);
}

void CStateGame::PlayGameSound(GAME_SOUND eSound, unsigned int uFlags, int iFrequency)
{
    if (!m_pApp || eSound < 0 || eSound >= GAME_SOUND_COUNT)
        return;
    CMoxPlayStateBase* pPlay = GetPlayState();
    if ((pPlay && pPlay->m_bSimulating) || m_pApp->IsSoundMute())
        return;
    CKorvelSoundWave*& pSlot = m_Context.psndGameSounds[eSound];
    if (!pSlot)
        pSlot = m_pApp->GetSound(GAME_SOUNDS[eSound].name, 0, 0);
    // A sound still decoding on its loader thread is left alone until it is ready.
    if (!pSlot || !m_pApp->IsSoundReady(pSlot))
        return;
    if (pSlot->IsPlaying(0))
        return;
    if (iFrequency > 0)
        pSlot->SetFrequency((unsigned int)iFrequency, 0);
    pSlot->RePlay(uFlags, 0, 0);
}

void CStateGame::PlayMusic(GAME_SONG eSong)
{
    if (!m_pApp || eSong < 0 || eSong >= GAME_SONG_COUNT)
        return;
    CKorvelString strPath;
    IKorvelApplication::BuildFilepath(strPath, GAME_SONGS[eSong].name);
    m_pApp->PlayMusic(strPath, 1);
}

void CStateGame::InitVolume()
{
    const float w = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const float s = w / 25.0f;
    // The top right corner; the lobby's layout keeps its vorn button left of it.
    m_rcMute.Set(w - 2.0f * s, 0.0f, w, 2.0f * s);
}

int CStateGame::HandleVolume()
{
    const sTouch& touch = m_Context.MultiTouch.m_Touches[0];
    const bool bInside = touch.position.x >= m_rcMute.left && touch.position.x <= m_rcMute.right &&
                         touch.position.y >= m_rcMute.top && touch.position.y <= m_rcMute.bottom;
    if (touch.down)
        return bInside && touch.pressed ? 1 : 0;
    if (!bInside || !touch.released || !m_pApp)
        return 0;
    if (!m_pApp->IsSoundMute() || !m_pApp->IsMusicMute())
        m_pApp->MuteAll(1);
    else
        m_pApp->MuteAll(0);
    return 1;
}

void CStateGame::RenderVolume()
{
    if (!m_pApp || !m_pRenderer)
        return;
    const bool bMuted = m_pApp->IsSoundMute() && m_pApp->IsMusicMute();
    CKorvelSurface* pFace = m_Context.psrfGameTextures[bMuted ? TEXTURE_MUTE_ON : TEXTURE_MUTE_OFF];
    const CKorvelVector2 centre((m_rcMute.left + m_rcMute.right) * 0.5f,
                                (m_rcMute.top + m_rcMute.bottom) * 0.5f);
    const CKorvelVector2 half(m_rcMute.GetWidth() * 0.5f, m_rcMute.GetHeight() * 0.5f);
    m_pRenderer->renderScreenQuad(centre, half, pFace, CKorvel3DColor(1.0f, 1.0f, 1.0f, 1.0f));
}

int CStateGame::IsSceneCleared(int iScene)
{
    CVornStatistics* pStats = m_pApp ? m_pApp->GetStatistics() : nullptr;
    return pStats && pStats->GetProperty(SceneKey(iScene)) ? 1 : 0;
}

void CStateGame::SetSceneCleared(int iScene)
{
    CVornStatistics* pStats = m_pApp ? m_pApp->GetStatistics() : nullptr;
    if (!pStats)
        return;
    bool bAdded = false;
    CVornStatisticsProperty* pProperty = pStats->FindOrAddProperty(SceneKey(iScene), &bAdded);
    if (!pProperty)
        return;
    pProperty->SetBool(1);
    if (bAdded)
        pStats->WriteStatistics();
}
