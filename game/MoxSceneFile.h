// The ".scn" scene file as plain data: read from the bytes of a file without a scene, so
// that a short or damaged file gives exactly its complete records and nothing more.
// Positions stay in grid steps (a 128th of the camera's grid size); the scene turns
// them into world units.
//
// Layout, little-endian, no padding: the magic "v110" or "v100" (absent in the oldest
// files), then after a magic 4 and 16 int32 reserved values; a byte P and P x 3 player
// records {int8 x, int8 y, uint32 colour}; a byte B and B block records {int8 x, y,
// shape, material, variant, layer}; in "v110" a byte H and H helper records {int8 x, y}.
#pragma once

#include <string>
#include <vector>

enum
{
    SCENE_VERSION_NONE = 0,
    SCENE_VERSION_100 = 100,
    SCENE_VERSION_110 = 110,
    SCENE_PLAYER_RECORDS = 3, // start points per player
    SCENE_RESERVED_A = 4,
    SCENE_RESERVED_B = 16
};

struct sMoxScenePoint
{
    signed char x, y;
    unsigned int uColour; // 0xAARRGGBB; the scene ignores it
};

struct sMoxSceneBlock
{
    signed char x, y, cShape, cMaterial, cVariant, cLayer;
};

struct sMoxSceneHelper
{
    signed char x, y;
};

struct sMoxSceneFile
{
    int iVersion = SCENE_VERSION_NONE;
    int aReservedA[SCENE_RESERVED_A];
    int aReservedB[SCENE_RESERVED_B];
    // The complete records of players 0 and 1; those of further players are dropped.
    int aPointCount[2] = {0, 0};
    sMoxScenePoint aPoints[2][SCENE_PLAYER_RECORDS] = {};
    std::vector<sMoxSceneBlock> aBlocks;   // complete records only, in file order
    std::vector<sMoxSceneHelper> aHelpers; // "v110" only

    // The reserved tables at their defaults: {0, 1, 2, 3} and four rows of it.
    sMoxSceneFile();
};

// Reads whatever complete records the bytes hold; never reads beyond uSize.
void MoxReadSceneFile(const unsigned char* pData, unsigned int uSize, sMoxSceneFile& file);

// The bytes of a "v110" file: the reserved tables, two players of three records each,
// the blocks and the helpers (a count above 255 cannot be written: false).
bool MoxWriteSceneFile(const sMoxSceneFile& file, std::string& strOut);
