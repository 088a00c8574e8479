// The menu's credits roll: the credits table scrolling up over the dimmed title, dragged
// by touch 0, fading out towards the bottom edge.
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "game/MoxMenuState.h"
#include "game/MoxScreenHelpers.h"

namespace
{
const float kRollOfHeight = 0.1f; // per second
const unsigned int kCreditsFlags = TEXT_CENTRE_X | 0x200u;

unsigned int CreditsFlags(int i)
{
    return CREDITS[i].id == CREDITS_TAG_CLOSING ? kCreditsFlags | TEXT_SCALE_THREE_QUARTERS : kCreditsFlags;
}
} // namespace

unsigned int CMoxMenuState::CreditsAlpha(float y, float w, float h)
{
    const float fFadeFrom = h - 3.0f * (w / 15.0f);
    const float a = 1.0f - 5.0f * (y - fFadeFrom) / fFadeFrom;
    if (a > 1.0f)
        return 255;
    if (a < 0.0f)
        return 0;
    return (unsigned int)(a * 255.0f);
}

void CMoxMenuState::RenderCredits()
{
    if (!m_pGame || !m_pRenderer)
        return;
    CKorvelBitmapFont* pFont = m_pGame->GetContext().pfntGameFonts;
    if (!pFont)
    {
        // Without the game's font there is nothing to roll.
        EndCredits();
        return;
    }
    if (IKorvelGraphicsContext* pContext = m_pRenderer->GetGraphicsContext())
        pContext->Fade(nullptr, 0.2f);

    const float w = m_pRenderer->GetScreenWidth(), h = m_pRenderer->GetScreenHeight();
    const float L = (float)pFont->GetLineHeight();
    const unsigned int uNow = MoxTimerMilliseconds(m_pGame);
    m_uCurrentTick = uNow;
    const unsigned int uElapsed = uNow - m_uLastTick;
    m_uLastTick = uNow;

    if (!m_bCreditsDragging)
        m_fCreditsOffset += (float)uElapsed / 1000.0f * h * -kRollOfHeight;
    if (m_fCreditsOffset > 0.0f)
        m_fCreditsOffset = 0.0f;
    float afTops[CREDITS_COUNT], afHeights[CREDITS_COUNT];
    const float fEnd = -(LayOutCredits(h - w / 15.0f + m_fCreditsOffset - L, L, afTops, afHeights) + h);
    if (m_fCreditsOffset < fEnd)
    {
        m_fCreditsOffset = fEnd;
        EndCredits();
        return;
    }

    for (int i = 0; i < CREDITS_COUNT; ++i)
    {
        const float y = afTops[i];
        if (y + afHeights[i] <= -0.5f * L || y >= h)
            continue;
        const unsigned int uAlpha = CreditsAlpha(y, w, h);
        m_pRenderer->DrawShadowedText(0, (int)y, CREDITS[i].name, (uAlpha << 24) | 0xFFFFFFu, CreditsFlags(i),
                                      FONT_MAIN);
    }
}

float CMoxMenuState::LayOutCredits(float fTop, float L, float* afTops, float* afHeights)
{
    // A line too wide for the screen wraps: it takes the rows it needs, and the next line
    // starts below them.
    float fTotal = 0.0f;
    for (int i = 0; i < CREDITS_COUNT; ++i)
    {
        int iWidth = 0, iWrapped = 0;
        m_pRenderer->WrappedTextSize(CREDITS[i].name, FONT_MAIN, iWidth, iWrapped, CreditsFlags(i));
        afHeights[i] = (float)iWrapped > L ? (float)iWrapped : L;
        afTops[i] = fTop + fTotal;
        fTotal += afHeights[i];
    }
    return fTotal;
}
