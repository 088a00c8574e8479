// Training: the match screen played alone against the mentor, who explains the scene
// and each action through the chat overlay, and the action buttons each scene teaches.
#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornLanguage.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
enum : int
{
    TEXT_SCENE_HELP = 31, // + the training scene's index
    TEXT_HELP_JUMP = 50,  // then whip, fire, sticky, snow, cluster
    TEXTURE_BOMB_SNOW = 21,
    TEXTURE_BOMB_CLUSTER = 22
};

enum : unsigned int
{
    B_JUMP = 1u << PLAY_BUTTON_JUMP,
    B_WHIP = 1u << PLAY_BUTTON_WHIP,
    B_FIRE = 1u << PLAY_BUTTON_FIRE,
    B_STICKY = 1u << PLAY_BUTTON_STICKY,
    B_SPECIAL = 1u << PLAY_BUTTON_SPECIAL
};

enum TRAINING_ITEM
{
    GIVES_NOTHING,
    GIVES_SNOW,
    GIVES_CLUSTER
};

struct sTRAINING_SCENE
{
    unsigned int uButtons; // undimmed
    int iAction;           // -1: unchanged
    TRAINING_ITEM eItem;
};

// By training scene index; later scenes open nothing.
const sTRAINING_SCENE TRAINING_SCENES[] = {
    {B_JUMP, 0, GIVES_NOTHING},
    {B_JUMP | B_WHIP, 0, GIVES_NOTHING},
    {B_FIRE, 1, GIVES_NOTHING},
    {B_FIRE, 1, GIVES_NOTHING},
    {B_FIRE, 1, GIVES_NOTHING},
    {B_STICKY, 2, GIVES_NOTHING},
    {B_STICKY, 2, GIVES_NOTHING},
    {B_STICKY, 2, GIVES_NOTHING},
    {B_JUMP | B_WHIP | B_FIRE | B_STICKY | B_SPECIAL, 4, GIVES_SNOW},
    {B_JUMP | B_WHIP | B_FIRE | B_STICKY | B_SPECIAL, 5, GIVES_CLUSTER},
    {B_JUMP | B_WHIP | B_FIRE | B_STICKY, 1, GIVES_NOTHING},
    {B_JUMP | B_WHIP | B_FIRE | B_STICKY, 1, GIVES_NOTHING},
    {B_JUMP | B_WHIP | B_FIRE | B_STICKY, 1, GIVES_NOTHING},
    {B_JUMP | B_WHIP | B_FIRE | B_STICKY, 1, GIVES_NOTHING},
    {B_JUMP | B_WHIP | B_FIRE | B_STICKY, 1, GIVES_NOTHING},
};
const int ACTION_BUTTONS[] = {PLAY_BUTTON_JUMP, PLAY_BUTTON_WHIP, PLAY_BUTTON_FIRE, PLAY_BUTTON_STICKY,
                              PLAY_BUTTON_SPECIAL};
} // namespace

void CMoxPlayState::SetSinglePlayerMode(unsigned int uOn)
{
    m_iNextStateID = STATE_TRAINING;
    m_bSinglePlayer = uOn;
    if (uOn && m_pLiveScene)
    {
        m_pLiveScene->m_Players[0].m_strName.Set("You");
        m_pLiveScene->m_Players[1].m_strName.Set("Master Flomp");
    }
    RestoreResources();
}

void CMoxPlayState::LoadSinglePlayerHelp()
{
    CVornLanguage* pLanguage = m_pGame ? m_pGame->GetGameLanguage() : nullptr;
    if (!pLanguage)
        return;
    if (m_pLiveScene)
        m_pLiveScene->m_strHelpText = pLanguage->GetText(TEXT_SCENE_HELP + m_iSceneIndex);
    CKorvelString* apTexts[] = {&m_strHelpJump,   &m_strHelpWhip, &m_strHelpFire,
                                &m_strHelpSticky, &m_strHelpSnow, &m_strHelpCluster};
    for (int i = 0; i < 6; ++i)
        *apTexts[i] = pLanguage->GetText(TEXT_HELP_JUMP + i);
}

void CMoxPlayState::MentorDialog(const CKorvelString& strText)
{
    IMoxChat* pChat = m_pGame ? m_pGame->GetChat() : nullptr;
    if (!pChat || HasMatchEnded())
        return;
    const float W = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const float H = m_pRenderer ? m_pRenderer->GetScreenHeight() : 0.0f;
    pChat->Clear();
    pChat->AddMessage(strText, CKorvelString("Opponent"), GetPlayerColour(m_iOpponent),
                      CKorvelVector2(0.9f * W, 0.825f * H), CKorvelVector2(W, H), 1);
}

void CMoxPlayState::HandleSinglePlayerModeControls()
{
    if (!m_pButtons || !m_pLiveScene || m_iOwnPlayer < 0 || m_iOwnPlayer > 1)
        return;
    CPlayer& own = m_pLiveScene->m_Players[m_iOwnPlayer];
    // The hat's reference would otherwise be lost with the cleared pointer.
    if (own.m_pItemSurface && m_pGame && m_pGame->GetApp())
        m_pGame->GetApp()->ReleaseSurface(own.m_pItemSurface);
    own.ClearVirtualItems();
    for (int iID : ACTION_BUTTONS)
        if (CMoxButton* pButton = m_pButtons->GetButtonByID(iID))
            pButton->m_bDimmed = 1;
    const int iCount = int(sizeof(TRAINING_SCENES) / sizeof(TRAINING_SCENES[0]));
    if (m_iSceneIndex < 0 || m_iSceneIndex >= iCount)
        return;
    const sTRAINING_SCENE& scene = TRAINING_SCENES[m_iSceneIndex];
    for (int iID : ACTION_BUTTONS)
        if (CMoxButton* pButton = m_pButtons->GetButtonByID(iID))
            if (scene.uButtons & (1u << iID))
                pButton->m_bDimmed = 0;
    if (scene.iAction >= 0)
        own.m_iSelectedAction = scene.iAction;
    CMoxButton* pSpecial = m_pButtons->GetButtonByID(PLAY_BUTTON_SPECIAL);
    if (scene.eItem == GIVES_SNOW)
    {
        own.m_bHasSnow = 1;
        if (pSpecial)
            pSpecial->m_iTexture = TEXTURE_BOMB_SNOW;
    }
    else if (scene.eItem == GIVES_CLUSTER)
    {
        own.m_bHasCluster = 1;
        if (pSpecial)
            pSpecial->m_iTexture = TEXTURE_BOMB_CLUSTER;
    }
}
