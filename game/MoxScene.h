// The world of one match or of the editor: two players with their projectiles, the
// blocks, the helper markers, three start points per player and the scene's name. The
// match screen steps it once per physics step and draws it through the renderer.
//
// Sources: MoxScene.cpp (life cycle, helpers, loading and saving), MoxScenePlayers.cpp
// (players and projectiles), MoxScenePlayersDraw.cpp (their drawing), MoxSceneBlocks.cpp
// (block animation), MoxSceneBlocksDraw.cpp (blocks drawn in batches). The file format
// itself is MoxSceneFile.h.
#pragma once

#include "Korvel3D/Korvel3DColor.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "game/MoxBlock.h"
#include "game/MoxCamera.h"
#include "game/MoxPlayer.h"
#include "game/MoxSceneFile.h"

class CKorvelSurface;
class CMoxRenderer;
class CStateGame;

enum SCENE_MODE : int
{
    SCENE_MODE_PLAY = 0,
    SCENE_MODE_EDIT = 1
};

// A square hot spot of the editor and the training help.
struct MoxHelper
{
    CKorvelVector2 m_vCentre;
    CKorvelVector2 m_vHalfSize;
};

enum
{
    SCENE_BATCH_SIZE = 255,   // entries of every drawing buffer
    SCENE_BATCH_BLOCKS = 254, // blocks one draw call takes
    SCENE_BLOCK_INDICES = 54,
    SCENE_LAYERS = 4
};

class CMoxScene : public IMoxCameraScene
{
public:
    CMoxScene();
    ~CMoxScene();

    void Startup(CStateGame* pGame, CMoxRenderer* pRenderer, CMoxPhysics* pPhysics, SCENE_MODE eMode);
    void Clear();
    void Update(float fSeconds);

    // 1, or 0 when the game's packs have no such item (the scene is cleared either way).
    int LoadScene(const CKorvelString& strName);
    // Puts a read file into the cleared scene; strName gives the display name.
    void ApplySceneFile(const sMoxSceneFile& file, const CKorvelString& strName);
    // Writes the scene into the writable data folder, replacing an old file only when
    // the whole new one is written: 1, or 0 (the old file is then untouched).
    int SaveScene(const CKorvelString& strName);
    // The scene as the file stores it (positions snapped down to the grid).
    void BuildSceneFile(sMoxSceneFile& file);
    // The file name less its last four characters, "_" shown as a space.
    static CKorvelString DisplayName(const CKorvelString& strFileName);

    void AddHelper(const CKorvelVector2& centre, const CKorvelVector2& halfSize);
    MoxHelper* FindHelper(const CKorvelVector2& p);
    void RemoveHelper(MoxHelper* pHelper);
    void CleanHelpers();
    void RenderHelpers();
    void CreateStartingPoints() {}

    bool IsFollowable(CBody const* pBody) override;

    // ---- players and projectiles

    void CreatePlayers();
    // Null for a player outside 0..1 or a slot outside 0..31; an occupant of the slot is
    // deleted first.
    Projectile* CreateProjectile(int iPlayer, PROJECTILE_TYPE eType, int iSlot);
    void DeleteProjectile(int iPlayer, int iSlot);
    void HandleProjectiles();
    void HandlePlayers(float fSeconds);
    void FindUpperLowerBlocks();
    void RemoveFromUpperLowerBlocks(int iID);
    void RenderPlayers();
    void RenderPlayerAndStretch(int i);
    void RenderPlayer(int i);
    // The screen rectangle in which flomp i (with its hat) is drawn at its widest pulse;
    // false without its body or a renderer.
    bool PlayerScreenSpan(int i, float& fLeft, float& fTop, float& fRight, float& fBottom);
    void RenderStretch(int i, CKorvelVector2 v);
    void RenderAim(int i);
    void RenderPlayersInfo();
    // Where text centred on x starts right of the match screen's zoom bar: x, or further
    // right when a flomp near the left edge would put the text over the bar.
    int ClearOfZoomBar(int x, const CKorvelString& strText);
    // How many aim dots a stretch shows: 1..10.
    static int AimDotCount(const CKorvelVector2& stretch);

    // ---- blocks

    void HandleBlocks(float fSeconds);
    void RenderBlocksWithShadows(unsigned int uShadows);
    void RenderBlockBatch();
    void RenderShadowBatch();
    // 16 vertices of 8 floats (position, uv0, uv1, alpha) of a nine-patch block.
    static void CreateBlockVertices(float* pOut, CKorvelVector2& centre, CKorvelVector2& halfSize,
                                    float fAlpha);
    // 4 vertices of 5 floats (position, uv).
    static void CreateShadowVertices(float* pOut, const CKorvelVector2& centre,
                                     const CKorvelVector2& halfSize);

    // ---- data

    int m_iFrameCounter; // drawing only clears it
    int m_iShadowBatches;
    int m_iBlockBatches;
    int m_iDrawCalls;
    // 0: one draw call per block, the reference the batching is measured against.
    unsigned int m_bBatchBlocks = 1;
    int m_bAnimateBlocks;
    CKorvel3DColor m_PlayerColor[2];
    CPlayer m_Players[2];
    CBlockManager* m_pBlocks;
    CMoxRenderer* m_pRenderer;
    CMoxPhysics* m_pPhysics;
    CStateGame* m_pGame;
    int m_iSelectedBlock;
    CKorvelString m_strName;
    CKorvelTypedPtrArray<CBlock> m_Batch;
    CKorvelArray<int> m_BatchSizes; // of this frame
    unsigned char* m_pBatched;      // per block of a layer list
    float* m_pShadowVertices;       // 255 quads of 4 x 5 floats
    unsigned short* m_pShadowIndices;
    unsigned short* m_pBlockIndices;           // 255 x 54
    CKorvelTypedPtrArray<MoxHelper> m_Helpers; // owned
    int m_iReservedA[SCENE_RESERVED_A];
    int m_iReservedB[SCENE_RESERVED_B];
    CKorvelVector2 m_StartPoints[2][SCENE_PLAYER_RECORDS];
    SCENE_MODE m_eMode;
    float m_fTime;
    CKorvelString m_strHelpText;

private:
    // The renderer's camera, or one of the default grid when there is no renderer.
    CCamera& Camera();
    CKorvelSurface* Texture(int iIndex) const;
    CCamera m_GridCamera;

    CMoxScene(const CMoxScene&) = delete;
    CMoxScene& operator=(const CMoxScene&) = delete;
};
