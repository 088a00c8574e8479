// The chat overlay: messages, their ageing and their bubbles.
#include "game/MoxChat.h"

#include "Framework/Shell/VornApplication.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

CChatMessage::CChatMessage()
    : m_pText(nullptr), m_pSender(nullptr), m_vPosition(0.0f, 0.0f), m_vTarget(0.0f, 0.0f), m_fLife(0.0f),
      m_uColour(0xFF808080u), m_uFlags(0)
{
}

CChatMessage::~CChatMessage()
{
    delete m_pText;
    delete m_pSender;
}

sMoxChatBubble MoxChatBubbleLayout(CKorvelVector2 textSize, CKorvelVector2 position, CKorvelVector2 target,
                                   CKorvelVector2 screen, float c)
{
    sMoxChatBubble bubble;
    const float hw = 0.5f * textSize.x, hh = 0.5f * textSize.y;
    const float fMargin = 0.05f * screen.x;
    const float fLowest = 0.85f * screen.y;
    const float x = position.x >= 0.5f * screen.x ? screen.x - fMargin - hw : fMargin + hw;
    float y = position.y;
    if (y - hh < 0.0f)
        y = hh;
    if (y + hh > fLowest)
        y = fLowest - hh;
    bubble.centre = CKorvelVector2(x, y);
    bubble.half = CKorvelVector2(hw, hh);

    const bool bRight = target.x - position.x >= 0.0f;
    const bool bDown = target.y - position.y >= 0.0f;
    const float xl = x - hw - c, xr = x + hw + c, yt = y - hh, yb = y + hh;
    const sMoxChatBubble::sTile tiles[sMoxChatBubble::TILE_COUNT] = {
        {{xl, yt}, {c, c}, 0, 0, !bRight && !bDown},
        {{xr, yt}, {c, c}, 2, 0, bRight && !bDown},
        {{xl, yb}, {c, c}, 0, 2, !bRight && bDown},
        {{xr, yb}, {c, c}, 2, 2, bRight && bDown},
        {{xl, y}, {c, hh - c}, 0, 1, false},
        {{xr, y}, {c, hh - c}, 2, 1, false},
        {{x, yt}, {hw, c}, 1, 0, false},
        {{x, yb}, {hw, c}, 1, 2, false},
        {{x, y}, {hw, hh - c}, 1, 1, false},
    };
    for (int i = 0; i < sMoxChatBubble::TILE_COUNT; ++i)
        bubble.tiles[i] = tiles[i];
    return bubble;
}

CMoxChat::CMoxChat() : m_pGame(nullptr) {}

CMoxChat::~CMoxChat()
{
    Clear();
}

int CMoxChat::Startup(CStateGame* pGame)
{
    m_pGame = pGame;
    return 1;
}

void CMoxChat::AddMessage(const CKorvelString& strText, const CKorvelString& strSender, unsigned int uColour,
                          const CKorvelVector2& vPosition, const CKorvelVector2& vTarget, unsigned int uFlags)
{
    if (!strText.GetLength())
        return;
    if (m_Messages.GetCount() >= MAX_MESSAGES)
    {
        delete m_Messages[0];
        m_Messages.RemoveAt(0);
    }
    CChatMessage* pMessage = new CChatMessage();
    pMessage->m_pText = new CKorvelString();
    // A tiny bubble would leave no room for its tiles.
    if (strText.GetLength() < 3)
    {
        pMessage->m_pText->Set("  ");
        pMessage->m_pText->Add(strText);
        pMessage->m_pText->Add(CKorvelString("  "));
    }
    else
        pMessage->m_pText->Set(strText);
    pMessage->m_pSender = new CKorvelString(strSender);
    pMessage->m_uColour = uColour;
    pMessage->m_vPosition = vPosition;
    pMessage->m_vTarget = vTarget;
    pMessage->m_uFlags = uFlags;
    pMessage->m_fLife = MESSAGE_LIFE;
    m_Messages.Add(pMessage);
}

void CMoxChat::Update(float fSeconds)
{
    for (int i = 0; i < m_Messages.GetCount();)
    {
        CChatMessage* pMessage = m_Messages[i];
        if (pMessage->m_fLife > 0.0f)
        {
            pMessage->m_fLife -= fSeconds;
            ++i;
            continue;
        }
        m_Messages.RemoveAt(i);
        delete pMessage;
    }
}

void CMoxChat::Clear()
{
    for (int i = 0; i < m_Messages.GetCount(); ++i)
        delete m_Messages[i];
    m_Messages.Clear();
}

void CMoxChat::Render()
{
    CKorvelBitmapFont* pFont = m_pGame ? m_pGame->GetContext().pfntGameFonts : nullptr;
    CMoxRenderer* pRenderer = m_pGame ? m_pGame->GetRenderer() : nullptr;
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    if (!pFont || !pRenderer || !pApp)
        return;
    IKorvelGraphicsContext* pContext = pRenderer->GetGraphicsContext();
    if (!pContext)
        pContext = pApp->GetBack();
    const CKorvelVector2 screen(pRenderer->GetScreenWidth(), pRenderer->GetScreenHeight());
    const float fTile = 0.3f * (float)pFont->GetLineHeight();
    const int iWrap = pContext ? (int)(0.6f * (float)pContext->GetWidth()) : (int)(0.6f * screen.x);
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    const CKorvel3DColor white(0xFFFFFFFFu);
    for (int i = 0; i < m_Messages.GetCount(); ++i)
    {
        const CChatMessage* pMessage = m_Messages[i];
        CKorvelRect<int> rect(0, 0, iWrap, 0);
        pFont->CalcRect(rect, *pMessage->m_pText);
        const sMoxChatBubble bubble =
            MoxChatBubbleLayout(CKorvelVector2((float)rect.GetWidth(), (float)rect.GetHeight()),
                                pMessage->m_vPosition, pMessage->m_vTarget, screen, fTile);
        for (const sMoxChatBubble::sTile& tile : bubble.tiles)
            pRenderer->renderScreenAnimation(tile.centre, tile.half, white, tile.column, tile.row, 3, 3,
                                             apTextures[tile.pointer ? TEXTURE_POINTER : TEXTURE_BUBBLE]);
        pRenderer->DrawShadowedText((int)bubble.centre.x, (int)bubble.centre.y, *pMessage->m_pText,
                                    0xFFFFFFFFu, TEXT_LEFT_HALF | TEXT_UP_HALF, FONT_MAIN);
    }
}
