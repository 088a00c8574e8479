// The scene's blocks: each a fixed box of the physics with a one-byte identifier, a
// material (0 paper, 1 metal, 2 ice, 3 bounce) in one of three looks, a drawing layer and
// the state the match changes (strength, wobble, a timed change of material).
#pragma once

#include <cstdint>

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"

class CBody;
class CMoxPhysics;

enum
{
    BLOCK_MATERIAL_PAPER = 0,
    BLOCK_MATERIAL_METAL = 1,
    BLOCK_MATERIAL_ICE = 2,
    BLOCK_MATERIAL_BOUNCE = 3,
    BLOCK_ID_FIRST = 32,
    BLOCK_ID_LAST = 254,
    BLOCK_COUNTER_START = 32,
    BLOCK_COLLISION_MASK = 0x11111111
};

class CBlock
{
public:
    CBlock();

    unsigned char m_uID;
    unsigned char m_uVariant;
    int8_t m_iMaterial; // a small signed code, not a character
    unsigned char m_uLayer;
    unsigned char m_uShape;
    int m_iStrength;      // drawn as alpha; hits lower it
    int m_iShownStrength; // eases towards the strength
    CBody* m_pBody;
    CKorvelVector2 m_vWobble; // drawing offset
    CBlock* m_pTwin;          // the editor's mirror partner
    int m_bEffectRunning;
    float m_fEffectTime; // the change ends once it passes 0
    unsigned char m_uSavedVariant;
    unsigned char m_uSavedMaterial;
    int m_iSavedStrength;
    float m_fSavedFriction;
    float m_fSavedBounce;
};

class CBlockManager
{
public:
    CBlockManager();
    ~CBlockManager();

    // The counter of created blocks lives with the game (one per game instance); without
    // one the manager counts on its own.
    void Startup(CMoxPhysics* pPhysics, int* piCounter = nullptr);
    // Null for a shape outside 0..39 (negative ones too) or when every identifier is taken.
    CBlock* AddBlock(signed char cShape, CKorvelVector2 position, int iMaterial, int iVariant, int iLayer);
    void DeleteBlock(int iID);
    // The bodies stay for the physics world's own clearing.
    void Clear();
    CBlock* GetBlockByID(int iID);
    // The smallest free identifier, or -1.
    int GetNewBlockID();

    int GetCount() const { return m_Blocks.GetCount(); }
    CBlock* GetAt(int i) const { return m_Blocks[i]; }

    CMoxPhysics* m_pPhysics;
    CKorvelTypedPtrArray<CBlock> m_Blocks; // creation order, owned

private:
    int* m_piCounter;
    int m_iOwnCounter;

    CBlockManager(const CBlockManager&) = delete;
    CBlockManager& operator=(const CBlockManager&) = delete;
};
