#include "game/MoxEditState.h"

#include <cstdio>
#include <memory>

#include "Framework/Shell/VornApplication.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
const float kEditorZoomLimit = 0.1f;
} // namespace

CMoxEditState::CMoxEditState()
    : m_pScene(nullptr), m_strFileName("newscene.scn"), m_bMirror(0), m_bStopped(0), m_bCountersHidden(0),
      m_fAccumulator(0.0f), m_bScrolling(0), m_bStripActive(0), m_bPinch(0), m_bGridLines(1), m_iShape(0),
      m_iMaterial(0), m_iTexture(0), m_iLayer(1), m_fStripMovement(0.0f), m_iChosenEntry(0),
      m_bEntryChosen(0), m_pSelectedBody(nullptr), m_vGrabOffset(0.0f, 0.0f), m_bAreaMode(0),
      m_vAreaStart(0.0f, 0.0f), m_vAreaEnd(0.0f, 0.0f), m_vAreaCentre(0.0f, 0.0f), m_vAreaHalf(0.0f, 0.0f),
      m_bInsertHelpers(0), m_bStartedUp(0)
{
}

CMoxEditState::~CMoxEditState()
{
    Shutdown();
}

int CMoxEditState::Startup(CStateGame* pGame)
{
    CMoxState::Startup(pGame);
    m_iStateID = STATE_EDITOR;
    m_bGridLines = 1;
    m_bStartedUp = 1;
    CVornApplication* pApp = pGame ? pGame->GetApp() : nullptr;
    if (pApp)
    {
        // A slot already filled keeps its one reference; the game's unload gives them back.
        CMoxGameContext& context = pGame->GetContext();
        for (int i = 0; i < GAME_TEXTURE_COUNT; ++i)
            if (!context.psrfGameTextures[i])
                context.psrfGameTextures[i] = pApp->GetSurface(GAME_TEXTURES[i].name);
        if (!context.pfntGameFonts)
            context.pfntGameFonts = pApp->GetFont(GAME_FONTS[FONT_MAIN].name);
    }
    m_strFileName.Set("newscene.scn");
    m_iShape = 0;
    m_fAccumulator = 0.0f;
    m_bStopped = m_bCountersHidden = 0;
    InitControls();
    InitBlockMenu();
    m_pScene = new CMoxScene();
    m_pScene->Startup(pGame, m_pRenderer, m_pPhysics, SCENE_MODE_EDIT);
    m_bMirror = 0;
    Reset();
    SetAreaSelection(0);
    return 1;
}

void CMoxEditState::Shutdown()
{
    if (!m_bStartedUp)
        return;
    m_bStartedUp = 0;
    m_pSelectedBody = nullptr;
    m_aSelected.Clear();
    // The scene's bodies live in the game's physics world; none may outlive their blocks.
    if (m_pPhysics)
        m_pPhysics->Clear();
    if (m_pRenderer)
        m_pRenderer->m_Camera.ClearTarget();
    // Never deleted through its camera interface, whose destructor is protected.
    std::default_delete<CMoxScene>()(m_pScene);
    m_pScene = nullptr;
}

void CMoxEditState::Reset()
{
    CMoxState::Reset();
    if (m_pScene)
        m_pScene->Clear();
    if (m_pRenderer)
    {
        CCamera& camera = m_pRenderer->m_Camera;
        camera.ClearTarget();
        camera.m_vPosition.Set(0.0f, 0.0f);
        camera.m_fZoom = camera.m_fZoomTarget = CAMERA_ZOOM_MIN;
    }
    m_vGrabOffset.Set(0.0f, 0.0f);
    m_iLayer = 1;
    m_iMaterial = 0;
    m_iTexture = 0;
    m_fStripMovement = 0.0f;
    m_bScrolling = m_bStripActive = m_bPinch = 0;
    m_iChosenEntry = 0;
    m_bEntryChosen = 0;
    ClearSelection();
    m_aSelected.Clear();
    SetAreaSelection(0);
}

