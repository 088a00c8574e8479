#include "game/MoxBlock.h"

#include <new>

#include "game/MoxPhysics.h"
#include "game/MoxTables.h"

CBlock::CBlock()
    : m_uID(0), m_uVariant(0), m_iMaterial(0), m_uLayer(0), m_uShape(0), m_iStrength(255),
      m_iShownStrength(255), m_pBody(nullptr), m_vWobble(0.0f, 0.0f), m_pTwin(nullptr), m_bEffectRunning(0),
      m_fEffectTime(1.0f), m_uSavedVariant(0), m_uSavedMaterial(0), m_iSavedStrength(255),
      m_fSavedFriction(0.5f), m_fSavedBounce(0.5f)
{
}

CBlockManager::CBlockManager()
    : m_pPhysics(nullptr), m_piCounter(&m_iOwnCounter), m_iOwnCounter(BLOCK_COUNTER_START)
{
}

CBlockManager::~CBlockManager()
{
    Clear();
}

void CBlockManager::Startup(CMoxPhysics* pPhysics, int* piCounter)
{
    m_pPhysics = pPhysics;
    m_piCounter = piCounter ? piCounter : &m_iOwnCounter;
    m_Blocks.Clear();
}

CBlock* CBlockManager::AddBlock(signed char cShape, CKorvelVector2 position, int iMaterial, int iVariant,
                                int iLayer)
{
    const unsigned char uShape = (unsigned char)cShape;
    if (uShape >= BLOCK_SHAPE_COUNT || !m_pPhysics)
        return nullptr;
    const int iID = GetNewBlockID();
    if (iID < 0)
        return nullptr;
    CBlock* pBlock = new (std::nothrow) CBlock;
    if (!pBlock)
        return nullptr;
    pBlock->m_uID = (unsigned char)((*m_piCounter)++);
    pBlock->m_uID = (unsigned char)iID;
    pBlock->m_uShape = uShape;
    pBlock->m_iMaterial = (signed char)iMaterial;
    pBlock->m_uVariant = (unsigned char)iVariant;
    pBlock->m_uLayer = (unsigned char)iLayer;

    BodyDesc desc;
    desc.m_vPosition = position;
    desc.m_vHalfSize = BlockShapes[uShape];
    desc.m_uType = BODY_STATIC;
    desc.m_uGroup = 1;
    desc.m_fDescValue = 0.0f;
    desc.m_fMass = 0.0f;
    desc.m_fBounce = iMaterial == BLOCK_MATERIAL_BOUNCE ? 0.8f : 0.15f;
    desc.m_fFriction = 0.75f;
    pBlock->m_pBody = m_pPhysics->CreateBody(desc);
    if (!pBlock->m_pBody || m_Blocks.Add(pBlock) < 0)
    {
        m_pPhysics->DeleteBody(pBlock->m_pBody);
        delete pBlock;
        return nullptr;
    }
    pBlock->m_pBody->m_pOwner = pBlock;
    pBlock->m_pBody->m_uUser = (unsigned int)iID;
    pBlock->m_pBody->m_uCollisionMask = BLOCK_COLLISION_MASK;
    return pBlock;
}

void CBlockManager::DeleteBlock(int iID)
{
    for (int i = 0; i < m_Blocks.GetCount(); ++i)
    {
        CBlock* pBlock = m_Blocks[i];
        if (pBlock->m_uID != iID)
            continue;
        if (m_pPhysics && pBlock->m_pBody)
            m_pPhysics->DeleteBody(pBlock->m_pBody);
        delete pBlock;
        m_Blocks.RemoveAt(i);
        return;
    }
}

void CBlockManager::Clear()
{
    for (int i = 0; i < m_Blocks.GetCount(); ++i)
        delete m_Blocks[i];
    m_Blocks.Clear();
}

CBlock* CBlockManager::GetBlockByID(int iID)
{
    for (int i = 0; i < m_Blocks.GetCount(); ++i)
        if (m_Blocks[i]->m_uID == iID)
            return m_Blocks[i];
    return nullptr;
}

int CBlockManager::GetNewBlockID()
{
    // One pass marks what is taken, so a full scene costs 223 steps, not 223 squared.
    bool abTaken[256] = {};
    for (int i = 0; i < m_Blocks.GetCount(); ++i)
        abTaken[m_Blocks[i]->m_uID] = true;
    for (int iID = BLOCK_ID_FIRST; iID <= BLOCK_ID_LAST; ++iID)
        if (!abTaken[iID])
            return iID;
    return -1;
}
