#include "game/MoxScene.h"

#include <new>

#include "Framework/Shell/VornApplication.h"
#include "KorvelCommon/KorvelAtomicFile.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

namespace
{
const int kTextureHelper = 14;
const float kHelperHalfSize = 0.03f;
} // namespace

CMoxScene::CMoxScene()
    : m_iFrameCounter(0), m_iShadowBatches(0), m_iBlockBatches(0), m_iDrawCalls(0), m_bAnimateBlocks(0),
      m_pBlocks(nullptr), m_pRenderer(nullptr), m_pPhysics(nullptr), m_pGame(nullptr), m_iSelectedBlock(-1),
      m_eMode(SCENE_MODE_PLAY), m_fTime(0.0f)
{
    m_PlayerColor[0] = CKorvel3DColor(0xFFFF5D37u);
    m_PlayerColor[1] = CKorvel3DColor(0xFF3A92FFu);
    const sMoxSceneFile defaults;
    for (int i = 0; i < SCENE_RESERVED_A; ++i)
        m_iReservedA[i] = defaults.aReservedA[i];
    for (int i = 0; i < SCENE_RESERVED_B; ++i)
        m_iReservedB[i] = defaults.aReservedB[i];
    for (auto& aPoints : m_StartPoints)
        for (CKorvelVector2& point : aPoints)
            point.Set(0.0f, 0.0f);
    m_pBatched = new unsigned char[SCENE_BATCH_SIZE]();
    m_pShadowVertices = new float[static_cast<size_t>(SCENE_BATCH_SIZE) * 20]();
    m_pShadowIndices = new unsigned short[static_cast<size_t>(SCENE_BATCH_SIZE) * 6]();
    m_pBlockIndices = new unsigned short[static_cast<size_t>(SCENE_BATCH_SIZE) * SCENE_BLOCK_INDICES]();
}

CMoxScene::~CMoxScene()
{
    for (CPlayer& player : m_Players)
        for (Projectile*& pProjectile : player.m_pProjectiles)
        {
            delete pProjectile;
            pProjectile = nullptr;
        }
    CleanHelpers();
    delete m_pBlocks;
    delete[] m_pBatched;
    delete[] m_pShadowVertices;
    delete[] m_pShadowIndices;
    delete[] m_pBlockIndices;
    if (m_pRenderer && m_pRenderer->m_Camera.m_pScene == this)
        m_pRenderer->m_Camera.SetScene(nullptr);
}

void CMoxScene::Startup(CStateGame* pGame, CMoxRenderer* pRenderer, CMoxPhysics* pPhysics, SCENE_MODE eMode)
{
    m_pGame = pGame;
    m_pRenderer = pRenderer;
    m_pPhysics = pPhysics;
    if (m_pRenderer)
        m_pRenderer->m_Camera.SetScene(this);
    if (!m_pBlocks)
        m_pBlocks = new CBlockManager();
    m_pBlocks->Startup(pPhysics, pGame ? &pGame->GetContext().m_iBlockCounter : nullptr);
    m_eMode = eMode;
    m_iFrameCounter = m_iShadowBatches = m_iBlockBatches = m_iDrawCalls = 0;
    m_bAnimateBlocks = 0;
    m_fTime = 0.0f;
    if (m_eMode == SCENE_MODE_PLAY)
        CreatePlayers();
}

void CMoxScene::Clear()
{
    if (m_pBlocks)
        m_pBlocks->Clear();
    if (m_pPhysics)
        m_pPhysics->Clear();
    if (m_pRenderer)
        m_pRenderer->m_Camera.ClearTarget();
    m_iSelectedBlock = -1;
    CreatePlayers();
    CleanHelpers();
    if (m_pGame)
        m_pGame->GetContext().m_iBlockCounter = BLOCK_COUNTER_START;
}

