#include "tools/packtool/KmpScene.h"

#include "game/MoxTables.h"
#include "tools/packtool/KmpInputs.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace
{
const double kGrid = 0.025; // world units of one grid step (3.2 / 128)
const double kEpsilon = 1e-4;
const double kFieldHalfWidth = 3.2;
const double kSceneTop = 2.5;
const double kPlayerHalf = 0.05;
const double kStartGapMin = 0.05; // start point centre above the block top
const double kStartGapMax = 0.1;
const int kMaxBlocks = 223;
const unsigned int kColours[2] = {0xFFFF5D37u, 0xFF3A92FFu};

// A whole number in -128..127 with an optional minus sign, nothing else.
bool SignedByte(const std::string& strWord, signed char& cOut)
{
    size_t uStart = !strWord.empty() && strWord[0] == '-' ? 1 : 0;
    if (strWord.size() == uStart || strWord.size() - uStart > 4 ||
        strWord.find_first_not_of("0123456789", uStart) != std::string::npos)
        return false;
    const int iValue = std::stoi(strWord);
    if (iValue < -128 || iValue > 127)
        return false;
    cOut = static_cast<signed char>(iValue);
    return true;
}

std::vector<std::string> Words(const std::string& strLine)
{
    std::istringstream in(strLine);
    std::vector<std::string> aWords;
    std::string strWord;
    while (in >> strWord)
        aWords.push_back(strWord);
    return aWords;
}

// "x,y" as two signed bytes.
bool Pair(const std::string& strWord, signed char& x, signed char& y)
{
    const size_t uComma = strWord.find(',');
    return uComma != std::string::npos && SignedByte(strWord.substr(0, uComma), x) &&
           SignedByte(strWord.substr(uComma + 1), y);
}

double World(signed char q)
{
    return double(q) * kGrid;
}

struct sBOX
{
    double left, right, bottom, top;
};

sBOX BlockBox(const sMoxSceneBlock& block)
{
    const CKorvelVector2& half = BlockShapes[block.cShape];
    return {World(block.x) - half.x, World(block.x) + half.x, World(block.y) - half.y,
            World(block.y) + half.y};
}

bool Fail(std::string& strError, const std::string& strText)
{
    strError = strText;
    return false;
}

std::string PointName(int iPlayer, int iPoint)
{
    return "start point " + std::to_string(iPoint) + " of player " + std::to_string(iPlayer);
}

std::string AsText(const std::vector<unsigned char>& aData)
{
    return std::string(aData.begin(), aData.end());
}
} // namespace

bool KmpParseScene(const std::string& strText, const std::string& strName, sMoxSceneFile& scene,
                   std::string& strError)
{
    sMoxSceneFile result;
    result.iVersion = SCENE_VERSION_110;
    bool bMirror = false;
    std::istringstream in(strText);
    std::string strLine;
    for (int iLine = 1; std::getline(in, strLine); ++iLine)
    {
        const size_t uHash = strLine.find('#');
        const std::vector<std::string> aWords = Words(strLine.substr(0, uHash));
        if (aWords.empty())
            continue;
        const std::string strWhere = strName + ":" + std::to_string(iLine) + ": ";
        const std::string& strWord = aWords[0];
        const size_t uCount = aWords.size() - 1;
        if (strWord == "start0" || strWord == "start1")
        {
            const int p = strWord[5] - '0';
            if (result.aPointCount[p] != 0)
                return Fail(strError, strWhere + strWord + " given twice");
            if (uCount != SCENE_PLAYER_RECORDS)
                return Fail(strError, strWhere + strWord + " needs three points x,y");
            for (int k = 0; k < SCENE_PLAYER_RECORDS; ++k)
            {
                sMoxScenePoint& point = result.aPoints[p][k];
                if (!Pair(aWords[size_t(k) + 1], point.x, point.y))
                    return Fail(strError, strWhere + "'" + aWords[size_t(k) + 1] +
                                              "' is not a point x,y of whole numbers in -128..127");
                point.uColour = kColours[p];
            }
            result.aPointCount[p] = SCENE_PLAYER_RECORDS;
            continue;
        }
        std::vector<signed char> aValues;
        for (size_t i = 1; i < aWords.size(); ++i)
        {
            signed char c = 0;
            if (!SignedByte(aWords[i], c))
                return Fail(strError, strWhere + "'" + aWords[i] + "' is not a whole number in -128..127");
            aValues.push_back(c);
        }
        if (strWord == "block" && uCount == 6)
            result.aBlocks.push_back(
                {aValues[0], aValues[1], aValues[2], aValues[3], aValues[4], aValues[5]});
        else if (strWord == "helper" && uCount == 2)
            result.aHelpers.push_back({aValues[0], aValues[1]});
        else if (strWord == "mirror" && uCount == 0)
            bMirror = true;
        else if (strWord == "block" || strWord == "helper" || strWord == "mirror")
            return Fail(strError, strWhere + strWord + " takes " +
                                      (strWord == "block"    ? "x y shape material variant layer"
                                       : strWord == "helper" ? "x y"
                                                             : "no values"));
        else
            return Fail(strError, strWhere + "unknown word '" + strWord + "'");
    }
    for (int p = 0; p < 2; ++p)
        if (result.aPointCount[p] == 0)
            return Fail(strError, strName + ": no start" + std::to_string(p) + " line");
    if (bMirror)
    {
        // -(-128) is no signed byte.
        const auto Negate = [&](signed char& x, const std::string& strEntry)
        {
            if (x == -128)
                return Fail(strError, strName + ": mirror: " + strEntry + " at x -128 has no mirror image");
            x = static_cast<signed char>(-x);
            return true;
        };
        for (int p = 0; p < 2; ++p)
            for (int k = 0; k < SCENE_PLAYER_RECORDS; ++k)
                if (!Negate(result.aPoints[p][k].x, PointName(p, k)))
                    return false;
        for (size_t i = 0; i < result.aBlocks.size(); ++i)
            if (!Negate(result.aBlocks[i].x, "block " + std::to_string(i)))
                return false;
        for (size_t i = 0; i < result.aHelpers.size(); ++i)
            if (!Negate(result.aHelpers[i].x, "helper " + std::to_string(i)))
                return false;
        for (int k = 0; k < SCENE_PLAYER_RECORDS; ++k)
        {
            std::swap(result.aPoints[0][k], result.aPoints[1][k]);
            std::swap(result.aPoints[0][k].uColour, result.aPoints[1][k].uColour);
        }
    }
    scene = result;
    return true;
}

