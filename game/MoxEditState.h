// The scene editor: blocks are dragged out of a strip of the 40 shapes along the top of
// the screen, picked, dragged on the grid, recoloured and deleted; helper markers are set
// with a third finger; the view scrolls and zooms. Its controls are invisible regions laid
// out from the screen size. The scene is written as "newscene.scn" into the data folder.
//
// Sources: MoxEditState.cpp (life cycle, strip, regions, update), MoxEditStateInput.cpp
// (touch handling, scrolling, zoom, area selection), MoxEditStateDraw.cpp (drawing).
#pragma once

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelString.h"
#include "game/MoxBlock.h"
#include "game/MoxButtons.h"
#include "game/MoxCamera.h"
#include "game/MoxState.h"

class CBody;
class CMoxScene;

class CMoxEditState : public CMoxState, public CMoxButtonListener
{
public:
    enum
    {
        BLOCK_MENU_ENTRIES = 40,
        EDIT_BLOCK_LIMIT = 223, // what the block manager's identifiers allow
        EDIT_HELPER_LIMIT = 255 // the scene file counts helpers in one byte
    };
    // The control regions, in the order they are tested.
    enum eCONTROL : int
    {
        CONTROL_STOP = 0,
        CONTROL_HIDE_COUNTERS,
        CONTROL_GRID,
        CONTROL_MIRROR,
        CONTROL_SAVE,
        CONTROL_DELETE,
        CONTROL_MATERIAL,                       // 4 regions
        CONTROL_TEXTURE = CONTROL_MATERIAL + 4, // 3 regions
        CONTROL_LAYER = CONTROL_TEXTURE + 3,    // 3 regions
        CONTROL_COUNT = CONTROL_LAYER + 3
    };

    CMoxEditState();
    ~CMoxEditState() override;

    int Startup(CStateGame* pGame) override;
    void Shutdown() override;
    void Reset() override;
    int Update(float fSeconds) override;
    void Draw() override;
    void RestoreResources() override {}
    int OnChar(unsigned short) override { return 1; }

    void ButtonPressed(CMoxButton*) override {}
    void ButtonReleased(CMoxButton*) override {}
    void ButtonDown(CMoxButton*) override {}

    void AutoSaveScene() {}
    void RenderBlockMenu() {}
    void RenderControls() {}
    void RenderStartingPoints() {}

    void InitControls();
    void InitBlockMenu();
    void UpdateBlockMenu();
    void HandleControls();
    void HandleScroll();
    void HandleZoom();
    void SetAreaSelection(unsigned int uOn);
    void FindSelectedBodies();
    void RemoveFromSelected(int iBlockId);
    void MoveSelected(int dx, int dy);
    void SelectMaterialIndex(int i);
    void SelectTextureIndex(int i);
    void SelectLayerIndex(int i);
    void ClearControls();
    void InsertHelpers() { m_bInsertHelpers = 1; }
    void RenderGridLines();
    void RenderBodyLines();
    void RenderBoundaryLines();
    void RenderTargetBodyLines();

    // The colour of the block counter for that many blocks.
    static unsigned int BlockCounterColour(int iBlocks);
    // The scroll speed factor at that zoom: 1.0 up to zoom 0.4, falling, never below 0.3.
    static float ScrollFactor(float fZoom);
    // The selected body's block, or null (nothing selected, or a flomp).
    CBlock* GetSelectedBlock();

    CMoxScene* m_pScene; // owned, edit mode
    CKorvelString m_strFileName;
    unsigned int m_bMirror;
    unsigned int m_bStopped;
    unsigned int m_bCountersHidden;
    float m_fAccumulator;
    unsigned int m_bScrolling;
    unsigned int m_bStripActive;
    unsigned int m_bPinch;
    unsigned int m_bGridLines;
    int m_iShape;
    int m_iMaterial;
    int m_iTexture;
    int m_iLayer;
    float m_fStripMovement; // pixels, the last update's
    int m_iChosenEntry;
    unsigned int m_bEntryChosen;
    CBody* m_pSelectedBody;
    CKorvelVector2 m_vGrabOffset; // world units, body minus finger
    CKorvelRect<float> m_rcBlockMenu[BLOCK_MENU_ENTRIES];
    CKorvelRect<float> m_rcControls[CONTROL_COUNT];
    CKorvelTypedPtrArray<CBody> m_aSelected; // the area selection
    unsigned int m_bAreaMode;
    CKorvelRect<float> m_rcArea; // world units, top above bottom
    CKorvelVector2 m_vAreaStart, m_vAreaEnd, m_vAreaCentre, m_vAreaHalf;
    unsigned int m_bInsertHelpers; // nothing reads it

private:
    // The renderer's camera, or one of the default grid without a renderer.
    CCamera& Camera();
    CBlock* BlockOfBody(CBody* pBody);
    void ClearSelection();
    void Select(CBody* pBody, const CKorvelVector2& vGrab);
    // A block of the current look at the grid point of p, selected; null when refused.
    CBlock* AddCurrentBlock(int iShape, CKorvelVector2 p);
    void DeleteSelectedBlock();
    // Writes the selected block and, in mirror mode, its twin.
    template <class F> void WriteSelected(F write)
    {
        CBlock* pBlock = GetSelectedBlock();
        if (!pBlock)
            return;
        write(*pBlock);
        if (m_bMirror && pBlock->m_pTwin)
            write(*pBlock->m_pTwin);
    }
    void Save();
    void ControlAction(int iControl);
    bool HelperTap();
    void WorkStrip(const CKorvelVector2& p);
    void HandleArea(const CKorvelVector2& q);
    void WorldLine(CKorvelVector2 a, CKorvelVector2 b, unsigned int uColour);
    void CrossLines(const CKorvelVector2& centre, unsigned int uColour);
    void RenderCounters();

    unsigned int m_bStartedUp;
    CCamera m_GridCamera; // stands in when there is no renderer
};