void CMoxScene::Update(float fSeconds)
{
    m_fTime += fSeconds;
    HandleProjectiles();
    if (m_bAnimateBlocks)
        HandleBlocks(fSeconds);
    if (m_eMode == SCENE_MODE_PLAY)
        HandlePlayers(fSeconds);
}

CCamera& CMoxScene::Camera()
{
    return m_pRenderer ? m_pRenderer->m_Camera : m_GridCamera;
}

CKorvelSurface* CMoxScene::Texture(int iIndex) const
{
    return m_pGame ? m_pGame->GetContext().psrfGameTextures[iIndex] : nullptr;
}

bool CMoxScene::IsFollowable(CBody const* pBody)
{
    if (!pBody)
        return false;
    for (CPlayer& player : m_Players)
    {
        if (player.m_bAlive && player.m_pBody == pBody)
            return true;
        for (Projectile* pProjectile : player.m_pProjectiles)
            if (pProjectile && pProjectile->m_pBody == pBody)
                return true;
    }
    return false;
}

// ---- helpers

void CMoxScene::AddHelper(const CKorvelVector2& centre, const CKorvelVector2& halfSize)
{
    MoxHelper* pHelper = new (std::nothrow) MoxHelper{centre, halfSize};
    if (pHelper && m_Helpers.Add(pHelper) < 0)
        delete pHelper;
}

MoxHelper* CMoxScene::FindHelper(const CKorvelVector2& p)
{
    for (int i = 0; i < m_Helpers.GetCount(); ++i)
    {
        MoxHelper* h = m_Helpers[i];
        if (p.x >= h->m_vCentre.x - h->m_vHalfSize.x && p.x <= h->m_vCentre.x + h->m_vHalfSize.x &&
            p.y >= h->m_vCentre.y - h->m_vHalfSize.y && p.y <= h->m_vCentre.y + h->m_vHalfSize.y)
            return h;
    }
    return nullptr;
}

void CMoxScene::RemoveHelper(MoxHelper* pHelper)
{
    if (m_Helpers.Remove(pHelper))
        delete pHelper;
}

void CMoxScene::CleanHelpers()
{
    for (int i = 0; i < m_Helpers.GetCount(); ++i)
        delete m_Helpers[i];
    m_Helpers.Clear();
}

void CMoxScene::RenderHelpers()
{
    if (!m_pRenderer)
        return;
    const CKorvel3DColor white(1.0f, 1.0f, 1.0f, 1.0f);
    for (int i = 0; i < m_Helpers.GetCount(); ++i)
        m_pRenderer->renderWorldQuad(m_Helpers[i]->m_vCentre, m_Helpers[i]->m_vHalfSize,
                                     Texture(kTextureHelper), white);
}

// ---- the scene file

CKorvelString CMoxScene::DisplayName(const CKorvelString& strFileName)
{
    const int iLength = strFileName.GetLength();
    CKorvelString strName = iLength >= 4 ? strFileName.Mid(0, iLength - 4) : strFileName;
    strName.ReplaceAll(CKorvelString("_"), CKorvelString(" "));
    return strName;
}

int CMoxScene::LoadScene(const CKorvelString& strName)
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    unsigned char* pData = nullptr;
    const unsigned int uSize = pApp ? pApp->GetFileData(strName, &pData) : 0;
    if (!pData)
    {
        Clear();
        m_strName = DisplayName(strName);
        return 0;
    }
    sMoxSceneFile file;
    MoxReadSceneFile(pData, uSize, file);
    delete[] pData;
    ApplySceneFile(file, strName);
    return 1;
}

