// What the game's screens share: the root state's step clock as it was last read (every
// Update of the root state reads it first), their buttons and stars, the shared slots
// they fill, the title picture drawn behind the menus and the game's texts.
#pragma once

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "Korvel3D/Korvel3DColor.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "game/MoxButtons.h"
#include "game/MoxParticles.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

#include <initializer_list>

inline unsigned int MoxTimerMilliseconds(CStateGame* pGame)
{
    const int iMs = pGame ? pGame->m_StepTimer.GetElapsedMilliseconds() : 0;
    return iMs > 0 ? (unsigned int)iMs : 0u;
}

// The title picture centred on the screen, half size (h, h/2); a window wider than the
// picture is black beside it, not what it showed before.
inline void MoxRenderTitle(CStateGame* pGame, CMoxRenderer* pRenderer)
{
    if (!pGame || !pRenderer)
        return;
    const float w = pRenderer->GetScreenWidth(), h = pRenderer->GetScreenHeight();
    IKorvelGraphicsContext* pContext = pRenderer->GetGraphicsContext();
    if (w > 2.0f * h && pContext)
        pContext->Fill(0u, static_cast<const CKorvelRect<int>*>(nullptr));
    pRenderer->renderScreenQuad(CKorvelVector2(0.5f * w, 0.5f * h), CKorvelVector2(h, 0.5f * h),
                                pGame->GetContext().psrfGameTextures[TEXTURE_TITLE],
                                CKorvel3DColor(1.0f, 1.0f, 1.0f, 1.0f));
}

// The root state's language text, empty when there is none.
inline CKorvelString MoxGameText(CStateGame* pGame, int iNumber)
{
    CVornLanguage* pLanguage = pGame ? pGame->GetGameLanguage() : nullptr;
    return pLanguage ? CKorvelString(pLanguage->GetText(iNumber)) : CKorvelString();
}

// A started button manager reporting to the screen.
inline CMoxButtonManager* MoxNewButtons(CMoxRenderer* pRenderer, CMoxButtonListener* pListener)
{
    CMoxButtonManager* pButtons = new CMoxButtonManager();
    pButtons->Startup(pRenderer);
    pButtons->SetListener(pListener);
    return pButtons;
}

// The stars of the menus: a started system with that many wanderers.
inline CMoxParticleSystem* MoxNewParticles(CStateGame* pGame, int iCount)
{
    CMoxParticleSystem* pParticles = new CMoxParticleSystem();
    pParticles->Startup(pGame);
    for (int i = 0; i < iCount; ++i)
        pParticles->AddParticle(PARTICLE_STAR);
    return pParticles;
}

// Fills the empty texture slots of those indices (and the font slot when asked). A slot
// already filled keeps its one reference: the root state gives back one per slot.
inline void MoxFetchSlots(CStateGame* pGame, bool bFont, std::initializer_list<int> aiTextures)
{
    CVornApplication* pApp = pGame ? pGame->GetApp() : nullptr;
    if (!pApp)
        return;
    CMoxGameContext& context = pGame->GetContext();
    if (bFont && !context.pfntGameFonts)
        context.pfntGameFonts = pApp->GetFont(GAME_FONTS[FONT_MAIN].name);
    for (int i : aiTextures)
        if (i >= 0 && i < GAME_TEXTURE_COUNT && !context.psrfGameTextures[i])
            context.psrfGameTextures[i] = pApp->GetSurface(GAME_TEXTURES[i].name);
}
