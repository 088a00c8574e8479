#include "support/TestSceneFile.h"

#include <cmath>

#include "support/TestMedia.h"

int TestSceneStep(float fWorld)
{
    return (int)std::floor(fWorld / 0.025f + 1e-4f);
}

sTestScene TestSceneWithPlayers(const sTestScenePoint& p0, const sTestScenePoint& p1)
{
    sTestScene scene;
    scene.players = {{p0, p0, p0}, {p1, p1, p1}};
    return scene;
}

std::string TestSceneBytes(const sTestScene& scene)
{
    std::string out;
    if (scene.layout != sTestScene::NO_MAGIC)
    {
        out = scene.layout == sTestScene::V110 ? "v110" : "v100";
        for (int v : scene.reservedA)
            PutTestU32(out, (unsigned int)v);
        for (int v : scene.reservedB)
            PutTestU32(out, (unsigned int)v);
    }
    out += (char)scene.players.size();
    for (const std::vector<sTestScenePoint>& records : scene.players)
        for (const sTestScenePoint& point : records)
        {
            out += (char)point.x;
            out += (char)point.y;
            PutTestU32(out, point.colour);
        }
    out += (char)scene.blocks.size();
    for (const sTestSceneBlock& b : scene.blocks)
        for (int v : {b.x, b.y, b.shape, b.material, b.variant, b.layer})
            out += (char)v;
    if (scene.layout == sTestScene::V110 && scene.helperSection)
    {
        out += (char)scene.helpers.size();
        for (const sTestSceneHelper& h : scene.helpers)
        {
            out += (char)h.x;
            out += (char)h.y;
        }
    }
    return out;
}

bool WriteTestScenePack(const std::string& strAppFolder,
                        const std::vector<std::pair<std::string, sTestScene>>& scenes,
                        const TestPackItems& extra)
{
    TestPackItems items;
    for (const auto& scene : scenes)
        items.push_back({"/" + scene.first, TestSceneBytes(scene.second)});
    items.insert(items.end(), extra.begin(), extra.end());
    return WriteTestFile(strAppFolder + "/dataScenes.kmp", TestPackBytes(items));
}
