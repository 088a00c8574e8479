// Chat lines shown as speech bubbles over the match for six seconds each. A bubble is
// nine tiles of a 3 x 3 sheet pinned to the left or right edge of the screen, with the
// pointer drawn in the corner that faces the speaker.
#pragma once

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "game/MoxScreens.h"

class CChatMessage
{
public:
    CChatMessage();
    ~CChatMessage();

    CKorvelString* m_pText;     // owned
    CKorvelString* m_pSender;   // owned
    CKorvelVector2 m_vPosition; // screen pixels: x picks the side, y the height
    CKorvelVector2 m_vTarget;   // the point the pointer faces
    float m_fLife;              // seconds left
    unsigned int m_uColour;     // ARGB; kept for callers, not drawn
    unsigned int m_uFlags;      // kept for callers, not drawn

private:
    CChatMessage(const CChatMessage&) = delete;
    CChatMessage& operator=(const CChatMessage&) = delete;
};

// Where the nine tiles of one bubble go.
struct sMoxChatBubble
{
    enum
    {
        TILE_COUNT = 9
    };
    struct sTile
    {
        CKorvelVector2 centre;
        CKorvelVector2 half;
        int column;
        int row;
        bool pointer; // drawn with the pointer picture
    };
    CKorvelVector2 centre;   // also where the text is centred
    CKorvelVector2 half;     // half the text's measured size
    sTile tiles[TILE_COUNT]; // in drawing order: four corners, left, right, top, bottom, centre
};

// The bubble of a text of that measured size (pixels) said at the position towards the
// target, on a screen of that size, with tiles of fTile pixels.
sMoxChatBubble MoxChatBubbleLayout(CKorvelVector2 textSize, CKorvelVector2 position, CKorvelVector2 target,
                                   CKorvelVector2 screen, float fTile);

class CMoxChat : public IMoxChat
{
public:
    enum
    {
        TEXTURE_BUBBLE = 62,
        TEXTURE_POINTER = 63
    };
    static constexpr float MESSAGE_LIFE = 6.0f;
    // Bubbles shown at once; a newer one drops the oldest, which it covers anyway, so that
    // chat arriving without pause cannot fill the memory or the frame.
    static constexpr int MAX_MESSAGES = 8;

    CMoxChat();
    ~CMoxChat() override;

    int Startup(CStateGame* pGame) override;
    void Handle() override {}
    void Update(float fSeconds) override;
    // An empty text adds nothing; texts under three characters get two spaces each side.
    void AddMessage(const CKorvelString& strText, const CKorvelString& strSender, unsigned int uColour,
                    const CKorvelVector2& vPosition, const CKorvelVector2& vTarget,
                    unsigned int uFlags) override;
    void Clear() override;
    // Draws nothing until the game's font is loaded; never loads it.
    void Render() override;

    int GetCount() const { return m_Messages.GetCount(); }
    CChatMessage* GetMessage(int iIndex) const { return m_Messages[iIndex]; }

private:
    CStateGame* m_pGame;
    CKorvelTypedPtrArray<CChatMessage> m_Messages; // owned, oldest first

    CMoxChat(const CMoxChat&) = delete;
    CMoxChat& operator=(const CMoxChat&) = delete;
};
