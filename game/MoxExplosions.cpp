// Explosions: sixteen frames of a 4 x 4 sheet at 20 frames a second, in the world.
#include "Korvel3D/Korvel3DColor.h"
#include "game/MoxParticles.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

void CMoxExplosionManager::Create(const CKorvelVector2& position, float fSize, int, unsigned int uColour)
{
    CMoxExplosion* e = new CMoxExplosion();
    e->m_vPosition = position;
    e->m_vHalfSize.Set(fSize, fSize);
    e->m_iFrame = 0;
    e->m_fTime = 0.0f;
    e->m_uColour = uColour;
    m_Explosions.Add(e);
}

void CMoxExplosionManager::Update(float fSeconds)
{
    int i = 0;
    while (i < m_Explosions.GetCount())
    {
        CMoxExplosion* e = m_Explosions[i];
        e->m_fTime += fSeconds;
        e->m_iFrame = (int)(e->m_fTime * (float)FRAMES_PER_SECOND);
        if (e->m_iFrame > LAST_FRAME)
        {
            // The next explosion moves into this slot and is looked at next.
            m_Explosions.RemoveAt(i);
            delete e;
            continue;
        }
        ++i;
    }
}

void CMoxExplosionManager::Render()
{
    CMoxRenderer* pRenderer = m_pGame ? m_pGame->GetRenderer() : nullptr;
    if (!pRenderer)
        return;
    CKorvelSurface* pSheet = m_pGame->GetContext().psrfGameTextures[TEXTURE_SHEET];
    for (int i = 0; i < m_Explosions.GetCount(); ++i)
    {
        const CMoxExplosion* e = m_Explosions[i];
        pRenderer->renderWorldAnimation(e->m_vPosition, e->m_vHalfSize, CKorvel3DColor(e->m_uColour),
                                        e->m_iFrame % SHEET_COLUMNS, e->m_iFrame / SHEET_COLUMNS,
                                        SHEET_COLUMNS, SHEET_ROWS, pSheet);
    }
}

void CMoxExplosionManager::Clear()
{
    for (int i = 0; i < m_Explosions.GetCount(); ++i)
        delete m_Explosions[i];
    m_Explosions.Clear();
}