int CMoxEditState::Update(float fSeconds)
{
    m_fAccumulator += fSeconds;
    if (!m_bStopped)
    {
        UpdateBlockMenu();
        HandleControls();
    }
    if (m_pRenderer)
    {
        m_pRenderer->m_Camera.ClearTarget();
        m_pRenderer->m_Camera.m_fZoomLimit = kEditorZoomLimit;
    }
    if (m_pScene)
    {
        m_pScene->HandleProjectiles();
        m_pScene->Update(fSeconds);
    }
    if (m_pRenderer)
        m_pRenderer->Update(fSeconds);
    if (m_pPhysics)
        m_pPhysics->UpdateVisuals();
    return 1;
}

CCamera& CMoxEditState::Camera()
{
    return m_pRenderer ? m_pRenderer->m_Camera : m_GridCamera;
}

// ---- the block strip

void CMoxEditState::InitBlockMenu()
{
    const float s = (m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f) / 16.0f;
    for (int i = 0; i < BLOCK_MENU_ENTRIES; ++i)
    {
        const float x = 2.5f * s + 2.2f * s * (float)i, y = 1.1f * s;
        m_rcBlockMenu[i] = CKorvelRect<float>(x - s, y - s, x + s, y + s);
    }
}

void CMoxEditState::UpdateBlockMenu()
{
    const float w = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const CKorvelRect<float>& first = m_rcBlockMenu[0];
    const CKorvelRect<float>& last = m_rcBlockMenu[BLOCK_MENU_ENTRIES - 1];
    const float fWidth = first.right - first.left;
    float fShift = 0.0f;
    if (first.left > fWidth)
        fShift = (fWidth - first.left) / 10.0f;
    if (last.right < w - 10.0f)
        fShift = (w - 10.0f - last.right) / 10.0f;
    if (fShift == 0.0f)
        return;
    for (CKorvelRect<float>& rc : m_rcBlockMenu)
    {
        rc.left += fShift;
        rc.right += fShift;
    }
}

// ---- the control regions

void CMoxEditState::InitControls()
{
    const float w = m_pRenderer ? m_pRenderer->GetScreenWidth() : 0.0f;
    const float h = m_pRenderer ? m_pRenderer->GetScreenHeight() : 0.0f;
    const float u = w / 40.0f;
    m_rcControls[CONTROL_STOP] = CKorvelRect<float>(0.0f, h - 2.0f * u, 2.0f * u, h);
    m_rcControls[CONTROL_HIDE_COUNTERS] = CKorvelRect<float>(w - 2.0f * u, h - 2.0f * u, w, h);
    m_rcControls[CONTROL_SAVE] = CKorvelRect<float>(w / 2.0f - u, h - 2.0f * u, w / 2.0f + u, h);
    m_rcControls[CONTROL_DELETE] = CKorvelRect<float>(w / 2.0f - u, h / 2.0f - u, w / 2.0f + u, h / 2.0f + u);
    m_rcControls[CONTROL_GRID] = CKorvelRect<float>(w - 2.0f * u, h / 2.0f - u, w, h / 2.0f + u);
    m_rcControls[CONTROL_MIRROR] = CKorvelRect<float>(w - 2.0f * u, 0.75f * h - u, w, 0.75f * h + u);
    for (int k = 0; k < 4; ++k)
    {
        const float x = u + 3.0f * u * (float)k;
        m_rcControls[CONTROL_MATERIAL + k] =
            CKorvelRect<float>(x, h / 2.0f - 4.0f * u, x + 2.0f * u, h / 2.0f - 2.0f * u);
        if (k < 3)
        {
            m_rcControls[CONTROL_TEXTURE + k] =
                CKorvelRect<float>(x, h / 2.0f - u, x + 2.0f * u, h / 2.0f + u);
            m_rcControls[CONTROL_LAYER + k] =
                CKorvelRect<float>(x, h / 2.0f + 2.0f * u, x + 2.0f * u, h / 2.0f + 4.0f * u);
        }
    }
}

