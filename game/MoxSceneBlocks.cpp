// The blocks' step: the wobble a hit gives, the drawn strength easing towards the real
// one, and the end of a timed change of material.
#include "game/MoxPhysics.h"
#include "game/MoxScene.h"

namespace
{
float ClampWobble(float f)
{
    return f < -0.1f ? -0.1f : (f > 0.1f ? 0.1f : f);
}
} // namespace

void CMoxScene::HandleBlocks(float fSeconds)
{
    if (!m_pBlocks)
        return;
    for (int i = 0; i < m_pBlocks->GetCount(); ++i)
    {
        CBlock* pBlock = m_pBlocks->GetAt(i);
        CBody* pBody = pBlock->m_pBody;
        CKorvelVector2& wobble = pBlock->m_vWobble;
        if (pBody)
        {
            wobble.x += 0.8f * pBody->m_vImpact.x;
            wobble.y += 0.8f * pBody->m_vImpact.y;
        }
        wobble.Scale(0.9f);
        wobble.y *= 0.7f;
        wobble.x = ClampWobble(wobble.x);
        wobble.y = ClampWobble(wobble.y);

        pBlock->m_iShownStrength += (int)((float)(pBlock->m_iStrength - pBlock->m_iShownStrength) * 0.1f);

        if (!pBlock->m_bEffectRunning)
            continue;
        pBlock->m_fEffectTime += fSeconds;
        if (pBlock->m_fEffectTime > 0.0f)
        {
            pBlock->m_uVariant = pBlock->m_uSavedVariant;
            pBlock->m_iMaterial = (signed char)pBlock->m_uSavedMaterial;
            pBlock->m_iStrength = pBlock->m_iSavedStrength;
            if (pBody)
            {
                pBody->m_fFriction = pBlock->m_fSavedFriction;
                pBody->m_fBounce = pBlock->m_fSavedBounce;
            }
            pBlock->m_bEffectRunning = 0;
        }
    }
}