void CMoxScene::ApplySceneFile(const sMoxSceneFile& file, const CKorvelString& strName)
{
    Clear();
    m_strName = DisplayName(strName);
    for (int i = 0; i < SCENE_RESERVED_A; ++i)
        m_iReservedA[i] = file.aReservedA[i];
    for (int i = 0; i < SCENE_RESERVED_B; ++i)
        m_iReservedB[i] = file.aReservedB[i];
    CCamera& camera = Camera();
    for (int p = 0; p < 2; ++p)
    {
        CPlayer& player = m_Players[p];
        for (int k = 0; k < file.aPointCount[p]; ++k)
        {
            CKorvelVector2 position;
            camera.UnSnap(file.aPoints[p][k].x, file.aPoints[p][k].y, &position);
            player.m_Color = m_PlayerColor[p];
            const bool bMoveBody = k == 0 || m_eMode == SCENE_MODE_PLAY;
            if (bMoveBody && player.m_pBody)
                player.m_pBody->m_vPosition = position;
            if (m_eMode == SCENE_MODE_PLAY)
                m_StartPoints[p][k] = position;
        }
    }
    if (m_pBlocks)
        for (const sMoxSceneBlock& block : file.aBlocks)
        {
            CKorvelVector2 position;
            camera.UnSnap(block.x, block.y, &position);
            m_pBlocks->AddBlock(block.cShape, position, block.cMaterial, block.cVariant, block.cLayer);
        }
    for (const sMoxSceneHelper& helper : file.aHelpers)
    {
        CKorvelVector2 position;
        camera.UnSnap(helper.x, helper.y, &position);
        AddHelper(position, CKorvelVector2(kHelperHalfSize, kHelperHalfSize));
    }
}

void CMoxScene::BuildSceneFile(sMoxSceneFile& file)
{
    file = sMoxSceneFile();
    file.iVersion = SCENE_VERSION_110;
    for (int i = 0; i < SCENE_RESERVED_A; ++i)
        file.aReservedA[i] = m_iReservedA[i];
    for (int i = 0; i < SCENE_RESERVED_B; ++i)
        file.aReservedB[i] = m_iReservedB[i];
    CCamera& camera = Camera();
    for (int p = 0; p < 2; ++p)
    {
        CKorvelVector2 position(0.0f, 0.0f);
        if (m_Players[p].m_pBody)
            position = m_Players[p].m_pBody->m_vPosition;
        sMoxScenePoint point;
        camera.Snap(position, point.x, point.y);
        point.uColour = m_Players[p].m_Color.Get8888();
        file.aPointCount[p] = SCENE_PLAYER_RECORDS;
        for (sMoxScenePoint& record : file.aPoints[p])
            record = point;
    }
    for (int i = 0; m_pBlocks && i < m_pBlocks->GetCount(); ++i)
    {
        CBlock* pBlock = m_pBlocks->GetAt(i);
        sMoxSceneBlock block;
        CKorvelVector2 position = pBlock->m_pBody ? pBlock->m_pBody->m_vPosition : CKorvelVector2(0.0f, 0.0f);
        camera.Snap(position, block.x, block.y);
        block.cShape = (signed char)pBlock->m_uShape;
        block.cMaterial = pBlock->m_iMaterial;
        block.cVariant = (signed char)pBlock->m_uVariant;
        block.cLayer = (signed char)pBlock->m_uLayer;
        file.aBlocks.push_back(block);
    }
    for (int i = 0; i < m_Helpers.GetCount(); ++i)
    {
        sMoxSceneHelper helper;
        camera.Snap(m_Helpers[i]->m_vCentre, helper.x, helper.y);
        file.aHelpers.push_back(helper);
    }
}

int CMoxScene::SaveScene(const CKorvelString& strName)
{
    sMoxSceneFile file;
    BuildSceneFile(file);
    std::string strBytes;
    // The helper count is one byte: more than 255 would come back as fewer.
    if (!MoxWriteSceneFile(file, strBytes))
        return 0;
    CKorvelString strPath;
    IKorvelApplication::BuildWriteFilepath(strPath, strName);
    CKorvelAtomicFile out;
    if (out.Open(strPath) != KE_OK)
        return 0;
    out.Write(strBytes.data(), (unsigned int)strBytes.size());
    return out.Commit() == KE_OK ? 1 : 0;
}
