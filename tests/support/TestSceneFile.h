// Scene files (".scn") made from data for the game's tests, in any of the three layouts
// the game reads, and the scene pack that carries them (with pictures when a test needs
// them). Written from the format's description, apart from the game's own writer.
#pragma once

#include <string>
#include <vector>

#include "support/TestPack.h"

struct sTestScenePoint
{
    int x, y;                         // grid steps of 0.025 world units
    unsigned int colour = 0xFFFFFFFF; // 0xAARRGGBB; the game ignores it
};

struct sTestSceneBlock
{
    int x, y, shape, material, variant, layer;
};

struct sTestSceneHelper
{
    int x, y;
};

struct sTestScene
{
    enum eLayout
    {
        V110,
        V100,
        NO_MAGIC
    };
    eLayout layout = V110;
    std::vector<int> reservedA = {0, 1, 2, 3};
    std::vector<int> reservedB = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
    // Three records per player; the player count byte is players.size().
    std::vector<std::vector<sTestScenePoint>> players;
    std::vector<sTestSceneBlock> blocks;
    std::vector<sTestSceneHelper> helpers;
    // "v110" only: without it the file ends after the blocks.
    bool helperSection = true;
};

// The grid step at or below a world coordinate.
int TestSceneStep(float fWorld);

// Both players on the three start points given for each (equal when one is given).
sTestScene TestSceneWithPlayers(const sTestScenePoint& p0, const sTestScenePoint& p1);

std::string TestSceneBytes(const sTestScene& scene);

// Writes "dataScenes.kmp" into the application folder with each scene under its name
// and the extra items (pictures, other files) as given.
bool WriteTestScenePack(const std::string& strAppFolder,
                        const std::vector<std::pair<std::string, sTestScene>>& scenes,
                        const TestPackItems& extra = {});
