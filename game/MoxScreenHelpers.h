// What the game's screens share: the root state's step clock as it was last read (every
// Update of the root state reads it first), the title picture drawn behind the menus,
// and the centre of a screen quad for a rectangle.
#pragma once

#include "Framework/VornLanguage.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "Korvel3D/Korvel3DColor.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

inline unsigned int MoxTimerMilliseconds(CStateGame* pGame)
{
    const int iMs = pGame ? pGame->m_StepTimer.GetElapsedMilliseconds() : 0;
    return iMs > 0 ? (unsigned int)iMs : 0u;
}

// The title picture centred on the screen, half size (h, h/2).
inline void MoxRenderTitle(CStateGame* pGame, CMoxRenderer* pRenderer)
{
    if (!pGame || !pRenderer)
        return;
    const float w = pRenderer->GetScreenWidth(), h = pRenderer->GetScreenHeight();
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