std::string KmpSceneText(const sMoxSceneFile& scene)
{
    std::string strText;
    char aLine[96];
    for (int p = 0; p < 2; ++p)
    {
        strText += "start" + std::to_string(p);
        for (int k = 0; k < scene.aPointCount[p]; ++k)
        {
            snprintf(aLine, sizeof(aLine), " %d,%d", scene.aPoints[p][k].x, scene.aPoints[p][k].y);
            strText += aLine;
        }
        strText += "\n";
    }
    for (const sMoxSceneBlock& b : scene.aBlocks)
    {
        snprintf(aLine, sizeof(aLine), "block %d %d %d %d %d %d\n", b.x, b.y, b.cShape, b.cMaterial,
                 b.cVariant, b.cLayer);
        strText += aLine;
    }
    for (const sMoxSceneHelper& h : scene.aHelpers)
    {
        snprintf(aLine, sizeof(aLine), "helper %d %d\n", h.x, h.y);
        strText += aLine;
    }
    return strText;
}

bool KmpCheckScene(const sMoxSceneFile& scene, const std::string& strName, bool bNetwork,
                   std::string& strError)
{
    const std::string strScene = strName + ": ";
    if (scene.aBlocks.size() > size_t(kMaxBlocks))
        return Fail(strError, strScene + std::to_string(scene.aBlocks.size()) + " blocks: at most " +
                                  std::to_string(kMaxBlocks) + " are loaded");
    std::vector<sBOX> aBoxes;
    for (size_t i = 0; i < scene.aBlocks.size(); ++i)
    {
        const sMoxSceneBlock& b = scene.aBlocks[i];
        const std::string strEntry = strScene + "block " + std::to_string(i) + " at " + std::to_string(b.x) +
                                     "," + std::to_string(b.y) + ": ";
        if (b.cShape < 0 || b.cShape >= BLOCK_SHAPE_COUNT)
            return Fail(strError, strEntry + "shape " + std::to_string(b.cShape) + " is not in 0..39");
        if (b.cMaterial < 0 || b.cMaterial > 3)
            return Fail(strError, strEntry + "material " + std::to_string(b.cMaterial) + " is not in 0..3");
        if (b.cVariant < 0 || b.cVariant > 2)
            return Fail(strError, strEntry + "variant " + std::to_string(b.cVariant) + " is not in 0..2");
        if (b.cLayer < 0 || b.cLayer > 3)
            return Fail(strError, strEntry + "layer " + std::to_string(b.cLayer) + " is not in 0..3");
        const sBOX box = BlockBox(b);
        if (box.left < -kFieldHalfWidth - kEpsilon || box.right > kFieldHalfWidth + kEpsilon)
            return Fail(strError, strEntry + "reaches outside the field (x -3.2 .. 3.2)");
        if (box.bottom < -kEpsilon)
            return Fail(strError, strEntry + "reaches below the water (y - half height < 0)");
        if (box.top > kSceneTop + kEpsilon)
            return Fail(strError, strEntry + "reaches above the scene's top (y 2.5)");
        aBoxes.push_back(box);
    }
    for (int p = 0; p < 2; ++p)
    {
        if (scene.aPointCount[p] != SCENE_PLAYER_RECORDS)
            return Fail(strError, strScene + "player " + std::to_string(p) + " has " +
                                      std::to_string(scene.aPointCount[p]) + " start points, not 3");
        for (int k = 0; k < SCENE_PLAYER_RECORDS; ++k)
        {
            const sMoxScenePoint& point = scene.aPoints[p][k];
            const double x = World(point.x), y = World(point.y);
            const std::string strEntry = strScene + PointName(p, k) + " at " + std::to_string(point.x) + "," +
                                         std::to_string(point.y) + ": ";
            bool bStands = false;
            for (size_t i = 0; i < aBoxes.size(); ++i)
            {
                const sBOX& box = aBoxes[i];
                if (x - kPlayerHalf < box.right - kEpsilon && x + kPlayerHalf > box.left + kEpsilon &&
                    y - kPlayerHalf < box.top - kEpsilon && y + kPlayerHalf > box.bottom + kEpsilon)
                    return Fail(strError, strEntry + "lies inside block " + std::to_string(i));
                const double fGap = y - box.top;
                if (x >= box.left - kEpsilon && x <= box.right + kEpsilon &&
                    fGap >= kStartGapMin - kEpsilon && fGap <= kStartGapMax + kEpsilon)
                    bStands = true;
            }
            if (!bStands)
                return Fail(strError, strEntry + "is not 0.05 .. 0.1 above the top of a block under it");
            for (int j = 0; bNetwork && j < k; ++j)
                if (scene.aPoints[p][j].x == point.x && scene.aPoints[p][j].y == point.y)
                    return Fail(strError, strEntry + "equals " + PointName(p, j) +
                                              " (network scenes need three distinct start points)");
        }
    }
    // Both flomps must fit whichever start points are drawn.
    for (int k = 0; k < SCENE_PLAYER_RECORDS; ++k)
        for (int j = 0; j < SCENE_PLAYER_RECORDS; ++j)
        {
            const sMoxScenePoint &a = scene.aPoints[0][k], &b = scene.aPoints[1][j];
            if (std::fabs(World(a.x) - World(b.x)) < 2 * kPlayerHalf - kEpsilon &&
                std::fabs(World(a.y) - World(b.y)) < 2 * kPlayerHalf - kEpsilon)
                return Fail(strError, strScene + PointName(0, k) + " overlaps " + PointName(1, j));
        }
    for (size_t i = 0; i < scene.aHelpers.size(); ++i)
    {
        const double y = World(scene.aHelpers[i].y);
        if (y < -kEpsilon || y > kSceneTop + kEpsilon)
            return Fail(strError,
                        strScene + "helper " + std::to_string(i) + ": outside the scene (y 0 .. 2.5)");
    }
    return true;
}

