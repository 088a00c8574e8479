// Text in the game's font with a black shadow below it.
#include "game/MoxRenderer.h"

#include "Framework/Shell/VornApplication.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "game/StateGame.h"

namespace
{
// Wider than any line of the game, so that measuring never wraps one.
const int kMeasureWidth = 4096;
// Text drawn at a point wraps at this share of the screen's width.
const float kWrapShare = 0.6f;

float FlaggedScale(float fScale, unsigned int uFlags)
{
    if (uFlags & TEXT_SCALE_HALF)
        return 0.5f * fScale;
    if (uFlags & TEXT_SCALE_THREE_QUARTERS)
        return 0.75f * fScale;
    return fScale;
}
} // namespace

CKorvelBitmapFont* CMoxRenderer::GameFont(GAME_FONT eFont)
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pApp || eFont < 0 || eFont >= GAME_FONT_COUNT)
        return nullptr;
    CKorvelBitmapFont*& pFont = m_pGame->GetContext().pfntGameFonts;
    if (!pFont)
        pFont = pApp->GetFont(GAME_FONTS[eFont].name);
    return pFont;
}

void CMoxRenderer::DrawShadowedText(const CKorvelRect<int>& rect, const CKorvelString& strText,
                                    unsigned int uColour, unsigned int uFlags, GAME_FONT eFont)
{
    CKorvelBitmapFont* pFont = GameFont(eFont);
    IKorvelGraphicsContext* pTarget = pFont ? m_pGame->GetApp()->GetBack() : nullptr;
    if (!pTarget)
        return;
    const float fScale = pFont->GetFontScale();
    pFont->SetFontScale(FlaggedScale(fScale, uFlags));
    CKorvelRect<int> shadow = rect;
    const int iDrop = (int)(4.0f * fScale);
    shadow.top += iDrop;
    shadow.bottom += iDrop;
    pFont->DrawText(shadow, *pTarget, strText, uColour & 0xFF000000u, TEXT_DRAW_FLAGS, nullptr);
    pFont->DrawText(rect, *pTarget, strText, uColour, TEXT_DRAW_FLAGS, nullptr);
    pFont->SetFontScale(fScale);
}

void CMoxRenderer::DrawShadowedText(int x, int y, const CKorvelString& strText, unsigned int uColour,
                                    unsigned int uFlags, GAME_FONT eFont)
{
    IKorvelGraphicsContext* pTarget = GameFont(eFont) ? m_pGame->GetApp()->GetBack() : nullptr;
    if (!pTarget)
        return;
    int w = 0, h = 0;
    WrappedTextSize(strText, eFont, w, h, uFlags);
    if (uFlags & TEXT_CENTRE_X)
        x = pTarget->GetWidth() / 2 - (int)(w / 2);
    if (uFlags & TEXT_CENTRE_Y)
        y = pTarget->GetHeight() / 2 - (int)(h / 2);
    if (uFlags & TEXT_LEFT_HALF)
        x -= (int)(w / 2);
    if (uFlags & TEXT_LEFT_WHOLE)
        x -= w;
    if (uFlags & TEXT_UP_HALF)
        y -= (int)(h / 2);
    if (uFlags & TEXT_UP_WHOLE)
        y -= h;
    DrawShadowedText(CKorvelRect<int>(x, y, x + w, y + h), strText, uColour, uFlags, eFont);
}

int CMoxRenderer::WrapWidth(IKorvelGraphicsContext* pTarget, IKorvelGraphicsContext* pExtension)
{
    return (int)(kWrapShare * (float)(pExtension ? pExtension->GetWidth() : pTarget->GetWidth()));
}

void CMoxRenderer::WrappedTextSize(const CKorvelString& strText, GAME_FONT eFont, int& iWidth, int& iHeight,
                                   unsigned int uFlags)
{
    iWidth = iHeight = 0;
    CKorvelBitmapFont* pFont = GameFont(eFont);
    IKorvelGraphicsContext* pTarget = pFont ? m_pGame->GetApp()->GetBack() : nullptr;
    if (!pTarget)
        return;
    const float fScale = pFont->GetFontScale();
    pFont->SetFontScale(FlaggedScale(fScale, uFlags));
    CKorvelRect<int> rect(0, 0, WrapWidth(pTarget, GetGraphicsContext()), 0);
    pFont->CalcRect(rect, strText);
    pFont->SetFontScale(fScale);
    iWidth = rect.GetWidth();
    iHeight = rect.GetHeight();
}

int CMoxRenderer::TextWidth(const CKorvelString& strText, GAME_FONT eFont)
{
    CKorvelBitmapFont* pFont = GameFont(eFont);
    if (!pFont)
        return 0;
    CKorvelRect<int> rc(0, 0, kMeasureWidth, 0);
    pFont->CalcRect(rc, strText);
    return rc.GetWidth();
}