void CMoxEditState::ControlAction(int iControl)
{
    if (iControl >= CONTROL_LAYER)
        SelectLayerIndex(iControl - CONTROL_LAYER);
    else if (iControl >= CONTROL_TEXTURE)
        SelectTextureIndex(iControl - CONTROL_TEXTURE);
    else if (iControl >= CONTROL_MATERIAL)
        SelectMaterialIndex(iControl - CONTROL_MATERIAL);
    else
        switch (iControl)
        {
        case CONTROL_STOP:
            ClearControls();
            m_bStopped = 1;
            break;
        case CONTROL_HIDE_COUNTERS:
            m_bCountersHidden = 1;
            break;
        case CONTROL_GRID:
            m_bGridLines = !m_bGridLines;
            break;
        case CONTROL_MIRROR:
            m_bMirror = !m_bMirror;
            break;
        case CONTROL_SAVE:
            Save();
            break;
        case CONTROL_DELETE:
            DeleteSelectedBlock();
            break;
        default:
            break;
        }
}

void CMoxEditState::Save()
{
    // Only a scene that is really written may end the editor; otherwise the work stays open.
    if (!m_pScene || !m_pScene->SaveScene(m_strFileName))
    {
        std::fprintf(stderr, "editor: the scene was not saved; the editor stays open\n");
        return;
    }
    ClearControls();
    m_iNextStateID = STATE_MENU;
    Remove();
}

void CMoxEditState::DeleteSelectedBlock()
{
    CBlock* pBlock = GetSelectedBlock();
    if (!pBlock || !m_pScene)
        return;
    if (CBlock* pTwin = pBlock->m_pTwin)
    {
        if (pTwin->m_pTwin == pBlock)
            pTwin->m_pTwin = nullptr;
        if (m_bMirror)
        {
            RemoveFromSelected(pTwin->m_uID);
            m_pScene->m_pBlocks->DeleteBlock(pTwin->m_uID);
        }
    }
    const int iID = pBlock->m_uID;
    RemoveFromSelected(iID);
    m_pScene->m_pBlocks->DeleteBlock(iID);
    ClearSelection();
}

void CMoxEditState::SelectMaterialIndex(int i)
{
    m_iMaterial = i;
    WriteSelected([i](CBlock& block) { block.m_iMaterial = (signed char)i; });
}

void CMoxEditState::SelectTextureIndex(int i)
{
    m_iTexture = i;
    WriteSelected([i](CBlock& block) { block.m_uVariant = (unsigned char)i; });
}

void CMoxEditState::SelectLayerIndex(int i)
{
    m_iLayer = i;
    WriteSelected([i](CBlock& block) { block.m_uLayer = (unsigned char)i; });
}

void CMoxEditState::ClearControls()
{
    m_iLayer = 1;
    m_iMaterial = 0;
    m_iTexture = 0;
    ClearSelection();
}

// ---- selection

void CMoxEditState::ClearSelection()
{
    m_pSelectedBody = nullptr;
    if (m_pScene)
        m_pScene->m_iSelectedBlock = -1;
}

void CMoxEditState::Select(CBody* pBody, const CKorvelVector2& vGrab)
{
    m_pSelectedBody = pBody;
    m_vGrabOffset = vGrab;
    CBlock* pBlock = BlockOfBody(pBody);
    if (m_pScene)
        m_pScene->m_iSelectedBlock = pBlock ? pBlock->m_uID : -1;
}

CBlock* CMoxEditState::BlockOfBody(CBody* pBody)
{
    if (!pBody || !m_pScene || !m_pScene->m_pBlocks)
        return nullptr;
    CBlock* pBlock = m_pScene->m_pBlocks->GetBlockByID((int)pBody->m_uUser);
    return pBlock && pBlock->m_pBody == pBody ? pBlock : nullptr;
}

CBlock* CMoxEditState::GetSelectedBlock()
{
    return BlockOfBody(m_pSelectedBody);
}

CBlock* CMoxEditState::AddCurrentBlock(int iShape, CKorvelVector2 p)
{
    if (!m_pScene || !m_pScene->m_pBlocks)
        return nullptr;
    CKorvelVector2 vCell;
    Camera().SnapToGrid(p, &vCell);
    CBlock* pBlock =
        m_pScene->m_pBlocks->AddBlock((signed char)iShape, vCell, m_iMaterial, m_iTexture, m_iLayer);
    if (pBlock)
        Select(pBlock->m_pBody, CKorvelVector2(0.0f, 0.0f));
    else
        ClearSelection();
    return pBlock;
}
