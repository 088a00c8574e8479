// The match screen's button layout. Positions are button centres in pixels, y down.
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"

namespace
{
// GAME_TEXTURES indices of the buttons' pictures.
enum : int
{
    TEXTURE_EXITS = 11,
    TEXTURE_BOMB_SNOW = 21,
    TEXTURE_BOMB_CLUSTER = 22,
    TEXTURE_BOMB_NONE = 23,
    TEXTURE_QUIT_YES = 25,
    TEXTURE_QUIT_NO = 26,
    TEXTURE_JUMP0 = 49,
    TEXTURE_BOMB0 = 50,
    TEXTURE_WHIP0 = 51,
    TEXTURE_OWN_INDEX_STEP = 3, // the pictures of player 1 follow those of player 0
    TEXTURE_BOMB_STICKY = 55,
    TEXTURE_NEXT_ROUND = 60,
    TEXTURE_CHAT = 64,
    TEXTURE_RESTART = 66
};
} // namespace

void CMoxPlayState::OnScreenChanged(int, int)
{
    if (!m_pButtons)
        return;
    // Shown, dimmed, held and pictured as before: the turn, the quit question or the ▶
    // must not go with a resized window.
    struct sKept
    {
        bool bKept;
        unsigned int bVisible, bDimmed, bEnabled, bTouched;
        int iTexture;
        BUTTON_STATE eState;
        float fPressScale;
    } aKept[PLAY_BUTTON_COUNT] = {};
    for (int iID = 0; iID < PLAY_BUTTON_COUNT; ++iID)
        if (const CMoxButton* b = m_pButtons->GetButtonByID(iID))
            aKept[iID] = {true,          b->m_bVisible, b->m_bDimmed, b->m_bEnabled,
                          b->m_bTouched, b->m_iTexture, b->m_eState,  b->m_fPressScale};
    CPlayer* pOwn = m_pLiveScene && m_iOwnPlayer >= 0 && m_iOwnPlayer <= 1
                        ? &m_pLiveScene->m_Players[m_iOwnPlayer]
                        : nullptr;
    const int iAction = pOwn ? pOwn->m_iSelectedAction : 0;
    // Before the match starts there is no weapon row to lay out.
    InitControls(m_pButtons->GetButtonByID(PLAY_BUTTON_JUMP) ? 1 : 0);
    if (pOwn)
        pOwn->m_iSelectedAction = iAction;
    for (int iID = 0; iID < PLAY_BUTTON_COUNT; ++iID)
    {
        CMoxButton* b = m_pButtons->GetButtonByID(iID);
        if (!b || !aKept[iID].bKept)
            continue;
        b->m_bVisible = aKept[iID].bVisible;
        b->m_bDimmed = aKept[iID].bDimmed;
        b->m_bEnabled = aKept[iID].bEnabled;
        b->m_bTouched = aKept[iID].bTouched;
        b->m_iTexture = aKept[iID].iTexture;
        b->m_eState = aKept[iID].eState;
        b->m_fPressScale = aKept[iID].fPressScale;
    }
}

void CMoxPlayState::InitControls(unsigned int uFull)
{
    if (!m_pButtons)
        return;
    m_pButtons->Clear();
    for (CKorvelRect<float>& rc : m_rcButtons)
        rc.Set(0.0f, 0.0f, 0.0f, 0.0f);
    const float W = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const float H = m_pRenderer ? m_pRenderer->GetScreenHeight() : 0.0f;
    const float u = W / 30.0f;
    const CKorvelVector2 small(u, u), large(W / 20.0f, W / 20.0f), big(W / 15.0f, W / 15.0f);
    const bool bTraining = m_bSinglePlayer != 0;
    const int iOwnStep = m_iOwnPlayer == 1 ? TEXTURE_OWN_INDEX_STEP : 0;

    const auto Add =
        [this](int iID, float x, float y, const CKorvelVector2& half, int iTexture, bool bVisible)
    {
        CMoxButton* pButton = m_pButtons->AddButton(CKorvelVector2(x, y), half, iTexture, iID, 0);
        pButton->m_bVisible = bVisible ? 1 : 0;
        m_rcButtons[iID] = pButton->m_rcHit;
        return pButton;
    };

    const float fBottom = H - 1.2f * u;
    Add(PLAY_BUTTON_QUIT_YES, 0.4f * W, 0.6f * H, large, TEXTURE_QUIT_YES, false);
    Add(PLAY_BUTTON_QUIT_NO, 0.6f * W, 0.6f * H, large, TEXTURE_QUIT_NO, false);
    Add(PLAY_BUTTON_QUIT, bTraining ? 0.4f * W : 0.5f * W, fBottom, small, TEXTURE_EXITS, true);
    if (bTraining)
        Add(PLAY_BUTTON_RESTART, 0.6f * W, fBottom, small, TEXTURE_RESTART, true);
    Add(PLAY_BUTTON_UNUSED, bTraining ? 0.6f * W : 0.5f * W, fBottom, small, TEXTURE_NEXT_ROUND, false);
    if (uFull)
    {
        Add(PLAY_BUTTON_CHAT_LEFT, u, H - u, small, TEXTURE_CHAT, false);
        Add(PLAY_BUTTON_CHAT_RIGHT, W - u, H - u, small, TEXTURE_CHAT, false);
        const float y = 1.5f * u;
        Add(PLAY_BUTTON_JUMP, 0.5f * W - 6.0f * u, y, small, TEXTURE_JUMP0 + iOwnStep, true);
        Add(PLAY_BUTTON_WHIP, 0.5f * W - 3.0f * u, y, small, TEXTURE_WHIP0 + iOwnStep, true);
        Add(PLAY_BUTTON_FIRE, 0.5f * W, y, small, TEXTURE_BOMB0 + iOwnStep, true);
        Add(PLAY_BUTTON_STICKY, 0.5f * W + 3.0f * u, y, small, TEXTURE_BOMB_STICKY, true);

        const CPlayer* pOwn = m_pLiveScene && m_iOwnPlayer >= 0 && m_iOwnPlayer <= 1
                                  ? &m_pLiveScene->m_Players[m_iOwnPlayer]
                                  : nullptr;
        const bool bCluster = pOwn && pOwn->m_bHasCluster && !m_bSpecialUsed;
        const bool bSnow = pOwn && pOwn->m_bHasSnow && !m_bSpecialUsed;
        const int iSpecial = bCluster ? TEXTURE_BOMB_CLUSTER : bSnow ? TEXTURE_BOMB_SNOW : TEXTURE_BOMB_NONE;
        CMoxButton* pSpecial = Add(PLAY_BUTTON_SPECIAL, 0.5f * W + 6.0f * u, y, small, iSpecial, true);
        pSpecial->m_bDimmed = bCluster || bSnow ? 0 : 1;
    }
    Add(PLAY_BUTTON_READY, 0.5f * W, 0.75f * H, big, TEXTURE_NEXT_ROUND, false);
    Add(PLAY_BUTTON_CONTINUE, 0.5f * W, 0.75f * H, big, TEXTURE_NEXT_ROUND, false);
    if (bTraining)
        HandleSinglePlayerModeControls();
}