bool KmpBuildScene(const std::string& strSource, const std::string& strOut, bool bNetwork,
                   std::string& strError)
{
    std::vector<unsigned char> aText;
    if (!KmpReadFile(strSource, aText, strError))
        return false;
    sMoxSceneFile scene;
    std::string strBytes;
    if (!KmpParseScene(AsText(aText), strSource, scene, strError) ||
        !KmpCheckScene(scene, strSource, bNetwork, strError))
        return false;
    if (!MoxWriteSceneFile(scene, strBytes))
        return Fail(strError, strSource + ": the scene cannot be written");
    std::ofstream out(strOut, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), std::streamsize(strBytes.size()));
    out.close();
    if (!out)
    {
        std::remove(strOut.c_str());
        return Fail(strError, "cannot write '" + strOut + "'");
    }
    return true;
}

namespace
{
// The scene of a file that holds exactly one "v110" scene and nothing else.
bool ReadWholeScene(const std::string& strPath, sMoxSceneFile& scene, std::string& strError)
{
    std::vector<unsigned char> aData;
    if (!KmpReadFile(strPath, aData, strError))
        return false;
    MoxReadSceneFile(aData.data(), static_cast<unsigned int>(aData.size()), scene);
    std::string strAgain;
    if (scene.iVersion != SCENE_VERSION_110 || !MoxWriteSceneFile(scene, strAgain) ||
        strAgain != AsText(aData))
        return Fail(strError,
                    strPath + ": not a whole \"v110\" scene with two players of three start points");
    return true;
}
} // namespace

bool KmpCheckSceneFile(const std::string& strPath, bool bNetwork, std::string& strError)
{
    sMoxSceneFile scene;
    return ReadWholeScene(strPath, scene, strError) && KmpCheckScene(scene, strPath, bNetwork, strError);
}

bool KmpDumpScene(const std::string& strPath, std::string& strText, std::string& strError)
{
    sMoxSceneFile scene;
    if (!ReadWholeScene(strPath, scene, strError))
        return false;
    strText = KmpSceneText(scene);
    return true;
}
